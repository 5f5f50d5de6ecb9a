"""The built saver over two monitors, in the world of tests/support/monitors-env:
its window over the virtual screen, the pattern over both monitors, and the
input rules from a start on either monitor.

X's root window is the virtual screen: its 0, 0 is the virtual screen's
corner, which in the saver's own coordinates can be left of the primary
monitor (MEANDRA_VIRTUAL_SCREEN, MEANDRA_MONITOR_RECTS). No window manager
runs: Wine without a virtual desktop shows the saver's window and gives it
the pointer's moves and the keys by itself.

As in test_input_rules, each saver runs with Wine's message trace: an input
that was handled and was not followed by the WM_DESTROY the saver posts
itself did not end it.
"""
import os
import signal
import subprocess

import numpy

import harness
from harness import WM_KEYDOWN, WM_MOUSEMOVE, wait_for

CREDIT_RISE = 16  # the credit line's top above the bottom edge

LEFT, TOP, WIDTH, HEIGHT = (int(n) for n in os.environ["MEANDRA_VIRTUAL_SCREEN"].split(","))
MONITORS = [tuple(int(n) for n in part.split(",")) for part in os.environ["MEANDRA_MONITOR_RECTS"].split(";")]


def on_monitors():
    """A mask of the virtual screen's pixels that lie on a monitor."""
    mask = numpy.zeros((HEIGHT, WIDTH), bool)
    for left, top, right, bottom in MONITORS:
        mask[top - TOP:bottom - TOP, left - LEFT:right - LEFT] = True
    return mask


def to_x(x, y):
    """A point in the saver's coordinates as X (and xdotool) counts it."""
    return x - LEFT, y - TOP


def move_param(x, y):
    """A mouse message's lParam for the screen point (x, y): the window's
    client area starts at the virtual screen's corner."""
    client_x, client_y = to_x(x, y)
    return (client_y << 16) | client_x


def monitor_middles():
    return [((left + right) // 2, (top + bottom) // 2) for left, top, right, bottom in MONITORS]


class TwoMonitors(harness.TracedInputTestCase):
    def setUp(self):
        super().setUp()
        harness.turn_sound_off(self)

    def show_cover(self):
        """The test picture over the virtual screen, awaited on both monitors."""
        process = self.start([harness.PROBE, "cover", "all"], "cover-all", stdout=subprocess.PIPE)
        if not process.popen.stdout.readline().strip():
            raise AssertionError("probe cover window did not start")
        picture = harness.cover_picture(WIDTH, HEIGHT)
        mask = on_monitors()
        wait_for(lambda: numpy.array_equal(harness.screenshot("cover")[mask], picture[mask]),
                 "both monitors to show the cover picture")
        return picture, mask

    def full_screen_saver(self):
        full = (LEFT, TOP, LEFT + WIDTH, TOP + HEIGHT)
        return wait_for(lambda: [w for w in harness.saver_windows() if w["rect"] == full and w["visible"]],
                        "the saver window over the virtual screen")

    def test_window_and_pattern_cover_both_monitors(self):
        picture, mask = self.show_cover()
        self.start_saver("/s")
        [window] = self.full_screen_saver()
        self.assertEqual(window["style"] & 0x91000000, 0x90000000, "a visible popup, not maximized")
        self.assertTrue(window["exstyle"] & 0x8, "top-most")
        self.assertEqual(window["origin"], (LEFT, TOP))

        def grown():
            footprint = numpy.any(harness.screenshot("growing") != picture, axis=-1) & mask
            return all(footprint[top - TOP:bottom - TOP, left - LEFT:right - LEFT].sum() > 3000
                       for left, top, right, bottom in MONITORS)

        wait_for(grown, "the pattern to grow on both monitors", interval=0.1)
        # Frozen, so that the screenshot is of one moment.
        pids = harness.wine_pids("meandra.scr")
        for pid in pids:
            os.kill(pid, signal.SIGSTOP)
        self.addCleanup(lambda: [os.kill(pid, signal.SIGCONT) for pid in pids])
        shot = harness.screenshot("two-monitors")
        last = None
        while last is None or not numpy.array_equal(shot, last):
            last, shot = shot, harness.screenshot("two-monitors")

        footprint = numpy.any(shot != picture, axis=-1) & mask
        # Around the balls each monitor shows its own part of the picture
        # that was there before: the canvas is the whole virtual screen's.
        for left, top, right, bottom in MONITORS:
            on = (slice(top - TOP, bottom - TOP), slice(left - LEFT, right - LEFT))
            unchanged = int((~footprint[on]).sum())
            self.assertGreater(unchanged, footprint[on].size // 2,
                               f"the desktop picture shows around the pattern on monitor {left},{top}")
        # Mirror-symmetric about the virtual screen's centre lines wherever
        # both a pixel and its mirror image lie on a monitor, away from the
        # credit line and its mirror image.
        asymmetric, compared = harness.asymmetric_pixels(shot, picture, slice(CREDIT_RISE, HEIGHT - CREDIT_RISE), mask)
        for name, count, pixels in zip(("vertical", "horizontal"), asymmetric, compared):
            self.assertGreater(pixels, 1000, f"pattern pixels to compare about the {name} centre line")
            self.assertEqual(count, 0, f"symmetric about the {name} centre line")
        # The credit line's white letters at the bottom centre of the virtual
        # screen, on the primary monitor's bottom rows.
        rows = shot[HEIGHT - CREDIT_RISE:]
        white = numpy.argwhere((rows == 255).all(axis=-1) & mask[HEIGHT - CREDIT_RISE:])
        self.assertGreater(len(white), 0, "white credit letters at the bottom")
        middle = (white[:, 1].min() + white[:, 1].max() + 1) / 2
        self.assertLess(abs(middle - WIDTH / 2), 24, f"the credit line centred at {middle} of {WIDTH}")

    # --- input, awaited in the saver's message trace ---

    def start_armed_saver(self, start):
        """A saver started with the pointer at `start` (the saver's
        coordinates), once it has swallowed Wine's own first move."""
        harness.mouse_to(*to_x(*start))
        saver = self.start_traced("/s")
        self.full_screen_saver()
        self.wait_handled(saver, WM_MOUSEMOVE, "Wine's own first move, which the saver swallows")
        self.assert_still_running(saver)
        return saver

    def move(self, saver, x, y):
        harness.mouse_to(*to_x(x, y))
        self.wait_handled(saver, WM_MOUSEMOVE, f"the move to ({x}, {y})", lparam=move_param(x, y))

    def test_mouse_moves_from_a_start_on_either_monitor(self):
        for x, y in monitor_middles():
            for dx, dy in ((5, 0), (0, 5), (-5, 0), (0, -5)):
                with self.subTest(start=(x, y), move=(dx, dy)):
                    saver = self.start_armed_saver((x, y))
                    for small_x, small_y in ((4, 4), (-4, -4), (4 * (dx != 0), 4 * (dy != 0))):
                        self.move(saver, x + small_x, y + small_y)
                        self.assert_still_running(saver)
                    harness.mouse_to(*to_x(x + dx, y + dy))
                    self.assert_ends_on(saver, {WM_MOUSEMOVE}, move_param(x + dx, y + dy))

    def test_a_key_ends_it_on_either_monitor(self):
        for start in monitor_middles():
            with self.subTest(start=start):
                saver = self.start_armed_saver(start)
                harness.key("space")
                self.assert_ends_on(saver, {WM_KEYDOWN})


if __name__ == "__main__":
    harness.main()
