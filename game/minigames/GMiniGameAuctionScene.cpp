#include "game/minigames/GMiniGameAuctionScene.h"
#include "engine/core/ContentType.h"
#include "engine/core/ControlNode.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SetProps.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/platform/CursorControl.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/common/GeometryNodes.h"
#include "game/config/ConfigReading.h"
#include "game/world/PathMovers.h"

#include <algorithm>

namespace game {

using namespace engine;

namespace {

constexpr int32_t kComicsSceneType = 1127;
const char* const kMoneyFolder = "levels/minigame_auction/Money/";

}  // namespace

GMiniGameAuctionScene::GMiniGameAuctionScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                             bool mostDerived)
    : GMiniGameScene(context, parent, manager, false) {
    setPeriod(kTimerMs);
    linkToParent(parent, mostDerived);
}

GMiniGameAuctionScene::~GMiniGameAuctionScene() = default;

stringc GMiniGameAuctionScene::moneyImagePath(int32_t value, bool over) {
    return stringc(kMoneyFolder) + numberText(value) + (over ? "over.png" : ".png");
}

void GMiniGameAuctionScene::onLoaded() {
    GMiniGameScene::onLoaded();
    for (ControlNode*& zone : zones_) zone = nullptr;
    timeLeftText_ = nullptr;
    longArrow_ = nullptr;
    clockSector_ = nullptr;
    scoreText_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    if (BaseNode* game = scene->findChild(makeNameId("Game"), 1)) {
        const char* names[kZoneCount] = {"Zone1", "Zone2", "Zone3"};
        for (int32_t i = 0; i < kZoneCount; ++i) zones_[i] = nodeCast<ControlNode>(game->findChild(makeNameId(names[i]), 1));
    }
    if (BaseNode* ui = scene->findChild(makeNameId("UI"), 1)) {
        timeLeftText_ = nodeCast<TextNode>(ui->findChild(makeNameId("TimeLeft"), 1));
        longArrow_ = ui->findChild(makeNameId("LongArrow"), 1);
        clockSector_ = nodeCast<::GEllipseSectorNode>(ui->findChild(makeNameId("Ellipse"), 1));
        scoreText_ = nodeCast<TextNode>(ui->findChild(makeNameId("ScoreText"), 1));
    }
}

void GMiniGameAuctionScene::readExtraElement(XmlReader& reader) {
    if (reader.getNodeName() != L"Sequence") return;
    sequence_.clear();
    if (reader.isEmptyElement()) {
        reader.finishEmptyElement();
        return;
    }
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader.getNodeName() == L"Sequence") return;
        if (type == irr::io::EXN_ELEMENT && reader.getNodeName() == L"S") {
            sequence_.emplace_back(reader.getAttributeValueAsInt(L"M", 2), reader.getAttributeValueAsInt(L"D", 1));
        }
    }
}

bool GMiniGameAuctionScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GMiniGameScene::onSceneActivated(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    playMusic();
    if (!hasMaxLevelTime() && maxLevelTime == 0) {
        // Without a limit the play would never end.
        getLogger().log("The auction has no MaxLevelTime; the time limit is 60000 ms", "", LOG_ERROR);
        maxLevelTime = kDefaultMaxLevelTime;
    }
    correctValue_ = 0;
    turnCount_ = 0;
    score = 0;
    reward_ = kReward;
    playTimeMs = 0;
    if (timeLeftText_) timeLeftText_->setText(formatMinutesSeconds(static_cast<uint32_t>(std::max(maxLevelTime, 0))));
    if (longArrow_) {
        longArrow_->setRotation(vector3df(0, 0, 0));
    }
    if (clockSector_) clockSector_->setAngle1(0);
    if (scoreText_) scoreText_->setText(formatWithSeparator(score, L','));
    newTurn();
    setPhase(Intro);
    return true;
}

void GMiniGameAuctionScene::newTurn() {
    RandomGenerator& random = getRandomGenerator();
    int32_t middle = 2;
    if (turnCount_ == 0) {
        middle = 2;
    } else if (turnCount_ < 3) {
        middle = random.rangeInt(2, 3);
    } else if (turnCount_ < 6) {
        middle = random.rangeInt(3, 5);
    } else {
        middle = random.rangeInt(2, 6);
    }
    int32_t low = middle - 1;
    int32_t high = middle + 1;
    if (middle == 5) {
        low -= random.rangeInt(0, 2);
    } else if (middle == 3 || middle == 4) {
        low -= random.rangeInt(0, 1);
        high += random.rangeInt(0, 1);
    }
    int32_t values[kZoneCount] = {low, middle, high};
    auto rotate = [&values] { std::rotate(values, values + 1, values + kZoneCount); };
    for (uint32_t turns = random.nextMT() % kZoneCount; turns > 0; --turns) rotate();
    correctValue_ = high;
    // The three values differ, so one of the three rotations differs from the
    // last turn's zones.
    for (int32_t tries = 0; tries < kZoneCount && std::equal(values, values + kZoneCount, zoneValues_); ++tries) {
        rotate();
    }
    for (int32_t i = 0; i < kZoneCount; ++i) {
        zoneValues_[i] = values[i];
        setZoneMoney(i, values[i]);
    }
}

void GMiniGameAuctionScene::setZoneMoney(int32_t zone, int32_t value) {
    ControlNode* control = getZone(zone);
    SpriteNode* sprite = control ? nodeCast<SpriteNode>(control->findChild(makeNameId("Obj"), 1)) : nullptr;
    if (!sprite) return;
    IContentManager* content = getContentManager();
    CountedRef<Content> normalLoaded(content ? content->load(ContentType::AtlasTexture, moneyImagePath(value, false), true)
                                             : nullptr);
    CountedRef<Content> overLoaded(content ? content->load(ContentType::AtlasTexture, moneyImagePath(value, true), true)
                                           : nullptr);
    auto* normal = dynamic_cast<AtlasTextureContent*>(normalLoaded.get());
    auto* over = dynamic_cast<AtlasTextureContent*>(overLoaded.get());
    sprite->setFlipX(getRandomGenerator().nextMWC() % 2 == 0);
    sprite->setAtlasTexture(control->isHovered() ? over : normal);
    struct StateImage {
        const char* state;
        AtlasTextureContent* image;
    };
    for (const StateImage& entry : {StateImage{"Normal", normal}, StateImage{"NormalHover", over},
                                    StateImage{"Pressed", normal}}) {
        State* state = sprite->getState(makeNameId(entry.state));
        // The first animator; a scene file may give the image as a start
        // animator instead, which does not hold up the button's states.
        Base* first = state ? state->getAnimator(0) : nullptr;
        if (!first && state && !state->getAnimatorList(State::StartAnimators).empty()) {
            first = state->getAnimatorList(State::StartAnimators)[0];
        }
        if (!first || !first->isOfType(SetProps::kTypeId)) continue;
        auto* setProps = dynamic_cast<SetProps*>(first);
        PropertySet* values = setProps ? setProps->getPropertySet() : nullptr;
        if (values) values->set("AtlasTexture", CountedRef<IPropertyData>(new CPropertyDataAtlasTexture(entry.image)));
    }
}

void GMiniGameAuctionScene::showClock() {
    const int32_t played = saturatingInt(static_cast<double>(playTimeMs));
    const int32_t left = std::max(maxLevelTime - played, 0);
    // No limit shows a full clock (the play ends at once anyway).
    const float turned = maxLevelTime > 0 ? std::min(static_cast<float>(static_cast<double>(playTimeMs) * 360.0 /
                                                                        static_cast<double>(maxLevelTime)),
                                                     360.0f)
                                          : 0.0f;
    if (timeLeftText_) timeLeftText_->setText(formatMinutesSeconds(static_cast<uint32_t>(left)));
    if (longArrow_) {
        longArrow_->setRotation(vector3df(0, 0, turned));
    }
    if (clockSector_) clockSector_->setAngle1(static_cast<int32_t>(turned));
}

bool GMiniGameAuctionScene::onTimer(uint32_t periodMs) {
    if (!GMiniGameScene::onTimer(periodMs)) return false;
    // The clock stops with the play: a finished play neither counts on nor
    // ends again.
    if (phase != Playing || isPlayCompleted()) return true;
    playTimeMs = playTimeMs + periodMs < playTimeMs ? UINT32_MAX : playTimeMs + periodMs;
    showClock();
    if (playTimeMs > static_cast<uint32_t>(std::max(maxLevelTime, 0))) complete();
    return true;
}

void GMiniGameAuctionScene::leaveToMenu() {
    SceneNode* loading = getSceneBelow();
    SceneNode* opener = loading ? loading->getSceneBelow() : nullptr;
    // Back to the comic that started the auction, else past the scene that
    // opened the loading scene too (a missing one counts as no comic).
    if (opener && opener->isOfType(kComicsSceneType)) {
        closeWithScenesBelow(1);
        return;
    }
    closeWithScenesBelow(2);
}

void GMiniGameAuctionScene::launchFlyingNumber() {
    SceneManager* manager = getSceneManager();
    TemplateCollectionNode* templates = manager ? manager->getTemplateCollection() : nullptr;
    GTextTrailNode* trail = templates ? nodeCast<GTextTrailNode>(templates->getTemplate(makeNameId("TextTrailStar"))) : nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    BaseNode* game = scene ? scene->findChild(makeNameId("Game"), 1) : nullptr;
    if (!trail || !game) return;
    vector3df point(0, 0, 0);
    EngineDevice* engine = getEngine();
    CursorControl* cursor = engine ? engine->getCursorControl() : nullptr;
    if (cursor) {
        const irr::core::position2d<irr::s32> at = cursor->getPosition();
        matrix4 inverse;
        if (getAbsoluteTransform().getInverse(inverse)) {
            point = vector3df(static_cast<float>(at.X), static_cast<float>(at.Y), 0);
            inverse.transformVect(point);
        }
    }
    auto* flying = nodeCast<GTextTrailNode>(trail->clone(game, game->getManager()));
    if (!flying) return;
    flying->setVisible(true);
    flying->setSpeed(kTrailSpeed);
    flying->start({vector2df(point.X, point.Y), vector2df(kScoreX, kScoreY)}, kNoName, false, false);
    flying->setText(stringw(reward_));
}

bool GMiniGameAuctionScene::onNodePressed(NodePressedEvent* event) {
    if (GMiniGameScene::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    if (node->getName() == makeNameId("MenuButton")) {
        leaveToMenu();
        return true;
    }
    int32_t hit = -1;
    for (int32_t i = 0; i < kZoneCount; ++i) {
        if (zones_[i] && node == zones_[i]) hit = i;
    }
    if (phase < Caption) return false;
    if (phase == Caption) {
        // This click only dismisses the caption.
        setPhase(Playing);
        return false;
    }
    if (hit < 0 || isPlayCompleted()) return false;
    if (zoneValues_[hit] == correctValue_) {
        playCue("ObjFound");
        launchFlyingNumber();
        score = saturatingAdd(score, reward_);
        if (reward_ < kReward) reward_ += 1;
        if (scoreText_) scoreText_->setText(formatWithSeparator(score, L','));
    } else {
        playCue("ButtonMissed");
        reward_ = kReward;
    }
    turnCount_ += 1;
    newTurn();
    return false;
}

}  // namespace game
