// Every reader fed broken files: a logged error and a safe result, never a
// crash nor a record read half.
#include "ConfigTestSupport.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "support/LogCapture.h"
#include <functional>
#include <random>
#include <gtest/gtest.h>

using namespace config_test;

namespace {

// One well-formed document per reader, each holding two records.
struct Reader {
    const char* name;
    std::string good;
    // Reads the text into a holder that already holds a record called
    // "Before"; returns the number of records afterwards and whether "Before"
    // survived.
    std::function<bool(engine::XmlReader&, size_t& count, bool& keptOld)> read;
};

std::vector<Reader> readers() {
    return {
        {"buildings",
         "<BuildingsConfiguration><Building><Properties><string Name='Name' Value='A'/></Properties>"
         "<ActiveFeature DurationTime='1'><Feature Type='BoostIncome'/></ActiveFeature></Building>"
         "<Building><Properties><string Name='Name' Value='B'/><float Name='Cost' Value='3'/></Properties>"
         "<LevelModifiers><Modifier Type='BuildTimeM' Value='2'/></LevelModifiers></Building></BuildingsConfiguration>",
         [](engine::XmlReader& r, size_t& count, bool& keptOld) {
             game::BuildingsConfiguration config;
             auto seed = xml("<BuildingsConfiguration><Building><Properties><string Name='Name' Value='Before'/>"
                             "</Properties></Building></BuildingsConfiguration>");
             config.readBuildingsConfiguration(*seed);
             const bool ok = config.readBuildingsConfiguration(r);
             count = config.records().size();
             keptOld = config.find(id("Before")) != nullptr;
             for (const auto& entry : config.records()) {
                 // Whatever was kept is whole: its features and lists are usable.
                 for (const auto& f : entry.second->ActiveFeatures) {
                     EXPECT_GE(f.rechargeTime, 0);
                 }
                 if (entry.second->LevelModifiers) {
                     EXPECT_LE(entry.second->LevelModifiers->size(), 1u);
                 }
             }
             return ok;
         }},
        {"upgrades",
         "<UpgradesConfiguration><Upgrade><Name Value='A'/><Price Value='1'/><AllowsBuilding Value='X'/></Upgrade>"
         "<Upgrade><Name Value='B'/><LevelModifiers><Modifier Type='WorkersCostA' Value='1'/></LevelModifiers>"
         "</Upgrade></UpgradesConfiguration>",
         [](engine::XmlReader& r, size_t& count, bool& keptOld) {
             game::UpgradesConfiguration config;
             auto seed = xml("<UpgradesConfiguration><Upgrade><Name Value='Before'/></Upgrade></UpgradesConfiguration>");
             config.readUpgradesConfiguration(*seed);
             const bool ok = config.readUpgradesConfiguration(r);
             count = config.upgrades().size();
             keptOld = config.find(id("Before")) != nullptr;
             game::LevelAvailability availability;
             availability.fill(config, nullptr, 40, "A;B;Before");
             return ok;
         }},
        {"scores",
         "<LevelScores><Level Name='A' Score='1'/><Level Name='B' Score='2' Time='3'/></LevelScores>",
         [](engine::XmlReader& r, size_t& count, bool& keptOld) {
             game::LevelScores scores;
             auto seed = xml("<LevelScores><Level Name='Before'/></LevelScores>");
             scores.readLevelScores(*seed);
             const bool ok = scores.readLevelScores(r);
             count = scores.entries().size();
             keptOld = scores.entries().count("Before") != 0;
             return ok;
         }},
        {"comics",
         "<ComicsConfiguration><Comics><Level Value='1'/><ScenePath Value='a'/></Comics>"
         "<Comics><Level Value='2'/><ScenePath Value='b'/></Comics></ComicsConfiguration>",
         [](engine::XmlReader& r, size_t& count, bool& keptOld) {
             game::ComicsConfiguration comics;
             auto seed = xml("<ComicsConfiguration><Comics><Level Value='99'/></Comics></ComicsConfiguration>");
             comics.readComicsConfiguration(*seed);
             const bool ok = comics.readComicsConfiguration(r);
             count = comics.comics().size();
             keptOld = comics.find(99) != nullptr;
             return ok;
         }},
        {"paths",
         "<LevelPaths><CarPaths><Path ID='A' Time='1, 2'><p p='1, 2'/><p p='3, 4'/></Path></CarPaths>"
         "<PedestrianPaths><Path><p p='1, 2'/></Path></PedestrianPaths></LevelPaths>",
         [](engine::XmlReader& r, size_t& count, bool& keptOld) {
             game::GLevelPaths paths;
             auto seed = xml("<LevelPaths><CarPaths><Path ID='Before'><p p='5, 6'/></Path></CarPaths></LevelPaths>");
             paths.readLevelPaths(*seed);
             const bool ok = paths.readLevelPaths(r);
             count = paths.carPathIds().size() + paths.pedestrianPaths().size();
             keptOld = !paths.carPaths(id("Before")).empty();
             for (engine::NameId pathId : paths.carPathIds()) {
                 for (const auto* path : paths.carPaths(pathId)) EXPECT_NE(path, nullptr);
             }
             return ok;
         }},
        {"level",
         "<Level><Properties><stringw Name='Name' Value='3'/><int Name='DayLength' Value='30'/></Properties>"
         "<Objectives><Objective Type='Money' Value='5'/></Objectives>"
         "<RandomEvents><Event Type='RegularBrokenBuildingRequest' PeriodRange='1000, 2000'/></RandomEvents></Level>",
         [](engine::XmlReader& r, size_t& count, bool& keptOld) {
             game::GLevelConfig level;
             const bool ok = level.readLevelConfiguration(r);
             count = (level.levelNumber == 3 ? 1u : 0u) + level.objectives->size() + level.randomEvents->size();
             keptOld = false;
             // A record read in part still answers safely.
             EXPECT_GE(level.dayLength, 1);
             EXPECT_TRUE(level.objectives);
             EXPECT_TRUE(level.randomEvents);
             return ok;
         }},
    };
}

}  // namespace

TEST(ConfigurationBadInput, WellFormedFilesLoadQuietly) {
    for (const Reader& reader : readers()) {
        SCOPED_TRACE(reader.name);
        testing_support::LogCapture log;
        auto xmlReader = xml(reader.good);
        size_t count = 0;
        bool keptOld = true;
        EXPECT_TRUE(reader.read(*xmlReader, count, keptOld));
        EXPECT_FALSE(keptOld);
        EXPECT_GE(count, 2u);
        EXPECT_TRUE(log.entries().empty());
    }
}

TEST(ConfigurationBadInput, TruncatedFilesAreLoggedAndCutRecordsDropped) {
    for (const Reader& reader : readers()) {
        size_t fullCount = 0;
        {
            bool keptOld = false;
            auto full = xml(reader.good);
            reader.read(*full, fullCount, keptOld);
        }
        // Every cut of the document, from nothing to all but its last byte.
        for (size_t cut = 0; cut < reader.good.size(); ++cut) {
            SCOPED_TRACE(std::string(reader.name) + " cut at " + std::to_string(cut));
            testing_support::LogCapture log;
            auto xmlReader = xml(reader.good.substr(0, cut));
            size_t count = 0;
            bool keptOld = false;
            EXPECT_FALSE(reader.read(*xmlReader, count, keptOld));
            EXPECT_TRUE(log.hasErrors());
            EXPECT_LE(count, fullCount + (keptOld ? 1 : 0));
        }
    }
}

TEST(ConfigurationBadInput, GarbageLeavesHoldersAsTheyWere) {
    const std::string garbage[] = {
        "",
        "not xml at all",
        std::string("\x00\x01\x02\xff\xfe", 5),
        "<Other><Building/></Other>",
        "<<<>>>",
        "<?xml version='1.0'?>",
    };
    for (const Reader& reader : readers()) {
        for (const std::string& text : garbage) {
            SCOPED_TRACE(std::string(reader.name) + ": " + text);
            testing_support::LogCapture log;
            auto xmlReader = xml(text);
            size_t count = 0;
            bool keptOld = false;
            EXPECT_FALSE(reader.read(*xmlReader, count, keptOld));
            EXPECT_TRUE(log.hasErrors());
            // A reload of a damaged file loses nothing held before it.
            if (std::string(reader.name) != "level") {
                EXPECT_TRUE(keptOld);
                EXPECT_EQ(count, 1u);
            }
        }
    }
}

TEST(ConfigurationBadInput, WrongTypesAndOutOfRangeValuesGiveDefaults) {
    testing_support::LogCapture log;
    game::BuildingsConfiguration buildings;
    auto b = xml(
        "<BuildingsConfiguration><Building><Properties><string Name='Name' Value='A'/>"
        "<string Name='Level' Value='x'/><vector2d Name='Cost' Value='1;2'/><float Name='ServeArea' Value='3'/>"
        "<int Name='ProvidedService' Value='99999999999'/></Properties>"
        "<ActiveFeature DurationTime='abc' RechargeTime='-1e30' MoneyCost='1e999'/></Building></BuildingsConfiguration>");
    ASSERT_TRUE(buildings.readBuildingsConfiguration(*b));
    const game::GBuildingConfig* r = buildings.find(id("A"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Level, 0);
    EXPECT_FLOAT_EQ(r->Cost, 0.0f);
    EXPECT_FLOAT_EQ(r->ServeArea.X, 0.0f);
    EXPECT_EQ(r->ProvidedService, 0);
    EXPECT_EQ(r->ActiveFeatures[0].durationTime, 0);

    game::LevelScores scores;
    auto s = xml("<LevelScores><Level Name='A' Score='x' Time='1e12'/><Level/></LevelScores>");
    ASSERT_TRUE(scores.readLevelScores(*s));
    EXPECT_EQ(scores["A"].Score, 0);
    EXPECT_EQ(scores.entries().count(""), 1u);
}

TEST(ConfigurationBadInput, MutatedFilesReadSafely) {
    // Seeded byte flips, insertions and deletions of each good document. A
    // reader that fails says so in the log; a holder either keeps what it
    // held (its old record alone) or takes the records read, never more than
    // the document holds; the readers' own checks run on whatever they keep.
    std::mt19937 random(2024);
    const char alphabet[] = "<>/=\"' ;,-.0123456789abcPropertiesLevelModifier\x01\xff";
    for (const Reader& reader : readers()) {
        SCOPED_TRACE(reader.name);
        size_t fullCount = 0;
        {
            bool keptOld = false;
            auto full = xml(reader.good);
            reader.read(*full, fullCount, keptOld);
        }
        for (int round = 0; round < 300; ++round) {
            std::string text = reader.good;
            const int edits = 1 + static_cast<int>(random() % 6);
            for (int e = 0; e < edits && !text.empty(); ++e) {
                const size_t at = random() % text.size();
                const char c = alphabet[random() % (sizeof(alphabet) - 1)];
                switch (random() % 3) {
                    case 0: text[at] = c; break;
                    case 1: text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c); break;
                    default: text.erase(at, 1 + random() % 8); break;
                }
            }
            SCOPED_TRACE(text);
            testing_support::LogCapture log;
            auto xmlReader = xml(text);
            size_t count = 0;
            bool keptOld = false;
            const bool ok = reader.read(*xmlReader, count, keptOld);
            if (!ok) EXPECT_TRUE(log.hasErrors());
            if (keptOld) {
                EXPECT_FALSE(ok);
                EXPECT_EQ(count, 1u);
            } else {
                EXPECT_LE(count, fullCount);
            }
        }
    }
}
