#include "engine/visual/VisualKinds.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/SceneManager.h"
#include "engine/visual/CAtlasTextureCollectionProcessor.h"
#include "engine/visual/CAtlasTextureProcessor.h"
#include "engine/visual/CFontProcessor.h"
#include "engine/visual/CImageProcessor.h"
#include "engine/visual/CTextureProcessor.h"
#include "engine/visual/NineGridSpriteNode.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/visual/QuadBatcher.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"

namespace engine {

namespace {

IDrawBatch* findDriverQuadBatcher(irr::video::IVideoDriver* driver) { return getDriverQuadBatcher(driver); }

void registerVisualProcessors(CContentProcessorsManager& processors) {
    processors.adopt(new CTextureProcessor(processors.getVideoDriver()));
    processors.adopt(new CAtlasTextureProcessor());
    processors.adopt(new CAtlasTextureCollectionProcessor());
    processors.adopt(new CImageProcessor());
    processors.adopt(new CFontProcessor());
}

}  // namespace

void registerVisualKinds(NodeFactory& nodes, PropertyDataRegistry& values) {
    nodes.registerNodeKind(L"SpriteNode", &createNodeOf<SpriteNode>);
    nodes.registerNodeKind(L"NineGridSpriteNode", &createNodeOf<NineGridSpriteNode>);
    nodes.registerNodeKind(L"TextNode", &createNodeOf<TextNode>);

    values.registerType(L"font", &createContentValueOf<CPropertyDataFont>);
    values.registerType(L"atlasTexture", &createContentValueOf<CPropertyDataAtlasTexture>);

    CContentProcessorsManager::addProcessorRegistrar(&registerVisualProcessors);
    SceneManager::setDriverBatchFinder(&findDriverQuadBatcher);
}

}  // namespace engine
