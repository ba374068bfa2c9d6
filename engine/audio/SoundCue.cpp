#include "engine/audio/SoundCue.h"
#include "engine/audio/AudioDriver.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/IContentManager.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/XmlReader.h"
#include <cmath>

namespace engine {

SoundCue::SoundCue(const NameId& name) : name_(name) {}

SoundCue::~SoundCue() {
    for (BaseSound* sound : variants_) sound->release();
}

void SoundCue::addVariant(BaseSound* sound) {
    if (!sound) return;
    sound->addRef();
    variants_.push_back(sound);
}

void SoundCue::updateVolume() {
    effectiveVolume_ = vol_;
    if (manager_) {
        effectiveVolume_ *= manager_->getGroup(-1).volume;
        if (groupId_ != -1) effectiveVolume_ *= manager_->getGroup(groupId_).volume;
    }
    for (BaseSound* sound : variants_) sound->setVolume(effectiveVolume_);
}

SoundCue* SoundCue::clone(SoundManager* manager) const {
    auto* copy = new SoundCue(name_);
    copy->groupId_ = groupId_;
    copy->vol_ = vol_;
    copy->loop_ = loop_;
    copy->streamingType_ = streamingType_;
    copy->manager_ = manager;
    for (BaseSound* sound : variants_) {
        if (Content* c = sound->clone()) {
            if (auto* s = dynamic_cast<BaseSound*>(c)) {
                copy->variants_.push_back(s);
            } else {
                c->release();
            }
        }
    }
    copy->updateVolume();
    return copy;
}

bool SoundCue::pickVariant(bool afterEnd, int32_t ended) {
    const int32_t count = int32_t(variants_.size());
    if (count == 0) return false;
    int32_t index = 0;
    if (count == 1) {
        variants_[0]->setLooping(loop_);
    } else if (afterEnd && ended >= 0) {
        index = int32_t(getRandomGenerator().nextMT() % uint32_t(count - 1));
        if (index == ended) index = count - 1;
    } else {
        index = int32_t(getRandomGenerator().nextMT() % uint32_t(count));
    }
    if (!variants_[size_t(index)]->play()) return false;
    currentVariant_ = index;
    return true;
}

SoundCue* SoundCue::play(int32_t fadeInMs) {
    if (!manager_ || !manager_->checkGroupLimit(this)) return nullptr;
    SoundCue* instance = clone(manager_);
    if (!instance->pickVariant(false, -1)) {
        instance->release();
        return nullptr;
    }
    BaseSound* variant = instance->variants_[size_t(instance->currentVariant_)];
    if (fadeInMs > 0) {
        instance->fadeDurationMs_ = fadeInMs;
        instance->fadePositionMs_ = 0;
        instance->fadeState_ = 1;
        variant->setVolume(0.0f);
    }
    if (manager_->getGroup(groupId_).paused) variant->pause(true);
    manager_->addPlaying(instance);
    // The manager's playing list holds the instance now.
    instance->release();
    return instance;
}

void SoundCue::stop(int32_t fadeOutMs) {
    if (currentVariant_ == -1) return;
    if (fadeOutMs <= 0) {
        fadeState_ = 0;
        variants_[size_t(currentVariant_)]->stop();
        currentVariant_ = -1;
        return;
    }
    if (fadeState_ == 1) {
        const double ratio = fadeDurationMs_ > 0 ? double(fadePositionMs_) / fadeDurationMs_ : 1.0;
        fadeDurationMs_ = fadeOutMs;
        fadePositionMs_ = int32_t(std::floor(fadeOutMs * ratio + 0.5));
        fadeState_ = 2;
    } else if (fadeState_ != 2) {
        fadeDurationMs_ = fadePositionMs_ = fadeOutMs;
        fadeState_ = 2;
    }
}

void SoundCue::setPaused(bool paused) {
    if (currentVariant_ != -1) variants_[size_t(currentVariant_)]->pause(paused);
}

int32_t SoundCue::getState() const {
    if (currentVariant_ == -1) return 0;
    return variants_[size_t(currentVariant_)]->getState() == 1 ? 1 : 2;
}

void SoundCue::setCurrentVolume(float volume) {
    if (currentVariant_ != -1) variants_[size_t(currentVariant_)]->setVolume(volume);
}

void SoundCue::update(uint32_t milliseconds) {
    if (currentVariant_ == -1) return;
    const int32_t ms = int32_t(milliseconds);
    if (fadeState_ == 0) {
        if (variants_[size_t(currentVariant_)]->getState() == 0) {
            const int32_t ended = currentVariant_;
            currentVariant_ = -1;
            if (loop_) pickVariant(true, ended);
        }
    } else if (fadeState_ == 1) {
        fadePositionMs_ += ms;
        if (fadePositionMs_ < fadeDurationMs_) {
            setCurrentVolume(effectiveVolume_ * float(fadePositionMs_) / float(fadeDurationMs_));
        } else {
            fadeState_ = 0;
            setCurrentVolume(effectiveVolume_);
        }
    } else if (fadeState_ == 2) {
        fadePositionMs_ -= ms;
        if (fadePositionMs_ > 0) {
            setCurrentVolume(effectiveVolume_ * float(fadePositionMs_) / float(fadeDurationMs_));
        } else {
            variants_[size_t(currentVariant_)]->stop();
            currentVariant_ = -1;
            fadeState_ = 0;
        }
    }
}

void SoundCue::readXml(XmlReader& reader, IContentManager* contentManager, AudioDriver* driver) {
    groupId_ = reader.getAttributeValueAsInt(L"GroupID", -1);
    vol_ = reader.getAttributeValueAsFloat(L"Vol", 1.0f);
    loop_ = reader.getAttributeValue(L"Loop") == L"true";
    streamingType_ = reader.getAttributeValueAsInt(L"StreamingType", 0);
    uint32_t savedThreshold = 0;
    if (driver) {
        savedThreshold = driver->getStreamingThreshold();
        if (streamingType_ == 1) driver->setStreamingThreshold(0);
        if (streamingType_ == 2) driver->setStreamingThreshold(0xFFFFFFFFu);
    }
    if (!reader.isEmptyElement()) {
        const int32_t depth = reader.getDepth();
        while (reader.readInside(depth)) {
            if (reader.getNodeType() != irr::io::EXN_ELEMENT || reader.getNodeName() != L"Sound") continue;
            const stringw file = reader.getAttributeValue(L"Filename");
            if (!contentManager || file.size() == 0) continue;
            Content* loaded = contentManager->load(ContentType::Sound, stringc(file.c_str()), true);
            if (auto* sound = dynamic_cast<BaseSound*>(loaded)) {
                variants_.push_back(sound);
            } else if (loaded) {
                loaded->release();
            }
        }
    }
    // Put back in every case: a saved threshold of 0 (stream everything) must
    // not be left at the value this cue chose.
    if (driver) driver->setStreamingThreshold(savedThreshold);
    updateVolume();
}

}  // namespace engine
