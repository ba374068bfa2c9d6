#include "engine/visual/BackBufferCapture.h"

#include "engine/core/Logger.h"

#include <GL/gl.h>
#include <cstring>
#include <vector>

namespace engine {

irr::video::IImage* captureBackBuffer(irr::video::IVideoDriver* driver) {
    if (!driver || driver->getDriverType() != irr::video::EDT_OPENGL) {
        logError("Back buffer capture needs the OpenGL driver");
        return nullptr;
    }
    const irr::core::dimension2d<irr::u32> size = driver->getScreenSize();
    if (size.Width == 0 || size.Height == 0) {
        logError("Back buffer capture: the screen has no size");
        return nullptr;
    }
    irr::video::IImage* image = driver->createImage(irr::video::ECF_A8R8G8B8, size);
    if (!image) {
        logError("Back buffer capture: could not create the image");
        return nullptr;
    }

    const size_t rowBytes = static_cast<size_t>(size.Width) * 4;
    std::vector<irr::u8> pixels(rowBytes * size.Height);
    GLint readBuffer = GL_BACK;
    GLint packAlignment = 4;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // BGRA bytes are the little-endian layout of A8R8G8B8.
    glReadPixels(0, 0, static_cast<GLsizei>(size.Width), static_cast<GLsizei>(size.Height), GL_BGRA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glReadBuffer(static_cast<GLenum>(readBuffer));

    // OpenGL's rows start at the bottom.
    irr::u8* target = static_cast<irr::u8*>(image->lock());
    const irr::u32 pitch = image->getPitch();
    for (irr::u32 y = 0; y < size.Height; ++y)
        std::memcpy(target + static_cast<size_t>(y) * pitch, &pixels[(size.Height - 1 - y) * rowBytes], rowBytes);
    image->unlock();
    return image;
}

}  // namespace engine
