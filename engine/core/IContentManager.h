#pragma once
// The content manager's abstract interface. Nodes, fonts, sounds and the game
// reach the manager that made their content through its CreationContext, and
// load and save through these operations; CContentManager implements them.
#include "engine/core/Content.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"

namespace irr::io {
class IReadFile;
}

namespace engine {

class BaseNode;

class IContentManager : public EventReceiver {
public:
    virtual void setCachingEnabled(bool enabled) = 0;
    virtual bool isCachingEnabled() const = 0;
    // Each load returns content the caller owns one reference to, or null.
    virtual Content* loadFromFile(ContentTypeCode type, irr::io::IReadFile* file) = 0;
    // With relative set, the path is resolved against the top of the folder stack.
    virtual Content* load(ContentTypeCode type, const stringc& path, bool relative) = 0;
    // The cached content under the context's name id; adds no reference.
    virtual Content* findCached(ContentTypeCode type, const CreationContext* context) = 0;
    virtual bool save(ContentTypeCode type, Content* content, const stringc& path, int32_t flags) = 0;
    virtual bool addToCache(const CreationContext& key, Content* content) = 0;
    virtual bool addToCacheByOwnName(Content* content) = 0;
    virtual void removeFromCache(Content* content) = 0;
    virtual void removeUnused() = 0;
    virtual void clearCache() = 0;
    // Processors push the name of the file they read, so that relative paths
    // met inside it resolve against its folder, and pop it afterwards.
    virtual void pushFolder(const stringc& path) = 0;
    virtual void popFolder() = 0;
    virtual stringc makeFullPath(const stringc& path) const = 0;
    virtual stringc makeRelativePath(const stringc& path) const = 0;

    // Typed wrappers.
    BaseNode* loadSceneNode(const stringc& path, bool relative);
};

// Pushes a folder for the lifetime of the guard (no-op with a null manager).
class FolderScope {
public:
    FolderScope(IContentManager* manager, const stringc& path) : manager_(manager) {
        if (manager_) manager_->pushFolder(path);
    }
    ~FolderScope() {
        if (manager_) manager_->popFolder();
    }
    FolderScope(const FolderScope&) = delete;
    FolderScope& operator=(const FolderScope&) = delete;

private:
    IContentManager* manager_;
};

}  // namespace engine
