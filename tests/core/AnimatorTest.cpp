#include "NodeTestSupport.h"

#include "engine/core/KeyFrame.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SetProps.h"
#include "engine/core/SetStates.h"
#include "engine/core/State.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace node_tests;

namespace {

NameId id(const char* name) { return makeNameId(name); }

// A node with a float "Alpha" and a string "Label" in its property table. It
// records the looped flag of every animator end and counts the state ends its
// states report to it.
class AlphaNode : public BaseNode {
    ENGINE_NODE_TYPE(AlphaNode, BaseNode, 1950)

public:
    AlphaNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }

    const PropertyTable& getPropertyTable() const override {
        static const PropertyTable table = [] {
            PropertyTable t;
            appendPropertyTable(t, BaseNode::classPropertyTable());
            t.add(
                "Alpha",
                [](PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
                    auto& node = static_cast<AlphaNode&>(o);
                    const auto* data = dynamic_cast<const CPropertyDataFloat*>(v.get());
                    node.alpha = data ? data->value : 0.0f;
                    ++node.alphaSets;
                },
                [](PropertyTableOwner& o) {
                    return CountedRef<IPropertyData>(makeFloatProperty(static_cast<AlphaNode&>(o).alpha));
                });
            t.add(
                "Label",
                [](PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
                    static_cast<AlphaNode&>(o).label = propertyDataToString(v);
                },
                [](PropertyTableOwner& o) {
                    return CountedRef<IPropertyData>(makeStringProperty(static_cast<AlphaNode&>(o).label));
                });
            return t;
        }();
        return table;
    }

    bool handleEvent(Event* event) override {
        if (auto* ended = dynamic_cast<AnimatorEndedEvent*>(event)) animatorEnds.push_back(ended->isLooped());
        if (event->getTypeId() == EventId::StateEndedEvent) ++stateEnds;
        return BaseNode::handleEvent(event);
    }

    float alpha = -1.0f;
    int alphaSets = 0;
    stringc label;
    std::vector<bool> animatorEnds;
    int stateEnds = 0;
};

void registerKinds() {
    registerTestKinds();
    static const bool done = getNodeFactory().registerNodeKind(L"AlphaNode", &createNodeOf<AlphaNode>);
    (void)done;
}

// Reads the first element named `element` of the text as an animator of kind
// T. The reader must be left on that element's end: `afterwards` receives the
// name of the next element start, if any.
template <class T>
CountedRef<T> readAnimator(const std::string& xml, std::wstring* afterwards = nullptr,
                           const wchar_t* element = L"Animator") {
    XmlReader reader(xml.data(), xml.size(), "animator");
    CountedRef<T> animator(new T());
    bool found = false;
    while (reader.read()) {
        if (reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == element) {
            // As a state reads its animators: the name first, then the content.
            animator->setName(makeNameId(reader.getAttributeValue(L"Name")));
            animator->readXml(&reader, nullptr, nullptr, element);
            found = true;
            break;
        }
    }
    EXPECT_TRUE(found);
    if (afterwards) {
        afterwards->clear();
        while (reader.read()) {
            if (reader.getNodeType() == irr::io::EXN_ELEMENT) {
                *afterwards = reader.getNodeName().c_str();
                break;
            }
        }
    }
    return animator;
}

template <class T>
std::string writeAnimator(T* animator, const wchar_t* element = L"Animator") {
    XmlWriter writer;
    animator->writeXml(&writer, nullptr, element);
    return narrowUtf16(writer.getBuffer());
}

// 0 -> 100 -> 0 over two seconds; the blend of the second key is given.
std::string fadeCurve(const char* secondBlend = "i=\"0\"", const char* extra = "") {
    return std::string("<Animator Type=\"KeyFrame\" Name=\"curve\" ") + extra +
           ">\n"
           "  <Properties><float Name=\"Alpha\" Value=\"0\" /></Properties>\n"
           "  <KeyFrame t=\"0\" Value0=\"0\" />\n"
           "  <KeyFrame t=\"1000\" " +
           secondBlend +
           " Value0=\"100\" />\n"
           "  <KeyFrame t=\"1000\" i=\"0\" Value0=\"0\" />\n"
           "</Animator>";
}

// scene -> parent -> node; the scene's scheduler plays the node's states.
struct KeyFrameTest : testing::Test {
    void SetUp() override {
        registerKinds();
        scene->scheduler = scheduler.get();
        parent = new RecordingNode(nullptr, scene.get(), nullptr);
        parent->release();
        node = new AlphaNode(nullptr, parent, nullptr);
        node->release();
        scene->attach(nullptr, scene.get());
    }

    // Gives the node a state holding the animator (read from the text) in
    // its animators list; returns the animator.
    template <class T = KeyFrame>
    T* addState(const std::string& xml, const char* name = "Fade", const char* next = nullptr) {
        CountedRef<T> animator = readAnimator<T>(xml);
        CountedRef<State> state(new State(id(name)));
        if (next) state->setNextState(id(next));
        state->addAnimator(State::Animators, animator.get());
        node->addState(state.get());
        return animator.get();
    }

    std::vector<NameId> tags() const {
        std::vector<NameId> out;
        for (const Seen& s : parent->of(EventId::NodeTagReachedEvent)) out.push_back(s.name);
        return out;
    }

    CountedRef<TimerScheduler> scheduler{new TimerScheduler()};
    CountedRef<TestScene> scene{new TestScene(nullptr, nullptr, nullptr)};
    RecordingNode* parent = nullptr;
    AlphaNode* node = nullptr;
};

}  // namespace

// ---- A scene file driven by a scheduler ------------------------------------------

TEST(AnimatedSceneFile, KeyFramesGiveTheValuesOverTimeThenTheNextStateIsEntered) {
    registerKinds();
    CountedRef<BaseNode> root(readSceneText(R"(<?xml version="1.0"?>
<SceneNode Type="TestScene">
  <SceneNode Type="RecordingNode">
    <Properties><string Name="Name" Value="Holder" /></Properties>
    <SceneNode Type="AlphaNode">
      <Properties><string Name="Name" Value="Lamp" /></Properties>
      <States>
        <State Name="Fade" NextState="Done">
          <StartAnimator Type="SetProps"><string Name="Label" Value="fading" /></StartAnimator>
          <Animator Type="KeyFrame" Name="curve">
            <Properties><float Name="Alpha" Value="0" /></Properties>
            <KeyFrame t="0" Value0="0" />
            <KeyFrame t="1000" i="0" Value0="100" />
            <KeyFrame t="1000" i="0" Value0="0" />
          </Animator>
          <EndAnimator Type="SetProps"><string Name="Label" Value="faded" /></EndAnimator>
        </State>
        <State Name="Done">
          <StartAnimator Type="SetProps"><Properties><bool Name="Visible" Value="false" /></Properties></StartAnimator>
        </State>
      </States>
    </SceneNode>
  </SceneNode>
</SceneNode>)"));
    auto* scene = nodeCast<TestScene>(root.get());
    ASSERT_NE(scene, nullptr);
    auto* holder = nodeCast<RecordingNode>(scene->findChild(id("Holder")));
    auto* lamp = nodeCast<AlphaNode>(scene->findChild(id("Lamp")));
    ASSERT_NE(holder, nullptr);
    ASSERT_NE(lamp, nullptr);
    CountedRef<TimerScheduler> scheduler(new TimerScheduler());
    scene->scheduler = scheduler.get();
    scene->attach(nullptr, scene);

    lamp->setState(id("Fade"), nullptr);
    EXPECT_EQ(lamp->label, stringc("fading"));
    auto* curve = animatorCast<KeyFrame>(lamp->getState(id("Fade"))->getAnimator(0));
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->getDuration(), 2000u);

    const struct {
        uint32_t at;  // ms since the state was entered
        float alpha;
    } times[] = {{0, 0.0f}, {500, 50.0f}, {1000, 100.0f}, {1500, 50.0f}, {1980, 2.0f}};
    uint32_t now = 0;
    for (const auto& t : times) {
        scheduler->update(t.at - now);
        now = t.at;
        EXPECT_NEAR(lamp->alpha, t.alpha, 1e-3f) << t.at;
        EXPECT_EQ(curve->getPosition(), t.at) << t.at;
        EXPECT_EQ(curve->getTimerScheduler(), scheduler.get()) << t.at;
        EXPECT_TRUE(lamp->animatorEnds.empty()) << t.at;
    }
    EXPECT_TRUE(lamp->isVisible());

    scheduler->update(20);
    EXPECT_FLOAT_EQ(lamp->alpha, 0.0f);
    EXPECT_EQ(lamp->animatorEnds, std::vector<bool>{false});
    EXPECT_EQ(curve->getTimerScheduler(), nullptr);
    EXPECT_FALSE(curve->isPlaying());
    EXPECT_EQ(lamp->label, stringc("faded"));
    // The end of "Fade" reached the holder, then "Done" was entered and ended
    // at once (it has nothing to await).
    std::vector<NameId> tags;
    for (const Seen& s : holder->of(EventId::NodeTagReachedEvent)) tags.push_back(s.name);
    EXPECT_EQ(tags, (std::vector<NameId>{id("Fade"), id("Done")}));
    ASSERT_NE(lamp->getRunningState(), nullptr);
    EXPECT_EQ(lamp->getRunningState()->getName(), id("Done"));
    EXPECT_FALSE(lamp->isVisible());

    scheduler->update(1000);
    EXPECT_EQ(lamp->animatorEnds.size(), 1u);
}

// ---- KeyFrame playing ----------------------------------------------------------------

TEST_F(KeyFrameTest, BlendedAndSteppedSegments) {
    const struct {
        const char* blend;
        std::vector<std::pair<uint32_t, float>> values;  // (ms since entry, alpha)
    } cases[] = {
        {"i=\"0\"", {{0, 0}, {20, 2}, {500, 50}, {980, 98}, {1000, 100}, {1260, 74}, {2000, 0}}},
        // A step segment holds the previous key's values until its key is reached.
        {"i=\"-1\"", {{0, 0}, {20, 0}, {500, 0}, {980, 0}, {1000, 100}, {1260, 74}, {2000, 0}}},
        {"i=\"7\"", {{0, 0}, {980, 0}, {1000, 100}}},  // neither -1 nor 0: a step
        {"", {{0, 0}, {980, 0}, {1000, 100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blend);
        node->clearStates();
        addState(fadeCurve(c.blend));
        node->setState(id("Fade"), nullptr);
        uint32_t now = 0;
        for (const auto& [at, alpha] : c.values) {
            scheduler->update(at - now);
            now = at;
            EXPECT_NEAR(node->alpha, alpha, 1e-3f) << at;
        }
        node->stopAllStates(false);
    }
}

TEST_F(KeyFrameTest, ReportsOnceAtTheLastKeyAndLeavesTheScheduler) {
    KeyFrame* curve = addState(fadeCurve());
    node->setState(id("Fade"), nullptr);
    EXPECT_TRUE(curve->isPlaying());
    scheduler->update(1990);
    EXPECT_TRUE(node->animatorEnds.empty());
    scheduler->update(10);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{false});
    EXPECT_EQ(node->stateEnds, 1);
    EXPECT_EQ(tags(), std::vector<NameId>{id("Fade")});
    EXPECT_EQ(curve->getTimerScheduler(), nullptr);
    EXPECT_EQ(curve->getRefCount(), 1);  // only the state's: the scheduler let go
    scheduler->update(5000);
    EXPECT_EQ(node->animatorEnds.size(), 1u);
}

TEST_F(KeyFrameTest, AJumpBackLoopsAndReportsEveryPass) {
    KeyFrame* loop = addState(R"(<Animator Type="KeyFrame">
        <Properties><float Name="Alpha" Value="0" /></Properties>
        <KeyFrame t="0" Value0="0" />
        <KeyFrame t="100" i="0" Value0="10" g="0" />
      </Animator>)");
    node->setState(id("Fade"), nullptr);
    scheduler->update(60);
    EXPECT_NEAR(node->alpha, 6.0f, 1e-4f);
    scheduler->update(40);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{true});
    // The state ended after the first pass; the animator plays on.
    EXPECT_EQ(node->stateEnds, 1);
    EXPECT_EQ(tags(), std::vector<NameId>{id("Fade")});
    EXPECT_EQ(loop->getTimerScheduler(), scheduler.get());
    scheduler->update(240);
    EXPECT_EQ(node->animatorEnds, (std::vector<bool>{true, true, true}));
    EXPECT_NEAR(node->alpha, 4.0f, 1e-4f);
    EXPECT_EQ(loop->getPosition(), 40u);
    EXPECT_EQ(node->stateEnds, 1);
    EXPECT_TRUE(loop->isPlaying());
}

TEST_F(KeyFrameTest, AStateEnteredAgainFromTheEndReportKeepsPlaying) {
    // The end report re-enters the same state from inside the timer call: the
    // animator is started and played again there and must stay registered.
    KeyFrame* curve = addState(fadeCurve(), "Fade", "Fade");
    node->setState(id("Fade"), nullptr);
    scheduler->update(2000);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{false});
    EXPECT_EQ(curve->getTimerScheduler(), scheduler.get());
    EXPECT_TRUE(curve->isPlaying());
    scheduler->update(500);
    EXPECT_NEAR(node->alpha, 50.0f, 1e-3f);
    scheduler->update(1500);
    EXPECT_EQ(node->animatorEnds, (std::vector<bool>{false, false}));
    EXPECT_EQ(curve->getTimerScheduler(), scheduler.get());
}

TEST_F(KeyFrameTest, TimeShiftSetsTheStartPosition) {
    KeyFrame* curve = addState(fadeCurve("i=\"0\"", "TimeShift=\"1500\""));
    EXPECT_EQ(curve->getTimeShift(), 1500u);
    curve->start(0, true);
    EXPECT_NEAR(node->alpha, 50.0f, 1e-3f);
    EXPECT_EQ(curve->getPosition(), 1500u);
    // An explicit time wins over the shift; without apply only the position moves.
    node->alpha = -1.0f;
    curve->start(250, false);
    EXPECT_EQ(node->alpha, -1.0f);
    EXPECT_EQ(curve->getCurrentKey(), 0u);
    EXPECT_EQ(curve->getPosition(), 250u);
    curve->start(250, true);
    EXPECT_NEAR(node->alpha, 25.0f, 1e-3f);
    // Started on a step segment after its start: the current key's values.
    KeyFrame* step = addState(fadeCurve("i=\"-1\""), "Step");
    step->start(400, true);
    EXPECT_FLOAT_EQ(node->alpha, 0.0f);
}

TEST_F(KeyFrameTest, StopWithJumpSetsTheLastKeyAndSendsNothing) {
    KeyFrame* curve = addState(fadeCurve());
    node->setState(id("Fade"), nullptr);
    scheduler->update(1000);
    EXPECT_NEAR(node->alpha, 100.0f, 1e-3f);
    curve->stop(true, false);
    EXPECT_FLOAT_EQ(node->alpha, 0.0f);
    EXPECT_EQ(curve->getTimerScheduler(), nullptr);
    EXPECT_TRUE(node->animatorEnds.empty());
    // Stopping the state with a jump does the same through the state.
    node->setState(id("Fade"), nullptr);
    scheduler->update(500);
    node->stopState(id("Fade"), true);
    EXPECT_FLOAT_EQ(node->alpha, 0.0f);
    EXPECT_TRUE(node->animatorEnds.empty());
}

TEST_F(KeyFrameTest, PropertiesMapByExactName) {
    KeyFrame* move = addState(R"(<Animator Type="KeyFrame">
        <Properties>
          <vector3d Name="Position" Value="0;0;0" />
          <vector3d Name="position" Value="0;0;0" />
          <float Name="Alpha" Value="0" />
        </Properties>
        <KeyFrame t="0" Value0="0;0;0" Value1="9;9;9" Value2="1" />
        <KeyFrame t="100" i="0" Value0="10;20;0" Value1="9;9;9" Value2="3" />
      </Animator>)");
    const PropertyTable& table = node->getPropertyTable();
    EXPECT_EQ(move->getPropertyMap(),
              (std::vector<int32_t>{table.indexOf("Position"), -1, table.indexOf("Alpha")}));
    node->setState(id("Fade"), nullptr);
    scheduler->update(60);
    EXPECT_NEAR(node->getPosition().X, 6.0f, 1e-4f);
    EXPECT_NEAR(node->getPosition().Y, 12.0f, 1e-4f);
    EXPECT_NEAR(node->alpha, 2.2f, 1e-4f);
}

TEST_F(KeyFrameTest, WithoutKeysNothingChangesAndThePlayEndsAtTheFirstTick) {
    KeyFrame* empty = addState(R"(<Animator Type="KeyFrame">
        <Properties><float Name="Alpha" Value="3" /></Properties>
      </Animator>)");
    node->setState(id("Fade"), nullptr);
    EXPECT_EQ(node->alphaSets, 0);
    EXPECT_EQ(empty->getDuration(), 0u);
    EXPECT_TRUE(node->animatorEnds.empty());
    scheduler->update(20);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{false});
    EXPECT_EQ(node->alphaSets, 0);
    EXPECT_EQ(empty->getTimerScheduler(), nullptr);
}

TEST_F(KeyFrameTest, AKeyFrameWithoutPropertiesIsATimer) {
    KeyFrame* timer = addState(R"(<Animator Type="KeyFrame" Period="50">
        <KeyFrame t="0" /><KeyFrame t="200" />
      </Animator>)");
    EXPECT_EQ(timer->getPeriod(), 50u);
    // Its keys survive writing: they hold no values but carry the timing.
    CountedRef<KeyFrame> reread = readAnimator<KeyFrame>(writeAnimator(timer));
    ASSERT_EQ(reread->getKeys().size(), 2u);
    EXPECT_EQ(reread->getDuration(), 200u);
    node->setState(id("Fade"), nullptr);
    scheduler->update(150);
    EXPECT_TRUE(node->animatorEnds.empty());
    scheduler->update(50);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{false});
    EXPECT_EQ(node->alphaSets, 0);
}

TEST_F(KeyFrameTest, InterpolationOnlySetsWhatChanged) {
    // A bool interpolates to its end value only at t = 1: the setter is not
    // called while nothing changes.
    addState(R"(<Animator Type="KeyFrame">
        <Properties><bool Name="Visible" Value="true" /><float Name="Alpha" Value="0" /></Properties>
        <KeyFrame t="0" Value0="true" Value1="0" />
        <KeyFrame t="100" i="0" Value0="false" Value1="0" />
      </Animator>)");
    node->setState(id("Fade"), nullptr);
    const int afterStart = node->alphaSets;
    scheduler->update(60);
    EXPECT_TRUE(node->isVisible());
    EXPECT_EQ(node->alphaSets, afterStart + 3);  // the float still reports a value every tick
    scheduler->update(40);
    EXPECT_FALSE(node->isVisible());
}

// ---- KeyFrame faults in authored data ----------------------------------------------

TEST_F(KeyFrameTest, LoopsThatTakeNoTimeStopAdvancing) {
    const struct {
        const char* what;
        const char* keys;
    } cases[] = {
        {"a loop of no time from the start", R"(<KeyFrame t="0" Value0="1" /><KeyFrame t="0" g="0" Value0="2" />)"},
        {"a loop of no time reached later",
         R"(<KeyFrame t="0" Value0="1" /><KeyFrame t="100" i="0" Value0="2" /><KeyFrame t="0" g="1" Value0="3" />)"},
        {"two backward jumps that come round without time",
         R"(<KeyFrame t="0" Value0="1" /><KeyFrame t="0" g="3" Value0="2" /><KeyFrame t="0" Value0="3" />
            <KeyFrame t="0" g="0" Value0="4" /><KeyFrame t="0" g="2" Value0="5" />)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        node->clearStates();
        node->animatorEnds.clear();
        KeyFrame* animator = addState(std::string("<Animator Type=\"KeyFrame\" TimeShift=\"300\">"
                                                  "<Properties><float Name=\"Alpha\" Value=\"0\" /></Properties>") +
                                      c.keys + "</Animator>");
        // Each of these calls used to spin for ever.
        animator->start(0, true);
        node->setState(id("Fade"), nullptr);
        scheduler->update(200);
        EXPECT_FALSE(node->animatorEnds.empty());
        for (bool looped : node->animatorEnds) EXPECT_TRUE(looped);
        EXPECT_EQ(animator->getTimerScheduler(), scheduler.get());
        EXPECT_LT(animator->getCurrentKey(), animator->getKeys().size());
        node->stopAllStates(false);
    }
}

TEST_F(KeyFrameTest, JumpsToKeysThatDoNotExistAreIgnored) {
    testing_support::LogCapture log;
    KeyFrame* animator = addState(R"(<Animator Type="KeyFrame" Name="far">
        <Properties><float Name="Alpha" Value="0" /></Properties>
        <KeyFrame t="0" Value0="0" g="-4" />
        <KeyFrame t="100" i="0" Value0="10" g="3" />
        <KeyFrame t="100" i="0" Value0="20" g="2" />
      </Animator>)");
    EXPECT_TRUE(log.contains("jump"));
    EXPECT_TRUE(log.contains("far"));
    ASSERT_EQ(animator->getKeys().size(), 3u);
    EXPECT_EQ(animator->getKeys()[0].jump, -1);
    EXPECT_EQ(animator->getKeys()[1].jump, -1);
    EXPECT_EQ(animator->getKeys()[2].jump, 2);  // to itself: valid, not backwards
    node->setState(id("Fade"), nullptr);
    scheduler->update(160);
    EXPECT_NEAR(node->alpha, 16.0f, 1e-3f);
    scheduler->update(40);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{false});
    EXPECT_FLOAT_EQ(node->alpha, 20.0f);
}

TEST_F(KeyFrameTest, KeysReadBeforeTheirPropertyBlockSkipTheMissingValues) {
    testing_support::LogCapture log;
    KeyFrame* early = addState(R"(<Animator Type="KeyFrame">
        <KeyFrame t="0" Value0="5" />
        <Properties><float Name="Alpha" Value="0" /></Properties>
        <KeyFrame t="100" i="0" Value0="10" />
      </Animator>)");
    EXPECT_TRUE(log.contains("missing values are skipped"));
    ASSERT_EQ(early->getKeys().size(), 2u);
    EXPECT_EQ(early->getKeys()[0].values.size(), 1u);
    EXPECT_EQ(early->getKeys()[0].valueAt(0), nullptr);
    node->alpha = 7.0f;
    node->setState(id("Fade"), nullptr);
    scheduler->update(60);
    EXPECT_FLOAT_EQ(node->alpha, 7.0f);  // no value to start from
    scheduler->update(40);
    EXPECT_FLOAT_EQ(node->alpha, 10.0f);
    EXPECT_EQ(node->animatorEnds, std::vector<bool>{false});

    // A second block replaces the first: values read against the first one
    // that no longer fit are dropped instead of being given to other properties.
    node->clearStates();
    KeyFrame* replaced = addState(R"(<Animator Type="KeyFrame">
        <Properties><float Name="Alpha" Value="0" /></Properties>
        <KeyFrame t="0" Value0="1" />
        <Properties><string Name="Label" Value="" /><float Name="Alpha" Value="0" /></Properties>
        <KeyFrame t="100" Value0="late" Value1="20" />
      </Animator>)");
    ASSERT_EQ(replaced->getKeys().size(), 2u);
    EXPECT_EQ(replaced->getKeys()[0].valueAt(0), nullptr);
    EXPECT_EQ(replaced->getKeys()[0].valueAt(1), nullptr);
    node->alpha = 7.0f;
    node->label = "before";
    node->setState(id("Fade"), nullptr);
    EXPECT_FLOAT_EQ(node->alpha, 7.0f);
    EXPECT_EQ(node->label, stringc("before"));
    scheduler->update(100);
    EXPECT_FLOAT_EQ(node->alpha, 20.0f);
    EXPECT_EQ(node->label, stringc("late"));

    // Written back, the dropped values are gone but the key keeps its place.
    const std::string text = writeAnimator(replaced);
    EXPECT_NE(text.find("<KeyFrame t=\"0\" />\r\n\t<KeyFrame t=\"100\" Value0=\"late\" Value1=\"20.000000\" />"),
              std::string::npos);
}

// ---- KeyFrame XML and copies -------------------------------------------------------------

TEST(KeyFrameXml, ReadsKeysAndWritesThemBack) {
    registerKinds();
    std::wstring next;
    CountedRef<KeyFrame> animator = readAnimator<KeyFrame>(R"(<Root>
      <Animator Type="KeyFrame" Name="glow" Period="40" TimeShift="100">
        <Properties><float Name="Alpha" Value="0.5" /><color Name="TintColor" Value="ff000000" /></Properties>
        <Ignored><KeyFrame t="99" /></Ignored>
        <KeyFrame Value0="1" />
        <KeyFrame t="250" g="0" i="0" Value1="80ffffff" />
      </Animator>
      <After />
    </Root>)",
                                                             &next);
    EXPECT_EQ(next, L"After");
    EXPECT_EQ(animator->getName(), id("glow"));
    EXPECT_EQ(animator->getPeriod(), 40u);
    EXPECT_EQ(animator->getTimeShift(), 100u);
    ASSERT_NE(animator->getPropertySet(), nullptr);
    EXPECT_EQ(animator->getPropertySet()->getCount(), 2u);
    // Elements inside other elements are read as keys too: the reader only
    // stops at the animator's end.
    ASSERT_EQ(animator->getKeys().size(), 3u);
    const KeyFrame::Key& first = animator->getKeys()[1];
    EXPECT_EQ(first.time, 0u);
    EXPECT_EQ(first.jump, -1);
    EXPECT_EQ(first.blend, -1);
    ASSERT_NE(first.valueAt(0), nullptr);
    EXPECT_EQ(first.valueAt(0)->toString(), stringc("1.000000"));
    // A missing value attribute reads as empty text.
    ASSERT_NE(first.valueAt(1), nullptr);
    EXPECT_EQ(first.valueAt(1)->toString(), makeColorProperty(SColor(0))->toString());
    const KeyFrame::Key& last = animator->getKeys()[2];
    EXPECT_EQ(last.time, 250u);
    EXPECT_EQ(last.jump, 0);
    EXPECT_EQ(last.blend, 0);
    EXPECT_EQ(animator->getDuration(), 349u);

    EXPECT_EQ(writeAnimator(animator.get()),
              "<Animator Type=\"KeyFrame\" Name=\"glow\" Period=\"40\" TimeShift=\"100\">\r\n"
              "\t<Properties>\r\n"
              "\t\t<float Name=\"Alpha\" Value=\"0.500000\" />\r\n"
              "\t\t<color Name=\"TintColor\" Value=\"ff000000\" />\r\n"
              "\t</Properties>\r\n"
              "\t<KeyFrame t=\"99\" Value0=\"0.000000\" Value1=\"00000000\" />\r\n"
              "\t<KeyFrame t=\"0\" Value0=\"1.000000\" Value1=\"00000000\" />\r\n"
              "\t<KeyFrame t=\"250\" g=\"0\" i=\"0\" Value0=\"0.000000\" Value1=\"80ffffff\" />\r\n"
              "</Animator>\r\n");

    CountedRef<KeyFrame> plain(new KeyFrame());
    EXPECT_EQ(writeAnimator(plain.get(), L"EndAnimator"), "<EndAnimator Type=\"KeyFrame\">\r\n</EndAnimator>\r\n");
    CountedRef<KeyFrame> empty = readAnimator<KeyFrame>("<Animator Type=\"KeyFrame\" />");
    EXPECT_EQ(empty->getKeys().size(), 0u);
    EXPECT_EQ(empty->getPropertySet(), nullptr);
    EXPECT_EQ(empty->getPeriod(), 20u);
}

TEST(KeyFrameXml, CloneSharesKeysCopiesTheSetAndKeepsTheTimeShift) {
    registerKinds();
    CountedRef<KeyFrame> original = readAnimator<KeyFrame>(fadeCurve("i=\"0\"", "Period=\"10\" TimeShift=\"1500\""));
    CountedRef<Base> copy(original->clone(nullptr, nullptr));
    auto* clone = animatorCast<KeyFrame>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getName(), id("curve"));
    EXPECT_EQ(clone->getPeriod(), 10u);
    EXPECT_EQ(clone->getTimeShift(), 1500u);
    ASSERT_NE(clone->getPropertySet(), nullptr);
    EXPECT_NE(clone->getPropertySet(), original->getPropertySet());
    ASSERT_EQ(clone->getKeys().size(), 3u);
    EXPECT_EQ(clone->getKeys()[1].valueAt(0), original->getKeys()[1].valueAt(0));
    EXPECT_EQ(clone->getTarget(), nullptr);
    EXPECT_EQ(clone->getParentState(), nullptr);

    // Both animate their own targets from the shared keys.
    CountedRef<AlphaNode> a(new AlphaNode(nullptr, nullptr, nullptr));
    CountedRef<AlphaNode> b(new AlphaNode(nullptr, nullptr, nullptr));
    original->setTarget(a.get());
    clone->setTarget(b.get());
    original->start(500, true);
    clone->start(0, true);
    EXPECT_NEAR(a->alpha, 50.0f, 1e-3f);
    EXPECT_NEAR(b->alpha, 50.0f, 1e-3f);
    EXPECT_EQ(original->getTypeId(), 1);
    EXPECT_TRUE(clone->isOfType(1));
    EXPECT_TRUE(clone->isOfType(0));
    EXPECT_FALSE(clone->isOfType(2));
}

// ---- SetProps --------------------------------------------------------------------

TEST_F(KeyFrameTest, SetPropsSetsItsValuesOnceAndNeverEnds) {
    std::wstring next;
    CountedRef<SetProps> props = readAnimator<SetProps>(R"(<Root>
      <StartAnimator Type="SetProps" Name="p">
        <Properties><bool Name="Visible" Value="false" /></Properties>
        <vector3d Name="Position" Value="1;2;3" />
        <float Name="Missing" Value="1" />
        <Wrapper><string Name="Label" Value="wrapped" /></Wrapper>
      </StartAnimator>
      <After />
    </Root>)",
                                                        &next, L"StartAnimator");
    EXPECT_EQ(next, L"After");
    ASSERT_EQ(props->getPropertySet()->getCount(), 4u);
    EXPECT_EQ(props->getPeriod(), 1u);
    EXPECT_EQ(props->getTypeId(), 2);
    props->setTarget(node);
    const PropertyTable& table = node->getPropertyTable();
    EXPECT_EQ(props->getPropertyMap(),
              (std::vector<int32_t>{table.indexOf("Visible"), table.indexOf("Position"), -1, table.indexOf("Label")}));
    props->start(0, false);
    EXPECT_TRUE(node->isVisible());
    props->start(12345, true);
    EXPECT_FALSE(node->isVisible());
    EXPECT_EQ(node->getPosition(), vector3df(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(node->label, stringc("wrapped"));
    EXPECT_EQ(props->getPosition(), 0u);
    EXPECT_EQ(props->getDuration(), 0u);

    // Awaited in a state, it is dropped by the scheduler without an end: the
    // state keeps running.
    SetProps* awaited = addState<SetProps>(R"(<Animator Type="SetProps"><string Name="Label" Value="set" /></Animator>)");
    node->setState(id("Fade"), nullptr);
    EXPECT_EQ(node->label, stringc("set"));
    EXPECT_EQ(awaited->getTimerScheduler(), scheduler.get());
    scheduler->update(100);
    EXPECT_EQ(awaited->getTimerScheduler(), nullptr);
    EXPECT_TRUE(node->animatorEnds.empty());
    EXPECT_EQ(node->stateEnds, 0);
    EXPECT_EQ(node->getState(id("Fade"))->getRunningCount(), 1u);

    EXPECT_EQ(writeAnimator(props.get()),
              "<Animator Type=\"SetProps\" Name=\"p\">\r\n"
              "\t<Properties>\r\n"
              "\t\t<bool Name=\"Visible\" Value=\"false\" />\r\n"
              "\t\t<vector3d Name=\"Position\" Value=\"1.000000;2.000000;3.000000\" />\r\n"
              "\t\t<float Name=\"Missing\" Value=\"1.000000\" />\r\n"
              "\t\t<string Name=\"Label\" Value=\"wrapped\" />\r\n"
              "\t</Properties>\r\n"
              "</Animator>\r\n");
    CountedRef<SetProps> empty(new SetProps());
    empty->setName(id("none"));
    EXPECT_EQ(writeAnimator(empty.get()), "<Animator Type=\"SetProps\" Name=\"none\">\r\n</Animator>\r\n");

    CountedRef<Base> copy(props->clone(nullptr, nullptr));
    auto* clone = animatorCast<SetProps>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone->getPropertySet(), props->getPropertySet());
    EXPECT_EQ(clone->getPropertySet()->getCount(), 4u);
}

// ---- SetStates -------------------------------------------------------------------

TEST(SetStatesAnimator, PutsNamedChildrenOrAllChildrenIntoStates) {
    registerKinds();
    std::wstring next;
    CountedRef<SetStates> animator = readAnimator<SetStates>(R"(<Root>
      <Animator Type="SetStates" Name="s">
        <State Name="Show" Children=" A ; ;C;Z;Deep " />
        <State Name="" Children="A" />
        <State Name="Blink" Children="" />
        <State Name="Hide" />
      </Animator>
      <After />
    </Root>)",
                                                             &next);
    EXPECT_EQ(next, L"After");
    ASSERT_EQ(animator->getEntries().size(), 3u);
    EXPECT_EQ(animator->getEntries()[0].state, id("Show"));
    EXPECT_EQ(animator->getEntries()[0].children.size(), 4u);
    EXPECT_EQ(animator->getEntries()[0].children[0], id("A"));
    EXPECT_EQ(animator->getEntries()[0].children[1], id("C"));
    EXPECT_EQ(animator->getEntries()[1].children.size(), 0u);
    EXPECT_EQ(animator->getPeriod(), 1u);
    EXPECT_EQ(animator->getTypeId(), 3);

    CountedRef<RecordingNode> target(new RecordingNode(nullptr, nullptr, nullptr));
    BaseNode* children[3];
    const char* names[3] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        children[i] = new BaseNode(nullptr, target.get(), nullptr);
        children[i]->setName(id(names[i]));
        children[i]->release();
    }
    auto* deep = new BaseNode(nullptr, children[1], nullptr);  // not a direct child
    deep->setName(id("Deep"));
    deep->release();

    animator->setTarget(target.get());
    animator->start(0, false);
    EXPECT_TRUE(target->seen.empty());
    animator->start(0, true);
    std::vector<std::string> seen;
    for (const Seen& s : target->seen) {
        if (s.typeId != EventId::NodeTagReachedEvent && s.typeId != EventId::NodeStateStartedEvent &&
            s.typeId != EventId::NodeStateFinishedEvent)
            continue;
        seen.push_back(std::to_string(s.typeId) + " " + nameOfId(s.node->getName()).c_str() + " " +
                       nameOfId(s.name).c_str());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "70 A Show", "70 C Show",                                    // the named children
                        "72  Blink", "70 A Blink", "70 B Blink", "70 C Blink", "74  Blink",  // all children, awaited
                        "72  Hide", "70 A Hide", "70 B Hide", "70 C Hide", "74  Hide",
                    }));

    EXPECT_EQ(writeAnimator(animator.get()),
              "<Animator Type=\"SetStates\" Name=\"s\">\r\n"
              "\t<State Name=\"Show\" Children=\"A;C;Z;Deep\" />\r\n"
              "\t<State Name=\"Blink\" Children=\"\" />\r\n"
              "\t<State Name=\"Hide\" Children=\"\" />\r\n"
              "</Animator>\r\n");
    CountedRef<Base> copy(animator->clone(nullptr, nullptr));
    ASSERT_NE(animatorCast<SetStates>(copy.get()), nullptr);
    EXPECT_EQ(animatorCast<SetStates>(copy.get())->getEntries().size(), 3u);
}

TEST(AnimatorXml, NestedElementsOfTheAnimatorsNameCloseBeforeItsOwnEnd) {
    registerKinds();
    std::wstring next;
    CountedRef<SetStates> states = readAnimator<SetStates>(R"(<Root>
      <Animator Type="SetStates">
        <Animator><State Name="Inner" /></Animator>
        <Animator />
        <State Name="Outer" />
      </Animator>
      <After />
    </Root>)",
                                                           &next);
    EXPECT_EQ(next, L"After");
    ASSERT_EQ(states->getEntries().size(), 2u);
    EXPECT_EQ(states->getEntries()[0].state, id("Inner"));
    EXPECT_EQ(states->getEntries()[1].state, id("Outer"));

    CountedRef<KeyFrame> keys = readAnimator<KeyFrame>(R"(<Root>
      <Animator Type="KeyFrame">
        <Animator><KeyFrame t="5" /></Animator>
        <KeyFrame t="7" />
      </Animator>
      <After />
    </Root>)",
                                                       &next);
    EXPECT_EQ(next, L"After");
    ASSERT_EQ(keys->getKeys().size(), 2u);
    EXPECT_EQ(keys->getDuration(), 12u);
}

// ---- Registration ----------------------------------------------------------------

TEST(AnimatorKinds, TheFactoryMakesTheThreeEngineKinds) {
    const struct {
        const wchar_t* kind;
        int32_t typeId;
        uint32_t period;
    } cases[] = {{L"KeyFrame", 1, 20}, {L"SetProps", 2, 1}, {L"SetStates", 3, 1}};
    for (const auto& c : cases) {
        CountedRef<Base> animator(getNodeFactory().createAnimator(c.kind, nullptr));
        ASSERT_TRUE(animator) << c.typeId;
        EXPECT_EQ(animator->getTypeId(), c.typeId);
        EXPECT_TRUE(animator->isOfType(0));
        EXPECT_EQ(stringw(animator->getClassName()), stringw(c.kind));
        EXPECT_EQ(stringw(animator->getTypeName()), stringw(c.kind));
        EXPECT_EQ(animator->getPeriod(), c.period);
        EXPECT_EQ(animator->getRefCount(), 1);
        EXPECT_FALSE(animator->isPlaying());
    }
    EXPECT_EQ(getNodeFactory().createAnimator(L"keyframe", nullptr), nullptr);
}
