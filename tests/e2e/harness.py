"""Runs the built saver in the tests' Wine world and drives it with real input.

The Wine worlds (display, prefix with a virtual desktop, wineserver each) are
made by tests/support/wine-env in the folders under MEANDRA_WINE_WORLDS; ctest
gives the test one of them to itself (see wine_env_path). Each test file is a
unittest module whose cases derive from SaverTestCase, which ends every
process it started, also when a case fails.
"""
import collections
import os
import re
import shlex
import signal
import subprocess
import time
import unittest

import numpy
from PIL import Image


def wine_env_path():
    """The env.sh of the world ctest gave this test ("id:N,slots:1"), world 1
    when it gave none; MEANDRA_WINE_ENV, when set, names one itself."""
    if os.environ.get("MEANDRA_WINE_ENV"):
        return os.environ["MEANDRA_WINE_ENV"]
    world = os.environ.get("CTEST_RESOURCE_GROUP_0_WORLDS", "id:1").split(",")[0].removeprefix("id:")
    return os.path.join(os.environ["MEANDRA_WINE_WORLDS"], world, "env.sh")


def _load_wine_env():
    path = wine_env_path()
    with open(path) as env_file:
        for line in env_file:
            match = re.match(r"export (\w+)=(.*)", line.strip())
            if match:
                os.environ[match.group(1)] = shlex.split(match.group(2))[0] if match.group(2) else ""


_load_wine_env()
SCR = os.environ["MEANDRA_SCR"]
PROBE = os.environ["MEANDRA_PROBE"]
BUILD_DIR = os.environ["MEANDRA_BUILD_DIR"]
SOURCE_DIR = os.environ["MEANDRA_SOURCE_DIR"]
OUT = os.environ["MEANDRA_E2E_OUT"]
PREFIX = os.environ["WINEPREFIX"]
DESKTOP_WIDTH, DESKTOP_HEIGHT = (int(n) for n in os.environ["MEANDRA_DESKTOP_SIZE"].split("x"))
# Bits a pixel of the display: 24, or 16 (high colour, 5-6-5) or 8 (a palette).
DEPTH = int(os.environ.get("MEANDRA_DESKTOP_DEPTH", "24"))
HIGH_COLOUR = DEPTH == 16
_CHANNEL_BITS = numpy.array([5, 6, 5])  # red, green, blue on a high-colour screen
os.makedirs(OUT, exist_ok=True)

# How long to wait for anything the saver should do by itself; generous, so
# that a loaded machine is slower but does not fail.
DEADLINE = float(os.environ.get("MEANDRA_E2E_DEADLINE", "30"))


class Timeout(AssertionError):
    pass


def wait_for(condition, what, timeout=DEADLINE, interval=0.2):
    """Polls condition() until it returns something true, and returns that."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def wine(*args, timeout=60, env=None, check=True, repeatable=False):
    """Runs a Win32 program to its end and returns the CompletedProcess.

    In loaded full runs a Wine program now and then exits 1 with nothing on
    stderr before it ran (seen with reg and with the probe, in two worlds at
    once), and the next start succeeds; a program that may be run twice
    (repeatable) then gets a second start, said in the log."""
    full_env = dict(os.environ, **(env or {}))

    def run():
        return subprocess.run(["wine", *args], capture_output=True, text=True, errors="replace", timeout=timeout,
                              env=full_env, stdin=subprocess.DEVNULL)

    result = run()
    if repeatable and result.returncode == 1 and not result.stderr:
        print(f"wine {' '.join(args)} exited with 1 and nothing on stderr: {result.stdout[-1000:]}; trying again",
              flush=True)
        result = run()
    if check and result.returncode != 0:
        raise AssertionError(f"wine {' '.join(args)} exited with {result.returncode}: "
                             f"{result.stdout[-1000:]}{result.stderr[-2000:]}")
    return result


def probe(*args, check=True):
    """The probe's output; every probe command may be run twice."""
    return wine(PROBE, *(str(a) for a in args), check=check, repeatable=True).stdout


_FIELD = re.compile(r"(\w+)=(\S*)")


def parse_window(line):
    head, _, title = line.partition(" title=")
    fields = dict(_FIELD.findall(head))
    fields["title"] = title
    for key in ("hwnd", "pid", "parent", "owner", "visible", "enabled"):
        fields[key] = int(fields[key])
    for key in ("style", "exstyle"):
        fields[key] = int(fields[key], 16)
    fields["rect"] = tuple(int(n) for n in fields["rect"].split(","))
    fields["client"] = tuple(int(n) for n in fields["client"].split(","))
    fields["origin"] = tuple(int(n) for n in fields["origin"].split(","))
    return fields


def windows():
    return [parse_window(line) for line in probe("windows").splitlines() if line.startswith("hwnd=")]


def children(hwnd):
    return [parse_window(line) for line in probe("children", hwnd).splitlines() if line.startswith("hwnd=")]


def saver_windows():
    return [w for w in windows() if w["class"] == "screensaver"]


# --- processes -----------------------------------------------------------

def _log_path(name):
    return os.path.join(OUT, name + ".log")


class Process:
    """A Win32 program started under Wine, ended by process id when done."""

    def __init__(self, args, name, env=None, stdout=None):
        self.name = name
        self.args = list(args)
        self.log = open(_log_path(name), "w")
        full_env = dict(os.environ, **(env or {}))
        self.popen = subprocess.Popen(["wine", *args], stdin=subprocess.DEVNULL,
                                      stdout=stdout or self.log, stderr=self.log, env=full_env)

    @property
    def pid(self):
        return self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=DEADLINE):
        """Waits for the end and returns the exit code."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"{self.name} still runs after {timeout:.0f} s") from None

    def stays_running(self, seconds):
        """True when the process is still there after `seconds`."""
        try:
            self.popen.wait(seconds)
            return False
        except subprocess.TimeoutExpired:
            return True

    def kill(self):
        # Only the process itself: a program that was first to start in the
        # desktop is the parent of the desktop's explorer, which must stay.
        if self.running():
            try:
                os.kill(self.popen.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.popen.wait(10)
        if self.popen.stdout:
            self.popen.stdout.close()
        self.log.close()


def wine_pids(exe_name):
    """Processes of this Wine prefix whose command line names exe_name."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                cmdline = f.read().decode(errors="replace")
            if exe_name.lower() not in cmdline.lower():
                continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                environ = f.read().decode(errors="replace").split("\0")
        except OSError:
            continue
        if f"WINEPREFIX={PREFIX}" in environ:
            found.append(int(entry))
    return found


def end_strays(exe_name):
    for pid in wine_pids(exe_name):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


# --- input and pictures ----------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *(str(a) for a in args)], check=True, timeout=20)


def pointer():
    """Where the X pointer is, (x, y)."""
    result = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True, check=True,
                            timeout=20)
    values = dict(line.split("=", 1) for line in result.stdout.split())
    return int(values["X"]), int(values["Y"])


def mouse_to(x, y):
    # xdotool's --sync waits until the pointer has left where it was, which
    # takes its whole time limit of some 15 s when it is there already.
    if pointer() != (x, y):
        xdotool("mousemove", "--sync", x, y)


def key(name):
    xdotool("key", name)


def click(button):
    xdotool("click", button)


def button_down(button):
    xdotool("mousedown", button)


def button_up(button):
    xdotool("mouseup", button)


def screen_levels(rgb):
    """A screenshot's colours as the screen holds them. On a high-colour screen
    each channel's level (5 or 6 bits), however it was widened to 8 bits,
    stands in the top bits, as cut() gives a drawn colour; elsewhere unchanged."""
    if not HIGH_COLOUR:
        return rgb
    maxima = (1 << _CHANNEL_BITS) - 1
    levels = numpy.rint(rgb.astype(numpy.float64) * maxima / 255).astype(numpy.uint16)
    return (levels << (8 - _CHANNEL_BITS)).astype(numpy.uint8)


def cut(rgb):
    """Colours as the screen keeps them when they are drawn: on a high-colour
    screen the top 5, 6 and 5 bits of red, green and blue; elsewhere unchanged."""
    rgb = numpy.asarray(rgb, dtype=numpy.uint8)
    if not HIGH_COLOUR:
        return rgb
    return rgb & ((0xFF << (8 - _CHANNEL_BITS)) & 0xFF).astype(numpy.uint8)


def screenshot(name):
    """Saves the whole display as OUT/name.png and returns it as an RGB array
    of the screen's levels (screen_levels)."""
    path = os.path.join(OUT, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, timeout=30)
    return screen_levels(numpy.asarray(Image.open(path).convert("RGB")))


def packed_colours(rgb):
    """An RGB array's colours as one integer each."""
    rgb = rgb.astype(numpy.uint32)
    return (rgb[..., 0] << 16) | (rgb[..., 1] << 8) | rgb[..., 2]


def asymmetric_pixels(shot, desktop, band, on=None):
    """Pixels of rows `band` where the pattern's footprint (what differs from
    the desktop) is not mirror-symmetric, about the vertical and about the
    horizontal centre line; `on`, when given, marks the pixels that count
    (both a pixel and its mirror must be on). A ball pixel hides where its
    colour is the desktop's there, which a screen of few colours makes common,
    so only pixels whose desktop colour, and their mirror's, no ball pixel
    takes are compared. Returns the counts about the two lines and, for each,
    the footprint pixels compared."""
    footprint = numpy.any(shot != desktop, axis=-1)
    if on is None:
        on = numpy.ones(footprint.shape, dtype=bool)
    footprint &= on
    hidden = numpy.isin(packed_colours(desktop), packed_colours(shot[footprint]))
    counts, compared = [], []
    for mirror in (lambda a: a[:, ::-1], lambda a: a[::-1]):
        comparable = (on & mirror(on) & ~(hidden | mirror(hidden)))[band]
        counts.append(int(((footprint[band] != mirror(footprint)[band]) & comparable).sum()))
        compared.append(int((footprint[band] & comparable).sum()))
    return counts, compared


def cover_colour(x, y):
    """The picture `probe cover` shows, as numpy arrays of coordinates."""
    return numpy.stack([(x * 3) & 0xFF, (y * 5) & 0xFF, numpy.where((x + y) & 0x40, 0xC0, 0x30)], axis=-1)


def cover_picture(width=DESKTOP_WIDTH, height=DESKTOP_HEIGHT):
    """The picture as the screen shows it (not known on a palette screen)."""
    y, x = numpy.mgrid[0:height, 0:width]
    return cut(cover_colour(x, y).astype(numpy.uint8))


# --- registry -------------------------------------------------------------

def reg_add(key_path, name, kind, data):
    wine("reg", "add", key_path, "/v", name, "/t", kind, "/d", str(data), "/f", repeatable=True)


def reg_delete(key_path, name=None):
    args = ["reg", "delete", key_path] + (["/v", name] if name else []) + ["/f"]
    wine(*args, check=False)


SETTINGS_KEY = r"HKCU\Software\Orvendel\ScreenSavers\Meandra"


def turn_sound_off(test):
    """No tune while the test runs; its settings are gone again after it."""
    reg_add(SETTINGS_KEY, "sound", "REG_DWORD", 0)
    test.addCleanup(reg_delete, SETTINGS_KEY)


def reg_query(key_path, name):
    """(type, data text) of a value, or None when it is missing."""
    result = wine("reg", "query", key_path, "/v", name, check=False)
    for line in result.stdout.splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
            return parts[1], parts[2].strip() if len(parts) > 2 else ""
    return None


def import_reg(text):
    """Imports a REGEDIT4 file's text (values of any type and size)."""
    path = os.path.join(OUT, "import.reg")
    with open(path, "w") as f:
        f.write("REGEDIT4\n\n" + text)
    wine("regedit", "/s", path)


def windows_path_of(unix_path):
    return wine("winepath", "-w", unix_path).stdout.strip()


def unix_path_of(windows_path):
    return wine("winepath", "-u", windows_path).stdout.strip()


# --- the saver's messages ----------------------------------------------------

# Wine's message trace: every message its window procedures get, in its log.
MESSAGE_TRACE = {"WINEDEBUG": "+message"}
WM_CREATE, WM_DESTROY, WM_MOUSEMOVE = 0x0001, 0x0002, 0x0200
WM_KEYDOWN, WM_SYSKEYDOWN = 0x0100, 0x0104
WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN = 0x0201, 0x0204, 0x0207
# The input messages the saver can end on.
ENDING = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEMOVE}

# kind is "dispatched" (from the queue), "sent" or "returned"; a "returned"
# entry has no wparam and lparam. name is the window's title as the trace
# shows it, or its class in braces when it has none: "{screensaver}".
Message = collections.namedtuple("Message", "kind hwnd name message wparam lparam")


class MessageTrace:
    """The messages of a program started with MESSAGE_TRACE, read from its log."""

    LINE = re.compile(r"\((?:0x)?([0-9a-f]+)\)\s+(?:L\"(.*?)\")?.*\[([0-9a-f]{4})\] \S+ (dispatched|sent|returned)\b",
                      re.I)
    PARAMS = re.compile(r"wp=([0-9a-f]+) lp=([0-9a-f]+)", re.I)

    def __init__(self, process):
        self.path = process.log.name

    def messages(self):
        found = []
        with open(self.path, errors="replace") as log:
            for line in log:
                match = self.LINE.search(line)
                # The default procedure's own lines come on top of the window procedure's.
                if not match or "DefWindowProc" in line:
                    continue
                params = self.PARAMS.search(line, match.end())
                wparam, lparam = (int(params.group(1), 16), int(params.group(2), 16)) if params else (None, None)
                found.append(Message(match.group(4), int(match.group(1), 16), match.group(2),
                                     int(match.group(3), 16), wparam, lparam))
        return found

    def handled(self, message, since=0, wparam=None, lparam=None, name=None):
        """The position just past the return from the first `message` (with
        that wparam and lparam, to a window of that name) that reached a
        window procedure at or after position `since`; None while there is
        none."""
        found = self.messages()
        for i in range(since, len(found)):
            entry = found[i]
            if (entry.kind != "returned" and entry.message == message and wparam in (None, entry.wparam)
                    and lparam in (None, entry.lparam) and name in (None, entry.name)):
                for j in range(i + 1, len(found)):
                    if found[j].kind == "returned" and found[j].message == message and found[j].hwnd == entry.hwnd:
                        return j + 1
                return None
        return None

    def window_of(self, message):
        """The window that got `message` first, or None."""
        return next((m.hwnd for m in self.messages() if m.message == message), None)

    def next_dispatched(self, position):
        """The first message taken from the queue at or after `position`, or None."""
        return next((m for m in self.messages()[position:] if m.kind == "dispatched"), None)


# --- test cases -----------------------------------------------------------

APP_DEFAULTS_KEY = r"HKCU\Software\Wine\AppDefaults\meandra.scr"


class SaverTestCase(unittest.TestCase):
    """Ends every process a case started, and any saver left in the prefix."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # The same cases again with Wine reporting another Windows version
        # to the saver (its per-program Version setting), e.g. "win98".
        version = os.environ.get("MEANDRA_E2E_WINDOWS_VERSION")
        if version:
            reg_add(APP_DEFAULTS_KEY, "Version", "REG_SZ", version)
            cls.addClassCleanup(reg_delete, APP_DEFAULTS_KEY)

    def setUp(self):
        end_strays("meandra.scr")
        self.processes = []
        self.addCleanup(self._end_processes)

    def _end_processes(self):
        if any(p.running() for p in self.processes):
            try:
                screenshot(f"{self.id().split('.')[-1]}-at-end")
            except Exception:
                pass
        for process in reversed(self.processes):
            process.kill()
        end_strays("meandra.scr")

    def start(self, args, name, env=None, stdout=None):
        process = Process(args, name, env=env, stdout=stdout)
        self.processes.append(process)
        return process

    def start_saver(self, *args, env=None, name=None):
        name = name or f"saver-{self.id().split('.')[-1]}"
        # Unless the test runs one of its own savers on purpose, the new one
        # is to be the only one.
        if any(p.running() and p.args[:1] == [SCR] for p in self.processes):
            return self.start([SCR, *args], name, env=env)
        # A saver that has just ended can still hold its single-instance
        # mutex for a moment, until wineserver has seen the process go; one
        # started then would end at once as a second instance.
        wait_for(lambda: probe("instance").strip() == "0", "the last saver's instance mutex to go")
        process = self.start([SCR, *args], name, env=env)
        # The saver makes its mutex first thing and always exits with 0; an
        # exit with 1 before the mutex was there is the start failure that
        # wine() knows, and gets a second start too.
        if self._ended_before_its_mutex(process) and process.popen.returncode == 1:
            print(f"{name} exited with 1 before it made its instance mutex; trying again", flush=True)
            process = self.start([SCR, *args], name, env=env)
        return process

    @staticmethod
    def _ended_before_its_mutex(process):
        def state():
            if probe("instance").strip() == "1":
                return "made"
            return None if process.running() else "ended"
        return wait_for(state, f"{process.name} to make its instance mutex or end") == "ended"

    def start_host_window(self, width, height, title="probe host"):
        """A top-level window of the probe; returns (process, handle)."""
        name = f"host-{self.id().split('.')[-1]}"
        process = self.start([PROBE, "host", str(width), str(height), title], name, stdout=subprocess.PIPE)
        line = process.popen.stdout.readline()
        if not line.strip():
            # The same start failure as in wine(): one more start, said in the log.
            print(f"probe host ended before its window was made (exit {process.popen.poll()}); trying again",
                  flush=True)
            process = self.start([PROBE, "host", str(width), str(height), title], name, stdout=subprocess.PIPE)
            line = process.popen.stdout.readline()
        if not line.strip():
            raise AssertionError("probe host window did not start")
        return process, int(line)

    def start_cover(self):
        process = self.start([PROBE, "cover"], f"cover-{self.id().split('.')[-1]}", stdout=subprocess.PIPE)
        line = process.popen.stdout.readline()
        if not line.strip():
            raise AssertionError("probe cover window did not start")
        return process, int(line)

    def wait_for_saver_window(self, count=1):
        """The saver's top-level windows once `count` of them show: a window
        is made visible after it has taken its size, and a loaded machine
        can show it between the two."""
        return wait_for(lambda: (lambda found: found if len(found) >= count else None)(
            [w for w in saver_windows() if w["visible"]]), "the saver window")



class TracedInputTestCase(SaverTestCase):
    """Input to a saver started with the message trace, each step awaited in
    the trace: start_traced() sets self.trace, and self.position is how far
    the test has read it."""

    def start_traced(self, *args):
        saver = self.start_saver(*args, env=MESSAGE_TRACE)
        self.trace = MessageTrace(saver)
        self.position = 0
        return saver

    def wait_handled(self, saver, message, what, wparam=None, lparam=None):
        """Waits until the saver's window procedure has returned from `message`."""
        since = self.position
        position = wait_for(lambda: self.trace.handled(message, since, wparam, lparam) or (not saver.running() and -1),
                            what, interval=0.05)
        self.assertNotEqual(position, -1, f"the saver ended before {what} had been handled")
        self.position = position

    def assert_still_running(self, saver):
        """Nothing handled so far ended the saver."""
        following = wait_for(lambda: self.trace.next_dispatched(self.position) or (not saver.running() and "ended"),
                             "the next message the saver takes", interval=0.05)
        self.assertNotEqual(following, "ended", "the saver ended")
        self.assertNotEqual(following.message, WM_DESTROY, "the saver posted itself WM_DESTROY")
        self.assertTrue(saver.running())

    def assert_ends_on(self, saver, messages, lparam=None):
        """The saver ends, and the last input before its WM_DESTROY that could
        end it is one of `messages` (with that lparam)."""
        self.assertEqual(saver.wait(), 0)
        found = [m for m in self.trace.messages() if m.kind == "dispatched"]
        destroy = next((i for i, m in enumerate(found) if m.message == WM_DESTROY), None)
        self.assertIsNotNone(destroy, "the saver posted itself WM_DESTROY")
        last = [m for m in found[:destroy] if m.message in ENDING][-1]
        self.assertIn(last.message, messages)
        if lparam is not None:
            self.assertEqual(last.lparam, lparam)

def main():
    unittest.main(verbosity=2)
