// Every kind of tutorial action: what completes it, which presses it blocks
// (consumed, with the miss cue), and the requests it sends the level.
#include "engine/core/XmlReader.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/common/GameEvents.h"
#include "game/tutorial/GTutorialAction.h"
#include "tutorial/TutorialTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace engine;
using namespace tutorial_testing;
using game::GTutorialAction;

namespace {

// The action an "Action" element makes, read.
CountedRef<GTutorialAction> actionOf(const std::string& element) {
    CountedRef<XmlReader> reader = readerOf(element);
    while (reader->read() && reader->getNodeType() != irr::io::EXN_ELEMENT) {
    }
    CountedRef<GTutorialAction> action(game::createTutorialAction(reader->getAttributeValue(L"Type")));
    if (action) action->read(*reader);
    return action;
}

CountedRef<game::GBuildingConfig> recordNamed(const char* name) {
    CountedRef<game::GBuildingConfig> record(new game::GBuildingConfig());
    record->Name = makeNameId(name);
    return record;
}

// A building wearing a record of that name.
CountedRef<game::GBuildingNode> buildingOf(const char* recordName) {
    CountedRef<game::GBuildingNode> building(new game::GBuildingNode(nullptr, nullptr, nullptr));
    building->setName(makeNameId("Place01"));
    CountedRef<game::GBuildingConfig> record = recordNamed(recordName);
    building->setRecord(record.get(), false);
    return building;
}

struct Keep {
    std::vector<CountedRef<RefCounted>> held;
};

CountedRef<Event> buildingPressOf(const char* recordName, Keep& keep) {
    CountedRef<game::GBuildingNode> building = buildingOf(recordName);
    keep.held.push_back(CountedRef<RefCounted>::share(building.get()));
    return CountedRef<Event>(new NodePressedEvent(building.get()));
}

CountedRef<Event> completedOf(const char* recordName, Keep& keep) {
    CountedRef<game::GBuildingConfig> record = recordNamed(recordName);
    keep.held.push_back(CountedRef<RefCounted>::share(record.get()));
    return CountedRef<Event>(new game::GBuildingCompletedEvent(nullptr, record.get()));
}

}  // namespace

TEST(TutorialActionsTest, WatchingActionsCompleteOnTheirEventAndBlockTheRest) {
    struct Step {
        std::function<CountedRef<Event>(Keep&)> event;
        bool consumed;
        bool completeAfter;
    };
    struct Case {
        const char* element;
        std::vector<Step> steps;
    };
    auto press = [](const char* name) { return [name](Keep&) { return pressOf(name); }; };
    auto item = [](const char* list, int32_t index) { return [=](Keep&) { return listPressOf(list, index); }; };
    auto hover = [](const char* list, int32_t index) { return [=](Keep&) { return listHoverOf(list, index); }; };
    auto building = [](const char* record) { return [record](Keep& keep) { return buildingPressOf(record, keep); }; };
    auto completed = [](const char* record) { return [record](Keep& keep) { return completedOf(record, keep); }; };
    auto dirty = [](Keep&) { return CountedRef<Event>(new game::GDirtyBuildingRequestEvent()); };
    auto letter = [](Keep&) { return CountedRef<Event>(new game::GLetterRequestEvent()); };

    const Case cases[] = {
        {R"(<Action Type="MouseClick"/>)", {{press("JoysButton"), true, true}}},
        {R"(<Action Type="MouseClick"/>)", {{item("HotelsBuildList", 3), true, true}}},
        {R"(<Action Type="BuildingPress" BuildingTypes="BuildingPlace; Hotel1"/>)",
         {{building("Hotel2"), true, false},
          {press("HotelsButton"), true, false},
          {item("HotelsBuildList", 0), true, false},
          {building("Hotel1"), false, true}}},
        {R"(<Action Type="ControlPress" Controls="HotelsButton;Tab4Button"/>)",
         {{press("JoysButton"), true, false},
          {item("HotelsBuildList", 0), true, false},
          {hover("HotelsBuildList", 0), false, false},
          {press("Tab4Button"), false, true}}},
        {R"(<Action Type="ListItemPress" List="HotelsBuildList" Indices="0;2"/>)",
         {{item("HotelsBuildList", 1), true, false},
          {item("JoysBuildList", 0), true, false},
          {press("HotelsButton"), true, false},
          {item("HotelsBuildList", 2), false, true}}},
        {R"(<Action Type="ListItemHovered" List="HotelsBuildList" Indices="1"/>)",
         {{hover("HotelsBuildList", 0), false, false},
          {press("JoysButton"), false, false},
          {item("HotelsBuildList", 1), false, false},
          {hover("HotelsBuildList", 1), false, true}}},
        {R"(<Action Type="BuildingCompleted" Buildings="Camping1"/>)",
         {{press("AbortButton"), true, false},
          {press("UpgradeButton"), false, false},
          {completed("Hotel1"), false, false},
          {completed("Camping1"), false, true}}},
        {R"(<Action Type="BuildingCompletedOrExist" BuildingTypes="Camping1;Camping2"/>)",
         {{press("AbortButton"), false, false}, {completed("Camping2"), false, true}}},
        {R"(<Action Type="WaitDirty"/>)", {{letter, false, false}, {dirty, false, true}}},
        {R"(<Action Type="WaitLetter"/>)", {{dirty, false, false}, {letter, false, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        CountedRef<GTutorialAction> action = actionOf(c.element);
        ASSERT_TRUE(action);
        action->start(nullptr);
        EXPECT_FALSE(action->isComplete());
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            Keep keep;
            CountedRef<Event> event = c.steps[i].event(keep);
            EXPECT_EQ(action->handleEvent(event.get()), c.steps[i].consumed);
            EXPECT_EQ(action->isComplete(), c.steps[i].completeAfter);
        }
    }
}

TEST(TutorialActionsTest, TimedActionCountsDownAndUnknownTypesMakeNothing) {
    CountedRef<GTutorialAction> timed = actionOf(R"(<Action Type="Timed" Time="100"/>)");
    ASSERT_TRUE(timed);
    timed->update(60);
    EXPECT_FALSE(timed->isComplete());
    timed->update(40);
    EXPECT_TRUE(timed->isComplete());
    EXPECT_TRUE(actionOf(R"(<Action Type="Timed" Time="0"/>)")->isComplete());
    EXPECT_FALSE(actionOf(R"(<Action Type="timed"/>)"));
    EXPECT_FALSE(actionOf(R"(<Action Type="Teleport"/>)"));
    EXPECT_FALSE(actionOf(R"(<Action/>)"));
}

TEST(TutorialActionsTest, GeneratorsSendOneRequestPerUpdateWithTheirLists) {
    struct Case {
        const char* type;
        int32_t eventId;
    };
    const Case cases[] = {
        {"GenerateSellBuildingRequest", EventId::GSellBuildingRequestEvent},
        {"GenerateBrokenBuildingRequest", EventId::GBrokenBuildingRequestEvent},
        {"GenerateDirtyBuildingRequest", EventId::GDirtyBuildingRequestEvent},
        {"GenerateLetterRequest", EventId::GLetterRequestEvent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string element = std::string("<Action Type=\"") + c.type +
                                    "\" BuildingTypes=\"Camping1; Camping2\" PlaceNames=\"Place03\"/>";
        CountedRef<GTutorialAction> action = actionOf(element);
        ASSERT_TRUE(action);
        EXPECT_TRUE(action->isComplete());

        // Without a receiver (map and shop tutorials) nothing is sent.
        action->start(nullptr);
        action->update(20);

        CountedRef<FakeLevel> level(new FakeLevel());
        action->start(level.get());
        EXPECT_TRUE(level->events.empty());
        action->update(20);
        ASSERT_EQ(level->events.size(), 1u);
        auto* request = dynamic_cast<game::GRequestEvent*>(level->events[0].get());
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->getTypeId(), c.eventId);
        ASSERT_EQ(request->buildingTypes.size(), 2u);
        EXPECT_EQ(request->buildingTypes[1], makeNameId("Camping2"));
        ASSERT_EQ(request->placeNames.size(), 1u);
        EXPECT_EQ(request->placeNames[0], makeNameId("Place03"));
        if (auto* letter = dynamic_cast<game::GLetterRequestEvent*>(request)) {
            EXPECT_FLOAT_EQ(letter->moneyRange.X, 1.5f);
            EXPECT_FLOAT_EQ(letter->moneyRange.Y, 2.0f);
            EXPECT_GE(letter->waitTimeRange.X, 2.0e8f);
        }
    }
}

TEST(TutorialActionsTest, PauseRequestHoldsTheLevelForItsStepAndExistenceIsAskedOfTheLevel) {
    CountedRef<FakeLevel> level(new FakeLevel());
    CountedRef<GTutorialAction> pause = actionOf(R"(<Action Type="GeneratePauseRequest"/>)");
    ASSERT_TRUE(pause);
    pause->start(level.get());
    pause->update(1000);
    EXPECT_FALSE(pause->isComplete());
    pause->finish();
    const auto requests = level->received(EventId::GPauseRequestEvent);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(static_cast<game::GPauseRequestEvent*>(requests[0])->isPause());
    EXPECT_FALSE(static_cast<game::GPauseRequestEvent*>(requests[1])->isPause());

    CountedRef<GTutorialAction> exists = actionOf(R"(<Action Type="BuildingCompletedOrExist" BuildingTypes="Cafe"/>)");
    exists->start(level.get());
    exists->update(20);
    EXPECT_FALSE(exists->isComplete());
    const auto queries = level->received(EventId::GBuildingExistsQueryEvent);
    ASSERT_EQ(queries.size(), 1u);
    auto* query = static_cast<game::GBuildingExistsQueryEvent*>(queries[0]);
    ASSERT_EQ(query->getBuildingTypes().size(), 1u);
    EXPECT_EQ(query->getBuildingTypes()[0], makeNameId("Cafe"));
    level->buildingExists = true;
    exists->update(20);
    EXPECT_TRUE(exists->isComplete());
}
