#include "engine/controls/ControlKinds.h"
#include "engine/controls/BackButtonNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/EditNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/MessageBoxNode.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/NodeFactory.h"

namespace engine {

void registerControlKinds(NodeFactory& nodes, PropertyDataRegistry&) {
    nodes.registerNodeKind(L"ButtonNode", &createNodeOf<ButtonNode>);
    nodes.registerNodeKind(L"BackButtonNode", &createNodeOf<BackButtonNode>);
    nodes.registerNodeKind(L"CheckBoxNode", &createNodeOf<CheckBoxNode>);
    nodes.registerNodeKind(L"EditNode", &createNodeOf<EditNode>);
    nodes.registerNodeKind(L"ListNode", &createNodeOf<ListNode>);
    nodes.registerNodeKind(L"SliderNode", &createNodeOf<SliderNode>);
    nodes.registerNodeKind(L"ProgressBarNode", &createNodeOf<ProgressBarNode>);
    nodes.registerNodeKind(L"TabSceneNode", &createNodeOf<TabSceneNode>);

    // Message boxes are no factory kind: the scene manager makes them through
    // this maker.
    MessageBoxNode::installMessageBoxMaker();
}

}  // namespace engine
