#pragma once
// Atlas textures ('atex'): the part of a driver texture that holds one image,
// with the margins that were trimmed from the image when it was packed. Every
// image the engine draws is one: an entry of an atlas collection file, or an
// image file named directly (which covers its whole texture).
//
// The content name also carries an animation frame: "ui/anim0012.png" is frame
// 12 of the sequence "ui/anim" + four digits + ".png", which lets an animated
// atlas-texture value step through the frames between two keys.
#include "engine/visual/TextureContent.h"
#include "engine/core/Content.h"

namespace engine {

class IContentManager;

// The parts of an atlas texture's name: the text before the frame digits, the
// frame number (-1 when the name has none) and the suffix from the last '.'.
struct AtlasName {
    stringc prefix;
    int32_t frame = -1;
    stringc suffix;
};

// Splits a name: the suffix runs from the last '.' (when it is not the first
// character) to the end; the decimal digits just before it are the frame
// number, and what precedes them is the prefix. A name without a '.' has no
// frame and an empty prefix and suffix. Digits that make a number beyond the
// int range count as no frame (they stay in the prefix).
AtlasName parseAtlasName(const stringc& name);

// prefix + the frame with at least four digits (zero-padded) + suffix.
stringc makeAtlasFrameName(const stringc& prefix, int32_t frame, const stringc& suffix);

// The size in pixels of the image the texture was made from: the driver
// texture's original size, or, when the driver reports none (the null driver
// makes textures of size 0), the size of the image kept for hit tests.
irr::core::dimension2d<irr::u32> getTextureImageSize(const TextureContent* texture);

class AtlasTextureContent : public Content {
public:
    // Takes a reference to the texture (which may be null). The texture
    // rectangle holds fractions of the texture: left u, top v, right u,
    // bottom v. Prefix, frame and suffix come from the context's name.
    AtlasTextureContent(const CreationContext& context, TextureContent* texture, const rectf& textureRect,
                        const vector2df& leadingMargin, const vector2df& trailingMargin);
    ~AtlasTextureContent() override;

    ContentTypeCode getContentType() const override { return ContentType::AtlasTexture; }

    TextureContent* getTexture() const { return texture_.get(); }
    // uL, vT (upper-left corner), uR, vB (lower-right corner).
    const rectf& getTextureRect() const { return textureRect_; }
    // Pixels trimmed from the left and top of the image.
    const vector2df& getLeadingMargin() const { return leadingMargin_; }
    // Pixels trimmed from the right and bottom.
    const vector2df& getTrailingMargin() const { return trailingMargin_; }

    const stringc& getNamePrefix() const { return name_.prefix; }
    const stringc& getNameSuffix() const { return name_.suffix; }
    int32_t getFrameNumber() const { return name_.frame; }

private:
    CountedRef<TextureContent> texture_;
    rectf textureRect_;
    vector2df leadingMargin_;
    vector2df trailingMargin_;
    AtlasName name_;
};

// The content manager's load of type 'atex', as an atlas texture the caller
// owns one reference to; null when nothing loads (or the content loaded under
// that name is of another class).
AtlasTextureContent* loadAtlasTexture(IContentManager* manager, const stringc& path, bool relative);

}  // namespace engine
