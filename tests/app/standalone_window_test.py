#!/usr/bin/env python3
"""The built stand-alone app on a virtual X server, started as on a new machine (no settings
file, so JUCE shows its muted-input notice): the window shows the tuner face at 760 x 312 and
its close button ends the app cleanly, writing the settings file.

Exits 0 when everything holds, 1 on a failure, 77 when Xvfb is not installed.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert (0, os.path.dirname (os.path.abspath (__file__)))
import tuner_window  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--app", required=True)
    parser.add_argument ("--pictures", required=True)
    args = parser.parse_args()

    if shutil.which ("Xvfb") is None:
        print ("skipped: Xvfb is not installed")
        return 77

    scratch = tempfile.mkdtemp (prefix="dravel-window-")
    home = os.path.join (scratch, "home")
    os.makedirs (home)
    xvfb = tuner_window.Xvfb()
    app = subprocess.Popen ([args.app], env=dict (os.environ, HOME=home, DISPLAY=xvfb.display),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = tuner_window.TunerWindow.wait_for (xvfb.display, app, timeout=30)
        missing = window.wait_for_face (10)
        window.save_picture (os.path.join (args.pictures, "standalone-window.png"))
        print ("window %dx%d at %d,%d; editor at %d,%d" % (window.width, window.height, window.x, window.y,
                                                        window.editor_x, window.editor_y))

        if not window.shows_muted_input_notice():
            missing.append ("muted-input notice above the face")
        if missing:
            print ("FAILED: the face differs: " + ", ".join (missing))
            return 1

        window.close()
        try:
            app.wait (timeout=10)
        except subprocess.TimeoutExpired:
            print ("FAILED: the app did not end within 10 s of its close button")
            return 1

        if app.returncode != 0:
            print ("FAILED: the app ended with status %d" % app.returncode)
            return 1
        if not os.path.isfile (os.path.join (home, ".config", "Dravel Tuner.settings")):
            print ("FAILED: closing wrote no settings file")
            return 1

        print ("tuner face found and the app closed cleanly")
        return 0
    finally:
        if app.poll() is None:
            app.kill()
            app.wait()
        xvfb.stop()
        shutil.rmtree (scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit (main())
