"""The comics' pictures (run by tools/content/write_variants.py):

- Page: the paper the comics are laid out on, 1024 x 768;
- Comic<c>_<p>: panel p of comic c, the picture inside a rounded frame,
  474 x 318 with room for its shadow (480 x 326). The highest 84 px of each
  picture stay calm (sky, wall): the panel's text boxes lie there.

The story: Roo, the lodging keeper, starts with one tent by a lake (comic 1),
opens a guest house at the seaside (2), buys an old villa in the autumn
hills at an auction (3) and ends with a winter lodge and a city of hotels,
remembering the first tent (4). Same look as the level world: flat shapes, a
2 px outline in a darker shade of each fill, light from the upper left, one
soft shadow down-right.
"""
import math

from svgart import circle, ellipse, fmt, line, path, poly, rect, shade

GRASS, GRASS_DARK = "#7BC043", "#5E9A30"
WATER, DEEP = "#4FB3E8", "#2E86C1"
SAND, SNOW, SNOW_SHADE = "#F4D58D", "#F5F8FC", "#C9D6E3"
CREAM, BRICK, STONE = "#F6E7C8", "#C8553D", "#B8B0A5"
TERRACOTTA, SLATE, TEAL = "#D9643A", "#4A6274", "#2A9D8F"
SUN, CORAL, VIOLET = "#F9C74F", "#F08A5D", "#8E7DBE"
WOOD, GLASS, LIT = "#B07A4A", "#9FD3EE", "#FCE38A"
INK, NIGHT = "#2D2A26", "#34495E"
FUR, BELLY = "#D98B4A", "#F2C48D"
AUTUMN, AUTUMN_RED = "#E0A03A", "#D0643A"

W, H = 474, 318  # the picture inside the frame


def stroke(d, colour, width=2):
    return '<path d="%s" fill="none" stroke="%s" stroke-width="%g" stroke-linecap="round" stroke-linejoin="round"/>' % (
        d, colour, width)


def group(body, transform):
    return '<g transform="%s">%s</g>' % (transform, body)


def label(x, y, text, size, colour, weight="bold", anchor="middle"):
    return ('<text x="%g" y="%g" font-family="DejaVu Sans" font-weight="%s" font-size="%g" fill="%s" '
            'text-anchor="%s">%s</text>' % (x, y, weight, size, colour, anchor, text))


# ------------------------------------------------------------------ backgrounds

def sky(top, bottom, name="sky"):
    return ('<defs><linearGradient id="%s" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient></defs><rect width="%d" height="%d" fill="url(#%s)"/>'
            % (name, top, bottom, W, H, name))


def hills(y, colour, bumps, far=False):
    """A band of rolling hills whose top lies around y."""
    d = "M-10 %g" % (y + 20)
    step = (W + 20) / bumps
    for i in range(bumps):
        x0 = -10 + i * step
        rise = 22 if far else 14
        d += " Q%g %g %g %g" % (x0 + step / 2, y - rise * (1 if i % 2 == 0 else 0.6), x0 + step, y + 4)
    d += " L%d %d L-10 %d Z" % (W + 10, H + 10, H + 10)
    return path(d, colour)


def sun(x, y, r=24):
    rays = "".join(stroke("M%g %g L%g %g" % (x + math.cos(a) * (r + 6), y + math.sin(a) * (r + 6),
                                               x + math.cos(a) * (r + 14), y + math.sin(a) * (r + 14)), SUN, 3)
                   for a in [i * math.pi / 4 for i in range(8)])
    return rays + circle(x, y, r, SUN)


def moon(x, y, r=20):
    """A crescent lit on its left."""
    return path("M%g %g A%g %g 0 1 0 %g %g A%g %g 0 1 1 %g %g Z" % (x, y - r, r, r, x, y + r, r * 0.7, r, x, y - r),
                "#FDF3C4")


def stars(points):
    return "".join(path("M%g %g l2 5 l5 1 l-4 3 l1 5 l-4 -3 l-4 3 l1 -5 l-4 -3 l5 -1 z" % (x, y - 7), "#FDF3C4", 1)
                   for x, y in points)


def cloud(x, y, s=1.0, fill="#FFFFFF"):
    d = ("M%g %g c-14 0 -14 -18 2 -19 c2 -14 26 -16 32 -4 c8 -12 32 -8 31 8 c14 0 14 15 0 15 z" % (x, y))
    return group(path(d, fill), "translate(%g %g) scale(%g) translate(%g %g)" % (x, y, s, -x, -y))


def water(y, colour=WATER, waves=True):
    out = rect(-4, y, W + 8, H - y + 4, colour, width=0)
    out += stroke("M-4 %g H%d" % (y, W + 4), shade(colour, 0.75), 2)
    if waves:
        for i in range(9):
            wx = 20 + (i * 53) % (W - 40)
            wy = y + 14 + (i * 23) % max(1, H - y - 28)
            out += stroke("M%g %g q6 -4 12 0 q6 4 12 0" % (wx, wy), shade(colour, 1.3), 2)
    return out


# ------------------------------------------------------------------ things

def tree(x, y, s=1.0, leaves=GRASS):
    return (rect(x - 3 * s, y - 16 * s, 6 * s, 16 * s, WOOD, r=1) +
            circle(x, y - 30 * s, 17 * s, shade(leaves, 0.92)) +
            circle(x - 6 * s, y - 34 * s, 8 * s, shade(leaves, 1.12), width=0))


def pine(x, y, s=1.0, leaves="#4E9A3A", snow=False):
    out = (rect(x - 3 * s, y - 10 * s, 6 * s, 10 * s, WOOD, r=1) +
           poly([(x - 16 * s, y - 10 * s), (x + 16 * s, y - 10 * s), (x, y - 40 * s)], leaves) +
           poly([(x - 12 * s, y - 26 * s), (x + 12 * s, y - 26 * s), (x, y - 52 * s)], shade(leaves, 1.1)))
    if snow:
        out += poly([(x - 6 * s, y - 44 * s), (x + 6 * s, y - 44 * s), (x, y - 52 * s)], SNOW, 1)
    return out


def tent(x, yb, w, h, colour):
    return (poly([(x + w / 2, yb - h), (x + w / 2 + 18, yb - h - 10), (x + w + 18, yb - 10), (x + w, yb)],
                 shade(colour, 0.8)) +
            poly([(x, yb), (x + w / 2, yb - h), (x + w, yb)], colour) +
            poly([(x + w / 2 - w * 0.14, yb), (x + w / 2, yb - h * 0.45), (x + w / 2 + w * 0.14, yb)], shade(colour, 0.55)))


def campfire(x, y, s=1.0):
    return group(ellipse(0, 0, 14, 5, STONE, 1.5) + stroke("M-10 -2 L8 -6 M-8 -6 L10 -2", WOOD, 4) +
                 path("M0 -3 q8 -16 0 -28 q-8 10 -8 18 q0 10 8 10 z", CORAL, 1.5) +
                 path("M0 -4 q4 -8 0 -14 q-4 5 -4 9 q0 5 4 5 z", SUN, 1), "translate(%g %g) scale(%g)" % (x, y, s))


def box(x, yb, w, h, d, wall, top=None):
    k = d / 2
    out = [poly([(x + w, yb), (x + w, yb - h), (x + w + k, yb - h - d), (x + w + k, yb - d)], shade(wall, 0.82)),
           rect(x, yb - h, w, h, wall)]
    if top:
        out.append(poly([(x, yb - h), (x + w, yb - h), (x + w + k, yb - h - d), (x + k, yb - h - d)], top))
    return "".join(out)


def gable(x, yb, w, h, d, roof, wall, rise=18, over=5):
    k = d / 2
    top = yb - h
    rx0, ry = x + k / 2, top - d / 2 - rise
    back = poly([(rx0 - over, ry), (x + w + k / 2 + over, ry), (x + w + k + over, top - d), (x + k - over, top - d)],
                shade(roof, 0.8))
    end = poly([(x + w, top), (x + w + k, top - d), (x + w + k / 2, ry)], shade(wall, 0.82))
    front = poly([(x - over, top + 3), (x + w + over, top + 3), (x + w + k / 2 + over, ry), (rx0 - over, ry)], roof)
    return back + end + front


def windows(x, y, cols, rows, gap_x, gap_y, w=12, h=14, glass=GLASS):
    out = []
    for r in range(rows):
        for c in range(cols):
            out.append(rect(x + c * gap_x, y + r * gap_y, w, h, glass, r=2, width=1.5))
            out.append(stroke("M%g %g h%g" % (x + c * gap_x + 1.5, y + r * gap_y + h / 2, w - 3), shade(glass, 1.3), 1))
    return "".join(out)


def door(x, y, w=14, h=22, colour=WOOD):
    return rect(x, y, w, h, colour, r=2) + circle(x + w - 4, y + h / 2, 1.3, SUN, width=0.5)


def house(x, yb, w, h, wall, roof, glass=GLASS, floors=1, d=26):
    out = box(x, yb, w, h, d, wall) + gable(x, yb, w, h, d, roof, wall)
    out += windows(x + 10, yb - h + 10, max(1, int((w - 14) / 24)), floors, 24, 22, glass=glass)
    out += door(x + w / 2 - 7, yb - 24)
    return out


def tower(x, yb, w, floors, wall, top, glass=GLASS, d=20):
    h = 16 + floors * 20
    return (box(x, yb, w, h, d, wall, top) +
            windows(x + 8, yb - h + 10, max(1, int((w - 10) / 18)), floors - 1, 18, 20, w=10, h=12, glass=glass) +
            door(x + w / 2 - 6, yb - 20, 12, 20, shade(wall, 0.6)))


def awning(x, y, w, colour=CORAL, n=7):
    step = w / n
    out = "".join(rect(x + i * step, y, step, 14, colour if i % 2 == 0 else "#FFFFFF", width=1.2) for i in range(n))
    return out + "".join(path("M%g %g q%g 8 %g 0 z" % (x + i * step, y + 14, step / 2, step),
                              colour if i % 2 == 0 else "#FFFFFF", 1.2) for i in range(n))


def umbrella(x, y, colour=CORAL):
    return (rect(x - 1.5, y - 40, 3, 40, STONE, width=1) + path("M%g %g Q%g %g %g %g Z" % (x - 26, y - 38, x, y - 66, x + 26, y - 38), colour) +
            path("M%g %g Q%g %g %g %g Z" % (x - 9, y - 38, x, y - 60, x + 9, y - 38), "#FFFFFF", 1.5))


def roo(x, y, s=1.0, flip=False, arm=None, scarf=None, cap=None, smile=True):
    """Roo, the lodging keeper: a friendly kangaroo whose feet stand at (x, y),
    about 110 px tall at scale 1, facing right (left when flipped). `arm` is
    what the front paw holds: 'wave', 'hammer', 'letter', 'paddle', 'photo',
    'cup' or None."""
    b = []
    b.append(path("M-14 -20 C-40 -14 -58 -2 -70 0 C-56 6 -30 4 -8 -6 Z", shade(FUR, 0.9)))  # tail
    b.append(ellipse(6, -4, 20, 6, shade(FUR, 0.85)))  # back foot
    b.append(ellipse(-2, -38, 22, 32, FUR))  # body
    b.append(ellipse(4, -34, 12, 22, BELLY, 1.5))  # belly
    b.append(ellipse(-4, -14, 14, 14, shade(FUR, 0.95)))  # thigh
    b.append(ellipse(16, -2, 18, 5, FUR))  # front foot
    if scarf:
        b.append(path("M-10 -66 q14 8 26 0 l2 8 q-14 8 -30 0 z", scarf) + rect(8, -62, 9, 22, scarf, r=3, width=1.5))
    # head
    b.append(ellipse(-10, -98, 5, 15, FUR, extra=' transform="rotate(-12 -10 -98)"'))
    b.append(ellipse(2, -100, 5, 15, FUR, extra=' transform="rotate(10 2 -100)"'))
    b.append(ellipse(2, -99, 2.5, 10, BELLY, 1, extra=' transform="rotate(10 2 -99)"'))
    b.append(ellipse(0, -76, 15, 14, FUR))
    b.append(ellipse(16, -72, 11, 8, BELLY, 1.5))
    b.append(circle(25, -74, 3, INK, width=0))
    b.append(circle(4, -80, 2.6, INK, width=0) + circle(5, -81, 0.9, "#FFFFFF", width=0))
    b.append(circle(-2, -72, 3, shade(CORAL, 1.3), width=0))  # cheek
    if smile:
        b.append(stroke("M14 -67 q5 4 10 0", INK, 1.6))
    if cap:
        b.append(path("M-14 -84 q14 -16 30 -2 z", cap) + rect(10, -88, 16, 4, shade(cap, 0.85), r=2, width=1))
    # front arm and what it holds
    if arm == "wave":
        b.append(path("M10 -52 q14 -10 18 -30 q4 -4 7 0 q-2 24 -20 36 z", FUR, 1.5))
    else:
        b.append(path("M10 -54 q16 2 22 -8 q4 2 2 7 q-8 12 -26 9 z", FUR, 1.5))
    if arm == "hammer":
        b.append(rect(30, -76, 4, 28, WOOD, r=1, width=1.5) + rect(24, -82, 18, 9, SLATE, r=2, width=1.5))
    elif arm == "letter":
        b.append(group(rect(0, 0, 30, 22, "#FFF8EC", r=2, width=1.5) + stroke("M2 2 L15 12 L28 2", line("#FFF8EC"), 1.5) +
                       circle(15, 14, 3.5, CORAL, width=1), "translate(26 -74) rotate(-8)"))
    elif arm == "paddle":
        b.append(rect(32, -92, 4, 30, WOOD, r=1, width=1.5) + circle(34, -100, 12, SUN) + label(34, -95, "7", 14, INK))
    elif arm == "photo":
        b.append(group(rect(0, 0, 40, 32, "#FFFFFF", r=2, width=1.5) + rect(4, 4, 32, 20, "#BFE3F5", width=0) +
                       poly([(10, 22), (20, 10), (30, 22)], CORAL, 1), "translate(22 -82) rotate(-6)"))
    elif arm == "cup":
        b.append(rect(30, -66, 13, 15, CORAL, r=2, width=1.5) + stroke("M43 -62 q5 3 0 7", line(CORAL), 2) +
                 stroke("M34 -70 q-3 -5 0 -9 M39 -70 q-3 -5 0 -9", "#FFFFFF", 1.5))
    t = "translate(%g %g) scale(%g)" % (x, y, s) + (" scale(-1 1)" if flip else "")
    return group("".join(b), t)


def person(x, y, shirt, s=1.0, skin="#F1C8A0", hair="#6B4A2E", flip=False, bag=None, arm_up=False):
    """A guest about 66 px tall at scale 1, feet at (x, y)."""
    b = [rect(-9, -22, 7, 22, SLATE, r=3, width=1.5), rect(2, -22, 7, 22, SLATE, r=3, width=1.5),
         rect(-13, -50, 26, 32, shirt, r=9)]
    if bag:
        b.append(rect(-22, -48, 12, 24, bag, r=4, width=1.5))
    b.append(circle(0, -60, 12, skin))
    b.append(path("M-12 -62 q2 -14 12 -13 q12 0 12 12 q-8 -6 -24 1 z", hair, 1.5))
    b.append(circle(5, -60, 1.6, INK, width=0) + stroke("M2 -54 q3 2 6 0", INK, 1.3))
    if arm_up:
        b.append(path("M10 -46 q10 -8 10 -24 q4 -2 6 1 q0 20 -12 30 z", shirt, 1.5))
    t = "translate(%g %g) scale(%g)" % (x, y, s) + (" scale(-1 1)" if flip else "")
    return group("".join(b), t)


def sign_post(x, y, w, text, colour=WOOD, board="#FFF8EC"):
    return (rect(x - 3, y - 56, 6, 56, colour, r=1, width=1.5) + rect(x - w / 2, y - 74, w, 26, board, r=5) +
            label(x, y - 56, text, 14, INK))


def bubble_heart(x, y, s=1.0):
    return group(path("M0 6 C-14 -6 -8 -18 0 -10 C8 -18 14 -6 0 6 Z", CORAL, 1.5), "translate(%g %g) scale(%g)" % (x, y, s))


# ------------------------------------------------------------------ panels

def panel(body):
    """The picture clipped to the rounded frame, with its outline and shadow."""
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="480" height="326" viewBox="0 0 480 326">\n'
            '<defs><clipPath id="frame"><rect x="1" y="1" width="%d" height="%d" rx="12"/></clipPath>'
            '<filter id="shadow" x="-5%%" y="-5%%" width="110%%" height="112%%"><feGaussianBlur in="SourceAlpha" stdDeviation="3"/>'
            '<feOffset dx="3" dy="4" result="blur"/><feFlood flood-color="#000000" flood-opacity="0.25"/>'
            '<feComposite in2="blur" operator="in"/><feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>'
            '</filter></defs>\n'
            '<g filter="url(#shadow)"><rect x="1" y="1" width="%d" height="%d" rx="12" fill="#FFFFFF"/></g>\n'
            '<g clip-path="url(#frame)" transform="translate(1 1)">%s</g>\n'
            '<rect x="1" y="1" width="%d" height="%d" rx="12" fill="none" stroke="#7A5C3A" stroke-width="3"/>\n'
            '</svg>\n' % (W, H, W, H, body, W, H))


# Comic 1: the first tent by the lake, in spring.

def comic1_1():
    return panel(sky("#8FD3F4", "#DDF3FB") + sun(400, 60) + cloud(90, 70) + cloud(250, 50, 0.7) +
                 hills(150, shade(GRASS, 1.15), 4, True) + water(170) +
                 path("M-10 232 Q120 206 240 222 T490 214 L490 330 L-10 330 Z", GRASS) +
                 tree(60, 236, 1.1) + tree(424, 230, 0.9) +
                 tent(250, 262, 90, 66, CORAL) + campfire(200, 268) + roo(120, 272, 0.95, arm="wave"))


def comic1_2():
    guests = (person(330, 270, TEAL, 0.9, bag=SUN, flip=True) + person(380, 276, VIOLET, 0.85, hair="#2D2A26", flip=True) +
              person(430, 282, SUN, 0.8, hair="#C8553D", bag=CORAL, flip=True))
    return panel(sky("#8FD3F4", "#DDF3FB") + cloud(360, 60) + sun(70, 58, 20) + hills(150, shade(GRASS, 1.15), 4, True) +
                 water(168) + path("M-10 226 Q200 200 490 220 L490 330 L-10 330 Z", GRASS) +
                 tent(40, 250, 74, 54, CORAL) + tent(140, 232, 60, 44, TEAL) + tent(214, 254, 64, 48, SUN) +
                 campfire(130, 276, 0.9) + stroke("M250 290 C300 270 360 300 480 286", shade(SAND, 0.95), 10) + guests +
                 roo(70, 292, 0.8, arm="wave"))


def comic1_3():
    site = (box(230, 262, 150, 84, 40, CREAM) + gable(230, 262, 150, 84, 40, TERRACOTTA, CREAM) +
            windows(244, 196, 5, 1, 26, 0) + door(298, 240) +
            stroke("M222 262 V150 M392 262 V150 M222 170 H392 M222 214 H392", shade(WOOD, 0.9), 4) +
            stroke("M222 214 L262 170 M352 214 L392 170", shade(WOOD, 0.9), 3))
    return panel(sky("#8FD3F4", "#E6F6FC") + cloud(100, 60) + cloud(330, 40, 0.6) + hills(160, shade(GRASS, 1.15), 3, True) +
                 path("M-10 236 Q240 214 490 234 L490 330 L-10 330 Z", GRASS) + site +
                 rect(390, 250, 60, 14, WOOD, r=2) + rect(396, 238, 52, 12, shade(WOOD, 1.1), r=2) +
                 tent(40, 250, 60, 44, TEAL) + roo(160, 284, 1.0, arm="hammer", cap=SUN))


def comic1_4():
    hostel = (box(250, 250, 150, 84, 40, CREAM) + gable(250, 250, 150, 84, 40, TERRACOTTA, CREAM) +
              windows(264, 184, 5, 1, 26, 0, glass=LIT) + door(318, 228) + rect(300, 220, 40, 6, CORAL, r=2, width=1.5))
    return panel(sky("#1F3A56", "#4A6A8A", "night") + moon(410, 56) + stars([(60, 40), (140, 70), (220, 34), (300, 60), (350, 30), (30, 110)]) +
                 hills(150, shade(NIGHT, 1.2), 4, True) + water(168, shade(DEEP, 0.7)) +
                 path("M-10 230 Q240 206 490 226 L490 330 L-10 330 Z", shade(GRASS, 0.62)) + hostel +
                 tent(60, 252, 66, 48, shade(CORAL, 0.8)) + tent(150, 240, 52, 38, shade(TEAL, 0.8)) +
                 '<ellipse cx="160" cy="266" rx="44" ry="30" fill="#F9C74F" fill-opacity="0.18"/>' + campfire(160, 272, 1.2) +
                 roo(96, 292, 0.8, smile=True) + person(210, 292, VIOLET, 0.8, flip=True))


# Comic 2: the seaside.

def comic2_1():
    postbox = rect(300, 196, 36, 80, BRICK, r=8) + rect(306, 214, 24, 6, INK, r=2, width=0) + rect(314, 276, 8, 20, SLATE, width=1)
    return panel(sky("#A8DDF5", "#E9F7FD") + cloud(380, 56) + cloud(120, 40, 0.6) +
                 tower(20, 240, 70, 4, STONE, shade(STONE, 1.1)) + house(380, 250, 90, 60, CREAM, SLATE) +
                 path("M-10 250 H490 V330 H-10 Z", shade(GRASS, 1.05)) + stroke("M-10 292 H490", shade(STONE, 1.1), 14) +
                 tent(110, 262, 60, 44, CORAL) + postbox + roo(210, 300, 1.0, arm="letter", cap=TEAL) +
                 bubble_heart(270, 160, 1.3))


def comic2_2():
    guest_house = (box(200, 232, 170, 104, 40, shade(CORAL, 1.35)) + gable(200, 232, 170, 104, 40, SLATE, shade(CORAL, 1.35)) +
                   windows(214, 146, 6, 2, 26, 34) + door(276, 210, 16, 22, SLATE) +
                   rect(206, 192, 158, 5, WOOD, r=1, width=1.5) + rect(240, 104, 92, 20, SUN, r=5) + label(286, 119, "SEA VIEW", 13, INK))
    return panel(sky("#8FD3F4", "#E6F6FC") + sun(70, 56) + cloud(400, 50, 0.8) + water(120, WATER) +
                 path("M-10 210 Q240 186 490 206 L490 330 L-10 330 Z", SAND) + guest_house +
                 umbrella(90, 268, CORAL) + umbrella(420, 272, TEAL) + ellipse(120, 282, 26, 6, TEAL, 1.5) +
                 roo(150, 296, 0.9, arm="wave", cap=CORAL) + person(400, 298, SUN, 0.85, flip=True))


def comic2_3():
    cafe = (box(120, 238, 230, 96, 36, CREAM, shade(CORAL, 1.1)) + awning(114, 150, 242) +
            windows(136, 174, 4, 1, 56, 0, w=30, h=26) + door(228, 214, 16, 24) +
            rect(182, 100, 110, 26, SUN, r=6) + label(237, 119, "CAFE", 16, INK))
    tables = "".join(rect(tx - 18, 262, 36, 6, WOOD, r=2, width=1.5) + rect(tx - 2, 268, 4, 18, WOOD, width=1)
                     for tx in (70, 400))
    cone = group(poly([(0, 0), (-7, -18), (7, -18)], SUN, 1.5) + circle(0, -22, 8, shade(CORAL, 1.4), 1.5), "translate(404 236)")
    return panel(sky("#8FD3F4", "#E6F6FC") + cloud(60, 50, 0.7) + water(110, WATER, False) +
                 path("M-10 200 H490 V330 H-10 Z", shade(STONE, 1.25)) + cafe + tables +
                 person(50, 300, TEAL, 0.85) + person(96, 300, VIOLET, 0.8, hair="#2D2A26", flip=True) +
                 person(380, 302, CORAL, 0.9, arm_up=True) + cone + roo(300, 304, 0.85, arm="cup"))


def comic2_4():
    things = (group(path("M0 0 q20 -14 40 0 z", SUN) + ellipse(20, 0, 28, 5, shade(SUN, 0.9), 1.5), "translate(60 270) rotate(-10)") +
              group(rect(0, 0, 22, 20, CORAL, r=3) + stroke("M2 0 q9 -14 18 0", SLATE, 2), "translate(380 262) rotate(12)") +
              circle(300, 284, 12, "#FFFFFF") + path("M288 284 q12 -6 24 0 q-12 6 -24 0", CORAL, 1) +
              group(rect(0, 0, 34, 8, TEAL, r=3), "translate(170 290) rotate(-20)") +
              group(path("M0 0 l10 -18 l10 18 z", VIOLET), "translate(430 296) rotate(25)"))
    return panel(sky("#9BB3C7", "#DCE6EE") + cloud(80, 60, 1.1, "#E8EEF3") + cloud(300, 44, 1.3, "#E8EEF3") +
                 cloud(420, 80, 0.8, "#E8EEF3") + water(118, shade(WATER, 0.85)) +
                 path("M-10 208 Q240 190 490 210 L490 330 L-10 330 Z", SAND) +
                 stroke("M-10 214 q30 10 60 0 t60 0 t60 0 t60 0 t60 0 t60 0 t60 0 t60 0", "#FFFFFF", 3) + things +
                 roo(230, 300, 1.0, arm=None, cap=CORAL))


# Comic 3: the autumn hills and the auction.

def comic3_1():
    chart = group(rect(200, 60, 220, 150, "#FFFFFF", r=8) + stroke("M220 190 H400 M220 190 V80", INK, 2) +
             "".join(rect(232 + i * 40, 190 - hgt, 26, hgt, [CORAL, SUN, TEAL, GRASS][i], r=2, width=1.5)
                     for i, hgt in enumerate((30, 55, 80, 104))) +
             stroke("M236 160 L276 134 L316 112 L356 80", VIOLET, 3) + path("M356 80 l-10 2 l6 8 z", VIOLET, 1),
                  "translate(0 26)")
    coins = "".join(circle(cx, cy, 11, SUN) + stroke("M%g %g v10" % (cx, cy - 5), shade(SUN, 0.6), 2)
                    for cx, cy in ((360, 262), (380, 252), (396, 266), (374, 270)))
    return panel(rect(0, 0, W, H, "#F3E2C4", width=0) + rect(0, 230, W, 90, shade(WOOD, 1.2), width=0) +
                 stroke("M0 230 H474", shade(WOOD, 0.8), 3) + rect(30, 96, 120, 90, GLASS, r=6) +
                 stroke("M90 96 V186 M30 141 H150", "#FFFFFF", 4) + chart +
                 rect(300, 240, 160, 14, WOOD, r=3) + coins + roo(130, 300, 1.05, arm="wave", cap=VIOLET))


def comic3_2():
    villa = (box(220, 196, 150, 80, 36, STONE) + gable(220, 196, 150, 80, 36, SLATE, STONE) +
             windows(232, 132, 5, 1, 27, 0, glass=shade(GLASS, 0.8)) + door(288, 174, 16, 22, SLATE) +
             stroke("M232 140 l10 12 M300 150 l12 -10", shade(STONE, 0.7), 2))
    poster = (group(rect(0, 0, 120, 96, "#FFF8EC", r=4) + rect(8, 8, 104, 26, CORAL, r=3) + label(60, 27, "AUCTION", 16, "#FFFFFF") +
                    box(34, 82, 44, 26, 12, STONE) + gable(34, 82, 44, 26, 12, SLATE, STONE, rise=8, over=3) +
                    label(60, 92, "TODAY", 10, INK), "translate(40 150) rotate(-4)") +
              rect(96, 244, 6, 50, WOOD, width=1.5))
    return panel(sky("#F3C98B", "#FBEBD0") + sun(410, 70, 20) +
                 hills(150, shade(AUTUMN, 1.15), 3, True) + path("M-10 200 Q240 170 490 196 L490 330 L-10 330 Z", shade(GRASS, 0.9)) +
                 villa + tree(190, 206, 1.0, AUTUMN_RED) + tree(420, 204, 1.1, AUTUMN) +
                 path("M-10 236 Q240 220 490 240 L490 330 L-10 330 Z", shade(AUTUMN, 0.95)) + poster +
                 roo(230, 300, 0.95, arm="paddle", scarf=CORAL))


def comic3_3():
    crowd = "".join(person(px, 316, c, 0.8, hair=h, flip=True) for px, c, h in
                    ((300, TEAL, "#2D2A26"), (350, VIOLET, "#6B4A2E"), (400, SUN, "#C8553D"), (450, CORAL, "#2D2A26")))
    # The auctioneer stands behind the desk, the gavel raised.
    podium = (person(100, 184, NIGHT, 1.0, hair="#DDDDDD", arm_up=True) + rect(40, 170, 120, 110, shade(WOOD, 0.9), r=6) +
              rect(30, 160, 140, 16, WOOD, r=4) + group(rect(0, 0, 7, 26, WOOD, r=2, width=1.5) +
                                                        rect(-9, -12, 26, 14, shade(WOOD, 0.8), r=3, width=1.5),
                                                        "translate(122 96) rotate(-20)"))
    sold = (group(rect(0, 0, 150, 54, SUN, r=10) + label(75, 37, "SOLD!", 28, INK), "translate(220 112) rotate(-6)") +
            "".join(stroke("M%g %g l%g %g" % (295 + math.cos(a) * 88, 138 + math.sin(a) * 40, math.cos(a) * 14, math.sin(a) * 8),
                           SUN, 3) for a in [i * math.pi / 5 for i in range(10)]))
    return panel(rect(0, 0, W, H, "#7A4E3A", width=0) + rect(0, 0, W, 30, shade("#7A4E3A", 0.8), width=0) +
                 "".join(rect(x, 0, 10, 200, shade("#7A4E3A", 1.1), width=0) for x in (180, 390)) +
                 rect(0, 230, W, 90, shade(WOOD, 1.15), width=0) + podium + sold +
                 roo(250, 306, 0.95, arm="wave", scarf=CORAL) + crowd)


def comic3_4():
    lodge = (box(160, 232, 200, 110, 44, CREAM) + gable(160, 232, 200, 110, 44, TERRACOTTA, CREAM, rise=22) +
             windows(174, 140, 7, 2, 26, 40, glass=LIT) + door(252, 208, 18, 24) + rect(244, 200, 34, 6, CORAL, r=2, width=1.5) +
             rect(196, 96, 120, 22, TEAL, r=5) + label(256, 112, "HILL LODGE", 13, "#FFFFFF"))
    leaves = "".join(ellipse(lx, ly, 5, 3, c, 1, ' transform="rotate(%d %g %g)"' % (rot, lx, ly))
                     for lx, ly, c, rot in ((60, 90, AUTUMN_RED, 20), (120, 140, AUTUMN, -30), (400, 60, AUTUMN_RED, 40),
                                            (440, 150, AUTUMN, 10), (330, 40, AUTUMN, -20)))
    return panel(sky("#F2B880", "#FBE3C6") + hills(140, shade(AUTUMN_RED, 1.2), 3, True) +
                 path("M-10 214 Q240 190 490 210 L490 330 L-10 330 Z", shade(AUTUMN, 1.05)) + lodge +
                 tree(80, 236, 1.2, AUTUMN_RED) + tree(420, 238, 1.1, AUTUMN) + tree(130, 250, 0.8, AUTUMN) + leaves +
                 stroke("M260 232 C250 260 280 290 260 330", shade(SAND, 0.9), 16) +
                 roo(350, 300, 0.85, arm="wave", scarf=CORAL) + person(190, 296, TEAL, 0.8))


# Comic 4: winter, the city of hotels, and the first tent.

def comic4_1():
    chalet = (box(220, 230, 170, 92, 40, WOOD) + gable(220, 230, 170, 92, 40, SNOW, WOOD, rise=26) +
              windows(234, 158, 6, 1, 26, 0, glass=LIT) + door(296, 206, 18, 24, shade(WOOD, 0.6)) +
              rect(260, 120, 12, 30, BRICK, r=2) + stroke("M266 114 q-6 -10 2 -18 q6 -8 0 -16", "#FFFFFF", 3))
    return panel(sky("#BFD9EE", "#EEF5FB") + path("M-10 200 L90 70 L170 170 L260 60 L380 190 L490 110 L490 330 L-10 330 Z", SNOW_SHADE) +
                 poly([(90, 70), (112, 98), (68, 98)], SNOW, 1.5) + poly([(260, 60), (286, 92), (234, 92)], SNOW, 1.5) +
                 path("M-10 226 Q240 204 490 222 L490 330 L-10 330 Z", SNOW) + chalet +
                 pine(80, 244, 1.1, snow=True) + pine(430, 246, 1.0, snow=True) + pine(140, 234, 0.8, snow=True) +
                 person(420, 300, CORAL, 0.85, flip=True) + roo(170, 302, 0.95, arm="cup", scarf=BRICK, cap=TEAL))


def comic4_2():
    skyline = ""
    for i, (x, floors, wall, top) in enumerate(((10, 4, STONE, SLATE), (84, 6, CREAM, TEAL), (170, 5, shade(CORAL, 1.3), SLATE),
                                                (250, 6, shade(VIOLET, 1.4), shade(VIOLET, 0.9)), (340, 5, CREAM, TERRACOTTA),
                                                (408, 3, STONE, TEAL))):
        skyline += tower(x, 236, 62, floors, wall, top, glass=LIT if i % 2 else GLASS, d=16)
    skyline += rect(262, 102, 50, 18, SUN, r=4) + label(287, 116, "ROO", 12, INK)
    return panel(sky("#F6B78C", "#FCE3C8") + sun(240, 230, 40) + skyline +
                 rect(-4, 236, W + 8, 90, shade(STONE, 1.05), width=0) + stroke("M-4 276 H480", "#F2F2F2", 4) +
                 "".join(stroke("M%g 276 h24" % x, shade(STONE, 1.05), 5) for x in (40, 140, 240, 340, 440)) +
                 roo(84, 304, 0.8, arm="wave", scarf=BRICK) + person(380, 304, TEAL, 0.8, flip=True) +
                 person(420, 306, SUN, 0.75, flip=True))


def comic4_3():
    frame = group(rect(150, 40, 190, 150, "#8B5E3C", r=8) + rect(162, 52, 166, 126, "#BFE3F5", width=0) +
                  path("M162 140 Q245 120 328 140 L328 178 L162 178 Z", GRASS, 1.5) + tent(210, 168, 56, 44, CORAL) +
                  campfire(286, 170, 0.7) + sun(300, 76, 12), "translate(49 84) scale(0.8) translate(-1 -40)")
    return panel(rect(0, 0, W, H, "#F3E2C4", width=0) + "".join(rect(x, 0, 4, 230, "#EAD4AE", width=0) for x in range(20, W, 40)) +
                 rect(0, 230, W, 90, shade(WOOD, 1.2), width=0) + frame + rect(360, 120, 80, 110, GLASS, r=6) +
                 stroke("M400 120 V230", "#FFFFFF", 4) + rect(30, 200, 110, 60, TEAL, r=10) +
                 roo(120, 306, 1.05, arm="photo", scarf=BRICK) + bubble_heart(200, 220, 1.0))


def comic4_4():
    return panel(sky("#AFC8DE", "#E6EFF7") + cloud(120, 50, 0.9, "#F5F8FC") +
                 hills(150, SNOW_SHADE, 4, True) + water(168, "#A9CFE6", False) +
                 path("M-10 228 Q240 206 490 224 L490 330 L-10 330 Z", SNOW) +
                 tent(200, 258, 90, 66, CORAL) + poly([(245, 192), (263, 186), (276, 206), (232, 214)], SNOW, 1.5) +
                 pine(70, 248, 1.1, snow=True) + pine(420, 246, 1.0, snow=True) +
                 sign_post(360, 278, 96, "OLD CAMP") + roo(120, 300, 0.95, arm="wave", scarf=BRICK, cap=TEAL))


def page():
    """The paper: warm, with a soft halftone of dots in two corners."""
    dots = []
    for i in range(14):
        for j in range(14 - i):
            r = 3.2 - (i + j) * 0.2
            if r > 0.6:
                dots.append('<circle cx="%g" cy="%g" r="%g"/>' % (14 + i * 18, 14 + j * 18, r))
                dots.append('<circle cx="%g" cy="%g" r="%g"/>' % (1010 - i * 18, 754 - j * 18, r))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="1024" height="768" viewBox="0 0 1024 768">\n'
            '<rect width="1024" height="768" fill="#F4E6CC"/>\n<g fill="#E6CFA6">%s</g>\n'
            '<rect x="6" y="6" width="1012" height="756" rx="14" fill="none" stroke="#DCC196" stroke-width="3"/>\n</svg>\n'
            % "".join(dots))


PANELS = {
    (1, 1): comic1_1, (1, 2): comic1_2, (1, 3): comic1_3, (1, 4): comic1_4,
    (2, 1): comic2_1, (2, 2): comic2_2, (2, 3): comic2_3, (2, 4): comic2_4,
    (3, 1): comic3_1, (3, 2): comic3_2, (3, 3): comic3_3, (3, 4): comic3_4,
    (4, 1): comic4_1, (4, 2): comic4_2, (4, 3): comic4_3, (4, 4): comic4_4,
}


def variants():
    files = {"Page.svg": page()}
    for (c, p), draw in PANELS.items():
        files["Comic%d_%d.svg" % (c, p)] = draw()
    return files
