#include "NodeTestSupport.h"

#include "engine/audio/SoundNode.h"
#include "engine/core/BaseNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneFile.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace node_tests;
using testing_support::LogCapture;
using testing_support::TempDir;

namespace {

NameId id(const char* name) { return makeNameId(name); }

std::string nameOf(const BaseNode* node) { return nameOfId(node->getName()).c_str(); }

// Compares two trees by kind, written values, states and children.
void expectSameTree(BaseNode* a, BaseNode* b, const std::string& path = "root") {
    ASSERT_NE(a, nullptr) << path;
    ASSERT_NE(b, nullptr) << path;
    EXPECT_EQ(stringw(a->getClassName()), stringw(b->getClassName())) << path;
    PropertySet va, vb;
    a->writeProperties(&va);
    b->writeProperties(&vb);
    ASSERT_EQ(va.getCount(), vb.getCount()) << path;
    for (uint32_t i = 0; i < va.getCount(); ++i) {
        EXPECT_EQ(va.getNameAt(i), vb.getNameAt(i)) << path;
        EXPECT_TRUE(va.getDataAt(i)->equals(vb.getDataAt(i).get())) << path << " " << va.getNameAt(i).c_str();
    }
    EXPECT_EQ(a->getDefaultState(), b->getDefaultState()) << path;
    ASSERT_EQ(a->getStates().size(), b->getStates().size()) << path;
    for (const auto& entry : a->getStates()) {
        State* other = b->getState(entry.first);
        ASSERT_NE(other, nullptr) << path << " state " << nameOfId(entry.first).c_str();
        EXPECT_EQ(entry.second->getNextState(), other->getNextState()) << path;
        for (int list = 0; list < 3; ++list) {
            const auto which = static_cast<State::AnimatorList>(list);
            ASSERT_EQ(entry.second->getAnimatorList(which).size(), other->getAnimatorList(which).size()) << path;
            for (uint32_t i = 0; i < other->getAnimatorList(which).size(); ++i)
                EXPECT_EQ(entry.second->getAnimatorList(which)[i]->getName(), other->getAnimatorList(which)[i]->getName());
        }
    }
    ASSERT_EQ(a->getChildCount(), b->getChildCount()) << path;
    for (uint32_t i = 0; i < a->getChildCount(); ++i)
        expectSameTree(a->getChild(i), b->getChild(i), path + "/" + nameOf(a->getChild(i)));
}

const char* kMainScene = R"(<?xml version="1.0"?>
<SceneNode Type="TestScene">
  <Properties>
    <string Name="Name" Value="Root" />
    <vector3d Name="Position" Value="10;20;0" />
  </Properties>
  <States>
    <Properties><string Name="DefaultState" Value="Idle" /></Properties>
    <State Name="Idle" NextState="Shown">
      <StartAnimator Type="TestWait" Name="hide" Show="0" />
    </State>
    <State Name="Shown">
      <Animator Type="TestWait" Name="fade" Duration="250" />
      <EndAnimator Type="TestWait" Show="1" />
    </State>
  </States>
  <SceneNode Type="ValuesNode">
    <Properties>
      <string Name="Name" Value="Values" />
      <int Name="Count" Value="-7" />
      <float Name="Speed" Value="2.5" />
      <colorf Name="Glow" Value="0.5;0.25;1;0.75" />
      <rect Name="Area" Value="1;2;30;40" />
      <stringw Name="Caption" Value="Hello &amp; welcome" />
      <string Name="Tag" Value="tag" />
      <bool Name="Visible" Value="false" />
      <vector2d Name="PivotPoint" Value="5;6" />
      <color Name="TintColor" Value="80ff0000" />
      <vector3d Name="Rotation" Value="0;0;45" />
      <vector3d Name="Scale" Value="2;2;1" />
      <vector3d Name="Bounds" Value="320;240;0" />
      <bool Name="CanBeHit" Value="false" />
      <bool Name="ChildrenClipped" Value="true" />
    </Properties>
    <SceneNode Type="SoundNode">
      <Properties><string Name="Name" Value="Music" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode File="parts/Panel.oscn" />
  <SceneNode Type="TemplateCollectionNode">
    <Properties><string Name="Name" Value="Templates" /></Properties>
    <SceneNode Type="BaseNode">
      <Properties><string Name="Name" Value="ButtonLook" /></Properties>
      <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Face" /></Properties></SceneNode>
    </SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="PanelLook" /></Properties></SceneNode>
  </SceneNode>
  <SceneNode ClassOverride="NotRegistered" Type="RecordingNode">
    <Properties><string Name="Name" Value="Recorder" /></Properties>
  </SceneNode>
</SceneNode>
)";

const char* kPanelScene = R"(<SceneNode Type="BaseNode">
  <Properties><string Name="Name" Value="Panel" /></Properties>
  <SceneNode File="Inner.oscn" />
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="AfterInner" /></Properties></SceneNode>
</SceneNode>
)";

const char* kInnerScene = R"(<SceneNode Type="SoundNode"><Properties><string Name="Name" Value="Inner" /></Properties></SceneNode>)";

struct SceneFiles : testing::Test {
    void SetUp() override {
        registerTestKinds();
        mainPath = dir.write("main.oscn", kMainScene);
        dir.write("parts/Panel.oscn", kPanelScene);
        dir.write("parts/Inner.oscn", kInnerScene);
    }
    TempDir dir;
    std::string mainPath;
    FileSceneManager manager;
};

}  // namespace

TEST_F(SceneFiles, ASceneFileLoadsIntoTheExpectedTree) {
    LogCapture log;
    CountedRef<BaseNode> root(loadSceneFile(mainPath.c_str(), &manager));
    ASSERT_TRUE(root);
    EXPECT_FALSE(log.hasErrors());
    EXPECT_TRUE(log.contains("Loaded scene node"));
    EXPECT_TRUE(manager.folders.empty());
    EXPECT_EQ(manager.deepestFolderStack, 2u);  // main, then the panel while its include loads

    // Root: kind, values, states.
    ASSERT_NE(nodeCast<TestScene>(root.get()), nullptr);
    EXPECT_EQ(root->getRefCount(), 1);
    EXPECT_EQ(nameOf(root.get()), "Root");
    EXPECT_EQ(root->getPosition(), vector3df(10, 20, 0));
    EXPECT_EQ(root->getContentManager(), &manager);
    EXPECT_EQ(root->getDefaultState(), id("Idle"));
    ASSERT_EQ(root->getStates().size(), 2u);
    EXPECT_EQ(root->getState(id("Idle"))->getNextState(), id("Shown"));
    EXPECT_EQ(root->getState(id("Shown"))->getAnimatorList(State::Animators).size(), 1u);
    EXPECT_EQ(root->getState(id("Shown"))->getAnimatorList(State::EndAnimators).size(), 1u);
    EXPECT_EQ(root->getRunningState(), nullptr);  // default states wait for a scene

    ASSERT_EQ(root->getChildCount(), 4u);
    auto* values = nodeCast<ValuesNode>(root->getChild(0));
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(nameOf(values), "Values");
    EXPECT_EQ(values->count, -7);
    EXPECT_FLOAT_EQ(values->speed, 2.5f);
    EXPECT_FLOAT_EQ(values->glow.g, 0.25f);
    EXPECT_FLOAT_EQ(values->glow.a, 0.75f);
    EXPECT_EQ(values->area, rectf(1, 2, 30, 40));
    EXPECT_EQ(values->caption, stringw(L"Hello & welcome"));
    EXPECT_EQ(values->tag, stringc("tag"));
    EXPECT_FALSE(values->isVisible());
    EXPECT_EQ(values->getPivotPoint(), vector2df(5, 6));
    EXPECT_EQ(values->getTintColor(), SColor(0x80FF0000));
    EXPECT_EQ(values->getRotation(), vector3df(0, 0, 45));
    EXPECT_EQ(values->getScale(), vector3df(2, 2, 1));
    EXPECT_EQ(values->getBounds(), vector3df(320, 240, 0));
    EXPECT_FALSE(values->canBeHit());
    EXPECT_TRUE(values->isChildrenClipped());
    ASSERT_EQ(values->getChildCount(), 1u);
    EXPECT_NE(nodeCast<SoundNode>(values->getChild(0)), nullptr);
    EXPECT_EQ(nameOf(values->getChild(0)), "Music");
    EXPECT_EQ(values->getChild(0)->getContentManager(), &manager);

    // The include, and its own include resolved against its folder.
    BaseNode* panel = root->getChild(1);
    EXPECT_EQ(nameOf(panel), "Panel");
    EXPECT_EQ(panel->getParent(), root.get());
    EXPECT_EQ(panel->getRefCount(), 1);
    ASSERT_EQ(panel->getChildCount(), 2u);
    EXPECT_EQ(nameOf(panel->getChild(0)), "Inner");
    EXPECT_NE(nodeCast<SoundNode>(panel->getChild(0)), nullptr);
    EXPECT_EQ(nameOf(panel->getChild(1)), "AfterInner");
    ASSERT_EQ(manager.loads.size(), 2u);
    EXPECT_EQ(manager.loads[0], dir.file("parts/Panel.oscn"));
    EXPECT_EQ(manager.loads[1], dir.file("parts/Inner.oscn"));

    // The template collection registered its direct children.
    auto* templates = nodeCast<TemplateCollectionNode>(root->getChild(2));
    ASSERT_NE(templates, nullptr);
    EXPECT_EQ(templates->getTemplateCount(), 2u);
    ASSERT_NE(templates->getTemplate(id("ButtonLook")), nullptr);
    EXPECT_EQ(templates->getTemplate(id("ButtonLook"))->getChildCount(), 1u);
    EXPECT_EQ(templates->getTemplate(id("Face")), nullptr);

    // An unregistered override falls back to the type.
    EXPECT_NE(nodeCast<RecordingNode>(root->getChild(3)), nullptr);
    EXPECT_EQ(nameOf(root->getChild(3)), "Recorder");
}

TEST_F(SceneFiles, WritingAndReadingBackGivesTheSameTreeAndTheSameBytes) {
    CountedRef<BaseNode> root(loadSceneFile(mainPath.c_str(), &manager));
    ASSERT_TRUE(root);
    const std::string first = writeSceneBytes(root.get());
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first.substr(0, 2), std::string("\xFF\xFE"));

    CountedRef<BaseNode> again;
    {
        XmlReader reader(first.data(), first.size(), "written");
        again.reset(readSceneFile(reader, CreationContext(&manager, "written"), "written"));
    }
    expectSameTree(root.get(), again.get());
    const std::string second = writeSceneBytes(again.get());
    EXPECT_EQ(first, second);

    // The same through files on disk.
    const std::string path = dir.file("written.oscn");
    ASSERT_TRUE(saveSceneFile(again.get(), path.c_str()));
    EXPECT_EQ(TempDir::read(path), first);
    CountedRef<BaseNode> fromDisk(loadSceneFile(path.c_str()));
    expectSameTree(root.get(), fromDisk.get());
}

TEST(SceneFileWriting, WritesTheLayoutOfTheEnginesFiles) {
    CountedRef<BaseNode> root(new BaseNode(nullptr, nullptr, nullptr));
    root->setName(id("R"));
    root->setVisible(false);
    CountedRef<State> state(new State(id("S")));
    root->addState(state.get());
    BaseNode* child = new BaseNode(nullptr, root.get(), nullptr);
    child->release();
    CountedRef<BaseNode> ghost(new BaseNode(nullptr, nullptr, nullptr));
    ghost->setGhost(true);
    root->addChild(ghost.get());

    const std::string bytes = writeSceneBytes(root.get());
    EXPECT_EQ(narrowUtf16(bytes),
              "<?xml version=\"1.0\"?>\r\n"
              "<SceneNode Type=\"BaseNode\">\r\n"
              "\t<Properties>\r\n"
              "\t\t<string Name=\"Name\" Value=\"R\" />\r\n"
              "\t\t<bool Name=\"Visible\" Value=\"false\" />\r\n"
              "\t</Properties>\r\n"
              "\t<States>\r\n"
              "\t\t<State Name=\"S\">\r\n"
              "\t\t</State>\r\n"
              "\t</States>\r\n"
              "\t<SceneNode Type=\"BaseNode\">\r\n"
              "\t</SceneNode>\r\n"
              "</SceneNode>\r\n");

    // A default state is written inside the states.
    root->setDefaultState(id("S"));
    const std::string withDefault = narrowUtf16(writeSceneBytes(root.get()));
    EXPECT_NE(withDefault.find("\t<States>\r\n"
                               "\t\t<Properties>\r\n"
                               "\t\t\t<string Name=\"DefaultState\" Value=\"S\" />\r\n"
                               "\t\t</Properties>\r\n"),
              std::string::npos);

    XmlWriter writer;
    EXPECT_FALSE(writeSceneFile(nullptr, writer));
    EXPECT_FALSE(saveSceneFile(nullptr, "unused.oscn"));
}

TEST(SceneFileWriting, AGhostWritesNothing) {
    CountedRef<BaseNode> ghost(new BaseNode(nullptr, nullptr, nullptr));
    ghost->setGhost(true);
    XmlWriter writer;
    ghost->writeToXml(&writer);
    EXPECT_TRUE(writer.getBuffer().empty());
}

TEST(SceneFileReading, ReadingTheSameElementTwiceReplacesTheContent) {
    registerTestKinds();
    const std::string text = R"(<SceneNode Type="BaseNode">
      <States><State Name="A" /></States>
      <SceneNode Type="BaseNode" />
      <SceneNode Type="SoundNode" />
    </SceneNode>)";
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    for (int pass = 0; pass < 2; ++pass) {
        XmlReader reader(text.data(), text.size(), "twice");
        ASSERT_TRUE(reader.read());
        node->readFromXml(&reader, &getNodeFactory());
    }
    EXPECT_EQ(node->getChildCount(), 2u);
    EXPECT_EQ(node->getStates().size(), 1u);
}

TEST(SceneFileReading, EmptyElementsDoNotSwallowWhatFollows) {
    registerTestKinds();
    LogCapture log;
    const struct {
        const char* label;
        const char* content;  // inside the root
        uint32_t children;
        uint32_t states;
    } cases[] = {
        {"empty child", R"(<SceneNode Type="BaseNode"/><SceneNode Type="SoundNode"/>)", 2, 0},
        {"empty child with properties after",
         R"(<SceneNode Type="BaseNode"/><Properties><string Name="Name" Value="root"/></Properties>)", 1, 0},
        {"empty states", R"(<States/><SceneNode Type="BaseNode"/>)", 1, 0},
        {"empty state", R"(<States><State Name="A"/><State Name="B"></State></States><SceneNode Type="BaseNode"/>)", 1, 2},
        {"empty properties", R"(<Properties/><SceneNode Type="BaseNode"/>)", 1, 0},
        {"missing include", R"(<SceneNode File="missing.oscn"/><SceneNode Type="BaseNode"/>)", 1, 0},
        {"unknown empty kind", R"(<SceneNode Type="Nope"/><SceneNode Type="BaseNode"/>)", 1, 0},
        {"unknown other element", R"(<Other/><SceneNode Type="BaseNode"/>)", 1, 0},
        // Elements carrying the name of the element being read end nothing.
        {"empty States inside the states", R"(<States><States/><State Name="A"/></States>)", 0, 1},
    };
    FileSceneManager manager;
    for (const auto& c : cases) {
        const std::string text = std::string("<SceneNode Type=\"BaseNode\">") + c.content +
                                 "<SceneNode Type=\"BaseNode\"/></SceneNode>";
        CountedRef<BaseNode> root(readSceneText(text, &manager));
        ASSERT_TRUE(root) << c.label;
        EXPECT_EQ(root->getChildCount(), c.children + 1) << c.label;
        EXPECT_EQ(root->getStates().size(), c.states) << c.label;
        for (uint32_t i = 0; i < root->getChildCount(); ++i)
            EXPECT_EQ(root->getChild(i)->getChildCount(), 0u) << c.label;
    }
}

TEST(SceneFileReading, AnUnknownKindIsSkippedWithItsContentAndLogged) {
    registerTestKinds();
    LogCapture log;
    CountedRef<BaseNode> root(readSceneText(R"(<SceneNode Type="BaseNode">
      <Properties><string Name="Name" Value="Parent" /></Properties>
      <SceneNode Type="NoSuchKind">
        <Properties><string Name="Name" Value="Stolen" /></Properties>
        <States><State Name="Stolen" /></States>
        <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Orphan" /></Properties></SceneNode>
      </SceneNode>
      <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Sibling" /></Properties></SceneNode>
    </SceneNode>)"));
    ASSERT_TRUE(root);
    EXPECT_TRUE(log.hasErrors());
    EXPECT_TRUE(log.contains("NoSuchKind"));
    EXPECT_EQ(nameOf(root.get()), "Parent");
    EXPECT_EQ(root->getStates().size(), 0u);
    ASSERT_EQ(root->getChildCount(), 1u);
    EXPECT_EQ(nameOf(root->getChild(0)), "Sibling");
}

TEST(SceneFileReading, ClassOverrideIsPreferredWhenRegistered) {
    registerTestKinds();
    const struct {
        const char* attributes;
        int32_t typeId;
    } cases[] = {
        {R"(ClassOverride="ValuesNode" Type="BaseNode")", ValuesNode::kTypeId},
        {R"(ClassOverride="Unregistered" Type="SoundNode")", SoundNode::kTypeId},
        {R"(ClassOverride="" Type="RecordingNode")", RecordingNode::kTypeId},
    };
    for (const auto& c : cases) {
        // As the root and as a child.
        CountedRef<BaseNode> root(readSceneText(std::string("<SceneNode ") + c.attributes + "><SceneNode " +
                                                c.attributes + "></SceneNode></SceneNode>"));
        ASSERT_TRUE(root) << c.attributes;
        EXPECT_EQ(root->getTypeId(), c.typeId) << c.attributes;
        ASSERT_EQ(root->getChildCount(), 1u);
        EXPECT_EQ(root->getChild(0)->getTypeId(), c.typeId) << c.attributes;
    }
}

TEST(SceneFileReading, IncludesThatComeBackToAnOpenFileAreSkipped) {
    registerTestKinds();
    TempDir dir;
    dir.write("Self.oscn", R"(<SceneNode Type="BaseNode">
      <SceneNode File="Self.oscn" />
      <SceneNode Type="SoundNode" />
    </SceneNode>)");
    dir.write("A.oscn", R"(<SceneNode Type="BaseNode"><Properties><string Name="Name" Value="A" /></Properties>
      <SceneNode File="sub/B.oscn" /></SceneNode>)");
    dir.write("sub/B.oscn", R"(<SceneNode Type="BaseNode"><Properties><string Name="Name" Value="B" /></Properties>
      <SceneNode File="../A.oscn" /><SceneNode File="./B.oscn" /><SceneNode Type="SoundNode" /></SceneNode>)");

    FileSceneManager manager;
    {
        LogCapture log;
        CountedRef<BaseNode> self(loadSceneFile(dir.file("Self.oscn").c_str(), &manager));
        ASSERT_TRUE(self);
        EXPECT_TRUE(log.contains("includes itself"));
        ASSERT_EQ(self->getChildCount(), 1u);
        EXPECT_NE(nodeCast<SoundNode>(self->getChild(0)), nullptr);
    }
    {
        LogCapture log;
        CountedRef<BaseNode> a(loadSceneFile(dir.file("A.oscn").c_str(), &manager));
        ASSERT_TRUE(a);
        EXPECT_TRUE(log.contains("includes itself"));
        ASSERT_EQ(a->getChildCount(), 1u);
        BaseNode* b = a->getChild(0);
        EXPECT_EQ(nameOf(b), "B");
        ASSERT_EQ(b->getChildCount(), 1u);  // both includes of open files were skipped
        EXPECT_NE(nodeCast<SoundNode>(b->getChild(0)), nullptr);
    }
    // The chain of open files is left empty: loading B on its own works and
    // includes A, which then may not include B.
    LogCapture log;
    CountedRef<BaseNode> b(loadSceneFile(dir.file("sub/B.oscn").c_str(), &manager));
    ASSERT_TRUE(b);
    EXPECT_TRUE(log.contains("includes itself"));
    ASSERT_EQ(b->getChildCount(), 2u);
    EXPECT_EQ(nameOf(b->getChild(0)), "A");
    EXPECT_EQ(b->getChild(0)->getChildCount(), 0u);
    EXPECT_TRUE(manager.folders.empty());
}

TEST(SceneFileReading, IncludesNeedAContentManager) {
    registerTestKinds();
    LogCapture log;
    CountedRef<BaseNode> root(readSceneText(R"(<SceneNode Type="BaseNode"><SceneNode File="x.oscn"/></SceneNode>)"));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->getChildCount(), 0u);
    EXPECT_TRUE(log.contains("x.oscn"));
}

TEST(SceneFileReading, BadInputIsLoggedAndGivesNoTreeOrAPartialOne) {
    registerTestKinds();
    TempDir dir;
    const std::string good = R"(<SceneNode Type="BaseNode"><SceneNode Type="BaseNode"><Properties><string Name="Name" Value="First" /></Properties></SceneNode><SceneNode Type="SoundNode" /></SceneNode>)";
    const struct {
        const char* label;
        std::string bytes;  // empty label "missing": no file at all
        bool tree;
    } cases[] = {
        {"missing", "", false},
        {"empty", " ", false},
        {"not xml", "just some text, no markup", false},
        {"binary", std::string("\x00\x01\x02\xFF\xFE\x80", 6), false},
        {"no scene node", "<Other><Thing/></Other>", false},
        {"truncated", good.substr(0, good.size() / 2), true},
        {"truncated in a tag", good.substr(0, 20), false},
        {"unclosed root", R"(<SceneNode Type="BaseNode"><SceneNode Type="SoundNode">)", true},
    };
    for (const auto& c : cases) {
        LogCapture log;
        const std::string path = std::string(c.label) == "missing" ? dir.file("missing.oscn")
                                                                    : dir.write(std::string(c.label) + ".oscn", c.bytes);
        CountedRef<BaseNode> root(loadSceneFile(path.c_str()));
        EXPECT_EQ(bool(root), c.tree) << c.label;
        EXPECT_TRUE(log.hasErrors()) << c.label;
    }
}

TEST(SceneFileReading, AnUnknownRootKindYieldsTheLastNodeMadeInsideIt) {
    registerTestKinds();
    LogCapture log;
    CountedRef<BaseNode> result(readSceneText(R"(<SceneNode Type="Unknown">
      <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="One" /></Properties></SceneNode>
      <SceneNode Type="SoundNode"><Properties><string Name="Name" Value="Two" /></Properties></SceneNode>
    </SceneNode>)"));
    ASSERT_TRUE(result);
    EXPECT_EQ(nameOf(result.get()), "Two");
    EXPECT_EQ(result->getRefCount(), 1);
    EXPECT_TRUE(log.contains("Unknown"));
}

TEST(SceneFileReading, UnreadableReaderGivesNull) {
    LogCapture log;
    XmlReader reader("", 0, "nothing");
    EXPECT_EQ(readSceneFile(reader, CreationContext(), "nothing"), nullptr);
    EXPECT_TRUE(log.hasErrors());
}
