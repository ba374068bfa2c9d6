// The scene managers the device makes, without a display: set up as the game
// sets them up, they register their scenes' schedulers with the device, take
// the pointer position from the device's cursor control when a transition
// ends, and draw through the quad batcher of whatever video driver is current,
// also after the driver was replaced.
#include "engine/core/ControlNode.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/Material.h"
#include "engine/visual/QuadBatcher.h"
#include "platform/DeviceTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace engine;
using device_test::FakeClock;
using device_test::FakeDisplayFactory;
using device_test::FrameDrawer;
using device_test::GameManagers;
using device_test::RecordingReceiver;
using testing_support::LogCapture;

namespace {

// A drawing stand-in, hit inside its bounds: one draw item, and one quad
// handed to the batcher that the driver it is drawn with publishes. It
// remembers the batchers it found.
class QuadProbe : public BaseNode {
    ENGINE_NODE_TYPE(QuadProbe, BaseNode, 1990)

public:
    QuadProbe(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        quad_.material = &material_;
        linkToParent(parent, mostDerived);
    }
    bool hitTest(const vector2df& point) override { return containsPoint(point); }
    void collectRenderItems(RenderList& list) override {
        if (!isVisible()) return;
        if (isTransformDirty()) updateAbsoluteTransform();
        RenderItem item;
        item.node = this;
        item.depth = getAbsoluteTransform()[14];
        item.key = 0;
        list.push_back(item);
        BaseNode::collectRenderItems(list);
    }
    void render(irr::video::IVideoDriver* driver, const rectf*) override {
        QuadBatcher* batcher = getDriverQuadBatcher(driver);
        used.push_back(batcher);
        if (batcher) batcher->addQuad(&quad_);
    }

    std::vector<QuadBatcher*> used;

private:
    Material material_;
    QuadRecord quad_;
};

// A scene with one control, "Button", whose face (a probe) covers (20, 30) to
// (60, 50).
struct TestScene {
    TestScene() {
        scene = CountedRef<SceneNode>(new SceneNode(nullptr, nullptr, nullptr));
        scene->setName(makeNameId("Play"));
        scene->setBounds(vector3df(1024.0f, 768.0f, 0.0f));
        button = new ControlNode(nullptr, scene.get(), nullptr);
        button->setName(makeNameId("Button"));
        button->setPosition(vector3df(20.0f, 30.0f, 0.0f));
        button->release();
        face = new QuadProbe(nullptr, button, nullptr);
        face->setBounds(vector3df(40.0f, 20.0f, 0.0f));
        face->release();
    }

    CountedRef<SceneNode> scene;
    ControlNode* button;  // held by the scene
    QuadProbe* face;      // held by the button
};

class DeviceScenesTest : public ::testing::Test {
protected:
    // A device over the fake display: with a window (and its cursor control)
    // or with the null driver alone.
    void make(bool window) {
        TearDown();
        displays = makeRef<FakeDisplayFactory>();
        device = CountedRef<EngineDevice>(createDevice(DeviceParameters(), device_test::services(clock.get(), displays.get())));
        ASSERT_TRUE(device);
        if (window) {
            ASSERT_TRUE(device->applyVideoParameters(windowed()));
        }
        game = std::make_unique<GameManagers>(device.get());
        drawer = makeRef<FrameDrawer>(device.get());
        drawer->managers = {game->scenes[0].get(), game->scenes[1].get()};
        ASSERT_TRUE(device->addEventReceiver(drawer.get(), 0));
    }

    static DeviceParameters windowed(int32_t width = 1024, int32_t height = 768) {
        DeviceParameters p;
        p.driverType = VideoDriverType::OpenGL;
        p.windowWidth = width;
        p.windowHeight = height;
        return p;
    }

    void update(uint32_t elapsed) {
        CountedRef<UpdateEvent> event(new UpdateEvent(elapsed));
        device->deliverEvent(event.get());
    }
    void render() {
        CountedRef<RenderEvent> event(new RenderEvent());
        device->deliverEvent(event.get());
    }

    size_t receiversAtOrder(int32_t order) const {
        size_t count = 0;
        for (uint32_t i = 0; i < device->getReceivers().size(); ++i) count += device->getReceivers()[i].order == order;
        return count;
    }

    void TearDown() override {
        if (drawer) device->removeEventReceiver(drawer.get());
        drawer.reset();
        game.reset();
        device.reset();
    }

    LogCapture log;
    CountedRef<FakeClock> clock = makeRef<FakeClock>();
    CountedRef<FakeDisplayFactory> displays;
    CountedRef<EngineDevice> device;
    std::unique_ptr<GameManagers> game;  // goes before the device
    CountedRef<FrameDrawer> drawer;      // the game object, drawing both managers
};

TEST_F(DeviceScenesTest, TheManagerIsMadeEmptyAndWiredToTheDevice) {
    make(false);
    SceneManager* manager = game->scenes[0].get();
    EXPECT_EQ(manager->getTypeId(), SceneManager::kTypeId);
    EXPECT_EQ(manager->getCreationContext().getContentManager(), nullptr);
    EXPECT_EQ(manager->getCreationContext().getNameId(), -1);
    EXPECT_EQ(manager->getEventReceiverRegistry(), device.get());
    // It draws with the batcher of the driver it is handed, whichever that is.
    EXPECT_EQ(manager->getQuadBatcher(), nullptr);
    EXPECT_EQ(manager->getChildCount(), 0u);
    // As the game registers them: content manager (beside the device's sound
    // manager), schedulers, first manager.
    EXPECT_EQ(receiversAtOrder(1), 2u);
    EXPECT_EQ(receiversAtOrder(2), 3u);
    EXPECT_FALSE(log.hasErrors());
}

// The scene's scheduler joins the device's receivers while the scene is in the
// manager. When its opening transition ends, the manager sends the scene a
// mouse move at the pointer (delivered at the next update), so hover follows a
// pointer that did not move; without a window there is no pointer and no move.
TEST_F(DeviceScenesTest, ScenesTickOnTheDeviceAndHoverFollowsThePointerOnceOpen) {
    struct Case {
        const char* what;
        bool window;
        int32_t x, y;
        bool hovered;
    };
    const Case cases[] = {
        {"no window", false, 0, 0, false},
        {"pointer over the button", true, 30, 40, true},
        {"pointer elsewhere", true, 300, 40, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make(c.window);
        if (HasFatalFailure()) return;
        if (c.window) {
            displays->current->pointerX = c.x;
            displays->current->pointerY = c.y;
            device->getCursorControl()->updatePosition();
        }
        TestScene play;
        auto seen = makeRef<RecordingReceiver>("button");
        play.button->addListener(seen.get());
        ASSERT_TRUE(game->scenes[0]->setScene(play.scene.get()));
        EXPECT_EQ(receiversAtOrder(SceneManager::kSceneSchedulerOrder), 1u);
        EXPECT_EQ(play.scene->getTimerScheduler(), device->getReceivers().getLast().receiver);

        // Hit tests use the transforms the last frame left.
        render();
        update(10);
        const device_test::Seen* move = seen->last(EventId::MouseMoveEvent);
        if (c.window) {
            ASSERT_TRUE(move);
            EXPECT_EQ(move->x, c.x);
            EXPECT_EQ(move->y, c.y);
        } else {
            EXPECT_FALSE(move);
        }
        EXPECT_EQ(play.button->isHovered(), c.hovered);
        EXPECT_EQ(seen->count(EventId::NodeHoveredEvent), c.hovered ? 1u : 0u);

        // The scene leaves at the next delivery, and its scheduler with it.
        ASSERT_TRUE(game->scenes[0]->setScene(nullptr));
        update(10);
        EXPECT_EQ(receiversAtOrder(SceneManager::kSceneSchedulerOrder), 0u);
        play.button->removeListener(seen.get());
    }
}

// Replacing the video driver replaces the render context and its batcher.
// Both managers, the registered one and the other, draw through the batcher of
// the driver of the frame: each probe's quad is begun, drawn and ended on it.
TEST_F(DeviceScenesTest, AfterADriverReplacementEveryManagerDrawsWithTheNewBatcher) {
    make(false);  // the managers exist before the window, as after any replacement
    TestScene first, second;
    ASSERT_TRUE(game->scenes[0]->setScene(first.scene.get()));
    ASSERT_TRUE(game->scenes[1]->setScene(second.scene.get()));
    auto events = makeRef<RecordingReceiver>("events");
    ASSERT_TRUE(device->addEventReceiver(events.get(), 3));

    struct Step {
        const char* what;
        bool replace;
        int32_t width, height;
    };
    const Step steps[] = {{"null driver", false, 0, 0}, {"first window", true, 1024, 768}, {"smaller window", true, 800, 600}};
    // Held, so that a new batcher cannot take the address of an old one.
    std::vector<CountedRef<QuadBatcher>> batchers;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.replace) {
            ASSERT_TRUE(device->applyVideoParameters(windowed(step.width, step.height)));
        }
        ASSERT_TRUE(device->getRenderContext());
        QuadBatcher* current = device->getRenderContext()->getQuadBatcher();
        for (const auto& earlier : batchers) EXPECT_NE(current, earlier.get());
        batchers.push_back(CountedRef<QuadBatcher>::share(current));

        render();
        for (QuadProbe* probe : {first.face, second.face}) {
            ASSERT_FALSE(probe->used.empty());
            EXPECT_EQ(probe->used.back(), current);
        }
        // Both quads were drawn (two triangles each) and nothing is left queued.
        EXPECT_EQ(current->getVertexCount(), 0u);
        EXPECT_EQ(device->getVideoDriver()->getPrimitiveCountDrawn(0), 4u);
    }
    EXPECT_EQ(events->count(EventId::VideoDriverReleasedEvent), 2u);
    EXPECT_EQ(events->count(EventId::VideoDriverCreatedEvent), 2u);
    EXPECT_EQ(drawer->frames, 3u);
}

}  // namespace
