#!/usr/bin/python3
"""Writes the saver's embedded tune from its note list.

    tunegen.py NOTES OUT.cpp OUT.mid

Reads the readable note list (resources/tune.notes), encodes it as a format-1
Standard MIDI File of three tracks, checks the file's size and chunk layout,
and writes it as the C++ array resources::TuneData and as a plain .mid file.
Refuses (exit status 1, nothing written, stale outputs removed) when the file
does not come out exactly as the saver needs it.
"""
import os
import re
import sys

TICKS_PER_QUARTER = 384
TICKS_PER_BAR = 4 * TICKS_PER_QUARTER
EIGHTH = TICKS_PER_QUARTER // 2
BARS = 40
TUNE_SIZE = 3579
CHUNK_SIZES = (14, 43, 2903, 619)
NOTE_VELOCITY = 100
RELEASE_VELOCITY = 100

MELODY_CHANNEL = 0  # MIDI channel 1
BASS_CHANNEL = 2  # MIDI channel 3
XYLOPHONE = 13
PERCUSSIVE_ORGAN = 17

# Track 0: metre, the authoring tool's private data, tempo; all at tick 0.
TEMPO_TRACK = [
    bytes([0xFF, 0x58, 0x04, 0x04, 0x02, 0x60, 0x08]),  # 4/4, 96 clocks a click
    bytes([0xFF, 0x7F, 0x03, 0x00, 0x00, 0x41]),
    bytes([0xFF, 0x7F, 0x05, 0x00, 0x00, 0x77, 0x0E, 0x00]),
    bytes([0xFF, 0x51, 0x03, 0x05, 0xB8, 0xD8]),  # 375000 us a quarter note
]
END_OF_TRACK = bytes([0xFF, 0x2F, 0x00])

# What each track must hold: (note count, lowest, highest, first note tick,
# End of Track tick).
MELODY_RULES = (320, 57, 74, 0, BARS * TICKS_PER_BAR)
BASS_RULES = (60, 48, 55, 8 * TICKS_PER_BAR, 61312)

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


class TuneError(Exception):
    pass


def pitch_of(name):
    match = re.fullmatch(r"([A-G])(#?)(-?\d)", name)
    if not match:
        raise TuneError(f"not a note name: {name!r}")
    letter, sharp, octave = match.groups()
    return 12 * (int(octave) + 1) + NOTE_NAMES[letter] + (1 if sharp else 0)


def parse_melody_bar(tokens):
    if len(tokens) != 8:
        raise TuneError(f"a melody bar has eight eighth notes, not {len(tokens)}: {' '.join(tokens)}")
    notes = []
    for step, token in enumerate(tokens):
        name, _, held = token.partition("~")
        notes.append((pitch_of(name), step * EIGHTH, int(held) if held else EIGHTH))
    return notes


def parse_bass_bar(tokens):
    notes = []
    for token in tokens:
        match = re.fullmatch(r"([A-G]#?-?\d)@(\d+)\+(\d+)", token)
        if not match:
            raise TuneError(f"not a bass note: {token!r}")
        start, length = int(match.group(2)), int(match.group(3))
        if start >= TICKS_PER_BAR:
            raise TuneError(f"bass note starts outside its bar: {token!r}")
        notes.append((pitch_of(match.group(1)), start, length))
    return notes


def read_notes(path):
    """(melody notes, bass notes), each a list of (pitch, start, length)."""
    bars = {"melody": {}, "bass": {"-": []}}
    sequences = {"melody": [], "bass": []}
    with open(path) as notes_file:
        for number, line in enumerate(notes_file, 1):
            # Only whole lines are comments: a '#' inside a note name is a sharp.
            tokens = line.split()
            if not tokens or tokens[0].startswith("#"):
                continue
            kind = tokens[0]
            try:
                if kind == "melody-bar":
                    bars["melody"][tokens[1]] = parse_melody_bar(tokens[2:])
                elif kind == "bass-bar":
                    bars["bass"][tokens[1]] = parse_bass_bar(tokens[2:])
                elif kind in sequences:
                    sequences[kind].extend(tokens[1:])
                else:
                    raise TuneError(f"unknown line kind {kind!r}")
            except (TuneError, IndexError) as error:
                raise TuneError(f"{path}:{number}: {error}") from None
    tracks = []
    for kind in ("melody", "bass"):
        if len(sequences[kind]) != BARS:
            raise TuneError(f"the {kind} has {len(sequences[kind])} bars, not {BARS}")
        notes = []
        for bar, name in enumerate(sequences[kind]):
            if name not in bars[kind]:
                raise TuneError(f"the {kind} plays an unknown bar {name!r}")
            notes.extend((p, bar * TICKS_PER_BAR + s, n) for p, s, n in bars[kind][name])
        tracks.append(notes)
    return tracks


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def encode_track(timed_events, end_tick):
    """timed_events: (tick, bytes); equal ticks keep their given order."""
    data = bytearray()
    now = 0
    for tick, event in timed_events + [(end_tick, END_OF_TRACK)]:
        if tick < now:
            raise TuneError("events out of order")
        data += variable_length(tick - now) + event
        now = tick
    return b"MTrk" + len(data).to_bytes(4, "big") + bytes(data)


def note_track(channel, setup, notes, rules):
    count, lowest, highest, first_tick, end_tick = rules
    if len(notes) != count:
        raise TuneError(f"channel {channel + 1} has {len(notes)} notes, not {count}")
    if min(start for _, start, _ in notes) != first_tick:
        raise TuneError(f"channel {channel + 1} does not start at tick {first_tick}")
    for pitch, start, length in notes:
        if not lowest <= pitch <= highest:
            raise TuneError(f"note {pitch} at tick {start} is outside {lowest}..{highest}")
        if length <= 0:
            raise TuneError(f"note at tick {start} has no length")
    if max(start + length for _, start, length in notes) != end_tick:
        raise TuneError(f"channel {channel + 1}'s last note does not end at tick {end_tick}")
    # A true Note Off for every note; at one tick the offs come before the ons,
    # so a note struck again is never cut by its own earlier release.
    events = [(start + length, 0, start, bytes([0x80 | channel, pitch, RELEASE_VELOCITY]))
              for pitch, start, length in notes]
    events += [(start, 1, start, bytes([0x90 | channel, pitch, NOTE_VELOCITY]))
               for pitch, start, length in notes]
    events.sort(key=lambda e: e[:3])
    return encode_track([(0, event) for event in setup] + [(tick, event) for tick, _, _, event in events],
                        end_tick)


def build_tune(notes_path):
    melody, bass = read_notes(notes_path)
    header = b"MThd" + (6).to_bytes(4, "big") + (1).to_bytes(2, "big") + (3).to_bytes(2, "big") \
        + TICKS_PER_QUARTER.to_bytes(2, "big")
    tempo = encode_track([(0, event) for event in TEMPO_TRACK], 0)
    melody_setup = [bytes([0xB0 | MELODY_CHANNEL, 0, 0]), bytes([0xC0 | MELODY_CHANNEL, XYLOPHONE]),
                    bytes([0xB0 | MELODY_CHANNEL, 7, 100])]
    bass_setup = [bytes([0xB0 | BASS_CHANNEL, 0, 0]), bytes([0xC0 | BASS_CHANNEL, PERCUSSIVE_ORGAN]),
                  bytes([0xB0 | BASS_CHANNEL, 7, 101]), bytes([0xFF, 0x59, 0x02, 0x00, 0x00])]
    chunks = [header, tempo, note_track(MELODY_CHANNEL, melody_setup, melody, MELODY_RULES),
              note_track(BASS_CHANNEL, bass_setup, bass, BASS_RULES)]
    sizes = tuple(len(chunk) for chunk in chunks)
    if sizes != CHUNK_SIZES:
        raise TuneError(f"chunks of {' + '.join(map(str, sizes))} bytes, not {' + '.join(map(str, CHUNK_SIZES))}")
    tune = b"".join(chunks)
    if len(tune) != TUNE_SIZE:
        raise TuneError(f"{len(tune)} bytes, not {TUNE_SIZE}")
    return tune


def cpp_source(tune, notes_path):
    rows = []
    for offset in range(0, len(tune), 16):
        rows.append("    " + ", ".join(f"0x{b:02X}" for b in tune[offset:offset + 16]) + ",")
    return ("// Written by resources/tunegen.py from resources/"
            f"{os.path.basename(notes_path)}; edit the note list, not this file.\n"
            '#include "resources/tune.h"\n\n'
            "namespace resources {\n\n"
            "const uint8_t TuneData[TuneSize] = {\n" + "\n".join(rows) + "\n};\n\n"
            "}  // namespace resources\n")


def write_atomically(path, data):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    temporary = path + ".tmp"
    with open(temporary, "wb") as out:
        out.write(data)
    os.replace(temporary, path)


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    notes_path, cpp_path, midi_path = argv[1:]
    try:
        tune = build_tune(notes_path)
    except TuneError as error:
        for stale in (cpp_path, midi_path):
            if os.path.exists(stale):
                os.remove(stale)
        print(f"tunegen: refusing to write the tune: {error}", file=sys.stderr)
        return 1
    write_atomically(midi_path, tune)
    write_atomically(cpp_path, cpp_source(tune, notes_path).encode())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
