#pragma once
// The engine's drawing state for one video driver: the quad batcher, the ids of
// the two blended material renderers and the 2D set-up. Stock Irrlicht drivers
// have none of these, so the engine keeps them beside the driver: the device
// makes a RenderContext whenever it creates a driver and drops it when it
// releases that driver.
#include "engine/core/RefCounted.h"
#include "engine/visual/BatchTarget.h"
#include "engine/visual/Material.h"
#include "engine/visual/QuadBatcher.h"

#include <irrlicht.h>

namespace engine {

class RenderContext : public virtual RefCounted, public IBatchTarget {
public:
    // Registers the blended material renderers with the driver (OpenGL ones
    // on the OpenGL driver, renderers that set nothing elsewhere) and makes the
    // quad batcher. The driver is not counted: it outlives the context.
    explicit RenderContext(irr::video::IVideoDriver* driver);
    ~RenderContext() override;

    irr::video::IVideoDriver* getDriver() const { return driver_; }
    QuadBatcher* getQuadBatcher() const { return batcher_.get(); }
    // The ids the driver gave the blended renderers (24 and 25 on OpenGL).
    const MaterialTypeIds& getMaterialTypeIds() const { return typeIds_; }
    irr::video::IMaterialRenderer* getBlendRenderer() const { return blendRenderer_; }
    irr::video::IMaterialRenderer* getAddRenderer() const { return addRenderer_; }

    // IBatchTarget over the driver.
    // Sets the 2D transforms: a projection from the pixels of the current
    // render target to the view (see make2DProjection), identity view and
    // world. The null driver answers false and nothing changes.
    bool enter2DMode() override;
    // Resolves the material (driver type id, layer 0's driver texture as it is
    // now), applies the 2D render flags and sets it on the driver.
    void setMaterial(const Material& material) override;
    void drawVertexPrimitiveList(const irr::video::S3DVertex* vertices, irr::u32 vertexCount,
                                 const irr::u16* indices, irr::u32 primitiveCount,
                                 irr::scene::E_PRIMITIVE_TYPE primitiveType) override;
    // On OpenGL, the first quad of a run goes through the driver (which
    // applies the material as it draws) and the others straight to OpenGL as
    // plain quads from the vertex array (no indices), smoothly shaded under
    // the last-vertex convention: the form in which Mesa's software rasteriser
    // recognises screen-aligned rectangles and fills them on its fast path.
    // Elsewhere, or when the context lacks BGRA colour arrays, all of them as
    // indexed triangles.
    void drawQuads(const irr::video::S3DVertex* vertices, irr::u32 quadCount, const irr::u16* quadIndices) override;
    irr::u32 getMaximalPrimitiveCount() const override;

    // Whether quads go to OpenGL as plain quads (see drawQuads).
    bool drawsQuadArrays() const { return quadArrays_; }

    // x' = 2x / w - 1, y' = 1 - 2y / h, z' = z / 20000: (0, 0) is the top-left
    // corner, y grows downwards and depths from -10000 to 10000 are kept.
    static irr::core::matrix4 make2DProjection(irr::u32 width, irr::u32 height);
    // The flags every 2D draw needs whatever the material says: no lighting,
    // no culling of either face (quads are drawn whatever their winding), no
    // depth test and no depth writes (the draw list's order is the depth).
    static void apply2DRenderFlags(irr::video::SMaterial& material);

private:
    irr::video::IVideoDriver* driver_;
    MaterialTypeIds typeIds_;
    irr::video::IMaterialRenderer* blendRenderer_ = nullptr;  // owned by the driver
    irr::video::IMaterialRenderer* addRenderer_ = nullptr;
    CountedRef<QuadBatcher> batcher_;
    bool quadArrays_ = false;
    bool provokingVertex_ = false;
};

}  // namespace engine
