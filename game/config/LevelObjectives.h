#pragma once
// Level objectives: the goals that win a level. Each kind tests the running
// level's state through LevelStateView, which the level scene implements, and
// gives the texts the HUD and the objectives scene show.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include <vector>

namespace game {

class GBuildingConfig;

// One entry of the level's history of player actions.
struct HistoryRecord {
    int32_t action = 0;  // 0 built or upgraded, 1 destroyed, 2 bought, 3 sold, 4 repaired, 5-7 feature used, 8 cleaned
    engine::NameId buildingType = engine::kNoName;
    engine::NameId placeName = engine::kNoName;
};

// What the objectives read of one building of the level.
class LevelBuildingView {
public:
    virtual ~LevelBuildingView() = default;
    virtual bool isOwned() const = 0;
    virtual bool isForSale() const = 0;
    // 0 idle, 1 construction or upgrade, 2 being destroyed, 3 other job.
    virtual int32_t jobState() const = 0;
    // 0 when the building has no condition (broken, dirty, to restore, service request).
    virtual int32_t condition() const = 0;
    // The record the building carries, and the one it had before its running
    // construction or upgrade (both may be null).
    virtual const GBuildingConfig* record() const = 0;
    virtual const GBuildingConfig* previousRecord() const = 0;
    // The building's node name (its place).
    virtual engine::NameId placeName() const = 0;
    virtual float incomeBonusPercent() const = 0;
    virtual int32_t servedGuests() const = 0;
    // 1 while the feature of that index runs.
    virtual int32_t featureState(int32_t featureIndex) const = 0;
};

// What the objectives read of the running level.
class LevelStateView {
public:
    virtual ~LevelStateView() = default;
    virtual float money() const = 0;
    virtual float dailyIncome() const = 0;
    virtual int32_t workersHired() const = 0;
    virtual int32_t guests() const = 0;
    virtual uint32_t buildingCount() const = 0;
    virtual const LevelBuildingView& building(uint32_t index) const = 0;
    virtual const std::vector<HistoryRecord>& history() const = 0;
};

class GObjective {
public:
    virtual ~GObjective() = default;
    virtual void reset() {}
    virtual bool isMet(const LevelStateView& level) = 0;
    virtual engine::stringw getText(bool full) const = 0;
    virtual engine::stringw getProgressText(const LevelStateView& level) const = 0;
    virtual engine::stringw getHint() const { return engine::stringw(); }
    // Takes the attributes of the "Objective" element the reader stands on.
    virtual void read(const engine::XmlReader& reader) = 0;
};

// A new objective of the named kind (exact name), or null.
GObjective* createObjective(const engine::stringw& typeName);
// Every kind's name (for the content check's coverage).
std::vector<engine::stringw> objectiveKindNames();

class GObjectiveList : public virtual engine::RefCounted {
public:
    GObjectiveList() = default;
    ~GObjectiveList() override { clear(); }
    GObjectiveList(const GObjectiveList&) = delete;
    GObjectiveList& operator=(const GObjectiveList&) = delete;

    // Replaces the list with the "Objective" children of the "Objectives"
    // element the reader stands on; ends on its end tag. False when the input
    // ends first.
    bool read(engine::XmlReader& reader);
    void clear();
    uint32_t size() const { return static_cast<uint32_t>(objectives_.size()); }
    GObjective* at(uint32_t i) const { return objectives_[i]; }

private:
    std::vector<GObjective*> objectives_;  // owned
};

// The kinds, exposed for tests and for the content check.
class MoneyObjective : public GObjective {
public:
    bool isMet(const LevelStateView& level) override;
    engine::stringw getText(bool full) const override;
    engine::stringw getProgressText(const LevelStateView& level) const override;
    engine::stringw getHint() const override;
    void read(const engine::XmlReader& reader) override;
    float value = 0.0f;
    engine::stringw infoStr;
};

class IncomeObjective : public GObjective {
public:
    bool isMet(const LevelStateView& level) override;
    engine::stringw getText(bool full) const override;
    engine::stringw getProgressText(const LevelStateView& level) const override;
    engine::stringw getHint() const override;
    void read(const engine::XmlReader& reader) override;
    float value = 0.0f;
};

class WorkersObjective : public GObjective {
public:
    bool isMet(const LevelStateView& level) override;
    engine::stringw getText(bool full) const override;
    engine::stringw getProgressText(const LevelStateView& level) const override;
    engine::stringw getHint() const override;
    void read(const engine::XmlReader& reader) override;
    int32_t value = 0;
};

class GuestsCountObjective : public GObjective {
public:
    bool isMet(const LevelStateView& level) override;
    engine::stringw getText(bool full) const override;
    engine::stringw getProgressText(const LevelStateView& level) const override;
    engine::stringw getHint() const override;
    void read(const engine::XmlReader& reader) override;
    int32_t value = 0;
};

// The kinds that count buildings or actions share their texts.
class CountingObjective : public GObjective {
public:
    bool isMet(const LevelStateView& level) override { return count(level) >= target(); }
    engine::stringw getText(bool full) const override;
    engine::stringw getProgressText(const LevelStateView& level) const override;
    virtual int32_t count(const LevelStateView& level) const = 0;
    virtual int32_t target() const { return value; }

    engine::array<engine::NameId> buildingTypes;
    engine::array<engine::NameId> placeNames;
    engine::stringw infoStr;
    int32_t value = 0;
};

class HaveTypedBuildingsCountObjective : public CountingObjective {
public:
    static constexpr float kNoIncomeBonusTest = -10000.0f;
    int32_t count(const LevelStateView& level) const override;
    void read(const engine::XmlReader& reader) override;
    float minIncomeBonus = kNoIncomeBonusTest;
    int32_t minServedGuests = 0;
    bool mustOwn = false;
};

class HaveEachTypeBuildingsCountObjective : public CountingObjective {
public:
    int32_t count(const LevelStateView& level) const override;
    // The value for each type; a long list of types cannot overflow it.
    int32_t target() const override;
    void read(const engine::XmlReader& reader) override;
    bool mustOwn = false;
};

class TypedHistoryActionsCountObjective : public CountingObjective {
public:
    int32_t count(const LevelStateView& level) const override;
    void read(const engine::XmlReader& reader) override;
    int32_t action = 0;
};

// Met once every (type, feature) pair had its feature running at the same
// time; stays met until reset.
class HaveConcurrentFeaturesObjective : public CountingObjective {
public:
    void reset() override { latched = false; }
    bool isMet(const LevelStateView& level) override;
    int32_t count(const LevelStateView& level) const override;
    int32_t target() const override { return static_cast<int32_t>(buildingTypes.size()); }
    void read(const engine::XmlReader& reader) override;
    engine::array<int32_t> featureIndices;
    bool latched = false;
};

}  // namespace game
