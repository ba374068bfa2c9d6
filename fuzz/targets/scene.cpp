// Scene files through the content manager's scene processor and the engine's
// node factory.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ContentHarness::instance().load(engine::ContentType::SceneNode, data, size, "input.oscn");
    return 0;
}
