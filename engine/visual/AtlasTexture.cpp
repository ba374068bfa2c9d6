#include "engine/visual/AtlasTexture.h"
#include "engine/core/IContentManager.h"
#include <cstdio>

namespace engine {

AtlasName parseAtlasName(const stringc& name) {
    AtlasName out;
    const int32_t length = static_cast<int32_t>(name.size());
    const char* text = name.c_str();

    // The suffix: from the last '.' to the end, unless that '.' is the first
    // character. The scan then goes on before it.
    int32_t scan = length - 1;
    while (scan >= 0 && text[scan] != '.') --scan;
    if (scan > 0) {
        out.suffix = name.subString(static_cast<irr::u32>(scan), static_cast<irr::u32>(length - scan));
        --scan;
    }

    // The frame: the digits just before the suffix, read backwards.
    const int32_t digitsEnd = scan;
    constexpr int64_t kTopPlace = 1000000000LL;  // the highest decimal place an int can use
    int64_t frame = 0;
    int64_t power = 1;
    bool tooLarge = false;
    while (scan >= 0 && text[scan] >= '0' && text[scan] <= '9') {
        const int64_t digit = text[scan] - '0';
        if (digit != 0) {
            if (power > kTopPlace) {
                tooLarge = true;
            } else {
                frame += digit * power;
                if (frame > 2147483647LL) tooLarge = true;
            }
        }
        if (power <= kTopPlace) power *= 10;  // leading zeros may run on; the place stops growing
        --scan;
    }
    if (scan < digitsEnd && !tooLarge) {
        out.frame = static_cast<int32_t>(frame);
    } else {
        scan = digitsEnd;  // no usable frame: the digits stay in the prefix
    }
    if (scan >= 0) out.prefix = name.subString(0, static_cast<irr::u32>(scan + 1));
    return out;
}

stringc makeAtlasFrameName(const stringc& prefix, int32_t frame, const stringc& suffix) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%04d", frame);
    stringc out(prefix);
    out += digits;
    out += suffix;
    return out;
}

irr::core::dimension2d<irr::u32> getTextureImageSize(const TextureContent* texture) {
    if (!texture) return {};
    if (const irr::video::ITexture* driverTexture = texture->getTexture()) {
        const irr::core::dimension2d<irr::u32>& size = driverTexture->getOriginalSize();
        if (size.Width && size.Height) return size;
    }
    return texture->getAlphaMask().getSize();
}

AtlasTextureContent::AtlasTextureContent(const CreationContext& context, TextureContent* texture,
                                         const rectf& textureRect, const vector2df& leadingMargin,
                                         const vector2df& trailingMargin)
    : Content(context),
      texture_(CountedRef<TextureContent>::share(texture)),
      textureRect_(textureRect),
      leadingMargin_(leadingMargin),
      trailingMargin_(trailingMargin),
      name_(parseAtlasName(context.getName())) {
    setContentFlags(ContentFlags::Shared);
}

AtlasTextureContent::~AtlasTextureContent() = default;

AtlasTextureContent* loadAtlasTexture(IContentManager* manager, const stringc& path, bool relative) {
    if (!manager) return nullptr;
    Content* content = manager->load(ContentType::AtlasTexture, path, relative);
    AtlasTextureContent* atlas = dynamic_cast<AtlasTextureContent*>(content);
    if (!atlas && content) content->release();
    return atlas;
}

}  // namespace engine
