"""The run modes chosen by the command line, and the single-instance guard."""
import harness

WS_POPUP, WS_VISIBLE, WS_MAXIMIZE, WS_CHILD, WS_DISABLED = 0x80000000, 0x10000000, 0x01000000, 0x40000000, 0x08000000
WS_EX_TOPMOST = 0x8


class FullScreen(harness.SaverTestCase):
    def test_switches_open_one_topmost_window_over_the_desktop(self):
        for switch in ("/s", "-S", "/SCREENSAVE"):
            with self.subTest(switch=switch):
                saver = self.start_saver(switch)
                [window] = self.wait_for_saver_window()
                self.assertEqual(window["rect"], (0, 0, harness.DESKTOP_WIDTH, harness.DESKTOP_HEIGHT))
                self.assertEqual(window["style"] & (WS_POPUP | WS_VISIBLE | WS_MAXIMIZE),
                                 WS_POPUP | WS_VISIBLE | WS_MAXIMIZE)
                self.assertTrue(window["exstyle"] & WS_EX_TOPMOST)
                harness.key("space")
                self.assertEqual(saver.wait(), 0)

    def test_argument_without_switch_mark_shows_nothing(self):
        saver = self.start_saver("s")
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(harness.saver_windows(), [])


class SingleInstance(harness.SaverTestCase):
    def test_second_instance_ends_at_once(self):
        first = self.start_saver("/s", name="first")
        self.wait_for_saver_window()
        for args in (["/s"], ["/c"], ["/p", "0"], ["/a"], []):
            with self.subTest(args=args):
                second = self.start_saver(*args, name="second")
                self.assertEqual(second.wait(), 0)
        self.assertEqual(len(harness.saver_windows()), 1)
        self.assertTrue(first.running())


if __name__ == "__main__":
    harness.main()
