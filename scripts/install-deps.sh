#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need; installs nothing already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev libqcustomplot-dev libabsl-dev libuchardet-dev libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libgcc-12-dev
    clang-format xvfb xauth fonts-dejavu-core time
    clang libclang-rt-14-dev
    desktop-file-utils appstream groff-base # the checks of the installed tree and the package
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
