#pragma once
#include "engine/core/EventIds.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include <cstdint>

namespace irr {
namespace video {
class IVideoDriver;
}
}  // namespace irr

namespace engine {

class AudioDriver;
class BaseNode;
class Base;  // the base class of animators
class State;
class SoundCue;

// Declares the identity of an event class: its type id, and an is-a test that
// answers its own id and, through the base, every base's id and 0.
#define ENGINE_EVENT_TYPE(BaseClass, id)                                        \
public:                                                                         \
    static constexpr int32_t kTypeId = (id);                                    \
    int32_t getTypeId() const override { return kTypeId; }                      \
    bool isOfType(int32_t typeId) const override {                             \
        return typeId == kTypeId || BaseClass::isOfType(typeId);                \
    }

// Root of every event: a reference-counted notice with a type id, an is-a test
// and a category bit. Events are made on the heap with count 1 and released by
// their poster after delivery; payload pointers are never counted.
class Event : public virtual RefCounted {
public:
    static constexpr int32_t kTypeId = EventId::Event;

    explicit Event(int32_t category = 0) : category_(category) {}

    // Events are told apart by type id only: every class answers the same name.
    virtual const wchar_t* getClassName() const;
    virtual int32_t getTypeId() const { return kTypeId; }
    virtual bool isOfType(int32_t typeId) const { return typeId == kTypeId; }

    int32_t getCategory() const { return category_; }

private:
    int32_t category_;
};

// ---- Families ------------------------------------------------------------

class DriverEvent : public Event {
    ENGINE_EVENT_TYPE(Event, EventId::DriverEvent)
    DriverEvent() : Event(EventCategory::Driver) {}
};

class SystemEvent : public Event {
    ENGINE_EVENT_TYPE(Event, EventId::SystemEvent)
    SystemEvent() : Event(EventCategory::System) {}
};

// Input events take their category from the keyboard or mouse family below.
class InputEvent : public Event {
    ENGINE_EVENT_TYPE(Event, EventId::InputEvent)
    explicit InputEvent(int32_t category = 0) : Event(category) {}
};

// Key events: the typed character (a UTF-16 code unit, 0 when none), the
// Windows virtual-key code and the modifier flags held at the last key-down.
class KeyboardEvent : public InputEvent {
    ENGINE_EVENT_TYPE(InputEvent, EventId::KeyboardEvent)
    KeyboardEvent(int32_t character = 0, int32_t key = 0, bool shift = false, bool control = false)
        : InputEvent(EventCategory::Keyboard),
          character_(character),
          key_(key),
          shift_(shift ? 1 : 0),
          control_(control ? 1 : 0) {}

    int32_t getCharacter() const { return character_; }
    int32_t getKey() const { return key_; }
    bool isShiftDown() const { return shift_ != 0; }
    bool isControlDown() const { return control_ != 0; }
    // A third flag that no source ever sets.
    bool getThirdFlag() const { return thirdFlag_ != 0; }

private:
    int32_t character_;
    int32_t key_;
    uint8_t shift_;
    uint8_t control_;
    uint8_t thirdFlag_ = 0;
};

// Mouse events: the cursor in client-area pixels of the window (negative left
// of or above the client area while the mouse is captured).
class MouseEvent : public InputEvent {
    ENGINE_EVENT_TYPE(InputEvent, EventId::MouseEvent)
    MouseEvent(int32_t x = 0, int32_t y = 0) : InputEvent(EventCategory::Mouse), x_(x), y_(y) {}

    int32_t getX() const { return x_; }
    int32_t getY() const { return y_; }

private:
    int32_t x_;
    int32_t y_;
};

// Node notifications. The node pointer is the first node of the payload; it is
// not counted. Events with more nodes add the others after it.
class NodeEvent : public Event {
    ENGINE_EVENT_TYPE(Event, EventId::NodeEvent)
    explicit NodeEvent(BaseNode* node = nullptr) : Event(EventCategory::Node), node_(node) {}

    BaseNode* getNode() const { return node_; }

private:
    BaseNode* node_;
};

class SoundEvent : public Event {
    ENGINE_EVENT_TYPE(Event, EventId::SoundEvent)
    SoundEvent() : Event(EventCategory::Sound) {}
};

// ---- Driver events -------------------------------------------------------

class VideoDriverReleasedEvent : public DriverEvent {
    ENGINE_EVENT_TYPE(DriverEvent, EventId::VideoDriverReleasedEvent)
};

class VideoDriverCreatedEvent : public DriverEvent {
    ENGINE_EVENT_TYPE(DriverEvent, EventId::VideoDriverCreatedEvent)
    explicit VideoDriverCreatedEvent(irr::video::IVideoDriver* driver) : driver_(driver) {}

    irr::video::IVideoDriver* getDriver() const { return driver_; }

private:
    irr::video::IVideoDriver* driver_;
};

class AudioDriverCreatedEvent : public DriverEvent {
    ENGINE_EVENT_TYPE(DriverEvent, EventId::AudioDriverCreatedEvent)
    explicit AudioDriverCreatedEvent(AudioDriver* driver) : driver_(driver) {}

    AudioDriver* getDriver() const { return driver_; }

private:
    AudioDriver* driver_;
};

// ---- System events -------------------------------------------------------

class UpdateEvent : public SystemEvent {
    ENGINE_EVENT_TYPE(SystemEvent, EventId::UpdateEvent)
    explicit UpdateEvent(uint32_t elapsedMs) : elapsedMs_(elapsedMs) {}

    uint32_t getElapsedMs() const { return elapsedMs_; }

private:
    uint32_t elapsedMs_;
};

class RenderEvent : public SystemEvent {
    ENGINE_EVENT_TYPE(SystemEvent, EventId::RenderEvent)
};

class WindowFocusEvent : public SystemEvent {
    ENGINE_EVENT_TYPE(SystemEvent, EventId::WindowFocusEvent)
    explicit WindowFocusEvent(bool focused) : focused_(focused ? 1 : 0) {}

    bool isFocused() const { return focused_ != 0; }

private:
    uint8_t focused_;
};

class ApplicationActivationEvent : public SystemEvent {
    ENGINE_EVENT_TYPE(SystemEvent, EventId::ApplicationActivationEvent)
    explicit ApplicationActivationEvent(bool activated) : activated_(activated ? 1 : 0) {}

    bool isActivated() const { return activated_ != 0; }

private:
    int32_t activated_;
};

// The player asked to close the window; a receiver that handles it keeps it open.
class CEventSystemFlowCloseRequest : public SystemEvent {
    ENGINE_EVENT_TYPE(SystemEvent, EventId::CEventSystemFlowCloseRequest)
};

class ApplicationCloseEvent : public SystemEvent {
    ENGINE_EVENT_TYPE(SystemEvent, EventId::ApplicationCloseEvent)
};

// ---- Mouse and keyboard events -------------------------------------------

class MouseMoveEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::MouseMoveEvent)
    MouseMoveEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

class LeftButtonDownEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::LeftButtonDownEvent)
    LeftButtonDownEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

class RightButtonDownEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::RightButtonDownEvent)
    RightButtonDownEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

class MiddleButtonDownEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::MiddleButtonDownEvent)
    MiddleButtonDownEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

class LeftButtonUpEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::LeftButtonUpEvent)
    LeftButtonUpEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

class RightButtonUpEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::RightButtonUpEvent)
    RightButtonUpEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

class MiddleButtonUpEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::MiddleButtonUpEvent)
    MiddleButtonUpEvent(int32_t x, int32_t y) : MouseEvent(x, y) {}
};

// The wheel value is the signed wheel delta divided by 120: one notch is 1.0,
// positive away from the user.
class MouseWheelEvent : public MouseEvent {
    ENGINE_EVENT_TYPE(MouseEvent, EventId::MouseWheelEvent)
    MouseWheelEvent(int32_t x, int32_t y, float wheel) : MouseEvent(x, y), wheel_(wheel) {}

    float getWheel() const { return wheel_; }

private:
    float wheel_;
};

class KeyDownEvent : public KeyboardEvent {
    ENGINE_EVENT_TYPE(KeyboardEvent, EventId::KeyDownEvent)
    KeyDownEvent(int32_t character, int32_t key, bool shift, bool control)
        : KeyboardEvent(character, key, shift, control) {}
};

class KeyUpEvent : public KeyboardEvent {
    ENGINE_EVENT_TYPE(KeyboardEvent, EventId::KeyUpEvent)
    KeyUpEvent(int32_t character, int32_t key, bool shift, bool control)
        : KeyboardEvent(character, key, shift, control) {}
};

// ---- Scene manager events ------------------------------------------------

// A scene joined a scene manager; the node is the manager.
class SceneShownEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::SceneShownEvent)
    explicit SceneShownEvent(BaseNode* manager) : NodeEvent(manager) {}
};

// The node is a template collection (or another node whose templates changed);
// controls re-apply their templates on it.
class NodeEvent34 : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::NodeEvent34)
    explicit NodeEvent34(BaseNode* node) : NodeEvent(node) {}
};

// A change of the scene stack: the scene losing the top (may be null), the
// scene gaining it (may be null), and whether the change goes forward (a push
// or a new stack) rather than back (closing scenes above).
class SceneChangeEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::SceneChangeEvent)
    SceneChangeEvent(BaseNode* firstScene, BaseNode* secondScene, bool forward)
        : NodeEvent(firstScene), secondScene_(secondScene), forward_(forward ? 1 : 0) {}

    BaseNode* getFirstScene() const { return getNode(); }
    BaseNode* getSecondScene() const { return secondScene_; }
    bool isForward() const { return forward_ != 0; }

private:
    BaseNode* secondScene_;
    uint8_t forward_;
};

class SceneTransitionEndEvent : public SceneChangeEvent {
    ENGINE_EVENT_TYPE(SceneChangeEvent, EventId::SceneTransitionEndEvent)
    SceneTransitionEndEvent(BaseNode* firstScene, BaseNode* secondScene, bool forward)
        : SceneChangeEvent(firstScene, secondScene, forward) {}
};

class SceneActivatedEvent : public SceneChangeEvent {
    ENGINE_EVENT_TYPE(SceneChangeEvent, EventId::SceneActivatedEvent)
    SceneActivatedEvent(BaseNode* firstScene, BaseNode* secondScene, bool forward)
        : SceneChangeEvent(firstScene, secondScene, forward) {}
};

// The index of the message-box button that closed the box (0 = first).
class MessageBoxResultEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::MessageBoxResultEvent)
    explicit MessageBoxResultEvent(int32_t result) : result_(result) {}

    int32_t getResult() const { return result_; }

private:
    int32_t result_;
};

// ---- Tab scene events: the old page (or none), then the new page ---------

class TabSwitchEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::TabSwitchEvent)
    TabSwitchEvent(BaseNode* oldPage, BaseNode* newPage) : NodeEvent(oldPage), newPage_(newPage) {}

    BaseNode* getOldPage() const { return getNode(); }
    BaseNode* getNewPage() const { return newPage_; }

private:
    BaseNode* newPage_;
};

class TabSwitchedEvent : public TabSwitchEvent {
    ENGINE_EVENT_TYPE(TabSwitchEvent, EventId::TabSwitchedEvent)
    TabSwitchedEvent(BaseNode* oldPage, BaseNode* newPage) : TabSwitchEvent(oldPage, newPage) {}
};

class TabSwitchingEvent : public TabSwitchEvent {
    ENGINE_EVENT_TYPE(TabSwitchEvent, EventId::TabSwitchingEvent)
    TabSwitchingEvent(BaseNode* oldPage, BaseNode* newPage) : TabSwitchEvent(oldPage, newPage) {}
};

// ---- Control events ------------------------------------------------------

// Base of the control events with two nodes: the target (the node's pointer)
// and then the origin. Each request class is the base of its notification.
class NodeTargetOriginEvent : public NodeEvent {
public:
    BaseNode* getTarget() const { return getNode(); }
    BaseNode* getOrigin() const { return origin_; }

protected:
    NodeTargetOriginEvent(BaseNode* target, BaseNode* origin) : NodeEvent(target), origin_(origin) {}

private:
    BaseNode* origin_;
};

#define ENGINE_TARGET_ORIGIN_EVENT(Name, BaseClass)                          \
    class Name : public BaseClass {                                          \
        ENGINE_EVENT_TYPE(BaseClass, EventId::Name)                          \
        Name(BaseNode* target, BaseNode* origin) : BaseClass(target, origin) {} \
    };

ENGINE_TARGET_ORIGIN_EVENT(NodePressDownEvent, NodeTargetOriginEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodePressedDownEvent, NodePressDownEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeReleaseEvent, NodeTargetOriginEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeReleasedEvent, NodeReleaseEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeHoverEvent, NodeTargetOriginEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeHoveredEvent, NodeHoverEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeUnhoverEvent, NodeTargetOriginEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeUnhoveredEvent, NodeUnhoverEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeFocusEvent, NodeTargetOriginEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeFocusedEvent, NodeFocusEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeUnfocusEvent, NodeTargetOriginEvent)
ENGINE_TARGET_ORIGIN_EVENT(NodeUnfocusedEvent, NodeUnfocusEvent)

#undef ENGINE_TARGET_ORIGIN_EVENT

// One-node control events and the value notice; the node is the control.
#define ENGINE_ONE_NODE_EVENT(Name, BaseClass)                   \
    class Name : public BaseClass {                              \
        ENGINE_EVENT_TYPE(BaseClass, EventId::Name)              \
        explicit Name(BaseNode* node) : BaseClass(node) {}       \
    };

ENGINE_ONE_NODE_EVENT(NodePressPreviewBaseEvent, NodeEvent)
ENGINE_ONE_NODE_EVENT(NodePressPreviewEvent, NodePressPreviewBaseEvent)
ENGINE_ONE_NODE_EVENT(NodePressEvent, NodeEvent)
ENGINE_ONE_NODE_EVENT(NodePressedEvent, NodePressEvent)
ENGINE_ONE_NODE_EVENT(ValueChangedEvent, NodeEvent)

#undef ENGINE_ONE_NODE_EVENT

// ---- List events: the list node and an item index ------------------------

class ListItemEventBase : public NodeEvent {
public:
    int32_t getItemIndex() const { return itemIndex_; }

protected:
    ListItemEventBase(BaseNode* list, int32_t itemIndex) : NodeEvent(list), itemIndex_(itemIndex) {}

private:
    int32_t itemIndex_;
};

class ListSelectionChangedEvent : public ListItemEventBase {
    ENGINE_EVENT_TYPE(ListItemEventBase, EventId::ListSelectionChangedEvent)
    ListSelectionChangedEvent(BaseNode* list, int32_t itemIndex) : ListItemEventBase(list, itemIndex) {}
};

class ListItemPressedEvent : public ListItemEventBase {
    ENGINE_EVENT_TYPE(ListItemEventBase, EventId::ListItemPressedEvent)
    ListItemPressedEvent(BaseNode* list, int32_t itemIndex) : ListItemEventBase(list, itemIndex) {}
};

class ListItemCheckedEvent : public ListItemEventBase {
    ENGINE_EVENT_TYPE(ListItemEventBase, EventId::ListItemCheckedEvent)
    ListItemCheckedEvent(BaseNode* list, int32_t itemIndex, bool checked)
        : ListItemEventBase(list, itemIndex), checked_(checked ? 1 : 0) {}

    bool isChecked() const { return checked_ != 0; }

private:
    uint8_t checked_;
};

class ListItemHoveredEvent : public ListItemEventBase {
    ENGINE_EVENT_TYPE(ListItemEventBase, EventId::ListItemHoveredEvent)
    ListItemHoveredEvent(BaseNode* list, int32_t itemIndex) : ListItemEventBase(list, itemIndex) {}
};

// ---- State and animator events -------------------------------------------

// An animator reached its end or looped back; sent to its State.
class AnimatorEndedEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::AnimatorEndedEvent)
    AnimatorEndedEvent(Base* animator, uint32_t elapsedMs, bool looped)
        : animator_(animator), elapsedMs_(elapsedMs), looped_(looped) {}

    Base* getAnimator() const { return animator_; }
    uint32_t getElapsedMs() const { return elapsedMs_; }
    bool isLooped() const { return looped_; }

private:
    Base* animator_;
    uint32_t elapsedMs_;
    bool looped_;
};

class StateStartedEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::StateStartedEvent)
    StateStartedEvent(State* state, NameId reportName) : state_(state), reportName_(reportName) {}

    State* getState() const { return state_; }
    NameId getReportName() const { return reportName_; }

private:
    State* state_;
    NameId reportName_;
};

class StateEndedEvent : public NodeEvent {
    ENGINE_EVENT_TYPE(NodeEvent, EventId::StateEndedEvent)
    StateEndedEvent(State* state, NameId reportName, bool interrupted)
        : state_(state), reportName_(reportName), interrupted_(interrupted) {}

    State* getState() const { return state_; }
    NameId getReportName() const { return reportName_; }
    bool isInterrupted() const { return interrupted_; }

private:
    State* state_;
    NameId reportName_;
    bool interrupted_;
};

// Node state notices: the node and a state name (for the tag event, the name
// the state was asked for, or a path mover's end tag).
class NodeStateEventBase : public NodeEvent {
public:
    NameId getName() const { return name_; }

protected:
    NodeStateEventBase(BaseNode* node, NameId name) : NodeEvent(node), name_(name) {}

private:
    NameId name_;
};

#define ENGINE_NODE_STATE_EVENT(Name)                                        \
    class Name : public NodeStateEventBase {                                 \
        ENGINE_EVENT_TYPE(NodeStateEventBase, EventId::Name)                 \
        Name(BaseNode* node, NameId name) : NodeStateEventBase(node, name) {} \
    };

ENGINE_NODE_STATE_EVENT(NodeStateSkippedEvent)
ENGINE_NODE_STATE_EVENT(NodeTagReachedEvent)
ENGINE_NODE_STATE_EVENT(NodeStateStartedEvent)
ENGINE_NODE_STATE_EVENT(NodeStateFinishedEvent)

#undef ENGINE_NODE_STATE_EVENT

// Event 74 under the name the game knows it by: every child has ended a state
// entered through BaseNode::enterStateInChildren.
using ChildrenStateEndedEvent = NodeStateFinishedEvent;

// ---- Sound events --------------------------------------------------------

// A playing cue instance finished; handed to the instance itself.
class SoundFinishedEvent : public SoundEvent {
    ENGINE_EVENT_TYPE(SoundEvent, EventId::SoundFinishedEvent)
    explicit SoundFinishedEvent(SoundCue* cue) : cue_(cue) {}

    SoundCue* getCue() const { return cue_; }

private:
    SoundCue* cue_;
};

}  // namespace engine
