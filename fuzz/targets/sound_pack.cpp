// Sound pack files through the content manager's sound pack processor, with
// the silent audio driver.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ContentHarness::instance().load(engine::ContentType::SoundPack, data, size, "input.xml");
    return 0;
}
