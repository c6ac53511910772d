"""The tuner's real window under Xvfb: start a display, find the window, take screenshots,
read the meter from them, turn the knob and press the close button, as a user would."""

import os
import struct
import subprocess
import time

EDITOR_WIDTH = 760
EDITOR_HEIGHT = 312

# The meter's geometry in editor pixels.
BAR_STEP = 667.0 / 51.0
BAR_WIDTH = BAR_STEP - 3.0
METER_CENTRE_Y = 160
POINTER_Y = 91
KNOB_CENTRE = (647 + 34, 24 + 16)


def bar_centre_x (index):
    return int (index * BAR_STEP + 48.0 + BAR_WIDTH / 2.0)


def free_display_number():
    # Well above :0, which JUCE falls back on when DISPLAY is unset: unit tests running at
    # the same time must never find this server.
    for number in range (100, 200):
        if not (os.path.exists ("/tmp/.X11-unix/X%d" % number) or os.path.exists ("/tmp/.X%d-lock" % number)):
            return number
    raise RuntimeError ("no free X display number")


class Xvfb:
    def __init__ (self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen (["Xvfb", ":%d" % free_display_number(), "-displayfd", str (write_end),
                                          "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                         pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close (write_end)
        with os.fdopen (read_end) as numbers:
            self.display = ":" + numbers.readline().strip()

    def stop (self):
        self.process.terminate()
        try:
            self.process.wait (timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()


def write_jack_settings (home, sample_rate):
    """A settings file that makes the app open JACK with its input unmuted."""
    folder = os.path.join (home, ".config")
    os.makedirs (folder, exist_ok=True)
    path = os.path.join (folder, "Dravel Tuner.settings")
    with open (path, "w") as settings:
        settings.write ('<?xml version="1.0" encoding="UTF-8"?>\n\n<PROPERTIES>\n'
                        '  <VALUE name="audioSetup"><DEVICESETUP deviceType="JACK" audioOutputDeviceName="system" '
                        'audioInputDeviceName="system" audioDeviceRate="%.1f" audioDeviceBufferSize="512"/></VALUE>\n'
                        '  <VALUE name="shouldMuteInput" val="0"/>\n</PROPERTIES>\n' % sample_rate)
    return path


class Screenshot:
    """One capture of a window, read straight from xwd's dump (a header of big-endian words,
    the window name, a colour map, then 32-bit pixels), so that a capture takes only
    tens of milliseconds."""

    def __init__ (self, display, window_id):
        dump = subprocess.run (["xwd", "-silent", "-id", window_id], capture_output=True,
                               env=dict (os.environ, DISPLAY=display), check=True).stdout
        header = struct.unpack (">25I", dump[:100])
        header_size, self.width, self.height = header[0], header[4], header[5]
        byte_order, bits_per_pixel, self.bytes_per_line, colour_count = header[7], header[11], header[12], header[19]

        if bits_per_pixel != 32:
            raise RuntimeError ("expected a 32-bit visual, got %d bits per pixel" % bits_per_pixel)

        self.little_endian = byte_order == 0
        self.pixels = dump[header_size + 12 * colour_count:]

    def pixel (self, x, y):
        """(red, green, blue) at a point of the window."""
        offset = y * self.bytes_per_line + 4 * x
        b0, b1, b2, b3 = self.pixels[offset:offset + 4]
        return (b2, b1, b0) if self.little_endian else (b1, b2, b3)


class TunerWindow:
    def __init__ (self, display, window_id):
        self.display = display
        self.window_id = window_id
        self.env = dict (os.environ, DISPLAY=display)
        geometry = self.xdotool ("getwindowgeometry", "--shell", window_id)
        values = dict (line.split ("=") for line in geometry.split())
        self.x, self.y = int (values["X"]), int (values["Y"])
        self.width, self.height = int (values["WIDTH"]), int (values["HEIGHT"])
        # JUCE draws its own title bar at the top; the editor fills the rest, its border
        # as wide at the bottom as at the sides.
        border = (self.width - EDITOR_WIDTH) // 2
        self.editor_x = self.x + border
        self.editor_y = self.y + self.height - border - EDITOR_HEIGHT

    @staticmethod
    def wait_for (display, app, timeout):
        env = dict (os.environ, DISPLAY=display)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if app.poll() is not None:
                raise RuntimeError ("the app ended before showing its window")
            found = subprocess.run (["xdotool", "search", "--onlyvisible", "--name", "^Dravel Tuner$"],
                                    env=env, capture_output=True, text=True).stdout.split()
            if found:
                window = TunerWindow (display, found[0])
                if window.width >= EDITOR_WIDTH and window.height >= EDITOR_HEIGHT:
                    return window
            time.sleep (0.1)
        raise RuntimeError ("no Dravel Tuner window within %d s" % timeout)

    def xdotool (self, *words):
        return subprocess.run (["xdotool"] + list (words), env=self.env, capture_output=True, text=True, check=True).stdout

    def screenshot (self):
        return Screenshot (self.display, self.window_id)

    def editor_pixel (self, shot, x, y):
        return shot.pixel (self.editor_x - self.x + x, self.editor_y - self.y + y)

    def face_mismatches (self):
        """What a capture shows of the face where the window paints it: the accent frame on
        all four sides, the black ground, the four screws lit from the top left, the panel,
        the display, two unlit bars, the wordmark box and the window border around 760 x 312.
        Returns the names of the checks that failed."""
        shot = self.screenshot()

        def at (x, y):
            return self.editor_pixel (shot, x, y)

        def screw_lit_from_top_left (x, y):
            light, dark = at (x - 2, y - 2), at (x + 2, y + 2)
            return light[0] > dark[0] + 30 and light[0] - light[2] < 20 and dark[0] - dark[2] < 20 and dark[2] > 10

        accent, black = (184, 115, 51), (0, 0, 0)
        checks = {
            "frame, top": at (380, 10) == accent,
            "frame, left": at (10, 150) == accent,
            "frame, right": at (749, 150) == accent,
            "frame, bottom": at (380, 301) == accent,
            "ground, top left": at (0, 0) == black,
            "ground, bottom right": at (759, 311) == black,
            "ground, right edge": at (755, 150) == black,
            "window border left of the face": at (-1, 150) != black,
            "window border right of the face": at (760, 150) != black,
            "window border below the face": at (380, 312) != black,
            "meter panel, brown": (lambda r, g, b: r > b and r >= g and 8 < r < 60) (*at (35, 160)),
            "display, dark green": (lambda r, g, b: g > r and g > b and g < 40) (*at (59, 130)),
            "wordmark box over the frame": at (600, 301) == black,
        }
        for x, y in ((39, 38), (721, 38), (39, 276), (721, 276)):
            checks["screw at %d, %d" % (x, y)] = screw_lit_from_top_left (x, y)

        return [name for name, passed in checks.items() if not passed]

    def wait_for_face (self, timeout):
        """The window may take a moment to map and paint: the missing checks of the last look."""
        deadline = time.monotonic() + timeout
        while True:
            missing = self.face_mismatches()
            if not missing or time.monotonic() > deadline:
                return missing
            time.sleep (0.1)

    def shows_muted_input_notice (self):
        """JUCE's notice sits between the title bar and the face, so the row just above the
        face's black ground is not black."""
        return self.editor_pixel (self.screenshot(), 380, -1) != (0, 0, 0)

    def save_picture (self, path):
        os.makedirs (os.path.dirname (path), exist_ok=True)
        subprocess.run ("xwd -silent -id %s | convert xwd:- '%s'" % (self.window_id, path), shell=True, env=self.env, check=True)

    def meter (self):
        """The lit bars and the bar under the pointer (None when there is no pointer), from
        one capture."""
        shot = self.screenshot()
        lit = {i for i in range (51) if max (self.editor_pixel (shot, bar_centre_x (i), METER_CENTRE_Y)) > 150}
        under = [i for i in range (51) if max (self.editor_pixel (shot, bar_centre_x (i), POINTER_Y)) > 150]
        return lit, (under[0] if len (under) == 1 else None)

    def drag_knob (self, pixels_down):
        """A vertical mouse drag on the reference-A knob, in small steps as a hand makes it."""
        x, y = self.editor_x + KNOB_CENTRE[0], self.editor_y + KNOB_CENTRE[1]
        self.xdotool ("mousemove", str (x), str (y))
        time.sleep (0.2)
        self.xdotool ("mousedown", "1")
        step = 1 if pixels_down >= 0 else -1
        for moved in range (step, pixels_down + step, step * 4):
            self.xdotool ("mousemove", str (x), str (y + moved))
            time.sleep (0.02)
        self.xdotool ("mousemove", str (x), str (y + pixels_down))
        time.sleep (0.2)
        self.xdotool ("mouseup", "1")

    def reset_to_default_state (self):
        """"Reset to default state", the last entry of JUCE's Options menu."""
        self.xdotool ("mousemove", str (self.x + 30), str (self.y + 13))
        time.sleep (0.2)
        self.xdotool ("click", "1")
        time.sleep (0.5)
        self.xdotool ("key", "Up")
        time.sleep (0.2)
        self.xdotool ("key", "Return")

    def close (self):
        """The close button at the right end of JUCE's title bar."""
        self.xdotool ("mousemove", str (self.x + self.width - 20), str (self.y + 17))
        time.sleep (0.2)
        self.xdotool ("click", "1")
