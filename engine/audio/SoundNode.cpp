#include "engine/audio/SoundNode.h"

namespace engine {

SoundNode::SoundNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

SoundNode::~SoundNode() = default;

}  // namespace engine
