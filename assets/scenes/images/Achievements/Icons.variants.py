"""The twelve achievement icons, Icon1 to Icon12: a round medal on a ribbon
with the picture of what was achieved. Shop achievements are violet, building
ones teal, money ones green, level ones gold (run by
tools/content/write_variants.py).
"""

SIZE = 96

# (face, rim, symbol) per achievement, in counter order.
SHOP, BUILD, MONEY, LEVEL = ("#8E7DBE", "#6A5A98"), ("#2A9D8F", "#1E756B"), ("#2E8B57", "#206642"), ("#F9C74F", "#C99A2E")

BAG = '<path d="M36 42 H60 L63 68 H33 Z" fill="#FFF8EC"/><path d="M41 42 Q41 32 48 32 Q55 32 55 42" fill="none" stroke="#FFF8EC" stroke-width="3"/>'
HOUSE = '<path d="M32 50 L48 36 L64 50 V66 H32 Z" fill="#FFF8EC"/><rect x="44" y="54" width="8" height="12" fill="#C8553D"/>'
COIN = '<circle cx="48" cy="51" r="15" fill="#FFF8EC"/><text x="48" y="58" font-family="DejaVu Sans" font-weight="bold" font-size="20" text-anchor="middle" fill="#2E8B57">$</text>'
FLAG = '<path d="M38 34 V68" stroke="#FFF8EC" stroke-width="3"/><path d="M40 35 H62 L56 43 L62 51 H40 Z" fill="#FFF8EC"/>'
STAR = '<path d="M48 33 L52.7 43.5 L64 44.6 L55.5 52.2 L58 63.4 L48 57.6 L38 63.4 L40.5 52.2 L32 44.6 L43.3 43.5 Z" fill="#FFF8EC"/>'

ICONS = [
    (SHOP, BAG, 1), (SHOP, BAG, 2), (SHOP, BAG, 3), (SHOP, BAG, 4),
    (BUILD, HOUSE, 1), (BUILD, HOUSE, 2), (BUILD, HOUSE, 3),
    (MONEY, COIN, 1), (MONEY, COIN, 2), (MONEY, COIN, 3),
    (LEVEL, FLAG, 1), (LEVEL, STAR, 1),
]

TEMPLATE = """<svg xmlns="http://www.w3.org/2000/svg" width="{s}" height="{s}" viewBox="0 0 {s} {s}">
  <defs>
    <filter id="shadow" x="-20%" y="-20%" width="150%" height="150%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="3" dy="4"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>
  </defs>
  <g filter="url(#shadow)">
    <path d="M30 4 L40 26 L48 20 L56 26 L66 4 Z" fill="#C0392B" stroke="#962D22" stroke-width="2" stroke-linejoin="round"/>
    <circle cx="48" cy="51" r="32" fill="{rim}"/>
    <circle cx="48" cy="51" r="27" fill="{face}" stroke="#FFFFFF" stroke-opacity="0.6" stroke-width="2"/>
    {symbol}
    {pips}
  </g>
</svg>
"""


def pips(count):
    # Grades of the same achievement: one to four small dots under the picture.
    start = 48 - (count - 1) * 5
    return "".join('<circle cx="{}" cy="74" r="2.5" fill="#FFF8EC"/>'.format(start + i * 10) for i in range(count))


def variants():
    out = {}
    for number, ((face, rim), symbol, grade) in enumerate(ICONS, start=1):
        out["Icon{}.svg".format(number)] = TEMPLATE.format(s=SIZE, face=face, rim=rim, symbol=symbol,
                                                           pips=pips(grade) if grade > 1 else "")
    return out
