#pragma once
// Decoders turn an open sound file into interleaved 8- or 16-bit PCM frames.
// The manager picks one per file: first by the file name's extension, then by
// probing the contents.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Singleton.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <memory>
#include <vector>

namespace engine {

// Bytes per sample of a format code: 1 for the 8-bit codes 1 and 2, else 2.
int32_t bytesPerSampleOfFormat(int32_t format);

class SoundDecoder : public virtual RefCounted {
public:
    SoundDecoder() = default;
    ~SoundDecoder() override = default;

    // Back to the first frame.
    virtual bool rewind() { return true; }
    // Decodes up to frameCount frames into buffer; answers the frames delivered.
    virtual int32_t read(void* buffer, int32_t frameCount) {
        (void)buffer;
        (void)frameCount;
        return 0;
    }

    const stringc& getName() const { return name_; }
    int32_t getChannels() const { return channels_; }
    int32_t getRate() const { return rate_; }
    // Format code 0 (unsupported) to 9: 1 mono8, 2 stereo8, 3 mono16, 4 stereo16,
    // 5 rear16, 6 quad16, 7 5.1, 8 6.1, 9 7.1.
    int32_t getFormat() const { return format_; }
    int32_t getFrames() const { return frames_; }
    int32_t bytesPerFrame() const { return bytesPerSampleOfFormat(format_) * channels_; }

protected:
    stringc name_;
    int32_t channels_ = 0;
    int32_t rate_ = 0;
    int32_t format_ = 0;
    int32_t frames_ = 0;
};

class SoundDecoderFactory {
public:
    virtual ~SoundDecoderFactory() = default;
    virtual bool canHandleExtension(const stringc& fileName) const = 0;
    virtual bool canHandleContent(irr::io::IReadFile* file) const = 0;
    // A usable decoder (frames not 0) or null.
    virtual SoundDecoder* create(irr::io::IReadFile* file, const CreationContext* context) const = 0;
};

// What the WAVE probe learns of a file.
struct WaveHeader {
    int32_t kind = 0;  // 0 none, 1 PCM, 2 extensible
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t validBits = 0;
    uint32_t channelMask = 0;
    uint32_t dataSize = 0;
    uint32_t dataOffset = 0;
};

// Reads the RIFF chunks from the file's start; true with a usable header.
bool probeWaveHeader(irr::io::IReadFile* file, WaveHeader& header);
// The format code for a header (0 when unsupported).
int32_t waveFormatCode(const WaveHeader& header);

class SoundDecoderManager {
public:
    SoundDecoderManager();
    ~SoundDecoderManager();

    // Null for no file or when no factory makes a decoder. Factories whose
    // extension fits the name are tried first, then the others that recognise
    // the content (each factory opens the file at most once).
    SoundDecoder* createDecoder(irr::io::IReadFile* file, const CreationContext* context);

private:
    std::vector<std::unique_ptr<SoundDecoderFactory>> factories_;
};

SoundDecoderManager& getSoundDecoderManager();

}  // namespace engine
