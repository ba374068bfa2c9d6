#pragma once
// The platform-independent half of the engine device: the engine settings,
// the device timer, the file system, the list of registered event receivers
// and the delivery of the device's events to them, and the factories of the
// managers the game makes.
#include "engine/core/EventReceiver.h"
#include "engine/core/EventReceiverRegistry.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneManager.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/DeviceClock.h"
#include "engine/platform/DeviceParameters.h"
#include "engine/platform/VideoModeList.h"

#include <irrlicht.h>

namespace engine {

class AudioDriver;
class CContentManager;
class CContentProcessorsManager;
class CursorControl;
class Dictionary;
class Event;
class SoundManager;
class TimerScheduler;

// The device is the receiver registry of the scene managers it makes (they
// register their scenes' schedulers with it) and tells them where the pointer
// is, through whatever cursor control the current window has.
class EngineDeviceBase : public EventReceiver, public IEventReceiverRegistry, public ICursorPositionSource {
public:
    // Makes the settings with their defaults, the device timer over the clock
    // (a system clock when null) and the file system; logs the version and
    // checks the caller's version text.
    EngineDeviceBase(const char* versionText, DeviceClock* clock);
    ~EngineDeviceBase() override;

    EngineDeviceBase(const EngineDeviceBase&) = delete;
    EngineDeviceBase& operator=(const EngineDeviceBase&) = delete;

    // The device takes part in no event itself: every event it delivers goes
    // on to the registered receivers.
    bool handleEvent(Event* event) override;
    // Offers the event to the receivers in ascending order number, skipping
    // those whose mask shares no bit with its category, until one handles it.
    // Receivers added or removed meanwhile take effect when the outermost
    // delivery ends.
    bool routeToChildren(int32_t mode, Event* event) override;

    virtual bool run() = 0;
    virtual void closeDevice() = 0;
    virtual void sleep(uint32_t milliseconds, bool pauseTimer) = 0;
    // The base has no video driver of its own to replace.
    virtual bool applyVideoParameters(const DeviceParameters& parameters);
    // A new content manager over the current driver, file system and content
    // processors; the caller owns and registers it.
    virtual CContentManager* createContentManager();
    // A new scene manager (count 1, empty creation context) that registers its
    // scenes' schedulers with this device and asks it for the pointer
    // position. It draws through the quad batcher of the driver it is handed,
    // so it keeps drawing when the video driver is replaced. The caller owns
    // it, attaches it to a timer scheduler and registers it (the game: order
    // 2); it must go before the device does.
    virtual SceneManager* createSceneManager();
    virtual TimerScheduler* createTimerScheduler();
    virtual CursorControl* getCursorControl() const = 0;
    virtual VideoModeList& getVideoModeList() { return videoModes_; }
    virtual void setWindowCaption(const stringw& caption) = 0;
    virtual void setResizeAble(bool resizable) = 0;
    virtual bool isWindowActive() const = 0;
    virtual bool isWindowFocused() const = 0;
    virtual bool isWindowMinimized() const = 0;
    virtual bool isFullscreen() const { return parameters_.fullscreen; }
    virtual bool setGammaRamp(float red, float green, float blue, float brightness, float contrast);
    virtual bool getGammaRamp(float& red, float& green, float& blue, float& brightness, float& contrast);
    virtual bool openURL(const char* url) = 0;
    // False for null or for a receiver already in the list; otherwise holds
    // one reference and adds it at its order number (the list is re-sorted
    // with Irrlicht's heap sort, so equal numbers keep no fixed order).
    bool addEventReceiver(EventReceiver* receiver, int32_t order) override;
    // Removes the first entry of the receiver and drops its reference.
    void removeEventReceiver(EventReceiver* receiver) override;
    // The last position the cursor control read, in client coordinates;
    // false while there is no cursor control (no window yet).
    bool getCursorPosition(int32_t& x, int32_t& y) const override;

    // Delivers an event the device made to itself (and so to the receivers);
    // true when a receiver handled it. The caller keeps its reference.
    bool deliverEvent(Event* event);

    irr::video::IVideoDriver* getVideoDriver() const { return videoDriver_.get(); }
    // Null when no audio driver could be made.
    AudioDriver* getAudioDriver() const { return audioDriver_; }
    SoundManager* getSoundManager() const { return soundManager_; }
    // The localised texts (loaded by the game from "strings/Dictionary.xml").
    Dictionary* getDictionary() const { return dictionary_; }
    CContentProcessorsManager* getProcessorsManager() const { return processors_; }
    FileSystem* getFileSystem() const { return fileSystem_.get(); }
    PropertySet* getSettings() const { return settings_.get(); }
    DeviceTimer* getTimer() const { return timer_.get(); }
    DeviceClock* getClock() const { return timer_->getClock(); }
    const DeviceParameters& getParameters() const { return parameters_; }

    uint32_t getUpdateInterval() const { return updateInterval_; }
    void setUpdateInterval(uint32_t milliseconds) { updateInterval_ = milliseconds; }
    uint32_t getUpdateStep() const { return updateStep_; }
    void setUpdateStep(uint32_t milliseconds) { updateStep_ = milliseconds; }
    uint32_t getLastUpdateTime() const { return lastUpdateTime_; }

    struct ReceiverEntry {
        EventReceiver* receiver;
        int32_t order;
        bool operator<(const ReceiverEntry& other) const { return order < other.order; }
    };
    const array<ReceiverEntry>& getReceivers() const { return receivers_; }
    bool isDispatching() const { return dispatchDepth_ > 0; }

    // True when the text is the engine's version; otherwise logs a warning.
    static bool checkVersion(const char* versionText);

protected:
    // A new content-processors manager over the current drivers, registered
    // at order -1 so that it takes a new driver before anyone else.
    void makeProcessorsManager();
    void mergePendingReceivers();
    // Drops every receiver, the processors manager first.
    void releaseReceivers();

    DeviceParameters parameters_;
    AudioDriver* audioDriver_ = nullptr;  // owned
    IrrRef<irr::video::IVideoDriver> videoDriver_;
    SoundManager* soundManager_ = nullptr;  // owned and registered at order 1
    Dictionary* dictionary_ = nullptr;      // owned
    CContentProcessorsManager* processors_ = nullptr;  // one reference
    CountedRef<DeviceTimer> timer_;
    VideoModeList videoModes_;
    CountedRef<FileSystem> fileSystem_;
    CountedRef<PropertySet> settings_;
    uint32_t updateInterval_ = 5;
    uint32_t updateStep_ = 15;
    uint32_t lastUpdateTime_ = 0;
    bool running_ = false;

private:
    array<ReceiverEntry> receivers_;
    array<ReceiverEntry> pendingAdditions_;
    array<EventReceiver*> pendingRemovals_;
    // Deliveries may nest (a receiver's handler makes the device deliver
    // another event); the pending changes wait for the outermost one.
    int32_t dispatchDepth_ = 0;
};

}  // namespace engine
