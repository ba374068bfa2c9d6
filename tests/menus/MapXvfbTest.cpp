// The shipped map in a real 1024 x 768 OpenGL window, with the game object's
// managers and configuration and a player who has finished level 1 with a
// silver medal: the map opens over a start scene, its first tutorial is
// answered, the pointer rests on the next location to show its hint, and the
// next location is chosen, which opens the shop for its missing upgrade.
// Frames are written to screenshots/map-<moment>.png in the test's folder for
// people to look at; the test checks the map's state at each moment and that
// nothing was logged as an error. The whole map of 39 locations is shot for a
// new player, after level 6, after level 7 and near the end, with the hint of
// the next location: no plate or platform meets another, every name fits.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "engine/content/Dictionary.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/Font.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/UpgradesConfiguration.h"
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

#include <algorithm>
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
    ASSERT_EQ(map->getLocationButtons().size(), 39u);
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
        {"hover second", [&] { hover(vector2df(second->getPosition().X, second->getPosition().Y + 40)); },
         [&] { return map->getLevelHint(2)->isVisible(); }},
        waitStep("hint", 500),
        shot("hint-upgrade"),
        {"hover third", [&] { hover(vector2df(third->getPosition().X, third->getPosition().Y + 40)); },
         [&] { return map->getLevelHint(2)->isVisible() && map->getLevelHint(2)->getPosition().X == third->getPosition().X; }},
        waitStep("hint", 500),
        shot("hint-locked"),
        {"hover first", [&] {
             game::GMapLocationButton* first = map->getLocationButtons()[0];
             hover(vector2df(first->getPosition().X, first->getPosition().Y + 40));
         },
         [&] { return map->getLevelHint(1)->isVisible(); }},
        waitStep("hint", 500),
        shot("hint-finished"),
        {"choose second", [&] { click(vector2df(second->getPosition().X, second->getPosition().Y + 40)); },
         [&] { return player->getInt("LevelIndex") == 1 && map->getSelected() == second; }},
        {"pointer away", [&] { hover(vector2df(600, 560)); }, [] { return true; }},
        waitStep("settled", 400),
        shot("chosen")};
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();

    // Level 1 finished and level 2 open; level 3 and everything after it locked.
    // Level 2 needs the hostel, not bought yet: Play is refused and the shop opened instead.
    EXPECT_TRUE(map->getLocationButtons()[0]->isEnabled());
    EXPECT_TRUE(second->isEnabled());
    EXPECT_FALSE(third->isEnabled());
    for (size_t i = 3; i < map->getLocationButtons().size(); ++i) EXPECT_FALSE(map->getLocationButtons()[i]->isEnabled()) << i;
    EXPECT_FALSE(map->getPlayButton()->isEnabled());
    EXPECT_TRUE(scenes->getTopScene() && scenes->getTopScene()->isOfType(1117));
    ASSERT_TRUE(lastShot);
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 768; y += 16)
        for (int32_t x = 0; x < 1024; x += 16) colours.insert(lastShot->getPixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "the map drew next to nothing";
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}

namespace {

// The drawn size of a sprite's atlas picture, trimmed margins included.
vector2df pictureSize(SpriteNode* sprite) {
    AtlasTextureContent* picture = sprite ? sprite->getAtlasTexture() : nullptr;
    if (!picture || !picture->getTexture()) return vector2df(0, 0);
    const irr::core::dimension2d<irr::u32> size = getTextureImageSize(picture->getTexture());
    const rectf& part = picture->getTextureRect();
    return vector2df(
        (part.LowerRightCorner.X - part.UpperLeftCorner.X) * static_cast<float>(size.Width) +
            picture->getLeadingMargin().X + picture->getTrailingMargin().X,
        (part.LowerRightCorner.Y - part.UpperLeftCorner.Y) * static_cast<float>(size.Height) +
            picture->getLeadingMargin().Y + picture->getTrailingMargin().Y);
}

struct Box {
    float left, top, right, bottom;
    bool meets(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

Box boxOf(BaseNode* node, const vector2df& size) {
    const matrix4& m = node->getAbsoluteTransform();
    return {m[12], m[13], m[12] + size.X, m[13] + size.Y};
}

// The lowest and highest draw depth of the node and everything under it,
// template parts included.
void depthRange(BaseNode* node, float& lowest, float& highest) {
    if (!node) return;
    const float z = node->getAbsoluteTransform()[14];
    lowest = std::min(lowest, z);
    highest = std::max(highest, z);
    if (auto* control = nodeCast<ControlNode>(node)) depthRange(control->getTemplateRoot(), lowest, highest);
    const array<BaseNode*>& children = node->getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) depthRange(children[i], lowest, highest);
}

// Locations open up to the one after the last finished; the mini-game
// locations keep their own name plate, open or not. Nothing overlaps: each
// location's name plate and platform keep clear of every other location's,
// and each name fits its plate.
void checkWholeMap(game::GMapScene* map, int32_t maxUnlocked, IDictionary* dictionary) {
    const std::vector<game::GMapLocationButton*>& buttons = map->getLocationButtons();
    ASSERT_EQ(buttons.size(), 39u);
    std::vector<Box> boxes;
    for (int32_t i = 0; i < 39; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(buttons[i]->isEnabled(), i <= maxUnlocked + 1);
        const bool miniGame = i == 7 || i == 15 || i == 23 || i == 31;
        EXPECT_EQ(buttons[i]->getTemplateName(), makeNameId(miniGame ? "MapMiniGame" : "MapLocation"));
        ControlNode* root = buttons[i]->getTemplateRoot();
        ASSERT_NE(root, nullptr);
        auto* tag = nodeCast<SpriteNode>(root->findChild(makeNameId("Tag"), 1));
        auto* text = nodeCast<TextNode>(root->findChild(makeNameId("Text"), 1));
        ASSERT_TRUE(tag && text && buttons[i]->getPlatform());
        const vector2df tagSize = pictureSize(tag);
        EXPECT_GT(tagSize.X, 0.0f);
        boxes.push_back(boxOf(tag, tagSize));
        boxes.push_back(boxOf(buttons[i]->getPlatform(), pictureSize(buttons[i]->getPlatform())));
        const Box& plate = boxes[boxes.size() - 2];
        EXPECT_GE(plate.left, 0.0f);
        EXPECT_LE(plate.right, 1024.0f);
        EXPECT_LE(plate.bottom, 700.0f) << "the plate reaches the map's buttons";
        ASSERT_NE(text->getFont(), nullptr);
        const stringw caption = dictionary->translate(buttons[i]->getText());
        const float width = text->getFont()->getTextDimension(caption, vector2df(0, 0)).X;
        EXPECT_LE(width, text->getBounds().X * 0.92f) << stringc(caption).c_str();
    }
    for (size_t a = 0; a < boxes.size(); ++a) {
        for (size_t b = a + 1; b < boxes.size(); ++b) {
            if (a / 2 != b / 2) {
                EXPECT_FALSE(boxes[a].meets(boxes[b])) << a / 2 << " and " << b / 2;
            }
        }
    }
}

}  // namespace

TEST_F(MapXvfbTest, TheWholeMapAtTheStartAfterLevelSixAfterLevelSevenAndNearTheEnd) {
    loadContent();
    if (HasFatalFailure()) return;
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    ProfileParameters* player = store.getCurrentProfile();
    player->setBool("ShowTutorialOn", false);
    // Every upgrade bought, so the platforms show progress only.
    stringc bought;
    for (const auto& entry : app->getUpgradesConfiguration()->upgrades()) bought += nameOfId(entry.first) + ";";
    player->setString("BoughtUpgrades", bought);

    struct Moment {
        const char* shot;
        int32_t maxUnlocked;
        const char* scores;  // silver, gold and plain finishes mixed
        int32_t hovered;     // the location whose hint is shot
    };
    const Moment moments[] = {
        {"whole-start", -1, "", 0},
        {"whole-after-level-6", 5, "1000;3000;2500;4000;2900;9000", 6},
        {"whole-after-level-7", 6, "1000;3000;2500;4000;2900;9000;4500", 7},
        {"whole-near-the-end", 36,
         "2000;3000;5000;2900;3300;6400;4100;800;9000;5000;5300;5700;6100;6500;13800;1000;7300;7700;8100;8500;"
         "17800;18600;19400;600;10500;10900;11300;11700;12100;24200;13000;700;12900;26000;13700;14100;29000",
         37},
    };
    SceneManager* scenes = app->getSceneManager(0);
    const CreationContext context(app->getContentManager(), "");
    start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
    ASSERT_TRUE(scenes->setScene(start.get()));
    IDictionary* dictionary = device->getDictionary();
    ASSERT_NE(dictionary, nullptr);

    // One script through the four moments: each opens the map for its
    // player, shoots it, shoots the hint of a location and checks the map.
    game::GMapScene* map = nullptr;
    size_t openedAt = 0;
    std::vector<std::string> hintShots;
    for (const Moment& moment : moments) hintShots.push_back(std::string(moment.shot) + "-hint");
    std::vector<device_test::ScriptStep> steps;
    for (size_t m = 0; m < sizeof(moments) / sizeof(moments[0]); ++m) {
        const Moment& moment = moments[m];
        steps.push_back({std::string("open ") + moment.shot,
                         [&, m] {
                             scenes->setScene(start.get());
                             player->setInt("MaxUnlockedLevelIndex", moments[m].maxUnlocked);
                             player->setInt("LevelIndex", moments[m].maxUnlocked + 1);
                             player->setString("Scores", moments[m].scores);
                             map = dynamic_cast<game::GMapScene*>(start->openScene("scenes/MapScene.oscn", false));
                             openedAt = drawer->frames;
                         },
                         [&] { return map && drawer->frames >= openedAt + 3 && scenes->getTopScene() == map; }});
        steps.push_back(waitStep("map shown", 500));
        steps.push_back(shot(moment.shot));
        steps.push_back({"hover",
                         [&, m] {
                             game::GMapLocationButton* button = map->getLocationButtons()[moments[m].hovered];
                             hover(vector2df(button->getPosition().X, button->getPosition().Y + 40));
                         },
                         [&] {
                             for (int32_t h = 0; h < game::GMapScene::kHintCount; ++h)
                                 if (map->getLevelHint(h)->isVisible()) return true;
                             return false;
                         }});
        steps.push_back(waitStep("hint", 400));
        steps.push_back(shot(hintShots[m].c_str()));
        steps.push_back({"check",
                         [&, m] {
                             SCOPED_TRACE(moments[m].shot);
                             checkWholeMap(map, moments[m].maxUnlocked, dictionary);
                             hover(vector2df(330, 740));
                         },
                         [] { return true; }});
    }
    // A location whose level the content lacks (every level ships, so the
    // selected one is pointed at a folder that does not exist): Play tells
    // the player so over the map.
    steps.push_back({"play",
                     [&] {
                         ASSERT_NE(map->getSelected(), nullptr);
                         map->getSelected()->setAssociatedLevelName("level_not_shipped");
                         click(centreOf(map->getPlayButton()));
                     },
                     [&] { return scenes->getTopScene() && scenes->getTopScene()->isOfType(SceneManager::kMessageBoxTypeId); }});
    steps.push_back(waitStep("notice shown", 500));
    steps.push_back(shot("whole-not-yet-open"));
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    SceneNode* notice = scenes->getTopScene();
    EXPECT_EQ(notice->getSceneBelow(), map);
    // The notice is drawn over every location.
    float boxLowest = 1e9f, boxHighest = -1e9f, mapLowest = 1e9f, mapHighest = -1e9f;
    const array<BaseNode*>& parts = notice->getTemplateRoot()->getChildren();
    for (uint32_t i = 0; i < parts.size(); ++i) depthRange(parts[i], boxLowest, boxHighest);
    for (game::GMapLocationButton* button : map->getLocationButtons()) depthRange(button, mapLowest, mapHighest);
    EXPECT_LT(mapHighest, boxLowest);
    // The one error: the level Play asked for is not in the content.
    for (const auto& entry : log.entries()) {
        if (entry.text == "The location's level is not in the content") continue;
        EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
    }
}
