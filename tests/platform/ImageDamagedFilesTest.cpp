// Files that are cut short or lie about their size must give a logged error
// and no image, and the loaders must never read or write outside their
// buffers (run under the sanitizers; the fixture files sit in private heap
// blocks so that reads past their end are caught).
#include "engine/platform/ImageFileChecks.h"
#include "engine/platform/ImageManager.h"
#include "platform/ImageTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <functional>

using namespace engine;
using namespace image_test;
using testing_support::LogCapture;

namespace {

struct DamagedFile {
    const char* description;
    const char* name;
    std::function<std::string()> bytes;
};

std::string written(const char* name, uint32_t width = 40, uint32_t height = 30) {
    auto image = gradient(CF_A8R8G8B8, width, height, true);
    return writeImageBytes(image.get(), name);
}

std::string cut(std::string bytes, size_t keep) {
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

std::string pngWithSize(uint32_t width, uint32_t height) {
    std::string png = written("a.png");
    const size_t header = findPngChunk(png, "IHDR");
    setBe32(png, header + 8, width);
    setBe32(png, header + 12, height);
    fixPngChunkCrc(png, header);
    return png;
}

// The JPEG frame header's size fields.
std::string jpegWithSize(uint16_t width, uint16_t height) {
    std::string jpg = written("a.jpg");
    const size_t frame = jpg.find("\xFF\xC0");
    jpg[frame + 5] = char(height >> 8);
    jpg[frame + 6] = char(height & 0xFF);
    jpg[frame + 7] = char(width >> 8);
    jpg[frame + 8] = char(width & 0xFF);
    return jpg;
}

std::string bmpPatched(size_t at, uint32_t value) {
    std::string bmp = written("a.bmp");
    setLe32(bmp, at, value);
    return bmp;
}

std::string tgaPatched(size_t at, uint16_t value) {
    std::string t = written("a.tga");
    setLe16(t, at, value);
    return t;
}

const std::vector<uint32_t> kPalette = {0xFF0000, 0x00FF00};

const DamagedFile kDamagedFiles[] = {
    {"empty file", "empty.png", [] { return std::string(); }},
    {"PNG signature only", "a.png", [] { return cut(written("a.png"), 8); }},
    {"PNG cut in its header", "a.png", [] { return cut(written("a.png"), 20); }},
    {"PNG cut in its image data", "a.png", [] { return cut(written("a.png"), written("a.png").size() / 2); }},
    {"PNG without its end chunk", "a.png", [] { return cut(written("a.png"), written("a.png").size() - 12); }},
    {"PNG claiming a larger size", "a.png", [] { return pngWithSize(400, 300); }},
    {"PNG claiming a huge size", "a.png", [] { return pngWithSize(60000, 60000); }},
    {"PNG with a damaged data chunk",
     "a.png",
     [] {
         std::string png = written("a.png");
         png[findPngChunk(png, "IDAT") + 10] ^= 0x55;
         return png;
     }},
    {"PNG under another name, cut short", "a.dat", [] { return cut(written("a.png"), 60); }},
    {"BMP cut in its header", "a.bmp", [] { return cut(written("a.bmp"), 30); }},
    {"BMP cut in its pixels", "a.bmp", [] { return cut(written("a.bmp"), 1000); }},
    {"BMP claiming more rows", "a.bmp", [] { return bmpPatched(22, 3000); }},
    {"BMP claiming more columns", "a.bmp", [] { return bmpPatched(18, 4000); }},
    {"BMP with a tiny data size", "a.bmp", [] { return bmpPatched(34, 10); }},
    {"BMP with a huge data size", "a.bmp", [] { return bmpPatched(34, 0x7FFFFFF0); }},
    {"BMP stored top-down", "a.bmp", [] { return bmpPatched(22, uint32_t(-30)); }},
    {"BMP with pixels before its header end", "a.bmp", [] { return bmpPatched(10, 20); }},
    {"BMP with a colour beyond its palette", "a.bmp", [] { return bmp8(2, 2, kPalette, {0, 1, 1, 7}); }},
    {"BMP without a palette", "a.bmp", [] { return bmp8(2, 2, {}, {0, 0, 0, 0}); }},
    {"BMP run longer than its row", "a.bmp",
     [] { return bmpRle8(2, 2, kPalette, std::string("\xFF\x01\x00\x01", 4)); }},
    {"BMP runs without an end mark", "a.bmp",
     [] { return bmpRle8(2, 2, kPalette, std::string("\x02\x01\x00\x00\x02\x01", 6)); }},
    {"BMP runs leaving pixels unset", "a.bmp",
     [] { return bmpRle8(4, 2, kPalette, std::string("\x01\x01\x00\x00\x04\x00\x00\x01", 8)); }},
    {"BMP runs skipping pixels", "a.bmp",
     [] { return bmpRle8(2, 2, kPalette, std::string("\x00\x02\x01\x01\x00\x01", 6)); }},
    {"BMP with 4-bit runs", "a.bmp",
     [] {
         std::string b = bmpRle8(2, 2, kPalette, std::string("\x02\x11\x00\x00\x02\x11\x00\x01", 8));
         setLe16(b, 28, 4);
         setLe32(b, 30, 2);
         return b;
     }},
    {"TGA cut in its header", "a.tga", [] { return cut(written("a.tga"), 10); }},
    {"TGA cut in its pixels", "a.tga", [] { return cut(written("a.tga"), 1000); }},
    {"TGA claiming more columns", "a.tga", [] { return tgaPatched(12, 4000); }},
    {"TGA claiming more rows", "a.tga", [] { return tgaPatched(14, 4000); }},
    {"TGA run past the image end", "a.tga",
     [] { return tga(10, 24, 2, 2, "", 0, std::string("\xFF\x01\x02\x03", 4)); }},
    {"TGA runs cut short", "a.tga", [] { return tga(10, 32, 4, 4, "", 0, std::string("\x83\x01\x02\x03\x04", 5)); }},
    {"TGA with no pixel depth", "a.tga", [] { return tga(10, 0, 2, 2, "", 0, std::string("\x83\x01", 2)); }},
    {"TGA indices without a colour map", "a.tga", [] { return tga(1, 8, 2, 1, "", 0, std::string("\x00\x01", 2)); }},
    {"TGA index beyond its colour map", "a.tga",
     [] { return tga(1, 8, 2, 1, std::string("\x00\x00\xFF", 3), 24, std::string("\x00\x05", 2)); }},
    {"JPEG cut at its start", "a.jpg", [] { return cut(written("a.jpg"), 300); }},
    {"JPEG cut in its image data", "a.jpg", [] { return cut(written("a.jpg"), written("a.jpg").size() - 40); }},
    {"JPEG without its end marker", "a.jpg", [] { return cut(written("a.jpg"), written("a.jpg").size() - 2); }},
    {"JPEG claiming a huge size", "a.jpg", [] { return jpegWithSize(60000, 60000); }},
    {"JPEG claiming a larger size", "a.jpg", [] { return jpegWithSize(4000, 3000); }},
    // The decoder only finds the fault after all rows are out.
    {"JPEG with a second scan after its image", "a.jpg",
     [] {
         std::string jpg = written("a.jpg");
         const std::string scan = jpg.substr(jpg.find("\xFF\xDA"), std::string::npos);
         return jpg.substr(0, jpg.size() - 2) + scan;
     }},
    {"PCX cut in its header", "a.pcx", [] { return cut(pcx8(4, 4, std::vector<uint8_t>(16, 1), kPalette), 64); }},
    {"PCX cut in its runs", "a.pcx",
     [] {
         std::vector<uint32_t> rgb(600);
         for (uint32_t i = 0; i < rgb.size(); ++i) rgb[i] = i * 0x010203u;
         return cut(pcx24(30, 20, rgb), 300);
     }},
    {"PCX claiming more rows", "a.pcx",
     [] {
         std::string p = pcx24(6, 4, std::vector<uint32_t>(24, 0x102030));
         setLe16(p, 10, 400);
         return p;
     }},
    {"PCX run past the image end", "a.pcx",
     [] {
         std::string p = pcx8(2, 1, {1, 1}, kPalette);
         p[128] = char(0xFF);  // a run of 63
         return p;
     }},
    {"PCX with reversed bounds", "a.pcx",
     [] {
         std::string p = pcx8(2, 2, {1, 1, 1, 1}, kPalette);
         setLe16(p, 4, 9);
         return p;
     }},
    {"PCX with 4-bit pixels", "a.pcx",
     [] {
         std::string p = pcx8(2, 2, {1, 1, 1, 1}, kPalette);
         p[3] = 4;
         return p;
     }},
    {"PCX with short scan lines", "a.pcx",
     [] {
         std::string p = pcx8(4, 1, {1, 1, 1, 1}, kPalette);
         setLe16(p, 66, 2);
         return p;
     }},
    {"PPM cut in its pixels", "a.ppm", [] { return std::string("P6\n40 30\n255\n") + std::string(100, 'x'); }},
    {"PGM cut in its pixels", "a.pgm", [] { return std::string("P5\n40 30\n255\n") + std::string(100, 'x'); }},
    {"PBM cut in its pixels", "a.pbm", [] { return std::string("P4\n64 64\n") + std::string(100, 'x'); }},
    {"plain PBM cut in its pixels", "a.pbm", [] { return std::string("P1\n4 4\n1 0 1 0\n"); }},
    {"PPM claiming a huge size", "a.ppm", [] { return std::string("P6\n60000 60000\n255\n") + std::string(100, 'x'); }},
    {"PPM with 16-bit samples", "a.ppm", [] { return std::string("P6\n1 1\n65535\n") + std::string(6, 'x'); }},
    {"PPM cut in its header", "a.ppm", [] { return std::string("P6\n40"); }},
    {"WAL cut in its header", "a.wal", [] { return cut(wal(4, 4, std::vector<uint8_t>(16, 3)), 50); }},
    {"WAL cut in its pixels", "a.wal", [] { return cut(wal(8, 8, std::vector<uint8_t>(64, 3)), 120); }},
    {"WAL claiming a huge size", "a.wal",
     [] {
         std::string w = wal(4, 4, std::vector<uint8_t>(16, 3));
         setLe32(w, 32, 100000);
         return w;
     }},
};

}  // namespace

TEST(ImageDamagedFilesTest, GiveNoImageAndALoggedError) {
    for (const DamagedFile& file : kDamagedFiles) {
        SCOPED_TRACE(file.description);
        const std::string bytes = file.bytes();
        LogCapture log;
        CountedRef<Image> image(loadImageBytes(bytes, file.name));
        EXPECT_FALSE(image);
        // One message: a loader that the name picked and that refused the
        // file does not read it again for its content.
        int namedErrors = 0;
        for (const auto& entry : log.entries())
            namedErrors += entry.level == LOG_ERROR && entry.hint == file.name;
        EXPECT_EQ(namedErrors, 1);
    }
}

// The same checks on their own: each format's check recognises the others'
// files as not its own, so no error is logged for a file merely tried.
TEST(ImageDamagedFilesTest, ChecksLeaveOtherFormatsAlone) {
    const std::string png = written("a.png"), bmp = written("a.bmp"), jpg = written("a.jpg");
    const std::string ppm = "P5\n1 1\n255\n\x01";
    struct Case {
        const char* name;
        ImageFileInfo (*check)(const uint8_t*, size_t);
    };
    const Case checks[] = {{"bmp", checkBmpFile}, {"jpeg", checkJpegFile}, {"png", checkPngFile},
                           {"ppm", checkPpmFile}, {"pcx", checkPcxFile}};
    const std::pair<const char*, const std::string*> files[] = {{"png", &png}, {"bmp", &bmp}, {"jpeg", &jpg}, {"ppm", &ppm}};
    for (const Case& check : checks)
        for (const auto& [format, bytes] : files) {
            const ImageFileInfo info = check.check(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
            EXPECT_EQ(info.status, std::string(format) == check.name ? ImageFileInfo::Accepted
                                                                     : ImageFileInfo::NotThisFormat)
                << check.name << " on " << format << ": " << info.reason;
        }
}
