"""The pictures of the options and the lists of the menus: the on/off
switch faces (green for on, red for off, each normal, hovered and pressed),
the volume slider's track and knob, the four 48 x 48 row icons (sound, music,
screen, pointer) and the light strip of a list row (run by
tools/content/write_variants.py).
"""
from svgart import shade

SHADOW = """<filter id="shadow" x="-20%" y="-20%" width="150%" height="170%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="{sx}" dy="{sy}"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>"""

SWITCH_W, SWITCH_H = 120, 44
GREEN, RED = "#5FA83A", "#C8553D"

SWITCH = """<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">
  <defs>
    {shadow}
    <linearGradient id="lit" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.35"/>
      <stop offset="0.5" stop-color="#FFFFFF" stop-opacity="0"/>
    </linearGradient>
  </defs>
  <g filter="url(#shadow)">
    <rect x="2" y="5" width="{fw}" height="{fh}" rx="12" fill="{edge}"/>
    <rect x="2" y="{fy}" width="{fw}" height="{fh}" rx="12" fill="{face}" stroke="{edge}" stroke-width="2"/>
    <rect x="4" y="{gy}" width="{gw}" height="{gh}" rx="10" fill="url(#lit)"/>
  </g>
</svg>
"""


def switch(colour, look):
    face = {"": colour, "Over": shade(colour, 1.15), "Pressed": shade(colour, 0.88)}[look]
    pressed = look == "Pressed"
    fy = 5 if pressed else 2
    return SWITCH.format(w=SWITCH_W + 8, h=SWITCH_H + 10, fw=SWITCH_W, fh=SWITCH_H, fy=fy, gy=fy + 2,
                         gw=SWITCH_W - 4, gh=SWITCH_H - 4, face=face, edge=shade(colour, 0.75),
                         shadow=SHADOW.format(sx=2 if pressed else 3, sy=2 if pressed else 4))


TRACK = """<svg xmlns="http://www.w3.org/2000/svg" width="328" height="24" viewBox="0 0 328 24">
  <defs>
    <linearGradient id="fill" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#E8E1D6"/>
      <stop offset="1" stop-color="#F9C74F"/>
    </linearGradient>
  </defs>
  <rect x="2" y="5" width="320" height="14" rx="7" fill="url(#fill)" stroke="#C7A46B" stroke-width="2"/>
</svg>
"""

KNOB = """<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40" viewBox="0 0 40 40">
  <defs>
    {shadow}
  </defs>
  <g filter="url(#shadow)">
    <circle cx="17" cy="17" r="14" fill="{face}" stroke="{edge}" stroke-width="2"/>
    <circle cx="13" cy="12" r="5" fill="#FFFFFF" fill-opacity="0.35"/>
  </g>
</svg>
"""

ICON = """<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    {shadow}
  </defs>
  <g filter="url(#shadow)">
    <circle cx="22" cy="22" r="20" fill="#8E7DBE" stroke="#6A5A98" stroke-width="2"/>
    {symbol}
  </g>
</svg>
"""

SYMBOLS = {
    "SoundIcon": '<path d="M11 18 H17 L25 11 V33 L17 26 H11 Z" fill="#FFF8EC"/>'
                 '<path d="M29 16 Q33 22 29 28" fill="none" stroke="#FFF8EC" stroke-width="2.5" stroke-linecap="round"/>'
                 '<path d="M32 12 Q39 22 32 32" fill="none" stroke="#FFF8EC" stroke-width="2.5" stroke-linecap="round"/>',
    "MusicIcon": '<path d="M18 30 V13 L32 10 V27" fill="none" stroke="#FFF8EC" stroke-width="3" stroke-linejoin="round"/>'
                 '<ellipse cx="15" cy="30" rx="4.5" ry="3.5" fill="#FFF8EC"/>'
                 '<ellipse cx="29" cy="27" rx="4.5" ry="3.5" fill="#FFF8EC"/>',
    "ScreenIcon": '<rect x="10" y="12" width="24" height="17" rx="2" fill="none" stroke="#FFF8EC" stroke-width="3"/>'
                  '<path d="M18 33 H26 M22 29 V33" stroke="#FFF8EC" stroke-width="3" stroke-linecap="round"/>',
    "PointerIcon": '<path d="M15 10 L15 32 L20 27 L24 35 L28 33 L24 25 L31 25 Z" fill="#FFF8EC" '
                   'stroke="#6A5A98" stroke-width="1.5" stroke-linejoin="round"/>',
}

ROW = """<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <!-- A list row for nine-grid sprites: 10 px corners, 16 px squares. -->
  <rect x="1" y="1" width="46" height="46" rx="10" fill="#F6E7C8" stroke="#DCC39A" stroke-width="2"/>
</svg>
"""


def variants():
    out = {}
    for name, colour in (("OnOffGreen", GREEN), ("OnOffRed", RED)):
        for look in ("", "Over", "Pressed"):
            out[name + look + ".svg"] = switch(colour, look)
    out["SliderTrack.svg"] = TRACK
    out["SliderKnob.svg"] = KNOB.format(face="#F9A03F", edge="#C77A24", shadow=SHADOW.format(sx=3, sy=4))
    out["SliderKnobOver.svg"] = KNOB.format(face="#FFB55A", edge="#D98A33", shadow=SHADOW.format(sx=3, sy=4))
    for name, symbol in SYMBOLS.items():
        out[name + ".svg"] = ICON.format(symbol=symbol, shadow=SHADOW.format(sx=2, sy=3))
    out["ListRow.svg"] = ROW
    return out
