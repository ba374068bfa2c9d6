#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/particles/SpawnerNode.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

// A spawnable kind with an int "LifeTime" and an int "Speed".
class Bird : public BaseNode {
    ENGINE_NODE_TYPE(Bird, BaseNode, 901)

public:
    Bird(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    const PropertyTable& getPropertyTable() const override {
        static const PropertyTable table = [] {
            PropertyTable t;
            appendPropertyTable(t, BaseNode::classPropertyTable());
            t.add("LifeTime", [](PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
                static_cast<Bird&>(o).lifeTime = intFromProperty(v);
            }, [](PropertyTableOwner& o) {
                return CountedRef<IPropertyData>(makeIntProperty(static_cast<Bird&>(o).lifeTime));
            });
            t.add("Speed", [](PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
                static_cast<Bird&>(o).speed = intFromProperty(v);
            }, [](PropertyTableOwner& o) {
                return CountedRef<IPropertyData>(makeIntProperty(static_cast<Bird&>(o).speed));
            });
            return t;
        }();
        return table;
    }
    void copyFrom(BaseNode* source, BaseNode* manager) override {
        BaseNode::copyFrom(source, manager);
        if (Bird* other = nodeCast<Bird>(source)) speed = other->speed;
    }
    int32_t lifeTime = -1;
    int32_t speed = 0;
};

// A manager node with a template collection holding "Bird" and "Crow".
class Manager : public BaseNode {
public:
    Manager() : BaseNode(nullptr, nullptr, nullptr) {
        collection_.reset(new TemplateCollectionNode(nullptr, nullptr, nullptr));
        for (const char* name : {"Bird", "Crow"}) {
            CountedRef<Bird> bird(new Bird(nullptr, nullptr, nullptr));
            bird->setName(makeNameId(name));
            bird->setPosition(vector3df(5.0f, 5.0f, 7.0f));
            bird->setVisible(false);
            bird->speed = name[0] == 'B' ? 1 : 2;
            collection_->addTemplate(bird.get());
        }
    }
    TemplateCollectionNode* getTemplateCollection() const override { return collection_.get(); }

private:
    CountedRef<TemplateCollectionNode> collection_;
};

class SpawnerNodeTest : public ::testing::Test {
protected:
    SpawnerNodeTest() {
        getRandomGenerator().seed(7u);
        manager_.reset(new Manager());
        scene_.reset(new SceneNode(nullptr, nullptr, nullptr));
        scene_->setTimerScheduler(&scheduler_);
        scene_->attach(manager_.get(), scene_.get());
    }
    SpawnerNode* addSpawner(const char* templates) {
        SpawnerNode* spawner = new SpawnerNode(nullptr, scene_.get(), nullptr);
        spawner->release();  // the scene holds it
        spawner->setObjTemplate(templates);
        return spawner;
    }
    void frame() {
        RenderList list;
        scene_->collectRenderItems(list);
    }
    // Every 30 ms tick, frame by frame.
    void run(int ticks) {
        for (int i = 0; i < ticks; ++i) scheduler_.update(30);
    }

    CountedRef<Manager> manager_;
    TimerScheduler scheduler_;
    CountedRef<SceneNode> scene_;
};

}  // namespace

TEST_F(SpawnerNodeTest, SpawnsAtItsRateAfterTheStartDelay) {
    struct Case {
        float delay;
        float perSecond;
        int ticks;
        size_t spawned;
        float accumulator;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 33, 0, 990.0f},   // 1000 ms per object
        {0.0f, 1.0f, 34, 1, 20.0f},
        {60.0f, 10.0f, 5, 0, 90.0f},   // the delay eats the first two ticks
        {60.0f, 10.0f, 6, 1, 20.0f},
        {0.0f, 100.0f, 1, 3, 0.0f},    // several per tick
        {0.0f, 0.0f, 10, 0, 300.0f},   // no rate: nothing, and no runaway count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "delay " << c.delay << " rate " << c.perSecond << " ticks " << c.ticks);
        CountedRef<SpawnerNode> spawner = CountedRef<SpawnerNode>::share(addSpawner("Bird"));
        spawner->startDelayRange = vector2df(c.delay, c.delay);
        spawner->perSecRange = vector2df(c.perSecond, c.perSecond);
        frame();
        EXPECT_EQ(spawner->getTickScheduler(), &scheduler_);
        EXPECT_FLOAT_EQ(spawner->getAccumulator(), -c.delay);
        run(c.ticks);
        EXPECT_EQ(spawner->getSpawnedGhosts().size(), c.spawned);
        EXPECT_FLOAT_EQ(spawner->getAccumulator(), c.accumulator);
        scene_->removeChild(spawner.get());
        spawner->setEnabled(false);
    }
}

TEST_F(SpawnerNodeTest, SpawnedObjectsArePlacedGivenValuesAndALifeTime) {
    SpawnerNode* spawner = addSpawner("Bird");
    spawner->perSecRange = vector2df(1000.0f, 1000.0f);
    spawner->lifeTimeRange = vector2df(1500.0f, 2500.0f);
    spawner->xDeltaRange = vector2df(-10.0f, 10.0f);
    spawner->yDeltaRange = vector2df(3.0f, 3.0f);
    spawner->rotationDeltaRange = vector2df(0.0f, 45.0f);
    CountedRef<PropertySet> values(new PropertySet());
    values->addInt("Speed", 9);
    values->addInt("Unknown", 1);
    spawner->setObjectsProperties(values.get());
    frame();
    run(1);
    ASSERT_EQ(spawner->getSpawnedGhosts().size(), 30u);
    EXPECT_EQ(spawner->getChildCount(), 0u);  // ghosts are not among the children
    for (const CountedRef<BaseNode>& node : spawner->getSpawnedGhosts()) {
        Bird* bird = nodeCast<Bird>(node.get());
        ASSERT_NE(bird, nullptr);
        EXPECT_TRUE(bird->isGhost());
        EXPECT_TRUE(bird->isVisible());
        EXPECT_EQ(bird->getParent(), spawner);
        EXPECT_EQ(bird->getOwnerScene(), scene_.get());
        EXPECT_EQ(bird->getManager(), manager_.get());
        EXPECT_GE(bird->getPosition().X, -10.0f);
        EXPECT_LE(bird->getPosition().X, 10.0f);
        EXPECT_EQ(bird->getPosition().Y, 3.0f);
        EXPECT_EQ(bird->getPosition().Z, 7.0f);  // the template's depth is kept
        EXPECT_EQ(bird->getRotation().X, 0.0f);
        EXPECT_LE(bird->getRotation().Z, 45.0f);
        EXPECT_EQ(bird->speed, 9);
        EXPECT_GE(bird->lifeTime, 1500);
        EXPECT_LE(bird->lifeTime, 2500);
    }
}

TEST_F(SpawnerNodeTest, ObjectsThatEndThemselvesAreLetGo) {
    SpawnerNode* spawner = addSpawner("Bird;Crow");
    spawner->perSecRange = vector2df(100.0f, 100.0f);
    frame();
    run(2);
    ASSERT_EQ(spawner->getSpawnedGhosts().size(), 6u);
    CountedRef<BaseNode> first = spawner->getSpawnedGhosts()[0];
    first->setParent(nullptr);  // what an object does when its life time is over
    frame();
    EXPECT_EQ(spawner->getSpawnedGhosts().size(), 5u);
    EXPECT_EQ(first->getRefCount(), 1);

    // Not ghosts: ordinary children.
    SpawnerNode* plain = addSpawner("Crow");
    plain->setSpawnedObjectGhost(false);
    plain->perSecRange = vector2df(100.0f, 100.0f);
    frame();
    run(1);
    EXPECT_EQ(plain->getChildCount(), 3u);
    EXPECT_TRUE(plain->getSpawnedGhosts().empty());
    EXPECT_EQ(nodeCast<Bird>(plain->getChild(0))->speed, 2);
}

TEST_F(SpawnerNodeTest, WhatKeepsASpawnerFromStarting) {
    SpawnerNode* noTemplates = addSpawner("Heron");
    noTemplates->perSecRange = vector2df(100.0f, 100.0f);
    EXPECT_EQ(noTemplates->getTemplateCount(), 0u);
    SpawnerNode* disabled = addSpawner("Bird");
    disabled->setEnabled(false);
    SpawnerNode* hidden = addSpawner("Bird");
    hidden->setVisible(false);
    hidden->perSecRange = vector2df(100.0f, 100.0f);
    CountedRef<SpawnerNode> outside(new SpawnerNode(nullptr, nullptr, nullptr));
    frame();
    RenderList list;
    outside->collectRenderItems(list);
    run(3);
    EXPECT_EQ(noTemplates->getTickScheduler(), &scheduler_);
    EXPECT_TRUE(noTemplates->getSpawnedGhosts().empty());
    EXPECT_EQ(disabled->getTickScheduler(), nullptr);
    EXPECT_EQ(hidden->getTickScheduler(), &scheduler_);  // a hidden spawner runs
    EXPECT_EQ(hidden->getSpawnedGhosts().size(), 9u);
    EXPECT_EQ(outside->getTickScheduler(), nullptr);

    // Enabled again, it goes on from where its time stood.
    disabled->setEnabled(true);
    EXPECT_EQ(disabled->getTickScheduler(), &scheduler_);
}

TEST_F(SpawnerNodeTest, PropertiesReadBackAndCopy) {
    SpawnerNode* spawner = addSpawner(" Bird ;; Crow;");
    EXPECT_EQ(spawner->getObjTemplate(), stringc("Bird;Crow"));
    EXPECT_EQ(spawner->getTemplateCount(), 2u);
    spawner->setSpawnedObjectGhost(false);
    spawner->perSecRange = vector2df(2.0f, 3.0f);
    spawner->rotationDeltaRange = vector2df(-5.0f, 5.0f);
    CountedRef<PropertySet> values(new PropertySet());
    values->addInt("Speed", 4);
    spawner->setObjectsProperties(values.get());
    spawner->setEnabled(false);

    CountedRef<PropertySet> set(new PropertySet());
    spawner->writeProperties(set.get());
    EXPECT_EQ(set->getString("ObjTemplate"), stringc("Bird;Crow"));
    EXPECT_GE(set->indexOf("IsSpawnedObjectGhost"), 0);
    EXPECT_GE(set->indexOf("Enabled"), 0);
    EXPECT_GE(set->indexOf("ObjectsPerSecRange"), 0);
    EXPECT_GE(set->indexOf("ObjectsRotationDeltaRange"), 0);
    EXPECT_LT(set->indexOf("ObjectsLifeTimeRange"), 0);  // at its default
    EXPECT_GE(set->indexOf("ObjectsProperties"), 0);

    SpawnerNode* read = new SpawnerNode(nullptr, scene_.get(), nullptr);
    read->release();
    read->readProperties(set.get());
    EXPECT_EQ(read->getObjTemplate(), stringc("Bird;Crow"));
    EXPECT_EQ(read->getTemplateCount(), 2u);
    EXPECT_FALSE(read->isEnabled());
    EXPECT_FALSE(read->isSpawnedObjectGhost());
    EXPECT_EQ(read->perSecRange, vector2df(2.0f, 3.0f));
    EXPECT_EQ(read->rotationDeltaRange, vector2df(-5.0f, 5.0f));
    ASSERT_NE(read->getObjectsProperties(), nullptr);
    EXPECT_EQ(read->getObjectsProperties()->getInt("Speed"), 4);

    // Other value types read as zero.
    CountedRef<PropertySet> wrong(new PropertySet());
    wrong->addInt("ObjectsPerSecRange", 5);
    wrong->addInt("ObjectsProperties", 5);
    read->readProperties(wrong.get());
    EXPECT_EQ(read->perSecRange, vector2df(0.0f, 0.0f));
    EXPECT_EQ(read->getObjectsProperties(), nullptr);

    CountedRef<BaseNode> copy(spawner->clone(nullptr, manager_.get()));
    SpawnerNode* copied = nodeCast<SpawnerNode>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->getTemplateCount(), 2u);
    EXPECT_EQ(copied->perSecRange, vector2df(2.0f, 3.0f));
    EXPECT_EQ(copied->getObjectsProperties()->getInt("Speed"), 4);
    EXPECT_NE(copied->getObjectsProperties(), spawner->getObjectsProperties());

    const PropertyTable& table = SpawnerNode::classPropertyTable();
    const uint32_t base = BaseNode::classPropertyTable().size();
    EXPECT_EQ(table[base].name, stringc("ObjTemplate"));
    EXPECT_EQ(table[base + 8].name, stringc("ObjectsRotationDeltaRange"));

    CountedRef<BaseNode> made(getNodeFactory().createNode(L"SpawnerNode", nullptr));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getTypeId(), 19);
    EXPECT_TRUE(made->isOfType(0));
}

TEST_F(SpawnerNodeTest, ARateBeyondAnySceneKeepsABoundedNumberOfObjects) {
    for (const bool ghosts : {true, false}) {
        SCOPED_TRACE(ghosts ? "ghosts" : "children");
        CountedRef<SpawnerNode> spawner = CountedRef<SpawnerNode>::share(addSpawner("Bird"));
        spawner->setSpawnedObjectGhost(ghosts);
        spawner->perSecRange = vector2df(0.02f, 1e20f);
        spawner->lifeTimeRange = vector2df(1e20f, 1e20f);  // objects that never end, past the int range
        frame();
        run(20);
        const size_t live = ghosts ? spawner->getSpawnedGhosts().size() : spawner->getChildCount();
        EXPECT_LE(live, SpawnerNode::kMostLive);
        EXPECT_GT(live, 0u);
        scene_->removeChild(spawner.get());
        spawner->setEnabled(false);
    }
}
