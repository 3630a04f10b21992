#!/usr/bin/env bash
# Builds every target and runs every test through CTest: the Linux build
# (AddressSanitizer and UndefinedBehaviorSanitizer) with its unit tests, the
# launcher window end to end under Xvfb, the fuzz corpus replays, the layer
# check and the benchmarks (compiled only), and its window layer compiled for
# aarch64 with the cross compiler; the threaded tests again under
# ThreadSanitizer; the x86_64 and i686 Windows builds with the same unit
# tests under 64-bit and 32-bit Wine (the i686 ones only where the machine runs
# 32-bit programs; ORV_NO_32BIT=1 acts as if it did not). The i686 build's
# tests of the medium, which run everywhere, make the authoring kit from these
# builds and use it alone; the x86_64 build's build plug-ins against its SDK.
# Ends with one line "N passed, N failed": the GoogleTest cases that passed
# and failed, and one for every other test and every build step.
# Exits non-zero on any failure.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

"$root/scripts/install.sh" || exit 1
mkdir -p "$build_root"

# Some machines refuse 32-bit programs: there the i686 tests cannot run.
probe_32bit

passed=0
failed=0
failures=()
details=()

fail() {
    failed=$((failed + 1))
    failures+=("$1")
    echo "FAILED: $1"
}

build() {
    local label=$1 dir=$2
    shift 2
    echo "== building $label"
    if ! ninja -C "$dir" "$@" >"$dir.build.log" 2>&1; then
        grep -aE 'error|FAILED' "$dir.build.log" | head -60
        fail "$label build"
        return 1
    fi
    if grep -aq 'warning:' "$dir.build.log"; then
        grep -a 'warning:' "$dir.build.log" | head -20
        fail "$label build has warnings"
    fi
    passed=$((passed + 1))
}

# run_ctest <label> <dir> [ctest arguments]: runs the build's tests and adds
# their counts from CTest's log: a GoogleTest program counts its cases, any
# other test counts one.
run_ctest() {
    local label=$1 dir=$2
    shift 2
    ctest --test-dir "$dir" --output-on-failure --timeout 1200 "$@" >"$dir.test.log" 2>&1
    local counts
    counts=$(awk -v label="$label" '
        /^[0-9]+\/[0-9]+ Testing: / { name = $3; gtest_ok = ""; gtest_bad = ""; next }
        /^\[  PASSED  \] [0-9]+ tests?\./ { gtest_ok = $4 }
        /^\[  FAILED  \] [0-9]+ tests?, listed below/ { gtest_bad = $4 }
        /^Test Passed\.|^Test Pass Reason:/ {
            ok += (gtest_ok != "" ? gtest_ok : 1)
            printf "%s %s: passed\n", label, name > "/dev/stderr"
        }
        /^Test Failed\./ {
            ok += gtest_ok
            bad += (gtest_bad != "" ? gtest_bad : 1)
            printf "FAILED: %s %s\n", label, name > "/dev/stderr"
            failures = failures " " name
        }
        END { printf "%d %d%s\n", ok, bad, failures }
    ' "$dir/Testing/Temporary/LastTest.log")
    local ok bad names
    read -r ok bad names <<<"$counts"
    passed=$((passed + ok))
    if [[ $bad -gt 0 ]]; then
        failed=$((failed + bad))
        failures+=("$label:$names")
        # What failed inside them: the checks of script tests, the cases of
        # GoogleTest programs; repeated under the summary, where it is seen.
        mapfile -t -O "${#details[@]}" details < <(grep -aE '^FAILED: |^\[  FAILED  \] [A-Za-z]' \
            "$dir.test.log" | sort -u | head -20 | sed "s/^/$label: /")
        grep -a -B40 -E '\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout|Failed  ' "$dir.test.log" | head -200
    elif ! grep -q '100% tests passed' "$dir.test.log"; then
        tail -40 "$dir.test.log"
        fail "$label tests"
    fi
    if [[ $bad -gt 0 ]]; then
        echo "$label: $ok passed, $bad failed"
    else
        echo "$label: $ok passed"
    fi
}

# Linux, with AddressSanitizer and UndefinedBehaviorSanitizer; the benchmarks are
# built too, so that they keep compiling, but not run.
linux="$build_root/linux"
configure "$linux" -DORV_SANITIZE=address -DORV_BENCH=ON && build "Linux" "$linux" && {
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    run_ctest "linux" "$linux" -j2
    # The window layer compiled for ARM machines too: the run-time loading of
    # GTK and WebKitGTK is written in C++ alone, for every processor.
    build "Linux window layer for aarch64" "$linux" window_layer_aarch64
}

# The Linux files for media, built against a Debian 11 root made from Debian's
# packages (made once, then kept in the build folder or ORV_DEBIAN11_ROOT):
# the newest C library each needs; the window tests again with this launcher
# and these plug-ins; the medium made with them shown inside the root.
media="$build_root/medium-linux"
echo "== the Debian 11 root"
root_started=$SECONDS
if "$root/scripts/debian11-root.sh" "$debian11_root"; then
    passed=$((passed + 1))
    echo "Debian 11 root ready in $((SECONDS - root_started)) s: $debian11_root"
    configure "$media" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/debian11.cmake" -DORV_DEBIAN11_ROOT="$debian11_root" &&
        build "Linux files for media" "$media" autorun autorun-page autorun-preview medium-plugins && {
        mapfile -t media_files < <(printf '%s\n' "$media/src/launcher/autorun" \
            "$media/tools/autorun-page" "$media/tools/autorun-preview"; cat "$media/medium-plugins.txt")
        if "$root/scripts/glibc-floor.sh" --max 2.28 "${media_files[@]}"; then
            passed=$((passed + 1))
        else
            fail "Linux files for media: C library floor"
        fi
        if [[ -x $linux/tests/gui/gui_tests ]]; then
            GTEST_FILTER='LauncherOnMedium.*:DemoMediumExtensions.*' \
                ORV_GUI_LAUNCHER_BUILD="$media" run_ctest "media launcher" "$linux" -R '^gui_tests$'
        fi
        if "$root/tests/medium/debian11_root_test.sh" "$root" "$debian11_root" "$media" \
            >"$media.root-test.log" 2>&1; then
            passed=$((passed + 1))
            grep -E '^ok: ' "$media.root-test.log"
        else
            cat "$media.root-test.log"
            fail "the medium in the Debian 11 root"
        fi
    }
else
    fail "the Debian 11 root"
fi

# The threaded tests again under ThreadSanitizer.
tsan="$build_root/linux-tsan"
configure "$tsan" -DORV_SANITIZE=thread -DORV_FUZZ=OFF &&
    tsan_programs=$(ctest --test-dir "$tsan" -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p') &&
    build "Linux ThreadSanitizer" "$tsan" $tsan_programs && {
    export TSAN_OPTIONS=halt_on_error=1
    run_ctest "tsan" "$tsan" -L threads
}

# Windows x86_64 under Wine's 64-bit loader.
win64="$build_root/win64"
configure "$win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DORV_FUZZ=OFF \
    -DORV_WINE="$wine64" && build "Windows x86_64" "$win64" && {
    wine_start "$win64" "$wine64"
    run_ctest "wine64" "$win64" -LE gui
    wine_stop
}

# Windows i686, the shipping build: the same unit tests under 32-bit Wine, in a
# 64-bit prefix of its own, so they run under WOW64 as on a current Windows.
# Built everywhere; where the machine cannot run 32-bit programs its tests are
# left out, and only those of the medium, which run none of them, run: the
# image with its launcher made and read back, the imports of what goes onto it
# checked.
win32="$build_root/win32"
configure "$win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DORV_FUZZ=OFF \
    -DORV_WINE="$wine32" && build "Windows i686" "$win32" && {
    if [[ $runs_32bit ]]; then
        wine_start "$win32" "$wine32"
        run_ctest "wine32" "$win32" -LE gui
        wine_stop
    else
        run_ctest "win32 medium" "$win32" -L medium
    fi
}

[[ $runs_32bit ]] || echo "i686 tests not run: this machine cannot run 32-bit programs"
if [[ ${#failures[@]} -gt 0 ]]; then
    echo
    echo "Failures:"
    printf '  %s\n' "${failures[@]}"
    [[ ${#details[@]} -eq 0 ]] || printf '    %s\n' "${details[@]}"
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
