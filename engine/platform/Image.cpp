#include "engine/platform/Image.h"
#include <algorithm>
#include <cstring>

namespace engine {

Image::Image(const CreationContext& context, ColorFormat format, const dimension2du& size) : Content(context) {
    initFormat(format, size);
    allocate();
}

Image::Image(const CreationContext& context, ColorFormat format, const dimension2du& size, void* data,
             bool useForeignMemory, bool deleteMemory)
    : Content(context) {
    initFormat(format, size);
    if (useForeignMemory) {
        // The caller says whether the image takes its memory over.
        data_ = static_cast<uint8_t*>(data);
        deleteMemory_ = deleteMemory;
    } else {
        // A copy of the pixels is always the image's own to free.
        allocate();
        if (data && data_) std::memcpy(data_, data, getImageDataSizeInBytes());
    }
}

Image::Image(const CreationContext& context, ColorFormat format, const Image* other) : Content(context) {
    initFormat(format, other ? other->getDimension() : dimension2du(0, 0));
    allocate();
    if (other) blitPixels(other->surface(), 0, 0, other->width_, other->height_, surface(), 0, 0);
}

Image::~Image() {
    if (deleteMemory_) delete[] data_;
}

void Image::initFormat(ColorFormat format, const dimension2du& size) {
    setContentFlags(ContentFlags::Shared);
    size_ = size;
    width_ = int32_t(size.Width);
    height_ = int32_t(size.Height);
    format_ = format;
    bitsPerPixel_ = bitsPerPixelOf(format);
    bytesPerPixel_ = bitsPerPixel_ / 8;
    pitch_ = uint32_t(width_) * bytesPerPixel_;
    const ColorMasks masks = colorMasksOf(format);
    redMask_ = masks.red;
    greenMask_ = masks.green;
    blueMask_ = masks.blue;
    alphaMask_ = masks.alpha;
}

void Image::allocate() {
    data_ = new uint8_t[size_t(pitch_) * size_t(height_)];
    deleteMemory_ = true;
}

PixelSurface Image::surface() const {
    PixelSurface s;
    s.data = data_;
    s.width = width_;
    s.height = height_;
    s.format = format_;
    s.pitch = pitch_;
    return s;
}

uint32_t Image::getPixel(int32_t x, int32_t y) const {
    if (!data_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return readPixel(data_ + size_t(y) * pitch_ + size_t(x) * bytesPerPixel_, format_);
}

void Image::fill(uint32_t argb) {
    if (!data_ || bytesPerPixel_ == 0 || width_ <= 0 || height_ <= 0) return;
    // The first pixel is converted once, then repeated over every pixel, so
    // 24-bit images and an odd count of 16-bit pixels are filled completely.
    uint8_t value[4];
    writePixel(value, format_, argb);
    for (int32_t y = 0; y < height_; ++y) {
        uint8_t* row = data_ + size_t(y) * pitch_;
        for (int32_t x = 0; x < width_; ++x) std::memcpy(row + size_t(x) * bytesPerPixel_, value, bytesPerPixel_);
    }
}

void Image::copyTo(Image* target, const irr::core::vector2di& position) const {
    if (!target) return;
    blitPixels(surface(), 0, 0, width_, height_, target->surface(), position.X, position.Y);
}

void Image::copyToScaling(void* target, int32_t width, int32_t height, int32_t format, uint32_t pitch) const {
    const uint32_t targetBytes = bitsPerPixelOf(format) / 8;
    if (!target || width <= 0 || height <= 0 || targetBytes == 0 || !data_) return;
    const uint32_t rowBytes = uint32_t(width) * targetBytes;
    if (pitch == 0) pitch = rowBytes;
    if (pitch < rowBytes) return;  // rows would overlap: not a valid target
    uint8_t* out = static_cast<uint8_t*>(target);

    if (format == format_ && width == width_ && height == height_) {
        if (pitch == pitch_) {
            std::memcpy(out, data_, size_t(pitch) * size_t(height));
            return;
        }
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = out + size_t(y) * pitch;
            std::memcpy(row, data_ + size_t(y) * pitch_, rowBytes);
            std::memset(row + rowBytes, 0, pitch - rowBytes);
        }
        return;
    }
    if (width_ <= 0 || height_ <= 0) return;

    // Nearest neighbour: the source position advances by a fixed step per
    // target pixel, accumulated in single precision and truncated.
    const float stepX = float(width_) / float(width);
    const float stepY = float(height_) / float(height);
    float sy = 0.0f;
    for (int32_t y = 0; y < height; ++y) {
        const int32_t srcY = std::min(int32_t(sy), height_ - 1);
        const uint8_t* in = data_ + size_t(srcY) * pitch_;
        uint8_t* row = out + size_t(y) * pitch;
        float sx = 0.0f;
        for (int32_t x = 0; x < width; ++x) {
            const int32_t srcX = std::min(int32_t(sx), width_ - 1);
            writePixel(row + size_t(x) * targetBytes, format, readPixel(in + size_t(srcX) * bytesPerPixel_, format_));
            sx += stepX;
        }
        sy += stepY;
    }
}

void Image::copyToBuffer(void* target, int32_t width, int32_t height, int32_t format, uint32_t pitch) const {
    const uint32_t targetBytes = bitsPerPixelOf(format) / 8;
    if (!target || targetBytes == 0 || width < width_ || height < height_) return;
    if (pitch == 0) pitch = uint32_t(width) * targetBytes;
    if (pitch < uint32_t(width_) * targetBytes) return;
    PixelSurface dst;
    dst.data = static_cast<uint8_t*>(target);
    dst.width = width;
    dst.height = height;
    dst.format = format;
    dst.pitch = pitch;
    blitPixels(surface(), 0, 0, width_, height_, dst, 0, 0);
}

}  // namespace engine
