#include "engine/visual/CImageProcessor.h"
#include "engine/core/Logger.h"
#include "engine/platform/ImageManager.h"

namespace engine {

Content* CImageProcessor::load(CContentManager*, irr::io::IReadFile* file, const CreationContext* context) {
    if (!file) return nullptr;
    Image* image = ImageManager::instance().loadImage(file, context ? *context : CreationContext());
    if (image)
        getLogger().log("Loaded image", file->getFileName().c_str(), LOG_DEBUG);
    else
        getLogger().log("Can't load image", file->getFileName().c_str(), LOG_WARNING);
    return image;
}

bool CImageProcessor::save(CContentManager*, Content* content, irr::io::IWriteFile* file, int32_t flags) {
    Image* image = dynamic_cast<Image*>(content);
    if (!image || !file) return false;
    // Flags 0 leave the writers their default quality.
    const uint32_t quality = uint32_t(flags);
    return ImageManager::instance().writeImage(image, file, flags > 0 ? &quality : nullptr);
}

}  // namespace engine
