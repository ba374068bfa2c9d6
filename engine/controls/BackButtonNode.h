#pragma once
// A button that closes the top scene of its scene manager when pressed (or
// when a press bubbles up to it from a node below). The press then goes on up
// to the scene as any press does.
#include "engine/controls/ButtonNode.h"

namespace engine {

class BackButtonNode : public ButtonNode {
    ENGINE_DECLARE_EVENT_MAP(BackButtonNode)
    ENGINE_NODE_TYPE(BackButtonNode, ButtonNode, 10)

public:
    BackButtonNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);

    // Closes the top scene; false, so the press reaches the scene too.
    virtual bool onEvent58(NodePressedEvent* event);
};

}  // namespace engine
