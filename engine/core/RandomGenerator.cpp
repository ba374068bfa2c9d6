#include "engine/core/RandomGenerator.h"
#include "engine/core/Singleton.h"

namespace engine {

namespace {
constexpr int32_t kShift = 397;
constexpr uint32_t kMatrixA = 0x9908b0dfu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7fffffffu;
}  // namespace

RandomGenerator::RandomGenerator() {
    seed(kDefaultSeed);
    w_ = 689345928u;
    z_ = 953463420u;
}

void RandomGenerator::seed(uint32_t s) {
    state_[0] = s;
    for (int32_t i = 1; i < kStateSize; ++i) {
        const uint32_t prev = state_[i - 1];
        state_[i] = 1812433253u * (prev ^ (prev >> 30)) + static_cast<uint32_t>(i);
    }
    // Reading starts at the seeding words themselves; no refill before the first draw.
    index_ = 0;
    w_ = s;
}

void RandomGenerator::regenerate() {
    // In place, as the reference refill: the later words already see the new earlier ones.
    for (int32_t i = 0; i < kStateSize; ++i) {
        const uint32_t y = (state_[i] & kUpperMask) | (state_[(i + 1) % kStateSize] & kLowerMask);
        state_[i] = state_[(i + kShift) % kStateSize] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    }
    index_ = 0;
}

uint32_t RandomGenerator::nextMT() {
    if (index_ >= kStateSize) regenerate();
    uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

uint32_t RandomGenerator::nextMWC() {
    z_ = 36969u * (z_ & 0xFFFFu) + (z_ >> 16);
    w_ = 18000u * (w_ & 0xFFFFu) + (w_ >> 16);
    return (z_ << 16) + w_;
}

int32_t RandomGenerator::rangeInt(int32_t min, int32_t max) {
    if (min == max) return min;
    // A reversed range would otherwise span nearly all 2^32 values.
    if (min > max) {
        const int32_t t = min;
        min = max;
        max = t;
    }
    // Unsigned arithmetic: the span is right even when it exceeds the int range.
    const uint32_t span = static_cast<uint32_t>(max) - static_cast<uint32_t>(min);
    const uint32_t value = static_cast<uint32_t>(min) + nextMWC() % span;
    return static_cast<int32_t>(value);
}

float RandomGenerator::nextUnitFloat() {
    // Exact in double; the conversion rounds to the nearest float.
    return static_cast<float>(static_cast<double>(nextMWC()) * (1.0 / 4294967296.0));
}

float RandomGenerator::rangeFloat(float min, float max) {
    const float d = max - min;
    if (d == 0.0f) return min;
    return min + d * nextUnitFloat();
}

RandomGenerator& getRandomGenerator() { return EngineSingleton<RandomGenerator>::Instance(); }

}  // namespace engine
