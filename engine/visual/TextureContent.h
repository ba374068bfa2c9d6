#pragma once
// Texture content ('itex'): a driver texture made from an image file. Atlas
// textures and materials hold this object rather than the driver texture, so
// a texture rebuilt after a change of video driver reaches all of them. The
// image's alpha is kept beside the texture for hit tests by opaque pixels.
#include "engine/core/Content.h"
#include "engine/io/IrrRef.h"
#include "engine/visual/AlphaMask.h"
#include "engine/visual/TextureSource.h"

namespace engine {

class Image;

class TextureContent : public Content, public ITextureSource {
public:
    // Takes a reference to the texture (which may be null).
    TextureContent(const CreationContext& context, const stringc& fileName, irr::video::ITexture* texture);

    ContentTypeCode getContentType() const override { return ContentType::Texture; }

    // Null between the release of a video driver and its replacement.
    irr::video::ITexture* getTexture() const { return texture_.get(); }
    irr::video::ITexture* getDriverTexture() const override { return texture_.get(); }
    // Drops the old texture and takes a reference to the new one (or null).
    void setTexture(irr::video::ITexture* texture);
    // Makes the driver texture and the alpha mask from the image; false (and
    // no texture) when the driver cannot make one.
    bool makeFrom(irr::video::IVideoDriver* driver, Image* image);
    // The image file the texture is made again from after a driver change.
    const stringc& getFileName() const { return fileName_; }

    const AlphaMask& getAlphaMask() const { return mask_; }
    bool isOpaqueAt(irr::u32 x, irr::u32 y, irr::u32 threshold) const { return mask_.isOpaqueAt(x, y, threshold); }

private:
    IrrRef<irr::video::ITexture> texture_;
    stringc fileName_;
    AlphaMask mask_;
};

}  // namespace engine
