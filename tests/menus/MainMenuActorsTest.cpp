// The main menu's actors: each kind's walk, scale, speed and states along a
// known path in simulated time, the end of a walk, the first actors that
// start part of the way along, the 24 bike directions and the bike's
// turning, paths that cannot be used, and an hour of the shipped main menu
// that neither piles up nodes nor grows in memory.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentType.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/platform/EngineDevice.h"
#include "game/app/GameNodeKinds.h"
#include "game/config/LevelPaths.h"
#include "game/menus/GMainMenuScene.h"
#include "game/menus/MainMenuActors.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace engine;
using game::GMainMenuActorNode;
using game::GMainMenuBikeNode;
using game::GMainMenuCarNode;
using game::GMainMenuCloudNode;
using game::GMainMenuPedestrianNode;

namespace {

#ifdef LODGEROO_CONTENT_TREE
const char* const kContentTree = LODGEROO_CONTENT_TREE;
#else
const char* const kContentTree = "";
#endif

// A child that writes down every state it is asked to enter.
class StateJournalNode : public BaseNode {
public:
    StateJournalNode(BaseNode* parent, std::vector<std::string>& journal)
        : BaseNode(nullptr, parent, nullptr), journal_(journal) {
        setName(makeNameId("Body"));
    }
    void setState(NameId state, StateResolver resolver, NameId report) override {
        journal_.push_back(nameOfId(state).c_str());
        BaseNode::setState(state, resolver, report);
    }

private:
    std::vector<std::string>& journal_;
};

BaseNode* addGroup(BaseNode* parent, const char* name = nullptr) {
    auto* node = new BaseNode(nullptr, parent, nullptr);
    node->release();
    if (name) node->setName(makeNameId(name));
    return node;
}

// A main menu without content: root > BgScene > ActiveBg > group, with the
// holder a spawner would be below the group; the paths come from the test.
class MainMenuActorsTest : public ::testing::Test {
protected:
    MainMenuActorsTest() {
        getRandomGenerator().seed(21u);
        game::mainMenuActorCounters() = {game::GMainMenuCarNode::kPreAdvanced, game::GMainMenuCloudNode::kPreAdvanced,
                                         game::GMainMenuPedestrianNode::kPreAdvanced};
        menu->SceneNode::setTimerScheduler(&scheduler);
        menu->attach(nullptr, menu.get());
        group = addGroup(addGroup(addGroup(menu.get(), "BgScene"), "ActiveBg"));
        holder = addGroup(group);
    }

    void setPaths(const std::string& body) {
        const std::string text = "<LevelPaths>" + body + "</LevelPaths>";
        XmlReader reader(text.data(), text.size(), "fixture");
        ASSERT_TRUE(menu->getPaths()->readLevelPaths(reader));
    }

    template <class T>
    T* add(BaseNode* parent, std::vector<std::string>* body = nullptr) {
        T* node = new T(nullptr, parent, nullptr);
        node->release();
        if (body) {
            new StateJournalNode(node, *body);
            node->getChild(0)->release();
        }
        node->onLoaded();
        return node;
    }

    void frame() {
        RenderList list;
        menu->collectRenderItems(list);
    }
    // Runs the scheduler in 10 ms steps, drawing between them as the game does.
    void run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) {
            scheduler.update(10);
            frame();
        }
    }

    TimerScheduler scheduler;
    CountedRef<game::GMainMenuScene> menu{new game::GMainMenuScene(nullptr, nullptr, nullptr)};
    BaseNode* group = nullptr;
    BaseNode* holder = nullptr;
};

void expectScale(const BaseNode* node, float s) {
    EXPECT_NEAR(node->getScale().X, s, 1e-4f);
    EXPECT_NEAR(node->getScale().Y, s, 1e-4f);
    EXPECT_EQ(node->getScale().Z, 1.0f);
}

}  // namespace

TEST_F(MainMenuActorsTest, ACarDrivesUpThePictureShrinkingAndLeavesAtTheEnd) {
    setPaths(R"(<CarPaths><Path ID="Path"><p p="500, 768"/><p p="500, 668"/></Path></CarPaths>)");
    std::vector<std::string> body;
    // Held here: the car frees itself from its parent when it leaves.
    auto car = CountedRef<GMainMenuCarNode>::share(add<GMainMenuCarNode>(holder, &body));
    car->setVelocityRange(vector2df(80.0f, 80.0f));
    frame();
    ASSERT_TRUE(car->isWalking());
    EXPECT_EQ(car->getUpdateScheduler(), &scheduler);
    EXPECT_EQ(car->getTimerInterval(), 30u);
    EXPECT_EQ(car->getBaseSpeed(), 80.0f);
    // At y 768: full size, state number 1, full speed; an upward car plays
    // its sound at once.
    expectScale(car.get(), 1.0f);
    EXPECT_EQ(car->getSpeed(), 80.0f);
    EXPECT_EQ(body.back(), "Up1");
    EXPECT_TRUE(car->isSoundPlayed());

    // Up to y 700: s = 0.32, state 5, speed 80 x 0.32^1.6 (at least 1).
    for (int i = 0; i < 1000 && car->getPosition().Y > 700.0f; ++i) scheduler.update(30);
    const float s = (car->getPosition().Y - 668.0f) / 100.0f;
    expectScale(car.get(), s);
    EXPECT_NEAR(car->getSpeed(), std::max(1.0f, 80.0f * std::pow(s, 1.6f)), 1e-3f);
    EXPECT_EQ(body.back(), "Up" + std::to_string(std::max(1, 6 - static_cast<int>(6.0f * s))));
    EXPECT_TRUE(body.back() == "Up5" || body.back() == "Up4") << body.back();
    EXPECT_EQ(car->getPosition().Z, car->getPosition().Y) << "depth follows y";

    // At the far end it stops, leaves and drops its timer.
    for (int i = 0; i < 20000 && car->getParent(); ++i) scheduler.update(30);
    EXPECT_EQ(holder->getChildCount(), 0u);
}

TEST_F(MainMenuActorsTest, ACarComingNearPlaysItsSoundOnceItIsBigEnough) {
    setPaths(R"(<CarPaths><Path ID="Path"><p p="500, 690"/><p p="500, 790"/></Path></CarPaths>)");
    std::vector<std::string> body;
    auto car = CountedRef<GMainMenuCarNode>::share(add<GMainMenuCarNode>(holder, &body));
    frame();
    EXPECT_EQ(body.back(), "Down5");
    EXPECT_FALSE(car->isSoundPlayed());
    float before = car->getPosition().Y;
    for (int i = 0; i < 1000 && !car->isSoundPlayed(); ++i) {
        before = car->getPosition().Y;
        scheduler.update(30);
    }
    // s is 0.6 at y 728: the sound comes on the first step beyond it.
    EXPECT_LE(before, 728.0f);
    EXPECT_GT(car->getPosition().Y, 728.0f);
    // Near the bottom edge, scale and number are capped.
    for (int i = 0; i < 1000 && car->getPosition().Y < 768.0f; ++i) scheduler.update(30);
    scheduler.update(30);
    expectScale(car.get(), 1.0f);
    EXPECT_EQ(body.back(), "Down1");
}

TEST_F(MainMenuActorsTest, APedestrianFacesItsWayAndIsSmallerTheHigherItWalks) {
    setPaths(R"(<PedestrianPaths><Path><p p="100, 760"/><p p="900, 640"/></Path></PedestrianPaths>)");
    std::vector<std::string> body;
    // Held here: the walker frees itself from its parent when it leaves.
    auto walker = CountedRef<GMainMenuPedestrianNode>::share(add<GMainMenuPedestrianNode>(holder, &body));
    walker->setVelocityRange(vector2df(40.0f, 40.0f));
    frame();
    ASSERT_TRUE(walker->isWalking());
    EXPECT_EQ(body, (std::vector<std::string>{"Start", "Up"})) << "entered at once";
    expectScale(walker.get(), 0.92f);
    EXPECT_NEAR(walker->getSpeed(), 40.0f * 0.92f, 1e-3f);
    for (int i = 0; i < 10000 && walker->getPosition().Y >= 660.0f; ++i) scheduler.update(30);
    // Above y 668: scale 0 and speed 1.
    expectScale(walker.get(), 0.0f);
    EXPECT_EQ(walker->getSpeed(), 1.0f);
    for (int i = 0; i < 20000 && walker->getParent(); ++i) scheduler.update(30);
    EXPECT_EQ(holder->getChildCount(), 0u);
    EXPECT_EQ(body.back(), "Stop");
}

TEST_F(MainMenuActorsTest, CloudsDriftSlowerTheLowerTheyFly) {
    setPaths(R"(<CarPaths><Path ID="Clouds"><p p="-200, 330"/><p p="1224, 330"/></Path>)"
             R"(<Path ID="Clouds"><p p="-200, 50"/><p p="1224, 50"/></Path></CarPaths>)");
    struct Case {
        float y;
        vector2df range;
        float speed;
    };
    const Case cases[] = {
        {330.0f, {5.0f, 5.0f}, 10.0f},   // 5 x (120 / 120 + 1)
        {50.0f, {5.0f, 5.0f}, 10.0f},    // 5 x 4.33, held at 10
        {330.0f, {0.2f, 0.2f}, 1.0f},    // 0.4, held at 1
        {330.0f, {3.0f, 3.0f}, 6.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        auto* cloud = add<GMainMenuCloudNode>(holder);
        cloud->setVelocityRange(c.range);
        // Paths under one ID are picked in turn, never the last one twice.
        for (int i = 0; i < 4 && (!cloud->isWalking() || cloud->getPosition().Y != c.y); ++i) {
            if (cloud->isWalking()) {
                holder->removeAllChildren();
                cloud = add<GMainMenuCloudNode>(holder);
                cloud->setVelocityRange(c.range);
            }
            frame();
        }
        ASSERT_EQ(cloud->getPosition().Y, c.y);
        EXPECT_NEAR(cloud->getSpeed(), c.speed, 1e-4f);
        expectScale(cloud, 1.0f);
        holder->removeAllChildren();
    }
}

TEST_F(MainMenuActorsTest, OnlyTheFirstActorsOfARunStartPartOfTheWayAlong) {
    setPaths(R"(<CarPaths><Path ID="Path"><p p="2000, 700"/><p p="-2000, 700"/></Path>)"
             R"(<Path ID="Clouds"><p p="-9000, 100"/><p p="9000, 100"/></Path></CarPaths>)"
             R"(<PedestrianPaths><Path><p p="-500, 745"/><p p="1500, 745"/></Path></PedestrianPaths>)");
    game::mainMenuActorCounters() = {};
    struct Kind {
        const char* what;
        int32_t limit;
        float startX;
        std::function<GMainMenuActorNode*()> make;
    };
    const Kind kinds[] = {
        {"cars", 4, 2000.0f, [this] { return add<GMainMenuCarNode>(holder); }},
        {"clouds", 12, -9000.0f, [this] { return add<GMainMenuCloudNode>(holder); }},
        {"pedestrians", 24, -500.0f, [this] { return add<GMainMenuPedestrianNode>(holder); }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.what);
        for (int32_t i = 0; i <= kind.limit; ++i) {
            GMainMenuActorNode* actor = kind.make();
            frame();
            ASSERT_TRUE(actor->isWalking());
            if (i < kind.limit) {
                EXPECT_NE(actor->getPosition().X, kind.startX) << i;
            } else {
                EXPECT_EQ(actor->getPosition().X, kind.startX) << "later ones start at the beginning";
            }
            holder->removeAllChildren();
        }
    }
}

TEST_F(MainMenuActorsTest, ABikeCirclesForEverSlowingOnTheFarSideAndOnSteepStretches) {
    setPaths(R"(<CarPaths><Path ID="Bike"><p p="300, 710"/><p p="700, 710"/><p p="700, 735"/><p p="300, 735"/>)"
             R"(</Path></CarPaths>)");
    std::vector<std::string> body;
    auto* bike = add<GMainMenuBikeNode>(group, &body);
    frame();
    ASSERT_TRUE(bike->isWalking());
    EXPECT_TRUE(bike->isLooping());
    EXPECT_EQ(bike->getBaseSpeed(), 50.0f);
    for (int minute = 0; minute < 10; ++minute) {
        run(60000);
        ASSERT_EQ(bike->getParent(), group);
        ASSERT_TRUE(bike->isWalking());
        const float y = bike->getPosition().Y;
        EXPECT_GE(y, 710.0f - 1e-3f);
        EXPECT_LE(y, 735.0f + 1e-3f);
        const float s = std::min(1.0f, std::max(0.65f, (y - 700.0f) / 35.0f));
        expectScale(bike, s);
        EXPECT_NEAR(bike->getSpeed(), std::max(1.0f, bike->getDirectionFactor() * s * s * s * 50.0f), 1e-3f);
    }
    // It has turned through its loop's four directions and more between them.
    const NameId* names = game::twentyFourDirectionNames();
    std::set<std::string> seen;
    for (const std::string& state : body)
        if (std::find(names, names + 24, makeNameId(state.c_str())) != names + 24) seen.insert(state);
    EXPECT_GE(seen.size(), 8u);
}

TEST_F(MainMenuActorsTest, ABikeLoopWithoutLengthStopsInsteadOfHangingTheMenu) {
    // Every point of the loop the same: going round could never use up the
    // distance, and the walk once spun for ever in the first draw.
    setPaths(R"(<CarPaths><Path ID="Bike"><p p="500, 720"/><p p="500, 720"/><p p="500, 720"/></Path></CarPaths>)");
    testing_support::LogCapture log;
    std::vector<std::string> body;
    auto* bike = add<GMainMenuBikeNode>(group, &body);
    frame();
    EXPECT_FALSE(bike->isWalking());
    EXPECT_TRUE(log.contains("no length"));
    scheduler.update(30);
    EXPECT_EQ(group->getChildCount(), 1u) << "only the holder is left";
}

TEST_F(MainMenuActorsTest, TheBikesSpeedFactorFollowsItsDirection) {
    struct Case {
        vector2df direction;
        float factor;
    };
    const Case cases[] = {
        {{0.0f, 10.0f}, 0.5f},    // straight down
        {{10.0f, 10.0f}, 1.0f},   // 45 degrees down-right
        {{-10.0f, 10.0f}, 1.0f},  // down-left
        {{10.0f, 0.0f}, 1.0f},    // level
        {{3.0f, 12.0f}, 0.5f},    // steep: sqrt(0.25)
        {{-5.0f, -20.0f}, 0.5f},  // steep up-left
        {{9.0f, 16.0f}, 0.75f},
        {{40.0f, 10.0f}, 1.0f},
    };
    CountedRef<GMainMenuBikeNode> bike(new GMainMenuBikeNode(nullptr, nullptr, nullptr));
    for (const Case& c : cases) {
        bike->onDirectionChanged(c.direction);
        EXPECT_NEAR(bike->getDirectionFactor(), c.factor, 1e-5f) << c.direction.X << ", " << c.direction.Y;
    }
}

TEST_F(MainMenuActorsTest, ABikeTurnsTenDegreesATickUntilItIsWithinSeven) {
    std::vector<std::string> body;
    CountedRef<GMainMenuBikeNode> bike(new GMainMenuBikeNode(nullptr, nullptr, nullptr));
    new StateJournalNode(bike.get(), body);
    bike->getChild(0)->release();
    auto angleOf = [](const vector2df& v) {
        double a = std::atan2(-v.Y, v.X) * 180.0 / 3.14159265358979;
        return a < 0.0 ? a + 360.0 : a;
    };
    // The first segment shows its own direction and has nothing to turn from.
    bike->onDirectionChanged(vector2df(100.0f, 0.0f));
    EXPECT_EQ(body.back(), "Right");
    bike->perTick();
    EXPECT_EQ(bike->getShownDirection(), bike->getCurrentDirection());
    body.clear();
    bike->perTick();
    EXPECT_TRUE(body.empty()) << "no turn, no state";

    // A new segment 25 degrees to the left (up the screen).
    const float a = 25.0f * 3.14159265f / 180.0f;
    const vector2df next(100.0f * std::cos(a), -100.0f * std::sin(a));
    bike->onDirectionChanged(next);
    bike->perTick();
    EXPECT_NEAR(angleOf(bike->getShownDirection()), 10.0, 1e-3);
    bike->perTick();
    EXPECT_NEAR(angleOf(bike->getShownDirection()), 20.0, 1e-3);
    bike->perTick();
    EXPECT_EQ(bike->getShownDirection(), next) << "5 degrees left: taken exactly";
    EXPECT_EQ(body.size(), 3u) << "a state on every turning tick";
    // The state is chosen from the shown direction turned 10 degrees clockwise.
    EXPECT_EQ(body.back(), "RightRightRightUp");

    // A turn to the right (clockwise) goes the other way.
    bike->onDirectionChanged(vector2df(0.0f, 50.0f));
    bike->perTick();
    EXPECT_NEAR(angleOf(bike->getShownDirection()), 15.0, 1e-3);
}

TEST(TwentyFourWayDirectionStateTest, FifteenDegreeSectorsCentredOnMultiplesOfFifteen) {
    struct Case {
        double degrees;
        const char* state;
    };
    const Case cases[] = {
        {0.0, "Right"},          {7.4, "Right"},       {7.6, "RightRightRightUp"}, {45.0, "RightUp"},
        {90.0, "Up"},            {135.0, "LeftUp"},    {180.0, "Left"},            {187.6, "LeftLeftDown"},
        {202.6, "LeftLeftLeftDown"}, {225.0, "LeftDown"}, {270.0, "Down"},         {315.0, "RightDown"},
        {352.4, "RightRightRightDown"}, {352.6, "Right"}, {359.9, "Right"},
    };
    for (const Case& c : cases) {
        const double r = c.degrees * 3.14159265358979 / 180.0;
        const vector2df v(static_cast<float>(100.0 * std::cos(r)), static_cast<float>(-100.0 * std::sin(r)));
        EXPECT_EQ(nameOfId(game::twentyFourWayDirectionState(v)), c.state) << c.degrees;
    }
    EXPECT_EQ(nameOfId(game::twentyFourWayDirectionState(vector2df(0.0f, 0.0f))), "Right");
}

TEST_F(MainMenuActorsTest, AnActorThatCannotStartLeavesOnItsFirstStep) {
    struct Case {
        const char* what;
        std::string paths;
        bool inMenu;
    };
    const Case cases[] = {
        {"no menu above", R"(<CarPaths><Path ID="Path"><p p="0, 700"/><p p="100, 700"/></Path></CarPaths>)", false},
        {"no path of its ID", R"(<CarPaths><Path ID="Other"><p p="0, 700"/><p p="100, 700"/></Path></CarPaths>)", true},
        {"a path of one point", R"(<CarPaths><Path ID="Path"><p p="0, 700"/></Path></CarPaths>)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        menu->getPaths()->clear();
        setPaths(c.paths);
        BaseNode* parent = c.inMenu ? holder : group;  // one link short
        auto* car = add<GMainMenuCarNode>(parent);
        frame();
        EXPECT_FALSE(car->isWalking());
        EXPECT_EQ(car->getUpdateScheduler(), &scheduler) << "registered all the same";
        const uint32_t before = parent->getChildCount();
        scheduler.update(30);
        EXPECT_EQ(parent->getChildCount(), before - 1);
    }
}

TEST_F(MainMenuActorsTest, AnActorHeldElsewhereDropsItsTimerWhenItLeaves) {
    // A spawner holds what it spawned until its next draw: the actor that
    // left must not go on being called, nor be freed during its own call.
    setPaths(R"(<PedestrianPaths><Path><p p="100, 760"/><p p="110, 760"/></Path></PedestrianPaths>)");
    auto walker = CountedRef<GMainMenuPedestrianNode>::share(add<GMainMenuPedestrianNode>(holder));
    walker->setVelocityRange(vector2df(40.0f, 40.0f));
    frame();
    ASSERT_EQ(walker->getUpdateScheduler(), &scheduler);
    for (int i = 0; i < 100 && walker->getParent(); ++i) scheduler.update(30);
    EXPECT_EQ(walker->getParent(), nullptr);
    EXPECT_EQ(walker->getUpdateScheduler(), nullptr) << "the timer call answered false";
    scheduler.update(30);
    EXPECT_EQ(walker->getRefCount(), 1);
}

TEST_F(MainMenuActorsTest, TheSpeedRangeIsReadWrittenAndCopiedWithinItsClass) {
    CountedRef<GMainMenuCarNode> car(new GMainMenuCarNode(nullptr, nullptr, nullptr));
    CountedRef<PropertySet> defaults(new PropertySet());
    car->writeProperties(defaults.get());
    EXPECT_LT(defaults->indexOf("InitialVelocityRange"), 0);

    CountedRef<PropertySet> set(new PropertySet());
    set->addVector2d("InitialVelocityRange", vector2df(60.0f, 90.0f));
    car->readProperties(set.get());
    EXPECT_EQ(car->getVelocityRange(), vector2df(60.0f, 90.0f));
    CountedRef<PropertySet> written(new PropertySet());
    car->writeProperties(written.get());
    EXPECT_EQ(vector2dFromProperty(written->find("InitialVelocityRange")), vector2df(60.0f, 90.0f));
    CountedRef<BaseNode> copy(car->clone(nullptr, nullptr));
    EXPECT_EQ(static_cast<GMainMenuCarNode*>(copy.get())->getVelocityRange(), vector2df(60.0f, 90.0f));
    EXPECT_TRUE(copy->isOfType(1105) && copy->isOfType(1140) && copy->isOfType(0));

    // Another class keeps its own range; a value of another type reads as (0, 0).
    CountedRef<GMainMenuBikeNode> bike(new GMainMenuBikeNode(nullptr, nullptr, nullptr));
    bike->copyFrom(car.get(), nullptr);
    EXPECT_EQ(bike->getVelocityRange(), vector2df(50.0f, 50.0f));
    CountedRef<PropertySet> wrong(new PropertySet());
    wrong->addInt("InitialVelocityRange", 7);
    bike->readProperties(wrong.get());
    EXPECT_EQ(bike->getVelocityRange(), vector2df(0.0f, 0.0f));

    // Defaults of the four classes.
    EXPECT_EQ(makeRef<GMainMenuPedestrianNode>(nullptr, nullptr, nullptr)->getVelocityRange(), vector2df(2.0f, 3.0f));
    EXPECT_EQ(makeRef<GMainMenuCloudNode>(nullptr, nullptr, nullptr)->getVelocityRange(), vector2df(5.0f, 5.0f));
}

// ---- The shipped main menu for an hour -------------------------------------------------------

namespace {

// Every node under the root, with what spawners hold apart from their children.
size_t countNodes(BaseNode* node) {
    size_t count = 1;
    for (uint32_t i = 0; i < node->getChildCount(); ++i) count += countNodes(node->getChild(i));
    if (auto* spawner = nodeCast<SpawnerNode>(node))
        for (const auto& ghost : spawner->getSpawnedGhosts())
            if (ghost->getParent() == node) count += countNodes(ghost.get());
    return count;
}

size_t countKind(BaseNode* node, int32_t typeId) {
    size_t count = node->isOfType(typeId) ? 1 : 0;
    for (uint32_t i = 0; i < node->getChildCount(); ++i) count += countKind(node->getChild(i), typeId);
    if (auto* spawner = nodeCast<SpawnerNode>(node))
        for (const auto& ghost : spawner->getSpawnedGhosts())
            if (ghost->getParent() == node) count += countKind(ghost.get(), typeId);
    return count;
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

TEST(MainMenuHourTest, AnHourOfTheShippedMenuKeepsItsNodesBoundedAndItsMemoryFlat) {
    namespace fs = std::filesystem;
    if (!fs::exists(fs::path(kContentTree) / "scenes/MainMenuScene.oscn"))
        SKIP_OR_FAIL_UNDER_CI() << "no built main menu in " << kContentTree;
    // The game reads its content relative to the working folder.
    const fs::path previous = fs::current_path();
    fs::current_path(kContentTree);
    struct Restore {
        fs::path folder;
        ~Restore() { fs::current_path(folder); }
    } restore{previous};

    getRandomGenerator() = RandomGenerator();
    getRandomGenerator().seed(3u);
    game::mainMenuActorCounters() = {};
    registerGameNodeKinds();
    ProfileStore& profiles = getProfileStore();
    ASSERT_TRUE(profiles.addProfile(L"Hour"));
    profiles.selectProfile(profiles.getProfileCount() - 1);
    struct DropPlayers {
        ~DropPlayers() {
            while (getProfileStore().getProfileCount() > 0) getProfileStore().removeProfile(0);
        }
    } dropPlayers;

    testing_support::LogCapture log;
    EngineDevice* device = getEngine();
    CountedRef<CContentManager> content(device->createContentManager());
    std::vector<CountedRef<Content>> held;
    for (const auto& entry : fs::directory_iterator("atlases")) {
        if (entry.path().extension() != ".xml") continue;
        CountedRef<Content> atlas(
            content->load(ContentType::AtlasTextureCollection, ("atlases/" + entry.path().filename().string()).c_str(), true));
        if (atlas) held.push_back(atlas);
    }
    const CreationContext context(content.get(), "");
    CountedRef<TimerScheduler> managerScheduler(new TimerScheduler());
    CountedRef<SceneManager> manager(new SceneManager(&context, nullptr, nullptr));
    manager->setTimerScheduler(managerScheduler.get());
    CountedRef<Content> templates(content->load(ContentType::SceneNode, "scenes/TemplateCollection.oscn", true));
    if (auto* collection = nodeCast<TemplateCollectionNode>(templates.get())) manager->setTemplateCollection(collection);
    CountedRef<Content> loaded(content->load(ContentType::SceneNode, "scenes/MainMenuScene.oscn", true));
    CountedRef<game::GMainMenuScene> menu = CountedRef<game::GMainMenuScene>::share(nodeCast<game::GMainMenuScene>(loaded.get()));
    ASSERT_TRUE(menu);
    ASSERT_FALSE(menu->getPaths()->carPaths(makeNameId("Path")).empty()) << "scenes/BgTrafficPaths.xml read";
    ASSERT_TRUE(manager->setScene(menu.get()));
    manager->onTimer(0);

    // The game's loop: 10 ms steps, a frame every 20 ms.
    auto advance = [&](uint32_t ms) {
        for (uint32_t done = 0; done < ms; done += 10) {
            managerScheduler->update(10);
            if (TimerScheduler* scheduler = menu->SceneNode::getTimerScheduler()) scheduler->update(10);
            if (done % 20 == 0) {
                RenderList list;
                menu->collectRenderItems(list);
            }
        }
    };
    advance(60000);
    const size_t actorsAfterAMinute = countKind(menu.get(), 1140);
    EXPECT_GE(actorsAfterAMinute, 5u) << "cars, clouds, pedestrians and the bike are out";
    EXPECT_GE(countKind(menu.get(), 1107), 1u);
    const long kilobytesAtStart = residentKilobytes();
    size_t most = 0;
    for (int minute = 1; minute < 60; ++minute) {
        advance(60000);
        const size_t nodes = countNodes(menu.get());
        most = std::max(most, nodes);
        ASSERT_LT(nodes, 600u) << "after " << minute + 1 << " minutes";
    }
    const long kilobytesAtEnd = residentKilobytes();
    EXPECT_GE(countKind(menu.get(), 1107), 1u) << "the bikes still circle";
    std::printf("[ figures  ] main menu for an hour: at most %zu nodes, %zu actors after a minute, %zu at the end;"
                " resident %ld kB after a minute, %ld kB after an hour (%+ld kB)\n",
                most, actorsAfterAMinute, countKind(menu.get(), 1140), kilobytesAtStart, kilobytesAtEnd,
                kilobytesAtEnd - kilobytesAtStart);
    EXPECT_FALSE(log.hasErrors());
    for (const auto& entry : log.entries())
        if (entry.level >= LOG_ERROR) ADD_FAILURE() << entry.text;
    manager->setScene(nullptr);
    manager->onTimer(0);
    manager->setTimerScheduler(nullptr);
}
