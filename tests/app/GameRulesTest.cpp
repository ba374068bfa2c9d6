// The game object's rules that need no window: the letterbox, the window size,
// the developer code, the logos list and where the content is found.
#include "engine/core/XmlReader.h"
#include "engine/core/Event.h"
#include "game/app/ContentLocation.h"
#include "game/app/GGameApp.h"
#include "game/app/GLogosConfiguration.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace game;
using engine::recti;

TEST(LetterboxTest, FitsTheVirtualScreenToTheScreen) {
    struct Case {
        int32_t width, height;
        recti first, second;
        float x, y, scaleX, scaleY;
    };
    const Case cases[] = {
        // Within 10 % of 4:3: stretched to the whole screen, no bars.
        {1280, 1024, {0, 0, 0, 1024}, {1280, 0, 1280, 1024}, 0, 0, 1.25f, 1024.0f / 768.0f},
        {1024, 768, {0, 0, 0, 768}, {1024, 0, 1024, 768}, 0, 0, 1.0f, 1.0f},
        // Wider: bars left and right.
        {1920, 1080, {0, 0, 240, 1080}, {1680, 0, 1920, 1080}, 240, 0, 1.40625f, 1.40625f},
        {1600, 900, {0, 0, 200, 900}, {1400, 0, 1600, 900}, 200, 0, 900.0f / 768.0f, 900.0f / 768.0f},
        // Narrower: bars top and bottom (the rounded aspect gives 767 rows).
        {1024, 1280, {0, 0, 1024, 256}, {0, 1023, 1024, 1280}, 0, 256, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Letterbox box;
        ASSERT_TRUE(computeLetterbox(c.width, c.height, box));
        EXPECT_EQ(box.bars[0], c.first);
        EXPECT_EQ(box.bars[1], c.second);
        EXPECT_FLOAT_EQ(box.position.X, c.x);
        EXPECT_FLOAT_EQ(box.position.Y, c.y);
        EXPECT_FLOAT_EQ(box.scale.X, c.scaleX);
        EXPECT_FLOAT_EQ(box.scale.Y, c.scaleY);
        EXPECT_FLOAT_EQ(box.scale.Z, 1.0f);
    }
}

TEST(LetterboxTest, AScreenWithoutAreaComputesNothing) {
    for (auto size : {std::make_pair(0, 768), std::make_pair(1024, 0), std::make_pair(0, 0)}) {
        Letterbox box;
        box.bars[0] = recti(1, 2, 3, 4);
        EXPECT_FALSE(computeLetterbox(size.first, size.second, box));
        EXPECT_EQ(box.bars[0], recti(1, 2, 3, 4));
    }
}

TEST(WindowSizeTest, TheWindowFitsTheScreenAt4To3) {
    const struct {
        int32_t screenWidth, screenHeight, width, height;
    } cases[] = {
        {1920, 1080, 1024, 768}, {1024, 768, 1024, 768},  // fits: the virtual screen's size
        {1280, 720, 960, 720},   {800, 600, 800, 600},    // too low, too small: the largest 4:3
        {1366, 700, 932, 699},   {1000, 2000, 1000, 750},  // whole 4 x 3 units
        {0, 0, 1024, 768},       {3, 2, 1024, 768},        // unknown or no room: the default
    };
    for (const auto& c : cases) {
        int32_t width = -1, height = -1;
        windowSizeForScreen(c.screenWidth, c.screenHeight, width, height);
        EXPECT_EQ(width, c.width) << c.screenWidth << " x " << c.screenHeight;
        EXPECT_EQ(height, c.height) << c.screenWidth << " x " << c.screenHeight;
    }
}

TEST(DeveloperCodeTest, TheLastEightTypedCharactersOpenTheDeveloperMode) {
    struct Case {
        const char* name;
        std::u32string keys;  // 0 stands for a key without a character
        int enabledAt;        // index of the key that completes the code, -1 for none
    };
    const Case cases[] = {
        {"plain", U"mildcove", 7},
        {"capitals", U"MILDCOVE", 7},
        {"after other keys", U"xxmildcove", 9},
        {"broken by a key without character", std::u32string(U"mild") + char32_t(0) + U"cove", -1},
        {"shift before the first letter", std::u32string(1, char32_t(0)) + U"mildcove", 8},
        {"code typed twice", U"mildcovemildcove", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string typed;
        int first = -1;
        int count = 0;
        for (size_t i = 0; i < c.keys.size(); ++i) {
            if (typeDeveloperKey(typed, static_cast<int32_t>(c.keys[i]))) {
                if (first < 0) first = static_cast<int>(i);
                ++count;
                EXPECT_TRUE(typed.empty());
            }
            EXPECT_LE(typed.size(), 8u);
        }
        EXPECT_EQ(first, c.enabledAt);
        EXPECT_EQ(count, c.keys == U"mildcovemildcove" ? 2 : (c.enabledAt >= 0 ? 1 : 0));
    }
}

TEST(DeveloperCodeTest, KeyDownEventsSwitchTheModeOnForGood) {
    engine::CountedRef<GGameApp> app(new GGameApp());
    developerModeEnabled = false;
    for (char c : std::string("mildcov")) {
        engine::CountedRef<engine::KeyDownEvent> key(new engine::KeyDownEvent(c, c - 32, false, false));
        EXPECT_FALSE(app->handleEvent(key.get()));
    }
    EXPECT_FALSE(developerModeEnabled);
    engine::CountedRef<engine::KeyDownEvent> last(new engine::KeyDownEvent('e', 'E', false, false));
    EXPECT_FALSE(app->handleEvent(last.get()));
    EXPECT_TRUE(developerModeEnabled);
    EXPECT_TRUE(app->getTypedKeys().empty());
    engine::CountedRef<engine::KeyDownEvent> other(new engine::KeyDownEvent('q', 'Q', false, false));
    app->handleEvent(other.get());
    EXPECT_TRUE(developerModeEnabled);
    developerModeEnabled = false;
}

namespace {

void readLogos(const std::string& xml, GLogosConfiguration& config) {
    engine::XmlReader reader(xml.data(), xml.size(), "Logos.xml");
    config.read(reader);
}

}  // namespace

TEST(LogosConfigurationTest, ReadsLogosAtAnyDepthUpToTheEndOfTheList) {
    GLogosConfiguration config;
    readLogos(R"(<Logos>
  <Logo Image="logos/A.png" Time="2500" Skippable="true"/>
  <Group><Logo Image="logos/B.png" Time="2.9" Skippable="True"/></Group>
  <Logo/>
  <MMLogo Image="logos/M.png" Pos="x 12.5, -3" URL="http://example.org/"/>
  <Other Image="ignored"/>
</Logos>
<Logo Image="after the end"/>)",
              config);
    ASSERT_EQ(config.logos.size(), 3u);
    EXPECT_STREQ(config.logos[0].image.c_str(), "logos/A.png");
    EXPECT_EQ(config.logos[0].timeMs, 2500);
    EXPECT_TRUE(config.logos[0].skippable);
    EXPECT_STREQ(config.logos[1].image.c_str(), "logos/B.png");
    EXPECT_EQ(config.logos[1].timeMs, 2);
    EXPECT_FALSE(config.logos[1].skippable);
    EXPECT_TRUE(config.logos[2].image.empty());
    EXPECT_EQ(config.logos[2].timeMs, 0);
    ASSERT_EQ(config.menuLogos.size(), 1u);
    EXPECT_FLOAT_EQ(config.menuLogos[0].position.X, 12.5f);
    EXPECT_FLOAT_EQ(config.menuLogos[0].position.Y, -3.0f);
    EXPECT_STREQ(config.menuLogos[0].url.c_str(), "http://example.org/");

    // A second file adds to the list; a truncated one keeps what it held.
    readLogos("<Logos><Logo Image=\"logos/C.png\" Time=\"1\"/><Logo Image=\"cut", config);
    ASSERT_EQ(config.logos.size(), 4u);
    EXPECT_STREQ(config.logos[3].image.c_str(), "logos/C.png");
}

TEST(ContentLocationTest, PrefersTheExecutablesFolderThenTheInstalledOne) {
    testing_support::TempDir build, installed, empty;
    build.write("assets/scenes/LogosScene.oscn", "x");
    installed.write("assets.oca", "x");
    const std::string b = build.path().string(), i = installed.path().string(), e = empty.path().string();
    EXPECT_EQ(findContentFolder(b, i), b);
    EXPECT_EQ(findContentFolder(e, i), i);  // an archive alone counts
    EXPECT_EQ(findContentFolder(e, e), "");
    EXPECT_EQ(findContentFolder("", ""), "");
}
