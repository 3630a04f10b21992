#!/usr/bin/env bash
# The medium on a real Debian 11 system: make-medium.sh makes the demo
# medium's image from a build for media (cmake/debian11.cmake), and its Linux
# launcher runs inside the Debian 11 root (scripts/debian11-root.sh) with the
# root's own C library, GTK 3 and WebKitGTK 4.0, under the root's Xvfb. Driven
# from outside with xdotool and ImageMagick: the window comes up with the demo
# page drawn, "Install" (a run: link) starts the medium's setup program, "Visit
# the web site" (an invoke: of the standard plug-in) hands its address to the
# system's handler, and Escape ends the launcher with 0. Started again with
# the sample plug-in made to need a C library newer than the root's, the
# launcher still shows the menu and says which file needs which version.
# Every mount lives in a private mount namespace: nothing stays mounted.
#
# Usage: debian11_root_test.sh SOURCE_DIR ROOT MEDIA_BUILD
set -uo pipefail
root=$1 debian11=$2 build=$3
source "$root/tests/support/script_checks.sh"

"$root/scripts/make-medium.sh" --linux-build "$build" --windows-build none \
    "$root/examples/medium" "$work/demo.iso" >"$work/make-medium.log" 2>&1
check "make-medium.sh makes the demo image from the build for media" test -s "$work/demo.iso"
[[ -s $work/demo.iso ]] || {
    cat "$work/make-medium.log"
    checks_done debian11_root
}

# autorun-page --check of the medium with a plug-in that needs a newer C
# library than the launcher beside it: a warning that names both versions.
checked=$work/checked
cp -r "$root/examples/medium" "$checked"
mkdir -p "$checked/rsc/plugins"
cp "$build/src/launcher/autorun" "$checked/"
while read -r plugin; do
    cp "$plugin" "$checked/rsc/plugins/"
done <"$build/medium-plugins.txt"
perl -0777 -pi -e 's/GLIBC_2\.2\.5\0/GLIBC_2.99\0\0/g' "$checked/rsc/plugins/orvella_pages.so"
floor=$("$root/scripts/glibc-floor.sh" "$build/src/launcher/autorun" | sed -n 's/^C library floor: GLIBC //p')
findings=$(cd "$checked" && "$build/tools/autorun-page" --check . 2>&1)
check "autorun-page --check warns of the plug-in that needs a newer C library" grep -qF \
    "rsc/plugins/orvella_pages.so:1:1: warning: needs the C library (glibc) 2.99, newer than the launcher beside it needs ($floor)" \
    <<<"$findings"

# Inside the namespace: the image's files on a scratch file system in the
# root, an X server of the root's own, the system's handler of addresses
# noting what it is given, the launcher started from the medium. It reports
# on standard output: "display N", "pid N" and, at the end, "exit N".
run_in_root() {
    local debian11=$1 iso=$2
    set -e
    mount -t proc proc "$debian11/proc"
    mount --bind /dev "$debian11/dev"
    mount -t tmpfs tmpfs "$debian11/tmp"
    mount -t tmpfs tmpfs "$debian11/mnt"
    mount -t tmpfs tmpfs "$debian11/usr/local/bin"
    mkdir "$debian11/mnt/medium"
    xorriso -osirrox on -indev "$iso" -extract / "$debian11/mnt/medium" >/dev/null 2>&1
    printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> /tmp/opened.txt\n' >"$debian11/usr/local/bin/xdg-open"
    chmod +x "$debian11/usr/local/bin/xdg-open"

    xvfb="" launcher=""
    trap 'kill $launcher $xvfb 2>/dev/null' EXIT
    trap 'exit 1' TERM
    exec 3>"$work/display"
    chroot "$debian11" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    local i
    exec 3>&-
    for ((i = 0; i < 100; i++)); do
        [[ -s $work/display ]] && break
        sleep 0.1
    done
    echo "display $(cat "$work/display")"
    chroot "$debian11" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/tmp LANG=C.UTF-8 \
        LC_ALL=C.UTF-8 DISPLAY=":$(cat "$work/display")" NO_AT_BRIDGE=1 \
        sh -c 'cd /mnt/medium && exec ./autorun' >"$work/launcher.out" 2>"$work/launcher.err" &
    launcher=$!
    echo "pid $launcher"
    local status=0
    wait "$launcher" || status=$?
    echo "exit $status"

    # The same medium with its sample plug-in needing the C library 2.99.
    perl -0777 -pi -e 's/GLIBC_2\.2\.5\0/GLIBC_2.99\0\0/g' "$debian11/mnt/medium/rsc/plugins/orvella_pages.so"
    chroot "$debian11" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/tmp LANG=C.UTF-8 \
        LC_ALL=C.UTF-8 DISPLAY=":$(cat "$work/display")" NO_AT_BRIDGE=1 \
        sh -c 'cd /mnt/medium && exec ./autorun' >/dev/null 2>"$work/newer.err" &
    launcher=$!
    echo "pid $launcher"
    status=0
    wait "$launcher" || status=$?
    echo "exit $status"
    cp "$debian11/tmp/opened.txt" "$work/opened.txt" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null || true
}
export -f run_in_root
export work

# window_of <pid>: the shown window of the process, waited for up to 30 s.
window_of() {
    local i found=""
    for ((i = 0; i < 300; i++)); do
        found=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1)
        [[ -n $found ]] && break
        sleep 0.1
    done
    echo "$found"
}

mkfifo "$work/events"
unshare -m --propagation private bash -c 'run_in_root "$@"' bash "$debian11" "$work/demo.iso" \
    >"$work/events" &
namespace=$!
trap 'kill $namespace 2>/dev/null; wait $namespace 2>/dev/null; [[ -n ${ORV_KEEP_WORK:-} ]] || rm -rf "$work"' EXIT
exec 4<"$work/events"
read -r -t 30 _ display <&4
read -r -t 10 _ pid <&4
check "Xvfb starts in the root" test -n "${display:-}"
export DISPLAY=":${display:-none}"

# The window of the launcher's process, shown.
window=$(window_of "${pid:-0}")
check "the launcher's window appears" test -n "$window"

# The demo page's header colour at the top left, once the page is drawn.
header=""
for ((i = 0; i < 200; i++)); do
    [[ -n $window ]] || break
    header=$(import -window "$window" -crop 1x1+4+4 -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1)
    [[ $header == "#0D3B66" ]] && break
    sleep 0.1
done
check "the demo page is drawn (header $header)" test "$header" == "#0D3B66"
[[ -n $window ]] && import -window "$window" "$build/debian11-demo.png" 2>/dev/null

if [[ -n $window ]]; then
    # From off every link: "Install" first, "Visit the web site" fourth.
    xdotool mousemove --window "$window" 600 20 click 1
    xdotool windowfocus --sync "$window" key --delay 50 Tab Return
    for ((i = 0; i < 100; i++)); do
        grep -q 'Orvella Setup would install' "$work/launcher.out" 2>/dev/null && break
        sleep 0.1
    done
    check "a run: link starts the medium's program" grep -q 'Orvella Setup would install' "$work/launcher.out"
    xdotool windowfocus --sync "$window" key --delay 50 Tab Tab Tab Return
    sleep 1
    xdotool windowfocus --sync "$window" key Escape
fi
read -r -t 30 _ status <&4
check "Escape ends the launcher with 0" test "${status:-none}" == 0

# Started again: the window comes, and standard error names the plug-in.
read -r -t 10 _ pid <&4
window=$(window_of "${pid:-0}")
check "the menu comes without the plug-in that needs a newer C library" test -n "$window"
[[ -n $window ]] && xdotool windowfocus --sync "$window" key Escape
read -r -t 30 _ status <&4
check "that launcher ends with 0 too" test "${status:-none}" == 0
wait "$namespace"
check "the launcher names the plug-in and the C library it needs" grep -q \
    'rsc/plugins/orvella_pages.so: not loaded: it needs the C library (glibc) 2.99 or newer, this system has 2.31' \
    "$work/newer.err"
check "an invoke: of the standard plug-in hands the address to the system" \
    grep -qx 'https://www.orvella.example/' "$work/opened.txt"
check "nothing stays mounted in the root" bash -c "! grep -q ' $debian11/' /proc/mounts"
if [[ $failures -gt 0 ]]; then
    echo "--- launcher's standard error"
    cat "$work/launcher.err" "$work/newer.err"
    echo "--- Xvfb"
    cat "$work/xvfb.log"
fi
checks_done debian11_root
