#pragma once
// A scene holding several pages ("Tab1", "Tab2"...) and one button per page
// ("Tab1Button"...), showing one page at a time.
//
// Switching plays a named state on the two pages involved ("1To3" from the
// first to the third page; "Default" on every page when there is no old one)
// and tells the pages and the scene with the tab events: TabSwitchEvent is
// handed to the old and the new page at once, TabSwitchingEvent is posted up
// from them, and TabSwitchedEvent follows when the state has ended on both
// pages. While a switch runs, input does not reach the pages or the buttons.
#include "engine/core/SceneNode.h"
#include <vector>

namespace engine {

class TabSceneNode : public SceneNode {
    ENGINE_DECLARE_EVENT_MAP(TabSceneNode)
    ENGINE_NODE_TYPE(TabSceneNode, SceneNode, 8)

public:
    TabSceneNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~TabSceneNode() override;

    // The scene's table, then "TabsCount", "ActiveTabIndex" and
    // "HideTabButtonOnSelect".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Shows the page of the 0-based index. Nothing for an index out of range,
    // for a slot whose page is missing, or (without force) for the active one.
    void switchTab(int32_t index, bool force);
    void setActiveTabIndex(int32_t index) { switchTab(index, false); }
    int32_t getActiveTabIndex() const { return activeTabIndex_; }

    int32_t getTabsCount() const { return tabsCount_; }
    void setTabsCount(int32_t count) { tabsCount_ = count; }
    bool isHideTabButtonOnSelect() const { return hideTabButtonOnSelect_; }
    void setHideTabButtonOnSelect(bool hide) { hideTabButtonOnSelect_ = hide; }

    // Rebuilds the page and button slots from the children.
    void gatherTabs();
    void onLoaded() override { gatherTabs(); }

    // Slot accessors (null for a missing page or button or a slot out of range).
    BaseNode* getTab(int32_t index) const;
    BaseNode* getTabButton(int32_t index) const;
    // Pages that have not yet ended the running switch's state.
    int32_t getPendingTransitions() const { return pendingTransitions_; }
    NameId getTransitionState() const { return transitionState_; }

    // ---- Event handlers ---------------------------------------------------
    bool onEvent33(SceneShownEvent* event) override;
    bool onStateFinished(NodeStateFinishedEvent* event);
    bool onPressPreview(Event* event);
    bool onPressed(NodePressedEvent* event);

    // ---- Node operations --------------------------------------------------
    void collectRenderItems(RenderList& list) override;
    bool routeToChildren(int32_t mode, Event* event) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    BaseNode* pageAt(int32_t index) const { return getTab(index); }
    BaseNode* buttonAt(int32_t index) const { return getTabButton(index); }
    int32_t childPosition(const BaseNode* node) const;
    bool offerInput(BaseNode* receiver, Event* event);

    int32_t tabsCount_ = 0;
    int32_t activeTabIndex_ = -1;
    bool hideTabButtonOnSelect_ = false;
    std::vector<CountedRef<BaseNode>> tabs_;
    std::vector<CountedRef<BaseNode>> tabButtons_;
    NameId transitionState_ = kNoName;
    int32_t pendingTransitions_ = 0;
    int32_t previousTabIndex_ = -1;
    int32_t lastTabChild_ = -1;
    int32_t lastButtonChild_ = -1;
};

}  // namespace engine
