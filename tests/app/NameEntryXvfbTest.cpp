// The name input of the real program with the shipped content, typed into by
// xdotool on a German keyboard layout, in a UTF-8 locale: the
// first player's name is typed at once and confirmed with Enter, and so is a
// second one after "New player", without a click into the box. The names
// must reach the profile as typed (letters beyond ASCII included, no line
// break). Screens go to screenshots/name-entry-<moment>.png.
#include "app/ProgramTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace program_test;

namespace {

const std::filesystem::path kGameFolder = std::filesystem::path(LODGEROO_PROGRAM).parent_path();
const std::string kInputScene = "Loaded scene node: scenes/SelectPlayerInputNameScene.oscn";
// The centre of "New player" in the player list (scenes/SelectPlayerScene.oscn:
// a 256 x 52 button at 630, 518), on a 1024 x 768 screen.
constexpr int kNewPlayerX = 630 + 128, kNewPlayerY = 518 + 26;

// The profile file's text: UTF-16 LE on disk.
std::u16string profileText(const std::string& dataHome) {
    std::ifstream in(dataHome + "/Brightwick/Lodgeroo/profile.dat", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string raw = bytes.str();
    std::u16string text;
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
        text += static_cast<char16_t>(static_cast<uint8_t>(raw[i]) | (static_cast<uint8_t>(raw[i + 1]) << 8));
    return text;
}

class NameEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.file("runtime"));
        std::filesystem::create_directories(root.file("home"));
        std::filesystem::create_directories(root.file("data"));
    }

    bool startServer() {
        return startPrivateDisplay(server, probe);
    }

    void xdotool(const std::vector<std::string>& arguments) {
        ProgramRun tool("/usr/bin/xdotool", {"DISPLAY=" + server->display()}, root.file("xdotool.log"), arguments);
        int status = -2;
        ASSERT_TRUE(tool.waitForExit(10000, status) && status == 0) << tool.log();
    }

    // Waits until two captures a moment apart are the same: the screen has
    // settled (a scene's transition is over).
    // The player panel on the right of the menu stops changing; the street
    // and the sky behind it never do (cars, walkers and clouds go by).
    static bool samePanel(const Frame& a, const Frame& b) {
        if (a.pixels.empty() || a.width != b.width || a.height != b.height) return false;
        const int x0 = a.width * 555 / 1000, x1 = a.width * 925 / 1000;
        const int y0 = a.height * 26 / 100, y1 = a.height * 85 / 100;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (a.at(x, y) != b.at(x, y)) return false;
            }
        }
        return true;
    }

    bool waitForStillScreen(Frame& frame) {
        Frame previous;
        return waitUntil(10000, [&] {
            previous = frame;
            if (!probe->capture(window, frame.pixels, frame.width, frame.height)) return false;
            return samePanel(previous, frame);
        });
    }

    ::testing::AssertionResult profileHolds(const std::u16string& name) {
        const std::u16string entry = u"<Profile Name=\"" + name + u"\"";
        if (waitUntil(10000, [&] { return profileText(root.file("data")).find(entry) != std::u16string::npos; }))
            return ::testing::AssertionSuccess();
        std::string names;
        const std::u16string profile = profileText(root.file("data"));
        for (size_t at = profile.find(u"<Profile Name=\""); at != std::u16string::npos;
             at = profile.find(u"<Profile Name=\"", at + 1)) {
            names += " [";
            for (size_t i = at + 15; i < profile.size() && profile[i] != u'"'; ++i) names += "U+" + std::to_string(profile[i]) + " ";
            names += "]";
        }
        return ::testing::AssertionFailure() << "players:" << names;
    }

    testing_support::TempDir root;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
    uint64_t window = 0;
};

}  // namespace

TEST_F(NameEntryTest, GermanLettersAreTypedAtOnceAndEnterCreatesThePlayer) {
    if (!std::filesystem::exists(kGameFolder / "assets") && !std::filesystem::exists(kGameFolder / "assets.oca"))
        SKIP_OR_FAIL_UNDER_CI() << "the content was not built beside " << LODGEROO_PROGRAM;
    if (!startServer()) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
    // A German keyboard: xdotool finds a real key (with Shift for capitals)
    // for every letter typed below.
    {
        ProgramRun layout("/usr/bin/setxkbmap", {"DISPLAY=" + server->display()}, root.file("setxkbmap.log"), {"de"});
        int status = -2;
        ASSERT_TRUE(layout.waitForExit(10000, status) && status == 0) << layout.log();
    }
    ProgramRun game(LODGEROO_PROGRAM,
                    {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + root.file("data"),
                     "XDG_RUNTIME_DIR=" + root.file("runtime"), "HOME=" + root.file("home"), "ALSOFT_DRIVERS=null",
                     "ENGINE_DEBUG_LOG=1",
                     "LANG=C.UTF-8", "LC_ALL=C.UTF-8"},
                    root.file("game.log"));
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(waitUntil(15000, [&] { return (window = instanceWindow(root.file("runtime"))) != 0; })) << game.log();

    // Nobody has played yet: the name input opens over the list by itself.
    ASSERT_TRUE(waitUntil(30000, [&] { return game.countInLog(kInputScene) > 0; })) << game.log();
    Frame frame;
    ASSERT_TRUE(waitForStillScreen(frame)) << game.log();
    xdotool({"type", "--delay", "80", "J\u00fcrgen \u00d6\u00df"});
    ASSERT_TRUE(waitForStillScreen(frame));
    frame.save("screenshots/name-entry-german.png");
    xdotool({"key", "Return"});
    EXPECT_TRUE(profileHolds(u"J\u00fcrgen \u00d6\u00df")) << game.log();

    // The list again: "New player", then the name straight away.
    ASSERT_TRUE(waitForStillScreen(frame));
    const Frame list = frame;
    xdotool({"mousemove", std::to_string(kNewPlayerX), std::to_string(kNewPlayerY)});
    xdotool({"click", "1"});
    ASSERT_TRUE(waitUntil(10000, [&] {
        return probe->capture(window, frame.pixels, frame.width, frame.height) && !samePanel(frame, list);
    }));
    ASSERT_TRUE(waitForStillScreen(frame));
    frame.save("screenshots/name-entry-new-player.png");
    xdotool({"type", "--delay", "80", "Anna"});
    ASSERT_TRUE(waitForStillScreen(frame));
    frame.save("screenshots/name-entry-after-new-player.png");
    xdotool({"key", "Return"});
    EXPECT_TRUE(profileHolds(u"Anna")) << game.log();
    // Two players, and no name holds a line break.
    const std::u16string profile = profileText(root.file("data"));
    size_t players = 0;
    for (size_t at = profile.find(u"<Profile Name=\""); at != std::u16string::npos;
         at = profile.find(u"<Profile Name=\"", at + 1), ++players) {
        const std::u16string name = profile.substr(at + 15, profile.find(u'"', at + 15) - at - 15);
        EXPECT_EQ(name.find_first_of(u"\r\n"), std::u16string::npos);
    }
    EXPECT_EQ(players, 2u);
}
