#include "engine/audio/OpenALSounds.h"
#include "engine/audio/AudioDriver.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include <AL/al.h>
#include <AL/alc.h>
#include <new>

namespace engine {

int32_t alFormatOfCode(int32_t code) {
    switch (code) {
        case 1: return AL_FORMAT_MONO8;
        case 2: return AL_FORMAT_STEREO8;
        case 3: return AL_FORMAT_MONO16;
        case 4: return AL_FORMAT_STEREO16;
        case 5: return alGetEnumValue("AL_FORMAT_REAR16");
        case 6: return alGetEnumValue("AL_FORMAT_QUAD16");
        case 7: return alGetEnumValue("AL_FORMAT_51CHN16");
        case 8: return alGetEnumValue("AL_FORMAT_61CHN16");
        case 9: return alGetEnumValue("AL_FORMAT_71CHN16");
        default: return 0;
    }
}

// ---- SoundData / SoundBuffer ----------------------------------------------------

SoundData::SoundData(SoundDecoder* decoder) {
    if (!decoder) return;
    name = decoder->getName();
    channels = decoder->getChannels();
    rate = decoder->getRate();
    format = decoder->getFormat();
    frames = decoder->getFrames();
    if (frames <= 0 || format == 0 || rate == 0 || channels <= 0) return;
    if (!decoder->rewind()) return;
    // The frame count comes from the file; a file that lies about it must not
    // end the program when the block cannot be had.
    std::vector<char> block;
    try {
        block.resize(size_t(bytesPerSampleOfFormat(format)) * size_t(channels) * size_t(frames));
    } catch (const std::bad_alloc&) {
        logError("Sound is too large to load whole", name.c_str());
        return;
    }
    if (decoder->read(block.data(), frames) != frames) return;
    samples_.swap(block);
}

SoundBuffer::SoundBuffer(SoundData* data) : data_(CountedRef<SoundData>::share(data)) {
    const int32_t format = data ? alFormatOfCode(data->format) : 0;
    if (format == 0 || !data->hasSamples()) {
        logError("Unsupported OpenAL buffer format");
        return;
    }
    alGetError();
    alGenBuffers(1, &buffer_);
    if (alGetError() != AL_NO_ERROR) {
        buffer_ = 0;
        return;
    }
    alBufferData(buffer_, format, data->getSamples().data(), ALsizei(data->getSamples().size()), data->rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer_);
        buffer_ = 0;
    }
}

SoundBuffer::~SoundBuffer() {
    if (buffer_) alDeleteBuffers(1, &buffer_);
}

// ---- StaticSound ------------------------------------------------------------------

StaticSound::StaticSound(const CreationContext& context, SoundBuffer* buffer)
    : BaseSound(context), buffer_(CountedRef<SoundBuffer>::share(buffer)) {}

StaticSound::~StaticSound() {
    if (source_) {
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        alDeleteSources(1, &source_);
    }
}

Content* StaticSound::clone() {
    auto* copy = new StaticSound(getCreationContext(), buffer_.get());
    copy->volume_ = volume_;
    copy->position_ = position_;
    copy->looping_ = looping_;
    return copy;
}

int32_t StaticSound::getState() {
    if (!source_) return 0;
    ALint state = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING ? 2 : state == AL_PAUSED ? 1 : 0;
}

bool StaticSound::play() {
    if (!source_) {
        if (!buffer_ || buffer_->getBuffer() == 0) return false;
        alGetError();
        alGenSources(1, &source_);
        if (alGetError() != AL_NO_ERROR) {
            source_ = 0;
            return false;
        }
        alSourcei(source_, AL_BUFFER, ALint(buffer_->getBuffer()));
        alSourcef(source_, AL_GAIN, volume_);
        alSourcei(source_, AL_LOOPING, looping_ ? AL_TRUE : AL_FALSE);
        alSource3f(source_, AL_POSITION, position_.X, position_.Y, position_.Z);
    }
    alSourcePlay(source_);
    return true;
}

void StaticSound::stop() {
    if (source_) alSourceStop(source_);
}

void StaticSound::pause(bool paused) {
    if (!source_) return;
    if (paused)
        alSourcePause(source_);
    else
        alSourcePlay(source_);
}

void StaticSound::setVolume(float gain) {
    volume_ = gain;
    if (source_) alSourcef(source_, AL_GAIN, gain);
}

void StaticSound::setLooping(bool looping) {
    looping_ = looping;
    if (source_) alSourcei(source_, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
}

void StaticSound::setPosition(float x, float y, float z) {
    position_.set(x, y, z);
    if (source_) alSource3f(source_, AL_POSITION, x, y, z);
}

int32_t StaticSound::getPlayPositionMs() {
    if (!source_) return 0;
    ALfloat seconds = 0;
    alGetSourcef(source_, AL_SEC_OFFSET, &seconds);
    return int32_t(seconds * 1000.0f);
}

// ---- StreamedSound ------------------------------------------------------------------

StreamedSound::StreamedSound(const CreationContext& context, SoundDecoder* decoder, int32_t framesPerBuffer,
                             OpenALAudioDriver* driver)
    : BaseSound(context),
      decoder_(CountedRef<SoundDecoder>::share(decoder)),
      framesPerBuffer_(framesPerBuffer > 0 ? framesPerBuffer : 44100),
      driver_(driver) {
    setContentFlags(ContentFlags::NeverCached);
    if (driver_) driver_->addRef();
    if (decoder_) {
        alFormat_ = alFormatOfCode(decoder_->getFormat());
        alGetError();
        alGenBuffers(3, buffers_);
        if (alGetError() != AL_NO_ERROR) buffers_[0] = buffers_[1] = buffers_[2] = 0;
    }
}

StreamedSound::~StreamedSound() {
    if (registered_ && driver_) driver_->unregisterStream(this);
    if (source_) {
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        alDeleteSources(1, &source_);
    }
    if (buffers_[0]) alDeleteBuffers(3, buffers_);
    if (driver_) driver_->release();
}

Content* StreamedSound::clone() {
    IContentManager* manager = getCreationContext().getContentManager();
    if (!manager) return nullptr;
    // The copy streams too, whatever the driver's threshold is at this moment
    // (a cue may have chosen streaming for this file).
    uint32_t threshold = 0;
    if (driver_) {
        threshold = driver_->getStreamingThreshold();
        driver_->setStreamingThreshold(0);
    }
    Content* loaded = manager->load(ContentType::Sound, getCreationContext().getName(), false);
    if (driver_) driver_->setStreamingThreshold(threshold);
    auto* copy = dynamic_cast<BaseSound*>(loaded);
    if (!copy) {
        if (loaded) loaded->release();
        return nullptr;
    }
    copy->setVolume(volume_);
    copy->setPosition(position_.X, position_.Y, position_.Z);
    copy->setLooping(looping_);
    return copy;
}

namespace {
// Serialises a streamed sound's changes of state with the driver's refills.
class StreamGuard {
public:
    explicit StreamGuard(OpenALAudioDriver* driver) : driver_(driver) {
        if (driver_) driver_->getActiveLock().lock();
    }
    ~StreamGuard() {
        if (driver_) driver_->getActiveLock().unlock();
    }

private:
    OpenALAudioDriver* driver_;
};
}  // namespace

int32_t StreamedSound::getState() {
    StreamGuard guard(driver_);
    if (!source_) return 0;
    if (paused_) return 1;
    return playing_ ? 2 : 0;
}

bool StreamedSound::play() {
    if (!decoder_ || alFormat_ == 0 || buffers_[0] == 0) {
        logError("Failed to play streamed sound");
        return false;
    }
    {
        StreamGuard guard(driver_);
        stopLocked();
        if (!source_) {
            alGetError();
            alGenSources(1, &source_);
            if (alGetError() != AL_NO_ERROR) {
                source_ = 0;
                return false;
            }
            alSourcef(source_, AL_GAIN, volume_);
            alSource3f(source_, AL_POSITION, position_.X, position_.Y, position_.Z);
        }
        // The driver's thread may be decoding from the decoder.
        if (driver_) driver_->waitForDecode(this);
        if (!decoder_->rewind()) return false;
        playing_ = true;
        paused_ = false;
    }
    if (!registered_ && driver_) {
        registered_ = true;
        driver_->registerStream(this);
    }
    return true;
}

void StreamedSound::stopLocked() {
    playing_ = false;
    paused_ = false;
    if (source_) {
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
    }
    // The next play starts with a fresh fill of all three buffers; a refill
    // decoding meanwhile is dropped.
    started_ = false;
    playedFrames_ = 0;
    ++generation_;
}

void StreamedSound::stop() {
    StreamGuard guard(driver_);
    stopLocked();
}

void StreamedSound::pause(bool paused) {
    StreamGuard guard(driver_);
    paused_ = paused;
    if (!source_) return;
    if (paused)
        alSourcePause(source_);
    else if (playing_ && started_)
        alSourcePlay(source_);
}

void StreamedSound::setVolume(float gain) {
    StreamGuard guard(driver_);
    volume_ = gain;
    if (source_) alSourcef(source_, AL_GAIN, gain);
}

void StreamedSound::setLooping(bool looping) {
    StreamGuard guard(driver_);
    looping_ = looping;
}

void StreamedSound::setPosition(float x, float y, float z) {
    StreamGuard guard(driver_);
    position_.set(x, y, z);
    if (source_) alSource3f(source_, AL_POSITION, x, y, z);
}

int32_t StreamedSound::getPlayPositionMs() {
    StreamGuard guard(driver_);
    if (!source_ || !decoder_ || decoder_->getRate() <= 0) return 0;
    // The source's offset counts from the oldest buffer still queued; the
    // buffers taken back before it have played.
    ALint offset = 0;
    alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
    int64_t frames = playedFrames_ + offset;
    // A looping stream starts over at the end of its file.
    if (decoder_->getFrames() > 0) frames %= decoder_->getFrames();
    return int32_t(frames * 1000 / decoder_->getRate());
}

int32_t StreamedSound::getLastFillFrames() {
    StreamGuard guard(driver_);
    return lastFrames_;
}

int32_t StreamedSound::fill(char* block, bool looping) {
    const int32_t perFrame = decoder_->bytesPerFrame();
    int32_t have = decoder_->read(block, framesPerBuffer_);
    while (have < framesPerBuffer_ && looping) {
        if (!decoder_->rewind()) break;
        int32_t more = decoder_->read(block + size_t(have) * perFrame, framesPerBuffer_ - have);
        if (more <= 0) break;  // an empty stream would rewind for ever
        have += more;
    }
    return have;
}

int32_t StreamedSound::framesQueuedIn(uint32_t buffer) const {
    for (int i = 0; i < 3; ++i)
        if (buffers_[i] == buffer) return queuedFrames_[i];
    return 0;
}

bool StreamedSound::beginRefill(Refill& refill) {
    if (!playing_ || !decoder_ || !source_) return false;
    refill = Refill();
    refill.generation = generation_;
    refill.looping = looping_;
    if (!started_) {
        refill.first = true;
        refill.count = 3;
        for (int i = 0; i < 3; ++i) refill.buffers[i] = buffers_[i];
        return true;
    }
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed && refill.count < 3; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source_, 1, &buffer);
        playedFrames_ += framesQueuedIn(buffer);
        refill.buffers[refill.count++] = buffer;
    }
    return true;
}

void StreamedSound::decode(Refill& refill) {
    const size_t blockSize = size_t(framesPerBuffer_) * size_t(decoder_->bytesPerFrame());
    if (pcm_.size() != 3 * blockSize) pcm_.assign(3 * blockSize, 0);
    for (int32_t i = 0; i < refill.count; ++i) {
        refill.frames[i] = fill(pcm_.data() + size_t(i) * blockSize, refill.looping);
        if (refill.frames[i] == 0) break;  // the stream has ended
    }
}

void StreamedSound::endRefill(const Refill& refill) {
    if (refill.generation != generation_ || !playing_ || !source_) return;
    const size_t blockSize = size_t(framesPerBuffer_) * size_t(decoder_->bytesPerFrame());
    const ALsizei rate = decoder_->getRate();
    bool ended = false;
    for (int32_t i = 0; i < refill.count; ++i) {
        if (refill.frames[i] == 0) {
            ended = true;
            continue;
        }
        ALuint buffer = refill.buffers[i];
        alBufferData(buffer, alFormat_, pcm_.data() + size_t(i) * blockSize,
                     ALsizei(size_t(refill.frames[i]) * decoder_->bytesPerFrame()), rate);
        alSourceQueueBuffers(source_, 1, &buffer);
        for (int b = 0; b < 3; ++b)
            if (buffers_[b] == buffer) queuedFrames_[b] = refill.frames[i];
        lastFrames_ = refill.frames[i];
    }
    if (refill.first) {
        started_ = true;
        if (!paused_) alSourcePlay(source_);
        return;
    }
    ALint state = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) return;
    ALint queued = 0;
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    if (queued > 0) {
        if (!paused_) alSourcePlay(source_);
    } else if (ended || refill.count == 0) {
        stopLocked();
    }
}

}  // namespace engine
