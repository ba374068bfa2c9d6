#include "tutorial/TutorialTestSupport.h"
#include "engine/core/BaseNode.h"
#include "engine/core/SceneFile.h"
#include "game/common/GameEvents.h"

#include <gtest/gtest.h>

using namespace engine;

namespace tutorial_testing {

namespace {

const char* const kWindow = R"(
  <SceneNode Type="ControlNode">
    <Properties><string Name="Name" Value="TutorialWindow"/><vector3d Name="Bounds" Value="420;180;0"/></Properties>
    <States>
      <State Name="NavTo"><StartAnimator Type="SetProps"><Properties><bool Name="Visible" Value="true"/></Properties></StartAnimator></State>
      <State Name="NavFrom"><StartAnimator Type="SetProps"><Properties><bool Name="Visible" Value="false"/></Properties></StartAnimator></State>
    </States>
    <SceneNode Type="TextNode">
      <Properties><string Name="Name" Value="Text"/></Properties>
      <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Bg"/></Properties></SceneNode>
    </SceneNode>
    <SceneNode Type="ButtonNode">
      <Properties><string Name="Name" Value="SkipTutorialButton"/><vector3d Name="Position" Value="300;0;1"/></Properties>
      <SceneNode Type="SpriteNode">
        <Properties><string Name="Name" Value="bg"/><vector3d Name="Bounds" Value="120;40;0"/></Properties>
      </SceneNode>
    </SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="Button"/></Properties></SceneNode>
  </SceneNode>)";

const char* const kArrow = R"(
  <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="TutorialArrow"/></Properties></SceneNode>)";

// Keeps the node a press or list event names alive with the event.
template <class E>
class Holding : public E {
public:
    template <class... A>
    Holding(BaseNode* node, A... args) : E(node, args...), node_(CountedRef<BaseNode>(node)) {}

private:
    CountedRef<BaseNode> node_;
};

BaseNode* named(const char* name) {
    BaseNode* node = new BaseNode(nullptr, nullptr, nullptr);
    node->setName(makeNameId(name));
    return node;
}

}  // namespace

CountedRef<TemplateCollectionNode> makeTemplates(bool withWindow) {
    const std::string xml = std::string("<SceneNode Type=\"TemplateCollectionNode\">") + (withWindow ? kWindow : "") +
                            kArrow + "</SceneNode>";
    CountedRef<XmlReader> reader = readerOf(xml);
    BaseNode* root = readSceneFile(*reader, CreationContext(), "templates");
    auto* collection = dynamic_cast<TemplateCollectionNode*>(root);
    EXPECT_NE(collection, nullptr);
    return CountedRef<TemplateCollectionNode>(collection);
}

CountedRef<XmlReader> readerOf(const std::string& xml) {
    return CountedRef<XmlReader>(new XmlReader(xml.data(), xml.size(), "test"));
}

bool FakeLevel::handleEvent(Event* event) {
    events.push_back(CountedRef<Event>::share(event));
    if (auto* query = dynamic_cast<game::GBuildingExistsQueryEvent*>(event)) query->setAnswer(buildingExists);
    return true;
}

std::vector<Event*> FakeLevel::received(int32_t typeId) const {
    std::vector<Event*> found;
    for (const auto& event : events) {
        if (event->getTypeId() == typeId) found.push_back(event.get());
    }
    return found;
}

CountedRef<Event> pressOf(const char* name) { return CountedRef<Event>(new Holding<NodePressedEvent>(named(name))); }

CountedRef<Event> listPressOf(const char* list, int32_t index) {
    return CountedRef<Event>(new Holding<ListItemPressedEvent>(named(list), index));
}

CountedRef<Event> listHoverOf(const char* list, int32_t index) {
    return CountedRef<Event>(new Holding<ListItemHoveredEvent>(named(list), index));
}

}  // namespace tutorial_testing
