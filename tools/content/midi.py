"""A small standard MIDI file writer (format 1) for the music generators.

A Song has a tempo, a length in beats and tracks; each track has one channel,
one program and notes given in beats. The loop is exactly `beats` long: notes
that ring past it are folded back onto the start when the music is rendered.
"""
import struct

TICKS = 480  # per quarter note


class Track:
    def __init__(self, name, channel, program, volume=100, pan=64):
        self.name, self.channel, self.program = name, channel, program
        self.volume, self.pan = volume, pan
        self.notes = []  # (start beat, length in beats, pitch, velocity)

    def note(self, start, length, pitch, velocity=80):
        self.notes.append((start, length, pitch, velocity))


class Song:
    # Silence after the loop, so the renderer lets the last notes ring out.
    TAIL_BEATS = 8

    def __init__(self, bpm, beats):
        self.bpm, self.beats = bpm, beats
        self.tracks = []

    def track(self, *args, **kwargs):
        t = Track(*args, **kwargs)
        self.tracks.append(t)
        return t

    def seconds(self):
        return self.beats * 60.0 / self.bpm

    def write(self, path):
        chunks = [self._tempo_track()] + [self._track_chunk(t) for t in self.tracks]
        with open(path, "wb") as f:
            f.write(b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), TICKS))
            for c in chunks:
                f.write(b"MTrk" + struct.pack(">I", len(c)) + c)

    def _tempo_track(self):
        tempo = int(round(60_000_000 / self.bpm))
        events = [(0, b"\xff\x51\x03" + tempo.to_bytes(3, "big")),
                  (0, b"\xff\x58\x04\x04\x02\x18\x08")]
        return _encode(events, int((self.beats + self.TAIL_BEATS) * TICKS))

    def _track_chunk(self, t):
        ch = t.channel
        events = [(0, b"\xff\x03" + _vlq(len(t.name)) + t.name.encode("ascii")),
                  (0, bytes([0xB0 | ch, 7, t.volume])),
                  (0, bytes([0xB0 | ch, 10, t.pan]))]
        if ch != 9:
            events.append((0, bytes([0xC0 | ch, t.program])))
        for start, length, pitch, velocity in t.notes:
            on = int(round(start * TICKS))
            off = max(on + 1, int(round((start + length) * TICKS)) - 1)
            events.append((on, bytes([0x90 | ch, pitch, velocity])))
            events.append((off, bytes([0x80 | ch, pitch, 0])))
        return _encode(events, int((self.beats + self.TAIL_BEATS) * TICKS))


def _vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def _encode(events, end_tick):
    # Note-offs before note-ons at the same tick, so repeated notes restart.
    events = sorted(events, key=lambda e: (e[0], 0 if e[1][0] & 0xF0 == 0x80 else 1))
    out, now = bytearray(), 0
    for tick, data in events:
        out += _vlq(tick - now) + data
        now = tick
    out += _vlq(max(0, end_tick - now)) + b"\xff\x2f\x00"
    return bytes(out)
