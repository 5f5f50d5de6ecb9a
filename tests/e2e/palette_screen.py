"""The full-screen saver on a palette screen (256 colours), where it draws
pixel by pixel: it covers the desktop with the desktop's own picture, grows
a symmetric pattern over it and ends on a key. The colours a palette screen
shows are its own, so the desktop is taken from a screenshot before the
saver starts."""
import os
import signal

import numpy

import harness
from harness import wait_for
from test_pattern import CREDIT_RISE, freeze_saver, stable_screenshot


class PaletteScreen(harness.SaverTestCase):
    def setUp(self):
        super().setUp()
        harness.turn_sound_off(self)

    def test_saver_shows_the_desktop_grows_a_symmetric_pattern_and_ends_on_a_key(self):
        self.assertEqual(harness.DEPTH, 8, "runs on the 8-bit display")
        empty = harness.screenshot("palette-empty")
        self.start_cover()
        # The palette shows about a third of the picture as colours other
        # than the empty screen's black.
        wait_for(lambda: numpy.any(harness.screenshot("palette-cover") != empty, axis=-1).mean() > 0.2,
                 "the cover picture")
        desktop = stable_screenshot("palette-desktop")
        self.assertGreater(len(numpy.unique(desktop.reshape(-1, 3), axis=0)), 4, "the cover picture shows")
        saver = self.start_saver("/s", name="palette-saver")
        full = (0, 0, harness.DESKTOP_WIDTH, harness.DESKTOP_HEIGHT)
        wait_for(lambda: [w for w in harness.saver_windows() if w["rect"] == full], "the full-screen saver window")
        wait_for(lambda: numpy.any(harness.screenshot("palette-growing") != desktop, axis=-1).sum() > 20000,
                 "the pattern to grow", interval=0.1)
        freeze_saver(self)
        shot = stable_screenshot("palette-saver")

        # The desktop picture shows around the pattern: a black or blank
        # window would differ from the desktop almost everywhere.
        footprint = numpy.any(shot != desktop, axis=-1)
        height, width = footprint.shape
        self.assertLess(footprint.sum(), width * height * 2 // 3, "the desktop picture shows around the pattern")
        # Mirror-symmetric about both centre lines away from the credit line.
        asymmetric, compared = harness.asymmetric_pixels(shot, desktop, slice(CREDIT_RISE, height - CREDIT_RISE))
        self.assertGreater(sum(compared), 1000, "pattern pixels to compare")
        self.assertEqual(asymmetric, [0, 0], "the pattern is symmetric")

        for pid in harness.wine_pids("meandra.scr"):
            os.kill(pid, signal.SIGCONT)
        harness.key("space")
        self.assertEqual(saver.wait(), 0)


if __name__ == "__main__":
    harness.main()
