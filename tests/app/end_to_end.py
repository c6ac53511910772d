#!/usr/bin/env python3
"""The stand-alone tuner as a musician meets it: a real JACK server (dummy driver), the app
in a real window under Xvfb, tones played into its inputs, screenshots of what it shows, a
knob turned with the mouse, and the setting remembered across a restart.

Exits 0 when everything holds, 1 on a failure, 77 when the machine lacks Xvfb or jackd.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert (0, os.path.dirname (os.path.abspath (__file__)))
import tuner_window  # noqa: E402
from end_to_end_support import (SAMPLE_RATE, SKIP, Failure, JackServer, ToneClient, check, close_with_its_button, describe,  # noqa: E402
                                expected_meter, remove_scratch, wait_for_meter, wait_for_ports)

SERVER_NAME = "dravel-e2e-%d" % os.getpid()


def run_app (args, home, env, display):
    app_env = dict (env, HOME=home, DISPLAY=display)
    app = subprocess.Popen ([args.app], env=app_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = tuner_window.TunerWindow.wait_for (display, app, timeout=20)
    if not wait_for_ports (env, "Dravel Tuner:in_1", 20):
        raise Failure ("the app did not open the JACK server")
    return app, window


def session (args, home, env, display, reference, first):
    app, window = run_app (args, home, env, display)
    tone = ToneClient (args.tone_client, env)
    try:
        tone.send ("connect Dravel Tuner")
        missing = window.wait_for_face (10)
        check (not missing, "the window shows the tuner face at 760 x 312 %s" % (missing or ""))

        wait_for_meter (window, set(), None, 5)
        check (True, "silence lights no bar and shows no pointer")

        tone.send ("tone 440 0.5")
        expected, pointer = expected_meter (440.0, reference)
        seen = wait_for_meter (window, expected, pointer, 5)
        check (True, "440 Hz against %.1f Hz lights bars %s under a pointer over bar %d, %s"
                     % (reference, sorted (expected), pointer, describe (seen)))
        print ("LATENCY from the first audio of a tone to the window: %.0f to %.0f ms"
               % (seen[1] * 1000, seen[0] * 1000), flush=True)

        if first:
            sharp = 440.0 * 2.0 ** (20.0 / 1200.0)
            tone.send ("tone %.6f 0.5" % sharp)
            expected, pointer = expected_meter (sharp, reference)
            seen = wait_for_meter (window, expected, pointer, 5)
            check (expected == {35} and pointer == 35,
                   "a tone 20 cents sharp lights bar 35 alone, under the pointer, %s" % describe (seen))

            tone.send ("silence")
            seen = wait_for_meter (window, set(), None, 5)
            check (True, "after the tone stops no bar is lit, %s" % describe (seen))

            result = tone.send ("check")
            check (True, "the output repeats the input exactly: " + result[3:])

            # A knob turned up by 36 px (4 Hz), then JUCE's reset while the tone plays: the
            # processor and the window are made anew, from the defaults.
            window.drag_knob (pixels_down=-36)
            tone.send ("tone 440 0.5")
            expected, pointer = expected_meter (440.0, 444.0)
            wait_for_meter (window, expected, pointer, 5)
            check (expected == {17}, "against 444.0 Hz after the knob turned up, 440 Hz lights bar 17")

            window.reset_to_default_state()
            expected, pointer = expected_meter (440.0, 440.0)
            seen = wait_for_meter (window, expected, pointer, 10)
            check (True, "after \"Reset to default state\" with audio running, 440 Hz lights bars %s again, %s"
                         % (sorted (expected), describe (seen)))

            tone.send ("silence")
            wait_for_meter (window, set(), None, 5)
            window.drag_knob (pixels_down=72)
            time.sleep (0.3)
        else:
            tone.send ("silence")
            wait_for_meter (window, set(), None, 5)
    finally:
        tone.close()

    close_with_its_button (window, app, timeout=15)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--app", required=True)
    parser.add_argument ("--tone-client", required=True)
    parser.add_argument ("--state-reader", required=True)
    args = parser.parse_args()

    for tool in ("Xvfb", "jackd", "jack_lsp", "xdotool", "xwd", "convert"):
        if shutil.which (tool) is None:
            print ("skipped: %s is not installed" % tool)
            return SKIP

    scratch = tempfile.mkdtemp (prefix="dravel-e2e-")
    home = os.path.join (scratch, "home")
    settings = tuner_window.write_jack_settings (home, SAMPLE_RATE)
    env = dict (os.environ, JACK_DEFAULT_SERVER=SERVER_NAME, JACK_NO_AUDIO_RESERVATION="1")

    jack = JackServer (env)
    xvfb = tuner_window.Xvfb()
    try:
        jack.wait_until_running (10)

        print ("first start: reference 440.0 Hz", flush=True)
        session (args, home, env, xvfb.display, 440.0, first=True)

        saved = subprocess.run ([args.state_reader, settings], capture_output=True, text=True)
        check (saved.returncode == 0 and saved.stdout.strip() == "432.0",
               "the settings file's filterState holds the new reference: %s" % (saved.stdout.strip() or saved.stderr.strip()))

        print ("second start: reference 432.0 Hz", flush=True)
        session (args, home, env, xvfb.display, 432.0, first=False)
        print ("end-to-end: all checks passed")
        return 0
    except Failure as failure:
        print ("FAILED: %s" % failure, flush=True)
        return 1
    finally:
        xvfb.stop()
        jack.stop()
        remove_scratch (scratch)


if __name__ == "__main__":
    sys.exit (main())
