#pragma once
// A node that stands for a sound in a scene. It carries the base node's
// values only; its kind is registered with the node factory as "SoundNode" so
// that scene files naming it load.
#include "engine/core/BaseNode.h"

namespace engine {

class SoundNode : public BaseNode {
    ENGINE_NODE_TYPE(SoundNode, BaseNode, 18)

public:
    SoundNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SoundNode() override;
};

}  // namespace engine
