#include "audio/AudioFixtures.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/OpenALSounds.h"
#include "engine/audio/SoundManager.h"
#include "engine/audio/SoundPack.h"
#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/io/FileSystem.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <cstdlib>

using namespace engine;
using namespace audiotest;
using namespace testing_support;

namespace {

class SoundPackTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ALSOFT_DRIVERS", "null", 0);
        LogCapture quiet;
        driver_ = createOpenALAudioDriver(fs_.get());
        if (!driver_) SKIP_OR_FAIL_UNDER_CI() << "no OpenAL device could be opened (set ALSOFT_DRIVERS=null)";
        processors_.reset(new CContentProcessorsManager(nullptr, driver_, fs_.get(), nullptr));
        content_.reset(new CContentManager(nullptr, fs_.get(), processors_.get()));
    }
    void TearDown() override {
        content_.reset();
        processors_.reset();
        if (driver_) driver_->release();
    }
    // Packs are shared contents, cached by path: each test text gets its own file.
    SoundPack* loadPack(const std::string& xml, const char* name = "sounds/Pack.xml") {
        const std::string path = dir_.write(name, xml);
        Content* loaded = content_->load(ContentType::SoundPack, path.c_str(), false);
        return dynamic_cast<SoundPack*>(loaded);
    }

    TempDir dir_;
    CountedRef<FileSystem> fs_{new FileSystem()};
    OpenALAudioDriver* driver_ = nullptr;
    CountedRef<CContentProcessorsManager> processors_;
    CountedRef<CContentManager> content_;
};

}  // namespace

TEST_F(SoundPackTest, PackReadsCuesAndLoadsVariantsBesideIt) {
    dir_.write("sounds/a.wav", makeWav(seconds(0.1)));
    dir_.write("sounds/sub/b.wav", makeWav(seconds(0.1)));
    LogCapture log;
    CountedRef<SoundPack> pack(loadPack(
        "<?xml version=\"1.0\"?>\n<SoundPack>\n"
        "<SoundCue Name=\"Click\" GroupID=\"0\" Vol=\"0.5\" Loop=\"true\">"
        "<Sound Filename=\"a.wav\"/><Sound Filename=\"missing.wav\"/><Sound Filename=\"sub/b.wav\"/></SoundCue>\n"
        "<SoundCue Name=\"Plain\" Loop=\"True\"><Sound Filename=\"a.wav\"/></SoundCue>\n"
        "<SoundCue Name=\"Nothing\"/>\n"
        "<SoundCue Name=\"Click\" GroupID=\"2\"><Sound Filename=\"a.wav\"/></SoundCue>\n"
        "</SoundPack>\n<SoundCue Name=\"After\"/>\n"));
    ASSERT_TRUE(pack);
    EXPECT_EQ(pack->getContentFlags(), ContentFlags::Shared);
    EXPECT_TRUE(log.contains("Loaded sound pack"));
    ASSERT_EQ(pack->getCues().size(), 4u);
    SoundCue* click = pack->getCues()[0];
    EXPECT_EQ(click->getName(), makeNameId("Click"));
    EXPECT_EQ(click->getGroupId(), 0);
    EXPECT_FLOAT_EQ(click->getVol(), 0.5f);
    EXPECT_TRUE(click->getLoop());
    EXPECT_EQ(click->getVariants().size(), 2u);  // the missing file is left out
    SoundCue* plain = pack->getCues()[1];
    EXPECT_EQ(plain->getGroupId(), -1);
    EXPECT_FLOAT_EQ(plain->getVol(), 1.0f);
    EXPECT_FALSE(plain->getLoop());  // only "true" loops
    EXPECT_TRUE(pack->getCues()[2]->getVariants().empty());

    CountedRef<SoundManager> manager(new SoundManager());
    pack->registerCues(manager.get());
    EXPECT_EQ(manager->findCue(makeNameId("Click")), click);  // the first of a name wins
    EXPECT_EQ(manager->findCue(makeNameId("After")), nullptr);
    EXPECT_EQ(manager->playCue(makeNameId("Nothing"), false, 0), nullptr);
    SoundCue* instance = manager->playCue(makeNameId("Click"), false, 0);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->getState(), 2);
    pack.reset();  // the manager keeps the cues
    ASSERT_NE(manager->playCue(makeNameId("Plain"), false, 0), nullptr);
    manager->stopGroup(-1);
    manager->update(1);
    EXPECT_TRUE(manager->getPlaying().empty());
}

TEST_F(SoundPackTest, StreamingTypeChoosesPerCueAndThresholdComesBack) {
    // One file per cue: a loaded (not streamed) sound is cached by its path.
    for (const char* name : {"sounds/s.wav", "sounds/w.wav", "sounds/d.wav"}) dir_.write(name, makeWav(seconds(0.1)));
    struct Case {
        uint32_t threshold;
    } cases[] = {{0x40000}, {0}, {1000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.threshold);
        driver_->setStreamingThreshold(c.threshold);
        CountedRef<SoundPack> pack(loadPack(
            "<SoundPack>"
            "<SoundCue Name=\"S\" StreamingType=\"1\"><Sound Filename=\"s.wav\"/></SoundCue>"
            "<SoundCue Name=\"W\" StreamingType=\"2\"><Sound Filename=\"w.wav\"/></SoundCue>"
            "<SoundCue Name=\"D\"><Sound Filename=\"d.wav\"/></SoundCue>"
            "</SoundPack>"));
        ASSERT_TRUE(pack);
        ASSERT_EQ(pack->getCues().size(), 3u);
        for (SoundCue* cue : pack->getCues()) ASSERT_EQ(cue->getVariants().size(), 1u);
        EXPECT_TRUE(dynamic_cast<StreamedSound*>(pack->getCues()[0]->getVariants()[0]));
        EXPECT_TRUE(dynamic_cast<StaticSound*>(pack->getCues()[1]->getVariants()[0]));
        // 4410 bytes: streamed only under a smaller threshold.
        EXPECT_EQ(dynamic_cast<StreamedSound*>(pack->getCues()[2]->getVariants()[0]) != nullptr,
                  c.threshold < 4410);
        EXPECT_EQ(driver_->getStreamingThreshold(), c.threshold);
        content_->clearCache();
    }
}

TEST_F(SoundPackTest, EmptyElementsOfTheSameNameEndNeitherThePackNorACue) {
    dir_.write("sounds/a.wav", makeWav(seconds(0.1)));
    CountedRef<SoundPack> pack(loadPack("<SoundPack><SoundPack/>"
                                        "<SoundCue Name=\"A\"><SoundCue/><Sound Filename=\"a.wav\"/></SoundCue>"
                                        "<SoundCue Name=\"B\"/></SoundPack>",
                                        "sounds/nested.xml"));
    ASSERT_TRUE(pack);
    ASSERT_EQ(pack->getCues().size(), 2u);
    EXPECT_EQ(pack->getCues()[0]->getName(), makeNameId("A"));
    EXPECT_EQ(pack->getCues()[0]->getVariants().size(), 1u);
    EXPECT_EQ(pack->getCues()[1]->getName(), makeNameId("B"));
}

TEST_F(SoundPackTest, BrokenPackFilesAreSafe) {
    LogCapture log;
    CountedRef<SoundPack> truncated(loadPack("<SoundPack><SoundCue Name=\"X\"><Sound Filename=", "t.xml"));
    if (truncated) {
        EXPECT_LE(truncated->getCues().size(), 1u);
    }
    CountedRef<SoundPack> empty(loadPack("", "e.xml"));
    if (empty) {
        EXPECT_TRUE(empty->getCues().empty());
    }
    EXPECT_EQ(content_->load(ContentType::SoundPack, dir_.file("none.xml").c_str(), false), nullptr);
}

TEST_F(SoundPackTest, StreamedCueInstancesReadTheirFilesIndependently) {
    dir_.write("sounds/m.wav", makeWav(seconds(0.3)));
    CountedRef<SoundPack> pack(loadPack(
        "<SoundPack><SoundCue Name=\"Music\" StreamingType=\"1\"><Sound Filename=\"m.wav\"/></SoundCue></SoundPack>"));
    ASSERT_TRUE(pack);
    CountedRef<SoundManager> manager(new SoundManager());
    pack->registerCues(manager.get());
    SoundCue* a = manager->playCue(makeNameId("Music"), false, 0);
    SoundCue* b = manager->playCue(makeNameId("Music"), false, 0);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->getVariants()[0], b->getVariants()[0]);
    EXPECT_TRUE(dynamic_cast<StreamedSound*>(a->getVariants()[0]));
    for (int i = 0; i < 300 && !manager->getPlaying().empty(); ++i) {
        manager->update(10);
        sleepMs(10);
    }
    EXPECT_TRUE(manager->getPlaying().empty());  // both ran to their end
}
