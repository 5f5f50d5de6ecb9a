"""The password check before a close, and the change-password mode.

Stand-ins for the platform's PASSWORD.CPL and MPR.DLL (password_fixture.cpp)
log each call to C:\\meandra-fixture\\calls.txt; the verify answer is read
from answer.txt beside it. Which copy of a component the saver loaded, if any,
is read from Wine's +loaddll trace of the run. Wine reports Windows 98 to
the saver through its per-program Version setting, so the non-NT path runs
for real.
"""
import os
import re
import shutil
import tempfile

import harness

FIXTURES = os.path.join(harness.BUILD_DIR, "fixtures")
SYSTEM32 = os.path.join(harness.PREFIX, "drive_c", "windows", "system32")
FIXTURE_DIR = os.path.join(harness.PREFIX, "drive_c", "meandra-fixture")
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
APP_KEY = r"HKCU\Software\Wine\AppDefaults\meandra.scr"
START = (400, 300)
TRACE = {"WINEDEBUG": "+loaddll"}
SYSTEM_CPL = r"c:\windows\system32\password.cpl"


def calls():
    try:
        with open(os.path.join(FIXTURE_DIR, "calls.txt")) as log:
            return log.read().splitlines()
    except FileNotFoundError:
        return []


def loaded_password_components(process):
    """The PASSWORD.CPL files a traced run loaded, by Windows path in lower case."""
    with open(process.log.name, errors="replace") as log:
        text = log.read()
    assert "trace:loaddll" in text, "the run was traced"
    paths = re.findall(r'trace:loaddll:\w+ Loaded L"(.*?)" at', text)
    paths = [path.replace("\\\\", "\\").lower() for path in paths]
    return [path for path in paths if path.endswith("\\password.cpl")]


def answer(text):
    with open(os.path.join(FIXTURE_DIR, "answer.txt"), "w") as f:
        f.write(text)


class FixtureCase(harness.SaverTestCase):
    def setUp(self):
        super().setUp()
        shutil.rmtree(FIXTURE_DIR, ignore_errors=True)
        os.makedirs(FIXTURE_DIR)
        harness.reg_delete(DESKTOP_KEY, "ScreenSaveUsePassword")
        self.addCleanup(harness.reg_delete, DESKTOP_KEY, "ScreenSaveUsePassword")

    def place(self, fixture, name):
        """Puts a fixture into the system directory for this case only."""
        target = os.path.join(SYSTEM32, name)
        backup = None
        if os.path.exists(target):
            backup = target + ".meandra-backup"
            shutil.move(target, backup)
        shutil.copy(os.path.join(FIXTURES, fixture, name), target)

        def restore():
            os.remove(target)
            if backup:
                shutil.move(backup, target)
        self.addCleanup(restore)

    def windows98(self):
        harness.reg_add(APP_KEY, "Version", "REG_SZ", "win98")
        self.addCleanup(harness.reg_delete, APP_KEY)

    def start_armed_saver(self, *args, **kw):
        harness.mouse_to(*START)
        saver = self.start_saver("/s", *args, **kw)
        self.wait_for_saver_window()
        self.assertTrue(saver.stays_running(1.0), "the saver ended by itself")
        return saver


class PasswordCheck(FixtureCase):
    def test_without_a_password_in_force_a_close_needs_no_prompt(self):
        self.windows98()
        self.place("fixture_password", "PASSWORD.CPL")
        for setting in (None, "dword:00000000", "hex:01,00,00,00,00"):
            with self.subTest(setting=setting):
                if setting:
                    harness.import_reg(f'[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"ScreenSaveUsePassword"={setting}\n')
                saver = self.start_armed_saver(env=TRACE)
                harness.key("space")
                self.assertEqual(saver.wait(), 0)
                self.assertEqual(calls(), [])
                self.assertEqual(loaded_password_components(saver), [], "PASSWORD.CPL not loaded")

    def test_accepted_password_ends_the_saver(self):
        self.windows98()
        self.place("fixture_password", "PASSWORD.CPL")
        harness.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "REG_DWORD", 1)
        answer("1")
        saver = self.start_armed_saver()
        [window] = harness.saver_windows()
        harness.key("space")
        self.assertEqual(saver.wait(), 0)
        # The prompt is shown with the cursor, for the saver window.
        self.assertEqual(calls(), [f"system verify window={window['hwnd']} cursor-count=1 answer=1"])

    def test_refused_password_keeps_it_running_and_rearms_the_mouse_rule(self):
        self.windows98()
        self.place("fixture_password", "PASSWORD.CPL")
        harness.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "REG_DWORD", 1)
        answer("0")
        saver = self.start_armed_saver()
        harness.button_down(1)
        harness.wait_for(calls, "the password prompt")
        harness.button_up(1)
        self.assertTrue(saver.stays_running(1.0))
        # The next move is swallowed, however far; the one after it is measured
        # from where the cursor was when the prompt ended.
        harness.mouse_to(700, 500)
        self.assertTrue(saver.stays_running(1.0))
        self.assertEqual(len(calls()), 1)
        harness.mouse_to(410, 300)
        harness.wait_for(lambda: len(calls()) == 2, "the second prompt")
        self.assertTrue(saver.stays_running(1.0))
        answer("1")
        harness.key("space")
        self.assertEqual(saver.wait(), 0)
        # Each prompt found the cursor shown once more than before it: the
        # saver hid it again after every prompt.
        self.assertEqual([c.split()[3] for c in calls()], ["cursor-count=1"] * 3)

    def test_on_nt_no_prompt_is_shown(self):
        self.place("fixture_password", "PASSWORD.CPL")
        harness.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "REG_DWORD", 1)
        answer("0")
        saver = self.start_armed_saver()
        harness.key("space")
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(calls(), [])

    def test_a_component_planted_beside_the_saver_is_not_loaded(self):
        self.windows98()
        harness.reg_add(DESKTOP_KEY, "ScreenSaveUsePassword", "REG_DWORD", 1)
        answer("0")
        folder = tempfile.mkdtemp(dir=os.path.join(harness.PREFIX, "drive_c"))
        self.addCleanup(shutil.rmtree, folder)
        planted_scr = shutil.copy(harness.SCR, folder)
        shutil.copy(os.path.join(FIXTURES, "fixture_planted", "PASSWORD.CPL"), folder)
        for with_system_copy in (False, True):
            with self.subTest(with_system_copy=with_system_copy):
                if with_system_copy:
                    self.place("fixture_password", "PASSWORD.CPL")
                    answer("1")
                harness.mouse_to(*START)
                saver = self.start([planted_scr, "/s"], "planted-saver", env=TRACE)
                self.wait_for_saver_window()
                harness.key("space")
                self.assertEqual(saver.wait(), 0)
                self.assertFalse([c for c in calls() if c.startswith("planted")])
                self.assertEqual(len(calls()), 1 if with_system_copy else 0)
                self.assertEqual(loaded_password_components(saver), [SYSTEM_CPL] if with_system_copy else [])


class ChangePassword(FixtureCase):
    ENV = {"WINEDLLOVERRIDES": "mscoree,mshtml=;mpr=n"}

    def test_change_dialog_gets_the_owner(self):
        self.place("fixture_mpr", "MPR.DLL")
        _, host = self.start_host_window(200, 150)
        for args, owner in (([str(host)], host), ([], 0)):
            with self.subTest(args=args):
                saver = self.start_saver("/a", *args, env=self.ENV)
                self.assertEqual(saver.wait(), 0)
                self.assertEqual(calls()[-1], f"system change provider=SCRSAVE owner={owner} reserved=0,0")

    def test_without_the_entry_point_it_ends_at_once(self):
        self.place("fixture_mpr_without_change", "MPR.DLL")
        saver = self.start_saver("/a", env=self.ENV)
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(calls(), [])


if __name__ == "__main__":
    harness.main()
