# Shared by the scripts: paths, build configuration and Wine set-up.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$root/build"
# The Debian 11 root that the Linux files for media are built against
# (scripts/debian11-root.sh makes it once).
debian11_root=${ORV_DEBIAN11_ROOT:-$build_root/debian11-root}

# configure <dir> <cmake args>...
configure() {
    local dir=$1
    shift
    mkdir -p "$dir"
    cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || {
        cat "$dir.configure.log"
        return 1
    }
}

# Wine's loaders, started directly. The `wine` wrapper tries the 32-bit loader
# first, even for a 64-bit program, and so runs nothing at all where the
# kernel refuses 32-bit programs; 64-bit programs therefore always go to the
# 64-bit loader.
wine_loader() {
    local package=$1 name=$2 path
    path=$(dpkg -L "$package" 2>/dev/null | grep -m1 "/$name\$")
    echo "${path:-/usr/lib/wine/$name}"
}
wine64=$(wine_loader wine64 wine64)
wine32=$(wine_loader wine32:i386 wine)

# probe_32bit: whether this machine runs 32-bit programs, found by starting the
# 32-bit loader once (only trying tells: the kernel's configuration does not
# say); ORV_NO_32BIT=1 answers no without trying. Sets runs_32bit (1 or empty)
# and prints the answer in one line.
probe_32bit() {
    runs_32bit=""
    if [[ -n ${ORV_NO_32BIT:-} && ${ORV_NO_32BIT} != 0 ]]; then
        echo "32-bit programs: not run here (ORV_NO_32BIT=$ORV_NO_32BIT)"
    elif "$wine32" --version >/dev/null 2>&1; then
        runs_32bit=1
        echo "32-bit programs: this machine runs them"
    else
        echo "32-bit programs: this machine cannot run them"
    fi
}

# The Wine environment of a Windows build folder: a prefix of its own, no
# debug output, no Mono or Gecko installers, no menu entries.
wine_env() {
    export WINEPREFIX="$1/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
}

# wine_start <build folder> <loader>: makes the folder's prefix on first use,
# with the loader of the build's programs, and keeps its server running.
wine_start() {
    local loader=$2
    wine_env "$1"
    if ! grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
        "$loader" wineboot -i >/dev/null 2>&1 || true
        # The tests' windows live on Wine's display-less driver: no X server,
        # nothing on the user's desktop. The desktop process reads the setting
        # when it starts, so this server ends before the tests start theirs.
        "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
        wineserver -w
    fi
    wineserver -p
}

wine_stop() {
    wineserver -k 2>/dev/null || true
}

# write_autorun_inf <file> <label> [<action>]: the AutoPlay entry of a Windows
# medium: autorun.exe starts it, its icon and the label name the medium, and
# the action is AutoPlay's text for starting it. Without an action, the
# launcher's string resource IDS_AUTOPLAY_ACTION (1, in
# src/launcher/resources/resource_ids.h), which Windows reads in the user's
# language. ASCII text gives an ASCII file; any other makes it UTF-16 with a
# byte-order mark, which Windows reads as Unicode (a file in the ANSI code
# page would read differently on each system).
write_autorun_inf() {
    local file=$1 label=$2 action=${3:-@autorun.exe,-1}
    printf '[autorun]\r\nopen=autorun.exe\r\nicon=autorun.exe\r\naction=%s\r\nlabel=%s\r\n' \
        "$action" "$label" >"$file"
    if LC_ALL=C grep -q '[^ -~[:space:]]' "$file"; then
        { printf '\xFF\xFE' && iconv -f UTF-8 -t UTF-16LE "$file"; } >"$file.utf16" &&
            mv -f "$file.utf16" "$file"
    fi
}

# autoplay_text_fault <text>: whether the text can stand in autorun.inf; if
# not, sets fault to the reason. One line of UTF-8 text.
autoplay_text_fault() {
    fault=""
    if [[ -z $1 ]]; then
        fault="is empty"
    elif [[ $1 == *[[:cntrl:]]* ]]; then
        fault="holds a line break or another control character"
    elif ! iconv -f UTF-8 -t UTF-8 <<<"$1" >/dev/null 2>&1; then
        fault="is not UTF-8 text"
    fi
    [[ -z $fault ]]
}
