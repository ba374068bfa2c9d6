#include "engine/content/IContentProcessor.h"

namespace engine {

const EventMap<IContentProcessor>& IContentProcessor::getEventMap() {
    static const EventMap<IContentProcessor> map({
        {EventId::VideoDriverReleasedEvent, [](IContentProcessor& p, Event* e) { return p.onEvent9(e); }},
        {EventId::VideoDriverCreatedEvent, [](IContentProcessor& p, Event* e) { return p.onEvent10(e); }},
        {EventId::AudioDriverReleasedEvent, [](IContentProcessor& p, Event* e) { return p.onEvent11(e); }},
        {EventId::AudioDriverCreatedEvent, [](IContentProcessor& p, Event* e) { return p.onEvent12(e); }},
    });
    return map;
}

bool IContentProcessor::onEvent9(Event*) { return false; }
bool IContentProcessor::onEvent10(Event*) { return false; }
bool IContentProcessor::onEvent11(Event*) { return false; }
bool IContentProcessor::onEvent12(Event*) { return false; }

VideoDriverContentProcessor::VideoDriverContentProcessor(irr::video::IVideoDriver* driver)
    : videoDriver_(IrrRef<irr::video::IVideoDriver>::share(driver)) {
    addToMask(EventCategory::Driver);
}

bool VideoDriverContentProcessor::onEvent9(Event*) {
    videoDriver_.reset();
    return false;
}

bool VideoDriverContentProcessor::onEvent10(Event* event) {
    holdCreatedVideoDriver(videoDriver_, event);
    return false;
}

void holdCreatedVideoDriver(IrrRef<irr::video::IVideoDriver>& held, Event* event) {
    if (event && event->isOfType(EventId::VideoDriverCreatedEvent))
        held = IrrRef<irr::video::IVideoDriver>::share(static_cast<VideoDriverCreatedEvent*>(event)->getDriver());
}

}  // namespace engine
