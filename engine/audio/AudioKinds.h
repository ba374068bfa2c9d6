#pragma once
// The audio part's node kind (sound nodes), its property value ("sound") and
// the processors of its content (sounds, sound packs).
namespace engine {

class NodeFactory;
class PropertyDataRegistry;

void registerAudioKinds(NodeFactory& nodes, PropertyDataRegistry& values);

}  // namespace engine
