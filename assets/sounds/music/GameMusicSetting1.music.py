"""Level music of setting 1: town in spring, 112 BPM in C major, vibraphone over a piano comp. The
composition is LevelMusic.py's."""
import LevelMusic


def compose(midi):
    return LevelMusic.compose_level(midi, 112, 72, 11, 0, 21)
