// The device's window procedure and cursor control over a scripted window:
// what each window message becomes, close requests, resizing and the pointer.
#include "engine/platform/EngineDevice.h"
#include "platform/DeviceTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace engine;
using device_test::FakeClock;
using device_test::FakeDisplayFactory;
using device_test::FakeDisplayHost;
using device_test::RecordingReceiver;
using testing_support::LogCapture;

namespace {

DeviceMessage key(DeviceMessageType type, int32_t code, int32_t character, bool shift, bool control = false) {
    DeviceMessage m = DeviceMessage::make(type);
    m.key = code;
    m.character = character;
    m.shift = shift;
    m.control = control;
    return m;
}

DeviceMessage mouse(DeviceMessageType type, int32_t x, int32_t y, MouseButton button = MouseButton::Left,
                    float wheel = 0.f) {
    DeviceMessage m = DeviceMessage::make(type);
    m.x = x;
    m.y = y;
    m.button = button;
    m.wheel = wheel;
    return m;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeviceParameters p;
        p.driverType = VideoDriverType::OpenGL;
        p.windowWidth = 800;
        p.windowHeight = 600;
        device = CountedRef<EngineDevice>(createDevice(p, device_test::services(clock.get(), displays.get())));
        ASSERT_TRUE(device);
        host = displays->current;
        game = makeRef<RecordingReceiver>("game");
        device->addEventReceiver(game.get(), 0);
    }

    void send(const DeviceMessage& m) { device->windowProcedure(m); }
    bool journalHas(const std::string& entry) const {
        return std::find(displays->journal.begin(), displays->journal.end(), entry) != displays->journal.end();
    }

    LogCapture log;
    CountedRef<FakeClock> clock = makeRef<FakeClock>();
    CountedRef<FakeDisplayFactory> displays = makeRef<FakeDisplayFactory>();
    CountedRef<EngineDevice> device;
    FakeDisplayHost* host = nullptr;
    CountedRef<RecordingReceiver> game;
};

TEST_F(WindowTest, KeyUpsReportTheKeyboardAsTheLastKeyDownLeftIt) {
    send(key(DeviceMessageType::KeyDown, irr::KEY_SHIFT, 0, true));
    send(key(DeviceMessageType::KeyDown, 'A', 'A', true));
    send(key(DeviceMessageType::KeyUp, irr::KEY_SHIFT, 0, false));  // Shift released first
    send(key(DeviceMessageType::KeyUp, 'A', 0, false));
    send(key(DeviceMessageType::KeyDown, 'B', 2, false, true));  // Ctrl+B
    send(key(DeviceMessageType::KeyUp, 'B', 0, false, false));
    struct Expected {
        int32_t type, key, character;
        bool shift, control;
    };
    const Expected expected[] = {
        {EventId::KeyDownEvent, irr::KEY_SHIFT, 0, true, false}, {EventId::KeyDownEvent, 'A', 'A', true, false},
        {EventId::KeyUpEvent, irr::KEY_SHIFT, 0, true, false},   {EventId::KeyUpEvent, 'A', 'A', true, false},
        {EventId::KeyDownEvent, 'B', 2, false, true},            {EventId::KeyUpEvent, 'B', 2, false, true},
    };
    ASSERT_EQ(game->seen.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_EQ(game->seen[i].type, expected[i].type);
        EXPECT_EQ(game->seen[i].key, expected[i].key);
        EXPECT_EQ(game->seen[i].character, expected[i].character);
        EXPECT_EQ(game->seen[i].shift, expected[i].shift);
        EXPECT_EQ(game->seen[i].control, expected[i].control);
    }
}

TEST_F(WindowTest, MouseMessagesBecomeMouseEventsInClientPixels) {
    send(mouse(DeviceMessageType::MouseMove, 10, 20));
    send(mouse(DeviceMessageType::ButtonDown, 10, 20, MouseButton::Left));
    send(mouse(DeviceMessageType::ButtonDown, 11, 21, MouseButton::Right));
    send(mouse(DeviceMessageType::ButtonDown, 12, 22, MouseButton::Middle));
    send(mouse(DeviceMessageType::ButtonUp, -30, 22, MouseButton::Left));  // released left of the window
    send(mouse(DeviceMessageType::ButtonUp, 13, 23, MouseButton::Right));
    send(mouse(DeviceMessageType::ButtonUp, 14, 900, MouseButton::Middle));
    send(mouse(DeviceMessageType::MouseWheel, 5, 6, MouseButton::Left, -1.f));
    const int32_t types[] = {EventId::MouseMoveEvent,        EventId::LeftButtonDownEvent, EventId::RightButtonDownEvent,
                             EventId::MiddleButtonDownEvent, EventId::LeftButtonUpEvent,   EventId::RightButtonUpEvent,
                             EventId::MiddleButtonUpEvent,   EventId::MouseWheelEvent};
    const int32_t xs[] = {10, 10, 11, 12, -30, 13, 14, 5};
    const int32_t ys[] = {20, 20, 21, 22, 22, 23, 900, 6};
    ASSERT_EQ(game->seen.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(game->seen[i].type, types[i]) << "event " << i;
        EXPECT_EQ(game->seen[i].x, xs[i]) << "event " << i;
        EXPECT_EQ(game->seen[i].y, ys[i]) << "event " << i;
    }
    EXPECT_EQ(game->seen[7].wheel, -1.f);
}

TEST_F(WindowTest, MovesNeedAShownWindowAndTheWheelAnActiveApplication) {
    send(DeviceMessage::make(DeviceMessageType::Size, true));  // minimised
    EXPECT_FALSE(device->isWindowShown());
    EXPECT_FALSE(device->isWindowActive());
    send(mouse(DeviceMessageType::MouseMove, 1, 1));
    send(mouse(DeviceMessageType::MouseWheel, 1, 1, MouseButton::Left, 1.f));
    EXPECT_TRUE(game->seen.empty());

    send(DeviceMessage::make(DeviceMessageType::Size, false));
    EXPECT_TRUE(device->isWindowShown());
    EXPECT_TRUE(device->isWindowActive());
    send(DeviceMessage::make(DeviceMessageType::Activation, false));
    send(mouse(DeviceMessageType::MouseMove, 2, 2));
    send(mouse(DeviceMessageType::MouseWheel, 2, 2, MouseButton::Left, 1.f));
    EXPECT_EQ(game->count(EventId::MouseMoveEvent), 1u);
    EXPECT_EQ(game->count(EventId::MouseWheelEvent), 0u);
    EXPECT_FALSE(journalHas("minimize"));  // only in full screen
}

TEST_F(WindowTest, FocusActivationAndPaint) {
    send(DeviceMessage::make(DeviceMessageType::Focus, true));
    send(DeviceMessage::make(DeviceMessageType::Paint));  // active: the loop draws anyway
    send(DeviceMessage::make(DeviceMessageType::Activation, false));
    send(DeviceMessage::make(DeviceMessageType::Paint));
    send(DeviceMessage::make(DeviceMessageType::Focus, false));
    send(DeviceMessage::make(DeviceMessageType::Activation, true));
    std::vector<int32_t> types;
    for (const auto& s : game->seen) types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<int32_t>{EventId::WindowFocusEvent, EventId::ApplicationActivationEvent,
                                           EventId::RenderEvent, EventId::WindowFocusEvent,
                                           EventId::ApplicationActivationEvent}));
    EXPECT_TRUE(game->seen[0].flag);
    EXPECT_FALSE(game->seen[1].flag);
    EXPECT_FALSE(game->seen[3].flag);
    EXPECT_TRUE(game->seen[4].flag);
    EXPECT_TRUE(device->isWindowActive());
}

TEST_F(WindowTest, AHandledCloseRequestKeepsTheWindow) {
    game->handles = {EventId::CEventSystemFlowCloseRequest};
    send(DeviceMessage::make(DeviceMessageType::CloseRequest));
    EXPECT_TRUE(log.contains("SC_CLOSE command received"));
    EXPECT_FALSE(host->hidden);
    EXPECT_EQ(game->count(EventId::ApplicationCloseEvent), 0u);
    EXPECT_TRUE(device->getMessageQueue().empty());
}

TEST_F(WindowTest, AnUnhandledCloseRequestDestroysTheWindowAndEndsTheLoop) {
    game->onEvent = [&](Event* event) {
        if (event->getTypeId() == EventId::RenderEvent && game->count(EventId::RenderEvent) == 1)
            host->script.push_back(DeviceMessage::make(DeviceMessageType::CloseRequest));
        return false;
    };
    clock->onSleep = [&](uint32_t) { clock->now += 10; };
    EXPECT_TRUE(device->run());
    EXPECT_TRUE(host->hidden);
    EXPECT_EQ(game->count(EventId::CEventSystemFlowCloseRequest), 1u);
    EXPECT_EQ(game->count(EventId::ApplicationCloseEvent), 1u);
    EXPECT_TRUE(log.contains("WM_DESTROY command received"));
    EXPECT_EQ(game->count(EventId::RenderEvent), 1u);
    // The window stays gone: nothing more comes from it.
    device->setWindowCaption(L"after");
    EXPECT_FALSE(journalHas("caption"));
}

TEST_F(WindowTest, CloseDeviceDestroysTheWindowAndLeavesTheQuitForTheLoop) {
    device->closeDevice();
    EXPECT_TRUE(host->hidden);
    EXPECT_EQ(game->count(EventId::ApplicationCloseEvent), 1u);
    EXPECT_TRUE(device->getMessageQueue().contains(DeviceMessageType::Quit));
    EXPECT_TRUE(device->run());  // takes the quit message at once
    EXPECT_EQ(game->count(EventId::RenderEvent), 0u);
    EXPECT_TRUE(device->getMessageQueue().empty());
    device->closeDevice();  // a second close finds no window
    EXPECT_EQ(game->count(EventId::ApplicationCloseEvent), 1u);
}

TEST_F(WindowTest, ResizesAreCorrectedToTheParametersUnlessResizable) {
    // Not resizable: the window is put back to the size asked for.
    host->clientSize = irr::core::dimension2d<irr::u32>(1000, 700);
    send(DeviceMessage::make(DeviceMessageType::Size, false));
    displays->journal.clear();
    clock->onSleep = [&](uint32_t) { device->closeDevice(); };
    device->run();
    EXPECT_TRUE(journalHas("place 800x600 windowed"));
    EXPECT_TRUE(log.contains("Resizing window (1000 700)"));
    EXPECT_EQ(device->getVideoDriver()->getScreenSize(), irr::core::dimension2d<irr::u32>(800, 600));
    EXPECT_EQ(device->getCursorControl()->getWindowWidth(), 800);
}

TEST_F(WindowTest, AResizableWindowKeepsItsNewSizeAndTheCursorControlFollows) {
    device->setResizeAble(true);
    EXPECT_TRUE(device->isResizable());
    EXPECT_TRUE(journalHas("resizable"));
    host->clientSize = irr::core::dimension2d<irr::u32>(1000, 700);
    device->postMessage(DeviceMessage::make(DeviceMessageType::Size, false));
    int sleeps = 0;
    clock->onSleep = [&](uint32_t) {
        if (++sleeps == 1) {
            host->clientSize = irr::core::dimension2d<irr::u32>(1, 0);
            device->postMessage(DeviceMessage::make(DeviceMessageType::Size, false));
        } else {
            device->closeDevice();
        }
    };
    device->run();
    EXPECT_TRUE(log.contains("Resizing window (1000 700)"));
    EXPECT_EQ(device->getVideoDriver()->getScreenSize(), irr::core::dimension2d<irr::u32>(1000, 700));
    EXPECT_EQ(device->getCursorControl()->getWindowWidth(), 1000);
    EXPECT_EQ(device->getCursorControl()->getWindowHeight(), 700);
    // A window shrunk to nothing is left alone.
    EXPECT_TRUE(log.contains("Ignoring resize operation to (1 0)"));
    EXPECT_EQ(device->getCursorControl()->getWindowWidth(), 1000);
}

TEST_F(WindowTest, ResizabilityIsLeftAloneInFullScreen) {
    DeviceParameters p;
    p.driverType = VideoDriverType::OpenGL;
    p.fullscreen = true;
    ASSERT_TRUE(device->applyVideoParameters(p));
    displays->journal.clear();
    device->setResizeAble(true);
    EXPECT_FALSE(device->isResizable());
    EXPECT_TRUE(displays->journal.empty());
}

TEST_F(WindowTest, CaptionGoesToTheWindow) {
    device->setWindowCaption(L"City \u00e9");
    EXPECT_EQ(host->caption, stringw(L"City \u00e9"));
}

// ---- Cursor control ---------------------------------------------------------

struct InsideCase {
    bool fullscreen, software, visible;
    int32_t x, y;
    bool drawn, systemShown;
};

TEST_F(WindowTest, TheSoftwareCursorIsDrawnOnlyInsideTheClientArea) {
    CursorControl* cursor = device->getCursorControl();
    ASSERT_TRUE(cursor);
    EXPECT_TRUE(cursor->isVisible());
    EXPECT_FALSE(cursor->isSoftwareCursor());
    const InsideCase cases[] = {
        {false, true, true, 0, 0, true, false},      {false, true, true, 799, 599, true, false},
        {false, true, true, 800, 10, false, true},   {false, true, true, 10, 600, false, true},
        {false, true, true, -1, 10, false, true},    {true, true, true, 5000, -5, true, false},
        {false, false, true, 10, 10, false, true},   {false, true, false, 10, 10, false, false},
    };
    for (const InsideCase& c : cases) {
        cursor->setFullscreen(c.fullscreen);
        cursor->setSoftwareCursor(c.software);  // puts the pointer back where the control last saw it
        host->pointerX = c.x;
        host->pointerY = c.y;
        cursor->setVisible(c.visible);  // reads the pointer
        EXPECT_EQ(cursor->getPosition(), (irr::core::position2d<irr::s32>(c.x, c.y)));
        EXPECT_EQ(cursor->isSoftwareCursorDrawn(), c.drawn) << c.x << "," << c.y;
        EXPECT_EQ(cursor->isSystemCursorShown(), c.systemShown) << c.x << "," << c.y;
    }
}

TEST_F(WindowTest, TheCursorFollowsThePointerInEveryPassAndCanMoveIt) {
    CursorControl* cursor = device->getCursorControl();
    cursor->setPosition(30, 40);
    EXPECT_TRUE(journalHas("warp 30,40"));
    EXPECT_EQ(host->pointerX, 30);
    host->pointerX = 77;
    host->pointerY = 88;
    clock->onSleep = [&](uint32_t) { device->closeDevice(); };
    device->run();
    EXPECT_EQ(cursor->getPosition(), (irr::core::position2d<irr::s32>(77, 88)));
    // Without a window the position is unknown.
    cursor->detachWindow();
    cursor->updatePosition();
    EXPECT_EQ(cursor->getPosition(), (irr::core::position2d<irr::s32>(-1, -1)));
}

TEST_F(WindowTest, TheCursorShapeIsKeptAcrossWindows) {
    CursorControl* cursor = device->getCursorControl();
    CountedRef<Image> arrow(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(8, 8)));
    arrow->fill(0xFFFFFFFFu);
    cursor->setCursorImage(arrow.get(), 2, 2);
    EXPECT_TRUE(journalHas("cursor image 2,2"));
    EXPECT_EQ(host->cursorImage, arrow.get());

    DeviceParameters p;
    p.driverType = VideoDriverType::OpenGL;
    ASSERT_TRUE(device->applyVideoParameters(p));
    EXPECT_EQ(device->getCursorControl(), cursor);  // the same object on the new window
    EXPECT_EQ(displays->current->cursorImage, arrow.get());
    EXPECT_EQ(cursor->getHost(), displays->current);

    cursor->setCursorImage(nullptr, 0, 0);
    EXPECT_EQ(displays->journal.back(), "cursor arrow 0,0");
    EXPECT_EQ(cursor->getCursorImage(), nullptr);
}

}  // namespace
