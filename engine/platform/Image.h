#pragma once
// The engine's in-memory picture: every image file loaded, every screenshot, the
// pixels a texture is made from, the custom cursor. It is content of type
// 'imag', shared by the content manager's cache (one object per path).
#include "engine/core/Content.h"
#include "engine/platform/ImagePixels.h"
#include <cstdint>

namespace engine {

using dimension2du = irr::core::dimension2d<irr::u32>;

class Image : public Content {
public:
    // Width x height pixels of uninitialised memory, freed with the image.
    Image(const CreationContext& context, ColorFormat format, const dimension2du& size);
    // With useForeignMemory the image works on the given pixels (allocated with
    // new[] when deleteMemory is set); otherwise it copies pitch x height bytes
    // of them into memory of its own. deleteMemory tells whether the image frees
    // its pixels when destroyed.
    Image(const CreationContext& context, ColorFormat format, const dimension2du& size, void* data,
          bool useForeignMemory, bool deleteMemory);
    // The other image's pixels converted to the format (0 x 0 without one).
    Image(const CreationContext& context, ColorFormat format, const Image* other);
    ~Image() override;

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    ContentTypeCode getContentType() const override { return ContentType::Image; }

    // ARGB; 0 outside the image.
    uint32_t getPixel(int32_t x, int32_t y) const;
    // Every pixel takes the colour, converted to the image's format.
    void fill(uint32_t argb);
    // Copies this image into the target at the position, converting the format
    // and leaving out what falls outside the target.
    void copyTo(Image* target, const irr::core::vector2di& position) const;
    // Fills raw memory of the given size and format with this image, scaled by
    // nearest neighbour. Pitch 0 means width x bytes per pixel of the format.
    void copyToScaling(void* target, int32_t width, int32_t height, int32_t format, uint32_t pitch = 0) const;
    // Copies the image unscaled into the top-left corner of raw memory at least
    // as large as the image; does nothing for a smaller target.
    void copyToBuffer(void* target, int32_t width, int32_t height, int32_t format, uint32_t pitch = 0) const;

    const dimension2du& getDimension() const { return size_; }
    int32_t getWidth() const { return width_; }
    int32_t getHeight() const { return height_; }
    uint32_t getBitsPerPixel() const { return bitsPerPixel_; }
    uint32_t getBytesPerPixel() const { return bytesPerPixel_; }
    uint32_t getPitch() const { return pitch_; }
    int32_t getColorFormat() const { return format_; }
    uint32_t getRedMask() const { return redMask_; }
    uint32_t getGreenMask() const { return greenMask_; }
    uint32_t getBlueMask() const { return blueMask_; }
    uint32_t getAlphaMask() const { return alphaMask_; }
    uint8_t* getData() { return data_; }
    const uint8_t* getData() const { return data_; }
    uint32_t getImageDataSizeInBytes() const { return pitch_ * uint32_t(height_); }
    // The pixels as a surface for the blitting routines.
    PixelSurface surface() const;

private:
    void initFormat(ColorFormat format, const dimension2du& size);
    void allocate();

    uint8_t* data_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    uint32_t bitsPerPixel_ = 0;
    uint32_t bytesPerPixel_ = 0;
    uint32_t pitch_ = 0;
    int32_t format_ = CF_A8R8G8B8;
    bool deleteMemory_ = true;
    uint32_t redMask_ = 0;
    uint32_t greenMask_ = 0;
    uint32_t blueMask_ = 0;
    uint32_t alphaMask_ = 0;
    dimension2du size_;
};

}  // namespace engine
