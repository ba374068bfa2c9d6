// Drawing the scenes: the draw list, its order, and the quad batcher. The
// driver is Irrlicht's null driver (no display); the batcher draws into a
// recorder.
#include "SceneManagerTestSupport.h"

#include "engine/io/IrrRef.h"
#include "engine/visual/BatchTarget.h"
#include "engine/visual/QuadBatcher.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace scene_tests;

namespace {

using Strings = std::vector<std::string>;

// Records what the batcher asks of the driver; each draw is written down as
// the markers (the x of the first corner) of its quads.
struct RecordingTarget : IBatchTarget {
    bool enter2DMode() override {
        journal.push_back("enter2D");
        return true;
    }
    void setMaterial(const Material&) override { journal.push_back("setMaterial"); }
    void drawVertexPrimitiveList(const irr::video::S3DVertex* vertices, irr::u32 vertexCount, const irr::u16*,
                                 irr::u32, irr::scene::E_PRIMITIVE_TYPE) override {
        journal.push_back("draw");
        std::vector<int> markers;
        for (irr::u32 i = 0; i < vertexCount; i += 4) markers.push_back(static_cast<int>(vertices[i].Pos.X));
        draws.push_back(markers);
    }
    irr::u32 getMaximalPrimitiveCount() const override { return 65535; }

    Strings journal;
    std::vector<std::vector<int>> draws;
};

// A drawing stand-in: one draw item of its own with its depth and key, and
// one quad whose marker is `marker`, all of one material.
class DrawProbe : public node_tests::OwnItemNode {
    ENGINE_NODE_TYPE(DrawProbe, node_tests::OwnItemNode, 1973)

public:
    DrawProbe(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : OwnItemNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    void render(irr::video::IVideoDriver*, const rectf* clip) override {
        trace().push_back(nameOf(this) + (clip ? " clipped" : ""));
        if (!batcher) return;
        QuadRecord quad;
        quad.material = &material();
        for (auto& vertex : quad.vertices) vertex.Pos.X = static_cast<float>(marker);
        batcher->addQuad(&quad);
    }
    static const Material& material() {
        static const Material shared;
        return shared;
    }

    int marker = 0;
    QuadBatcher* batcher = nullptr;
};

struct SceneDrawTest : SceneManagerFixture {
    static void SetUpTestSuite() {
        irr::SIrrlichtCreationParameters params;
        params.DriverType = irr::video::EDT_NULL;
        params.LoggingLevel = irr::ELL_NONE;
        device().reset(irr::createDeviceEx(params));
    }
    static void TearDownTestSuite() { device().reset(); }
    static IrrRef<irr::IrrlichtDevice>& device() {
        static IrrRef<irr::IrrlichtDevice> held;
        return held;
    }
    irr::video::IVideoDriver* driver() const { return device()->getVideoDriver(); }

    void SetUp() override {
        SceneManagerFixture::SetUp();
        ASSERT_TRUE(device());
        manager->setQuadBatcher(batcher.get());
    }

    // A probe under the parent at depth z.
    DrawProbe* probe(BaseNode* parent, const char* name, float z, uintptr_t key, int marker) {
        auto* node = new DrawProbe(nullptr, parent, nullptr);
        node->setName(id(name));
        node->setPosition(vector3df(0.0f, 0.0f, z));
        node->key = key;
        node->marker = marker;
        node->batcher = batcher.get();
        node->release();
        return node;
    }
    Strings draw() {
        trace().clear();
        manager->drawScenes(driver());
        return trace();
    }

    RecordingTarget target;
    CountedRef<QuadBatcher> batcher{new QuadBatcher(&target)};
    CountedRef<RecordingScene> scene = makeScene("Scene", 0);
};

}  // namespace

TEST_F(SceneDrawTest, ItemsAreDrawnByDepthThenTextureKeyWhenSortingIsOn) {
    // Collected in this order: (10, 5), (0, 9), (10, 2).
    probe(scene.get(), "Far5", 10.0f, 5, 1);
    probe(scene.get(), "Near", 0.0f, 9, 2);
    probe(scene.get(), "Far2", 10.0f, 2, 3);
    ASSERT_TRUE(manager->setScene(scene.get()));

    const struct {
        bool sort;
        Strings order;
        std::vector<int> markers;
    } cases[] = {
        {true, {"Near", "Far2", "Far5"}, {2, 3, 1}},
        {false, {"Far5", "Near", "Far2"}, {1, 2, 3}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.sort ? "sorted" : "in collection order");
        manager->setSortDrawList(test.sort);
        target.journal.clear();
        target.draws.clear();
        EXPECT_EQ(draw(), test.order);
        // One frame: into 2D mode, then the quads of one material in one draw.
        EXPECT_EQ(target.journal, (Strings{"enter2D", "setMaterial", "draw"}));
        ASSERT_EQ(target.draws.size(), 1u);
        EXPECT_EQ(target.draws[0], test.markers);
    }
}

TEST_F(SceneDrawTest, DepthsAddUpAlongTheTreeAndAcrossScenes) {
    manager->setSortDrawList(true);
    CountedRef<RecordingScene> over = makeScene("Over", 0);
    over->setPosition(vector3df(0.0f, 0.0f, -20.0f));
    auto* group = new BaseNode(nullptr, scene.get(), nullptr);
    group->setPosition(vector3df(0.0f, 0.0f, 30.0f));
    group->release();
    probe(group, "Deep", 1.0f, 0, 1);      // 31
    probe(scene.get(), "Flat", 5.0f, 0, 2);  // 5
    probe(over.get(), "Lifted", 0.0f, 0, 3); // -20
    ASSERT_TRUE(manager->setScene(scene.get()));
    ASSERT_TRUE(scene->pushScene(over.get(), true));
    EXPECT_EQ(draw(), (Strings{"Lifted", "Flat", "Deep"}));
}

TEST_F(SceneDrawTest, EqualItemsKeepTheOrderOfIrrlichtsHeapSort) {
    // The order of equal items is whatever the heap sort leaves; drawing
    // relies on it, so the list must come out as that sort leaves it, also
    // when it is already in ascending order (only a list without equal items
    // may be left as it is).
    struct Case {
        const char* what;
        float (*depth)(int i);
        uintptr_t (*key)(int i);
    };
    const Case cases[] = {
        {"mixed", [](int i) { return i == 3 ? 1.0f : 0.0f; }, [](int i) { return static_cast<uintptr_t>(i % 2); }},
        {"ascending with equal items", [](int i) { return static_cast<float>(i / 3); }, [](int) { return uintptr_t{0}; }},
        {"all equal", [](int) { return 0.0f; }, [](int) { return uintptr_t{7}; }},
        {"strictly ascending", [](int i) { return static_cast<float>(i); }, [](int) { return uintptr_t{0}; }},
        {"ascending by key", [](int) { return 2.0f; }, [](int i) { return static_cast<uintptr_t>(i); }},
    };
    std::vector<CountedRef<BaseNode>> nodes;
    for (int i = 0; i < 7; ++i) nodes.emplace_back(new BaseNode(nullptr, nullptr, nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RenderList list;
        for (int i = 0; i < 7; ++i) {
            RenderItem item;
            item.node = nodes[i].get();
            item.depth = c.depth(i);
            item.key = c.key(i);
            list.push_back(item);
        }
        RenderList expected = list;
        irr::core::heapsort(expected.pointer(), static_cast<irr::s32>(expected.size()));
        SceneManager::sortRenderList(list);
        for (uint32_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].node, expected[i].node) << i;
    }
}

TEST_F(SceneDrawTest, AClippedNodeFlushesTheBatchAroundItsChildren) {
    manager->setSortDrawList(true);
    probe(scene.get(), "Before", 0.0f, 0, 1);
    auto* clip = new BaseNode(nullptr, scene.get(), nullptr);
    clip->setPosition(vector3df(0.0f, 0.0f, 5.0f));
    clip->setChildrenClipped(true);
    clip->release();
    probe(clip, "Inside", 0.0f, 0, 2);
    probe(scene.get(), "After", 10.0f, 0, 3);
    ASSERT_TRUE(manager->setScene(scene.get()));

    EXPECT_EQ(draw(), (Strings{"Before", "Inside clipped", "After"}));
    // Without the flushes the three quads of one material would be one draw.
    EXPECT_EQ(target.draws, (std::vector<std::vector<int>>{{1}, {2}, {3}}));
}

TEST_F(SceneDrawTest, HiddenScenesAreNotDrawn) {
    probe(scene.get(), "Below", 0.0f, 0, 1);
    CountedRef<RecordingScene> over = makeScene("Over", 0);
    probe(over.get(), "Above", 0.0f, 0, 2);
    ASSERT_TRUE(manager->setScene(scene.get()));
    ASSERT_TRUE(scene->pushScene(over.get(), false));
    EXPECT_EQ(draw(), (Strings{"Above"}));
}

TEST_F(SceneDrawTest, EachFrameStartsFromAnEmptyList) {
    probe(scene.get(), "Only", 0.0f, 0, 1);
    ASSERT_TRUE(manager->setScene(scene.get()));
    EXPECT_EQ(draw(), (Strings{"Only"}));
    EXPECT_EQ(draw(), (Strings{"Only"}));
}

TEST_F(SceneDrawTest, WithoutADriverNothingIsDrawn) {
    probe(scene.get(), "Only", 0.0f, 0, 1);
    ASSERT_TRUE(manager->setScene(scene.get()));
    trace().clear();
    manager->drawScenes(nullptr);
    EXPECT_TRUE(trace().empty());
    EXPECT_TRUE(target.journal.empty());
}

TEST_F(SceneDrawTest, WithoutABatcherTheItemsAreStillRendered) {
    probe(scene.get(), "Only", 0.0f, 0, 1)->batcher = nullptr;
    ASSERT_TRUE(manager->setScene(scene.get()));
    manager->setQuadBatcher(nullptr);
    EXPECT_EQ(draw(), (Strings{"Only"}));
    EXPECT_TRUE(target.journal.empty());
}

TEST_F(SceneDrawTest, AManagerInAnotherTreeIsOneItemThatDrawsItsScenes) {
    probe(scene.get(), "Only", 0.0f, 0, 1);
    ASSERT_TRUE(manager->setScene(scene.get()));
    manager->setPosition(vector3df(0.0f, 0.0f, -4000.0f));

    RenderList list;
    manager->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].node, manager.get());
    EXPECT_EQ(list[0].depth, -4000.0f);
    EXPECT_EQ(list[0].key, 0u);

    trace().clear();
    list[0].node->render(driver(), nullptr);
    EXPECT_EQ(trace(), (Strings{"Only"}));

    manager->setVisible(false);
    RenderList none;
    manager->collectRenderItems(none);
    EXPECT_TRUE(none.empty());
}
