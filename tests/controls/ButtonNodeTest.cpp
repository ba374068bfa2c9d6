#include "ControlsTestSupport.h"

#include "engine/controls/BackButtonNode.h"
#include "engine/controls/BaseProgressBarNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/TextConvert.h"
#include <algorithm>
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"

using namespace engine;
using namespace controls_tests;

namespace {

const char* kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Captioned" /></Properties>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Face" /><vector3d Name="Bounds" Value="40;20;0" /></Properties>
    </SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text" /></Properties></SceneNode>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Image" /></Properties></SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Bare" /></Properties>
    <SceneNode Type="Probe">
      <Properties><string Name="Name" Value="Face" /><vector3d Name="Bounds" Value="40;20;0" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="WrongKinds" /></Properties>
    <SceneNode Type="Probe"><Properties><string Name="Name" Value="Text" /></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Image" /></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* kScene = R"(<?xml version="1.0"?>
<SceneNode Type="TestScene">
  <Properties><string Name="Name" Value="Scene" /></Properties>
  <SceneNode Type="ButtonNode">
    <Properties>
      <string Name="Name" Value="Ok" /><vector3d Name="Position" Value="10;10;0" />
      <string Name="TemplateName" Value="Captioned" /><stringw Name="Text" Value="OK" />
    </Properties>
  </SceneNode>
  <SceneNode Type="ButtonNode">
    <Properties>
      <string Name="Name" Value="Plain" /><vector3d Name="Position" Value="100;10;0" />
      <string Name="TemplateName" Value="Bare" /><stringw Name="Text" Value="kept" />
    </Properties>
  </SceneNode>
</SceneNode>)";

CountedRef<AtlasTextureContent> makeAtlas(const char* name) {
    return CountedRef<AtlasTextureContent>(
        new AtlasTextureContent(CreationContext(nullptr, name), nullptr, rectf(0, 0, 1, 1), vector2df(), vector2df()));
}

struct ButtonTest : ControlsFixture {
    void SetUp() override { load(kTemplates, kScene); }
    ButtonNode* button(const char* name) { return node<ButtonNode>(name); }
};

}  // namespace

// ---- Identity and tables --------------------------------------------------------

TEST(ControlKinds, FactoryKindsAnswerTheirClassAndTypes) {
    struct Case {
        const wchar_t* kind;
        int32_t typeId;
        std::vector<int32_t> types;
        bool focusOnHover;
    };
    const Case cases[] = {
        {L"ButtonNode", 9, {9, 5, 0}, true},
        {L"BackButtonNode", 10, {10, 9, 5, 0}, true},
        {L"CheckBoxNode", 11, {11, 9, 5, 0}, true},
        {L"ProgressBarNode", 15, {15, 14, 5, 0}, false},
        {L"SliderNode", 16, {16, 5, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.kind).c_str());
        CountedRef<BaseNode> made(getNodeFactory().createNode(c.kind, nullptr));
        ASSERT_TRUE(made);
        EXPECT_EQ(stringw(made->getClassName()), stringw(c.kind));
        EXPECT_EQ(stringw(made->getTypeName()), stringw(c.kind));
        EXPECT_EQ(made->getTypeId(), c.typeId);
        for (int32_t type : {0, 1, 2, 3, 5, 9, 10, 11, 14, 15, 16}) {
            const bool expected = std::find(c.types.begin(), c.types.end(), type) != c.types.end();
            EXPECT_EQ(made->isOfType(type), expected) << type;
        }
        EXPECT_EQ(made->getParent(), nullptr);
        EXPECT_EQ(made->getManager(), nullptr);
        EXPECT_EQ(nodeCast<ControlNode>(made.get())->isFocusOnHover(), c.focusOnHover);
        // A clone is of the same class.
        CountedRef<BaseNode> copy(made->clone(nullptr, nullptr));
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->getTypeId(), c.typeId);
    }
}

TEST(ControlKinds, TheBaseProgressBarIsNeitherMadeNorCloned) {
    EXPECT_EQ(getNodeFactory().createNode(L"BaseProgressBarNode", nullptr), nullptr);
    CountedRef<BaseProgressBarNode> base(new BaseProgressBarNode(nullptr, nullptr, nullptr));
    EXPECT_EQ(stringw(base->getClassName()), stringw(L"BaseProgressBarNode"));
    EXPECT_TRUE(base->isOfType(14));
    EXPECT_TRUE(base->isOfType(5));
    EXPECT_FALSE(base->isOfType(15));
    EXPECT_EQ(base->clone(nullptr, nullptr), nullptr);
}

TEST(ControlKinds, PropertyTablesAppendTheirEntriesToTheBase) {
    struct Case {
        const PropertyTable& table;
        const PropertyTable& base;
        std::vector<const char*> own;
    };
    const Case cases[] = {
        {ButtonNode::classPropertyTable(), ControlNode::classPropertyTable(), {"Text", "Image"}},
        {CheckBoxNode::classPropertyTable(), ButtonNode::classPropertyTable(), {"IsChecked"}},
        {BaseProgressBarNode::classPropertyTable(), ControlNode::classPropertyTable(), {"MinValue", "MaxValue", "Value"}},
        {ProgressBarNode::classPropertyTable(), BaseProgressBarNode::classPropertyTable(), {"KnobType"}},
        {SliderNode::classPropertyTable(),
         ControlNode::classPropertyTable(),
         {"MinValue", "MaxValue", "Value", "DeltaValue", "KnobType"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.table.size(), c.base.size() + c.own.size());
        for (uint32_t i = 0; i < c.base.size(); ++i) EXPECT_EQ(c.table[i].name, c.base[i].name);
        for (uint32_t i = 0; i < c.own.size(); ++i) EXPECT_EQ(c.table[c.base.size() + i].name, stringc(c.own[i]));
    }
    CountedRef<BackButtonNode> back(new BackButtonNode(nullptr, nullptr, nullptr));
    EXPECT_EQ(&back->getPropertyTable(), &ButtonNode::classPropertyTable());
}

TEST(ButtonProperties, TextAndImageGoThroughTheSetters) {
    const PropertyTable& table = ButtonNode::classPropertyTable();
    CountedRef<ButtonNode> button(new ButtonNode(nullptr, nullptr, nullptr));
    const int32_t text = table.indexOf("Text");
    const int32_t image = table.indexOf("Image");

    table.set(*button, text, CountedRef<IPropertyData>(makeStringWProperty(L"Ab\u00e9")));
    EXPECT_EQ(button->getText(), stringw(L"Ab\u00e9"));
    EXPECT_EQ(getPropertyStringW(table.get(*button, text)), stringw(L"Ab\u00e9"));

    CountedRef<AtlasTextureContent> atlas = makeAtlas("ui/ok.png");
    table.set(*button, image, CountedRef<IPropertyData>(makeAtlasTextureData(atlas.get())));
    EXPECT_EQ(button->getImage(), atlas.get());
    EXPECT_EQ(atlasTextureFromProperty(table.get(*button, image)), atlas.get());
    // Any other value clears the picture.
    table.set(*button, image, CountedRef<IPropertyData>(makeStringProperty("ui/ok.png")));
    EXPECT_EQ(button->getImage(), nullptr);
    EXPECT_EQ(atlasTextureFromProperty(table.get(*button, image)), nullptr);
}

// ---- Template binding -----------------------------------------------------------

TEST_F(ButtonTest, TheCaptionAndPictureGoToTheTemplateNodes) {
    ButtonNode* ok = button("Ok");
    ASSERT_NE(ok->getTextChild(), nullptr);
    ASSERT_NE(ok->getImageChild(), nullptr);
    EXPECT_EQ(ok->getTextChild()->getText(), stringw(L"OK"));  // read before the template came

    ok->setText(L"Cancel");
    EXPECT_EQ(ok->getTextChild()->getText(), stringw(L"Cancel"));

    CountedRef<AtlasTextureContent> atlas = makeAtlas("ui/icon.png");
    ok->setImage(atlas.get());
    EXPECT_EQ(ok->getImageChild()->getAtlasTexture(), atlas.get());
    // The same picture again still refreshes the sprite.
    ok->getImageChild()->setAtlasTexture(nullptr);
    ok->setImage(atlas.get());
    EXPECT_EQ(ok->getImageChild()->getAtlasTexture(), atlas.get());

    // Both survive a new instance of the template.
    ok->setTemplateName(id("Captioned"));
    EXPECT_EQ(ok->getTextChild()->getText(), stringw(L"Cancel"));
    EXPECT_EQ(ok->getImageChild()->getAtlasTexture(), atlas.get());
}

TEST_F(ButtonTest, ATemplateWithoutTheNodesKeepsTheValuesForLater) {
    ButtonNode* plain = button("Plain");
    EXPECT_EQ(plain->getTextChild(), nullptr);
    EXPECT_EQ(plain->getImageChild(), nullptr);
    CountedRef<AtlasTextureContent> atlas = makeAtlas("ui/icon.png");
    plain->setImage(atlas.get());
    EXPECT_EQ(plain->getText(), stringw(L"kept"));

    plain->setTemplateName(id("Captioned"));
    ASSERT_NE(plain->getTextChild(), nullptr);
    EXPECT_EQ(plain->getTextChild()->getText(), stringw(L"kept"));
    EXPECT_EQ(plain->getImageChild()->getAtlasTexture(), atlas.get());

    // Nodes of the wrong kinds are not bound.
    plain->setTemplateName(id("WrongKinds"));
    EXPECT_EQ(plain->getTextChild(), nullptr);
    EXPECT_EQ(plain->getImageChild(), nullptr);
}

TEST_F(ButtonTest, WithoutASceneManagerTheTemplateIsIgnored) {
    CountedRef<ButtonNode> loose(new ButtonNode(nullptr, nullptr, nullptr));
    loose->setTemplateName(id("Captioned"));
    EXPECT_EQ(loose->getTemplateRoot(), nullptr);
    EXPECT_EQ(loose->getTextChild(), nullptr);
    loose->setText(L"Later");
    EXPECT_EQ(loose->getText(), stringw(L"Later"));
}

TEST_F(ButtonTest, HoveringAButtonFocusesIt) {
    move(15, 15);
    EXPECT_TRUE(button("Ok")->isHovered());
    EXPECT_TRUE(button("Ok")->isFocused());
}

TEST_F(ButtonTest, ACopyTakesTheCaptionAndThePicture) {
    CountedRef<AtlasTextureContent> atlas = makeAtlas("ui/icon.png");
    button("Ok")->setImage(atlas.get());
    CountedRef<BaseNode> copy(button("Ok")->clone(nullptr, nullptr));
    ButtonNode* clone = nodeCast<ButtonNode>(copy.get());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->getText(), stringw(L"OK"));
    EXPECT_EQ(clone->getImage(), atlas.get());
    EXPECT_TRUE(clone->isFocusOnHover());
}

// ---- Scene files -------------------------------------------------------------------

TEST(ButtonFile, TheCaptionTravelsThroughSceneFiles) {
    registerControlTestKinds();
    const struct {
        const wchar_t* text;
        bool written;
    } cases[] = {{L"", false}, {L"Play", true}, {L"Gr\u00fc\u00dfe \u4e2d", true}};
    for (const auto& c : cases) {
        CountedRef<ButtonNode> button(new ButtonNode(nullptr, nullptr, nullptr));
        button->setText(c.text);
        const std::string text = sceneText(button.get());
        EXPECT_EQ(text.find("\"Text\"") != std::string::npos, c.written) << text;
        EXPECT_EQ(text.find("\"Image\""), std::string::npos);
        CountedRef<ButtonNode> read = roundTrip<ButtonNode>(button.get());
        ASSERT_TRUE(read);
        EXPECT_EQ(read->getText(), stringw(c.text));
        EXPECT_EQ(read->getImage(), nullptr);
    }
    CountedRef<BackButtonNode> back(new BackButtonNode(nullptr, nullptr, nullptr));
    back->setText(L"Back");
    CountedRef<BackButtonNode> read = roundTrip<BackButtonNode>(back.get());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->getText(), stringw(L"Back"));
}
