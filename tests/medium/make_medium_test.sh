#!/usr/bin/env bash
# scripts/make-medium.sh from outside: the demo medium becomes an image that is
# read back without mounting it (xorriso): its files in Rock Ridge and Joliet,
# the launcher executable, the sample plug-in, the volume name; a medium with
# an error gives no image. Given a Windows build, the image carries its
# launcher too, with the DLLs beside it, its plug-ins and autorun.inf, read back
# as Windows reads them (Joliet), each executable and DLL marked to run from
# swap; AutoPlay's text is the launcher's string resource in every language,
# or the author's own, and the page tool names every Windows file of the image
# as unsigned.
# Usage: make_medium_test.sh <source folder> <Linux build folder> [<Windows build folder>]
set -uo pipefail
root=$1 build=$2 windows=${3:-none}
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"

# Whether a Windows executable or DLL is marked to run from the swap file
# when started from removable media and from the network (both flags of its
# file header).
runs_from_swap() {
    local header flags
    header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    flags=$(od -An -tu2 -j$((header + 22)) -N2 "$1" 2>/dev/null | tr -d ' ')
    [[ -n $flags ]] && (((flags & 0xC00) == 0xC00))
}

# string_resource <file> <id>: the string of the id in each language of a
# Windows file's string table, "LANG<tab>text" a line, as Windows' resource
# loader finds it.
string_resource() {
    python3 - "$1" "$2" <<'PYTHON'
import struct, sys
data = open(sys.argv[1], "rb").read()
wanted = int(sys.argv[2])
header = struct.unpack_from("<I", data, 0x3C)[0]
sections = struct.unpack_from("<H", data, header + 6)[0]
optional_size, magic = struct.unpack_from("<HxxH", data, header + 20)
directories = header + 24 + (96 if magic == 0x10B else 112)
def file_offset(address):
    for i in range(sections):
        at = header + 24 + optional_size + 40 * i + 8
        size, start, raw_size, raw = struct.unpack_from("<IIII", data, at)
        if start <= address < start + max(size, raw_size):
            return raw + address - start
base = file_offset(struct.unpack_from("<I", data, directories + 2 * 8)[0])
def entries(at):
    named, ids = struct.unpack_from("<HH", data, base + at + 12)
    return [struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            for i in range(named + ids)]
def below(at, name):
    return next(value & 0x7FFFFFFF for key, value in entries(at) if key == name)
block = below(below(0, 6), wanted // 16 + 1)  # RT_STRING, 16 strings a block
for language, entry in entries(block):
    at = file_offset(struct.unpack_from("<I", data, base + entry)[0])
    for _ in range(wanted % 16 + 1):
        length = struct.unpack_from("<H", data, at)[0]
        text = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        at += 2 + 2 * length
    print("%04x\t%s" % (language, text))
PYTHON
}

# Whether an executable or library carries no debugging sections and names its
# debug file in a debug link, and the build keeps that file beside it.
stripped_with_debug_link() {
    local sections
    sections=$(objdump -h "$1" 2>/dev/null | awk '$2 ~ /^\./ { print $2 }')
    grep -qx '.gnu_debuglink' <<<"$sections" && ! grep -qE '^\.(z?debug|stab)' <<<"$sections" &&
        test -s "$2.debug"
}

cp -r "$root/examples/medium" "$work/demo"
# A launcher left in the folder from before is replaced, and a file that only
# its owner may read is readable on the medium.
echo "an old launcher" >"$work/demo/autorun"
chmod 600 "$work/demo/README.txt"

make_medium() {
    "$root/scripts/make-medium.sh" --linux-build "$build" --windows-build "$windows" "$@"
}

demo_output=$(make_medium --label DEMO_1 "$work/demo" "$work/demo.iso" 2>&1)
status=$?
echo "$demo_output"
check "the demo medium becomes an image" test $status -eq 0
check "the check finds nothing: the plug-in laid in serves the page's classes" \
    test -z "$(grep -E ': (warning|error): ' <<<"$demo_output")"

listing=$(xorriso -no_rc -indev "$work/demo.iso" -find / -exec lsdl -- 2>/dev/null)
echo "$listing"
names() { sed -n "s/.* '\(.*\)'$/\1/p" | sort; }
expected=$(printf '%s\n' / /README.txt /autorun /autorun.xml /rsc /rsc/autorun.css \
    /rsc/autorun.tpl /rsc/extensions.xml /rsc/logo.svg /rsc/plugins \
    /rsc/plugins/declared_extensions.so \
    /rsc/plugins/orvella_pages.so /setup.sh /uninstall.sh | sort)
if [[ $windows != none ]]; then
    launcher_dir="$windows/src/launcher"
    runtime=$(cd "$launcher_dir" && find . -maxdepth 1 -name '*.dll' | sed 's|^\.||')
    # The plug-ins media carry, built for this launcher.
    mapfile -t plugins < <(grep -v '^$' "$windows/medium-plugins.txt")
    laid_in=()
    for plugin in "${plugins[@]}"; do
        laid_in+=(/rsc/plugins "/rsc/plugins/$(basename "$plugin")")
    done
    expected=$(printf '%s\n' "$expected" /autorun.exe /autorun.inf $runtime "${laid_in[@]}" | sort -u)
fi
check "the image holds the medium's files, the launcher, the standard and the sample plug-in" \
    test "$(names <<<"$listing")" == "$expected"
check "the launcher is executable by everyone and writable by no one" \
    grep -qE "^-r-xr-xr-x .* 0 +0 .* '/autorun'$" <<<"$listing"
check "the medium's files are readable by everyone" \
    grep -qE "^-r--r--r-- .* '/README.txt'$" <<<"$listing"
if [[ $windows == none ]]; then
    check "no autorun.inf without a Windows launcher" test -z "$(grep autorun.inf <<<"$listing")"
fi

joliet=$(xorriso -no_rc -read_fs norock -indev "$work/demo.iso" -find / 2>/dev/null | tr -d "'" | sort)
check "the Joliet tree has the names as they are" grep -qx /rsc/autorun.tpl <<<"$joliet"
if [[ $windows != none ]]; then
    check "Windows finds the launcher and autorun.inf" \
        test "$(grep -xE '/autorun\.(exe|inf)' <<<"$joliet")" == $'/autorun.exe\n/autorun.inf'
fi
check "the volume name" grep -q "Volume Id *: DEMO_1" \
    <(xorriso -no_rc -indev "$work/demo.iso" -pvd_info 2>/dev/null)

mkdir "$work/read"
xorriso -no_rc -osirrox on -indev "$work/demo.iso" -extract / "$work/read" >/dev/null 2>&1
check "the launcher on the image is the one built" cmp -s "$work/read/autorun" "$build/src/launcher/autorun"
check "the plug-in on the image is the one built" \
    cmp -s "$work/read/rsc/plugins/orvella_pages.so" "$build/examples/plugins/orvella_pages.so"
check "the standard plug-in on the image is the one built" \
    cmp -s "$work/read/rsc/plugins/declared_extensions.so" "$build/plugins/declared_extensions.so"
check "the data file is the medium's" cmp -s "$work/read/autorun.xml" "$work/demo/autorun.xml"
check "the launcher keeps its executable bit when copied off" test -x "$work/read/autorun"
check "the launcher carries no debugging sections" \
    stripped_with_debug_link "$work/read/autorun" "$build/src/launcher/autorun"
for plugin in declared_extensions orvella_pages; do
    check "the plug-in $plugin.so carries no debugging sections" \
        stripped_with_debug_link "$work/read/rsc/plugins/$plugin.so" \
        "$(grep "/$plugin.so\$" "$build/medium-plugins.txt")"
done
if [[ $windows != none ]]; then
    check "the Windows launcher on the image is the one built" \
        cmp -s "$work/read/autorun.exe" "$launcher_dir/autorun.exe"
    check "the Windows launcher runs from swap" runs_from_swap "$work/read/autorun.exe"
    for dll in $runtime; do
        check "the DLL $dll beside it is the build's" cmp -s "$work/read$dll" "$launcher_dir$dll"
        check "the DLL $dll runs from swap" runs_from_swap "$work/read$dll"
        check "the DLL $dll carries no debugging sections" \
            stripped_with_debug_link "$work/read$dll" "$launcher_dir$dll"
    done
    check "the Windows launcher carries no debugging sections" \
        stripped_with_debug_link "$work/read/autorun.exe" "$launcher_dir/autorun.exe"
    for plugin in "${plugins[@]}"; do
        name=$(basename "$plugin")
        check "the plug-in $name for it is the build's" \
            cmp -s "$work/read/rsc/plugins/$name" "$plugin"
        check "the plug-in $name runs from swap" runs_from_swap "$work/read/rsc/plugins/$name"
        check "the plug-in $name carries no debugging sections" \
            stripped_with_debug_link "$work/read/rsc/plugins/$name" "$plugin"
    done
    action_id=$(sed -n 's/^#define IDS_AUTOPLAY_ACTION //p' \
        "$root/src/launcher/resources/resource_ids.h")
    check "autorun.inf: AutoPlay starts the launcher with its icon, its text and the volume name" \
        cmp -s "$work/read/autorun.inf" <(printf '%s\r\n' '[autorun]' open=autorun.exe \
            icon=autorun.exe "action=@autorun.exe,-$action_id" label=DEMO_1)
    strings=$(string_resource "$work/read/autorun.exe" "$action_id")
    echo "$strings"
    check "the launcher on the image has AutoPlay's text in English" \
        grep -qx $'0409\tShow the installation menu' <<<"$strings"
    check "... and in each of its 22 languages, translated" \
        test "$(cut -f2 <<<"$strings" | grep -cvx 'Show the installation menu')" -eq 21
    mapfile -t windows_files < <(cd "$work/read" && find . -iname '*.exe' -o -iname '*.dll' |
        sed 's|^\./||' | sort)
    findings=$("$build/tools/autorun-page" --check "$work/read" 2>&1)
    echo "$findings"
    check "the page tool names each Windows file of the image as unsigned" \
        test "$(sed -n 's/: warning: no Authenticode signature: .*//p' <<<"$findings" | sort)" == \
        "$(printf '%s\n' "${windows_files[@]}")"
    check "... with what Smart App Control does, and nothing else" \
        test "$(grep -c 'Smart App Control' <<<"$findings")" -eq "$(wc -l <<<"$findings")"
fi

if [[ $windows != none ]]; then
    # The author's own AutoPlay texts, beyond ASCII: autorun.inf in UTF-16.
    make_medium --autoplay-label "Orvella Sicherheit 2026" \
        --autoplay-action "Installationsmenü öffnen" "$work/demo" "$work/texts.iso" \
        >/dev/null 2>&1
    check "AutoPlay's own texts give an image" test -f "$work/texts.iso"
    xorriso -no_rc -osirrox on -indev "$work/texts.iso" -extract /autorun.inf "$work/texts.inf" \
        >/dev/null 2>&1
    check "autorun.inf carries them in UTF-16 with a byte-order mark" \
        cmp -s "$work/texts.inf" <(printf '\xFF\xFE' && printf '%s\r\n' '[autorun]' \
            open=autorun.exe icon=autorun.exe 'action=Installationsmenü öffnen' \
            'label=Orvella Sicherheit 2026' | iconv -f UTF-8 -t UTF-16LE)
    make_medium --autoplay-action $'two\nlines' "$work/demo" "$work/refused.iso" \
        >"$work/errors" 2>&1
    check "a text of two lines is refused" grep -q 'holds a line break' "$work/errors"
    check "... and leaves no image" test ! -e "$work/refused.iso"
fi

cp -r "$root/examples/medium" "$work/broken"
printf '<%%open%%>' >"$work/broken/rsc/autorun.tpl"
check "a medium with an error gives no image" \
    bash -c '! "$0" --linux-build "$1" --windows-build none "$2" "$3" >"$4" 2>&1' \
    "$root/scripts/make-medium.sh" "$build" "$work/broken" "$work/broken.iso" "$work/errors"
cat "$work/errors"
check "the error is named" grep -q "autorun.tpl:1:1: error" "$work/errors"
check "no image is left" test ! -e "$work/broken.iso"

checks_done make_medium
