"""The settings dialog and the About box, driven by real clicks and keys and
checked by the registry, by the buttons' states and by screenshots."""
import harness
from harness import SETTINGS_KEY, wait_for

VENDOR_KEY = r"HKCU\Software\Orvendel"
CAPTION = "Meandra Screen Saver"
DIALOG_CLASS = "#32770"
WM_COMMAND = 0x111
IDCANCEL = 2
SINGLE, TWO_TONE, SOUND_ON, SOUND_OFF = 101, 102, 103, 104


def dialogs():
    return [w for w in harness.windows() if w["class"] == DIALOG_CLASS and w["title"] == CAPTION and w["visible"]]


def wait_for_dialogs(count):
    return wait_for(lambda: (lambda found: found if len(found) == count else None)(dialogs()),
                    f"{count} dialog(s) of the saver")


def control(dialog, text):
    [found] = [c for c in harness.children(dialog["hwnd"]) if c["title"] == text]
    return found


def centre(window):
    left, top, right, bottom = window["rect"]
    return (left + right) // 2, (top + bottom) // 2


def click_on(window):
    harness.mouse_to(*centre(window))
    harness.click(1)


def checked(dialog):
    """The ids of the four radio buttons that are checked."""
    return {i for i in (SINGLE, TWO_TONE, SOUND_ON, SOUND_OFF)
            if harness.probe("checked", dialog["hwnd"], i).strip() == "1"}


def shows_dot(shot, radio):
    """Whether the screenshot shows the dark dot of a checked radio button:
    it sits in the round box at the button's left, just above its middle."""
    left, top, _, bottom = radio["rect"]
    middle = (top + bottom) // 2
    box = shot[middle - 5:middle + 2, left + 4:left + 11].astype(int).sum(axis=2) // 3
    return int((box < 80).sum()) >= 4


def settings_value(name):
    return harness.reg_query(SETTINGS_KEY, name)


DWORD_0, DWORD_1 = ("REG_DWORD", "0x0"), ("REG_DWORD", "0x1")


class SettingsDialogCase(harness.SaverTestCase):
    def setUp(self):
        super().setUp()
        harness.reg_delete(VENDOR_KEY)
        self.addCleanup(harness.reg_delete, VENDOR_KEY)

    def open_dialog(self, *args):
        saver = self.start_saver(*args)
        [dialog] = wait_for_dialogs(1)
        return saver, dialog

    def make_foreground(self, window):
        """Waits until `window` takes the keyboard, clicking its caption if need be."""
        def active():
            if int(harness.probe("foreground")) == window["hwnd"]:
                return True
            left, top, right, _ = window["rect"]
            harness.mouse_to((left + right) // 2, top + 8)
            harness.click(1)
            return False
        wait_for(active, "the dialog in the foreground")

    def assert_checks(self, dialog, expected, shot_name):
        self.assertEqual(checked(dialog), expected)
        shot = harness.screenshot(shot_name)
        for text, button in (("Single", SINGLE), ("Two-Tone", TWO_TONE), ("On", SOUND_ON), ("Off", SOUND_OFF)):
            self.assertEqual(shows_dot(shot, control(dialog, text)), button in expected, f"{text} in {shot_name}")


class Choosing(SettingsDialogCase):
    def test_first_run_shows_defaults_and_ok_stores_the_clicked_choice(self):
        saver, dialog = self.open_dialog("/c")
        self.assert_checks(dialog, {SINGLE, SOUND_OFF}, "settings-first-run")
        click_on(control(dialog, "Two-Tone"))
        click_on(control(dialog, "On"))
        wait_for(lambda: checked(dialog) == {TWO_TONE, SOUND_ON}, "the clicked buttons checked")
        self.assert_checks(dialog, {TWO_TONE, SOUND_ON}, "settings-two-tone-on")
        self.assertIsNone(settings_value("mono"), "nothing is stored before OK")
        click_on(control(dialog, "OK"))
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(settings_value("mono"), DWORD_0)
        self.assertEqual(settings_value("sound"), DWORD_1)

    def test_cancel_escape_and_close_store_nothing(self):
        def by_cancel_button(dialog):
            click_on(control(dialog, "Cancel"))

        def by_escape(dialog):
            self.make_foreground(dialog)
            harness.key("Escape")

        def by_close_message(dialog):
            harness.probe("close", dialog["hwnd"])

        def by_alt_f4(dialog):
            self.make_foreground(dialog)
            harness.key("alt+F4")

        for end in (by_cancel_button, by_escape, by_close_message, by_alt_f4):
            with self.subTest(end=end.__name__):
                harness.reg_delete(VENDOR_KEY)
                saver, dialog = self.open_dialog("/c")
                click_on(control(dialog, "Two-Tone"))
                click_on(control(dialog, "On"))
                wait_for(lambda: checked(dialog) == {TWO_TONE, SOUND_ON}, "the clicked buttons checked")
                end(dialog)
                self.assertEqual(saver.wait(), 0)
                self.assertIsNone(settings_value("mono"))
                self.assertIsNone(settings_value("sound"))
                # The flags were not changed either: the next start shows the defaults.
                saver, dialog = self.open_dialog("/c")
                self.assertEqual(checked(dialog), {SINGLE, SOUND_OFF})
                harness.probe("post", dialog["hwnd"], WM_COMMAND, IDCANCEL, 0)
                self.assertEqual(saver.wait(), 0)

    def test_ok_without_change_writes_both_values(self):
        def by_ok_button(dialog):
            click_on(control(dialog, "OK"))

        def by_enter(dialog):
            self.make_foreground(dialog)
            harness.key("Return")

        for end in (by_ok_button, by_enter):
            with self.subTest(end=end.__name__):
                harness.reg_delete(VENDOR_KEY)
                saver, dialog = self.open_dialog("/c")
                end(dialog)
                self.assertEqual(saver.wait(), 0)
                self.assertEqual(settings_value("mono"), DWORD_1)
                self.assertEqual(settings_value("sound"), DWORD_0)

    def test_stored_values_are_shown_and_rewritten_as_dwords(self):
        # "mono" as the string "1" is Two-Tone (only the number 1 is true); a
        # one-byte binary 01 is on.
        harness.import_reg(f'[{SETTINGS_KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n"mono"="1"\n"sound"=hex:01\n')
        saver, dialog = self.open_dialog("/c")
        self.assert_checks(dialog, {TWO_TONE, SOUND_ON}, "settings-stored")
        click_on(control(dialog, "OK"))
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(settings_value("mono"), DWORD_0)
        self.assertEqual(settings_value("sound"), DWORD_1)


class AboutBox(SettingsDialogCase):
    def open_about(self, settings_dialog, how):
        if how == "button":
            click_on(control(settings_dialog, "&About"))
        else:
            self.make_foreground(settings_dialog)
            harness.key("alt+a")
        found = wait_for_dialogs(2)
        [about] = [d for d in found if d["owner"] == settings_dialog["hwnd"]]
        return about

    def test_opens_over_the_settings_and_returns_to_them_unchanged(self):
        def by_ok_button(about):
            click_on(control(about, "OK"))

        def by_enter(about):
            self.make_foreground(about)
            harness.key("Return")

        def by_escape(about):
            self.make_foreground(about)
            harness.key("Escape")

        def by_alt_f4(about):
            self.make_foreground(about)
            harness.key("alt+F4")

        saver, dialog = self.open_dialog("/c")
        click_on(control(dialog, "Two-Tone"))
        wait_for(lambda: checked(dialog) == {TWO_TONE, SOUND_OFF}, "Two-Tone checked")
        for how, end in (("button", by_ok_button), ("alt+a", by_enter), ("button", by_escape),
                         ("alt+a", by_alt_f4)):
            with self.subTest(open=how, end=end.__name__):
                about = self.open_about(dialog, how)
                self.assertFalse([d for d in dialogs() if d["hwnd"] == dialog["hwnd"]][0]["enabled"],
                                 "the settings dialog waits for the About box")
                self.assertIn("v2.1", [c["title"] for c in harness.children(about["hwnd"])])
                end(about)
                [back] = wait_for_dialogs(1)
                self.assertTrue(saver.running())
                self.assertTrue(back["enabled"], "the settings dialog takes input again")
                self.assertEqual(checked(dialog), {TWO_TONE, SOUND_OFF})
        self.assertIsNone(settings_value("mono"), "the About box stores nothing")
        click_on(control(dialog, "OK"))
        self.assertEqual(saver.wait(), 0)
        self.assertEqual(settings_value("mono"), DWORD_0)
        self.assertEqual(settings_value("sound"), DWORD_0)

    def test_both_dialogs_show_the_icon(self):
        saver, dialog = self.open_dialog("/c")
        about = self.open_about(dialog, "button")
        shot = harness.screenshot("about-over-settings")
        for window in (dialog, about):
            [icon] = [c for c in harness.children(window["hwnd"]) if c["class"] == "Static" and c["style"] & 0xF == 3]
            left, top, right, bottom = icon["rect"]
            pixels = shot[top:bottom, left:right].astype(int)
            bluish = (pixels[..., 2] > pixels[..., 0] + 60) & (pixels[..., 2] > 120)
            self.assertGreater(int(bluish.sum()), 300, "the blue ball of the icon")
        harness.probe("post", about["hwnd"], WM_COMMAND, IDCANCEL, 0)
        wait_for_dialogs(1)
        harness.probe("post", dialog["hwnd"], WM_COMMAND, IDCANCEL, 0)
        self.assertEqual(saver.wait(), 0)


class Owner(SettingsDialogCase):
    def owner_for(self, *args):
        saver, dialog = self.open_dialog(*args)
        harness.probe("post", dialog["hwnd"], WM_COMMAND, IDCANCEL, 0)
        self.assertEqual(saver.wait(), 0)
        return dialog["owner"]

    def start_foreground_host(self, title):
        host, handle = self.start_host_window(300, 200, title)
        wait_for(lambda: int(harness.probe("foreground")) == handle, "the host window in the foreground")
        return host, handle

    def test_handle_argument_owns_the_dialog(self):
        _, named = self.start_host_window(300, 200, "named owner")
        _, foreground = self.start_foreground_host("foreground")
        self.assertEqual(self.owner_for("/c", str(named)), named)

    def test_configure_switch_without_usable_handle_takes_the_foreground_window(self):
        for args in (["/c"], ["/c:1234"], ["/c", "0"], ["/C"]):
            with self.subTest(args=args):
                host, handle = self.start_foreground_host("foreground " + " ".join(args))
                self.assertEqual(self.owner_for(*args), handle)
                host.kill()

    def test_other_switches_and_no_argument_give_no_owner(self):
        _, handle = self.start_foreground_host("foreground")
        for args in (["/x"], ["/"], ["-"], []):
            with self.subTest(args=args):
                self.assertEqual(self.owner_for(*args), 0)


if __name__ == "__main__":
    harness.main()
