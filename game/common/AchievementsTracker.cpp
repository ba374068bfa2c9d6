#include "game/common/AchievementsTracker.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/TextRoutines.h"

namespace game {

namespace {

const int32_t kThresholds[AchievementsTracker::kCount] = {6,       3,       3,        3,  50, 150,
                                                          250,     2500000, 7500000, 10000000, 35, 30};

bool setsValue(int32_t index) { return index >= 7 && index <= 9; }

engine::stringw dictionaryKey(int32_t index, const wchar_t* suffix) {
    engine::stringw key(L"%Achievements_");
    key += engine::stringw(index + 1);
    key += suffix;
    key += L"%";
    return key;
}

}  // namespace

AchievementsTracker::AchievementsTracker() { reset(); }

void AchievementsTracker::reset() {
    for (int32_t i = 0; i < kCount; ++i) {
        counters_[i] = 0;
        thresholds_[i] = kThresholds[i];
    }
    counters_[0] = 1;
}

bool AchievementsTracker::addProgress(int32_t index, int32_t value) {
    const bool before = counters_[index] >= thresholds_[index];
    if (setsValue(index))
        counters_[index] = value;
    else
        counters_[index] += value;
    return !before && counters_[index] >= thresholds_[index];
}

void AchievementsTracker::load(const engine::stringc& text) {
    reset();
    const engine::array<int32_t> values = engine::parseIntArray(text);
    for (irr::u32 i = 0; i < values.size() && i < static_cast<irr::u32>(kCount); ++i) counters_[i] = values[i];
}

engine::stringc AchievementsTracker::toProfileText() const {
    engine::array<int32_t> values;
    for (int32_t value : counters_) values.push_back(value);
    return engine::joinIntArray(values);
}

void AchievementsTracker::save() const {
    engine::ProfileParameters* player = engine::getProfileStore().getCurrentProfile();
    if (!player) return;
    player->setString("AchievementsProgress", toProfileText());
    player->save();
}

engine::stringc AchievementsTracker::getIconPath(int32_t index) const {
    engine::stringc path("scenes/images/Achievements/Icon");
    path += engine::stringc(index + 1);
    path += ".png";
    return path;
}

engine::stringw AchievementsTracker::getNameKey(int32_t index) const { return dictionaryKey(index, L"Name"); }

engine::stringw AchievementsTracker::getDescriptionBeforeKey(int32_t index) const {
    return dictionaryKey(index, L"DescBefore");
}

engine::stringw AchievementsTracker::getDescriptionAfterKey(int32_t index) const {
    return dictionaryKey(index, L"DescAfter");
}

}  // namespace game
