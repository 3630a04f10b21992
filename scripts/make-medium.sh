#!/usr/bin/env bash
# A medium ready to burn: builds the launchers, checks the medium as it will
# be on the image (autorun-page --check, stopping on an error), lays the
# launchers beside the medium's files and writes an ISO 9660 image with Joliet
# and Rock Ridge:
#   autorun      the Linux launcher, executable (the desktops' autostart
#                convention for media)
#   autorun.exe  the Windows launcher, with autorun.inf for AutoPlay
#   rsc/plugins/ the plug-ins media carry (orv_medium_plugin in CMake)
# Files of the same names in the medium's folder are replaced in the image;
# the folder itself is not changed. Every file is readable by everyone, owned
# by root, and writable by no one; the launcher is executable.
#
# Usage: scripts/make-medium.sh [--label NAME] [--linux-build DIR]
#                               [--windows-build DIR|none] MEDIUM_DIR OUT.iso
#   --label          the volume name (default: the folder's name, upper case)
#   --linux-build    a configured build folder to take the Linux launcher and
#                    the page tool from (default: a release build of its own)
#   --windows-build  the same for the Windows launcher (default: an i686
#                    release build of its own); "none" leaves it out
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

usage() {
    echo "usage: $0 [--label NAME] [--linux-build DIR] [--windows-build DIR|none] MEDIUM_DIR OUT.iso" >&2
    exit 2
}

fail() {
    echo "make-medium: $*" >&2
    exit 1
}

label="" linux_build="" windows_build=""
while [[ $# -gt 2 ]]; do
    case $1 in
        --label) label=$2 ;;
        --linux-build) linux_build=$2 ;;
        --windows-build) windows_build=$2 ;;
        *) usage ;;
    esac
    shift 2
done
[[ $# -eq 2 ]] || usage
medium=$(cd "$1" 2>/dev/null && pwd) || fail "no folder $1"
out=$2
[[ -n $label ]] || label=$(basename "$medium" | tr '[:lower:]' '[:upper:]' | tr -c 'A-Z0-9_\n' '_')
label=${label:0:32}

"$root/scripts/install.sh"

# build <dir> <cmake arguments>...: configures the folder unless it is given,
# then builds the targets of TARGETS in it.
build() {
    local dir=$1 given=$2
    shift 2
    if [[ -z $given ]]; then
        configure "$dir" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF "$@"
    fi
    ninja -C "$dir" "${TARGETS[@]}" >"$dir.medium.log" 2>&1 || {
        tail -40 "$dir.medium.log" >&2
        fail "the build in $dir failed"
    }
}

linux=${linux_build:-$build_root/medium-linux}
TARGETS=(autorun autorun-page medium-plugins)
build "$linux" "$linux_build"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What goes into the image besides the medium's files: "source destination".
grafts=("$linux/src/launcher/autorun" /autorun)
while read -r plugin; do
    [[ -n $plugin ]] && grafts+=("$plugin" "/rsc/plugins/$(basename "$plugin")")
done <"$linux/medium-plugins.txt"

# The medium as the launcher reads it on the image, with the plug-ins laid in
# (a tree of links, the folder stays as it is); every finding is shown, an
# error stops.
stage="$work/medium"
cp -rs "$medium" "$stage"
for ((i = 0; i < ${#grafts[@]}; i += 2)); do
    mkdir -p "$(dirname "$stage${grafts[i + 1]}")"
    ln -sfn "${grafts[i]}" "$stage${grafts[i + 1]}"
done
"$linux/tools/autorun-page" --check "$stage" || fail "the medium has errors: no image written"

if [[ $windows_build != none ]]; then
    windows=${windows_build:-$build_root/medium-win32}
    if [[ -z $windows_build ]]; then
        configure "$windows" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
    fi
    # (Asked of ninja directly: a grep that stops reading at its first match
    # would end ninja with SIGPIPE, which pipefail reports as no match.)
    if ninja -C "$windows" -t query autorun >/dev/null 2>&1; then
        TARGETS=(autorun medium-plugins)
        build "$windows" "$windows_build"
        launcher=$(find "$windows" -name autorun.exe -path '*/src/launcher/*' | head -1)
        grafts+=("$launcher" /autorun.exe)
        # The C++ runtime that a launcher with plug-ins shares with them.
        for dll in "$(dirname "$launcher")"/lib{stdc++-6,gcc_s_dw2-1,gcc_s_seh-1,winpthread-1}.dll; do
            [[ -f $dll ]] && grafts+=("$dll" "/$(basename "$dll")")
        done
        while read -r plugin; do
            [[ -n $plugin ]] && grafts+=("$plugin" "/rsc/plugins/$(basename "$plugin")")
        done <"$windows/medium-plugins.txt"
        write_autorun_inf "$work/autorun.inf" "$label"
        grafts+=("$work/autorun.inf" /autorun.inf)
    else
        echo "make-medium: this tree has no Windows launcher yet (no target autorun in" \
            "$windows): the image gets no autorun.exe and no autorun.inf" >&2
    fi
fi

commands=(-volid "$label" -joliet on -rockridge on
    -compliance iso_9660_level=3:joliet_long_names
    -map "$medium" /)
for ((i = 0; i < ${#grafts[@]}; i += 2)); do
    commands+=(-map "${grafts[i]}" "${grafts[i + 1]}")
done
commands+=(-chown_r 0 / -- -chgrp_r 0 / -- -chmod_r a+r,a-w / --
    -find / -type d -exec chmod a+x --
    -chmod 0555 /autorun --)

# Written beside its place and moved there whole.
partial="$out.partial.$$"
rm -f "$partial"
xorriso -no_rc -report_about WARNING -outdev "$partial" "${commands[@]}" -commit >"$work/xorriso.log" 2>&1 || {
    cat "$work/xorriso.log" >&2
    rm -f "$partial"
    fail "the image could not be written"
}
mv -f "$partial" "$out"
echo "$out"
