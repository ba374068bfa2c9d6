#include "level/TaskTestSupport.h"

#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneFile.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/XmlReader.h"
#include "game/app/GameNodeKinds.h"
#include "game/common/GameEvents.h"
#include <algorithm>
#include <cstring>

using namespace engine;
using namespace game;

namespace task_tests {

namespace {

// A state whose single key-frame animator takes `ms`.
std::string timedState(const char* name, int ms) {
    return std::string("<State Name=\"") + name +
           "\"><Animator Type=\"KeyFrame\" Name=\"Run\"><Properties><color Name=\"TintColor\" "
           "Value=\"ffffffff\"/></Properties><KeyFrame t=\"0\" Value0=\"ffffffff\"/><KeyFrame t=\"" +
           std::to_string(ms) + "\" i=\"0\" Value0=\"ffffffff\"/></Animator></State>";
}

std::string moverState(const char* name) {
    return std::string("<State Name=\"") + name +
           "\"><Animator Type=\"KeyFrame\" Name=\"Mover\"><Properties><vector3d Name=\"Position\" "
           "Value=\"0;0;0\"/></Properties><KeyFrame t=\"0\" Value0=\"0;0;0\"/><KeyFrame t=\"100\" i=\"0\" "
           "Value0=\"0;0;0\"/></Animator></State>";
}

std::string named(const char* type, const char* name, const std::string& inner = std::string(),
                  const std::string& states = std::string()) {
    std::string text = std::string("<SceneNode Type=\"") + type + "\"><Properties><string Name=\"Name\" Value=\"" +
                       name + "\"/></Properties>";
    if (!states.empty()) text += "<States>" + states + "</States>";
    return text + inner + "</SceneNode>";
}

struct Template {
    const char* name;
    std::string text;
};

const std::vector<Template>& templates() {
    static const std::vector<Template> list = {
        {"Hotel1", named("BaseNode", "Hotel1",
                         named("BaseNode", "Body") + named("BaseNode", "Roof") + named("BaseNode", "Selector"))},
        {"Hotel2", named("BaseNode", "Hotel2", named("BaseNode", "Body") + named("BaseNode", "Tower"))},
        {"BuildingPlace", named("BaseNode", "BuildingPlace", named("BaseNode", "Ground"))},
        // The bus takes 600 ms to leave.
        {"Bus", named("GPathMovableNode", "Bus", named("BaseNode", "Body"), timedState("MovingFrom", 600))},
        // The helicopter flies each leg on its "Mover"; unloading ends at once.
        {"Helicopter", named("GPathMovableNode", "Helicopter",
                             named("BaseNode", "Body") + named("BaseNode", "Cargo") + named("BaseNode", "CargoShadow"),
                             moverState("MovingTo") + moverState("MovingFrom"))},
        {"Construction", named("BaseNode", "Construction", named("BaseNode", "Site"))},
        {"Cargo", named("BaseNode", "Cargo", named("ProgressBarNode", "ProgressBar"))},
        {"ProgressBarOverBuilding", named("ProgressBarNode", "ProgressBarOverBuilding")},
        {"LevelStarEffect", named("BaseNode", "LevelStarEffect", named("BaseNode", "Star", "", timedState("Activate", 200)))},
        {"ConstructionSelector", named("SpriteNode", "ConstructionSelector")},
        {"Cloud1", named("GPathMovableNode", "Cloud1", named("BaseNode", "Puff"))},
        {"Cloud2", named("GPathMovableNode", "Cloud2", named("BaseNode", "Puff"))},
        {"Cloud3", named("GPathMovableNode", "Cloud3", named("BaseNode", "Puff"))},
    };
    return list;
}

std::string templatesText(const std::vector<std::string>& without) {
    return "<?xml version=\"1.0\"?><SceneNode Type=\"TemplateCollectionNode\">" + taskTemplateElements(without) +
           "</SceneNode>";
}

const char* const kLevelScene = R"(<?xml version="1.0"?>
<SceneNode Type="GGameLevelScene">
  <Properties><string Name="Name" Value="Level"/></Properties>
  <SceneNode Type="ControlNode">
    <Properties><string Name="Name" Value="Buildings"/></Properties>
    <SceneNode Type="GBuildingNode">
      <Properties>
        <string Name="Name" Value="Place1"/>
        <vector3d Name="Position" Value="500;300;0"/>
        <string Name="TemplateName" Value="Hotel1"/>
        <bool Name="IsOwnedByThePlayer" Value="true"/>
      </Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="CargosNode"/></Properties></SceneNode>
</SceneNode>)";

BaseNode* readScene(const char* text, size_t size) {
    XmlReader reader(text, size, "memory");
    return readSceneFile(reader, CreationContext(nullptr, "memory"), "memory");
}

}  // namespace

std::string taskTemplateElements(const std::vector<std::string>& without) {
    std::string text;
    for (const Template& t : templates()) {
        if (std::find(without.begin(), without.end(), t.name) == without.end()) text += t.text;
    }
    return text;
}

EventLog::EventLog() { setMask(EventCategory::Game); }

bool EventLog::handleEvent(Event* event) {
    if (!event || event->getCategory() != EventCategory::Game) return false;
    Posted posted;
    posted.id = event->getTypeId();
    if (auto* about = dynamic_cast<GBuildingEvent*>(event)) posted.building = about->getBuilding();
    if (auto* step = dynamic_cast<GTaskStepEvent*>(event)) {
        posted.materials = step->getMaterials();
        posted.workers = step->getWorkers();
    }
    if (auto* done = dynamic_cast<GBuildingCompletedEvent*>(event)) posted.record = done->getRecord();
    if (auto* used = dynamic_cast<GFeatureUsedEvent*>(event)) posted.workers = used->getFeatureIndex();
    events.push_back(posted);
    return swallow;
}

std::vector<int32_t> EventLog::ids() const {
    std::vector<int32_t> out;
    for (const Posted& p : events) out.push_back(p.id);
    return out;
}

int32_t EventLog::count(int32_t id) const {
    int32_t n = 0;
    for (const Posted& p : events) n += p.id == id ? 1 : 0;
    return n;
}

const Posted* EventLog::last(int32_t id) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        if (it->id == id) return &*it;
    }
    return nullptr;
}

TaskFixture::TaskFixture() {
    static const bool registered = [] {
        registerGameNodeKinds();
        return true;
    }();
    (void)registered;
    getRandomGenerator().seed(4242u);
}

TaskFixture::~TaskFixture() {
    task_.reset();
    if (scene) scene->removeListener(&log);
}

void TaskFixture::load(const std::vector<std::string>& without) {
    task_.reset();
    log.events.clear();
    if (scene) scene->removeListener(&log);
    managerRef.reset(new testing_support::FakeSceneManager());
    manager = managerRef.get();
    const std::string text = templatesText(without);
    manager->collection.reset(nodeCast<TemplateCollectionNode>(readScene(text.data(), text.size())));
    ASSERT_TRUE(manager->collection);

    level.reset(new GLevelConfig());
    level->settingIndex = 2;
    hotel1 = makeRecord("Hotel1", 0, 1);
    hotel2 = makeRecord("Hotel2", 0, 2);
    place = makeRecord("BuildingPlace", 0, 0);
    path = makePath({100.0f, 300.0f, 300.0f, 300.0f, 500.0f, 300.0f});

    sceneRef.reset(nodeCast<GGameLevelScene>(readScene(kLevelScene, std::strlen(kLevelScene))));
    scene = sceneRef.get();
    ASSERT_TRUE(scene);
    scheduler.reset(new TimerScheduler());
    scene->setTimerScheduler(scheduler.get());
    manager->open(scene);
    cargos = scene->findChild(makeNameId("CargosNode"), 1);
    BaseNode* buildings = scene->findChild(makeNameId("Buildings"), 1);
    ASSERT_TRUE(cargos && buildings);
    building = nodeCast<GBuildingNode>(buildings->findChild(makeNameId("Place1"), 1));
    ASSERT_TRUE(building);
    building->setLevelScene(scene);
    building->setLevelConfig(level.get());
    building->setRecord(hotel1.get(), false);
    scene->addListener(&log);
}

CountedRef<GBuildingConfig> TaskFixture::makeRecord(const char* name, int32_t type, int32_t levelNumber) {
    CountedRef<GBuildingConfig> record(new GBuildingConfig());
    record->Name = makeNameId(name);
    record->Type = type;
    record->Level = levelNumber;
    return record;
}

CountedRef<GLevelPath> TaskFixture::makePath(const std::vector<float>& xy) {
    CountedRef<GLevelPath> made(new GLevelPath());
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        PathPoint point;
        point.x = xy[i];
        point.y = xy[i + 1];
        made->points.push_back(point);
    }
    return made;
}

bool TaskFixture::step(GBuildingTask* task) {
    scheduler->update(kStep);
    return task->run(kStep);
}

int32_t TaskFixture::runToEnd(GBuildingTask* task, uint32_t limitMs) {
    for (uint32_t t = kStep; t <= limitMs; t += kStep) {
        if (!step(task)) return static_cast<int32_t>(t);
    }
    return -1;
}

bool TaskFixture::runFor(GBuildingTask* task, uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += kStep) {
        if (!step(task)) return false;
    }
    return true;
}

int32_t TaskFixture::cargoCount(const char* name) const {
    int32_t n = 0;
    const NameId id = makeNameId(name);
    const array<BaseNode*>& children = cargos->getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) n += children[i]->getName() == id ? 1 : 0;
    return n;
}

BaseNode* TaskFixture::buildingChild(const char* name) const {
    return building->findChild(makeNameId(name), 1);
}

BaseNode* TaskFixture::bodyPart(const char* name) const {
    BaseNode* root = building->getTemplateRoot();
    return root ? root->findChild(makeNameId(name), 1) : nullptr;
}

}  // namespace task_tests
