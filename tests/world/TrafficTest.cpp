// Level traffic: spawners built from the neutral car paths (and the bad ones
// skipped), template choice, spawn timing, the street populated on the first
// tick, neutral cars making way for task vehicles, the horn, and the
// traffic's life as movers join and leave.
#include "game/world/LevelTraffic.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/XmlReader.h"
#include "game/config/LevelPaths.h"
#include "game/world/PathMovers.h"
#include "support/FakeSceneManager.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;
using game::GCarNode;
using game::GPathMovableNode;
using game::LevelTraffic;

namespace {

class TrafficTest : public ::testing::Test {
protected:
    TrafficTest() {
        getRandomGenerator().seed(2024u);
        manager_->collection.reset(new TemplateCollectionNode(nullptr, nullptr, nullptr));
        for (const char* name : {"Car1", "Car2"}) {
            auto* car = new GCarNode(nullptr, manager_->collection.get(), nullptr);
            car->setName(makeNameId(name));
            car->setVisible(false);
            car->release();
        }
        auto* tree = new BaseNode(nullptr, manager_->collection.get(), nullptr);
        tree->setName(makeNameId("Tree"));
        tree->release();
        manager_->collection->onLoaded();
        scene_->attach(manager_.get(), scene_.get());
        cargos_ = new BaseNode(nullptr, scene_.get(), nullptr);
        cargos_->release();
    }

    // Paths from the body of a "CarPaths" element.
    void readPaths(const std::string& carPaths) {
        const std::string text = "<LevelPaths><CarPaths>" + carPaths + "</CarPaths></LevelPaths>";
        XmlReader reader(text.data(), text.size(), "fixture");
        ASSERT_TRUE(paths_->readLevelPaths(reader));
    }

    static std::string path(const char* time, const char* cars, const char* points = "<p p='0, 100'/><p p='1000, 100'/>") {
        return std::string("<Path ID='NeutralCar' Time='") + time + "' Cars='" + cars + "'>" + points + "</Path>";
    }

    CountedRef<LevelTraffic> makeTraffic() { return CountedRef<LevelTraffic>(new LevelTraffic(paths_.get(), cargos_)); }

    GCarNode* lastCar() const { return nodeCast<GCarNode>(cargos_->getChild(cargos_->getChildCount() - 1)); }

    CountedRef<testing_support::FakeSceneManager> manager_{new testing_support::FakeSceneManager()};
    CountedRef<SceneNode> scene_{new SceneNode(nullptr, nullptr, nullptr)};
    BaseNode* cargos_ = nullptr;
    CountedRef<game::GLevelPaths> paths_{new game::GLevelPaths()};
};

}  // namespace

TEST_F(TrafficTest, OnlyUsableNeutralCarPathsGetSpawners) {
    testing_support::LogCapture log;
    readPaths(path("1000, 2000", "Car1") + path("0, 0", "Car1") + path("1000, 2000", "") +
              path("-1", "Car1") + path("-3000, 0", "Car1") + path("1000, 2000", "Car1", "<p p='5, 5'/>") +
              "<Path ID='Place01' Time='1000, 2000' Cars='Car1'><p p='0,0'/><p p='9,9'/></Path>" +
              path("500, 500", "Car2"));
    CountedRef<LevelTraffic> traffic = makeTraffic();
    ASSERT_EQ(traffic->getSpawners().size(), 2u);
    EXPECT_EQ(traffic->getSpawners()[0].path->time.max, 2000);
    EXPECT_LT(traffic->getSpawners()[0].countdown, 2000);
    EXPECT_EQ(traffic->getSpawners()[1].path->cars[0], makeNameId("Car2"));
    EXPECT_TRUE(log.contains("0 or below"));
    EXPECT_TRUE(log.contains("fewer than two points"));

    // No paths at all: no spawners, and ticking does nothing.
    CountedRef<LevelTraffic> none(new LevelTraffic(static_cast<game::GLevelPaths*>(nullptr), cargos_));
    none->tick(20);
    EXPECT_TRUE(none->getSpawners().empty());
}

TEST_F(TrafficTest, OneTemplateAlwaysAndTwoTemplatesStrictlyInTurn) {
    readPaths(path("1000, 2000", "Car2") + path("1000, 2000", "Car1; Car2") + path("1000, 2000", "Tree; Nothing"));
    CountedRef<LevelTraffic> traffic = makeTraffic();
    for (int i = 0; i < 3; ++i) {
        GCarNode* car = traffic->spawnCar(0);
        ASSERT_NE(car, nullptr);
        EXPECT_EQ(car->getName(), makeNameId("Car2"));
    }
    NameId last = kNoName;
    for (int i = 0; i < 8; ++i) {
        GCarNode* car = traffic->spawnCar(1);
        ASSERT_NE(car, nullptr);
        EXPECT_NE(car->getName(), last);
        last = car->getName();
        // Visible, at 70 to 79, a neutral member of the traffic, on its way.
        EXPECT_TRUE(car->isVisible());
        EXPECT_GE(car->getSpeed(), 70.0f);
        EXPECT_LE(car->getSpeed(), 79.0f);
        EXPECT_EQ(car->getTraffic(), traffic.get());
        EXPECT_TRUE(car->isWalking());
        EXPECT_EQ(car->getPosition(), vector3df(0.0f, 100.0f, 100.0f));
        EXPECT_EQ(car->getParent(), cargos_);
    }
    // A template that is not a car, or none at all: no car.
    const uint32_t cars = cargos_->getChildCount();
    EXPECT_EQ(traffic->spawnCar(2), nullptr);
    EXPECT_EQ(traffic->spawnCar(2), nullptr);
    EXPECT_EQ(traffic->spawnCar(99), nullptr);
    EXPECT_EQ(cargos_->getChildCount(), cars);
    EXPECT_EQ(traffic->getMovers().size(), cars);
}

TEST_F(TrafficTest, AFixedTimeSpawnsExactlyThatOften) {
    readPaths(path("5000, 5000", "Car1"));
    CountedRef<LevelTraffic> traffic = makeTraffic();
    traffic->tick(20);
    // Wait for the first spawn of the countdown drawn at the start.
    uint32_t cars = cargos_->getChildCount();
    int ticks = 0;
    while (cargos_->getChildCount() == cars && ticks < 300) {
        traffic->tick(20);
        ++ticks;
    }
    ASSERT_LT(ticks, 300);
    for (int car = 0; car < 3; ++car) {
        cars = cargos_->getChildCount();
        for (int i = 0; i < 249; ++i) traffic->tick(20);
        EXPECT_EQ(cargos_->getChildCount(), cars);
        traffic->tick(20);
        EXPECT_EQ(cargos_->getChildCount(), cars + 1);
    }
}

TEST_F(TrafficTest, ASpawnerIsNeverReArmedBelowOneTick) {
    // A range reaching below zero: at most one car per tick, never a countdown
    // that is already due.
    readPaths(path("-5000, 30", "Car1"));
    CountedRef<LevelTraffic> traffic = makeTraffic();
    for (int i = 0; i < 50; ++i) {
        const uint32_t before = cargos_->getChildCount();
        traffic->tick(20);
        EXPECT_LE(cargos_->getChildCount(), before + 1 + (i == 0 ? 1u : 0u));
        EXPECT_GE(traffic->getSpawners()[0].countdown, 1);
    }
}

TEST_F(TrafficTest, TheFirstTickPopulatesTheStreet) {
    std::string many;
    for (int i = 0; i < 24; ++i) many += path("60000, 60000", "Car1");
    readPaths(many);
    CountedRef<LevelTraffic> traffic = makeTraffic();
    traffic->tick(20);
    const uint32_t cars = cargos_->getChildCount();
    EXPECT_GT(cars, 0u);
    EXPECT_LT(cars, 24u);
    // Spread along their paths rather than all at the start.
    int advanced = 0;
    for (uint32_t i = 0; i < cars; ++i) {
        const float x = cargos_->getChild(i)->getPosition().X;
        advanced += x > 0.0f ? 1 : 0;
        EXPECT_LE(x, 20.0f * 510.0f * 79.0f / 1000.0f);
    }
    EXPECT_GT(advanced, 0);
}

TEST_F(TrafficTest, NeutralCarsMakeWayForTaskVehiclesThenDriveOnAtTheirOwnSpeed) {
    CountedRef<LevelTraffic> traffic = makeTraffic();
    auto* bus = new GPathMovableNode(nullptr, cargos_, nullptr);
    bus->release();
    bus->setSpeed(140.0f);
    bus->setTraffic(traffic.get(), true);
    bus->setPosition(vector3df(300.0f, 200.0f, 200.0f));

    struct Case {
        float dx, dy;
        bool makesWay;
    };
    const Case cases[] = {{35.0f, 0.0f, false}, {34.9f, 0.0f, true},   {-34.9f, 15.9f, true},
                          {0.0f, 16.0f, false}, {-35.0f, 0.0f, false}, {0.0f, -15.9f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        auto* car = new GCarNode(nullptr, cargos_, nullptr);
        car->release();
        car->setSpeed(73.0f);
        car->setTraffic(traffic.get(), false);
        car->setPosition(vector3df(300.0f + c.dx, 200.0f + c.dy, 200.0f + c.dy));
        traffic->tick(20);
        EXPECT_EQ(car->getSpeed(), c.makesWay ? LevelTraffic::kMakeWaySpeed : 73.0f);
        EXPECT_EQ(bus->getSpeed(), 140.0f);
        if (!c.makesWay) {
            car->setTraffic(nullptr, false);
            continue;
        }
        // Near for another half second, then away: 1000 ms after the last
        // tick near the bus it has its own speed again.
        for (int i = 0; i < 25; ++i) traffic->tick(20);
        car->setPosition(vector3df(800.0f, 600.0f, 600.0f));
        for (int i = 0; i < 49; ++i) traffic->tick(20);
        EXPECT_EQ(car->getSpeed(), LevelTraffic::kMakeWaySpeed);
        traffic->tick(20);
        EXPECT_EQ(car->getSpeed(), 73.0f);
        car->setTraffic(nullptr, false);
    }
}

TEST_F(TrafficTest, AHornSoundsOnceInTheMiddleOfTheScreen) {
    CountedRef<LevelTraffic> traffic = makeTraffic();
    // Cars until one draws a horn that will sound.
    GCarNode* car = nullptr;
    for (int i = 0; i < 64 && !car; ++i) {
        auto* candidate = new GCarNode(nullptr, cargos_, nullptr);
        candidate->release();
        candidate->setPosition(vector3df(399.0f, 50.0f, 50.0f));
        candidate->setTraffic(traffic.get(), false);
        if (!traffic->getMovers().back().horn) car = candidate;
    }
    ASSERT_NE(car, nullptr);
    auto entryOf = [&]() -> const LevelTraffic::TrafficMover& {
        for (const auto& m : traffic->getMovers())
            if (m.mover == car) return m;
        return traffic->getMovers().front();
    };
    traffic->tick(20);
    EXPECT_FALSE(entryOf().horn);
    car->setPosition(vector3df(400.0f, 50.0f, 50.0f));
    traffic->tick(20);
    EXPECT_TRUE(entryOf().horn);
    EXPECT_EQ(entryOf().position.X, 400.0f);

    // Task vehicles never sound it.
    auto* bus = new GPathMovableNode(nullptr, cargos_, nullptr);
    bus->release();
    bus->setTraffic(traffic.get(), true);
    EXPECT_TRUE(traffic->getMovers().back().horn);
}

TEST_F(TrafficTest, TheTrafficLivesUntilItsLastMoverLeaves) {
    readPaths(path("1000, 1000", "Car1"));
    LevelTraffic* traffic = new LevelTraffic(paths_.get(), cargos_);
    GCarNode* car = traffic->spawnCar(0);
    ASSERT_NE(car, nullptr);
    auto* bus = new GPathMovableNode(nullptr, cargos_, nullptr);
    bus->release();
    bus->setTraffic(traffic, true);
    EXPECT_EQ(traffic->getRefCount(), 3);
    EXPECT_EQ(traffic->getMovers().size(), 2u);

    traffic->release();  // the level scene's reference
    cargos_->removeChild(car);
    ASSERT_EQ(traffic->getRefCount(), 1);
    ASSERT_EQ(traffic->getMovers().size(), 1u);
    EXPECT_EQ(traffic->getMovers()[0].mover, bus);
    EXPECT_TRUE(traffic->getMovers()[0].priority);
    cargos_->removeChild(bus);  // the traffic goes with it
}
