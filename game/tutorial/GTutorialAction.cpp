#include "game/tutorial/GTutorialAction.h"
#include "engine/core/MathRoutines.h"
#include "engine/controls/ListNode.h"
#include "engine/core/BaseNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/core/XmlReader.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/common/GBaseSceneNode.h"
#include "game/level/GBuildingNode.h"
#include "game/common/GameEvents.h"

#include <algorithm>

namespace game {

using namespace engine;

namespace {

constexpr int32_t kBuildingNodeType = 1139;

array<NameId> readNames(XmlReader& reader, const wchar_t* attribute) {
    return splitBySemicolon(stringc(reader.getAttributeValue(attribute)));
}

// Name ids are ints, so this serves the name lists and the index lists alike.
bool listed(const array<int32_t>& names, int32_t name) {
    for (uint32_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return true;
    }
    return false;
}

NameId pressedName(Event* event) {
    BaseNode* node = static_cast<NodeEvent*>(event)->getNode();
    return node ? node->getName() : kNoName;
}

// The name of the building record a building carries, or none.
NameId buildingName(const GBuildingNode* building) {
    const GBuildingConfig* record = building ? building->getRecord() : nullptr;
    return record ? record->Name : kNoName;
}

// The name of what a completion event completed: the record it names, else
// the building's own.
NameId completedName(Event* event) {
    auto* completed = static_cast<GBuildingCompletedEvent*>(event);
    if (const GBuildingConfig* record = completed->getRecord()) return record->Name;
    return buildingName(completed->getBuilding());
}

// A press that is not part of the lesson: the player hears it missed.
bool blockWithCue() {
    playCue("ButtonMissed");
    return true;
}

template <class A, bool (A::*Handler)(Event*)>
bool call(A& action, Event* event) {
    return (action.*Handler)(event);
}

void readList(XmlReader& reader, NameId& list, array<int32_t>& indices) {
    list = makeNameId(stringc(reader.getAttributeValue(L"List")).c_str());
    indices = parseIntArray(stringc(reader.getAttributeValue(L"Indices")));
}

bool isItemOf(Event* event, NameId list, const array<int32_t>& indices) {
    auto* item = static_cast<ListItemEventBase*>(event);
    BaseNode* node = item->getNode();
    return node && node->getName() == list && listed(indices, item->getItemIndex());
}

// Every node under the root (itself included) that passes the test, depth first.
template <class Test>
void collectNodes(BaseNode* root, const Test& test, std::vector<BaseNode*>& found) {
    if (!root) return;
    if (test(root)) found.push_back(root);
    for (uint32_t i = 0; i < root->getChildCount(); ++i) collectNodes(root->getChild(i), test, found);
}

// The rectangles of the buildings whose record is listed.
void addBuildingTargets(BaseNode* scene, const array<NameId>& names, std::vector<rectf>& targets) {
    std::vector<BaseNode*> found;
    collectNodes(
        scene,
        [&](BaseNode* node) {
            return node->isOfType(kBuildingNodeType) && listed(names, buildingName(static_cast<GBuildingNode*>(node)));
        },
        found);
    for (BaseNode* node : found) targets.push_back(screenRectOf(node));
}

// The rectangles of the listed items of the named list (the whole list when
// its elements are not laid out).
void addListTargets(BaseNode* scene, NameId list, const array<int32_t>& indices, std::vector<rectf>& targets) {
    ListNode* node = scene ? nodeCast<ListNode>(scene->findChild(list)) : nullptr;
    if (!node) return;
    bool any = false;
    for (uint32_t i = 0; i < indices.size(); ++i) {
        if (indices[i] < 0 || indices[i] >= node->getElementCount()) continue;
        if (BaseNode* element = node->getElement(indices[i])) {
            targets.push_back(screenRectOf(element));
            any = true;
        }
    }
    if (!any) targets.push_back(screenRectOf(node));
}

}  // namespace

rectf screenRectOf(const BaseNode* node) {
    vector2df at(0.0f, 0.0f);
    for (const BaseNode* n = node; n; n = n->getParent()) {
        at.X += n->getPosition().X;
        at.Y += n->getPosition().Y;
    }
    const vector3df bounds = node ? node->getBounds() : vector3df();
    return rectf(at.X, at.Y, at.X + bounds.X, at.Y + bounds.Y);
}

void sendToReceiver(EventReceiver* receiver, Event* event) {
    if (!receiver || !event) return;
    if (!receiver->handleEvent(event)) receiver->routeToParent(DeliveryMode::HandleThenParent, event);
}

void GTutorialAction::start(EventReceiver*) {}
void GTutorialAction::update(uint32_t) {}
void GTutorialAction::finish() {}
void GTutorialAction::read(XmlReader&) {}
void GTutorialAction::addTargets(BaseNode*, std::vector<rectf>&) const {}

GTutorialAction* createTutorialAction(const stringw& type) {
    struct Kind {
        const wchar_t* type;
        GTutorialAction* (*make)();
    };
    static const Kind kinds[] = {
        {L"Timed", [] () -> GTutorialAction* { return new GTimedAction(); }},
        {L"MouseClick", [] () -> GTutorialAction* { return new GMouseClickAction(); }},
        {L"BuildingPress", [] () -> GTutorialAction* { return new GBuildingPressAction(); }},
        {L"ControlPress", [] () -> GTutorialAction* { return new GControlPressAction(); }},
        {L"ListItemPress", [] () -> GTutorialAction* { return new GListItemPressAction(); }},
        {L"ListItemHovered", [] () -> GTutorialAction* { return new GListItemHoveredAction(); }},
        {L"BuildingCompleted", [] () -> GTutorialAction* { return new GBuildingCompletedAction(); }},
        {L"BuildingCompletedOrExist", [] () -> GTutorialAction* { return new GBuildingCompletedOrExistAction(); }},
        {L"WaitDirty", [] () -> GTutorialAction* { return new GWaitDirtyAction(); }},
        {L"WaitLetter", [] () -> GTutorialAction* { return new GWaitLetterAction(); }},
        {L"GenerateSellBuildingRequest",
         [] () -> GTutorialAction* { return new GGenerateSellBuildingRequestAction(); }},
        {L"GenerateBrokenBuildingRequest",
         [] () -> GTutorialAction* { return new GGenerateBrokenBuildingRequestAction(); }},
        {L"GenerateDirtyBuildingRequest",
         [] () -> GTutorialAction* { return new GGenerateDirtyBuildingRequestAction(); }},
        {L"GenerateLetterRequest", [] () -> GTutorialAction* { return new GGenerateLetterRequestAction(); }},
        {L"GeneratePauseRequest", [] () -> GTutorialAction* { return new GGeneratePauseRequestAction(); }},
    };
    for (const Kind& kind : kinds) {
        if (equalWide(type, kind.type)) return kind.make();
    }
    return nullptr;
}

// ---- Timed -------------------------------------------------------------------

void GTimedAction::update(uint32_t ms) {
    if (remainingMs_ > 0) remainingMs_ -= engine::saturatingInt(ms);
}

void GTimedAction::read(XmlReader& reader) { remainingMs_ = reader.getAttributeValueAsInt(L"Time", 0); }

// ---- Mouse click ---------------------------------------------------------------

const EventMap<GMouseClickAction>& GMouseClickAction::getEventMap() {
    using A = GMouseClickAction;
    static const EventMap<A> map({
        {EventId::NodePressedEvent, &call<A, &A::onNodePressed>},
        {EventId::ListItemPressedEvent, &call<A, &A::onListItemPressed>},
    });
    return map;
}

bool GMouseClickAction::onNodePressed(Event*) {
    done_ = true;
    return blockWithCue();
}

bool GMouseClickAction::onListItemPressed(Event* event) { return onNodePressed(event); }

// ---- Building press ---------------------------------------------------------------

const EventMap<GBuildingPressAction>& GBuildingPressAction::getEventMap() {
    using A = GBuildingPressAction;
    static const EventMap<A> map({
        {EventId::NodePressedEvent, &call<A, &A::onNodePressed>},
        {EventId::ListItemPressedEvent, &call<A, &A::onListItemPressed>},
    });
    return map;
}

void GBuildingPressAction::read(XmlReader& reader) { buildingTypes_ = readNames(reader, L"BuildingTypes"); }

bool GBuildingPressAction::onNodePressed(Event* event) {
    BaseNode* node = static_cast<NodePressedEvent*>(event)->getNode();
    if (node && node->isOfType(kBuildingNodeType) &&
        listed(buildingTypes_, buildingName(static_cast<GBuildingNode*>(node)))) {
        done_ = true;
        return false;
    }
    return blockWithCue();
}

bool GBuildingPressAction::onListItemPressed(Event*) { return true; }

void GBuildingPressAction::addTargets(BaseNode* scene, std::vector<rectf>& targets) const {
    addBuildingTargets(scene, buildingTypes_, targets);
}

// ---- Control press ---------------------------------------------------------------

const EventMap<GControlPressAction>& GControlPressAction::getEventMap() {
    using A = GControlPressAction;
    static const EventMap<A> map({
        {EventId::NodePressedEvent, &call<A, &A::onNodePressed>},
        {EventId::ListItemPressedEvent, &call<A, &A::onListItemPressed>},
    });
    return map;
}

void GControlPressAction::read(XmlReader& reader) { controls_ = readNames(reader, L"Controls"); }

bool GControlPressAction::onNodePressed(Event* event) {
    if (listed(controls_, pressedName(event))) {
        done_ = true;
        return false;
    }
    return blockWithCue();
}

bool GControlPressAction::onListItemPressed(Event*) { return true; }

void GControlPressAction::addTargets(BaseNode* scene, std::vector<rectf>& targets) const {
    for (uint32_t i = 0; i < controls_.size() && scene; ++i) {
        if (BaseNode* control = scene->findChild(controls_[i])) targets.push_back(screenRectOf(control));
    }
}

// ---- List item press ---------------------------------------------------------------

const EventMap<GListItemPressAction>& GListItemPressAction::getEventMap() {
    using A = GListItemPressAction;
    static const EventMap<A> map({
        {EventId::NodePressedEvent, &call<A, &A::onNodePressed>},
        {EventId::ListItemPressedEvent, &call<A, &A::onListItemPressed>},
    });
    return map;
}

void GListItemPressAction::read(XmlReader& reader) { readList(reader, list_, indices_); }

void GListItemPressAction::addTargets(BaseNode* scene, std::vector<rectf>& targets) const {
    addListTargets(scene, list_, indices_, targets);
}

bool GListItemPressAction::onNodePressed(Event*) { return blockWithCue(); }

bool GListItemPressAction::onListItemPressed(Event* event) {
    if (isItemOf(event, list_, indices_)) {
        done_ = true;
        return false;
    }
    return blockWithCue();
}

// ---- List item hovered ---------------------------------------------------------------

const EventMap<GListItemHoveredAction>& GListItemHoveredAction::getEventMap() {
    using A = GListItemHoveredAction;
    static const EventMap<A> map({
        {EventId::ListItemHoveredEvent, &call<A, &A::onListItemHovered>},
    });
    return map;
}

void GListItemHoveredAction::read(XmlReader& reader) { readList(reader, list_, indices_); }

void GListItemHoveredAction::addTargets(BaseNode* scene, std::vector<rectf>& targets) const {
    addListTargets(scene, list_, indices_, targets);
}

bool GListItemHoveredAction::onListItemHovered(Event* event) {
    if (isItemOf(event, list_, indices_)) done_ = true;
    return false;
}

// ---- Building completed ---------------------------------------------------------------

const EventMap<GBuildingCompletedAction>& GBuildingCompletedAction::getEventMap() {
    using A = GBuildingCompletedAction;
    static const EventMap<A> map({
        {EventId::GBuildingCompletedEvent, &call<A, &A::onBuildingCompleted>},
        {EventId::NodePressedEvent, &call<A, &A::onNodePressed>},
    });
    return map;
}

void GBuildingCompletedAction::read(XmlReader& reader) { buildings_ = readNames(reader, L"Buildings"); }

void GBuildingCompletedAction::addTargets(BaseNode* scene, std::vector<rectf>& targets) const {
    addBuildingTargets(scene, buildings_, targets);
}

bool GBuildingCompletedAction::onBuildingCompleted(Event* event) {
    if (listed(buildings_, completedName(event))) done_ = true;
    return false;
}

bool GBuildingCompletedAction::onNodePressed(Event* event) {
    // The building the lesson waits for must not be abandoned.
    if (pressedName(event) == makeNameId("AbortButton")) return blockWithCue();
    return false;
}

// ---- Building completed or exists -------------------------------------------------------

const EventMap<GBuildingCompletedOrExistAction>& GBuildingCompletedOrExistAction::getEventMap() {
    using A = GBuildingCompletedOrExistAction;
    static const EventMap<A> map({
        {EventId::GBuildingCompletedEvent, &call<A, &A::onBuildingCompleted>},
    });
    return map;
}

void GBuildingCompletedOrExistAction::start(EventReceiver* receiver) { receiver_ = receiver; }

void GBuildingCompletedOrExistAction::update(uint32_t) {
    if (!receiver_) return;
    CountedRef<GBuildingExistsQueryEvent> query(new GBuildingExistsQueryEvent());
    query->getBuildingTypes() = buildingTypes_;
    receiver_->handleEvent(query.get());
    if (query->getAnswer()) done_ = true;
}

void GBuildingCompletedOrExistAction::read(XmlReader& reader) {
    buildingTypes_ = readNames(reader, L"BuildingTypes");
}

bool GBuildingCompletedOrExistAction::onBuildingCompleted(Event* event) {
    if (listed(buildingTypes_, completedName(event))) done_ = true;
    return false;
}

// ---- Waiting for requests ---------------------------------------------------------------

const EventMap<GWaitDirtyAction>& GWaitDirtyAction::getEventMap() {
    using A = GWaitDirtyAction;
    static const EventMap<A> map({
        {EventId::GDirtyBuildingRequestEvent, &call<A, &A::onRequest>},
    });
    return map;
}

bool GWaitDirtyAction::onRequest(Event*) {
    done_ = true;
    return false;
}

const EventMap<GWaitLetterAction>& GWaitLetterAction::getEventMap() {
    using A = GWaitLetterAction;
    static const EventMap<A> map({
        {EventId::GLetterRequestEvent, &call<A, &A::onRequest>},
    });
    return map;
}

bool GWaitLetterAction::onRequest(Event*) {
    done_ = true;
    return false;
}

// ---- Request generators ---------------------------------------------------------------

void GGenerateRequestAction::update(uint32_t) {
    if (!receiver_) return;
    CountedRef<Event> request(makeRequest());
    sendToReceiver(receiver_, request.get());
}

void GGenerateRequestAction::read(XmlReader& reader) {
    buildingTypes_ = readNames(reader, L"BuildingTypes");
    placeNames_ = readNames(reader, L"PlaceNames");
}

Event* GGenerateSellBuildingRequestAction::makeRequest() const {
    return withLists(new GSellBuildingRequestEvent());
}

Event* GGenerateBrokenBuildingRequestAction::makeRequest() const {
    return withLists(new GBrokenBuildingRequestEvent());
}

Event* GGenerateDirtyBuildingRequestAction::makeRequest() const {
    return withLists(new GDirtyBuildingRequestEvent());
}

Event* GGenerateLetterRequestAction::makeRequest() const {
    GLetterRequestEvent* letter = withLists(new GLetterRequestEvent());
    letter->moneyRange = vector2df(1.5f, 2.0f);
    letter->waitTimeRange = vector2df(200000000.0f, 200000000.0f);
    return letter;
}

// ---- Pause ---------------------------------------------------------------

void GGeneratePauseRequestAction::start(EventReceiver* receiver) {
    receiver_ = receiver;
    CountedRef<GPauseRequestEvent> pause(new GPauseRequestEvent(true));
    sendToReceiver(receiver_, pause.get());
}

void GGeneratePauseRequestAction::finish() {
    if (!receiver_) return;
    CountedRef<GPauseRequestEvent> resume(new GPauseRequestEvent(false));
    sendToReceiver(receiver_, resume.get());
}

}  // namespace game
