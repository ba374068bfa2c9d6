// The game scene base on a real scene manager and timer scheduler: its timer
// runs while the scene is the shown top scene, its elapsed time grows only
// with the focus, and Esc or Enter close it when it asks for that.
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "game/common/GBaseSceneNode.h"
#include "support/LogCapture.h"
#include "support/ScheduledSceneManagerTest.h"

#include <gtest/gtest.h>

using namespace engine;
using game::GBaseSceneNode;

namespace {

class GBaseSceneNodeTest : public testing_support::ScheduledSceneManagerTest {
protected:
    CountedRef<GBaseSceneNode> makeScene() {
        return CountedRef<GBaseSceneNode>(new GBaseSceneNode(nullptr, nullptr, nullptr));
    }
};

}  // namespace

TEST_F(GBaseSceneNodeTest, TimerRunsWhileTheSceneIsTheShownTopScene) {
    CountedRef<GBaseSceneNode> first = makeScene();
    EXPECT_EQ(first->TimerListener::getTimerScheduler(), nullptr);
    manager->setScene(first.get());
    // Before its opening transition ended the scene has no timer.
    EXPECT_EQ(first->TimerListener::getTimerScheduler(), nullptr);
    settle();
    EXPECT_EQ(first->TimerListener::getTimerScheduler(), scheduler.get());
    EXPECT_TRUE(first->isFocused());

    scheduler->update(90);
    EXPECT_EQ(first->getElapsedMs(), 90u);
    first->setFocused(false);
    scheduler->update(60);
    EXPECT_EQ(first->getElapsedMs(), 90u);  // no focus, no time
    first->setFocused(true);

    // A second end of the same transition registers nothing twice.
    CountedRef<SceneTransitionEndEvent> again(new SceneTransitionEndEvent(nullptr, first.get(), true));
    first->handleEvent(again.get());
    EXPECT_EQ(first->getElapsedMs(), 0u);
    scheduler->update(30);
    EXPECT_EQ(first->getElapsedMs(), 30u);

    // Covered: the timer stops; revealed: it runs again from 0.
    CountedRef<GBaseSceneNode> second = makeScene();
    ASSERT_TRUE(manager->pushScene(first.get(), second.get()));
    EXPECT_EQ(first->TimerListener::getTimerScheduler(), nullptr);
    settle();
    EXPECT_EQ(second->TimerListener::getTimerScheduler(), scheduler.get());
    ASSERT_TRUE(second->closeScene());
    EXPECT_EQ(second->TimerListener::getTimerScheduler(), nullptr);
    settle();
    EXPECT_EQ(first->TimerListener::getTimerScheduler(), scheduler.get());
    EXPECT_EQ(first->getElapsedMs(), 0u);
}

TEST_F(GBaseSceneNodeTest, EscapeAndEnterCloseOnlyASceneThatAsksForIt) {
    CountedRef<GBaseSceneNode> below = makeScene();
    manager->setScene(below.get());
    settle();
    struct Case {
        int32_t key;
        bool flag;
        bool closes;
    };
    const Case cases[] = {
        {KeyCode::Escape, true, true}, {KeyCode::Enter, true, true}, {'A', true, false},
        {KeyCode::Escape, false, false}, {KeyCode::Enter, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + (c.flag ? " closing" : " keeping"));
        CountedRef<GBaseSceneNode> top = makeScene();
        top->setCloseOnEscapeOrEnter(c.flag);
        ASSERT_TRUE(manager->pushScene(below.get(), top.get()));
        settle();
        CountedRef<KeyUpEvent> key(new KeyUpEvent(0, c.key, false, false));
        EXPECT_EQ(top->handleEvent(key.get()), c.closes);
        settle();
        EXPECT_EQ(manager->getTopScene() == below.get(), c.closes);
        if (!c.closes) {
            ASSERT_TRUE(top->closeScene());
            settle();
        }
    }
}

TEST_F(GBaseSceneNodeTest, ControlEventsAreLoggedWithTheNodesName) {
    CountedRef<GBaseSceneNode> scene = makeScene();
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    node->setName(makeNameId("PlayButton"));
    testing_support::LogCapture log;
    CountedRef<NodeHoveredEvent> hovered(new NodeHoveredEvent(nullptr, node.get()));
    EXPECT_FALSE(scene->handleEvent(hovered.get()));
    CountedRef<NodePressedEvent> pressed(new NodePressedEvent(node.get()));
    EXPECT_FALSE(scene->handleEvent(pressed.get()));
    CountedRef<MessageBoxResultEvent> result(new MessageBoxResultEvent(1));
    EXPECT_FALSE(scene->handleEvent(result.get()));
    ASSERT_EQ(log.entries().size(), 3u);
    EXPECT_EQ(log.entries()[0].text, "Node was hovered");
    EXPECT_EQ(log.entries()[0].hint, "PlayButton");
    EXPECT_EQ(log.entries()[1].text, "Node was pressed");
    EXPECT_EQ(log.entries()[2].hint, "1");
}
