#include "engine/content/CSceneNodeProcessor.h"
#include "engine/content/CContentManager.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneFile.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

Content* CSceneNodeProcessor::load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) {
    if (!file) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<XmlReader> reader(new XmlReader(file));
    if (!reader->isValid()) return nullptr;
    const CreationContext used = context ? *context : CreationContext(manager, fileName);
    return readSceneFile(*reader, used, fileName, factory_);
}

bool CSceneNodeProcessor::save(CContentManager*, Content* content, irr::io::IWriteFile* file, int32_t) {
    BaseNode* node = nodeCast<BaseNode>(content);
    if (!node || !file) return false;
    CountedRef<XmlWriter> writer(new XmlWriter());
    if (!writeSceneFile(node, *writer, stringc(file->getFileName().c_str()))) return false;
    const std::string& bytes = writer->getBuffer();
    const irr::s32 size = static_cast<irr::s32>(bytes.size());
    if (file->write(bytes.data(), static_cast<irr::u32>(size)) != size) {
        getLogger().log("Can't write scene file", file->getFileName().c_str(), LOG_ERROR);
        return false;
    }
    return true;
}

}  // namespace engine
