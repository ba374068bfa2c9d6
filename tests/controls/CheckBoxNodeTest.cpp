#include "ControlsTestSupport.h"

#include "engine/controls/CheckBoxNode.h"
#include "engine/core/PropertySet.h"

using namespace engine;
using namespace controls_tests;

namespace {

// "Full": a face with every state the box asks for, and a "Press" that keeps
// playing until something stops it. "Sparse": only "Normal" and
// "NormalCheck", so everything else goes through the fallbacks.
const char* kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Full" /></Properties>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Face" /><vector3d Name="Bounds" Value="20;20;0" /></Properties>
      <States>
        <State Name="Normal" /><State Name="Focus" /><State Name="NormalHover" /><State Name="FocusHover" />
        <State Name="NormalKillHover" /><State Name="FocusKillHover" />
        <State Name="NormalDisable" /><State Name="FocusDisable" />
        <State Name="NormalCheck" /><State Name="FocusCheck" /><State Name="NormalCheckHover" />
        <State Name="FocusCheckHover" /><State Name="NormalCheckKillHover" /><State Name="FocusCheckKillHover" />
        <State Name="NormalCheckDisable" /><State Name="FocusCheckDisable" />
        <State Name="Press">
          <Animator Type="KeyFrame" Name="flash">
            <Properties><color Name="TintColor" Value="ffffffff" /></Properties>
            <KeyFrame t="0" Value0="ffffffff" />
            <KeyFrame t="500" Value0="ff808080" />
          </Animator>
        </State>
      </States>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Sparse" /></Properties>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Face" /><vector3d Name="Bounds" Value="20;20;0" /></Properties>
      <States><State Name="Normal" /><State Name="NormalCheck" /></States>
    </SceneNode>
  </SceneNode>
</SceneNode>)";

const char* kScene = R"(<?xml version="1.0"?>
<SceneNode Type="TestScene">
  <Properties><string Name="Name" Value="Scene" /></Properties>
  <SceneNode Type="CheckBoxNode">
    <Properties>
      <string Name="Name" Value="Box" /><vector3d Name="Position" Value="10;10;0" />
      <string Name="TemplateName" Value="Full" />
    </Properties>
  </SceneNode>
  <SceneNode Type="CheckBoxNode">
    <Properties>
      <string Name="Name" Value="Thin" /><vector3d Name="Position" Value="100;10;0" />
      <string Name="TemplateName" Value="Sparse" />
    </Properties>
  </SceneNode>
</SceneNode>)";

struct CheckBoxTest : ControlsFixture {
    void SetUp() override {
        load(kTemplates, kScene);
        states("Box", "Face");
        states("Thin", "Face");
    }
    CheckBoxNode* box(const char* name) { return node<CheckBoxNode>(name); }
    std::string last(const char* name) {
        Strings entered = states(name, "Face");
        return entered.empty() ? "-" : entered.back();
    }
};

}  // namespace

TEST(CheckBoxStates, FallbacksGoThroughTheCheckTableThenTheControlTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"FocusCheck", "NormalCheck"},          {"NormalCheckDisable", "NormalCheck"},
        {"FocusCheckDisable", "FocusCheck"},    {"NormalCheckHover", "NormalCheck"},
        {"NormalCheckKillHover", "NormalCheck"}, {"FocusCheckHover", "NormalCheckHover"},
        {"FocusCheckKillHover", "FocusCheck"},  {"Focus", "Normal"},
        {"FocusDisable", "NormalDisable"},      {"Press", "Focus"},
    };
    for (const auto& c : cases) EXPECT_EQ(checkBoxStateTransition(id(c.first)), id(c.second)) << c.first;
    EXPECT_EQ(checkBoxStateTransition(id("NormalCheck")), kNoName);
    EXPECT_EQ(checkBoxStateTransition(id("NormalHover")), kNoName);
}

TEST_F(CheckBoxTest, AClickTogglesAndReportsAfterThePress) {
    move(15, 15);  // hovered, and so focused
    deliver();
    CheckBoxNode* b = box("Box");
    ASSERT_TRUE(b->isHovered());
    ASSERT_TRUE(b->isFocused());
    EXPECT_EQ(last("Box"), "FocusHover");

    down(15, 15);
    EXPECT_EQ(deliver(), Strings{"44 Box"});
    up(15, 15);
    EXPECT_TRUE(b->isChecked());
    EXPECT_FALSE(b->isPressPending());  // the new state stopped "Press"
    EXPECT_EQ(states("Box", "Face"), (Strings{"Press", "FocusCheckHover"}));
    EXPECT_EQ(deliver(), (Strings{"56 Box", "58 Box", "59 Scene"}));
    ASSERT_EQ(scene->changed.size(), 1u);
    EXPECT_EQ(scene->changed[0], b);
    EXPECT_EQ(scene->pressed.size(), 1u);

    // A second click unchecks.
    down(15, 15);
    up(15, 15);
    EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(last("Box"), "FocusHover");
    EXPECT_EQ(deliver(), (Strings{"44 Box", "56 Box", "58 Box", "59 Scene"}));
}

TEST_F(CheckBoxTest, APendingPressRefusesTheToggle) {
    // Start a press without the toggle: the full face keeps playing "Press".
    CheckBoxNode* full = box("Box");
    ASSERT_TRUE(full->ControlNode::press());
    EXPECT_TRUE(full->isPressPending());
    EXPECT_FALSE(full->press());
    EXPECT_FALSE(full->isChecked());
    EXPECT_EQ(deliver(), Strings{"56 Box"});

    // The sparse face has no "Press": its press ends at once.
    CheckBoxNode* thin = box("Thin");
    EXPECT_TRUE(thin->press());
    EXPECT_TRUE(thin->isChecked());
    EXPECT_FALSE(thin->isPressPending());
    EXPECT_TRUE(thin->press());
    EXPECT_FALSE(thin->isChecked());
}

TEST_F(CheckBoxTest, SetCheckedShowsTheValueAndPostsNothing) {
    struct Case {
        bool enabled, focused, checked;
        const char* state;
    };
    const Case cases[] = {
        {true, false, true, "NormalCheck"},         {true, true, true, "FocusCheck"},
        {false, false, true, "NormalCheckDisable"}, {false, true, true, "FocusCheckDisable"},
        {true, false, false, "Normal"},             {true, true, false, "Focus"},
        {false, false, false, "NormalDisable"},     {false, true, false, "FocusDisable"},
    };
    CheckBoxNode* b = box("Box");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        b->setFocused(c.focused);
        b->setEnabled(c.enabled);
        deliver();
        states("Box", "Face");
        b->setChecked(c.checked);
        EXPECT_EQ(b->isChecked(), c.checked);
        EXPECT_EQ(last("Box"), c.state);
        EXPECT_EQ(deliver(), Strings{});
    }
}

TEST_F(CheckBoxTest, HoverStatesFollowTheValue) {
    struct Case {
        bool checked, focused, hovered;
        const char* state;
    };
    const Case cases[] = {
        {true, false, true, "NormalCheckHover"},  {true, true, true, "FocusCheckHover"},
        {true, false, false, "NormalCheckKillHover"}, {true, true, false, "FocusCheckKillHover"},
        {false, false, true, "NormalHover"},      {false, true, true, "FocusHover"},
        {false, false, false, "NormalKillHover"}, {false, true, false, "FocusKillHover"},
    };
    CheckBoxNode* b = box("Box");
    b->setFocusOnHover(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        b->setChecked(c.checked);
        b->setFocused(c.focused);
        b->setHovered(!c.hovered);
        deliver();
        states("Box", "Face");
        b->setHovered(c.hovered);
        deliver();
        EXPECT_EQ(last("Box"), c.state);
    }
    // A disabled box keeps its state on hover.
    b->setEnabled(false);
    states("Box", "Face");
    b->setHovered(!b->isHovered());
    EXPECT_EQ(states("Box", "Face"), Strings{});
}

TEST_F(CheckBoxTest, ASparseTemplateShowsTheValueThroughFallbacks) {
    struct Case {
        bool checked, enabled, focused;
        const char* shown;
    };
    const Case cases[] = {
        {true, true, false, "NormalCheck"},
        {true, true, true, "NormalCheck(FocusCheck)"},
        {true, false, false, "NormalCheck(NormalCheckDisable)"},
        {true, false, true, "NormalCheck(FocusCheckDisable)"},
        {false, true, false, "Normal"},
        {false, true, true, "Normal(Focus)"},
    };
    CheckBoxNode* b = box("Thin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        b->setEnabled(c.enabled);
        b->setFocused(c.focused);
        states("Thin", "Face");
        b->setChecked(c.checked);
        EXPECT_EQ(last("Thin"), c.shown);
    }
    // "NormalHover" has no way to "Normal": the face keeps its state.
    b->setEnabled(true);
    b->setFocused(false);
    b->setChecked(false);
    Probe* face = part("Thin", "Face");
    State* before = face->getRunningState();
    b->setHovered(true);
    EXPECT_EQ(face->getRunningState(), before);
}

TEST_F(CheckBoxTest, TheValueTravelsThroughCopiesAndFiles) {
    CheckBoxNode* b = box("Box");
    b->setChecked(true);
    CountedRef<BaseNode> copy(b->clone(nullptr, nullptr));
    ASSERT_TRUE(nodeCast<CheckBoxNode>(copy.get()));
    EXPECT_TRUE(nodeCast<CheckBoxNode>(copy.get())->isChecked());

    for (bool checked : {false, true}) {
        CountedRef<CheckBoxNode> loose(new CheckBoxNode(nullptr, nullptr, nullptr));
        loose->setChecked(checked);
        loose->setText(L"Sound");
        const std::string text = sceneText(loose.get());
        EXPECT_EQ(text.find("IsChecked") != std::string::npos, checked) << text;
        CountedRef<CheckBoxNode> read = roundTrip<CheckBoxNode>(loose.get());
        ASSERT_TRUE(read);
        EXPECT_EQ(read->isChecked(), checked);
        EXPECT_EQ(read->getText(), stringw(L"Sound"));
    }

    // The table's setter: a value that is not a bool counts as false.
    const PropertyTable& table = CheckBoxNode::classPropertyTable();
    const int32_t index = table.indexOf("IsChecked");
    table.set(*b, index, CountedRef<IPropertyData>(makeIntProperty(1)));
    EXPECT_FALSE(b->isChecked());
    table.set(*b, index, CountedRef<IPropertyData>(makeBoolProperty(true)));
    EXPECT_TRUE(b->isChecked());
    EXPECT_EQ(propertyDataToString(table.get(*b, index)), stringc("true"));
}
