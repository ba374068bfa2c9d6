#include "game/config/BuildingsConfiguration.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"
#include <cmath>

namespace game {

using engine::CountedRef;
using engine::XmlReader;

namespace {

const char* const kWhat = "BuildingsConfiguration";

void shareList(LevelModifierList* list) {
    if (list) list->addRef();
}
void releaseList(LevelModifierList*& list) {
    if (list) list->release();
    list = nullptr;
}

// x = cost - the level's WorkersCostA; below 1 it is 1, else truncated.
int32_t workersCostThroughLevel(int32_t cost, const GLevelConfig* level) {
    if (!level) return cost;
    const float x = static_cast<float>(cost) - level->modifierValues.WorkersCostA;
    if (x < 1.0f) return 1;
    return static_cast<int32_t>(x);
}

}  // namespace

// ---------------------------------------------------------------------------
// Active features

GActiveFeatureConfig::GActiveFeatureConfig(const GActiveFeatureConfig& other)
    : buttonName(other.buttonName),
      durationTime(other.durationTime),
      rechargeTime(other.rechargeTime),
      moneyCost(other.moneyCost),
      name(other.name),
      infoText(other.infoText),
      buttonInfoText(other.buttonInfoText),
      features(other.features),
      levelModifiers(other.levelModifiers) {
    shareList(levelModifiers);
}

GActiveFeatureConfig& GActiveFeatureConfig::operator=(const GActiveFeatureConfig& other) {
    if (this == &other) return *this;
    shareList(other.levelModifiers);
    releaseList(levelModifiers);
    buttonName = other.buttonName;
    durationTime = other.durationTime;
    rechargeTime = other.rechargeTime;
    moneyCost = other.moneyCost;
    name = other.name;
    infoText = other.infoText;
    buttonInfoText = other.buttonInfoText;
    features = other.features;
    levelModifiers = other.levelModifiers;
    return *this;
}

GActiveFeatureConfig::~GActiveFeatureConfig() { releaseList(levelModifiers); }

bool GActiveFeatureConfig::read(XmlReader& reader) {
    buttonName = engine::makeNameId(reader.getAttributeValue(L"ButtonName"));
    durationTime = reader.getAttributeValueAsInt(L"DurationTime", 15000);
    rechargeTime = reader.getAttributeValueAsInt(L"RechargeTime", durationTime);
    moneyCost = reader.getAttributeValueAsFloat(L"MoneyCost", 0.0f);
    name = reader.getAttributeValue(L"Name");
    infoText = reader.getAttributeValue(L"InfoText");
    buttonInfoText = reader.getAttributeValue(L"ButtonInfoText");
    return forEachChild(reader, [this](XmlReader& r) {
        const engine::stringw& node = r.getNodeName();
        if (node == L"Feature") {
            features.push_back(engine::makeNameId(r.getAttributeValue(L"Type")));
            return true;
        }
        if (node == L"LevelModifiers") {
            CountedRef<LevelModifierList> list(new LevelModifierList());
            if (!list->read(r)) return false;
            releaseList(levelModifiers);
            levelModifiers = list.detach();
        }
        return true;
    });
}

// ---------------------------------------------------------------------------
// Building records

GBuildingConfig::GBuildingConfig(const GBuildingConfig& other)
    : engine::RefCounted(other),
      DisplayName(other.DisplayName),
      Description(other.Description),
      FullDescription(other.FullDescription),
      PreviewScale(other.PreviewScale),
      BuiltSoundCueName(other.BuiltSoundCueName),
      SelectedSoundCueName(other.SelectedSoundCueName),
      Name(other.Name),
      NextLevelName(other.NextLevelName),
      Level(other.Level),
      Type(other.Type),
      ButtonTemplate(other.ButtonTemplate),
      BuildTime(other.BuildTime),
      RepairTime(other.RepairTime),
      DestroyTime(other.DestroyTime),
      ProvidedService(other.ProvidedService),
      ServeArea(other.ServeArea),
      BoostedServeArea(other.BoostedServeArea),
      ServeAreaIncomeBonus(other.ServeAreaIncomeBonus),
      ServeTime(other.ServeTime),
      ServicePeriod(other.ServicePeriod),
      ServeIncome(other.ServeIncome),
      ServeBoostedIncome(other.ServeBoostedIncome),
      Income(other.Income),
      SellPrice(other.SellPrice),
      Cost(other.Cost),
      LevelModifiers(other.LevelModifiers),
      ActiveFeatures(other.ActiveFeatures),
      BrokenServeAreaIncomeBonus(other.BrokenServeAreaIncomeBonus),
      BuildMaterialsCost(other.BuildMaterialsCost),
      BuildWorkersCost(other.BuildWorkersCost),
      RepairMaterialsCost(other.RepairMaterialsCost),
      RepairWorkersCost(other.RepairWorkersCost),
      DestroyWorkersCost(other.DestroyWorkersCost),
      GuestsCount(other.GuestsCount) {
    shareList(LevelModifiers);
}

GBuildingConfig::~GBuildingConfig() { releaseList(LevelModifiers); }

GBuildingConfig* GBuildingConfig::copy() const { return new GBuildingConfig(*this); }

// Each key present replaces its field; a value of another type than the
// field's gives 0 (no message: the files rely on it staying quiet).
void GBuildingConfig::applyProperties(const engine::PropertySet& properties) {
    const PropertyTaker p(properties);
    p.take("DisplayName", DisplayName);
    p.take("Description", Description);
    p.take("FullDescription", FullDescription);
    p.take("PreviewScale", PreviewScale);
    p.takeName("BuiltSoundCueName", BuiltSoundCueName);
    p.takeName("SelectedSoundCueName", SelectedSoundCueName);
    p.takeName("Name", Name);
    p.takeName("NextLevelName", NextLevelName);
    p.take("Level", Level);
    p.take("Type", Type);
    p.takeName("ButtonTemplate", ButtonTemplate);
    p.take("BuildTime", BuildTime);
    p.take("RepairTime", RepairTime);
    p.take("DestroyTime", DestroyTime);
    p.take("ProvidedService", ProvidedService);
    if (ProvidedService != 4 && ProvidedService != 5) ProvidedService = 0;
    p.take("ServeArea", ServeArea);
    p.take("BoostedServeArea", BoostedServeArea);
    p.take("ServeAreaIncomeBonus", ServeAreaIncomeBonus);
    p.take("ServeTime", ServeTime);
    p.take("ServeIncome", ServeIncome);
    p.take("ServeBoostedIncome", ServeBoostedIncome);
    p.take("Income", Income);
    p.take("SellPrice", SellPrice);
    p.take("Cost", Cost);
    p.take("BrokenServeAreaIncomeBonus", BrokenServeAreaIncomeBonus);
    p.take("BuildMaterialsCost", BuildMaterialsCost);
    p.take("BuildWorkersCost", BuildWorkersCost);
    p.take("RepairMaterialsCost", RepairMaterialsCost);
    p.take("RepairWorkersCost", RepairWorkersCost);
    p.take("DestroyWorkersCost", DestroyWorkersCost);
    p.take("GuestsCount", GuestsCount);
}

bool GBuildingConfig::read(XmlReader& reader) {
    releaseList(LevelModifiers);
    ActiveFeatures.clear();
    const bool ended = forEachChild(reader, [this](XmlReader& r) {
        const engine::stringw& node = r.getNodeName();
        if (node == L"Properties") {
            return readPropertiesElement(r, [this](const engine::PropertySet& set) { applyProperties(set); });
        }
        if (node == L"LevelModifiers") {
            CountedRef<LevelModifierList> list(new LevelModifierList());
            if (!list->read(r)) return false;
            releaseList(LevelModifiers);
            LevelModifiers = list.detach();
            return true;
        }
        if (node == L"ActiveFeature") {
            GActiveFeatureConfig feature;
            if (!feature.read(r)) return false;
            ActiveFeatures.push_back(feature);
        }
        return true;
    });
    if (BoostedServeArea.X == 0.0f && BoostedServeArea.Y == 0.0f) BoostedServeArea = ServeArea;
    return ended;
}

float GBuildingConfig::serveAreaIncomeBonus(const LevelBuildingView& building) const {
    if (building.jobState() != 0) return 0.0f;
    if (building.condition() != 0) return BrokenServeAreaIncomeBonus;
    return ServeAreaIncomeBonus;
}

float GBuildingConfig::buildMaterialsCost(const GLevelConfig*) const { return BuildMaterialsCost; }

int32_t GBuildingConfig::buildWorkersCost(const GLevelConfig* level) const {
    return workersCostThroughLevel(BuildWorkersCost, level);
}

float GBuildingConfig::repairMaterialsCost(const GLevelConfig*) const { return RepairMaterialsCost; }

int32_t GBuildingConfig::repairWorkersCost(const GLevelConfig*) const { return RepairWorkersCost; }

int32_t GBuildingConfig::destroyWorkersCost(const GLevelConfig* level) const {
    return workersCostThroughLevel(DestroyWorkersCost, level);
}

int32_t GBuildingConfig::guestsCount(const GLevelConfig* level) const {
    if (!level || Type != 0) return GuestsCount;
    const float scaled = level->modifierValues.GuestsCountM * static_cast<float>(GuestsCount) + 0.5f;
    return static_cast<int32_t>(std::floor(scaled));
}

// ---------------------------------------------------------------------------
// The holder

GBuildingConfig* BuildingsConfiguration::find(engine::NameId name) const { return records_.find(name); }

bool BuildingsConfiguration::readBuildingsConfiguration(XmlReader& reader) {
    return readRecordDocument<engine::NameId, GBuildingConfig>(
        reader, L"BuildingsConfiguration", kWhat, records_,
        [](XmlReader& r, RecordMap<engine::NameId, GBuildingConfig>& read) {
            if (r.getNodeName() != L"Building") return true;
            CountedRef<GBuildingConfig> record(new GBuildingConfig());
            if (!record->read(r)) return false;
            const engine::NameId name = record->Name;
            read.insertFirst(name, record);
            return true;
        });
}

}  // namespace game
