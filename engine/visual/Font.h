#pragma once
// Fonts ('font'): one glyph record per drawable character (a rectangle in one
// of the font's atlas textures plus the space before and after it), kerning
// pairs, two font-wide spacing values and the size the metrics were made for.
// A font measures characters and multi-line texts; text nodes read its glyphs,
// textures and metrics to lay out and draw. Fonts are shared content and never
// change once read.
#include "engine/core/Content.h"
#include "engine/core/PropertyTable.h"
#include "engine/visual/AtlasTexture.h"
#include <map>
#include <utility>
#include <vector>

namespace engine {

class XmlReader;
class XmlWriter;

// One drawable character.
struct FontGlyph {
    int32_t textureIndex = 0;  // into the font's textures
    rectf rect;                // the glyph image in texture pixels: x1, y1, x2, y2
    vector2df before;          // x: advance before the image; y: the image's offset down from the line top
    vector2df after;           // x: advance after the image; y: counted below the image in the line height
    float width = 0.0f;        // x2 - x1
    float height = 0.0f;       // y2 - y1
};

class BaseFont : public PropertyHolder, public Content {
public:
    static constexpr float kDefaultOriginalSize = 14.0f;

    explicit BaseFont(const CreationContext& context);
    ~BaseFont() override;

    // "GlobalKerning" (vector2d) when not (0, 0), "OriginalSize" (float) when not 14.
    void writeProperties(PropertySet* set) override;
    // Applies "GlobalKerning" (a value of another type reads as (0, 0)) and
    // "OriginalSize". An OriginalSize of 0 or less (a value of another type
    // counts as 0) would make every scale by it undefined: it is refused with
    // a warning and the size stays as it was, so OriginalSize is always above 0.
    void readProperties(PropertySet* set) override;

    // (width, height) of the character's glyph; without imageOnly the width
    // adds the space before and after it and GlobalKerning.x. The height never
    // includes the vertical offsets. A font without glyphs measures (0, 0)
    // (plus GlobalKerning.x without imageOnly).
    virtual vector2df getCharacterSize(wchar_t character, bool imageOnly) const;
    // (width, height) of a text of lines separated by "\r\n", "\n" or "\r".
    // Each line is the sum of its characters' before.x + width + after.x +
    // GlobalKerning.x + spacing.x, plus the kerning of each adjacent pair, less
    // one GlobalKerning.x + spacing.x; the width is the widest line. The height
    // is lineHeight plus GlobalKerning.y + spacing.y + lineHeight per line break.
    virtual vector2df getTextDimension(const wchar_t* text, const vector2df& spacing) const;
    vector2df getTextDimension(const stringw& text, const vector2df& spacing) const {
        return getTextDimension(text.c_str(), spacing);
    }
    // Fills the font from a reader standing after the font's start tag. False
    // when the document is incomplete (the font's end tag is missing).
    virtual bool readXml(XmlReader& reader) = 0;
    virtual void writeXml(XmlWriter& writer) const = 0;

    // A font is never copied.
    Content* clone() override { return nullptr; }
    ContentTypeCode getContentType() const override { return ContentType::Font; }

    // The glyph index of the character; characters the font lacks get the
    // space's glyph, or glyph 0 when there is no space. -1 only for a font
    // without any glyph.
    int32_t findGlyph(wchar_t character) const;
    // The glyph at the index, or null outside the glyph array.
    const FontGlyph* getGlyph(int32_t index) const {
        return index >= 0 && static_cast<size_t>(index) < glyphs_.size() ? &glyphs_[static_cast<size_t>(index)]
                                                                          : nullptr;
    }
    // The amount added between the two characters; 0 for pairs without one.
    int32_t getKerning(wchar_t first, wchar_t second) const;

    const vector2df& getGlobalKerning() const { return globalKerning_; }
    // Always above 0.
    float getOriginalSize() const { return originalSize_; }
    // The scale at which a text of the given size draws the glyph metrics.
    float getScale(float fontSize) const { return fontSize / originalSize_; }
    float getLineHeight() const { return lineHeight_; }
    const std::vector<FontGlyph>& getGlyphs() const { return glyphs_; }
    uint32_t getTextureCount() const { return static_cast<uint32_t>(textures_.size()); }
    // Null for an index out of range or a texture that failed to load.
    AtlasTextureContent* getTexture(uint32_t index) const {
        return index < textures_.size() ? textures_[index].get() : nullptr;
    }
    int32_t getDefaultGlyph() const { return defaultGlyph_; }

protected:
    // Releases the textures and forgets glyphs, characters and kerning pairs.
    void clearGlyphs();
    void addTexture(AtlasTextureContent* texture);
    // Appends the glyph; the character maps to it unless it maps already.
    void addGlyph(uint16_t character, const FontGlyph& glyph);
    void setKerning(uint16_t first, uint16_t second, int32_t amount);
    // The default glyph and the line height, once every glyph is in.
    void finishGlyphs();

private:
    vector2df globalKerning_;
    float originalSize_ = kDefaultOriginalSize;
    float lineHeight_ = 0.0f;
    std::vector<CountedRef<AtlasTextureContent>> textures_;
    std::vector<FontGlyph> glyphs_;
    std::map<uint16_t, int32_t> characterMap_;
    std::map<std::pair<uint16_t, uint16_t>, int32_t> kerningMap_;
    int32_t defaultGlyph_ = -1;
};

}  // namespace engine
