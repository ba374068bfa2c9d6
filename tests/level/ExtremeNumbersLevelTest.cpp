// The running level at the ends of its numbers: the feature icons with a
// template collection that lacks one of them, the rating count at ratings
// far beyond any threshold, and clocks and sums that add up past the int
// range.
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"
#include "level/LevelSceneFixture.h"

#include <climits>
#include <string>

using namespace engine;
using level_test::SmallLevelTest;

namespace {

class ExtremeNumbersLevelTest : public SmallLevelTest {};

const char* const kFeature =
    "<ActiveFeature DurationTime=\"1000\" RechargeTime=\"2000\" MoneyCost=\"50\"><Feature Type=\"BoostIncome\"/>"
    "</ActiveFeature>";

}  // namespace

TEST_F(ExtremeNumbersLevelTest, AHotelWithTwoFeaturesShowsTheOneIconItsCollectionHas) {
    for (const char* icon : {"Feature1Icon", "Feature2Icon", ""}) {
        SCOPED_TRACE(icon);
        testing_support::SmallContent content;
        // Hotel1 gets a second feature, and the upgrade allows it.
        const std::string end = "</ActiveFeature>";
        const size_t at = content.buildings.find(end) + end.size();
        content.buildings.insert(at, kFeature);
        content.upgrades.insert(content.upgrades.find("</Upgrade>"),
                                "<AllowsBuildingFeature Building=\"Hotel1\" FeatureIndex=\"2\"/>");
        if (*icon) {
            content.templates.insert(content.templates.rfind("</SceneNode>"),
                                     std::string("  <SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" "
                                                 "Value=\"") + icon + "\"/></Properties></SceneNode>\n");
        }
        testing_support::HeadlessLevel::writeContent(folder.path().string(), content);
        testing_support::HeadlessLevel fresh;
        ASSERT_TRUE(fresh.load(folder.path().string(), "levels/test/")) << fresh.failure();
        game::GBuildingNode* hotel = fresh.building("Place02");
        ASSERT_NE(hotel, nullptr);
        ASSERT_EQ(hotel->getRecord()->ActiveFeatures.size(), 2u);
        EXPECT_TRUE(hotel->isFeatureAvailable(1));
        hotel->updateFeatureIcons();
        const bool first = std::string(icon) == "Feature1Icon";
        BaseNode* shown = hotel->getFeatureIcon(first ? 0 : 1);
        if (*icon) {
            ASSERT_NE(shown, nullptr);
            EXPECT_TRUE(shown->isVisible());
        }
        EXPECT_EQ(hotel->getFeatureIcon(first ? 1 : 0), nullptr);
        fresh.advance(200);
    }
}

TEST_F(ExtremeNumbersLevelTest, TheRatingCountEndsAtAnyRating) {
    start();
    struct Case {
        float rating;
        int32_t level;
    };
    const Case cases[] = {
        {-1.0f, -1}, {0.0f, 0}, {49.99f, 0}, {50.0f, 1}, {120.0f, 2}, {1e9f, 20000000}, {3e9f, 60000000},
        {1e12f, INT_MAX}, {1e30f, INT_MAX},
    };
    for (const Case& c : cases) {
        scene->rating = c.rating;
        EXPECT_EQ(scene->ratingLevel(), c.level) << c.rating;
    }
}

TEST_F(ExtremeNumbersLevelTest, AnInitialRatingBeyondItsRangeIsKeptWithinIt) {
    testing_support::SmallContent content;
    content.configuration = level_test::levelConfiguration("<float Name=\"InitRating\" Value=\"1e12\"/>", "");
    start(content);
    EXPECT_FLOAT_EQ(scene->rating, game::bounds::kPercent);
    EXPECT_EQ(scene->ratingLevel(), static_cast<int32_t>(game::bounds::kPercent) / 50);
}

TEST_F(ExtremeNumbersLevelTest, ShowersAddUpToNoMoreThanTheLongestTime) {
    start();
    ASSERT_NE(scene->weatherNode, nullptr);
    for (int i = 0; i < 3; ++i) {
        CountedRef<game::GWeatherRequestEvent> shower(new game::GWeatherRequestEvent(INT_MAX, INT_MAX));
        scene->handleEvent(shower.get());
    }
    EXPECT_EQ(scene->weatherRemainingMs, INT_MAX);
    level.advance(100);
    EXPECT_EQ(scene->weatherRemainingMs, INT_MAX - 100);
}
