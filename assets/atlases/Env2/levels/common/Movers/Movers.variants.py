"""The level's path movers in their eight directions: two cars, two
pedestrians and a gull (gliding, wings up and wings down) (run by
tools/content/write_variants.py).

Cars and people are small 3D models (boxes and rounded shapes) turned to the
direction and drawn in the game's three-quarter view from the south: ground
depth is foreshortened to 0.6 and heights to 0.8. Faces turned
towards the upper-left light keep the base colour, the others are 18 %
darker; every face has a darker outline and each picture casts the house
shadow down and to the right. The mover's path point is the picture's anchor
(ANCHOR below): the middle of a car on the road, a person's feet, the middle
of a bird. The gull flies high and is seen from straight above.

Directions: 0 Right, 45 RightUp, ... as the movers name them; screen up is
north on the ground.
"""
import math

from svgart import shade

DIRECTIONS = ["Right", "RightUp", "Up", "LeftUp", "Left", "LeftDown", "Down", "RightDown"]

CAR_SIZE, CAR_ANCHOR = (56, 44), (28, 28)
PERSON_SIZE, PERSON_ANCHOR = (30, 44), (15, 38)
BIRD_SIZE, BIRD_ANCHOR = (40, 40), (20, 20)

GLASS, TYRE, SKIN, HAIR_DARK, HAIR_FAIR = "#9FD3EE", "#34495E", "#F2C9A0", "#5B3A29", "#E0B050"
CARS = {"Car1": "#F08A5D", "Car2": "#2A9D8F"}
# shirt, trousers, hair
PEOPLE = {"Pedestrian1": ("#8E7DBE", "#B07A4A", HAIR_DARK), "Pedestrian2": ("#F08A5D", "#4A6274", HAIR_FAIR)}
GULL, GULL_TIP, BEAK = "#FFFFFF", "#4A6274", "#F9A03F"

SHADOW = """<defs><filter id="shadow" x="-30%" y="-30%" width="160%" height="160%">
    <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/><feOffset dx="2" dy="3" result="blur"/>
    <feFlood flood-color="#000000" flood-opacity="0.25"/><feComposite in2="blur" operator="in"/>
    <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter></defs>"""

DEPTH = 0.6                                         # ground depth on screen
HEIGHT = 0.8                                        # heights on screen
LIGHT = (-0.55, 0.45, 0.7)                          # towards the light: left, north, up
TO_VIEWER = (0.0, -math.cos(0.9), math.sin(0.9))    # from the south and above


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def svg(size, body):
    w, h = size
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n'
            '<g filter="url(#shadow)">%s</g>\n</svg>\n' % (w, h, w, h, SHADOW, body))


class Model:
    """Boxes in the mover's own frame (x forward, y to its left, z up),
    turned to a heading and projected around an anchor."""

    def __init__(self, heading_degrees, anchor, scale=1.0):
        self.a = math.radians(heading_degrees)
        self.anchor = anchor
        self.scale = scale
        self.parts = []  # (depth key, svg)

    def world(self, p):
        x, y, z = (v * self.scale for v in p)
        c, s = math.cos(self.a), math.sin(self.a)
        return (x * c - y * s, x * s + y * c, z)

    def screen(self, p):
        X, Y, Z = self.world(p)
        return (self.anchor[0] + X, self.anchor[1] - Y * DEPTH - Z * HEIGHT)

    def turn(self, n):
        c, s = math.cos(self.a), math.sin(self.a)
        return (n[0] * c - n[1] * s, n[0] * s + n[1] * c, n[2])

    def box(self, x0, x1, y0, y1, z0, z1, colour, faces=None, width=1.2):
        """A box; `faces` may give other colours by face name (front, back,
        left, right, top)."""
        faces = faces or {}
        corners = {
            "front": ([(x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (x1, y0, z1)], (1, 0, 0)),
            "back": ([(x0, y1, z0), (x0, y0, z0), (x0, y0, z1), (x0, y1, z1)], (-1, 0, 0)),
            "left": ([(x1, y1, z0), (x0, y1, z0), (x0, y1, z1), (x1, y1, z1)], (0, 1, 0)),
            "right": ([(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)], (0, -1, 0)),
            "top": ([(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)], (0, 0, 1)),
        }
        centre = self.world(((x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2))
        body = ""
        for name in ("back", "right", "left", "front", "top"):
            points, normal = corners[name]
            n = self.turn(normal)
            if dot(n, TO_VIEWER) <= 0.02:
                continue
            fill = faces.get(name, colour)
            if name != "top" and dot(n, LIGHT) < 0.05:
                fill = shade(fill, 0.82)
            pts = " ".join("%.2f,%.2f" % self.screen(p) for p in points)
            body += ('<polygon points="%s" fill="%s" stroke="%s" stroke-width="%g" stroke-linejoin="round"/>'
                     % (pts, fill, shade(fill, 0.72), width))
        self.parts.append((self.key(centre), body))

    def blob(self, p, rx, ry, colour, width=1.2, z_bias=0.0):
        """A round shape (head, hand) that looks the same from every side."""
        centre = self.world(p)
        x, y = self.screen(p)
        body = ('<ellipse cx="%.2f" cy="%.2f" rx="%g" ry="%g" fill="%s" stroke="%s" stroke-width="%g"/>'
                % (x, y, rx, ry, colour, shade(colour, 0.72), width))
        self.parts.append((self.key(centre) - z_bias, body))
        return x, y

    def key(self, world_point):
        """The distance away from the viewer: farther (north, lower) parts are drawn first."""
        return -dot(world_point, TO_VIEWER)

    def draw(self):
        return "".join(body for _, body in sorted(self.parts, key=lambda part: -part[0]))


def heading(direction):
    return 45 * DIRECTIONS.index(direction)


def car(colour, direction):
    m = Model(heading(direction), CAR_ANCHOR)
    dark = shade(colour, 0.9)
    for x in (-11, 10):
        for y0, y1 in ((7.5, 10.5), (-10.5, -7.5)):
            m.box(x - 3, x + 3, y0, y1, 0.5, 5.5, TYRE, width=0.8)
    m.box(-18, 18, -9, 9, 2, 9, colour, faces={"front": shade(colour, 1.15), "back": dark})
    m.box(-10, 6, -8, 8, 9, 15, GLASS, faces={"top": colour, "front": GLASS, "back": GLASS})
    # Lights: headlights in front, tail lights behind.
    m.box(17.6, 18.4, -7.5, -4, 5, 7.5, "#FFF3B0", width=0.6)
    m.box(17.6, 18.4, 4, 7.5, 5, 7.5, "#FFF3B0", width=0.6)
    m.box(-18.4, -17.6, -7.5, -4.5, 5, 7.5, "#C0392B", width=0.6)
    m.box(-18.4, -17.6, 4.5, 7.5, 5, 7.5, "#C0392B", width=0.6)
    return svg(CAR_SIZE, m.draw())


def person(shirt, trousers, hair, direction):
    size = 1.3
    m = Model(heading(direction), PERSON_ANCHOR, scale=size)
    # Legs a little apart along the walking direction, as in mid-stride.
    m.box(-3.5, 0.5, 0.5, 3, 0, 9, trousers, width=1)
    m.box(0, 4, -3, -0.5, 0, 9, trousers, width=1)
    m.box(-2, 2, -3.8, 3.8, 9, 18, shirt, width=1.2)
    # Arms swing opposite to the legs.
    m.box(0.5, 3.5, 3.8, 5.3, 10, 17, shirt, width=1)
    m.box(-3.5, -0.5, -5.3, -3.8, 10, 17, shirt, width=1)
    r = 4.2 * size
    hx, hy = m.blob((0, 0, 23), r, r, SKIN, z_bias=5)
    # Hair on top and, seen from behind, over the back of the head; the eyes
    # look along the heading and are hidden when the person walks away.
    a = math.radians(heading(direction))
    fx, fy = math.cos(a), -math.sin(a) * DEPTH
    top = '<ellipse cx="%.2f" cy="%.2f" rx="%.2f" ry="%.2f" fill="%s"/>' % (
        hx - fx * 0.4 * r, hy - 0.5 * r - fy * 0.3 * r, 0.85 * r, 0.55 * r, hair)
    back = '<circle cx="%.2f" cy="%.2f" r="%.2f" fill="%s" stroke="%s" stroke-width="1"/>' % (
        hx, hy, r, hair, shade(hair, 0.72))
    eyes = ""
    if fy >= -0.05:
        for side in (-1, 1):
            ex = hx + fx * 0.55 * r + side * 0.35 * r * max(0.15, abs(math.sin(a)))
            eyes += '<circle cx="%.2f" cy="%.2f" r="0.8" fill="#2D2A26"/>' % (ex, hy + 0.1 * r)
    m.parts.append((-100, (back if fy < -0.05 else top) + eyes))
    return svg(PERSON_SIZE, m.draw())


def gull(direction, pose):
    """Seen from straight above, beak towards the heading; `pose` is glide,
    up (wings raised: shorter from above) or down (tips swept back)."""
    span = {"glide": 16, "up": 10, "down": 14}[pose]
    sweep = {"glide": 2, "up": 0, "down": 6}[pose]
    c = BIRD_ANCHOR
    wings = ""
    for side in (-1, 1):
        wings += ('<path d="M%g %g Q%g %g %g %g L%g %g Q%g %g %g %g Z" fill="%s" stroke="%s" stroke-width="1.2" '
                  'stroke-linejoin="round"/>'
                  % (c[0] + 2, c[1], c[0] + 1, c[1] + side * span * 0.6, c[0] - sweep, c[1] + side * span,
                     c[0] - sweep - 4, c[1] + side * (span - 1),
                     c[0] - 4, c[1] + side * span * 0.4, c[0] - 4, c[1], GULL, shade(GULL, 0.72)))
        wings += ('<path d="M%g %g L%g %g L%g %g Z" fill="%s"/>'
                  % (c[0] - sweep, c[1] + side * span, c[0] - sweep - 4, c[1] + side * (span - 1),
                     c[0] - sweep - 1.5, c[1] + side * (span - 4), GULL_TIP))
    body = ('<ellipse cx="%g" cy="%g" rx="8" ry="3.2" fill="%s" stroke="%s" stroke-width="1.2"/>'
            % (c[0] - 1, c[1], GULL, shade(GULL, 0.72)))
    tail = ('<path d="M%g %g L%g %g L%g %g Z" fill="%s" stroke="%s" stroke-width="1"/>'
            % (c[0] - 8, c[1], c[0] - 12, c[1] - 2.5, c[0] - 12, c[1] + 2.5, GULL, shade(GULL, 0.72)))
    head = ('<circle cx="%g" cy="%g" r="2.6" fill="%s" stroke="%s" stroke-width="1"/>'
            '<path d="M%g %g l3 0.8 l-3 0.8 Z" fill="%s"/>'
            % (c[0] + 7, c[1], GULL, shade(GULL, 0.72), c[0] + 9.2, c[1] - 0.8, BEAK))
    turned = '<g transform="rotate(%d %g %g)">%s</g>' % (-heading(direction), c[0], c[1], tail + wings + body + head)
    return svg(BIRD_SIZE, turned)


def variants():
    files = {}
    for name, colour in CARS.items():
        for d in DIRECTIONS:
            files["%s_%s.svg" % (name, d)] = car(colour, d)
    for name, (shirt, trousers, hair) in PEOPLE.items():
        for d in DIRECTIONS:
            files["%s_%s.svg" % (name, d)] = person(shirt, trousers, hair, d)
    for d in DIRECTIONS:
        for pose in ("glide", "up", "down"):
            suffix = "" if pose == "glide" else "_" + pose.capitalize()
            files["Gull_%s%s.svg" % (d, suffix)] = gull(d, pose)
    return files
