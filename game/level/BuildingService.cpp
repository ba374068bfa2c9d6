// Serve areas, income and income bonus, the serve-area highlight and build
// preview, the building's price and buyers' offers, the for-sale timer with
// its price tag, phone and dial.
#include "engine/content/Dictionary.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/State.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/AtlasTexture.h"
#include "game/common/GBaseSceneNode.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GeometryNodes.h"

#include <algorithm>
#include <cmath>

using namespace engine;

namespace game {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr float kTiny = 1e-6f;
// The level's screen: serve-area highlights are clipped to it.
const recti kPlayfield(0, 0, 1024, 768);
// The serve area is centred this far from the building's position.
constexpr float kServeCentreX = 70.0f;
constexpr float kServeCentreY = 28.0f;
constexpr float kServeGrid = 40.0f;

bool overlaps(const recti& a, const recti& b) {
    return a.UpperLeftCorner.Y < b.LowerRightCorner.Y && b.UpperLeftCorner.Y < a.LowerRightCorner.Y &&
           a.UpperLeftCorner.X < b.LowerRightCorner.X && b.UpperLeftCorner.X < a.LowerRightCorner.X;
}

bool isNonZero(float value) { return value > kTiny || value < -kTiny; }

bool contains(const array<NameId>& list, NameId name) {
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (list[i] == name) return true;
    }
    return false;
}

int32_t roundToWhole(float value) { return roundedInt(value); }

// A sale time drawn from a (min, max) range, in whole milliseconds.
int32_t drawMs(const vector2df& range) { return saturatingInt(getRandomGenerator().rangeFloat(range.X, range.Y)); }

BaseNode* childNamed(const BaseNode* node, const char* name) { return node ? directChild(*node, name) : nullptr; }

bool isInState(const BaseNode* node, NameId state) {
    const State* running = node ? node->getRunningState() : nullptr;
    return running && running->getName() == state;
}

// Resets a dial to 0, shows it and puts it in "Normal".
void resetDial(BaseNode* dial) {
    if (!dial) return;
    GBuildingNode::setTimerDial(dial, 0.0f);
    dial->setVisible(true);
    dial->setState(makeNameId("Normal"), nullptr);
}

SColor lerpColor(uint32_t from, uint32_t to, float t) {
    t = std::min(1.0f, std::max(0.0f, t));
    const SColor a(from);
    const SColor b(to);
    const auto mix = [t](uint32_t x, uint32_t y) {
        return static_cast<uint32_t>(static_cast<float>(x) + (static_cast<float>(y) - static_cast<float>(x)) * t);
    };
    return SColor(mix(a.getAlpha(), b.getAlpha()), mix(a.getRed(), b.getRed()), mix(a.getGreen(), b.getGreen()),
                  mix(a.getBlue(), b.getBlue()));
}

stringw moneyText(int32_t amount) {
    const stringw written = formatWithSeparator(amount, L',');
    IDictionary* dictionary = getCurrentDictionary();
    return dictionary ? dictionary->format("MoneyDollar", written) : written;
}

// The overlays a body tint leaves alone.
bool isOverlayName(NameId name) {
    static const char* const kOverlays[] = {"Selector",   "RepairIcon", "DirtyIcon",   "UnfinishedIcon",
                                            "PhoneIcon",  "ForSaleNode", "ServeArea",  "SmileIcon",
                                            "StarIcons",  "WorkersText", "Feature1Icon", "Feature2Icon"};
    for (const char* overlay : kOverlays) {
        if (name == makeNameId(overlay)) return true;
    }
    return false;
}

}  // namespace

// ---- Serve areas ----------------------------------------------------------------------------

const std::vector<GBuildingNode*>& GBuildingNode::levelBuildings() const {
    static const std::vector<GBuildingNode*> kNone;
    return levelScene_ ? levelScene_->buildings : kNone;
}

namespace {

// The serve area the building reaches with the record: boosted while one of
// its active features carries BoostServeArea.
vector2df effectiveServeArea(const GBuildingConfig* record, const std::vector<GBuildingNode::FeatureState>& states) {
    if (!record) return vector2df(0.0f, 0.0f);
    const NameId boost = makeNameId(kBoostServeAreaFeature);
    for (size_t i = 0; i < states.size() && i < record->ActiveFeatures.size(); ++i) {
        if (states[i].state != GBuildingNode::kFeatureActive) continue;
        const array<NameId>& effects = record->ActiveFeatures[i].features;
        if (contains(effects, boost)) return record->BoostedServeArea;
    }
    return record->ServeArea;
}

bool hasArea(const vector2df& area) { return area.X != 0.0f || area.Y != 0.0f; }

}  // namespace

recti GBuildingNode::serveAreaRect(const GBuildingConfig* record) const {
    if (!record) record = record_.get();
    const vector2df size = effectiveServeArea(record, featureStates_);
    const float cx = getPosition().X + kServeCentreX;
    const float cy = getPosition().Y + kServeCentreY;
    return recti(saturatingInt(cx - size.X / 2.0f), saturatingInt(cy - size.Y / 2.0f), saturatingInt(cx + size.X / 2.0f),
                 saturatingInt(cy + size.Y / 2.0f));
}

recti GBuildingNode::selfServingRect() const {
    vector3df position = getPosition();
    vector3df size = getBounds();
    if (BaseNode* own = childNamed(this, "SelfServingRect")) {
        position += own->getPosition();
        size = own->getBounds();
    }
    return recti(saturatingInt(position.X), saturatingInt(position.Y), saturatingInt(position.X + size.X),
                 saturatingInt(position.Y + size.Y));
}

std::vector<GBuildingNode*> GBuildingNode::buildingsInServeArea(const GBuildingConfig* record) const {
    std::vector<GBuildingNode*> found;
    if (!record) record = record_.get();
    if (!hasArea(effectiveServeArea(record, featureStates_))) return found;
    const recti area = serveAreaRect(record);
    for (GBuildingNode* other : levelBuildings()) {
        if (other && other != this && overlaps(other->selfServingRect(), area)) found.push_back(other);
    }
    return found;
}

void GBuildingNode::claimServedBuildings() {
    const GBuildingConfig* own = record_.get();
    if (!own || !hasArea(effectiveServeArea(own, featureStates_)) || own->ServeIncome < 1.0f) return;
    for (GBuildingNode* other : buildingsInServeArea(own)) {
        if (!other->servingBuildingOfType(own->Name)) other->setServingBuilding(own->Name, this);
    }
}

void GBuildingNode::setServingBuilding(NameId type, GBuildingNode* building) { servedBy_[type] = building; }

GBuildingNode* GBuildingNode::servingBuildingOfType(NameId type) const {
    const auto it = servedBy_.find(type);
    return it == servedBy_.end() ? nullptr : it->second;
}

void GBuildingNode::forgetServingBuilding(GBuildingNode* building) {
    for (auto& entry : servedBy_) {
        if (entry.second == building) entry.second = nullptr;
    }
}

int32_t GBuildingNode::servedGuests(const GBuildingConfig* record) const {
    if (!record) record = record_.get();
    if (!record || !hasArea(effectiveServeArea(record, featureStates_)) || record->ServeIncome < 1.0f) return 0;
    int32_t guests = 0;
    for (GBuildingNode* other : buildingsInServeArea(record)) {
        if (other->jobState_ != kNoJob || other->condition_ != kNoCondition || !other->record_) continue;
        GBuildingNode* server = other->servingBuildingOfType(record->Name);
        if (server && server != this) continue;
        guests += other->record_->guestsCount(levelConfig_.get());
    }
    return guests;
}

// ---- Income ------------------------------------------------------------------------------------

float GBuildingNode::income(const GBuildingConfig* record) const {
    if (!record) {
        record = record_.get();
        if (jobState_ != kNoJob && record && record->Type == 0) record = previousRecord_.get();
    }
    if (!record || record->Level <= 0) return 0.0f;
    // A bonus of -100 % or below leaves nothing: a building never costs its
    // owner money by running.
    return std::max(0.0f, static_cast<float>(servedGuests(record)) * record->ServeIncome +
                              record->Income * (1.0f + incomeBonusPercent_ / 100.0f));
}

float GBuildingNode::boostedIncome() const {
    if (!record_) return 0.0f;
    float sum = 0.0f;
    for (const FeatureState& entry : featureStates_) {
        if (entry.state != kFeatureActive || !entry.boost) continue;
        sum += std::floor(static_cast<float>(servedGuests(record_.get())) * record_->ServeBoostedIncome + 0.5f);
    }
    return sum;
}

stringw GBuildingNode::formatIncome(const GBuildingConfig* record) const {
    return formatWithSeparator(roundToWhole(income(record) + boostedIncome()), L',');
}

void GBuildingNode::updateIncomeBonus() {
    incomeBonusPercent_ = 0.0f;
    coveringBuildings_.clear();
    const recti own = selfServingRect();
    for (GBuildingNode* server : levelBuildings()) {
        const GBuildingConfig* record = server ? server->record_.get() : nullptr;
        if (!record || !hasArea(effectiveServeArea(record, server->featureStates_))) continue;
        const float bonus = record->serveAreaIncomeBonus(*server);
        if (!isNonZero(bonus)) continue;
        if (!overlaps(server->serveAreaRect(record), own)) continue;
        const bool typeCounted = std::any_of(coveringBuildings_.begin(), coveringBuildings_.end(), [record](GBuildingNode* b) {
            return b->record_ && b->record_->Name == record->Name;
        });
        if (typeCounted) continue;
        incomeBonusPercent_ += bonus;
        coveringBuildings_.push_back(server);
    }

    if (levelConfig_ && record_) {
        const GLevelConfig& level = *levelConfig_;
        const LevelModifierValues& modifiers = level.modifierValues;
        const NameId type = record_->Name;
        if (isNonZero(modifiers.PyramidIncomeBonus) && contains(level.pyramidIncomeBonusPlaces, getName())) {
            incomeBonusPercent_ += modifiers.PyramidIncomeBonus;
        }
        const float station1 = level.stationIncomeBonus1 + modifiers.StationIncomeBonus1;
        if (isNonZero(station1) && contains(level.stationIncomeBonus1BuildingTypes, type)) incomeBonusPercent_ += station1;
        const float station2 = level.stationIncomeBonus2 + modifiers.StationIncomeBonus2;
        if (isNonZero(station2) && contains(level.stationIncomeBonus2BuildingTypes, type)) incomeBonusPercent_ += station2;
        if (record_->Type != 7) incomeBonusPercent_ += modifiers.AquaParkIncomeBonus;
        incomeBonusPercent_ += modifiers.PRIncomeBonus;
        if (luckinessType_ == -1) {
            incomeBonusPercent_ += level.incomeBonus2;
        } else if (luckinessType_ == 1) {
            incomeBonusPercent_ += level.incomeBonus1;
        }
    }
    updateSmileIcon();
}

void GBuildingNode::setLevelConfig(GLevelConfig* level) {
    levelConfig_ = CountedRef<GLevelConfig>::share(level);
    updateIncomeBonus();
}

void GBuildingNode::setLuckinessType(int32_t type) {
    luckinessType_ = type;
    if (levelScene_ && levelConfig_) updateIncomeBonus();
}

void GBuildingNode::updateSmileIcon() {
    if (smileIcon_) {
        const bool destroyingOther = jobState_ == kDestructionJob && previousRecord_ && previousRecord_->Type != 0;
        if (!isNonZero(incomeBonusPercent_) || !record_ || record_->Type != 0 || destroyingOther) {
            smileIcon_->setVisible(false);
        } else {
            smileIcon_->setVisible(true);
            stringw text;
            if (incomeBonusPercent_ > 0.0f) text += L"+";
            text += stringw(saturatingInt(incomeBonusPercent_));
            text += L"%";
            smileIcon_->setText(text);
            if (SpriteNode* face = nodeCast<SpriteNode>(smileIcon_->getChild(0))) {
                const char* image = incomeBonusPercent_ < 0.0f    ? "levels/common/Smiles/Red.png"
                                    : incomeBonusPercent_ >= 15.0f ? "levels/common/Smiles/Green.png"
                                                                   : "levels/common/Smiles/Blue.png";
                CountedRef<AtlasTextureContent> texture(loadAtlasTexture(getContentManager(), image, true));
                if (texture) face->setAtlasTexture(texture.get());
            }
        }
    }
    placeOverlayIcons();
}

// ---- Highlight, preview and tint -------------------------------------------------------------

void GBuildingNode::showServeAreaHighlight(const GBuildingConfig* record) {
    if (!record) {
        if (serveArea_) serveArea_->setVisible(false);
        return;
    }
    const auto tintFor = [](const GBuildingNode* building) {
        const GBuildingConfig* r = building->record_.get();
        return SColor(r && r->ServeAreaIncomeBonus > 0.0f ? kIncomeBonusAreaTint : kGuestAreaTint);
    };
    if (record->Level > 0 && (record->Type == 0 || record->Type == 4 || record->Type == 7)) {
        for (const auto& entry : servedBy_) {
            GBuildingNode* server = entry.second;
            if (server && server->record_ && hasArea(effectiveServeArea(server->record_.get(), server->featureStates_))) {
                server->tintBody(tintFor(server));
            }
        }
        for (GBuildingNode* covering : coveringBuildings_) covering->tintBody(tintFor(covering));
        return;
    }

    recti clipped = serveAreaRect(record);
    clipped.clipAgainst(kPlayfield);
    if (clipped.getWidth() == 0 && clipped.getHeight() == 0) {
        if (serveArea_) serveArea_->setVisible(false);
        return;
    }
    const std::vector<GBuildingNode*> reached = buildingsInServeArea(record);
    const vector3df& own = getPosition();
    float left = own.X, top = own.Y, right = own.X, bottom = own.Y;
    for (const GBuildingNode* other : reached) {
        const vector3df& p = other->getPosition();
        const vector3df& b = other->getBounds();
        left = std::min({left, p.X, p.X + b.X});
        right = std::max({right, p.X, p.X + b.X});
        top = std::min({top, p.Y, p.Y + b.Y});
        bottom = std::max({bottom, p.Y, p.Y + b.Y});
    }
    const bool bonusArea = record->ServeAreaIncomeBonus > 0.0f;
    if (serveArea_) {
        const float width = std::floor((right - left) / kServeGrid + 0.5f) * kServeGrid;
        const float height = (std::floor((bottom - top) / kServeGrid + 0.5f) + 1.0f) * kServeGrid;
        serveArea_->setVisible(true);
        serveArea_->setBounds(vector3df(width, height, 0.0f));
        serveArea_->setPivotPoint(vector2df(width / 2.0f, height / 2.0f));
        serveArea_->setPosition(
            vector3df((left + right) / 2.0f - own.X, (top + bottom) / 2.0f - own.Y, -500.0f - own.Z));
        const NameId look = makeNameId(bonusArea ? "Blue" : "Green");
        if (!isInState(serveArea_.get(), look)) serveArea_->setState(look, nullptr);
    }
    const SColor tint(bonusArea ? kIncomeBonusAreaTint : kGuestAreaTint);
    for (GBuildingNode* other : reached) {
        if (other->jobState_ != kNoJob || other->condition_ != kNoCondition || !other->record_) continue;
        if (other->record_->guestsCount(levelConfig_.get()) == 0 && other->record_->Level != 0) continue;
        GBuildingNode* server = other->servingBuildingOfType(record->Name);
        if (server && server != this) continue;
        other->tintBody(tint);
    }
}

void GBuildingNode::showBuildPreview(const GBuildingConfig* record) {
    if (!record_) return;
    if (record) {
        if (record_->Level != 0 || record->Name == getTemplateName()) return;
        setTemplateName(record->Name);
        if (ControlNode* root = getTemplateRoot()) root->setTintColor(SColor(kBuildPreviewTint));
        if (record->Type == 0) showServeAreaHighlight(record);
        return;
    }
    if (getTemplateName() == record_->Name) return;
    setTemplateName(record_->Name);
    if (ControlNode* root = getTemplateRoot()) root->setTintColor(SColor(kOpaqueWhite));
    if (isFocused()) enterControlState(controlStateNames().focus);
}

void GBuildingNode::tintBody(SColor color) {
    const auto tintChildren = [color](const BaseNode* parent) {
        for (uint32_t i = 0; i < parent->getChildCount(); ++i) {
            BaseNode* child = parent->getChild(i);
            if (isOverlayName(child->getName())) continue;
            if (SpriteNode* sprite = nodeCast<SpriteNode>(child)) {
                sprite->setBlendType(1);
                sprite->setTintColor(color);
            }
        }
    };
    tintChildren(this);
    ControlNode* root = getTemplateRoot();
    if (root && root->getTintColor().getAlpha() == 255) tintChildren(root);
}

// ---- Price and sale ----------------------------------------------------------------------------

float GBuildingNode::price(const GBuildingConfig* record) const {
    if (record && record != record_.get()) return record->SellPrice;
    if (!record_) return 0.0f;
    float percent = 0.0f;
    if (levelConfig_) {
        const LevelModifierValues& modifiers = levelConfig_->modifierValues;
        if (ownedByPlayer_) {
            percent = modifiers.OwnedBuildingPriceBonus;
        } else {
            percent = -modifiers.BuyBuildingPriceDiscount;
            if (!forSale_ && modifiers.BuyNotForSaleBuildingPriceBonus > 0.0f) {
                percent += modifiers.BuyNotForSaleBuildingPriceBonus;
            }
        }
    }
    return record_->SellPrice * (1.0f + percent / 100.0f);
}

int32_t GBuildingNode::getOfferPrice() const {
    const double offer = static_cast<double>(price()) * offerMultiplier_;
    return saturatingInt(std::floor(offer / 1000.0 + 0.5) * 1000.0);
}

void GBuildingNode::refreshPriceTag(float amount) {
    if (priceText_) priceText_->setText(moneyText(roundToWhole(amount)));
}

void GBuildingNode::setForSale(bool forSale) {
    forSale_ = forSale;
    BaseNode* sale = forSaleNode_.get();
    BaseNode* progress = childNamed(sale, "Progress");
    BaseNode* background = childNamed(sale, "Bg");
    if (sale) sale->setVisible(forSale);
    refreshPriceTag(price());
    if (progress) progress->setVisible(false);
    if (background) background->setVisible(false);
    if (!forSale || !levelConfig_) return;
    playCue("ForSale");
    saleElapsed_ = 0;
    if (ownedByPlayer_) {
        saleWait_ = drawMs(levelConfig_->buildingsBuyRequestTime);
    } else {
        saleWait_ = drawMs(levelConfig_->buildingsSellTime);
        resetDial(progress);
        if (background) background->setVisible(true);
    }
    setBuyRequestPending(false);
}

void GBuildingNode::setBuyRequestPending(bool pending) {
    buyRequestPending_ = pending;
    BaseNode* phone = phoneIcon_.get();
    if (phone) {
        phone->setVisible(pending);
        phone->setTintColor(SColor(kOpaqueWhite));
        if (pending) {
            playCue("BuyRequest");
            phone->setState(makeNameId("Active"), nullptr);
        }
        resetDial(childNamed(phone, "Progress"));
    } else if (pending) {
        playCue("BuyRequest");
    }
}

void GBuildingNode::restartBuyRequestWait() {
    if (levelConfig_) saleWait_ = drawMs(levelConfig_->buildingsBuyRequestTime);
    saleElapsed_ = 0;
    setBuyRequestPending(false);
    refreshPriceTag(price());
    notifySelection();
}

void GBuildingNode::clearSale() {
    setForSale(false);
    restartBuyRequestWait();
    setCondition(kNoCondition);
    notifySelection();
}

void GBuildingNode::updateSale(int32_t ms) {
    saleElapsed_ = saturatingAdd(saleElapsed_, ms);
    float tag = 0.0f;
    if (saleElapsed_ <= saleWait_) {
        if (!forSale_) return;
        const float share = saleWait_ > 0 ? static_cast<float>(saleElapsed_) / static_cast<float>(saleWait_) : 1.0f;
        if (ownedByPlayer_) {
            if (buyRequestPending_) {
                tag = static_cast<float>(getOfferPrice());
                if (phoneIcon_) {
                    if (BaseNode* dial = childNamed(phoneIcon_.get(), "Progress")) setTimerDial(dial, share);
                }
            } else {
                tag = price();
            }
        } else {
            if (BaseNode* dial = childNamed(forSaleNode_.get(), "Progress")) setTimerDial(dial, share);
            tag = price();
        }
    } else {
        saleElapsed_ = 0;
        if (forSale_ && ownedByPlayer_) {
            if (levelConfig_) {
                if (buyRequestPending_) {
                    // The caller hangs up.
                    saleWait_ = drawMs(levelConfig_->buildingsBuyRequestTime);
                    setBuyRequestPending(false);
                    tag = price();
                } else {
                    offerMultiplier_ = getRandomGenerator().rangeFloat(levelConfig_->buildingsBuyRequestPriceMultiplier.X,
                                                                       levelConfig_->buildingsBuyRequestPriceMultiplier.Y);
                    tag = static_cast<float>(getOfferPrice());
                    saleWait_ = drawMs(levelConfig_->buildingsBuyRequestTimeWaiting);
                    setBuyRequestPending(true);
                }
                notifySelection();
            }
        } else if (forSale_) {
            setForSale(false);
            notifySelection();
        }
    }
    if (tag >= 1.0f) refreshPriceTag(tag);
}

void GBuildingNode::setTimerDial(BaseNode* dial, float progress) {
    if (!dial || dial->getChildCount() < 3) return;
    const int32_t angle = roundedInt(progress * 360.0f);
    if (GEllipseSectorNode* sector = nodeCast<GEllipseSectorNode>(dial->getChild(1))) {
        sector->setAngle2(angle);
        sector->setFillColor(angle <= 180 ? lerpColor(0xFF00FF00u, 0xFFFFFF00u, 2.0f * progress)
                                          : lerpColor(0xFFFFFF00u, 0xFFFF0000u, 2.0f * progress - 1.0f));
        const NameId alert = makeNameId("Alert");
        if (progress > 0.75f && !isInState(sector, alert)) {
            playCue("TimedActionEnd");
            sector->setState(alert, nullptr);
        }
    }
    dial->getChild(2)->setRotation(vector3df(0.0f, 0.0f, static_cast<float>(angle)));
}

}  // namespace game
