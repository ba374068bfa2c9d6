#include "engine/platform/SingleInstance.h"
#include "engine/core/Logger.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace engine {

namespace {

// Swallows X errors (BadWindow for a stale id) while the guard talks to the server.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

std::string SingleInstanceGuard::lockPathFor(const char* name) {
    std::string safe;
    for (const char* p = name ? name : ""; *p; ++p) {
        const char c = *p;
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.';
        safe += plain ? c : '_';
    }
    if (safe.empty() || safe[0] == '.') safe.insert(0, "instance");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/" + safe + ".lock";
    return "/tmp/" + safe + "-" + std::to_string(static_cast<unsigned long>(::getuid())) + ".lock";
}

SingleInstanceGuard::SingleInstanceGuard(const char* name) : path_(lockPathFor(name)) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        logError(("Could not open the instance lock " + path_ + ": " + std::strerror(errno) +
                  "; running as the only instance")
                     .c_str());
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Ours: no window yet.
        const uint64_t none = 0;
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, &none, sizeof none, 0) != static_cast<ssize_t>(sizeof none))
            logWarning(("Could not clear the instance lock " + path_).c_str());
        fd_ = fd;
        return;
    }
    const int lockError = errno;
    if (lockError == EWOULDBLOCK) {
        otherInstance_ = true;
        uint64_t window = 0;
        if (::pread(fd, &window, sizeof window, 0) == static_cast<ssize_t>(sizeof window) && window != 0)
            raiseWindow(window);
    } else {
        logError(("Could not lock " + path_ + ": " + std::strerror(lockError) + "; running as the only instance")
                     .c_str());
    }
    ::close(fd);
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (fd_ >= 0) ::close(fd_);
}

void SingleInstanceGuard::setWindow(uintptr_t window) {
    if (fd_ < 0) return;
    const uint64_t value = window;
    if (::pwrite(fd_, &value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
        logWarning(("Could not store the window in the instance lock " + path_).c_str());
        return;
    }
    ::fsync(fd_);
}

bool SingleInstanceGuard::raiseWindow(uint64_t id) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XErrorHandler previous = XSetErrorHandler(ignoreXError);
    const Window window = static_cast<Window>(id);
    XWindowAttributes attributes;
    const bool exists = XGetWindowAttributes(display, window, &attributes) != 0;
    if (exists) {
        // A minimised window is mapped again before it is activated.
        if (attributes.map_state != IsViewable) XMapRaised(display, window);
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;  // from a pager-like tool: honoured without a user timestamp
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, attributes.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XRaiseWindow(display, window);
        XSync(display, False);
    }
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return exists;
}

}  // namespace engine
