#!/usr/bin/python3
"""Synthesises one sound effect from a recipe with sox.

A recipe is a text file of lines (blank lines and '#' comments are skipped):
  layer: <sox arguments after the input>   one synthesised layer, e.g.
                                           "synth 0.08 sine 880 fade q 0.002 0.08 0.07"
  effects: <sox effects>                    applied to the mix of the layers
  loop: <seconds>                           a seamless loop of that length: the
                                           layers must be longer; the overhang
                                           is cross-faded into the start
  peak: <dBFS>                              the normalised peak (default -3)
The output is 44.1 kHz, mono, 16-bit PCM. One-shot sounds get 5 ms fades at
both ends so they start and stop without a click.
"""
import os
import shlex
import subprocess
import sys
import tempfile


def sox(*args):
    subprocess.run(["sox", *args], check=True)


def seconds_of(path):
    out = subprocess.run(["soxi", "-D", path], check=True, capture_output=True, text=True).stdout
    return float(out.strip())


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_sound.py <recipe.sfx> <out.wav>")
    recipe, out = sys.argv[1], sys.argv[2]
    layers, effects, loop, peak = [], [], None, "-3"
    with open(recipe, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            key, _, value = line.partition(":")
            key, value = key.strip(), value.strip()
            if key == "layer":
                layers.append(shlex.split(value))
            elif key == "effects":
                effects += shlex.split(value)
            elif key == "loop":
                loop = float(value)
            elif key == "peak":
                peak = value
            else:
                sys.exit(f"{recipe}: unknown line '{line}'")
    if not layers:
        sys.exit(f"{recipe}: no layer")
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    fmt = ["-r", "44100", "-c", "1", "-b", "16"]
    # Intermediate files are floating point, so loud layers never clip
    # before the final normalisation.
    work = ["-r", "44100", "-c", "1", "-e", "floating-point", "-b", "32"]
    with tempfile.TemporaryDirectory() as tmp:
        parts = []
        for i, layer in enumerate(layers):
            part = os.path.join(tmp, f"layer{i}.wav")
            sox("-n", *work, part, *layer)
            parts.append(part)
        mixed = os.path.join(tmp, "mixed.wav")
        if len(parts) == 1:
            sox(parts[0], *work, mixed, *effects)
        else:
            inputs = []
            for p in parts:
                inputs += ["-v", "0.5", p]
            sox("-m", *inputs, *work, mixed, *effects)
        if loop is None:
            sox(mixed, *fmt, out, "fade", "t", "0.005", "-0", "0.005", "gain", "-n", peak)
            return
        # s has length loop + x: out = s[x, x+loop) with its last x seconds faded
        # out, plus s[0, x) faded in over those same last x seconds. At the
        # wrap the sound goes on from s(x), where it started.
        overhang = seconds_of(mixed) - loop
        if overhang <= 0.05:
            sys.exit(f"{recipe}: the layers must be longer than the loop")
        body = os.path.join(tmp, "body.wav")
        head = os.path.join(tmp, "head.wav")
        joined = os.path.join(tmp, "joined.wav")
        sox(mixed, body, "trim", f"{overhang}", f"{loop}", "fade", "t", "0", f"{loop}", f"{overhang}")
        sox(mixed, head, "trim", "0", f"{overhang}", "fade", "t", f"{overhang}", "pad", f"{loop - overhang}")
        sox("-m", "-v", "1", body, "-v", "1", head, *work, joined)
        sox(joined, *fmt, out, "gain", "-n", peak)


if __name__ == "__main__":
    main()
