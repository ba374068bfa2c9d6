#pragma once
// Collects consecutive quads (and meshes) that share a material into one vertex
// array and hands each run to the driver in a single draw.
//
// Calling order for one frame: flush, begin, every item's quads in draw order
// (anything that draws through the driver on its own flushes first), end.
#include "engine/core/DrawBatch.h"
#include "engine/visual/BatchTarget.h"
#include "engine/visual/Material.h"
#include "engine/visual/MeshBuffer.h"

#include <irrlicht.h>
#include <memory>

namespace engine {

// One quad ready for drawing, kept by sprites, nine-grid sprites and text nodes.
// Layout (152 bytes on 64-bit builds): the material pointer (8 bytes), then four
// irr::video::S3DVertex of 36 bytes each in corner order 0 top-left, 1 top-right,
// 2 bottom-right, 3 bottom-left. Each vertex holds X, Y, Z (floats), a normal
// (three floats, unused by 2D drawing), the ARGB colour and U, V (floats). The
// node owns the record and its material; the batcher copies both.
struct QuadRecord {
    const Material* material = nullptr;
    irr::video::S3DVertex vertices[4];
};

class QuadBatcher : public IDrawBatch {
public:
    // The vertex array. A run of quads may fill all of it that 16-bit
    // indices reach (16383 quads in one draw); a run of mesh buffers holds
    // fewer than MESH_VERTEX_CAPACITY vertices and INDEX_CAPACITY indices.
    static constexpr irr::u32 VERTEX_CAPACITY = 65536;
    static constexpr irr::u32 MESH_VERTEX_CAPACITY = 4096;
    static constexpr irr::u32 INDEX_CAPACITY = 6144;
    // Quad k uses indices 4k, 4k+1, 4k+2, 4k, 4k+2, 4k+3: the triangles
    // (corner 0, 1, 2) and (corner 0, 2, 3).
    static constexpr irr::u32 QUAD_INDEX_COUNT = VERTEX_CAPACITY / 4 * 6;

    // The target is not counted; it outlives the batcher or detaches it with
    // setTarget(nullptr), after which the batcher draws nothing.
    explicit QuadBatcher(IBatchTarget* target);
    ~QuadBatcher() override;

    // Enters the driver's 2D mode and empties the batch without drawing it.
    virtual void begin();
    // The same as flush.
    virtual void end();
    // Draws the queued run, if any, and empties the batch.
    virtual void flush();
    // Queues one prepared quad; a record without material is ignored. With a
    // flat-shaded material every corner is queued in corner 0's colour, the
    // colour flat shading gives both of the quad's triangles.
    virtual void addQuad(const QuadRecord* record);
    // Queues one quad given as corners p0..p3 with texture coordinates t0..t3,
    // one depth and one colour for all corners. Null arguments are ignored.
    virtual void addQuadCorners(const Material* material, const irr::core::vector2df* p0,
                                const irr::core::vector2df* p1, const irr::core::vector2df* p2,
                                const irr::core::vector2df* p3, const irr::core::vector2df* t0,
                                const irr::core::vector2df* t1, const irr::core::vector2df* t2,
                                const irr::core::vector2df* t3, irr::f32 z, irr::video::SColor color);
    // Queues a mesh's vertices and indices. A null buffer, or one with as many
    // primitives as the driver allows in a draw or more, is ignored. A buffer
    // too big for the batch arrays, or one whose primitive type cannot be
    // joined with another (strips, fans, loops, polygons), is drawn on its own
    // right away, after what was queued before it.
    virtual void addMeshBuffer(const MeshBuffer* buffer);

    void setTarget(IBatchTarget* target) { target_ = target; }
    IBatchTarget* getTarget() const { return target_; }

    const Material& getCurrentMaterial() const { return material_; }
    irr::scene::E_PRIMITIVE_TYPE getPrimitiveType() const { return primitiveType_; }
    bool isQuadMode() const { return quadMode_; }
    irr::u32 getVertexCount() const { return vertexCount_; }
    irr::u32 getIndexCount() const { return indexCount_; }
    irr::u32 getPrimitiveCount() const { return primitiveCount_; }
    const irr::u16* getQuadIndexTable() const { return quadIndices_.get(); }

private:
    // Starts a new quad run when the material differs or a mesh run is queued,
    // and makes room for four more vertices.
    void prepareQuad(const Material& material);
    void clearCounts();

    IBatchTarget* target_;
    Material material_;
    irr::scene::E_PRIMITIVE_TYPE primitiveType_ = irr::scene::EPT_TRIANGLES;
    bool quadMode_ = true;
    irr::u32 primitiveCount_ = 0;
    std::unique_ptr<irr::video::S3DVertex[]> vertices_;
    irr::u32 vertexCount_ = 0;
    std::unique_ptr<irr::u16[]> indices_;
    irr::u32 indexCount_ = 0;
    std::unique_ptr<irr::u16[]> quadIndices_;
};

// Drawing nodes are handed the video driver; the quad batcher that belongs to
// it is found here. The driver's render context registers its batcher (one
// reference is held) and clears the entry when it goes away. Without an entry, drawing nodes draw nothing.
void setDriverQuadBatcher(irr::video::IVideoDriver* driver, QuadBatcher* batcher);
QuadBatcher* getDriverQuadBatcher(irr::video::IVideoDriver* driver);

}  // namespace engine
