#pragma once
// Where the engine's Image meets Irrlicht's image interface: Irrlicht's writers
// and video drivers take an IImage, its loaders return one.
#include "engine/core/RefCounted.h"
#include "engine/platform/Image.h"

namespace engine {

// An IImage over an engine Image's pixels (no copy). It keeps the image alive
// while it exists; the pixels are shared, so writes through it reach the image.
class IrrImageView : public irr::video::IImage {
public:
    explicit IrrImageView(Image* image);

    void* lock() override { return image_->getData(); }
    void unlock() override {}
    const irr::core::dimension2d<irr::u32>& getDimension() const override { return image_->getDimension(); }
    irr::u32 getBitsPerPixel() const override { return image_->getBitsPerPixel(); }
    irr::u32 getBytesPerPixel() const override { return image_->getBytesPerPixel(); }
    irr::u32 getImageDataSizeInBytes() const override { return image_->getImageDataSizeInBytes(); }
    irr::u32 getImageDataSizeInPixels() const override;
    irr::video::SColor getPixel(irr::u32 x, irr::u32 y) const override;
    void setPixel(irr::u32 x, irr::u32 y, const irr::video::SColor& color, bool blend = false) override;
    irr::video::ECOLOR_FORMAT getColorFormat() const override;
    irr::u32 getRedMask() const override { return image_->getRedMask(); }
    irr::u32 getGreenMask() const override { return image_->getGreenMask(); }
    irr::u32 getBlueMask() const override { return image_->getBlueMask(); }
    irr::u32 getAlphaMask() const override { return image_->getAlphaMask(); }
    irr::u32 getPitch() const override { return image_->getPitch(); }
    void copyToScaling(void* target, irr::u32 width, irr::u32 height,
                       irr::video::ECOLOR_FORMAT format = irr::video::ECF_A8R8G8B8, irr::u32 pitch = 0) override;
    void copyToScaling(irr::video::IImage* target) override;
    void copyTo(irr::video::IImage* target,
                const irr::core::position2d<irr::s32>& pos = irr::core::position2d<irr::s32>(0, 0)) override;
    void copyTo(irr::video::IImage* target, const irr::core::position2d<irr::s32>& pos,
                const irr::core::rect<irr::s32>& sourceRect, const irr::core::rect<irr::s32>* clipRect = 0) override;
    // The source rectangle tinted by the colour and blended over the target
    // by its alpha.
    void copyToWithAlpha(irr::video::IImage* target, const irr::core::position2d<irr::s32>& pos,
                         const irr::core::rect<irr::s32>& sourceRect, const irr::video::SColor& color,
                         const irr::core::rect<irr::s32>* clipRect = 0) override;
    // Each target pixel is the average of the source pixels it covers.
    void copyToScalingBoxFilter(irr::video::IImage* target, irr::s32 bias = 0, bool blend = false) override;
    void fill(const irr::video::SColor& color) override { image_->fill(color.color); }

private:
    CountedRef<Image> image_;
};

// A new engine Image (count 1) holding a copy of an Irrlicht image's pixels;
// null for a null image or a format the engine does not have.
Image* createImageFromIrr(irr::video::IImage* source, const CreationContext& context);

// A new driver texture made from the image, with one reference that the caller
// owns (the driver keeps none), or null. The name identifies the texture in the
// driver's messages. The null driver makes textures of size 0.
irr::video::ITexture* createTextureFromImage(irr::video::IVideoDriver* driver, Image* image, const stringc& name);

}  // namespace engine
