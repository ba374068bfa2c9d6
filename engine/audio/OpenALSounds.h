#pragma once
// The sounds the OpenAL driver makes. A StaticSound plays one buffer holding
// the whole decoded file, shared between its clones; a StreamedSound decodes
// its file piece by piece into three queued buffers that the driver's thread
// refills.
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

    // On the driver's thread, under its active lock, while playing.
    void refill();
    bool isPlaying() const { return playing_; }
    int32_t getFramesPerBuffer() const { return framesPerBuffer_; }
    // Frames in the PCM block after the last fill.
    int32_t getLastFillFrames() const { return lastFrames_; }

private:
    // Fills the PCM block with up to framesPerBuffer frames; true with at least one.
    bool fill();
    void stopLocked();

    uint32_t source_ = 0;
    uint32_t buffers_[3] = {0, 0, 0};
    int32_t alFormat_ = 0;
    CountedRef<SoundDecoder> decoder_;
    std::vector<char> pcm_;
    int32_t framesPerBuffer_;
    int32_t lastFrames_ = 0;
    bool playing_ = false;
    bool paused_ = false;
    OpenALAudioDriver* driver_;  // counted
    bool registered_ = false;
};

}  // namespace engine
