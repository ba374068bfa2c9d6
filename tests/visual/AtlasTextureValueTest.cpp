// The atlas-texture property value: loading by path through the content
// manager, writing the path back, and stepping through numbered frames.
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "engine/visual/AtlasTexture.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;

namespace {

std::string str(const stringc& s) { return s.c_str(); }

// Frames fx/spark_0002.png to fx/spark_0010.png (frame 7 left out), one
// unnumbered texture, and a frame 0 of a sequence with frames far apart.
class AtlasTextureValueTest : public visual_test::ContentFixture {
protected:
    AtlasTextureValueTest() {
        writeImage("fx/sheet.png", 64, 8);
        std::string xml = "<AtlasTextureCollection><a f=\"sheet.png\"/>";
        for (int frame = 2; frame <= 10; ++frame) {
            if (frame == 7) continue;
            xml += "<t n=\"" + str(makeAtlasFrameName("fx/spark_", frame, ".png")) + "\" i=\"0\" r=\"" +
                   std::to_string(frame * 4) + " 0 " + std::to_string(frame * 4 + 4) + " 8\"/>";
        }
        xml += "<t n=\"fx/single.png\" i=\"0\" r=\"0 0 4 4\"/>";
        xml += "<t n=\"fx/far0000.png\" i=\"0\" r=\"0 0 4 4\"/><t n=\"fx/far99999.png\" i=\"0\" r=\"0 0 4 4\"/>";
        xml += "</AtlasTextureCollection>";
        writeText("fx/fx.xml", xml);
        collection_.reset(manager_->load(ContentType::AtlasTextureCollection, "fx/fx.xml", false));
    }

    AtlasTextureContent* frame(int n) {
        return static_cast<AtlasTextureContent*>(cached(ContentType::AtlasTexture,
                                                        makeAtlasFrameName("fx/spark_", n, ".png").c_str()));
    }
    AtlasTextureContent* named(const char* name) {
        return static_cast<AtlasTextureContent*>(cached(ContentType::AtlasTexture, name));
    }

    CountedRef<Content> collection_;
};

}  // namespace

TEST_F(AtlasTextureValueTest, StepsThroughTheFramesBetweenTwoKeys) {
    ASSERT_TRUE(collection_);
    ASSERT_TRUE(frame(2) && frame(10));
    CPropertyDataAtlasTexture start(frame(2));
    CPropertyDataAtlasTexture end(frame(10));
    const struct {
        float t;
        int expected;
    } cases[] = {{0.0f, 2}, {0.5f, 6}, {0.124f, 2}, {0.125f, 3}, {0.99f, 9}, {1.0f, 10}, {1.5f, 10}};
    for (bool prepared : {false, true}) {
        if (prepared) start.prepareInterpolation(&end);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.t) + (prepared ? " from the frame cache" : " loaded by name"));
            CPropertyDataAtlasTexture out;
            EXPECT_TRUE(start.interpolate(&end, &out, c.t, 0));
            EXPECT_EQ(out.getTexture(), frame(c.expected));
            EXPECT_EQ(out.getContentManager(), manager_.get());
            // The same frame again changes nothing.
            EXPECT_FALSE(start.interpolate(&end, &out, c.t, 0));
        }
    }
}

TEST_F(AtlasTextureValueTest, FrameCacheRunsFromTheStartFrameToTheEndFrame) {
    CPropertyDataAtlasTexture up(frame(2));
    CPropertyDataAtlasTexture down(frame(10));
    up.prepareInterpolation(&down);
    ASSERT_EQ(up.getFrameCacheSize(), 9u);
    for (uint32_t k = 0; k < 9; ++k) EXPECT_EQ(up.getCachedFrame(k), frame(static_cast<int>(2 + k))) << k;
    EXPECT_EQ(up.getCachedFrame(5), nullptr);  // frame 7 does not exist

    down.prepareInterpolation(&up);
    ASSERT_EQ(down.getFrameCacheSize(), 9u);
    EXPECT_EQ(down.getCachedFrame(0), frame(10));
    EXPECT_EQ(down.getCachedFrame(8), frame(2));
    // From 10 to 2 at 0.5 is frame 6 as well, cache index 4.
    CPropertyDataAtlasTexture out;
    EXPECT_TRUE(down.interpolate(&up, &out, 0.5f, 0));
    EXPECT_EQ(out.getTexture(), frame(6));
    EXPECT_EQ(down.getCachedFrame(4), frame(6));

    // A missing frame leaves the output without a texture.
    EXPECT_TRUE(down.interpolate(&up, &out, 0.375f, 0));
    EXPECT_EQ(out.getTexture(), nullptr);

    // Equal frames, an unnumbered texture or a missing one empty the cache.
    CPropertyDataAtlasTexture same(frame(2));
    up.prepareInterpolation(&same);
    EXPECT_EQ(up.getFrameCacheSize(), 0u);
    CPropertyDataAtlasTexture single(named("fx/single.png"));
    down.prepareInterpolation(&single);
    EXPECT_EQ(down.getFrameCacheSize(), 0u);

    // A sequence longer than four digits allow is loaded frame by frame, not ahead.
    CPropertyDataAtlasTexture farStart(named("fx/far0000.png"));
    CPropertyDataAtlasTexture farEnd(named("fx/far99999.png"));
    ASSERT_TRUE(farStart.getTexture() && farEnd.getTexture());
    farStart.prepareInterpolation(&farEnd);
    EXPECT_EQ(farStart.getFrameCacheSize(), 0u);
    EXPECT_TRUE(farStart.interpolate(&farEnd, &out, 1.0f, 0));
    EXPECT_EQ(out.getTexture(), farEnd.getTexture());
}

TEST_F(AtlasTextureValueTest, UnnumberedTexturesHoldUntilTheEnd) {
    CPropertyDataAtlasTexture single(named("fx/single.png"));
    CPropertyDataAtlasTexture numbered(frame(10));
    CPropertyDataAtlasTexture none;
    CPropertyDataAtlasTexture out;
    EXPECT_TRUE(single.interpolate(&numbered, &out, 0.5f, 0));
    EXPECT_EQ(out.getTexture(), single.getTexture());
    EXPECT_FALSE(single.interpolate(&numbered, &out, 0.9f, 0));
    EXPECT_TRUE(single.interpolate(&numbered, &out, 1.0f, 0));
    EXPECT_EQ(out.getTexture(), frame(10));
    // No end texture: the start until t reaches 1, then nothing.
    EXPECT_FALSE(numbered.interpolate(&none, &out, 0.5f, 0));
    EXPECT_EQ(out.getTexture(), frame(10));
    EXPECT_TRUE(numbered.interpolate(&none, &out, 1.0f, 0));
    EXPECT_EQ(out.getTexture(), nullptr);
    EXPECT_EQ(out.getContentManager(), manager_.get());  // null keeps the recorded manager
}

TEST_F(AtlasTextureValueTest, LoadsFromPathsAndWritesThemBack) {
    writeImage("scenes/images/logo.png", 4, 4);
    CPropertyDataAtlasTexture value(manager_.get());
    value.fromString("scenes/images/logo.png");
    ASSERT_TRUE(value.getTexture());
    EXPECT_EQ(value.getTexture(), named("scenes/images/logo.png"));
    EXPECT_EQ(value.getTexture()->getRefCount(), 2);  // the cache's and the value's
    EXPECT_EQ(str(value.toString()), "scenes/images/logo.png");

    // Paths are relative to the file being read or written.
    manager_->pushFolder("scenes/menu.oscn");
    EXPECT_EQ(str(value.toString()), "images/logo.png");
    CPropertyDataAtlasTexture relative(manager_.get());
    relative.fromString("images/logo.png");
    EXPECT_EQ(relative.getTexture(), value.getTexture());
    manager_->popFolder();

    // Empty text keeps the texture; a path that does not load leaves none.
    value.fromString("");
    EXPECT_TRUE(value.getTexture());
    value.fromString("scenes/images/none.png");
    EXPECT_EQ(value.getTexture(), nullptr);
    EXPECT_TRUE(value.toString().empty());
    // Without a content manager the text is not loaded.
    CPropertyDataAtlasTexture orphan;
    orphan.fromStringW(L"scenes/images/logo.png");
    EXPECT_EQ(orphan.getTexture(), nullptr);
}

TEST_F(AtlasTextureValueTest, RoundTripsThroughPropertySets) {
    CountedRef<PropertySet> set(new PropertySet(manager_.get()));
    set->add("AtlasTexture", makeAtlasTextureData(frame(4)));
    set->add("Nothing", makeAtlasTextureData(nullptr));
    XmlWriter writer;
    ASSERT_TRUE(set->write(&writer));

    const std::string& bytes = writer.getBuffer();
    CountedRef<XmlReader> reader(new XmlReader(bytes.data(), bytes.size()));
    ASSERT_TRUE(reader->read());
    CountedRef<PropertySet> back(new PropertySet(manager_.get()));
    ASSERT_TRUE(back->read(reader.get(), true));
    EXPECT_EQ(str(back->getString("AtlasTexture")), "fx/spark_0004.png");
    const auto* read = dynamic_cast<const CPropertyDataAtlasTexture*>(back->find("AtlasTexture").get());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->getTexture(), frame(4));
    EXPECT_TRUE(read->equals(set->find("AtlasTexture").get()));
    const auto* nothing = dynamic_cast<const CPropertyDataAtlasTexture*>(back->find("Nothing").get());
    ASSERT_TRUE(nothing);
    EXPECT_EQ(nothing->getTexture(), nullptr);

    // A set without a content manager reads the path but cannot load it.
    CountedRef<XmlReader> again(new XmlReader(bytes.data(), bytes.size()));
    ASSERT_TRUE(again->read());
    CountedRef<PropertySet> unloaded(new PropertySet());
    ASSERT_TRUE(unloaded->read(again.get(), true));
    EXPECT_TRUE(unloaded->getString("AtlasTexture").empty());
}

TEST_F(AtlasTextureValueTest, ClonesShareTheTextureAndTheFrameCache) {
    CPropertyDataAtlasTexture start(frame(2));
    CPropertyDataAtlasTexture end(frame(4));
    start.prepareInterpolation(&end);
    const int32_t before = frame(3)->getRefCount();
    CountedRef<IPropertyData> copy = start.clone();
    auto* clone = static_cast<CPropertyDataAtlasTexture*>(copy.get());
    EXPECT_EQ(clone->getTexture(), frame(2));
    EXPECT_EQ(clone->getContentManager(), manager_.get());
    ASSERT_EQ(clone->getFrameCacheSize(), 3u);
    EXPECT_EQ(clone->getCachedFrame(1), frame(3));
    EXPECT_EQ(frame(3)->getRefCount(), before + 1);
    EXPECT_TRUE(clone->equals(&start));
    EXPECT_FALSE(clone->equals(&end));
    copy.reset();
    EXPECT_EQ(frame(3)->getRefCount(), before);

    CountedRef<CPropertyDataAtlasTexture> made = makeAtlasTextureData(frame(5));
    EXPECT_EQ(made->getTexture(), frame(5));
    EXPECT_EQ(made->getRefCount(), 1);
}
