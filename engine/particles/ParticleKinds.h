#pragma once
// The particle part's node kinds (particle systems, spawners) and the
// processors of its content (particle collections, emitters).
namespace engine {

class NodeFactory;
class PropertyDataRegistry;

void registerParticleKinds(NodeFactory& nodes, PropertyDataRegistry& values);

}  // namespace engine
