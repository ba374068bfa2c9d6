#include "fuzz/support/FuzzSupport.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundDecoder.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/Logger.h"
#include "engine/core/NodeFactory.h"
#include "engine/io/MemoryFile.h"
#include "engine/platform/ImageManager.h"
#include <cstring>
#include <vector>

using namespace engine;

namespace fuzz {

void quietLogger() {
    static const bool done = [] {
        getLogger().setEchoToStderr(false);
        return true;
    }();
    (void)done;
}

IrrRef<irr::io::IReadFile> memoryFile(const uint8_t* data, size_t size, const char* name) {
    char* copy = new char[size ? size : 1];
    if (size) std::memcpy(copy, data, size);
    return IrrRef<irr::io::IReadFile>(new MemoryFile(copy, int32_t(size), name, true));
}

void loadImage(ImageFormat format, const char* fileName, const uint8_t* data, size_t size) {
    quietLogger();
    static ImageLoader* const loaders[] = {
        createImageLoader(ImageFormat::Bmp), createImageLoader(ImageFormat::Jpeg), createImageLoader(ImageFormat::Tga),
        createImageLoader(ImageFormat::Pcx), createImageLoader(ImageFormat::Png),  createImageLoader(ImageFormat::Wal),
        createImageLoader(ImageFormat::Ppm)};
    ImageLoader* loader = loaders[int(format)];
    IrrRef<irr::io::IReadFile> file = memoryFile(data, size, fileName);
    CountedRef<Image> image(loader->loadImage(file.get(), CreationContext()));
    if (!image) return;
    // Every byte the image claims must be there.
    const uint8_t* pixels = image->getData();
    uint32_t sum = 0;
    for (uint32_t i = 0; i < image->getImageDataSizeInBytes(); ++i) sum += pixels[i];
    volatile uint32_t sink = sum;
    (void)sink;
}

void decodeSound(const char* fileName, const uint8_t* data, size_t size) {
    quietLogger();
    IrrRef<irr::io::IReadFile> file = memoryFile(data, size, fileName);
    CountedRef<SoundDecoder> decoder(getSoundDecoderManager().createDecoder(file.get(), nullptr));
    if (!decoder) return;
    // Room for 1024 frames of the widest format (8 channels of 16 bits).
    std::vector<char> buffer(1024 * 8 * 2);
    const int32_t chunk = int32_t(buffer.size()) / (decoder->bytesPerFrame() > 0 ? decoder->bytesPerFrame() : 1);
    int32_t total = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 256; ++i) {
            const int32_t got = decoder->read(buffer.data(), chunk);
            if (got <= 0) break;
            total += got;
        }
        decoder->rewind();
    }
    volatile int32_t sink = total;
    (void)sink;
}

void readArchive(FileArchive* archive) {
    if (!archive) return;
    std::vector<char> buffer(4096);
    for (uint32_t i = 0; i < archive->getFileCount(); ++i) {
        const FileArchiveEntry* entry = archive->getFileEntry(i);
        if (entry) archive->findFile(entry->name);
        IrrRef<irr::io::IReadFile> file(archive->openFileByIndex(i));
        if (!file) continue;
        while (file->read(buffer.data(), irr::u32(buffer.size())) > 0) {
        }
    }
}

irr::io::IReadFile* MemoryFileSystem::createAndOpenFile(const stringc& path) {
    const auto found = files_.find(path.c_str());
    if (found == files_.end()) return nullptr;
    const std::string& bytes = found->second;
    return memoryFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), path.c_str()).detach();
}

namespace {

// A 16 x 16 PNG written by the engine's own writer.
std::string sheetPng() {
    CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(16, 16)));
    image->fill(0xFF336699u);
    IrrRef<VirtualFile> file(new VirtualFile("sheet.png", 4096));
    if (!ImageManager::instance().writeImage(image.get(), file.get())) return std::string();
    std::string bytes(size_t(file->getSize()), '\0');
    file->seek(0);
    file->read(bytes.data(), irr::u32(bytes.size()));
    return bytes;
}

}  // namespace

ContentHarness& ContentHarness::instance() {
    // Never destroyed: the engine's singletons it uses may be gone at exit.
    static ContentHarness* harness = new ContentHarness();
    return *harness;
}

ContentHarness::ContentHarness() : fileSystem_(new MemoryFileSystem()) {
    quietLogger();
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_NULL;
    params.LoggingLevel = irr::ELL_NONE;
    device_.reset(irr::createDeviceEx(params));
    const std::string png = sheetPng();
    fileSystem_->put("sheet.png", png);
    fileSystem_->put("fuzz/sheet.png", png);
    fileSystem_->put("fuzz/part.oscn",
                     "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Part\" />"
                     "</Properties></SceneNode>");
    audioDriver_.reset(new NullAudioDriver(fileSystem_.get()));
    irr::video::IVideoDriver* video = device_ ? device_->getVideoDriver() : nullptr;
    CountedRef<CContentProcessorsManager> processors(
        new CContentProcessorsManager(video, audioDriver_.get(), fileSystem_.get(), &getNodeFactory()));
    manager_.reset(new CContentManager(video, fileSystem_.get(), processors.get()));
}

CountedRef<Content> ContentHarness::load(ContentTypeCode type, const uint8_t* data, size_t size,
                                        const char* fileName) {
    const std::string name = std::string("fuzz/") + fileName;
    IrrRef<irr::io::IReadFile> file = memoryFile(data, size, name.c_str());
    CountedRef<Content> content(manager_->loadFromFile(type, file.get()));
    manager_->clearCache();
    return content;
}

}  // namespace fuzz
