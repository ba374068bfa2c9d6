#include "NodeTestSupport.h"

#include "engine/core/BaseNode.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/State.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <cmath>
#include <vector>

using namespace engine;
using namespace node_tests;

namespace {

// A node that draws itself: it adds its own draw item (with a chosen key),
// writes down the clip of every render and is hit wherever its bounds are.
class DrawNode : public OwnItemNode {
    ENGINE_NODE_TYPE(DrawNode, OwnItemNode, 1910)

public:
    DrawNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : OwnItemNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    void render(irr::video::IVideoDriver* driver, const rectf* clip) override {
        rendered.push_back(clip ? *clip : rectf(-1, -1, -1, -1));
        BaseNode::render(driver, clip);
    }
    bool hitTest(const vector2df& point) override { return containsPoint(point); }

    std::vector<rectf> rendered;
};

// A manager whose queue records what nodes post.
class QueueManager : public BaseNode, public NodeEventQueue {
public:
    QueueManager() : BaseNode(nullptr, nullptr, nullptr) {}
    NodeEventQueue* getEventQueue() override { return this; }
    void queueEvent(EventReceiver* target, int32_t mode, Event* event) override {
        queued.push_back({target, mode, event->getTypeId()});
    }
    struct Entry {
        EventReceiver* target;
        int32_t mode;
        int32_t typeId;
    };
    std::vector<Entry> queued;
};

// A node that answers events of one id as handled and counts what it saw.
class Answering : public BaseNode {
public:
    explicit Answering(bool answer) : BaseNode(nullptr, nullptr, nullptr), answer(answer) {}
    bool handleEvent(Event* event) override {
        ++handled;
        order.push_back(this);
        return answer && event != nullptr;
    }
    bool answer;
    int handled = 0;
    static std::vector<BaseNode*> order;
};
std::vector<BaseNode*> Answering::order;

template <class T = BaseNode>
CountedRef<T> make() {
    return CountedRef<T>(new T(nullptr, nullptr, nullptr, true));
}

vector2df mapped(BaseNode& node, vector2df p) {
    node.updateAbsoluteTransform();
    transformVect2D(node.getAbsoluteTransform(), p);
    return p;
}

NameId id(const char* name) { return makeNameId(name); }

}  // namespace

// ---- Transforms and colours -------------------------------------------------

TEST(BaseNodeTransform, PivotScaleAndPositionPlaceThePoint) {
    auto node = make();
    node->setPosition(vector3df(10, 20, 0));
    node->setPivotPoint(vector2df(5, 5));
    node->setScale(vector3df(2, 2, 1));
    EXPECT_EQ(mapped(*node, {5, 5}), vector2df(10, 20));
    EXPECT_EQ(mapped(*node, {6, 5}), vector2df(12, 20));

    // A quarter turn about z turns the x axis onto the y axis.
    node->setRotation(vector3df(0, 0, 90));
    const vector2df p = mapped(*node, {6, 5});
    EXPECT_NEAR(p.X, 10.0f, 1e-4f);
    EXPECT_NEAR(p.Y, 22.0f, 1e-4f);
}

TEST(BaseNodeTransform, ChildrenComposeWithTheirParentAndDepthsAdd) {
    auto parent = make();
    parent->setPosition(vector3df(100, 50, 2));
    parent->setScale(vector3df(2, 2, 1));
    BaseNode* child = new BaseNode(nullptr, parent.get(), nullptr);
    child->release();  // the parent's reference remains
    child->setPosition(vector3df(10, 20, 3));
    parent->updateAbsoluteTransform();
    EXPECT_FALSE(child->isTransformDirty());
    vector2df origin(0, 0);
    transformVect2D(child->getAbsoluteTransform(), origin);
    EXPECT_EQ(origin, vector2df(120, 90));
    EXPECT_FLOAT_EQ(child->getAbsoluteTransform()[14], 5.0f);
}

TEST(BaseNodeTransform, MultiplyTransform2DWritesOnlyThe2DElements) {
    matrix4 a;
    a.setTranslation(vector3df(1, 2, 3));
    a[0] = 2;
    matrix4 b;
    b.setTranslation(vector3df(10, 20, 4));
    matrix4 out;
    out[2] = 42;  // not a 2D element: kept
    multiplyTransform2D(a, b, out);
    EXPECT_FLOAT_EQ(out[12], 21.0f);
    EXPECT_FLOAT_EQ(out[13], 22.0f);
    EXPECT_FLOAT_EQ(out[14], 7.0f);
    EXPECT_FLOAT_EQ(out[0], 2.0f);
    EXPECT_FLOAT_EQ(out[2], 42.0f);

    matrix4 copy;
    copy[2] = 42;
    multiplyTransform2D(matrix4(), b, copy);  // identity operand: a copy of the other
    EXPECT_EQ(copy, b);
    multiplyTransform2D(a, matrix4(), copy);
    EXPECT_EQ(copy, a);
}

TEST(BaseNodeTransform, ColourMultipliesDownTheTree) {
    auto parent = make();
    parent->setTintColor(SColor(255, 255, 128, 0));
    BaseNode* child = new BaseNode(nullptr, parent.get(), nullptr);
    child->release();
    child->setTintColor(SColor(128, 255, 255, 255));
    parent->updateAbsoluteColor();
    EXPECT_EQ(parent->getAbsoluteColor(), SColor(255, 255, 128, 0));
    EXPECT_EQ(child->getAbsoluteColor(), multiplyColors(SColor(255, 255, 128, 0), SColor(128, 255, 255, 255)));
    EXPECT_FALSE(child->isColorDirty());
}

TEST(BaseNodeValues, SettersMarkDirtyAndBoundsAreClamped) {
    auto node = make();
    node->updateAbsoluteTransform();
    node->updateAbsoluteColor();
    node->setPivotPoint(vector2df(1, 1));
    EXPECT_TRUE(node->isTransformDirty());
    node->setTintColor(SColor(1, 2, 3, 4));
    EXPECT_TRUE(node->isColorDirty());
    node->setBounds(vector3df(-5, 20, 3));
    EXPECT_EQ(node->getBounds(), vector3df(0, 20, 0));
}

TEST(BaseNodeValues, UserDataIsHeldUntilReplaced) {
    auto data = makeRef<BaseNode>(nullptr, nullptr, nullptr);
    {
        auto node = make();
        node->setUserData(data.get());
        EXPECT_EQ(data->getRefCount(), 2);
        node->setUserData(nullptr);
        EXPECT_EQ(data->getRefCount(), 1);
        node->setUserData(data.get());
    }
    EXPECT_EQ(data->getRefCount(), 1);
}

// ---- Draw items and hit tests -----------------------------------------------

TEST(BaseNodeDrawing, DepthOrdersTheDrawListWhateverTheTreeOrder) {
    auto root = make();
    auto* parent = new DrawNode(nullptr, root.get(), nullptr);
    parent->release();
    parent->setPosition(vector3df(0, 0, 2));
    auto* deep = new DrawNode(nullptr, parent, nullptr);
    deep->release();
    deep->setPosition(vector3df(0, 0, 3));  // depth 5
    auto* sibling = new DrawNode(nullptr, root.get(), nullptr);
    sibling->release();
    sibling->setPosition(vector3df(0, 0, 6));
    auto* sameDepth = new DrawNode(nullptr, root.get(), nullptr);
    sameDepth->release();
    sameDepth->setPosition(vector3df(0, 0, 5));
    sameDepth->key = 1;
    deep->key = 2;

    RenderList list;
    root->collectRenderItems(list);
    ASSERT_EQ(list.size(), 4u);
    irr::core::heapsort(list.pointer(), list.size());
    EXPECT_EQ(list[0].node, parent);
    EXPECT_EQ(list[1].node, sameDepth);  // depth 5, key 1
    EXPECT_EQ(list[2].node, deep);       // depth 5, key 2
    EXPECT_FLOAT_EQ(list[2].depth, 5.0f);
    EXPECT_EQ(list[3].node, sibling);
}

TEST(BaseNodeDrawing, HiddenNodeHidesItsSubtreeFromDrawingAndHits) {
    auto root = make();
    auto* hidden = new DrawNode(nullptr, root.get(), nullptr);
    hidden->release();
    auto* child = new DrawNode(nullptr, hidden, nullptr);
    child->release();
    hidden->setVisible(false);
    RenderList list;
    root->collectRenderItems(list);
    EXPECT_EQ(list.size(), 0u);
    root->updateAbsoluteTransform();
    EXPECT_EQ(root->findNodeAt(vector2df(50, 50)), nullptr);

    hidden->setVisible(true);
    EXPECT_EQ(root->findNodeAt(vector2df(50, 50)), hidden);
    hidden->setCanBeHit(false);
    EXPECT_EQ(root->findNodeAt(vector2df(50, 50)), nullptr);
}

TEST(BaseNodeDrawing, FindNodeAtSearchesChildrenInOrder) {
    auto root = make();
    auto* first = new DrawNode(nullptr, root.get(), nullptr);
    first->release();
    first->setPosition(vector3df(200, 0, 0));
    auto* second = new DrawNode(nullptr, root.get(), nullptr);
    second->release();
    auto* third = new DrawNode(nullptr, root.get(), nullptr);
    third->release();
    root->updateAbsoluteTransform();
    EXPECT_EQ(root->findNodeAt(vector2df(50, 50)), second);
    EXPECT_EQ(root->findNodeAt(vector2df(250, 50)), first);
    EXPECT_EQ(root->findNodeAt(vector2df(500, 500)), nullptr);
}

TEST(BaseNodeDrawing, ContainsPointIsStrictAtTheEdges) {
    auto node = make();
    node->setPosition(vector3df(10, 10, 0));
    node->setBounds(vector3df(20, 30, 0));
    node->updateAbsoluteTransform();
    const struct {
        float x, y;
        bool inside;
    } cases[] = {{10, 20, false}, {30, 20, false}, {20, 10, false}, {20, 40, false},
                 {10.01f, 20, true}, {29.99f, 39.99f, true}, {5, 20, false}};
    for (const auto& c : cases) EXPECT_EQ(node->containsPoint(vector2df(c.x, c.y)), c.inside) << c.x << "," << c.y;
}

namespace {
int gFlushes = 0;
void countFlush(irr::video::IVideoDriver*) { ++gFlushes; }
}  // namespace

TEST(BaseNodeDrawing, ClippedNodeDrawsItsChildrenInsideItsBounds) {
    auto root = make();
    auto* clipper = new BaseNode(nullptr, root.get(), nullptr);
    clipper->release();
    clipper->setPosition(vector3df(10, 20, 4));
    clipper->setBounds(vector3df(50, 60, 0));
    clipper->setChildrenClipped(true);

    // Without children a clipped node adds nothing.
    RenderList list;
    root->collectRenderItems(list);
    EXPECT_EQ(list.size(), 0u);

    auto* a = new DrawNode(nullptr, clipper, nullptr);
    a->release();
    auto* b = new DrawNode(nullptr, clipper, nullptr);
    b->release();
    root->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);  // only the clipping node; its children wait for render
    EXPECT_EQ(list[0].node, clipper);
    EXPECT_FLOAT_EQ(list[0].depth, 4.0f);
    EXPECT_EQ(list[0].key, 0u);

    gFlushes = 0;
    setQuadBatchFlush(&countFlush);
    const rectf outer(0, 0, 1, 1);
    clipper->render(nullptr, &outer);
    setQuadBatchFlush(nullptr);
    EXPECT_EQ(gFlushes, 2);
    ASSERT_EQ(a->rendered.size(), 1u);
    ASSERT_EQ(b->rendered.size(), 1u);
    EXPECT_EQ(a->rendered[0], rectf(10, 20, 60, 80));

    // Without ChildrenClipped render draws nothing.
    clipper->setChildrenClipped(false);
    clipper->render(nullptr, nullptr);
    EXPECT_EQ(a->rendered.size(), 1u);
}

// ---- Tree ---------------------------------------------------------------------

TEST(BaseNodeTree, AddChildCountsAndMovesNodes) {
    auto a = make();
    auto b = make();
    auto child = make();
    a->addChild(nullptr);
    a->addChild(a.get());
    EXPECT_EQ(a->getChildCount(), 0u);

    a->addChild(child.get());
    EXPECT_EQ(child->getRefCount(), 2);
    EXPECT_EQ(child->getParent(), a.get());
    b->addChild(child.get());  // moves
    EXPECT_EQ(a->getChildCount(), 0u);
    EXPECT_EQ(b->getChild(0), child.get());
    EXPECT_EQ(child->getRefCount(), 2);

    child->setParent(nullptr);
    EXPECT_EQ(b->getChildCount(), 0u);
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->getRefCount(), 1);
    EXPECT_FALSE(b->removeChild(child.get()));
}

TEST(BaseNodeTree, InsertChildAfterPlacesTheNode) {
    auto parent = make();
    auto x = make(), y = make(), z = make(), w = make(), stranger = make();
    parent->addChild(x.get());
    parent->addChild(y.get());
    parent->insertChildAfter(z.get(), x.get());         // x z y
    parent->insertChildAfter(w.get(), nullptr);         // w x z y
    EXPECT_EQ(parent->getChild(0), w.get());
    EXPECT_EQ(parent->getChild(1), x.get());
    EXPECT_EQ(parent->getChild(2), z.get());
    EXPECT_EQ(parent->getChild(3), y.get());
    parent->insertChildAfter(w.get(), stranger.get());  // a sibling that is not a child: last
    EXPECT_EQ(parent->getChild(3), w.get());
    EXPECT_EQ(parent->getChildCount(), 4u);
    EXPECT_EQ(w->getRefCount(), 2);
}

TEST(BaseNodeTree, ANodeCannotBecomeItsOwnDescendant) {
    testing_support::LogCapture log;
    auto root = make();
    auto child = make();
    root->addChild(child.get());
    child->addChild(root.get());
    EXPECT_EQ(root->getParent(), nullptr);
    EXPECT_EQ(child->getChildCount(), 0u);
    EXPECT_TRUE(log.hasErrors());
}

TEST(BaseNodeTree, RemovingChildrenDetachesTheirWholeSubtree) {
    // Both ways of removing leave a child that is held elsewhere without its
    // scene, manager and parent, down to its own children.
    for (const bool all : {false, true}) {
        auto manager = make();
        auto scene = make<TestScene>();
        auto parent = make();
        auto child = make();
        BaseNode* grandchild = new BaseNode(nullptr, child.get(), nullptr);
        grandchild->release();
        parent->addChild(child.get());
        parent->attach(manager.get(), scene.get());
        ASSERT_EQ(grandchild->getOwnerScene(), scene.get());

        if (all) {
            parent->removeAllChildren();
        } else {
            EXPECT_TRUE(parent->removeChild(child.get()));
        }
        EXPECT_EQ(parent->getChildCount(), 0u);
        EXPECT_EQ(child->getParent(), nullptr) << all;
        EXPECT_EQ(child->getOwnerScene(), nullptr) << all;
        EXPECT_EQ(child->getManager(), nullptr) << all;
        EXPECT_EQ(grandchild->getOwnerScene(), nullptr) << all;
        EXPECT_EQ(grandchild->getManager(), nullptr) << all;
        EXPECT_EQ(grandchild->getParent(), child.get()) << all;
        EXPECT_EQ(child->getRefCount(), 1) << all;
    }
}

TEST(BaseNodeTree, FindChildHonoursTheDepth) {
    // root: a(x(deep)), b(x2 named "x" too), target "t" at depth 2 under b.
    auto root = make();
    auto add = [](BaseNode* parent, const char* name) {
        BaseNode* n = new BaseNode(nullptr, parent, nullptr);
        n->release();
        n->setName(id(name));
        return n;
    };
    BaseNode* a = add(root.get(), "a");
    BaseNode* x = add(a, "x");
    BaseNode* deep = add(x, "deep");
    BaseNode* b = add(root.get(), "b");
    BaseNode* t = add(b, "t");
    BaseNode* x2 = add(b, "x");
    (void)x2;

    const struct {
        const char* name;
        int32_t depth;
        BaseNode* expected;
    } cases[] = {
        {"a", 1, a},     {"t", 1, nullptr}, {"t", 2, t},          {"t", -1, t}, {"t", 0, t},
        {"deep", 2, nullptr}, {"deep", 3, deep}, {"deep", -1, deep}, {"x", -1, x}, {"t", -2, nullptr},
        {"missing", -1, nullptr},
    };
    for (const auto& c : cases) EXPECT_EQ(root->findChild(id(c.name), c.depth), c.expected) << c.name << " " << c.depth;
}

TEST(BaseNodeTree, AttachCarriesManagerAndSceneAndEntersDefaultStates) {
    auto manager = make();
    auto scene = make<TestScene>();
    auto parent = make();
    BaseNode* child = new BaseNode(nullptr, parent.get(), nullptr);
    child->release();
    CountedRef<State> state(new State(id("Idle")));
    child->addState(state.get());
    child->setDefaultState(id("Idle"));

    parent->attach(manager.get(), nullptr);
    EXPECT_EQ(child->getManager(), manager.get());
    EXPECT_EQ(child->getRunningState(), nullptr);  // no scene: no default state

    parent->attach(manager.get(), scene.get());
    EXPECT_EQ(child->getOwnerScene(), scene.get());
    EXPECT_EQ(child->getRunningState(), state.get());

    // A node added under an attached parent is attached too.
    auto late = make();
    child->addChild(late.get());
    EXPECT_EQ(late->getManager(), manager.get());
    EXPECT_EQ(late->getOwnerScene(), scene.get());
}

TEST(BaseNodeTree, GhostChildHasAParentButIsNotAChild) {
    auto parent = make();
    auto ghost = make();
    ghost->setGhost(true);
    auto manager = make();
    parent->attach(manager.get(), nullptr);
    parent->addChild(ghost.get());
    EXPECT_EQ(ghost->getParent(), parent.get());
    EXPECT_EQ(ghost->getManager(), manager.get());
    EXPECT_EQ(parent->getChildCount(), 0u);
    EXPECT_EQ(ghost->getRefCount(), 1);  // its owner's reference only
    EXPECT_FALSE(parent->removeChild(ghost.get()));

    // The ghost outlives its parent without a stale link.
    parent.reset();
    EXPECT_EQ(ghost->getParent(), nullptr);
}

TEST(BaseNodeTree, GhostCanLeaveItsParent) {
    auto parent = make();
    auto other = make();
    auto ghost = make();
    ghost->setGhost(true);
    parent->addChild(ghost.get());
    ghost->setParent(other.get());
    EXPECT_EQ(ghost->getParent(), other.get());
    parent.reset();  // must not touch the ghost any more
    EXPECT_EQ(ghost->getParent(), other.get());
    ghost->setParent(nullptr);
    EXPECT_EQ(ghost->getParent(), nullptr);
}

// ---- Routing ------------------------------------------------------------------

TEST(BaseNodeRouting, ChildrenAreOfferedLastToFirstUntilOneHandles) {
    auto parent = make();
    CountedRef<Answering> first(new Answering(false));
    CountedRef<Answering> second(new Answering(true));
    CountedRef<Answering> third(new Answering(false));
    parent->addChild(first.get());
    parent->addChild(second.get());
    parent->addChild(third.get());
    third->setMask(0);  // takes nothing: skipped

    Answering::order.clear();
    CountedRef<NodeEvent> event(new NodeEvent(nullptr));
    EXPECT_TRUE(parent->routeToChildren(DeliveryMode::HandleOnly, event.get()));
    ASSERT_EQ(Answering::order.size(), 1u);
    EXPECT_EQ(Answering::order[0], second.get());
    EXPECT_EQ(first->handled, 0);

    CountedRef<KeyDownEvent> key(new KeyDownEvent(0, 0, false, false));  // keyboard: not in a node's mask
    EXPECT_FALSE(parent->routeToChildren(DeliveryMode::HandleOnly, key.get()));
}

TEST(BaseNodeRouting, ParentIsReachedWhenItTakesTheCategory) {
    CountedRef<Answering> parent(new Answering(true));
    auto child = make();
    parent->addChild(child.get());
    CountedRef<NodeEvent> event(new NodeEvent(nullptr));
    EXPECT_TRUE(child->routeToParent(DeliveryMode::HandleOnly, event.get()));
    parent->setMask(EventCategory::Mouse);
    EXPECT_FALSE(child->routeToParent(DeliveryMode::HandleOnly, event.get()));
    EXPECT_EQ(parent->handled, 1);
}

TEST(BaseNodeRouting, PostedEventsGoToTheManagersQueue) {
    CountedRef<QueueManager> manager(new QueueManager());
    auto parent = make();
    auto child = make();
    parent->addChild(child.get());
    CountedRef<NodeEvent> event(new NodeEvent(nullptr));

    child->postToParent(DeliveryMode::HandleThenParent, event.get());  // no manager yet: dropped
    EXPECT_TRUE(manager->queued.empty());

    parent->attach(manager.get(), nullptr);
    child->postToParent(DeliveryMode::HandleThenParent, event.get());
    ASSERT_EQ(manager->queued.size(), 1u);
    EXPECT_EQ(manager->queued[0].target, parent.get());
    EXPECT_EQ(manager->queued[0].mode, DeliveryMode::HandleThenParent);

    CountedRef<KeyDownEvent> key(new KeyDownEvent(0, 0, false, false));
    child->postEvent(parent.get(), 0, key.get());  // the target does not take keyboard events
    child->postEvent(nullptr, 0, event.get());
    EXPECT_EQ(manager->queued.size(), 1u);
}

// ---- Copies -------------------------------------------------------------------

TEST(BaseNodeCopy, CloneCopiesValuesChildrenAndStatesButNotGhosts) {
    registerTestKinds();
    auto source = make<ValuesNode>();
    source->setName(id("src"));
    source->setPosition(vector3df(1, 2, 3));
    source->setRotation(vector3df(0, 0, 45));
    source->setScale(vector3df(2, 3, 1));
    source->setBounds(vector3df(7, 8, 0));
    source->setPivotPoint(vector2df(1, 1));
    source->setTintColor(SColor(1, 2, 3, 4));
    source->setVisible(false);
    source->setCanBeHit(false);
    source->setChildrenClipped(true);
    source->count = 9;
    source->caption = L"caption";
    BaseNode* child = new BaseNode(nullptr, source.get(), nullptr);
    child->release();
    child->setName(id("kid"));
    auto ghost = make();
    ghost->setGhost(true);
    source->addChild(ghost.get());
    CountedRef<State> state(new State(id("Idle")));
    source->addState(state.get());
    source->setDefaultState(id("Idle"));
    auto userData = make();
    source->setUserData(userData.get());

    CountedRef<BaseNode> copy(source->clone(nullptr, nullptr));
    auto* values = nodeCast<ValuesNode>(copy.get());
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(copy->getRefCount(), 1);
    EXPECT_EQ(copy->getName(), id("src"));
    EXPECT_EQ(copy->getPosition(), vector3df(1, 2, 3));
    EXPECT_EQ(copy->getRotation(), vector3df(0, 0, 45));
    EXPECT_EQ(copy->getScale(), vector3df(2, 3, 1));
    EXPECT_EQ(copy->getBounds(), vector3df(7, 8, 0));
    EXPECT_EQ(copy->getPivotPoint(), vector2df(1, 1));
    EXPECT_EQ(copy->getTintColor(), SColor(1, 2, 3, 4));
    EXPECT_FALSE(copy->isVisible());
    EXPECT_FALSE(copy->canBeHit());
    EXPECT_TRUE(copy->isChildrenClipped());
    EXPECT_EQ(values->count, 9);
    EXPECT_EQ(values->caption, stringw(L"caption"));
    EXPECT_EQ(copy->getUserData(), nullptr);
    ASSERT_EQ(copy->getChildCount(), 1u);  // the ghost is not copied
    EXPECT_EQ(copy->getChild(0)->getName(), id("kid"));
    EXPECT_NE(copy->getChild(0), child);
    ASSERT_NE(copy->getState(id("Idle")), nullptr);
    EXPECT_NE(copy->getState(id("Idle")), state.get());
    EXPECT_EQ(copy->getState(id("Idle"))->getNode(), copy.get());
    EXPECT_EQ(copy->getDefaultState(), id("Idle"));
    // The default state was entered on the copy.
    EXPECT_EQ(copy->getRunningState(), copy->getState(id("Idle")));
}

TEST(BaseNodeCopy, CloneUnderAParentIsHeldByTheParentOnly) {
    auto source = make();
    auto parent = make();
    auto manager = make();
    BaseNode* copy = source->clone(parent.get(), manager.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getParent(), parent.get());
    EXPECT_EQ(copy->getRefCount(), 1);
    EXPECT_EQ(parent->getChild(0), copy);

    // The content copy has neither parent nor manager, and its caller owns it.
    CountedRef<Content> content(static_cast<Content*>(source.get())->clone());
    ASSERT_NE(nodeCast<BaseNode>(content.get()), nullptr);
    EXPECT_EQ(content->getRefCount(), 1);
    EXPECT_EQ(content->getContentType(), ContentType::SceneNode);
}

TEST(BaseNodeCast, CastsByTypeId) {
    registerTestKinds();
    auto values = make<ValuesNode>();
    BaseNode* asBase = values.get();
    EXPECT_EQ(nodeCast<ValuesNode>(asBase), values.get());
    EXPECT_EQ(nodeCast<BaseNode>(asBase), asBase);
    EXPECT_EQ(nodeCast<TestScene>(asBase), nullptr);
    EXPECT_EQ(nodeCast<ValuesNode>(static_cast<BaseNode*>(nullptr)), nullptr);
    EXPECT_TRUE(values->isOfType(0));
    EXPECT_FALSE(make()->isOfType(1902));
}
