"""The ground of each level, 1024 x 768: grass (or sand), the avenue between
the two rows of building places with its sidewalks and driveways, and the
setting's own landscape (run by tools/content/write_variants.py). Trees,
benches and other things that stand up are separate sprites in Level.oscn.

PLACE_ROWS is the one table of where the places lie; Level.oscn and
LevelPaths.xml of each level follow it (tools/content/write_level_world.py).
"""

UPPER_Y, LOWER_Y = 206, 416          # footprint tops of the two rows
ROAD_TOP, ROAD_BOTTOM = 276, 336     # the avenue
WEST_LANE, EAST_LANE = 292, 320      # lane centres
NORTH_WALK, SOUTH_WALK = 270, 342    # sidewalk centres

# The rows of places, by the number of places of a level. The upper row ends
# left of x 790, where the HUD's goals panel hangs over the level.
PLACE_ROWS = {
    5: [(242, UPPER_Y), (442, UPPER_Y), (642, UPPER_Y), (342, LOWER_Y), (542, LOWER_Y)],
    6: [(142, UPPER_Y), (342, UPPER_Y), (542, UPPER_Y), (242, LOWER_Y), (442, LOWER_Y), (642, LOWER_Y)],
    8: [(52, UPPER_Y), (242, UPPER_Y), (432, UPPER_Y), (622, UPPER_Y),
        (142, LOWER_Y), (342, LOWER_Y), (542, LOWER_Y), (742, LOWER_Y)],
}

# The grounds drawn: (setting, number of places). A level uses the ground of
# its setting and place count, "Ground<setting>_<places>.png".
GROUNDS = [(1, 5), (1, 6), (1, 8), (2, 8), (3, 6), (3, 8), (4, 8)]


def ground_name(setting, count):
    return "Ground%d_%d" % (setting, count)


GRASS, GRASS_DARK, GRASS_LIGHT = "#7BC043", "#5E9A30", "#94CF62"
ROAD, ROAD_EDGE, MARK = "#8C8C8C", "#6E6E6E", "#F2F2F2"
WALK, WALK_EDGE = "#D8D2C6", "#B8B0A5"
WATER, DEEP, SAND, SAND_EDGE = "#4FB3E8", "#2E86C1", "#F4D58D", "#D9B86A"


def avenue():
    out = ['<rect x="-4" y="%d" width="1032" height="%d" fill="%s" stroke="%s" stroke-width="2"/>'
           % (NORTH_WALK - 8, SOUTH_WALK - NORTH_WALK + 16, WALK, WALK_EDGE),
           '<rect x="-4" y="%d" width="1032" height="%d" fill="%s" stroke="%s" stroke-width="2"/>'
           % (ROAD_TOP, ROAD_BOTTOM - ROAD_TOP, ROAD, ROAD_EDGE),
           '<path d="M0 %d H1024" stroke="%s" stroke-width="3" stroke-dasharray="22 14"/>'
           % ((ROAD_TOP + ROAD_BOTTOM) // 2, MARK)]
    out += ['<path d="M%d %d v6" stroke="%s" stroke-width="1.5"/>' % (x, y, WALK_EDGE)
            for y in (NORTH_WALK - 3, SOUTH_WALK - 3) for x in range(8, 1024, 24)]
    return "".join(out)


def driveways(places):
    out = []
    for x, y in places:
        if y == UPPER_Y:
            top, bottom = y + 50, NORTH_WALK - 8
        else:
            top, bottom = SOUTH_WALK + 8, y + 6
        out.append('<rect x="%d" y="%d" width="36" height="%d" fill="%s" stroke="%s" stroke-width="2"/>'
                   % (x + 52, top, bottom - top, WALK, WALK_EDGE))
        # a soft darker patch where the lot sits
        out.append('<rect x="%d" y="%d" width="148" height="64" rx="14" fill="%s" opacity="0.35"/>'
                   % (x - 4, y - 4, GRASS_DARK))
    return "".join(out)


def gradient(top, bottom):
    return ('<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient></defs>'
            '<rect width="1024" height="768" fill="url(#g)"/>' % (top, bottom))


def patches(spots, colour):
    return "".join('<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="%s" opacity="0.5"/>' % (x, y, rx, ry, colour)
                   for x, y, rx, ry in spots)


def spring_town(places, pond):
    out = [gradient(GRASS_LIGHT, GRASS)]
    # far hills behind the upper row
    # the sky over far hills, then nearer hills behind the upper row
    out.append('<rect width="1024" height="90" fill="#BFE6F7"/>')
    for top, fill, edge in (("M0 70 C140 30 260 60 400 40 C560 16 700 56 840 34 C930 22 990 40 1024 36",
                             "#A9D98A", "#8CC36A"),
                            ("M0 104 C120 76 260 102 380 86 C520 66 640 98 780 80 C880 68 960 88 1024 78",
                             "#8CCB59", "#74B043")):
        out.append('<path d="%s V160 C700 150 300 170 0 160 Z" fill="%s"/>' % (top, fill))
        out.append('<path d="%s" fill="none" stroke="%s" stroke-width="2"/>' % (top, edge))
    out.append(patches([(90, 200, 60, 18), (940, 230, 70, 20), (120, 560, 90, 26), (880, 600, 100, 28),
                        (500, 690, 140, 30)], GRASS_LIGHT))
    out.append(avenue() + driveways(places))
    # a footpath through the park below the lower row
    out.append('<path d="M-10 600 C200 560 360 640 560 600 S860 560 1034 610" fill="none" stroke="%s" '
               'stroke-width="16" stroke-linecap="round"/>' % WALK)
    cx, cy, rx, ry = pond
    out.append('<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="%s" stroke="%s" stroke-width="3"/>'
               % (cx, cy, rx, ry, WATER, DEEP))
    out.append('<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="#FFFFFF" opacity="0.25"/>'
               % (cx - rx // 3, cy - ry // 3, rx // 3, ry // 5))
    return "".join(out)


def seaside(places):
    out = [gradient("#A6D66F", GRASS)]
    # dunes and the sea at the bottom, a strip of beach at the top
    out.append('<path d="M0 110 C160 96 300 126 470 104 C640 84 820 120 1024 98 V0 H0 Z" fill="%s" stroke="%s" '
               'stroke-width="2"/>' % (SAND, SAND_EDGE))
    out.append('<path d="M0 0 H1024 V56 C860 74 700 44 520 62 C340 80 180 48 0 66 Z" fill="%s" stroke="%s" '
               'stroke-width="2"/>' % (WATER, DEEP))
    out.append(avenue() + driveways(places))
    # The beach and the sea lie high enough that the sea shows above the HUD's lower panel (from y 628).
    out.append('<path d="M0 496 C200 476 360 516 540 492 C720 468 880 504 1024 486 V768 H0 Z" fill="%s" '
               'stroke="%s" stroke-width="2"/>' % (SAND, SAND_EDGE))
    out.append('<path d="M0 562 C180 544 380 576 560 554 C740 532 900 566 1024 548 V768 H0 Z" fill="%s" '
               'stroke="%s" stroke-width="2"/>' % (WATER, DEEP))
    out.append('<path d="M0 640 C200 624 400 652 600 630 C780 612 920 640 1024 628 V768 H0 Z" fill="%s"/>' % DEEP)
    out += ['<path d="M%d %d q12 -6 24 0" fill="none" stroke="#FFFFFF" stroke-width="2" opacity="0.7"/>' % (x, y)
            for x, y in ((180, 668), (660, 676))]
    return "".join(out)


def autumn_hills(places):
    out = [gradient("#C9C46A", "#A9B04E")]
    out.append('<rect width="1024" height="96" fill="#F3D9A8"/>')
    for top, fill, edge in (("M0 60 C160 20 300 70 460 36 C600 10 760 60 900 30 C960 20 1000 34 1024 30",
                             "#D9A45A", "#B9843C"),
                            ("M0 110 C140 80 280 112 420 90 C560 70 700 104 840 84 C930 74 990 92 1024 86",
                             "#C2883E", "#A56D2A")):
        out.append('<path d="%s V170 C700 160 300 180 0 170 Z" fill="%s"/>' % (top, fill))
        out.append('<path d="%s" fill="none" stroke="%s" stroke-width="2"/>' % (top, edge))
    out.append(patches([(90, 200, 60, 18), (940, 230, 70, 20), (120, 560, 90, 26), (880, 600, 100, 28),
                        (500, 690, 140, 30)], "#D8CF7A"))
    out.append(avenue() + driveways(places))
    out.append('<path d="M-10 610 C200 570 360 650 560 610 S860 570 1034 620" fill="none" stroke="%s" '
               'stroke-width="16" stroke-linecap="round"/>' % WALK)
    out.append('<ellipse cx="540" cy="545" rx="80" ry="26" fill="%s" stroke="%s" stroke-width="3"/>' % (WATER, DEEP))
    return "".join(out)


def winter(places):
    snow, shade = "#F5F8FC", "#C9D6E3"
    out = [gradient("#FFFFFF", snow)]
    out.append('<rect width="1024" height="90" fill="#DCEBF5"/>')
    for top, fill in (("M0 64 C140 18 260 58 400 30 C560 6 700 50 840 24 C930 12 990 30 1024 26", "#E6EEF6"),
                      ("M0 106 C120 78 260 104 380 88 C520 68 640 100 780 82 C880 70 960 90 1024 80", "#EEF3F9")):
        out.append('<path d="%s V160 C700 150 300 170 0 160 Z" fill="%s"/>' % (top, fill))
        out.append('<path d="%s" fill="none" stroke="%s" stroke-width="2"/>' % (top, shade))
    out.append(patches([(90, 200, 60, 18), (940, 230, 70, 20), (120, 560, 90, 26), (880, 600, 100, 28),
                        (500, 690, 140, 30)], shade))
    out.append(avenue() + driveways(places).replace(GRASS_DARK, shade))
    out.append('<path d="M-10 610 C200 570 360 650 560 610 S860 570 1034 620" fill="none" stroke="%s" '
               'stroke-width="16" stroke-linecap="round"/>' % WALK)
    # a frozen pond
    out.append('<ellipse cx="540" cy="545" rx="80" ry="26" fill="#CFE8F5" stroke="#9CC3DA" stroke-width="3"/>')
    out.append('<path d="M500 540 l30 8 M560 536 l24 10" stroke="#FFFFFF" stroke-width="2"/>')
    return "".join(out)


def picture(setting, count):
    places = PLACE_ROWS[count]
    if setting == 2:
        body = seaside(places)
    elif setting == 3:
        body = autumn_hills(places)
    elif setting == 4:
        body = winter(places)
    else:
        body = spring_town(places, (560, 545, 85, 28) if count == 5 else (540, 545, 80, 26))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="1024" height="768" viewBox="0 0 1024 768">\n%s\n</svg>\n'
            % body)


def variants():
    return {ground_name(*g) + ".svg": picture(*g) for g in GROUNDS}
