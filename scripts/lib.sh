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

# The Wine environment of a Windows build folder: a prefix of its own, no
# debug output, no Mono or Gecko installers, no menu entries.
wine_env() {
    export WINEPREFIX="$1/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
}

wine_start() {
    wine_env "$1"
    if ! grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
        wineboot -i >/dev/null 2>&1 || true
        # The tests' windows live on Wine's display-less driver: no X server,
        # nothing on the user's desktop. The desktop process reads the setting
        # when it starts, so this server ends before the tests start theirs.
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
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
