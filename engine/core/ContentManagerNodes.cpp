#include "engine/core/IContentManager.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ContentType.h"

namespace engine {

BaseNode* IContentManager::loadSceneNode(const stringc& path, bool relative) {
    Content* content = load(ContentType::SceneNode, path, relative);
    BaseNode* node = nodeCast<BaseNode>(content);
    if (!node && content) content->release();
    return node;
}

}  // namespace engine
