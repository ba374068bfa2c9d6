#pragma once
// A sound without a device: its state is set by the test, so cue and manager
// logic runs deterministically.
#include "engine/audio/BaseSound.h"
#include <memory>
#include <vector>

namespace audiotest {

struct FakeLog {
    std::vector<int> plays;  // the id of each variant played, in order
};

class FakeSound : public engine::BaseSound {
public:
    FakeSound(int id, std::shared_ptr<FakeLog> log, bool playable = true)
        : BaseSound(engine::CreationContext()), id_(id), log_(std::move(log)), playable_(playable) {}
    engine::Content* clone() override {
        auto* copy = new FakeSound(id_, log_, playable_);
        copy->volume_ = volume_;
        copy->looping_ = looping_;
        return copy;
    }
    int32_t getState() override { return state_; }
    bool play() override {
        if (!playable_) return false;
        state_ = 2;
        log_->plays.push_back(id_);
        return true;
    }
    void stop() override { state_ = 0; }
    void pause(bool paused) override {
        if (state_ != 0) state_ = paused ? 1 : 2;
    }
    void setVolume(float gain) override { volume_ = gain; }
    void setLooping(bool looping) override { looping_ = looping; }
    void setPosition(float x, float y, float z) override { position_.set(x, y, z); }
    int32_t getPlayPositionMs() override { return 0; }

    // The test ends the sound as a device would.
    void end() { state_ = 0; }
    int id() const { return id_; }

private:
    int id_;
    std::shared_ptr<FakeLog> log_;
    bool playable_;
    int32_t state_ = 0;
};

}  // namespace audiotest
