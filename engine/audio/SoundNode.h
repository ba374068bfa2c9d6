#pragma once
// A node that plays a sound cue: with a cue name and the Play switch on, the
// cue starts in the first frame in which the node is visible inside a managed
// scene; turning Play off stops it. The cue plays through the current sound
// manager and outlives the node.
#include "engine/audio/SoundCue.h"
#include "engine/core/BaseNode.h"

namespace engine {

class SoundNode : public BaseNode {
    ENGINE_NODE_TYPE(SoundNode, BaseNode, 18)

public:
    SoundNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SoundNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void collectRenderItems(RenderList& list) override;

    // Stops and drops a current instance, then applies the new cue.
    void setCue(NameId cue);
    NameId getCue() const { return cueName_; }
    void setPlay(bool play);
    bool getPlay() const { return play_; }
    // True while an instance exists and is not paused.
    bool isPlaying() const;
    SoundCue* getInstance() const { return instance_.get(); }
    bool isSynced() const { return synced_; }
    // Applies the node's wish once it belongs to a scene manager and is visible.
    void sync();

private:
    NameId cueName_ = kNoName;
    CountedRef<SoundCue> instance_;
    bool play_ = true;
    bool synced_ = false;
};

}  // namespace engine
