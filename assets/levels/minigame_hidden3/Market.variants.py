"""The third hidden-object location, a winter market (run by
tools/content/write_variants.py): Background.svg (1024 x 768, the picture
without the objects to find) and Objects/<Name>.svg, one picture per hidden
object at its own size. Level.oscn places each object at the (x, y) of
OBJECTS; their colours follow what lies around them."""
from svgart import SHADOW_FILTER, shade

W, H = 1024, 768
SNOW, SNOW_SHADOW = "#F5F8FC", "#C9D6E3"
NIGHT = "#34495E"

DEFS = ("""<defs>
    """ + SHADOW_FILTER + """
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#34495E"/><stop offset="1" stop-color="#6E8BA8"/>
    </linearGradient>
  </defs>""")


def svg(w, h, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">{d}{b}</svg>\n'
            .format(w=w, h=h, d=DEFS, b=body))


def g(body):
    return '<g filter="url(#shadow)">{}</g>'.format(body)


def box(x, y, w, h, fill, rx=3):
    return '<rect x="{}" y="{}" width="{}" height="{}" rx="{}" fill="{}" stroke="{}" stroke-width="2"/>'.format(
        x, y, w, h, rx, fill, shade(fill, 0.7))


def stall(x, y, w, c1, c2, goods):
    stripes = "".join('<path d="M{a} {t} L{b} {t} L{b} {u} q{hw} 14 {w2} 0 Z" fill="{f}" stroke="{s}" '
                      'stroke-width="2"/>'.format(a=x + i * w / 6, b=x + (i + 1) * w / 6, t=y, u=y + 40,
                                                  hw=-w / 12, w2=-w / 6, f=c1 if i % 2 == 0 else c2,
                                                  s=shade(c1, 0.7)) for i in range(6))
    roof = '<path d="M{} {} L{} {} L{} {} L{} {} Z" fill="{}" stroke="{}" stroke-width="2"/>'.format(
        x - 10, y, x + w / 2, y - 50, x + w + 10, y, x + w + 10, y, "#8B5A2B", "#6E4520")
    snow = '<path d="M{} {} L{} {} L{} {} q-20 10 -40 2 q-30 10 -60 0 q-20 8 -40 0 Z" fill="{}"/>'.format(
        x - 6, y - 4, x + w / 2, y - 52, x + w + 6, y - 4, SNOW)
    counter = box(x, y + 120, w, 70, "#B07A48", 4) + box(x - 6, y + 112, w + 12, 14, "#C98F5A", 3)
    posts = box(x + 4, y + 30, 10, 100, "#8B5A2B", 2) + box(x + w - 14, y + 30, 10, 100, "#8B5A2B", 2)
    back = '<rect x="{}" y="{}" width="{}" height="90" fill="{}"/>'.format(x + 14, y + 30, w - 28, "#F6E7C8")
    return g(back + posts + roof + snow + stripes + counter + goods)


def lights(points, colours):
    out = ['<path d="M{}" fill="none" stroke="#22313F" stroke-width="2"/>'.format(
        " ".join("{} {}".format(*p) if i == 0 else "Q{} {} {} {}".format((points[i - 1][0] + p[0]) / 2,
                                                                          max(points[i - 1][1], p[1]) + 24, *p)
                 for i, p in enumerate(points)))]
    for i in range(len(points) - 1):
        (x0, y0), (x1, y1) = points[i], points[i + 1]
        for k in range(1, 6):
            t = k / 6
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t + 24 * 4 * t * (1 - t) * 0.9
            out.append('<circle cx="{:.0f}" cy="{:.0f}" r="5" fill="{}"/>'.format(x, y + 4, colours[(i * 5 + k) % len(colours)]))
    return "".join(out)


def tree(x, y, s):
    layers = "".join('<path d="M{} {} L{} {} L{} {} Z" fill="#2E7D4F" stroke="#1F5A38" stroke-width="2" '
                     'stroke-linejoin="round"/><path d="M{} {} q{} 8 {} 0" fill="none" stroke="{}" stroke-width="6" '
                     'stroke-linecap="round"/>'.format(x - w * s, y - yy * s, x, y - (yy + 70) * s, x + w * s,
                                                        y - yy * s, x - w * s * 0.8, y - yy * s - 4, w * s * 0.8,
                                                        w * s * 1.6, SNOW) for w, yy in [(60, 20), (48, 70), (34, 120)])
    balls = "".join('<circle cx="{}" cy="{}" r="{}" fill="{}" stroke="{}" stroke-width="1.5"/>'.format(
        x + dx * s, y - dy * s, 6 * s, c, shade(c, 0.7)) for dx, dy, c in
        [(-30, 40, "#C8553D"), (20, 50, "#F9C74F"), (-10, 90, "#4FB3E8"), (24, 110, "#C8553D"), (-16, 140, "#F9C74F")])
    star = '<path d="M{x} {a} l6 12 l13 0 l-10 8 l4 13 l-13 -8 l-13 8 l4 -13 l-10 -8 l13 0 Z" fill="#F9C74F" ' \
           'stroke="#B8860B" stroke-width="2"/>'.format(x=x, a=y - 204 * s)
    return g(box(x - 8 * s, y - 22 * s, 16 * s, 26 * s, "#8B5A2B", 2) + layers + balls + star)


def background():
    b = ['<rect width="1024" height="768" fill="url(#sky)"/>']
    b += ['<circle cx="{}" cy="{}" r="{}" fill="#FFFFFF" opacity="0.8"/>'.format(x, y, r)
          for x, y, r in [(60, 40, 2), (180, 90, 1.5), (300, 30, 2), (560, 70, 1.5), (700, 40, 2), (820, 110, 1.5),
                          (950, 50, 2), (420, 120, 1.5)]]
    b.append('<circle cx="900" cy="80" r="34" fill="#FFF8EC"/><circle cx="886" cy="72" r="34" fill="url(#sky)" '
             'opacity="0.0"/>')
    # Houses behind the market.
    for x, w, h, c, r in [(0, 150, 170, "#C8553D", "#4A6274"), (150, 130, 140, "#F6E7C8", "#4A6274"),
                          (280, 160, 190, "#B8B0A5", "#D9643A"), (440, 140, 150, "#F6E7C8", "#2A9D8F"),
                          (580, 170, 200, "#C8553D", "#4A6274"), (750, 130, 150, "#F6E7C8", "#D9643A"),
                          (880, 144, 180, "#B8B0A5", "#4A6274")]:
        top = 330 - h
        win = "".join('<rect x="{}" y="{}" width="18" height="22" rx="2" fill="#F9C74F" stroke="{}" '
                      'stroke-width="2"/>'.format(x + wx, top + wy, shade(c, 0.6))
                      for wx in range(20, w - 30, 40) for wy in range(40, h - 40, 50))
        b.append(g(box(x, top, w, h + 10, c, 2) + win +
                   '<path d="M{} {} L{} {} L{} {} Z" fill="{}" stroke="{}" stroke-width="2"/>'.format(
                       x - 6, top, x + w / 2, top - 50, x + w + 6, top, r, shade(r, 0.7)) +
                   '<path d="M{} {} L{} {} L{} {} q-30 12 -60 0 q-30 10 -60 0 Z" fill="{}"/>'.format(
                       x - 6, top - 2, x + w / 2, top - 52, x + w + 6, top - 2, SNOW)))
    # Snowy square.
    b.append('<path d="M0 330 L1024 330 L1024 768 L0 768 Z" fill="{}"/>'.format(SNOW))
    b += ['<ellipse cx="{}" cy="{}" rx="{}" ry="6" fill="{}"/>'.format(x, y, r, SNOW_SHADOW)
          for x, y, r in [(100, 620, 60), (400, 660, 80), (720, 640, 70), (930, 600, 50), (560, 560, 40),
                          (240, 560, 50)]]
    b.append(lights([(0, 160), (260, 150), (520, 170), (780, 150), (1024, 166)],
                    ["#F9C74F", "#C8553D", "#4FB3E8", "#7BC043", "#F08A5D"]))
    # Stalls with goods.
    mugs = "".join(box(70 + i * 30, 382, 20, 22, c, 3) for i, c in enumerate(["#C8553D", "#F6E7C8", "#2A9D8F",
                                                                            "#F9C74F", "#C8553D", "#8E7DBE"]))
    b.append(stall(50, 260, 220, "#C8553D", "#F5F8FC", mugs))
    cookies = "".join('<circle cx="{}" cy="{}" r="11" fill="#B07A48" stroke="#7A5330" stroke-width="2"/>'.format(
        380 + i * 28, 392) for i in range(6))
    b.append(stall(350, 250, 200, "#2A9D8F", "#F5F8FC", cookies))
    scarves = "".join('<rect x="{}" y="300" width="16" height="70" rx="3" fill="{}" stroke="{}" stroke-width="2"/>'
                      .format(700 + i * 26, c, shade(c, 0.7)) for i, c in
                      enumerate(["#8E7DBE", "#C8553D", "#F9C74F", "#4FB3E8", "#F08A5D", "#2A9D8F", "#7BC043"]))
    b.append(stall(680, 260, 210, "#F9C74F", "#C8553D", scarves))
    b.append(tree(600, 520, 1.0))
    # Snowman, sledge, crates, lantern posts, benches.
    b.append(g('<circle cx="150" cy="560" r="44" fill="#FFFFFF" stroke="#C9D6E3" stroke-width="2"/>'
               '<circle cx="150" cy="490" r="30" fill="#FFFFFF" stroke="#C9D6E3" stroke-width="2"/>'
               '<circle cx="140" cy="484" r="3" fill="#22313F"/><circle cx="160" cy="484" r="3" fill="#22313F"/>'
               '<path d="M150 492 l18 4 l-18 4 z" fill="#F08A5D"/>'
               '<rect x="128" y="448" width="44" height="8" fill="#22313F"/>'
               '<rect x="136" y="424" width="28" height="26" fill="#22313F"/>'
               '<path d="M126 514 q24 10 48 0 l0 10 q-24 10 -48 0 z" fill="#C8553D"/>'))
    b.append(g('<path d="M780 600 L900 600 q14 0 14 -14" fill="none" stroke="#8B5A2B" stroke-width="6" '
               'stroke-linecap="round"/>' + box(790, 572, 100, 18, "#C8553D", 4) +
               '<rect x="800" y="590" width="6" height="12" fill="#8B5A2B"/>'
               '<rect x="874" y="590" width="6" height="12" fill="#8B5A2B"/>'))
    for x, y in [(300, 560), (336, 590), (960, 540)]:
        b.append(g(box(x, y, 50, 40, "#C98F5A", 2) + '<line x1="{}" y1="{}" x2="{}" y2="{}" stroke="#8B5A2B" '
                   'stroke-width="2"/>'.format(x, y + 20, x + 50, y + 20)))
    for x in (20, 470, 1000):
        b.append(g('<rect x="{}" y="360" width="8" height="220" fill="#22313F"/>'.format(x - 4) +
                   '<rect x="{}" y="330" width="28" height="34" rx="4" fill="#F9C74F" stroke="#22313F" '
                   'stroke-width="4"/>'.format(x - 14)))
    b.append(g(box(400, 600, 150, 18, "#8B5A2B", 4) + box(410, 616, 10, 30, "#6E4520", 2) +
               box(530, 616, 10, 30, "#6E4520", 2)))
    b += ['<circle cx="{}" cy="{}" r="{}" fill="#FFFFFF" opacity="0.85"/>'.format(x, y, r)
          for x, y, r in [(90, 230, 3), (330, 200, 2), (610, 230, 3), (880, 210, 2), (200, 330, 2), (760, 330, 3),
                          (480, 460, 2), (40, 460, 3), (980, 420, 2), (660, 640, 2), (250, 660, 3)]]
    return svg(W, H, "".join(b))


# Each object: (name, x, y, width, height, body in its own coordinates).
OBJECTS = [
    ("Mitten", 184, 514, 34, 44,
     '<path d="M8 40 L8 14 C8 2 26 2 26 14 L26 40 Z" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'
     '<path d="M8 22 C0 20 0 10 6 10" fill="#C8553D" stroke="#8E3A28" stroke-width="2"/>'
     '<rect x="6" y="34" width="22" height="8" rx="2" fill="#F5F8FC" stroke="#C9D6E3" stroke-width="2"/>'),
    ("CandyCane", 516, 356, 26, 56,
     '<path d="M18 52 L18 14 A8 8 0 0 0 4 14" fill="none" stroke="#C8553D" stroke-width="7" stroke-linecap="round"/>'
     '<path d="M18 52 L18 14 A8 8 0 0 0 4 14" fill="none" stroke="#F5F8FC" stroke-width="7" '
     'stroke-dasharray="5 5" stroke-linecap="butt"/>'),
    ("Bell", 640, 460, 36, 38,
     '<path d="M18 4 C6 4 6 24 3 30 L33 30 C30 24 30 4 18 4 Z" fill="#F9C74F" stroke="#B8860B" stroke-width="2"/>'
     '<circle cx="18" cy="33" r="4" fill="#B8860B"/><path d="M12 4 q6 -6 12 0" fill="none" stroke="#C8553D" '
     'stroke-width="3"/>'),
    ("Gingerbread", 866, 364, 36, 44,
     '<circle cx="18" cy="10" r="8" fill="#B07A48" stroke="#7A5330" stroke-width="2"/>'
     '<path d="M8 18 L28 18 L34 26 L28 28 L26 40 L20 40 L18 32 L16 40 L10 40 L8 28 L2 26 Z" fill="#B07A48" '
     'stroke="#7A5330" stroke-width="2" stroke-linejoin="round"/>'
     '<circle cx="18" cy="23" r="2" fill="#F5F8FC"/><circle cx="15" cy="9" r="1.5" fill="#F5F8FC"/>'
     '<circle cx="21" cy="9" r="1.5" fill="#F5F8FC"/>'),
    ("Scarf", 346, 540, 60, 40,
     '<path d="M4 8 Q30 -2 56 8 L54 18 Q30 10 6 18 Z" fill="#2A9D8F" stroke="#1F7369" stroke-width="2"/>'
     '<path d="M40 14 L48 36 L38 38 L32 16 Z" fill="#2A9D8F" stroke="#1F7369" stroke-width="2"/>'
     '<path d="M38 38 l0 -3 M42 37 l0 -3 M46 36 l0 -3" stroke="#F5F8FC" stroke-width="2"/>'),
    ("Skate", 80, 630, 56, 40,
     '<path d="M8 4 L26 4 L28 18 L46 22 Q50 26 46 28 L8 28 Z" fill="#F5F8FC" stroke="#8A9BAE" stroke-width="2" '
     'stroke-linejoin="round"/><line x1="4" y1="34" x2="52" y2="34" stroke="#8A9BAE" stroke-width="3" '
     'stroke-linecap="round"/><line x1="14" y1="28" x2="14" y2="34" stroke="#8A9BAE" stroke-width="2"/>'
     '<line x1="40" y1="28" x2="40" y2="34" stroke="#8A9BAE" stroke-width="2"/>'),
    ("Cocoa", 420, 574, 36, 32,
     '<path d="M4 8 L26 8 L24 29 L6 29 Z" fill="#8E7DBE" stroke="#5F5290" stroke-width="2" stroke-linejoin="round"/>'
     '<path d="M26 12 q8 0 6 8 q-2 5 -8 4" fill="none" stroke="#5F5290" stroke-width="3"/>'
     '<ellipse cx="15" cy="8" rx="11" ry="3" fill="#7A5330"/><circle cx="12" cy="6" r="3" fill="#FFFFFF"/>'),
    ("Lantern", 958, 496, 30, 44,
     '<path d="M15 2 q-8 0 -8 6" fill="none" stroke="#22313F" stroke-width="2"/>'
     '<rect x="5" y="8" width="20" height="6" rx="2" fill="#22313F"/>'
     '<rect x="7" y="14" width="16" height="22" rx="2" fill="#F9C74F" stroke="#22313F" stroke-width="2"/>'
     '<rect x="4" y="36" width="22" height="5" rx="2" fill="#22313F"/>'),
]


def object_svg(w, h, body):
    return svg(w + 6, h + 6, g(body))


def variants():
    files = {"Background.svg": background()}
    for name, _x, _y, w, h, body in OBJECTS:
        files["Objects/{}.svg".format(name)] = object_svg(w, h, body)
    return files
