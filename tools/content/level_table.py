"""The 35 regular levels, each in a few lines: its setting and places, what the
player starts with, what it may build, its goals, its random events and its
own properties. tools/content/write_level_world.py turns each entry into
levels/level<N>/Level.oscn, LevelPaths.xml and LevelConfiguration.xml, and the
goal texts into the dictionary's generated block.

The curve teaches one new thing a level: a building family (as its shop
upgrade goes on sale), a goal kind, a random event or a rule of the level.
Settings follow the route: 1 a spring town (levels 1-8), 2 the seaside
(9-17), 3 hills in autumn (18-26), 4 winter (27-35).
"""

SETTINGS = {1: range(1, 9), 2: range(9, 18), 3: range(18, 27), 4: range(27, 36)}


def setting_of(level):
    return next(s for s, levels in SETTINGS.items() if level in levels)


# ---------------------------------------------------------------- places
def P(template="BuildingPlace", owned=True, luck=0):
    return (template, owned, luck)


E = P()                       # an empty plot of the player's
U = P(owned=False)            # a neighbour's empty plot
L1, L2 = P(luck=1), P(luck=-1)  # a lucky and an unlucky plot


def ruin(template):
    """A one-off building the level places; it starts needing restoring."""
    return P(template, True, 0)


# ---------------------------------------------------------------- goals
# Each goal is (Type, attributes, text); a text becomes the InfoStr key
# Obj_L<level>_<n> of the dictionary's generated block.
def money(v):
    return ("Money", {"Value": v}, "Have $%s" % format(v, ","))


def income(v):
    return ("Income", {"Value": v}, None)


def workers(v):
    return ("Workers", {"Value": v}, None)


def guests(v):
    return ("GuestsCount", {"Value": v}, None)


def have(types, v, text, must_own=True, **extra):
    attrs = {"BuildingTypes": types, "Value": v}
    if must_own:
        attrs["MustOwn"] = "true"
    attrs.update(extra)
    return ("HaveTypedBuildingsCount", attrs, text)


def each(types, v, text):
    return ("HaveEachTypeBuildingsCount", {"BuildingTypes": types, "Value": v, "MustOwn": "true"}, text)


BUILT, DESTROYED, BOUGHT, SOLD, REPAIRED, FEATURE0, FEATURE1, FEATURE2, CLEANED = range(9)


def history(action, v, text, types="", places=""):
    attrs = {"Action": action, "Value": v}
    if types:
        attrs["BuildingTypes"] = types
    if places:
        attrs["PlaceNames"] = places
    return ("TypedHistoryActionsCount", attrs, text)


def together(types, features, text):
    return ("HaveConcurrentFeatures", {"BuildingTypes": types, "FeatureIndices": features}, text)


# ---------------------------------------------------------------- events
def rng(a, b):
    return "%d, %d" % (a, b)


def weather(first=(60000, 90000), period=(80000, 120000)):
    return ("RegularWeatherEffectRequest", {"FirstTimeRange": rng(*first), "PeriodRange": rng(*period),
                                            "DurationTimeRange": "15000, 25000"})


def letters(first=(40000, 60000), period=(70000, 100000), money=(0.5, 1.0), once=False):
    attrs = {"MoneyRange": "%g, %g" % money, "WaitTimeRange": "12000, 18000"}
    if once:
        attrs["TimeRange"] = rng(*first)
        return ("OneTimeLetterRequest", attrs)
    attrs.update(FirstTimeRange=rng(*first), PeriodRange=rng(*period))
    return ("RegularLetterRequest", attrs)


def regular(kind, first, period, types="", last=None, places=""):
    attrs = {"FirstTimeRange": rng(*first), "PeriodRange": rng(*period)}
    if last:
        attrs["LastTimeRange"] = rng(*last)
    if types:
        attrs["BuildingTypes"] = types
    if places:
        attrs["PlaceNames"] = places
    return ("Regular%sBuildingRequest" % kind, attrs)


def once(kind, time, types="", places=""):
    attrs = {"TimeRange": rng(*time)}
    if types:
        attrs["BuildingTypes"] = types
    if places:
        attrs["PlaceNames"] = places
    return ("OneTime%sBuildingRequest" % kind, attrs)


def broken(first=(60000, 90000), period=(90000, 140000), types=""):
    return regular("Broken", first, period, types)


CAMPINGS = "Camping1;Camping2;Camping3"
HOSTELS = "Hostel1;Hostel2"
GUESTHOUSES = "GuestHouse1;GuestHouse2"
BUSINESS = "BusinessHotel1;BusinessHotel2;BusinessHotel3"
N5 = "HotelN51;HotelN52;HotelN53"
N6 = "HotelN61;HotelN62;HotelN63"

# level: entry. Keys: places, money, materials, workers, day (s), bonus
# (IncomeBonus1, IncomeBonus2), build (explicit build list; default: every
# record on sale before the level), goals, events, props (other properties),
# intro (the description text), lesson (a comment for the file).
LEVELS = {
    1: dict(places=[P("Camping1"), E, E, E, P("Garden", False)], money=60000, materials=200, workers=4, day=30,
            build="Camping1;Camping2;Cafe;TruckStation",
            props={"IsBuildingPlaceLuckinessOn": False, "IsSellOn": False, "InitRating": 0.0},
            goals=[("HaveTypedBuildingsCount", {"BuildingTypes": "Camping1;Camping2", "Value": 2, "MustOwn": "true"},
                    "%Obj_L1_Campings%"), guests(26), ("Money", {"Value": 60000}, "%Obj_L1_Money%")],
            events=[letters((45000, 60000), money=(0.5, 1.0), once=True),
                    weather((60000, 90000), (90000, 120000))],
            lesson="a first-time player learns to build, upgrade and fill campings. Plenty of money and "
                   "materials, no breakdowns, one money letter."),
    2: dict(places=[P("Camping2"), L1, E, P("Cafe", False), L2, P("Hostel1", False)], money=50000, materials=150,
            workers=4, day=45, bonus=(10, -10), build="Camping1;Camping2;Camping3;Hostel1;Hostel2;Cafe;Garden;TruckStation",
            props={"BuildingsSellTime": (20000, 60000)},
            goals=[income(12000), workers(5), ("TypedHistoryActionsCount",
                                                 {"Action": 0, "BuildingTypes": "Hostel1;Hostel2", "Value": 2},
                                                 "%Obj_L2_Hostels%")],
            events=[once("Sell", (20000, 30000)), broken((40000, 60000), (60000, 90000), CAMPINGS),
                    letters((30000, 50000), (70000, 100000), (0.5, 1.5)), weather((50000, 80000), (80000, 120000))],
            lesson="hostels arrive (bought in the shop after level 1); campings break down now and then, letters "
                   "keep coming and a neighbour offers a place."),
    # Gentler than it first shipped: breakdowns rarer, materials enough for
    # the repairs, a goal in reach of a three-hotel income.
    3: dict(places=[P("Camping2"), L1, E, P("Garden", False), E, P("TruckStation", False), L2, P("Hostel1", False)],
            money=80000, materials=300, workers=5, day=30, bonus=(15, -10),
            props={"BuildingsSellTime": (15000, 45000), "BuildingsBuyRequestTime": (30000, 90000)},
            goals=[money(100000),
                   each("Camping3;Hostel1;GuestHouse1", 1, "Own a 3-level camping, a hostel and a guest house")],
            events=[regular("Sell", (20000, 40000), (60000, 90000), last=(240000, 300000)),
                    broken((90000, 120000), (120000, 180000)), letters((60000, 90000), (90000, 120000)),
                    weather((40000, 70000), (70000, 110000))],
            intro="The town is growing. Guest houses are here: own one of each kind of hotel and save up.",
            lesson="guest houses; one of each hotel kind and a money goal."),
    4: dict(places=[P("Camping2"), E, P("Garden"), E, E, L1], money=60000, materials=250, workers=4, day=30,
            bonus=(15, -10),
            goals=[history(CLEANED, 2, "Clean dirty gardens twice"), income(15000)],
            events=[regular("Dirty", (20000, 30000), (40000, 60000), "Garden"), broken((90000, 120000), (120000, 180000)),
                    letters(), weather()],
            intro="Visitors drop litter in the gardens. Clean them up and raise the daily income.",
            lesson="dirty gardens and cleaning them."),
    5: dict(places=[P("Camping3"), P("Hostel1"), E, E, E, P("Cafe", False)], money=50000, materials=200, workers=4,
            day=30, bonus=(10, -10),
            goals=[history(REPAIRED, 2, "Repair two buildings"), guests(90), money(80000)],
            events=[once("Broken", (15000, 25000), HOSTELS), broken((40000, 60000), (70000, 100000)), letters(),
                    weather()],
            intro="Old hotels need care. Repair them when they break, fill the beds and save up.",
            lesson="a breakdown right at the start; repairs as a goal."),
    6: dict(places=[P("Hostel2"), E, L1, E, E, P("Garden", False)], money=90000, materials=300, workers=5, day=30,
            bonus=(15, -10),
            goals=[have(BUSINESS, 1, "Own a business hotel"), income(22000)],
            events=[broken((60000, 90000), (90000, 140000)), letters(), weather()],
            intro="Business travellers come to town. Build a business hotel and raise the income.",
            lesson="business hotels."),
    7: dict(places=[P("Hostel1"), P("Cafe"), E, E, E, E, L1, L2], money=80000, materials=300,
            workers=5, day=30, bonus=(15, -15),
            goals=[history(FEATURE0, 3, "Use a building's special feature three times"),
                   together("Hostel1;Cafe", "0;0", "Run a hostel's and a cafe's feature at the same time"),
                   income(15000)],
            events=[broken((60000, 90000), (90000, 140000)), regular("Dirty", (40000, 60000), (60000, 90000), "Garden"),
                    letters(), weather()],
            intro="Show the town what your buildings can do: use their special features.",
            lesson="features: use them, and two at the same time."),
    8: dict(places=[P("Hostel2"), E, E, P("Cafe"), E, E, L1, U], money=70000, materials=350, workers=5, day=30,
            bonus=(15, -10),
            goals=[have("CityMall", 1, "Own a city mall"), guests(140), money(120000)],
            events=[once("Dirty", (30000, 50000), "Garden"), broken((60000, 90000), (90000, 140000)), letters(),
                    weather(), once("Sell", (20000, 40000))],
            intro="Shoppers arrive. Build a city mall beside your hotels and fill them.",
            lesson="the city mall; a one-time dirty garden."),
    # ---- the seaside
    9: dict(places=[P("Camping3"), U, E, P("Hostel2", False), E, U, L1, P("Cafe", False)], money=90000,
            materials=300, workers=5, day=30, bonus=(15, -10),
            props={"BuildingsSellTime": (15000, 40000), "BuildingsBuyRequestTime": (20000, 60000)},
            goals=[history(BOUGHT, 2, "Buy two buildings from your neighbours"), income(22000)],
            events=[regular("Sell", (10000, 20000), (20000, 35000)), broken(), letters(), weather()],
            intro="At the seaside the neighbours sell. Buy two of their plots and raise the income.",
            lesson="the seaside; buying from neighbours."),
    10: dict(places=[P("Hostel2"), E, P("Hostel2"), E, L1, L1, E, P("Statue", False)], money=70000, materials=350, workers=5,
             day=30, bonus=(15, -10),
             goals=[have("Statue", 1, "Own a statue"),
                    have(HOSTELS + ";" + GUESTHOUSES + ";" + BUSINESS, 2,
                         "Own 2 hotels with an income bonus of 10%% or more", MinIncomeBonus=10), money(120000)],
             events=[broken(), regular("Dirty", (40000, 60000), (60000, 90000), "Statue;Garden"), letters(), weather()],
             intro="Statues make a street worth more. Place them so that hotels nearby earn a bonus, and save up.",
             lesson="statues; the income-bonus goal."),
    11: dict(places=[ruin("FishingCenter"), E, E, P("Hostel2"), E, E, L1, E], money=100000, materials=350,
             workers=5, day=30, bonus=(15, -10),
             goals=[have("FishingCenter", 1, "Restore the fishing centre"), income(30000)],
             events=[broken(), letters(), weather()],
             intro="An old fishing centre stands by the sea. Restore it and bring the anglers back.",
             lesson="the fishing centre, a one-off building to restore."),
    12: dict(places=[P("Hostel2"), P("Camping3"), E, U, E, E, L1, P("GuestHouse1", False)], money=70000,
             materials=350, workers=5, day=30, bonus=(15, -10),
             props={"BuildingsBuyRequestTime": (15000, 40000), "BuildingsBuyRequestPriceMultiplier": (0.9, 1.2)},
             goals=[have("REAgency", 1, "Own an estate agency"), history(SOLD, 1, "Sell a building"), money(130000)],
             events=[broken(), regular("Sell", (30000, 50000), (60000, 90000)), letters(), weather()],
             intro="Estate agents open an office. Build one, sell a building at a good price and save up.",
             lesson="estate agencies; selling."),
    13: dict(places=[P("Hostel2"), P("CityMall"), P("Hostel2"), E, E, E, L1, L2], money=110000, materials=350, workers=5, day=30,
             bonus=(20, -10),
             goals=[have("CityMall", 1, "Own a city mall that serves 40 guests or more", MinServedGuests=40),
                    income(30000)],
             events=[regular("Cafe", (30000, 40000), (60000, 90000)), once("Cafe", (20000, 30000)), broken(), letters(),
                     weather()],
             intro="Holiday crowds fill the cafes. Keep the city mall busy with forty guests from the hotels around it.",
             lesson="served guests; cafe rush events."),
    14: dict(places=[P("BusinessHotel1"), E, E, E, E, L1, E, P("Garden", False)], money=160000, materials=450,
             workers=6, day=30, bonus=(15, -10),
             goals=[have(N5, 1, "Own a grand hotel"), guests(200)],
             events=[broken(), letters(), weather()],
             intro="Grand hotels come to the coast. Build one and host two hundred guests.",
             lesson="grand hotels."),
    15: dict(places=[P("Hostel2"), P("BusinessHotel1"), E, E, E, L1, E, E], money=130000, materials=400, workers=3,
             day=30, bonus=(15, -10),
             goals=[workers(8), income(40000)],
             events=[broken(), letters(), weather()],
             intro="The season starts short-handed. Hire workers and raise the daily income.",
             lesson="hiring many workers (the larger worker orders)."),
    16: dict(places=[P("HotelN51"), E, P("TruckStation"), E, E, L1, E, L2], money=140000, materials=150, workers=6,
             day=30, bonus=(15, -10),
             goals=[history(BUILT, 5, "Build or upgrade hotels five times", types=CAMPINGS + ";" + HOSTELS + ";" + GUESTHOUSES + ";" + BUSINESS + ";" + N5), income(45000)],
             events=[broken(), regular("Dirty", (40000, 60000), (60000, 90000)), letters(), weather()],
             intro="The builders are waiting but the stores are empty. Order materials in bulk and build.",
             lesson="building fast from big material orders."),
    17: dict(places=[P("HotelN51"), E, E, E, L1, E, E, P("Cafe", False)], money=180000, materials=450, workers=6,
             day=30, bonus=(15, -10),
             goals=[have("AquaPark", 1, "Own an aqua park"), income(50000)],
             events=[broken(), letters(), weather()],
             intro="Build an aqua park: every hotel around it earns more.",
             lesson="aqua parks."),
    # ---- hills in autumn
    18: dict(places=[P("BusinessHotel2"), E, P("Garden", False), E, E, P("Statue", False), L1, E], money=150000,
             materials=450, workers=6, day=30, bonus=(15, -10), props={"IsNotOwnedDecorationsDirty": True},
             goals=[income(50000), guests(220)],
             events=[broken(), regular("Dirty", (40000, 60000), (60000, 90000)), letters(), weather()],
             intro="Autumn in the hills. The town's old gardens need care; buy and clean them.",
             lesson="the hills; neighbours' decorations start dirty."),
    19: dict(places=[ruin("ObservationPoint"), P("BusinessHotel1"), E, E, E, E, L1, E], money=160000, materials=450,
             workers=6, day=30, bonus=(15, -10),
             goals=[have("ObservationPoint", 1, "Restore the observation point"), have("Memorial", 1, "Own a memorial"),
                    income(50000)],
             events=[broken((30000, 45000), (45000, 70000)), letters(), weather()],
             intro="Restore the observation point on the hill: while it runs, nothing breaks down.",
             lesson="the observation point; memorials."),
    20: dict(places=[P("HotelN51"), P("Hostel2"), E, E, E, L1, E, E], money=150000, materials=450, workers=6,
             day=30, bonus=(15, -10),
             goals=[money(250000), history(BUILT, 3, "Build or upgrade hotels three times", types=HOSTELS + ";" + GUESTHOUSES + ";" + BUSINESS + ";" + N5)],
             events=[letters((15000, 25000), (25000, 40000), (0.8, 1.5)), letters((10000, 20000), money=(1.0, 2.0), once=True),
                     broken(), weather()],
             intro="Harvest time: guests send thank-you letters with money. Catch them all.",
             lesson="many money letters."),
    21: dict(places=[P("HotelN52"), E, E, E, E, L1, E, L2], money=180000, materials=500, workers=6, day=30,
             bonus=(15, -10),
             goals=[have("PRAgency", 1, "Own a PR agency"), income(60000)],
             events=[broken(), letters(), weather()],
             intro="A PR agency spreads the word: every hotel earns more.",
             lesson="PR agencies."),
    22: dict(places=[ruin("Pyramid"), E, E, E, L1, E, E, E], money=200000, materials=500, workers=6, day=30,
             bonus=(15, -10), props={"PyramidIncomeBonusPlaces": "Place02;Place03;Place05;Place06"},
             goals=[have("Pyramid", 1, "Restore the pyramid"), income(60000)],
             events=[broken(), letters(), weather()],
             intro="An odd pyramid on the hill draws visitors. Restore it: the hotels beside it earn more.",
             lesson="the pyramid and its bonus places."),
    23: dict(places=[P("HotelN52"), P("BusinessHotel2"), E, E, E, L1, E, E], money=180000, materials=500,
             workers=6, day=30, bonus=(15, -10), props={"IsSellOn": False},
             goals=[each("BusinessHotel3;HotelN53", 1, "Own a 3-level business hotel and a 3-level grand hotel"),
                    income(65000)],
             events=[broken(), letters(), weather()],
             intro="No selling this time: grow the hotels you have to their top level.",
             lesson="no selling; top-level hotels."),
    24: dict(places=[P("HotelN52"), E, E, E, E, L1, E, E], money=260000, materials=600, workers=7, day=30,
             bonus=(15, -10),
             goals=[have(N6, 1, "Own a palace hotel"), income(75000)],
             events=[broken(), letters(), weather()],
             intro="Palace hotels: the richest guests in the hills.",
             lesson="palace hotels."),
    25: dict(places=[P("HotelN53"), P("AquaPark"), E, E, E, L1, E, U], money=200000, materials=550, workers=7,
             day=30, bonus=(15, -10),
             goals=[guests(250), income(55000)],
             events=[broken(), regular("Dirty", (40000, 60000), (60000, 90000)), letters(), weather()],
             intro="The aqua park draws families: fill the town with guests.",
             lesson="a big guests goal with the aqua park."),
    26: dict(places=[ruin("Station"), P("HotelN61"), E, E, E, L1, E, E], money=250000, materials=600, workers=7,
             day=30, bonus=(15, -10),
             props={"StationIncomeBonus1": 10.0, "StationIncomeBonus2": 5.0,
                    "StationIncomeBonus1BuildingTypes": N6 + ";" + N5,
                    "StationIncomeBonus2BuildingTypes": BUSINESS + ";" + GUESTHOUSES},
             goals=[have("Station", 1, "Restore the railway station"), income(90000)],
             events=[broken(), letters(), weather()],
             intro="The railway reaches the hills. Restore the station: big hotels earn more.",
             lesson="the station and its bonus types."),
    # ---- winter
    27: dict(places=[P("HotelN53"), E, E, E, E, L1, E, L2], money=250000, materials=600, workers=7, day=30,
             bonus=(15, -15),
             goals=[income(90000), guests(420)],
             events=[broken((40000, 60000), (60000, 90000)), letters(), weather()],
             intro="Winter: snow and a busy ski season. Keep every hotel running.",
             lesson="winter; frequent breakdowns."),
    28: dict(places=[P("HotelN61"), U, P("HotelN52", False), E, U, L1, E, P("REAgency")], money=250000,
             materials=600, workers=7, day=30, bonus=(15, -10),
             goals=[history(BOUGHT, 1, "Buy a building"), income(90000)],
             events=[broken(), regular("Sell", (20000, 30000), (40000, 60000)), letters(), weather()],
             intro="The estate agent's negotiator buys even what is not for sale.",
             lesson="buying buildings not for sale."),
    29: dict(places=[P("HotelN62"), P("BusinessHotel3"), E, E, E, L1, E, E], money=250000, materials=600,
             workers=7, day=30, bonus=(15, -10),
             goals=[have(N5 + ";" + N6, 2, "Own 2 grand or palace hotels"), income(100000)],
             events=[broken(), letters(), weather()],
             intro="Every kind of luxury: own a grand hotel and a palace hotel.",
             lesson="many kinds at once."),
    30: dict(places=[P("HotelN62"), E, P("Memorial"), E, E, L1, E, E], money=260000, materials=600, workers=7,
             day=30, bonus=(15, -10),
             goals=[together("AquaPark;PRAgency", "0;0", "Run the aqua park and the PR campaign together"),
                    income(100000)],
             events=[broken(), letters(), weather()],
             intro="Winter festival: run the aqua park and a PR campaign at the same time.",
             lesson="concurrent features of late buildings."),
    31: dict(places=[P("HotelN63"), P("HotelN61"), E, E, E, L1, E, E], money=280000, materials=650, workers=7,
             day=30, bonus=(15, -10),
             goals=[money(500000), history(REPAIRED, 2, "Repair two buildings")],
             events=[broken((30000, 45000), (60000, 90000)), letters(), weather()],
             intro="The cold breaks pipes. Repair quickly and save up a fortune.",
             lesson="a big money goal."),
    32: dict(places=[P("HotelN62"), E, E, E, E, L1, E, E], money=280000, materials=650, workers=7, day=30,
             bonus=(20, -10),
             goals=[have(N6, 1, "Own a palace hotel with an income bonus of 15%% or more", MinIncomeBonus=15),
                    income(110000)],
             events=[broken(), letters(), weather()],
             intro="Place your joys well: a palace hotel must earn a big bonus.",
             lesson="bonus placement with the late buildings."),
    33: dict(places=[ruin("Headquarters"), P("HotelN62"), E, E, E, L1, E, E], money=320000, materials=650,
             workers=7, day=30, bonus=(15, -10),
             goals=[have("Headquarters", 1, "Restore the headquarters"), income(110000)],
             events=[broken(), letters(), weather()],
             intro="Your company's headquarters: restore it and everything costs less.",
             lesson="the headquarters."),
    34: dict(places=[P("HotelN63"), P("HotelN62"), E, E, E, L1, E, P("CityMall", False)], money=300000,
             materials=650, workers=7, day=30, bonus=(15, -10),
             goals=[guests(420), income(130000), workers(9)],
             events=[broken(), regular("Dirty", (40000, 60000), (60000, 90000)), letters(), weather()],
             intro="The winter games come to town: fill every bed in town.",
             lesson="a big guests goal."),
    35: dict(places=[P("HotelN63"), P("HotelN63"), E, E, E, L1, E, E], money=350000, materials=700, workers=8,
             day=30, bonus=(15, -10),
             goals=[money(700000), income(150000), have(N6, 3, "Own 3 palace hotels")],
             events=[broken(), letters(), weather()],
             intro="The last resort of the route: make the town the finest in the land.",
             lesson="the finale."),
}


# ---------------------------------------------------------------- tuning
# The money, income and guests targets of a level are scaled by its factor
# in level_scale.py, which tools/content/tune_levels.py writes after playing
# the levels with the reference player.
try:
    from level_scale import SCALE
except ImportError:  # before the first tuning
    SCALE = {}


def nice(value, step):
    return max(step, int(round(value / step)) * step)


def goals(level):
    """The level's goals with its tuning applied: (Type, attributes, text)."""
    factor = SCALE.get(level, 1.0)
    out = []
    for kind, attrs, text in LEVELS[level]["goals"]:
        attrs = dict(attrs)
        if kind in ("Money", "Income", "GuestsCount") and factor != 1.0:
            attrs["Value"] = nice(attrs["Value"] * factor, 10 if kind == "GuestsCount" else 1000)
            if kind == "Money":  # never a goal met with the starting money
                attrs["Value"] = max(attrs["Value"], nice(LEVELS[level]["money"] * 1.2, 1000))
        if kind == "Money":
            assert attrs["Value"] >= LEVELS[level]["money"], "level %d: the money goal is below the starting money" % level
        if kind == "Money" and text and not text.startswith("%"):
            text = "Have $%s" % format(attrs["Value"], ",")
        out.append((kind, attrs, text))
    return out


# ---------------------------------------------------------------- tutorials
# A short lesson at the first level of a building family or a new rule:
# (text, building types a step waits for the player to build, or "" for a
# note the player closes). write_level_world.py writes Tutorial.xml for each
# (levels 1 and 2 keep their hand-written tutorials).
TUTORIALS = {
    4: [("Visitors drop litter in gardens. When a garden gets dirty, select it and clean it before it drives guests away.", "")],
    6: [("Business hotels are on sale now: bigger, dearer and much richer than hostels. Build one on a free plot.",
         "BusinessHotel1")],
    8: [("A city mall earns from the guests of the hotels around it. Build it next to your busiest hotels.",
         "CityMall")],
    9: [("Neighbours put their buildings up for sale: a price tag and a dial show how long the offer lasts. "
         "Select one to buy it before the dial runs out.", "")],
    10: [("A statue raises the income of every hotel around it. Select a plot to see the area it will cover.",
          "Statue")],
    11: [("This old fishing centre needs restoring. Select it and restore it: once it runs it earns every day.",
          "")],
    12: [("The estate agency gets you better prices. Put a building up for sale and wait for a buyer's call.",
          "REAgency")],
    14: [("Grand hotels: three levels of luxury. Build one and upgrade it as the money comes in.", "HotelN51")],
    17: [("An aqua park makes every hotel in its area earn more, and its feature brings a rush of guests.",
          "AquaPark")],
    19: [("Restore the observation point: while it runs, no building breaks down. Memorials are on sale too.", "")],
    21: [("A PR agency raises the income of all your hotels, and its campaign brings money letters.", "PRAgency")],
    22: [("The pyramid draws visitors: once restored, the hotels on the marked plots beside it earn a bonus.", "")],
    24: [("Palace hotels: the biggest and richest hotels of all.", "HotelN61")],
    26: [("Restore the railway station: grand and palace hotels earn the most from it, smaller hotels a little.",
          "")],
    33: [("Your headquarters: restored, it makes materials, workers and building cheaper and faster.", "")],
}
