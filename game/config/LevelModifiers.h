#pragma once
// Level modifiers: small rules that bought upgrades, built buildings and
// running building features attach to a level. Each one changes one value of
// the level's modifier block; the level resets the block and applies every
// modifier that holds whenever it recomputes its state.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include <vector>

namespace game {

class GLevelConfig;

// The values the modifiers change, each named after its modifier kind.
struct LevelModifierValues {
    float MaterialDeliveryTimeM = 1.0f;
    float WorkerDeliveryTimeM = 1.0f;
    float MaterialPriceM = 1.0f;
    float WorkerPriceM = 1.0f;
    float WorkersCostA = 0.0f;
    float BuildTimeM = 1.0f;
    bool CanReceiveMoneyLetters = false;
    bool CanBuildingsBroke = true;
    float PyramidIncomeBonus = 0.0f;
    float StationIncomeBonus1 = 0.0f;
    float StationIncomeBonus2 = 0.0f;
    float AquaParkIncomeBonus = 0.0f;
    float PRIncomeBonus = 0.0f;
    float BuyNotForSaleBuildingPriceBonus = 0.0f;
    float BuyBuildingPriceDiscount = 0.0f;
    float OwnedBuildingPriceBonus = 0.0f;
    float GuestsCountM = 1.0f;

    void reset() { *this = LevelModifierValues(); }
};

// The seventeen kinds, in the order of the values above.
enum class LevelModifierKind : int32_t {
    MaterialDeliveryTimeM,
    WorkerDeliveryTimeM,
    MaterialPriceM,
    WorkerPriceM,
    WorkersCostA,
    BuildTimeM,
    CanReceiveMoneyLetters,
    CanBuildingsBroke,
    PyramidIncomeBonus,
    StationIncomeBonus1,
    StationIncomeBonus2,
    AquaParkIncomeBonus,
    PRIncomeBonus,
    BuyNotForSaleBuildingPriceBonus,
    BuyBuildingPriceDiscount,
    OwnedBuildingPriceBonus,
    GuestsCountM,
};

class LevelModifier : public virtual engine::RefCounted {
public:
    explicit LevelModifier(LevelModifierKind kind) : kind_(kind) {}
    ~LevelModifier() override = default;

    // Changes this modifier's value of the level's block.
    virtual void apply(GLevelConfig& level) const;
    // Takes the "Value" attribute of the element the reader stands on. False,
    // with an error logged, for a value the kind cannot use (see the .cpp).
    virtual bool read(const engine::XmlReader& reader);

    LevelModifierKind getKind() const { return kind_; }
    float getValue() const { return value_; }
    void setValue(float value) { value_ = value; }
    bool isMultiplying() const;

private:
    LevelModifierKind kind_;
    float value_ = 0.0f;
};

// A new modifier of the named kind (exact, case-sensitive name), or null.
LevelModifier* createLevelModifier(const engine::stringw& typeName);
// The kind's name as written in the files.
const wchar_t* levelModifierName(LevelModifierKind kind);
// Every kind's name, in kind order (for the content check's coverage).
std::vector<engine::stringw> levelModifierKindNames();

class LevelModifierList : public virtual engine::RefCounted {
public:
    LevelModifierList() = default;
    ~LevelModifierList() override { clear(); }
    LevelModifierList(const LevelModifierList&) = delete;
    LevelModifierList& operator=(const LevelModifierList&) = delete;

    // Replaces the list with the "Modifier" children of the "LevelModifiers"
    // element the reader stands on; ends on its end tag. False when the input
    // ends first.
    bool read(engine::XmlReader& reader);
    // Appends the element's modifiers to the list (an upgrade's repeated
    // "LevelModifiers" children add up).
    bool readAppend(engine::XmlReader& reader);
    void apply(GLevelConfig& level) const;

    void append(LevelModifier* adopted) { modifiers_.push_back(adopted); }
    void clear();
    uint32_t size() const { return static_cast<uint32_t>(modifiers_.size()); }
    const LevelModifier* at(uint32_t i) const { return modifiers_[i]; }

private:
    std::vector<LevelModifier*> modifiers_;  // one count each
};

}  // namespace game
