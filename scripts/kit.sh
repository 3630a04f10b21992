#!/usr/bin/env bash
# The authoring kit of a release: every build installed (cmake --install) into
# one folder, orvella-autorun-<version>-kit, packed as a .tar.gz and as a .zip
# of the same files (README "The authoring kit" shows its layout). The
# version is the project's, from CMakeLists.txt.
#
# Usage: scripts/kit.sh [--builds LINUX WIN32 WIN64] OUTDIR
#   --builds  build folders, built already, to take the kit from (for example
#             scripts/test.sh's build/linux build/win32 build/win64); default:
#             release builds of its own in build/kit-linux, build/kit-win32
#             and build/kit-win64 (the Linux one against a Debian 11 root,
#             scripts/debian11-root.sh)
# Prints the archives' paths.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

usage() {
    echo "usage: $0 [--builds LINUX WIN32 WIN64] OUTDIR" >&2
    exit 2
}

fail() {
    echo "kit: $*" >&2
    exit 1
}

builds=()
if [[ ${1:-} == --builds ]]; then
    [[ $# -eq 5 ]] || usage
    builds=("$2" "$3" "$4")
    shift 4
fi
[[ $# -eq 1 ]] || usage
mkdir -p "$1"
out=$(cd "$1" && pwd)

if [[ ${#builds[@]} -eq 0 ]]; then
    "$root/scripts/install.sh"
    builds=("$build_root/kit-linux" "$build_root/kit-win32" "$build_root/kit-win64")
    toolchains=("$root/cmake/debian11.cmake" "$root/cmake/mingw-i686.cmake" "$root/cmake/mingw-x86_64.cmake")
    # The Linux files bind to the C library of Debian 11, as a medium's do.
    "$root/scripts/debian11-root.sh" "$debian11_root" ||
        fail "cannot make the Debian 11 root $debian11_root"
    for i in 0 1 2; do
        configure "${builds[i]}" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF \
            -DCMAKE_TOOLCHAIN_FILE="${toolchains[i]}" -DORV_DEBIAN11_ROOT="$debian11_root" ||
            fail "cannot configure ${builds[i]}"
        ninja -C "${builds[i]}" >"${builds[i]}.kit.log" 2>&1 || {
            tail -40 "${builds[i]}.kit.log" >&2
            fail "the build in ${builds[i]} failed"
        }
    done
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "${builds[0]}/CMakeCache.txt")
[[ -n $version ]] || fail "${builds[0]} is not a configured build folder"
name=orvella-autorun-$version-kit

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for build in "${builds[@]}"; do
    cmake --install "$build" --prefix "$work/$name" >"$work/install.log" 2>&1 || {
        cat "$work/install.log" >&2
        fail "cmake --install $build failed"
    }
done

# Each written beside its place and moved there whole.
partial="$out/.partial.$$"
trap 'rm -rf "$work" "$partial".*' EXIT
tar -C "$work" --owner=0 --group=0 --sort=name -czf "$partial.tar.gz" "$name"
mv -f "$partial.tar.gz" "$out/$name.tar.gz"
(cd "$work" && zip -qrX "$partial.zip" "$name")
mv -f "$partial.zip" "$out/$name.zip"
echo "$out/$name.tar.gz"
echo "$out/$name.zip"
