#pragma once
// One building place of a level: an empty place, a building under
// construction, a finished building of some type and level, or a ruin.
//
// The level scene hands every place the level record, itself and the building
// record of its template; its commands and tasks change the record, the
// condition, the ownership, the sale state and the job. The node shows all of
// it through named states of its tree and through overlay children made from
// the scene's templates (stars, smile, condition icon, price tag, phone,
// workers, feature buttons, serve-area highlight), and it runs its own 50 ms
// timer for the sale and feature clocks (held while the level is paused).
#include "engine/core/ControlNode.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/TimerListener.h"
#include "engine/core/Types.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelObjectives.h"
#include "engine/audio/SoundCue.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"

#include <map>
#include <vector>

namespace game {

class GBuildingTask;
class GGameLevelScene;

class GBuildingNode : public engine::ControlNode, public engine::TimerListener, public LevelBuildingView {
    ENGINE_NODE_TYPE(GBuildingNode, engine::ControlNode, 1139)

public:
    // The building's job: what the running task does to it.
    enum JobState : int32_t {
        kNoJob = 0,
        kConstructionJob = 1,  // construction or upgrade
        kDestructionJob = 2,
        kMaintenanceJob = 3,  // repair, cleaning, restoring or a bus visit
        kServiceJob = 4,      // a provider's service period
        kFeatureJob = 5,
    };

    // The condition that stops a building from working.
    enum Condition : int32_t {
        kNoCondition = 0,
        kBroken = 1,
        kDirty = 2,
        kNeedsRestoring = 3,
        kProviderServiceRequest = 4,
        kBusVisitRequest = 5,
    };

    // One entry per active feature of the record.
    struct FeatureState {
        int32_t state = 0;          // 0 ready, 1 active, 2 recharging
        int32_t remaining = 0;      // ms
        int32_t boostCountdown = 0; // ms
        bool boost = false;         // the feature carries BoostIncome
    };
    enum FeatureStateValue : int32_t { kFeatureReady = 0, kFeatureActive = 1, kFeatureRecharging = 2 };

    // The body tint that adds nothing: body sprites blend additively.
    static constexpr uint32_t kNeutralBodyTint = 0xFF000000u;
    // Serve-area highlight colours (added to the body).
    static constexpr uint32_t kIncomeBonusAreaTint = 0xFF000030u;
    static constexpr uint32_t kGuestAreaTint = 0xFF003000u;
    // The template root's tint while a build choice is previewed on the place.
    static constexpr uint32_t kBuildPreviewTint = 0xCCFFFFFFu;
    static constexpr uint32_t kTickMs = 50;

    GBuildingNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                  bool mostDerived = true);
    ~GBuildingNode() override;

    // ControlNode's table followed by IsOwnedByThePlayer and LuckinessType.
    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();
    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

    void onLoaded() override {}
    // Also takes the source building's ownership, luckiness and record (shared).
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    // Binds and creates the overlay children and moves the timer to the scene.
    void applyTemplate() override;
    void applyPressState() override;
    void applyPressEndState() override {}
    void applyPressedState() override {}
    void applyHoverState() override;
    void applyFocusState() override;
    void refreshState() override {}

    // A money letter's "Disappear" or "DisappearHit" ended: the letter goes.
    bool onEvent74(engine::NodeStateFinishedEvent* event) override;
    // Press without taking the focus.
    bool onEvent21(engine::LeftButtonDownEvent* event) override;
    bool onEvent24(engine::LeftButtonUpEvent* event) override;

    // The building's own clock: sale and feature timers (held while paused).
    bool onTimer(uint32_t periodMs) override { return onTick(periodMs); }
    bool onTick(uint32_t ms);

    // ---- Level, record and job ------------------------------------------------
    void setLevelScene(GGameLevelScene* scene) { levelScene_ = scene; }
    GGameLevelScene* getLevelScene() const { return levelScene_; }
    // Holds the level record and recomputes the income bonus.
    void setLevelConfig(GLevelConfig* level);
    GLevelConfig* getLevelConfig() const { return levelConfig_.get(); }
    // Takes a copy of the record; the old one becomes the previous record.
    // With restore the condition and features saved by saveState come back
    // (an active feature is cut short into recharging).
    void setRecord(GBuildingConfig* record, bool restore);
    GBuildingConfig* getRecord() const { return record_.get(); }
    GBuildingConfig* getPreviousRecord() const { return previousRecord_.get(); }
    void saveState();

    // Sets the running job and its state (a destruction first stops the
    // active features' looks).
    void setJob(int32_t jobState, GBuildingTask* job);
    // Clears the job only when the given task is the running one; true then.
    // Completions use it so that a task that is not (or no longer) the
    // building's job never frees the place under another one.
    bool clearJob(GBuildingTask* task);
    GBuildingTask* getJob() const { return job_; }
    int32_t getJobState() const { return jobState_; }
    // Cancels the running job (no-op without one).
    void cancelJob();
    // 1 without a job; 0 with a job state but no task; else the task's.
    float jobProgress() const;

    // ---- Ownership and display ---------------------------------------------------
    void setOwned(bool owned);
    bool isOwnedByThePlayer() const { return ownedByPlayer_; }
    void setLuckinessType(int32_t type);
    int32_t getLuckinessType() const { return luckinessType_; }
    // "x<n>" over the building; 0 hides it.
    void showWorkers(int32_t workers);
    // stars -1 takes the Level of the record (of the previous one during a
    // construction); hiddenIndex (1-based, -1 none) hides one star.
    void updateStars(int32_t stars, int32_t hiddenIndex);
    void placeOverlayIcons();
    void updateFeatureIcons();
    void updateSmileIcon();
    // Posts a selection event naming this building when it has the focus.
    void notifySelection();
    void playStateSound();
    void stopStateSound();
    // The centre of the star of the record's Level - 1, in level coordinates
    // (whole numbers); zero when there is no such star.
    engine::vector3df levelStarPosition() const;

    // ---- Service, income and sale --------------------------------------------------
    engine::recti serveAreaRect(const GBuildingConfig* record) const;
    engine::recti selfServingRect() const;
    std::vector<GBuildingNode*> buildingsInServeArea(const GBuildingConfig* record) const;
    void claimServedBuildings();
    void setServingBuilding(engine::NameId type, GBuildingNode* building);
    GBuildingNode* servingBuildingOfType(engine::NameId type) const;
    // Forgets every entry that names the building (destroy command).
    void forgetServingBuilding(GBuildingNode* building);
    int32_t servedGuests(const GBuildingConfig* record) const;
    float income(const GBuildingConfig* record = nullptr) const;
    float boostedIncome() const;
    engine::stringw formatIncome(const GBuildingConfig* record) const;
    void updateIncomeBonus();
    float getIncomeBonusPercent() const { return incomeBonusPercent_; }
    const std::vector<GBuildingNode*>& getCoveringBuildings() const { return coveringBuildings_; }
    float price(const GBuildingConfig* record = nullptr) const;
    int32_t getOfferPrice() const;
    void showServeAreaHighlight(const GBuildingConfig* record);
    void showBuildPreview(const GBuildingConfig* record);
    // Adds the colour to every body sprite (blend 1); kNeutralBodyTint adds nothing.
    void tintBody(engine::SColor color);

    void setForSale(bool forSale);
    bool isForSale() const override { return forSale_; }
    void setBuyRequestPending(bool pending);
    bool isBuyRequestPending() const { return buyRequestPending_; }
    void restartBuyRequestWait();
    void clearSale();
    void updateSale(int32_t ms);
    float getOfferMultiplier() const { return offerMultiplier_; }
    int32_t getSaleWait() const { return saleWait_; }
    int32_t getSaleElapsed() const { return saleElapsed_; }

    // A dial of at least three children: the second (an ellipse sector) fills
    // to the progress from green over yellow to red, the third turns.
    static void setTimerDial(engine::BaseNode* dial, float progress);

    // ---- Conditions and features ----------------------------------------------------
    void setCondition(int32_t condition);
    int32_t getCondition() const { return condition_; }
    bool isOperating() const;
    bool isFeatureAvailable(int32_t index) const;
    int32_t featureState(int32_t index) const override;
    float featureProgress(int32_t index) const;
    void activateFeature(int32_t index);
    void updateFeatures(int32_t ms);
    const std::vector<FeatureState>& getFeatureStates() const { return featureStates_; }
    static void showFeatureIconProgress(engine::BaseNode* icon, float progress);

    // ---- Clocks the level scene reads ---------------------------------------------
    int32_t sinceMoneyLetter() const { return sinceMoneyLetter_; }
    void setSinceMoneyLetter(int32_t ms) { sinceMoneyLetter_ = ms; }
    int32_t sinceCondition() const { return sinceCondition_; }
    void setSinceCondition(int32_t ms) { sinceCondition_ = ms; }

    // ---- Bound overlay nodes (null when missing) ---------------------------------
    engine::BaseNode* getStarIcons() const { return starIcons_.get(); }
    const std::vector<engine::SpriteNode*>& getStars() const { return stars_; }
    engine::TextNode* getSmileIcon() const { return smileIcon_.get(); }
    engine::BaseNode* getForSaleNode() const { return forSaleNode_.get(); }
    engine::TextNode* getPriceText() const { return priceText_; }
    engine::BaseNode* getPhoneIcon() const { return phoneIcon_.get(); }
    engine::BaseNode* getConditionIcon() const { return conditionIcon_.get(); }
    engine::BaseNode* getSelector() const { return selector_; }
    engine::BaseNode* getServeArea() const { return serveArea_.get(); }
    engine::TextNode* getWorkersText() const { return workersText_.get(); }
    engine::BaseNode* getFeatureIcon(int32_t index) const;
    engine::BaseNode* getMoneyBurst() const { return moneyBurst_.get(); }
    engine::SoundCue* getStateSound() const { return stateSound_.get(); }

    // ---- LevelBuildingView ---------------------------------------------------------
    bool isOwned() const override { return ownedByPlayer_; }
    int32_t jobState() const override { return jobState_; }
    int32_t condition() const override { return condition_; }
    const GBuildingConfig* record() const override { return record_.get(); }
    const GBuildingConfig* previousRecord() const override { return previousRecord_.get(); }
    engine::NameId placeName() const override { return getName(); }
    float incomeBonusPercent() const override { return incomeBonusPercent_; }
    int32_t servedGuests() const override { return servedGuests(record_.get()); }

private:
    template <class T>
    using Ref = engine::CountedRef<T>;

    // The buildings of the level scene, in building order (empty without one).
    const std::vector<GBuildingNode*>& levelBuildings() const;
    engine::TemplateCollectionNode* templates() const;
    engine::BaseNode* instantiate(const char* templateName, engine::BaseNode* parent, bool ghost);
    void refreshPriceTag(float price);
    void drawSaleWait(const engine::vector2df& range);
    bool isLevelPaused() const;
    // Hands the event (adopted) to the level scene; unhandled, it goes on to
    // the scene's parent.
    void postGameEvent(engine::Event* event);
    // "Feature<n>" or "Feature<n>Stop" (n = index + 1).
    static engine::NameId featureStateName(size_t index, bool stop);

    engine::vector3df workersTextHome_{0.0f, 0.0f, 0.0f};
    engine::vector3df smileIconHome_{0.0f, 0.0f, 0.0f};
    int32_t jobState_ = kNoJob;
    GBuildingTask* job_ = nullptr;  // owned by the level scene
    Ref<engine::SoundCue> stateSound_;
    std::vector<FeatureState> featureStates_;
    std::vector<FeatureState> savedFeatureStates_;
    bool ownedByPlayer_ = false;
    bool forSale_ = false;
    bool buyRequestPending_ = false;
    float offerMultiplier_ = 1.0f;
    int32_t saleWait_ = 0;
    int32_t saleElapsed_ = 0;
    int32_t sinceMoneyLetter_ = 5000;
    int32_t sinceCondition_ = 10000;
    int32_t condition_ = kNoCondition;
    int32_t savedCondition_ = kNoCondition;
    GGameLevelScene* levelScene_ = nullptr;
    Ref<GLevelConfig> levelConfig_;
    Ref<GBuildingConfig> record_;
    Ref<GBuildingConfig> previousRecord_;
    float incomeBonusPercent_ = 0.0f;
    std::vector<GBuildingNode*> coveringBuildings_;
    std::map<engine::NameId, GBuildingNode*, engine::NameIdOrder> servedBy_;
    Ref<engine::BaseNode> starIcons_;
    std::vector<engine::SpriteNode*> stars_;
    Ref<engine::TextNode> smileIcon_;
    Ref<engine::BaseNode> forSaleNode_;
    engine::TextNode* priceText_ = nullptr;
    Ref<engine::BaseNode> phoneIcon_;
    Ref<engine::BaseNode> conditionIcon_;
    engine::BaseNode* selector_ = nullptr;
    Ref<engine::BaseNode> serveArea_;
    Ref<engine::TextNode> workersText_;
    Ref<engine::BaseNode> feature1Icon_;
    Ref<engine::BaseNode> feature2Icon_;
    engine::vector3df feature1IconHome_{0.0f, 0.0f, 0.0f};
    engine::vector3df feature2IconHome_{0.0f, 0.0f, 0.0f};
    Ref<engine::BaseNode> moneyBurst_;
    int32_t luckinessType_ = 0;
};

}  // namespace game
