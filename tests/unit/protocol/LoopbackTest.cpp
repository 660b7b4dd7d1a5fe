#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Operations.h"
#include "protocol/Packets.h"
#include "protocol/Search.h"
#include "protocol/SearchTally.h"
#include "support/LoopbackSockets.h"
#include "support/Wire.h"

// Real sockets on 127.0.0.1 only: a device stand-in on a thread answers on the group.
namespace
{
using namespace izuzez::test;
using namespace std::chrono_literals;

const std::array<std::uint8_t, 4> kDevice = {10, 99, 77, 5};

// Answers this instance's requests like a device would; ignores everything else.
class Responder
{
public:
    explicit Responder(int fd) : m_fd(fd), m_thread([this] { Run(); }) {}
    ~Responder()
    {
        m_stop = true;
        m_thread.join();
        close(m_fd);
    }

private:
    void Run()
    {
        const auto end = std::chrono::steady_clock::now() + 60s;
        std::uint8_t buffer[kPacketBufferSize + 1];
        while (!m_stop && std::chrono::steady_clock::now() < end)
        {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = recv(m_fd, buffer, kPacketBufferSize, MSG_DONTWAIT);
            if (n >= 11 && IsOwnReply(buffer, static_cast<std::size_t>(n)))
                Answer(buffer, static_cast<std::size_t>(n));
        }
    }

    void Answer(const std::uint8_t *request, std::size_t length)
    {
        const ClientId &id = g_ProtocolState.clientId;
        if (request[0] == kOpSearchRequest)
        {
            ReplyFields full;
            full.opcode = 8;
            full.clientId = id;
            full.address = kDevice;
            full.name = "loop-nas";
            full.model = "NS-2";
            full.mac = "00:11:22:33:44:55";
            SendToGroup(m_fd, MakeSearchReply(full));
            return;
        }
        if (length < 24)
            return;
        std::array<std::uint8_t, 4> address;
        std::memcpy(address.data(), request + 17, 4); // the device answers from the address it is asked at
        const int sub = request[21];
        if (request[0] == kOpQueryRequest)
        {
            const std::string text = sub == kQuerySsl ? "1" : sub == kQueryDomain ? std::string(300, 'd') : "x";
            SendToGroup(m_fd, MakeQueryReply(g_ProtocolState.clientId, address, text));
        }
        else if (request[0] == kOpSettingRequest)
            SendToGroup(m_fd, MakeSettingReply(g_ProtocolState.clientId, address));
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class LoopbackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProtocolState();
        SetInterfaceFilter({"127.0.0.1"});
        OpenEndpoints();
        if (g_ProtocolState.interfaceCount != 1 || g_ProtocolState.receiverSocket[0].groupFd < 0)
            GTEST_SKIP() << "no multicast on the loopback interface here";
        const int fd = JoinGroupOnLoopback();
        if (fd < 0)
            GTEST_SKIP() << "cannot join the group on the loopback interface";
        m_responder = std::make_unique<Responder>(fd);
    }
    void TearDown() override
    {
        m_responder.reset();
        ResetProtocolState();
        SetInterfaceFilter({});
    }

    // Searches until the stand-in's device is listed (other programs on this host may be answering too).
    const DeviceRecord *SearchForDevice()
    {
        for (int attempt = 0; attempt < 5; ++attempt)
        {
            SearchDevices(1, 8);
            if (const DeviceRecord *record = FindDeviceRecord("10.99.77.5"))
                return record;
        }
        return nullptr;
    }

    std::unique_ptr<Responder> m_responder;
};

TEST(InterfaceFilterTest, AddressThatIsNotLocalLeavesTheTableEmpty)
{
    ResetProtocolState();
    SetInterfaceFilter({"192.0.2.123"});
    OpenEndpoints();
    EXPECT_EQ(g_ProtocolState.interfaceCount, 0);
    const auto start = std::chrono::steady_clock::now();
    SearchDevices(1, 8);
    // Without an interface there is nothing to listen on: far below one interface's 50 ms pause, with room
    // for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_TRUE(IsDeviceListEmpty());
    SetInterfaceFilter({});
    ResetProtocolState();
}

TEST_F(LoopbackTest, SearchFindsTheDeviceAndQueriesReachIt)
{
    const DeviceRecord *record = SearchForDevice();
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->server_name, "loop-nas");
    EXPECT_STREQ(record->server_MODEL, "NS-2");
    EXPECT_EQ(record->interfaceIndex, 0);

    CopyText(g_ProtocolState.selectedIp, "10.99.77.5");
    EXPECT_EQ(QuerySsl(), 1);
    EXPECT_STREQ(g_ProtocolState.sslText, "1");
    EXPECT_EQ(QueryDomain(), 1); // a 300-byte answer kept in its 128-byte field
    EXPECT_EQ(std::string(g_ProtocolState.domainText), std::string(127, 'd'));
}

TEST_F(LoopbackTest, SettingFromAnotherAddressTimesOut)
{
    ASSERT_NE(SearchForDevice(), nullptr);
    CopyText(g_ProtocolState.selectedIp, "10.99.77.5");
    CopyText(g_ProtocolState.newIp, "10.99.77.77"); // the device answers from 10.99.77.5
    CopyText(g_ProtocolState.codepageText, "950");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SetCodepage(), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    // Ten 100 ms pauses at least; the exchange gives up at three times its nominal 1.1 s at the latest.
    EXPECT_GE(took, 1000ms);
    EXPECT_LT(took, 3 * 1220ms + 1500ms);
}

TEST_F(LoopbackTest, OversizeDatagramIsSkipped)
{
    const int fd = JoinGroupOnLoopback();
    ASSERT_GE(fd, 0);
    SendToGroup(fd, std::vector<std::uint8_t>(5000, 0x42));
    SendToGroup(fd, std::vector<std::uint8_t>(kPacketBufferSize, 0x43));
    bool sawOversize = false, sawFull = false;
    std::vector<std::uint8_t> buffer(kPacketBufferSize + 1);
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!sawFull && std::chrono::steady_clock::now() < end)
    {
        if (!WaitReadable(g_ProtocolState.receiverSocket[0], 50ms))
            continue;
        const long n = ReceiveDatagram(g_ProtocolState.receiverSocket[0], buffer.data());
        ASSERT_LE(n, kPacketBufferSize);
        sawOversize |= n == kOversizeDatagram;
        sawFull |= n == kPacketBufferSize && buffer[0] == 0x43 && buffer[kPacketBufferSize] == 0;
    }
    close(fd);
    EXPECT_TRUE(sawOversize);
    EXPECT_TRUE(sawFull);
}
} // namespace
