#include "engine/visual/RenderContext.h"

#include "engine/core/Logger.h"
#include "engine/visual/MaterialRenderers.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace engine {

namespace {

bool hasGlExtension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!list) return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + length, name)) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

// The current context's OpenGL version as 10 x major + minor, 0 without one.
int glVersion() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return 0;
    return 10 * major + minor;
}

// Plain quads need colour arrays in the vertex's BGRA byte order (OpenGL 3.2,
// or its extension) in the current context.
bool canDrawQuadArrays() {
    const int version = glVersion();
    if (version == 0) return false;
    return version >= 32 || hasGlExtension("GL_ARB_vertex_array_bgra") || hasGlExtension("GL_EXT_vertex_array_bgra");
}

bool hasProvokingVertex() { return glVersion() >= 32 || hasGlExtension("GL_ARB_provoking_vertex"); }

}  // namespace

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
    quadArrays_ = openGL && canDrawQuadArrays();
    provokingVertex_ = quadArrays_ && hasProvokingVertex();
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

void RenderContext::drawQuads(const irr::video::S3DVertex* vertices, irr::u32 quadCount,
                              const irr::u16* quadIndices) {
    if (!driver_ || !vertices || quadCount == 0) return;
    if (!quadArrays_) {
        IBatchTarget::drawQuads(vertices, quadCount, quadIndices);
        return;
    }
    // Irrlicht applies the material set on it (its renderer, texture filters,
    // shading, the 3D transforms) only as it draws, and keeps track of what it
    // applied: the run's first quad is drawn through it, as two triangles.
    driver_->drawVertexPrimitiveList(vertices, 4, quadIndices, 2, irr::video::EVT_STANDARD,
                                     irr::scene::EPT_TRIANGLES, irr::video::EIT_16BIT);
    if (quadCount == 1) return;

    // Smooth shading and the last-vertex convention only for this draw: the
    // batcher gives every corner of a flat-shaded quad the same colour, so
    // the picture is the one flat shading gives, and Irrlicht finds the
    // state as it left it.
    GLint shadeModel = GL_SMOOTH;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    if (shadeModel != GL_SMOOTH) glShadeModel(GL_SMOOTH);
    GLint provoking = GL_LAST_VERTEX_CONVENTION;
    if (provokingVertex_) {
        glGetIntegerv(GL_PROVOKING_VERTEX, &provoking);
        if (provoking != GL_LAST_VERTEX_CONVENTION) glProvokingVertex(GL_LAST_VERTEX_CONVENTION);
    }
    const GLsizei stride = sizeof(irr::video::S3DVertex);
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &vertices[0].Pos);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, &vertices[0].Color);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].TCoords);
    glDrawArrays(GL_QUADS, 4, static_cast<GLsizei>(4 * (quadCount - 1)));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (provokingVertex_ && provoking != GL_LAST_VERTEX_CONVENTION) glProvokingVertex(static_cast<GLenum>(provoking));
    if (shadeModel != GL_SMOOTH) glShadeModel(static_cast<GLenum>(shadeModel));
}

irr::u32 RenderContext::getMaximalPrimitiveCount() const {
    return driver_ ? driver_->getMaximalPrimitiveCount() : 0;
}

}  // namespace engine
