"""The main menu's street (run by tools/content/write_variants.py): the road
that runs from the far right into the lower left of the menu, its pavements,
the little park in front with the bike loop, and the people, cars and bikes
that use them.

The road is drawn in perspective over the backdrop's meadow: far and narrow at
the right edge, near and wide at the left. Its lanes and pavements are the
paths of scenes/BgTrafficPaths.xml (the lines below give their heights), and
the actors scale themselves with their height on the screen, so they are
drawn here at the size they have close by. Cars and walkers are the level's
movers (atlases/Env2/levels/common/Movers) modelled larger; the bike turns
through 24 directions.
"""
import importlib.util
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
MOVERS = os.path.normpath(os.path.join(HERE, "../../../../../Env2/levels/common/Movers/Movers.variants.py"))
# Files this generator reads besides itself; the build reruns it when they change.
INPUTS = [MOVERS]
_spec = importlib.util.spec_from_file_location("movers", MOVERS)
M = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(M)
shade = M.shade

# The overlay covers the screen from TOP down; x and y below are screen units.
TOP = 640
WIDTH, HEIGHT = 1024, 768 - TOP


def road_top(x):
    return 712 - 40 * x / 1024


def road_bottom(x):
    return 760 - 72 * x / 1024


MEADOW, LAWN = "#6AAE37", "#7BC043"
MEADOW_FROM = 664
ROAD, KERB, PAVEMENT, MARKING = "#8C8C8C", "#737373", "#D8D2C4", "#F2F2F2"
GRAVEL = "#E6D3A3"
BIKE_LOOP = (800, 736, 130, 20)  # centre and radii of the park's loop

SCALE = 2.6  # model units to pixels, close by
CARS = {"Car1": "#F08A5D", "Car2": "#2A9D8F", "Car3": "#F9C74F"}
WALKERS = {"Walker1": ("#8E7DBE", "#4A6274", M.HAIR_DARK), "Walker2": ("#F08A5D", "#B07A4A", M.HAIR_FAIR),
           "Walker3": ("#2A9D8F", "#34495E", "#8C5A3C")}
# Headings on the ground: towards the viewer along the road (left and a
# little nearer) and away from it.
TOWARD, AWAY = 198, 18

BIKE_DIRECTIONS = ["Right", "RightRightRightUp", "RightRightUp", "RightUp", "RightUpUp", "RightUpUpUp", "Up",
                   "LeftUpUpUp", "LeftUpUp", "LeftUp", "LeftLeftUp", "LeftLeftLeftUp", "Left", "LeftLeftDown",
                   "LeftLeftLeftDown", "LeftDown", "LeftDownDown", "LeftDownDownDown", "Down", "RightDownDownDown",
                   "RightDownDown", "RightDown", "RightRightDown", "RightRightRightDown"]


def poly(points, fill, stroke=None, width=2):
    pts = " ".join("%.1f,%.1f" % (x, y - TOP) for x, y in points)
    return '<polygon points="%s" fill="%s" stroke="%s" stroke-width="%g" stroke-linejoin="round"/>' % (
        pts, fill, stroke or shade(fill, 0.8), width)


def along(f, x0=-20, x1=1044, step=16):
    return [(x, f(x)) for x in range(x0, x1 + 1, step)]


def lamp(x, y, s):
    """A street lamp whose foot stands at (x, y), s its size there."""
    h, r = 46 * s, 4.5 * s
    y -= TOP
    return ('<g filter="url(#shadow)"><rect x="%.1f" y="%.1f" width="%.1f" height="%.1f" fill="#4A6274"/>'
            '<circle cx="%.1f" cy="%.1f" r="%.1f" fill="#F9C74F" stroke="#D9A52F" stroke-width="%.1f"/></g>'
            % (x - 1.2 * s, y - h, 2.4 * s, h, x, y - h, r, max(0.8, 1.5 * s)))


def tree(x, y, s, colour="#6DB33F"):
    y -= TOP
    return ('<g filter="url(#shadow)"><rect x="%.1f" y="%.1f" width="%.1f" height="%.1f" fill="#8C5A3C"/>'
            '<circle cx="%.1f" cy="%.1f" r="%.1f" fill="%s" stroke="%s" stroke-width="2"/></g>'
            % (x - 3 * s, y - 14 * s, 6 * s, 14 * s, x, y - 30 * s, 18 * s, colour, shade(colour, 0.75)))


def street():
    # The backdrop's road is covered; above it the backdrop's meadow (and its
    # flowers) shows through.
    body = ['<rect x="0" y="%d" width="%d" height="%d" fill="%s"/>' % (MEADOW_FROM - TOP, WIDTH, 768 - MEADOW_FROM,
                                                                      MEADOW)]
    # Far pavement, road, near pavement and the park's lawn, from the top down.
    far_edge = lambda x: road_top(x) - 4 - 3 * (1 - x / 1024)
    body.append(poly(along(far_edge) + along(road_top)[::-1], PAVEMENT, width=1.5))
    body.append(poly(along(road_top) + along(road_bottom)[::-1], ROAD, KERB))
    near_edge = lambda x: road_bottom(x) + 5 + 9 * (1 - x / 1024)
    body.append(poly(along(road_bottom) + along(near_edge)[::-1], PAVEMENT, width=1.5))
    body.append(poly(along(near_edge) + [(1044, 790), (-20, 790)], LAWN, shade(LAWN, 0.85)))
    # The centre line, dashes shrinking into the distance.
    x = -20.0
    while x < 1044:
        t = x / 1024
        length = 46 - 30 * t
        centre = lambda u: (road_top(u) + road_bottom(u)) / 2
        body.append('<line x1="%.1f" y1="%.1f" x2="%.1f" y2="%.1f" stroke="%s" stroke-width="%.1f" '
                    'stroke-linecap="round"/>' % (x, centre(x) - TOP, x + length, centre(x + length) - TOP,
                                                  MARKING, 4 - 2.5 * t))
        x += length * 2.1
    # The park: a gravel loop round a flower bed.
    cx, cy, rx, ry = BIKE_LOOP
    body.append('<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="none" stroke="%s" stroke-width="16"/>'
                % (cx, cy - TOP, rx, ry, shade(GRAVEL, 0.85)))
    body.append('<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="none" stroke="%s" stroke-width="12"/>'
                % (cx, cy - TOP, rx, ry, GRAVEL))
    body.append('<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="%s" stroke="%s" stroke-width="2"/>'
                % (cx, cy - TOP, rx - 40, ry - 9, "#8FCB5A", shade(LAWN, 0.8)))
    for i, colour in enumerate(("#F08A5D", "#F9C74F", "#8E7DBE", "#F08A5D", "#F9C74F", "#8E7DBE", "#F08A5D")):
        fx = cx - 60 + i * 20
        fy = cy - TOP + (3 if i % 2 else -2)
        body.append('<circle cx="%d" cy="%d" r="4" fill="%s" stroke="%s" stroke-width="1.5"/>'
                    % (fx, fy, colour, shade(colour, 0.75)))
    # Lamps along the far pavement and trees behind it, smaller further off.
    for x in (150, 430, 650, 830, 960):
        s = max(0.2, (far_edge(x) - 668) / 100 + 0.25)
        body.append(tree(x + 40, far_edge(x) - 6, s * 0.9, "#6DB33F" if x % 3 else "#7BC043"))
        body.append(lamp(x, far_edge(x) + 2, s))
    body.append(tree(996, 758, 0.9, "#6DB33F"))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n%s\n</svg>\n'
            % (WIDTH, HEIGHT, WIDTH, HEIGHT, M.SHADOW, "\n".join(body)))


def scaled(size, anchor):
    return (round(size[0] * SCALE / 1.0), round(size[1] * SCALE / 1.0)), (anchor[0] * SCALE, anchor[1] * SCALE)


def car(colour, heading):
    size, anchor = (150, 110), (75, 72)
    m = M.Model(heading, anchor, scale=SCALE)
    dark = shade(colour, 0.9)
    for x in (-11, 10):
        for y0, y1 in ((7.5, 10.5), (-10.5, -7.5)):
            m.box(x - 3, x + 3, y0, y1, 0.5, 5.5, M.TYRE, width=1.5)
    m.box(-18, 18, -9, 9, 2, 9, colour, faces={"front": shade(colour, 1.15), "back": dark}, width=2)
    m.box(-10, 6, -8, 8, 9, 15, M.GLASS, faces={"top": colour, "front": M.GLASS, "back": M.GLASS}, width=2)
    m.box(17.6, 18.4, -7.5, -4, 5, 7.5, "#FFF3B0", width=1)
    m.box(17.6, 18.4, 4, 7.5, 5, 7.5, "#FFF3B0", width=1)
    m.box(-18.4, -17.6, -7.5, -4.5, 5, 7.5, "#C0392B", width=1)
    m.box(-18.4, -17.6, 4.5, 7.5, 5, 7.5, "#C0392B", width=1)
    return M.svg(size, m.draw())


def walker(shirt, trousers, hair, heading):
    size, anchor = (64, 96), (32, 84)
    s = 2.7
    m = M.Model(heading, anchor, scale=s)
    m.box(-3.5, 0.5, 0.5, 3, 0, 9, trousers, width=1.6)
    m.box(0, 4, -3, -0.5, 0, 9, trousers, width=1.6)
    m.box(-2, 2, -3.8, 3.8, 9, 18, shirt, width=1.8)
    m.box(0.5, 3.5, 3.8, 5.3, 10, 17, shirt, width=1.4)
    m.box(-3.5, -0.5, -5.3, -3.8, 10, 17, shirt, width=1.4)
    r = 4.2 * s
    hx, hy = m.blob((0, 0, 23), r, r, M.SKIN, width=1.8, z_bias=5)
    a = math.radians(heading)
    fx, fy = math.cos(a), -math.sin(a) * M.DEPTH
    top = '<ellipse cx="%.2f" cy="%.2f" rx="%.2f" ry="%.2f" fill="%s"/>' % (
        hx - fx * 0.4 * r, hy - 0.5 * r - fy * 0.3 * r, 0.85 * r, 0.55 * r, hair)
    back = '<circle cx="%.2f" cy="%.2f" r="%.2f" fill="%s" stroke="%s" stroke-width="1.6"/>' % (
        hx, hy, r, hair, shade(hair, 0.72))
    eyes = ""
    if fy >= -0.05:
        for side in (-1, 1):
            ex = hx + fx * 0.55 * r + side * 0.35 * r * max(0.15, abs(math.sin(a)))
            eyes += '<circle cx="%.2f" cy="%.2f" r="1.6" fill="#2D2A26"/>' % (ex, hy + 0.1 * r)
    m.parts.append((-100, (back if fy < -0.05 else top) + eyes))
    return M.svg(size, m.draw())


def wheel(m, x, radius, colour, width):
    """A wheel standing in the bike's own plane, as a ring of points."""
    points = [m.screen((x + radius * math.cos(p), 0, radius + radius * math.sin(p)))
              for p in (i * math.pi / 12 for i in range(24))]
    centre = m.world((x, 0, radius))
    pts = " ".join("%.2f,%.2f" % p for p in points)
    m.parts.append((m.key(centre), '<polygon points="%s" fill="none" stroke="%s" stroke-width="%g"/>'
                    % (pts, colour, width)))


def bike(screen_degrees):
    # The ground heading that shows at this angle on the screen, where
    # ground depth is foreshortened.
    t = math.radians(screen_degrees)
    heading = math.degrees(math.atan2(math.sin(t) / M.DEPTH, math.cos(t)))
    size, anchor = (80, 84), (40, 66)
    s = 2.2
    m = M.Model(heading, anchor, scale=s)
    frame, shirt, trousers = "#C0392B", "#F9C74F", "#4A6274"
    wheel(m, -6, 4.2, "#34495E", 2.4)
    wheel(m, 6, 4.2, "#34495E", 2.4)
    m.box(-6, 6, -0.5, 0.5, 4, 5.2, frame, width=1.2)
    m.box(-1.5, -0.5, -0.5, 0.5, 4, 10, frame, width=1)
    m.box(5, 6, -0.5, 0.5, 4, 11, frame, width=1)
    m.box(4.5, 5.5, -2.5, 2.5, 11, 11.8, "#34495E", width=1)
    # The rider: legs to the pedals, body leaning forward, arms to the bars.
    m.box(-2, 0, -2.2, -0.8, 5, 10.5, trousers, width=1.2)
    m.box(-1, 1, 0.8, 2.2, 6, 10.5, trousers, width=1.2)
    m.box(-2.5, 1.5, -2.2, 2.2, 10.5, 17, shirt, width=1.4)
    m.box(1, 5, 2, 3, 12.5, 15.5, shirt, width=1.1)
    m.box(1, 5, -3, -2, 12.5, 15.5, shirt, width=1.1)
    m.blob((0.5, 0, 20), 3.3 * s, 3.3 * s, M.SKIN, width=1.5, z_bias=5)
    helmet = m.screen((0.5, 0, 21.6))
    m.parts.append((-100, '<ellipse cx="%.2f" cy="%.2f" rx="%.2f" ry="%.2f" fill="#2A9D8F" stroke="%s" '
                    'stroke-width="1.4"/>' % (helmet[0], helmet[1], 3.4 * s, 2.2 * s, shade("#2A9D8F", 0.72))))
    return M.svg(size, m.draw())


def variants():
    files = {"Street.svg": street()}
    for name, colour in CARS.items():
        files["%s_Toward.svg" % name] = car(colour, TOWARD)
        files["%s_Away.svg" % name] = car(colour, AWAY)
    for name, (shirt, trousers, hair) in WALKERS.items():
        files["%s_Toward.svg" % name] = walker(shirt, trousers, hair, TOWARD)
        files["%s_Away.svg" % name] = walker(shirt, trousers, hair, AWAY)
    for i, name in enumerate(BIKE_DIRECTIONS):
        files["Bike_%s.svg" % name] = bike(15 * i)
    return files
