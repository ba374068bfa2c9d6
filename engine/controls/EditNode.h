#pragma once
// A text-entry control. It keeps the edited Text, shows it in the "Text" text
// node of its template and moves that node's "Cursor" child to the insertion
// point. While it has the keyboard focus it edits the text from key-down
// events: characters pass through the input mask and the length limit, and
// every edit is reported to the parent with a ValueChangedEvent. Line layout,
// the character hit test and the insertion and removal of characters are the
// text node's.
//
// The cursor is kept as a line of the text node's layout and the column of the
// character just before it (-1 at the line's start). Keys that arrive within
// the key delay after the text was set (also by showing the scene) are
// swallowed, so the key that opened a screen does not type into it.
//
// The text node is drawn inside a clipping node of its own place and size
// ("TextClip", put between the template root and the text when the template
// is applied): a text longer than its box is cut at the box's edges, and the
// text slides sideways within it so that the cursor stays in view.
//
// Typed control characters (Escape, Control with a letter) are never
// inserted, whatever the mask; line breaks come only from Enter, and only
// when the mask accepts them.
#include "engine/core/ControlNode.h"

namespace engine {

class DeviceClock;
class TextNode;

class EditNode : public ControlNode {
    ENGINE_NODE_TYPE(EditNode, ControlNode, 12)

public:
    // Input mask flags.
    static constexpr int32_t kMaskAll = -1;
    static constexpr int32_t kMaskDigits = 1;
    static constexpr int32_t kMaskLetters = 2;
    static constexpr int32_t kMaskBlanks = 4;
    static constexpr int32_t kMaskLineBreaks = 8;
    static constexpr int32_t kMaskT = 16;  // accepted in the mask text; widens no class
    // Every character that is not a control character, whatever the locale
    // classifies as letters: a single-line field for names and such.
    static constexpr int32_t kMaskPrintable = 32;

    EditNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~EditNode() override;

    // The control's table followed by "Text", "MaxTextLength" and "InputMask".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Stores the text; with a text child also shows it, puts the cursor at
    // the start and restarts the key delay. Posts nothing.
    void setText(const stringw& text);
    const stringw& getText() const { return text_; }
    void setMaxTextLength(int32_t length) { maxTextLength_ = length; }
    int32_t getMaxTextLength() const { return maxTextLength_; }
    // "0" digits, "A" letters, "S" blanks, "R" line breaks, "P" printable
    // characters, "T" (no class); either case; other characters are ignored.
    // Empty accepts everything.
    void setInputMask(const stringc& mask);
    const stringc& getInputMask() const { return inputMask_; }
    int32_t getMaskFlags() const { return maskFlags_; }
    bool acceptsCharacter(wchar_t character) const;

    int32_t getCursorLine() const { return cursorLine_; }
    int32_t getCursorColumn() const { return cursorColumn_; }
    TextNode* getTextChild() const { return textChild_.get(); }
    BaseNode* getCursorChild() const { return cursorChild_.get(); }

    // Moves the cursor child to the cursor (needs both children) and slides
    // the text within its clip so that the cursor is in view.
    void placeCursor();
    // How far the text is slid to the left within its clip, in its units.
    float getTextScroll() const { return textScroll_; }
    BaseNode* getTextClip() const { return textClip_.get(); }

    // The clock the key delay is measured with (the system's steady clock
    // when none is set). Tests put a stand-in here; null restores the default.
    static void setClock(DeviceClock* clock);

    void setFocused(bool focused) override;
    void applyTemplate() override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;

    bool onEvent21(LeftButtonDownEvent* event) override;
    bool onEvent31(KeyDownEvent* event) override;
    bool onEvent32(KeyUpEvent* event) override;

    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    // The length of a laid-out line; 0 for a line the layout does not have.
    int32_t lineLength(int32_t line) const;
    int32_t lineCount() const;
    void copyTextBack();
    void reportChange();
    void clipTextChild();
    void scrollToCursor(float cursorX);

    CountedRef<TextNode> textChild_;
    CountedRef<BaseNode> cursorChild_;
    CountedRef<BaseNode> textClip_;
    float textScroll_ = 0.0f;
    int32_t cursorLine_ = 0;
    int32_t cursorColumn_ = -1;
    uint32_t lastTextTime_ = 0;
    stringw text_;
    int32_t maxTextLength_ = -1;
    stringc inputMask_;
    int32_t maskFlags_ = kMaskAll;
    int32_t keyDelay_ = 100;
};

}  // namespace engine
