#include "TestRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace izuzez::test
{

namespace
{

// The desktop's settings and data folders of a run: a mapping made by a test must not reach the file
// manager of whoever runs the tests, and a test may register desktop entries there. A case that needs
// others sets its own.
class DesktopFolders
{
public:
    DesktopFolders()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "izuzez-desktop-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        m_path = pattern;
        setenv("XDG_CONFIG_HOME", (m_path + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_path + "/data").c_str(), 1);
    }
    ~DesktopFolders()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }

private:
    std::string m_path;
};

} // namespace

int RunAllTests()
{
    const DesktopFolders desktop;
    const int result = RUN_ALL_TESTS();
    const ::testing::UnitTest &unit = *::testing::UnitTest::GetInstance();
    if (result != 0 || unit.skipped_test_count() == 0)
        return result;
    std::fprintf(stderr, "%d of %d test(s) skipped themselves; the program counts as skipped\n",
                 unit.skipped_test_count(), unit.total_test_count());
    return kSkippedExitCode;
}

} // namespace izuzez::test
