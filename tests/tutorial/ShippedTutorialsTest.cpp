// The tutorials the game ships: every step reads, every action is of a kind
// the game knows, and windows and arrows stay on the 1024 x 768 screen.
#include "engine/core/XmlReader.h"
#include "game/tutorial/GTutorial.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace engine;

namespace {

const std::filesystem::path kAssets = std::filesystem::path(TEST_SOURCE_DIR) / "assets";

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(ShippedTutorialsTest, EveryStepReadsAndStaysOnTheScreen) {
    std::vector<std::string> files;
    for (int number = 1; number <= 35; ++number) {
        const std::string file = "levels/level" + std::to_string(number) + "/Tutorial.xml";
        if (std::filesystem::exists(kAssets / file)) files.push_back(file);
    }
    // The first two levels teach the basics step by step; later levels add a lesson each.
    ASSERT_GE(files.size(), 10u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string text = readText(kAssets / file);
        ASSERT_FALSE(text.empty());
        XmlReader reader(text.data(), text.size(), file.c_str());
        std::vector<game::GTutorialStep> steps;
        ASSERT_TRUE(game::readTutorialSteps(reader, steps));
        ASSERT_GT(steps.size(), file.find("level1/") != std::string::npos || file.find("level2/") != std::string::npos
                                    ? 3u
                                    : 0u);

        size_t actions = 0;
        for (const auto& step : steps) actions += step.actions.size();
        const std::regex action("<Action ");
        const auto written = std::distance(std::sregex_iterator(text.begin(), text.end(), action), std::sregex_iterator());
        EXPECT_EQ(actions, static_cast<size_t>(written)) << "an action of an unknown kind";

        for (size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(i);
            const auto& step = steps[i];
            // A step that can only end by itself must have a way to end.
            EXPECT_TRUE(step.messageBox || !step.actions.empty());
            if (!step.stepText.empty()) {
                // The window's panel spans (-57, -29) to (389, 139) around its position.
                EXPECT_GE(step.position.X - 57, 0.0f);
                EXPECT_LE(step.position.X + 389, 1024.0f);
                EXPECT_GE(step.position.Y - 29, 0.0f);
                EXPECT_LE(step.position.Y + 139, 626.0f) << "the window covers the bottom panel";
                EXPECT_EQ(step.textPosition, vector3df(-35, -11, 1));
            }
            for (const auto& arrow : step.arrows) {
                EXPECT_GE(arrow.position.X, 0.0f);
                EXPECT_LE(arrow.position.X, 1024.0f);
                EXPECT_GE(arrow.position.Y, 0.0f);
                EXPECT_LE(arrow.position.Y, 768.0f);
            }
        }
    }
}
