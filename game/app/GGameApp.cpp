#include "game/app/GGameApp.h"
#include "engine/core/MathRoutines.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentType.h"
#include "engine/core/Logger.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/platform/CrashDump.h"
#include "engine/platform/CursorControl.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/Image.h"
#include "engine/platform/VideoModeList.h"
#include "engine/visual/QuadBatcher.h"
#include "game/app/GLogosConfiguration.h"
#include "game/app/GameNodeKinds.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/common/AchievementsTracker.h"
#include "game/hud/GGamePlayScene.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#ifndef LODGEROO_ASSETS_KEY
#error "LODGEROO_ASSETS_KEY must be defined by the build"
#endif

namespace game {

using namespace engine;

GGameApp* theGameApp = nullptr;

namespace {

const char* const kDeveloperCode = "mildcove";
const size_t kTypedKeysKept = 8;
const int32_t kScreenshotKey = 0x53;  // S
const int32_t kReloadKey = 0x52;      // R

template <class E, bool (GGameApp::*Handler)(E*)>
bool call(GGameApp& app, Event* event) {
    return (app.*Handler)(dynamic_cast<E*>(event));
}

template <class T>
void releaseRef(T*& object) {
    if (object) object->release();
    object = nullptr;
}

}  // namespace

// ---- Pure rules ------------------------------------------------------------------

void windowSizeForScreen(int32_t screenWidth, int32_t screenHeight, int32_t& width, int32_t& height) {
    width = static_cast<int32_t>(GGameApp::kVirtualWidth);
    height = static_cast<int32_t>(GGameApp::kVirtualHeight);
    if (screenWidth <= 0 || screenHeight <= 0) return;
    if (screenWidth >= width && screenHeight >= height) return;
    // Whole multiples of 4 x 3, so that the picture scales without bars.
    const int32_t units = std::min(screenWidth / 4, screenHeight / 3);
    if (units <= 0) return;
    width = units * 4;
    height = units * 3;
}

bool computeLetterbox(int32_t width, int32_t height, Letterbox& out) {
    if (width <= 0 || height <= 0) return false;
    // The aspect rounded to single precision; the products with it are not,
    // so a width of 1024 needs 767 rows, not 768.
    const double aspect = static_cast<double>(GGameApp::kVirtualWidth / GGameApp::kVirtualHeight);
    const int32_t fitWidth = engine::saturatingInt(height * aspect);
    const int32_t fitHeight = engine::saturatingInt(width / aspect);
    const double ratio = static_cast<double>(width) / height;
    if (std::fabs(ratio - aspect) / aspect < 0.1) {
        out.bars[0] = recti(0, 0, 0, height);
        out.bars[1] = recti(width, 0, width, height);
        out.position = vector3df(0.0f, 0.0f, 0.0f);
        out.scale = vector3df(static_cast<float>(width) / GGameApp::kVirtualWidth,
                              static_cast<float>(height) / GGameApp::kVirtualHeight, 1.0f);
    } else if (fitWidth <= width) {
        const int32_t margin = (width - fitWidth) / 2;
        const float scale = static_cast<float>(height) / GGameApp::kVirtualHeight;
        out.bars[0] = recti(0, 0, margin, height);
        out.bars[1] = recti(margin + fitWidth, 0, width, height);
        out.position = vector3df(static_cast<float>(margin), 0.0f, 0.0f);
        out.scale = vector3df(scale, scale, 1.0f);
    } else {
        const int32_t margin = (height - fitHeight) / 2;
        const float scale = static_cast<float>(width) / GGameApp::kVirtualWidth;
        out.bars[0] = recti(0, 0, width, margin);
        out.bars[1] = recti(0, margin + fitHeight, width, height);
        out.position = vector3df(0.0f, static_cast<float>(margin), 0.0f);
        out.scale = vector3df(scale, scale, 1.0f);
    }
    return true;
}

bool typeDeveloperKey(std::string& typedKeys, int32_t character) {
    typedKeys.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(character & 0xFF))));
    if (typedKeys.size() > kTypedKeysKept) typedKeys.erase(0, typedKeys.size() - kTypedKeysKept);
    if (typedKeys.compare(0, kTypedKeysKept, kDeveloperCode) != 0) return false;
    typedKeys.clear();
    return true;
}

// ---- Construction ------------------------------------------------------------------

const EventMap<GGameApp>& GGameApp::getEventMap() {
    using A = GGameApp;
    static const EventMap<GGameApp> map({
        {EventId::VideoDriverReleasedEvent, &call<Event, &A::ignoreEvent>},
        {EventId::VideoDriverCreatedEvent, &call<VideoDriverCreatedEvent, &A::onVideoDriverCreated>},
        {EventId::UpdateEvent, &call<UpdateEvent, &A::onUpdate>},
        {EventId::RenderEvent, &call<RenderEvent, &A::onRender>},
        {EventId::WindowFocusEvent, &call<WindowFocusEvent, &A::onWindowFocus>},
        {EventId::CEventSystemFlowCloseRequest, &call<CEventSystemFlowCloseRequest, &A::onCloseRequest>},
        {EventId::ApplicationCloseEvent, &call<Event, &A::ignoreEvent>},
        {EventId::KeyDownEvent, &call<KeyDownEvent, &A::onKeyDown>},
        {EventId::KeyUpEvent, &call<Event, &A::ignoreEvent>},
    });
    return map;
}

GGameApp::GGameApp()
    : logos_(new GLogosConfiguration()),
      comics_(new ComicsConfiguration()),
      levelScores_(new LevelScores()),
      buildings_(new BuildingsConfiguration()),
      upgrades_(new UpgradesConfiguration()),
      achievements_(new AchievementsTracker()),
      hooks_(new AppHooks()) {
    setMask(EventCategory::Driver | EventCategory::System | EventCategory::Keyboard | EventCategory::Mouse);
    barRects_[0] = recti(0, 0, 0, 768);
    barRects_[1] = recti(1024, 0, 1024, 768);
}

GGameApp::~GGameApp() {
    // The device holds the managers as receivers; they leave it here so that
    // they go before it does.
    for (TimerScheduler*& scheduler : schedulers_) {
        if (scheduler && registry_) registry_->removeEventReceiver(scheduler);
        releaseRef(scheduler);
    }
    for (SceneManager*& manager : sceneManagers_) {
        if (!manager) continue;
        if (registry_) registry_->removeEventReceiver(manager);
        manager->setTimerScheduler(nullptr);
        releaseRef(manager);
    }
    if (contentManager_) {
        contentManager_->clearCache();
        if (registry_) registry_->removeEventReceiver(contentManager_);
    }
    releaseRef(contentManager_);
    releaseRef(logos_);
    releaseRef(comics_);
    releaseRef(levelScores_);
    releaseRef(buildings_);
    releaseRef(upgrades_);
    releaseRef(achievements_);
    hooks_->onShutdown();
    releaseRef(hooks_);
}

// ---- Start-up ----------------------------------------------------------------------

void GGameApp::setEngineSettings() {
    EngineDevice* engine = getEngine();
    engine->setUpdateInterval(10);
    engine->setUpdateStep(10);
    PropertySet* settings = engine->getSettings();
    settings->setStringW("PublisherName", L"Brightwick");
    settings->setStringW("TitleName", L"Lodgeroo");
    settings->setStringW("TitleCaption", L"Lodgeroo");
    settings->setStringW("AssetsCryptKey", widen(LODGEROO_ASSETS_KEY));
    settings->setStringW("AssetsFolder", L"assets");
    // Crash reports go where the player's other files are.
    MiniDumper::setDumpFolder(engine->getFileSystem()->getUserDataFolder());
}

void GGameApp::setProfileDefaults() {
    ProfileStore& store = getProfileStore();
    ProfileParameters* common = store.getCommonDefaults();
    common->setBool("FullScreen", true);
    common->setBool("WindowsCursor", false);
    common->setBool("VSync", true);
    common->setInt("AntiAlias", 0);
    common->setInt("VideoDriver", 1);

    ProfileParameters* player = store.getPlayerDefaults();
    player->setBool("SoundOn", true);
    player->setBool("MusicOn", true);
    player->setFloat("SoundVolume", 50.0f);
    player->setFloat("MusicVolume", 50.0f);
    player->setInt("MaxUnlockedLevelIndex", -1);
    player->setInt("LevelIndex", -1);
    player->setString("LevelProgressFilename", "");
    player->setString("Scores", "");
    player->setString("Times", "");
    player->setString("BoughtUpgrades", "");
    player->setBool("ShowTutorialOn", true);
    player->setBool("ShowTutorialMap1", true);
    player->setBool("ShowTutorialMap2", true);
    player->setBool("ShowTutorialShop1", true);
    player->setBool("ShowTutorialShop2", true);
    player->setInt("ShowTutorialLevel", -1);
    player->setString("AchievementsProgress", "");
    player->setBool("ShowFinalCredits", true);
}

void GGameApp::fillCreationParameters() {
    ProfileParameters* common = getProfileStore().getCommonProfile();
    const int32_t driver = common->getInt("VideoDriver");
    creationParameters_.driverType = driver >= 1 && driver <= 3 ? driver : VideoDriverType::Direct3D8;
    creationParameters_.fullscreen = common->getBool("FullScreen");
    creationParameters_.antiAlias = static_cast<uint8_t>(common->getInt("AntiAlias"));
    creationParameters_.vsync = common->getBool("VSync");
    // A window that does not fit the screen would be cut off.
    const VideoMode& desktop = getEngine()->getVideoModeList().getDesktopMode();
    windowSizeForScreen(desktop.width, desktop.height, creationParameters_.windowWidth,
                        creationParameters_.windowHeight);
    creationParameters_.colorBits = 32;
    creationParameters_.stencilBuffer = false;
    creationParameters_.desktopSize = true;
    creationParameters_.highPrecisionFPU = false;
}

void GGameApp::createManagers(EngineDeviceBase* device) {
    registry_ = device;
    contentManager_ = device->createContentManager();
    device->addEventReceiver(contentManager_, 1);
    for (TimerScheduler*& scheduler : schedulers_) {
        scheduler = device->createTimerScheduler();
        device->addEventReceiver(scheduler, 2);
    }
    for (int i = 0; i < 2; ++i) {
        sceneManagers_[i] = device->createSceneManager();
        sceneManagers_[i]->setSortDrawList(true);
        sceneManagers_[i]->setTimerScheduler(schedulers_[i]);
    }
    device->addEventReceiver(sceneManagers_[0], 2);
    sceneManagers_[1]->setPosition(vector3df(0.0f, 0.0f, -4000.0f));
}

void GGameApp::mountAssets() {
    EngineDevice* engine = getEngine();
    const stringc folder = engine->getSettings()->getString("AssetsFolder");
    FileSystem* files = engine->getFileSystem();
    files->addFileArchive(folder, false, false);
    files->addFileArchive(folder + ".oca", false, false);
}

void GGameApp::setUpSoundGroups() {
    EngineDevice* engine = getEngine();
    if (AudioDriver* audio = engine->getAudioDriver()) audio->setStreamingThreshold(0x20000);
    SoundManager* sounds = engine->getSoundManager();
    if (!sounds) return;
    struct GroupSettings {
        int32_t group, fadeOutMs, fadeInMs, maxInstances;
    };
    for (const GroupSettings& g : {GroupSettings{0, 1000, 0, 8}, GroupSettings{1, 1000, 2000, 1},
                                   GroupSettings{2, 1000, 0, 16}}) {
        SoundGroup& group = sounds->getGroup(g.group);
        group.overflowPolicy = 1;
        group.fadeOutMs = g.fadeOutMs;
        group.fadeInMs = g.fadeInMs;
        group.maxInstances = g.maxInstances;
    }
}

void GGameApp::installCursor() {
    EngineDevice* engine = getEngine();
    CursorControl* cursor = engine->getCursorControl();
    if (!getProfileStore().getCommonProfile()->getBool("WindowsCursor")) {
        CountedRef<Content> loaded(contentManager_->load(ContentType::Image, "scenes/images/Cursor.png", false));
        if (Image* image = dynamic_cast<Image*>(loaded.get())) {
            if (cursor) cursor->setCursorImage(image, 2, 2);
        }
    }
    if (cursor) cursor->setVisible(false);
}

void GGameApp::readLogos() {
    readConfigurationFile("logos/Logos.xml", [this](XmlReader& reader) { logos_->read(reader); });
}

bool GGameApp::init() {
    EngineDevice* engine = getEngine();
    getRandomGenerator().seed(engine->getTimer()->getRealTime());
    setEngineSettings();
    setProfileDefaults();
    ProfileStore& profiles = getProfileStore();
    profiles.loadAll();
    // The first start leaves the defaults on disk, where the player can find
    // and the next start reads them.
    const stringc profileFile = engine->getFileSystem()->getUserDataFolder() + "/profile.dat";
    if (!engine->getFileSystem()->existFile(profileFile, false)) profiles.savePlayerProfiles();
    registerStartupNodeKinds();

    theGameApp = this;
    setGameServices(this);
    engine->addEventReceiver(this, 0);

    fillCreationParameters();
    if (!engine->applyVideoParameters(creationParameters_)) return false;
    createManagers(engine);
    mountAssets();
    setUpSoundGroups();
    if (ProfileParameters* player = profiles.getCurrentProfile()) {
        applySoundSettings();
        achievements_->load(player->getString("AchievementsProgress"));
    }
    installCursor();
    readLogos();

    const char* const logosScene = "scenes/LogosScene.oscn";
    CountedRef<Content> loaded(contentManager_->load(ContentType::SceneNode, logosScene, false));
    SceneNode* scene = nodeCast<SceneNode>(loaded.get());
    if (!scene) {
        getLogger().log("Could not load the first scene", logosScene, LOG_ERROR);
        return false;
    }
    sceneManagers_[0]->setScene(scene, sceneTransitionNames().navTo);
    loaded.reset();
    updateLetterbox();
    return true;
}

bool GGameApp::run() { return getEngine()->run(); }

bool GGameApp::setFullScreen(bool fullscreen) {
    EngineDevice* engine = getEngine();
    DeviceParameters wanted = creationParameters_;
    wanted.fullscreen = fullscreen;
    if (engine->applyVideoParameters(wanted)) {
        creationParameters_ = wanted;
        return true;
    }
    getLogger().log("Could not rebuild the window", fullscreen ? "full screen" : "window", LOG_ERROR);
    engine->applyVideoParameters(creationParameters_);
    return false;
}

void GGameApp::applySoundSettings() {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    SoundManager* sounds = getEngine()->getSoundManager();
    if (!player || !sounds) return;
    const bool soundOn = player->getBool("SoundOn");
    const bool musicOn = player->getBool("MusicOn");
    const float effects = soundOn ? player->getFloat("SoundVolume") * 0.01f : 0.0f;
    sounds->setGroupVolume(effects, 0);
    sounds->setGroupVolume(effects, 2);
    sounds->setGroupVolume(musicOn ? player->getFloat("MusicVolume") * 0.01f : 0.0f, 1);
    if (musicOn) {
        SceneNode* top = sceneManagers_[0] ? sceneManagers_[0]->getTopScene() : nullptr;
        if (top) {
            GGamePlayScene* hud = nullptr;
            for (SceneNode* scene = top; scene && !hud; scene = scene->getSceneBelow())
                hud = nodeCast<GGamePlayScene>(scene);
            // A level's own music is the HUD's to play: music that comes back
            // on in a level plays the level's music again.
            if (hud) {
                hud->playMusicAgain();
            } else {
                sounds->playCue(makeNameId("MenuMusic"), true, 0);
                sounds->playCue(makeNameId("MainMenuAmbient"), true, 0);
            }
        }
    } else {
        sounds->stopGroup(1);
    }
    if (!soundOn) {
        sounds->stopGroup(0);
        sounds->stopGroup(2);
    }
}

// ---- Configuration files ----------------------------------------------------------

bool GGameApp::readConfigurationFile(const char* path, const std::function<void(XmlReader&)>& read) {
    irr::io::IReadFile* file = getEngine()->getFileSystem()->createAndOpenFile(path);
    if (!file) return false;
    CountedRef<XmlReader> reader(new XmlReader(file));
    file->drop();
    if (!reader->isValid()) return false;
    read(*reader);
    return true;
}

void GGameApp::loadGameConfiguration() {
    readConfigurationFile("levels/common/BuildingsConfiguration.xml",
                          [this](XmlReader& r) { buildings_->readBuildingsConfiguration(r); });
    readConfigurationFile("levels/common/UpgradesConfiguration.xml",
                          [this](XmlReader& r) { upgrades_->readUpgradesConfiguration(r); });
    readConfigurationFile("levels/common/LevelScores.xml", [this](XmlReader& r) { levelScores_->readLevelScores(r); });
}

void GGameApp::loadComicsConfiguration() {
    readConfigurationFile("scenes/ComicsConfiguration.xml",
                          [this](XmlReader& r) { comics_->readComicsConfiguration(r); });
}

void GGameApp::reloadConfiguration() {
    readConfigurationFile("levels/common/BuildingsConfiguration.xml",
                          [this](XmlReader& r) { buildings_->readBuildingsConfiguration(r); });
    readConfigurationFile("levels/common/UpgradesConfiguration.xml",
                          [this](XmlReader& r) { upgrades_->readUpgradesConfiguration(r); });
    loadComicsConfiguration();
    // The scores the intro read, so that a reload reaches the real ones.
    readConfigurationFile("levels/common/LevelScores.xml", [this](XmlReader& r) { levelScores_->readLevelScores(r); });
}

// ---- Frame and window events ----------------------------------------------------------

bool GGameApp::ignoreEvent(Event*) { return false; }

bool GGameApp::onVideoDriverCreated(VideoDriverCreatedEvent* event) {
    irr::video::IVideoDriver* driver = event ? event->getDriver() : nullptr;
    if (driver) driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
    EngineDevice* engine = getEngine();
    engine->setWindowCaption(widen(engine->getSettings()->getString("TitleCaption")));
    updateLetterbox();
    return false;
}

bool GGameApp::onUpdate(UpdateEvent* event) {
    if (event) lastStepMs_ = event->getElapsedMs();
    notices_.showNext(sceneManagers_[0]);
    return false;
}

void GGameApp::updateLetterbox() {
    SceneManager* manager = sceneManagers_[0];
    if (!manager) return;
    irr::video::IVideoDriver* driver = getEngine()->getVideoDriver();
    if (!driver) return;
    const irr::core::dimension2d<irr::u32> size = driver->getScreenSize();
    Letterbox box;
    // A window without area (minimised, or not sized yet) keeps the bars it had.
    if (!computeLetterbox(static_cast<int32_t>(size.Width), static_cast<int32_t>(size.Height), box)) return;
    barRects_[0] = box.bars[0];
    barRects_[1] = box.bars[1];
    manager->setPosition(box.position);
    manager->setScale(box.scale);
}

void GGameApp::redrawNow() {
    CountedRef<RenderEvent> render(new RenderEvent());
    if (!handleEvent(render.get())) routeToChildren(1, render.get());
}

void GGameApp::reportLevelCompleted(const stringc& levelName, const LevelResult& result) {
    if (hooks_) hooks_->onLevelCompleted(levelName, result);
}

bool GGameApp::onRender(RenderEvent*) {
    EngineDevice* engine = getEngine();
    irr::video::IVideoDriver* driver = engine->getVideoDriver();
    if (!driver) return false;
    if (!driver->beginScene(true, true, SColor(0x00000000))) return false;
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (sceneManagers_[0]) {
        sceneManagers_[0]->drawScenes(driver);
        if (batcher) batcher->flush();
    }
    for (const recti& bar : barRects_) driver->draw2DRectangle(SColor(0xff000000), bar, nullptr);
    CursorControl* cursor = engine->getCursorControl();
    if (cursor && cursor->isSoftwareCursorDrawn() && cursor->getCursorNode()) {
        RenderList items;
        cursor->getCursorNode()->collectRenderItems(items);
        for (uint32_t i = 0; i < items.size(); ++i) items[i].node->render(driver, nullptr);
        if (batcher) batcher->flush();
    }
    // The frame is read before it is shown: after the swap the back buffer
    // holds nothing defined.
    if (screenshotPending_) {
        screenshotPending_ = false;
        takeScreenshot();
    }
    driver->endScene();
    return false;
}

bool GGameApp::onWindowFocus(WindowFocusEvent* event) {
    const bool focused = event && event->isFocused();
    getLogger().log("Window focus", focused ? "true" : "false", LOG_DEBUG);
    if (SoundManager* sounds = getEngine()->getSoundManager()) {
        sounds->setGroupPaused(!focused, 1);
        sounds->setGroupPaused(!focused, 0);
    }
    return false;
}

bool GGameApp::onCloseRequest(CEventSystemFlowCloseRequest*) {
    getLogger().log("CEventSystemFlowCloseRequest event received", LOG_INFO);
    return false;
}

// ---- Developer keys ------------------------------------------------------------------

bool GGameApp::onKeyDown(KeyDownEvent* event) {
    if (!event) return false;
    if (typeDeveloperKey(typedKeys_, event->getCharacter())) developerModeEnabled = true;
    if (!developerModeEnabled || !event->isControlDown() || !event->isShiftDown()) return false;
    if (event->getKey() == kScreenshotKey)
        screenshotPending_ = true;
    else if (event->getKey() == kReloadKey)
        reloadConfiguration();
    return false;
}

void GGameApp::takeScreenshot() {
    EngineDevice* engine = getEngine();
    if (!engine->getVideoDriver() || !contentManager_) return;
    CountedRef<Image> image(engine->createScreenShot());
    if (!image) return;
    FileSystem* files = engine->getFileSystem();
    const stringc folder = files->getUserDataFolder();
    stringc path;
    for (int32_t number = 0;; ++number) {
        path = folder + "/screenshot" + stringc(number) + ".jpg";
        if (!files->existFile(path, false)) break;
    }
    contentManager_->save(ContentType::Image, image.get(), path, 0);
}

}  // namespace game
