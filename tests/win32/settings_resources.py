#!/usr/bin/env python3
"""Reads the dialog templates and the icon back out of the built meandra.scr.

    settings_resources.py MEANDRA_SCR

The resources are taken out with wrestool (icoutils), and the dialog
templates decoded here from their bytes, so the check owes nothing to the
resource compiler that wrote them.
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

SCR = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ["MEANDRA_SCR"]

WS_POPUP, WS_CHILD, WS_VISIBLE, WS_CAPTION = 0x80000000, 0x40000000, 0x10000000, 0x00C00000
WS_SYSMENU, WS_GROUP, WS_TABSTOP = 0x00080000, 0x00020000, 0x00010000
DS_SETFONT, DS_MODALFRAME = 0x40, 0x80
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTORADIOBUTTON = 0, 1, 9
SS_LEFT, SS_ICON = 0, 3
ORDINAL_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX", 0x84: "SCROLLBAR", 0x85: "COMBOBOX"}

DIALOG_STYLE = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT
CAPTION = "Meandra Screen Saver"
ICON = ("STATIC", SS_ICON)
DEFAULT_BUTTON = ("BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP)
BUTTON = ("BUTTON", BS_PUSHBUTTON | WS_TABSTOP)
LABEL = ("STATIC", SS_LEFT | WS_GROUP)
RADIO = ("BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP)

# id, kind, text (a number names a resource), x, y, w, h
SETTINGS_CONTROLS = [
    (-1, ICON, 100, 8, 8, 18, 20),
    (1, DEFAULT_BUTTON, "OK", 144, 4, 40, 14),
    (2, BUTTON, "Cancel", 144, 20, 40, 14),
    (991, BUTTON, "&About", 144, 36, 40, 14),
    (702, LABEL, "Colours:", 40, 4, 56, 8),
    (101, RADIO, "Single", 40, 14, 40, 12),
    (102, RADIO, "Two-Tone", 80, 14, 64, 12),
    (703, LABEL, "Sound:", 40, 28, 56, 8),
    (103, RADIO, "On", 40, 38, 40, 12),
    (104, RADIO, "Off", 80, 38, 40, 12),
]
CREDIT = object()  # the credit lines' texts are checked apart
ABOUT_CONTROLS = [
    (1, DEFAULT_BUTTON, "OK", 64, 36, 40, 16),
    (-1, ICON, 100, 8, 8, 18, 20),
    (701, LABEL, "v2.1", 8, 40, 41, 8),
    (702, LABEL, CREDIT, 42, 8, 143, 8),
    (702, LABEL, CREDIT, 42, 20, 143, 8),
]


def extract(*args):
    return subprocess.run(["wrestool", "-x", *args, SCR], check=True, capture_output=True, timeout=30).stdout


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def string(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        text = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return text

    def name_or_ordinal(self):
        if self.take("H") == 0xFFFF:
            return self.take("H")
        self.at -= 2
        return self.string()

    def align(self):
        self.at = (self.at + 3) & ~3


def parse_dialog(data):
    """A plain (not extended) dialog template as a dict of its fields."""
    r = Reader(data)
    style, exstyle, count, x, y, w, h = r.take("IIHhhhh")
    dialog = dict(style=style, exstyle=exstyle, rect=(x, y, w, h), menu=r.name_or_ordinal(),
                  cls=r.name_or_ordinal(), caption=r.string(), controls=[])
    if style & DS_SETFONT:
        dialog["font"] = (r.take("H"), r.string())
    for _ in range(count):
        r.align()
        style, exstyle, x, y, w, h, control_id = r.take("IIhhhhH")
        cls = r.name_or_ordinal()
        text = r.name_or_ordinal()
        extra = r.take("H")
        r.at += extra
        dialog["controls"].append(dict(
            id=control_id - 0x10000 if control_id >= 0x8000 else control_id, style=style, exstyle=exstyle,
            cls=ORDINAL_CLASSES.get(cls, cls).upper() if isinstance(cls, int) else cls.upper(),
            text=text, rect=(x, y, w, h), extra=extra))
    return dialog


class DialogTemplates(unittest.TestCase):
    def check_dialog(self, name, rect, expected_controls):
        data = extract("--raw", "--type=5", f"--name={name}")
        self.assertNotEqual(data[:4], b"\x01\x00\xff\xff", "an extended template")
        dialog = parse_dialog(data)
        self.assertEqual(dialog["style"], DIALOG_STYLE)
        self.assertFalse(dialog["style"] & WS_SYSMENU)
        self.assertEqual(dialog["exstyle"], 0)
        self.assertEqual(dialog["rect"], rect)
        self.assertEqual((dialog["menu"], dialog["cls"]), ("", ""))
        self.assertEqual(dialog["caption"], CAPTION)
        self.assertEqual(dialog["font"], (8, "MS Sans Serif"))
        self.assertEqual(len(dialog["controls"]), len(expected_controls))
        for index, (control, expected) in enumerate(zip(dialog["controls"], expected_controls)):
            control_id, (cls, style), text, *control_rect = expected
            with self.subTest(dialog=name, control=index + 1):
                self.assertEqual(control["id"], control_id)
                self.assertEqual(control["cls"], cls)
                self.assertEqual(control["style"], WS_CHILD | WS_VISIBLE | style)
                self.assertEqual(control["exstyle"], 0)
                self.assertEqual(control["rect"], tuple(control_rect))
                self.assertEqual(control["extra"], 0)
                if text is not CREDIT:
                    self.assertEqual(control["text"], text)
        return dialog

    def test_settings_dialog(self):
        self.check_dialog("SETTINGS", (48, 28, 192, 56), SETTINGS_CONTROLS)

    def test_about_box(self):
        dialog = self.check_dialog("ABOUTBOX", (22, 40, 168, 56), ABOUT_CONTROLS)
        authorship, thanks = (c["text"] for c in dialog["controls"][3:5])
        for line in (authorship, thanks):
            self.assertIn("Orvendel", line)
            self.assertTrue(line.isprintable() and "\n" not in line)
        self.assertRegex(authorship, r"\b(19|20)\d\d\b")
        self.assertIn("Meandra", authorship)


class Icon(unittest.TestCase):
    def test_icon_100_is_one_32_by_32_image_of_16_colours(self):
        with tempfile.TemporaryDirectory() as scratch:
            path = os.path.join(scratch, "icon.ico")
            with open(path, "wb") as f:
                f.write(extract("--type=14", "--name=100"))
            listing = subprocess.run(["icotool", "-l", path], check=True, capture_output=True, text=True,
                                     timeout=30).stdout.split("\n")
        images = [line for line in listing if line.strip()]
        self.assertEqual(len(images), 1, listing)
        fields = dict(part.lstrip("-").split("=") for part in images[0].split() if "=" in part)
        self.assertEqual((fields["width"], fields["height"]), ("32", "32"))
        self.assertEqual((fields["bit-depth"], fields["palette-size"]), ("4", "16"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
