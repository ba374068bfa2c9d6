#include "platform/ImageTestSupport.h"
#include "engine/io/IrrRef.h"
#include "engine/io/MemoryFile.h"
#include "engine/platform/ImageManager.h"
#include <zlib.h>

using namespace engine;

namespace image_test {

CountedRef<Image> gradient(ColorFormat format, uint32_t width, uint32_t height, bool varyAlpha) {
    CountedRef<Image> image(new Image(CreationContext(), format, dimension2du(width, height)));
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t alpha = varyAlpha ? (255 - 9 * x - 5 * y) & 0xFF : 255;
            const SColor c(alpha, (20 * x + 7) & 0xFF, (40 * y + 60) & 0xFF, (200 - 11 * x - 3 * y) & 0xFF);
            writePixel(image->getData() + y * image->getPitch() + x * image->getBytesPerPixel(), format, c.color);
        }
    return image;
}

std::string writeImageBytes(Image* image, const char* fileName, const uint32_t* quality) {
    IrrRef<VirtualFile> file(new VirtualFile(fileName, 4096));
    if (!ImageManager::instance().writeImage(image, file.get(), quality)) return {};
    std::string bytes(size_t(file->getSize()), '\0');
    file->seek(0);
    file->read(bytes.data(), irr::u32(bytes.size()));
    return bytes;
}

Image* loadImageBytes(const std::string& bytes, const char* fileName) {
    // A private copy, so that reads past the end of the file show up under
    // the sanitizers.
    char* copy = new char[bytes.size() ? bytes.size() : 1];
    std::copy(bytes.begin(), bytes.end(), copy);
    IrrRef<MemoryFile> file(new MemoryFile(copy, int32_t(bytes.size()), fileName, true));
    return ImageManager::instance().loadImage(file.get(), CreationContext());
}

void setLe16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void setLe32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

void setBe32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}

static uint32_t be32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 3]));
}

void fixPngChunkCrc(std::string& png, size_t at) {
    const uint32_t length = be32(png, at);
    const uint32_t crc =
        uint32_t(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(png.data() + at + 4), 4 + length));
    setBe32(png, at + 8 + length, crc);
}

size_t findPngChunk(const std::string& png, const char* type) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        if (png.compare(at + 4, 4, type) == 0) return at;
        at += 12 + be32(png, at);
    }
    return std::string::npos;
}

static std::string bmpHeader(uint32_t width, uint32_t height, uint32_t compression, const std::vector<uint32_t>& palette,
                             uint32_t dataSize) {
    const uint32_t offset = 54 + 4 * uint32_t(palette.size());
    std::string b(offset, '\0');
    b[0] = 'B';
    b[1] = 'M';
    setLe32(b, 2, offset + dataSize);
    setLe32(b, 10, offset);
    setLe32(b, 14, 40);
    setLe32(b, 18, width);
    setLe32(b, 22, height);
    setLe16(b, 26, 1);
    setLe16(b, 28, 8);
    setLe32(b, 30, compression);
    setLe32(b, 34, dataSize);
    setLe32(b, 46, uint32_t(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) setLe32(b, 54 + 4 * i, palette[i] & 0xFFFFFF);  // B, G, R, 0
    return b;
}

std::string bmp8(uint32_t width, uint32_t height, const std::vector<uint32_t>& palette,
                 const std::vector<uint8_t>& indices) {
    const uint32_t line = (width + 3) & ~3u;
    std::string data(line * height, '\0');
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) data[(height - 1 - y) * line + x] = char(indices[y * width + x]);
    return bmpHeader(width, height, 0, palette, uint32_t(data.size())) + data;
}

std::string bmp16(uint32_t width, uint32_t height, const std::vector<uint16_t>& pixels) {
    const uint32_t line = (2 * width + 3) & ~3u;
    std::string data(line * height, '\0');
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) setLe16(data, (height - 1 - y) * line + 2 * x, pixels[y * width + x]);
    std::string b = bmpHeader(width, height, 0, {}, uint32_t(data.size()));
    setLe16(b, 28, 16);
    return b + data;
}

std::string bmpRle8(uint32_t width, uint32_t height, const std::vector<uint32_t>& palette, const std::string& runs) {
    return bmpHeader(width, height, 1, palette, uint32_t(runs.size())) + runs;
}

std::string tga(uint8_t type, uint8_t depth, uint16_t width, uint16_t height, const std::string& colourMap,
                uint8_t colourMapEntryBits, const std::string& data, uint8_t descriptor) {
    std::string h(18, '\0');
    h[1] = colourMap.empty() ? 0 : 1;
    h[2] = char(type);
    if (!colourMap.empty()) {
        setLe16(h, 5, uint16_t(colourMap.size() / (colourMapEntryBits / 8)));
        h[7] = char(colourMapEntryBits);
    }
    setLe16(h, 12, width);
    setLe16(h, 14, height);
    h[16] = char(depth);
    h[17] = char(descriptor);
    return h + colourMap + data;
}

static std::string pcxHeader(uint32_t width, uint32_t height, uint8_t planes, uint16_t bytesPerLine) {
    std::string h(128, '\0');
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    setLe16(h, 8, uint16_t(width - 1));
    setLe16(h, 10, uint16_t(height - 1));
    h[65] = char(planes);
    setLe16(h, 66, bytesPerLine);
    setLe16(h, 68, 1);
    return h;
}

// One encoded scan line: bytes of 0xC0 and above always go in a run.
static void pcxEncode(std::string& out, const std::vector<uint8_t>& line) {
    for (size_t i = 0; i < line.size();) {
        size_t run = 1;
        while (i + run < line.size() && line[i + run] == line[i] && run < 63) ++run;
        if (run > 1 || line[i] >= 0xC0) {
            out += char(0xC0 | run);
            out += char(line[i]);
        } else {
            out += char(line[i]);
        }
        i += run;
    }
}

std::string pcx8(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices,
                 const std::vector<uint32_t>& palette) {
    const uint16_t bytesPerLine = uint16_t((width + 1) & ~1u);
    std::string b = pcxHeader(width, height, 1, bytesPerLine);
    for (uint32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> line(bytesPerLine, 0);
        for (uint32_t x = 0; x < width; ++x) line[x] = indices[y * width + x];
        pcxEncode(b, line);
    }
    b += char(0x0C);
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t c = i < palette.size() ? palette[i] : 0;
        b += char((c >> 16) & 0xFF);
        b += char((c >> 8) & 0xFF);
        b += char(c & 0xFF);
    }
    return b;
}

std::string pcx24(uint32_t width, uint32_t height, const std::vector<uint32_t>& rgb) {
    const uint16_t bytesPerLine = uint16_t((width + 1) & ~1u);
    std::string b = pcxHeader(width, height, 3, bytesPerLine);
    for (uint32_t y = 0; y < height; ++y)
        for (int shift : {16, 8, 0}) {
            std::vector<uint8_t> line(bytesPerLine, 0);
            for (uint32_t x = 0; x < width; ++x) line[x] = uint8_t(rgb[y * width + x] >> shift);
            pcxEncode(b, line);
        }
    return b;
}

std::string wal(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices) {
    std::string b(100, '\0');
    b.replace(0, 4, "wall");
    setLe32(b, 32, width);
    setLe32(b, 36, height);
    setLe32(b, 40, 100);
    setLe32(b, 44, 100 + width * height);
    setLe32(b, 48, 100 + width * height);
    setLe32(b, 52, 100 + width * height);
    b.append(indices.begin(), indices.end());
    return b;
}

}  // namespace image_test
