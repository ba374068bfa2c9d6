#include "engine/content/CContentProcessorsManager.h"
#include "engine/content/CSceneNodeProcessor.h"
#include "engine/core/Logger.h"
#include <string>
#include <vector>

namespace engine {

namespace {

std::vector<CContentProcessorsManager::ProcessorRegistrar>& registrars() {
    static std::vector<CContentProcessorsManager::ProcessorRegistrar> added;
    return added;
}

}  // namespace

void CContentProcessorsManager::addProcessorRegistrar(ProcessorRegistrar registrar) {
    if (!registrar) return;
    for (ProcessorRegistrar known : registrars())
        if (known == registrar) return;
    registrars().push_back(registrar);
}

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
    // Registration order is the search order: scene node ('snod'), then the
    // processors of the higher parts in the order their registrars were added:
    // texture ('itex'), atlas texture ('atex'), atlas texture collection
    // ('atxc'), image ('imag'), font ('font'), particle collection ('prtc'),
    // particle emitter ('pemt'), sound ('isnd'), sound pack ('sndp').
    adopt(new CSceneNodeProcessor(nodeFactory));
    for (ProcessorRegistrar registrar : registrars()) registrar(*this);
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
