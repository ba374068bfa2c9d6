#pragma once
// A control that shows a caption and a picture. The caption and the picture
// are kept by the button and pushed into the template nodes named "Text" (a
// text node) and "Image" (a sprite) every time the template is applied, so
// they survive any change of template. Hovering a button also focuses it.
#include "engine/core/ControlNode.h"

namespace engine {

class AtlasTextureContent;
class SpriteNode;
class TextNode;

class ButtonNode : public ControlNode {
    ENGINE_NODE_TYPE(ButtonNode, ControlNode, 9)

public:
    ButtonNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~ButtonNode() override;

    // The control's table followed by "Text" and "Image".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Stores the caption and shows it in the text child, when there is one.
    void setText(const stringw& text);
    const stringw& getText() const { return text_; }
    // Holds the picture (null for none) and gives it to the image child, even
    // when it is the one already held.
    void setImage(AtlasTextureContent* image);
    AtlasTextureContent* getImage() const;

    // The template nodes the caption and picture go to, or null.
    TextNode* getTextChild() const;
    SpriteNode* getImageChild() const;

    void applyTemplate() override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    stringw text_;
    CountedRef<AtlasTextureContent> image_;
    CountedRef<TextNode> textChild_;
    CountedRef<SpriteNode> imageChild_;
};

}  // namespace engine
