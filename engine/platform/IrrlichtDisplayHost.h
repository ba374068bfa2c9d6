#pragma once
// Display hosts over Irrlicht's Linux device: the null driver without any
// display, or the OpenGL driver with its X11 window. Irrlicht's input events
// become device messages; focus, activation, minimising and resizing, which
// Irrlicht reports no event for, are found by comparing its window state after
// each pump; the window manager's close request is taken before Irrlicht sees
// it, so that the game can refuse it.
#include "engine/platform/DisplayHost.h"
#include "engine/io/IrrRef.h"

namespace engine {

class IrrlichtDisplayHost : public DisplayHost, public irr::IEventReceiver {
public:
    // Null when Irrlicht cannot make the driver (the reason is logged by
    // Irrlicht through the engine logger).
    static IrrlichtDisplayHost* create(const DeviceParameters& parameters);
    ~IrrlichtDisplayHost() override;

    irr::video::IVideoDriver* getVideoDriver() const override;
    bool hasWindow() const override { return window_ != 0; }
    uintptr_t getWindowHandle() const override { return window_; }
    void pumpMessages(DeviceMessageQueue& queue, bool wait) override;
    void setCaption(const stringw& caption) override;
    void setResizable(bool resizable) override;
    bool isFocused() const override;
    bool isMinimized() const override;
    void minimize() override;
    void placeWindow(int32_t width, int32_t height, bool fullscreen) override;
    void activate() override;
    void hide() override;
    irr::core::dimension2d<irr::u32> getClientSize() const override;
    bool getCursorPosition(int32_t& x, int32_t& y) override;
    void setCursorPosition(int32_t x, int32_t y) override;
    bool setCursorImage(const Image* image, int32_t hotSpotX, int32_t hotSpotY) override;
    bool setGammaRamp(float red, float green, float blue, float brightness, float contrast) override;
    bool getGammaRamp(float& red, float& green, float& blue, float& brightness, float& contrast) override;

    // Irrlicht's input and log events.
    bool OnEvent(const irr::SEvent& event) override;

    irr::IrrlichtDevice* getIrrlichtDevice() const { return device_.get(); }
    // Called by the X event filter when the window manager asks to close.
    void noteCloseRequest();

private:
    IrrlichtDisplayHost() = default;
    bool attachWindow();
    void takeClientEvents();
    void pollWindowState();
    void waitForEvents();
    void setSizeHints(int32_t width, int32_t height);
    void requestFullscreenState(bool fullscreen);
    void sendToRoot(unsigned long messageType, long l0, long l1, long l2, long l3);
    void freeCursor();

    IrrRef<irr::IrrlichtDevice> device_;
    void* display_ = nullptr;  // the X display of Irrlicht's window
    uintptr_t window_ = 0;
    bool external_ = false;
    bool hidden_ = false;
    bool resizable_ = false;
    DeviceMessageQueue collected_;
    bool lastFocused_ = false;
    bool lastMinimized_ = false;
    bool lastActive_ = false;
    irr::core::dimension2d<irr::u32> lastSize_;
    unsigned long cursor_ = 0;
    unsigned long atomProtocols_ = 0;
    unsigned long atomDeleteWindow_ = 0;
};

class IrrlichtDisplayHostFactory : public DisplayHostFactory {
public:
    ~IrrlichtDisplayHostFactory() override;
    DisplayHost* createHost(const DeviceParameters& parameters) override;
    // The X screen's size and depth, as the desktop mode and the only mode.
    void fillVideoModes(VideoModeList& list) override;

private:
    void closeScreenConnection();

    // The X connection the screen was measured on (a Display*), kept until a
    // host has opened its own: a server that resets when its last client
    // leaves (a bare Xvfb) refuses connections while it resets, so closing
    // this one first would leave the host's connection refused.
    void* screenConnection_ = nullptr;
};

}  // namespace engine
