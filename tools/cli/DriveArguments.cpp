#include "DriveArguments.h"

#include "platform/NetworkDrives.h"

namespace izuzez::cli
{

namespace
{

std::string NormalLetter(const std::string &text)
{
    const char letter = platform::DriveLetterOf(text.size() == 1 ? text + ":" : text);
    return letter == 0 ? std::string() : std::string{letter, ':'};
}

} // namespace

bool IsDriveCommand(Command command)
{
    return command == Command::Open || command == Command::Map || command == Command::Unmap ||
           command == Command::Drives;
}

std::string CheckDriveCommand(Options &o, const std::vector<std::string> &positional)
{
    const std::size_t least = o.command == Command::Map ? 2 : o.command == Command::Drives ? 0 : 1;
    const std::size_t most = o.command == Command::Map ? 3 : least;
    if (positional.size() < least)
        return o.command == Command::Map     ? "map needs the device's IP address and a volume."
               : o.command == Command::Unmap ? "unmap needs a drive letter."
                                             : "This command needs the device's IP address.";
    if (positional.size() > most)
        return "Unexpected argument '" + positional[most] + "'.";
    if (o.command == Command::Open || o.command == Command::Map)
    {
        o.deviceIp = positional[0];
        if (std::string error = DeviceIpError(o.deviceIp); !error.empty())
            return error;
    }
    if (o.command == Command::Map)
    {
        o.volume = positional[1];
        if (o.volume.empty() || o.volume.find_first_of("\\/") != std::string::npos)
            return "'" + o.volume + "' is not a volume name.";
    }
    const std::string letterText = o.command == Command::Unmap
                                       ? positional[0]
                                       : (o.command == Command::Map && positional.size() == 3 ? positional[2] : "");
    if (!letterText.empty())
    {
        o.letter = NormalLetter(letterText);
        if (o.letter.empty() || o.letter == "A:" || o.letter == "B:" || o.letter == "C:")
            return "'" + letterText + "' is not a drive letter from D: to Z:.";
    }
    if (o.noPrompt && !o.reconnect)
        return "--no-prompt belongs to drives --reconnect.";
    if (o.passwordStdin && o.user.empty())
        return "--password-stdin needs --user.";
    return {};
}

} // namespace izuzez::cli
