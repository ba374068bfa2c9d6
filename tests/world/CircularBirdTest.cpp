// Circling birds in simulated time: the bird cloned from a template's Body,
// its path on the sum of two ellipses, its facing and flapping with the wing
// beat's phase kept, the template change, and the nodes that cannot fly.
#include "game/world/CircularBirdNode.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/SceneManager.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/world/PathMovers.h"
#include "support/LogCapture.h"
#include "world/EffectTestSupport.h"

#include <cmath>

using namespace engine;
using effect_test::EffectSceneTest;
using game::GCircularBirdNode;

namespace {

// A looping wing beat of 400 ms for each state.
std::string birdStates() {
    std::string states = "<States>";
    const char* directions[] = {"Right", "RightUp", "Up", "LeftUp", "Left", "LeftDown", "Down", "RightDown"};
    for (const char* d : directions) {
        for (const char* suffix : {"", "_Flap"}) {
            states += std::string("<State Name=\"") + d + suffix + "\"><Animator Type=\"KeyFrame\" Name=\"Beat\">"
                      "<Properties><vector3d Name=\"Scale\" Value=\"1;1;1\"/></Properties>"
                      "<KeyFrame t=\"0\" Value0=\"1;1;1\"/><KeyFrame t=\"200\" i=\"0\" Value0=\"1;0.5;1\"/>"
                      "<KeyFrame t=\"200\" i=\"0\" g=\"0\" Value0=\"1;1;1\"/></Animator></State>";
        }
    }
    return states + "</States>";
}

std::string templates() {
    return "<SceneNode Type=\"TemplateCollectionNode\">"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Gull\"/></Properties>"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Body\"/></Properties>" +
           birdStates() +
           "</SceneNode></SceneNode>"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Crow\"/></Properties>"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Body\"/></Properties>" +
           birdStates() +
           "</SceneNode></SceneNode>"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"NoBody\"/></Properties>"
           "</SceneNode></SceneNode>";
}

class CircularBirdTest : public EffectSceneTest {
protected:
    CircularBirdTest() {
        CountedRef<BaseNode> collection = readScene(templates());
        manager_->setTemplateCollection(nodeCast<TemplateCollectionNode>(collection.get()));
        scene_->attach(manager_.get(), scene_.get());
    }
    ~CircularBirdTest() override { layer_->removeAllChildren(); }

    GCircularBirdNode* addBird(const char* templateName) {
        GCircularBirdNode* node = add<GCircularBirdNode>();
        node->setBirdTemplateId(makeNameId(templateName));
        return node;
    }
    static std::string runningState(const GCircularBirdNode* node) {
        State* state = node->getBird() ? node->getBird()->getRunningState() : nullptr;
        return state ? nameOfId(state->getName()).c_str() : "";
    }

    CountedRef<SceneManager> manager_{new SceneManager(nullptr, nullptr, nullptr)};
};

}  // namespace

TEST_F(CircularBirdTest, NodesWithoutABirdTemplateNeitherFlyNorTick) {
    testing_support::LogCapture log;
    GCircularBirdNode* unknown = addBird("Albatross");
    GCircularBirdNode* bodiless = addBird("NoBody");
    GCircularBirdNode* unnamed = add<GCircularBirdNode>();
    frame();
    run(100);
    for (GCircularBirdNode* node : {unknown, bodiless, unnamed}) {
        EXPECT_EQ(node->getBird(), nullptr);
        EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    }
    EXPECT_TRUE(log.contains("has no Body"));

    // Drawn outside any scene, a bird with a template waits: no bird is made
    // on every frame.
    CountedRef<BaseNode> loose(new BaseNode(nullptr, nullptr, manager_.get()));
    GCircularBirdNode* waiting = add<GCircularBirdNode>(loose.get());
    waiting->setBirdTemplateId(makeNameId("Gull"));
    ASSERT_NE(waiting->getBodyTemplate(), nullptr);
    RenderList list;
    loose->collectRenderItems(list);
    EXPECT_EQ(waiting->getBird(), nullptr);
    EXPECT_EQ(waiting->getUpdateScheduler(), nullptr);
}

TEST_F(CircularBirdTest, TheFirstDrawClonesTheBodyAsAGhostAndPlacesIt) {
    GCircularBirdNode* node = addBird("Gull");
    node->ellipse1Size = vector2df(100.0f, 50.0f);
    node->ellipse2Size = vector2df(20.0f, 10.0f);
    frame();
    ASSERT_NE(node->getBird(), nullptr);
    EXPECT_TRUE(node->getBird()->isGhost());
    EXPECT_EQ(node->getChildCount(), 0u) << "the bird is no child to copy or save";
    EXPECT_EQ(node->getBird()->getParent(), node);
    EXPECT_EQ(node->getUpdateScheduler(), &scheduler_);
    EXPECT_GE(node->getAngle1(), 0.0f);
    EXPECT_LT(node->getAngle1(), 360.0f);
    const vector2df p = node->placement(node->getAngle1(), node->getAngle2());
    EXPECT_EQ(node->getBird()->getPosition(), vector3df(p.X, p.Y, 0.0f));
    EXPECT_GE(node->getFlapCountdown(), 4000u);
    EXPECT_LT(node->getFlapCountdown(), 7000u);
    // The bird is drawn with the node.
    RenderList list;
    scene_->collectRenderItems(list);
    EXPECT_EQ(node->getBird()->getOwnerScene(), scene_.get());
}

TEST_F(CircularBirdTest, ABirdOnOneEllipseCompletesItEveryFourSecondsFacingRight) {
    GCircularBirdNode* node = addBird("Gull");
    node->ellipse1Size = vector2df(100.0f, 50.0f);
    node->angularVelocity1 = 90.0f;
    frame();
    const float a1 = node->getAngle1();
    const vector3df start = node->getBird()->getPosition();
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(node->onTimer(10));  // a quarter turn
    const float r = (a1 + 90.0f) * 0.017453292f;
    EXPECT_NEAR(node->getBird()->getPosition().X, 100.0f * std::cos(r), 1e-2f);
    EXPECT_NEAR(node->getBird()->getPosition().Y, 50.0f * std::sin(r), 1e-2f);
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(node->onTimer(10));
    EXPECT_NEAR(node->getBird()->getPosition().X, start.X, 1e-2f);
    EXPECT_NEAR(node->getBird()->getPosition().Y, start.Y, 1e-2f);
    EXPECT_EQ(nameOfId(node->getDirectionState()), "Right");
}

TEST_F(CircularBirdTest, AStillBirdFlapsEveryFourToSevenSeconds) {
    GCircularBirdNode* node = addBird("Gull");
    node->ellipse1Size = vector2df(30.0f, 30.0f);
    node->angularVelocity1 = 0.0f;
    node->angularVelocity2 = 0.0f;
    frame();
    const vector3df start = node->getBird()->getPosition();
    ASSERT_TRUE(node->onTimer(30));
    EXPECT_EQ(runningState(node), "Right") << "turned without a beat to carry: the plain state";
    int flaps = 0;
    for (uint32_t t = 30; t < 30000; t += 30) {
        const uint32_t before = node->getFlapCountdown();
        ASSERT_TRUE(node->onTimer(30));
        if (node->getFlapCountdown() > before) {
            ++flaps;
            EXPECT_EQ(runningState(node), "Right_Flap");
            const uint32_t delay = node->getFlapCountdown() - before;
            EXPECT_GE(delay, 4000u);
            EXPECT_LT(delay, 7000u);
        }
    }
    EXPECT_GE(flaps, 4);
    EXPECT_LE(flaps, 8);
    EXPECT_EQ(node->getBird()->getPosition(), start);
}

TEST_F(CircularBirdTest, TurningKeepsTheWingBeatsPhase) {
    GCircularBirdNode* node = addBird("Gull");
    node->ellipse2Size = vector2df(80.0f, 40.0f);
    node->angularVelocity1 = 0.0f;
    node->angularVelocity2 = 0.0f;
    frame();
    node->angle2 = 0.0f;  // the tangent points down the screen
    ASSERT_TRUE(node->onTimer(30));
    ASSERT_EQ(runningState(node), "Down");
    KeyFrame* beat = asKeyFrame(node->getBird()->getRunningState()->getAnimator(0));
    ASSERT_NE(beat, nullptr);
    ASSERT_TRUE(beat->isPlaying());
    beat->start(150, true);
    node->angle2 = 90.0f;  // now it points left
    ASSERT_TRUE(node->onTimer(30));
    EXPECT_EQ(runningState(node), "Left_Flap");
    KeyFrame* carried = asKeyFrame(node->getBird()->getRunningState()->getAnimator(0));
    ASSERT_NE(carried, nullptr);
    EXPECT_EQ(carried->getPosition(), 150u);
}

TEST_F(CircularBirdTest, ChangingTheTemplateReplacesTheBirdAtTheNextDraw) {
    GCircularBirdNode* node = addBird("Gull");
    node->ellipse1Size = vector2df(100.0f, 50.0f);
    frame();
    CountedRef<BaseNode> first = CountedRef<BaseNode>::share(node->getBird());
    node->setBirdTemplateId(makeNameId("Crow"));
    EXPECT_EQ(node->getUpdateScheduler(), nullptr);
    frame();
    ASSERT_NE(node->getBird(), nullptr);
    EXPECT_NE(node->getBird(), first.get());
    EXPECT_EQ(first->getParent(), nullptr) << "the old bird left";
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(node->getUpdateScheduler(), &scheduler_);

    // A template collection that changes is looked up again on the event.
    manager_->setTemplateCollection(nullptr);
    CountedRef<SceneShownEvent> shown(new SceneShownEvent(manager_.get()));
    EXPECT_FALSE(node->onEvent33(shown.get()));
    EXPECT_EQ(node->getBodyTemplate(), nullptr);
}

TEST_F(CircularBirdTest, ABirdReadFromAFileFindsItsTemplateWhenDrawnAndCopiesKeepIt) {
    CountedRef<BaseNode> read = readScene(R"(<SceneNode Type="GCircularBirdNode"><Properties>
        <string Name="BirdTemplateID" Value="Gull"/><vector2d Name="Ellipse1Size" Value="120;40"/>
        <float Name="AngularVelocity2" Value="-8"/></Properties></SceneNode>)");
    GCircularBirdNode* node = nodeCast<GCircularBirdNode>(read.get());
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getBodyTemplate(), nullptr) << "no manager while the file is read";
    layer_->addChild(node);
    frame();
    ASSERT_NE(node->getBird(), nullptr);
    EXPECT_EQ(node->ellipse1Size, vector2df(120.0f, 40.0f));
    EXPECT_EQ(node->angularVelocity2, -8.0f);

    CountedRef<BaseNode> copy(node->clone(nullptr, manager_.get()));
    GCircularBirdNode* twin = nodeCast<GCircularBirdNode>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(nameOfId(twin->getBirdTemplateId()), "Gull");
    EXPECT_EQ(twin->ellipse1Size, vector2df(120.0f, 40.0f));
    EXPECT_EQ(twin->getBird(), nullptr) << "the flying bird is not copied";
}
