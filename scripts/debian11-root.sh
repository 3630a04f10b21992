#!/usr/bin/env bash
# Makes a Debian 11 (bullseye) root from Debian's packages: the oldest C
# library, GLib, GTK 3 and WebKitGTK 4.0 the medium's Linux files are built
# against (the root serves as the compiler's sysroot) and are shown in (the
# launcher runs inside it under its own Xvfb).
#
#   debian11-root.sh <folder>
#
# The root is made once: a folder holding the stamp of the same package list
# is kept as it is and nothing is fetched. Making it needs root (debootstrap,
# chroot) and Debian's mirror; its mounts live in a private mount namespace
# and end with it.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 <folder>" >&2
    exit 2
fi
target=$1
mirror=${ORV_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${ORV_DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}

# Building: the C library, GLib and the headers of what the launcher loads when
# it runs. Running: GTK 3, WebKitGTK 4.0 and an X server.
packages=(
    libc6-dev libglib2.0-dev libgtk-3-dev libsoup2.4-dev libjavascriptcoregtk-4.0-dev
    libgtk-3-0 libwebkit2gtk-4.0-37 xvfb xauth fonts-dejavu-core
)
# WebKitGTK's headers: the mirrors serve libwebkit2gtk-4.0-dev of
# bullseye-security no longer, only its libraries; the headers of the same API
# come from the package of Debian 12 (the same upstream release), taken with
# this machine's apt when the root's cannot.
headers_package=libwebkit2gtk-4.0-dev
stamp="$target/.orvella-root"
wanted="bullseye bullseye-security ${packages[*]} $headers_package"
if [[ -f $stamp && $(cat "$stamp") == "$wanted" ]]; then
    exit 0
fi

for tool in debootstrap chroot unshare; do
    command -v "$tool" >/dev/null || {
        echo "$0: $tool is missing (scripts/install.sh installs it)" >&2
        exit 1
    }
done
if [[ $(id -u) -ne 0 ]]; then
    echo "$0: making the root needs root (debootstrap and chroot)" >&2
    exit 1
fi

# A half-made root is never taken for a made one: it is made beside the target
# and takes its place when complete.
partial="$target.partial"
rm -rf "$partial" "$target"
mkdir -p "$partial"
started=$SECONDS
# debootstrap mounts the root's /proc while it installs: in a mount namespace of
# its own, so that nothing stays mounted whatever happens.
unshare -m --propagation private debootstrap --variant=minbase bullseye "$partial" "$mirror" \
    >"$partial.log" 2>&1 || {
    tail -20 "$partial.log" >&2
    echo "$0: debootstrap failed (log: $partial.log)" >&2
    exit 1
}

cat >"$partial/etc/apt/sources.list" <<EOF
deb $mirror bullseye main
deb $mirror bullseye-updates main
deb $security bullseye-security main
EOF
# No documentation, manual pages or translations: the root is a build and test
# environment.
cat >"$partial/etc/dpkg/dpkg.cfg.d/orvella-minimal" <<'EOF'
path-exclude /usr/share/doc/*
path-exclude /usr/share/man/*
path-exclude /usr/share/info/*
path-exclude /usr/share/locale/*
path-include /usr/share/locale/locale.alias
EOF

unshare -m --propagation private bash -euo pipefail -c '
    root=$1
    shift
    mount -t proc proc "$root/proc"
    mount --bind /dev "$root/dev"
    export DEBIAN_FRONTEND=noninteractive LC_ALL=C
    chroot "$root" apt-get update -qq
    chroot "$root" apt-get upgrade -y -qq
    chroot "$root" apt-get install -y -qq --no-install-recommends "$@"
    chroot "$root" apt-get clean
' bash "$partial" "${packages[@]}" >>"$partial.log" 2>&1 || {
    tail -20 "$partial.log" >&2
    echo "$0: installing the packages failed (log: $partial.log)" >&2
    exit 1
}
if ! unshare -m --propagation private bash -c '
    mount -t proc proc "$1/proc"
    LC_ALL=C DEBIAN_FRONTEND=noninteractive chroot "$1" apt-get install -y -qq --no-install-recommends "$2"
' bash "$partial" "$headers_package" >>"$partial.log" 2>&1; then
    download=$(mktemp -d)
    (cd "$download" && apt-get download -qq "$headers_package") >>"$partial.log" 2>&1 &&
        dpkg-deb -x "$download"/*.deb "$download/files" || {
        rm -rf "$download"
        echo "$0: no package of WebKitGTK's headers ($headers_package) could be fetched" >&2
        exit 1
    }
    cp -r "$download/files/usr/include/." "$partial/usr/include/"
    cp "$download/files/usr/lib/x86_64-linux-gnu/pkgconfig/"*.pc "$partial/usr/lib/x86_64-linux-gnu/pkgconfig/"
    rm -rf "$download"
fi
rm -rf "$partial"/var/lib/apt/lists/*
# Links to absolute paths (the loader's, the -dev packages' .so) point into
# this machine when the compiler reads the root as its sysroot: made relative,
# they point into the root from outside and inside alike.
fix_links() {
    local base=$1 link target
    find "$base/usr/lib" "$base/usr/lib64" -type l -lname '/*' | while read -r link; do
        target=$(readlink "$link")
        ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$base$target")" "$link"
    done
}
fix_links "$partial"

echo "$wanted" >"$partial/.orvella-root"
mv "$partial" "$target"
mv "$partial.log" "$target.log"
echo "Debian 11 root made in $((SECONDS - started)) s: $target ($(du -sh "$target" | cut -f1))"
