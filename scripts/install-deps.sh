#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the window and the tests need,
# when any is missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libbenchmark-dev
    clang clang-format libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-arphic-uming
    xvfb xauth x11-utils imagemagick openbox xdotool
    desktop-file-utils time
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
