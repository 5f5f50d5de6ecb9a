"""The tune file and its playback, seen from outside the built saver.

Every run is traced with WINEDEBUG=+mci, so that each MCI command the saver
sends shows in its log. Wine here has no MIDI device: its sequencer opens the
file and accepts the play, the player then finds no MIDI port and stays
silent, and no end-of-play notification ever comes by itself; stopping the
device posts an "aborted" notification to the window that asked for one.
"""
import os
import re
import time

import harness
from harness import SETTINGS_KEY, wait_for

MUSICPROBE = os.path.join(harness.BUILD_DIR, "tests", "e2e", "musicprobe.exe")
MM_MCINOTIFY, WM_DESTROY = 0x3B9, 0x0002
TRACE = {"WINEDEBUG": "+mci,+loaddll"}

with open(os.path.join(harness.BUILD_DIR, "generated", "tune.mid"), "rb") as _tune:
    TUNE = _tune.read()


def musicprobe(*args):
    return harness.wine(MUSICPROBE, *(str(a) for a in args)).stdout.strip()


def set_sound(value):
    harness.reg_add(SETTINGS_KEY, "sound", "REG_DWORD", value)


TEMP_DIR = None


def tune_file():
    """(Windows path, Unix path) of "tmp.mid" in the Wine user's temporary folder."""
    global TEMP_DIR
    if TEMP_DIR is None:
        TEMP_DIR = musicprobe("temp")
    return TEMP_DIR + "tmp.mid", harness.unix_path_of(TEMP_DIR + "tmp.mid")


def read_or_none(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


class Trace:
    """The MCI commands of one saver run, read from its log."""

    COMMAND = re.compile(r"mciSendCommandA \((\w+), (MCI_\w+), (\w+), (\w+)\)")

    def __init__(self, process):
        self.path = os.path.join(harness.OUT, process.name + ".log")

    def text(self):
        process_log = read_or_none(self.path)
        return process_log.decode(errors="replace") if process_log else ""

    def commands(self):
        """(command, flags) in the order sent."""
        return [(m.group(2), int(m.group(3), 16)) for m in self.COMMAND.finditer(self.text())]

    def names(self):
        return [name for name, _ in self.commands()]

    def opened_elements(self):
        return re.findall(r'MCI_Open lpstrElementName=L"(.*?)"', self.text())

    def notified_windows(self):
        """(window low word, status) of every notification the sequencer sent."""
        return [(int(w, 16), int(s, 16))
                for w, s in re.findall(r"mciDriverNotify \((\w+), \w+, (\w+)\)", self.text())]


class SoundCase(harness.SaverTestCase):
    def setUp(self):
        super().setUp()
        self.windows_path, self.unix_path = tune_file()
        if os.path.exists(self.unix_path):
            os.remove(self.unix_path)
        self.addCleanup(harness.reg_delete, SETTINGS_KEY, "sound")

    def start_traced(self, *args):
        saver = self.start_saver(*args, env=TRACE)
        return saver, Trace(saver)

    def wait_for_play(self, trace, plays=1):
        wait_for(lambda: trace.names().count("MCI_PLAY") >= plays, f"{plays} MCI plays")


class SoundOff(SoundCase):
    def test_file_lives_with_the_window_and_no_mci_command_is_sent(self):
        set_sound(0)
        saver, trace = self.start_traced("/s")
        self.wait_for_saver_window()
        self.assertEqual(wait_for(lambda: read_or_none(self.unix_path) == TUNE, "tmp.mid with the tune"), True)
        harness.key("space")
        self.assertEqual(saver.wait(), 0)
        self.assertFalse(os.path.exists(self.unix_path))
        self.assertEqual(trace.commands(), [])
        self.assertIn("trace:loaddll", trace.text(), "the run was traced")


class SoundOn(SoundCase):
    def setUp(self):
        super().setUp()
        set_sound(1)

    def test_open_play_then_stop_and_close_at_the_end(self):
        saver, trace = self.start_traced("/s")
        [window] = self.wait_for_saver_window()
        self.wait_for_play(trace)
        self.assertEqual(read_or_none(self.unix_path), TUNE)
        # Open of the file by name alone (no MCI_OPEN_TYPE), waiting; then
        # a play with notification only.
        self.assertEqual(trace.commands(), [("MCI_OPEN", 0x202), ("MCI_PLAY", 0x1)])
        self.assertEqual(trace.opened_elements(), [self.windows_path.replace("\\", "\\\\")])
        self.assertTrue(re.search(r"mciSendCommandA \(00000000, MCI_OPEN,", trace.text()), "open sent to device 0")

        harness.key("space")
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(trace.commands(),
                         [("MCI_OPEN", 0x202), ("MCI_PLAY", 0x1), ("MCI_STOP", 0x2), ("MCI_CLOSE", 0x2)])
        # The stop aborted the play, whose notification went to the saver
        # window; arriving after the destruction began, it opened nothing.
        self.assertIn((window["hwnd"] & 0xFFFF, 4), trace.notified_windows())
        self.assertFalse(os.path.exists(self.unix_path))

    def test_preview_plays_too(self):
        host, host_window = self.start_host_window(240, 180)
        saver, trace = self.start_traced("/p", str(host_window))
        wait_for(lambda: [w for w in harness.children(host_window) if w["class"] == "screensaver"],
                 "the preview window")
        self.wait_for_play(trace)
        self.assertEqual(trace.commands(), [("MCI_OPEN", 0x202), ("MCI_PLAY", 0x1)])
        harness.probe("close", host_window)
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(trace.names()[-2:], ["MCI_STOP", "MCI_CLOSE"])
        self.assertFalse(os.path.exists(self.unix_path))

    def test_notification_restarts_whatever_its_wparam(self):
        saver, trace = self.start_traced("/s")
        [window] = self.wait_for_saver_window()
        self.wait_for_play(trace)
        for wparam in (1, 2, 4, 8, 0):
            with self.subTest(wparam=wparam):
                # Let the plays of the last restart settle: plays that end at
                # once in a row are no longer restarted.
                self.wait_until_quiet(trace)
                before = len(trace.commands())
                harness.probe("post", window["hwnd"], MM_MCINOTIFY, wparam, 1)
                wait_for(lambda: trace.names()[before:].count("MCI_PLAY") >= 1, "a restart")
                self.assertEqual(trace.commands()[before:before + 4],
                                 [("MCI_STOP", 0x2), ("MCI_CLOSE", 0x2), ("MCI_OPEN", 0x202), ("MCI_PLAY", 0x1)])
        self.assertTrue(saver.running())

    def test_own_stops_do_not_reopen_the_device_without_end(self):
        # Each restart stops the playing device, which posts an "aborted"
        # notification, which would restart it again, and so on.
        saver, trace = self.start_traced("/s")
        [window] = self.wait_for_saver_window()
        self.wait_for_play(trace)
        harness.probe("post", window["hwnd"], MM_MCINOTIFY, 1, 1)
        self.wait_until_quiet(trace)
        self.assertLessEqual(trace.names().count("MCI_OPEN"), 4)
        self.assertTrue(saver.running())

    def test_notification_after_destruction_began_does_nothing(self):
        saver, trace = self.start_traced("/s")
        [window] = self.wait_for_saver_window()
        self.wait_for_play(trace)
        self.wait_until_quiet(trace)
        before = len(trace.commands())
        musicprobe("destroy-notify", window["hwnd"], 1)
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(trace.commands()[before:], [("MCI_STOP", 0x2), ("MCI_CLOSE", 0x2)])
        self.assertFalse(os.path.exists(self.unix_path))

    @staticmethod
    def wait_until_quiet(trace, quiet=1.5):
        """Waits until no MCI command has been sent for `quiet` seconds."""
        state = {"count": -1, "since": 0.0}

        def quiet_now():
            count = len(trace.commands())
            if count != state["count"]:
                state.update(count=count, since=time.monotonic())
            return time.monotonic() - state["since"] >= quiet

        wait_for(quiet_now, "the MCI commands to settle")


if __name__ == "__main__":
    harness.main()
