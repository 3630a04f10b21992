#!/usr/bin/env bash
# Prints the newest C library version each Linux file needs, read off its
# version references (objdump -p), and the symbols that need it:
#
#   glibc-floor.sh [--max VERSION] FILE...
#
# Fails when a file needs a C library newer than VERSION (default 2.31) or
# any version of this machine's C++ runtime (GLIBCXX, CXXABI): the files for
# media carry their own.
set -euo pipefail

max=2.31
if [[ ${1:-} == --max ]]; then
    max=$2
    shift 2
fi
if [[ $# -eq 0 ]]; then
    echo "usage: $0 [--max VERSION] FILE..." >&2
    exit 2
fi

# newest <versions...>: the highest of the dotted versions.
newest() {
    printf '%s\n' "$@" | sort -V | tail -1
}

status=0
overall=""
for file in "$@"; do
    references=$(objdump -p "$file" | sed -n '/^Version References:/,/^$/p') || {
        echo "$file: not an ELF file objdump reads" >&2
        status=1
        continue
    }
    mapfile -t glibc < <(grep -oE 'GLIBC_[0-9.]+' <<<"$references" | sed 's/GLIBC_//' | sort -uV)
    runtime=$( (grep -oE '(GLIBCXX|CXXABI)_[0-9.]+' <<<"$references" || true) | sort -V | tail -1)
    floor=$(newest "${glibc[@]:-0}")
    overall=$(newest "$floor" "${overall:-0}")
    # The symbols that need the newest version, as the loader would report them.
    symbols=$(objdump -T "$file" | awk -v v="GLIBC_$floor" '$0 ~ v" " || $0 ~ "\\(" v "\\)" { print $NF }' |
        sort -u | head -5 | tr '\n' ' ')
    echo "$(basename "$file"): GLIBC $floor (${symbols% })${runtime:+, C++ runtime up to $runtime}"
    if [[ $(newest "$floor" "$max") != "$max" ]]; then
        echo "FAILED: $file needs GLIBC $floor, more than $max" >&2
        status=1
    fi
    if [[ -n $runtime ]]; then
        echo "FAILED: $file needs the C++ runtime of this machine ($runtime)" >&2
        status=1
    fi
done
echo "C library floor: GLIBC $overall"
exit $status
