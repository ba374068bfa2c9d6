// PCX files through the engine's loader of the format.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::loadImage(engine::ImageFormat::Pcx, "fuzz.pcx", data, size);
    return 0;
}
