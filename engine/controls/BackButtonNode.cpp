#include "engine/controls/BackButtonNode.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"

namespace engine {

BackButtonNode::BackButtonNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ButtonNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

const EventMap<BackButtonNode>& BackButtonNode::getEventMap() {
    static const EventMap<BackButtonNode> map(
        ControlNode::getEventMap(),
        {
            {EventId::NodePressedEvent,
             [](BackButtonNode& n, Event* e) { return n.onEvent58(dynamic_cast<NodePressedEvent*>(e)); }},
        });
    return map;
}

bool BackButtonNode::onEvent58(NodePressedEvent*) {
    auto* manager = dynamic_cast<SceneManager*>(getManager());
    if (!manager) return false;
    SceneNode* top = manager->getTopScene();
    if (!top) return false;
    static const NameId closing = makeNameId("NavBackFrom");
    static const NameId revealed = makeNameId("NavBackTo");
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(top);
    top->closeScene(0, closing, revealed);
    return false;
}

}  // namespace engine
