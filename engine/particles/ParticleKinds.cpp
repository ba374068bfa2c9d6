#include "engine/particles/ParticleKinds.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/NodeFactory.h"
#include "engine/particles/ParticleProcessors.h"
#include "engine/particles/ParticleSystemNode.h"
#include "engine/particles/SpawnerNode.h"

namespace engine {

namespace {

void registerParticleProcessors(CContentProcessorsManager& processors) {
    processors.adopt(new CParticleCollectionProcessor());
    processors.adopt(new CParticleEmitterProcessor());
}

}  // namespace

void registerParticleKinds(NodeFactory& nodes, PropertyDataRegistry&) {
    nodes.registerNodeKind(L"ParticleSystemNode", &createNodeOf<ParticleSystemNode>);
    nodes.registerNodeKind(L"SpawnerNode", &createNodeOf<SpawnerNode>);
    CContentProcessorsManager::addProcessorRegistrar(&registerParticleProcessors);
}

}  // namespace engine
