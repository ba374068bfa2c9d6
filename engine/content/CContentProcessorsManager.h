#pragma once
// Owns the content processors, one per content type code, and finds them for
// the content manager. The device registers it as an event receiver before
// everything else (order -1), so the processors have dropped or taken a driver
// before the content manager asks them to rebuild cached content.
#include "engine/content/IContentProcessor.h"
#include "engine/core/RefCounted.h"
#include "engine/io/FileSystem.h"

namespace engine {

class NodeFactory;

// Finding and registering processors.
class IContentProcessorsManager {
public:
    virtual ~IContentProcessorsManager() = default;
    // The first registered processor of the type, or null; no reference added.
    virtual IContentProcessor* findProcessor(ContentTypeCode type) = 0;
    // Takes a reference to the processor and appends it, unless a processor of
    // its type is registered already (logged).
    virtual void registerProcessor(IContentProcessor* processor) = 0;
};

class CContentProcessorsManager : public EventReceiver, public IContentProcessorsManager {
    ENGINE_DECLARE_EVENT_MAP(CContentProcessorsManager)

public:
    // Makes and registers the content part's own processor, then runs every
    // registrar. The audio driver and the node factory are kept for the
    // processors that need them; they are not counted here, since their
    // classes live in other parts of the engine.
    CContentProcessorsManager(irr::video::IVideoDriver* videoDriver, AudioDriver* audioDriver, FileSystem* fileSystem,
                              NodeFactory* nodeFactory);
    ~CContentProcessorsManager() override;

    // Registers a part's processors with a new manager, whose drivers and node
    // factory it may hand them. Each part of the engine above the content part
    // adds one (registerEngineKinds); every manager made afterwards runs them
    // all, in the order they were added. A registrar added again is ignored.
    using ProcessorRegistrar = void (*)(CContentProcessorsManager& manager);
    static void addProcessorRegistrar(ProcessorRegistrar registrar);

    CContentProcessorsManager(const CContentProcessorsManager&) = delete;
    CContentProcessorsManager& operator=(const CContentProcessorsManager&) = delete;

    // Offers the event to every processor whose mask takes its category; the
    // answers are ignored and the result is false.
    bool routeToChildren(int32_t mode, Event* event) override;
    IContentProcessor* findProcessor(ContentTypeCode type) override;
    void registerProcessor(IContentProcessor* processor) override;
    virtual bool onEvent9(Event* event);
    virtual bool onEvent10(Event* event);

    irr::video::IVideoDriver* getVideoDriver() const { return videoDriver_.get(); }
    AudioDriver* getAudioDriver() const { return audioDriver_; }
    FileSystem* getFileSystem() const { return fileSystem_.get(); }
    NodeFactory* getNodeFactory() const { return nodeFactory_; }
    uint32_t getProcessorCount() const { return processors_.size(); }
    // Registers a newly made processor and drops the creation reference.
    void adopt(IContentProcessor* processor);
    IContentProcessor* getProcessor(uint32_t index) const {
        return index < processors_.size() ? processors_[index] : nullptr;
    }

private:
    IrrRef<irr::video::IVideoDriver> videoDriver_;
    AudioDriver* audioDriver_;
    CountedRef<FileSystem> fileSystem_;
    NodeFactory* nodeFactory_;
    array<IContentProcessor*> processors_;
};

}  // namespace engine
