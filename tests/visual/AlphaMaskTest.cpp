#include "engine/io/IrrRef.h"
#include "engine/visual/AlphaMask.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>

using namespace engine;
using irr::video::SColor;

namespace {

struct AlphaMaskTest : ::testing::Test {
    IrrRef<irr::IrrlichtDevice> device = visual_test::createNullDevice();

    IrrRef<irr::video::IImage> makeImage(irr::video::ECOLOR_FORMAT format, irr::u32 w, irr::u32 h) {
        return IrrRef<irr::video::IImage>(
            device->getVideoDriver()->createImage(format, irr::core::dimension2d<irr::u32>(w, h)));
    }
};

TEST_F(AlphaMaskTest, PixelIsOpaqueWhenItsAlphaExceedsTheThreshold) {
    ASSERT_TRUE(device);
    auto image = makeImage(irr::video::ECF_A8R8G8B8, 3, 2);
    const irr::u32 alphas[2][3] = {{0, 20, 21}, {255, 128, 1}};
    for (irr::u32 y = 0; y < 2; ++y)
        for (irr::u32 x = 0; x < 3; ++x) image->setPixel(x, y, SColor(alphas[y][x], 10, 20, 30));
    const AlphaMask mask(image.get());
    EXPECT_EQ(mask.getSize(), irr::core::dimension2d<irr::u32>(3, 2));
    struct Case {
        irr::u32 x, y, threshold;
        bool opaque;
    };
    const Case cases[] = {
        {0, 0, 0, false},   {1, 0, 20, false}, {2, 0, 20, true},  {0, 1, 254, true}, {0, 1, 255, false},
        {1, 1, 20, true},   {2, 1, 0, true},   {2, 1, 1, false},
        {3, 0, 0, false},   {0, 2, 0, false},  {100, 100, 0, false},  // outside the image
    };
    for (const Case& c : cases)
        EXPECT_EQ(mask.isOpaqueAt(c.x, c.y, c.threshold), c.opaque)
            << "(" << c.x << ", " << c.y << ") threshold " << c.threshold;
}

TEST_F(AlphaMaskTest, OtherColourFormatsUseTheirAlpha) {
    ASSERT_TRUE(device);
    auto solid = makeImage(irr::video::ECF_R8G8B8, 2, 2);
    solid->fill(SColor(0, 1, 2, 3));
    const AlphaMask solidMask(solid.get());
    EXPECT_TRUE(solidMask.isOpaqueAt(1, 1, 254)) << "an image without alpha is opaque";

    auto oneBit = makeImage(irr::video::ECF_A1R5G5B5, 2, 1);
    oneBit->setPixel(0, 0, SColor(255, 255, 0, 0));
    oneBit->setPixel(1, 0, SColor(0, 255, 0, 0));
    const AlphaMask oneBitMask(oneBit.get());
    EXPECT_TRUE(oneBitMask.isOpaqueAt(0, 0, 20));
    EXPECT_FALSE(oneBitMask.isOpaqueAt(1, 0, 20));
}

TEST_F(AlphaMaskTest, WithoutAnImageNothingIsOpaque) {
    AlphaMask mask;
    EXPECT_FALSE(mask.isOpaqueAt(0, 0, 0));
    EXPECT_FALSE(mask.build(nullptr));
    EXPECT_TRUE(mask.isEmpty());
    ASSERT_TRUE(device);
    auto image = makeImage(irr::video::ECF_A8R8G8B8, 1, 1);
    image->fill(SColor(255, 0, 0, 0));
    ASSERT_TRUE(mask.build(image.get()));
    EXPECT_TRUE(mask.isOpaqueAt(0, 0, 0));
    mask.clear();
    EXPECT_FALSE(mask.isOpaqueAt(0, 0, 0));
}

}  // namespace
