"""Level music of setting 3: hills in autumn, 96 BPM in E major, a warm flute over a nylon-guitar comp.
The composition is LevelMusic.py's."""
import LevelMusic


def compose(midi):
    return LevelMusic.compose_level(midi, 96, 76, 73, 24, 33)
