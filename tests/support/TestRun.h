#pragma once

namespace izuzez::test
{

// ctest's SKIP_RETURN_CODE for every test program: a program whose cases skipped themselves (no root, no
// /dev/fuse, no Samba) is reported as skipped, never as passed.
inline constexpr int kSkippedExitCode = 77;

// Runs every registered case; 0 when all ran and passed, kSkippedExitCode when none failed but some
// skipped, otherwise gtest's failure code.
int RunAllTests();

} // namespace izuzez::test
