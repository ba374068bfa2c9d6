#include "engine/audio/SoundDecoder.h"
#include "engine/core/Logger.h"
#include <vorbis/vorbisfile.h>
#include <cstring>
#include <strings.h>

namespace engine {

int32_t bytesPerSampleOfFormat(int32_t format) { return (format == 1 || format == 2) ? 1 : 2; }

namespace {

uint32_t le32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

// ---- WAVE -------------------------------------------------------------------

class WavDecoder : public SoundDecoder {
public:
    explicit WavDecoder(irr::io::IReadFile* file) : file_(file) {
        if (file_) file_->grab();
    }
    ~WavDecoder() override {
        if (file_) file_->drop();
    }

    bool open() {
        if (!file_ || !probeWaveHeader(file_, header_)) return false;
        int32_t code = waveFormatCode(header_);
        if (code == 0) {
            logError("Unsupported WAVE sample format", file_->getFileName().c_str());
            return false;
        }
        format_ = code;
        channels_ = header_.channels;
        rate_ = int32_t(header_.sampleRate);
        // A data chunk that claims more than the file holds plays what is there.
        long available = file_->getSize() - long(header_.dataOffset);
        uint32_t dataSize = header_.dataSize;
        if (available < 0) available = 0;
        if (uint64_t(dataSize) > uint64_t(available)) {
            logWarning("WAVE data chunk is larger than its file; playing the part that is present");
            dataSize = uint32_t(available);
        }
        frames_ = int32_t(dataSize / uint32_t(bytesPerFrame()));
        if (frames_ == 0) return false;
        dataEnd_ = long(header_.dataOffset) + long(frames_) * bytesPerFrame();
        name_ = file_->getFileName().c_str();
        return rewind();
    }

    bool rewind() override { return file_ && file_->seek(long(header_.dataOffset)); }

    int32_t read(void* buffer, int32_t frameCount) override {
        if (!file_ || !buffer || frameCount <= 0) return 0;
        int32_t perFrame = bytesPerFrame();
        // Never read past the data chunk into trailing chunks.
        long left = dataEnd_ - file_->getPos();
        if (left <= 0) return 0;
        long want = long(frameCount) * perFrame;
        if (want > left) want = left;
        irr::s32 got = file_->read(buffer, irr::u32(want));
        if (got <= 0) return 0;
        return got / perFrame;
    }

private:
    irr::io::IReadFile* file_;
    WaveHeader header_;
    long dataEnd_ = 0;
};

class WavFactory : public SoundDecoderFactory {
public:
    bool canHandleExtension(const stringc& fileName) const override { return fileName.find(".wav") >= 0; }
    bool canHandleContent(irr::io::IReadFile* file) const override {
        WaveHeader header;
        return probeWaveHeader(file, header);
    }
    SoundDecoder* create(irr::io::IReadFile* file, const CreationContext*) const override {
        auto* decoder = new WavDecoder(file);
        if (!decoder->open()) {
            decoder->release();
            return nullptr;
        }
        return decoder;
    }
};

// ---- Ogg Vorbis ---------------------------------------------------------------

size_t oggRead(void* ptr, size_t size, size_t count, void* source) {
    auto* file = static_cast<irr::io::IReadFile*>(source);
    size_t bytes = size * count;
    if (bytes == 0) return 0;
    irr::s32 got = file->read(ptr, irr::u32(bytes));
    return got > 0 ? size_t(got) / size : 0;
}

int oggSeek(void* source, ogg_int64_t offset, int whence) {
    auto* file = static_cast<irr::io::IReadFile*>(source);
    bool ok = false;
    if (whence == SEEK_SET)
        ok = file->seek(long(offset));
    else if (whence == SEEK_CUR)
        ok = file->seek(long(offset), true);
    else if (whence == SEEK_END)
        ok = file->seek(file->getSize() + long(offset));  // offset is 0 or negative from the end
    return ok ? 0 : -1;
}

int oggClose(void*) { return 0; }

long oggTell(void* source) { return static_cast<irr::io::IReadFile*>(source)->getPos(); }

const ov_callbacks kOggCallbacks = {oggRead, oggSeek, oggClose, oggTell};
// The file from its current position on, as a stream that cannot seek.
const ov_callbacks kOggStreamCallbacks = {oggRead, nullptr, nullptr, nullptr};

// The offsets of the links after the first in a chained file: a link starts
// with the first pages of its streams (marked as such), so a first page that
// follows other pages starts a new link.
std::vector<long> laterOggLinks(irr::io::IReadFile* file) {
    std::vector<long> links;
    if (!file->seek(0)) return links;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    bool linkStart = true;  // no page yet, or only first pages since the link began
    long offset = 0;        // where the next page that sync finds begins
    for (;;) {
        ogg_page page;
        const long result = ogg_sync_pageseek(&sync, &page);
        if (result < 0) {  // bytes skipped while looking for a page
            offset -= result;
            continue;
        }
        if (result == 0) {
            char* buffer = ogg_sync_buffer(&sync, 8192);
            const irr::s32 got = buffer ? file->read(buffer, 8192) : 0;
            if (got <= 0) break;
            ogg_sync_wrote(&sync, got);
            continue;
        }
        const bool first = ogg_page_bos(&page) != 0;
        if (first && !linkStart) links.push_back(offset);
        linkStart = first;
        offset += result;
    }
    ogg_sync_clear(&sync);
    return links;
}

// Opens the file with vorbisfile; false when it is not a usable Ogg Vorbis
// file. Seeking through a chained file, vorbisfile leaks a little memory each
// time a later link's headers turn out incomplete or damaged, so each later
// link is first opened on its own as a stream, which reads just its headers
// and frees everything when they fail.
bool openVorbis(irr::io::IReadFile* file, OggVorbis_File* vorbis) {
    for (long link : laterOggLinks(file)) {
        OggVorbis_File test;
        if (!file->seek(link) || ov_open_callbacks(file, &test, nullptr, 0, kOggStreamCallbacks) != 0) {
            logError("Ogg Vorbis file has a damaged chained stream", file->getFileName().c_str());
            return false;
        }
        ov_clear(&test);
    }
    return file->seek(0) && ov_open_callbacks(file, vorbis, nullptr, 0, kOggCallbacks) == 0;
}

class OggDecoder : public SoundDecoder {
public:
    explicit OggDecoder(irr::io::IReadFile* file) : file_(file) {
        if (file_) file_->grab();
    }
    ~OggDecoder() override {
        if (open_) ov_clear(&vorbis_);
        if (file_) file_->drop();
    }

    bool open() {
        if (!file_) return false;
        if (!openVorbis(file_, &vorbis_)) return false;
        open_ = true;
        vorbis_info* info = ov_info(&vorbis_, -1);
        if (info) {
            rate_ = int32_t(info->rate);
            channels_ = info->channels;
            switch (channels_) {
                case 1: format_ = 3; break;
                case 2: format_ = 4; break;
                case 4: format_ = 6; break;
                case 6: format_ = 7; break;
                default: format_ = 0; break;
            }
            if (format_ != 0) {
                ogg_int64_t total = ov_pcm_total(&vorbis_, -1);
                frames_ = total > 0 && total < 0x7FFFFFFF ? int32_t(total) : 0;
                name_ = file_->getFileName().c_str();
            }
        }
        if (frames_ == 0) {
            ov_clear(&vorbis_);
            open_ = false;
            return false;
        }
        return true;
    }

    bool rewind() override { return open_ && ov_pcm_seek(&vorbis_, 0) == 0; }

    int32_t read(void* buffer, int32_t frameCount) override {
        if (!open_ || !buffer || frameCount <= 0) return 0;
        const int32_t perFrame = bytesPerFrame();
        const long wanted = long(frameCount) * perFrame;
        char* out = static_cast<char*>(buffer);
        long have = 0;
        int holes = 0;
        while (have < wanted) {
            int section = 0;
            long got = ov_read(&vorbis_, out + have, int(wanted - have), 0, 2, 1, &section);
            if (got == 0) break;
            if (got < 0) {
                // A hole or a bad link: skip it, but give up on a stream that
                // keeps failing so the caller is never stuck.
                if (++holes > 16) break;
                continue;
            }
            have += got;
        }
        int32_t frames = int32_t(have / perFrame);
        if (channels_ == 6) {
            // Vorbis order (FL, C, FR, RL, RR, LFE) to OpenAL's (FL, FR, C, LFE, RL, RR).
            auto* samples = static_cast<int16_t*>(buffer);
            for (int32_t f = 0; f < frames; ++f) {
                int16_t* s = samples + f * 6;
                int16_t v[6];
                std::memcpy(v, s, sizeof v);
                s[0] = v[0];
                s[1] = v[2];
                s[2] = v[1];
                s[3] = v[5];
                s[4] = v[3];
                s[5] = v[4];
            }
        }
        return frames;
    }

private:
    irr::io::IReadFile* file_;
    OggVorbis_File vorbis_{};
    bool open_ = false;
};

class OggFactory : public SoundDecoderFactory {
public:
    bool canHandleExtension(const stringc& fileName) const override { return fileName.find(".ogg") >= 0; }
    bool canHandleContent(irr::io::IReadFile* file) const override {
        // The first link's headers are enough to tell; read as a stream, no
        // more of the file is read.
        OggVorbis_File vorbis;
        if (!file->seek(0) || ov_open_callbacks(file, &vorbis, nullptr, 0, kOggStreamCallbacks) != 0) return false;
        bool ok = ov_info(&vorbis, -1) != nullptr;
        ov_clear(&vorbis);
        return ok;
    }
    SoundDecoder* create(irr::io::IReadFile* file, const CreationContext*) const override {
        auto* decoder = new OggDecoder(file);
        if (!decoder->open()) {
            decoder->release();
            return nullptr;
        }
        return decoder;
    }
};

}  // namespace

bool probeWaveHeader(irr::io::IReadFile* file, WaveHeader& header) {
    header = WaveHeader();
    if (!file) return false;
    unsigned char riff[12];
    if (file->read(riff, 12) != 12) return false;
    if (strncasecmp(reinterpret_cast<char*>(riff), "RIFF", 4) != 0 ||
        strncasecmp(reinterpret_cast<char*>(riff + 8), "WAVE", 4) != 0)
        return false;
    unsigned char chunk[8];
    while (file->read(chunk, 8) == 8) {
        uint32_t size = le32(chunk + 4);
        long next = file->getPos() + long(size) + long(size & 1);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size <= 40) {
            unsigned char fmt[40] = {};
            if (file->read(fmt, size) != irr::s32(size)) break;
            uint16_t tag = le16(fmt);
            if ((tag == 1 && size >= 16) || (tag == 0xFFFE && size >= 24)) {
                header.kind = tag == 1 ? 1 : 2;
                header.formatTag = tag;
                header.channels = le16(fmt + 2);
                header.sampleRate = le32(fmt + 4);
                header.byteRate = le32(fmt + 8);
                header.blockAlign = le16(fmt + 12);
                header.bitsPerSample = le16(fmt + 14);
                if (tag == 0xFFFE) {
                    header.validBits = le16(fmt + 18);
                    header.channelMask = le32(fmt + 20);
                }
            }
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            header.dataSize = size;
            header.dataOffset = uint32_t(file->getPos());
        }
        // A chunk that runs past the end of the file ends the walk.
        if (next > file->getSize() || !file->seek(next)) break;
    }
    if (header.dataSize != 0 && header.dataOffset != 0 && header.kind != 0 && header.channels != 0 &&
        header.sampleRate != 0)
        return true;
    header = WaveHeader();
    return false;
}

int32_t waveFormatCode(const WaveHeader& h) {
    const bool b16 = h.bitsPerSample == 16;
    const bool b8 = h.bitsPerSample == 8;
    if (!b16 && !b8) return 0;
    if (h.kind == 1) {
        if (h.channels == 1) return b16 ? 3 : 1;
        if (h.channels == 2) return b16 ? 4 : 2;
        if (h.channels == 4 && b16) return 6;
        return 0;
    }
    if (h.kind == 2) {
        if (h.channels == 1 && h.channelMask == 4) return b16 ? 3 : 1;
        if (h.channels == 2 && h.channelMask == 3) return b16 ? 4 : 2;
        if (!b16) return 0;
        if (h.channels == 2 && h.channelMask == 48) return 5;
        if (h.channels == 4 && h.channelMask == 51) return 6;
        if (h.channels == 6 && h.channelMask == 63) return 7;
        if (h.channels == 7 && h.channelMask == 319) return 8;
        if (h.channels == 8 && h.channelMask == 1599) return 9;
    }
    return 0;
}

SoundDecoderManager::SoundDecoderManager() {
    factories_.push_back(std::make_unique<WavFactory>());
    factories_.push_back(std::make_unique<OggFactory>());
}

SoundDecoderManager::~SoundDecoderManager() = default;

SoundDecoder* SoundDecoderManager::createDecoder(irr::io::IReadFile* file, const CreationContext* context) {
    if (!file) return nullptr;
    const stringc name = file->getFileName().c_str();
    for (auto& factory : factories_) {
        if (!factory->canHandleExtension(name)) continue;
        file->seek(0);
        if (SoundDecoder* decoder = factory->create(file, context)) return decoder;
    }
    for (auto& factory : factories_) {
        // A factory the name picked has already opened the file and refused it.
        if (factory->canHandleExtension(name)) continue;
        file->seek(0);
        if (!factory->canHandleContent(file)) continue;
        file->seek(0);
        if (SoundDecoder* decoder = factory->create(file, context)) return decoder;
    }
    return nullptr;
}

SoundDecoderManager& getSoundDecoderManager() { return EngineSingleton<SoundDecoderManager>::Instance(); }

}  // namespace engine
