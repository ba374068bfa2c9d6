"""Level music of setting 2: seaside, 104 BPM in D major, steel guitar over a marimba comp. The
composition is LevelMusic.py's."""
import importlib.util
import os

_spec = importlib.util.spec_from_file_location("LevelMusic", os.path.join(os.path.dirname(__file__), "LevelMusic.py"))
LevelMusic = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(LevelMusic)


def compose(midi):
    return LevelMusic.compose_level(midi, 104, 74, 25, 12, 22)
