// The atlas packer turns a folder of PNG images into sheets and a collection
// file that the engine loads back with every image where the packer put it.
#include "engine/platform/Image.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/AtlasTextureCollection.h"
#include "tools/atlaspack/AtlasPacker.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <map>
#include <string>

using namespace engine;
using atlaspack::AtlasPacker;
using atlaspack::PackedEntry;
using atlaspack::PackOptions;

namespace {

// A colour that tells every pixel of every image apart.
uint32_t pattern(uint32_t seed, irr::u32 x, irr::u32 y) { return 0xFF000000u | (seed << 16) | (x << 8) | y; }

class AtlasPackerTest : public visual_test::ContentFixture {
protected:
    AtlasPackerTest() {
        // A button with a clear border (2 left and right, 1 top and bottom).
        writeImage("art/ui/button.png", 20, 10, [](irr::u32 x, irr::u32 y) {
            return (x >= 2 && x < 18 && y >= 1 && y < 9) ? pattern(1, x, y) : 0x00FFFFFFu;
        });
        for (uint32_t i = 0; i < 3; ++i)
            writeImage("art/anim000" + std::to_string(i) + ".png", 6, 6,
                       [i](irr::u32 x, irr::u32 y) { return pattern(2 + i, x, y); });
        writeImage("art/clear.png", 5, 4, 0x00000000u);
        writeImage("art/big.png", 40, 30, [](irr::u32 x, irr::u32 y) { return pattern(9, x, y); });
        writeText("art/notes.txt", "not an image, not packed");
    }

    // The source pixel of an entry's image at (x, y) of its untrimmed frame.
    uint32_t sourcePixel(const std::string& name, irr::u32 x, irr::u32 y) {
        CountedRef<Image> image(static_cast<Image*>(manager_->load(ContentType::Image, ("art/" + name).c_str(), false)));
        return image ? image->getPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)) : 0xDEADBEEFu;
    }

    // Loads the written collection and checks every entry against the packer.
    void expectLoadsAsPacked(const AtlasPacker& packer, const std::string& collection, const std::string& prefix) {
        CountedRef<Content> loaded(manager_->load(ContentType::AtlasTextureCollection, collection.c_str(), false));
        auto* atlas = dynamic_cast<AtlasTextureCollection*>(loaded.get());
        ASSERT_TRUE(atlas);
        ASSERT_EQ(atlas->getFiles().size(), packer.sheetCount());
        ASSERT_EQ(atlas->getAtlasTextureCount(), packer.entries().size());
        const std::string folder = std::filesystem::path(collection).parent_path().string() + "/";
        for (const PackedEntry& e : packer.entries()) {
            SCOPED_TRACE(e.name);
            auto* texture = static_cast<AtlasTextureContent*>(cached(ContentType::AtlasTexture, e.name.c_str()));
            ASSERT_TRUE(texture);
            EXPECT_EQ(texture->getLeadingMargin(), vector2df(e.left, e.top));
            EXPECT_EQ(texture->getTrailingMargin(), vector2df(e.right, e.bottom));
            const std::string sheetName = folder + AtlasPacker::sheetFileName(collection, e.sheet);
            CountedRef<Image> sheet(static_cast<Image*>(manager_->load(ContentType::Image, sheetName.c_str(), false)));
            ASSERT_TRUE(sheet);
            EXPECT_EQ(texture->getTexture(), cached(ContentType::Texture, sheetName.c_str()));
            const rectf& r = texture->getTextureRect();
            const float w = static_cast<float>(sheet->getWidth());
            const float h = static_cast<float>(sheet->getHeight());
            EXPECT_NEAR(r.UpperLeftCorner.X * w, e.width ? e.x : 0, 1e-3);
            EXPECT_NEAR(r.UpperLeftCorner.Y * h, e.height ? e.y : 0, 1e-3);
            EXPECT_NEAR(r.LowerRightCorner.X * w, e.width ? e.x + e.width : 0, 1e-3);
            EXPECT_NEAR(r.LowerRightCorner.Y * h, e.height ? e.y + e.height : 0, 1e-3);
            // The image's kept pixels are on the sheet where the entry says.
            const std::string source = e.name.substr(prefix.size());
            for (int y = 0; y < e.height; ++y)
                for (int x = 0; x < e.width; ++x)
                    ASSERT_EQ(sheet->getPixel(e.x + x, e.y + y),
                              sourcePixel(source, static_cast<irr::u32>(e.left + x), static_cast<irr::u32>(e.top + y)))
                        << x << "," << y;
        }
    }

    static void expectNoOverlaps(const AtlasPacker& packer, int padding) {
        const auto& entries = packer.entries();
        for (size_t i = 0; i < entries.size(); ++i) {
            for (size_t j = i + 1; j < entries.size(); ++j) {
                const PackedEntry& a = entries[i];
                const PackedEntry& b = entries[j];
                if (a.sheet != b.sheet || !a.width || !b.width) continue;
                const bool apart = a.x + a.width + padding <= b.x || b.x + b.width + padding <= a.x ||
                                   a.y + a.height + padding <= b.y || b.y + b.height + padding <= a.y;
                EXPECT_TRUE(apart) << a.name << " and " << b.name;
            }
        }
    }
};

}  // namespace

TEST_F(AtlasPackerTest, PackedFoldersLoadBackWithTrimmedImages) {
    PackOptions options;
    options.namePrefix = "scenes/images/";
    AtlasPacker packer(options);
    ASSERT_TRUE(packer.addFolder(dir_.file("art"))) << packer.error();
    ASSERT_TRUE(packer.pack()) << packer.error();
    ASSERT_TRUE(packer.write(dir_.file("out/menu.xml"))) << packer.error();
    ASSERT_EQ(packer.sheetCount(), 1u);
    ASSERT_EQ(packer.entries().size(), 6u);
    expectNoOverlaps(packer, options.padding);

    std::map<std::string, PackedEntry> byName;
    for (const PackedEntry& e : packer.entries()) byName[e.name] = e;
    const PackedEntry& button = byName.at("scenes/images/ui/button.png");
    EXPECT_EQ(button.width, 16);
    EXPECT_EQ(button.height, 8);
    EXPECT_EQ(button.left, 2);
    EXPECT_EQ(button.top, 1);
    EXPECT_EQ(button.right, 2);
    EXPECT_EQ(button.bottom, 1);
    const PackedEntry& clear = byName.at("scenes/images/clear.png");
    EXPECT_EQ(clear.width, 0);
    EXPECT_EQ(clear.right, 5);
    EXPECT_EQ(clear.bottom, 4);

    expectLoadsAsPacked(packer, "out/menu.xml", "scenes/images/");
    // Numbered images keep their frame numbers.
    auto* frame = static_cast<AtlasTextureContent*>(cached(ContentType::AtlasTexture, "scenes/images/anim0001.png"));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->getFrameNumber(), 1);
    auto* empty = static_cast<AtlasTextureContent*>(cached(ContentType::AtlasTexture, "scenes/images/clear.png"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->getTextureRect(), rectf(0, 0, 0, 0));
}

TEST_F(AtlasPackerTest, SmallSheetsSpreadTheImagesAndUntrimmedImagesKeepTheirSize) {
    PackOptions options;
    options.maxSheetSize = 42;  // the big image fills a sheet's width
    options.padding = 1;
    options.trim = false;
    AtlasPacker packer(options);
    ASSERT_TRUE(packer.addFolder(dir_.file("art"))) << packer.error();
    ASSERT_TRUE(packer.pack()) << packer.error();
    ASSERT_TRUE(packer.write(dir_.file("small/atlas.xml"))) << packer.error();
    EXPECT_GT(packer.sheetCount(), 1u);
    expectNoOverlaps(packer, options.padding);
    for (const PackedEntry& e : packer.entries()) {
        EXPECT_EQ(e.left + e.top + e.right + e.bottom, 0) << e.name;
        EXPECT_LE(e.x + e.width, 42);
        EXPECT_LE(e.y + e.height, 42);
    }
    expectLoadsAsPacked(packer, "small/atlas.xml", "");
}

TEST_F(AtlasPackerTest, ReportsWhatCannotBePacked) {
    AtlasPacker empty;
    std::filesystem::create_directories(dir_.file("nothing"));
    EXPECT_FALSE(empty.addFolder(dir_.file("nothing")));
    EXPECT_FALSE(empty.addFolder(dir_.file("absent")));
    EXPECT_FALSE(empty.pack());
    EXPECT_FALSE(empty.write(dir_.file("out/none.xml")));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("out/none.xml")));

    writeText("broken/bad.png", "not a png");
    AtlasPacker broken;
    EXPECT_FALSE(broken.addFolder(dir_.file("broken")));
    EXPECT_NE(broken.error().find("bad.png"), std::string::npos);

    PackOptions tiny;
    tiny.maxSheetSize = 32;
    AtlasPacker tooBig(tiny);
    ASSERT_TRUE(tooBig.addFolder(dir_.file("art")));
    EXPECT_FALSE(tooBig.pack());
    EXPECT_NE(tooBig.error().find("big.png"), std::string::npos);

    AtlasPacker twice;
    CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(2, 2)));
    EXPECT_TRUE(twice.addImage("a.png", image.get()));
    EXPECT_FALSE(twice.addImage("a.png", image.get()));
    EXPECT_FALSE(twice.addImage("b.png", nullptr));
}
