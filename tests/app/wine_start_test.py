#!/usr/bin/env python3
"""A Windows program started as ctest starts every test of the cross build, through the
emulator, runs in a process whose executable is Wine's preloader, with Wine's err lines on.

Wine's 64-bit loader sits at a fixed address, and only the preloader reserves Windows' own
fixed addresses before anything else is mapped. Without it the C library's heap now and then
covers the shared user data page, and that start dies before main with no word but Wine's
err line, which the test's output must then show.

Exits 0 when both hold, 1 otherwise.
"""

import argparse
import os
import re
import subprocess
import sys

sys.path.insert (0, os.path.dirname (os.path.abspath (__file__)))
from end_to_end_support import Failure, check  # noqa: E402


def hides_errors (winedebug):
    """Whether a WINEDEBUG value turns Wine's err class off for every channel ("-all",
    "err-all") or for the one that reports a failed start ("-virtual", "err-virtual")."""
    return any (re.fullmatch (r"(err)?-(all|virtual)", item) for item in winedebug.split (","))


def look_at_the_wine_process (emulator, probe):
    """The executable and the WINEDEBUG of the process that runs the probe. The emulator and
    Wine's loader each hand over by exec, so it is the process started here."""
    process = subprocess.Popen (emulator + [probe], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        said = process.stdout.readline().strip()
        check (said == "running", "the probe runs under Wine: %r" % said)
        executable = os.readlink ("/proc/%d/exe" % process.pid)
        with open ("/proc/%d/environ" % process.pid, "rb") as environ:
            variables = dict (entry.partition (b"=")[::2] for entry in environ.read().split (b"\0") if entry)
        return executable, variables.get (b"WINEDEBUG", b"").decode()
    finally:
        process.stdin.close()
        try:
            process.wait (timeout=30)
        except subprocess.TimeoutExpired:
            process.kill()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--probe", required=True)
    parser.add_argument ("emulator", nargs="+")
    args = parser.parse_args()

    try:
        executable, winedebug = look_at_the_wine_process (args.emulator, args.probe)
        check ("preloader" in os.path.basename (executable),
               "the process's executable is Wine's preloader: %s" % executable)
        check (not hides_errors (winedebug), "Wine's err lines reach the output: WINEDEBUG=%s" % winedebug)
        return 0
    except Failure as failure:
        print ("FAILED: %s" % failure, flush=True)
        return 1


if __name__ == "__main__":
    sys.exit (main())
