"""Level music of setting 4: winter, 100 BPM in C major, a celesta over a string comp. The
composition is LevelMusic.py's."""
import LevelMusic


def compose(midi):
    return LevelMusic.compose_level(midi, 100, 72, 8, 48, 44)
