#include "content/ContentTestSupport.h"
#include "engine/content/CContentManager.h"
#include "engine/visual/CImageProcessor.h"
#include "engine/visual/CTextureProcessor.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/BaseNode.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/ImageManager.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace engine;
using namespace content_test;
using testing_support::LogCapture;

namespace {

class ContentProcessorsTest : public ::testing::Test {
protected:
    ContentProcessorsTest() {
        processors_.reset(new CContentProcessorsManager(driverA(), nullptr, fs_.get(), nullptr));
        manager_.reset(new CContentManager(driverA(), fs_.get(), processors_.get()));
        receivers_ = {processors_.get(), manager_.get()};
    }
    ~ContentProcessorsTest() override {
        manager_.reset();
        processors_.reset();
    }

    irr::video::IVideoDriver* driverA() const { return deviceA_->getVideoDriver(); }
    irr::video::IVideoDriver* driverB() const { return deviceB_->getVideoDriver(); }

    // An image file written with the image manager.
    void writeImage(const char* name, uint32_t argb) {
        CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(4, 2)));
        image->fill(argb);
        IrrRef<irr::io::IWriteFile> file(fs_->createAndWriteFile(name, false));
        ASSERT_TRUE(ImageManager::instance().writeImage(image.get(), file.get()));
    }
    void driverEvents(irr::video::IVideoDriver* next) {
        CountedRef<Event> released(new VideoDriverReleasedEvent());
        EXPECT_FALSE(deliverLikeDevice(receivers_, released.get()));
        CountedRef<Event> created(new VideoDriverCreatedEvent(next));
        EXPECT_FALSE(deliverLikeDevice(receivers_, created.get()));
    }
    size_t cachedCount(ContentTypeCode type) const {
        const auto found = manager_->getCache().find(type);
        return found == manager_->getCache().end() ? 0 : found->second.size();
    }

    WorkingFolder folder_;
    IrrRef<irr::IrrlichtDevice> deviceA_{createNullDevice()};
    IrrRef<irr::IrrlichtDevice> deviceB_{createNullDevice()};
    CountedRef<FileSystem> fs_{new FileSystem()};
    CountedRef<CContentProcessorsManager> processors_;
    CountedRef<CContentManager> manager_;
    std::vector<EventReceiver*> receivers_;
};

}  // namespace

TEST_F(ContentProcessorsTest, ProcessorsAreFoundByTypeInRegistrationOrder) {
    ASSERT_EQ(processors_->getProcessorCount(), 10u);
    // The content part's own processor, then those the higher parts register.
    EXPECT_EQ(processors_->getProcessor(0)->getContentType(), ContentType::SceneNode);
    EXPECT_EQ(processors_->getProcessor(1)->getContentType(), ContentType::Texture);
    EXPECT_EQ(processors_->getProcessor(2)->getContentType(), ContentType::AtlasTexture);
    EXPECT_EQ(processors_->getProcessor(3)->getContentType(), ContentType::AtlasTextureCollection);
    EXPECT_EQ(processors_->getProcessor(4)->getContentType(), ContentType::Image);
    EXPECT_EQ(processors_->getProcessor(5)->getContentType(), ContentType::Font);
    EXPECT_EQ(processors_->getProcessor(6)->getContentType(), ContentType::ParticleCollection);
    EXPECT_EQ(processors_->getProcessor(7)->getContentType(), ContentType::ParticleEmitter);
    EXPECT_EQ(processors_->getProcessor(8)->getContentType(), ContentType::Sound);
    EXPECT_EQ(processors_->getProcessor(9)->getContentType(), ContentType::SoundPack);
    EXPECT_TRUE(dynamic_cast<CImageProcessor*>(processors_->findProcessor(ContentType::Image)));
    EXPECT_TRUE(dynamic_cast<CTextureProcessor*>(processors_->findProcessor(ContentType::Texture)));
    EXPECT_EQ(processors_->getProcessor(0)->getRefCount(), 1);  // the manager holds the only reference
    EXPECT_TRUE(processors_->takesCategory(EventCategory::Driver));
    EXPECT_TRUE(manager_->takesCategory(EventCategory::Driver));
}

TEST_F(ContentProcessorsTest, ASecondProcessorOfATypeIsRefused) {
    IContentProcessor* first = processors_->findProcessor(ContentType::Image);
    CountedRef<FakeProcessor> second(new FakeProcessor(ContentType::Image, ContentFlags::Shared, true, nullptr));
    LogCapture log;
    processors_->registerProcessor(second.get());
    processors_->registerProcessor(nullptr);
    EXPECT_EQ(processors_->findProcessor(ContentType::Image), first);
    EXPECT_EQ(second->getRefCount(), 1);
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].text, "CContentProcessorsManager");
    EXPECT_EQ(log.entries()[0].hint, "IContentProcessor for the type #1734438249 is already present");
    EXPECT_EQ(log.entries()[0].level, LOG_WARNING);
}

// The processors manager comes first: every processor that takes driver events
// swaps its driver; then the content manager hands the event to the processors
// of its cached types, those of event order 1 last.
TEST_F(ContentProcessorsTest, DriverEventsReachTheProcessorsInTheirOrder) {
    std::vector<std::string> journal;
    auto add = [&](const char* name, ContentTypeCode type, int32_t order, bool driver) {
        CountedRef<FakeProcessor> processor(new FakeProcessor(type, ContentFlags::Shared, true, &journal, order, driver));
        processor->name = name;
        processors_->registerProcessor(processor.get());
    };
    add("late", makeContentType('a', 'a', 'a', 'a'), 1, true);
    add("early", makeContentType('z', 'z', 'z', 'z'), 0, true);
    add("quiet", makeContentType('m', 'm', 'm', 'm'), 0, false);
    add("unused", makeContentType('u', 'u', 'u', 'u'), 0, true);
    folder_.dir().write("x.txt", "x");
    for (char c : {'a', 'z', 'm'}) CountedRef<Content>(manager_->load(makeContentType(c, c, c, c), "x.txt", false));

    CountedRef<Event> released(new VideoDriverReleasedEvent());
    EXPECT_FALSE(deliverLikeDevice(receivers_, released.get()));
    ASSERT_EQ(journal.size(), 6u);
    EXPECT_EQ(journal[0], "late own 9");
    EXPECT_EQ(journal[1], "early own 9");
    EXPECT_EQ(journal[2], "unused own 9");
    std::vector<std::string> orderZero(journal.begin() + 3, journal.begin() + 5);
    std::sort(orderZero.begin(), orderZero.end());
    EXPECT_EQ(orderZero, (std::vector<std::string>{"early cached 9 x1", "quiet cached 9 x1"}));
    EXPECT_EQ(journal[5], "late cached 9 x1");
    EXPECT_EQ(processors_->getVideoDriver(), nullptr);
    EXPECT_EQ(manager_->getVideoDriver(), nullptr);
    EXPECT_EQ(static_cast<CTextureProcessor*>(processors_->findProcessor(ContentType::Texture))->getVideoDriver(),
              nullptr);

    journal.clear();
    CountedRef<Event> created(new VideoDriverCreatedEvent(driverB()));
    EXPECT_FALSE(deliverLikeDevice(receivers_, created.get()));
    ASSERT_EQ(journal.size(), 6u);
    EXPECT_EQ(journal[0], "late own 10");
    EXPECT_EQ(journal[5], "late cached 10 x1");
    EXPECT_EQ(processors_->getVideoDriver(), driverB());
    EXPECT_EQ(manager_->getVideoDriver(), driverB());
    EXPECT_EQ(static_cast<CTextureProcessor*>(processors_->findProcessor(ContentType::Texture))->getVideoDriver(),
              driverB());

    // Other events are not the processors' business.
    journal.clear();
    CountedRef<Event> update(new UpdateEvent(10));
    EXPECT_FALSE(deliverLikeDevice(receivers_, update.get()));
    EXPECT_TRUE(journal.empty());
}

TEST_F(ContentProcessorsTest, ImagesLoadOncePerPathAndSaveThroughTheImageManager) {
    writeImage("pic.png", 0xFF336699u);
    folder_.dir().write("bad.png", "not an image");
    LogCapture log;
    CountedRef<Image> first(static_cast<Image*>(manager_->load(ContentType::Image, "pic.png", false)));
    CountedRef<Image> second(static_cast<Image*>(manager_->load(ContentType::Image, "pic.png", false)));
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first->getRefCount(), 3);
    EXPECT_EQ(first->getPixel(3, 1), 0xFF336699u);
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].text, "Loaded image");
    EXPECT_EQ(log.entries()[0].hint, "pic.png");
    EXPECT_EQ(log.entries()[0].level, LOG_DEBUG);

    log.clear();
    EXPECT_EQ(manager_->load(ContentType::Image, "bad.png", false), nullptr);
    ASSERT_FALSE(log.entries().empty());
    EXPECT_EQ(log.entries().back().text, "Can't load image");
    EXPECT_EQ(log.entries().back().hint, "bad.png");
    EXPECT_EQ(log.entries().back().level, LOG_WARNING);
    EXPECT_EQ(cachedCount(ContentType::Image), 1u);

    EXPECT_TRUE(manager_->save(ContentType::Image, first.get(), "copy.bmp", 0));
    CountedRef<Image> copy(static_cast<Image*>(manager_->load(ContentType::Image, "copy.bmp", false)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->getPixel(0, 0), 0xFF336699u);
    EXPECT_TRUE(manager_->save(ContentType::Image, first.get(), "shot.jpg", 50));
    EXPECT_FALSE(manager_->save(ContentType::Image, first.get(), "copy.pcx", 0));
    CountedRef<TextureContent> notAnImage(new TextureContent(CreationContext(), "x", nullptr));
    EXPECT_FALSE(manager_->save(ContentType::Image, notAnImage.get(), "x.png", 0));
}

TEST_F(ContentProcessorsTest, TexturesAreMadeFromImagesAndRebuiltAfterADriverChange) {
    writeImage("tex.png", 0xFF00FF00u);
    LogCapture log;
    CountedRef<TextureContent> texture(static_cast<TextureContent*>(manager_->load(ContentType::Texture, "tex.png", false)));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getContentType(), makeContentType('i', 't', 'e', 'x'));
    EXPECT_EQ(texture->getContentFlags(), ContentFlags::Shared);
    EXPECT_EQ(texture->getFileName(), "tex.png");
    ASSERT_TRUE(texture->getTexture());
    EXPECT_EQ(texture->getTexture()->getReferenceCount(), 1);  // the driver keeps none
    EXPECT_TRUE(log.contains("Loaded texture"));

    // The image is cached under the same name.
    const CreationContext key(nullptr, "tex.png");
    EXPECT_EQ(manager_->findCached(ContentType::Texture, &key), texture.get());
    EXPECT_TRUE(dynamic_cast<Image*>(manager_->findCached(ContentType::Image, &key)));
    CountedRef<Content> again(manager_->load(ContentType::Texture, "tex.png", false));
    EXPECT_EQ(again.get(), texture.get());

    IrrRef<irr::video::ITexture> before = IrrRef<irr::video::ITexture>::share(texture->getTexture());
    CountedRef<Event> released(new VideoDriverReleasedEvent());
    deliverLikeDevice(receivers_, released.get());
    EXPECT_EQ(texture->getTexture(), nullptr);
    EXPECT_EQ(before->getReferenceCount(), 1);  // only ours now

    CountedRef<Event> created(new VideoDriverCreatedEvent(driverB()));
    deliverLikeDevice(receivers_, created.get());
    ASSERT_TRUE(texture->getTexture());
    EXPECT_NE(texture->getTexture(), before.get());
    EXPECT_EQ(manager_->findCached(ContentType::Texture, &key), texture.get());

    // An image that can no longer be loaded leaves the texture without one.
    manager_->removeUnused();  // drops the image
    EXPECT_EQ(manager_->findCached(ContentType::Image, &key), nullptr);
    ASSERT_TRUE(fs_->removeFile("tex.png"));
    driverEvents(driverA());
    EXPECT_EQ(texture->getTexture(), nullptr);
}

// Hit tests ask the texture content for opaque pixels; materials ask it for the
// driver texture of the moment.
TEST_F(ContentProcessorsTest, TexturesKeepTheImageAlphaAndServeAsTextureSource) {
    writeImage("clear.png", 0x10FFFFFFu);
    writeImage("solid.png", 0xFF00FF00u);
    CountedRef<TextureContent> clear(static_cast<TextureContent*>(manager_->load(ContentType::Texture, "clear.png", false)));
    CountedRef<TextureContent> solid(static_cast<TextureContent*>(manager_->load(ContentType::Texture, "solid.png", false)));
    ASSERT_TRUE(clear && solid);
    EXPECT_FALSE(clear->isOpaqueAt(0, 0, 0x20));
    EXPECT_TRUE(clear->isOpaqueAt(0, 0, 0x0F));
    EXPECT_TRUE(solid->isOpaqueAt(3, 1, 0x20));
    EXPECT_FALSE(solid->isOpaqueAt(4, 1, 0x20));  // outside the 4 x 2 image
    const ITextureSource* source = solid.get();
    EXPECT_EQ(source->getDriverTexture(), solid->getTexture());
}

TEST_F(ContentProcessorsTest, TexturesNeedAnImage) {
    folder_.dir().write("bad.png", "not an image");
    LogCapture log;
    EXPECT_EQ(manager_->load(ContentType::Texture, "bad.png", false), nullptr);
    EXPECT_EQ(cachedCount(ContentType::Texture), 0u);
    CountedRef<TextureContent> texture(new TextureContent(CreationContext(), "x", nullptr));
    EXPECT_FALSE(manager_->save(ContentType::Texture, texture.get(), "x.png", 0));
}

namespace {

const char* const kMenuScene =
    "<?xml version=\"1.0\"?>\n"
    "<SceneNode Type=\"BaseNode\">\n"
    "<Properties><string Name=\"Name\" Value=\"Menu\" /></Properties>\n"
    "<SceneNode File=\"parts/Panel.oscn\" />\n"
    "<SceneNode Type=\"SoundNode\"><Properties><string Name=\"Name\" Value=\"Music\" /></Properties></SceneNode>\n"
    "</SceneNode>\n";
// Its include names a sibling by a bare name: resolved against parts/.
const char* const kPanelScene =
    "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Panel\" /></Properties>"
    "<SceneNode File=\"Button.oscn\" /></SceneNode>";
const char* const kButtonScene =
    "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Button\" /></Properties></SceneNode>";

}  // namespace

// Scene files load through the manager: each load is a new copy of one cached
// master, and includes resolve against the folder of the file that names them.
TEST_F(ContentProcessorsTest, SceneFilesLoadAsClonesWithIncludesResolvedPerFile) {
    folder_.dir().write("scenes/Menu.oscn", kMenuScene);
    folder_.dir().write("scenes/parts/Panel.oscn", kPanelScene);
    folder_.dir().write("scenes/parts/Button.oscn", kButtonScene);

    CountedRef<BaseNode> first(manager_->loadSceneNode("scenes/Menu.oscn", true));
    CountedRef<BaseNode> second(manager_->loadSceneNode("scenes/Menu.oscn", true));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    CreationContext key(manager_.get(), "scenes/Menu.oscn");
    Content* master = manager_->findCached(ContentType::SceneNode, &key);
    ASSERT_TRUE(master);
    EXPECT_NE(master, first.get());
    EXPECT_NE(master, second.get());

    for (BaseNode* root : {static_cast<BaseNode*>(master), first.get(), second.get()}) {
        BaseNode* panel = root->findChild(makeNameId("Panel"), 1);
        ASSERT_TRUE(panel);
        EXPECT_TRUE(panel->findChild(makeNameId("Button"), 1));
        EXPECT_TRUE(root->findChild(makeNameId("Music"), 1));
    }
    EXPECT_EQ(manager_->getFolderStack().size(), 1u);  // every push was popped
}

TEST_F(ContentProcessorsTest, SceneFilesSaveThroughTheManagerAndLoadBack) {
    folder_.dir().write("scenes/parts/Button.oscn", kButtonScene);
    CountedRef<BaseNode> tree(new BaseNode(nullptr, nullptr, nullptr));
    tree->setName(makeNameId("Saved"));
    CountedRef<BaseNode> child(new BaseNode(nullptr, tree.get(), nullptr));
    child->setName(makeNameId("Child"));
    ASSERT_TRUE(manager_->save(ContentType::SceneNode, tree.get(), "out.oscn", 0));

    CountedRef<BaseNode> back(manager_->loadSceneNode("out.oscn", false));
    ASSERT_TRUE(back);
    EXPECT_EQ(nameOfId(back->getName()), "Saved");
    EXPECT_TRUE(back->findChild(makeNameId("Child"), 1));

    CountedRef<Image> notANode(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(1, 1)));
    LogCapture log;
    EXPECT_FALSE(manager_->save(ContentType::SceneNode, notANode.get(), "bad.oscn", 0));
    folder_.dir().write("broken.oscn", "<SceneNode Type=\"BaseNode\"><Properties>");
    CountedRef<BaseNode> broken(manager_->loadSceneNode("broken.oscn", false));
    EXPECT_TRUE(log.hasErrors());
}
