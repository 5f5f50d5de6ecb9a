"""The tune generator refuses a note list that would not give the saver's file.

    tunegen_check.py TUNEGEN.py TUNE.notes
"""
import os
import subprocess
import sys
import tempfile
import unittest

GENERATOR, NOTES = sys.argv[1:3]
del sys.argv[1:3]


def run_generator(notes_text, work):
    notes = os.path.join(work, "tune.notes")
    cpp, midi = os.path.join(work, "tune_data.cpp"), os.path.join(work, "tune.mid")
    with open(notes, "w") as f:
        f.write(notes_text)
    for stale in (cpp, midi):
        with open(stale, "w") as f:
            f.write("stale")
    result = subprocess.run([sys.executable, GENERATOR, notes, cpp, midi], capture_output=True, text=True)
    return result, cpp, midi


class Refusal(unittest.TestCase):
    def setUp(self):
        with open(NOTES) as f:
            self.notes = f.read()

    def test_the_note_list_is_accepted(self):
        with tempfile.TemporaryDirectory() as work:
            result, cpp, midi = run_generator(self.notes, work)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(os.path.getsize(midi), 3579)

    def test_wrong_tunes_are_refused_and_nothing_is_left(self):
        cases = {
            # Same notes, one byte more per figure: the bass chunk grows.
            "bass chunk size": ("D3@576+96", "D3@576+64", "chunks of"),
            "bar missing": ("melody  A A B C  A A B C\n", "melody  A A B C  A A B\n", "39 bars"),
            "pitch out of range": ("melody-bar A   D4 D5 A4", "melody-bar A   D4 E5 A4", "outside 57..74"),
            "note count": ("bass-bar 2  D3@0+512 D3@768+384", "bass-bar 2  D3@0+512", "notes, not 60"),
        }
        for name, (old, new, message) in cases.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as work:
                self.assertIn(old, self.notes)
                result, cpp, midi = run_generator(self.notes.replace(old, new, 1), work)
                self.assertEqual(result.returncode, 1)
                self.assertIn(message, result.stderr)
                self.assertFalse(os.path.exists(cpp) or os.path.exists(midi))


if __name__ == "__main__":
    unittest.main(verbosity=2)
