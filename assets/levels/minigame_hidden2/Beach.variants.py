"""The second hidden-object location, a beach (run by
tools/content/write_variants.py): Background.svg (1024 x 768, the picture
without the objects to find), Objects/<Name>.svg (one picture per hidden
object at its own size) and Preview/<Name>.svg (the same object larger, for
the preview that asks for it). Level.oscn places each object at the (x, y) of
OBJECTS; their colours follow what lies around them."""
from svgart import SHADOW_FILTER, shade

W, H = 1024, 768
SKY, SEA, DEEP, SAND = "#BFE6FA", "#4FB3E8", "#2E86C1", "#F4D58D"
SAND_DARK = shade(SAND, 0.88)

DEFS = ("""<defs>
    """ + SHADOW_FILTER + """
    <linearGradient id="sea" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2E86C1"/><stop offset="1" stop-color="#4FB3E8"/>
    </linearGradient>
  </defs>""")


def svg(w, h, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">{d}{b}</svg>\n'
            .format(w=w, h=h, d=DEFS, b=body))


def g(body):
    return '<g filter="url(#shadow)">{}</g>'.format(body)


def umbrella(x, y, c1, c2):
    stripes = "".join('<path d="M{x} {y} L{a} {b} A90 40 0 0 1 {c} {d} Z" fill="{f}" stroke="{s}" stroke-width="2"/>'
                      .format(x=x, y=y - 90, a=x - 90 + i * 36, b=y - 50, c=x - 90 + (i + 1) * 36, d=y - 50,
                              f=c1 if i % 2 == 0 else c2, s=shade(c1, 0.7)) for i in range(5))
    return g('<rect x="{}" y="{}" width="6" height="96" fill="#8B5A2B"/>'.format(x - 3, y - 90) + stripes +
             '<ellipse cx="{}" cy="{}" rx="16" ry="5" fill="{}"/>'.format(x, y + 6, SAND_DARK))


def towel(x, y, w, h, c, angle=0):
    stripes = "".join('<rect x="{}" y="{}" width="{}" height="8" fill="#FFFFFF" opacity="0.8"/>'.format(
        x + 6, y + yy, w - 12) for yy in range(14, h - 10, 26))
    return g('<g transform="rotate({a} {cx} {cy})"><rect x="{x}" y="{y}" width="{w}" height="{h}" rx="6" fill="{c}" '
             'stroke="{s}" stroke-width="2"/>{st}</g>'.format(a=angle, cx=x + w / 2, cy=y + h / 2, x=x, y=y, w=w,
                                                             h=h, c=c, s=shade(c, 0.7), st=stripes))


def palm(x, y, s=1.0):
    leaves = "".join('<path d="M{x} {y} q{a} {b} {c} {d} q{e} {f} {g} {h} z" fill="#5E9A30" stroke="#41701F" '
                     'stroke-width="2"/>'.format(x=x, y=y - 150 * s, a=dx * 0.5 * s, b=-30 * s, c=dx * s,
                                                 d=dy * s, e=-dx * 0.4 * s, f=-10 * s, g=-dx * s, h=-dy * s)
                     for dx, dy in [(-90, 30), (90, 30), (-70, -20), (70, -20), (-30, 50), (30, 50)])
    trunk = '<path d="M{} {} q{} {} {} {} l10 0 q{} {} {} {} z" fill="#B07A48" stroke="#7A5330" stroke-width="2"/>' \
        .format(x - 6, y, 20 * s, -80 * s, 4 * s, -150 * s, 14 * s, 70 * s, -2 * s, 150 * s)
    return g(trunk + leaves + '<circle cx="{}" cy="{}" r="{}" fill="#6E4520"/><circle cx="{}" cy="{}" r="{}" '
             'fill="#6E4520"/>'.format(x - 6 * s, y - 140 * s, 7 * s, x + 8 * s, y - 138 * s, 7 * s))


def rock(x, y, w, h):
    return g('<path d="M{a} {b} q{c} {d} {e} 0 q{f} {g} {h} 0 z" fill="#B8B0A5" stroke="#8A8378" stroke-width="2"/>'
             .format(a=x, b=y, c=w * 0.2, d=-h * 1.3, e=w * 0.55, f=w * 0.3, g=-h * 0.9, h=w * 0.45))


def background():
    b = ['<rect width="1024" height="768" fill="{}"/>'.format(SAND),
         '<rect width="1024" height="170" fill="{}"/>'.format(SKY),
         '<circle cx="880" cy="70" r="40" fill="#F9C74F"/>']
    for cx, cy in [(160, 60), (420, 90), (640, 50)]:
        b.append('<g fill="#FFFFFF"><circle cx="{}" cy="{}" r="20"/><circle cx="{}" cy="{}" r="26"/>'
                 '<circle cx="{}" cy="{}" r="18"/></g>'.format(cx - 22, cy + 4, cx, cy - 4, cx + 24, cy + 6))
    b.append('<path d="M0 150 L1024 150 L1024 300 C900 320 760 280 620 310 C480 340 300 290 160 320 '
             'C90 334 40 320 0 330 Z" fill="url(#sea)"/>')
    b.append('<path d="M0 330 C40 320 90 334 160 320 C300 290 480 340 620 310 C760 280 900 320 1024 300" '
             'fill="none" stroke="#FFFFFF" stroke-width="8" stroke-linecap="round" opacity="0.9"/>')
    b += ['<path d="M{} {} q12 -8 24 0" fill="none" stroke="#BFE6FA" stroke-width="3" stroke-linecap="round"/>'
          .format(x, y) for x, y in [(80, 200), (260, 240), (470, 190), (700, 230), (900, 200), (360, 270),
                                     (600, 170), (820, 270)]]
    # Boat and sailboat on the sea.
    b.append(g('<path d="M700 200 L800 200 L786 224 L714 224 Z" fill="#F08A5D" stroke="#A95F3F" stroke-width="2"/>'
               '<rect x="748" y="150" width="4" height="50" fill="#6E4520"/>'
               '<path d="M752 152 L792 196 L752 196 Z" fill="#FFF8EC" stroke="#C7A46B" stroke-width="2"/>'))
    b.append(g('<path d="M120 250 L190 250 L180 268 L130 268 Z" fill="#F9C74F" stroke="#B8860B" stroke-width="2"/>'))
    # Sand texture.
    b += ['<ellipse cx="{}" cy="{}" rx="{}" ry="3" fill="{}"/>'.format(x, y, r, SAND_DARK)
          for x, y, r in [(60, 420, 20), (240, 380, 14), (520, 400, 26), (760, 430, 18), (940, 380, 22),
                          (120, 560, 16), (400, 600, 24), (640, 560, 20), (860, 620, 18), (300, 700, 22),
                          (700, 700, 16), (980, 520, 14)]]
    # Pier on the right.
    b.append(g('<rect x="900" y="230" width="124" height="30" fill="#B07A48" stroke="#7A5330" stroke-width="2"/>' +
               "".join('<rect x="{}" y="258" width="8" height="40" fill="#7A5330"/>'.format(x)
                       for x in (912, 960, 1008))))
    b += [palm(70, 420, 1.1), palm(980, 460, 0.9)]
    b += [umbrella(300, 400, "#F08A5D", "#FFF8EC"), umbrella(700, 380, "#2A9D8F", "#FFF8EC"),
          umbrella(520, 560, "#8E7DBE", "#F9C74F")]
    b += [towel(220, 420, 70, 120, "#C8553D", -8), towel(640, 400, 70, 120, "#F9C74F", 6),
          towel(560, 580, 110, 64, "#2A9D8F", 0), towel(820, 520, 64, 110, "#8E7DBE", 12)]
    # Sandcastle.
    b.append(g('<rect x="360" y="470" width="110" height="50" fill="#E8C071" stroke="#B8934A" stroke-width="2"/>'
               '<rect x="372" y="430" width="34" height="44" fill="#E8C071" stroke="#B8934A" stroke-width="2"/>'
               '<rect x="424" y="430" width="34" height="44" fill="#E8C071" stroke="#B8934A" stroke-width="2"/>'
               '<path d="M372 430 l6 -10 l6 10 l6 -10 l6 10 l6 -10 l4 10" fill="#E8C071" stroke="#B8934A" '
               'stroke-width="2"/>'
               '<path d="M424 430 l6 -10 l6 10 l6 -10 l6 10 l6 -10 l4 10" fill="#E8C071" stroke="#B8934A" '
               'stroke-width="2"/>'
               '<path d="M405 520 a10 12 0 0 1 20 0 z" fill="#B8934A"/>'
               '<rect x="438" y="404" width="2" height="26" fill="#6E4520"/>'
               '<path d="M440 404 l16 6 l-16 6 z" fill="#C8553D"/>'))
    b += [rock(150, 660, 90, 40), rock(860, 700, 110, 46), rock(10, 520, 60, 30), rock(450, 360, 60, 24)]
    # Deck chair, cooler, spade, beach bag and odds and ends.
    b.append(g('<path d="M90 600 L170 560 L190 600 L110 640 Z" fill="#4FB3E8" stroke="#2E86C1" stroke-width="2"/>'
               '<line x1="100" y1="640" x2="96" y2="660" stroke="#8B5A2B" stroke-width="4"/>'
               '<line x1="186" y1="600" x2="192" y2="620" stroke="#8B5A2B" stroke-width="4"/>'))
    b.append(g('<rect x="740" y="600" width="70" height="48" rx="6" fill="#F2F2F2" stroke="#B8B0A5" stroke-width="2"/>'
               '<rect x="740" y="600" width="70" height="14" rx="6" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'))
    b.append(g('<path d="M300 610 q30 -30 60 0 l-6 50 l-48 0 z" fill="#F08A5D" stroke="#A95F3F" stroke-width="2"/>'
               '<path d="M312 610 q18 -26 36 0" fill="none" stroke="#A95F3F" stroke-width="3"/>'))
    b.append(g('<rect x="600" y="470" width="6" height="50" fill="#8B5A2B" transform="rotate(30 603 495)"/>'
               '<path d="M612 512 l16 8 l-8 18 l-14 -8 z" fill="#B8B0A5" stroke="#8A8378" stroke-width="2"/>'))
    for x, y, c in [(180, 470, "#F9C74F"), (480, 640, "#F08A5D"), (940, 600, "#FFF8EC"), (30, 700, "#8E7DBE"),
                    (760, 470, "#FFF8EC"), (420, 420, "#F08A5D")]:
        b.append(g('<circle cx="{}" cy="{}" r="7" fill="{}" stroke="{}" stroke-width="2"/>'.format(
            x, y, c, shade(c, 0.7))))
    return svg(W, H, "".join(b))


# Each object: (name, x, y, width, height, body in its own coordinates).
OBJECTS = [
    ("Shell", 322, 494, 38, 32,
     '<path d="M19 30 L3 12 C6 2 32 2 35 12 Z" fill="#F6E7C8" stroke="#C7A46B" stroke-width="2" stroke-linejoin="round"/>'
     '<path d="M19 30 L11 6 M19 30 L19 4 M19 30 L27 6" stroke="#C7A46B" stroke-width="2"/>'),
    ("Starfish", 880, 560, 42, 40,
     '<path d="M21 2 L26 15 L40 15 L29 24 L33 38 L21 30 L9 38 L13 24 L2 15 L16 15 Z" fill="#F08A5D" '
     'stroke="#A95F3F" stroke-width="2" stroke-linejoin="round"/><circle cx="21" cy="21" r="2" fill="#A95F3F"/>'),
    ("Sunglasses", 238, 470, 54, 20,
     '<path d="M2 6 L24 6 L22 16 Q13 20 5 16 Z" fill="#34495E" stroke="#22313F" stroke-width="2"/>'
     '<path d="M30 6 L52 6 L49 16 Q40 20 32 16 Z" fill="#34495E" stroke="#22313F" stroke-width="2"/>'
     '<path d="M24 8 q3 -3 6 0" fill="none" stroke="#22313F" stroke-width="2"/>'),
    ("Bucket", 168, 590, 40, 44,
     '<path d="M4 10 L36 10 L31 40 L9 40 Z" fill="#4FB3E8" stroke="#2E86C1" stroke-width="2" stroke-linejoin="round"/>'
     '<path d="M4 10 q16 -14 32 0" fill="none" stroke="#2E86C1" stroke-width="2"/>'
     '<rect x="6" y="18" width="28" height="5" fill="#F9C74F"/>'),
    ("FlipFlop", 660, 450, 28, 52,
     '<path d="M14 2 C26 2 27 20 24 34 C22 46 6 46 4 34 C2 20 2 2 14 2 Z" fill="#F9C74F" stroke="#B8860B" '
     'stroke-width="2"/><path d="M6 20 L14 10 L22 20" fill="none" stroke="#C8553D" stroke-width="3"/>'),
    ("Ball", 560, 620, 40, 40,
     '<circle cx="20" cy="20" r="17" fill="#FFF8EC" stroke="#8A8378" stroke-width="2"/>'
     '<path d="M20 3 A17 17 0 0 1 36 16 L20 20 Z" fill="#C8553D"/>'
     '<path d="M20 20 L28 35 A17 17 0 0 1 6 30 Z" fill="#2A9D8F"/>'
     '<path d="M4 14 A17 17 0 0 1 20 3 L20 20 Z" fill="#F9C74F"/>'
     '<circle cx="20" cy="20" r="17" fill="none" stroke="#8A8378" stroke-width="2"/>'),
    ("Crab", 40, 620, 50, 34,
     '<ellipse cx="25" cy="20" rx="14" ry="9" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'
     '<circle cx="7" cy="10" r="5" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'
     '<circle cx="43" cy="10" r="5" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'
     '<path d="M14 28 l-6 4 M20 29 l-3 4 M36 28 l6 4 M30 29 l3 4" stroke="#8E3A28" stroke-width="2"/>'
     '<circle cx="21" cy="13" r="2" fill="#22313F"/><circle cx="29" cy="13" r="2" fill="#22313F"/>'),
    ("Bottle", 950, 380, 24, 56,
     '<rect x="4" y="18" width="16" height="34" rx="5" fill="#5E9A30" fill-opacity="0.85" stroke="#41701F" '
     'stroke-width="2"/><rect x="8" y="4" width="8" height="16" rx="2" fill="#5E9A30" stroke="#41701F" '
     'stroke-width="2"/><rect x="7" y="26" width="10" height="14" fill="#FFF8EC"/>'),
]


def object_svg(w, h, body):
    return svg(w + 6, h + 6, g(body))


def preview_svg(w, h, body):
    # Drawn twice as large in a 6 px margin, fit to at most 72 x 64 on screen.
    scale = min(2.0, 72.0 / w, 64.0 / h)
    return svg(int(w * scale) + 8, int(h * scale) + 8,
               g('<g transform="translate(3 3) scale({})">{}</g>'.format(scale, body)))


def variants():
    files = {"Background.svg": background()}
    for name, _x, _y, w, h, body in OBJECTS:
        files["Objects/{}.svg".format(name)] = object_svg(w, h, body)
        files["Preview/{}.svg".format(name)] = preview_svg(w, h, body)
    return files
