// WAVE files through the engine's sound decoders.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::decodeSound("fuzz.wav", data, size);
    return 0;
}
