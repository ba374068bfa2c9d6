#include "engine/visual/BitmapFont.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"

namespace engine {

namespace {

// The first 16-bit code of the text (the leading surrogate of a character
// beyond 16 bits); 0 for an empty text.
uint16_t firstCode(const stringw& text) {
    if (text.empty()) return 0;
    const uint32_t c = static_cast<uint32_t>(text[0]);
    if (c > 0xFFFF && c <= 0x10FFFF) return static_cast<uint16_t>(0xD800 + ((c - 0x10000) >> 10));
    return static_cast<uint16_t>(c & 0xFFFF);
}

}  // namespace

bool BitmapFont::readXml(XmlReader& reader) {
    clearGlyphs();
    IContentManager* manager = getCreationContext().getContentManager();
    // The font's children are read to the end of the document; the end that
    // closes the font's own element tells a whole file from a truncated one.
    const int32_t depth = reader.getDepth();
    bool complete = false;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END) {
            if (reader.getDepth() == depth) complete = true;
            continue;
        }
        if (type != irr::io::EXN_ELEMENT) continue;
        const stringw& element = reader.getNodeName();
        if (element == L"Properties") {
            CountedRef<PropertySet> set(new PropertySet());
            set->read(&reader);
            readProperties(set.get());
        } else if (element == L"Texture") {
            const stringc fileName = narrow(reader.getAttributeValue(L"Filename"));
            CountedRef<AtlasTextureContent> texture(loadAtlasTexture(manager, fileName, true));
            addTexture(texture.get());
        } else if (element == L"c") {
            FontGlyph glyph;
            glyph.rect = parseRect(reader.getAttributeValue(L"r"));
            glyph.before = parseVector2d(reader.getAttributeValue(L"b"));
            glyph.after = parseVector2d(reader.getAttributeValue(L"a"));
            glyph.textureIndex = reader.getAttributeValueAsInt(L"i", 0);
            glyph.width = glyph.rect.LowerRightCorner.X - glyph.rect.UpperLeftCorner.X;
            glyph.height = glyph.rect.LowerRightCorner.Y - glyph.rect.UpperLeftCorner.Y;
            addGlyph(firstCode(reader.getAttributeValue(L"c")), glyph);
        } else if (element == L"k") {
            const stringw pair = reader.getAttributeValue(L"c");
            if (pair.size() == 2)
                setKerning(firstCode(pair), firstCode(pair.subString(1, 1)), reader.getAttributeValueAsInt(L"k", 0));
        }
    }
    if (!complete) {
        getLogger().log("Font file is truncated: the Font element has no end", getCreationContext().getName().c_str(),
                        LOG_ERROR);
        clearGlyphs();
        return false;
    }
    finishGlyphs();
    return true;
}

}  // namespace engine
