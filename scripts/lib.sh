# Shared by the scripts: paths, build configuration and Wine set-up.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$root/build"

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

# write_autorun_inf <file> <label>: the AutoPlay entry of a Windows medium:
# autorun.exe starts it, its icon and the label name the medium.
write_autorun_inf() {
    printf '[autorun]\r\nopen=autorun.exe\r\nicon=autorun.exe\r\nlabel=%s\r\n' "$2" >"$1"
}
