// The logos and intro scenes on the game object's managers over the engine's
// null device: the logo sequence and its clicks, the intro's loading steps and
// bar, and what happens when the scene that follows each of them is missing.
#include "engine/content/CContentManager.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/MessageBoxNode.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/Image.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GIntroScene.h"
#include "game/app/GLogosConfiguration.h"
#include "game/app/GLogosScene.h"
#include "game/app/GameNodeKinds.h"
#include "game/app/PlayerNotices.h"
#include "game/common/GBaseSceneNode.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace engine;
using namespace game;

namespace {

const char* const kLogosScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLogosScene">
  <SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Logo1"/></Properties></SceneNode>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Logo2"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kIntroScene = R"(<?xml version="1.0"?>
<SceneNode Type="GIntroScene">
  <SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="ProgressBg"/>
      <vector3d Name="Bounds" Value="800;40;0"/></Properties></SceneNode>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Progress"/>
      <vector3d Name="Bounds" Value="0;40;0"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kMenuScene = R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Menu"/></Properties></SceneNode>)";

// The game object with its managers on the null device, working in a folder
// of content the test writes.
class StartScenesTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        app = CountedRef<GGameApp>(new GGameApp());
        theGameApp = app.get();
        setGameServices(app.get());
        app->createManagers(getEngine());
        registerStartupNodeKinds();
    }

    void TearDown() override {
        app.reset();
        theGameApp = nullptr;
        setGameServices(nullptr);
        std::filesystem::current_path(previousFolder);
    }

    void writeImage(const std::string& path) {
        CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(4, 4)));
        std::filesystem::create_directories(std::filesystem::path(folder.file(path)).parent_path());
        IrrRef<irr::io::IWriteFile> file(getEngine()->getFileSystem()->createAndWriteFile(folder.file(path).c_str(), false));
        ASSERT_TRUE(file);
        ASSERT_TRUE(ImageManager::instance().writeImage(image.get(), file.get()));
    }

    // Makes the file's scene the first manager's only scene and lets its
    // opening transition end.
    SceneNode* start(const char* path) {
        CountedRef<Content> loaded(app->getContentManager()->load(ContentType::SceneNode, path, false));
        SceneNode* scene = nodeCast<SceneNode>(loaded.get());
        if (!scene) return nullptr;
        manager()->setScene(scene, sceneTransitionNames().navTo);
        update(10);
        return scene;
    }

    // One update of the engine: the managers' queues and the scene timers.
    void update(uint32_t ms) {
        CountedRef<UpdateEvent> event(new UpdateEvent(ms));
        getEngine()->deliverEvent(event.get());
    }
    void updateFor(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) update(10);
    }

    SceneManager* manager() const { return app->getSceneManager(0); }

    testing_support::TempDir folder;
    std::filesystem::path previousFolder;
    CountedRef<GGameApp> app;
};

stringc textureName(SpriteNode* sprite) {
    AtlasTextureContent* texture = sprite ? sprite->getAtlasTexture() : nullptr;
    return texture ? stringc(texture->getCreationContext().getName().c_str()) : stringc("none");
}

size_t countMessages(const testing_support::LogCapture& log, const std::string& text) {
    size_t count = 0;
    for (const auto& entry : log.entries())
        if (entry.text.find(text) != std::string::npos) ++count;
    return count;
}

}  // namespace

TEST_F(StartScenesTest, LogosFollowEachOtherAndOpenTheIntroWhenItArrives) {
    for (const char* image : {"logos/A.png", "logos/B.png", "logos/C.png"}) writeImage(image);
    folder.write("scenes/LogosScene.oscn", kLogosScene);
    std::deque<LogoEntry>& logos = app->getLogosConfiguration()->logos;
    logos.push_back({"logos/A.png", 100, false});
    logos.push_back({"logos/B.png", 5000, true});
    logos.push_back({"logos/C.png", 0, false});

    auto* scene = static_cast<GLogosScene*>(start("scenes/LogosScene.oscn"));
    ASSERT_TRUE(scene);
    auto* logo1 = nodeCast<SpriteNode>(scene->findChild(makeNameId("Logo1"), 0));
    auto* logo2 = nodeCast<SpriteNode>(scene->findChild(makeNameId("Logo2"), 0));
    EXPECT_STREQ(textureName(logo2).c_str(), "logos/A.png");
    EXPECT_STREQ(textureName(logo1).c_str(), "none");
    EXPECT_FALSE(scene->isSkippable());

    // A click on a logo that cannot be skipped changes nothing.
    CountedRef<LeftButtonDownEvent> click(new LeftButtonDownEvent(10, 10));
    getEngine()->deliverEvent(click.get());
    EXPECT_EQ(scene->getTimeLeftMs(), 100);

    updateFor(130);
    EXPECT_STREQ(textureName(logo2).c_str(), "logos/B.png");
    EXPECT_STREQ(textureName(logo1).c_str(), "logos/A.png");
    EXPECT_TRUE(scene->isSkippable());

    // A skippable logo ends on the next call after a click.
    getEngine()->deliverEvent(click.get());
    EXPECT_EQ(scene->getTimeLeftMs(), 0);
    EXPECT_FALSE(scene->isSkippable());
    updateFor(30);
    EXPECT_STREQ(textureName(logo2).c_str(), "logos/C.png");
    updateFor(30);  // a logo without time lasts until the next call
    EXPECT_TRUE(scene->isFinished());
    EXPECT_TRUE(logos.empty());
    EXPECT_STREQ(textureName(logo1).c_str(), "logos/C.png");
    EXPECT_STREQ(textureName(logo2).c_str(), "none");

    // Without the intro the logos stay, with one error, and the game tries again.
    testing_support::LogCapture log;
    updateFor(1200);
    EXPECT_EQ(manager()->getTopScene(), scene);
    EXPECT_EQ(countMessages(log, "Could not open the intro scene"), 1u);

    folder.write("scenes/IntroScene.oscn", kIntroScene);
    updateFor(40);
    ASSERT_NE(manager()->getTopScene(), scene);
    EXPECT_TRUE(manager()->getTopScene()->isOfType(GIntroScene::kTypeId));
}

TEST_F(StartScenesTest, ALogosSceneWithoutLogosOpensTheIntroAfterTheClosingSecond) {
    folder.write("scenes/LogosScene.oscn", "<SceneNode Type=\"GLogosScene\"/>");
    folder.write("scenes/IntroScene.oscn", kIntroScene);
    SceneNode* scene = start("scenes/LogosScene.oscn");
    ASSERT_TRUE(scene);
    updateFor(900);
    EXPECT_EQ(manager()->getTopScene(), scene);
    updateFor(200);
    EXPECT_TRUE(manager()->getTopScene()->isOfType(GIntroScene::kTypeId));
}

TEST_F(StartScenesTest, IntroRunsOneStepPerGatedCallAndOpensTheMenuWhenTheBarIsFull) {
    folder.write("scenes/IntroScene.oscn", kIntroScene);
    auto* intro = static_cast<GIntroScene*>(start("scenes/IntroScene.oscn"));
    ASSERT_TRUE(intro);
    EXPECT_FLOAT_EQ(intro->getTotalWeight(), 160.0f);
    BaseNode* progress = intro->findChild(makeNameId("Progress"), 0);
    ASSERT_TRUE(progress);

    testing_support::LogCapture log;
    // Calls of exactly 30 ms, as the scene's timer makes them.
    int call = 0;
    auto callTimer = [&] {
        ++call;
        return intro->onTimer(30);
    };
    callTimer();
    EXPECT_EQ(intro->getNextStep(), 0u);
    callTimer();
    EXPECT_EQ(intro->getNextStep(), 1u);
    EXPECT_FLOAT_EQ(intro->getShownWeight(), 3.2f);
    EXPECT_FLOAT_EQ(progress->getBounds().X, 800.0f * 3.2f / 160.0f);
    while (call < 23) callTimer();
    EXPECT_EQ(intro->getNextStep(), 11u);
    callTimer();
    EXPECT_EQ(intro->getNextStep(), 12u);

    // Without the main menu the intro keeps trying and says so once.
    while (call < 80) EXPECT_TRUE(callTimer());
    EXPECT_FLOAT_EQ(intro->getShownWeight(), 160.0f);
    EXPECT_FLOAT_EQ(progress->getBounds().X, 800.0f);
    EXPECT_EQ(manager()->getTopScene(), intro);
    EXPECT_EQ(countMessages(log, "Could not open the main menu"), 1u);

    folder.write("scenes/MainMenuScene.oscn", kMenuScene);
    EXPECT_TRUE(callTimer());  // not a gated call
    EXPECT_FALSE(callTimer());
    EXPECT_NE(manager()->getTopScene(), intro);
}

TEST_F(StartScenesTest, IntroOpensTheMenuOnTheFiftyFourthCall) {
    folder.write("scenes/IntroScene.oscn", kIntroScene);
    folder.write("scenes/MainMenuScene.oscn", kMenuScene);
    auto* intro = static_cast<GIntroScene*>(start("scenes/IntroScene.oscn"));
    ASSERT_TRUE(intro);
    int call = 0;
    while (call < 53) {
        ++call;
        ASSERT_TRUE(intro->onTimer(30)) << "call " << call;
    }
    EXPECT_EQ(manager()->getTopScene(), intro);
    EXPECT_FALSE(intro->onTimer(30));
    EXPECT_NE(manager()->getTopScene(), intro);
}

TEST_F(StartScenesTest, IntroWithoutBarNodesStillLoads) {
    folder.write("scenes/IntroScene.oscn", "<SceneNode Type=\"GIntroScene\"/>");
    auto* intro = static_cast<GIntroScene*>(start("scenes/IntroScene.oscn"));
    ASSERT_TRUE(intro);
    for (int call = 0; call < 60; ++call) intro->onTimer(30);
    EXPECT_EQ(intro->getNextStep(), 12u);
    EXPECT_FLOAT_EQ(intro->getShownWeight(), 160.0f);
}

// A scene that cannot be opened leaves the player where they were; they are
// told once, in a message box naming the file, and the game goes on there.
TEST_F(StartScenesTest, AMissingSceneIsToldOnceInAMessageBoxNamingTheFile) {
    clearContentProblems();
    CountedRef<TemplateCollectionNode> templates(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    CountedRef<ControlNode> look(new ControlNode(nullptr, nullptr, nullptr));
    look->setName(makeNameId(kNoticeTemplate));
    look->setBounds(vector3df(1024.0f, 768.0f, 0.0f));
    for (const char* name : {"TitleText", "BodyText"}) {
        CountedRef<TextNode> text(new TextNode(nullptr, look.get(), nullptr));
        text->setName(makeNameId(name));
    }
    CountedRef<ButtonNode> button(new ButtonNode(nullptr, look.get(), nullptr));
    button->setName(makeNameId("Button"));
    templates->addTemplate(look.get());
    manager()->setTemplateCollection(templates.get());

    folder.write("scenes/MainMenuScene.oscn", R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Menu"/></Properties></SceneNode>)");
    testing_support::LogCapture log;
    SceneNode* menu = start("scenes/MainMenuScene.oscn");
    ASSERT_TRUE(menu);
    CountedRef<UpdateEvent> tick(new UpdateEvent(10));
    app->onUpdate(tick.get());
    EXPECT_EQ(manager()->getTopScene(), menu) << "nothing to tell yet";

    // Play with the level's scene missing.
    EXPECT_EQ(openSceneOrLog(*menu, "scenes/Missing Level.oscn", true, navFromName(), navToName()), nullptr);
    app->onUpdate(tick.get());
    auto* box = dynamic_cast<MessageBoxNode*>(manager()->getTopScene());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(std::wstring(box->getBodyText().c_str()).find(L"scenes/Missing Level.oscn"), std::wstring::npos);
    EXPECT_FALSE(box->getTitleText().empty());
    ASSERT_EQ(box->getButtonCount(), 1u);
    EXPECT_EQ(box->getButton(0)->getText(), stringw(L"OK"));
    app->onUpdate(tick.get());
    EXPECT_EQ(manager()->getTopScene(), box) << "one box, not one per update";

    // OK closes it; the same file failing again is not told again.
    CountedRef<NodePressedEvent> ok(new NodePressedEvent(box->getButton(0)));
    box->onEvent58(ok.get());
    updateFor(200);
    EXPECT_EQ(manager()->getTopScene(), menu);
    EXPECT_EQ(openSceneOrLog(*menu, "scenes/Missing Level.oscn", true, navFromName(), navToName()), nullptr);
    for (int i = 0; i < 5; ++i) app->onUpdate(tick.get());
    EXPECT_EQ(manager()->getTopScene(), menu);
    EXPECT_EQ(countMessages(log, "Told the player about the file"), 1u);
    clearContentProblems();
}
