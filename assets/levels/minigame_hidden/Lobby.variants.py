"""The first hidden-object location, a hotel lobby (run by
tools/content/write_variants.py): Background.svg (1024 x 768, the picture
without the objects to find) and Objects/<Name>.svg, one picture per hidden
object at its own size. Level.oscn places each object at the (x, y) of
OBJECTS; their colours are taken from what lies around them, so they blend
into the room without vanishing."""
from svgart import SHADOW_FILTER, shade

W, H = 1024, 768
WALL, WALL_DARK = "#F6E7C8", "#E8D3A8"
FLOOR, FLOOR_DARK = "#C98F5A", "#B07A48"
RUG, RUG_EDGE = "#C8553D", "#F9C74F"
WOOD, WOOD_DARK = "#8B5A2B", "#6E4520"
TEAL, SLATE = "#2A9D8F", "#4A6274"

DEFS = ("""<defs>
    """ + SHADOW_FILTER + """
    <linearGradient id="wall" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FBF1DC"/><stop offset="1" stop-color="{wall}"/>
    </linearGradient>
  </defs>""")


def svg(w, h, body, defs=True):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">{d}{b}</svg>\n'
            .format(w=w, h=h, d=DEFS.format(wall=WALL) if defs else "", b=body))


def box(x, y, w, h, fill, rx=3, sw=2):
    return '<rect x="{}" y="{}" width="{}" height="{}" rx="{}" fill="{}" stroke="{}" stroke-width="{}"/>'.format(
        x, y, w, h, rx, fill, shade(fill, 0.7), sw)


def plant(x, y, s=1.0):
    leaves = "".join('<ellipse cx="{}" cy="{}" rx="{}" ry="{}" transform="rotate({} {} {})" fill="#5E9A30" '
                     'stroke="#41701F" stroke-width="2"/>'.format(x + dx * s, y - 40 * s + dy * s, 9 * s, 26 * s,
                                                                  a, x + dx * s, y - 40 * s + dy * s)
                     for dx, dy, a in [(-16, 0, -35), (16, 0, 35), (0, -12, 0), (-8, 8, -15), (9, 8, 15)])
    return ('<g filter="url(#shadow)">{l}<path d="M{a} {y} L{b} {y} L{c} {y2} L{d} {y2} Z" fill="#D9643A" '
            'stroke="#A94C2B" stroke-width="2" stroke-linejoin="round"/></g>').format(
        l=leaves, a=x - 18 * s, b=x + 18 * s, c=x + 13 * s, d=x - 13 * s, y=y - 6 * s, y2=y + 26 * s)


def frame(x, y, w, h, inner):
    return '<g filter="url(#shadow)">{}{}</g>'.format(box(x, y, w, h, "#C7A46B", 2, 2),
                                                     '<g transform="translate({} {})">{}</g>'.format(x + 6, y + 6, inner))


def background():
    b = ['<rect width="1024" height="768" fill="#FFF8EC"/>',
         '<rect width="1024" height="430" fill="url(#wall)"/>']
    # Wainscot and wallpaper stripes.
    b += ['<rect x="{}" y="0" width="14" height="430" fill="{}" opacity="0.45"/>'.format(x, WALL_DARK)
          for x in range(10, 1024, 44)]
    b.append('<rect x="0" y="340" width="1024" height="90" fill="#D9B98C" stroke="#B89466" stroke-width="2"/>')
    b += ['<rect x="{}" y="352" width="60" height="66" rx="4" fill="none" stroke="#B89466" stroke-width="2"/>'
          .format(x) for x in range(16, 1024, 84)]
    # Floor boards.
    b.append('<rect x="0" y="430" width="1024" height="338" fill="{}"/>'.format(FLOOR))
    b += ['<line x1="0" y1="{y}" x2="1024" y2="{y}" stroke="{c}" stroke-width="2"/>'.format(y=y, c=FLOOR_DARK)
          for y in range(462, 768, 34)]
    for row, y in enumerate(range(430, 768, 34)):
        off = 60 if row % 2 else 0
        b += ['<line x1="{x}" y1="{y}" x2="{x}" y2="{y2}" stroke="{c}" stroke-width="2"/>'.format(
            x=x + off, y=y, y2=y + 34, c=FLOOR_DARK) for x in range(40, 1024, 150)]
    # Rug.
    b.append('<rect x="280" y="560" width="470" height="170" rx="14" fill="{}" stroke="{}" stroke-width="6"/>'
             .format(RUG, RUG_EDGE))
    b.append('<rect x="306" y="584" width="418" height="122" rx="8" fill="none" stroke="{}" stroke-width="3" '
             'stroke-dasharray="14 8"/>'.format(shade(RUG_EDGE, 0.85)))
    b.append('<ellipse cx="515" cy="645" rx="80" ry="34" fill="{}" stroke="{}" stroke-width="3"/>'
             .format(shade(RUG, 0.85), RUG_EDGE))
    # Windows with curtains, a clock and paintings.
    for x in (40, 860):
        b.append('<g filter="url(#shadow)"><rect x="{}" y="60" width="124" height="200" rx="6" fill="#9ED7F5" '
                 'stroke="#8A6A40" stroke-width="6"/><line x1="{}" y1="60" x2="{}" y2="260" stroke="#8A6A40" '
                 'stroke-width="4"/><line x1="{}" y1="160" x2="{}" y2="160" stroke="#8A6A40" stroke-width="4"/>'
                 '<path d="M{} 50 q24 110 0 230 l-22 0 l0 -230 z" fill="{}" stroke="{}" stroke-width="2"/>'
                 '<path d="M{} 50 q-24 110 0 230 l22 0 l0 -230 z" fill="{}" stroke="{}" stroke-width="2"/></g>'
                 .format(x, x + 62, x + 62, x, x + 124, x + 14, TEAL, shade(TEAL, 0.7), x + 110, TEAL,
                         shade(TEAL, 0.7)))
        b.append('<circle cx="{}" cy="110" r="20" fill="#FFFFFF" opacity="0.6"/>'.format(x + 40))
    b.append(frame(214, 70, 120, 90, '<rect width="108" height="78" fill="#7BC043"/><circle cx="80" cy="22" r="12" '
                   'fill="#F9C74F"/><path d="M0 78 L36 30 L64 62 L84 44 L108 78 Z" fill="#5E9A30"/>'))
    b.append(frame(690, 60, 100, 120, '<rect width="88" height="108" fill="#8E7DBE"/><circle cx="44" cy="44" r="24" '
                   'fill="#F6E7C8"/><rect x="20" y="70" width="48" height="38" rx="10" fill="#34495E"/>'))
    b.append('<g filter="url(#shadow)"><circle cx="512" cy="70" r="36" fill="#FFF8EC" stroke="#8A6A40" '
             'stroke-width="5"/><line x1="512" y1="70" x2="512" y2="46" stroke="#34495E" stroke-width="4" '
             'stroke-linecap="round"/><line x1="512" y1="70" x2="530" y2="78" stroke="#34495E" stroke-width="3" '
             'stroke-linecap="round"/></g>')
    # The key rack behind the desk.
    b.append('<g filter="url(#shadow)">' + box(380, 128, 264, 120, WOOD, 6))
    for i in range(12):
        kx, ky = 402 + (i % 6) * 40, 150 + (i // 6) * 50
        b.append('<circle cx="{}" cy="{}" r="4" fill="#C7A46B"/><rect x="{}" y="{}" width="8" height="20" rx="2" '
                 'fill="{}" stroke="#34495E" stroke-width="1"/>'.format(kx, ky, kx - 4, ky + 4,
                                                                         ["#F9C74F", "#F08A5D", "#F6E7C8"][i % 3]))
    b.append('</g>')
    # Reception desk with a bell, a lamp and papers.
    b.append('<g filter="url(#shadow)">' + box(330, 300, 364, 40, shade(WOOD, 1.2), 6) +
             box(344, 336, 336, 150, WOOD, 4))
    b += [box(x, 352, 66, 118, shade(WOOD, 0.9), 4) for x in (362, 442, 522, 602)]
    b.append('<rect x="344" y="336" width="336" height="10" fill="{}"/></g>'.format(WOOD_DARK))
    b.append('<g filter="url(#shadow)"><ellipse cx="420" cy="296" rx="16" ry="5" fill="#C7A46B"/>'
             '<path d="M406 296 a14 14 0 0 1 28 0 z" fill="#F9C74F" stroke="#B8860B" stroke-width="2"/>'
             '<circle cx="420" cy="279" r="3" fill="#B8860B"/></g>')
    b.append('<g filter="url(#shadow)"><rect x="640" y="240" width="8" height="58" fill="#34495E"/>'
             '<path d="M620 244 L668 244 L656 214 L632 214 Z" fill="#F9C74F" stroke="#C7A46B" stroke-width="2"/>'
             '<ellipse cx="644" cy="298" rx="18" ry="5" fill="#34495E"/></g>')
    b.append('<g filter="url(#shadow)"><rect x="470" y="282" width="58" height="16" rx="2" fill="#FFFFFF" '
             'stroke="#B8B0A5" stroke-width="2" transform="rotate(-6 499 290)"/>'
             '<rect x="540" y="284" width="40" height="14" rx="2" fill="#F4D58D" stroke="#C7A46B" stroke-width="2"/></g>')
    # Sofa and armchair on the left, coffee table.
    b.append('<g filter="url(#shadow)">' + box(30, 470, 220, 60, TEAL, 14) + box(20, 510, 240, 70, TEAL, 14) +
             box(14, 490, 34, 100, shade(TEAL, 0.85), 12) + box(232, 490, 34, 100, shade(TEAL, 0.85), 12) +
             box(60, 486, 60, 36, "#F9C74F", 10) + box(150, 486, 60, 36, "#F08A5D", 10) + '</g>')
    b.append('<g filter="url(#shadow)">' + box(80, 640, 150, 22, shade(WOOD, 1.2), 6) +
             box(92, 660, 12, 40, WOOD, 2) + box(206, 660, 12, 40, WOOD, 2) + '</g>')
    b.append('<g filter="url(#shadow)"><ellipse cx="120" cy="636" rx="20" ry="6" fill="#F08A5D" stroke="#A95F3F" '
             'stroke-width="2"/><rect x="150" y="622" width="42" height="14" rx="3" fill="#8E7DBE" '
             'stroke="#5F5290" stroke-width="2"/></g>')
    # Luggage trolley and suitcases on the right.
    b.append('<g filter="url(#shadow)"><rect x="800" y="420" width="8" height="230" fill="#C7A46B"/>'
             '<rect x="960" y="420" width="8" height="230" fill="#C7A46B"/>'
             '<path d="M800 424 Q884 360 968 424" fill="none" stroke="#C7A46B" stroke-width="8"/>'
             '<rect x="790" y="640" width="188" height="14" rx="4" fill="#B8860B"/>'
             '<circle cx="806" cy="664" r="12" fill="#34495E"/><circle cx="962" cy="664" r="12" fill="#34495E"/></g>')
    for x, y, w, h, c in [(816, 560, 80, 80, "#C8553D"), (900, 576, 56, 64, SLATE), (826, 500, 60, 60, "#F9C74F"),
                          (890, 520, 64, 56, "#8E7DBE"), (840, 452, 44, 48, TEAL)]:
        b.append('<g filter="url(#shadow)">' + box(x, y, w, h, c, 6) +
                 '<rect x="{}" y="{}" width="{}" height="6" rx="3" fill="{}"/>'.format(x + w / 2 - 10, y - 6, 20,
                                                                                      shade(c, 0.6)) +
                 '<line x1="{}" y1="{}" x2="{}" y2="{}" stroke="{}" stroke-width="3"/>'.format(
                     x + 6, y + h / 2, x + w - 6, y + h / 2, shade(c, 0.75)) + '</g>')
    # Plants, a floor lamp, a bench with newspapers, a hat stand.
    b += [plant(300, 470), plant(730, 470, 1.1), plant(40, 720, 1.2), plant(990, 330, 0.9)]
    b.append('<g filter="url(#shadow)"><rect x="268" y="300" width="6" height="210" fill="#34495E"/>'
             '<path d="M246 306 L296 306 L286 266 L256 266 Z" fill="#F4D58D" stroke="#C7A46B" stroke-width="2"/>'
             '<ellipse cx="271" cy="510" rx="20" ry="6" fill="#34495E"/></g>')
    b.append('<g filter="url(#shadow)"><rect x="770" y="230" width="8" height="200" fill="{}"/>'
             '<line x1="774" y1="240" x2="748" y2="260" stroke="{}" stroke-width="5" stroke-linecap="round"/>'
             '<line x1="774" y1="240" x2="800" y2="260" stroke="{}" stroke-width="5" stroke-linecap="round"/>'
             '<ellipse cx="774" cy="430" rx="24" ry="7" fill="{}"/>'
             '<path d="M782 262 q20 30 0 70 l-10 0 q-6 -40 10 -70 z" fill="#C8553D" stroke="#8E3A28" '
             'stroke-width="2"/></g>'.format(WOOD, WOOD, WOOD, WOOD_DARK))
    b.append('<g filter="url(#shadow)">' + box(560, 690, 190, 20, shade(WOOD, 1.2), 6) +
             box(572, 708, 10, 40, WOOD, 2) + box(728, 708, 10, 40, WOOD, 2) +
             '<rect x="580" y="676" width="46" height="16" rx="2" fill="#F6E7C8" stroke="#B8B0A5" stroke-width="2"/>'
             '<rect x="640" y="678" width="38" height="14" rx="2" fill="#F2F2F2" stroke="#B8B0A5" stroke-width="2"/>'
             '</g>')
    # Scattered small things that make the room busy.
    for x, y, c in [(460, 520, "#F9C74F"), (606, 540, "#F6E7C8"), (250, 700, "#8E7DBE"), (960, 720, "#F08A5D"),
                    (700, 520, TEAL), (380, 740, "#F6E7C8")]:
        b.append('<g filter="url(#shadow)"><rect x="{}" y="{}" width="22" height="14" rx="3" fill="{}" '
                 'stroke="{}" stroke-width="2"/></g>'.format(x, y, c, shade(c, 0.7)))
    return svg(W, H, "".join(b))


# Each object: (name, x, y, width, height, body in its own coordinates).
OBJECTS = [
    ("Umbrella", 300, 372, 34, 84,
     '<path d="M17 4 C2 8 4 40 9 56 L25 56 C30 40 32 8 17 4 Z" fill="#4A6274" stroke="#33444F" stroke-width="2"/>'
     '<line x1="17" y1="56" x2="17" y2="74" stroke="#6E4520" stroke-width="3"/>'
     '<path d="M17 74 q0 8 -7 7" fill="none" stroke="#6E4520" stroke-width="3" stroke-linecap="round"/>'
     '<line x1="17" y1="6" x2="17" y2="56" stroke="#33444F" stroke-width="1.5"/>'),
    ("Teddy", 62, 450, 44, 46,
     '<circle cx="10" cy="9" r="7" fill="#B07A48" stroke="#7A5330" stroke-width="2"/>'
     '<circle cx="34" cy="9" r="7" fill="#B07A48" stroke="#7A5330" stroke-width="2"/>'
     '<circle cx="22" cy="18" r="13" fill="#C98F5A" stroke="#7A5330" stroke-width="2"/>'
     '<ellipse cx="22" cy="36" rx="14" ry="9" fill="#C98F5A" stroke="#7A5330" stroke-width="2"/>'
     '<circle cx="17" cy="16" r="2" fill="#34495E"/><circle cx="27" cy="16" r="2" fill="#34495E"/>'
     '<ellipse cx="22" cy="22" rx="4" ry="3" fill="#F4D58D"/>'),
    ("Glasses", 586, 286, 52, 20,
     '<circle cx="12" cy="10" r="8" fill="#9ED7F5" fill-opacity="0.6" stroke="#34495E" stroke-width="3"/>'
     '<circle cx="40" cy="10" r="8" fill="#9ED7F5" fill-opacity="0.6" stroke="#34495E" stroke-width="3"/>'
     '<path d="M20 9 q6 -5 12 0" fill="none" stroke="#34495E" stroke-width="3"/>'),
    ("Camera", 896, 470, 48, 36,
     '<rect x="2" y="8" width="44" height="26" rx="4" fill="#34495E" stroke="#22313F" stroke-width="2"/>'
     '<rect x="8" y="3" width="12" height="7" rx="2" fill="#34495E" stroke="#22313F" stroke-width="2"/>'
     '<circle cx="26" cy="21" r="9" fill="#4FB3E8" stroke="#F2F2F2" stroke-width="3"/>'
     '<circle cx="39" cy="13" r="2" fill="#F9C74F"/>'),
    ("Hat", 460, 618, 66, 34,
     '<ellipse cx="33" cy="26" rx="31" ry="7" fill="#B5442F" stroke="#8E3A28" stroke-width="2"/>'
     '<path d="M14 26 C14 6 52 6 52 26 Z" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'
     '<rect x="15" y="18" width="36" height="5" fill="#F9C74F"/>'),
    ("Cup", 196, 604, 34, 30,
     '<path d="M3 6 L25 6 L22 27 L6 27 Z" fill="#F6E7C8" stroke="#B8B0A5" stroke-width="2" stroke-linejoin="round"/>'
     '<path d="M25 10 q8 0 6 8 q-2 5 -8 4" fill="none" stroke="#B8B0A5" stroke-width="3"/>'
     '<ellipse cx="14" cy="6" rx="11" ry="3" fill="#8B5A2B"/>'),
    ("Book", 338, 244, 50, 60,
     '<rect x="4" y="2" width="40" height="54" rx="3" fill="#5E9A30" stroke="#41701F" stroke-width="2"/>'
     '<rect x="40" y="4" width="6" height="50" fill="#F6E7C8" stroke="#B8B0A5" stroke-width="1"/>'
     '<rect x="12" y="14" width="24" height="6" rx="2" fill="#F9C74F"/>'
     '<rect x="12" y="26" width="16" height="4" rx="2" fill="#F6E7C8"/>'),
    ("Key", 702, 390, 56, 26,
     '<circle cx="12" cy="13" r="9" fill="none" stroke="#C7A46B" stroke-width="5"/>'
     '<rect x="20" y="10" width="32" height="6" rx="2" fill="#C7A46B"/>'
     '<rect x="40" y="15" width="5" height="8" fill="#C7A46B"/><rect x="48" y="15" width="4" height="6" fill="#C7A46B"/>'),
]


def object_svg(w, h, body):
    return svg(w + 6, h + 6, '<g filter="url(#shadow)">{}</g>'.format(body))


def variants():
    files = {"Background.svg": background()}
    for name, _x, _y, w, h, body in OBJECTS:
        files["Objects/{}.svg".format(name)] = object_svg(w, h, body)
    return files
