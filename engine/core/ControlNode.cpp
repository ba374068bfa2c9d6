#include "engine/core/ControlNode.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertySet.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include <algorithm>
#include <map>
#include <vector>

namespace engine {

namespace {

// Virtual-key codes of the arrow keys.

NameId templateRootNameId() {
    static const NameId id = makeNameId("TemplateRoot");
    return id;
}

// The templates being applied further up the call chain. A template that
// (through the controls inside it) contains itself would otherwise clone
// itself without end.
std::vector<NameId>& templatesInProgress() {
    static std::vector<NameId> names;
    return names;
}

ControlNode& controlOf(PropertyTableOwner& object) { return static_cast<ControlNode&>(object); }

CountedRef<IPropertyData> nameValue(NameId id) { return CountedRef<IPropertyData>(makeStringPropertyFromNameId(id)); }
CountedRef<IPropertyData> boolValue(bool value) { return CountedRef<IPropertyData>(makeBoolProperty(value)); }

// ---- Table accessors -----------------------------------------------------------

void setDefaultFocusEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setDefaultFocusObjectName(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getDefaultFocusEntry(PropertyTableOwner& o) {
    return nameValue(controlOf(o).getDefaultFocusObjectName());
}
void setNavLeftEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setNavLeftObjectName(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getNavLeftEntry(PropertyTableOwner& o) { return nameValue(controlOf(o).getNavLeftObjectName()); }
void setNavRightEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setNavRightObjectName(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getNavRightEntry(PropertyTableOwner& o) { return nameValue(controlOf(o).getNavRightObjectName()); }
void setNavDownEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setNavDownObjectName(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getNavDownEntry(PropertyTableOwner& o) { return nameValue(controlOf(o).getNavDownObjectName()); }
void setNavUpEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setNavUpObjectName(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getNavUpEntry(PropertyTableOwner& o) { return nameValue(controlOf(o).getNavUpObjectName()); }
void setTemplateNameEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setTemplateName(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getTemplateNameEntry(PropertyTableOwner& o) { return nameValue(controlOf(o).getTemplateName()); }
void setWantFocusEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setWantFocus(boolFromProperty(v));
}
CountedRef<IPropertyData> getWantFocusEntry(PropertyTableOwner& o) { return boolValue(controlOf(o).getWantFocus()); }
void setFocusOnHoverEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setFocusOnHover(boolFromProperty(v));
}
CountedRef<IPropertyData> getFocusOnHoverEntry(PropertyTableOwner& o) { return boolValue(controlOf(o).isFocusOnHover()); }
void setEnabledEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setEnabled(boolFromProperty(v));
}
CountedRef<IPropertyData> getEnabledEntry(PropertyTableOwner& o) { return boolValue(controlOf(o).isEnabled()); }
void setHoverTrackEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    controlOf(o).setHoverTrack(boolFromProperty(v));
}
CountedRef<IPropertyData> getHoverTrackEntry(PropertyTableOwner& o) { return boolValue(controlOf(o).getHoverTrack()); }

}  // namespace

// ---- State names and fallbacks --------------------------------------------------

const ControlStateNames& controlStateNames() {
    static const ControlStateNames names = {
        makeNameId("Focus"),          makeNameId("KillFocus"),       makeNameId("Press"),
        pressedNameId(),              makeNameId("KillPressed"),     makeNameId("NormalHover"),
        makeNameId("NormalKillHover"), makeNameId("FocusHover"),     makeNameId("FocusKillHover"),
        makeNameId("NormalDisable"),  makeNameId("FocusDisable"),    normalNameId(),
    };
    return names;
}

NameId normalNameId() {
    static const NameId id = makeNameId("Normal");
    return id;
}

NameId controlStateTransition(NameId state) {
    static const std::map<NameId, NameId> table = [] {
        const ControlStateNames& n = controlStateNames();
        return std::map<NameId, NameId>{
            {n.focus, n.normal},          {n.killFocus, n.normal},    {n.normalDisable, n.normal},
            {n.focusDisable, n.normalDisable}, {n.pressed, n.focus},  {n.killPressed, n.focus},
            {n.press, n.focus},           {n.normalKillHover, n.normal}, {n.focusHover, n.normalHover},
            {n.focusKillHover, n.focus},
        };
    }();
    auto found = table.find(state);
    return found == table.end() ? kNoName : found->second;
}

// ---- Construction ---------------------------------------------------------------

ControlNode::ControlNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    addToMask(EventCategory::Mouse | EventCategory::Node);
    linkToParent(parent, mostDerived);
}

ControlNode::~ControlNode() { dropTemplateRoot(); }

// ---- Event map ------------------------------------------------------------------

const EventMap<ControlNode>& ControlNode::getEventMap() {
    static const EventMap<ControlNode> map(
        BaseNode::getEventMap(),
        {
            {EventId::NodeHoverEvent,
             [](ControlNode& n, Event* e) { return n.onEvent47(dynamic_cast<NodeHoverEvent*>(e)); }},
            {EventId::NodeUnhoverEvent,
             [](ControlNode& n, Event* e) { return n.onEvent49(dynamic_cast<NodeUnhoverEvent*>(e)); }},
            {EventId::NodeFocusEvent,
             [](ControlNode& n, Event* e) { return n.onEvent51(dynamic_cast<NodeFocusEvent*>(e)); }},
            {EventId::NodeUnfocusEvent,
             [](ControlNode& n, Event* e) { return n.onEvent53(dynamic_cast<NodeUnfocusEvent*>(e)); }},
            {EventId::NodePressDownEvent,
             [](ControlNode& n, Event* e) { return n.onEvent43(dynamic_cast<NodePressDownEvent*>(e)); }},
            {EventId::NodeReleaseEvent,
             [](ControlNode& n, Event* e) { return n.onEvent45(dynamic_cast<NodeReleaseEvent*>(e)); }},
            {EventId::NodePressEvent,
             [](ControlNode& n, Event* e) { return n.onEvent57(dynamic_cast<NodePressEvent*>(e)); }},
            {EventId::MouseMoveEvent,
             [](ControlNode& n, Event* e) { return n.onEvent20(dynamic_cast<MouseMoveEvent*>(e)); }},
            {EventId::LeftButtonDownEvent,
             [](ControlNode& n, Event* e) { return n.onEvent21(dynamic_cast<LeftButtonDownEvent*>(e)); }},
            {EventId::LeftButtonUpEvent,
             [](ControlNode& n, Event* e) { return n.onEvent24(dynamic_cast<LeftButtonUpEvent*>(e)); }},
            {EventId::KeyDownEvent, [](ControlNode& n, Event* e) { return n.onEvent31(dynamic_cast<KeyDownEvent*>(e)); }},
            {EventId::KeyUpEvent, [](ControlNode& n, Event* e) { return n.onEvent32(dynamic_cast<KeyUpEvent*>(e)); }},
        });
    return map;
}

// ---- Property table and holder ------------------------------------------------------

const PropertyTable& ControlNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("DefaultFocusObject", &setDefaultFocusEntry, &getDefaultFocusEntry);
        t.add("NavLeftObjectName", &setNavLeftEntry, &getNavLeftEntry);
        t.add("NavRightObjectName", &setNavRightEntry, &getNavRightEntry);
        t.add("NavDownObjectName", &setNavDownEntry, &getNavDownEntry);
        t.add("NavUpObjectName", &setNavUpEntry, &getNavUpEntry);
        t.add("TemplateName", &setTemplateNameEntry, &getTemplateNameEntry);
        t.add("WantFocus", &setWantFocusEntry, &getWantFocusEntry);
        t.add("IsFocusOnHover", &setFocusOnHoverEntry, &getFocusOnHoverEntry);
        t.add("Enabled", &setEnabledEntry, &getEnabledEntry);
        t.add("HoverTrack", &setHoverTrackEntry, &getHoverTrackEntry);
        return t;
    }();
    return table;
}

const PropertyTable& ControlNode::getPropertyTable() const { return classPropertyTable(); }

void ControlNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    const struct {
        const char* key;
        NameId value;
    } names[] = {
        {"DefaultFocusObjectName", defaultFocusObjectName_},
        {"NavLeftObjectName", navLeftObjectName_},
        {"NavRightObjectName", navRightObjectName_},
        {"NavDownObjectName", navDownObjectName_},
        {"NavUpObjectName", navUpObjectName_},
        {"TemplateName", templateName_},
    };
    for (const auto& name : names) {
        if (name.value != kNoName) set->add(name.key, nameValue(name.value));
    }
    if (!enabled_) PropertySet::addValue(set, "Enabled", false);
    if (!wantFocus_) PropertySet::addValue(set, "WantFocus", false);
    PropertySet::addValue(set, "IsFocusOnHover", focusOnHover_);
    if (!hoverTrack_) PropertySet::addValue(set, "HoverTrack", false);
}

void ControlNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* key) { return set->indexOf(key) >= 0; };
    const struct {
        const char* key;
        NameId* field;
    } names[] = {
        {"DefaultFocusObjectName", &defaultFocusObjectName_},
        {"NavLeftObjectName", &navLeftObjectName_},
        {"NavRightObjectName", &navRightObjectName_},
        {"NavDownObjectName", &navDownObjectName_},
        {"NavUpObjectName", &navUpObjectName_},
    };
    for (const auto& name : names) {
        if (has(name.key)) *name.field = nameIdFromProperty(set->find(name.key));
    }
    if (has("WantFocus")) wantFocus_ = boolFromProperty(set->find("WantFocus"));
    if (has("IsFocusOnHover")) focusOnHover_ = boolFromProperty(set->find("IsFocusOnHover"));
    if (has("HoverTrack")) hoverTrack_ = boolFromProperty(set->find("HoverTrack"));
    if (has("Enabled")) setEnabled(boolFromProperty(set->find("Enabled")));
    if (has("TemplateName")) setTemplateName(nameIdFromProperty(set->find("TemplateName")));
}

// ---- Template -----------------------------------------------------------------------

void ControlNode::makeTemplateRoot() {
    const CreationContext context(getContentManager(), "TemplateRoot");
    CountedRef<ControlNode> root(new ControlNode(&context, nullptr, getManager(), true));
    root->setName(templateRootNameId());
    root->setGhost(true);
    // A ghost child: linked to this control (and attached with its manager and
    // scene) but not among its children; this control holds the only count.
    addChild(root.get());
    templateRoot_ = root;
}

void ControlNode::dropTemplateRoot() {
    if (!templateRoot_) return;
    CountedRef<ControlNode> root;
    root = templateRoot_;
    templateRoot_.reset();
    // Unlinked first, in case someone else still holds it.
    root->setParent(nullptr);
}

void ControlNode::setTemplateName(NameId name) {
    templateName_ = name;
    applyTemplate();
}

void ControlNode::setTemplateName(const stringc& name) { setTemplateName(makeNameId(name)); }

void ControlNode::applyTemplate() {
    BaseNode* manager = getManager();
    if (!manager) return;
    TemplateCollectionNode* collection = manager->getTemplateCollection();
    if (!collection) return;

    std::vector<NameId>& inProgress = templatesInProgress();
    if (templateName_ != kNoName &&
        std::find(inProgress.begin(), inProgress.end(), templateName_) != inProgress.end()) {
        getLogger().log("Template contains a control with the same template; the inner one stays empty",
                        nameOfId(templateName_).c_str(), LOG_ERROR);
        return;
    }

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<TemplateCollectionNode> holdCollection = CountedRef<TemplateCollectionNode>::share(collection);
    if (!templateRoot_) makeTemplateRoot();
    CountedRef<ControlNode> root = templateRoot_;
    collection->instantiate(templateName_, root.get());
    root->updateAbsoluteTransform();
    root->updateAbsoluteColor();

    // Controls inside the template apply their own templates.
    inProgress.push_back(templateName_);
    CountedRef<NodeEvent34> event(new NodeEvent34(collection));
    root->routeToChildren(DeliveryMode::HandleThenChildren, event.get());
    inProgress.pop_back();
}

bool ControlNode::onEvent33(SceneShownEvent*) {
    applyTemplate();
    return false;
}

bool ControlNode::onEvent34(NodeEvent34*) {
    applyTemplate();
    return false;
}

bool ControlNode::onEvent35(Event*) {
    applyTemplate();
    return false;
}

bool ControlNode::onEvent66(StateStartedEvent*) { return true; }

// ---- States ---------------------------------------------------------------------------

void ControlNode::enterSubtreeState(NameId state, StateResolver resolver) {
    CountedRef<ControlNode> root = templateRoot_;
    const bool rootWaits = root && root->getChildCount() != 0;
    if (getChildCount() == 0 && !rootWaits) {
        notifyStateDone(state, true);
        return;
    }
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<NodeStateStartedEvent> started(new NodeStateStartedEvent(this, state));
    handleEvent(started.get());

    // Children that end at once count down from inside the calls below, and
    // handlers may change the children: walk a held copy.
    std::vector<CountedRef<BaseNode>> children;
    children.reserve(getChildCount());
    for (uint32_t i = 0; i < getChildCount(); ++i) children.push_back(CountedRef<BaseNode>::share(getChild(i)));
    // The template root is not among the children; it is waited for as one.
    setWaitCount(state, static_cast<int32_t>(children.size()) + (rootWaits ? 1 : 0));
    if (rootWaits) root->enterSubtreeState(state, resolver);
    for (const CountedRef<BaseNode>& child : children) child->setState(state, resolver, kNoName);
}

void ControlNode::enterControlState(NameId state) { enterSubtreeState(state, &controlStateTransition); }

bool ControlNode::onEvent74(NodeStateFinishedEvent* event) {
    if (!event) return false;
    if (templateRoot_ && event->getNode() == templateRoot_.get()) {
        // Counts as one of the children this control waits for.
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        CountedRef<NodeTagReachedEvent> tag(new NodeTagReachedEvent(templateRoot_.get(), event->getName()));
        handleEvent(tag.get());
        return true;
    }
    // Only this control's own subtree ends its press; a descendant that
    // finished a "Press" of its own does not.
    if (event->getNode() == this && event->getName() == controlStateNames().press && pressPending_) {
        finishPress();
        return true;
    }
    return false;
}

// ---- Visual states ----------------------------------------------------------------------

void ControlNode::applyPressState() { enterControlState(controlStateNames().press); }

void ControlNode::applyPressEndState() {
    const ControlStateNames& n = controlStateNames();
    if (pressed_) {
        enterControlState(n.pressed);
    } else if (hovered_) {
        enterControlState(focused_ ? n.focusHover : n.normalHover);
    } else {
        enterControlState(focused_ ? n.focusKillHover : n.normalKillHover);
    }
}

void ControlNode::applyPressedState() {
    if (pressed_ && !pressPending_) enterControlState(controlStateNames().pressed);
}

void ControlNode::applyHoverState() {
    if (!enabled_ || pressPending_) return;
    const ControlStateNames& n = controlStateNames();
    if (hovered_) {
        enterControlState(pressed_ ? n.pressed : focused_ ? n.focusHover : n.normalHover);
    } else {
        enterControlState(pressed_ ? n.killPressed : focused_ ? n.focusKillHover : n.normalKillHover);
    }
}

void ControlNode::applyFocusState() {
    const ControlStateNames& n = controlStateNames();
    if (!enabled_) {
        enterControlState(focused_ ? n.focusDisable : n.normalDisable);
        return;
    }
    if (pressPending_ || pressed_) return;
    if (focused_) {
        enterControlState(hovered_ ? n.focusHover : n.focus);
    } else {
        enterControlState(hovered_ ? n.normalHover : n.killFocus);
    }
}

void ControlNode::refreshState() { applyFocusState(); }

void ControlNode::setEnabled(bool enabled) {
    enabled_ = enabled;
    refreshState();
}

// ---- Hover --------------------------------------------------------------------------------

void ControlNode::postToSelf(Event* event) { postEvent(this, DeliveryMode::HandleThenParent, event); }

void ControlNode::setHovered(bool hovered) {
    if (hovered == hovered_) return;
    hovered_ = hovered;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (hovered) {
        CountedRef<NodeHoverEvent> request(new NodeHoverEvent(nullptr, this));
        routeToParent(DeliveryMode::HandleThenParent, request.get());
        CountedRef<NodeHoveredEvent> notice(new NodeHoveredEvent(nullptr, this));
        postToSelf(notice.get());
        if (focusOnHover_) setFocused(true);
    } else {
        CountedRef<NodeUnhoveredEvent> notice(new NodeUnhoveredEvent(this, nullptr));
        postToSelf(notice.get());
    }
    applyHoverState();
}

bool ControlNode::onEvent47(NodeHoverEvent* event) {
    if (!event) return false;
    BaseNode* origin = event->getOrigin();
    if (origin == this) {
        setHovered(true);
        return true;
    }
    if (isAncestorOf(origin)) {
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        setHovered(true);
        CountedRef<NodeUnhoverEvent> spare(new NodeUnhoverEvent(nullptr, origin));
        routeToChildren(DeliveryMode::HandleOnly, spare.get());
    }
    // The request stops at the first control on the way up; its own hover
    // sends it on.
    return true;
}

bool ControlNode::onEvent49(NodeUnhoverEvent* event) {
    if (!event) return false;
    if (event->getOrigin() != this && (event->getTarget() == this || event->getTarget() == nullptr)) setHovered(false);
    return false;
}

// ---- Focus --------------------------------------------------------------------------------

bool ControlNode::isDirectChild(const BaseNode* node) const {
    if (!node) return false;
    const array<BaseNode*>& children = getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) {
        if (children[i] == node) return true;
    }
    return false;
}

bool ControlNode::isAncestorOf(const BaseNode* node) const {
    if (!node) return false;
    for (const BaseNode* up = node->getParent(); up; up = up->getParent()) {
        if (up == this) return true;
    }
    return false;
}

void ControlNode::setFocused(bool focused) {
    if (focused == focused_) return;
    if (focused && !wantFocus_) return;
    focused_ = focused;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (focused) {
        addToMask(EventCategory::Keyboard);
        CountedRef<NodeFocusEvent> request(new NodeFocusEvent(nullptr, this));
        routeToParent(DeliveryMode::HandleThenParent, request.get());
        CountedRef<NodeFocusedEvent> notice(new NodeFocusedEvent(nullptr, this));
        postToSelf(notice.get());
        if (!isDirectChild(focusedChild_)) focusDefault();
    } else {
        // The children keep their focus flags and the focused child stays.
        removeFromMask(EventCategory::Keyboard);
        CountedRef<NodeUnfocusedEvent> notice(new NodeUnfocusedEvent(this, nullptr));
        postToSelf(notice.get());
    }
    applyFocusState();
}

bool ControlNode::onEvent51(NodeFocusEvent* event) {
    if (!event) return false;
    BaseNode* origin = event->getOrigin();
    if (origin == this || origin == nullptr) {
        setFocused(true);
        return true;
    }
    if (isAncestorOf(origin)) {
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        focusedChild_ = origin;
        setFocused(true);
        CountedRef<NodeUnfocusEvent> spare(new NodeUnfocusEvent(nullptr, origin));
        routeToChildren(DeliveryMode::HandleOnly, spare.get());
    }
    return true;
}

bool ControlNode::onEvent53(NodeUnfocusEvent* event) {
    if (!event) return false;
    if (event->getOrigin() != this && (event->getTarget() == this || event->getTarget() == nullptr)) setFocused(false);
    return false;
}

void ControlNode::focusDefault() {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<NodeFocusEvent> request(new NodeFocusEvent(nullptr, nullptr));
    if (defaultFocusObjectName_ != kNoName) {
        if (BaseNode* child = findChild(defaultFocusObjectName_, 1)) {
            CountedRef<BaseNode> held = CountedRef<BaseNode>::share(child);
            if (held->handleEvent(request.get())) return;
        }
    }
    // The last child that is a control takes it (or declines it for all).
    BaseNode::routeToChildren(DeliveryMode::HandleOnly, request.get());
}

// ---- Press --------------------------------------------------------------------------------

void ControlNode::setPressed(bool pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (pressed) {
        CountedRef<NodePressedDownEvent> notice(new NodePressedDownEvent(nullptr, this));
        postToSelf(notice.get());
    } else {
        CountedRef<NodeReleasedEvent> notice(new NodeReleasedEvent(this, nullptr));
        postToSelf(notice.get());
    }
    applyPressedState();
}

bool ControlNode::press() {
    if (pressPending_) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    pressPending_ = true;
    pressed_ = false;
    CountedRef<NodePressPreviewEvent> preview(new NodePressPreviewEvent(this));
    postToSelf(preview.get());
    applyPressState();
    return true;
}

void ControlNode::finishPress() {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    pressPending_ = false;
    applyPressEndState();
    CountedRef<NodePressEvent> done(new NodePressEvent(this));
    if (!handleEvent(done.get())) routeToParent(DeliveryMode::HandleThenParent, done.get());
}

bool ControlNode::onEvent43(NodePressDownEvent* event) {
    if (!event) return false;
    if (event->getOrigin() == this) setPressed(true);
    return true;
}

bool ControlNode::onEvent45(NodeReleaseEvent* event) {
    if (!event) return false;
    if (event->getOrigin() != this && (event->getTarget() == this || event->getTarget() == nullptr)) setPressed(false);
    return false;
}

bool ControlNode::onEvent57(NodePressEvent* event) {
    if (!event) return false;
    CountedRef<NodePressedEvent> notice(new NodePressedEvent(this));
    postToSelf(notice.get());
    return true;
}

// ---- Mouse and keyboard -------------------------------------------------------------------

bool ControlNode::isHitAt(int32_t x, int32_t y) {
    return findNodeAt(vector2df(static_cast<float>(x), static_cast<float>(y))) != nullptr;
}

bool ControlNode::onEvent20(MouseMoveEvent* event) {
    if (!event || !hoverTrack_) return false;
    if (isHitAt(event->getX(), event->getY())) {
        setHovered(true);
        return true;
    }
    setHovered(false);
    return false;
}

bool ControlNode::onEvent21(LeftButtonDownEvent* event) {
    if (!event || !enabled_ || !isHitAt(event->getX(), event->getY())) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (!pressPending_) setPressed(true);
    setFocused(true);
    return true;
}

bool ControlNode::onEvent24(LeftButtonUpEvent* event) {
    if (!event) return false;
    if (enabled_ && isHitAt(event->getX(), event->getY())) {
        if (pressed_) press();
        return false;
    }
    setPressed(false);
    // A release always goes on to the other controls.
    return false;
}

bool ControlNode::onEvent31(KeyDownEvent* event) {
    if (!event) return false;
    // The focused child is not counted: use it only while it is still one of
    // the children (a removed child may be gone).
    ControlNode* current = isDirectChild(focusedChild_) ? nodeCast<ControlNode>(focusedChild_) : nullptr;
    NameId name = kNoName;
    switch (event->getKey()) {
    case KeyCode::Left:
        if (current) name = current->navLeftObjectName_;
        break;
    case KeyCode::Up:
        if (current) name = current->navUpObjectName_;
        break;
    case KeyCode::Right:
        if (current) name = current->navRightObjectName_;
        break;
    case KeyCode::Down:
        if (current) name = current->navDownObjectName_;
        break;
    default:
        return false;
    }
    if (name == kNoName) return false;
    ControlNode* next = nodeCast<ControlNode>(findChild(name, 1));
    if (!next || !next->wantFocus_) return false;
    CountedRef<BaseNode> held = CountedRef<BaseNode>::share(next);
    next->setFocused(true);
    return true;
}

bool ControlNode::onEvent32(KeyUpEvent*) { return false; }

bool ControlNode::routeToChildren(int32_t mode, Event* event) {
    if (!enabled_ && event && event->isOfType(EventId::InputEvent)) return false;
    return BaseNode::routeToChildren(mode, event);
}

// ---- Drawing, hit tests, transforms -------------------------------------------------------

void ControlNode::collectRenderItems(RenderList& list) {
    if (!prepareRenderItems()) return;
    if (templateRoot_) templateRoot_->collectRenderItems(list);
    for (uint32_t i = 0; i < getChildCount(); ++i) getChild(i)->collectRenderItems(list);
}

bool ControlNode::hitTest(const vector2df& point) {
    return isVisible() && templateRoot_ && templateRoot_->findNodeAt(point) != nullptr;
}

void ControlNode::updateAbsoluteTransform() {
    BaseNode::updateAbsoluteTransform();
    if (templateRoot_) templateRoot_->updateAbsoluteTransform();
}

void ControlNode::updateAbsoluteColor() {
    BaseNode::updateAbsoluteColor();
    if (templateRoot_) templateRoot_->updateAbsoluteColor();
}

void ControlNode::attach(BaseNode* manager, BaseNode* scene) {
    BaseNode::attach(manager, scene);
    if (templateRoot_) {
        CountedRef<ControlNode> root = templateRoot_;
        root->attach(manager, scene);
    }
}

// ---- Copies -------------------------------------------------------------------------------

void ControlNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    BaseNode::copyFrom(source, manager);
    if (ControlNode* other = nodeCast<ControlNode>(source)) {
        enabled_ = other->enabled_;
        wantFocus_ = other->wantFocus_;
        hoverTrack_ = other->hoverTrack_;
        focusOnHover_ = other->focusOnHover_;
        defaultFocusObjectName_ = other->defaultFocusObjectName_;
        navLeftObjectName_ = other->navLeftObjectName_;
        navRightObjectName_ = other->navRightObjectName_;
        navDownObjectName_ = other->navDownObjectName_;
        navUpObjectName_ = other->navUpObjectName_;
        templateName_ = other->templateName_;
    }
    dropTemplateRoot();
    ControlNode* other = nodeCast<ControlNode>(source);
    if (other && other->templateRoot_) {
        CountedRef<ControlNode> sourceRoot = other->templateRoot_;
        makeTemplateRoot();
        sourceRoot->copyChildrenAndStates(templateRoot_.get());
    }
}

}  // namespace engine
