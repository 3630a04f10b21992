#!/usr/bin/env bash
# wine_desktop.sh <prefix> <loader> <program> [arguments]...: runs a Windows
# program with the given Wine loader in a Wine prefix of its own on Wine's X11
# driver, on the caller's display (Xvfb in the tests), and ends the prefix's
# Wine processes afterwards. The prefix is made on first use, by the same
# loader.
set -u
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    "$1" wineboot -i >/dev/null 2>&1
    wineserver -w
fi
"$@"
status=$?
wineserver -k 2>/dev/null
exit $status
