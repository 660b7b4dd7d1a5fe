#include "TestRun.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace izuzez::test
{

int RunAllTests()
{
    const int result = RUN_ALL_TESTS();
    const ::testing::UnitTest &unit = *::testing::UnitTest::GetInstance();
    if (result != 0 || unit.skipped_test_count() == 0)
        return result;
    std::fprintf(stderr, "%d of %d test(s) skipped themselves; the program counts as skipped\n",
                 unit.skipped_test_count(), unit.total_test_count());
    return kSkippedExitCode;
}

} // namespace izuzez::test
