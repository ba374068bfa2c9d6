// The engine end to end in a real window: the device opens OpenGL in an X11
// window of 1024 x 768, the test makes the content manager, the timer
// schedulers and the scene managers as the game does, mounts a folder of
// content it wrote, and opens scene files from a first scene through the
// content manager. Frames come from the device's run loop and are drawn by a
// stand-in for the game object through the first scene manager; the back
// buffer is read before the frame ends. Input sent to the X server with
// xdotool reaches the controls of the open scene, and the window manager's
// close request ends the loop. Needs an X display (the suite runs under
// Xvfb); without one the tests are skipped.
#include "engine/content/CContentManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/ContentType.h"
#include "engine/core/ControlNode.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/Font.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"
#include "visual/SceneDrawContent.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace engine;
using device_test::FrameDrawer;
using device_test::FrameScript;
using device_test::GameManagers;
using device_test::RecordingReceiver;
using device_test::ScriptStep;
using testing_support::LogCapture;

namespace {

// Sprites of both blended material types over the blue background, and two
// controls, "Left" and "Right", each with a grey face 64 pixels wide; the
// arrow keys move the focus between them. Image paths are relative to the
// scene file's folder ("scenes/images/...").
const char* const kPlayScene = R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode">
  <Properties>
    <string Name="Name" Value="Play"/>
    <vector3d Name="Bounds" Value="1024;768;0"/>
  </Properties>
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="blend"/>
      <vector3d Name="Position" Value="100;100;0"/>
      <color Name="TintColor" Value="80ffffff"/>
      <atlasTexture Name="AtlasTexture" Value="images/red.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="add"/>
      <vector3d Name="Position" Value="200;100;0"/>
      <int Name="BlendType" Value="1"/>
      <color Name="TintColor" Value="ff404040"/>
      <atlasTexture Name="AtlasTexture" Value="images/olive.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="addHalf"/>
      <vector3d Name="Position" Value="300;100;0"/>
      <int Name="BlendType" Value="1"/>
      <color Name="TintColor" Value="80404040"/>
      <atlasTexture Name="AtlasTexture" Value="images/olive.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="ControlNode">
    <Properties>
      <string Name="Name" Value="Left"/>
      <vector3d Name="Position" Value="100;300;0"/>
      <string Name="NavRightObjectName" Value="Right"/>
    </Properties>
    <SceneNode Type="SpriteNode">
      <Properties>
        <atlasTexture Name="AtlasTexture" Value="images/grey.png"/>
      </Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="ControlNode">
    <Properties>
      <string Name="Name" Value="Right"/>
      <vector3d Name="Position" Value="300;300;0"/>
      <string Name="NavLeftObjectName" Value="Left"/>
    </Properties>
    <SceneNode Type="SpriteNode">
      <Properties>
        <atlasTexture Name="AtlasTexture" Value="images/grey.png"/>
      </Properties>
    </SceneNode>
  </SceneNode>
</SceneNode>
)";

class EngineXvfbTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            SKIP_OR_FAIL_UNDER_CI() << "X window tests: no X display (DISPLAY is not set); run under xvfb-run -a "
                                       "(tools/test.sh does)";
        lock = std::make_unique<device_test::XDisplayLock>();
        device = CountedRef<EngineDevice>(device_test::createWindowTestDevice(L"Engine Test"));
        ASSERT_TRUE(device);
        game = makeRef<FrameDrawer>(device.get());
        ASSERT_TRUE(device->addEventReceiver(game.get(), 0));

        if (!device->applyVideoParameters(device_test::openGLWindowParameters()))
            SKIP_OR_FAIL_UNDER_CI() << "X window tests: could not open an OpenGL window on display " << display;
        device_test::pinOpenGLDriverModules();
        ASSERT_TRUE(probe.isOpen());

        managers = std::make_unique<GameManagers>(device.get());
        game->managers = {managers->scenes[0].get()};
        game->beforeEnd = [this] {
            if (!captureNextFrame) return;
            captureNextFrame = false;
            captured = CountedRef<Image>(device->createScreenShot());
        };
        // The game mounts its assets folder the same way.
        ASSERT_TRUE(device->getFileSystem()->addFileArchive(folder.path().string().c_str(), true, false));
    }

    void TearDown() override {
        if (probe.isOpen()) probe.focusFollowsPointer();
        base.reset();
        managers.reset();
        game.reset();
        device.reset();
        lock.reset();
    }

    uintptr_t window() const { return device->getWindowHandle(); }
    std::string id() const { return std::to_string(window()); }
    SceneManager* scenes() const { return managers->scenes[0].get(); }

    void xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        ASSERT_EQ(device_test::runProgram(arguments), 0) << "xdotool " << arguments[1];
    }

    // An opaque image of one colour, written into the mounted folder.
    void writeImage(const std::string& path, uint32_t width, uint32_t height, uint32_t argb) {
        CountedRef<Image> image = scene_draw::makeImage(width, height, [argb](uint32_t, uint32_t) { return argb; });
        std::filesystem::create_directories(std::filesystem::path(folder.file(path)).parent_path());
        IrrRef<irr::io::IWriteFile> file(device->getFileSystem()->createAndWriteFile(folder.file(path).c_str(), false));
        ASSERT_TRUE(file) << path;
        ASSERT_TRUE(ImageManager::instance().writeImage(image.get(), file.get())) << path;
    }

    // The game's way to a scene file: a first scene made with the content
    // manager becomes current, and it opens the file over itself.
    SceneNode* openScene(const char* path) {
        const CreationContext context(managers->content.get(), "");
        base = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
        base->setName(makeNameId("Base"));
        if (!scenes()->setScene(base.get())) return nullptr;
        return base->openScene(path, false);
    }

    // Runs the loop through the steps; the device is closed after the last.
    void play(std::vector<ScriptStep> steps) {
        FrameScript script(device.get(), std::move(steps));
        game->onFrame = [&] { script.onFrame(); };
        EXPECT_TRUE(device->run());
        game->onFrame = nullptr;
        EXPECT_TRUE(script.finished()) << "the loop ended before the script did, at step " << script.current();
    }

    // Frames until the scene is the top and its opening transition is over.
    ScriptStep sceneOpen(SceneNode* scene) {
        return {"scene open", nullptr, [this, scene] {
                    return game->frames >= 3 && scenes()->getTopScene() == scene && !scenes()->isBusy(scene);
                }};
    }
    ScriptStep capture() {
        return {"capture", [this] { captureNextFrame = true; }, [this] { return bool(captured); }};
    }

    LogCapture log;
    testing_support::TempDir folder;
    std::unique_ptr<device_test::XDisplayLock> lock;
    CountedRef<EngineDevice> device;
    CountedRef<FrameDrawer> game;
    std::unique_ptr<GameManagers> managers;
    CountedRef<SceneNode> base;
    device_test::XProbe probe;
    bool captureNextFrame = false;
    CountedRef<Image> captured;
};

// Type 24 multiplies the texel by the vertex colour and blends with its alpha;
// type 25 adds the vertex colour to the texel and blends the same way.
TEST_F(EngineXvfbTest, BlendedAndAdditiveSpritesDrawThroughTheSceneManager) {
    writeImage("scenes/images/red.png", 32, 32, 0xFFFF0000u);
    writeImage("scenes/images/olive.png", 32, 32, 0xFF643200u);
    writeImage("scenes/images/grey.png", 64, 64, 0xFF808080u);
    folder.write("scenes/Play.oscn", kPlayScene);
    if (HasFatalFailure()) return;
    SceneNode* scene = openScene("scenes/Play.oscn");
    ASSERT_TRUE(scene);
    const struct {
        const char* name;
        int32_t blendType;
        irr::video::E_MATERIAL_TYPE materialType;
    } sprites[] = {{"blend", 0, irr::video::E_MATERIAL_TYPE(24)},
                   {"add", 1, irr::video::E_MATERIAL_TYPE(25)},
                   {"addHalf", 1, irr::video::E_MATERIAL_TYPE(25)}};
    for (const auto& s : sprites) {
        SpriteNode* sprite = asSpriteNode(scene->findChild(makeNameId(s.name)));
        ASSERT_TRUE(sprite) << s.name;
        EXPECT_EQ(sprite->getBlendType(), s.blendType) << s.name;
        EXPECT_EQ(sprite->getMaterial().getMaterialType(), s.materialType) << s.name;
    }
    ASSERT_TRUE(device->getRenderContext());
    EXPECT_EQ(device->getRenderContext()->getMaterialTypeIds().alphaVertexBlend, 24);
    EXPECT_EQ(device->getRenderContext()->getMaterialTypeIds().alphaVertexAdd, 25);

    game->clear = irr::video::SColor(255, 0, 0, 255);
    play({sceneOpen(scene), capture()});
    ASSERT_TRUE(captured);
    ASSERT_EQ(captured->getWidth(), 1024);
    ASSERT_EQ(captured->getHeight(), 768);

    const struct {
        const char* what;
        int32_t x, y;
        uint32_t argb;
    } pixels[] = {
        // Red at half opacity over blue.
        {"blend first pixel", 100, 100, 0xFF80007Fu}, {"blend last pixel", 131, 131, 0xFF80007Fu},
        {"left of blend", 99, 110, 0xFF0000FFu},      {"below blend", 110, 132, 0xFF0000FFu},
        // (100, 50, 0) raised by 64 per channel, opaque.
        {"add", 215, 115, 0xFFA47240u},
        // The same at half opacity over blue.
        {"add at half opacity", 315, 115, 0xFF52399Fu},
        // The controls' faces, and the covered first scene hidden under them.
        {"left face", 130, 330, 0xFF808080u},         {"right face", 363, 363, 0xFF808080u},
        {"between the faces", 200, 330, 0xFF0000FFu}, {"corner", 1023, 767, 0xFF0000FFu},
    };
    for (const auto& p : pixels)
        EXPECT_TRUE(scene_draw::near(captured->getPixel(p.x, p.y), p.argb, 2))
            << p.what << " at " << p.x << ", " << p.y << ": " << scene_draw::rgb(captured->getPixel(p.x, p.y))
            << " instead of " << scene_draw::rgb(p.argb);
    EXPECT_FALSE(base->isVisible());
    EXPECT_FALSE(log.hasErrors());
}

// The pointer and the keys, sent to the X server, reach the controls of the
// top scene as the engine's events: hover, press (press preview, then
// pressed, which the control posts through the manager and which bubbles up
// to the scene), and the arrow keys moving the focus between the named
// siblings.
TEST_F(EngineXvfbTest, PointerAndKeysReachTheControlsOfTheOpenScene) {
    writeImage("scenes/images/red.png", 32, 32, 0xFFFF0000u);
    writeImage("scenes/images/olive.png", 32, 32, 0xFF643200u);
    writeImage("scenes/images/grey.png", 64, 64, 0xFF808080u);
    folder.write("scenes/Play.oscn", kPlayScene);
    if (HasFatalFailure()) return;
    SceneNode* scene = openScene("scenes/Play.oscn");
    ASSERT_TRUE(scene);
    ControlNode* left = nodeCast<ControlNode>(scene->findChild(makeNameId("Left")));
    ControlNode* right = nodeCast<ControlNode>(scene->findChild(makeNameId("Right")));
    ASSERT_TRUE(left && right);
    auto leftSeen = makeRef<RecordingReceiver>("Left");
    auto rightSeen = makeRef<RecordingReceiver>("Right");
    auto sceneSeen = makeRef<RecordingReceiver>("Play");
    left->addListener(leftSeen.get());
    right->addListener(rightSeen.get());
    scene->addListener(sceneSeen.get());

    size_t rightFocused = 0;
    play({
        sceneOpen(scene),
        {"pointer onto Left",
         [&] {
             probe.raise(window());
             xdotool({"mousemove", "--window", id(), "132", "332"});
         },
         [&] { return left->isHovered(); }},
        {"click on Left", [&] { xdotool({"click", "--window", id(), "1"}); },
         [&] { return leftSeen->count(EventId::NodePressedEvent) > 0; }},
        {"right arrow",
         [&] {
             rightFocused = rightSeen->count(EventId::NodeFocusedEvent);
             xdotool({"key", "--window", id(), "Right"});
         },
         [&] { return right->isFocused() && rightSeen->count(EventId::NodeFocusedEvent) > rightFocused; }},
        {"left arrow", [&] { xdotool({"key", "--window", id(), "Left"}); }, [&] { return left->isFocused(); }},
    });

    // The button reached the control at the pointer, in window coordinates.
    const device_test::Seen* down = leftSeen->last(EventId::LeftButtonDownEvent);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->x, 132);
    EXPECT_EQ(down->y, 332);
    EXPECT_TRUE(leftSeen->count(EventId::NodeHoveredEvent) > 0);
    EXPECT_FALSE(right->isHovered());
    EXPECT_FALSE(left->isPressed());
    EXPECT_FALSE(left->isPressPending());
    // The press preview comes before the pressed event, once each.
    std::vector<int32_t> press;
    for (const auto& s : leftSeen->seen)
        if (s.type == EventId::NodePressPreviewEvent || s.type == EventId::NodePressedEvent) press.push_back(s.type);
    EXPECT_EQ(press, (std::vector<int32_t>{EventId::NodePressPreviewEvent, EventId::NodePressedEvent}));
    EXPECT_EQ(rightSeen->count(EventId::NodePressedEvent), 0u);
    // The pressed event bubbles from the control up to the scene, where the
    // game's scenes handle it.
    EXPECT_EQ(sceneSeen->count(EventId::NodePressedEvent), 1u);
    EXPECT_GT(leftSeen->count(EventId::NodeUnfocusedEvent), 0u);
    EXPECT_FALSE(right->isFocused());

    left->removeListener(leftSeen.get());
    right->removeListener(rightSeen.get());
    scene->removeListener(sceneSeen.get());
}

// With the scenes in place, the window manager's close request (which the
// game does not keep) destroys the window: the open scene hears of it, and
// the loop ends.
TEST_F(EngineXvfbTest, ClosingTheWindowEndsTheRunWithTheScenesInPlace) {
    folder.write("scenes/Empty.oscn", "<?xml version=\"1.0\"?>\n<SceneNode Type=\"SceneNode\"/>\n");
    SceneNode* scene = openScene("scenes/Empty.oscn");
    ASSERT_TRUE(scene);
    auto seen = makeRef<RecordingReceiver>("scene");
    scene->addListener(seen.get());

    FrameScript script(device.get(),
                       {sceneOpen(scene),
                        {"close", [&] { probe.sendCloseRequest(window()); }, [] { return false; }}},  // the loop ends
                       false);
    game->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    game->onFrame = nullptr;
    EXPECT_EQ(script.current(), 1u);
    EXPECT_EQ(seen->count(EventId::CEventSystemFlowCloseRequest), 1u);
    EXPECT_EQ(seen->count(EventId::ApplicationCloseEvent), 1u);
    EXPECT_TRUE(log.contains("WM_DESTROY command received"));
    EXPECT_FALSE(log.contains("closeDevice() was called"));
    EXPECT_FALSE(probe.isMapped(window()));
    EXPECT_EQ(scenes()->getTopScene(), scene);
    scene->removeListener(seen.get());
}

// The sprites-and-text scene of the visual tests, drawn by the scene manager
// in the device's window: the atlas from the packer and the font from the
// builder load through the device's content manager from the mounted folder,
// and the text is localised through the device's dictionary.
TEST_F(EngineXvfbTest, SpritesPanelAndTextDrawThroughTheDeviceAndTheSceneManager) {
    if (!std::filesystem::exists(scene_draw::kSans))
        SKIP_OR_FAIL_UNDER_CI() << "no DejaVu font (fonts-dejavu-core) at " << scene_draw::kSans;
    fontbuild::FontBuilder builder;
    scene_draw::writeSceneDrawContent(folder, builder);
    if (HasFatalFailure()) return;
    CountedRef<Content> atlas(managers->content->load(ContentType::AtlasTextureCollection, "ui.xml", false));
    ASSERT_TRUE(atlas);
    ASSERT_TRUE(device->getDictionary()->load("strings/Dictionary.xml"));
    SceneNode* scene = openScene("scene.oscn");
    ASSERT_TRUE(scene);
    TextNode* text = nodeCast<TextNode>(scene->findChild(makeNameId("text")));
    ASSERT_TRUE(text && text->getFont());
    ASSERT_EQ(text->getLineCount(), 2u);
    EXPECT_EQ(std::wstring(text->getLine(0).c_str()), L"Hello");
    EXPECT_EQ(std::wstring(text->getLine(1).c_str()), L"world");

    play({sceneOpen(scene), capture()});
    ASSERT_TRUE(captured);
    const scene_draw::PixelReader pixel = [&](uint32_t x, uint32_t y) {
        return captured->getPixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
    };
    scene_draw::expectSpritesAndPanel(pixel);
    scene_draw::expectTextLinesRightAligned(pixel, text->getFont()->getLineHeight());
    EXPECT_FALSE(log.hasErrors());
}

}  // namespace
