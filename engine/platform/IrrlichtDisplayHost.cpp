#include "engine/platform/IrrlichtDisplayHost.h"
#include "engine/core/Logger.h"
#include "engine/platform/Image.h"
#include "engine/platform/TypedCharacter.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/Xcursor/Xcursor.h>
// For XESetWireToEvent; its min and max macros are not wanted here.
#include <X11/Xlibint.h>
#undef min
#undef max
#include <dlfcn.h>
#include <link.h>
#include <malloc.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace engine {

namespace {

// Mesa's software rasteriser (llvmpipe, the OpenGL of machines without a GPU
// and of Xvfb) allocates its vertex and binning memory for each frame on the
// main heap and frees it when the frame is shown. With glibc's defaults the
// freed top of the heap goes back to the kernel every frame and comes back as
// fresh page faults in the next (milliseconds a frame), and blocks above the
// dynamic mmap threshold are mapped and unmapped at each draw. Keep such
// memory in the process: blocks below 32 MiB come from the heap, and up to
// 64 MiB of free heap top is kept.
void keepFrameMemory() {
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    (void)done;
}

// Mesa's driver (".../dri/swrast_dri.so") keeps blocks for the life of the
// process, reachable from its own data; the GL library unloads it at exit,
// after which a leak checker sees those blocks as lost and cannot even name
// the module they came from. Once an OpenGL window exists the loaded driver is
// kept until the process ends (RTLD_NODELETE), which also spares reloading it
// for the next window.
void keepGlDriverLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            const std::string suffix = "_dri.so";
            if (name.find("/dri/") != std::string::npos && name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                // Takes a reference only to an already loaded module.
                dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

Display* xDisplay(void* display) {
    return static_cast<Display*>(display);
}

// ---- The window manager's close request ----------------------------------
//
// Irrlicht ends its device for good when it sees WM_DELETE_WINDOW. The
// request is therefore taken out while Xlib reads it from the connection,
// before it reaches any event queue, and handed to the host instead.

using WireToEvent = Bool (*)(Display*, XEvent*, xEvent*);

struct CloseFilter {
    Display* display;
    Window window;
    Atom protocols;
    Atom deleteWindow;
    IrrlichtDisplayHost* host;
    WireToEvent previous;
};

// Never destroyed: the process-wide device may release its window from an
// exit handler that runs after the static objects made later are gone.
std::vector<CloseFilter>& closeFilters() {
    static std::vector<CloseFilter>* filters = new std::vector<CloseFilter>();
    return *filters;
}

Bool filterCloseRequest(Display* display, XEvent* converted, xEvent* wire) {
    for (const CloseFilter& filter : closeFilters()) {
        if (filter.display != display) continue;
        const Bool keep = filter.previous ? filter.previous(display, converted, wire) : True;
        if (keep && converted->type == ClientMessage && converted->xclient.window == filter.window &&
            converted->xclient.message_type == filter.protocols &&
            static_cast<Atom>(converted->xclient.data.l[0]) == filter.deleteWindow) {
            filter.host->noteCloseRequest();
            return False;
        }
        return keep;
    }
    return True;
}

void installCloseFilter(const CloseFilter& filter) {
    CloseFilter entry = filter;
    entry.previous = XESetWireToEvent(filter.display, ClientMessage, filterCloseRequest);
    if (entry.previous == filterCloseRequest) entry.previous = nullptr;
    closeFilters().push_back(entry);
}

void removeCloseFilter(IrrlichtDisplayHost* host) {
    auto& filters = closeFilters();
    for (auto it = filters.begin(); it != filters.end(); ++it) {
        if (it->host != host) continue;
        XESetWireToEvent(it->display, ClientMessage, it->previous ? it->previous : _XWireToEvent);
        filters.erase(it);
        return;
    }
}

// ---- Translation ------------------------------------------------------------

// Windows reports the shift, control and menu keys without their side.
int32_t windowsKey(irr::EKEY_CODE key) {
    switch (key) {
    case irr::KEY_LSHIFT:
    case irr::KEY_RSHIFT:
        return irr::KEY_SHIFT;
    case irr::KEY_LCONTROL:
    case irr::KEY_RCONTROL:
        return irr::KEY_CONTROL;
    case irr::KEY_LMENU:
    case irr::KEY_RMENU:
        return irr::KEY_MENU;
    default:
        return key;
    }
}

int32_t logLevelOf(irr::ELOG_LEVEL level) {
    switch (level) {
    case irr::ELL_ERROR:
        return LOG_ERROR;
    case irr::ELL_WARNING:
        return LOG_WARNING;
    case irr::ELL_DEBUG:
        return LOG_DEBUG;
    default:
        return LOG_INFO;
    }
}

std::string toUtf8(const stringw& text) {
    std::string out;
    for (irr::u32 i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Xlib's own handler ends the process on any protocol error. Some requests
// a window makes are refused by some servers without harm (Xvfb's GLX refuses
// the swap interval that vertical sync asks for): such an error is logged and
// the program goes on.
int logXError(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof(text) - 1);
    const std::string message = std::string("X request refused: ") + text + " (request " +
                                std::to_string(static_cast<int>(error->request_code)) + "." +
                                std::to_string(static_cast<int>(error->minor_code)) + ")";
    getLogger().log(message.c_str(), LOG_WARNING);
    return 0;
}

irr::SIrrlichtCreationParameters irrlichtParameters(const DeviceParameters& p, irr::IEventReceiver* receiver) {
    irr::SIrrlichtCreationParameters irr;
    irr.DriverType = p.driverType == VideoDriverType::Null ? irr::video::EDT_NULL : irr::video::EDT_OPENGL;
    irr.WindowSize = irr::core::dimension2d<irr::u32>(static_cast<irr::u32>(std::max(1, p.windowWidth)),
                                                      static_cast<irr::u32>(std::max(1, p.windowHeight)));
    irr.Bits = static_cast<irr::u8>(p.colorBits);
    // The window has no depth buffer, whatever zBufferBits asks (the
    // parameters keep the value for whoever reads them). Everything is drawn
    // in 2D in the order of the sorted draw list with the depth test off, so
    // a depth buffer is never read; while one exists, Mesa's software
    // rasteriser leaves its fast path for screen-aligned rectangles, and
    // sprite scenes take about half as long again to draw.
    irr.ZBufferBits = 0;
    // Irrlicht's own full screen switches the display mode and grabs the
    // pointer; the device asks the window manager instead.
    irr.Fullscreen = false;
    irr.Stencilbuffer = p.stencilBuffer;
    irr.Vsync = p.vsync;
    irr.AntiAlias = p.antiAlias;
    irr.WithAlphaChannel = p.withAlphaChannel;
    irr.Doublebuffer = p.doubleBuffer;
    irr.IgnoreInput = p.ignoreInput;
    irr.Stereobuffer = p.stereoBuffer;
    irr.HighPrecisionFPU = p.highPrecisionFPU;
    irr.EventReceiver = receiver;
    irr.WindowId = reinterpret_cast<void*>(p.windowHandle);
    irr.LoggingLevel = irr::ELL_WARNING;
    return irr;
}

}  // namespace

// ---- Creation -------------------------------------------------------------

IrrlichtDisplayHost* IrrlichtDisplayHost::create(const DeviceParameters& parameters) {
    static const XErrorHandler systemHandler = XSetErrorHandler(logXError);
    (void)systemHandler;
    CountedRef<IrrlichtDisplayHost> host(new IrrlichtDisplayHost());
    const irr::SIrrlichtCreationParameters irrParameters = irrlichtParameters(parameters, host.get());
    if (irrParameters.DriverType == irr::video::EDT_OPENGL) keepFrameMemory();
    host->device_.reset(irr::createDeviceEx(irrParameters));
    irr::video::IVideoDriver* driver = host->device_ ? host->device_->getVideoDriver() : nullptr;
    if (!driver || driver->getDriverType() != irrParameters.DriverType) return nullptr;
    host->external_ = parameters.windowHandle != 0;
    if (irrParameters.DriverType == irr::video::EDT_NULL) {
        host->window_ = parameters.windowHandle;
    } else if (!host->attachWindow()) {
        return nullptr;
    } else {
        keepGlDriverLoaded();
    }
    host->resizable_ = false;
    if (host->display_ && !host->external_) host->setSizeHints(parameters.windowWidth, parameters.windowHeight);
    return host.detach();
}

bool IrrlichtDisplayHost::attachWindow() {
    const irr::video::SExposedVideoData& data = device_->getVideoDriver()->getExposedVideoData();
    display_ = data.OpenGLLinux.X11Display;
    window_ = static_cast<uintptr_t>(data.OpenGLLinux.X11Window);
    if (!display_ || !window_) return false;
    Display* display = xDisplay(display_);
    atomProtocols_ = XInternAtom(display, "WM_PROTOCOLS", False);
    atomDeleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!external_) {
        Atom deleteWindow = atomDeleteWindow_;
        XSetWMProtocols(display, window_, &deleteWindow, 1);
        installCloseFilter({display, static_cast<Window>(window_), atomProtocols_, atomDeleteWindow_, this, nullptr});
    }
    lastFocused_ = device_->isWindowFocused();
    lastMinimized_ = device_->isWindowMinimized();
    lastActive_ = device_->isWindowActive();
    lastSize_ = device_->getVideoDriver()->getScreenSize();
    XFlush(display);
    return true;
}

IrrlichtDisplayHost::~IrrlichtDisplayHost() {
    freeCursor();
    removeCloseFilter(this);
    device_.reset();
}

irr::video::IVideoDriver* IrrlichtDisplayHost::getVideoDriver() const {
    return device_ ? device_->getVideoDriver() : nullptr;
}

// ---- Events ---------------------------------------------------------------

bool IrrlichtDisplayHost::OnEvent(const irr::SEvent& event) {
    switch (event.EventType) {
    case irr::EET_LOG_TEXT_EVENT:
        getLogger().log(event.LogEvent.Text, logLevelOf(event.LogEvent.Level));
        return true;
    case irr::EET_KEY_INPUT_EVENT: {
        DeviceMessage m;
        m.type = event.KeyInput.PressedDown ? DeviceMessageType::KeyDown : DeviceMessageType::KeyUp;
        m.key = windowsKey(event.KeyInput.Key);
        // X types the delete character for the Delete key; Windows types none.
        m.character = m.key == irr::KEY_DELETE ? 0 : typedCharacter(static_cast<uint32_t>(event.KeyInput.Char));
        // X reports the modifiers as they were before the event.
        m.shift = event.KeyInput.Shift || (event.KeyInput.PressedDown && m.key == irr::KEY_SHIFT);
        m.control = event.KeyInput.Control || (event.KeyInput.PressedDown && m.key == irr::KEY_CONTROL);
        collected_.post(m);
        return true;
    }
    case irr::EET_MOUSE_INPUT_EVENT: {
        DeviceMessage m;
        m.x = event.MouseInput.X;
        m.y = event.MouseInput.Y;
        switch (event.MouseInput.Event) {
        case irr::EMIE_MOUSE_MOVED:
            m.type = DeviceMessageType::MouseMove;
            break;
        case irr::EMIE_LMOUSE_PRESSED_DOWN:
        case irr::EMIE_RMOUSE_PRESSED_DOWN:
        case irr::EMIE_MMOUSE_PRESSED_DOWN:
            m.type = DeviceMessageType::ButtonDown;
            m.button = event.MouseInput.Event == irr::EMIE_LMOUSE_PRESSED_DOWN   ? MouseButton::Left
                       : event.MouseInput.Event == irr::EMIE_RMOUSE_PRESSED_DOWN ? MouseButton::Right
                                                                                 : MouseButton::Middle;
            break;
        case irr::EMIE_LMOUSE_LEFT_UP:
        case irr::EMIE_RMOUSE_LEFT_UP:
        case irr::EMIE_MMOUSE_LEFT_UP:
            m.type = DeviceMessageType::ButtonUp;
            m.button = event.MouseInput.Event == irr::EMIE_LMOUSE_LEFT_UP   ? MouseButton::Left
                       : event.MouseInput.Event == irr::EMIE_RMOUSE_LEFT_UP ? MouseButton::Right
                                                                            : MouseButton::Middle;
            break;
        case irr::EMIE_MOUSE_WHEEL:
            m.type = DeviceMessageType::MouseWheel;
            m.wheel = event.MouseInput.Wheel;
            break;
        default:
            return true;  // double and triple clicks: each press is reported on its own
        }
        collected_.post(m);
        return true;
    }
    default:
        return false;
    }
}

void IrrlichtDisplayHost::noteCloseRequest() {
    if (!hidden_) collected_.post(DeviceMessage::make(DeviceMessageType::CloseRequest));
}

void IrrlichtDisplayHost::takeClientEvents() {
    Display* display = xDisplay(display_);
    XEvent event;
    bool exposed = false;
    while (XCheckTypedWindowEvent(display, window_, Expose, &event)) exposed = true;
    if (exposed) collected_.post(DeviceMessage::make(DeviceMessageType::Paint));
}

void IrrlichtDisplayHost::pollWindowState() {
    const bool focused = device_->isWindowFocused();
    const bool minimized = device_->isWindowMinimized();
    const bool active = device_->isWindowActive();
    if (minimized != lastMinimized_) collected_.post(DeviceMessage::make(DeviceMessageType::Size, minimized));
    if (focused != lastFocused_)
        collected_.post(DeviceMessage::make(DeviceMessageType::Focus, focused && !minimized));
    if (active != lastActive_) collected_.post(DeviceMessage::make(DeviceMessageType::Activation, active));
    const irr::core::dimension2d<irr::u32> size = device_->getVideoDriver()->getScreenSize();
    if (size != lastSize_ && !minimized) collected_.post(DeviceMessage::make(DeviceMessageType::Size, false));
    lastFocused_ = focused;
    lastMinimized_ = minimized;
    lastActive_ = active;
    lastSize_ = size;
}

void IrrlichtDisplayHost::waitForEvents() {
    Display* display = xDisplay(display_);
    // Reading the connection may already have produced a close request.
    if (XPending(display) > 0 || !collected_.empty()) return;
    pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
    while (poll(&descriptor, 1, -1) < 0 && errno == EINTR) {
    }
}

void IrrlichtDisplayHost::pumpMessages(DeviceMessageQueue& queue, bool wait) {
    if (hidden_ || !device_) return;
    const bool ownWindow = display_ && !external_;
    for (;;) {
        if (ownWindow) {
            takeClientEvents();
            device_->run();
            pollWindowState();
        }
        const bool any = !collected_.empty();
        DeviceMessage message;
        while (collected_.take(message)) queue.post(message);
        if (!wait || any || !ownWindow || hidden_) return;
        waitForEvents();
    }
}

// ---- Window operations ----------------------------------------------------

void IrrlichtDisplayHost::setCaption(const stringw& caption) {
    if (!display_) return;
    device_->setWindowCaption(caption.c_str());
    // Window managers show the UTF-8 name whatever the locale.
    Display* display = xDisplay(display_);
    const std::string utf8 = toUtf8(caption);
    XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XFlush(display);
}

void IrrlichtDisplayHost::setSizeHints(int32_t width, int32_t height) {
    Display* display = xDisplay(display_);
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PPosition | PSize;
    hints->width = width;
    hints->height = height;
    if (!resizable_) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
    }
    XSetWMNormalHints(display, window_, hints);
    XFree(hints);
}

void IrrlichtDisplayHost::setResizable(bool resizable) {
    if (!display_ || external_) return;
    resizable_ = resizable;
    const irr::core::dimension2d<irr::u32> size = getClientSize();
    setSizeHints(static_cast<int32_t>(size.Width), static_cast<int32_t>(size.Height));
    XFlush(xDisplay(display_));
}

bool IrrlichtDisplayHost::isFocused() const {
    return display_ && device_->isWindowFocused();
}

bool IrrlichtDisplayHost::isMinimized() const {
    return display_ && device_->isWindowMinimized();
}

void IrrlichtDisplayHost::minimize() {
    if (display_) device_->minimizeWindow();
}

void IrrlichtDisplayHost::sendToRoot(unsigned long messageType, long l0, long l1, long l2, long l3) {
    Display* display = xDisplay(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = messageType;
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void IrrlichtDisplayHost::requestFullscreenState(bool fullscreen) {
    Display* display = xDisplay(display_);
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom full = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    sendToRoot(state, fullscreen ? 1 : 0, static_cast<long>(full), 0, 1);
}

void IrrlichtDisplayHost::placeWindow(int32_t width, int32_t height, bool fullscreen) {
    if (!display_ || external_) return;
    Display* display = xDisplay(display_);
    const int screen = DefaultScreen(display);
    int x = 0;
    int y = 0;
    if (!fullscreen) {
        x = (DisplayWidth(display, screen) - width) / 2;
        y = (DisplayHeight(display, screen) - height) / 2;
    }
    setSizeHints(width, height);
    XMoveResizeWindow(display, window_, x, y, static_cast<unsigned>(std::max(1, width)),
                      static_cast<unsigned>(std::max(1, height)));
    requestFullscreenState(fullscreen);
    XFlush(display);
}

void IrrlichtDisplayHost::activate() {
    if (!display_ || external_) return;
    Display* display = xDisplay(display_);
    XRaiseWindow(display, window_);
    sendToRoot(XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 1, CurrentTime, 0, 0);
    XFlush(display);
}

void IrrlichtDisplayHost::hide() {
    if (hidden_) return;
    hidden_ = true;
    collected_.clear();
    if (!display_ || external_) return;
    Display* display = xDisplay(display_);
    freeCursor();
    XUnmapWindow(display, window_);
    XSync(display, False);
}

irr::core::dimension2d<irr::u32> IrrlichtDisplayHost::getClientSize() const {
    irr::video::IVideoDriver* driver = getVideoDriver();
    return driver ? driver->getScreenSize() : irr::core::dimension2d<irr::u32>();
}

bool IrrlichtDisplayHost::getCursorPosition(int32_t& x, int32_t& y) {
    if (!display_ || hidden_) return false;
    Window root;
    Window child;
    int rootX;
    int rootY;
    int windowX;
    int windowY;
    unsigned int mask;
    if (!XQueryPointer(xDisplay(display_), window_, &root, &child, &rootX, &rootY, &windowX, &windowY, &mask))
        return false;
    x = windowX;
    y = windowY;
    return true;
}

void IrrlichtDisplayHost::setCursorPosition(int32_t x, int32_t y) {
    if (!display_ || hidden_) return;
    XWarpPointer(xDisplay(display_), None, window_, 0, 0, 0, 0, x, y);
    XFlush(xDisplay(display_));
}

void IrrlichtDisplayHost::freeCursor() {
    if (cursor_ && display_) XFreeCursor(xDisplay(display_), cursor_);
    cursor_ = 0;
}

bool IrrlichtDisplayHost::setCursorImage(const Image* image, int32_t hotSpotX, int32_t hotSpotY) {
    if (!display_ || hidden_) return false;
    Display* display = xDisplay(display_);
    if (!image || !image->getData() || image->getWidth() <= 0 || image->getHeight() <= 0) {
        XUndefineCursor(display, window_);
        freeCursor();
        XFlush(display);
        return true;
    }
    const int32_t width = image->getWidth();
    const int32_t height = image->getHeight();
    XcursorImage* shape = XcursorImageCreate(width, height);
    if (!shape) return false;
    shape->xhot = static_cast<XcursorDim>(std::clamp(hotSpotX, 0, width - 1));
    shape->yhot = static_cast<XcursorDim>(std::clamp(hotSpotY, 0, height - 1));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            // Xcursor wants premultiplied ARGB.
            const uint32_t argb = image->getPixel(x, y);
            const uint32_t a = argb >> 24;
            const uint32_t r = ((argb >> 16) & 0xFF) * a / 255;
            const uint32_t g = ((argb >> 8) & 0xFF) * a / 255;
            const uint32_t b = (argb & 0xFF) * a / 255;
            shape->pixels[y * width + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    const Cursor cursor = XcursorImageLoadCursor(display, shape);
    XcursorImageDestroy(shape);
    if (!cursor) return false;
    XDefineCursor(display, window_, cursor);
    freeCursor();
    cursor_ = cursor;
    XFlush(display);
    return true;
}

bool IrrlichtDisplayHost::setGammaRamp(float red, float green, float blue, float brightness, float contrast) {
    return display_ && device_->setGammaRamp(red, green, blue, brightness, contrast);
}

bool IrrlichtDisplayHost::getGammaRamp(float& red, float& green, float& blue, float& brightness, float& contrast) {
    return display_ && device_->getGammaRamp(red, green, blue, brightness, contrast);
}

// ---- Factory --------------------------------------------------------------

IrrlichtDisplayHostFactory::~IrrlichtDisplayHostFactory() { closeScreenConnection(); }

DisplayHost* IrrlichtDisplayHostFactory::createHost(const DeviceParameters& parameters) {
    DisplayHost* host = IrrlichtDisplayHost::create(parameters);
    // The host holds its own connection now (or failed to get one).
    closeScreenConnection();
    return host;
}

void IrrlichtDisplayHostFactory::closeScreenConnection() {
    if (screenConnection_) XCloseDisplay(static_cast<Display*>(screenConnection_));
    screenConnection_ = nullptr;
}

void IrrlichtDisplayHostFactory::fillVideoModes(VideoModeList& list) {
    if (!screenConnection_) screenConnection_ = XOpenDisplay(nullptr);
    Display* display = static_cast<Display*>(screenConnection_);
    if (!display) return;
    const int screen = DefaultScreen(display);
    const int32_t width = DisplayWidth(display, screen);
    const int32_t height = DisplayHeight(display, screen);
    const int32_t depth = DefaultDepth(display, screen);
    if (width <= 0 || height <= 0) return;
    // The desktop is the one mode: the device never switches modes.
    list.addMode(width, height, depth);
    list.setDesktopMode(width, height, depth);
}

}  // namespace engine
