#!/usr/bin/env bash
# scripts/make-medium.sh --sign with a code-signing certificate this test makes
# itself (openssl): every Windows executable and DLL of the image carries an
# Authenticode signature (SHA-256) that verifies, keeps the run-from-swap flags
# and a true header checksum, and is the build's file up to the signature, and
# the page tool finds nothing unsigned; a signing without a time stamp warns
# that the signatures lapse with the certificate; a wrong password, a broken
# certificate and one whose key is not RSA (ECC) each stop with their reason
# before anything is built, and leave no image.
# Usage: sign_medium_test.sh <source folder> <Linux build folder> <Windows build folder>
set -uo pipefail
root=$1 build=$2 windows=$3
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/certificate.pem" \
    -days 30 -subj "/CN=Orvella Test Signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
echo "a password" >"$work/password"
openssl pkcs12 -export -in "$work/certificate.pem" -inkey "$work/key.pem" -out "$work/signing.pfx" \
    -passout "file:$work/password"
echo "another password" >"$work/wrong"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$work/ecc-key.pem" \
    -out "$work/ecc.pem" -days 30 -subj "/CN=Orvella Test Signing" \
    -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -in "$work/ecc.pem" -inkey "$work/ecc-key.pem" -out "$work/ecc.pfx" \
    -passout "file:$work/password"
head -c 2000 "$work/signing.pfx" | tail -c 1000 >"$work/broken.pfx"

# make_medium <image> <options>...: the demo medium.
make_medium() {
    local image=$1
    shift
    "$root/scripts/make-medium.sh" --linux-build "$build" --windows-build "$windows" "$@" \
        "$root/examples/medium" "$image"
}

make_medium "$work/signed.iso" --sign "$work/signing.pfx" --password-file "$work/password" \
    >"$work/output" 2>&1
status=$?
cat "$work/output"
check "the signed medium becomes an image" test $status -eq 0
expires=$(openssl x509 -in "$work/certificate.pem" -noout -enddate | sed 's/^notAfter=//')
check "without a time-stamp server it warns that the signatures end with the certificate" \
    grep -qF "warning: no --timestamp: the signatures count only while the certificate is valid \
(until $expires)" \
    "$work/output"
mkdir "$work/read"
xorriso -no_rc -osirrox on -indev "$work/signed.iso" -extract / "$work/read" >/dev/null 2>&1
mapfile -t files < <(cd "$work/read" && find . -iname '*.exe' -o -iname '*.dll' | sed 's|^\.||' | sort)
check "the launcher, its DLLs and the plug-ins are on the image" \
    test "$(grep -cE '^/(autorun\.exe|lib.*\.dll|rsc/plugins/.*\.dll)$' < <(printf '%s\n' "${files[@]}"))" -ge 3

# The flags and the checksum of a Windows file's header as run_from_swap.py
# sets them: prints nothing when both hold.
header_faults() {
    python3 - "$1" "$root/cmake" <<'PYTHON'
import struct, sys
sys.path.insert(0, sys.argv[2])
from run_from_swap import RUN_FROM_SWAP, pe_checksum
image = open(sys.argv[1], "rb").read()
header = struct.unpack_from("<I", image, 0x3C)[0]
if struct.unpack_from("<H", image, header + 22)[0] & RUN_FROM_SWAP != RUN_FROM_SWAP:
    print("not marked to run from swap")
if struct.unpack_from("<I", image, header + 88)[0] != pe_checksum(image, header + 88):
    print("checksum wrong")
PYTHON
}

# Whether the signed file is the built one with a signature appended: the
# same bytes but for the header's checksum and the certificate table's entry.
same_but_signature() {
    local signed=$1 built=$2 header size differing
    header=$(od -An -tu4 -j60 -N4 "$built" | tr -d ' ')
    size=$(stat -c %s "$built")
    # 1-based offsets of cmp: the checksum at header+88, the certificate
    # table's entry (the fifth data directory) at header+152 (PE32) or
    # header+168 (PE32+).
    differing=$(cmp -l -n "$size" "$signed" "$built" | awk -v h="$header" '
        !(($1 > h + 88 && $1 <= h + 92) || ($1 > h + 152 && $1 <= h + 160) ||
          ($1 > h + 168 && $1 <= h + 176)) { n++ } END { print n + 0 }')
    [[ $differing -eq 0 ]]
}

for file in "${files[@]}"; do
    signed="$work/read$file"
    verification=$(osslsigncode verify -CAfile "$work/certificate.pem" -in "$signed" 2>&1)
    check "$file: the signature verifies" test $? -eq 0
    check "$file: signed with SHA-256" grep -q "Message digest algorithm *: SHA256" <<<"$verification"
    check "$file: still runs from swap, with a true checksum" test -z "$(header_faults "$signed")"
    case $file in
        /autorun.exe) built=$(find "$windows/src/launcher" -maxdepth 1 -name autorun.exe) ;;
        /rsc/plugins/*) built=$(grep -F "/$(basename "$file")" "$windows/medium-plugins.txt") ;;
        *) built="$windows/src/launcher$file" ;;
    esac
    check "$file: the build's file with the signature after it" same_but_signature "$signed" "$built"
done
findings=$("$build/tools/autorun-page" --check "$work/read" 2>&1)
echo "$findings"
check "the page tool finds every Windows file signed" test -z "$findings"
check "the build's launcher is left unsigned" \
    bash -c '! osslsigncode verify -CAfile "$0" -in "$1" >/dev/null 2>&1' "$work/certificate.pem" \
    "$windows/src/launcher/autorun.exe"

# refused <what> <message> <make_medium arguments>...
refused() {
    local what=$1 message=$2
    shift 2
    make_medium "$work/refused.iso" "$@" >"$work/output" 2>&1
    local status=$?
    cat "$work/output"
    check "$what stops make-medium" test $status -ne 0
    check "$what is named" grep -q "$message" "$work/output"
    check "$what leaves no image" test ! -e "$work/refused.iso"
}
refused "a wrong password" "the password does not open the certificate" \
    --sign "$work/signing.pfx" --password-file "$work/wrong"
refused "a missing password" "the password does not open the certificate" --sign "$work/signing.pfx"
refused "a broken certificate" "is not a certificate in PKCS#12 form" \
    --sign "$work/broken.pfx" --password-file "$work/password"
refused "an ECC certificate" \
    "has an ECC key (curve prime256v1): Smart App Control (Windows 11) takes only RSA signatures" \
    --sign "$work/ecc.pfx" --password-file "$work/password"
# Refused before anything is built: a build folder that is not one is never
# reached.
"$root/scripts/make-medium.sh" --linux-build "$work/no-build" --windows-build "$work/no-build" \
    --sign "$work/ecc.pfx" --password-file "$work/password" "$root/examples/medium" \
    "$work/refused.iso" >"$work/output" 2>&1
check "the ECC certificate is refused before anything is built" \
    grep -q "has an ECC key" "$work/output"

checks_done sign_medium
