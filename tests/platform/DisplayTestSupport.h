#pragma once
// Helpers of the tests that need an X display (the suite runs them under Xvfb).

namespace device_test {

// Keeps Mesa's driver modules mapped until exit, so that the leak check under
// the sanitizers can tell their allocations from ours after the GL context closes.
void pinOpenGLDriverModules();

}  // namespace device_test

#include <cstdint>
#include <string>

namespace device_test {

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

}  // namespace device_test
