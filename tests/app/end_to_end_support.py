"""What the end-to-end tests share, whichever system the app is built for: checks that stop
at the first failure, the meter a steady tone should light, a JACK dummy server and the tone
client that plays into the app and records what it sends back."""

import math
import os
import shutil
import signal
import subprocess
import time

SAMPLE_RATE = 48000
SKIP = 77


class Failure (Exception):
    pass


def check (condition, message):
    if not condition:
        raise Failure (message)
    print ("  ok: " + message, flush=True)


def expected_meter (frequency, reference):
    """The bars the meter lights for a steady tone and the bar under its pointer, as the
    window computes them (Python's round, like the window's, sends halves to even)."""
    x = 12.0 * math.log2 (frequency / reference) + 69.0
    cents = (x - round (x)) * 100.0
    pointer = round ((max (-50.0, min (50.0, cents)) + 50.0) * 50.0 / 100.0)
    return ({24, 25, 26} if abs (cents) <= 3.0 else {pointer}), pointer


def wait_for_meter (window, expected_bars, expected_pointer, timeout):
    """Polls captures until the meter shows the expected bars and pointer. Returns the time,
    in seconds since the call, of the capture that first showed them and of the one before."""
    start = time.monotonic()
    previous, seen = 0.0, None
    while time.monotonic() - start < timeout:
        taken = time.monotonic() - start
        seen = window.meter()
        if seen == (expected_bars, expected_pointer):
            return taken, previous
        previous = taken
    raise Failure ("expected bars %s lit and the pointer over %s, saw bars %s and the pointer over %s"
                   % (sorted (expected_bars), expected_pointer, sorted (seen[0]), seen[1]))


def describe (seen):
    return "seen %.0f ms after it, not yet %.0f ms after" % (seen[0] * 1000, seen[1] * 1000)


def jack_ports (env):
    return subprocess.run (["jack_lsp"], env=env, capture_output=True, text=True).stdout.splitlines()


def wait_for_ports (env, port, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if port in jack_ports (env):
            return True
        time.sleep (0.1)
    return False


class JackServer:
    """A JACK server on the dummy driver, so no sound card is needed: 48 kHz, 512-frame
    periods, two capture and two playback ports."""

    def __init__ (self, env):
        self.env = env
        self.process = subprocess.Popen (["jackd", "--no-realtime", "-n", env["JACK_DEFAULT_SERVER"], "-d", "dummy",
                                          "-r", str (SAMPLE_RATE), "-p", "512", "-C", "2", "-P", "2"],
                                         env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_until_running (self, timeout):
        if not wait_for_ports (self.env, "system:playback_1", timeout):
            raise Failure ("the JACK dummy server did not start")

    def stop (self):
        self.process.send_signal (signal.SIGTERM)
        try:
            self.process.wait (timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class ToneClient:
    def __init__ (self, path, env):
        self.process = subprocess.Popen ([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         env=env, text=True, bufsize=1)
        ready = self.process.stdout.readline().strip()
        if not ready.startswith ("ready"):
            raise Failure ("the JACK tone client did not start: " + ready)

    def send (self, command):
        self.process.stdin.write (command + "\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().strip()
        if not answer.startswith ("ok"):
            raise Failure ("tone client: %s -> %s" % (command, answer))
        return answer

    def close (self):
        try:
            self.send ("quit")
        except Exception:
            pass
        try:
            self.process.wait (timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()


def remove_scratch (scratch):
    """Removes a test's scratch folder, unless DRAVEL_KEEP_SCRATCH asks to keep it for a look."""
    if os.environ.get ("DRAVEL_KEEP_SCRATCH") is None:
        shutil.rmtree (scratch, ignore_errors=True)
    else:
        print ("scratch kept in " + scratch)


def close_with_its_button (window, app, timeout):
    """Presses the window's close button and checks that the app then ends with status 0."""
    window.close()
    try:
        app.wait (timeout=timeout)
    except subprocess.TimeoutExpired:
        app.kill()
        raise Failure ("the app did not end after its close button")
    check (app.returncode == 0, "the close button ends the app with status 0")
