"""Level music of setting 1: town in spring, 112 BPM in C major, vibraphone over a piano comp. The
composition is LevelMusic.py's."""
import importlib.util
import os

_spec = importlib.util.spec_from_file_location("LevelMusic", os.path.join(os.path.dirname(__file__), "LevelMusic.py"))
LevelMusic = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(LevelMusic)


def compose(midi):
    return LevelMusic.compose_level(midi, 112, 72, 11, 0, 21)
