#include "engine/audio/SoundPack.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/CContentManager.h"
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/XmlReader.h"

namespace engine {

SoundPack::SoundPack(const CreationContext& context) : Content(context) {
    setContentFlags(ContentFlags::Shared);
}

SoundPack::~SoundPack() {
    for (SoundCue* cue : cues_) cue->release();
}

void SoundPack::readXml(XmlReader& reader, IContentManager* contentManager, AudioDriver* driver) {
    const int32_t depth = reader.getDepth();
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT || reader.getNodeName() != L"SoundCue") continue;
        auto* cue = new SoundCue(makeNameId(reader.getAttributeValue(L"Name")));
        cue->readXml(reader, contentManager, driver);
        cues_.push_back(cue);
    }
}

void SoundPack::registerCues(SoundManager* manager) {
    if (!manager) return;
    for (SoundCue* cue : cues_) manager->addCue(cue);
}

AudioContentProcessor::AudioContentProcessor(AudioDriver* driver) : driver_(driver) {
    if (driver_) driver_->addRef();
    addToMask(EventCategory::Driver);
}

AudioContentProcessor::~AudioContentProcessor() {
    if (driver_) driver_->release();
}

bool AudioContentProcessor::onEvent11(Event*) {
    if (driver_) driver_->release();
    driver_ = nullptr;
    return false;
}

bool AudioContentProcessor::onEvent12(Event* event) {
    AudioDriver* driver = static_cast<AudioDriverCreatedEvent*>(event)->getDriver();
    if (driver) driver->addRef();
    if (driver_) driver_->release();
    driver_ = driver;
    return false;
}

Content* CSoundProcessor::load(CContentManager*, irr::io::IReadFile* file, const CreationContext* context) {
    if (!file || !getAudioDriver()) return nullptr;
    return getAudioDriver()->createSound(file, context);
}

Content* CSoundPackProcessor::load(CContentManager* manager, irr::io::IReadFile* file,
                                   const CreationContext* context) {
    if (!file) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<XmlReader> reader(new XmlReader(file));
    if (!reader->isValid()) {
        logError("Could not read sound pack", fileName.c_str());
        return nullptr;
    }
    auto* pack = new SoundPack(context ? *context : CreationContext(manager, fileName));
    {
        FolderScope folder(manager, fileName);
        while (reader->read()) {
            if (reader->getNodeType() == irr::io::EXN_ELEMENT && reader->getNodeName() == L"SoundPack") {
                if (!reader->isEmptyElement()) pack->readXml(*reader, manager, getAudioDriver());
                break;
            }
        }
    }
    getLogger().log("Loaded sound pack", fileName.c_str(), LOG_DEBUG);
    return pack;
}

}  // namespace engine
