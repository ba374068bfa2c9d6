"""The shop's art (run by tools/content/write_variants.py):

- ShopBackground: the shop itself, a cream wall under a striped awning with
  a wooden counter along the bottom, 1024 x 768;
- Card, CardHover, CardDisabled, CardBought, CardLocked: the face of one
  upgrade for sale, 156 x 168 (the last pixels are its shadow): on sale,
  under the pointer, too expensive, bought and not yet on sale;
- Lock: the padlock over a card not yet on sale;
- Check: the round tick of a bought card;
- Glow: the ring round a card the chosen level needs;
"""
from svgart import shade

SHADOW = """<filter id="shadow" x="-10%" y="-10%" width="130%" height="130%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="3" dy="4"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>"""

CARDS = {
    # name: (face, band)
    "Card": ("#FFF8EC", "#F9A03F"),
    "CardHover": ("#FFFDF7", "#FFB55A"),
    "CardDisabled": ("#EFE9DF", "#C9C2B8"),
    "CardBought": ("#EAF6E1", "#7BC043"),
    "CardLocked": ("#DCD6CD", "#B8B0A5"),
}

CARD = """<svg xmlns="http://www.w3.org/2000/svg" width="156" height="168" viewBox="0 0 156 168">
  <defs>{shadow}</defs>
  <g filter="url(#shadow)">
    <rect x="1" y="1" width="148" height="158" rx="12" fill="{face}" stroke="{line}" stroke-width="2"/>
    <path d="M2 13 A11 11 0 0 1 13 2 H137 A11 11 0 0 1 148 13 V32 H2 Z" fill="{band}"/>
    <path d="M2 32 H148" stroke="{bandline}" stroke-width="2"/>
    <ellipse cx="75" cy="74" rx="40" ry="36" fill="{well}"/>
  </g>
</svg>
"""

LOCK = """<svg xmlns="http://www.w3.org/2000/svg" width="44" height="50" viewBox="0 0 44 50">
  <defs>{shadow}</defs>
  <g filter="url(#shadow)">
    <path d="M11 22 V15 A10 10 0 0 1 31 15 V22" fill="none" stroke="#4A6274" stroke-width="5"/>
    <rect x="4" y="21" width="34" height="24" rx="5" fill="#6F8797" stroke="#4A6274" stroke-width="2"/>
    <circle cx="21" cy="31" r="3.5" fill="#34495E"/>
    <rect x="19.5" y="32" width="3" height="7" fill="#34495E"/>
  </g>
</svg>
"""

CHECK = """<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>{shadow}</defs>
  <g filter="url(#shadow)">
    <circle cx="22" cy="22" r="19" fill="#2E8B57" stroke="{line}" stroke-width="2"/>
    <path d="M12 22.5 L19 29.5 L32 15" fill="none" stroke="#FFFFFF" stroke-width="5"
          stroke-linecap="round" stroke-linejoin="round"/>
  </g>
</svg>
"""

GLOW = """<svg xmlns="http://www.w3.org/2000/svg" width="166" height="176" viewBox="0 0 166 176">
  <rect x="4" y="4" width="158" height="168" rx="16" fill="none" stroke="#F9C74F" stroke-width="8" stroke-opacity="0.55"/>
  <rect x="6" y="6" width="154" height="164" rx="14" fill="none" stroke="#F08A5D" stroke-width="3"
        stroke-dasharray="16 8"/>
</svg>
"""

def background():
    stripes = "".join(
        '<path d="M{x} 0 H{x2} V86 A{r} {r} 0 0 1 {x} 86 Z" fill="{c}" stroke="{l}" stroke-width="2"/>'.format(
            x=x, x2=x + 64, r=32, c=c, l=shade(c, 0.75))
        for x, c in ((i * 64, "#F08A5D" if i % 2 == 0 else "#FFF8EC") for i in range(16)))
    shelves = "".join(
        '<rect x="{x}" y="{y}" width="150" height="12" rx="4" fill="#B5835A" stroke="#8A6242" stroke-width="2"/>'
        .format(x=x, y=y) for x in (40, 834) for y in (200,))
    jars = "".join(
        '<rect x="{x}" y="{y}" width="22" height="28" rx="6" fill="{c}" stroke="{l}" stroke-width="2"/>'.format(
            x=x + k * 40, y=y - 28, c=c, l=shade(c, 0.7))
        for x in (56, 850) for y in (200,)
        for k, c in enumerate(("#4FB3E8", "#F9C74F", "#8E7DBE")))
    return """<svg xmlns="http://www.w3.org/2000/svg" width="1024" height="768" viewBox="0 0 1024 768">
  <rect width="1024" height="768" fill="#F6E7C8"/>
  <g fill="#EEDCB8">{dots}</g>
  {shelves}
  {jars}
  <rect x="0" y="640" width="1024" height="128" fill="#B5835A"/>
  <rect x="0" y="640" width="1024" height="14" fill="#C99A6E" stroke="#8A6242" stroke-width="2"/>
  <g stroke="#A0724C" stroke-width="2">{planks}</g>
  <rect x="0" y="0" width="1024" height="12" fill="#4A6274"/>
  {stripes}
</svg>
""".format(
        dots="".join('<circle cx="{}" cy="{}" r="3"/>'.format(x, y)
                     for x in range(24, 1024, 48) for y in range(120, 640, 48)),
        shelves=shelves, jars=jars, stripes=stripes,
        planks="".join('<path d="M{0} 660 V768"/>'.format(x) for x in range(96, 1024, 128)))


def variants():
    files = {}
    for name, (face, band) in CARDS.items():
        files[name + ".svg"] = CARD.format(shadow=SHADOW, face=face, line=shade(band, 0.7), band=band,
                                           bandline=shade(band, 0.8), well=shade(face, 0.94))
    files["Lock.svg"] = LOCK.format(shadow=SHADOW)
    files["Check.svg"] = CHECK.format(shadow=SHADOW, line=shade("#2E8B57", 0.7))
    files["Glow.svg"] = GLOW
    files["ShopBackground.svg"] = background()
    return files
