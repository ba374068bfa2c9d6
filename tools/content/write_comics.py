#!/usr/bin/python3
"""Writes the comics' scene sources, scenes/ComicsScene1.oscn to
ComicsScene4.oscn, from one table: which panels each comic shows and which
texts each panel tells. The pictures come from the comics' art generator
(atlases/ObjMenu/scenes/images/Comics) and the texts from the dictionary
(strings/Dictionary.xml), which also gives the width of each title tab.

Run it by hand after changing the table and commit what it writes; the build
only copies the written files.

  python3 tools/content/write_comics.py

A page holds four panels in two rows. Each panel comes up (its picture and
its text holder fade in and rise a little), shows a title tab that stays and
then its texts one at a time in a box along its top, and fades to a faint
ghost of itself when its last text has gone; the paper darkens behind the
later panels, and the last one stays lit while the others come back, so the
whole page shows at the end with the Continue button.
"""
import os
import re

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets") + "/"

# comic: [(panel, number of texts)], and the panel that opens the auction.
COMICS = {
    1: {"texts": [2, 2, 1, 2], "marker": None},
    2: {"texts": [2, 1, 2, 2], "marker": None},
    3: {"texts": [2, 2, 2, 1], "marker": 3},
    4: {"texts": [2, 1, 1, 1], "marker": None},
}

PANEL_W, PANEL_H = 474, 318
COLUMNS = (28, 522)
ROWS = (22, 364)
INK = "ff2d2a26"
WHITE = "ffffffff"
GHOST = "55ffffff"
CLEAR = "00ffffff"

INTRO = {
    1: "Comic 1, before the first hidden-object game: the first tent by the lake.",
    2: "Comic 2, before the second hidden-object game: the seaside.",
    3: "Comic 3, before the auction: the villa in the autumn hills. Its third panel\n"
       "     carries NavToMini3Marker: the auction opens when the page reaches it, and\n"
       "     the panel shows when the player comes back.",
    4: "Comic 4, before the last hidden-object game: winter, the city of hotels and\n"
       "     the old camp.",
}


def dictionary():
    text = open(ROOT + "strings/Dictionary.xml", encoding="ascii").read()
    return dict(re.findall(r'<s n="([^"]+)">([^<]*)</s>', text))


def keyframes(name, prop_type, prop, keys):
    out = ['<Animator Type="KeyFrame" Name="%s">' % name,
           '<Properties><%s Name="%s" Value="%s"/></Properties>' % (prop_type, prop, keys[0][1])]
    for i, (t, v) in enumerate(keys):
        out.append('<KeyFrame t="%d"%s Value0="%s"/>' % (t, ' i="0"' if i else "", v))
    out.append("</Animator>")
    return "".join(out)


def fade(frm, to, ms):
    return keyframes("Fade", "color", "TintColor", [(0, frm), (ms, to)])


def rise(z, ms):
    return keyframes("Rise", "vector3d", "Position", [(0, "0;14;%d" % z), (ms, "0;0;%d" % z)])


def props(**values):
    typed = {"Name": "string", "Position": "vector3d", "Bounds": "vector3d", "AtlasTexture": "atlasTexture",
             "TemplateName": "string", "Font": "font", "FontSize": "float", "TextHAlign": "int", "TextVAlign": "int",
             "TintColor": "color", "WordWrap": "bool", "Text": "stringw", "ImageStretchX": "int",
             "ImageStretchY": "int", "TopLeftDelta": "vector2d", "BottomRightDelta": "vector2d"}
    out = []
    for key, value in values.items():
        if isinstance(value, bool):
            value = "true" if value else "false"
        out.append('<%s Name="%s" Value="%s"/>' % (typed[key], key, value))
    return "<Properties>" + "".join(out) + "</Properties>"


def states(entries, ind):
    p = "  " * ind
    out = ["%s<States>" % p]
    for name, body in entries:
        out.append('%s  <State Name="%s">%s</State>' % (p, name, body))
    out.append("%s</States>" % p)
    return "\n".join(out)


def node(kind, ind, properties, state_list=(), children=(), comment=None):
    p = "  " * ind
    out = []
    if comment:
        out.append("%s<!-- %s -->" % (p, comment))
    out.append('%s<SceneNode Type="%s">' % (p, kind))
    out.append("%s  %s" % (p, properties))
    if state_list:
        out.append(states(state_list, ind + 1))
    out += children
    out.append("%s</SceneNode>" % p)
    return "\n".join(out)


def text_box(kind, key, x, y, w, h, image, font, size, colour, ind, align, disappears):
    text = node("TextNode", ind + 1, props(Name="Text", Position="14;4;1", Bounds="%d;%d;0" % (w - 28, h - 8),
                                           Font=font, FontSize=size, TextHAlign=align, TextVAlign=2,
                                           TintColor=colour, WordWrap=True, Text="%%%s%%" % key))
    state_list = [("OnAppear", fade(CLEAR, WHITE, 250))]
    if disappears:
        state_list.append(("OnDisappear", fade(WHITE, CLEAR, 150)))
    return node("NineGridSpriteNode", ind,
                props(Name=kind, Position="%d;%d;2" % (x, y), Bounds="%d;%d;0" % (w, h), AtlasTexture=image,
                      TopLeftDelta="20;20", BottomRightDelta="20;20", TintColor=CLEAR),
                state_list, [text])


def panel(comic, number, texts, last, marker, words, ind):
    prefix = "Comic%d_%d" % (comic, number)
    title = words[prefix + "_Title"]
    # DejaVu Sans Bold at 16 px: about 10 px a character, and room round it.
    tab_w = min(PANEL_W - 28, 40 + int(len(title) * 10.5))
    boxes = [text_box("TextBgNoDisappear", prefix + "_Title", 14, -18, tab_w, 40, "images/Flow/AccentPanel.png",
                      "fonts/Bold16.ofnt", 16, WHITE, ind + 2, 2, False)]
    for k in range(1, texts + 1):
        boxes.append(text_box("TextBg", "%s_Text%d" % (prefix, k), 14, 30, PANEL_W - 28, 66, "images/UI/Panel.png",
                              "fonts/Sans18.ofnt", 18, INK, ind + 2, 0, True))
    # The last panel stays lit when it closes: the others come back to it.
    leave = fade(WHITE, WHITE, 300) if last else fade(WHITE, GHOST, 350)
    child_states = lambda z: [("OnAppear", fade(CLEAR, WHITE, 300) + rise(z, 300)), ("OnDisappear", leave),
                              ("Unhide", fade(GHOST, WHITE, 400))]
    picture = node("SpriteNode", ind + 1,
                   props(Name="Picture", Position="0;0;0", AtlasTexture="images/Comics/%s.png" % prefix),
                   child_states(0))
    bg = node("BaseNode", ind + 1, props(Name="Bg", Position="0;0;1"), child_states(1), boxes)
    children = [picture, bg]
    if marker:
        children.append(node("BaseNode", ind + 1, props(Name="NavToMini3Marker")))
    col, row = (number - 1) % 2, (number - 1) // 2
    return node("BaseNode", ind, props(Name="Part%d" % number, Position="%d;%d;%d" % (COLUMNS[col], ROWS[row], 10 + number)),
                children=children)


def comic_scene(comic, words):
    table = COMICS[comic]
    count = len(table["texts"])
    parts = [panel(comic, n, table["texts"][n - 1], n == count, table["marker"] == n, words, 3)
             for n in range(1, count + 1)]
    page = node("SpriteNode", 2, props(Name="Page", Position="0;0;0", AtlasTexture="images/Comics/Page.png"))
    dark = node("SpriteNode", 2, props(Name="DarkBg", Position="0;0;1", Bounds="1024;768;0", ImageStretchX=1,
                                       ImageStretchY=1, AtlasTexture="images/Flow/Dim.png", TintColor=CLEAR),
                [("OnAppear", fade(CLEAR, WHITE, 400)), ("OnDisappear", fade(WHITE, CLEAR, 400))],
                comment="Darkens the page behind the panels after the first one.")
    parts_node = node("BaseNode", 2, props(Name="Parts", Position="0;0;2"), children=parts)
    back = node("ButtonNode", 2, props(Name="BackButton", Position="382;698;40", TemplateName="Button",
                                       Text="%Comics_Continue%"),
                [("OnAppear", fade(CLEAR, WHITE, 300))], comment="Shown when the whole page is back.")
    scene = node("ControlNode", 1, props(Name="Scene", Position="0;0;100", Bounds="1024;768;0"),
                 [("NavTo", fade(CLEAR, WHITE, 300)), ("NavBackFrom", fade(WHITE, CLEAR, 250))],
                 [page, dark, parts_node, back])
    root = node("GComicsScene", 0, props(Name="ComicsScene%d" % comic, Bounds="1024;768;0"), children=[scene])
    return ('<?xml version="1.0"?>\n<!-- Written by tools/content/write_comics.py: change the table there.\n'
            '     %s\n     A click anywhere brings the next text; Continue or Esc close the page. -->\n%s\n'
            % (INTRO[comic], root))


def main():
    words = dictionary()
    for comic in COMICS:
        with open(ROOT + "scenes/ComicsScene%d.oscn" % comic, "w", encoding="ascii", newline="\n") as out:
            out.write(comic_scene(comic, words))


if __name__ == "__main__":
    main()
