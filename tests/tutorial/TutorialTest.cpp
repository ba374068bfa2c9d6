// The tutorial controller over a plain owner scene: reading the steps, the
// window and the arrows of each step, message steps that wait for their own
// press, and the end of the tutorial.
#include "engine/core/ControlNode.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameEvents.h"
#include "game/tutorial/GTutorial.h"
#include "support/LogCapture.h"
#include "tutorial/TutorialTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace engine;
using namespace tutorial_testing;
using game::GTutorial;
using testing_support::LogCapture;

namespace {

class TutorialTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CountedRef<ControlNode>(new ControlNode(nullptr, nullptr, nullptr));
        level = CountedRef<FakeLevel>(new FakeLevel());
    }
    CountedRef<GTutorial> load(const std::string& xml, bool withWindow = true) {
        CountedRef<TemplateCollectionNode> templates = makeTemplates(withWindow);
        CountedRef<GTutorial> tutorial(new GTutorial(owner.get(), templates.get(), nullptr));
        CountedRef<XmlReader> reader = readerOf(xml);
        loaded = tutorial->load(*reader, level.get());
        return tutorial;
    }
    bool press(GTutorial& tutorial, const char* name) {
        CountedRef<Event> event = pressOf(name);
        return tutorial.handleEvent(event.get());
    }

    CountedRef<ControlNode> owner;
    CountedRef<FakeLevel> level;
    bool loaded = false;
};

const char* const kTwoMessages = R"(<Tutorial>
  <Hint MessageBox="true"><Text Value="First"/><Actions><Action Type="GeneratePauseRequest"/></Actions></Hint>
  <Hint MessageBox="true"><Text Value="Second"/></Hint>
  <Hint><Text Value="Third"/><Actions><Action Type="ControlPress" Controls="HotelsButton"/></Actions></Hint>
</Tutorial>)";

}  // namespace

TEST_F(TutorialTest, StepsAreReadWithTheirDefaults) {
    CountedRef<GTutorial> tutorial = load(R"(<?xml version="1.0"?>
<!-- a comment -->
<Tutorial>
  <Hint/>
  <Hint MessageBox="true" Linnet="True">
    <Position Value="100;200;7"/>
    <TextBgType Value="2"/>
    <TextPosition Value="-5;-6;40"/>
    <Text Value="%Tutorial_L1_Welcome%"></Text>
    <ImageFilename Value="images/x.png"/>
    <Unknown><Text Value="not mine"/></Unknown>
    <Actions>
      <Action Type="Timed" Time="50"/>
      <Action Type="Fly"/>
      <Action Type="WaitDirty"></Action>
    </Actions>
    <Arrows><Arrow Position="10;20" Rotation="90"/><Arrow Position="1;2;3"/></Arrows>
  </Hint>
</Tutorial>
<Tutorial><Hint/></Tutorial>)");
    ASSERT_TRUE(loaded);
    const auto& steps = tutorial->getSteps();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_FALSE(steps[0].messageBox);
    EXPECT_FALSE(steps[0].linnet);
    EXPECT_EQ(steps[0].position, vector3df(570, 516, 0));
    EXPECT_EQ(steps[0].textPosition, vector3df(-35, -11, 1));
    EXPECT_EQ(steps[0].textBgType, 0);
    EXPECT_TRUE(steps[0].actions.empty());

    const auto& full = steps[1];
    EXPECT_TRUE(full.messageBox);
    EXPECT_FALSE(full.linnet);  // only the exact text "true" counts
    EXPECT_EQ(full.position, vector3df(100, 200, 7));
    EXPECT_EQ(full.textBgType, 2);
    EXPECT_EQ(full.textPosition, vector3df(-5, -6, 1));
    EXPECT_EQ(stringc(full.stepText), "%Tutorial_L1_Welcome%");
    EXPECT_EQ(full.imageFilename, "images/x.png");
    EXPECT_EQ(full.actions.size(), 2u);  // the unknown type is skipped
    ASSERT_EQ(full.arrows.size(), 2u);
    EXPECT_EQ(full.arrows[0].position, vector3df(10, 20, 0));
    EXPECT_EQ(full.arrows[0].rotation, vector3df(0, 0, 90));
    EXPECT_EQ(full.arrows[1].rotation, vector3df(0, 0, 0));
}

TEST_F(TutorialTest, LoadFailsWithALogWithoutTheWindowTemplateOrATutorial) {
    {
        LogCapture log;
        CountedRef<GTutorial> tutorial = load(kTwoMessages, false);
        EXPECT_FALSE(loaded);
        EXPECT_FALSE(tutorial->hasSteps());
        EXPECT_TRUE(log.contains("TutorialWindow"));
        tutorial->start();
        EXPECT_FALSE(tutorial->update(20));
        EXPECT_FALSE(press(*tutorial, "Button"));
    }
    LogCapture log;
    load("<Steps><Hint/></Steps>");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(log.hasErrors());
}

TEST_F(TutorialTest, EachMessageStepWaitsForItsOwnPressOfTheWindowButton) {
    CountedRef<GTutorial> tutorial = load(kTwoMessages);
    ASSERT_TRUE(loaded);
    tutorial->start();
    EXPECT_EQ(level->received(EventId::GPauseRequestEvent).size(), 1u);  // the level pauses for the message
    EXPECT_TRUE(tutorial->update(20));
    EXPECT_EQ(tutorial->getStepIndex(), 0);

    EXPECT_FALSE(press(*tutorial, "Button"));  // seen, not swallowed: the window's button still works
    const auto pauses = level->received(EventId::GPauseRequestEvent);
    ASSERT_GE(pauses.size(), 2u);
    EXPECT_FALSE(static_cast<game::GPauseRequestEvent*>(pauses[1])->isPause());
    EXPECT_TRUE(tutorial->update(20));
    ASSERT_EQ(tutorial->getStepIndex(), 1);
    EXPECT_FALSE(tutorial->isWindowButtonPressed());
    EXPECT_EQ(stringc(tutorial->getWindowText()->getText()), "Second");
    EXPECT_TRUE(tutorial->getOkButton()->isVisible());

    // The second message stays until it is answered too.
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(tutorial->update(20));
    EXPECT_EQ(tutorial->getStepIndex(), 1);
    press(*tutorial, "Button");
    tutorial->update(20);
    EXPECT_EQ(tutorial->getStepIndex(), 2);

    // The button does not end a step that is no message, and is not shown there.
    EXPECT_FALSE(tutorial->getOkButton()->isVisible());
    press(*tutorial, "Button");
    tutorial->update(20);
    EXPECT_EQ(tutorial->getStepIndex(), 2);
    EXPECT_TRUE(press(*tutorial, "JoysButton"));  // blocked by the step's action
    EXPECT_FALSE(press(*tutorial, "HotelsButton"));
    EXPECT_TRUE(tutorial->update(20));
    EXPECT_TRUE(tutorial->isFinished());
}

TEST_F(TutorialTest, WindowAndArrowsFollowTheStep) {
    CountedRef<GTutorial> tutorial = load(R"(<Tutorial>
  <Hint><Position Value="300;400"/><TextPosition Value="5;15"/><Text Value="Look here"/>
    <Actions><Action Type="Timed" Time="20"/></Actions>
    <Arrows><Arrow Position="40;50;0" Rotation="180"/><Arrow Position="60;70;0"/></Arrows></Hint>
  <Hint><Actions><Action Type="Timed" Time="20"/></Actions><Arrows><Arrow Position="1;1;0"/></Arrows></Hint>
  <Hint Linnet="true"><Actions><Action Type="Timed" Time="20"/></Actions></Hint>
</Tutorial>)");
    ASSERT_TRUE(loaded);
    BaseNode* window = tutorial->getWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getParent(), owner.get());
    EXPECT_FALSE(window->isVisible());
    BaseNode* arrows = tutorial->getArrowLayer();
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(arrows->getPosition().Z, 2000.0f);

    tutorial->start();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->getPosition(), vector3df(300, 400, 1999));
    EXPECT_EQ(tutorial->getWindowText()->getPosition(), vector3df(5, 15, 1));
    EXPECT_TRUE(tutorial->getSkipButton()->isVisible());
    EXPECT_EQ(tutorial->getSkipButton()->getPosition().Y, 100.0f);
    ASSERT_EQ(arrows->getChildren().size(), 2u);
    EXPECT_EQ(arrows->getChildren()[0]->getPosition(), vector3df(40, 50, 0));
    EXPECT_EQ(arrows->getChildren()[0]->getRotation(), vector3df(0, 0, 180));

    // Neither text nor Linnet: only the arrows.
    tutorial->update(20);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(arrows->getChildren().size(), 1u);
    // The skip button of a hidden window does nothing.
    EXPECT_TRUE(press(*tutorial, "SkipTutorialButton"));

    // Linnet without text: the window without its text and skip button.
    tutorial->update(20);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(tutorial->getWindowText()->isVisible());
    EXPECT_FALSE(tutorial->getSkipButton()->isVisible());
    EXPECT_TRUE(arrows->getChildren().empty());
    EXPECT_FALSE(press(*tutorial, "SkipTutorialButton"));  // the owner handles the skip

    // After the last step the window and the arrows go.
    EXPECT_TRUE(tutorial->update(20));
    EXPECT_TRUE(tutorial->isFinished());
    EXPECT_FALSE(tutorial->update(20));
    EXPECT_EQ(tutorial->getWindow(), nullptr);
    EXPECT_TRUE(owner->getChildren().empty());
    EXPECT_FALSE(press(*tutorial, "JoysButton"));
}

TEST_F(TutorialTest, AStepWithoutActionsOrMessageBoxEndsOnlyWhenStopped) {
    CountedRef<GTutorial> tutorial = load(R"(<Tutorial><Hint><Text Value="Forever"/></Hint></Tutorial>)");
    ASSERT_TRUE(loaded);
    tutorial->start();
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(tutorial->update(100));
    press(*tutorial, "Button");
    EXPECT_TRUE(tutorial->update(100));
    EXPECT_EQ(tutorial->getStepIndex(), 0);
    tutorial->stop();
    EXPECT_TRUE(tutorial->isFinished());
    EXPECT_EQ(tutorial->getWindow(), nullptr);
    EXPECT_TRUE(owner->getChildren().empty());
}
