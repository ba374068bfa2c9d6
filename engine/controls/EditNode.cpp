#include "engine/controls/EditNode.h"

#include "engine/core/KeyCodes.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/PropertyTable.h"
#include "engine/platform/DeviceClock.h"
#include "engine/visual/TextNode.h"

#include <algorithm>
#include <cwctype>

namespace engine {

namespace {

CountedRef<DeviceClock>& clockSlot() {
    static CountedRef<DeviceClock> clock;
    return clock;
}

uint32_t now() {
    CountedRef<DeviceClock>& clock = clockSlot();
    if (!clock) clock = makeRef<SystemDeviceClock>();
    return clock->getRealTime();
}

NameId textNameId() {
    static const NameId id = makeNameId("Text");
    return id;
}

NameId cursorNameId() {
    static const NameId id = makeNameId("Cursor");
    return id;
}

EditNode& editOf(PropertyTableOwner& object) { return static_cast<EditNode&>(object); }

void setTextEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { editOf(o).setText(getPropertyStringW(v)); }
CountedRef<IPropertyData> getTextEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringWProperty(editOf(o).getText()));
}
void setMaxLengthEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    editOf(o).setMaxTextLength(intFromProperty(v));
}
CountedRef<IPropertyData> getMaxLengthEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(editOf(o).getMaxTextLength()));
}
void setMaskEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    editOf(o).setInputMask(propertyDataToString(v));
}
CountedRef<IPropertyData> getMaskEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(editOf(o).getInputMask()));
}

}  // namespace

EditNode::EditNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

EditNode::~EditNode() = default;

void EditNode::setClock(DeviceClock* clock) { clockSlot() = CountedRef<DeviceClock>::share(clock); }

const PropertyTable& EditNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        t.add("Text", &setTextEntry, &getTextEntry);
        t.add("MaxTextLength", &setMaxLengthEntry, &getMaxLengthEntry);
        t.add("InputMask", &setMaskEntry, &getMaskEntry);
        return t;
    }();
    return table;
}

const PropertyTable& EditNode::getPropertyTable() const { return classPropertyTable(); }

// ---- Values -------------------------------------------------------------------

void EditNode::setText(const stringw& text) {
    text_ = text;
    if (!textChild_) return;
    textChild_->setText(text_);
    cursorLine_ = 0;
    cursorColumn_ = -1;
    placeCursor();
    lastTextTime_ = now();
}

void EditNode::setInputMask(const stringc& mask) {
    inputMask_ = mask;
    if (mask.empty()) {
        maskFlags_ = kMaskAll;
        return;
    }
    maskFlags_ = 0;
    for (uint32_t i = 0; i < mask.size(); ++i) {
        switch (mask[i]) {
        case '0': maskFlags_ |= kMaskDigits; break;
        case 'A': case 'a': maskFlags_ |= kMaskLetters; break;
        case 'S': case 's': maskFlags_ |= kMaskBlanks; break;
        case 'R': case 'r': maskFlags_ |= kMaskLineBreaks; break;
        case 'P': case 'p': maskFlags_ |= kMaskPrintable; break;
        case 'T': case 't': maskFlags_ |= kMaskT; break;
        default: break;
        }
    }
}

bool EditNode::acceptsCharacter(wchar_t character) const {
    const bool lineBreak = character == L'\n' || character == L'\r';
    // Other control characters (C0 but the tab, DEL and C1) show nothing and
    // have no place in a text.
    const bool control = (character < 0x20 && character != L'\t' && !lineBreak) || (character >= 0x7F && character <= 0x9F);
    if (control) return false;
    if (maskFlags_ == kMaskAll) return true;
    if (lineBreak) return (maskFlags_ & kMaskLineBreaks) != 0;
    if ((maskFlags_ & kMaskPrintable) && character >= 0x20) return true;
    const wint_t c = static_cast<wint_t>(character);
    if ((maskFlags_ & kMaskDigits) && std::iswdigit(c)) return true;
    if ((maskFlags_ & kMaskLetters) && std::iswalpha(c)) return true;
    if ((maskFlags_ & kMaskBlanks) && std::iswblank(c)) return true;
    return false;
}

// ---- Focus and template ------------------------------------------------------------

void EditNode::setFocused(bool focused) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::setFocused(focused);
    if (cursorChild_) cursorChild_->setVisible(isFocused());
}

void EditNode::applyTemplate() {
    if (!getManager()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::applyTemplate();
    textChild_.reset();
    cursorChild_.reset();
    textClip_.reset();
    textScroll_ = 0.0f;
    if (ControlNode* root = getTemplateRoot()) {
        if (TextNode* text = nodeCast<TextNode>(root->findChild(textNameId(), 1))) {
            textChild_ = CountedRef<TextNode>::share(text);
            if (BaseNode* cursor = text->findChild(cursorNameId(), 1)) {
                cursorChild_ = CountedRef<BaseNode>::share(cursor);
            }
            clipTextChild();
        }
    }
    setText(text_);
}

void EditNode::clipTextChild() {
    CountedRef<TextNode> text = textChild_;
    BaseNode* root = text->getParent();
    if (!root) return;
    BaseNode* before = nullptr;
    for (uint32_t i = 0; i < root->getChildCount() && root->getChild(i) != text.get(); ++i) before = root->getChild(i);
    // The clip takes the text's place in the template and its box; the text
    // stands at the clip's origin, slid left by the scroll.
    CountedRef<BaseNode> clip(new BaseNode(nullptr, nullptr, getManager(), true));
    clip->setName(makeNameId("TextClip"));
    clip->setPosition(text->getPosition());
    clip->setPivotPoint(text->getPivotPoint());
    const vector3df& bounds = text->getBounds();
    const vector3df& scale = text->getScale();
    clip->setBounds(vector3df(bounds.X * scale.X, bounds.Y * scale.Y, 0.0f));
    clip->setChildrenClipped(true);
    root->insertChildAfter(clip.get(), before);
    clip->addChild(text.get());
    text->setPosition(vector3df(0.0f, 0.0f, 0.0f));
    text->setPivotPoint(vector2df(0.0f, 0.0f));
    root->updateAbsoluteTransform();
    textClip_ = clip;
}

void EditNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ControlNode::copyFrom(source, manager);
    if (EditNode* other = nodeCast<EditNode>(source)) {
        setText(other->text_);
        maxTextLength_ = other->maxTextLength_;
        setInputMask(other->inputMask_);
    }
}

// ---- Cursor ------------------------------------------------------------------------

int32_t EditNode::lineCount() const { return textChild_ ? static_cast<int32_t>(textChild_->getLineCount()) : 0; }

int32_t EditNode::lineLength(int32_t line) const {
    if (!textChild_ || line < 0 || line >= lineCount()) return 0;
    return static_cast<int32_t>(textChild_->getLine(static_cast<uint32_t>(line)).size());
}

void EditNode::placeCursor() {
    if (!textChild_) return;
    // At a line's start the cursor stands at the line's left edge: the right
    // edge of the first glyph would put it after the first character.
    const float x = cursorColumn_ >= 0 ? textChild_->getGlyphRect(cursorLine_, cursorColumn_).LowerRightCorner.X
                                       : textChild_->getLineLeft(cursorLine_);
    scrollToCursor(x);
    if (!cursorChild_) return;
    const float y = textChild_->getLineTop(cursorLine_);
    cursorChild_->setPosition(vector3df(x, y, 0.0f));
}

void EditNode::scrollToCursor(float cursorX) {
    if (!textClip_) return;
    const float scale = textChild_->getScale().X > 0.0f ? textChild_->getScale().X : 1.0f;
    const float width = textClip_->getBounds().X / scale;
    // Room kept right of the cursor for its own mark.
    const float room = std::min(cursorChild_ ? cursorChild_->getBounds().X : 0.0f, width / 4.0f);
    const int32_t length = lineLength(cursorLine_);
    const float lineEnd = length > 0 ? textChild_->getGlyphRect(cursorLine_, length - 1).LowerRightCorner.X
                                     : textChild_->getLineLeft(cursorLine_);
    float scroll = textScroll_;
    if (cursorX - scroll > width - room) scroll = cursorX - (width - room);
    if (cursorX < scroll) scroll = cursorX;
    // A shorter text slides back as far as its end allows.
    scroll = std::min(scroll, std::max(0.0f, lineEnd - (width - room)));
    scroll = std::max(scroll, 0.0f);
    if (scroll == textScroll_ && textChild_->getPosition().X == -scroll * scale) return;
    textScroll_ = scroll;
    textChild_->setPosition(vector3df(-scroll * scale, 0.0f, 0.0f));
}

// ---- Input -------------------------------------------------------------------------

bool EditNode::onEvent21(LeftButtonDownEvent* event) {
    if (!ControlNode::onEvent21(event)) return false;
    if (!textChild_) return true;
    matrix4 inverse;
    textChild_->getAbsoluteTransform().getInverse(inverse);
    vector3df point(static_cast<float>(event->getX()), static_cast<float>(event->getY()), 0.0f);
    inverse.transformVect(point);
    textChild_->findCharacterAt(vector2df(point.X, point.Y), cursorLine_, cursorColumn_);
    placeCursor();
    return true;
}

void EditNode::copyTextBack() { text_ = textChild_->getText(); }

void EditNode::reportChange() {
    placeCursor();
    if (BaseNode* parent = getParent()) {
        CountedRef<ValueChangedEvent> notice(new ValueChangedEvent(this));
        postEvent(parent, DeliveryMode::HandleThenParent, notice.get());
    }
}

bool EditNode::onEvent31(KeyDownEvent* event) {
    if (!event) return false;
    if (!textChild_) return true;
    if (static_cast<int32_t>(now() - lastTextTime_) <= keyDelay_) return true;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<TextNode> text = textChild_;
    // The cursor may stand past the last line after the text shrank; keys
    // that read a line work on a line the layout has.
    const int32_t lines = lineCount();
    if (cursorLine_ >= lines) {
        cursorLine_ = lines > 0 ? lines - 1 : 0;
        cursorColumn_ = lineLength(cursorLine_) - 1;
    }
    const bool full = maxTextLength_ != -1 && static_cast<int32_t>(text_.size()) >= maxTextLength_;
    const int32_t len = lineLength(cursorLine_);

    switch (event->getKey()) {
    case KeyCode::Backspace:
        if (cursorColumn_ >= 0) {
            text->eraseCharacter(cursorLine_, cursorColumn_);
            copyTextBack();
            --cursorColumn_;
        } else if (cursorLine_ > 0) {
            // At a line's start Backspace removes the break before the line:
            // the two lines join and the cursor stays where the join is.
            const int32_t previous = lineLength(cursorLine_ - 1);
            text->eraseCharacter(cursorLine_ - 1, previous);
            copyTextBack();
            --cursorLine_;
            cursorColumn_ = previous - 1;
        } else {
            return true;
        }
        reportChange();
        return true;
    case KeyCode::Enter:
        if (full || !(maskFlags_ & kMaskLineBreaks)) return true;
        text->insertCharacter(L'\n', cursorLine_, cursorColumn_ + 1);
        copyTextBack();
        ++cursorLine_;
        cursorColumn_ = -1;
        reportChange();
        return true;
    case KeyCode::Delete:
        text->eraseCharacter(cursorLine_, cursorColumn_ + 1);
        copyTextBack();
        reportChange();
        return true;
    case KeyCode::End:
        cursorColumn_ = len - 1;
        break;
    case KeyCode::Home:
        cursorColumn_ = -1;
        break;
    case KeyCode::Left:
        --cursorColumn_;
        if (cursorColumn_ < 0) {
            cursorColumn_ = -1;
            if (cursorLine_ > 0) {
                --cursorLine_;
                cursorColumn_ = lineLength(cursorLine_) - 1;
            }
        }
        break;
    case KeyCode::Right:
        ++cursorColumn_;
        if (cursorColumn_ >= len) {
            cursorColumn_ = len - 1;
            if (cursorLine_ + 1 < lines) {
                ++cursorLine_;
                cursorColumn_ = -1;
            }
        }
        break;
    case KeyCode::Up:
        if (cursorLine_ == 0) return ControlNode::onEvent31(event);
        --cursorLine_;
        if (cursorColumn_ >= lineLength(cursorLine_)) cursorColumn_ = lineLength(cursorLine_) - 1;
        break;
    case KeyCode::Down:
        if (cursorLine_ >= lines - 1) return ControlNode::onEvent31(event);
        ++cursorLine_;
        if (cursorColumn_ >= lineLength(cursorLine_)) cursorColumn_ = lineLength(cursorLine_) - 1;
        break;
    default: {
        const wchar_t ch = static_cast<wchar_t>(event->getCharacter() & 0xFFFF);
        if (ch == 0 || !acceptsCharacter(ch)) return ControlNode::onEvent31(event);
        if (full) return true;
        text->insertCharacter(ch, cursorLine_, cursorColumn_ + 1);
        copyTextBack();
        ++cursorColumn_;
        reportChange();
        return true;
    }
    }
    placeCursor();
    return true;
}

bool EditNode::onEvent32(KeyUpEvent*) { return false; }

// ---- Property holder -------------------------------------------------------------------

void EditNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    if (!text_.empty()) set->add("Text", CountedRef<IPropertyData>(makeStringWProperty(text_)));
    // Written when it differs from the default (no limit), so that every
    // limit, 64 included, survives a save and reload.
    if (maxTextLength_ != -1) set->addInt("MaxTextLength", maxTextLength_);
    if (!inputMask_.empty()) set->addString("InputMask", inputMask_);
}

void EditNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    if (set->indexOf("Text") >= 0) setText(getPropertyStringW(set->find("Text")));
    if (set->indexOf("MaxTextLength") >= 0) maxTextLength_ = intFromProperty(set->find("MaxTextLength"));
    if (set->indexOf("InputMask") >= 0) setInputMask(propertyDataToString(set->find("InputMask")));
}

}  // namespace engine
