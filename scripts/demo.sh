#!/usr/bin/env bash
# Builds the launcher and starts it on the demo medium (examples/medium), laid
# out as on a real medium with the launcher beside its files and the plug-ins
# every medium carries in rsc/plugins/: the page extensions it declares in
# rsc/extensions.xml (plugins/) and the sample ones (examples/plugins).
# Without a display it runs under Xvfb, saves a screenshot of the window and
# prints its path.
#
# --windows: builds the shipping Windows launcher (i686) instead and lays out
# the demo medium for Windows in build/demo-windows/medium, ready to burn:
# autorun.exe beside the medium's files, the plug-ins built for it in
# rsc/plugins/, and autorun.inf, which has AutoPlay offer it with its
# icon. Prints the folder. (Wine here has no HTML engine, so the launcher's
# page cannot be shown on this machine.)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

case ${1:-} in
    "") ;;
    --windows) windows=1 ;;
    *)
        echo "usage: $0 [--windows]" >&2
        exit 2
        ;;
esac

"$root/scripts/install.sh"

# build_demo <folder> [cmake arguments]: builds the launcher and the medium's
# plug-ins in <folder> and lays out a fresh copy of the demo medium in
# <folder>/medium, with rsc/plugins/ made; sets $demo and $medium.
build_demo() {
    demo=$1
    shift
    configure "$demo" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF "$@"
    ninja -C "$demo" autorun medium-plugins >"$demo.build.log" || {
        cat "$demo.build.log"
        exit 1
    }
    medium="$demo/medium"
    rm -rf "$medium"
    cp -r "$root/examples/medium" "$medium"
    mkdir -p "$medium/rsc/plugins"
    # The plug-ins every medium carries (orv_medium_plugin in CMake).
    while read -r plugin; do
        if [[ -n $plugin ]]; then
            cp "$plugin" "$medium/rsc/plugins/"
        fi
    done <"$demo/medium-plugins.txt"
}

if [[ -n ${windows:-} ]]; then
    build_demo "$build_root/demo-windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
    launcher="$demo/src/launcher"
    # With the C++ runtime DLLs it shares with plug-ins, when it has them (the
    # build strips them all).
    cp "$launcher/autorun.exe" "$medium/autorun.exe"
    mapfile -t runtime < <(find "$launcher" -maxdepth 1 -name '*.dll')
    [[ ${#runtime[@]} -eq 0 ]] || cp "${runtime[@]}" "$medium/"
    write_autorun_inf "$medium/autorun.inf" ORVELLA_DEMO
    echo "$medium"
    exit 0
fi
build_demo "$build_root/demo"
cp "$demo/src/launcher/autorun" "$medium/autorun"
cd "$medium"

if [[ -n "${DISPLAY:-}" ]]; then
    exec ./autorun
fi

screenshot="$demo/autorun-demo.png"
rm -f "$screenshot"
# -noreset: xdotool comes and goes while the launcher connects; a server reset
# in between would refuse the launcher's connection.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
    ./autorun &
    launcher=$!
    for _ in $(seq 1 100); do
        window=$(xdotool search --onlyvisible --class "#32770" 2>/dev/null | head -1)
        [[ -n "$window" ]] && break
        sleep 0.2
    done
    if [[ -z "$window" ]]; then
        echo "the launcher window did not appear" >&2
        kill $launcher 2>/dev/null
        exit 1
    fi
    xdotool mousemove 0 0  # the pointer starts over the page and would highlight a link
    sleep 1
    import -window "$window" "$0"
    xdotool key --window "$window" Escape
    wait $launcher
' "$screenshot"
echo "$screenshot"
