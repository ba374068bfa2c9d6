// The shipped main menu in a real 1024 x 768 OpenGL window: its street fills
// with cars, walkers, clouds and the cyclist from the first seconds, every
// actor draws below the menu panel, and nothing is logged as an error. Frames
// go to screenshots/menus-main-menu-<moment>.png in the test's folder.
#include "engine/content/ProfileStore.h"
#include "engine/core/SceneManager.h"
#include "engine/particles/SpawnerNode.h"
#include "game/menus/GMainMenuScene.h"
#include "game/menus/MainMenuActors.h"
#include "menus/MenuWindowTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;

namespace {

class MainMenuStreetXvfbTest : public menu_window_test::MenuWindowTest {
protected:
    MainMenuStreetXvfbTest() : MenuWindowTest(L"Lodgeroo main menu", "menus-") {}

    bool play(std::vector<device_test::ScriptStep> steps) {
        device_test::FrameScript script(device.get(), std::move(steps));
        drawer->onFrame = [&] { script.onFrame(); };
        EXPECT_TRUE(device->run());
        drawer->onFrame = nullptr;
        EXPECT_TRUE(script.finished()) << "stopped at step " << script.current();
        return script.finished();
    }
};

// The actors of a kind under the node (spawned ones included) that stand
// on the screen.
void collectActors(BaseNode* node, int32_t typeId, std::vector<BaseNode*>& out) {
    if (node->isOfType(typeId)) {
        const vector3df& p = node->getPosition();
        if (p.X > 0.0f && p.X < 1024.0f && p.Y > 0.0f && p.Y < 768.0f) out.push_back(node);
    }
    for (uint32_t i = 0; i < node->getChildCount(); ++i) collectActors(node->getChild(i), typeId, out);
    if (auto* spawner = nodeCast<SpawnerNode>(node))
        for (const auto& ghost : spawner->getSpawnedGhosts())
            if (ghost->getParent() == node) collectActors(ghost.get(), typeId, out);
}

size_t onScreen(BaseNode* root, int32_t typeId) {
    std::vector<BaseNode*> found;
    collectActors(root, typeId, found);
    return found.size();
}

bool isUnder(const BaseNode* node, const BaseNode* ancestor) {
    for (; node; node = node->getParent())
        if (node == ancestor) return true;
    return false;
}

}  // namespace

TEST_F(MainMenuStreetXvfbTest, TheStreetFillsAtOnceAndStaysBehindThePanel) {
    loadContent();
    if (HasFatalFailure()) return;
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    game::mainMenuActorCounters() = {};
    SceneManager* scenes = app->getSceneManager(0);
    const CreationContext context(app->getContentManager(), "");
    start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
    ASSERT_TRUE(scenes->setScene(start.get()));
    auto* menu = dynamic_cast<game::GMainMenuScene*>(start->openScene("scenes/MainMenuScene.oscn", true));
    ASSERT_NE(menu, nullptr);
    BaseNode* active = menu->findChild(makeNameId("BgScene"), 1);
    active = active ? active->findChild(makeNameId("ActiveBg"), 1) : nullptr;
    BaseNode* panel = menu->findChild(makeNameId("Scene"), 1);
    ASSERT_TRUE(active && panel);
    BaseNode* bike = nullptr;
    vector3df bikeAt;
    ASSERT_TRUE(play({
        {"menu open", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == menu; }},
        {"street alive", nullptr,
         [&] {
             return onScreen(active, 1105) >= 1 && onScreen(active, 1104) >= 1 && onScreen(active, 1106) >= 2 &&
                    onScreen(active, 1107) >= 1;
         }},
        shot("main-menu-start"),
        {"the cyclist rides on",
         [&] {
             std::vector<BaseNode*> bikes;
             collectActors(active, 1107, bikes);
             bike = bikes.front();
             bikeAt = bike->getPosition();
         },
         [&] { return bike->getPosition().getDistanceFrom(bikeAt) > 60.0f; }},
        // The spawners' staggered head starts send more out within seconds.
        {"street busy", nullptr, [&] { return onScreen(active, 1105) >= 2 && onScreen(active, 1104) >= 2; }},
        shot("main-menu-street"),
    }));

    // Every actor's item lies below every item of the menu panel.
    RenderList list;
    menu->collectRenderItems(list);
    float deepestPanel = 1e9f, highestActor = -1e9f;
    size_t actors = 0;
    for (uint32_t i = 0; i < list.size(); ++i) {
        BaseNode* node = list[i].node;
        if (isUnder(node, panel)) deepestPanel = std::min(deepestPanel, list[i].depth);
        for (BaseNode* n = node; n; n = n->getParent()) {
            if (n->isOfType(1140)) {
                highestActor = std::max(highestActor, list[i].depth);
                ++actors;
                break;
            }
        }
    }
    EXPECT_GE(actors, 6u);
    EXPECT_LT(highestActor, deepestPanel);
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}
