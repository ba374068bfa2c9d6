#pragma once
// The node of the engine's 2D scene graph and the base of every drawable,
// control, scene and game object in a scene.
//
// A node holds its name, its 2D transform and size, its tint, its children and
// its named states. It turns local values into absolute ones on demand,
// collects draw items, answers hit tests, routes events up and down the tree,
// runs the state protocol (a parent can wait until all its children have
// finished a named state) and copies itself with its subtree. Scene files are
// trees of these nodes (SceneFile.h).
//
// Links: the parent is not counted; each child is counted once by its parent.
// The manager (the scene manager whose tree holds the node; the scene manager
// is itself a node) and the owner scene (whose timer scheduler plays the
// node's states) are not counted either. Both are reached through two virtual
// seams of BaseNode that those classes override: getEventQueue (where posted
// events go) and getTimerScheduler (where states play).
#include "engine/core/Content.h"
#include "engine/core/Event.h"
#include "engine/core/EventMap.h"
#include "engine/core/NameId.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <map>
#include <vector>

namespace irr::video {
class IVideoDriver;
}

namespace engine {

class BaseNode;
class NodeFactory;
class PropertySet;
class State;
class TemplateCollectionNode;
class TimerScheduler;
class XmlReader;
class XmlWriter;

// One entry of a draw list: the node to draw, its depth (the absolute z
// translation) and a sort key (the texture of sprite-like nodes, 0 for a
// clipped plain node). Lists sort by depth, then by key.
struct RenderItem {
    BaseNode* node = nullptr;
    float depth = 0.0f;
    uintptr_t key = 0;

    bool operator<(const RenderItem& other) const {
        if (depth != other.depth) return depth < other.depth;
        return key < other.key;
    }
};
using RenderList = array<RenderItem>;

// Where a node's posted events go: the scene manager queues them and delivers
// them at its next update.
class NodeEventQueue {
public:
    // Takes a reference to the event for as long as it is queued.
    virtual void queueEvent(EventReceiver* target, int32_t mode, Event* event) = 0;

protected:
    ~NodeEventQueue() = default;
};

// Maps a state name a node lacks to another one to try (-1 for none).
using StateResolver = NameId (*)(NameId requested);

// The 2D affine product a x b into `out`: only m0, m1, m4, m5, m12, m13 are
// computed, and m14 = a.m14 + b.m14 so that depths add up along the tree; the
// other elements of `out` keep what they held. An identity operand makes `out`
// a copy of the other one.
void multiplyTransform2D(const matrix4& a, const matrix4& b, matrix4& out);

// Clipped drawing flushes the quads batched so far before and after it draws
// its children. The render context that owns the quad batcher installs the
// flush; without one flushing does nothing.
using QuadBatchFlush = void (*)(irr::video::IVideoDriver* driver);
void setQuadBatchFlush(QuadBatchFlush flush);
void flushQuadBatch(irr::video::IVideoDriver* driver);


// Orders name ids as unsigned numbers: the order of first interning, with the
// empty name last.
struct NameIdOrder {
    bool operator()(NameId a, NameId b) const { return static_cast<uint32_t>(a) < static_cast<uint32_t>(b); }
};

// Declares a node class's identity and its clone. Put it at the top of every
// node class derived from BaseNode; the class needs the node constructor
// (context, parent, manager, most-derived flag).
#define ENGINE_NODE_TYPE(Class, BaseClass, id)                                          \
public:                                                                                 \
    static constexpr int32_t kTypeId = (id);                                            \
    const wchar_t* getClassName() const override { return L"" #Class; }                \
    const wchar_t* getTypeName() const override { return L"" #Class; }                 \
    int32_t getTypeId() const override { return kTypeId; }                              \
    bool isOfType(int32_t typeId) const override {                                      \
        return typeId == kTypeId || BaseClass::isOfType(typeId);                        \
    }                                                                                   \
    using BaseClass::clone;                                                             \
    ::engine::BaseNode* clone(::engine::BaseNode* parent, ::engine::BaseNode* manager) override { \
        return cloneAs<Class>(parent, manager);                                         \
    }

class BaseNode : public PropertyTableOwner, public Content, public PropertyHolder {
    ENGINE_DECLARE_EVENT_MAP(BaseNode)

public:
    static constexpr int32_t kTypeId = 0;
    using StateMap = std::map<NameId, CountedRef<State>, NameIdOrder>;

    // Stores the manager and, when a parent is given and this is the most
    // derived constructor, ends by adding the node to the parent. Derived
    // classes pass false and call linkToParent at the end of their own
    // constructor.
    BaseNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~BaseNode() override;

    BaseNode(const BaseNode&) = delete;
    BaseNode& operator=(const BaseNode&) = delete;

    // ---- Identity --------------------------------------------------------
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();
    // A copy with its subtree made with the given parent and manager (the
    // source's manager when null). With a parent, the parent holds the only
    // reference; without one the caller owns the new node.
    virtual BaseNode* clone(BaseNode* parent, BaseNode* manager);
    // The content copy: a clone without parent or manager, owned by the caller.
    Content* clone() override { return clone(nullptr, nullptr); }
    ContentTypeCode getContentType() const override;
    virtual const wchar_t* getClassName() const { return L"BaseNode"; }
    virtual const wchar_t* getTypeName() const { return L"BaseNode"; }
    virtual int32_t getTypeId() const { return kTypeId; }
    virtual bool isOfType(int32_t typeId) const { return typeId == kTypeId; }

    // ---- Drawing and hit tests ------------------------------------------
    // Adds this subtree's draw items; a hidden node adds nothing. A clipped
    // node with children adds only itself; its children are drawn by render.
    virtual void collectRenderItems(RenderList& list);
    // Draws the children of a clipped node clipped to its bounds; nothing
    // otherwise. Drawing nodes draw themselves here.
    virtual void render(irr::video::IVideoDriver* driver, const rectf* clip);
    // True when the point lies strictly inside the bounds (in node space).
    virtual bool containsPoint(const vector2df& point);
    // Whether the node itself takes a hit at the point: false for a plain node.
    virtual bool hitTest(const vector2df& point);
    virtual void updateAbsoluteTransform();
    virtual void updateAbsoluteColor();

    // ---- States ----------------------------------------------------------
    // Puts every direct child into the state and waits until each has ended
    // it; then NodeStateFinishedEvent reaches this node (and, unhandled, its
    // parent). Without children both the started and the finished event come
    // at once.
    virtual void enterSubtreeState(NameId state, StateResolver resolver);
    // The same under the name the game calls it by (it passes no resolver).
    void enterStateInChildren(NameId state, StateResolver resolver = nullptr) { enterSubtreeState(state, resolver); }
    // Enters a state of this node; a missing state is resolved through the
    // resolver, else the parent learns at once that it was skipped and
    // reached. The report name (the first name asked for when -1) is what the
    // parent hears.
    virtual void setState(NameId state, StateResolver resolver, NameId report = kNoName);

    // ---- Scene files -----------------------------------------------------
    // Reads the content of a "SceneNode" element; the reader stands on its
    // start and is left on its end. Replaces children and states.
    virtual void readFromXml(XmlReader* reader, NodeFactory* factory);
    // Writes this node's element with its subtree; a ghost writes nothing.
    virtual void writeToXml(XmlWriter* writer);
    // Called after the node was read or cloned.
    virtual void onLoaded() {}

    // ---- Copies ----------------------------------------------------------
    // Copies the values of another node and clones its children and states
    // into this one.
    virtual void copyFrom(BaseNode* source, BaseNode* manager);
    // Clones the non-ghost children (as children of the target) and the
    // states of this node into the target, and enters the default state there.
    void copyChildrenAndStates(BaseNode* target);

    // ---- Event handlers (reached through the event map) ------------------
    virtual bool onEvent33(SceneShownEvent* event);
    virtual bool onEvent34(NodeEvent34* event);
    virtual bool onEvent35(Event* event);
    virtual bool onEvent64(Event* event);
    virtual bool onEvent65(AnimatorEndedEvent* event);
    virtual bool onEvent66(StateStartedEvent* event);
    // A state of this node ended: tell the parent and go on to the next state.
    virtual bool onEvent67(StateEndedEvent* event);
    // A child ended a state this node waits for.
    virtual bool onEvent70(NodeTagReachedEvent* event);
    virtual bool onEvent74(NodeStateFinishedEvent* event);

    // ---- Seams to the scene manager and the scene ------------------------
    // The scheduler on which the states of the nodes this scene owns play;
    // none for a plain node. Scenes override it.
    virtual TimerScheduler* getTimerScheduler() const { return nullptr; }
    // The queue that takes the events posted by the nodes this manager holds;
    // none for a plain node. The scene manager overrides it.
    virtual NodeEventQueue* getEventQueue() { return nullptr; }
    // The collection the controls this manager holds take their templates
    // from; none for a plain node. The scene manager overrides it.
    virtual TemplateCollectionNode* getTemplateCollection() const { return nullptr; }

    // ---- Routing ---------------------------------------------------------
    bool routeToParent(int32_t mode, Event* event) override;
    bool routeToChildren(int32_t mode, Event* event) override;
    // Queues the event for the target through the manager's queue, when the
    // node has a manager and the target takes the event's category.
    void postEvent(EventReceiver* target, int32_t mode, Event* event);
    void postToParent(int32_t mode, Event* event);

    // ---- Tree ------------------------------------------------------------
    void addChild(BaseNode* node);
    // As addChild, but right after the sibling; first for a null sibling and
    // last for a sibling that is not a child.
    void insertChildAfter(BaseNode* node, BaseNode* sibling);
    void setParent(BaseNode* parent);
    // Detaches a child (parent, manager and owner scene cleared, down the
    // subtree) and drops this node's reference; false for a non-child.
    bool removeChild(BaseNode* node);
    // Detaches and drops every child as removeChild does.
    void removeAllChildren();
    // The first node of that name: direct children first; then, for depth -1
    // or 0, any descendant, and for depth 2 or more that many levels.
    BaseNode* findChild(NameId name, int32_t depth = -1) const;
    // The node the point hits, searching visible hittable nodes depth first.
    BaseNode* findNodeAt(const vector2df& point);
    // Stores the manager and the owner scene down the subtree; with a scene,
    // nodes with a default state enter it (parents before children). Nodes
    // that own ghosts pass the pair on to them.
    virtual void attach(BaseNode* manager, BaseNode* scene);

    BaseNode* getParent() const { return parent_; }
    const array<BaseNode*>& getChildren() const { return children_; }
    uint32_t getChildCount() const { return children_.size(); }
    BaseNode* getChild(uint32_t index) const { return index < children_.size() ? children_[index] : nullptr; }
    BaseNode* getManager() const { return manager_; }
    BaseNode* getOwnerScene() const { return ownerScene_; }
    IContentManager* getContentManager() const { return getCreationContext().getContentManager(); }

    // ---- Values ----------------------------------------------------------
    NameId getName() const { return name_; }
    void setName(NameId name) { name_ = name; }
    const matrix4& getAbsoluteTransform() const { return absoluteTransform_; }
    const vector3df& getPosition() const { return position_; }
    void setPosition(const vector3df& position);
    const vector3df& getRotation() const { return rotation_; }
    void setRotation(const vector3df& rotation);
    const vector3df& getScale() const { return scale_; }
    void setScale(const vector3df& scale);
    const vector3df& getBounds() const { return bounds_; }
    // Negative width or height become 0; the third value is always 0.
    void setBounds(const vector3df& bounds);
    const vector2df& getPivotPoint() const { return pivotPoint_; }
    void setPivotPoint(const vector2df& pivot);
    SColor getAbsoluteColor() const { return absoluteColor_; }
    SColor getTintColor() const { return tintColor_; }
    void setTintColor(SColor color);
    bool isVisible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    bool canBeHit() const { return canBeHit_; }
    void setCanBeHit(bool canBeHit) { canBeHit_ = canBeHit; }
    bool isChildrenClipped() const { return childrenClipped_; }
    void setChildrenClipped(bool clipped) { childrenClipped_ = clipped; }
    // A ghost has a parent but is not among its children: it is not drawn,
    // searched, routed to, copied or written by the parent. Set it before the
    // node is added.
    bool isGhost() const { return ghost_; }
    void setGhost(bool ghost) { ghost_ = ghost; }
    RefCounted* getUserData() const { return userData_; }
    // Holds the new object and releases the previous one.
    void setUserData(RefCounted* data);
    bool isTransformDirty() const { return transformDirty_; }
    bool isColorDirty() const { return colorDirty_; }

    // ---- State access ----------------------------------------------------
    State* getState(NameId name) const;
    const StateMap& getStates() const { return states_; }
    State* getRunningState() const { return runningState_; }
    NameId getDefaultState() const { return defaultState_; }
    void setDefaultState(NameId state) { defaultState_ = state; }
    // Binds the state to this node and enters it under its name; false (and
    // the state is not taken) when the name is already present or it is null.
    bool addState(State* state);
    void stopState(NameId name, bool jumpToEnd);
    void stopAllStates(bool jumpToEnd);
    // Releases every state; stops nothing.
    void clearStates();
    // Reads a "States" element (the reader stands on its start).
    void readStates(XmlReader* reader);
    void writeStates(XmlWriter* writer);
    // With self: NodeStateStartedEvent and NodeStateFinishedEvent to this node.
    // Without: NodeStateSkippedEvent and NodeTagReachedEvent to the parent.
    void notifyStateDone(NameId name, bool self);
    // Children still to end the state this node waits for (0 when none).
    int32_t getWaitCount(NameId state) const;

    // ---- Property holder -------------------------------------------------
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

protected:
    // Ends construction of the most derived class: adds the node to the parent.
    void linkToParent(BaseNode* parent, bool mostDerived) {
        if (mostDerived && parent) parent->addChild(this);
    }

    // The clone of every node class: a node of class T with this node's
    // creation context, then copyFrom and onLoaded.
    template <class T>
    BaseNode* cloneAs(BaseNode* parent, BaseNode* manager) {
        const CreationContext context = getCreationContext();
        T* node = new T(&context, parent, manager ? manager : manager_, true);
        node->copyFrom(this, manager);
        node->onLoaded();
        if (parent && node->getParent() == parent) {
            node->release();
        }
        return node;
    }

    // Sets how many direct children (or other members, such as a control's
    // template instance) still have to end the state this node waits for.
    void setWaitCount(NameId state, int32_t count) { waitMap_[state] = count; }

    // Called by the constructor of a most-derived class whose events go only
    // through BaseNode's event map and BaseNode's routing (it declares no map
    // and overrides neither handleEvent, the routing nor a handler). Routing
    // then passes over such a node, when it has no children and no
    // listeners, for events BaseNode's map does not handle: delivering those
    // to it would do nothing and answer false.
    void setHandlesThroughBaseMapOnly() { handlesThroughBaseMapOnly_ = true; }

    void markTransformDirty() { transformDirty_ = true; }
    void markColorDirty() { colorDirty_ = true; }

    // The start of every collection of draw items: false for a hidden node;
    // otherwise brings the absolute transform and colour up to date.
    bool prepareRenderItems();
    // The draw items of a node that draws itself: nothing when hidden;
    // otherwise the absolute values are brought up to date, the node's own
    // item (sorted under `key`) is added when it has something to draw and is
    // not fully transparent, and then its children's items, never clipped.
    void collectRenderItemsWithOwn(RenderList& list, bool hasContent, uintptr_t key);
    // Adds this node's own item at its depth (the absolute z translation as it
    // stands) under the given sort key.
    void addRenderItem(RenderList& list, uintptr_t key);

private:
    friend struct BaseNodeProperties;

    // True when delivering an event to this node could only answer false
    // without effect (see setHandlesThroughBaseMapOnly); baseMapHandles tells
    // whether BaseNode's event map has a handler for the event.
    bool ignoresEvent(bool baseMapHandles) const;
    // Forgets a ghost child that leaves this node (ghosts are not counted here).
    void forgetGhost(BaseNode* node);
    // Leaves the current parent, whether listed there or a ghost of it.
    void leaveParent();
    // Links a node (already counted for this parent) after it left its old one.
    void adoptChild(BaseNode* node, int32_t position);
    // Clears the links of a node that is leaving this parent, down its subtree.
    static void detach(BaseNode* node);
    void readChildElement(XmlReader* reader, NodeFactory* factory);
    void includeChildFile(XmlReader* reader);

    NameId name_ = kNoName;
    matrix4 absoluteTransform_;
    vector3df position_{0.0f, 0.0f, 0.0f};
    vector3df rotation_{0.0f, 0.0f, 0.0f};
    vector3df scale_{1.0f, 1.0f, 1.0f};
    vector3df bounds_{100.0f, 100.0f, 0.0f};
    vector2df pivotPoint_{0.0f, 0.0f};
    SColor absoluteColor_{0xFFFFFFFF};
    SColor tintColor_{0xFFFFFFFF};
    bool transformDirty_ = true;
    bool colorDirty_ = true;
    BaseNode* parent_ = nullptr;
    array<BaseNode*> children_;
    // Ghost children, not counted: their owners hold them. Kept so that their
    // link to this node is cleared when it dies first.
    array<BaseNode*> ghosts_;
    StateMap states_;
    NameId defaultState_ = kNoName;
    State* runningState_ = nullptr;
    std::map<NameId, int32_t, NameIdOrder> waitMap_;
    BaseNode* manager_ = nullptr;
    BaseNode* ownerScene_ = nullptr;
    bool visible_ = true;
    bool canBeHit_ = true;
    bool ghost_ = false;
    bool childrenClipped_ = false;
    bool handlesThroughBaseMapOnly_ = false;
    RefCounted* userData_ = nullptr;
    // The next states whose entry is in progress (a synchronous chain of
    // states that end at once); a chain that comes back to one is stopped.
    std::vector<NameId> nextStateChain_;
};

// The node as class T when it is one (by type id), else null.
template <class T>
T* nodeCast(BaseNode* node) {
    return node && node->isOfType(T::kTypeId) ? static_cast<T*>(node) : nullptr;
}
template <class T>
const T* nodeCast(const BaseNode* node) {
    return node && node->isOfType(T::kTypeId) ? static_cast<const T*>(node) : nullptr;
}
// Content a load returned, as a node of class T, or null.
template <class T>
T* nodeCast(Content* content) {
    return nodeCast<T>(dynamic_cast<BaseNode*>(content));
}

}  // namespace engine
