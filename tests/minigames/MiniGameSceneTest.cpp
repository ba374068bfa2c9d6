// The mini-game base and the auction without a window or a scene manager:
// reading the configuration, the opening phases in simulated time, the
// auction's turns with a seeded generator, its clock and its end, and what a
// finished play writes into the player's progress.
#include "engine/content/ProfileStore.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneFile.h"
#include "engine/core/XmlReader.h"
#include "engine/visual/TextNode.h"
#include "game/app/GameNodeKinds.h"
#include "game/common/GameServices.h"
#include "game/common/GeometryNodes.h"
#include "game/minigames/GMiniGameAuctionScene.h"
#include "minigames/MiniGameFixtures.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace engine;
using namespace game;
using testing_support::LogCapture;

namespace {

// Counts the finished plays handed on to the game's hooks.
class CountingServices : public GameServices {
public:
    TimerScheduler* getTimerScheduler(int) const override { return nullptr; }
    SceneManager* getSceneManager(int) const override { return nullptr; }
    CContentManager* getContentManager() const override { return nullptr; }
    ComicsConfiguration* getComicsConfiguration() const override { return nullptr; }
    LevelScores* getLevelScores() const override { return nullptr; }
    BuildingsConfiguration* getBuildingsConfiguration() const override { return nullptr; }
    UpgradesConfiguration* getUpgradesConfiguration() const override { return nullptr; }
    AchievementsTracker* getAchievementsTracker() const override { return nullptr; }
    uint32_t getLastStepMs() const override { return 0; }
    void applySoundSettings() override {}
    bool setFullScreen(bool) override { return true; }
    void redrawNow() override {}
    void reportLevelCompleted(const stringc& levelName, const LevelResult& result) override {
        ++reports;
        lastLevel = levelName;
        lastResult = result;
    }

    int reports = 0;
    stringc lastLevel;
    LevelResult lastResult;
};

class MiniGameSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerStartupNodeKinds();
        registerGameNodeKinds();
        setGameServices(&services);
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
        ASSERT_TRUE(store.addProfile(L"Ann"));
        store.selectProfile(0);
        player = store.getCurrentProfile();
        player->setInt("LevelIndex", 23);
        player->setInt("MaxUnlockedLevelIndex", 22);
        player->setString("LevelName", "minigame_auction");
        getRandomGenerator() = RandomGenerator();
        getRandomGenerator().seed(7);
    }
    void TearDown() override {
        setGameServices(nullptr);
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }

    // The auction of the fixture tree, or one read from other text.
    static CountedRef<GMiniGameAuctionScene> auction(const std::string& text = minigame_tests::auctionSceneXml()) {
        XmlReader reader(text.data(), text.size(), "Level.oscn");
        BaseNode* node = readSceneFile(reader, CreationContext(nullptr, "Level.oscn"), "Level.oscn");
        auto* scene = dynamic_cast<GMiniGameAuctionScene*>(node);
        if (!scene && node) node->release();
        return CountedRef<GMiniGameAuctionScene>(scene);
    }
    static bool readConfiguration(GMiniGameScene& scene, const std::string& text) {
        XmlReader reader(text.data(), text.size(), "MiniGameConfiguration.xml");
        return scene.readConfiguration(reader);
    }
    static void activate(GBaseSceneNode& scene) {
        CountedRef<SceneActivatedEvent> event(new SceneActivatedEvent(nullptr, &scene, true));
        EXPECT_TRUE(scene.onSceneActivated(event.get()));
    }
    static bool press(GBaseSceneNode& scene, BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return scene.onNodePressed(event.get());
    }
    // Activates the auction and runs it past the intro and the caption.
    static void startPlaying(GMiniGameAuctionScene& scene) {
        activate(scene);
        for (int i = 0; i < 30; ++i) scene.onTimer(GMiniGameAuctionScene::kTimerMs);
        ASSERT_EQ(scene.phase, GMiniGameScene::Caption);
        press(scene, scene.getZone(0));
        ASSERT_EQ(scene.phase, GMiniGameScene::Playing);
    }
    static int32_t zoneOf(const GMiniGameAuctionScene& scene, bool correct) {
        for (int32_t i = 0; i < GMiniGameAuctionScene::kZoneCount; ++i) {
            if ((scene.getZoneValues()[i] == scene.getCorrectValue()) == correct) return i;
        }
        return -1;
    }

    CountingServices services;
    ProfileParameters* player = nullptr;
};

}  // namespace

TEST_F(MiniGameSceneTest, ConfigurationGivesTheLimitAndScoreAndHandsOtherElementsToTheGame) {
    struct Case {
        const char* name;
        std::string text;
        int32_t maxLevelTime;
        int32_t expertScore;
        bool limitGiven;
        size_t sequence;
        const char* logged;  // nullptr: no error
    };
    const Case cases[] = {
        {"whole", R"(<MiniGame><MaxLevelTime Value="90000"/><ExpertScore Value="600"/>
           <Sequence><S M="3" D="2"/><S/></Sequence><Other Value="1"/></MiniGame>)",
         90000, 600, true, 2, nullptr},
        {"limit only", R"(<MiniGame><MaxLevelTime Value="45000"/></MiniGame>)", 45000, 0, true, 0, nullptr},
        {"limit without a value keeps the earlier one", R"(<MiniGame><MaxLevelTime/></MiniGame>)", 5000, 0, false, 0,
         nullptr},
        {"empty", R"(<MiniGame/>)", 5000, 0, false, 0, nullptr},
        {"cut off", R"(<MiniGame><MaxLevelTime Value="70000"/><ExpertScore Val)", 70000, 0, true, 0,
         "before its end tag"},
        {"negative limit", R"(<MiniGame><MaxLevelTime Value="-20"/></MiniGame>)", 0, 0, true, 0, "MaxLevelTime"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountedRef<GMiniGameAuctionScene> scene = auction();
        ASSERT_TRUE(scene);
        scene->maxLevelTime = 5000;
        LogCapture log;
        readConfiguration(*scene, c.text);
        EXPECT_EQ(scene->maxLevelTime, c.maxLevelTime);
        EXPECT_EQ(scene->expertScore, c.expertScore);
        EXPECT_EQ(scene->hasMaxLevelTime(), c.limitGiven);
        EXPECT_EQ(scene->getSequence().size(), c.sequence);
        if (c.logged) {
            EXPECT_TRUE(log.contains(c.logged));
        } else {
            EXPECT_FALSE(log.hasErrors());
        }
    }
    CountedRef<GMiniGameAuctionScene> scene = auction();
    readConfiguration(*scene, R"(<MiniGame><Sequence><S M="3" D="2"/><S/></Sequence></MiniGame>)");
    ASSERT_EQ(scene->getSequence().size(), 2u);
    EXPECT_EQ(scene->getSequence()[0], std::make_pair(3, 2));
    EXPECT_EQ(scene->getSequence()[1], std::make_pair(2, 1));
}

TEST_F(MiniGameSceneTest, ConfigurationLoadsFromTheFolderAndAMissingFileIsLogged) {
    testing_support::TempDir folder;
    folder.write("levels/minigame_auction/MiniGameConfiguration.xml",
                 R"(<?xml version="1.0"?><MiniGame><MaxLevelTime Value="80000"/><ExpertScore Value="300"/></MiniGame>)");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    CountedRef<GMiniGameAuctionScene> scene = auction();
    EXPECT_TRUE(scene->loadConfiguration("levels/minigame_auction/"));
    EXPECT_EQ(scene->maxLevelTime, 80000);
    EXPECT_EQ(scene->expertScore, 300);

    CountedRef<GMiniGameAuctionScene> missing = auction();
    LogCapture log;
    EXPECT_FALSE(missing->loadConfiguration("levels/minigame_nowhere/"));
    EXPECT_TRUE(log.contains("Unable to find configuration for the minigame"));
    EXPECT_TRUE(log.contains("levels/minigame_nowhere/"));
    EXPECT_EQ(missing->maxLevelTime, 0);
    std::filesystem::current_path(previous);
}

TEST_F(MiniGameSceneTest, OpeningHidesTheCaptionShowsItAfterThePauseAndTheFirstClickOnlyDismissesIt) {
    CountedRef<GMiniGameAuctionScene> scene = auction();
    ASSERT_TRUE(scene);
    ASSERT_NE(scene->linet, nullptr);
    ASSERT_NE(scene->linetText, nullptr);
    EXPECT_EQ(scene->phase, GMiniGameScene::Idle);
    activate(*scene);
    EXPECT_EQ(scene->phase, GMiniGameScene::Intro);
    EXPECT_EQ(scene->linetText->getTintColor().getAlpha(), 0u);
    // The caption comes at the first call at which 300 ms have passed.
    for (int i = 0; i < 29; ++i) scene->onTimer(10);
    EXPECT_EQ(scene->phase, GMiniGameScene::Intro);
    scene->onTimer(10);
    EXPECT_EQ(scene->phase, GMiniGameScene::Caption);
    // No time passes before the play.
    scene->onTimer(10);
    EXPECT_EQ(scene->playTimeMs, 0u);

    // A zone pressed now only dismisses the caption.
    const int32_t right = zoneOf(*scene, true);
    EXPECT_FALSE(press(*scene, scene->getZone(right)));
    EXPECT_EQ(scene->phase, GMiniGameScene::Playing);
    EXPECT_EQ(scene->score, 0);
    EXPECT_EQ(scene->getTurnCount(), 0);
    scene->onTimer(10);
    EXPECT_EQ(scene->playTimeMs, 10u);
}

TEST_F(MiniGameSceneTest, TurnsDealTheirRangesNeverRepeatTheZonesAndEveryRightPickScoresFifteen) {
    for (uint32_t seed : {1u, 7u, 42u, 9001u}) {
        SCOPED_TRACE(seed);
        getRandomGenerator() = RandomGenerator();
        getRandomGenerator().seed(seed);
        CountedRef<GMiniGameAuctionScene> scene = auction();
        scene->maxLevelTime = 600000;
        startPlaying(*scene);
        std::vector<int32_t> previous;
        int32_t rightPicks = 0;
        for (int32_t turn = 0; turn < 60; ++turn) {
            const int32_t* zones = scene->getZoneValues();
            std::vector<int32_t> values(zones, zones + 3);
            std::vector<int32_t> sorted = values;
            std::sort(sorted.begin(), sorted.end());
            const int32_t middle = sorted[1];
            if (turn < 3) {
                EXPECT_EQ(sorted, (std::vector<int32_t>{1, 2, 3}));
            } else if (turn < 6) {
                EXPECT_TRUE(sorted == (std::vector<int32_t>{2, 3, 4}) || sorted == (std::vector<int32_t>{3, 4, 5}));
            } else {
                EXPECT_GE(middle, 2);
                EXPECT_LE(middle, 5);
                EXPECT_EQ(sorted[2], middle + 1);
                if (middle == 5) {
                    EXPECT_TRUE(sorted[0] == 4 || sorted[0] == 3);
                } else {
                    EXPECT_EQ(sorted[0], middle - 1);
                }
            }
            EXPECT_EQ(scene->getCorrectValue(), sorted[2]);
            EXPECT_NE(values, previous);
            previous = values;
            // Mostly right picks, every third a wrong one.
            const bool right = turn % 3 != 2;
            if (right) ++rightPicks;
            EXPECT_FALSE(press(*scene, scene->getZone(zoneOf(*scene, right))));
            EXPECT_EQ(scene->getReward(), 15);
            EXPECT_EQ(scene->getTurnCount(), turn + 1);
        }
        EXPECT_EQ(rightPicks, 40);
        EXPECT_EQ(scene->score, 600);
        EXPECT_EQ(stringc(scene->getScoreText()->getText()), "600");
        // Other nodes are no pick.
        CountedRef<BaseNode> other(new BaseNode(nullptr, nullptr, nullptr));
        EXPECT_FALSE(press(*scene, other.get()));
        EXPECT_EQ(scene->getTurnCount(), 60);
    }
}

TEST_F(MiniGameSceneTest, ThePlayEndsAtTheFirstCallAfterTheLimitOnceAndTheClockStopsThere) {
    CountedRef<GMiniGameAuctionScene> scene = auction();
    scene->maxLevelTime = 1000;
    startPlaying(*scene);
    EXPECT_EQ(stringc(scene->getTimeLeftText()->getText()), "00:01");
    for (int i = 0; i < 50; ++i) scene->onTimer(10);
    EXPECT_EQ(scene->getClockSector()->getAngle1(), 180);
    EXPECT_FLOAT_EQ(scene->getLongArrow()->getRotation().Z, 180.0f);
    for (int i = 0; i < 50; ++i) scene->onTimer(10);
    // At the limit, not yet over it.
    EXPECT_EQ(scene->playTimeMs, 1000u);
    EXPECT_FALSE(scene->isPlayCompleted());
    EXPECT_EQ(stringc(scene->getTimeLeftText()->getText()), "00:00");
    scene->onTimer(10);
    EXPECT_TRUE(scene->isPlayCompleted());
    EXPECT_EQ(services.reports, 1);
    // However long the timer goes on, the clock stays and nothing is saved again.
    for (int i = 0; i < 500; ++i) scene->onTimer(10);
    EXPECT_EQ(scene->playTimeMs, 1010u);
    EXPECT_EQ(services.reports, 1);
    EXPECT_EQ(stringc(scene->getTimeLeftText()->getText()), "00:00");
    EXPECT_EQ(scene->getClockSector()->getAngle1(), 360);
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 23);
    EXPECT_EQ(player->getInt("LevelIndex"), 24);
    // A pick after the end counts nothing.
    const int32_t score = scene->score;
    press(*scene, scene->getZone(zoneOf(*scene, true)));
    EXPECT_EQ(scene->score, score);

    // A new activation is a new play, which may end once more.
    startPlaying(*scene);
    EXPECT_EQ(scene->playTimeMs, 0u);
    EXPECT_FALSE(scene->isPlayCompleted());
    for (int i = 0; i < 101; ++i) scene->onTimer(10);
    EXPECT_EQ(services.reports, 2);
}

TEST_F(MiniGameSceneTest, WithoutATimeLimitTheAuctionTakesAMinuteAndAZeroLimitShowsAFullClock) {
    // No configuration: logged, and a minute to play.
    CountedRef<GMiniGameAuctionScene> scene = auction();
    {
        LogCapture log;
        startPlaying(*scene);
        EXPECT_TRUE(log.contains("MaxLevelTime"));
    }
    EXPECT_EQ(scene->maxLevelTime, GMiniGameAuctionScene::kDefaultMaxLevelTime);
    EXPECT_EQ(stringc(scene->getTimeLeftText()->getText()), "01:00");
    for (int i = 0; i < 6000; ++i) scene->onTimer(10);
    EXPECT_FALSE(scene->isPlayCompleted());
    scene->onTimer(10);
    EXPECT_TRUE(scene->isPlayCompleted());

    // A limit of 0 given by the file ends the play at once, with a clock that
    // shows no turned angle rather than a division by zero.
    CountedRef<GMiniGameAuctionScene> zero = auction();
    readConfiguration(*zero, R"(<MiniGame><MaxLevelTime Value="0"/></MiniGame>)");
    startPlaying(*zero);
    EXPECT_EQ(zero->maxLevelTime, 0);
    zero->onTimer(10);
    EXPECT_TRUE(zero->isPlayCompleted());
    EXPECT_EQ(zero->getClockSector()->getAngle1(), 0);
    EXPECT_FLOAT_EQ(zero->getLongArrow()->getRotation().Z, 0.0f);
    EXPECT_EQ(stringc(zero->getTimeLeftText()->getText()), "00:00");
}

TEST_F(MiniGameSceneTest, AFinishedPlayUnlocksOnceKeepsTheBestScoreAndTheBestTime) {
    struct Play {
        const char* name;
        int32_t levelIndex;
        int32_t maxUnlocked;
        int32_t score;
        uint32_t timeMs;
        int32_t expectMaxUnlocked;
        int32_t expectLevelIndex;
        const char* expectScores;
        const char* expectTimes;
        int32_t expectGain;
    };
    // One player's plays in order, at location 3 after "100;250".
    const Play plays[] = {
        {"first finish", 3, 2, 80, 30000, 3, 4, "100;250;0;80", "0;0;0;30000", 80},
        {"lower score, slower", 3, 5, 50, 40000, 5, 3, "100;250;0;80", "0;0;0;30000", 0},
        {"higher score, faster", 3, 5, 95, 20000, 5, 3, "100;250;0;95", "0;0;0;20000", 15},
        {"first finish further on", 4, 3, 10, 1000, 4, 5, "100;250;0;95;10", "0;0;0;20000;1000", 10},
    };
    player->setString("Scores", "100;250");
    player->setString("Times", "");
    for (const Play& p : plays) {
        SCOPED_TRACE(p.name);
        player->setInt("LevelIndex", p.levelIndex);
        player->setInt("MaxUnlockedLevelIndex", p.maxUnlocked);
        CountedRef<GMiniGameAuctionScene> scene = auction();
        scene->setPhase(GMiniGameScene::Intro);
        scene->score = p.score;
        scene->playTimeMs = p.timeMs;
        const int before = services.reports;
        LogCapture log;  // no results scene without a manager
        // However often a game calls it, a play is saved once.
        for (int i = 0; i < 5; ++i) scene->complete();
        EXPECT_EQ(services.reports, before + 1);
        EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), p.expectMaxUnlocked);
        EXPECT_EQ(player->getInt("LevelIndex"), p.expectLevelIndex);
        EXPECT_EQ(player->getString("Scores"), p.expectScores);
        EXPECT_EQ(player->getString("Times"), p.expectTimes);
        EXPECT_EQ(scene->getLastScoreGain(), p.expectGain);
        EXPECT_EQ(services.lastLevel, "minigame_auction");
        EXPECT_EQ(services.lastResult.playTimeSeconds, static_cast<int32_t>(p.timeMs / 1000));
        EXPECT_EQ(stringc(services.lastResult.playerName), "Ann");
    }

    // No location selected (the default -1): nothing written, logged.
    player->setInt("LevelIndex", -1);
    CountedRef<GMiniGameAuctionScene> scene = auction();
    scene->score = 10;
    LogCapture log;
    scene->complete();
    EXPECT_TRUE(log.contains("level index is out of range"));
    EXPECT_EQ(player->getString("Scores"), "100;250;0;95;10");

    // Without a player nothing is saved and the play still ends.
    getProfileStore().removeProfile(0);
    CountedRef<GMiniGameAuctionScene> alone = auction();
    alone->complete();
    EXPECT_TRUE(alone->isPlayCompleted());
}
