#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz in build-fuzz and runs each for SECONDS (default 10), one at a
# time, from its seeds in tests/fuzz/corpus/<target> and what earlier runs added in build-fuzz/corpus.
# Prints the executions and crashes per target and in all; exits 1 when any target crashed.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets without the "fuzz_" prefix are accepted)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
shift || true
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS] [TARGET...]" >&2; exit 2 ;; esac

build=build-fuzz
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" -DIZUZEZ_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target izuzez_fuzz

targets=()
if [ $# -gt 0 ]; then
    for t in "$@"; do targets+=("fuzz_${t#fuzz_}"); done
else
    for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

total_runs=0
total_crashes=0
report=()
for target in "${targets[@]}"; do
    binary=$build/bin/$target
    [ -x "$binary" ] || { echo "fuzz: no target $target" >&2; exit 2; }
    corpus=$build/corpus/$target
    findings=$build/findings/$target
    log=$build/logs/$target.log
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    before=$(find "$findings" -type f | wc -l)
    echo "== $target: ${seconds}s"
    # Stdout closed: the readers' own diagnostics would only fill the log. An input takes milliseconds; the
    # timeout is wide so that a machine busy with other work does not pass for a hang.
    "$binary" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=1 \
        -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    runs=${runs:-0}
    crashes=$(($(find "$findings" -type f | wc -l) - before))
    if [ "$crashes" -gt 0 ]; then
        echo "   crashed: see $log and $findings"
        grep -m 3 -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | sed 's/^/   /' || true
    fi
    total_runs=$((total_runs + runs))
    total_crashes=$((total_crashes + crashes))
    report+=("$(printf '%-26s %14s %8s' "$target" "$runs" "$crashes")")
done

printf '%-26s %14s %8s\n' TARGET EXECUTIONS CRASHES
printf '%s\n' "${report[@]}"
printf '%-26s %14s %8s\n' "all (${#targets[@]} targets)" "$total_runs" "$total_crashes"
[ "$total_crashes" -eq 0 ]
