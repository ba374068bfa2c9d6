// Frames per second of N textured quads per frame drawn through the quad
// batcher (consecutive quads of one material in one draw) against the same
// quads drawn with one material set-up and one draw call each.
//
//   quad_batch_bench [seconds per measurement]
//
// Needs an X display with OpenGL: run it as `xvfb-run -a quad_batch_bench`.
#include "engine/core/RefCounted.h"
#include "engine/io/IrrRef.h"
#include "engine/visual/QuadBatcher.h"
#include "engine/visual/RenderContext.h"
#include "engine/visual/TextureSource.h"

#include <irrlicht.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using namespace engine;

namespace {

struct BenchTexture : ITextureSource {
    explicit BenchTexture(irr::video::ITexture* texture) : texture(texture) {}
    irr::video::ITexture* getDriverTexture() const override { return texture; }
    irr::video::ITexture* texture;
};

enum class Mode { Batched, OneDrawPerQuad };

// Draws frames for about `seconds` and answers the frames per second.
double measure(irr::IrrlichtDevice* device, QuadBatcher* batcher, const std::vector<QuadRecord>& quads, Mode mode,
               double seconds) {
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    using Clock = std::chrono::steady_clock;
    auto drawFrame = [&] {
        driver->beginScene(true, false, irr::video::SColor(255, 0, 0, 0));
        batcher->flush();
        batcher->begin();
        for (const QuadRecord& quad : quads) {
            batcher->addQuad(&quad);
            if (mode == Mode::OneDrawPerQuad) batcher->flush();
        }
        batcher->end();
        driver->endScene();
        device->run();
    };
    drawFrame();  // warm-up: first texture use, first state set-up
    const Clock::time_point start = Clock::now();
    int frames = 0;
    double elapsed = 0.0;
    do {
        drawFrame();
        ++frames;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < seconds || frames < 5);
    return frames / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: %s [seconds per measurement]\n", argv[0]);
        return 2;
    }
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_OPENGL;
    params.WindowSize = irr::core::dimension2d<irr::u32>(800, 600);
    params.Bits = 32;
    params.Vsync = false;
    params.LoggingLevel = irr::ELL_NONE;
    IrrRef<irr::IrrlichtDevice> device(irr::createDeviceEx(params));
    if (!device || device->getVideoDriver()->getDriverType() != irr::video::EDT_OPENGL) {
        std::fprintf(stderr, "Could not open an OpenGL window; run under xvfb-run -a\n");
        return 1;
    }
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);

    IrrRef<irr::video::IImage> image(
        driver->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(16, 16)));
    for (irr::u32 y = 0; y < 16; ++y)
        for (irr::u32 x = 0; x < 16; ++x) image->setPixel(x, y, irr::video::SColor(255, x * 16, y * 16, 128));
    CountedRef<BenchTexture> texture(new BenchTexture(driver->addTexture("bench", image.get())));
    CountedRef<RenderContext> context(new RenderContext(driver));
    Material material;
    material.setTexture(texture.get());

    std::printf("renderer: %s\n", driver->getName() ? irr::core::stringc(driver->getName()).c_str() : "?");
    std::printf("%8s %14s %16s %8s\n", "quads", "batched fps", "per-quad fps", "ratio");
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> xs(0.f, 784.f), ys(0.f, 584.f);
    for (int count : {100, 1000, 5000, 20000}) {
        std::vector<QuadRecord> quads(count);
        for (QuadRecord& q : quads) {
            const float x = xs(random), y = ys(random);
            q.material = &material;
            const irr::video::SColor colour(200, 255, 255, 255);
            q.vertices[0] = irr::video::S3DVertex(x, y, 1, 0, 0, 0, colour, 0, 0);
            q.vertices[1] = irr::video::S3DVertex(x + 16, y, 1, 0, 0, 0, colour, 1, 0);
            q.vertices[2] = irr::video::S3DVertex(x + 16, y + 16, 1, 0, 0, 0, colour, 1, 1);
            q.vertices[3] = irr::video::S3DVertex(x, y + 16, 1, 0, 0, 0, colour, 0, 1);
        }
        const double batched = measure(device.get(), context->getQuadBatcher(), quads, Mode::Batched, seconds);
        const double single = measure(device.get(), context->getQuadBatcher(), quads, Mode::OneDrawPerQuad, seconds);
        std::printf("%8d %14.1f %16.1f %7.1fx\n", count, batched, single, batched / single);
        std::fflush(stdout);
    }
    context.reset();
    return 0;
}
