#!/usr/bin/env bash
# Start to page shown and memory, over several runs in turns, for the launcher
# beside the smallest WebKitGTK program that shows the same finished page
# (bench/launcher_startup.cpp): the medians and their ratios. Under Xvfb when
# there is no display. Usage: scripts/bench.sh [runs]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

"$root/scripts/install.sh"
bench="$build_root/bench"
configure "$bench" -DCMAKE_BUILD_TYPE=Release -DORV_BENCH=ON -DORV_FUZZ=OFF
ninja -C "$bench" autorun autorun-page webkit_floor launcher_startup >"$bench.build.log"

# The demo medium with the launcher beside its files; the floor shows the very
# page the launcher builds from it (autorun-page), from the same folder.
medium=$(mktemp -d)
trap 'rm -rf "$medium"' EXIT
cp -r "$root/examples/medium/." "$medium/"
cp "$bench/src/launcher/autorun" "$medium/autorun"
"$bench/tools/autorun-page" "$medium" >"$medium/page.html"
cd "$medium"
export XDG_RUNTIME_DIR="$medium"

command=("$bench/bench/launcher_startup" --benchmark_repetitions="${1:-10}"
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
    "$medium/autorun" "$bench/bench/webkit_floor" "$medium/page.html")
if [[ -n "${DISPLAY:-}" ]]; then
    "${command[@]}"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "${command[@]}"
fi
