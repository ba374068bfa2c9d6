#include "engine/platform/Thread.h"
#include "engine/core/Logger.h"
#include <cerrno>
#include <system_error>
#include <time.h>

namespace engine {

Thread::Thread() : lock_(new Mutex()) {}

Thread::Thread(StartFunction function, void* argument) : function_(function), argument_(argument), lock_(new Mutex()) {}

Thread::~Thread() { join(); }

bool Thread::start() {
    if (thread_.joinable()) return false;
    stopRequested_ = false;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        getLogger().log("Failed to create thread.", LOG_ERROR);
        return false;
    }
    return true;
}

int32_t Thread::run() { return function_ ? function_(argument_) : 0; }

void Thread::join() {
    if (thread_.joinable()) thread_.join();
}

void sleepMs(uint32_t milliseconds) {
    timespec remaining;
    remaining.tv_sec = milliseconds / 1000;
    remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    // A signal cuts the sleep short; sleep the rest.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

}  // namespace engine
