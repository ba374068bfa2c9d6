#pragma once
// Holds the open screens.
//
// The manager is a node whose children are scenes, kept in a stack through
// their scene-below links. It opens, replaces and closes scenes with
// transitions played as named node states, gives every scene it opens a timer
// scheduler of its own (registered with the device while the scene is in the
// manager), routes keyboard and mouse input to the top scene only, delivers
// the events its nodes post at every update of its own scheduler, and draws
// the draw lists of its scenes in depth order through the quad batcher.
//
// While a scene plays a transition it is busy: it cannot be set, pushed,
// popped or own a message box, and as the top scene it receives no input.
#include "engine/core/BaseNode.h"
#include "engine/core/DrawBatch.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerListener.h"
#include "engine/core/TimerScheduler.h"
#include <list>

namespace engine {

class IEventReceiverRegistry;
class TemplateCollectionNode;

// What the manager needs of the message box it shows over a scene; the
// message box node (type id 7) implements it.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void setTitleText(const stringw& text) = 0;
    virtual void setBodyText(const stringw& text) = 0;
    virtual void setButtonTexts(const array<stringw>& texts) = 0;
    // The index of the button that closed the box (0 when closed otherwise).
    virtual int32_t getResult() const = 0;
};

// Where the pointer is, in the coordinates of mouse events; the device's
// cursor control answers it. False when it does not know.
class ICursorPositionSource {
public:
    virtual ~ICursorPositionSource() = default;
    virtual bool getCursorPosition(int32_t& x, int32_t& y) const = 0;
};

// One scene that is playing a transition state. A transition that moves two
// scenes is stored twice, once for each scene's end.
struct SceneTransition {
    SceneNode* firstScene = nullptr;   // covered or closed (not counted)
    NameId firstTransition = kNoName;
    SceneNode* secondScene = nullptr;  // opened, revealed or shown over the first
    NameId secondTransition = kNoName;
    bool forward = true;               // opening rather than going back
    bool keepVisible = false;          // the first scene stays visible when covered
};

// The names of the transition states, interned once on first use.
struct SceneTransitionNames {
    NameId navTo;        // "NavTo": the scene set or pushed, and every message box
    NameId navFrom;      // "NavFrom": the scene a push covers
    NameId navBackFrom;  // "NavBackFrom": the scene a pop closes
    NameId navBackTo;    // "NavBackTo": the scene a pop reveals
};
const SceneTransitionNames& sceneTransitionNames();
inline NameId navFromName() { return sceneTransitionNames().navFrom; }
inline NameId navToName() { return sceneTransitionNames().navTo; }
inline NameId navBackFromName() { return sceneTransitionNames().navBackFrom; }
inline NameId navBackToName() { return sceneTransitionNames().navBackTo; }

class SceneManager : public BaseNode, public TimerListener, public NodeEventQueue {
    ENGINE_NODE_TYPE(SceneManager, BaseNode, 22)

public:
    // The order number at which scene schedulers are registered with the
    // device: after every other receiver.
    static constexpr int32_t kSceneSchedulerOrder = 1000;
    static constexpr int32_t kMessageBoxTypeId = 7;

    // Makes the message box for showMessageBox: a new scene (count 1) of type
    // id 7 implementing IMessageBox, with the context and the manager.
    using MessageBoxMaker = SceneNode* (*)(const CreationContext* context, BaseNode* manager);
    // Installed by the message box node; without one no message box is shown.
    static void setMessageBoxMaker(MessageBoxMaker maker);
    // Installed by the quad batcher's part of the engine; without one, scenes
    // are drawn through a batcher only when one was set.
    static void setDriverBatchFinder(DriverBatchFinder finder);

    SceneManager(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SceneManager() override;

    // ---- Set-up ------------------------------------------------------------
    // Stores the scheduler (not counted) and moves the manager's timer to it:
    // the queue is delivered at every update of that scheduler.
    void setTimerScheduler(TimerScheduler* scheduler);
    // That scheduler, while the manager's timer is registered with it. (A
    // manager is never the owner scene of a node, so no state plays on it.)
    TimerScheduler* getTimerScheduler() const override { return TimerListener::getTimerScheduler(); }
    // Holds the collection and, when not null, sends NodeEvent34 with it down
    // the scenes so that controls re-apply their templates.
    void setTemplateCollection(TemplateCollectionNode* collection);
    TemplateCollectionNode* getTemplateCollection() const override { return templateCollection_.get(); }
    // The device's receiver list, where scene schedulers are registered. Not
    // counted: it outlives the manager, or is taken away with null first.
    void setEventReceiverRegistry(IEventReceiverRegistry* registry) { registry_ = registry; }
    IEventReceiverRegistry* getEventReceiverRegistry() const { return registry_; }
    // Where the pointer is when a transition ends (not counted); without one
    // no mouse move is sent then.
    void setCursorPositionSource(ICursorPositionSource* source) { cursor_ = source; }
    // The batcher the scenes are drawn through (counted). Without one, the
    // batcher the installed finder gives for the driver being drawn with is
    // taken at each draw, so the manager follows a replaced driver; without
    // either, the items are drawn without begin, flush and end.
    void setQuadBatcher(IDrawBatch* batcher);
    IDrawBatch* getQuadBatcher() const;
    void setSortDrawList(bool sort) { sortDrawList_ = sort; }
    bool getSortDrawList() const { return sortDrawList_; }

    // ---- Scene stack -------------------------------------------------------
    // Replaces every scene with this one (none for null). The old scenes leave
    // at the next delivery of the queue, without transitions. False when the
    // scene is busy.
    bool setScene(SceneNode* scene, NameId transition = kNoName);
    // Opens the scene above the top scene (after the manager's last scene
    // without one, then it does not become the top). False for a null or busy
    // scene, or one already in the stack under the top.
    bool pushScene(SceneNode* top, SceneNode* scene, NameId coveredTransition = kNoName,
                   NameId newTransition = kNoName, bool keepVisible = false);
    // Closes the closing scene and every scene between it and the target,
    // which it reveals. False when either is null or busy, or the target is
    // not below the closing scene.
    bool popScenes(SceneNode* closing, SceneNode* target, NameId closingTransition = kNoName,
                   NameId revealedTransition = kNoName);
    // Shows a message box of the template over the owner: the box is centred
    // on the owner, the owner stays visible, and when the box closes the owner
    // gets a MessageBoxResultEvent. Null for a null or busy owner, a template
    // the collection lacks, or when no message box maker is installed.
    SceneNode* showMessageBox(SceneNode* owner, NameId templateName, const array<stringw>& buttons,
                              const stringw& title, const stringw& body);
    SceneNode* getTopScene() const { return topScene_; }

    // ---- Transitions -------------------------------------------------------
    // A null scene is never busy; otherwise whether a record names it.
    bool isBusy(const SceneNode* scene) const;
    // The first record naming the scene, or an empty one.
    SceneTransition findTransition(const SceneNode* scene) const;
    // Removes the first record naming the scene (the last record takes its place).
    void removeTransition(const SceneNode* scene);
    void addTransition(const SceneTransition& record) { transitions_.push_back(record); }
    const array<SceneTransition>& getTransitions() const { return transitions_; }
    // The end of a scene's transition state.
    bool onEvent74(NodeStateFinishedEvent* event) override;

    // ---- Event queue -------------------------------------------------------
    // Queues a delivery; the queue holds the event and the receiver until then.
    // (BaseNode::postEvent, which this hides, is how nodes reach it.)
    void postEvent(EventReceiver* receiver, int32_t mode, Event* event);
    void queueEvent(EventReceiver* target, int32_t mode, Event* event) override { postEvent(target, mode, event); }
    NodeEventQueue* getEventQueue() override { return this; }
    // Delivers the queue (oldest first; an event posted meanwhile comes next)
    // and then lets the scenes noted for removal leave.
    bool onTimer(uint32_t periodMs) override;
    size_t getQueuedEventCount() const { return queue_.size(); }

    // ---- Routing -----------------------------------------------------------
    // Input goes to the top scene only (its subtree, then itself), and not
    // while it plays a transition; other events go to every scene in stack
    // order until one takes it.
    bool routeToChildren(int32_t mode, Event* event) override;
    // To the parent when it takes the category; otherwise the route ends here
    // as handled.
    bool routeToParent(int32_t mode, Event* event) override;

    // ---- Drawing -----------------------------------------------------------
    // Collects the scenes' draw items, sorts them (when sorting is on) by
    // depth and then texture key, and draws them through the quad batcher.
    void drawScenes(irr::video::IVideoDriver* driver);
    // One item for the whole manager; its render draws the scenes.
    void collectRenderItems(RenderList& list) override;
    void render(irr::video::IVideoDriver* driver, const rectf* clip) override;
    // Sorts a draw list in place as drawScenes does.
    static void sortRenderList(RenderList& list);

    // ---- Copies and properties ---------------------------------------------
    // The node's own values and states; its scenes, records and queue stay.
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    // A manager writes and reads no properties.
    void writeProperties(PropertySet*) override {}
    void readProperties(PropertySet*) override {}

    // ---- Internal operations -----------------------------------------------
    // Makes the scene a new scheduler, registers it with the device and gives
    // it to the scene; a scheduler the scene got earlier from this manager is
    // let go first.
    void createSceneScheduler(SceneNode* scene);
    // Unregisters and drops the scheduler this manager made for the scene.
    void releaseSceneScheduler(SceneNode* scene);
    void scheduleRemoval(BaseNode* node);
    void processRemovals();
    uint32_t getSceneSchedulerCount() const { return static_cast<uint32_t>(sceneSchedulers_.size()); }

private:
    struct QueueEntry {
        CountedRef<EventReceiver> receiver;
        int32_t mode;
        CountedRef<Event> event;
    };
    struct SceneScheduler {
        const SceneNode* scene;  // compared only, never followed: the scene may be gone
        CountedRef<TimerScheduler> scheduler;
    };

    bool isMessageBox(const SceneNode* scene) const;
    bool isInStackBelow(const SceneNode* top, const SceneNode* scene) const;
    void forgetRemoval(const BaseNode* node);
    // Stops the running transition state of a top scene that is being covered.
    void cutTransitionShort(SceneNode* top);
    // The shown, change and activation events of a scene joining the manager.
    void announceShown(SceneNode* scene);

    CountedRef<TemplateCollectionNode> templateCollection_;
    std::vector<SceneScheduler> sceneSchedulers_;
    SceneNode* topScene_ = nullptr;
    array<SceneTransition> transitions_;
    bool sortDrawList_ = false;
    RenderList drawList_;
    array<BaseNode*> pendingRemovals_;
    std::list<QueueEntry> queue_;
    bool delivering_ = false;
    bool drawing_ = false;
    IEventReceiverRegistry* registry_ = nullptr;
    ICursorPositionSource* cursor_ = nullptr;
    CountedRef<IDrawBatch> batcher_;
};

}  // namespace engine
