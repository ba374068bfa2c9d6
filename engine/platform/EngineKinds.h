#pragma once
// Registers what every part of the engine above the core adds to the node
// factory, the property-value registry and the content processors of every
// processors manager made afterwards, and installs the hooks through which the
// lower parts reach the device (the profile store's folders and key). The
// device does it when it is made; the game registers its own kinds the same
// way. Registering again changes nothing: the first registration of a name
// stays.
namespace engine {

class NodeFactory;
class PropertyDataRegistry;

void registerEngineKinds(NodeFactory& nodes, PropertyDataRegistry& values);
// Into the process's node factory and property-value registry.
void registerEngineKinds();

}  // namespace engine
