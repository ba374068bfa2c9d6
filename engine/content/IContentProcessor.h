#pragma once
// A content processor turns one kind of file into one kind of Content and, for
// some kinds, writes it back. The content manager asks for one by content type
// code on every uncached load and on every save. Processors that hold a driver
// drop it on the driver-released events and take the new one from the
// driver-created events.
#include "engine/core/Content.h"
#include "engine/core/EventMap.h"
#include "engine/io/IrrRef.h"
#include <map>

namespace engine {

class AudioDriver;
class CContentManager;

// The cache of one content type: name id to content, one reference each.
using ContentCacheMap = std::map<NameId, Content*>;

class IContentProcessor : public EventReceiver {
    ENGINE_DECLARE_EVENT_MAP(IContentProcessor)

public:
    // Where this processor's cached contents come when the content manager
    // passes a driver event on: ascending, so order 1 comes after order 0.
    virtual int32_t getEventOrder() const { return 0; }
    virtual ContentTypeCode getContentType() const = 0;
    // A new content made with the context from the open file, or null.
    virtual Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) = 0;
    virtual bool save(CContentManager* manager, Content* content, irr::io::IWriteFile* file, int32_t flags) = 0;
    // A driver event for the contents of this processor's type in the cache.
    virtual void onCachedContentEvent(Event* event, ContentCacheMap& cached) = 0;

    // Video driver released (9), created (10); audio driver released (11),
    // created (12). They answer false, so every processor sees the event.
    virtual bool onEvent9(Event* event);
    virtual bool onEvent10(Event* event);
    virtual bool onEvent11(Event* event);
    virtual bool onEvent12(Event* event);
};

// Follows the video driver through the driver-created event (10): the driver
// the event carries is held in place of the one held; other events change
// nothing.
void holdCreatedVideoDriver(IrrRef<irr::video::IVideoDriver>& held, Event* event);

// The part of the processors that work with the video driver: they drop it on
// event 9 and take the one event 10 carries. They take driver events.
class VideoDriverContentProcessor : public IContentProcessor {
public:
    explicit VideoDriverContentProcessor(irr::video::IVideoDriver* driver);

    irr::video::IVideoDriver* getVideoDriver() const { return videoDriver_.get(); }

    bool onEvent9(Event* event) override;
    bool onEvent10(Event* event) override;

private:
    IrrRef<irr::video::IVideoDriver> videoDriver_;
};

}  // namespace engine
