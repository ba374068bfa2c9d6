#pragma once
// The engine device: the one window with its video driver, the message pump
// and the fixed-step run loop that turns elapsed time into update events
// followed by one render event, the window procedure that turns window
// messages into engine events, and the engine's drawing state (the render
// context of the current driver).
//
// On Linux the window and the video driver are one Irrlicht device: driver
// type 0 is Irrlicht's null driver (no window, no display needed), types 1 to
// 3 give OpenGL in an X11 window. Replacing the driver replaces the window.
#include "engine/platform/CursorControl.h"
#include "engine/platform/DeviceMessage.h"
#include "engine/platform/DisplayHost.h"
#include "engine/platform/EngineDeviceBase.h"
#include "engine/visual/RenderContext.h"

#include <sys/types.h>
#include <vector>

namespace engine {

// What the device runs on; each empty member is the system's: the steady
// clock, and Irrlicht's Linux device for windows and drivers.
struct DeviceServices {
    CountedRef<DeviceClock> clock;
    CountedRef<DisplayHostFactory> displays;
};

class EngineDevice : public EngineDeviceBase {
public:
    EngineDevice(const DeviceParameters& parameters, const DeviceServices& services = DeviceServices());
    ~EngineDevice() override;

    // The main loop; returns when the device is closed or a quit message is taken.
    bool run() override;
    // Ends the loop at its next test and destroys the window (which delivers
    // the application-close event and queues the quit message).
    void closeDevice() override;
    // With pauseTimer, the device timer does not count the sleep.
    void sleep(uint32_t milliseconds, bool pauseTimer) override;
    // Replaces the video driver (and its window): delivers the driver-released
    // event, drops the driver, makes the new one and delivers the
    // driver-created event. False when no driver could be made.
    bool applyVideoParameters(const DeviceParameters& parameters) override;
    CursorControl* getCursorControl() const override { return cursorControl_.get(); }
    VideoModeList& getVideoModeList() override;
    void setWindowCaption(const stringw& caption) override;
    void setResizeAble(bool resizable) override;
    bool isWindowActive() const override { return active_; }
    bool isWindowFocused() const override;
    bool isWindowMinimized() const override;
    bool setGammaRamp(float red, float green, float blue, float brightness, float contrast) override;
    bool getGammaRamp(float& red, float& green, float& blue, float& brightness, float& contrast) override;
    // Opens the address with xdg-open (no shell); false and logged when it cannot be started.
    bool openURL(const char* url) override;

    // The engine's drawing state for the current driver; null without one.
    RenderContext* getRenderContext() const { return renderContext_.get(); }
    // The frame drawn so far, as a new A8R8G8B8 image read from the back
    // buffer (call it after drawing and before the driver ends the scene);
    // null, logged, when the driver cannot be read back.
    Image* createScreenShot();

    // The window: 0 before one exists. A new window comes with every driver
    // of type 1 to 3.
    uintptr_t getWindowHandle() const { return windowHandle_; }
    DisplayHost* getDisplayHost() const { return host_.get(); }
    bool isWindowShown() const { return windowShown_; }
    bool isResizable() const { return resizable_; }
    bool isExternalWindow() const { return externalWindow_; }
    bool isRunning() const { return running_; }

    // Adds a message to the window's queue, as the windowing layer does.
    void postMessage(const DeviceMessage& message) { messages_.post(message); }
    DeviceMessageQueue& getMessageQueue() { return messages_; }
    // Handles one window message: the device's window procedure.
    void windowProcedure(const DeviceMessage& message);

private:
    bool createVideoDriver(int32_t type);
    bool createAudioDriver(int32_t type);
    void releaseVideoDriver();
    void placeWindow();
    void applyResize();
    void destroyWindow();
    bool takeMessage(DeviceMessage& message, bool wait);
    void logOperatingSystem();
    void reapChildren();

    CountedRef<DisplayHostFactory> displays_;
    CountedRef<DisplayHost> host_;
    CountedRef<RenderContext> renderContext_;
    CountedRef<CursorControl> cursorControl_;
    DeviceMessageQueue messages_;
    uintptr_t windowHandle_ = 0;
    bool windowShown_ = false;
    bool active_ = false;
    bool resizable_ = false;
    bool resized_ = false;
    bool externalWindow_ = false;
    bool windowDestroyed_ = false;
    // What the last key-down left of the keyboard: the modifiers, and the
    // character each key typed. Key-ups report from it.
    bool keyShift_ = false;
    bool keyControl_ = false;
    int32_t keyCharacters_[256] = {};
    std::vector<pid_t> children_;
};

// The process-wide device, made with the default parameters (null driver, no
// window) on first use and released at exit. A device made with createDevice
// is the one returned while it lives; after the device is destroyed, using it
// fails with "Dead Reference Detected".
EngineDevice* getEngine();
// A new device (count 1), or null when the parameters ask for a video driver
// that cannot be made.
EngineDevice* createDevice(const DeviceParameters& parameters, const DeviceServices& services = DeviceServices());
// Drops the reference getEngine's exit handler holds.
void releaseEngineDevice();
// Forgets that a device was destroyed when none lives as the engine now: the
// device getEngine made, when it still lives, is the engine again (its
// dictionary and sound manager the current ones), else the next getEngine
// makes one. For processes that run independent parts in turn,
// each making and destroying its own device (a test program's tests).
void forgetDestroyedEngine();

}  // namespace engine
