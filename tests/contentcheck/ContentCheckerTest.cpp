// The content check on a tiny tree: a tree whose names all resolve adds no
// problem, and each kind of dangling name (node kind, animator kind, template,
// atlas entry or image, font, cue, dictionary key, emitter, sound file, logo
// image, a game kind in a start-up scene) is reported with the file that
// names it.
#include "engine/platform/Image.h"
#include "engine/platform/ImagePixels.h"
#include "support/TempDir.h"
#include "tools/atlaspack/AtlasPacker.h"
#include "tools/contentcheck/ContentChecker.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A short 16-bit mono WAVE file.
std::string waveFile() {
    const uint32_t samples = 64, dataBytes = samples * 2;
    std::string bytes = "RIFF";
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF); };
    auto u16 = [&](uint16_t v) { bytes += static_cast<char>(v & 0xFF); bytes += static_cast<char>(v >> 8); };
    u32(36 + dataBytes);
    bytes += "WAVEfmt ";
    u32(16); u16(1); u16(1); u32(22050); u32(44100); u16(2); u16(16);
    bytes += "data";
    u32(dataBytes);
    for (uint32_t i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i % 8) * 1000));
    return bytes;
}

std::string scene(const std::string& kind, const std::string& properties, const std::string& children = "") {
    return "<?xml version=\"1.0\"?>\n<SceneNode Type=\"" + kind + "\"><Properties>" + properties + "</Properties>" +
           children + "</SceneNode>\n";
}

// Every name the scene uses is provided by the tree.
const std::string kGoodValues =
    R"(<string Name="Name" Value="Good"/>
       <atlasTexture Name="AtlasTexture" Value="images/a.png"/>
       <string Name="TemplateName" Value="Button"/>
       <string Name="SoundCueName" Value="Beep"/>
       <string Name="EmitterName" Value="Sparks"/>
       <stringw Name="Text" Value="%Hello% 100%%"/>)";

class ContentCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        atlaspack::AtlasPacker packer;
        engine::CountedRef<engine::Image> image(
            new engine::Image(engine::CreationContext(), engine::CF_A8R8G8B8, engine::dimension2du(4, 4)));
        image->fill(0xFFFF0000u);
        ASSERT_TRUE(packer.addImage("scenes/images/a.png", image.get()));
        ASSERT_TRUE(packer.pack());
        ASSERT_TRUE(packer.write(dir.file("atlases/UI.xml"))) << packer.error();
        dir.write("strings/Dictionary.xml", "<Dictionary><s n=\"Hello\">Hello</s></Dictionary>\n");
        dir.write("sounds/beep.wav", waveFile());
        dir.write("sounds/SoundPack.xml",
                  "<SoundPack><SoundCue Name=\"Beep\" GroupID=\"0\"><Sound Filename=\"beep.wav\"/></SoundCue></SoundPack>\n");
        dir.write("scenes/ParticleCollection.xml",
                  "<ParticleCollection><ParticleEmitter Type=\"PointEmitter\"><Properties>"
                  "<string Name=\"Name\" Value=\"Sparks\"/></Properties></ParticleEmitter></ParticleCollection>\n");
        dir.write("scenes/TemplateCollection.oscn",
                  scene("TemplateCollectionNode", "",
                        R"(<SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Button"/></Properties></SceneNode>)"));
        dir.write("scenes/Good.oscn", scene("SceneNode", kGoodValues));
        baseline = problems();
    }

    std::vector<std::string> problems() {
        contentcheck::ContentChecker checker(dir.path().string());
        checker.run();
        return checker.problems();
    }

    // The problems a change adds to those of the base tree.
    std::vector<std::string> added() {
        std::vector<std::string> now = problems(), result;
        for (const std::string& p : now)
            if (std::find(baseline.begin(), baseline.end(), p) == baseline.end()) result.push_back(p);
        return result;
    }

    testing_support::TempDir dir;
    std::vector<std::string> baseline;
};

TEST_F(ContentCheckerTest, ResolvedNamesAddNoProblem) {
    for (const std::string& p : baseline)
        EXPECT_NE(p.find("(named by"), std::string::npos) << "only what the code names may be missing here: " << p;
    dir.write("scenes/Other.oscn", scene("ButtonNode", kGoodValues));
    EXPECT_TRUE(added().empty());
}

TEST_F(ContentCheckerTest, EachDanglingNameIsReportedWithItsFile) {
    struct Case {
        const char* what;
        std::string file;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"node kind", "scenes/Broken.oscn", scene("NoSuchNode", ""), "Unknown node kind"},
        {"animator kind", "scenes/Broken.oscn",
         scene("SceneNode", "", R"(<States><State Name="A"><Animator Type="Wobble"/></State></States>)"),
         "animator kind Wobble is unknown"},
        {"template", "scenes/Broken.oscn", scene("ButtonNode", R"(<string Name="TemplateName" Value="Nope"/>)"),
         "names the template Nope"},
        {"atlas entry", "scenes/Broken.oscn",
         scene("SpriteNode", R"(<atlasTexture Name="AtlasTexture" Value="images/b.png"/>)"),
         "names the image scenes/images/b.png"},
        {"font", "scenes/Broken.oscn", scene("TextNode", R"(<font Name="Font" Value="fonts/None.ofnt"/>)"),
         "names the file scenes/fonts/None.ofnt"},
        {"cue", "scenes/Broken.oscn", scene("SoundNode", R"(<string Name="SoundCueName" Value="Boom"/>)"),
         "names the cue Boom"},
        {"dictionary key", "scenes/Broken.oscn", scene("TextNode", R"(<stringw Name="Text" Value="%Bye%"/>)"),
         "names the dictionary key Bye"},
        {"emitter", "scenes/Broken.oscn",
         scene("ParticleSystemNode", R"(<string Name="EmitterName" Value="Smoke"/>)"), "names the emitter Smoke"},
        {"particle description", "scenes/Broken.oscn",
         scene("SceneNode", R"(<string Name="ConfigurationFilename" Value="Effects/None.xml"/>)"),
         "names the file scenes/Effects/None.xml"},
        {"game kind before registration", "scenes/LogosScene.oscn", scene("GMainMenuScene", ""),
         "node kind GMainMenuScene is not available yet"},
        {"logo image", "logos/Logos.xml", "<Logos><Logo Image=\"logos/Missing.png\" Time=\"100\"/></Logos>\n",
         "names the file logos/Missing.png"},
        {"sound file", "sounds/SoundPack.xml",
         "<SoundPack><SoundCue Name=\"Beep\"><Sound Filename=\"gone.wav\"/></SoundCue></SoundPack>\n",
         "names the file sounds/gone.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = dir.read(dir.file(c.file));
        const bool existed = !before.empty();
        dir.write(c.file, c.text);
        const std::vector<std::string> found = added();
        const bool reported = std::any_of(found.begin(), found.end(), [&](const std::string& p) {
            return p.find(c.expected) != std::string::npos && p.rfind(c.file, 0) == 0;
        });
        EXPECT_TRUE(reported) << "expected \"" << c.expected << "\" for " << c.file << "; got " << found.size()
                              << " new problem(s)" << (found.empty() ? "" : ": " + found.front());
        if (existed)
            dir.write(c.file, before);
        else
            std::filesystem::remove(dir.file(c.file));
    }
}

TEST_F(ContentCheckerTest, TheMenuStreetsPathsMustBeWalkable) {
    const std::string good =
        R"(<LevelPaths><CarPaths><Path ID="Path"><p p="0, 700"/><p p="900, 760"/></Path>)"
        R"(<Path ID="Bike"><p p="300, 710"/><p p="700, 710"/><p p="700, 735"/></Path>)"
        R"(<Path ID="Clouds"><p p="-200, 80"/><p p="1224, 60"/></Path></CarPaths>)"
        R"(<PedestrianPaths><Path b="1"><p p="-20, 745"/><p p="1044, 745"/></Path></PedestrianPaths></LevelPaths>)";
    dir.write("scenes/BgTrafficPaths.xml", good);
    EXPECT_TRUE(added().empty());
    const std::vector<std::string> missing = problems();
    EXPECT_FALSE(std::any_of(missing.begin(), missing.end(), [](const std::string& p) {
        return p.find("BgTrafficPaths.xml") != std::string::npos;
    })) << "known and present";

    struct Case {
        const char* what;
        std::string from, to;
        const char* expected;
    };
    const Case cases[] = {
        {"no cars", R"(ID="Path")", R"(ID="Road")", "no car path with the ID Path"},
        {"a one-point cloud lane", R"(<p p="1224, 60"/>)", "", "a path Clouds of fewer than two points"},
        {"a bike loop without length", R"(<p p="300, 710"/><p p="700, 710"/><p p="700, 735"/>)",
         R"(<p p="300, 710"/><p p="300, 710"/>)", "whose points all coincide"},
        {"no walkers", R"(<Path b="1"><p p="-20, 745"/><p p="1044, 745"/></Path>)", "", "no pedestrian path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = good;
        text.replace(text.find(c.from), c.from.size(), c.to);
        dir.write("scenes/BgTrafficPaths.xml", text);
        const std::vector<std::string> found = added();
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const std::string& p) {
            return p.find(c.expected) != std::string::npos && p.rfind("scenes/BgTrafficPaths.xml", 0) == 0;
        })) << (found.empty() ? "nothing reported" : found.front());
    }
}

TEST(ContentCheckerFolder, AMissingFolderIsAProblem) {
    contentcheck::ContentChecker checker("/no/such/assets/folder");
    EXPECT_FALSE(checker.run());
    ASSERT_EQ(checker.problems().size(), 1u);
}

}  // namespace
