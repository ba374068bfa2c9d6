#include "engine/controls/MessageBoxNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/core/EventReceiverRegistry.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/TextNode.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

using namespace engine;

namespace {

NameId id(const char* name) { return makeNameId(name); }

// The device's receiver list: hands update events to its receivers, lowest
// order first, as the run loop does.
struct FakeRegistry : IEventReceiverRegistry {
    bool addEventReceiver(EventReceiver* receiver, int32_t order) override {
        for (const auto& e : entries)
            if (e.first.get() == receiver) return false;
        entries.emplace_back(CountedRef<EventReceiver>::share(receiver), order);
        return true;
    }
    void removeEventReceiver(EventReceiver* receiver) override {
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [receiver](const auto& e) { return e.first.get() == receiver; }),
                      entries.end());
    }
    void update(uint32_t ms) {
        auto walk = entries;
        std::stable_sort(walk.begin(), walk.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        CountedRef<UpdateEvent> event(new UpdateEvent(ms));
        for (const auto& e : walk) {
            if (e.first->takesCategory(event->getCategory()) && e.first->handleEvent(event.get())) break;
        }
    }
    std::vector<std::pair<CountedRef<EventReceiver>, int32_t>> entries;
};

// Listens in front of a button: writes down the input events offered to it
// and takes them when `takes` is set.
struct InputRecorder : EventReceiver {
    InputRecorder(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    bool handleEvent(Event* event) override {
        if (!event->isOfType(EventId::InputEvent)) return false;
        log.push_back(name);
        return takes;
    }
    std::vector<std::string>& log;
    std::string name;
    bool takes = false;
};

// A scene that writes down the message box results it is told.
class OwnerScene : public SceneNode {
    ENGINE_NODE_TYPE(OwnerScene, SceneNode, 1991)

public:
    OwnerScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : SceneNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    bool handleEvent(Event* event) override {
        if (auto* result = dynamic_cast<MessageBoxResultEvent*>(event)) results.push_back(result->getResult());
        return SceneNode::handleEvent(event);
    }
    std::vector<int32_t> results;
};

// A scene manager as the engine sets one up, with an owner scene "A" shown
// and message box templates: "Question" and "Three" with a title, a body,
// two or three buttons and children that look like buttons but are not (a
// plain node and a control named "Button", a button named "Other"), "Plain"
// with none of them.
struct MessageBoxFixture : testing::Test {
    void SetUp() override {
        // The engine makes its factory at start, which installs the maker.
        getNodeFactory();
        manager->setEventReceiverRegistry(&registry);
        manager->setTimerScheduler(managerScheduler.get());
        registry.addEventReceiver(managerScheduler.get(), 2);
        addTemplate("Question", 2);
        addTemplate("Three", 3);
        CountedRef<BaseNode> plain(new BaseNode(nullptr, nullptr, nullptr));
        plain->setName(id("Plain"));
        templates->addTemplate(plain.get());
        manager->setTemplateCollection(templates.get());

        owner->setName(id("A"));
        owner->setBounds(vector3df(1000.0f, 800.0f, 0.0f));
        owner->setPosition(vector3df(10.0f, 20.0f, 5.0f));
        ASSERT_TRUE(manager->setScene(owner.get()));
        settle();
    }
    void TearDown() override {
        manager->setTimerScheduler(nullptr);
        manager.reset();
    }

    void addTemplate(const char* name, int buttons) {
        CountedRef<BaseNode> look(new BaseNode(nullptr, nullptr, nullptr));
        look->setName(id(name));
        look->setBounds(vector3df(200.0f, 100.0f, 0.0f));
        const auto child = [&](BaseNode* node, const char* childName) {
            node->setName(id(childName));
            node->release();
            return node;
        };
        child(new TextNode(nullptr, look.get(), nullptr), "TitleText");
        child(new TextNode(nullptr, look.get(), nullptr), "BodyText");
        child(new BaseNode(nullptr, look.get(), nullptr), "Button");     // not a control
        child(new ControlNode(nullptr, look.get(), nullptr), "Button");  // a control, but no button
        child(new ButtonNode(nullptr, look.get(), nullptr), "Other");    // a button of another name
        for (int i = 0; i < buttons; ++i) {
            auto* button = static_cast<ButtonNode*>(child(new ButtonNode(nullptr, look.get(), nullptr), "Button"));
            button->setText(L"unset");
        }
        templates->addTemplate(look.get());
    }

    MessageBoxNode* show(const char* look, std::vector<const wchar_t*> captions) {
        array<stringw> texts;
        for (const wchar_t* caption : captions) texts.push_back(caption);
        SceneNode* box = owner->showMessageBox(id(look), texts, L"Title", L"Body");
        return dynamic_cast<MessageBoxNode*>(box);
    }
    void settle() {
        for (int i = 0; i < 5; ++i) registry.update(10);
    }

    FakeRegistry registry;
    CountedRef<TimerScheduler> managerScheduler{new TimerScheduler()};
    CountedRef<SceneManager> manager{new SceneManager(nullptr, nullptr, nullptr)};
    CountedRef<TemplateCollectionNode> templates{new TemplateCollectionNode(nullptr, nullptr, nullptr)};
    CountedRef<OwnerScene> owner{new OwnerScene(nullptr, nullptr, nullptr)};
};

TEST_F(MessageBoxFixture, ShownByTheManagerWithItsTextsAndButtons) {
    MessageBoxNode* box = show("Question", {L"Yes", L"No"});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getTypeId(), 7);
    EXPECT_TRUE(box->isOfType(6));
    EXPECT_TRUE(box->isOfType(5));
    EXPECT_EQ(stringw(box->getClassName()), stringw(L"MessageBoxNode"));
    EXPECT_EQ(manager->getTopScene(), box);
    EXPECT_EQ(box->getPosition(), vector3df(10.0f + 400.0f, 20.0f + 350.0f, 5.0f));
    ASSERT_NE(box->getTitleChild(), nullptr);
    ASSERT_NE(box->getBodyChild(), nullptr);
    EXPECT_EQ(box->getTitleChild()->getText(), stringw(L"Title"));
    EXPECT_EQ(box->getBodyChild()->getText(), stringw(L"Body"));
    ASSERT_EQ(box->getButtonCount(), 2u);
    EXPECT_EQ(box->getButton(0)->getText(), stringw(L"Yes"));
    EXPECT_EQ(box->getButton(1)->getText(), stringw(L"No"));
    // The buttons are the template instance's last two children, in order.
    ControlNode* root = box->getTemplateRoot();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->getChildCount(), 7u);
    EXPECT_EQ(box->getButton(0), root->getChild(5));
    EXPECT_EQ(box->getButton(1), root->getChild(6));
}

TEST_F(MessageBoxFixture, CaptionsAndButtonsOfDifferentCounts) {
    struct Case {
        const char* look;
        std::vector<const wchar_t*> texts;
        std::vector<const wchar_t*> shown;
    } cases[] = {
        {"Question", {L"Yes", L"No", L"Cancel"}, {L"Yes", L"No"}},
        {"Three", {L"Yes", L"No"}, {L"Yes", L"No", L""}},
        {"Three", {}, {L"", L"", L""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.look);
        MessageBoxNode* box = show(c.look, c.texts);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->getButtonTexts().size(), c.texts.size()) << "every text stays stored";
        ASSERT_EQ(box->getButtonCount(), c.shown.size());
        for (uint32_t i = 0; i < box->getButtonCount(); ++i)
            EXPECT_EQ(box->getButton(i)->getText(), stringw(c.shown[i])) << i;
        box->closeScene(0);
        settle();
    }
}

TEST_F(MessageBoxFixture, APressedButtonClosesTheBoxAndTheOwnerGetsItsIndex) {
    for (uint32_t pressed : {1u, 0u}) {
        SCOPED_TRACE(pressed);
        owner->results.clear();
        MessageBoxNode* box = show("Question", {L"Yes", L"No"});
        ASSERT_NE(box, nullptr);
        CountedRef<MessageBoxNode> held = CountedRef<MessageBoxNode>::share(box);
        ASSERT_TRUE(box->getButton(pressed)->press());
        settle();
        EXPECT_EQ(box->getResult(), static_cast<int32_t>(pressed));
        EXPECT_EQ(owner->results, std::vector<int32_t>{static_cast<int32_t>(pressed)});
        EXPECT_EQ(manager->getTopScene(), owner.get());
        EXPECT_EQ(box->getParent(), nullptr) << "the box left the manager";
    }
}

TEST_F(MessageBoxFixture, APressOfAnotherNodeIsNotTheBoxs) {
    MessageBoxNode* box = show("Question", {L"Yes"});
    ASSERT_NE(box, nullptr);
    CountedRef<NodePressedEvent> foreign(new NodePressedEvent(owner.get()));
    EXPECT_FALSE(box->handleEvent(foreign.get()));
    CountedRef<NodePressedEvent> mine(new NodePressedEvent(box->getButton(1)));
    CountedRef<MessageBoxNode> held = CountedRef<MessageBoxNode>::share(box);
    EXPECT_TRUE(box->handleEvent(mine.get()));
    EXPECT_EQ(box->getResult(), 1);
    settle();
    EXPECT_EQ(owner->results, std::vector<int32_t>{1});
}

TEST_F(MessageBoxFixture, ControlsThatAreNoButtonNodesOrHaveAnotherNameAreNoResultButtons) {
    MessageBoxNode* box = show("Question", {L"Yes", L"No"});
    ASSERT_NE(box, nullptr);
    CountedRef<MessageBoxNode> held = CountedRef<MessageBoxNode>::share(box);
    ControlNode* root = box->getTemplateRoot();
    ASSERT_NE(root, nullptr);
    auto* control = nodeCast<ControlNode>(root->getChild(3));
    ASSERT_NE(control, nullptr);
    ASSERT_EQ(nameOfId(control->getName()), stringc("Button"));
    ASSERT_FALSE(control->isOfType(ButtonNode::kTypeId));
    auto* other = nodeCast<ButtonNode>(root->getChild(4));
    ASSERT_NE(other, nullptr);
    for (ControlNode* pressed : {control, static_cast<ControlNode*>(other)}) {
        SCOPED_TRACE(nameOfId(pressed->getName()).c_str());
        CountedRef<NodePressedEvent> event(new NodePressedEvent(pressed));
        EXPECT_FALSE(box->handleEvent(event.get()));
        pressed->press();
        settle();
        EXPECT_EQ(manager->getTopScene(), box) << "the box stays open";
        EXPECT_TRUE(owner->results.empty());
    }
}

TEST_F(MessageBoxFixture, InputIsOfferedToTheButtonsInOrderUntilOneTakesIt) {
    MessageBoxNode* box = show("Three", {});
    ASSERT_NE(box, nullptr);
    std::vector<std::string> offered;
    std::vector<CountedRef<InputRecorder>> recorders;
    for (uint32_t i = 0; i < box->getButtonCount(); ++i) {
        recorders.push_back(makeRef<InputRecorder>(offered, "Button" + std::to_string(i)));
        box->getButton(i)->addListener(recorders.back().get());
    }
    recorders[1]->takes = true;
    CountedRef<KeyDownEvent> key(new KeyDownEvent(L'x', 0, false, false));
    EXPECT_TRUE(box->routeToChildren(DeliveryMode::ChildrenThenHandle, key.get()));
    EXPECT_EQ(offered, (std::vector<std::string>{"Button0", "Button1"}));

    offered.clear();
    box->setEnabled(false);
    EXPECT_FALSE(box->routeToChildren(DeliveryMode::ChildrenThenHandle, key.get()));
    EXPECT_TRUE(offered.empty()) << "a disabled box keeps input from its buttons";
    for (uint32_t i = 0; i < box->getButtonCount(); ++i) box->getButton(i)->removeListener(recorders[i].get());
}

TEST_F(MessageBoxFixture, ATemplateWithoutTextsOrButtonsKeepsTheTexts) {
    MessageBoxNode* box = show("Plain", {L"Ok"});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getTitleChild(), nullptr);
    EXPECT_EQ(box->getBodyChild(), nullptr);
    EXPECT_EQ(box->getButtonCount(), 0u);
    EXPECT_EQ(box->getTitleText(), stringw(L"Title"));
    EXPECT_EQ(box->getBodyText(), stringw(L"Body"));
}

TEST(MessageBoxNode, ACloneHasNoTextsOrButtonsAndTheFactoryDoesNotMakeBoxes) {
    CountedRef<MessageBoxNode> box(new MessageBoxNode(nullptr, nullptr, nullptr));
    box->setTitleText(L"T");
    box->setBodyText(L"B");
    array<stringw> texts;
    texts.push_back(L"Ok");
    box->setButtonTexts(texts);
    CountedRef<BaseNode> copy(box->clone(nullptr, nullptr));
    auto* copied = nodeCast<MessageBoxNode>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->getTitleText().empty());
    EXPECT_TRUE(copied->getBodyText().empty());
    EXPECT_EQ(copied->getButtonTexts().size(), 0u);
    EXPECT_EQ(getNodeFactory().createNode(L"MessageBoxNode", nullptr), nullptr);
}

}  // namespace
