// The tasks as the level's commands start them on a headless level: what
// comes back to the level's stock, its history and the building's job, with
// and without the props' templates.
#include "level/TaskTestSupport.h"

#include "engine/core/ControlNode.h"
#include "engine/core/SceneManager.h"
#include "game/common/GameEvents.h"
#include "game/level/tasks/GConstructionTask.h"
#include "support/HeadlessLevel.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>

using namespace engine;
using namespace game;
using testing_support::HeadlessLevel;
using testing_support::SmallContent;

namespace {

class TaskLevelTest : public ::testing::Test {
protected:
    bool start(const SmallContent& content = SmallContent()) {
        HeadlessLevel::writeContent(folder.path().string(), content);
        if (!level.load(folder.path().string(), "levels/test/")) return false;
        scene = level.scene();
        cargos = scene->cargosNode;
        return scene && cargos;
    }

    // The small level with the props' templates and a delivery path to Place01.
    static SmallContent withProps() {
        SmallContent content;
        const std::string end = "</SceneNode>";
        const size_t at = content.templates.rfind(end);
        content.templates.insert(at, task_tests::taskTemplateElements({"Hotel1", "Hotel2", "BuildingPlace"}));
        content.paths =
            "<?xml version=\"1.0\"?>\n<LevelPaths><CarPaths><Path ID=\"Place01\"><p p=\"-80, 100\"/>"
            "<p p=\"50, 100\"/></Path></CarPaths><PedestrianPaths/></LevelPaths>\n";
        return content;
    }

    int32_t cargoCount(const char* name) const {
        int32_t n = 0;
        const array<BaseNode*>& children = cargos->getChildren();
        for (uint32_t i = 0; i < children.size(); ++i) n += children[i]->getName() == makeNameId(name) ? 1 : 0;
        return n;
    }

    int32_t lastAction() const { return scene->history.empty() ? -1 : scene->history.back().action; }

    bool idle(GBuildingNode* building, uint32_t limitMs) {
        return level.advanceUntil([building] { return building->getJobState() == 0; }, limitMs);
    }

    testing_support::TempDir folder;
    HeadlessLevel level;
    GGameLevelScene* scene = nullptr;
    BaseNode* cargos = nullptr;
};

TEST_F(TaskLevelTest, WithoutPropsTheCommandsStillEndAfterTheirTimesAndEverythingComesBack) {
    testing_support::LogCapture capture;
    ASSERT_TRUE(start()) << level.failure();
    GBuildingNode* place = level.building("Place01");
    const int32_t workers = scene->workers;
    const float materials = scene->materials;

    ASSERT_TRUE(scene->build(place, level.record("Hotel1")));
    EXPECT_TRUE(capture.contains("\"Helicopter\""));
    EXPECT_TRUE(capture.contains("\"Construction\""));
    EXPECT_EQ(scene->workers, workers - 2);
    level.advance(900);
    EXPECT_EQ(place->getJobState(), 1);
    ASSERT_TRUE(idle(place, 1000));
    EXPECT_EQ(place->getTemplateName(), makeNameId("Hotel1"));
    EXPECT_EQ(lastAction(), GGameLevelScene::kBuilt);
    EXPECT_EQ(scene->workers, workers);
    EXPECT_FLOAT_EQ(scene->materials, materials - 10.0f);

    place->setCondition(GBuildingNode::kBroken);
    ASSERT_TRUE(scene->repair(place));
    EXPECT_EQ(scene->workers, workers - 1);
    ASSERT_TRUE(idle(place, 1000));
    EXPECT_EQ(lastAction(), GGameLevelScene::kRepaired);
    EXPECT_EQ(place->getCondition(), 0);
    EXPECT_EQ(scene->workers, workers);

    GBuildingNode* hotel = level.building("Place02");
    ASSERT_TRUE(scene->destroy(hotel));
    EXPECT_EQ(scene->workers, workers - 1);
    ASSERT_TRUE(idle(hotel, 1000));
    EXPECT_EQ(lastAction(), GGameLevelScene::kDestroyed);
    EXPECT_EQ(hotel->getTemplateName(), makeNameId("BuildingPlace"));
    EXPECT_EQ(scene->workers, workers);
    // Only the level's own cloud drift is left running.
    EXPECT_EQ(std::count_if(scene->tasks.begin(), scene->tasks.end(),
                            [](GBuildingTask* t) { return t->getBuilding() != nullptr; }),
              0);
}

TEST_F(TaskLevelTest, ThePropsComeAndGoWithTheConstruction) {
    ASSERT_TRUE(start(withProps())) << level.failure();
    GBuildingNode* place = level.building("Place01");
    ASSERT_TRUE(scene->build(place, level.record("Hotel2")));
    EXPECT_EQ(cargoCount("Bus"), 1);
    EXPECT_EQ(cargoCount("Helicopter"), 1);
    EXPECT_GT(cargoCount("Cloud1") + cargoCount("Cloud2") + cargoCount("Cloud3"), 0);

    ASSERT_TRUE(idle(place, 20000));
    EXPECT_EQ(scene->history.size(), 1u);
    EXPECT_EQ(place->getTemplateName(), makeNameId("Hotel2"));
    ASSERT_TRUE(level.advanceUntil([this] { return scene->tasks.size() == 1; }, 20000));
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_EQ(cargoCount("Helicopter"), 0);
    EXPECT_EQ(cargoCount("LevelStarEffect"), 0);
    EXPECT_FALSE(place->findChild(makeNameId("Construction"), 1));
}

TEST_F(TaskLevelTest, CancellingFromTheBuildingGivesTheStockBack) {
    ASSERT_TRUE(start(withProps())) << level.failure();
    GBuildingNode* place = level.building("Place01");
    const int32_t workers = scene->workers;
    const float materials = scene->materials;
    ASSERT_TRUE(scene->build(place, level.record("Hotel1")));
    level.advance(2000);
    ASSERT_EQ(place->getJobState(), 1);
    place->cancelJob();
    EXPECT_EQ(place->getJobState(), 0);
    EXPECT_EQ(scene->workers, workers);
    EXPECT_FLOAT_EQ(scene->materials, materials);
    EXPECT_EQ(place->getTemplateName(), makeNameId("BuildingPlace"));
    level.advance(100);
    EXPECT_EQ(scene->tasks.size(), 1u);
    EXPECT_EQ(cargoCount("Helicopter"), 0);
    EXPECT_TRUE(scene->history.empty());
}

TEST_F(TaskLevelTest, NoTaskAdvancesWhileTheLevelIsPaused) {
    ASSERT_TRUE(start()) << level.failure();
    GBuildingNode* hotel = level.building("Place02");
    hotel->setCondition(GBuildingNode::kDirty);
    ASSERT_TRUE(scene->clean(hotel));
    CountedRef<GPauseRequestEvent> pause(new GPauseRequestEvent(true));
    scene->handleEvent(pause.get());
    level.advance(3000);
    EXPECT_EQ(hotel->getJobState(), 3);
    EXPECT_FLOAT_EQ(hotel->jobProgress(), 0.0f);
    CountedRef<GPauseRequestEvent> resume(new GPauseRequestEvent(false));
    scene->handleEvent(resume.get());
    ASSERT_TRUE(idle(hotel, 1000));
    EXPECT_EQ(lastAction(), GGameLevelScene::kCleaned);
}

// Nodes in the subtree, a control's template root included.
size_t subtreeSize(BaseNode* node) {
    if (!node) return 0;
    size_t n = 1;
    if (ControlNode* control = nodeCast<ControlNode>(node)) n += subtreeSize(control->getTemplateRoot());
    const array<BaseNode*>& children = node->getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) n += subtreeSize(children[i]);
    return n;
}

#ifdef LODGEROO_CONTENT_TREE
const char* const kContentTree = LODGEROO_CONTENT_TREE;
#else
const char* const kContentTree = "";
#endif

// The shipped props: every animation the tasks wait for ends, and nothing of
// a finished task is left in the level.
TEST_F(TaskLevelTest, ShippedPropsPlayThroughEveryTaskAndLeaveNothingBehind) {
    if (!std::filesystem::exists(std::filesystem::path(kContentTree) / "levels/level1/Level.oscn")) {
        SKIP_OR_FAIL_UNDER_CI() << "no built level 1 in " << kContentTree;
    }
    testing_support::LogCapture capture;
    ASSERT_TRUE(level.load(kContentTree, "levels/level1/")) << level.failure();
    scene = level.scene();
    cargos = scene->cargosNode;
    ASSERT_TRUE(cargos);
    GBuildingNode* place = level.building("Place02");
    ASSERT_TRUE(place);
    const int32_t workers = scene->workers;
    const size_t placeNodes = subtreeSize(place);

    ASSERT_TRUE(scene->build(place, level.record("Camping1")));
    EXPECT_EQ(cargoCount("Helicopter"), 1);
    ASSERT_TRUE(idle(place, 60000));
    EXPECT_EQ(lastAction(), GGameLevelScene::kBuilt);
    ASSERT_TRUE(level.advanceUntil([this] { return scene->tasks.size() == 1; }, 30000));
    EXPECT_EQ(cargoCount("Helicopter"), 0);
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_EQ(cargoCount("LevelStarEffect"), 0);
    EXPECT_FALSE(place->findChild(makeNameId("Construction"), 1));

    ASSERT_TRUE(scene->destroy(place));
    ASSERT_TRUE(idle(place, 60000));
    EXPECT_EQ(lastAction(), GGameLevelScene::kDestroyed);
    ASSERT_TRUE(level.advanceUntil([this] { return scene->tasks.size() == 1; }, 30000));
    EXPECT_FALSE(place->findChild(makeNameId("ProgressBarOverBuilding"), 1));
    EXPECT_EQ(scene->workers, workers);
    EXPECT_FALSE(capture.contains("is missing"));
    // The place is as it was; CargosNode holds only the level's own movers.
    EXPECT_EQ(subtreeSize(place), placeNodes);
    for (uint32_t i = 0; i < cargos->getChildCount(); ++i) {
        const stringc& name = nameOfId(cargos->getChild(i)->getName());
        EXPECT_TRUE(name.find("Cloud") == 0 || name.find("Car") == 0) << name.c_str();
    }
}

}  // namespace
