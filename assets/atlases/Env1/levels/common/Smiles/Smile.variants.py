"""The guests' mood faces Red, Green and Blue: one round face in three
colours (run by tools/content/write_variants.py)."""

FACES = {"Red": ("#F08A5D", "#C96A41"), "Green": ("#7BC043", "#5E9A30"), "Blue": ("#4FB3E8", "#2E86C1")}
SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="28" height="28" viewBox="0 0 28 28">
  <circle cx="14" cy="14" r="12" fill="{fill}" stroke="{line}" stroke-width="2"/>
  <circle cx="10" cy="11" r="1.8" fill="#2D2A26"/><circle cx="18" cy="11" r="1.8" fill="#2D2A26"/>
  <path d="M8.5 16.5 Q14 21.5 19.5 16.5" fill="none" stroke="#2D2A26" stroke-width="2" stroke-linecap="round"/>
</svg>
"""


def variants():
    return {name + ".svg": SVG.format(fill=fill, line=line) for name, (fill, line) in FACES.items()}
