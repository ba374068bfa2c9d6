#pragma once
// Images ('imag'): loaded and written through the image manager.
#include "engine/content/IContentProcessor.h"

namespace engine {

class CImageProcessor : public IContentProcessor {
public:
    ContentTypeCode getContentType() const override { return ContentType::Image; }
    // "Loaded image" (information) or "Can't load image" (warning) with the
    // file's name.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    // Positive flags are the quality for JPEG files; 0 means the default (100).
    bool save(CContentManager* manager, Content* content, irr::io::IWriteFile* file, int32_t flags) override;
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}
};

}  // namespace engine
