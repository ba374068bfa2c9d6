// The level scene on the headless fixture: loading and set-up, the clocks,
// days and deliveries of its tick, the task list, the refresh, the pause, and
// completion.
#include "engine/core/EventIds.h"
#include "engine/core/TimerScheduler.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelModifiers.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/tasks/GBuildingTask.h"
#include "level/LevelSceneFixture.h"
#include "support/LogCapture.h"

#include <algorithm>
#include <vector>

using namespace engine;
using game::GBuildingNode;
using game::GGameLevelScene;
using level_test::eventId;
using level_test::levelConfiguration;
using testing_support::SmallContent;
using testing_support::TempDir;

namespace {

const uint32_t kLevelChanged = eventId(EventId::GLevelChangedEvent);
const uint32_t kNewDay = eventId(EventId::GNewDayEvent);
const uint32_t kLevelCompleted = eventId(EventId::GLevelCompletedEvent);

const char* const kStock =
    "<float Name=\"InitMoney\" Value=\"100000\"/><float Name=\"InitMaterialsCount\" Value=\"500\"/>"
    "<int Name=\"InitWorkersCount\" Value=\"10\"/>";
const char* const kNeverMet = "<Objective Type=\"Money\" Value=\"1000000000\"/>";

class LevelSceneTest : public level_test::SmallLevelTest {};

// A task that finishes after a number of runs and notes each run.
class CountingTask : public game::GBuildingTask {
public:
    CountingTask(int32_t runs, std::vector<int32_t>& journal, int32_t id) : left_(runs), journal_(journal), id_(id) {}
    float getProgress() override { return 0.0f; }
    bool run(uint32_t) override {
        journal_.push_back(id_);
        return --left_ > 0;
    }

private:
    int32_t left_;
    std::vector<int32_t>& journal_;
    int32_t id_;
};

// A task whose run sends a command that starts another task, and then ends.
class CommandingTask : public game::GBuildingTask {
public:
    CommandingTask(GGameLevelScene& scene, GBuildingNode* place, game::GBuildingConfig* record)
        : scene_(scene), place_(place), record_(record) {}
    float getProgress() override { return 0.0f; }
    bool run(uint32_t) override {
        built = scene_.build(place_, record_);
        return false;
    }
    bool built = false;

private:
    GGameLevelScene& scene_;
    GBuildingNode* place_;
    game::GBuildingConfig* record_;
};

}  // namespace

TEST_F(LevelSceneTest, SetUpBindsThePlacesAndStartsFromTheLevelRecord) {
    start();
    ASSERT_EQ(scene->buildings.size(), 8u);
    EXPECT_NE(scene->cargosNode, nullptr);
    EXPECT_FLOAT_EQ(scene->money, 100000.0f);
    EXPECT_FLOAT_EQ(scene->materials, 500.0f);
    EXPECT_EQ(scene->workers, 10);
    EXPECT_EQ(scene->workersHired, 10);
    EXPECT_FLOAT_EQ(scene->materialCountdown, -1.0f);
    EXPECT_FLOAT_EQ(scene->workerCountdown, -1.0f);
    EXPECT_NE(scene->traffic, nullptr);
    EXPECT_NE(scene->weatherNode, nullptr);
    for (GBuildingNode* building : scene->buildings) {
        ASSERT_NE(building->getRecord(), nullptr);
        EXPECT_EQ(building->getRecord()->Name, building->getTemplateName());
        EXPECT_EQ(building->getLevelScene(), scene);
    }
    // The owned hotel earns; the unowned one counts nowhere; the shop earns too.
    EXPECT_EQ(scene->guests, 5);
    EXPECT_GT(scene->dailyIncome, 100.0f);
    EXPECT_FLOAT_EQ(scene->potentialIncome, scene->dailyIncome);
    // Providers of services 4 and 5 are idle.
    EXPECT_EQ(scene->providedServices, (std::vector<int32_t>{4, 5}));
    EXPECT_FALSE(scene->objectivesMet);
    EXPECT_EQ(level.count(kLevelCompleted), 0);
    EXPECT_GT(level.count(kLevelChanged), 0);
}

TEST_F(LevelSceneTest, PlacesWithoutARecordAreLoggedAndHidden) {
    SmallContent content;
    const std::string from = "Value=\"Garden\"/><bool";
    content.level.replace(content.level.find(from), from.size(), "Value=\"Fountain\"/><bool");
    testing_support::LogCapture log;
    start(content);
    GBuildingNode* unknown = place("Place03");
    ASSERT_NE(unknown, nullptr);
    EXPECT_FALSE(unknown->isVisible());
    EXPECT_FALSE(unknown->isOperating());
    EXPECT_TRUE(log.contains("Fountain"));
    EXPECT_TRUE(place("Place02")->isVisible());
    // The level still runs.
    level.advance(1000);
    EXPECT_FLOAT_EQ(scene->totalTimeMs, 1000.0f);
}

TEST_F(LevelSceneTest, ADayEndsOnTheFirstTickThatReachesTheDayLength) {
    start();
    const float income = scene->dailyIncome;
    ASSERT_GT(income, 0.0f);
    struct Case {
        int32_t dayLength;
        uint32_t runMs;
        int32_t days;
    };
    // A day length of 0 ends a day on every tick.
    const Case cases[] = {{0, 100, 5}, {1, 980, 0}, {1, 1020, 1}, {2, 4100, 2}};
    for (const Case& c : cases) {
        level.config()->dayLength = c.dayLength;
        scene->dayClock = 0.0f;
        const float money = scene->money;
        level.clearEvents();
        level.advance(c.runMs);
        EXPECT_EQ(level.count(kNewDay), c.days) << c.dayLength << " " << c.runMs;
        EXPECT_FLOAT_EQ(scene->money, money + income * static_cast<float>(c.days)) << c.dayLength;
        EXPECT_GE(level.count(kLevelChanged), c.days);
    }
}

TEST_F(LevelSceneTest, DeliveriesArriveWhenTheirCountdownDropsBelowZero) {
    start();
    game::GLevelConfig* config = level.config();
    ASSERT_EQ(config->materialOrderOptions.size(), 6u);
    ASSERT_EQ(config->workerOrderOptions.size(), 4u);
    scene->money = 1000000.0f;

    // 5000 ms at the plain speed: the 251st tick.
    ASSERT_TRUE(scene->orderMaterials(config->materialOrderOptions[0].get()));
    EXPECT_FLOAT_EQ(scene->money, 1000000.0f - 12500.0f);
    EXPECT_FLOAT_EQ(scene->materialDeliveryTime, 5000.0f);
    level.advance(250 * 20);
    EXPECT_FLOAT_EQ(scene->materials, 500.0f);
    level.advance(20);
    EXPECT_FLOAT_EQ(scene->materials, 625.0f);
    EXPECT_FLOAT_EQ(scene->materialCountdown, -1.0f);

    // A second workers order replaces the first without refund: only the
    // new amount arrives.
    ASSERT_TRUE(scene->orderWorkers(config->workerOrderOptions[1].get()));
    level.advance(1000);
    ASSERT_TRUE(scene->orderWorkers(config->workerOrderOptions[0].get()));
    EXPECT_FLOAT_EQ(scene->money, 1000000.0f - 12500.0f - 90000.0f - 50000.0f);
    level.advance(250 * 20);
    EXPECT_EQ(scene->workers, 10);
    level.advance(20);
    EXPECT_EQ(scene->workers, 11);
    EXPECT_EQ(scene->workersHired, 11);
    level.advance(10000);
    EXPECT_EQ(scene->workers, 11);
}

TEST_F(LevelSceneTest, TheDeliverySpeedsScaleTheCountdowns) {
    start();
    // Modifiers as a bought upgrade brings them.
    CountedRef<game::LevelModifierList> modifiers(new game::LevelModifierList());
    game::LevelModifier* materialsSpeed = new game::LevelModifier(game::LevelModifierKind::MaterialDeliveryTimeM);
    materialsSpeed->setValue(2.0f);
    modifiers->append(materialsSpeed);
    game::LevelModifier* workersSpeed = new game::LevelModifier(game::LevelModifierKind::WorkerDeliveryTimeM);
    workersSpeed->setValue(0.0f);
    modifiers->append(workersSpeed);
    scene->availability->upgradeModifierLists.push_back(modifiers);
    scene->refresh();
    ASSERT_FLOAT_EQ(level.config()->modifierValues.MaterialDeliveryTimeM, 2.0f);

    // Twice the speed: the 126th tick. Speed 0: never.
    ASSERT_TRUE(scene->orderMaterials(level.config()->materialOrderOptions[0].get()));
    ASSERT_TRUE(scene->orderWorkers(level.config()->workerOrderOptions[0].get()));
    level.advance(125 * 20);
    EXPECT_FLOAT_EQ(scene->materials, 500.0f);
    level.advance(20);
    EXPECT_FLOAT_EQ(scene->materials, 625.0f);
    level.advance(20000);
    EXPECT_EQ(scene->workers, 10);
    EXPECT_FLOAT_EQ(scene->workerCountdown, 5000.0f);
}

TEST_F(LevelSceneTest, AFinishedTaskLeavesInItsTickAndTheMovedTaskStillRuns) {
    start();
    std::vector<int32_t> journal;
    // Tasks 1 and 3 finish on their first run; 2 runs three times.
    for (const auto& [runs, id] : {std::pair<int32_t, int32_t>{1, 1}, {3, 2}, {1, 3}}) {
        scene->tasks.push_back(new CountingTask(runs, journal, id));
    }
    const size_t before = scene->tasks.size();  // the clouds task is there too
    scene->updateTasks(20);
    // 1 runs and leaves; the last task (3) moves into its slot and runs in
    // the same pass; then 2.
    EXPECT_EQ(scene->tasks.size(), before - 2);
    ASSERT_GE(journal.size(), 3u);
    EXPECT_EQ(journal[0], 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), 3), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), 2), 1);
    scene->updateTasks(20);
    scene->updateTasks(20);
    EXPECT_EQ(scene->tasks.size(), before - 3);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), 2), 3);
}

TEST_F(LevelSceneTest, ATaskMayStartAnotherWhileItRuns) {
    start();
    CountedRef<CommandingTask> commanding(new CommandingTask(*scene, place("Place01"), record("Hotel1")));
    commanding->addRef();
    scene->tasks.push_back(commanding.get());
    scene->updateTasks(20);
    EXPECT_TRUE(commanding->built);
    // The commanding task left; the construction it started is listed and
    // runs to its end.
    EXPECT_EQ(std::count(scene->tasks.begin(), scene->tasks.end(), commanding.get()), 0);
    EXPECT_EQ(commanding->getRefCount(), 1);
    EXPECT_EQ(place("Place01")->getJobState(), GBuildingNode::kConstructionJob);
    ASSERT_TRUE(finishJob(place("Place01")));
    EXPECT_EQ(historyCount(GGameLevelScene::kBuilt), 1);
}

TEST_F(LevelSceneTest, PauseStopsTheLevelTimeAndTheFlagAloneStopsAllButTheTraffic) {
    start();
    level.advance(1000);
    EXPECT_FLOAT_EQ(scene->totalTimeMs, 1000.0f);
    ASSERT_TRUE(scene->orderMaterials(level.config()->materialOrderOptions[0].get()));

    CountedRef<game::GPauseRequestEvent> pause(new game::GPauseRequestEvent(true));
    EXPECT_TRUE(scene->handleEvent(pause.get()));
    EXPECT_TRUE(scene->paused);
    EXPECT_FALSE(scene->getTimerScheduler()->isEnabled());
    level.advance(10000);
    EXPECT_FLOAT_EQ(scene->totalTimeMs, 1000.0f);
    EXPECT_FLOAT_EQ(scene->materialCountdown, 5000.0f);

    CountedRef<game::GPauseRequestEvent> resume(new game::GPauseRequestEvent(false));
    EXPECT_TRUE(scene->handleEvent(resume.get()));
    EXPECT_TRUE(scene->getTimerScheduler()->isEnabled());
    level.advance(1000);
    EXPECT_FLOAT_EQ(scene->totalTimeMs, 2000.0f);

    // The flag alone: the tick runs (the traffic) but the level's time stands.
    scene->setPaused(true);
    const float dayClock = scene->dayClock;
    level.advance(1000);
    EXPECT_FLOAT_EQ(scene->totalTimeMs, 2000.0f);
    EXPECT_FLOAT_EQ(scene->dayClock, dayClock);
}

TEST_F(LevelSceneTest, TheRatingNeverFallsAndARefreshMendsBreakdownsTheLevelForbids) {
    SmallContent content;
    content.upgrades = level_test::upgradesWithModifiers("<Modifier Type=\"CanBuildingsBroke\" Value=\"0\"/>");
    start(content);
    scene->rating = 120.0f;
    scene->refresh();
    EXPECT_FLOAT_EQ(scene->rating, 120.0f);
    EXPECT_EQ(scene->ratingLevel(), 2);

    GBuildingNode* hotel = place("Place02");
    hotel->setCondition(GBuildingNode::kBroken);
    scene->refresh();
    EXPECT_EQ(hotel->getCondition(), GBuildingNode::kNoCondition);
}

TEST_F(LevelSceneTest, ALevelWithoutObjectivesEndsAtItsFirstRefreshOnce) {
    SmallContent content;
    content.configuration = levelConfiguration(kStock, "");
    start(content);
    EXPECT_TRUE(scene->objectivesMet);
    EXPECT_TRUE(scene->hintText.empty());
    EXPECT_EQ(level.count(kLevelCompleted), 1);
    // Won: the tick no longer runs the level, commands still work, no second end.
    level.advance(1000);
    EXPECT_FLOAT_EQ(scene->totalTimeMs, 0.0f);
    EXPECT_TRUE(scene->build(place("Place01"), record("Hotel1")));
    scene->refresh();
    level.deliver();
    EXPECT_EQ(level.count(kLevelCompleted), 1);
}

TEST_F(LevelSceneTest, HintsNameTheSingleUnmetObjectiveOrWhatBlocksTheEnd) {
    SmallContent content;
    // Met at once: 100000 money and 10 workers; the guests are not (5 of 6).
    content.configuration = levelConfiguration(
        kStock, "<Objective Type=\"Money\" Value=\"50000\"/><Objective Type=\"GuestsCount\" Value=\"6\"/>"
                "<Objective Type=\"Workers\" Value=\"10\"/>");
    start(content);
    EXPECT_FALSE(scene->objectivesMet);
    EXPECT_STREQ(scene->hintText.c_str(), "%GamePlay_CompleteHintGuests%");

    // Two unmet: no hint.
    scene->money = 10.0f;
    scene->refresh();
    EXPECT_FALSE(scene->objectivesMet);
    EXPECT_TRUE(scene->hintText.empty());
    scene->money = 100000.0f;

    // All met but a dirty decoration: blocked, and no end.
    GBuildingNode* garden = place("Place03");
    garden->setCondition(GBuildingNode::kDirty);
    // Two more hotels, so that one broken hotel keeps the guests up.
    for (const char* name : {"Place01", "Place05"}) {
        ASSERT_TRUE(scene->build(place(name), record("Hotel1")));
        ASSERT_TRUE(finishJob(place(name)));
    }
    EXPECT_TRUE(scene->objectivesMet);
    EXPECT_STREQ(scene->hintText.c_str(), "%GamePlay_CompleteBlocked3Hint%");
    EXPECT_EQ(level.count(kLevelCompleted), 0);

    // A broken hotel as well: both marks.
    place("Place02")->setCondition(GBuildingNode::kBroken);
    scene->refresh();
    EXPECT_STREQ(scene->hintText.c_str(), "%GamePlay_CompleteBlocked1Hint%");
    ASSERT_TRUE(scene->repair(place("Place02")));
    // While the repair runs the hotel still blocks.
    scene->refresh();
    EXPECT_STREQ(scene->hintText.c_str(), "%GamePlay_CompleteBlocked1Hint%");
    ASSERT_TRUE(finishJob(place("Place02")));
    EXPECT_STREQ(scene->hintText.c_str(), "%GamePlay_CompleteBlocked3Hint%");

    // Cleaned: the level ends once.
    ASSERT_TRUE(scene->clean(garden));
    ASSERT_TRUE(finishJob(garden));
    level.deliver();
    EXPECT_TRUE(scene->hintText.empty());
    EXPECT_EQ(level.count(kLevelCompleted), 1);
    scene->refresh();
    level.advance(1000);
    EXPECT_EQ(level.count(kLevelCompleted), 1);
}
