#include "game/world/SelfDrivenEffectNode.h"
#include "engine/core/TimerScheduler.h"

#include <cmath>

using namespace engine;

namespace game {

GSelfDrivenEffectNode::GSelfDrivenEffectNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                             uint32_t intervalMs)
    : BaseNode(context, parent, manager, false),
      timer_(new UpdateTimer(this, &GSelfDrivenEffectNode::runTimer, intervalMs)) {}

GSelfDrivenEffectNode::~GSelfDrivenEffectNode() {
    timer_->forget();
    timer_->setTimerScheduler(nullptr);
}

TimerScheduler* GSelfDrivenEffectNode::getUpdateScheduler() const { return timer_->getTimerScheduler(); }

uint32_t GSelfDrivenEffectNode::getTimerInterval() const { return timer_->getPeriod(); }

void GSelfDrivenEffectNode::collectRenderItems(RenderList& list) {
    BaseNode::collectRenderItems(list);
    if (timer_->getTimerScheduler() || !canSetUp()) return;
    BaseNode* scene = getOwnerScene();
    TimerScheduler* scheduler = scene ? scene->getTimerScheduler() : nullptr;
    if (!scheduler) return;
    setUpOnFirstDraw();
    if (canSetUp()) timer_->setTimerScheduler(scheduler);
}

void GSelfDrivenEffectNode::unregisterTimer() { timer_->setTimerScheduler(nullptr); }

bool GSelfDrivenEffectNode::removeSelf() {
    const CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    timer_->setTimerScheduler(nullptr);
    setParent(nullptr);
    return false;
}

void GSelfDrivenEffectNode::setAlpha(uint32_t alpha) {
    SColor color = getTintColor();
    color.setAlpha(alpha > 255u ? 255u : alpha);
    setTintColor(color);
}

uint32_t GSelfDrivenEffectNode::lastSecondAlpha(int32_t timeLeftMs) {
    if (timeLeftMs >= 1000) return 255u;
    if (timeLeftMs <= 0) return 0u;
    return static_cast<uint32_t>(std::floor(static_cast<float>(timeLeftMs) / 1000.0f * 255.0f + 0.5f));
}

}  // namespace game
