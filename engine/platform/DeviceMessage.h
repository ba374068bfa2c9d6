#pragma once
// The messages of the device's window: what the windowing layer reports, in the
// order it happened, for the device's window procedure. The run loop takes one
// message per pass from the device's queue.
#include <cstdint>
#include <deque>

namespace engine {

enum class DeviceMessageType : uint8_t {
    Quit,          // ends the run loop
    Destroy,       // the window was destroyed
    Size,          // minimised (flag set), or shown again / resized (flag clear)
    Focus,         // the window gained (flag set) or lost the keyboard focus
    Activation,    // the application came to the foreground (flag set) or left it
    Paint,         // the window needs drawing
    KeyDown,
    KeyUp,
    MouseMove,
    ButtonDown,
    ButtonUp,
    MouseWheel,
    CloseRequest,  // the player asked the window manager to close the window
};

enum class MouseButton : uint8_t { Left, Right, Middle };

struct DeviceMessage {
    DeviceMessageType type = DeviceMessageType::Quit;
    bool flag = false;
    // Mouse messages: client-area pixels (negative or beyond the size while a
    // button is held and the pointer is outside).
    int32_t x = 0;
    int32_t y = 0;
    MouseButton button = MouseButton::Left;
    // Wheel notches, positive away from the user.
    float wheel = 0.f;
    // Key messages: the Windows virtual-key code, the typed character (a
    // UTF-16 unit or 0) and the modifiers down at that moment.
    int32_t key = 0;
    int32_t character = 0;
    bool shift = false;
    bool control = false;

    static DeviceMessage make(DeviceMessageType type, bool flag = false) {
        DeviceMessage m;
        m.type = type;
        m.flag = flag;
        return m;
    }
};

// Oldest first.
class DeviceMessageQueue {
public:
    void post(const DeviceMessage& message) { messages_.push_back(message); }
    bool empty() const { return messages_.empty(); }
    size_t size() const { return messages_.size(); }
    bool take(DeviceMessage& message) {
        if (messages_.empty()) return false;
        message = messages_.front();
        messages_.pop_front();
        return true;
    }
    bool contains(DeviceMessageType type) const {
        for (const DeviceMessage& m : messages_)
            if (m.type == type) return true;
        return false;
    }
    void remove(DeviceMessageType type) {
        for (auto it = messages_.begin(); it != messages_.end();)
            it = it->type == type ? messages_.erase(it) : it + 1;
    }
    void clear() { messages_.clear(); }

private:
    std::deque<DeviceMessage> messages_;
};

}  // namespace engine
