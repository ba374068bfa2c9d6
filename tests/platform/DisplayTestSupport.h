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

private:
    void* display_;
};

}  // namespace device_test
