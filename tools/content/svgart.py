"""Colour helpers shared by the SVG variants generators (importable from a
generator that tools/content/write_variants.py runs)."""


def shade(colour, factor):
    """The colour "#RRGGBB" darkened (factor < 1) or lightened towards white
    (factor > 1)."""
    rgb = [int(colour[i:i + 2], 16) for i in (1, 3, 5)]
    if factor <= 1:
        rgb = [round(c * factor) for c in rgb]
    else:
        rgb = [round(c + (255 - c) * (factor - 1)) for c in rgb]
    return "#" + "".join("%02X" % max(0, min(255, c)) for c in rgb)
