#pragma once
// The sounds the OpenAL driver makes. A StaticSound plays one buffer holding
// the whole decoded file, shared between its clones; a StreamedSound decodes
// its file piece by piece into three queued buffers that the driver's thread
// refills. A StreamedSound's state is guarded by the driver's active lock.
#include "engine/audio/BaseSound.h"
#include "engine/audio/SoundDecoder.h"
#include "engine/core/RefCounted.h"
#include <cstdint>
#include <vector>

namespace engine {

class OpenALAudioDriver;

// The OpenAL format of a format code; 0 when unsupported.
int32_t alFormatOfCode(int32_t code);

// A whole decoded file. The block stays empty when the decoder cannot rewind
// or delivers fewer frames than it reported.
class SoundData : public virtual RefCounted {
public:
    explicit SoundData(SoundDecoder* decoder);
    bool hasSamples() const { return !samples_.empty(); }

    stringc name;
    int32_t channels = 0;
    int32_t rate = 0;
    int32_t format = 0;
    int32_t frames = 0;
    const std::vector<char>& getSamples() const { return samples_; }

private:
    std::vector<char> samples_;
};

class SoundBuffer : public virtual RefCounted {
public:
    explicit SoundBuffer(SoundData* data);
    ~SoundBuffer() override;
    // 0 when the data's format is unsupported.
    uint32_t getBuffer() const { return buffer_; }

private:
    uint32_t buffer_ = 0;
    CountedRef<SoundData> data_;
};

class StaticSound : public BaseSound {
public:
    StaticSound(const CreationContext& context, SoundBuffer* buffer);
    ~StaticSound() override;

    Content* clone() override;
    int32_t getState() override;
    bool play() override;
    void stop() override;
    void pause(bool paused) override;
    void setVolume(float gain) override;
    void setLooping(bool looping) override;
    void setPosition(float x, float y, float z) override;
    int32_t getPlayPositionMs() override;

    SoundBuffer* getSoundBuffer() const { return buffer_.get(); }

private:
    uint32_t source_ = 0;
    CountedRef<SoundBuffer> buffer_;
};

class StreamedSound : public BaseSound {
public:
    StreamedSound(const CreationContext& context, SoundDecoder* decoder, int32_t framesPerBuffer,
                  OpenALAudioDriver* driver);
    ~StreamedSound() override;

    Content* clone() override;
    int32_t getState() override;
    bool play() override;
    void stop() override;
    void pause(bool paused) override;
    void setVolume(float gain) override;
    void setLooping(bool looping) override;
    void setPosition(float x, float y, float z) override;
    int32_t getPlayPositionMs() override;

    int32_t getFramesPerBuffer() const { return framesPerBuffer_; }
    // Frames in the last buffer filled.
    int32_t getLastFillFrames();

private:
    friend class OpenALAudioDriver;

    // What one refill decodes: the buffers to fill and the frames each got.
    struct Refill {
        uint32_t generation = 0;
        bool first = false;    // the first fill after play: all three buffers
        bool looping = false;
        int32_t count = 0;     // buffers to fill
        uint32_t buffers[3] = {0, 0, 0};
        int32_t frames[3] = {0, 0, 0};
    };
    // The driver's refill runs in three steps so that decoding holds no lock:
    // under the driver's active lock, take back the buffers that have played
    // (false when the sound is not playing) ...
    bool beginRefill(Refill& refill);
    // ... without the lock, decode into the PCM blocks (the driver keeps the
    // sound alive and play() waits meanwhile) ...
    void decode(Refill& refill);
    // ... and under the lock again, queue what was decoded, unless the sound
    // was stopped or played again meanwhile, and restart or stop the source.
    void endRefill(const Refill& refill);
    // Fills one PCM block with up to framesPerBuffer frames; answers the frames.
    int32_t fill(char* block, bool looping);
    void stopLocked();
    int32_t framesQueuedIn(uint32_t buffer) const;

    uint32_t source_ = 0;
    uint32_t buffers_[3] = {0, 0, 0};
    int32_t queuedFrames_[3] = {0, 0, 0};  // frames loaded into each buffer
    int32_t alFormat_ = 0;
    CountedRef<SoundDecoder> decoder_;
    std::vector<char> pcm_;  // three blocks; the driver's thread alone uses them
    int32_t framesPerBuffer_;
    int32_t lastFrames_ = 0;
    int64_t playedFrames_ = 0;  // frames of the buffers played and taken back since play
    uint32_t generation_ = 0;   // counts stops, so a refill can tell it is stale
    bool started_ = false;      // the first fill since play is queued
    bool playing_ = false;
    bool paused_ = false;
    OpenALAudioDriver* driver_;  // counted
    bool registered_ = false;
};

}  // namespace engine
