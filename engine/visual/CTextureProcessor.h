#pragma once
// Textures ('itex'): a driver texture made from an image file. The image is
// loaded (and cached) as 'imag' content under the same name. After the video
// driver is replaced, the cached textures are made again with the new driver.
#include "engine/content/IContentProcessor.h"

namespace engine {

class CTextureProcessor : public VideoDriverContentProcessor {
public:
    explicit CTextureProcessor(irr::video::IVideoDriver* driver) : VideoDriverContentProcessor(driver) {}

    // Cached textures are handled after the other contents.
    int32_t getEventOrder() const override { return 1; }
    ContentTypeCode getContentType() const override { return ContentType::Texture; }
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    bool save(CContentManager*, Content*, irr::io::IWriteFile*, int32_t) override { return false; }
    // Event 9: every cached texture drops its driver texture. Event 10: each is
    // made again from its image with the new driver; one whose image cannot be
    // loaded stays without a driver texture.
    void onCachedContentEvent(Event* event, ContentCacheMap& cached) override;
};

}  // namespace engine
