#pragma once
// Content processors of the particle files: collections ('prtc') and single
// emitters ('pemt'). Neither kind can be saved.
#include "engine/content/IContentProcessor.h"

namespace engine {

class CParticleCollectionProcessor : public IContentProcessor {
public:
    ContentTypeCode getContentType() const override { return ContentType::ParticleCollection; }
    // A collection whose emitters are in the cache, logged "Loaded particle
    // collection"; null (logged) for a file that is not a complete collection.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    // Refused: "Particle collection can't be saved".
    bool save(CContentManager* manager, Content* content, irr::io::IWriteFile* file, int32_t flags) override;
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}
};

class CParticleEmitterProcessor : public IContentProcessor {
public:
    ContentTypeCode getContentType() const override { return ContentType::ParticleEmitter; }
    // A plain emitter (it emits nothing) read from a "ParticleEmitter" file,
    // logged "Loaded particle emitter"; null (logged) for any other file.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    // Refused: "Particle collection can't be saved".
    bool save(CContentManager* manager, Content* content, irr::io::IWriteFile* file, int32_t flags) override;
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}
};

}  // namespace engine
