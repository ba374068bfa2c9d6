#pragma once
// The creation parameters of the engine device and its video driver. A copy
// takes every field except the version text, which stays the one the copy was
// built with (the version its own code was compiled against).
#include <cstdint>

namespace engine {

// The version text callers are built against; the device compares it once.
constexpr const char* kEngineVersionText = "1.4.2";

namespace VideoDriverType {
constexpr int32_t Null = 0;      // no display needed, no window
constexpr int32_t Direct3D8 = 1;  // OpenGL on Linux
constexpr int32_t Direct3D9 = 2;  // OpenGL on Linux
constexpr int32_t OpenGL = 3;
}  // namespace VideoDriverType

struct DeviceParameters;
// The record under the name the game knows it by.
using EngineCreationParameters = DeviceParameters;

struct DeviceParameters {
    DeviceParameters() = default;
    DeviceParameters(const DeviceParameters& other) { copyFrom(other); }
    DeviceParameters& operator=(const DeviceParameters& other) {
        if (this != &other) copyFrom(other);
        return *this;
    }

    int32_t driverType = VideoDriverType::Null;
    int32_t windowWidth = 800;  // client area
    int32_t windowHeight = 600;
    uint32_t colorBits = 16;
    // Kept as given; the OpenGL window is made without a depth buffer
    // (see IrrlichtDisplayHost).
    uint8_t zBufferBits = 16;
    bool fullscreen = false;
    bool stencilBuffer = false;
    bool vsync = false;
    uint8_t antiAlias = 0;
    // In full screen, width and height become the desktop's.
    bool desktopSize = false;
    bool withAlphaChannel = false;
    bool doubleBuffer = true;
    bool ignoreInput = false;
    bool stereoBuffer = false;
    bool highPrecisionFPU = false;
    // An existing X window to draw into (0: none). After the device made its
    // own window it stores that window's id here.
    uintptr_t windowHandle = 0;
    const char* versionText = kEngineVersionText;

private:
    void copyFrom(const DeviceParameters& o) {
        driverType = o.driverType;
        windowWidth = o.windowWidth;
        windowHeight = o.windowHeight;
        colorBits = o.colorBits;
        zBufferBits = o.zBufferBits;
        fullscreen = o.fullscreen;
        stencilBuffer = o.stencilBuffer;
        vsync = o.vsync;
        antiAlias = o.antiAlias;
        desktopSize = o.desktopSize;
        withAlphaChannel = o.withAlphaChannel;
        doubleBuffer = o.doubleBuffer;
        ignoreInput = o.ignoreInput;
        stereoBuffer = o.stereoBuffer;
        highPrecisionFPU = o.highPrecisionFPU;
        windowHandle = o.windowHandle;
    }
};

}  // namespace engine
