#pragma once
#include "support/DriverModules.h"
// Shared pieces of the visual tests: texture sources, a stand-in driver
// texture, and Irrlicht devices (the null driver needs no display; the OpenGL
// one needs X and is skipped without it).
#include "engine/io/IrrRef.h"
#include "engine/visual/TextureSource.h"

#include <irrlicht.h>
#include <cstdlib>
#include <string>

namespace visual_test {

// A texture source whose driver texture the test chooses and may swap.
struct TestTextureSource : engine::ITextureSource {
    explicit TestTextureSource(irr::video::ITexture* texture = nullptr) : texture(texture) {}
    irr::video::ITexture* getDriverTexture() const override { return texture; }
    irr::video::ITexture* texture;
};

// A driver texture that is only ever compared by address.
struct StubTexture : irr::video::ITexture {
    StubTexture() : irr::video::ITexture("stub") {}
    void* lock(irr::video::E_TEXTURE_LOCK_MODE, irr::u32) override { return nullptr; }
    void unlock() override {}
    const irr::core::dimension2d<irr::u32>& getOriginalSize() const override { return size; }
    const irr::core::dimension2d<irr::u32>& getSize() const override { return size; }
    irr::video::E_DRIVER_TYPE getDriverType() const override { return irr::video::EDT_NULL; }
    irr::video::ECOLOR_FORMAT getColorFormat() const override { return irr::video::ECF_A8R8G8B8; }
    irr::u32 getPitch() const override { return 0; }
    void regenerateMipMapLevels(void*) override {}
    irr::core::dimension2d<irr::u32> size;
};

// A device with Irrlicht's null driver: images and material-renderer lists work
// without any display.
inline engine::IrrRef<irr::IrrlichtDevice> createNullDevice() {
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_NULL;
    params.LoggingLevel = irr::ELL_NONE;
    return engine::IrrRef<irr::IrrlichtDevice>(irr::createDeviceEx(params));
}

using testing_support::pinOpenGLDriverModules;

// An OpenGL device with a window of the given size, or null with the reason
// when no display can be opened.
inline engine::IrrRef<irr::IrrlichtDevice> createOpenGLDevice(irr::u32 width, irr::u32 height, std::string* whyNot) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        if (whyNot) *whyNot = "no X display (DISPLAY is not set); run under xvfb-run -a";
        return nullptr;
    }
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_OPENGL;
    params.WindowSize = irr::core::dimension2d<irr::u32>(width, height);
    params.Bits = 32;
    params.LoggingLevel = irr::ELL_NONE;
    engine::IrrRef<irr::IrrlichtDevice> device(irr::createDeviceEx(params));
    if ((!device || !device->getVideoDriver() ||
         device->getVideoDriver()->getDriverType() != irr::video::EDT_OPENGL) && whyNot)
        *whyNot = std::string("could not open an OpenGL window on display ") + display;
    if (device && (!device->getVideoDriver() ||
                   device->getVideoDriver()->getDriverType() != irr::video::EDT_OPENGL))
        device.reset();
    if (device) pinOpenGLDriverModules();
    return device;
}

}  // namespace visual_test
