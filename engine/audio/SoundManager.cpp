#include "engine/audio/SoundManager.h"
#include "engine/audio/SoundCue.h"
#include "engine/core/Event.h"
#include <algorithm>

namespace engine {

namespace {
SoundManager* g_currentSoundManager = nullptr;
}  // namespace

SoundManager* getCurrentSoundManager() { return g_currentSoundManager; }
void setCurrentSoundManager(SoundManager* manager) { g_currentSoundManager = manager; }

SoundManager::SoundManager() { addToMask(EventCategory::Driver | EventCategory::System); }

SoundManager::~SoundManager() {
    if (g_currentSoundManager == this) g_currentSoundManager = nullptr;
    for (auto& entry : cues_) {
        entry.second->setManager(nullptr);
        entry.second->release();
    }
    cues_.clear();
    for (SoundCue* instance : playing_) {
        instance->setManager(nullptr);
        instance->release();
    }
    playing_.clear();
    setAudioDriver(nullptr);
}

void SoundManager::setAudioDriver(AudioDriver* driver) {
    if (driver) driver->addRef();
    if (audioDriver_) audioDriver_->release();
    audioDriver_ = driver;
}

bool SoundManager::handleEvent(Event* event) {
    if (!event) return false;
    switch (event->getTypeId()) {
        case EventId::UpdateEvent:
            update(static_cast<UpdateEvent*>(event)->getElapsedMs());
            break;
        case EventId::AudioDriverCreatedEvent:
            setAudioDriver(static_cast<AudioDriverCreatedEvent*>(event)->getDriver());
            break;
        case EventId::AudioDriverReleasedEvent:
            setAudioDriver(nullptr);
            break;
        default:
            break;
    }
    return false;
}

bool SoundManager::addCue(SoundCue* cue) {
    if (!cue || cues_.count(cue->getName())) return false;
    cue->addRef();
    cues_[cue->getName()] = cue;
    cue->setManager(this);
    cue->updateVolume();
    return true;
}

SoundCue* SoundManager::findCue(const NameId& name) const {
    auto it = cues_.find(name);
    return it == cues_.end() ? nullptr : it->second;
}

SoundCue* SoundManager::playCue(const NameId& name, bool onlyIfNotPlaying, int32_t fadeInMs) {
    if (onlyIfNotPlaying && isCuePlaying(name)) return nullptr;
    SoundCue* prototype = findCue(name);
    if (!prototype) return nullptr;
    if (fadeInMs == 0) fadeInMs = getGroup(prototype->getGroupId()).fadeInMs;
    return prototype->play(fadeInMs);
}

bool SoundManager::isCuePlaying(const NameId& name) const {
    return std::any_of(playing_.begin(), playing_.end(), [&](SoundCue* c) { return c->getName() == name; });
}

void SoundManager::stopCue(const NameId& name, int32_t fadeOutMs) {
    for (SoundCue* instance : playing_) {
        if (instance->getName() != name) continue;
        if (fadeOutMs == 0) fadeOutMs = getGroup(instance->getGroupId()).fadeOutMs;
        instance->stop(fadeOutMs);
        return;
    }
}

void SoundManager::stopGroup(int32_t group) {
    for (SoundCue* instance : playing_)
        if (group == -1 || instance->getGroupId() == group) instance->stop(0);
}

void SoundManager::setGroupPaused(bool paused, int32_t group) {
    if (group != -1) getGroup(group).paused = paused;
    for (SoundCue* instance : playing_)
        if (group == -1 || instance->getGroupId() == group) instance->setPaused(paused);
}

void SoundManager::setGroupVolume(float volume, int32_t group) {
    getGroup(group).volume = volume;
    applyGroupVolume(group);
}

float SoundManager::getGroupVolume(int32_t group) { return getGroup(group).volume; }

SoundGroup& SoundManager::getGroup(int32_t group) {
    auto it = groups_.find(group);
    if (it == groups_.end()) it = groups_.emplace(group, SoundGroup()).first;
    return it->second;
}

void SoundManager::applyGroupVolume(int32_t group) {
    for (auto& entry : cues_)
        if (group == -1 || entry.second->getGroupId() == group) entry.second->updateVolume();
    for (SoundCue* instance : playing_)
        if (group == -1 || instance->getGroupId() == group) instance->updateVolume();
}

bool SoundManager::checkGroupLimit(SoundCue* cue) {
    if (!cue) return false;
    SoundGroup& group = getGroup(cue->getGroupId());
    if (group.volume == 0.0f) return false;
    if (group.maxInstances == 0) return true;
    int32_t count = 0;
    SoundCue* oldest = nullptr;
    for (SoundCue* instance : playing_) {
        if (instance->getGroupId() != cue->getGroupId()) continue;
        if (instance->getCurrentVariant() == -1 || instance->getFadeState() == 2) continue;
        if (!oldest) oldest = instance;
        ++count;
    }
    if (count < group.maxInstances) return true;
    if (group.overflowPolicy == 0) return false;
    if (group.overflowPolicy == 1 && oldest) oldest->stop(group.fadeOutMs);
    return true;
}

void SoundManager::addPlaying(SoundCue* instance) {
    if (!instance) return;
    instance->addRef();
    playing_.push_back(instance);
}

void SoundManager::update(uint32_t milliseconds) {
    for (size_t i = 0; i < playing_.size();) {
        SoundCue* instance = playing_[i];
        instance->update(milliseconds);
        if (instance->getState() != 0) {
            ++i;
            continue;
        }
        playing_.erase(playing_.begin() + long(i));
        CountedRef<SoundFinishedEvent> finished(new SoundFinishedEvent(instance));
        instance->handleEvent(finished.get());
        instance->release();
    }
}

}  // namespace engine
