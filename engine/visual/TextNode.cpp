#include "engine/visual/TextNode.h"
#include "engine/content/Dictionary.h"
#include "engine/core/MathRoutines.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/SpriteNode.h"
#include <cmath>
#include <limits>

namespace engine {

namespace {

TextNode& textOf(PropertyTableOwner& object) { return static_cast<TextNode&>(object); }

void setKerningEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    const vector2df k = vector2dFromProperty(v);
    textOf(o).setKerning(k.X, k.Y);
}
CountedRef<IPropertyData> getKerningEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(textOf(o).getKerning()));
}
void setFontSizeEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    textOf(o).setFontSize(floatFromProperty(v));
}
CountedRef<IPropertyData> getFontSizeEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeFloatProperty(textOf(o).getFontSize()));
}
void setHAlignEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    textOf(o).setTextHAlign(intFromProperty(v));
}
CountedRef<IPropertyData> getHAlignEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(textOf(o).getTextHAlign()));
}
void setVAlignEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    textOf(o).setTextVAlign(intFromProperty(v));
}
CountedRef<IPropertyData> getVAlignEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(textOf(o).getTextVAlign()));
}
void setWrapEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    textOf(o).setWordWrap(boolFromProperty(v));
}
CountedRef<IPropertyData> getWrapEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(textOf(o).getWordWrap()));
}
void setTextEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { textOf(o).setText(getPropertyStringW(v)); }
CountedRef<IPropertyData> getTextEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringWProperty(textOf(o).getText()));
}
void setFontEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { textOf(o).setFont(fontFromProperty(v)); }
CountedRef<IPropertyData> getFontEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(new CPropertyDataFont(textOf(o).getFont()));
}

bool isSpace(wchar_t c) { return c == L' '; }

}  // namespace

// ---- Construction -------------------------------------------------------------

TextNode::TextNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    irr::video::SMaterial& flags = material_.flags();
    flags.MaterialType = EMT_TRANS_ALPHACH_VERTEXALPHA;
    flags.GouraudShading = false;
    flags.Lighting = false;
    flags.ZWriteEnable = false;
    flags.ZBuffer = irr::video::ECFN_NEVER;  // 0: no depth test
    irr::video::SMaterialLayer& layer = flags.TextureLayer[0];
    layer.TextureWrapU = irr::video::ETC_CLAMP_TO_BORDER;
    layer.TextureWrapV = irr::video::ETC_CLAMP_TO_BORDER;
    layer.BilinearFilter = true;
    layer.TrilinearFilter = true;
    // No anisotropic filtering: text quads face the screen, so it could only
    // matter through the rasteriser's own footprint estimate, and Mesa's
    // software rasteriser then blurs glyphs drawn texel for texel.
    layer.AnisotropicFilter = 0;
    material_.setTextureLayerCount(1);
    linkToParent(parent, mostDerived);
}

TextNode::~TextNode() = default;

// ---- Property table and holder --------------------------------------------------

const PropertyTable& TextNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("Kerning", &setKerningEntry, &getKerningEntry);
        t.add("FontSize", &setFontSizeEntry, &getFontSizeEntry);
        t.add("TextHAlign", &setHAlignEntry, &getHAlignEntry);
        t.add("TextVAlign", &setVAlignEntry, &getVAlignEntry);
        t.add("WordWrap", &setWrapEntry, &getWrapEntry);
        t.add("Text", &setTextEntry, &getTextEntry);
        t.add("Font", &setFontEntry, &getFontEntry);
        return t;
    }();
    return table;
}

const PropertyTable& TextNode::getPropertyTable() const { return classPropertyTable(); }

void TextNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (kerning_.X != 0.0f || kerning_.Y != 0.0f) set->addVector2d("Kerning", kerning_);
    if (fontSize_ != kDefaultFontSize) set->addFloat("FontSize", fontSize_);
    if (hAlign_ != 1) set->addInt("TextHAlign", hAlign_);
    if (vAlign_ != 1) set->addInt("TextVAlign", vAlign_);
    if (wordWrap_) PropertySet::addValue(set, "WordWrap", true);
    if (font_) set->add("Font", CountedRef<IPropertyData>(new CPropertyDataFont(font_.get())));
    if (!text_.empty()) set->add("Text", CountedRef<IPropertyData>(makeStringWProperty(text_)));
}

void TextNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    bool relayout = false;
    bool requad = false;
    if (has("Kerning")) {
        kerning_ = vector2dFromProperty(set->find("Kerning"));
        requad = true;
    }
    if (has("FontSize")) {
        fontSize_ = floatFromProperty(set->find("FontSize"));
        relayout = true;
    }
    if (has("TextHAlign")) {
        hAlign_ = intFromProperty(set->find("TextHAlign"));
        requad = true;
    }
    if (has("TextVAlign")) {
        vAlign_ = intFromProperty(set->find("TextVAlign"));
        requad = true;
    }
    if (has("WordWrap")) {
        wordWrap_ = boolFromProperty(set->find("WordWrap"));
        relayout = true;
    }
    if (has("Font")) {
        font_ = CountedRef<BaseFont>::share(fontFromProperty(set->find("Font")));
        requad = true;
    }
    if (has("Text")) {
        const stringw text = getPropertyStringW(set->find("Text"));
        if (text != text_) {
            text_ = text;
            relayout = true;
        }
    }
    // Each value's own rebuild, once for all: a layout ends with the quads.
    if (relayout) {
        layout();
    } else if (requad) {
        rebuildQuads();
    }
}

// ---- Values -----------------------------------------------------------------------

void TextNode::setText(const stringw& text) {
    if (text == text_) return;
    text_ = text;
    layout();
}

void TextNode::setFontSize(float size) {
    fontSize_ = size;
    layout();
}

void TextNode::setWordWrap(bool wrap) {
    wordWrap_ = wrap;
    layout();
}

void TextNode::setKerning(float x, float y) {
    kerning_.set(x, y);
    rebuildQuads();
}

void TextNode::setTextHAlign(int32_t align) {
    hAlign_ = align;
    rebuildQuads();
}

void TextNode::setTextVAlign(int32_t align) {
    vAlign_ = align;
    rebuildQuads();
}

void TextNode::setFont(BaseFont* font) {
    if (font == font_.get()) return;
    font_ = CountedRef<BaseFont>::share(font);
    rebuildQuads();
}

void TextNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    TextNode* text = nodeCast<TextNode>(source);
    if (!text || text == this) return;
    kerning_ = text->kerning_;
    fontSize_ = text->fontSize_;
    hAlign_ = text->hAlign_;
    vAlign_ = text->vAlign_;
    wordWrap_ = text->wordWrap_;
    material_ = text->material_;
    text_ = text->text_;
    font_ = text->font_;
    layout();
}

bool TextNode::onEvent33(SceneShownEvent*) {
    layout();
    return false;
}

bool TextNode::onEvent35(Event*) {
    layout();
    return false;
}

// ---- Layout -------------------------------------------------------------------------

void TextNode::layout() {
    lines_.clear();
    hardBreaks_.clear();
    lines_.push_back(stringw());
    hardBreaks_.push_back(false);

    const IDictionary* dictionary = getCurrentDictionary();
    const stringw shown = dictionary ? dictionary->translate(text_) : text_;
    const uint32_t length = shown.size();
    const bool wrapping = wordWrap_ && font_;
    const float s = scale();
    const float width = getBounds().X;

    float w = 0.0f;
    // 0 stands for no break point; a space met on an empty line gives the
    // largest value, so breaking there empties the line.
    uint32_t breakIndex = 0;
    uint32_t breakSource = 0;
    const auto newLine = [&]() {
        lines_.push_back(stringw());
        hardBreaks_.push_back(false);
        w = 0.0f;
        breakIndex = 0;
    };

    for (uint32_t p = 0; p < length; ++p) {
        const wchar_t ch = shown[p];
        bool isBreak = false;
        if (ch == L'\r') {
            if (p + 1 < length && shown[p + 1] == L'\n') ++p;
            isBreak = true;
        } else if (ch == L'\n') {
            isBreak = true;
        }
        stringw& line = lines_[lines_.size() - 1];

        if (wrapping) {
            w += (kerning_.X + font_->getCharacterSize(shown[p], false).X) * s;
            if (width < w && breakIndex != 0) {
                // Back to the last space: the line keeps what came before it,
                // the space is dropped and the next line starts after it.
                const uint32_t keep = breakIndex + 1;
                if (keep < line.size()) line = line.subString(0, keep);
                p = breakSource;
                newLine();
            } else if (isBreak) {
                hardBreaks_.back() = true;
                newLine();
            } else {
                if (isSpace(ch)) {
                    breakIndex = static_cast<uint32_t>(line.size()) - 1u;
                    breakSource = p;
                }
                line.append(ch);
            }
        } else if (isBreak) {
            hardBreaks_.back() = true;
            newLine();
        } else {
            line.append(ch);
        }
    }

    if (hAlign_ == 2 || hAlign_ == 4) {
        for (uint32_t i = 0; i < lines_.size(); ++i) lines_[i].trim(L" \t\n\r");
    }
    rebuildQuads();
}

float TextNode::getTextHeight() const {
    const float n = static_cast<float>(lines_.size());
    if (!font_) return n * kerning_.Y;
    return n * scale() * (font_->getLineHeight() + font_->getGlobalKerning().Y + kerning_.Y);
}

float TextNode::getLineTop(int32_t line) const {
    float g = 0.0f;
    float h = kerning_.Y;
    if (font_) {
        const float s = scale();
        g = s * font_->getLineHeight();
        h = s * (font_->getGlobalKerning().Y + kerning_.Y);
    }
    const int32_t n = static_cast<int32_t>(lines_.size());
    const float total = n <= 1 ? g : g + (g + h) * static_cast<float>(n - 1);
    float y0 = 0.0f;
    if (vAlign_ == 2) {
        y0 = (getBounds().Y - total) * 0.5f;
    } else if (vAlign_ == 3) {
        y0 = getBounds().Y - total;
    }
    if (line >= 0 && line < n) return std::floor(y0 + (g + h) * static_cast<float>(line) + 0.5f);
    return std::floor(y0 + 0.5f);
}

float TextNode::getLineLeft(int32_t line) const {
    float lineWidth = 0.0f;
    if ((hAlign_ == 2 || hAlign_ == 3) && font_ && line >= 0 && static_cast<uint32_t>(line) < lines_.size())
        lineWidth = scale() * font_->getTextDimension(lines_[static_cast<uint32_t>(line)], kerning_).X;
    float x0 = 0.0f;
    if (hAlign_ == 2) {
        x0 = (getBounds().X - lineWidth) * 0.5f;
    } else if (hAlign_ == 3) {
        x0 = getBounds().X - lineWidth;
    }
    return std::floor(x0 + 0.5f);
}

// ---- Glyph quads -------------------------------------------------------------------------

void TextNode::rebuildQuads() {
    batches_.clear();
    glyphQuads_.clear();
    quadBatches_.clear();
    quadLines_.clear();
    quadColumns_.clear();
    drawList_.clear();
    lineQuadStart_.assign(lines_.size(), 0);
    lineQuadCount_.assign(lines_.size(), 0);
    if (!font_) return;

    const float s = scale();
    const vector2df& globalKerning = font_->getGlobalKerning();
    const float advance = (globalKerning.Y + font_->getLineHeight() + kerning_.Y) * s;
    const SColor colour = getAbsoluteColor();
    float y = getLineTop(0);
    const uint32_t n = lines_.size();

    for (uint32_t i = 0; i < n; ++i) {
        lineQuadStart_[i] = static_cast<uint32_t>(glyphQuads_.size());
        float x = getLineLeft(static_cast<int32_t>(i));
        const stringw& line = lines_[i];
        const uint32_t length = line.size();

        // Justified lines spread what is left of the width over their spaces.
        std::vector<float> extras;
        size_t nextExtra = 0;
        if (i + 1 < n && !hardBreaks_[i] && hAlign_ == 4) {
            uint32_t spaces = 0;
            for (uint32_t k = 0; k < length; ++k)
                if (isSpace(line[k])) ++spaces;
            if (spaces > 0) {
                float rest = getBounds().X - s * font_->getTextDimension(line, vector2df(0.0f, 0.0f)).X;
                const float e = std::floor(s * rest / static_cast<float>(spaces) + 0.5f);
                for (uint32_t k = 0; k < spaces; ++k) {
                    extras.push_back(e);
                    rest -= e;
                    if (rest <= 0.0f) {
                        extras.back() += rest;
                        break;
                    }
                }
            }
        }

        for (uint32_t k = 0; k < length; ++k) {
            const wchar_t ch = line[k];
            const FontGlyph* glyph = font_->getGlyph(font_->findGlyph(ch));
            if (!glyph) continue;
            // A negative texture index is out of range too.
            const uint32_t textureIndex = static_cast<uint32_t>(glyph->textureIndex);
            if (textureIndex >= font_->getTextureCount()) continue;
            AtlasTextureContent* atlas = font_->getTexture(textureIndex);
            TextureContent* texture = atlas ? atlas->getTexture() : nullptr;
            if (!texture) continue;
            const irr::core::dimension2d<irr::u32> size = getTextureImageSize(texture);
            if (size.Width == 0 || size.Height == 0) continue;

            uint32_t batch = 0;
            while (batch < batches_.size() && batches_[batch]->getTexture() != texture) ++batch;
            if (batch == batches_.size()) {
                std::unique_ptr<Material> made(new Material(material_));
                if (made->getTextureLayerCount() > 0) made->setTexture(texture);
                batches_.push_back(std::move(made));
            }

            const float W = static_cast<float>(size.Width);
            const float H = static_cast<float>(size.Height);
            const rectf& r = glyph->rect;
            const float uLeft = (r.UpperLeftCorner.X - 0.5f) / W;
            const float uRight = (r.LowerRightCorner.X + 0.5f) / W;
            const float vTop = (r.UpperLeftCorner.Y - 0.5f) / H;
            const float vBottom = (r.LowerRightCorner.Y + 0.5f) / H;

            x = x + s * glyph->before.X;
            const float left = x - 0.5f;
            const float right = x + s * glyph->width + 0.5f;
            const float top = y + s * glyph->before.Y - 0.5f;
            const float bottom = y + s * glyph->before.Y + s * glyph->height + 0.5f;

            QuadRecord quad;
            quad.material = batches_[batch].get();
            const float xs[4] = {left, right, right, left};
            const float ys[4] = {top, top, bottom, bottom};
            const float us[4] = {uLeft, uRight, uRight, uLeft};
            const float vs[4] = {vTop, vTop, vBottom, vBottom};
            for (int c = 0; c < 4; ++c) {
                quad.vertices[c].Pos.set(xs[c], ys[c], 0.0f);
                quad.vertices[c].Normal.set(0.0f, 0.0f, 0.0f);
                quad.vertices[c].Color = colour;
                quad.vertices[c].TCoords.set(us[c], vs[c]);
            }

            const float kern = k + 1 < length ? static_cast<float>(font_->getKerning(ch, line[k + 1])) : 0.0f;
            x = x + s * (glyph->after.X + glyph->width + globalKerning.X + kerning_.X + kern);
            if (isSpace(ch) && hAlign_ == 4 && nextExtra < extras.size()) x += extras[nextExtra++];

            glyphQuads_.push_back(quad);
            quadBatches_.push_back(batch);
            quadLines_.push_back(i);
            quadColumns_.push_back(k);
        }
        lineQuadCount_[i] = static_cast<uint32_t>(glyphQuads_.size()) - lineQuadStart_[i];
        y += advance;
    }

    // Quads of one texture follow each other.
    drawList_.reserve(glyphQuads_.size());
    for (uint32_t b = 0; b < batches_.size(); ++b)
        for (uint32_t q = 0; q < quadBatches_.size(); ++q)
            if (quadBatches_[q] == b) drawList_.push_back(q);
}

// ---- Drawing and hit tests ---------------------------------------------------------------

void TextNode::collectRenderItems(RenderList& list) {
    collectRenderItemsWithOwn(list, font_ && !text_.empty(), 0);
}

void TextNode::render(irr::video::IVideoDriver* driver, const rectf* clip) {
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (!driver || !batcher) return;
    batcher->flush();

    // The quads are in node space; the line starts are whole pixels, and so is
    // the node's place on the screen.
    matrix4 world = getAbsoluteTransform();
    world[12] = std::floor(world[12] + 0.5f);
    world[13] = std::floor(world[13] + 0.5f);
    world[14] = 0.0f;
    driver->setTransform(irr::video::ETS_WORLD, world);

    if (clip) {
        // The planes are given in node space, after the world transform is set.
        matrix4 inverse;
        if (!world.getInverse(inverse)) {
            for (int i = 0; i < 16; ++i) inverse[i] = 0.0f;
        }
        vector2df topLeft = clip->UpperLeftCorner;
        vector2df bottomRight = clip->LowerRightCorner;
        transformVect2D(inverse, topLeft);
        transformVect2D(inverse, bottomRight);
        using irr::core::plane3df;
        using irr::core::vector3df;
        driver->setClipPlane(0, plane3df(vector3df(0.0f, 1.0f, 0.0f), -topLeft.Y), true);
        driver->setClipPlane(1, plane3df(vector3df(0.0f, -1.0f, 0.0f), bottomRight.Y), true);
        driver->setClipPlane(2, plane3df(vector3df(1.0f, 0.0f, 0.0f), -topLeft.X), true);
        driver->setClipPlane(3, plane3df(vector3df(-1.0f, 0.0f, 0.0f), bottomRight.X), true);
    }

    const SColor colour = getAbsoluteColor();
    for (uint32_t index : drawList_) {
        QuadRecord& quad = glyphQuads_[index];
        for (irr::video::S3DVertex& v : quad.vertices) v.Color = colour;
        batcher->addQuad(&quad);
    }

    batcher->flush();
    driver->setTransform(irr::video::ETS_WORLD, identityMatrix());
    if (clip) {
        for (irr::u32 i = 0; i < 4; ++i) driver->enableClipPlane(i, false);
    }
}

bool TextNode::hitTest(const vector2df& point) { return isVisible() && containsPoint(point); }

// ---- Character access ------------------------------------------------------------------------

int32_t TextNode::findCharacterAt(const vector2df& point, int32_t& line, int32_t& column) const {
    line = 0;
    column = -1;
    if (!font_) return -1;
    const uint32_t n = lines_.size();
    const float lh = scale() * font_->getLineHeight();
    if (n == 0 || !(lh > 0.0f)) return -1;
    const double row = (static_cast<double>(point.Y) - (getBounds().Y - static_cast<float>(n) * lh) * 0.5) / lh;
    if (!(row > -1.0)) return -1;  // above the first line (or not a number)
    const double cut = std::trunc(row);

    if (cut < static_cast<double>(n)) {
        const uint32_t index = static_cast<uint32_t>(cut);
        const uint32_t start = lineQuadStart_[index];
        const uint32_t count = lineQuadCount_[index];
        uint32_t m = 0;
        while (m < count) {
            const QuadRecord& quad = glyphQuads_[start + m];
            const float left = quad.vertices[0].Pos.X;
            const float right = quad.vertices[2].Pos.X;
            if (!(left + (right - left) * 0.5f < point.X)) break;
            ++m;
        }
        line = static_cast<int32_t>(index);
        column = m > 0 ? static_cast<int32_t>(quadColumns_[start + m - 1]) : -1;
        return static_cast<int32_t>(start + m);
    }
    line = static_cast<int32_t>(n) - 1;
    column = static_cast<int32_t>(lines_[n - 1].size()) - 1;
    return static_cast<int32_t>(glyphQuads_.size());
}

rectf TextNode::getGlyphRect(int32_t line, int32_t column) const {
    if (line >= 0 && static_cast<uint32_t>(line) < lineQuadStart_.size() && column >= 0) {
        const uint32_t start = lineQuadStart_[static_cast<uint32_t>(line)];
        const uint32_t end = start + lineQuadCount_[static_cast<uint32_t>(line)];
        for (uint32_t q = start; q < end; ++q) {
            if (quadColumns_[q] != static_cast<uint32_t>(column)) continue;
            const QuadRecord& quad = glyphQuads_[q];
            return rectf(quad.vertices[0].Pos.X, quad.vertices[0].Pos.Y, quad.vertices[2].Pos.X,
                         quad.vertices[2].Pos.Y);
        }
    }
    const float x = getLineLeft(0);
    const float y = getLineTop(0);
    return rectf(x, y, x, y);
}

int64_t TextNode::textPosition(int32_t line, int32_t column) const {
    if (line < 0 || column < 0) return -1;
    const uint32_t length = text_.size();
    int64_t a = column;
    uint32_t b = 0;
    const uint32_t before = static_cast<uint32_t>(line) < lines_.size() ? static_cast<uint32_t>(line) : lines_.size();
    for (uint32_t k = 0; k < before; ++k) {
        b += lines_[k].size();
        a += lines_[k].size();
        bool skipped = false;
        if (b < length && text_[b] == L'\r') {
            ++b;
            ++a;
            skipped = true;
        }
        if (b < length && text_[b] == L'\n') {
            ++b;
            ++a;
            skipped = true;
        }
        // A line that ended at a wrap lost the space it was broken at.
        if (!skipped && !isHardBreak(k) && b < length && isSpace(text_[b])) {
            ++b;
            ++a;
        }
    }
    return a;
}

void TextNode::eraseCharacter(int32_t line, int32_t column) {
    const int64_t position = textPosition(line, column);
    const uint32_t length = text_.size();
    if (position >= 0 && position < static_cast<int64_t>(length)) {
        const uint32_t p = static_cast<uint32_t>(position);
        const uint32_t count = text_[p] == L'\r' && p + 1 < length && text_[p + 1] == L'\n' ? 2 : 1;
        text_ = text_.subString(0, p) + text_.subString(p + count, length - p - count);
    }
    layout();
}

void TextNode::insertCharacter(wchar_t character, int32_t line, int32_t column) {
    const int64_t position = textPosition(line, column);
    const uint32_t length = text_.size();
    if (position >= 0 && position <= static_cast<int64_t>(length)) {
        const uint32_t p = static_cast<uint32_t>(position);
        stringw inserted;
        inserted.append(character);
        text_ = text_.subString(0, p) + inserted + text_.subString(p, length - p);
    }
    layout();
}

}  // namespace engine
