#include "engine/audio/AudioDriver.h"
#include "engine/audio/OpenALSounds.h"
#include "engine/audio/SoundDecoder.h"
#include "engine/core/Logger.h"
#include "engine/io/FileSystem.h"
#include <AL/al.h>
#include <AL/alc.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace engine {

NullAudioDriver::NullAudioDriver(FileSystem* fileSystem) : fileSystem_(fileSystem) {
    if (fileSystem_) fileSystem_->addRef();
}

NullAudioDriver::~NullAudioDriver() {
    if (fileSystem_) fileSystem_->release();
}

BaseSound* NullAudioDriver::createSoundFromPath(const stringc& path, const CreationContext* context) {
    if (!fileSystem_) return nullptr;
    irr::io::IReadFile* file = fileSystem_->createAndOpenFile(path);
    if (!file) return nullptr;
    BaseSound* sound = createSound(file, context);
    file->drop();
    return sound;
}

OpenALAudioDriver::OpenALAudioDriver(FileSystem* fileSystem) : NullAudioDriver(fileSystem) {}

OpenALAudioDriver::~OpenALAudioDriver() {
    running_ = false;
    join();
    if (device_) {
        alcMakeContextCurrent(nullptr);
        if (context_) alcDestroyContext(context_);
        alcCloseDevice(device_);
    }
}

bool OpenALAudioDriver::init() {
    // The software device by name where it exists; else the system's default.
    device_ = alcOpenDevice("Generic Software");
    if (!device_) device_ = alcOpenDevice(nullptr);
    if (!device_) {
        logError("Failed to open the OpenAL audio device");
        return false;
    }
    // OpenAL Soft's null backend opens like a device but plays into nothing.
    const char* backends = std::getenv("ALSOFT_DRIVERS");
    if (backends && std::string(backends) == "null")
        logInfo("No sound: OpenAL plays to its null backend (ALSOFT_DRIVERS=null)");
    context_ = alcCreateContext(device_, nullptr);
    if (!context_) {
        alcCloseDevice(device_);
        device_ = nullptr;
        logError("Failed to create the OpenAL audio context");
        return false;
    }
    running_ = true;
    alcMakeContextCurrent(context_);
    setListener(irr::core::vector3df(0, 0, 0), irr::core::vector3df(0, 0, -1), irr::core::vector3df(),
                irr::core::vector3df(0, 1, 0));
    if (!start()) {
        running_ = false;
        logError("Failed to create the OpenAL update thread");
        return false;
    }
    return true;
}

void OpenALAudioDriver::describe(stringc& out) const {
    out = "OpenAL\n";
    out += " Device: ";
    if (device_) {
        const ALCchar* name = alcGetString(device_, ALC_DEVICE_SPECIFIER);
        if (name) out += name;
    }
    out += "\n";
    if (alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT")) {
        out += " Available devices: ";
        const ALCchar* list = alcGetString(nullptr, ALC_DEVICE_SPECIFIER);
        if (!list || !*list) {
            out += "none";
        } else {
            for (const ALCchar* p = list; *p; p += std::strlen(p) + 1) {
                out += p;
                out += " ";
            }
        }
        out += "\n";
    }
}

void OpenALAudioDriver::setListener(const irr::core::vector3df& position, const irr::core::vector3df& facing,
                                    const irr::core::vector3df&, const irr::core::vector3df&) {
    if (!running_) return;
    alListener3f(AL_POSITION, position.X, position.Y, position.Z);
    const ALfloat orientation[6] = {facing.X, facing.Y, facing.Z, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
}

BaseSound* OpenALAudioDriver::createSound(irr::io::IReadFile* file, const CreationContext* context) {
    if (!running_) return nullptr;
    CountedRef<SoundDecoder> decoder(getSoundDecoderManager().createDecoder(file, context));
    if (!decoder) return nullptr;
    if (decoder->getFrames() == 0) return nullptr;
    const uint64_t size = uint64_t(bytesPerSampleOfFormat(decoder->getFormat())) *
                          uint64_t(decoder->getChannels()) * uint64_t(decoder->getFrames());
    const CreationContext ctx = context ? *context : CreationContext();
    if (size > uint64_t(streamingThreshold_)) return new StreamedSound(ctx, decoder.get(), 44100, this);
    CountedRef<SoundData> data(new SoundData(decoder.get()));
    if (!data->hasSamples()) {
        logError("Could not decode sound", decoder->getName().c_str());
        return nullptr;
    }
    CountedRef<SoundBuffer> buffer(new SoundBuffer(data.get()));
    return new StaticSound(ctx, buffer.get());
}

void OpenALAudioDriver::registerStream(StreamedSound* sound) {
    MutexLock lock(pendingLock_);
    pendingStreams_.push_front(sound);
}

void OpenALAudioDriver::unregisterStream(StreamedSound* sound) {
    {
        MutexLock lock(pendingLock_);
        pendingStreams_.remove(sound);
    }
    MutexLock lock(activeLock_);
    auto it = std::find(activeStreams_.begin(), activeStreams_.end(), sound);
    if (it != activeStreams_.end()) {
        *it = activeStreams_.back();
        activeStreams_.pop_back();
    }
    waitForDecode(sound);
}

void OpenALAudioDriver::waitForDecode(StreamedSound* sound) {
    decodeDone_.wait(activeLock_, [&] { return decoding_ != sound; });
}

bool OpenALAudioDriver::isActive(StreamedSound* sound) const {
    return std::find(activeStreams_.begin(), activeStreams_.end(), sound) != activeStreams_.end();
}

int32_t OpenALAudioDriver::run() {
    std::vector<StreamedSound*> snapshot;
    while (running_) {
        {
            MutexLock lock(pendingLock_);
            while (!pendingStreams_.empty()) {
                // Oldest first. The active lock is taken inside the pending one
                // so that a sound unregistering itself finds it in one of the
                // two; no path takes them in the other order.
                StreamedSound* sound = pendingStreams_.back();
                pendingStreams_.pop_back();
                MutexLock active(activeLock_);
                activeStreams_.push_back(sound);
            }
        }
        {
            MutexLock lock(activeLock_);
            snapshot = activeStreams_;
        }
        for (StreamedSound* sound : snapshot) {
            // Decoding holds no lock, so the main thread's calls on the sounds
            // never wait for it; a sound being destroyed meanwhile waits in
            // unregisterStream until the decoding is over.
            StreamedSound::Refill refill;
            {
                MutexLock lock(activeLock_);
                if (!isActive(sound) || !sound->beginRefill(refill)) continue;
                decoding_ = sound;
            }
            sound->decode(refill);
            MutexLock lock(activeLock_);
            if (isActive(sound)) sound->endRefill(refill);
            decoding_ = nullptr;
            decodeDone_.notify_all();
        }
        sleepMs(10);
    }
    return 0;
}

OpenALAudioDriver* createOpenALAudioDriver(FileSystem* fileSystem) {
    auto* driver = new OpenALAudioDriver(fileSystem);
    if (!driver->init()) {
        driver->release();
        return nullptr;
    }
    return driver;
}

}  // namespace engine
