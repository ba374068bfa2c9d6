#include "engine/visual/TextureContent.h"
#include "engine/platform/ImageBridge.h"

namespace engine {

TextureContent::TextureContent(const CreationContext& context, const stringc& fileName, irr::video::ITexture* texture)
    : Content(context), texture_(IrrRef<irr::video::ITexture>::share(texture)), fileName_(fileName) {
    setContentFlags(ContentFlags::Shared);
}

void TextureContent::setTexture(irr::video::ITexture* texture) {
    texture_ = IrrRef<irr::video::ITexture>::share(texture);
}

bool TextureContent::makeFrom(irr::video::IVideoDriver* driver, Image* image) {
    if (!image) return false;
    IrrRef<irr::video::ITexture> made(createTextureFromImage(driver, image, fileName_));
    setTexture(made.get());
    if (!made) return false;
    IrrRef<IrrImageView> view(new IrrImageView(image));
    mask_.build(view.get());
    return true;
}

}  // namespace engine
