"""The platform calls of a full-screen run, in order, and the drawing timer
of both window forms, as Wine's relay trace shows them. Only calls made from
the saver's own code are counted (their return address lies in its image)."""
import re

import harness

DEBUG_KEY = r"HKCU\Software\Wine\Debug"
TRACED = ["kernel32.CreateMutexA", "user32.GetForegroundWindow", "user32.RegisterClassA",
          "user32.CreateWindowExA", "user32.SetTimer", "user32.SystemParametersInfoA", "user32.ShowCursor",
          "user32.SetForegroundWindow", "kernel32.ExitProcess"]
CALL = re.compile(r"Call (\w+)\.(\w+)\(([^)]*)\).* ret=(0040[0-9a-f]{4}|14000[0-9a-f]{4})", re.IGNORECASE)
DRAW_TIMER = 5
SAVER_INTERVAL, PREVIEW_INTERVAL = 40, 70  # ms


def timer_args(window, interval):
    """SetTimer's arguments as the relay trace writes them: no callback."""
    return f"{window:08x},{DRAW_TIMER:08x},{interval:08x},00000000"


class PlatformCalls(harness.SaverTestCase):
    def setUp(self):
        super().setUp()
        harness.reg_add(DEBUG_KEY, "RelayInclude", "REG_SZ", ";".join(TRACED))
        self.addCleanup(harness.reg_delete, DEBUG_KEY, "RelayInclude")

    def traced_calls(self, saver):
        with open(saver.log.name, errors="replace") as log:
            return [(m.group(2), m.group(3)) for m in map(CALL.search, log) if m]

    def test_full_screen_run_tells_the_platform_and_restores_it(self):
        _, host = self.start_host_window(200, 150)
        harness.wait_for(lambda: int(harness.probe("foreground")) == host, "the host window in the foreground")

        saver = self.start_saver("/s", env={"WINEDEBUG": "+relay"}, name="relay-saver")
        [window] = self.wait_for_saver_window()
        harness.button_down(1)
        self.assertEqual(saver.wait(), 0)
        harness.button_up(1)

        calls = self.traced_calls(saver)
        names = [name for name, _ in calls]
        # The drawing timer is asked for while the window is being created.
        self.assertEqual(names, ["CreateMutexA", "GetForegroundWindow", "RegisterClassA", "CreateWindowExA",
                                 "SetTimer", "SystemParametersInfoA", "SystemParametersInfoA", "ShowCursor",
                                 "SetForegroundWindow", "ExitProcess"])
        args = dict(enumerate(a for _, a in calls))
        self.assertIn('"Screensaver_%G^H&J*K(:"', args[0])
        self.assertTrue(args[3].startswith('00000008,') and ',91000000,' in args[3], args[3])  # top-most, popup
        self.assertEqual(args[4], timer_args(window["hwnd"], SAVER_INTERVAL))
        self.assertTrue(args[5].startswith("00000061,00000001,"), args[5])  # SPI_SETSCREENSAVERRUNNING on
        self.assertTrue(args[6].startswith("00000061,00000000,"), args[6])  # and off
        self.assertEqual(args[7], "00000001")
        self.assertEqual(int(args[8], 16), host)
        self.assertEqual(args[9], "00000000")

    def test_preview_asks_for_the_slower_timer(self):
        _, host = self.start_host_window(200, 150)
        saver = self.start_saver("/p", str(host), env={"WINEDEBUG": "+relay"}, name="relay-preview")
        [child] = harness.wait_for(lambda: [w for w in harness.children(host) if w["class"] == "screensaver"],
                                   "the preview window")
        harness.probe("close", host)
        self.assertEqual(saver.wait(), 0)
        timers = [args for name, args in self.traced_calls(saver) if name == "SetTimer"]
        self.assertEqual(timers, [timer_args(child["hwnd"], PREVIEW_INTERVAL)])


if __name__ == "__main__":
    harness.main()
