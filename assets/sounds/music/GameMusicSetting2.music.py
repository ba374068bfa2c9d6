"""Level music of setting 2: seaside, 104 BPM in D major, steel guitar over a marimba comp. The
composition is LevelMusic.py's."""
import LevelMusic


def compose(midi):
    return LevelMusic.compose_level(midi, 104, 74, 25, 12, 22)
