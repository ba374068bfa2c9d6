#include "engine/platform/ImagePixels.h"
#include <algorithm>
#include <cstring>

namespace engine {

uint32_t bitsPerPixelOf(int32_t format) {
    switch (format) {
    case CF_A1R5G5B5:
    case CF_R5G6B5:
        return 16;
    case CF_R8G8B8:
        return 24;
    case CF_A8R8G8B8:
        return 32;
    default:
        return 0;
    }
}

ColorMasks colorMasksOf(int32_t format) {
    ColorMasks m;
    switch (format) {
    case CF_A1R5G5B5:
        m.red = 0x7C00;
        m.green = 0x03E0;
        m.blue = 0x001F;
        m.alpha = 0x8000;
        break;
    case CF_R5G6B5:
        m.red = 0xF800;
        m.green = 0x07E0;
        m.blue = 0x001F;
        break;
    case CF_R8G8B8:
        m.red = 0xFF0000;
        m.green = 0xFF00;
        m.blue = 0xFF;
        break;
    case CF_A8R8G8B8:
        m.red = 0xFF0000;
        m.green = 0xFF00;
        m.blue = 0xFF;
        m.alpha = 0xFF000000;
        break;
    default:
        break;
    }
    return m;
}

uint32_t readPixel(const uint8_t* p, int32_t format) {
    switch (format) {
    case CF_A1R5G5B5: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return irr::video::A1R5G5B5toA8R8G8B8(v);
    }
    case CF_R5G6B5: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return irr::video::R5G6B5toA8R8G8B8(v);
    }
    case CF_R8G8B8:
        return 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
    case CF_A8R8G8B8: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default:
        return 0;
    }
}

void writePixel(uint8_t* p, int32_t format, uint32_t argb) {
    switch (format) {
    case CF_A1R5G5B5: {
        const uint16_t v = irr::video::A8R8G8B8toA1R5G5B5(argb);
        std::memcpy(p, &v, 2);
        break;
    }
    case CF_R5G6B5: {
        const uint16_t v = irr::video::A8R8G8B8toR5G6B5(argb);
        std::memcpy(p, &v, 2);
        break;
    }
    case CF_R8G8B8:
        p[0] = uint8_t(argb >> 16);
        p[1] = uint8_t(argb >> 8);
        p[2] = uint8_t(argb);
        break;
    case CF_A8R8G8B8:
        std::memcpy(p, &argb, 4);
        break;
    default:
        break;
    }
}

void blitPixels(const PixelSurface& src, int32_t x, int32_t y, int32_t width, int32_t height,
                const PixelSurface& dst, int32_t targetX, int32_t targetY, const recti* clip) {
    const uint32_t srcBytes = bitsPerPixelOf(src.format) / 8;
    const uint32_t dstBytes = bitsPerPixelOf(dst.format) / 8;
    if (!src.data || !dst.data || srcBytes == 0 || dstBytes == 0) return;

    // The source rectangle inside the source surface; the target moves with it.
    int64_t sx0 = x, sy0 = y, sx1 = int64_t(x) + width, sy1 = int64_t(y) + height;
    int64_t tx = targetX, ty = targetY;
    if (sx0 < 0) { tx -= sx0; sx0 = 0; }
    if (sy0 < 0) { ty -= sy0; sy0 = 0; }
    sx1 = std::min<int64_t>(sx1, src.width);
    sy1 = std::min<int64_t>(sy1, src.height);

    // The target area, clipped to the target surface and the clip rectangle.
    int64_t dx0 = 0, dy0 = 0, dx1 = dst.width, dy1 = dst.height;
    if (clip) {
        dx0 = std::max<int64_t>(dx0, clip->UpperLeftCorner.X);
        dy0 = std::max<int64_t>(dy0, clip->UpperLeftCorner.Y);
        dx1 = std::min<int64_t>(dx1, clip->LowerRightCorner.X);
        dy1 = std::min<int64_t>(dy1, clip->LowerRightCorner.Y);
    }
    const int64_t left = std::max(tx, dx0);
    const int64_t top = std::max(ty, dy0);
    const int64_t right = std::min(tx + (sx1 - sx0), dx1);
    const int64_t bottom = std::min(ty + (sy1 - sy0), dy1);
    if (left >= right || top >= bottom) return;

    const int64_t columns = right - left;
    for (int64_t row = top; row < bottom; ++row) {
        const uint8_t* in = src.data + (sy0 + row - ty) * int64_t(src.pitch) + (sx0 + left - tx) * srcBytes;
        uint8_t* out = dst.data + row * int64_t(dst.pitch) + left * dstBytes;
        if (src.format == dst.format) {
            std::memmove(out, in, size_t(columns) * srcBytes);
            continue;
        }
        for (int64_t i = 0; i < columns; ++i) writePixel(out + i * dstBytes, dst.format, readPixel(in + i * srcBytes, src.format));
    }
}

}  // namespace engine
