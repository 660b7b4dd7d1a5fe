#include "RequestLog.h"

#include "support/Wire.h"

#include <gtest/gtest.h>

using namespace izuzez::devsim;
using namespace izuzez::test;

namespace
{

const Bytes kUuid{0, 0x1b, 0x7a, 0, 0, 1, 127, 0, 0, 2};

struct LineCase
{
    const char *label;
    Bytes datagram;
    std::vector<std::string> fields;
};

// End-to-end tests grep these fields, so their spelling is part of the simulator's interface.
TEST(DevsimRequestLog, RequestLinesCarryEveryField)
{
    Bytes pastEnd = QueryRequest(kClientId, kUuid, 19);
    pastEnd[24] = 5;
    const LineCase cases[] = {
        {"search",
         SearchRequest(kClientId),
         {"recv t=T from=127.0.0.1:4000 on=127.0.0.1 len=11 op=1 sub=- cid=11223344556600000000 uuid=- payload_len=0 ",
          " hex=0111223344556600000000"}},
        {"password check",
         QueryRequest(kClientId, kUuid, 4, std::string("admin\x55\xaa")),
         {" len=35 op=3 sub=4 ", " uuid=001b7a0000017f000002 payload_len=7 payload_hex=61646d696e55aa ",
          " payload_text=\"adminU\\xaa\" "}},
        {"static address",
         SettingRequest(kClientId, kUuid, 1, "255.0.0.0", "", "127.0.0.9"),
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
