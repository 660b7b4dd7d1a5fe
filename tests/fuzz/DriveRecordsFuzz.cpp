// The drive letter records: a letter's note (a "[Drive]" key file, or the older "remote=..." lines) and the
// GVfs folder name its link points at, both listed as `drives --json` does; the note's text also stands for a
// bookmarks file that gets and loses the letter's place.
#include "FuzzInput.h"
#include "Output.h"
#include "platform/RemoteName.h"
#include "platform/linux/DriveFolder.h"
#include "services/FilePlaces.h"

using namespace izuzez;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::AsText(data, size);
    const std::size_t split = text.find('\n');
    const std::string_view linkTarget = text.substr(0, split);
    const std::string_view note = split == std::string_view::npos ? std::string_view() : text.substr(split + 1);

    std::vector<cli::DriveRow> rows;
    std::string server;
    std::string share;
    if (platform::ParseGvfsSmbPath(linkTarget, server, share))
        rows.push_back({"Y:", platform::JoinRemoteName(server, share), std::string(linkTarget)});
    const platform::DriveRecord record = platform::ParseDriveRecord(note);
    if (const auto remote = record.find("remote"); remote != record.end())
    {
        if (platform::SplitRemoteName(remote->second, server, share))
            rows.push_back({"Z:", platform::JoinRemoteName(server, share), std::string(linkTarget)});
        rows.push_back({"X:", remote->second, std::string(note)});
        const std::string placed = services::WithPlace(note, "Z:", remote->second, linkTarget);
        services::WithoutPlace(placed, "Z:", remote->second);
    }
    cli::DrivesJson(rows);
    cli::DrivesText(rows);
    return 0;
}
