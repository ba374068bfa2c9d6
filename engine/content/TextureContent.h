#pragma once
// Texture content ('itex'): a driver texture made from an image file. Atlas
// textures and materials hold this object rather than the driver texture, so
// a texture rebuilt after a change of video driver reaches all of them.
#include "engine/core/Content.h"
#include "engine/io/IrrRef.h"

namespace engine {

class TextureContent : public Content {
public:
    // Takes a reference to the texture (which may be null).
    TextureContent(const CreationContext& context, const stringc& fileName, irr::video::ITexture* texture);

    ContentTypeCode getContentType() const override { return ContentType::Texture; }

    // Null between the release of a video driver and its replacement.
    irr::video::ITexture* getTexture() const { return texture_.get(); }
    // Drops the old texture and takes a reference to the new one (or null).
    void setTexture(irr::video::ITexture* texture);
    // The image file the texture is made again from after a driver change.
    const stringc& getFileName() const { return fileName_; }

private:
    IrrRef<irr::video::ITexture> texture_;
    stringc fileName_;
};

}  // namespace engine
