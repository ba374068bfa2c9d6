#include "engine/visual/TextureContent.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/XmlReader.h"
#include "engine/platform/Image.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/AtlasTextureCollection.h"
#include "support/LogCapture.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;
using testing_support::LogCapture;
using visual_test::ContentFixture;

namespace {

std::string str(const stringc& s) { return s.c_str(); }

// The log entries with the text, as "hint@level".
std::vector<std::string> logged(const LogCapture& log, const std::string& text) {
    std::vector<std::string> out;
    for (const auto& e : log.entries())
        if (e.text == text) out.push_back(e.hint + "@" + std::to_string(e.level));
    return out;
}

}  // namespace

TEST(AtlasNameTest, SplitsPrefixFrameAndSuffix) {
    const struct {
        const char* name;
        const char* prefix;
        int32_t frame;
        const char* suffix;
    } cases[] = {
        {"ui/anim0012.png", "ui/anim", 12, ".png"},
        {"fx/spark_0007.png", "fx/spark_", 7, ".png"},
        {"icons/star.png", "icons/star", -1, ".png"},
        {"button.png", "button", -1, ".png"},
        {"0012.png", "", 12, ".png"},
        {"anim12", "", -1, ""},  // no '.': no frame, empty prefix
        {"", "", -1, ""},
        {".png", ".", -1, ""},   // a '.' in front is no suffix
        {".5", ".", -1, ""},  // the scan stays on the leading '.'
        {"x.5", "x", -1, ".5"},
        {"dir.v2/frame3", "dir", -1, ".v2/frame3"},  // the last '.' counts, wherever it is
        {"seq.0001.png", "seq.", 1, ".png"},
        {"f2147483647.png", "f", 2147483647, ".png"},
        {"f2147483648.png", "f2147483648", -1, ".png"},  // beyond an int: no frame
        {"f99999999999.png", "f99999999999", -1, ".png"},
        {"f000000000000042.png", "f", 42, ".png"},  // leading zeros do not count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AtlasName parsed = parseAtlasName(c.name);
        EXPECT_EQ(str(parsed.prefix), c.prefix);
        EXPECT_EQ(parsed.frame, c.frame);
        EXPECT_EQ(str(parsed.suffix), c.suffix);
    }
    EXPECT_EQ(str(makeAtlasFrameName("ui/anim", 6, ".png")), "ui/anim0006.png");
    EXPECT_EQ(str(makeAtlasFrameName("ui/anim", 12345, ".png")), "ui/anim12345.png");

    // The atlas texture takes them from its name.
    CountedRef<AtlasTextureContent> atlas(new AtlasTextureContent(CreationContext(nullptr, "fx/spark_0007.png"), nullptr,
                                                                  rectf(0, 0, 1, 1), vector2df(), vector2df()));
    EXPECT_EQ(str(atlas->getNamePrefix()), "fx/spark_");
    EXPECT_EQ(atlas->getFrameNumber(), 7);
    EXPECT_EQ(str(atlas->getNameSuffix()), ".png");
    EXPECT_EQ(atlas->getContentType(), makeContentType('a', 't', 'e', 'x'));
    EXPECT_EQ(atlas->getContentFlags(), ContentFlags::Shared);
    EXPECT_EQ(atlas->clone(), nullptr);
}

namespace {

class AtlasTextureTest : public ContentFixture {};

const char* const kCollection =
    "<?xml version=\"1.0\"?>\n"
    "<AtlasTextureCollection>\n"
    "  <t n=\"early\" i=\"0\" r=\"0 0 1 1\"/>\n"  // before any sheet
    "  <a f=\"sheet.png\"/>\n"
    "  <a f=\"missing.png\"/>\n"
    "  <t n=\"ui/button.png\" i=\"0\" r=\"10, 20, 74 84\"/>\n"
    "  <t n=\"ui/blank.png\" i=\"0\" r=\"0 0 0 0\"/>\n"
    "  <t n=\"ui/flip.png\" i=\"0\" r=\"50 50 10 10\"/>\n"
    "  <t n=\"\" i=\"0\" r=\"0 0 1 1\"/>\n"
    "  <t n=\"ui/gone.png\" i=\"1\" r=\"0 0 1 1\"/>\n"
    "  <t n=\"ui/out.png\" i=\"2\" r=\"0 0 1 1\"/>\n"
    "  <t n=\"ui/trim.png\" r=\"1.9;2;33;34\" b=\"2,3\" a=\"4 5\"/>\n"
    "  <group><t n=\"ui/deep.png\" i=\"0\" r=\"0,0,8,8\"/></group>\n"
    "</AtlasTextureCollection>\n";

}  // namespace

// An image named directly is an atlas texture covering its whole texture.
TEST_F(AtlasTextureTest, ImageFilesLoadAsWholeTextureAtlasTextures) {
    writeImage("images/anim0003.png", 8, 4);
    LogCapture log;
    CountedRef<AtlasTextureContent> atlas(loadAtlasTexture(manager_.get(), "images/anim0003.png", false));
    ASSERT_TRUE(atlas);
    EXPECT_EQ(atlas->getTextureRect(), rectf(0, 0, 1, 1));
    EXPECT_EQ(atlas->getLeadingMargin(), vector2df(0, 0));
    EXPECT_EQ(atlas->getTrailingMargin(), vector2df(0, 0));
    EXPECT_EQ(atlas->getFrameNumber(), 3);
    EXPECT_EQ(str(atlas->getNamePrefix()), "images/anim");
    ASSERT_TRUE(atlas->getTexture());
    EXPECT_EQ(getTextureImageSize(atlas->getTexture()), irr::core::dimension2d<irr::u32>(8, 4));
    EXPECT_EQ(logged(log, "Loaded atlas texture"), std::vector<std::string>{"images/anim0003.png@-1"});

    // Atlas texture, texture and image are cached under the same name.
    EXPECT_EQ(cached(ContentType::AtlasTexture, "images/anim0003.png"), atlas.get());
    EXPECT_EQ(cached(ContentType::Texture, "images/anim0003.png"), atlas->getTexture());
    EXPECT_TRUE(dynamic_cast<Image*>(cached(ContentType::Image, "images/anim0003.png")));
    CountedRef<AtlasTextureContent> again(loadAtlasTexture(manager_.get(), "images/anim0003.png", false));
    EXPECT_EQ(again.get(), atlas.get());

    writeText("images/broken.png", "not an image");
    EXPECT_EQ(loadAtlasTexture(manager_.get(), "images/broken.png", false), nullptr);
    EXPECT_EQ(loadAtlasTexture(manager_.get(), "images/none.png", false), nullptr);
    EXPECT_FALSE(manager_->save(ContentType::AtlasTexture, atlas.get(), "out.png", 0));
}

TEST_F(AtlasTextureTest, CollectionsPublishTheirEntries) {
    clearContentProblems();
    writeImage("atlas/sheet.png", 128, 64);
    writeText("atlas/ui.xml", kCollection);
    LogCapture log;
    CountedRef<Content> loaded(manager_->load(ContentType::AtlasTextureCollection, "atlas/ui.xml", false));
    auto* collection = dynamic_cast<AtlasTextureCollection*>(loaded.get());
    ASSERT_TRUE(collection);
    EXPECT_EQ(collection->getContentFlags(), ContentFlags::NeverCached);
    EXPECT_EQ(cached(ContentType::AtlasTextureCollection, "atlas/ui.xml"), nullptr);
    EXPECT_EQ(manager_->getFolderStack().size(), 1u);

    // Skipped: the entry before any sheet, the nameless one, the one whose
    // sheet does not load and the one whose sheet is not listed.
    ASSERT_EQ(collection->getAtlasTextureCount(), 5u);
    const char* const names[] = {"ui/button.png", "ui/blank.png", "ui/flip.png", "ui/trim.png", "ui/deep.png"};
    for (uint32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(names[i]);
        AtlasTextureContent* atlas = collection->getAtlasTexture(i);
        EXPECT_EQ(str(atlas->getCreationContext().getName()), names[i]);
        EXPECT_EQ(cached(ContentType::AtlasTexture, names[i]), atlas);
        EXPECT_EQ(atlas->getTexture(), collection->getAtlasTexture(0)->getTexture());  // one sheet texture
    }
    EXPECT_EQ(cached(ContentType::Texture, "atlas/sheet.png"), collection->getAtlasTexture(0)->getTexture());
    EXPECT_EQ(logged(log, "Added atlas texture"),
              (std::vector<std::string>{"ui/button.png@-1", "ui/blank.png@-1", "ui/flip.png@-1", "ui/trim.png@-1",
                                        "ui/deep.png@-1"}));
    EXPECT_EQ(logged(log, "WARN: image has wrong rectangle"), std::vector<std::string>{"ui/flip.png@1"});
    EXPECT_EQ(logged(log, "Loaded atlas texture collection"), std::vector<std::string>{"atlas/ui.xml@-1"});

    // Texture coordinates are fractions of the sheet's image.
    EXPECT_EQ(collection->getAtlasTexture(0)->getTextureRect(), rectf(10 / 128.f, 20 / 64.f, 74 / 128.f, 84 / 64.f));
    EXPECT_EQ(collection->getAtlasTexture(1)->getTextureRect(), rectf(0, 0, 0, 0));
    EXPECT_EQ(collection->getAtlasTexture(2)->getTextureRect(), rectf(0, 0, 1, 1));  // inverted: the whole sheet
    AtlasTextureContent* trim = collection->getAtlasTexture(3);
    EXPECT_EQ(trim->getTextureRect(), rectf(1 / 128.f, 2 / 64.f, 33 / 128.f, 34 / 64.f));  // 1.9 cut to 1
    EXPECT_EQ(trim->getLeadingMargin(), vector2df(2, 3));
    EXPECT_EQ(trim->getTrailingMargin(), vector2df(4, 5));

    // A published name loads without any file of that name.
    CountedRef<AtlasTextureContent> byName(loadAtlasTexture(manager_.get(), "ui/button.png", false));
    EXPECT_EQ(byName.get(), collection->getAtlasTexture(0));

    // Reading again makes new atlas textures; the cache keeps the first ones.
    log.clear();
    CountedRef<Content> second(manager_->load(ContentType::AtlasTextureCollection, "atlas/ui.xml", false));
    ASSERT_TRUE(second);
    EXPECT_NE(second.get(), loaded.get());
    EXPECT_TRUE(logged(log, "Added atlas texture").empty());
    EXPECT_EQ(cached(ContentType::AtlasTexture, "ui/button.png"), collection->getAtlasTexture(0));

    // The missing sheet is kept for the game to tell the player, once.
    std::string reported;
    ASSERT_TRUE(peekContentProblem(reported));
    EXPECT_EQ(reported, "atlas/missing.png");
    dropContentProblem();
    EXPECT_FALSE(peekContentProblem(reported));
    clearContentProblems();
}

TEST_F(AtlasTextureTest, NumberedFramesKeepTheirFrameNumbers) {
    writeImage("fx/sheet.png", 40, 10);
    std::string xml = "<AtlasTextureCollection><a f=\"sheet.png\"/>";
    for (int i = 0; i < 4; ++i)
        xml += "<t n=\"fx/spark_000" + std::to_string(i) + ".png\" i=\"0\" r=\"" + std::to_string(i * 10) + " 0 " +
               std::to_string(i * 10 + 10) + " 10\"/>";
    xml += "</AtlasTextureCollection>";
    writeText("fx/fx.xml", xml);
    CountedRef<Content> collection(manager_->load(ContentType::AtlasTextureCollection, "fx/fx.xml", false));
    ASSERT_TRUE(collection);
    for (int i = 0; i < 4; ++i) {
        CountedRef<AtlasTextureContent> frame(
            loadAtlasTexture(manager_.get(), makeAtlasFrameName("fx/spark_", i, ".png"), false));
        ASSERT_TRUE(frame) << i;
        EXPECT_EQ(frame->getFrameNumber(), i);
        EXPECT_EQ(str(frame->getNamePrefix()), "fx/spark_");
        EXPECT_FLOAT_EQ(frame->getTextureRect().UpperLeftCorner.X, i * 0.25f);
    }
}

// The collection writes what it reads, so a saved collection loads back the same.
TEST_F(AtlasTextureTest, SavedCollectionsLoadBackTheSame) {
    writeImage("atlas/sheet.png", 128, 64);
    writeImage("atlas/second.png", 16, 16);
    writeText("atlas/ui.xml",
              "<AtlasTextureCollection><a f=\"sheet.png\"/><a f=\"second.png\"/>"
              "<t n=\"zeta.png\" i=\"0\" r=\"0 0 8 8\"/>"
              "<t n=\"on second.png\" i=\"1\" r=\"1 1 15 15\" a=\"1.5,0\"/>"
              "<t n=\"alpha &amp; &quot;quoted&quot;.png\" i=\"0\" r=\"8 0 40 20\" b=\"3,4\" a=\"5 6\"/>"
              "</AtlasTextureCollection>");
    CountedRef<AtlasTextureCollection> first(dynamic_cast<AtlasTextureCollection*>(
        manager_->load(ContentType::AtlasTextureCollection, "atlas/ui.xml", false)));
    ASSERT_TRUE(first);
    ASSERT_TRUE(manager_->save(ContentType::AtlasTextureCollection, first.get(), "atlas/copy.xml", 0));

    // Sorted by sheet, then by name; the attribute names are the reading ones.
    const std::string written = testing_support::TempDir::read(dir_.file("atlas/copy.xml"));
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    ASSERT_EQ(first->getEntries().size(), 3u);
    EXPECT_EQ(str(first->getEntries()[0].name), "alpha & \"quoted\".png");
    EXPECT_EQ(str(first->getEntries()[1].name), "zeta.png");
    EXPECT_EQ(str(first->getEntries()[2].name), "on second.png");

    manager_->clearCache();
    CountedRef<AtlasTextureCollection> copy(dynamic_cast<AtlasTextureCollection*>(
        manager_->load(ContentType::AtlasTextureCollection, "atlas/copy.xml", false)));
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->getAtlasTextureCount(), 3u);
    EXPECT_EQ(copy->getFiles(), first->getFiles());
    for (uint32_t i = 0; i < 3; ++i) {
        const AtlasTextureContent* a = first->getAtlasTexture(i);
        AtlasTextureContent* b = nullptr;
        for (uint32_t j = 0; j < 3; ++j)
            if (copy->getAtlasTexture(j)->getCreationContext().getName() == a->getCreationContext().getName())
                b = copy->getAtlasTexture(j);
        ASSERT_TRUE(b) << a->getCreationContext().getName().c_str();
        EXPECT_EQ(b->getTextureRect(), a->getTextureRect());
        EXPECT_EQ(b->getLeadingMargin(), a->getLeadingMargin());
        EXPECT_EQ(b->getTrailingMargin(), a->getTrailingMargin());
        EXPECT_EQ(cached(ContentType::AtlasTexture, a->getCreationContext().getName().c_str()), b);
    }
}

// A collection that would not read back is not written.
TEST_F(AtlasTextureTest, UnreadableCollectionsAreNotSaved) {
    const struct {
        const char* name;
        const char* entryName;
        int32_t fileIndex;
    } cases[] = {
        {"sheet index past the files", "x.png", 1},
        {"negative sheet index", "x.png", -1},
        {"no name", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountedRef<AtlasTextureCollection> collection(new AtlasTextureCollection(CreationContext()));
        EXPECT_EQ(collection->addFile("sheet.png"), 0);
        AtlasEntry good;
        good.name = "fine.png";
        collection->addEntry(good);
        AtlasEntry bad;
        bad.name = c.entryName;
        bad.fileIndex = c.fileIndex;
        collection->addEntry(bad);
        LogCapture log;
        EXPECT_FALSE(manager_->save(ContentType::AtlasTextureCollection, collection.get(), "bad.xml", 0));
        EXPECT_TRUE(log.hasErrors());
        EXPECT_TRUE(testing_support::TempDir::read(dir_.file("bad.xml")).empty());
    }
    CountedRef<AtlasTextureContent> notACollection(
        new AtlasTextureContent(CreationContext(), nullptr, rectf(), vector2df(), vector2df()));
    EXPECT_FALSE(manager_->save(ContentType::AtlasTextureCollection, notACollection.get(), "other.xml", 0));
}

TEST_F(AtlasTextureTest, BrokenCollectionFilesLoadNothing) {
    writeImage("atlas/sheet.png", 32, 32);
    const std::string full = "<AtlasTextureCollection><a f=\"sheet.png\"/><t n=\"a.png\" i=\"0\" r=\"0 0 4 4\"/>"
                             "<t n=\"b.png\" i=\"0\" r=\"4 4 8 8\"/></AtlasTextureCollection>";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"cut inside an entry", full.substr(0, full.find("<t n=\"b.png\"") + 9)},
        {"cut before the end tag", full.substr(0, full.find("</AtlasTextureCollection>"))},
        // The end of the empty element inside is not the collection's end.
        {"cut after an empty collection inside",
         "<AtlasTextureCollection><AtlasTextureCollection/><a f=\"sheet.png\"/><t n=\"a.png\" i=\"0\" r=\"0 0 4 4\"/>"},
        {"another root element", "<Atlas><a f=\"sheet.png\"/><t n=\"a.png\" i=\"0\" r=\"0 0 4 4\"/></Atlas>"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeText("atlas/bad.xml", c.bytes);
        clearContentProblems();
        LogCapture log;
        EXPECT_EQ(manager_->load(ContentType::AtlasTextureCollection, "atlas/bad.xml", false), nullptr);
        EXPECT_TRUE(log.hasErrors());
        // Kept for the game to tell the player: a town would draw nothing.
        std::string reported;
        if (c.bytes.find("AtlasTextureCollection") != std::string::npos) {
            EXPECT_TRUE(peekContentProblem(reported));
            EXPECT_EQ(reported, "atlas/bad.xml");
        }
        EXPECT_EQ(cached(ContentType::AtlasTexture, "a.png"), nullptr);
        EXPECT_EQ(manager_->getFolderStack().size(), 1u);
    }

    // Without a content manager nothing can be read.
    CountedRef<AtlasTextureCollection> orphan(new AtlasTextureCollection(CreationContext(nullptr, "orphan.xml")));
    XmlReader reader(full.data(), full.size());
    LogCapture log;
    EXPECT_FALSE(orphan->readXml(reader));
    EXPECT_TRUE(log.hasErrors());
    EXPECT_EQ(orphan->getAtlasTextureCount(), 0u);
}
