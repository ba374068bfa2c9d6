// The shipped auction in a real 1024 x 768 OpenGL window over the built
// content tree, started the way the game starts it (the loading scene with
// the folder name): the caption is clicked away, the biggest sum is bid on
// several times with mouse events at the lots, the clock runs out and the
// results scene counts up; its OK returns to the scene the auction was
// started from. Frames go to screenshots/auction-<moment>.png in the test's
// folder for people to look at; the test checks the state at each moment
// and that nothing was logged as an error.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/CursorControl.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/menus/GMiniCompletedScene.h"
#include "game/minigames/GMiniGameAuctionScene.h"
#include "game/world/PathMovers.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace engine;
using device_test::centreOf;
using device_test::waitStep;

namespace {

class AuctionXvfbTest : public ::testing::Test, protected device_test::GameWindow {
protected:
    void SetUp() override {
        const std::string missing = openWindow(device_test::builtContentTree(), L"Lodgeroo auction");
        if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
        app = std::make_unique<game::GGameApp>();
        app->createManagers(device.get());
        game::theGameApp = app.get();
        game::setGameServices(app.get());
        drawer->managers = {app->getSceneManager(0)};
        drawer->beforeEnd = [this] {
            if (shotName.empty()) return;
            CountedRef<Image> frame(device->createScreenShot());
            device_test::writeShot(device.get(), frame.get(), "screenshots/auction-" + shotName + ".png");
            lastShot = frame;
            shotName.clear();
        };
        clearPlayers();
    }
    void TearDown() override {
        if (app) app->getSceneManager(0)->setScene(nullptr);
        start.reset();
        atlases.clear();
        lastShot.reset();
        game::theGameApp = nullptr;
        game::setGameServices(nullptr);
        app.reset();
        closeWindow();
        clearPlayers();
    }
    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }
    void loadContent() {
        CContentManager* content = app->getContentManager();
        ASSERT_NO_FATAL_FAILURE(
            device_test::loadIntroContent(device.get(), content, device_test::builtContentTree(), atlases));
        CountedRef<BaseNode> templates(content->loadSceneNode("scenes/TemplateCollection.oscn", false));
        auto* collection = nodeCast<TemplateCollectionNode>(templates.get());
        ASSERT_TRUE(collection);
        app->getSceneManager(0)->setTemplateCollection(collection);
        app->loadGameConfiguration();
    }
    // A click as the window delivers it, with the pointer moved there first
    // (the flying numbers start at the pointer).
    void click(const vector2df& at) {
        const int32_t x = static_cast<int32_t>(at.X), y = static_cast<int32_t>(at.Y);
        if (CursorControl* cursor = device->getCursorControl()) cursor->setPosition(x, y);
        CountedRef<Event> move(new MouseMoveEvent(x, y));
        device->deliverEvent(move.get());
        CountedRef<Event> down(new LeftButtonDownEvent(x, y));
        device->deliverEvent(down.get());
        CountedRef<Event> up(new LeftButtonUpEvent(x, y));
        device->deliverEvent(up.get());
    }
    device_test::ScriptStep shot(const char* name) {
        return {std::string("shot ") + name, [this, name] { shotName = name; }, [this] { return shotName.empty(); }};
    }
    // The centre of the lot holding the biggest (or another) sum.
    vector2df lot(game::GMiniGameAuctionScene* auction, bool biggest) const {
        for (int32_t i = 0; i < game::GMiniGameAuctionScene::kZoneCount; ++i) {
            if ((auction->getZoneValues()[i] == auction->getCorrectValue()) == biggest) {
                const vector3df at = auction->getZone(i)->getPosition();
                return vector2df(at.X + 110, at.Y + 90);
            }
        }
        return vector2df(0, 0);
    }

    testing_support::LogCapture log;
    std::unique_ptr<game::GGameApp> app;
    std::vector<CountedRef<Content>> atlases;
    CountedRef<SceneNode> start;
    std::string shotName;
    CountedRef<Image> lastShot;
};

}  // namespace

TEST_F(AuctionXvfbTest, ThePlayerBidsOnTheBiggestSumsUntilTheClockRunsOutAndSeesTheResults) {
    loadContent();
    if (HasFatalFailure()) return;
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    ProfileParameters* player = store.getCurrentProfile();
    player->setInt("MaxUnlockedLevelIndex", 22);
    player->setInt("LevelIndex", 23);
    player->setString("LevelName", "minigame_auction");

    SceneManager* scenes = app->getSceneManager(0);
    const CreationContext context(app->getContentManager(), "");
    start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
    ASSERT_TRUE(scenes->setScene(start.get()));
    auto* loading = dynamic_cast<game::GLoadingLevelScene*>(start->openScene("scenes/LoadingLevelScene.oscn", false));
    ASSERT_NE(loading, nullptr);
    loading->setLevelName("minigame_auction");

    game::GMiniGameAuctionScene* auction = nullptr;
    game::GMiniCompletedScene* results = nullptr;
    int32_t turns = 0;
    int32_t trails = 0;
    bool moneyShown = false;
    auto bid = [&](const char* name, bool biggest) {
        return device_test::ScriptStep{name,
                                       [&, biggest] {
                                           turns = auction->getTurnCount();
                                           click(lot(auction, biggest));
                                       },
                                       [&] { return auction->getTurnCount() == turns + 1; }};
    };
    auto countTrails = [&] {
        BaseNode* game = auction->findChild(makeNameId("Scene"), 1)->findChild(makeNameId("Game"), 1);
        int32_t count = 0;
        for (uint32_t i = 0; i < game->getChildCount(); ++i) {
            if (nodeCast<game::GTextTrailNode>(game->getChild(i))) ++count;
        }
        return count;
    };
    std::vector<device_test::ScriptStep> steps = {
        {"auction open", nullptr,
         [&] {
             auction = dynamic_cast<game::GMiniGameAuctionScene*>(scenes->getTopScene());
             return auction && drawer->frames >= 3;
         }},
        // The shipped minute and a half, cut short for the test.
        {"short clock", [&] { auction->maxLevelTime = 5000; }, [&] { return auction->phase == game::GMiniGameScene::Caption; }},
        waitStep("caption shown", 600),
        shot("caption"),
        {"caption away", [&] { click(centreOf(auction->linet)); },
         [&] { return auction->phase == game::GMiniGameScene::Playing; }},
        waitStep("caption gone", 400),
        {"money shown",
         [&] {
             moneyShown = true;
             for (int32_t i = 0; i < game::GMiniGameAuctionScene::kZoneCount; ++i) {
                 auto* money = nodeCast<SpriteNode>(auction->getZone(i)->findChild(makeNameId("Obj"), 1));
                 moneyShown = moneyShown && money && money->getAtlasTexture();
             }
         },
         [] { return true; }},
        bid("first bid", true),
        bid("second bid", true),
        bid("a wrong bid", false),
        bid("third bid", true),
        {"a number flies", [&] { trails = countTrails(); }, [&] { return true; }},
        {"hover a lot", [&] {
             const vector2df at = lot(auction, false);
             CountedRef<Event> move(new MouseMoveEvent(static_cast<int32_t>(at.X), static_cast<int32_t>(at.Y)));
             device->deliverEvent(move.get());
         },
         [] { return true; }},
        waitStep("flying", 150),
        shot("bidding"),
        {"clock runs out", nullptr,
         [&] {
             results = dynamic_cast<game::GMiniCompletedScene*>(scenes->getTopScene());
             return results != nullptr;
         }},
        {"counted", nullptr, [&] { return results->getCountPhase() == game::GMiniCompletedScene::Finished; }},
        waitStep("settled", 300),
        shot("results"),
        {"ok", [&] { click(centreOf(results->findChild(makeNameId("Scene"), 1)->findChild(makeNameId("OkButton"), 1))); },
         [&] { return scenes->getTopScene() == start.get(); }},
    };
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();

    // Three right bids of 15, each with its flying number (the first ones
    // may have landed); the money pictures came from the built tree.
    EXPECT_GE(trails, 1);
    EXPECT_TRUE(moneyShown);
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 23);
    EXPECT_EQ(player->getInt("LevelIndex"), 24);
    EXPECT_NE(player->getString("Scores").find("45"), -1);
    ASSERT_TRUE(lastShot);
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 768; y += 16)
        for (int32_t x = 0; x < 1024; x += 16) colours.insert(lastShot->getPixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "the results drew next to nothing";
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}
