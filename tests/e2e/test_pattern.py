"""The pattern as the built saver draws it full-screen over a known picture,
frozen and compared pixel for pixel with the pattern model.

The model (tests/support/patternmodel.cpp) runs the saver's own pattern code,
so this shows that the built saver puts on the screen what its pattern code
computes from the seed it took from the clock: the seed must be a
millisecond of the UTC day within the saver's start, and the Wine world runs
in a time zone other than UTC (tests/support/wine-env), so a seed taken from
local time finds no match. The steps shown come in whole ticks of two (the
Win32 test of the window procedure pins the two steps of each tick). The
pattern's own rules are checked by the host tests against worked values
(tests/host/pattern_test.cpp, random_test.cpp, golden_test.cpp).

The preview's pixels are not checked here: Wine shows nothing of a child
window that another process draws. The Win32 test of the window procedure
checks them in-process (tests/win32/patternwindow_test.cpp), and
test_preview the preview window's form and life.
"""
import datetime
import os
import signal

import numpy
from PIL import Image

import harness
from harness import SETTINGS_KEY, wait_for

MODEL = os.path.join(harness.BUILD_DIR, "tests", "e2e", "patternmodel.exe")
SAVER_INTERVAL = 40  # ms between ticks
STEPS_PER_TICK = 2
CREDIT_RISE = 16  # the credit line's top above the bottom edge


def ms_of_day_utc():
    now = datetime.datetime.now(datetime.timezone.utc)
    return ((now.hour * 60 + now.minute) * 60 + now.second) * 1000 + now.microsecond // 1000


def freeze_saver(case):
    """Stops the saver's process where it is; it is ended by the case's cleanup."""
    pids = wait_for(lambda: harness.wine_pids("meandra.scr"), "the saver's process")
    for pid in pids:
        os.kill(pid, signal.SIGSTOP)
    case.addCleanup(lambda: [_signal(pid, signal.SIGCONT) for pid in pids])


def _signal(pid, number):
    try:
        os.kill(pid, number)
    except ProcessLookupError:
        pass


def stable_screenshot(name):
    """A screenshot once two in a row agree: anything still on its way to the display has arrived."""
    last = [harness.screenshot(name)]

    def settled():
        shot = harness.screenshot(name)
        same = numpy.array_equal(shot, last[0])
        last[0] = shot
        return same

    wait_for(settled, "the display to settle")
    return last[0]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def find_seed(shot, name, width, height, mono, seeds, max_steps):
    """(seed, steps) candidates whose last ball shows in the shot."""
    path = os.path.join(harness.OUT, name + ".ppm")
    Image.fromarray(shot).save(path)
    args = ["search", width, height, mono, seeds[0], seeds[1], max_steps, windows_path(path), 0, 0, width, height]
    result = harness.wine(MODEL, *(str(a) for a in args), timeout=300)
    return [tuple(int(n) for n in line.split()[1:]) for line in result.stdout.splitlines()
            if line.startswith("candidate")]


def render_model(name, width, height, mono, seed, steps):
    """The model's pattern after `steps` steps and its mask: 0 untouched, 1 ball, 2 credit text."""
    out, mask = (os.path.join(harness.OUT, f"{name}-model.{ext}") for ext in ("ppm", "pgm"))
    args = ["render", width, height, mono, seed, steps, windows_path(out), windows_path(mask)]
    harness.wine(MODEL, *(str(a) for a in args))
    return numpy.asarray(Image.open(out).convert("RGB")), numpy.asarray(Image.open(mask))


class PatternTestCase(harness.SaverTestCase):
    def setUp(self):
        super().setUp()
        harness.turn_sound_off(self)

    def end_processes(self):
        """Ends this run's programs (the frozen saver too), so that the next run starts afresh."""
        for process in self.processes:
            process.kill()
        self.processes.clear()
        harness.end_strays("meandra.scr")

    def store_mode(self, mono):
        harness.reg_add(SETTINGS_KEY, "mono", "REG_DWORD", mono)

    def run_and_freeze(self, name, grown):
        """Starts the full-screen saver, lets it draw until grown() says enough,
        freezes it; returns (shot, seed range, step bound)."""
        before = ms_of_day_utc()
        saver = self.start_saver("/s", name=name, env=harness.MESSAGE_TRACE)
        # The saver reads the clock for its seed while it handles WM_CREATE:
        # the trace shows the return within a few milliseconds, which keeps
        # the seeds to search few.
        trace = harness.MessageTrace(saver)
        wait_for(lambda: trace.handled(harness.WM_CREATE, name="{screensaver}"), "the saver window's creation",
                 interval=0.01)
        after = ms_of_day_utc()
        full = (0, 0, harness.DESKTOP_WIDTH, harness.DESKTOP_HEIGHT)
        wait_for(lambda: [w for w in harness.saver_windows() if w["rect"] == full], "the full-screen saver window")
        if after < before:
            self.skipTest("the run crossed midnight UTC")
        wait_for(grown, "the pattern to grow", interval=0.1)
        freeze_saver(self)
        frozen = ms_of_day_utc()
        shot = stable_screenshot(name)
        max_steps = STEPS_PER_TICK * ((frozen - before) // SAVER_INTERVAL + 2)
        return shot, (before, after), max_steps

    def match_in_either_mode(self, shot, name, width, height, stored_mono, seeds, max_steps):
        """The one (mono, seed, steps) that explains the shot; the stored mode is tried first."""
        for mono in (stored_mono, 1 - stored_mono):
            found = find_seed(shot, f"{name}-m{mono}", width, height, mono, seeds, max_steps)
            if found:
                return mono, found
        self.fail(f"no seed in {seeds} and no step count up to {max_steps} explains {name}.png")

    def run_in_both_modes(self):
        for stored_mono in (1, 0):
            with self.subTest(mono=stored_mono):
                try:
                    self.run_one(stored_mono)
                finally:
                    self.end_processes()

    def check_mode(self, stored_mono, mono):
        self.assertEqual(mono, stored_mono, "the saver drew in the stored colour mode")


class FullScreen(PatternTestCase):
    def test_pattern_over_the_desktop_is_the_model_pattern_for_the_clock_seed(self):
        self.run_in_both_modes()

    def run_one(self, stored_mono):
        self.store_mode(stored_mono)
        cover, _ = self.start_cover()
        picture = harness.cover_picture()
        wait_for(lambda: numpy.array_equal(harness.screenshot("cover"), picture), "the cover picture")
        name = f"fullscreen-mono{stored_mono}"
        shot, seeds, max_steps = self.run_and_freeze(
            name, lambda: numpy.any(harness.screenshot("growing") != picture, axis=-1).sum() > 20000)
        width, height = harness.DESKTOP_WIDTH, harness.DESKTOP_HEIGHT

        footprint = numpy.any(shot != picture, axis=-1)
        self.assertGreater(footprint.sum(), 5000, "the pattern has grown")
        self.assertGreater((~footprint).sum(), width * height // 3, "the desktop picture shows around it")
        # Mirror-symmetric about both centre lines, away from the credit line
        # at the bottom and its mirror image at the top.
        asymmetric, compared = harness.asymmetric_pixels(shot, picture, slice(CREDIT_RISE, height - CREDIT_RISE))
        self.assertGreater(sum(compared), 5000, "pattern pixels to compare")
        self.assertEqual(asymmetric, [0, 0], "the pattern is symmetric")

        mono, found = self.match_in_either_mode(shot, name, width, height, stored_mono, seeds, max_steps)
        self.check_mode(stored_mono, mono)
        wrong = []
        for seed, steps in found:
            model, mask = render_model(name, width, height, mono, seed, steps)
            balls, untouched = mask == 1, mask == 0
            wrong_balls = int((shot[balls] != model[balls]).any(axis=-1).sum())
            wrong_desktop = int((shot[untouched] != picture[untouched]).any(axis=-1).sum())
            if wrong_balls == wrong_desktop == 0:
                break
            wrong.append((seed, steps, wrong_balls, wrong_desktop))
        else:
            self.fail(f"no candidate (seed, steps, wrong ball pixels, wrong desktop pixels) matches: {wrong}")
        # The screen shows whole ticks only: Wine puts a tick's drawing on
        # the display once the saver goes idle after it.
        self.assertEqual(steps % STEPS_PER_TICK, 0, f"{steps} steps: whole ticks of two steps")
        text = shot[mask == 2]
        self.assertTrue((text == harness.cut([255, 255, 255])).all(axis=-1).any(), "white credit letters")


if __name__ == "__main__":
    harness.main()
