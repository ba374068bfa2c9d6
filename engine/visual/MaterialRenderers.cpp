#include "engine/visual/MaterialRenderers.h"

#include <GL/gl.h>

namespace engine {

AlphaVertexMaterialRenderer::AlphaVertexMaterialRenderer(ColorOp op) : op_(op) {}

void AlphaVertexMaterialRenderer::setUpStage() const {
    // Irrlicht leaves whichever texture unit it touched last active; work on
    // unit 0 and put the driver's choice back.
    GLint activeUnit = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glActiveTexture(GL_TEXTURE0);

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, op_ == ColorOp::Add ? GL_ADD : GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_ALPHA_SCALE, 1);

    glActiveTexture(static_cast<GLenum>(activeUnit));
    glDisable(GL_ALPHA_TEST);
}

void AlphaVertexMaterialRenderer::OnSetMaterial(const irr::video::SMaterial& material,
                                                const irr::video::SMaterial& lastMaterial,
                                                bool resetAllRenderstates,
                                                irr::video::IMaterialRendererServices* services) {
    if (services) services->setBasicRenderStates(material, lastMaterial, resetAllRenderstates);
    if (material.MaterialType != lastMaterial.MaterialType || resetAllRenderstates) {
        setUpStage();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ++stageSetups_;
    }
    // The basic render states follow the material's depth-write flag; blended
    // 2D drawing never writes depth.
    glDepthMask(GL_FALSE);
}

bool AlphaVertexMaterialRenderer::OnRender(irr::video::IMaterialRendererServices*, irr::video::E_VERTEX_TYPE) {
    return true;
}

void AlphaVertexMaterialRenderer::OnUnsetMaterial() { glDisable(GL_BLEND); }

}  // namespace engine
