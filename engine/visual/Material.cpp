#include "engine/visual/Material.h"

namespace engine {

const char* const TRANS_ALPHACH_VERTEXALPHA_NAME = "trans_alphach_vertexalpha";
const char* const TRANS_ALPHACH_VERTEXALPHA_ADD_NAME = "trans_alphach_vertexalpha_add";

irr::video::E_MATERIAL_TYPE MaterialTypeIds::toDriverType(irr::video::E_MATERIAL_TYPE type) const {
    if (type == EMT_TRANS_ALPHACH_VERTEXALPHA) return static_cast<irr::video::E_MATERIAL_TYPE>(alphaVertexBlend);
    if (type == EMT_TRANS_ALPHACH_VERTEXALPHA_ADD) return static_cast<irr::video::E_MATERIAL_TYPE>(alphaVertexAdd);
    return type;
}

Material::Material() {
    flags_.MaterialType = EMT_TRANS_ALPHACH_VERTEXALPHA;
    flags_.Lighting = false;
    flags_.GouraudShading = false;
    flags_.BackfaceCulling = false;
    flags_.ZBuffer = irr::video::ECFN_ALWAYS;
    flags_.ZWriteEnable = false;
    flags_.setFlag(irr::video::EMF_BILINEAR_FILTER, false);
}

irr::video::ITexture* Material::getDriverTexture() const {
    if (layerCount_ < 1 || !texture_) return nullptr;
    return texture_->getDriverTexture();
}

bool Material::operator==(const Material& other) const {
    return texture_ == other.texture_ && layerCount_ == other.layerCount_ && flags_ == other.flags_;
}

irr::video::SMaterial Material::toDriverMaterial(const MaterialTypeIds& ids) const {
    irr::video::SMaterial out(flags_);
    out.MaterialType = ids.toDriverType(flags_.MaterialType);
    out.TextureLayer[0].Texture = getDriverTexture();
    return out;
}

}  // namespace engine
