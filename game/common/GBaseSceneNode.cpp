#include "game/common/GBaseSceneNode.h"
#include "engine/audio/SoundManager.h"
#include "engine/controls/ButtonNode.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"

#include <string>

namespace game {

using namespace engine;

namespace {

void logNode(const char* text, BaseNode* node) {
    getLogger().log(text, node ? nameOfId(node->getName()).c_str() : "", LOG_DEBUG);
}

template <class E, bool (GBaseSceneNode::*Handler)(E*)>
bool call(GBaseSceneNode& scene, Event* event) {
    return (scene.*Handler)(dynamic_cast<E*>(event));
}

}  // namespace

SceneNode* openSceneOrLog(SceneNode& from, const char* path, bool keepCovered, NameId coveredTransition,
                          NameId newTransition) {
    SceneNode* opened = from.openScene(path, keepCovered, coveredTransition, newTransition);
    if (!opened) {
        getLogger().log("Unable to open the scene", path, LOG_ERROR);
        reportContentProblem(path);
    }
    return opened;
}

void playCue(const char* cue) {
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId(cue), false, 0);
}

const EventMap<GBaseSceneNode>& GBaseSceneNode::getEventMap() {
    using S = GBaseSceneNode;
    static const EventMap<GBaseSceneNode> map(
        ControlNode::getEventMap(),
        {
            {EventId::ApplicationCloseEvent, &call<ApplicationCloseEvent, &S::onApplicationClose>},
            {EventId::WindowFocusEvent, &call<WindowFocusEvent, &S::onWindowFocusChanged>},
            {EventId::MessageBoxResultEvent, &call<MessageBoxResultEvent, &S::onMessageBoxResult>},
            {EventId::SceneActivatedEvent, &call<SceneActivatedEvent, &S::onSceneActivated>},
            {EventId::SceneTransitionEndEvent, &call<SceneTransitionEndEvent, &S::onSceneEvent37>},
            {EventId::TabSwitchingEvent, &call<TabSwitchingEvent, &S::onTabEvent42>},
            {EventId::TabSwitchedEvent, &call<TabSwitchedEvent, &S::onTabEvent41>},
            {EventId::NodePressPreviewEvent, &call<NodePressPreviewEvent, &S::onNodePressPreview>},
            {EventId::NodePressedEvent, &call<NodePressedEvent, &S::onNodePressed>},
            {EventId::NodeHoveredEvent, &call<NodeHoveredEvent, &S::onNodeHovered>},
            {EventId::NodeUnhoveredEvent, &call<NodeUnhoveredEvent, &S::onNodeUnhovered>},
            {EventId::NodeFocusedEvent, &call<NodeFocusedEvent, &S::onNodeFocused>},
            {EventId::NodeUnfocusedEvent, &call<NodeUnfocusedEvent, &S::onNodeUnfocused>},
            {EventId::ValueChangedEvent, &call<ValueChangedEvent, &S::onValueChanged>},
            {EventId::ListItemPressedEvent, &call<ListItemPressedEvent, &S::onListItemPressed>},
            {EventId::ListItemHoveredEvent, &call<ListItemHoveredEvent, &S::onListItemHovered>},
        });
    return map;
}

GBaseSceneNode::GBaseSceneNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                               bool mostDerived)
    : SceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GBaseSceneNode::~GBaseSceneNode() {
    if (TimerScheduler* scheduler = TimerListener::getTimerScheduler()) scheduler->removeTimer(this);
}

bool GBaseSceneNode::onApplicationClose(ApplicationCloseEvent*) {
    getLogger().log(L"Application Close, scene cleanup", getTypeName(), LOG_INFO);
    return false;
}

bool GBaseSceneNode::onWindowFocusChanged(WindowFocusEvent*) { return false; }

bool GBaseSceneNode::onMessageBoxResult(MessageBoxResultEvent* event) {
    const std::string result = std::to_string(event ? event->getResult() : 0);
    getLogger().log("Message box result", result.c_str(), LOG_DEBUG);
    return false;
}

bool GBaseSceneNode::onSceneActivated(SceneActivatedEvent* event) {
    if (event && event->getFirstScene() == this) {
        if (TimerScheduler* scheduler = TimerListener::getTimerScheduler()) scheduler->removeTimer(this);
    }
    return false;
}

bool GBaseSceneNode::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (!event || event->getSecondScene() != this) return false;
    elapsedMs_ = 0;
    SceneManager* manager = getSceneManager();
    TimerScheduler* wanted = manager ? manager->getTimerScheduler() : nullptr;
    TimerScheduler* current = TimerListener::getTimerScheduler();
    if (wanted != current) {
        if (current) current->removeTimer(this);
        if (wanted) wanted->addTimer(this);
    }
    return false;
}

bool GBaseSceneNode::onTabEvent42(TabSwitchingEvent*) { return false; }

bool GBaseSceneNode::onTabEvent41(TabSwitchedEvent*) { return false; }

bool GBaseSceneNode::onNodePressPreview(NodePressPreviewEvent* event) {
    BaseNode* node = event ? event->getNode() : nullptr;
    logNode("Node was pressed (preview)", node);
    if (nodeCast<ButtonNode>(node)) playCue("ButtonClick");
    return false;
}

bool GBaseSceneNode::onNodePressed(NodePressedEvent* event) {
    logNode("Node was pressed", event ? event->getNode() : nullptr);
    return false;
}

bool GBaseSceneNode::onNodeHovered(NodeHoveredEvent* event) {
    BaseNode* node = event ? event->getOrigin() : nullptr;
    logNode("Node was hovered", node);
    if (nodeCast<ButtonNode>(node)) playCue("ButtonOver");
    return false;
}

bool GBaseSceneNode::onNodeUnhovered(NodeUnhoveredEvent* event) {
    logNode("Node was unhovered", event ? event->getNode() : nullptr);
    return false;
}

bool GBaseSceneNode::onNodeFocused(NodeFocusedEvent* event) {
    logNode("Node was focused", event ? event->getNode() : nullptr);
    return false;
}

bool GBaseSceneNode::onNodeUnfocused(NodeUnfocusedEvent* event) {
    logNode("Node was unfocused", event ? event->getNode() : nullptr);
    return false;
}

bool GBaseSceneNode::onValueChanged(ValueChangedEvent* event) {
    logNode("Value was changed", event ? event->getNode() : nullptr);
    return false;
}

bool GBaseSceneNode::onListItemPressed(ListItemPressedEvent* event) {
    logNode("List item was pressed", event ? event->getNode() : nullptr);
    playCue("ButtonClick");
    return false;
}

bool GBaseSceneNode::onListItemHovered(ListItemHoveredEvent* event) {
    logNode("List item was hovered", event ? event->getNode() : nullptr);
    playCue("ButtonOver");
    return false;
}

bool GBaseSceneNode::onEvent32(KeyUpEvent* event) {
    if (ControlNode::onEvent32(event)) return true;
    if (!closeOnEscapeOrEnter_ || !event) return false;
    if (event->getKey() != KeyCode::Escape && event->getKey() != KeyCode::Enter) return false;
    const SceneTransitionNames& names = sceneTransitionNames();
    closeScene(0, names.navBackFrom, names.navBackTo);
    return true;
}

bool GBaseSceneNode::onTimer(uint32_t periodMs) {
    if (isFocused()) elapsedMs_ += periodMs;
    return true;
}

}  // namespace game
