#pragma once
// Builds a new building on a place or upgrades one. Three strands run at
// once: a helicopter flies in and unloads the cargo at the site, a bus (when
// the place has a delivery path) brings the workers, and the construction
// site plays its pre-build animations, works for the record's BuildTime once
// cargo and workers are there, then plays its post-build animations; then the
// building takes its new look and a hotel that gained a level gets a star.
//
// The command has already given the building its new record (the old one is
// the previous record) and set its template back to the old look.
#include "engine/core/EventMap.h"
#include "engine/core/Types.h"
#include "game/level/tasks/GBuildingTask.h"

namespace engine {
class NodeTagReachedEvent;
class NodeStateFinishedEvent;
class SoundCue;
}  // namespace engine

namespace game {

class GConstructionTask : public GBuildingTask {
    ENGINE_DECLARE_EVENT_MAP(GConstructionTask)

public:
    // Strand counters.
    enum HelicopterState {
        HeliNone = 0, HeliFlyingIn = 1, HeliArrived = 3, HeliUnloadBegins = 4, HeliFirstStageEnded = 5,
        HeliUnloading = 6, HeliUnloadingEnded = 7, HeliAfterUnloading = 8, HeliEnded = 9,
        HeliFlyingAway = 10, HeliGone = 11, HeliRemoved = 12
    };
    enum BusState {
        BusNone = 0, BusDriving = 1, BusTwoPointsLeft = 2, BusArrived = 3, BusWorkersShown = 10,
        BusLeftOrAbsent = 11, BusRemoved = 12
    };
    enum SiteState {
        SitePreBuild1 = 1, SitePreBuild1Ended = 2, SitePreBuild2 = 3, SitePreBuild2Ended = 4,
        SiteBuild = 5, SiteWorking = 6, SiteWorkDone = 7, SitePostBuild1Ended = 9,
        SiteWaitingPostBuild = 10, SitePostBuild2Ended = 11, SiteFinished = 13
    };

    GConstructionTask(GGameLevelScene* scene, GBuildingNode* building, GBuildingConfig* newRecord,
                      engine::BaseNode* cargosNode, engine::TemplateCollectionNode* templates,
                      GLevelPath* path, float materials, int32_t workers);
    ~GConstructionTask() override;

    // elapsed / total while the new record is set, else 1.0 (also when the
    // total is not positive).
    float getProgress() override;
    bool run(uint32_t ms) override;
    void cancel() override;

    virtual bool onEvent70(engine::NodeTagReachedEvent* event);
    virtual bool onEvent74(engine::NodeStateFinishedEvent* event);

    int32_t getHelicopterState() const { return heliState_; }
    int32_t getBusState() const { return busState_; }
    int32_t getSiteState() const { return siteState_; }
    // 0 running, 1 star effect playing, 2 done.
    int32_t getOverallState() const { return overallState_; }
    float getElapsed() const { return elapsed_; }
    float getTotal() const { return total_; }
    GPathMovableNode* getHelicopter() const { return helicopter_.get(); }
    engine::BaseNode* getSite() const { return site_.get(); }
    engine::BaseNode* getStarEffect() const { return starEffect_.get(); }
    engine::NameId getDirection() const { return direction_; }

    // The direction index 0..3 for a hover point; draws from the generator
    // only where the screen region needs it.
    static int32_t chooseDirection(const engine::vector2df& hoverPoint);

private:
    bool delivered() const { return heliState_ > 6 && busState_ > 6; }
    void setupHelicopterFlight();
    void enterDirectionState(const char* suffix);
    void setBodyVisible(bool visible);
    // The building's template becomes the record's look, its body untinted.
    void takeLook(const GBuildingConfig* record);
    void advanceHelicopter();
    void advanceBus(uint32_t ms);
    void advanceSite(uint32_t ms);
    void finish();
    void removeHelicopter();
    void removeSite();
    void removeStarEffect();

    engine::CountedRef<GBuildingConfig> newRecord_;
    engine::CountedRef<GPathMovableNode> helicopter_;
    engine::NameId direction_ = engine::kNoName;
    engine::CountedRef<engine::SoundCue> heliCue_;
    engine::CountedRef<engine::BaseNode> cargo_;
    engine::CountedRef<engine::BaseNode> site_;
    engine::CountedRef<engine::BaseProgressBarNode> siteBar_;
    engine::CountedRef<engine::BaseNode> starEffect_;
    // The selector the construction selector replaced: the building keeps a
    // plain pointer to it until its template is applied again.
    engine::CountedRef<engine::BaseNode> oldSelector_;
    int32_t heliState_ = HeliNone;
    int32_t busState_ = BusNone;
    int32_t siteState_ = SiteFinished;
    int32_t overallState_ = 0;
    float elapsed_ = 0.0f;
    float total_ = 0.0f;
    bool cancelled_ = false;
};

}  // namespace game
