#include "engine/platform/ImageManager.h"
#include "engine/core/Singleton.h"

namespace engine {

ImageManager::ImageManager() {
    for (ImageFormat format : {ImageFormat::Bmp, ImageFormat::Jpeg, ImageFormat::Tga, ImageFormat::Pcx,
                               ImageFormat::Png, ImageFormat::Wal, ImageFormat::Ppm})
        if (ImageLoader* loader = createImageLoader(format)) loaders_.push_back(loader);
    for (ImageFormat format :
         {ImageFormat::Bmp, ImageFormat::Jpeg, ImageFormat::Tga, ImageFormat::Pcx, ImageFormat::Png, ImageFormat::Ppm})
        if (ImageWriter* writer = createImageWriter(format)) writers_.push_back(writer);
}

ImageManager::~ImageManager() {
    for (uint32_t i = 0; i < loaders_.size(); ++i) loaders_[i]->release();
    for (uint32_t i = 0; i < writers_.size(); ++i) writers_[i]->release();
}

ImageManager& ImageManager::instance() { return EngineSingleton<ImageManager>::Instance(); }

Image* ImageManager::loadImage(irr::io::IReadFile* file, const CreationContext& context) const {
    if (!file) return nullptr;
    const stringc name(file->getFileName().c_str());
    for (uint32_t i = 0; i < loaders_.size(); ++i) {
        if (!loaders_[i]->isALoadableFileExtension(name)) continue;
        file->seek(0);
        if (Image* image = loaders_[i]->loadImage(file, context)) return image;
    }
    for (uint32_t i = 0; i < loaders_.size(); ++i) {
        // A loader the name picked has already read the file and refused it.
        if (loaders_[i]->isALoadableFileExtension(name)) continue;
        file->seek(0);
        if (!loaders_[i]->isALoadableFileFormat(file)) continue;
        file->seek(0);
        if (Image* image = loaders_[i]->loadImage(file, context)) return image;
    }
    return nullptr;
}

bool ImageManager::writeImage(Image* image, irr::io::IWriteFile* file, const uint32_t* quality) const {
    if (!image || !file) return false;
    const uint32_t param = quality ? *quality : 100;
    const stringc name(file->getFileName().c_str());
    for (uint32_t i = 0; i < writers_.size(); ++i) {
        if (writers_[i]->isAWriteableFileExtension(name) && writers_[i]->writeImage(file, image, param)) return true;
    }
    return false;
}

}  // namespace engine
