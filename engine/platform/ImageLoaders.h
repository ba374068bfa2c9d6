#pragma once
// The image manager's loaders and writers, one per file format. The decoding
// and encoding are Irrlicht's, except for the PPM family, JPEG and 16-bit BMP,
// which the engine decodes itself (see ImageDecoders.h); each loader first
// checks the file (see ImageFileChecks.h) so that no decoder reads a broken
// file.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/platform/Image.h"

namespace engine {

// Reads one image format.
class ImageLoader : public virtual RefCounted {
public:
    // By the file name's extension (case is ignored).
    virtual bool isALoadableFileExtension(const stringc& fileName) const = 0;
    // By the first bytes of the file; the file's position moves.
    virtual bool isALoadableFileFormat(irr::io::IReadFile* file) const = 0;
    // The whole file as a new image (count 1) made with the context, or null.
    // A damaged file is reported through the engine logger.
    virtual Image* loadImage(irr::io::IReadFile* file, const CreationContext& context) const = 0;
};

// Writes one image format.
class ImageWriter : public virtual RefCounted {
public:
    ~ImageWriter() override = default;
    virtual bool isAWriteableFileExtension(const stringc& fileName) const = 0;
    // The parameter is the quality (1 to 100) for JPEG and unused otherwise.
    virtual bool writeImage(irr::io::IWriteFile* file, Image* image, uint32_t param) const = 0;
};

enum class ImageFormat { Bmp, Jpeg, Tga, Pcx, Png, Wal, Ppm };

// A new loader of the format (count 1). The PPM loader also reads PGM and PBM.
ImageLoader* createImageLoader(ImageFormat format);
// A new writer of the format (count 1); null for WAL, which has none.
ImageWriter* createImageWriter(ImageFormat format);

// Files larger than this are not read as images.
constexpr long kMaxImageFileBytes = 256L * 1024 * 1024;

}  // namespace engine
