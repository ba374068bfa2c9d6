// The shipped shop in a real 1024 x 768 OpenGL window, with the game object's
// managers and configuration and a player who has finished level 1 and
// chosen level 2 on the map: choosing it opens the shop (its hostel is
// missing), the pointer rests on the hostel to show the price window, the
// hostel is bought and Back returns to the map, where Play is now allowed.
// Frames are written to screenshots/shop-<moment>.png in the test's folder
// for people to look at; the test checks the state at each moment and that
// nothing was logged as an error.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "game/app/GGameApp.h"
#include "game/menus/GMapLocationButton.h"
#include "game/menus/GMapScene.h"
#include "game/menus/GShopButton.h"
#include "game/menus/GShopScene.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "menus/MenuWindowTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace engine;

namespace {

using device_test::centreOf;
using device_test::waitStep;

class ShopXvfbTest : public menu_window_test::MenuWindowTest {
protected:
    ShopXvfbTest() : MenuWindowTest(L"Lodgeroo shop", "shop-") {}
};

game::GShopButton* buttonNamed(game::GShopScene* shop, const char* name) {
    if (!shop) return nullptr;
    for (game::GShopButton* b : shop->getShopButtons()) {
        if (b->getName() == makeNameId(name)) return b;
    }
    return nullptr;
}

}  // namespace

TEST_F(ShopXvfbTest, ChoosingALockedLevelOpensTheShopWhereItsUpgradeIsBought) {
    loadContent();
    if (HasFatalFailure()) return;
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    ProfileParameters* player = store.getCurrentProfile();
    player->setInt("MaxUnlockedLevelIndex", 0);
    player->setInt("LevelIndex", 0);
    player->setString("Scores", "2500");
    player->setString("Times", "312000");
    player->setBool("ShowTutorialOn", false);

    SceneManager* scenes = app->getSceneManager(0);
    const CreationContext context(app->getContentManager(), "");
    start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
    ASSERT_TRUE(scenes->setScene(start.get()));
    auto* map = dynamic_cast<game::GMapScene*>(start->openScene("scenes/MapScene.oscn", false));
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->getLocationButtons().size(), 39u);
    game::GMapLocationButton* second = map->getLocationButtons()[1];
    game::GShopScene* shop = nullptr;
    auto hostel = [&] { return buttonNamed(shop, "Hostel"); };

    std::vector<device_test::ScriptStep> steps = {
        {"map open", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == map; }},
        waitStep("map shown", 400),
        {"choose second", [&] { click(vector2df(second->getPosition().X, second->getPosition().Y + 40)); },
         [&] {
             shop = dynamic_cast<game::GShopScene*>(scenes->getTopScene());
             return shop != nullptr;
         }},
        {"pointer away", [&] { hover(vector2df(1000, 760)); }, [] { return true; }},
        waitStep("shop shown", 800),
        shot("open"),
        {"hover hostel", [&] { hover(centreOf(hostel())); }, [&] { return shop->getHint()->isVisible(); }},
        waitStep("hint", 500),
        shot("hint"),
        {"buy hostel", [&] { click(centreOf(hostel())); }, [&] { return hostel()->isBought(); }},
        {"pointer off", [&] { hover(vector2df(1000, 760)); }, [] { return true; }},
        waitStep("bought", 500),
        shot("bought"),
        {"back", [&] { click(centreOf(shop->findChild(makeNameId("BackButton"), -1))); },
         [&] { return scenes->getTopScene() == map; }},
        waitStep("map again", 600),
        shot("map-after")};
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();

    EXPECT_EQ(player->getString("BoughtUpgrades"), "Hostel");
    EXPECT_TRUE(map->getPlayButton()->isEnabled());
    ASSERT_TRUE(lastShot);
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 768; y += 16)
        for (int32_t x = 0; x < 1024; x += 16) colours.insert(lastShot->getPixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "the map drew next to nothing";
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}
