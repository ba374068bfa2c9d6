"""The build lists' locked items, "<kind>ButtonLock.png": a greyed face with a
padlock, one per building kind of the lists (run by
tools/content/write_variants.py)."""

KINDS = ["Camping", "Hostel", "GuestHouse", "BusinessHotel", "HotelN5", "HotelN6", "Cafe", "CityMall", "AquaPark",
         "Statue", "Garden", "Memorial", "TruckStation", "REAgency", "PRAgency"]

LOCK = ('<svg xmlns="http://www.w3.org/2000/svg" width="92" height="122" viewBox="0 0 92 122">'
        '<rect x="1" y="1" width="86" height="114" rx="12" fill="#CFC8BC" stroke="#9E968B" stroke-width="2"/>'
        '<rect x="30" y="50" width="28" height="24" rx="4" fill="#6B655E"/>'
        '<path d="M35 50 V42 a9 9 0 0 1 18 0 V50" fill="none" stroke="#6B655E" stroke-width="5"/></svg>\n')


# The padlock over a locked second feature of a joy or factory, "<DisplayName>Feature2ButtonLock.png":
# the kinds with a second feature that the shop sells.
FEATURE2 = ["TruckStation", "AquaPark", "REAgency"]
FEATURE_LOCK = ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="36" viewBox="0 0 32 36">'
                '<rect x="4" y="15" width="24" height="18" rx="4" fill="#6B655E" stroke="#4A4540" stroke-width="2"/>'
                '<path d="M9 15 V10 a7 7 0 0 1 14 0 V15" fill="none" stroke="#6B655E" stroke-width="4"/>'
                '<circle cx="16" cy="24" r="2.5" fill="#F6E7C8"/></svg>\n')


def variants():
    files = {kind + "ButtonLock.svg": LOCK for kind in KINDS}
    files.update({kind + "Feature2ButtonLock.svg": FEATURE_LOCK for kind in FEATURE2})
    return files
