#include "game/config/LevelModifiers.h"
#include "engine/core/TextConvert.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"
#include <algorithm>

namespace game {

namespace {

struct KindEntry {
    const wchar_t* name;
    LevelModifierKind kind;
};

const KindEntry kKinds[] = {
    {L"MaterialDeliveryTimeM", LevelModifierKind::MaterialDeliveryTimeM},
    {L"WorkerDeliveryTimeM", LevelModifierKind::WorkerDeliveryTimeM},
    {L"MaterialPriceM", LevelModifierKind::MaterialPriceM},
    {L"WorkerPriceM", LevelModifierKind::WorkerPriceM},
    {L"WorkersCostA", LevelModifierKind::WorkersCostA},
    {L"BuildTimeM", LevelModifierKind::BuildTimeM},
    {L"CanReceiveMoneyLetters", LevelModifierKind::CanReceiveMoneyLetters},
    {L"CanBuildingsBroke", LevelModifierKind::CanBuildingsBroke},
    {L"PyramidIncomeBonus", LevelModifierKind::PyramidIncomeBonus},
    {L"StationIncomeBonus1", LevelModifierKind::StationIncomeBonus1},
    {L"StationIncomeBonus2", LevelModifierKind::StationIncomeBonus2},
    {L"AquaParkIncomeBonus", LevelModifierKind::AquaParkIncomeBonus},
    {L"PRIncomeBonus", LevelModifierKind::PRIncomeBonus},
    {L"BuyNotForSaleBuildingPriceBonus", LevelModifierKind::BuyNotForSaleBuildingPriceBonus},
    {L"BuyBuildingPriceDiscount", LevelModifierKind::BuyBuildingPriceDiscount},
    {L"OwnedBuildingPriceBonus", LevelModifierKind::OwnedBuildingPriceBonus},
    {L"GuestsCountM", LevelModifierKind::GuestsCountM},
};

}  // namespace

const wchar_t* levelModifierName(LevelModifierKind kind) { return kKinds[static_cast<int32_t>(kind)].name; }

std::vector<engine::stringw> levelModifierKindNames() {
    std::vector<engine::stringw> names;
    for (const KindEntry& entry : kKinds) names.emplace_back(entry.name);
    return names;
}

LevelModifier* createLevelModifier(const engine::stringw& typeName) {
    for (const KindEntry& entry : kKinds) {
        if (typeName == entry.name) return new LevelModifier(entry.kind);
    }
    return nullptr;
}

bool LevelModifier::isMultiplying() const {
    switch (kind_) {
        case LevelModifierKind::MaterialDeliveryTimeM:
        case LevelModifierKind::WorkerDeliveryTimeM:
        case LevelModifierKind::MaterialPriceM:
        case LevelModifierKind::WorkerPriceM:
        case LevelModifierKind::BuildTimeM:
        case LevelModifierKind::GuestsCountM:
            return true;
        default:
            return false;
    }
}

// The multiplying kinds scale how fast a countdown runs: a delivery or a
// building task advances by factor x elapsed time, so these factors divide
// delivery and work times (0.5 doubles them). A factor of 0 would stop the
// countdown for good and a negative one would run it backwards, so such values
// are refused; a factor written without a Value means "no change" (1.0).
bool LevelModifier::read(const engine::XmlReader& reader) {
    const engine::stringc key = engine::narrow(levelModifierName(kind_));
    if (!isMultiplying()) {
        value_ = reader.getAttributeValueAsFloat(L"Value", 0.0f);
        // WorkersCostA adds workers; the others add percents (or are switches).
        const float limit =
            kind_ == LevelModifierKind::WorkersCostA ? static_cast<float>(bounds::kCount) : bounds::kPercent;
        keepWithin(value_, -limit, limit, "LevelModifiers", key.c_str());
        return true;
    }
    value_ = reader.getAttributeValueAsFloat(L"Value", 1.0f);
    if (!(value_ > 0.0f)) {
        logConfigError("LevelModifiers", engine::stringc("modifier ") + key + " has factor " + engine::stringc(value_) +
                                             "; a factor must be above 0, so the modifier was dropped");
        return false;
    }
    keepWithin(value_, 1.0f / bounds::kFactor, bounds::kFactor, "LevelModifiers", key.c_str());
    return true;
}

namespace {

// Factors and sums of many modifiers stay within the bounds one modifier has.
// (Only the upper end: a factor of 0 set by the game stops a countdown.)
void multiply(float& value, float factor) { value = std::min(value * factor, bounds::kFactor); }
void add(float& value, float amount, float limit) { value = std::min(std::max(value + amount, -limit), limit); }
void add(float& value, float amount) { add(value, amount, bounds::kPercent); }

}  // namespace

void LevelModifier::apply(GLevelConfig& level) const {
    LevelModifierValues& v = level.modifierValues;
    switch (kind_) {
        case LevelModifierKind::MaterialDeliveryTimeM: multiply(v.MaterialDeliveryTimeM, value_); break;
        case LevelModifierKind::WorkerDeliveryTimeM: multiply(v.WorkerDeliveryTimeM, value_); break;
        case LevelModifierKind::MaterialPriceM: multiply(v.MaterialPriceM, value_); break;
        case LevelModifierKind::WorkerPriceM: multiply(v.WorkerPriceM, value_); break;
        case LevelModifierKind::WorkersCostA: add(v.WorkersCostA, value_, static_cast<float>(bounds::kCount)); break;
        case LevelModifierKind::BuildTimeM: multiply(v.BuildTimeM, value_); break;
        case LevelModifierKind::CanReceiveMoneyLetters: v.CanReceiveMoneyLetters = value_ > 0.0f; break;
        case LevelModifierKind::CanBuildingsBroke: v.CanBuildingsBroke = value_ > 0.0f; break;
        case LevelModifierKind::PyramidIncomeBonus: add(v.PyramidIncomeBonus, value_); break;
        case LevelModifierKind::StationIncomeBonus1: add(v.StationIncomeBonus1, value_); break;
        case LevelModifierKind::StationIncomeBonus2: add(v.StationIncomeBonus2, value_); break;
        case LevelModifierKind::AquaParkIncomeBonus: add(v.AquaParkIncomeBonus, value_); break;
        case LevelModifierKind::PRIncomeBonus: add(v.PRIncomeBonus, value_); break;
        case LevelModifierKind::BuyNotForSaleBuildingPriceBonus: add(v.BuyNotForSaleBuildingPriceBonus, value_); break;
        case LevelModifierKind::BuyBuildingPriceDiscount: add(v.BuyBuildingPriceDiscount, value_); break;
        case LevelModifierKind::OwnedBuildingPriceBonus: add(v.OwnedBuildingPriceBonus, value_); break;
        case LevelModifierKind::GuestsCountM: multiply(v.GuestsCountM, value_); break;
    }
}

void LevelModifierList::clear() {
    for (LevelModifier* modifier : modifiers_) modifier->release();
    modifiers_.clear();
}

bool LevelModifierList::read(engine::XmlReader& reader) {
    clear();
    return readAppend(reader);
}

bool LevelModifierList::readAppend(engine::XmlReader& reader) {
    return forEachChild(reader, [this](engine::XmlReader& r) {
        if (r.getNodeName() != L"Modifier") return true;
        // Unknown kinds are skipped without a message: newer data may name kinds
        // this build does not know.
        LevelModifier* modifier = createLevelModifier(r.getAttributeValue(L"Type"));
        if (!modifier) return true;
        if (modifier->read(r)) {
            modifiers_.push_back(modifier);
        } else {
            modifier->release();
        }
        return true;
    });
}

void LevelModifierList::apply(GLevelConfig& level) const {
    for (const LevelModifier* modifier : modifiers_) modifier->apply(level);
}

}  // namespace game
