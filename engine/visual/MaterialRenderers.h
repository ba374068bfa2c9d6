#pragma once
// The renderers of the two blended material types on Irrlicht's OpenGL driver.
// Stock Irrlicht binds the material's textures in setMaterial; these renderers
// apply the basic render states through the driver's services and then set
// OpenGL's texture-combine and blend state directly.
#include <irrlicht.h>

namespace engine {

class AlphaVertexMaterialRenderer : public irr::video::IMaterialRenderer {
public:
    enum class ColorOp {
        Modulate,  // texture colour x vertex colour (type 24)
        Add,       // texture colour + vertex colour (type 25)
    };

    explicit AlphaVertexMaterialRenderer(ColorOp op);

    // Basic render states always; the combine stage and blend function only
    // when the material type changes or a reset is asked; depth writes off.
    void OnSetMaterial(const irr::video::SMaterial& material, const irr::video::SMaterial& lastMaterial,
                       bool resetAllRenderstates, irr::video::IMaterialRendererServices* services) override;
    bool OnRender(irr::video::IMaterialRendererServices* services, irr::video::E_VERTEX_TYPE vertexType) override;
    // Turns blending off again.
    void OnUnsetMaterial() override;
    bool isTransparent() const override { return true; }
    irr::s32 getRenderCapability() const override { return 0; }

    ColorOp getColorOp() const { return op_; }
    // How often the texture stage was set up: once per change of material type
    // (or reset), not once per material.
    irr::u32 getStageSetupCount() const { return stageSetups_; }

private:
    void setUpStage() const;

    ColorOp op_;
    irr::u32 stageSetups_ = 0;
};

}  // namespace engine
