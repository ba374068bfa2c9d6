#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/platform/EngineDevice.h"
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/Mutex.h"
#include "engine/platform/IrrlichtDisplayHost.h"
#include "engine/visual/BackBufferCapture.h"

#include <spawn.h>
#include <sys/utsname.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace engine {

namespace {

// The singleton record: the device getEngine returns, whether one was
// destroyed since, and the one getEngine made itself (released at exit).
EngineDevice* g_instance = nullptr;
bool g_destroyed = false;
EngineDevice* g_madeByGetEngine = nullptr;

// Makes an event, delivers it through the device and releases it.
template <class E, class... Args>
bool post(EngineDeviceBase* device, Args&&... args) {
    CountedRef<E> event(new E(std::forward<Args>(args)...));
    return device->deliverEvent(event.get());
}

stringc formatSize(const char* format, long width, long height) {
    char text[128];
    std::snprintf(text, sizeof(text), format, width, height);
    return stringc(text);
}

}  // namespace

// ---- Construction and destruction ---------------------------------------

EngineDevice::EngineDevice(const DeviceParameters& parameters, const DeviceServices& services)
    : EngineDeviceBase(parameters.versionText, services.clock.get()), displays_(services.displays) {
    g_instance = this;
    g_destroyed = false;
    if (!displays_) displays_ = CountedRef<DisplayHostFactory>(new IrrlichtDisplayHostFactory());
    parameters_ = parameters;
    logOperatingSystem();
    // A window handed in is drawn into as it is; the device's own window
    // comes with the video driver.
    if (parameters_.windowHandle) {
        externalWindow_ = true;
        windowHandle_ = parameters_.windowHandle;
        parameters_.fullscreen = false;
    }
    createVideoDriver(parameters_.driverType);
    createAudioDriver(1);
    if (videoDriver_) makeProcessorsManager();
}

EngineDevice::~EngineDevice() {
    reapChildren();
    if (cursorControl_) cursorControl_->detachWindow();
    cursorControl_.reset();
    releaseReceivers();
    releaseVideoDriver();
    if (g_instance == this) {
        g_instance = nullptr;
        g_destroyed = true;
    }
}

void EngineDevice::logOperatingSystem() {
    utsname names;
    stringc description("Linux");
    if (uname(&names) == 0) {
        description = names.sysname;
        description += " ";
        description += names.release;
        description += " ";
        description += names.version;
        description += " ";
        description += names.machine;
    }
    getLogger().log(description, LOG_INFO);
}

// ---- Drivers ----------------------------------------------------------------

bool EngineDevice::createVideoDriver(int32_t type) {
    if (type < VideoDriverType::Null || type > VideoDriverType::OpenGL) {
        getLogger().log("Unable to create video driver of unknown type.", LOG_ERROR);
        return false;
    }
    // Linux cannot switch display modes: full screen is a window of the
    // desktop's size that the window manager is asked to show full screen.
    if (parameters_.fullscreen && type != VideoDriverType::Null) {
        const VideoMode& desktop = getVideoModeList().getDesktopMode();
        if (desktop.width > 0 && desktop.height > 0) {
            parameters_.windowWidth = desktop.width;
            parameters_.windowHeight = desktop.height;
        }
    }
    DeviceParameters hostParameters = parameters_;
    if (!externalWindow_) hostParameters.windowHandle = 0;
    CountedRef<DisplayHost> host(displays_->createHost(hostParameters));
    if (!host || !host->getVideoDriver()) {
        // Every driver but the null one is OpenGL here.
        if (type != VideoDriverType::Null) getLogger().log("Could not create OpenGL driver.", LOG_ERROR);
        return false;
    }
    host_ = host;
    videoDriver_ = IrrRef<irr::video::IVideoDriver>::share(host_->getVideoDriver());
    renderContext_ = makeRef<RenderContext>(videoDriver_.get());
    if (host_->hasWindow()) {
        windowHandle_ = host_->getWindowHandle();
        parameters_.windowHandle = windowHandle_;
        windowDestroyed_ = false;
        if (!cursorControl_)
            cursorControl_ = makeRef<CursorControl>(host_.get(), parameters_.windowWidth, parameters_.windowHeight);
        else
            cursorControl_->attachWindow(host_.get(), parameters_.windowWidth, parameters_.windowHeight);
        cursorControl_->setFullscreen(parameters_.fullscreen);
    }
    placeWindow();
    windowShown_ = true;
    active_ = true;
    post<VideoDriverCreatedEvent>(this, videoDriver_.get());
    return true;
}

void EngineDevice::releaseVideoDriver() {
    if (cursorControl_) cursorControl_->detachWindow();
    renderContext_.reset();
    videoDriver_.reset();
    // The driver's window goes with it.
    host_.reset();
    if (!externalWindow_) windowHandle_ = 0;
}

bool EngineDevice::createAudioDriver(int32_t type) {
    AudioDriver* driver = nullptr;
    if (type == 0) {
        driver = new NullAudioDriver(fileSystem_.get());
    } else if (type == 1) {
        driver = createOpenALAudioDriver(fileSystem_.get());
        if (!driver) getLogger().log("Could not create OpenAL Audio Driver.", LOG_ERROR);
    }
    // Without a driver the device works without sound.
    if (!driver) return false;
    if (audioDriver_) audioDriver_->release();
    audioDriver_ = driver;
    stringc description;
    driver->describe(description);
    stringc line("Using audio: ");
    line += description;
    getLogger().log(line, LOG_INFO);
    post<AudioDriverCreatedEvent>(this, driver);
    return true;
}

bool EngineDevice::applyVideoParameters(const DeviceParameters& parameters) {
    if (cursorControl_) cursorControl_->setFullscreen(parameters.fullscreen);
    post<VideoDriverReleasedEvent>(this);
    releaseVideoDriver();
    parameters_ = parameters;
    parameters_.windowHandle = externalWindow_ ? windowHandle_ : 0;
    if (externalWindow_) parameters_.fullscreen = false;
    if (parameters_.fullscreen && parameters_.desktopSize) {
        const VideoMode& desktop = getVideoModeList().getDesktopMode();
        if (desktop.width > 0 && desktop.height > 0) {
            parameters_.windowWidth = desktop.width;
            parameters_.windowHeight = desktop.height;
        }
    }
    if (!createVideoDriver(parameters_.driverType)) return false;
    if (host_ && host_->hasWindow() && !externalWindow_) host_->activate();
    return true;
}

// ---- Window -------------------------------------------------------------------

void EngineDevice::placeWindow() {
    if (!host_ || externalWindow_ || !host_->hasWindow()) return;
    host_->placeWindow(parameters_.windowWidth, parameters_.windowHeight, parameters_.fullscreen);
}

void EngineDevice::applyResize() {
    const irr::core::dimension2d<irr::u32> read = host_->getClientSize();
    const long width = static_cast<long>(read.Width);
    const long height = static_cast<long>(read.Height);
    if (width < 2 || height < 2) {
        getLogger().log(formatSize("Ignoring resize operation to (%ld %ld)", width, height), LOG_INFO);
    } else {
        irr::core::dimension2d<irr::u32> size = read;
        if ((!resizable_ || parameters_.fullscreen) &&
            (width != parameters_.windowWidth || height != parameters_.windowHeight)) {
            placeWindow();
            size = irr::core::dimension2d<irr::u32>(static_cast<irr::u32>(parameters_.windowWidth),
                                                    static_cast<irr::u32>(parameters_.windowHeight));
        }
        getLogger().log(formatSize("Resizing window (%ld %ld)", width, height), LOG_INFO);
        videoDriver_->OnResize(size);
        if (cursorControl_)
            cursorControl_->setWindowSize(static_cast<int32_t>(size.Width), static_cast<int32_t>(size.Height));
    }
    resized_ = false;
}

void EngineDevice::destroyWindow() {
    if (windowDestroyed_ || externalWindow_ || !host_ || !host_->hasWindow()) return;
    windowDestroyed_ = true;
    host_->hide();
    windowProcedure(DeviceMessage::make(DeviceMessageType::Destroy));
}

void EngineDevice::closeDevice() {
    getLogger().log("closeDevice() was called", LOG_INFO);
    running_ = false;
    messages_.remove(DeviceMessageType::Quit);
    destroyWindow();
}

VideoModeList& EngineDevice::getVideoModeList() {
    if (videoModes_.empty()) displays_->fillVideoModes(videoModes_);
    return videoModes_;
}

void EngineDevice::setWindowCaption(const stringw& caption) {
    if (host_ && host_->hasWindow() && !windowDestroyed_) host_->setCaption(caption);
}

void EngineDevice::setResizeAble(bool resizable) {
    if (externalWindow_ || !videoDriver_ || parameters_.fullscreen) return;
    resizable_ = resizable;
    if (host_) host_->setResizable(resizable);
}

bool EngineDevice::isWindowFocused() const {
    return host_ && host_->isFocused();
}

bool EngineDevice::isWindowMinimized() const {
    return host_ && host_->isMinimized();
}

bool EngineDevice::setGammaRamp(float red, float green, float blue, float brightness, float contrast) {
    return host_ && host_->setGammaRamp(red, green, blue, brightness, contrast);
}

bool EngineDevice::getGammaRamp(float& red, float& green, float& blue, float& brightness, float& contrast) {
    return host_ && host_->getGammaRamp(red, green, blue, brightness, contrast);
}

bool EngineDevice::openURL(const char* url) {
    reapChildren();
    if (!url || !*url) {
        getLogger().log("Unable to open URL", url ? url : "", LOG_WARNING);
        return false;
    }
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(url), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) {
        getLogger().log("Unable to open URL", url, LOG_WARNING);
        return false;
    }
    children_.push_back(child);
    return true;
}

void EngineDevice::reapChildren() {
    for (auto it = children_.begin(); it != children_.end();)
        it = waitpid(*it, nullptr, WNOHANG) != 0 ? children_.erase(it) : it + 1;
}

Image* EngineDevice::createScreenShot() {
    if (!videoDriver_) {
        getLogger().log("No video driver to take a screenshot from", LOG_ERROR);
        return nullptr;
    }
    IrrRef<irr::video::IImage> frame(captureBackBuffer(videoDriver_.get()));
    if (!frame) return nullptr;
    void* pixels = frame->lock();
    // A copy of the pixels that the image owns.
    Image* image = new Image(CreationContext(), CF_A8R8G8B8, frame->getDimension(), pixels, false, true);
    frame->unlock();
    return image;
}

void EngineDevice::sleep(uint32_t milliseconds, bool pauseTimer) {
    if (pauseTimer && !timer_->isStopped()) {
        timer_->stop();
        getClock()->sleep(milliseconds);
        timer_->start();
    } else {
        getClock()->sleep(milliseconds);
    }
}

// ---- Window procedure ---------------------------------------------------------

void EngineDevice::windowProcedure(const DeviceMessage& message) {
    switch (message.type) {
    case DeviceMessageType::Quit:
        break;
    case DeviceMessageType::Destroy:
        getLogger().log("WM_DESTROY command received", LOG_INFO);
        post<ApplicationCloseEvent>(this);
        messages_.post(DeviceMessage::make(DeviceMessageType::Quit));
        break;
    case DeviceMessageType::Size:
        if (message.flag) {
            windowShown_ = false;
            active_ = false;
        } else {
            windowShown_ = true;
            active_ = true;
            resized_ = true;
        }
        break;
    case DeviceMessageType::Focus:
        post<WindowFocusEvent>(this, message.flag);
        break;
    case DeviceMessageType::Paint:
        // Keeps the window drawn while the loop does not render.
        if (!parameters_.fullscreen && videoDriver_ && !active_) post<RenderEvent>(this);
        break;
    case DeviceMessageType::Activation:
        if (message.flag) {
            active_ = true;
            post<ApplicationActivationEvent>(this, true);
            getLogger().log("Application activated.", LOG_DEBUG);
        } else {
            active_ = false;
            if (parameters_.fullscreen && host_) host_->minimize();
            post<ApplicationActivationEvent>(this, false);
            getLogger().log("Application deactivated.", LOG_DEBUG);
        }
        break;
    case DeviceMessageType::KeyDown:
        keyShift_ = message.shift;
        keyControl_ = message.control;
        keyCharacters_[message.key & 0xFF] = message.character;
        post<KeyDownEvent>(this, message.character, message.key, message.shift, message.control);
        break;
    case DeviceMessageType::KeyUp:
        // Key-ups report what the last key-down left of the keyboard.
        post<KeyUpEvent>(this, keyCharacters_[message.key & 0xFF], message.key, keyShift_, keyControl_);
        break;
    case DeviceMessageType::MouseMove:
        if (windowShown_) post<MouseMoveEvent>(this, message.x, message.y);
        break;
    case DeviceMessageType::ButtonDown:
        switch (message.button) {
        case MouseButton::Left:
            post<LeftButtonDownEvent>(this, message.x, message.y);
            break;
        case MouseButton::Right:
            post<RightButtonDownEvent>(this, message.x, message.y);
            break;
        case MouseButton::Middle:
            post<MiddleButtonDownEvent>(this, message.x, message.y);
            break;
        }
        break;
    case DeviceMessageType::ButtonUp:
        switch (message.button) {
        case MouseButton::Left:
            post<LeftButtonUpEvent>(this, message.x, message.y);
            break;
        case MouseButton::Right:
            post<RightButtonUpEvent>(this, message.x, message.y);
            break;
        case MouseButton::Middle:
            post<MiddleButtonUpEvent>(this, message.x, message.y);
            break;
        }
        break;
    case DeviceMessageType::MouseWheel:
        if (active_) post<MouseWheelEvent>(this, message.x, message.y, message.wheel);
        break;
    case DeviceMessageType::CloseRequest:
        getLogger().log("SC_CLOSE command received", LOG_INFO);
        // A receiver that handles the request keeps the window open.
        if (!post<CEventSystemFlowCloseRequest>(this)) destroyWindow();
        break;
    }
}

// ---- Run loop -----------------------------------------------------------------

bool EngineDevice::takeMessage(DeviceMessage& message, bool wait) {
    if (messages_.empty() && host_) host_->pumpMessages(messages_, wait);
    return messages_.take(message);
}

bool EngineDevice::run() {
    running_ = true;
    if (!externalWindow_) lastUpdateTime_ = timer_->getTime();
    bool updatePosted = false;
    while (running_) {
        timer_->tick();
        if (!externalWindow_) {
            // One message per pass; a pass that handled one posts nothing.
            // While the window is not shown, the pump blocks until one comes.
            DeviceMessage message;
            if (takeMessage(message, !windowShown_)) {
                if (message.type == DeviceMessageType::Quit)
                    running_ = false;
                else
                    windowProcedure(message);
                continue;
            }
        }
        if (running_ && resized_ && videoDriver_ && host_) applyResize();
        uint32_t idleSleep = updateInterval_ > 1 ? 1 : 0;
        if (!windowShown_ && !externalWindow_) {
            // Minimised: time does not pass for the game.
            if (!timer_->isStopped()) timer_->stop();
        } else {
            if (cursorControl_) cursorControl_->updatePosition();
            bool render = false;
            if (active_) {
                if (timer_->isStopped()) timer_->start();
                const uint32_t now = timer_->getTime();
                // Lag beyond 200 ms is dropped.
                if (now - lastUpdateTime_ > 200) lastUpdateTime_ = now - updateStep_;
                if (lastUpdateTime_ + updateInterval_ > now) {
                    render = updatePosted;
                } else {
                    if (lastUpdateTime_ + updateStep_ >= now) {
                        post<UpdateEvent>(this, now - lastUpdateTime_);
                        lastUpdateTime_ = now;
                    } else {
                        while (lastUpdateTime_ + updateStep_ <= now) {
                            post<UpdateEvent>(this, updateStep_);
                            lastUpdateTime_ += updateStep_;
                        }
                    }
                    idleSleep = 0;
                    updatePosted = true;
                    render = true;
                }
            } else {
                // In the background the game's clock stands still and the
                // window is drawn about five times a second.
                if (!timer_->isStopped()) timer_->stop();
                updatePosted = true;
                idleSleep = 200;
                render = true;
            }
            if (render && running_) {
                post<RenderEvent>(this);
                updatePosted = false;
            }
        }
        if (externalWindow_) return true;
        if (idleSleep > 0) getClock()->sleep(idleSleep);
    }
    return true;
}

// ---- The process-wide device --------------------------------------------------

EngineDevice* createDevice(const DeviceParameters& parameters, const DeviceServices& services) {
    EngineDevice* const previous = g_instance;
    const bool previousDestroyed = g_destroyed;
    CountedRef<EngineDevice> device(new EngineDevice(parameters, services));
    if (!device->getVideoDriver() && parameters.driverType != VideoDriverType::Null) {
        device->closeDevice();
        // Destroying a window queued the quit message; without a window
        // there is nothing to take and the loop is not entered.
        if (device->getMessageQueue().contains(DeviceMessageType::Quit)) device->run();
        device.reset();
        // A device that never worked was never the engine.
        g_instance = previous;
        g_destroyed = previousDestroyed;
        return nullptr;
    }
    return device.detach();
}

void releaseEngineDevice() {
    EngineDevice* device = g_madeByGetEngine;
    g_madeByGetEngine = nullptr;
    if (device) device->release();
}

void forgetDestroyedEngine() {
    MutexLock lock(classLock<EngineDevice>().mutex());
    if (g_instance) return;
    g_instance = g_madeByGetEngine;
    g_destroyed = false;
    // Its dictionary and sound manager are current again, as while it was the engine.
    if (g_instance) {
        setCurrentDictionary(g_instance->getDictionary());
        setCurrentSoundManager(g_instance->getSoundManager());
    }
}

EngineDevice* getEngine() {
    if (g_instance) return g_instance;
    MutexLock lock(classLock<EngineDevice>().mutex());
    if (g_instance) return g_instance;
    if (g_destroyed) throw std::logic_error("Dead Reference Detected");
    static bool exitHandlerSet = false;
    if (!exitHandlerSet) {
        exitHandlerSet = true;
        std::atexit(releaseEngineDevice);
    }
    g_madeByGetEngine = createDevice(DeviceParameters());
    return g_madeByGetEngine;
}

}  // namespace engine
