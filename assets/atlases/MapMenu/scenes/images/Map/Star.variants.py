"""The map's rank stars GoldStar and SilverStar: one star in two metals
(run by tools/content/write_variants.py), 32 x 32 to stand on a platform."""

STARS = {"GoldStar": ("#F9C74F", "#D9A52F"), "SilverStar": ("#DCE3EA", "#9AA8B5")}
SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 48 48">
  <path d="M24 3 L30 17 L45 18 L34 28 L37 43 L24 35 L11 43 L14 28 L3 18 L18 17 Z" fill="{fill}" stroke="{line}" stroke-width="2" stroke-linejoin="round"/>
</svg>
"""


def variants():
    return {name + ".svg": SVG.format(fill=fill, line=line) for name, (fill, line) in STARS.items()}
