#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundManager.h"
#include "engine/audio/SoundPack.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/Event.h"
#include "engine/platform/EngineDevice.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include <gtest/gtest.h>
#include <cstdlib>

using namespace engine;
using testing_support::LogCapture;

// The device makes the OpenAL driver, logs it and hands it to its sound
// manager and to the sound processors; without a device it works silently.
TEST(AudioDeviceTest, DeviceMakesTheDriverAndWiresTheSoundManager) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    LogCapture log;
    CountedRef<EngineDevice> device(createDevice(DeviceParameters()));
    ASSERT_TRUE(device);
    SoundManager* sounds = device->getSoundManager();
    ASSERT_NE(sounds, nullptr);
    EXPECT_EQ(getCurrentSoundManager(), sounds);
    AudioDriver* driver = device->getAudioDriver();
    if (!driver) {
        EXPECT_TRUE(log.contains("Could not create OpenAL Audio Driver."));
        EXPECT_EQ(sounds->getAudioDriver(), nullptr);
        SKIP_OR_FAIL_UNDER_CI() << "no OpenAL device could be opened (set ALSOFT_DRIVERS=null)";
    }
    EXPECT_NE(dynamic_cast<OpenALAudioDriver*>(driver), nullptr);
    EXPECT_TRUE(log.contains("Using audio: OpenAL\n Device: "));
    EXPECT_EQ(sounds->getAudioDriver(), driver);
    auto* processor = dynamic_cast<CSoundProcessor*>(device->getProcessorsManager()->findProcessor(ContentType::Sound));
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(processor->getAudioDriver(), driver);

    // Update events reach the manager through the device.
    CountedRef<SoundCue> cue(new SoundCue(makeNameId("DeviceCue")));
    sounds->addCue(cue.get());
    CountedRef<UpdateEvent> update(new UpdateEvent(5));
    EXPECT_FALSE(device->deliverEvent(update.get()));
    device.reset();
    EXPECT_EQ(getCurrentSoundManager(), nullptr);
    EXPECT_EQ(cue->getManager(), nullptr);  // detached when the manager went
}
