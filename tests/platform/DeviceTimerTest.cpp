// The device timer and the video-mode list.
#include "engine/platform/DeviceClock.h"
#include "engine/platform/VideoModeList.h"
#include "platform/DeviceTestSupport.h"

#include <gtest/gtest.h>

using namespace engine;
using device_test::FakeClock;

TEST(DeviceTimer, AdvancesOnlyWhenTickedAndNotWhileStopped) {
    auto clock = makeRef<FakeClock>();
    DeviceTimer timer(clock.get());
    EXPECT_EQ(timer.getTime(), 0u);
    clock->now += 30;
    EXPECT_EQ(timer.getTime(), 0u);  // nothing until the tick
    timer.tick();
    EXPECT_EQ(timer.getTime(), 30u);

    clock->now += 5;
    timer.stop();  // time since the last tick is not counted either
    clock->now += 1000;
    timer.tick();
    EXPECT_TRUE(timer.isStopped());
    EXPECT_EQ(timer.getTime(), 30u);
    timer.start();
    clock->now += 7;
    timer.tick();
    EXPECT_EQ(timer.getTime(), 37u);
    timer.start();  // starting a running timer changes nothing
    clock->now += 3;
    timer.tick();
    EXPECT_EQ(timer.getTime(), 40u);
}

TEST(DeviceTimer, CountsAcrossTheWrapOfTheRealClock) {
    auto clock = makeRef<FakeClock>();
    clock->now = 0xFFFFFFF0u;
    DeviceTimer timer(clock.get());
    clock->now = 0x10u;
    timer.tick();
    EXPECT_EQ(timer.getTime(), 0x20u);
}

TEST(SystemDeviceClock, SleepsAtLeastTheTimeAsked) {
    SystemDeviceClock clock;
    const uint32_t before = clock.getRealTime();
    clock.sleep(20);
    EXPECT_GE(clock.getRealTime() - before, 20u);
}

TEST(VideoModeList, KeepsModesSortedWithoutDuplicates) {
    VideoModeList list;
    EXPECT_TRUE(list.empty());
    list.addMode(1024, 768, 32);
    list.addMode(800, 600, 16);
    list.addMode(1024, 768, 16);
    list.addMode(1024, 600, 32);
    list.addMode(1024, 768, 32);  // duplicate
    list.addMode(800, 600, 32);
    const VideoMode expected[] = {{800, 600, 16}, {800, 600, 32}, {1024, 600, 32}, {1024, 768, 16}, {1024, 768, 32}};
    ASSERT_EQ(list.getModeCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list.getMode(i), expected[i]) << "mode " << i;
    EXPECT_EQ(list.getMode(5), VideoMode());
    EXPECT_EQ(list.getMode(-1), VideoMode());
    list.setDesktopMode(1920, 1080, 24);
    EXPECT_EQ(list.getDesktopMode(), (VideoMode{1920, 1080, 24}));
}
