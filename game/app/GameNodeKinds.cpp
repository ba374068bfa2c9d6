#include "game/app/GameNodeKinds.h"
#include "game/hud/GGamePlayScene.h"
#include "game/app/GIntroScene.h"
#include "game/app/GLogosScene.h"
#include "game/level/GBuildingNode.h"
#include "game/flow/GAchievementUnlockedScene.h"
#include "game/flow/GHelpScene.h"
#include "game/flow/GInGameMenuScene.h"
#include "game/flow/GLevelCompletedScene.h"
#include "game/flow/GLevelObjectivesScene.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/level/GGameLevelScene.h"
#include "game/menus/GAchievementsScene.h"
#include "game/menus/GComicsScene.h"
#include "game/menus/GCreditsScene.h"
#include "game/menus/GMainMenuScene.h"
#include "game/menus/MainMenuActors.h"
#include "game/menus/GMapLocationButton.h"
#include "game/menus/GMapScene.h"
#include "game/menus/GMiniCompletedScene.h"
#include "game/menus/GOptionsScene.h"
#include "game/menus/GShopButton.h"
#include "game/menus/GShopScene.h"
#include "game/menus/GQuitConfirmationScene.h"
#include "game/menus/GSelectPlayerScenes.h"
#include "game/minigames/GMiniGameAuctionScene.h"
#include "game/minigames/GMiniGameHidden2Scene.h"
#include "game/minigames/GMiniGameHiddenScene.h"
#include "game/common/GeometryNodes.h"
#include "game/world/BalloonNodes.h"
#include "game/world/CircularBirdNode.h"
#include "game/world/HintParticlesNode.h"
#include "game/world/LakeWaveNodes.h"
#include "game/world/OnceSpawnerNode.h"
#include "game/world/PathMovers.h"
#include "game/world/SelectGridNode.h"
#include "game/world/ShieldNodes.h"
#include "game/world/SpiralMoverNode.h"
#include "game/world/WeatherParticlesNode.h"

namespace game {

using engine::createNodeOf;

namespace {

const GameNodeKind kStartupKinds[] = {
    {L"GDebugStatsScene", 1000, &createNodeOf<GDebugStatsScene>},
    {L"GLogosScene", 1101, &createNodeOf<GLogosScene>},
    {L"GIntroScene", 1102, &createNodeOf<GIntroScene>},
    {L"GQuitConfirmationScene", 1126, &createNodeOf<GQuitConfirmationScene>},
    {L"GRectangleNode", 1135, &createNodeOf<::GRectangleNode>},
};

// A kind's creator joins this table with its class.
const GameNodeKind kGameKinds[] = {
    {L"GMainMenuScene", 1103, &createNodeOf<GMainMenuScene>},
    {L"GMainMenuPedestrianNode", 1104, &createNodeOf<GMainMenuPedestrianNode>},
    {L"GMainMenuCarNode", 1105, &createNodeOf<GMainMenuCarNode>},
    {L"GMainMenuBikeNode", 1107, &createNodeOf<GMainMenuBikeNode>},
    {L"GMainMenuCloudNode", 1106, &createNodeOf<GMainMenuCloudNode>},
    {L"GSelectPlayerScene", 1108, &createNodeOf<GSelectPlayerScene>},
    {L"GSelectPlayerInputNameScene", 1109, &createNodeOf<GSelectPlayerInputNameScene>},
    {L"GShopButton", 1137, &createNodeOf<GShopButton>},
    {L"GShopScene", 1117, &createNodeOf<GShopScene>},
    {L"GMapLocationButton", 1136, &createNodeOf<GMapLocationButton>},
    {L"GMapScene", 1116, &createNodeOf<GMapScene>},
    {L"GComicsScene", 1127, &createNodeOf<GComicsScene>},
    {L"GLoadingLevelScene", 1119, &createNodeOf<GLoadingLevelScene>},
    {L"GGamePlayScene", 1120, &createNodeOf<GGamePlayScene>},
    {L"GLevelObjectivesScene", 1121, &createNodeOf<GLevelObjectivesScene>},
    {L"GEllipseSectorNode", 1133, &createNodeOf<::GEllipseSectorNode>},
    {L"GRectangleNode", 1135, &createNodeOf<::GRectangleNode>},
    {L"GLevelCompletedScene", 1123, &createNodeOf<GLevelCompletedScene>},
    {L"GAchievementUnlockedScene", 1122, &createNodeOf<GAchievementUnlockedScene>},
    {L"GAchievementsScene", 1113, &createNodeOf<GAchievementsScene>},
    {L"GHelpScene", 1115, &createNodeOf<GHelpScene>},
    {L"GCreditsScene", 1114, &createNodeOf<GCreditsScene>},
    {L"GInGameMenuScene", 1125, &createNodeOf<GInGameMenuScene>},
    {L"GOptionsScene", 1110, &createNodeOf<GOptionsScene>},
    {L"GMiniCompletedScene", 1124, &createNodeOf<GMiniCompletedScene>},
    {L"GMiniGameHiddenScene", 1129, &createNodeOf<GMiniGameHiddenScene>},
    {L"GMiniGameHidden2Scene", 1130, &createNodeOf<GMiniGameHidden2Scene>},
    {L"GMiniGameAuctionScene", 1132, &createNodeOf<GMiniGameAuctionScene>},
    {L"GBuildingNode", 1139, &createNodeOf<GBuildingNode>},
    {L"GGameLevelScene", 1138, &createNodeOf<GGameLevelScene>},
    {L"GPathMovableNode", 1140, &createNodeOf<GPathMovableNode>},
    {L"GSpiralMovableNode", 1142, &createNodeOf<GSpiralMovableNode>},
    {L"GBaloonNode", 1143, &createNodeOf<GBaloonNode>},
    {L"GPicEffectNode", 1144, &createNodeOf<GPicEffectNode>},
    {L"GShieldStarNode", 1145, &createNodeOf<GShieldStarNode>},
    {L"GShieldEffectNode", 1146, &createNodeOf<GShieldEffectNode>},
    {L"GLakeWaveNode", 1151, &createNodeOf<GLakeWaveNode>},
    {L"GBirdNode", 1152, &createNodeOf<GBirdNode>},
    {L"GCircularBirdNode", 1153, &createNodeOf<GCircularBirdNode>},
    {L"GCarNode", 1154, &createNodeOf<GCarNode>},
    {L"GPedestrianNode", 1155, &createNodeOf<GPedestrianNode>},
    {L"GTextTrailNode", 1156, &createNodeOf<GTextTrailNode>},
    {L"GFireworkNode", 1157, &createNodeOf<GFireworkNode>},
    {L"OnceSpawnerNode", 1158, &createNodeOf<OnceSpawnerNode>},
    {L"GHOHintParticlesNode", 1147, &createNodeOf<::GHOHintParticlesNode>},
    {L"GWeatherParticlesNode", 1149, &createNodeOf<::GWeatherParticlesNode>},
    {L"GSelectGridNode", 1134, &createNodeOf<::GSelectGridNode>},
};

}  // namespace

void registerKinds(const GameNodeKind* kinds, size_t count) {
    engine::NodeFactory& factory = engine::getNodeFactory();
    for (size_t i = 0; i < count; ++i) {
        if (kinds[i].creator) factory.registerNodeKind(kinds[i].name, kinds[i].creator);
    }
}

const GameNodeKind* startupNodeKinds(size_t& count) {
    count = sizeof(kStartupKinds) / sizeof(kStartupKinds[0]);
    return kStartupKinds;
}

const GameNodeKind* gameNodeKinds(size_t& count) {
    count = sizeof(kGameKinds) / sizeof(kGameKinds[0]);
    return kGameKinds;
}

void registerStartupNodeKinds() {
    size_t count = 0;
    const GameNodeKind* kinds = startupNodeKinds(count);
    registerKinds(kinds, count);
}

}  // namespace game

void registerGameNodeKinds() {
    size_t count = 0;
    const game::GameNodeKind* kinds = game::gameNodeKinds(count);
    game::registerKinds(kinds, count);
}
