#include "engine/core/BaseNode.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/IContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/State.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include <algorithm>
#include <cmath>

namespace engine {

namespace {

QuadBatchFlush gQuadBatchFlush = nullptr;

// Deeper fallback chains than this are taken for a resolver that loops.
constexpr int32_t kMaxFallbackDepth = 32;
int32_t gFallbackDepth = 0;

bool differs(const vector3df& a, const vector3df& b) {
    return std::fabs(a.X - b.X) > 1e-6f || std::fabs(a.Y - b.Y) > 1e-6f || std::fabs(a.Z - b.Z) > 1e-6f;
}

BaseNode& nodeOf(PropertyTableOwner& object) { return static_cast<BaseNode&>(object); }

// ---- Table accessors -------------------------------------------------------

void setNameEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { nodeOf(o).setName(nameIdFromProperty(v)); }
CountedRef<IPropertyData> getNameEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringPropertyFromNameId(nodeOf(o).getName()));
}
void setVisibleEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setVisible(boolFromProperty(v));
}
CountedRef<IPropertyData> getVisibleEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(nodeOf(o).isVisible()));
}
void setPositionEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setPosition(vector3dFromProperty(v));
}
CountedRef<IPropertyData> getPositionEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector3dProperty(nodeOf(o).getPosition()));
}
void setRotationEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setRotation(vector3dFromProperty(v));
}
CountedRef<IPropertyData> getRotationEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector3dProperty(nodeOf(o).getRotation()));
}
void setScaleEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setScale(vector3dFromProperty(v));
}
CountedRef<IPropertyData> getScaleEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector3dProperty(nodeOf(o).getScale()));
}
CountedRef<IPropertyData> getBoundsEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector3dProperty(nodeOf(o).getBounds()));
}
CountedRef<IPropertyData> getPivotEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(nodeOf(o).getPivotPoint()));
}
void setPivotEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setPivotPoint(vector2dFromProperty(v));
}
void setTintEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setTintColor(colorFromProperty(v));
}
CountedRef<IPropertyData> getTintEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeColorProperty(nodeOf(o).getTintColor()));
}
void setCanBeHitEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setCanBeHit(boolFromProperty(v));
}
CountedRef<IPropertyData> getCanBeHitEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(nodeOf(o).canBeHit()));
}
void setClippedEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf(o).setChildrenClipped(boolFromProperty(v));
}
CountedRef<IPropertyData> getClippedEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(nodeOf(o).isChildrenClipped()));
}

}  // namespace

// ---- Free functions -------------------------------------------------------

void multiplyTransform2D(const matrix4& a, const matrix4& b, matrix4& out) {
    if (a.isIdentity()) {
        out = b;
        return;
    }
    if (b.isIdentity()) {
        out = a;
        return;
    }
    const float m0 = a[0] * b[0] + a[4] * b[1];
    const float m1 = a[1] * b[0] + a[5] * b[1];
    const float m4 = a[0] * b[4] + a[4] * b[5];
    const float m5 = a[1] * b[4] + a[5] * b[5];
    const float m12 = a[0] * b[12] + a[4] * b[13] + a[12];
    const float m13 = a[1] * b[12] + a[5] * b[13] + a[13];
    const float m14 = a[14] + b[14];
    out[0] = m0;
    out[1] = m1;
    out[4] = m4;
    out[5] = m5;
    out[12] = m12;
    out[13] = m13;
    out[14] = m14;
}

void setQuadBatchFlush(QuadBatchFlush flush) { gQuadBatchFlush = flush; }

void flushQuadBatch(irr::video::IVideoDriver* driver) {
    if (gQuadBatchFlush) gQuadBatchFlush(driver);
}

// ---- Construction ---------------------------------------------------------

BaseNode::BaseNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : Content(context ? *context : CreationContext()), manager_(manager) {
    setMask(EventCategory::Driver | EventCategory::System | EventCategory::Node | EventCategory::Game);
    linkToParent(parent, mostDerived);
}

BaseNode::~BaseNode() {
    removeAllChildren();
    // Ghosts are held by their owners; they only lose their link here.
    array<BaseNode*> ghosts = ghosts_;
    ghosts_.clear();
    for (uint32_t i = 0; i < ghosts.size(); ++i) ghosts[i]->parent_ = nullptr;
    if (parent_) parent_->forgetGhost(this);
    clearStates();
    setUserData(nullptr);
}

ContentTypeCode BaseNode::getContentType() const { return ContentType::SceneNode; }

// ---- Event map ------------------------------------------------------------

const EventMap<BaseNode>& BaseNode::getEventMap() {
    static const EventMap<BaseNode> map({
        {EventId::SceneShownEvent,
         [](BaseNode& n, Event* e) { return n.onEvent33(dynamic_cast<SceneShownEvent*>(e)); }},
        {EventId::NodeEvent34, [](BaseNode& n, Event* e) { return n.onEvent34(dynamic_cast<NodeEvent34*>(e)); }},
        {EventId::NodeEvent35, [](BaseNode& n, Event* e) { return n.onEvent35(e); }},
        {EventId::NodeEvent64, [](BaseNode& n, Event* e) { return n.onEvent64(e); }},
        {EventId::AnimatorEndedEvent,
         [](BaseNode& n, Event* e) { return n.onEvent65(dynamic_cast<AnimatorEndedEvent*>(e)); }},
        {EventId::StateStartedEvent,
         [](BaseNode& n, Event* e) { return n.onEvent66(dynamic_cast<StateStartedEvent*>(e)); }},
        {EventId::StateEndedEvent,
         [](BaseNode& n, Event* e) { return n.onEvent67(dynamic_cast<StateEndedEvent*>(e)); }},
        {EventId::NodeTagReachedEvent,
         [](BaseNode& n, Event* e) { return n.onEvent70(dynamic_cast<NodeTagReachedEvent*>(e)); }},
        {EventId::NodeStateFinishedEvent,
         [](BaseNode& n, Event* e) { return n.onEvent74(dynamic_cast<NodeStateFinishedEvent*>(e)); }},
    });
    return map;
}

bool BaseNode::onEvent33(SceneShownEvent*) { return false; }
bool BaseNode::onEvent34(NodeEvent34*) { return false; }
bool BaseNode::onEvent35(Event*) { return false; }
bool BaseNode::onEvent64(Event*) { return false; }
bool BaseNode::onEvent65(AnimatorEndedEvent*) { return false; }
bool BaseNode::onEvent66(StateStartedEvent*) { return false; }
bool BaseNode::onEvent74(NodeStateFinishedEvent*) { return false; }

// ---- Property table and holder ----------------------------------------------

// The table's bounds setter stores the values as they come (no clamping), so
// an animation may pass through any size; reading a file clamps.
struct BaseNodeProperties {
    static void setBounds(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
        nodeOf(o).bounds_ = vector3dFromProperty(v);
    }
};

const PropertyTable& BaseNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, PropertyTableOwner::rootPropertyTable());
        t.add("Name", &setNameEntry, &getNameEntry);
        t.add("Visible", &setVisibleEntry, &getVisibleEntry);
        t.add("Position", &setPositionEntry, &getPositionEntry);
        t.add("Rotation", &setRotationEntry, &getRotationEntry);
        t.add("Scale", &setScaleEntry, &getScaleEntry);
        t.add("Bounds", &BaseNodeProperties::setBounds, &getBoundsEntry);
        t.add("PivotPoint", &setPivotEntry, &getPivotEntry);
        t.add("TintColor", &setTintEntry, &getTintEntry);
        t.add("CanBeHit", &setCanBeHitEntry, &getCanBeHitEntry);
        t.add("ChildrenClipped", &setClippedEntry, &getClippedEntry);
        return t;
    }();
    return table;
}

const PropertyTable& BaseNode::getPropertyTable() const { return classPropertyTable(); }

void BaseNode::writeProperties(PropertySet* set) {
    if (!set) return;
    if (name_ != kNoName) set->add("Name", CountedRef<IPropertyData>(makeStringPropertyFromNameId(name_)));
    if (differs(position_, vector3df(0.0f, 0.0f, 0.0f)))
        set->add("Position", CountedRef<IPropertyData>(makeVector3dProperty(position_)));
    if (differs(rotation_, vector3df(0.0f, 0.0f, 0.0f)))
        set->add("Rotation", CountedRef<IPropertyData>(makeVector3dProperty(rotation_)));
    if (differs(scale_, vector3df(1.0f, 1.0f, 1.0f)))
        set->add("Scale", CountedRef<IPropertyData>(makeVector3dProperty(scale_)));
    if (differs(bounds_, vector3df(100.0f, 100.0f, 0.0f)))
        set->add("Bounds", CountedRef<IPropertyData>(makeVector3dProperty(bounds_)));
    if (pivotPoint_.X != 0.0f || pivotPoint_.Y != 0.0f)
        set->add("PivotPoint", CountedRef<IPropertyData>(makeVector2dProperty(pivotPoint_)));
    if (tintColor_.color != 0xFFFFFFFFu)
        set->add("TintColor", CountedRef<IPropertyData>(makeColorProperty(tintColor_)));
    if (!visible_) PropertySet::addValue(set, "Visible", false);
    if (!canBeHit_) PropertySet::addValue(set, "CanBeHit", false);
    if (childrenClipped_) PropertySet::addValue(set, "ChildrenClipped", true);
}

void BaseNode::readProperties(PropertySet* set) {
    if (!set) return;
    // A name present with no usable value (an unknown value type) reads as zero.
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    if (has("Name")) name_ = nameIdFromProperty(set->find("Name"));
    if (has("Visible")) visible_ = boolFromProperty(set->find("Visible"));
    if (has("Position")) setPosition(vector3dFromProperty(set->find("Position")));
    if (has("Rotation")) setRotation(vector3dFromProperty(set->find("Rotation")));
    if (has("Scale")) setScale(vector3dFromProperty(set->find("Scale")));
    if (has("Bounds")) setBounds(vector3dFromProperty(set->find("Bounds")));
    if (has("PivotPoint")) setPivotPoint(vector2dFromProperty(set->find("PivotPoint")));
    if (has("TintColor")) setTintColor(colorFromProperty(set->find("TintColor")));
    if (has("CanBeHit")) canBeHit_ = boolFromProperty(set->find("CanBeHit"));
    if (has("ChildrenClipped")) childrenClipped_ = boolFromProperty(set->find("ChildrenClipped"));
}


// ---- Values -----------------------------------------------------------------

void BaseNode::setPosition(const vector3df& position) {
    position_ = position;
    transformDirty_ = true;
}

void BaseNode::setRotation(const vector3df& rotation) {
    rotation_ = rotation;
    transformDirty_ = true;
}

void BaseNode::setScale(const vector3df& scale) {
    scale_ = scale;
    transformDirty_ = true;
}

void BaseNode::setBounds(const vector3df& bounds) {
    bounds_.X = bounds.X < 0.0f ? 0.0f : bounds.X;
    bounds_.Y = bounds.Y < 0.0f ? 0.0f : bounds.Y;
    bounds_.Z = 0.0f;
}

void BaseNode::setPivotPoint(const vector2df& pivot) {
    pivotPoint_ = pivot;
    transformDirty_ = true;
}

void BaseNode::setTintColor(SColor color) {
    tintColor_ = color;
    colorDirty_ = true;
}

void BaseNode::setUserData(RefCounted* data) {
    if (data == userData_) return;
    if (data) data->addRef();
    RefCounted* old = userData_;
    userData_ = data;
    if (old) old->release();
}

// ---- Transform, colour, drawing, hit tests -----------------------------------

void BaseNode::updateAbsoluteTransform() {
    matrix4 local;
    // Most nodes are not rotated: their rotation part stays the identity
    // without computing sines and cosines of 0.
    if (rotation_.X != 0.0f || rotation_.Y != 0.0f || rotation_.Z != 0.0f)
        local.setRotationRadians(rotation_ * irr::core::DEGTORAD);
    local.setTranslation(position_);
    if (differs(scale_, vector3df(1.0f, 1.0f, 1.0f))) {
        matrix4 scale;
        scale.setScale(scale_);
        local *= scale;
    }
    if (pivotPoint_.X != 0.0f || pivotPoint_.Y != 0.0f) {
        matrix4 pivot;
        pivot.setTranslation(vector3df(-pivotPoint_.X, -pivotPoint_.Y, 0.0f));
        local *= pivot;
    }
    if (parent_) {
        multiplyTransform2D(parent_->absoluteTransform_, local, absoluteTransform_);
    } else {
        absoluteTransform_ = local;
    }
    for (uint32_t i = 0; i < children_.size(); ++i) children_[i]->updateAbsoluteTransform();
    transformDirty_ = false;
}

void BaseNode::updateAbsoluteColor() {
    absoluteColor_ = parent_ ? multiplyColors(parent_->absoluteColor_, tintColor_) : tintColor_;
    for (uint32_t i = 0; i < children_.size(); ++i) children_[i]->updateAbsoluteColor();
    colorDirty_ = false;
}

bool BaseNode::prepareRenderItems() {
    if (!visible_) return false;
    if (transformDirty_) updateAbsoluteTransform();
    if (colorDirty_) updateAbsoluteColor();
    return true;
}

void BaseNode::collectRenderItems(RenderList& list) {
    if (!prepareRenderItems()) return;
    if (childrenClipped_) {
        if (!children_.empty()) addRenderItem(list, 0);
        return;
    }
    for (uint32_t i = 0; i < children_.size(); ++i) children_[i]->collectRenderItems(list);
}

void BaseNode::collectRenderItemsWithOwn(RenderList& list, bool hasContent, uintptr_t key) {
    if (!prepareRenderItems()) return;
    if (hasContent && absoluteColor_.getAlpha() != 0) addRenderItem(list, key);
    for (uint32_t i = 0; i < children_.size(); ++i) children_[i]->collectRenderItems(list);
}

void BaseNode::addRenderItem(RenderList& list, uintptr_t key) {
    RenderItem item;
    item.node = this;
    item.depth = absoluteTransform_[14];
    item.key = key;
    list.push_back(item);
}

void BaseNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    if (!childrenClipped_) return;
    RenderList items;
    for (uint32_t i = 0; i < children_.size(); ++i) children_[i]->collectRenderItems(items);
    if (items.empty()) return;
    vector2df topLeft(0.0f, 0.0f);
    vector2df bottomRight(bounds_.X, bounds_.Y);
    transformVect2D(absoluteTransform_, topLeft);
    transformVect2D(absoluteTransform_, bottomRight);
    const rectf clip(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
    flushQuadBatch(driver);
    for (uint32_t i = 0; i < items.size(); ++i) items[i].node->render(driver, &clip);
    flushQuadBatch(driver);
}

bool BaseNode::containsPoint(const vector2df& point) {
    vector2df local = point;
    matrix4 inverse;
    if (absoluteTransform_.getInverse(inverse)) transformVect2D(inverse, local);
    return 0.0f < local.X && local.X < bounds_.X && 0.0f < local.Y && local.Y < bounds_.Y;
}

bool BaseNode::hitTest(const vector2df&) { return false; }

BaseNode* BaseNode::findNodeAt(const vector2df& point) {
    if (!visible_ || !canBeHit_) return nullptr;
    if (hitTest(point)) return this;
    for (uint32_t i = 0; i < children_.size(); ++i) {
        if (BaseNode* found = children_[i]->findNodeAt(point)) return found;
    }
    return nullptr;
}

// ---- Tree -------------------------------------------------------------------

void BaseNode::detach(BaseNode* node) {
    node->parent_ = nullptr;
    node->attach(nullptr, nullptr);
}

void BaseNode::forgetGhost(BaseNode* node) {
    for (uint32_t i = 0; i < ghosts_.size(); ++i) {
        if (ghosts_[i] == node) {
            ghosts_.erase(i);
            return;
        }
    }
}

void BaseNode::leaveParent() {
    BaseNode* old = parent_;
    if (!old) return;
    if (!old->removeChild(this)) {
        old->forgetGhost(this);
        detach(this);
    }
}

void BaseNode::adoptChild(BaseNode* node, int32_t position) {
    if (node->ghost_) {
        ghosts_.push_back(node);
    } else if (position < 0 || static_cast<uint32_t>(position) >= children_.size()) {
        children_.push_back(node);
    } else {
        children_.insert(node, static_cast<uint32_t>(position));
    }
    node->parent_ = this;
    node->attach(manager_, ownerScene_);
}

void BaseNode::addChild(BaseNode* node) { insertChildAfter(node, children_.empty() ? nullptr : children_.getLast()); }

void BaseNode::insertChildAfter(BaseNode* node, BaseNode* sibling) {
    if (!node || node == this) return;
    for (BaseNode* ancestor = parent_; ancestor; ancestor = ancestor->parent_) {
        if (ancestor == node) {
            logError("A node cannot become a child of its own descendant");
            return;
        }
    }
    // The parent's reference; for a ghost it is given back below, as the
    // ghost's owner holds its own.
    node->addRef();
    node->leaveParent();
    int32_t position = 0;
    if (sibling) {
        position = -1;
        for (uint32_t i = 0; i < children_.size(); ++i) {
            if (children_[i] == sibling) {
                position = static_cast<int32_t>(i) + 1;
                break;
            }
        }
    }
    const bool ghost = node->ghost_;
    adoptChild(node, position);
    if (ghost) node->release();
}

void BaseNode::setParent(BaseNode* parent) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    leaveParent();
    if (parent) parent->addChild(this);
}

bool BaseNode::removeChild(BaseNode* node) {
    if (!node) return false;
    for (uint32_t i = 0; i < children_.size(); ++i) {
        if (children_[i] != node) continue;
        children_.erase(i);
        detach(node);
        node->release();
        return true;
    }
    return false;
}

void BaseNode::removeAllChildren() {
    // Each child leaves as with removeChild: no parent, manager or owner scene
    // down its subtree, so a child held elsewhere keeps no stale links.
    array<BaseNode*> taken = children_;
    children_.clear();
    for (uint32_t i = 0; i < taken.size(); ++i) {
        detach(taken[i]);
        taken[i]->release();
    }
}

BaseNode* BaseNode::findChild(NameId name, int32_t depth) const {
    for (uint32_t i = 0; i < children_.size(); ++i) {
        if (children_[i]->name_ == name) return children_[i];
    }
    int32_t next;
    if (depth == -1 || depth == 0) {
        next = -1;
    } else if (depth >= 2) {
        next = depth - 1;
    } else {
        return nullptr;
    }
    for (uint32_t i = 0; i < children_.size(); ++i) {
        if (BaseNode* found = children_[i]->findChild(name, next)) return found;
    }
    return nullptr;
}

void BaseNode::attach(BaseNode* manager, BaseNode* scene) {
    manager_ = manager;
    ownerScene_ = scene;
    if (scene && defaultState_ != kNoName) setState(defaultState_, nullptr, kNoName);
    // Entering the default state may change the children; hold each while it
    // is attached.
    for (uint32_t i = 0; i < children_.size(); ++i) {
        CountedRef<BaseNode> child = CountedRef<BaseNode>::share(children_[i]);
        child->attach(manager, scene);
    }
}

// ---- Routing ----------------------------------------------------------------

bool BaseNode::routeToParent(int32_t mode, Event* event) {
    if (!parent_ || !event || !parent_->takesCategory(event->getCategory())) return false;
    return parent_->deliver(mode, event);
}

bool BaseNode::ignoresEvent(bool baseMapHandles) const {
    return handlesThroughBaseMapOnly_ && !baseMapHandles && children_.empty() && getListeners().empty() &&
           getPostListeners().empty();
}

bool BaseNode::routeToChildren(int32_t mode, Event* event) {
    if (!event) return false;
    // Whether BaseNode's own map has a handler for the event: when it has
    // none, children that take events only through that map and have no
    // children and no listeners would answer false without doing anything.
    // The frame's update and render events pass thousands of such sprites.
    const bool baseMapHandles = BaseNode::getEventMap().entries().count(static_cast<uint32_t>(event->getTypeId())) != 0;
    // Handlers may add or remove children; an index past the end is passed over.
    for (uint32_t i = children_.size(); i-- > 0;) {
        if (i >= children_.size()) continue;
        BaseNode* child = children_[i];
        if (!child->takesCategory(event->getCategory()) || child->ignoresEvent(baseMapHandles)) continue;
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(child);
        if (child->deliver(mode, event)) return true;
    }
    return false;
}

void BaseNode::postEvent(EventReceiver* target, int32_t mode, Event* event) {
    if (!manager_ || !target || !event || !target->takesCategory(event->getCategory())) return;
    if (NodeEventQueue* queue = manager_->getEventQueue()) queue->queueEvent(target, mode, event);
}

void BaseNode::postToParent(int32_t mode, Event* event) { postEvent(parent_, mode, event); }

// ---- States -----------------------------------------------------------------

State* BaseNode::getState(NameId name) const {
    auto found = states_.find(name);
    return found == states_.end() ? nullptr : found->second.get();
}

bool BaseNode::addState(State* state) {
    if (!state || states_.count(state->getName()) != 0) return false;
    state->setNode(this);
    states_.emplace(state->getName(), CountedRef<State>::share(state));
    return true;
}

void BaseNode::stopState(NameId name, bool jumpToEnd) {
    auto found = states_.find(name);
    if (found == states_.end()) return;
    CountedRef<State> state = found->second;
    state->stop(jumpToEnd);
}

void BaseNode::stopAllStates(bool jumpToEnd) {
    std::vector<CountedRef<State>> states;
    states.reserve(states_.size());
    for (const auto& entry : states_) states.push_back(entry.second);
    for (const CountedRef<State>& state : states) state->stop(jumpToEnd);
}

void BaseNode::clearStates() {
    StateMap taken;
    taken.swap(states_);
    defaultState_ = kNoName;
    runningState_ = nullptr;
    // A state someone else still holds must not keep pointing here.
    for (auto& entry : taken) entry.second->setNode(nullptr);
}

int32_t BaseNode::getWaitCount(NameId state) const {
    auto found = waitMap_.find(state);
    return found == waitMap_.end() ? 0 : found->second;
}

void BaseNode::setState(NameId state, StateResolver resolver, NameId report) {
    if (state == kNoName) return;
    if (report == kNoName) report = state;

    auto found = states_.find(state);
    if (found != states_.end()) {
        CountedRef<State> entered = found->second;
        if (State* running = runningState_) {
            // Its interrupted end reaches this node while it is still running.
            CountedRef<State> keep = CountedRef<State>::share(running);
            running->stop(false);
            runningState_ = nullptr;
        }
        runningState_ = entered.get();
        entered->start(ownerScene_ ? ownerScene_->getTimerScheduler() : nullptr, report);
        return;
    }

    if (resolver && gFallbackDepth < kMaxFallbackDepth) {
        const NameId other = resolver(state);
        if (other != kNoName) {
            ++gFallbackDepth;
            setState(other, resolver, report);
            --gFallbackDepth;
            return;
        }
    }
    notifyStateDone(report, false);
}

void BaseNode::notifyStateDone(NameId name, bool self) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (self) {
        CountedRef<NodeStateStartedEvent> started(new NodeStateStartedEvent(this, name));
        handleEvent(started.get());
        CountedRef<NodeStateFinishedEvent> finished(new NodeStateFinishedEvent(this, name));
        handleEvent(finished.get());
    } else {
        CountedRef<NodeStateSkippedEvent> skipped(new NodeStateSkippedEvent(this, name));
        routeToParent(DeliveryMode::HandleOnly, skipped.get());
        CountedRef<NodeTagReachedEvent> tag(new NodeTagReachedEvent(this, name));
        routeToParent(DeliveryMode::HandleOnly, tag.get());
    }
}

void BaseNode::enterSubtreeState(NameId state, StateResolver resolver) {
    if (children_.empty()) {
        notifyStateDone(state, true);
        return;
    }
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<NodeStateStartedEvent> started(new NodeStateStartedEvent(this, state));
    handleEvent(started.get());
    waitMap_[state] = static_cast<int32_t>(children_.size());
    // A child that ends at once counts down here, and the handlers of the
    // finished event may change the children: walk a held copy.
    std::vector<CountedRef<BaseNode>> children;
    children.reserve(children_.size());
    for (uint32_t i = 0; i < children_.size(); ++i) children.push_back(CountedRef<BaseNode>::share(children_[i]));
    for (const CountedRef<BaseNode>& child : children) child->setState(state, resolver, kNoName);
}

bool BaseNode::onEvent67(StateEndedEvent* event) {
    if (!event || !runningState_ || runningState_ != event->getState()) return false;
    const NameId next = runningState_->getNextState();
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);

    CountedRef<NodeTagReachedEvent> tag(new NodeTagReachedEvent(this, event->getReportName()));
    const bool handled = routeToParent(DeliveryMode::HandleOnly, tag.get());

    if (!handled && getRefCount() > 1 && !event->isInterrupted() && next != kNoName) {
        // States that end at once enter their next state from inside this
        // call. A chain of them that comes back to a state whose entry is
        // still in progress further up would never return; it stops there.
        if (std::find(nextStateChain_.begin(), nextStateChain_.end(), next) != nextStateChain_.end()) {
            getLogger().log("Next state loops back to a state that ends at once; the chain stops there",
                            nameOfId(next).c_str(), LOG_ERROR);
        } else {
            nextStateChain_.push_back(next);
            setState(next, nullptr, kNoName);
            nextStateChain_.pop_back();
        }
    }
    return false;
}

bool BaseNode::onEvent70(NodeTagReachedEvent* event) {
    if (!event) return false;
    BaseNode* child = event->getNode();
    if (!child || child->parent_ != this) return false;
    auto found = waitMap_.find(event->getName());
    if (found == waitMap_.end() || found->second <= 0) return false;
    if (--found->second > 0) return false;
    waitMap_.erase(found);

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<NodeStateFinishedEvent> finished(new NodeStateFinishedEvent(this, event->getName()));
    if (!handleEvent(finished.get())) routeToParent(DeliveryMode::HandleOnly, finished.get());
    return false;
}

// ---- Copies -----------------------------------------------------------------

BaseNode* BaseNode::clone(BaseNode* parent, BaseNode* manager) { return cloneAs<BaseNode>(parent, manager); }

void BaseNode::copyFrom(BaseNode* source, BaseNode*) {
    if (!source || source == this) return;
    name_ = source->name_;
    absoluteTransform_ = source->absoluteTransform_;
    position_ = source->position_;
    rotation_ = source->rotation_;
    scale_ = source->scale_;
    bounds_ = source->bounds_;
    pivotPoint_ = source->pivotPoint_;
    tintColor_ = source->tintColor_;
    visible_ = source->visible_;
    canBeHit_ = source->canBeHit_;
    childrenClipped_ = source->childrenClipped_;
    // The absolute values belong to the source's place in its tree.
    transformDirty_ = true;
    colorDirty_ = true;
    source->copyChildrenAndStates(this);
}

void BaseNode::copyChildrenAndStates(BaseNode* target) {
    if (!target) return;
    std::vector<CountedRef<BaseNode>> children;
    children.reserve(children_.size());
    for (uint32_t i = 0; i < children_.size(); ++i) children.push_back(CountedRef<BaseNode>::share(children_[i]));
    for (const CountedRef<BaseNode>& child : children) {
        if (child->ghost_) continue;
        BaseNode* copy = child->clone(target, target->manager_);
        // A clone that could not join the target belongs to nobody else.
        if (copy && copy->getParent() != target) copy->release();
    }

    std::vector<CountedRef<State>> states;
    states.reserve(states_.size());
    for (const auto& entry : states_) states.push_back(entry.second);
    for (const CountedRef<State>& state : states) {
        CountedRef<State> copy(state->clone());
        target->addState(copy.get());
    }

    target->defaultState_ = defaultState_;
    if (defaultState_ != kNoName) target->setState(defaultState_, nullptr, kNoName);
}

// ---- Scene files ------------------------------------------------------------

void BaseNode::readFromXml(XmlReader* reader, NodeFactory* factory) {
    removeAllChildren();
    clearStates();
    if (!factory) factory = &getNodeFactory();
    if (reader && !reader->finishEmptyElement()) {
        const int32_t depth = reader->getDepth();
        while (reader->readInside(depth)) {
            const irr::io::EXML_NODE type = reader->getNodeType();
            const stringw& element = reader->getNodeName();
            if (type != irr::io::EXN_ELEMENT) continue;
            if (element == L"Properties") {
                CountedRef<PropertySet> set(new PropertySet(getContentManager()));
                set->read(reader);
                readProperties(set.get());
            } else if (element == L"States") {
                readStates(reader);
            } else if (element == L"SceneNode") {
                readChildElement(reader, factory);
            }
        }
        if (reader->getNodeType() != irr::io::EXN_ELEMENT_END) {
            getLogger().log("Scene file ends inside a node element; the node is incomplete",
                            narrow(getClassName()).c_str(), LOG_ERROR);
            reportContentProblem(getCreationContext().getName().c_str());
        }
    }
    onLoaded();
}

void BaseNode::readChildElement(XmlReader* reader, NodeFactory* factory) {
    if (!reader->getAttributeValue(L"File").empty()) {
        includeChildFile(reader);
        return;
    }
    const CreationContext context(getContentManager(), "");
    const stringw classOverride = reader->getAttributeValue(L"ClassOverride");
    const stringw kind = reader->getAttributeValue(L"Type");
    BaseNode* child = nullptr;
    if (!classOverride.empty()) child = factory->createNode(classOverride, &context);
    if (!child) child = factory->createNode(kind, &context);
    if (!child) {
        // The element and everything inside it are passed over; the rest of
        // this node's content still reads.
        getLogger().log("Unknown node kind in scene file; element skipped", narrow(kind).c_str(), LOG_ERROR);
        reader->skipElement();
        return;
    }
    addChild(child);
    child->readFromXml(reader, factory);
    child->release();
}

void BaseNode::includeChildFile(XmlReader* reader) {
    const stringc path = narrow(reader->getAttributeValue(L"File"));
    if (IContentManager* contentManager = getContentManager()) {
        if (BaseNode* node = contentManager->loadSceneNode(path, true)) {
            addChild(node);
            node->release();
        }
    } else {
        getLogger().log("Scene file include needs a content manager; skipped", path.c_str(), LOG_WARNING);
    }
    // The include stands for the whole element.
    reader->skipElement();
}

void BaseNode::writeToXml(XmlWriter* writer) {
    if (ghost_ || !writer) return;
    writer->writeElement(L"SceneNode", false, L"Type", getClassName());
    writer->writeLineBreak();
    CountedRef<PropertySet> set(new PropertySet(getContentManager()));
    writeProperties(set.get());
    if (set->getCount() != 0) set->write(writer);
    if (!states_.empty()) writeStates(writer);
    for (uint32_t i = 0; i < children_.size(); ++i) children_[i]->writeToXml(writer);
    writer->writeClosingTag(L"SceneNode");
    writer->writeLineBreak();
}

void BaseNode::readStates(XmlReader* reader) {
    clearStates();
    if (!reader || reader->finishEmptyElement()) return;
    IContentManager* contentManager = getContentManager();
    const int32_t depth = reader->getDepth();
    while (reader->readInside(depth)) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        const stringw& element = reader->getNodeName();
        if (type != irr::io::EXN_ELEMENT) continue;
        if (element == L"Properties") {
            CountedRef<PropertySet> set(new PropertySet(contentManager));
            set->read(reader);
            if (set->indexOf("DefaultState") >= 0) defaultState_ = makeNameId(set->getString("DefaultState"));
        } else if (element == L"State") {
            CountedRef<State> state(new State(makeNameId(reader->getAttributeValue(L"Name"))));
            state->setNextState(makeNameId(reader->getAttributeValue(L"NextState")));
            state->readXml(reader, manager_, this, contentManager);
            // A second state of the same name is dropped; the first stays.
            addState(state.get());
        }
    }
}

void BaseNode::writeStates(XmlWriter* writer) {
    if (!writer) return;
    writer->writeElement(L"States", false);
    writer->writeLineBreak();
    const stringc& defaultName = nameOfId(defaultState_);
    if (!defaultName.empty()) {
        CountedRef<PropertySet> set(new PropertySet(getContentManager()));
        set->setString("DefaultState", defaultName);
        set->write(writer);
    }
    for (const auto& entry : states_) entry.second->writeXml(writer);
    writer->writeClosingTag(L"States");
    writer->writeLineBreak();
}

}  // namespace engine
