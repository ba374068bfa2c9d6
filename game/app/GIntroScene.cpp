#include "game/app/GIntroScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/audio/SoundPack.h"
#include "engine/core/IContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GameNodeKinds.h"

namespace game {

using namespace engine;

namespace {

const char* const kMainMenuScene = "scenes/MainMenuScene.oscn";
// A step runs on the first timer call that brings the time above this.
constexpr uint32_t kStepGapMs = 50;
// The bar moves by the total weight over this many calls.
constexpr float kBarCalls = 50.0f;

}  // namespace

const LoadingStep GIntroScene::kLoadingSteps[kStepCount] = {
    {&GIntroScene::registerGameNodeKinds, 10.0f},  {&GIntroScene::loadSoundPack, 20.0f},
    {&GIntroScene::loadBuildingsAtlas, 10.0f},     {&GIntroScene::loadEnvironmentAtlases, 10.0f},
    {&GIntroScene::loadMiniGameAtlases, 10.0f},    {&GIntroScene::loadMainMenuAtlas, 10.0f},
    {&GIntroScene::loadGameMenuAtlas, 10.0f},      {&GIntroScene::loadMenuAtlases, 10.0f},
    {&GIntroScene::loadMenuTemplates, 30.0f},      {&GIntroScene::loadLevelTemplates, 30.0f},
    {&GIntroScene::loadGameConfiguration, 5.0f},   {&GIntroScene::loadComicsConfiguration, 5.0f},
};

GIntroScene::GIntroScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GIntroScene::~GIntroScene() = default;

void GIntroScene::onLoaded() {
    progressBg_ = progress_ = nullptr;
    if (BaseNode* scene = findChild(makeNameId("Scene"), 1)) {
        progressBg_ = scene->findChild(makeNameId("ProgressBg"), 1);
        progress_ = scene->findChild(makeNameId("Progress"), 1);
    }
    totalWeight_ = 0.0f;
    for (const LoadingStep& step : kLoadingSteps) totalWeight_ += step.weight;
}

bool GIntroScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    return event && event->getSecondScene() == this;
}

bool GIntroScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    accumulatedMs_ = 0;
    return true;
}

bool GIntroScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    accumulatedMs_ += periodMs;
    bool keep = true;
    if (accumulatedMs_ > kStepGapMs) {
        accumulatedMs_ = 0;
        if (nextStep_ < kStepCount) {
            const LoadingStep& step = kLoadingSteps[nextStep_];
            (this->*step.run)();
            targetWeight_ += step.weight;
            ++nextStep_;
        } else if (shownWeight_ == targetWeight_) {
            const SceneTransitionNames& names = sceneTransitionNames();
            if (openScene(kMainMenuScene, false, names.navFrom, names.navTo)) {
                keep = false;
            } else if (!menuFailureLogged_) {
                // Tried again on every later gated call; said once.
                menuFailureLogged_ = true;
                getLogger().log("Could not open the main menu", kMainMenuScene, LOG_ERROR);
                reportContentProblem(kMainMenuScene);
            }
        }
    }
    updateProgressBar();
    return keep;
}

void GIntroScene::updateProgressBar() {
    if (totalWeight_ == 0.0f || shownWeight_ == targetWeight_) return;
    shownWeight_ += totalWeight_ / kBarCalls;
    if (shownWeight_ > targetWeight_) shownWeight_ = targetWeight_;
    if (!progressBg_ || !progress_) return;
    vector3df bounds = progressBg_->getBounds();
    bounds.X *= shownWeight_ / totalWeight_;
    progress_->setBounds(bounds);
    progress_->updateAbsoluteTransform();
}

// ---- Loading steps ------------------------------------------------------------

bool GIntroScene::registerGameNodeKinds() {
    ::registerGameNodeKinds();
    return true;
}

bool GIntroScene::loadSoundPack() {
    IContentManager* content = getContentManager();
    if (!content) return true;
    CountedRef<Content> loaded(content->load(ContentType::SoundPack, "sounds/SoundPack.xml", true));
    SoundPack* pack = dynamic_cast<SoundPack*>(loaded.get());
    if (pack && getCurrentSoundManager()) pack->registerCues(getCurrentSoundManager());
    return true;
}

void GIntroScene::loadAtlases(std::initializer_list<const char*> paths) {
    IContentManager* content = getContentManager();
    if (!content) return;
    for (const char* path : paths) {
        CountedRef<Content> atlas(content->load(ContentType::AtlasTextureCollection, path, true));
        if (atlas) heldAtlases_.push_back(atlas);
    }
}

bool GIntroScene::loadBuildingsAtlas() {
    loadAtlases({"atlases/Buildings.xml"});
    return true;
}

bool GIntroScene::loadEnvironmentAtlases() {
    loadAtlases({"atlases/Env1.xml", "atlases/Env2.xml"});
    return true;
}

bool GIntroScene::loadMiniGameAtlases() {
    loadAtlases({"atlases/Minigame1.xml", "atlases/Minigame2.xml", "atlases/Minigame3.xml",
                 "atlases/Minigame4.xml"});
    return true;
}

bool GIntroScene::loadMainMenuAtlas() {
    loadAtlases({"atlases/MainMenu.xml"});
    return true;
}

bool GIntroScene::loadGameMenuAtlas() {
    loadAtlases({"atlases/GameMenu.xml"});
    return true;
}

bool GIntroScene::loadMenuAtlases() {
    loadAtlases({"atlases/ObjMenu.xml", "atlases/ShopMenu.xml", "atlases/MapMenu.xml"});
    return true;
}

BaseNode* GIntroScene::loadTemplates(const char* particles, const char* templates, int managerIndex) {
    IContentManager* content = getContentManager();
    if (!content) return nullptr;
    CountedRef<Content> collection(content->load(ContentType::ParticleCollection, particles, true));
    if (collection) heldParticleCollections_.push_back(collection);
    CountedRef<Content> loaded(content->load(ContentType::SceneNode, templates, true));
    TemplateCollectionNode* node = nodeCast<TemplateCollectionNode>(loaded.get());
    SceneManager* manager = theGameApp ? theGameApp->getSceneManager(managerIndex) : nullptr;
    if (!node || !manager) return nullptr;
    manager->setTemplateCollection(node);
    // The manager holds the collection from here on.
    return node;
}

bool GIntroScene::loadMenuTemplates() {
    loadTemplates("scenes/ParticleCollection.xml", "scenes/TemplateCollection.oscn", 0);
    return true;
}

bool GIntroScene::loadLevelTemplates() {
    auto* collection = static_cast<TemplateCollectionNode*>(
        loadTemplates("levels/common/ParticleCollection.xml", "levels/common/TemplateCollection.oscn", 1));
    if (!collection) return true;
    IContentManager* content = getContentManager();
    for (const char* path : {"levels/common/Fireworks/1/f.oscn", "levels/common/Fireworks/2/f.oscn",
                             "levels/common/Fireworks/3/f.oscn", "levels/common/Fireworks/4/f.oscn"}) {
        CountedRef<Content> firework(content->load(ContentType::SceneNode, path, true));
        if (BaseNode* node = nodeCast<BaseNode>(firework.get())) collection->addTemplate(node);
    }
    return true;
}

bool GIntroScene::loadGameConfiguration() {
    if (theGameApp) theGameApp->loadGameConfiguration();
    return true;
}

bool GIntroScene::loadComicsConfiguration() {
    if (!theGameApp) return true;
    theGameApp->loadComicsConfiguration();
    return theGameApp->getHooks()->onLoadingDone();
}

}  // namespace game
