#include "NodeTestSupport.h"

#include "engine/core/Animator.h"
#include "engine/core/BaseNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/State.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlWriter.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace node_tests;

namespace {

NameId id(const char* name) { return makeNameId(name); }

std::vector<std::string>& journal() { return WaitAnimator::journal(); }

// scene -> parent -> node, all attached to the scene, whose scheduler plays
// the states.
struct StateTest : testing::Test {
    void SetUp() override {
        registerTestKinds();
        journal().clear();
        scene->scheduler = scheduler.get();
        parent = new RecordingNode(nullptr, scene.get(), nullptr);
        parent->release();
        node = new RecordingNode(nullptr, parent, nullptr);
        node->release();
        scene->attach(nullptr, scene.get());
    }
    void advance(uint32_t ms) { scheduler->update(ms); }

    CountedRef<TimerScheduler> scheduler{new TimerScheduler()};
    CountedRef<TestScene> scene{new TestScene(nullptr, nullptr, nullptr)};
    RecordingNode* parent = nullptr;
    RecordingNode* node = nullptr;
};

const char* kWaitingStates = R"(<States>
  <State Name="Wait">
    <StartAnimator Type="TestWait" Name="w-start" Show="1" />
    <Animator Type="TestWait" Name="w" Duration="100" />
    <EndAnimator Type="TestWait" Name="w-end" Show="0" />
  </State>
</States>)";

}  // namespace

TEST(StateProtocol, WithoutAnOwnerSceneAStateEndsAtOnce) {
    registerTestKinds();
    journal().clear();
    CountedRef<RecordingNode> parent(new RecordingNode(nullptr, nullptr, nullptr));
    auto* child = new RecordingNode(nullptr, parent.get(), nullptr);
    child->release();
    loadStates(child, kWaitingStates);
    child->setVisible(false);

    child->setState(id("Wait"), nullptr);
    EXPECT_EQ(child->typeIds(), (std::vector<int32_t>{EventId::StateStartedEvent, EventId::StateEndedEvent}));
    ASSERT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent)[0].name, id("Wait"));
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent)[0].node, child);
    // Start animators and animators were started (values at time 0 applied),
    // none plays, and the end animators wait for the entry to be stopped.
    EXPECT_EQ(journal(), (std::vector<std::string>{"start w-start", "start w"}));
    EXPECT_TRUE(child->isVisible());
    State* state = child->getState(id("Wait"));
    EXPECT_EQ(state->getRunningCount(), 0u);
    EXPECT_FALSE(state->isEndDone());
    EXPECT_FALSE(state->getAnimator(0)->isPlaying());
}

TEST_F(StateTest, AnAnimatedStateEndsWhenItsAnimatorsHaveEnded) {
    loadStates(node, kWaitingStates);
    node->setVisible(false);
    node->setState(id("Wait"), nullptr);
    State* state = node->getState(id("Wait"));
    EXPECT_EQ(node->getRunningState(), state);
    EXPECT_EQ(state->getRunningCount(), 1u);
    EXPECT_TRUE(node->isVisible());  // the start animator
    EXPECT_TRUE(state->getAnimator(0)->isPlaying());
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 0u);

    advance(60);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 0u);
    advance(60);
    ASSERT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
    EXPECT_FALSE(node->of(EventId::StateEndedEvent)[0].interrupted);
    EXPECT_EQ(node->of(EventId::AnimatorEndedEvent).size(), 1u);  // the state hands it on first
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_FALSE(node->isVisible());  // the end animator
    EXPECT_TRUE(state->isEndDone());
    EXPECT_EQ(state->getRunningCount(), 0u);
    EXPECT_FALSE(state->getAnimator(0)->isPlaying());
    EXPECT_EQ(state->getAnimator(0)->getTimerScheduler(), nullptr);

    // A stop after the natural end reports nothing more.
    node->stopState(id("Wait"), false);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
}

TEST_F(StateTest, AStateThatEndsAtOnceGoesOnToItsNextState) {
    loadStates(node, R"(<States>
      <State Name="Flash" NextState="Wait">
        <StartAnimator Type="TestWait" Name="f-start" Show="1" />
        <EndAnimator Type="TestWait" Name="f-end" Show="0" />
      </State>
      <State Name="Wait"><Animator Type="TestWait" Name="w" Duration="100" /></State>
    </States>)");
    node->setVisible(false);
    node->setState(id("Flash"), nullptr);
    // Flash ended at once; entering Wait stopped it, which applied its end
    // animators after its start animators.
    EXPECT_EQ(node->getRunningState(), node->getState(id("Wait")));
    EXPECT_EQ(journal(), (std::vector<std::string>{"start f-start", "start f-end", "start w"}));
    EXPECT_FALSE(node->isVisible());
    ASSERT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent)[0].name, id("Flash"));

    advance(100);
    ASSERT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 2u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent)[1].name, id("Wait"));
}

TEST_F(StateTest, WithoutANextStateEndAnimatorsWaitForTheStop) {
    loadStates(node, R"(<States>
      <State Name="Flash">
        <StartAnimator Type="TestWait" Name="f-start" Show="1" />
        <EndAnimator Type="TestWait" Name="f-end" Show="0" />
      </State>
    </States>)");
    node->setState(id("Flash"), nullptr);
    EXPECT_TRUE(node->isVisible());
    EXPECT_FALSE(journalHas("start f-end"));
    node->stopState(id("Flash"), false);
    EXPECT_TRUE(journalHas("start f-end"));
    EXPECT_FALSE(node->isVisible());
    // The entry had ended already: the stop reports nothing.
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
}

TEST_F(StateTest, EnteringAnotherStateInterruptsTheRunningOne) {
    loadStates(node, R"(<States>
      <State Name="A" NextState="C">
        <Animator Type="TestWait" Name="a" Duration="500" />
        <EndAnimator Type="TestWait" Name="a-end" />
      </State>
      <State Name="B"><Animator Type="TestWait" Name="b" Duration="500" /></State>
      <State Name="C"><Animator Type="TestWait" Name="c" Duration="500" /></State>
    </States>)");
    node->setState(id("A"), nullptr);
    advance(100);
    journal().clear();
    node->setState(id("B"), nullptr);
    EXPECT_EQ(journal(), (std::vector<std::string>{"stop a", "start a-end", "start b"}));
    ASSERT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
    EXPECT_TRUE(node->of(EventId::StateEndedEvent)[0].interrupted);
    ASSERT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent)[0].name, id("A"));
    EXPECT_EQ(node->getRunningState(), node->getState(id("B")));  // not C
    EXPECT_EQ(node->getState(id("A"))->getAnimator(0)->getTimerScheduler(), nullptr);
}

TEST_F(StateTest, StopWithJumpPassesTheJumpToTheAnimatorsAndSkipsTheNextState) {
    loadStates(node, R"(<States>
      <State Name="A" NextState="B">
        <Animator Type="TestWait" Name="a" Duration="500" />
        <EndAnimator Type="TestWait" Name="a-end" />
      </State>
      <State Name="B"><Animator Type="TestWait" Name="b" Duration="500" /></State>
    </States>)");
    node->setState(id("A"), nullptr);
    journal().clear();
    node->stopState(id("A"), true);
    // The animators reach their end values before the end animators run.
    EXPECT_EQ(journal(), (std::vector<std::string>{"jump a", "start a-end"}));
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_EQ(node->getRunningState(), node->getState(id("A")));
    EXPECT_EQ(node->getState(id("A"))->getRunningCount(), 0u);
    node->stopState(id("Missing"), true);  // nothing
}

TEST_F(StateTest, ResolverSuppliesAMissingStateAndTheReportKeepsTheAskedName) {
    loadStates(node, R"(<States><State Name="Normal" /></States>)");
    const StateResolver toNormal = [](NameId asked) { return asked == makeNameId("Hover") ? makeNameId("Normal") : kNoName; };
    node->setState(id("Hover"), toNormal);
    EXPECT_EQ(node->getRunningState(), node->getState(id("Normal")));
    ASSERT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent)[0].name, id("Hover"));
    EXPECT_EQ(parent->of(EventId::NodeStateSkippedEvent).size(), 0u);

    // Nothing to fall back to: skipped and reached at once, under the asked name.
    node->setState(id("Pressed"), toNormal);
    ASSERT_EQ(parent->of(EventId::NodeStateSkippedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeStateSkippedEvent)[0].name, id("Pressed"));
    EXPECT_EQ(parent->seen.back().typeId, EventId::NodeTagReachedEvent);
    EXPECT_EQ(parent->seen.back().name, id("Pressed"));

    // A resolver that answers with the asked name does not recurse for ever.
    const StateResolver itself = [](NameId asked) { return asked; };
    node->setState(id("Nowhere"), itself);
    EXPECT_EQ(parent->seen.back().typeId, EventId::NodeTagReachedEvent);
    EXPECT_EQ(parent->seen.back().name, id("Nowhere"));
    node->setState(kNoName, nullptr);  // nothing at all
    EXPECT_EQ(parent->seen.back().name, id("Nowhere"));
}

TEST_F(StateTest, ParentWaitsForEveryDirectChildAndIgnoresOthers) {
    // Three children with the state, of different lengths.
    std::vector<RecordingNode*> kids{node};
    for (int i = 0; i < 2; ++i) {
        auto* kid = new RecordingNode(nullptr, parent, nullptr);
        kid->release();
        kids.push_back(kid);
    }
    const uint32_t lengths[] = {100, 200, 300};
    for (size_t i = 0; i < kids.size(); ++i)
        loadStates(kids[i], "<States><State Name=\"Show\"><Animator Type=\"TestWait\" Duration=\"" +
                                std::to_string(lengths[i]) + "\" /></State></States>");

    parent->enterSubtreeState(id("Show"), nullptr);
    ASSERT_EQ(parent->of(EventId::NodeStateStartedEvent).size(), 1u);
    EXPECT_EQ(parent->getWaitCount(id("Show")), 3);

    // A tag from a node that is not a direct child does not count.
    CountedRef<RecordingNode> stranger(new RecordingNode(nullptr, nullptr, nullptr));
    CountedRef<NodeTagReachedEvent> tag(new NodeTagReachedEvent(stranger.get(), id("Show")));
    parent->handleEvent(tag.get());
    EXPECT_EQ(parent->getWaitCount(id("Show")), 3);

    advance(100);
    advance(100);
    EXPECT_EQ(parent->getWaitCount(id("Show")), 1);
    EXPECT_EQ(parent->of(EventId::NodeStateFinishedEvent).size(), 0u);
    advance(100);
    ASSERT_EQ(parent->of(EventId::NodeStateFinishedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeStateFinishedEvent)[0].name, id("Show"));
    advance(500);
    EXPECT_EQ(parent->of(EventId::NodeStateFinishedEvent).size(), 1u);
    // Unhandled, the finished event also went up to the scene's handler; a
    // plain scene does not handle it. The tag events of the children do not
    // reach the scene.
}

TEST_F(StateTest, AChildWithoutTheStateDoesNotBlockItsParent) {
    auto* second = new RecordingNode(nullptr, parent, nullptr);
    second->release();
    auto* lacking = new RecordingNode(nullptr, parent, nullptr);
    lacking->release();
    loadStates(node, R"(<States><State Name="Out"><Animator Type="TestWait" Duration="100" /></State></States>)");
    loadStates(second, R"(<States><State Name="Out"><Animator Type="TestWait" Duration="200" /></State></States>)");

    parent->enterSubtreeState(id("Out"), nullptr);
    EXPECT_EQ(parent->getWaitCount(id("Out")), 2);  // the lacking child reported at once
    EXPECT_EQ(parent->of(EventId::NodeStateSkippedEvent).size(), 1u);
    advance(100);
    EXPECT_EQ(parent->of(EventId::NodeStateFinishedEvent).size(), 0u);
    advance(100);
    EXPECT_EQ(parent->of(EventId::NodeStateFinishedEvent).size(), 1u);
}

TEST_F(StateTest, ChildlessSubtreeStateStartsAndFinishesAtOnce) {
    node->enterSubtreeState(id("Any"), nullptr);
    EXPECT_EQ(node->typeIds(),
              (std::vector<int32_t>{EventId::NodeStateStartedEvent, EventId::NodeStateFinishedEvent}));
    EXPECT_TRUE(parent->seen.empty());
}

TEST_F(StateTest, ALoopingAnimatorEndsItsStateAfterTheFirstPassAndPlaysOn) {
    loadStates(node, R"(<States>
      <State Name="Spin">
        <Animator Type="TestWait" Name="spin" Duration="100" Loop="true" />
        <EndAnimator Type="TestWait" Name="spin-end" />
      </State>
    </States>)");
    node->setState(id("Spin"), nullptr);
    advance(100);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
    EXPECT_FALSE(journalHas("start spin-end"));
    Base* spin = node->getState(id("Spin"))->findAnimator(id("spin"));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->getTimerScheduler(), scheduler.get());
    advance(300);
    EXPECT_EQ(node->of(EventId::AnimatorEndedEvent).size(), 4u);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
}

TEST_F(StateTest, NextStateChainsThatComeBackStopInsteadOfRecursing) {
    testing_support::LogCapture log;
    // Two states that end at once and name each other, and one that names
    // itself: each chain stops at its first repeat with a logged error.
    loadStates(node, R"(<States>
      <State Name="Ping" NextState="Pong" />
      <State Name="Pong" NextState="Ping" />
      <State Name="Self" NextState="Self" />
      <State Name="One" NextState="Two" />
      <State Name="Two" NextState="Three" />
      <State Name="Three" />
    </States>)");
    node->setState(id("Ping"), nullptr);
    EXPECT_EQ(node->getRunningState(), node->getState(id("Ping")));  // Ping, Pong, Ping, stop
    EXPECT_TRUE(log.hasErrors());
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 3u);

    log.clear();
    node->setState(id("Self"), nullptr);
    EXPECT_EQ(node->getRunningState(), node->getState(id("Self")));
    EXPECT_TRUE(log.hasErrors());

    // A chain without a repeat runs to its end; a later entry may use the
    // same states again.
    log.clear();
    node->setState(id("One"), nullptr);
    EXPECT_EQ(node->getRunningState(), node->getState(id("Three")));
    node->setState(id("One"), nullptr);
    EXPECT_EQ(node->getRunningState(), node->getState(id("Three")));
    EXPECT_FALSE(log.hasErrors());
}

TEST_F(StateTest, NextStateIsEnteredAgainAfterAnAnimatedPass) {
    // A loop through an animated state is not a synchronous chain: each pass
    // waits for the scheduler.
    loadStates(node, R"(<States>
      <State Name="Blink" NextState="Rest" />
      <State Name="Rest" NextState="Blink"><Animator Type="TestWait" Duration="100" /></State>
    </States>)");
    testing_support::LogCapture log;
    node->setState(id("Blink"), nullptr);
    for (int i = 0; i < 3; ++i) advance(100);
    EXPECT_EQ(node->getRunningState(), node->getState(id("Rest")));
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 7u);  // Blink, then 3 x (Rest, Blink)
    EXPECT_FALSE(log.hasErrors());
}

TEST_F(StateTest, AHandledTagStopsTheNextState) {
    loadStates(node, R"(<States>
      <State Name="A" NextState="B" />
      <State Name="B" />
    </States>)");
    parent->handleTags = true;
    node->setState(id("A"), nullptr);
    EXPECT_EQ(node->getRunningState(), node->getState(id("A")));
}

TEST_F(StateTest, AParentMayRemoveTheNodeWhileItReportsItsEnd) {
    loadStates(node, R"(<States>
      <State Name="Die" NextState="Again"><Animator Type="TestWait" Duration="100" /></State>
      <State Name="Again" />
    </States>)");
    parent->onTag = [](RecordingNode& self, NodeTagReachedEvent* event) { self.removeChild(event->getNode()); };
    node->setState(id("Die"), nullptr);
    advance(100);  // the node is destroyed after its handler returns; no next state
    EXPECT_EQ(parent->getChildCount(), 0u);
    EXPECT_EQ(parent->of(EventId::NodeTagReachedEvent).size(), 1u);
}

TEST_F(StateTest, DefaultStatesAreEnteredWhenTheTreeJoinsAScene) {
    CountedRef<RecordingNode> root(new RecordingNode(nullptr, nullptr, nullptr));
    auto* child = new RecordingNode(nullptr, root.get(), nullptr);
    child->release();
    const std::string states = R"(<States>
      <Properties><string Name="DefaultState" Value="Idle" /></Properties>
      <State Name="Idle"><Animator Type="TestWait" Name="idle" Duration="100" /></State>
    </States>)";
    loadStates(root.get(), states);
    loadStates(child, states);
    EXPECT_EQ(root->getDefaultState(), id("Idle"));
    journal().clear();
    parent->addChild(root.get());  // under the attached parent: joins the scene
    EXPECT_EQ(root->getOwnerScene(), scene.get());
    EXPECT_EQ(root->getRunningState(), root->getState(id("Idle")));
    EXPECT_EQ(child->getRunningState(), child->getState(id("Idle")));
    EXPECT_EQ(root->getState(id("Idle"))->getAnimator(0)->getTimerScheduler(), scheduler.get());
    EXPECT_EQ(journal(), (std::vector<std::string>{"start idle", "start idle"}));
}

TEST_F(StateTest, StartingAgainRestartsTheEntry) {
    loadStates(node, kWaitingStates);
    node->setState(id("Wait"), nullptr);
    advance(80);
    node->setState(id("Wait"), nullptr);  // interrupts and starts afresh
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
    EXPECT_TRUE(node->of(EventId::StateEndedEvent)[0].interrupted);
    advance(80);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
    advance(20);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 2u);
    EXPECT_FALSE(node->of(EventId::StateEndedEvent)[1].interrupted);
}

TEST_F(StateTest, ClearStatesDropsStatesWithoutReporting) {
    loadStates(node, kWaitingStates);
    node->setDefaultState(id("Wait"));
    node->setState(id("Wait"), nullptr);
    CountedRef<State> held = CountedRef<State>::share(node->getState(id("Wait")));
    node->clearStates();
    EXPECT_EQ(node->getStates().size(), 0u);
    EXPECT_EQ(node->getRunningState(), nullptr);
    EXPECT_EQ(node->getDefaultState(), kNoName);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 0u);
    EXPECT_EQ(held->getNode(), nullptr);  // no link back to the node
    advance(200);
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 0u);
}

TEST_F(StateTest, StopAllStatesStopsEveryState) {
    loadStates(node, R"(<States>
      <State Name="A"><EndAnimator Type="TestWait" Name="a-end" /></State>
      <State Name="B"><Animator Type="TestWait" Name="b" Duration="100" /></State>
    </States>)");
    node->setState(id("B"), nullptr);
    journal().clear();
    node->stopAllStates(false);
    EXPECT_TRUE(journalHas("start a-end"));
    EXPECT_TRUE(journalHas("stop b"));
    EXPECT_EQ(node->of(EventId::StateEndedEvent).size(), 1u);
}

// ---- The State element ------------------------------------------------------

TEST(StateXml, ReadsListsNamesAndDropsDuplicatesAndUnknownKinds) {
    registerTestKinds();
    testing_support::LogCapture log;
    CountedRef<RecordingNode> node(new RecordingNode(nullptr, nullptr, nullptr));
    loadStates(node.get(), R"(<States>
      <State Name="Empty" />
      <State Name="Full" NextState="Empty">
        <Animator Type="TestWait" Name="one" Duration="10" />
        <Animator Type="NoSuchAnimator" Name="lost" />
        <Animator Type="TestWait" Name="two" Duration="20" />
        <StartAnimator Type="TestWait" Name="begin" />
        <EndAnimator Type="TestWait" />
        <Other />
      </State>
      <State Name="Empty" NextState="Full" />
      <State Name="Last" NextState="" />
    </States>)");
    EXPECT_TRUE(log.contains("NoSuchAnimator"));
    ASSERT_EQ(node->getStates().size(), 3u);
    State* empty = node->getState(id("Empty"));
    EXPECT_EQ(empty->getNextState(), kNoName);  // the first of the two stays
    EXPECT_EQ(node->getState(id("Last"))->getNextState(), kNoName);

    State* full = node->getState(id("Full"));
    EXPECT_EQ(full->getNextState(), id("Empty"));
    EXPECT_EQ(full->getNode(), node.get());
    ASSERT_EQ(full->getAnimatorList(State::Animators).size(), 2u);
    EXPECT_EQ(full->getAnimatorList(State::StartAnimators).size(), 1u);
    EXPECT_EQ(full->getAnimatorList(State::EndAnimators).size(), 1u);
    EXPECT_EQ(full->getAnimatorList(State::EndAnimators)[0]->getName(), kNoName);
    EXPECT_EQ(full->findAnimator(id("two")), full->getAnimator(1));
    EXPECT_EQ(full->findAnimator(id("begin")), nullptr);  // only the animators list
    EXPECT_EQ(full->getAnimator(2), nullptr);
    for (int list = 0; list < 3; ++list) {
        for (uint32_t i = 0; i < full->getAnimatorList(static_cast<State::AnimatorList>(list)).size(); ++i) {
            Base* a = full->getAnimatorList(static_cast<State::AnimatorList>(list))[i];
            EXPECT_EQ(a->getParentState(), full);
            EXPECT_EQ(a->getTarget(), node.get());
        }
    }
    EXPECT_EQ(static_cast<WaitAnimator*>(full->getAnimator(1))->duration, 20u);
}

TEST(StateXml, WritesTheElementWithItsThreeLists) {
    registerTestKinds();
    CountedRef<RecordingNode> node(new RecordingNode(nullptr, nullptr, nullptr));
    loadStates(node.get(), R"(<States>
      <State Name="X" NextState="Y">
        <EndAnimator Type="TestWait" Name="e" Duration="3" />
        <Animator Type="TestWait" Name="a" Duration="1" />
        <StartAnimator Type="TestWait" Name="s" Duration="2" />
      </State>
    </States>)");
    XmlWriter writer;
    node->getState(id("X"))->writeXml(&writer);
    const std::string text = narrowUtf16(writer.getBuffer());
    EXPECT_EQ(text,
              "<State Name=\"X\" NextState=\"Y\">\r\n"
              "\t<Animator Type=\"TestWait\" Name=\"a\" Duration=\"1\" />\r\n"
              "\t<StartAnimator Type=\"TestWait\" Name=\"s\" Duration=\"2\" />\r\n"
              "\t<EndAnimator Type=\"TestWait\" Name=\"e\" Duration=\"3\" />\r\n"
              "</State>\r\n");
}

TEST(StateXml, CloneCopiesNameNextStateAndAnimators) {
    registerTestKinds();
    CountedRef<RecordingNode> node(new RecordingNode(nullptr, nullptr, nullptr));
    loadStates(node.get(), R"(<States>
      <State Name="X" NextState="Y">
        <Animator Type="TestWait" Name="a" Duration="7" />
        <EndAnimator Type="TestWait" Name="e" />
      </State>
    </States>)");
    State* original = node->getState(id("X"));
    CountedRef<State> copy(original->clone());
    EXPECT_EQ(copy->getName(), id("X"));
    EXPECT_EQ(copy->getNextState(), id("Y"));
    EXPECT_EQ(copy->getNode(), nullptr);
    EXPECT_EQ(copy->getReportName(), kNoName);
    ASSERT_NE(copy->getAnimator(0), nullptr);
    EXPECT_NE(copy->getAnimator(0), original->getAnimator(0));
    EXPECT_EQ(copy->getAnimator(0)->getParentState(), copy.get());
    EXPECT_EQ(copy->getAnimator(0)->getTarget(), nullptr);
    EXPECT_EQ(static_cast<WaitAnimator*>(copy->getAnimator(0))->duration, 7u);
    EXPECT_EQ(copy->getAnimatorList(State::EndAnimators).size(), 1u);
    copy->setNode(node.get());
    EXPECT_EQ(copy->getAnimatorList(State::EndAnimators)[0]->getTarget(), node.get());
}

// ---- The animator base ------------------------------------------------------

TEST(AnimatorBase, PlayRegistersOnceAndStopWithNotifyReportsTheEnd) {
    registerTestKinds();
    CountedRef<TimerScheduler> first(new TimerScheduler());
    CountedRef<TimerScheduler> second(new TimerScheduler());
    CountedRef<RecordingNode> node(new RecordingNode(nullptr, nullptr, nullptr));
    CountedRef<State> state(new State(id("S")));
    CountedRef<WaitAnimator> animator(new WaitAnimator());
    animator->duration = 1000;
    state->addAnimator(State::Animators, animator.get());
    node->addState(state.get());

    EXPECT_TRUE(animator->play(first.get()));
    EXPECT_TRUE(animator->isPlaying());
    EXPECT_EQ(animator->getTimerScheduler(), first.get());
    animator->play(second.get());  // moves
    EXPECT_EQ(animator->getTimerScheduler(), second.get());
    first->update(1000);
    EXPECT_EQ(animator->elapsed, 0u);

    animator->stop(false, false);
    EXPECT_EQ(animator->getTimerScheduler(), nullptr);
    EXPECT_EQ(node->of(EventId::AnimatorEndedEvent).size(), 0u);

    animator->play(first.get());
    animator->stop(false, true);
    EXPECT_FALSE(animator->isPlaying());
    ASSERT_EQ(node->of(EventId::AnimatorEndedEvent).size(), 1u);

    // A parent state that does not take node events hears nothing.
    state->setMask(0);
    EXPECT_FALSE(animator->notifyEnded(5, false));
    EXPECT_EQ(node->of(EventId::AnimatorEndedEvent).size(), 1u);
}

TEST(AnimatorBase, CommonAttributesLeadTheElement) {
    CountedRef<WaitAnimator> animator(new WaitAnimator());
    XmlWriter unnamed;
    animator->writeXml(&unnamed, nullptr, L"Animator");
    EXPECT_EQ(narrowUtf16(unnamed.getBuffer()), "<Animator Type=\"TestWait\" Duration=\"0\" />\r\n");
    animator->setName(id("walk"));
    XmlWriter named;
    animator->writeXml(&named, nullptr, L"EndAnimator");
    EXPECT_EQ(narrowUtf16(named.getBuffer()), "<EndAnimator Type=\"TestWait\" Name=\"walk\" Duration=\"0\" />\r\n");
}

TEST(StateNames, PressedIsInternedOnce) {
    EXPECT_EQ(pressedNameId(), makeNameId("Pressed"));
    EXPECT_EQ(pressedNameId(), pressedNameId());
}
