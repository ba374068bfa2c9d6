#include "engine/core/SceneManager.h"
#include "engine/core/EventReceiverRegistry.h"
#include "engine/core/Logger.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include <vector>

namespace engine {

namespace {

SceneManager::MessageBoxMaker gMessageBoxMaker = nullptr;
DriverBatchFinder gDriverBatchFinder = nullptr;

// The batchers of the managers drawing right now, innermost last. Clipped
// nodes flush the batch through BaseNode's hook, which reaches the innermost.
std::vector<IDrawBatch*>& drawingBatchers() {
    static std::vector<IDrawBatch*> batchers;
    return batchers;
}

void flushDrawingBatcher(irr::video::IVideoDriver*) {
    const std::vector<IDrawBatch*>& batchers = drawingBatchers();
    if (!batchers.empty() && batchers.back()) batchers.back()->flush();
}

// Hands the event to the scene's handleEvent and, when it is not handled
// there, to its parent chain.
void handleOrBubble(SceneNode* scene, Event* event) {
    if (!scene->handleEvent(event)) scene->routeToParent(DeliveryMode::HandleThenParent, event);
}

}  // namespace

const SceneTransitionNames& sceneTransitionNames() {
    static const SceneTransitionNames names = {
        makeNameId("NavTo"),
        makeNameId("NavFrom"),
        makeNameId("NavBackFrom"),
        makeNameId("NavBackTo"),
    };
    return names;
}

void SceneManager::setMessageBoxMaker(MessageBoxMaker maker) { gMessageBoxMaker = maker; }

void SceneManager::setDriverBatchFinder(DriverBatchFinder finder) { gDriverBatchFinder = finder; }

// ---- Construction -------------------------------------------------------------

SceneManager::SceneManager(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    setPeriod(0);
    addToMask(EventCategory::Keyboard | EventCategory::Mouse | EventCategory::Node);
    linkToParent(parent, mostDerived);
}

SceneManager::~SceneManager() {
    queue_.clear();
    processRemovals();
    removeAllChildren();
    templateCollection_.reset();
    std::vector<SceneScheduler> schedulers;
    schedulers.swap(sceneSchedulers_);
    for (const SceneScheduler& entry : schedulers) {
        if (registry_) registry_->removeEventReceiver(entry.scheduler.get());
        // A scene kept elsewhere keeps its scheduler, but nothing ticks it any
        // more; its timers go, so a scene registered on it as a timer (the
        // level) no longer holds itself alive through it.
        entry.scheduler->removeAllTimers();
    }
    schedulers.clear();
    batcher_.reset();
}

// ---- Set-up -----------------------------------------------------------------------

void SceneManager::setTimerScheduler(TimerScheduler* scheduler) { TimerListener::setTimerScheduler(scheduler); }

void SceneManager::setTemplateCollection(TemplateCollectionNode* collection) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    templateCollection_ = CountedRef<TemplateCollectionNode>::share(collection);
    if (!collection) return;
    CountedRef<NodeEvent34> event(new NodeEvent34(collection));
    routeToChildren(DeliveryMode::ChildrenThenHandle, event.get());
}

void SceneManager::setQuadBatcher(IDrawBatch* batcher) { batcher_ = CountedRef<IDrawBatch>::share(batcher); }

IDrawBatch* SceneManager::getQuadBatcher() const { return batcher_.get(); }

// ---- Transition records ---------------------------------------------------------

bool SceneManager::isBusy(const SceneNode* scene) const {
    if (!scene) return false;
    for (uint32_t i = 0; i < transitions_.size(); ++i) {
        if (transitions_[i].firstScene == scene || transitions_[i].secondScene == scene) return true;
    }
    return false;
}

SceneTransition SceneManager::findTransition(const SceneNode* scene) const {
    if (scene) {
        for (uint32_t i = 0; i < transitions_.size(); ++i) {
            if (transitions_[i].firstScene == scene || transitions_[i].secondScene == scene) return transitions_[i];
        }
    }
    return SceneTransition();
}

void SceneManager::removeTransition(const SceneNode* scene) {
    if (!scene) return;
    for (uint32_t i = 0; i < transitions_.size(); ++i) {
        if (transitions_[i].firstScene != scene && transitions_[i].secondScene != scene) continue;
        transitions_[i] = transitions_.getLast();
        transitions_.erase(transitions_.size() - 1);
        return;
    }
}

bool SceneManager::isMessageBox(const SceneNode* scene) const {
    return scene && scene->isOfType(kMessageBoxTypeId);
}

bool SceneManager::isInStackBelow(const SceneNode* top, const SceneNode* scene) const {
    for (const SceneNode* below = top ? top->getSceneBelow() : nullptr; below; below = below->getSceneBelow()) {
        if (below == scene) return true;
    }
    return false;
}

// ---- Scene schedulers and removals -----------------------------------------------------

void SceneManager::createSceneScheduler(SceneNode* scene) {
    if (!scene) return;
    releaseSceneScheduler(scene);
    CountedRef<TimerScheduler> scheduler(new TimerScheduler());
    if (registry_) registry_->addEventReceiver(scheduler.get(), kSceneSchedulerOrder);
    sceneSchedulers_.push_back(SceneScheduler{scene, scheduler});
    scene->setTimerScheduler(scheduler.get());
}

void SceneManager::releaseSceneScheduler(SceneNode* scene) {
    for (size_t i = 0; i < sceneSchedulers_.size(); ++i) {
        if (sceneSchedulers_[i].scene != scene) continue;
        CountedRef<TimerScheduler> scheduler = sceneSchedulers_[i].scheduler;
        sceneSchedulers_.erase(sceneSchedulers_.begin() + static_cast<std::ptrdiff_t>(i));
        if (registry_) registry_->removeEventReceiver(scheduler.get());
        return;
    }
}

void SceneManager::scheduleRemoval(BaseNode* node) {
    if (!node) return;
    for (uint32_t i = 0; i < pendingRemovals_.size(); ++i) {
        if (pendingRemovals_[i] == node) return;
    }
    pendingRemovals_.push_back(node);
}

void SceneManager::forgetRemoval(const BaseNode* node) {
    for (uint32_t i = pendingRemovals_.size(); i-- > 0;) {
        if (pendingRemovals_[i] == node) pendingRemovals_.erase(i);
    }
}

void SceneManager::processRemovals() {
    array<BaseNode*> noted;
    noted.swap(pendingRemovals_);
    for (uint32_t i = 0; i < noted.size(); ++i) {
        // Compare before following the pointer: a noted node that left the
        // manager some other way may be gone.
        bool isChild = false;
        for (uint32_t c = 0; c < getChildCount() && !isChild; ++c) isChild = getChild(c) == noted[i];
        if (!isChild) continue;

        CountedRef<BaseNode> node = CountedRef<BaseNode>::share(noted[i]);
        if (node.get() == topScene_) topScene_ = nullptr;
        SceneNode* scene = nodeCast<SceneNode>(node.get());
        // A scene that leaves plays no transition here any more.
        while (isBusy(scene)) removeTransition(scene);
        removeChild(node.get());
        if (scene) {
            // Its scheduler leaves the device with it, and goes once nobody
            // else needs it; a scene kept elsewhere starts without one when
            // it comes back.
            releaseSceneScheduler(scene);
            scene->setTimerScheduler(nullptr);
        }
    }
}

// ---- Scene stack ------------------------------------------------------------------

void SceneManager::announceShown(SceneNode* scene) {
    CountedRef<SceneShownEvent> shown(new SceneShownEvent(this));
    if (!scene->handleEvent(shown.get())) scene->routeToChildren(DeliveryMode::HandleThenChildren, shown.get());
}

bool SceneManager::setScene(SceneNode* scene, NameId transition) {
    if (isBusy(scene)) return false;
    if (transition == kNoName) transition = sceneTransitionNames().navTo;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<SceneNode> held = CountedRef<SceneNode>::share(scene);

    std::vector<CountedRef<BaseNode>> children;
    for (uint32_t i = 0; i < getChildCount(); ++i) children.push_back(CountedRef<BaseNode>::share(getChild(i)));
    for (const CountedRef<BaseNode>& child : children) {
        scheduleRemoval(child.get());
        if (SceneNode* old = nodeCast<SceneNode>(child.get())) {
            CountedRef<SceneChangeEvent> change(new SceneChangeEvent(old, nullptr, true));
            old->handleEvent(change.get());
            CountedRef<SceneActivatedEvent> activated(new SceneActivatedEvent(old, nullptr, true));
            old->handleEvent(activated.get());
        }
    }

    transitions_.clear();
    topScene_ = nullptr;
    if (!scene) return true;

    // The new scene stays, even when it was one of the scenes just noted.
    forgetRemoval(scene);
    createSceneScheduler(scene);
    addChild(scene);
    scene->attach(this, scene);
    scene->setFocused(false);

    announceShown(scene);
    CountedRef<SceneChangeEvent> change(new SceneChangeEvent(nullptr, scene, true));
    scene->handleEvent(change.get());
    CountedRef<SceneActivatedEvent> activated(new SceneActivatedEvent(nullptr, scene, true));
    handleOrBubble(scene, activated.get());

    topScene_ = scene;
    SceneTransition record;
    record.secondScene = scene;
    record.secondTransition = transition;
    addTransition(record);
    scene->enterSubtreeState(transition, nullptr);
    return true;
}

void SceneManager::cutTransitionShort(SceneNode* top) {
    if (!isBusy(top)) return;
    SceneTransition record = findTransition(top);
    top->stopChildrenState(record.firstScene == top ? record.firstTransition : record.secondTransition);
    if (!isBusy(top)) return;
    // Still waiting for the scene it covered when it was opened: end that
    // scene's transition as well.
    record = findTransition(top);
    if (record.secondScene == top && record.firstScene) {
        CountedRef<SceneNode> first = CountedRef<SceneNode>::share(record.firstScene);
        first->stopChildrenState(record.firstTransition);
    }
}

bool SceneManager::pushScene(SceneNode* top, SceneNode* scene, NameId coveredTransition, NameId newTransition,
                             bool keepVisible) {
    if (!scene || isBusy(scene)) return false;
    // A scene cannot cover itself or a scene above it: the stack would loop.
    if (scene == top || isInStackBelow(top, scene)) return false;
    const SceneTransitionNames& names = sceneTransitionNames();
    if (coveredTransition == kNoName) coveredTransition = names.navFrom;
    if (newTransition == kNoName) newTransition = names.navTo;

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<SceneNode> heldTop = CountedRef<SceneNode>::share(top);
    CountedRef<SceneNode> held = CountedRef<SceneNode>::share(scene);

    if (top) cutTransitionShort(top);

    CountedRef<SceneChangeEvent> change(new SceneChangeEvent(top, scene, true));
    CountedRef<SceneActivatedEvent> activated(new SceneActivatedEvent(top, scene, true));

    BaseNode* parent = this;
    BaseNode* after = getChildCount() ? getChild(getChildCount() - 1) : nullptr;
    if (top) {
        if (top->getParent()) {
            parent = top->getParent();
            after = top;
        }
        top->setFocused(false);
        top->handleEvent(change.get());
        handleOrBubble(top, activated.get());
    }

    forgetRemoval(scene);
    createSceneScheduler(scene);
    scene->setSceneBelow(top);
    parent->insertChildAfter(scene, after);
    scene->setFocused(false);
    scene->attach(this, scene);

    announceShown(scene);
    scene->handleEvent(change.get());
    handleOrBubble(scene, activated.get());

    if (top) topScene_ = scene;

    SceneTransition record;
    record.firstScene = top;
    record.firstTransition = coveredTransition;
    record.secondScene = scene;
    record.secondTransition = newTransition;
    record.forward = true;
    record.keepVisible = keepVisible;
    addTransition(record);
    if (top) {
        addTransition(record);
        top->enterSubtreeState(coveredTransition, nullptr);
    }
    scene->enterSubtreeState(newTransition, nullptr);
    return true;
}

bool SceneManager::popScenes(SceneNode* closing, SceneNode* target, NameId closingTransition,
                             NameId revealedTransition) {
    if (!closing || !target || isBusy(closing) || isBusy(target)) return false;
    if (!isInStackBelow(closing, target)) return false;
    const SceneTransitionNames& names = sceneTransitionNames();
    if (closingTransition == kNoName) closingTransition = names.navBackFrom;
    if (revealedTransition == kNoName) revealedTransition = names.navBackTo;

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<SceneNode> heldClosing = CountedRef<SceneNode>::share(closing);
    CountedRef<SceneNode> heldTarget = CountedRef<SceneNode>::share(target);

    for (SceneNode* between = closing->getSceneBelow(); between && between != target;
         between = between->getSceneBelow()) {
        scheduleRemoval(between);
    }

    closing->setSceneBelow(target);
    closing->setFocused(false);
    target->setFocused(false);
    target->setVisible(true);
    if (TimerScheduler* scheduler = target->getTimerScheduler()) scheduler->setEnabled(true);

    const bool box = isMessageBox(closing);
    if (!box) {
        CountedRef<SceneChangeEvent> change(new SceneChangeEvent(closing, target, false));
        closing->handleEvent(change.get());
        target->handleEvent(change.get());
        CountedRef<SceneActivatedEvent> activated(new SceneActivatedEvent(closing, target, false));
        handleOrBubble(closing, activated.get());
        handleOrBubble(target, activated.get());
    }

    topScene_ = target;
    SceneTransition record;
    record.firstScene = closing;
    record.firstTransition = closingTransition;
    record.secondScene = target;
    record.secondTransition = revealedTransition;
    record.forward = false;
    record.keepVisible = false;
    addTransition(record);
    if (!box) addTransition(record);

    closing->enterSubtreeState(closingTransition, nullptr);
    if (!box) target->enterSubtreeState(revealedTransition, nullptr);
    return true;
}

SceneNode* SceneManager::showMessageBox(SceneNode* owner, NameId templateName, const array<stringw>& buttons,
                                        const stringw& title, const stringw& body) {
    if (!owner || isBusy(owner)) return nullptr;
    BaseNode* tmpl = templateCollection_ ? templateCollection_->getTemplate(templateName) : nullptr;
    if (!tmpl) return nullptr;
    if (!gMessageBoxMaker) {
        logError("No message box kind is installed; the message box is not shown");
        return nullptr;
    }

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<SceneNode> heldOwner = CountedRef<SceneNode>::share(owner);
    const CreationContext none;
    CountedRef<SceneNode> box(gMessageBoxMaker(&none, this));
    if (!box) return nullptr;

    box->setBounds(tmpl->getBounds());
    box->setTemplateName(templateName);
    if (IMessageBox* content = dynamic_cast<IMessageBox*>(box.get())) {
        content->setButtonTexts(buttons);
        content->setTitleText(title);
        content->setBodyText(body);
    }

    const vector3df& ownerPosition = owner->getPosition();
    const vector3df& ownerBounds = owner->getBounds();
    const vector3df& boxBounds = box->getBounds();
    box->setPosition(vector3df(ownerPosition.X + (ownerBounds.X - boxBounds.X) * 0.5f,
                               ownerPosition.Y + (ownerBounds.Y - boxBounds.Y) * 0.5f, ownerPosition.Z));

    owner->setFocused(false);
    createSceneScheduler(box.get());
    box->setSceneBelow(owner);
    BaseNode* parent = owner->getParent() ? owner->getParent() : this;
    parent->insertChildAfter(box.get(), owner);
    box->setFocused(false);
    box->attach(this, box.get());

    announceShown(box.get());

    topScene_ = box.get();
    SceneTransition record;
    record.firstScene = owner;
    record.firstTransition = kNoName;
    record.secondScene = box.get();
    record.secondTransition = sceneTransitionNames().navTo;
    record.forward = true;
    record.keepVisible = true;
    addTransition(record);
    box->enterSubtreeState(record.secondTransition, nullptr);
    // The owner's parent holds the box now.
    return box.get();
}

// ---- End of a transition -------------------------------------------------------------

bool SceneManager::onEvent74(NodeStateFinishedEvent* event) {
    if (!event) return false;
    SceneNode* scene = nodeCast<SceneNode>(event->getNode());
    if (!scene || scene->getManager() != this) return false;

    const SceneTransition record = findTransition(scene);
    NameId transition;
    if (scene == record.firstScene) {
        transition = record.firstTransition;
    } else if (scene == record.secondScene) {
        transition = record.secondTransition;
    } else {
        return false;
    }
    if (transition != event->getName()) return false;

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    CountedRef<SceneNode> held = CountedRef<SceneNode>::share(scene);
    removeTransition(scene);

    if (scene == record.secondScene) {
        // Opened, revealed or shown: it takes the focus, and hover states
        // follow a cursor that did not move.
        CountedRef<SceneTransitionEndEvent> end(
            new SceneTransitionEndEvent(record.firstScene, record.secondScene, record.forward));
        postEvent(scene, DeliveryMode::HandleThenParent, end.get());
        scene->setFocused(true);
        int32_t x = 0;
        int32_t y = 0;
        if (cursor_ && cursor_->getCursorPosition(x, y)) {
            CountedRef<MouseMoveEvent> move(new MouseMoveEvent(x, y));
            postEvent(scene, DeliveryMode::ChildrenThenHandle, move.get());
        }
        return false;
    }

    // Covered or closed.
    if (isMessageBox(scene)) {
        const IMessageBox* box = dynamic_cast<const IMessageBox*>(scene);
        CountedRef<MessageBoxResultEvent> result(new MessageBoxResultEvent(box ? box->getResult() : 0));
        postEvent(record.secondScene, DeliveryMode::HandleOnly, result.get());
    } else {
        CountedRef<SceneTransitionEndEvent> end(
            new SceneTransitionEndEvent(record.firstScene, record.secondScene, record.forward));
        postEvent(scene, DeliveryMode::HandleThenParent, end.get());
    }
    if (!record.forward) {
        scheduleRemoval(scene);
    } else if (record.keepVisible) {
        scene->setVisible(true);
    } else {
        for (SceneNode* hidden = scene; hidden; hidden = hidden->getSceneBelow()) {
            hidden->setVisible(false);
            if (TimerScheduler* scheduler = hidden->getTimerScheduler()) scheduler->setEnabled(false);
        }
    }
    return false;
}

// ---- Event queue -------------------------------------------------------------------

void SceneManager::postEvent(EventReceiver* receiver, int32_t mode, Event* event) {
    if (!receiver || !event) return;
    QueueEntry entry{CountedRef<EventReceiver>::share(receiver), mode, CountedRef<Event>::share(event)};
    if (delivering_) {
        queue_.push_back(std::move(entry));
    } else {
        queue_.push_front(std::move(entry));
    }
}

bool SceneManager::onTimer(uint32_t) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    const bool outermost = !delivering_;
    delivering_ = true;
    while (!queue_.empty()) {
        QueueEntry entry = std::move(queue_.back());
        queue_.pop_back();
        entry.receiver->deliver(entry.mode, entry.event.get());
        // The entry's references to the event and the receiver go here.
    }
    if (outermost) {
        delivering_ = false;
        processRemovals();
    }
    return true;
}

// ---- Routing -------------------------------------------------------------------------

bool SceneManager::routeToChildren(int32_t mode, Event* event) {
    if (!event) return false;
    if (event->isOfType(EventId::InputEvent)) {
        SceneNode* top = topScene_;
        if (!top || top->getParent() != this || isBusy(top)) return false;
        CountedRef<SceneNode> held = CountedRef<SceneNode>::share(top);
        if (top->routeToChildren(DeliveryMode::ChildrenThenHandle, event)) return true;
        return top->handleEvent(event);
    }
    const int32_t typeId = event->getTypeId();
    if (getManager() && (typeId == EventId::SceneShownEvent || typeId == EventId::NodeEvent34 ||
                         typeId == EventId::NodeEvent35)) {
        return false;
    }
    // Handlers may add or remove scenes; a place past the end ends the walk.
    for (uint32_t i = 0; i < getChildCount(); ++i) {
        BaseNode* child = getChild(i);
        if (!child->takesCategory(event->getCategory())) continue;
        CountedRef<BaseNode> held = CountedRef<BaseNode>::share(child);
        if (child->deliver(mode, event)) return true;
    }
    return false;
}

bool SceneManager::routeToParent(int32_t mode, Event* event) {
    BaseNode* parent = getParent();
    if (parent && event && parent->takesCategory(event->getCategory())) return parent->deliver(mode, event);
    return true;
}

// ---- Drawing ---------------------------------------------------------------------------

void SceneManager::sortRenderList(RenderList& list) {
    if (list.size() < 2) return;
    // A list whose every item is less than the next is already in the only
    // order the sort can give it (it has no equal items whose order the heap
    // sort could change): a scene that keeps its depths in tree order costs
    // one pass instead of a sort.
    uint32_t i = 1;
    while (i < list.size() && list[i - 1] < list[i]) ++i;
    if (i == list.size()) return;
    irr::core::heapsort(list.pointer(), static_cast<irr::s32>(list.size()));
}

void SceneManager::drawScenes(irr::video::IVideoDriver* driver) {
    if (!driver || drawing_) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (isTransformDirty()) updateAbsoluteTransform();
    if (isColorDirty()) updateAbsoluteColor();

    drawing_ = true;
    for (uint32_t i = 0; i < getChildCount(); ++i) getChild(i)->collectRenderItems(drawList_);
    if (sortDrawList_ && drawList_.size() >= 2) sortRenderList(drawList_);

    // Drawing nodes hand their quads to the driver's batcher, so that is the
    // one to begin and end unless a batcher was set.
    IDrawBatch* batcher = batcher_ ? batcher_.get() : gDriverBatchFinder ? gDriverBatchFinder(driver) : nullptr;
    drawingBatchers().push_back(batcher);
    setQuadBatchFlush(&flushDrawingBatcher);
    if (batcher) {
        batcher->flush();
        batcher->begin();
    }
    for (uint32_t i = 0; i < drawList_.size(); ++i) drawList_[i].node->render(driver, nullptr);
    if (batcher) batcher->end();
    drawingBatchers().pop_back();

    // The array keeps its capacity for the next frame.
    drawList_.set_used(0);
    drawing_ = false;
}

void SceneManager::collectRenderItems(RenderList& list) {
    if (prepareRenderItems()) addRenderItem(list, 0);
}

void SceneManager::render(irr::video::IVideoDriver* driver, const rectf*) { drawScenes(driver); }

// ---- Copies ------------------------------------------------------------------------------

void SceneManager::copyFrom(BaseNode* source, BaseNode*) {
    if (!source || source == this) return;
    setName(source->getName());
    setPosition(source->getPosition());
    setRotation(source->getRotation());
    setScale(source->getScale());
    setBounds(source->getBounds());
    setPivotPoint(source->getPivotPoint());
    setTintColor(source->getTintColor());
    setVisible(source->isVisible());
    setCanBeHit(source->canBeHit());
    setChildrenClipped(source->isChildrenClipped());
    for (const auto& entry : source->getStates()) {
        CountedRef<State> copy(entry.second->clone());
        addState(copy.get());
    }
    setDefaultState(source->getDefaultState());
    if (getDefaultState() != kNoName) setState(getDefaultState(), nullptr, kNoName);
}

}  // namespace engine
