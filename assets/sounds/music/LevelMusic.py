"""The level music's composer, shared by the GameMusicSetting<n> generators:
a loop of 32 bars (A B A B) a little busier than the menu music, with a lead
over a chord comp, a bass line and a steady beat. Each setting passes its own
key, tempo, instruments and seed."""
import random

SCALE = [0, 2, 4, 5, 7, 9, 11]
A = [0, 3, 4, 0, 5, 3, 4, 4]
B = [3, 4, 0, 5, 1, 4, 0, 4]


def pitch(degree, base):
    octave, step = divmod(degree, 7)
    return base + 12 * octave + SCALE[step]


def compose_level(midi, bpm, root, lead_program, comp_program, seed):
    form = [A, B, A, B]
    song = midi.Song(bpm, 4 * 8 * len(form))
    lead = song.track("Lead", 0, lead_program, volume=92, pan=72)
    comp = song.track("Comp", 1, comp_program, volume=66, pan=48)
    bass = song.track("Bass", 2, 33, volume=90, pan=60)
    drums = song.track("Drums", 9, 0, volume=58, pan=64)
    rng = random.Random(seed)
    bar, last = 0, 4
    for phrase in form:
        for i, chord in enumerate(phrase):
            t = bar * 4
            final = bar == 4 * 8 * len(form) // 4 - 1
            steps = [0, 1, 1.5, 2, 3] if not final else [0, 2]
            for k, start in enumerate(steps):
                length = (steps[k + 1] if k + 1 < len(steps) else 4) - start
                tones = [chord % 7, (chord + 2) % 7, (chord + 4) % 7]
                choices = [d for d in range(last - 2, last + 3) if 0 <= d <= 11]
                if start in (0, 2):
                    choices = [d for d in choices if d % 7 in tones] or choices
                last = 4 if final and k == len(steps) - 1 else rng.choice(choices)
                lead.note(t + start, length * 0.85, pitch(last, root), 80 if start in (0, 2) else 66)
            triad = [pitch(chord + k, root - 12) for k in (0, 2, 4)]
            for beat in (0.5, 1.5, 2.5, 3.5):
                for p in triad:
                    comp.note(t + beat, 0.4, p, 56)
            base = pitch(chord, root - 24)
            for start, p in ((0, base), (1, base + 7), (2, base + 12), (3, base + 7)):
                bass.note(t + start, 0.8, p, 82)
            for beat in range(4):
                drums.note(t + beat, 0.25, 42, 46)
                drums.note(t + beat + 0.5, 0.25, 42, 32)
            drums.note(t, 0.5, 36, 64)
            drums.note(t + 2, 0.5, 38, 52)
            drums.note(t + 2.5, 0.5, 36, 48)
            bar += 1
    return song
