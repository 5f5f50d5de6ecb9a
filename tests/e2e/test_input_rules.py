"""Which input ends the full-screen saver, and which does not.

Wine, like Windows, sends the new window a mouse move of its own when it
appears under the cursor; that is the move the saver swallows, so every move
made here with xdotool is measured. Swallowing itself is shown by the Win32
tests of the window procedure and, after a refused password, by
test_password.

Each saver runs with Wine's message trace, which shows when an input has
been handled. The saver ends by posting itself WM_DESTROY, and the queue
hands out posted messages before input and timer messages: so once the
message taken from the queue after an input's is not WM_DESTROY, that input
did not end the saver.
"""
import harness
from harness import WM_KEYDOWN, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_SYSKEYDOWN

START = (400, 300)
WM_ACTIVATEAPP = 0x001C
BUTTON_DOWN = {1: WM_LBUTTONDOWN, 2: WM_MBUTTONDOWN, 3: WM_RBUTTONDOWN}
# An input message that every input sent before it has reached the saver
# ahead of: a move back to the start, within the tolerance.
MARKER = (START[0] + 1, START[1])


def move_param(x, y):
    return (y << 16) | x


class InputRules(harness.TracedInputTestCase):
    def start_armed_saver(self):
        harness.mouse_to(*START)
        saver = self.start_traced("/s")
        self.wait_handled(saver, WM_MOUSEMOVE, "Wine's own first move, which the saver swallows")
        self.assert_still_running(saver)
        return saver

    def move(self, saver, x, y):
        harness.mouse_to(x, y)
        self.wait_handled(saver, WM_MOUSEMOVE, f"the move to ({x}, {y})", lparam=move_param(x, y))

    def test_moves_within_four_pixels_on_both_axes_keep_it_running(self):
        saver = self.start_armed_saver()
        for x, y in ((404, 304), (396, 296), (404, 296), (400, 300)):
            self.move(saver, x, y)
            self.assert_still_running(saver)
        harness.mouse_to(405, 300)
        self.assert_ends_on(saver, {WM_MOUSEMOVE}, move_param(405, 300))

    def test_five_pixels_on_one_axis_end_it(self):
        for path in ([(400, 305)], [(395, 300)], [(401, 300), (402, 300), (403, 300), (404, 300), (405, 300)],
                     [(400, 302), (400, 304), (400, 295)]):
            with self.subTest(path=path):
                saver = self.start_armed_saver()
                for x, y in path[:-1]:
                    self.move(saver, x, y)
                self.assert_still_running(saver)
                harness.mouse_to(*path[-1])
                self.assert_ends_on(saver, {WM_MOUSEMOVE}, move_param(*path[-1]))

    def test_key_presses_end_it(self):
        for key in ("space", "a", "Escape", "Alt_L", "F10", "shift"):
            with self.subTest(key=key):
                saver = self.start_armed_saver()
                harness.key(key)
                self.assert_ends_on(saver, {WM_KEYDOWN, WM_SYSKEYDOWN})

    def test_button_presses_end_it(self):
        for button in (1, 2, 3):
            with self.subTest(button=button):
                saver = self.start_armed_saver()
                harness.button_down(button)
                self.assert_ends_on(saver, {BUTTON_DOWN[button]})
                harness.button_up(button)

    def test_releases_and_wheel_turns_do_not_end_it(self):
        saver = self.start_armed_saver()
        harness.xdotool("keyup", "a")
        harness.button_up(1)
        harness.button_up(3)
        harness.click(4)
        harness.click(5)
        # Input reaches the saver in the order it was made.
        self.move(saver, *MARKER)
        self.assert_still_running(saver)
        harness.key("space")
        self.assert_ends_on(saver, {WM_KEYDOWN})

    def test_no_cursor_over_the_saver(self):
        saver = self.start_armed_saver()
        self.assertEqual(harness.probe("cursorinfo").split()[0], "handle=0")
        harness.key("space")
        self.assert_ends_on(saver, {WM_KEYDOWN})

    def test_activating_another_window_does_not_end_it(self):
        saver = self.start_armed_saver()
        _, host = self.start_host_window(200, 150)
        # The host window asks for the foreground itself; ask again from here.
        harness.probe("activate", host, check=False)
        harness.wait_for(lambda: int(harness.probe("foreground")) == host, "the other window in the foreground")
        # The saver has been told that another program is active now.
        self.wait_handled(saver, WM_ACTIVATEAPP, "the saver's deactivation", wparam=0)
        self.assert_still_running(saver)
        # Keys now go to the other window; a click still lands on the saver.
        harness.button_down(1)
        harness.button_up(1)
        self.assert_ends_on(saver, {WM_LBUTTONDOWN})

    def test_close_message_ends_it_without_a_prompt(self):
        saver = self.start_armed_saver()
        harness.probe("close", self.trace.window_of(WM_MOUSEMOVE))
        self.assertEqual(saver.wait(), 0)


if __name__ == "__main__":
    harness.main()
