#pragma once
// The node that shows text: captions, labels, counters and messages. Its Text
// may hold dictionary keys ("%KEY%"), translated through the current
// dictionary (Dictionary.h) when the text is laid out. Layout breaks the shown
// text into lines at line breaks and, with WordWrap, at spaces to fit the width
// of Bounds; the quad rebuild places the lines in Bounds by the horizontal and
// vertical alignment and makes one textured quad per drawn character from the
// font, grouped by texture so that the batcher changes material once per
// texture. Drawing does no layout work.
//
// Layout (and then the quads) runs when the text, the font size or word wrap
// changes, on copies, edits and when the scene is shown; the quads alone when
// the kerning, an alignment or the font changes (a new font does not break the
// lines again).
//
// Alignments: TextHAlign 2 centre, 3 right, 4 justify, else left (centre and
// justify trim each line); TextVAlign 2 middle, 3 bottom, else top.
#include "engine/core/BaseNode.h"
#include "engine/visual/Font.h"
#include "engine/visual/Material.h"
#include "engine/visual/QuadBatcher.h"
#include <memory>
#include <vector>

namespace engine {

class TextNode : public BaseNode {
    ENGINE_NODE_TYPE(TextNode, BaseNode, 2)

public:
    static constexpr float kDefaultFontSize = 14.0f;

    TextNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~TextNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // ---- Drawing and hit tests ------------------------------------------
    // One item (key 0) when a font is set, Text is not empty and the absolute
    // alpha is not 0; then the children.
    void collectRenderItems(RenderList& list) override;
    // Draws the glyph quads in the node's colour through the driver's batcher,
    // with the node's transform (translation rounded to whole pixels) as the
    // world transform; a clip rectangle (screen space) clips through four user
    // clip planes.
    void render(irr::video::IVideoDriver* driver, const rectf* clip) override;
    // Visible and the point inside Bounds.
    bool hitTest(const vector2df& point) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;

    // The scene was shown (33), or event 35: the text is laid out again (the
    // dictionary may have changed); the event is declined.
    bool onEvent33(SceneShownEvent* event) override;
    bool onEvent35(Event* event) override;

    // ---- Values ------------------------------------------------------------
    // Nothing when equal to the current Text; else layout and quads.
    void setText(const stringw& text);
    const stringw& getText() const { return text_; }
    void setFontSize(float size);
    float getFontSize() const { return fontSize_; }
    void setWordWrap(bool wrap);
    bool getWordWrap() const { return wordWrap_; }
    // Extra space in font units: x after every character, y between lines.
    void setKerning(float x, float y);
    const vector2df& getKerning() const { return kerning_; }
    void setTextHAlign(int32_t align);
    int32_t getTextHAlign() const { return hAlign_; }
    void setTextVAlign(int32_t align);
    int32_t getTextVAlign() const { return vAlign_; }
    // Holds the font (or none); nothing when it is the current one.
    void setFont(BaseFont* font);
    BaseFont* getFont() const { return font_.get(); }

    // ---- Measures ------------------------------------------------------------
    // Lines x scale x (line height + GlobalKerning.y + Kerning.y); without a
    // font, lines x Kerning.y.
    float getTextHeight() const;
    // The whole-pixel top of a line by the vertical alignment (past the last
    // line: the top of the block).
    float getLineTop(int32_t line) const;
    // The whole-pixel left of a line by the horizontal alignment.
    float getLineLeft(int32_t line) const;

    // ---- Character access (edit fields) --------------------------------------
    // The glyph quad at which a caret at the point would stand: the index of
    // the first quad of the point's line whose horizontal middle is at or right
    // of the point (or the one past the line's last quad). Writes the line and
    // the column of the character left of that place (-1 at the line start).
    // Lines are found as if the block were centred vertically. Below the last
    // line: the last line, its last column and the number of quads. Above the
    // first line, without a font or without lines: -1 (line 0, column -1).
    int32_t findCharacterAt(const vector2df& point, int32_t& line, int32_t& column) const;
    // The quad of the character at (line, column) as (left, top, right,
    // bottom); for a character without a quad the empty rectangle at the top
    // left of the first line.
    rectf getGlyphRect(int32_t line, int32_t column) const;
    // Edit Text at the place of (line, column) of the laid-out lines, then lay
    // out again. Erasing a carriage return followed by a line feed removes both.
    void eraseCharacter(int32_t line, int32_t column);
    void insertCharacter(wchar_t character, int32_t line, int32_t column);

    // ---- Layout state ----------------------------------------------------------
    // Breaks the shown text into lines, then rebuilds the quads.
    void layout();
    // Rebuilds the glyph quads, batches and draw list from the lines.
    void rebuildQuads();

    uint32_t getLineCount() const { return lines_.size(); }
    const stringw& getLine(uint32_t index) const { return lines_[index]; }
    bool isHardBreak(uint32_t index) const { return index < hardBreaks_.size() && hardBreaks_[index]; }
    uint32_t getGlyphQuadCount() const { return static_cast<uint32_t>(glyphQuads_.size()); }
    const QuadRecord& getGlyphQuad(uint32_t index) const { return glyphQuads_[index]; }
    // The line and column of the character a glyph quad shows.
    uint32_t getGlyphLine(uint32_t index) const { return quadLines_[index]; }
    uint32_t getGlyphColumn(uint32_t index) const { return quadColumns_[index]; }
    uint32_t getBatchCount() const { return static_cast<uint32_t>(batches_.size()); }
    const Material& getBatch(uint32_t index) const { return *batches_[index]; }
    // Glyph quad indices in drawing order, grouped by batch.
    const std::vector<uint32_t>& getDrawList() const { return drawList_; }
    const Material& getMaterial() const { return material_; }

    // ---- Property holder -------------------------------------------------
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    float scale() const { return font_ ? font_->getScale(fontSize_) : 1.0f; }
    // The position in Text of (line, column) of the laid-out lines; -1 for a
    // negative one.
    int64_t textPosition(int32_t line, int32_t column) const;

    vector2df kerning_{0.0f, 0.0f};
    float fontSize_ = kDefaultFontSize;
    int32_t hAlign_ = 1;
    int32_t vAlign_ = 1;
    bool wordWrap_ = false;
    stringw text_;
    CountedRef<BaseFont> font_;
    Material material_;

    array<stringw> lines_;
    std::vector<bool> hardBreaks_;
    std::vector<QuadRecord> glyphQuads_;
    std::vector<uint32_t> quadBatches_;
    std::vector<uint32_t> quadLines_;
    std::vector<uint32_t> quadColumns_;
    std::vector<uint32_t> lineQuadStart_;
    std::vector<uint32_t> lineQuadCount_;
    std::vector<uint32_t> drawList_;
    std::vector<std::unique_ptr<Material>> batches_;
};

}  // namespace engine
