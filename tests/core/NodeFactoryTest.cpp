#include "NodeTestSupport.h"

#include "engine/audio/SoundNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/TemplateCollectionNode.h"

#include <gtest/gtest.h>

using namespace engine;
using namespace node_tests;

namespace {

BaseNode* makeOther(const CreationContext* context) { return new ValuesNode(context, nullptr, nullptr); }

}  // namespace

TEST(NodeFactory, MakesFreshNodesOfTheBuiltInKinds) {
    NodeFactory& factory = getNodeFactory();
    EXPECT_EQ(&factory, &getNodeFactory());
    EXPECT_EQ(factory.getMask(), 0);
    const struct {
        const wchar_t* kind;
        int32_t typeId;
    } cases[] = {{L"BaseNode", 0}, {L"TemplateCollectionNode", 20}, {L"SoundNode", 18}};
    for (const auto& c : cases) {
        CountedRef<BaseNode> node(factory.createNode(c.kind, nullptr));
        ASSERT_TRUE(node) << c.typeId;
        EXPECT_EQ(node->getTypeId(), c.typeId);
        EXPECT_TRUE(node->isOfType(c.typeId));
        EXPECT_TRUE(node->isOfType(0));
        EXPECT_EQ(stringw(node->getClassName()), stringw(c.kind));
        EXPECT_EQ(stringw(node->getTypeName()), stringw(c.kind));
        EXPECT_EQ(node->getParent(), nullptr);
        EXPECT_EQ(node->getManager(), nullptr);
        EXPECT_EQ(node->getRefCount(), 1);
    }
    EXPECT_EQ(factory.createNode(L"basenode", nullptr), nullptr);
    EXPECT_EQ(factory.createNode(L"", nullptr), nullptr);
}

TEST(NodeFactory, NodesGetTheCreationContext) {
    FileSceneManager manager;
    const CreationContext context(&manager, "scenes/Menu.oscn");
    CountedRef<BaseNode> node(getNodeFactory().createNode(L"SoundNode", &context));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->getContentManager(), &manager);
    EXPECT_EQ(node->getCreationContext().getName(), stringc("scenes/Menu.oscn"));
    EXPECT_FALSE(node->isOfType(20));
    EXPECT_EQ(node->getContentFlags(), ContentFlags::None);
}

TEST(NodeFactory, FirstRegistrationStays) {
    NodeFactory& factory = getNodeFactory();
    EXPECT_FALSE(factory.registerNodeKind(L"SoundNode", &makeOther));
    CountedRef<BaseNode> node(factory.createNode(L"SoundNode", nullptr));
    EXPECT_NE(nodeCast<SoundNode>(node.get()), nullptr);

    EXPECT_TRUE(factory.registerNodeKind(L"FactoryTestKind", &makeOther));
    EXPECT_FALSE(factory.registerNodeKind(L"FactoryTestKind", &createNodeOf<BaseNode>));
    CountedRef<BaseNode> other(factory.createNode(L"FactoryTestKind", nullptr));
    EXPECT_NE(nodeCast<ValuesNode>(other.get()), nullptr);
}

TEST(NodeFactory, AnimatorKindsAreSeparateFromNodeKinds) {
    registerTestKinds();
    NodeFactory& factory = getNodeFactory();
    CountedRef<Base> animator(factory.createAnimator(L"TestWait", nullptr));
    ASSERT_TRUE(animator);
    EXPECT_NE(animatorCast<WaitAnimator>(animator.get()), nullptr);
    EXPECT_EQ(animator->getRefCount(), 1);
    EXPECT_EQ(animator->getPeriod(), Base::kDefaultAnimatorPeriod);
    EXPECT_EQ(animator->getName(), kNoName);
    EXPECT_EQ(animator->getMask(), 0);
    EXPECT_EQ(factory.createAnimator(L"BaseNode", nullptr), nullptr);
    EXPECT_EQ(factory.createNode(L"TestWait", nullptr), nullptr);
    EXPECT_FALSE(factory.registerAnimatorKind(L"TestWait", &createAnimatorOf<WaitAnimator>));
}
