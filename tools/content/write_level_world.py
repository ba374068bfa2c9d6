#!/usr/bin/python3
"""Writes the level world's scene sources from one set of tables:
levels/common/TemplateCollection.oscn (the level templates) and, per level
of tools/content/level_table.py, levels/level<N>/Level.oscn, LevelPaths.xml
and LevelConfiguration.xml, with the levels' texts in the dictionary. The place layout comes from the
ground pictures' generator (atlases/Env1/levels/common/Grounds), so ground,
places and paths agree.

Run it by hand after changing a table and commit what it writes; the build
only copies the written files. The movers' templates, after the marker comment
in the template collection, are kept as they stand.

  python3 tools/content/write_level_world.py
"""
import importlib.util
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets") + "/"
spec = importlib.util.spec_from_file_location("grounds", ROOT + "atlases/Env1/levels/common/Grounds/Grounds.variants.py")
G = importlib.util.module_from_spec(spec)
spec.loader.exec_module(G)
import sys
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import level_table as T  # noqa: E402

FONT = "../../scenes/fonts/arial_14_crisp.ofnt"
INK = "ff2d2a26"


class N:
    def __init__(self, kind, name=None, **props):
        self.kind, self.props, self.children, self.states, self.comment = kind, [], [], [], None
        if name:
            self.props.append(("string", "Name", name))
        for k, v in props.items():
            self.add(k, v)

    def add(self, key, value):
        typed = {"Position": "vector3d", "Bounds": "vector3d", "Scale": "vector3d", "AtlasTexture": "atlasTexture",
                 "TemplateName": "string", "Font": "font", "FontSize": "float", "TextHAlign": "int",
                 "TextVAlign": "int", "TintColor": "color", "Visible": "bool", "ImageStretchX": "int",
                 "ImageStretchY": "int", "ImagePivotPoint": "vector2d", "BlendType": "int", "KnobType": "int",
                 "MaxValue": "float", "MinValue": "float", "Value": "float", "Text": "stringw",
                 "IsOwnedByThePlayer": "bool", "LuckinessType": "int", "FillColor": "color", "Angle1": "int",
                 "Angle2": "int", "PivotPoint": "vector2d", "CanBeHit": "bool", "ObjTemplate": "string",
                 "Enabled": "bool", "ObjectsPerSecRange": "vector2d", "ObjectsSpawnStartDelayRange": "vector2d", "ObjectsLifeTimeRange": "vector2d",
                 "ObjectsXDeltaRange": "vector2d", "ObjectsYDeltaRange": "vector2d", "ObjTemplateIDs": "string",
                 "ObjState": "string", "ShowLevelPercent": "int", "GridColor": "color", "CellSize": "vector2d",
                 "BirdTemplateID": "string", "Ellipse1Size": "vector2d", "Ellipse2Size": "vector2d",
                 "AngularVelocity1": "float", "AngularVelocity2": "float", "StarBlinkRange": "vector2d",
                 "AnimTime": "int", "WidthRange": "vector2d", "YVelocityRange": "vector2d",
                 "YAccelRange": "vector2d", "YAccelTimeRange": "vector2d"}[key]
        if isinstance(value, bool):
            value = "true" if value else "false"
        elif isinstance(value, (tuple, list)):
            value = ";".join("%g" % v for v in value)
        elif isinstance(value, float):
            value = "%g" % value
        self.props.append((typed, key, str(value)))
        return self

    def child(self, node):
        self.children.append(node)
        return node

    def state(self, name, *parts):
        self.states.append((name, parts))
        return self

    def xml(self, ind=0):
        p = "  " * ind
        out = []
        if self.comment:
            out.append("%s<!-- %s -->" % (p, self.comment))
        out.append('%s<SceneNode Type="%s">' % (p, self.kind))
        if self.props:
            if len(self.props) == 1:
                t, k, v = self.props[0]
                out.append('%s  <Properties><%s Name="%s" Value="%s"/></Properties>' % (p, t, k, v))
            else:
                out.append("%s  <Properties>" % p)
                out += ['%s    <%s Name="%s" Value="%s"/>' % (p, t, k, v) for t, k, v in self.props]
                out.append("%s  </Properties>" % p)
        if self.states:
            out.append("%s  <States>" % p)
            if getattr(self, "default", None):
                out.append('%s    <Properties><string Name="DefaultState" Value="%s"/></Properties>' % (p, self.default))
            for name, parts in self.states:
                out.append('%s    <State Name="%s">' % (p, name))
                out += ["%s      %s" % (p, part) for part in parts]
                out.append("%s    </State>" % p)
            out.append("%s  </States>" % p)
        for c in self.children:
            out.append(c.xml(ind + 1))
        out.append("%s</SceneNode>" % p)
        return "\n".join(out)


def setprops(**props):
    n = N("x")
    for k, v in props.items():
        n.add(k, v)
    inner = "".join('<%s Name="%s" Value="%s"/>' % t for t in n.props)
    return '<StartAnimator Type="SetProps"><Properties>%s</Properties></StartAnimator>' % inner


def keyframes(name, prop_type, prop, keys, loop_to=None):
    """keys: [(t, value)], values as text; the first key at t 0 steps, the others blend."""
    out = ['<Animator Type="KeyFrame" Name="%s">' % name,
           '<Properties><%s Name="%s" Value="%s"/></Properties>' % (prop_type, prop, keys[0][1])]
    for i, (t, v) in enumerate(keys):
        extra = ' i="0"' if i > 0 else ""
        if loop_to is not None and i == len(keys) - 1:
            extra += ' g="%d"' % loop_to
        out.append('<KeyFrame t="%d"%s Value0="%s"/>' % (t, extra, v))
    out.append("</Animator>")
    return "".join(out)


def fade(name, frm, to, ms, hold=0):
    keys = [(0, frm)] + ([(hold, frm)] if hold else []) + [(ms, to)]
    return keyframes(name, "color", "TintColor", keys)


def sprite(name, image, pos, **props):
    n = N("SpriteNode", name, Position=pos, AtlasTexture=image)
    for k, v in props.items():
        n.add(k, v)
    return n


def text(name, pos, bounds, align=2, **props):
    n = N("TextNode", name, Position=pos, Bounds=bounds, Font=FONT, FontSize=14.0, TextHAlign=align, TextVAlign=2,
          TintColor=INK)
    for k, v in props.items():
        n.add(k, v)
    return n


W = "World/"


# ------------------------------------------------------------------ templates

def building(name, type0):
    # A building enters its states in the children of its template root, so
    # the states stand on those children: the root's own would never play.
    root = N("ControlNode", name, Bounds=(140, 56, 0))
    root.comment = "%s: the picture stands on the 140 x 56 footprint and rises above it." % name
    sel = root.child(sprite("Selector", W + "Selector.png", (-16, -14, -0.1), Visible=False))
    for st in ("Focus", "FocusHover", "FocusKillHover"):
        sel.state(st, setprops(Visible=True, TintColor="ffffffff"))
    sel.state("NormalHover", setprops(Visible=True, TintColor="80ffffff"))
    for st in ("Normal", "KillFocus", "NormalKillHover"):
        sel.state(st, setprops(Visible=False))
    root.child(sprite("Body", W + name + ".png", (-10, -112, 0)))
    flag = root.child(sprite("Flag", W + "Flag.png", (126, -14, 0.2), Visible=False))
    flag.state("Owned", setprops(Visible=True))
    flag.state("NotOwned", setprops(Visible=False))
    if name != "BuildingPlace":
        glow = root.child(sprite("Glow", W + "StarBurst.png", (120, -40, 0.4), Visible=False, ImagePivotPoint=(32, 32),
                                 Scale=(0.5, 0.5, 1)))
        for n in (1, 2):
            glow.state("Feature%d" % n, setprops(Visible=True),
                       keyframes("Pulse", "vector3d", "Scale",
                                 [(0, "0.5;0.5;1"), (500, "0.7;0.7;1"), (500, "0.5;0.5;1")], loop_to=0))
            glow.state("Feature%dStop" % n, setprops(Visible=False))
    if name == "BuildingPlace":
        # A surveyor's grid over the empty plot while the pointer is on it or
        # it has the focus: the ground that can be built on.
        grid = root.child(N("GSelectGridNode", "PlotGrid", Position=(0, 0, 0.05), Bounds=(140, 56, 0),
                            GridColor="70ffffff", FillColor="24fff8ec", CellSize=(20, 14), Visible=False))
        for st in ("Focus", "FocusHover", "FocusKillHover"):
            grid.state(st, setprops(Visible=True, TintColor="ffffffff"))
        grid.state("NormalHover", setprops(Visible=True, TintColor="a0ffffff"))
        for st in ("Normal", "KillFocus", "NormalKillHover"):
            grid.state(st, setprops(Visible=False))
        dust = root.child(sprite("Dust", W + "Dust.png", (70, 30, 0.3), Visible=False, ImagePivotPoint=(60, 50)))
        dust.state("Destroy", setprops(Visible=True),
                   keyframes("Grow", "vector3d", "Scale", [(0, "0.6;0.6;1"), (900, "1.3;1.1;1")]),
                   fade("Fade", "ffffffff", "00ffffff", 900, hold=300),
                   '<EndAnimator Type="SetProps"><Properties><bool Name="Visible" Value="false"/></Properties></EndAnimator>')
    if type0:
        stars = root.child(N("BaseNode", "StarIcons", Position=(6, 48, 0.5)))
        for i in range(3):
            stars.child(sprite("Star%d" % (i + 1), "Stars/EmptyStar.png", (i * 22, 0, 0), Bounds=(20, 20, 0),
                               ImageStretchX=1, ImageStretchY=1))
    return root


def dial(name="Progress", pos=(0, 0, 0)):
    root = N("BaseNode", name, Position=pos, Bounds=(36, 36, 0))
    root.state("Normal", setprops(TintColor="ffffffff"))
    root.child(sprite("Bg", W + "DialBg.png", (0, 0, 0)))
    sector = root.child(N("GEllipseSectorNode", "Sector", Position=(6, 6, 0.1), Bounds=(24, 24, 0),
                          FillColor="ff7bc043", Angle1=0, Angle2=0))
    sector.state("Alert", keyframes("Blink", "color", "TintColor",
                                    [(0, "ffffffff"), (250, "ff808080"), (250, "ffffffff")], loop_to=0))
    root.child(sprite("Hand", W + "DialHand.png", (18, 18, 0.2), ImagePivotPoint=(3, 15)))
    return root


def overlays():
    out = []
    # A text's tint is its colour and also tints its children: white text on a dark panel.
    smile = N("TextNode", "SmileIcon", Position=(100, 30, 3), Bounds=(46, 22, 0), Font=FONT, FontSize=14.0,
              TextHAlign=1, TextVAlign=2, TintColor="ffffffff")
    smile.comment = "The income bonus of a place: smile and text on a small panel."
    smile.child(sprite("Smile", "Smiles/Blue.png", (-22, 1, 0.1), Bounds=(20, 20, 0), ImageStretchX=1, ImageStretchY=1))
    smile.child(sprite("Panel", W + "Pill.png", (-26, -2, -0.1)))
    out.append(smile)
    workers = N("TextNode", "WorkersText", Position=(100, 56, 3), Bounds=(46, 22, 0), Font=FONT, FontSize=14.0,
                TextHAlign=1, TextVAlign=2, TintColor="ffffffff")
    workers.comment = "The workers at a building, \"x3\", beside a helmet."
    workers.child(sprite("Helmet", W + "Helmet.png", (-24, 2, 0.1)))
    workers.child(sprite("Panel", W + "Pill.png", (-26, -2, -0.1)))
    out.append(workers)
    phone = N("BaseNode", "PhoneIcon", Position=(4, -46, 4))
    phone.comment = "A buyer calls: the phone rings beside the dial of the offer's time."
    phone.state("Active", keyframes("Ring", "vector3d", "Rotation",
                                    [(0, "0;0;0"), (80, "0;0;12"), (160, "0;0;-12"), (160, "0;0;8"), (80, "0;0;0")]))
    phone.child(sprite("Icon", W + "PhoneIcon.png", (0, 0, 0)))
    phone.child(dial("Progress", (34, 0, 0)))
    out.append(phone)
    sale = N("BaseNode", "ForSaleNode", Position=(14, -40, 4))
    sale.comment = "The price tag of a building for sale, with the dial of the time left."
    sale.child(sprite("Bg", W + "ForSaleTag.png", (0, 0, 0)))
    sale.child(text("PriceText", (6, 8, 0.1), (76, 24, 0), TintColor="ff2e8b57"))
    sale.child(dial("Progress", (90, 2, 0.1)))
    out.append(sale)
    area = sprite("ServeArea", W + "ServeArea.png", (0, 0, -0.5), Bounds=(40, 40, 0), ImageStretchX=1, ImageStretchY=1)
    area.comment = "The serve-area highlight, stretched by code."
    area.state("Blue", setprops(TintColor="c04fb3e8"))
    area.state("Green", setprops(TintColor="c07bc043"))
    out.append(area)
    for i, pos in ((1, (-16, -14, 3)), (2, (-16, 16, 3))):
        icon = N("BaseNode", "Feature%dIcon" % i, Position=pos, Bounds=(28, 26, 0))
        icon.comment = "Feature button %d over the building: back layer, fill layer, symbol." % i
        back = icon.child(sprite("Back", W + "FeatureTop.png", (0, 0, 0), Bounds=(28, 26, 0), ImageStretchY=3))
        fill = icon.child(sprite("Fill", W + "FeatureFill.png", (0, 0, 0.1), Bounds=(28, 26, 0), ImageStretchY=3))
        icon.child(sprite("Symbol", W + "Bolt.png", (0, 0, 0.2)))
        for n in (back, fill):
            n.state("Ready", setprops(TintColor="ffffffff"))
        fill.state("Active", setprops(TintColor="ff7bc043"))
        fill.state("Recharging", setprops(TintColor="ffc9c2b8"))
        back.state("Active", setprops(TintColor="ffffffff"))
        back.state("Recharging", setprops(TintColor="ffffffff"))
        out.append(icon)
    burst = N("BaseNode", "MoneyBurst", Position=(56, -30, 4))
    burst.comment = "Coins springing from a building for the money effect."
    for i, (x, y) in enumerate(((0, 0), (14, -10), (-12, -6))):
        burst.child(sprite("Coin%d" % (i + 1), W + "Coin.png", (x, y, 0.1 * i)))
    out.append(burst)
    for name in ("RepairIcon", "DirtyIcon"):
        icon = N("BaseNode", name, Position=(52, -80, 4))
        icon.comment = "Shown while the building is %s." % ("broken or awaits a bus" if name == "RepairIcon" else "dirty")
        icon.state("Active", keyframes("Bounce", "vector3d", "Position",
                                       [(0, "52;-80;4"), (300, "52;-88;4"), (300, "52;-80;4")]))
        icon.child(sprite("Icon", W + name + ".png", (0, 0, 0)))
        out.append(icon)
    letter = N("ControlNode", "MoneyLetter", Position=(42, -78, 6), Bounds=(56, 44, 0))
    letter.comment = "A money letter over its building: the envelope with the sum and the dial of the time left."
    env = letter.child(sprite("Envelope", W + "Letter.png", (0, 0, 0)))
    txt = letter.child(text("Text", (-12, 42, 0.1), (80, 20, 0), TintColor="ff2e8b57"))
    panel = letter.child(sprite("Panel", W + "PillLight.png", (-13, 38, 0)))
    dl = letter.child(dial("Progress", (44, -14, 0.1)))
    # A text's tint is its colour: it fades in its own green.
    for n, rgb in ((env, "ffffff"), (txt, "2e8b57"), (dl, "ffffff"), (panel, "ffffff")):
        n.state("Appear", fade("In", "00" + rgb, "ff" + rgb, 300))
        n.state("Disappear", fade("Out", "ff" + rgb, "00" + rgb, 400))
        n.state("DisappearHit", fade("Out", "ff" + rgb, "00" + rgb, 250))
    env.state("DisappearHit", fade("Out", "ffffffff", "00ffffff", 250),
              keyframes("Lift", "vector3d", "Position", [(0, "0;0;0"), (250, "0;-24;0")]))
    out.append(letter)
    return out


def bar_templates():
    look = N("ControlNode", "BuildingBar", Bounds=(76, 16, 0))
    look.comment = "The look of the progress bars over buildings and sites."
    look.child(sprite("Frame", W + "BarFrame.png", (0, 0, 0)))
    look.child(N("BaseNode", "SlidingArea", Position=(6, 6, 0), Bounds=(64, 4, 0)))
    look.child(sprite("Knob", W + "BarFill.png", (6, 6, 0.1), Bounds=(64, 4, 0), ImageStretchX=1))
    over = N("ProgressBarNode", "ProgressBarOverBuilding", Position=(32, -92, 5), Bounds=(76, 16, 0),
             TemplateName="BuildingBar", KnobType=1, MaxValue=1.0)
    over.comment = "The work bar over a building."
    return [look, over]


DIRS4 = ("RightUp", "RightDown", "LeftUp", "LeftDown")
DIRS8 = ("Right", "RightUp", "Up", "LeftUp", "Left", "LeftDown", "Down", "RightDown")


def helicopter():
    root = N("GPathMovableNode", "Helicopter")
    root.comment = ("The construction helicopter: flies in to the hover point, lowers the cargo and flies off; "
                    "code sets the Mover keys and their time.")
    for st in ("MovingTo", "MovingFrom"):
        root.state(st, keyframes("Mover", "vector3d", "Position", [(0, "0;0;0"), (3333, "0;0;0")]))
    body = root.child(sprite("Body", W + "HelicopterLeftDown.png", (-40, -30, 0.2)))
    cargo = root.child(sprite("Cargo", W + "Cargo.png", (-24, 6, 0.1)))
    shadow = root.child(sprite("CargoShadow", W + "HeliShadow.png", (-36, 56, -0.5)))
    for d in DIRS4:
        body.state(d, setprops(AtlasTexture=W + "Helicopter" + d + ".png"))
        body.state(d + "_BeforeUnloading", keyframes("Down", "vector3d", "Position", [(0, "-40;-30;0.2"), (500, "-40;-14;0.2")]))
        body.state(d + "_Unloading", keyframes("Hold", "vector3d", "Position", [(0, "-40;-14;0.2"), (900, "-40;-14;0.2")]))
        body.state(d + "_AfterUnloading", keyframes("Up", "vector3d", "Position", [(0, "-40;-14;0.2"), (500, "-40;-30;0.2")]))
        cargo.state(d + "_BeforeUnloading", keyframes("Down", "vector3d", "Position", [(0, "-24;6;0.1"), (500, "-24;22;0.1")]))
        cargo.state(d + "_Unloading", keyframes("Lower", "vector3d", "Position", [(0, "-24;22;0.1"), (900, "-24;52;0.1")]))
        shadow.state(d + "_Unloading", keyframes("Shrink", "color", "TintColor", [(0, "ffffffff"), (900, "80ffffff")]))
    return root


def bus():
    root = N("GPathMovableNode", "Bus")
    root.comment = "The delivery bus; it fades out once it has left its workers."
    root.state("MovingFrom", fade("Leave", "ffffffff", "00ffffff", 600, hold=1200))
    body = root.child(sprite("Body", W + "BusRight.png", (-34, -30, 0)))
    for d in DIRS8:
        body.state(d, setprops(AtlasTexture=W + "Bus" + d + ".png"))
    return root


def construction():
    root = N("BaseNode", "Construction")
    root.comment = ("The construction site over a place: it fades in, raises dust while the old look goes, "
                    "works with the crane hook and clears away when the new look is in.")
    ground = root.child(sprite("Site", W + "Site.png", (-10, -112, 0.1), TintColor="00ffffff"))
    ground.state("PreBuild1", fade("In", "00ffffff", "ffffffff", 500))
    ground.state("PostBuild2", fade("Out", "ffffffff", "00ffffff", 500))
    hook = root.child(sprite("Hook", W + "Hook.png", (67, -66, 0.2), Visible=False))
    hook.state("Working", setprops(Visible=True),
               keyframes("Lift", "vector3d", "Position", [(0, "67;-66;0.2"), (900, "67;-40;0.2"), (900, "67;-66;0.2")], loop_to=0))
    hook.state("PostBuild1", setprops(Visible=False))
    dust = root.child(sprite("Dust", W + "Dust.png", (70, 30, 0.3), Visible=False, ImagePivotPoint=(60, 50)))
    for st, ms in (("PreBuild2", 700), ("PostBuild1", 700)):
        dust.state(st, setprops(Visible=True),
                   keyframes("Grow", "vector3d", "Scale", [(0, "0.6;0.6;1"), (ms, "1.3;1.1;1")]),
                   fade("Fade", "ffffffff", "00ffffff", ms),
                   '<EndAnimator Type="SetProps"><Properties><bool Name="Visible" Value="false"/></Properties></EndAnimator>')
    cargo = N("BaseNode", "Cargo")
    cargo.comment = "The cargo set down on the site, with the site's progress bar."
    cargo.child(sprite("Crates", W + "Cargo.png", (82, 4, 0.2)))
    cargo.child(N("ProgressBarNode", "ProgressBar", Position=(32, -92, 5), Bounds=(76, 16, 0),
                  TemplateName="BuildingBar", KnobType=1, MaxValue=1.0))
    sel = sprite("ConstructionSelector", W + "ConstructionSelector.png", (-16, -14, -0.1), BlendType=1, Visible=False)
    sel.comment = "The focus ring of a place under construction."
    sel.state("Focus", setprops(Visible=True))
    sel.state("Normal", setprops(Visible=False))
    return [root, cargo, sel]


def star_effect():
    root = N("BaseNode", "LevelStarEffect")
    root.comment = "A new star lands in a hotel's star row."
    burst = root.child(sprite("Burst", W + "StarBurst.png", (0, 0, 0), ImagePivotPoint=(32, 32), Scale=(0.4, 0.4, 1)))
    burst.state("Activate", keyframes("Grow", "vector3d", "Scale", [(0, "0.4;0.4;1"), (700, "1.6;1.6;1")]),
                fade("Fade", "ffffffff", "00ffffff", 700))
    star = root.child(sprite("Star", "Stars/FilledStar.png", (0, 0, 0.1), ImagePivotPoint=(24, 24), Scale=(0.42, 0.42, 1)))
    star.state("Activate", keyframes("Land", "vector3d", "Scale", [(0, "1.4;1.4;1"), (700, "0.42;0.42;1")]))
    return [root]


def clouds():
    out = []
    for i, (w, h) in ((1, (150, 70)), (2, (110, 56)), (3, (190, 80))):
        root = N("GPathMovableNode", "Cloud%d" % i)
        root.comment = "A drifting cloud, high over the level." if i == 1 else None
        root.child(sprite("Body", W + "Cloud%d.png" % i, (-w // 2, -h // 2, 1000)))
        out.append(root)
    return out


# Decorations a once-spawner may put down (Varied below): the picture's foot
# stands on the spawner's point.
DECO_TEMPLATES = ("Tree", "TreeAutumn", "Pine", "Palm", "Bush", "Flowers", "Bench", "Umbrella", "Rock", "TreeRed",
                  "Pumpkins", "PineSnow", "Snowman")


def deco_templates():
    out = []
    for kind in DECO_TEMPLATES:
        w, h = SIZES[kind]
        root = N("BaseNode", "Deco" + kind, CanBeHit=False)
        if kind == DECO_TEMPLATES[0]:
            root.comment = "Decorations for the once-spawners of the levels; the foot of each stands on its point."
        root.child(sprite("Body", W + kind + ".png", (-(w // 2), -h, 0), CanBeHit=False))
        out.append(root)
    return out


def butterfly():
    root = N("GPicEffectNode", "Butterfly", CanBeHit=False, AnimTime=1600, WidthRange=(6, 14),
             YVelocityRange=(-14, -8), YAccelRange=(-4, -2), YAccelTimeRange=(1000, 3000))
    root.comment = "A butterfly rising from the park's flowers, circling as it goes (spawned by the level)."
    body = root.child(sprite("Body", "Effects/Butterfly.png", (0, 0, 0), ImagePivotPoint=(13, 11), CanBeHit=False))
    body.state("Flutter", keyframes("Wings", "vector3d", "Scale",
                                    [(0, "1;1;1"), (150, "0.35;1;1"), (150, "1;1;1")], loop_to=0))
    body.default = "Flutter"
    return [root]


def template_collection():
    hotels = ("Camping", "Hostel", "GuestHouse", "BusinessHotel", "HotelN5", "HotelN6")
    nodes = [building(name, name[:-1] in hotels)
             for name in ("BuildingPlace", "Camping1", "Camping2", "Camping3", "Hostel1", "Hostel2", "GuestHouse1",
                          "GuestHouse2", "Cafe", "Garden", "TruckStation", "BusinessHotel1", "BusinessHotel2",
                          "BusinessHotel3", "HotelN51", "HotelN52", "HotelN53", "HotelN61", "HotelN62", "HotelN63",
                          "CityMall", "AquaPark", "Statue", "Memorial", "REAgency", "PRAgency", "FishingCenter",
                          "ObservationPoint", "Pyramid", "Station", "Headquarters")]
    nodes += overlays() + bar_templates() + [helicopter(), bus()] + construction() + star_effect() + clouds()
    nodes += deco_templates()
    nodes += butterfly()
    star = N("BaseNode", "StarIcon")
    star.child(sprite("Star", "Stars/FilledStar.png", (0, 0, 0)))
    nodes.append(star)
    body = "\n".join(n.xml(1) for n in nodes)
    # The movers' own templates stand after the marker and are kept as they are.
    marker = "  <!-- Mover templates (cars, walkers, birds) follow; they are kept as they stand. -->\n"
    current = open(ROOT + "levels/common/TemplateCollection.oscn").read()
    kept = current.split(marker, 1)[1].rsplit("</SceneNode>", 1)[0] if marker in current else ""
    body += "\n" + marker + kept.rstrip("\n")
    return ('<?xml version="1.0"?>\n<!-- Templates of the level world; a template is named by its root\'s Name.\n'
            '     Written by tools/content/write_level_world.py; pictures are World/*.png of the\n'
            '     Buildings atlas. Depths: the level puts everything at the y of its foot; a\n'
            '     place\'s own parts lie within +-1 of it, bars and icons a little above,\n'
            '     clouds 1000 above their y. -->\n'
            '<SceneNode Type="TemplateCollectionNode">\n%s\n</SceneNode>\n' % body)


# ------------------------------------------------------------------ levels

SIZES = {"House1": (96, 96), "House2": (96, 96), "House3": (96, 96), "House4": (96, 96), "Hedge": (70, 22),
         "BeachHut1": (60, 70), "BeachHut2": (60, 70), "BeachHut3": (60, 70),"Tree": (40, 48), "TreeAutumn": (40, 48), "TreeRed": (40, 48), "Pine": (36, 48), "Palm": (48, 60),
         "Bush": (30, 20), "Flowers": (24, 16), "Bench": (34, 20), "Lamp": (16, 48), "Boat": (60, 34),
         "Umbrella": (40, 44), "Rock": (34, 22), "Pumpkins": (30, 18),
         "PineSnow": (36, 48), "Snowman": (30, 44)}

DECOR = {
    # Generous lists: whatever stands on a place is left out when the level is written.
    1: [("House1", 60, 128), ("House2", 170, 124), ("House3", 880, 126), ("House4", 980, 132),
        ("House2", 330, 120), ("House1", 740, 122), ("House4", 540, 118),
        ("Hedge", 380, 592), ("House4", 250, 574), ("House3", 790, 570), ("House2", 920, 580), ("House1", 60, 574),
        ("Tree", 40, 150), ("Tree", 96, 192), ("Pine", 150, 140), ("Tree", 206, 196), ("Tree", 826, 150),
        ("Pine", 876, 196), ("Tree", 936, 140), ("Tree", 992, 192), ("Pine", 412, 196), ("Pine", 612, 196),
        ("Lamp", 110, 262), ("Lamp", 412, 262), ("Lamp", 612, 262), ("Lamp", 900, 262),
        ("Lamp", 180, 354), ("Lamp", 512, 354), ("Lamp", 840, 354),
        ("Tree", 90, 450), ("Tree", 230, 470), ("Bush", 300, 520), ("Tree", 760, 450), ("Tree", 880, 474),
        ("Tree", 970, 440), ("Flowers", 420, 530), ("Flowers", 640, 520), ("Bush", 700, 530),
        ("Bench", 320, 660), ("Tree", 420, 720), ("Tree", 620, 700), ("Flowers", 760, 690), ("Bush", 980, 560),
        ("Tree", 900, 720)],
    2: [("House3", 60, 128), ("House1", 250, 118), ("House4", 460, 120), ("House2", 660, 118), ("House1", 900, 126),
        ("House2", 120, 574), ("House4", 880, 576), ("House3", 990, 584), ("Hedge", 380, 600),
        ("Tree", 40, 160), ("Tree", 96, 200), ("Pine", 312, 196), ("Pine", 512, 196), ("Tree", 760, 250),
        ("Tree", 830, 236), ("Tree", 900, 250), ("Tree", 980, 236),
        ("Lamp", 110, 262), ("Lamp", 312, 262), ("Lamp", 512, 262), ("Lamp", 740, 262),
        ("Lamp", 150, 354), ("Lamp", 412, 354), ("Lamp", 612, 354), ("Lamp", 880, 354), ("Tree", 60, 450),
        ("Tree", 860, 452), ("Tree", 960, 472), ("Bush", 300, 540), ("Bush", 640, 540),
        ("Flowers", 120, 480), ("Flowers", 420, 560), ("Bench", 700, 660), ("Tree", 120, 700), ("Tree", 330, 730),
        ("Tree", 560, 720), ("Flowers", 470, 680)],
}
SEASIDE_DECOR = [
    ("BeachHut1", 200, 130), ("BeachHut2", 430, 126), ("BeachHut3", 640, 130), ("BeachHut1", 860, 126),
        ("Palm", 24, 190), ("Palm", 217, 196), ("Palm", 407, 190), ("Palm", 597, 196), ("Palm", 820, 250),
        ("Palm", 900, 236), ("Palm", 990, 252),
        ("Lamp", 30, 262), ("Lamp", 217, 262), ("Lamp", 407, 262), ("Lamp", 597, 262), ("Lamp", 780, 262),
        ("Lamp", 110, 354), ("Lamp", 512, 354), ("Lamp", 920, 354), ("Palm", 60, 470), ("Palm", 980, 470),
        ("Bush", 312, 500), ("Bush", 712, 500), ("Umbrella", 150, 540), ("Umbrella", 420, 532),
        ("Umbrella", 700, 536), ("Umbrella", 900, 528), ("Rock", 60, 546), ("Rock", 560, 548),
        ("Boat", 300, 620), ("Boat", 800, 612), ("Rock", 980, 538)
]


def seasonal(decor, swaps):
    return [(swaps.get(kind, kind), x, y) for kind, x, y in decor]


# Levels without their own list take their setting's; whatever stands on a
# place is left out when the level is written.
SETTING_DECOR = {
    1: DECOR[2],
    2: SEASIDE_DECOR,
    3: seasonal(DECOR[2], {"Tree": "TreeAutumn", "Flowers": "Pumpkins", "Bush": "TreeRed"}),
    4: seasonal(DECOR[2], {"Tree": "PineSnow", "Pine": "PineSnow", "Flowers": "Snowman", "Bush": "Rock",
                           "Hedge": "Rock"}),
}


# Spots that look different from one play to the next: each once-spawner
# picks one of its templates (or, by chance, nothing) and one of its states.
# (x, y of the foot, templates, states, percent shown)
PARKED = "Left;Right;LeftDown;RightDown"
VARIED = {
    1: [(150, 560, "Car1;Car2", PARKED, 60), (700, 555, "Car1;Car2", "Left;Right", 45),
        (500, 540, "DecoBush;DecoFlowers;DecoBench", "", 70), (1000, 500, "DecoTree;DecoTreeAutumn;DecoPine", "", 60),
        (160, 430, "DecoTree;DecoBush", "", 50)],
    2: [(210, 580, "Car1;Car2", PARKED, 60), (790, 570, "Car1;Car2", PARKED, 50),
        (560, 540, "DecoFlowers;DecoBench;DecoBush", "", 70), (40, 530, "DecoTree;DecoPine", "", 50),
        (720, 530, "DecoBush;DecoFlowers", "", 60)],
}
SETTING_VARIED = {
    1: VARIED[2],
    2: [(900, 520, "Car1;Car2", "Left;Right", 50), (280, 610, "DecoUmbrella;DecoRock", "", 70),
        (620, 615, "DecoUmbrella;DecoRock;DecoPalm", "", 60)],
    3: [(210, 580, "Car1;Car2", PARKED, 60), (790, 570, "Car1;Car2", PARKED, 50),
        (560, 620, "DecoPumpkins;DecoBench;DecoTreeRed", "", 70), (40, 530, "DecoTreeAutumn;DecoPine", "", 50)],
    4: [(210, 580, "Car1;Car2", PARKED, 60), (790, 570, "Car1;Car2", PARKED, 50),
        (560, 620, "DecoSnowman;DecoBench;DecoRock", "", 70), (40, 530, "DecoPineSnow;DecoRock", "", 50)],
}

# Crests on the water (centres): the spring towns' ponds and the seaside's sea.
WAVES = {
    1: [(516, 540), (578, 556), (608, 532)],
    2: [(498, 540), (556, 555), (586, 532)],
}
# Setting 4's pond is frozen: no crests.
SETTING_WAVES = {1: WAVES[2], 2: [(90, 584), (250, 606), (410, 580), (560, 602), (720, 572), (880, 598), (980, 576)],
                 3: WAVES[2], 4: []}

# Circling gulls: centre x, y, the two ellipses' half-axes and their turning speeds (degrees a second).
CIRCLING = {
    1: [(560, 150, (150, 40), (36, 14), 12, -50), (230, 520, (80, 30), (22, 10), -16, 60)],
    2: [(420, 150, (160, 44), (30, 12), -12, 55), (820, 520, (90, 34), (26, 10), 15, -60)],
}
SETTING_CIRCLING = {1: CIRCLING[2], 2: [(520, 590, (220, 30), (40, 12), 10, -45), (260, 160, (120, 36), (26, 10), -14, 58)],
                    3: CIRCLING[2], 4: [(420, 150, (160, 44), (30, 12), -12, 55)]}

# Flower beds the butterflies rise from.
BUTTERFLIES = {1: [(420, 530), (640, 520), (760, 690)], 2: [(120, 480), (420, 560), (470, 680)]}
SETTING_BUTTERFLIES = {1: BUTTERFLIES[2], 3: [(120, 480), (470, 680)]}
SETTING_TEXT = {1: "a spring town", 2: "the seaside", 3: "hills in autumn", 4: "winter"}


def layout(level):
    """(setting, place positions) of a level."""
    return T.setting_of(level), G.PLACE_ROWS[len(T.LEVELS[level]["places"])]


def lake_wave(name, cx, cy):
    """A crest on the water with a glint: the node's bounds are where the glint may show."""
    w, h = 70, 24
    node = N("GLakeWaveNode", name, Position=(cx - w // 2, cy - h // 2, -900), Bounds=(w, h, 0), CanBeHit=False,
             StarBlinkRange=(3000, 8000))
    wave = node.child(sprite("Wave", "../common/Effects/Wave.png", (11, 4, 0), CanBeHit=False))
    wave.state("Normal",
               keyframes("Swell", "color", "TintColor",
                         [(0, "00ffffff"), (900, "e6ffffff"), (900, "00ffffff"), (700, "00ffffff")], loop_to=0),
               keyframes("Drift", "vector3d", "Position",
                         [(0, "11;4;0"), (1250, "16;3;0"), (1250, "11;4;0")], loop_to=0))
    star = node.child(sprite("Star", "../common/Effects/Glint.png", (0, 0, 1), ImagePivotPoint=(11, 11),
                             Scale=(0.2, 0.2, 1), CanBeHit=False))
    star.state("Blink", keyframes("Grow", "vector3d", "Scale", [(0, "0.2;0.2;1"), (250, "1;1;1"), (350, "0.2;0.2;1")]),
               fade("Fade", "ffffffff", "00ffffff", 600, hold=350))
    return node


def level_scene(level):
    setting, places = layout(level)
    root = N("GGameLevelScene", "Level%d" % level, Bounds=(1024, 768, 0))
    ground = root.child(sprite("Ground", "../common/Grounds/%s.png" % G.ground_name(setting, len(places)),
                               (0, 0, -1000), CanBeHit=False))
    ground.comment = ("The ground: grass, the avenue, the driveways and the setting's landscape; deep below, "
                      "so that serve-area highlights (at -500) lie on it.")
    deco = root.child(N("BaseNode", "Decorations"))
    deco.comment = "Things that stand up, each at the depth of its foot (its y), as buildings and movers are."
    def clear_of_places(kind, x, y):
        w, h = SIZES[kind]
        return all(x + w / 2 <= px - 10 or x - w / 2 >= px + 150 or y <= py - 40 or y - h >= py + 56
                   for px, py in places)

    for i, (kind, x, y) in enumerate(d for d in DECOR.get(level, SETTING_DECOR[setting]) if clear_of_places(*d)):
        w, h = SIZES[kind]
        deco.child(sprite("%s%d" % (kind, i + 1), "../common/World/%s.png" % kind, (x - w // 2, y - h, float(y)),
                          CanBeHit=False))
    varied = root.child(N("BaseNode", "Varied"))
    varied.comment = "Spots that differ from play to play: a parked car, a tree or a bench, or nothing."
    for i, (x, y, templates, states, percent) in enumerate(VARIED.get(level, SETTING_VARIED[setting])):
        spot = varied.child(N("OnceSpawnerNode", "Varied%d" % (i + 1), Position=(x, y, float(y)),
                              ObjTemplateIDs=templates))
        if states:
            spot.add("ObjState", states)
        spot.add("ShowLevelPercent", percent)
    b = root.child(N("ControlNode", "Buildings", Bounds=(1024, 768, 0)))
    b.comment = "The building places, Place01 onwards: upper row left to right, then the lower row."
    for i, ((x, y), (template, owned, luck)) in enumerate(zip(places, T.LEVELS[level]["places"])):
        node = b.child(N("GBuildingNode", "Place%02d" % (i + 1), TemplateName=template, Position=(x, y, float(y + 56)),
                         Bounds=(140, 56, 0)))
        if owned:
            node.add("IsOwnedByThePlayer", True)
        if luck:
            node.add("LuckinessType", luck)
    cargos = root.child(N("BaseNode", "CargosNode"))
    cargos.comment = "Helicopters, buses, cars and clouds; a mover's depth is its y."
    walkers = root.child(N("BaseNode", "Walkers"))
    walkers.comment = "Pedestrians on the sidewalks, picking a pedestrian path each."
    spawner = walkers.child(N("SpawnerNode", "People", ObjTemplate="Pedestrian1;Pedestrian2",
                              ObjectsPerSecRange=(0.05, 0.1)))
    spawner.add("ObjectsSpawnStartDelayRange", (0, 1500))
    birds = root.child(N("SpawnerNode", "Birds", Position=(0, 0, 800), ObjTemplate="Bird1",
                         ObjectsPerSecRange=(0.02, 0.04)))
    birds.comment = "A bird across the sky now and then, above the roofs."
    water = root.child(N("BaseNode", "Water"))
    water.comment = "Crests on the water, each with a glint now and then; just above the ground."
    for i, (cx, cy) in enumerate(WAVES.get(level, SETTING_WAVES[setting])):
        water.child(lake_wave("Wave%d" % (i + 1), cx, cy))
    for i, (x, y, e1, e2, v1, v2) in enumerate(CIRCLING.get(level, SETTING_CIRCLING[setting])):
        bird = root.child(N("GCircularBirdNode", "CirclingGull%d" % (i + 1), Position=(x, y, 900), BirdTemplateID="Bird1",
                            Ellipse1Size=e1, Ellipse2Size=e2, AngularVelocity1=float(v1), AngularVelocity2=float(v2)))
        if i == 0:
            bird.comment = "Gulls circling over the town, above the roofs."
    for i, (x, y) in enumerate(BUTTERFLIES.get(level, SETTING_BUTTERFLIES.get(setting, []))):
        spawner = root.child(N("SpawnerNode", "Butterflies%d" % (i + 1), Position=(x, y, float(y + 2)),
                               ObjTemplate="Butterfly", ObjectsPerSecRange=(0.08, 0.15),
                               ObjectsLifeTimeRange=(6000, 9000), ObjectsXDeltaRange=(-10, 10),
                               ObjectsYDeltaRange=(-6, 0)))
        spawner.add("ObjectsSpawnStartDelayRange", (0, 4000))
        if i == 0:
            spawner.comment = "Butterflies rising from the flower beds."
    return ('<?xml version="1.0"?>\n<!-- Level %d: %s. Places, depths and paths follow the layout table of\n'
            '     the ground pictures (atlases/Env1/levels/common/Grounds). -->\n%s\n'
            % (level, SETTING_TEXT[setting], root.xml(0)))


def level_paths(level):
    setting, places = layout(level)
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<!-- Traffic of level %d. Cars drive on the right: eastbound on the lower lane,' % level,
             '     westbound on the upper one. A bus route is named after its place, comes',
             '     in from the left on the eastbound lane and turns into the place\'s driveway. -->',
             '<LevelPaths>', '  <CarPaths>',
             '    <Path ID="NeutralCar" Time="4000, 9000" Cars="Car1;Car2"><p p="-80, %d"/><p p="1104, %d"/></Path>'
             % (G.EAST_LANE, G.EAST_LANE),
             '    <Path ID="NeutralCar" Time="5000, 11000" Cars="Car1;Car2"><p p="1104, %d"/><p p="-80, %d"/></Path>'
             % (G.WEST_LANE, G.WEST_LANE)]
    for i, (x, y) in enumerate(places):
        cx = x + 70
        if y == G.UPPER_Y:
            pts = [(-80, G.EAST_LANE), (cx - 40, G.EAST_LANE), (cx, G.EAST_LANE), (cx, G.WEST_LANE), (cx, y + 64)]
        else:
            pts = [(-80, G.EAST_LANE), (cx - 40, G.EAST_LANE), (cx, G.EAST_LANE), (cx, G.SOUTH_WALK), (cx, y - 20)]
        lines.append('    <Path ID="Place%02d">%s</Path>' % (i + 1, "".join('<p p="%d, %d"/>' % p for p in pts)))
    lines += ['  </CarPaths>', '  <PedestrianPaths>',
              '    <Path b="1"><p p="-20, %d" d1="3" d2="3"/><p p="520, %d" d1="3" d2="3"/><p p="1044, %d" d1="3" d2="3"/></Path>'
              % ((G.NORTH_WALK,) * 3),
              '    <Path b="1"><p p="-20, %d" d1="3" d2="3"/><p p="520, %d" d1="3" d2="3"/><p p="1044, %d" d1="3" d2="3"/></Path>'
              % ((G.SOUTH_WALK,) * 3),
              '  </PedestrianPaths>', '</LevelPaths>', '']
    return "\n".join(lines)


# ------------------------------------------------------------------ configurations

def upgrade_levels():
    """Record name -> the Level of the shop upgrade that allows it."""
    import re
    text = open(ROOT + "levels/common/UpgradesConfiguration.xml").read()
    out = {}
    for body in re.findall(r"<Upgrade>(.*?)</Upgrade>", text, re.S):
        level = int(re.search(r'<Level Value="(\d+)"', body).group(1))
        for name in re.findall(r'<AllowsBuilding Value="([^"]*)"', body):
            out[name] = level
    return out


def offered(level, entry, on_sale):
    """The build list: the entry's own, or every record on sale before the level."""
    names = entry["build"].split(";") if "build" in entry else [n for n, at in on_sale.items() if at < level]
    late = [n for n in names if on_sale.get(n, 99) >= level]
    assert not late, "level %d offers %s before its upgrade is on sale" % (level, late)
    return ";".join(names)


def prop(key, value):
    if isinstance(value, bool):
        return '<bool Name="%s" Value="%s"/>' % (key, "true" if value else "false")
    if isinstance(value, tuple):
        return '<vector2d Name="%s" Value="%g;%g"/>' % (key, value[0], value[1])
    if isinstance(value, float):
        return '<float Name="%s" Value="%g"/>' % (key, value)
    if isinstance(value, int):
        return '<int Name="%s" Value="%d"/>' % (key, value)
    return '<string Name="%s" Value="%s"/>' % (key, value)


def goal_key(level, index, text):
    if text is None or text.startswith("%"):
        return text
    return "%%Obj_L%d_%d%%" % (level, index + 1)


def level_configuration(level, on_sale):
    entry = T.LEVELS[level]
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             "<!-- Level %d (%s): %s" % (level, SETTING_TEXT[T.setting_of(level)], entry["lesson"]),
             "     Written by tools/content/write_level_world.py from tools/content/level_table.py. -->",
             "<Level>", "  <Properties>",
             '    <stringw Name="Name" Value="%d"/>' % level,
             '    <stringw Name="Description" Value="%%Level%d_Description%%"/>' % level,
             "    " + prop("SettingIndex", T.setting_of(level)),
             "    " + prop("AvailableBuildingsForBuild", offered(level, entry, on_sale)),
             "    " + prop("DayLength", entry["day"]),
             "    " + prop("InitMoney", float(entry["money"])),
             "    " + prop("InitMaterialsCount", float(entry["materials"])),
             "    " + prop("InitWorkersCount", entry["workers"])]
    if "bonus" in entry:
        lines += ["    " + prop("IncomeBonus1", float(entry["bonus"][0])),
                  "    " + prop("IncomeBonus2", float(entry["bonus"][1]))]
    lines += ["    " + prop(k, v) for k, v in entry.get("props", {}).items()]
    lines += ["  </Properties>", "  <Objectives>"]
    for i, (kind, attrs, text) in enumerate(T.goals(level)):
        key = goal_key(level, i, text)
        a = "".join(' %s="%s"' % (k, v) for k, v in attrs.items())
        lines.append('    <Objective Type="%s"%s%s/>' % (kind, a, ' InfoStr="%s"' % key if key else ""))
    lines += ["  </Objectives>", "  <RandomEvents>"]
    for kind, attrs in entry["events"]:
        lines.append('    <Event Type="%s"%s/>' % (kind, "".join(' %s="%s"' % (k, v) for k, v in attrs.items())))
    lines += ["  </RandomEvents>", "</Level>", ""]
    return "\n".join(lines)


BEGIN = "  <!-- Level descriptions and goals: written by tools/content/write_level_world.py. -->\n"
END = "  <!-- End of the level texts. -->\n"


def dictionary_block():
    out = [BEGIN]
    for level, entry in sorted(T.LEVELS.items()):
        if "intro" in entry:
            out.append('  <s n="Level%d_Description">%s</s>\n' % (level, entry["intro"]))
        for i, (kind, attrs, text) in enumerate(T.goals(level)):
            if text and not text.startswith("%"):
                out.append('  <s n="Obj_L%d_%d">%s</s>\n' % (level, i + 1, text))
        for i, (text, types) in enumerate(T.TUTORIALS.get(level, [])):
            out.append('  <s n="Tutorial_L%d_%d">%s</s>\n' % (level, i + 1, text))
    out.append(END)
    return "".join(out)


def tutorial(level):
    """A lesson of notes the player closes, or steps that wait for a building."""
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             "<!-- Level %d's lesson. Written by tools/content/write_level_world.py. -->" % level, "<Tutorial>"]
    for i, (text, types) in enumerate(T.TUTORIALS[level]):
        key = "%%Tutorial_L%d_%d%%" % (level, i + 1)
        if types:
            lines += ["  <Hint>", '    <Position Value="300;330;0"/>', '    <Text Value="%s"/>' % key,
                      '    <Actions><Action Type="BuildingCompletedOrExist" BuildingTypes="%s"/></Actions>' % types,
                      "  </Hint>"]
        else:
            lines += ['  <Hint MessageBox="true">', '    <Position Value="300;330;0"/>',
                      '    <Text Value="%s"/>' % key, '    <Actions><Action Type="GeneratePauseRequest"/></Actions>',
                      "  </Hint>"]
    lines += ["</Tutorial>", ""]
    return "\n".join(lines)


def write_dictionary():
    path = ROOT + "strings/Dictionary.xml"
    text = open(path).read()
    if BEGIN in text:
        head, rest = text.split(BEGIN, 1)
        text = head + dictionary_block() + rest.split(END, 1)[1]
    else:
        head, tail = text.rsplit("</Dictionary>", 1)
        text = head + "\n" + dictionary_block() + "</Dictionary>" + tail
    with open(path, "w") as f:
        f.write(text)


def main():
    # Composed before the file is opened for writing: it keeps part of the old one.
    templates = template_collection()
    with open(ROOT + "levels/common/TemplateCollection.oscn", "w") as f:
        f.write(templates)
    on_sale = upgrade_levels()
    for level in sorted(T.LEVELS):
        os.makedirs(ROOT + "levels/level%d" % level, exist_ok=True)
        with open(ROOT + "levels/level%d/LevelConfiguration.xml" % level, "w") as f:
            f.write(level_configuration(level, on_sale))
        with open(ROOT + "levels/level%d/Level.oscn" % level, "w") as f:
            f.write(level_scene(level))
        with open(ROOT + "levels/level%d/LevelPaths.xml" % level, "w") as f:
            f.write(level_paths(level))
        if level in T.TUTORIALS:
            with open(ROOT + "levels/level%d/Tutorial.xml" % level, "w") as f:
                f.write(tutorial(level))
    write_dictionary()


if __name__ == "__main__":
    main()
