#pragma once
// What the scene manager needs of the batch its scenes draw into. The visual
// part's quad batcher implements it and tells the manager how to find the
// batch that belongs to a video driver (SceneManager::setDriverBatchFinder).
#include "engine/core/RefCounted.h"

namespace irr::video {
class IVideoDriver;
}

namespace engine {

class IDrawBatch : public virtual RefCounted {
public:
    // Starts a frame's drawing with an empty batch.
    virtual void begin() = 0;
    // Draws what is queued and ends the frame's drawing.
    virtual void end() = 0;
    // Draws what is queued, so that something drawn on its own comes after it.
    virtual void flush() = 0;
};

// The batch that belongs to the driver, or null.
using DriverBatchFinder = IDrawBatch* (*)(irr::video::IVideoDriver* driver);

}  // namespace engine
