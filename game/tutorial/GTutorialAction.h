#pragma once
// What a tutorial step waits for or does. While a step is current the
// tutorial hands every event it sees to the step's actions: an action may
// complete on it, or block presses that are not part of the lesson (it then
// plays "ButtonMissed" and consumes the event). Other actions drive the level
// through the receiver the step gives them: a sale offer, a breakdown, a
// dirty building, a money letter, a pause.
#include "engine/core/EventMap.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include "engine/core/Types.h"

#include <vector>

namespace engine {
class BaseNode;
class XmlReader;
}

namespace game {

class GTutorialAction : public engine::EventReceiver {
public:
    // The step is shown; the receiver gets the action's requests (may be null).
    virtual void start(engine::EventReceiver* receiver);
    virtual void update(uint32_t ms);
    virtual bool isComplete() const = 0;
    // The step ends.
    virtual void finish();
    // The attributes of the "Action" element the reader stands on.
    virtual void read(engine::XmlReader& reader);
    // The screen rectangles of what the step asks the player to use, found
    // under the scene (the controls, list items or buildings the action
    // names), so that the step's window stays off them. Default none.
    virtual void addTargets(engine::BaseNode* scene, std::vector<engine::rectf>& targets) const;
};

// The screen rectangle of a node: its place summed up its parents, and its
// bounds.
engine::rectf screenRectOf(const engine::BaseNode* node);

// The action of an "Action" element's exact "Type", not yet read; null for
// an unknown type.
GTutorialAction* createTutorialAction(const engine::stringw& type);

// Hands the event to the receiver and, when it does not take it, routes it
// up from there.
void sendToReceiver(engine::EventReceiver* receiver, engine::Event* event);

// ---- Waiting -----------------------------------------------------------------

// Ends after "Time" milliseconds.
class GTimedAction : public GTutorialAction {
public:
    void update(uint32_t ms) override;
    bool isComplete() const override { return remainingMs_ <= 0; }
    void read(engine::XmlReader& reader) override;
    int32_t getRemainingMs() const { return remainingMs_; }

private:
    int32_t remainingMs_ = 0;
};

// The base of the actions that watch events; done once they saw theirs.
class GEventWatchAction : public GTutorialAction {
public:
    bool isComplete() const override { return done_; }

protected:
    bool done_ = false;
};

// Any press ends the step; the press itself is swallowed.
class GMouseClickAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GMouseClickAction)
    bool onNodePressed(engine::Event* event);
    bool onListItemPressed(engine::Event* event);
};

// A press on a building whose record name is listed; other presses blocked.
class GBuildingPressAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GBuildingPressAction)
    void read(engine::XmlReader& reader) override;
    void addTargets(engine::BaseNode* scene, std::vector<engine::rectf>& targets) const override;
    bool onNodePressed(engine::Event* event);
    bool onListItemPressed(engine::Event* event);

private:
    engine::array<engine::NameId> buildingTypes_;
};

// A press on a control whose node name is listed; other presses blocked.
class GControlPressAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GControlPressAction)
    void read(engine::XmlReader& reader) override;
    void addTargets(engine::BaseNode* scene, std::vector<engine::rectf>& targets) const override;
    bool onNodePressed(engine::Event* event);
    bool onListItemPressed(engine::Event* event);

private:
    engine::array<engine::NameId> controls_;
};

// A press on a listed item of the named list; other presses blocked.
class GListItemPressAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GListItemPressAction)
    void read(engine::XmlReader& reader) override;
    void addTargets(engine::BaseNode* scene, std::vector<engine::rectf>& targets) const override;
    bool onNodePressed(engine::Event* event);
    bool onListItemPressed(engine::Event* event);

private:
    engine::NameId list_ = engine::kNoName;
    engine::array<int32_t> indices_;
};

// A hover over a listed item of the named list; blocks nothing.
class GListItemHoveredAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GListItemHoveredAction)
    void read(engine::XmlReader& reader) override;
    void addTargets(engine::BaseNode* scene, std::vector<engine::rectf>& targets) const override;
    bool onListItemHovered(engine::Event* event);

private:
    engine::NameId list_ = engine::kNoName;
    engine::array<int32_t> indices_;
};

// A listed building is completed; the "AbortButton" is blocked meanwhile.
class GBuildingCompletedAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GBuildingCompletedAction)
    void read(engine::XmlReader& reader) override;
    void addTargets(engine::BaseNode* scene, std::vector<engine::rectf>& targets) const override;
    bool onBuildingCompleted(engine::Event* event);
    bool onNodePressed(engine::Event* event);

private:
    engine::array<engine::NameId> buildings_;
};

// A listed building is completed, or the level reports that one exists.
class GBuildingCompletedOrExistAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GBuildingCompletedOrExistAction)
    void start(engine::EventReceiver* receiver) override;
    void update(uint32_t ms) override;
    void read(engine::XmlReader& reader) override;
    bool onBuildingCompleted(engine::Event* event);

private:
    engine::EventReceiver* receiver_ = nullptr;
    engine::array<engine::NameId> buildingTypes_;
};

// A dirty-building request passes.
class GWaitDirtyAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GWaitDirtyAction)
    bool onRequest(engine::Event* event);
};

// A money-letter request passes.
class GWaitLetterAction : public GEventWatchAction {
    ENGINE_DECLARE_EVENT_MAP(GWaitLetterAction)
    bool onRequest(engine::Event* event);
};

// ---- Driving the level -------------------------------------------------------

// Sends one request of its kind to the receiver at each update; complete at
// once, so its step ends after exactly one request.
class GGenerateRequestAction : public GTutorialAction {
public:
    void start(engine::EventReceiver* receiver) override { receiver_ = receiver; }
    void update(uint32_t ms) override;
    bool isComplete() const override { return true; }
    void read(engine::XmlReader& reader) override;

protected:
    // A new request (count 1) with the lists filled in.
    virtual engine::Event* makeRequest() const = 0;
    template <class R>
    R* withLists(R* request) const {
        request->buildingTypes = buildingTypes_;
        request->placeNames = placeNames_;
        return request;
    }

    engine::EventReceiver* receiver_ = nullptr;
    engine::array<engine::NameId> buildingTypes_;
    engine::array<engine::NameId> placeNames_;
};

class GGenerateSellBuildingRequestAction : public GGenerateRequestAction {
protected:
    engine::Event* makeRequest() const override;
};

class GGenerateBrokenBuildingRequestAction : public GGenerateRequestAction {
protected:
    engine::Event* makeRequest() const override;
};

class GGenerateDirtyBuildingRequestAction : public GGenerateRequestAction {
protected:
    engine::Event* makeRequest() const override;
};

// The letter also carries the money factor range (1.5, 2.0) and a wait that
// outlasts any level.
class GGenerateLetterRequestAction : public GGenerateRequestAction {
protected:
    engine::Event* makeRequest() const override;
};

// Pauses the level while its step is shown; never completes by itself.
class GGeneratePauseRequestAction : public GTutorialAction {
public:
    void start(engine::EventReceiver* receiver) override;
    void finish() override;
    bool isComplete() const override { return false; }

private:
    engine::EventReceiver* receiver_ = nullptr;
};

}  // namespace game
