#pragma once
// Decorates a scene with one randomly chosen object, or with nothing: on its
// first draw the node decides by chance whether to show anything, clones one
// of its named templates (from its scene manager's template collection) as
// its own spawned object, shows it and puts it into one of its named states.
// Level files use it to vary the background from one play to the next: a
// parked car here, another decoration there.
#include "engine/core/BaseNode.h"
#include "engine/core/NameId.h"

#include <cstdint>

namespace engine {
class RandomGenerator;
}

namespace game {

class OnceSpawnerNode : public engine::BaseNode {
    ENGINE_NODE_TYPE(OnceSpawnerNode, engine::BaseNode, 1158)

public:
    static constexpr int32_t kDefaultShowPercent = 50;

    OnceSpawnerNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                    bool mostDerived = true);

    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    // Decides once (spawnOnce), then collects the node, its children and the
    // spawned object.
    void collectRenderItems(engine::RenderList& list) override;
    // The spawned object goes with the node into and out of scenes.
    void attach(engine::BaseNode* manager, engine::BaseNode* scene) override;
    void updateAbsoluteTransform() override;
    void updateAbsoluteColor() override;
    // Copies the two lists; a copy has the default percentage and decides
    // anew on its own first draw.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;

    // The decision of the first draw; nothing once made. With a chance of
    // ShowLevelPercent in 98 (a draw from 1 to 98 below the percentage) one
    // of the templates is cloned. A car spawned here stays where it stands.
    void spawnOnce();
    void spawnOnce(engine::RandomGenerator& random);

    bool isSpawnPending() const { return spawnPending_; }
    // The object spawned, while it is still this node's.
    engine::BaseNode* getSpawned() const;

    const engine::array<engine::NameId>& getObjTemplateIds() const { return templateIds_; }
    const engine::array<engine::NameId>& getObjStates() const { return states_; }
    // Names separated by ';', trimmed, empty ones skipped.
    void setObjTemplateIds(const engine::stringc& names);
    void setObjStates(const engine::stringc& names);
    engine::stringc getObjTemplateIdsText() const;
    engine::stringc getObjStatesText() const;
    int32_t getShowLevelPercent() const { return showLevelPercent_; }
    void setShowLevelPercent(int32_t percent) { showLevelPercent_ = percent; }

    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

private:
    engine::array<engine::NameId> templateIds_;
    engine::array<engine::NameId> states_;
    int32_t showLevelPercent_ = kDefaultShowPercent;
    bool spawnPending_ = true;
    // Held here: a spawned object is not among the children, so that it is
    // written to no scene file and copied with no clone of this node.
    engine::CountedRef<engine::BaseNode> spawned_;
};

}  // namespace game
