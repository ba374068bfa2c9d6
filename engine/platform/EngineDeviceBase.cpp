#include "engine/platform/EngineDeviceBase.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/NodeFactory.h"
#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TimerScheduler.h"
#include "engine/platform/CursorControl.h"
#include "engine/platform/EngineKinds.h"

#include <cstring>

namespace engine {

namespace {

// The file system reads the settings it depends on when it needs them, so
// that what the game writes into the settings counts from then on.
class DeviceFileSystem : public EngineFileSystem {
public:
    explicit DeviceFileSystem(PropertySet* settings) : settings_(CountedRef<PropertySet>::share(settings)) {}

    stringc getUserDataFolder() override {
        takeNames();
        return EngineFileSystem::getUserDataFolder();
    }
    stringc getSharedDataFolder() override {
        takeNames();
        return EngineFileSystem::getSharedDataFolder();
    }
    bool addFileArchive(const stringc& path, bool ignoreCase, bool ignorePaths) override {
        takeKey();
        return EngineFileSystem::addFileArchive(path, ignoreCase, ignorePaths);
    }
    bool addFileArchive(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) override {
        takeKey();
        return EngineFileSystem::addFileArchive(file, ignoreCase, ignorePaths);
    }

private:
    void takeNames() {
        setPublisherName(settings_->getString("PublisherName"));
        setTitleName(settings_->getString("TitleName"));
    }
    void takeKey() { setAssetsCryptKey(settings_->getString("AssetsCryptKey")); }

    CountedRef<PropertySet> settings_;
};

}  // namespace

EngineDeviceBase::EngineDeviceBase(const char* versionText, DeviceClock* clock) {
    addToMask(EventCategory::Driver);
    registerEngineKinds();
    settings_ = CountedRef<PropertySet>(new PropertySet());
    settings_->setStringW("PublisherName", L"Marrowby");
    settings_->setStringW("TitleName", L"Orvel Sample Project");
    settings_->setStringW("TitleCaption", L"Orvel Sample Project");
    settings_->setStringW("ProfilesCryptKey", L"");
    settings_->setStringW("AssetsCryptKey", L"");
    settings_->setStringW("AssetsFolder", L"assets");
    if (clock) {
        timer_ = makeRef<DeviceTimer>(clock);
    } else {
        CountedRef<DeviceClock> systemClock(new SystemDeviceClock());
        timer_ = makeRef<DeviceTimer>(systemClock.get());
    }
    fileSystem_ = CountedRef<FileSystem>(new DeviceFileSystem(settings_.get()));
    fileSystem_->setRandomSource([] { return getRandomGenerator().nextMT(); });
    // Texts are localised through the device's dictionary; text nodes find it
    // as the current one. The sound manager starts without an audio driver and
    // takes it from the driver-created event.
    soundManager_ = new SoundManager();
    addEventReceiver(soundManager_, 1);
    setCurrentSoundManager(soundManager_);
    dictionary_ = new Dictionary(fileSystem_.get());
    setCurrentDictionary(dictionary_);
    stringc version("Irrlicht Engine version ");
    version += kEngineVersionText;
    getLogger().log(version, LOG_INFO);
    checkVersion(versionText);
}

EngineDeviceBase::~EngineDeviceBase() {
    releaseReceivers();
    // The cues' sounds go before the driver that plays them.
    if (soundManager_) soundManager_->release();
    soundManager_ = nullptr;
    if (audioDriver_) audioDriver_->release();
    audioDriver_ = nullptr;
    videoDriver_.reset();
    if (getCurrentDictionary() == dictionary_) setCurrentDictionary(nullptr);
    if (dictionary_) dictionary_->release();
    dictionary_ = nullptr;
    fileSystem_.reset();
    videoModes_.clear();
    timer_.reset();
    settings_.reset();
}

void EngineDeviceBase::releaseReceivers() {
    if (processors_) {
        processors_->release();
        processors_ = nullptr;
    }
    while (receivers_.size() > 0) {
        const uint32_t last = receivers_.size() - 1;
        EventReceiver* receiver = receivers_[last].receiver;
        receivers_.erase(last);
        receiver->release();
    }
    for (uint32_t i = 0; i < pendingAdditions_.size(); ++i) pendingAdditions_[i].receiver->release();
    pendingAdditions_.clear();
    pendingRemovals_.clear();
}

bool EngineDeviceBase::checkVersion(const char* versionText) {
    if (versionText && std::strcmp(versionText, kEngineVersionText) == 0) return true;
    stringc warning("Warning: The library version of the Irrlicht Engine (");
    warning += kEngineVersionText;
    warning += ") does not match the version the application was compiled with (";
    warning += versionText ? versionText : "";
    warning += "). This may cause problems.";
    getLogger().log(warning, LOG_WARNING);
    return false;
}

bool EngineDeviceBase::handleEvent(Event*) {
    return false;
}

bool EngineDeviceBase::routeToChildren(int32_t mode, Event* event) {
    if (!event) return false;
    ++dispatchDepth_;
    bool handled = false;
    // The list cannot change during the walk: changes wait in the pending arrays.
    for (uint32_t i = 0; i < receivers_.size(); ++i) {
        EventReceiver* receiver = receivers_[i].receiver;
        if (!receiver->takesCategory(event->getCategory())) continue;
        if (receiver->deliver(mode, event)) {
            handled = true;
            break;
        }
    }
    if (--dispatchDepth_ == 0) mergePendingReceivers();
    return handled;
}

bool EngineDeviceBase::deliverEvent(Event* event) {
    return deliver(DeliveryMode::HandleThenChildren, event);
}

bool EngineDeviceBase::addEventReceiver(EventReceiver* receiver, int32_t order) {
    if (!receiver) return false;
    for (uint32_t i = 0; i < receivers_.size(); ++i)
        if (receivers_[i].receiver == receiver) return false;
    receiver->addRef();
    if (dispatchDepth_ > 0) {
        pendingAdditions_.push_back({receiver, order});
        return true;
    }
    receivers_.push_back({receiver, order});
    irr::core::heapsort(receivers_.pointer(), receivers_.size());
    return true;
}

void EngineDeviceBase::removeEventReceiver(EventReceiver* receiver) {
    if (dispatchDepth_ > 0) {
        pendingRemovals_.push_back(receiver);
        return;
    }
    for (uint32_t i = 0; i < receivers_.size(); ++i) {
        if (receivers_[i].receiver == receiver) {
            receivers_.erase(i);
            receiver->release();
            return;
        }
    }
}

void EngineDeviceBase::mergePendingReceivers() {
    // Only additions re-sort: Irrlicht's heap sort moves entries of equal
    // order even in a sorted list, so sorting after every delivery would
    // change their order from one event to the next.
    const bool added = pendingAdditions_.size() > 0;
    for (uint32_t i = 0; i < pendingAdditions_.size(); ++i) receivers_.push_back(pendingAdditions_[i]);
    pendingAdditions_.clear();
    if (added && receivers_.size() > 1) irr::core::heapsort(receivers_.pointer(), receivers_.size());
    // Removals are taken from a copy: releasing a receiver may remove others.
    array<EventReceiver*> removals = pendingRemovals_;
    pendingRemovals_.clear();
    for (uint32_t r = 0; r < removals.size(); ++r) {
        for (uint32_t i = 0; i < receivers_.size(); ++i) {
            if (receivers_[i].receiver == removals[r]) {
                receivers_.erase(i);
                removals[r]->release();
                break;
            }
        }
    }
}

bool EngineDeviceBase::applyVideoParameters(const DeviceParameters&) {
    return false;
}

bool EngineDeviceBase::setGammaRamp(float, float, float, float, float) {
    return false;
}

bool EngineDeviceBase::getGammaRamp(float&, float&, float&, float&, float&) {
    return false;
}

CContentManager* EngineDeviceBase::createContentManager() {
    return new CContentManager(videoDriver_.get(), fileSystem_.get(), processors_);
}

SceneManager* EngineDeviceBase::createSceneManager() {
    const CreationContext context;
    SceneManager* manager = new SceneManager(&context, nullptr, nullptr);
    manager->setEventReceiverRegistry(this);
    manager->setCursorPositionSource(this);
    // No batcher is fixed here: the manager takes the one the current
    // driver's render context published each time it draws.
    return manager;
}

bool EngineDeviceBase::getCursorPosition(int32_t& x, int32_t& y) const {
    const CursorControl* cursor = getCursorControl();
    if (!cursor) return false;
    const irr::core::position2d<irr::s32> position = cursor->getPosition();
    x = position.X;
    y = position.Y;
    return true;
}

TimerScheduler* EngineDeviceBase::createTimerScheduler() {
    return new TimerScheduler();
}

void EngineDeviceBase::makeProcessorsManager() {
    processors_ = new CContentProcessorsManager(videoDriver_.get(), audioDriver_, fileSystem_.get(), &getNodeFactory());
    addEventReceiver(processors_, -1);
}

}  // namespace engine
