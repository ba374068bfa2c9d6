// The spiral mover in simulated time: circling at a fixed radius, moving on
// a ray, passing through the centre, spinning, fading and its end.
#include "game/world/SpiralMoverNode.h"
#include "world/EffectTestSupport.h"

#include <cmath>

using namespace engine;
using effect_test::EffectSceneTest;
using game::GSpiralMovableNode;

namespace {

class SpiralTest : public EffectSceneTest {
protected:
    GSpiralMovableNode* addSpiral(float r, float rVelocity, float angleVelocity) {
        GSpiralMovableNode* node = add<GSpiralMovableNode>();
        node->rRange = vector2df(r, r);
        node->rVelocityRange = vector2df(rVelocity, rVelocity);
        node->angleVelocityRange = vector2df(angleVelocity, angleVelocity);
        node->rotVelocityRange = vector2df(45.0f, 45.0f);
        node->lifeTime = 10000;
        node->setPosition(vector3df(300.0f, 200.0f, 4.0f));
        return node;
    }
    static vector2df offset(const GSpiralMovableNode* node) {
        return vector2df(node->getPosition().X - 300.0f, node->getPosition().Y - 200.0f);
    }
};

}  // namespace

TEST_F(SpiralTest, MovesOnCirclesRaysAndThroughTheCentre) {
    struct Case {
        const char* what;
        float r, rVelocity, angleVelocity;
        uint32_t ms;
        float x, y;  // offset from the centre after ms
    };
    const float halfPi = 1.5707964f;
    const Case cases[] = {
        {"circle: a quarter turn at a fixed radius", 50.0f, 0.0f, halfPi, 1000, 0.0f, 50.0f},
        {"ray: straight out along angle 0", 10.0f, 20.0f, 0.0f, 2000, 50.0f, 0.0f},
        {"through the centre to the other side", 10.0f, -20.0f, 0.0f, 1500, -20.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GSpiralMovableNode* node = addSpiral(c.r, c.rVelocity, c.angleVelocity);
        frame();
        EXPECT_NEAR(offset(node).X, c.r, 1e-3f) << "placed at the start radius and angle";
        EXPECT_EQ(node->getCentre(), vector3df(300.0f, 200.0f, 4.0f));
        for (uint32_t t = 0; t < c.ms; t += 10) ASSERT_TRUE(node->onTimer(10));
        EXPECT_NEAR(offset(node).X, c.x, 1e-2f);
        EXPECT_NEAR(offset(node).Y, c.y, 1e-2f);
        EXPECT_EQ(node->getPosition().Z, 4.0f);
        EXPECT_NEAR(node->getRotation().Z, 45.0f * static_cast<float>(c.ms) / 1000.0f, 1e-2f);
        node->setParent(nullptr);
    }
}

TEST_F(SpiralTest, FadesInItsLastSecondAndRemovesItself) {
    GSpiralMovableNode* node = addSpiral(5.0f, 0.0f, 1.0f);
    node->lifeTime = 1500;
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(node);
    frame();
    EXPECT_TRUE(node->onTimer(500));
    EXPECT_EQ(node->getTintColor().getAlpha(), 255u);
    EXPECT_TRUE(node->onTimer(750));
    EXPECT_EQ(node->getTintColor().getAlpha(), 64u);  // floor(0.25 x 255 + 0.5)
    EXPECT_FALSE(node->onTimer(250));
    EXPECT_EQ(layer_->getChildCount(), 0u);
    EXPECT_EQ(held->getRefCount(), 1);

    GSpiralMovableNode* brief = addSpiral(5.0f, 0.0f, 1.0f);
    brief->lifeTime = 0;
    frame();
    run(30);
    EXPECT_EQ(layer_->getChildCount(), 0u);
}
