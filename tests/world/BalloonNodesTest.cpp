// Balloons and fireworks in simulated time: the balloon's rise, sway,
// acceleration, fade and end; the firework's climb, burst and removal once
// its children have ended the burst.
#include "game/world/BalloonNodes.h"
#include "world/EffectTestSupport.h"

#include <algorithm>
#include <cmath>

using namespace engine;
using effect_test::EffectSceneTest;
using game::GBaloonNode;
using game::GFireworkNode;

namespace {

class BalloonTest : public EffectSceneTest {
protected:
    GBaloonNode* addBalloon(float width) {
        GBaloonNode* balloon = add<GBaloonNode>();
        balloon->widthRange = vector2df(width, width);
        balloon->xVelocityRange = vector2df(10.0f, 10.0f);
        balloon->yVelocityRange = vector2df(-20.0f, -20.0f);
        balloon->yAccelRange = vector2df(-100.0f, -100.0f);
        balloon->lifeTime = 3000;
        balloon->setPosition(vector3df(500.0f, 600.0f, 0.0f));
        return balloon;
    }
};

}  // namespace

TEST_F(BalloonTest, RisesSwayingWithinItsWidth) {
    GBaloonNode* balloon = addBalloon(5.0f);
    frame();
    ASSERT_EQ(balloon->getUpdateScheduler(), &scheduler_);
    EXPECT_EQ(std::fabs(balloon->getXVelocity()), 10.0f);
    float lowestX = 500.0f, highestX = 500.0f;
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(balloon->onTimer(30));
        lowestX = std::min(lowestX, balloon->getPosition().X);
        highestX = std::max(highestX, balloon->getPosition().X);
    }
    // The sway turns once it is 5 units out: never more than one step beyond.
    EXPECT_GE(lowestX, 500.0f - 5.0f - 0.3f - 1e-3f);
    EXPECT_LE(highestX, 500.0f + 5.0f + 0.3f + 1e-3f);
    EXPECT_GT(highestX - lowestX, 5.0f);
    // No acceleration time: a steady climb of 20 units a second.
    EXPECT_NEAR(balloon->getPosition().Y, 600.0f - 20.0f * 1.8f, 1e-2f);
    const vector3df p = balloon->getPosition();
    EXPECT_NEAR(p.Z, (p.X + p.Y) * 0.0001f + 1200.0f * 0.01f - 20.0f * 0.1f, 1e-3f);
}

TEST_F(BalloonTest, WithNoWidthItShakesInPlace) {
    GBaloonNode* balloon = addBalloon(0.0f);
    frame();
    float previous = balloon->getXVelocity();
    for (int i = 0; i < 5; ++i) {
        balloon->onTimer(30);
        EXPECT_EQ(balloon->getXVelocity(), -previous);
        previous = balloon->getXVelocity();
    }
    EXPECT_NEAR(balloon->getPosition().X, 500.0f, 0.31f);
}

TEST_F(BalloonTest, AcceleratesOnlyDuringItsAccelerationTime) {
    GBaloonNode* balloon = addBalloon(100.0f);
    balloon->yAccelTimeRange = vector2df(500.0f, 500.0f);
    frame();
    EXPECT_EQ(balloon->getAccelerationEnd(), 2500);
    for (int i = 0; i < 20; ++i) balloon->onTimer(50);  // 1000 ms
    // 9 calls of 50 ms while more than 2500 ms were left: -100 x 0.45.
    EXPECT_NEAR(balloon->getYVelocity(), -20.0f - 45.0f, 1e-3f);
}

TEST_F(BalloonTest, FadesOverItsLastSecondAndRemovesItself) {
    GBaloonNode* balloon = addBalloon(5.0f);
    balloon->setTintColor(SColor(255, 200, 100, 50));
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(balloon);
    frame();
    EXPECT_TRUE(balloon->onTimer(2000));
    EXPECT_EQ(balloon->getTintColor().getAlpha(), 255u);
    EXPECT_TRUE(balloon->onTimer(500));
    EXPECT_EQ(balloon->getTintColor().getAlpha(), 128u);
    EXPECT_EQ(balloon->getTintColor().getRed(), 200u) << "the colour bytes stay";
    EXPECT_FALSE(balloon->onTimer(500));
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(held->getRefCount(), 1);
    EXPECT_EQ(balloon->getUpdateScheduler(), nullptr);

    GBaloonNode* brief = addBalloon(5.0f);
    brief->lifeTime = 0;
    frame();
    run(30);
    EXPECT_EQ(layer_->getChildCount(), 0u);
}

// ---- Fireworks ---------------------------------------------------------------------------

TEST_F(EffectSceneTest, AFireworkClimbsBurstsAndGoesWhenTheBurstEnds) {
    GFireworkNode* firework = add<GFireworkNode>();
    std::vector<std::string> states;
    addJournal(firework, "Rocket", states);
    firework->velocityXRange = vector2df(0.0f, 0.0f);
    firework->velocityYRange = vector2df(0.0f, 0.0f);
    firework->acceleration = vector2df(0.0f, -100.0f);
    firework->moveTimeRange = vector2df(1000.0f, 1000.0f);
    firework->setPosition(vector3df(300.0f, 500.0f, 0.0f));
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(firework);
    frame();
    ASSERT_EQ(firework->getUpdateScheduler(), &scheduler_);
    EXPECT_EQ(states, std::vector<std::string>{"Up"});
    const vector3df start = firework->getPosition();
    EXPECT_NEAR(start.X, 300.0f, 10.0f);
    EXPECT_NEAR(start.Y, 500.0f, 5.0f);
    EXPECT_EQ(start.Z, 2000.0f) << "drawn above the scene";
    EXPECT_EQ(firework->getMoveTimeLeft(), 1000);
    // The velocity changes before the position does.
    EXPECT_TRUE(firework->onTimer(30));
    EXPECT_NEAR(firework->getPosition().Y, start.Y - 0.09f, 1e-4f);
    EXPECT_NEAR(firework->getPosition().X, start.X, 1e-6f);

    // The flight is over: "Boost", and the timer ends.
    EXPECT_FALSE(firework->onTimer(1000));
    EXPECT_EQ(states.back(), "Boost");
    EXPECT_TRUE(firework->hasBurst());
    EXPECT_EQ(firework->getUpdateScheduler(), nullptr);
    // A burst firework never starts again.
    frame();
    EXPECT_EQ(firework->getUpdateScheduler(), nullptr);
    // The journal child has no "Boost" state: it ended it at once, and the
    // firework left with it.
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(held->getRefCount(), 1);
}

TEST_F(EffectSceneTest, AFireworkWithoutChildrenBurstsAndGoesInsideItsOwnTimerCall) {
    // The parent holds the only reference: the burst ends at once and the
    // firework is taken away while its timer call is still running.
    add<GFireworkNode>();
    frame();
    ASSERT_EQ(layer_->getChildCount(), 1u);
    run(30);
    EXPECT_EQ(layer_->getChildCount(), 0u);
    run(100);
}

TEST_F(EffectSceneTest, AFireworkIgnoresTheEndOfOtherStates) {
    GFireworkNode* firework = add<GFireworkNode>();
    CountedRef<NodeStateFinishedEvent> up(new NodeStateFinishedEvent(firework, makeNameId("Up")));
    EXPECT_FALSE(firework->onEvent74(up.get()));
    EXPECT_EQ(layer_->getChildCount(), 1u);
    CountedRef<NodeStateFinishedEvent> boost(new NodeStateFinishedEvent(firework, makeNameId("Boost")));
    EXPECT_TRUE(firework->onEvent74(boost.get()));
    EXPECT_EQ(layer_->getChildCount(), 0u);
}

TEST_F(EffectSceneTest, AFireworkWithANegativeFlightTimeBurstsAtOnce) {
    // A negative time would read as "already burst": the rocket would stand
    // in the scene for good.
    GFireworkNode* firework = add<GFireworkNode>();
    firework->moveTimeRange = vector2df(-500.0f, -500.0f);
    frame();
    EXPECT_EQ(firework->getUpdateScheduler(), &scheduler_);
    run(30);
    EXPECT_EQ(layer_->getChildCount(), 0u);
}
