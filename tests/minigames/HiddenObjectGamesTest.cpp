// The two hidden-object games without a window: scenes built in code with
// text nodes as the objects (a text node takes a hit anywhere in its
// bounds), driven by direct clicks, pointer moves, button presses and timer
// calls in simulated time, with the process-wide generator seeded.
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/LevelPaths.h"
#include "game/minigames/GMiniGameHidden2Scene.h"
#include "game/minigames/GMiniGameHiddenScene.h"
#include "game/minigames/HiddenObjects.h"
#include "game/world/PathMovers.h"
#include "game/world/ShieldNodes.h"
#include "support/FakeSceneManager.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace engine;
using namespace game;

namespace {

BaseNode* child(BaseNode* parent, const char* name, BaseNode* node) {
    node->setName(makeNameId(name));
    parent->addChild(node);
    node->release();
    return node;
}

// An object to find: a box at (x, y) of the size given.
BaseNode* object(BaseNode* parent, const char* name, float x, float y, float w = 40, float h = 30) {
    BaseNode* node = child(parent, name, new TextNode(nullptr, nullptr, nullptr));
    node->setPosition(vector3df(x, y, 0));
    node->setBounds(vector3df(w, h, 0));
    return node;
}

struct Box {
    const char* name;
    float x, y;
};
// Three objects apart from each other; a click at (x + 5, y + 5) hits one.
const Box kBoxes[] = {{"Key", 100, 100}, {"Hat", 300, 200}, {"Cup", 500, 400}};

// The tree both scenes bind: Scene/Game/{BgObjects/{HintTrailNode, FoundNode},
// HitObjects/<objects>}, Scene/UI/{TimeTarg, TimeCurr, ObjCount, Linet,
// LinetText, PrevewImage}.
template <class Scene>
CountedRef<Scene> makeScene(const std::vector<Box>& boxes, bool withHitObjects = true) {
    CountedRef<Scene> scene(new Scene(nullptr, nullptr, nullptr));
    BaseNode* root = child(scene.get(), "Scene", new ControlNode(nullptr, nullptr, nullptr));
    BaseNode* game = child(root, "Game", new ControlNode(nullptr, nullptr, nullptr));
    BaseNode* background = child(game, "BgObjects", new BaseNode(nullptr, nullptr, nullptr));
    child(background, "HintTrailNode", new GPathMovableNode(nullptr, nullptr, nullptr));
    child(background, "FoundNode", new SpawnerNode(nullptr, nullptr, nullptr));
    if (withHitObjects) {
        BaseNode* objects = child(game, "HitObjects", new BaseNode(nullptr, nullptr, nullptr));
        for (const Box& box : boxes) object(objects, box.name, box.x, box.y);
    }
    BaseNode* ui = child(root, "UI", new ControlNode(nullptr, nullptr, nullptr));
    for (const char* text : {"TimeTarg", "TimeCurr", "ObjCount", "LinetText"})
        child(ui, text, new TextNode(nullptr, nullptr, nullptr));
    child(ui, "Linet", new BaseNode(nullptr, nullptr, nullptr));
    child(ui, "PrevewImage", new SpriteNode(nullptr, nullptr, nullptr));
    scene->onLoaded();
    scene->updateAbsoluteTransform();
    return scene;
}

// Hint paths from a LevelPaths text.
void readPaths(GLevelPaths& paths, const std::string& text) {
    CountedRef<XmlReader> reader(new XmlReader(text.data(), text.size(), "paths"));
    paths.readLevelPaths(*reader);
}

const char* const kTwoPointPaths =
    "<LevelPaths><CarPaths>"
    "<Path ID=\"Key\"><p p=\"700, 700\"/><p p=\"400, 400\"/><p p=\"120, 115\"/></Path>"
    "<Path ID=\"Hat\"><p p=\"700, 700\"/><p p=\"320, 215\"/></Path>"
    "<Path ID=\"Cup\"><p p=\"700, 700\"/><p p=\"520, 415\"/></Path>"
    "</CarPaths></LevelPaths>";

template <class Scene>
bool readConfiguration(Scene& scene, const std::string& text) {
    CountedRef<XmlReader> reader(new XmlReader(text.data(), text.size(), "configuration"));
    return scene.readConfiguration(*reader);
}

void activate(GBaseSceneNode& scene) {
    CountedRef<SceneActivatedEvent> event(new SceneActivatedEvent(nullptr, &scene, true));
    EXPECT_TRUE(scene.onSceneActivated(event.get()));
}

void press(GBaseSceneNode& scene, const char* name) {
    CountedRef<BaseNode> button(new BaseNode(nullptr, nullptr, nullptr));
    button->setName(makeNameId(name));
    CountedRef<NodePressedEvent> event(new NodePressedEvent(button.get()));
    EXPECT_TRUE(scene.onNodePressed(event.get()));
}

// Runs the scene's timer for the time in steps of its period.
template <class Scene>
void run(Scene& scene, uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += Scene::kTimerMs) ASSERT_TRUE(scene.onTimer(Scene::kTimerMs));
}

// Brings a scene through the intro and the caption into the play.
template <class Scene, class Click>
void startPlay(Scene& scene, Click click) {
    activate(scene);
    ASSERT_EQ(scene.phase, GMiniGameScene::Intro);
    run(scene, 300);
    ASSERT_EQ(scene.phase, GMiniGameScene::Caption);
    click(5, 5);
    ASSERT_EQ(scene.phase, GMiniGameScene::Playing);
}

std::string text(TextNode* node) { return node ? std::string(narrow(node->getText()).c_str()) : "(none)"; }

size_t completions(const testing_support::LogCapture& log) {
    // Without a content manager each completion reports the results scene
    // it could not open, once.
    return static_cast<size_t>(std::count_if(log.entries().begin(), log.entries().end(), [](const auto& e) {
        return e.text.find("results scene") != std::string::npos;
    }));
}

class HiddenObjectGamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDictionary = getCurrentDictionary();
        setCurrentDictionary(nullptr);
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
        getRandomGenerator().seed(20261211);
    }
    void TearDown() override { setCurrentDictionary(previousDictionary); }

    testing_support::LogCapture log;
    IDictionary* previousDictionary = nullptr;
};

}  // namespace

// ---- The first game -------------------------------------------------------------------------

TEST_F(HiddenObjectGamesTest, FirstGameFindsObjectsInAnyOrderAndCompletesOnceWithTheExpertScore) {
    CountedRef<GMiniGameHiddenScene> scene = makeScene<GMiniGameHiddenScene>({std::begin(kBoxes), std::end(kBoxes)});
    ASSERT_TRUE(readConfiguration(*scene, "<MiniGame><MaxLevelTime Value=\"90000\"/><ExpertScore Value=\"600\"/>"
                                          "</MiniGame>"));
    auto click = [&](int32_t x, int32_t y) { scene->pickObject(x, y); };
    activate(*scene);
    EXPECT_EQ(text(scene->getTargetTimeText()), "01:30");
    EXPECT_EQ(text(scene->getObjCountText()), "3");
    // The play time runs through the intro and the caption.
    run(*scene, 300);
    EXPECT_EQ(scene->phase, GMiniGameScene::Caption);
    EXPECT_EQ(scene->playTimeMs, 300u);
    // The first click, on an object, only starts the play.
    click(305, 205);
    EXPECT_EQ(scene->phase, GMiniGameScene::Playing);
    EXPECT_EQ(scene->getHitObjects()->getChildCount(), 3u);
    run(*scene, 1000);
    EXPECT_EQ(text(scene->getPlayTimeText()), "00:01");

    click(20, 20);  // nothing there
    EXPECT_EQ(scene->getHitObjects()->getChildCount(), 3u);
    click(305, 205);
    EXPECT_EQ(scene->getHitObjects()->getChildCount(), 2u);
    EXPECT_FALSE(scene->getHitObjects()->findChild(makeNameId("Hat"), 1));
    EXPECT_EQ(text(scene->getObjCountText()), "2");
    click(505, 405);
    click(105, 105);
    EXPECT_TRUE(scene->isPlayCompleted());
    EXPECT_EQ(scene->score, 600);
    EXPECT_EQ(text(scene->getObjCountText()), "0");
    // Clicks after the last find (the results scene still opening) end nothing again.
    click(105, 105);
    click(600, 600);
    EXPECT_EQ(completions(log), 1u);
}

TEST_F(HiddenObjectGamesTest, FirstGameFindsOnlyTheEarlierOfTwoOverlappingObjectsPerClick) {
    CountedRef<GMiniGameHiddenScene> scene =
        makeScene<GMiniGameHiddenScene>({{"Under", 100, 100}, {"Over", 110, 110}, {"Apart", 600, 100}});
    startPlay(*scene, [&](int32_t x, int32_t y) { scene->pickObject(x, y); });
    scene->pickObject(120, 120);
    ASSERT_EQ(scene->getHitObjects()->getChildCount(), 2u);
    EXPECT_FALSE(scene->getHitObjects()->findChild(makeNameId("Under"), 1));
    scene->pickObject(120, 120);
    EXPECT_EQ(scene->getHitObjects()->getChildCount(), 1u);
    EXPECT_FALSE(scene->isPlayCompleted());
}

TEST_F(HiddenObjectGamesTest, FirstGameReachesClicksThroughItsRoutingAndPassesThemOn) {
    CountedRef<GMiniGameHiddenScene> scene = makeScene<GMiniGameHiddenScene>({std::begin(kBoxes), std::end(kBoxes)});
    auto click = [&](int32_t x, int32_t y) {
        CountedRef<LeftButtonDownEvent> event(new LeftButtonDownEvent(x, y));
        scene->routeToChildren(DeliveryMode::ChildrenThenHandle, event.get());
    };
    startPlay(*scene, click);
    // A pointer move finds nothing.
    CountedRef<MouseMoveEvent> move(new MouseMoveEvent(105, 105));
    scene->routeToChildren(DeliveryMode::ChildrenThenHandle, move.get());
    EXPECT_EQ(scene->getHitObjects()->getChildCount(), 3u);
    click(105, 105);
    EXPECT_EQ(scene->getHitObjects()->getChildCount(), 2u);
}

TEST_F(HiddenObjectGamesTest, FirstGameHintsOneObjectUntilFoundWithACooldown) {
    CountedRef<GMiniGameHiddenScene> scene = makeScene<GMiniGameHiddenScene>({std::begin(kBoxes), std::end(kBoxes)});
    readPaths(scene->getHintPaths(), kTwoPointPaths);
    startPlay(*scene, [&](int32_t x, int32_t y) { scene->pickObject(x, y); });
    GPathMovableNode* trail = scene->getHintTrail();

    press(*scene, "HintButton");
    BaseNode* hinted = scene->getHintedObject();
    ASSERT_TRUE(hinted);
    EXPECT_EQ(scene->getHintCooldownMs(), 4000);
    ASSERT_TRUE(trail->isWalking());
    EXPECT_EQ(trail->getSpeed(), 275.0f);
    // The trail starts at the path's first point.
    EXPECT_EQ(trail->getPosition().X, 700.0f);
    EXPECT_EQ(trail->getPosition().Y, 700.0f);

    // Within the cooldown a press gives nothing new.
    run(*scene, 2000);
    press(*scene, "HintButton");
    EXPECT_EQ(scene->getHintedObject(), hinted);
    EXPECT_EQ(scene->getHintCooldownMs(), 2000);
    // After it the same object is hinted again.
    run(*scene, 2000);
    EXPECT_LE(scene->getHintCooldownMs(), 0);
    press(*scene, "HintButton");
    EXPECT_EQ(scene->getHintedObject(), hinted);
    EXPECT_EQ(scene->getHintCooldownMs(), 4000);

    // Finding another object leaves the trail walking; finding the hinted
    // one stops it and lets the next press hint at once.
    const Box* other = nullptr;
    const Box* target = nullptr;
    for (const Box& box : kBoxes) (makeNameId(box.name) == hinted->getName() ? target : other) = &box;
    ASSERT_TRUE(other && target);
    scene->pickObject(static_cast<int32_t>(other->x) + 5, static_cast<int32_t>(other->y) + 5);
    EXPECT_TRUE(trail->isWalking());
    scene->pickObject(static_cast<int32_t>(target->x) + 5, static_cast<int32_t>(target->y) + 5);
    EXPECT_FALSE(trail->isWalking());
    EXPECT_EQ(scene->getHintedObject(), nullptr);
    EXPECT_EQ(scene->getHintCooldownMs(), -1);
    press(*scene, "HintButton");
    ASSERT_TRUE(scene->getHintedObject());
    EXPECT_EQ(scene->getHintCooldownMs(), 4000);
}

TEST_F(HiddenObjectGamesTest, HintPathsOfFewerThanTwoPointsAreIgnoredWithALog) {
    CountedRef<GMiniGameHiddenScene> first = makeScene<GMiniGameHiddenScene>({{"Key", 100, 100}});
    readPaths(first->getHintPaths(), "<LevelPaths><CarPaths><Path ID=\"Key\"><p p=\"120, 115\"/></Path>"
                                     "</CarPaths></LevelPaths>");
    startPlay(*first, [&](int32_t x, int32_t y) { first->pickObject(x, y); });
    press(*first, "HintButton");
    EXPECT_EQ(first->getHintCooldownMs(), 4000);
    EXPECT_FALSE(first->getHintTrail()->isWalking());
    EXPECT_TRUE(log.contains("A hint path needs two points or more"));

    // The second game would repeat the one point four times over.
    log.clear();
    CountedRef<GMiniGameHidden2Scene> second = makeScene<GMiniGameHidden2Scene>({{"Key", 100, 100}});
    readPaths(second->getHintPaths(), "<LevelPaths><CarPaths><Path ID=\"Key\"><p p=\"120, 115\"/></Path>"
                                      "</CarPaths></LevelPaths>");
    startPlay(*second, [&](int32_t x, int32_t y) { second->pickItem(x, y); });
    press(*second, "HintButton");
    second->onMouseMove(105, 105);
    EXPECT_FALSE(second->getHintTrail()->isWalking());
    EXPECT_TRUE(log.contains("A hint path needs two points or more"));
}

TEST_F(HiddenObjectGamesTest, FirstGameWithoutObjectsIsLoggedAndEndsAtTheFirstClickOfThePlay) {
    for (bool withHitObjects : {true, false}) {
        SCOPED_TRACE(withHitObjects);
        log.clear();
        CountedRef<GMiniGameHiddenScene> scene = makeScene<GMiniGameHiddenScene>({}, withHitObjects);
        activate(*scene);
        EXPECT_TRUE(log.contains("has no objects to find"));
        EXPECT_FALSE(scene->isPlayCompleted());
        run(*scene, 300);
        scene->pickObject(5, 5);
        scene->pickObject(5, 5);
        // Without HitObjects only the menu button leaves.
        EXPECT_EQ(scene->isPlayCompleted(), withHitObjects);
        press(*scene, "HintButton");
        EXPECT_EQ(scene->getHintedObject(), nullptr);
    }
}

TEST_F(HiddenObjectGamesTest, HintPathsFileIsReadFromTheConfigurationOrLoggedWhenMissing) {
    testing_support::TempDir dir;
    const std::string paths = dir.write("hint paths/Paths.xml", kTwoPointPaths);
    CountedRef<GMiniGameHiddenScene> first = makeScene<GMiniGameHiddenScene>({std::begin(kBoxes), std::end(kBoxes)});
    ASSERT_TRUE(readConfiguration(*first, "<MiniGame><HintPaths Value=\"" + paths + "\"/><Unknown/></MiniGame>"));
    EXPECT_EQ(first->getHintPaths().carPathIds().size(), 3u);
    EXPECT_FALSE(log.hasErrors());

    // A missing file keeps what was read before.
    readConfiguration(*first, "<MiniGame><HintPaths Value=\"" + dir.file("none.xml") + "\"/></MiniGame>");
    EXPECT_TRUE(log.contains("Unable to open the hint paths"));
    EXPECT_EQ(first->getHintPaths().carPathIds().size(), 3u);
    log.clear();
    readConfiguration(*first, "<MiniGame><HintPaths/></MiniGame>");
    EXPECT_TRUE(log.contains("Unable to open the hint paths"));
}

TEST_F(HiddenObjectGamesTest, FoundStarsBurstFromTheObjectsCentreLaterAndDenserForLargerObjects) {
    testing_support::FakeSceneManager manager;
    manager.collection = CountedRef<TemplateCollectionNode>(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    CountedRef<GShieldStarNode> star(new GShieldStarNode(nullptr, nullptr, nullptr));
    star->setName(makeNameId("HOFoundStarNode"));
    ASSERT_TRUE(manager.collection->addTemplate(star.get()));
    CountedRef<GMiniGameHiddenScene> scene = makeScene<GMiniGameHiddenScene>({});
    manager.open(scene.get());
    BaseNode* objects = scene->getHitObjects();
    struct Case {
        float w, h;
        float start, end;
        float perSecond;
    };
    for (const Case& c : {Case{40, 100, 240, 420, 250}, Case{200, 150, 680, 860, 525}}) {
        SCOPED_TRACE(c.w);
        BaseNode* found = object(objects, "Found", 10, 20, c.w, c.h);
        showFoundEffect(*scene, scene->getFoundNode(), *found);
        EXPECT_EQ(star->accel1StartTimeRange, vector2df(c.start, c.start));
        EXPECT_EQ(star->accel1EndTimeRange, vector2df(c.end, c.end));
        EXPECT_EQ(scene->getFoundNode()->perSecRange, vector2df(c.perSecond, c.perSecond));
        EXPECT_EQ(scene->getFoundNode()->getPosition(), vector3df(10 + c.w / 2, 20 + c.h / 2, 0));
        objects->removeChild(found);
    }
    // Without the star template nothing moves.
    manager.collection = CountedRef<TemplateCollectionNode>(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    BaseNode* found = object(objects, "Found", 500, 500);
    showFoundEffect(*scene, scene->getFoundNode(), *found);
    EXPECT_EQ(scene->getFoundNode()->getPosition(), vector3df(110, 95, 0));
}

// ---- The second game ------------------------------------------------------------------------

TEST_F(HiddenObjectGamesTest, SecondGameDealsEveryObjectOnceInASeededRandomOrder) {
    std::set<std::vector<std::string>> orders;
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        getRandomGenerator().seed(seed);
        CountedRef<GMiniGameHidden2Scene> scene =
            makeScene<GMiniGameHidden2Scene>({std::begin(kBoxes), std::end(kBoxes)});
        std::vector<std::string> order;
        for (BaseNode* node : scene->getFindOrder()) order.push_back(nameOfId(node->getName()).c_str());
        std::vector<std::string> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::vector<std::string>{"Cup", "Hat", "Key"}));
        orders.insert(order);
        // The same seed deals the same order.
        getRandomGenerator().seed(seed);
        CountedRef<GMiniGameHidden2Scene> again =
            makeScene<GMiniGameHidden2Scene>({std::begin(kBoxes), std::end(kBoxes)});
        EXPECT_EQ(again->getFindOrder().size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(again->getFindOrder()[i]->getName(), scene->getFindOrder()[i]->getName());
    }
    EXPECT_GT(orders.size(), 1u);
}

TEST_F(HiddenObjectGamesTest, SecondGameAsksForOneObjectAtATimeAndCompletesAfterTheLast) {
    CountedRef<GMiniGameHidden2Scene> scene = makeScene<GMiniGameHidden2Scene>({std::begin(kBoxes), std::end(kBoxes)});
    ASSERT_TRUE(readConfiguration(*scene, "<MiniGame><MaxLevelTime Value=\"150000\"/><ExpertScore Value=\"800\"/>"
                                          "<ItemsToFind><Item Name=\"Key\" Filename=\"Old\"/><Item Name=\"Hat\" "
                                          "Filename=\"Hat\"/><Item Name=\"Key\" Filename=\"Key\"/></ItemsToFind>"
                                          "</MiniGame>"));
    startPlay(*scene, [&](int32_t x, int32_t y) { scene->pickItem(x, y); });
    EXPECT_EQ(text(scene->getTargetTimeText()), "02:30");
    EXPECT_EQ(text(scene->getObjCountText()), "3");
    // A repeated Name keeps the last Filename; an object without an entry has
    // an empty one.
    for (BaseNode* node : scene->getFindOrder()) {
        const std::string name = nameOfId(node->getName()).c_str();
        const std::string expected = name == "Cup" ? "" : name;
        EXPECT_EQ(std::string(scene->previewPath(node).c_str()), "levels/minigame_hidden2/Preview/" + expected + ".png");
    }

    for (size_t found = 0; found < 3; ++found) {
        BaseNode* current = scene->getCurrentObject();
        ASSERT_TRUE(current);
        // Clicks on the objects not asked for change nothing.
        for (const Box& box : kBoxes) {
            if (makeNameId(box.name) == current->getName()) continue;
            scene->pickItem(static_cast<int32_t>(box.x) + 5, static_cast<int32_t>(box.y) + 5);
        }
        EXPECT_EQ(scene->getCurrentIndex(), static_cast<int32_t>(found));
        EXPECT_TRUE(current->isVisible());
        EXPECT_EQ(text(scene->getObjCountText()), std::to_string(3 - found));
        const vector3df at = current->getPosition();
        scene->pickItem(static_cast<int32_t>(at.X) + 5, static_cast<int32_t>(at.Y) + 5);
        EXPECT_FALSE(current->isVisible());
        EXPECT_TRUE(current->getParent());  // hidden, still in the tree
        EXPECT_EQ(scene->isPlayCompleted(), found == 2);
    }
    EXPECT_EQ(scene->score, 800);
    EXPECT_EQ(text(scene->getObjCountText()), "0");
    EXPECT_FALSE(scene->getPreviewImage()->isVisible());
    scene->pickItem(105, 105);
    run(*scene, 100);
    EXPECT_EQ(completions(log), 1u);
}

TEST_F(HiddenObjectGamesTest, SecondGameSendsTheTrailOnHoverAndFourTimesFromTheButton) {
    CountedRef<GMiniGameHidden2Scene> scene = makeScene<GMiniGameHidden2Scene>({std::begin(kBoxes), std::end(kBoxes)});
    readPaths(scene->getHintPaths(), kTwoPointPaths);
    ASSERT_TRUE(readConfiguration(*scene, "<MiniGame><HintTrailVelocity Value=\"1000\"/></MiniGame>"));
    startPlay(*scene, [&](int32_t x, int32_t y) { scene->pickItem(x, y); });
    GPathMovableNode* trail = scene->getHintTrail();
    BaseNode* current = scene->getCurrentObject();
    const vector3df at = current->getPosition();
    const size_t pathPoints = current->getName() == makeNameId("Key") ? 3 : 2;

    // Reaching the object sends one pass.
    scene->onMouseMove(static_cast<int32_t>(at.X) + 5, static_cast<int32_t>(at.Y) + 5);
    EXPECT_TRUE(scene->isCursorOnCurrent());
    ASSERT_TRUE(trail->isWalking());
    EXPECT_EQ(trail->getStoredPath().size(), pathPoints);
    EXPECT_EQ(trail->getSpeed(), 1000.0f);
    // While the pointer rests there, a new pass follows each walk's end.
    run(*scene, 2000);
    EXPECT_TRUE(trail->isWalking());
    // Leaving: the walk ends and none follows.
    scene->onMouseMove(1000, 10);
    EXPECT_FALSE(scene->isCursorOnCurrent());
    run(*scene, 2000);
    EXPECT_FALSE(trail->isWalking());
    // The button sends four passes when idle; during a walk only the sound.
    press(*scene, "HintButton");
    ASSERT_TRUE(trail->isWalking());
    EXPECT_EQ(trail->getStoredPath().size(), 4 * pathPoints);
    run(*scene, 10);
    const size_t left = trail->getPath().size();
    press(*scene, "HintButton");
    EXPECT_EQ(trail->getPath().size(), left);
    // Finding the object stops it.
    scene->pickItem(static_cast<int32_t>(at.X) + 5, static_cast<int32_t>(at.Y) + 5);
    EXPECT_FALSE(trail->isWalking());
}

TEST_F(HiddenObjectGamesTest, SecondGameTrailSettingsFollowTheConfiguration) {
    struct Case {
        const char* element;
        float velocity;
        int32_t pps;
        bool error;
    };
    const Case cases[] = {
        {"", 100.0f, 100, false},
        {"<HintTrailVelocity Value=\"150\"/><HintTrailPPS Value=\"40\"/>", 150.0f, 40, false},
        // Present without a value: a trail that never moves and emits nothing.
        {"<HintTrailVelocity/><HintTrailPPS/>", 0.0f, 0, false},
        {"<HintTrailVelocity Value=\"-5\"/><HintTrailPPS Value=\"-1\"/>", 0.0f, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        log.clear();
        CountedRef<GMiniGameHidden2Scene> scene = makeScene<GMiniGameHidden2Scene>({{"Key", 100, 100}});
        ASSERT_TRUE(readConfiguration(*scene, std::string("<MiniGame>") + c.element + "</MiniGame>"));
        EXPECT_EQ(scene->getHintTrailVelocity(), c.velocity);
        EXPECT_EQ(scene->getHintTrailPps(), c.pps);
        EXPECT_EQ(log.hasErrors(), c.error);
    }
}

TEST_F(HiddenObjectGamesTest, SecondGameWithoutObjectsCompletesAfterItsActivationNotInsideIt) {
    for (bool withHitObjects : {true, false}) {
        SCOPED_TRACE(withHitObjects);
        log.clear();
        CountedRef<GMiniGameHidden2Scene> scene = makeScene<GMiniGameHidden2Scene>({}, withHitObjects);
        scene->expertScore = 300;
        activate(*scene);
        EXPECT_TRUE(log.contains("has no objects to find"));
        // Opening the results scene from inside the activation would push a
        // scene while the stack is still pushing this one.
        EXPECT_FALSE(scene->isPlayCompleted());
        EXPECT_EQ(completions(log), 0u);
        run(*scene, 10);
        EXPECT_TRUE(scene->isPlayCompleted());
        EXPECT_EQ(scene->score, 300);
        run(*scene, 100);
        EXPECT_EQ(completions(log), 1u);
    }
}
