#pragma once
// What the fuzz targets share: a silent logger, the input as a memory file,
// and a content manager over Irrlicht's null driver whose file system serves
// in-memory files only, so no input can reach the disk through an include.
#include "engine/content/CContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/ImageLoaders.h"
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace engine {
class AudioDriver;
}

namespace fuzz {

// Silences the engine logger's standard-error output; the first call of every
// target does it.
void quietLogger();

// A read file over a private copy of the bytes, so reads past its end are
// caught by AddressSanitizer.
engine::IrrRef<irr::io::IReadFile> memoryFile(const uint8_t* data, size_t size, const char* name);

// The key the asset archive target reads with and its seeds are written with.
inline constexpr const char* kAssetArchiveKey = "fuzz-seed-key";

// Reads the bytes with the engine's loader of one image format, as a file
// with the extension, and reads every byte of the image it gives.
void loadImage(engine::ImageFormat format, const char* fileName, const uint8_t* data, size_t size);

// Decodes the bytes as a sound file of that name (the decoder is picked by
// its extension, then by content) and reads its frames, a bounded number.
void decodeSound(const char* fileName, const uint8_t* data, size_t size);

// Opens and reads every entry of an archive and looks each up by name.
void readArchive(engine::FileArchive* archive);

// A file system that answers only the files put into it (by exact path).
class MemoryFileSystem : public engine::FileSystem {
public:
    void put(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
    irr::io::IReadFile* createAndOpenFile(const engine::stringc& path) override;

private:
    std::map<std::string, std::string> files_;
};

// One content manager per process, with the engine's processors, the silent
// audio driver and the engine's node factory. Its file system holds a small
// PNG under "sheet.png" and "fuzz/sheet.png", so readers that load textures
// and sheets get a real one, and a scene "fuzz/part.oscn" to include.
class ContentHarness {
public:
    static ContentHarness& instance();

    // Loads the bytes as content of the type from a memory file named
    // "fuzz/<fileName>", then empties the cache so every input starts alike.
    // The content (or null) is the caller's, to look at further.
    engine::CountedRef<engine::Content> load(engine::ContentTypeCode type, const uint8_t* data, size_t size,
                                             const char* fileName);

    engine::CContentManager* manager() const { return manager_.get(); }
    MemoryFileSystem* fileSystem() const { return fileSystem_.get(); }

private:
    ContentHarness();

    engine::IrrRef<irr::IrrlichtDevice> device_;
    engine::CountedRef<MemoryFileSystem> fileSystem_;
    engine::CountedRef<engine::AudioDriver> audioDriver_;
    engine::CountedRef<engine::CContentManager> manager_;
};

}  // namespace fuzz
