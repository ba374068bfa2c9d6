// Tutorial actions against a running level: the requests the generators send
// change the level (a dirty garden, a broken hotel, a money letter, a
// building for sale, a pause), the waiting actions see the level's events
// through the tutorial's place among the level's listeners, and the level
// answers whether a building exists.
#include "engine/core/ControlNode.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/tutorial/GTutorial.h"
#include "support/HeadlessLevel.h"
#include "support/TempDir.h"
#include "tutorial/TutorialTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace engine;
using namespace tutorial_testing;
using game::GTutorial;
using testing_support::HeadlessLevel;

namespace {

class TutorialLevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::SmallContent content;
        // Money letters come only with the modifier that allows them.
        const std::string end = "</Upgrade>";
        content.upgrades.insert(content.upgrades.find(end),
                                "<LevelModifiers><Modifier Type=\"CanReceiveMoneyLetters\" Value=\"1\"/></LevelModifiers>");
        HeadlessLevel::writeContent(folder.path().string(), content);
        ASSERT_TRUE(level.load(folder.path().string(), "levels/test/")) << level.failure();
        owner = CountedRef<ControlNode>(new ControlNode(nullptr, nullptr, nullptr));
    }
    void TearDown() override {
        if (tutorial) {
            level.scene()->removeListener(tutorial.get());
            tutorial->stop();
        }
    }

    // Loads the steps and hooks the tutorial into the level as the HUD does.
    void run(const std::string& hints) {
        CountedRef<TemplateCollectionNode> templates = makeTemplates();
        tutorial = CountedRef<GTutorial>(new GTutorial(owner.get(), templates.get(), nullptr));
        CountedRef<XmlReader> reader = readerOf("<Tutorial>" + hints + "</Tutorial>");
        ASSERT_TRUE(tutorial->load(*reader, level.scene()));
        level.scene()->addListener(tutorial.get());
        tutorial->start();
    }
    // Advances the level and the tutorial together, as the HUD's timer does.
    void advance(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 20) {
            level.advance(20);
            tutorial->update(20);
        }
    }

    testing_support::TempDir folder;
    HeadlessLevel level;
    CountedRef<ControlNode> owner;
    CountedRef<GTutorial> tutorial;
};

}  // namespace

TEST_F(TutorialLevelTest, GeneratedRequestsChangeTheLevelAndWaitingStepsSeeThem) {
    level.advance(11000);  // buildings can break or get dirty 10 s after their last change
    game::GBuildingNode* garden = level.building("Place03");
    game::GBuildingNode* hotel = level.building("Place02");
    run(R"(
      <Hint><Actions><Action Type="GenerateDirtyBuildingRequest" BuildingTypes="Garden"/>
                     <Action Type="WaitDirty"/></Actions></Hint>
      <Hint><Actions><Action Type="GenerateLetterRequest" BuildingTypes="Hotel1"/></Actions></Hint>
      <Hint><Actions><Action Type="GenerateBrokenBuildingRequest" PlaceNames="Place02"/></Actions></Hint>
      <Hint><Actions><Action Type="GenerateSellBuildingRequest" PlaceNames="Place04"/></Actions></Hint>
      <Hint><Text Value="Waiting"/></Hint>)");
    EXPECT_EQ(garden->getCondition(), game::GBuildingNode::kNoCondition);
    advance(20);
    EXPECT_EQ(garden->getCondition(), game::GBuildingNode::kDirty);
    advance(20);
    EXPECT_EQ(level.scene()->moneyLetters.size(), 1u);
    advance(20);
    EXPECT_EQ(hotel->getCondition(), game::GBuildingNode::kBroken);
    advance(20);
    EXPECT_TRUE(level.building("Place04")->isForSale());
    EXPECT_EQ(tutorial->getStepIndex(), 4);
    // The last step waits; the requests were sent once each.
    advance(2000);
    EXPECT_EQ(tutorial->getStepIndex(), 4);
}

TEST_F(TutorialLevelTest, APauseStepHoldsTheLevelUntilItsMessageIsAnswered) {
    run(R"(<Hint MessageBox="true"><Text Value="Hello"/><Actions><Action Type="GeneratePauseRequest"/></Actions></Hint>
           <Hint><Text Value="Play"/></Hint>)");
    EXPECT_TRUE(level.scene()->paused);
    const float before = level.scene()->totalTimeMs;
    advance(1000);
    EXPECT_EQ(level.scene()->totalTimeMs, before);
    BaseNode* button = tutorial->getWindow()->findChild(makeNameId("Button"), 1);
    CountedRef<NodePressedEvent> press(new NodePressedEvent(button));
    EXPECT_FALSE(tutorial->handleEvent(press.get()));
    advance(1000);
    EXPECT_EQ(tutorial->getStepIndex(), 1);
    EXPECT_FALSE(level.scene()->paused);
    EXPECT_GT(level.scene()->totalTimeMs, before);
}

TEST_F(TutorialLevelTest, BuildingStepsFollowTheLevelsBuildings) {
    run(R"(
      <Hint><Actions><Action Type="BuildingCompletedOrExist" BuildingTypes="Depot"/></Actions></Hint>
      <Hint><Actions><Action Type="BuildingCompletedOrExist" BuildingTypes="Hotel2"/></Actions></Hint>
      <Hint><Actions><Action Type="BuildingCompleted" Buildings="Hotel1"/></Actions></Hint>
      <Hint><Text Value="Done"/></Hint>)");
    advance(20);
    EXPECT_EQ(tutorial->getStepIndex(), 1);  // the depot stands from the start
    advance(500);
    EXPECT_EQ(tutorial->getStepIndex(), 1);  // no Hotel2 yet
    ASSERT_TRUE(level.scene()->upgrade(level.building("Place02")));
    advance(20000);
    EXPECT_EQ(tutorial->getStepIndex(), 2);  // the upgraded hotel exists
    ASSERT_TRUE(level.scene()->build(level.building("Place01"), level.record("Hotel1")));
    advance(20000);
    EXPECT_EQ(tutorial->getStepIndex(), 3);
}
