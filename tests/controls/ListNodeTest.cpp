// The list node: index rules, elements from the template, scrolling and
// wrapping, selection, presses, hovers, keys, values and scene files.
#include "engine/controls/ListNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataCompound.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneFile.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextConvert.h"
#include "engine/visual/TextNode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace engine;

// Stands in for the scene manager: a template collection and a queue of the
// posted events (written down as "id item").
class ListManager : public BaseNode, public NodeEventQueue {
public:
    ListManager() : BaseNode(nullptr, nullptr, nullptr) {
        collection = CountedRef<TemplateCollectionNode>(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    }
    NodeEventQueue* getEventQueue() override { return this; }
    TemplateCollectionNode* getTemplateCollection() const override { return collection.get(); }
    void queueEvent(EventReceiver*, int32_t, Event* event) override {
        std::string text = std::to_string(event->getTypeId());
        if (auto* item = dynamic_cast<ListItemEventBase*>(event)) text += " " + std::to_string(item->getItemIndex());
        if (auto* checked = dynamic_cast<ListItemCheckedEvent*>(event)) text += checked->isChecked() ? " on" : " off";
        // Only the list's own notices matter here.
        if (event->getTypeId() >= 59 && event->getTypeId() <= 63) posted.push_back(text);
    }
    std::vector<std::string> take() {
        std::vector<std::string> out = posted;
        posted.clear();
        return out;
    }
    CountedRef<TemplateCollectionNode> collection;
    std::vector<std::string> posted;
};

BaseNode* child(BaseNode* parent, const char* name, BaseNode* node) {
    node->setName(makeNameId(name));
    parent->addChild(node);
    node->release();
    return node;
}

// Stand-ins for the check box and the slider, known to the list only by
// their type ids, names and property names.
class StandInCheckBox : public ControlNode {
    ENGINE_NODE_TYPE(StandInCheckBox, ControlNode, 11)

public:
    StandInCheckBox(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : ControlNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    const PropertyTable& getPropertyTable() const override {
        static const PropertyTable table = [] {
            PropertyTable t;
            appendPropertyTable(t, ControlNode::classPropertyTable());
            t.add(
                "IsChecked",
                [](PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
                    static_cast<StandInCheckBox&>(o).checked = boolFromProperty(v);
                },
                [](PropertyTableOwner& o) {
                    return CountedRef<IPropertyData>(makeBoolProperty(static_cast<StandInCheckBox&>(o).checked));
                });
            return t;
        }();
        return table;
    }
    bool checked = false;
};

class StandInSlider : public ControlNode {
    ENGINE_NODE_TYPE(StandInSlider, ControlNode, 16)

public:
    StandInSlider(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : ControlNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    const PropertyTable& getPropertyTable() const override {
        static const PropertyTable table = [] {
            PropertyTable t;
            appendPropertyTable(t, ControlNode::classPropertyTable());
            t.add("MinValue", &set<0>, &get<0>);
            t.add("MaxValue", &set<1>, &get<1>);
            t.add("Value", &set<2>, &get<2>);
            t.add("PageSize", &set<3>, &get<3>);
            return t;
        }();
        return table;
    }
    template <int N>
    static void set(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
        static_cast<StandInSlider&>(o).values[N] = floatFromProperty(v);
    }
    template <int N>
    static CountedRef<IPropertyData> get(PropertyTableOwner& o) {
        return CountedRef<IPropertyData>(makeFloatProperty(static_cast<StandInSlider&>(o).values[N]));
    }
    float values[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
};

struct ListFixture : ::testing::Test {
    void SetUp() override {
        // Template "Rows": a 100 x 20 element with two texts, and the buttons.
        BaseNode* look = new BaseNode(nullptr, nullptr, nullptr);
        look->setName(makeNameId("Rows"));
        BaseNode* element = child(look, "Element", new ControlNode(nullptr, nullptr, nullptr));
        element->setBounds(vector3df(100.0f, 20.0f, 0.0f));
        child(element, "Text", new TextNode(nullptr, nullptr, nullptr));
        child(element, "Other", new BaseNode(nullptr, nullptr, nullptr));
        child(element, "Text", new TextNode(nullptr, nullptr, nullptr));
        child(look, "PrevButton", new ControlNode(nullptr, nullptr, nullptr));
        child(look, "NextButton", new ControlNode(nullptr, nullptr, nullptr));
        manager.collection->addTemplate(look);
        look->release();

        // Template "Checks": elements with a check box, and a slider.
        BaseNode* checks = new BaseNode(nullptr, nullptr, nullptr);
        checks->setName(makeNameId("Checks"));
        BaseNode* row = child(checks, "Element", new ControlNode(nullptr, nullptr, nullptr));
        row->setBounds(vector3df(100.0f, 20.0f, 0.0f));
        child(row, "Text", new TextNode(nullptr, nullptr, nullptr));
        child(row, "CheckBox", new StandInCheckBox(nullptr, nullptr, nullptr));
        child(checks, "Slider", new StandInSlider(nullptr, nullptr, nullptr));
        manager.collection->addTemplate(checks);
        checks->release();

        parent = CountedRef<BaseNode>(new BaseNode(nullptr, nullptr, &manager));
        list = new ListNode(nullptr, parent.get(), &manager);
        list->release();  // the parent holds it
        list->setBounds(vector3df(100.0f, 80.0f, 0.0f));  // four rows
    }

    void fill(int32_t count, bool circular, const char* look = "Rows") {
        list->setCircular(circular);
        list->setTemplateName(makeNameId(look));
        list->setItemCount(count);
        for (int32_t i = 0; i < count; ++i) list->setItemText(i, 0, stringw(std::to_wstring(i).c_str()));
        list->updateElements();
        manager.take();
    }

    // The text 0 each element shows, "-" for a hidden element.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (int32_t i = 0; i < list->getElementCount(); ++i) {
            BaseNode* element = list->getElement(i);
            auto* text = nodeCast<TextNode>(element->getChild(0));
            out.push_back(element->isVisible() && text ? std::string(narrow(text->getText()).c_str()) : "-");
        }
        return out;
    }

    BaseNode* templatePart(const char* name) { return list->getTemplateRoot()->findChild(makeNameId(name), 1); }

    void press(BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        list->handleEvent(event.get());
    }

    ListManager manager;
    CountedRef<BaseNode> parent;
    ListNode* list = nullptr;
};

using Strings = std::vector<std::string>;

TEST(ListNodeBasics, IdentityDefaultsAndFactory) {
    CountedRef<BaseNode> made(getNodeFactory().createNode(L"ListNode", nullptr));
    auto* list = nodeCast<ListNode>(made.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->getTypeId(), 13);
    for (int32_t id : {13, 5, 0}) EXPECT_TRUE(list->isOfType(id));
    EXPECT_FALSE(list->isOfType(6));
    EXPECT_STREQ(list->getClassName(), L"ListNode");
    EXPECT_TRUE(list->isFocusOnHover());
    EXPECT_TRUE(list->isCircular());
    EXPECT_EQ(list->getSelectedItem(), 0);
    EXPECT_EQ(list->getItemCount(), 0);
    // The element container is a child that is never written or cloned.
    ASSERT_EQ(list->getChildCount(), 1u);
    EXPECT_TRUE(list->getChild(0)->isGhost());
}

TEST(ListNodeBasics, ClampIndex) {
    CountedRef<ListNode> list(new ListNode(nullptr, nullptr, nullptr));
    list->setItemCount(5);
    const struct {
        int32_t index;
        bool circular;
        int32_t expected;
    } cases[] = {
        {7, true, 2}, {7, false, 4}, {-1, true, 4}, {-1, false, 0}, {-5, true, 0}, {-5, false, 0},
        {3, true, 3}, {5, true, 0}, {-6, true, 4}, {INT32_MIN, true, 2}, {INT32_MAX, false, 4},
    };
    for (const auto& c : cases) {
        list->setCircular(c.circular);
        EXPECT_EQ(list->clampIndex(c.index), c.expected) << c.index << (c.circular ? " circular" : "");
    }
    list->setItemCount(0);
    EXPECT_EQ(list->clampIndex(3), 0);
}

TEST(ListNodeBasics, ItemOperationsOutOfRangeDoNothing) {
    CountedRef<ListNode> list(new ListNode(nullptr, nullptr, nullptr));
    list->setItemCount(2);
    CountedRef<RefCounted> data(new RefCounted());
    for (int32_t bad : {-1, 2, 100}) {
        list->setItemText(bad, 0, L"x");
        list->setItemEnabled(bad, false);
        list->setItemData(bad, data.get());
        list->setItemTemplate(bad, makeNameId("T"));
        EXPECT_FALSE(list->isItemEnabled(bad));
        EXPECT_EQ(list->getItemData(bad), nullptr);
    }
    list->setItemText(1, 2, L"third");
    ASSERT_NE(list->getItem(1), nullptr);
    EXPECT_EQ(list->getItem(1)->texts.size(), 3u);
    list->setItemData(0, data.get());
    EXPECT_EQ(list->getItemData(0), data.get());
    list->setItemCount(0);  // the item's reference goes with it
    EXPECT_EQ(data->getRefCount(), 1);
}

TEST_F(ListFixture, ElementsFromTheTemplate) {
    fill(10, false);
    EXPECT_EQ(list->getRows(), 4);
    EXPECT_EQ(list->getColumns(), 1);
    ASSERT_EQ(list->getElementCount(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(list->getElementPosition(i), vector3df(0.0f, 20.0f * static_cast<float>(i), 0.0f));
        EXPECT_EQ(nameOfId(list->getElement(i)->getName()), ("Element" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(list->getElementPosition(4), vector3df(0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(templatePart("Element")->isVisible());
    // Both "Text" children are filled, the second with empty text.
    list->setItemText(0, 1, L"second");
    list->updateElements();
    auto* second = nodeCast<TextNode>(list->getElement(0)->getChild(2));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getText(), stringw(L"second"));
    EXPECT_EQ(nodeCast<TextNode>(list->getElement(1)->getChild(2))->getText(), stringw());
}

TEST_F(ListFixture, ScrollingAndWrapping) {
    const struct {
        const char* what;
        int32_t items;
        bool circular;
        int32_t scrollTo;
        int32_t top;
        Strings shown;
    } cases[] = {
        {"middle", 10, false, 3, 3, {"3", "4", "5", "6"}},
        {"clamped to the last page", 10, false, 9, 6, {"6", "7", "8", "9"}},
        {"negative", 10, false, -2, 0, {"0", "1", "2", "3"}},
        {"circular wraps", 10, true, 8, 8, {"8", "9", "0", "1"}},
        {"circular with fewer items than elements", 3, true, 0, 0, {"0", "1", "2", "-"}},
        {"fewer items than elements keep the top at 0", 3, false, 2, 0, {"0", "1", "2", "-"}},
    };
    for (const auto& c : cases) {
        fill(c.items, c.circular);
        list->scrollTo(c.scrollTo);
        EXPECT_EQ(list->getTopItem(), c.top) << c.what;
        EXPECT_EQ(shown(), c.shown) << c.what;
    }
}

TEST_F(ListFixture, ButtonsScrollAndStopAtTheEnd) {
    fill(10, false);
    list->scrollTo(6);
    press(templatePart("NextButton"));
    EXPECT_EQ(list->getTopItem(), 6);
    press(templatePart("PrevButton"));
    EXPECT_EQ(list->getTopItem(), 5);
    EXPECT_EQ(list->getSelectedItem(), 0);

    list->setSelectWhileListingOn(true);
    press(templatePart("NextButton"));
    EXPECT_EQ(list->getTopItem(), 6);
    EXPECT_EQ(list->getSelectedItem(), 6);
    EXPECT_EQ(manager.take(), (Strings{"60 6", "59"}));
}

TEST_F(ListFixture, PressingAnElementSelectsWithoutSelectionChangedEvent) {
    fill(10, false);
    list->scrollTo(2);
    manager.take();
    press(list->getElement(1));
    EXPECT_EQ(list->getSelectedItem(), 3);
    EXPECT_EQ(manager.take(), (Strings{"61 3", "59"}));
    press(list->getElement(1));  // same item: no value change
    EXPECT_EQ(manager.take(), (Strings{"61 3"}));

    // Presses of other nodes travel on.
    CountedRef<BaseNode> stranger(new BaseNode(nullptr, nullptr, nullptr));
    CountedRef<NodePressedEvent> event(new NodePressedEvent(stranger.get()));
    EXPECT_FALSE(list->handleEvent(event.get()));
}

TEST_F(ListFixture, PreviewsAndHoversOfElementsStopAtTheList) {
    fill(10, false);
    CountedRef<NodePressPreviewEvent> preview(new NodePressPreviewEvent(list->getElement(0)));
    EXPECT_TRUE(list->handleEvent(preview.get()));
    CountedRef<NodePressPreviewEvent> buttonPreview(new NodePressPreviewEvent(templatePart("NextButton")));
    EXPECT_FALSE(list->handleEvent(buttonPreview.get()));

    list->scrollTo(5);
    manager.take();
    CountedRef<NodeHoveredEvent> hover(new NodeHoveredEvent(nullptr, list->getElement(2)));
    EXPECT_TRUE(list->handleEvent(hover.get()));
    EXPECT_EQ(manager.take(), (Strings{"63 7"}));
}

TEST_F(ListFixture, ArrowKeysSelectAndPostSelectionChangedOnly) {
    fill(10, false);
    const struct {
        int32_t orientation;
        int32_t key;
        int32_t from;
        int32_t to;
    } cases[] = {
        {0, 40, 0, 1}, {0, 38, 3, 2}, {0, 39, 3, 3}, {1, 39, 3, 4}, {1, 37, 3, 2},
    };
    for (const auto& c : cases) {
        list->setOrientation(c.orientation);
        list->selectItem(c.from, true);
        manager.take();
        CountedRef<KeyDownEvent> key(new KeyDownEvent(0, c.key, false, false));
        list->handleEvent(key.get());
        EXPECT_EQ(list->getSelectedItem(), c.to) << c.orientation << " " << c.key;
        if (c.to != c.from) {
            EXPECT_EQ(manager.take(), (Strings{"60 " + std::to_string(c.to)}));
        }
    }
    // Down at the last item of a list that does not wrap keeps the selection.
    list->setOrientation(0);
    list->selectItem(9, true);
    EXPECT_EQ(list->getTopItem(), 6);  // scrolled into view
    manager.take();
    CountedRef<KeyDownEvent> down(new KeyDownEvent(0, 40, false, false));
    list->handleEvent(down.get());
    EXPECT_EQ(list->getSelectedItem(), 9);
    EXPECT_TRUE(manager.take().empty());
}

TEST_F(ListFixture, CheckBoxesAndTheSlider) {
    fill(10, false, "Checks");
    auto* slider = static_cast<StandInSlider*>(templatePart("Slider"));
    auto boxOf = [this](int32_t element) {
        return static_cast<StandInCheckBox*>(list->getElement(element)->findChild(makeNameId("CheckBox"), 1));
    };
    list->setItemChecked(1, true);
    list->scrollTo(1);
    EXPECT_TRUE(boxOf(0)->checked);
    EXPECT_FALSE(boxOf(1)->checked);
    EXPECT_EQ(slider->values[0], 0.0f);
    EXPECT_EQ(slider->values[1], 10.0f);
    EXPECT_EQ(slider->values[2], 1.0f);
    EXPECT_EQ(slider->values[3], 4.0f);
    manager.take();

    // The player ticks the box of element 2 (item 3).
    boxOf(2)->checked = true;
    press(boxOf(2));
    EXPECT_TRUE(list->isItemChecked(3));
    EXPECT_EQ(list->getSelectedItem(), 0);
    EXPECT_EQ(manager.take(), (Strings{"62 3 on"}));

    // The slider moves the window, and selects with IsSelectWhileListingOn.
    list->setSelectWhileListingOn(true);
    slider->values[2] = 5.0f;
    CountedRef<ValueChangedEvent> moved(new ValueChangedEvent(slider));
    EXPECT_TRUE(list->handleEvent(moved.get()));
    EXPECT_EQ(list->getTopItem(), 5);
    EXPECT_EQ(list->getSelectedItem(), 5);
    CountedRef<ValueChangedEvent> other(new ValueChangedEvent(boxOf(0)));
    EXPECT_FALSE(list->handleEvent(other.get()));
}

TEST_F(ListFixture, TheWheelAndAScrollBarAtItsEndStopAtTheLastPageAlsoWhenCircular) {
    // Ten items, four rows: the last page starts at item 6.
    for (bool circular : {false, true}) {
        SCOPED_TRACE(circular ? "circular" : "not circular");
        fill(10, circular, "Checks");
        list->scrollTo(0);
        list->updateAbsoluteTransform();
        const auto turn = [&](float notches, int32_t x, int32_t y) {
            CountedRef<MouseWheelEvent> wheel(new MouseWheelEvent(x, y, notches));
            return list->handleEvent(wheel.get());
        };
        EXPECT_TRUE(turn(-1.0f, 50, 40));  // towards the player: on down the list
        EXPECT_EQ(list->getTopItem(), 1);
        EXPECT_TRUE(turn(-3.0f, 50, 40));
        EXPECT_EQ(list->getTopItem(), 4);
        EXPECT_TRUE(turn(-5.0f, 50, 40));
        EXPECT_EQ(list->getTopItem(), 6);
        EXPECT_TRUE(turn(1.0f, 50, 40));
        EXPECT_EQ(list->getTopItem(), 5);
        EXPECT_TRUE(turn(9.0f, 50, 40));
        EXPECT_EQ(list->getTopItem(), 0);
        // Beside the list, or while it is hidden, the wheel is someone else's.
        EXPECT_FALSE(turn(-1.0f, 300, 40));
        parent->setVisible(false);
        EXPECT_FALSE(turn(-1.0f, 50, 40));
        parent->setVisible(true);
        EXPECT_EQ(list->getTopItem(), 0);

        // The scroll bar pulled to its end (the whole line count) shows the
        // last page.
        auto* slider = static_cast<StandInSlider*>(templatePart("Slider"));
        slider->values[2] = 10.0f;
        CountedRef<ValueChangedEvent> moved(new ValueChangedEvent(slider));
        EXPECT_TRUE(list->handleEvent(moved.get()));
        EXPECT_EQ(list->getTopItem(), 6);
    }
}

// Counts the events a receiver is handed (as its pre-listener).
struct CountingListener : EventReceiver {
    bool handleEvent(Event* event) override {
        ids.push_back(event->getTypeId());
        return false;
    }
    std::vector<int32_t> ids;
};

TEST_F(ListFixture, RoutingReachesElementsOnceAndTemplatePartsAfterwards) {
    fill(10, false);
    CountingListener element;
    CountingListener next;
    list->getElement(0)->addListener(&element);
    templatePart("NextButton")->addListener(&next);
    CountedRef<MouseMoveEvent> move(new MouseMoveEvent(500, 500));
    EXPECT_FALSE(list->routeToChildren(DeliveryMode::HandleThenChildren, move.get()));
    EXPECT_EQ(element.ids, std::vector<int32_t>{move->getTypeId()});
    EXPECT_EQ(next.ids, std::vector<int32_t>{move->getTypeId()});
    list->getElement(0)->removeListener(&element);
    templatePart("NextButton")->removeListener(&next);
}

TEST_F(ListFixture, OrientationsLayOutTheGrid) {
    list->setBounds(vector3df(200.0f, 40.0f, 0.0f));  // two columns, two rows
    fill(10, false);
    const struct {
        int32_t orientation;
        std::vector<vector3df> positions;
    } cases[] = {
        {2, {{0, 0, 0}, {0, 20, 0}, {100, 0, 0}, {100, 20, 0}}},
        {3, {{0, 0, 0}, {100, 0, 0}, {0, 20, 0}, {100, 20, 0}}},
    };
    for (const auto& c : cases) {
        list->setOrientation(c.orientation);
        ASSERT_EQ(list->getElementCount(), 4);
        for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(list->getElementPosition(i), c.positions[static_cast<size_t>(i)]);
    }
    list->setOrientation(7);
    EXPECT_EQ(list->getOrientation(), 0);
}

TEST_F(ListFixture, ValuesRoundTripThroughSetsClonesAndFiles) {
    fill(6, false);
    list->setOrientation(1);
    list->setSelectWhileListingOn(true);
    list->selectItem(4, true);
    list->setName(makeNameId("List"));

    CountedRef<BaseNode> copy(list->clone(nullptr, nullptr));
    auto* clone = nodeCast<ListNode>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getStrings().size(), 6u);
    EXPECT_EQ(clone->getSelectedItem(), 4);
    EXPECT_FALSE(clone->isCircular());
    EXPECT_EQ(clone->getOrientation(), 1);
    EXPECT_EQ(clone->getChildCount(), 1u);  // its own container, no copy of the source's

    testing_support::TempDir dir;
    const std::string path = dir.file("list.oscn");
    ASSERT_TRUE(saveSceneFile(list, path.c_str()));
    CountedRef<BaseNode> loaded(loadSceneFile(path.c_str()));
    auto* read = nodeCast<ListNode>(loaded.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getStrings(), list->getStrings());
    EXPECT_FALSE(read->isCircular());
    EXPECT_EQ(read->getOrientation(), 1);
    EXPECT_TRUE(read->isSelectWhileListingOn());
    // "SelectedItem" is read before "Strings": there were no items yet.
    EXPECT_EQ(read->getSelectedItem(), 0);
    ASSERT_EQ(read->getChildCount(), 1u);
    EXPECT_EQ(read->getChild(0), read->getElementContainer());

    PropertySet wrong;
    wrong.add("Strings", CountedRef<IPropertyData>(makeIntProperty(3)));
    read->readProperties(&wrong);
    EXPECT_EQ(read->getItemCount(), 0);
}

}  // namespace
