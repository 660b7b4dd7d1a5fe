#!/usr/bin/env bash
# Sets everything up, builds without Qt and runs the unit tests there, then builds everything and runs
# every test twice: once in an ordinary build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== formatting"
bash scripts/format.sh --check

echo "== build without Qt (the protocol, the command line and the simulator must never need it)"
cmake -S . -B build-nogui -DCMAKE_BUILD_TYPE=Debug -DIZUZEZ_BUILD_GUI=OFF -DIZUZEZ_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-nogui -j"$jobs"
ctest --test-dir build-nogui --output-on-failure -j"$jobs" -L unit

echo "== ordinary build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Debian package (from the ordinary build): lintian, apt install, run, remove"
bash scripts/package-check.sh build

echo "== sanitizer build (address, undefined)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DIZUZEZ_SANITIZE=ON -DIZUZEZ_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
