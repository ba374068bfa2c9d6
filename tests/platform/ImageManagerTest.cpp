#include "engine/io/IrrRef.h"
#include "engine/io/MemoryFile.h"
#include "engine/platform/ImageManager.h"
#include "platform/ImageTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <cstdlib>

using namespace engine;
using namespace image_test;
using testing_support::LogCapture;

namespace {

// Compares every pixel channel by channel within a tolerance.
void expectSamePixels(Image* expected, Image* actual, int tolerance, bool keepsAlpha) {
    ASSERT_TRUE(actual);
    ASSERT_EQ(actual->getWidth(), expected->getWidth());
    ASSERT_EQ(actual->getHeight(), expected->getHeight());
    int worst = 0;
    for (int32_t y = 0; y < expected->getHeight(); ++y)
        for (int32_t x = 0; x < expected->getWidth(); ++x) {
            uint32_t want = expected->getPixel(x, y);
            if (!keepsAlpha) want |= 0xFF000000u;
            const uint32_t got = actual->getPixel(x, y);
            for (int shift = 0; shift < 32; shift += 8)
                worst = std::max(worst, std::abs(int((want >> shift) & 0xFF) - int((got >> shift) & 0xFF)));
        }
    EXPECT_LE(worst, tolerance);
}

}  // namespace

TEST(ImageManagerTest, LoadersAndWritersAreOrderedAndChosenByExtension) {
    ImageManager& manager = ImageManager::instance();
    ASSERT_EQ(manager.getLoaderCount(), 7u);
    ASSERT_EQ(manager.getWriterCount(), 6u);
    const std::pair<const char*, uint32_t> loaders[] = {{"a.bmp", 0}, {"a.jpg", 1}, {"a.jpeg", 1}, {"a.tga", 2},
                                                        {"a.pcx", 3}, {"a.png", 4}, {"a.wal", 5},  {"a.ppm", 6},
                                                        {"a.pgm", 6}, {"a.pbm", 6}, {"A.PNG", 4}};
    for (const auto& [name, index] : loaders)
        for (uint32_t i = 0; i < manager.getLoaderCount(); ++i)
            EXPECT_EQ(manager.getLoader(i)->isALoadableFileExtension(name), i == index) << name << " loader " << i;
    const std::pair<const char*, uint32_t> writers[] = {{"a.bmp", 0}, {"a.jpg", 1}, {"a.tga", 2},
                                                        {"a.pcx", 3}, {"a.png", 4}, {"a.ppm", 5}};
    for (const auto& [name, index] : writers)
        for (uint32_t i = 0; i < manager.getWriterCount(); ++i)
            EXPECT_EQ(manager.getWriter(i)->isAWriteableFileExtension(name), i == index) << name << " writer " << i;
}

TEST(ImageManagerTest, ImagesRoundTripThroughEveryWriter) {
    struct Case {
        const char* name;
        ColorFormat format;
        bool varyAlpha;
        bool keepsAlpha;
        int tolerance;
    };
    // 16-bit pixels become 24-bit ones without repeating their top bits in the
    // BMP writer; JPEG is lossy (a plain colour keeps it close).
    const Case cases[] = {
        {"a.png", CF_A8R8G8B8, true, true, 0},   {"a.png", CF_R8G8B8, false, false, 0},
        {"a.png", CF_R5G6B5, false, false, 0},   {"a.tga", CF_A8R8G8B8, true, true, 0},
        {"a.tga", CF_R8G8B8, false, false, 0},   {"a.bmp", CF_R8G8B8, false, false, 0},
        {"a.bmp", CF_A8R8G8B8, false, false, 0}, {"a.bmp", CF_A1R5G5B5, false, false, 7},
        {"a.ppm", CF_R8G8B8, false, false, 0},   {"a.jpg", CF_R8G8B8, false, false, 3},
        {"a.jpeg", CF_A8R8G8B8, false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " format " + std::to_string(c.format));
        auto source = gradient(c.format, 13, 7, c.varyAlpha);
        if (c.tolerance == 3) source->fill(0xFFC86432u);
        const std::string bytes = writeImageBytes(source.get(), c.name);
        ASSERT_FALSE(bytes.empty());
        LogCapture log;
        CountedRef<Image> loaded(loadImageBytes(bytes, c.name));
        expectSamePixels(source.get(), loaded.get(), c.tolerance, c.keepsAlpha);
        EXPECT_TRUE(log.entries().empty());
    }
}

TEST(ImageManagerTest, JpegQualityDefaultsToHundred) {
    auto source = gradient(CF_R8G8B8, 32, 32);
    const uint32_t low = 10, full = 100;
    const std::string byDefault = writeImageBytes(source.get(), "a.jpg");
    EXPECT_EQ(byDefault, writeImageBytes(source.get(), "a.jpg", &full));
    EXPECT_LT(writeImageBytes(source.get(), "a.jpg", &low).size(), byDefault.size());
}

TEST(ImageManagerTest, WritersRefuseWhatTheyCannotWrite) {
    auto source = gradient(CF_A8R8G8B8, 4, 4);
    LogCapture log;
    EXPECT_TRUE(writeImageBytes(source.get(), "a.pcx").empty());
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].text, "PCX writer not yet implemented. Image not written.");
    EXPECT_EQ(log.entries()[0].level, LOG_WARNING);

    EXPECT_TRUE(writeImageBytes(source.get(), "a.gif").empty());
    EXPECT_TRUE(writeImageBytes(source.get(), "noextension").empty());
    CountedRef<Image> empty(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(0, 0)));
    EXPECT_TRUE(writeImageBytes(empty.get(), "a.png").empty());
    EXPECT_FALSE(ImageManager::instance().writeImage(nullptr, nullptr));
}

// A file whose name no loader takes, or whose name misleads, is still loaded
// by its content, and the loader that only matched the name stays quiet.
TEST(ImageManagerTest, ContentDecidesWhenTheNameDoesNot) {
    auto source = gradient(CF_A8R8G8B8, 6, 5, true);
    const std::string png = writeImageBytes(source.get(), "a.png");
    for (const char* name : {"picture.dat", "picture.bmp", "picture"}) {
        SCOPED_TRACE(name);
        LogCapture log;
        CountedRef<Image> loaded(loadImageBytes(png, name));
        expectSamePixels(source.get(), loaded.get(), 0, true);
        EXPECT_FALSE(log.hasErrors());
    }
    EXPECT_EQ(ImageManager::instance().loadImage(nullptr, CreationContext()), nullptr);
}

TEST(ImageManagerTest, LoadedImagesCarryTheCreationContext) {
    auto source = gradient(CF_R8G8B8, 3, 3);
    IrrRef<VirtualFile> file(new VirtualFile("ctx.png", 1024));
    ASSERT_TRUE(ImageManager::instance().writeImage(source.get(), file.get()));
    file->seek(0);
    CountedRef<Image> loaded(ImageManager::instance().loadImage(file.get(), CreationContext(nullptr, "ctx.png")));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->getCreationContext().getName(), "ctx.png");
}

TEST(ImageManagerTest, ReadsFormatsItDoesNotWrite) {
    const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    struct Case {
        const char* name;
        std::string bytes;
        uint32_t width, height;
        std::vector<uint32_t> pixels;  // RGB, top row first
    };
    const std::vector<uint8_t> indices = {0, 1, 2, 2, 1, 0};
    const std::vector<uint32_t> rgb = {red, green, blue, blue, white, red};
    const std::string colourMap = std::string("\x00\x00\xFF\x00\xFF\x00", 6);  // BGR: red, green
    const Case cases[] = {
        {"palette.pcx", pcx8(3, 2, indices, {red, green, blue}), 3, 2, {red, green, blue, blue, green, red}},
        {"odd.pcx", pcx24(3, 2, rgb), 3, 2, rgb},
        {"palette.bmp", bmp8(3, 2, {red, green, blue}, indices), 3, 2, {red, green, blue, blue, green, red}},
        {"runs.bmp",
         bmpRle8(3, 2, {red, green, blue}, std::string("\x02\x02\x01\x00\x00\x00\x00\x03\x00\x01\x02\x00\x00\x01", 14)),
         3, 2, {red, green, blue, blue, blue, red}},
        {"grey.tga", tga(3, 8, 2, 1, "", 0, "\x10\x80"), 2, 1, {0x101010, 0x808080}},
        {"mapped.tga", tga(1, 8, 2, 1, colourMap, 24, std::string("\x01\x00", 2)), 2, 1, {green, red}},
        {"runs.tga", tga(10, 24, 3, 1, "", 0, std::string("\x81\x00\x00\xFF\x00\x00\xFF\x00", 8)), 3, 1,
         {red, red, green}},
        {"colour.ppm", std::string("P6\n2 1\n255\n\x0A\x14\x1E\x28\x32\x3C", 17), 2, 1, {0x0A141E, 0x28323C}},
        {"text.ppm", "P3\n# comment\n2 1\n255\n10 20 30 40 50 60\n", 2, 1, {0x0A141E, 0x28323C}},
        {"grey.pgm", std::string("P5 2 1 255\n\x10\x80", 13), 2, 1, {0x101010, 0x808080}},
        {"text.pgm", "P2\n2 1\n255\n16 128\n", 2, 1, {0x101010, 0x808080}},
        {"bits.pbm", std::string("P4\n10 1\n\xA0\x40", 10), 10, 1,
         {0, white, 0, white, white, white, white, white, white, 0}},
        {"text.pbm", "P1\n3 2\n1 0 1\n010\n", 3, 2, {0, white, 0, white, 0, white}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        CountedRef<Image> loaded(loadImageBytes(c.bytes, c.name));
        ASSERT_TRUE(loaded);
        EXPECT_FALSE(log.hasErrors());
        ASSERT_EQ(loaded->getWidth(), int32_t(c.width));
        ASSERT_EQ(loaded->getHeight(), int32_t(c.height));
        for (uint32_t i = 0; i < c.pixels.size(); ++i)
            EXPECT_EQ(loaded->getPixel(int32_t(i % c.width), int32_t(i / c.width)) & 0xFFFFFF, c.pixels[i])
                << "pixel " << i;
    }
}

// Rows of 16-bit bitmaps are padded to 4 bytes, so odd widths carry two
// bytes of padding. The format has no alpha: the top bit is unused.
TEST(ImageManagerTest, ReadsSixteenBitBitmapsOfAnyWidth) {
    const std::pair<uint16_t, uint32_t> colours[] = {{0x7C00, 0xFFFF0000u}, {0x03E0, 0xFF00FF00u},
                                                     {0x001F, 0xFF0000FFu}, {0x7FFF, 0xFFFFFFFFu},
                                                     {0x0000, 0xFF000000u}, {0xFC1F, 0xFFFF00FFu}};
    for (uint32_t width : {1u, 2u, 3u, 5u}) {
        SCOPED_TRACE(width);
        const uint32_t height = 3;
        std::vector<uint16_t> pixels;
        for (uint32_t i = 0; i < width * height; ++i) pixels.push_back(colours[i % 6].first);
        LogCapture log;
        CountedRef<Image> loaded(loadImageBytes(bmp16(width, height, pixels), "sixteen.bmp"));
        ASSERT_TRUE(loaded);
        EXPECT_FALSE(log.hasErrors());
        ASSERT_EQ(loaded->getDimension(), dimension2du(width, height));
        for (uint32_t i = 0; i < width * height; ++i)
            EXPECT_EQ(loaded->getPixel(int32_t(i % width), int32_t(i / width)), colours[i % 6].second) << "pixel " << i;
    }
}

// A row of more than 65,535 bytes (21,846 RGB pixels) loads like any other.
TEST(ImageManagerTest, ReadsJpegsWithLongRows) {
    for (uint32_t width : {21845u, 21846u, 32768u}) {
        SCOPED_TRACE(width);
        CountedRef<Image> source(new Image(CreationContext(), CF_R8G8B8, dimension2du(width, 2)));
        source->fill(0xFFC86432u);
        const std::string bytes = writeImageBytes(source.get(), "wide.jpg");
        ASSERT_FALSE(bytes.empty());
        LogCapture log;
        CountedRef<Image> loaded(loadImageBytes(bytes, "wide.jpg"));
        expectSamePixels(source.get(), loaded.get(), 3, false);
        EXPECT_FALSE(log.hasErrors());
    }
}

// WAL textures carry no palette of their own; the size is what the file says.
TEST(ImageManagerTest, ReadsWalTextures) {
    std::vector<uint8_t> indices(16);
    for (uint8_t i = 0; i < 16; ++i) indices[i] = i;
    CountedRef<Image> loaded(loadImageBytes(wal(4, 4, indices), "wall.wal"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->getDimension(), dimension2du(4, 4));
}
