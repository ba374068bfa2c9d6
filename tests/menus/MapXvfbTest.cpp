// The shipped map in a real 1024 x 768 OpenGL window, with the game object's
// managers and configuration and a player who has finished level 1 with a
// silver medal: the map opens over a start scene, its first tutorial is
// answered, the pointer rests on the next location to show its hint, and the
// next location is chosen, which opens the shop for its missing upgrade.
// Frames are written to screenshots/map-<moment>.png in the test's folder for
// people to look at; the test checks the map's state at each moment and that
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
#include "game/tutorial/GTutorial.h"
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

class MapXvfbTest : public menu_window_test::MenuWindowTest {
protected:
    MapXvfbTest() : MenuWindowTest(L"Lodgeroo map", "map-") {}
};

}  // namespace

TEST_F(MapXvfbTest, PlayerAfterTheFirstLevelSeesTheMapItsTutorialAndAHint) {
    loadContent();
    if (HasFatalFailure()) return;
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    ProfileParameters* player = store.getCurrentProfile();
    player->setInt("MaxUnlockedLevelIndex", 0);
    player->setInt("LevelIndex", 1);
    player->setString("Scores", "1500");
    player->setString("Times", "312000");
    player->setBool("ShowTutorialOn", true);
    player->setBool("ShowTutorialMap1", true);

    SceneManager* scenes = app->getSceneManager(0);
    const CreationContext context(app->getContentManager(), "");
    start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
    ASSERT_TRUE(scenes->setScene(start.get()));
    auto* map = dynamic_cast<game::GMapScene*>(start->openScene("scenes/MapScene.oscn", false));
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->getLocationButtons().size(), 3u);
    game::GMapLocationButton* second = map->getLocationButtons()[1];
    game::GMapLocationButton* third = map->getLocationButtons()[2];

    std::vector<device_test::ScriptStep> steps = {
        {"map open", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == map; }},
        {"tutorial", nullptr,
         [&] {
             game::GTutorial* tutorial = map->getTutorial();
             return tutorial && tutorial->getWindow() && tutorial->getWindow()->isVisible();
         }},
        waitStep("tutorial shown", 800),
        shot("tutorial"),
        {"tutorial ok",
         [&] {
             if (BaseNode* ok = map->getTutorial()->getOkButton()) click(centreOf(ok));
         },
         [&] { return map->getTutorial() == nullptr; }},
        waitStep("tutorial gone", 400),
        shot("progress"),
        {"hover second", [&] { hover(vector2df(second->getPosition().X, second->getPosition().Y + 60)); },
         [&] { return map->getLevelHint(2)->isVisible(); }},
        waitStep("hint", 500),
        shot("hint-upgrade"),
        {"hover third", [&] { hover(vector2df(third->getPosition().X, third->getPosition().Y + 60)); },
         [&] { return map->getLevelHint(2)->isVisible() && map->getLevelHint(2)->getPosition().X == third->getPosition().X; }},
        waitStep("hint", 500),
        shot("hint-locked"),
        {"hover first", [&] {
             game::GMapLocationButton* first = map->getLocationButtons()[0];
             hover(vector2df(first->getPosition().X, first->getPosition().Y + 60));
         },
         [&] { return map->getLevelHint(1)->isVisible(); }},
        waitStep("hint", 500),
        shot("hint-finished"),
        {"choose second", [&] { click(vector2df(second->getPosition().X, second->getPosition().Y + 60)); },
         [&] { return player->getInt("LevelIndex") == 1 && map->getSelected() == second; }},
        {"pointer away", [&] { hover(vector2df(600, 560)); }, [] { return true; }},
        waitStep("settled", 400),
        shot("chosen")};
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();

    // Level 1 finished and level 2 open; level 3 locked. Level 2 needs the
    // hostel, not bought yet: Play is refused and the shop opened instead.
    EXPECT_TRUE(map->getLocationButtons()[0]->isEnabled());
    EXPECT_TRUE(second->isEnabled());
    EXPECT_FALSE(third->isEnabled());
    EXPECT_FALSE(map->getPlayButton()->isEnabled());
    EXPECT_TRUE(scenes->getTopScene() && scenes->getTopScene()->isOfType(1117));
    ASSERT_TRUE(lastShot);
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 768; y += 16)
        for (int32_t x = 0; x < 1024; x += 16) colours.insert(lastShot->getPixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "the map drew next to nothing";
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}
