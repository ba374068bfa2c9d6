#pragma once
// Fixtures for the device tests: a clock the test moves, a receiver that
// records what it is offered, a display host over Irrlicht's null driver
// that acts as a window whose messages and state the test scripts, and the
// managers and frame drawing of the game object.
#include "engine/content/CContentManager.h"
#include "engine/core/Event.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/DisplayHost.h"
#include "engine/platform/EngineDevice.h"

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace device_test {

// Real time is `now`; sleeping records the length and calls onSleep (which
// may move the time on, post messages or close the device).
class FakeClock : public engine::DeviceClock {
public:
    uint32_t getRealTime() override { return now; }
    void sleep(uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        if (onSleep) onSleep(milliseconds);
    }

    uint32_t now = 1000;
    std::vector<uint32_t> sleeps;
    std::function<void(uint32_t)> onSleep;
};

// What a receiver saw of one event.
struct Seen {
    int32_t type = 0;
    uint32_t elapsed = 0;  // update events
    int32_t x = 0, y = 0;  // mouse events
    float wheel = 0.f;
    int32_t character = 0, key = 0;
    bool shift = false, control = false;
    bool flag = false;  // focus, activation
    irr::video::IVideoDriver* driver = nullptr;  // driver-created events
};

Seen describe(engine::Event* event);

// Records every event offered to it, in a journal shared with other receivers
// when one is given ("name:type"). Answers true for the types in `handles`,
// or what onEvent answers when it is set.
class RecordingReceiver : public engine::EventReceiver {
public:
    explicit RecordingReceiver(std::string name = "r", std::vector<std::string>* journal = nullptr,
                               int32_t mask = ~0);
    bool handleEvent(engine::Event* event) override;

    size_t count(int32_t type) const;
    std::vector<uint32_t> updates() const;  // elapsed times, in order
    const Seen* last(int32_t type) const;

    std::string name;
    std::vector<std::string>* journal;
    std::vector<Seen> seen;
    std::set<int32_t> handles;
    std::function<bool(engine::Event*)> onEvent;
};

// A display host with Irrlicht's null driver. With a window it pretends to be
// one: scripted messages come out of the pump, the pointer and window state
// are plain fields, and every window operation is written to the journal.
class FakeDisplayHost : public engine::DisplayHost {
public:
    FakeDisplayHost(int32_t driverType, bool window, std::vector<std::string>* journal, uintptr_t handle);
    ~FakeDisplayHost() override;

    irr::video::IVideoDriver* getVideoDriver() const override;
    bool hasWindow() const override { return window_; }
    uintptr_t getWindowHandle() const override { return window_ ? handle_ : 0; }
    void pumpMessages(engine::DeviceMessageQueue& queue, bool wait) override;
    void setCaption(const engine::stringw& caption) override;
    void setResizable(bool resizable) override;
    bool isFocused() const override { return focused; }
    bool isMinimized() const override { return minimized; }
    void minimize() override;
    void placeWindow(int32_t width, int32_t height, bool fullscreen) override;
    void activate() override;
    void hide() override;
    irr::core::dimension2d<irr::u32> getClientSize() const override { return clientSize; }
    bool getCursorPosition(int32_t& x, int32_t& y) override;
    void setCursorPosition(int32_t x, int32_t y) override;
    bool setCursorImage(const engine::Image* image, int32_t hotSpotX, int32_t hotSpotY) override;
    bool setGammaRamp(float, float, float, float, float) override { return false; }
    bool getGammaRamp(float&, float&, float&, float&, float&) override { return false; }

    int32_t driverType;
    std::deque<engine::DeviceMessage> script;  // handed out one batch per pump
    std::function<void()> onBlockingPump;      // called when the pump is asked to wait with nothing scripted
    int pumps = 0;
    int blockingPumps = 0;
    bool focused = false;
    bool minimized = false;
    bool hidden = false;
    int32_t pointerX = 0, pointerY = 0;
    irr::core::dimension2d<irr::u32> clientSize;
    engine::stringw caption;
    const engine::Image* cursorImage = nullptr;

private:
    void note(const std::string& text);
    engine::IrrRef<irr::IrrlichtDevice> device_;
    bool window_;
    std::vector<std::string>* journal_;
    uintptr_t handle_;
};

// Makes fake hosts: windows for driver types 1 to 3 (unless `windows` is
// off), nothing for the types in `failing`. The screen is 1920 x 1080.
class FakeDisplayFactory : public engine::DisplayHostFactory {
public:
    engine::DisplayHost* createHost(const engine::DeviceParameters& parameters) override;
    void fillVideoModes(engine::VideoModeList& list) override;

    std::vector<std::string> journal;
    std::set<int32_t> failing;
    bool windows = true;
    std::vector<engine::DeviceParameters> requests;
    FakeDisplayHost* current = nullptr;  // the last host made (not counted)
    std::function<void(FakeDisplayHost&)> onCreate;
    uintptr_t nextHandle = 0x100;
};

// The managers the game makes once its window exists: the content manager
// (order 1), two timer schedulers (order 2 each) and two scene managers with
// draw-list sorting on, the first attached to the first scheduler and
// registered at order 2, the second attached to the second scheduler, not
// registered, and placed at depth -4000. They must go before the device.
struct GameManagers {
    explicit GameManagers(engine::EngineDevice* device);
    // Unregisters everything and drops the managers (their scenes with them).
    ~GameManagers();
    GameManagers(const GameManagers&) = delete;
    GameManagers& operator=(const GameManagers&) = delete;

    engine::EngineDevice* device;
    engine::CountedRef<engine::CContentManager> content;
    engine::CountedRef<engine::TimerScheduler> schedulers[2];
    engine::CountedRef<engine::SceneManager> scenes[2];
};

// Stands in for the game object (register it at order 0): on a new driver it
// turns mip-maps off, as the game does; on each render event it begins the
// frame with `clear`, lets each of `managers` draw its scenes, runs
// `beforeEnd` (where the back buffer can be read), ends the frame and calls
// `onFrame`. It handles nothing.
class FrameDrawer : public engine::EventReceiver {
public:
    explicit FrameDrawer(engine::EngineDevice* device);
    bool handleEvent(engine::Event* event) override;

    std::vector<engine::SceneManager*> managers;  // not counted
    irr::video::SColor clear{255, 0, 0, 0};
    std::function<void()> beforeEnd;
    std::function<void()> onFrame;
    size_t frames = 0;

private:
    engine::EngineDevice* device_;
};

// The device's services over a fake clock and, when given, a fake factory.
engine::DeviceServices services(FakeClock* clock, FakeDisplayFactory* displays = nullptr);

// Spawns a program with its arguments (no shell)
// and waits for it; the exit status, or -1 when it could not start.
int runProgram(const std::vector<std::string>& arguments);

}  // namespace device_test
