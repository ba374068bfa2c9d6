#pragma once
// The visual part's node kinds (sprites, nine-grid sprites, texts), the
// property values that hold its content (fonts, atlas textures) and the
// processors of that content (textures, atlas textures and collections,
// images, fonts). It also lets the scene manager draw through the quad batcher
// of the driver in use.
namespace engine {

class NodeFactory;
class PropertyDataRegistry;

void registerVisualKinds(NodeFactory& nodes, PropertyDataRegistry& values);

}  // namespace engine
