#pragma once
// The playfield of a running level: the scene that holds the level's building
// places, the vehicles of the building tasks and the background traffic, and
// the whole economic state of the level (money, materials, workers, income,
// guests, rating, clocks, deliveries).
//
// It advances the simulation on a 20 ms timer of its scene's scheduler,
// answers the game events the buildings, tasks, random events and tutorial
// send it, offers the player's commands (LevelCommands.cpp) and answers the
// requests, clicks and the objectives check (LevelRequests.cpp).
//
// Set-up before it becomes the current scene of its manager, in this order:
// setBuildingsConfiguration, setLevelConfiguration, setAvailability,
// setLevelPaths, setPaused(false).
//
// The HUD, the objectives and the tutorial read the public fields directly.
// Every counted pointer field holds one reference.
#include "engine/core/Event.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerListener.h"
#include "engine/core/Types.h"
#include "game/config/LevelObjectives.h"
#include "game/common/GameEvents.h"
#include <cstdint>
#include <vector>

class GWeatherParticlesNode;

namespace engine {
class TemplateCollectionNode;
}

namespace game {

class BuildingsConfiguration;
class GBuildingConfig;
class GBuildingNode;
class GBuildingTask;
class GLevelConfig;
class GLevelPath;
class GLevelPaths;
class LevelAvailability;
class LevelTraffic;
class OrderOption;

// The user data of a money-letter node: what collecting it pays, how long it
// has been shown and may be shown (ms), and the building that shows it.
struct MoneyLetterData : public virtual engine::RefCounted {
    MoneyLetterData(int32_t amount, int32_t total, GBuildingNode* building)
        : amount(amount), total(total), building(building) {}
    int32_t amount = 0;
    int32_t elapsed = 0;
    int32_t total = 0;
    GBuildingNode* building = nullptr;
};

class GGameLevelScene : public engine::SceneNode, public engine::TimerListener {
    ENGINE_DECLARE_EVENT_MAP(GGameLevelScene)
    ENGINE_NODE_TYPE(GGameLevelScene, engine::SceneNode, 1138)

public:
    static constexpr uint32_t kTickMs = 20;

    // History action codes.
    enum HistoryAction : int32_t {
        kBuilt = 0,
        kDestroyed = 1,
        kBought = 2,
        kSold = 3,
        kRepaired = 4,
        kFeature0Used = 5,
        kFeature1Used = 6,
        kFeature2Used = 7,
        kCleaned = 8,
    };

    GGameLevelScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                    bool mostDerived = true);
    ~GGameLevelScene() override;

    // ---- Node overrides ----------------------------------------------------
    // Binds "Buildings" (and listens to it), the buildings in it, "CargosNode",
    // and hides "Pedestrians".
    void onLoaded() override;
    // The scene's copy, then a reference to the source's level record.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    // The level never gives the focus to a default child.
    void focusDefault() override {}

    // ---- Set-up ------------------------------------------------------------
    void setBuildingsConfiguration(BuildingsConfiguration* configuration);
    // Takes the record and starts the level's state from it; null leaves the
    // scene without one.
    void setLevelConfiguration(GLevelConfig* level);
    // Then refreshes.
    void setAvailability(LevelAvailability* availability);
    // Also makes a new background traffic on the scene's CargosNode.
    void setLevelPaths(GLevelPaths* paths);
    // Only stores the flag (the pause request also stops the scheduler).
    void setPaused(bool paused) { this->paused = paused; }

    // ---- Queries -------------------------------------------------------------
    // The building of Buildings that holds the input focus, or null.
    GBuildingNode* selectedBuilding() const;
    // Owned buildings of the type, plus buildings being destroyed whose
    // previous record is of that type.
    int32_t countBuildingsOfType(engine::NameId type) const;
    // The running level as the objectives read it.
    const LevelStateView& stateView() const;
    // The template collection of the scene's manager, or null.
    engine::TemplateCollectionNode* templateCollection() const;

    // ---- What the commands take -----------------------------------------------
    // The money, materials and workers a command takes from the level. The
    // commands charge these amounts and the HUD shows them, from one place,
    // so that what the player is shown is what is charged.
    struct CommandCost {
        float money = 0.0f;
        float materials = 0.0f;
        int32_t workers = 0;
    };
    // Building the record on a place, or upgrading a building to it.
    CommandCost buildCost(const GBuildingConfig* record) const;
    // The record an upgrade of the building builds, or null.
    GBuildingConfig* upgradeRecord(const GBuildingNode* building) const;
    // Repairing (condition broken), cleaning (dirty) or restoring (needs
    // restoring) the building; none of them takes money.
    CommandCost maintenanceCost(const GBuildingNode* building, int32_t condition) const;
    CommandCost destroyCost(const GBuildingNode* building) const;
    CommandCost featureCost(const GBuildingNode* building, int32_t featureIndex) const;
    CommandCost buyCost(const GBuildingNode* building) const;
    CommandCost materialsOrderCost(const OrderOption* option) const;
    CommandCost workersOrderCost(const OrderOption* option) const;
    // The money paid for the building's running job that stopping the job
    // does not give back (the materials and workers do come back): the price
    // of a construction or upgrade, nothing for other jobs.
    float moneyLostOnStop(const GBuildingNode* building) const;

    // ---- Commands (true when done; a refused command changes nothing) -----
    bool canAfford(const GBuildingConfig* record) const;
    bool canBuy(GBuildingNode* building) const;
    bool build(GBuildingNode* place, GBuildingConfig* record);
    bool upgrade(GBuildingNode* building);
    bool repair(GBuildingNode* building);
    bool clean(GBuildingNode* building);
    bool restore(GBuildingNode* building);
    bool destroy(GBuildingNode* building);
    bool activateFeature(GBuildingNode* building, int32_t featureIndex);
    bool serveRequest(GBuildingNode* building);
    bool sellBuilding(GBuildingNode* building);
    bool buyBuilding(GBuildingNode* building);
    bool orderMaterials(const OrderOption* option);
    bool orderWorkers(const OrderOption* option);
    // The number of whole rating thresholds passed: 0 for 0 to 49.99, -1 below 0.
    int32_t ratingLevel() const;
    // The first owned, built, idle building providing the service, or null.
    GBuildingNode* findIdleProvider(int32_t service) const;
    // Clears the service requests (5 and above) that no building provides.
    void dropUnservedRequests();

    // ---- Event handlers (the event map) ------------------------------------
    virtual bool onSceneActivated(engine::SceneActivatedEvent* event);
    virtual bool onNodePressPreview(engine::NodePressPreviewEvent* event);
    virtual bool onNodePressed(engine::NodePressedEvent* event);
    virtual bool onNodeHovered(engine::NodeHoveredEvent* event);
    virtual bool onNodeUnhovered(engine::NodeUnhoveredEvent* event);
    virtual bool onNodeFocused(engine::NodeFocusedEvent* event);
    virtual bool onNodeUnfocused(engine::NodeUnfocusedEvent* event);

    bool onBuildingCompleted(GBuildingCompletedEvent* event);
    bool onRepairCompleted(GRepairCompletedEvent* event);
    bool onCleaningCompleted(GCleaningCompletedEvent* event);
    bool onBusVisitCompleted(GBusVisitCompletedEvent* event);
    bool onServiceCompleted(GServiceCompletedEvent* event);
    bool onIncome(GIncomeEvent* event);
    bool onFeatureUsed(GFeatureUsedEvent* event);
    bool onDestructionCompleted(GDestructionCompletedEvent* event);
    bool onTaskStep(GTaskStepEvent* event);
    bool onSellRequest(GSellBuildingRequestEvent* event);
    bool onBrokenRequest(GBrokenBuildingRequestEvent* event);
    bool onDirtyRequest(GDirtyBuildingRequestEvent* event);
    bool onCafeRequest(GCafeBuildingRequestEvent* event);
    bool onLetterRequest(GLetterRequestEvent* event);
    bool onPauseRequest(GPauseRequestEvent* event);
    bool onBuildingExistsQuery(GBuildingExistsQueryEvent* event);
    bool onWeatherRequest(GWeatherRequestEvent* event);

    // The building's record is of one of the types and it stands on one of
    // the places (an empty list allows any).
    bool matchesTypeAndPlace(const GBuildingNode* building, const engine::array<engine::NameId>& types,
                             const engine::array<engine::NameId>& places) const;

    // ---- Simulation ------------------------------------------------------------
    // Recomputes modifiers, income bonuses, incomes, guests and rating, posts
    // GLevelChangedEvent, checks the objectives and collects the services.
    void refresh();
    void collectServices();
    // Runs every task once; a finished task is released and the last one
    // takes its slot (and runs in the same pass).
    void updateTasks(uint32_t ms);
    // One level step; true keeps the timer.
    bool onTick(uint32_t ms);
    // Ends the level (once) or sets the completion hint.
    void checkObjectives();
    bool onTimer(uint32_t periodMs) override { return onTick(periodMs); }
    // The scheduler the scene's manager gave it (where the level ticks); the
    // one the tick is registered with is TimerListener::getTimerScheduler.
    using engine::SceneNode::getTimerScheduler;
    using engine::SceneNode::setTimerScheduler;

    // ---- State (read directly by the HUD, the objectives and the tutorial) --
    LevelTraffic* traffic = nullptr;                  // counted
    engine::ControlNode* buildingsNode = nullptr;     // counted
    std::vector<GBuildingNode*> buildings;            // counted each, in child order
    engine::BaseNode* cargosNode = nullptr;           // counted
    std::vector<engine::BaseNode*> moneyLetters;      // counted each
    GLevelConfig* levelConfig = nullptr;              // counted
    BuildingsConfiguration* buildingsConfiguration = nullptr;  // counted
    LevelAvailability* availability = nullptr;        // counted
    GLevelPaths* levelPaths = nullptr;                // counted
    GBuildingNode* currentSelection = nullptr;
    GBuildingNode* previousSelection = nullptr;
    bool paused = false;
    bool objectivesMet = false;
    engine::stringc hintText;
    float totalTimeMs = 0.0f;
    float scoreGained = 0.0f;
    float dayClock = 0.0f;
    float rating = 0.0f;
    float money = 0.0f;
    float dailyIncome = 0.0f;
    float potentialIncome = 0.0f;
    int32_t guests = 0;
    int32_t potentialGuests = 0;
    float materials = 0.0f;
    int32_t workers = 0;
    int32_t workersHired = 0;
    float materialDeliveryTime = 0.0f;
    float materialCountdown = -1.0f;
    float materialsOrdered = 0.0f;
    float workerDeliveryTime = 0.0f;
    float workerCountdown = -1.0f;
    int32_t workersOrdered = 0;
    std::vector<GBuildingTask*> tasks;                // counted each
    GWeatherParticlesNode* weatherNode = nullptr;     // counted
    int32_t weatherRemainingMs = 0;
    std::vector<HistoryRecord> history;
    std::vector<int32_t> providedServices;
    std::vector<int32_t> idleServices;

private:
    class StateView;

    // Whether a posted event reaches anyone (the scene is in a manager).
    bool canPost();
    // Posts the completion once the level is won and can tell its parent.
    void postCompletion();
    // Posts a new event of the class to the parent (mode 3, queued).
    void postToParentNew(engine::Event* adopted);
    void postLevelChanged();
    // Hands a new event to the scene's own routing to the parent (mode 3, at once).
    void routeToParentNew(engine::Event* adopted);
    void appendHistory(int32_t action, const GBuildingConfig* record, const GBuildingNode* building);
    // Appends the task (adopting its reference) and makes it the building's job.
    void startTask(GBuildingTask* adopted, GBuildingNode* building, int32_t jobState);
    // A delivery path of the building's place, or null.
    GLevelPath* pathFor(const GBuildingNode* building);
    void armRandomEvents(engine::TimerScheduler* scheduler);
    void releaseBuildings();
    // Clears the building's job when the task running now is its current job.
    void clearFinishedJob(GBuildingNode* building);
    // The common part of build and upgrade: the building takes the record and
    // a construction task starts; the costs are paid.
    void startConstruction(GBuildingNode* building, GBuildingConfig* record);
    // Repair (condition broken), cleaning (dirty) and restoring (needs
    // restoring): the checks, the task and the payment they share.
    bool startMaintenance(GBuildingNode* building, int32_t condition);
    // The broken and dirty requests: an operating building of the record Type
    // that passes the request's lists gets the condition.
    bool strikeBuilding(const GRequestEvent& event, int32_t type, const char* cue, int32_t condition);
    int32_t findLetterOf(const GBuildingNode* building) const;
    void removeLetterAt(size_t index);

    StateView* stateView_ = nullptr;
    // The task whose run is in progress (its completion events clear its job).
    GBuildingTask* runningTask_ = nullptr;
    // GLevelCompletedEvent has gone out. A level won before it joins its
    // manager (objectives met at the start) sends it on activation.
    bool completionSent_ = false;
};

// The direct child of the node with that name, or null.
engine::BaseNode* directChild(const engine::BaseNode& node, const char* name);

}  // namespace game
