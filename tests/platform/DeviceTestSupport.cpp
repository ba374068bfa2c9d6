#include "platform/DeviceTestSupport.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace engine;

namespace device_test {

Seen describe(Event* event) {
    Seen s;
    s.type = event->getTypeId();
    if (auto* e = dynamic_cast<UpdateEvent*>(event)) s.elapsed = e->getElapsedMs();
    if (auto* e = dynamic_cast<MouseEvent*>(event)) {
        s.x = e->getX();
        s.y = e->getY();
    }
    if (auto* e = dynamic_cast<MouseWheelEvent*>(event)) s.wheel = e->getWheel();
    if (auto* e = dynamic_cast<KeyboardEvent*>(event)) {
        s.character = e->getCharacter();
        s.key = e->getKey();
        s.shift = e->isShiftDown();
        s.control = e->isControlDown();
    }
    if (auto* e = dynamic_cast<WindowFocusEvent*>(event)) s.flag = e->isFocused();
    if (auto* e = dynamic_cast<ApplicationActivationEvent*>(event)) s.flag = e->isActivated();
    if (auto* e = dynamic_cast<VideoDriverCreatedEvent*>(event)) s.driver = e->getDriver();
    return s;
}

RecordingReceiver::RecordingReceiver(std::string name, std::vector<std::string>* journal, int32_t mask)
    : name(std::move(name)), journal(journal) {
    setMask(mask);
}

bool RecordingReceiver::handleEvent(Event* event) {
    seen.push_back(describe(event));
    if (journal) journal->push_back(name + ":" + std::to_string(event->getTypeId()));
    if (onEvent) return onEvent(event);
    return handles.count(event->getTypeId()) != 0;
}

size_t RecordingReceiver::count(int32_t type) const {
    size_t n = 0;
    for (const Seen& s : seen) n += s.type == type;
    return n;
}

std::vector<uint32_t> RecordingReceiver::updates() const {
    std::vector<uint32_t> out;
    for (const Seen& s : seen)
        if (s.type == EventId::UpdateEvent) out.push_back(s.elapsed);
    return out;
}

const Seen* RecordingReceiver::last(int32_t type) const {
    for (auto it = seen.rbegin(); it != seen.rend(); ++it)
        if (it->type == type) return &*it;
    return nullptr;
}

// ---- Fake display host ---------------------------------------------------

FakeDisplayHost::FakeDisplayHost(int32_t driverType, bool window, std::vector<std::string>* journal,
                                 uintptr_t handle)
    : driverType(driverType), window_(window), journal_(journal), handle_(handle) {
    irr::SIrrlichtCreationParameters parameters;
    parameters.DriverType = irr::video::EDT_NULL;
    parameters.LoggingLevel = irr::ELL_NONE;
    device_.reset(irr::createDeviceEx(parameters));
    note("create " + std::to_string(driverType));
}

FakeDisplayHost::~FakeDisplayHost() {
    note("destroy " + std::to_string(driverType));
}

void FakeDisplayHost::note(const std::string& text) {
    if (journal_) journal_->push_back(text);
}

irr::video::IVideoDriver* FakeDisplayHost::getVideoDriver() const {
    return device_ ? device_->getVideoDriver() : nullptr;
}

void FakeDisplayHost::pumpMessages(DeviceMessageQueue& queue, bool wait) {
    ++pumps;
    if (hidden) return;
    if (wait && script.empty()) {
        ++blockingPumps;
        if (onBlockingPump) onBlockingPump();
    }
    // Everything scripted comes out at once.
    while (!script.empty()) {
        queue.post(script.front());
        script.pop_front();
    }
}

void FakeDisplayHost::setCaption(const stringw& text) {
    caption = text;
    note("caption");
}

void FakeDisplayHost::setResizable(bool resizable) {
    note(resizable ? "resizable" : "fixed size");
}

void FakeDisplayHost::minimize() {
    note("minimize");
}

void FakeDisplayHost::placeWindow(int32_t width, int32_t height, bool fullscreen) {
    note("place " + std::to_string(width) + "x" + std::to_string(height) + (fullscreen ? " fullscreen" : " windowed"));
    clientSize = irr::core::dimension2d<irr::u32>(static_cast<irr::u32>(width), static_cast<irr::u32>(height));
}

void FakeDisplayHost::activate() {
    note("activate");
}

void FakeDisplayHost::hide() {
    hidden = true;
    note("hide");
}

bool FakeDisplayHost::getCursorPosition(int32_t& x, int32_t& y) {
    if (!window_ || hidden) return false;
    x = pointerX;
    y = pointerY;
    return true;
}

void FakeDisplayHost::setCursorPosition(int32_t x, int32_t y) {
    pointerX = x;
    pointerY = y;
    note("warp " + std::to_string(x) + "," + std::to_string(y));
}

bool FakeDisplayHost::setCursorImage(const Image* image, int32_t hotSpotX, int32_t hotSpotY) {
    cursorImage = image;
    note(std::string(image ? "cursor image" : "cursor arrow") + " " + std::to_string(hotSpotX) + "," +
         std::to_string(hotSpotY));
    return true;
}

// ---- Fake factory ----------------------------------------------------------

DisplayHost* FakeDisplayFactory::createHost(const DeviceParameters& parameters) {
    requests.push_back(parameters);
    if (failing.count(parameters.driverType)) {
        journal.push_back("fail " + std::to_string(parameters.driverType));
        return nullptr;
    }
    const bool window = parameters.windowHandle != 0 || (windows && parameters.driverType != 0);
    const uintptr_t handle = parameters.windowHandle ? parameters.windowHandle : window ? nextHandle++ : 0;
    auto* host = new FakeDisplayHost(parameters.driverType, window, &journal, handle);
    host->clientSize = irr::core::dimension2d<irr::u32>(static_cast<irr::u32>(parameters.windowWidth),
                                                        static_cast<irr::u32>(parameters.windowHeight));
    current = host;
    if (onCreate) onCreate(*host);
    return host;
}

void FakeDisplayFactory::fillVideoModes(VideoModeList& list) {
    list.addMode(1920, 1080, 24);
    list.addMode(1024, 768, 24);
    list.addMode(1920, 1080, 24);
    list.setDesktopMode(1920, 1080, 24);
}

// ---- The game's managers and frames -----------------------------------------

GameManagers::GameManagers(EngineDevice* device) : device(device) {
    content = CountedRef<CContentManager>(device->createContentManager());
    device->addEventReceiver(content.get(), 1);
    for (auto& scheduler : schedulers) {
        scheduler = CountedRef<TimerScheduler>(device->createTimerScheduler());
        device->addEventReceiver(scheduler.get(), 2);
    }
    for (int i = 0; i < 2; ++i) {
        scenes[i] = CountedRef<SceneManager>(device->createSceneManager());
        scenes[i]->setSortDrawList(true);
        scenes[i]->setTimerScheduler(schedulers[i].get());
    }
    device->addEventReceiver(scenes[0].get(), 2);
    scenes[1]->setPosition(vector3df(0.0f, 0.0f, -4000.0f));
}

GameManagers::~GameManagers() {
    device->removeEventReceiver(scenes[0].get());
    for (auto& manager : scenes) {
        manager->setTimerScheduler(nullptr);
        manager.reset();
    }
    for (auto& scheduler : schedulers) {
        device->removeEventReceiver(scheduler.get());
        scheduler.reset();
    }
    content->clearCache();
    device->removeEventReceiver(content.get());
    content.reset();
}

FrameDrawer::FrameDrawer(EngineDevice* device) : device_(device) {
    setMask(EventCategory::Driver | EventCategory::System);
}

bool FrameDrawer::handleEvent(Event* event) {
    if (auto* created = dynamic_cast<VideoDriverCreatedEvent*>(event)) {
        created->getDriver()->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
        return false;
    }
    if (event->getTypeId() != EventId::RenderEvent) return false;
    irr::video::IVideoDriver* driver = device_->getVideoDriver();
    if (!driver) return false;
    driver->beginScene(true, true, clear);
    for (SceneManager* manager : managers) manager->drawScenes(driver);
    if (beforeEnd) beforeEnd();
    driver->endScene();
    ++frames;
    if (onFrame) onFrame();
    return false;
}

DeviceServices services(FakeClock* clock, FakeDisplayFactory* displays) {
    DeviceServices s;
    s.clock = CountedRef<DeviceClock>::share(clock);
    s.displays = CountedRef<DisplayHostFactory>::share(displays);
    return s;
}

int runProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace device_test
