"""Menu music: calm and bright, 100 BPM in F major, 32 bars (76.8 s) in the
form A A' B A, so the loop comes home to the opening chord at its seam.
Marimba melody over nylon-guitar arpeggios, a soft string pad, a walking
acoustic bass and light brushes of percussion."""
import random

BPM = 100
SCALE = [0, 2, 4, 5, 7, 9, 11]  # major
ROOT = 65  # F4

# Chords as scale degrees (0 = I) per bar.
A = [0, 4, 5, 3, 0, 4, 3, 4]
A2 = [0, 4, 5, 3, 1, 4, 3, 4]
B = [5, 3, 0, 4, 1, 3, 4, 4]
FORM = [("A", A, 11), ("A2", A2, 12), ("B", B, 13), ("A", A, 11)]

RHYTHMS = [
    [(0, 1), (1, 1), (2, 1.5), (3.5, 0.5)],
    [(0, 1.5), (1.5, 0.5), (2, 2)],
    [(0, 0.5), (0.5, 0.5), (1, 1), (2, 1), (3, 1)],
    [(0, 2), (2, 1), (3, 1)],
    [(0, 1), (1, 0.5), (1.5, 0.5), (2, 2)],
]


def degree_pitch(degree, base=ROOT):
    octave, step = divmod(degree, 7)
    return base + 12 * octave + SCALE[step]


def chord_tones(chord):
    return {chord % 7, (chord + 2) % 7, (chord + 4) % 7}


def melody_bar(rng, chord, last, final):
    notes = []
    rhythm = rng.choice(RHYTHMS) if not final else [(0, 2), (2, 2)]
    for i, (start, length) in enumerate(rhythm):
        strong = start in (0, 2)
        candidates = [d for d in range(last - 3, last + 4) if 0 <= d <= 11]
        if strong:
            candidates = [d for d in candidates if d % 7 in chord_tones(chord)] or candidates
        weights = [4 if abs(d - last) <= 1 else 2 if abs(d - last) == 2 else 1 for d in candidates]
        degree = rng.choices(candidates, weights)[0]
        if final and i == len(rhythm) - 1:
            degree = 4  # rests on the fifth, leading back to the tonic at the seam
        notes.append((start, length, degree))
        last = degree
    return notes, last


def compose(midi):
    song = midi.Song(BPM, 32 * 4)
    lead = song.track("Marimba", 0, 12, volume=96, pan=70)
    guitar = song.track("Guitar", 1, 24, volume=70, pan=44)
    pad = song.track("Strings", 2, 48, volume=46, pan=64)
    bass = song.track("Bass", 3, 32, volume=92, pan=60)
    drums = song.track("Percussion", 9, 0, volume=54, pan=64)

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
                lead.note(t + start, length * 0.9, degree_pitch(degree, ROOT + 12 - 12), 84 if start == 0 else 70)
            root = degree_pitch(chord, ROOT - 12)
            triad = [degree_pitch(chord + k, ROOT - 12) for k in (0, 2, 4)]
            for k, p in enumerate([triad[0], triad[1], triad[2], triad[1]] * 2):
                guitar.note(t + k * 0.5, 0.5, p, 58 if k % 2 else 66)
            for p in triad:
                pad.note(t, 4, p + 12, 50)
            fifth = degree_pitch(chord + 4, ROOT - 24)
            for start, p in ((0, root - 12), (1.5, fifth), (2, root - 12), (3, fifth)):
                bass.note(t + start, 0.9 if start != 1.5 else 0.45, p, 84)
            for beat in range(4):
                drums.note(t + beat, 0.25, 42, 44)           # closed hat on the beat
                drums.note(t + beat + 0.5, 0.25, 42, 30)     # softer off-beat
            drums.note(t, 0.5, 36, 60)
            drums.note(t + 2, 0.5, 37, 46)                    # side stick
        bar += len(chords)
    return song
