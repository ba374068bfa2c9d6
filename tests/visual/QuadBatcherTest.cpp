#include "engine/core/RefCounted.h"
#include "engine/visual/BatchTarget.h"
#include "engine/visual/QuadBatcher.h"
#include "support/LogCapture.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>
#include <array>
#include <string>
#include <vector>

using namespace engine;
using irr::u16;
using irr::u32;
using irr::core::vector2df;
using irr::core::vector3df;
using irr::video::S3DVertex;
using irr::video::SColor;
using visual_test::TestTextureSource;

namespace {

u32 indicesRead(irr::scene::E_PRIMITIVE_TYPE type, u32 count) {
    switch (type) {
    case irr::scene::EPT_LINES: return 2 * count;
    case irr::scene::EPT_TRIANGLES: return 3 * count;
    case irr::scene::EPT_TRIANGLE_STRIP:
    case irr::scene::EPT_TRIANGLE_FAN: return count + 2;
    default: return count;
    }
}

// One draw as the driver saw it: the material set before it and copies of the
// vertices and of the indices the draw reads.
struct DrawCall {
    Material material;
    std::vector<S3DVertex> vertices;
    std::vector<u16> indices;
    u32 primitiveCount = 0;
    irr::scene::E_PRIMITIVE_TYPE type = irr::scene::EPT_TRIANGLES;
    const S3DVertex* vertexPointer = nullptr;

    // The triangles drawn, as corner positions (triangle lists only).
    std::vector<std::array<vector3df, 3>> triangles() const {
        std::vector<std::array<vector3df, 3>> out;
        for (u32 p = 0; p < primitiveCount; ++p)
            out.push_back({vertices.at(indices.at(3 * p)).Pos, vertices.at(indices.at(3 * p + 1)).Pos,
                           vertices.at(indices.at(3 * p + 2)).Pos});
        return out;
    }
};

// Records what the batcher asks of the driver.
struct RecordingTarget : IBatchTarget {
    bool enter2DMode() override {
        journal.push_back("enter2D");
        return true;
    }
    void setMaterial(const Material& material) override {
        journal.push_back("setMaterial");
        current = material;
    }
    void drawVertexPrimitiveList(const S3DVertex* vertices, u32 vertexCount, const u16* indices, u32 primitiveCount,
                                 irr::scene::E_PRIMITIVE_TYPE type) override {
        journal.push_back("draw");
        DrawCall call;
        call.material = current;
        call.vertices.assign(vertices, vertices + vertexCount);
        const u32 indexCount = indicesRead(type, primitiveCount);
        call.indices.assign(indices, indices + indexCount);
        call.primitiveCount = primitiveCount;
        call.type = type;
        call.vertexPointer = vertices;
        for (u16 index : call.indices) EXPECT_LT(index, vertexCount) << "index past the vertices handed over";
        draws.push_back(call);
    }
    u32 getMaximalPrimitiveCount() const override { return maxPrimitives; }

    std::vector<std::string> journal;
    std::vector<DrawCall> draws;
    Material current;
    u32 maxPrimitives = 65535;
};

QuadRecord makeQuad(const Material* material, float x, float y, float size = 10.f, SColor color = SColor(0xffffffff)) {
    QuadRecord q;
    q.material = material;
    const vector2df corners[4] = {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
    const vector2df coords[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        q.vertices[i] = S3DVertex(corners[i].X, corners[i].Y, 1.f, 0, 0, 0, color, coords[i].X, coords[i].Y);
    return q;
}

// A triangle-list mesh of `triangles` separate triangles starting at x.
MeshBuffer makeTriangleMesh(const Material& material, u32 triangles, float x = 0.f) {
    MeshBuffer mesh;
    mesh.material = material;
    mesh.primitiveType = irr::scene::EPT_TRIANGLES;
    mesh.primitiveCount = triangles;
    for (u32 t = 0; t < triangles; ++t) {
        const float left = x + 10.f * t;
        mesh.vertices.push_back(S3DVertex(left, 0, 0, 0, 0, 0, SColor(0xffffffff), 0, 0));
        mesh.vertices.push_back(S3DVertex(left + 5, 0, 0, 0, 0, 0, SColor(0xffffffff), 1, 0));
        mesh.vertices.push_back(S3DVertex(left, 5, 0, 0, 0, 0, SColor(0xffffffff), 0, 1));
        // Reverse order inside each triangle so that index order matters.
        mesh.indices.push_back(static_cast<u16>(3 * t + 2));
        mesh.indices.push_back(static_cast<u16>(3 * t + 1));
        mesh.indices.push_back(static_cast<u16>(3 * t));
    }
    return mesh;
}

// The triangles a mesh describes on its own.
std::vector<std::array<vector3df, 3>> trianglesOf(const MeshBuffer& mesh) {
    std::vector<std::array<vector3df, 3>> out;
    for (u32 p = 0; p < mesh.primitiveCount; ++p)
        out.push_back({mesh.vertices[mesh.indices[3 * p]].Pos, mesh.vertices[mesh.indices[3 * p + 1]].Pos,
                       mesh.vertices[mesh.indices[3 * p + 2]].Pos});
    return out;
}

struct QuadBatcherTest : ::testing::Test {
    RecordingTarget target;
    CountedRef<QuadBatcher> batcher{new QuadBatcher(&target)};
    CountedRef<TestTextureSource> textureA{new TestTextureSource};
    CountedRef<TestTextureSource> textureB{new TestTextureSource};
    Material materialA;

    QuadBatcherTest() { materialA.setTexture(textureA.get()); }
};

TEST_F(QuadBatcherTest, FlushOrEndWithNothingQueuedLeavesTheDriverAlone) {
    batcher->flush();
    batcher->end();
    EXPECT_TRUE(target.journal.empty());
    batcher->begin();
    batcher->end();
    EXPECT_EQ(target.journal, std::vector<std::string>{"enter2D"});
}

TEST_F(QuadBatcherTest, QuadIsDrawnAsTwoTrianglesOverItsCorners) {
    const QuadRecord quad = makeQuad(&materialA, 3, 4, 10);
    batcher->begin();
    batcher->addQuad(&quad);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 1u);
    const DrawCall& draw = target.draws[0];
    EXPECT_EQ(target.journal, (std::vector<std::string>{"enter2D", "setMaterial", "draw"}));
    EXPECT_EQ(draw.type, irr::scene::EPT_TRIANGLES);
    EXPECT_EQ(draw.primitiveCount, 2u);
    ASSERT_EQ(draw.vertices.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(draw.vertices[i], quad.vertices[i]) << "corner " << i;
    const auto tris = draw.triangles();
    const vector3df c0 = quad.vertices[0].Pos, c1 = quad.vertices[1].Pos, c2 = quad.vertices[2].Pos,
                    c3 = quad.vertices[3].Pos;
    EXPECT_EQ(tris[0], (std::array<vector3df, 3>{c0, c1, c2}));
    EXPECT_EQ(tris[1], (std::array<vector3df, 3>{c0, c2, c3}));
    EXPECT_EQ(draw.material, materialA);
}

// A run of quads fills the vertex array up to the last whole quad below its
// capacity (16383 quads, all addressed by 16-bit indices); the next quad
// flushes it and starts the next batch at vertex 0.
TEST_F(QuadBatcherTest, AFullBatchOfQuadsIsDrawnAndTheNextQuadStartsTheNext) {
    const u32 fitting = QuadBatcher::VERTEX_CAPACITY / 4 - 1;
    ASSERT_EQ(fitting, 16383u);
    std::vector<QuadRecord> quads;
    for (u32 i = 0; i <= fitting; ++i) quads.push_back(makeQuad(&materialA, static_cast<float>(i), 0));
    batcher->begin();
    for (u32 i = 0; i < fitting; ++i) batcher->addQuad(&quads[i]);
    EXPECT_TRUE(target.draws.empty()) << fitting << " quads still fit";
    batcher->addQuad(&quads[fitting]);
    ASSERT_EQ(target.draws.size(), 1u) << "the next quad flushes the full batch first";
    batcher->end();
    ASSERT_EQ(target.draws.size(), 2u);

    const DrawCall& full = target.draws[0];
    EXPECT_EQ(full.vertices.size(), 4 * fitting);
    EXPECT_EQ(full.primitiveCount, 2 * fitting);
    // The last quad of the full batch still gets its own corners.
    const auto tris = full.triangles();
    EXPECT_EQ(tris[2 * fitting - 2][0], quads[fitting - 1].vertices[0].Pos);
    EXPECT_EQ(tris[2 * fitting - 2][1], quads[fitting - 1].vertices[1].Pos);
    EXPECT_EQ(tris[2 * fitting - 1][2], quads[fitting - 1].vertices[3].Pos);

    const DrawCall& rest = target.draws[1];
    EXPECT_EQ(rest.vertices.size(), 4u);
    EXPECT_EQ(rest.primitiveCount, 2u);
    EXPECT_EQ(rest.vertices[0], quads[fitting].vertices[0]);
}

// Quads with materials that differ in any of these ways go to separate draws;
// an equal copy of the material shares the draw.
TEST_F(QuadBatcherTest, EveryMaterialDifferenceSplitsTheBatch) {
    struct Case {
        const char* what;
        void (*change)(Material& m, TestTextureSource* other);
        size_t draws;
    };
    const Case cases[] = {
        {"equal copy", [](Material&, TestTextureSource*) {}, 1},
        {"other texture source", [](Material& m, TestTextureSource* other) { m.setTexture(other); }, 2},
        {"additive type", [](Material& m, TestTextureSource*) { m.setMaterialType(EMT_TRANS_ALPHACH_VERTEXALPHA_ADD); }, 2},
        {"no texture layer", [](Material& m, TestTextureSource*) { m.setTextureLayerCount(0); }, 2},
        {"bilinear filter", [](Material& m, TestTextureSource*) { m.flags().setFlag(irr::video::EMF_BILINEAR_FILTER, true); }, 2},
        {"texture wrap", [](Material& m, TestTextureSource*) { m.flags().TextureLayer[0].TextureWrapU = irr::video::ETC_CLAMP_TO_BORDER; }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target.draws.clear();
        Material other = materialA;
        c.change(other, textureB.get());
        const QuadRecord first = makeQuad(&materialA, 0, 0);
        const QuadRecord second = makeQuad(&other, 20, 0);
        batcher->begin();
        batcher->addQuad(&first);
        batcher->addQuad(&second);
        batcher->end();
        ASSERT_EQ(target.draws.size(), c.draws);
        EXPECT_EQ(target.draws.front().material, materialA);
        EXPECT_EQ(target.draws.back().material, other);
    }
}

TEST_F(QuadBatcherTest, SameDriverTextureThroughTwoSourcesIsStillTwoMaterials) {
    visual_test::StubTexture texture;
    textureA->texture = &texture;
    textureB->texture = &texture;
    Material materialB = materialA;
    materialB.setTexture(textureB.get());
    const QuadRecord first = makeQuad(&materialA, 0, 0);
    const QuadRecord second = makeQuad(&materialB, 20, 0);
    batcher->begin();
    batcher->addQuad(&first);
    batcher->addQuad(&second);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 2u);
    EXPECT_EQ(target.draws[0].material.getTexture(), textureA.get());
    EXPECT_EQ(target.draws[1].material.getTexture(), textureB.get());
}

TEST_F(QuadBatcherTest, BeginDiscardsQueuedQuads) {
    const QuadRecord dropped = makeQuad(&materialA, 0, 0);
    const QuadRecord kept = makeQuad(&materialA, 50, 50);
    batcher->begin();
    batcher->addQuad(&dropped);
    batcher->begin();
    batcher->addQuad(&kept);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 1u);
    ASSERT_EQ(target.draws[0].vertices.size(), 4u);
    EXPECT_EQ(target.draws[0].vertices[0], kept.vertices[0]);
}

TEST_F(QuadBatcherTest, SwitchingBetweenQuadsAndMeshesAlwaysFlushes) {
    const MeshBuffer mesh = makeTriangleMesh(materialA, 2);
    const QuadRecord quad = makeQuad(&materialA, 0, 0);
    batcher->begin();
    batcher->addQuad(&quad);
    batcher->addMeshBuffer(&mesh);
    batcher->addQuad(&quad);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 3u) << "equal materials, but each mode switch starts a new draw";
    EXPECT_EQ(target.draws[0].primitiveCount, 2u);
    EXPECT_EQ(target.draws[1].triangles(), trianglesOf(mesh));
    EXPECT_EQ(target.draws[2].primitiveCount, 2u);
}

TEST_F(QuadBatcherTest, EqualMeshesAppendedShareOneDrawAndKeepTheirTriangles) {
    const MeshBuffer first = makeTriangleMesh(materialA, 2, 0);
    const MeshBuffer second = makeTriangleMesh(materialA, 3, 100);
    batcher->begin();
    batcher->addMeshBuffer(&first);
    batcher->addMeshBuffer(&second);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 1u);
    EXPECT_EQ(target.draws[0].primitiveCount, 5u);
    auto expected = trianglesOf(first);
    for (const auto& t : trianglesOf(second)) expected.push_back(t);
    EXPECT_EQ(target.draws[0].triangles(), expected);
}

TEST_F(QuadBatcherTest, MeshesOfAnotherPrimitiveTypeOrMaterialAreDrawnApart) {
    MeshBuffer lines;
    lines.material = materialA;
    lines.primitiveType = irr::scene::EPT_LINES;
    lines.primitiveCount = 1;
    lines.vertices.push_back(S3DVertex(0, 0, 0, 0, 0, 0, SColor(0xffffffff), 0, 0));
    lines.vertices.push_back(S3DVertex(5, 5, 0, 0, 0, 0, SColor(0xffffffff), 0, 0));
    lines.indices.push_back(0);
    lines.indices.push_back(1);
    const MeshBuffer triangles = makeTriangleMesh(materialA, 1);
    Material additive = materialA;
    additive.setMaterialType(EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    const MeshBuffer added = makeTriangleMesh(additive, 1);
    batcher->begin();
    batcher->addMeshBuffer(&triangles);
    batcher->addMeshBuffer(&lines);
    batcher->addMeshBuffer(&added);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 3u);
    EXPECT_EQ(target.draws[0].type, irr::scene::EPT_TRIANGLES);
    EXPECT_EQ(target.draws[1].type, irr::scene::EPT_LINES);
    EXPECT_EQ(target.draws[2].material, additive);
}

TEST_F(QuadBatcherTest, MeshWithTheDriverLimitOfPrimitivesOrMoreIsDropped) {
    target.maxPrimitives = 4;
    const MeshBuffer tooMany = makeTriangleMesh(materialA, 4);
    const MeshBuffer fits = makeTriangleMesh(materialA, 3);
    batcher->begin();
    batcher->addMeshBuffer(&tooMany);
    batcher->end();
    EXPECT_TRUE(target.draws.empty());
    batcher->addMeshBuffer(&fits);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 1u);
    EXPECT_EQ(target.draws[0].primitiveCount, 3u);
}

// A buffer that would reach either array's capacity starts the next draw.
TEST_F(QuadBatcherTest, MeshesThatWouldFillTheBatchArraysFlushFirst) {
    struct Case {
        const char* what;
        MeshBuffer mesh;
        u32 fitting;
    };
    // 340 separate triangles: 1020 vertices and indices; four stay below the 4096
    // vertices of a mesh run.
    Case cases[2] = {{"vertices", makeTriangleMesh(materialA, 340), 4},
                     {"indices", makeTriangleMesh(materialA, 1), 6}};
    // One triangle drawn 340 times: 3 vertices, 1020 indices; six stay below 6144 indices.
    MeshBuffer& repeated = cases[1].mesh;
    repeated.primitiveCount = 340;
    for (u32 i = 3; i < 1020; ++i) repeated.indices.push_back(repeated.indices[i % 3]);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target.draws.clear();
        batcher->begin();
        for (u32 i = 0; i <= c.fitting; ++i) batcher->addMeshBuffer(&c.mesh);
        batcher->end();
        ASSERT_EQ(target.draws.size(), 2u);
        EXPECT_EQ(target.draws[0].primitiveCount, c.fitting * 340);
        EXPECT_EQ(target.draws[0].vertices.size(), c.fitting * c.mesh.vertices.size());
        EXPECT_EQ(target.draws[1].primitiveCount, 340u);
        EXPECT_EQ(target.draws[1].triangles(), trianglesOf(c.mesh)) << "the new batch starts at vertex 0";
    }
}

// Buffers bigger than the batch arrays are drawn straight from their own
// arrays, after what was queued before them and before what follows.
TEST_F(QuadBatcherTest, MeshTooBigForTheBatchArraysIsDrawnOnItsOwn) {
    struct Case {
        const char* what;
        MeshBuffer mesh;
    };
    Case cases[2] = {{"too many vertices", makeTriangleMesh(materialA, 1400)},  // 4200 vertices
                     {"too many indices", MeshBuffer()}};
    // 2100 triangles over only 3 vertices: 6300 indices.
    MeshBuffer& manyIndices = cases[1].mesh;
    manyIndices = makeTriangleMesh(materialA, 1);
    manyIndices.primitiveCount = 2100;
    for (u32 i = 3; i < 6300; ++i) manyIndices.indices.push_back(static_cast<u16>(i % 3));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target.draws.clear();
        const QuadRecord before = makeQuad(&materialA, 0, 0);
        const QuadRecord after = makeQuad(&materialA, 30, 0);
        batcher->begin();
        batcher->addQuad(&before);
        batcher->addMeshBuffer(&c.mesh);
        batcher->addQuad(&after);
        batcher->end();
        ASSERT_EQ(target.draws.size(), 3u);
        EXPECT_EQ(target.draws[0].vertices[0], before.vertices[0]);
        const DrawCall& big = target.draws[1];
        EXPECT_EQ(big.vertexPointer, c.mesh.vertices.const_pointer());
        EXPECT_EQ(big.vertices.size(), c.mesh.vertices.size());
        EXPECT_EQ(big.primitiveCount, c.mesh.primitiveCount);
        EXPECT_EQ(big.material, c.mesh.material);
        EXPECT_EQ(target.draws[2].vertices[0], after.vertices[0]);
    }
}

TEST_F(QuadBatcherTest, StripsAndFansAreNeverJoined) {
    MeshBuffer strip;
    strip.material = materialA;
    strip.primitiveType = irr::scene::EPT_TRIANGLE_STRIP;
    strip.primitiveCount = 2;
    for (u16 i = 0; i < 4; ++i) {
        strip.vertices.push_back(S3DVertex(i, i % 2, 0, 0, 0, 0, SColor(0xffffffff), 0, 0));
        strip.indices.push_back(i);
    }
    batcher->begin();
    batcher->addMeshBuffer(&strip);
    batcher->addMeshBuffer(&strip);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 2u) << "joined strips would draw bridging triangles";
    for (const DrawCall& d : target.draws) {
        EXPECT_EQ(d.type, irr::scene::EPT_TRIANGLE_STRIP);
        EXPECT_EQ(d.indices, (std::vector<u16>{0, 1, 2, 3}));
    }
}

TEST_F(QuadBatcherTest, MeshWhoseIndicesDoNotMatchIsRefusedWithALogLine) {
    MeshBuffer shortIndices = makeTriangleMesh(materialA, 2);
    shortIndices.primitiveCount = 3;
    MeshBuffer badIndex = makeTriangleMesh(materialA, 2);
    badIndex.indices[4] = 6;
    for (const MeshBuffer* mesh : {&shortIndices, &badIndex}) {
        testing_support::LogCapture log;
        batcher->begin();
        batcher->addMeshBuffer(mesh);
        batcher->end();
        EXPECT_TRUE(target.draws.empty());
        EXPECT_TRUE(log.contains("mesh buffer refused"));
    }
}

TEST_F(QuadBatcherTest, NullInputIsIgnored) {
    const QuadRecord noMaterial = makeQuad(nullptr, 0, 0);
    const vector2df p(0, 0);
    batcher->begin();
    batcher->addQuad(nullptr);
    batcher->addQuad(&noMaterial);
    batcher->addMeshBuffer(nullptr);
    batcher->addQuadCorners(nullptr, &p, &p, &p, &p, &p, &p, &p, &p, 0.f, SColor(0xffffffff));
    batcher->addQuadCorners(&materialA, &p, nullptr, &p, &p, &p, &p, &p, &p, 0.f, SColor(0xffffffff));
    batcher->end();
    EXPECT_TRUE(target.draws.empty());
}

TEST_F(QuadBatcherTest, AddQuadCornersBuildsOneVertexPerCorner) {
    const vector2df p[4] = {{1, 2}, {11, 2}, {11, 12}, {1, 12}};
    const vector2df t[4] = {{0.25f, 0.5f}, {0.75f, 0.5f}, {0.75f, 1}, {0.25f, 1}};
    const SColor colour(128, 10, 20, 30);
    const QuadRecord record = makeQuad(&materialA, 40, 40);
    batcher->begin();
    batcher->addQuad(&record);
    batcher->addQuadCorners(&materialA, &p[0], &p[1], &p[2], &p[3], &t[0], &t[1], &t[2], &t[3], 7.5f, colour);
    batcher->end();
    ASSERT_EQ(target.draws.size(), 1u) << "corner quads batch with record quads of the same material";
    ASSERT_EQ(target.draws[0].vertices.size(), 8u);
    for (int i = 0; i < 4; ++i) {
        const S3DVertex& v = target.draws[0].vertices[4 + i];
        EXPECT_EQ(v.Pos, vector3df(p[i].X, p[i].Y, 7.5f)) << "corner " << i;
        EXPECT_EQ(v.TCoords, t[i]) << "corner " << i;
        EXPECT_EQ(v.Color, colour) << "corner " << i;
    }
    EXPECT_EQ(target.draws[0].primitiveCount, 4u);
}

// Flat shading gives both triangles of a quad corner 0's colour; the batcher
// queues a flat-shaded quad with that colour at every corner (so that a target
// may draw it smoothly shaded and show the same), and leaves the corners of a
// smoothly shaded quad as they are.
TEST_F(QuadBatcherTest, FlatShadedQuadsHaveCornerZerosColourAtEveryCorner) {
    const SColor corners[4] = {SColor(255, 200, 0, 0), SColor(255, 0, 200, 0), SColor(128, 0, 0, 200),
                               SColor(0, 9, 9, 9)};
    struct Case {
        bool gouraud;
        SColor expected[4];
    };
    const Case cases[] = {
        {false, {corners[0], corners[0], corners[0], corners[0]}},
        {true, {corners[0], corners[1], corners[2], corners[3]}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gouraud ? "Gouraud shading" : "flat shading");
        Material material = materialA;
        material.flags().GouraudShading = c.gouraud;
        QuadRecord quad = makeQuad(&material, 0, 0);
        for (int i = 0; i < 4; ++i) quad.vertices[i].Color = corners[i];
        target.draws.clear();
        batcher->begin();
        batcher->addQuad(&quad);
        batcher->end();
        ASSERT_EQ(target.draws.size(), 1u);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(target.draws[0].vertices[i].Color, c.expected[i]) << "corner " << i;
        EXPECT_EQ(quad.vertices[3].Color, corners[3]) << "the node's record is left as it was";
    }
}

TEST_F(QuadBatcherTest, DetachedBatcherDrawsNothing) {
    const QuadRecord quad = makeQuad(&materialA, 0, 0);
    const MeshBuffer mesh = makeTriangleMesh(materialA, 1);
    batcher->setTarget(nullptr);
    batcher->begin();
    batcher->addQuad(&quad);
    batcher->addMeshBuffer(&mesh);
    batcher->end();
    EXPECT_TRUE(target.journal.empty());
}

}  // namespace
