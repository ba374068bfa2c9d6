#include "game/world/WorldNodeKinds.h"
#include "engine/core/NodeFactory.h"
#include "game/world/HintParticlesNode.h"
#include "game/world/WeatherParticlesNode.h"

void registerWorldNodeKinds() {
    engine::NodeFactory& factory = engine::getNodeFactory();
    factory.registerNodeKind(L"GHOHintParticlesNode", &engine::createNodeOf<GHOHintParticlesNode>);
    factory.registerNodeKind(L"GWeatherParticlesNode", &engine::createNodeOf<GWeatherParticlesNode>);
}
