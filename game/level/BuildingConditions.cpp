// Conditions (broken, dirty, to restore, waiting for a service), the
// operating test, and the active features with their timers, payments,
// icons and events.
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"

#include <cmath>

using namespace engine;

namespace game {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
// Feature icon layers: the fill grows over the frame's height.
constexpr float kFeatureIconWidth = 28.0f;
constexpr float kFeatureIconHeight = 26.0f;

// The icon template a condition shows, or null for none.
const char* conditionIconName(int32_t condition) {
    switch (condition) {
    case GBuildingNode::kBroken:
    case GBuildingNode::kBusVisitRequest:
        return "RepairIcon";
    case GBuildingNode::kDirty:
        return "DirtyIcon";
    default:
        return nullptr;
    }
}

bool hasBoostIncome(const GActiveFeatureConfig& feature) {
    const NameId boost = makeNameId(kBoostIncomeFeature);
    for (uint32_t i = 0; i < feature.features.size(); ++i) {
        if (feature.features[i] == boost) return true;
    }
    return false;
}

}  // namespace

void GBuildingNode::setCondition(int32_t condition) {
    condition_ = condition;
    if (conditionIcon_) {
        CountedRef<BaseNode> old;
        old = conditionIcon_;
        conditionIcon_.reset();
        if (BaseNode* parent = old->getParent()) parent->removeChild(old.get());
    }
    const char* iconName = conditionIconName(condition);
    if (!iconName || !templates()) return;
    if (BaseNode* icon = instantiate(iconName, this, false)) {
        icon->setVisible(true);
        icon->setTintColor(SColor(kOpaqueWhite));
        icon->setState(makeNameId("Active"), nullptr);
        conditionIcon_ = CountedRef<BaseNode>::share(icon);
    }
}

bool GBuildingNode::isOperating() const {
    if (!isVisible() || !record_) return false;
    if (record_->Level <= 0 || !ownedByPlayer_ || forSale_ || condition_ != kNoCondition) return false;
    if (record_->Type == 0 || record_->ActiveFeatures.empty()) return jobState_ == kNoJob;
    return jobState_ == kNoJob || jobState_ == kServiceJob || jobState_ == kFeatureJob;
}

bool GBuildingNode::isFeatureAvailable(int32_t index) const {
    if (!record_ || index < 0 || static_cast<size_t>(index) >= record_->ActiveFeatures.size()) return false;
    const LevelAvailability* availability = levelScene_ ? levelScene_->availability : nullptr;
    return availability && availability->isFeatureAvailable(record_->Name, index);
}

int32_t GBuildingNode::featureState(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= featureStates_.size()) return kFeatureRecharging;
    return featureStates_[static_cast<size_t>(index)].state;
}

float GBuildingNode::featureProgress(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= featureStates_.size()) return 1.0f;
    const FeatureState& entry = featureStates_[static_cast<size_t>(index)];
    if (entry.state == kFeatureReady) return 1.0f;
    const bool known = record_ && static_cast<size_t>(index) < record_->ActiveFeatures.size();
    const GActiveFeatureConfig* feature = known ? &record_->ActiveFeatures[static_cast<size_t>(index)] : nullptr;
    if (entry.state == kFeatureActive) {
        const int32_t duration = feature ? feature->durationTime : 0;
        return duration > 0 ? static_cast<float>(entry.remaining) / static_cast<float>(duration) : 0.0f;
    }
    const int32_t recharge = feature ? feature->rechargeTime : 0;
    return recharge > 0 ? 1.0f - static_cast<float>(entry.remaining) / static_cast<float>(recharge) : 0.0f;
}

void GBuildingNode::activateFeature(int32_t index) {
    if (index < 0 || !record_) return;
    const size_t i = static_cast<size_t>(index);
    if (i >= featureStates_.size() || i >= record_->ActiveFeatures.size()) return;
    FeatureState& entry = featureStates_[i];
    if (entry.state != kFeatureReady) return;
    const GActiveFeatureConfig& feature = record_->ActiveFeatures[i];
    entry.state = kFeatureActive;
    entry.remaining = feature.durationTime;
    entry.boost = false;
    if (hasBoostIncome(feature)) {
        entry.boost = true;
        entry.boostCountdown = feature.durationTime / 4;
    }
    enterStateInChildren(featureStateName(i, false));
    if (BaseNode* icon = getFeatureIcon(index)) icon->enterStateInChildren(makeNameId("Active"));
}

void GBuildingNode::updateFeatures(int32_t ms) {
    if (!isOperating()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    for (size_t i = 0; i < featureStates_.size(); ++i) {
        if (featureStates_[i].state == kFeatureReady) continue;
        const bool known = record_ && i < record_->ActiveFeatures.size();
        const int32_t duration = known ? record_->ActiveFeatures[i].durationTime : 0;
        const int32_t recharge = known ? record_->ActiveFeatures[i].rechargeTime : 0;
        const int32_t index = static_cast<int32_t>(i);
        BaseNode* icon = getFeatureIcon(index);
        // Each payment uses the guests served at that moment.
        const auto quarterPayment = [this]() {
            const float amount = 0.25f * static_cast<float>(servedGuests(record_.get())) * record_->ServeBoostedIncome;
            postGameEvent(new GIncomeEvent(this, amount));
        };

        if (featureStates_[i].state == kFeatureActive && featureStates_[i].boost) {
            featureStates_[i].boostCountdown -= ms;
            if (featureStates_[i].boostCountdown < 0) {
                featureStates_[i].boostCountdown = duration / 3;
                quarterPayment();
                // The level's answer may have given the building a new record.
                if (i >= featureStates_.size()) return;
            }
        }
        FeatureState& entry = featureStates_[i];
        entry.remaining -= ms;
        float fill = 0.0f;
        if (entry.remaining > 0) {
            fill = featureProgress(index);
        } else {
            entry.remaining = 0;
            if (entry.state == kFeatureActive) {
                entry.state = kFeatureRecharging;
                entry.remaining = recharge;
                const bool boosted = entry.boost;
                enterStateInChildren(featureStateName(i, true));
                stopStateSound();
                if (icon) icon->enterStateInChildren(makeNameId("Recharging"));
                if (boosted) quarterPayment();
                // The building's clock is the one place that reports the end
                // of an active period, whatever task shows the feature.
                postGameEvent(new GFeatureUsedEvent(this, index));
                fill = 0.0f;
            } else {
                entry.state = kFeatureReady;
                if (icon) icon->enterStateInChildren(makeNameId("Ready"));
                postGameEvent(new GServiceCompletedEvent(this));
                fill = 1.0f;
            }
        }
        if (icon) showFeatureIconProgress(icon, fill);
    }
}

void GBuildingNode::showFeatureIconProgress(BaseNode* icon, float progress) {
    if (!icon || icon->getChildCount() < 2) return;
    SpriteNode* frame = nodeCast<SpriteNode>(icon->getChild(0));
    SpriteNode* fill = nodeCast<SpriteNode>(icon->getChild(1));
    if (!frame || !fill) return;
    if (progress <= 0.0f) {
        frame->setBounds(vector3df(kFeatureIconWidth, kFeatureIconHeight, 0.0f));
        fill->setVisible(false);
        return;
    }
    const float d = std::floor((1.0f - progress) * 20.0f + 0.5f) + 3.0f;
    frame->setBounds(vector3df(kFeatureIconWidth, d, 0.0f));
    fill->setVisible(true);
    fill->setPosition(vector3df(0.0f, d, 0.01f));
    fill->setBounds(vector3df(kFeatureIconWidth, kFeatureIconHeight - d, 0.0f));
    fill->setImagePivotPoint(0.0f, d);
    frame->setImageStretchY(3);
    fill->setImageStretchY(3);
}

}  // namespace game
