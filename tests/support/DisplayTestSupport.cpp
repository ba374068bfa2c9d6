#include "support/DisplayTestSupport.h"
#include "engine/platform/EngineDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace device_test {

namespace {
Display* x(void* display) {
    return static_cast<Display*>(display);
}
}  // namespace

XDisplayLock::XDisplayLock() {
    const char* display = std::getenv("DISPLAY");
    std::string name = "/tmp/engine-x-tests-" + std::to_string(getuid()) + "-";
    for (const char* c = display ? display : ""; *c; ++c) name += (*c == '/' ? '_' : *c);
    name += ".lock";
    descriptor_ = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor_ >= 0) flock(descriptor_, LOCK_EX);
}

XDisplayLock::~XDisplayLock() {
    if (descriptor_ >= 0) close(descriptor_);  // releases the lock
}

engine::EngineDevice* createWindowTestDevice(const wchar_t* caption) {
    engine::EngineDevice* device = engine::createDevice(engine::DeviceParameters());
    if (!device) return nullptr;
    device->getSettings()->setStringW("TitleCaption", caption);
    device->setUpdateInterval(10);
    device->setUpdateStep(10);
    return device;
}

engine::DeviceParameters openGLWindowParameters() {
    engine::DeviceParameters p;
    p.driverType = engine::VideoDriverType::OpenGL;
    p.windowWidth = 1024;
    p.windowHeight = 768;
    p.colorBits = 32;
    p.desktopSize = true;
    return p;
}

// Xvfb now and then refuses a connection made right after others closed; a
// few short retries keep the window tests from failing on that alone.
XProbe::XProbe() : display_(nullptr) {
    for (int attempt = 0; attempt < 10 && !display_; ++attempt) {
        if (attempt > 0) usleep(50 * 1000);
        display_ = XOpenDisplay(nullptr);
    }
}

XProbe::~XProbe() {
    if (display_) XCloseDisplay(x(display_));
}

void XProbe::sendCloseRequest(uintptr_t window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x(display_), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x(display_), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x(display_), window, False, NoEventMask, &event);
    XFlush(x(display_));
}

bool XProbe::getSize(uintptr_t window, int& width, int& height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x(display_), window, &attributes)) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

std::string XProbe::getName(uintptr_t window) {
    char* name = nullptr;
    if (!XFetchName(x(display_), window, &name) || !name) return std::string();
    std::string result(name);
    XFree(name);
    return result;
}

bool XProbe::isMapped(uintptr_t window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(x(display_), window, &attributes) && attributes.map_state != IsUnmapped;
}

bool XProbe::capture(uintptr_t window, std::vector<uint32_t>& pixels, int& width, int& height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x(display_), window, &attributes)) return false;
    XImage* image = XGetImage(x(display_), window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return false;
    width = attributes.width;
    height = attributes.height;
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels[static_cast<size_t>(row) * width + column] =
                0xFF000000u | (static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu);
    XDestroyImage(image);
    return true;
}

void XProbe::focus(uintptr_t window) {
    XSetInputFocus(x(display_), window, RevertToPointerRoot, CurrentTime);
    XSync(x(display_), False);
}

void XProbe::focusFollowsPointer() {
    XSetInputFocus(x(display_), PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(x(display_), False);
}

uintptr_t XProbe::rootWindow() {
    return DefaultRootWindow(x(display_));
}

void XProbe::raise(uintptr_t window) {
    XRaiseWindow(x(display_), window);
    XSync(x(display_), False);
}

FrameScript::FrameScript(engine::EngineDevice* device, std::vector<ScriptStep> steps, bool closeAtEnd)
    : device_(device), steps_(std::move(steps)), closeAtEnd_(closeAtEnd) {}

void FrameScript::onFrame() {
    if (failed_ || current_ >= steps_.size()) return;
    ScriptStep& step = steps_[current_];
    if (!started_) {
        started_ = true;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        if (step.action) step.action();
        return;
    }
    if (step.done()) {
        if (std::getenv("DEVICE_TEST_TRACE")) std::fprintf(stderr, "step done: %s\n", step.name.c_str());
        ++current_;
        started_ = false;
        if (current_ == steps_.size() && closeAtEnd_) device_->closeDevice();
        return;
    }
    if (std::chrono::steady_clock::now() > deadline_) {
        ADD_FAILURE() << "timed out at step: " << step.name;
        failed_ = true;
        device_->closeDevice();
    }
}

}  // namespace device_test
