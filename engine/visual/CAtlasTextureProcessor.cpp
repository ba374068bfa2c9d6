#include "engine/visual/CAtlasTextureProcessor.h"
#include "engine/content/CContentManager.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/Logger.h"
#include "engine/visual/AtlasTexture.h"

namespace engine {

Content* CAtlasTextureProcessor::load(CContentManager* manager, irr::io::IReadFile* file,
                                      const CreationContext* context) {
    if (!manager || !file) return nullptr;
    CountedRef<Content> loaded(manager->loadFromFile(ContentType::Texture, file));
    TextureContent* texture = dynamic_cast<TextureContent*>(loaded.get());
    if (!texture) return nullptr;

    // The image's share of the driver texture. A driver that reports no size
    // (the null driver) gets the whole texture.
    const irr::core::dimension2d<irr::u32> image = getTextureImageSize(texture);
    irr::core::dimension2d<irr::u32> driverSize;
    if (const irr::video::ITexture* driverTexture = texture->getTexture()) driverSize = driverTexture->getSize();
    const auto share = [](irr::u32 part, irr::u32 whole) {
        return whole > 0 ? static_cast<float>(part) / static_cast<float>(whole) : 1.0f;
    };
    const rectf rect(0.0f, 0.0f, share(image.Width, driverSize.Width), share(image.Height, driverSize.Height));

    const stringc fileName(file->getFileName().c_str());
    Content* atlas = new AtlasTextureContent(context ? *context : CreationContext(manager, fileName), texture, rect,
                                             vector2df(0.0f, 0.0f), vector2df(0.0f, 0.0f));
    getLogger().log("Loaded atlas texture", fileName.c_str(), LOG_DEBUG);
    return atlas;
}

}  // namespace engine
