#pragma once

#include "Wire.h"

#include <optional>
#include <string>
#include <vector>

namespace izuzez::devsim
{

struct ListenPoint
{
    std::string address; // dotted local address
    unsigned ifindex = 0;
    std::string ifname;
};

// "127.0.0.1" (any address in 127.0.0.0/8 counts as lo) or an interface name such as "veth0".
std::optional<ListenPoint> ResolveListen(const std::string &where, std::string &error);

class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor &&other) noexcept : m_fd(other.Release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor();

    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd = -1;
};

// A socket bound to 224.0.0.1:13579 that receives the group's datagrams of one interface only.
// Binding the group instead of 0.0.0.0 leaves unicast replies at port 13579 to the program.
std::optional<FileDescriptor> OpenGroupSocket(const ListenPoint &point, std::string &error);

// The socket replies go out from: multicast loop on, so a program on this host sees group replies.
std::optional<FileDescriptor> OpenSenderSocket(std::string &error);

struct Received
{
    Bytes bytes;
    Ipv4 source{};
    std::uint16_t port = 0;
};

// Non-blocking; empty when nothing is queued.
std::optional<Received> ReceiveDatagram(int fd);

bool SendToGroup(int fd, const ListenPoint &via, std::span<const std::uint8_t> bytes, std::string &error);
bool SendUnicast(int fd, const Ipv4 &to, std::span<const std::uint8_t> bytes, std::string &error);

} // namespace izuzez::devsim
