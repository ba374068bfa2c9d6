#pragma once
// The video-driver operations the quad batcher uses. RenderContext implements
// them over a real Irrlicht driver; tests implement them with a recorder, so the
// batching rules can be checked without a display.
#include "engine/visual/Material.h"

#include <irrlicht.h>

namespace engine {

class IBatchTarget {
public:
    virtual ~IBatchTarget() = default;

    // Prepares screen-space drawing; false when the driver cannot (null driver).
    virtual bool enter2DMode() = 0;
    // Hands a material to the driver; its texture is resolved at this moment.
    virtual void setMaterial(const Material& material) = 0;
    // Draws vertices (the 36-byte S3DVertex, vertex type EVT_STANDARD) through
    // 16-bit indices.
    virtual void drawVertexPrimitiveList(const irr::video::S3DVertex* vertices, irr::u32 vertexCount,
                                         const irr::u16* indices, irr::u32 primitiveCount,
                                         irr::scene::E_PRIMITIVE_TYPE primitiveType) = 0;
    // Draws quadCount quads whose four corners follow each other in the
    // vertex array (corner order 0 top-left, 1 top-right, 2 bottom-right,
    // 3 bottom-left). quadIndices is the quad index table (quad k: 4k, 4k+1,
    // 4k+2, 4k, 4k+2, 4k+3) covering at least quadCount quads; by default the
    // quads are drawn as those triangles through drawVertexPrimitiveList.
    virtual void drawQuads(const irr::video::S3DVertex* vertices, irr::u32 quadCount, const irr::u16* quadIndices) {
        drawVertexPrimitiveList(vertices, 4 * quadCount, quadIndices, 2 * quadCount, irr::scene::EPT_TRIANGLES);
    }
    // The most primitives one draw call may hold.
    virtual irr::u32 getMaximalPrimitiveCount() const = 0;
};

}  // namespace engine
