#include "game/minigames/GMiniGameScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/ContentType.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "engine/io/FileSystem.h"
#include "engine/platform/EngineDevice.h"
#include "game/common/GameServices.h"
#include "game/config/ConfigReading.h"
#include "game/menus/GMiniCompletedScene.h"

namespace game {

using namespace engine;

namespace {

constexpr int32_t kLoadingLevelSceneType = 1119;
const char* const kResultsScene = "scenes/MiniCompletedScene.oscn";
const char* const kConfigurationFile = "MiniGameConfiguration.xml";
// The tint of the caption text while the intro hides it: white, transparent.
constexpr uint32_t kHiddenCaptionTint = 0x00FFFFFFu;

IContentManager* contentFor(const BaseNode& node) {
    if (IContentManager* own = node.getContentManager()) return own;
    return gameServices() ? gameServices()->getContentManager() : nullptr;
}

}  // namespace

GMiniGameScene::GMiniGameScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                               bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    setPeriod(kTimerMs);
    linkToParent(parent, mostDerived);
}

GMiniGameScene::~GMiniGameScene() = default;

void GMiniGameScene::onLoaded() {
    linet = nullptr;
    linetText = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    BaseNode* ui = scene ? scene->findChild(makeNameId("UI"), 1) : nullptr;
    if (!ui) return;
    linet = ui->findChild(makeNameId("Linet"), 1);
    linetText = ui->findChild(makeNameId("LinetText"), 1);
}

bool GMiniGameScene::onNodePressed(NodePressedEvent* event) { return GBaseSceneNode::onNodePressed(event); }

bool GMiniGameScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    phaseClockMs = saturatingAdd(phaseClockMs, saturatingInt(static_cast<float>(periodMs)));
    if (phase == Intro && phaseClockMs >= introDelayMs) setPhase(Caption);
    return true;
}

bool GMiniGameScene::loadConfiguration(const stringc& folder) {
    const stringc path = folder + kConfigurationFile;
    EngineDevice* engine = getEngine();
    FileSystem* files = engine ? engine->getFileSystem() : nullptr;
    CountedRef<XmlReader> reader(files ? files->createXMLReader(path) : nullptr);
    if (!reader) {
        getLogger().log("Unable to find configuration for the minigame", folder.c_str(), LOG_ERROR);
        return false;
    }
    readConfiguration(*reader);
    return true;
}

bool GMiniGameScene::readConfiguration(XmlReader& reader) {
    bool more = false;
    bool ended = false;
    while ((more = reader.read())) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader.getNodeName() == L"MiniGame") {
            ended = true;
            break;
        }
        if (type != irr::io::EXN_ELEMENT) continue;
        const stringw& name = reader.getNodeName();
        if (name == L"MaxLevelTime") {
            if (reader.getAttributeValue(L"Value").size() > 0) maxLevelTimeRead_ = true;
            maxLevelTime = reader.getAttributeValueAsInt(L"Value", maxLevelTime);
            // A negative limit would read as a huge unsigned time.
            keepWithin(maxLevelTime, 0, bounds::kTimeMs, "MiniGameConfiguration", "MaxLevelTime");
        } else if (name == L"ExpertScore") {
            expertScore = reader.getAttributeValueAsInt(L"Value", expertScore);
            keepWithin(expertScore, 0, bounds::kCount, "MiniGameConfiguration", "ExpertScore");
        } else {
            readExtraElement(reader);
        }
    }
    if (!ended) {
        // What was read before the cut stays; the rest keeps its defaults.
        getLogger().log("The mini-game configuration ends before its end tag", "MiniGame", LOG_ERROR);
    }
    return more;
}

void GMiniGameScene::readExtraElement(XmlReader&) {}

void GMiniGameScene::setPhase(int32_t newPhase) {
    phase = newPhase;
    phaseClockMs = 0;
    switch (newPhase) {
    case Intro:
        // A new play: it may complete once more.
        playCompleted_ = false;
        if (linetText) {
            linetText->setTintColor(SColor(kHiddenCaptionTint));
        }
        break;
    case Caption:
        if (linetText) linetText->setState(makeNameId("Appear"), nullptr);
        break;
    case Playing:
        if (linet) linet->setState(makeNameId("Disappear"), nullptr);
        if (linetText) linetText->setState(makeNameId("Disappear"), nullptr);
        break;
    default:
        break;
    }
}

int32_t GMiniGameScene::saveProgress() {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player) return 0;
    const int32_t index = player->getInt("LevelIndex");
    if (index < 0 || index >= bounds::kSmall) {
        // The default -1, or a damaged value: the lists must not be indexed
        // (or grown) with it.
        getLogger().log("No mini-game progress written: the level index is out of range", numberText(index).c_str(),
                        LOG_ERROR);
        return 0;
    }
    if (player->getInt("MaxUnlockedLevelIndex") < index) {
        player->setInt("MaxUnlockedLevelIndex", index);
        player->setInt("LevelIndex", index + 1);
    }
    int32_t gain = 0;
    array<int32_t> scores = parseIntArray(player->getString("Scores"));
    while (static_cast<int32_t>(scores.size()) < index + 1) scores.push_back(0);
    if (scores[index] < score) {
        gain = score - scores[index];
        scores[index] = score;
    }
    player->setString("Scores", joinIntArray(scores));
    // The best time stays, as it does for a level: a slower play keeps the
    // faster time (0 means none yet).
    array<int32_t> times = parseIntArray(player->getString("Times"));
    while (static_cast<int32_t>(times.size()) < index + 1) times.push_back(0);
    const int32_t played = saturatingInt(static_cast<float>(playTimeMs));
    if (times[index] <= 0 || played < times[index]) times[index] = played;
    player->setString("Times", joinIntArray(times));
    player->save();
    if (GameServices* services = gameServices()) {
        LevelResult result;
        result.playerName = player->getPlayerName();
        result.playTimeSeconds = static_cast<int32_t>(playTimeMs / 1000u);
        services->reportLevelCompleted(player->getString("LevelName"), result);
    }
    return gain;
}

void GMiniGameScene::complete() {
    if (playCompleted_) return;
    playCompleted_ = true;
    lastScoreGain_ = saveProgress();

    IContentManager* content = contentFor(*this);
    Content* loaded = content ? content->load(ContentType::SceneNode, kResultsScene, true) : nullptr;
    CountedRef<Content> held(loaded);
    auto* results = dynamic_cast<GMiniCompletedScene*>(loaded);
    if (!results) {
        getLogger().log(loaded ? "Unable to identify the mini-game results scene" : "Unable to load the mini-game "
                                                                                    "results scene",
                        kResultsScene, LOG_ERROR);
        reportContentProblem(kResultsScene);
        leaveWithoutResults();
        return;
    }
    results->setResults(maxLevelTime, saturatingInt(static_cast<float>(playTimeMs)), lastScoreGain_);
    if (!pushScene(results, true, navFromName(), navToName())) {
        getLogger().log("Unable to open the mini-game results scene", kResultsScene, LOG_ERROR);
        leaveWithoutResults();
    }
}

void GMiniGameScene::leaveWithoutResults() {
    // Back to where the mini-game was started from: past the loading scene.
    SceneNode* below = getSceneBelow();
    closeWithScenesBelow(below && below->isOfType(kLoadingLevelSceneType) ? 1 : 0);
}

bool GMiniGameScene::closeWithScenesBelow(int32_t extraLevels) {
    for (int32_t extra = extraLevels; extra >= 0; --extra) {
        SceneNode* revealed = getSceneBelow();
        for (int32_t level = 0; level < extra && revealed; ++level) revealed = revealed->getSceneBelow();
        if (!revealed || revealed->isOfType(kLoadingLevelSceneType)) continue;
        if (closeScene(extra, navBackFromName(), navBackToName())) return true;
    }
    getLogger().log("The mini-game has no scene to return to", nameOfId(getName()).c_str(), LOG_ERROR);
    return false;
}

void GMiniGameScene::playMusic() {
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("MiniGamesMusic"), true, 0);
}

}  // namespace game
