// The shipped levels' streets.
// - Each level left running headless for an hour of simulated time, drawn every 100 ms as
//   the game draws it: cars and walkers keep coming and going, and the number
//   of movers in the world (and in the traffic's list) stays bounded.
// - Level 1 as a player sees it: an OpenGL window of 1024 x 768 mounts the built
//   content tree, starts the level the way the level start does, asks for
//   rain and lets twenty seconds of level time pass. The frame is written to
//   screenshots/traffic-level1.png in the test's folder for people to look
//   at; the test checks that cars drive on the car paths and walkers on the
//   sidewalks, and that rain is falling.
#include "engine/content/CContentManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/ContentType.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/io/IrrRef.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GameEvents.h"
#include "game/world/LevelTraffic.h"
#include "game/world/PathMovers.h"
#include "game/world/WeatherParticlesNode.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/HeadlessLevel.h"
#include "support/SetUpNeeds.h"
#include "tools/contentcheck/ContentChecker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace engine;

namespace {

const char* const kTree = device_test::builtContentTree();

// The movers of one kind below the node, spawned ghosts included.
template <class T>
void collect(BaseNode* node, std::vector<T*>& found) {
    if (T* mover = nodeCast<T>(node)) found.push_back(mover);
    for (uint32_t i = 0; i < node->getChildCount(); ++i) collect(node->getChild(i), found);
    if (SpawnerNode* spawner = nodeCast<SpawnerNode>(node))
        for (const CountedRef<BaseNode>& ghost : spawner->getSpawnedGhosts()) collect(ghost.get(), found);
}

// The distance from the point to the nearest segment of the paths.
float distanceToPaths(const vector3df& point, const std::vector<game::GLevelPath*>& paths) {
    const vector2df p(point.X, point.Y);
    float best = 1e9f;
    for (const game::GLevelPath* path : paths) {
        for (size_t i = 1; i < path->points.size(); ++i) {
            const vector2df a(path->points[i - 1].x, path->points[i - 1].y);
            const vector2df b(path->points[i].x, path->points[i].y);
            const vector2df ab = b - a;
            const float t = ab.getLengthSQ() > 0.0f ? std::max(0.0f, std::min(1.0f, (p - a).dotProduct(ab) / ab.getLengthSQ())) : 0.0f;
            best = std::min(best, (a + ab * t - p).getLength());
        }
    }
    return best;
}

}  // namespace

class TrafficLevelTest : public ::testing::TestWithParam<int> {};

TEST_P(TrafficLevelTest, AnHourOfTheLevelKeepsItsMoversBounded) {
    if (!std::filesystem::is_directory(kTree)) SKIP_OR_FAIL_UNDER_CI() << "no built content tree at " << kTree;
    testing_support::HeadlessLevel level;
    const std::string folder = "levels/level" + std::to_string(GetParam()) + "/";
    ASSERT_TRUE(level.load(kTree, folder)) << level.failure();
    game::GGameLevelScene* scene = level.scene();
    ASSERT_TRUE(scene->traffic);

    struct {
        int cars = 0, walkers = 0, total = 0;
    } most;
    int sawCars = 0, sawWalkers = 0;
    size_t mostListed = 0;
    for (int minute = 0; minute < 60; ++minute) {
        for (int frame = 0; frame < 600; ++frame) {
            level.advance(100);
            RenderList list;
            scene->collectRenderItems(list);
        }
        std::vector<game::GCarNode*> cars;
        std::vector<game::GPedestrianNode*> walkers;
        std::vector<game::GPathMovableNode*> movers;
        collect(scene, cars);
        collect(scene, walkers);
        collect(scene, movers);
        sawCars += cars.empty() ? 0 : 1;
        sawWalkers += walkers.empty() ? 0 : 1;
        most.cars = std::max(most.cars, static_cast<int>(cars.size()));
        most.walkers = std::max(most.walkers, static_cast<int>(walkers.size()));
        most.total = std::max(most.total, static_cast<int>(movers.size()));
        mostListed = std::max(mostListed, scene->traffic->getMovers().size());
        // Every listed mover is a living one in the world.
        EXPECT_LE(scene->traffic->getMovers().size(), movers.size());
    }
    // The street is busy most of the time...
    EXPECT_GT(sawCars, 50);
    EXPECT_GT(sawWalkers, 50);
    // ...and never crowded: a car crosses in under 20 s and comes every 4 to
    // 11 s on each lane; a walker stays about two minutes.
    EXPECT_LE(most.cars, 20);
    EXPECT_LE(most.walkers, 30);
    EXPECT_LE(most.total, 60);
    EXPECT_LE(mostListed, 30u);
}

INSTANTIATE_TEST_SUITE_P(Levels, TrafficLevelTest, ::testing::Values(1, 2, 3));

TEST(TrafficXvfbTest, LevelOneHasCarsAndWalkersOnTheirWaysInTheRain) {
    device_test::GameWindow window;
    const std::string missing = window.openWindow(kTree, L"Lodgeroo traffic");
    if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
    CountedRef<EngineDevice>& device = window.device;
    CountedRef<device_test::FrameDrawer>& drawer = window.drawer;
    auto managers = std::make_unique<device_test::GameManagers>(device.get());
    drawer->managers = {managers->scenes[0].get()};

    // What the intro loads, then the level start.
    std::vector<CountedRef<Content>> atlases;
    ASSERT_NO_FATAL_FAILURE(device_test::loadIntroContent(device.get(), managers->content.get(), kTree, atlases));
    CountedRef<BaseNode> templates(managers->content->loadSceneNode("levels/common/TemplateCollection.oscn", false));
    ASSERT_TRUE(nodeCast<TemplateCollectionNode>(templates.get()));
    managers->scenes[0]->setTemplateCollection(nodeCast<TemplateCollectionNode>(templates.get()));
    auto records = makeRef<game::BuildingsConfiguration>();
    ASSERT_TRUE(device_test::readXml(device.get(), "levels/common/BuildingsConfiguration.xml",
                                     [&](XmlReader& r) { records->readBuildingsConfiguration(r); }));
    auto config = makeRef<game::GLevelConfig>();
    ASSERT_TRUE(device_test::readXml(device.get(), "levels/level1/LevelConfiguration.xml",
                                     [&](XmlReader& r) { config->readLevelConfiguration(r); }));
    auto paths = makeRef<game::GLevelPaths>();
    ASSERT_TRUE(device_test::readXml(device.get(), "levels/level1/LevelPaths.xml",
                                     [&](XmlReader& r) { paths->readLevelPaths(r); }));
    CountedRef<BaseNode> loaded(managers->content->loadSceneNode("levels/level1/Level.oscn", false));
    auto level = CountedRef<game::GGameLevelScene>::share(nodeCast<game::GGameLevelScene>(loaded.get()));
    ASSERT_TRUE(level);
    level->setBuildingsConfiguration(records.get());
    level->setLevelConfiguration(config.get());
    level->setLevelPaths(paths.get());
    level->setPaused(false);
    ASSERT_TRUE(managers->scenes[0]->setScene(level.get()));
    CountedRef<game::GWeatherRequestEvent> rain(new game::GWeatherRequestEvent(600000, 600000));
    level->handleEvent(rain.get());

    bool shot = false;
    drawer->beforeEnd = [&] {
        if (shot || drawer->frames < 2) return;
        shot = true;
        CountedRef<Image> frame(device->createScreenShot());
        device_test::writeShot(device.get(), frame.get(), "screenshots/traffic-level1.png");
    };
    // Twenty seconds of level time, 100 ms a frame, so the walkers have come out.
    const uint32_t kLevelMs = 20000;
    uint32_t levelMs = 0;
    device_test::FrameScript script(device.get(), {{"level time", nullptr, [&] { return levelMs >= kLevelMs; }},
                                                   {"shot", [&] { shot = false; }, [&] { return shot; }}});
    shot = true;  // no shot until the script asks for it
    drawer->onFrame = [&] {
        if (levelMs < kLevelMs) {
            TimerScheduler* scheduler = level->SceneNode::getTimerScheduler();
            if (scheduler && scheduler != managers->schedulers[0].get()) scheduler->update(100);
            levelMs += 100;
        }
        script.onFrame();
    };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();

    // Cars on the neutral car paths, turned to their way.
    std::vector<game::GCarNode*> cars;
    collect(level.get(), cars);
    EXPECT_FALSE(cars.empty());
    const auto lanes = paths->carPaths(makeNameId("NeutralCar"));
    for (game::GCarNode* car : cars) {
        if (!car->isWalking()) continue;
        const vector3df& p = car->getPosition();
        EXPECT_LE(distanceToPaths(p, lanes), 0.5f) << "a car off the lanes at " << p.X << ", " << p.Y;
        EXPECT_NE(car->getDirectionState(), kNoName);
    }
    // Walkers on a sidewalk, within their scatter.
    std::vector<game::GPedestrianNode*> walkers;
    collect(level.get(), walkers);
    int walking = 0;
    for (game::GPedestrianNode* walker : walkers) {
        if (walker->getMode() == game::GPedestrianNode::Idle) continue;
        ++walking;
        const vector3df& p = walker->getPosition();
        EXPECT_LE(distanceToPaths(p, paths->pedestrianPaths()), 8.0f) << "a walker off the sidewalks at " << p.X
                                                                       << ", " << p.Y;
    }
    EXPECT_GT(walking, 0);
    // Rain.
    ASSERT_TRUE(level->weatherNode);
    EXPECT_TRUE(level->weatherNode->isEnabled());
    EXPECT_GT(level->weatherNode->getParticleCount(), 100u);

    level->setPaused(true);
    managers.reset();
    level.reset();
    atlases.clear();
}
