#include "game/menus/GCreditsScene.h"
#include "engine/core/ContentType.h"
#include "engine/core/IContentManager.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/NodeFactory.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/Font.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"

#include <string>

namespace game {

using namespace engine;

namespace {

void closeWithSlide(SceneNode& scene) { scene.closeScene(0, kNoName, makeNameId("NavBackToSlide")); }

}  // namespace

GCreditsScene::GCreditsScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setPeriod(30);
}

bool GCreditsScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    return event && event->getSecondScene() == this;
}

bool GCreditsScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node || node->getName() != makeNameId("BackButton")) return false;
    closeWithSlide(*this);
    return true;
}

bool GCreditsScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event || (event->getKey() != KeyCode::Escape && event->getKey() != KeyCode::Enter)) return false;
    closeWithSlide(*this);
    return true;
}

stringw debugStatsText(int32_t framesPerSecond, uint32_t lastStepMs, uint32_t primitivesDrawn) {
    const std::string text = "fps: " + std::to_string(framesPerSecond) + "\nms:" + std::to_string(lastStepMs) + "\n" +
                             std::to_string(primitivesDrawn / 2);
    return stringw(text.c_str());
}

GDebugStatsScene::GDebugStatsScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                   bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setPeriod(0);
}

bool GDebugStatsScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    // A text made on an earlier activation stays where it is, showing what
    // it showed last.
    statsText_.reset();
    const CreationContext context(nullptr, "");
    BaseNode* made = getNodeFactory().createNode(L"TextNode", &context);
    TextNode* text = nodeCast<TextNode>(made);
    if (!text) {
        if (made) made->release();
        return true;
    }
    statsText_ = CountedRef<TextNode>(text);
    addChild(text);
    text->setPivotPoint(vector2df(0.0f, 0.0f));
    text->setPosition(vector3df(0.0f, 0.0f, 0.0f));
    text->setText(L"0");
    if (IContentManager* content = getContentManager()) {
        CountedRef<Content> font(content->load(ContentType::Font, "scenes/fonts/arial_14_crisp.ofnt", true));
        text->setFont(dynamic_cast<BaseFont*>(font.get()));
    }
    return true;
}

bool GDebugStatsScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    EngineDevice* engine = getEngine();
    irr::video::IVideoDriver* driver = engine ? engine->getVideoDriver() : nullptr;
    if (statsText_ && driver) {
        statsText_->setText(debugStatsText(driver->getFPS(), gameServices() ? gameServices()->getLastStepMs() : 0,
                                           driver->getPrimitiveCountDrawn()));
    }
    return true;
}

}  // namespace game
