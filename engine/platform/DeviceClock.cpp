#include "engine/platform/DeviceClock.h"

#include <cerrno>
#include <chrono>
#include <ctime>

namespace engine {

namespace {
int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

SystemDeviceClock::SystemDeviceClock() : startNs_(steadyNs()) {}

uint32_t SystemDeviceClock::getRealTime() {
    return static_cast<uint32_t>((steadyNs() - startNs_) / 1000000);
}

void SystemDeviceClock::sleep(uint32_t milliseconds) {
    timespec left;
    left.tv_sec = milliseconds / 1000;
    left.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    // A signal cuts nanosleep short; sleep the rest.
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

DeviceTimer::DeviceTimer(DeviceClock* clock) : clock_(CountedRef<DeviceClock>::share(clock)) {
    lastRealTime_ = getRealTime();
}

DeviceTimer::~DeviceTimer() = default;

uint32_t DeviceTimer::getRealTime() const {
    return clock_ ? clock_->getRealTime() : 0;
}

void DeviceTimer::tick() {
    if (stopped_) return;
    const uint32_t now = getRealTime();
    time_ += now - lastRealTime_;
    lastRealTime_ = now;
}

void DeviceTimer::stop() {
    stopped_ = true;
}

void DeviceTimer::start() {
    if (!stopped_) return;
    stopped_ = false;
    lastRealTime_ = getRealTime();
}

}  // namespace engine
