#pragma once
#include <cstdint>

namespace engine {

// Category bits of events; a receiver's mask selects the families it takes.
namespace EventCategory {
constexpr int32_t Driver = 1;
constexpr int32_t System = 2;
constexpr int32_t Keyboard = 4;
constexpr int32_t Mouse = 8;
constexpr int32_t Node = 32;
constexpr int32_t Sound = 64;
constexpr int32_t Game = 4096;
}  // namespace EventCategory

// Type ids of every event class, engine and game. Engine ids are small numbers;
// game ids start at 4096. Ids without a class are listed where code refers to
// them (map entries, handlers).
namespace EventId {
constexpr int32_t Event = 0;
constexpr int32_t DriverEvent = 1;
constexpr int32_t SystemEvent = 2;
constexpr int32_t InputEvent = 3;
constexpr int32_t KeyboardEvent = 4;
constexpr int32_t MouseEvent = 5;
constexpr int32_t NodeEvent = 7;
constexpr int32_t SoundEvent = 8;

constexpr int32_t VideoDriverReleasedEvent = 9;
constexpr int32_t VideoDriverCreatedEvent = 10;
constexpr int32_t AudioDriverReleasedEvent = 11;  // handled by the audio side, never made
constexpr int32_t AudioDriverCreatedEvent = 12;
constexpr int32_t UpdateEvent = 13;
constexpr int32_t RenderEvent = 14;
constexpr int32_t WindowFocusEvent = 16;
constexpr int32_t ApplicationActivationEvent = 17;
constexpr int32_t CEventSystemFlowCloseRequest = 18;
constexpr int32_t ApplicationCloseEvent = 19;

constexpr int32_t MouseMoveEvent = 20;
constexpr int32_t LeftButtonDownEvent = 21;
constexpr int32_t RightButtonDownEvent = 22;
constexpr int32_t MiddleButtonDownEvent = 23;
constexpr int32_t LeftButtonUpEvent = 24;
constexpr int32_t RightButtonUpEvent = 25;
constexpr int32_t MiddleButtonUpEvent = 26;
constexpr int32_t MouseWheelEvent = 30;
constexpr int32_t KeyDownEvent = 31;
constexpr int32_t KeyUpEvent = 32;

constexpr int32_t SceneShownEvent = 33;
constexpr int32_t NodeEvent34 = 34;
constexpr int32_t NodeEvent35 = 35;  // no class; the base node's map has an entry for it
constexpr int32_t SceneChangeEvent = 36;
constexpr int32_t SceneTransitionEndEvent = 37;
constexpr int32_t SceneActivatedEvent = 38;
constexpr int32_t MessageBoxResultEvent = 39;
constexpr int32_t TabSwitchEvent = 40;
constexpr int32_t TabSwitchedEvent = 41;
constexpr int32_t TabSwitchingEvent = 42;
constexpr int32_t NodePressDownEvent = 43;
constexpr int32_t NodePressedDownEvent = 44;
constexpr int32_t NodeReleaseEvent = 45;
constexpr int32_t NodeReleasedEvent = 46;
constexpr int32_t NodeHoverEvent = 47;
constexpr int32_t NodeHoveredEvent = 48;
constexpr int32_t NodeUnhoverEvent = 49;
constexpr int32_t NodeUnhoveredEvent = 50;
constexpr int32_t NodeFocusEvent = 51;
constexpr int32_t NodeFocusedEvent = 52;
constexpr int32_t NodeUnfocusEvent = 53;
constexpr int32_t NodeUnfocusedEvent = 54;
constexpr int32_t NodePressPreviewBaseEvent = 55;
constexpr int32_t NodePressPreviewEvent = 56;
constexpr int32_t NodePressEvent = 57;
constexpr int32_t NodePressedEvent = 58;
constexpr int32_t ValueChangedEvent = 59;
constexpr int32_t ListSelectionChangedEvent = 60;
constexpr int32_t ListItemPressedEvent = 61;
constexpr int32_t ListItemCheckedEvent = 62;
constexpr int32_t ListItemHoveredEvent = 63;
constexpr int32_t NodeEvent64 = 64;  // no class; the base node's map has an entry for it
constexpr int32_t AnimatorEndedEvent = 65;
constexpr int32_t StateStartedEvent = 66;
constexpr int32_t StateEndedEvent = 67;
constexpr int32_t NodeStateSkippedEvent = 68;
constexpr int32_t NodeTagReachedEvent = 70;
constexpr int32_t NodeStateStartedEvent = 72;
constexpr int32_t NodeStateFinishedEvent = 74;
constexpr int32_t SoundFinishedEvent = 78;

// The game's events (their classes live in the game).
constexpr int32_t GGameEvent = 4096;
constexpr int32_t GLevelCompletedEvent = 4096;  // shares the base's id
constexpr int32_t GNewDayEvent = 4097;
constexpr int32_t GBuildingSelectionEvent = 4098;
constexpr int32_t GLevelChangedEvent = 4100;
constexpr int32_t GBuildingCompletedEvent = 4101;
constexpr int32_t GRepairCompletedEvent = 4102;
constexpr int32_t GCleaningCompletedEvent = 4103;
constexpr int32_t GBusVisitCompletedEvent = 4104;
constexpr int32_t GServiceCompletedEvent = 4105;
constexpr int32_t GIncomeEvent = 4106;
constexpr int32_t GFeatureUsedEvent = 4107;
constexpr int32_t GDestructionCompletedEvent = 4108;
constexpr int32_t GTaskStepEvent = 4109;
constexpr int32_t GRequestEvent = 4110;
constexpr int32_t GSellBuildingRequestEvent = 4111;
constexpr int32_t GBrokenBuildingRequestEvent = 4112;
constexpr int32_t GDirtyBuildingRequestEvent = 4113;
constexpr int32_t GCafeBuildingRequestEvent = 4114;
constexpr int32_t GLetterRequestEvent = 4115;
constexpr int32_t GPauseRequestEvent = 4116;
constexpr int32_t GBuildingExistsQueryEvent = 4117;
constexpr int32_t GWeatherRequestEvent = 4118;
}  // namespace EventId

}  // namespace engine
