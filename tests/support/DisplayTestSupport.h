#pragma once
#include "support/DriverModules.h"
// Helpers of the tests that need an X display (the suite runs them under Xvfb).

namespace device_test {

using testing_support::pinOpenGLDriverModules;

}  // namespace device_test

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/platform/DeviceParameters.h"

namespace engine {
class EngineDevice;
}

namespace device_test {

// A device as the window tests use it: the caption set and 10 ms update steps,
// still without a window (null driver). The caller owns the reference.
engine::EngineDevice* createWindowTestDevice(const wchar_t* caption);
// The window the tests open: OpenGL, 1024 x 768, 32 bits, desktop-size flag.
engine::DeviceParameters openGLWindowParameters();

// Only one test at a time may have windows on the display: they would cover
// each other and take each other's pointer and keyboard focus. Held from
// construction to destruction, across processes (a lock file per display).
class XDisplayLock {
public:
    XDisplayLock();
    ~XDisplayLock();
    XDisplayLock(const XDisplayLock&) = delete;
    XDisplayLock& operator=(const XDisplayLock&) = delete;

private:
    int descriptor_;
};

// A connection of the test's own to the X server, for looking at the device's
// window from outside as a window manager would.
class XProbe {
public:
    XProbe();
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    // What a window manager sends when the player clicks the close button.
    void sendCloseRequest(uintptr_t window);
    bool getSize(uintptr_t window, int& width, int& height);
    std::string getName(uintptr_t window);
    bool isMapped(uintptr_t window);
    // The window's pixels as ARGB rows, read from the server; false when the
    // window cannot be read.
    bool capture(uintptr_t window, std::vector<uint32_t>& pixels, int& width, int& height);
    // Brings the window above the others (windows of tests running beside).
    void raise(uintptr_t window);
    // Gives the keyboard focus to the window, or back to whatever window the
    // pointer is in (the server's state without a window manager).
    void focus(uintptr_t window);
    void focusFollowsPointer();
    uintptr_t rootWindow();

private:
    void* display_;
};

// One step of a script played from the frames of a running device: an
// action, then a wait, frame by frame, until the condition holds.
struct ScriptStep {
    std::string name;
    std::function<void()> action;  // may be empty
    std::function<bool()> done;
};

// Plays the steps, one call of onFrame per drawn frame. Each step has ten
// seconds; a step that runs out of time is reported as a failure and closes
// the device. After the last step the device is closed, unless the script
// ends with the loop (closeAtEnd false: its last step waits for that).
class FrameScript {
public:
    FrameScript(engine::EngineDevice* device, std::vector<ScriptStep> steps, bool closeAtEnd = true);
    void onFrame();
    // The step being played (or that timed out); the number of steps once
    // all are done.
    size_t current() const { return current_; }
    bool finished() const { return !failed_ && current_ == steps_.size(); }

private:
    engine::EngineDevice* device_;
    std::vector<ScriptStep> steps_;
    bool closeAtEnd_;
    size_t current_ = 0;
    bool started_ = false;
    bool failed_ = false;
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace device_test
