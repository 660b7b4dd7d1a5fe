#include "services/CodepageInstall.h"

#include "platform/NetworkDrives.h"
#include "platform/RemoteName.h"
#include "platform/Resources.h"
#include "platform/TextCompare.h"
#include "platform/WinError.h"
#include "platform/WinFiles.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "services/WaitClock.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace izuzez::services
{

namespace
{
using namespace std::chrono_literals;
using enum ShareKind;

constexpr CodepageFile files[] = {
    {950, "codepage.950", 151, Both},     {950, "nls_cp950.o", 153, HddA},        {950, "nls_big5.o", 155, HddA},
    {950, "nls_cp950.ko", 174, Hdd1},     {950, "nls_cp950_12.ko", 192, Hdd1},    {950, "unicode_map.950", 156, Both},
    {936, "codepage.936", 157, Both},     {936, "nls_cp936.o", 158, HddA},        {936, "nls_gb2312.o", 159, HddA},
    {936, "nls_cp936.ko", 175, Hdd1},     {936, "nls_cp936_12.ko", 190, Hdd1},    {936, "unicode_map.936", 160, Both},
    {850, "codepage.850", 143, Both},     {850, "nls_cp850.o", 145, HddA},        {850, "nls_cp850.ko", 179, Hdd1},
    {850, "nls_cp850_12.ko", 187, Hdd1},  {850, "unicode_map.850", 148, Both},    {932, "codepage.932", 161, Both},
    {932, "nls_cp932.o", 162, HddA},      {932, "nls_euc-jp.o", 163, HddA},       {932, "nls_sjis.o", 172, HddA},
    {932, "nls_cp932.ko", 173, Hdd1},     {932, "nls_euc-jp.ko", 178, Hdd1},      {932, "nls_cp932_12.ko", 189, Hdd1},
    {932, "nls_euc-jp_12.ko", 193, Hdd1}, {932, "unicode_map.932", 164, Both},    {949, "codepage.949", 165, Both},
    {949, "nls_cp949.o", 166, HddA},      {949, "nls_euc-kr.o", 167, HddA},       {949, "nls_cp949.ko", 176, Hdd1},
    {949, "nls_cp949_12.ko", 191, Hdd1},  {949, "unicode_map.949", 168, Both},    {866, "codepage.866", 169, Both},
    {866, "nls_cp866.o", 170, HddA},      {866, "nls_koi8-r.o", 185, HddA},       {866, "nls_cp866.ko", 177, Hdd1},
    {866, "nls_koi8-r.ko", 183, Hdd1},    {866, "nls_cp866_12.ko", 188, Hdd1},    {866, "nls_koi8-r_12.ko", 194, Hdd1},
    {866, "unicode_map.866", 171, Both},  {866, "unicode_map.KOI8-R", 184, Both},
};

void SendStop()
{
    CopyText(g_ProtocolState.stopText, "stop");
    SendStopCommand();
}

bool RunBtFiles(std::string_view deviceIp, const std::string &target, const EngineProgress &progress,
                InstallFailure &failure)
{
    platform::CreateFolder("C:\\bt\\");
    const std::string device = platform::JoinRemoteName(deviceIp, target) + "\\";
    if (progress)
        progress(device + "bt", 0, 2);
    const bool bt = ExtractResourceFile("BT", 215, "C:\\bt\\bt", device + "bt", &failure);
    if (progress)
        progress(device + "btdog", 1, 2);
    InstallFailure second;
    const bool btdog = ExtractResourceFile("BT", 220, "C:\\bt\\btdog", device + "btdog", &second);
    if (bt && !btdog)
        failure = second;
    if (!bt || !btdog)
        return false;
    CopyText(g_ProtocolState.installedText, "BT");
    NotifyInstalled();
    return true;
}

// Guests first, as the devices' shares let them in; only a refused guest asks for a login. Other troubles
// show at the first file, with their reasons.
bool ConnectShare(const std::string &share, const platform::CredentialPrompt &login, InstallFailure &failure)
{
    using namespace platform;
    int result = -1;
    for (int attempt = 0; attempt < 6 && result != NO_ERROR && result != ERROR_ACCESS_DENIED; ++attempt)
        result = WNetAddConnection2A(share, "", "");
    if (result != ERROR_ACCESS_DENIED)
        return true;
    const auto connect = [&share](const Credentials &typed)
    { return WNetAddConnection2A(share, typed.password, typed.userName); };
    if (login && LogInToShare(share, login, connect))
        return true;
    failure.share = share;
    failure.reason = platform::FileErrorText(EACCES);
    return false;
}
} // namespace

std::vector<CodepageFile> FilesFor(int codepage, ShareKind share)
{
    std::vector<CodepageFile> out;
    for (const CodepageFile &file : files)
        if (file.codepage == codepage && (file.share == Both || file.share == share))
            out.push_back(file);
    return out;
}

int AnswerNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    int value = 0;
    bool any = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && value < 100000; ++i)
    {
        value = value * 10 + (text[i] - '0');
        any = true;
    }
    return any ? value : 0;
}

int AskLanguageDiskState()
{
    int number = 0;
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        CopyText(g_ProtocolState.ideokText, "");
        QueryIdeok();
        CurrentWaitClock().Sleep(1000ms);
        number = AnswerNumber(FieldText(g_ProtocolState.ideokText));
        if (number >= 1 && number <= 5)
            break;
    }
    return number;
}

int AskCurrentLanguageIndex()
{
    int index = -1;
    for (int attempt = 0; attempt < 10 && index < 0; ++attempt)
    {
        CopyText(g_ProtocolState.codepageText, "");
        QueryCodepage();
        CurrentWaitClock().Sleep(1000ms);
        index = LanguageIndexOf(FieldText(g_ProtocolState.codepageText));
    }
    return index < 0 ? 2 : index;
}

BtSupport AskBtSupport()
{
    BtSupport result;
    for (int attempt = 0; attempt < 15; ++attempt)
    {
        CopyText(g_ProtocolState.ideokText, "");
        const int ok = QueryIdeok();
        CurrentWaitClock().Sleep(2000ms);
        result.diskState = AnswerNumber(FieldText(g_ProtocolState.ideokText));
        if ((result.diskState >= 1 && result.diskState <= 4) || (result.diskState == 5 && ok == 1))
            break;
    }
    if (result.diskState >= 3 && result.diskState <= 5)
    {
        result.diskState = 3;
        CopyText(g_ProtocolState.ideokText, "3");
    }
    CopyText(g_ProtocolState.btFirmwareText, "");
    const int ok = QueryBtFirmware();
    CurrentWaitClock().Sleep(1000ms);
    result.support = AnswerNumber(FieldText(g_ProtocolState.btFirmwareText));
    if (!(ok == 1 && result.support == 2))
    {
        for (int attempt = 0; attempt < 15; ++attempt)
        {
            CopyText(g_ProtocolState.btFirmwareText, "");
            QueryBtFirmware();
            CurrentWaitClock().Sleep(2000ms);
            result.support = AnswerNumber(FieldText(g_ProtocolState.btFirmwareText));
            if (result.support == 1)
                break;
        }
    }
    return result;
}

std::string_view LanguageRefusal(int diskState, bool &opensWebPage)
{
    opensWebPage = diskState == 2;
    switch (diskState)
    {
    case 1:
        return kNoDisk;
    case 2:
        return kFormatDisk;
    case 3:
    case 5:
        return {};
    case 4:
        return kUnicodeDevice;
    default:
        return kNoMultiLanguage;
    }
}

bool HasExtraCodepages(int diskState)
{
    return diskState == 5;
}

LanguageDisk AskLanguageDisk()
{
    LanguageDisk disk;
    disk.state = AskLanguageDiskState();
    disk.refusal = LanguageRefusal(disk.state, disk.opensWebPage);
    if (disk.refusal.empty())
        disk.current = AskCurrentLanguageIndex();
    return disk;
}

std::string_view BtRefusal(const BtSupport &support, bool &opensWebPage)
{
    opensWebPage = false;
    switch (support.diskState)
    {
    case 1:
        return kNoDisk;
    case 2:
        opensWebPage = true;
        return kFormatDisk;
    case 3:
        return support.support == 1 ? std::string_view{} : kNoBitTorrent;
    default:
        return kNoBitTorrent;
    }
}

bool ExtractResourceFile(std::string_view type, int id, std::string_view target, std::string_view final,
                         InstallFailure *failure)
{
    using namespace platform;
    const HRSRC resource = FindResourceA(nullptr, id, type);
    const void *bytes = LockResource(LoadResource(nullptr, resource));
    const std::uint32_t size = bytes != nullptr ? SizeofResource(nullptr, resource) : 0;

    int error = bytes != nullptr ? WriteWholeFile(target, bytes, size) : ENOENT;
    std::string_view written = target;
    if (error == 0 && target.find("C:\\") != std::string_view::npos)
    {
        error = ReplaceFile(target, final);
        RemoveFile(target);
        written = final;
    }
    if (error != 0 && failure != nullptr)
    {
        failure->path = std::string(written);
        failure->reason = FileErrorText(error);
    }
    return error == 0;
}

bool LogInToShare(std::string_view share, const platform::CredentialPrompt &prompt,
                  const std::function<int(const platform::Credentials &)> &connect)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        const std::optional<platform::Credentials> typed = prompt(share);
        if (!typed)
            return false;
        if (connect(*typed) == platform::NO_ERROR)
            return true;
    }
    return false;
}

std::string TargetFolder(std::string_view shareAnswer, int timerId, ShareKind &share)
{
    const std::string folder = timerId == 2 ? "Nas_Prog/BT" : ".codepages";
    if (shareAnswer.empty() || platform::EqualsIgnoringCase(shareAnswer, "HDD_a"))
    {
        share = HddA;
        return "HDD_a\\" + folder;
    }
    if (platform::EqualsIgnoringCase(shareAnswer, "HDD_1"))
    {
        share = Hdd1;
        return timerId == 2 ? "HDD_1\\" + folder : std::string(shareAnswer) + "\\.systemfile\\" + folder;
    }
    share = Both;
    return {};
}

bool RunInstallEngine(int timerId, int codepageIndex, std::string_view deviceIp, const EngineProgress &progress,
                      InstallFailure *failure, const platform::CredentialPrompt &login)
{
    InstallFailure failed;
    CopyText(g_ProtocolState.accessModeText, "rw");
    SetAccessMode();
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        CopyText(g_ProtocolState.shareNameText, "");
        QueryShareName();
        const std::string_view answer = FieldText(g_ProtocolState.shareNameText);
        if (platform::EqualsIgnoringCase(answer, "HDD_1") || platform::EqualsIgnoringCase(answer, "HDD_a"))
            break;
    }
    ShareKind share = Both;
    const std::string target = TargetFolder(FieldText(g_ProtocolState.shareNameText), timerId, share);
    const std::string shareRoot = platform::JoinRemoteName(deviceIp, target.substr(0, target.find('\\')));
    // A share that is neither of the two has no place for the files: nothing is written.
    bool installed = false;
    if (!target.empty() && !ConnectShare(shareRoot, login, failed))
        installed = false;
    else if (!target.empty() && timerId == 2)
        installed = RunBtFiles(deviceIp, target, progress, failed);
    else if (!target.empty())
    {
        const int index = codepageIndex >= 0 && codepageIndex < 9 ? codepageIndex : 2;
        const char *codepage = Languages()[static_cast<std::size_t>(index)].codepage;
        const std::vector<CodepageFile> list = FilesFor(AnswerNumber(codepage), share);
        installed = true;
        for (std::size_t i = 0; i < list.size() && installed; ++i)
        {
            const std::string path = platform::JoinRemoteName(deviceIp, target) + "\\" + list[i].fileName;
            if (progress)
                progress(path, static_cast<int>(i), static_cast<int>(list.size()));
            installed = ExtractResourceFile("Codepage", list[i].resourceId, path, "", &failed);
        }
        if (installed)
        {
            CopyText(g_ProtocolState.codepageText, codepage);
            SetCodepage();
        }
    }
    // Also when no file was tried (no usable share): the caller offers the choice again.
    if (!installed)
        SendStop();
    if (failure != nullptr)
        *failure = installed ? InstallFailure{} : failed;
    return installed;
}

bool WaitForRestart(const RestartStep &step, std::stop_token stop)
{
    using namespace std::chrono_literals;
    constexpr int kSteps = 99;
    constexpr std::chrono::milliseconds kStep = 900ms;
    // The pauses wake at a stop; nothing is ever notified otherwise.
    std::mutex mutex;
    std::condition_variable_any wake;
    const auto pause = [&](std::chrono::milliseconds nominal)
    {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, stop, CurrentWaitClock().Scaled(nominal), [] { return false; });
        return !stop.stop_requested();
    };
    for (int percent = 1; percent <= kSteps; ++percent)
    {
        if (stop.stop_requested())
            return false;
        step(percent);
        if (!pause(kStep))
            return false;
    }
    if (!pause(kRestartWait - kSteps * kStep))
        return false;
    step(100);
    return true;
}

} // namespace izuzez::services
