"""The level world's pictures: every building kind at each of its levels, the
empty place, the construction site, the task vehicles, clouds, decorations
and the overlay icons (run by tools/content/write_variants.py).

Buildings are seen from the front and a little from above, standing on the
place's 140 x 56 footprint, which lies at x 10..150, y 112..168 of their
160 x 176 picture; templates put the picture at (-10, -112) of the place.
Light comes from the upper left: fronts take the base colour, right sides and
back roof slopes are darker. Every shape has a 2 px outline in a darker shade
of its fill, and each picture casts one soft shadow down and to the right.
"""
from svgart import circle, ellipse, fmt, line, path, poly, rect, shade


GRASS, GRASS_DARK = "#7BC043", "#5E9A30"
ROAD, MARK = "#8C8C8C", "#F2F2F2"
WATER, SAND = "#4FB3E8", "#F4D58D"
CREAM, BRICK, STONE = "#F6E7C8", "#C8553D", "#B8B0A5"
TERRACOTTA, SLATE, TEAL = "#D9643A", "#4A6274", "#2A9D8F"
SUN, CORAL, VIOLET = "#F9C74F", "#F08A5D", "#8E7DBE"
WOOD, GLASS = "#B07A4A", "#9FD3EE"

SHADOW = """<defs><filter id="shadow" x="-20%" y="-20%" width="140%" height="140%">
    <feGaussianBlur in="SourceAlpha" stdDeviation="3"/><feOffset dx="3" dy="4" result="blur"/>
    <feFlood flood-color="#000000" flood-opacity="0.25"/><feComposite in2="blur" operator="in"/>
    <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter></defs>"""


def stroke(d, colour, width=2):
    return '<path d="%s" fill="none" stroke="%s" stroke-width="%g" stroke-linecap="round"/>' % (d, colour, width)


def svg(width, height, body, shadow=True):
    inner = '<g filter="url(#shadow)">%s</g>' % body if shadow else body
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n%s\n</svg>\n'
            % (width, height, width, height, SHADOW if shadow else "", inner))


# ------------------------------------------------------------------ pieces

def box(x, yb, w, h, d, wall, top=None):
    """A block: front face x..x+w, bottom yb, height h; it reaches d back (up
    and half as far right). Top face in `top` (flat roof) when given."""
    k = d / 2
    out = [poly([(x + w, yb), (x + w, yb - h), (x + w + k, yb - h - d), (x + w + k, yb - d)], shade(wall, 0.82)),
           rect(x, yb - h, w, h, wall)]
    if top:
        out.append(poly([(x, yb - h), (x + w, yb - h), (x + w + k, yb - h - d), (x + k, yb - h - d)], top))
    return "".join(out)


def gable(x, yb, w, h, d, roof, wall, rise=16, over=4):
    """A pitched roof over a block of the same measures: the back slope, the
    gable end on the right and the front slope, ridge running left-right."""
    k = d / 2
    top = yb - h
    rx0, ry = x + k / 2, top - d / 2 - rise
    back = poly([(rx0 - over, ry), (x + w + k / 2 + over, ry), (x + w + k + over, top - d), (x + k - over, top - d)],
                shade(roof, 0.8))
    end = poly([(x + w, top), (x + w + k, top - d), (x + w + k / 2, ry)], shade(wall, 0.82))
    front = poly([(x - over, top + 3), (x + w + over, top + 3), (x + w + k / 2 + over, ry), (rx0 - over, ry)], roof)
    return back + end + front


def windows(x, y, cols, rows, gap_x, gap_y, w=10, h=12, frame=CREAM, glass=GLASS):
    out = []
    for r in range(rows):
        for c in range(cols):
            out.append(rect(x + c * gap_x, y + r * gap_y, w, h, glass, r=1.5, width=1.5))
            out.append(stroke("M%g %g h%g" % (x + c * gap_x + 1, y + r * gap_y + h / 2, w - 2), shade(glass, 1.35), 1))
    return "".join(out)


def door(x, y, w=12, h=18, colour=WOOD):
    return rect(x, y, w, h, colour, r=2) + circle(x + w - 3, y + h / 2, 1, SUN, width=0.5)


def sign(x, y, w, h, colour, text_colour="#FFFFFF", stripes=0):
    out = rect(x, y, w, h, colour, r=3)
    for i in range(stripes):
        out += stroke("M%g %g h%g" % (x + 5, y + 4 + i * 4, w - 10), text_colour, 1.5)
    return out


def tree(x, y, size=1.0, leaves=GRASS):
    """A round tree standing at (x, y)."""
    s = size
    return (rect(x - 2.5 * s, y - 12 * s, 5 * s, 12 * s, WOOD, r=1) +
            circle(x, y - 22 * s, 13 * s, shade(leaves, 0.9)) +
            circle(x - 5 * s, y - 25 * s, 7 * s, shade(leaves, 1.12), width=0) )


def pine(x, y, size=1.0, leaves="#4E9A3A"):
    s = size
    return (rect(x - 2 * s, y - 8 * s, 4 * s, 8 * s, WOOD, r=1) +
            poly([(x - 12 * s, y - 8 * s), (x + 12 * s, y - 8 * s), (x, y - 30 * s)], leaves) +
            poly([(x - 9 * s, y - 20 * s), (x + 9 * s, y - 20 * s), (x, y - 38 * s)], shade(leaves, 1.1)))


def bush(x, y, colour=GRASS):
    return (ellipse(x, y - 6, 11, 7, shade(colour, 0.9)) + circle(x - 4, y - 9, 4, shade(colour, 1.1), width=0))


def flowers(x, y, colour):
    return "".join(circle(x + dx, y + dy, 2.2, colour, width=1) for dx, dy in ((0, 0), (6, 2), (3, -4), (9, -3), (-4, 3)))


def tent(x, yb, w, h, colour):
    """A ridge tent seen from the front-left."""
    return (poly([(x + w / 2, yb - h), (x + w / 2 + 14, yb - h - 8), (x + w + 14, yb - 8), (x + w, yb)], shade(colour, 0.8)) +
            poly([(x, yb), (x + w / 2, yb - h), (x + w, yb)], colour) +
            poly([(x + w / 2 - 5, yb), (x + w / 2, yb - 12), (x + w / 2 + 5, yb)], shade(colour, 0.55)))


def campfire(x, y):
    return (ellipse(x, y, 8, 3, STONE, width=1.5) + path("M%g %g q4 -10 0 -16 q-4 6 -4 10 q0 6 4 6 z" % (x, y - 1), CORAL, 1) +
            path("M%g %g q2 -5 0 -8 q-2 3 -2 5 q0 3 2 3 z" % (x, y - 2), SUN, 1))


def lot(fill=GRASS, edge=None):
    """The place's footprint as a rounded lot."""
    return rect(12, 114, 136, 52, fill, r=10) if edge is None else rect(12, 114, 136, 52, fill, r=10) + edge


def parking(x, y, w):
    return rect(x, y, w, 14, ROAD, r=3) + "".join(stroke("M%g %g v8" % (x + 8 + i * 12, y + 3), MARK, 1.5)
                                                  for i in range(int((w - 8) / 12)))


# ------------------------------------------------------------------ buildings

def building_place():
    dashes = ('<rect x="16" y="118" width="128" height="44" rx="8" fill="none" stroke="%s" stroke-width="2" '
              'stroke-dasharray="7 5"/>' % shade(SAND, 0.7))
    stakes = "".join(rect(px, py, 4, 8, WOOD, r=1, width=1.5) for px, py in ((18, 116), (138, 116), (18, 152), (138, 152)))
    board = rect(101, 128, 3, 18, WOOD, r=1, width=1) + sign(94, 120, 18, 12, SUN, shade(SUN, 0.6), 2)
    return svg(160, 176, rect(12, 114, 136, 52, shade(SAND, 1.25), r=10) + dashes + stakes + board)


def camping(level):
    body = [lot(shade(GRASS, 1.08)), stroke("M20 150 C 50 140 90 158 140 146", shade(SAND, 0.95), 5)]
    body.append(tent(24, 142, 34, 26, CORAL))
    body.append(tent(68, 136, 30, 22, TEAL))
    body.append(campfire(66, 156))
    if level >= 2:
        body.append(tent(104, 148, 30, 24, SUN) if level == 2 else tent(110, 162, 26, 20, SUN))
        body.append(rect(30, 150, 14, 4, WOOD, r=1, width=1) + rect(82, 150, 14, 4, WOOD, r=1, width=1))
    if level >= 3:
        body.insert(2, box(100, 136, 40, 22, 14, WOOD) + gable(100, 136, 40, 22, 14, TERRACOTTA, WOOD, rise=8, over=3) +
                    door(106, 120, 9, 16) + windows(122, 120, 1, 1, 0, 0, w=10, h=8))
        body.append(rect(18, 96, 2.5, 32, STONE, r=1, width=1) + poly([(20, 96), (38, 101), (20, 106)], VIOLET))
    if level == 1:
        body.append(tree(130, 140, 0.8))
    return svg(160, 176, "".join(body))


def hostel(level):
    body = [lot(STONE), parking(112, 148, 34)]
    floors = 2 if level == 1 else 3
    h = 22 + floors * 18
    body.append(box(22, 160, 84, h, 30, CREAM))
    body.append(gable(22, 160, 84, h, 30, TERRACOTTA, CREAM, rise=14))
    body.append(windows(30, 160 - h + 8, 4, floors, 18, 18))
    body.append(door(57, 142) + rect(52, 138, 22, 5, CORAL, r=2, width=1.5))
    if level >= 2:
        body.append(box(108, 160, 32, 38, 18, shade(CREAM, 0.95), TEAL) + windows(114, 130, 2, 1, 12, 0, w=8, h=10))
        body.append(sign(36, 160 - h - 2, 56, 10, VIOLET, "#FFFFFF", 0) + stroke("M44 %g h40" % (160 - h + 3), "#FFFFFF", 2))
        body.append(circle(24, 150, 3, SUN, width=1) + circle(104, 150, 3, SUN, width=1))
    else:
        body.append(tree(128, 144, 0.8))
    return svg(160, 176, "".join(body))


def guest_house(level):
    body = [lot(shade(GRASS, 1.05)), stroke("M68 166 L70 160", SAND, 6)]
    h = 56 if level == 1 else 74
    body.append(box(24, 158, 96, h, 30, BRICK))
    body.append(gable(24, 158, 96, h, 30, SLATE, BRICK, rise=18))
    body.append(rect(96, 158 - h - 40, 9, 20, BRICK, r=1))  # chimney
    body.append(windows(32, 158 - h + 10, 2, 1, 18, 0, w=12, h=13, glass=GLASS))
    body.append(windows(84, 158 - h + 10, 2, 1, 18, 0, w=12, h=13, glass=GLASS))
    body.append(door(64, 140, 14, 18, SLATE) + rect(60, 136, 22, 5, SUN, r=2, width=1.5))
    if level >= 2:
        body.append(windows(32, 158 - h + 30, 5, 1, 18, 0, w=12, h=12))
        body.append(rect(30, 158 - h + 44, 84, 4, shade(WOOD, 1.1), r=1, width=1.5))  # balcony
        body.append(sign(124, 112, 24, 16, SUN, shade(SUN, 0.55), 2) + rect(134, 128, 3, 24, WOOD, r=1, width=1))
        body.append(flowers(18, 156, CORAL) + flowers(132, 160, VIOLET))
    else:
        body.append(bush(136, 160) + flowers(16, 158, CORAL))
    return svg(160, 176, "".join(body))


def cafe():
    body = [lot(shade(SAND, 1.15))]
    body.append(box(20, 146, 70, 40, 24, CREAM, shade(CORAL, 1.1)))
    body.append(windows(26, 114, 2, 1, 40, 0, w=16, h=14) + door(48, 128, 12, 18))
    stripes = "".join(rect(18 + i * 12, 100, 12, 10, CORAL if i % 2 == 0 else "#FFFFFF", width=1.2) for i in range(6))
    body.append(stripes)
    body.append(sign(30, 84, 44, 12, SUN, shade(SUN, 0.5), 0) + circle(52, 90, 3, CORAL, width=1))
    for ux, colour in ((106, TEAL), (132, VIOLET)):
        body.append(rect(ux - 1, 138, 2.5, 18, STONE, width=1) + ellipse(ux, 156, 8, 3, WOOD, width=1.5) +
                    path("M%g 140 Q%g 124 %g 140 Z" % (ux - 14, ux, ux + 14), colour))
    body.append(rect(22, 152, 4, 8, WOOD, r=1, width=1) + flowers(80, 160, CORAL))
    return svg(160, 176, "".join(body))


def garden():
    body = [lot(shade(GRASS, 1.1)), stroke("M14 142 H146 M80 116 V166", shade(SAND, 1.05), 7)]
    body.append(ellipse(80, 142, 16, 8, STONE) + ellipse(80, 140, 11, 5, WATER) + rect(78, 124, 4, 16, STONE, width=1) +
                circle(80, 123, 3, WATER, width=1))
    for fx, fy, colour in ((24, 124, CORAL), (100, 124, VIOLET), (24, 154, SUN), (100, 154, CORAL)):
        body.append(ellipse(fx + 16, fy + 4, 18, 7, GRASS_DARK) + flowers(fx + 10, fy + 4, colour))
    body.append(tree(28, 134, 0.9) + tree(138, 134, 1.0) + tree(132, 166, 0.7, shade(GRASS, 0.85)))
    body.append(rect(56, 158, 16, 4, WOOD, r=1, width=1))  # bench
    return svg(160, 176, "".join(body))


def truck_station():
    body = [lot(STONE), rect(14, 148, 132, 16, ROAD, r=4)]
    body.append(box(20, 146, 92, 50, 30, shade(STONE, 1.2), TEAL))
    body.append("".join(stroke("M%g 66 l15 30" % (30 + i * 20), shade(TEAL, 0.8), 1.5) for i in range(4)))
    body.append(rect(30, 112, 26, 34, shade(STONE, 0.9), r=2) + "".join(stroke("M32 %g h22" % (116 + i * 6), shade(STONE, 0.7), 1.5) for i in range(5)))
    body.append(rect(64, 112, 26, 34, shade(STONE, 0.9), r=2) + "".join(stroke("M66 %g h22" % (116 + i * 6), shade(STONE, 0.7), 1.5) for i in range(5)))
    body.append(sign(30, 98, 50, 9, SUN, shade(SUN, 0.5), 0))
    # the truck at the dock
    body.append(rect(110, 128, 30, 22, "#FFFFFF", r=2) + rect(138, 134, 12, 16, CORAL, r=2) + rect(141, 137, 6, 6, GLASS, r=1, width=1))
    body.append(circle(118, 152, 4, SLATE) + circle(144, 152, 4, SLATE))
    return svg(160, 176, "".join(body))


# ------------------------------------------------------------------ task art

def site():
    """The construction site laid over the footprint: fence, crane, sand pile."""
    fence = "".join(rect(16 + i * 16, 150, 10, 14, SUN if i % 2 == 0 else CORAL, r=1, width=1.5) for i in range(8))
    body = [rect(14, 116, 132, 48, shade(SAND, 0.95), r=8), ellipse(50, 136, 22, 10, shade(SAND, 0.8)),
            rect(94, 124, 28, 16, WOOD, r=2) + stroke("M96 132 h24", shade(WOOD, 0.7), 1.5),
            # crane
            rect(124, 44, 6, 90, SUN, width=1.5) + "".join(stroke("M124 %g l6 10" % (48 + i * 10), shade(SUN, 0.6), 1) for i in range(8)),
            rect(70, 40, 76, 6, SUN, width=1.5), rect(134, 46, 12, 10, SLATE, r=1, width=1.5),
            stroke("M84 46 V80", SLATE, 1.5), path("M80 80 h8 l-4 6 z", SLATE, 1), fence]
    return svg(160, 176, "".join(body))


def cargo():
    """The crate pallet the helicopter brings."""
    return svg(48, 40, rect(4, 24, 40, 8, WOOD, r=1) + rect(8, 8, 16, 16, shade(WOOD, 1.2), r=2) +
               rect(24, 12, 16, 12, shade(WOOD, 1.1), r=2) + stroke("M8 16 h16 M24 18 h16", shade(WOOD, 0.7), 1.5))


def helicopter(facing_left, up):
    """70 x 40 helicopter; body turned left or right, nose up or down."""
    body = (ellipse(34, 22, 20, 12, CORAL) + rect(48, 18, 26, 5, CORAL, r=2) + rect(70, 10, 4, 14, shade(CORAL, 0.8), r=1) +
            ellipse(25, 19, 8, 6, GLASS, width=1.5) + rect(22, 34, 30, 3, SLATE, r=1, width=1) +
            stroke("M28 32 v3 M46 32 v3", SLATE, 1.5) + rect(32, 6, 4, 6, SLATE, width=1) +
            ellipse(34, 5, 30, 2.5, shade(SLATE, 1.3), width=1))
    transform = []
    if not facing_left:
        transform.append("translate(80 0) scale(-1 1)")
    tilt = 8 if up else -6
    transform.append("rotate(%d 40 22)" % (tilt if facing_left else tilt))
    return svg(80, 48, '<g transform="%s">%s</g>' % (" ".join(transform), body))


def heli_shadow():
    return svg(72, 20, '<ellipse cx="36" cy="10" rx="30" ry="7" fill="#000000" fill-opacity="0.22"/>', shadow=False)


def bus(direction):
    """The delivery bus, 64 x 30, in the eight directions. Side views for
    left and right, a shorter three-quarter view for the others."""
    side = (rect(4, 6, 60, 22, SUN, r=5) + rect(4, 20, 60, 4, CORAL, width=1) +
            "".join(rect(10 + i * 12, 9, 9, 8, GLASS, r=1.5, width=1) for i in range(4)) +
            rect(56, 8, 7, 11, GLASS, r=1.5, width=1) + circle(16, 29, 5, SLATE) + circle(52, 29, 5, SLATE) +
            circle(16, 29, 2, STONE, width=0) + circle(52, 29, 2, STONE, width=0))
    front = (rect(12, 4, 44, 26, SUN, r=6) + rect(16, 8, 36, 10, GLASS, r=2, width=1.5) + rect(12, 22, 44, 4, CORAL, width=1) +
             circle(18, 26, 2.5, "#FFFFFF", width=1) + circle(50, 26, 2.5, "#FFFFFF", width=1) +
             rect(14, 30, 8, 4, SLATE, r=1, width=1) + rect(46, 30, 8, 4, SLATE, r=1, width=1))
    back = (rect(12, 4, 44, 26, SUN, r=6) + rect(18, 8, 32, 8, shade(GLASS, 0.85), r=2, width=1.5) +
            rect(12, 22, 44, 4, CORAL, width=1) + circle(18, 26, 2.5, CORAL, width=1) + circle(50, 26, 2.5, CORAL, width=1) +
            rect(14, 30, 8, 4, SLATE, r=1, width=1) + rect(46, 30, 8, 4, SLATE, r=1, width=1))
    views = {"Right": (side, ""), "Left": (side, "translate(68 0) scale(-1 1)"),
             "Down": (front, ""), "Up": (back, ""),
             "RightDown": (side, "rotate(18 34 20)"), "LeftDown": (side, "translate(68 0) scale(-1 1) rotate(18 34 20)"),
             "RightUp": (side, "rotate(-18 34 20)"), "LeftUp": (side, "translate(68 0) scale(-1 1) rotate(-18 34 20)")}
    art, transform = views[direction]
    return svg(68, 40, '<g transform="%s">%s</g>' % (transform, art) if transform else art)


def cloud(kind):
    shapes = {
        1: (150, 70, "M24 58 C6 58 6 36 26 34 C28 14 58 10 68 26 C76 6 114 8 118 32 C138 28 148 46 138 58 Z"),
        2: (110, 56, "M18 46 C4 46 4 28 20 26 C22 10 48 6 56 22 C68 10 96 16 92 34 C104 34 106 46 96 48 Z"),
        3: (190, 80, "M26 66 C4 66 6 40 30 40 C30 16 66 10 80 28 C90 4 136 6 142 34 C166 26 186 46 176 62 C172 68 166 70 158 70 Z"),
    }
    w, h, d = shapes[kind]
    return svg(w, h, '<path d="%s" fill="#FFFFFF" fill-opacity="0.8" stroke="#D6E9F2" stroke-width="2" stroke-linejoin="round"/>' % d)


def progress_frame():
    return svg(76, 16, rect(3, 3, 68, 8, shade("#34495E", 1.0), r=4), shadow=True)


def progress_fill():
    return svg(64, 4, '<rect x="0" y="0" width="64" height="4" rx="2" fill="#7BC043"/>', shadow=False)


def ring(colour):
    """A focus ring around a place's footprint: 172 x 84, placed at (-16, -14)."""
    return svg(172, 84, '<rect x="6" y="6" width="160" height="72" rx="16" fill="%s" fill-opacity="0.2" '
               'stroke="%s" stroke-width="4" stroke-dasharray="14 8"/>' % (colour, colour), shadow=False)


def serve_area():
    return svg(40, 40, '<rect x="1" y="1" width="38" height="38" rx="8" fill="#FFFFFF" fill-opacity="0.25" '
               'stroke="#FFFFFF" stroke-width="2"/>', shadow=False)


def icon(symbol, colour):
    """A round condition icon 34 x 34 with a white symbol."""
    return svg(40, 40, circle(17, 17, 14, colour) + symbol)


def repair_icon():
    return icon(stroke("M11 23 L21 13", "#FFFFFF", 4) + circle(22, 12, 4.5, "#FFFFFF", width=0) + circle(23.5, 10.5, 2, "#C0392B", width=0), "#C0392B")


def dirty_icon():
    return icon(path("M10 22 q3 -8 7 -3 q3 -8 7 2 q3 0 2 4 h-16 z", "#FFFFFF", 1) +
                circle(12, 12, 1.6, "#FFFFFF", width=0) + circle(20, 9, 1.4, "#FFFFFF", width=0), "#8B6B3E")


def phone_icon():
    return icon(path("M10 12 q2 -3 5 0 l-2 3 q2 4 5 5 l2 -2 q3 3 0 5 q-10 2 -10 -11 z", "#FFFFFF", 1), TEAL)


def for_sale_tag():
    return svg(96, 40, path("M4 8 h78 l10 12 l-10 12 h-78 z", "#FFF8EC") + circle(84, 20, 3, line("#FFF8EC"), width=0))


def dial_bg():
    return svg(40, 40, circle(18, 18, 15, "#FFF8EC"))


def dial_hand():
    """Points up from its pivot (3, 15)."""
    return svg(6, 18, stroke("M3 15 V3", "#2D2A26", 2.5), shadow=False)


def feature_layer(fill):
    return svg(28, 26, rect(1, 1, 26, 24, fill, r=6), shadow=False)


def letter():
    return svg(56, 44, rect(4, 6, 44, 30, "#FFF8EC", r=3) + stroke("M6 8 L26 24 L46 8", line("#FFF8EC"), 2) +
               circle(26, 26, 6, CORAL, width=1.5))


def star_burst():
    pts = []
    import math
    for i in range(16):
        r = 30 if i % 2 == 0 else 14
        a = math.pi * 2 * i / 16
        pts.append((32 + r * math.cos(a), 32 + r * math.sin(a)))
    return svg(64, 64, poly(pts, shade(SUN, 1.2)), shadow=False)


def small_pieces():
    return {
        "Flag.svg": svg(24, 36, rect(3, 4, 2.5, 30, SLATE, r=1, width=1) + poly([(5, 5), (21, 10), (5, 15)], VIOLET)),
        "Pill.svg": svg(80, 30, rect(2, 2, 72, 22, "#34495E", r=11)),
        "PillLight.svg": svg(86, 30, rect(2, 2, 78, 22, "#FFF8EC", r=11)),
        "Helmet.svg": svg(22, 18, path("M3 14 q0 -11 8 -11 q8 0 8 11 z", SUN) + rect(1, 13, 20, 3, shade(SUN, 0.85), r=1, width=1)),
        "Coin.svg": svg(28, 28, circle(13, 13, 10, SUN) + stroke("M13 8 v10", shade(SUN, 0.6), 2)),
        "Dust.svg": svg(120, 70, '<path d="M20 58 C2 58 4 36 22 36 C22 16 50 10 60 26 C70 8 102 14 100 36 C116 38 116 58 100 58 Z" '
                        'fill="#E8DCC8" fill-opacity="0.85" stroke="#C9B99E" stroke-width="2"/>', shadow=False),
        "Hook.svg": svg(14, 40, stroke("M7 0 V26", SLATE, 1.5) + path("M3 26 h8 l-4 8 z", SLATE, 1)
                        + rect(1, 30, 12, 8, WOOD, r=1, width=1), shadow=False),
        "Bolt.svg": svg(28, 26, path("M15 3 L8 14 H13 L11 23 L20 11 H15 Z", "#FFFFFF", 1.5), shadow=False),
    }


def town_house(wall, roof, floors, door_colour=WOOD):
    """A neighbour's house, 96 x 96, standing at (48, 92): background for the town."""
    h = 20 + floors * 16
    return svg(96, 96, box(14, 90, 56, h, 22, wall) + gable(14, 90, 56, h, 22, roof, wall, rise=12, over=3) +
               windows(20, 90 - h + 6, 3, floors, 16, 16, w=9, h=10) + door(36, 76, 10, 14, door_colour))


def beach_hut(colour):
    return svg(60, 70, box(10, 64, 34, 30, 14, colour) + gable(10, 64, 34, 30, 14, "#FFFFFF", colour, rise=8, over=3) +
               door(21, 48, 10, 16, shade(colour, 0.7)))


def decorations():
    return {
        "House1.svg": town_house(CREAM, TERRACOTTA, 2),
        "House2.svg": town_house(shade(CORAL, 1.35), SLATE, 1, TEAL),
        "House3.svg": town_house(STONE, TEAL, 3),
        "House4.svg": town_house(BRICK, SLATE, 2, SUN),
        "BeachHut1.svg": beach_hut(TEAL), "BeachHut2.svg": beach_hut(CORAL), "BeachHut3.svg": beach_hut(VIOLET),
        "Hedge.svg": svg(70, 22, rect(3, 4, 62, 14, GRASS_DARK, r=7) + circle(14, 8, 4, shade(GRASS, 1.1), width=0) +
                         circle(40, 8, 4, shade(GRASS, 1.1), width=0)),
        "Tree.svg": svg(40, 48, tree(20, 44, 1.1)),
        "TreeAutumn.svg": svg(40, 48, tree(20, 44, 1.1, "#E0A03A")),
        "TreeRed.svg": svg(40, 48, tree(20, 44, 1.0, "#D0643A")),
        "Pine.svg": svg(36, 48, pine(18, 46, 1.0)),
        # winter: snow on the pine's boughs, and a snowman
        "PineSnow.svg": svg(36, 48, pine(18, 46, 1.0) +
                            path("M8 38 q10 -4 20 0 l-4 -6 q-6 3 -12 0 z M10 26 q8 -4 16 0 l-8 -14 z", "#F5F8FC", 1)),
        "Snowman.svg": svg(30, 44, circle(15, 32, 10, "#F5F8FC") + circle(15, 14, 7, "#F5F8FC") +
                           path("M15 14 l7 2 l-7 1 z", CORAL, 1) + rect(9, 2, 12, 6, SLATE, r=1, width=1)),
        "Palm.svg": svg(48, 60, rect(22, 22, 5, 34, WOOD, r=2) + "".join(
            path("M24 22 q%g %g %g %g q%g %g %g %g z" % (dx * 0.5, -12, dx, dy, -dx * 0.4, -4, -dx, -dy), "#4E9A3A", 1.5)
            for dx, dy in ((-20, 8), (20, 8), (-16, -6), (16, -6)))),
        "Bush.svg": svg(30, 20, bush(15, 18)),
        "Flowers.svg": svg(24, 16, flowers(8, 9, CORAL) + flowers(14, 11, SUN), shadow=False),
        "Bench.svg": svg(34, 20, rect(3, 6, 28, 5, WOOD, r=1) + rect(3, 12, 28, 3, WOOD, r=1, width=1) +
                         stroke("M6 15 v3 M28 15 v3", SLATE, 2)),
        "Lamp.svg": svg(16, 48, rect(6, 10, 3, 34, SLATE, r=1, width=1) + circle(7.5, 9, 5, SUN) + rect(3, 42, 9, 4, SLATE, r=1, width=1)),
        "Boat.svg": svg(60, 34, path("M6 18 h48 l-8 10 h-32 z", "#FFFFFF") + rect(28, 0, 2.5, 18, WOOD, width=1) +
                        poly([(31, 2), (48, 16), (31, 16)], CORAL)),
        "Umbrella.svg": svg(40, 44, rect(19, 14, 2.5, 28, STONE, width=1) + path("M4 16 Q20 -2 36 16 Z", CORAL) +
                            path("M14 16 Q20 2 26 16 Z", "#FFFFFF", 1.5)),
        "Rock.svg": svg(34, 22, path("M4 18 q2 -12 12 -12 q10 -2 14 8 q2 6 -4 6 z", STONE)),
        "Pumpkins.svg": svg(30, 18, ellipse(10, 11, 8, 6, CORAL) + ellipse(21, 12, 7, 5, shade(CORAL, 1.1)) +
                            stroke("M10 5 v-3 M21 7 v-3", GRASS_DARK, 2)),
    }


# ------------------------------------------------------------------ later kinds

NAVY, GOLD, MARBLE, ROSE = "#34495E", "#E9B949", "#EDE6DA", "#E07A8F"


def flat_roof_details(x, yb, w, h, d, colour):
    """A parapet along the front edge of a flat roof."""
    return rect(x - 2, yb - h - 4, w + 4, 5, shade(colour, 0.9), r=1, width=1.5)


def business_hotel(level):
    body = [lot(STONE), parking(14, 150, 40)]
    floors = 3 + level
    h = 14 + floors * 16
    body.append(box(44, 160, 70, h, 30, shade(SLATE, 1.55), shade(SLATE, 1.2)))
    body.append(flat_roof_details(44, 160, 70, h, 30, SLATE))
    body.append(windows(50, 160 - h + 8, 4, floors, 16, 16, w=11, h=11, glass=shade(GLASS, 0.95)))
    body.append(rect(66, 144, 26, 16, shade(GLASS, 0.9), r=2) + rect(62, 140, 34, 5, NAVY, r=1.5, width=1.5))
    body.append(sign(52, 160 - h - 16, 54, 10, NAVY, "#FFFFFF", 0) + stroke("M60 %g h38" % (160 - h - 11), GOLD, 2))
    if level >= 2:
        body.append(box(116, 160, 26, 44, 16, shade(SLATE, 1.4), TEAL) + windows(120, 124, 2, 2, 10, 14, w=7, h=9))
    if level >= 3:
        body.append(rect(74, 160 - h - 34, 10, 20, STONE, r=1) + circle(79, 160 - h - 36, 4, CORAL, width=1.5))
        body.append(flowers(20, 164, SUN) + flowers(140, 166, CORAL))
    else:
        body.append(tree(130, 150, 0.7) if level == 1 else "")
    return svg(160, 176, "".join(body))


def grand_hotel(level):
    body = [lot(shade(GRASS, 1.05)), stroke("M80 166 V156", SAND, 10)]
    h = 70 + 12 * level
    body.append(box(26, 156, 100, h, 26, CREAM, shade(CORAL, 0.9)))
    body.append(flat_roof_details(26, 156, 100, h, 26, CREAM))
    for col in range(5):
        body.append(windows(32 + col * 19, 156 - h + 10, 1, (h - 34) // 16, 0, 16, w=10, h=11))
    body.append(rect(60, 130, 32, 26, shade(WOOD, 0.9), r=3) + path("M56 130 Q76 114 96 130 Z", GOLD))
    body.append(rect(28, 150, 4, 6, GOLD, width=1) + rect(120, 150, 4, 6, GOLD, width=1))
    if level >= 2:
        body.append(rect(30, 156 - h - 12, 8, 12, shade(CREAM, 0.9), r=1) + rect(114, 156 - h - 12, 8, 12, shade(CREAM, 0.9), r=1))
        body.append(poly([(34, 156 - h - 22), (30, 156 - h - 12), (38, 156 - h - 12)], CORAL))
        body.append(poly([(118, 156 - h - 22), (114, 156 - h - 12), (122, 156 - h - 12)], CORAL))
    if level >= 3:
        body.append(rect(50, 156 - h - 10, 52, 8, WATER, r=3) + stroke("M54 %g h44" % (156 - h - 6), shade(WATER, 1.4), 1.5))
    body.append(bush(18, 166) + bush(142, 166, shade(GRASS, 0.9)))
    return svg(160, 176, "".join(body))


def palace_hotel(level):
    body = [lot(shade(GRASS, 1.1)), stroke("M80 166 V150", SAND, 14)]
    h = 62 + 10 * level
    body.append(box(18, 152, 124, h, 22, MARBLE, shade(GOLD, 0.9)))
    body.append(rect(16, 152 - h - 6, 128, 7, shade(MARBLE, 0.85), r=2))
    for col in range(6):
        body.append(windows(24 + col * 20, 152 - h + 10, 1, (h - 30) // 18, 0, 18, w=10, h=13, glass=shade(GLASS, 1.05)))
    body.append(path("M58 %g Q80 %g 102 %g Z" % (152 - h - 5, 152 - h - 40, 152 - h - 5), GOLD))
    body.append(circle(80, 152 - h - 42, 3, CORAL, width=1))
    body.append(rect(64, 126, 32, 26, shade(WOOD, 0.85), r=3) + "".join(rect(58 + i * 12, 124, 4, 28, MARBLE, width=1) for i in range(4)))
    if level >= 2:
        for tx in (6, 140):
            body.append(rect(tx, 152 - h + 6, 14, h - 6, MARBLE) + poly([(tx - 2, 152 - h + 6), (tx + 16, 152 - h + 6), (tx + 7, 152 - h - 14)], ROSE))
    if level >= 3:
        body.append(ellipse(80, 164, 16, 5, WATER) + flowers(40, 166, ROSE) + flowers(116, 166, SUN))
    return svg(160, 176, "".join(body))


def city_mall():
    body = [lot(STONE), parking(16, 150, 128)]
    body.append(box(18, 146, 112, 52, 24, shade(TEAL, 1.6), shade(TEAL, 1.2)))
    body.append(rect(22, 106, 104, 14, shade(GLASS, 0.95), r=2))
    body.append("".join(rect(26 + i * 26, 124, 20, 22, shade(GLASS, 0.9), r=2) for i in range(4)))
    body.append(sign(46, 84, 56, 14, CORAL, "#FFFFFF", 0) + stroke("M54 91 h40", "#FFFFFF", 2.5))
    body.append("".join(rect(20 + i * 14, 120, 14, 5, VIOLET if i % 2 else SUN, width=1) for i in range(8)))
    return svg(160, 176, "".join(body))


def aqua_park():
    body = [lot(shade(SAND, 1.1)), ellipse(58, 150, 42, 12, WATER), stroke("M26 150 q32 -8 64 0", shade(WATER, 1.4), 2)]
    body.append(box(100, 156, 40, 56, 18, shade(SUN, 1.2), CORAL))
    body.append(path("M104 100 C 70 104 96 128 62 132 L 62 140 C 104 134 78 112 112 108 Z", shade(VIOLET, 1.1)))
    body.append(path("M120 100 C 150 118 118 130 140 150 L 132 152 C 110 132 140 120 114 104 Z", TEAL))
    body.append(rect(104, 96, 32, 6, WOOD, r=2) + circle(30, 132, 7, CORAL) + circle(30, 132, 3, shade(SAND, 1.2), width=1))
    body.append(rect(16, 156, 10, 3, SUN, r=1, width=1) + rect(84, 162, 12, 3, CORAL, r=1, width=1))
    return svg(160, 176, "".join(body))


def statue():
    body = [lot(shade(STONE, 1.2)), ellipse(80, 150, 46, 14, shade(STONE, 1.05))]
    body.append(box(64, 148, 32, 26, 10, STONE))
    bronze = "#B5835A"
    body.append(rect(74, 86, 12, 36, bronze, r=4) + circle(80, 80, 7, bronze) + path("M84 94 L100 76 L103 79 L88 98 Z", bronze))
    body.append(tree(22, 150, 0.8) + tree(140, 150, 0.8) + flowers(40, 162, SUN) + flowers(112, 162, CORAL))
    return svg(160, 176, "".join(body))


def memorial():
    body = [lot(shade(GRASS, 1.12)), stroke("M80 166 V140", shade(SAND, 1.05), 8)]
    body.append(box(54, 140, 52, 12, 14, shade(STONE, 1.1)))
    body.append(poly([(70, 128), (90, 128), (84, 40), (76, 40)], MARBLE) + poly([(76, 40), (84, 40), (80, 30)], shade(MARBLE, 0.85)))
    body.append(pine(26, 150, 1.0) + pine(134, 150, 1.0) + pine(20, 120, 0.7) + pine(140, 122, 0.7))
    body.append(flowers(62, 150, ROSE) + flowers(94, 150, ROSE) + rect(30, 158, 18, 4, WOOD, r=1, width=1))
    return svg(160, 176, "".join(body))


def re_agency():
    body = [lot(STONE), parking(104, 150, 42)]
    body.append(box(20, 156, 80, 64, 22, shade(CORAL, 1.5)))
    body.append(gable(20, 156, 80, 64, 22, SLATE, shade(CORAL, 1.5), rise=12))
    body.append(windows(28, 102, 3, 2, 24, 22, w=14, h=14) + rect(50, 138, 20, 18, shade(GLASS, 0.9), r=2))
    body.append(rect(104, 114, 3, 30, WOOD, r=1, width=1) + sign(100, 104, 36, 16, "#FFFFFF", CORAL, 2))
    body.append(poly([(112, 126), (120, 118), (128, 126), (128, 136), (112, 136)], SUN))
    return svg(160, 176, "".join(body))


def pr_agency():
    body = [lot(STONE), rect(14, 150, 132, 14, ROAD, r=4)]
    body.append(box(26, 148, 70, 60, 22, shade(VIOLET, 1.55), shade(VIOLET, 1.1)))
    body.append(windows(32, 96, 3, 2, 20, 20, w=12, h=12) + rect(50, 130, 18, 18, shade(GLASS, 0.9), r=2))
    body.append(rect(100, 60, 4, 70, STONE, width=1.5) + rect(88, 54, 54, 30, "#FFFFFF", r=3) + circle(104, 69, 7, CORAL) +
                stroke("M116 64 h20 M116 72 h16", VIOLET, 2.5))
    bus_body = rect(104, 132, 40, 18, SUN, r=4) + windows(108, 136, 4, 1, 9, 0, w=6, h=6)
    body.append(bus_body + circle(112, 152, 4, SLATE) + circle(136, 152, 4, SLATE))
    return svg(160, 176, "".join(body))


def fishing_center():
    body = [rect(8, 120, 144, 48, WATER, r=10), stroke("M20 150 q12 -6 24 0 q12 6 24 0", shade(WATER, 1.4), 2)]
    body.append(rect(16, 112, 90, 30, shade(SAND, 1.1), r=6))
    body.append(box(24, 138, 60, 34, 18, shade(WOOD, 1.3)) + gable(24, 138, 60, 34, 18, TEAL, shade(WOOD, 1.3), rise=10))
    body.append(door(46, 122, 12, 16) + windows(30, 114, 1, 1, 0, 0) + windows(66, 114, 1, 1, 0, 0))
    body.append(rect(96, 134, 52, 6, WOOD, r=1) + "".join(rect(100 + i * 14, 138, 3, 14, shade(WOOD, 0.8), width=1) for i in range(4)))
    body.append(path("M112 150 L140 150 L134 158 L116 158 Z", CORAL) + rect(126, 134, 2, 16, WOOD, width=1))
    return svg(160, 176, "".join(body))


def observation_point():
    body = [lot(shade(GRASS, 1.05)), ellipse(80, 150, 40, 12, shade(STONE, 1.15))]
    legs = "".join(stroke(d, shade(WOOD, 0.75), 4) for d in ("M62 150 L74 60", "M98 150 L86 60", "M66 120 L94 120", "M70 90 L90 90"))
    body.append(legs + rect(60, 46, 40, 16, WOOD, r=2) + poly([(56, 46), (104, 46), (80, 26)], TERRACOTTA))
    body.append(rect(92, 40, 16, 6, SLATE, r=2, width=1.5))
    body.append(tree(24, 152, 0.9) + tree(138, 150, 0.8))
    return svg(160, 176, "".join(body))


def pyramid():
    body = [lot(shade(SAND, 1.05)), ellipse(80, 156, 58, 10, shade(SAND, 0.9))]
    body.append(poly([(80, 40), (140, 150), (96, 162)], shade(GLASS, 0.75)))
    body.append(poly([(80, 40), (96, 162), (20, 150)], shade(GLASS, 1.05)))
    body.append("".join(stroke("M%g %g L%g %g" % (80, 40, x, y), shade(GLASS, 0.55), 1) for x, y in ((58, 156), (38, 152), (118, 156))))
    body.append(stroke("M40 112 L112 120 M58 80 L100 86", shade(GLASS, 0.6), 1))
    return svg(160, 176, "".join(body))


def station():
    body = [lot(STONE), rect(10, 156, 140, 8, shade(WOOD, 0.8), r=1) + stroke("M10 158 h140 M10 162 h140", SLATE, 1.5)]
    body.append(box(24, 150, 112, 50, 22, shade(BRICK, 1.2)))
    body.append(gable(24, 150, 112, 50, 22, SLATE, shade(BRICK, 1.2), rise=14))
    body.append("".join(path("M%g 150 V126 Q%g 114 %g 126 V150 Z" % (34 + i * 26, 42 + i * 26, 50 + i * 26), shade(GLASS, 0.9))
                        for i in range(4)))
    body.append(circle(80, 78, 9, "#FFFFFF") + stroke("M80 78 V72 M80 78 h5", SLATE, 1.5))
    return svg(160, 176, "".join(body))


def headquarters():
    body = [lot(STONE), parking(14, 150, 36), parking(110, 150, 36)]
    body.append(box(50, 160, 60, 140, 22, shade(GLASS, 0.85), shade(SLATE, 1.2)))
    body.append("".join(stroke("M%g %g V160" % (56 + i * 10, 22), shade(GLASS, 0.6), 1) for i in range(6)))
    body.append("".join(stroke("M50 %g h60" % (30 + i * 14), shade(GLASS, 1.3), 1) for i in range(9)))
    body.append(sign(56, 6, 48, 10, NAVY, "#FFFFFF", 0) + stroke("M62 11 h36", GOLD, 2))
    body.append(rect(70, 142, 20, 18, shade(GLASS, 0.7), r=2) + bush(30, 168) + bush(130, 168))
    return svg(160, 176, "".join(body))


def later_kinds():
    files = {"BusinessHotel%d.svg" % l: business_hotel(l) for l in (1, 2, 3)}
    files.update({"HotelN5%d.svg" % l: grand_hotel(l) for l in (1, 2, 3)})
    files.update({"HotelN6%d.svg" % l: palace_hotel(l) for l in (1, 2, 3)})
    files.update({"CityMall.svg": city_mall(), "AquaPark.svg": aqua_park(), "Statue.svg": statue(),
                  "Memorial.svg": memorial(), "REAgency.svg": re_agency(), "PRAgency.svg": pr_agency(),
                  "FishingCenter.svg": fishing_center(), "ObservationPoint.svg": observation_point(),
                  "Pyramid.svg": pyramid(), "Station.svg": station(), "Headquarters.svg": headquarters()})
    return files

def variants():
    files = {
        "BuildingPlace.svg": building_place(),
        "Camping1.svg": camping(1), "Camping2.svg": camping(2), "Camping3.svg": camping(3),
        "Hostel1.svg": hostel(1), "Hostel2.svg": hostel(2),
        "GuestHouse1.svg": guest_house(1), "GuestHouse2.svg": guest_house(2),
        "Cafe.svg": cafe(), "Garden.svg": garden(), "TruckStation.svg": truck_station(),
        "Site.svg": site(), "Cargo.svg": cargo(), "HeliShadow.svg": heli_shadow(),
        "Cloud1.svg": cloud(1), "Cloud2.svg": cloud(2), "Cloud3.svg": cloud(3),
        "BarFrame.svg": progress_frame(), "BarFill.svg": progress_fill(),
        "Selector.svg": ring("#FFFFFF"), "ConstructionSelector.svg": ring(SUN),
        "ServeArea.svg": serve_area(), "RepairIcon.svg": repair_icon(), "DirtyIcon.svg": dirty_icon(),
        "PhoneIcon.svg": phone_icon(), "ForSaleTag.svg": for_sale_tag(), "DialBg.svg": dial_bg(),
        "DialHand.svg": dial_hand(), "FeatureTop.svg": feature_layer("#FFF8EC"), "FeatureFill.svg": feature_layer(SUN),
        "Letter.svg": letter(), "StarBurst.svg": star_burst(),
    }
    for name, left, up in (("LeftUp", True, True), ("LeftDown", True, False), ("RightUp", False, True),
                           ("RightDown", False, False)):
        files["Helicopter" + name + ".svg"] = helicopter(left, up)
    for direction in ("Right", "RightUp", "Up", "LeftUp", "Left", "LeftDown", "Down", "RightDown"):
        files["Bus" + direction + ".svg"] = bus(direction)
    files.update(decorations())
    files.update(small_pieces())
    files.update(later_kinds())
    return files
