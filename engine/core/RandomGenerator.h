#pragma once
// The process-wide random generator: a Mersenne Twister for general use (file
// names, sound cues) and a multiply-with-carry generator for the cheap draws of
// particles and spawners, in one object.
#include "engine/core/RefCounted.h"
#include <cstdint>

namespace engine {

class RandomGenerator : public virtual RefCounted {
public:
    static constexpr int32_t kStateSize = 624;
    static constexpr uint32_t kDefaultSeed = 5489u;

    // Seeded with 5489; the multiply-with-carry words then take fixed start values.
    RandomGenerator();

    // Fills the twister state from s and restarts reading at word 0, so the next
    // 624 draws are the tempered seeding words. The multiply-with-carry word w
    // becomes s; z keeps its value.
    void seed(uint32_t s);
    // Refills all 624 twister words and restarts reading at word 0.
    void regenerate();
    // The next tempered twister word.
    uint32_t nextMT();
    // The next multiply-with-carry number.
    uint32_t nextMWC();

    // A value from min to max - 1 drawn with nextMWC. Equal bounds give min
    // without drawing. Reversed bounds are swapped (a value from max to min - 1).
    int32_t rangeInt(int32_t min, int32_t max);
    // nextMWC scaled to 0..1 (both ends included: draws near 2^32 round to 1.0).
    float nextUnitFloat();
    // min + (max - min) * nextUnitFloat; an empty range gives min without drawing.
    // Reversed bounds give a value between them as well.
    float rangeFloat(float min, float max);

private:
    uint32_t state_[kStateSize];
    int32_t index_ = 0;
    uint32_t w_ = 0;
    uint32_t z_ = 0;
};

// The single generator, made on first use and released at exit; using it after
// that fails with "Dead Reference Detected".
RandomGenerator& getRandomGenerator();

}  // namespace engine
