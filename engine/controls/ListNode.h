#pragma once
// The scrolling list and grid control.
//
// The game fills it with items (texts, images, a template name, enabled and
// checked flags, a user object); the list shows a window of consecutive items
// in a fixed set of elements cloned from the "Element" of its visual template,
// scrolls the window with the template's "PrevButton"/"NextButton", its
// "Slider", the mouse wheel or the arrow keys, keeps one selected item, can
// wrap around (Circular), and tells its parent about presses, hovers,
// check-box changes and selection changes with the list events (59 to 63).
//
// The slider and the check boxes are reached as controls by their names and
// through their property tables ("MinValue", "MaxValue", "Value", "PageSize";
// "IsChecked"), so the list needs nothing else from their classes.
#include "engine/core/ControlNode.h"
#include "engine/visual/AtlasTexture.h"
#include <vector>

namespace engine {

class AtlasTextureContent;

struct ListItem {
    array<stringw> texts;
    std::vector<CountedRef<AtlasTextureContent>> images;
    NameId templateName = kNoName;
    bool checked = false;
    bool enabled = true;
    CountedRef<RefCounted> userData;
};

class ListNode : public ControlNode {
    ENGINE_DECLARE_EVENT_MAP(ListNode)
    ENGINE_NODE_TYPE(ListNode, ControlNode, 13)

public:
    static constexpr int32_t kSliderTypeId = 16;
    static constexpr int32_t kCheckBoxTypeId = 11;

    ListNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~ListNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // ---- Items (call updateElements afterwards unless said) ---------------
    int32_t getItemCount() const { return static_cast<int32_t>(items_.size()); }
    // Grows with default items or shrinks from the end, then re-applies the
    // top item, the elements, the selection and the slider.
    void setItemCount(int32_t count);
    void setItemText(int32_t item, int32_t column, const stringw& text);
    void setItemImage(int32_t item, int32_t column, AtlasTextureContent* texture);
    void setItemTemplate(int32_t item, NameId templateName);
    void setItemEnabled(int32_t item, bool enabled);
    void setItemChecked(int32_t item, bool checked);
    void setItemData(int32_t item, RefCounted* data);
    bool isItemEnabled(int32_t item) const;
    bool isItemChecked(int32_t item) const;
    RefCounted* getItemData(int32_t item) const;
    const ListItem* getItem(int32_t item) const;
    // One item per string (its text 0), then the elements are refreshed.
    void setStrings(const array<stringw>& strings);
    array<stringw> getStrings() const;

    // ---- Selection and scrolling -------------------------------------------
    void selectItem(int32_t index, bool scrollIntoView);
    int32_t getSelectedItem() const { return selectedItem_; }
    void setSelectedItem(int32_t index) { selectItem(index, true); }
    void scrollTo(int32_t topItem);
    int32_t getTopItem() const { return topItem_; }
    void updateElements();
    vector3df getElementPosition(int32_t element) const;
    // The element showing an item (see elementIndexOfItem) and the index
    // rules, public for the tests and the game.
    int32_t clampIndex(int32_t index) const;
    int32_t clampTopItem(int32_t top) const;
    int32_t elementIndexOfItem(int32_t item) const;

    bool isCircular() const { return circular_; }
    void setCircular(bool circular) { circular_ = circular; }
    int32_t getOrientation() const { return orientation_; }
    void setOrientation(int32_t orientation);
    bool isSelectWhileListingOn() const { return selectWhileListing_; }
    void setSelectWhileListingOn(bool on) { selectWhileListing_ = on; }
    int32_t getColumns() const { return columns_; }
    int32_t getRows() const { return rows_; }
    BaseNode* getElementContainer() const { return container_.get(); }
    int32_t getElementCount() const { return static_cast<int32_t>(container_->getChildCount()); }
    BaseNode* getElement(int32_t index) const;

    // ---- Control operations ----------------------------------------------
    void applyTemplate() override;
    void focusDefault() override;
    bool onEvent31(KeyDownEvent* event) override;
    bool onPressPreview(NodePressPreviewEvent* event);
    bool onPressed(NodePressedEvent* event);
    bool onHovered(NodeHoveredEvent* event);
    bool onValueChanged(ValueChangedEvent* event);
    // The wheel over the shown list scrolls it by its scroll step per notch,
    // as the previous and next buttons do.
    bool onMouseWheel(MouseWheelEvent* event);

    bool routeToChildren(int32_t mode, Event* event) override;
    void collectRenderItems(RenderList& list) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void readFromXml(XmlReader* reader, NodeFactory* factory) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    struct LineCounts {
        int32_t perLine;
        int32_t visible;
        int32_t total;
    };
    LineCounts getLineCounts() const;
    int32_t scrollStep() const;
    // The top item of the last page: the last lines fill the elements.
    int32_t lastTopItem() const;
    void updateGridSize();
    void layoutElements();
    void updateSlider();
    void adoptContainer();
    int32_t elementIndexOf(const BaseNode* node) const;
    void post(Event* event) { postToParent(DeliveryMode::HandleThenParent, event); }

    std::vector<ListItem> items_;
    int32_t selectedItem_ = 0;
    int32_t topItem_ = 0;
    bool circular_ = true;
    int32_t orientation_ = 0;
    bool selectWhileListing_ = false;
    int32_t columns_ = 1;
    int32_t rows_ = 1;
    CountedRef<BaseNode> container_;
    CountedRef<BaseNode> elementTemplate_;
    CountedRef<BaseNode> prevButton_;
    CountedRef<BaseNode> nextButton_;
    CountedRef<ControlNode> slider_;
    std::vector<uint32_t> textChildIndexes_;
    std::vector<uint32_t> imageChildIndexes_;
};

}  // namespace engine
