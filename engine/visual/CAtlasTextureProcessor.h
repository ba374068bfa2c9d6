#pragma once
// Atlas textures ('atex') from image files: the image's texture ('itex', cached
// under the same name) as one atlas texture covering the whole image. Atlas
// textures published by collections are found in the cache and never reach
// this processor.
#include "engine/content/IContentProcessor.h"

namespace engine {

class CAtlasTextureProcessor : public IContentProcessor {
public:
    ContentTypeCode getContentType() const override { return ContentType::AtlasTexture; }
    // The rectangle runs from (0, 0) to the image's share of the driver
    // texture (1, 1 unless the driver enlarged the texture); no margins.
    // "Loaded atlas texture" with the file's name.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    bool save(CContentManager*, Content*, irr::io::IWriteFile*, int32_t) override { return false; }
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}
};

}  // namespace engine
