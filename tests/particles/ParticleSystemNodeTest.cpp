#include "engine/content/CContentManager.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/io/IrrRef.h"
#include "engine/particles/Emitter.h"
#include "engine/particles/ParticleSystemNode.h"
#include "engine/platform/Image.h"
#include "engine/visual/QuadBatcher.h"
#include <vector>

#include <gtest/gtest.h>

using namespace engine;

namespace {

// A scene with its scheduler, a content manager whose cache holds two point
// emitters, and an 8x4 texture (through the null driver) for the particles.
class ParticleSystemNodeTest : public ::testing::Test {
protected:
    ParticleSystemNodeTest() {
        getRandomGenerator().seed(99u);
        irr::SIrrlichtCreationParameters parameters;
        parameters.DriverType = irr::video::EDT_NULL;
        parameters.LoggingLevel = irr::ELL_NONE;
        device_.reset(irr::createDeviceEx(parameters));
        manager_.reset(new CContentManager(nullptr, nullptr, nullptr));
        cacheEmitter("Steady", vector2df(100.0f, 100.0f), vector2df(90.0f, 90.0f));
        cacheEmitter("Sparse", vector2df(10.0f, 10.0f), vector2df(1000.0f, 1000.0f));

        CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(8, 4)));
        image->fill(0xFFFFFFFFu);
        texture_.reset(new TextureContent(CreationContext(), "spark.png", nullptr));
        texture_->makeFrom(device_->getVideoDriver(), image.get());
        atlas_.reset(new AtlasTextureContent(CreationContext(), texture_.get(), rectf(0.0f, 0.0f, 0.5f, 1.0f),
                                             vector2df(), vector2df()));

        scene_.reset(new SceneNode(&context_, nullptr, nullptr));
        scene_->setTimerScheduler(&scheduler_);
        scene_->attach(nullptr, scene_.get());
    }

    void cacheEmitter(const char* name, const vector2df& pps, const vector2df& life) {
        CountedRef<PointEmitter> e(new PointEmitter(CreationContext(manager_.get(), "")));
        e->setName(name);
        e->setPPSRange(pps);
        e->setLifeTimeRange(life);
        e->velocityXRange = vector2df(100.0f, 100.0f);
        manager_->addToCache(CreationContext(manager_.get(), name), e.get());
    }

    // A particle system in the scene, adopting the named emitter.
    ParticleSystemNode* addSystem(const char* emitter) {
        ParticleSystemNode* node = new ParticleSystemNode(&context_, scene_.get(), nullptr);
        node->release();  // the scene holds it
        node->setParticleTexture(atlas_.get());
        node->setEmitterName(emitter);
        return node;
    }
    void frame() {
        RenderList list;
        scene_->collectRenderItems(list);
    }

    IrrRef<irr::IrrlichtDevice> device_;
    CountedRef<CContentManager> manager_;
    CreationContext context_{nullptr, ""};
    CountedRef<TextureContent> texture_;
    CountedRef<AtlasTextureContent> atlas_;
    TimerScheduler scheduler_;
    CountedRef<SceneNode> scene_;

    void SetUp() override { context_ = CreationContext(manager_.get(), ""); }
};

// Records the vertices the batcher hands to the driver.
struct RecordingTarget : IBatchTarget {
    bool enter2DMode() override { return true; }
    void setMaterial(const Material& material) override { types.push_back(material.getMaterialType()); }
    void drawVertexPrimitiveList(const irr::video::S3DVertex* v, irr::u32 count, const irr::u16*,
                                 irr::u32 primitives, irr::scene::E_PRIMITIVE_TYPE) override {
        vertices.assign(v, v + count);
        primitiveCount = primitives;
        ++draws;
    }
    irr::u32 getMaximalPrimitiveCount() const override { return 65535; }

    std::vector<irr::video::S3DVertex> vertices;
    std::vector<irr::video::E_MATERIAL_TYPE> types;
    irr::u32 primitiveCount = 0;
    int draws = 0;
};

}  // namespace

TEST_F(ParticleSystemNodeTest, DrawsItsQuadsInScreenSpaceThroughTheBatcher) {
    RecordingTarget target;
    CountedRef<QuadBatcher> batcher(new QuadBatcher(&target));
    irr::video::IVideoDriver* driver = device_->getVideoDriver();
    setDriverQuadBatcher(driver, batcher.get());
    struct Case {
        bool global;
        float expectedX;  // of corner 0
    };
    // One particle at (10, 0), scale 0 (all corners on it), node at (100, 50).
    const Case cases[] = {{false, 110.0f}, {true, 10.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.global ? "global" : "local");
        ParticleSystemNode* node = addSystem("");
        node->setGlobal(c.global);
        node->setPosition(vector3df(100.0f, 50.0f, 0.0f));
        frame();
        Particle p;
        p.x = 10.0f;
        p.scale = 0.0f;
        p.lifetime = 1000;
        node->getParticles().particles = {p};
        ASSERT_TRUE(node->update(30));
        target.draws = 0;
        batcher->begin();
        node->render(driver, nullptr);
        batcher->end();
        EXPECT_EQ(target.draws, 1);
        ASSERT_EQ(target.vertices.size(), 4u);
        EXPECT_EQ(target.primitiveCount, 2u);
        EXPECT_FLOAT_EQ(target.vertices[0].Pos.X, c.expectedX);
        EXPECT_FLOAT_EQ(target.vertices[0].Pos.Y, c.global ? 0.0f : 50.0f);
        EXPECT_EQ(target.types.back(), EMT_TRANS_ALPHACH_VERTEXALPHA);
        // The node's own mesh stays in particle space.
        EXPECT_FLOAT_EQ(node->getMesh().vertices[0].Pos.X, 10.0f);
        scene_->removeChild(node);
    }
    setDriverQuadBatcher(driver, nullptr);
}

TEST_F(ParticleSystemNodeTest, TheFirstFrameStartsEmissionAndUpdatesOnTheScenesScheduler) {
    ParticleSystemNode* node = addSystem("Steady");
    ASSERT_NE(node->getEmitter(), nullptr);
    EXPECT_EQ(node->getEmitterName(), stringc("Steady"));
    EXPECT_EQ(node->getEmitter()->getParticleArray(), &node->getParticles());
    scheduler_.update(90);
    EXPECT_EQ(node->getParticles().size(), 0u);  // nothing runs before a frame

    frame();
    EXPECT_EQ(node->getEmitter()->getTimerScheduler(), &scheduler_);
    EXPECT_EQ(node->getUpdateScheduler(), &scheduler_);
    // 3 particles per 30 ms. The update runs before the emitter (it joined
    // first), so each particle is aged from the call after its birth.
    struct Step {
        uint32_t particles;
        float firstX;  // 100 units per second, 30 ms steps
    };
    const Step steps[] = {{3, 0.0f}, {6, 3.0f}, {9, 6.0f}};
    // An update without particles drops its timer; the next frame attaches
    // it again, after the emitter.
    for (const Step& s : steps) {
        frame();
        scheduler_.update(30);
        ASSERT_EQ(node->getParticles().size(), s.particles);
        EXPECT_NEAR(node->getParticles().particles[0].x, s.firstX, 1e-4);
    }
    // Lifetime 90 ms: the first six reach it at their third update (those of
    // the second step were aged in the step of their birth).
    frame();
    scheduler_.update(30);
    EXPECT_EQ(node->getParticles().size(), 6u);
    for (const Particle& p : node->getParticles().particles) EXPECT_LT(p.age, 90u);
    EXPECT_EQ(node->getMesh().primitiveCount, 2 * node->getParticles().size());
    EXPECT_GE(node->getMesh().vertices.size(), 4 * node->getParticles().size());

    // The node draws one item while particles live.
    RenderList list;
    scene_->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].node, node);
}

TEST_F(ParticleSystemNodeTest, ParticlesAgeMoveAndDie) {
    ParticleSystemNode* node = addSystem("");
    EXPECT_EQ(node->getEmitter(), nullptr);
    Particle moving;
    moving.velocityX = 10.0f;
    moving.accelerationY = 100.0f;
    moving.angularVelocity = 90.0f;
    moving.scaleRate = 1.0f;
    moving.alpha = 1.0f;
    moving.alphaRate = -1.0f;
    moving.lifetime = 1000;
    Particle shortLived;
    shortLived.lifetime = 30;  // removed at its first update
    shortLived.x = 77.0f;
    node->getParticles().particles = {shortLived, moving, shortLived};
    EXPECT_TRUE(node->update(30));
    ASSERT_EQ(node->getParticles().size(), 1u);
    const Particle& p = node->getParticles().particles[0];
    EXPECT_EQ(p.age, 30u);
    EXPECT_FLOAT_EQ(p.x, 0.3f);
    EXPECT_FLOAT_EQ(p.velocityY, 3.0f);
    EXPECT_FLOAT_EQ(p.y, 0.09f);  // moved with the new velocity
    EXPECT_FLOAT_EQ(p.angle, 2.7f);
    EXPECT_FLOAT_EQ(p.scale, 1.03f);
    EXPECT_FLOAT_EQ(p.alpha, 0.97f);

    // Quad of the particle: texture 8x4, rectangle half the width -> 4x4 at scale 1.03.
    const MeshBuffer& mesh = node->getMesh();
    ASSERT_GE(mesh.vertices.size(), 4u);
    const float half = 4.0f * 1.03f * 0.5f;  // angle 2.7 truncates to 2 degrees
    const float c = std::cos(2.0f * 3.14159265f / 180.0f), s = std::sin(2.0f * 3.14159265f / 180.0f);
    EXPECT_NEAR(mesh.vertices[0].Pos.X, 0.3f + (-half * c + half * s), 1e-3);
    EXPECT_NEAR(mesh.vertices[0].Pos.Y, 0.09f + (-half * s - half * c), 1e-3);
    EXPECT_NEAR(mesh.vertices[2].Pos.X, 0.3f - (-half * c + half * s), 1e-3);
    EXPECT_EQ(mesh.vertices[0].Color.getAlpha(), static_cast<irr::u32>(0.97f * 255.0f));
    EXPECT_EQ(mesh.vertices[1].TCoords, irr::core::vector2df(0.5f, 0.0f));
    EXPECT_EQ(mesh.vertices[3].TCoords, irr::core::vector2df(0.0f, 1.0f));
    const irr::u16 expected[] = {0, 1, 2, 0, 2, 3};
    ASSERT_EQ(mesh.indices.size(), 6u);  // room for the one that lives
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(mesh.indices[i], expected[i]);

    // A colour that runs past its range is held at the end, not wrapped.
    node->getParticles().particles[0].alphaRate = -100.0f;
    node->update(30);
    EXPECT_EQ(mesh.vertices[0].Color.getAlpha(), 0u);

    // No particle left: the update gives up its timer.
    node->getParticles().particles.clear();
    EXPECT_FALSE(node->update(30));
}

TEST_F(ParticleSystemNodeTest, ChangingTheTextureUpdatesTheQuadsThatExist) {
    ParticleSystemNode* node = addSystem("");
    Particle p;
    p.lifetime = 1000;
    node->getParticles().particles = {p, p};
    node->update(30);
    CountedRef<AtlasTextureContent> other(new AtlasTextureContent(CreationContext(), texture_.get(),
                                                                  rectf(0.5f, 0.25f, 1.0f, 0.75f), vector2df(),
                                                                  vector2df()));
    node->setParticleTexture(other.get());
    const MeshBuffer& mesh = node->getMesh();
    ASSERT_EQ(mesh.vertices.size(), 8u);
    EXPECT_EQ(mesh.vertices[4].TCoords, irr::core::vector2df(0.5f, 0.25f));
    EXPECT_EQ(mesh.vertices[6].TCoords, irr::core::vector2df(1.0f, 0.75f));
    node->getParticles().particles.push_back(p);
    node->update(30);
    EXPECT_EQ(mesh.vertices[9].TCoords, irr::core::vector2df(1.0f, 0.25f));
}

TEST_F(ParticleSystemNodeTest, AFullArrayTakesNoMoreParticles) {
    ParticleSystemNode* node = addSystem("Steady");
    Particle p;
    p.lifetime = 100000;
    node->getParticles().particles.assign(500, p);
    frame();
    scheduler_.update(300);
    EXPECT_EQ(node->getParticles().size(), 500u);
}

TEST_F(ParticleSystemNodeTest, GlobalModeStartsParticlesAtTheNodeAndLeavesThemThere) {
    ParticleSystemNode* node = addSystem("Sparse");
    node->setGlobal(true);
    node->setPosition(vector3df(50.0f, 60.0f, 0.0f));
    frame();
    scheduler_.update(120);  // one particle at 100 ms
    ASSERT_EQ(node->getParticles().size(), 1u);
    const float firstX = node->getParticles().particles[0].x;
    EXPECT_GE(firstX, 50.0f);
    EXPECT_FLOAT_EQ(node->getParticles().particles[0].y, 60.0f);

    node->setPosition(vector3df(200.0f, 60.0f, 0.0f));
    frame();
    // Frame by frame: the update moves the emitter to the node before the
    // emitter's next call.
    for (int i = 0; i < 3; ++i) scheduler_.update(30);
    ASSERT_EQ(node->getParticles().size(), 2u);
    EXPECT_LT(node->getParticles().particles[0].x, 100.0f);  // the old one stayed
    EXPECT_GE(node->getParticles().particles[1].x, 200.0f);  // the new one starts at the node
}

TEST_F(ParticleSystemNodeTest, SwitchingOrDisablingTheEmitterStopsIt) {
    ParticleSystemNode* node = addSystem("Steady");
    frame();
    CountedRef<BaseEmitter> old = CountedRef<BaseEmitter>::share(node->getEmitter());
    node->setEmitterName("Sparse");
    EXPECT_EQ(old->getTimerScheduler(), nullptr);
    EXPECT_EQ(old->getParticleArray(), nullptr);
    EXPECT_EQ(node->getEmitterName(), stringc("Sparse"));
    node->setEmitterName("Missing");
    EXPECT_EQ(node->getEmitter(), nullptr);
    EXPECT_EQ(node->getEmitterName(), stringc());

    node->setEmitterName("Steady");
    node->setEmitterEnabled(false);
    frame();
    scheduler_.update(300);
    EXPECT_EQ(node->getParticles().size(), 0u);
    node->setEmitterEnabled(true);
    scheduler_.update(30);
    EXPECT_EQ(node->getParticles().size(), 3u);

    // A disabled node freezes its particles.
    node->setEnabled(false);
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    const float x = node->getParticles().particles[0].x;
    scheduler_.update(30);
    EXPECT_EQ(node->getParticles().particles[0].x, x);
}

TEST_F(ParticleSystemNodeTest, WithoutAnOwnerSceneNothingRuns) {
    CountedRef<ParticleSystemNode> node(new ParticleSystemNode(&context_, nullptr, nullptr));
    node->setParticleTexture(atlas_.get());
    node->setEmitterName("Steady");
    RenderList list;
    node->collectRenderItems(list);
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    EXPECT_EQ(node->getEmitter()->getTimerScheduler(), nullptr);
    EXPECT_TRUE(list.empty());
}

TEST_F(ParticleSystemNodeTest, PropertiesAndCopies) {
    ParticleSystemNode* node = addSystem("Sparse");
    node->setGlobal(true);
    node->setEmitterEnabled(false);
    CountedRef<PropertySet> set(new PropertySet(manager_.get()));
    node->writeProperties(set.get());
    EXPECT_EQ(set->getString("EmitterName"), stringc("Sparse"));
    EXPECT_GE(set->indexOf("ParticleTexture"), 0);
    EXPECT_LT(set->indexOf("AtlasTexture"), 0);
    EXPECT_LT(set->indexOf("Enabled"), 0);
    EXPECT_FALSE(set->getBool("EmitterEnabled"));
    EXPECT_TRUE(set->getBool("Global"));

    CountedRef<ParticleSystemNode> read(new ParticleSystemNode(&context_, nullptr, nullptr));
    read->readProperties(set.get());
    EXPECT_EQ(read->getEmitterName(), stringc("Sparse"));
    EXPECT_EQ(read->getParticleTexture(), atlas_.get());
    EXPECT_FALSE(read->isEmitterEnabled());
    EXPECT_TRUE(read->isGlobal());

    CountedRef<BaseNode> copy(node->clone(nullptr, nullptr));
    ParticleSystemNode* system = nodeCast<ParticleSystemNode>(copy.get());
    ASSERT_NE(system, nullptr);
    ASSERT_NE(system->getEmitter(), nullptr);
    EXPECT_NE(system->getEmitter(), node->getEmitter());
    EXPECT_EQ(system->getEmitter()->getParticleArray(), &system->getParticles());
    EXPECT_TRUE(system->isGlobal());
    EXPECT_FALSE(system->hitTest(vector2df(0.0f, 0.0f)));

    const PropertyTable& table = ParticleSystemNode::classPropertyTable();
    EXPECT_EQ(table.indexOf("AtlasTexture"), static_cast<int32_t>(BaseNode::classPropertyTable().size()) + 1);
    table.set(*node, table.indexOf("EmitterName"), CountedRef<IPropertyData>(makeStringProperty("Steady")));
    EXPECT_EQ(node->getEmitterName(), stringc("Steady"));

    CountedRef<BaseNode> made(getNodeFactory().createNode(L"ParticleSystemNode", &context_));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getTypeId(), 17);
}
