// The mini-game results scene on its own: the lines start at zero, wait a
// moment, count the time and the score gain up to the results and stop
// there; the greeting names the player; OK, Esc and Enter leave it.
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneFile.h"
#include "engine/core/XmlReader.h"
#include "engine/visual/TextNode.h"
#include "game/app/GameNodeKinds.h"
#include "game/menus/GMiniCompletedScene.h"

#include <gtest/gtest.h>

#include <string>

using namespace engine;
using namespace game;

namespace {

const char* const kScene = R"(<?xml version="1.0"?>
<SceneNode Type="GMiniCompletedScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TimeNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="ScoreNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="DoneText"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

class GMiniCompletedSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerStartupNodeKinds();
        registerGameNodeKinds();
        // The texts as written: no dictionary translates them.
        previousDictionary = getCurrentDictionary();
        setCurrentDictionary(nullptr);
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
        ASSERT_TRUE(store.addProfile(L"Bo"));
        store.selectProfile(0);
    }
    void TearDown() override {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
        setCurrentDictionary(previousDictionary);
    }
    static CountedRef<GMiniCompletedScene> scene() {
        const std::string text = kScene;
        XmlReader reader(text.data(), text.size(), "MiniCompletedScene.oscn");
        BaseNode* node = readSceneFile(reader, CreationContext(nullptr, "MiniCompletedScene.oscn"), "MiniCompletedScene.oscn");
        auto* results = dynamic_cast<GMiniCompletedScene*>(node);
        if (!results && node) node->release();
        return CountedRef<GMiniCompletedScene>(results);
    }
    static void activate(GBaseSceneNode& scene) {
        CountedRef<SceneActivatedEvent> event(new SceneActivatedEvent(nullptr, &scene, true));
        EXPECT_TRUE(scene.onSceneActivated(event.get()));
    }
    static stringc text(TextNode* node) { return node ? stringc(node->getText()) : stringc("(none)"); }

    IDictionary* previousDictionary = nullptr;
};

}  // namespace

TEST_F(GMiniCompletedSceneTest, LinesCountUpFromZeroToTheResultsAfterAShortWait) {
    struct Case {
        int32_t elapsed;
        int32_t gain;
        const char* time;
        const char* score;
    };
    const Case cases[] = {
        {75000, 0, "- 01:15", "- 0"},
        {30000, 1250, "- 00:30", "- 1,250"},
        {0, 0, "- 00:00", "- 0"},
        {-5, -20, "- 00:00", "- 0"},  // a damaged profile's numbers count nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        CountedRef<GMiniCompletedScene> results = scene();
        ASSERT_TRUE(results);
        results->setResults(90000, c.elapsed, c.gain);
        activate(*results);
        EXPECT_EQ(text(results->getTimeText()), "- 00:00");
        EXPECT_EQ(text(results->getScoreText()), "- 0");
        EXPECT_EQ(text(results->getDoneText()), "Bo");
        EXPECT_EQ(results->getCountPhase(), GMiniCompletedScene::Waiting);
        for (int i = 0; i < 9; ++i) results->onTimer(10);
        EXPECT_EQ(results->getCountPhase(), GMiniCompletedScene::Waiting);
        results->onTimer(10);
        EXPECT_EQ(results->getCountPhase(), GMiniCompletedScene::Counting);
        // About 1.33 s of counting.
        for (int i = 0; i < 120; ++i) results->onTimer(10);
        if (c.elapsed > 0) {
            EXPECT_EQ(results->getCountPhase(), GMiniCompletedScene::Counting);
            EXPECT_GT(results->getShownTime(), 0.0f);
            EXPECT_LT(results->getShownTime(), static_cast<float>(c.elapsed));
        }
        for (int i = 0; i < 20; ++i) results->onTimer(10);
        EXPECT_EQ(results->getCountPhase(), GMiniCompletedScene::Finished);
        EXPECT_EQ(text(results->getTimeText()), c.time);
        EXPECT_EQ(text(results->getScoreText()), c.score);
    }
}

TEST_F(GMiniCompletedSceneTest, OkEscAndEnterLeaveAndOtherInputIsNotTaken) {
    CountedRef<GMiniCompletedScene> results = scene();
    activate(*results);
    auto key = [&](int32_t code) {
        CountedRef<KeyUpEvent> event(new KeyUpEvent(0, code, false, false));
        return results->onEvent32(event.get());
    };
    auto press = [&](const char* name) {
        CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
        node->setName(makeNameId(name));
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node.get()));
        return results->onNodePressed(event.get());
    };
    EXPECT_TRUE(key(KeyCode::Escape));
    EXPECT_TRUE(key(KeyCode::Enter));
    EXPECT_FALSE(key('A'));
    EXPECT_TRUE(press("OkButton"));
    EXPECT_FALSE(press("Elsewhere"));
}
