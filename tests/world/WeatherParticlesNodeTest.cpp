// The weather: defaults of a missing description, emission towards the centre
// point along the timer, life times, the sideways sway, the removal order, and
// the shipped rain and snow descriptions.
#include "game/world/WeatherParticlesNode.h"
#include "support/LogCapture.h"
#include "world/ParticleEffectTestSupport.h"

#include <cmath>
#include <string>

using namespace engine;

namespace {

std::string weatherFile(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<WeatherParticle>" + body + "</WeatherParticle>\n";
}

class WeatherParticlesNodeTest : public world_test::EffectFixture {};

}  // namespace

TEST_F(WeatherParticlesNodeTest, AMissingDescriptionKeepsTheDefaultsAndEmitsNothing) {
    testing_support::LogCapture log;
    auto* node = addNode<GWeatherParticlesNode>("", "");
    node->setConfigurationFilename("levels/common/Effects/None.xml");
    EXPECT_TRUE(log.contains("None.xml"));
    const GWeatherParticlesNode::Settings& s = node->settings();
    EXPECT_EQ(s.emitRectangleXSize, vector2df(-20.0f, 1044.0f));
    EXPECT_EQ(s.centerPoint, vector2df(512.0f, 2000.0f));
    EXPECT_EQ(s.particleVelRange, vector2df(200.0f, 250.0f));
    EXPECT_EQ(s.pps, 0);
    frame();
    for (int i = 0; i < 10; ++i) scheduler_.update(30);
    EXPECT_EQ(node->getParticleCount(), 0u);
}

TEST_F(WeatherParticlesNodeTest, ParticlesStartAboveTheScreenAndFlyToTheCentreForTheirLife) {
    auto* node = addNode<GWeatherParticlesNode>(
        "Rainy.xml", weatherFile(R"(<PPS Value="100"/><ParticleLifetimeRange Value="5000, 5000"/>)"));
    frame();
    ASSERT_EQ(node->getParticleCount(), 50u);  // one every 10 ms of the first 500
    for (const auto& p : node->getParticles()) {
        EXPECT_EQ(p.y, -20.0f);
        EXPECT_GE(p.x, -20.0f);
        EXPECT_LT(p.x, 1044.0f);
        const float speed = std::hypot(p.vx, p.vy);
        EXPECT_GE(speed, 200.0f);
        EXPECT_LE(speed, 250.0f);
        // Straight at (512, 2000).
        const float dx = 512.0f - p.x, dy = 2020.0f;
        EXPECT_NEAR(p.vx * dy - p.vy * dx, 0.0f, 1e-2f * speed * dy);
        EXPECT_GT(p.vy, 0.0f);
        EXPECT_NEAR(p.ageRate, 0.2f, 1e-6f);
    }
    const auto first = node->getParticles()[0];
    scheduler_.update(30);
    EXPECT_EQ(node->getParticleCount(), 53u);
    const auto& moved = node->getParticles()[0];
    EXPECT_NEAR(moved.x, first.x + 0.03f * first.vx, 1e-3f);
    EXPECT_NEAR(moved.y, first.y + 0.03f * first.vy, 1e-3f);

    // Switched off, the falling particles finish their five seconds, then the timer ends.
    node->setEnabled(false);
    uint32_t elapsed = 30;
    while (node->getUpdateScheduler() && elapsed < 10000) {
        scheduler_.update(30);
        elapsed += 30;
        if (elapsed < 4980) {
            EXPECT_GT(node->getParticleCount(), 0u) << "at " << elapsed;
        }
    }
    EXPECT_EQ(node->getParticleCount(), 0u);
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    EXPECT_LE(elapsed, 5100u);
}

TEST_F(WeatherParticlesNodeTest, ParticlesSwayAsACosineOfTheirPhaseAndRestartAtZero) {
    GWeatherParticlesNode::Particle p;
    p.x = 100.0f;
    p.y = 50.0f;
    p.vy = 200.0f;
    p.normal = vector2df(-1.0f, 0.0f);
    p.swayAmplitude = 10.0f;
    p.swayPeriod = 1000;
    struct Case {
        int32_t phase;
        float x;
    };
    for (const Case& c : {Case{0, 90.0f}, Case{250, 100.0f}, Case{500, 110.0f}, Case{750, 100.0f}}) {
        p.swayPhase = c.phase;
        const vector2df at = GWeatherParticlesNode::swayedPosition(p);
        EXPECT_FLOAT_EQ(at.X, c.x) << "phase " << c.phase;
        EXPECT_FLOAT_EQ(at.Y, 50.0f);
    }
    p.swayPeriod = 0;
    EXPECT_EQ(GWeatherParticlesNode::swayedPosition(p), vector2df(100.0f, 50.0f));

    auto* node = addNode<GWeatherParticlesNode>("", "");
    p.swayPeriod = 1000;
    p.swayPhase = 990;
    p.ageRate = 0.1f;
    node->particles().push_back(p);
    node->updateParticles(0.03f);  // 1020 passes the period: a new swing from 0
    EXPECT_EQ(node->getParticles()[0].swayPhase, 0);
    node->updateParticles(0.03f);
    EXPECT_EQ(node->getParticles()[0].swayPhase, 30);
}

TEST_F(WeatherParticlesNodeTest, ADeadParticleMakesRoomForTheLastOne) {
    auto* node = addNode<GWeatherParticlesNode>("", "");
    for (float rate : {0.1f, 100.0f, 0.2f, 0.3f}) {
        GWeatherParticlesNode::Particle p;
        p.ageRate = rate;
        p.x = rate;
        node->particles().push_back(p);
    }
    node->updateParticles(0.02f);
    ASSERT_EQ(node->getParticleCount(), 3u);
    EXPECT_EQ(node->getParticles()[0].x, 0.1f);
    EXPECT_EQ(node->getParticles()[1].x, 0.3f);  // the last one took the slot, updated once
    EXPECT_NEAR(node->getParticles()[1].age, 0.006f, 1e-6f);
    EXPECT_EQ(node->getParticles()[2].x, 0.2f);
}

// The descriptions the levels use, as the content build ships them, parse,
// emit and let their particles die.
TEST_F(WeatherParticlesNodeTest, TheShippedRainAndSnowFall) {
#ifdef LODGEROO_CONTENT_TREE
    const std::string tree = LODGEROO_CONTENT_TREE;
#else
    const std::string tree;
    FAIL() << "the build names no content tree";
#endif
    for (const char* name : {"Rain.xml", "Snow.xml"}) {
        SCOPED_TRACE(name);
        testing_support::LogCapture log;
        auto* node = addNode<GWeatherParticlesNode>("", "");
        node->setConfigurationFilename((tree + "/levels/common/Effects/" + name).c_str());
        EXPECT_FALSE(log.hasErrors());
        const GWeatherParticlesNode::Settings& s = node->settings();
        EXPECT_GT(s.pps, 0);
        EXPECT_GT(s.particleLifetimeRange.X, 0.0f);
        EXPECT_FALSE(s.colorA.keys.empty());
        frame();
        EXPECT_GT(node->getParticleCount(), 0u);
        const uint32_t longest = static_cast<uint32_t>(s.particleLifetimeRange.Y);
        for (uint32_t t = 0; t < longest; t += 30) scheduler_.update(30);
        // A steady stream: about PPS x life particles at once, under the capacity.
        EXPECT_GT(node->getParticleCount(), static_cast<uint32_t>(s.pps / 2));
        EXPECT_LT(node->getParticleCount(), GWeatherParticlesNode::kCapacity);
        for (const auto& p : node->getParticles()) EXPECT_LT(p.age, 1.0f);
        EXPECT_EQ(node->getMesh().primitiveCount, 2 * node->getParticleCount());
        scene_->removeChild(node);
    }
}
