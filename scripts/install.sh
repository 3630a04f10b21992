#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the demo and the
# benchmarks need. Quiet when everything is already there.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ ccache pkg-config googletest libbenchmark-dev
    # the post-link step of the Windows files that go onto a medium
    python3
    # Windows targets and their test runs
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386
    # the launcher window and its tests
    libgtk-3-dev libwebkit2gtk-4.1-dev xvfb xauth xdotool x11-utils imagemagick openbox
    # the web engine's older API, which the launcher takes where 4.1 is missing
    libwebkit2gtk-4.0-37
    # the window layer compiled for ARM machines too (aarch64)
    g++-aarch64-linux-gnu
    # Japanese and Chinese text in the page previews
    fonts-ipafont-gothic fonts-wqy-microhei
    # burning a medium: ISO 9660 images with Joliet and Rock Ridge
    xorriso
    # signing a medium's Windows files (Authenticode), and the test's certificate
    osslsigncode openssl
    # the authoring kit's archives
    zip unzip
    # the Debian 11 root the medium's Linux files are built against and shown in
    debootstrap
    # the Windows application icon, drawn from its SVG source at build time
    librsvg2-bin
    # benchmark peers
    libpugixml-dev libexpat1-dev libxml2-dev
)

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"

# 32-bit Wine, for the i686 build's tests, comes from the i386 architecture.
if [[ " $(dpkg --print-foreign-architectures | tr '\n' ' ') " != *" i386 "* ]]; then
    $sudo dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
