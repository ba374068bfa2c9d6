#pragma once
// Reads what has been drawn into the back buffer of the OpenGL driver. Under
// Xvfb with Mesa the driver's own screenshot reads the front buffer and comes
// back black, so screenshots and pixel tests read the back buffer instead:
// call this after drawing and before IVideoDriver::endScene.
#include <irrlicht.h>

namespace engine {

// A new A8R8G8B8 image of the driver's screen size, top row first, which the
// caller drops; null (logged) when the driver is not OpenGL or the screen is empty.
irr::video::IImage* captureBackBuffer(irr::video::IVideoDriver* driver);

}  // namespace engine
