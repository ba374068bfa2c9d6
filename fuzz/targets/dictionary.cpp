// Dictionary files through the dictionary's loader; the texts read are then
// looked up, translated and formatted.
#include "engine/content/Dictionary.h"
#include "fuzz/support/FuzzSupport.h"

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryFileSystem* files = fuzz::ContentHarness::instance().fileSystem();
    files->put("fuzz/texts.xml", std::string(reinterpret_cast<const char*>(data), size));
    CountedRef<Dictionary> dictionary(new Dictionary(files));
    dictionary->load("fuzz/texts.xml");
    dictionary->translate(L"%GOLD% and %% and %A%B% and %");
    dictionary->format("GOLD", L"1", L"2", L"3", L"4");
    dictionary->lookup("A");
    return 0;
}
