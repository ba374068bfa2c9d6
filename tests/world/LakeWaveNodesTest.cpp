// Lake waves and rising pictures in simulated time: the wave's random phase,
// the glints, the drift, the fade and the end of a wave with a life time;
// the picture's rise, its sideways circle with the pass behind, its fade and
// its end.
#include "game/world/LakeWaveNodes.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/State.h"
#include "world/EffectTestSupport.h"

#include <algorithm>
#include <cmath>

using namespace engine;
using effect_test::EffectSceneTest;
using game::GLakeWaveNode;
using game::GPicEffectNode;

namespace {

// A wave whose "Wave" child plays a two-second ripple and whose "Star" child blinks.
const char* const kWave = R"(<?xml version="1.0"?>
<SceneNode Type="GLakeWaveNode">
  <Properties><vector3d Name="Bounds" Value="120;40;0"/><vector2d Name="StarBlinkRange" Value="5000;10000"/></Properties>
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Wave"/></Properties>
    <States><State Name="Normal">
      <Animator Type="KeyFrame" Name="Ripple"><Properties><vector3d Name="Scale" Value="1;1;1"/></Properties>
        <KeyFrame t="0" Value0="1;1;1"/><KeyFrame t="1000" i="0" Value0="1.1;1;1"/><KeyFrame t="1000" i="0" g="0" Value0="1;1;1"/></Animator>
    </State></States>
  </SceneNode>
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Star"/></Properties></SceneNode>
</SceneNode>
)";

class LakeWaveTest : public EffectSceneTest {
protected:
    GLakeWaveNode* addWave(const char* xml = kWave) {
        CountedRef<BaseNode> root = readScene(xml);
        GLakeWaveNode* wave = nodeCast<GLakeWaveNode>(root.get());
        if (wave) layer_->addChild(wave);
        return wave;
    }
};

}  // namespace

TEST_F(LakeWaveTest, WavesStartTheirRippleAtRandomPointsAndHideTheirGlint) {
    std::vector<uint32_t> phases;
    for (int i = 0; i < 6; ++i) {
        GLakeWaveNode* wave = addWave();
        ASSERT_NE(wave, nullptr);
        ASSERT_NE(wave->getWave(), nullptr);
        ASSERT_NE(wave->getStar(), nullptr);
        frame();
        EXPECT_EQ(wave->getUpdateScheduler(), &scheduler_);
        EXPECT_EQ(wave->getTimerInterval(), 60u);
        EXPECT_FALSE(wave->getStar()->isVisible());
        State* running = wave->getWave()->getRunningState();
        ASSERT_NE(running, nullptr);
        EXPECT_EQ(nameOfId(running->getName()), "Normal");
        KeyFrame* ripple = asKeyFrame(running->getAnimator(0));
        ASSERT_NE(ripple, nullptr);
        EXPECT_LT(ripple->getPosition(), 2000u);
        phases.push_back(ripple->getPosition());
        // The first glint comes after at least 500 ms.
        EXPECT_GE(wave->getBlinkCountdown(), 500);
        EXPECT_LT(wave->getBlinkCountdown(), 10000);
    }
    std::sort(phases.begin(), phases.end());
    EXPECT_NE(phases.front(), phases.back()) << "neighbouring waves are out of step";
}

TEST_F(LakeWaveTest, GlintsAtRandomPlacesInsideItsBounds) {
    GLakeWaveNode* wave = addWave();
    frame();
    const int32_t first = wave->getBlinkCountdown();
    uint32_t elapsed = 0;
    while (!wave->getStar()->isVisible() && elapsed < 20000) {
        ASSERT_TRUE(wave->onTimer(60));
        elapsed += 60;
    }
    ASSERT_TRUE(wave->getStar()->isVisible());
    EXPECT_GE(elapsed, static_cast<uint32_t>(first));
    EXPECT_LT(elapsed, static_cast<uint32_t>(first) + 60);
    const vector3df at = wave->getStar()->getPosition();
    EXPECT_GE(at.X, 0.0f);
    EXPECT_LT(at.X, 120.0f);
    EXPECT_GE(at.Y, 0.0f);
    EXPECT_LT(at.Y, 40.0f);
    EXPECT_EQ(at.Z, 1.0f);
    // The next one 5 to 10 seconds later.
    EXPECT_GE(wave->getBlinkCountdown(), 5000 - 60);
    EXPECT_LT(wave->getBlinkCountdown(), 10000 + 60);
}

TEST_F(LakeWaveTest, DriftsFadesOverItsLastMomentsAndRemovesItself) {
    GLakeWaveNode* wave = addWave();
    wave->velocity = vector3df(10.0f, -5.0f, 0.0f);
    wave->lifeTime = 3000;
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(wave);
    frame();
    EXPECT_TRUE(wave->onTimer(1500));
    EXPECT_NEAR(wave->getPosition().X, 15.0f, 1e-3f);
    EXPECT_NEAR(wave->getPosition().Y, -7.5f, 1e-3f);
    EXPECT_EQ(wave->getTintColor().getAlpha(), 255u) << "opaque until 1500 ms remain";
    EXPECT_TRUE(wave->onTimer(750));
    EXPECT_EQ(wave->getTintColor().getAlpha(), 127u) << "half transparent at 750 ms left";
    EXPECT_FALSE(wave->onTimer(750));
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(wave->getUpdateScheduler(), nullptr);
    EXPECT_EQ(held->getRefCount(), 1);
}

TEST_F(LakeWaveTest, WavesWithoutChildrenOnlyDriftAndWithoutLifeTimeStay) {
    GLakeWaveNode* bare = addWave(R"(<SceneNode Type="GLakeWaveNode"><Properties>
        <vector3d Name="Velocity" Value="0;10;0"/><int Name="LifeTime" Value="600"/></Properties></SceneNode>)");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->getWave(), nullptr);
    frame();
    run(300);
    EXPECT_NEAR(bare->getPosition().Y, 3.0f, 0.7f);
    run(600);
    EXPECT_EQ(layer_->getChildCount(), 0u);

    GLakeWaveNode* lasting = addWave();
    frame();
    run(60000);
    EXPECT_EQ(layer_->getChildCount(), 1u);
    EXPECT_EQ(lasting->getTintColor().getAlpha(), 255u);
}

// ---- Rising pictures ---------------------------------------------------------------------

TEST_F(EffectSceneTest, APictureCirclesSidewaysPassingBehindHalfwayRound) {
    GPicEffectNode* pic = add<GPicEffectNode>();
    pic->widthRange = vector2df(20.0f, 20.0f);
    pic->lifeTime = 5000;
    pic->setPosition(vector3df(100.0f, 200.0f, 0.5f));
    frame();
    struct Step {
        uint32_t ms;
        float dx;
        bool behind;
    };
    const Step steps[] = {{250, -20.0f, false}, {250, 0.0f, true}, {250, 20.0f, false}, {250, 0.0f, false}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.ms);
        ASSERT_TRUE(pic->onTimer(s.ms));
        EXPECT_NEAR(pic->getPosition().X, 100.0f + s.dx, 1e-3f);
        EXPECT_NEAR(pic->getPosition().Z, 200.0f * 0.00001f - (s.behind ? 0.1f : 0.0f), 1e-6f);
    }
}

TEST_F(EffectSceneTest, APictureRisesSpeedingUpForAWhileThenFadesAndGoes) {
    GPicEffectNode* pic = add<GPicEffectNode>();
    pic->animTime = 0;  // no circling: x and z stay
    pic->yVelocityRange = vector2df(-10.0f, -10.0f);
    pic->yAccelRange = vector2df(-20.0f, -20.0f);
    pic->yAccelTimeRange = vector2df(1000.0f, 1000.0f);
    pic->lifeTime = 3000;
    pic->setPosition(vector3df(50.0f, 400.0f, 7.0f));
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(pic);
    frame();
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(pic->onTimer(100));
    // Ten 100 ms calls while more than 2000 ms were left... nine, as the tenth
    // leaves exactly 2000: -10 - 20 x 0.9.
    EXPECT_NEAR(pic->getYVelocity(), -28.0f, 1e-3f);
    EXPECT_EQ(pic->getPosition().X, 50.0f);
    EXPECT_EQ(pic->getPosition().Z, 7.0f);
    EXPECT_LT(pic->getPosition().Y, 400.0f - 20.0f);
    EXPECT_TRUE(pic->onTimer(500));
    EXPECT_EQ(pic->getTintColor().getAlpha(), 128u);
    EXPECT_FALSE(pic->onTimer(500));
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(held->getRefCount(), 1);

    add<GPicEffectNode>();
    frame();  // LifeTime 0
    run(30);
    EXPECT_EQ(layer_->getChildCount(), 0u);
}

TEST_F(EffectSceneTest, APictureWithAHugeCirclePeriodStillCircles) {
    // The angle's product of time and 360 would overflow 32 bits here.
    GPicEffectNode* pic = add<GPicEffectNode>();
    pic->widthRange = vector2df(20.0f, 20.0f);
    pic->animTime = 2000000000;
    pic->lifeTime = 2000000000;
    frame();
    ASSERT_TRUE(pic->onTimer(1500000000));
    // 270 degrees round: 20 units right of the centre.
    EXPECT_NEAR(pic->getPosition().X, 20.0f, 1e-3f);
}
