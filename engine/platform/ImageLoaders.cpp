#include "engine/platform/ImageLoaders.h"
#include "engine/core/Logger.h"
#include "engine/io/IrrRef.h"
#include "engine/io/MemoryFile.h"
#include "engine/platform/ImageBridge.h"
#include "engine/platform/ImageDecoders.h"
#include "engine/platform/ImageFileChecks.h"
#include <string>
#include <vector>

namespace irr {
namespace video {
// Irrlicht's loaders and writers, exported by the library but declared only in
// its private headers.
IImageLoader* createImageLoaderBMP();
IImageLoader* createImageLoaderJPG();
IImageLoader* createImageLoaderTGA();
IImageLoader* createImageLoaderPCX();
IImageLoader* createImageLoaderPNG();
IImageLoader* createImageLoaderWAL();
IImageLoader* createImageLoaderPPM();
IImageWriter* createImageWriterBMP();
IImageWriter* createImageWriterJPG();
IImageWriter* createImageWriterTGA();
IImageWriter* createImageWriterPNG();
IImageWriter* createImageWriterPPM();
}  // namespace video
}  // namespace irr

namespace engine {

namespace {

const char* formatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp:
        return "BMP";
    case ImageFormat::Jpeg:
        return "JPEG";
    case ImageFormat::Tga:
        return "TGA";
    case ImageFormat::Pcx:
        return "PCX";
    case ImageFormat::Png:
        return "PNG";
    case ImageFormat::Wal:
        return "WAL";
    case ImageFormat::Ppm:
        return "PPM";
    }
    return "image";
}

using FileCheck = ImageFileInfo (*)(const uint8_t*, size_t);

FileCheck checkOf(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp:
        return checkBmpFile;
    case ImageFormat::Jpeg:
        return checkJpegFile;
    case ImageFormat::Tga:
        return checkTgaFile;
    case ImageFormat::Pcx:
        return checkPcxFile;
    case ImageFormat::Png:
        return checkPngFile;
    case ImageFormat::Wal:
        return checkWalFile;
    case ImageFormat::Ppm:
        return checkPpmFile;
    }
    return nullptr;
}

void logImageError(ImageFormat format, const std::string& problem, const irr::io::path& fileName) {
    const std::string text = std::string(formatName(format)) + " image not loaded: " + problem;
    getLogger().log(text.c_str(), fileName.c_str(), LOG_ERROR);
}

// Decodes the PPM family (PBM, PGM, PPM; plain and raw) into an ARGB image.
// Irrlicht's reader of these runs past its buffer on bitmaps, exchanges red
// and blue, and takes raw samples that look like white space for separators,
// so the engine reads them itself. Null when the pixel data is incomplete or
// holds a sample above the maximum.
Image* decodePnm(const std::vector<uint8_t>& file, const ImageFileInfo& info, const CreationContext& context) {
    const size_t width = size_t(info.width), height = size_t(info.height), count = width * height;
    const int channels = (info.ppmKind == '3' || info.ppmKind == '6') ? 3 : 1;
    const uint32_t maxValue = uint32_t(info.maxValue);
    std::vector<uint32_t> samples;
    samples.reserve(count * channels);
    size_t pos = info.dataOffset;

    if (info.ppmKind == '4') {
        const size_t rowBytes = (width + 7) / 8;
        for (size_t y = 0; y < height; ++y)
            for (size_t x = 0; x < width; ++x) samples.push_back((file[pos + y * rowBytes + x / 8] >> (7 - x % 8)) & 1);
    } else if (info.ppmKind == '5' || info.ppmKind == '6') {
        samples.assign(file.begin() + long(pos), file.begin() + long(pos + count * channels));
    } else {
        // Plain formats: numbers between white space and comments; bitmap
        // digits need no separators.
        while (samples.size() < count * channels) {
            if (pos >= file.size()) return nullptr;
            const uint8_t c = file[pos];
            if (c == '#') {
                while (pos < file.size() && file[pos] != '\n' && file[pos] != '\r') ++pos;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
                ++pos;
            } else if (c < '0' || c > '9') {
                return nullptr;
            } else if (info.ppmKind == '1') {
                samples.push_back(c - '0');
                ++pos;
            } else {
                uint32_t value = 0;
                while (pos < file.size() && file[pos] >= '0' && file[pos] <= '9' && value <= maxValue)
                    value = value * 10 + (file[pos++] - '0');
                samples.push_back(value);
            }
        }
    }

    Image* image = new Image(context, CF_A8R8G8B8, dimension2du(uint32_t(width), uint32_t(height)));
    for (size_t i = 0; i < count; ++i) {
        uint32_t rgb[3];
        for (int c = 0; c < 3; ++c) {
            const uint32_t sample = samples[i * channels + (channels == 3 ? c : 0)];
            if (sample > maxValue) {
                image->release();
                return nullptr;
            }
            // A set bit of a bitmap is black.
            rgb[c] = info.ppmKind == '1' || info.ppmKind == '4' ? (sample ? 0 : 255) : (sample * 255 + maxValue / 2) / maxValue;
        }
        writePixel(image->getData() + i * 4, CF_A8R8G8B8, 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
    }
    return image;
}

class IrrlichtImageLoader : public ImageLoader {
public:
    IrrlichtImageLoader(ImageFormat format, irr::video::IImageLoader* loader) : format_(format), loader_(loader) {}

    bool isALoadableFileExtension(const stringc& fileName) const override {
        return loader_->isALoadableFileExtension(irr::io::path(fileName.c_str()));
    }
    // Irrlicht's tests read a few bytes without checking that they got them.
    bool isALoadableFileFormat(irr::io::IReadFile* file) const override {
        return file && file->getSize() >= minimumTestedSize() && loader_->isALoadableFileFormat(file);
    }

    Image* loadImage(irr::io::IReadFile* file, const CreationContext& context) const override {
        if (!file) return nullptr;
        const irr::io::path& name = file->getFileName();
        const long size = file->getSize();
        if (size <= 0) {
            logImageError(format_, "empty file", name);
            return nullptr;
        }
        if (size > kMaxImageFileBytes) {
            logImageError(format_, "file too large", name);
            return nullptr;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        if (!file->seek(0) || file->read(bytes.data(), irr::u32(size)) != irr::s32(size)) {
            logImageError(format_, "file could not be read", name);
            return nullptr;
        }

        const ImageFileInfo info = checkOf(format_)(bytes.data(), bytes.size());
        // A file that only carries the extension of this format is left to
        // the loaders that recognise its content, without a message.
        if (info.status == ImageFileInfo::NotThisFormat) return nullptr;
        if (info.status == ImageFileInfo::Rejected) {
            logImageError(format_, info.reason, name);
            return nullptr;
        }
        if (format_ == ImageFormat::Ppm) {
            Image* image = decodePnm(bytes, info, context);
            if (!image) logImageError(format_, "damaged pixel data", name);
            return image;
        }
        if (format_ == ImageFormat::Jpeg) {
            std::string problem;
            Image* image = decodeJpeg(bytes.data(), bytes.size(), context, problem);
            if (!image) logImageError(format_, problem, name);
            return image;
        }
        if (format_ == ImageFormat::Bmp && info.bitsPerPixel == 16 && !info.compressed) {
            Image* image = decodeBmp16(bytes.data(), bytes.size(), info, context);
            if (!image) logImageError(format_, "pixel data cut short", name);
            return image;
        }

        IrrRef<MemoryFile> memory(new MemoryFile(bytes.data(), int32_t(bytes.size()), stringc(name.c_str()), false));
        IrrRef<irr::video::IImage> decoded(loader_->loadImage(memory.get()));
        Image* image = createImageFromIrr(decoded.get(), context);
        if (!image) {
            logImageError(format_, "could not be decoded", name);
            return nullptr;
        }
        return image;
    }

private:
    // The bytes Irrlicht's content test of the format reads.
    long minimumTestedSize() const {
        switch (format_) {
        case ImageFormat::Jpeg:
            return 10;  // the "JFIF" or "Exif" tag at offset 6
        case ImageFormat::Tga:
            return 26;  // the footer
        case ImageFormat::Png:
            return 8;
        default:
            return 2;
        }
    }

    ImageFormat format_;
    IrrRef<irr::video::IImageLoader> loader_;
};

class IrrlichtImageWriter : public ImageWriter {
public:
    explicit IrrlichtImageWriter(irr::video::IImageWriter* writer) : writer_(writer) {}

    bool isAWriteableFileExtension(const stringc& fileName) const override {
        return writer_->isAWriteableFileExtension(irr::io::path(fileName.c_str()));
    }
    bool writeImage(irr::io::IWriteFile* file, Image* image, uint32_t param) const override {
        if (!file || !image || !image->getData() || image->getWidth() <= 0 || image->getHeight() <= 0 ||
            image->getBitsPerPixel() == 0)
            return false;
        IrrRef<IrrImageView> view(new IrrImageView(image));
        return writer_->writeImage(file, view.get(), param);
    }

private:
    IrrRef<irr::video::IImageWriter> writer_;
};

// PCX files are read but not written.
class PcxImageWriter : public ImageWriter {
public:
    bool isAWriteableFileExtension(const stringc& fileName) const override {
        return irr::core::hasFileExtension(irr::io::path(fileName.c_str()), "pcx");
    }
    bool writeImage(irr::io::IWriteFile*, Image*, uint32_t) const override {
        getLogger().log("PCX writer not yet implemented. Image not written.", LOG_WARNING);
        return false;
    }
};

}  // namespace

ImageLoader* createImageLoader(ImageFormat format) {
    irr::video::IImageLoader* loader = nullptr;
    switch (format) {
    case ImageFormat::Bmp:
        loader = irr::video::createImageLoaderBMP();
        break;
    case ImageFormat::Jpeg:
        loader = irr::video::createImageLoaderJPG();
        break;
    case ImageFormat::Tga:
        loader = irr::video::createImageLoaderTGA();
        break;
    case ImageFormat::Pcx:
        loader = irr::video::createImageLoaderPCX();
        break;
    case ImageFormat::Png:
        loader = irr::video::createImageLoaderPNG();
        break;
    case ImageFormat::Wal:
        loader = irr::video::createImageLoaderWAL();
        break;
    case ImageFormat::Ppm:
        loader = irr::video::createImageLoaderPPM();
        break;
    }
    return loader ? new IrrlichtImageLoader(format, loader) : nullptr;
}

ImageWriter* createImageWriter(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp:
        return new IrrlichtImageWriter(irr::video::createImageWriterBMP());
    case ImageFormat::Jpeg:
        return new IrrlichtImageWriter(irr::video::createImageWriterJPG());
    case ImageFormat::Tga:
        return new IrrlichtImageWriter(irr::video::createImageWriterTGA());
    case ImageFormat::Pcx:
        return new PcxImageWriter();
    case ImageFormat::Png:
        return new IrrlichtImageWriter(irr::video::createImageWriterPNG());
    case ImageFormat::Ppm:
        return new IrrlichtImageWriter(irr::video::createImageWriterPPM());
    case ImageFormat::Wal:
        return nullptr;
    }
    return nullptr;
}

}  // namespace engine
