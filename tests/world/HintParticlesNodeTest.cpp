// The hint sparkles: the timeline tracks, the burst clock along the 30 ms
// timer, the shape of one burst, the capacity, the description file, the
// timer's life and a node that leaves its scene while its timer runs.
#include "engine/core/PropertySet.h"
#include "game/world/HintParticlesNode.h"
#include "support/LogCapture.h"
#include "world/ParticleEffectTestSupport.h"

#include <cmath>
#include <string>
#include <vector>

using namespace engine;

namespace {

std::string hintFile(const std::string& body) { return "<?xml version=\"1.0\"?>\n<HintParticle>" + body + "</HintParticle>\n"; }

// One particle per burst that lives far longer than the test.
const std::string kSteady = R"(<ParticlesDensity Value="1, 1"/><ParticlesLifetimeRange Value="100000, 100000"/>)";

class HintParticlesNodeTest : public world_test::EffectFixture {};

}  // namespace

TEST(ParticleTrackTest, ValuesFollowTheKeysOneKeyPerUpdate) {
    struct Step {
        float age;
        float value;
        int32_t index;
    };
    struct Case {
        const char* what;
        std::vector<ParticleTrackKey> keys;
        std::vector<Step> steps;  // the value and next key after an update at that age
    };
    const Case cases[] = {
        {"one key keeps its value", {{0.0f, 3.0f}}, {{0.1f, 3.0f, 1}, {0.9f, 3.0f, 1}}},
        {"falls linearly from 1 to 0", {{0.0f, 1.0f}, {1.0f, 0.0f}}, {{0.25f, 0.75f, 1}, {0.5f, 0.5f, 1}, {1.0f, 0.0f, 2}}},
        {"a jump past two keys takes the first, then the second",
         {{0.0f, 0.0f}, {0.2f, 5.0f}, {0.4f, 9.0f}, {1.0f, 9.0f}},
         {{0.5f, 5.0f, 2}, {0.5f, 9.0f, 3}, {0.7f, 9.0f, 3}}},
        {"keys at one time take the later value", {{0.5f, 2.0f}, {0.5f, 7.0f}}, {{0.1f, 7.0f, 1}, {0.6f, 7.0f, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParticleTrack track;
        track.keys = c.keys;
        float value = track.startValue(-1.0f);
        int32_t index = 1;
        for (const Step& s : c.steps) {
            track.step(s.age, value, index);
            EXPECT_TRUE(std::isfinite(value));
            EXPECT_FLOAT_EQ(value, s.value) << "at age " << s.age;
            EXPECT_EQ(index, s.index) << "at age " << s.age;
        }
    }
    ParticleTrack empty;
    EXPECT_EQ(empty.startValue(1.0f), 1.0f);
}

TEST_F(HintParticlesNodeTest, BurstsFollowTheClockFromTheFirstDraw) {
    struct Case {
        int32_t pps;
        uint32_t atFirstDraw;
        std::vector<uint32_t> afterCalls;  // the count after each 30 ms call
    };
    const Case cases[] = {
        // Ten bursts a second: the 4th, 7th and 10th calls (120, 210, 300 ms) add one.
        {10, 5, {5, 5, 5, 6, 6, 6, 7, 7, 7, 8}},
        {100, 50, {53, 56, 59}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pps);
        auto* node = addNode<GHOHintParticlesNode>(
            "hint.xml", hintFile(kSteady + "<PPS Value=\"" + std::to_string(c.pps) + "\"/>"));
        frame();
        EXPECT_EQ(node->getParticleCount(), c.atFirstDraw);
        ASSERT_EQ(node->getUpdateScheduler(), &scheduler_);
        for (size_t call = 0; call < c.afterCalls.size(); ++call) {
            scheduler_.update(30);
            EXPECT_EQ(node->getParticleCount(), c.afterCalls[call]) << "after call " << call + 1;
        }
        scene_->removeChild(node);
    }
}

TEST_F(HintParticlesNodeTest, ABurstSitsEvenlyRoundTheEllipseAndFliesOutwards) {
    auto* node = addNode<GHOHintParticlesNode>(
        "hint.xml", hintFile(R"(<EmitRadiusXRange Value="10, 10"/><EmitRadiusYRange Value="10, 10"/>
            <ParticlesDensity Value="4, 4"/><ParticlesVelRange Value="100, 100"/>
            <ParticlesLifetimeRange Value="1000, 1000"/><PPS Value="1"/>)"));
    node->emit(1000);
    const auto& particles = node->getParticles();
    ASSERT_EQ(particles.size(), 4u);
    for (size_t i = 0; i < particles.size(); ++i) {
        const auto& p = particles[i];
        EXPECT_NEAR(std::hypot(p.x, p.y), 10.0f, 1e-3f);
        EXPECT_NEAR(p.vx, p.x * 10.0f, 1e-2f);
        EXPECT_NEAR(p.vy, p.y * 10.0f, 1e-2f);
        EXPECT_FLOAT_EQ(p.ageRate, 1.0f);
        // A quarter turn from the one before.
        const auto& q = particles[(i + 1) % 4];
        EXPECT_NEAR(p.x * q.x + p.y * q.y, 0.0f, 1e-2f);
    }

    auto* still = addNode<GHOHintParticlesNode>(
        "still.xml", hintFile(R"(<ParticlesDensity Value="6, 6"/><ParticlesVelRange Value="50, 80"/>
            <ParticlesLifetimeRange Value="1000, 1000"/><PPS Value="1"/>)"));
    still->emit(1000);
    ASSERT_EQ(still->getParticles().size(), 6u);
    for (const auto& p : still->getParticles()) {
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.vx, 0.0f);
        EXPECT_EQ(p.vy, 0.0f);
    }
}

TEST_F(HintParticlesNodeTest, CapacityCutsBurstsAndZeroLifetimesDieAtTheNextUpdate) {
    auto* node = addNode<GHOHintParticlesNode>(
        "big.xml", hintFile(R"(<ParticlesDensity Value="3000, 3000"/><ParticlesLifetimeRange Value="5000, 5000"/><PPS Value="10"/>)"));
    node->emit(300);
    EXPECT_EQ(node->getParticleCount(), GHOHintParticlesNode::kCapacity);

    auto* brief = addNode<GHOHintParticlesNode>(
        "brief.xml", hintFile(R"(<ParticlesDensity Value="5, 5"/><PPS Value="10"/>)"));
    brief->emit(100);
    EXPECT_EQ(brief->getParticleCount(), 5u);
    brief->updateParticles(0.001f);
    EXPECT_EQ(brief->getParticleCount(), 0u);
}

TEST_F(HintParticlesNodeTest, TimelinesDriveScaleTurnAndOpacityAndTheQuads) {
    auto* node = addNode<GHOHintParticlesNode>(
        "hint.xml", hintFile(kSteady + R"(<PPS Value="2"/><ParticlesTimeline>
            <AngularVelocity><k T="0" V="90"/></AngularVelocity>
            <Scale><k T="0" V="2"/></Scale>
            <ColorA><k T="0" V="1"/><k T="1" V="0"/></ColorA></ParticlesTimeline>)"));
    node->setTintColor(SColor(0xFFFFFFFF));
    frame();
    ASSERT_EQ(node->getParticleCount(), 1u);
    const auto& p = node->getParticles()[0];
    EXPECT_EQ(p.scale, 2.0f);
    EXPECT_EQ(p.angularVelocity, 90.0f);
    for (int i = 0; i < 34; ++i) scheduler_.update(30);  // 1020 ms: a quarter turn and more
    ASSERT_EQ(node->getParticleCount(), 3u);  // two more bursts, at 500 and 1000 ms
    EXPECT_NEAR(node->getParticles()[0].rotation, 91.8f, 1e-3f);
    EXPECT_NEAR(node->getParticles()[0].alpha, 1.0f - 1.02f / 100.0f, 1e-4f);

    // A 4 x 4 image at scale 2, turned by 91 whole degrees, round the origin.
    const MeshBuffer& mesh = node->getMesh();
    EXPECT_EQ(mesh.primitiveCount, 6u);
    ASSERT_GE(mesh.vertices.size(), 4u);
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(std::hypot(mesh.vertices[c].Pos.X, mesh.vertices[c].Pos.Y), std::sqrt(32.0f), 1e-3f);
    EXPECT_EQ(mesh.vertices[0].Color.getAlpha(), static_cast<uint32_t>(node->getParticles()[0].alpha * 255.0f));
    EXPECT_EQ(mesh.vertices[1].TCoords, vector2df(0.5f, 0.0f));
    EXPECT_EQ(mesh.vertices[3].TCoords, vector2df(0.0f, 1.0f));
}

TEST_F(HintParticlesNodeTest, DescriptionFilesAreReadAndBadOnesKeepTheSettings) {
    auto* node = addNode<GHOHintParticlesNode>(
        "hint.xml", hintFile(R"(<EmitRadiusXRange Value="1, 2"/><ParticlesTimeline><Scale><k T="0" V="3"/></Scale>
            <ColorA/></ParticlesTimeline><ParticlesVelRange Value="7, 8"/><PPS Value="12"/>)") +
                        "<PPS Value=\"99\"/>");
    GHOHintParticlesNode::Settings& s = node->settings();
    EXPECT_EQ(s.emitRadiusXRange, vector2df(1.0f, 2.0f));
    EXPECT_EQ(s.particlesVelRange, vector2df(7.0f, 8.0f));  // after the timeline
    EXPECT_EQ(s.pps, 12);                                   // reading ends at the root's end
    EXPECT_EQ(s.particlesDensity, vector2df(20.0f, 20.0f));
    ASSERT_EQ(s.scale.keys.size(), 1u);
    EXPECT_EQ(s.scale.keys[0].v, 3.0f);
    EXPECT_TRUE(s.colorA.keys.empty());
    EXPECT_EQ(node->getConfigurationFilename(), "hint.xml");

    node->emit(1000);
    ASSERT_GT(node->getParticleCount(), 0u);
    for (const char* bad : {"missing.xml", "broken.xml"}) {
        SCOPED_TRACE(bad);
        if (std::string(bad) == "broken.xml") dir_.write(bad, "<HintParticle><PPS Value=");
        testing_support::LogCapture log;
        node->setConfigurationFilename(bad);
        EXPECT_TRUE(log.contains(bad));
        EXPECT_EQ(s.pps, 12);
        EXPECT_EQ(node->getParticleCount(), 0u);  // a new file removes the living particles
    }

    // The property table and the scene-file values.
    CountedRef<PropertySet> set(new PropertySet());
    node->setEnabled(false);
    node->writeProperties(set.get());
    EXPECT_EQ(propertyDataToString(set->find("ConfigurationFilename")), "broken.xml");
    EXPECT_FALSE(boolFromProperty(set->find("Enabled")));
    EXPECT_GE(set->indexOf("AtlasTexture"), 0);
    CountedRef<BaseNode> copy(node->clone(nullptr, nullptr));
    auto* hint = nodeCast<GHOHintParticlesNode>(copy.get());
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->settings().pps, 12);
    EXPECT_FALSE(hint->isEnabled());
    EXPECT_EQ(hint->getAtlasTexture(), atlas_.get());
    EXPECT_TRUE(hint->isOfType(0));
    EXPECT_FALSE(hint->isOfType(1149));
}

TEST_F(HintParticlesNodeTest, TheTimerStopsWhenDisabledAndEmptyOrUntexturedAndRestartsOnDraw) {
    auto* node = addNode<GHOHintParticlesNode>(
        "hint.xml", hintFile(R"(<ParticlesDensity Value="1, 1"/><ParticlesLifetimeRange Value="100, 100"/><PPS Value="10"/>)"));
    frame();
    ASSERT_EQ(node->getUpdateScheduler(), &scheduler_);
    node->setEnabled(false);
    for (int i = 0; i < 10 && node->getUpdateScheduler(); ++i) scheduler_.update(30);
    EXPECT_EQ(node->getParticleCount(), 0u);
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    frame();
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);  // still disabled

    node->setEnabled(true);
    frame();
    EXPECT_EQ(node->getUpdateScheduler(), &scheduler_);
    EXPECT_EQ(node->getParticleCount(), 5u);
    node->setAtlasTexture(nullptr);
    scheduler_.update(30);
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    frame();
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);  // nothing to draw with
}

TEST_F(HintParticlesNodeTest, ANodeThatLeavesItsSceneTakesItsTimerAlong) {
    auto* node = addNode<GHOHintParticlesNode>("hint.xml", hintFile(kSteady + "<PPS Value=\"10\"/>"));
    frame();
    ASSERT_EQ(node->getUpdateScheduler(), &scheduler_);
    ASSERT_TRUE(scene_->removeChild(node));  // the last reference goes
    for (int i = 0; i < 5; ++i) scheduler_.update(30);
    EXPECT_EQ(scene_->getChildCount(), 0u);
}
