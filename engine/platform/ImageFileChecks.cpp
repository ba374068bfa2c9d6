#include "engine/platform/ImageFileChecks.h"
#include <zlib.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace engine {

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]); }

ImageFileInfo rejected(const std::string& reason) {
    ImageFileInfo info;
    info.status = ImageFileInfo::Rejected;
    info.reason = reason;
    return info;
}

ImageFileInfo accepted(int64_t width, int64_t height) {
    ImageFileInfo info;
    info.status = ImageFileInfo::Accepted;
    info.width = int32_t(width);
    info.height = int32_t(height);
    return info;
}

bool sizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

ImageFileInfo rejectedSize(int64_t width, int64_t height) {
    return rejected("image size " + std::to_string(width) + " x " + std::to_string(height) +
                    " outside the supported range");
}

// ---------------------------------------------------------------- BMP

// 8-bit run-length data as the bitmap loader decodes it. The loader neither
// bounds its input nor clears its output, so the data must end with the end
// mark inside the block and set every pixel of the image exactly in order.
const char* checkBmpRle8(const uint8_t* d, size_t n, int64_t width, int64_t height, uint32_t paletteEntries) {
    size_t pos = 0;
    int64_t x = 0, y = 0;
    for (;;) {
        if (pos + 2 > n) return "run-length data cut short";
        const uint8_t a = d[pos], b = d[pos + 1];
        pos += 2;
        if (a != 0) {
            if (y >= height || x + a > width) return "run-length data outside the image";
            if (b >= paletteEntries) return "colour index beyond the palette";
            x += a;
        } else if (b == 0) {
            if (x != width) return "run-length data leaves pixels undefined";
            x = 0;
            ++y;
        } else if (b == 1) {
            const bool complete = (y == height - 1 && x == width) || (y == height && x == 0);
            return complete ? nullptr : "run-length data leaves pixels undefined";
        } else if (b == 2) {
            return "run-length data leaves pixels undefined";
        } else {
            const size_t bytes = size_t(b) + (b & 1);
            if (pos + bytes > n) return "run-length data cut short";
            if (y >= height || x + b > width) return "run-length data outside the image";
            for (size_t i = 0; i < b; ++i)
                if (d[pos + i] >= paletteEntries) return "colour index beyond the palette";
            x += b;
            pos += bytes;
        }
    }
}

}  // namespace

ImageFileInfo checkBmpFile(const uint8_t* d, size_t n) {
    if (n < 2 || d[0] != 'B' || d[1] != 'M') return {};
    if (n < 54) return rejected("bitmap header cut short");
    const uint32_t offset = le32(d + 10);
    const uint32_t infoSize = le32(d + 14);
    const int32_t width = int32_t(le32(d + 18));
    const int32_t height = int32_t(le32(d + 22));
    const uint16_t bpp = le16(d + 28);
    const uint32_t compression = le32(d + 30);
    uint32_t dataSize = le32(d + 34);

    if (infoSize < 40) return rejected("unsupported bitmap header");
    if (height < 0) return rejected("top-down bitmaps are not supported");
    if (!sizeAllowed(width, height)) return rejectedSize(width, height);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return rejected("unsupported bits per pixel");
    if (compression == 2) return rejected("4-bit run-length compression is not supported");
    if (compression > 1 || (compression == 1 && bpp != 8)) return rejected("unsupported compression");
    if (offset < 54 || offset > n) return rejected("pixel data offset outside the file");

    const size_t available = n - offset;
    if (dataSize == 0) dataSize = uint32_t(std::min<size_t>(available, 0xFFFFFFFFu));
    if (dataSize > available) return rejected("declares more pixel data than the file holds");
    // The loader takes every 4 bytes between the header and the pixels as a
    // palette entry.
    const uint32_t paletteEntries = (offset - 54) / 4;
    const uint8_t* pixels = d + offset;

    ImageFileInfo info = accepted(width, height);
    info.dataOffset = offset;
    info.bitsPerPixel = bpp;
    info.compressed = compression == 1;
    if (compression == 1) {
        if (const char* problem = checkBmpRle8(pixels, dataSize, width, height, paletteEntries)) return rejected(problem);
        return info;
    }
    const uint64_t rowBytes = (uint64_t(width) * bpp + 7) / 8;
    const uint64_t lineBytes = (rowBytes + 3) & ~uint64_t(3);
    if (uint64_t(dataSize) < lineBytes * uint64_t(height)) return rejected("pixel data cut short");
    if (bpp == 4 || bpp == 8) {
        for (int64_t y = 0; y < height; ++y) {
            const uint8_t* row = pixels + y * lineBytes;
            for (int64_t x = 0; x < width; ++x) {
                const uint32_t index = bpp == 8 ? row[x] : (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
                if (index >= paletteEntries) return rejected("colour index beyond the palette");
            }
        }
    }
    return info;
}

// ---------------------------------------------------------------- JPEG

ImageFileInfo checkJpegFile(const uint8_t* d, size_t n) {
    if (n < 3 || d[0] != 0xFF || d[1] != 0xD8 || d[2] != 0xFF) return {};
    struct Component {
        int h;
        int v;
    };
    std::vector<Component> components;
    bool haveFrame = false, haveScan = false, huffmanBlocks = false;
    int64_t width = 0, height = 0;
    uint64_t entropyBytes = 0;
    size_t pos = 2;

    for (;;) {
        // Like the decoder, skip stray bytes before a marker and fill bytes.
        while (pos < n && d[pos] != 0xFF) ++pos;
        while (pos < n && d[pos] == 0xFF) ++pos;
        if (pos >= n) return rejected("cut short before its end marker");
        const uint8_t marker = d[pos++];
        if (marker == 0xD9) break;
        if (marker == 0x00 || marker == 0xD8) return rejected("damaged marker structure");
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
        if (pos + 2 > n) return rejected("cut short in a marker segment");
        const size_t length = be16(d + pos);
        if (length < 2) return rejected("damaged marker segment");
        if (pos + length > n) return rejected("cut short in a marker segment");
        const uint8_t* seg = d + pos + 2;
        const size_t segLength = length - 2;

        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (haveFrame) return rejected("more than one frame header");
            if (segLength < 6) return rejected("damaged frame header");
            height = be16(seg + 1);
            width = be16(seg + 3);
            const size_t count = seg[5];
            if (count < 1 || count > 4 || segLength != 6 + 3 * count) return rejected("damaged frame header");
            if (height == 0) return rejected("image height after the image data is not supported");
            if (!sizeAllowed(width, height)) return rejectedSize(width, height);
            for (size_t i = 0; i < count; ++i) {
                const int h = seg[6 + 3 * i + 1] >> 4, v = seg[6 + 3 * i + 1] & 0x0F;
                if (h < 1 || h > 4 || v < 1 || v > 4) return rejected("damaged frame header");
                components.push_back({h, v});
            }
            // Baseline, extended and progressive Huffman coding spend at least
            // one bit on every block.
            huffmanBlocks = marker <= 0xC2;
            haveFrame = true;
        } else if (marker == 0xC4) {
            size_t p = 0;
            while (p < segLength) {
                if (p + 17 > segLength) return rejected("damaged Huffman table");
                size_t symbols = 0;
                for (size_t i = 1; i <= 16; ++i) symbols += seg[p + i];
                if (symbols > 256 || p + 17 + symbols > segLength) return rejected("damaged Huffman table");
                p += 17 + symbols;
            }
        } else if (marker == 0xDB) {
            size_t p = 0;
            while (p < segLength) {
                const size_t tableBytes = (seg[p] >> 4) ? 128 : 64;
                if (p + 1 + tableBytes > segLength) return rejected("damaged quantisation table");
                p += 1 + tableBytes;
            }
        } else if (marker == 0xDD) {
            if (segLength != 2) return rejected("damaged restart interval");
        } else if (marker == 0xDA) {
            if (!haveFrame) return rejected("image data before the frame header");
            if (segLength < 1) return rejected("damaged scan header");
            const size_t count = seg[0];
            if (count < 1 || count > 4 || segLength != 4 + 2 * count) return rejected("damaged scan header");
            haveScan = true;
            pos += length;
            // The coded data runs to the next marker other than a restart
            // marker; 0xFF 0x00 stands for a data byte 0xFF.
            for (;;) {
                if (pos >= n) return rejected("cut short in its image data");
                if (d[pos] != 0xFF) {
                    ++pos;
                    ++entropyBytes;
                    continue;
                }
                if (pos + 1 >= n) return rejected("cut short in its image data");
                const uint8_t next = d[pos + 1];
                if (next == 0x00) {
                    pos += 2;
                    ++entropyBytes;
                } else if (next >= 0xD0 && next <= 0xD7) {
                    pos += 2;
                } else if (next == 0xFF) {
                    ++pos;
                } else {
                    break;
                }
            }
            continue;
        }
        pos += length;
    }
    if (!haveFrame || !haveScan) return rejected("no image data");

    if (huffmanBlocks) {
        int hMax = 1, vMax = 1;
        for (const Component& c : components) {
            hMax = std::max(hMax, c.h);
            vMax = std::max(vMax, c.v);
        }
        uint64_t blocks = 0;
        for (const Component& c : components) {
            const uint64_t w = (uint64_t(width) * c.h + hMax - 1) / hMax;
            const uint64_t h = (uint64_t(height) * c.v + vMax - 1) / vMax;
            blocks += ((w + 7) / 8) * ((h + 7) / 8);
        }
        if (entropyBytes * 8 < blocks) return rejected("image data too short for the declared size");
    }
    return accepted(width, height);
}

// ---------------------------------------------------------------- TGA

ImageFileInfo checkTgaFile(const uint8_t* d, size_t n) {
    // The format has no signature: the header decides.
    if (n < 18) return rejected("header cut short");
    const uint8_t idLength = d[0], mapType = d[1], type = d[2];
    const uint16_t mapLength = le16(d + 5);
    const uint8_t mapEntrySize = d[7];
    const int64_t width = le16(d + 12), height = le16(d + 14);
    const uint8_t depth = d[16];

    if (mapType > 1) return rejected("unsupported colour map");
    if (type != 1 && type != 2 && type != 3 && type != 10) return rejected("unsupported image type");
    if (!sizeAllowed(width, height)) return rejectedSize(width, height);
    if (type == 1) {
        if (mapType != 1 || depth != 8) return rejected("colour-mapped image without an 8-bit index and a colour map");
    } else if (type == 3) {
        if (depth != 8) return rejected("unsupported grey depth");
    } else if (depth != 16 && depth != 24 && depth != 32) {
        return rejected("unsupported pixel depth");
    }

    size_t pos = 18 + size_t(idLength);
    size_t mapBytes = 0;
    if (mapType == 1) {
        if (mapEntrySize != 16 && mapEntrySize != 24 && mapEntrySize != 32)
            return rejected("unsupported colour map entry size");
        mapBytes = size_t(mapLength) * (mapEntrySize / 8);
    }
    if (pos + mapBytes > n) return rejected("colour map cut short");
    pos += mapBytes;

    const size_t bytesPerPixel = depth / 8;
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    if (type == 10) {
        uint64_t count = 0;
        while (count < pixels) {
            if (pos >= n) return rejected("run-length data cut short");
            const uint8_t header = d[pos++];
            const uint64_t run = (header & 0x7F) + 1u;
            if (count + run > pixels) return rejected("run-length data outside the image");
            const size_t bytes = (header & 0x80) ? bytesPerPixel : size_t(run) * bytesPerPixel;
            if (pos + bytes > n) return rejected("run-length data cut short");
            pos += bytes;
            count += run;
        }
        return accepted(width, height);
    }
    if (pos + pixels * bytesPerPixel > n) return rejected("pixel data cut short");
    if (type == 1) {
        for (uint64_t i = 0; i < pixels; ++i)
            if (d[pos + i] >= mapLength) return rejected("colour index beyond the colour map");
    }
    return accepted(width, height);
}

// ---------------------------------------------------------------- PCX

ImageFileInfo checkPcxFile(const uint8_t* d, size_t n) {
    if (n < 1 || d[0] != 0x0A) return {};
    if (n < 128) return rejected("header cut short");
    const uint8_t encoding = d[2], bitsPerPixel = d[3];
    const int64_t xMin = le16(d + 4), yMin = le16(d + 6), xMax = le16(d + 8), yMax = le16(d + 10);
    const uint8_t planes = d[65];
    const int64_t bytesPerLine = le16(d + 66);

    if (encoding != 1) return rejected("unsupported encoding");
    if (xMax < xMin || yMax < yMin) return rejected("damaged image bounds");
    const int64_t width = xMax - xMin + 1, height = yMax - yMin + 1;
    if (!sizeAllowed(width, height)) return rejectedSize(width, height);
    // The loader mishandles the other layouts (its buffers are too small).
    if (bitsPerPixel != 8 || (planes != 1 && planes != 3))
        return rejected("only 8-bit images with one or three planes are supported");
    if (bytesPerLine < width) return rejected("scan lines shorter than the image");
    if (planes == 1 && n < 128 + 769) return rejected("palette cut short");

    // The run-length data as the loader decodes it: one plane is written in
    // order, three planes are spread over interleaved pixels line by line.
    const uint64_t imageBytes = uint64_t(bytesPerLine) * planes * uint64_t(height);
    const uint64_t lineBytes = 3 * uint64_t(bytesPerLine);
    size_t pos = 128;
    uint64_t offset = 0, lineOffset = 0, lineStart = 0, nextMode = 1;
    while (offset < imageBytes) {
        if (pos >= n) return rejected("run-length data cut short");
        uint32_t count = d[pos++];
        if ((count & 0xC0) == 0xC0) {
            count &= 0x3F;
            if (pos >= n) return rejected("run-length data cut short");
            ++pos;
        } else {
            count = 1;
        }
        if (planes == 1) {
            if (offset + count > imageBytes) return rejected("run-length data outside the image");
        } else {
            for (uint32_t i = 0; i < count; ++i) {
                if (lineStart + lineOffset >= imageBytes) return rejected("run-length data outside the image");
                lineOffset += 3;
                if (lineOffset >= lineBytes) {
                    lineOffset = nextMode;
                    if (++nextMode == 3) nextMode = 0;
                    if (lineOffset == 0) lineStart += lineBytes;
                }
            }
        }
        offset += count;
    }
    return accepted(width, height);
}

// ---------------------------------------------------------------- PNG

namespace {

// Follows the inflated image data through the rows of every interlace pass:
// each row is a filter byte (0 to 4) and the row's bytes.
class PngRowWalker {
public:
    PngRowWalker(uint32_t width, uint32_t height, uint32_t bitsPerPixel, bool interlaced) {
        static const uint32_t adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        if (!interlaced) {
            add(width, height, bitsPerPixel);
            return;
        }
        for (const auto& p : adam7) {
            const uint32_t w = width > p[0] ? (width - p[0] + p[2] - 1) / p[2] : 0;
            const uint32_t h = height > p[1] ? (height - p[1] + p[3] - 1) / p[3] : 0;
            add(w, h, bitsPerPixel);
        }
    }

    // False when a filter byte is out of range.
    bool feed(const uint8_t* data, size_t size) {
        size_t i = 0;
        while (i < size && pass_ < passes_.size()) {
            const Pass& pass = passes_[pass_];
            if (column_ == 0) {
                if (data[i] > 4) return false;
                ++i;
                column_ = 1;
            }
            const uint64_t take = std::min<uint64_t>(pass.rowBytes + 1 - column_, size - i);
            i += size_t(take);
            column_ += take;
            if (column_ == pass.rowBytes + 1) {
                column_ = 0;
                if (++row_ == pass.rows) {
                    row_ = 0;
                    ++pass_;
                }
            }
        }
        return true;
    }
    bool complete() const { return pass_ == passes_.size(); }

private:
    struct Pass {
        uint64_t rows;
        uint64_t rowBytes;
    };
    void add(uint32_t w, uint32_t h, uint32_t bitsPerPixel) {
        if (w == 0 || h == 0) return;
        passes_.push_back({h, (uint64_t(w) * bitsPerPixel + 7) / 8});
    }

    std::vector<Pass> passes_;
    size_t pass_ = 0;
    uint64_t row_ = 0;
    uint64_t column_ = 0;
};

bool chunkIs(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

}  // namespace

ImageFileInfo checkPngFile(const uint8_t* d, size_t n) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (n < 8 || std::memcmp(d, signature, 8) != 0) return {};

    z_stream zs;
    std::memset(&zs, 0, sizeof(zs));
    if (inflateInit(&zs) != Z_OK) return rejected("out of memory");
    struct InflateEnd {
        z_stream* s;
        ~InflateEnd() { inflateEnd(s); }
    } inflateGuard{&zs};

    std::vector<uint8_t> out(64 * 1024);
    std::unique_ptr<PngRowWalker> rows;
    bool havePalette = false, seenData = false, dataDone = false, streamEnded = false;
    int64_t width = 0, height = 0;
    uint8_t bitDepth = 0, colorType = 0;
    size_t pos = 8;

    for (;;) {
        if (pos + 12 > n) return rejected("cut short before its end chunk");
        const uint32_t length = be32(d + pos);
        const uint8_t* type = d + pos + 4;
        if (length > 0x7FFFFFFFu || pos + 12 + size_t(length) > n) return rejected("chunk cut short");
        const uint8_t* body = d + pos + 8;
        const bool critical = (type[0] & 0x20) == 0;
        const uint32_t crc = uint32_t(crc32(crc32(0L, Z_NULL, 0), type, 4 + length));
        if (critical && crc != be32(body + length)) return rejected("damaged chunk");
        pos += 12 + size_t(length);

        if (!rows) {
            if (!chunkIs(type, "IHDR") || length != 13) return rejected("missing header chunk");
            width = be32(body);
            height = be32(body + 4);
            bitDepth = body[8];
            colorType = body[9];
            if (!sizeAllowed(width, height)) return rejectedSize(width, height);
            int channels = 0;
            bool depthOk = false;
            switch (colorType) {
            case 0:
                channels = 1;
                depthOk = bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
                break;
            case 3:
                channels = 1;
                depthOk = bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
                break;
            case 2:
            case 4:
            case 6:
                channels = colorType == 2 ? 3 : colorType == 4 ? 2 : 4;
                depthOk = bitDepth == 8 || bitDepth == 16;
                break;
            default:
                break;
            }
            if (!depthOk || body[10] != 0 || body[11] != 0 || body[12] > 1) return rejected("damaged header chunk");
            rows = std::make_unique<PngRowWalker>(uint32_t(width), uint32_t(height), uint32_t(channels * bitDepth),
                                                  body[12] == 1);
            continue;
        }
        if (seenData && !chunkIs(type, "IDAT")) dataDone = true;

        if (chunkIs(type, "IHDR")) return rejected("second header chunk");
        if (chunkIs(type, "PLTE")) {
            if (seenData) return rejected("palette after the image data");
            if (length == 0 || length % 3 != 0 || length / 3 > 256) return rejected("damaged palette");
            if (colorType == 3 && length / 3 > (1u << bitDepth)) return rejected("damaged palette");
            havePalette = true;
        } else if (chunkIs(type, "IDAT")) {
            if (dataDone) return rejected("image data split by other chunks");
            if (colorType == 3 && !havePalette) return rejected("missing palette");
            seenData = true;
            if (streamEnded) continue;
            zs.next_in = const_cast<Bytef*>(body);
            zs.avail_in = length;
            for (;;) {
                zs.next_out = out.data();
                zs.avail_out = uInt(out.size());
                const int result = inflate(&zs, Z_NO_FLUSH);
                if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
                    return rejected("damaged compressed image data");
                if (!rows->feed(out.data(), out.size() - zs.avail_out)) return rejected("damaged image rows");
                if (result == Z_STREAM_END) {
                    streamEnded = true;
                    break;
                }
                // Done with this chunk once its input is used up and the
                // inflater holds nothing back, or when it cannot go on.
                if ((zs.avail_in == 0 && zs.avail_out != 0) || result == Z_BUF_ERROR) break;
            }
        } else if (chunkIs(type, "IEND")) {
            if (!seenData) return rejected("no image data");
            if (!streamEnded || !rows->complete()) return rejected("image data too short for the declared size");
            return accepted(width, height);
        } else if (critical) {
            return rejected("unknown critical chunk");
        }
    }
}

// ---------------------------------------------------------------- WAL

ImageFileInfo checkWalFile(const uint8_t* d, size_t n) {
    // A 100-byte header: name, width, height, four mip-map offsets, ...
    if (n < 100) return rejected("header cut short");
    const int64_t width = le32(d + 32), height = le32(d + 36);
    const uint64_t offset = le32(d + 40);
    if (!sizeAllowed(width, height)) return rejectedSize(width, height);
    if (offset + uint64_t(width) * uint64_t(height) > n) return rejected("pixel data cut short");
    return accepted(width, height);
}

// ---------------------------------------------------------------- PPM, PGM, PBM

ImageFileInfo checkPpmFile(const uint8_t* d, size_t n) {
    if (n < 2 || d[0] != 'P' || d[1] < '1' || d[1] > '6') return {};
    const char kind = char(d[1]);
    const bool bitmap = kind == '1' || kind == '4';
    const int tokens = bitmap ? 2 : 3;
    int64_t values[3] = {0, 0, 0};
    size_t pos = 2;
    for (int t = 0; t < tokens; ++t) {
        for (;;) {
            if (pos >= n) return rejected("header cut short");
            if (d[pos] == '#') {
                while (pos < n && d[pos] != '\n' && d[pos] != '\r') ++pos;
            } else if (d[pos] == ' ' || d[pos] == '\t' || d[pos] == '\n' || d[pos] == '\r' || d[pos] == '\v' ||
                       d[pos] == '\f') {
                ++pos;
            } else {
                break;
            }
        }
        if (d[pos] < '0' || d[pos] > '9') return rejected("damaged header");
        while (pos < n && d[pos] >= '0' && d[pos] <= '9') {
            values[t] = values[t] * 10 + (d[pos] - '0');
            if (values[t] > 0x7FFFFFFF) return rejected("damaged header");
            ++pos;
        }
    }
    // One white-space character ends the header.
    if (pos >= n) return rejected("pixel data cut short");
    if (d[pos] != ' ' && d[pos] != '\t' && d[pos] != '\n' && d[pos] != '\r') return rejected("damaged header");
    ++pos;

    const int64_t width = values[0], height = values[1];
    if (!sizeAllowed(width, height)) return rejectedSize(width, height);
    if (!bitmap && (values[2] < 1 || values[2] > 255)) return rejected("unsupported sample range");
    uint64_t need = 0;
    if (kind == '4') need = uint64_t((width + 7) / 8) * uint64_t(height);
    if (kind == '5') need = uint64_t(width) * uint64_t(height);
    if (kind == '6') need = 3 * uint64_t(width) * uint64_t(height);
    if (pos + need > n) return rejected("pixel data cut short");

    ImageFileInfo info = accepted(width, height);
    info.ppmKind = kind;
    info.dataOffset = pos;
    info.maxValue = bitmap ? 1 : int32_t(values[2]);
    return info;
}

}  // namespace engine
