#pragma once
// Keeps a second start of the program from running and brings the first
// instance's window forward.
//
// The first instance holds an flock()ed lock file for its whole life; the
// file's first 8 bytes hold its X11 window id (0 until the window exists). The
// lock lives in $XDG_RUNTIME_DIR, else in /tmp with the user id in the name. A
// later start that finds the lock taken reads the id and asks the window
// manager to activate that window (_NET_ACTIVE_WINDOW), mapping it when it is
// minimised; an id whose window no longer exists is ignored. The lock goes
// with the process, so a crashed instance never blocks the next start.
//
// When the lock file cannot be made or locked (no writable runtime folder, a
// file system without locks), the failure is logged and the program runs as
// the only instance: a guard that cannot tell must not keep the game from
// starting.
#include "engine/core/Types.h"
#include <cstdint>
#include <string>

namespace engine {

class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const char* name);
    ~SingleInstanceGuard();

    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True only when another running instance holds the lock.
    bool isSecondInstance() const { return otherInstance_; }
    // Stores the window id for later starts, when the lock is held.
    void setWindow(uintptr_t window);

    const std::string& getLockPath() const { return path_; }

    // The lock file used for a name.
    static std::string lockPathFor(const char* name);
    // Asks the window manager to bring the window forward; false when there is
    // no display or no such window.
    static bool raiseWindow(uint64_t window);

private:
    int fd_ = -1;
    bool otherInstance_ = false;
    std::string path_;
};

}  // namespace engine
