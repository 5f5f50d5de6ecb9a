"""Checks the embedded tune with readers that share nothing with its generator.

    tune_check.py TUNE_DATA.cpp TUNE.mid

The bytes under test are those compiled into the saver: the array of the
generated C++ source. They are read with mido (a Standard MIDI File reader),
walked byte by byte for the encoding rules, and rendered by timidity, a
General MIDI player, whose sound must last about one minute.
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

import mido

SOURCE, MIDI_FILE = sys.argv[1:3]
del sys.argv[1:3]

TICKS_PER_BAR = 1536
EIGHTH = 192
D3, C3, E3, F3, G3 = 50, 48, 52, 53, 55
A3, AS3, B3, C4, D4, E4, F4, G4, A4, CS5, D5 = 57, 58, 59, 60, 62, 64, 65, 67, 69, 73, 74


def compiled_bytes():
    with open(SOURCE) as source:
        text = source.read()
    body = re.search(r"TuneData\[TuneSize\]\s*=\s*\{(.*?)\};", text, re.S).group(1)
    return bytes(int(value, 16) for value in re.findall(r"0x([0-9A-Fa-f]{2})", body))


TUNE = compiled_bytes()


def chunks(data):
    """(type, body) of every chunk, reading the big-endian lengths."""
    found, offset = [], 0
    while offset < len(data):
        kind, length = data[offset:offset + 4], int.from_bytes(data[offset + 4:offset + 8], "big")
        found.append((kind, data[offset + 8:offset + 8 + length]))
        offset += 8 + length
    return found, offset


def raw_events(body):
    """(delta, status, data) of a track, refusing running status."""
    events, i = [], 0
    while i < len(body):
        delta = 0
        while True:
            delta = (delta << 7) | (body[i] & 0x7F)
            i += 1
            if not body[i - 1] & 0x80:
                break
        status = body[i]
        if status < 0x80:
            raise AssertionError(f"running status at track offset {i}")
        if status == 0xFF:
            length = body[i + 2]
            data, i = body[i + 1:i + 3 + length], i + 3 + length
        else:
            size = 2 if status >> 4 in (0xC, 0xD) else 3
            data, i = body[i + 1:i + size], i + size
        events.append((delta, status, bytes(data)))
    return events


def notes_of(track):
    """(pitch, start, length, channel) of each note, pairing each Note On with its Note Off."""
    now, sounding, notes = 0, {}, []
    for message in track:
        now += message.time
        if message.type == "note_on":
            sounding.setdefault((message.channel, message.note), []).append(now)
        elif message.type == "note_off":
            start = sounding[(message.channel, message.note)].pop(0)
            notes.append((message.note, start, now - start, message.channel))
    assert not any(sounding.values()), "notes left sounding at the end"
    return sorted(notes, key=lambda n: (n[1], n[0]))


def end_tick(track):
    ticks = sum(message.time for message in track)
    assert track[-1].type == "end_of_track"
    return ticks


class Layout(unittest.TestCase):
    def test_size_and_chunks(self):
        self.assertEqual(len(TUNE), 3579)
        found, end = chunks(TUNE)
        self.assertEqual(end, 3579)
        self.assertEqual([kind for kind, _ in found], [b"MThd", b"MTrk", b"MTrk", b"MTrk"])
        self.assertEqual([8 + len(body) for _, body in found], [14, 43, 2903, 619])
        self.assertEqual(found[0][1], bytes([0, 1, 0, 3, 1, 128]))  # format 1, 3 tracks, 384 per quarter

    def test_mid_file_is_the_compiled_array(self):
        with open(MIDI_FILE, "rb") as midi:
            self.assertEqual(midi.read(), TUNE)

    def test_encoding_rules(self):
        for number, (_, body) in enumerate(chunks(TUNE)[0][1:]):
            with self.subTest(track=number):
                events = raw_events(body)
                self.assertEqual(events[-1][1:], (0xFF, bytes([0x2F, 0x00])))
                for _, status, data in events:
                    if status >> 4 == 0x9:
                        self.assertEqual(data[1], 100, "Note On velocity")
                    if status >> 4 == 0x8:
                        self.assertEqual(data[1], 100, "Note Off velocity")


class Content(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.NamedTemporaryFile(suffix=".mid", delete=False) as f:
            f.write(TUNE)
        cls.midi = mido.MidiFile(f.name)
        os.remove(f.name)
        cls.melody = notes_of(cls.midi.tracks[1])
        cls.bass = notes_of(cls.midi.tracks[2])

    def test_header_and_length(self):
        self.assertEqual((self.midi.type, self.midi.ticks_per_beat, len(self.midi.tracks)), (1, 384, 3))
        self.assertAlmostEqual(self.midi.length, 60.0, places=6)

    def test_tempo_track(self):
        track = self.midi.tracks[0]
        self.assertEqual([m.type for m in track],
                         ["time_signature", "sequencer_specific", "sequencer_specific", "set_tempo", "end_of_track"])
        self.assertTrue(all(m.time == 0 for m in track))
        ts = track[0]
        self.assertEqual((ts.numerator, ts.denominator, ts.clocks_per_click, ts.notated_32nd_notes_per_beat),
                         (4, 4, 96, 8))
        self.assertEqual((list(track[1].data), list(track[2].data)), ([0, 0, 0x41], [0, 0, 0x77, 0x0E, 0]))
        self.assertEqual(track[3].tempo, 375000)

    def test_track_setup_and_ends(self):
        for track, channel, program, volume, extra in ((1, 0, 13, 100, []), (2, 2, 17, 101, ["key_signature"])):
            with self.subTest(track=track):
                messages = self.midi.tracks[track]
                head = messages[:3 + len(extra)]
                self.assertEqual([m.type for m in head], ["control_change", "program_change", "control_change"] + extra)
                self.assertTrue(all(m.time == 0 for m in head))
                self.assertEqual((head[0].channel, head[0].control, head[0].value), (channel, 0, 0))
                self.assertEqual((head[1].channel, head[1].program), (channel, program))
                self.assertEqual((head[2].channel, head[2].control, head[2].value), (channel, 7, volume))
                channels = {m.channel for m in messages if not m.is_meta}
                self.assertEqual(channels, {channel})
        self.assertEqual(self.midi.tracks[2][3].key, "C")
        self.assertEqual((end_tick(self.midi.tracks[1]), end_tick(self.midi.tracks[2])), (61440, 61312))

    def test_melody(self):
        self.assertEqual(len(self.melody), 320)
        self.assertTrue(all(57 <= n[0] <= 74 for n in self.melody))
        starts = [n[1] for n in self.melody]
        self.assertEqual(starts, [i * EIGHTH for i in range(320)], "one note on every eighth")
        cycle = [[D4, D5, A4], [D4, D5, A4], [F4, D5, A4], [E4, D5, G4]]
        lows = [D4, D4, C4, B3, AS3, A3, A3, A3]
        for bar in range(40):
            pitches = [n[0] for n in self.melody[bar * 8:bar * 8 + 8]]
            lengths = {n[2] for n in self.melody[bar * 8:bar * 8 + 8]}
            with self.subTest(bar=bar + 1):
                low, top, middle = pitches[0], pitches[1], pitches[2]
                self.assertEqual(pitches, [low, top, middle] * 2 + [low, top])
                if bar < 24 or bar >= 32:
                    self.assertEqual([low, top, middle], cycle[bar % 4])
                    self.assertEqual(lengths, {EIGHTH})
                else:
                    self.assertEqual((low, top), (lows[bar - 24], CS5 if bar >= 29 else D5))
                    self.assertTrue(lengths <= {EIGHTH, 256, 384})
                    if bar < 26:
                        self.assertEqual(lengths, {EIGHTH})
        self.assertTrue(any(n[2] > EIGHTH for n in self.melody), "held notes in the middle section")

    def test_bass(self):
        self.assertEqual(len(self.bass), 60)
        self.assertTrue(all(48 <= n[0] <= 55 for n in self.bass))
        self.assertEqual(self.bass[0][1], 12288)
        figure = [(D3, 0, 384), (D3, 576, 96), (D3, 768, 256), (C3, 1152, 256),
                  (D3, 1536, 512), (D3, 2304, 384),
                  (F3, 3072, 512), (F3, 3840, 256), (G3, 4224, 256),
                  (E3, 4608, 512), (E3, 5376, 256), (C3, 5760, 256)]
        played = [bar * TICKS_PER_BAR for bar in (8, 12, 20, 32, 36)]
        expected = [(p, first + s, n, 2) for first in played for p, s, n in figure]
        self.assertEqual(self.bass, expected)


# timidity, its sound font and sox come with scripts/install-deps: a missing
# one fails the check.
class Rendering(unittest.TestCase):
    def test_player_renders_about_a_minute_of_sound(self):
        config = "/etc/timidity/timgm6mb.cfg"
        self.assertTrue(os.path.exists(config), f"{config} (timgm6mb-soundfont) is missing")
        with tempfile.TemporaryDirectory() as work:
            midi, wav = os.path.join(work, "tune.mid"), os.path.join(work, "tune.wav")
            with open(midi, "wb") as f:
                f.write(TUNE)
            args = ["timidity", "-Ow", "-o", wav, midi, "-c", config]
            subprocess.run(args, check=True, capture_output=True, timeout=120)
            seconds = float(subprocess.run(["soxi", "-D", wav], check=True, capture_output=True,
                                           text=True).stdout)
            # The last notes' release rings on for a moment after 60 s.
            self.assertGreaterEqual(seconds, 60.0)
            self.assertLess(seconds, 63.5)

            def peak(start, length):
                stat = subprocess.run(["sox", wav, "-n", "trim", str(start), str(length), "stat"],
                                      capture_output=True, text=True).stderr
                return float(re.search(r"Maximum amplitude:\s*([-\d.]+)", stat).group(1))

            self.assertGreater(peak(0, 1), 0.02, "sound from the start")
            self.assertGreater(peak(58.5, 1.5), 0.02, "sound up to the end of the minute")


if __name__ == "__main__":
    unittest.main(verbosity=2)
