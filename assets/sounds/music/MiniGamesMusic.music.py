"""Mini-games music: light and curious, 112 BPM in G major, 32 bars (68.6 s)
in the form A B A' B, ending on the dominant so the loop joins its opening.
Pizzicato strings and a celesta over a plucked bass, a soft clarinet
counter-line in B and a ticking wood block, like a clock in an auction hall."""
import random

BPM = 112
SCALE = [0, 2, 4, 5, 7, 9, 11]  # major
ROOT = 67  # G4

A = [0, 3, 4, 0, 5, 3, 1, 4]
B = [3, 4, 2, 5, 1, 4, 0, 4]
A2 = [0, 3, 4, 0, 5, 1, 3, 4]
FORM = [("A", A, 21), ("B", B, 22), ("A2", A2, 23), ("B", B, 22)]

RHYTHMS = [
    [(0, 0.5), (0.5, 0.5), (1, 1), (2, 0.5), (2.5, 0.5), (3, 1)],
    [(0, 1), (1, 0.5), (1.5, 0.5), (2, 1), (3, 1)],
    [(0, 0.5), (1, 0.5), (1.5, 0.5), (2, 1.5), (3.5, 0.5)],
    [(0, 1.5), (1.5, 0.5), (2, 0.5), (2.5, 0.5), (3, 1)],
]


def degree_pitch(degree, base=ROOT):
    octave, step = divmod(degree, 7)
    return base + 12 * octave + SCALE[step]


def chord_tones(chord):
    return {chord % 7, (chord + 2) % 7, (chord + 4) % 7}


def melody_bar(rng, chord, last, final):
    notes = []
    rhythm = rng.choice(RHYTHMS) if not final else [(0, 1), (1, 1), (2, 2)]
    for i, (start, length) in enumerate(rhythm):
        candidates = [d for d in range(last - 3, last + 4) if 0 <= d <= 10]
        if start in (0, 2):
            candidates = [d for d in candidates if d % 7 in chord_tones(chord)] or candidates
        weights = [4 if abs(d - last) <= 1 else 2 if abs(d - last) == 2 else 1 for d in candidates]
        degree = rng.choices(candidates, weights)[0]
        if final and i == len(rhythm) - 1:
            degree = 4  # the fifth, leading back to the tonic at the seam
        notes.append((start, length, degree))
        last = degree
    return notes, last


def compose(midi):
    song = midi.Song(BPM, 32 * 4)
    lead = song.track("Pizzicato", 0, 45, volume=92, pan=70)
    bell = song.track("Celesta", 1, 8, volume=60, pan=50)
    clarinet = song.track("Clarinet", 2, 71, volume=58, pan=80)
    bass = song.track("Bass", 3, 32, volume=90, pan=60)
    drums = song.track("Percussion", 9, 0, volume=50, pan=64)

    bar = 0
    memo = {}
    for name, chords, seed in FORM:
        if name in memo:
            phrase = memo[name]
        else:
            rng = random.Random(seed)
            phrase, last = [], 4
            for i, chord in enumerate(chords):
                notes, last = melody_bar(rng, chord, last, i == len(chords) - 1)
                phrase.append(notes)
            memo[name] = phrase
        for i, chord in enumerate(chords):
            t = (bar + i) * 4
            for start, length, degree in phrase[i]:
                lead.note(t + start, length * 0.6, degree_pitch(degree), 86 if start == 0 else 72)
            triad = [degree_pitch(chord + k, ROOT - 12) for k in (0, 2, 4)]
            for k, p in enumerate([triad[0], triad[2], triad[1], triad[2]]):
                bell.note(t + k, 0.5, p + 12, 52)
            if name == "B":
                clarinet.note(t, 2, triad[1], 50)
                clarinet.note(t + 2, 2, triad[2], 46)
            root = degree_pitch(chord, ROOT - 24)
            fifth = degree_pitch(chord + 4, ROOT - 24)
            for start, p in ((0, root), (1, fifth), (2, root), (3, fifth)):
                bass.note(t + start, 0.45, p, 82)
            for beat in range(4):
                drums.note(t + beat, 0.25, 76, 40 if beat % 2 else 50)  # wood block ticking
            drums.note(t, 0.5, 36, 52)
        bar += len(chords)
    return song
