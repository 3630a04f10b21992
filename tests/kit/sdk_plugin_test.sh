#!/usr/bin/env bash
# The SDK from outside: the Linux build and this Windows build installed into
# an empty folder, as the authoring kit lays them out; examples/plugins built
# out of this tree against it, with gcc and with the kit's mingw-w64
# toolchain (warnings are errors: the headers compile clean for a plug-in's
# own flags), both laid into a copy of the demo medium; the kit's page tools
# (the Windows one under Wine) name the plug-in that serves each bound element,
# the Windows plug-in signed with Authenticode.
# With a Debian 11 root (scripts/debian11-root.sh), the plug-in is built
# with the kit's toolchain for it too, and needs no newer C library than 2.31.
# Usage: sdk_plugin_test.sh <source folder> <Linux build> <Windows build> <toolchain> <Wine loader>
#                           [<Debian 11 root>]
set -uo pipefail
root=$1 linux=$2 windows=$3 toolchain=$4 wine=$5 debian11=${6:-}
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"

kit=$work/kit
for build in "$linux" "$windows"; do
    cmake --install "$build" --prefix "$kit" >"$work/install.log" 2>&1 || {
        cat "$work/install.log"
        echo "FAILED: cmake --install $build"
        exit 1
    }
done
system=$(basename "$(find "$kit" -maxdepth 1 -name 'windows-*')")
check "the SDK holds no header of the window layer" test ! -e "$kit/sdk/include/launcher/window"

# plugin <name> <cmake arguments>...: examples/plugins configured and built in
# $work/<name> with nothing of this tree but the plug-in's own sources.
plugin() {
    local name=$1
    shift
    cmake -S "$root/examples/plugins" -B "$work/$name" -G Ninja -DCMAKE_PREFIX_PATH="$kit/sdk" \
        -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" "$@" >"$work/$name.log" 2>&1 &&
        ninja -C "$work/$name" >>"$work/$name.log" 2>&1 || {
        cat "$work/$name.log"
        return 1
    }
}
check "the plug-in builds with gcc against the kit" plugin gcc
# Built for the page tool, so that its --visibility loads it.
check "the plug-in builds with mingw-w64 against the kit" \
    plugin mingw -DCMAKE_TOOLCHAIN_FILE="$kit/sdk/toolchains/$toolchain" -DORV_PLUGIN_HOST=autorun-page

if [[ -f $debian11/.orvella-root ]]; then
    check "the plug-in builds against the Debian 11 root with the kit's toolchain" plugin debian11 \
        -DCMAKE_TOOLCHAIN_FILE="$kit/sdk/toolchains/debian11.cmake" -DORV_DEBIAN11_ROOT="$debian11"
    check "the plug-in built so needs at most the C library 2.31" \
        "$kit/scripts/glibc-floor.sh" --max 2.31 "$work/debian11/orvella_pages.so"
else
    echo "no Debian 11 root at '$debian11': the plug-in is not built to the launcher's floor"
fi

medium=$work/medium
cp -r "$root/examples/medium" "$medium"
# Its Install and Uninstall entries shown by the sample's classes, not by the
# declarations that the standard plug-in serves.
rm "$medium/rsc/extensions.xml"
sed -i -e 's/"CID_Orvella::WhenNotInstalled"/"CID_Orvella::ShownWhenNotInstalled"/' \
    -e 's/"CID_Orvella::WhenInstalled"/"CID_Orvella::ShownWhenInstalled"/' "$medium/autorun.xml"
mkdir -p "$medium/rsc/plugins"
cp "$work/gcc/orvella_pages.so" "$medium/rsc/plugins/"
# The DLL signed as make-medium.sh --sign signs a medium's plug-ins: the
# loader's checks of its version strings and file name still take it.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/certificate.pem" \
    -days 30 -subj "/CN=Orvella Test Signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
check "the mingw-w64 plug-in is signed" osslsigncode sign -certs "$work/certificate.pem" \
    -key "$work/key.pem" -h sha256 -in "$work/mingw/orvella_pages.dll" \
    -out "$medium/rsc/plugins/orvella_pages.dll"

expected() {
    printf 'vis2\tCID_Orvella::ShownWhenNotInstalled\trsc/plugins/orvella_pages.%s\n' "$1"
    printf 'vis3\tCID_Orvella::ShownWhenInstalled\trsc/plugins/orvella_pages.%s\n' "$1"
}
linux_lines=$("$kit/linux/autorun-page" --visibility "$medium" | grep CID_Orvella::Shown)
echo "$linux_lines"
check "autorun-page --visibility names the gcc plug-in" test "$linux_lines" == "$(expected so)"
# Into files: Wine's services, started with the first program, keep the
# output and error streams they were given open.
"$wine" "$kit/$system/autorun-page.exe" --visibility "Z:${medium//\//\\}" </dev/null \
    >"$work/windows.txt" 2>"$work/windows.err"
cat "$work/windows.err"
windows_lines=$(tr -d '\r' <"$work/windows.txt" | grep CID_Orvella::Shown)
echo "$windows_lines"
check "autorun-page.exe --visibility names the mingw-w64 plug-in" \
    test "$windows_lines" == "$(expected dll)"

checks_done sdk_plugin
