#pragma once

// The code-page and helper installation shared by the window and the command line: the language list,
// the files of each code page, the questions asked of the device and the engine that writes the files.
// Protocol calls block; the window runs these on its exchange worker.

#include "platform/NetworkDrives.h"
#include "services/Languages.h"

#include <chrono>
#include <functional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::services
{

enum class ShareKind
{
    Both,
    HddA, // 2.4 firmware: HDD_a\.codepages
    Hdd1, // 2.6 firmware: HDD_1\.systemfile\.codepages
};

struct CodepageFile
{
    int codepage;
    const char *fileName;
    int resourceId;
    ShareKind share;
};
// The files of a language for a share (HddA or Hdd1), in the order they are written.
std::vector<CodepageFile> FilesFor(int codepage, ShareKind share);

// The answer of the disk-state query as a number (0 for anything unreadable).
int AnswerNumber(std::string_view text);

// Texts shown to the user.
inline constexpr std::string_view kNoDisk =
    "No hard drives were detected.\nPlease verify that the hard drives are properly connected before continuing.";
inline constexpr std::string_view kFormatDisk = "Please format hard drive.";
inline constexpr std::string_view kUnicodeDevice = "This device supports Unicode.";
inline constexpr std::string_view kNoMultiLanguage = "Multi-language options are not supported on this device.";
inline constexpr std::string_view kUnsupportedCodepage =
    "This codepage does not supported in this firmware.\nPlease download the latest firmware from the support link.";
inline constexpr std::string_view kCheckDisks = "Please check hard drives.";
inline constexpr std::string_view kNoBitTorrent = "BitTorrent does not supported on this device now.";
inline constexpr std::string_view kWrongAdminPassword = "Wrong administrator password input!";
inline constexpr std::string_view kSelectDevice = "Please select a device.";

// The language dialog's questions: the disk state (up to 10 queries, 1 s apart, until 1 to 5) and, for a
// usable disk, the installed code page (up to 10 queries until one of the nine).
int AskLanguageDiskState();
int AskCurrentLanguageIndex(); // index of the combo; 2 ("Western European") for an unknown answer
// The refusal text for a disk-state answer, empty when the languages are offered (3 and 5). `opensWebPage`
// is set for an unformatted disk.
std::string_view LanguageRefusal(int diskState, bool &opensWebPage);
// 5: the firmware carries 865, 852 and 857.
bool HasExtraCodepages(int diskState);
// The language installation's opening questions in their order: the disk state and its refusal, and only
// for a disk that takes a language the installed code page (`current`, -1 otherwise).
struct LanguageDisk
{
    int state = 0;
    std::string_view refusal;
    bool opensWebPage = false;
    int current = -1;
};
LanguageDisk AskLanguageDisk();

// The BitTorrent support check's questions; see CheckBtSupport of the window for the decisions.
struct BtSupport
{
    int diskState = 0; // after the mapping of 4 and 5 to 3
    int support = 0;   // the bt_firmware answer
};
BtSupport AskBtSupport();
// The refusal text for a support answer, empty when the installation may go on. `opensWebPage` is set for
// an unformatted disk.
std::string_view BtRefusal(const BtSupport &support, bool &opensWebPage);

// Why an installation failed, for a message that names it.
struct InstallFailure
{
    std::string path;   // the file that could not be written; empty when none was tried
    std::string reason; // the system's words ("No space left on device")
    std::string share;  // "\\server\share" when it refused guests and no login got in
};

// Writes a resource to target (a UNC or C:\ path) and checks every write, the close and the size afterwards;
// through `final` when the target lies on C:, whose old file must go first. On failure says why in `failure`.
bool ExtractResourceFile(std::string_view type, int id, std::string_view target, std::string_view final,
                         InstallFailure *failure = nullptr);

// For a share that refused guests: asks `prompt` at most three times and tries each answer with `connect`
// (a network error code). True once one gets in; false on Cancel or the third refusal.
bool LogInToShare(std::string_view share, const platform::CredentialPrompt &prompt,
                  const std::function<int(const platform::Credentials &)> &connect);

// Progress of the engine: (file written, count of files); called before each file.
using EngineProgress = std::function<void(std::string_view path, int index, int count)>;

// The engine of the loading dialog for timer 1 (code pages, the language at `codepageIndex` of Languages();
// "Western European" when out of range) or 2 (BitTorrent): access mode, share name, target folder, the
// files, then SetCodepage / NotifyInstalled on success or "stop" on failure.
// Returns true on success; on failure the caller shows kCheckDisks, and `failure` says why. The share is
// reached through its mount when the session has it mapped, else as a guest; a refused guest asks `login`
// (called on the engine's thread), or fails without it.
bool RunInstallEngine(int timerId, int codepageIndex, std::string_view deviceIp, const EngineProgress &progress = {},
                      InstallFailure *failure = nullptr, const platform::CredentialPrompt &login = {});

// The wait for a restarted device to come back: 99 steps of 0.9 s and the rest of the 90 s, on the current
// wait clock. `step` gets 1..99 before each step's pause and 100 at the end. A stop ends the wait at once
// (false); true when it ran through.
inline constexpr std::chrono::milliseconds kRestartWait{90000};
using RestartStep = std::function<void(int percent)>;
bool WaitForRestart(const RestartStep &step, std::stop_token stop = {});

// The engine's target folder for a share-name answer; empty when the answer names neither share (the
// engine then writes nothing and fails).
std::string TargetFolder(std::string_view shareAnswer, int timerId, ShareKind &share);

} // namespace izuzez::services
