#include "engine/controls/ButtonNode.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"

namespace engine {

namespace {

ButtonNode& buttonOf(PropertyTableOwner& object) { return static_cast<ButtonNode&>(object); }

void setTextEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { buttonOf(o).setText(getPropertyStringW(v)); }
CountedRef<IPropertyData> getTextEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringWProperty(buttonOf(o).getText()));
}
void setImageEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    buttonOf(o).setImage(atlasTextureFromProperty(v));
}
CountedRef<IPropertyData> getImageEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeAtlasTextureData(buttonOf(o).getImage()));
}

NameId textNameId() {
    static const NameId id = makeNameId("Text");
    return id;
}

NameId imageNameId() {
    static const NameId id = makeNameId("Image");
    return id;
}

}  // namespace

ButtonNode::ButtonNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false) {
    setFocusOnHover(true);
    linkToParent(parent, mostDerived);
}

ButtonNode::~ButtonNode() {
    textChild_.reset();
    imageChild_.reset();
    image_.reset();
}

const PropertyTable& ButtonNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        t.add("Text", &setTextEntry, &getTextEntry);
        t.add("Image", &setImageEntry, &getImageEntry);
        return t;
    }();
    return table;
}

const PropertyTable& ButtonNode::getPropertyTable() const { return classPropertyTable(); }

AtlasTextureContent* ButtonNode::getImage() const { return image_.get(); }
TextNode* ButtonNode::getTextChild() const { return textChild_.get(); }
SpriteNode* ButtonNode::getImageChild() const { return imageChild_.get(); }

void ButtonNode::setText(const stringw& text) {
    text_ = text;
    if (textChild_) textChild_->setText(text_);
}

void ButtonNode::setImage(AtlasTextureContent* image) {
    if (image != image_.get()) image_ = CountedRef<AtlasTextureContent>::share(image);
    // The child is refreshed every time: its picture may have been changed
    // by a state since.
    if (imageChild_) imageChild_->setAtlasTexture(image_.get());
}

void ButtonNode::applyTemplate() {
    if (!getManager()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::applyTemplate();
    textChild_.reset();
    imageChild_.reset();
    if (ControlNode* root = getTemplateRoot()) {
        textChild_ = CountedRef<TextNode>::share(nodeCast<TextNode>(root->findChild(textNameId(), 1)));
        imageChild_ = CountedRef<SpriteNode>::share(nodeCast<SpriteNode>(root->findChild(imageNameId(), 1)));
    }
    if (textChild_) textChild_->setText(text_);
    setImage(image_.get());
}

void ButtonNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ControlNode::copyFrom(source, manager);
    if (ButtonNode* other = nodeCast<ButtonNode>(source)) {
        setText(other->text_);
        setImage(other->image_.get());
    }
}

void ButtonNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    if (!text_.empty()) set->add("Text", CountedRef<IPropertyData>(makeStringWProperty(text_)));
    if (image_) set->add("Image", CountedRef<IPropertyData>(makeAtlasTextureData(image_.get())));
}

void ButtonNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    if (set->indexOf("Text") >= 0) setText(getPropertyStringW(set->find("Text")));
    if (set->indexOf("Image") >= 0) setImage(atlasTextureFromProperty(set->find("Image")));
}

}  // namespace engine
