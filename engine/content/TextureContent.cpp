#include "engine/content/TextureContent.h"

namespace engine {

TextureContent::TextureContent(const CreationContext& context, const stringc& fileName, irr::video::ITexture* texture)
    : Content(context), texture_(IrrRef<irr::video::ITexture>::share(texture)), fileName_(fileName) {
    setContentFlags(ContentFlags::Shared);
}

void TextureContent::setTexture(irr::video::ITexture* texture) {
    texture_ = IrrRef<irr::video::ITexture>::share(texture);
}

}  // namespace engine
