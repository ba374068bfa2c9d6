// The objectives and level-completed pop-ups filled from a level's record and
// results: which targets and lines show for the first levels, a middle level
// and the last one, and how the score splits and counts up.
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ControlNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/LevelConfig.h"
#include "game/flow/GLevelCompletedScene.h"
#include "game/flow/GLevelObjectivesScene.h"
#include "game/level/GGameLevelScene.h"

#include <gtest/gtest.h>

#include <string>

using namespace engine;
using namespace game;

namespace {

BaseNode* child(BaseNode* parent, const char* name, BaseNode* node) {
    node->setName(makeNameId(name));
    parent->addChild(node);
    node->release();
    return node;
}

// A level scene holding a record of the number, with the results given.
CountedRef<GGameLevelScene> levelOf(int32_t number, int32_t score, int32_t expertScore, float gained, float timeMs) {
    CountedRef<GGameLevelScene> level(new GGameLevelScene(nullptr, nullptr, nullptr));
    auto* config = new GLevelConfig();
    config->name = stringw(number);
    config->levelNumber = number;
    config->score = score;
    config->expertScore = expertScore;
    config->levelTime = 300;
    level->levelConfig = config;  // the scene releases its record
    level->scoreGained = gained;
    level->totalTimeMs = timeMs;
    return level;
}

class ResultScenesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The texts as written, with their values: no dictionary translates
        // them, whatever device an earlier test of the program left.
        previousDictionary = getCurrentDictionary();
        setCurrentDictionary(nullptr);
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
        ASSERT_TRUE(store.addProfile(L"Bo"));
        store.selectProfile(0);
        player = store.getCurrentProfile();
    }
    void TearDown() override {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
        setCurrentDictionary(previousDictionary);
    }
    static void activate(GBaseSceneNode& scene) {
        CountedRef<SceneActivatedEvent> event(new SceneActivatedEvent(nullptr, &scene, true));
        EXPECT_TRUE(scene.onSceneActivated(event.get()));
    }

    ProfileParameters* player = nullptr;
    IDictionary* previousDictionary = nullptr;
};

CountedRef<GLevelObjectivesScene> objectivesScene() {
    CountedRef<GLevelObjectivesScene> scene(new GLevelObjectivesScene(nullptr, nullptr, nullptr));
    BaseNode* panel = child(scene.get(), "Scene", new ControlNode(nullptr, nullptr, nullptr));
    for (const char* text : {"LevelText", "WelcomeText", "InfoText", "ExpertTimeText", "ExpertScoreText", "ScoreText"})
        child(panel, text, new TextNode(nullptr, nullptr, nullptr));
    for (const char* node : {"Clock", "GStar", "SStar"}) child(panel, node, new BaseNode(nullptr, nullptr, nullptr));
    scene->onLoaded();
    return scene;
}

CountedRef<GLevelCompletedScene> completedScene() {
    CountedRef<GLevelCompletedScene> scene(new GLevelCompletedScene(nullptr, nullptr, nullptr));
    BaseNode* panel = child(scene.get(), "Scene", new ControlNode(nullptr, nullptr, nullptr));
    for (const char* line : {"ExpertTimeNode", "TimeNode", "TimeScoreNode", "ExpertScoreNode", "ScoreNode"}) {
        BaseNode* node = child(panel, line, new BaseNode(nullptr, nullptr, nullptr));
        node->setPosition(vector3df(5, 5, 1));
        child(node, "Text", new TextNode(nullptr, nullptr, nullptr));
    }
    child(panel, "DoneText", new TextNode(nullptr, nullptr, nullptr));
    scene->onLoaded();
    return scene;
}

}  // namespace

TEST_F(ResultScenesTest, ObjectivesWelcomeOnlyANewPlayerAndShowTimeTargetsFromTheFourthLevel) {
    struct Case {
        int32_t levelIndex;
        bool welcome;
        bool timeTargets;
    };
    for (const Case& c : {Case{0, true, false}, Case{2, false, false}, Case{3, false, true}}) {
        SCOPED_TRACE(c.levelIndex);
        player->setInt("LevelIndex", c.levelIndex);
        CountedRef<GLevelObjectivesScene> scene = objectivesScene();
        CountedRef<GGameLevelScene> level = levelOf(c.levelIndex + 1, 1500, 2500, 0, 0);
        scene->setLevelScene(level.get());
        activate(*scene);
        EXPECT_EQ(scene->getWelcomeText()->isVisible(), c.welcome);
        EXPECT_EQ(scene->getClock()->isVisible(), c.timeTargets);
        EXPECT_EQ(scene->getExpertTimeText()->isVisible(), c.timeTargets);
        EXPECT_EQ(scene->getSilverStar()->isVisible(), c.timeTargets);
        EXPECT_EQ(scene->getScoreText()->isVisible(), c.timeTargets);
        EXPECT_TRUE(scene->getGoldStar()->isVisible());
        EXPECT_NE(scene->getExpertScoreText()->getText().find(L"2,500"), -1);
        EXPECT_NE(scene->getExpertTimeText()->getText().find(L"05:00"), -1);
    }
    // Without a level the texts stay as the file has them.
    CountedRef<GLevelObjectivesScene> bare = objectivesScene();
    bare->getInfoText()->setText(L"from the file");
    activate(*bare);
    EXPECT_EQ(stringc(bare->getInfoText()->getText()), "from the file");
}

TEST_F(ResultScenesTest, CompletedSceneSplitsTheScoreAndShowsTheLinesOfItsLevel) {
    struct Case {
        int32_t number;
        float gained;
        const wchar_t* completion;
        const wchar_t* bonus;
        bool scoreLines;
        bool timeLines;
    };
    const Case cases[] = {
        {1, 2500, L"1,500", L"1,000", true, false},
        {5, 1000, L"0", L"1,000", true, true},  // below the record's score: all of it is bonus
        {35, 2500, L"1,500", L"1,000", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        CountedRef<GLevelCompletedScene> scene = completedScene();
        CountedRef<GGameLevelScene> level = levelOf(c.number, 1500, 2500, c.gained, 65000);
        scene->setLevelScene(level.get());
        activate(*scene);
        EXPECT_NE(scene->getText("TimeScoreNode")->getText().find(c.completion), -1);
        EXPECT_NE(scene->getText("ExpertScoreNode")->getText().find(c.bonus), -1);
        EXPECT_NE(scene->getText("TimeNode")->getText().find(L"01:05"), -1);
        EXPECT_EQ(scene->getNode("ScoreNode")->isVisible(), c.scoreLines);
        EXPECT_EQ(scene->getNode("TimeNode")->isVisible(), c.timeLines);
        if (c.number == 1) {
            EXPECT_EQ(scene->getNode("ScoreNode")->getPosition(), vector3df(81, 283, 1));
        }
        if (c.number == 35) {
            EXPECT_EQ(scene->getNode("TimeNode")->getPosition(), vector3df(80, 283, 1));
        }
        if (c.number == 5) {
            EXPECT_EQ(scene->getNode("ScoreNode")->getPosition(), vector3df(5, 5, 1));
        }
        EXPECT_NE(scene->getDoneText()->getText().find(L"Bo"), -1);

        // The total counts up from 0 after a short wait and stops at the score.
        EXPECT_EQ(scene->getShownScore(), 0.0f);
        for (int i = 0; i < 100; ++i) scene->onTimer(30);
        EXPECT_EQ(scene->getCountPhase(), GLevelCompletedScene::Idle);
        EXPECT_EQ(scene->getShownScore(), static_cast<float>(c.gained));
        if (c.scoreLines) {
            EXPECT_NE(scene->getText("ScoreNode")->getText().find(c.number == 1 ? L"2,500" : L"1,000"), -1);
        }
    }
}
