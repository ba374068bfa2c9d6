#pragma once
// A sound pack ('sndp'): the cues of one XML file. Loading it loads every
// variant; registering it hands its cues to the sound manager.
#include "engine/audio/SoundCue.h"
#include "engine/content/IContentProcessor.h"
#include "engine/core/Content.h"
#include <vector>

namespace engine {

class AudioDriver;
class SoundManager;

class SoundPack : public Content {
public:
    explicit SoundPack(const CreationContext& context);
    ~SoundPack() override;

    ContentTypeCode getContentType() const override { return ContentType::SoundPack; }
    // The "SoundCue" elements up to the end of "SoundPack"; a cue without any
    // variant that loaded is kept (it registers but never plays).
    void readXml(XmlReader& reader, IContentManager* contentManager, AudioDriver* driver);
    // In file order; the first cue of a name wins.
    void registerCues(SoundManager* manager);
    const std::vector<SoundCue*>& getCues() const { return cues_; }

private:
    std::vector<SoundCue*> cues_;
};

// The processors of sounds ('isnd', made by the audio driver) and sound packs
// ('sndp'). Both follow the audio driver through the driver events.
class AudioContentProcessor : public IContentProcessor {
public:
    explicit AudioContentProcessor(AudioDriver* driver);
    ~AudioContentProcessor() override;
    AudioDriver* getAudioDriver() const { return driver_; }
    bool onEvent11(Event* event) override;
    bool onEvent12(Event* event) override;
    bool save(CContentManager*, Content*, irr::io::IWriteFile*, int32_t) override { return false; }
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}

private:
    AudioDriver* driver_;  // counted
};

class CSoundProcessor : public AudioContentProcessor {
public:
    using AudioContentProcessor::AudioContentProcessor;
    ContentTypeCode getContentType() const override { return ContentType::Sound; }
    // Null without an audio driver or when the file makes no sound.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
};

class CSoundPackProcessor : public AudioContentProcessor {
public:
    using AudioContentProcessor::AudioContentProcessor;
    ContentTypeCode getContentType() const override { return ContentType::SoundPack; }
    // Reads with the pack's folder pushed; "Loaded sound pack" with the name.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
};

}  // namespace engine
