#pragma once
// Keeps producing copies of template nodes as its own children: after a
// random start delay it spawns objects at a random rate, each a clone of one
// of its templates placed at a random offset and rotation inside the spawner,
// given extra property values and a random "LifeTime". What it spawned ends
// itself; the spawner never removes it.
#include "engine/core/BaseNode.h"
#include "engine/core/MemberTimer.h"
#include <vector>

namespace engine {

class SpawnerNode : public BaseNode {
    ENGINE_NODE_TYPE(SpawnerNode, BaseNode, 19)

public:
    static constexpr uint32_t kTickPeriod = 30;
    // The most objects a spawner keeps alive at once (its ghosts, or its
    // children when it spawns real children).
    static constexpr size_t kMostLive = 1000;

    SpawnerNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SpawnerNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // The children's items; then, visible or not, an enabled spawner whose
    // timer is on no scheduler draws a new start delay and joins the owner
    // scene's scheduler.
    void collectRenderItems(RenderList& list) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    // The templates are looked up again; the event goes on.
    bool onEvent33(SceneShownEvent* event) override;
    bool onEvent34(NodeEvent34* event) override;

    // One tick of the elapsed milliseconds; always true.
    bool tick(uint32_t elapsedMs);
    // Spawns n clones of one randomly chosen template.
    void spawn(int32_t count);

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Template names separated by ';'.
    void setObjTemplate(const stringc& names);
    stringc getObjTemplate() const;
    // Looks the names up in the manager's template collection, when there is one.
    void updateTemplates();
    uint32_t getTemplateCount() const { return static_cast<uint32_t>(templates_.size()); }
    // The spawned objects held as ghosts (those that have not ended).
    const std::vector<CountedRef<BaseNode>>& getSpawnedGhosts() const { return spawnedGhosts_; }
    TimerScheduler* getTickScheduler() const;
    float getAccumulator() const { return accumulator_; }

    bool isSpawnedObjectGhost() const { return ghostObjects_; }
    void setSpawnedObjectGhost(bool ghost) { ghostObjects_ = ghost; }
    // The ranges, as (minimum, maximum).
    vector2df startDelayRange{0.0f, 0.0f};
    vector2df perSecRange{1.0f, 1.0f};
    vector2df lifeTimeRange{1000.0f, 1000.0f};
    vector2df xDeltaRange{0.0f, 0.0f};
    vector2df yDeltaRange{0.0f, 0.0f};
    vector2df rotationDeltaRange{0.0f, 0.0f};

    PropertySet* getObjectsProperties() const { return objectsProperties_; }
    void setObjectsProperties(PropertySet* set);

    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    using TickTimer = MemberTimer<SpawnerNode>;

    TimerScheduler* ownerScheduler() const;
    void releaseTemplates();
    void pruneGhosts();

    CountedRef<TickTimer> timer_;
    array<NameId> templateNames_;
    std::vector<BaseNode*> templates_;  // one count each
    float accumulator_ = 0.0f;
    bool enabled_ = true;
    bool ghostObjects_ = true;
    PropertySet* objectsProperties_ = nullptr;  // one count
    // The spawned ghosts still attached to this spawner, in spawn order.
    std::vector<CountedRef<BaseNode>> spawnedGhosts_;
};

// Calls the setter of the first entry of the node's property table with that
// exact name; nothing when there is none.
void setNodePropertyByName(BaseNode* node, const stringc& name, const CountedRef<IPropertyData>& value);

}  // namespace engine
