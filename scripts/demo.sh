#!/usr/bin/env bash
# Sets everything up, builds, starts the device simulator with its built-in devices on the loopback
# interface, and opens the window against it when a display is there. Without a display it says so and
# runs the main job on the command line instead: a device search, then a share query to the first device.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
echo "== building the window, the command line and the simulator (build/, Release)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DIZUZEZ_BUILD_TESTS=OFF -DIZUZEZ_BUILD_BENCHMARKS=OFF \
    -DIZUZEZ_BUILD_EXTRA_TOOLS=OFF >/dev/null
cmake --build build -j"$jobs" --target izuzez-utility izuzez izuzez-devsim >/dev/null

workdir=$(mktemp -d "${TMPDIR:-/tmp}/izuzez-demo.XXXXXX")
simulator_pid=""
cleanup() {
    if [ -n "$simulator_pid" ] && kill -0 "$simulator_pid" 2>/dev/null; then
        kill "$simulator_pid" 2>/dev/null || true
        wait "$simulator_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== starting the device simulator on 127.0.0.1"
build/bin/izuzez-devsim --log "$workdir/devsim.log" &
simulator_pid=$!

ready=no
for _ in $(seq 1 100); do
    if grep -q '^ready ' "$workdir/devsim.log" 2>/dev/null; then
        ready=yes
        break
    fi
    kill -0 "$simulator_pid" 2>/dev/null || break
    sleep 0.1
done
if [ "$ready" != yes ]; then
    echo "demo: the simulator did not come up:" >&2
    cat "$workdir/devsim.log" >&2 || true
    exit 1
fi
grep '^device ' "$workdir/devsim.log" | sed 's/^/   simulated: /'

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "== izuzez-utility --interface 127.0.0.1 (close the window to end the demo)"
    build/bin/izuzez-utility --interface 127.0.0.1
    echo "== done"
    exit 0
fi
echo "== no display (neither DISPLAY nor WAYLAND_DISPLAY is set): the window needs one, so here is the command line"

echo "== izuzez --interface 127.0.0.1 search"
build/bin/izuzez --interface 127.0.0.1 search

echo "== izuzez --interface 127.0.0.1 query 127.0.0.2 shares"
build/bin/izuzez --interface 127.0.0.1 query 127.0.0.2 shares

echo "== done"
