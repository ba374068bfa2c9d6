#include "game/config/LevelObjectives.h"
#include "engine/content/Dictionary.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/ConfigReading.h"
#include <cmath>
#include <string>

namespace game {

using engine::stringw;
using engine::XmlReader;

namespace {

// The key's text with the argument in place; the bare argument without a dictionary.
stringw formatKey(const char* key, const stringw& argument) {
    engine::IDictionary* dictionary = engine::getCurrentDictionary();
    return dictionary ? dictionary->format(key, argument) : argument;
}

// Any int (the engine string's own conversion cannot take the lowest one).
stringw decimal(int32_t value) { return stringw(std::to_string(value).c_str()); }

stringw money(int32_t amount) { return formatKey("MoneyDollar", engine::formatWithSeparator(amount, L',')); }

stringw moneyProgress(float current, float target) {
    return money(engine::roundedInt(current)) + L"/" + money(engine::saturatingInt(target));
}

const char* const kWhat = "Objectives";

// The objective's money value (a sum of money) or count value, kept within bounds.
float moneyValue(const XmlReader& reader) {
    float value = reader.getAttributeValueAsFloat(L"Value", 0.0f);
    keepWithin(value, 0.0f, bounds::kMoney, kWhat, "Value");
    return value;
}
int32_t countValue(const XmlReader& reader, const wchar_t* name = L"Value", const char* key = "Value") {
    int32_t value = reader.getAttributeValueAsInt(name, 0);
    keepWithin(value, 0, bounds::kCount, kWhat, key);
    return value;
}

stringw countProgress(int32_t count, int32_t target) { return decimal(count) + L"/" + decimal(target); }

// Owned, not for sale, not under another job and without a condition.
bool passesOwnedFilter(const LevelBuildingView& b) {
    return b.isOwned() && !b.isForSale() && b.jobState() != 3 && b.condition() == 0;
}

// The record a building counts with: none while it is destroyed, the one it
// had before a running construction, and only a built one.
const GBuildingConfig* recordOfCount(const LevelBuildingView& b) {
    if (b.jobState() == 2) return nullptr;
    const GBuildingConfig* record = b.jobState() == 1 ? b.previousRecord() : b.record();
    if (!record || record->Level == 0) return nullptr;
    return record;
}

bool listAccepts(const engine::array<engine::NameId>& list, engine::NameId id) {
    return list.empty() || containsName(list, id);
}

}  // namespace

namespace {

struct ObjectiveKind {
    const wchar_t* name;
    GObjective* (*create)();
};

template <class T>
GObjective* make() {
    return new T();
}

const ObjectiveKind kObjectiveKinds[] = {
    {L"Money", &make<MoneyObjective>},
    {L"Income", &make<IncomeObjective>},
    {L"Workers", &make<WorkersObjective>},
    {L"GuestsCount", &make<GuestsCountObjective>},
    {L"HaveTypedBuildingsCount", &make<HaveTypedBuildingsCountObjective>},
    {L"HaveEachTypeBuildingsCount", &make<HaveEachTypeBuildingsCountObjective>},
    {L"TypedHistoryActionsCount", &make<TypedHistoryActionsCountObjective>},
    {L"HaveConcurrentFeatures", &make<HaveConcurrentFeaturesObjective>},
};

}  // namespace

GObjective* createObjective(const stringw& typeName) {
    for (const ObjectiveKind& kind : kObjectiveKinds) {
        if (typeName == kind.name) return kind.create();
    }
    return nullptr;
}

std::vector<stringw> objectiveKindNames() {
    std::vector<stringw> names;
    for (const ObjectiveKind& kind : kObjectiveKinds) names.emplace_back(kind.name);
    return names;
}

void GObjectiveList::clear() {
    for (GObjective* objective : objectives_) delete objective;
    objectives_.clear();
}

bool GObjectiveList::read(XmlReader& reader) {
    clear();
    return forEachChild(reader, [this](XmlReader& r) {
        if (r.getNodeName() != L"Objective") return true;
        // Unknown kinds are skipped.
        GObjective* objective = createObjective(r.getAttributeValue(L"Type"));
        if (!objective) return true;
        objective->read(r);
        objectives_.push_back(objective);
        return true;
    });
}

// --- Money

bool MoneyObjective::isMet(const LevelStateView& level) { return value <= level.money(); }
stringw MoneyObjective::getText(bool) const { return infoStr; }
stringw MoneyObjective::getProgressText(const LevelStateView& level) const {
    return moneyProgress(level.money(), value);
}
stringw MoneyObjective::getHint() const { return L"%GamePlay_CompleteHintMoney%"; }
void MoneyObjective::read(const XmlReader& reader) {
    value = moneyValue(reader);
    infoStr = reader.getAttributeValue(L"InfoStr");
}

// --- Income

bool IncomeObjective::isMet(const LevelStateView& level) { return value <= level.dailyIncome(); }
stringw IncomeObjective::getText(bool full) const {
    return formatKey(full ? "Obj_IncomeFull" : "Obj_Income",
                     engine::formatWithSeparator(engine::saturatingInt(value), L','));
}
stringw IncomeObjective::getProgressText(const LevelStateView& level) const {
    return moneyProgress(level.dailyIncome(), value);
}
stringw IncomeObjective::getHint() const { return L"%GamePlay_CompleteHintIncome%"; }
void IncomeObjective::read(const XmlReader& reader) { value = moneyValue(reader); }

// --- Workers

bool WorkersObjective::isMet(const LevelStateView& level) { return level.workersHired() >= value; }
stringw WorkersObjective::getText(bool) const { return formatKey("Obj_Workers", decimal(value)); }
stringw WorkersObjective::getProgressText(const LevelStateView& level) const {
    return countProgress(level.workersHired(), value);
}
stringw WorkersObjective::getHint() const { return L"%GamePlay_CompleteHintWorkers%"; }
void WorkersObjective::read(const XmlReader& reader) { value = countValue(reader); }

// --- Guests

bool GuestsCountObjective::isMet(const LevelStateView& level) { return level.guests() >= value; }
stringw GuestsCountObjective::getText(bool) const { return formatKey("Obj_HaveGuests", decimal(value)); }
stringw GuestsCountObjective::getProgressText(const LevelStateView& level) const {
    return countProgress(level.guests(), value);
}
stringw GuestsCountObjective::getHint() const { return L"%GamePlay_CompleteHintGuests%"; }
void GuestsCountObjective::read(const XmlReader& reader) { value = countValue(reader); }

// --- Counting kinds

stringw CountingObjective::getText(bool) const { return infoStr; }
stringw CountingObjective::getProgressText(const LevelStateView& level) const {
    return countProgress(count(level), target());
}

int32_t HaveTypedBuildingsCountObjective::count(const LevelStateView& level) const {
    const bool incomeBonusTest = minIncomeBonus != kNoIncomeBonusTest;
    int32_t counted = 0;
    for (uint32_t i = 0; i < level.buildingCount(); ++i) {
        const LevelBuildingView& b = level.building(i);
        if (mustOwn && !passesOwnedFilter(b)) continue;
        if (incomeBonusTest) {
            if (b.incomeBonusPercent() < minIncomeBonus) continue;
        } else if (minServedGuests > 0 && b.servedGuests() < minServedGuests) {
            continue;
        }
        const GBuildingConfig* record = b.record();
        if (!incomeBonusTest || !buildingTypes.empty()) {
            record = recordOfCount(b);
            if (!record) continue;
        }
        if (!buildingTypes.empty() && !containsName(buildingTypes, record->Name)) continue;
        if (!listAccepts(placeNames, b.placeName())) continue;
        ++counted;
    }
    return counted;
}

void HaveTypedBuildingsCountObjective::read(const XmlReader& reader) {
    buildingTypes = nameListAttribute(reader, L"BuildingTypes");
    placeNames = nameListAttribute(reader, L"PlaceNames");
    infoStr = reader.getAttributeValue(L"InfoStr");
    value = countValue(reader);
    minIncomeBonus = reader.getAttributeValueAsFloat(L"MinIncomeBonus", kNoIncomeBonusTest);
    keepWithin(minIncomeBonus, kNoIncomeBonusTest, bounds::kPercent, kWhat, "MinIncomeBonus");
    minServedGuests = countValue(reader, L"MinServedGuests", "MinServedGuests");
    mustOwn = reader.getAttributeValue(L"MustOwn") == L"true";
}

int32_t HaveEachTypeBuildingsCountObjective::count(const LevelStateView& level) const {
    std::vector<int32_t> counters(buildingTypes.size(), 0);
    for (uint32_t i = 0; i < level.buildingCount(); ++i) {
        const LevelBuildingView& b = level.building(i);
        if (mustOwn && !passesOwnedFilter(b)) continue;
        if (buildingTypes.empty()) continue;
        const GBuildingConfig* record = recordOfCount(b);
        if (!record) continue;
        for (uint32_t t = 0; t < buildingTypes.size(); ++t) {
            if (buildingTypes[t] != record->Name) continue;
            if (counters[t] < value) ++counters[t];
            break;
        }
    }
    int32_t sum = 0;
    for (int32_t c : counters) sum += c;
    return sum;
}

int32_t HaveEachTypeBuildingsCountObjective::target() const {
    return engine::saturatingInt(static_cast<double>(value) * buildingTypes.size());
}

void HaveEachTypeBuildingsCountObjective::read(const XmlReader& reader) {
    buildingTypes = nameListAttribute(reader, L"BuildingTypes");
    infoStr = reader.getAttributeValue(L"InfoStr");
    value = countValue(reader);
    mustOwn = reader.getAttributeValue(L"MustOwn") == L"true";
}

int32_t TypedHistoryActionsCountObjective::count(const LevelStateView& level) const {
    int32_t counted = 0;
    for (const HistoryRecord& entry : level.history()) {
        if (entry.action == action && listAccepts(buildingTypes, entry.buildingType) &&
            listAccepts(placeNames, entry.placeName)) {
            ++counted;
        }
    }
    return counted;
}

void TypedHistoryActionsCountObjective::read(const XmlReader& reader) {
    buildingTypes = nameListAttribute(reader, L"BuildingTypes");
    placeNames = nameListAttribute(reader, L"PlaceNames");
    infoStr = reader.getAttributeValue(L"InfoStr");
    value = countValue(reader);
    action = reader.getAttributeValueAsInt(L"Action", 0);
    keepWithin(action, 0, bounds::kSmall, kWhat, "Action");
}

int32_t HaveConcurrentFeaturesObjective::count(const LevelStateView& level) const {
    std::vector<bool> used(level.buildingCount(), false);
    int32_t counted = 0;
    for (uint32_t pair = 0; pair < buildingTypes.size(); ++pair) {
        for (uint32_t i = 0; i < level.buildingCount(); ++i) {
            if (used[i]) continue;
            const LevelBuildingView& b = level.building(i);
            if (!b.isOwned() || b.isForSale() || b.condition() != 0) continue;
            const GBuildingConfig* record = recordOfCount(b);
            if (!record || b.jobState() == 3 || record->Name != buildingTypes[pair]) continue;
            if (b.featureState(featureIndices[pair]) != 1) continue;
            used[i] = true;
            ++counted;
            break;
        }
    }
    return counted;
}

bool HaveConcurrentFeaturesObjective::isMet(const LevelStateView& level) {
    if (latched) return true;
    if (count(level) >= target()) latched = true;
    return latched;
}

void HaveConcurrentFeaturesObjective::read(const XmlReader& reader) {
    buildingTypes = nameListAttribute(reader, L"BuildingTypes");
    featureIndices = engine::parseIntArray(engine::narrow(reader.getAttributeValue(L"FeatureIndices")));
    for (uint32_t i = 0; i < featureIndices.size(); ++i) {
        keepWithin(featureIndices[i], 0, bounds::kSmall, kWhat, "FeatureIndices");
    }
    infoStr = reader.getAttributeValue(L"InfoStr");
    // Pairs: the longer list is cut to the shorter one.
    while (buildingTypes.size() > featureIndices.size()) buildingTypes.erase(buildingTypes.size() - 1);
    while (featureIndices.size() > buildingTypes.size()) featureIndices.erase(featureIndices.size() - 1);
}

}  // namespace game
