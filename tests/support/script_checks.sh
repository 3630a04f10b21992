# For the tests written as scripts, sourced after their arguments are read:
#   check WHAT COMMAND...  runs the command and prints "ok: WHAT" or
#                          "FAILED: WHAT" (lines the test command's summary
#                          repeats), counting the failures;
#   $work                  a scratch folder, removed at exit;
#   checks_done NAME       ends the test with the number of failures.
failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

checks_done() {
    [[ $failures -eq 0 ]] && echo "$1: all checks passed"
    exit $failures
}
