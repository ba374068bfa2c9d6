#!/usr/bin/python3
"""Tunes the levels' targets with the reference player: plays each level and
scales its money, income and guests targets until the player's time lies
near the curve's time for that level (five minutes at level 4, rising by
eight seconds a level), then writes the factors to level_scale.py and the
level files through write_level_world.py. Levels 1 and 2 stay as written.

  python3 tools/content/tune_levels.py <refplayer> <built assets folder> [level ...]

The assets folder is a built content tree; the level files are copied into
it before each run.
"""
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..", "assets")
sys.path.insert(0, HERE)


def target_seconds(level):
    return 300 + (level - 4) * 8


def write_scale(scale):
    with open(os.path.join(HERE, "level_scale.py"), "w") as f:
        f.write('"""Written by tools/content/tune_levels.py: the factor of each level\'s targets."""\n')
        f.write("SCALE = {\n")
        for level in sorted(scale):
            f.write("    %d: %.3g,\n" % (level, scale[level]))
        f.write("}\n")


def play(refplayer, assets, level):
    subprocess.run([sys.executable, os.path.join(HERE, "write_level_world.py")], check=True)
    folder = os.path.join(assets, "levels", "level%d" % level)
    os.makedirs(folder, exist_ok=True)
    for name in ("LevelConfiguration.xml", "Level.oscn", "LevelPaths.xml"):
        shutil.copy(os.path.join(ROOT, "levels", "level%d" % level, name), folder)
    out = subprocess.run([refplayer, assets, "level%d" % level], capture_output=True, text=True).stdout
    m = re.search(r"^level%d\s+(\S+)\s+(\d+):(\d+)" % level, out, re.M)
    return m.group(1) == "yes", int(m.group(2)) * 60 + int(m.group(3))


def main():
    refplayer, assets = sys.argv[1], sys.argv[2]
    import level_table
    levels = [int(a.replace("level", "")) for a in sys.argv[3:]] or [n for n in level_table.LEVELS if n > 2]
    scale = dict(level_table.SCALE)
    for level in levels:
        target = target_seconds(level)
        tried = []  # (distance from the aim, factor) of the won runs
        for _ in range(8):
            write_scale(scale)
            won, seconds = play(refplayer, assets, level)
            factor = scale.get(level, 1.0)
            print("level%d x%.3g: %s %d s (aim %d s)" % (level, factor, "won" if won else "lost", seconds, target))
            if won:
                tried.append((abs(seconds - target), factor))
            if won and 0.8 * target <= seconds <= 1.2 * target:
                break
            if not won or seconds > 1.2 * target:
                scale[level] = factor * 0.8
            else:
                scale[level] = factor * min(2.0, max(1.15, (target / max(seconds, 10)) ** 0.7))
        # The times jump with whole days: keep the won run nearest the aim.
        scale[level] = min(tried)[1] if tried else scale.get(level, 1.0) * 0.8
        if abs(scale[level] - 1.0) < 0.01:
            del scale[level]
        write_scale(scale)
    subprocess.run([sys.executable, os.path.join(HERE, "write_level_world.py")], check=True)


if __name__ == "__main__":
    main()
