// The main menu's buttons and arrival on a small scene tree without content:
// New Game chooses the first level or the map from the player's progress,
// the scenes that cannot be opened leave the menu as it was with one logged
// error, and a menu without a player asks for one.
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/TextNode.h"
#include "game/flow/GLevelCompletedScene.h"
#include "game/menus/GMainMenuScene.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using namespace engine;
using game::GMainMenuScene;
using testing_support::LogCapture;

namespace {

class GMainMenuSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearPlayers();
        manager = CountedRef<SceneManager>(new SceneManager(nullptr, nullptr, nullptr));
        scheduler = CountedRef<TimerScheduler>(new TimerScheduler());
        manager->setTimerScheduler(scheduler.get());
        menu = CountedRef<GMainMenuScene>(new GMainMenuScene(nullptr, nullptr, nullptr));
        BaseNode* panel = new BaseNode(nullptr, menu.get(), nullptr);
        panel->setName(makeNameId("Scene"));
        panel->release();  // held by the menu
        TextNode* welcome = new TextNode(nullptr, panel, nullptr);
        welcome->setName(makeNameId("WelcomeText"));
        welcome->release();
        menu->onLoaded();
    }
    void TearDown() override {
        manager->setScene(nullptr);
        manager->onTimer(0);
        manager->setTimerScheduler(nullptr);
        clearPlayers();
    }
    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }
    static ProfileParameters* addCurrentPlayer(const wchar_t* name, int32_t maxUnlocked) {
        ProfileStore& store = getProfileStore();
        EXPECT_TRUE(store.addProfile(name));
        store.selectProfile(store.getProfileCount() - 1);
        ProfileParameters* player = store.getCurrentProfile();
        player->setInt("MaxUnlockedLevelIndex", maxUnlocked);
        player->setInt("LevelIndex", -1);
        return player;
    }
    bool press(const char* name) {
        CountedRef<BaseNode> button(new BaseNode(nullptr, nullptr, nullptr));
        button->setName(makeNameId(name));
        CountedRef<NodePressedEvent> event(new NodePressedEvent(button.get()));
        return menu->onNodePressed(event.get());
    }

    CountedRef<SceneManager> manager;
    CountedRef<TimerScheduler> scheduler;
    CountedRef<GMainMenuScene> menu;
};

}  // namespace

TEST_F(GMainMenuSceneTest, NewGameGoesToTheFirstLevelOnlyBeforeAnyLocationIsFinished) {
    LogCapture log;
    // Without a player the press is consumed and nothing opens.
    EXPECT_TRUE(press("NewGameButton"));
    EXPECT_FALSE(log.hasErrors());

    ProfileParameters* player = addCurrentPlayer(L"Ann", -1);
    EXPECT_TRUE(press("NewGameButton"));
    EXPECT_EQ(player->getInt("LevelIndex"), 0);
    EXPECT_TRUE(log.contains("scenes/LoadingLevelScene.oscn"));

    log.clear();
    player->setInt("MaxUnlockedLevelIndex", 0);
    player->setInt("LevelIndex", 5);
    EXPECT_TRUE(press("NewGameButton"));
    EXPECT_EQ(player->getInt("LevelIndex"), 5);
    EXPECT_TRUE(log.contains("scenes/MapScene.oscn"));
    EXPECT_FALSE(log.contains("LoadingLevelScene"));
}

TEST_F(GMainMenuSceneTest, ButtonsOpenTheirScenesAndAMissingSceneLeavesTheMenuUsable) {
    manager->setScene(menu.get());
    manager->onTimer(0);
    struct Case {
        const char* button;
        const char* scene;  // the scene it tries to open, or null
    };
    const Case cases[] = {
        {"QuitButton", "scenes/QuitConfirmationScene.oscn"},
        {"ChangePlayerButton", "scenes/SelectPlayerScene.oscn"},
        {"CreditsButton", "scenes/CreditsScene.oscn"},
        {"OptionsButton", "scenes/OptionsScene.oscn"},
        {"AchievementsButton", "scenes/AchievementsScene.oscn"},
        {"Baloon", nullptr},
        {"BackButton", nullptr},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_TRUE(press(c.button)) << c.button;
        if (c.scene) {
            EXPECT_TRUE(log.contains(c.scene)) << c.button;
        }
        EXPECT_EQ(manager->getTopScene(), menu.get()) << c.button;
    }
    EXPECT_FALSE(press("Title"));
    EXPECT_FALSE(press("NewPlayerButton"));
}

TEST_F(GMainMenuSceneTest, ArrivalGreetsTheCurrentPlayerOrAsksForOne) {
    TextNode* welcome = menu->getWelcomeText();
    ASSERT_NE(welcome, nullptr);
    {
        LogCapture log;
        manager->setScene(menu.get());
        manager->onTimer(0);
        // No player: the list and the name input are asked for, and nobody is greeted.
        EXPECT_TRUE(log.contains("scenes/SelectPlayerScene.oscn"));
        EXPECT_TRUE(log.contains("scenes/SelectPlayerInputNameScene.oscn"));
        EXPECT_TRUE(welcome->getText().empty()) << stringc(welcome->getText()).c_str();
    }
    addCurrentPlayer(L"Zo\u00eb \u0160t\u011bp\u00e1nka", 3);
    LogCapture log;
    CountedRef<SceneActivatedEvent> activated(new SceneActivatedEvent(nullptr, menu.get(), false));
    EXPECT_TRUE(menu->onSceneActivated(activated.get()));
    EXPECT_NE(welcome->getText().find(L"Zo\u00eb \u0160t\u011bp\u00e1nka"), -1) << stringc(welcome->getText()).c_str();
    CountedRef<SceneTransitionEndEvent> shown(new SceneTransitionEndEvent(nullptr, menu.get(), false));
    EXPECT_TRUE(menu->onSceneEvent37(shown.get()));
    EXPECT_FALSE(log.contains("SelectPlayer"));
}

TEST_F(GMainMenuSceneTest, ReturnFromALevelWithoutAClosingSequenceKeepsThePanel) {
    // This menu has neither the scroll nor its Back button, so nothing could
    // bring a hidden panel back.
    addCurrentPlayer(L"Ann", 0);
    CountedRef<game::GLevelCompletedScene> completed(new game::GLevelCompletedScene(nullptr, nullptr, nullptr));
    CountedRef<SceneActivatedEvent> activated(new SceneActivatedEvent(completed.get(), menu.get(), false));
    EXPECT_TRUE(menu->onSceneActivated(activated.get()));
    BaseNode* panel = menu->findChild(makeNameId("Scene"), 1);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->getPosition(), vector3df(0, 0, 0));
}
