"""The map's backdrop, MapBackground (1024 x 768; run by
tools/content/write_variants.py): a spring town on the left, a seaside with
a beach, a pier and boats on the right, and the road that joins the level
locations. The road passes under the three platforms the scene places at
(220, 440), (486, 312) and (776, 392) and runs on to the top edge, where
later places will be."""
from svgart import shade

W, H = 1024, 768
GRASS, GRASS_DARK = "#7BC043", "#5E9A30"
ROAD, MARK = "#8C8C8C", "#F2F2F2"
WATER, DEEP, SAND = "#4FB3E8", "#2E86C1", "#F4D58D"

COAST = "M1024 130 C940 230 900 330 860 420 C820 500 700 560 640 630 C600 680 560 720 540 768 L1024 768 Z"
ROAD_PATH = ("M-20 612 C70 560 140 455 220 440 C320 420 380 320 486 312 "
             "C600 304 700 420 776 392 C850 366 760 220 712 150 C680 100 700 40 730 -20")

DEFS = """<defs>
    <filter id="shadow" x="-30%" y="-30%" width="170%" height="170%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="3" dy="4"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>
    <linearGradient id="sea" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="{water}"/>
      <stop offset="1" stop-color="{deep}"/>
    </linearGradient>
  </defs>"""

# (x, y, width, wall height, wall colour, roof colour)
HOUSES = [
    (40, 470, 60, 34, "#F6E7C8", "#D9643A"), (116, 486, 48, 30, "#C8553D", "#4A6274"),
    (60, 540, 70, 36, "#F6E7C8", "#2A9D8F"), (150, 560, 52, 30, "#B8B0A5", "#D9643A"),
    (250, 520, 64, 34, "#F6E7C8", "#4A6274"), (330, 470, 50, 30, "#C8553D", "#D9643A"),
    (300, 600, 58, 32, "#F6E7C8", "#D9643A"), (380, 560, 46, 28, "#F6E7C8", "#2A9D8F"),
    (60, 160, 56, 32, "#F6E7C8", "#D9643A"), (140, 200, 48, 30, "#C8553D", "#4A6274"),
    (80, 250, 64, 34, "#F6E7C8", "#2A9D8F"), (250, 170, 52, 30, "#B8B0A5", "#D9643A"),
    (560, 420, 54, 32, "#F6E7C8", "#D9643A"), (610, 470, 46, 28, "#C8553D", "#2A9D8F"),
    (520, 520, 58, 34, "#F6E7C8", "#4A6274"),
]
TREES = [
    (200, 300, 18), (230, 330, 14), (300, 250, 16), (350, 210, 20), (400, 180, 15), (440, 230, 17),
    (520, 160, 19), (570, 200, 15), (600, 130, 17), (480, 110, 14), (380, 120, 16), (300, 110, 13),
    (30, 350, 15), (60, 380, 18), (110, 340, 13), (20, 660, 16), (90, 640, 14), (220, 660, 17),
    (420, 640, 15), (470, 600, 18), (470, 700, 14), (660, 300, 16), (620, 250, 13),
    (820, 260, 14), (860, 170, 15), (900, 100, 13), (170, 120, 14), (24, 120, 16),
]
UMBRELLAS = [(760, 540, "#F08A5D"), (820, 488, "#F9C74F"), (700, 600, "#8E7DBE"), (880, 420, "#F08A5D")]
BOATS = [(900, 640, "#F6E7C8"), (960, 300, "#F9C74F"), (820, 700, "#F08A5D")]


def house(x, y, w, h, wall, roof):
    line, roof_line = shade(wall, 0.65), shade(roof, 0.7)
    windows = "".join('<rect x="{}" y="{}" width="8" height="8" rx="1" fill="#4FB3E8" stroke="{}" stroke-width="1"/>'
                      .format(x + wx, y + 8, line) for wx in range(8, w - 12, 18))
    return ('<g filter="url(#shadow)">'
            '<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="2" fill="{wall}" stroke="{line}" stroke-width="2"/>'
            '<rect x="{sx}" y="{y}" width="{sw}" height="{h}" fill="{side}"/>'
            '<polygon points="{x0},{y} {mx},{top} {x1},{y}" fill="{roof}" stroke="{rline}" stroke-width="2" '
            'stroke-linejoin="round"/>{windows}'
            '<rect x="{dx}" y="{dy}" width="8" height="12" fill="{rline}"/></g>').format(
        x=x, y=y, w=w, h=h, wall=wall, line=line, sx=x + w * 0.7, sw=w * 0.3 - 1, side=shade(wall, 0.85),
        x0=x - 5, x1=x + w + 5, mx=x + w / 2, top=y - h * 0.6, roof=roof, rline=roof_line, windows=windows,
        dx=x + w / 2 - 4, dy=y + h - 12)


def tree(x, y, r):
    return ('<g filter="url(#shadow)"><rect x="{tx}" y="{y}" width="6" height="{th}" fill="#8B5A2B"/>'
            '<circle cx="{x}" cy="{y}" r="{r}" fill="{crown}" stroke="{line}" stroke-width="2"/>'
            '<circle cx="{hx}" cy="{hy}" r="{hr}" fill="{light}"/></g>').format(
        x=x, y=y, r=r, tx=x - 3, th=r + 6, crown=GRASS_DARK, line=shade(GRASS_DARK, 0.7),
        hx=x - r * 0.35, hy=y - r * 0.35, hr=r * 0.35, light=shade(GRASS, 1.15))


def umbrella(x, y, colour):
    return ('<g filter="url(#shadow)"><rect x="{lx}" y="{y}" width="2" height="14" fill="#6B4A2B"/>'
            '<path d="M{l} {y} A12 8 0 0 1 {r} {y} Z" fill="{c}" stroke="{line}" stroke-width="1.5"/></g>').format(
        lx=x - 1, y=y, l=x - 12, r=x + 12, c=colour, line=shade(colour, 0.7))


def boat(x, y, sail):
    return ('<g filter="url(#shadow)"><path d="M{a} {y} L{b} {y} L{c} {d} L{e} {d} Z" fill="#C8553D" '
            'stroke="{hl}" stroke-width="1.5"/><polygon points="{x},{t} {x},{m} {s},{m}" fill="{sail}" '
            'stroke="{sl}" stroke-width="1.5"/></g>').format(
        a=x - 18, b=x + 18, c=x + 12, d=y + 8, e=x - 12, y=y, x=x, t=y - 26, m=y - 2, s=x + 16, sail=sail,
        sl=shade(sail, 0.7), hl=shade("#C8553D", 0.7))


def waves():
    out = []
    for (x, y) in [(900, 500), (960, 420), (980, 560), (760, 680), (950, 700), (1000, 250), (870, 600)]:
        out.append('<path d="M{} {} q8 -6 16 0 t16 0" fill="none" stroke="#FFFFFF" stroke-opacity="0.6" '
                   'stroke-width="2" stroke-linecap="round"/>'.format(x, y))
    return "".join(out)


def background():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="{}" height="{}" viewBox="0 0 {} {}">'.format(W, H, W, H),
             DEFS.format(water=WATER, deep=DEEP),
             '<rect width="{}" height="{}" fill="{}"/>'.format(W, H, GRASS)]
    # Meadows a shade darker break up the grass.
    for (cx, cy, rx, ry) in [(160, 260, 150, 90), (420, 640, 170, 80), (560, 180, 140, 70), (90, 620, 110, 60)]:
        parts.append('<ellipse cx="{}" cy="{}" rx="{}" ry="{}" fill="{}" opacity="0.35"/>'.format(
            cx, cy, rx, ry, GRASS_DARK))
    # The beach is the outer half of a wide sand edge round the sea.
    parts.append('<path d="{}" fill="{}" stroke="{}" stroke-width="70" stroke-linejoin="round"/>'.format(
        COAST, SAND, SAND))
    parts.append('<path d="{}" fill="url(#sea)" stroke="{}" stroke-width="3"/>'.format(COAST, shade(WATER, 0.8)))
    parts.append(waves())
    # A pier from the beach into the sea.
    parts.append('<g filter="url(#shadow)"><rect x="648" y="660" width="110" height="14" fill="#B07A48" '
                 'stroke="#7E5430" stroke-width="2" transform="rotate(-22 648 667)"/></g>')
    parts.extend(boat(*b) for b in BOATS)
    parts.extend(umbrella(*u) for u in UMBRELLAS)
    # The road: a darker kerb, the surface, the centre markings.
    parts.append('<path d="{}" fill="none" stroke="{}" stroke-width="36" stroke-linecap="round"/>'.format(
        ROAD_PATH, shade(ROAD, 0.75)))
    parts.append('<path d="{}" fill="none" stroke="{}" stroke-width="30" stroke-linecap="round"/>'.format(
        ROAD_PATH, ROAD))
    parts.append('<path d="{}" fill="none" stroke="{}" stroke-width="3" stroke-dasharray="14 12"/>'.format(
        ROAD_PATH, MARK))
    parts.extend(house(*h) for h in HOUSES)
    parts.extend(tree(*t) for t in TREES)
    parts.append("</svg>\n")
    return "\n".join(parts)


def variants():
    return {"MapBackground.svg": background()}
