// The device's real window: OpenGL in an X11 window of 1024 x 768, input sent
// to the X server with xdotool reaching the receivers as engine events, a frame
// drawn through the render context read back from the back buffer, and the
// window manager's close request ending the run loop. Needs an X display (the
// suite runs under Xvfb); without one the tests are skipped.
#include "engine/core/Event.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/Material.h"
#include "engine/visual/QuadBatcher.h"
#include "engine/visual/TextureSource.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"

#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace engine;
using device_test::RecordingReceiver;
using testing_support::LogCapture;

namespace {

struct SolidTexture : ITextureSource {
    explicit SolidTexture(irr::video::ITexture* texture) : texture(texture) {}
    irr::video::ITexture* getDriverTexture() const override { return texture; }
    irr::video::ITexture* texture;
};

// Stands in for the game object: on a new driver it turns mip-maps off and
// sets the window caption from the settings; it logs focus changes and close
// requests (keeping the window open while `keepOpen` is above 0); on each
// render event it draws a frame: a red square at (100, 100), 64 pixels wide,
// through the render context's quad batcher, over a blue background.
class GameStandIn : public EventReceiver {
public:
    explicit GameStandIn(EngineDevice* device) : device_(device) { setMask(~0); }

    bool handleEvent(Event* event) override {
        switch (event->getTypeId()) {
        case EventId::VideoDriverCreatedEvent: {
            irr::video::IVideoDriver* driver = static_cast<VideoDriverCreatedEvent*>(event)->getDriver();
            driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
            CountedRef<IPropertyData> caption = device_->getSettings()->find("TitleCaption");
            if (caption) device_->setWindowCaption(caption->toStringW());
            return false;
        }
        case EventId::WindowFocusEvent:
            getLogger().log("Window focus", LOG_INFO);
            return false;
        case EventId::CEventSystemFlowCloseRequest:
            getLogger().log("CEventSystemFlowCloseRequest event received", LOG_INFO);
            if (keepOpen > 0) {
                --keepOpen;
                return true;
            }
            return false;
        case EventId::RenderEvent:
            render();
            if (onFrame) onFrame();
            return false;
        default:
            return false;
        }
    }

    int keepOpen = 0;
    bool captureNextFrame = false;
    CountedRef<Image> captured;
    std::function<void()> onFrame;

private:
    void render() {
        irr::video::IVideoDriver* driver = device_->getVideoDriver();
        RenderContext* context = device_->getRenderContext();
        if (!driver || !context) return;
        if (!texture_) {
            IrrRef<irr::video::IImage> red(
                driver->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(2, 2)));
            red->fill(irr::video::SColor(255, 255, 0, 0));
            texture_ = makeRef<SolidTexture>(driver->addTexture("red", red.get()));
            material_.setTexture(texture_.get());
            material_.setMaterialType(EMT_TRANS_ALPHACH_VERTEXALPHA);
        }
        QuadRecord quad;
        quad.material = &material_;
        const float x = 100, y = 100, w = 64;
        const float corners[4][2] = {{x, y}, {x + w, y}, {x + w, y + w}, {x, y + w}};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int i = 0; i < 4; ++i)
            quad.vertices[i] = irr::video::S3DVertex(corners[i][0], corners[i][1], 1.f, 0, 0, 0,
                                                     irr::video::SColor(255, 255, 255, 255), uv[i][0], uv[i][1]);
        driver->beginScene(true, true, irr::video::SColor(255, 0, 0, 255));
        QuadBatcher* batcher = context->getQuadBatcher();
        batcher->flush();
        batcher->begin();
        batcher->addQuad(&quad);
        batcher->end();
        if (captureNextFrame) {
            captureNextFrame = false;
            captured = CountedRef<Image>(device_->createScreenShot());
        }
        driver->endScene();
    }

    EngineDevice* device_;
    CountedRef<SolidTexture> texture_;
    Material material_;
};

using Step = device_test::ScriptStep;

class XWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            SKIP_OR_FAIL_UNDER_CI() << "X window tests: no X display (DISPLAY is not set); run under xvfb-run -a "
                                       "(tools/test.sh does)";
        lock = std::make_unique<device_test::XDisplayLock>();
        device = CountedRef<EngineDevice>(device_test::createWindowTestDevice(L"Window Test"));
        ASSERT_TRUE(device);
        game = makeRef<GameStandIn>(device.get());
        ASSERT_TRUE(device->addEventReceiver(game.get(), 0));
        input = makeRef<RecordingReceiver>("input");
        ASSERT_TRUE(device->addEventReceiver(input.get(), 1));

        if (!device->applyVideoParameters(device_test::openGLWindowParameters()))
            SKIP_OR_FAIL_UNDER_CI() << "X window tests: could not open an OpenGL window on display " << display;
        device_test::pinOpenGLDriverModules();
        ASSERT_TRUE(probe.isOpen());
    }

    void TearDown() override {
        if (probe.isOpen()) probe.focusFollowsPointer();
        input.reset();
        game.reset();
        device.reset();
        lock.reset();
    }

    uintptr_t window() const { return device->getWindowHandle(); }
    std::string id() const { return std::to_string(window()); }

    // Runs xdotool and waits for it.
    void xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        ASSERT_EQ(device_test::runProgram(arguments), 0) << "xdotool " << arguments[1];
    }

    void sendCloseRequest() { probe.sendCloseRequest(window()); }

    bool sawMouse(int32_t type, int32_t x, int32_t y) const {
        for (const auto& s : input->seen)
            if (s.type == type && s.x == x && s.y == y) return true;
        return false;
    }

    // Plays the steps from the render events, each with a deadline; a step
    // that times out is reported and ends the loop.
    void play(std::vector<Step> steps) {
        device_test::FrameScript script(device.get(), std::move(steps));
        game->onFrame = [&] { script.onFrame(); };
        EXPECT_TRUE(device->run());
        game->onFrame = nullptr;
        EXPECT_TRUE(script.finished()) << "the loop ended before the script did, at step " << script.current();
    }

    LogCapture log;
    std::unique_ptr<device_test::XDisplayLock> lock;
    CountedRef<EngineDevice> device;
    CountedRef<GameStandIn> game;
    CountedRef<RecordingReceiver> input;
    device_test::XProbe probe;
};

TEST_F(XWindowTest, OpensAnOpenGLWindowOfTheAskedSize) {
    ASSERT_TRUE(device->getVideoDriver());
    EXPECT_EQ(device->getVideoDriver()->getDriverType(), irr::video::EDT_OPENGL);
    EXPECT_EQ(device->getVideoDriver()->getScreenSize(), irr::core::dimension2d<irr::u32>(1024, 768));
    ASSERT_NE(device->getWindowHandle(), 0u);
    int width = 0, height = 0;
    ASSERT_TRUE(probe.getSize(window(), width, height));
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    EXPECT_EQ(probe.getName(window()), "Window Test");
    ASSERT_TRUE(device->getRenderContext());
    EXPECT_EQ(device->getRenderContext()->getDriver(), device->getVideoDriver());
    ASSERT_TRUE(device->getCursorControl());
    EXPECT_EQ(device->getCursorControl()->getWindowWidth(), 1024);
    EXPECT_FALSE(device->getVideoModeList().empty());
    EXPECT_GT(device->getVideoModeList().getDesktopMode().width, 0);
}

// The window is made without a depth buffer (2D drawing never reads one, and
// having one slows Mesa's rasteriser down); the parameters still say what
// was asked.
TEST_F(XWindowTest, TheWindowHasNoDepthBufferWhateverTheParametersAsk) {
    ASSERT_TRUE(device->getVideoDriver());
    EXPECT_EQ(device->getParameters().zBufferBits, device_test::openGLWindowParameters().zBufferBits);
    EXPECT_GT(device->getParameters().zBufferBits, 0);
    GLint depthBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);
}

TEST_F(XWindowTest, InputReachesTheReceiversAndTheFrameCanBeReadBack) {
    std::vector<Step> steps = {
        {"first frames", nullptr, [&] { return input->count(EventId::RenderEvent) >= 3; }},
        {"pointer into the window", [&] {
             probe.raise(window());
             xdotool({"mousemove", "--window", id(), "100", "200"});
         },
         [&] { return sawMouse(EventId::MouseMoveEvent, 100, 200); }},
        {"left click", [&] { xdotool({"click", "--window", id(), "1"}); },
         [&] { return sawMouse(EventId::LeftButtonDownEvent, 100, 200) && sawMouse(EventId::LeftButtonUpEvent, 100, 200); }},
        {"right click", [&] { xdotool({"click", "--window", id(), "3"}); },
         [&] { return sawMouse(EventId::RightButtonDownEvent, 100, 200) && sawMouse(EventId::RightButtonUpEvent, 100, 200); }},
        {"wheel", [&] { xdotool({"click", "--window", id(), "4", "click", "--window", id(), "5"}); },
         [&] { return input->count(EventId::MouseWheelEvent) >= 2; }},
        {"key a", [&] { xdotool({"key", "--window", id(), "a"}); },
         [&] { return input->count(EventId::KeyUpEvent) >= 1; }},
        {"shift+b", [&] { xdotool({"key", "--window", id(), "shift+b"}); },
         [&] { return input->count(EventId::KeyUpEvent) >= 3; }},
        {"capture", [&] { game->captureNextFrame = true; }, [&] { return bool(game->captured); }},
    };
    play(steps);

    std::vector<const device_test::Seen*> wheels, keys;
    for (const auto& s : input->seen) {
        if (s.type == EventId::MouseWheelEvent) wheels.push_back(&s);
        if (s.type == EventId::KeyDownEvent || s.type == EventId::KeyUpEvent) keys.push_back(&s);
    }
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0]->wheel, 1.f);
    EXPECT_EQ(wheels[1]->wheel, -1.f);
    EXPECT_EQ(wheels[0]->x, 100);

    struct KeyCase {
        int32_t type, key, character;
        bool shift;
    };
    const KeyCase expected[] = {
        {EventId::KeyDownEvent, 'A', 'a', false}, {EventId::KeyUpEvent, 'A', 'a', false},
        {EventId::KeyDownEvent, irr::KEY_SHIFT, 0, true}, {EventId::KeyDownEvent, 'B', 'B', true},
        // xdotool lets go of Shift first; both key-ups report the keyboard as
        // the last key-down left it, Shift still held.
        {EventId::KeyUpEvent, irr::KEY_SHIFT, 0, true}, {EventId::KeyUpEvent, 'B', 'B', true},
    };
    ASSERT_EQ(keys.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE("key event " + std::to_string(i));
        EXPECT_EQ(keys[i]->type, expected[i].type);
        EXPECT_EQ(keys[i]->key, expected[i].key);
        EXPECT_EQ(keys[i]->character, expected[i].character);
        EXPECT_EQ(keys[i]->shift, expected[i].shift);
    }

    ASSERT_TRUE(game->captured);
    EXPECT_EQ(game->captured->getWidth(), 1024);
    EXPECT_EQ(game->captured->getHeight(), 768);
    struct PixelCase {
        int32_t x, y;
        uint32_t argb;
    };
    const PixelCase pixels[] = {{100, 100, 0xFFFF0000u}, {163, 163, 0xFFFF0000u}, {130, 120, 0xFFFF0000u},
                                {99, 100, 0xFF0000FFu},  {164, 163, 0xFF0000FFu}, {163, 164, 0xFF0000FFu},
                                {0, 0, 0xFF0000FFu},     {1023, 767, 0xFF0000FFu}};
    for (const PixelCase& p : pixels)
        EXPECT_EQ(game->captured->getPixel(p.x, p.y), p.argb) << "pixel " << p.x << ", " << p.y;
}

TEST_F(XWindowTest, TheCloseRequestCanBeRefusedAndOtherwiseEndsTheLoop) {
    game->keepOpen = 1;
    size_t rendersAtRefusal = 0;
    std::vector<Step> steps = {
        {"first frames", nullptr, [&] { return input->count(EventId::RenderEvent) >= 2; }},
        {"refused close", [&] { sendCloseRequest(); },
         [&] {
             if (game->keepOpen > 0) return false;
             if (!rendersAtRefusal) rendersAtRefusal = input->count(EventId::RenderEvent);
             return input->count(EventId::RenderEvent) >= rendersAtRefusal + 3;
         }},
        {"close", [&] { sendCloseRequest(); }, [] { return false; }},  // the loop ends
    };
    // The last step waits for the loop to end.
    device_test::FrameScript script(device.get(), steps, false);
    game->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    game->onFrame = nullptr;
    EXPECT_EQ(script.current(), 2u);
    EXPECT_EQ(input->count(EventId::CEventSystemFlowCloseRequest), 1u);  // the first was handled by the game
    EXPECT_EQ(input->count(EventId::ApplicationCloseEvent), 1u);
    EXPECT_TRUE(log.contains("CEventSystemFlowCloseRequest event received"));
    EXPECT_TRUE(log.contains("SC_CLOSE command received"));
    EXPECT_TRUE(log.contains("WM_DESTROY command received"));
    EXPECT_FALSE(log.contains("closeDevice() was called"));
    // The window is off the screen.
    EXPECT_FALSE(probe.isMapped(window()));
}

// Irrlicht reports no focus events; the device finds the changes after each
// pump. Losing the focus sends the application to the background, where no
// updates are posted.
TEST_F(XWindowTest, FocusChangesBecomeFocusAndActivationEvents) {
    size_t updatesInBackground = 0;
    size_t rendersInForeground = 0;
    std::vector<Step> steps = {
        {"first frames", nullptr, [&] { return input->count(EventId::RenderEvent) >= 2; }},
        {"focus in", [&] { probe.focus(window()); },
         [&] {
             const auto* focus = input->last(EventId::WindowFocusEvent);
             return focus && focus->flag && device->isWindowFocused();
         }},
        {"focus out", [&] { probe.focus(probe.rootWindow()); },
         [&] {
             const auto* focus = input->last(EventId::WindowFocusEvent);
             if (!focus || focus->flag) return false;
             updatesInBackground = input->count(EventId::UpdateEvent);
             rendersInForeground = input->count(EventId::RenderEvent);
             return true;
         }},
        {"background frames", nullptr,
         [&] { return input->count(EventId::RenderEvent) >= rendersInForeground + 3; }},
    };
    play(steps);
    probe.focusFollowsPointer();
    EXPECT_FALSE(device->isWindowActive());
    EXPECT_EQ(input->count(EventId::UpdateEvent), updatesInBackground);
    const auto* activation = input->last(EventId::ApplicationActivationEvent);
    ASSERT_TRUE(activation);
    EXPECT_FALSE(activation->flag);
    EXPECT_TRUE(log.contains("Window focus"));
    EXPECT_TRUE(log.contains("Application deactivated."));
}

TEST_F(XWindowTest, ReplacingTheDriverReplacesTheWindow) {
    DeviceParameters p;
    p.driverType = VideoDriverType::Direct3D8;
    p.windowWidth = 640;
    p.windowHeight = 480;
    ASSERT_TRUE(device->applyVideoParameters(p));
    // The X server may give the new window the old one's id.
    int width = 0, height = 0;
    ASSERT_TRUE(probe.getSize(window(), width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(device->getVideoDriver()->getDriverType(), irr::video::EDT_OPENGL);
    EXPECT_EQ(device->getVideoDriver()->getScreenSize(), irr::core::dimension2d<irr::u32>(640, 480));
    // The null driver to OpenGL in SetUp (after the recorder joined), then this replacement.
    EXPECT_EQ(input->count(EventId::VideoDriverReleasedEvent), 2u);
    EXPECT_EQ(input->count(EventId::VideoDriverCreatedEvent), 2u);
    EXPECT_EQ(probe.getName(window()), "Window Test");
}

}  // namespace
