#pragma once
// Scene files ('snod'): a tree of nodes read from and written to ".oscn" XML.
#include "engine/content/IContentProcessor.h"

namespace engine {

class NodeFactory;

class CSceneNodeProcessor : public IContentProcessor {
public:
    // Without a factory the process-wide node factory makes the nodes.
    explicit CSceneNodeProcessor(NodeFactory* factory = nullptr) : factory_(factory) {}

    ContentTypeCode getContentType() const override { return ContentType::SceneNode; }
    // The file's root node, made with the context; null for a file that is no
    // scene file (the reader logs why).
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    // Writes one root node; false for content that is not a node.
    bool save(CContentManager* manager, Content* content, irr::io::IWriteFile* file, int32_t flags) override;
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}

private:
    NodeFactory* factory_;  // not counted: the factory is a singleton
};

}  // namespace engine
