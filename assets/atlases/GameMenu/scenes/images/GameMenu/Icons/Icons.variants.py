"""The information panel's building icons, "<record Name>.png", 64 x 64: the
building's kind drawn small, grown by its level (run by
tools/content/write_variants.py)."""
import os

KINDS = {
    # record names: (roof, wall, floors)
    "Camping": ("#2A9D8F", "#F4D58D", 0),
    "Hostel": ("#D9643A", "#F6E7C8", 1),
    "GuestHouse": ("#4A6274", "#F6E7C8", 2),
}
OTHERS = {
    "Cafe": '<rect x="12" y="28" width="40" height="26" fill="#F6E7C8" stroke="#8C6A3B" stroke-width="2"/><path d="M8 30 H56 L50 20 H14 Z" fill="#F08A5D" stroke="#B65A33" stroke-width="2"/><rect x="26" y="38" width="12" height="16" fill="#8C6A3B"/>',
    "Garden": '<circle cx="22" cy="28" r="12" fill="#7BC043" stroke="#5E9A30" stroke-width="2"/><circle cx="42" cy="32" r="10" fill="#7BC043" stroke="#5E9A30" stroke-width="2"/><circle cx="32" cy="46" r="5" fill="#F08A5D"/><circle cx="18" cy="48" r="4" fill="#8E7DBE"/>',
    "TruckStation": '<rect x="6" y="26" width="30" height="26" fill="#B8B0A5" stroke="#6B655E" stroke-width="2"/><rect x="36" y="34" width="22" height="18" rx="3" fill="#F9A03F" stroke="#C77A24" stroke-width="2"/><circle cx="44" cy="54" r="4" fill="#34495E"/><circle cx="16" cy="54" r="4" fill="#34495E"/>',
    "BuildingPlace": '<rect x="8" y="30" width="48" height="24" rx="4" fill="#B8B0A5" stroke="#6B655E" stroke-width="2" stroke-dasharray="5 3"/><path d="M32 14 V30 M24 22 H40" stroke="#2E8B57" stroke-width="4" stroke-linecap="round"/>',
}


def svg(body):
    return '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">%s</svg>\n' % body


def house(roof, wall, floors, level):
    if floors == 0:  # a tent
        return ('<path d="M6 54 L32 %d L58 54 Z" fill="%s" stroke="#1F6F66" stroke-width="2" stroke-linejoin="round"/>'
                '<path d="M32 54 L26 40 H38 Z" fill="#1F6F66"/>' % (30 - 6 * level, roof))
    height = 14 + 10 * (floors + level - 1)
    top = 56 - height
    body = '<rect x="12" y="%d" width="40" height="%d" fill="%s" stroke="#8C6A3B" stroke-width="2"/>' % (top, height, wall)
    body += '<path d="M8 %d L32 %d L56 %d Z" fill="%s" stroke="#6B4A2B" stroke-width="2" stroke-linejoin="round"/>' % (
        top + 2, top - 12, top + 2, roof)
    for row in range(floors + level - 1):
        y = top + 6 + row * 10
        body += '<rect x="18" y="%d" width="8" height="6" fill="#4FB3E8"/><rect x="38" y="%d" width="8" height="6" fill="#4FB3E8"/>' % (y, y)
    body += '<rect x="28" y="46" width="8" height="10" fill="#8C6A3B"/>'
    return body


# The later kinds' icons are their level-world pictures, framed on the building.
LATER = ["BusinessHotel1", "BusinessHotel2", "BusinessHotel3", "HotelN51", "HotelN52", "HotelN53", "HotelN61",
         "HotelN62", "HotelN63", "CityMall", "AquaPark", "Statue", "Memorial", "REAgency", "PRAgency",
         "FishingCenter", "ObservationPoint", "Pyramid", "Station", "Headquarters"]
KIND_ICON = {"BusinessHotel": "BusinessHotel1", "HotelN5": "HotelN51", "HotelN6": "HotelN61"}


WORLD = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "..", "..",
                                      "Buildings", "levels", "common", "World", "World.variants.py"))
# Files this generator reads besides itself; the build reruns it when they change.
INPUTS = [WORLD]


def world_pictures():
    import importlib.util
    spec = importlib.util.spec_from_file_location("world", WORLD)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.later_kinds()


def framed(picture):
    # The 160 x 176 picture's building part, fitted into the 64 x 64 icon.
    inner = picture.replace('<svg xmlns="http://www.w3.org/2000/svg" width="160" height="176" viewBox="0 0 160 176">',
                            '<svg x="0" y="0" width="64" height="64" viewBox="4 20 152 152">')
    return '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">%s</svg>\n' % inner


def variants():
    out = {}
    pictures = world_pictures()
    for name in LATER:
        out[name + ".svg"] = framed(pictures[name + ".svg"])
    for kind, name in KIND_ICON.items():
        out[kind + ".svg"] = framed(pictures[name + ".svg"])
    for kind, (roof, wall, floors) in KINDS.items():
        out[kind + ".svg"] = svg(house(roof, wall, floors, 1))
        for level in (1, 2, 3):
            out["%s%d.svg" % (kind, level)] = svg(house(roof, wall, floors, level))
    for name, body in OTHERS.items():
        out[name + ".svg"] = svg(body)
    return out
