#pragma once
// What the engine device needs of the windowing layer. A display host is one
// video driver together with the window it draws into (none for the null
// driver): Irrlicht makes the two together, so replacing the driver replaces
// the window. The host turns what happens to its window into device messages.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/platform/DeviceMessage.h"
#include "engine/platform/DeviceParameters.h"
#include "engine/platform/VideoModeList.h"

#include <irrlicht.h>

namespace engine {

class Image;

class DisplayHost : public virtual RefCounted {
public:
    virtual irr::video::IVideoDriver* getVideoDriver() const = 0;
    virtual bool hasWindow() const = 0;
    // The X window id, 0 without a window.
    virtual uintptr_t getWindowHandle() const = 0;

    // Appends to the queue what has happened to the window since the last
    // call, oldest first. With wait, blocks until at least one message was
    // appended; a host without a window never blocks.
    virtual void pumpMessages(DeviceMessageQueue& queue, bool wait) = 0;

    virtual void setCaption(const stringw& caption) = 0;
    // Whether the player may resize the window.
    virtual void setResizable(bool resizable) = 0;
    virtual bool isFocused() const = 0;
    virtual bool isMinimized() const = 0;
    virtual void minimize() = 0;
    // Gives the window a client area of the size: in full screen at the
    // screen's origin, asking the window manager for full screen; otherwise
    // centred on the screen.
    virtual void placeWindow(int32_t width, int32_t height, bool fullscreen) = 0;
    // Raises the window and asks for the focus.
    virtual void activate() = 0;
    // Takes the window off the screen for good; the driver stays usable until
    // the host is dropped. Nothing is reported for the window afterwards.
    virtual void hide() = 0;
    virtual irr::core::dimension2d<irr::u32> getClientSize() const = 0;

    // The pointer in client coordinates; false without a window.
    virtual bool getCursorPosition(int32_t& x, int32_t& y) = 0;
    virtual void setCursorPosition(int32_t x, int32_t y) = 0;
    // Shows the image as the pointer over the window, or the standard arrow
    // for null; false when the shape could not be made.
    virtual bool setCursorImage(const Image* image, int32_t hotSpotX, int32_t hotSpotY) = 0;

    virtual bool setGammaRamp(float red, float green, float blue, float brightness, float contrast) = 0;
    virtual bool getGammaRamp(float& red, float& green, float& blue, float& brightness, float& contrast) = 0;
};

// Makes display hosts and knows the screen's modes.
class DisplayHostFactory : public virtual RefCounted {
public:
    // A new host (count 1) for the parameters' driver type (0 null driver,
    // 1 to 3 OpenGL), or null when the driver cannot be made. A non-zero
    // window handle in the parameters is an existing window to draw into.
    virtual DisplayHost* createHost(const DeviceParameters& parameters) = 0;
    // Fills the list with the screen's modes and the desktop mode; leaves it
    // empty when there is no screen.
    virtual void fillVideoModes(VideoModeList& list) = 0;
};

}  // namespace engine
