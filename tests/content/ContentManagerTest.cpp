#include "content/ContentTestSupport.h"
#include "engine/content/CContentManager.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using namespace engine;
using namespace content_test;
using testing_support::LogCapture;

namespace {

constexpr ContentTypeCode kShared = makeContentType('s', 'h', 'r', 'd');
constexpr ContentTypeCode kNeverCached = makeContentType('n', 'v', 'r', 'c');
constexpr ContentTypeCode kMaster = makeContentType('m', 's', 't', 'r');
constexpr ContentTypeCode kNoClone = makeContentType('n', 'c', 'l', 'n');
constexpr ContentTypeCode kUnknown = makeContentType('n', 'o', 'n', 'e');

class ContentManagerTest : public ::testing::Test {
protected:
    ContentManagerTest() {
        FakeContent::live = 0;
        shared_ = addProcessor(kShared, ContentFlags::Shared, true);
        neverCached_ = addProcessor(kNeverCached, ContentFlags::NeverCached, true);
        master_ = addProcessor(kMaster, ContentFlags::None, true);
        noClone_ = addProcessor(kNoClone, ContentFlags::None, false);
        manager_.reset(new CContentManager(nullptr, fs_.get(), processors_.get()));
        folder_.dir().write("a.txt", "alpha");
        folder_.dir().write("b.txt", "beta");
        folder_.dir().write("scenes/menu.oscn", "scene");
        folder_.dir().write("scenes/images/pic.txt", "picture");
    }
    ~ContentManagerTest() override {
        manager_.reset();
        EXPECT_EQ(FakeContent::live, 0) << "the cache leaked or over-released";
    }

    FakeProcessor* addProcessor(ContentTypeCode type, int32_t flags, bool clonable) {
        auto* processor = new FakeProcessor(type, flags, clonable, nullptr);
        processors_->registerProcessor(processor);
        processor->release();
        return processor;
    }
    FakeContent* load(ContentTypeCode type, const char* path, bool relative = false) {
        return static_cast<FakeContent*>(manager_->load(type, path, relative));
    }
    size_t cachedCount(ContentTypeCode type) const {
        const auto found = manager_->getCache().find(type);
        return found == manager_->getCache().end() ? 0 : found->second.size();
    }

    WorkingFolder folder_;
    CountedRef<FileSystem> fs_{new FileSystem()};
    CountedRef<CContentProcessorsManager> processors_{new CContentProcessorsManager(nullptr, nullptr, fs_.get(), nullptr)};
    FakeProcessor* shared_;
    FakeProcessor* neverCached_;
    FakeProcessor* master_;
    FakeProcessor* noClone_;
    CountedRef<CContentManager> manager_;
};

}  // namespace

TEST_F(ContentManagerTest, SharedContentIsTheSameObjectWithOneMoreReferencePerLoad) {
    CountedRef<FakeContent> first(load(kShared, "a.txt"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text(), "alpha");
    EXPECT_EQ(first->getRefCount(), 2);  // the cache's and ours
    EXPECT_EQ(first->getCreationContext().getName(), "a.txt");
    EXPECT_EQ(first->getCreationContext().getContentManager(), manager_.get());

    CountedRef<FakeContent> second(load(kShared, "a.txt"));
    EXPECT_EQ(second.get(), first.get());
    EXPECT_EQ(first->getRefCount(), 3);
    EXPECT_EQ(shared_->loads, 1);
    const CreationContext key(nullptr, "a.txt");
    EXPECT_EQ(manager_->findCached(kShared, &key), first.get());
}

TEST_F(ContentManagerTest, NeverCachedContentIsMadeAgainOnEveryLoad) {
    CountedRef<FakeContent> first(load(kNeverCached, "a.txt"));
    CountedRef<FakeContent> second(load(kNeverCached, "a.txt"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(neverCached_->loads, 2);
    EXPECT_EQ(cachedCount(kNeverCached), 0u);
    EXPECT_FALSE(manager_->addToCacheByOwnName(first.get()));
}

TEST_F(ContentManagerTest, OtherContentIsClonedFromAMasterThatIsNeverHandedOut) {
    CountedRef<FakeContent> first(load(kMaster, "a.txt"));
    CountedRef<FakeContent> second(load(kMaster, "a.txt"));
    ASSERT_TRUE(first && second);
    const CreationContext key(nullptr, "a.txt");
    Content* master = manager_->findCached(kMaster, &key);
    ASSERT_TRUE(master);
    EXPECT_NE(first.get(), master);
    EXPECT_NE(second.get(), master);
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(first->isClone() && second->isClone());
    EXPECT_EQ(master->getRefCount(), 1);
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(master_->loads, 1);

    // A class that cannot be cloned gives nothing, not even the first time.
    EXPECT_EQ(load(kNoClone, "a.txt"), nullptr);
    EXPECT_EQ(load(kNoClone, "a.txt"), nullptr);
    EXPECT_EQ(cachedCount(kNoClone), 1u);
    EXPECT_EQ(noClone_->loads, 1);
}

TEST_F(ContentManagerTest, WithCachingOffEveryLoadIsNewAndOwnedByTheCaller) {
    CountedRef<FakeContent> cached(load(kShared, "a.txt"));
    manager_->setCachingEnabled(false);
    EXPECT_FALSE(manager_->isCachingEnabled());
    CountedRef<FakeContent> first(load(kShared, "a.txt"));
    CountedRef<FakeContent> second(load(kShared, "b.txt"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), cached.get());
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(cachedCount(kShared), 1u);
    EXPECT_FALSE(manager_->addToCacheByOwnName(second.get()));
    manager_->setCachingEnabled(true);
}

TEST_F(ContentManagerTest, PathsAreCacheKeysAsWritten) {
    {
        LogCapture log;
        EXPECT_EQ(load(kShared, ""), nullptr);
        EXPECT_TRUE(log.entries().empty());
        // A missing file is named in a warning.
        EXPECT_EQ(load(kShared, "missing.txt"), nullptr);
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_EQ(log.entries()[0].level, LOG_WARNING);
        EXPECT_EQ(log.entries()[0].hint, "missing.txt");
    }
    folder_.dir().write("A.txt", "upper");
    CountedRef<FakeContent> lower(load(kShared, "a.txt"));
    CountedRef<FakeContent> upper(load(kShared, "A.txt"));
    CountedRef<FakeContent> dotted(load(kShared, "./a.txt"));
    ASSERT_TRUE(lower && upper && dotted);
    EXPECT_NE(lower.get(), upper.get());
    EXPECT_NE(lower.get(), dotted.get());
    EXPECT_EQ(shared_->loads, 3);
    CountedRef<FakeContent> slashes(load(kShared, "scenes/images/pic.txt"));
    CountedRef<FakeContent> backslashes(load(kShared, "scenes\\images\\pic.txt"));
    ASSERT_TRUE(slashes && backslashes);
    EXPECT_NE(slashes.get(), backslashes.get());
}

TEST_F(ContentManagerTest, RelativePathsResolveAgainstTheTopOfTheFolderStack) {
    ASSERT_EQ(manager_->getFolderStack().size(), 1u);
    EXPECT_EQ(manager_->makeFullPath("pic.txt"), "pic.txt");
    CountedRef<FakeContent> plain(load(kShared, "a.txt", true));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->getCreationContext().getName(), "a.txt");

    manager_->pushFolder("scenes/menu.oscn");
    EXPECT_EQ(manager_->makeFullPath("images/pic.txt"), "scenes/images/pic.txt");
    EXPECT_EQ(manager_->makeRelativePath("scenes/images/pic.txt"), "images/pic.txt");
    CountedRef<FakeContent> relative(load(kShared, "images/pic.txt", true));
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->text(), "picture");
    EXPECT_EQ(relative->getCreationContext().getName(), "scenes/images/pic.txt");
    EXPECT_EQ(load(kShared, "images/pic.txt", false), nullptr);  // not joined
    CountedRef<FakeContent> up(load(kShared, "../a.txt", true));
    ASSERT_TRUE(up);
    EXPECT_EQ(up.get(), plain.get());

    manager_->popFolder();
    manager_->popFolder();  // the bottom entry stays
    ASSERT_EQ(manager_->getFolderStack().size(), 1u);
    EXPECT_EQ(manager_->getFolderStack()[0], "");
}

TEST_F(ContentManagerTest, RemoveUnusedDropsWhatNobodyElseHolds) {
    CountedRef<FakeContent> held(load(kShared, "a.txt"));
    FakeContent* dropped = load(kShared, "b.txt");
    dropped->release();
    CountedRef<FakeContent> clone(load(kMaster, "a.txt"));
    ASSERT_EQ(FakeContent::live, 4);  // two shared, a master and its clone

    manager_->removeUnused();
    EXPECT_EQ(FakeContent::live, 2);
    EXPECT_EQ(cachedCount(kShared), 1u);
    EXPECT_EQ(cachedCount(kMaster), 0u);
    EXPECT_EQ(manager_->getCache().count(kMaster), 1u);  // the type entry stays
    EXPECT_EQ(held->getRefCount(), 2);
    EXPECT_EQ(clone->text(), "alpha");
}

TEST_F(ContentManagerTest, ClearCacheAndRemoveFromCacheReleaseTheCachesReferences) {
    CountedRef<FakeContent> held(load(kShared, "a.txt"));
    FakeContent* other = load(kShared, "b.txt");
    other->release();
    manager_->removeFromCache(held.get());
    EXPECT_EQ(held->getRefCount(), 1);
    EXPECT_EQ(cachedCount(kShared), 1u);
    manager_->removeFromCache(held.get());  // no entry any more
    manager_->removeFromCache(nullptr);

    manager_->clearCache();
    EXPECT_TRUE(manager_->getCache().empty());
    EXPECT_EQ(FakeContent::live, 1);
    EXPECT_EQ(held->getRefCount(), 1);
}

// Collections publish items under names that are no files; a load finds them
// without opening anything.
TEST_F(ContentManagerTest, PublishedContentLoadsByItsName) {
    EXPECT_EQ(load(kShared, "atlas/frame01"), nullptr);
    auto* item = new FakeContent(CreationContext(manager_.get(), "unused"), kShared, ContentFlags::Shared, true, "x");
    EXPECT_TRUE(manager_->addToCache(CreationContext(nullptr, "atlas/frame01"), item));
    EXPECT_FALSE(manager_->addToCache(CreationContext(nullptr, "atlas/frame01"), item));
    EXPECT_EQ(item->getRefCount(), 2);
    CountedRef<FakeContent> loaded(load(kShared, "atlas/frame01"));
    EXPECT_EQ(loaded.get(), item);
    EXPECT_EQ(item->getRefCount(), 3);

    auto* own = new FakeContent(CreationContext(manager_.get(), "atlas/own"), kShared, ContentFlags::Shared, true, "y");
    EXPECT_TRUE(manager_->addToCacheByOwnName(own));
    EXPECT_FALSE(manager_->addToCacheByOwnName(own));
    EXPECT_FALSE(manager_->addToCacheByOwnName(nullptr));
    item->release();
    own->release();
    EXPECT_EQ(shared_->loads, 0);
}

TEST_F(ContentManagerTest, ATypeWithoutAProcessorIsReported) {
    LogCapture log;
    EXPECT_EQ(manager_->load(kUnknown, "a.txt", false), nullptr);
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].text, "CContentManager");
    EXPECT_EQ(log.entries()[0].hint, "IContentProcessor for the content a.txt and type #1701736302 not found");
    EXPECT_EQ(log.entries()[0].level, LOG_WARNING);

    log.clear();
    CountedRef<FakeContent> content(load(kShared, "a.txt"));
    EXPECT_FALSE(manager_->save(kUnknown, content.get(), "out.txt", 0));
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].hint, "IContentProcessor for saving the content out.txt of type #1701736302 not found");
    EXPECT_FALSE(fs_->existFile("out.txt"));
}

TEST_F(ContentManagerTest, SaveWritesThroughTheProcessorOfTheType) {
    CountedRef<FakeContent> content(load(kShared, "a.txt"));
    EXPECT_TRUE(manager_->save(kShared, content.get(), "saved.txt", 7));
    EXPECT_EQ(testing_support::TempDir::read(folder_.dir().file("saved.txt")), "alpha#7");
    EXPECT_FALSE(manager_->save(kShared, content.get(), "no/such/folder/saved.txt", 7));
    EXPECT_FALSE(manager_->save(kShared, nullptr, "null.txt", 0));  // the processor's answer
    EXPECT_EQ(cachedCount(kShared), 1u);
}

TEST_F(ContentManagerTest, LoadFromFileUsesTheFilesNameAndTheCache) {
    IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile("a.txt"));
    CountedRef<FakeContent> fromFile(static_cast<FakeContent*>(manager_->loadFromFile(kShared, file.get())));
    ASSERT_TRUE(fromFile);
    CountedRef<FakeContent> byPath(load(kShared, "a.txt"));
    EXPECT_EQ(byPath.get(), fromFile.get());
    EXPECT_EQ(shared_->loads, 1);
    EXPECT_EQ(manager_->loadFromFile(kShared, nullptr), nullptr);
}

TEST_F(ContentManagerTest, DestroyingTheManagerReleasesItsCache) {
    CountedRef<FakeContent> held(load(kShared, "a.txt"));
    CountedRef<FakeContent> clone(load(kMaster, "b.txt"));
    manager_.reset();
    EXPECT_EQ(FakeContent::live, 2);
    EXPECT_EQ(held->getRefCount(), 1);
}
