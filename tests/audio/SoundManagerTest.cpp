#include "audio/FakeSound.h"
#include "engine/audio/SoundCue.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/Event.h"
#include <gtest/gtest.h>

using namespace engine;
using namespace audiotest;

namespace {

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override { manager_.reset(new SoundManager()); }

    // Registers a cue of the group with the given number of variants.
    SoundCue* addCue(const char* name, int32_t group, int variants = 1, bool loop = false, float vol = 1.0f) {
        CountedRef<SoundCue> cue(new SoundCue(makeNameId(name)));
        cue->setGroupId(group);
        cue->setLoop(loop);
        cue->setVol(vol);
        for (int i = 0; i < variants; ++i) {
            CountedRef<FakeSound> sound(new FakeSound(i, log_));
            cue->addVariant(sound.get());
        }
        EXPECT_TRUE(manager_->addCue(cue.get()));
        return cue.get();
    }
    void update(uint32_t ms) {
        CountedRef<UpdateEvent> event(new UpdateEvent(ms));
        EXPECT_FALSE(manager_->handleEvent(event.get()));
    }
    static FakeSound* current(SoundCue* instance) {
        return static_cast<FakeSound*>(instance->getVariants()[size_t(instance->getCurrentVariant())]);
    }

    std::shared_ptr<FakeLog> log_ = std::make_shared<FakeLog>();
    CountedRef<SoundManager> manager_;
};

}  // namespace

TEST_F(SoundManagerTest, CuesRegisterOnceAndPlayByName) {
    SoundCue* cue = addCue("Click", 0);
    CountedRef<SoundCue> duplicate(new SoundCue(makeNameId("Click")));
    EXPECT_FALSE(manager_->addCue(duplicate.get()));
    EXPECT_EQ(manager_->findCue(makeNameId("Click")), cue);
    EXPECT_EQ(cue->getManager(), manager_.get());
    EXPECT_EQ(manager_->playCue(makeNameId("NeverRegistered"), false, 0), nullptr);

    SoundCue* instance = manager_->playCue(makeNameId("Click"), false, 0);
    ASSERT_NE(instance, nullptr);
    EXPECT_NE(instance, cue);
    EXPECT_EQ(instance->getState(), 2);
    EXPECT_TRUE(manager_->isCuePlaying(makeNameId("Click")));
    EXPECT_EQ(manager_->playCue(makeNameId("Click"), true, 0), nullptr);  // only if not playing

    // A finished instance stays listed until the next update removes it.
    current(instance)->end();
    EXPECT_TRUE(manager_->isCuePlaying(makeNameId("Click")));
    update(10);
    EXPECT_FALSE(manager_->isCuePlaying(makeNameId("Click")));
    EXPECT_TRUE(manager_->getPlaying().empty());
}

TEST_F(SoundManagerTest, CueWithoutPlayableVariantGivesNoInstance) {
    addCue("Empty", 0, 0);
    EXPECT_EQ(manager_->playCue(makeNameId("Empty"), false, 0), nullptr);
    CountedRef<SoundCue> broken(new SoundCue(makeNameId("Broken")));
    CountedRef<FakeSound> sound(new FakeSound(0, log_, false));
    broken->addVariant(sound.get());
    manager_->addCue(broken.get());
    EXPECT_EQ(manager_->playCue(makeNameId("Broken"), false, 0), nullptr);
    EXPECT_TRUE(manager_->getPlaying().empty());
}

TEST_F(SoundManagerTest, VolumesMultiplyMasterGroupAndCue) {
    SoundCue* effect = addCue("Effect", 0, 1, false, 0.5f);
    SoundCue* master = addCue("Master", -1, 1, false, 0.5f);
    manager_->setGroupVolume(0.5f, 0);
    manager_->setGroupVolume(0.8f, -1);
    EXPECT_FLOAT_EQ(effect->getEffectiveVolume(), 0.5f * 0.8f * 0.5f);
    EXPECT_FLOAT_EQ(master->getEffectiveVolume(), 0.5f * 0.8f);
    SoundCue* instance = manager_->playCue(makeNameId("Effect"), false, 0);
    ASSERT_NE(instance, nullptr);
    EXPECT_FLOAT_EQ(current(instance)->getVolume(), 0.2f);
    manager_->setGroupVolume(1.0f, 0);
    EXPECT_FLOAT_EQ(current(instance)->getVolume(), 0.4f);
    EXPECT_FLOAT_EQ(manager_->getGroupVolume(0), 1.0f);
    EXPECT_FLOAT_EQ(manager_->getGroupVolume(7), 1.0f);  // made on first access

    // A silent master refuses cues of the master group only.
    manager_->setGroupVolume(0.0f, -1);
    EXPECT_EQ(manager_->playCue(makeNameId("Master"), false, 0), nullptr);
    SoundCue* silent = manager_->playCue(makeNameId("Effect"), false, 0);
    ASSERT_NE(silent, nullptr);
    EXPECT_FLOAT_EQ(current(silent)->getVolume(), 0.0f);
    // A silent own group refuses too.
    manager_->setGroupVolume(0.0f, 0);
    EXPECT_EQ(manager_->playCue(makeNameId("Effect"), false, 0), nullptr);
}

TEST_F(SoundManagerTest, GroupLimitsFollowTheOverflowRule) {
    struct Case {
        int32_t policy;
        bool thirdAdmitted;
        bool oldestFading;
    } cases[] = {{0, false, false}, {1, true, true}, {2, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.policy);
        manager_.reset(new SoundManager());
        addCue("Fx", 0);
        SoundGroup& group = manager_->getGroup(0);
        group.maxInstances = 2;
        group.overflowPolicy = c.policy;
        group.fadeOutMs = 300;
        SoundCue* first = manager_->playCue(makeNameId("Fx"), false, 0);
        ASSERT_NE(first, nullptr);
        CountedRef<SoundCue> held = CountedRef<SoundCue>::share(first);  // outlives its removal
        ASSERT_NE(manager_->playCue(makeNameId("Fx"), false, 0), nullptr);
        SoundCue* third = manager_->playCue(makeNameId("Fx"), false, 0);
        EXPECT_EQ(third != nullptr, c.thirdAdmitted);
        EXPECT_EQ(first->getFadeState() == 2, c.oldestFading);
        if (c.oldestFading) {
            // The fading one no longer counts: the next one stops the second.
            EXPECT_NE(manager_->playCue(makeNameId("Fx"), false, 0), nullptr);
            update(300);
            EXPECT_EQ(first->getState(), 0);
        }
    }
}

TEST_F(SoundManagerTest, MusicCrossFades) {
    addCue("MenuMusic", 1);
    addCue("ComicsMusic", 1);
    SoundGroup& music = manager_->getGroup(1);
    music.maxInstances = 1;
    music.overflowPolicy = 1;
    music.fadeInMs = 2000;
    music.fadeOutMs = 1000;
    SoundCue* menu = manager_->playCue(makeNameId("MenuMusic"), false, 0);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getFadeState(), 1);
    EXPECT_FLOAT_EQ(current(menu)->getVolume(), 0.0f);
    update(2000);
    EXPECT_EQ(menu->getFadeState(), 0);
    EXPECT_FLOAT_EQ(current(menu)->getVolume(), 1.0f);
    CountedRef<SoundCue> held = CountedRef<SoundCue>::share(menu);
    SoundCue* comics = manager_->playCue(makeNameId("ComicsMusic"), false, 0);
    ASSERT_NE(comics, nullptr);
    EXPECT_EQ(menu->getFadeState(), 2);
    EXPECT_EQ(manager_->getPlaying().size(), 2u);
    update(500);
    EXPECT_FLOAT_EQ(current(menu)->getVolume(), 0.5f);
    EXPECT_FLOAT_EQ(current(comics)->getVolume(), 0.25f);
    EXPECT_EQ(manager_->playCue(makeNameId("MenuMusic"), true, 0), nullptr);  // still listed while fading
    update(500);
    EXPECT_EQ(held->getState(), 0);
    EXPECT_EQ(manager_->getPlaying().size(), 1u);
}

TEST_F(SoundManagerTest, StopDuringFadeInFadesOutFromTheLevelReached) {
    addCue("Amb", 0);
    SoundCue* instance = manager_->playCue(makeNameId("Amb"), false, 2000);
    ASSERT_NE(instance, nullptr);
    CountedRef<SoundCue> held = CountedRef<SoundCue>::share(instance);
    update(500);
    instance->stop(1000);
    EXPECT_EQ(instance->getFadeState(), 2);
    EXPECT_EQ(instance->getFadePositionMs(), 250);
    EXPECT_EQ(instance->getFadeDurationMs(), 1000);
    instance->stop(5000);  // a second stop changes nothing
    EXPECT_EQ(instance->getFadePositionMs(), 250);
    update(100);
    EXPECT_FLOAT_EQ(current(instance)->getVolume(), 0.15f);
    update(150);
    EXPECT_EQ(instance->getState(), 0);
    EXPECT_TRUE(manager_->getPlaying().empty());
}

TEST_F(SoundManagerTest, StopCueUsesTheGroupFadeAndStopGroupIsImmediate) {
    addCue("A", 0);
    addCue("B", 2);
    manager_->getGroup(0).fadeOutMs = 400;
    SoundCue* a1 = manager_->playCue(makeNameId("A"), false, 0);
    SoundCue* a2 = manager_->playCue(makeNameId("A"), false, 0);
    SoundCue* b = manager_->playCue(makeNameId("B"), false, 0);
    manager_->stopCue(makeNameId("A"), 0);
    EXPECT_EQ(a1->getFadeState(), 2);
    EXPECT_EQ(a1->getFadeDurationMs(), 400);
    EXPECT_EQ(a2->getFadeState(), 0);
    manager_->stopCue(makeNameId("Nothing"), 0);
    manager_->stopGroup(2);
    EXPECT_EQ(b->getState(), 0);
    EXPECT_EQ(manager_->getPlaying().size(), 3u);  // removed at the next update
    update(1);
    EXPECT_EQ(manager_->getPlaying().size(), 2u);
    manager_->stopGroup(-1);
    update(1);
    EXPECT_TRUE(manager_->getPlaying().empty());
}

TEST_F(SoundManagerTest, PausedGroupsPauseTheirInstances) {
    addCue("Level", 2);
    addCue("Menu", 0);
    SoundCue* level = manager_->playCue(makeNameId("Level"), false, 0);
    manager_->setGroupPaused(true, 2);
    EXPECT_EQ(level->getState(), 1);
    SoundCue* later = manager_->playCue(makeNameId("Level"), false, 0);
    EXPECT_EQ(later->getState(), 1);  // starts paused
    manager_->setGroupPaused(false, 2);
    EXPECT_EQ(level->getState(), 2);
    EXPECT_EQ(later->getState(), 2);

    manager_->setGroupPaused(true, -1);
    EXPECT_EQ(level->getState(), 1);
    SoundCue* fresh = manager_->playCue(makeNameId("Menu"), false, 0);
    EXPECT_EQ(fresh->getState(), 2);  // the master pause changes no group record
    update(10);
    EXPECT_EQ(manager_->getPlaying().size(), 3u);  // paused ones are not finished
}

TEST_F(SoundManagerTest, LoopingCuesRepickOrLoopNatively) {
    addCue("Three", 0, 3, true);
    SoundCue* instance = manager_->playCue(makeNameId("Three"), false, 0);
    ASSERT_NE(instance, nullptr);
    for (int i = 0; i < 50; ++i) {
        current(instance)->end();
        update(10);
        ASSERT_EQ(instance->getState(), 2);
    }
    for (size_t i = 1; i < log_->plays.size(); ++i) EXPECT_NE(log_->plays[i], log_->plays[i - 1]);

    addCue("One", 0, 1, true);
    SoundCue* single = manager_->playCue(makeNameId("One"), false, 0);
    ASSERT_NE(single, nullptr);
    EXPECT_TRUE(current(single)->getLooping());

    addCue("Once", 0, 1, false);
    SoundCue* once = manager_->playCue(makeNameId("Once"), false, 0);
    EXPECT_FALSE(current(once)->getLooping());
}

TEST_F(SoundManagerTest, TakesTheDriverFromDriverEvents) {
    CountedRef<NullAudioDriver> driver(new NullAudioDriver(nullptr));
    CountedRef<AudioDriverCreatedEvent> created(new AudioDriverCreatedEvent(driver.get()));
    EXPECT_FALSE(manager_->handleEvent(created.get()));
    EXPECT_EQ(manager_->getAudioDriver(), driver.get());
    EXPECT_EQ(driver->getRefCount(), 2);
    manager_.reset();
    EXPECT_EQ(driver->getRefCount(), 1);
}
