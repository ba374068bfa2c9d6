#include "engine/platform/Image.h"
#include "engine/platform/ImageBridge.h"
#include "engine/io/IrrRef.h"

#include <gtest/gtest.h>
#include <cstring>
#include <vector>

using namespace engine;

namespace {

CountedRef<Image> makeImage(ColorFormat format, uint32_t width, uint32_t height) {
    return CountedRef<Image>(new Image(CreationContext(), format, dimension2du(width, height)));
}

// A gradient with distinct channels in every pixel.
void paint(Image* image) {
    for (int32_t y = 0; y < image->getHeight(); ++y)
        for (int32_t x = 0; x < image->getWidth(); ++x)
            writePixel(image->getData() + y * image->getPitch() + x * image->getBytesPerPixel(),
                       image->getColorFormat(), SColor(255 - x, 16 * x + 3, 20 * y + 5, 7 * x + 11 * y).color);
}

}  // namespace

TEST(ImageTest, IsSharedImageContentWithTheFormatTable) {
    struct Case {
        ColorFormat format;
        uint32_t bits, red, green, blue, alpha;
    };
    const Case cases[] = {
        {CF_A1R5G5B5, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
        {CF_R5G6B5, 16, 0xF800, 0x07E0, 0x001F, 0},
        {CF_R8G8B8, 24, 0xFF0000, 0xFF00, 0xFF, 0},
        {CF_A8R8G8B8, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        auto image = makeImage(c.format, 5, 3);
        EXPECT_EQ(image->getContentType(), makeContentType('i', 'm', 'a', 'g'));
        EXPECT_EQ(image->getContentType(), 1734438249u);
        EXPECT_EQ(image->getContentFlags(), ContentFlags::Shared);
        EXPECT_EQ(image->getBitsPerPixel(), c.bits);
        EXPECT_EQ(image->getBytesPerPixel(), c.bits / 8);
        EXPECT_EQ(image->getPitch(), 5 * c.bits / 8);
        EXPECT_EQ(image->getRedMask(), c.red);
        EXPECT_EQ(image->getGreenMask(), c.green);
        EXPECT_EQ(image->getBlueMask(), c.blue);
        EXPECT_EQ(image->getAlphaMask(), c.alpha);
    }
    auto unknown = makeImage(static_cast<ColorFormat>(9), 4, 4);
    EXPECT_EQ(unknown->getBitsPerPixel(), 0u);
    EXPECT_EQ(unknown->getPitch(), 0u);
}

TEST(ImageTest, GetPixelReadsEveryFormatAndGivesZeroOutside) {
    uint8_t rgb[] = {10, 20, 30, 40, 50, 60};
    CountedRef<Image> image(new Image(CreationContext(), CF_R8G8B8, dimension2du(2, 1), rgb, false, true));
    EXPECT_EQ(image->getPixel(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(image->getPixel(1, 0), 0xFF28323Cu);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 1}}) EXPECT_EQ(image->getPixel(x, y), 0u) << x << "," << y;

    uint16_t a1[] = {0x8000 | 0x7C00, 0x001F};  // opaque red, transparent blue
    CountedRef<Image> a1Image(new Image(CreationContext(), CF_A1R5G5B5, dimension2du(2, 1), a1, false, true));
    EXPECT_EQ(a1Image->getPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(a1Image->getPixel(1, 0), 0x000000FFu);

    uint16_t r5[] = {0x07E0};  // green
    CountedRef<Image> r5Image(new Image(CreationContext(), CF_R5G6B5, dimension2du(1, 1), r5, false, true));
    EXPECT_EQ(r5Image->getPixel(0, 0), 0xFF00FC00u);
}

TEST(ImageTest, FillWritesTheColourIntoEveryPixelOfEveryFormat) {
    const uint32_t colour = 0x80FF8040u;
    struct Case {
        ColorFormat format;
        std::vector<uint8_t> pixel;  // the bytes of one pixel
    };
    const uint16_t a1 = irr::video::A8R8G8B8toA1R5G5B5(colour);
    const uint16_t r5 = irr::video::A8R8G8B8toR5G6B5(colour);
    const Case cases[] = {
        {CF_A1R5G5B5, {uint8_t(a1), uint8_t(a1 >> 8)}},
        {CF_R5G6B5, {uint8_t(r5), uint8_t(r5 >> 8)}},
        {CF_R8G8B8, {0xFF, 0x80, 0x40}},
        {CF_A8R8G8B8, {0x40, 0x80, 0xFF, 0x80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        // An odd number of pixels: the last 16-bit pixel shares no word.
        auto image = makeImage(c.format, 3, 3);
        std::memset(image->getData(), 0, image->getImageDataSizeInBytes());
        image->fill(colour);
        for (uint32_t i = 0; i < 9; ++i)
            EXPECT_EQ(std::vector<uint8_t>(image->getData() + i * c.pixel.size(),
                                           image->getData() + (i + 1) * c.pixel.size()),
                      c.pixel)
                << "pixel " << i;
    }
}

TEST(ImageTest, ForeignMemoryIsUsedInPlaceAndKeptWhenNotOwned) {
    uint8_t pixels[4 * 2 * 2] = {};
    {
        CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(2, 2), pixels, true, false));
        EXPECT_EQ(image->getData(), pixels);
        image->fill(0x11223344u);
    }
    EXPECT_EQ(pixels[0], 0x44);
    EXPECT_EQ(pixels[15], 0x11);

    uint8_t* owned = new uint8_t[4];
    CountedRef<Image> owner(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(1, 1), owned, true, true));
    EXPECT_EQ(owner->getData(), owned);  // freed with the image

    CountedRef<Image> copy(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(2, 2), pixels, false, true));
    EXPECT_NE(copy->getData(), pixels);
    EXPECT_EQ(copy->getPixel(1, 1), 0x11223344u);
}

TEST(ImageTest, ConversionConstructorConvertsTheOtherImage) {
    auto source = makeImage(CF_A8R8G8B8, 4, 3);
    paint(source.get());
    CountedRef<Image> rgb(new Image(CreationContext(), CF_R8G8B8, source.get()));
    ASSERT_EQ(rgb->getWidth(), 4);
    ASSERT_EQ(rgb->getHeight(), 3);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(rgb->getPixel(x, y), source->getPixel(x, y) | 0xFF000000u);

    CountedRef<Image> empty(new Image(CreationContext(), CF_R8G8B8, nullptr));
    EXPECT_EQ(empty->getWidth(), 0);
    EXPECT_EQ(empty->getHeight(), 0);
}

TEST(ImageTest, CopyToClipsAtTheTargetEdges) {
    auto source = makeImage(CF_A8R8G8B8, 2, 2);
    paint(source.get());
    auto target = makeImage(CF_R8G8B8, 3, 3);
    target->fill(0xFF000000u);

    source->copyTo(target.get(), irr::core::vector2di(2, 2));
    EXPECT_EQ(target->getPixel(2, 2), source->getPixel(0, 0) | 0xFF000000u);
    EXPECT_EQ(target->getPixel(1, 1), 0xFF000000u);

    source->copyTo(target.get(), irr::core::vector2di(-1, -1));
    EXPECT_EQ(target->getPixel(0, 0), source->getPixel(1, 1) | 0xFF000000u);
    EXPECT_EQ(target->getPixel(1, 0), 0xFF000000u);

    source->copyTo(target.get(), irr::core::vector2di(5, 0));  // wholly outside
    source->copyTo(nullptr, irr::core::vector2di(0, 0));
}

TEST(ImageTest, CopyToScalingCopiesRowsOrScalesByNearestNeighbour) {
    auto source = makeImage(CF_A8R8G8B8, 2, 2);
    paint(source.get());

    // Same size and format, wider pitch: rows copied, the rest cleared.
    std::vector<uint8_t> padded(2 * 12, 0xAB);
    source->copyToScaling(padded.data(), 2, 2, CF_A8R8G8B8, 12);
    EXPECT_EQ(std::memcmp(padded.data(), source->getData(), 8), 0);
    EXPECT_EQ(std::memcmp(padded.data() + 12, source->getData() + 8, 8), 0);
    EXPECT_EQ(padded[8], 0);
    EXPECT_EQ(padded[23], 0);

    // Twice the size: each source pixel covers a 2 x 2 block.
    std::vector<uint8_t> scaled(4 * 4 * 4, 0);
    source->copyToScaling(scaled.data(), 4, 4, CF_A8R8G8B8);
    CountedRef<Image> view(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(4, 4), scaled.data(), true, false));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(view->getPixel(x, y), source->getPixel(x / 2, y / 2));

    // Another format: converted pixel by pixel.
    std::vector<uint8_t> rgb(3 * 2 * 2, 0);
    source->copyToScaling(rgb.data(), 2, 2, CF_R8G8B8);
    EXPECT_EQ(rgb[3], uint8_t(source->getPixel(1, 0) >> 16));

    // Nothing for a null target, a zero size or rows that would overlap.
    std::vector<uint8_t> untouched(16, 0xCD);
    source->copyToScaling(nullptr, 2, 2, CF_A8R8G8B8);
    source->copyToScaling(untouched.data(), 0, 2, CF_A8R8G8B8);
    source->copyToScaling(untouched.data(), 2, 2, CF_A8R8G8B8, 4);
    EXPECT_EQ(untouched, std::vector<uint8_t>(16, 0xCD));
}

TEST(ImageTest, CopyToBufferNeedsATargetAtLeastAsLarge) {
    auto source = makeImage(CF_R5G6B5, 2, 2);
    paint(source.get());

    std::vector<uint8_t> small(4 * 3, 0x5A);
    source->copyToBuffer(small.data(), 1, 3, CF_A8R8G8B8);
    source->copyToBuffer(small.data(), 3, 1, CF_A8R8G8B8);
    EXPECT_EQ(small, std::vector<uint8_t>(12, 0x5A));

    std::vector<uint8_t> large(3 * 3 * 4, 0);
    source->copyToBuffer(large.data(), 3, 3, CF_A8R8G8B8);
    CountedRef<Image> view(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(3, 3), large.data(), true, false));
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(view->getPixel(x, y), source->getPixel(x, y));
    EXPECT_EQ(view->getPixel(2, 2), 0u);
}

// Irrlicht's drivers and writers work on the view; what they read and copy
// must be the engine image's pixels.
TEST(ImageTest, IrrlichtViewSharesThePixels) {
    auto image = makeImage(CF_A8R8G8B8, 3, 2);
    paint(image.get());
    IrrRef<IrrImageView> view(new IrrImageView(image.get()));
    EXPECT_EQ(view->getColorFormat(), irr::video::ECF_A8R8G8B8);
    EXPECT_EQ(view->getDimension(), dimension2du(3, 2));
    EXPECT_EQ(view->lock(), image->getData());
    EXPECT_EQ(view->getPixel(2, 1).color, image->getPixel(2, 1));
    view->setPixel(0, 0, SColor(0xFF123456));
    EXPECT_EQ(image->getPixel(0, 0), 0xFF123456u);

    // Into another view (the drivers copy into images of their own).
    auto target = makeImage(CF_R8G8B8, 4, 4);
    target->fill(0);
    IrrRef<IrrImageView> targetView(new IrrImageView(target.get()));
    view->copyTo(targetView.get(), irr::core::position2di(1, 1));
    EXPECT_EQ(target->getPixel(3, 2), image->getPixel(2, 1) | 0xFF000000u);
    view->copyToScaling(targetView.get());
    EXPECT_EQ(target->getPixel(3, 3), image->getPixel(2, 1) | 0xFF000000u);

    // And back: an engine image from an Irrlicht one.
    CountedRef<Image> copy(createImageFromIrr(view.get(), CreationContext()));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->getData(), image->getData());
    EXPECT_EQ(copy->getPixel(1, 1), image->getPixel(1, 1));
    EXPECT_EQ(createImageFromIrr(nullptr, CreationContext()), nullptr);
}
