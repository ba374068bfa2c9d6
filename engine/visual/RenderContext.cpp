#include "engine/visual/RenderContext.h"

#include "engine/core/Logger.h"
#include "engine/visual/MaterialRenderers.h"

namespace engine {

RenderContext::RenderContext(irr::video::IVideoDriver* driver) : driver_(driver) {
    batcher_ = makeRef<QuadBatcher>(this);
    if (!driver_) {
        logError("RenderContext: no video driver");
        return;
    }
    // The driver keeps the renderers; the creation references are dropped.
    const bool openGL = driver_->getDriverType() == irr::video::EDT_OPENGL;
    using Op = AlphaVertexMaterialRenderer::ColorOp;
    blendRenderer_ = openGL ? new AlphaVertexMaterialRenderer(Op::Modulate) : new irr::video::IMaterialRenderer();
    addRenderer_ = openGL ? new AlphaVertexMaterialRenderer(Op::Add) : new irr::video::IMaterialRenderer();
    typeIds_.alphaVertexBlend = driver_->addMaterialRenderer(blendRenderer_, TRANS_ALPHACH_VERTEXALPHA_NAME);
    typeIds_.alphaVertexAdd = driver_->addMaterialRenderer(addRenderer_, TRANS_ALPHACH_VERTEXALPHA_ADD_NAME);
    blendRenderer_->drop();
    addRenderer_->drop();
    if (typeIds_.alphaVertexBlend != EMT_TRANS_ALPHACH_VERTEXALPHA ||
        typeIds_.alphaVertexAdd != EMT_TRANS_ALPHACH_VERTEXALPHA_ADD) {
        stringc text("Blended material renderers registered as ");
        text += typeIds_.alphaVertexBlend;
        text += " and ";
        text += typeIds_.alphaVertexAdd;
        getLogger().log(text, LOG_INFO);
    }
    // Drawing nodes are handed only the driver; they find this batcher by it.
    setDriverQuadBatcher(driver_, batcher_.get());
}

RenderContext::~RenderContext() {
    // A later context of a driver at the same address keeps its own entry.
    if (driver_ && getDriverQuadBatcher(driver_) == batcher_.get()) setDriverQuadBatcher(driver_, nullptr);
    // Someone may still hold the batcher; it must not reach a dead context.
    if (batcher_) batcher_->setTarget(nullptr);
}

irr::core::matrix4 RenderContext::make2DProjection(irr::u32 width, irr::u32 height) {
    irr::core::matrix4 m;  // identity
    const irr::f32 w = width ? static_cast<irr::f32>(width) : 1.f;
    const irr::f32 h = height ? static_cast<irr::f32>(height) : 1.f;
    m[0] = 2.f / w;
    m[5] = -2.f / h;
    m[10] = 1.f / 20000.f;
    m[12] = -1.f;
    m[13] = 1.f;
    return m;
}

void RenderContext::apply2DRenderFlags(irr::video::SMaterial& material) {
    material.Lighting = false;
    material.BackfaceCulling = false;
    material.FrontfaceCulling = false;
    // 2D drawing never writes depth and draws in the order of its sorted
    // draw list, so a depth test could only ever pass: it is switched off
    // rather than set to "always", which would still make the rasteriser
    // read the depth buffer for every pixel.
    material.ZBuffer = irr::video::ECFN_NEVER;  // Irrlicht's "no depth test"
    material.ZWriteEnable = false;
}

bool RenderContext::enter2DMode() {
    if (!driver_ || driver_->getDriverType() == irr::video::EDT_NULL) return false;
    const irr::core::dimension2d<irr::u32>& size = driver_->getCurrentRenderTargetSize();
    driver_->setTransform(irr::video::ETS_PROJECTION, make2DProjection(size.Width, size.Height));
    driver_->setTransform(irr::video::ETS_VIEW, irr::core::IdentityMatrix);
    driver_->setTransform(irr::video::ETS_WORLD, irr::core::IdentityMatrix);
    return true;
}

void RenderContext::setMaterial(const Material& material) {
    if (!driver_) return;
    irr::video::SMaterial resolved = material.toDriverMaterial(typeIds_);
    apply2DRenderFlags(resolved);
    driver_->setMaterial(resolved);
}

void RenderContext::drawVertexPrimitiveList(const irr::video::S3DVertex* vertices, irr::u32 vertexCount,
                                            const irr::u16* indices, irr::u32 primitiveCount,
                                            irr::scene::E_PRIMITIVE_TYPE primitiveType) {
    if (!driver_) return;
    driver_->drawVertexPrimitiveList(vertices, vertexCount, indices, primitiveCount, irr::video::EVT_STANDARD,
                                     primitiveType, irr::video::EIT_16BIT);
}

irr::u32 RenderContext::getMaximalPrimitiveCount() const {
    return driver_ ? driver_->getMaximalPrimitiveCount() : 0;
}

}  // namespace engine
