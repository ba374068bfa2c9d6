#pragma once
// Checks that an image file is whole and consistent before Irrlicht's loader
// for its format reads it. Those loaders trust the sizes a file declares: a
// file that is cut short or lies about its size makes them read or write past
// their buffers. Each check reads only inside the bytes it is given, and
// accepts a file only when the loader can read it without leaving its buffers.
#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

// Limits on the images the engine loads, so that a lying header cannot make a
// loader allocate without bound.
constexpr int32_t kMaxImageSide = 32768;
constexpr int64_t kMaxImagePixels = int64_t(1) << 26;

struct ImageFileInfo {
    enum Status {
        NotThisFormat,  // the file does not start like the format: no message
        Rejected,       // a file of the format that cannot be loaded safely
        Accepted,
    };
    Status status = NotThisFormat;
    std::string reason;  // why a file was rejected
    int32_t width = 0;
    int32_t height = 0;
    char ppmKind = 0;          // PPM family: the digit after 'P'
    size_t dataOffset = 0;     // PPM family and BMP: the first byte of the pixels
    int32_t maxValue = 0;      // PPM family: the largest sample value (1 for bitmaps)
    int32_t bitsPerPixel = 0;  // BMP
    bool compressed = false;   // BMP: run-length data
};

ImageFileInfo checkBmpFile(const uint8_t* data, size_t size);
ImageFileInfo checkJpegFile(const uint8_t* data, size_t size);
ImageFileInfo checkTgaFile(const uint8_t* data, size_t size);
ImageFileInfo checkPcxFile(const uint8_t* data, size_t size);
ImageFileInfo checkPngFile(const uint8_t* data, size_t size);
ImageFileInfo checkWalFile(const uint8_t* data, size_t size);
ImageFileInfo checkPpmFile(const uint8_t* data, size_t size);

}  // namespace engine
