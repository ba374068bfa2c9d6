// Shield effect pieces and shield stars in simulated time: the start on the
// ring, the eased glide, the wait, the fade and the removal; the star's
// flight, its acceleration windows, its spin, its fade and its end.
#include "game/world/ShieldNodes.h"
#include "world/EffectTestSupport.h"

#include <cmath>

using namespace engine;
using effect_test::EffectSceneTest;
using game::GShieldEffectNode;
using game::GShieldStarNode;

namespace {

class ShieldEffectTest : public EffectSceneTest {
protected:
    GShieldEffectNode* addEffect(int32_t movingTime, float power) {
        GShieldEffectNode* node = add<GShieldEffectNode>();
        node->area1Rect1Size = vector2df(400.0f, 300.0f);
        node->area1Rect2Size = vector2df(200.0f, 100.0f);
        node->area2RectSize = vector2df(40.0f, 20.0f);
        node->movingTime = movingTime;
        node->velocityPower = power;
        node->disappearWaitTime = 300;
        node->disappearTime = 600;
        return node;
    }
};

}  // namespace

TEST_F(ShieldEffectTest, StartsOnTheRingAndEntersRunInItsChildren) {
    for (int i = 0; i < 40; ++i) {
        std::vector<std::string> states;
        GShieldEffectNode* node = addEffect(1000, 1.0f);
        addJournal(node, "Piece", states);
        frame();
        ASSERT_EQ(node->getUpdateScheduler(), &scheduler_);
        EXPECT_EQ(node->getPhase(), GShieldEffectNode::Moving);
        EXPECT_EQ(states, std::vector<std::string>{"Run"});
        const vector3df s = node->getStart();
        EXPECT_EQ(node->getPosition(), s);
        // Inside the outer rectangle, outside the hole.
        EXPECT_LE(std::fabs(s.X), 200.0f);
        EXPECT_LE(std::fabs(s.Y), 150.0f);
        EXPECT_TRUE(std::fabs(s.X) >= 100.0f - 1e-3f || std::fabs(s.Y) >= 50.0f - 1e-3f) << s.X << ", " << s.Y;
        const vector3df t = node->getTarget();
        EXPECT_LE(std::fabs(t.X), 20.0f);
        EXPECT_LE(std::fabs(t.Y), 10.0f);
        EXPECT_FLOAT_EQ(t.Z, t.X + t.Y + 100.0f);
    }
}

TEST_F(ShieldEffectTest, AHoleAsLargeAsTheRingStartsOnTheOutline) {
    for (int i = 0; i < 40; ++i) {
        GShieldEffectNode* node = addEffect(1000, 1.0f);
        node->area1Rect2Size = node->area1Rect1Size;
        frame();
        const vector3df s = node->getStart();
        const bool onSide = std::fabs(std::fabs(s.X) - 200.0f) < 1e-3f;
        const bool onTopOrBottom = std::fabs(std::fabs(s.Y) - 150.0f) < 1e-3f;
        EXPECT_TRUE(onSide || onTopOrBottom) << s.X << ", " << s.Y;
    }
}

TEST_F(ShieldEffectTest, GlidesAlongItsEasingCurve) {
    struct Case {
        float power;
        float shareAtHalfTime;
    };
    const Case cases[] = {{1.0f, 0.5f}, {2.0f, 0.25f}, {0.5f, 0.70710678f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.power);
        GShieldEffectNode* node = addEffect(600, c.power);
        frame();
        const vector3df s = node->getStart();
        const vector3df t = node->getTarget();
        ASSERT_TRUE(node->onTimer(300));
        const float x = s.X + (t.X - s.X) * c.shareAtHalfTime;
        const float y = s.Y + (t.Y - s.Y) * c.shareAtHalfTime;
        EXPECT_NEAR(node->getPosition().X, x, 1e-3f);
        EXPECT_NEAR(node->getPosition().Y, y, 1e-3f);
        EXPECT_NEAR(node->getPosition().Z, x + y + 100.0f, 1e-3f);
        ASSERT_TRUE(node->onTimer(300));
        EXPECT_EQ(node->getPosition(), t);
        EXPECT_EQ(node->getPhase(), GShieldEffectNode::Waiting);
    }
}

TEST_F(ShieldEffectTest, WaitsFadesAndRemovesItself) {
    GShieldEffectNode* node = addEffect(0, 1.0f);
    node->disappearWaitTime = 0;
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(node);
    frame();
    // No moving time: on the target at the first call; no wait: fading at the next.
    EXPECT_TRUE(node->onTimer(30));
    EXPECT_EQ(node->getPosition(), node->getTarget());
    EXPECT_TRUE(node->onTimer(30));
    EXPECT_EQ(node->getPhase(), GShieldEffectNode::Disappearing);
    EXPECT_TRUE(node->onTimer(300));
    EXPECT_EQ(node->getTintColor().getAlpha(), 127u);  // 255 - floor(127.5 + 0.5)
    EXPECT_EQ(node->getTintColor().getRed(), 255u);
    EXPECT_EQ(layer_->getChildCount(), 1u);
    EXPECT_FALSE(node->onTimer(300));
    EXPECT_EQ(node->getPhase(), GShieldEffectNode::Done);
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    EXPECT_EQ(held->getRefCount(), 1);
    // Drawn again elsewhere it does not start over.
    layer_->addChild(node);
    frame();
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
}

TEST_F(ShieldEffectTest, ZeroAndNegativeTimesNeverDivideByZero) {
    GShieldEffectNode* node = addEffect(-5, -2.0f);
    node->disappearWaitTime = -1;
    node->disappearTime = 0;
    frame();
    run(200);
    EXPECT_EQ(layer_->getChildCount(), 0u);
}

// ---- Stars -------------------------------------------------------------------------------

namespace {

class ShieldStarTest : public EffectSceneTest {
protected:
    GShieldStarNode* addStar() {
        GShieldStarNode* star = add<GShieldStarNode>();
        star->velocityAngleRange = vector2df(90.0f, 90.0f);  // straight down the screen
        star->velocityRange = vector2df(100.0f, 100.0f);
        star->lifeTime = 3000;
        return star;
    }
};

}  // namespace

TEST_F(ShieldStarTest, FliesSpinsAndAcceleratesOnlyInsideItsWindows) {
    struct Case {
        const char* what;
        vector2df start, end;
        float speedAt150, speedAt700, speedAt1000;
    };
    // Accelerating by 1000 units/s² strictly inside 200 to 700 ms after birth
    // adds 490 in 10 ms steps.
    const Case cases[] = {
        {"window 200 to 700", {200.0f, 200.0f}, {700.0f, 700.0f}, 100.0f, 590.0f, 590.0f},
        {"end before start", {700.0f, 700.0f}, {200.0f, 200.0f}, 100.0f, 100.0f, 100.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GShieldStarNode* star = addStar();
        star->accel1StartTimeRange = c.start;
        star->accel1EndTimeRange = c.end;
        star->accel1Range = vector2df(1000.0f, 1000.0f);
        star->angularVelocityRange = vector2df(90.0f, 90.0f);
        star->setPosition(vector3df(10.0f, 20.0f, 0.0f));
        frame();
        EXPECT_EQ(star->getWindows()[0], 3000 - static_cast<int32_t>(c.start.X));
        EXPECT_EQ(star->getWindows()[1], 3000 - static_cast<int32_t>(c.end.X));
        float y = 20.0f;
        uint32_t t = 0;
        const auto advanceTo = [&](uint32_t until) {
            for (; t < until; t += 10) {
                ASSERT_TRUE(star->onTimer(10));
                y += star->getSpeed() * 0.01f;
            }
        };
        advanceTo(150);
        EXPECT_NEAR(star->getSpeed(), c.speedAt150, 1e-2f);
        advanceTo(700);
        EXPECT_NEAR(star->getSpeed(), c.speedAt700, 1e-2f);
        advanceTo(1000);
        EXPECT_NEAR(star->getSpeed(), c.speedAt1000, 1e-2f);
        EXPECT_NEAR(star->getPosition().X, 10.0f, 1e-3f);
        EXPECT_NEAR(star->getPosition().Y, y, 1e-2f);
        EXPECT_NEAR(star->getRotation().Z, 90.0f, 1e-3f);  // a second at 90 degrees a second
    }
}

TEST_F(ShieldStarTest, FadesInItsLastSecondAndRemovesItself) {
    GShieldStarNode* star = addStar();
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(star);
    frame();
    EXPECT_TRUE(star->onTimer(2000));
    EXPECT_EQ(star->getTintColor().getAlpha(), 255u);
    EXPECT_TRUE(star->onTimer(500));
    EXPECT_EQ(star->getTintColor().getAlpha(), 128u);
    EXPECT_FALSE(star->onTimer(500));
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(held->getRefCount(), 1);

    // No life: gone at the first call of its scheduler.
    GShieldStarNode* brief = addStar();
    brief->lifeTime = 0;
    frame();
    ASSERT_EQ(layer_->getChildCount(), 1u);
    run(30);
    EXPECT_EQ(layer_->getChildCount(), 0u);
}
