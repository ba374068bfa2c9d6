#include "engine/core/NodeFactory.h"
#include "engine/audio/SoundNode.h"
#include "engine/controls/BackButtonNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/EditNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/MessageBoxNode.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/Animator.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/SceneNode.h"
#include "engine/core/SetProps.h"
#include "engine/core/SetStates.h"
#include "engine/core/Singleton.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/particles/ParticleSystemNode.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/visual/NineGridSpriteNode.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"

namespace engine {

NodeFactory::NodeFactory() {
    // The engine's own kinds, in their order of registration; the game adds
    // its kinds (names beginning with G) at start-up.
    registerNodeKind(L"BaseNode", &createNodeOf<BaseNode>);
    registerNodeKind(L"TemplateCollectionNode", &createNodeOf<TemplateCollectionNode>);
    registerNodeKind(L"SpriteNode", &createNodeOf<SpriteNode>);
    registerNodeKind(L"NineGridSpriteNode", &createNodeOf<NineGridSpriteNode>);
    registerNodeKind(L"TextNode", &createNodeOf<TextNode>);
    registerNodeKind(L"ControlNode", &createNodeOf<ControlNode>);
    registerNodeKind(L"ButtonNode", &createNodeOf<ButtonNode>);
    registerNodeKind(L"BackButtonNode", &createNodeOf<BackButtonNode>);
    registerNodeKind(L"CheckBoxNode", &createNodeOf<CheckBoxNode>);
    registerNodeKind(L"EditNode", &createNodeOf<EditNode>);
    registerNodeKind(L"ListNode", &createNodeOf<ListNode>);
    registerNodeKind(L"SliderNode", &createNodeOf<SliderNode>);
    registerNodeKind(L"ProgressBarNode", &createNodeOf<ProgressBarNode>);
    registerNodeKind(L"SceneNode", &createNodeOf<SceneNode>);
    registerNodeKind(L"TabSceneNode", &createNodeOf<TabSceneNode>);
    registerNodeKind(L"ParticleSystemNode", &createNodeOf<ParticleSystemNode>);
    registerNodeKind(L"SoundNode", &createNodeOf<SoundNode>);
    registerNodeKind(L"SpawnerNode", &createNodeOf<SpawnerNode>);

    registerAnimatorKind(L"KeyFrame", &createAnimatorOf<KeyFrame>);
    registerAnimatorKind(L"SetProps", &createAnimatorOf<SetProps>);
    registerAnimatorKind(L"SetStates", &createAnimatorOf<SetStates>);

    // Message boxes are no factory kind: the scene manager makes them, through
    // the maker installed here, as the engine makes its factory at start.
    MessageBoxNode::installMessageBoxMaker();
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
