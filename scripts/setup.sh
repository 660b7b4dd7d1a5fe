#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format ccache
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    nlohmann-json3-dev
    fonts-liberation fontconfig
    iproute2 procps nftables
    lintian fakeroot dpkg-dev
    xvfb xauth imagemagick
    libglib2.0-dev xdg-utils
    samba smbclient dbus dbus-daemon gvfs gvfs-backends gvfs-fuse fuse3 util-linux
    binutils libsmbclient-dev
    clang clang-14 libclang-rt-14-dev
)

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
