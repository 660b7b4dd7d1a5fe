#include "platform/RemoteName.h"

namespace izuzez::platform
{

namespace
{

bool IsNamePart(std::string_view part)
{
    return !part.empty() && part.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

} // namespace

bool SplitRemoteName(std::string_view remote, std::string &server, std::string &share)
{
    if (remote.substr(0, 2) != "\\\\")
        return false;
    remote.remove_prefix(2);
    const std::size_t slash = remote.find('\\');
    if (slash == std::string_view::npos)
        return false;
    const std::string_view serverPart = remote.substr(0, slash);
    const std::string_view sharePart = remote.substr(slash + 1);
    if (!IsNamePart(serverPart) || !IsNamePart(sharePart))
        return false;
    server.assign(serverPart);
    share.assign(sharePart);
    return true;
}

std::string JoinRemoteName(std::string_view server, std::string_view share)
{
    std::string remote = "\\\\";
    remote.append(server).append("\\").append(share);
    return remote;
}

} // namespace izuzez::platform
