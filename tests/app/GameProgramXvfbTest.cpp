// The real program end to end, each start on a private X server of its own
// screen size: the logo, the intro's bar and the main menu as the screen shows
// them, the letterbox in full screen, a second start, the window manager's
// close request, the profile written at the first start, and the sound the
// menu plays through OpenAL Soft's wave-file backend. Screens are saved as
// PNG files under "screenshots/" in the test's folder.
#include "app/ProgramTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

using namespace program_test;

namespace {

constexpr uint32_t RED = 0xFFFF0000u, GREEN = 0xFF00FF00u, GREY = 0xFF808080u, BLUE = 0xFF0000FFu,
                   BLACK = 0xFF000000u;

// Content made for the test: one red logo of 256 x 128 at (384, 320), an
// intro whose 800 x 40 bar at (112, 600) fills green over grey, and a blue
// main menu that plays "MenuMusic" (a looping tone) when it opens.
void writeContent(const std::string& assets, bool withLogo) {
    auto write = [&](const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(assets + "/" + path).parent_path());
        std::ofstream(assets + "/" + path) << text;
    };
    if (withLogo) {
        writeImage(assets + "/logos/Red.png", 256, 128, RED);
        write("logos/Logos.xml", R"(<Logos><Logo Image="logos/Red.png" Time="1200" Skippable="true"/></Logos>)");
    } else {
        // Broken optional files: each is logged and skipped.
        write("logos/Logos.xml", "<Logos><Logo Image=\"logos/Red.png");
        write("atlases/Buildings.xml", "<AtlasTextureCollection><Texture Filename=");
        write("scenes/ParticleCollection.xml", "not xml at all");
        write("scenes/TemplateCollection.oscn", "<SceneNode Type=\"TemplateCollectionNode\"><SceneNode");
        write("levels/common/BuildingsConfiguration.xml", "<BuildingsConfiguration><Building>");
    }
    writeImage(assets + "/scenes/images/Green.png", 8, 8, GREEN);
    writeImage(assets + "/scenes/images/Grey.png", 8, 8, GREY);
    writeImage(assets + "/scenes/images/Blue.png", 8, 8, BLUE);
    write("strings/Dictionary.xml", R"(<Dictionary><s n="TitleName">Lodgeroo Test</s></Dictionary>)");
    write("scenes/LogosScene.oscn", R"(<?xml version="1.0"?>
<SceneNode Type="GLogosScene"><Properties><vector3d Name="Bounds" Value="1024;768;0"/></Properties>
 <SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Scene"/></Properties>
  <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Logo1"/><vector3d Name="Position" Value="384;320;0"/></Properties></SceneNode>
  <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Logo2"/><vector3d Name="Position" Value="384;320;0"/></Properties></SceneNode>
 </SceneNode>
</SceneNode>)");
    const char* const stretched = R"(<int Name="ImageStretchX" Value="1"/><int Name="ImageStretchY" Value="1"/>)";
    write("scenes/IntroScene.oscn", std::string(R"(<?xml version="1.0"?>
<SceneNode Type="GIntroScene">
 <SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Scene"/></Properties>
  <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="ProgressBg"/><vector3d Name="Position" Value="112;600;0"/><vector3d Name="Bounds" Value="800;40;0"/>)") +
              stretched + R"(<atlasTexture Name="AtlasTexture" Value="images/Grey.png"/></Properties></SceneNode>
  <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Progress"/><vector3d Name="Position" Value="112;600;1"/><vector3d Name="Bounds" Value="0;40;0"/>)" +
              stretched + R"(<atlasTexture Name="AtlasTexture" Value="images/Green.png"/></Properties></SceneNode>
 </SceneNode>
</SceneNode>)");
    write("scenes/MainMenuScene.oscn", std::string(R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode">
 <SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Scene"/></Properties>
  <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Bg"/><vector3d Name="Bounds" Value="1024;768;0"/>)") +
              stretched + R"(<atlasTexture Name="AtlasTexture" Value="images/Blue.png"/></Properties></SceneNode>
  <SceneNode Type="SoundNode"><Properties><string Name="SoundCueName" Value="MenuMusic"/><bool Name="Play" Value="true"/></Properties></SceneNode>
 </SceneNode>
</SceneNode>)");
    write("sounds/SoundPack.xml", R"(<SoundPack><SoundCue Name="MenuMusic" GroupID="1" Loop="true"><Sound Filename="Tone.wav"/></SoundCue></SoundPack>)");
    writeTone(assets + "/sounds/Tone.wav", 2, 440.0);
}

std::string profileText(const std::string& dataHome) {
    std::ifstream in(dataHome + "/Brightwick/Lodgeroo/profile.dat", std::ios::binary);
    std::string text;
    for (char c; in.get(c);)
        if (c != '\0') text += c;  // the file is UTF-16; its text is ASCII
    return text;
}

// The common profile with full screen switched off (the file is UTF-16).
void switchFullScreenOff(const std::string& dataHome) {
    const std::string path = dataHome + "/Brightwick/Lodgeroo/profile.dat";
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    in.close();
    const auto wide = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            out += c;
            out += '\0';
        }
        return out;
    };
    std::string profile = bytes.str();
    const std::string on = wide(R"(Name="FullScreen" Value="true")"), off = wide(R"(Name="FullScreen" Value="false")");
    const size_t at = profile.find(on);
    ASSERT_NE(at, std::string::npos);
    profile.replace(at, on.size(), off);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << profile;
}

// One start of the program beside test content, on its own X server.
class GameProgramTest : public ::testing::Test {
protected:
    // False when no X server could be started and reached.
    bool startServer(int width, int height) {
        server = std::make_unique<XServer>(width, height);
        if (!server->isRunning()) return false;
        setenv("DISPLAY", server->display().c_str(), 1);
        probe = std::make_unique<device_test::XProbe>();
        return probe->isOpen();
    }

    // The program copied into a folder of its own beside the test content.
    std::string installProgram(bool withLogo) {
        const std::string folder = root.file("game");
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(LODGEROO_PROGRAM, folder + "/lodgeroo");
        std::filesystem::permissions(folder + "/lodgeroo", std::filesystem::perms::owner_all);
        writeContent(folder + "/assets", withLogo);
        return folder + "/lodgeroo";
    }

    std::vector<std::string> environment(std::vector<std::string> extra = {}) const {
        std::vector<std::string> env = {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + root.file("data"),
                                        "XDG_RUNTIME_DIR=" + root.file("runtime"), "HOME=" + root.file("home"),
                                        "ALSOFT_DRIVERS=null", "ENGINE_DEBUG_LOG=1"};
        for (const std::string& entry : extra) {
            const std::string name = entry.substr(0, entry.find('=') + 1);
            bool replaced = false;
            for (std::string& current : env) {
                if (current.compare(0, name.size(), name) != 0) continue;
                current = entry;
                replaced = true;
            }
            if (!replaced) env.push_back(entry);
        }
        return env;
    }

    void SetUp() override {
        std::filesystem::create_directories(root.file("runtime"));
        std::filesystem::create_directories(root.file("home"));
    }

    // The game's window, once it stored it.
    uint64_t waitForWindow() {
        uint64_t window = 0;
        waitUntil(10000, [&] { return (window = instanceWindow(root.file("runtime"))) != 0; });
        return window;
    }

    // Reads frames of the window until the condition holds; the last frame.
    bool waitForFrame(uint64_t window, int timeoutMs, const std::function<bool(const Frame&)>& condition,
                      Frame& frame) {
        return waitUntil(timeoutMs, [&] {
            return probe->capture(window, frame.pixels, frame.width, frame.height) && condition(frame);
        });
    }

    // Closes the window as the window manager's close button does; the
    // program must end with status 0. How long it took is printed, not
    // asserted: a loaded machine or a sanitizer's exit-time scan stretches it.
    void closeAndExpectCleanExit(ProgramRun& game, uint64_t window) {
        const auto sent = std::chrono::steady_clock::now();
        probe->sendCloseRequest(window);
        int status = -2;
        ASSERT_TRUE(game.waitForExit(5000, status)) << game.log();
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent).count();
        EXPECT_EQ(status, 0) << game.log();
        std::printf("the program took %lld ms to end\n", static_cast<long long>(ms));
    }

    // Starts the program once in full screen (which writes the profile),
    // switches full screen off, starts it again and checks its window.
    void runWindowed(int screenWidth, int screenHeight, int width, int height) {
        if (!startServer(screenWidth, screenHeight)) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
        const std::string program = installProgram(false);
        const auto blueAtCentre = [](const Frame& f) { return near(f.at(f.width / 2, f.height / 2), BLUE); };
        Frame frame;
        {
            ProgramRun first(program, environment(), root.file("first.log"));
            const uint64_t window = waitForWindow();
            ASSERT_NE(window, 0u) << first.log();
            ASSERT_TRUE(waitForFrame(window, 10000, blueAtCentre, frame)) << first.log();
            closeAndExpectCleanExit(first, window);
        }
        ASSERT_NO_FATAL_FAILURE(switchFullScreenOff(root.file("data")));
        std::filesystem::remove(root.file("runtime") + "/Lodgeroo_Game_Instance.lock");
        ProgramRun game(program, environment(), root.file("game.log"));
        const uint64_t window = waitForWindow();
        ASSERT_NE(window, 0u) << game.log();
        ASSERT_TRUE(waitForFrame(window, 10000, blueAtCentre, frame)) << game.log();
        const std::string size = std::to_string(screenWidth) + "x" + std::to_string(screenHeight);
        frame.save("screenshots/window-on-" + size + ".png");
        EXPECT_EQ(frame.width, width) << size;
        EXPECT_EQ(frame.height, height) << size;
        // The 4:3 picture fills the window to its edges.
        for (int x : {1, width - 2}) EXPECT_TRUE(near(frame.at(x, height / 2), BLUE)) << size << " x " << x;
        for (int y : {1, height - 2}) EXPECT_TRUE(near(frame.at(width / 2, y), BLUE)) << size << " y " << y;
        closeAndExpectCleanExit(game, window);
    }

    testing_support::TempDir root;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
};

#define START_SERVER(w, h) \
    if (!startServer(w, h)) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started"

}  // namespace

TEST_F(GameProgramTest, StartsThroughLogoAndIntroToTheMenuWithBarsOnAWideScreen) {
    START_SERVER(1600, 900);
    const std::string program = installProgram(true);
    ProgramRun game(program, environment(), root.file("game.log"));
    ASSERT_TRUE(game.started());
    const uint64_t window = waitForWindow();
    ASSERT_NE(window, 0u) << game.log();

    // Full screen at 1600 x 900: the 4:3 picture is 1200 wide, 200 pixels in.
    Frame frame;
    ASSERT_TRUE(waitForFrame(window, 10000, [](const Frame& f) { return near(f.at(800, 450), RED); }, frame))
        << game.log();
    frame.save("screenshots/first-logo-1600x900.png");
    EXPECT_EQ(frame.width, 1600);
    EXPECT_EQ(frame.height, 900);
    EXPECT_TRUE(near(frame.at(660, 390), RED));  // the logo's corner: 200 + 384 x 1.171875
    EXPECT_TRUE(near(frame.at(640, 390), BLACK));

    // The intro's bar: green from its left end, grey at its right end.
    auto barPartFilled = [](const Frame& f) {
        const int y = static_cast<int>(620 * 900 / 768.0);
        return near(f.at(200 + static_cast<int>(120 * 900 / 768.0), y), GREEN) &&
               near(f.at(200 + static_cast<int>(900 * 900 / 768.0), y), GREY);
    };
    ASSERT_TRUE(waitForFrame(window, 10000, barPartFilled, frame)) << game.log();
    frame.save("screenshots/intro-1600x900.png");

    ASSERT_TRUE(waitForFrame(window, 10000, [](const Frame& f) { return near(f.at(800, 450), BLUE); }, frame))
        << game.log();
    frame.save("screenshots/main-menu-1600x900.png");
    for (int x : {0, 100, 199, 1400, 1599}) EXPECT_TRUE(near(frame.at(x, 450), BLACK)) << "bar at x " << x;
    for (int x : {201, 1398}) EXPECT_TRUE(near(frame.at(x, 450), BLUE)) << "picture at x " << x;

    // A second start while the first runs ends at once with status 0.
    ProgramRun second(program, environment(), root.file("second.log"));
    int status = -2;
    ASSERT_TRUE(second.waitForExit(3000, status));
    EXPECT_EQ(status, 0) << second.log();

    // The first start wrote the common profile with its defaults.
    const std::string profile = profileText(root.file("data"));
    for (const char* entry : {R"(<bool Name="FullScreen" Value="true" />)", R"(<bool Name="WindowsCursor" Value="false" />)",
                              R"(<bool Name="VSync" Value="true" />)", R"(<int Name="AntiAlias" Value="0" />)",
                              R"(<int Name="VideoDriver" Value="1" />)"})
        EXPECT_NE(profile.find(entry), std::string::npos) << entry << " in\n" << profile;

    EXPECT_EQ(game.countInLog("No sound: OpenAL plays to its null backend"), 1u) << game.log();
    closeAndExpectCleanExit(game, window);
}

TEST_F(GameProgramTest, FillsANearlyFourThirdsScreenWithoutBars) {
    START_SERVER(1280, 1024);
    ProgramRun game(installProgram(false), environment(), root.file("game.log"));
    const uint64_t window = waitForWindow();
    ASSERT_NE(window, 0u) << game.log();
    Frame frame;
    ASSERT_TRUE(waitForFrame(window, 10000, [](const Frame& f) { return near(f.at(640, 512), BLUE); }, frame))
        << game.log();
    frame.save("screenshots/main-menu-1280x1024.png");
    EXPECT_EQ(frame.width, 1280);
    for (int x : {0, 1, 1278, 1279}) EXPECT_TRUE(near(frame.at(x, 512), BLUE)) << "x " << x;
    for (int y : {0, 1023}) EXPECT_TRUE(near(frame.at(640, y), BLUE)) << "y " << y;

    // The developer code, then Control + Shift + S: the next free screenshot
    // number in the user data folder.
    const std::string data = root.file("data/Brightwick/Lodgeroo/");
    for (int n = 0; n < 3; ++n) std::ofstream(data + "screenshot" + std::to_string(n) + ".jpg") << "taken";
    for (const std::vector<std::string>& keys : {std::vector<std::string>{"type", "--delay", "30", "mildcove"},
                                                 std::vector<std::string>{"key", "ctrl+shift+s"}}) {
        ProgramRun xdotool("/usr/bin/xdotool", {}, root.file("xdotool.log"), keys);
        int status = -2;
        ASSERT_TRUE(xdotool.waitForExit(5000, status) && status == 0) << xdotool.log();
    }
    // The file appears before the writer has filled it: wait for its bytes.
    ASSERT_TRUE(waitUntil(5000, [&] {
        std::error_code error;
        return std::filesystem::file_size(data + "screenshot3.jpg", error) > 1000 && !error;
    })) << game.log();
    std::ifstream shot(data + "screenshot3.jpg", std::ios::binary);
    char magic[2] = {};
    shot.read(magic, 2);
    EXPECT_EQ(static_cast<unsigned char>(magic[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(magic[1]), 0xD8);  // a JPEG file
    closeAndExpectCleanExit(game, window);
}

// A player who switched full screen off, on a screen smaller than 1024 x 768
// or not as high: the window is the largest 4:3 size that fits, and the
// picture fills it.
TEST_F(GameProgramTest, AWindowOnAWideLowScreenFitsItsHeight) { runWindowed(1280, 720, 960, 720); }

TEST_F(GameProgramTest, AWindowOnASmallScreenFitsIt) { runWindowed(800, 600, 800, 600); }

// A bare X server (no window manager, no other client) that resets whenever
// its last client leaves, as Xvfb and xvfb-run do by default: every start
// reaches its window, so the program never leaves the server without a
// connection of its own while it starts.
TEST_F(GameProgramTest, StartsEveryTimeOnABareServerThatResets) {
    server = std::make_unique<XServer>(1024, 768, true);
    if (!server->isRunning()) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
    const std::string program = installProgram(false);
    const std::string lock = root.file("runtime/Lodgeroo_Game_Instance.lock");
    for (int start = 1; start <= 20; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        // The window the last start stored is not this start's.
        std::filesystem::remove(lock);
        ProgramRun game(program, environment(), root.file("start" + std::to_string(start) + ".log"));
        ASSERT_TRUE(game.started());
        int status = -2;
        bool ended = false;
        const bool decided = waitUntil(30000, [&] {
            return instanceWindow(root.file("runtime")) != 0 || (ended = game.waitForExit(0, status));
        });
        ASSERT_TRUE(decided) << "no window after 30 s\n" << game.log();
        ASSERT_FALSE(ended) << "ended with status " << status << "\n" << game.log();
        EXPECT_EQ(game.countInLog("Could not open display"), 0u) << game.log();
    }
}

TEST_F(GameProgramTest, AStartWithoutTheLogosSceneEndsWithStatusOne) {
    START_SERVER(1024, 768);
    const std::string program = installProgram(false);
    std::filesystem::remove(root.file("game/assets/scenes/LogosScene.oscn"));
    ProgramRun game(program, environment(), root.file("game.log"));
    int status = -2;
    ASSERT_TRUE(game.waitForExit(10000, status)) << game.log();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(game.countInLog("Failed to initialize game"), 1u) << game.log();
}

TEST_F(GameProgramTest, AStartWithoutContentNamesBothPlacesAndEndsWithStatusOne) {
    if (std::filesystem::exists(LODGEROO_DATA_FOLDER "/assets.oca") ||
        std::filesystem::exists(LODGEROO_DATA_FOLDER "/assets"))
        GTEST_SKIP() << "the game is installed in " << LODGEROO_DATA_FOLDER;
    const std::string folder = root.file("bare");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(LODGEROO_PROGRAM, folder + "/lodgeroo");
    ProgramRun game(folder + "/lodgeroo", {"XDG_RUNTIME_DIR=" + root.file("runtime")}, root.file("game.log"));
    int status = -2;
    ASSERT_TRUE(game.waitForExit(5000, status)) << game.log();
    EXPECT_EQ(status, 1);
    const std::string log = game.log();
    EXPECT_EQ(game.countInLog("No game content"), 1u) << log;
    EXPECT_NE(log.find(folder), std::string::npos) << log;
    EXPECT_NE(log.find(LODGEROO_DATA_FOLDER), std::string::npos) << log;
}

TEST_F(GameProgramTest, MenuMusicReachesTheSoundOutput) {
    START_SERVER(1024, 768);
    const std::string wave = root.file("out.wav");
    const std::string conf = root.file("alsoft.conf");
    std::ofstream(conf) << "[general]\ndrivers=wave\n[wave]\nfile=" << wave << "\n";
    ProgramRun game(installProgram(false), environment({"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + conf}),
                    root.file("game.log"));
    const uint64_t window = waitForWindow();
    ASSERT_NE(window, 0u) << game.log();
    Frame frame;
    ASSERT_TRUE(waitForFrame(window, 10000, [](const Frame& f) { return near(f.at(512, 384), BLUE); }, frame))
        << game.log();
    // The music fades in over two seconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    closeAndExpectCleanExit(game, window);
    const double rms = waveRms(wave);
    if (rms < 0 && game.log().find("Failed to open the OpenAL audio device") != std::string::npos)
        SKIP_OR_FAIL_UNDER_CI() << "no sound output: OpenAL's wave backend could not be opened";
    EXPECT_GT(rms, 0.01) << "recorded " << wave << "\n" << game.log();
}

namespace {

// The share of the frame that is not black.
double litShare(const Frame& frame) {
    size_t lit = 0;
    for (uint32_t pixel : frame.pixels)
        if (!near(pixel, BLACK, 8)) ++lit;
    return frame.pixels.empty() ? 0.0 : static_cast<double>(lit) / frame.pixels.size();
}

// Where a node of the intro's "Scene" stands in the file (position and
// bounds in virtual units), read as the program reads it.
bool introNode(const std::string& file, const char* name, float& x, float& y, float& width, float& height) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string xml = text.str();
    const size_t at = xml.find(std::string("Value=\"") + name + "\"");
    if (at == std::string::npos) return false;
    auto vector = [&](const char* key, float& a, float& b) {
        const size_t k = xml.find(std::string("Name=\"") + key + "\" Value=\"", at);
        if (k == std::string::npos) return false;
        return std::sscanf(xml.c_str() + xml.find("Value=\"", k) + 7, "%f;%f", &a, &b) == 2;
    };
    return vector("Position", x, y) && vector("Bounds", width, height);
}

}  // namespace

// The shipped content, when the build made it: the first logo, the intro with
// its bar part-filled and the main menu, each seen on the screen.
TEST_F(GameProgramTest, ShippedContentShowsLogoIntroAndMenu) {
    const std::filesystem::path folder = std::filesystem::path(LODGEROO_PROGRAM).parent_path();
    if (!std::filesystem::exists(folder / "assets") && !std::filesystem::exists(folder / "assets.oca"))
        SKIP_OR_FAIL_UNDER_CI() << "the content was not built beside " << LODGEROO_PROGRAM;
    START_SERVER(1280, 1024);
    // The mix goes to a file, so the menu music can be heard there.
    const std::string wave = root.file("out.wav");
    const std::string conf = root.file("alsoft.conf");
    std::ofstream(conf) << "[general]\ndrivers=wave\n[wave]\nfile=" << wave << "\n";
    ProgramRun game(LODGEROO_PROGRAM, environment({"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + conf}),
                    root.file("game.log"));
    const uint64_t window = waitForWindow();
    ASSERT_NE(window, 0u) << game.log();
    Frame frame;

    // The first logo fades in over the background: the middle of the screen
    // then differs from its corner.
    ASSERT_TRUE(waitForFrame(window, 10000, [&](const Frame& f) {
        return game.countInLog("Loaded atlas texture: logos/") > 0 && litShare(f) > 0.01 &&
               !near(f.at(640, 512), f.at(2, 2), 40);
    }, frame)) << game.log();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the rest of the fade
    ASSERT_TRUE(probe->capture(window, frame.pixels, frame.width, frame.height));
    frame.save("screenshots/shipped-first-logo.png");

    // The bar: its left end shows the loaded part, its right end not yet.
    float x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(introNode((folder / "assets/scenes/IntroScene.oscn").string(), "ProgressBg", x, y, width, height));
    const double sx = 1280 / 1024.0, sy = 1024 / 768.0;
    const int row = static_cast<int>((y + height / 2) * sy);
    const int left = static_cast<int>((x + 6) * sx), right = static_cast<int>((x + width - 6) * sx);
    ASSERT_TRUE(waitForFrame(window, 15000, [&](const Frame& f) {
        return game.countInLog("Loaded scene node: scenes/IntroScene.oscn") > 0 &&
               game.countInLog("Loaded sound pack") > 0 && !near(f.at(left, row), f.at(right, row), 40);
    }, frame)) << game.log();
    frame.save("screenshots/shipped-intro.png");

    ASSERT_TRUE(waitUntil(15000, [&] { return game.countInLog("Loaded scene node: scenes/MainMenuScene.oscn") > 0; }))
        << game.log();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));  // its opening transition
    ASSERT_TRUE(probe->capture(window, frame.pixels, frame.width, frame.height));
    frame.save("screenshots/shipped-main-menu.png");
    EXPECT_GT(litShare(frame), 0.5);
    EXPECT_EQ(game.countInLog("Could not open the main menu"), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the music fades in
    closeAndExpectCleanExit(game, window);
    const double rms = waveRms(wave);
    if (rms < 0 && game.log().find("Failed to open the OpenAL audio device") != std::string::npos)
        SKIP_OR_FAIL_UNDER_CI() << "no sound output: OpenAL's wave backend could not be opened";
    EXPECT_GT(rms, 0.01) << "the shipped menu music recorded in " << wave << " is silent\n" << game.log();
}
