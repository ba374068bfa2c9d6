#pragma once
// A small modal scene with a title, a body text and a row of buttons laid out
// by a template. The scene manager makes one for SceneManager::showMessageBox
// through the maker this class installs (installMessageBoxMaker, called when
// the controls register their kinds) and pushes it above the asking scene.
// When one of its buttons is pressed the box stores the button's index as its
// result and closes itself; the manager then tells the asking scene the result
// with a MessageBoxResultEvent.
//
// The template's buttons are the direct children of the template root named
// "Button" that are ButtonNodes (type id 9), in child order: another control
// of that name is no result button; the box shows button text i on
// button i through the button's "Text" property. The texts and buttons are
// never read from or written to scene files.
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"

namespace engine {

class ButtonNode;
class TextNode;

class MessageBoxNode : public SceneNode, public IMessageBox {
    ENGINE_DECLARE_EVENT_MAP(MessageBoxNode)
    ENGINE_NODE_TYPE(MessageBoxNode, SceneNode, 7)

public:
    MessageBoxNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~MessageBoxNode() override;

    // The scene manager's maker: a new box (count 1) with the manager.
    static SceneNode* create(const CreationContext* context, BaseNode* manager);
    // Makes the scene manager show its message boxes as MessageBoxNodes.
    static void installMessageBoxMaker();

    // ---- IMessageBox ---------------------------------------------------------
    void setTitleText(const stringw& text) override;
    void setBodyText(const stringw& text) override;
    // Button i shows text i, or nothing when there are fewer texts.
    void setButtonTexts(const array<stringw>& texts) override;
    int32_t getResult() const override { return result_; }

    const stringw& getTitleText() const { return titleText_; }
    const stringw& getBodyText() const { return bodyText_; }
    const array<stringw>& getButtonTexts() const { return buttonTexts_; }
    TextNode* getTitleChild() const { return titleChild_.get(); }
    TextNode* getBodyChild() const { return bodyChild_.get(); }
    uint32_t getButtonCount() const { return static_cast<uint32_t>(buttons_.size()); }
    ButtonNode* getButton(uint32_t index) const { return buttons_[index].get(); }

    // A bound button was pressed: store its index and close the box.
    virtual bool onEvent58(NodePressedEvent* event);

    void applyTemplate() override;
    // The buttons live under the template root, which routing does not reach:
    // what the control's routing leaves is offered to each button in order.
    bool routeToChildren(int32_t mode, Event* event) override;

private:
    void showTexts();

    int32_t result_ = 0;
    stringw titleText_;
    stringw bodyText_;
    array<stringw> buttonTexts_;
    CountedRef<TextNode> titleChild_;
    CountedRef<TextNode> bodyChild_;
    std::vector<CountedRef<ButtonNode>> buttons_;
};

}  // namespace engine
