#pragma once
// Formats the engine decodes itself instead of handing them to Irrlicht's
// loaders. Irrlicht's JPEG loader keeps a row's length in 16 bits (a picture
// wider than 21,845 pixels overruns its buffer) and leaks its pixels when the
// decoder fails late in a file; its BMP loader steps over the row padding of
// 16-bit pictures in pixels instead of bytes, so odd widths read past the
// buffer and shear the rows. Both expect a file that the matching check of
// ImageFileChecks.h accepted.
#include "engine/platform/Image.h"
#include "engine/platform/ImageFileChecks.h"
#include <string>

namespace engine {

// A new R8G8B8 image (count 1) of the JPEG in memory, decoded as Irrlicht
// decodes it (plain upsampling, CMYK scaled by its black channel), or null
// with the decoder's complaint in problem.
Image* decodeJpeg(const uint8_t* data, size_t size, const CreationContext& context, std::string& problem);

// A new A1R5G5B5 image (count 1) of an uncompressed 16-bit bitmap. The format
// has no alpha: the unused top bit of each pixel is ignored and every pixel
// is opaque.
Image* decodeBmp16(const uint8_t* data, size_t size, const ImageFileInfo& info, const CreationContext& context);

}  // namespace engine
