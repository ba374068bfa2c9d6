// An hour of simulated level time with every self-driven effect kind: the
// level holds circling birds and lasting lake waves, and spawners that keep
// making balloons, fireworks, short-lived waves, rising pictures, shield
// pieces, shield stars and spirals, which end themselves. The level's node
// count stays under a bound all along; the heap in use is printed.
#include "engine/core/BaseNode.h"
#include "engine/particles/SpawnerNode.h"
#include "game/level/GGameLevelScene.h"
#include "support/HeadlessLevel.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>
#include <string>

using testing_support::HeadlessLevel;
using testing_support::SmallContent;

namespace {

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

size_t countNodes(const engine::BaseNode* node) {
    size_t count = 1;
    for (uint32_t i = 0; i < node->getChildCount(); ++i) count += countNodes(node->getChild(i));
    return count;
}

std::string named(const char* type, const char* name, const std::string& properties, const std::string& inner = "") {
    return std::string("<SceneNode Type=\"") + type + "\"><Properties><string Name=\"Name\" Value=\"" + name +
           "\"/>" + properties + "</Properties>" + inner + "</SceneNode>\n";
}

// A child with a finite state of that name (a 300 ms set of keys).
std::string visualWith(const char* state) {
    return std::string("<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Visual\"/></Properties>"
                       "<States><State Name=\"") +
           state +
           "\"><Animator Type=\"KeyFrame\" Name=\"A\"><Properties><vector3d Name=\"Scale\" Value=\"1;1;1\"/>"
           "</Properties><KeyFrame t=\"0\" Value0=\"1;1;1\"/><KeyFrame t=\"300\" i=\"0\" Value0=\"2;2;1\"/>"
           "</Animator></State></States></SceneNode>";
}

std::string spawner(const char* templateName, const char* perSecond, const char* lifeTime) {
    return named("SpawnerNode", templateName,
                 std::string("<string Name=\"ObjTemplate\" Value=\"") + templateName +
                     "\"/><vector2d Name=\"ObjectsPerSecRange\" Value=\"" + perSecond +
                     "\"/><vector2d Name=\"ObjectsLifeTimeRange\" Value=\"" + lifeTime +
                     "\"/><vector2d Name=\"ObjectsXDeltaRange\" Value=\"0;600\"/>"
                     "<vector2d Name=\"ObjectsYDeltaRange\" Value=\"0;400\"/>");
}

SmallContent everyEffect() {
    SmallContent content;
    const std::string templates =
        named("BaseNode", "Gull", "",
              "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Body\"/></Properties>"
              "</SceneNode>") +
        named("GBaloonNode", "Balloon",
              "<vector2d Name=\"WidthRange\" Value=\"5;15\"/><vector2d Name=\"XVelocityRange\" Value=\"5;10\"/>"
              "<vector2d Name=\"YVelocityRange\" Value=\"-30;-20\"/><vector2d Name=\"YAccelRange\" Value=\"-5;-2\"/>"
              "<vector2d Name=\"YAccelTimeRange\" Value=\"500;2000\"/>") +
        named("GFireworkNode", "Rocket",
              "<vector2d Name=\"VelocityYRange\" Value=\"-200;-150\"/><vector2d Name=\"Acceleration\" Value=\"0;60\"/>"
              "<vector2d Name=\"MoveTimeRange\" Value=\"800;1400\"/>",
              visualWith("Boost")) +
        named("GLakeWaveNode", "Ripple", "<vector3d Name=\"Velocity\" Value=\"3;0;0\"/>",
              "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Star\"/></Properties>"
              "</SceneNode>") +
        named("GPicEffectNode", "Coin", "<vector2d Name=\"WidthRange\" Value=\"10;20\"/>"
              "<vector2d Name=\"YVelocityRange\" Value=\"-40;-30\"/>") +
        named("GShieldEffectNode", "Shard",
              "<vector2d Name=\"Area1Rect1Size\" Value=\"300;200\"/><vector2d Name=\"Area1Rect2Size\" Value=\"100;80\"/>"
              "<vector2d Name=\"Area2RectSize\" Value=\"40;40\"/><int Name=\"MovingTime\" Value=\"700\"/>"
              "<int Name=\"DisappearWaitTime\" Value=\"300\"/><int Name=\"DisappearTime\" Value=\"500\"/>",
              visualWith("Run")) +
        named("GShieldStarNode", "Spark", "<vector2d Name=\"VelocityAngleRange\" Value=\"0;360\"/>"
              "<vector2d Name=\"VelocityRange\" Value=\"40;80\"/>") +
        named("GSpiralMovableNode", "Swirl", "<vector2d Name=\"RRange\" Value=\"0;10\"/>"
              "<vector2d Name=\"RVelocityRange\" Value=\"10;20\"/><vector2d Name=\"AngleVelocityRange\" Value=\"2;4\"/>");
    content.templates.insert(content.templates.rfind("</SceneNode>"), templates);

    const std::string world =
        named("BaseNode", "Effects", "",
              named("GCircularBirdNode", "Bird1",
                    "<string Name=\"BirdTemplateID\" Value=\"Gull\"/><vector2d Name=\"Ellipse1Size\" Value=\"120;40\"/>"
                    "<vector2d Name=\"Ellipse2Size\" Value=\"30;20\"/>") +
                  named("GCircularBirdNode", "Bird2",
                        "<string Name=\"BirdTemplateID\" Value=\"Gull\"/><vector2d Name=\"Ellipse1Size\" Value=\"80;30\"/>"
                        "<float Name=\"AngularVelocity1\" Value=\"-12\"/>") +
                  named("GLakeWaveNode", "Lake",
                        "<vector3d Name=\"Bounds\" Value=\"200;60;0\"/><vector2d Name=\"StarBlinkRange\" Value=\"500;900\"/>",
                        "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Star\"/></Properties>"
                        "</SceneNode>") +
                  spawner("Balloon", "0.5;1", "6000;9000") + spawner("Rocket", "0.5;1", "1000;1000") +
                  spawner("Ripple", "0.5;1", "3000;5000") + spawner("Coin", "1;2", "2000;3000") +
                  spawner("Shard", "1;2", "1000;1000") + spawner("Spark", "2;4", "1500;2500") +
                  spawner("Swirl", "1;2", "2000;4000"));
    content.level.insert(content.level.rfind("</SceneNode>"), world);
    return content;
}

}  // namespace

TEST(EffectsHourTest, AnHourOfEveryEffectKeepsTheLevelsNodeCountBounded) {
    testing_support::TempDir folder;
    HeadlessLevel::writeContent(folder.path().string(), everyEffect());
    HeadlessLevel level;
    HeadlessLevel::Options options;
    options.drawEveryMs = 30;
    ASSERT_TRUE(level.load(folder.path().string(), "levels/test/", options)) << level.failure();

    // Spawned objects are ghosts of their spawners: count them there.
    engine::BaseNode* effects = level.scene()->findChild(engine::makeNameId("Effects"), 1);
    ASSERT_NE(effects, nullptr);
    const auto liveNodes = [&]() {
        size_t count = countNodes(level.scene());
        for (uint32_t i = 0; i < effects->getChildCount(); ++i) {
            if (auto* spawner = engine::nodeCast<engine::SpawnerNode>(effects->getChild(i)))
                count += spawner->getSpawnedGhosts().size();
        }
        return count;
    };

    const auto spawnedNow = [&]() {
        std::set<const engine::BaseNode*> spawned;
        for (uint32_t i = 0; i < effects->getChildCount(); ++i) {
            if (auto* spawner = engine::nodeCast<engine::SpawnerNode>(effects->getChild(i)))
                for (const auto& ghost : spawner->getSpawnedGhosts()) spawned.insert(ghost.get());
        }
        return spawned;
    };

    level.advance(60000);
    const size_t settled = liveNodes();
    // Every object alive now lives less than a minute: a minute later all of
    // them have ended (the clock really runs) and others took their place.
    const std::set<const engine::BaseNode*> firstGeneration = spawnedNow();
    ASSERT_FALSE(firstGeneration.empty());
    std::vector<engine::CountedRef<engine::BaseNode>> held;
    for (const engine::BaseNode* node : firstGeneration)
        held.push_back(engine::CountedRef<engine::BaseNode>::share(const_cast<engine::BaseNode*>(node)));
    const size_t heapAfterAMinute = heapInUse();
    size_t most = settled;
    for (int minute = 1; minute < 60; ++minute) {
        level.advance(60000);
        if (minute == 1) {
            for (const auto& node : held) EXPECT_EQ(node->getParent(), nullptr) << "an effect outlived its life";
            held.clear();
            EXPECT_FALSE(spawnedNow().empty());
        }
        const size_t now = liveNodes();
        most = std::max(most, now);
        ASSERT_LT(now, 400u) << "minute " << minute;
    }
    std::printf("[ effects ] live nodes after a minute %zu, most %zu; heap after a minute %zu bytes, after an hour "
                "%zu bytes\n",
                settled, most, heapAfterAMinute, heapInUse());
    EXPECT_GT(settled, countNodes(level.scene())) << "effects were spawned";
}
