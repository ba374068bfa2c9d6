#include "engine/controls/EditNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/DeviceClock.h"
#include "engine/visual/TextNode.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace engine;

namespace {

NameId id(const char* name) { return makeNameId(name); }

// A clock the test moves by hand.
class ManualClock : public DeviceClock {
public:
    uint32_t getRealTime() override { return now; }
    void sleep(uint32_t milliseconds) override { now += milliseconds; }
    uint32_t now = 1000;
};

// Stands in for the scene manager: holds the template collection and keeps
// what the nodes post.
class FakeManager : public BaseNode, public NodeEventQueue {
public:
    FakeManager() : BaseNode(nullptr, nullptr, nullptr) {}
    NodeEventQueue* getEventQueue() override { return this; }
    TemplateCollectionNode* getTemplateCollection() const override { return collection.get(); }
    void queueEvent(EventReceiver* target, int32_t mode, Event* event) override {
        posted.push_back({target, mode, CountedRef<Event>::share(event)});
    }
    // The value-change notices posted to `target` with mode 3.
    int changesTo(EventReceiver* target) const {
        int count = 0;
        for (const Posted& p : posted) {
            auto* change = dynamic_cast<ValueChangedEvent*>(p.event.get());
            if (change && p.target == target && p.mode == DeliveryMode::HandleThenParent) ++count;
        }
        return count;
    }

    struct Posted {
        EventReceiver* target;
        int32_t mode;
        CountedRef<Event> event;
    };
    CountedRef<TemplateCollectionNode> collection{new TemplateCollectionNode(nullptr, nullptr, nullptr)};
    std::vector<Posted> posted;
};

struct Key {
    int32_t key;
    wchar_t ch;
};
constexpr int32_t kBackspace = 8, kEnter = 13, kEnd = 35, kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
                  kDelete = 46;
Key press(int32_t key) { return Key{key, 0}; }
Key type(wchar_t ch) { return Key{0, ch}; }

// An edit inside a parent control, both under the fake manager, with a
// template "EditLook" whose text node "Text" holds a "Cursor" child.
struct EditFixture : testing::Test {
    void SetUp() override {
        EditNode::setClock(clock.get());
        addTemplate("EditLook", true, true);
        addTemplate("NoCursor", true, false);
        addTemplate("NoText", false, false);
        parentRef = CountedRef<ControlNode>(new ControlNode(nullptr, nullptr, manager.get()));
        parent = parentRef.get();
        edit = new EditNode(nullptr, parent, manager.get());
        edit->release();
    }
    void TearDown() override { EditNode::setClock(nullptr); }

    void addTemplate(const char* name, bool withText, bool withCursor) {
        CountedRef<BaseNode> look(new BaseNode(nullptr, nullptr, nullptr));
        look->setName(id(name));
        if (withText) {
            auto* text = new TextNode(nullptr, look.get(), nullptr);
            text->setName(id("Text"));
            text->setBounds(vector3df(100.0f, 20.0f, 0.0f));
            if (withCursor) {
                auto* cursor = new BaseNode(nullptr, text, nullptr);
                cursor->setName(id("Cursor"));
                cursor->release();
            }
            text->release();
        }
        manager->collection->addTemplate(look.get());
    }

    // Applies the template with the text, then lets the key delay pass.
    void show(const wchar_t* text, const char* look = "EditLook") {
        edit->setText(text);
        edit->setTemplateName(look);
        clock->now += 101;
    }
    bool keys(const std::vector<Key>& sequence) {
        bool handled = false;
        for (const Key& k : sequence) {
            CountedRef<KeyDownEvent> event(new KeyDownEvent(k.ch, k.key, false, false));
            handled = edit->handleEvent(event.get());
        }
        return handled;
    }

    CountedRef<ManualClock> clock{new ManualClock()};
    CountedRef<FakeManager> manager{new FakeManager()};
    CountedRef<ControlNode> parentRef;
    ControlNode* parent = nullptr;
    EditNode* edit = nullptr;
};

// ---- Keys ---------------------------------------------------------------------------------

struct KeyCase {
    const char* what;
    const wchar_t* text;
    const char* mask;
    int32_t maxLength;
    std::vector<Key> keys;
    const wchar_t* expectedText;
    int32_t line;
    int32_t column;
    bool lastHandled;
    int changes;
};

TEST_F(EditFixture, KeysEditTheTextAndMoveTheCursor) {
    const std::vector<KeyCase> cases = {
        {"typing into an empty edit", L"", "", -1, {type(L'a'), type(L'b')}, L"ab", 0, 1, true, 2},
        {"typing between characters", L"ac", "", -1, {press(kRight), type(L'b')}, L"abc", 0, 1, true, 1},
        {"a full edit swallows the key", L"abc", "", 3, {press(kEnd), type(L'd')}, L"abc", 0, 2, true, 0},
        {"a full edit refuses Enter", L"abc", "", 3, {press(kEnter)}, L"abc", 0, -1, true, 0},
        {"mask 0 passes a letter on", L"", "0", -1, {type(L'x')}, L"", 0, -1, false, 0},
        {"mask 0 takes a digit", L"", "0", -1, {type(L'5')}, L"5", 0, 0, true, 1},
        {"mask 0 refuses Enter as handled", L"1", "0", -1, {press(kEnter)}, L"1", 0, -1, true, 0},
        {"mask T accepts nothing", L"", "T", -1, {type(L'a')}, L"", 0, -1, false, 0},
        {"mask R takes Enter", L"a", "R", -1, {press(kEnd), press(kEnter)}, L"a\n", 1, -1, true, 1},
        {"an empty mask takes Enter", L"ab", "", -1, {press(kEnd), press(kEnter)}, L"ab\n", 1, -1, true, 1},
        {"a key without character goes on", L"ab", "", -1, {Key{112, 0}}, L"ab", 0, -1, false, 0},
        {"Delete at the end still reports", L"ab", "", -1, {press(kEnd), press(kDelete)}, L"ab", 0, 1, true, 1},
        {"Delete before a character", L"ab", "", -1, {press(kDelete)}, L"b", 0, -1, true, 1},
        {"Backspace at the very start", L"ab", "", -1, {press(kBackspace)}, L"ab", 0, -1, true, 0},
        {"Backspace after a character", L"ab", "", -1, {press(kEnd), press(kBackspace)}, L"a", 0, 0, true, 1},
        {"Backspace at a later line's start joins the lines", L"ab\ncd", "", -1, {press(kDown), press(kBackspace)},
         L"abcd", 0, 1, true, 1},
        {"Home and End", L"abc", "", -1, {press(kEnd), press(kHome)}, L"abc", 0, -1, true, 0},
        {"Right past a line's end goes to the next line", L"ab\ncd", "", -1,
         {press(kRight), press(kRight), press(kRight)}, L"ab\ncd", 1, -1, true, 0},
        {"Right at the end of the last line stays", L"ab", "", -1, {press(kEnd), press(kRight)}, L"ab", 0, 1, true, 0},
        {"Left at a line's start goes to the previous line's end", L"ab\ncd", "", -1, {press(kDown), press(kLeft)},
         L"ab\ncd", 0, 1, true, 0},
        {"Left at the very start stays", L"ab", "", -1, {press(kLeft)}, L"ab", 0, -1, true, 0},
        {"Down clamps the column to the shorter line", L"abc\nd", "", -1, {press(kEnd), press(kDown)}, L"abc\nd", 1,
         0, true, 0},
        {"Up clamps the column to the shorter line", L"a\nbcd", "", -1, {press(kDown), press(kEnd), press(kUp)},
         L"a\nbcd", 0, 0, true, 0},
        {"Up on the first line goes on", L"ab\ncd", "", -1, {press(kUp)}, L"ab\ncd", 0, -1, false, 0},
        {"Down on the last line goes on", L"ab\ncd", "", -1, {press(kDown), press(kDown)}, L"ab\ncd", 1, -1, false, 0},
        {"Down in an empty edit goes on", L"", "", -1, {press(kDown)}, L"", 0, -1, false, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        manager->posted.clear();
        edit->setInputMask(c.mask);
        edit->setMaxTextLength(c.maxLength);
        show(c.text);
        const bool handled = keys(c.keys);
        EXPECT_EQ(handled, c.lastHandled);
        EXPECT_EQ(edit->getText(), stringw(c.expectedText));
        EXPECT_EQ(edit->getTextChild()->getText(), stringw(c.expectedText));
        EXPECT_EQ(edit->getCursorLine(), c.line);
        EXPECT_EQ(edit->getCursorColumn(), c.column);
        EXPECT_EQ(manager->changesTo(parent), c.changes);
    }
}

TEST_F(EditFixture, KeysWithinTheDelayAfterTheTextWasSetAreSwallowed) {
    show(L"ab");
    edit->setText(L"xy");  // restarts the delay
    clock->now += 100;
    EXPECT_TRUE(keys({type(L'q')}));
    EXPECT_EQ(edit->getText(), stringw(L"xy"));
    EXPECT_EQ(manager->changesTo(parent), 0);
    clock->now += 1;
    EXPECT_TRUE(keys({type(L'q')}));
    EXPECT_EQ(edit->getText(), stringw(L"qxy"));
}

TEST_F(EditFixture, WithoutATextNodeKeysAreHandledAndChangeNothing) {
    show(L"kept", "NoText");
    EXPECT_EQ(edit->getTextChild(), nullptr);
    EXPECT_TRUE(keys({type(L'a'), press(kBackspace), press(kUp)}));
    EXPECT_EQ(edit->getText(), stringw(L"kept"));
    EXPECT_TRUE(manager->posted.empty());
}

TEST_F(EditFixture, WithoutACursorNodeEditingStillWorks) {
    show(L"", "NoCursor");
    ASSERT_NE(edit->getTextChild(), nullptr);
    EXPECT_EQ(edit->getCursorChild(), nullptr);
    EXPECT_TRUE(keys({type(L'z')}));
    EXPECT_EQ(edit->getText(), stringw(L"z"));
}

TEST_F(EditFixture, TheCursorIsShownOnlyWhileFocusedAndStandsAtTheStartAfterATemplate) {
    show(L"ab");
    BaseNode* cursor = edit->getCursorChild();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->getParent(), edit->getTextChild());
    const TextNode* text = edit->getTextChild();
    EXPECT_EQ(cursor->getPosition(), vector3df(text->getLineLeft(0), text->getLineTop(0), 0.0f));
    edit->setFocused(true);
    EXPECT_TRUE(cursor->isVisible());
    edit->setFocused(false);
    EXPECT_FALSE(cursor->isVisible());
}

TEST_F(EditFixture, AClickFocusesTheEditAndPutsTheCursorAtTheClickedCharacter) {
    show(L"ab\ncd");
    keys({press(kDown), press(kEnd)});
    // Without a font the text has no glyphs: a click finds the start.
    edit->updateAbsoluteTransform();
    CountedRef<LeftButtonDownEvent> click(new LeftButtonDownEvent(5, 5));
    EXPECT_TRUE(edit->handleEvent(click.get()));
    EXPECT_TRUE(edit->isFocused());
    EXPECT_EQ(edit->getCursorLine(), 0);
    EXPECT_EQ(edit->getCursorColumn(), -1);
    CountedRef<LeftButtonDownEvent> miss(new LeftButtonDownEvent(500, 500));
    EXPECT_FALSE(edit->handleEvent(miss.get()));
}

TEST_F(EditFixture, ASingleLineEditLeavesEnterToItsParentAndTypesNoControlCharacters) {
    show(L"");
    edit->setInputMask("P");
    manager->posted.clear();
    // Enter counts as handled and inserts nothing; Escape's character and
    // Control with a letter go on unhandled.
    EXPECT_TRUE(keys({type(L'J'), type(L'\xfc'), press(kEnter)}));
    EXPECT_FALSE(keys({Key{27, L'\x1b'}}));
    EXPECT_FALSE(keys({Key{'A', L'\x01'}}));
    EXPECT_EQ(std::wstring(edit->getText().c_str()), L"J\xfc");
    EXPECT_EQ(manager->changesTo(parent), 2);
}

// ---- Mask ----------------------------------------------------------------------------------

TEST(EditNodeMask, MaskTextsGiveTheirFlagsAndAcceptTheirClasses) {
    struct Case {
        const char* mask;
        int32_t flags;
        const wchar_t* accepted;
        const wchar_t* refused;
    } cases[] = {
        // Control characters other than line breaks and the tab never.
        {"", -1, L"a1 \t\n\r.", L"\x1b\x01\x7f\x85"},
        {"P", 32, L"a1 .-\xfc\x20ac\xdf", L"\n\r\t\x1b\x7f"},
        {"0", 1, L"0189", L"a .\n"},
        {"Aa", 2, L"aZ", L"1 \n"},
        {"s", 4, L" \t", L"a1\n"},
        {"r", 8, L"\n\r", L"a1 "},
        {"T", 16, L"", L"a1 \n"},
        {"0A?x", 3, L"ax1", L" \n?"},
        {"0aSRt", 31, L"a1 \n", L".-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        CountedRef<EditNode> edit(new EditNode(nullptr, nullptr, nullptr));
        edit->setInputMask(c.mask);
        EXPECT_EQ(edit->getMaskFlags(), c.flags);
        for (const wchar_t* p = c.accepted; *p; ++p) EXPECT_TRUE(edit->acceptsCharacter(*p)) << int(*p);
        for (const wchar_t* p = c.refused; *p; ++p) EXPECT_FALSE(edit->acceptsCharacter(*p)) << int(*p);
    }
}

// ---- Properties, copies, factory ---------------------------------------------------------------

TEST(EditNodeProperties, ValuesSurviveWritingAndReading) {
    struct Case {
        const wchar_t* text;
        int32_t maxLength;
        const char* mask;
        bool textWritten;
        bool maxWritten;
        bool maskWritten;
    } cases[] = {
        {L"", -1, "", false, false, false},
        {L"Hello", 64, "A", true, true, true},
        {L"x", 0, "", true, true, false},
    };
    for (const Case& c : cases) {
        CountedRef<EditNode> edit(new EditNode(nullptr, nullptr, nullptr));
        edit->setText(c.text);
        edit->setMaxTextLength(c.maxLength);
        edit->setInputMask(c.mask);
        CountedRef<PropertySet> set(new PropertySet());
        edit->writeProperties(set.get());
        EXPECT_EQ(set->indexOf("Text") >= 0, c.textWritten);
        EXPECT_EQ(set->indexOf("MaxTextLength") >= 0, c.maxWritten);
        EXPECT_EQ(set->indexOf("InputMask") >= 0, c.maskWritten);

        CountedRef<EditNode> read(new EditNode(nullptr, nullptr, nullptr));
        read->readProperties(set.get());
        EXPECT_EQ(read->getText(), stringw(c.text));
        EXPECT_EQ(read->getMaxTextLength(), c.maxLength);
        EXPECT_EQ(read->getInputMask(), stringc(c.mask));
        EXPECT_EQ(read->getMaskFlags(), edit->getMaskFlags());

        CountedRef<BaseNode> copy(edit->clone(nullptr, nullptr));
        auto* copied = nodeCast<EditNode>(copy.get());
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->getText(), stringw(c.text));
        EXPECT_EQ(copied->getMaxTextLength(), c.maxLength);
        EXPECT_EQ(copied->getMaskFlags(), edit->getMaskFlags());
    }
}

TEST(EditNodeProperties, TheTableSetsThroughTheSettersAndAMaxLengthOfAnotherTypeCountsAsZero) {
    CountedRef<EditNode> edit(new EditNode(nullptr, nullptr, nullptr));
    const PropertyTable& table = edit->getPropertyTable();
    const int32_t text = table.indexOf("Text");
    const int32_t max = table.indexOf("MaxTextLength");
    const int32_t mask = table.indexOf("InputMask");
    ASSERT_GE(text, 0);
    EXPECT_EQ(max, text + 1);
    EXPECT_EQ(mask, text + 2);
    EXPECT_EQ(static_cast<uint32_t>(mask) + 1, table.size());
    table.set(*edit, text, CountedRef<IPropertyData>(makeStringWProperty(L"w")));
    table.set(*edit, mask, CountedRef<IPropertyData>(makeStringProperty("0")));
    table.set(*edit, max, CountedRef<IPropertyData>(makeStringProperty("12")));
    EXPECT_EQ(edit->getText(), stringw(L"w"));
    EXPECT_EQ(edit->getMaskFlags(), 1);
    EXPECT_EQ(edit->getMaxTextLength(), 0);

    CountedRef<PropertySet> set(new PropertySet());
    set->addString("MaxTextLength", "12");
    edit->readProperties(set.get());
    EXPECT_EQ(edit->getMaxTextLength(), 0);
}

TEST(EditNodeFactory, TheFactoryMakesEditNodes) {
    CountedRef<BaseNode> node(getNodeFactory().createNode(L"EditNode", nullptr));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getTypeId(), 12);
    EXPECT_TRUE(node->isOfType(5));
    EXPECT_TRUE(node->isOfType(0));
    EXPECT_EQ(stringw(node->getClassName()), stringw(L"EditNode"));
    EXPECT_EQ(stringw(node->getTypeName()), stringw(L"EditNode"));
    EXPECT_EQ(nodeCast<EditNode>(node.get())->getMaxTextLength(), -1);
}

}  // namespace
