#pragma once
// Pixel formats of the engine's images and the routines that read, write,
// convert and copy their pixels. Colours travel between formats as 32-bit ARGB;
// 16-bit formats are widened and narrowed with Irrlicht's colour helpers.
#include "engine/core/Types.h"
#include <cstdint>

namespace engine {

// Colour formats; the values are those of Irrlicht's ECOLOR_FORMAT.
enum ColorFormat : int32_t {
    CF_A1R5G5B5 = 0,
    CF_R5G6B5 = 1,
    CF_R8G8B8 = 2,  // bytes red, green, blue
    CF_A8R8G8B8 = 3,
};

// 16, 16, 24 or 32; 0 for any other value.
uint32_t bitsPerPixelOf(int32_t format);

// The channel masks of a format (all 0 for an unknown format).
struct ColorMasks {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    uint32_t alpha = 0;
};
ColorMasks colorMasksOf(int32_t format);

// One pixel as ARGB (R8G8B8 reads with alpha 255); 0 for an unknown format.
uint32_t readPixel(const uint8_t* pixel, int32_t format);
// Stores an ARGB colour in the format (16-bit formats keep the top bits of
// each channel). Nothing happens for an unknown format.
void writePixel(uint8_t* pixel, int32_t format, uint32_t argb);

// A block of pixels in memory: rows of pitch bytes, top row first.
struct PixelSurface {
    uint8_t* data = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = CF_A8R8G8B8;
    uint32_t pitch = 0;
};

// Copies the source rectangle (x, y, width, height) of src to (targetX,
// targetY) of dst, converting the format. Whatever falls outside either
// surface, or outside the clip rectangle of dst when one is given, is left out.
void blitPixels(const PixelSurface& src, int32_t x, int32_t y, int32_t width, int32_t height,
                const PixelSurface& dst, int32_t targetX, int32_t targetY, const recti* clip = nullptr);

}  // namespace engine
