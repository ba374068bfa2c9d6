#pragma once
// Fixtures of the tutorial tests: a template collection with the tutorial
// window and arrow, a receiver standing in for the level, and events.
#include "engine/core/Event.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/RefCounted.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/XmlReader.h"

#include <string>
#include <vector>

namespace tutorial_testing {

// "TutorialWindow" (a control with NavTo/NavFrom, "Text" with two
// backgrounds, "SkipTutorialButton" > "bg" 120 x 40, "Button") and
// "TutorialArrow"; without the window when asked.
engine::CountedRef<engine::TemplateCollectionNode> makeTemplates(bool withWindow = true);

// A reader over the text.
engine::CountedRef<engine::XmlReader> readerOf(const std::string& xml);

// Stands in for the level scene: keeps every event it is handed and answers
// the building query with `buildingExists`.
class FakeLevel : public engine::EventReceiver {
public:
    bool handleEvent(engine::Event* event) override;
    // The events of that type id received so far.
    std::vector<engine::Event*> received(int32_t typeId) const;

    bool buildingExists = false;
    std::vector<engine::CountedRef<engine::Event>> events;
};

// A press of a fresh node of that name (the node lives as long as the event).
engine::CountedRef<engine::Event> pressOf(const char* name);
engine::CountedRef<engine::Event> listPressOf(const char* list, int32_t index);
engine::CountedRef<engine::Event> listHoverOf(const char* list, int32_t index);

}  // namespace tutorial_testing
