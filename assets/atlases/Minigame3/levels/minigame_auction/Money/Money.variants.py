"""The auction's sums of money, 1 (smallest) to 6 (largest), each plain and
hovered ("<v>over"): a coin, a stack of coins, a banknote, a fan of notes, a
money bag and a chest of gold. No writing on them: the game mirrors them at
random. The hovered picture stands on a warm glow (run by
tools/content/write_variants.py)."""
from svgart import shade

W, H = 200, 170
GOLD, GOLD_LINE = "#F9C74F", "#C99A2E"
NOTE, NOTE_LINE = "#8FD19E", "#2E8B57"
BAG, BAG_LINE = "#D9B382", "#9C7445"
WOOD, WOOD_LINE = "#A0673F", "#6B4129"

SHADOW = """<filter id="shadow" x="-20%" y="-20%" width="150%" height="150%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="3" dy="4"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>"""

GLOW = """<radialGradient id="glow" cx="50%" cy="55%" r="50%">
      <stop offset="0" stop-color="#FFF3C4" stop-opacity="0.95"/>
      <stop offset="0.6" stop-color="#F9C74F" stop-opacity="0.45"/>
      <stop offset="1" stop-color="#F9C74F" stop-opacity="0"/>
    </radialGradient>"""


def coin(cx, cy, r=22, fill=GOLD):
    """A coin seen from above: rim, inner ring and a shine."""
    return (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}" stroke="{GOLD_LINE}" stroke-width="2"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r * 0.68:.1f}" fill="none" stroke="{shade(fill, 0.85)}" stroke-width="2"/>'
            f'<path d="M{cx - r * 0.45:.1f} {cy - r * 0.2:.1f} A{r * 0.5:.1f} {r * 0.5:.1f} 0 0 1 {cx - r * 0.05:.1f} {cy - r * 0.55:.1f}" '
            f'fill="none" stroke="#FFFFFF" stroke-opacity="0.7" stroke-width="3" stroke-linecap="round"/>')


def coin_side(cx, cy, w=52, h=10):
    """A coin lying in a stack: its edge with a rim line."""
    return (f'<rect x="{cx - w / 2}" y="{cy}" width="{w}" height="{h}" rx="4" fill="{shade(GOLD, 0.9)}" stroke="{GOLD_LINE}" stroke-width="2"/>'
            f'<path d="M{cx - w / 2 + 5} {cy + h / 2} H{cx + w / 2 - 5}" stroke="#FFE9A8" stroke-width="2"/>')


def stack(cx, bottom, count):
    parts = [coin_side(cx, bottom - 10 * (i + 1)) for i in range(count)]
    top = bottom - 10 * count
    parts.append(f'<ellipse cx="{cx}" cy="{top}" rx="26" ry="9" fill="{GOLD}" stroke="{GOLD_LINE}" stroke-width="2"/>')
    return "".join(parts)


def note(x, y, w=120, h=64, angle=0):
    """A banknote: a green bill with an oval medallion and corner marks."""
    cx, cy = x + w / 2, y + h / 2
    return (f'<g transform="rotate({angle} {cx} {cy})">'
            f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="6" fill="{NOTE}" stroke="{NOTE_LINE}" stroke-width="2"/>'
            f'<rect x="{x + 7}" y="{y + 7}" width="{w - 14}" height="{h - 14}" rx="4" fill="none" stroke="{shade(NOTE, 0.8)}" stroke-width="2"/>'
            f'<ellipse cx="{cx}" cy="{cy}" rx="{h * 0.3:.1f}" ry="{h * 0.3:.1f}" fill="{shade(NOTE, 1.35)}" stroke="{NOTE_LINE}" stroke-width="2"/>'
            f'<circle cx="{x + 18}" cy="{y + 18}" r="5" fill="{NOTE_LINE}"/>'
            f'<circle cx="{x + w - 18}" cy="{y + h - 18}" r="5" fill="{NOTE_LINE}"/>'
            '</g>')


def bag(cx, bottom):
    """A full money bag tied at the neck, a coin leaning on it."""
    top = bottom - 118
    return (f'<path d="M{cx - 16} {top + 30} Q{cx - 62} {top + 60} {cx - 56} {bottom - 22} Q{cx - 50} {bottom} {cx} {bottom} '
            f'Q{cx + 50} {bottom} {cx + 56} {bottom - 22} Q{cx + 62} {top + 60} {cx + 16} {top + 30} Z" '
            f'fill="{BAG}" stroke="{BAG_LINE}" stroke-width="2"/>'
            f'<path d="M{cx - 16} {top + 30} L{cx - 26} {top + 6} Q{cx} {top + 16} {cx + 26} {top + 6} L{cx + 16} {top + 30} Z" '
            f'fill="{shade(BAG, 0.9)}" stroke="{BAG_LINE}" stroke-width="2"/>'
            f'<rect x="{cx - 20}" y="{top + 26}" width="40" height="9" rx="4" fill="{NOTE_LINE}" stroke="{shade(NOTE_LINE, 0.7)}" stroke-width="2"/>'
            f'<path d="M{cx - 36} {top + 62} Q{cx - 44} {bottom - 40} {cx - 30} {bottom - 16}" fill="none" stroke="#FFFFFF" '
            f'stroke-opacity="0.45" stroke-width="5" stroke-linecap="round"/>'
            f'<circle cx="{cx + 4}" cy="{bottom - 48}" r="20" fill="{GOLD}" stroke="{GOLD_LINE}" stroke-width="2"/>'
            f'<circle cx="{cx + 4}" cy="{bottom - 48}" r="13" fill="none" stroke="{shade(GOLD, 0.85)}" stroke-width="2"/>'
            + coin(cx + 58, bottom - 14, 14))


def chest(cx, bottom):
    """An open chest heaped with gold coins, bars in front."""
    w, h = 150, 62
    x, y = cx - w / 2, bottom - h
    heap = "".join(coin(cx + dx, y - 4 + dy, 15) for dx, dy in
                   ((-48, 4), (-24, -8), (0, -14), (24, -8), (48, 4), (-36, -24), (-10, -30), (16, -28), (40, -18)))
    return (f'<path d="M{x + 4} {y - 8} Q{cx} {y - 66} {x + w - 4} {y - 8} Z" fill="{shade(WOOD, 0.85)}" stroke="{WOOD_LINE}" stroke-width="2"/>'
            + heap +
            f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="8" fill="{WOOD}" stroke="{WOOD_LINE}" stroke-width="2"/>'
            f'<rect x="{x}" y="{y + 8}" width="{w}" height="9" fill="{GOLD}" stroke="{GOLD_LINE}" stroke-width="2"/>'
            f'<rect x="{cx - 12}" y="{y + 20}" width="24" height="26" rx="4" fill="{GOLD}" stroke="{GOLD_LINE}" stroke-width="2"/>'
            f'<circle cx="{cx}" cy="{y + 31}" r="4" fill="{WOOD_LINE}"/>'
            f'<path d="M{x + 14} {y + 26} V{y + h - 10} M{x + w - 14} {y + 26} V{y + h - 10}" stroke="{shade(WOOD, 1.2)}" '
            'stroke-width="4" stroke-linecap="round"/>')


def picture(value):
    cx, bottom = W / 2, H - 14
    if value == 1:
        return coin(cx, H / 2 + 6, 34)
    if value == 2:
        return stack(cx - 34, bottom - 8, 3) + stack(cx + 30, bottom, 5) + coin(cx + 2, bottom - 22, 18)
    if value == 3:
        return note(cx - 70, H / 2 - 28, 140, 72, -6)
    if value == 4:
        return (note(cx - 76, H / 2 - 40, 132, 70, -16) + note(cx - 64, H / 2 - 32, 132, 70, -4)
                + note(cx - 54, H / 2 - 22, 132, 70, 9) + coin(cx + 56, bottom - 6, 16))
    if value == 5:
        return bag(cx, bottom)
    return chest(cx, bottom)


def svg(value, over):
    back = f'<ellipse cx="{W / 2}" cy="{H / 2 + 4}" rx="{W / 2 - 2}" ry="{H / 2 - 2}" fill="url(#glow)"/>' if over else ""
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" viewBox="0 0 {W} {H}">
  <defs>
    {SHADOW}
    {GLOW}
  </defs>
  {back}
  <g filter="url(#shadow)">{picture(value)}</g>
</svg>
"""


def variants():
    files = {}
    for value in range(1, 7):
        files[f"{value}.svg"] = svg(value, False)
        files[f"{value}over.svg"] = svg(value, True)
    return files
