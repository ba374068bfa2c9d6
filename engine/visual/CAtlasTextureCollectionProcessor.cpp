#include "engine/visual/CAtlasTextureCollectionProcessor.h"
#include "engine/content/CContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "engine/visual/AtlasTextureCollection.h"

namespace engine {

Content* CAtlasTextureCollectionProcessor::load(CContentManager* manager, irr::io::IReadFile* file,
                                                const CreationContext* context) {
    if (!file) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<XmlReader> reader(new XmlReader(file));
    if (!reader->isValid()) return nullptr;
    CountedRef<AtlasTextureCollection> collection(
        new AtlasTextureCollection(context ? *context : CreationContext(manager, fileName)));
    bool read = false;
    {
        FolderScope folder(manager, fileName);
        read = collection->readXml(*reader);
    }
    if (!read) return nullptr;
    getLogger().log("Loaded atlas texture collection", fileName.c_str(), LOG_DEBUG);
    return collection.detach();
}

bool CAtlasTextureCollectionProcessor::save(CContentManager*, Content* content, irr::io::IWriteFile* file, int32_t) {
    AtlasTextureCollection* collection = dynamic_cast<AtlasTextureCollection*>(content);
    if (!collection || !file) return false;
    CountedRef<XmlWriter> writer(new XmlWriter());
    writer->writeXMLHeader();
    if (!collection->writeXml(*writer)) return false;
    const std::string& bytes = writer->getBuffer();
    const irr::s32 size = static_cast<irr::s32>(bytes.size());
    if (file->write(bytes.data(), static_cast<irr::u32>(size)) != size) {
        getLogger().log("Can't write atlas texture collection", file->getFileName().c_str(), LOG_ERROR);
        return false;
    }
    return true;
}

}  // namespace engine
