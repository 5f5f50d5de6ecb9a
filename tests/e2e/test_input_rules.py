"""Which input ends the full-screen saver, and which does not.

Wine, like Windows, sends the new window a mouse move of its own when it
appears under the cursor; that is the move the saver swallows, so every move
made here with xdotool is measured. Swallowing itself is shown by the Win32
tests of the window procedure and, after a refused password, by
test_password.
"""
import harness

START = (400, 300)
# Long enough for a message that would end the saver to have done so.
SETTLE = 1.5


class InputRules(harness.SaverTestCase):
    def start_armed_saver(self):
        harness.mouse_to(*START)
        saver = self.start_saver("/s")
        self.wait_for_saver_window()
        self.assertTrue(saver.stays_running(SETTLE), "the saver ended by itself")
        return saver

    def assert_ends(self, saver):
        self.assertEqual(saver.wait(), 0)

    def test_moves_within_four_pixels_on_both_axes_keep_it_running(self):
        saver = self.start_armed_saver()
        for x, y in ((404, 304), (396, 296), (404, 296), (400, 300)):
            harness.mouse_to(x, y)
        self.assertTrue(saver.stays_running(SETTLE))
        harness.mouse_to(405, 300)
        self.assert_ends(saver)

    def test_five_pixels_on_one_axis_end_it(self):
        for path in ([(400, 305)], [(395, 300)], [(401, 300), (402, 300), (403, 300), (404, 300), (405, 300)],
                     [(400, 302), (400, 304), (400, 295)]):
            with self.subTest(path=path):
                saver = self.start_armed_saver()
                for x, y in path[:-1]:
                    harness.mouse_to(x, y)
                self.assertTrue(saver.stays_running(0.5))
                harness.mouse_to(*path[-1])
                self.assert_ends(saver)

    def test_key_presses_end_it(self):
        for key in ("space", "a", "Escape", "Alt_L", "F10", "shift"):
            with self.subTest(key=key):
                saver = self.start_armed_saver()
                harness.key(key)
                self.assert_ends(saver)

    def test_button_presses_end_it(self):
        for button in (1, 2, 3):
            with self.subTest(button=button):
                saver = self.start_armed_saver()
                harness.button_down(button)
                self.assert_ends(saver)
                harness.button_up(button)

    def test_releases_and_wheel_turns_do_not_end_it(self):
        saver = self.start_armed_saver()
        harness.xdotool("keyup", "a")
        harness.button_up(1)
        harness.button_up(3)
        harness.click(4)
        harness.click(5)
        self.assertTrue(saver.stays_running(SETTLE))
        harness.key("space")
        self.assert_ends(saver)

    def test_no_cursor_over_the_saver(self):
        saver = self.start_armed_saver()
        self.assertEqual(harness.probe("cursorinfo").split()[0], "handle=0")
        harness.key("space")
        self.assert_ends(saver)

    def test_activating_another_window_does_not_end_it(self):
        saver = self.start_armed_saver()
        _, host = self.start_host_window(200, 150)
        # The host window asks for the foreground itself; ask again from here.
        harness.probe("activate", host, check=False)
        harness.wait_for(lambda: int(harness.probe("foreground")) == host, "the other window in the foreground")
        self.assertTrue(saver.stays_running(SETTLE))
        # Keys now go to the other window; a click still lands on the saver.
        harness.button_down(1)
        harness.button_up(1)
        self.assert_ends(saver)

    def test_close_message_ends_it_without_a_prompt(self):
        saver = self.start_armed_saver()
        [window] = harness.saver_windows()
        harness.probe("close", window["hwnd"])
        self.assert_ends(saver)


if __name__ == "__main__":
    harness.main()
