// The installation's rules without a device: which files each language writes to each share, where they
// go, the answers the flows accept, the restart wait, and the widget files.

#include "services/CodepageInstall.h"
#include "services/WaitClock.h"
#include "services/WidgetLaunch.h"
#include "support/Installed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

using namespace izuzez::services;

namespace
{

std::vector<std::string> Names(int codepage, ShareKind share)
{
    std::vector<std::string> names;
    for (const CodepageFile &file : FilesFor(codepage, share))
        names.push_back(file.fileName);
    return names;
}

TEST(InstallRulesTest, EachLanguageWritesItsFilesInTableOrder)
{
    const struct
    {
        int codepage;
        ShareKind share;
        std::vector<std::string> names;
    } cases[] = {
        {950, ShareKind::Hdd1, {"codepage.950", "nls_cp950.ko", "nls_cp950_12.ko", "unicode_map.950"}},
        {950, ShareKind::HddA, {"codepage.950", "nls_cp950.o", "nls_big5.o", "unicode_map.950"}},
        {936, ShareKind::Hdd1, {"codepage.936", "nls_cp936.ko", "nls_cp936_12.ko", "unicode_map.936"}},
        {850, ShareKind::HddA, {"codepage.850", "nls_cp850.o", "unicode_map.850"}},
        {932, ShareKind::HddA, {"codepage.932", "nls_cp932.o", "nls_euc-jp.o", "nls_sjis.o", "unicode_map.932"}},
        {932,
         ShareKind::Hdd1,
         {"codepage.932", "nls_cp932.ko", "nls_euc-jp.ko", "nls_cp932_12.ko", "nls_euc-jp_12.ko", "unicode_map.932"}},
        {949, ShareKind::HddA, {"codepage.949", "nls_cp949.o", "nls_euc-kr.o", "unicode_map.949"}},
        {866,
         ShareKind::Hdd1,
         {"codepage.866", "nls_cp866.ko", "nls_koi8-r.ko", "nls_cp866_12.ko", "nls_koi8-r_12.ko", "unicode_map.866",
          "unicode_map.KOI8-R"}},
        {866,
         ShareKind::HddA,
         {"codepage.866", "nls_cp866.o", "nls_koi8-r.o", "unicode_map.866", "unicode_map.KOI8-R"}},
        {865, ShareKind::Hdd1, {}},
        {852, ShareKind::HddA, {}},
        {857, ShareKind::Hdd1, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Names(c.codepage, c.share), c.names) << c.codepage;
}

TEST(InstallRulesTest, TargetFolderFollowsTheShareAnswer)
{
    const struct
    {
        const char *answer;
        int timer;
        const char *folder;
        ShareKind share;
    } cases[] = {
        {"HDD_1", 1, "HDD_1\\.systemfile\\.codepages", ShareKind::Hdd1},
        {"hdd_1", 1, "hdd_1\\.systemfile\\.codepages", ShareKind::Hdd1}, // as received
        {"HDD_a", 1, "HDD_a\\.codepages", ShareKind::HddA},
        {"hdd_A", 1, "HDD_a\\.codepages", ShareKind::HddA},
        {"", 1, "HDD_a\\.codepages", ShareKind::HddA},
        {"HDD_1", 2, "HDD_1\\Nas_Prog/BT", ShareKind::Hdd1},
        {"hdd_1", 2, "HDD_1\\Nas_Prog/BT", ShareKind::Hdd1},
        {"", 2, "HDD_a\\Nas_Prog/BT", ShareKind::HddA},
        {"video", 1, "", ShareKind::Both},
        {"HDD_10", 2, "", ShareKind::Both},
    };
    for (const auto &c : cases)
    {
        ShareKind share = ShareKind::Both;
        EXPECT_EQ(TargetFolder(c.answer, c.timer, share), c.folder) << c.answer;
        EXPECT_EQ(share, c.share) << c.answer;
    }
}

TEST(InstallRulesTest, AnswersAndLanguages)
{
    const std::pair<const char *, int> numbers[] = {{"3", 3}, {" 5", 5}, {"12abc", 12}, {"", 0}, {"x", 0}, {"-1", 0}};
    for (const auto &[text, number] : numbers)
        EXPECT_EQ(AnswerNumber(text), number) << text;
    EXPECT_EQ(AnswerNumber(std::string(200, '9')), AnswerNumber(std::string(200, '9'))); // bounded, no overflow

    ASSERT_EQ(Languages().size(), 9u);
    const char *const codepages[] = {"950", "936", "850", "865", "852", "857", "949", "866", "932"};
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_STREQ(Languages()[static_cast<std::size_t>(i)].codepage, codepages[i]);
        EXPECT_EQ(LanguageIndexOf(codepages[i]), i);
        EXPECT_EQ(IsCodepageUnsupported(i, false), i >= 3 && i <= 5);
        EXPECT_FALSE(IsCodepageUnsupported(i, true));
    }
    EXPECT_EQ(LanguageIndexOf("437"), -1);
}

TEST(InstallRulesTest, BitTorrentRefusalsByDiskState)
{
    const struct
    {
        int disk, support;
        std::string_view refusal;
        bool web;
    } cases[] = {
        {1, 1, kNoDisk, false},       {2, 1, kFormatDisk, true},    {3, 1, "", false},
        {3, 0, kNoBitTorrent, false}, {3, 2, kNoBitTorrent, false}, {0, 1, kNoBitTorrent, false},
    };
    for (const auto &c : cases)
    {
        bool web = false;
        EXPECT_EQ(BtRefusal({c.disk, c.support}, web), c.refusal) << c.disk << "/" << c.support;
        EXPECT_EQ(web, c.web);
    }
}

TEST(InstallRulesTest, LanguageRefusalsByDiskState)
{
    const struct
    {
        int disk;
        std::string_view refusal;
        bool web, extra;
    } cases[] = {
        {1, kNoDisk, false, false},          {2, kFormatDisk, true, false}, {3, "", false, false},
        {4, kUnicodeDevice, false, false},   {5, "", false, true},          {0, kNoMultiLanguage, false, false},
        {6, kNoMultiLanguage, false, false},
    };
    for (const auto &c : cases)
    {
        bool web = !c.web;
        EXPECT_EQ(LanguageRefusal(c.disk, web), c.refusal) << c.disk;
        EXPECT_EQ(web, c.web) << c.disk;
        EXPECT_EQ(HasExtraCodepages(c.disk), c.extra) << c.disk;
    }
}

// Writes down the pauses asked for and takes none of them.
class CountingClock : public WaitClock
{
public:
    explicit CountingClock(std::vector<std::chrono::milliseconds> &asked) : m_asked(asked) {}
    std::chrono::milliseconds Scaled(std::chrono::milliseconds nominal) const override
    {
        m_asked.push_back(nominal);
        return std::chrono::milliseconds{0};
    }

private:
    std::vector<std::chrono::milliseconds> &m_asked;
};

// 99 steps of 0.9 s and the rest of the 90 s; a stop ends it before the next step is shown.
TEST(InstallRulesTest, RestartWaitStepsAndStops)
{
    const struct
    {
        int stopAt; // the step whose report asks for the stop; 0 before the wait, -1 never
        int steps;
        bool through;
    } cases[] = {{-1, 100, true}, {0, 0, false}, {1, 1, false}, {40, 40, false}, {99, 99, false}, {100, 100, true}};
    for (const auto &c : cases)
    {
        std::vector<std::chrono::milliseconds> asked;
        std::optional<izuzez::test::Installed<CountingClock>> clock(std::in_place, asked);
        std::stop_source stop;
        if (c.stopAt == 0)
            stop.request_stop();
        std::vector<int> seen;
        const bool through = WaitForRestart(
            [&](int percent)
            {
                seen.push_back(percent);
                if (percent == c.stopAt)
                    stop.request_stop();
            },
            stop.get_token());
        clock.reset();
        EXPECT_EQ(through, c.through) << c.stopAt;
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(c.steps)) << c.stopAt;
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(seen[i], static_cast<int>(i) + 1);
        std::chrono::milliseconds total{0};
        for (const auto pause : asked)
            total += pause;
        if (c.through)
        {
            EXPECT_EQ(total, kRestartWait) << c.stopAt;
        }
        EXPECT_EQ(asked.size(), static_cast<std::size_t>(std::min(c.steps, 100))) << c.stopAt;
    }
}

TEST(InstallRulesTest, WidgetFiles)
{
    const std::pair<const char *, const char *> models[] = {
        {"QB-12", "VANTRELEu_QB12_Widget.widget"},
        {"QB-24", "VANTRELEu_QB24_Widget.widget"},
        {"QB-11", "VANTRELEu_QB11_Widget.widget"},
        {"QB-15", "VANTRELEu_QB15_Widget"},
        {"qb-12", nullptr},
        {"QB-12 ", nullptr},
    };
    for (const auto &[model, file] : models)
    {
        if (file == nullptr)
            EXPECT_EQ(WidgetFileForModel(model), nullptr) << model;
        else
            EXPECT_STREQ(WidgetFileForModel(model), file) << model;
    }
    EXPECT_STREQ(WidgetFileForChoice(0), "VANTRELEu_QB11_Widget.widget");
    EXPECT_STREQ(WidgetFileForChoice(1), "VANTRELEu_QB12_Widget.widget");
    EXPECT_STREQ(WidgetFileForChoice(2), "VANTRELEu_QB24_Widget.widget");
    EXPECT_EQ(WidgetFileForChoice(-1), nullptr);
    EXPECT_EQ(WidgetFileForChoice(3), nullptr);
}

// A share that refuses guests: the typed logins are tried in turn, at most three, and Cancel ends it.
TEST(InstallRulesTest, ShareLoginTriesAtMostThreeAndStopsAtCancel)
{
    using izuzez::platform::Credentials;
    constexpr int kRefused = 1326;
    const struct
    {
        std::vector<std::optional<std::string>> typed; // passwords, nullopt for Cancel
        std::string good;
        bool in;
        int asked;
    } cases[] = {
        {{"right"}, "right", true, 1},
        {{"wrong", "right"}, "right", true, 2},
        {{"a", "b", "c", "right"}, "right", false, 3},
        {{"a", std::nullopt, "right"}, "right", false, 2},
        {{std::nullopt}, "right", false, 1},
    };
    for (const auto &c : cases)
    {
        int asked = 0;
        std::vector<std::string> tried;
        const auto prompt = [&](std::string_view share) -> std::optional<Credentials>
        {
            EXPECT_EQ(share, "\\\\10.0.0.5\\HDD_1");
            const std::optional<std::string> password = c.typed.at(static_cast<std::size_t>(asked++));
            if (!password)
                return std::nullopt;
            return Credentials{"alice", *password};
        };
        const auto connect = [&](const Credentials &login)
        {
            tried.push_back(login.userName + ":" + login.password);
            return login.password == c.good ? 0 : kRefused;
        };
        EXPECT_EQ(LogInToShare("\\\\10.0.0.5\\HDD_1", prompt, connect), c.in) << c.typed.size();
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(tried.size(), static_cast<std::size_t>(c.asked) - (c.typed[asked - 1] ? 0 : 1));
    }
}

} // namespace
