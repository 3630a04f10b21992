#!/usr/bin/env bash
# A medium ready to burn: builds the launchers, checks the medium as it will
# be on the image (autorun-page --check, stopping on an error), lays the
# launchers beside the medium's files and writes an ISO 9660 image with Joliet
# and Rock Ridge:
#   autorun      the Linux launcher, executable (the desktops' autostart
#                convention for media)
#   autorun.exe  the Windows launcher, with autorun.inf for AutoPlay (its
#                text there in the user's language, from the launcher's
#                string resource, unless --autoplay-action gives one)
#   rsc/plugins/ the plug-ins media carry (orv_medium_plugin in CMake)
# Files of the same names in the medium's folder are replaced in the image;
# the folder itself is not changed. Every file is readable by everyone, owned
# by root, and writable by no one; the launcher is executable.
# In the authoring kit (scripts/ of the unpacked archive) the launchers, the
# page tool and the plug-ins are the kit's own, built already: linux/ and the
# shipping Windows launcher of windows-i686/.
#
# Usage: scripts/make-medium.sh [--label NAME] [--autoplay-label TEXT]
#                               [--autoplay-action TEXT] [--linux-build DIR]
#                               [--windows-build DIR|none] [--sign CERT.pfx
#                               [--password-file FILE] [--timestamp URL]]
#                               MEDIUM_DIR OUT.iso
#   --label          the volume name (default: the folder's name, upper case)
#   --autoplay-label the medium's name in Windows' Explorer and AutoPlay
#                    (autorun.inf's label; default: the volume name)
#   --autoplay-action AutoPlay's text for starting the launcher (autorun.inf's
#                    action; default: "Show the installation menu" in the
#                    user's language, one of the launcher's 22)
#   --linux-build    (source tree only) a configured build folder to take the Linux launcher and
#                    the page tool from (default: a release build of its own
#                    against a Debian 11 root, scripts/debian11-root.sh, kept
#                    in build/debian11-root or ORV_DEBIAN11_ROOT)
#   --windows-build  (source tree only) the same for the Windows launcher
#                    (default: an i686 release build of its own); "none"
#                    leaves it out, in the kit too
#   --sign           signs every Windows executable and DLL of the image
#                    (autorun.exe, the DLLs beside it, the plug-ins) with
#                    Authenticode, SHA-256, with the certificate and private
#                    key of a PKCS#12 file (.pfx, .p12), and verifies each
#                    signature; the build's files are not changed
#   --password-file  the file whose first line is the certificate's password
#                    (default: none)
#   --timestamp      the address of an RFC 3161 time-stamp server, whose
#                    counter-signature keeps the signature valid after the
#                    certificate expires; without one make-medium warns
# A certificate whose key is not RSA is refused before anything is built.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# The authoring kit has no sources to build from.
kit=""
[[ -f $root/CMakeLists.txt ]] || kit=$root

usage() {
    echo "usage: $0 [--label NAME] [--autoplay-label TEXT] [--autoplay-action TEXT]" \
        "[--linux-build DIR] [--windows-build DIR|none]" \
        "[--sign CERT.pfx [--password-file FILE] [--timestamp URL]] MEDIUM_DIR OUT.iso" >&2
    exit 2
}

fail() {
    echo "make-medium: $*" >&2
    exit 1
}

# open_certificate: the signing certificate opened with its password before
# anything is built, so that a wrong password or a broken file stops at once.
# Leaves its chain in $work/trust.pem beside the system's CA certificates:
# each signature is verified against them.
open_certificate() {
    [[ -f $certificate ]] || fail "no certificate file $certificate"
    [[ -z $password_file || -r $password_file ]] || fail "cannot read the password file $password_file"
    command -v osslsigncode >/dev/null || fail "signing needs osslsigncode (scripts/install.sh installs it)"
    password=(-pass "")
    openssl_password=(-passin pass:)
    if [[ -n $password_file ]]; then
        password=(-readpass "$password_file")
        openssl_password=(-passin "file:$password_file")
    fi
    local errors legacy=()
    # Files exported by older Windows use ciphers OpenSSL 3 keeps apart.
    for legacy in "" -legacy; do
        errors=$(openssl pkcs12 $legacy -in "$certificate" "${openssl_password[@]}" -nodes \
            -out "$work/certificate.pem" 2>&1) && break
    done
    if [[ ! -s $work/certificate.pem ]]; then
        grep -qi 'invalid password' <<<"$errors" &&
            fail "the password does not open the certificate $certificate: no image written"
        fail "$certificate is not a certificate in PKCS#12 form (.pfx, .p12): no image written"
    fi
    grep -q 'PRIVATE KEY' "$work/certificate.pem" ||
        fail "$certificate holds no private key to sign with: no image written"
    grep -q 'BEGIN CERTIFICATE' "$work/certificate.pem" ||
        fail "$certificate holds no certificate: no image written"
    # Smart App Control takes only RSA signatures: with any other key the
    # medium's programs count as unsigned where it is on.
    local algorithms
    algorithms=$(openssl pkey -in "$work/certificate.pem" -pubout -outform DER 2>/dev/null |
        openssl asn1parse -inform DER 2>/dev/null | sed -n 's/.*prim: OBJECT *://p' | tr -d ' ')
    if [[ $(head -1 <<<"$algorithms") != rsaEncryption ]]; then
        local first=${algorithms%%$'\n'*}
        local key="a key of type ${first:-unknown}"
        [[ $algorithms == id-ecPublicKey* ]] && key="an ECC key (curve ${algorithms#*$'\n'})"
        fail "$certificate has $key: Smart App Control (Windows 11) takes only RSA signatures" \
            "and treats the medium's programs as unsigned; sign with a certificate whose key is" \
            "RSA: no image written"
    fi
    sed -n '/BEGIN CERTIFICATE/,/END CERTIFICATE/p' "$work/certificate.pem" >"$work/trust.pem"
    if [[ -z $timestamp ]]; then
        local expires
        expires=$(signing_certificate_expiry)
        echo "make-medium: warning: no --timestamp: the signatures count only while the" \
            "certificate is valid${expires:+ (until $expires)}; then Windows takes the files as" \
            "unsigned. Give the RFC 3161 time-stamp server of your certification authority." >&2
    fi
    rm -f "$work/certificate.pem"
    [[ -f /etc/ssl/certs/ca-certificates.crt ]] && cat /etc/ssl/certs/ca-certificates.crt >>"$work/trust.pem"
}

# signing_certificate_expiry: the end of the validity of the certificate in
# $work/certificate.pem whose public key is its private key's.
signing_certificate_expiry() {
    local key file
    key=$(openssl pkey -in "$work/certificate.pem" -pubout 2>/dev/null)
    awk -v dir="$work" '/BEGIN CERTIFICATE/ { file = dir "/chain-" ++n ".pem" }
        file { print > file } /END CERTIFICATE/ { close(file); file = "" }' "$work/certificate.pem"
    for file in "$work"/chain-*.pem; do
        if [[ $(openssl x509 -in "$file" -noout -pubkey 2>/dev/null) == "$key" ]]; then
            openssl x509 -in "$file" -noout -enddate 2>/dev/null | sed 's/^notAfter=//'
            break
        fi
    done
    rm -f "$work"/chain-*.pem
}

# sign_windows_files: signed copies of the image's Windows executables and
# DLLs take the place of the build's files among the grafts. The signature
# goes after everything else, so the run-from-swap flags and the version
# strings stay as they are; osslsigncode computes the header's checksum again.
sign_windows_files() {
    local i signed timestamps=() output
    [[ -n $timestamp ]] && timestamps=(-ts "$timestamp")
    for ((i = 0; i < ${#grafts[@]}; i += 2)); do
        [[ ${grafts[i + 1],,} == *.exe || ${grafts[i + 1],,} == *.dll ]] || continue
        signed="$work/signed${grafts[i + 1]}"
        mkdir -p "$(dirname "$signed")"
        output=$(osslsigncode sign -pkcs12 "$certificate" "${password[@]}" -h sha256 \
            "${timestamps[@]}" -in "${grafts[i]}" -out "$signed" 2>&1) ||
            fail "${grafts[i + 1]} could not be signed: no image written"$'\n'"$output"
        output=$(osslsigncode verify -CAfile "$work/trust.pem" -in "$signed" 2>&1) ||
            fail "the signature of ${grafts[i + 1]} does not verify: no image written"$'\n'"$output"
        echo "signed: ${grafts[i + 1]}"
        grafts[i]=$signed
    done
}

label="" linux_build="" windows_build="" certificate="" password_file="" timestamp=""
autoplay_label="" autoplay_action=""
while [[ $# -gt 2 ]]; do
    case $1 in
        --label) label=$2 ;;
        --autoplay-label) autoplay_label=$2 ;;
        --autoplay-action) autoplay_action=$2 ;;
        --linux-build) linux_build=$2 ;;
        --windows-build) windows_build=$2 ;;
        --sign) certificate=$2 ;;
        --password-file) password_file=$2 ;;
        --timestamp) timestamp=$2 ;;
        *) usage ;;
    esac
    shift 2
done
[[ $# -eq 2 ]] || usage
medium=$(cd "$1" 2>/dev/null && pwd) || fail "no folder $1"
out=$2
[[ -n $label ]] || label=$(basename "$medium" | tr '[:lower:]' '[:upper:]' | tr -c 'A-Z0-9_\n' '_')
label=${label:0:32}
[[ -z $certificate && (-n $password_file || -n $timestamp) ]] && usage
if [[ -n $autoplay_label || -n $autoplay_action ]]; then
    [[ $windows_build != none ]] ||
        fail "--autoplay-label and --autoplay-action go into autorun.inf, which a medium" \
            "without the Windows launcher (--windows-build none) does not have"
    for text in "$autoplay_label" "$autoplay_action"; do
        [[ -z $text ]] || autoplay_text_fault "$text" ||
            fail "the AutoPlay text \"$text\" $fault: no image written"
    done
fi

if [[ -n $kit ]]; then
    [[ -z $linux_build && ($windows_build == "" || $windows_build == none) ]] ||
        fail "the kit's launchers are built already: --linux-build and --windows-build name" \
            "build folders of the source tree"
    for tool in xorriso ${certificate:+osslsigncode openssl}; do
        command -v "$tool" >/dev/null || fail "$tool is missing (Debian and Ubuntu: apt install $tool)"
    done
else
    "$root/scripts/install.sh"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[[ -z $certificate ]] || open_certificate

# build <dir> <cmake arguments>...: configures the folder unless it is given,
# then builds the targets of TARGETS in it.
build() {
    local dir=$1 given=$2
    shift 2
    if [[ -z $given ]]; then
        configure "$dir" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF "$@"
    fi
    ninja -C "$dir" "${TARGETS[@]}" >"$dir.medium.log" 2>&1 || {
        tail -40 "$dir.medium.log" >&2
        fail "the build in $dir failed"
    }
}

# What goes into the image besides the medium's files: "source destination".
if [[ -n $kit ]]; then
    grafts=("$kit/linux/autorun" /autorun)
    page_tool=$kit/linux/autorun-page
    find "$kit/linux/plugins" -maxdepth 1 -name '*.so' | sort >"$work/linux-plugins.txt"
else
    linux=${linux_build:-$build_root/medium-linux}
    TARGETS=(autorun autorun-page medium-plugins)
    # Its own build binds to the C library of Debian 11 (cmake/debian11.cmake):
    # the medium starts on every supported desktop distribution.
    floor=()
    if [[ -z $linux_build ]]; then
        "$root/scripts/debian11-root.sh" "$debian11_root" ||
            fail "the Debian 11 root to build the Linux files against could not be made"
        floor=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/debian11.cmake" -DORV_DEBIAN11_ROOT="$debian11_root")
    fi
    build "$linux" "$linux_build" "${floor[@]}"
    grafts=("$linux/src/launcher/autorun" /autorun)
    page_tool=$linux/tools/autorun-page
    cp "$linux/medium-plugins.txt" "$work/linux-plugins.txt"
fi
while read -r plugin; do
    [[ -n $plugin ]] && grafts+=("$plugin" "/rsc/plugins/$(basename "$plugin")")
done <"$work/linux-plugins.txt"

# The medium as the launcher reads it on the image, with the plug-ins laid in
# (a tree of links, the folder stays as it is); every finding is shown, an
# error stops.
stage="$work/medium"
cp -rs "$medium" "$stage"
for ((i = 0; i < ${#grafts[@]}; i += 2)); do
    mkdir -p "$(dirname "$stage${grafts[i + 1]}")"
    ln -sfn "${grafts[i]}" "$stage${grafts[i + 1]}"
done
"$page_tool" --check "$stage" || fail "the medium has errors: no image written"

launcher=""
if [[ $windows_build != none && -n $kit ]]; then
    launcher=$kit/windows-i686/autorun.exe
    [[ -f $launcher ]] || fail "the kit has no Windows launcher $launcher"
    find "$kit/windows-i686/plugins" -maxdepth 1 -name '*.dll' | sort >"$work/windows-plugins.txt"
elif [[ $windows_build != none ]]; then
    windows=${windows_build:-$build_root/medium-win32}
    if [[ -z $windows_build ]]; then
        configure "$windows" -DCMAKE_BUILD_TYPE=Release -DORV_TESTS=OFF -DORV_FUZZ=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
    fi
    # (Asked of ninja directly: a grep that stops reading at its first match
    # would end ninja with SIGPIPE, which pipefail reports as no match.)
    if ninja -C "$windows" -t query autorun >/dev/null 2>&1; then
        TARGETS=(autorun medium-plugins)
        build "$windows" "$windows_build"
        launcher=$(find "$windows" -name autorun.exe -path '*/src/launcher/*' | head -1)
        cp "$windows/medium-plugins.txt" "$work/windows-plugins.txt"
    else
        echo "make-medium: this tree has no Windows launcher yet (no target autorun in" \
            "$windows): the image gets no autorun.exe and no autorun.inf" >&2
    fi
fi
if [[ -n $launcher ]]; then
    grafts+=("$launcher" /autorun.exe)
    # The C++ runtime that a launcher with plug-ins shares with them.
    for dll in "$(dirname "$launcher")"/lib{stdc++-6,gcc_s_dw2-1,gcc_s_seh-1,winpthread-1}.dll; do
        [[ -f $dll ]] && grafts+=("$dll" "/$(basename "$dll")")
    done
    while read -r plugin; do
        [[ -n $plugin ]] && grafts+=("$plugin" "/rsc/plugins/$(basename "$plugin")")
    done <"$work/windows-plugins.txt"
    write_autorun_inf "$work/autorun.inf" "${autoplay_label:-$label}" "$autoplay_action"
    grafts+=("$work/autorun.inf" /autorun.inf)
fi

[[ -z $certificate ]] || sign_windows_files

commands=(-volid "$label" -joliet on -rockridge on
    -compliance iso_9660_level=3:joliet_long_names
    -map "$medium" /)
for ((i = 0; i < ${#grafts[@]}; i += 2)); do
    commands+=(-map "${grafts[i]}" "${grafts[i + 1]}")
done
commands+=(-chown_r 0 / -- -chgrp_r 0 / -- -chmod_r a+r,a-w / --
    -find / -type d -exec chmod a+x --
    -chmod 0555 /autorun --)

# Written beside its place and moved there whole.
partial="$out.partial.$$"
rm -f "$partial"
xorriso -no_rc -report_about WARNING -outdev "$partial" "${commands[@]}" -commit >"$work/xorriso.log" 2>&1 || {
    cat "$work/xorriso.log" >&2
    rm -f "$partial"
    fail "the image could not be written"
}
mv -f "$partial" "$out"
echo "$out"
