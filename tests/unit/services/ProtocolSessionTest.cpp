#include "services/ProtocolSession.h"

#include <gtest/gtest.h>

#include <cstring>

#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/Packets.h"
#include "protocol/ProtocolState.h"

using namespace izuzez::services;

namespace
{

constexpr std::size_t kLimit = 16;

struct CredentialCase
{
    std::string userName;
    std::string password;
};

const CredentialCase credentialCases[] = {
    {"admin", ""},
    {"admin", "p"},
    {"admin", "0123456789abcde"},
    {"admin", "0123456789abcdef"},
    {"sixteen-chars-us", "0123456789abcdef"},
};

// The session keeps full sixteen-character entries, and the password check carries them
// whole, with no terminator after the password.
TEST(Credentials, SixteenCharactersReachTheWire)
{
    ResetProtocolState();
    // An address that is not local: no socket is opened and nothing is sent.
    OpenedSession opened = OpenProtocolSession({"192.0.2.77"}, false);
    ASSERT_EQ(opened.missing.size(), 1u);
    auto &session = opened.session;
    EXPECT_EQ(session->PasswordLimit(), kLimit);

    std::uint8_t uuid[kUuidSize] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 10, 0, 0, 5};
    for (const CredentialCase &c : credentialCases)
    {
        SCOPED_TRACE(c.userName + "/" + c.password);
        session->CheckAdminPassword(c.userName, c.password);
        EXPECT_EQ(FieldText(g_ProtocolState.userName), c.userName);
        EXPECT_EQ(FieldText(g_ProtocolState.password), c.password);

        ASSERT_NE(AppendDevice("dev", "10.0.0.5", "255.0.0.0", "10.0.0.1", uuid, '0', 0), nullptr);
        CopyText(g_ProtocolState.selectedIp, "10.0.0.5");
        std::uint8_t buffer[kPacketBufferSize];
        const int length = BuildPasswordCheck(buffer);
        const std::string expected = c.userName + "\x55\xAA" + c.password;
        ASSERT_EQ(length, static_cast<int>(kOffQueryPayload + expected.size()));
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer + kOffQueryPayload), expected.size()), expected);
        FreeDeviceList();
    }

    // A field filled to the brim without its terminator still sends sixteen bytes at most.
    ASSERT_NE(AppendDevice("dev", "10.0.0.5", "255.0.0.0", "10.0.0.1", uuid, '0', 0), nullptr);
    std::memset(g_ProtocolState.userName, 'u', sizeof g_ProtocolState.userName);
    std::memset(g_ProtocolState.password, 'p', sizeof g_ProtocolState.password);
    std::uint8_t buffer[kPacketBufferSize];
    EXPECT_EQ(BuildPasswordCheck(buffer), static_cast<int>(kOffQueryPayload + 16 + 2 + 16));
    session.reset();
    ResetProtocolState();
}

} // namespace
