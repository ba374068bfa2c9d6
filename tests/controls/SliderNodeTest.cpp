#include "ControlsTestSupport.h"

#include "engine/controls/ButtonNode.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/controls/SliderNode.h"

#include <cmath>

using namespace engine;
using namespace controls_tests;

namespace {

// "Track": a horizontal slider, 340 wide: a previous button (0..20), the
// sliding area (20..320) with a 10-wide knob, a next button (320..340).
// "Column": a vertical area 20 x 100 with a 10-high knob. "Bar" and "Gauge":
// a horizontal and a vertical progress bar, 200 long, with an empty knob.
const char* kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Arrow" /></Properties>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Face" /><vector3d Name="Bounds" Value="20;20;0" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Track" /></Properties>
    <SceneNode Type="ButtonNode">
      <Properties><string Name="Name" Value="PrevButton" /><string Name="TemplateName" Value="Arrow" /></Properties>
    </SceneNode>
    <SceneNode Type="Probe">
      <Properties>
        <string Name="Name" Value="SlidingArea" /><vector3d Name="Position" Value="20;0;0" />
        <vector3d Name="Bounds" Value="300;20;0" />
      </Properties>
    </SceneNode>
    <SceneNode Type="Probe">
      <Properties>
        <string Name="Name" Value="Knob" /><vector3d Name="Position" Value="20;0;0" /><vector3d Name="Bounds" Value="10;20;0" />
      </Properties>
    </SceneNode>
    <SceneNode Type="ButtonNode">
      <Properties>
        <string Name="Name" Value="NextButton" /><vector3d Name="Position" Value="320;0;0" />
        <string Name="TemplateName" Value="Arrow" />
      </Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Column" /></Properties>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="SlidingArea" /><vector3d Name="Bounds" Value="20;100;0" /></Properties>
    </SceneNode>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Knob" /><vector3d Name="Bounds" Value="20;10;0" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="PlainColumn" /></Properties>
    <SceneNode Type="BaseNode">
      <Properties><string Name="Name" Value="SlidingArea" /><vector3d Name="Bounds" Value="20;100;0" /></Properties>
    </SceneNode>
    <SceneNode Type="BaseNode">
      <Properties><string Name="Name" Value="Knob" /><vector3d Name="Bounds" Value="20;10;0" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Bar" /></Properties>
    <SceneNode Type="Probe">
      <Properties>
        <string Name="Name" Value="SlidingArea" /><vector3d Name="Position" Value="5;0;0" /><vector3d Name="Bounds" Value="200;20;0" />
      </Properties>
    </SceneNode>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Knob" /><vector3d Name="Bounds" Value="0;20;0" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Gauge" /></Properties>
    <SceneNode Type="Probe">
      <Properties>
        <string Name="Name" Value="SlidingArea" /><vector3d Name="Position" Value="0;5;0" /><vector3d Name="Bounds" Value="20;200;0" />
      </Properties>
    </SceneNode>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Knob" /><vector3d Name="Bounds" Value="20;0;0" /></Properties>
    </SceneNode>
  </SceneNode>
</SceneNode>)";

const char* kScene = R"(<?xml version="1.0"?>
<SceneNode Type="TestScene">
  <Properties><string Name="Name" Value="Scene" /></Properties>
  <SceneNode Type="SliderNode">
    <Properties>
      <string Name="Name" Value="H" /><string Name="TemplateName" Value="Track" />
      <string Name="NavDownObjectName" Value="V" />
    </Properties>
  </SceneNode>
  <SceneNode Type="SliderNode">
    <Properties>
      <string Name="Name" Value="V" /><vector3d Name="Position" Value="400;0;0" />
      <string Name="TemplateName" Value="Column" />
    </Properties>
  </SceneNode>
  <SceneNode Type="SliderNode">
    <Properties>
      <string Name="Name" Value="Flat" /><vector3d Name="Position" Value="0;200;0" />
      <float Name="MinValue" Value="50" /><float Name="MaxValue" Value="50" />
      <string Name="TemplateName" Value="Track" />
    </Properties>
  </SceneNode>
  <SceneNode Type="SliderNode">
    <Properties>
      <string Name="Name" Value="Over" /><vector3d Name="Position" Value="0;400;0" />
      <float Name="Value" Value="150" /><string Name="TemplateName" Value="Track" />
    </Properties>
  </SceneNode>
  <SceneNode Type="SliderNode">
    <Properties>
      <string Name="Name" Value="Under" /><vector3d Name="Position" Value="0;500;0" />
      <float Name="Value" Value="-50" /><int Name="KnobType" Value="1" /><string Name="TemplateName" Value="Track" />
    </Properties>
  </SceneNode>
  <SceneNode Type="SliderNode">
    <Properties>
      <string Name="Name" Value="Plain" /><vector3d Name="Position" Value="600;0;0" />
      <string Name="TemplateName" Value="PlainColumn" />
    </Properties>
  </SceneNode>
  <SceneNode Type="ProgressBarNode">
    <Properties>
      <string Name="Name" Value="P" /><vector3d Name="Position" Value="0;300;0" />
      <int Name="KnobType" Value="1" /><float Name="Value" Value="25" /><string Name="TemplateName" Value="Bar" />
    </Properties>
  </SceneNode>
  <SceneNode Type="ProgressBarNode">
    <Properties>
      <string Name="Name" Value="G" /><vector3d Name="Position" Value="300;300;0" />
      <int Name="KnobType" Value="1" /><float Name="Value" Value="25" /><string Name="TemplateName" Value="Gauge" />
    </Properties>
  </SceneNode>
</SceneNode>)";

struct SliderTest : ControlsFixture {
    void SetUp() override { load(kTemplates, kScene); }
    SliderNode* slider(const char* name) { return node<SliderNode>(name); }
    ProgressBarNode* bar(const char* name) { return node<ProgressBarNode>(name); }
    // Knob position along and length along the slider's axis.
    std::pair<float, float> knob(BaseNode* knob, bool horizontal = true) {
        return horizontal ? std::make_pair(knob->getPosition().X, knob->getBounds().X)
                          : std::make_pair(knob->getPosition().Y, knob->getBounds().Y);
    }
    size_t changes() {
        deliver();
        const size_t count = scene->changed.size();
        scene->changed.clear();
        return count;
    }
    void click(int x, int y) {
        down(x, y);
        up(x, y);
        deliver();
    }
};

}  // namespace

// ---- Value model ------------------------------------------------------------------

TEST_F(SliderTest, SettersKeepTheValueInRange) {
    for (BaseNode* target : {static_cast<BaseNode*>(slider("H")), static_cast<BaseNode*>(bar("P"))}) {
        SliderNode* s = nodeCast<SliderNode>(target);
        BaseProgressBarNode* p = nodeCast<BaseProgressBarNode>(target);
        auto setMin = [&](float v) { s ? s->setMinValue(v) : p->setMinValue(v); };
        auto setMax = [&](float v) { s ? s->setMaxValue(v) : p->setMaxValue(v); };
        auto setValue = [&](float v) { s ? s->setValue(v) : p->setValue(v); };
        auto values = [&] {
            return s ? std::vector<float>{s->getMinValue(), s->getMaxValue(), s->getValue()}
                     : std::vector<float>{p->getMinValue(), p->getMaxValue(), p->getValue()};
        };
        setValue(50);
        setValue(150);
        EXPECT_EQ(values(), (std::vector<float>{0, 100, 100}));
        setValue(-5);
        EXPECT_EQ(values(), (std::vector<float>{0, 100, 0}));
        setMin(30);  // raises the value
        EXPECT_EQ(values(), (std::vector<float>{30, 100, 30}));
        setValue(90);
        setMax(60);  // lowers it
        EXPECT_EQ(values(), (std::vector<float>{30, 60, 60}));
        setMin(60);  // not below the maximum: ignored
        setMin(70);
        setMax(30);  // not above the minimum: ignored
        setMax(10);
        EXPECT_EQ(values(), (std::vector<float>{30, 60, 60}));
    }
}

TEST_F(SliderTest, IgnoredSettersDoNotLayOut) {
    SliderNode* h = slider("H");
    BaseNode* k = h->getKnob();
    ASSERT_NE(k, nullptr);
    k->setPosition(vector3df(-7, 0, 0));
    h->setMinValue(100);
    h->setMaxValue(0);
    EXPECT_EQ(k->getPosition().X, -7.0f);
    h->setMaxValue(200);
    EXPECT_NE(k->getPosition().X, -7.0f);
}

// ---- Layout ---------------------------------------------------------------------------

TEST_F(SliderTest, TheSliderPlacesStretchesOrSizesItsKnob) {
    struct Case {
        const char* name;
        int32_t knobType;
        float pageSize, value;
        float at, length;
    };
    const Case cases[] = {
        {"place at start", 0, 0, 0, 20, 10},
        {"place middle", 0, 0, 50, 165, 10},
        {"place end", 0, 0, 100, 310, 10},
        {"place with a page", 0, 10, 90, 310, 10},
        {"place, page is everything", 0, 100, 40, 20, 10},
        {"stretch", 1, 0, 25, 20, 75},
        {"thumb a tenth", 2, 10, 90, 290, 30},
        {"thumb never under 25", 2, 5, 0, 20, 25},
        {"thumb half", 2, 50, 20, 80, 150},
    };
    SliderNode* h = slider("H");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        h->getKnob()->setBounds(vector3df(10, 20, 0));
        h->setKnobType(c.knobType);
        h->setPageSize(c.pageSize);
        h->setValue(c.value);
        EXPECT_EQ(knob(h->getKnob()), std::make_pair(c.at, c.length));
    }
    // Another knob type leaves the knob alone.
    h->setKnobType(7);
    h->getKnob()->setPosition(vector3df(3, 0, 0));
    h->setValue(10);
    EXPECT_EQ(h->getKnob()->getPosition().X, 3.0f);
}

TEST_F(SliderTest, AVerticalSliderUsesHeights) {
    SliderNode* v = slider("V");
    v->setValue(50);
    EXPECT_EQ(knob(v->getKnob(), false), std::make_pair(45.0f, 10.0f));
    EXPECT_EQ(v->getKnob()->getPosition().X, 0.0f);
    v->setKnobType(1);
    v->setValue(25);
    EXPECT_EQ(knob(v->getKnob(), false), std::make_pair(0.0f, 25.0f));
}

TEST_F(SliderTest, ValuesOutOfRangeFromAFileStayUntilASetterRuns) {
    // Min equal to max: the knob sits at the start and any point gives the minimum.
    SliderNode* flat = slider("Flat");
    EXPECT_EQ(flat->getMinValue(), 50.0f);
    EXPECT_EQ(flat->getMaxValue(), 50.0f);
    EXPECT_EQ(knob(flat->getKnob()).first, 20.0f);
    click(300, 210);
    EXPECT_EQ(flat->getValue(), 50.0f);

    registerControlTestKinds();
    CountedRef<BaseNode> read(readScene(R"(<?xml version="1.0"?>
<SceneNode Type="SliderNode"><Properties><float Name="Value" Value="150" /><float Name="MaxValue" Value="100" />
<float Name="DeltaValue" Value="-1" /></Properties></SceneNode>)"));
    SliderNode* loose = nodeCast<SliderNode>(read.get());
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->getValue(), 150.0f);
    EXPECT_EQ(loose->getDeltaValue(), -1.0f);

    // Beyond the end: a placed knob goes past the area, a stretched one is
    // clamped at 0.
    SliderNode* over = slider("Over");
    EXPECT_EQ(over->getValue(), 150.0f);
    EXPECT_EQ(knob(over->getKnob()).first, 455.0f);
    SliderNode* under = slider("Under");
    EXPECT_EQ(under->getValue(), -50.0f);
    EXPECT_EQ(knob(under->getKnob()).second, 0.0f);
    // The first setter brings the value back.
    over->setMaxValue(120);
    EXPECT_EQ(over->getValue(), 120.0f);
}

TEST_F(SliderTest, AProgressBarStretchesItsKnobOnlyForKnobTypeOne) {
    ProgressBarNode* p = bar("P");
    EXPECT_EQ(knob(p->getKnob()), std::make_pair(5.0f, 50.0f));  // laid out with the template
    p->setValue(80);
    EXPECT_EQ(knob(p->getKnob()), std::make_pair(5.0f, 160.0f));
    ProgressBarNode* g = bar("G");
    EXPECT_EQ(knob(g->getKnob(), false), std::make_pair(5.0f, 50.0f));

    p->setKnobType(0);
    p->setValue(10);
    EXPECT_EQ(knob(p->getKnob()), std::make_pair(5.0f, 160.0f));

    // Without a template there is nothing to lay out.
    CountedRef<ProgressBarNode> loose(new ProgressBarNode(nullptr, nullptr, nullptr));
    loose->setKnobType(1);
    loose->setValue(20);
    EXPECT_EQ(loose->getKnob(), nullptr);
    EXPECT_EQ(loose->getValue(), 20.0f);
}

// ---- Pointer ---------------------------------------------------------------------------

TEST_F(SliderTest, AClickMovesTheValueToThePointer) {
    struct Case {
        const char* name;
        int32_t knobType;
        float pageSize;
        int x;
        float value;
    };
    const Case cases[] = {
        {"area start", 0, 0, 21, 0},
        {"knob centre", 0, 0, 170, 50},
        {"near the end", 0, 0, 318, 100},
        {"last point of the area", 0, 0, 319, 100},
        {"stretch", 1, 0, 95, 25},
        {"stretch keeps a page", 1, 10, 319, 90},
        {"thumb", 2, 10, 170, 45},
    };
    SliderNode* h = slider("H");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        h->getKnob()->setBounds(vector3df(10, 20, 0));
        h->setKnobType(c.knobType);
        h->setPageSize(c.pageSize);
        h->setValue(c.value == 50 ? 10 : 50);
        changes();
        click(c.x, 10);
        EXPECT_NEAR(h->getValue(), c.value, 1e-4);
        EXPECT_EQ(changes(), 1u);
    }
    // The same point again changes nothing and reports nothing.
    click(170, 10);
    EXPECT_NEAR(h->getValue(), 45.0f, 1e-4);
    EXPECT_EQ(changes(), 0u);
}

TEST_F(SliderTest, DraggingFollowsThePointerWhileItIsOverTheSlider) {
    SliderNode* h = slider("H");
    h->setValue(0);
    down(170, 10);
    EXPECT_EQ(h->getValue(), 50.0f);
    move(237, 10);  // local 217: e = 212 of 290
    EXPECT_NEAR(h->getValue(), 212.0f / 290.0f * 100.0f, 1e-3);
    EXPECT_EQ(changes(), 2u);
    move(100, 100);  // off the slider
    EXPECT_NEAR(h->getValue(), 212.0f / 290.0f * 100.0f, 1e-3);
    up(100, 100);
    move(20, 10);  // released: hovering only
    EXPECT_NEAR(h->getValue(), 212.0f / 290.0f * 100.0f, 1e-3);
    EXPECT_EQ(changes(), 0u);
}

TEST_F(SliderTest, TheSlidingAreaTakesClicksWhateverNodeDrawsIt) {
    // Its track and knob are plain nodes that no hit test finds.
    SliderNode* plain = slider("Plain");
    plain->setValue(0);
    changes();
    click(610, 95);
    EXPECT_NEAR(plain->getValue(), 100.0f, 1e-4);
    EXPECT_EQ(changes(), 1u);
    click(630, 50);  // beside the track
    EXPECT_NEAR(plain->getValue(), 100.0f, 1e-4);
    EXPECT_EQ(changes(), 0u);
}

// ---- Buttons -------------------------------------------------------------------------

TEST_F(SliderTest, TheButtonsStepTheValue) {
    SliderNode* h = slider("H");
    ASSERT_NE(h->getPrevButton(), nullptr);
    ASSERT_NE(h->getNextButton(), nullptr);
    click(10, 10);  // on the previous button, outside the area
    EXPECT_EQ(h->getValue(), 45.0f);
    EXPECT_EQ(changes(), 1u);
    // The press goes on up to the scene.
    ASSERT_EQ(scene->pressed.size(), 1u);
    EXPECT_EQ(scene->pressed[0], h->getPrevButton());

    click(330, 10);
    click(330, 10);
    EXPECT_EQ(h->getValue(), 55.0f);
    EXPECT_EQ(changes(), 2u);

    h->setValue(100);
    click(330, 10);  // at the maximum: no change, no report
    EXPECT_EQ(h->getValue(), 100.0f);
    EXPECT_EQ(changes(), 0u);

    // A disabled slider still passes input to its buttons.
    h->setEnabled(false);
    click(10, 10);
    EXPECT_EQ(h->getValue(), 95.0f);
    EXPECT_EQ(changes(), 1u);
    // ... but not to the area.
    click(170, 10);
    EXPECT_EQ(h->getValue(), 95.0f);
}

// ---- Keys ---------------------------------------------------------------------------------

TEST_F(SliderTest, KeysStepAlongTheSlidersAxis) {
    struct Case {
        const char* slider;
        int key;
        float from, to;
        bool handled;
    };
    const Case cases[] = {
        {"H", 35, 50, 100, true}, {"H", 36, 50, 0, true},   {"H", 35, 100, 100, true},
        {"H", 37, 50, 45, true},  {"H", 39, 50, 55, true},  {"H", 39, 98, 100, true},
        {"H", 37, 0, 0, false},   {"H", 39, 100, 100, false}, {"H", 38, 50, 50, false},
        {"H", 40, 50, 50, false}, {"V", 38, 50, 55, true},  {"V", 40, 50, 45, true},
        {"V", 37, 50, 50, false}, {"V", 39, 50, 50, false}, {"V", 65, 50, 50, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.slider) + " key " + std::to_string(c.key) + " from " + std::to_string(c.from));
        SliderNode* s = slider(c.slider);
        s->setValue(c.from);
        s->setFocused(true);
        changes();
        EXPECT_EQ(s->onEvent31(CountedRef<KeyDownEvent>(new KeyDownEvent(0, c.key, false, false)).get()), c.handled);
        EXPECT_EQ(s->getValue(), c.to);
        EXPECT_EQ(changes(), c.from == c.to ? 0u : 1u);
    }
}

TEST_F(SliderTest, ArrowsAcrossTheAxisMoveTheFocus) {
    SliderNode* h = slider("H");
    h->setFocused(true);
    deliver();
    EXPECT_TRUE(key(40));  // down: the scene moves the focus to V
    EXPECT_TRUE(slider("V")->isFocused());
    EXPECT_FALSE(h->isFocused());
    EXPECT_EQ(h->getValue(), 50.0f);
}

// ---- Copies and files ---------------------------------------------------------------------

TEST(SliderFile, ValuesTravelThroughSceneFilesAndCopies) {
    registerControlTestKinds();
    CountedRef<SliderNode> fresh(new SliderNode(nullptr, nullptr, nullptr));
    const std::string defaults = sceneText(fresh.get());
    for (const char* key : {"MinValue", "MaxValue", "\"Value\"", "DeltaValue", "KnobType"})
        EXPECT_EQ(defaults.find(key), std::string::npos) << key;

    CountedRef<SliderNode> s(new SliderNode(nullptr, nullptr, nullptr));
    s->setMaxValue(10);
    s->setMinValue(-10);
    s->setValue(2.5f);
    s->setDeltaValue(0.5f);
    s->setKnobType(2);
    s->setPageSize(3);
    for (int copy = 0; copy < 2; ++copy) {
        CountedRef<SliderNode> read;
        if (copy) {
            read.reset(nodeCast<SliderNode>(s->clone(nullptr, nullptr)));
        } else {
            read = roundTrip<SliderNode>(s.get());
        }
        ASSERT_TRUE(read);
        EXPECT_EQ(read->getMinValue(), -10.0f);
        EXPECT_EQ(read->getMaxValue(), 10.0f);
        EXPECT_EQ(read->getValue(), 2.5f);
        EXPECT_EQ(read->getDeltaValue(), 0.5f);
        EXPECT_EQ(read->getKnobType(), 2);
        EXPECT_EQ(read->getPageSize(), 0.0f);  // not a stored value
    }

    CountedRef<ProgressBarNode> bar(new ProgressBarNode(nullptr, nullptr, nullptr));
    for (const char* key : {"MinValue", "MaxValue", "\"Value\"", "KnobType"})
        EXPECT_EQ(sceneText(bar.get()).find(key), std::string::npos) << key;
    bar->setMinValue(5);
    bar->setValue(7);
    bar->setKnobType(1);
    for (int copy = 0; copy < 2; ++copy) {
        CountedRef<ProgressBarNode> read;
        if (copy) {
            read.reset(nodeCast<ProgressBarNode>(bar->clone(nullptr, nullptr)));
        } else {
            read = roundTrip<ProgressBarNode>(bar.get());
        }
        ASSERT_TRUE(read);
        EXPECT_EQ(read->getMinValue(), 5.0f);
        EXPECT_EQ(read->getMaxValue(), 100.0f);
        EXPECT_EQ(read->getValue(), 7.0f);
        EXPECT_EQ(read->getKnobType(), 1);
    }
}

TEST(SliderProperties, ValuesOfAnotherTypeCountAsZero) {
    CountedRef<SliderNode> s(new SliderNode(nullptr, nullptr, nullptr));
    const PropertyTable& table = SliderNode::classPropertyTable();
    table.set(*s, table.indexOf("DeltaValue"), CountedRef<IPropertyData>(makeIntProperty(3)));
    table.set(*s, table.indexOf("KnobType"), CountedRef<IPropertyData>(makeFloatProperty(2)));
    table.set(*s, table.indexOf("Value"), CountedRef<IPropertyData>(makeStringProperty("70")));
    EXPECT_EQ(s->getDeltaValue(), 0.0f);
    EXPECT_EQ(s->getKnobType(), 0);
    EXPECT_EQ(s->getValue(), 0.0f);
    table.set(*s, table.indexOf("Value"), CountedRef<IPropertyData>(makeFloatProperty(70)));
    EXPECT_EQ(floatFromProperty(table.get(*s, table.indexOf("Value"))), 70.0f);

    CountedRef<ProgressBarNode> p(new ProgressBarNode(nullptr, nullptr, nullptr));
    const PropertyTable& barTable = ProgressBarNode::classPropertyTable();
    barTable.set(*p, barTable.indexOf("MaxValue"), CountedRef<IPropertyData>(makeFloatProperty(40)));
    barTable.set(*p, barTable.indexOf("KnobType"), CountedRef<IPropertyData>(makeIntProperty(1)));
    EXPECT_EQ(p->getMaxValue(), 40.0f);
    EXPECT_EQ(p->getValue(), 40.0f);
    EXPECT_EQ(intFromProperty(barTable.get(*p, barTable.indexOf("KnobType"))), 1);
}

TEST_F(SliderTest, ASliderWithoutItsPartsIgnoresPointsAndArrows) {
    // No template: no area to tell the axis, so the arrows only navigate.
    CountedRef<SliderNode> loose(new SliderNode(nullptr, nullptr, nullptr));
    for (int code : {37, 38, 39, 40}) {
        EXPECT_FALSE(loose->onEvent31(CountedRef<KeyDownEvent>(new KeyDownEvent(0, code, false, false)).get()));
    }
    EXPECT_TRUE(loose->onEvent31(CountedRef<KeyDownEvent>(new KeyDownEvent(0, 35, false, false)).get()));
    EXPECT_EQ(loose->getValue(), 100.0f);
    loose->setValueFromPoint(10, 10);
    EXPECT_EQ(loose->getValue(), 100.0f);

    // A collapsed area (scale 0) has no inside: no point maps into it.
    SliderNode* h = slider("H");
    h->getSlidingArea()->setScale(vector3df(0, 0, 1));
    h->setValueFromPoint(20, 0);
    EXPECT_EQ(h->getValue(), 50.0f);
}
