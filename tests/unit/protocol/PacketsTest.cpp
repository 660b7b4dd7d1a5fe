#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "StateFixture.h"
#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/Packets.h"
#include "support/Wire.h"

namespace
{
using namespace izuzez::test;
const ClientId kId = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0};

// With one listed, selected device, whose uuid the requests carry.
class PacketsTest : public ProtocolStateTest<kId>
{
protected:
    void SetUp() override
    {
        ProtocolStateTest<kId>::SetUp();
        SelectFakeDevice("192.168.0.10", {192, 168, 0, 10});
    }
    std::uint8_t buffer[kPacketBufferSize];
};

void ExpectHeader(const std::uint8_t *b, std::uint8_t opcode, int subCommand)
{
    EXPECT_EQ(b[0], opcode);
    EXPECT_EQ(0, std::memcmp(b + 1, kId.data(), 10));
    const std::uint8_t uuid[10] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 192, 168, 0, 10};
    EXPECT_EQ(0, std::memcmp(b + 11, uuid, 10));
    EXPECT_EQ(b[21], subCommand);
    EXPECT_EQ(b[22], 0);
    EXPECT_EQ(b[23], 0);
}

TEST_F(PacketsTest, SearchRequestIsOpcodeAndClientIdOnly)
{
    std::memset(buffer, 0xEE, sizeof buffer);
    ASSERT_EQ(BuildSearchRequest(buffer), 11);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(0, std::memcmp(buffer + 1, kId.data(), 10));
    EXPECT_EQ(buffer[11], 0); // the rest of the buffer was cleared
    EXPECT_EQ(buffer[kPacketBufferSize - 1], 0);
}

TEST_F(PacketsTest, SslQueryIsExactly28Bytes)
{
    ASSERT_EQ(BuildQuery(buffer, kQuerySsl), 28);
    ExpectHeader(buffer, 3, 0x13);
    for (int i = 22; i < 28; ++i)
        EXPECT_EQ(buffer[i], 0) << i;
}

TEST_F(PacketsTest, PasswordCheckWithEmptyPasswordEndsWithMarkers)
{
    CopyText(g_ProtocolState.userName, "admin");
    ASSERT_EQ(BuildPasswordCheck(buffer), 35);
    ExpectHeader(buffer, 3, 4);
    EXPECT_EQ(Le32(buffer + 24), 7u);
    EXPECT_EQ(0, std::memcmp(buffer + 28, "admin", 5));
    EXPECT_EQ(buffer[33], 0x55);
    EXPECT_EQ(buffer[34], 0xAA);

    CopyText(g_ProtocolState.password, "secret");
    ASSERT_EQ(BuildPasswordCheck(buffer), 41);
    EXPECT_EQ(Le32(buffer + 24), 13u);
    EXPECT_EQ(0, std::memcmp(buffer + 35, "secret", 6));
}

TEST_F(PacketsTest, PasswordFieldsWithoutTerminatorStayWithinTheirSize)
{
    std::memset(g_ProtocolState.userName, 'u', sizeof g_ProtocolState.userName);
    std::memset(g_ProtocolState.password, 'p', sizeof g_ProtocolState.password);
    ASSERT_EQ(BuildPasswordCheck(buffer), 28 + 16 + 2 + 16);
    EXPECT_EQ(Le32(buffer + 24), 34u);
}

TEST_F(PacketsTest, StaticAddressSettingIs72Bytes)
{
    CopyText(g_ProtocolState.newIp, "192.168.0.20");
    CopyText(g_ProtocolState.newNetmask, "255.255.255.0");
    CopyText(g_ProtocolState.newGateway, "192.168.0.254");
    ASSERT_EQ(BuildSetting(buffer, kSetStaticAddress, FieldText(g_ProtocolState.newIp)), 72);
    ExpectHeader(buffer, 5, 1);
    EXPECT_STREQ(reinterpret_cast<char *>(buffer + 24), "255.255.255.0");
    EXPECT_STREQ(reinterpret_cast<char *>(buffer + 40), "192.168.0.254");
    EXPECT_EQ(Le32(buffer + 56), 12u);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buffer + 60), 12), "192.168.0.20");
    EXPECT_EQ(buffer[72], 0);
}

TEST_F(PacketsTest, DhcpRequestLeavesAddressFieldsZero)
{
    CopyText(g_ProtocolState.newNetmask, "255.255.0.0");
    CopyText(g_ProtocolState.newGateway, "10.0.0.1");
    ASSERT_EQ(BuildDhcpRequest(buffer), 60);
    ExpectHeader(buffer, 5, 2);
    for (int i = 24; i < 60; ++i)
        EXPECT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(BuildSetting(buffer, kSetDhcp, "ignored"), 60);
}

TEST_F(PacketsTest, OversizePayloadIsCutAtTheBuffer)
{
    const std::string payload(5000, 'x');
    EXPECT_EQ(BuildSetting(buffer, kSetWorkgroup, payload), kPacketBufferSize);
    EXPECT_EQ(Le32(buffer + 56), static_cast<std::uint32_t>(kPacketBufferSize - 60));
}

TEST_F(PacketsTest, OwnReplyComparesOnlyTheRandomBytes)
{
    struct Case
    {
        int byte;
        bool own;
    };
    const Case cases[] = {{-1, true}, {1, false}, {6, false}, {7, true}, {10, true}, {11, true}};
    for (const Case &c : cases)
    {
        Bytes reply = MakeSettingReply(kId, {1, 2, 3, 4});
        if (c.byte >= 0)
            reply[c.byte] ^= 0xFF;
        const ExactDatagram datagram(reply);
        EXPECT_EQ(IsOwnReply(datagram.data(), datagram.size()), c.own) << "byte " << c.byte;
    }
    const Bytes reply = MakeSettingReply(kId, {1, 2, 3, 4});
    const ExactDatagram six(reply, 6), seven(reply, 7);
    EXPECT_FALSE(IsOwnReply(six.data(), six.size()));
    EXPECT_TRUE(IsOwnReply(seven.data(), seven.size()));
}

TEST_F(PacketsTest, ReplyAddressNeedsTwentyOneBytes)
{
    const Bytes reply = MakeSettingReply(kId, {255, 0, 10, 200});
    const ExactDatagram whole(reply, 21), cut(reply, 20);
    char text[16];
    ASSERT_TRUE(ReplyAddressText(whole.data(), whole.size(), text));
    EXPECT_STREQ(text, "255.0.10.200");
    EXPECT_FALSE(ReplyAddressText(cut.data(), cut.size(), text));
    EXPECT_STREQ(text, "");
}

struct ParseCase
{
    const char *label;
    ReplyFields fields;
    long cutTo; // -1: the whole datagram
    bool accepted;
    std::string name;
};

std::string Repeat(char c, std::size_t n)
{
    return std::string(n, c);
}

TEST_F(PacketsTest, SearchReplyParsing)
{
    ReplyFields basic;
    basic.name = "Storage";
    ReplyFields filtered = basic;
    filtered.opcode = 7;
    ReplyFields full = basic;
    full.opcode = 8;

    auto with = [](ReplyFields fields, auto change)
    {
        change(fields);
        return fields;
    };
    const ParseCase cases[] = {
        {"basic", basic, -1, true, "Storage"},
        {"filtered", filtered, -1, true, "Storage"},
        {"full", full, -1, true, "Storage"},
        {"basic without name length", basic, 59, false, ""},
        {"basic with empty name", with(basic, [](ReplyFields &s) { s.name = ""; }), -1, true, ""},
        {"filtered shorter than its header", filtered, 71, false, ""},
        {"full shorter than its header", full, 300, false, ""},
        {"name length past the datagram", with(basic, [](ReplyFields &s) { s.nameLength = 1000; }), -1, true,
         "Storage"},
        {"name cut by the datagram end", basic, 63, true, "Sto"},
        {"name length of four gigabytes", with(full, [](ReplyFields &s) { s.nameLength = 0xFFFFFFFFu - 1; }), -1, true,
         "Storage"},
        {"name longer than 255", with(basic, [](ReplyFields &s) { s.name = Repeat('n', 300); }), -1, true,
         Repeat('n', 255)},
        {"name with a NUL inside", with(basic, [](ReplyFields &s) { s.name = std::string("ab\0cd", 5); }), -1, true,
         "ab"},
        {"search request", with(basic, [](ReplyFields &s) { s.opcode = 1; }), -1, false, ""},
        {"query reply", with(basic, [](ReplyFields &s) { s.opcode = 4; }), -1, false, ""},
        {"setting reply", with(basic, [](ReplyFields &s) { s.opcode = 6; }), -1, false, ""},
    };
    for (const ParseCase &c : cases)
    {
        const Bytes bytes = MakeSearchReply(c.fields);
        const std::size_t length = c.cutTo < 0 ? bytes.size() : static_cast<std::size_t>(c.cutTo);
        ASSERT_LE(length, bytes.size()) << c.label;
        const ExactDatagram exact(bytes, length);
        SearchReply reply;
        EXPECT_EQ(ParseSearchReply(exact.data(), exact.size(), reply), c.accepted) << c.label;
        if (c.accepted)
        {
            EXPECT_EQ(std::string(reply.name), c.name) << c.label;
        }
    }
}

TEST_F(PacketsTest, QueryReplyText)
{
    struct Case
    {
        const char *label;
        std::string text;
        long cutTo;
        bool accepted;
        std::string expected;
    };
    const Case cases[] = {
        {"text", "950", -1, true, "950"},
        {"exactly 28 bytes", "", -1, true, ""},
        {"shorter than the header", "", 27, false, ""},
        {"text with a terminator", std::string("1\0junk", 6), -1, true, "1"},
        {"text to the datagram end", Repeat('t', 4068), -1, true, Repeat('t', 4068)},
    };
    for (const Case &c : cases)
    {
        const Bytes bytes = MakeQueryReply(kId, {1, 2, 3, 4}, c.text);
        const ExactDatagram datagram(bytes, c.cutTo < 0 ? bytes.size() : static_cast<std::size_t>(c.cutTo));
        std::string_view text;
        EXPECT_EQ(QueryReplyText(datagram.data(), datagram.size(), text), c.accepted) << c.label;
        EXPECT_EQ(std::string(text), c.expected) << c.label;
    }
}

TEST(FixedTextTest, CopyTextTruncatesAndPads)
{
    struct Case
    {
        std::string text;
        std::string kept;
    };
    const Case cases[] = {{"", ""}, {"1234567", "1234567"}, {"12345678", "1234567"}, {"123456789abc", "1234567"}};
    for (const Case &c : cases)
    {
        char field[8];
        std::memset(field, 'x', sizeof field);
        CopyText(field, c.text);
        EXPECT_EQ(std::string(field), c.kept);
        for (std::size_t i = c.kept.size(); i < sizeof field; ++i)
            EXPECT_EQ(field[i], 0);
    }
    char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldText(full), "abcd");
}
} // namespace
