"""The map's backdrop, MapBackground (1024 x 768; run by
tools/content/write_variants.py): four settings in bands from the bottom up,
the spring town, the seaside with its bay and boardwalk, the autumn hills and
the winter peaks, and the road that joins the level locations in order and
ends at the lodge on the summit.

The locations are read from scenes/MapScene.oscn (the scene is where they are
placed): the road runs under every platform, 40 px below a location's point,
and decorations are scattered only where no location, road or map button
lies, so nothing drawn here hides a location or its name."""
import math
import os
import random
import xml.etree.ElementTree as ElementTree

from svgart import shade

W, H = 1024, 768
SCENE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "MapScene.oscn")
# Files this generator reads besides itself; the build reruns it when they change.
INPUTS = [SCENE]

GRASS, GRASS_DARK = "#7BC043", "#5E9A30"
ROAD, MARK = "#8C8C8C", "#F2F2F2"
WATER, DEEP, SAND = "#4FB3E8", "#2E86C1", "#F4D58D"
SNOW, SNOW_SHADOW = "#F5F8FC", "#C9D6E3"
AUTUMN, AUTUMN_DARK = "#C4B454", "#A39440"
PLANKS = "#B07A48"

# Band edges (the y the wavy border between two settings runs along): winter
# above the first, autumn above the second, seaside above the third, the
# town below it. Each lies in the gap between two rows of locations.
EDGES = [281, 421, 559]
# Where the map's own controls sit: the title and the three buttons.
UI = [(312, 14, 712, 70), (24, 696, 284, 760), (384, 696, 644, 760), (744, 696, 1004, 760)]
# The seaside's bay: the sea covers the band right of this x.
BAY_X = 640

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
    <clipPath id="bay"><path d="{bay}"/></clipPath>
  </defs>"""


def locations():
    """The (x, y) points of the scene's location buttons, in order."""
    root = ElementTree.parse(SCENE).getroot()
    points = []
    for node in root.iter("SceneNode"):
        if node.get("Type") != "GMapLocationButton":
            continue
        for value in node.iter("vector3d"):
            if value.get("Name") == "Position":
                x, y = value.get("Value").split(";")[:2]
                points.append((float(x), float(y)))
    return points


def wavy_edge(y, phase, amplitude=4):
    """A path along the band edge at y, closed down to the bottom of the screen."""
    steps = 16
    d = "M-10 {:.1f}".format(y)
    for i in range(1, steps + 1):
        x = -10 + (W + 20) * i / steps
        d += " L{:.1f} {:.1f}".format(x, y + amplitude * math.sin(i * 1.3 + phase))
    return d + " L{} {} L-10 {} Z".format(W + 10, H + 10, H + 10)


def road_points(points):
    """The road's course: in from the left edge, through every platform (the
    rows turning round at the screen's sides), on to the summit lodge."""
    course = [(-30, points[0][1] + 44)]
    for i, (x, y) in enumerate(points):
        if i > 0 and abs(y - points[i - 1][1]) > 80:
            # A new row: swing out at the side the last row ended on.
            side = 1010 if x > W / 2 else 14
            py = points[i - 1][1] + 40
            course.append((side, py - 30))
            course.append((side, y + 40 + 34))
        course.append((x, y + 40))
    last = points[-1]
    course.append((last[0] - 100, last[1] + 40 - 6))
    return course


def smooth(course):
    """A Catmull-Rom curve through the points as SVG cubic segments."""
    d = "M{:.1f} {:.1f}".format(*course[0])
    for i in range(len(course) - 1):
        p0 = course[max(i - 1, 0)]
        p1, p2 = course[i], course[i + 1]
        p3 = course[min(i + 2, len(course) - 1)]
        c1 = (p1[0] + (p2[0] - p0[0]) / 6, p1[1] + (p2[1] - p0[1]) / 6)
        c2 = (p2[0] - (p3[0] - p1[0]) / 6, p2[1] - (p3[1] - p1[1]) / 6)
        d += " C{:.1f} {:.1f} {:.1f} {:.1f} {:.1f} {:.1f}".format(c1[0], c1[1], c2[0], c2[1], p2[0], p2[1])
    return d


def distance_to_course(x, y, course):
    best = 1e9
    for (ax, ay), (bx, by) in zip(course, course[1:]):
        dx, dy = bx - ax, by - ay
        length = dx * dx + dy * dy
        t = 0 if length == 0 else max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / length))
        best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
    return best


class Scatter:
    """Picks free spots for decorations: off the locations (star, platform and
    name plate), the road, the map's buttons and each other."""

    def __init__(self, points, course):
        # Per location: the star and platform, then the name plate under them.
        self.blocked = [box for (x, y) in points for box in ((x - 36, y - 6, x + 40, y + 80),
                                                             (x - 68, y + 56, x + 70, y + 92))] + UI
        # The summit lodge at the road's end.
        end = course[-1]
        self.blocked.append((end[0] - 48, end[1] - 70, end[0] + 48, end[1] + 20))
        self.course = course
        self.placed = []
        self.random = random.Random(20261211)

    def free(self, x, y, r):
        for (l, t, rgt, b) in self.blocked:
            if l - r < x < rgt + r and t - r < y < b + r:
                return False
        if distance_to_course(x, y, self.course) < 20 + r:
            return False
        return all(math.hypot(x - px, y - py) > r + pr + 4 for (px, py, pr) in self.placed)

    def spots(self, count, top, bottom, r, left=0, right=W, tries=600):
        found = []
        for _ in range(tries):
            if len(found) >= count:
                break
            x = self.random.uniform(left + r, right - r)
            y = self.random.uniform(top + r, bottom - r)
            if self.free(x, y, r):
                self.placed.append((x, y, r))
                found.append((x, y))
        return found


# ---- Decorations, each centred on (x, y) and within the radius they were given.

def house(x, y, wall, roof, snow=False):
    w, h = 38, 22
    x0, y0 = x - w / 2, y - h / 2 + 4
    line, roof_line = shade(wall, 0.65), shade(roof, 0.7)
    cap = ('<polygon points="{},{} {},{} {},{}" fill="{}" opacity="0.95"/>'.format(
        x0 - 3, y0 - 2, x, y0 - h * 0.6 - 2, x0 + w + 3, y0 - 2, SNOW) if snow else "")
    return ('<g filter="url(#shadow)"><rect x="{x0}" y="{y0}" width="{w}" height="{h}" rx="2" fill="{wall}" '
            'stroke="{line}" stroke-width="2"/><rect x="{sx}" y="{y0}" width="{sw}" height="{h}" fill="{side}"/>'
            '<polygon points="{a},{y0} {x},{top} {b},{y0}" fill="{roof}" stroke="{rl}" stroke-width="2" '
            'stroke-linejoin="round"/>{cap}<rect x="{wx}" y="{wy}" width="7" height="7" rx="1" fill="#4FB3E8" '
            'stroke="{line}" stroke-width="1"/><rect x="{dx}" y="{dy}" width="7" height="10" fill="{rl}"/></g>').format(
        x0=x0, y0=y0, w=w, h=h, wall=wall, line=line, sx=x0 + w * 0.7, sw=w * 0.3 - 1, side=shade(wall, 0.85),
        a=x0 - 4, b=x0 + w + 4, x=x, top=y0 - h * 0.7, roof=roof, rl=roof_line, cap=cap, wx=x0 + 6, wy=y0 + 6,
        dx=x0 + w / 2 - 1, dy=y0 + h - 10)


def tree(x, y, r, crown, light=None):
    light = light or shade(crown, 1.25)
    return ('<g filter="url(#shadow)"><rect x="{tx}" y="{y}" width="5" height="{th}" fill="#8B5A2B"/>'
            '<circle cx="{x}" cy="{y}" r="{r}" fill="{crown}" stroke="{line}" stroke-width="2"/>'
            '<circle cx="{hx}" cy="{hy}" r="{hr}" fill="{light}"/></g>').format(
        x=x, y=y - 4, r=r, tx=x - 2.5, th=r + 5, crown=crown, line=shade(crown, 0.7),
        hx=x - r * 0.35, hy=y - 4 - r * 0.35, hr=r * 0.35, light=light)


def pine(x, y, size, snowy):
    green = "#3E7B4F"
    caps = ""
    if snowy:
        caps = ('<polygon points="{},{} {},{} {},{}" fill="{}"/>'.format(
            x - size * 0.35, y - size * 0.55, x, y - size * 1.05, x + size * 0.35, y - size * 0.55, SNOW))
    return ('<g filter="url(#shadow)"><rect x="{tx}" y="{ty}" width="4" height="7" fill="#6B4A2B"/>'
            '<polygon points="{a},{b} {x},{t} {c},{b}" fill="{g}" stroke="{gl}" stroke-width="1.5" '
            'stroke-linejoin="round"/><polygon points="{a2},{b2} {x},{t2} {c2},{b2}" fill="{g2}" stroke="{gl}" '
            'stroke-width="1.5" stroke-linejoin="round"/>{caps}</g>').format(
        tx=x - 2, ty=y, a=x - size * 0.6, b=y + 1, c=x + size * 0.6, x=x, t=y - size * 0.7, g=green,
        gl=shade(green, 0.65), a2=x - size * 0.45, b2=y - size * 0.35, c2=x + size * 0.45, t2=y - size * 1.1,
        g2=shade(green, 1.1), caps=caps)


def flowers(x, y):
    out = ['<g>']
    for i, colour in enumerate(["#F08A5D", "#F9C74F", "#E86A9A", "#FFFFFF", "#8E7DBE"]):
        a = i * 1.26
        out.append('<circle cx="{:.1f}" cy="{:.1f}" r="3" fill="{}" stroke="{}" stroke-width="1"/>'.format(
            x + 8 * math.cos(a), y + 5 * math.sin(a), colour, shade(colour, 0.7)))
    out.append("</g>")
    return "".join(out)


def fountain(x, y):
    return ('<g filter="url(#shadow)"><ellipse cx="{x}" cy="{y}" rx="18" ry="9" fill="#B8B0A5" stroke="#8A837B" '
            'stroke-width="2"/><ellipse cx="{x}" cy="{y}" rx="13" ry="6" fill="{w}"/>'
            '<path d="M{x} {y} q-6 -14 0 -18 q6 4 0 18" fill="#BFE6FA" stroke="#4FB3E8" stroke-width="1"/></g>').format(
        x=x, y=y, w=WATER)


def umbrella(x, y, colour):
    return ('<g filter="url(#shadow)"><rect x="{lx}" y="{y}" width="2" height="13" fill="#6B4A2B"/>'
            '<path d="M{l} {y} A12 8 0 0 1 {r} {y} Z" fill="{c}" stroke="{line}" stroke-width="1.5"/>'
            '<rect x="{tx}" y="{ty}" width="14" height="6" rx="2" fill="#FFFFFF" stroke="#C9D6E3" stroke-width="1"/>'
            '</g>').format(lx=x - 1, y=y - 6, l=x - 12, r=x + 12, c=colour, line=shade(colour, 0.7),
                           tx=x + 4, ty=y + 4)


def palm(x, y):
    leaves = "".join('<path d="M{x} {t} q{dx} {dy} {ex} {ey}" fill="none" stroke="#3E8E41" stroke-width="4" '
                     'stroke-linecap="round"/>'.format(x=x, t=y - 22, dx=dx, dy=-8, ex=ex, ey=8)
                     for dx, ex in [(-8, -14), (8, 14), (-4, -8), (4, 8)])
    return ('<g filter="url(#shadow)"><path d="M{x} {y} q-3 -12 2 -22" fill="none" stroke="#8B5A2B" '
            'stroke-width="4" stroke-linecap="round"/>{leaves}</g>').format(x=x, y=y + 6, leaves=leaves)


def hut(x, y, stripe):
    return ('<g filter="url(#shadow)"><rect x="{a}" y="{b}" width="22" height="16" fill="#FFFFFF" stroke="#C9B79A" '
            'stroke-width="1.5"/><rect x="{a}" y="{b}" width="22" height="5" fill="{s}"/><polygon points="{p}" '
            'fill="{s}" stroke="{sl}" stroke-width="1.5"/></g>').format(
        a=x - 11, b=y - 4, s=stripe, sl=shade(stripe, 0.7),
        p="{},{} {},{} {},{}".format(x - 13, y - 4, x, y - 14, x + 13, y - 4))


def boat(x, y, sail):
    return ('<g filter="url(#shadow)"><path d="M{a} {y} L{b} {y} L{c} {d} L{e} {d} Z" fill="#C8553D" '
            'stroke="{hl}" stroke-width="1.5"/><polygon points="{x},{t} {x},{m} {s},{m}" fill="{sail}" '
            'stroke="{sl}" stroke-width="1.5"/></g>').format(
        a=x - 15, b=x + 15, c=x + 10, d=y + 7, e=x - 10, y=y + 2, x=x, t=y - 20, m=y, s=x + 13, sail=sail,
        sl=shade(sail, 0.7), hl=shade("#C8553D", 0.7))


def waves(x, y):
    return ('<path d="M{} {} q6 -5 12 0 t12 0" fill="none" stroke="#FFFFFF" stroke-opacity="0.7" '
            'stroke-width="2" stroke-linecap="round"/>').format(x - 12, y)


def lighthouse(x, y):
    return ('<g filter="url(#shadow)"><ellipse cx="{x}" cy="{b}" rx="14" ry="5" fill="#B8B0A5" stroke="#8A837B" '
            'stroke-width="1.5"/><polygon points="{l},{b} {r},{b} {r2},{t} {l2},{t}" fill="#FFFFFF" stroke="#9AA8B5" '
            'stroke-width="1.5"/><rect x="{l}" y="{s1}" width="16" height="6" fill="#C0392B"/>'
            '<rect x="{l2}" y="{s2}" width="12" height="5" fill="#C0392B"/><rect x="{l2}" y="{lt}" width="12" '
            'height="8" rx="2" fill="#F9C74F" stroke="#D9A52F" stroke-width="1.5"/>'
            '<polygon points="{l2},{lt} {x},{tip} {r2},{lt}" fill="#C0392B"/></g>').format(
        x=x, b=y + 14, l=x - 8, r=x + 8, l2=x - 6, r2=x + 6, t=y - 18, s1=y + 2, s2=y - 10, lt=y - 26,
        tip=y - 33)


def hay(x, y):
    return ('<g filter="url(#shadow)"><ellipse cx="{x}" cy="{y}" rx="11" ry="8" fill="#E9C46A" stroke="#B8943C" '
            'stroke-width="2"/><ellipse cx="{x}" cy="{y}" rx="5" ry="3.5" fill="none" stroke="#B8943C" '
            'stroke-width="1.5"/></g>').format(x=x, y=y)


def pumpkin(x, y):
    return ('<g filter="url(#shadow)"><ellipse cx="{x}" cy="{y}" rx="9" ry="7" fill="#F08A5D" stroke="#B8603A" '
            'stroke-width="1.5"/><path d="M{x} {a} v14" stroke="#B8603A" stroke-width="1"/>'
            '<rect x="{sx}" y="{sy}" width="3" height="5" fill="#5E9A30"/></g>').format(
        x=x, y=y, a=y - 7, sx=x - 1.5, sy=y - 11)


def hill(x, y, colour):
    return '<ellipse cx="{}" cy="{}" rx="{}" ry="{}" fill="{}" opacity="0.55"/>'.format(x, y, 46, 20, colour)


def snowman(x, y):
    return ('<g filter="url(#shadow)"><circle cx="{x}" cy="{a}" r="8" fill="#FFFFFF" stroke="{s}" stroke-width="1.5"/>'
            '<circle cx="{x}" cy="{b}" r="5.5" fill="#FFFFFF" stroke="{s}" stroke-width="1.5"/>'
            '<polygon points="{x},{n} {nx},{ny} {x},{n2}" fill="#F08A5D"/>'
            '<rect x="{hx}" y="{hy}" width="8" height="5" fill="#34495E"/></g>').format(
        x=x, a=y + 2, b=y - 9, s=SNOW_SHADOW, n=y - 10, nx=x + 6, ny=y - 9, n2=y - 8, hx=x - 4, hy=y - 18)


def pond(x, y):
    return ('<g><ellipse cx="{x}" cy="{y}" rx="26" ry="11" fill="#BFE3F5" stroke="{s}" stroke-width="2"/>'
            '<path d="M{a} {y} l10 -3 M{b} {c} l8 2" stroke="#FFFFFF" stroke-width="1.5"/></g>').format(
        x=x, y=y, s=SNOW_SHADOW, a=x - 14, b=x + 2, c=y + 3)


def mountains():
    """Snowy peaks along the top edge, behind the title."""
    out = []
    peaks = [(-20, 150, 120), (120, 170, 95), (260, 130, 110), (420, 160, 120), (560, 140, 105),
             (700, 165, 125), (850, 135, 100), (990, 150, 115)]
    for (x, width, height) in peaks:
        base = 92
        top = base - height + 60
        rock = "#8DA2B5"
        out.append('<polygon points="{l},{b} {x},{t} {r},{b}" fill="{c}" stroke="{o}" stroke-width="2" '
                   'stroke-linejoin="round"/>'.format(l=x - width / 2, b=base, x=x, t=top, r=x + width / 2,
                                                        c=rock, o=shade(rock, 0.7)))
        out.append('<polygon points="{l},{b} {x},{t} {r},{b}" fill="{c}"/>'.format(
            l=x + 4, b=base, x=x, t=top + 2, r=x + width / 2 - 2, c=shade(rock, 0.85)))
        cap = top + height * 0.28
        out.append('<polygon points="{a},{c} {x},{t} {b},{c} {m1},{d} {m2},{c2}" fill="{s}"/>'.format(
            a=x - width * 0.14, c=cap, x=x, t=top, b=x + width * 0.14, m1=x + width * 0.04, d=cap + 6,
            m2=x - width * 0.05, c2=cap + 3, s=SNOW))
    out.append('<rect x="0" y="88" width="{}" height="14" fill="{}"/>'.format(W, SNOW))
    return "".join(out)


def lodge(x, y):
    """The summit lodge at the road's end: the goal of the whole map."""
    return ('<g filter="url(#shadow)"><rect x="{a}" y="{b}" width="60" height="34" rx="2" fill="#C8553D" '
            'stroke="{bl}" stroke-width="2"/><rect x="{sx}" y="{b}" width="18" height="34" fill="{bs}"/>'
            '<polygon points="{r}" fill="{roof}" stroke="{rl}" stroke-width="2" stroke-linejoin="round"/>'
            '<polygon points="{cap}" fill="{snow}"/><rect x="{wx}" y="{wy}" width="10" height="10" rx="1" '
            'fill="#F9C74F" stroke="{bl}" stroke-width="1.5"/><rect x="{wx2}" y="{wy}" width="10" height="10" '
            'rx="1" fill="#F9C74F" stroke="{bl}" stroke-width="1.5"/><rect x="{dx}" y="{dy}" width="10" '
            'height="14" fill="{rl}"/><rect x="{fx}" y="{fy}" width="2" height="30" fill="#6B4A2B"/>'
            '<polygon points="{flag}" fill="#F9C74F" stroke="#D9A52F" stroke-width="1"/></g>').format(
        a=x - 30, b=y - 20, bl=shade("#C8553D", 0.65), sx=x + 12, bs=shade("#C8553D", 0.85),
        r="{},{} {},{} {},{}".format(x - 36, y - 20, x, y - 48, x + 36, y - 20), roof="#4A6274",
        rl=shade("#4A6274", 0.7), cap="{},{} {},{} {},{}".format(x - 30, y - 24, x, y - 46, x + 30, y - 24),
        snow=SNOW, wx=x - 24, wy=y - 12, wx2=x + 14, dx=x - 5, dy=y, fx=x + 34, fy=y - 62,
        flag="{},{} {},{} {},{}".format(x + 36, y - 62, x + 52, y - 56, x + 36, y - 50))


def background():
    points = locations()
    course = road_points(points)
    road = smooth(course)
    top, bottom = EDGES[1] + 8, EDGES[2] - 8
    bay = ("M{a} {t} C{b} {t} {w} {t2} {w2} {t} L{w2} {b2} C{w} {b3} {c} {b2} {d} {b2} "
           "C{e} {b2} {f} {m} {a} {t} Z").format(
        a=BAY_X + 30, t=top, b=BAY_X + 200, w=W - 200, t2=top + 10, w2=W + 10, b2=bottom, b3=bottom - 10,
        c=BAY_X + 260, d=BAY_X - 20, e=BAY_X - 60, f=BAY_X - 10, m=(top + bottom) / 2)
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="{}" height="{}" viewBox="0 0 {} {}">'.format(W, H, W, H),
             DEFS.format(water=WATER, deep=DEEP, bay=bay),
             '<rect width="{}" height="{}" fill="{}"/>'.format(W, H, SNOW),
             mountains()]
    # The grounds, each over the one above it.
    parts.append('<path d="{}" fill="{}"/>'.format(wavy_edge(EDGES[0], 0.3), AUTUMN))
    parts.append('<path d="{}" fill="{}"/>'.format(wavy_edge(EDGES[1], 1.1), SAND))
    parts.append('<path d="{}" fill="{}"/>'.format(wavy_edge(EDGES[2], 2.0), GRASS))
    # Soft patches break up each ground.
    for (cx, cy, rx, ry, colour) in [(240, 215, 150, 40, SNOW_SHADOW), (760, 230, 170, 36, SNOW_SHADOW),
                                     (150, 350, 140, 40, AUTUMN_DARK), (640, 360, 170, 36, AUTUMN_DARK),
                                     (260, 490, 160, 34, shade(SAND, 0.92)), (300, 660, 180, 50, GRASS_DARK),
                                     (800, 640, 170, 50, GRASS_DARK)]:
        parts.append('<ellipse cx="{}" cy="{}" rx="{}" ry="{}" fill="{}" opacity="0.35"/>'.format(
            cx, cy, rx, ry, colour))
    # The bay: sea with a wet-sand edge.
    parts.append('<path d="{}" fill="{}" stroke="{}" stroke-width="12" stroke-linejoin="round"/>'.format(
        bay, "url(#sea)", shade(SAND, 0.9)))
    parts.append('<path d="{}" fill="url(#sea)" stroke="{}" stroke-width="2"/>'.format(bay, shade(WATER, 0.8)))

    # The road: a darker kerb, the surface, the centre markings; over the bay
    # it runs on a boardwalk of planks.
    parts.append('<path d="{}" fill="none" stroke="{}" stroke-width="30" stroke-linecap="round"/>'.format(
        road, shade(ROAD, 0.75)))
    parts.append('<path d="{}" fill="none" stroke="{}" stroke-width="25" stroke-linecap="round"/>'.format(
        road, ROAD))
    parts.append('<g clip-path="url(#bay)"><path d="{r}" fill="none" stroke="{pl}" stroke-width="34"/>'
                 '<path d="{r}" fill="none" stroke="{p}" stroke-width="28"/>'
                 '<path d="{r}" fill="none" stroke="{pl}" stroke-width="28" stroke-dasharray="2 9"/></g>'.format(
                     r=road, p=PLANKS, pl=shade(PLANKS, 0.7)))
    parts.append('<path d="{}" fill="none" stroke="{}" stroke-width="2.5" stroke-dasharray="12 12"/>'.format(
        road, MARK))

    end = course[-1]
    parts.append(lodge(end[0], end[1] + 6))

    scatter = Scatter(points, course)
    top = 104
    # Winter: pines, cabins, snowmen and a frozen pond.
    for (x, y) in scatter.spots(1, top, EDGES[0] - 4, 28):
        parts.append(pond(x, y))
    for (x, y) in scatter.spots(3, top, EDGES[0] - 4, 22):
        parts.append(house(x, y, "#F6E7C8", "#4A6274", snow=True))
    for (x, y) in scatter.spots(3, top, EDGES[0] - 4, 12):
        parts.append(snowman(x, y))
    for (x, y) in scatter.spots(40, top, EDGES[0] - 4, 11):
        parts.append(pine(x, y + 8, 24, True))
    # Autumn: hills, orchards, hay and pumpkins.
    for (x, y) in scatter.spots(6, EDGES[0] + 14, EDGES[1] - 14, 18):
        parts.append(hill(x, y, AUTUMN_DARK))
    for (x, y) in scatter.spots(3, EDGES[0] + 6, EDGES[1] - 6, 22):
        parts.append(house(x, y, "#F6E7C8", "#D9643A"))
    for (x, y) in scatter.spots(8, EDGES[0] + 6, EDGES[1] - 6, 12):
        parts.append(hay(x, y) if scatter.random.random() < 0.5 else pumpkin(x, y))
    autumn = ["#E07B39", "#C8553D", "#F9C74F", "#D9643A"]
    for (x, y) in scatter.spots(40, EDGES[0] + 6, EDGES[1] - 6, 11):
        parts.append(tree(x, y, 10, scatter.random.choice(autumn)))
    # Seaside: the bay's boats and waves, the lighthouse, the beach.
    for (x, y) in scatter.spots(1, EDGES[1] + 6, EDGES[2] - 10, 24, left=BAY_X + 200):
        parts.append(lighthouse(x, y))
    for (x, y) in scatter.spots(5, EDGES[1] + 8, EDGES[2] - 12, 16, left=BAY_X + 10):
        parts.append(boat(x, y, scatter.random.choice(["#F6E7C8", "#F9C74F", "#F08A5D"])))
    for (x, y) in scatter.spots(14, EDGES[1] + 8, EDGES[2] - 12, 10, left=BAY_X + 10):
        parts.append(waves(x, y))
    for (x, y) in scatter.spots(3, EDGES[1] + 6, EDGES[2] - 6, 14, right=BAY_X - 50):
        parts.append(hut(x, y, scatter.random.choice(["#F08A5D", "#4FB3E8", "#8E7DBE"])))
    for (x, y) in scatter.spots(8, EDGES[1] + 6, EDGES[2] - 6, 13, right=BAY_X - 50):
        parts.append(umbrella(x, y, scatter.random.choice(["#F08A5D", "#F9C74F", "#8E7DBE", "#2A9D8F"])))
    for (x, y) in scatter.spots(8, EDGES[1] + 6, EDGES[2] - 6, 12, right=BAY_X - 50):
        parts.append(palm(x, y))
    # The spring town: houses, a fountain, blossom and flower beds.
    walls = ["#F6E7C8", "#C8553D", "#B8B0A5"]
    roofs = ["#D9643A", "#4A6274", "#2A9D8F"]
    for (x, y) in scatter.spots(1, EDGES[2] + 10, H - 4, 20):
        parts.append(fountain(x, y))
    for (x, y) in scatter.spots(12, EDGES[2] + 8, H - 4, 22):
        parts.append(house(x, y, scatter.random.choice(walls), scatter.random.choice(roofs)))
    for (x, y) in scatter.spots(10, EDGES[2] + 8, H - 4, 10):
        parts.append(flowers(x, y))
    for (x, y) in scatter.spots(24, EDGES[2] + 8, H - 4, 11):
        parts.append(tree(x, y, 10, scatter.random.choice(["#F4A6C0", GRASS_DARK, GRASS_DARK])))
    parts.append("</svg>\n")
    return "\n".join(parts)


def variants():
    return {"MapBackground.svg": background()}
