// Frame time of N moving, alpha-blended 32 x 32 sprites from one texture with
// bilinear filtering, 1024 x 768, drawn three ways in one run:
//   engine     a scene manager with one scene of N SpriteNodes sharing one
//              atlas texture, driven as the game drives it: the device
//              delivers an update event (which moves every sprite) and a
//              render event (which begins the frame, draws the scenes and ends
//              the frame);
//   sfml-va    SFML's single vertex array, refilled every frame, one draw;
//   sfml-spr   SFML sprites, one draw per sprite.
// Each is measured in its own child process, in several alternating rounds,
// and the median frame time is printed with the engine's ratio to both. A frame with fixed positions is
// then read back from both the engine and SFML's vertex array and compared
// pixel by pixel ("the same picture").
//
//   sprite_scene_bench [--sprites N] [--seconds S] [--rounds R] [--clear-depth]
//                      [--engine-only]
//
// --clear-depth asks the engine to clear the depth buffer at each frame as
// well (its window has none, so only the request is measured);
// --engine-only measures the engine alone (for a profiler).
//
// Needs an X display with OpenGL (tools/bench-sprites.sh runs it under
// xvfb-run); LP_NUM_THREADS sets Mesa's rasteriser threads.
#include "engine/visual/TextureContent.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/BackBufferCapture.h"
#include "engine/visual/SpriteNode.h"

#include <SFML/Graphics.hpp>
#include <GL/gl.h>

#include <irrlicht.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace engine;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSprite = 32;
constexpr int kTexture = 64;  // the atlas; the sprite image is its top-left quarter

using Clock = std::chrono::steady_clock;

// RGBA pixels of the atlas: a soft disc (alpha falling off towards its edge)
// coloured by position, in the top-left 32 x 32; the rest a dull grey, never
// drawn (bilinear filtering at the quad's edge samples texel centres only).
std::vector<uint8_t> atlasPixels() {
    std::vector<uint8_t> rgba(kTexture * kTexture * 4, 0);
    for (int y = 0; y < kTexture; ++y) {
        for (int x = 0; x < kTexture; ++x) {
            uint8_t* p = &rgba[(y * kTexture + x) * 4];
            if (x >= kSprite || y >= kSprite) {
                p[0] = p[1] = p[2] = 90;
                p[3] = 255;
                continue;
            }
            const float dx = x + 0.5f - 16.f, dy = y + 0.5f - 16.f;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float a = d >= 16.f ? 0.f : (d <= 10.f ? 1.f : (16.f - d) / 6.f);
            p[0] = static_cast<uint8_t>(80 + x * 5);
            p[1] = static_cast<uint8_t>(60 + y * 6);
            p[2] = static_cast<uint8_t>(230 - x * 3);
            p[3] = static_cast<uint8_t>(a * 255.f + 0.5f);
        }
    }
    return rgba;
}

// Where sprite i is in frame f: a start and a velocity of its own, bouncing
// inside the screen. With fixed, every sprite stands at whole pixels.
struct Motion {
    std::vector<float> x0, y0, vx, vy;

    explicit Motion(int count) {
        std::mt19937 random(4242);
        std::uniform_real_distribution<float> xs(0.f, kWidth - kSprite), ys(0.f, kHeight - kSprite), vs(-3.f, 3.f);
        for (int i = 0; i < count; ++i) {
            x0.push_back(std::floor(xs(random)));
            y0.push_back(std::floor(ys(random)));
            vx.push_back(vs(random));
            vy.push_back(vs(random));
        }
    }
    static float bounce(float start, float velocity, int frame, float range) {
        float p = std::fmod(start + velocity * frame, 2.f * range);
        if (p < 0.f) p += 2.f * range;
        return p > range ? 2.f * range - p : p;
    }
    float x(int i, int frame) const { return bounce(x0[i], vx[i], frame, kWidth - kSprite); }
    float y(int i, int frame) const { return bounce(y0[i], vy[i], frame, kHeight - kSprite); }
};

// An RGB picture, top row first.
using Picture = std::vector<uint8_t>;

// Milliseconds per frame, medians over the measured frames: wall time, CPU
// time of the calling (main) thread, and CPU time of the whole process (the
// rasteriser's threads included). CPU times vary less than wall time on a
// machine that other work shares.
struct Timing {
    double wall = 0.0;
    double mainCpu = 0.0;
    double allCpu = 0.0;
};

double cpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double medianOf(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Runs frames for about `seconds` (at least 10) and answers the median times.
Timing timeFrames(const std::function<void(int)>& frame, double seconds) {
    for (int f = 0; f < 3; ++f) frame(f);  // warm-up: first texture use, buffers grown
    std::vector<double> wall, mainCpu, allCpu;
    const Clock::time_point start = Clock::now();
    for (int f = 3;; ++f) {
        const Clock::time_point t0 = Clock::now();
        const double main0 = cpuMs(CLOCK_THREAD_CPUTIME_ID), all0 = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        frame(f);
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        mainCpu.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - main0);
        allCpu.push_back(cpuMs(CLOCK_PROCESS_CPUTIME_ID) - all0);
        if (wall.size() >= 10 && std::chrono::duration<double>(Clock::now() - start).count() >= seconds) break;
    }
    return {medianOf(wall), medianOf(mainCpu), medianOf(allCpu)};
}

// ---- The engine -------------------------------------------------------------------

// Moves every sprite at each update, as a game's node animation would.
class SpriteMover : public EventReceiver {
public:
    SpriteMover(const Motion& motion, std::vector<SpriteNode*>& sprites) : motion_(motion), sprites_(sprites) {
        setMask(EventCategory::System);
    }
    bool handleEvent(Event* event) override {
        if (event->getTypeId() != EventId::UpdateEvent) return false;
        for (size_t i = 0; i < sprites_.size(); ++i) {
            const vector3df& p = sprites_[i]->getPosition();
            sprites_[i]->setPosition(vector3df(fixed_ ? motion_.x0[i] : motion_.x(static_cast<int>(i), frame_),
                                               fixed_ ? motion_.y0[i] : motion_.y(static_cast<int>(i), frame_), p.Z));
        }
        return false;
    }
    int frame_ = 0;
    bool fixed_ = false;

private:
    const Motion& motion_;
    std::vector<SpriteNode*>& sprites_;
};

// Draws a frame at each render event, as the game object does.
class FrameDrawer : public EventReceiver {
public:
    FrameDrawer(EngineDevice* device, SceneManager* scenes) : device_(device), scenes_(scenes) {
        setMask(EventCategory::System);
    }
    bool handleEvent(Event* event) override {
        if (event->getTypeId() != EventId::RenderEvent) return false;
        irr::video::IVideoDriver* driver = device_->getVideoDriver();
        if (!driver || !driver->beginScene(true, clearDepth, irr::video::SColor(255, 0, 0, 0))) return false;
        scenes_->drawScenes(driver);
        if (capture) {
            IrrRef<irr::video::IImage> image(captureBackBuffer(driver));
            picture.clear();
            for (int y = 0; image && y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const irr::video::SColor c = image->getPixel(x, y);
                    picture.insert(picture.end(), {static_cast<uint8_t>(c.getRed()), static_cast<uint8_t>(c.getGreen()),
                                                   static_cast<uint8_t>(c.getBlue())});
                }
        }
        driver->endScene();
        return false;
    }
    bool clearDepth = false;
    bool capture = false;
    Picture picture;

private:
    EngineDevice* device_;
    SceneManager* scenes_;
};

struct EngineResult {
    Timing ms;
    Picture picture;
};

bool runEngine(const Motion& motion, int count, double seconds, bool clearDepth, EngineResult& result) {
    DeviceParameters p;
    p.driverType = VideoDriverType::OpenGL;
    p.windowWidth = kWidth;
    p.windowHeight = kHeight;
    p.colorBits = 32;
    CountedRef<EngineDevice> device(createDevice(p, DeviceServices()));
    if (!device || !device->getVideoDriver()) {
        std::fprintf(stderr, "engine: no OpenGL device\n");
        return false;
    }
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
    driver->setTextureCreationFlag(irr::video::ETCF_ALWAYS_32_BIT, true);

    // The atlas texture all sprites share.
    const std::vector<uint8_t> rgba = atlasPixels();
    IrrRef<irr::video::IImage> image(
        driver->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(kTexture, kTexture)));
    for (int y = 0; y < kTexture; ++y)
        for (int x = 0; x < kTexture; ++x) {
            const uint8_t* c = &rgba[(y * kTexture + x) * 4];
            image->setPixel(x, y, irr::video::SColor(c[3], c[0], c[1], c[2]));
        }
    const CreationContext context;
    CountedRef<TextureContent> texture(
        new TextureContent(context, "bench-atlas.png", driver->addTexture("bench-atlas", image.get())));
    CountedRef<AtlasTextureContent> atlas(new AtlasTextureContent(
        context, texture.get(), rectf(0.f, 0.f, 0.5f, 0.5f), vector2df(0.f, 0.f), vector2df(0.f, 0.f)));

    // The game's set-up: a scheduler and a sorting scene manager, both
    // receivers of the device, and the frame drawer.
    CountedRef<TimerScheduler> scheduler(device->createTimerScheduler());
    device->addEventReceiver(scheduler.get(), 2);
    CountedRef<SceneManager> scenes(device->createSceneManager());
    scenes->setSortDrawList(true);
    scenes->setTimerScheduler(scheduler.get());
    device->addEventReceiver(scenes.get(), 2);

    CountedRef<SceneNode> scene(new SceneNode(&context, nullptr, nullptr));
    scene->setBounds(vector3df(kWidth, kHeight, 0.f));
    std::vector<SpriteNode*> sprites;
    for (int i = 0; i < count; ++i) {
        SpriteNode* sprite = new SpriteNode(&context, scene.get(), nullptr);
        sprite->setAtlasTexture(atlas.get());
        // Depths in creation order, so that the sorted draw list draws them
        // in the order SFML does.
        sprite->setPosition(vector3df(motion.x0[i], motion.y0[i], static_cast<float>(i)));
        sprites.push_back(sprite);
        sprite->release();
    }
    scenes->setScene(scene.get());

    CountedRef<SpriteMover> mover(new SpriteMover(motion, sprites));
    device->addEventReceiver(mover.get(), 1);
    CountedRef<FrameDrawer> drawer(new FrameDrawer(device.get(), scenes.get()));
    drawer->clearDepth = clearDepth;
    device->addEventReceiver(drawer.get(), 3);

    auto frame = [&](int f) {
        mover->frame_ = f;
        CountedRef<UpdateEvent> update(new UpdateEvent(16));
        device->deliverEvent(update.get());
        CountedRef<RenderEvent> render(new RenderEvent());
        device->deliverEvent(render.get());
    };
    result.ms = timeFrames(frame, seconds);

    // One frame at whole-pixel positions, read back.
    mover->fixed_ = true;
    drawer->capture = true;
    frame(0);
    result.picture = drawer->picture;

    device->removeEventReceiver(drawer.get());
    device->removeEventReceiver(mover.get());
    device->removeEventReceiver(scenes.get());
    scenes->setScene(nullptr);
    CountedRef<UpdateEvent> last(new UpdateEvent(16));
    device->deliverEvent(last.get());  // the old scene leaves
    scenes->setTimerScheduler(nullptr);
    device->removeEventReceiver(scheduler.get());
    scene.reset();
    scenes.reset();
    device->closeDevice();
    return true;
}

// ---- SFML ---------------------------------------------------------------------------

enum class SfmlMode { VertexArray, Sprites };

Picture readSfmlBackBuffer() {
    std::vector<uint8_t> rgba(kWidth * kHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Picture rgb;
    rgb.reserve(kWidth * kHeight * 3);
    for (int y = kHeight - 1; y >= 0; --y)
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* p = &rgba[(y * kWidth + x) * 4];
            rgb.insert(rgb.end(), {p[0], p[1], p[2]});
        }
    return rgb;
}

bool runSfml(const Motion& motion, int count, double seconds, SfmlMode mode, Timing& ms, Picture* picture) {
    sf::RenderWindow window(sf::VideoMode(kWidth, kHeight), "sprite bench", sf::Style::Titlebar | sf::Style::Close);
    if (!window.isOpen()) return false;
    window.setVerticalSyncEnabled(false);
    const std::vector<uint8_t> rgba = atlasPixels();
    sf::Image image;
    image.create(kTexture, kTexture, rgba.data());
    sf::Texture texture;
    if (!texture.loadFromImage(image)) return false;
    texture.setSmooth(true);

    sf::VertexArray quads(sf::Quads, static_cast<size_t>(count) * 4);
    std::vector<sf::Sprite> sprites(count, sf::Sprite(texture, sf::IntRect(0, 0, kSprite, kSprite)));
    bool fixed = false;
    auto place = [&](int f) {
        for (int i = 0; i < count; ++i) {
            const float x = fixed ? motion.x0[i] : motion.x(i, f);
            const float y = fixed ? motion.y0[i] : motion.y(i, f);
            if (mode == SfmlMode::Sprites) {
                sprites[i].setPosition(x, y);
                continue;
            }
            sf::Vertex* q = &quads[static_cast<size_t>(i) * 4];
            q[0].position = {x, y};
            q[1].position = {x + kSprite, y};
            q[2].position = {x + kSprite, y + kSprite};
            q[3].position = {x, y + kSprite};
            q[0].texCoords = {0.f, 0.f};
            q[1].texCoords = {static_cast<float>(kSprite), 0.f};
            q[2].texCoords = {static_cast<float>(kSprite), static_cast<float>(kSprite)};
            q[3].texCoords = {0.f, static_cast<float>(kSprite)};
        }
    };
    auto draw = [&] {
        window.clear(sf::Color::Black);
        if (mode == SfmlMode::VertexArray) {
            window.draw(quads, &texture);
        } else {
            for (const sf::Sprite& s : sprites) window.draw(s);
        }
    };
    auto frame = [&](int f) {
        sf::Event event;
        while (window.pollEvent(event)) {
        }
        place(f);
        draw();
        window.display();
    };
    ms = timeFrames(frame, seconds);
    if (picture) {
        fixed = true;
        place(0);
        draw();
        *picture = readSfmlBackBuffer();
        window.display();
    }
    window.close();
    return true;
}

// Runs one measurement in a child process, so that each side starts from a
// fresh process (its own GL context, heap and allocator settings) as a
// program of its own would; the child sends back the frame time and the
// picture through a pipe.
bool inChild(const std::function<bool(Timing&, Picture&)>& run, Timing& ms, Picture& picture) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(fds[0]);
        Timing childMs;
        Picture childPicture;
        const bool ok = run(childMs, childPicture);
        const uint64_t size = childPicture.size();
        bool written = ok && write(fds[1], &childMs, sizeof childMs) == sizeof childMs &&
                       write(fds[1], &size, sizeof size) == sizeof size;
        for (size_t at = 0; written && at < childPicture.size();) {
            const ssize_t n = write(fds[1], childPicture.data() + at, childPicture.size() - at);
            written = n > 0;
            at += written ? static_cast<size_t>(n) : 0;
        }
        close(fds[1]);
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    uint64_t size = 0;
    bool ok = read(fds[0], &ms, sizeof ms) == sizeof ms && read(fds[0], &size, sizeof size) == sizeof size;
    picture.assign(ok ? size : 0, 0);
    for (size_t at = 0; ok && at < picture.size();) {
        const ssize_t n = read(fds[0], picture.data() + at, picture.size() - at);
        ok = n > 0;
        at += ok ? static_cast<size_t>(n) : 0;
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(const std::vector<Timing>& v, double Timing::*field) {
    std::vector<double> values;
    for (const Timing& t : v) values.push_back(t.*field);
    return medianOf(values);
}

}  // namespace

int main(int argc, char** argv) {
    int count = 10000;
    double seconds = 2.0;
    int rounds = 3;
    bool clearDepth = false;
    bool engineOnly = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--sprites") && i + 1 < argc) {
            count = std::atoi(argv[++i]);
        } else if (!std::strcmp(a, "--seconds") && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (!std::strcmp(a, "--rounds") && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (!std::strcmp(a, "--clear-depth")) {
            clearDepth = true;
        } else if (!std::strcmp(a, "--engine-only")) {
            engineOnly = true;
        } else {
            std::fprintf(stderr, "usage: %s [--sprites N] [--seconds S] [--rounds R] [--clear-depth] [--engine-only]\n",
                         argv[0]);
            return 2;
        }
    }
    if (count < 1 || !(seconds > 0.0) || rounds < 1) {
        std::fprintf(stderr, "sprites, seconds and rounds must be positive\n");
        return 2;
    }
    const Motion motion(count);
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("sprites %d, %dx%d, LP_NUM_THREADS=%s, %d rounds of %.1f s, median frame times\n", count, kWidth,
                kHeight, threads ? threads : "(default)", rounds, seconds);

    std::vector<Timing> engineMs, vaMs, sprMs;
    Picture enginePicture, vaPicture;
    for (int r = 0; r < rounds; ++r) {
        Timing e, va, spr;
        Picture unused;
        const bool ran = inChild(
            [&](Timing& ms, Picture& picture) {
                EngineResult result;
                if (!runEngine(motion, count, seconds, clearDepth, result)) return false;
                ms = result.ms;
                picture = std::move(result.picture);
                return true;
            },
            e, enginePicture);
        if (!ran) {
            std::fprintf(stderr, "engine: no measurement\n");
            return 1;
        }
        if (engineOnly) {
            std::printf("  round %d: engine %.2f ms (main thread %.2f, all threads %.2f ms CPU)\n", r + 1, e.wall,
                        e.mainCpu, e.allCpu);
            continue;
        }
        const auto sfml = [&](SfmlMode mode) {
            return [&, mode](Timing& ms, Picture& picture) {
                return runSfml(motion, count, seconds, mode, ms, &picture);
            };
        };
        if (!inChild(sfml(SfmlMode::VertexArray), va, vaPicture) || !inChild(sfml(SfmlMode::Sprites), spr, unused)) {
            std::fprintf(stderr, "sfml: no measurement\n");
            return 1;
        }
        engineMs.push_back(e);
        vaMs.push_back(va);
        sprMs.push_back(spr);
        std::printf("  round %d: engine %.2f ms, sfml vertex array %.2f ms, sfml sprites %.2f ms\n", r + 1, e.wall,
                    va.wall, spr.wall);
        std::fflush(stdout);
    }
    if (engineOnly) return 0;
    std::printf("%-16s %10s %10s %10s   (median ms per frame)\n", "", "wall", "main CPU", "all CPU");
    const struct {
        const char* name;
        const std::vector<Timing>& times;
    } rows[] = {{"engine", engineMs}, {"sfml-va", vaMs}, {"sfml-sprites", sprMs}};
    for (const auto& row : rows)
        std::printf("%-16s %10.2f %10.2f %10.2f\n", row.name, median(row.times, &Timing::wall),
                    median(row.times, &Timing::mainCpu), median(row.times, &Timing::allCpu));
    for (const auto& other : {rows[1], rows[2]})
        std::printf("ratio to %-7s %10.2f %10.2f %10.2f\n", other.name + 5,
                    median(engineMs, &Timing::wall) / median(other.times, &Timing::wall),
                    median(engineMs, &Timing::mainCpu) / median(other.times, &Timing::mainCpu),
                    median(engineMs, &Timing::allCpu) / median(other.times, &Timing::allCpu));

    // The same picture: the engine's frame at whole-pixel positions against
    // SFML's vertex array at the same positions.
    if (enginePicture.size() != vaPicture.size() || enginePicture.empty()) {
        std::printf("picture: could not read both back buffers\n");
        return 1;
    }
    size_t differing = 0;
    int worst = 0;
    for (size_t i = 0; i < enginePicture.size(); i += 3) {
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(enginePicture[i + c] - vaPicture[i + c]));
        if (d) ++differing;
        worst = std::max(worst, d);
    }
    std::printf("picture: %zu of %d pixels differ, largest channel difference %d\n", differing, kWidth * kHeight,
                worst);
    return 0;
}
