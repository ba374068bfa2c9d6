#!/usr/bin/python3
"""Renders a music generator into a seamlessly looping Ogg Vorbis file.

The generator is a Python file with `compose(midi)` returning a midi.Song. The
song is written as MIDI, rendered with FluidSynth and the given SoundFont,
and cut to exactly its length in beats; what rings on past the end (release
tails, reverb) is mixed back onto the start, so the loop joins without a gap
or a click. The result is normalised and encoded at oggenc -q 4, 44.1 kHz
stereo.
"""
import importlib.util
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import midi  # noqa: E402


def run(*args):
    subprocess.run(list(args), check=True, stdout=subprocess.DEVNULL)


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_music.py <generator.music.py> <soundfont.sf2> <out.ogg>")
    generator, soundfont, out = sys.argv[1:]
    # A generator may import a shared composer that stands beside it.
    sys.path.insert(0, os.path.dirname(os.path.abspath(generator)))
    spec = importlib.util.spec_from_file_location("generator", generator)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    song = module.compose(midi)
    length = song.seconds()
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        mid = os.path.join(tmp, "song.mid")
        raw = os.path.join(tmp, "raw.wav")
        body = os.path.join(tmp, "body.wav")
        tail = os.path.join(tmp, "tail.wav")
        looped = os.path.join(tmp, "looped.wav")
        song.write(mid)
        run("fluidsynth", "-ni", "-q", "-g", "0.8", "-r", "44100", "-F", raw, soundfont, mid)
        # Enough silence after the song that the tail is whole.
        run("sox", raw, body, "trim", "0", f"{length}")
        run("sox", raw, tail, "trim", f"{length}")
        run("sox", "-m", "-v", "1", body, "-v", "1", tail, "-r", "44100", "-c", "2", "-b", "16", looped,
            "trim", "0", f"{length}", "gain", "-n", "-1")
        run("oggenc", "-Q", "-q", "4", "-o", out, looped)


if __name__ == "__main__":
    main()
