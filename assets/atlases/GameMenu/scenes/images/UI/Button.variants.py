"""The button face in its four looks: Button (normal), ButtonOver
(hovered), ButtonPressed and ButtonDisabled. A rounded orange face with a
darker outline, a 3 px darker bottom edge and a soft shadow; pressed, the face
sits on its edge. The caption is drawn by the button's text, not here (run by
tools/content/write_variants.py).
"""

W, H = 256, 52  # the face, with room for edge and shadow around it
LOOKS = {
    # name: (face, outline and edge, pressed)
    "Button": ("#F9A03F", "#C77A24", False),
    "ButtonOver": ("#FFB55A", "#D98A33", False),
    "ButtonPressed": ("#D9852B", "#A9661D", True),
    "ButtonDisabled": ("#C9C2B8", "#9E968B", False),
}

TEMPLATE = """<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">
  <defs>
    <filter id="shadow" x="-10%" y="-20%" width="120%" height="160%">
      <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/>
      <feOffset dx="{sx}" dy="{sy}"/>
      <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>
    <linearGradient id="lit" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.35"/>
      <stop offset="0.5" stop-color="#FFFFFF" stop-opacity="0"/>
    </linearGradient>
  </defs>
  <g filter="url(#shadow)">
    <rect x="2" y="{ey}" width="{fw}" height="{fh}" rx="12" fill="{edge}"/>
    <rect x="2" y="{fy}" width="{fw}" height="{fh}" rx="12" fill="{face}" stroke="{edge}" stroke-width="2"/>
    <rect x="4" y="{gy}" width="{gw}" height="{gh}" rx="10" fill="url(#lit)"/>
  </g>
</svg>
"""


def svg(face, edge, pressed):
    fy = 5 if pressed else 2
    return TEMPLATE.format(w=W + 8, h=H + 10, fw=W, fh=H, fy=fy, ey=5, gy=fy + 2, gw=W - 4, gh=H - 4,
                           face=face, edge=edge, sx=2 if pressed else 3, sy=2 if pressed else 4)


def variants():
    return {name + ".svg": svg(*look) for name, look in LOOKS.items()}
