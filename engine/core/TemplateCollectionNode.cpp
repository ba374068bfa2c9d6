#include "engine/core/TemplateCollectionNode.h"

namespace engine {

TemplateCollectionNode::TemplateCollectionNode(const CreationContext* context, BaseNode* parent,
                                               BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    setContentFlags(ContentFlags::Shared);
    linkToParent(parent, mostDerived);
}

TemplateCollectionNode::~TemplateCollectionNode() { releaseAll(); }

void TemplateCollectionNode::onLoaded() {
    for (uint32_t i = 0; i < getChildCount(); ++i) addTemplate(getChild(i));
}

bool TemplateCollectionNode::addTemplate(BaseNode* node) {
    if (!node || templates_.count(node->getName()) != 0) return false;
    node->addRef();
    templates_.emplace(node->getName(), node);
    return true;
}

BaseNode* TemplateCollectionNode::getTemplate(NameId name) const {
    auto found = templates_.find(name);
    return found == templates_.end() ? nullptr : found->second;
}

bool TemplateCollectionNode::instantiate(NameId name, BaseNode* target) {
    if (!target) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(target);
    for (uint32_t i = 0; i < target->getChildCount(); ++i) target->getChild(i)->stopAllStates(false);
    target->stopAllStates(false);
    target->removeAllChildren();
    target->clearStates();
    if (name == kNoName) return true;
    BaseNode* source = getTemplate(name);
    if (!source) return false;
    CountedRef<BaseNode> holdSource = CountedRef<BaseNode>::share(source);
    source->copyChildrenAndStates(target);
    return true;
}

void TemplateCollectionNode::releaseAll() {
    std::map<NameId, BaseNode*, NameIdOrder> taken;
    taken.swap(templates_);
    for (auto& entry : taken) entry.second->release();
}

}  // namespace engine
