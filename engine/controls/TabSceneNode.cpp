#include "engine/controls/TabSceneNode.h"
#include "engine/core/PropertySet.h"
#include <string>

namespace engine {

namespace {

TabSceneNode& tabsOf(PropertyTableOwner& o) { return static_cast<TabSceneNode&>(o); }

void setTabsCountEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    tabsOf(o).setTabsCount(intFromProperty(v));
}
CountedRef<IPropertyData> getTabsCountEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(tabsOf(o).getTabsCount()));
}
void setActiveTabEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    tabsOf(o).setActiveTabIndex(intFromProperty(v));
}
CountedRef<IPropertyData> getActiveTabEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(tabsOf(o).getActiveTabIndex()));
}
void setHideButtonEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    tabsOf(o).setHideTabButtonOnSelect(boolFromProperty(v));
}
CountedRef<IPropertyData> getHideButtonEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(tabsOf(o).isHideTabButtonOnSelect()));
}

NameId defaultStateName() {
    static const NameId id = makeNameId("Default");
    return id;
}

void handTo(BaseNode* page, Event* event) {
    if (!page) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(page);
    page->handleEvent(event);
}

}  // namespace

TabSceneNode::TabSceneNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : SceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

TabSceneNode::~TabSceneNode() = default;

const EventMap<TabSceneNode>& TabSceneNode::getEventMap() {
    static const EventMap<TabSceneNode> map(
        ControlNode::getEventMap(),
        {
            {EventId::NodeStateFinishedEvent,
             [](TabSceneNode& n, Event* e) { return n.onStateFinished(dynamic_cast<NodeStateFinishedEvent*>(e)); }},
            {EventId::NodePressPreviewEvent, [](TabSceneNode& n, Event* e) { return n.onPressPreview(e); }},
            {EventId::NodePressedEvent,
             [](TabSceneNode& n, Event* e) { return n.onPressed(dynamic_cast<NodePressedEvent*>(e)); }},
        });
    return map;
}

const PropertyTable& TabSceneNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, SceneNode::classPropertyTable());
        t.add("TabsCount", &setTabsCountEntry, &getTabsCountEntry);
        t.add("ActiveTabIndex", &setActiveTabEntry, &getActiveTabEntry);
        t.add("HideTabButtonOnSelect", &setHideButtonEntry, &getHideButtonEntry);
        return t;
    }();
    return table;
}

const PropertyTable& TabSceneNode::getPropertyTable() const { return classPropertyTable(); }

BaseNode* TabSceneNode::getTab(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= tabs_.size()) return nullptr;
    return tabs_[static_cast<size_t>(index)].get();
}

BaseNode* TabSceneNode::getTabButton(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= tabButtons_.size()) return nullptr;
    return tabButtons_[static_cast<size_t>(index)].get();
}

int32_t TabSceneNode::childPosition(const BaseNode* node) const {
    if (!node) return -1;
    for (uint32_t i = 0; i < getChildCount(); ++i) {
        if (getChild(i) == node) return static_cast<int32_t>(i);
    }
    return -1;
}

// ---- Gathering ------------------------------------------------------------------

void TabSceneNode::gatherTabs() {
    tabs_.clear();
    tabButtons_.clear();
    BaseNode* lastPage = nullptr;
    BaseNode* lastButton = nullptr;
    for (int32_t n = 1; n <= tabsCount_; ++n) {
        const std::string page = "Tab" + std::to_string(n);
        BaseNode* tab = findChild(makeNameId(page.c_str()), 1);
        BaseNode* button = findChild(makeNameId((page + "Button").c_str()), 1);
        tabs_.push_back(CountedRef<BaseNode>::share(tab));
        tabButtons_.push_back(CountedRef<BaseNode>::share(button));
        if (tab) lastPage = tab;
        if (button) lastButton = button;
    }
    // The drawing positions of the active page and button. A missing last
    // page falls back to the last page found, so a gap in the numbering does
    // not drop the active page from drawing.
    lastTabChild_ = -1;
    lastButtonChild_ = -1;
    if (!tabs_.empty() && getChildCount() != 0) {
        lastTabChild_ = childPosition(lastPage);
        lastButtonChild_ = childPosition(lastButton);
    }
}

// ---- Switching --------------------------------------------------------------------

void TabSceneNode::switchTab(int32_t index, bool force) {
    if (index < 0 || static_cast<size_t>(index) >= tabs_.size()) return;
    if (!force && index == activeTabIndex_) return;
    // A slot without a page cannot be shown: the switch is refused so that
    // the active page stays as it is.
    CountedRef<BaseNode> next = tabs_[static_cast<size_t>(index)];
    if (!next) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);

    for (int32_t slot : {previousTabIndex_, activeTabIndex_}) {
        if (BaseNode* page = pageAt(slot)) page->stopAllStates(true);
    }

    CountedRef<BaseNode> old = CountedRef<BaseNode>::share(pageAt(activeTabIndex_));
    const int32_t formerActive = activeTabIndex_;
    previousTabIndex_ = activeTabIndex_;
    activeTabIndex_ = index;
    if (index == formerActive) {
        previousTabIndex_ = -1;
        old = CountedRef<BaseNode>();
    }

    CountedRef<TabSwitchEvent> switchEvent(new TabSwitchEvent(old.get(), next.get()));
    CountedRef<TabSwitchingEvent> switching(new TabSwitchingEvent(old.get(), next.get()));
    if (old) {
        handTo(old.get(), switchEvent.get());
        postEvent(old.get(), DeliveryMode::HandleThenParent, switching.get());
    }
    handTo(next.get(), switchEvent.get());
    postEvent(next.get(), DeliveryMode::HandleThenParent, switching.get());

    next->setVisible(true);
    if (hideTabButtonOnSelect_) {
        if (BaseNode* button = buttonAt(activeTabIndex_)) button->setVisible(false);
    }

    if (old) {
        pendingTransitions_ = 2;
        const std::string name = std::to_string(previousTabIndex_ + 1) + "To" + std::to_string(index + 1);
        transitionState_ = makeNameId(name.c_str());
        old->enterSubtreeState(transitionState_, nullptr);
        next->enterSubtreeState(transitionState_, nullptr);
        if (hideTabButtonOnSelect_) {
            if (BaseNode* button = buttonAt(previousTabIndex_)) button->setVisible(true);
        }
        return;
    }

    pendingTransitions_ = 1;
    transitionState_ = defaultStateName();
    const std::vector<CountedRef<BaseNode>> pages = tabs_;
    for (const CountedRef<BaseNode>& page : pages) {
        if (!page) continue;
        page->enterSubtreeState(transitionState_, nullptr);
        if (page != next) page->setVisible(false);
    }
    if (hideTabButtonOnSelect_) {
        for (size_t i = 0; i < tabButtons_.size(); ++i) {
            if (tabButtons_[i]) tabButtons_[i]->setVisible(static_cast<int32_t>(i) != activeTabIndex_);
        }
    }
}

// ---- Events -------------------------------------------------------------------------

bool TabSceneNode::onStateFinished(NodeStateFinishedEvent* event) {
    if (!event) return false;
    BaseNode* node = event->getNode();
    BaseNode* previous = pageAt(previousTabIndex_);
    BaseNode* active = pageAt(activeTabIndex_);
    const bool ours = transitionState_ != kNoName && event->getName() == transitionState_ && node &&
                      node->getParent() == this && (node == previous || node == active) && pendingTransitions_ > 0;
    // Any other finished state is the scene's own business (its transitions
    // and control states).
    if (!ours) return SceneNode::onEvent74(event);

    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    --pendingTransitions_;
    if (previous && node == previous) previous->setVisible(false);
    if (pendingTransitions_ > 0) return true;

    CountedRef<TabSwitchedEvent> switched(new TabSwitchedEvent(previous, active));
    if (previous) postEvent(previous, DeliveryMode::HandleThenParent, switched.get());
    if (active) postEvent(active, DeliveryMode::HandleThenParent, switched.get());
    transitionState_ = kNoName;
    return true;
}

bool TabSceneNode::onPressPreview(Event*) { return false; }

bool TabSceneNode::onPressed(NodePressedEvent* event) {
    if (!event || !event->getNode()) return false;
    for (size_t i = 0; i < tabButtons_.size(); ++i) {
        if (tabButtons_[i] && tabButtons_[i].get() == event->getNode()) {
            switchTab(static_cast<int32_t>(i), false);
            break;
        }
    }
    // The press goes on to the scene as well.
    return false;
}

bool TabSceneNode::onEvent33(SceneShownEvent* event) {
    if (!ControlNode::onEvent33(event)) switchTab(activeTabIndex_, true);
    return false;
}

// ---- Routing ---------------------------------------------------------------------------

bool TabSceneNode::offerInput(BaseNode* receiver, Event* event) {
    if (!receiver) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(receiver);
    if (receiver->routeToChildren(DeliveryMode::ChildrenThenHandle, event)) return true;
    return receiver->takesCategory(event->getCategory()) && receiver->handleEvent(event);
}

bool TabSceneNode::routeToChildren(int32_t mode, Event* event) {
    if (!event) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (!event->isOfType(EventId::InputEvent)) {
        for (uint32_t i = 0; i < getChildCount(); ++i) {
            CountedRef<BaseNode> child = CountedRef<BaseNode>::share(getChild(i));
            if (!child->takesCategory(event->getCategory())) continue;
            if (child->deliver(mode, event)) return true;
        }
        return false;
    }
    if (pendingTransitions_ != 0 || !isEnabled()) return false;
    if (offerInput(pageAt(activeTabIndex_), event)) return true;
    if (offerInput(buttonAt(activeTabIndex_), event)) return true;
    const std::vector<CountedRef<BaseNode>> buttons = tabButtons_;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (static_cast<int32_t>(i) == activeTabIndex_) continue;
        if (offerInput(buttons[i].get(), event)) return true;
    }
    return false;
}

// ---- Drawing ------------------------------------------------------------------------------

void TabSceneNode::collectRenderItems(RenderList& list) {
    if (!prepareRenderItems()) return;
    BaseNode* activePage = pageAt(activeTabIndex_);
    BaseNode* activeButton = buttonAt(activeTabIndex_);
    bool pageDone = !activePage;
    bool buttonDone = !activeButton;
    for (uint32_t i = 0; i < getChildCount(); ++i) {
        BaseNode* child = getChild(i);
        if (child != activePage && child != activeButton) child->collectRenderItems(list);
        if (!pageDone && static_cast<int32_t>(i) == lastTabChild_) {
            activePage->collectRenderItems(list);
            pageDone = true;
        }
        if (!buttonDone && static_cast<int32_t>(i) == lastButtonChild_) {
            activeButton->collectRenderItems(list);
            buttonDone = true;
        }
    }
    // Positions that no longer name a child (children changed since the
    // gathering) put the active page and button on top rather than lose them.
    if (!pageDone && activePage->getParent() == this) activePage->collectRenderItems(list);
    if (!buttonDone && activeButton->getParent() == this) activeButton->collectRenderItems(list);
}

// ---- Properties and copies ------------------------------------------------------------------

void TabSceneNode::writeProperties(PropertySet* set) {
    if (!set) return;
    SceneNode::writeProperties(set);
    if (tabsCount_ != 0) set->add("TabsCount", CountedRef<IPropertyData>(makeIntProperty(tabsCount_)));
    if (activeTabIndex_ != -1) set->add("ActiveTabIndex", CountedRef<IPropertyData>(makeIntProperty(activeTabIndex_)));
    if (hideTabButtonOnSelect_) PropertySet::addValue(set, "HideTabButtonOnSelect", true);
}

void TabSceneNode::readProperties(PropertySet* set) {
    if (!set) return;
    SceneNode::readProperties(set);
    if (set->indexOf("TabsCount") >= 0) tabsCount_ = intFromProperty(set->find("TabsCount"));
    if (set->indexOf("ActiveTabIndex") >= 0) activeTabIndex_ = intFromProperty(set->find("ActiveTabIndex"));
    if (set->indexOf("HideTabButtonOnSelect") >= 0)
        hideTabButtonOnSelect_ = boolFromProperty(set->find("HideTabButtonOnSelect"));
}

void TabSceneNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    SceneNode::copyFrom(source, manager);
    if (TabSceneNode* other = nodeCast<TabSceneNode>(source)) {
        tabsCount_ = other->tabsCount_;
        activeTabIndex_ = other->activeTabIndex_;
        hideTabButtonOnSelect_ = other->hideTabButtonOnSelect_;
    }
}

}  // namespace engine
