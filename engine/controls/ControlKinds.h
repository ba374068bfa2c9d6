#pragma once
// The controls' node kinds (buttons, check boxes, edits, lists, sliders,
// progress bars, tab scenes), and the message box the scene manager shows.
namespace engine {

class NodeFactory;
class PropertyDataRegistry;

void registerControlKinds(NodeFactory& nodes, PropertyDataRegistry& values);

}  // namespace engine
