#!/usr/bin/env bash
# Formats every C++ source of the project with the repository's .clang-format.
# --check: change nothing, list the files that are not formatted and exit 1 if there are any.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    status=0
    for f in "${files[@]}"; do
        clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || { echo "not formatted: $f"; status=1; }
    done
    exit $status
fi
clang-format -i "${files[@]}"
