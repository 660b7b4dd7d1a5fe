#!/usr/bin/env bash
# Sets everything up, builds without Qt and runs the unit tests there, then builds everything and runs the
# other tests in an ordinary build, and every test under AddressSanitizer and UndefinedBehaviorSanitizer.
# Exits non-zero on the first failure. Run as root (as CI does), a test that skipped itself is a failure too:
# every package is installed then, so a skip can only hide a test that did not run.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/setup.sh --tests

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# run_tests BUILD_DIR [CTEST_ARGS...]: ctest, then no skipped test when running as root.
run_tests() {
    local dir=$1
    shift
    local log="$dir/ctest-output.txt"
    local status=0
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" "$@" 2>&1 | tee "$log" || status=$?
    [ "$status" -eq 0 ] || exit "$status"
    if [ "$(id -u)" -eq 0 ] && grep -q '(Skipped)' "$log"; then
        echo "test: these tests skipped themselves although everything they need is here as root:"
        grep '(Skipped)' "$log"
        exit 1
    fi
}

echo "== formatting"
bash scripts/format.sh --check

echo "== build without Qt (the protocol, the command line and the simulator must never need it)"
cmake -S . -B build-nogui -DCMAKE_BUILD_TYPE=Debug -DIZUZEZ_BUILD_GUI=OFF -DIZUZEZ_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-nogui -j"$jobs"
run_tests build-nogui -L unit

echo "== ordinary build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIZUZEZ_BUILD_TESTS=ON -DIZUZEZ_BUILD_BENCHMARKS=ON \
    -DIZUZEZ_BUILD_EXTRA_TOOLS=ON >/dev/null
cmake --build build -j"$jobs"
# The unit tests ran in the build without Qt already; this build adds the GUI and end-to-end tests.
run_tests build -LE unit

echo "== Debian package (from the ordinary build): lintian, apt install, run, remove"
bash scripts/package-check.sh build

echo "== sanitizer build (address, undefined)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DIZUZEZ_SANITIZE=ON -DIZUZEZ_BUILD_BENCHMARKS=OFF \
    -DIZUZEZ_BUILD_EXTRA_TOOLS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
run_tests build-asan

echo "== fuzzing: every reader of outside bytes, 10 s a target"
bash scripts/fuzz.sh 10

echo "== all tests passed in $((SECONDS - started)) s"
