#include "engine/visual/QuadBatcher.h"
#include <utility>
#include <vector>

#include "engine/core/Logger.h"

#include <algorithm>

namespace engine {

namespace {
using BatcherEntries = std::vector<std::pair<irr::video::IVideoDriver*, CountedRef<QuadBatcher>>>;

BatcherEntries& batcherEntries() {
    // Never destroyed: a device released by an exit handler still withdraws
    // its batcher after the other statics are gone.
    static BatcherEntries* entries = new BatcherEntries;
    return *entries;
}
}  // namespace

void setDriverQuadBatcher(irr::video::IVideoDriver* driver, QuadBatcher* batcher) {
    if (!driver) return;
    BatcherEntries& entries = batcherEntries();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->first != driver) continue;
        if (batcher) {
            it->second = CountedRef<QuadBatcher>::share(batcher);
        } else {
            entries.erase(it);
        }
        return;
    }
    if (batcher) entries.emplace_back(driver, CountedRef<QuadBatcher>::share(batcher));
}

QuadBatcher* getDriverQuadBatcher(irr::video::IVideoDriver* driver) {
    if (!driver) return nullptr;
    for (const auto& entry : batcherEntries())
        if (entry.first == driver) return entry.second.get();
    return nullptr;
}


static_assert(sizeof(irr::video::S3DVertex) == 36, "quads are copied as 36-byte vertices");
static_assert(sizeof(QuadRecord) == sizeof(void*) + 4 * 36, "a quad record is its material pointer and four vertices");
static_assert(QuadBatcher::QUAD_INDEX_COUNT / 6 * 4 == QuadBatcher::VERTEX_CAPACITY,
              "the quad index table addresses the whole vertex array");
static_assert(QuadBatcher::VERTEX_CAPACITY <= 65536, "quads are drawn through 16-bit indices");
static_assert(QuadBatcher::MESH_VERTEX_CAPACITY <= QuadBatcher::VERTEX_CAPACITY, "mesh runs use the vertex array");

namespace {

// Primitive types whose index lists can be concatenated and still describe the
// same primitives; strips, fans, loops and polygons would be joined into one.
bool isListType(irr::scene::E_PRIMITIVE_TYPE type) {
    switch (type) {
    case irr::scene::EPT_POINTS:
    case irr::scene::EPT_LINES:
    case irr::scene::EPT_TRIANGLES:
    case irr::scene::EPT_QUADS:
    case irr::scene::EPT_POINT_SPRITES:
        return true;
    default:
        return false;
    }
}

// How many indices a draw of count primitives of the type reads.
irr::u64 indicesNeeded(irr::scene::E_PRIMITIVE_TYPE type, irr::u32 count) {
    const irr::u64 n = count;
    switch (type) {
    case irr::scene::EPT_LINE_STRIP: return n + 1;
    case irr::scene::EPT_LINES: return 2 * n;
    case irr::scene::EPT_TRIANGLE_STRIP:
    case irr::scene::EPT_TRIANGLE_FAN: return n + 2;
    case irr::scene::EPT_TRIANGLES: return 3 * n;
    case irr::scene::EPT_QUAD_STRIP: return 2 * n + 2;
    case irr::scene::EPT_QUADS: return 4 * n;
    default: return n;  // points, line loops, polygons, point sprites
    }
}

// A buffer whose indices do not cover its primitives, or address vertices it
// does not have, would make the driver read past the arrays.
bool isDrawable(const MeshBuffer& buffer) {
    const irr::u32 vertexCount = buffer.vertices.size();
    if (indicesNeeded(buffer.primitiveType, buffer.primitiveCount) > buffer.indices.size()) return false;
    for (irr::u32 i = 0; i < buffer.indices.size(); ++i)
        if (buffer.indices[i] >= vertexCount) return false;
    return true;
}

}  // namespace

QuadBatcher::QuadBatcher(IBatchTarget* target)
    : target_(target),
      vertices_(new irr::video::S3DVertex[VERTEX_CAPACITY]),
      indices_(new irr::u16[INDEX_CAPACITY]),
      quadIndices_(new irr::u16[QUAD_INDEX_COUNT]) {
    for (irr::u32 k = 0; k < QUAD_INDEX_COUNT / 6; ++k) {
        const irr::u16 base = static_cast<irr::u16>(4 * k);
        irr::u16* entry = &quadIndices_[6 * k];
        entry[0] = base;
        entry[1] = static_cast<irr::u16>(base + 1);
        entry[2] = static_cast<irr::u16>(base + 2);
        entry[3] = base;
        entry[4] = static_cast<irr::u16>(base + 2);
        entry[5] = static_cast<irr::u16>(base + 3);
    }
}

QuadBatcher::~QuadBatcher() = default;

void QuadBatcher::clearCounts() {
    vertexCount_ = 0;
    indexCount_ = 0;
    primitiveCount_ = 0;
}

void QuadBatcher::begin() {
    if (target_) target_->enter2DMode();
    clearCounts();
}

void QuadBatcher::end() { flush(); }

void QuadBatcher::flush() {
    if (primitiveCount_ == 0) return;
    if (target_) {
        target_->setMaterial(material_);
        if (quadMode_) {
            target_->drawQuads(vertices_.get(), vertexCount_ / 4, quadIndices_.get());
        } else {
            target_->drawVertexPrimitiveList(vertices_.get(), vertexCount_, indices_.get(), primitiveCount_,
                                             primitiveType_);
        }
    }
    clearCounts();
}

void QuadBatcher::prepareQuad(const Material& material) {
    if (!quadMode_ || material != material_) {
        flush();
        material_ = material;
        quadMode_ = true;
        primitiveType_ = irr::scene::EPT_TRIANGLES;
    }
    if (vertexCount_ + 4 >= VERTEX_CAPACITY) flush();
}

void QuadBatcher::addQuad(const QuadRecord* record) {
    if (!record || !record->material) return;
    prepareQuad(*record->material);
    irr::video::S3DVertex* corners = &vertices_[vertexCount_];
    std::copy(record->vertices, record->vertices + 4, corners);
    // Flat shading shows corner 0's colour over the whole quad. The OpenGL
    // target draws quad runs smoothly shaded (the rasteriser's fast path for
    // rectangles needs that), which looks the same once every corner has
    // that colour.
    if (!material_.flags().GouraudShading) corners[1].Color = corners[2].Color = corners[3].Color = corners[0].Color;
    vertexCount_ += 4;
    indexCount_ += 6;
    primitiveCount_ += 2;
}

void QuadBatcher::addQuadCorners(const Material* material, const irr::core::vector2df* p0,
                                 const irr::core::vector2df* p1, const irr::core::vector2df* p2,
                                 const irr::core::vector2df* p3, const irr::core::vector2df* t0,
                                 const irr::core::vector2df* t1, const irr::core::vector2df* t2,
                                 const irr::core::vector2df* t3, irr::f32 z, irr::video::SColor color) {
    if (!material || !p0 || !p1 || !p2 || !p3 || !t0 || !t1 || !t2 || !t3) return;
    prepareQuad(*material);
    const irr::core::vector2df* positions[4] = {p0, p1, p2, p3};
    const irr::core::vector2df* coords[4] = {t0, t1, t2, t3};
    for (int i = 0; i < 4; ++i) {
        irr::video::S3DVertex& v = vertices_[vertexCount_ + i];
        v.Pos.set(positions[i]->X, positions[i]->Y, z);
        v.Normal.set(0.f, 0.f, 0.f);
        v.Color = color;
        v.TCoords = *coords[i];
    }
    vertexCount_ += 4;
    indexCount_ += 6;
    primitiveCount_ += 2;
}

void QuadBatcher::addMeshBuffer(const MeshBuffer* buffer) {
    if (!buffer || !target_) return;
    if (buffer->primitiveCount >= target_->getMaximalPrimitiveCount()) return;
    if (buffer->primitiveCount == 0) return;
    if (!isDrawable(*buffer)) {
        logError("QuadBatcher: mesh buffer refused, its indices do not match its vertices and primitive count");
        return;
    }
    const irr::u32 bufferVertices = buffer->vertices.size();
    const irr::u32 bufferIndices = buffer->indices.size();

    // A buffer larger than the batch arrays cannot be copied into them, and a
    // strip or fan cannot share a draw with another: draw these on their own,
    // after everything queued before them.
    if (bufferVertices > MESH_VERTEX_CAPACITY || bufferIndices > INDEX_CAPACITY ||
        !isListType(buffer->primitiveType)) {
        flush();
        target_->setMaterial(buffer->material);
        target_->drawVertexPrimitiveList(buffer->vertices.const_pointer(), bufferVertices,
                                         buffer->indices.const_pointer(), buffer->primitiveCount,
                                         buffer->primitiveType);
        return;
    }

    if (quadMode_ || buffer->primitiveType != primitiveType_ || buffer->material != material_) {
        flush();
        material_ = buffer->material;
        quadMode_ = false;
        primitiveType_ = buffer->primitiveType;
    }
    if (vertexCount_ + bufferVertices >= MESH_VERTEX_CAPACITY || indexCount_ + bufferIndices >= INDEX_CAPACITY)
        flush();

    const irr::video::S3DVertex* vertices = buffer->vertices.const_pointer();
    std::copy(vertices, vertices + bufferVertices, &vertices_[vertexCount_]);
    // Indices address the appended vertices: shift them by what the batch held.
    const irr::u16 offset = static_cast<irr::u16>(vertexCount_);
    const irr::u16* source = buffer->indices.const_pointer();
    for (irr::u32 i = 0; i < bufferIndices; ++i)
        indices_[indexCount_ + i] = static_cast<irr::u16>(source[i] + offset);
    vertexCount_ += bufferVertices;
    indexCount_ += bufferIndices;
    primitiveCount_ += buffer->primitiveCount;
}

}  // namespace engine
