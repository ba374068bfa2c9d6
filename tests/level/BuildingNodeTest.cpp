// The building node on the headless level: overlay binding, records and the
// states they bring, the job bookkeeping, ownership and body tint, stars,
// workers and feature-icon placement, properties and copies, money letters.
#include "audio/FakeSound.h"
#include "engine/audio/SoundCue.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/level/tasks/GBuildingTask.h"
#include "level/BuildingTestSupport.h"

#include <cmath>
#include <memory>
#include <string>

using namespace engine;
using building_test::BuildingTest;
using building_test::textOf;
using game::GBuildingConfig;
using game::GBuildingNode;

namespace {

// A job that reports a fixed progress and counts its cancels.
class StubTask : public game::GBuildingTask {
public:
    float getProgress() override { return 0.25f; }
    bool run(uint32_t) override { return true; }
    void cancel() override { ++cancels; }
    int32_t cancels = 0;
};

}  // namespace

TEST_F(BuildingTest, PlacesBindTheirOverlaysAndRunOnTheLevelsScheduler) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    ASSERT_NE(hotel, nullptr);
    EXPECT_NE(hotel->getSmileIcon(), nullptr);
    EXPECT_NE(hotel->getWorkersText(), nullptr);
    EXPECT_NE(hotel->getPhoneIcon(), nullptr);
    EXPECT_NE(hotel->getForSaleNode(), nullptr);
    EXPECT_NE(hotel->getPriceText(), nullptr);
    EXPECT_NE(hotel->getServeArea(), nullptr);
    EXPECT_NE(hotel->getFeatureIcon(0), nullptr);
    EXPECT_NE(hotel->getFeatureIcon(1), nullptr);
    EXPECT_NE(hotel->getMoneyBurst(), nullptr);
    EXPECT_NE(hotel->getSelector(), nullptr);
    EXPECT_EQ(hotel->getStars().size(), 3u);
    EXPECT_FALSE(hotel->getPhoneIcon()->isVisible());
    EXPECT_FALSE(hotel->getForSaleNode()->isVisible());
    EXPECT_FALSE(hotel->getWorkersText()->isVisible());
    EXPECT_EQ(hotel->TimerListener::getTimerScheduler(), scene->SceneNode::getTimerScheduler());
    EXPECT_EQ(hotel->getPeriod(), 50u);

    // The overlays are the building's own: a copy of the place does not take them.
    CountedRef<BaseNode> copy(hotel->clone(nullptr, nullptr));
    EXPECT_EQ(copy->findChild(makeNameId("PhoneIcon"), 1), nullptr);
    EXPECT_EQ(copy->findChild(makeNameId("Feature1Icon"), 1), nullptr);
}

TEST_F(BuildingTest, RecordsBringTheirConditions) {
    startWithOverlays("<bool Name=\"IsNotOwnedDecorationsDirty\" Value=\"true\"/>");
    // A ruin needs restoring; an owned decoration stays clean.
    EXPECT_EQ(place("Place08")->getCondition(), GBuildingNode::kNeedsRestoring);
    EXPECT_EQ(place("Place08")->getConditionIcon(), nullptr);
    EXPECT_EQ(place("Place03")->getCondition(), GBuildingNode::kNoCondition);

    // An unowned decoration with a serve-area bonus shows its dirt at once.
    GBuildingNode* other = place("Place04");
    other->setRecord(record("Garden"), false);
    EXPECT_EQ(other->getCondition(), GBuildingNode::kDirty);
    ASSERT_NE(other->getConditionIcon(), nullptr);
    EXPECT_EQ(other->getConditionIcon()->getName(), makeNameId("DirtyIcon"));

    struct Case {
        int32_t condition;
        const char* icon;
    };
    const Case cases[] = {{1, "RepairIcon"}, {2, "DirtyIcon"}, {3, nullptr}, {4, nullptr}, {5, "RepairIcon"}, {0, nullptr}};
    GBuildingNode* hotel = place("Place02");
    for (const Case& c : cases) {
        hotel->setCondition(c.condition);
        int32_t icons = 0;
        for (const char* name : {"RepairIcon", "DirtyIcon"}) {
            icons += hotel->findChild(makeNameId(name), 1) ? 1 : 0;
        }
        EXPECT_EQ(icons, c.icon ? 1 : 0) << c.condition;
        if (c.icon) {
            ASSERT_NE(hotel->getConditionIcon(), nullptr);
            EXPECT_EQ(hotel->getConditionIcon()->getName(), makeNameId(c.icon));
        } else {
            EXPECT_EQ(hotel->getConditionIcon(), nullptr);
        }
    }
}

TEST_F(BuildingTest, SetRecordKeepsTheOldOneAndClonesShareTheirSource) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    GBuildingConfig* first = hotel->getRecord();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, record("Hotel1"));  // the building's own copy
    EXPECT_EQ(first->Name, makeNameId("Hotel1"));

    CountedRef<BaseNode> copy(hotel->clone(nullptr, nullptr));
    GBuildingNode* twin = nodeCast<GBuildingNode>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->getRecord(), first);
    EXPECT_TRUE(twin->isOwnedByThePlayer());

    hotel->setRecord(record("Hotel2"), false);
    EXPECT_EQ(hotel->getPreviousRecord(), first);
    EXPECT_EQ(hotel->getRecord()->Name, makeNameId("Hotel2"));
    EXPECT_EQ(twin->getRecord(), first);

    // A missing record leaves the place as it was.
    hotel->setRecord(nullptr, false);
    EXPECT_EQ(hotel->getRecord()->Name, makeNameId("Hotel2"));
}

TEST_F(BuildingTest, RestoringCutsActiveFeaturesShortIntoTheirRecharge) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    CountedRef<GBuildingConfig> timed = makeRecord("Timed", 1, 0);
    timed->ActiveFeatures.push_back(feature(1000, 2000, "BoostIncome"));
    timed->ActiveFeatures.push_back(feature(0, 3000));
    timed->ActiveFeatures.push_back(feature(-5, 0));
    hotel->setRecord(timed.get(), false);
    ASSERT_EQ(hotel->getFeatureStates().size(), 3u);
    hotel->activateFeature(0);
    hotel->updateFeatures(250);  // 750 of 1000 left
    hotel->activateFeature(1);
    hotel->activateFeature(2);
    hotel->saveState();

    // An upgrade starts with fresh features and is then taken back.
    hotel->setRecord(record("Hotel2"), false);
    EXPECT_TRUE(hotel->getFeatureStates().empty());
    hotel->setRecord(timed.get(), true);

    const std::vector<GBuildingNode::FeatureState>& states = hotel->getFeatureStates();
    ASSERT_EQ(states.size(), 3u);
    struct Case {
        size_t index;
        int32_t remaining;
    };
    // A quarter of the running time used leaves a quarter of the recharge;
    // a feature without running time has used all of it and recharges fully.
    const Case cases[] = {{0, 500}, {1, 3000}, {2, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(states[c.index].state, GBuildingNode::kFeatureRecharging) << c.index;
        EXPECT_EQ(states[c.index].remaining, c.remaining) << c.index;
        EXPECT_FALSE(states[c.index].boost) << c.index;
        EXPECT_EQ(states[c.index].boostCountdown, 0) << c.index;
    }
}

TEST_F(BuildingTest, OnlyTheRunningJobClearsItself) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    EXPECT_FLOAT_EQ(hotel->jobProgress(), 1.0f);
    hotel->setJob(GBuildingNode::kMaintenanceJob, nullptr);
    EXPECT_FLOAT_EQ(hotel->jobProgress(), 0.0f);
    hotel->cancelJob();  // nothing to cancel

    CountedRef<StubTask> running(new StubTask());
    CountedRef<StubTask> stale(new StubTask());
    hotel->setJob(GBuildingNode::kDestructionJob, running.get());
    EXPECT_FLOAT_EQ(hotel->jobProgress(), 0.25f);
    EXPECT_FALSE(hotel->clearJob(stale.get()));
    EXPECT_FALSE(hotel->clearJob(nullptr));
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kDestructionJob);
    hotel->cancelJob();
    EXPECT_EQ(running->cancels, 1);
    EXPECT_EQ(stale->cancels, 0);
    EXPECT_TRUE(hotel->clearJob(running.get()));
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kNoJob);
    EXPECT_EQ(hotel->getJob(), nullptr);
}

TEST_F(BuildingTest, StarsFollowOwnershipTypeAndTheRunningConstruction) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    CountedRef<GBuildingConfig> third = makeRecord("Hotel3", 3, 0);
    hotel->setRecord(third.get(), false);
    BaseNode* stars = hotel->getStarIcons();
    ASSERT_NE(stars, nullptr);
    EXPECT_TRUE(stars->isVisible());
    for (SpriteNode* star : hotel->getStars()) EXPECT_TRUE(star->isVisible());

    // The star of the building's level minus one, in level coordinates.
    SpriteNode* second = hotel->getStars()[1];
    const vector3df expected = stars->getPosition() + hotel->getPosition() + second->getPosition() +
                               second->getBounds() * 0.5f;
    const vector3df at = hotel->levelStarPosition();
    EXPECT_FLOAT_EQ(at.X, std::trunc(expected.X));
    EXPECT_FLOAT_EQ(at.Y, std::trunc(expected.Y));
    EXPECT_EQ(place("Place01")->levelStarPosition(), vector3df(0.0f, 0.0f, 0.0f));

    hotel->updateStars(-1, 2);
    EXPECT_TRUE(hotel->getStars()[0]->isVisible());
    EXPECT_FALSE(hotel->getStars()[1]->isVisible());

    // While a place is being built the stars are those of the empty place.
    hotel->setRecord(makeRecord("Empty", 0, 0).get(), false);
    hotel->setRecord(third.get(), false);
    hotel->setJob(GBuildingNode::kConstructionJob, nullptr);
    EXPECT_FALSE(stars->isVisible());
    hotel->setJob(GBuildingNode::kNoJob, nullptr);
    EXPECT_TRUE(stars->isVisible());

    struct Case {
        bool owned;
        int32_t type;
        bool shown;
    };
    const Case cases[] = {{true, 0, true}, {false, 0, false}, {true, 1, false}, {true, 3, false}};
    for (const Case& c : cases) {
        CountedRef<GBuildingConfig> r = makeRecord("Kind", 2, c.type);
        hotel->setRecord(r.get(), false);
        hotel->setOwned(c.owned);
        EXPECT_EQ(stars->isVisible(), c.shown) << c.owned << " " << c.type;
    }
}

TEST_F(BuildingTest, WorkersTakeTheSmilesPlaceWhenItIsHidden) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    TextNode* workers = hotel->getWorkersText();
    TextNode* smile = hotel->getSmileIcon();
    ASSERT_NE(workers, nullptr);
    ASSERT_NE(smile, nullptr);
    ASSERT_TRUE(smile->isVisible());  // the garden's +10 %

    hotel->showWorkers(3);
    EXPECT_TRUE(workers->isVisible());
    EXPECT_EQ(textOf(workers), "x3");
    EXPECT_EQ(workers->getPosition(), vector3df(70.0f, -30.0f, 0.0f));
    // Feature icons give way to the workers.
    EXPECT_FALSE(hotel->getFeatureIcon(0)->isVisible());

    // The garden's bonus stops while it has a job.
    place("Place03")->setJob(GBuildingNode::kDestructionJob, nullptr);
    hotel->updateIncomeBonus();
    EXPECT_FALSE(smile->isVisible());
    EXPECT_EQ(workers->getPosition(), vector3df(10.0f, -30.0f, 0.0f));

    hotel->showWorkers(0);
    EXPECT_FALSE(workers->isVisible());
}

TEST_F(BuildingTest, WithoutLuckinessTheSmileIsDroppedForGood) {
    startWithOverlays("<bool Name=\"IsBuildingPlaceLuckinessOn\" Value=\"false\"/>");
    GBuildingNode* hotel = place("Place02");
    EXPECT_EQ(hotel->getSmileIcon(), nullptr);
    EXPECT_EQ(hotel->getTemplateRoot()->findChild(makeNameId("SmileIcon"), 1), nullptr);
    hotel->showWorkers(2);
    // The workers take the smile's place.
    EXPECT_EQ(hotel->getWorkersText()->getPosition(), vector3df(10.0f, -30.0f, 0.0f));
}

TEST_F(BuildingTest, FeatureIconsStandAtTheirHomesOrMidway) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    // Hotel1's one feature is available: its icon stands alone, midway.
    BaseNode* first = hotel->getFeatureIcon(0);
    BaseNode* second = hotel->getFeatureIcon(1);
    ASSERT_TRUE(hotel->isFeatureAvailable(0));
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(first->getPosition(), vector3df(20.0f, -60.0f, 0.0f));
    // Index 2 and above use the second icon.
    EXPECT_EQ(hotel->getFeatureIcon(2), second);

    hotel->setForSale(true);
    hotel->updateFeatureIcons();
    EXPECT_FALSE(first->isVisible()) << "for sale";
    hotel->setForSale(false);
    hotel->setCondition(GBuildingNode::kBroken);
    hotel->updateFeatureIcons();
    EXPECT_FALSE(first->isVisible()) << "broken";
    hotel->setCondition(GBuildingNode::kNoCondition);
    hotel->setOwned(false);
    EXPECT_FALSE(first->isVisible()) << "not owned";
    hotel->setOwned(true);
    EXPECT_TRUE(first->isVisible());
}

TEST_F(BuildingTest, BodyTintAddsColourAndOwnershipResetsOnlyTheNodesTint) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    ControlNode* root = hotel->getTemplateRoot();
    SpriteNode* body = nodeCast<SpriteNode>(root->findChild(makeNameId("Body"), 1));
    SpriteNode* star = hotel->getStars()[0];
    ASSERT_NE(body, nullptr);

    hotel->tintBody(SColor(GBuildingNode::kGuestAreaTint));
    EXPECT_EQ(body->getBlendType(), 1);
    EXPECT_EQ(body->getTintColor().color, GBuildingNode::kGuestAreaTint);
    EXPECT_NE(star->getBlendType(), 1);  // overlays keep their look

    hotel->setTintColor(SColor(0x80FFFFFFu));
    hotel->setOwned(true);
    EXPECT_EQ(hotel->getTintColor().color, 0xFFFFFFFFu);
    EXPECT_EQ(body->getTintColor().color, GBuildingNode::kGuestAreaTint);

    hotel->tintBody(SColor(GBuildingNode::kNeutralBodyTint));
    EXPECT_EQ(body->getTintColor().color, 0xFF000000u);

    // While a build choice is previewed (translucent root) only the place's
    // own children are tinted.
    GBuildingNode* empty = place("Place01");
    empty->showBuildPreview(record("Hotel2"));
    EXPECT_EQ(empty->getTemplateName(), makeNameId("Hotel2"));
    EXPECT_EQ(empty->getTemplateRoot()->getTintColor().color, GBuildingNode::kBuildPreviewTint);
    SpriteNode* previewBody = nodeCast<SpriteNode>(empty->getTemplateRoot()->findChild(makeNameId("Body"), 1));
    ASSERT_NE(previewBody, nullptr);
    empty->tintBody(SColor(GBuildingNode::kIncomeBonusAreaTint));
    EXPECT_NE(previewBody->getTintColor().color, GBuildingNode::kIncomeBonusAreaTint);
    empty->showBuildPreview(nullptr);
    EXPECT_EQ(empty->getTemplateName(), makeNameId("BuildingPlace"));
    EXPECT_EQ(empty->getTemplateRoot()->getTintColor().color, 0xFFFFFFFFu);
}

TEST_F(BuildingTest, PropertiesWriteOnlyWhatDiffersAndReadThroughTheSetters) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place04");  // not owned
    CountedRef<PropertySet> written(new PropertySet());
    hotel->writeProperties(written.get());
    EXPECT_LT(written->indexOf("IsOwnedByThePlayer"), 0);
    EXPECT_LT(written->indexOf("LuckinessType"), 0);

    CountedRef<PropertySet> set(new PropertySet());
    set->setBool("IsOwnedByThePlayer", true);
    set->setInt("LuckinessType", 1);
    hotel->readProperties(set.get());
    EXPECT_TRUE(hotel->isOwnedByThePlayer());
    EXPECT_EQ(hotel->getLuckinessType(), 1);

    CountedRef<PropertySet> again(new PropertySet());
    hotel->writeProperties(again.get());
    EXPECT_TRUE(again->getBool("IsOwnedByThePlayer"));
    EXPECT_EQ(again->getInt("LuckinessType"), 1);
}

TEST_F(BuildingTest, AMoneyLetterLeavesWhenItsDisappearanceEnds) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    const CreationContext context(nullptr, "");
    for (const char* ending : {"Disappear", "DisappearHit", "Appear"}) {
        BaseNode* letter = new BaseNode(&context, hotel, hotel->getManager());
        letter->setName(makeNameId("MoneyLetter"));
        CountedRef<BaseNode> watch = CountedRef<BaseNode>::share(letter);
        letter->release();  // the building holds it alone now
        CountedRef<NodeStateFinishedEvent> event(new NodeStateFinishedEvent(letter, makeNameId(ending)));
        const bool handled = hotel->handleEvent(event.get());
        const bool gone = std::string(ending) != "Appear";
        EXPECT_EQ(handled, gone) << ending;
        EXPECT_EQ(letter->getParent() == nullptr, gone) << ending;
        if (!gone) hotel->removeChild(letter);
    }
}

TEST_F(BuildingTest, TheStateSoundFollowsTheJobAndStartsEachCueOnce) {
    startWithOverlays();
    SoundManager* previous = getCurrentSoundManager();
    CountedRef<SoundManager> sounds(new SoundManager());
    std::shared_ptr<audiotest::FakeLog> log = std::make_shared<audiotest::FakeLog>();
    for (const char* name : {"Building", "Upgrading", "Destroying", "CleaningDecoration", "HotelSelected"}) {
        CountedRef<SoundCue> cue(new SoundCue(makeNameId(name)));
        cue->setGroupId(2);
        CountedRef<audiotest::FakeSound> sound(new audiotest::FakeSound(0, log));
        cue->addVariant(sound.get());
        sounds->addCue(cue.get());
    }
    setCurrentSoundManager(sounds.get());

    GBuildingNode* hotel = place("Place02");
    CountedRef<GBuildingConfig> selected = makeRecord("Hotel", 1, 0);
    selected->SelectedSoundCueName = makeNameId("HotelSelected");
    hotel->setRecord(selected.get(), false);
    struct Case {
        int32_t job;
        int32_t level;
        int32_t type;
        const char* cue;  // null: none
    };
    const Case cases[] = {
        {0, 1, 0, "HotelSelected"}, {1, 1, 0, "Building"}, {1, 2, 0, "Upgrading"},        {2, 1, 0, "Destroying"},
        {3, 1, 1, "CleaningDecoration"}, {3, 1, 0, "Building"}, {4, 1, 0, nullptr},
    };
    for (const Case& c : cases) {
        selected->Level = c.level;
        selected->Type = c.type;
        hotel->setRecord(selected.get(), false);
        hotel->setJob(c.job, nullptr);
        hotel->playStateSound();
        hotel->playStateSound();  // the same cue again starts nothing
        SoundCue* playing = hotel->getStateSound();
        if (c.cue) {
            ASSERT_NE(playing, nullptr) << c.cue;
            EXPECT_EQ(playing->getName(), makeNameId(c.cue));
            EXPECT_EQ(playing->getFadeState(), 0) << c.cue;
        } else {
            EXPECT_EQ(playing, nullptr);
        }
        int32_t running = 0;
        for (SoundCue* instance : sounds->getPlaying()) running += instance->getFadeState() == 2 ? 0 : 1;
        EXPECT_EQ(running, c.cue ? 1 : 0) << (c.cue ? c.cue : "none");
    }
    hotel->setJob(0, nullptr);
    hotel->playStateSound();
    hotel->stopStateSound();
    EXPECT_EQ(hotel->getStateSound(), nullptr);
    for (SoundCue* instance : sounds->getPlaying()) EXPECT_EQ(instance->getFadeState(), 2);
    sounds->stopGroup(-1);
    setCurrentSoundManager(previous);
}

namespace {

// A part of a building's look that takes hits over its bounds.
class HitBox : public BaseNode {
public:
    explicit HitBox(const CreationContext* context) : BaseNode(context, nullptr, nullptr) {}
    bool hitTest(const vector2df& point) override {
        const matrix4& m = getAbsoluteTransform();
        return point.X > m[12] && point.X < m[12] + getBounds().X && point.Y > m[13] && point.Y < m[13] + getBounds().Y;
    }
};

}  // namespace

TEST_F(BuildingTest, APressBelongsToTheBuildingUnderThePointerAndGivesNoFocusByItself) {
    startWithOverlays();
    const CreationContext context(nullptr, "");
    GBuildingNode* left = place("Place01");  // 50..190 x 100..156
    GBuildingNode* hotel = place("Place02"); // 250..390 x 100..156
    for (GBuildingNode* building : {left, hotel}) {
        CountedRef<HitBox> box(new HitBox(&context));
        box->setBounds(vector3df(140.0f, 56.0f, 0.0f));
        building->getTemplateRoot()->addChild(box.get());
        building->updateAbsoluteTransform();
        building->setFocused(false);
    }

    CountedRef<LeftButtonDownEvent> down(new LeftButtonDownEvent(300, 120));
    EXPECT_FALSE(left->handleEvent(down.get()));
    EXPECT_FALSE(left->isPressed());
    EXPECT_TRUE(hotel->handleEvent(down.get()));
    EXPECT_TRUE(hotel->isPressed());
    EXPECT_FALSE(hotel->isFocused());

    // Released elsewhere: no press.
    level.deliver();
    level.clearEvents();
    CountedRef<LeftButtonUpEvent> outside(new LeftButtonUpEvent(10, 10));
    EXPECT_FALSE(hotel->handleEvent(outside.get()));
    EXPECT_FALSE(hotel->isPressed());
    level.deliver();
    EXPECT_EQ(count(EventId::NodePressPreviewEvent), 0);

    // Released on the building: the press is accepted.
    CountedRef<LeftButtonUpEvent> inside(new LeftButtonUpEvent(300, 120));
    EXPECT_TRUE(hotel->handleEvent(down.get()));
    EXPECT_FALSE(hotel->handleEvent(inside.get()));
    level.deliver();
    EXPECT_EQ(count(EventId::NodePressPreviewEvent), 1);
}
