#!/usr/bin/env bash
# Builds the launcher and starts it on the demo medium (examples/medium), laid
# out as on a real medium with the launcher beside its files and the sample
# page extensions (examples/plugins) in rsc/plugins/. Without a display
# it runs under Xvfb, saves a screenshot of the window and prints its path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

"$root/scripts/install.sh"
demo="$build_root/demo"
configure "$demo" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF
ninja -C "$demo" autorun orvella_pages >"$demo.build.log" || {
    cat "$demo.build.log"
    exit 1
}

medium="$demo/medium"
rm -rf "$medium"
cp -r "$root/examples/medium" "$medium"
cp "$demo/src/launcher/autorun" "$medium/autorun"
mkdir -p "$medium/rsc/plugins"
cp "$demo/examples/plugins/orvella_pages.so" "$medium/rsc/plugins/"
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
