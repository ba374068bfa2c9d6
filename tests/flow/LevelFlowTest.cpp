// The level flow on the game object's managers over the engine's null
// device, in simulated time: the loading scene loads a small level and pushes
// the HUD, the objectives scene comes first, its closing starts the
// tutorial, the won level opens the completed scene, and its OK returns to
// the scene the level was started from. Also the loading scene's failures and
// restarting a level many times.
#include "audio/FakeSound.h"
#include "engine/audio/SoundCue.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GameNodeKinds.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/flow/GInGameMenuScene.h"
#include "game/flow/GLevelCompletedScene.h"
#include "game/flow/GLevelObjectivesScene.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/hud/GGamePlayScene.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/tutorial/GTutorial.h"
#include "support/HeadlessLevel.h"
#include "support/GameAppTest.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace engine;
using namespace game;
using testing_support::LogCapture;

namespace {

const char* const kLoadingScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLoadingLevelScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="ProgressBg"/>
      <vector3d Name="Bounds" Value="500;40;0"/></Properties></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Progress"/>
      <vector3d Name="Bounds" Value="0;40;0"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kHudScene = R"(<?xml version="1.0"?>
<SceneNode Type="GGamePlayScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="InternalGamePlayScene"/></Properties>
    <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="GameMenu"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kObjectivesScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLevelObjectivesScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="LevelText"/></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="WelcomeText"/></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="InfoText"/></Properties></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Clock"/></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="ExpertTimeText"/></Properties></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="GStar"/></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="ExpertScoreText"/></Properties></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="SStar"/></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="ScoreText"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kCompletedScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLevelCompletedScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="ExpertTimeNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TimeNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TimeScoreNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="ExpertScoreNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="ScoreNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="DoneText"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kMenuScene = R"(<?xml version="1.0"?>
<SceneNode Type="GInGameMenuScene"/>)";

const char* const kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="TutorialWindow"/></Properties>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="SkipTutorialButton"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="Button"/></Properties></SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TutorialArrow"/></Properties></SceneNode>
</SceneNode>)";

// A welcome message that pauses the level, a money letter, a building to
// wait for, and a last message.
const char* const kTutorial = R"(<?xml version="1.0"?>
<Tutorial>
  <Hint MessageBox="true"><Text Value="Welcome"/><Actions><Action Type="GeneratePauseRequest"/></Actions></Hint>
  <Hint><Actions><Action Type="GenerateLetterRequest" BuildingTypes="Hotel1"/></Actions></Hint>
  <Hint><Text Value="Build a hotel"/><Actions><Action Type="BuildingCompleted" Buildings="Hotel1"/></Actions></Hint>
  <Hint MessageBox="true"><Text Value="Well done"/></Hint>
</Tutorial>)";

// The level is won with two more hotels.
const char* const kConfiguration = R"(<?xml version="1.0"?>
<Level><Properties><stringw Name="Name" Value="1"/><int Name="DayLength" Value="60"/>
  <float Name="InitMoney" Value="100000"/><float Name="InitMaterialsCount" Value="500"/>
  <int Name="InitWorkersCount" Value="10"/></Properties>
  <Objectives><Objective Type="HaveTypedBuildingsCount" BuildingTypes="Hotel1;Hotel2" Value="3" MustOwn="true"/></Objectives>
</Level>)";

// Stands in for the scene a level is started from (the main menu or the map).
class StartScene : public GBaseSceneNode {
public:
    StartScene(int32_t kind, const CreationContext* context) : GBaseSceneNode(context, nullptr, nullptr), kind_(kind) {}
    int32_t getTypeId() const override { return kind_; }
    bool isOfType(int32_t typeId) const override { return typeId == kind_ || GBaseSceneNode::isOfType(typeId); }

private:
    int32_t kind_;
};

class LevelFlowTest : public testing_support::GameAppTest {
protected:
    void SetUp() override {
        testing_support::SmallContent content;
        content.configuration = kConfiguration;
        testing_support::HeadlessLevel::writeContent(folder.path().string(), content);
        folder.write("scenes/LoadingLevelScene.oscn", kLoadingScene);
        folder.write("scenes/GamePlayScene.oscn", kHudScene);
        folder.write("scenes/LevelObjectivesScene.oscn", kObjectivesScene);
        folder.write("scenes/LevelCompletedScene.oscn", kCompletedScene);
        folder.write("scenes/InGameMenuScene.oscn", kMenuScene);
        folder.write("scenes/TemplateCollection.oscn", kTemplates);
        folder.write("levels/test/Tutorial.xml", kTutorial);
        enterFolder();
        createApp(true);
        useTemplates("scenes/TemplateCollection.oscn");

        ASSERT_NO_FATAL_FAILURE(addPlayer());
        player->setInt("LevelIndex", 0);
        player->setInt("MaxUnlockedLevelIndex", -1);
        player->setBool("ShowTutorialOn", true);
        player->setInt("ShowTutorialLevel", -1);
        showStart(new StartScene(1103, &context()));
    }

    GLoadingLevelScene* openLoading(const char* level) {
        SceneNode* opened = start->openScene("scenes/LoadingLevelScene.oscn", false);
        auto* loading = dynamic_cast<GLoadingLevelScene*>(opened);
        if (loading) loading->setLevelName(level);
        return loading;
    }

};

}  // namespace

TEST_F(LevelFlowTest, LoadingShowsEachStepOnTheBarAndPushesTheHud) {
    GLoadingLevelScene* loading = openLoading("test");
    ASSERT_NE(loading, nullptr);
    std::vector<float> shown;
    ASSERT_TRUE(runUntil([&] {
        const float value = loading->getShownProgress();
        if (shown.empty() || shown.back() != value) shown.push_back(value);
        return topAs<GGamePlayScene>() != nullptr;
    }));
    advance(50);
    if (loading->getShownProgress() != shown.back()) shown.push_back(loading->getShownProgress());
    EXPECT_EQ(shown, (std::vector<float>{0, 10, 50, 60, 80, 100}));
    EXPECT_FLOAT_EQ(loading->getProgressNode()->getBounds().X, 500.0f);
    EXPECT_EQ(app->getSceneManager(1)->getTopScene()->getTypeId(), 1138);
}

TEST_F(LevelFlowTest, ALoadingFailureIsLoggedAndReturnsToTheStartScene) {
    folder.write("levels/broken/Level.oscn", "<SceneNode Type=\"GGameLevelScene\"");
    folder.write("levels/notalevel/Level.oscn", "<?xml version=\"1.0\"?><SceneNode Type=\"ControlNode\"/>");
    struct Case {
        const char* level;
        const char* logged;
    };
    const Case cases[] = {
        {"missing", "Unable to load level scene"},
        {"broken", "Unable to load level scene"},
        {"", "Unable to load level scene"},
        {"notalevel", "Unable to identify level scene"},
    };
    // The player's progress, which a failed start must leave as it is.
    player->setInt("MaxUnlockedLevelIndex", 4);
    player->setInt("LevelIndex", 5);
    player->setString("Scores", "10;20;30;40;50");
    const std::vector<std::string> keys = {"MaxUnlockedLevelIndex", "LevelIndex", "Scores", "Times",
                                           "AchievementsProgress"};
    std::vector<std::string> before;
    for (const std::string& key : keys) before.push_back(player->getString(key.c_str()).c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        clearContentProblems();
        LogCapture log;
        ASSERT_NE(openLoading(c.level), nullptr);
        EXPECT_TRUE(runUntil([&] { return top() == start.get(); }, 3000));
        EXPECT_TRUE(log.contains(c.logged));
        // Nothing left behind: no level world, no HUD, and the loading
        // scene's timer is gone with it (time goes on without a change).
        EXPECT_EQ(app->getSceneManager(1)->getTopScene(), nullptr);
        advance(1000);
        EXPECT_EQ(top(), start.get());
        for (size_t k = 0; k < keys.size(); ++k) {
            EXPECT_EQ(player->getString(keys[k].c_str()).c_str(), before[k]) << keys[k];
        }
        // Kept for the game to tell the player, who would see Play do nothing.
        std::string reported;
        EXPECT_TRUE(peekContentProblem(reported));
        EXPECT_EQ(reported, "levels/" + std::string(c.level) + "/Level.oscn");
    }
    clearContentProblems();
    // A HUD file of another kind is released and the loading scene closes too.
    folder.write("scenes/GamePlayScene.oscn", "<?xml version=\"1.0\"?><SceneNode Type=\"ControlNode\"/>");
    LogCapture log;
    ASSERT_NE(openLoading("test"), nullptr);
    EXPECT_TRUE(runUntil([&] { return top() == start.get(); }, 3000));
    EXPECT_TRUE(log.contains("Unable to identify GamePlayScene.oscn"));
    EXPECT_EQ(app->getSceneManager(1)->getTopScene(), nullptr);
}

TEST_F(LevelFlowTest, ALoadingSceneWhoseOpeningOutlastsTheWaitStillClosesOnAFailure) {
    // The content gives the loading scene an opening of two seconds, longer
    // than its wait before loading: the failure comes while it is still
    // opening, and the scene closes once the opening has ended.
    folder.write("scenes/LoadingLevelScene.oscn", R"(<?xml version="1.0"?>
<SceneNode Type="GLoadingLevelScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <States><State Name="NavTo"><Animator Type="KeyFrame" Name="Fade">
      <Properties><color Name="TintColor" Value="00ffffff"/></Properties>
      <KeyFrame t="0" Value0="00ffffff"/><KeyFrame t="2000" i="0" Value0="ffffffff"/></Animator></State></States>
  </SceneNode>
</SceneNode>)");
    LogCapture log;
    ASSERT_NE(openLoading("missing"), nullptr);
    EXPECT_TRUE(runUntil([&] { return top() == start.get(); }, 6000)) << "the loading scene stayed";
    EXPECT_TRUE(log.contains("Unable to load level scene"));
    clearContentProblems();
}

TEST_F(LevelFlowTest, ObjectivesTutorialAndCompletedSceneRunInTurnAndTheProfileKeepsTheResult) {
    ASSERT_NE(openLoading("test"), nullptr);
    ASSERT_TRUE(runUntil([&] { return topAs<GLevelObjectivesScene>() != nullptr; }));
    auto* objectives = topAs<GLevelObjectivesScene>();
    GGamePlayScene* hud = dynamic_cast<GGamePlayScene*>(objectives->getSceneBelow());
    ASSERT_NE(hud, nullptr);
    GGameLevelScene* level = hud->getLevelScene();
    ASSERT_NE(level, nullptr);
    // A new player is welcomed; level 1 shows only the expert score target.
    EXPECT_TRUE(objectives->getWelcomeText()->isVisible());
    EXPECT_FALSE(objectives->getWelcomeText()->getText().empty());
    EXPECT_FALSE(objectives->getClock()->isVisible());
    EXPECT_TRUE(objectives->getGoldStar()->isVisible());

    // No level time passes behind the objectives; the tutorial waits for them.
    const float before = level->totalTimeMs;
    advance(500);
    EXPECT_EQ(level->totalTimeMs, before);
    GTutorial* tutorial = hud->getTutorial();
    ASSERT_NE(tutorial, nullptr);
    EXPECT_FALSE(tutorial->getWindow()->isVisible());

    EXPECT_TRUE(press(*objectives, "OkButton"));
    ASSERT_TRUE(runUntil([&] { return tutorial->getWindow() && tutorial->getWindow()->isVisible(); }));
    EXPECT_EQ(stringc(tutorial->getWindowText()->getText()), "Welcome");
    EXPECT_TRUE(level->paused);

    // The window's button answers the message; the letter step passes at once.
    BaseNode* ok = tutorial->getWindow()->findChild(makeNameId("Button"), 1);
    ASSERT_NE(ok, nullptr);
    press(*hud, ok);
    ASSERT_TRUE(runUntil([&] { return tutorial->getStepIndex() == 2; }));
    EXPECT_FALSE(level->paused);
    EXPECT_EQ(stringc(tutorial->getWindowText()->getText()), "Build a hotel");

    // The lesson's building: the tutorial moves on when it is finished, and
    // the last message waits for its own press.
    auto buildHotel = [&](const char* placeName) {
        for (GBuildingNode* building : level->buildings) {
            if (building->getName() == makeNameId(placeName)) {
                return level->build(building, app->getBuildingsConfiguration()->find(makeNameId("Hotel1")));
            }
        }
        return false;
    };
    ASSERT_TRUE(buildHotel("Place01"));
    ASSERT_TRUE(runUntil([&] { return tutorial->getStepIndex() == 3; }, 20000));
    advance(200);
    EXPECT_EQ(tutorial->getStepIndex(), 3);
    EXPECT_EQ(stringc(tutorial->getWindowText()->getText()), "Well done");
    press(*hud, ok);
    ASSERT_TRUE(runUntil([&] { return hud->getTutorial() == nullptr; }));

    // The third hotel meets the objective: the completed scene opens over the HUD.
    ASSERT_TRUE(buildHotel("Place05"));
    ASSERT_TRUE(runUntil([&] { return topAs<GLevelCompletedScene>() != nullptr; }, 20000));
    auto* completed = topAs<GLevelCompletedScene>();
    EXPECT_EQ(completed->getLevelNumber(), 1);
    EXPECT_FALSE(completed->getNode("TimeNode")->isVisible());
    EXPECT_EQ(completed->getNode("ScoreNode")->getPosition(), vector3df(81, 283, 1));
    ASSERT_TRUE(runUntil([&] { return completed->getCountPhase() == GLevelCompletedScene::Idle; }, 5000));
    EXPECT_EQ(completed->getShownScore(), static_cast<float>(completed->getTargetScore()));

    // OK returns to the start scene, with the level gone; the map is asked for.
    LogCapture log;
    CountedRef<KeyUpEvent> enter(new KeyUpEvent(0, KeyCode::Enter, false, false));
    EXPECT_TRUE(completed->handleEvent(enter.get()));
    EXPECT_TRUE(runUntil([&] { return top() == start.get(); }, 3000));
    EXPECT_TRUE(log.contains("scenes/MapScene.oscn"));
    EXPECT_EQ(app->getSceneManager(1)->getTopScene(), nullptr);
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 0);
    EXPECT_EQ(player->getInt("LevelIndex"), 1);
    EXPECT_FALSE(player->getString("Times").empty());
    EXPECT_FALSE(player->getString("Scores").empty());
}

TEST_F(LevelFlowTest, CompletedSceneReturnsBelowTheLoadingSceneWhateverLiesAbove) {
    // A map below the loading scene and a pop-up between the HUD and the
    // results: OK reveals the map itself and opens no second one.
    manager()->setScene(nullptr);
    start = CountedRef<GBaseSceneNode>(new StartScene(1116, &context()));
    manager()->setScene(start.get());
    update(10);
    ASSERT_NE(openLoading("test"), nullptr);
    ASSERT_TRUE(runUntil([&] { return topAs<GLevelObjectivesScene>() != nullptr; }));
    SceneNode* hud = top()->getSceneBelow();
    CountedRef<StartScene> popUp(new StartScene(1122, &context()));
    ASSERT_TRUE(manager()->pushScene(top(), popUp.get()));
    update(10);
    CountedRef<Content> loaded(
        app->getContentManager()->load(ContentType::SceneNode, "scenes/LevelCompletedScene.oscn", true));
    auto* completed = nodeCast<GLevelCompletedScene>(loaded.get());
    ASSERT_NE(completed, nullptr);
    completed->setLevelScene(dynamic_cast<GGamePlayScene*>(hud)->getLevelScene());
    ASSERT_TRUE(manager()->pushScene(top(), completed));
    update(10);

    LogCapture log;
    EXPECT_TRUE(press(*completed, "OkButton"));
    EXPECT_TRUE(runUntil([&] { return top() == start.get(); }, 3000));
    advance(1000);
    EXPECT_EQ(top(), start.get());
    EXPECT_FALSE(log.contains("MapScene"));
    EXPECT_EQ(app->getSceneManager(1)->getTopScene(), nullptr);
}

TEST_F(LevelFlowTest, RestartingReloadsTheLevelWithoutAnythingPilingUp) {
    ASSERT_NE(openLoading("test"), nullptr);
    size_t receivers = 0;
    uint32_t children = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(runUntil([&] { return topAs<GLevelObjectivesScene>() != nullptr; }));
        GGameLevelScene* level = dynamic_cast<GGamePlayScene*>(top()->getSceneBelow())->getLevelScene();
        // Each round starts from the level's files, not from the last round.
        EXPECT_FLOAT_EQ(level->money, 100000.0f);
        level->money = 5.0f;
        press(*top(), "OkButton");
        ASSERT_TRUE(runUntil([&] { return topAs<GGamePlayScene>() != nullptr; }));
        advance(100);
        if (round == 1) {
            receivers = getEngine()->getReceivers().size();
            children = manager()->getChildCount();
        } else if (round > 1) {
            EXPECT_EQ(getEngine()->getReceivers().size(), receivers);
            EXPECT_EQ(manager()->getChildCount(), children);
        }
        EXPECT_EQ(app->getSceneManager(1)->getChildCount(), 1u);
        SceneNode* menu = top()->openScene("scenes/InGameMenuScene.oscn", true);
        ASSERT_NE(menu, nullptr);
        update(10);
        EXPECT_TRUE(press(*menu, "RestartButton"));
        ASSERT_TRUE(runUntil([&] { return topAs<GLoadingLevelScene>() != nullptr; }));
    }
}

TEST_F(LevelFlowTest, AWonLevelWithoutItsCompletedSceneIsLoggedAndLeftThroughTheMenu) {
    std::filesystem::remove("scenes/LevelCompletedScene.oscn");
    player->setBool("ShowTutorialOn", false);
    ASSERT_NE(openLoading("test"), nullptr);
    ASSERT_TRUE(runUntil([&] { return topAs<GLevelObjectivesScene>() != nullptr; }));
    auto* hud = dynamic_cast<GGamePlayScene*>(top()->getSceneBelow());
    press(*top(), "OkButton");
    ASSERT_TRUE(runUntil([&] { return top() == hud; }));
    GGameLevelScene* level = hud->getLevelScene();
    LogCapture log;
    for (const char* place : {"Place01", "Place05"}) {
        for (GBuildingNode* building : level->buildings) {
            if (building->getName() == makeNameId(place)) {
                ASSERT_TRUE(level->build(building, app->getBuildingsConfiguration()->find(makeNameId("Hotel1"))));
            }
        }
    }
    ASSERT_TRUE(runUntil([&] { return log.contains("scenes/LevelCompletedScene.oscn"); }, 20000));
    advance(500);
    EXPECT_EQ(top(), hud);
    // The in-game menu still leads out of the level.
    CountedRef<KeyUpEvent> escape(new KeyUpEvent(0, KeyCode::Escape, false, false));
    hud->handleEvent(escape.get());
    ASSERT_TRUE(runUntil([&] { return topAs<GInGameMenuScene>() != nullptr; }));
    EXPECT_TRUE(press(*top(), "MainMenuButton"));
    EXPECT_TRUE(runUntil([&] { return top() == start.get(); }));
    EXPECT_EQ(app->getSceneManager(1)->getTopScene(), nullptr);
}

TEST_F(LevelFlowTest, LevelMusicPlaysAgainWhenMusicComesBackOnFromTheInGameMenu) {
    player->setBool("ShowTutorialOn", false);
    player->setBool("MusicOn", true);
    player->setFloat("MusicVolume", 80.0f);
    SoundManager* sounds = getEngine()->getSoundManager();
    ASSERT_NE(sounds, nullptr);
    ASSERT_NE(openLoading("test"), nullptr);
    ASSERT_TRUE(runUntil([&] { return topAs<GLevelObjectivesScene>() != nullptr; }));
    auto* hud = dynamic_cast<GGamePlayScene*>(top()->getSceneBelow());
    ASSERT_NE(hud, nullptr);
    const NameId music = hud->getMusicCue();
    ASSERT_NE(music, kNoName);
    // The level's music, as a sound without a device, in the music group.
    if (!sounds->findCue(music)) {
        CountedRef<SoundCue> cue(new SoundCue(music));
        cue->setGroupId(1);
        cue->setLoop(true);
        CountedRef<audiotest::FakeSound> sound(
            new audiotest::FakeSound(0, std::make_shared<audiotest::FakeLog>()));
        cue->addVariant(sound.get());
        ASSERT_TRUE(sounds->addCue(cue.get()));
    }
    press(*top(), "OkButton");
    ASSERT_TRUE(runUntil([&] { return top() == hud && sounds->isCuePlaying(music); }));

    // Music off and on again from the options over the in-game menu.
    SceneNode* menu = hud->openScene("scenes/InGameMenuScene.oscn", true);
    ASSERT_NE(menu, nullptr);
    update(10);
    player->setBool("MusicOn", false);
    app->applySoundSettings();
    update(10);
    EXPECT_FALSE(sounds->isCuePlaying(music));
    player->setBool("MusicOn", true);
    app->applySoundSettings();
    EXPECT_TRUE(sounds->isCuePlaying(music));
    // Once back on, a second "on" does not start a second copy.
    app->applySoundSettings();
    size_t copies = 0;
    for (SoundCue* playing : sounds->getPlaying()) copies += playing->getName() == music ? 1 : 0;
    EXPECT_EQ(copies, 1u);
    sounds->stopCue(music, 0);
}
