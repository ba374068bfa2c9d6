// The three shipped hidden-object locations in a real 1024 x 768 OpenGL
// window over the built content tree: each level is loaded as the loading
// scene loads a mini-game (its Level.oscn, then its configuration) and
// pushed over a start scene; the caption is dismissed, a hint is asked for,
// and every object is found by clicking a point where its picture is drawn
// (a point the sprite's pixel test takes), until the play completes. Frames
// (and one of each location letterboxed in a wide window) are written to
// screenshots/hidden-<location>-<moment>.png for people to
// look at; the test checks the play's state at each moment and that nothing
// was logged as an error.
#include "engine/content/CContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/platform/DeviceParameters.h"
#include "engine/particles/ParticleSystemNode.h"
#include "engine/visual/SpriteNode.h"
#include "game/minigames/GMiniGameHidden2Scene.h"
#include "game/minigames/GMiniGameHiddenScene.h"
#include "game/world/PathMovers.h"
#include "menus/MenuWindowTest.h"

#include <gtest/gtest.h>

#include <list>
#include <set>
#include <string>
#include <vector>

using namespace engine;

namespace {

using device_test::waitStep;

class HiddenObjectsXvfbTest : public menu_window_test::MenuWindowTest {
protected:
    HiddenObjectsXvfbTest() : MenuWindowTest(L"Lodgeroo hidden objects", "hidden-") {}

    // The level of the folder, configured and pushed over a start scene.
    template <class Scene>
    Scene* openLevel(const char* folder) {
        CContentManager* content = app->getContentManager();
        CountedRef<Content> particles(content->load(ContentType::ParticleCollection, "scenes/ParticleCollection.xml", true));
        EXPECT_TRUE(particles);
        held.push_back(particles);
        const stringc path = stringc("levels/") + folder + "/Level.oscn";
        CountedRef<Content> loaded(content->load(ContentType::SceneNode, path, true));
        Scene* scene = dynamic_cast<Scene*>(loaded.get());
        if (!scene) {
            ADD_FAILURE() << path.c_str() << " is not the expected scene";
            return nullptr;
        }
        scene->loadConfiguration(stringc("levels/") + folder + "/");
        // A player at the mini-game's location, who has not finished it yet.
        ProfileStore& store = getProfileStore();
        EXPECT_TRUE(store.addProfile(L"Ann"));
        store.selectProfile(0);
        player = store.getCurrentProfile();
        player->setInt("MaxUnlockedLevelIndex", 6);
        player->setInt("LevelIndex", 7);
        player->setString("LevelName", folder);
        SceneManager* scenes = app->getSceneManager(0);
        const CreationContext context(content, "");
        start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
        EXPECT_TRUE(scenes->setScene(start.get()));
        EXPECT_TRUE(start->pushScene(scene, false));
        return scene;
    }

    // A point of the object where its picture is drawn, nearest its centre.
    static bool drawnPoint(BaseNode* object, vector2df& point) {
        const vector3df at = object->getPosition();
        const vector3df size = object->getBounds();
        const vector2df centre(at.X + size.X * 0.5f, at.Y + size.Y * 0.5f);
        bool found = false;
        float best = 0.0f;
        for (float y = at.Y + 1; y < at.Y + size.Y; y += 2) {
            for (float x = at.X + 1; x < at.X + size.X; x += 2) {
                if (!object->findNodeAt(vector2df(x, y))) continue;
                const float d = (x - centre.X) * (x - centre.X) + (y - centre.Y) * (y - centre.Y);
                if (!found || d < best) {
                    found = true;
                    best = d;
                    point = vector2df(x, y);
                }
            }
        }
        return found;
    }

    // Steps that click each object in turn where it is drawn; `next` names
    // the object to click now (null when none is left).
    void addFindSteps(std::vector<device_test::ScriptStep>& steps, size_t count, std::function<BaseNode*()> next,
                      std::function<size_t()> left) {
        for (size_t i = 0; i < count; ++i) {
            steps.push_back({"find " + std::to_string(i + 1),
                             [this, next] {
                                 BaseNode* object = next();
                                 vector2df at;
                                 if (!object || !drawnPoint(object, at)) {
                                     ADD_FAILURE() << "no drawn point on the object to find";
                                     return;
                                 }
                                 click(at);
                             },
                             [left, count, i] { return left() == count - i - 1; }});
            steps.push_back(waitStep("stars", 150));
        }
    }

    // The window at another size, the picture letterboxed into it.
    void resize(int32_t width, int32_t height) {
        DeviceParameters parameters = device_test::openGLWindowParameters();
        parameters.windowWidth = width;
        parameters.windowHeight = height;
        ASSERT_TRUE(device->applyVideoParameters(parameters));
        app->updateLetterbox();
    }
    // Steps that show the play in a wide window for a shot, then return to
    // the usual size (where the clicks land on the virtual screen as it is).
    void addWideShot(std::vector<device_test::ScriptStep>& steps, const std::string& name) {
        steps.push_back({"wide window", [this] { resize(1280, 720); }, [] { return true; }});
        steps.push_back(waitStep("wide drawn", 400));
        steps.push_back(namedShot(name + "-1280x720"));
        steps.push_back({"usual window", [this] { resize(1024, 768); }, [] { return true; }});
        steps.push_back(waitStep("usual drawn", 300));
    }
    // A shot whose name the step keeps alive.
    device_test::ScriptStep namedShot(const std::string& name) {
        shotNames.push_back(name);
        return shot(shotNames.back().c_str());
    }

    // The score saved at the mini-game's location.
    std::string savedScore() const {
        const stringc scores = player ? player->getString("Scores") : stringc();
        std::string text = scores.c_str();
        const size_t last = text.rfind(';');
        return last == std::string::npos ? text : text.substr(last + 1);
    }

    std::vector<CountedRef<Content>> held;
    std::list<std::string> shotNames;
    ProfileParameters* player = nullptr;
};

bool phaseIs(const game::GMiniGameScene* scene, int32_t phase) { return scene && scene->phase == phase; }

void expectColourful(const Image* shot) {
    ASSERT_TRUE(shot);
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 768; y += 16)
        for (int32_t x = 0; x < 1024; x += 16) colours.insert(shot->getPixel(x, y));
    EXPECT_GT(colours.size(), 12u) << "the picture drew next to nothing";
}

struct Location {
    const char* folder;
    const char* shotName;
};

}  // namespace

class HiddenObjectsFirstGameXvfbTest : public HiddenObjectsXvfbTest,
                                       public ::testing::WithParamInterface<Location> {};

TEST_P(HiddenObjectsFirstGameXvfbTest, EveryObjectIsFoundWhereItIsDrawnAndThePlayCompletes) {
    loadContent();
    if (HasFatalFailure()) return;
    const Location location = GetParam();
    auto* scene = openLevel<game::GMiniGameHiddenScene>(location.folder);
    ASSERT_TRUE(scene);
    ASSERT_TRUE(scene->getHitObjects());
    const size_t count = scene->getHitObjects()->getChildCount();
    ASSERT_GE(count, 6u);
    EXPECT_GT(scene->maxLevelTime, 0);
    EXPECT_GT(scene->expertScore, 0);
    const std::string prefix = location.shotName;
    SceneManager* scenes = app->getSceneManager(0);

    std::vector<device_test::ScriptStep> steps = {
        {"shown", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == scene; }},
        {"caption", nullptr, [&] { return phaseIs(scene, game::GMiniGameScene::Caption); }},
        waitStep("caption shown", 500),
        namedShot(prefix + "-caption"),
        {"start", [&] { click(vector2df(512, 40)); }, [&] { return phaseIs(scene, game::GMiniGameScene::Playing); }},
        waitStep("caption gone", 500),
        namedShot(prefix + "-play"),
        {"hint", [&] { click(vector2df(781, 723)); }, [&] { return scene->getHintedObject() != nullptr; }},
        waitStep("hint shown", 700),
        namedShot(prefix + "-hint")};
    addWideShot(steps, prefix + "-hint");
    addFindSteps(
        steps, count, [scene] { return scene->getHitObjects()->getChild(0); },
        [scene] { return static_cast<size_t>(scene->getHitObjects()->getChildCount()); });
    steps.push_back({"completed", nullptr, [&] { return scene->isPlayCompleted(); }});
    steps.push_back(waitStep("results", 600));
    steps.push_back(namedShot(prefix + "-done"));
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    EXPECT_EQ(scene->score, scene->expertScore);
    EXPECT_EQ(savedScore(), std::to_string(scene->expertScore));
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 7);
    expectColourful(lastShot.get());
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}

INSTANTIATE_TEST_SUITE_P(Locations, HiddenObjectsFirstGameXvfbTest,
                         ::testing::Values(Location{"minigame_hidden", "lobby"},
                                           Location{"minigame_hidden3", "market"}),
                         [](const ::testing::TestParamInfo<Location>& info) {
                             return std::string(info.param.shotName);
                         });

TEST_F(HiddenObjectsXvfbTest, BeachObjectsAreFoundOneAtATimeAsThePreviewAsks) {
    loadContent();
    if (HasFatalFailure()) return;
    auto* scene = openLevel<game::GMiniGameHidden2Scene>("minigame_hidden2");
    ASSERT_TRUE(scene);
    const size_t count = scene->getFindOrder().size();
    ASSERT_GE(count, 6u);
    ASSERT_EQ(scene->getItemsToFind().size(), count);
    SceneManager* scenes = app->getSceneManager(0);

    std::vector<device_test::ScriptStep> steps = {
        {"shown", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == scene; }},
        {"caption", nullptr, [&] { return phaseIs(scene, game::GMiniGameScene::Caption); }},
        waitStep("caption shown", 500),
        shot("beach-caption"),
        {"start", [&] { click(vector2df(512, 40)); }, [&] { return phaseIs(scene, game::GMiniGameScene::Playing); }},
        waitStep("caption gone", 500),
        {"preview", nullptr,
         [&] { return scene->getPreviewImage() && scene->getPreviewImage()->getAtlasTexture() != nullptr; }},
        shot("beach-play"),
        {"hover",
         [&] {
             vector2df at;
             if (drawnPoint(scene->getCurrentObject(), at)) hover(at);
         },
         [&] { return scene->isCursorOnCurrent() && scene->getHintTrail()->isWalking(); }},
        {"pointer away", [&] { hover(vector2df(512, 40)); }, [] { return true; }},
        {"hint", [&] { click(vector2df(781, 723)); }, [&] { return scene->getHintTrail()->isWalking(); }},
        {"trail rate",
         [&] {
             // The trail's sparkles come at the configured rate.
             auto* particles = nodeCast<ParticleSystemNode>(scene->getHintTrail()->findChild(makeNameId("Particles"), 1));
             ASSERT_TRUE(particles && particles->getEmitter());
             const float pps = static_cast<float>(scene->getHintTrailPps());
             EXPECT_EQ(particles->getEmitter()->getPPSRange(), vector2df(pps, pps));
             EXPECT_EQ(scene->getHintTrail()->getSpeed(), scene->getHintTrailVelocity());
         },
         [] { return true; }},
        waitStep("trail", 900),
        shot("beach-hint")};
    addWideShot(steps, "beach-hint");
    addFindSteps(
        steps, count, [scene] { return scene->getCurrentObject(); },
        [scene, count] { return count - static_cast<size_t>(scene->getCurrentIndex()); });
    steps.push_back({"completed", nullptr, [&] { return scene->isPlayCompleted(); }});
    steps.push_back(waitStep("results", 600));
    steps.push_back(shot("beach-done"));
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    EXPECT_EQ(scene->score, scene->expertScore);
    for (BaseNode* object : scene->getFindOrder()) EXPECT_FALSE(object->isVisible());
    expectColourful(lastShot.get());
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}
