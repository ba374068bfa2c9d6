// The shipped level worlds, drawn as a player sees them: an OpenGL window of
// 1024 x 768 mounts the built content tree, loads the atlases and the level
// template collection, and starts each level the way the level start does.
// Frames are written to screenshots/level<N>-<moment>.png in the test's
// folder for people to look at: the level at rest with a place
// selected, a construction and an upgrade under way (helicopter, bus, site),
// and both finished. The test checks that the places took their templates,
// that the build commands were accepted and ended with the new looks, and
// that nothing was logged as missing.
#include "engine/content/CContentManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/ContentType.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/TextNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "tools/contentcheck/ContentChecker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace engine;

namespace {

const char* const kTree = device_test::builtContentTree();

using Clock = std::chrono::steady_clock;

using device_test::waitStep;

class LevelWorldXvfbTest : public ::testing::TestWithParam<int>, protected device_test::GameWindow {
protected:
    void SetUp() override {
        const std::string missing = openWindow(kTree, L"Lodgeroo levels");
        if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
        managers = std::make_unique<device_test::GameManagers>(device.get());
        drawer->managers = {managers->scenes[0].get()};
        drawer->beforeEnd = [this] {
            if (shotName.empty()) return;
            CountedRef<Image> frame(device->createScreenShot());
            save(frame.get(), shotName);
            shotName.clear();
        };
    }

    void TearDown() override {
        if (level) level->setPaused(true);
        managers.reset();
        level.reset();
        atlases.clear();
        closeWindow();
    }

    void save(Image* frame, const std::string& name) {
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->getWidth(), 1024);
        EXPECT_EQ(frame->getHeight(), 768);
        device_test::writeShot(device.get(), frame, "screenshots/" + name + ".png");
        ++shots;
    }

    bool read(const std::string& path, const std::function<void(XmlReader&)>& reader) {
        return device_test::readXml(device.get(), path, reader);
    }

    // What the intro loads, then the level start: records, level record,
    // availability and paths handed to the level scene, which becomes the
    // scene of the first scene manager.
    void startLevel(int number) {
        ASSERT_NO_FATAL_FAILURE(device_test::loadIntroContent(device.get(), managers->content.get(), kTree, atlases));
        CountedRef<BaseNode> templates(managers->content->loadSceneNode("levels/common/TemplateCollection.oscn", false));
        auto* collection = nodeCast<TemplateCollectionNode>(templates.get());
        ASSERT_TRUE(collection);
        managers->scenes[0]->setTemplateCollection(collection);

        records = makeRef<game::BuildingsConfiguration>();
        ASSERT_TRUE(read("levels/common/BuildingsConfiguration.xml",
                         [this](XmlReader& r) { records->readBuildingsConfiguration(r); }));
        CountedRef<game::UpgradesConfiguration> upgrades = makeRef<game::UpgradesConfiguration>();
        ASSERT_TRUE(read("levels/common/UpgradesConfiguration.xml",
                         [&](XmlReader& r) { upgrades->readUpgradesConfiguration(r); }));
        const std::string folder = "levels/level" + std::to_string(number) + "/";
        config = makeRef<game::GLevelConfig>();
        ASSERT_TRUE(read(folder + "LevelConfiguration.xml", [this](XmlReader& r) { config->readLevelConfiguration(r); }));
        CountedRef<game::GLevelPaths> paths = makeRef<game::GLevelPaths>();
        ASSERT_TRUE(read(folder + "LevelPaths.xml", [&](XmlReader& r) { paths->readLevelPaths(r); }));

        CountedRef<BaseNode> loaded(managers->content->loadSceneNode((folder + "Level.oscn").c_str(), false));
        level = CountedRef<game::GGameLevelScene>::share(nodeCast<game::GGameLevelScene>(loaded.get()));
        ASSERT_TRUE(level) << folder << "Level.oscn has no level scene";
        // Every upgrade bought, so that every record of the level is offered.
        std::string bought;
        for (const auto& upgrade : upgrades->upgrades()) bought += std::string(nameOfId(upgrade.first).c_str()) + ";";
        CountedRef<game::LevelAvailability> availability = makeRef<game::LevelAvailability>();
        availability->fill(*upgrades, config.get(), number - 1, bought.c_str());
        level->setBuildingsConfiguration(records.get());
        level->setLevelConfiguration(config.get());
        level->setAvailability(availability.get());
        level->setLevelPaths(paths.get());
        level->setPaused(false);
        ASSERT_TRUE(managers->scenes[0]->setScene(level.get()));
    }

    // The level's own clock follows real time, frame by frame.
    void advanceLevel() {
        const auto now = Clock::now();
        if (lastFrame != Clock::time_point()) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastFrame).count();
            TimerScheduler* scheduler = level->SceneNode::getTimerScheduler();
            if (scheduler && scheduler != managers->schedulers[0].get())
                scheduler->update(static_cast<uint32_t>(std::min<long long>(ms, 100)));
        }
        lastFrame = now;
    }

    // A step that has the next frame written to screenshots/<name>.png.
    device_test::ScriptStep shot(const std::string& name) {
        return {"shot " + name, [this, name] { shotName = name; }, [this] { return shotName.empty(); }};
    }

    // Plays the steps over the running level, its clock following real time.
    void play(std::vector<device_test::ScriptStep> steps) {
        device_test::FrameScript script(device.get(), std::move(steps));
        drawer->onFrame = [&] {
            advanceLevel();
            script.onFrame();
        };
        EXPECT_TRUE(device->run());
        drawer->onFrame = nullptr;
        ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    }

    game::GBuildingNode* firstPlace(bool empty) const {
        for (game::GBuildingNode* building : level->buildings) {
            const bool isPlace = building->getRecord() && building->getRecord()->Level == 0;
            if (building->isOwnedByThePlayer() && isPlace == empty) return building;
        }
        return nullptr;
    }

    testing_support::LogCapture log;
    std::unique_ptr<device_test::GameManagers> managers;
    std::vector<CountedRef<Content>> atlases;
    CountedRef<game::BuildingsConfiguration> records;
    CountedRef<game::GLevelConfig> config;
    CountedRef<game::GGameLevelScene> level;
    Clock::time_point lastFrame;
    std::string shotName;
    int shots = 0;
};

TEST_P(LevelWorldXvfbTest, LevelDrawsAndBuildsFromTheBuiltTree) {
    const int number = GetParam();
    const std::string prefix = "level" + std::to_string(number) + "-";
    startLevel(number);
    if (HasFatalFailure()) return;

    // Every place took the template of its record.
    ASSERT_FALSE(level->buildings.empty());
    for (game::GBuildingNode* building : level->buildings) {
        ASSERT_TRUE(building->getRecord()) << nameOfId(building->getName()).c_str();
        EXPECT_TRUE(building->getTemplateRoot()) << nameOfId(building->getName()).c_str() << " has no template";
    }
    game::GBuildingNode* place = firstPlace(true);
    game::GBuildingNode* hotel = firstPlace(false);
    ASSERT_TRUE(place);
    ASSERT_TRUE(hotel);
    const engine::NameId placeLook = place->getRecord()->Name;
    engine::NameId hotelLook = hotel->getRecord()->Name;
    bool built = false, upgraded = false;

    ASSERT_NO_FATAL_FAILURE(play(
        {{"level open", nullptr, [&] { return drawer->frames >= 3; }},
         waitStep("settled", 1500),
         // The player has picked the empty place: its ring shows. (The
         // pointer of the display decides hovering, so hover looks are left out.)
         {"select", [&] { place->setFocused(true); }, [] { return true; }},
         shot(prefix + "start"),
         {"commands",
          [&] {
              built = level->build(place, records->find(makeNameId("Camping1")));
              upgraded = level->upgrade(hotel);
              if (upgraded) hotelLook = hotel->getRecord()->Name;
          },
          [] { return true; }},
         waitStep("helicopter in", 2600),
         shot(prefix + "arriving"),
         waitStep("unloading", 2200),
         shot(prefix + "working"),
         {"finished", nullptr,
          [&] { return place->jobProgress() >= 1.0f && hotel->jobProgress() >= 1.0f; }},
         waitStep("star lands", 1200),
         shot(prefix + "built")}));
    EXPECT_EQ(shots, 4);
    EXPECT_TRUE(built) << "the level refused to build a camping";
    EXPECT_NE(place->getRecord()->Name, placeLook);
    if (upgraded) {
        EXPECT_EQ(hotel->getRecord()->Name, hotelLook);
    }
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_WARNING) << entry.text << " " << entry.hint;
}

// The overlays a level puts on its places, all at once: a price tag on an
// unowned building, a buyer's phone on another, a broken hotel, a running
// feature, a money letter and a serve-area highlight; and a destruction
// raising its dust.
TEST_P(LevelWorldXvfbTest, PlaceOverlaysShowFromTheBuiltTree) {
    const int number = GetParam();
    const std::string prefix = "level" + std::to_string(number) + "-";
    startLevel(number);
    if (HasFatalFailure()) return;
    std::vector<game::GBuildingNode*> unowned;
    game::GBuildingNode* hotel = nullptr;
    game::GBuildingNode* server = nullptr;
    for (game::GBuildingNode* building : level->buildings) {
        const game::GBuildingConfig* record = building->getRecord();
        if (!building->isOwnedByThePlayer()) unowned.push_back(building);
        if (building->isOwnedByThePlayer() && record->Type == 0 && record->Level > 0 && !hotel) hotel = building;
        if (record->ServeArea.X > 0.0f && !server) server = building;
    }
    ASSERT_TRUE(hotel);
    ASSERT_FALSE(unowned.empty());
    bool destroyed = false;

    ASSERT_NO_FATAL_FAILURE(play(
        {{"level open", nullptr, [&] { return drawer->frames >= 3; }},
         {"overlays",
          [&] {
              unowned.front()->setForSale(true);
              if (unowned.size() > 1) unowned.back()->setBuyRequestPending(true);
              EXPECT_TRUE(level->activateFeature(hotel, 0));
              if (server) server->showServeAreaHighlight(server->getRecord());
              if (game::GBuildingNode* place = firstPlace(true)) place->setCondition(1);
              // A money letter as the level hands one to a hotel, its dial a third gone.
              BaseNode* letter = managers->scenes[0]->getTemplateCollection()->getTemplate(makeNameId("MoneyLetter"));
              ASSERT_TRUE(letter);
              BaseNode* copy = letter->clone(hotel, managers->scenes[0].get());  // the hotel holds it
              copy->setVisible(true);
              if (auto* sum = nodeCast<TextNode>(copy->findChild(makeNameId("Text"), 1))) sum->setText(L"$2,500");
              game::GBuildingNode::setTimerDial(copy->findChild(makeNameId("Progress"), 1), 0.35f);
              copy->enterStateInChildren(makeNameId("Appear"));
          },
          [] { return true; }},
         waitStep("feature running", 1500),
         shot(prefix + "overlays"),
         {"destroy",
          [&] {
              hotel->setCondition(0);
              destroyed = level->destroy(hotel);
          },
          [] { return true; }},
         {"work starts", nullptr, [&] { return hotel->getTemplateName() == makeNameId("BuildingPlace"); }},
         waitStep("dust rises", 300),
         shot(prefix + "destroying")}));
    EXPECT_EQ(shots, 2);
    EXPECT_TRUE(destroyed) << "the level refused to pull down " << nameOfId(hotel->getName()).c_str();
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_WARNING) << entry.text << " " << entry.hint;
}

// The first three levels and one of each later setting: seaside, hills in autumn, winter.
INSTANTIATE_TEST_SUITE_P(Levels, LevelWorldXvfbTest, ::testing::Values(1, 2, 3, 9, 18, 28),
                         [](const ::testing::TestParamInfo<int>& info) { return "Level" + std::to_string(info.param); });

}  // namespace
