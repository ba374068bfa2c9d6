#pragma once
// The current player's progress towards the twelve achievements: twelve
// counters, each with a fixed threshold; an achievement is earned while its
// counter is at or above its threshold. Kept in the player's profile as
// "AchievementsProgress", the counters joined by ";".
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstdint>

namespace game {

class AchievementsTracker : public virtual engine::RefCounted {
public:
    static constexpr int32_t kCount = 12;

    AchievementsTracker();

    // Counter 0 at 1, the others at 0, the thresholds at their values.
    void reset();
    int32_t getProgress(int32_t index) const { return counters_[index]; }
    int32_t getThreshold(int32_t index) const { return thresholds_[index]; }
    // Counters 7 to 9 take the value; the others add it. True when this call
    // earned the achievement (below the threshold before, at or above after).
    bool addProgress(int32_t index, int32_t value);
    // Resets, then takes the first twelve numbers of the text as the counters.
    void load(const engine::stringc& text);
    // The profile text of the counters.
    engine::stringc toProfileText() const;
    // Stores the text in the current player's profile and saves it; nothing
    // without a current player.
    void save() const;

    // Resources of the achievement at the index (named from 1).
    engine::stringc getIconPath(int32_t index) const;
    engine::stringw getNameKey(int32_t index) const;
    engine::stringw getDescriptionBeforeKey(int32_t index) const;
    engine::stringw getDescriptionAfterKey(int32_t index) const;

private:
    int32_t counters_[kCount];
    int32_t thresholds_[kCount];
};

}  // namespace game
