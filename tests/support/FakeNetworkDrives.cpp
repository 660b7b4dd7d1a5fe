#include "FakeNetworkDrives.h"

namespace izuzez::test
{

using namespace platform;

std::string FakeNetworkDrives::Add::Text() const
{
    return local + " " + remote + " " + user.value_or("") + ":" + password.value_or("") + " " + std::to_string(flags);
}

std::vector<std::string> FakeNetworkDrives::AddTexts() const
{
    std::vector<std::string> texts;
    for (const Add &add : adds)
        texts.push_back(add.Text());
    return texts;
}

std::vector<std::string> FakeNetworkDrives::CancelledLetters() const
{
    std::vector<std::string> letters;
    for (const Cancel &cancel : cancels)
        letters.push_back(cancel.local);
    return letters;
}

int FakeNetworkDrives::GetDriveType(std::string_view rootPath) const
{
    const char letter = DriveLetterOf(rootPath);
    if (const auto it = types.find(letter); it != types.end())
        return it->second;
    return remotes.count(letter) != 0 ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
}

bool FakeNetworkDrives::GetConnection(std::string_view localName, std::string &remoteName) const
{
    const auto it = remotes.find(DriveLetterOf(localName));
    if (it == remotes.end())
        return false;
    remoteName = it->second;
    return true;
}

int FakeNetworkDrives::AddConnection(std::string_view localName, std::string_view remoteName, const char *password,
                                     const char *userName, unsigned flags)
{
    inAdd = true;
    std::this_thread::sleep_for(addDelay);
    if (promptWhenInteractive && (flags & CONNECT_INTERACTIVE) != 0 && CurrentCredentialPrompt())
        prompted = CurrentCredentialPrompt()(remoteName);
    inAdd = false;
    adds.push_back({std::string(localName), std::string(remoteName),
                    password ? std::optional<std::string>(password) : std::nullopt,
                    userName ? std::optional<std::string>(userName) : std::nullopt, flags,
                    ConnectDeadline().has_value(), std::this_thread::get_id()});
    int answer = addAnswer;
    if (!addAnswers.empty())
    {
        answer = addAnswers.front();
        addAnswers.pop_front();
    }
    if (answer == NO_ERROR)
        remotes[DriveLetterOf(localName)] = std::string(remoteName);
    return answer;
}

int FakeNetworkDrives::CancelConnection(std::string_view localName, unsigned flags, bool force)
{
    cancels.push_back({std::string(localName), flags, force});
    return remotes.erase(DriveLetterOf(localName)) != 0 ? NO_ERROR : ERROR_NOT_CONNECTED;
}

int FakeNetworkDrives::GetUser(std::string &userName) const
{
    userName = user;
    return NO_ERROR;
}

std::string FakeNetworkDrives::LocalPath(std::string_view localName) const
{
    return pathRoot.empty() ? std::string() : pathRoot + DriveLetterOf(localName);
}

std::vector<RememberedDrive> FakeNetworkDrives::DisconnectedRemembered() const
{
    std::vector<RememberedDrive> waiting;
    for (const RememberedDrive &drive : remembered)
        if (remotes.count(DriveLetterOf(drive.localName)) == 0)
            waiting.push_back(drive);
    return waiting;
}

} // namespace izuzez::test
