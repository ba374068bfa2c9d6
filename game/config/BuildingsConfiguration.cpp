#include "game/config/BuildingsConfiguration.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"
#include <algorithm>
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
    const double x = static_cast<double>(cost) - level->modifierValues.WorkersCostA;
    if (!(x >= 1.0)) return 1;
    return std::min(engine::saturatingInt(x), bounds::kCount);
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
    keepWithin(durationTime, 0, bounds::kTimeMs, kWhat, "ActiveFeature DurationTime");
    rechargeTime = reader.getAttributeValueAsInt(L"RechargeTime", durationTime);
    keepWithin(rechargeTime, 0, bounds::kTimeMs, kWhat, "ActiveFeature RechargeTime");
    moneyCost = reader.getAttributeValueAsFloat(L"MoneyCost", 0.0f);
    keepWithin(moneyCost, 0.0f, bounds::kMoney, kWhat, "ActiveFeature MoneyCost");
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
    keepNumbersWithin();
}

void GBuildingConfig::keepNumbersWithin() {
    using namespace bounds;
    const float time = static_cast<float>(kTimeMs);
    const float count = static_cast<float>(kCount);
    keepWithin(PreviewScale, 0.0f, kFactor, kWhat, "PreviewScale");
    keepWithin(Level, 0, kSmall, kWhat, "Level");
    keepWithin(Type, 0, kSmall, kWhat, "Type");
    keepWithin(BuildTime, 0.0f, time, kWhat, "BuildTime");
    keepWithin(RepairTime, 0.0f, time, kWhat, "RepairTime");
    keepWithin(DestroyTime, 0.0f, time, kWhat, "DestroyTime");
    keepWithin(ServeArea, 0.0f, kDistance, kWhat, "ServeArea");
    keepWithin(BoostedServeArea, 0.0f, kDistance, kWhat, "BoostedServeArea");
    keepWithin(ServeAreaIncomeBonus, -kPercent, kPercent, kWhat, "ServeAreaIncomeBonus");
    keepWithin(BrokenServeAreaIncomeBonus, -kPercent, kPercent, kWhat, "BrokenServeAreaIncomeBonus");
    keepWithin(ServeTime, 0.0f, time, kWhat, "ServeTime");
    keepWithin(ServeIncome, 0.0f, kMoney, kWhat, "ServeIncome");
    keepWithin(ServeBoostedIncome, 0.0f, kMoney, kWhat, "ServeBoostedIncome");
    keepWithin(Income, 0.0f, kMoney, kWhat, "Income");
    keepWithin(SellPrice, 0.0f, kMoney, kWhat, "SellPrice");
    keepWithin(Cost, 0.0f, kMoney, kWhat, "Cost");
    keepWithin(BuildMaterialsCost, 0.0f, count, kWhat, "BuildMaterialsCost");
    keepWithin(BuildWorkersCost, 0, kCount, kWhat, "BuildWorkersCost");
    keepWithin(RepairMaterialsCost, 0.0f, count, kWhat, "RepairMaterialsCost");
    keepWithin(RepairWorkersCost, 0, kCount, kWhat, "RepairWorkersCost");
    keepWithin(DestroyWorkersCost, 0, kCount, kWhat, "DestroyWorkersCost");
    keepWithin(GuestsCount, 0, kCount, kWhat, "GuestsCount");
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
    // Within the count bound, so that the level's sum over its buildings stays an int.
    const int32_t scaled = engine::roundedInt(static_cast<double>(level->modifierValues.GuestsCountM) * GuestsCount);
    return std::max(0, std::min(scaled, bounds::kCount));
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
