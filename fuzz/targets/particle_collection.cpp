// Particle collection files through the content manager's collection processor.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ContentHarness::instance().load(engine::ContentType::ParticleCollection, data, size, "input.xml");
    return 0;
}
