"""Icons of the upgrades a level can require, for the map's hint windows
(run by tools/content/write_variants.py): a small building of the kind the
upgrade brings, 32 x 32, on the shared roof and wall colours."""
from svgart import shade

ICONS = {
    # upgrade name: (wall, roof, floors)
    "Hostel": ("#F6E7C8", "#4A6274", 2),
    "GuestHouse": ("#C8553D", "#D9643A", 1),
    "Camping": ("#F9C74F", "#2A9D8F", 0),
    "Cafe": ("#F6E7C8", "#F08A5D", 1),
    "TruckStation": ("#B8B0A5", "#4A6274", 1),
    "Garden": ("#7BC043", "#5E9A30", 0),
    "TruckStationFeature2": ("#B8B0A5", "#8E7DBE", 1),
    "BusinessHotel": ("#A9B8C6", "#34495E", 3),
    "HotelN5": ("#F6E7C8", "#E9B949", 3),
    "HotelN6": ("#EDE6DA", "#E07A8F", 2),
    "CityMall": ("#B5E0DA", "#2A9D8F", 1),
    "AquaPark": ("#4FB3E8", "#F08A5D", 1),
    "AquaParkFeature2": ("#4FB3E8", "#34495E", 1),
    "Statue": ("#B5835A", "#B8B0A5", 0),
    "Memorial": ("#EDE6DA", "#4E9A3A", 0),
    "REAgency": ("#F8C8B4", "#4A6274", 2),
    "REAgencyFeature2": ("#F8C8B4", "#F9C74F", 2),
    "PRAgency": ("#D2CBE5", "#8E7DBE", 2),
}

HOUSE = """<svg xmlns="http://www.w3.org/2000/svg" width="34" height="34" viewBox="0 0 34 34">
  <rect x="6" y="{wy}" width="20" height="{wh}" rx="2" fill="{wall}" stroke="{wline}" stroke-width="2"/>
  <polygon points="3,{ry} 16,{rt} 29,{ry}" fill="{roof}" stroke="{rline}" stroke-width="2" stroke-linejoin="round"/>
  {windows}
  <rect x="13" y="24" width="6" height="6" fill="{rline}"/>
</svg>
"""

TENT = """<svg xmlns="http://www.w3.org/2000/svg" width="34" height="34" viewBox="0 0 34 34">
  <polygon points="3,29 16,6 29,29" fill="{wall}" stroke="{wline}" stroke-width="2" stroke-linejoin="round"/>
  <polygon points="12,29 16,18 20,29" fill="{roof}"/>
</svg>
"""


def icon(wall, roof, floors):
    if floors == 0:
        return TENT.format(wall=wall, wline=shade(wall, 0.65), roof=roof)
    wy = 30 - 8 * (floors + 1)
    windows = "".join('<rect x="{}" y="{}" width="4" height="4" fill="#4FB3E8"/>'.format(x, wy + 3 + 8 * f)
                      for f in range(floors) for x in (9, 19))
    return HOUSE.format(wy=wy, wh=30 - wy, wall=wall, wline=shade(wall, 0.65), roof=roof,
                        rline=shade(roof, 0.7), ry=wy + 1, rt=wy - 10, windows=windows)


def variants():
    return {name + ".svg": icon(*look) for name, look in ICONS.items()}
