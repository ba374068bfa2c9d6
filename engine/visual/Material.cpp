#include "engine/visual/Material.h"

#include <vector>

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

namespace {

// The distinct flag sets numbered so far; number n is entry n - 1. A game
// uses a handful; past the limit materials are compared field by field.
constexpr size_t kMaxNumberedFlags = 256;

std::vector<irr::video::SMaterial>& numberedFlags() {
    static std::vector<irr::video::SMaterial> flags;
    return flags;
}

}  // namespace

uint32_t Material::flagsId() const {
    if (flagsId_ != 0) return flagsId_;
    std::vector<irr::video::SMaterial>& numbered = numberedFlags();
    for (size_t i = 0; i < numbered.size(); ++i) {
        if (numbered[i] == flags_) return flagsId_ = static_cast<uint32_t>(i + 1);
    }
    if (numbered.size() >= kMaxNumberedFlags) return 0;
    numbered.push_back(flags_);
    // A flag set that does not equal itself (a NaN parameter) stays unnumbered.
    if (!(numbered.back() == flags_)) {
        numbered.pop_back();
        return 0;
    }
    return flagsId_ = static_cast<uint32_t>(numbered.size());
}

bool Material::operator==(const Material& other) const {
    if (texture_ != other.texture_ || layerCount_ != other.layerCount_) return false;
    const uint32_t id = flagsId();
    const uint32_t otherId = other.flagsId();
    if (id != 0 && otherId != 0) return id == otherId;
    return flags_ == other.flags_;
}

irr::video::SMaterial Material::toDriverMaterial(const MaterialTypeIds& ids) const {
    irr::video::SMaterial out(flags_);
    out.MaterialType = ids.toDriverType(flags_.MaterialType);
    out.TextureLayer[0].Texture = getDriverTexture();
    return out;
}

}  // namespace engine
