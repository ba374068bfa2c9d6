#include "engine/audio/SoundPack.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/content/CAtlasTextureCollectionProcessor.h"
#include "engine/content/CAtlasTextureProcessor.h"
#include "engine/content/CFontProcessor.h"
#include "engine/content/CImageProcessor.h"
#include "engine/content/CSceneNodeProcessor.h"
#include "engine/content/CTextureProcessor.h"
#include "engine/core/Logger.h"
#include "engine/particles/ParticleProcessors.h"
#include <string>

namespace engine {

const EventMap<CContentProcessorsManager>& CContentProcessorsManager::getEventMap() {
    static const EventMap<CContentProcessorsManager> map({
        {EventId::VideoDriverReleasedEvent, [](CContentProcessorsManager& m, Event* e) { return m.onEvent9(e); }},
        {EventId::VideoDriverCreatedEvent, [](CContentProcessorsManager& m, Event* e) { return m.onEvent10(e); }},
    });
    return map;
}

CContentProcessorsManager::CContentProcessorsManager(irr::video::IVideoDriver* videoDriver, AudioDriver* audioDriver,
                                                     FileSystem* fileSystem, NodeFactory* nodeFactory)
    : videoDriver_(IrrRef<irr::video::IVideoDriver>::share(videoDriver)),
      audioDriver_(audioDriver),
      fileSystem_(CountedRef<FileSystem>::share(fileSystem)),
      nodeFactory_(nodeFactory) {
    addToMask(EventCategory::Driver);
    // Registration order is the search order: texture ('itex'), atlas texture
    // ('atex'), atlas texture collection ('atxc'), image ('imag'), scene node
    // ('snod'), font ('font'), particle collection ('prtc'), particle emitter
    // ('pemt'), sound ('isnd'), sound pack ('sndp').
    adopt(new CTextureProcessor(videoDriver));
    adopt(new CAtlasTextureProcessor());
    adopt(new CAtlasTextureCollectionProcessor());
    adopt(new CImageProcessor());
    adopt(new CSceneNodeProcessor(nodeFactory));
    adopt(new CFontProcessor());
    adopt(new CParticleCollectionProcessor());
    adopt(new CParticleEmitterProcessor());
    adopt(new CSoundProcessor(audioDriver));
    adopt(new CSoundPackProcessor(audioDriver));
}

CContentProcessorsManager::~CContentProcessorsManager() {
    for (uint32_t i = 0; i < processors_.size(); ++i) processors_[i]->release();
    videoDriver_.reset();
    fileSystem_.reset();
}

void CContentProcessorsManager::adopt(IContentProcessor* processor) {
    registerProcessor(processor);
    processor->release();
}

IContentProcessor* CContentProcessorsManager::findProcessor(ContentTypeCode type) {
    for (uint32_t i = 0; i < processors_.size(); ++i)
        if (processors_[i]->getContentType() == type) return processors_[i];
    return nullptr;
}

void CContentProcessorsManager::registerProcessor(IContentProcessor* processor) {
    if (!processor) return;
    const ContentTypeCode type = processor->getContentType();
    if (findProcessor(type)) {
        const std::string hint = "IContentProcessor for the type #" + std::to_string(type) + " is already present";
        getLogger().log("CContentProcessorsManager", hint.c_str(), LOG_WARNING);
        return;
    }
    processor->addRef();
    processors_.push_back(processor);
}

bool CContentProcessorsManager::routeToChildren(int32_t, Event* event) {
    if (!event) return false;
    for (uint32_t i = 0; i < processors_.size(); ++i)
        if (processors_[i]->takesCategory(event->getCategory())) processors_[i]->handleEvent(event);
    return false;
}

bool CContentProcessorsManager::onEvent9(Event*) {
    videoDriver_.reset();
    return false;
}

bool CContentProcessorsManager::onEvent10(Event* event) {
    holdCreatedVideoDriver(videoDriver_, event);
    return false;
}

}  // namespace engine
