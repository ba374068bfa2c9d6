#include "engine/platform/CursorControl.h"
#include "engine/platform/DisplayHost.h"

// The node tree is written beside the platform layer. Until its base node is
// part of the build, the cursor node is kept without a reference and is not
// moved; with it, the node is counted and follows the pointer.
#include "engine/core/BaseNode.h"

namespace engine {

CursorControl::CursorControl(DisplayHost* host, int32_t windowWidth, int32_t windowHeight)
    : host_(host), windowWidth_(windowWidth), windowHeight_(windowHeight) {}

CursorControl::~CursorControl() {
    setCursorNode(nullptr);
}

void CursorControl::setVisible(bool visible) {
    visible_ = visible;
    updatePosition();
    setPosition(x_, y_);
}

void CursorControl::setSoftwareCursor(bool software) {
    software_ = software;
    setPosition(x_, y_);
}

bool CursorControl::insideWindow() const {
    return fullscreen_ || (x_ >= 0 && x_ < windowWidth_ && y_ >= 0 && y_ < windowHeight_);
}

bool CursorControl::isSoftwareCursorDrawn() const {
    return visible_ && software_ && insideWindow();
}

bool CursorControl::isSystemCursorShown() const {
    return visible_ && !(software_ && insideWindow());
}

void CursorControl::updatePosition() {
    if (!host_ || !host_->getCursorPosition(x_, y_)) {
        x_ = -1;
        y_ = -1;
    }
    placeNode();
}

void CursorControl::setPosition(int32_t x, int32_t y) {
    if (host_ && host_->hasWindow()) host_->setCursorPosition(x, y);
    x_ = x;
    y_ = y;
}

void CursorControl::setCursorImage(Image* image, int32_t hotSpotX, int32_t hotSpotY) {
    image_ = CountedRef<Image>::share(image);
    hotSpotX_ = hotSpotX;
    hotSpotY_ = hotSpotY;
    if (host_) host_->setCursorImage(image_.get(), hotSpotX_, hotSpotY_);
    // X shows a new shape at once; the position is only refreshed.
    updatePosition();
}

void CursorControl::setCursorNode(BaseNode* node) {
    if (node == node_) return;
    if (node) node->addRef();
    if (node_) node_->release();
    node_ = node;
    if (node_) updatePosition();
}

void CursorControl::placeNode() {
    if (!node_) return;
    // Setting the position marks the node's transform for an update.
    node_->setPosition(vector3df(static_cast<float>(x_), static_cast<float>(y_), node_->getPosition().Z));
    if (node_->isTransformDirty()) node_->updateAbsoluteTransform();
    if (node_->isColorDirty()) node_->updateAbsoluteColor();
}

void CursorControl::setWindowSize(int32_t width, int32_t height) {
    windowWidth_ = width;
    windowHeight_ = height;
}

void CursorControl::attachWindow(DisplayHost* host, int32_t windowWidth, int32_t windowHeight) {
    host_ = host;
    setWindowSize(windowWidth, windowHeight);
    if (host_ && image_) host_->setCursorImage(image_.get(), hotSpotX_, hotSpotY_);
}

}  // namespace engine
