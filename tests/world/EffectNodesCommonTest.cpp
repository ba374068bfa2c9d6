// What the self-driven effect kinds share: their settings travel through
// scene files, clones and property tables; each one that ends takes itself
// out of its parent, answers false to drop its timer and leaks no
// reference, also when its parent holds the only reference.
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/particles/SpawnerNode.h"
#include "game/world/BalloonNodes.h"
#include "game/world/CircularBirdNode.h"
#include "game/world/LakeWaveNodes.h"
#include "game/world/ShieldNodes.h"
#include "game/world/SpiralMoverNode.h"
#include "world/EffectTestSupport.h"

using namespace engine;
using effect_test::EffectSceneTest;

namespace {

struct SettingCase {
    const char* kind;
    const char* name;
    const char* element;
    const char* value;
};

const SettingCase kSettings[] = {
    {"GCircularBirdNode", "Ellipse1Size", "vector2d", "100;50"},
    {"GCircularBirdNode", "AngularVelocity2", "float", "-7.5"},
    {"GBaloonNode", "YAccelTimeRange", "vector2d", "500;900"},
    {"GBaloonNode", "LifeTime", "int", "8000"},
    {"GFireworkNode", "Acceleration", "vector2d", "0;-100"},
    {"GFireworkNode", "MoveTimeRange", "vector2d", "600;900"},
    {"GLakeWaveNode", "StarBlinkRange", "vector2d", "2000;3000"},
    {"GLakeWaveNode", "Velocity", "vector3d", "1.5;0;0"},
    {"GLakeWaveNode", "LifeTime", "int", "4000"},
    {"GPicEffectNode", "AnimTime", "int", "1500"},
    {"GPicEffectNode", "YVelocityRange", "vector2d", "-30;-20"},
    {"GShieldEffectNode", "Area1Rect2Size", "vector2d", "200;100"},
    {"GShieldEffectNode", "VelocityPower", "float", "2"},
    {"GShieldEffectNode", "DisappearTime", "int", "400"},
    {"GShieldStarNode", "Accel1StartTimeRange", "vector2d", "100;300"},
    {"GShieldStarNode", "AngularVelocityRange", "vector2d", "-90;90"},
    {"GShieldStarNode", "LifeTime", "int", "2000"},
    {"GSpiralMovableNode", "RVelocityRange", "vector2d", "10;20"},
    {"GSpiralMovableNode", "LifeTime", "int", "1200"},
};

std::string nodeText(const char* kind, const std::string& properties) {
    return std::string("<SceneNode Type=\"") + kind + "\"><Properties>" + properties + "</Properties></SceneNode>";
}

std::string written(BaseNode* node, const char* name) {
    PropertySet set;
    node->writeProperties(&set);
    return set.indexOf(name) >= 0 ? propertyDataToString(set.find(name)).c_str() : "(not written)";
}

}  // namespace

TEST_F(EffectSceneTest, SettingsTravelThroughFilesClonesAndPropertyTables) {
    for (const SettingCase& c : kSettings) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.name);
        const std::string value = std::string("<") + c.element + " Name=\"" + c.name + "\" Value=\"" + c.value + "\"/>";
        CountedRef<BaseNode> node = readScene(nodeText(c.kind, value));
        ASSERT_TRUE(node) << "the kind is registered";
        EXPECT_EQ(narrow(stringw(node->getClassName())), stringc(c.kind));
        const std::string text = written(node.get(), c.name);
        EXPECT_NE(text, "(not written)");
        CountedRef<BaseNode> copy(node->clone(nullptr, nullptr));
        EXPECT_EQ(written(copy.get(), c.name), text);
        const int32_t index = node->getPropertyTable().indexOf(c.name);
        ASSERT_GE(index, 0);
        EXPECT_EQ(propertyDataToString(node->getPropertyTable().get(*node, index)).c_str(), text);

        // Defaults are not written; a value of another type reads as zero.
        CountedRef<BaseNode> plain = readScene(nodeText(c.kind, ""));
        PropertySet set;
        plain->writeProperties(&set);
        EXPECT_LT(set.indexOf(c.name), 0);
        CountedRef<BaseNode> wrong =
            readScene(nodeText(c.kind, std::string("<bool Name=\"") + c.name + "\" Value=\"true\"/>"));
        const std::string element = c.element;
        const char* zero = element == "vector2d" ? "0;0" : element == "vector3d" ? "0;0;0" : "0";
        CountedRef<BaseNode> zeroed = readScene(
            nodeText(c.kind, std::string("<") + c.element + " Name=\"" + c.name + "\" Value=\"" + zero + "\"/>"));
        EXPECT_EQ(written(wrong.get(), c.name), written(zeroed.get(), c.name));
    }
}

TEST_F(EffectSceneTest, SpawnersGiveTheirObjectsALifeTime) {
    for (const char* kind : {"GBaloonNode", "GLakeWaveNode", "GPicEffectNode", "GShieldStarNode", "GSpiralMovableNode"}) {
        SCOPED_TRACE(kind);
        CountedRef<BaseNode> node = readScene(nodeText(kind, ""));
        setNodePropertyByName(node.get(), "LifeTime", CountedRef<IPropertyData>(makeIntProperty(2500)));
        EXPECT_EQ(written(node.get(), "LifeTime"), "2500");
    }
}

namespace {

struct EndingCase {
    const char* kind;
    const char* properties;
};

// Each lives a short while and then goes.
const EndingCase kEndings[] = {
    {"GBaloonNode", "<int Name=\"LifeTime\" Value=\"100\"/>"},
    {"GFireworkNode", "<vector2d Name=\"MoveTimeRange\" Value=\"100;100\"/>"},
    {"GLakeWaveNode", "<int Name=\"LifeTime\" Value=\"100\"/>"},
    {"GPicEffectNode", "<int Name=\"LifeTime\" Value=\"100\"/>"},
    {"GShieldEffectNode", "<int Name=\"MovingTime\" Value=\"50\"/><int Name=\"DisappearTime\" Value=\"50\"/>"},
    {"GShieldStarNode", "<int Name=\"LifeTime\" Value=\"100\"/>"},
    {"GSpiralMovableNode", "<int Name=\"LifeTime\" Value=\"100\"/>"},
};

}  // namespace

TEST_F(EffectSceneTest, EndingNodesLeaveTheirParentDropTheirTimerAndLeakNoReference) {
    for (const EndingCase& c : kEndings) {
        SCOPED_TRACE(c.kind);
        CountedRef<BaseNode> node = readScene(nodeText(c.kind, c.properties));
        auto* effect = dynamic_cast<game::GSelfDrivenEffectNode*>(node.get());
        ASSERT_NE(effect, nullptr);
        layer_->addChild(effect);
        frame();
        ASSERT_EQ(effect->getUpdateScheduler(), &scheduler_);
        // The timer call that ends the node answers false.
        bool answer = true;
        for (int call = 0; call < 20 && answer; ++call) answer = effect->onTimer(30);
        EXPECT_FALSE(answer);
        EXPECT_EQ(effect->getParent(), nullptr);
        EXPECT_EQ(layer_->getChildCount(), 0u);
        EXPECT_EQ(effect->getUpdateScheduler(), nullptr);
        EXPECT_EQ(node->getRefCount(), 1) << "only the test holds it";

        // With the parent holding the only reference, the node dies inside
        // its own timer call, and the scheduler goes on.
        CountedRef<BaseNode> again = readScene(nodeText(c.kind, c.properties));
        layer_->addChild(again.get());
        again = CountedRef<BaseNode>();
        frame();
        run(1000);
        EXPECT_EQ(layer_->getChildCount(), 0u);
    }
}
