"""The HUD's pictures: the dark bottom panel, stars, the counter icons, the
clock face and hand, the goal check box, the faces of the build, offer,
action, tab and feature buttons in their looks, and the action icons
(run by tools/content/write_variants.py)."""

SHADOW = """<filter id="s" x="-20%" y="-20%" width="150%" height="150%">
  <feGaussianBlur in="SourceAlpha" stdDeviation="1.5"/><feOffset dx="3" dy="4"/>
  <feComponentTransfer><feFuncA type="linear" slope="0.25"/></feComponentTransfer>
  <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter>"""


def svg(w, h, body, shadow=False):
    defs = "<defs>" + SHADOW + "</defs>" if shadow else ""
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s%s</svg>\n'
            % (w, h, w, h, defs, body))


def star(fill, edge):
    pts = "12,1.5 15,8.5 22.5,9 16.8,14 18.6,21.5 12,17.5 5.4,21.5 7.2,14 1.5,9 9,8.5"
    return svg(24, 24, '<polygon points="%s" fill="%s" stroke="%s" stroke-width="1.6" stroke-linejoin="round"/>'
               % (pts, fill, edge))


def face(w, h, fill, edge, pressed=False, radius=12):
    y = 4 if pressed else 1
    return svg(w + 6, h + 8,
               '<g filter="url(#s)"><rect x="1" y="4" width="%d" height="%d" rx="%d" fill="%s"/>'
               '<rect x="1" y="%d" width="%d" height="%d" rx="%d" fill="%s" stroke="%s" stroke-width="2"/>'
               '<rect x="4" y="%d" width="%d" height="%d" rx="%d" fill="#FFFFFF" fill-opacity="0.18"/></g>'
               % (w, h - 2, radius, edge, y, w, h - 3, radius, fill, edge, y + 2, w - 6, (h - 6) // 2, radius - 2),
               shadow=True)


LOOKS = {
    "": ("#F9A03F", "#C77A24", False),
    "Over": ("#FFB55A", "#D98A33", False),
    "Pressed": ("#D9852B", "#A9661D", True),
    "Disabled": ("#C9C2B8", "#9E968B", False),
}
LIGHT_LOOKS = {
    "": ("#FFF8EC", "#C7A46B", False),
    "Over": ("#FFFFFF", "#E0B96F", False),
    "Pressed": ("#F2E4CB", "#A98A55", True),
    "Disabled": ("#CFC8BC", "#9E968B", False),
}
DARK_LOOKS = {
    "": ("#46607A", "#2A3B4C", False),
    "Over": ("#56728F", "#2F4356", False),
    "Pressed": ("#3B526A", "#22313F", True),
    "Disabled": ("#5C6670", "#3E464E", False),
}

ICONS = {
    # action icons, 40 x 40, drawn in the dark text colour
    "Upgrade": '<path d="M20 4 L34 20 H26 V36 H14 V20 H6 Z" fill="#2E8B57" stroke="#1E5E3A" stroke-width="2" stroke-linejoin="round"/>',
    "Repair": '<path d="M8 32 L22 18 M26 6 a8 8 0 1 0 8 8 l-6 0 l-2 -2 z" fill="none" stroke="#34495E" stroke-width="5" stroke-linecap="round"/>',
    "Destroy": '<circle cx="22" cy="22" r="12" fill="#34495E"/><path d="M28 10 L34 4" stroke="#C0392B" stroke-width="3"/><circle cx="35" cy="3.5" r="2.5" fill="#F9C74F"/>',
    "Clean": '<path d="M24 4 L18 22" stroke="#8C6A3B" stroke-width="4" stroke-linecap="round"/><path d="M8 36 L14 20 H24 L30 36 Z" fill="#F9C74F" stroke="#C7A46B" stroke-width="2"/>',
    "Hotels": '<rect x="8" y="12" width="24" height="24" fill="#F6E7C8" stroke="#8C6A3B" stroke-width="2"/><path d="M4 14 L20 3 L36 14 Z" fill="#D9643A" stroke="#A9461F" stroke-width="2" stroke-linejoin="round"/><rect x="17" y="25" width="7" height="11" fill="#8C6A3B"/>',
    "Joys": '<circle cx="20" cy="14" r="9" fill="#F08A5D" stroke="#B65A33" stroke-width="2"/><rect x="18" y="22" width="4" height="14" fill="#7BC043"/><circle cx="11" cy="26" r="5" fill="#8E7DBE"/><circle cx="29" cy="26" r="5" fill="#F9C74F"/>',
    "Factories": '<path d="M4 36 V18 L14 24 V18 L24 24 V8 H32 V36 Z" fill="#B8B0A5" stroke="#6B655E" stroke-width="2" stroke-linejoin="round"/>',
    "Sell": '<rect x="6" y="10" width="28" height="20" rx="3" fill="#7BC043" stroke="#5E9A30" stroke-width="2"/><circle cx="20" cy="20" r="5" fill="#F2F2F2"/>',
    "Unsell": '<rect x="6" y="10" width="28" height="20" rx="3" fill="#C9C2B8" stroke="#9E968B" stroke-width="2"/><path d="M8 8 L32 32" stroke="#C0392B" stroke-width="4"/>',
    "Restore": '<path d="M6 36 H34 L30 22 H10 Z" fill="#B8B0A5" stroke="#6B655E" stroke-width="2"/><path d="M14 22 V10 H26 V22" fill="#F6E7C8" stroke="#8C6A3B" stroke-width="2"/>',
    "Serve": '<path d="M8 18 H30 V28 a8 8 0 0 1 -8 8 H16 a8 8 0 0 1 -8 -8 Z" fill="#F6E7C8" stroke="#8C6A3B" stroke-width="2"/><path d="M30 21 h4 a3 3 0 0 1 0 7 h-4" fill="none" stroke="#8C6A3B" stroke-width="2"/><path d="M14 6 q3 4 0 8 M20 6 q3 4 0 8" fill="none" stroke="#9E968B" stroke-width="2"/>',
    "Feature": '<polygon points="20,3 25,15 38,16 28,24 31,37 20,30 9,37 12,24 2,16 15,15" fill="#F9C74F" stroke="#C7A46B" stroke-width="2" stroke-linejoin="round"/>',
    "Lock": '<rect x="9" y="18" width="22" height="18" rx="3" fill="#6B655E"/><path d="M13 18 V12 a7 7 0 0 1 14 0 V18" fill="none" stroke="#6B655E" stroke-width="4"/>',
}


def crates(n):
    body = ""
    for i in range(n):
        x, y = 6 + (i % 3) * 16, 30 - (i // 3) * 16
        body += ('<rect x="%d" y="%d" width="15" height="15" rx="2" fill="#D9A15B" stroke="#8C6A3B" stroke-width="2"/>'
                 '<path d="M%d %d l15 15" stroke="#8C6A3B" stroke-width="1.5"/>' % (x, y, x, y))
    return svg(60, 48, body)


def people(n):
    body = ""
    for i in range(n):
        x = 8 + i * 12
        body += ('<circle cx="%d" cy="14" r="5" fill="#F4D58D" stroke="#8C6A3B" stroke-width="1.5"/>'
                 '<rect x="%d" y="20" width="10" height="18" rx="4" fill="#F9A03F" stroke="#C77A24" stroke-width="1.5"/>'
                 % (x + 5, x))
    return svg(60, 44, body)


def variants():
    out = {
        "DarkPanel.svg": svg(72, 72, '<rect x="1" y="1" width="70" height="70" rx="12" fill="#34495E" stroke="#22313F" stroke-width="2"/>'),
        "StarFull.svg": star("#F9C74F", "#C7962A"),
        "StarEmpty.svg": star("#E8E1D6", "#B9AF9F"),
        "Coin.svg": svg(24, 24, '<circle cx="12" cy="12" r="10" fill="#F9C74F" stroke="#C7962A" stroke-width="2"/><text x="12" y="17" font-family="DejaVu Sans" font-weight="bold" font-size="13" text-anchor="middle" fill="#8C6A1B">$</text>'),
        "Guest.svg": svg(24, 24, '<circle cx="12" cy="7" r="5" fill="#F4D58D" stroke="#8C6A3B" stroke-width="1.5"/><path d="M3 23 a9 9 0 0 1 18 0 Z" fill="#8E7DBE" stroke="#5F5290" stroke-width="1.5"/>'),
        "Materials.svg": svg(24, 24, '<rect x="2" y="6" width="20" height="16" rx="2" fill="#D9A15B" stroke="#8C6A3B" stroke-width="2"/><path d="M2 6 L22 22 M22 6 L2 22" stroke="#8C6A3B" stroke-width="1.5"/>'),
        "Worker.svg": svg(24, 24, '<path d="M5 10 a7 7 0 0 1 14 0 Z" fill="#F9C74F" stroke="#C7962A" stroke-width="1.5"/><circle cx="12" cy="12" r="4" fill="#F4D58D"/><path d="M4 23 a8 7 0 0 1 16 0 Z" fill="#F9A03F" stroke="#C77A24" stroke-width="1.5"/>'),
        "ClockFace.svg": svg(72, 72, '<circle cx="36" cy="36" r="34" fill="#FFFFFF" stroke="#C7A46B" stroke-width="3"/>' + "".join(
            '<rect x="35" y="4" width="2" height="6" fill="#6B655E" transform="rotate(%d 36 36)"/>' % a for a in range(0, 360, 30))),
        "ClockHand.svg": svg(8, 34, '<path d="M4 0 L7 28 a3 3 0 0 1 -6 0 Z" fill="#C0392B"/><circle cx="4" cy="28" r="3.5" fill="#34495E"/>'),
        "CheckBox.svg": svg(20, 20, '<rect x="1" y="1" width="18" height="18" rx="4" fill="#FFFFFF" stroke="#C7A46B" stroke-width="2"/>'),
        "CheckMark.svg": svg(20, 20, '<path d="M4 10 L9 15 L17 4" fill="none" stroke="#2E8B57" stroke-width="3.5" stroke-linecap="round" stroke-linejoin="round"/>'),
        "FeatureTop.svg": svg(119, 101, '<rect x="1" y="1" width="117" height="99" rx="12" fill="#F9A03F" stroke="#C77A24" stroke-width="2"/>' + '<g transform="translate(40 12)">' + ICONS["Feature"] + '</g>'),
        "FeatureFill.svg": svg(119, 101, '<rect x="1" y="1" width="117" height="99" rx="12" fill="#C9C2B8" stroke="#9E968B" stroke-width="2"/>'),
        "FeatureLock.svg": svg(119, 101, '<rect x="1" y="1" width="117" height="99" rx="12" fill="#C9C2B8" stroke="#9E968B" stroke-width="2"/>' + '<g transform="translate(40 14)">' + ICONS["Lock"] + '</g>'),
    }
    for suffix, look in LOOKS.items():
        out["ActionButton%s.svg" % suffix] = face(104, 92, *look)
        out["FeatureButton%s.svg" % suffix] = face(113, 93, *look)
        out["SmallButton%s.svg" % suffix] = face(90, 32, *look, radius=10)
    for suffix, look in LIGHT_LOOKS.items():
        out["BuildButton%s.svg" % suffix] = face(86, 114, *look)
        out["OfferButton%s.svg" % suffix] = face(90, 114, *look)
    for suffix, look in DARK_LOOKS.items():
        out["TabButton%s.svg" % suffix] = face(136, 34, *look, radius=10)
    for name, body in ICONS.items():
        out["Icon%s.svg" % name] = svg(40, 40, body)
    for n in range(1, 6):
        out["Materials%d.svg" % n] = crates(n)
    for n in range(1, 5):
        out["Workers%d.svg" % n] = people(n)
    return out
