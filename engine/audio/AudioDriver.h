#pragma once
// The audio driver turns sound files into playable sounds and owns the audio
// device. NullAudioDriver is silent; OpenALAudioDriver plays through OpenAL and
// refills streamed sounds on a thread of its own every 10 ms.
#include "engine/audio/BaseSound.h"
#include "engine/core/Mutex.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/platform/Thread.h"
#include <condition_variable>
#include <cstdint>
#include <list>
#include <vector>

typedef struct ALCdevice_struct ALCdevice;
typedef struct ALCcontext_struct ALCcontext;

namespace engine {

class FileSystem;
class StreamedSound;

class AudioDriver : public virtual RefCounted {
public:
    ~AudioDriver() override = default;
    virtual void describe(stringc& out) const = 0;
    // A new sound (count 1, the caller's) or null.
    virtual BaseSound* createSound(irr::io::IReadFile* file, const CreationContext* context) = 0;
    // Opens the path through the driver's file system; null when it does not open.
    virtual BaseSound* createSoundFromPath(const stringc& path, const CreationContext* context) = 0;
    virtual void setStreamingThreshold(uint32_t bytes) = 0;
    virtual uint32_t getStreamingThreshold() const = 0;
    virtual void setListener(const irr::core::vector3df& position, const irr::core::vector3df& facing,
                             const irr::core::vector3df& third, const irr::core::vector3df& up) = 0;
};

class NullAudioDriver : public AudioDriver {
public:
    explicit NullAudioDriver(FileSystem* fileSystem);
    ~NullAudioDriver() override;

    void describe(stringc& out) const override { out = "Null audio device"; }
    BaseSound* createSound(irr::io::IReadFile*, const CreationContext*) override { return nullptr; }
    BaseSound* createSoundFromPath(const stringc& path, const CreationContext* context) override;
    void setStreamingThreshold(uint32_t bytes) override { streamingThreshold_ = bytes; }
    uint32_t getStreamingThreshold() const override { return streamingThreshold_; }
    void setListener(const irr::core::vector3df&, const irr::core::vector3df&, const irr::core::vector3df&,
                     const irr::core::vector3df&) override {}

    FileSystem* getFileSystem() const { return fileSystem_; }

protected:
    FileSystem* fileSystem_;  // counted
    uint32_t streamingThreshold_ = 0x40000;
};

class OpenALAudioDriver : public NullAudioDriver, public Thread {
public:
    explicit OpenALAudioDriver(FileSystem* fileSystem);
    ~OpenALAudioDriver() override;

    bool init();
    void describe(stringc& out) const override;
    BaseSound* createSound(irr::io::IReadFile* file, const CreationContext* context) override;
    void setListener(const irr::core::vector3df& position, const irr::core::vector3df& facing,
                     const irr::core::vector3df& third, const irr::core::vector3df& up) override;

    // Called by a streamed sound the first time it plays.
    void registerStream(StreamedSound* sound);
    // Called by a registered streamed sound's destructor: it leaves both the
    // queue of new streams and the active array, once the thread has finished
    // decoding for it.
    void unregisterStream(StreamedSound* sound);
    // Guards the streamed sounds' state; held around each refill except while
    // it decodes. Sounds take it around their own changes of state.
    Mutex& getActiveLock() { return activeLock_; }
    // With the active lock held once: returns when the thread is not decoding
    // for the sound.
    void waitForDecode(StreamedSound* sound);

    int32_t run() override;

private:
    // Under the active lock: whether the sound is in the active array.
    bool isActive(StreamedSound* sound) const;

    std::atomic<bool> running_{false};
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    Mutex pendingLock_;
    Mutex activeLock_;
    std::vector<StreamedSound*> activeStreams_;
    StreamedSound* decoding_ = nullptr;  // the sound the thread decodes for, outside the active lock
    std::condition_variable_any decodeDone_;
    std::list<StreamedSound*> pendingStreams_;  // newest at the front
};

// The driver after a successful start, or null (the failure is logged).
OpenALAudioDriver* createOpenALAudioDriver(FileSystem* fileSystem);

}  // namespace engine
