#include "engine/particles/ParticleProcessors.h"
#include "engine/content/CContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/XmlReader.h"
#include "engine/particles/Emitter.h"
#include "engine/particles/ParticleCollection.h"

namespace engine {

namespace {

// Moves the reader to the first element; false when the document has none or
// the first one has another name.
bool findRoot(XmlReader& reader, const wchar_t* rootName) {
    while (reader.read()) {
        if (reader.getNodeType() == irr::io::EXN_ELEMENT) return reader.getNodeName() == rootName;
    }
    return false;
}

bool refuseSave() {
    getLogger().log("Particle collection can't be saved", LOG_ERROR);
    return false;
}

}  // namespace

Content* CParticleCollectionProcessor::load(CContentManager* manager, irr::io::IReadFile* file,
                                            const CreationContext* context) {
    if (!file) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<XmlReader> reader(new XmlReader(file));
    if (!reader->isValid()) return nullptr;
    if (!findRoot(*reader, L"ParticleCollection")) {
        getLogger().log("Not a particle collection", fileName.c_str(), LOG_ERROR);
        return nullptr;
    }
    CountedRef<ParticleCollectionContent> collection(
        new ParticleCollectionContent(context ? *context : CreationContext(manager, fileName)));
    if (!collection->readXml(*reader)) return nullptr;
    getLogger().log("Loaded particle collection", fileName.c_str(), LOG_DEBUG);
    return collection.detach();
}

bool CParticleCollectionProcessor::save(CContentManager*, Content*, irr::io::IWriteFile*, int32_t) {
    return refuseSave();
}

Content* CParticleEmitterProcessor::load(CContentManager* manager, irr::io::IReadFile* file,
                                         const CreationContext* context) {
    if (!file) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<XmlReader> reader(new XmlReader(file));
    if (!reader->isValid()) return nullptr;
    if (!findRoot(*reader, L"ParticleEmitter")) {
        getLogger().log("Not a particle emitter", fileName.c_str(), LOG_ERROR);
        return nullptr;
    }
    CountedRef<BaseEmitter> emitter(new BaseEmitter(context ? *context : CreationContext(manager, fileName)));
    {
        FolderScope folder(manager, fileName);
        emitter->readXml(*reader);
    }
    getLogger().log("Loaded particle emitter", fileName.c_str(), LOG_DEBUG);
    return emitter.detach();
}

bool CParticleEmitterProcessor::save(CContentManager*, Content*, irr::io::IWriteFile*, int32_t) {
    return refuseSave();
}

}  // namespace engine
