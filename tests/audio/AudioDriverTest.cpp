#include "audio/AudioFixtures.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/OpenALSounds.h"
#include "engine/audio/SoundDecoder.h"
#include "engine/io/FileSystem.h"
#include "engine/platform/Thread.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <cstdlib>

using namespace engine;
using namespace audiotest;
using namespace testing_support;

namespace {

template <class T>
struct Owned {
    T* p;
    explicit Owned(T* q) : p(q) {}
    ~Owned() {
        if (p) p->release();
    }
    T* operator->() const { return p; }
    T* get() const { return p; }
};

BaseSound* soundFromBytes(AudioDriver* driver, const std::string& bytes, const char* name = "s.wav") {
    MemoryFile* file = memoryFile(bytes, name);
    CreationContext context(nullptr, name);
    BaseSound* sound = driver->createSound(file, &context);
    file->drop();
    return sound;
}

// Waits up to the time given for the condition, polling.
template <class F>
bool waitFor(F condition, int ms = 3000) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (condition()) return true;
        sleepMs(10);
    }
    return condition();
}

}  // namespace

TEST(NullAudioDriverTest, SilentDriverMakesNoSounds) {
    CountedRef<FileSystem> files(new FileSystem());
    TempDir dir;
    const std::string path = dir.write("a.wav", makeWav(seconds(0.1)));
    Owned<NullAudioDriver> driver(new NullAudioDriver(files.get()));
    stringc text;
    driver->describe(text);
    EXPECT_EQ(text, "Null audio device");
    EXPECT_EQ(driver->getStreamingThreshold(), 0x40000u);
    driver->setStreamingThreshold(5);
    EXPECT_EQ(driver->getStreamingThreshold(), 5u);
    EXPECT_EQ(driver->createSoundFromPath(path.c_str(), nullptr), nullptr);
    EXPECT_EQ(soundFromBytes(driver.get(), makeWav(seconds(0.1))), nullptr);
}

class OpenALTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ALSOFT_DRIVERS", "null", 0);
        files_.reset(new FileSystem());
        LogCapture log;
        driver_ = createOpenALAudioDriver(files_.get());
        if (!driver_) SKIP_OR_FAIL_UNDER_CI() << "no OpenAL device could be opened (set ALSOFT_DRIVERS=null)";
    }
    void TearDown() override {
        if (driver_) driver_->release();
    }
    CountedRef<FileSystem> files_;
    OpenALAudioDriver* driver_ = nullptr;
};

TEST_F(OpenALTest, DescribesItsDevice) {
    stringc text;
    driver_->describe(text);
    EXPECT_EQ(text.subString(0, 16), "OpenAL\n Device: ");
    EXPECT_NE(text.find("\n"), -1);
    driver_->setListener(irr::core::vector3df(1, 2, 3), irr::core::vector3df(0, 0, -1), irr::core::vector3df(),
                         irr::core::vector3df(0, 1, 0));
}

TEST_F(OpenALTest, ThresholdChoosesStaticOrStreamed) {
    const std::string bytes = makeWav(seconds(0.1));  // 2205 frames x 2 bytes = 4410 bytes
    struct Case {
        uint32_t threshold;
        bool streamed;
    } cases[] = {{0, true}, {4409, true}, {4410, false}, {0xFFFFFFFFu, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.threshold);
        driver_->setStreamingThreshold(c.threshold);
        Owned<BaseSound> sound(soundFromBytes(driver_, bytes));
        ASSERT_NE(sound.get(), nullptr);
        EXPECT_EQ(dynamic_cast<StreamedSound*>(sound.get()) != nullptr, c.streamed);
        EXPECT_EQ(sound->getContentType(), ContentType::Sound);
        EXPECT_EQ(sound->getContentFlags(), c.streamed ? ContentFlags::NeverCached : ContentFlags::None);
    }
}

TEST_F(OpenALTest, BadFilesMakeNoSound) {
    LogCapture log;
    EXPECT_EQ(soundFromBytes(driver_, "RIFF"), nullptr);
    EXPECT_EQ(soundFromBytes(driver_, std::string(100, 'x')), nullptr);
    EXPECT_EQ(driver_->createSoundFromPath("no/such/file.wav", nullptr), nullptr);
}

TEST_F(OpenALTest, StaticSoundPlaysAndClonesShareTheBuffer) {
    TempDir dir;
    const std::string path = dir.write("s.wav", makeWav(seconds(0.3, 2)));
    Owned<BaseSound> sound(driver_->createSoundFromPath(path.c_str(), nullptr));
    ASSERT_NE(sound.get(), nullptr);
    auto* staticSound = dynamic_cast<StaticSound*>(sound.get());
    ASSERT_NE(staticSound, nullptr);
    EXPECT_EQ(sound->getState(), 0);
    EXPECT_EQ(sound->getPlayPositionMs(), 0);
    sound->setVolume(0.5f);
    sound->setLooping(true);
    sound->setPosition(1, 2, 3);
    ASSERT_TRUE(sound->play());
    EXPECT_EQ(sound->getState(), 2);
    sound->pause(true);
    EXPECT_EQ(sound->getState(), 1);
    sound->pause(false);
    EXPECT_EQ(sound->getState(), 2);
    Owned<BaseSound> copy(static_cast<BaseSound*>(sound->clone()));
    auto* staticCopy = dynamic_cast<StaticSound*>(copy.get());
    ASSERT_NE(staticCopy, nullptr);
    EXPECT_EQ(staticCopy->getSoundBuffer(), staticSound->getSoundBuffer());
    EXPECT_FLOAT_EQ(copy->getVolume(), 0.5f);
    EXPECT_TRUE(copy->getLooping());
    EXPECT_EQ(copy->getPosition(), irr::core::vector3df(1, 2, 3));
    sound->stop();
    EXPECT_EQ(sound->getState(), 0);
    EXPECT_FALSE(sound->reservedSetter(1));
    EXPECT_EQ(sound->reservedGetter(), 0);
}

TEST_F(OpenALTest, StreamedSoundRunsToItsEnd) {
    driver_->setStreamingThreshold(0);
    Owned<BaseSound> sound(soundFromBytes(driver_, makeWav(seconds(0.1))));
    auto* stream = dynamic_cast<StreamedSound*>(sound.get());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(sound->getState(), 0);
    ASSERT_TRUE(sound->play());
    EXPECT_EQ(sound->getState(), 2);
    // The thread fills the buffers, plays the 100 ms and stops the sound.
    EXPECT_TRUE(waitFor([&] { return sound->getState() == 0; }));
    // Played again, it starts over with a fresh fill.
    ASSERT_TRUE(sound->play());
    EXPECT_EQ(sound->getState(), 2);
    EXPECT_TRUE(waitFor([&] { return sound->getState() == 0; }));
}

TEST_F(OpenALTest, LoopingStreamFillsWholeBuffersAndKeepsPlaying) {
    driver_->setStreamingThreshold(0);
    Owned<BaseSound> sound(soundFromBytes(driver_, makeWav(seconds(0.1))));
    auto* stream = dynamic_cast<StreamedSound*>(sound.get());
    ASSERT_NE(stream, nullptr);
    sound->setLooping(true);
    ASSERT_TRUE(sound->play());
    EXPECT_TRUE(waitFor([&] { return stream->getLastFillFrames() == stream->getFramesPerBuffer(); }));
    sleepMs(200);
    EXPECT_EQ(sound->getState(), 2);
    sound->stop();
    EXPECT_EQ(sound->getState(), 0);
}

// Played buffers leave the source's queue; the position counts them.
TEST_F(OpenALTest, StreamedPlayPositionRunsPastOneBuffer) {
    MemoryFile* file = memoryFile(makeWav(seconds(1.0)), "long.wav");
    CountedRef<SoundDecoder> decoder(getSoundDecoderManager().createDecoder(file, nullptr));
    file->drop();
    ASSERT_TRUE(decoder);
    // Buffers of 100 ms, so that a short test plays several.
    Owned<StreamedSound> sound(new StreamedSound(CreationContext(), decoder.get(), 2205, driver_));
    ASSERT_TRUE(sound->play());
    EXPECT_TRUE(waitFor([&] { return sound->getPlayPositionMs() >= 350; }, 2000));
    const int32_t position = sound->getPlayPositionMs();
    EXPECT_LT(position, 1000);
    sound->stop();
    EXPECT_EQ(sound->getPlayPositionMs(), 0);
}

TEST_F(OpenALTest, StreamPausedBeforeItsFirstRefillStaysSilent) {
    driver_->setStreamingThreshold(0);
    Owned<BaseSound> sound(soundFromBytes(driver_, makeWav(seconds(0.5))));
    ASSERT_NE(sound.get(), nullptr);
    ASSERT_TRUE(sound->play());
    sound->pause(true);
    sleepMs(200);  // many passes of the thread
    EXPECT_EQ(sound->getState(), 1);
    EXPECT_EQ(sound->getPlayPositionMs(), 0);
    sound->pause(false);
    EXPECT_EQ(sound->getState(), 2);
    EXPECT_TRUE(waitFor([&] { return sound->getPlayPositionMs() > 0 || sound->getState() == 0; }));
    EXPECT_TRUE(waitFor([&] { return sound->getState() == 0; }));
}

TEST_F(OpenALTest, StreamsDestroyedWhileQueuedOrPlayingLeaveTheThread) {
    driver_->setStreamingThreshold(0);
    const std::string bytes = makeWav(seconds(0.5));
    for (int i = 0; i < 20; ++i) {
        Owned<BaseSound> a(soundFromBytes(driver_, bytes));
        ASSERT_NE(a.get(), nullptr);
        a->setLooping(true);
        a->play();  // destroyed at once: still in the queue of new streams
        Owned<BaseSound> b(soundFromBytes(driver_, bytes));
        b->play();
        sleepMs(i % 3 * 10);  // sometimes refilled by the thread before it goes
    }
}

TEST_F(OpenALTest, UnsupportedBufferFormatIsRefused) {
    LogCapture log;
    CountedRef<SoundData> empty(new SoundData(nullptr));
    Owned<SoundBuffer> buffer(new SoundBuffer(empty.get()));
    EXPECT_EQ(buffer->getBuffer(), 0u);
    EXPECT_TRUE(log.contains("Unsupported OpenAL buffer format"));
}
