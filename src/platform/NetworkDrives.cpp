#include "platform/NetworkDrives.h"

namespace izuzez::platform
{

namespace
{
std::unique_ptr<NetworkDrives> &DrivesSlot()
{
    static std::unique_ptr<NetworkDrives> slot;
    return slot;
}

CredentialPrompt &PromptSlot()
{
    static CredentialPrompt slot;
    return slot;
}
std::optional<std::chrono::steady_clock::time_point> &DeadlineSlot()
{
    static std::optional<std::chrono::steady_clock::time_point> slot;
    return slot;
}
} // namespace

int NetworkDrives::AddConnection(std::string_view, std::string_view, const char *, const char *, unsigned)
{
    return ERROR_NOT_SUPPORTED;
}

int NetworkDrives::CancelConnection(std::string_view, unsigned, bool)
{
    return ERROR_NOT_SUPPORTED;
}

int NetworkDrives::GetUser(std::string &) const
{
    return ERROR_NOT_SUPPORTED;
}

std::string NetworkDrives::LocalPath(std::string_view) const
{
    return {};
}

std::vector<RememberedDrive> NetworkDrives::DisconnectedRemembered() const
{
    return {};
}

bool NetworkDrives::FinishLateWork(std::chrono::steady_clock::time_point)
{
    return true;
}

void SetCredentialPrompt(CredentialPrompt prompt)
{
    PromptSlot() = std::move(prompt);
}

const CredentialPrompt &CurrentCredentialPrompt()
{
    return PromptSlot();
}

void SetConnectDeadline(std::optional<std::chrono::steady_clock::time_point> deadline)
{
    DeadlineSlot() = deadline;
}

std::optional<std::chrono::steady_clock::time_point> ConnectDeadline()
{
    return DeadlineSlot();
}

NetworkDrives &CurrentNetworkDrives()
{
    if (!DrivesSlot())
        DrivesSlot() = CreateNetworkDrives();
    return *DrivesSlot();
}

void SetNetworkDrives(std::unique_ptr<NetworkDrives> drives)
{
    DrivesSlot() = std::move(drives);
}

} // namespace izuzez::platform
