#pragma once
// The content manager: loads and saves content through the processor of its
// type code, caches what it loaded by type and name, and keeps a folder stack
// so that paths met inside a file resolve against that file.
//
// Caching by the content's flags: shared content (1) is handed out itself with
// one more reference; content that is never cached (2) is made anew on every
// load; other content is kept as a master that is never handed out, and every
// load gets a clone of it. With caching off, every load makes a new object and
// the cache is neither read nor filled.
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/IContentManager.h"
#include "engine/content/IContentProcessor.h"
#include "engine/core/EventMap.h"
#include "engine/io/FileSystem.h"
#include <map>

namespace engine {

class CContentManager : public IContentManager {
    ENGINE_DECLARE_EVENT_MAP(CContentManager)

public:
    // Takes a reference to each of the three (each may be null).
    CContentManager(irr::video::IVideoDriver* videoDriver, FileSystem* fileSystem,
                    CContentProcessorsManager* processors);
    ~CContentManager() override;

    CContentManager(const CContentManager&) = delete;
    CContentManager& operator=(const CContentManager&) = delete;

    // Passes a driver event on to the processors of the cached types (those
    // with the lower event order first); always false.
    bool routeToChildren(int32_t mode, Event* event) override;

    void setCachingEnabled(bool enabled) override { cachingEnabled_ = enabled; }
    bool isCachingEnabled() const override { return cachingEnabled_; }
    Content* loadFromFile(ContentTypeCode type, irr::io::IReadFile* file) override;
    Content* load(ContentTypeCode type, const stringc& path, bool relative) override;
    Content* findCached(ContentTypeCode type, const CreationContext* context) override;
    bool save(ContentTypeCode type, Content* content, const stringc& path, int32_t flags) override;
    bool addToCache(const CreationContext& key, Content* content) override;
    bool addToCacheByOwnName(Content* content) override;
    void removeFromCache(Content* content) override;
    // Drops every cached content that nobody else holds.
    void removeUnused() override;
    void clearCache() override;
    void pushFolder(const stringc& path) override;
    // Keeps the bottom entry.
    void popFolder() override;
    stringc makeFullPath(const stringc& path) const override;
    stringc makeRelativePath(const stringc& path) const override;

    // Video driver released (9) and created (10): drop the driver, or take
    // the one the event carries. Both answer false.
    virtual bool onEvent9(Event* event);
    virtual bool onEvent10(Event* event);

    irr::video::IVideoDriver* getVideoDriver() const { return videoDriver_.get(); }
    FileSystem* getFileSystem() const { return fileSystem_.get(); }
    CContentProcessorsManager* getProcessorsManager() const { return processors_.get(); }
    const array<stringc>& getFolderStack() const { return folders_; }
    // Type code to the cached contents of that type.
    const std::map<ContentTypeCode, ContentCacheMap>& getCache() const { return cache_; }

private:
    // The processor's new content, cached when it may be; the caller's
    // reference follows the hand-out rule.
    Content* loadThroughProcessor(ContentTypeCode type, irr::io::IReadFile* file, const CreationContext& context,
                                  bool& cached);
    Content* handOut(Content* content);
    bool insert(NameId nameId, Content* content);

    IrrRef<irr::video::IVideoDriver> videoDriver_;
    CountedRef<FileSystem> fileSystem_;
    bool cachingEnabled_ = true;
    CountedRef<CContentProcessorsManager> processors_;
    array<stringc> folders_;
    std::map<ContentTypeCode, ContentCacheMap> cache_;
};

}  // namespace engine
