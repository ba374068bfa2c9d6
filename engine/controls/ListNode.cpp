#include "engine/controls/ListNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/PropertyDataCompound.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include <algorithm>
#include <string>

namespace engine {

namespace {

ListNode& listOf(PropertyTableOwner& o) { return static_cast<ListNode&>(o); }
CountedRef<IPropertyData> intValue(int32_t v) { return CountedRef<IPropertyData>(makeIntProperty(v)); }
CountedRef<IPropertyData> boolValue(bool v) { return CountedRef<IPropertyData>(makeBoolProperty(v)); }

void setSelectedEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    listOf(o).selectItem(intFromProperty(v), true);
}
CountedRef<IPropertyData> getSelectedEntry(PropertyTableOwner& o) { return intValue(listOf(o).getSelectedItem()); }
void setTopEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { listOf(o).scrollTo(intFromProperty(v)); }
CountedRef<IPropertyData> getTopEntry(PropertyTableOwner& o) { return intValue(listOf(o).getTopItem()); }
void setCircularEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    listOf(o).setCircular(boolFromProperty(v));
}
CountedRef<IPropertyData> getCircularEntry(PropertyTableOwner& o) { return boolValue(listOf(o).isCircular()); }
void setOrientationEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    listOf(o).setOrientation(intFromProperty(v));
}
CountedRef<IPropertyData> getOrientationEntry(PropertyTableOwner& o) { return intValue(listOf(o).getOrientation()); }
void setSelectWhileEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    listOf(o).setSelectWhileListingOn(boolFromProperty(v));
}
CountedRef<IPropertyData> getSelectWhileEntry(PropertyTableOwner& o) {
    return boolValue(listOf(o).isSelectWhileListingOn());
}
void setStringsEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    const auto* strings = dynamic_cast<const CPropertyDataStringWArray*>(v.get());
    listOf(o).setStrings(strings ? strings->value : array<stringw>());
}
CountedRef<IPropertyData> getStringsEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(new CPropertyDataStringWArray(listOf(o).getStrings()));
}

NameId nameOf(const char* text) { return makeNameId(text); }

// Sets a value through the node's property table, when it has that entry.
void setByName(BaseNode* node, const char* name, const CountedRef<IPropertyData>& value) {
    const PropertyTable& table = node->getPropertyTable();
    const int32_t index = table.indexOf(name);
    if (index >= 0) table.set(*node, index, value);
}

CountedRef<IPropertyData> getByName(BaseNode* node, const char* name) {
    const PropertyTable& table = node->getPropertyTable();
    const int32_t index = table.indexOf(name);
    return index >= 0 ? table.get(*node, index) : CountedRef<IPropertyData>();
}

// Whole division rounded up, for positive divisors.
int32_t divideUp(int32_t a, int32_t b) { return b > 0 ? (a + b - 1) / b : 0; }

}  // namespace

ListNode::ListNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false) {
    setFocusOnHover(true);
    // A real child, so it is drawn and routed like one, then marked a ghost
    // so that it is neither written to scene files nor cloned with the list.
    container_ = CountedRef<BaseNode>(new BaseNode(context, this, manager, true));
    container_->setName(nameOf("ListElements"));
    container_->setGhost(true);
    linkToParent(parent, mostDerived);
}

ListNode::~ListNode() {
    elementTemplate_.reset();
    prevButton_.reset();
    nextButton_.reset();
    slider_.reset();
    items_.clear();
}

const EventMap<ListNode>& ListNode::getEventMap() {
    static const EventMap<ListNode> map(
        ControlNode::getEventMap(),
        {
            {EventId::NodePressPreviewEvent,
             [](ListNode& n, Event* e) { return n.onPressPreview(dynamic_cast<NodePressPreviewEvent*>(e)); }},
            {EventId::NodePressedEvent,
             [](ListNode& n, Event* e) { return n.onPressed(dynamic_cast<NodePressedEvent*>(e)); }},
            {EventId::NodeHoveredEvent,
             [](ListNode& n, Event* e) { return n.onHovered(dynamic_cast<NodeHoveredEvent*>(e)); }},
            {EventId::ValueChangedEvent,
             [](ListNode& n, Event* e) { return n.onValueChanged(dynamic_cast<ValueChangedEvent*>(e)); }},
            {EventId::MouseWheelEvent,
             [](ListNode& n, Event* e) { return n.onMouseWheel(dynamic_cast<MouseWheelEvent*>(e)); }},
        });
    return map;
}

const PropertyTable& ListNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        t.add("SelectedItem", &setSelectedEntry, &getSelectedEntry);
        t.add("TopItem", &setTopEntry, &getTopEntry);
        t.add("Circular", &setCircularEntry, &getCircularEntry);
        t.add("Orientation", &setOrientationEntry, &getOrientationEntry);
        t.add("IsSelectWhileListingOn", &setSelectWhileEntry, &getSelectWhileEntry);
        t.add("Strings", &setStringsEntry, &getStringsEntry);
        return t;
    }();
    return table;
}

const PropertyTable& ListNode::getPropertyTable() const { return classPropertyTable(); }

// ---- Items -------------------------------------------------------------------------------

void ListNode::setItemCount(int32_t count) {
    count = std::max(count, 0);
    items_.resize(static_cast<size_t>(count));
    scrollTo(topItem_);
}

void ListNode::setItemText(int32_t item, int32_t column, const stringw& text) {
    if (item < 0 || item >= getItemCount() || column < 0) return;
    array<stringw>& texts = items_[static_cast<size_t>(item)].texts;
    while (texts.size() <= static_cast<uint32_t>(column)) texts.push_back(stringw());
    texts[static_cast<uint32_t>(column)] = text;
}

void ListNode::setItemImage(int32_t item, int32_t column, AtlasTextureContent* texture) {
    if (item < 0 || item >= getItemCount() || column < 0) return;
    auto& images = items_[static_cast<size_t>(item)].images;
    if (images.size() <= static_cast<size_t>(column)) images.resize(static_cast<size_t>(column) + 1);
    images[static_cast<size_t>(column)] = CountedRef<AtlasTextureContent>::share(texture);
}

void ListNode::setItemTemplate(int32_t item, NameId templateName) {
    if (item >= 0 && item < getItemCount()) items_[static_cast<size_t>(item)].templateName = templateName;
}

void ListNode::setItemEnabled(int32_t item, bool enabled) {
    if (item >= 0 && item < getItemCount()) items_[static_cast<size_t>(item)].enabled = enabled;
}

void ListNode::setItemChecked(int32_t item, bool checked) {
    if (item >= 0 && item < getItemCount()) items_[static_cast<size_t>(item)].checked = checked;
}

void ListNode::setItemData(int32_t item, RefCounted* data) {
    if (item >= 0 && item < getItemCount())
        items_[static_cast<size_t>(item)].userData = CountedRef<RefCounted>::share(data);
}

const ListItem* ListNode::getItem(int32_t item) const {
    return item >= 0 && item < getItemCount() ? &items_[static_cast<size_t>(item)] : nullptr;
}

bool ListNode::isItemEnabled(int32_t item) const {
    const ListItem* found = getItem(item);
    return found && found->enabled;
}

bool ListNode::isItemChecked(int32_t item) const {
    const ListItem* found = getItem(item);
    return found && found->checked;
}

RefCounted* ListNode::getItemData(int32_t item) const {
    const ListItem* found = getItem(item);
    return found ? found->userData.get() : nullptr;
}

void ListNode::setStrings(const array<stringw>& strings) {
    items_.resize(strings.size());
    for (uint32_t i = 0; i < strings.size(); ++i) {
        array<stringw>& texts = items_[i].texts;
        if (texts.empty()) texts.push_back(stringw());
        texts[0] = strings[i];
    }
    updateElements();
}

array<stringw> ListNode::getStrings() const {
    array<stringw> out;
    for (const ListItem& item : items_) out.push_back(item.texts.empty() ? stringw() : item.texts[0]);
    return out;
}

// ---- Index rules ----------------------------------------------------------------------

int32_t ListNode::clampIndex(int32_t a) const {
    const int32_t n = getItemCount();
    if (n == 0) return 0;
    if (a >= 0 && a < n) return a;
    if (a >= n) return circular_ ? a % n : n - 1;
    if (!circular_) return 0;
    // -a computed in 64 bits: the negation of the smallest int does not fit.
    const int32_t remainder = static_cast<int32_t>((-static_cast<int64_t>(a)) % n);
    return remainder == 0 ? 0 : n - remainder;
}

ListNode::LineCounts ListNode::getLineCounts() const {
    LineCounts counts{1, rows_, 0};
    switch (orientation_) {
        case 1: counts = {1, columns_, 0}; break;
        case 2: counts = {rows_, columns_, 0}; break;
        case 3: counts = {columns_, rows_, 0}; break;
        default: break;
    }
    counts.total = divideUp(getItemCount(), counts.perLine);
    return counts;
}

int32_t ListNode::scrollStep() const {
    if (orientation_ == 2) return rows_;
    if (orientation_ == 3) return columns_;
    return 1;
}

int32_t ListNode::clampTopItem(int32_t a) const {
    if (circular_) return clampIndex(a);
    if (items_.empty() || rows_ * columns_ <= 0 || a < 0) return 0;
    const LineCounts c = getLineCounts();
    return std::min(a, std::max((c.total - c.visible) * c.perLine, 0));
}

int32_t ListNode::elementIndexOfItem(int32_t a) const {
    const int32_t n = getItemCount();
    if (n == 0) return -1;
    const int32_t m = getElementCount();
    const int32_t top = topItem_;
    if (top + m < n) return a - top;
    const int32_t r = (top + m) % n;
    if (a >= top && a < n) return a - top;
    if (a >= 0 && a < r) return m - r + a;
    return -1;
}

// ---- Elements --------------------------------------------------------------------------

BaseNode* ListNode::getElement(int32_t index) const {
    return index >= 0 ? container_->getChild(static_cast<uint32_t>(index)) : nullptr;
}

int32_t ListNode::elementIndexOf(const BaseNode* node) const {
    if (!node) return -1;
    for (uint32_t i = 0; i < container_->getChildCount(); ++i) {
        if (container_->getChild(i) == node) return static_cast<int32_t>(i);
    }
    return -1;
}

vector3df ListNode::getElementPosition(int32_t element) const {
    BaseNode* node = getElement(element);
    return node ? node->getPosition() : vector3df(0.0f, 0.0f, 0.0f);
}

void ListNode::updateGridSize() {
    if (elementTemplate_) {
        const vector3df& own = getBounds();
        const vector3df& cell = elementTemplate_->getBounds();
        // A template without width or height fits once, not infinitely.
        columns_ = cell.X > 0.0f ? static_cast<int32_t>(own.X / cell.X) : 1;
        rows_ = cell.Y > 0.0f ? static_cast<int32_t>(own.Y / cell.Y) : 1;
    }
    columns_ = std::max(columns_, 1);
    rows_ = std::max(rows_, 1);
}

void ListNode::layoutElements() {
    updateGridSize();
    container_->removeAllChildren();
    if (!elementTemplate_) return;
    CountedRef<BaseNode> source = elementTemplate_;
    const int32_t count = rows_ * columns_;
    for (int32_t i = 0; i < count; ++i) {
        BaseNode* element = source->clone(container_.get(), getManager());
        if (!element) continue;
        if (element->getParent() != container_.get()) {
            element->release();
            continue;
        }
        element->setName(makeNameId(("Element" + std::to_string(i)).c_str()));
    }
    const float w = source->getBounds().X;
    const float h = source->getBounds().Y;
    const auto place = [this](int32_t index, float x, float y) {
        if (BaseNode* element = getElement(index)) {
            element->setPosition(vector3df(x, y, element->getPosition().Z));
            element->setVisible(true);
        }
    };
    switch (orientation_) {
        case 0:
            for (int32_t i = 0; i < rows_; ++i) place(i, 0.0f, static_cast<float>(i) * h);
            break;
        case 1:
            for (int32_t i = 0; i < columns_; ++i) place(i, static_cast<float>(i) * w, 0.0f);
            break;
        case 2:
            for (int32_t c = 0; c < columns_; ++c)
                for (int32_t r = 0; r < rows_; ++r)
                    place(r + c * rows_, static_cast<float>(c) * w, static_cast<float>(r) * h);
            break;
        default:
            for (int32_t r = 0; r < rows_; ++r)
                for (int32_t c = 0; c < columns_; ++c)
                    place(c + r * columns_, static_cast<float>(c) * w, static_cast<float>(r) * h);
            break;
    }
}

void ListNode::updateElements() {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    const int32_t n = getItemCount();
    const int32_t m = getElementCount();
    const int32_t selectedElement = elementIndexOfItem(selectedItem_);
    const NameId checkBoxName = nameOf("CheckBox");
    for (int32_t i = 0; i < m; ++i) {
        CountedRef<BaseNode> element = CountedRef<BaseNode>::share(getElement(i));
        if (!element) continue;
        int32_t c = topItem_ + i;
        if (c >= n) {
            if (circular_ && n > m) {
                c %= n;
            } else {
                element->setVisible(false);
                continue;
            }
        }
        const ListItem& item = items_[static_cast<size_t>(c)];
        element->setVisible(true);
        ControlNode* control = nodeCast<ControlNode>(element.get());
        // An item without a template keeps the look the element was cloned
        // with, and an unchanged name is not applied again on every scroll.
        if (control && item.templateName != kNoName && control->getTemplateName() != item.templateName)
            control->setTemplateName(item.templateName);
        for (size_t t = 0; t < textChildIndexes_.size(); ++t) {
            if (auto* text = nodeCast<TextNode>(element->getChild(textChildIndexes_[t])))
                text->setText(t < item.texts.size() ? item.texts[static_cast<uint32_t>(t)] : stringw());
        }
        for (size_t k = 0; k < imageChildIndexes_.size(); ++k) {
            if (auto* sprite = nodeCast<SpriteNode>(element->getChild(imageChildIndexes_[k])))
                sprite->setAtlasTexture(k < item.images.size() ? item.images[k].get() : nullptr);
        }
        if (control) control->setEnabled(item.enabled);
        if (i == selectedElement) element->enterSubtreeState(controlStateNames().focus, &controlStateTransition);
        BaseNode* box = element->findChild(checkBoxName, 1);
        if (box && box->isOfType(kCheckBoxTypeId)) setByName(box, "IsChecked", boolValue(item.checked));
    }
    updateSlider();
}

void ListNode::updateSlider() {
    if (!slider_) return;
    const LineCounts c = getLineCounts();
    if (c.visible == 0 || c.perLine == 0 || c.total == 0) return;
    CountedRef<ControlNode> slider = slider_;
    setByName(slider.get(), "MinValue", CountedRef<IPropertyData>(makeFloatProperty(0.0f)));
    setByName(slider.get(), "MaxValue", CountedRef<IPropertyData>(makeFloatProperty(static_cast<float>(c.total))));
    setByName(slider.get(), "Value",
              CountedRef<IPropertyData>(makeFloatProperty(static_cast<float>(topItem_ / c.perLine))));
    // The engine's slider has no table entry for its page size: it is set directly.
    const float pageSize = static_cast<float>(c.visible);
    if (auto* real = dynamic_cast<SliderNode*>(slider.get()))
        real->setPageSize(pageSize);
    else
        setByName(slider.get(), "PageSize", CountedRef<IPropertyData>(makeFloatProperty(pageSize)));
}

// ---- Selection and scrolling -------------------------------------------------------------

void ListNode::selectItem(int32_t a, bool scrollIntoView) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    const int32_t old = selectedItem_;
    selectedItem_ = clampIndex(a);
    const int32_t e = elementIndexOfItem(selectedItem_);
    if (e >= 0 && e < getElementCount()) {
        if (isFocused()) {
            // The element of the item itself; an index outside the items would
            // name an element that shows another item.
            ControlNode* element = nodeCast<ControlNode>(getElement(e));
            if (element && !element->isFocused()) element->setFocused(true);
        }
    } else {
        if (ControlNode* focused = nodeCast<ControlNode>(getFocusedChild())) focused->setFocused(false);
        if (scrollIntoView) scrollTo(selectedItem_);
    }
    if (selectedItem_ != old) {
        CountedRef<ListSelectionChangedEvent> event(new ListSelectionChangedEvent(this, selectedItem_));
        post(event.get());
    }
}

void ListNode::scrollTo(int32_t a) {
    topItem_ = clampTopItem(a);
    if (getElementCount() >= getItemCount()) topItem_ = 0;
    updateElements();
    selectItem(selectedItem_, false);
    updateSlider();
}

void ListNode::setOrientation(int32_t orientation) {
    orientation_ = orientation >= 0 && orientation <= 3 ? orientation : 0;
    layoutElements();
}

// ---- Template ---------------------------------------------------------------------------------

void ListNode::applyTemplate() {
    if (!getManager()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::applyTemplate();
    elementTemplate_.reset();
    prevButton_.reset();
    nextButton_.reset();
    slider_.reset();
    textChildIndexes_.clear();
    imageChildIndexes_.clear();
    if (ControlNode* root = getTemplateRoot()) {
        elementTemplate_ = CountedRef<BaseNode>::share(root->findChild(nameOf("Element"), 1));
        prevButton_ = CountedRef<BaseNode>::share(root->findChild(nameOf("PrevButton"), 1));
        nextButton_ = CountedRef<BaseNode>::share(root->findChild(nameOf("NextButton"), 1));
        BaseNode* slider = root->findChild(nameOf("Slider"), 1);
        if (slider && slider->isOfType(kSliderTypeId)) slider_ = CountedRef<ControlNode>::share(static_cast<ControlNode*>(slider));
    }
    if (elementTemplate_) {
        elementTemplate_->setVisible(false);
        const NameId text = nameOf("Text");
        const NameId image = nameOf("Image");
        for (uint32_t i = 0; i < elementTemplate_->getChildCount(); ++i) {
            BaseNode* child = elementTemplate_->getChild(i);
            if (child->getName() == text && nodeCast<TextNode>(child)) textChildIndexes_.push_back(i);
            if (child->getName() == image && nodeCast<SpriteNode>(child)) imageChildIndexes_.push_back(i);
        }
    }
    layoutElements();
    updateElements();
}

void ListNode::focusDefault() { selectItem(selectedItem_, true); }

// ---- Events ----------------------------------------------------------------------------------

bool ListNode::onEvent31(KeyDownEvent* event) {
    if (!event) return false;
    int32_t move = 0;
    const int32_t key = event->getKey();
    switch (orientation_) {
        case 0: move = key == KeyCode::Up ? -1 : key == KeyCode::Down ? 1 : 0; break;
        case 1: move = key == KeyCode::Left ? -1 : key == KeyCode::Right ? 1 : 0; break;
        case 2:
            move = key == KeyCode::Left    ? -rows_
                   : key == KeyCode::Right ? rows_
                   : key == KeyCode::Up    ? -1
                   : key == KeyCode::Down  ? 1
                                           : 0;
            break;
        default:
            move = key == KeyCode::Left    ? -1
                   : key == KeyCode::Right ? 1
                   : key == KeyCode::Up    ? -columns_
                   : key == KeyCode::Down  ? columns_
                                           : 0;
            break;
    }
    if (move != 0) {
        const int32_t target = clampIndex(selectedItem_ + move);
        if (target != selectedItem_) {
            selectItem(target, true);
            return true;
        }
    }
    return ControlNode::onEvent31(event);
}

bool ListNode::onPressPreview(NodePressPreviewEvent* event) {
    return event && elementIndexOf(event->getNode()) >= 0;
}

bool ListNode::onPressed(NodePressedEvent* event) {
    if (!event || !event->getNode()) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    BaseNode* node = event->getNode();
    const int32_t old = selectedItem_;
    bool handled = false;
    if (node == prevButton_.get() || node == nextButton_.get()) {
        const int32_t step = scrollStep();
        const int32_t a = clampTopItem(node == prevButton_.get() ? topItem_ - step : topItem_ + step);
        scrollTo(a);
        if (selectWhileListing_) selectItem(a, false);
        handled = true;
    } else if (const int32_t i = elementIndexOf(node); i >= 0) {
        const int32_t d = clampIndex(topItem_ + i);
        if (d < getItemCount()) {
            selectedItem_ = d;
            CountedRef<ListItemPressedEvent> pressed(new ListItemPressedEvent(this, d));
            post(pressed.get());
        }
        handled = true;
    } else if (node->getName() == nameOf("CheckBox") && node->isOfType(kCheckBoxTypeId)) {
        const int32_t i2 = elementIndexOf(node->getParent());
        if (i2 >= 0) {
            const int32_t d = clampIndex(topItem_ + i2);
            // A check box of an element that shows no item changes nothing.
            if (d < getItemCount()) {
                const bool checked = boolFromProperty(getByName(node, "IsChecked"));
                items_[static_cast<size_t>(d)].checked = checked;
                CountedRef<ListItemCheckedEvent> notice(new ListItemCheckedEvent(this, d, checked));
                post(notice.get());
            }
            handled = true;
        }
    }
    if (selectedItem_ != old) {
        CountedRef<ValueChangedEvent> changed(new ValueChangedEvent(this));
        post(changed.get());
    }
    return handled;
}

bool ListNode::onHovered(NodeHoveredEvent* event) {
    if (!event) return false;
    const int32_t i = elementIndexOf(event->getOrigin());
    if (i < 0) return false;
    if (!items_.empty()) {
        CountedRef<ListItemHoveredEvent> hovered(new ListItemHoveredEvent(this, clampIndex(topItem_ + i)));
        post(hovered.get());
    }
    return true;
}

bool ListNode::onValueChanged(ValueChangedEvent* event) {
    if (!event || !slider_ || event->getNode() != slider_.get()) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    const int32_t value = static_cast<int32_t>(floatFromProperty(getByName(slider_.get(), "Value")));
    // A scroll bar pulled to its end shows the last page; in a circular list
    // the line count itself would wrap round to the first.
    const int32_t top = std::min(value * getLineCounts().perLine, lastTopItem());
    scrollTo(top);
    if (selectWhileListing_) selectItem(top, false);
    return true;
}

int32_t ListNode::lastTopItem() const {
    const LineCounts lines = getLineCounts();
    return std::max((lines.total - lines.visible) * lines.perLine, 0);
}

bool ListNode::onMouseWheel(MouseWheelEvent* event) {
    if (!event || !isEnabled()) return false;
    // Only the list the pointer is over, and only when it is on screen (a list
    // on a hidden page of tabs stands at the same place).
    for (BaseNode* node = this; node; node = node->getParent()) {
        if (!node->isVisible()) return false;
    }
    const vector2df point(static_cast<float>(event->getX()), static_cast<float>(event->getY()));
    if (!containsPoint(point) && !findNodeAt(point)) return false;
    // One notch is one scroll step; away from the player goes to the start.
    const float wheel = event->getWheel();
    const int32_t notches = wheel > 0.0f ? std::max(1, static_cast<int32_t>(wheel + 0.5f))
                            : wheel < 0.0f ? -std::max(1, static_cast<int32_t>(-wheel + 0.5f))
                                           : 0;
    if (notches == 0) return true;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    // The wheel stops at either end, also in a circular list.
    const int32_t top = std::clamp(topItem_ - notches * scrollStep(), 0, lastTopItem());
    scrollTo(top);
    if (selectWhileListing_) selectItem(top, false);
    return true;
}

bool ListNode::routeToChildren(int32_t mode, Event* event) {
    if (ControlNode::routeToChildren(mode, event)) return true;
    if (!event) return false;
    std::vector<CountedRef<BaseNode>> receivers{prevButton_, nextButton_};
    if (!event->isOfType(EventId::KeyboardEvent)) receivers.push_back(CountedRef<BaseNode>::share(slider_.get()));
    for (uint32_t i = 0; i < container_->getChildCount(); ++i)
        receivers.push_back(CountedRef<BaseNode>::share(container_->getChild(i)));
    for (const CountedRef<BaseNode>& receiver : receivers) {
        if (receiver && receiver->takesCategory(event->getCategory()) && receiver->deliver(mode, event)) return true;
    }
    return false;
}

void ListNode::collectRenderItems(RenderList& list) { ControlNode::collectRenderItems(list); }

// ---- Copies, files and values ----------------------------------------------------------------

void ListNode::adoptContainer() {
    if (container_->getParent() == this) return;
    // Taken in again as a listed child (see the constructor).
    container_->setGhost(false);
    addChild(container_.get());
    container_->setGhost(true);
}

void ListNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ControlNode::copyFrom(source, manager);
    adoptContainer();
    if (ListNode* other = nodeCast<ListNode>(source)) {
        selectedItem_ = other->selectedItem_;
        topItem_ = other->topItem_;
        circular_ = other->circular_;
        orientation_ = other->orientation_;
        selectWhileListing_ = other->selectWhileListing_;
        items_ = other->items_;
    }
}

void ListNode::readFromXml(XmlReader* reader, NodeFactory* factory) {
    ControlNode::readFromXml(reader, factory);
    // Reading replaced the children, the element container among them.
    adoptContainer();
}

void ListNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    if (selectedItem_ != 0) set->add("SelectedItem", intValue(selectedItem_));
    if (topItem_ != 0) set->add("TopItem", intValue(topItem_));
    if (!circular_) PropertySet::addValue(set, "Circular", false);
    if (orientation_ != 0) set->add("Orientation", intValue(orientation_));
    if (selectWhileListing_) PropertySet::addValue(set, "IsSelectWhileListingOn", true);
    if (!items_.empty()) set->add("Strings", CountedRef<IPropertyData>(new CPropertyDataStringWArray(getStrings())));
}

void ListNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    const auto has = [set](const char* key) { return set->indexOf(key) >= 0; };
    if (has("Circular")) circular_ = boolFromProperty(set->find("Circular"));
    if (has("Orientation")) setOrientation(intFromProperty(set->find("Orientation")));
    if (has("IsSelectWhileListingOn")) selectWhileListing_ = boolFromProperty(set->find("IsSelectWhileListingOn"));
    if (has("SelectedItem")) selectItem(intFromProperty(set->find("SelectedItem")), true);
    if (has("TopItem")) scrollTo(intFromProperty(set->find("TopItem")));
    if (has("Strings")) setStringsEntry(*this, set->find("Strings"));
}

}  // namespace engine
