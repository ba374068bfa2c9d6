// Asset archives through the engine's archive reader, with the key the seeds
// are written with: the directory, then every entry.
#include "engine/io/AssetArchive.h"
#include "fuzz/support/FuzzSupport.h"

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietLogger();
    auto file = fuzz::memoryFile(data, size, "fuzz.oca");
    CountedRef<AssetArchive> archive(AssetArchive::create(file.get(), fuzz::kAssetArchiveKey, true, false));
    fuzz::readArchive(archive.get());
    return 0;
}
