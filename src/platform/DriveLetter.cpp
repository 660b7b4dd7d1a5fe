#include "platform/NetworkDrives.h"

// Apart from the rest of the drives layer: reading a letter must not bring in its backend.
namespace izuzez::platform
{

char DriveLetterOf(std::string_view rootPath)
{
    if (rootPath.size() < 2 || rootPath.size() > 3 || rootPath[1] != ':')
        return 0;
    if (rootPath.size() == 3 && rootPath[2] != '\\' && rootPath[2] != '/')
        return 0;
    char letter = rootPath[0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return (letter >= 'A' && letter <= 'Z') ? letter : 0;
}

} // namespace izuzez::platform
