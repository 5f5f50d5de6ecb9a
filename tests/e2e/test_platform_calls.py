"""The platform calls of a full-screen run, in order, as Wine's relay trace
shows them. Only calls made from the saver's own code are counted (their
return address lies in its image)."""
import re

import harness

DEBUG_KEY = r"HKCU\Software\Wine\Debug"
TRACED = ["kernel32.CreateMutexA", "user32.GetForegroundWindow", "user32.RegisterClassA",
          "user32.CreateWindowExA", "user32.SystemParametersInfoA", "user32.ShowCursor",
          "user32.SetForegroundWindow", "kernel32.ExitProcess"]
CALL = re.compile(r"Call (\w+)\.(\w+)\(([^)]*)\).* ret=(0040[0-9a-f]{4}|14000[0-9a-f]{4})", re.IGNORECASE)


class PlatformCalls(harness.SaverTestCase):
    def test_full_screen_run_tells_the_platform_and_restores_it(self):
        harness.reg_add(DEBUG_KEY, "RelayInclude", "REG_SZ", ";".join(TRACED))
        self.addCleanup(harness.reg_delete, DEBUG_KEY, "RelayInclude")
        _, host = self.start_host_window(200, 150)
        harness.wait_for(lambda: int(harness.probe("foreground")) == host, "the host window in the foreground")

        saver = self.start_saver("/s", env={"WINEDEBUG": "+relay"}, name="relay-saver")
        self.wait_for_saver_window()
        harness.button_down(1)
        self.assertEqual(saver.wait(), 0)
        harness.button_up(1)

        with open(saver.log.name, errors="replace") as log:
            calls = [(m.group(2), m.group(3)) for m in map(CALL.search, log) if m]
        names = [name for name, _ in calls]
        self.assertEqual(names, ["CreateMutexA", "GetForegroundWindow", "RegisterClassA", "CreateWindowExA",
                                 "SystemParametersInfoA", "SystemParametersInfoA", "ShowCursor",
                                 "SetForegroundWindow", "ExitProcess"])
        args = dict(enumerate(a for _, a in calls))
        self.assertIn('"Screensaver_%G^H&J*K(:"', args[0])
        self.assertTrue(args[3].startswith('00000008,') and ',91000000,' in args[3], args[3])  # top-most, popup
        self.assertTrue(args[4].startswith("00000061,00000001,"), args[4])  # SPI_SETSCREENSAVERRUNNING on
        self.assertTrue(args[5].startswith("00000061,00000000,"), args[5])  # and off
        self.assertEqual(args[6], "00000001")
        self.assertEqual(int(args[7], 16), host)
        self.assertEqual(args[8], "00000000")


if __name__ == "__main__":
    harness.main()
