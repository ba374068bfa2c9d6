#include "engine/visual/Font.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertySet.h"
#include <cstdio>

namespace engine {

namespace {

// Characters beyond 16 bits have no glyph of their own.
bool toCode(wchar_t character, uint16_t& code) {
    const uint32_t value = static_cast<uint32_t>(character);
    if (value > 0xFFFF) return false;
    code = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

BaseFont::BaseFont(const CreationContext& context) : Content(context) { setContentFlags(ContentFlags::Shared); }

BaseFont::~BaseFont() = default;

void BaseFont::writeProperties(PropertySet* set) {
    if (!set) return;
    if (globalKerning_.X != 0.0f || globalKerning_.Y != 0.0f)
        set->add("GlobalKerning", makeVector2dProperty(globalKerning_));
    if (originalSize_ != kDefaultOriginalSize) set->add("OriginalSize", makeFloatProperty(originalSize_));
}

void BaseFont::readProperties(PropertySet* set) {
    if (!set) return;
    if (const CountedRef<IPropertyData> kerning = set->find("GlobalKerning")) {
        globalKerning_ = vector2dFromProperty(kerning);
    }
    if (const CountedRef<IPropertyData> size = set->find("OriginalSize")) {
        const float value = floatFromProperty(size);
        // Text is drawn at FontSize / OriginalSize: only a positive size scales.
        if (value > 0.0f && value <= 3.4028235e38f) {
            originalSize_ = value;
        } else {
            char kept[64];
            std::snprintf(kept, sizeof(kept), "%f", static_cast<double>(originalSize_));
            const stringc hint = getCreationContext().getName() + ": keeping " + kept;
            getLogger().log("Font OriginalSize must be above 0", hint.c_str(), LOG_WARNING);
        }
    }
}

int32_t BaseFont::findGlyph(wchar_t character) const {
    uint16_t code = 0;
    if (toCode(character, code)) {
        const auto found = characterMap_.find(code);
        if (found != characterMap_.end()) return found->second;
    }
    return defaultGlyph_;
}

int32_t BaseFont::getKerning(wchar_t first, wchar_t second) const {
    uint16_t a = 0;
    uint16_t b = 0;
    if (!toCode(first, a) || !toCode(second, b)) return 0;
    const auto found = kerningMap_.find(std::make_pair(a, b));
    return found == kerningMap_.end() ? 0 : found->second;
}

vector2df BaseFont::getCharacterSize(wchar_t character, bool imageOnly) const {
    const FontGlyph* g = getGlyph(findGlyph(character));
    const FontGlyph none;
    if (!g) g = &none;
    if (imageOnly) return vector2df(g->width, g->height);
    return vector2df(g->width + g->after.X + g->before.X + globalKerning_.X, g->height);
}

vector2df BaseFont::getTextDimension(const wchar_t* text, const vector2df& spacing) const {
    const float sx = globalKerning_.X + spacing.X;
    const float sy = globalKerning_.Y + spacing.Y;
    float w = 0.0f;
    float h = lineHeight_;
    float lineWidth = 0.0f;
    int32_t count = 0;
    const FontGlyph none;
    const auto endLine = [&]() {
        if (count > 0) lineWidth -= sx;
        if (lineWidth > w) w = lineWidth;
        lineWidth = 0.0f;
        count = 0;
    };
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        const wchar_t ch = *p;
        if (ch == L'\r' || ch == L'\n') {
            if (ch == L'\r' && p[1] == L'\n') ++p;
            h += sy + lineHeight_;
            endLine();
            continue;
        }
        const FontGlyph* g = getGlyph(findGlyph(ch));
        if (!g) g = &none;
        lineWidth += g->before.X;
        lineWidth += g->width;
        lineWidth += g->after.X;
        lineWidth += sx;
        if (p[1]) lineWidth += static_cast<float>(getKerning(ch, p[1]));
        ++count;
    }
    endLine();
    return vector2df(w, h);
}

void BaseFont::clearGlyphs() {
    textures_.clear();
    glyphs_.clear();
    characterMap_.clear();
    kerningMap_.clear();
    defaultGlyph_ = -1;
    lineHeight_ = 0.0f;
}

void BaseFont::addTexture(AtlasTextureContent* texture) {
    textures_.push_back(CountedRef<AtlasTextureContent>::share(texture));
}

void BaseFont::addGlyph(uint16_t character, const FontGlyph& glyph) {
    characterMap_.emplace(character, static_cast<int32_t>(glyphs_.size()));
    glyphs_.push_back(glyph);
}

void BaseFont::setKerning(uint16_t first, uint16_t second, int32_t amount) {
    kerningMap_[std::make_pair(first, second)] = amount;
}

void BaseFont::finishGlyphs() {
    if (glyphs_.empty()) {
        defaultGlyph_ = -1;
        getLogger().log("Font has no glyphs; its texts measure and draw as empty", getCreationContext().getName().c_str(),
                        LOG_WARNING);
    } else {
        const auto space = characterMap_.find(32);
        defaultGlyph_ = space != characterMap_.end() ? space->second : 0;
    }
    lineHeight_ = 0.0f;
    for (const FontGlyph& g : glyphs_) {
        const float v = (g.rect.LowerRightCorner.Y - g.rect.UpperLeftCorner.Y) + g.before.Y + g.after.Y;
        if (v > lineHeight_) lineHeight_ = v;
    }
}

}  // namespace engine
