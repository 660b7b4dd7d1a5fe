#!/usr/bin/env bash
# Installs the Debian packages the program needs.
#   scripts/setup.sh           what building and running it need (the demo)
#   scripts/setup.sh --tests   that and everything the tests need: Samba, GVfs, lintian, Xvfb, ...
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache binutils
    qt6-base-dev qt6-base-dev-tools libgl-dev
    nlohmann-json3-dev libcli11-dev libglib2.0-dev libsmbclient-dev
    fonts-liberation fontconfig xdg-utils
)
if [ "${1:-}" = --tests ]; then
    packages+=(
        clang-format
        googletest libgtest-dev libgmock-dev libbenchmark-dev
        iproute2 procps nftables
        lintian fakeroot dpkg-dev desktop-file-utils
        xvfb xauth imagemagick
        samba smbclient dbus dbus-daemon gvfs gvfs-backends gvfs-fuse fuse3 util-linux
        clang clang-14 libclang-rt-14-dev
    )
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
