// The names of the known Windows releases.

#include "services/WindowsVersion.h"

#include <gtest/gtest.h>

using namespace izuzez::services;

namespace
{

TEST(WindowsVersionTest, EveryRowOfTheTable)
{
    const struct
    {
        std::uint32_t platform, major, minor, build;
        const char *name;
    } cases[] = {
        {1, 4, 0, 950, "Windows 95"},
        {1, 4, 0, 949, "unknown Windows version"},
        {1, 4, 0, 951, "Windows 95 SP1"},
        {1, 4, 0, 1080, "Windows 95 SP1"},
        {1, 4, 3, 1081, "Windows 95 OSR2"},
        {1, 4, 10, 1998, "Windows 98"},
        {1, 4, 10, 1997, "unknown Windows version"},
        {1, 4, 10, 1999, "Windows 98 SP1"},
        {1, 4, 10, 2182, "Windows 98 SP1"},
        {1, 4, 10, 2183, "Windows 98 SE"},
        {1, 4, 10, 0x04000000u + 1998, "Windows 98"}, // only the low 16 bits count
        {1, 4, 90, 3000, "Windows ME"},
        {1, 4, 50, 3000, "unknown Windows version"},
        {1, 5, 0, 3000, "unknown Windows version"},
        {2, 3, 51, 1057, "Windows NT 3.51"},
        {2, 4, 0, 1381, "Windows NT 4"},
        {2, 5, 0, 2195, "Windows 2000"},
        {2, 5, 1, 2600, "Windows XP"},
        {2, 5, 2, 3790, "unknown Windows version"},
        {2, 6, 0, 6000, "Vista"},
        {2, 6, 3, 9600, "Vista"},
        {2, 7, 0, 7600, "unknown Windows version"},
        {3, 5, 0, 0, "Windows CE"},
        {0, 4, 10, 2222, "unknown Windows version"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WindowsVersionName({c.major, c.minor, c.build, c.platform}), c.name)
            << c.platform << " " << c.major << "." << c.minor << " build " << c.build;

    // Linux has no version to read.
    std::string name = "x";
    EXPECT_FALSE(GetWindowsVersionName(name));
    EXPECT_EQ(name, "unknown Windows version");
}

} // namespace
