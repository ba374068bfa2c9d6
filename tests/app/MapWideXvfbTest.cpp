// The whole map of the real program on a wide screen: a private 1600 x 900 X
// server, the program in full screen with the shipped content, and a player
// whose saved progress is written before each start (after level 1, after
// level 6, near the end). New Game opens the map,
// which is shot as the screen shows it (letterboxed: the 4:3 picture 1200
// pixels wide, 200 pixels in) to screenshots/map-wide-<moment>.png in the
// test's folder; the test checks the bars and that the map drew there.
#include "app/ProgramTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace program_test;

namespace {

constexpr int kWidth = 1600, kHeight = 900;
constexpr float kScale = kHeight / 768.0f;
constexpr int kLeft = (kWidth - 1200) / 2;

// A point of the virtual screen on the real one.
int screenX(float x) { return kLeft + static_cast<int>(x * kScale); }
int screenY(float y) { return static_cast<int>(y * kScale); }

class MapWideTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.file("runtime"));
        std::filesystem::create_directories(root.file("home"));
        std::filesystem::create_directories(root.file("data/Brightwick/Lodgeroo"));
    }

    bool startServer() {
        server = std::make_unique<XServer>(kWidth, kHeight);
        if (!server->isRunning()) return false;
        setenv("DISPLAY", server->display().c_str(), 1);
        probe = std::make_unique<device_test::XProbe>();
        return probe->isOpen();
    }

    // The saved progress the program finds: full screen, one player with the
    // last finished location and the scores given, tutorials off.
    void writeProfile(int maxUnlocked, const std::string& scores) {
        std::ofstream(root.file("data/Brightwick/Lodgeroo/profile.dat"))
            << "<?xml version=\"1.0\"?>\n<Profiles>\n<CommonProfile>\n"
               "<Parameters><bool Name=\"FullScreen\" Value=\"true\" /></Parameters>\n</CommonProfile>\n"
               "<Profile Name=\"Ann\" Active=\"true\">\n<Parameters>\n"
            << "<int Name=\"MaxUnlockedLevelIndex\" Value=\"" << maxUnlocked << "\" />\n"
            << "<int Name=\"LevelIndex\" Value=\"" << maxUnlocked + 1 << "\" />\n"
            << "<string Name=\"Scores\" Value=\"" << scores << "\" />\n"
            << "<bool Name=\"ShowTutorialOn\" Value=\"false\" />\n</Parameters>\n</Profile>\n</Profiles>\n";
    }

    std::vector<std::string> environment() const {
        return {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + root.file("data"),
                "XDG_RUNTIME_DIR=" + root.file("runtime"), "HOME=" + root.file("home"), "ALSOFT_DRIVERS=null",
                "ENGINE_DEBUG_LOG=1"};
    }

    void xdotool(const std::vector<std::string>& arguments) {
        ProgramRun tool("/usr/bin/xdotool", {"DISPLAY=" + server->display()}, root.file("xdotool.log"), arguments);
        int status = -2;
        ASSERT_TRUE(tool.waitForExit(5000, status) && status == 0) << tool.log();
    }

    // Starts the program, presses New Game on the main menu and shoots the
    // map once it has settled.
    void shootMap(const std::string& moment) {
        std::filesystem::remove(root.file("runtime") + "/Lodgeroo_Game_Instance.lock");
        ProgramRun game(LODGEROO_PROGRAM, environment(), root.file(moment + ".log"));
        ASSERT_TRUE(game.started());
        uint64_t window = 0;
        waitUntil(15000, [&] { return (window = instanceWindow(root.file("runtime"))) != 0; });
        ASSERT_NE(window, 0u) << game.log();
        ASSERT_TRUE(waitUntil(30000, [&] { return game.countInLog("Loaded scene node: scenes/MainMenuScene.oscn") > 0; }))
            << game.log();
        // New Game (the menu's first button, 256 x 52 at (78, 262)), pressed
        // once the menu has slid in.
        const int x = screenX(78 + 128), y = screenY(262 + 26);
        ASSERT_TRUE(waitUntil(15000, [&] {
            xdotool({"mousemove", std::to_string(x), std::to_string(y)});
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            xdotool({"click", "1"});
            return waitUntil(1500, [&] { return game.countInLog("Loaded scene node: scenes/MapScene.oscn") > 0; });
        })) << game.log();
        // Away from every location, then time for the map's opening.
        xdotool({"mousemove", std::to_string(screenX(330)), std::to_string(screenY(740))});
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        Frame frame;
        ASSERT_TRUE(probe->capture(window, frame.pixels, frame.width, frame.height));
        frame.save("screenshots/map-wide-" + moment + ".png");
        EXPECT_EQ(frame.width, kWidth);
        EXPECT_EQ(frame.height, kHeight);
        for (int bx : {0, 100, kLeft - 2, kWidth - kLeft + 2, kWidth - 1})
            EXPECT_TRUE(near(frame.at(bx, kHeight / 2), 0xFF000000u)) << "bar at x " << bx;
        std::set<uint32_t> colours;
        for (int py = 0; py < kHeight; py += 20)
            for (int px = kLeft; px < kWidth - kLeft; px += 20) colours.insert(frame.at(px, py));
        EXPECT_GT(colours.size(), 20u) << "the map drew next to nothing";
        EXPECT_EQ(game.countInLog("Unable to"), 0u) << game.log();
        probe->sendCloseRequest(window);
        int status = -2;
        EXPECT_TRUE(game.waitForExit(5000, status)) << game.log();
        EXPECT_EQ(status, 0) << game.log();
    }

    testing_support::TempDir root;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
};

}  // namespace

TEST_F(MapWideTest, WholeMapAtTheFirstVisitAfterLevelSixAndNearTheEndFillsTheWideScreensPictureBetweenItsBars) {
    if (!startServer()) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
    // New Game first opens the map once level 1 is finished.
    writeProfile(0, "1500");
    ASSERT_NO_FATAL_FAILURE(shootMap("first-visit"));
    writeProfile(5, "1000;3000;2500;4000;2900;9000");
    ASSERT_NO_FATAL_FAILURE(shootMap("after-level-6"));
    writeProfile(36,
                 "2000;3000;5000;2900;3300;6400;4100;800;9000;5000;5300;5700;6100;6500;13800;1000;7300;7700;8100;"
                 "8500;17800;18600;19400;600;10500;10900;11300;11700;12100;24200;13000;700;12900;26000;13700;14100;"
                 "29000");
    ASSERT_NO_FATAL_FAILURE(shootMap("near-the-end"));
}
