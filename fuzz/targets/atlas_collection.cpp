// Atlas collection files through the content manager's collection processor;
// "sheet.png" is a real sheet for the entries to cut.
#include "fuzz/support/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ContentHarness::instance().load(engine::ContentType::AtlasTextureCollection, data, size, "input.xml");
    return 0;
}
