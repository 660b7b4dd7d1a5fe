#include "Wire.h"
#include "RequestLog.h"

#include "support/Wire.h"

#include <gtest/gtest.h>

using namespace izuzez::devsim;
using namespace izuzez::test;

namespace
{

const Bytes kUuid{0xa0, 0xa1, 0xa2, 0xa3, 0xa4, 0xa5, 192, 168, 0, 7};

Bytes Truncated(const Bytes &bytes, std::size_t size)
{
    return Slice(bytes, 0, size);
}

struct DecodeCase
{
    const char *label;
    Bytes datagram;
    bool ok;
    int sub; // -1: none
    std::string payload;
    bool payloadTruncated;
};

TEST(DevsimWire, DecodesRequestsAndRejectsBrokenOnes)
{
    Bytes pastEnd = QueryRequest(kClientId, kUuid, 4, "admin\x55\xaa");
    pastEnd[24] = 200;
    const DecodeCase cases[] = {
        {"search", SearchRequest(kClientId), true, -1, "", false},
        {"search with trailing bytes",
         []
         {
             Bytes b = SearchRequest(kClientId);
             b.push_back(9);
             return b;
         }(),
         true, -1, "", false},
        {"search cut short", Truncated(SearchRequest(kClientId), 10), false, -1, "", false},
        {"ssl query", QueryRequest(kClientId, kUuid, 19), true, 19, "", false},
        {"password check",
         QueryRequest(kClientId, kUuid, 4,
                      "admin\x55\xaa"
                      "pw"),
         true, 4,
         "admin\x55\xaa"
         "pw",
         false},
        {"payload length past the end", pastEnd, true, 4, "admin\x55\xaa", true},
        {"query without its length field", Truncated(QueryRequest(kClientId, kUuid, 19), 27), false, -1, "", false},
        {"static address", SettingRequest(kClientId, kUuid, 1, "255.255.255.0", "192.168.0.1", "192.168.0.20"), true, 1,
         "192.168.0.20", false},
        {"setting cut inside the header", Truncated(SettingRequest(kClientId, kUuid, 2, "", "", ""), 59), false, -1, "",
         false},
        {"reply opcode", Bytes(30, 2), false, -1, "", false},
        {"unknown opcode", Bytes(30, 0x42), false, -1, "", false},
        {"empty", Bytes{}, false, -1, "", false},
    };
    for (const DecodeCase &c : cases)
    {
        SCOPED_TRACE(c.label);
        const DecodeResult result = DecodeRequest(ExactDatagram(c.datagram).span());
        ASSERT_EQ(result.request.has_value(), c.ok) << result.error;
        if (!c.ok)
        {
            EXPECT_FALSE(result.error.empty());
            continue;
        }
        EXPECT_EQ(Bytes(result.request->clientId.begin(), result.request->clientId.end()), kClientId);
        EXPECT_EQ(result.request->subCommand.has_value(), c.sub >= 0);
        if (c.sub >= 0)
        {
            EXPECT_EQ(*result.request->subCommand, c.sub);
            EXPECT_EQ(Bytes(result.request->uuid->begin(), result.request->uuid->end()), kUuid);
        }
        EXPECT_EQ(std::string(result.request->payload.begin(), result.request->payload.end()), c.payload);
        EXPECT_EQ(result.request->payloadTruncated, c.payloadTruncated);
    }
}

TEST(DevsimWire, SettingRequestTextsStopAtTheirField)
{
    Bytes request = SettingRequest(kClientId, kUuid, 8, "255.255.255.0", "10.0.0.1", "950");
    std::fill(request.begin() + 24, request.begin() + 40, 'M'); // netmask without a terminator
    const DecodeResult result = DecodeRequest(ExactDatagram(request).span());
    ASSERT_TRUE(result.request);
    EXPECT_EQ(result.request->netmask, std::string(16, 'M'));
    EXPECT_EQ(result.request->gateway, "10.0.0.1");
}

SearchReplyFields SampleFields()
{
    SearchReplyFields fields;
    std::copy(kUuid.begin(), kUuid.end(), fields.uuid.begin());
    fields.dhcp = '1';
    fields.netmask = "255.255.255.0";
    fields.gateway = "192.168.0.1";
    fields.product.classByte = 1;
    fields.product.typeByte = 8;
    fields.product.model = "NS-2400";
    fields.product.mac = "00:1B:7A:10:00:02";
    fields.product.hwVersion = "1.2";
    fields.product.swVersion = "2.3.1";
    fields.name = "Storage";
    return fields;
}

struct KindCase
{
    int kind;
    std::size_t nameLengthAt;
    bool hasClassAndType;
    bool hasLongTexts;
};

TEST(DevsimWire, SearchReplyLayoutPerKind)
{
    const KindCase cases[] = {{2, 56, false, false}, {7, 68, true, false}, {8, 324, true, true}};
    ClientId clientId{};
    std::copy(kClientId.begin(), kClientId.end(), clientId.begin());
    for (const KindCase &c : cases)
    {
        SCOPED_TRACE(c.kind);
        const Bytes reply = EncodeSearchReply(c.kind, clientId, SampleFields());
        ASSERT_EQ(reply.size(), c.nameLengthAt + 4 + 7);
        EXPECT_EQ(reply[0], c.kind);
        EXPECT_EQ(Slice(reply, 1, 10), kClientId);
        EXPECT_EQ(Slice(reply, 11, 10), kUuid);
        EXPECT_EQ(reply[21], '1');
        EXPECT_EQ(TextAt(reply, 24, 16), "255.255.255.0");
        EXPECT_EQ(TextAt(reply, 40, 16), "192.168.0.1");
        EXPECT_EQ(Le32(reply, c.nameLengthAt), 7u);
        EXPECT_EQ(std::string(reply.end() - 7, reply.end()), "Storage");
        if (c.hasClassAndType)
        {
            EXPECT_EQ(reply[56], 1);
            EXPECT_EQ(reply[57], 8);
        }
        if (c.hasLongTexts)
        {
            EXPECT_EQ(TextAt(reply, 68, 64), "NS-2400");
            EXPECT_EQ(TextAt(reply, 132, 64), "00:1B:7A:10:00:02");
            EXPECT_EQ(TextAt(reply, 196, 64), "1.2");
            EXPECT_EQ(TextAt(reply, 260, 64), "2.3.1");
        }
    }
    EXPECT_TRUE(EncodeSearchReply(5, clientId, SampleFields()).empty());
}

TEST(DevsimWire, FixedTextsFillingTheirFieldHaveNoTerminator)
{
    SearchReplyFields fields = SampleFields();
    fields.netmask = "255.255.255.255XYZ";
    const Bytes reply = EncodeSearchReply(2, ClientId{}, fields);
    EXPECT_EQ(TextAt(reply, 24, 16), "255.255.255.255X");
    EXPECT_EQ(TextAt(reply, 40, 16), "192.168.0.1"); // the overflow did not spill into the gateway
}

// Which texts are addresses is the protocol's ReadIpv4 (Ipv4TextTest); here only that the simulator reads and
// writes through it.
TEST(DevsimWire, Ipv4TextsGoThroughTheProgramsReader)
{
    EXPECT_EQ(FormatIpv4(ParseIpv4("192.168.0.20").value_or(Ipv4{})), "192.168.0.20");
    EXPECT_FALSE(ParseIpv4("010.1.1.1"));
}

TEST(DevsimWire, HexAndPrintableForms)
{
    const Bytes bytes{0x00, 0x41, 0x55, 0xaa, '"', '\\'};
    EXPECT_EQ(ToHex(bytes), "004155aa225c");
    EXPECT_EQ(ToPrintable(bytes), "\\x00AU\\xaa\\\"\\\\");
    EXPECT_EQ(FromHex("00:1B:7a-10 00"), (Bytes{0x00, 0x1b, 0x7a, 0x10, 0x00}));
    EXPECT_FALSE(FromHex("0g"));
    EXPECT_FALSE(FromHex("abc"));
}

const Bytes kLogUuid{0, 0x1b, 0x7a, 0, 0, 1, 127, 0, 0, 2};

struct LineCase
{
    const char *label;
    Bytes datagram;
    std::vector<std::string> fields;
};

// End-to-end tests grep these fields, so their spelling is part of the simulator's interface.
TEST(DevsimRequestLog, RequestLinesCarryEveryField)
{
    Bytes pastEnd = QueryRequest(kClientId, kLogUuid, 19);
    pastEnd[24] = 5;
    const LineCase cases[] = {
        {"search",
         SearchRequest(kClientId),
         {"recv t=T from=127.0.0.1:4000 on=127.0.0.1 len=11 op=1 sub=- cid=11223344556600000000 uuid=- payload_len=0 ",
          " hex=0111223344556600000000"}},
        {"password check",
         QueryRequest(kClientId, kLogUuid, 4, std::string("admin\x55\xaa")),
         {" len=35 op=3 sub=4 ", " uuid=001b7a0000017f000002 payload_len=7 payload_hex=61646d696e55aa ",
          " payload_text=\"adminU\\xaa\" "}},
        {"static address",
         SettingRequest(kClientId, kLogUuid, 1, "255.0.0.0", "", "127.0.0.9"),
         {" op=5 sub=1 ", " payload_text=\"127.0.0.9\" netmask=\"255.0.0.0\" gateway=\"\" "}},
        {"payload past the end", pastEnd, {" payload_len=5 payload_hex= ", "error=\"payload length past end\""}},
        {"cut short",
         Bytes{3, 1, 2},
         {" len=3 op=3 sub=- cid=- uuid=- ", "error=\"shorter than 11 bytes\" hex=030102"}},
    };
    for (const LineCase &c : cases)
    {
        SCOPED_TRACE(c.label);
        const std::string line =
            FormatRequestLine("T", {127, 0, 0, 1}, 4000, "127.0.0.1", ExactDatagram(c.datagram).span());
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_NE(line.find(" hex=" + ToHex(c.datagram)), std::string::npos) << line;
        for (const std::string &field : c.fields)
            EXPECT_NE(line.find(field), std::string::npos) << field << "\n" << line;
    }
}

TEST(DevsimRequestLog, SendLineNamesDestination)
{
    Outgoing outgoing;
    outgoing.bytes = {6, 1};
    outgoing.toGroup = false;
    outgoing.unicastTo = {10, 0, 0, 9};
    outgoing.via = "10.0.0.1";
    outgoing.device = "say \"hi\"";
    outgoing.note = "reply";
    EXPECT_EQ(FormatSendLine("T", outgoing, 13579),
              "send t=T device=\"say \\\"hi\\\"\" to=10.0.0.9:13579 via=10.0.0.1 note=reply len=2 op=6 hex=0601");
}

} // namespace
