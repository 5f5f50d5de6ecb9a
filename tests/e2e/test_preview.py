"""The preview inside a window of the display control panel."""
import harness

WS_CHILD, WS_VISIBLE, WS_DISABLED, WS_POPUP, WS_MAXIMIZE = 0x40000000, 0x10000000, 0x08000000, 0x80000000, 0x01000000
WS_EX_TOPMOST = 0x8


class Preview(harness.SaverTestCase):
    def test_child_of_the_given_window_ends_with_it(self):
        for switch in ("/p", "/l"):
            with self.subTest(switch=switch):
                host_process, host = self.start_host_window(152, 112)
                saver = self.start_saver(switch, str(host))
                # The window is listed while it is being made, before it shows.
                [child] = harness.wait_for(
                    lambda: [w for w in harness.children(host) if w["class"] == "screensaver" and w["visible"]],
                    "the preview window")
                [parent] = [w for w in harness.windows() if w["hwnd"] == host]
                self.assertEqual(child["style"] & (WS_CHILD | WS_VISIBLE | WS_DISABLED),
                                 WS_CHILD | WS_VISIBLE | WS_DISABLED)
                self.assertEqual(child["parent"], host)
                left, top, right, bottom = child["rect"]
                # The size of the parent's window rectangle, at (0, 0) of its client area.
                self.assertEqual((right - left, bottom - top), (152, 112))
                self.assertEqual((left, top), parent["origin"])
                # Input goes to the parent, never to the disabled preview.
                harness.mouse_to(parent["origin"][0] + 20, parent["origin"][1] + 20)
                harness.mouse_to(parent["origin"][0] + 60, parent["origin"][1] + 60)
                harness.button_down(1)
                harness.button_up(1)
                self.assertTrue(saver.stays_running(1.0))
                harness.probe("close", host)
                self.assertEqual(saver.wait(), 0)
                host_process.wait()

    def test_without_a_handle_it_covers_the_screen(self):
        for args in (["/p"], ["/p:1234"]):
            with self.subTest(args=args):
                saver = self.start_saver(*args)
                [window] = self.wait_for_saver_window()
                self.assertEqual(window["rect"], (0, 0, harness.DESKTOP_WIDTH, harness.DESKTOP_HEIGHT))
                self.assertEqual(window["style"] & (WS_POPUP | WS_MAXIMIZE), WS_POPUP | WS_MAXIMIZE)
                self.assertTrue(window["exstyle"] & WS_EX_TOPMOST)
                harness.key("space")
                self.assertEqual(saver.wait(), 0)

    def test_an_invalid_parent_ends_the_run(self):
        saver = self.start_saver("/p", "12345678")
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(harness.saver_windows(), [])


if __name__ == "__main__":
    harness.main()
