#pragma once
// Where a material's texture comes from. Materials keep the texture's content
// object rather than a driver texture, so driver textures can be dropped and
// rebuilt (for instance when the video driver is replaced) without touching any
// material: the driver texture is asked for only when a material is handed to
// the driver.
#include "engine/core/RefCounted.h"

#include <irrlicht.h>

namespace engine {

class ITextureSource : public virtual RefCounted {
public:
    // The driver texture held at this moment, or null when there is none.
    virtual irr::video::ITexture* getDriverTexture() const = 0;
};

}  // namespace engine
