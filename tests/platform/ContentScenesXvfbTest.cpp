// The game's own scenes from the built content tree, drawn as a player sees
// them: the device opens its OpenGL window of 1024 x 768, mounts the tree,
// loads the dictionary, the atlas collections and the menu template
// collection as the intro does, and opens each scene over a first scene.
// The frame is read back and written to content-shots/<scene>.png in the
// build folder for people to look at; the test checks that the scene drew
// something besides one colour and that nothing was logged as missing.
// Start-up scenes get what their code gives them: the first logo on Logo2,
// and a loading bar filled to 60 %.
#include "engine/content/CContentManager.h"
#include "support/SetUpNeeds.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentType.h"
#include "engine/core/ControlNode.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/LogCapture.h"
#include "tools/contentcheck/ContentChecker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace engine;

namespace {

const char* const kTree = device_test::builtContentTree();

class ContentScenesXvfbTest : public ::testing::TestWithParam<const char*>, protected device_test::GameWindow {
protected:
    void SetUp() override {
        const std::string missing = openWindow(kTree, L"Lodgeroo scenes");
        if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
        managers = std::make_unique<device_test::GameManagers>(device.get());
        drawer->managers = {managers->scenes[0].get()};
        drawer->beforeEnd = [this] {
            if (!captureNextFrame) return;
            captureNextFrame = false;
            captured = CountedRef<Image>(device->createScreenShot());
        };
    }

    void TearDown() override {
        base.reset();
        atlases.clear();
        managers.reset();
        closeWindow();
        clearPlayers();
    }

    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }

    // What the logos scene and the intro have loaded before the menus open.
    void loadSharedContent() {
        ASSERT_NO_FATAL_FAILURE(device_test::loadIntroContent(device.get(), managers->content.get(), kTree, atlases));
        CountedRef<BaseNode> templates(managers->content->loadSceneNode("scenes/TemplateCollection.oscn", false));
        auto* collection = nodeCast<TemplateCollectionNode>(templates.get());
        ASSERT_TRUE(collection);
        managers->scenes[0]->setTemplateCollection(collection);
    }

    SceneNode* openScene(const std::string& path) {
        const CreationContext context(managers->content.get(), "");
        base = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
        if (!managers->scenes[0]->setScene(base.get())) return nullptr;
        return base->openScene(path.c_str(), false);
    }

    // The start-up scenes' code fills these in.
    void actAsTheSceneCode(SceneNode* scene) {
        BaseNode* inner = scene->findChild(makeNameId("Scene"));
        ASSERT_TRUE(inner);
        if (auto* logo = nodeCast<SpriteNode>(inner->findChild(makeNameId("Logo2")))) {
            CountedRef<Content> image(managers->content->load(ContentType::AtlasTexture, "logos/Brightwick.png", false));
            logo->setAtlasTexture(dynamic_cast<AtlasTextureContent*>(image.get()));
            logo->setTintColor(SColor(0xFFFFFFFFu));
        }
        BaseNode* track = inner->findChild(makeNameId("ProgressBg"));
        BaseNode* bar = inner->findChild(makeNameId("Progress"));
        if (track && bar) {
            vector3df bounds = track->getBounds();
            bounds.X *= 0.6f;
            bar->setBounds(bounds);
        }
    }

    testing_support::LogCapture log;
    std::unique_ptr<device_test::GameManagers> managers;
    std::vector<CountedRef<Content>> atlases;
    CountedRef<SceneNode> base;
    bool captureNextFrame = false;
    CountedRef<Image> captured;
};

TEST_P(ContentScenesXvfbTest, SceneDrawsFromTheBuiltTree) {
    const std::string name = GetParam();
    loadSharedContent();
    if (HasFatalFailure()) return;
    if (name == "MainMenuScene") {
        // The menu as the game returns to it, with a chosen player: without
        // one it opens the player scenes over itself once its fade has ended.
        ProfileStore& store = getProfileStore();
        ASSERT_TRUE(store.addProfile(L"Ann"));
        store.selectProfile(store.getProfileCount() - 1);
    }
    SceneNode* scene = openScene("scenes/" + name + ".oscn");
    ASSERT_TRUE(scene);
    actAsTheSceneCode(scene);
    if (HasFatalFailure()) return;

    device_test::FrameScript script(
        device.get(),
        {{"scene open", nullptr,
          [&] {
              return drawer->frames >= 3 && managers->scenes[0]->getTopScene() == scene &&
                     !managers->scenes[0]->isBusy(scene);
          }},
         {"settled", nullptr, [start = std::make_shared<std::chrono::steady_clock::time_point>()] {
              // The opening fades (under half a second) are over.
              const auto now = std::chrono::steady_clock::now();
              if (*start == std::chrono::steady_clock::time_point()) *start = now;
              return now - *start > std::chrono::milliseconds(1200);
          }},
         {"hover", [&] {
              // On the menu the pointer rests on the first button, to show its hover look.
              if (auto* button = nodeCast<ControlNode>(scene->findChild(makeNameId("NewGameButton"))))
                  button->setHovered(true);
          }, [&] { return true; }},
         {"capture", [&] { captureNextFrame = true; }, [&] { return bool(captured); }}});
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    ASSERT_TRUE(captured);
    ASSERT_EQ(captured->getWidth(), 1024);
    ASSERT_EQ(captured->getHeight(), 768);

    device_test::writeShot(device.get(), captured.get(), "content-shots/" + name + ".png");

    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 768; y += 16)
        for (int32_t x = 0; x < 1024; x += 16) colours.insert(captured->getPixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "the scene drew next to nothing";
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_WARNING) << entry.text << " " << entry.hint;
}

INSTANTIATE_TEST_SUITE_P(Scenes, ContentScenesXvfbTest,
                         ::testing::Values("LogosScene", "IntroScene", "MainMenuScene", "SelectPlayerScene",
                                           "SelectPlayerInputNameScene", "OptionsScene", "AchievementsScene",
                                           "CreditsScene"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
