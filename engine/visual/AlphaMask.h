#pragma once
// The alpha channel of the image a texture was made from, kept beside the
// texture so that hit tests can ask whether a pixel is opaque without reading
// the texture back from the driver.
#include <irrlicht.h>

#include <vector>

namespace engine {

class AlphaMask {
public:
    AlphaMask() = default;
    // Copies the image's alpha; a null image gives an empty mask.
    explicit AlphaMask(irr::video::IImage* image) { build(image); }

    // Replaces the mask with the image's alpha (at the image's size). Images
    // without an alpha channel count as opaque everywhere. False for null.
    bool build(irr::video::IImage* image);
    void clear();

    bool isEmpty() const { return alpha_.empty(); }
    const irr::core::dimension2d<irr::u32>& getSize() const { return size_; }

    // True exactly when (x, y) lies inside the image and its alpha is greater
    // than the threshold; false everywhere for an empty mask.
    bool isOpaqueAt(irr::u32 x, irr::u32 y, irr::u32 threshold) const;

private:
    irr::core::dimension2d<irr::u32> size_;
    std::vector<irr::u8> alpha_;
};

}  // namespace engine
