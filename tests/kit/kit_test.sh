#!/usr/bin/env bash
# The authoring kit from the test builds (scripts/kit.sh --builds): the
# .tar.gz and the .zip of the version hold the same files in the documented
# layout; unpacked into an empty folder, the kit alone (its make-medium.sh,
# launchers and plug-ins, nothing of the source tree) makes an image of its
# demo medium whose check is clean, and the image read back carries the kit's
# launchers, DLLs and plug-ins, also signed; a plug-in builds against it for
# the shipping launcher.
# Usage: kit_test.sh <source folder> <version> <Linux build> <win32 build> <win64 build>
set -uo pipefail
root=$1 version=$2 linux=$3 win32=$4 win64=$5
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"

name=orvella-autorun-$version-kit
"$root/scripts/kit.sh" --builds "$linux" "$win32" "$win64" "$work/out"
check "scripts/kit.sh makes both archives" test -f "$work/out/$name.tar.gz" -a -f "$work/out/$name.zip"

mkdir "$work/tar" "$work/zip"
tar -C "$work/tar" -xzf "$work/out/$name.tar.gz"
(cd "$work/zip" && unzip -q "$work/out/$name.zip")
check "the .zip holds what the .tar.gz holds, executable bits included" \
    diff -r <(cd "$work/tar" && find . -printf '%p %m\n' | sort) \
    <(cd "$work/zip" && find . -printf '%p %m\n' | sort)
kit=$work/tar/$name

layout=(AUTHORING.md scripts/make-medium.sh scripts/lib.sh demo/autorun.xml demo/rsc/autorun.tpl
    linux/autorun linux/autorun-page linux/autorun-preview linux/plugins/orvella_pages.so
    linux/plugins/declared_extensions.so demo/rsc/extensions.xml
    sdk/include/launcher/page/property_sheet_extension.h sdk/include/object/this_module.cpp
    sdk/include/object/plugin_entry.cpp sdk/lib/cmake/OrvellaAutorun/OrvellaAutorunConfig.cmake
    sdk/lib/cmake/OrvellaAutorun/OrvellaAutorunConfigVersion.cmake
    sdk/toolchains/mingw-i686.cmake sdk/toolchains/mingw-x86_64.cmake)
for system in windows-i686 windows-x86_64; do
    layout+=("$system/autorun.exe" "$system/autorun-page.exe" "$system/libstdc++-6.dll"
        "$system/libwinpthread-1.dll" "$system/plugins/orvella_pages.dll"
        "$system/plugins/declared_extensions.dll"
        "sdk/lib/$system/libautorun.dll.a" "sdk/lib/$system/libautorun-page.dll.a")
done
for file in "${layout[@]}"; do
    check "the kit holds $file" test -f "$kit/$file"
done

# Whether a program or library of the kit carries no debugging sections, and
# its debug link names its debug file in symbols/ by name and checksum.
debug_link_holds() {
    local file=$kit/$1 debug=$kit/symbols/$1.debug
    objdump -h "$file" 2>/dev/null | grep -qE ' \.(z?debug|stab)' && return 1
    objcopy --dump-section .gnu_debuglink="$work/link" "$file" "$work/linked" 2>/dev/null || return 1
    python3 - "$work/link" "$debug" <<'END'
import struct, sys, zlib
link, debug = open(sys.argv[1], "rb").read(), sys.argv[2]
name = link[:link.index(b"\0")].decode()
crc = struct.unpack_from("<I", link, len(link) - 4)[0]
sys.exit(not (debug.endswith("/" + name) and zlib.crc32(open(debug, "rb").read()) == crc))
END
}
shipped=$(cd "$kit" && find linux windows-* -type f \( -perm -u+x -o -name '*.dll' -o -name '*.so' \) | sort)
check "the toolchain's runtime DLLs are among them" grep -qx windows-i686/libstdc++-6.dll <<<"$shipped"
for file in $shipped; do
    check "$file carries no debugging information, which symbols/ keeps" debug_link_holds "$file"
done
check "no header of the window layer" test ! -e "$kit/sdk/include/launcher/window"
check "the kit's scripts and CMake files name nothing of the source tree" \
    test -z "$(grep -rlF "$root" "$kit/scripts" "$kit/sdk/lib/cmake" "$kit/sdk/toolchains")"
check "the authoring document has the page tool, the medium and the page extensions" \
    test "$(grep -cE '^## (The page tool|Authoring a medium|Writing a page extension)$' \
        "$kit/AUTHORING.md")" -eq 3
check "the page tool names the kit's version" \
    test "$("$kit/linux/autorun-page" --version)" == "autorun-page $version"

# The kit alone, from an empty folder, with nothing of the tree on the path.
mkdir "$work/empty"
(cd "$work/empty" && env PATH=/usr/bin:/bin "$kit/scripts/make-medium.sh" --label KIT \
    "$kit/demo" "$work/kit.iso") >"$work/output" 2>&1
status=$?
cat "$work/output"
check "the kit makes an image of its demo medium" test $status -eq 0
check "the check of the medium finds nothing" test -z "$(grep -E ': (warning|error): ' "$work/output")"
check "the empty folder stays empty" test -z "$(ls -A "$work/empty")"

mkdir "$work/read"
xorriso -no_rc -osirrox on -indev "$work/kit.iso" -extract / "$work/read" >/dev/null 2>&1
pairs=(autorun linux/autorun rsc/plugins/orvella_pages.so linux/plugins/orvella_pages.so
    autorun.exe windows-i686/autorun.exe rsc/plugins/orvella_pages.dll
    windows-i686/plugins/orvella_pages.dll autorun.xml demo/autorun.xml)
for dll in "$kit"/windows-i686/lib*.dll; do
    pairs+=("$(basename "$dll")" "windows-i686/$(basename "$dll")")
done
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
    check "the image's ${pairs[i]} is the kit's ${pairs[i + 1]}" \
        cmp -s "$work/read/${pairs[i]}" "$kit/${pairs[i + 1]}"
done
check "autorun.inf has AutoPlay start the launcher" grep -q '^open=autorun.exe' "$work/read/autorun.inf"
check "the launcher is executable" test -x "$work/read/autorun"

# The kit's copy signs as the tree's does.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/certificate.pem" \
    -days 30 -subj "/CN=Orvella Test Signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -in "$work/certificate.pem" -inkey "$work/key.pem" -out "$work/signing.pfx" \
    -passout pass:
(cd "$work/empty" && env PATH=/usr/bin:/bin "$kit/scripts/make-medium.sh" --sign "$work/signing.pfx" \
    "$kit/demo" "$work/signed.iso") >"$work/output" 2>&1
status=$?
cat "$work/output"
check "the kit makes a signed image" test $status -eq 0
mkdir "$work/signed"
xorriso -no_rc -osirrox on -indev "$work/signed.iso" -extract / "$work/signed" >/dev/null 2>&1
check "its launcher's signature verifies" \
    bash -c 'osslsigncode verify -CAfile "$0" -in "$1" >/dev/null 2>&1' "$work/certificate.pem" \
    "$work/signed/autorun.exe"

# A plug-in for the shipping launcher, built against the unpacked kit with its
# i686 toolchain: linked for the kit's autorun.exe, which its version strings
# name.
cmake -S "$root/examples/plugins" -B "$work/i686" -G Ninja -DCMAKE_PREFIX_PATH="$kit/sdk" \
    -DCMAKE_TOOLCHAIN_FILE="$kit/sdk/toolchains/mingw-i686.cmake" >"$work/i686.log" 2>&1 &&
    ninja -C "$work/i686" >>"$work/i686.log" 2>&1
status=$?
[[ $status -eq 0 ]] || cat "$work/i686.log"
check "a plug-in builds against the kit with the i686 toolchain" test $status -eq 0
check "it is built for the kit's autorun.exe" \
    grep -qx autorun.exe <(strings -el "$work/i686/orvella_pages.dll" 2>/dev/null)

check "the kit refuses a build folder" \
    bash -c '! "$0" --linux-build "$1" "$2" "$3" 2>/dev/null' "$kit/scripts/make-medium.sh" "$linux" \
    "$kit/demo" "$work/refused.iso"

checks_done kit
