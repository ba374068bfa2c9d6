#include "engine/visual/CTextureProcessor.h"
#include "engine/content/CContentManager.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/Logger.h"
#include "engine/platform/Image.h"

namespace engine {

Content* CTextureProcessor::load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) {
    if (!manager || !file) return nullptr;
    CountedRef<Content> loaded(manager->loadFromFile(ContentType::Image, file));
    Image* image = dynamic_cast<Image*>(loaded.get());
    if (!image) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<TextureContent> content(new TextureContent(context ? *context : CreationContext(), fileName, nullptr));
    if (!content->makeFrom(getVideoDriver(), image)) return nullptr;
    getLogger().log("Loaded texture", fileName.c_str(), LOG_DEBUG);
    return content.detach();
}

void CTextureProcessor::onCachedContentEvent(Event* event, ContentCacheMap& cached) {
    if (!event) return;
    if (event->getTypeId() == EventId::VideoDriverReleasedEvent) {
        for (auto& entry : cached)
            if (TextureContent* texture = dynamic_cast<TextureContent*>(entry.second)) texture->setTexture(nullptr);
        return;
    }
    if (event->getTypeId() != EventId::VideoDriverCreatedEvent) return;
    for (auto& entry : cached) {
        TextureContent* texture = dynamic_cast<TextureContent*>(entry.second);
        if (!texture) continue;
        IContentManager* manager = texture->getCreationContext().getContentManager();
        if (!manager) continue;
        CountedRef<Content> loaded(manager->load(ContentType::Image, texture->getFileName(), false));
        Image* image = dynamic_cast<Image*>(loaded.get());
        if (!image) continue;
        texture->makeFrom(getVideoDriver(), image);
    }
}

}  // namespace engine
