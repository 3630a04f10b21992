#!/usr/bin/env python3
"""Sets IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP and IMAGE_FILE_NET_RUN_FROM_SWAP in
Windows executables and DLLs: started from removable media or the network,
such a file is copied whole to the swap file before it runs, so an ejected or
swapped disc is never paged from. GNU ld has no option for the flags.

    run_from_swap.py FILE...

A checksum in the header is computed again (the loader checks it for drivers
only, but tools compare it); a header without one keeps none. A file is
written only when its bytes change, through a temporary file renamed into
place, so that a reader never sees half of it.
"""
import array
import os
import struct
import sys
import tempfile

RUN_FROM_SWAP = 0x0400 | 0x0800  # removable media, network


def pe_checksum(image, checksum_offset):
    """The PE image checksum: the 16-bit words summed with their carries,
    the checksum field counting as zero, plus the file's length."""
    padded = image + b"\0" * (len(image) % 2)
    words = array.array("H")
    words.frombytes(padded)
    if sys.byteorder == "big":
        words.byteswap()
    index = checksum_offset // 2
    words[index] = words[index + 1] = 0
    total = sum(words)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def marked(image, name):
    """The image with the flags set, and its checksum kept true."""
    if image[:2] != b"MZ" or len(image) < 0x40:
        sys.exit(f"run_from_swap: {name} is not a Windows executable")
    header = struct.unpack_from("<I", image, 0x3C)[0]
    characteristics_offset = header + 22
    checksum_offset = header + 24 + 64
    if image[header:header + 4] != b"PE\0\0" or checksum_offset + 4 > len(image):
        sys.exit(f"run_from_swap: {name} has no PE header")
    image = bytearray(image)
    characteristics = struct.unpack_from("<H", image, characteristics_offset)[0]
    struct.pack_into("<H", image, characteristics_offset, characteristics | RUN_FROM_SWAP)
    if struct.unpack_from("<I", image, checksum_offset)[0] != 0:
        struct.pack_into("<I", image, checksum_offset, pe_checksum(bytes(image), checksum_offset))
    return bytes(image)


def write_if_changed(path, content):
    try:
        with open(path, "rb") as existing:
            if existing.read() == content:
                return
    except FileNotFoundError:
        pass
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(dir=folder, prefix=".run_from_swap.")
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(content)
        os.chmod(temporary, 0o755)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main(arguments):
    if not arguments:
        sys.exit(__doc__)
    for path in arguments:
        with open(path, "rb") as source:
            content = marked(source.read(), path)
        write_if_changed(path, content)


if __name__ == "__main__":
    main(sys.argv[1:])
