#pragma once
// The font read from a font file (".ofnt"): an XML document whose "Font"
// element of "Type" "Bitmap" holds, in any order and at any depth,
//
//   <Properties> ... "GlobalKerning" (vector2d), "OriginalSize" (float) ... </Properties>
//   <Texture Filename="Arial_0.png" />            texture 0, 1, ... in file order,
//                                                 relative to the font file
//   <c c="A" r="0,0,10,12" b="0,3" a="1,2" i="0" />   a glyph: character,
//                                                 rectangle, before, after, texture
//   <k c="AV" k="-1" />                           kerning of a pair of characters
//
// Elements of other names are ignored.
#include "engine/visual/Font.h"

namespace engine {

class BitmapFont : public BaseFont {
public:
    explicit BitmapFont(const CreationContext& context) : BaseFont(context) {}

    // Reads everything after the "Font" start tag to the end of the document.
    // Textures load as 'atex' through the creation context's content manager,
    // relative to the top of its folder stack (the font file, while the
    // processor reads it); a texture that does not load leaves a null entry.
    // False, with an error logged, when the document ends without the font's
    // end tag (a truncated file).
    bool readXml(XmlReader& reader) override;
    // Fonts are never saved.
    void writeXml(XmlWriter&) const override {}
};

}  // namespace engine
