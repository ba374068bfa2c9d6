#pragma once
// Fixtures for the image tests: images with distinct pixels, files written by
// the image manager's writers, and small files of each format built by hand.
#include "engine/core/RefCounted.h"
#include "engine/platform/Image.h"
#include <string>
#include <vector>

namespace image_test {

// Every pixel a different colour (opaque unless alpha varies is asked for).
engine::CountedRef<engine::Image> gradient(engine::ColorFormat format, uint32_t width, uint32_t height,
                                          bool varyAlpha = false);
// The bytes the image manager writes for a file of that name; empty on failure.
std::string writeImageBytes(engine::Image* image, const char* fileName, const uint32_t* quality = nullptr);
// The image manager's result for the bytes as a file of that name (count 1, or null).
engine::Image* loadImageBytes(const std::string& bytes, const char* fileName);

void setLe16(std::string& bytes, size_t at, uint16_t value);
void setLe32(std::string& bytes, size_t at, uint32_t value);
void setBe32(std::string& bytes, size_t at, uint32_t value);
// Recomputes the CRC of the PNG chunk whose length field is at the offset.
void fixPngChunkCrc(std::string& png, size_t chunkOffset);
// The offset of the first PNG chunk of that type, or npos.
size_t findPngChunk(const std::string& png, const char* type);

// A bitmap with a palette: 8-bit pixels, rows bottom-up, padded to 4 bytes.
std::string bmp8(uint32_t width, uint32_t height, const std::vector<uint32_t>& palette,
                 const std::vector<uint8_t>& indices);
// An uncompressed 16-bit bitmap of 5-5-5 pixels, top row first.
std::string bmp16(uint32_t width, uint32_t height, const std::vector<uint16_t>& pixels);
// A bitmap with a palette and run-length data given as its bytes.
std::string bmpRle8(uint32_t width, uint32_t height, const std::vector<uint32_t>& palette, const std::string& runs);
// A TGA file: header fields, optional colour map and the bytes after it.
std::string tga(uint8_t type, uint8_t depth, uint16_t width, uint16_t height, const std::string& colourMap,
                uint8_t colourMapEntryBits, const std::string& data, uint8_t descriptor = 0x20);
// An 8-bit PCX file, run-length encoded: one plane with a 256-colour palette
// (indices) or three planes (RGB triples).
std::string pcx8(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices,
                 const std::vector<uint32_t>& palette);
std::string pcx24(uint32_t width, uint32_t height, const std::vector<uint32_t>& rgb);
// A WAL texture of 8-bit indices.
std::string wal(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices);

}  // namespace image_test
