"""The map's location art (run by tools/content/write_variants.py):

- Platform, Platform(Grey), Platform(Red), Platform(Green): the round stand a
  location's star hovers over, plain (playable), grey (locked), red
  (required upgrades missing) and green (mini-game), 64 x 35 in view from
  above at the map's angle (small enough for 39 locations on one screen);
- Selector: the ring drawn round the platform of the chosen location;
- O and N: the hint's signs for a required upgrade bought (a tick) and not
  yet bought (a cross);
- HintArrowDown, HintArrowLeft, HintArrowRight: the tails that join a hint
  window to its location;
- Tag: the small plate under a location that carries its name (112 x 24);
  TagMiniGame: the violet plate of a mini-game location, 128 x 24, with a
  puzzle badge at its left end.
"""
from svgart import shade

SHADOW = """<filter id="shadow" x="-20%" y="-30%" width="150%" height="170%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="3" dy="4"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>"""

PLATFORMS = {
    "Platform": "#F6E7C8",
    "Platform(Grey)": "#B8B0A5",
    "Platform(Red)": "#E0604A",
    "Platform(Green)": "#7BC043",
}

PLATFORM = """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="35" viewBox="0 0 96 52">
  <defs>{shadow}</defs>
  <g filter="url(#shadow)">
    <ellipse cx="45" cy="28" rx="42" ry="18" fill="{side}" stroke="{line}" stroke-width="2"/>
    <ellipse cx="45" cy="21" rx="42" ry="18" fill="{top}" stroke="{line}" stroke-width="2"/>
    <ellipse cx="45" cy="21" rx="28" ry="11" fill="none" stroke="{ring}" stroke-width="3"/>
  </g>
</svg>
"""

SELECTOR = """<svg xmlns="http://www.w3.org/2000/svg" width="80" height="46" viewBox="0 0 112 64">
  <ellipse cx="56" cy="32" rx="52" ry="27" fill="none" stroke="#FFFFFF" stroke-width="6" stroke-opacity="0.9"/>
  <ellipse cx="56" cy="32" rx="52" ry="27" fill="none" stroke="#F9A03F" stroke-width="3" stroke-dasharray="14 8"/>
</svg>
"""

SIGN = """<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24">
  <circle cx="12" cy="12" r="10" fill="{fill}" stroke="{line}" stroke-width="2"/>
  <path d="{mark}" fill="none" stroke="#FFFFFF" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>
</svg>
"""

ARROWS = {
    # name: (width, height, triangle, the edge that meets the panel)
    "HintArrowDown": (28, 20, "0,0 28,0 14,18", "M0 1 L28 1"),
    "HintArrowLeft": (20, 28, "20,0 20,28 2,14", "M19 0 L19 28"),
    "HintArrowRight": (20, 28, "0,0 0,28 18,14", "M1 0 L1 28"),
}

ARROW = """<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">
  <polygon points="{points}" fill="#FFF8EC" stroke="#C7A46B" stroke-width="2" stroke-linejoin="round"/>
  <path d="{edge}" stroke="#FFF8EC" stroke-width="3"/>
</svg>
"""


TAG = """<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="30" viewBox="0 0 {w} 30">
  <defs>{shadow}</defs>
  <rect x="1" y="1" width="{rw}" height="24" rx="10" fill="{fill}" stroke="{line}" stroke-width="2"
        filter="url(#shadow)"/>{badge}
</svg>
"""

# A puzzle piece on a violet disc: the mini-game mark at the plate's left end.
BADGE = """
  <circle cx="13" cy="13" r="10" fill="#8E7DBE" stroke="{line}" stroke-width="1.5"/>
  <path d="M8 9 h3 a2 2 0 1 1 4 0 h2 v3 a2 2 0 1 1 0 4 v3 h-9 z" fill="#FFF8EC"/>"""


def variants():
    files = {}
    for name, top in PLATFORMS.items():
        files[name + ".svg"] = PLATFORM.format(shadow=SHADOW, top=top, side=shade(top, 0.8),
                                               line=shade(top, 0.6), ring=shade(top, 0.88))
    files["Selector.svg"] = SELECTOR
    files["O.svg"] = SIGN.format(fill="#2E8B57", line=shade("#2E8B57", 0.7), mark="M7 12.5 L10.5 16 L17 8.5")
    files["N.svg"] = SIGN.format(fill="#C0392B", line=shade("#C0392B", 0.7), mark="M8 8 L16 16 M16 8 L8 16")
    for name, (w, h, points, edge) in ARROWS.items():
        files[name + ".svg"] = ARROW.format(w=w, h=h, points=points, edge=edge)
    files["Tag.svg"] = TAG.format(shadow=SHADOW, w=118, rw=112, fill="#FFF8EC", line="#C7A46B", badge="")
    violet = shade("#8E7DBE", 1.75)
    files["TagMiniGame.svg"] = TAG.format(shadow=SHADOW, w=134, rw=128, fill=violet, line=shade("#8E7DBE", 0.8),
                                          badge=BADGE.format(line=shade("#8E7DBE", 0.7)))
    return files
