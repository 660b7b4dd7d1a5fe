#include "Progress.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace izuzez::cli;

namespace
{

TEST(Progress, BarWidthStaysInsideItsBounds)
{
    const struct
    {
        int done, total, width;
        const char *bar;
    } cases[] = {
        {0, 4, 8, "--------"},  {1, 4, 8, "##------"}, {4, 4, 8, "########"}, {9, 4, 8, "########"},
        {-3, 4, 8, "--------"}, {1, 0, 4, "----"},     {1, 3, 0, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Progress::Bar(c.done, c.total, c.width), c.bar) << c.done << "/" << c.total;
}

TEST(Progress, TerminalRedrawsInPlacePlainOutputGivesLines)
{
    std::ostringstream plain;
    {
        Progress progress(plain, false);
        progress.Show(0, 2, "\\\\10.0.0.5\\HDD_1\\a");
        progress.Show(1, 2, "");
        progress.Show(1, 2, "\\\\10.0.0.5\\HDD_1\\b\x01");
    }
    EXPECT_EQ(plain.str(), "\\\\10.0.0.5\\HDD_1\\a\n\\\\10.0.0.5\\HDD_1\\b?\n");

    std::ostringstream terminal;
    {
        Progress progress(terminal, true);
        progress.Show(1, 2, "file");
    }
    EXPECT_EQ(terminal.str(), "\r[###############---------------] 50% file\x1b[K\n");
}

} // namespace
