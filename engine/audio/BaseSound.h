#pragma once
// The playable sound behind every sound cue ('isnd' content).
#include "engine/core/Content.h"
#include "engine/core/Types.h"

namespace engine {

class BaseSound : public Content {
public:
    explicit BaseSound(const CreationContext& context) : Content(context) {}
    ~BaseSound() override = default;

    ContentTypeCode getContentType() const override { return ContentType::Sound; }

    // 0 stopped, 1 paused, 2 playing.
    virtual int32_t getState() = 0;
    virtual bool play() = 0;
    virtual void stop() = 0;
    // Pauses (true) or resumes (false).
    virtual void pause(bool paused) = 0;
    virtual float getVolume() const { return volume_; }
    virtual void setVolume(float gain) = 0;
    virtual bool getLooping() const { return looping_; }
    virtual void setLooping(bool looping) = 0;
    virtual void setPosition(float x, float y, float z) = 0;
    virtual irr::core::vector3df getPosition() const { return position_; }
    virtual int32_t getPlayPositionMs() = 0;
    virtual bool reservedSetter(int32_t) { return false; }
    virtual int32_t reservedGetter() { return 0; }

protected:
    float volume_ = 1.0f;
    bool looping_ = false;
    irr::core::vector3df position_;
};


}  // namespace engine
