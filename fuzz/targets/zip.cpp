// Zip files through the engine's zip archive: the directory, then every entry.
#include "engine/io/ZipArchive.h"
#include "fuzz/support/FuzzSupport.h"

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietLogger();
    auto file = fuzz::memoryFile(data, size, "fuzz.zip");
    CountedRef<ZipArchive> archive(ZipArchive::create(file.get(), true, false));
    fuzz::readArchive(archive.get());
    return 0;
}
