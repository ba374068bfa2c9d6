// The road into each of the four mini-game locations in the real program, on
// a private 1024 x 768 X server with the shipped content, by synthetic input
// alone. The saved player has just finished the location before the
// mini-game (so the mini-game's location is the one selected). The main menu
// gets the developer code typed, New Game opens the map, and the map's
// developer digit key opens the comic that comes before the location. The
// comic is clicked through; its Continue button closes it and the map starts
// the mini-game at once (the third comic opens the auction itself at its
// marked panel, and is finished after the auction). The hidden objects are
// found by clicking where they are drawn (their positions from the level
// file, a drawn pixel of each from its picture); the auction is won by
// bidding on the biggest sum, told from the screen by its colours. The
// results' OK returns to the map, and the profile on disk then holds the
// location as finished with a medal's score and the next one selected.
// Every step waits for the program's log or the screen, with a generous
// deadline. Shots of the comic, the mini-game, its results and the map go to
// screenshots/minigame-road-<location>-NN-<moment>.png in the test's folder.
#include "app/ProgramTestSupport.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/Image.h"
#include "engine/platform/ImageManager.h"
#include "support/DisplayTestSupport.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace program_test;

namespace {

const std::filesystem::path kGameFolder = std::filesystem::path(LODGEROO_PROGRAM).parent_path();

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A node of a scene file: its name, its place on the screen (the sum of its
// own and its ancestors' positions), its bounds and its picture.
struct FileNode {
    std::string name;
    float x = 0, y = 0, width = 0, height = 0;
    std::string picture;
    std::vector<std::string> path;  // the names of its ancestors, outermost first
    int centreX() const { return static_cast<int>(x + width / 2); }
    int centreY() const { return static_cast<int>(y + height / 2); }
};

std::string property(const std::string& properties, const char* key) {
    std::smatch match;
    if (!std::regex_search(properties, match, std::regex(std::string("Name=\"") + key + "\" Value=\"([^\"]*)\"")))
        return std::string();
    return match[1].str();
}

bool vectorProperty(const std::string& properties, const char* key, float& a, float& b) {
    const std::string value = property(properties, key);
    float c = 0;
    return !value.empty() && std::sscanf(value.c_str(), "%f;%f;%f", &a, &b, &c) >= 2;
}

// Every named node of a scene file in file order. Templated buttons without
// bounds of their own take the shipped button's size.
std::vector<FileNode> sceneNodes(const std::string& file) {
    const std::string xml = readText(kGameFolder / "assets" / file);
    std::vector<FileNode> nodes, stack;
    const std::regex tag("<SceneNode\\b[^>]*>|</SceneNode>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::string text = it->str();
        if (text[1] == '/') {
            if (!stack.empty()) stack.pop_back();
            continue;
        }
        const size_t after = static_cast<size_t>(it->position() + it->length());
        const size_t start = xml.find_first_not_of(" \t\r\n", after);
        std::string properties;
        if (start != std::string::npos && xml.compare(start, 12, "<Properties>") == 0)
            properties = xml.substr(start, xml.find("</Properties>", start) - start);
        FileNode node;
        node.name = property(properties, "Name");
        float px = 0, py = 0;
        vectorProperty(properties, "Position", px, py);
        node.x = (stack.empty() ? 0 : stack.back().x) + px;
        node.y = (stack.empty() ? 0 : stack.back().y) + py;
        if (!vectorProperty(properties, "Bounds", node.width, node.height) &&
            property(properties, "TemplateName") == "Button") {
            node.width = 256;
            node.height = 52;
        }
        node.picture = property(properties, "AtlasTexture");
        for (const FileNode& outer : stack) node.path.push_back(outer.name);
        nodes.push_back(node);
        if (text[text.size() - 2] != '/') stack.push_back(node);
    }
    return nodes;
}

FileNode sceneNode(const std::string& file, const std::string& name) {
    for (const FileNode& node : sceneNodes(file))
        if (node.name == name) return node;
    ADD_FAILURE() << "no node " << name << " in " << file;
    return FileNode();
}

// A picture of the content tree, read as the program reads it.
engine::CountedRef<engine::Image> loadPicture(const std::filesystem::path& path) {
    engine::IrrRef<irr::io::IReadFile> file(engine::getEngine()->getFileSystem()->createAndOpenFile(path.c_str()));
    if (!file) return engine::CountedRef<engine::Image>();
    return engine::CountedRef<engine::Image>(
        engine::ImageManager::instance().loadImage(file.get(), engine::CreationContext()));
}

// A hidden object and the screen point where its picture is drawn, nearest
// its centre: the pictures are drawn at their own size at the node's place,
// and a click finds the object only where the picture is opaque.
struct HiddenObject {
    std::string name;
    int x = 0, y = 0;
};

std::vector<HiddenObject> hiddenObjects(const std::string& folder) {
    std::vector<HiddenObject> objects;
    for (const FileNode& node : sceneNodes("levels/" + folder + "/Level.oscn")) {
        if (node.path.empty() || node.path.back() != "HitObjects") continue;
        engine::CountedRef<engine::Image> picture = loadPicture(kGameFolder / "assets/levels" / folder / node.picture);
        if (!picture) {
            ADD_FAILURE() << "no picture " << node.picture << " of " << node.name;
            continue;
        }
        const int width = static_cast<int>(picture->getDimension().Width);
        const int height = static_cast<int>(picture->getDimension().Height);
        long best = -1;
        HiddenObject object{node.name, 0, 0};
        for (int py = 1; py + 1 < height; ++py) {
            for (int px = 1; px + 1 < width; ++px) {
                // Opaque here and around, so a pixel's rounding cannot miss.
                bool solid = true;
                for (int d = -1; d <= 1 && solid; ++d)
                    solid = (picture->getPixel(px + d, py) >> 24) > 200 && (picture->getPixel(px, py + d) >> 24) > 200;
                if (!solid) continue;
                const long distance = (2L * px - width) * (2L * px - width) + (2L * py - height) * (2L * py - height);
                if (best < 0 || distance < best) {
                    best = distance;
                    object.x = static_cast<int>(node.x) + px;
                    object.y = static_cast<int>(node.y) + py;
                }
            }
        }
        EXPECT_GE(best, 0) << node.name << " has no opaque pixel";
        objects.push_back(object);
    }
    return objects;
}

// The profile's list at a location ("Scores" or "Times"), -1 when absent.
long listEntry(const std::string& profile, const std::string& key, int index) {
    std::smatch match;
    if (!std::regex_search(profile, match, std::regex("Name=\"" + key + "\" Value=\"([-0-9;]*)\""))) return -1;
    std::stringstream list(match[1].str());
    std::string item;
    for (int i = 0; std::getline(list, item, ';'); ++i)
        if (i == index) return item.empty() ? -1 : std::stol(item);
    return -1;
}

long intEntry(const std::string& profile, const std::string& key) {
    std::smatch match;
    if (!std::regex_search(profile, match, std::regex("Name=\"" + key + "\" Value=\"(-?[0-9]+)\""))) return -99;
    return std::stol(match[1].str());
}

// The auction's sums are told apart by their colours, which a mirrored
// picture keeps: gold coins, green notes, a bag and a wooden chest.
struct MoneyLook {
    int gold = 0, note = 0, bag = 0, wood = 0;
};

MoneyLook lookOf(const std::function<uint32_t(int, int)>& pixel, int width, int height) {
    MoneyLook look;
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; x += 2) {
            const uint32_t colour = pixel(x, y);
            if (near(colour, 0xFFF9C74Fu, 18)) ++look.gold;
            if (near(colour, 0xFF8FD19Eu, 18)) ++look.note;
            if (near(colour, 0xFFD9B382u, 14)) ++look.bag;
            if (near(colour, 0xFFA0673Fu, 14)) ++look.wood;
        }
    }
    return look;
}

struct Road {
    int location;
    char comicKey;
    const char* folder;
    bool auction;
    const char* name;
};

class MiniGameRoadTest : public ::testing::TestWithParam<Road> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.file("runtime"));
        std::filesystem::create_directories(root.file("home"));
        std::filesystem::create_directories(root.file("data/Brightwick/Lodgeroo"));
    }

    std::vector<std::string> environment() const {
        return {"DISPLAY=" + server->display(), "XDG_DATA_HOME=" + root.file("data"),
                "XDG_RUNTIME_DIR=" + root.file("runtime"), "HOME=" + root.file("home"), "ALSOFT_DRIVERS=null",
                "ENGINE_DEBUG_LOG=1"};
    }

    std::string profilePath() const { return root.file("data/Brightwick/Lodgeroo/profile.dat"); }

    // The profile as text (UTF-16 on disk once the program saved it; the keys
    // and values looked for are ASCII).
    std::string profileText() const {
        std::string text;
        for (char c : readText(profilePath()))
            if (c != '\0') text += c;
        return text;
    }

    // One player who has finished every location up to the one before the
    // mini-game and has the mini-game's location selected; tutorials off.
    void writeProfile(int location) {
        std::string scores, times;
        for (int i = 0; i < location; ++i) {
            scores += (i ? ";" : "") + std::to_string(2000 + 100 * i);
            times += (i ? ";" : "") + std::to_string(200000 + 1000 * i);
        }
        std::ofstream(profilePath()) << "<?xml version=\"1.0\"?>\n<Profiles>\n<CommonProfile>\n"
                                        "<Parameters><bool Name=\"FullScreen\" Value=\"true\" /></Parameters>\n"
                                        "</CommonProfile>\n<Profile Name=\"Ann\" Active=\"true\">\n<Parameters>\n"
                                     << "<int Name=\"MaxUnlockedLevelIndex\" Value=\"" << location - 1 << "\" />\n"
                                     << "<int Name=\"LevelIndex\" Value=\"" << location << "\" />\n"
                                     << "<string Name=\"Scores\" Value=\"" << scores << "\" />\n"
                                     << "<string Name=\"Times\" Value=\"" << times << "\" />\n"
                                     << "<bool Name=\"ShowTutorialOn\" Value=\"false\" />\n"
                                        "</Parameters>\n</Profile>\n</Profiles>\n";
    }

    void xdotool(const std::vector<std::string>& arguments) {
        ProgramRun tool("/usr/bin/xdotool", {"DISPLAY=" + server->display()}, root.file("xdotool.log"), arguments);
        int status = -2;
        ASSERT_TRUE(tool.waitForExit(5000, status) && status == 0) << tool.log();
    }

    void moveTo(int x, int y) { xdotool({"mousemove", std::to_string(x), std::to_string(y)}); }

    void clickAt(int x, int y) {
        moveTo(x, y);
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        xdotool({"click", "1"});
    }

    size_t seen(const std::string& fragment) const { return game->countInLog(fragment); }

    void waitForLog(const std::string& fragment, size_t count = 1, int timeoutMs = 30000) {
        ASSERT_TRUE(waitUntil(timeoutMs, [&] { return seen(fragment) >= count; }))
            << "waited for \"" << fragment << "\"\n" << game->log();
    }

    bool capture(Frame& frame) { return probe->capture(window, frame.pixels, frame.width, frame.height); }

    void shot(const std::string& moment, int settleMs = 600) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        Frame frame;
        ASSERT_TRUE(capture(frame));
        char number[12];
        std::snprintf(number, sizeof number, "%02d", ++shots);
        frame.save("screenshots/minigame-road-" + std::string(GetParam().name) + "-" + number + "-" + moment + ".png");
    }

    // Clicks the comic on at its Continue button's place (a click anywhere
    // on the page brings the next text) until `done` holds; a shot every few
    // clicks.
    void clickThroughComic(const std::string& comicFile, const std::function<bool()>& done) {
        const FileNode button = sceneNode(comicFile, "BackButton");
        int clicks = 0;
        ASSERT_TRUE(waitUntil(180000, [&] {
            if (done()) return true;
            clickAt(button.centreX(), button.centreY());
            if (++clicks % 4 == 1) shot("comic-click" + std::to_string(clicks), 500);
            return waitUntil(700, done);
        })) << "the comic did not end after " << clicks << " clicks\n" << game->log();
    }

    void findHiddenObjects(const std::string& folder) {
        std::vector<HiddenObject> left = hiddenObjects(folder);
        ASSERT_GE(left.size(), 6u);
        const std::string found = "Hidden object was found: ";
        const std::string results = "Loaded scene node: scenes/MiniCompletedScene.oscn";
        const size_t total = left.size();
        // The first click only takes the caption away; the second game lets
        // only the object its preview shows be found, so each round clicks
        // every object left.
        ASSERT_TRUE(waitUntil(240000, [&] {
            for (size_t i = 0; i < left.size(); ++i) {
                const size_t before = seen(found);
                clickAt(left[i].x, left[i].y);
                if (!waitUntil(500, [&] { return seen(found) > before; })) continue;
                const std::string log = game->log();
                const size_t at = log.rfind(found);
                const std::string name = log.substr(at + found.size(), log.find('\n', at) - at - found.size());
                EXPECT_EQ(name, left[i].name) << "a click at " << left[i].x << ", " << left[i].y;
                for (size_t j = 0; j < left.size(); ++j)
                    if (left[j].name == name) left.erase(left.begin() + static_cast<long>(j));
                if (left.size() == total - 2) shot("play", 300);
                break;
            }
            return left.empty();
        })) << left.size() << " objects left\n" << game->log();
        waitForLog(results);
    }

    // Bids on the biggest sum of each turn, told by its colours on the screen.
    void bidUntilTheClockRunsOut() {
        const std::vector<FileNode> nodes = sceneNodes("levels/minigame_auction/Level.oscn");
        std::vector<FileNode> zones;
        for (const FileNode& node : nodes)
            if (node.name == "Zone1" || node.name == "Zone2" || node.name == "Zone3") zones.push_back(node);
        ASSERT_EQ(zones.size(), 3u);
        const std::string results = "Loaded scene node: scenes/MiniCompletedScene.oscn";
        // The caption goes with the first click.
        clickAt(512, 600);
        int bids = 0;
        while (seen(results) == 0 && bids < 400) {
            // The pointer away from the lots, so none shows its hovered look.
            moveTo(512, 640);
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            Frame frame;
            ASSERT_TRUE(capture(frame));
            int best = 0;
            double bestValue = -1;
            for (int z = 0; z < 3; ++z) {
                const int left = static_cast<int>(zones[z].x) + 10, top = static_cast<int>(zones[z].y) + 6;
                const MoneyLook look =
                    lookOf([&](int x, int y) { return frame.at(left + x, top + y); }, 200, 170);
                // A chest of gold, a bag, notes (a fan has more green than
                // one note), coins (a stack has more gold than one coin).
                const double value = look.wood > 200  ? 6
                                     : look.bag > 400 ? 5
                                     : look.note > 0  ? 3 + look.note / 3000.0
                                                      : 1 + look.gold / 2000.0;
                if (value > bestValue) {
                    bestValue = value;
                    best = z;
                }
            }
            clickAt(static_cast<int>(zones[best].x) + 110, static_cast<int>(zones[best].y) + 90);
            if (++bids == 6) shot("bidding", 0);
        }
        waitForLog(results, 1, 120000);
    }

    testing_support::TempDir root;
    std::unique_ptr<XServer> server;
    std::unique_ptr<device_test::XProbe> probe;
    std::unique_ptr<ProgramRun> game;
    uint64_t window = 0;
    int shots = 0;
};

const std::string kLoaded = "Loaded scene node: ";

}  // namespace

TEST_P(MiniGameRoadTest, TheComicLeadsIntoTheMiniGameWhoseResultsFinishTheLocationOnTheMap) {
    if (!std::filesystem::exists(kGameFolder / "assets") && !std::filesystem::exists(kGameFolder / "assets.oca"))
        SKIP_OR_FAIL_UNDER_CI() << "the content was not built beside " << LODGEROO_PROGRAM;
    if (!startPrivateDisplay(server, probe)) SKIP_OR_FAIL_UNDER_CI() << "no X server: Xvfb could not be started";
    const Road road = GetParam();
    writeProfile(road.location);
    game = std::make_unique<ProgramRun>(LODGEROO_PROGRAM, environment(), root.file("game.log"));
    ASSERT_TRUE(game->started());
    waitUntil(15000, [&] { return (window = instanceWindow(root.file("runtime"))) != 0; });
    ASSERT_NE(window, 0u) << game->log();
    waitForLog(kLoaded + "scenes/MainMenuScene.oscn", 1, 60000);
    if (HasFatalFailure()) return;

    // The developer code, typed with the pointer over the window (the key
    // focus follows the pointer without a window manager).
    moveTo(900, 700);
    xdotool({"type", "--delay", "40", "mildcove"});

    // New Game (the menu's first button) opens the map once the menu has
    // slid in.
    const FileNode newGame = sceneNode("scenes/MainMenuScene.oscn", "NewGameButton");
    ASSERT_TRUE(waitUntil(30000, [&] {
        clickAt(newGame.centreX(), newGame.centreY());
        return waitUntil(1500, [&] { return seen(kLoaded + "scenes/MapScene.oscn") > 0; });
    })) << game->log();
    moveTo(330, 740);
    shot("map-before", 1500);

    // The comic before the location, from the map's developer key.
    const std::string comic = std::string("scenes/ComicsScene") + road.comicKey + ".oscn";
    ASSERT_TRUE(waitUntil(20000, [&] {
        xdotool({"key", std::string(1, road.comicKey)});
        return waitUntil(2000, [&] { return seen(kLoaded + comic) > 0; });
    })) << game->log();
    const std::string level = kLoaded + "levels/" + road.folder + "/Level.oscn";
    const std::string results = kLoaded + "scenes/MiniCompletedScene.oscn";
    const std::string closed = "Node was pressed: BackButton\n";
    // The hidden-object comics end with Continue, and the map starts the
    // mini-game; the auction's comic opens it on the way.
    clickThroughComic(comic, [&] { return seen(road.auction ? level : closed) > 0; });
    if (HasFatalFailure()) return;
    shot("comic-left", 300);
    waitForLog(level, 1, 60000);
    if (HasFatalFailure()) return;
    shot("caption", 1500);
    // The scenes left under the mini-game (the loading scene, the third
    // comic) must not show through it: where the loading scene's panel stood,
    // the mini-game's own picture shows, but for what lies on it.
    {
        const FileNode panel = sceneNode("scenes/LoadingLevelScene.oscn", "Panel");
        const auto picture = loadPicture(kGameFolder / "assets/levels" / road.folder / "Background.png");
        ASSERT_TRUE(picture);
        Frame playing;
        ASSERT_TRUE(capture(playing));
        int same = 0, all = 0;
        for (int y = static_cast<int>(panel.y); y < static_cast<int>(panel.y + panel.height); y += 3)
            for (int x = static_cast<int>(panel.x); x < static_cast<int>(panel.x + panel.width); x += 3, ++all)
                if (near(playing.at(x, y), picture->getPixel(x, y), 12)) ++same;
        EXPECT_GT(same * 2, all) << "only " << same << " of " << all
                                 << " pixels where the loading panel stood show the mini-game's picture";
    }

    if (road.auction) {
        bidUntilTheClockRunsOut();
    } else {
        findHiddenObjects(road.folder);
    }
    if (HasFatalFailure()) return;
    shot("results", 2500);

    // The results' OK leaves the results, the mini-game and the loading scene.
    const FileNode ok = sceneNode("scenes/MiniCompletedScene.oscn", "OkButton");
    const size_t oks = seen("Node was pressed: OkButton\n");
    ASSERT_TRUE(waitUntil(20000, [&] {
        clickAt(ok.centreX(), ok.centreY());
        return waitUntil(1500, [&] { return seen("Node was pressed: OkButton\n") > oks; });
    })) << game->log();
    if (road.auction) {
        // Back in the comic, which goes on to its end.
        shot("comic-again", 1200);
        clickThroughComic(comic, [&] { return seen(closed) > 0; });
        if (HasFatalFailure()) return;
    }
    moveTo(330, 740);
    shot("map-after", 2000);

    // Each scene of the road opened once: no comic or mini-game again.
    EXPECT_EQ(seen(kLoaded + comic), 1u) << game->log();
    EXPECT_EQ(seen(level), 1u) << game->log();
    EXPECT_EQ(seen(results), 1u) << game->log();
    EXPECT_EQ(seen("Unable to"), 0u) << game->log();

    // The location is finished (a hidden-object game with a medal's score),
    // the next one selected.
    const std::string profile = profileText();
    EXPECT_EQ(intEntry(profile, "MaxUnlockedLevelIndex"), road.location) << profile;
    EXPECT_EQ(intEntry(profile, "LevelIndex"), road.location + 1) << profile;
    const std::string scores = readText(kGameFolder / "assets/levels/common/LevelScores.xml");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(scores, match,
                                  std::regex(std::string("Name=\"") + road.folder + "\" Score=\"([0-9]+)\"")));
    if (road.auction) {
        // The auction's score is what the bids won within its clock, which a
        // slow machine shortens: the play counts, whatever it reached.
        EXPECT_GT(listEntry(profile, "Scores", road.location), 0) << profile;
        std::printf("auction score %ld (medal at %s)\n", static_cast<long>(listEntry(profile, "Scores", road.location)),
                    match[1].str().c_str());
    } else {
        EXPECT_GE(listEntry(profile, "Scores", road.location), std::stol(match[1].str())) << profile;
    }
    EXPECT_GT(listEntry(profile, "Times", road.location), 0) << profile;
    // The earlier locations keep their results.
    EXPECT_EQ(listEntry(profile, "Scores", road.location - 1), 2000 + 100 * (road.location - 1)) << profile;

    probe->sendCloseRequest(window);
    int status = -2;
    EXPECT_TRUE(game->waitForExit(10000, status)) << game->log();
    EXPECT_EQ(status, 0) << game->log();
}

INSTANTIATE_TEST_SUITE_P(Locations, MiniGameRoadTest,
                         ::testing::Values(Road{7, '1', "minigame_hidden", false, "lobby"},
                                           Road{15, '2', "minigame_hidden2", false, "beach"},
                                           Road{23, '3', "minigame_auction", true, "auction"},
                                           Road{31, '4', "minigame_hidden3", false, "market"}),
                         [](const ::testing::TestParamInfo<Road>& info) { return std::string(info.param.name); });
