"""Colour helpers shared by the SVG variants generators (importable from a
generator that tools/content/write_variants.py runs)."""


def shade(colour, factor):
    """The colour "#RRGGBB" darkened (factor < 1) or lightened towards white
    (factor > 1)."""
    rgb = [int(colour[i:i + 2], 16) for i in (1, 3, 5)]
    if factor <= 1:
        rgb = [round(c * factor) for c in rgb]
    else:
        rgb = [round(c + (255 - c) * (factor - 1)) for c in rgb]
    return "#" + "".join("%02X" % max(0, min(255, c)) for c in rgb)


# The soft shadow every drawn object casts down and to the right, as a filter
# element for a picture's <defs>; shapes take it with filter="url(#shadow)".
SHADOW_FILTER = """<filter id="shadow" x="-30%" y="-30%" width="170%" height="170%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="3" dy="4"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>"""


# Outlined shapes: each has a 2 px outline in a darker shade of its fill.
def line(colour):
    return shade(colour, 0.72)


def fmt(points):
    return " ".join("%g,%g" % p for p in points)


def poly(points, fill, width=2):
    return '<polygon points="%s" fill="%s" stroke="%s" stroke-width="%g" stroke-linejoin="round"/>' % (
        fmt(points), fill, line(fill), width)


def rect(x, y, w, h, fill, r=0, width=2):
    return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s" stroke="%s" stroke-width="%g"/>' % (
        x, y, w, h, r, fill, line(fill), width)


def circle(x, y, r, fill, width=2):
    return '<circle cx="%g" cy="%g" r="%g" fill="%s" stroke="%s" stroke-width="%g"/>' % (x, y, r, fill, line(fill), width)


def ellipse(x, y, rx, ry, fill, width=2, extra=""):
    return '<ellipse cx="%g" cy="%g" rx="%g" ry="%g" fill="%s" stroke="%s" stroke-width="%g"%s/>' % (
        x, y, rx, ry, fill, line(fill), width, extra)


def path(d, fill, width=2):
    return '<path d="%s" fill="%s" stroke="%s" stroke-width="%g" stroke-linejoin="round"/>' % (d, fill, line(fill), width)
