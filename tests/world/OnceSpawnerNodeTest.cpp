// The once-spawner: how often it shows something, which template and state
// it picks, what the spawned object is (visible, held apart from the
// children, drawn, never written or copied), a parked car that stays, and
// the cases that spawn nothing but still end the decision.
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "game/common/GeometryNodes.h"
#include "game/world/OnceSpawnerNode.h"
#include "game/world/PathMovers.h"
#include "support/FakeSceneManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;
using game::OnceSpawnerNode;

namespace {

// A child that writes down every state it is asked to enter.
class StateJournalNode : public BaseNode {
public:
    StateJournalNode(BaseNode* parent, std::vector<std::string>& journal)
        : BaseNode(nullptr, parent, nullptr), journal_(&journal) {}
    void setState(NameId state, StateResolver resolver, NameId report) override {
        if (journal_) journal_->push_back(nameOfId(state).c_str());
        BaseNode::setState(state, resolver, report);
    }
    BaseNode* clone(BaseNode* parent, BaseNode* manager) override {
        auto* copy = new StateJournalNode(parent, *journal_);
        copy->copyFrom(this, manager);
        if (parent) copy->release();
        return copy;
    }

private:
    std::vector<std::string>* journal_;
};

class OnceSpawnerNodeTest : public ::testing::Test {
protected:
    OnceSpawnerNodeTest() {
        getRandomGenerator().seed(5u);
        manager.collection = CountedRef<TemplateCollectionNode>(new TemplateCollectionNode(nullptr, nullptr, nullptr));
        // "Crate": a drawn rectangle, hidden as templates often are, with a
        // child that journals its states.
        auto* crate = new GRectangleNode(nullptr, nullptr, nullptr);
        crate->setName(makeNameId("Crate"));
        crate->setFillColor(SColor(0xFFC8553D));
        crate->setVisible(false);
        new StateJournalNode(crate, states);
        crate->getChild(0)->release();
        manager.collection->addTemplate(crate);
        crate->release();
        auto* car = new game::GCarNode(nullptr, nullptr, nullptr);
        car->setName(makeNameId("Car"));
        manager.collection->addTemplate(car);
        car->release();
        scene->setTimerScheduler(&scheduler);
    }
    ~OnceSpawnerNodeTest() override { scene->removeAllChildren(); }

    OnceSpawnerNode* addSpawner(const char* templates, const char* objStates = "", int32_t percent = 100) {
        auto* spawner = new OnceSpawnerNode(nullptr, scene.get(), nullptr);
        spawner->release();
        CountedRef<PropertySet> set(new PropertySet());
        set->addString("ObjTemplateIDs", templates);
        set->addString("ObjState", objStates);
        set->addInt("ShowLevelPercent", percent);
        spawner->readProperties(set.get());
        return spawner;
    }
    RenderList draw() {
        RenderList list;
        scene->collectRenderItems(list);
        return list;
    }
    void open() { manager.open(scene.get()); }

    testing_support::FakeSceneManager manager;
    TimerScheduler scheduler;
    CountedRef<SceneNode> scene{new SceneNode(nullptr, nullptr, nullptr)};
    std::vector<std::string> states;
};

}  // namespace

TEST_F(OnceSpawnerNodeTest, TheChanceOfShowingFollowsThePercentage) {
    struct Case {
        int32_t percent;
        int low, high;  // spawned, of 980 spawners
    };
    // A draw from 1 to 98 below the percentage: 50 shows 49 times in 98.
    const Case cases[] = {{50, 440, 540}, {100, 980, 980}, {250, 980, 980}, {1, 0, 0}, {0, 0, 0}, {-7, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        std::vector<OnceSpawnerNode*> spawners;
        for (int i = 0; i < 980; ++i) spawners.push_back(addSpawner("Crate", "", c.percent));
        open();
        draw();
        int spawned = 0;
        for (OnceSpawnerNode* spawner : spawners) {
            EXPECT_FALSE(spawner->isSpawnPending());
            spawned += spawner->getSpawned() ? 1 : 0;
        }
        EXPECT_GE(spawned, c.low);
        EXPECT_LE(spawned, c.high);
        scene->removeAllChildren();
    }
}

TEST_F(OnceSpawnerNodeTest, TheSpawnedObjectIsShownDrawnAndHeldApartFromTheChildren) {
    OnceSpawnerNode* spawner = addSpawner("Crate");
    spawner->setPosition(vector3df(100.0f, 50.0f, 3.0f));
    open();
    EXPECT_TRUE(spawner->isSpawnPending()) << "nothing is decided before the first draw";
    const RenderList list = draw();
    BaseNode* crate = spawner->getSpawned();
    ASSERT_NE(crate, nullptr);
    EXPECT_TRUE(nodeCast<GRectangleNode>(crate));
    EXPECT_TRUE(crate->isVisible());
    EXPECT_TRUE(crate->isGhost());
    EXPECT_EQ(crate->getParent(), spawner);
    EXPECT_EQ(spawner->getChildCount(), 0u) << "written to no scene file";
    EXPECT_EQ(crate->getManager(), &manager);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].node, crate);
    EXPECT_EQ(list[0].depth, 3.0f) << "placed where the spawner stands";
    EXPECT_TRUE(states.empty()) << "no ObjState: the template's own states";

    // Later draws decide nothing new.
    draw();
    EXPECT_EQ(spawner->getSpawned(), crate);
    // A hidden spawner hides what it spawned.
    spawner->setVisible(false);
    EXPECT_EQ(draw().size(), 0u);

    // A copy takes the lists, not the object, the percentage or the decision.
    spawner->setShowLevelPercent(80);
    CountedRef<BaseNode> copy(spawner->clone(nullptr, nullptr));
    auto* other = nodeCast<OnceSpawnerNode>(copy.get());
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->isSpawnPending());
    EXPECT_EQ(other->getSpawned(), nullptr);
    EXPECT_EQ(other->getObjTemplateIdsText(), "Crate");
    EXPECT_EQ(other->getShowLevelPercent(), 50);
}

TEST_F(OnceSpawnerNodeTest, PicksAmongItsTemplatesAndStates) {
    std::vector<OnceSpawnerNode*> spawners;
    for (int i = 0; i < 60; ++i) spawners.push_back(addSpawner(" Crate ; ;Car", "Rusty;Shiny"));
    EXPECT_EQ(spawners[0]->getObjTemplateIdsText(), "Crate;Car") << "trimmed, empty names skipped";
    open();
    draw();
    int crates = 0, cars = 0;
    for (OnceSpawnerNode* spawner : spawners) {
        BaseNode* spawned = spawner->getSpawned();
        ASSERT_NE(spawned, nullptr);
        if (nodeCast<GRectangleNode>(spawned)) ++crates;
        if (auto* car = nodeCast<game::GCarNode>(spawned)) {
            ++cars;
            EXPECT_FALSE(car->leaveAtEnd) << "a spawned car is parked for good";
        }
    }
    EXPECT_GT(crates, 10);
    EXPECT_GT(cars, 10);
    // Every crate's child entered one of the two states, and both occur.
    EXPECT_EQ(states.size(), static_cast<size_t>(crates));
    EXPECT_NE(std::find(states.begin(), states.end(), "Rusty"), states.end());
    EXPECT_NE(std::find(states.begin(), states.end(), "Shiny"), states.end());
    for (const std::string& state : states) EXPECT_TRUE(state == "Rusty" || state == "Shiny") << state;
}

TEST_F(OnceSpawnerNodeTest, AParkedCarStaysWhereItsWalkEnds) {
    OnceSpawnerNode* spawner = addSpawner("Car");
    open();
    draw();
    auto* car = nodeCast<game::GCarNode>(spawner->getSpawned());
    ASSERT_NE(car, nullptr);
    car->start({{0.0f, 0.0f}, {20.0f, 0.0f}});
    draw();
    EXPECT_EQ(car->getUpdateScheduler(), &scheduler);
    for (int i = 0; i < 50; ++i) scheduler.update(10);
    EXPECT_FALSE(car->isWalking());
    EXPECT_EQ(spawner->getSpawned(), car);
    EXPECT_EQ(car->getPosition().X, 20.0f);
}

TEST_F(OnceSpawnerNodeTest, NothingToSpawnStillEndsTheDecision) {
    struct Case {
        const char* what;
        const char* templates;
        bool withManager;
    };
    const Case cases[] = {
        {"a name not in the collection", "Nowhere", true},
        {"no names", "", true},
        {"no scene manager", "Crate", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OnceSpawnerNode* spawner = addSpawner(c.templates);
        if (c.withManager) open();
        EXPECT_EQ(draw().size(), 0u);
        EXPECT_FALSE(spawner->isSpawnPending());
        EXPECT_EQ(spawner->getSpawned(), nullptr);
        // Found later, it is not tried again.
        open();
        draw();
        EXPECT_EQ(spawner->getSpawned(), nullptr);
        scene->removeAllChildren();
        scene->attach(nullptr, nullptr);
    }
}

TEST_F(OnceSpawnerNodeTest, ListsAndPercentageGoToSceneFilesOnlyWhenSet) {
    CountedRef<OnceSpawnerNode> spawner(new OnceSpawnerNode(nullptr, nullptr, nullptr));
    CountedRef<PropertySet> defaults(new PropertySet());
    spawner->writeProperties(defaults.get());
    EXPECT_LT(defaults->indexOf("ObjTemplateIDs"), 0);
    EXPECT_LT(defaults->indexOf("ObjState"), 0);
    EXPECT_LT(defaults->indexOf("ShowLevelPercent"), 0);
    spawner->setObjTemplateIds("ParkedCar1;Bench");
    spawner->setObjStates("Summer");
    spawner->setShowLevelPercent(70);
    CountedRef<PropertySet> written(new PropertySet());
    spawner->writeProperties(written.get());
    EXPECT_EQ(propertyDataToString(written->find("ObjTemplateIDs")), "ParkedCar1;Bench");
    EXPECT_EQ(propertyDataToString(written->find("ObjState")), "Summer");
    EXPECT_EQ(intFromProperty(written->find("ShowLevelPercent")), 70);
    EXPECT_TRUE(spawner->isOfType(1158));
    EXPECT_TRUE(spawner->isOfType(0));
}
