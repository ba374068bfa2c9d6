#pragma once
// The material of the engine's 2D drawing: Irrlicht's SMaterial for the render
// flags and the material type, plus a counted texture source for layer 0 that is
// turned into a driver texture only when the material reaches the driver.
#include "engine/core/RefCounted.h"
#include "engine/visual/TextureSource.h"

#include <irrlicht.h>
#include <cstdint>

namespace engine {

// The two blended material types the engine adds after Irrlicht's own 24. These
// are the numbers materials and stored data use; the driver may register the
// renderers under other ids, which MaterialTypeIds maps them to.
//   24 "trans_alphach_vertexalpha":     texture colour x vertex colour,
//                                       texture alpha x vertex alpha, alpha blending.
//   25 "trans_alphach_vertexalpha_add": texture colour + vertex colour,
//                                       texture alpha x vertex alpha, alpha blending.
constexpr irr::video::E_MATERIAL_TYPE EMT_TRANS_ALPHACH_VERTEXALPHA =
    static_cast<irr::video::E_MATERIAL_TYPE>(24);
constexpr irr::video::E_MATERIAL_TYPE EMT_TRANS_ALPHACH_VERTEXALPHA_ADD =
    static_cast<irr::video::E_MATERIAL_TYPE>(25);

extern const char* const TRANS_ALPHACH_VERTEXALPHA_NAME;      // "trans_alphach_vertexalpha"
extern const char* const TRANS_ALPHACH_VERTEXALPHA_ADD_NAME;  // "trans_alphach_vertexalpha_add"

// The ids under which the running driver registered the two blended renderers.
struct MaterialTypeIds {
    irr::s32 alphaVertexBlend = EMT_TRANS_ALPHACH_VERTEXALPHA;
    irr::s32 alphaVertexAdd = EMT_TRANS_ALPHACH_VERTEXALPHA_ADD;

    // The driver's material type for an engine material type; Irrlicht's own
    // types map to themselves.
    irr::video::E_MATERIAL_TYPE toDriverType(irr::video::E_MATERIAL_TYPE type) const;
};

class Material {
public:
    // The engine's 2D material: type 24, one texture layer without texture,
    // lighting, Gouraud shading, back-face culling and depth writes off, depth
    // test that always passes, no bilinear filtering (quads drawn 1:1 stay
    // pixel exact; a node that scales its quads may turn filtering on).
    Material();

    // Render flags, filters and the material type. Layer 0's Texture field is
    // not used: the texture comes from the texture source. Change the flags
    // through the reference right away: a reference kept and written to after
    // the material was compared is not noticed by later comparisons.
    irr::video::SMaterial& flags() {
        flagsId_ = 0;
        return flags_;
    }
    const irr::video::SMaterial& flags() const { return flags_; }

    irr::video::E_MATERIAL_TYPE getMaterialType() const { return flags_.MaterialType; }
    void setMaterialType(irr::video::E_MATERIAL_TYPE type) {
        flags_.MaterialType = type;
        flagsId_ = 0;
    }

    // Layer 0's texture source; the material takes its own reference.
    ITextureSource* getTexture() const { return texture_.get(); }
    void setTexture(ITextureSource* source) { texture_ = CountedRef<ITextureSource>::share(source); }

    // How many texture layers the material uses (0 or 1 for the engine's
    // nodes). Layer 0's texture is bound only when this is at least 1.
    irr::u32 getTextureLayerCount() const { return layerCount_; }
    void setTextureLayerCount(irr::u32 count) { layerCount_ = count; }

    // The driver texture layer 0 binds right now (null without layers or source).
    irr::video::ITexture* getDriverTexture() const;

    // Materials are equal when their flags, layer counts and texture sources
    // are: a different texture source is a different material even while both
    // sources happen to hold the same driver texture. The batcher compares
    // every quad's material with the current one, so equal flags are known by
    // a number shared by all materials with those flags, found once after
    // each change (main thread).
    bool operator==(const Material& other) const;
    bool operator!=(const Material& other) const { return !(*this == other); }

    // The SMaterial to give the driver: the flags with the driver's id for the
    // material type and layer 0's driver texture as it is at this moment.
    irr::video::SMaterial toDriverMaterial(const MaterialTypeIds& ids) const;

private:
    // The number of this material's flags among the distinct flag sets seen
    // so far (equal flags, equal number), found on first use; 0 while not
    // known, or when too many distinct sets were seen to number them all.
    uint32_t flagsId() const;

    irr::video::SMaterial flags_;
    mutable uint32_t flagsId_ = 0;
    CountedRef<ITextureSource> texture_;
    irr::u32 layerCount_ = 1;
};

}  // namespace engine
