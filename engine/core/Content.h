#pragma once
#include "engine/core/ContentType.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include <cstdint>

namespace engine {

// Content flag bits, read by the content manager's cache.
namespace ContentFlags {
constexpr int32_t None = 0;         // the cache keeps a master and hands out clones
constexpr int32_t Shared = 1;       // a load returns the cached object itself
constexpr int32_t NeverCached = 2;  // never cached; each load makes a new object
}  // namespace ContentFlags

// The base of everything the content manager loads: nodes, images, sounds,
// sound packs, emitters, particle collections, fonts, atlases and textures.
// It carries the creation context (the content manager that made it and its
// content name id, the cache key).
class Content : public EventReceiver {
public:
    explicit Content(const CreationContext& context) : context_(context) {}
    ~Content() override = default;

    // A copy of a cached master with count 1, owned by the caller; null when the
    // class cannot be copied.
    virtual Content* clone();
    // The four-character type code that selects the content processor.
    virtual ContentTypeCode getContentType() const = 0;

    int32_t getContentFlags() const { return flags_; }
    void setContentFlags(int32_t flags) { flags_ = flags; }

    const CreationContext& getCreationContext() const { return context_; }

private:
    int32_t flags_ = ContentFlags::None;
    CreationContext context_;
};

}  // namespace engine
