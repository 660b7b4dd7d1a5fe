#!/usr/bin/env bash
# Builds the Debian package from an existing build directory, checks it with lintian, installs it with apt,
# runs the installed programs (a search against the installed simulator on loopback) and removes it again.
# Usage: scripts/package-check.sh [BUILD_DIR]   (default: build, which must be built already)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

rm -f "$build"/izuzez_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1) || { echo "package-check: cpack failed"; exit 1; }
deb=$(ls "$build"/izuzez_*.deb)
echo "package-check: $deb"
status=0
lintian --fail-on error "$deb" >"$build/lintian.txt" 2>&1 || status=$?
grep -v 'root privileges' "$build/lintian.txt" || true
[ "$status" -eq 0 ] || { echo "package-check: lintian reports errors"; exit 1; }

work=$(mktemp -d)
simulator=
cleanup() {
    [ -n "$simulator" ] && kill "$simulator" 2>/dev/null && wait "$simulator" 2>/dev/null || true
    rm -rf "$work"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq izuzez >/dev/null 2>&1 || true
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$(realpath "$deb")" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }

for program in izuzez izuzez-utility izuzez-devsim; do
    [ "$(command -v $program)" = "/usr/bin/$program" ] || { echo "package-check: $program not installed"; exit 1; }
    "/usr/bin/$program" --version
done
man -w izuzez izuzez-utility izuzez-devsim >/dev/null
[ -f /usr/share/icons/hicolor/48x48/apps/izuzez-utility.png ] || { echo "package-check: no icon"; exit 1; }
[ -f /etc/xdg/autostart/izuzez-drives.desktop ] || { echo "package-check: no autostart entry"; exit 1; }
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/izuzez-utility.desktop
    desktop-file-validate /etc/xdg/autostart/izuzez-drives.desktop
fi

# The installed simulator's three built-in devices on loopback, found by the installed command line.
/usr/bin/izuzez-devsim --duration 20 --quiet --log "$work/devsim.log" &
simulator=$!
for _ in $(seq 100); do
    grep -q '^ready ' "$work/devsim.log" 2>/dev/null && break
    sleep 0.1
done
grep -q '^ready ' "$work/devsim.log" || { echo "package-check: the simulator did not start"; cat "$work/devsim.log"; exit 1; }
/usr/bin/izuzez search --wait 500 --interface 127.0.0.1 | tee "$work/search.txt"
grep -q 'Storage-One' "$work/search.txt" || { echo "package-check: the search found nothing"; exit 1; }
# A share command runs in the helper under /usr/libexec, which the front end must find.
HOME="$work" XDG_DATA_HOME="$work/data" /usr/bin/izuzez drives >/dev/null ||
    { echo "package-check: the installed share helper did not run"; exit 1; }

# What the menu entry starts: the window must come up and stay until it is ended (124: ended by timeout).
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/izuzez-utility --interface 127.0.0.1 >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "package-check: the installed window ended by itself (status $status)"; exit 1; }

kill "$simulator"
wait "$simulator" 2>/dev/null || true
simulator=
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq izuzez >/dev/null
[ ! -e /usr/bin/izuzez ] || { echo "package-check: removal left /usr/bin/izuzez"; exit 1; }
echo "package-check: installed, ran and removed"
