#pragma once
// Turns the kind names that scene files use ("Type", "ClassOverride", an
// animator's "Type") into new objects. The factory knows the kinds of the
// core when it is first made; each higher part of the engine registers its own
// (registerEngineKinds, when the device is made), and the game adds its kinds
// (names beginning with G) before its first scene loads.
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include "engine/core/Types.h"
#include <map>

namespace engine {

class Base;
class BaseNode;

class NodeFactory : public EventReceiver {
public:
    // Makes a new node (count 1, no parent, no manager) with the context.
    using NodeCreator = BaseNode* (*)(const CreationContext* context);
    // Makes a new animator (count 1).
    using AnimatorCreator = Base* (*)();

    // Registers the core's kinds.
    NodeFactory();
    ~NodeFactory() override;

    NodeFactory(const NodeFactory&) = delete;
    NodeFactory& operator=(const NodeFactory&) = delete;

    // Adds a kind. A name already registered keeps its first creator and the
    // call does nothing (false). Names compare character by character, case
    // included.
    bool registerNodeKind(const stringw& name, NodeCreator creator);
    bool registerAnimatorKind(const stringw& name, AnimatorCreator creator);

    // A new object of the named kind, or null (without a message) when no kind
    // of that name is registered. The animator creator is not given the context.
    BaseNode* createNode(const stringw& name, const CreationContext* context) const;
    Base* createAnimator(const stringw& name, const CreationContext* context) const;

    bool hasNodeKind(const stringw& name) const { return nodeKinds_.count(name) != 0; }
    bool hasAnimatorKind(const stringw& name) const { return animatorKinds_.count(name) != 0; }

private:
    std::map<stringw, NodeCreator> nodeKinds_;
    std::map<stringw, AnimatorCreator> animatorKinds_;
};

// The factory, made on first use and released at exit.
NodeFactory& getNodeFactory();

// The creator of a node class with the node constructor (context, parent,
// manager, most-derived flag): registerNodeKind(L"SpriteNode", &createNodeOf<SpriteNode>).
template <class T>
BaseNode* createNodeOf(const CreationContext* context) {
    return new T(context, nullptr, nullptr, true);
}

template <class T>
Base* createAnimatorOf() {
    return new T();
}

}  // namespace engine
