// A first-time player's play-through of the real program with the shipped
// content, on a private 1024 x 768 X server, by synthetic input alone
// (xdotool clicks at the places the scene files give and typed keys): the
// logos, the intro, the name input, the main menu, New Game, the loading
// scene and the objectives of level 1, level 1 with its tutorial, the way
// back to the main menu, the quit question, and a second start that finds the
// same player in the profile. Each stage waits for the program's log (scene
// loads, pressed nodes) instead of fixed times where it can; a screen of each
// stage is kept as screenshots/playthrough-NN-<stage>.png in the test's
// folder.
//
// kPlayLevelOneToTheEnd: following the tutorial to its last step, winning
// level 1, the completed scene and the score found after the second start.
// Off while level 1 cannot be finished by clicks in a test's time (see the
// play-through notes); with it off the tutorial is skipped after its first
// steps and the level is left through the in-game menu.
#include "app/ProgramTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

using namespace program_test;

namespace {

constexpr bool kPlayLevelOneToTheEnd = false;

const std::filesystem::path kGameFolder = std::filesystem::path(LODGEROO_PROGRAM).parent_path();

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool readVector(const std::string& properties, const char* key, float& x, float& y) {
    const std::regex pattern(std::string("Name=\"") + key + "\" Value=\"([-0-9.]+);([-0-9.]+)");
    std::smatch match;
    if (!std::regex_search(properties, match, pattern)) return false;
    x = std::stof(match[1]);
    y = std::stof(match[2]);
    return true;
}

// Where a node of a scene file stands on the 1024 x 768 screen: the sum of
// its own and its ancestors' positions, plus `origin` (where the program
// puts the file's root, for templates). `path` names the node, optionally
// after ancestors ("TutorialWindow/Button"). Templated controls without
// bounds of their own take their template's size.
struct Box {
    float x = 0, y = 0, width = 0, height = 0;
    int centreX() const { return static_cast<int>(x + width / 2); }
    int centreY() const { return static_cast<int>(y + height / 2); }
};

bool findNode(const std::string& file, const std::string& path, Box& box, float originX = 0, float originY = 0) {
    static const std::map<std::string, std::pair<float, float>> templateSizes = {
        {"Button", {256, 52}}, {"SmallButton", {130, 46}}, {"TutorialSkipLink", {160, 30}}};
    std::vector<std::string> names;
    for (size_t at = 0; at <= path.size();) {
        const size_t slash = path.find('/', at);
        names.push_back(path.substr(at, slash == std::string::npos ? std::string::npos : slash - at));
        at = slash == std::string::npos ? path.size() + 1 : slash + 1;
    }
    const std::string xml = readText(kGameFolder / "assets" / file);
    struct Open {
        std::string name;
        float x, y;
    };
    std::vector<Open> stack;
    const std::regex tag("<SceneNode\\b[^>]*>|</SceneNode>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::string text = it->str();
        if (text[1] == '/') {
            if (!stack.empty()) stack.pop_back();
            continue;
        }
        // The node's own properties come first, before its states and children.
        const size_t after = static_cast<size_t>(it->position() + it->length());
        const size_t start = xml.find_first_not_of(" \t\r\n", after);
        std::string properties;
        if (start != std::string::npos && xml.compare(start, 12, "<Properties>") == 0)
            properties = xml.substr(start, xml.find("</Properties>", start) - start);
        std::smatch match;
        const std::string name = std::regex_search(properties, match, std::regex("Name=\"Name\" Value=\"([^\"]*)\""))
                                     ? match[1].str()
                                     : std::string();
        float px = 0, py = 0;
        readVector(properties, "Position", px, py);
        const float baseX = stack.empty() ? originX : stack.back().x, baseY = stack.empty() ? originY : stack.back().y;
        stack.push_back({name, baseX + px, baseY + py});
        if (text.back() == '/' || text[text.size() - 2] == '/') stack.pop_back();
        if (name != names.back()) continue;
        // The ancestors named in the path, in order.
        size_t wanted = 0;
        for (size_t i = 0; i + 1 < stack.size() && wanted + 1 < names.size(); ++i)
            if (stack[i].name == names[wanted]) ++wanted;
        if (wanted + 1 != names.size()) continue;
        box.x = baseX + px;
        box.y = baseY + py;
        if (!readVector(properties, "Bounds", box.width, box.height) &&
            std::regex_search(properties, match, std::regex("Name=\"TemplateName\" Value=\"([^\"]*)\""))) {
            const auto size = templateSizes.find(match[1].str());
            if (size != templateSizes.end()) {
                box.width = size->second.first;
                box.height = size->second.second;
            }
        }
        return true;
    }
    return false;
}

// The profile file as text (UTF-16 on disk; the names and entries the test
// looks for are ASCII).
std::string profileText(const std::string& dataHome) {
    const std::string bytes = readText(dataHome + "/Brightwick/Lodgeroo/profile.dat");
    std::string text;
    for (char c : bytes)
        if (c != '\0') text += c;
    return text;
}

class PlayThroughTest : public ::testing::Test {
protected:
    bool startServer() {
        server = std::make_unique<XServer>(1024, 768);
        if (!server->isRunning()) return false;
        setenv("DISPLAY", server->display().c_str(), 1);
        probe = std::make_unique<device_test::XProbe>();
        return probe->isOpen();
    }

    void SetUp() override {
        std::filesystem::create_directories(root.file("runtime"));
        std::filesystem::create_directories(root.file("home"));
        std::filesystem::create_directories(root.file("data"));
    }

    std::vector<std::string> environment() const {
        return {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + root.file("data"),
                "XDG_RUNTIME_DIR=" + root.file("runtime"), "HOME=" + root.file("home"), "ALSOFT_DRIVERS=null"};
    }

    void start(const std::string& logName) {
        game = std::make_unique<ProgramRun>(LODGEROO_PROGRAM, environment(), root.file(logName));
        ASSERT_TRUE(game->started());
        window = 0;
        waitUntil(15000, [&] { return (window = instanceWindow(root.file("runtime"))) != 0; });
        ASSERT_NE(window, 0u) << game->log();
    }

    void xdotool(const std::vector<std::string>& arguments) {
        ProgramRun tool("/usr/bin/xdotool", {"DISPLAY=" + server->display()}, root.file("xdotool.log"), arguments);
        int status = -2;
        ASSERT_TRUE(tool.waitForExit(5000, status) && status == 0) << tool.log();
    }

    // Moves the pointer there, lets the node see the hover, then clicks.
    void clickAt(int x, int y) {
        xdotool({"mousemove", std::to_string(x), std::to_string(y)});
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        xdotool({"click", "1"});
    }

    // Clicks a node of a scene file and waits for the program to report it
    // pressed.
    void press(const std::string& file, const std::string& path, float originX = 0, float originY = 0) {
        Box box;
        ASSERT_TRUE(findNode(file, path, box, originX, originY)) << path << " in " << file;
        const std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        const std::string pressed = "Node was pressed: " + name + "\n";
        const size_t before = game->countInLog(pressed);
        clickAt(box.centreX(), box.centreY());
        ASSERT_TRUE(waitUntil(5000, [&] { return game->countInLog(pressed) > before; }))
            << "no press of " << path << " at " << box.centreX() << ", " << box.centreY() << "\n" << game->log();
    }

    void waitForLog(const std::string& fragment, size_t count = 1, int timeoutMs = 20000) {
        ASSERT_TRUE(waitUntil(timeoutMs, [&] { return game->countInLog(fragment) >= count; }))
            << "waited for \"" << fragment << "\"\n" << game->log();
    }

    // The screen after a moment for transitions, kept for people to look at.
    void shot(const std::string& stage, int settleMs = 700) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        Frame frame;
        ASSERT_TRUE(probe->capture(window, frame.pixels, frame.width, frame.height));
        char number[8];
        std::snprintf(number, sizeof number, "%02d", ++shots);
        frame.save("screenshots/playthrough-" + std::string(number) + "-" + stage + ".png");
    }

    void expectCleanExit() {
        int status = -2;
        ASSERT_TRUE(game->waitForExit(10000, status)) << game->log();
        EXPECT_EQ(status, 0) << game->log();
    }

    testing_support::TempDir root;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
    std::unique_ptr<ProgramRun> game;
    uint64_t window = 0;
    int shots = 0;
};

const char* const kLoaded = "Loaded scene node: ";
const std::string kMenu = "scenes/MainMenuScene.oscn";
const std::string kInputName = "scenes/SelectPlayerInputNameScene.oscn";
const std::string kSelectPlayer = "scenes/SelectPlayerScene.oscn";
const std::string kObjectives = "scenes/LevelObjectivesScene.oscn";
const std::string kHud = "scenes/GamePlayScene.oscn";
const std::string kInGameMenu = "scenes/InGameMenuScene.oscn";
const std::string kQuestion = "scenes/QuitConfirmationScene.oscn";
const std::string kTemplates = "scenes/TemplateCollection.oscn";
// Where the tutorial's first windows stand (levels/level1/Tutorial.xml).
constexpr float kTutorialWindowX = 300, kTutorialWindowY = 330;

}  // namespace

TEST_F(PlayThroughTest, AFirstPlayerGoesFromTheLogosThroughLevelOneAndFindsItselfAgain) {
    if (!std::filesystem::exists(kGameFolder / "assets") && !std::filesystem::exists(kGameFolder / "assets.oca"))
        SKIP_OR_FAIL_UNDER_CI() << "the content was not built beside " << LODGEROO_PROGRAM;
    if (!startServer()) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
    start("first.log");
    if (HasFatalFailure()) return;

    // Logos and intro run by themselves.
    waitForLog("Loaded atlas texture: logos/");
    shot("logos", 900);
    waitForLog(std::string(kLoaded) + "scenes/IntroScene.oscn");
    shot("intro", 900);

    // Nobody has played yet: the menu opens the name input over the list.
    waitForLog(kLoaded + kInputName, 1, 30000);
    shot("name-input");
    press(kInputName, "NameEdit");
    xdotool({"type", "--delay", "60", "Ann"});
    ASSERT_TRUE(waitUntil(3000, [&] { return game->countInLog("Value was changed: NameEdit") >= 3; })) << game->log();
    shot("name-typed", 200);
    press(kInputName, "OkButton");
    shot("player-list");
    press(kSelectPlayer, "OkButton");
    shot("main-menu");

    // New Game: level 1 through the loading scene to its objectives.
    press(kMenu, "NewGameButton");
    waitForLog(kLoaded + kObjectives, 1, 30000);
    shot("objectives", 900);
    press(kObjectives, "OkButton");

    // The tutorial greets the player; its OK goes on to the first lesson.
    shot("tutorial-welcome", 900);
    press(kTemplates, "TutorialWindow/Button", kTutorialWindowX, kTutorialWindowY);
    shot("tutorial-pick-place");

    if (kPlayLevelOneToTheEnd) {
        // Follows the lessons of levels/level1/Tutorial.xml, then plays on
        // until the objectives are met and the completed scene shows.
        ADD_FAILURE() << "playing level 1 to its end is not written yet";
        return;
    }

    // Out of the tutorial and through the in-game menu back to the main menu.
    press(kTemplates, "TutorialWindow/SkipTutorialButton", kTutorialWindowX, kTutorialWindowY);
    press(kHud, "MenuButton");
    waitForLog(kLoaded + kInGameMenu);
    shot("in-game-menu");
    const size_t menus = game->countInLog(kLoaded + kMenu);
    press(kInGameMenu, "MainMenuButton");
    shot("back-in-main-menu", 1200);
    (void)menus;

    // Quit through the menu and its question.
    press(kMenu, "QuitButton");
    waitForLog(kLoaded + kQuestion);
    shot("quit-question");
    press(kQuestion, "YesButton");
    expectCleanExit();
    if (HasFatalFailure()) return;

    const std::string profile = profileText(root.file("data"));
    EXPECT_NE(profile.find("Ann"), std::string::npos) << profile;

    // The second start goes straight to the menu and greets the same player.
    start("second.log");
    if (HasFatalFailure()) return;
    waitForLog(kLoaded + kMenu, 1, 30000);
    shot("second-start-menu", 1500);
    EXPECT_EQ(game->countInLog(kLoaded + kInputName), 0u) << game->log();
    press(kMenu, "QuitButton");
    waitForLog(kLoaded + kQuestion);
    press(kQuestion, "YesButton");
    expectCleanExit();
}
