#pragma once
// A mutator for the text files of the game: it swaps a number of the input
// (an attribute value, one of a ';' or ',' list) for an extreme value, where
// plain byte mutation only ever nudges a digit. The game's readers and the
// arithmetic built on them are where such values hurt: 0, -1, the ends of
// the int range, far beyond the float range, and texts that are no number.
#include <cstddef>
#include <cstdint>

namespace fuzz {

// Replaces one number of the text in data[0, size) (chosen by seed) with an
// extreme value and returns the new size, at most maxSize. 0 when the text
// holds no number or the result would not fit (the caller then mutates the
// bytes some other way).
size_t swapNumber(uint8_t* data, size_t size, size_t maxSize, unsigned int seed);

}  // namespace fuzz

// The libFuzzer custom mutator of a target: half of the time a number swap,
// else (or when no number was found) libFuzzer's own mutation. Only the
// libFuzzer build has LLVMFuzzerMutate; the replay build leaves it out.
#if defined(FUZZ_WITH_LIBFUZZER)
extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);
#define FUZZ_NUMBER_MUTATOR                                                                              \
    extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) { \
        if (seed % 2u == 0u) {                                                                           \
            const size_t swapped = fuzz::swapNumber(data, size, maxSize, seed / 2u);                     \
            if (swapped > 0) return swapped;                                                             \
        }                                                                                                \
        return LLVMFuzzerMutate(data, size, maxSize);                                                    \
    }
#else
#define FUZZ_NUMBER_MUTATOR
#endif
