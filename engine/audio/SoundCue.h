#pragma once
// A named, playable sound with interchangeable variants, a group, a volume, a
// loop flag and a streaming choice. Playing a registered cue makes an instance
// (a copy) that picks a random variant, fades in and out, and loops by
// picking again.
#include "engine/audio/BaseSound.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include <vector>

namespace engine {

class AudioDriver;
class IContentManager;
class SoundManager;
class XmlReader;

class SoundCue : public EventReceiver {
public:
    explicit SoundCue(const NameId& name);
    ~SoundCue() override;

    // The attributes and "Sound" children of a "SoundCue" element; the
    // variants load through the content manager, relative to its folder. The
    // driver's streaming threshold follows "StreamingType" while they load.
    void readXml(XmlReader& reader, IContentManager* contentManager, AudioDriver* driver);

    void updateVolume();
    SoundCue* clone(SoundManager* manager) const;
    SoundCue* play(int32_t fadeInMs);
    void stop(int32_t fadeOutMs);
    void setPaused(bool paused);
    // 0 without a current variant, 1 paused, 2 otherwise.
    int32_t getState() const;
    void update(uint32_t milliseconds);

    void addVariant(BaseSound* sound);
    const std::vector<BaseSound*>& getVariants() const { return variants_; }
    int32_t getCurrentVariant() const { return currentVariant_; }

    const NameId& getName() const { return name_; }
    SoundManager* getManager() const { return manager_; }
    void setManager(SoundManager* manager) { manager_ = manager; }
    int32_t getGroupId() const { return groupId_; }
    void setGroupId(int32_t group) { groupId_ = group; }
    float getVol() const { return vol_; }
    void setVol(float vol) { vol_ = vol; }
    bool getLoop() const { return loop_; }
    void setLoop(bool loop) { loop_ = loop; }
    int32_t getStreamingType() const { return streamingType_; }
    float getEffectiveVolume() const { return effectiveVolume_; }
    int32_t getFadeState() const { return fadeState_; }
    int32_t getFadePositionMs() const { return fadePositionMs_; }
    int32_t getFadeDurationMs() const { return fadeDurationMs_; }

private:
    bool pickVariant(bool afterEnd, int32_t ended);
    void setCurrentVolume(float volume);

    SoundManager* manager_ = nullptr;  // not counted
    NameId name_;
    int32_t groupId_ = -1;
    float vol_ = 1.0f;
    float effectiveVolume_ = 1.0f;
    bool loop_ = false;
    int32_t streamingType_ = 0;
    int32_t fadeState_ = 0;  // 0 none, 1 fading in, 2 fading out
    int32_t fadePositionMs_ = 0;
    int32_t fadeDurationMs_ = 0;
    std::vector<BaseSound*> variants_;
    int32_t currentVariant_ = -1;
};

}  // namespace engine
