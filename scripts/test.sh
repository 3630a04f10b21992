#!/usr/bin/env bash
# Builds every target and runs every test: the Linux build (AddressSanitizer and
# UndefinedBehaviorSanitizer) with its unit tests, fuzz corpus replays and
# benchmarks (compiled only), the threaded tests again under ThreadSanitizer,
# the x86_64 Windows build with the same unit tests under Wine, and the i686
# Windows build (compiled only).
# Ends with one line "N passed, N failed"; exits non-zero on any failure.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

"$root/scripts/install.sh" || exit 1
mkdir -p "$build_root"

passed=0
failed=0
failures=()

fail() {
    failed=$((failed + 1))
    failures+=("$1")
    echo "FAILED: $1"
}

# run_gtest <label> <command>...: adds the program's own counts; a run without
# its summary line (a crash, or Wine not starting it) counts as one failure.
run_gtest() {
    local label=$1
    shift
    local log
    log=$(mktemp)
    "$@" --gtest_brief=1 >"$log" 2>&1
    local status=$?
    local ran ok bad
    ran=$(grep -aoE '^\[==========\] [0-9]+ tests? from' "$log" | grep -oE '[0-9]+' | head -1)
    ok=$(grep -aoE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' | head -1)
    bad=$(grep -aoE '^\[  FAILED  \] [0-9]+ tests?,' "$log" | grep -oE '[0-9]+' | head -1)
    if [[ -z "$ran" ]]; then
        cat "$log"
        fail "$label (no summary line, exit status $status)"
    else
        passed=$((passed + ${ok:-0}))
        if [[ -n "$bad" ]]; then
            failed=$((failed + bad))
            failures+=("$label: $bad tests")
            grep -a -B30 '^\[  FAILED  \]' "$log" | head -200
        elif [[ $status -ne 0 ]]; then
            cat "$log" | tail -40
            fail "$label (exit status $status)"
        fi
        echo "$label: ${ok:-0} passed${bad:+, $bad failed}"
    fi
    rm -f "$log"
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

programs_of() {
    grep -v '^$' "$1" 2>/dev/null
}

# Linux, with AddressSanitizer and UndefinedBehaviorSanitizer; the benchmarks are
# built too, so that they keep compiling, but not run.
linux="$build_root/linux"
configure "$linux" -DORV_SANITIZE=address -DORV_BENCH=ON && build "Linux" "$linux" && {
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    while read -r program environment; do
        run_gtest "linux $program" env $environment \
            "$(find "$linux/tests" -name "$program" -type f | head -1)" </dev/null
    done < <(programs_of "$linux/test-programs.txt")
    # The launcher's window end to end, in an X server of its own; GTK and the
    # web engine keep caches for the life of a process, so leaks are not checked.
    if [[ -x "$linux/tests/gui/gui_tests" ]]; then
        run_gtest "linux gui_tests" env ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
            xvfb-run -a -s "-screen 0 1280x1024x24" "$linux/tests/gui/gui_tests"
    fi
    for target in $(programs_of "$linux/fuzz-targets.txt"); do
        if "$linux/fuzz/$target" "$root/fuzz/corpus/$target" >/dev/null 2>&1; then
            passed=$((passed + 1))
            echo "linux fuzz corpus $target: passed"
        else
            fail "linux fuzz corpus $target"
        fi
    done
}

# The threaded tests again under ThreadSanitizer.
tsan="$build_root/linux-tsan"
configure "$tsan" -DORV_SANITIZE=thread -DORV_FUZZ=OFF &&
    tsan_programs=$(programs_of "$tsan/thread-test-programs.txt") &&
    build "Linux ThreadSanitizer" "$tsan" $tsan_programs && {
    export TSAN_OPTIONS=halt_on_error=1
    for program in $tsan_programs; do
        run_gtest "tsan $program" "$(find "$tsan/tests" -name "$program" -type f | head -1)"
    done
}

# Windows x86_64 under Wine.
win64="$build_root/win64"
configure "$win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DORV_FUZZ=OFF &&
    build "Windows x86_64" "$win64" && {
    wine_start "$win64"
    while read -r program environment; do
        run_gtest "wine64 $program" env $environment \
            wine "$(find "$win64/tests" -name "$program.exe" -type f | head -1)" </dev/null
    done < <(programs_of "$win64/test-programs.txt")
    wine_stop
}

# Windows i686: the shipping build, compiled.
win32="$build_root/win32"
configure "$win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DORV_FUZZ=OFF &&
    build "Windows i686" "$win32"

if [[ ${#failures[@]} -gt 0 ]]; then
    echo
    echo "Failures:"
    printf '  %s\n' "${failures[@]}"
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
