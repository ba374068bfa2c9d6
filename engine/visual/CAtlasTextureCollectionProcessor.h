#pragma once
// Atlas collection files ('atxc'). Loading reads the collection with the file
// on the folder stack, so sheet paths resolve against the file's folder; the
// collection publishes its atlas textures in the cache. Saving writes the
// collection's sheets and entries back in the same form.
#include "engine/content/IContentProcessor.h"

namespace engine {

class CAtlasTextureCollectionProcessor : public IContentProcessor {
public:
    ContentTypeCode getContentType() const override { return ContentType::AtlasTextureCollection; }
    // Null for a file that is not a complete collection (logged);
    // "Loaded atlas texture collection" with the file's name otherwise.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    // False when the content is no collection, the collection cannot be
    // written so that it reads back, or the file takes fewer bytes than written.
    bool save(CContentManager* manager, Content* content, irr::io::IWriteFile* file, int32_t flags) override;
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}
};

}  // namespace engine
