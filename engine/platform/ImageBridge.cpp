#include "engine/platform/ImageBridge.h"
#include <algorithm>
#include <cstring>

namespace engine {

namespace {

PixelSurface surfaceOf(irr::video::IImage* image) {
    PixelSurface s;
    s.data = static_cast<uint8_t*>(image->lock());
    s.width = int32_t(image->getDimension().Width);
    s.height = int32_t(image->getDimension().Height);
    s.format = bitsPerPixelOf(image->getColorFormat()) ? int32_t(image->getColorFormat()) : -1;
    s.pitch = image->getPitch();
    return s;
}

uint32_t blendOver(uint32_t dst, uint32_t src) {
    const uint32_t a = src >> 24;
    if (a == 255) return src;
    if (a == 0) return dst;
    auto mix = [a](uint32_t s, uint32_t d) { return (s * a + d * (255 - a) + 127) / 255; };
    const uint32_t r = mix((src >> 16) & 0xFF, (dst >> 16) & 0xFF);
    const uint32_t g = mix((src >> 8) & 0xFF, (dst >> 8) & 0xFF);
    const uint32_t b = mix(src & 0xFF, dst & 0xFF);
    const uint32_t outA = std::min<uint32_t>(255, a + ((dst >> 24) * (255 - a) + 127) / 255);
    return outA << 24 | r << 16 | g << 8 | b;
}

uint32_t modulate(uint32_t pixel, uint32_t color) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t p = (pixel >> shift) & 0xFF;
        const uint32_t c = (color >> shift) & 0xFF;
        out |= ((p * c + 127) / 255) << shift;
    }
    return out;
}

}  // namespace

IrrImageView::IrrImageView(Image* image) : image_(CountedRef<Image>::share(image)) {}

irr::u32 IrrImageView::getImageDataSizeInPixels() const {
    return image_->getDimension().Width * image_->getDimension().Height;
}

irr::video::SColor IrrImageView::getPixel(irr::u32 x, irr::u32 y) const {
    if (x > 0x7FFFFFFFu || y > 0x7FFFFFFFu) return irr::video::SColor(0);
    return irr::video::SColor(image_->getPixel(int32_t(x), int32_t(y)));
}

void IrrImageView::setPixel(irr::u32 x, irr::u32 y, const irr::video::SColor& color, bool blend) {
    if (x >= image_->getDimension().Width || y >= image_->getDimension().Height) return;
    uint8_t* pixel = image_->getData() + size_t(y) * image_->getPitch() + size_t(x) * image_->getBytesPerPixel();
    uint32_t value = color.color;
    if (blend) value = blendOver(readPixel(pixel, image_->getColorFormat()), value);
    writePixel(pixel, image_->getColorFormat(), value);
}

irr::video::ECOLOR_FORMAT IrrImageView::getColorFormat() const {
    return static_cast<irr::video::ECOLOR_FORMAT>(image_->getColorFormat());
}

void IrrImageView::copyToScaling(void* target, irr::u32 width, irr::u32 height, irr::video::ECOLOR_FORMAT format,
                                 irr::u32 pitch) {
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return;
    image_->copyToScaling(target, int32_t(width), int32_t(height), format, pitch);
}

void IrrImageView::copyToScaling(irr::video::IImage* target) {
    if (!target) return;
    const irr::core::dimension2d<irr::u32>& size = target->getDimension();
    copyToScaling(target->lock(), size.Width, size.Height, target->getColorFormat(), target->getPitch());
    target->unlock();
}

void IrrImageView::copyTo(irr::video::IImage* target, const irr::core::position2d<irr::s32>& pos) {
    if (!target) return;
    blitPixels(image_->surface(), 0, 0, image_->getWidth(), image_->getHeight(), surfaceOf(target), pos.X, pos.Y);
    target->unlock();
}

void IrrImageView::copyTo(irr::video::IImage* target, const irr::core::position2d<irr::s32>& pos,
                          const irr::core::rect<irr::s32>& sourceRect, const irr::core::rect<irr::s32>* clipRect) {
    if (!target) return;
    blitPixels(image_->surface(), sourceRect.UpperLeftCorner.X, sourceRect.UpperLeftCorner.Y, sourceRect.getWidth(),
               sourceRect.getHeight(), surfaceOf(target), pos.X, pos.Y, clipRect);
    target->unlock();
}

void IrrImageView::copyToWithAlpha(irr::video::IImage* target, const irr::core::position2d<irr::s32>& pos,
                                   const irr::core::rect<irr::s32>& sourceRect, const irr::video::SColor& color,
                                   const irr::core::rect<irr::s32>* clipRect) {
    if (!target) return;
    const irr::core::dimension2d<irr::u32>& size = target->getDimension();
    irr::core::rect<irr::s32> area(0, 0, irr::s32(size.Width), irr::s32(size.Height));
    if (clipRect) area.clipAgainst(*clipRect);
    for (irr::s32 y = sourceRect.UpperLeftCorner.Y; y < sourceRect.LowerRightCorner.Y; ++y) {
        for (irr::s32 x = sourceRect.UpperLeftCorner.X; x < sourceRect.LowerRightCorner.X; ++x) {
            if (x < 0 || y < 0 || x >= image_->getWidth() || y >= image_->getHeight()) continue;
            const irr::s32 tx = pos.X + x - sourceRect.UpperLeftCorner.X;
            const irr::s32 ty = pos.Y + y - sourceRect.UpperLeftCorner.Y;
            if (tx < area.UpperLeftCorner.X || ty < area.UpperLeftCorner.Y || tx >= area.LowerRightCorner.X ||
                ty >= area.LowerRightCorner.Y)
                continue;
            const uint32_t src = modulate(image_->getPixel(x, y), color.color);
            target->setPixel(irr::u32(tx), irr::u32(ty), irr::video::SColor(src), true);
        }
    }
}

void IrrImageView::copyToScalingBoxFilter(irr::video::IImage* target, irr::s32 bias, bool blend) {
    if (!target || image_->getWidth() <= 0 || image_->getHeight() <= 0) return;
    const irr::core::dimension2d<irr::u32>& size = target->getDimension();
    if (size.Width == 0 || size.Height == 0) return;
    const uint32_t sw = uint32_t(image_->getWidth()), sh = uint32_t(image_->getHeight());
    for (irr::u32 ty = 0; ty < size.Height; ++ty) {
        const uint32_t y0 = uint32_t(uint64_t(ty) * sh / size.Height);
        const uint32_t y1 = std::max(y0 + 1, uint32_t(uint64_t(ty + 1) * sh / size.Height));
        for (irr::u32 tx = 0; tx < size.Width; ++tx) {
            const uint32_t x0 = uint32_t(uint64_t(tx) * sw / size.Width);
            const uint32_t x1 = std::max(x0 + 1, uint32_t(uint64_t(tx + 1) * sw / size.Width));
            uint64_t sum[4] = {0, 0, 0, 0};
            uint64_t count = 0;
            for (uint32_t y = y0; y < y1 && y < sh; ++y) {
                for (uint32_t x = x0; x < x1 && x < sw; ++x) {
                    const uint32_t p = image_->getPixel(int32_t(x), int32_t(y));
                    for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
                    ++count;
                }
            }
            uint32_t value = 0;
            for (int c = 0; c < 4; ++c) {
                const int64_t v = int64_t(count ? sum[c] / count : 0) + bias;
                value |= uint32_t(std::clamp<int64_t>(v, 0, 255)) << (8 * c);
            }
            target->setPixel(tx, ty, irr::video::SColor(value), blend);
        }
    }
}

Image* createImageFromIrr(irr::video::IImage* source, const CreationContext& context) {
    if (!source) return nullptr;
    const int32_t format = source->getColorFormat();
    if (bitsPerPixelOf(format) == 0) return nullptr;
    Image* image = new Image(context, static_cast<ColorFormat>(format), source->getDimension());
    const uint8_t* in = static_cast<const uint8_t*>(source->lock());
    const uint32_t rowBytes = image->getPitch();
    if (in && source->getPitch() >= rowBytes) {
        for (int32_t y = 0; y < image->getHeight(); ++y)
            std::memcpy(image->getData() + size_t(y) * rowBytes, in + size_t(y) * source->getPitch(), rowBytes);
    } else {
        std::memset(image->getData(), 0, image->getImageDataSizeInBytes());
    }
    source->unlock();
    return image;
}

irr::video::ITexture* createTextureFromImage(irr::video::IVideoDriver* driver, Image* image, const stringc& name) {
    if (!driver || !image) return nullptr;
    IrrImageView* view = new IrrImageView(image);
    // The driver needs a name; it lists the texture under it, which would keep
    // the texture alive with the driver. The caller owns it alone instead.
    irr::video::ITexture* texture = driver->addTexture(name.size() ? irr::io::path(name.c_str()) : irr::io::path("image"), view);
    view->drop();
    if (!texture) return nullptr;
    texture->grab();
    driver->removeTexture(texture);
    return texture;
}

}  // namespace engine
