// A first-time player's play-through of the real program with the shipped
// content, on a private 1024 x 768 X server, by synthetic input alone
// (xdotool clicks at the places the scene files and the tutorial give, and
// typed keys): the logos, the intro, the name input, the main menu, New Game,
// the loading scene and the objectives of level 1, level 1 with its whole
// tutorial played to the completed scene (about five minutes), the map with
// its first tutorial, the way back through the map's Back button, and a
// second start that finds the same player with level 1's score in the
// profile. Each stage waits for the program's log (scene loads, pressed nodes)
// or for a colour on the screen rather than for fixed times; a screen of each
// stage is kept as screenshots/playthrough-NN-<stage>.png in the test's
// folder. Stages print "[ STAGE    ] <name>" lines for tools/kill-playthrough.sh.
//
// kPlayLevelOneToTheEnd: the whole level; off, the tutorial is skipped after
// its first lesson and the level is left through the in-game menu (half a
// minute). Either way the program is then quit through the main menu and its
// question.
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
#include <iostream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

using namespace program_test;

namespace {

constexpr bool kPlayLevelOneToTheEnd = true;

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

// Colours the play-through looks for: the tutorial window's orange OK
// button and the orange of its arrows.
constexpr uint32_t kWindowButton = 0xFFFAAD57u, kArrow = 0xFFF08A5Du;

// Where the arrow of the tutorial step whose action names `action` points.
bool tutorialArrow(const std::string& action, int& x, int& y) {
    const std::string xml = readText(kGameFolder / "assets/levels/level1/Tutorial.xml");
    const size_t at = xml.find(action);
    const size_t end = xml.find("</Hint>", at);
    if (at == std::string::npos || end == std::string::npos) return false;
    const std::string hint = xml.substr(at, end - at);
    std::smatch match;
    if (!std::regex_search(hint, match, std::regex("<Arrow Position=\"([-0-9.]+);([-0-9.]+)"))) return false;
    x = static_cast<int>(std::stof(match[1]));
    y = static_cast<int>(std::stof(match[2]));
    return true;
}

bool hasLevelOneScore(const std::string& profile) {
    std::smatch match;
    return std::regex_search(profile, match, std::regex("Name=\"Scores\" Value=\"([0-9]+)")) &&
           std::stol(match[1]) > 0;
}

class PlayThroughTest : public ::testing::Test {
protected:
    bool startServer() {
        return startPrivateDisplay(server, probe);
    }

    void SetUp() override {
        // tools/kill-playthrough.sh keeps the data folder to check it after a kill.
        const char* kept = std::getenv("PLAYTHROUGH_DATA_HOME");
        dataHome = kept && *kept ? kept : root.file("data");
        std::filesystem::create_directories(root.file("runtime"));
        std::filesystem::create_directories(root.file("home"));
        std::filesystem::create_directories(dataHome);
    }

    std::vector<std::string> environment() const {
        return {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + dataHome, "XDG_RUNTIME_DIR=" + root.file("runtime"),
                "HOME=" + root.file("home"), "ALSOFT_DRIVERS=null", "ENGINE_DEBUG_LOG=1"};
    }

    // Marks the stage reached on the test's output, for the kill script.
    static void stage(const std::string& name) { std::cout << "[ STAGE    ] " << name << std::endl; }

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

    Box box(const std::string& file, const std::string& path, float originX = 0, float originY = 0) {
        Box found;
        EXPECT_TRUE(findNode(file, path, found, originX, originY)) << path << " in " << file;
        return found;
    }

    // Clicks there and waits for the program to log `report`; false when it
    // did not within the time.
    bool clickAndSee(int x, int y, const std::string& report, int timeoutMs = 5000) {
        const size_t before = game->countInLog(report);
        clickAt(x, y);
        return waitUntil(timeoutMs, [&] { return game->countInLog(report) > before; });
    }

    // Clicks a node of a scene file and waits for the program to report it
    // pressed.
    void press(const std::string& file, const std::string& path, float originX = 0, float originY = 0) {
        const Box at = box(file, path, originX, originY);
        const std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        ASSERT_TRUE(clickAndSee(at.centreX(), at.centreY(), "Node was pressed: " + name + "\n"))
            << "no press of " << path << " at " << at.centreX() << ", " << at.centreY() << "\n" << game->log();
    }

    // The first item of a list of the HUD's panels.
    void pressFirstItem(const std::string& file, const std::string& list) {
        const Box at = box(file, list);
        ASSERT_TRUE(clickAndSee(static_cast<int>(at.x + 46), at.centreY(), "List item was pressed: " + list + "\n"))
            << "no press of " << list << "'s first item\n" << game->log();
    }

    void waitForLog(const std::string& fragment, size_t count = 1, int timeoutMs = 20000) {
        ASSERT_TRUE(waitUntil(timeoutMs, [&] { return game->countInLog(fragment) >= count; }))
            << "waited for \"" << fragment << "\"\n" << game->log();
    }

    bool colourAt(int x, int y, uint32_t colour) {
        Frame frame;
        return probe->capture(window, frame.pixels, frame.width, frame.height) && near(frame.at(x, y), colour, 30);
    }

    // A tutorial message's OK button, shown once its step is reached; then
    // pressed.
    void answerTutorialWindow(float windowX, float windowY, const std::string& shotName, int timeoutMs = 20000) {
        const Box ok = box(kTemplates, "TutorialWindow/Button", windowX, windowY);
        ASSERT_TRUE(waitUntil(timeoutMs, [&] { return colourAt(ok.centreX() - 30, ok.centreY() - 6, kWindowButton); }))
            << "no tutorial window with OK at " << windowX << ", " << windowY << "\n" << game->log();
        if (!shotName.empty()) shot(shotName, 300);
        press(kTemplates, "TutorialWindow/Button", windowX, windowY);
    }

    // A tutorial arrow pointing down at (x, y), as levels/level1/Tutorial.xml places it.
    bool arrowDownAt(int x, int y) { return colourAt(x, y - 30, kArrow); }

    // The screen after a moment for transitions, kept for people to look at.
    void shot(const std::string& name, int settleMs = 700) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        Frame frame;
        ASSERT_TRUE(probe->capture(window, frame.pixels, frame.width, frame.height));
        char number[12];
        std::snprintf(number, sizeof number, "%02d", ++shots);
        frame.save("screenshots/playthrough-" + std::string(number) + "-" + name + ".png");
    }

    void expectCleanExit() {
        int status = -2;
        ASSERT_TRUE(game->waitForExit(10000, status)) << game->log();
        EXPECT_EQ(status, 0) << game->log();
    }

    void quitThroughTheMenu(const std::string& shotName) {
        press(kMenu, "QuitButton");
        waitForLog(kLoaded + kQuestion);
        // The question ignores clicks while it fades in.
        if (shotName.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        } else {
            shot(shotName);
        }
        press(kQuestion, "YesButton");
        expectCleanExit();
    }

    // The tutorial's lessons after its greeting, then play until the goals
    // are met: a second camping, materials and workers, the money letter, a
    // cafe and its feature, an upgrade for the guests, and time for money.
    void playLevelOne();

    static const std::string kLoaded, kMenu, kInputName, kSelectPlayer, kObjectives, kHud, kInGameMenu, kQuestion,
        kTemplates, kLevel, kCompleted, kMap;
    // Where the tutorial's windows stand (levels/level1/Tutorial.xml).
    static constexpr float kWindowX = 300, kWindowY = 330, kRightWindowX = 600;
    // Where the map's tutorial window stands (scenes/MapTutorial1.xml).
    static constexpr float kMapWindowX = 590, kMapWindowY = 500;

    testing_support::TempDir root;
    std::string dataHome;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
    std::unique_ptr<ProgramRun> game;
    uint64_t window = 0;
    int shots = 0;
};

const std::string PlayThroughTest::kLoaded = "Loaded scene node: ";
const std::string PlayThroughTest::kMenu = "scenes/MainMenuScene.oscn";
const std::string PlayThroughTest::kInputName = "scenes/SelectPlayerInputNameScene.oscn";
const std::string PlayThroughTest::kSelectPlayer = "scenes/SelectPlayerScene.oscn";
const std::string PlayThroughTest::kObjectives = "scenes/LevelObjectivesScene.oscn";
const std::string PlayThroughTest::kHud = "scenes/GamePlayScene.oscn";
const std::string PlayThroughTest::kInGameMenu = "scenes/InGameMenuScene.oscn";
const std::string PlayThroughTest::kQuestion = "scenes/QuitConfirmationScene.oscn";
const std::string PlayThroughTest::kTemplates = "scenes/TemplateCollection.oscn";
const std::string PlayThroughTest::kLevel = "levels/level1/Level.oscn";
const std::string PlayThroughTest::kCompleted = "scenes/LevelCompletedScene.oscn";
const std::string PlayThroughTest::kMap = "scenes/MapScene.oscn";

void PlayThroughTest::playLevelOne() {
    press(kLevel, "Place02");
    press(kHud, "HotelsButton");
    shot("tutorial-hotels", 400);
    pressFirstItem(kHud, "HotelsBuildList");
    shot("camping-building");
    stage("building");
    answerTutorialWindow(kWindowX, kWindowY, "camping-built", 90000);
    press(kHud, "Tab4Button");
    pressFirstItem(kHud, "BuyMaterialsList");
    press(kHud, "Tab5Button");
    answerTutorialWindow(kWindowX, kWindowY, "tutorial-workers");

    // The money letter comes over a camping; the window waits beside it.
    const Box beside = box(kTemplates, "TutorialWindow/Button", kRightWindowX, kWindowY);
    ASSERT_TRUE(waitUntil(60000, [&] { return colourAt(beside.centreX() - 30, beside.centreY() - 6, kWindowButton); }))
        << game->log();
    shot("money-letter", 300);
    const Box camping = box(kLevel, "Place02");
    clickAndSee(camping.centreX(), static_cast<int>(camping.y - 58), "Node was pressed: MoneyLetter\n", 2000);
    answerTutorialWindow(kRightWindowX, kWindowY, "");

    // A cafe below the campings; once it stands, the tutorial has it chosen.
    press(kLevel, "Place04");
    press(kHud, "JoysButton");
    pressFirstItem(kHud, "JoysBuildList");
    shot("cafe-building");
    // The panel lays its feature buttons out as the building has them: the
    // tutorial's arrow shows where the first one is.
    const Box cafe = box(kLevel, "Place04");
    int arrowX = 0, arrowY = 0;
    ASSERT_TRUE(tutorialArrow("Controls=\"ActiveFeature1Button\"", arrowX, arrowY));
    ASSERT_TRUE(waitUntil(90000, [&] {
        clickAt(cafe.centreX(), cafe.centreY());
        return waitUntil(1500, [&] { return arrowDownAt(arrowX, arrowY); });
    })) << game->log();
    shot("cafe-feature", 300);
    ASSERT_TRUE(clickAndSee(arrowX, arrowY + 50, "Node was pressed: ActiveFeature1Button\n")) << game->log();
    answerTutorialWindow(kWindowX, kWindowY, "tutorial-goals");
    stage("tutorial-done");

    // The upgraded camping hosts the guests the goals ask for.
    const Box upgrade = box(kHud, "UpgradeButton");
    ASSERT_TRUE(waitUntil(30000, [&] {
        clickAt(camping.centreX(), camping.centreY());
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        return clickAndSee(upgrade.centreX(), upgrade.centreY(), "Node was pressed: UpgradeButton\n", 1000);
    })) << game->log();
    shot("camping-upgrading");

    // Then the money comes in.
    if (!waitUntil(30000, [&] { return game->countInLog(kLoaded + kCompleted) > 0; })) shot("playing-on", 0);
    waitForLog(kLoaded + kCompleted, 1, 300000);
    shot("level-completed", 3000);
}

}  // namespace

TEST_F(PlayThroughTest, AFirstPlayerGoesFromTheLogosThroughLevelOneAndFindsItselfAgain) {
    if (!std::filesystem::exists(kGameFolder / "assets") && !std::filesystem::exists(kGameFolder / "assets.oca"))
        SKIP_OR_FAIL_UNDER_CI() << "the content was not built beside " << LODGEROO_PROGRAM;
    if (!startServer()) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
    start("first.log");
    if (HasFatalFailure()) return;
    stage("started");

    // Logos and intro run by themselves.
    waitForLog("Loaded atlas texture: logos/");
    shot("logos", 900);
    waitForLog(kLoaded + "scenes/IntroScene.oscn");
    shot("intro", 900);

    // Nobody has played yet: the menu opens the name input over the list.
    waitForLog(kLoaded + kInputName, 1, 30000);
    shot("name-input");
    stage("name-input");
    press(kInputName, "NameEdit");
    xdotool({"type", "--delay", "60", "Ann"});
    ASSERT_TRUE(waitUntil(3000, [&] { return game->countInLog("Value was changed: NameEdit") >= 3; })) << game->log();
    shot("name-typed", 200);
    press(kInputName, "OkButton");
    shot("player-list");
    press(kSelectPlayer, "OkButton");
    shot("main-menu");
    stage("player-created");

    // New Game: level 1 through the loading scene to its objectives.
    press(kMenu, "NewGameButton");
    waitForLog(kLoaded + kObjectives, 1, 30000);
    shot("objectives", 900);
    stage("level");
    press(kObjectives, "OkButton");

    // The tutorial greets the player; its OK goes on to the first lesson.
    answerTutorialWindow(kWindowX, kWindowY, "tutorial-welcome");
    shot("tutorial-pick-place");

    // PLAYTHROUGH_WHOLE_LEVEL=1 or 0 overrides the switch for one run.
    const char* whole = std::getenv("PLAYTHROUGH_WHOLE_LEVEL");
    const bool wholeLevel = whole && *whole ? std::string(whole) != "0" : kPlayLevelOneToTheEnd;
    if (wholeLevel) {
        playLevelOne();
        if (HasFatalFailure()) return;
        stage("level-completed");
        EXPECT_TRUE(hasLevelOneScore(profileText(dataHome))) << profileText(dataHome);
        // The completed scene's OK leads on to the map, whose first visit
        // brings a short tutorial; the map's Back returns to the main menu.
        press(kCompleted, "Scene/OkButton");
        waitForLog(kLoaded + kMap);
        stage("map");
        answerTutorialWindow(kMapWindowX, kMapWindowY, "map-tutorial");
        shot("map", 500);
        press(kMap, "Scene/BackButton");
        shot("back-after-the-map", 1200);
    } else {
        // Out of the tutorial and through the in-game menu to the main menu.
        press(kTemplates, "TutorialWindow/SkipTutorialButton", kWindowX, kWindowY);
        press(kHud, "MenuButton");
        waitForLog(kLoaded + kInGameMenu);
        shot("in-game-menu");
        press(kInGameMenu, "MainMenuButton");
        shot("back-in-main-menu", 1200);
    }

    // Quit through the menu and its question.
    quitThroughTheMenu("quit-question");
    if (HasFatalFailure()) return;
    stage("quit");
    const std::string profile = profileText(dataHome);
    EXPECT_NE(profile.find("Ann"), std::string::npos) << profile;

    // The second start goes straight to the menu and greets the same player.
    start("second.log");
    if (HasFatalFailure()) return;
    waitForLog(kLoaded + kMenu, 1, 30000);
    shot("second-start-menu", 1500);
    EXPECT_EQ(game->countInLog(kLoaded + kInputName), 0u) << game->log();
    if (wholeLevel) {
        EXPECT_TRUE(hasLevelOneScore(profileText(dataHome))) << profileText(dataHome);
    }
    quitThroughTheMenu("");
}
