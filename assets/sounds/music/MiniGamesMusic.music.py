"""Mini-game music: light and playful, 112 BPM in G major, a vibraphone lead
over a harp comp. The composition is LevelMusic.py's."""
import LevelMusic


def compose(midi):
    return LevelMusic.compose_level(midi, 112, 67, 11, 46, 31)
