#!/usr/bin/env bash
# The bytes a start reads from the medium before the page is shown, on Linux
# and on Windows, beside the page's own files (bench/medium_reads.py): for the
# image of the demo medium that scripts/make-medium.sh makes (release builds
# of its own), or for the image given. The image's files are laid out in a
# folder on disk, whose page cache can be emptied. Under Xvfb when there is no
# display.
# Usage: scripts/bench-medium.sh [IMAGE.iso]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[[ $# -le 1 ]] || {
    echo "usage: $0 [IMAGE.iso]" >&2
    exit 2
}
"$root/scripts/install.sh"
mkdir -p "$build_root"
work=$(mktemp -d -p "$build_root" medium-reads.XXXXXX)
trap 'rm -rf "$work"' EXIT
image=${1:-}
if [[ -z $image ]]; then
    image=$work/demo.iso
    "$root/scripts/make-medium.sh" "$root/examples/medium" "$image" >"$work/make-medium.log" 2>&1 || {
        cat "$work/make-medium.log" >&2
        exit 1
    }
fi
xorriso -no_rc -osirrox on -indev "$image" -extract / "$work/medium" >/dev/null 2>&1
chmod -R u+w "$work/medium"
export XDG_RUNTIME_DIR=$work
command=(python3 "$root/bench/medium_reads.py" "$work/medium")
if [[ -n ${DISPLAY:-} ]]; then
    "${command[@]}"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "${command[@]}"
fi
