#pragma once
// The in-level HUD: the scene that frames a running level. It holds the
// level's scene manager under its "InternalGamePlayScene" node, shows money,
// income, rating, clock and goals, follows the selected building with its
// action tabs, turns the player's presses into level commands, explains what
// the pointer is over, and leads the level through the objectives, the
// tutorial, the achievement pop-ups and the level end.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "game/common/GBaseSceneNode.h"
#include "game/common/GameEvents.h"
#include "game/flow/LevelStage.h"

#include <vector>

namespace engine {
class BaseProgressBarNode;
class CheckBoxNode;
class ControlNode;
class ListNode;
class TabSceneNode;
class TextNode;
}  // namespace engine

class GEllipseSectorNode;

namespace game {

class BuildingsConfiguration;
class GBuildingConfig;
class GBuildingNode;
class GGameLevelScene;
class GLevelConfig;
class GObjectiveList;
class GTutorial;
class OrderOption;

// The build lists: their positions, the building type of each position and
// the short name of its locked-button image.
struct BuildListEntry {
    const char* typeName;
    const char* lockName;
};
// The type names and lock image paths of a list kind (0 hotels, 1 factories,
// 2 joys); count receives the number of entries, 0 for other kinds.
const BuildListEntry* buildListEntries(int32_t kind, int32_t& count);
engine::stringc buildListLockImage(const BuildListEntry& entry);

class GGamePlayScene : public GBaseSceneNode, public LevelStage {
    ENGINE_DECLARE_EVENT_MAP(GGamePlayScene)
    ENGINE_NODE_TYPE(GGamePlayScene, GBaseSceneNode, 1120)

public:
    static constexpr int32_t kHotelsKind = 0;
    static constexpr int32_t kFactoriesKind = 1;
    static constexpr int32_t kJoysKind = 2;
    static constexpr int32_t kTabCount = 10;

    GGamePlayScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);
    ~GGamePlayScene() override;

    void onLoaded() override;

    // ---- Scene, key and control events -----------------------------------
    bool onEvent32(engine::KeyUpEvent* event) override;
    bool onApplicationClose(engine::ApplicationCloseEvent* event) override;
    bool onWindowFocusChanged(engine::WindowFocusEvent* event) override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onNodeHovered(engine::NodeHoveredEvent* event) override;
    bool onNodeUnhovered(engine::NodeUnhoveredEvent* event) override;
    bool onNodeUnfocused(engine::NodeUnfocusedEvent* event) override;
    bool onListItemPressed(engine::ListItemPressedEvent* event) override;
    bool onListItemHovered(engine::ListItemHoveredEvent* event) override;
    // Runs one step of the level flow, the clock and the running panels.
    bool onTimer(uint32_t periodMs) override;
    // Music switched back on while the level runs (from the in-game menu's
    // options): the level's music plays again, from wherever the HUD is in
    // the stack. Nothing before the HUD has started it, nor while it plays.
    void playMusicAgain();

    // ---- Game events (each answers true) ---------------------------------
    bool onLevelCompletedEvent(GLevelCompletedEvent* event);
    bool onNewDay(GNewDayEvent* event);
    bool onBuildingSelection(GBuildingSelectionEvent* event);
    bool onLevelChanged(GLevelChangedEvent* event = nullptr);
    bool onBuildingCompleted(GBuildingCompletedEvent* event);
    bool onIncome(GIncomeEvent* event);
    bool onTaskStep(GTaskStepEvent* event);

    // ---- Level start and end ---------------------------------------------
    // Reads the level's configuration, scores and paths from the folder (text
    // ending with "/"), prepares the tutorial and the hint window and starts
    // the level scene in the game's level scene manager.
    bool startLevel(const engine::stringc& folder, GGameLevelScene* level) override;
    // Scores the level and writes the player's progress once per HUD; later
    // calls only log. regular: the regular score even within the level time.
    bool endLevel(bool regular);
    bool openLevelCompletedScene();
    bool showNextAchievement();
    // Holds a level scene that was set up and started elsewhere (the level
    // start's own last steps), without reading any file.
    void setLevelScene(GGameLevelScene* level);
    void checkMoneyAchievements();
    void playMoneyBurst(GBuildingNode* building);

    // ---- Lists, goals and buttons filled when the HUD becomes active ------
    void fillHotelsList();
    void fillJoysList();
    void fillFactoriesList();
    void fillBuildList(int32_t kind);
    void fillMaterialsList();
    void fillWorkersList();
    void setUpGoals();
    void layoutGoals(const std::vector<engine::CheckBoxNode*>& goals, GObjectiveList* objectives, bool withProgress);
    // Stacks the first `count` goal boxes from the first one's place down,
    // each below the text of the one before (a wrapped goal pushes the next
    // down), and grows the panel they stand on, its "Bg" included, to hold
    // them. Runs again whenever a goal's text changes.
    void stackGoals(const std::vector<engine::CheckBoxNode*>& goals, size_t count, float gap);
    void refreshBuildTabButtons();
    void dropTutorial();

    // ---- Panels and commands ---------------------------------------------
    void refreshPanels();
    void refreshBuildList(int32_t kind);
    void refreshBuildingPlaceTab();
    void refreshBuildingTab();
    void refreshBuyTab();
    void refreshSellOfferTab();
    void setUpHotelButtons(GBuildingNode* building, engine::BaseNode* group);
    void setUpJoyButtons(GBuildingNode* building, engine::BaseNode* group);
    void setUpCustomServiceButtons(GBuildingNode* building, engine::BaseNode* group);
    // A feature button's caption: the feature's name over its price, its
    // time left running or recharging, or where a locked one is bought.
    engine::stringw featureCaption(GBuildingNode* building, int32_t index) const;
    // The money covers what starting the feature takes.
    bool canPayFeature(GBuildingNode* building, int32_t index) const;
    void showFeatureProgress(engine::BaseNode* button, float progress);
    void highlightBuilding(GBuildingConfig* record, GBuildingNode* building);
    // Visible and enabled both take the flag; a null control is ignored.
    static void showControl(engine::BaseNode* control, bool show);

    // ---- Counters, clock, goals -------------------------------------------
    void refreshRating();
    void refreshGoals();
    void refreshStatisticsTab();
    void refreshMaterialsTab();
    void refreshWorkersTab();

    // ---- Information panel -------------------------------------------------
    void fillBuildingInfo(engine::BaseNode* info, GBuildingConfig* record, GBuildingNode* building,
                          bool fullDescription);
    void jobTexts(GBuildingNode* building, engine::stringw& title, engine::stringw& hint) const;

    // ---- Tooltips and tab hints ---------------------------------------------
    void showBuildingTooltip(GBuildingConfig* record, GBuildingNode* building);
    // The money line shows what the command takes ("x $0" for work that takes none).
    void showCostTooltip(const engine::vector3df& position, const engine::stringw& title, int32_t materials,
                         int32_t workers, int32_t money);
    void showMoneyTooltip(const engine::vector3df& position, const engine::stringw& title, bool check,
                          int32_t amount);
    void showWorkersTooltip(const engine::vector3df& position, const engine::stringw& title, int32_t workers);
    void showFeatureTooltip(const engine::vector3df& position, const engine::stringw& title);
    // Over "AbortButton": what stopping the selected building's job gives
    // back, and the money it does not.
    void showStopTooltip(const engine::vector3df& position);
    // Where a tooltip over the control goes: above the panel at the control's
    // place on the HUD, moved left as far as the tooltip needs to stay on it.
    engine::vector3df tooltipPosition(const engine::BaseNode* control, const engine::BaseNode* tooltip) const;
    void showMaterialsHint(OrderOption* offer, bool canBuy);
    void showWorkersHint(OrderOption* offer, bool canBuy);
    void showBuildingPlaceHint(engine::BaseNode* control);
    void showBuildTabHint(int32_t kind, engine::BaseNode* tab, GBuildingConfig* record, GBuildingNode* building);
    void showBuildingTabHint(engine::BaseNode* control);
    void showBuyTabHint(engine::BaseNode* control);
    void showSellOfferHint(engine::BaseNode* control);

    // ---- Access ------------------------------------------------------------
    GGameLevelScene* getLevelScene() const { return levelScene_.get(); }
    GTutorial* getTutorial() const { return tutorial_.get(); }
    GBuildingNode* getSelectedBuilding() const;
    GLevelConfig* getLevelConfig() const;
    engine::BaseNode* getInternalScene() const { return internalScene_; }
    engine::BaseNode* getGameMenu() const { return gameMenu_; }
    engine::TabSceneNode* getActionsTabs() const { return actionsTabs_; }
    engine::BaseNode* getTab(int32_t index) const {
        return index >= 0 && index < kTabCount ? tabs_[index] : nullptr;
    }
    engine::ListNode* getBuildList(int32_t kind) const;
    engine::TextNode* getMoneyText() const { return moneyText_; }
    engine::TextNode* getIncomeText() const { return incomeText_; }
    engine::BaseProgressBarNode* getDayBar() const { return dayBar_; }
    engine::BaseNode* getRatingNode() const { return ratingNode_; }
    engine::TextNode* getGuestsText() const { return guestsText_; }
    engine::BaseProgressBarNode* getRatingBar() const { return ratingBar_; }
    const std::vector<engine::BaseNode*>& getMenuStars() const { return menuStars_; }
    const std::vector<engine::BaseNode*>& getStatisticsStars() const { return statisticsStars_; }
    engine::BaseNode* getTimeNode() const { return timeNode_; }
    GEllipseSectorNode* getClockSector() const { return clockSector_; }
    engine::TextNode* getTimeText() const { return timeText_; }
    engine::TextNode* getTargetTimeText() const { return targetTimeText_; }
    engine::BaseNode* getLongArrow() const { return longArrow_; }
    const std::vector<engine::CheckBoxNode*>& getMenuGoals() const { return menuGoals_; }
    const std::vector<engine::CheckBoxNode*>& getStatisticsGoals() const { return statisticsGoals_; }
    engine::TextNode* getMaterialsAmountText() const { return materialsAmountText_; }
    engine::TextNode* getWorkersAmountText() const { return workersAmountText_; }
    engine::BaseNode* getIncomeGuestsInfoNode() const { return incomeGuestsInfo_; }
    engine::BaseNode* getGuestsInfoNode() const { return guestsInfo_; }
    engine::BaseNode* getCostTooltip() const { return costTooltip_; }
    engine::BaseNode* getWorkersTooltip() const { return workersTooltip_; }
    engine::BaseNode* getMoneyTooltip() const { return moneyTooltip_; }
    engine::BaseNode* getFeatureTooltip() const { return featureTooltip_; }
    engine::BaseNode* getStopTooltip() const { return stopTooltip_; }
    engine::BaseNode* getHintWindow() const { return hintWindow_; }
    const std::vector<int32_t>& getPendingAchievements() const { return pendingAchievements_; }
    int32_t getPendingAction() const { return pendingAction_; }
    bool isEndedByDeveloperKey() const { return endedByDeveloperKey_; }
    bool hasLevelEnded() const { return levelEnded_; }
    bool isHudShown() const { return hudShown_; }
    bool isObjectivesShown() const { return objectivesShown_; }
    bool isTutorialStarted() const { return tutorialStarted_; }
    engine::NameId getMusicCue() const override { return musicCue_; }
    bool isMusicStarted() const { return musicStarted_; }
    bool isAlmostEndPlaying() const { return almostEndPlaying_; }
    int32_t getHintCountdownMs() const { return hintCountdownMs_; }
    const std::vector<engine::stringw>& getShownHints() const { return shownHints_; }
    int32_t getHoveredFeature() const { return hoveredFeature_; }
    GBuildingNode* getHoveredBuilding() const { return hoveredBuilding_; }
    GBuildingConfig* getHoveredRecord() const { return hoveredRecord_; }
    const engine::stringw& getTooltipTitle() const { return tooltipTitle_; }
    const int32_t* getTooltipValues() const { return tooltipValues_; }

private:
    void clearBindings();
    void bindTabs(engine::BaseNode* tabScene);
    void switchTab(int32_t index);
    bool isTopScene() const;
    void setLevelTimersEnabled(bool enabled);
    void closeHintWindow();
    void runClock();
    void runPanels();
    void runHintWindow(uint32_t periodMs);
    void runPendingAction();
    void handleSelection(GBuildingNode* selected, GBuildingNode* previous);
    void resetBuildTabHints();
    void clearBuildPreview();
    // Loads the objectives scene and pushes it over the HUD; false (logged)
    // when it is missing.
    bool openObjectivesScene();
    BuildingsConfiguration* gameBuildings() const;
    engine::stringw translate(const engine::stringw& text) const;

    std::vector<int32_t> pendingAchievements_;
    bool endedByDeveloperKey_ = false;
    // The level end ran; a second end (the developer key, then the objectives
    // met) writes nothing more.
    bool levelEnded_ = false;
    bool completedSceneOpened_ = false;

    engine::BaseNode* internalScene_ = nullptr;
    engine::BaseNode* gameMenu_ = nullptr;
    engine::TextNode* moneyText_ = nullptr;
    engine::TextNode* incomeText_ = nullptr;
    engine::BaseProgressBarNode* dayBar_ = nullptr;
    engine::BaseNode* ratingNode_ = nullptr;
    engine::TextNode* guestsText_ = nullptr;
    engine::BaseProgressBarNode* ratingBar_ = nullptr;
    std::vector<engine::BaseNode*> menuStars_;
    engine::BaseNode* timeNode_ = nullptr;
    GEllipseSectorNode* clockSector_ = nullptr;
    engine::TextNode* timeText_ = nullptr;
    engine::TextNode* targetTimeText_ = nullptr;
    engine::BaseNode* longArrow_ = nullptr;
    std::vector<engine::CheckBoxNode*> menuGoals_;
    engine::TabSceneNode* actionsTabs_ = nullptr;
    engine::BaseNode* tabs_[kTabCount] = {};
    engine::ListNode* hotelsList_ = nullptr;
    engine::ListNode* factoriesList_ = nullptr;
    engine::ListNode* joysList_ = nullptr;
    engine::BaseNode* materialsProgress_ = nullptr;
    engine::BaseNode* materialsButtons_ = nullptr;
    engine::TextNode* materialsHint_ = nullptr;
    engine::BaseNode* workersButtons_ = nullptr;
    engine::BaseNode* workersProgress_ = nullptr;
    engine::TextNode* workersHint_ = nullptr;
    engine::ControlNode* buildingProgress_ = nullptr;
    engine::TextNode* buildingProgressHint_ = nullptr;
    engine::TextNode* buildingHint_ = nullptr;
    std::vector<engine::BaseNode*> statisticsStars_;
    std::vector<engine::CheckBoxNode*> statisticsGoals_;
    engine::TextNode* materialsAmountText_ = nullptr;
    engine::TextNode* workersAmountText_ = nullptr;
    engine::BaseNode* incomeGuestsInfo_ = nullptr;
    engine::BaseNode* guestsInfo_ = nullptr;
    engine::BaseNode* costTooltip_ = nullptr;
    engine::BaseNode* workersTooltip_ = nullptr;
    engine::BaseNode* moneyTooltip_ = nullptr;
    engine::BaseNode* featureTooltip_ = nullptr;
    engine::BaseNode* stopTooltip_ = nullptr;

    engine::stringw tooltipTitle_;
    int32_t tooltipValues_[3] = {0, 0, 0};
    int32_t hoveredFeature_ = -1;
    GBuildingNode* hoveredBuilding_ = nullptr;
    GBuildingConfig* hoveredRecord_ = nullptr;
    engine::CountedRef<GGameLevelScene> levelScene_;
    engine::CountedRef<GTutorial> tutorial_;
    engine::BaseNode* hintWindow_ = nullptr;
    int32_t hintCountdownMs_ = 0;
    std::vector<engine::stringw> shownHints_;
    bool objectivesShown_ = false;
    bool tutorialStarted_ = false;
    engine::NameId musicCue_ = engine::kNoName;
    bool musicStarted_ = false;
    bool almostEndPlaying_ = false;
    bool hudShown_ = false;
    int32_t pendingAction_ = 0;
};

}  // namespace game
