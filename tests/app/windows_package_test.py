#!/usr/bin/env python3
"""The Windows application as a user receives it: one 64-bit GUI executable that needs no DLL
beyond Windows' own, carrying the maker's version resource, zipped with the LICENSE.

Exits 0 when everything holds, 1 on a failure, 77 when MinGW's objdump is missing."""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import zipfile

SKIP = 77
OBJDUMP = "x86_64-w64-mingw32-objdump"

IMAGE_FILE_MACHINE_AMD64 = 0x8664
PE32_PLUS = 0x20b
SUBSYSTEM_WINDOWS_GUI = 2

# What Windows itself provides, of what a JUCE application may import.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "d2d1.dll", "d3d11.dll", "dwrite.dll",
    "dxgi.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "opengl32.dll", "rpcrt4.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "uuid.dll", "version.dll", "winhttp.dll", "wininet.dll",
    "winmm.dll", "winspool.drv", "ws2_32.dll", "wsock32.dll",
}


def pe_header (data):
    """Machine, optional-header magic and subsystem, from the PE headers."""
    pe_offset = struct.unpack_from ("<I", data, 0x3c)[0]
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise ValueError ("no PE signature")
    machine = struct.unpack_from ("<H", data, pe_offset + 4)[0]
    optional = pe_offset + 24
    magic = struct.unpack_from ("<H", data, optional)[0]
    subsystem = struct.unpack_from ("<H", data, optional + 68)[0]
    return machine, magic, subsystem


def imported_dlls (path):
    dump = subprocess.run ([OBJDUMP, "-p", path], capture_output=True, text=True, check=True).stdout
    return sorted ({line.split ("DLL Name:")[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line})


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--exe", required=True)
    parser.add_argument ("--zip", required=True)
    parser.add_argument ("--license", required=True)
    parser.add_argument ("--version", required=True)
    args = parser.parse_args()

    if shutil.which (OBJDUMP) is None:
        print ("skipped: %s is not installed" % OBJDUMP)
        return SKIP

    failures = []

    def check (condition, message):
        print ("  %s: %s" % ("ok" if condition else "FAILED", message), flush=True)
        if not condition:
            failures.append (message)

    with open (args.exe, "rb") as f:
        exe = f.read()

    machine, magic, subsystem = pe_header (exe)
    check (machine == IMAGE_FILE_MACHINE_AMD64 and magic == PE32_PLUS, "a PE32+ x86-64 image")
    check (subsystem == SUBSYSTEM_WINDOWS_GUI, "a GUI executable (no console window)")

    dlls = imported_dlls (args.exe)
    others = [dll for dll in dlls if dll not in SYSTEM_DLLS]
    check (dlls and not others, "imports Windows system DLLs only: %s%s"
                                % (", ".join (dlls), "; not system DLLs: " + ", ".join (others) if others else ""))

    for name, value in (("CompanyName", "MORVEK LABS"), ("ProductName", "Dravel Tuner"),
                        ("FileVersion", args.version), ("ProductVersion", args.version)):
        entry = (name + "\0").encode ("utf-16-le")
        at = exe.find (entry)
        # A version-resource string: its key, padding to a 32-bit boundary, then its value.
        found = at >= 0 and (value + "\0").encode ("utf-16-le") in exe[at:at + len (entry) + 4 + 2 * len (value) + 2]
        check (found, "the version resource's %s is \"%s\"" % (name, value))

    with zipfile.ZipFile (args.zip) as package:
        files = {os.path.basename (info.filename): info for info in package.infolist() if not info.is_dir()}
        check (sorted (files) == ["Dravel Tuner.exe", "LICENSE"],
               "the zip holds the executable and the LICENSE: %s" % sorted (files))
        with open (args.license, "rb") as f:
            check ("LICENSE" in files and package.read (files["LICENSE"]) == f.read(), "the zipped LICENSE is the project's")
        check ("Dravel Tuner.exe" in files and package.read (files["Dravel Tuner.exe"]) == exe,
               "the zipped executable is the one built")

    check (os.path.basename (args.zip) == "Dravel-Tuner-%s-win64.zip" % args.version, "the zip is named with the version")

    print ("windows package: %s" % ("all checks passed" if not failures else "%d checks failed" % len (failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit (main())
