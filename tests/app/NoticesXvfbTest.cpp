// The real program with the shipped content, damaged as a player's copy can
// be: a main menu cut off mid-file, a data folder that cannot be written. Each
// time the player is told once, on screen, and the game goes on. The screens
// are saved under "screenshots/" in the test's folder.
#include "app/ProgramTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

using namespace program_test;
namespace fs = std::filesystem;

namespace {

class NoticesTest : public ::testing::Test {
protected:
    void SetUp() override {
        shipped = fs::path(LODGEROO_PROGRAM).parent_path() / "assets";
        fs::create_directories(root.file("runtime"));
        fs::create_directories(root.file("home"));
    }

    bool startServer() {
        return startPrivateDisplay(server, probe);
    }

    // The program beside a copy of the shipped content the test may damage.
    std::string installProgram() {
        const std::string folder = root.file("game");
        fs::create_directories(folder);
        fs::copy_file(LODGEROO_PROGRAM, folder + "/lodgeroo");
        fs::permissions(folder + "/lodgeroo", fs::perms::owner_all);
        fs::copy(shipped, folder + "/assets", fs::copy_options::recursive);
        return folder + "/lodgeroo";
    }

    std::vector<std::string> environment() const {
        return {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + root.file("data"),
                "XDG_RUNTIME_DIR=" + root.file("runtime"), "HOME=" + root.file("home"), "ALSOFT_DRIVERS=null"};
    }

    // Waits for the notice in the log, lets the box finish opening, saves the
    // screen, then checks that no second notice follows and closes the game.
    void expectToldOnce(ProgramRun& game, const std::string& told, const std::string& screenshot) {
        uint64_t window = 0;
        ASSERT_TRUE(waitUntil(15000, [&] { return (window = instanceWindow(root.file("runtime"))) != 0; }))
            << game.log();
        ASSERT_TRUE(waitUntil(30000, [&] { return game.countInLog(told) > 0; })) << game.log();
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // the box's opening transition
        Frame frame;
        ASSERT_TRUE(probe->capture(window, frame.pixels, frame.width, frame.height));
        frame.save(screenshot);
        // The box's panel is drawn where the template puts it: not black.
        EXPECT_FALSE(near(frame.at(512, 250), 0xFF000000u, 8));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        EXPECT_EQ(game.countInLog(told), 1u) << game.log();
        EXPECT_EQ(game.countInLog("Told the player"), 1u) << game.log();
        probe->sendCloseRequest(window);
        int status = -2;
        ASSERT_TRUE(game.waitForExit(10000, status)) << game.log();
        EXPECT_EQ(status, 0) << game.log();
    }

    testing_support::TempDir root;
    fs::path shipped;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
};

#define NEEDS_SHIPPED_CONTENT_AND_SERVER()                                                        \
    if (!fs::exists(shipped / "scenes/MainMenuScene.oscn"))                                       \
        SKIP_OR_FAIL_UNDER_CI() << "the content was not built beside " << LODGEROO_PROGRAM;       \
    if (!startServer()) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started"

}  // namespace

TEST_F(NoticesTest, ACutOffMainMenuIsToldOnceNamingTheFile) {
    NEEDS_SHIPPED_CONTENT_AND_SERVER();
    const std::string program = installProgram();
    const std::string menu = root.file("game/assets/scenes/MainMenuScene.oscn");
    fs::resize_file(menu, fs::file_size(menu) * 2 / 5);
    ProgramRun game(program, environment(), root.file("game.log"));
    ASSERT_TRUE(game.started());
    expectToldOnce(game, "Told the player about the file scenes/MainMenuScene.oscn",
                   "screenshots/notice-cut-off-main-menu.png");
}

TEST_F(NoticesTest, ADataFolderThatCannotBeWrittenIsToldOnceAtTheStart) {
    NEEDS_SHIPPED_CONTENT_AND_SERVER();
    const std::string program = installProgram();
    // A file stands where the publisher's data folder belongs.
    fs::create_directories(root.file("data"));
    std::ofstream(root.file("data/Brightwick")) << "not a folder";
    ProgramRun game(program, environment(), root.file("game.log"));
    ASSERT_TRUE(game.started());
    expectToldOnce(game, "Told the player about the saved progress", "screenshots/notice-cannot-save.png");
    std::ifstream kept(root.file("data/Brightwick"));
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "not a folder");
}
