#include "engine/core/NodeFactory.h"
#include "engine/core/Animator.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/SceneNode.h"
#include "engine/core/SetProps.h"
#include "engine/core/SetStates.h"
#include "engine/core/Singleton.h"
#include "engine/core/TemplateCollectionNode.h"

namespace engine {

NodeFactory::NodeFactory() {
    // The kinds of this layer; the higher parts of the engine register theirs
    // when the device is made, and the game adds its kinds (names beginning
    // with G) at start-up.
    registerNodeKind(L"BaseNode", &createNodeOf<BaseNode>);
    registerNodeKind(L"TemplateCollectionNode", &createNodeOf<TemplateCollectionNode>);
    registerNodeKind(L"ControlNode", &createNodeOf<ControlNode>);
    registerNodeKind(L"SceneNode", &createNodeOf<SceneNode>);

    registerAnimatorKind(L"KeyFrame", &createAnimatorOf<KeyFrame>);
    registerAnimatorKind(L"SetProps", &createAnimatorOf<SetProps>);
    registerAnimatorKind(L"SetStates", &createAnimatorOf<SetStates>);
}

NodeFactory::~NodeFactory() = default;

bool NodeFactory::registerNodeKind(const stringw& name, NodeCreator creator) {
    if (!creator) return false;
    return nodeKinds_.emplace(name, creator).second;
}

bool NodeFactory::registerAnimatorKind(const stringw& name, AnimatorCreator creator) {
    if (!creator) return false;
    return animatorKinds_.emplace(name, creator).second;
}

BaseNode* NodeFactory::createNode(const stringw& name, const CreationContext* context) const {
    auto found = nodeKinds_.find(name);
    if (found == nodeKinds_.end()) return nullptr;
    const CreationContext none;
    return found->second(context ? context : &none);
}

Base* NodeFactory::createAnimator(const stringw& name, const CreationContext*) const {
    auto found = animatorKinds_.find(name);
    if (found == animatorKinds_.end()) return nullptr;
    return found->second();
}

NodeFactory& getNodeFactory() { return EngineSingleton<NodeFactory>::Instance(); }

}  // namespace engine
