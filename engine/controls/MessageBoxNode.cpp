#include "engine/controls/MessageBoxNode.h"
#include "engine/controls/ButtonNode.h"

#include "engine/core/PropertyData.h"
#include "engine/core/PropertyTable.h"
#include "engine/visual/TextNode.h"

namespace engine {

namespace {

NameId titleNameId() {
    static const NameId id = makeNameId("TitleText");
    return id;
}
NameId bodyNameId() {
    static const NameId id = makeNameId("BodyText");
    return id;
}
NameId buttonNameId() {
    static const NameId id = makeNameId("Button");
    return id;
}

// Shows a caption on a button through its "Text" property, so that a button
// kind that shows its text in its own way gets it too.
void setCaption(ButtonNode* button, const stringw& text) {
    const PropertyTable& table = button->getPropertyTable();
    const int32_t index = table.indexOf("Text");
    if (index < 0) return;
    table.set(*button, index, CountedRef<IPropertyData>(makeStringWProperty(text)));
}

}  // namespace

MessageBoxNode::MessageBoxNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : SceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

MessageBoxNode::~MessageBoxNode() = default;

SceneNode* MessageBoxNode::create(const CreationContext* context, BaseNode* manager) {
    return new MessageBoxNode(context, nullptr, manager, true);
}

void MessageBoxNode::installMessageBoxMaker() { SceneManager::setMessageBoxMaker(&MessageBoxNode::create); }

const EventMap<MessageBoxNode>& MessageBoxNode::getEventMap() {
    static const EventMap<MessageBoxNode> map(
        ControlNode::getEventMap(),
        {
            {EventId::NodePressedEvent,
             [](MessageBoxNode& n, Event* e) { return n.onEvent58(dynamic_cast<NodePressedEvent*>(e)); }},
        });
    return map;
}

// ---- Texts ---------------------------------------------------------------------------

void MessageBoxNode::setTitleText(const stringw& text) {
    titleText_ = text;
    if (titleChild_) titleChild_->setText(titleText_);
}

void MessageBoxNode::setBodyText(const stringw& text) {
    bodyText_ = text;
    if (bodyChild_) bodyChild_->setText(bodyText_);
}

void MessageBoxNode::setButtonTexts(const array<stringw>& texts) {
    buttonTexts_ = texts;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        setCaption(buttons_[i].get(), i < buttonTexts_.size() ? buttonTexts_[static_cast<uint32_t>(i)] : stringw());
    }
}

void MessageBoxNode::showTexts() {
    setTitleText(titleText_);
    setBodyText(bodyText_);
    setButtonTexts(array<stringw>(buttonTexts_));
}

// ---- Template ------------------------------------------------------------------------

void MessageBoxNode::applyTemplate() {
    if (!getManager()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::applyTemplate();
    titleChild_.reset();
    bodyChild_.reset();
    buttons_.clear();
    if (ControlNode* root = getTemplateRoot()) {
        if (TextNode* title = nodeCast<TextNode>(root->findChild(titleNameId(), 1)))
            titleChild_ = CountedRef<TextNode>::share(title);
        if (TextNode* body = nodeCast<TextNode>(root->findChild(bodyNameId(), 1)))
            bodyChild_ = CountedRef<TextNode>::share(body);
        for (uint32_t i = 0; i < root->getChildCount(); ++i) {
            BaseNode* child = root->getChild(i);
            if (child->getName() != buttonNameId()) continue;
            if (ButtonNode* button = nodeCast<ButtonNode>(child)) buttons_.push_back(CountedRef<ButtonNode>::share(button));
        }
    }
    showTexts();
}

// ---- Events --------------------------------------------------------------------------

bool MessageBoxNode::onEvent58(NodePressedEvent* event) {
    if (!event) return false;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i].get() != event->getNode()) continue;
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        result_ = static_cast<int32_t>(i);
        const SceneTransitionNames& names = sceneTransitionNames();
        closeScene(0, names.navBackFrom, names.navBackTo);
        return true;
    }
    return false;
}

bool MessageBoxNode::routeToChildren(int32_t mode, Event* event) {
    if (SceneNode::routeToChildren(mode, event)) return true;
    // A disabled box keeps input from its buttons as from its children.
    if (!isEnabled() && event && event->isOfType(EventId::InputEvent)) return false;
    // A copy: a button's handler may apply the template again.
    const std::vector<CountedRef<ButtonNode>> buttons = buttons_;
    for (const CountedRef<ButtonNode>& button : buttons) {
        if (button->deliver(mode, event)) return true;
    }
    return false;
}

}  // namespace engine
