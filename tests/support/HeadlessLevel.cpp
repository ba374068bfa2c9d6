#include "support/HeadlessLevel.h"

#include "engine/content/CContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "game/app/GameNodeKinds.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"

#include <fstream>

namespace testing_support {

using namespace engine;

namespace {

// One "Building" element: the name, Level, Type, costs and times shared by
// every test record, and the element's extra properties and children.
std::string record(const char* name, int level, int type, const std::string& extra,
                   const std::string& children = std::string()) {
    return std::string("  <Building><Properties>\n") + "    <string Name=\"Name\" Value=\"" + name + "\"/>\n" +
           "    <int Name=\"Level\" Value=\"" + std::to_string(level) + "\"/>\n" +
           "    <int Name=\"Type\" Value=\"" + std::to_string(type) + "\"/>\n" +
           "    <float Name=\"BuildTime\" Value=\"1000\"/><float Name=\"RepairTime\" Value=\"500\"/>\n" +
           "    <float Name=\"ServeTime\" Value=\"500\"/><float Name=\"DestroyTime\" Value=\"400\"/>\n" +
           "    <float Name=\"BuildMaterialsCost\" Value=\"10\"/><int Name=\"BuildWorkersCost\" Value=\"2\"/>\n" +
           "    <float Name=\"RepairMaterialsCost\" Value=\"5\"/><int Name=\"RepairWorkersCost\" Value=\"1\"/>\n" +
           "    <int Name=\"DestroyWorkersCost\" Value=\"1\"/>\n" + extra + "  </Properties>" + children +
           "</Building>\n";
}

std::string place(const char* name, const char* templateName, bool owned, int x, int y) {
    return std::string("    <SceneNode Type=\"GBuildingNode\"><Properties>") + "<string Name=\"Name\" Value=\"" + name +
           "\"/><string Name=\"TemplateName\" Value=\"" + templateName + "\"/>" +
           (owned ? "<bool Name=\"IsOwnedByThePlayer\" Value=\"true\"/>" : "") + "<vector3d Name=\"Position\" Value=\"" +
           std::to_string(x) + ";" + std::to_string(y) + ";0\"/><vector3d Name=\"Bounds\" Value=\"140;56;0\"/>" +
           "</Properties></SceneNode>\n";
}

const char* const kFeature =
    "<ActiveFeature DurationTime=\"1000\" RechargeTime=\"2000\" MoneyCost=\"50\"><Feature Type=\"BoostIncome\"/>"
    "</ActiveFeature>";

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

XmlReader* openReader(const char* path) {
    IrrRef<irr::io::IReadFile> file(getEngine()->getFileSystem()->createAndOpenFile(path));
    if (!file) return nullptr;
    XmlReader* reader = new XmlReader(file.get());
    if (reader->isValid()) return reader;
    reader->release();
    return nullptr;
}

bool readFile(const std::string& path, const std::function<void(XmlReader&)>& read) {
    CountedRef<XmlReader> reader(openReader(path.c_str()));
    if (!reader) return false;
    read(*reader);
    return true;
}

}  // namespace

SmallContent::SmallContent() {
    buildings = "<?xml version=\"1.0\"?>\n<BuildingsConfiguration>\n" +
                record("BuildingPlace", 0, 0, "") +
                record("Hotel1", 1, 0,
                       "    <string Name=\"NextLevelName\" Value=\"Hotel2\"/><float Name=\"Cost\" Value=\"1000\"/>"
                       "<float Name=\"SellPrice\" Value=\"2000\"/><float Name=\"Income\" Value=\"100\"/>"
                       "<int Name=\"GuestsCount\" Value=\"5\"/><float Name=\"ServeBoostedIncome\" Value=\"4\"/>\n",
                       kFeature) +
                record("Hotel2", 2, 0,
                       "    <float Name=\"Cost\" Value=\"2000\"/><float Name=\"SellPrice\" Value=\"5000\"/>"
                       "<float Name=\"Income\" Value=\"250\"/><int Name=\"GuestsCount\" Value=\"8\"/>\n") +
                record("Shop", 1, 1,
                       "    <int Name=\"ProvidedService\" Value=\"4\"/><float Name=\"Cost\" Value=\"800\"/>"
                       "<float Name=\"SellPrice\" Value=\"1000\"/><float Name=\"Income\" Value=\"40\"/>\n") +
                record("Depot", 1, 1,
                       "    <int Name=\"ProvidedService\" Value=\"5\"/><float Name=\"Cost\" Value=\"800\"/>"
                       "<float Name=\"SellPrice\" Value=\"1000\"/>\n") +
                record("Garden", 1, 2,
                       "    <float Name=\"Cost\" Value=\"500\"/><float Name=\"SellPrice\" Value=\"700\"/>"
                       "<vector2d Name=\"ServeArea\" Value=\"600;300\"/>"
                       "<float Name=\"ServeAreaIncomeBonus\" Value=\"10\"/>\n") +
                record("Ruin", 1, 3,
                       "    <float Name=\"Cost\" Value=\"3000\"/><float Name=\"SellPrice\" Value=\"3000\"/>"
                       "<float Name=\"Income\" Value=\"300\"/><int Name=\"GuestsCount\" Value=\"6\"/>\n",
                       kFeature) +
                "</BuildingsConfiguration>\n";
    upgrades =
        "<?xml version=\"1.0\"?>\n<UpgradesConfiguration><Upgrade><Name Value=\"Everything\"/><Price Value=\"0\"/>"
        "<Level Value=\"0\"/><AllowsBuilding Value=\"Hotel1\"/><AllowsBuilding Value=\"Hotel2\"/>"
        "<AllowsBuilding Value=\"Shop\"/><AllowsBuilding Value=\"Depot\"/><AllowsBuilding Value=\"Garden\"/>"
        "<AllowsBuilding Value=\"Ruin\"/><AllowsBuildingFeature Building=\"Hotel1\" FeatureIndex=\"1\"/>"
        "<AllowsBuildingFeature Building=\"Ruin\" FeatureIndex=\"1\"/></Upgrade></UpgradesConfiguration>\n";
    templates =
        "<?xml version=\"1.0\"?>\n<SceneNode Type=\"TemplateCollectionNode\">\n"
        "  <SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"MoneyLetter\"/></Properties>\n"
        "    <SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"Text\"/></Properties></SceneNode>\n"
        "    <SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Progress\"/></Properties>"
        "</SceneNode>\n  </SceneNode>\n</SceneNode>\n";
    level = std::string("<?xml version=\"1.0\"?>\n<SceneNode Type=\"GGameLevelScene\">\n") +
            "  <SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"Buildings\"/>"
            "<vector3d Name=\"Bounds\" Value=\"1024;768;0\"/></Properties>\n" +
            place("Place01", "BuildingPlace", true, 50, 100) + place("Place02", "Hotel1", true, 250, 100) +
            place("Place03", "Garden", true, 450, 100) + place("Place04", "Hotel1", false, 650, 100) +
            place("Place05", "BuildingPlace", true, 50, 500) + place("Place06", "Shop", true, 250, 500) +
            place("Place07", "Depot", true, 450, 500) + place("Place08", "Ruin", false, 650, 500) +
            "  </SceneNode>\n"
            "  <SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"CargosNode\"/></Properties>"
            "</SceneNode>\n</SceneNode>\n";
    configuration =
        "<?xml version=\"1.0\"?>\n<Level><Properties>"
        "<stringw Name=\"Name\" Value=\"test\"/><int Name=\"DayLength\" Value=\"60\"/>"
        "<float Name=\"InitMoney\" Value=\"100000\"/><float Name=\"InitMaterialsCount\" Value=\"500\"/>"
        "<int Name=\"InitWorkersCount\" Value=\"10\"/></Properties>"
        "<Objectives><Objective Type=\"Money\" Value=\"1000000000\"/></Objectives></Level>\n";
}

// Records the type id of every event the level hands to its manager.
class HeadlessLevel::Recorder : public EventReceiver {
public:
    bool handleEvent(Event* event) override {
        if (event) ++counts[static_cast<uint32_t>(event->getTypeId())];
        return false;
    }
    std::map<uint32_t, int32_t> counts;
};

HeadlessLevel::HeadlessLevel() : recorder_(new Recorder()) {}

HeadlessLevel::~HeadlessLevel() {
    if (manager_) {
        manager_->removeListener(recorder_);
        manager_->setScene(nullptr);
        manager_->onTimer(0);
        manager_->setTemplateCollection(nullptr);
        manager_->setTimerScheduler(nullptr);
    }
    scene_.reset();
    manager_.reset();
    managerScheduler_.reset();
    heldContent_.clear();
    content_.reset();
    recorder_->release();
    if (changedFolder_) std::filesystem::current_path(previousFolder_);
}

void HeadlessLevel::writeContent(const std::string& root, const SmallContent& content) {
    const std::filesystem::path base(root);
    writeFile(base / "levels/common/BuildingsConfiguration.xml", content.buildings);
    writeFile(base / "levels/common/UpgradesConfiguration.xml", content.upgrades);
    writeFile(base / "levels/common/TemplateCollection.oscn", content.templates);
    writeFile(base / "levels/test/Level.oscn", content.level);
    writeFile(base / "levels/test/LevelConfiguration.xml", content.configuration);
    if (!content.paths.empty()) writeFile(base / "levels/test/LevelPaths.xml", content.paths);
}

bool HeadlessLevel::load(const std::string& root, const std::string& levelFolder, const Options& options) {
    // The game reads its content relative to the working folder.
    if (!changedFolder_) previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(root);
    changedFolder_ = true;

    getRandomGenerator() = RandomGenerator();
    getRandomGenerator().seed(options.seed);
    drawEveryMs_ = options.drawEveryMs;
    sinceDrawMs_ = 0;
    registerGameNodeKinds();

    EngineDevice* device = getEngine();
    content_ = CountedRef<CContentManager>(device->createContentManager());
    const CreationContext context(content_.get(), "");
    managerScheduler_ = CountedRef<TimerScheduler>(new TimerScheduler());
    manager_ = CountedRef<SceneManager>(new SceneManager(&context, nullptr, nullptr));
    manager_->setTimerScheduler(managerScheduler_.get());
    manager_->addToMask(EventCategory::Game);
    manager_->addListener(recorder_);

    // What the intro loads for the levels: their atlases and particles.
    const std::pair<ContentTypeCode, const char*> shared[] = {
        {ContentType::AtlasTextureCollection, "atlases/Buildings.xml"},
        {ContentType::AtlasTextureCollection, "atlases/Env1.xml"},
        {ContentType::AtlasTextureCollection, "atlases/Env2.xml"},
        {ContentType::ParticleCollection, "levels/common/ParticleCollection.xml"},
    };
    for (const auto& [type, path] : shared) {
        if (!std::filesystem::exists(path)) continue;
        CountedRef<Content> loaded(content_->load(type, path, true));
        if (loaded) heldContent_.push_back(loaded);
    }

    CountedRef<Content> templates(content_->load(ContentType::SceneNode, "levels/common/TemplateCollection.oscn", true));
    if (TemplateCollectionNode* collection = nodeCast<TemplateCollectionNode>(templates.get())) {
        manager_->setTemplateCollection(collection);
    }

    buildings_ = makeRef<game::BuildingsConfiguration>();
    if (!readFile("levels/common/BuildingsConfiguration.xml",
                  [this](XmlReader& r) { buildings_->readBuildingsConfiguration(r); })) {
        failure_ = "no levels/common/BuildingsConfiguration.xml";
        return false;
    }
    upgrades_ = makeRef<game::UpgradesConfiguration>();
    readFile("levels/common/UpgradesConfiguration.xml",
             [this](XmlReader& r) { upgrades_->readUpgradesConfiguration(r); });

    config_ = makeRef<game::GLevelConfig>();
    if (!readFile(levelFolder + "LevelConfiguration.xml", [this](XmlReader& r) { config_->readLevelConfiguration(r); })) {
        failure_ = "no " + levelFolder + "LevelConfiguration.xml";
        return false;
    }
    CountedRef<game::GLevelPaths> paths = makeRef<game::GLevelPaths>();
    readFile(levelFolder + "LevelPaths.xml", [&paths](XmlReader& r) { paths->readLevelPaths(r); });

    CountedRef<Content> loaded(content_->load(ContentType::SceneNode, (levelFolder + "Level.oscn").c_str(), true));
    scene_ = CountedRef<game::GGameLevelScene>::share(nodeCast<game::GGameLevelScene>(loaded.get()));
    if (!scene_) {
        failure_ = "no level scene in " + levelFolder + "Level.oscn";
        return false;
    }

    CountedRef<game::LevelAvailability> availability = makeRef<game::LevelAvailability>();
    availability->fill(*upgrades_, config_.get(), options.levelIndex, options.boughtUpgrades.c_str());
    scene_->setBuildingsConfiguration(buildings_.get());
    scene_->setLevelConfiguration(config_.get());
    scene_->setAvailability(availability.get());
    scene_->setLevelPaths(paths.get());
    scene_->setPaused(false);
    manager_->setScene(scene_.get());
    deliver();
    return true;
}

void HeadlessLevel::deliver() {
    if (manager_) manager_->onTimer(0);
}

void HeadlessLevel::advance(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += kStepMs) {
        managerScheduler_->update(kStepMs);
        if (TimerScheduler* levelScheduler = scene_ ? scene_->SceneNode::getTimerScheduler() : nullptr) {
            levelScheduler->update(kStepMs);
        }
        sinceDrawMs_ += kStepMs;
        if (drawEveryMs_ > 0 && sinceDrawMs_ >= drawEveryMs_ && scene_) {
            sinceDrawMs_ = 0;
            engine::RenderList list;
            scene_->collectRenderItems(list);
        }
    }
    deliver();
}

bool HeadlessLevel::advanceUntil(const std::function<bool()>& done, uint32_t limitMs) {
    for (uint32_t elapsed = 0; elapsed < limitMs; elapsed += kStepMs) {
        if (done()) return true;
        advance(kStepMs);
    }
    return done();
}

game::GBuildingNode* HeadlessLevel::building(const char* placeName) const {
    if (!scene_) return nullptr;
    const NameId name = makeNameId(placeName);
    for (game::GBuildingNode* building : scene_->buildings) {
        if (building->getName() == name) return building;
    }
    return nullptr;
}

game::GBuildingConfig* HeadlessLevel::record(const char* name) const {
    return buildings_ ? buildings_->find(makeNameId(name)) : nullptr;
}

uint64_t HeadlessLevel::stateHash() const {
    if (!scene_) return 0;
    // FNV-1a over the values' bytes.
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    auto mixInt = [&mix](int64_t value) { mix(&value, sizeof(value)); };
    const game::GGameLevelScene& level = *scene_;
    mix(&level.money, sizeof(level.money));
    mix(&level.materials, sizeof(level.materials));
    mixInt(level.workers);
    mixInt(level.workersHired);
    for (const game::GBuildingNode* building : level.buildings) {
        mixInt(building->getRecord() ? static_cast<int64_t>(building->getRecord()->Name) : -1);
        mixInt(building->getJobState());
        mixInt(building->getCondition());
        mixInt(building->isOwnedByThePlayer() ? 1 : 0);
        for (const game::GBuildingNode::FeatureState& feature : building->getFeatureStates()) mixInt(feature.state);
    }
    for (const game::HistoryRecord& entry : level.history) {
        mixInt(entry.action);
        mixInt(static_cast<int64_t>(entry.buildingType));
        mixInt(static_cast<int64_t>(entry.placeName));
    }
    return hash;
}

int32_t HeadlessLevel::count(uint32_t typeId) const {
    auto found = recorder_->counts.find(typeId);
    return found == recorder_->counts.end() ? 0 : found->second;
}

void HeadlessLevel::clearEvents() { recorder_->counts.clear(); }

}  // namespace testing_support
