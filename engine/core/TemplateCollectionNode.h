#pragma once
// Named node subtrees that controls, message boxes and game objects share
// their look through. The collection is read like any scene file; once loaded,
// its direct children are its templates, found by name.
#include "engine/core/BaseNode.h"
#include <map>

namespace engine {

class TemplateCollectionNode : public BaseNode {
    ENGINE_NODE_TYPE(TemplateCollectionNode, BaseNode, 20)

public:
    TemplateCollectionNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                           bool mostDerived = true);
    ~TemplateCollectionNode() override;

    // Enters every direct child under its name; a name already present keeps
    // its first node. The children stay children.
    void onLoaded() override;

    // Adds a template that is not a child; false for null or a name already
    // present.
    bool addTemplate(BaseNode* node);
    // The template of that name (no reference for the caller), or null.
    BaseNode* getTemplate(NameId name) const;
    // Resets the target (stops and drops its children and states) and, unless
    // the name is -1, fills it with clones of the template's children and
    // states and enters the template's default state there. The target keeps
    // its own values. False for a null target or an absent template (the
    // target stays reset).
    bool instantiate(NameId name, BaseNode* target);
    // Releases every template.
    void releaseAll();

    uint32_t getTemplateCount() const { return static_cast<uint32_t>(templates_.size()); }

private:
    std::map<NameId, BaseNode*, NameIdOrder> templates_;
};

}  // namespace engine
