#include "engine/core/SceneNode.h"
#include "engine/core/IContentManager.h"
#include "engine/core/SceneManager.h"
#include <vector>

namespace engine {

SceneNode::SceneNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

SceneNode::~SceneNode() = default;

const PropertyTable& SceneNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        return t;
    }();
    return table;
}

const PropertyTable& SceneNode::getPropertyTable() const { return classPropertyTable(); }

bool SceneNode::onEvent74(NodeStateFinishedEvent* event) {
    if (ControlNode::onEvent74(event)) return true;
    // The answer of the route is this handler's, so a delivery that goes on
    // to the parent after the handler does not offer it a second time.
    return routeToParent(DeliveryMode::HandleThenParent, event);
}

SceneManager* SceneNode::getSceneManager() const { return nodeCast<SceneManager>(getManager()); }

// ---- Scene stack --------------------------------------------------------------

bool SceneNode::pushScene(SceneNode* scene, bool keepVisible, NameId coveredTransition, NameId newTransition) {
    if (!scene) return false;
    SceneManager* manager = getSceneManager();
    if (!manager) return false;
    CountedRef<SceneManager> keep = CountedRef<SceneManager>::share(manager);
    return manager->pushScene(manager->getTopScene(), scene, coveredTransition, newTransition, keepVisible);
}

SceneNode* SceneNode::openScene(const stringc& path, bool keepVisible, NameId coveredTransition,
                                NameId newTransition) {
    if (path.empty()) return nullptr;
    IContentManager* contentManager = getContentManager();
    if (!contentManager || !getSceneManager()) return nullptr;
    CountedRef<Content> loaded(contentManager->load(ContentType::SceneNode, path, true));
    SceneNode* scene = nodeCast<SceneNode>(loaded.get());
    if (!scene) return nullptr;
    // The load's reference goes when `loaded` does; a pushed scene is held by
    // the manager's tree by then.
    return pushScene(scene, keepVisible, coveredTransition, newTransition) ? scene : nullptr;
}

bool SceneNode::closeScene(int32_t extraLevels, NameId closingTransition, NameId revealedTransition) {
    SceneManager* manager = getSceneManager();
    if (!manager) return false;
    SceneNode* target = sceneBelow_.get();
    for (int32_t level = 0; level < extraLevels && target; ++level) target = target->getSceneBelow();
    CountedRef<SceneManager> keep = CountedRef<SceneManager>::share(manager);
    return manager->popScenes(this, target, closingTransition, revealedTransition);
}

bool SceneNode::closeToSceneType(int32_t typeId, NameId closingTransition, NameId revealedTransition) {
    SceneManager* manager = getSceneManager();
    if (!manager) return false;
    SceneNode* target = sceneBelow_.get();
    while (target && target->getTypeId() != typeId) target = target->getSceneBelow();
    if (!target) return false;
    CountedRef<SceneManager> keep = CountedRef<SceneManager>::share(manager);
    return manager->popScenes(this, target, closingTransition, revealedTransition);
}

SceneNode* SceneNode::showMessageBox(NameId templateName, const array<stringw>& buttons, const stringw& title,
                                     const stringw& body) {
    SceneManager* manager = getSceneManager();
    if (!manager) return nullptr;
    CountedRef<SceneManager> keep = CountedRef<SceneManager>::share(manager);
    return manager->showMessageBox(this, templateName, buttons, title, body);
}

void SceneNode::setSceneBelow(SceneNode* scene) {
    if (scene == sceneBelow_.get()) return;
    sceneBelow_ = CountedRef<SceneNode>::share(scene);
}

void SceneNode::stopChildrenState(NameId state) {
    // Stopping ends the state, and its end may change the children: walk
    // held copies.
    std::vector<CountedRef<BaseNode>> nodes;
    if (ControlNode* root = getTemplateRoot()) {
        for (uint32_t i = 0; i < root->getChildCount(); ++i) nodes.push_back(CountedRef<BaseNode>::share(root->getChild(i)));
    }
    for (uint32_t i = 0; i < getChildCount(); ++i) nodes.push_back(CountedRef<BaseNode>::share(getChild(i)));
    for (const CountedRef<BaseNode>& node : nodes) node->stopState(state, true);
}

}  // namespace engine
