// Particle emitter files through the content manager's emitter processor.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ContentHarness::instance().load(engine::ContentType::ParticleEmitter, data, size, "input.xml");
    return 0;
}
