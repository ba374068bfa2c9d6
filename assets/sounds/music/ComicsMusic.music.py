"""Comics music: light and storybook-like, 96 BPM in G major, 24 bars (60 s)
in the form A B A', so the loop comes home to the opening chord at its seam.
A celesta melody over pizzicato strings, a soft string pad, a plucked bass
and a quiet shaker."""
import random

BPM = 96
SCALE = [0, 2, 4, 5, 7, 9, 11]
ROOT = 67  # G4

A = [0, 3, 4, 0, 5, 3, 1, 4]
B = [3, 4, 2, 5, 3, 0, 1, 4]
A2 = [0, 3, 4, 5, 3, 1, 4, 4]
FORM = [(A, 31), (B, 32), (A2, 33)]

RHYTHMS = [
    [(0, 1.5), (1.5, 0.5), (2, 2)],
    [(0, 1), (1, 1), (2, 1), (3, 1)],
    [(0, 0.5), (0.5, 0.5), (1, 1), (2, 2)],
    [(0, 2), (2, 1), (3, 1)],
]


def pitch(degree, base=ROOT):
    octave, step = divmod(degree, 7)
    return base + 12 * octave + SCALE[step]


def compose(midi):
    bars = 8 * len(FORM)
    song = midi.Song(BPM, bars * 4)
    lead = song.track("Celesta", 0, 8, volume=92, pan=72)
    pizz = song.track("Pizzicato", 1, 45, volume=74, pan=46)
    pad = song.track("Strings", 2, 49, volume=40, pan=64)
    bass = song.track("Bass", 3, 32, volume=84, pan=58)
    perc = song.track("Shaker", 9, 0, volume=40, pan=80)
    bar, last = 0, 4
    for chords, seed in FORM:
        rng = random.Random(seed)
        for i, chord in enumerate(chords):
            t = bar * 4
            final = bar == bars - 1
            rhythm = [(0, 2), (2, 2)] if final else rng.choice(RHYTHMS)
            tones = {chord % 7, (chord + 2) % 7, (chord + 4) % 7}
            for k, (start, length) in enumerate(rhythm):
                choices = [d for d in range(last - 2, last + 3) if 0 <= d <= 9]
                if start in (0, 2):
                    choices = [d for d in choices if d % 7 in tones] or choices
                last = 4 if final and k == len(rhythm) - 1 else rng.choice(choices)
                lead.note(t + start, length * 0.9, pitch(last), 78 if start in (0, 2) else 64)
            triad = [pitch(chord + k, ROOT - 12) for k in (0, 2, 4)]
            for beat, p in zip((0, 1, 2, 3), (triad[0], triad[1], triad[2], triad[1])):
                pizz.note(t + beat, 0.4, p, 62)
                pizz.note(t + beat + 0.5, 0.3, p + 12, 44)
            for p in triad:
                pad.note(t, 4, p + 12, 42)
            base = pitch(chord, ROOT - 24)
            for start, p in ((0, base), (2, pitch(chord + 4, ROOT - 24))):
                bass.note(t + start, 1.6, p, 80)
            for beat in range(8):
                perc.note(t + beat * 0.5, 0.25, 70, 40 if beat % 2 else 52)
            bar += 1
    return song
