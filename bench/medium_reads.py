#!/usr/bin/env python3
"""The bytes a start reads from a medium before its page is shown, beside the
floor: the page's own files (template, data, styles, pictures), which any
start reads. Usage, on the files of an image laid out in a folder of a disk
(scripts/bench-medium.sh does), with an X display:

    medium_reads.py MEDIUM_DIR

Linux: the bytes of the medium's files that a start of `autorun` brings into
the page cache, counted with fincore once the window shows the page, every
file's pages dropped from the cache before (written back, then
POSIX_FADV_DONTNEED). Where the cache cannot be emptied the file's size is
counted, and the figure says so.

Windows: files that run from swap are copied whole before they run, so a start
reads all of `autorun.exe`, of the DLLs beside it that it imports (and that
they import), and of the plug-ins of rsc/plugins/, which the launcher loads
before it builds its page; the page's files are those a Linux start read.
"""
import os
import re
import subprocess
import sys
import time

PAGE_COLOUR = "0D3B66"  # the demo page's header, near the window's top left


def medium_files(medium):
    for folder, _, names in os.walk(medium):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path):
                yield os.path.relpath(path, medium)


def is_program(name):
    lower = name.lower()
    return lower in ("autorun", "autorun.exe") or lower.endswith((".dll", ".so"))


def drop_from_cache(path):
    with open(path, "rb") as f:
        os.fsync(f.fileno())
        os.posix_fadvise(f.fileno(), 0, 0, os.POSIX_FADV_DONTNEED)


def cached_bytes(path):
    output = subprocess.run(["fincore", "--bytes", "--noheadings", "--output", "RES", path],
                            check=True, capture_output=True, text=True).stdout
    return int(output.split()[0])


def window_shows_page(pid):
    """Whether a visible window of the process shows the page's colour."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                           capture_output=True, text=True).stdout.split()
    for window in found:
        pixel = subprocess.run(["import", "-window", window, "-crop", "1x1+2+2", "-depth", "8",
                                "txt:-"], capture_output=True, text=True).stdout
        if "#" + PAGE_COLOUR in pixel.upper():
            return True
    return False


def linux_start(medium, files):
    """The bytes of each file in the cache after a start, and whether the cache
    could be emptied first."""
    for name in files:
        drop_from_cache(os.path.join(medium, name))
    emptied = all(cached_bytes(os.path.join(medium, name)) == 0 for name in files)
    launcher = subprocess.Popen(["./autorun"], cwd=medium, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 60
        while not window_shows_page(launcher.pid):
            if launcher.poll() is not None or time.monotonic() > deadline:
                sys.exit("medium_reads: the launcher did not show its page")
            time.sleep(0.05)
    finally:
        launcher.terminate()
        launcher.wait()
    if not emptied:
        return {name: os.path.getsize(os.path.join(medium, name)) for name in files}, False
    return {name: cached_bytes(os.path.join(medium, name)) for name in files}, True


def pe_imports(path):
    """The names of the DLLs a Windows executable or DLL imports, from its
    headers as objdump prints them (as cmake/check_imports.cmake reads them)."""
    headers = subprocess.run(["objdump", "-p", path], check=True, capture_output=True,
                             text=True).stdout
    return re.findall(r"^\s*DLL Name: (\S+)$", headers, re.MULTILINE)


def windows_start(medium, files):
    """The files a Windows start loads from the medium, each whole."""
    beside = {name.lower(): name for name in files if "/" not in name}
    if "autorun.exe" not in beside:
        return None
    loaded = [beside["autorun.exe"]]
    loaded += sorted(name for name in files
                     if name.startswith("rsc/plugins/") and name.lower().endswith(".dll"))
    for name in loaded:  # grows while it is read
        for imported in pe_imports(os.path.join(medium, name)):
            found = beside.get(imported.lower())
            if found and found not in loaded:
                loaded.append(found)
    return {name: os.path.getsize(os.path.join(medium, name)) for name in loaded}


def megabytes(count):
    return f"{count / 1e6:7.3f} MB"


def main(arguments):
    if len(arguments) != 1:
        sys.exit(__doc__)
    medium = arguments[0]
    files = sorted(medium_files(medium))
    linux, measured = linux_start(medium, files)
    # The page's own files: what a start reads besides programs and libraries.
    page = {name: linux[name] for name in files if not is_program(name) and linux[name] > 0}
    page_whole = {name: os.path.getsize(os.path.join(medium, name)) for name in page}
    windows = windows_start(medium, files)

    print("Read from the medium before the page is shown")
    how = "pages brought into a cold cache" if measured else "file sizes (the cache could not be emptied)"
    print(f"\nLinux, {how}:")
    for name in files:
        if linux[name]:
            print(f"  {name:40} {megabytes(linux[name])}")
    if windows is not None:
        print("\nWindows, whole files (they run from swap), and the page's files:")
        for name, size in {**windows, **page_whole}.items():
            print(f"  {name:40} {megabytes(size)}")
    print(f"\n{'':18} {'a start reads':>14} {'floor: the page':>16} {'ratio':>8}")
    rows = [("Linux", sum(linux.values()), sum(page.values()))]
    if windows is not None:
        rows.append(("Windows", sum(windows.values()) + sum(page_whole.values()),
                     sum(page_whole.values())))
    for system, total, floor in rows:
        print(f"{system:18} {megabytes(total):>14} {megabytes(floor):>16} {total / floor:7.1f}x")


if __name__ == "__main__":
    main(sys.argv[1:])
