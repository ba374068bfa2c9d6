#pragma once
// The one place that turns files into Images and Images into files. It owns a
// loader and a writer per format and picks among them by file name, then by
// content. A singleton, alive from first use until exit.
#include "engine/core/EventReceiver.h"
#include "engine/platform/Image.h"
#include "engine/platform/ImageLoaders.h"

namespace engine {

class ImageManager : public EventReceiver {
public:
    // Loaders in the order they are tried: BMP, JPEG, TGA, PCX, PNG, WAL, PPM
    // (also PGM and PBM). Writers: BMP, JPEG, TGA, PCX, PNG, PPM.
    ImageManager();
    ~ImageManager() override;

    ImageManager(const ImageManager&) = delete;
    ImageManager& operator=(const ImageManager&) = delete;

    static ImageManager& instance();

    // A new image (count 1) made with the context, or null. The loaders whose
    // extension fits the file's name are tried first, then the others that
    // recognise its content (each loader reads the file at most once).
    // Nothing is logged here when no loader succeeds.
    Image* loadImage(irr::io::IReadFile* file, const CreationContext& context) const;
    // Writes through the first writer that takes the file's name and succeeds.
    // The quality (JPEG) is 100 when none is given.
    bool writeImage(Image* image, irr::io::IWriteFile* file, const uint32_t* quality = nullptr) const;

    uint32_t getLoaderCount() const { return loaders_.size(); }
    ImageLoader* getLoader(uint32_t index) const { return index < loaders_.size() ? loaders_[index] : nullptr; }
    uint32_t getWriterCount() const { return writers_.size(); }
    ImageWriter* getWriter(uint32_t index) const { return index < writers_.size() ? writers_[index] : nullptr; }

private:
    array<ImageLoader*> loaders_;
    array<ImageWriter*> writers_;
};

}  // namespace engine
