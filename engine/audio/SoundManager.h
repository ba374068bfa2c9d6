#pragma once
// The engine's cue player. Sound packs register named cues; game code starts
// and stops them by name id. Sound groups give every cue a shared volume, a
// pause switch, an instance limit with an overflow rule and default fades.
// Every update event advances the fades and loops of the playing instances
// and drops the finished ones. Main thread only.
#include "engine/audio/AudioDriver.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include <map>
#include <vector>

namespace engine {

class SoundCue;

struct SoundGroup {
    // 0 refuses a new instance at the limit; 1 stops the oldest counted one
    // and admits the new one; other values admit beyond the limit.
    int32_t overflowPolicy = 0;
    int32_t fadeOutMs = 0;
    int32_t fadeInMs = 0;
    int32_t maxInstances = 0;  // 0: no limit
    float volume = 1.0f;
    bool paused = false;
};

class SoundManager : public EventReceiver {
public:
    SoundManager();
    ~SoundManager() override;

    // Update (13), audio driver released (11) and created (12); never consumed.
    bool handleEvent(Event* event) override;

    // False (nothing changes) when the name is already registered.
    bool addCue(SoundCue* cue);
    // The new instance (owned by the manager's playing list) or null.
    SoundCue* playCue(const NameId& name, bool onlyIfNotPlaying, int32_t fadeInMs);
    bool isCuePlaying(const NameId& name) const;
    // The oldest playing instance of the name; fade 0 uses its group's default.
    void stopCue(const NameId& name, int32_t fadeOutMs);
    // Stops at once every instance of the group (-1: every instance).
    void stopGroup(int32_t group);
    void setGroupPaused(bool paused, int32_t group);
    void setGroupVolume(float volume, int32_t group);
    float getGroupVolume(int32_t group);
    SoundGroup& getGroup(int32_t group);
    void applyGroupVolume(int32_t group);
    bool checkGroupLimit(SoundCue* cue);
    void addPlaying(SoundCue* instance);
    void update(uint32_t milliseconds);

    AudioDriver* getAudioDriver() const { return audioDriver_; }
    void setAudioDriver(AudioDriver* driver);
    const std::vector<SoundCue*>& getPlaying() const { return playing_; }
    SoundCue* findCue(const NameId& name) const;

private:
    AudioDriver* audioDriver_ = nullptr;  // counted
    std::map<int32_t, SoundGroup> groups_;
    std::map<NameId, SoundCue*> cues_;
    std::vector<SoundCue*> playing_;
};

// The sound manager that sound nodes play through: the device's, set when the
// device makes it and cleared when it goes; null without one.
SoundManager* getCurrentSoundManager();
void setCurrentSoundManager(SoundManager* manager);

}  // namespace engine
