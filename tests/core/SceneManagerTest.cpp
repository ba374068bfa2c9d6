#include "SceneManagerTestSupport.h"

#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

using namespace engine;
using namespace scene_tests;

namespace {

using Strings = std::vector<std::string>;

std::vector<std::string> childNames(const BaseNode* node) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < node->getChildCount(); ++i) names.push_back(nameOf(node->getChild(i)));
    return names;
}

// A stack built and settled: every scene's transition has ended and the
// queue has been delivered.
struct SceneStackTest : SceneManagerFixture {
    // Sets the first scene, pushes the others over it and lets everything
    // settle.
    void build(std::initializer_list<RecordingScene*> scenes) {
        bool first = true;
        for (RecordingScene* scene : scenes) {
            if (first) {
                ASSERT_TRUE(manager->setScene(scene));
            } else {
                ASSERT_TRUE(manager->getTopScene()->pushScene(scene, false));
            }
            first = false;
            settle();
        }
        for (RecordingScene* scene : scenes) scene->seen.clear();
        animatorJournal().clear();
    }
    // Long enough for every transition of these tests to end, then one more
    // delivery for what the ends queued.
    void settle() {
        advance(1000);
        deliver();
    }

    CountedRef<RecordingScene> a = makeScene("A");
    CountedRef<RecordingScene> b = makeScene("B");
    CountedRef<RecordingScene> c = makeScene("C");
    CountedRef<RecordingScene> d = makeScene("D");
};

}  // namespace

// ---- Setting a scene ----------------------------------------------------------------

TEST_F(SceneStackTest, SetSceneMakesTheSceneTheTopAndPlaysItsOpeningTransition) {
    ASSERT_TRUE(manager->setScene(a.get()));

    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_EQ(a->getParent(), manager.get());
    EXPECT_EQ(a->getManager(), manager.get());
    EXPECT_EQ(a->getOwnerScene(), a.get());
    EXPECT_EQ(a->getChild(0)->getOwnerScene(), a.get());
    // Shown, changed, activated; then its subtree enters "NavTo".
    EXPECT_EQ(a->story(), (Strings{"33 Manager", "36 ->A f", "38 ->A f", "72 NavTo"}));
    EXPECT_TRUE(journalHas("start A.NavTo"));
    EXPECT_TRUE(manager->isBusy(a.get()));
    EXPECT_FALSE(a->isFocused());

    advance(150);
    EXPECT_FALSE(manager->isBusy(a.get()));
    EXPECT_TRUE(a->isFocused()) << "the opened scene takes the focus when its transition ends";
    // The end of the transition is queued: it arrives with the next delivery.
    EXPECT_TRUE(a->of("37").empty());
    deliver();
    EXPECT_EQ(a->of("37"), (Strings{"37 ->A f"}));
}

TEST_F(SceneStackTest, SetSceneReplacesTheStackAndTheOldScenesLeaveAtTheNextDelivery) {
    build({a.get(), b.get()});

    ASSERT_TRUE(manager->setScene(c.get()));
    EXPECT_EQ(manager->getTopScene(), c.get());
    // The old scenes are told, through their own handlers only, and play nothing.
    EXPECT_EQ(a->story(), (Strings{"36 A>- f", "38 A>- f"}));
    EXPECT_EQ(b->story(), (Strings{"36 B>- f", "38 B>- f"}));
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "B", "C"}));
    ASSERT_EQ(manager->getTransitions().size(), 1u);
    EXPECT_EQ(manager->getTransitions()[0].secondScene, c.get());

    deliver();
    EXPECT_EQ(childNames(manager.get()), (Strings{"C"}));
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_EQ(a->getManager(), nullptr);
    EXPECT_EQ(b->getParent(), nullptr);
}

TEST_F(SceneStackTest, SetSceneWithTheCurrentSceneKeepsIt) {
    build({a.get()});
    ASSERT_TRUE(manager->setScene(a.get()));
    deliver();
    EXPECT_EQ(childNames(manager.get()), (Strings{"A"}));
    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_EQ(a->getManager(), manager.get());
    settle();
    EXPECT_TRUE(a->isFocused());
}

TEST_F(SceneStackTest, SetSceneWithNullEmptiesTheStack) {
    build({a.get(), b.get()});
    ASSERT_TRUE(manager->setScene(nullptr));
    EXPECT_EQ(manager->getTopScene(), nullptr);
    EXPECT_TRUE(manager->getTransitions().empty());
    deliver();
    EXPECT_EQ(manager->getChildCount(), 0u);
}

TEST_F(SceneStackTest, ASceneWithoutTransitionStatesEndsItsTransitionAtOnce) {
    CountedRef<RecordingScene> bare = makeScene("Bare", 0);
    ASSERT_TRUE(manager->setScene(bare.get()));
    EXPECT_FALSE(manager->isBusy(bare.get()));
    EXPECT_TRUE(bare->isFocused());
}

// ---- Pushing -------------------------------------------------------------------------

TEST_F(SceneStackTest, PushCoversTheTopSceneAndHidesItWhenItsTransitionEnds) {
    build({a.get()});

    ASSERT_TRUE(a->pushScene(b.get(), false));
    EXPECT_EQ(manager->getTopScene(), b.get());
    EXPECT_EQ(b->getSceneBelow(), a.get());
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "B"}));
    EXPECT_FALSE(a->isFocused());
    EXPECT_EQ(a->story(), (Strings{"36 A>B f", "38 A>B f", "72 NavFrom"}));
    EXPECT_EQ(b->story(), (Strings{"33 Manager", "36 A>B f", "38 A>B f", "72 NavTo"}));
    EXPECT_EQ(manager->getTransitions().size(), 2u) << "a move of two scenes is recorded once for each";
    EXPECT_TRUE(manager->isBusy(a.get()));
    EXPECT_TRUE(manager->isBusy(b.get()));
    EXPECT_TRUE(a->isVisible()) << "the covered scene shows until its transition ends";

    advance(150);
    EXPECT_TRUE(manager->getTransitions().empty());
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(a->getTimerScheduler()->isEnabled());
    EXPECT_TRUE(b->isVisible());
    EXPECT_TRUE(b->getTimerScheduler()->isEnabled());
    EXPECT_TRUE(b->isFocused());
    deliver();
    EXPECT_EQ(a->of("37"), (Strings{"37 A>B f"}));
    EXPECT_EQ(b->of("37"), (Strings{"37 A>B f"}));
}

TEST_F(SceneStackTest, PushWithKeepVisibleLeavesTheCoveredSceneShownAndRunning) {
    build({a.get()});
    ASSERT_TRUE(a->pushScene(b.get(), true));
    settle();
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(a->getTimerScheduler()->isEnabled());
    EXPECT_EQ(manager->getTopScene(), b.get());
}

TEST_F(SceneStackTest, PushHidesEverySceneBelowTheCoveredOne) {
    build({a.get()});
    ASSERT_TRUE(a->pushScene(b.get(), true));
    settle();
    ASSERT_TRUE(a->isVisible());
    ASSERT_TRUE(b->pushScene(c.get(), false));
    settle();
    for (RecordingScene* scene : {a.get(), b.get()}) {
        EXPECT_FALSE(scene->isVisible()) << nameOf(scene);
        EXPECT_FALSE(scene->getTimerScheduler()->isEnabled()) << nameOf(scene);
    }
    EXPECT_TRUE(c->isVisible());
}

TEST_F(SceneStackTest, NamedTransitionsReplaceTheDefaults) {
    build({a.get()});
    ASSERT_TRUE(a->pushScene(b.get(), false, id("Slide"), id("Fade")));
    EXPECT_TRUE(a->saw("72 Slide"));
    EXPECT_TRUE(b->saw("72 Fade"));
    EXPECT_FALSE(a->saw("72 NavFrom"));
    EXPECT_FALSE(b->saw("72 NavTo"));
    settle();
    EXPECT_FALSE(a->isVisible()) << "the named covering transition ends the cover as NavFrom would";
    a->seen.clear();
    b->seen.clear();

    ASSERT_TRUE(b->closeScene(0, id("Fade"), id("Slide")));
    EXPECT_TRUE(b->saw("72 Fade"));
    EXPECT_TRUE(a->saw("72 Slide"));
    EXPECT_FALSE(b->saw("72 NavBackFrom"));
    EXPECT_FALSE(a->saw("72 NavBackTo"));
    settle();
    EXPECT_EQ(childNames(manager.get()), (Strings{"A"}));
}

TEST_F(SceneStackTest, APushWhileTheTopIsStillOpeningCutsItsTransitionShort) {
    build({a.get()});
    ASSERT_TRUE(a->pushScene(b.get(), false));
    // B is still playing "NavTo" and A "NavFrom" when C comes over B: both
    // are stopped at their ends first.
    ASSERT_TRUE(b->pushScene(c.get(), false));

    const int cutB = journalIndex("jump B.NavTo");
    const int cutA = journalIndex("jump A.NavFrom");
    const int coverB = journalIndex("start B.NavFrom");
    ASSERT_GE(cutB, 0);
    ASSERT_GE(cutA, 0);
    ASSERT_GE(coverB, 0);
    EXPECT_LT(cutB, coverB);
    EXPECT_LT(cutA, coverB);
    EXPECT_FALSE(a->isVisible()) << "A's cover ended at once";
    // Only the records of the new push remain.
    ASSERT_EQ(manager->getTransitions().size(), 2u);
    EXPECT_EQ(manager->getTransitions()[0].firstScene, b.get());
    EXPECT_EQ(manager->getTransitions()[1].secondScene, c.get());
    settle();
    EXPECT_TRUE(c->isFocused());
    EXPECT_FALSE(b->isVisible());
}

TEST_F(SceneStackTest, PushWithoutATopAddsTheSceneLastWithoutMakingItTheTop) {
    build({a.get()});
    ASSERT_TRUE(manager->pushScene(nullptr, b.get()));
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "B"}));
    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_EQ(b->getSceneBelow(), nullptr);
    EXPECT_EQ(manager->getTransitions().size(), 1u);
}

TEST_F(SceneStackTest, ASceneAlreadyInTheStackCannotBePushedAgain) {
    build({a.get(), b.get()});
    // Pushing A over B would make A the scene below itself: the walks down the
    // stack would never end.
    EXPECT_FALSE(b->pushScene(a.get(), false));
    EXPECT_FALSE(b->pushScene(b.get(), false));
    EXPECT_EQ(manager->getTopScene(), b.get());
    EXPECT_EQ(b->getSceneBelow(), a.get());
    EXPECT_EQ(a->getSceneBelow(), nullptr);
    EXPECT_TRUE(manager->getTransitions().empty());
}

// ---- Popping -------------------------------------------------------------------------

TEST_F(SceneStackTest, CloseRevealsTheSceneBelowAndTheClosedSceneLeavesAfterItsTransition) {
    build({a.get(), b.get()});
    ASSERT_FALSE(a->isVisible());

    ASSERT_TRUE(b->closeScene(0));
    EXPECT_EQ(manager->getTopScene(), a.get());
    // The revealed scene shows and runs again at once.
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(a->getTimerScheduler()->isEnabled());
    EXPECT_EQ(b->story(), (Strings{"36 B>A b", "38 B>A b", "72 NavBackFrom"}));
    EXPECT_EQ(a->story(), (Strings{"36 B>A b", "38 B>A b", "72 NavBackTo"}));
    EXPECT_FALSE(a->isFocused());

    advance(150);
    EXPECT_TRUE(a->isFocused());
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "B"})) << "the closed scene leaves at the next delivery";
    deliver();
    EXPECT_EQ(childNames(manager.get()), (Strings{"A"}));
    EXPECT_EQ(b->of("37"), (Strings{"37 B>A b"})) << "delivered before it left";
    EXPECT_EQ(a->of("37"), (Strings{"37 B>A b"}));
}

TEST_F(SceneStackTest, ClosingOverTwoScenesRemovesTheMiddleOnesFirst) {
    build({a.get(), b.get(), c.get(), d.get()});

    ASSERT_TRUE(d->closeScene(2));
    EXPECT_EQ(d->getSceneBelow(), a.get());
    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_TRUE(b->story().empty()) << "the scenes in between play nothing";

    deliver();
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "D"}));
    EXPECT_FALSE(a->isFocused());
    advance(150);
    EXPECT_TRUE(a->isFocused());
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "D"}));
    deliver();
    EXPECT_EQ(childNames(manager.get()), (Strings{"A"}));
}

TEST_F(SceneStackTest, CloseToSceneTypeClosesDownToTheNearestSceneOfTheKind) {
    CountedRef<OtherScene> other = makeScene<OtherScene>("Other");
    build({a.get(), other.get(), b.get(), c.get()});

    EXPECT_FALSE(c->closeToSceneType(12345)) << "no such kind below";
    EXPECT_EQ(manager->getTopScene(), c.get());
    EXPECT_TRUE(manager->getTransitions().empty());

    ASSERT_TRUE(c->closeToSceneType(OtherScene::kTypeId));
    EXPECT_EQ(manager->getTopScene(), other.get());
    settle();
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "Other"}));
}

// ---- Refusals ----------------------------------------------------------------------------

TEST_F(SceneStackTest, RequestsAreRefusedWithoutChanges) {
    CountedRef<TemplateCollectionNode> templates(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    CountedRef<BaseNode> boxTemplate(new BaseNode(nullptr, nullptr, nullptr));
    boxTemplate->setName(id("Box"));
    templates->addTemplate(boxTemplate.get());
    manager->setTemplateCollection(templates.get());
    build({a.get(), b.get()});

    const CountedRef<RecordingScene> outsider = makeScene("Outsider");
    const array<stringw> none;
    struct Case {
        const char* what;
        std::function<bool()> attempt;
    };
    // The stack A, B at rest, or with C pushed over B and both still moving.
    const auto check = [&](const std::vector<Case>& cases, SceneNode* top, const Strings& children,
                           size_t transitions) {
        for (const Case& test : cases) {
            SCOPED_TRACE(test.what);
            EXPECT_FALSE(test.attempt());
            EXPECT_EQ(manager->getTopScene(), top);
            EXPECT_EQ(childNames(manager.get()), children);
            EXPECT_EQ(manager->getTransitions().size(), transitions);
            EXPECT_EQ(b->getSceneBelow(), a.get());
            EXPECT_TRUE(b->isVisible());
        }
    };

    check(
        {
            {"pushing null", [&] { return manager->pushScene(b.get(), nullptr); }},
            {"closing past the bottom", [&] { return b->closeScene(5); }},
            {"popping to a scene not below", [&] { return manager->popScenes(b.get(), outsider.get()); }},
            {"popping without a target", [&] { return manager->popScenes(b.get(), nullptr); }},
            {"popping a null scene", [&] { return manager->popScenes(nullptr, a.get()); }},
            {"popping upwards", [&] { return manager->popScenes(a.get(), b.get()); }},
            {"a message box without an owner",
             [&] { return manager->showMessageBox(nullptr, id("Box"), none, L"", L"") != nullptr; }},
            {"a message box of a missing template",
             [&] { return manager->showMessageBox(b.get(), id("NoSuchBox"), none, L"", L"") != nullptr; }},
        },
        b.get(), Strings{"A", "B"}, 0u);

    // While C opens over B, both are busy until both transitions end.
    ASSERT_TRUE(b->pushScene(c.get(), true));
    check(
        {
            {"pushing a busy scene", [&] { return manager->pushScene(nullptr, c.get()); }},
            {"setting a busy scene", [&] { return manager->setScene(c.get()); }},
            {"closing a scene that is still opening", [&] { return c->closeScene(0); }},
            {"popping onto a busy scene", [&] { return manager->popScenes(c.get(), b.get()); }},
            {"a message box over a busy owner",
             [&] { return manager->showMessageBox(c.get(), id("Box"), none, L"", L"") != nullptr; }},
        },
        c.get(), Strings{"A", "B", "C"}, 2u);
}

// ---- Message boxes ---------------------------------------------------------------------

struct MessageBoxTest : SceneStackTest {
    void SetUp() override {
        SceneStackTest::SetUp();
        CountedRef<BaseNode> boxTemplate(new BaseNode(nullptr, nullptr, nullptr));
        boxTemplate->setName(id("Question"));
        boxTemplate->setBounds(vector3df(200.0f, 100.0f, 0.0f));
        auto* body = new BaseNode(nullptr, boxTemplate.get(), nullptr);
        body->setName(id("Body"));
        body->release();
        loadStates(body, transitionStates("Box", 100));
        templates->addTemplate(boxTemplate.get());
        manager->setTemplateCollection(templates.get());

        a->setPosition(vector3df(10.0f, 20.0f, 5.0f));
        probe = new InputProbe(nullptr, a.get(), nullptr);
        probe->setName(id("OwnerProbe"));
        probe->release();
        build({a.get()});
    }
    TestMessageBox* show() {
        array<stringw> buttons;
        buttons.push_back(L"Yes");
        buttons.push_back(L"No");
        return dynamic_cast<TestMessageBox*>(a->showMessageBox(id("Question"), buttons, L"Title", L"Body text"));
    }
    bool click() {
        CountedRef<LeftButtonDownEvent> click(new LeftButtonDownEvent(1, 1));
        return manager->deliver(DeliveryMode::HandleThenChildren, click.get());
    }

    CountedRef<TemplateCollectionNode> templates{new TemplateCollectionNode(nullptr, nullptr, nullptr)};
    InputProbe* probe = nullptr;
};

TEST_F(MessageBoxTest, TheBoxIsCentredOnItsOwnerAndGetsTheTemplateAndTexts) {
    TestMessageBox* box = show();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getTypeId(), 7);
    EXPECT_EQ(box->getTemplateName(), id("Question"));
    EXPECT_EQ(box->getBounds(), vector3df(200.0f, 100.0f, 0.0f));
    EXPECT_EQ(box->getPosition(), vector3df(10.0f + 400.0f, 20.0f + 350.0f, 5.0f));
    EXPECT_EQ(box->title, stringw(L"Title"));
    EXPECT_EQ(box->body, stringw(L"Body text"));
    ASSERT_EQ(box->buttons.size(), 2u);
    EXPECT_EQ(box->buttons[1], stringw(L"No"));
    EXPECT_NE(box->getTemplateRoot(), nullptr) << "the template was applied";

    EXPECT_EQ(manager->getTopScene(), box);
    EXPECT_EQ(box->getSceneBelow(), a.get());
    EXPECT_EQ(childNames(manager.get()), (Strings{"A", "Box"}));
    EXPECT_EQ(box->getRefCount(), 1) << "only the owner's parent holds the box";
    EXPECT_NE(box->getTimerScheduler(), nullptr);
    // Shown, with no change or activation events for anyone; the owner plays nothing.
    EXPECT_EQ(box->of("33"), (Strings{"33 Manager"}));
    EXPECT_TRUE(box->of("36").empty());
    EXPECT_TRUE(a->story().empty());
    EXPECT_TRUE(journalHas("start Box.NavTo"));
}

TEST_F(MessageBoxTest, TheOwnerStaysVisibleAndInputGoesOnlyToTheBox) {
    ASSERT_TRUE(a->isFocused());
    TestMessageBox* box = show();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(a->isFocused());

    EXPECT_FALSE(click()) << "input waits for the box to open";
    EXPECT_TRUE(trace().empty());
    settle();
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(a->getTimerScheduler()->isEnabled());
    EXPECT_TRUE(box->isFocused());
    click();
    EXPECT_EQ(trace(), (Strings{"Box"}));
}

TEST_F(MessageBoxTest, ClosingTheBoxTellsTheOwnerTheResult) {
    CountedRef<TestMessageBox> box = CountedRef<TestMessageBox>::share(show());
    ASSERT_TRUE(box);
    settle();
    a->seen.clear();
    box->seen.clear();
    box->result = 1;
    ASSERT_TRUE(box->closeScene(0));
    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_EQ(a->story(), Strings{}) << "the owner plays no transition and gets no change events";
    EXPECT_EQ(manager->getTransitions().size(), 1u);

    settle();
    EXPECT_EQ(a->story(), (Strings{"39 1"}));
    EXPECT_TRUE(box->of("37").empty()) << "a closing box ends with the result, not a transition end";
    EXPECT_EQ(childNames(manager.get()), (Strings{"A"}));
    EXPECT_FALSE(a->isFocused()) << "the owner's handler decides what follows";
}

TEST_F(MessageBoxTest, WithoutAMessageBoxKindNothingIsShown) {
    testing_support::LogCapture log;
    SceneManager::setMessageBoxMaker(nullptr);
    EXPECT_EQ(show(), nullptr);
    EXPECT_TRUE(log.hasErrors());
    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_EQ(childNames(manager.get()), (Strings{"A"}));
}

// ---- The event queue -------------------------------------------------------------------

namespace {

// Writes its name into the trace when handed an event; may post more from
// inside its handler.
class QueueProbe : public EventReceiver {
public:
    explicit QueueProbe(std::string name, bool* destroyed = nullptr) : name(std::move(name)), destroyed(destroyed) {
        setMask(EventCategory::Node);
    }
    ~QueueProbe() override {
        if (destroyed) *destroyed = true;
    }
    bool handleEvent(Event*) override {
        trace().push_back(name);
        if (onHandle) onHandle();
        return false;
    }
    std::string name;
    bool* destroyed;
    std::function<void()> onHandle;
};

CountedRef<Event> nodeEvent() { return CountedRef<Event>(new NodeEvent(nullptr)); }

}  // namespace

TEST_F(SceneManagerFixture, QueuedEventsAreDeliveredOldestFirstAndEventsPostedMeanwhileComeNext) {
    CountedRef<QueueProbe> first(new QueueProbe("first"));
    CountedRef<QueueProbe> second(new QueueProbe("second"));
    CountedRef<QueueProbe> third(new QueueProbe("third"));
    CountedRef<QueueProbe> echo(new QueueProbe("echo"));
    CountedRef<QueueProbe> echoOfEcho(new QueueProbe("echo of echo"));
    first->onHandle = [&] { manager->postEvent(echo.get(), DeliveryMode::HandleOnly, nodeEvent().get()); };
    echo->onHandle = [&] { manager->postEvent(echoOfEcho.get(), DeliveryMode::HandleOnly, nodeEvent().get()); };

    manager->postEvent(first.get(), DeliveryMode::HandleOnly, nodeEvent().get());
    manager->postEvent(second.get(), DeliveryMode::HandleOnly, nodeEvent().get());
    manager->postEvent(third.get(), DeliveryMode::HandleOnly, nodeEvent().get());
    EXPECT_TRUE(trace().empty()) << "nothing is delivered before the next update";
    EXPECT_EQ(manager->getQueuedEventCount(), 3u);

    deliver();
    EXPECT_EQ(trace(), (Strings{"first", "echo", "echo of echo", "second", "third"}));
    EXPECT_EQ(manager->getQueuedEventCount(), 0u);
}

TEST_F(SceneManagerFixture, TheQueueHoldsTheEventAndTheReceiverUntilDelivery) {
    bool destroyed = false;
    auto* receiver = new QueueProbe("short-lived", &destroyed);
    auto* event = new NodeEvent(nullptr);
    manager->postEvent(receiver, DeliveryMode::HandleOnly, event);
    EXPECT_EQ(event->getRefCount(), 2);
    // Whoever posted lets go before the delivery.
    receiver->release();
    event->release();
    EXPECT_FALSE(destroyed);

    deliver();
    EXPECT_EQ(trace(), (Strings{"short-lived"}));
    EXPECT_TRUE(destroyed) << "the queue's reference went with the delivery";
}

TEST_F(SceneManagerFixture, AManagerThatGoesWithEventsQueuedReleasesThem) {
    bool destroyed = false;
    auto* receiver = new QueueProbe("never delivered", &destroyed);
    manager->postEvent(receiver, DeliveryMode::HandleOnly, nodeEvent().get());
    receiver->release();
    manager->setTimerScheduler(nullptr);
    manager.reset();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(trace().empty());
}

TEST_F(SceneStackTest, NodesPostThroughTheirManagersQueue) {
    build({a.get()});
    CountedRef<QueueProbe> target(new QueueProbe("target"));
    a->getChild(0)->postEvent(target.get(), DeliveryMode::HandleOnly, nodeEvent().get());
    EXPECT_EQ(manager->getQueuedEventCount(), 1u);
    deliver();
    EXPECT_EQ(trace(), (Strings{"target"}));
}

// ---- Routing ------------------------------------------------------------------------------

namespace {

// Scene S: children P (with child P1) and Q, all input probes.
struct InputRoutingTest : SceneStackTest {
    void SetUp() override {
        SceneStackTest::SetUp();
        p = new InputProbe(nullptr, a.get(), nullptr);
        p->setName(id("P"));
        p->release();
        p1 = new InputProbe(nullptr, p, nullptr);
        p1->setName(id("P1"));
        p1->release();
        q = new InputProbe(nullptr, a.get(), nullptr);
        q->setName(id("Q"));
        q->release();
        auto* other = new InputProbe(nullptr, b.get(), nullptr);
        other->setName(id("BProbe"));
        other->release();
    }
    bool sendInput() {
        trace().clear();
        CountedRef<LeftButtonDownEvent> event(new LeftButtonDownEvent(5, 5));
        // The device offers input to the first manager with mode 1.
        return manager->deliver(DeliveryMode::HandleThenChildren, event.get());
    }

    InputProbe* p = nullptr;
    InputProbe* p1 = nullptr;
    InputProbe* q = nullptr;
};

}  // namespace

TEST_F(InputRoutingTest, InputGoesToTheTopScenesSubtreeDeepestFirstThenToTheScene) {
    build({a.get()});
    // The scene's own children run last to first; a child's children before it.
    EXPECT_FALSE(sendInput());
    EXPECT_EQ(trace(), (Strings{"Q", "P1", "P", "A"}));

    p1->takes = true;
    EXPECT_TRUE(sendInput());
    EXPECT_EQ(trace(), (Strings{"Q", "P1"})) << "the first node that takes it ends the walk";
}

TEST_F(InputRoutingTest, OnlyTheTopSceneGetsInputAndNotDuringItsTransition) {
    build({a.get()});
    ASSERT_TRUE(a->pushScene(b.get(), true));
    EXPECT_FALSE(sendInput());
    EXPECT_TRUE(trace().empty()) << "input is dropped while the top scene opens";

    settle();
    sendInput();
    EXPECT_EQ(trace(), (Strings{"BProbe", "B"})) << "the covered scene, still visible, gets none";
}

TEST_F(InputRoutingTest, OtherEventsGoToEverySceneBottomFirstUntilOneTakesIt) {
    build({a.get(), b.get()});
    CountedRef<Event> event = nodeEvent();
    EXPECT_FALSE(manager->routeToChildren(DeliveryMode::HandleOnly, event.get()));
    EXPECT_EQ(a->of("7"), (Strings{"7 -"}));
    EXPECT_EQ(b->of("7"), (Strings{"7 -"}));

    a->handles.insert(EventId::NodeEvent);
    EXPECT_TRUE(manager->routeToChildren(DeliveryMode::HandleOnly, event.get()));
    EXPECT_EQ(a->of("7").size(), 2u);
    EXPECT_EQ(b->of("7").size(), 1u);
}

TEST_F(SceneManagerFixture, UpwardRoutesEndAtTheManager) {
    CountedRef<Event> event = nodeEvent();
    EXPECT_TRUE(manager->routeToParent(DeliveryMode::HandleThenParent, event.get()));

    CountedRef<node_tests::RecordingNode> parent(new node_tests::RecordingNode(nullptr, nullptr, nullptr));
    manager->setParent(parent.get());
    EXPECT_FALSE(manager->routeToParent(DeliveryMode::HandleOnly, event.get()));
    EXPECT_EQ(parent->of(EventId::NodeEvent).size(), 1u);
    manager->setParent(nullptr);
}

TEST_F(SceneManagerFixture, AManagerInsideAnotherKeepsSceneSetUpEventsToItself) {
    CountedRef<SceneManager> inner(new SceneManager(nullptr, nullptr, manager.get()));
    CountedRef<RecordingScene> scene = makeScene("Inner", 0);
    inner->addChild(scene.get());
    for (int32_t typeId : {EventId::SceneShownEvent, EventId::NodeEvent34}) {
        CountedRef<Event> event(typeId == EventId::SceneShownEvent ? static_cast<Event*>(new SceneShownEvent(manager.get()))
                                                                 : new NodeEvent34(nullptr));
        EXPECT_FALSE(inner->routeToChildren(DeliveryMode::HandleThenChildren, event.get()));
    }
    EXPECT_TRUE(scene->seen.empty());
    CountedRef<Event> other = nodeEvent();
    inner->routeToChildren(DeliveryMode::HandleOnly, other.get());
    EXPECT_EQ(scene->seen, (Strings{"7 -"}));
}

// ---- Scene shown and template events ------------------------------------------------------

TEST_F(SceneStackTest, SceneShownGoesToTheSceneAndWhenUnhandledToItsSubtree) {
    for (bool handled : {false, true}) {
        SCOPED_TRACE(handled ? "the scene takes it" : "the scene leaves it");
        CountedRef<RecordingScene> scene = makeScene(handled ? "Taker" : "Leaver", 0);
        CountedRef<node_tests::RecordingNode> child(new node_tests::RecordingNode(nullptr, nullptr, nullptr));
        scene->addChild(child.get());
        if (handled) scene->handles.insert(EventId::SceneShownEvent);
        ASSERT_TRUE(manager->setScene(scene.get()));
        EXPECT_EQ(scene->of("33"), (Strings{"33 Manager"}));
        const auto shown = child->of(EventId::SceneShownEvent);
        EXPECT_EQ(shown.size(), handled ? 0u : 1u);
        if (!shown.empty()) {
            EXPECT_EQ(shown[0].node, manager.get());
        }
        deliver();
    }
}

TEST_F(SceneStackTest, ANewTemplateCollectionReachesEverySceneAndItsNodes) {
    build({a.get(), b.get()});
    CountedRef<node_tests::RecordingNode> child(new node_tests::RecordingNode(nullptr, nullptr, nullptr));
    a->addChild(child.get());
    CountedRef<TemplateCollectionNode> templates(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    templates->setName(id("Templates"));

    manager->setTemplateCollection(templates.get());
    EXPECT_EQ(manager->getTemplateCollection(), templates.get());
    EXPECT_EQ(a->of("34"), (Strings{"34 Templates"}));
    EXPECT_EQ(b->of("34"), (Strings{"34 Templates"}));
    ASSERT_EQ(child->of(EventId::NodeEvent34).size(), 1u);

    manager->setTemplateCollection(nullptr);
    EXPECT_EQ(a->of("34").size(), 1u) << "taking the collection away sends nothing";
    EXPECT_EQ(manager->getTemplateCollection(), nullptr);
}

// ---- Per-scene timer schedulers ---------------------------------------------------------

TEST_F(SceneStackTest, EveryOpenedSceneGetsItsOwnSchedulerRegisteredAfterTheOtherReceivers) {
    build({a.get(), b.get()});
    TimerScheduler* first = a->getTimerScheduler();
    TimerScheduler* second = b->getTimerScheduler();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(registry.orderOf(first), SceneManager::kSceneSchedulerOrder);
    EXPECT_EQ(registry.orderOf(second), SceneManager::kSceneSchedulerOrder);
    EXPECT_EQ(manager->getSceneSchedulerCount(), 2u);
    // The states of the scene's nodes play on it.
    EXPECT_EQ(a->getChild(0)->getOwnerScene()->getTimerScheduler(), first);
}

TEST_F(SceneStackTest, ACoveredSceneStopsItsSchedulerUntilItIsRevealed) {
    build({a.get(), b.get()});
    EXPECT_FALSE(a->getTimerScheduler()->isEnabled());
    ASSERT_TRUE(b->closeScene(0));
    EXPECT_TRUE(a->getTimerScheduler()->isEnabled()) << "at once, before the transitions end";
}

TEST_F(SceneStackTest, ASceneSchedulerLeavesTheDeviceWithItsScene) {
    build({a.get(), b.get()});
    CountedRef<TimerScheduler> bScheduler = CountedRef<TimerScheduler>::share(b->getTimerScheduler());
    ASSERT_TRUE(b->closeScene(0));
    settle();
    EXPECT_EQ(registry.find(bScheduler.get()), -1);
    EXPECT_EQ(b->getTimerScheduler(), nullptr);
    EXPECT_EQ(bScheduler->getRefCount(), 1) << "only this test still holds it";
    EXPECT_EQ(manager->getSceneSchedulerCount(), 1u);
    EXPECT_EQ(sceneSchedulersRegistered(), 1u);
}

TEST_F(SceneStackTest, OpeningAndClosingScenesDoesNotGrowTheDevicesReceivers) {
    build({a.get()});
    const size_t receivers = registry.entries.size();
    for (int round = 0; round < 20; ++round) {
        CountedRef<RecordingScene> dialog = makeScene("Dialog");
        ASSERT_TRUE(a->pushScene(dialog.get(), false));
        settle();
        ASSERT_TRUE(dialog->closeScene(0));
        settle();
    }
    EXPECT_EQ(registry.entries.size(), receivers);
    ASSERT_TRUE(manager->setScene(b.get()));
    settle();
    EXPECT_EQ(sceneSchedulersRegistered(), 1u) << "replaced scenes take theirs along too";
    EXPECT_GE(registry.find(b->getTimerScheduler()), 0);
}

TEST_F(SceneStackTest, AManagerThatGoesTakesItsSceneSchedulersOffTheDevice) {
    build({a.get(), b.get()});
    ASSERT_EQ(sceneSchedulersRegistered(), 2u);
    manager->setTimerScheduler(nullptr);
    manager.reset();
    EXPECT_EQ(sceneSchedulersRegistered(), 0u);
    EXPECT_EQ(a->getParent(), nullptr);
    // A scene kept elsewhere keeps a scheduler it can still point at.
    ASSERT_NE(a->getTimerScheduler(), nullptr);
    EXPECT_FALSE(a->getTimerScheduler()->isEnabled());
}

namespace {

// A scene that can be a timer on its own scene scheduler, as the level is.
class TimedScene : public RecordingScene, public TimerListener {
public:
    explicit TimedScene(bool* destroyed) : RecordingScene(nullptr, nullptr, nullptr), destroyed_(destroyed) {}
    ~TimedScene() override { *destroyed_ = true; }
    bool onTimer(uint32_t) override { return true; }

private:
    bool* destroyed_;
};

}  // namespace

TEST_F(SceneManagerFixture, AManagerThatGoesLetsGoOfASceneTimedOnItsOwnScheduler) {
    bool destroyed = false;
    CountedRef<TimedScene> scene(new TimedScene(&destroyed));
    ASSERT_TRUE(manager->setScene(scene.get()));
    TimerScheduler* own = scene->SceneNode::getTimerScheduler();
    ASSERT_NE(own, nullptr);
    scene->TimerListener::setTimerScheduler(own);
    manager->setTimerScheduler(nullptr);
    manager.reset();
    EXPECT_EQ(scene->TimerListener::getTimerScheduler(), nullptr);
    EXPECT_EQ(scene->getRefCount(), 1) << "only the test holds it";
    scene.reset();
    EXPECT_TRUE(destroyed);
}

// ---- Hover after a transition ------------------------------------------------------------

namespace {

struct FixedCursor : ICursorPositionSource {
    bool getCursorPosition(int32_t& x, int32_t& y) const override {
        x = 12;
        y = 34;
        return true;
    }
};

}  // namespace

TEST_F(InputRoutingTest, WhenATransitionEndsTheSceneHearsWhereTheCursorIs) {
    FixedCursor cursor;
    for (bool withCursor : {false, true}) {
        SCOPED_TRACE(withCursor ? "with a cursor" : "without a cursor");
        manager->setCursorPositionSource(withCursor ? &cursor : nullptr);
        a->seen.clear();
        ASSERT_TRUE(manager->setScene(a.get()));
        trace().clear();
        deliver();
        EXPECT_TRUE(trace().empty()) << "nothing while the scene opens";
        advance(150);
        deliver();
        if (withCursor) {
            // Its subtree first, then the scene: hover states follow a cursor that did not move.
            EXPECT_EQ(trace(), (Strings{"Q", "P1", "P", "A"}));
            EXPECT_TRUE(a->saw("20"));
        } else {
            EXPECT_TRUE(trace().empty());
        }
    }
    manager->setCursorPositionSource(nullptr);
}

// ---- The manager as a node ---------------------------------------------------------------

TEST_F(SceneStackTest, AManagerTakesInputAndItsCloneHasNoScenes) {
    EXPECT_TRUE(manager->takesCategory(EventCategory::Keyboard));
    EXPECT_TRUE(manager->takesCategory(EventCategory::Mouse));
    EXPECT_TRUE(manager->takesCategory(EventCategory::Node));
    EXPECT_TRUE(manager->takesCategory(EventCategory::System));
    EXPECT_EQ(manager->getTypeId(), 22);
    EXPECT_TRUE(manager->isOfType(0));
    EXPECT_FALSE(manager->isOfType(6));

    build({a.get(), b.get()});
    manager->setPosition(vector3df(0.0f, 0.0f, -4000.0f));
    manager->postEvent(a.get(), DeliveryMode::HandleOnly, CountedRef<Event>(new NodeEvent(nullptr)).get());
    CountedRef<BaseNode> copy(manager->clone(nullptr, nullptr));
    SceneManager* clone = nodeCast<SceneManager>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getName(), id("Manager"));
    EXPECT_EQ(clone->getPosition(), vector3df(0.0f, 0.0f, -4000.0f));
    EXPECT_EQ(clone->getChildCount(), 0u);
    EXPECT_EQ(clone->getTopScene(), nullptr);
    EXPECT_TRUE(clone->getTransitions().empty());
    EXPECT_EQ(clone->getQueuedEventCount(), 0u);
    EXPECT_EQ(manager->getChildCount(), 2u);
}
