// The engine device without a display: construction, the receiver list and
// event delivery, the run loop's stepping over a clock the test moves, the
// background and minimised behaviour, and driver replacement.
#include "engine/audio/SoundManager.h"
#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/content/Dictionary.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/TimerScheduler.h"
#include "engine/platform/EngineDevice.h"
#include "platform/DeviceTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

using namespace engine;
using device_test::FakeClock;
using device_test::FakeDisplayFactory;
using device_test::RecordingReceiver;
using testing_support::LogCapture;

namespace {

class DeviceTest : public ::testing::Test {
protected:
    void make(const DeviceParameters& parameters = DeviceParameters()) {
        device = CountedRef<EngineDevice>(createDevice(parameters, device_test::services(clock.get(), displays.get())));
        ASSERT_TRUE(device);
    }

    CountedRef<RecordingReceiver> addRecorder(const std::string& name, int32_t order, int32_t mask = ~0,
                                              std::vector<std::string>* journal = nullptr) {
        auto receiver = makeRef<RecordingReceiver>(name, journal, mask);
        EXPECT_TRUE(device->addEventReceiver(receiver.get(), order));
        return receiver;
    }

    // Closes the device at the n-th sleep of the loop; `each` runs at every
    // sleep before (with its number, from 1).
    void closeAtSleep(size_t n, std::function<void(size_t)> each = nullptr) {
        clock->onSleep = [this, n, each](uint32_t) {
            const size_t count = clock->sleeps.size();
            if (count >= n) {
                device->closeDevice();
                return;
            }
            if (each) each(count);
        };
    }

    static DeviceParameters windowed(int32_t type = VideoDriverType::OpenGL, int32_t width = 1024,
                                     int32_t height = 768) {
        DeviceParameters p;
        p.driverType = type;
        p.windowWidth = width;
        p.windowHeight = height;
        return p;
    }

    static std::vector<std::string> order(const EngineDevice& d) {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < d.getReceivers().size(); ++i) {
            auto* r = dynamic_cast<RecordingReceiver*>(d.getReceivers()[i].receiver);
            names.push_back(r ? r->name : "?");
        }
        return names;
    }

    LogCapture log;
    CountedRef<FakeClock> clock = makeRef<FakeClock>();
    CountedRef<FakeDisplayFactory> displays = makeRef<FakeDisplayFactory>();
    CountedRef<EngineDevice> device;
};

// ---- Construction ---------------------------------------------------------

TEST_F(DeviceTest, StartsWithTheNullDriverAndTheEngineDefaults) {
    device = CountedRef<EngineDevice>(createDevice(DeviceParameters()));  // Irrlicht's own null driver
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->getVideoDriver());
    EXPECT_EQ(device->getVideoDriver()->getDriverType(), irr::video::EDT_NULL);
    ASSERT_TRUE(device->getRenderContext());
    EXPECT_EQ(device->getRenderContext()->getDriver(), device->getVideoDriver());
    EXPECT_EQ(device->getWindowHandle(), 0u);
    EXPECT_EQ(device->getCursorControl(), nullptr);
    EXPECT_FALSE(device->isExternalWindow());
    EXPECT_TRUE(device->isWindowShown());
    EXPECT_TRUE(device->isWindowActive());
    EXPECT_EQ(device->getUpdateInterval(), 5u);
    EXPECT_EQ(device->getUpdateStep(), 15u);
    // With ALSOFT_DRIVERS=null the OpenAL driver opens; either way the sound
    // manager exists, registered at order 1, and holds whatever driver was made.
    ASSERT_NE(device->getSoundManager(), nullptr);
    EXPECT_EQ(device->getSoundManager()->getAudioDriver(), device->getAudioDriver());
    bool managerAtOrder1 = false;
    for (uint32_t i = 0; i < device->getReceivers().size(); ++i)
        if (device->getReceivers()[i].receiver == device->getSoundManager())
            managerAtOrder1 = device->getReceivers()[i].order == 1;
    EXPECT_TRUE(managerAtOrder1);
    ASSERT_NE(device->getDictionary(), nullptr);
    EXPECT_EQ(getCurrentDictionary(), device->getDictionary());  // text nodes localise through it
    EXPECT_EQ(device->getMask(), EventCategory::Driver);

    PropertySet* settings = device->getSettings();
    const char* keys[] = {"PublisherName", "TitleName", "TitleCaption", "ProfilesCryptKey", "AssetsCryptKey",
                          "AssetsFolder"};
    const char* values[] = {"Marrowby", "Orvel Sample Project", "Orvel Sample Project", "", "", "assets"};
    ASSERT_EQ(settings->getCount(), 6u);
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(settings->getNameAt(i), keys[i]);
        EXPECT_EQ(settings->getString(keys[i]), values[i]);
    }

    // The content processors come first of all receivers, then the sound manager.
    ASSERT_TRUE(device->getProcessorsManager());
    ASSERT_EQ(device->getReceivers().size(), 2u);
    EXPECT_EQ(device->getReceivers()[1].receiver, device->getSoundManager());
    EXPECT_EQ(device->getReceivers()[0].receiver, device->getProcessorsManager());
    EXPECT_EQ(device->getReceivers()[0].order, -1);
    EXPECT_EQ(device->getProcessorsManager()->getVideoDriver(), device->getVideoDriver());

    EXPECT_TRUE(log.contains("Irrlicht Engine version 1.4.2"));
    EXPECT_FALSE(log.hasErrors());
}

TEST_F(DeviceTest, WarnsOnceWhenTheCallerWasBuiltAgainstAnotherVersion) {
    DeviceParameters parameters;
    parameters.versionText = "1.3";
    make(parameters);
    size_t warnings = 0;
    for (const auto& entry : log.entries()) {
        if (entry.level != LOG_WARNING) continue;
        ++warnings;
        EXPECT_EQ(entry.text,
                  "Warning: The library version of the Irrlicht Engine (1.4.2) does not match the version the "
                  "application was compiled with (1.3). This may cause problems.");
    }
    EXPECT_EQ(warnings, 1u);
    EXPECT_TRUE(device->getVideoDriver());
    // A copy keeps its own version text.
    DeviceParameters copy = parameters;
    EXPECT_STREQ(copy.versionText, kEngineVersionText);
    EXPECT_TRUE(EngineDeviceBase::checkVersion("1.4.2"));
}

TEST_F(DeviceTest, FactoriesMakeManagersOverTheCurrentDriver) {
    make();
    CountedRef<CContentManager> content(device->createContentManager());
    EXPECT_EQ(content->getVideoDriver(), device->getVideoDriver());
    EXPECT_EQ(content->getFileSystem(), device->getFileSystem());
    EXPECT_EQ(content->getProcessorsManager(), device->getProcessorsManager());
    CountedRef<TimerScheduler> scheduler(device->createTimerScheduler());
    EXPECT_TRUE(scheduler);
    // The scene manager's own wiring is tested with the scene-manager tests.
    CountedRef<SceneManager> scenes(device->createSceneManager());
    ASSERT_TRUE(scenes);
    EXPECT_EQ(scenes->getEventReceiverRegistry(), device.get());
}

TEST_F(DeviceTest, TheFileSystemReadsTheSettingsItNeeds) {
    testing_support::TempDir home;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    make();
    device->getSettings()->setStringW("PublisherName", L"Pub");
    device->getSettings()->setStringW("TitleName", L"Game");
    device->getSettings()->setStringW("AssetsCryptKey", L"secret");
    const stringc folder = device->getFileSystem()->getUserDataFolder();
    EXPECT_EQ(std::string(folder.c_str()), (home.path() / "Pub" / "Game").string());
    EXPECT_TRUE(std::filesystem::is_directory(folder.c_str()));
    LogCapture quiet;
    device->getFileSystem()->addFileArchive("no-such-archive.oca", false, false);
    EXPECT_EQ(device->getFileSystem()->getAssetsCryptKey(), "secret");
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST_F(DeviceTest, GetEngineReturnsTheLiveDeviceAndRefusesADestroyedOne) {
    make();
    EXPECT_EQ(getEngine(), device.get());
    device.reset();
    try {
        getEngine();
        ADD_FAILURE() << "a destroyed device was handed out";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Dead Reference Detected");
    }
    make();
    EXPECT_EQ(getEngine(), device.get());
    // A device that could not be made leaves the record alone.
    displays->failing = {VideoDriverType::OpenGL};
    DeviceParameters p;
    p.driverType = VideoDriverType::OpenGL;
    EXPECT_EQ(createDevice(p, device_test::services(clock.get(), displays.get())), nullptr);
    EXPECT_EQ(getEngine(), device.get());
}

// Opening a web address starts xdg-open with the address, without a shell.
TEST_F(DeviceTest, OpensAddressesWithXdgOpen) {
    make();
    testing_support::TempDir bin;
    const std::string out = bin.file("opened.txt");
    bin.write("xdg-open", "#!/bin/sh\nprintf '%s|' \"$@\" > " + out + ".part && mv " + out + ".part " + out + "\n");
    std::filesystem::permissions(bin.file("xdg-open"), std::filesystem::perms::owner_all);
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    setenv("PATH", (bin.path().string() + ":" + savedPath).c_str(), 1);

    EXPECT_TRUE(device->openURL("https://example.test/a b;$(x)"));
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i) usleep(10000);
    EXPECT_EQ(testing_support::TempDir::read(out), "https://example.test/a b;$(x)|");

    setenv("PATH", bin.file("nothing-here").c_str(), 1);
    EXPECT_FALSE(device->openURL("https://example.test/"));
    setenv("PATH", savedPath.c_str(), 1);
    ASSERT_FALSE(log.entries().empty());
    EXPECT_EQ(log.entries().back().text, "Unable to open URL");
    EXPECT_EQ(log.entries().back().hint, "https://example.test/");
    EXPECT_EQ(log.entries().back().level, LOG_WARNING);
}

// ---- Receivers and delivery ---------------------------------------------

TEST_F(DeviceTest, ReceiversAreHeapSortedByOrderNumber) {
    make();
    device->removeEventReceiver(device->getProcessorsManager());
    device->removeEventReceiver(device->getSoundManager());
    const std::pair<const char*, int32_t> registrations[] = {{"A", 1}, {"B", -1}, {"C", 0}, {"D", 1},
                                                              {"E", 2}, {"F", 2},  {"G", 2}};
    std::vector<CountedRef<RecordingReceiver>> receivers;
    for (const auto& r : registrations) receivers.push_back(addRecorder(r.first, r.second));
    // Equal numbers keep no registration order.
    EXPECT_EQ(order(*device), (std::vector<std::string>{"B", "C", "A", "D", "E", "G", "F"}));
    EXPECT_EQ(receivers[0]->getRefCount(), 2);

    // Deliveries leave the order alone (re-sorting would move E, F and G).
    for (int i = 0; i < 2; ++i) {
        CountedRef<Event> render(new RenderEvent());
        device->deliverEvent(render.get());
    }
    EXPECT_EQ(order(*device), (std::vector<std::string>{"B", "C", "A", "D", "E", "G", "F"}));

    EXPECT_FALSE(device->addEventReceiver(receivers[0].get(), 5));  // already there
    EXPECT_FALSE(device->addEventReceiver(nullptr, 0));
    device->removeEventReceiver(receivers[3].get());
    EXPECT_EQ(receivers[3]->getRefCount(), 1);
    EXPECT_EQ(order(*device), (std::vector<std::string>{"B", "C", "A", "E", "G", "F"}));
    auto stranger = makeRef<RecordingReceiver>("X");
    device->removeEventReceiver(stranger.get());  // not registered: nothing happens
    EXPECT_EQ(device->getReceivers().size(), 6u);
}

TEST_F(DeviceTest, DeliveryFollowsTheOrderSkipsForeignCategoriesAndStopsAtTheFirstHandler) {
    make();
    std::vector<std::string> journal;
    auto keys = addRecorder("keys", 0, EventCategory::Keyboard, &journal);
    auto first = addRecorder("first", 1, EventCategory::System | EventCategory::Mouse, &journal);
    auto second = addRecorder("second", 2, ~0, &journal);
    auto third = addRecorder("third", 3, ~0, &journal);
    second->handles = {EventId::MouseMoveEvent};

    CountedRef<Event> render(new RenderEvent());
    EXPECT_FALSE(device->deliverEvent(render.get()));
    CountedRef<Event> move(new MouseMoveEvent(1, 2));
    EXPECT_TRUE(device->deliverEvent(move.get()));
    CountedRef<Event> key(new KeyDownEvent('a', 'A', false, false));
    EXPECT_FALSE(device->deliverEvent(key.get()));
    EXPECT_EQ(journal, (std::vector<std::string>{"first:14", "second:14", "third:14", "first:20", "second:20",
                                                 "keys:31", "second:31", "third:31"}));
}

// A receiver whose handler goes on to its children: the device delivers with
// "handler, then children".
class ParentReceiver : public EventReceiver {
public:
    explicit ParentReceiver(RecordingReceiver* child) : child_(child) { setMask(~0); }
    bool routeToChildren(int32_t mode, Event* event) override { return child_->deliver(mode, event); }

private:
    RecordingReceiver* child_;
};

TEST_F(DeviceTest, ReceiversPassEventsOnToTheirChildren) {
    make();
    auto child = makeRef<RecordingReceiver>("child");
    child->handles = {EventId::RenderEvent};
    auto parent = makeRef<ParentReceiver>(child.get());
    auto after = addRecorder("after", 5);
    ASSERT_TRUE(device->addEventReceiver(parent.get(), 0));
    CountedRef<Event> render(new RenderEvent());
    EXPECT_TRUE(device->deliverEvent(render.get()));
    EXPECT_EQ(child->count(EventId::RenderEvent), 1u);
    EXPECT_EQ(after->count(EventId::RenderEvent), 0u);
}

TEST_F(DeviceTest, ChangesDuringADeliveryTakeEffectWhenItEnds) {
    make();
    std::vector<std::string> journal;
    auto adder = addRecorder("adder", 0, ~0, &journal);
    auto remover = addRecorder("remover", 1, ~0, &journal);
    auto victim = addRecorder("victim", 2, ~0, &journal);
    auto late = makeRef<RecordingReceiver>("late", &journal);

    bool first = true;
    adder->onEvent = [&](Event* event) {
        if (first && event->getTypeId() == EventId::RenderEvent) {
            EXPECT_TRUE(device->addEventReceiver(late.get(), -5));
            EXPECT_FALSE(device->addEventReceiver(victim.get(), 7));  // duplicates are still refused
        }
        return false;
    };
    remover->onEvent = [&](Event* event) {
        if (first && event->getTypeId() == EventId::RenderEvent) {
            first = false;
            device->removeEventReceiver(victim.get());
            // A delivery inside the delivery: the pending changes wait for the outer one.
            CountedRef<Event> inner(new WindowFocusEvent(true));
            device->deliverEvent(inner.get());
        }
        return false;
    };
    CountedRef<Event> render(new RenderEvent());
    device->deliverEvent(render.get());
    EXPECT_EQ(journal, (std::vector<std::string>{"adder:14", "remover:14", "adder:16", "remover:16", "victim:16",
                                                 "victim:14"}));
    EXPECT_FALSE(device->isDispatching());
    EXPECT_EQ(victim->getRefCount(), 1);
    EXPECT_EQ(late->getRefCount(), 2);

    journal.clear();
    CountedRef<Event> next(new RenderEvent());
    device->deliverEvent(next.get());
    EXPECT_EQ(journal, (std::vector<std::string>{"late:14", "adder:14", "remover:14"}));
}

TEST_F(DeviceTest, ReceiversAreReleasedWithTheDeviceLastOneFirst) {
    make();
    std::vector<std::string> released;
    struct Noting : EventReceiver {
        Noting(std::vector<std::string>* out, std::string name) : out(out), name(std::move(name)) {}
        ~Noting() override { out->push_back(name); }
        std::vector<std::string>* out;
        std::string name;
    };
    device->addEventReceiver(new Noting(&released, "one"), 1);
    device->addEventReceiver(new Noting(&released, "two"), 2);
    // The device holds the only references now (the creation ones were handed over).
    for (uint32_t i = 0; i < device->getReceivers().size(); ++i)
        if (dynamic_cast<Noting*>(device->getReceivers()[i].receiver)) device->getReceivers()[i].receiver->release();
    device.reset();
    EXPECT_EQ(released, (std::vector<std::string>{"two", "one"}));
}

// ---- The run loop ---------------------------------------------------------

struct SteppingCase {
    uint32_t interval;
    uint32_t step;
    uint32_t elapsed;
    std::vector<uint32_t> updates;
    uint32_t carried;
};

TEST_F(DeviceTest, StepsElapsedTimeIntoUpdatesOfTheConfiguredStep) {
    const SteppingCase cases[] = {
        {10, 10, 9, {}, 9},           {10, 10, 10, {10}, 0}, {10, 10, 25, {10, 10}, 5}, {10, 10, 35, {10, 10, 10}, 5},
        {10, 10, 500, {10}, 0},       {5, 15, 12, {12}, 0},  {5, 15, 40, {15, 15}, 10}, {5, 15, 5, {5}, 0},
        {5, 15, 15, {15}, 0},         {5, 15, 4, {}, 4},
    };
    for (const SteppingCase& c : cases) {
        SCOPED_TRACE("interval " + std::to_string(c.interval) + ", step " + std::to_string(c.step) + ", elapsed " +
                     std::to_string(c.elapsed));
        clock = makeRef<FakeClock>();
        make();
        device->setUpdateInterval(c.interval);
        device->setUpdateStep(c.step);
        auto recorder = addRecorder("game", 0);
        // The first pass finds nothing due and sleeps; then the time passes.
        // The pass that posts updates ends with a render, where the loop is
        // closed; without updates it is closed at the next sleep.
        uint32_t carried = 0;
        recorder->onEvent = [&](Event* event) {
            if (event->getTypeId() == EventId::RenderEvent) {
                carried = device->getTimer()->getTime() - device->getLastUpdateTime();
                device->closeDevice();
            }
            return false;
        };
        closeAtSleep(2, [&](size_t) { clock->now += c.elapsed; });
        EXPECT_TRUE(device->run());
        if (c.updates.empty()) carried = device->getTimer()->getTime() - device->getLastUpdateTime();
        EXPECT_EQ(recorder->updates(), c.updates);
        EXPECT_EQ(carried, c.carried);
        EXPECT_EQ(recorder->count(EventId::RenderEvent), c.updates.empty() ? 0u : 1u);
        EXPECT_EQ(clock->sleeps.front(), 1u);
        device.reset();
    }
}

TEST_F(DeviceTest, SleepsNotAtAllWithAnIntervalOfOne) {
    make();
    device->setUpdateInterval(1);
    device->setUpdateStep(1);
    auto recorder = addRecorder("game", 0);
    int passes = 0;
    recorder->onEvent = [&](Event* event) {
        if (event->getTypeId() == EventId::RenderEvent) {
            clock->now += 1;
            if (++passes == 5) device->closeDevice();
        }
        return false;
    };
    clock->now += 1;
    device->run();
    EXPECT_TRUE(clock->sleeps.empty());
    EXPECT_EQ(recorder->updates(), (std::vector<uint32_t>{1, 1, 1, 1, 1}));
}

TEST_F(DeviceTest, InTheBackgroundTimeStandsStillAndFramesComeFiveTimesASecond) {
    make();
    device->setUpdateInterval(10);
    device->setUpdateStep(10);
    auto recorder = addRecorder("game", 0);
    closeAtSleep(8, [&](size_t n) {
        switch (n) {
        case 1:
            clock->now += 20;
            break;
        case 2:
            device->postMessage(DeviceMessage::make(DeviceMessageType::Activation, false));
            break;
        case 3:
        case 4:
            clock->now += 200;
            break;
        case 5:
            clock->now += 200;
            device->postMessage(DeviceMessage::make(DeviceMessageType::Activation, true));
            break;
        case 6:
            clock->now += 10;
            break;
        default:
            break;
        }
    });
    device->run();
    EXPECT_EQ(recorder->updates(), (std::vector<uint32_t>{10, 10, 10}));
    EXPECT_EQ(std::vector<uint32_t>(clock->sleeps.begin() + 2, clock->sleeps.begin() + 5),
              (std::vector<uint32_t>{200, 200, 200}));
    EXPECT_EQ(recorder->count(EventId::RenderEvent), 5u);
    EXPECT_EQ(device->getTimer()->getTime(), 30u);  // the 600 ms away are not counted
    ASSERT_EQ(recorder->count(EventId::ApplicationActivationEvent), 2u);
    EXPECT_TRUE(recorder->last(EventId::ApplicationActivationEvent)->flag);
    EXPECT_TRUE(log.contains("Application deactivated."));
    EXPECT_TRUE(log.contains("Application activated."));
}

TEST_F(DeviceTest, WhileMinimisedTheLoopWaitsForMessagesAndPostsNothing) {
    make(windowed());
    device->setUpdateInterval(10);
    device->setUpdateStep(10);
    auto recorder = addRecorder("game", 0);
    device_test::FakeDisplayHost* host = displays->current;
    host->onBlockingPump = [&] {
        clock->now += 5000;
        DeviceMessage move = DeviceMessage::make(DeviceMessageType::MouseMove);
        move.x = 5;
        host->script.push_back(move);
        host->script.push_back(DeviceMessage::make(DeviceMessageType::Size, false));
    };
    closeAtSleep(4, [&](size_t n) {
        if (n == 1) clock->now += 10;
        if (n == 2) device->postMessage(DeviceMessage::make(DeviceMessageType::Size, true));
    });
    device->run();
    EXPECT_EQ(host->blockingPumps, 1);
    EXPECT_EQ(recorder->count(EventId::MouseMoveEvent), 0u);  // not reported while minimised
    // One update before the minimise; after it, the lag beyond 200 ms is dropped.
    EXPECT_EQ(recorder->updates(), (std::vector<uint32_t>{10, 10}));
    EXPECT_EQ(recorder->count(EventId::RenderEvent), 2u);
    EXPECT_TRUE(log.contains("Resizing window (1024 768)"));
}

TEST_F(DeviceTest, APassThatHandlesAMessagePostsNothing) {
    make();
    device->setUpdateInterval(10);
    device->setUpdateStep(10);
    auto recorder = addRecorder("game", 0);
    std::vector<std::string> order;
    recorder->onEvent = [&](Event* event) {
        order.push_back(std::to_string(event->getTypeId()));
        return false;
    };
    closeAtSleep(3, [&](size_t n) {
        if (n == 1) {
            clock->now += 10;
            device->postMessage(DeviceMessage::make(DeviceMessageType::Focus, true));
            device->postMessage(DeviceMessage::make(DeviceMessageType::Focus, false));
        }
    });
    device->run();
    EXPECT_EQ(order, (std::vector<std::string>{"16", "16", "13", "14"}));
}

TEST_F(DeviceTest, CloseDeviceEndsTheLoopAtItsNextTest) {
    make();
    auto recorder = addRecorder("game", 0);
    recorder->onEvent = [&](Event* event) {
        if (event->getTypeId() == EventId::UpdateEvent) device->closeDevice();
        return false;
    };
    closeAtSleep(100, [&](size_t) { clock->now += 15; });
    EXPECT_TRUE(device->run());
    EXPECT_FALSE(device->isRunning());
    EXPECT_EQ(recorder->count(EventId::UpdateEvent), 1u);
    EXPECT_EQ(recorder->count(EventId::RenderEvent), 0u);  // not while closing
    EXPECT_TRUE(log.contains("closeDevice() was called"));
}

TEST_F(DeviceTest, SleepCanKeepTheTimerFromCounting) {
    make();
    clock->onSleep = [&](uint32_t ms) { clock->now += ms; };
    device->getTimer()->tick();
    const uint32_t before = device->getTimer()->getTime();
    device->sleep(50, true);
    device->getTimer()->tick();
    EXPECT_EQ(device->getTimer()->getTime(), before);
    EXPECT_FALSE(device->getTimer()->isStopped());
    device->sleep(50, false);
    device->getTimer()->tick();
    EXPECT_EQ(device->getTimer()->getTime(), before + 50);
}

// ---- Drivers ----------------------------------------------------------------

TEST_F(DeviceTest, ReplacingTheDriverTellsEveryReceiverAndRebuildsTextures) {
    testing_support::TempDir folder;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    make();
    auto game = addRecorder("game", 0, ~0, &displays->journal);
    CountedRef<CContentManager> content(device->createContentManager());
    ASSERT_TRUE(device->addEventReceiver(content.get(), 1));
    auto late = addRecorder("late", 2, ~0, &displays->journal);

    CountedRef<Image> picture(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(4, 4)));
    picture->fill(0xFF20C040u);
    ASSERT_TRUE(content->save(ContentType::Image, picture.get(), "tex.bmp", 0));
    CountedRef<TextureContent> texture(static_cast<TextureContent*>(content->load(ContentType::Texture, "tex.bmp", false)));
    ASSERT_TRUE(texture && texture->getTexture());
    const IrrRef<irr::video::ITexture> oldTexture = IrrRef<irr::video::ITexture>::share(texture->getTexture());
    const IrrRef<irr::video::IVideoDriver> oldDriver = IrrRef<irr::video::IVideoDriver>::share(device->getVideoDriver());
    const RenderContext* oldContext = device->getRenderContext();

    displays->journal.clear();
    ASSERT_TRUE(device->applyVideoParameters(DeviceParameters()));
    EXPECT_EQ(displays->journal, (std::vector<std::string>{"game:9", "late:9", "destroy 0", "create 0", "game:10",
                                                           "late:10"}));
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    ASSERT_TRUE(driver);
    EXPECT_NE(driver, oldDriver.get());
    EXPECT_EQ(game->last(EventId::VideoDriverCreatedEvent)->driver, driver);
    ASSERT_TRUE(device->getRenderContext());
    EXPECT_NE(device->getRenderContext(), oldContext);
    EXPECT_EQ(device->getRenderContext()->getDriver(), driver);
    EXPECT_EQ(device->getProcessorsManager()->getVideoDriver(), driver);
    EXPECT_EQ(content->getVideoDriver(), driver);
    // The cached texture was made again on the new driver.
    ASSERT_TRUE(texture->getTexture());
    EXPECT_NE(texture->getTexture(), oldTexture.get());

    content->clearCache();
    device->removeEventReceiver(content.get());
    texture.reset();
    std::filesystem::current_path(previous);
}

TEST_F(DeviceTest, AFirstRealDriverBringsAWindowPlacedForTheParameters) {
    make();
    auto game = addRecorder("game", 0, ~0, &displays->journal);
    displays->journal.clear();
    ASSERT_TRUE(device->applyVideoParameters(windowed(VideoDriverType::Direct3D9)));
    EXPECT_EQ(displays->journal, (std::vector<std::string>{"game:9", "destroy 0", "create 2",
                                                           "place 1024x768 windowed", "game:10", "activate"}));
    EXPECT_EQ(device->getWindowHandle(), 0x100u);
    EXPECT_EQ(device->getParameters().windowHandle, 0x100u);
    ASSERT_TRUE(device->getCursorControl());
    EXPECT_EQ(device->getCursorControl()->getWindowWidth(), 1024);
    EXPECT_FALSE(device->getCursorControl()->isFullscreen());
    // The next window is made anew, not taken as someone else's.
    displays->journal.clear();
    ASSERT_TRUE(device->applyVideoParameters(windowed(VideoDriverType::OpenGL, 800, 600)));
    EXPECT_EQ(displays->requests.back().windowHandle, 0u);
    EXPECT_EQ(device->getWindowHandle(), 0x101u);
    EXPECT_FALSE(device->isExternalWindow());
}

// The engine-drawn cursor is a node that follows the pointer; the control keeps
// it alive while it is set.
TEST_F(DeviceTest, TheCursorNodeFollowsThePointerAndIsHeldWhileSet) {
    make();
    ASSERT_TRUE(device->applyVideoParameters(windowed(VideoDriverType::OpenGL)));
    CursorControl* cursor = device->getCursorControl();
    ASSERT_TRUE(cursor);
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    node->setPosition(vector3df(0, 0, -7));
    displays->current->pointerX = 40;
    displays->current->pointerY = 25;
    cursor->setCursorNode(node.get());
    EXPECT_EQ(node->getRefCount(), 2);
    EXPECT_EQ(node->getPosition(), vector3df(40, 25, -7));  // depth kept
    displays->current->pointerX = 41;
    cursor->updatePosition();
    EXPECT_FLOAT_EQ(node->getAbsoluteTransform().getTranslation().X, 41.0f);
    cursor->setCursorNode(nullptr);
    EXPECT_EQ(node->getRefCount(), 1);
}

TEST_F(DeviceTest, FullScreenIsAWindowOfTheDesktopSize) {
    make();
    DeviceParameters p = windowed();
    p.fullscreen = true;
    p.desktopSize = true;
    ASSERT_TRUE(device->applyVideoParameters(p));
    EXPECT_EQ(displays->journal.back(), "activate");
    EXPECT_NE(std::find(displays->journal.begin(), displays->journal.end(), "place 1920x1080 fullscreen"),
              displays->journal.end());
    EXPECT_EQ(device->getParameters().windowWidth, 1920);
    EXPECT_TRUE(device->isFullscreen());
    EXPECT_TRUE(device->getCursorControl()->isFullscreen());
    // Leaving the foreground in full screen minimises the window.
    device->windowProcedure(DeviceMessage::make(DeviceMessageType::Activation, false));
    EXPECT_EQ(displays->journal.back(), "minimize");
}

TEST_F(DeviceTest, ADriverThatCannotBeMadeFailsTheDeviceOrTheReplacement) {
    displays->failing = {VideoDriverType::OpenGL};
    EXPECT_EQ(createDevice(windowed(), device_test::services(clock.get(), displays.get())), nullptr);
    EXPECT_TRUE(log.contains("Could not create OpenGL driver."));

    log.clear();
    EXPECT_EQ(createDevice(windowed(7), device_test::services(clock.get(), displays.get())), nullptr);
    EXPECT_TRUE(log.contains("Unable to create video driver of unknown type."));

    make();
    auto game = addRecorder("game", 0);
    EXPECT_FALSE(device->applyVideoParameters(windowed()));
    EXPECT_EQ(device->getVideoDriver(), nullptr);
    EXPECT_EQ(device->getRenderContext(), nullptr);
    EXPECT_EQ(game->count(EventId::VideoDriverReleasedEvent), 1u);
    EXPECT_EQ(game->count(EventId::VideoDriverCreatedEvent), 0u);
    // A later replacement can still succeed.
    EXPECT_TRUE(device->applyVideoParameters(DeviceParameters()));
}

TEST_F(DeviceTest, AnExistingWindowIsUsedAsItIs) {
    DeviceParameters p;
    p.windowHandle = 0x4242;
    p.fullscreen = true;
    make(p);
    EXPECT_TRUE(device->isExternalWindow());
    EXPECT_EQ(device->getWindowHandle(), 0x4242u);
    EXPECT_FALSE(device->isFullscreen());
    EXPECT_EQ(displays->requests.back().windowHandle, 0x4242u);
    // Nothing is placed, and run makes one pass per call without pumping.
    EXPECT_EQ(std::count_if(displays->journal.begin(), displays->journal.end(),
                            [](const std::string& s) { return s.rfind("place", 0) == 0; }),
              0);
    auto game = addRecorder("game", 0);
    device->setUpdateInterval(10);
    device->setUpdateStep(10);
    clock->now += 10;
    EXPECT_TRUE(device->run());
    EXPECT_EQ(game->updates(), (std::vector<uint32_t>{10}));
    EXPECT_EQ(displays->current->pumps, 0);
    EXPECT_TRUE(clock->sleeps.empty());
}

}  // namespace
