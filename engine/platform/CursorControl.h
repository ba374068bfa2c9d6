#pragma once
// The mouse pointer over the device's window: its last known position in
// client coordinates, whether the game shows it, whether the game draws it
// itself (the software cursor, drawn from a node), and the pointer shape made
// from an image. One object lives from the first window to the device's end;
// when the window is replaced with the video driver, the cursor control moves
// to the new window and gives it the same shape.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/platform/Image.h"

namespace engine {

class BaseNode;
class DisplayHost;

class CursorControl : public virtual RefCounted {
public:
    // The host is not counted: the device detaches it before dropping it.
    CursorControl(DisplayHost* host, int32_t windowWidth, int32_t windowHeight);
    ~CursorControl() override;

    CursorControl(const CursorControl&) = delete;
    CursorControl& operator=(const CursorControl&) = delete;

    // A flag for the game's drawing only: the system pointer is never hidden.
    virtual void setVisible(bool visible);
    virtual bool isVisible() const { return visible_; }
    virtual void setSoftwareCursor(bool software);
    virtual bool isSoftwareCursor() const { return software_; }
    // Visible, software, and in full screen or inside the client area.
    virtual bool isSoftwareCursorDrawn() const;
    // Visible, and not drawn by the game.
    virtual bool isSystemCursorShown() const;
    // Reads the pointer position (-1, -1 without a window) and moves the
    // cursor node there.
    virtual void updatePosition();
    // Moves the pointer when there is a window; stores the position anyway.
    virtual void setPosition(int32_t x, int32_t y);
    virtual irr::core::position2d<irr::s32> getPosition() const { return {x_, y_}; }
    // The image (kept, one reference) becomes the pointer shape with the hot
    // spot; null brings back the standard arrow.
    virtual void setCursorImage(Image* image, int32_t hotSpotX, int32_t hotSpotY);
    // Holds one reference to the node (dropping the old one) and moves it to
    // the pointer.
    virtual void setCursorNode(BaseNode* node);
    virtual BaseNode* getCursorNode() const { return node_; }

    void setFullscreen(bool fullscreen) { fullscreen_ = fullscreen; }
    bool isFullscreen() const { return fullscreen_; }
    // The client size the inside test uses; the device keeps it current when
    // the window is resized.
    void setWindowSize(int32_t width, int32_t height);
    int32_t getWindowWidth() const { return windowWidth_; }
    int32_t getWindowHeight() const { return windowHeight_; }

    // Moves to another window (or none) of the given client size and gives it
    // the current pointer shape.
    void attachWindow(DisplayHost* host, int32_t windowWidth, int32_t windowHeight);
    void detachWindow() { host_ = nullptr; }
    DisplayHost* getHost() const { return host_; }
    Image* getCursorImage() const { return image_.get(); }

private:
    bool insideWindow() const;
    void placeNode();

    BaseNode* node_ = nullptr;
    int32_t x_ = 0;
    int32_t y_ = 0;
    bool visible_ = true;
    bool software_ = false;
    bool fullscreen_ = true;
    DisplayHost* host_;
    int32_t windowWidth_;
    int32_t windowHeight_;
    CountedRef<Image> image_;
    int32_t hotSpotX_ = 0;
    int32_t hotSpotY_ = 0;
};

}  // namespace engine
