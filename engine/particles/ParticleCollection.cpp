#include "engine/particles/ParticleCollection.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/particles/Emitter.h"

namespace engine {

ParticleCollectionContent::ParticleCollectionContent(const CreationContext& context) : Content(context) {
    setContentFlags(ContentFlags::NeverCached);
}

ParticleCollectionContent::~ParticleCollectionContent() { clear(); }

ContentTypeCode ParticleCollectionContent::getContentType() const { return ContentType::ParticleCollection; }

void ParticleCollectionContent::clear() {
    for (auto& entry : emitters_) entry.second->release();
    emitters_.clear();
}

bool ParticleCollectionContent::add(BaseEmitter* emitter) {
    if (!emitter) return false;
    const bool added = emitters_.emplace(std::string(emitter->getName().c_str()), emitter).second;
    if (added) emitter->addRef();
    return added;
}

BaseEmitter* ParticleCollectionContent::find(const stringc& name) const {
    auto found = emitters_.find(std::string(name.c_str()));
    return found == emitters_.end() ? nullptr : found->second;
}

bool ParticleCollectionContent::readXml(XmlReader& reader) {
    clear();
    IContentManager* manager = getCreationContext().getContentManager();
    if (!manager) {
        getLogger().log("Particle collection has no content manager to publish its emitters",
                        getCreationContext().getName().c_str(), LOG_ERROR);
        return false;
    }
    const int32_t depth = reader.getDepth();
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT || reader.getNodeName() != L"ParticleEmitter") continue;
        const stringw typeName = reader.getAttributeValue(L"Type");
        CountedRef<BaseEmitter> emitter(getEmitterFactory().createEmitter(typeName, CreationContext(manager, "")));
        if (!emitter) {  // unknown classes are skipped whole
            reader.skipElement();
            continue;
        }
        emitter->readXml(reader);
        if (emitter->getName().empty()) continue;  // it cannot be referenced
        // The first emitter of a name stays reachable in both places.
        if (find(emitter->getName())) continue;
        manager->addToCache(CreationContext(manager, emitter->getName()), emitter.get());
        add(emitter.get());
    }
    if (reader.getNodeType() == irr::io::EXN_ELEMENT_END) return true;
    getLogger().log("Particle collection ends before its end tag", getCreationContext().getName().c_str(),
                    LOG_ERROR);
    return false;
}

}  // namespace engine
