#include "engine/content/CContentManager.h"
#include "engine/core/Logger.h"
#include "engine/io/PathUtils.h"
#include <string>

namespace engine {

namespace {

// A cached type whose processor takes part in passing on a driver event.
struct ContentTypeEntry {
    IContentProcessor* processor;
    ContentCacheMap* cached;
    int32_t order;
    bool operator<(const ContentTypeEntry& other) const { return order < other.order; }
};

}  // namespace

const EventMap<CContentManager>& CContentManager::getEventMap() {
    static const EventMap<CContentManager> map({
        {EventId::VideoDriverReleasedEvent, [](CContentManager& m, Event* e) { return m.onEvent9(e); }},
        {EventId::VideoDriverCreatedEvent, [](CContentManager& m, Event* e) { return m.onEvent10(e); }},
    });
    return map;
}

CContentManager::CContentManager(irr::video::IVideoDriver* videoDriver, FileSystem* fileSystem,
                                 CContentProcessorsManager* processors)
    : videoDriver_(IrrRef<irr::video::IVideoDriver>::share(videoDriver)),
      fileSystem_(CountedRef<FileSystem>::share(fileSystem)),
      processors_(CountedRef<CContentProcessorsManager>::share(processors)) {
    folders_.push_back(stringc());
    addToMask(EventCategory::Driver);
}

CContentManager::~CContentManager() {
    clearCache();
    processors_.reset();
    videoDriver_.reset();
    fileSystem_.reset();
}

// ---------------------------------------------------------------- loading

Content* CContentManager::load(ContentTypeCode type, const stringc& path, bool relative) {
    if (path.size() == 0) return nullptr;
    const stringc fullPath = relative ? joinPath(folders_.getLast(), path) : path;
    const CreationContext context(this, fullPath);
    // With caching off the cache is not consulted: what it holds would be
    // handed out without a reference of the caller's own.
    if (cachingEnabled_) {
        if (Content* cached = findCached(type, &context)) return handOut(cached);
    }
    if (!fileSystem_) return nullptr;
    IrrRef<irr::io::IReadFile> file(fileSystem_->createAndOpenFile(fullPath));
    if (!file) {
        // A missing file is the commonest content fault; say which one.
        getLogger().log("CContentManager: can't open content file", fullPath.c_str(), LOG_WARNING);
        return nullptr;
    }
    bool cached = false;
    Content* content = loadThroughProcessor(type, file.get(), context, cached);
    return cached ? handOut(content) : content;
}

Content* CContentManager::loadFromFile(ContentTypeCode type, irr::io::IReadFile* file) {
    if (!file) return nullptr;
    const CreationContext context(this, file->getFileName().c_str());
    if (cachingEnabled_) {
        if (Content* cached = findCached(type, &context)) return handOut(cached);
    }
    bool cached = false;
    Content* content = loadThroughProcessor(type, file, context, cached);
    return cached ? handOut(content) : content;
}

Content* CContentManager::loadThroughProcessor(ContentTypeCode type, irr::io::IReadFile* file,
                                               const CreationContext& context, bool& cached) {
    cached = false;
    IContentProcessor* processor = processors_ ? processors_->findProcessor(type) : nullptr;
    if (!processor) {
        const std::string hint = std::string("IContentProcessor for the content ") + file->getFileName().c_str() +
                                 " and type #" + std::to_string(type) + " not found";
        getLogger().log("CContentManager", hint.c_str(), LOG_WARNING);
        return nullptr;
    }
    Content* content = processor->load(this, file, &context);
    if (addToCacheByOwnName(content)) {
        // The cache now holds the only reference of the new master.
        content->release();
        cached = true;
    }
    return content;
}

Content* CContentManager::handOut(Content* content) {
    const int32_t flags = content->getContentFlags();
    if (flags & ContentFlags::Shared || flags & ContentFlags::NeverCached) {
        // Never-cached content is not normally in the cache; should its flags
        // have changed after it was cached, the caller still gets a reference.
        content->addRef();
        return content;
    }
    return content->clone();
}

Content* CContentManager::findCached(ContentTypeCode type, const CreationContext* context) {
    if (!context) return nullptr;
    const auto outer = cache_.find(type);
    if (outer == cache_.end()) return nullptr;
    const auto inner = outer->second.find(context->getNameId());
    return inner == outer->second.end() ? nullptr : inner->second;
}

// ---------------------------------------------------------------- saving

bool CContentManager::save(ContentTypeCode type, Content* content, const stringc& path, int32_t flags) {
    IContentProcessor* processor = processors_ ? processors_->findProcessor(type) : nullptr;
    if (!processor) {
        const std::string hint = std::string("IContentProcessor for saving the content ") + path.c_str() +
                                 " of type #" + std::to_string(type) + " not found";
        getLogger().log("CContentManager", hint.c_str(), LOG_WARNING);
        return false;
    }
    if (!fileSystem_) return false;
    IrrRef<irr::io::IWriteFile> file(fileSystem_->createAndWriteFile(path, false));
    if (!file) return false;
    return processor->save(this, content, file.get(), flags);
}

// ---------------------------------------------------------------- the cache

bool CContentManager::insert(NameId nameId, Content* content) {
    if (!content || !cachingEnabled_ || (content->getContentFlags() & ContentFlags::NeverCached)) return false;
    ContentCacheMap& inner = cache_[content->getContentType()];
    if (!inner.emplace(nameId, content).second) return false;
    content->addRef();
    return true;
}

bool CContentManager::addToCache(const CreationContext& key, Content* content) {
    return insert(key.getNameId(), content);
}

bool CContentManager::addToCacheByOwnName(Content* content) {
    return content && insert(content->getCreationContext().getNameId(), content);
}

void CContentManager::removeFromCache(Content* content) {
    if (!content) return;
    const auto outer = cache_.find(content->getContentType());
    if (outer == cache_.end()) return;
    const auto inner = outer->second.find(content->getCreationContext().getNameId());
    if (inner == outer->second.end()) return;
    Content* stored = inner->second;
    outer->second.erase(inner);
    stored->release();
}

void CContentManager::removeUnused() {
    for (auto& outer : cache_) {
        ContentCacheMap& inner = outer.second;
        for (auto it = inner.begin(); it != inner.end();) {
            if (it->second->getRefCount() == 1) {
                Content* stored = it->second;
                it = inner.erase(it);
                stored->release();
            } else {
                ++it;
            }
        }
    }
}

void CContentManager::clearCache() {
    // The cache is emptied first, so that contents released below find it so.
    std::map<ContentTypeCode, ContentCacheMap> old;
    old.swap(cache_);
    for (auto& outer : old)
        for (auto& entry : outer.second) entry.second->release();
}

// ---------------------------------------------------------------- folders

void CContentManager::pushFolder(const stringc& path) { folders_.push_back(path); }

void CContentManager::popFolder() {
    if (folders_.size() > 1) folders_.erase(folders_.size() - 1);
}

stringc CContentManager::makeFullPath(const stringc& path) const { return joinPath(folders_.getLast(), path); }

stringc CContentManager::makeRelativePath(const stringc& path) const {
    return makePathRelative(folders_.getLast(), path);
}

// ---------------------------------------------------------------- driver events

bool CContentManager::onEvent9(Event*) {
    videoDriver_.reset();
    return false;
}

bool CContentManager::onEvent10(Event* event) {
    holdCreatedVideoDriver(videoDriver_, event);
    return false;
}

bool CContentManager::routeToChildren(int32_t, Event* event) {
    if (!event || !processors_) return false;
    array<ContentTypeEntry> entries;
    for (auto& outer : cache_) {
        if (outer.second.empty()) continue;
        IContentProcessor* processor = processors_->findProcessor(outer.first);
        if (processor) entries.push_back({processor, &outer.second, processor->getEventOrder()});
    }
    entries.sort();
    for (uint32_t i = 0; i < entries.size(); ++i) entries[i].processor->onCachedContentEvent(event, *entries[i].cached);
    return false;
}

}  // namespace engine
