// The mini-game flow on the game object's managers over the engine's null
// device, in simulated time: the loading scene starts the auction with its
// configuration, a play ends at its limit and opens the results scene, whose
// OK returns below the loading scene; a missing results scene and the
// auction's menu button with the different scenes that can lie below it.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GameNodeKinds.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/menus/GMiniCompletedScene.h"
#include "game/minigames/GMiniGameAuctionScene.h"
#include "minigames/MiniGameFixtures.h"
#include "support/HeadlessLevel.h"
#include "support/GameAppTest.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

using namespace engine;
using namespace game;
using testing_support::LogCapture;

namespace {

const char* const kLoadingScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLoadingLevelScene"/>)";

const char* const kConfiguration = R"(<?xml version="1.0"?>
<MiniGame><MaxLevelTime Value="2000"/><ExpertScore Value="100"/></MiniGame>)";

// Stands in for the scenes below a mini-game (main menu, map, comic).
class StandIn : public GBaseSceneNode {
public:
    StandIn(int32_t kind, const CreationContext* context) : GBaseSceneNode(context, nullptr, nullptr), kind_(kind) {}
    int32_t getTypeId() const override { return kind_; }
    bool isOfType(int32_t typeId) const override { return typeId == kind_ || GBaseSceneNode::isOfType(typeId); }

private:
    int32_t kind_;
};

class MiniGameFlowTest : public testing_support::GameAppTest {
protected:
    void SetUp() override {
        testing_support::HeadlessLevel::writeContent(folder.path().string());
        folder.write("scenes/LoadingLevelScene.oscn", kLoadingScene);
        folder.write("scenes/MiniCompletedScene.oscn", minigame_tests::completedSceneXml());
        folder.write("levels/minigame_auction/Level.oscn", minigame_tests::auctionSceneXml());
        folder.write("levels/minigame_auction/MiniGameConfiguration.xml", kConfiguration);
        enterFolder();
        createApp(true);

        ASSERT_NO_FATAL_FAILURE(addPlayer());
        player->setInt("LevelIndex", 23);
        player->setInt("MaxUnlockedLevelIndex", 22);
        player->setString("LevelName", "minigame_auction");
        getRandomGenerator() = RandomGenerator();
        getRandomGenerator().seed(3);
        showStart(new StandIn(1103, &context()));
    }

    // Opens a scene of the kind over the top one; the main menu when 0.
    StandIn* openStandIn(int32_t kind) {
        CountedRef<StandIn> scene(new StandIn(kind, &context()));
        if (!top()->pushScene(scene.get(), false)) return nullptr;
        update(10);
        return scene.get();
    }
    // The loading scene over the top scene, run until the auction is on top.
    GMiniGameAuctionScene* startAuction() {
        auto* loading = dynamic_cast<GLoadingLevelScene*>(top()->openScene("scenes/LoadingLevelScene.oscn", false));
        if (!loading) return nullptr;
        loading->setLevelName("minigame_auction");
        if (!runUntil([&] { return topAs<GMiniGameAuctionScene>() != nullptr; })) return nullptr;
        return topAs<GMiniGameAuctionScene>();
    }
    // Past the intro and the caption.
    bool startPlaying(GMiniGameAuctionScene* auction) {
        if (!runUntil([&] { return auction->phase == GMiniGameScene::Caption; })) return false;
        press(*auction, auction->getZone(1));
        return auction->phase == GMiniGameScene::Playing;
    }
    void pickRight(GMiniGameAuctionScene* auction) {
        for (int32_t i = 0; i < GMiniGameAuctionScene::kZoneCount; ++i) {
            if (auction->getZoneValues()[i] == auction->getCorrectValue()) {
                press(*auction, auction->getZone(i));
                return;
            }
        }
    }

};

}  // namespace

TEST_F(MiniGameFlowTest, TheAuctionRunsFromTheLoadingSceneToItsResultsAndOkReturnsBelowIt) {
    StandIn* map = openStandIn(1116);
    ASSERT_NE(map, nullptr);
    GMiniGameAuctionScene* auction = startAuction();
    ASSERT_NE(auction, nullptr);
    auto* loading = dynamic_cast<GLoadingLevelScene*>(auction->getSceneBelow());
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->getTargetProgress(), 100.0f);
    // The configuration of the folder was read.
    EXPECT_EQ(auction->maxLevelTime, 2000);
    EXPECT_EQ(auction->expertScore, 100);

    ASSERT_TRUE(startPlaying(auction));
    pickRight(auction);
    pickRight(auction);
    EXPECT_EQ(auction->score, 30);
    // The level's clock stays stopped under a mini-game until the results leave.
    app->getTimerScheduler(1)->setEnabled(false);

    ASSERT_TRUE(runUntil([&] { return topAs<GMiniCompletedScene>() != nullptr; }, 5000));
    auto* results = topAs<GMiniCompletedScene>();
    EXPECT_EQ(results->getSceneBelow(), auction);
    EXPECT_EQ(results->getMaxTime(), 2000);
    EXPECT_EQ(results->getElapsedTime(), 2010);
    EXPECT_EQ(results->getScoreGain(), 30);
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 23);
    EXPECT_EQ(player->getInt("LevelIndex"), 24);
    // The auction's clock stops under the results.
    const uint32_t played = auction->playTimeMs;
    update(10);
    update(10);
    EXPECT_EQ(auction->playTimeMs, played);

    // OK while the numbers still count leaves at once.
    ASSERT_TRUE(runUntil([&] { return results->getCountPhase() == GMiniCompletedScene::Counting; }, 1000));
    EXPECT_FALSE(results->getDoneText()->getText().empty());
    EXPECT_TRUE(press(*results, "OkButton"));
    EXPECT_TRUE(runUntil([&] { return top() == map; }, 3000));
    EXPECT_TRUE(app->getTimerScheduler(1)->isEnabled());
    EXPECT_EQ(app->getSceneManager(1)->getTopScene(), nullptr);
    // Nothing ran on afterwards: one unlock, the score and time in place.
    for (int i = 0; i < 300; ++i) update(10);
    EXPECT_EQ(player->getInt("LevelIndex"), 24);
    std::string zeros;
    for (int i = 0; i < 23; ++i) zeros += "0;";
    EXPECT_EQ(player->getString("Scores"), (zeros + "30").c_str());
    EXPECT_EQ(player->getString("Times"), (zeros + "2010").c_str());
}

TEST_F(MiniGameFlowTest, WithoutItsResultsSceneAPlayIsSavedOnceAndLeavesBelowTheLoadingScene) {
    std::filesystem::remove(folder.file("scenes/MiniCompletedScene.oscn"));
    StandIn* map = openStandIn(1116);
    GMiniGameAuctionScene* auction = startAuction();
    ASSERT_NE(auction, nullptr);
    LogCapture log;
    ASSERT_TRUE(startPlaying(auction));
    EXPECT_TRUE(runUntil([&] { return top() == map; }, 5000));
    EXPECT_TRUE(log.contains("scenes/MiniCompletedScene.oscn"));
    for (int i = 0; i < 100; ++i) update(10);
    EXPECT_EQ(top(), map);
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 23);
    EXPECT_EQ(player->getInt("LevelIndex"), 24);
}

TEST_F(MiniGameFlowTest, TheMenuButtonReturnsToTheComicOrPastTheSceneThatOpenedTheLoadingScene) {
    struct Case {
        const char* name;
        int32_t opener;     // 0: none, the loading scene lies on the main menu
        bool toOpener;      // else to the scene below the opener
    };
    const Case cases[] = {
        {"comic", 1127, true},
        {"map", 1116, false},
        {"main menu", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        manager()->setScene(nullptr);
        update(10);
        showStart(new StandIn(1103, &context()));
        StandIn* opener = c.opener ? openStandIn(c.opener) : nullptr;
        GMiniGameAuctionScene* auction = startAuction();
        ASSERT_NE(auction, nullptr);
        LogCapture log;
        EXPECT_TRUE(press(*auction, "MenuButton"));
        if (c.opener) {
            SceneNode* expected = c.toOpener ? static_cast<SceneNode*>(opener) : start.get();
            EXPECT_TRUE(runUntil([&] { return top() == expected; }, 3000));
        } else {
            // Only the loading scene and the main menu lie below: the main
            // menu shows, and the loading scene never loads the game again.
            EXPECT_TRUE(runUntil([&] { return top() == start.get(); }, 3000));
        }
        for (int i = 0; i < 100; ++i) update(10);
        EXPECT_EQ(topAs<GMiniGameAuctionScene>(), nullptr);
    }

    // With nothing below the loading scene there is nowhere to go: the press
    // is logged and the auction stays (revealed, the loading scene would only
    // load it again).
    manager()->setScene(nullptr);
    update(10);
    CountedRef<Content> loaded(app->getContentManager()->load(ContentType::SceneNode, "scenes/LoadingLevelScene.oscn", true));
    auto* loading = dynamic_cast<GLoadingLevelScene*>(loaded.get());
    ASSERT_NE(loading, nullptr);
    loading->setLevelName("minigame_auction");
    manager()->setScene(loading);
    ASSERT_TRUE(runUntil([&] { return topAs<GMiniGameAuctionScene>() != nullptr; }));
    GMiniGameAuctionScene* alone = topAs<GMiniGameAuctionScene>();
    LogCapture log;
    EXPECT_TRUE(press(*alone, "MenuButton"));
    for (int i = 0; i < 100; ++i) update(10);
    EXPECT_EQ(top(), alone);
    EXPECT_TRUE(log.contains("no scene to return to"));
}
