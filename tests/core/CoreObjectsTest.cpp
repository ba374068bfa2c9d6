#include "engine/core/Logger.h"
#include "engine/core/Mutex.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Singleton.h"
#include "engine/core/SoundCueNames.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>
#include <vector>

using namespace engine;

namespace {

// Records its destruction in a shared journal.
struct Tracked : virtual RefCounted {
    explicit Tracked(std::vector<int>* journal, int id) : journal(journal), id(id) {}
    ~Tracked() override { journal->push_back(id); }
    std::vector<int>* journal;
    int id;
};

// Holds the only reference to its parent and is itself owned only by that parent.
struct Owner : virtual RefCounted {
    CountedRef<RefCounted> child;
};

}  // namespace

TEST(RefCountedTest, StartsAtOneAndDestroysOnLastRelease) {
    std::vector<int> journal;
    auto* t = new Tracked(&journal, 1);
    EXPECT_EQ(t->getRefCount(), 1);
    t->addRef();
    EXPECT_FALSE(t->release());
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(t->release());
    EXPECT_EQ(journal, std::vector<int>{1});
}

TEST(CountedRefTest, AdoptCopyAndDestroy) {
    std::vector<int> journal;
    {
        CountedRef<Tracked> a(new Tracked(&journal, 1));
        EXPECT_EQ(a->getRefCount(), 1);
        {
            CountedRef<Tracked> b(a);
            EXPECT_EQ(a->getRefCount(), 2);
        }
        EXPECT_EQ(a->getRefCount(), 1);
        EXPECT_TRUE(journal.empty());
    }
    EXPECT_EQ(journal, std::vector<int>{1});
}

TEST(CountedRefTest, SelfAndSameObjectAssignmentKeepCount) {
    std::vector<int> journal;
    CountedRef<Tracked> a(new Tracked(&journal, 1));
    CountedRef<Tracked> b(a);
    auto& alias = a;
    a = alias;
    EXPECT_EQ(a->getRefCount(), 2);
    a = b;
    EXPECT_EQ(a->getRefCount(), 2);
    EXPECT_TRUE(journal.empty());
}

TEST(CountedRefTest, AssignmentReleasesOldAndRaisesNew) {
    std::vector<int> journal;
    CountedRef<Tracked> a(new Tracked(&journal, 1));
    CountedRef<Tracked> b(new Tracked(&journal, 2));
    a = b;
    EXPECT_EQ(journal, std::vector<int>{1});
    EXPECT_EQ(b->getRefCount(), 2);
}

// The new object is kept alive only through the old one: assigning must take
// the new reference before dropping the old.
TEST(CountedRefTest, AssignmentKeepsObjectOwnedOnlyByOldTarget) {
    std::vector<int> journal;
    CountedRef<RefCounted> holder;
    {
        auto* owner = new Owner;
        owner->child.reset(new Tracked(&journal, 7));
        holder.reset(owner);
    }
    // holder -> owner -> child; now make holder point at the child.
    auto* owner = dynamic_cast<Owner*>(holder.get());
    holder = owner->child;
    ASSERT_TRUE(holder);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(holder->getRefCount(), 1);
    holder.reset();
    EXPECT_EQ(journal, std::vector<int>{7});
}

TEST(MutexTest, IsReentrant) {
    CountedRef<Mutex> m(new Mutex);
    m->lock();
    EXPECT_TRUE(m->tryLock());
    m->unlock();
    m->unlock();
}

TEST(NameIdTest, EmptyStringIsNoName) {
    EXPECT_EQ(makeNameId(""), -1);
    EXPECT_EQ(nameOfId(-1), "");
    EXPECT_EQ(nameOfId(999999), "");
}

TEST(NameIdTest, SoundCuesHoldIdsOneToForty) {
    for (int i = 0; i < kSoundCueCount; ++i) {
        EXPECT_EQ(makeNameId(kSoundCueNames[i]), i + 1) << kSoundCueNames[i];
        EXPECT_EQ(nameOfId(i + 1), kSoundCueNames[i]);
    }
    EXPECT_EQ(makeNameId("ObjectivesWindow"), 1);
    EXPECT_EQ(makeNameId("SoundVolumeChange"), 40);
}

TEST(StringIdRegistryTest, HandsOutIdsInOrderOfFirstUse) {
    StringIdRegistry r;
    EXPECT_EQ(r.intern(""), -1);
    EXPECT_EQ(r.intern("alpha"), 1);
    EXPECT_EQ(r.intern("beta"), 2);
    EXPECT_EQ(r.intern("alpha"), 1);
    EXPECT_EQ(r.nameOf(2), "beta");
    EXPECT_EQ(r.nameOf(3), "");
    // Exact byte comparison: case matters.
    EXPECT_EQ(r.intern("Alpha"), 3);
}

TEST(StringIdRegistryTest, RegistriesHaveSeparateIdSpaces) {
    const int32_t before = getNameRegistry().lastId();
    CreationContext ctx(nullptr, "content/unique-only-here.png");
    EXPECT_EQ(getNameRegistry().lastId(), before);
    EXPECT_EQ(ctx.getName(), "content/unique-only-here.png");
    EXPECT_EQ(getContentNameRegistry().nameOf(ctx.getNameId()), "content/unique-only-here.png");
    EXPECT_EQ(CreationContext(nullptr, "").getNameId(), -1);
}

TEST(NameIdTest, WideNamesNarrowToLowByte) {
    stringw wide(L"Wide\x0141Name");  // 0x141 narrows to 0x41 'A'
    EXPECT_EQ(makeNameId(wide), makeNameId("WideAName"));
}

namespace {
struct PlainSingleton {
    int value = 5;
};
struct CountedSingleton : virtual RefCounted {};

void checkAfterExit() {
    // Runs after the singletons below were destroyed at exit.
    int code = 0;
    try {
        EngineSingleton<PlainSingleton>::Instance();
        code = 2;
    } catch (const std::logic_error& e) {
        if (std::string(e.what()) != "Dead Reference Detected") code = 3;
    }
    EngineLogger& logger = getLogger();
    if (logger.getLevel() != 0) code = 4;
    std::_Exit(code);
}
}  // namespace

TEST(SingletonTest, CreatedOnceOnFirstUse) {
    auto& a = EngineSingleton<PlainSingleton>::Instance();
    auto& b = EngineSingleton<PlainSingleton>::Instance();
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(a.value, 5);
    auto& c = EngineSingleton<CountedSingleton>::Instance();
    EXPECT_EQ(c.getRefCount(), 1);
}

TEST(SingletonDeathTest, DeadReferenceAfterExitButLoggerComesBack) {
    EXPECT_EXIT(
        {
            // Registered before the singletons exist, so it runs after their destruction.
            std::atexit(checkAfterExit);
            EngineSingleton<PlainSingleton>::Instance();
            getLogger().setLevel(2);
            std::exit(1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(LoggerTest, LevelFilterAppliesToWideMessages) {
    testing_support::LogCapture capture;
    EngineLogger& logger = getLogger();
    const int32_t saved = logger.getLevel();

    struct Case {
        int32_t set;
        int32_t expected;
    };
    for (Case c : {Case{2, 2}, Case{3, 2}, Case{7, 2}, Case{-1, -1}, Case{0, 0}}) {
        logger.setLevel(c.set);
        EXPECT_EQ(logger.getLevel(), c.expected) << "setLevel(" << c.set << ")";
    }

    logger.setLevel(2);
    capture.clear();
    logger.log(L"dropped", 1);
    logger.log(L"kept", 2);
    logger.log(L"text", L"hint", 1);
    logger.log("narrow always passes", 0);
    ASSERT_EQ(capture.entries().size(), 2u);
    EXPECT_EQ(capture.entries()[0].text, "kept");
    EXPECT_EQ(capture.entries()[1].text, "narrow always passes");

    logger.setLevel(-1);
    capture.clear();
    logger.log(L"W\x0142", L"h\x0169", 0);  // cut to the low 8 bits
    ASSERT_EQ(capture.entries().size(), 1u);
    EXPECT_EQ(capture.entries()[0].text, "WB");
    EXPECT_EQ(capture.entries()[0].hint, "hi");
    logger.setLevel(saved);
}

// Per-input chatter goes out at the debug level, which a normal session does
// not show: neither on standard error nor to the sink, until debug output is on.
TEST(LoggerTest, DebugMessagesAreOffByDefault) {
    EngineLogger& logger = getLogger();
    const bool savedDebug = logger.isDebugOutput();
    std::vector<std::pair<std::string, int32_t>> seen;
    logger.setSink([&seen](const char* text, const char*, int32_t level) { seen.push_back({text, level}); });

    ::setenv("ENGINE_DEBUG_LOG", "0", 1);
    logger.setDebugOutput(EngineLogger().isDebugOutput());
    testing::internal::CaptureStderr();
    logDebug("hovered a button");
    logger.log("pressed", "PlayButton", LOG_DEBUG);
    logInfo("loaded the level");
    logWarning("a warning");
    const std::string quiet = testing::internal::GetCapturedStderr();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, "loaded the level");
    EXPECT_EQ(seen[1].second, LOG_WARNING);
    EXPECT_EQ(quiet.find("hovered"), std::string::npos) << quiet;
    EXPECT_EQ(quiet.find("pressed"), std::string::npos) << quiet;
    EXPECT_NE(quiet.find("loaded the level"), std::string::npos) << quiet;

    // The environment switch is read when a logger is made.
    ::setenv("ENGINE_DEBUG_LOG", "1", 1);
    logger.setDebugOutput(EngineLogger().isDebugOutput());
    ::unsetenv("ENGINE_DEBUG_LOG");
    seen.clear();
    testing::internal::CaptureStderr();
    logDebug("hovered a button");
    const std::string loud = testing::internal::GetCapturedStderr();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].second, LOG_DEBUG);
    EXPECT_NE(loud.find("[debug] hovered a button"), std::string::npos) << loud;

    logger.setSink(nullptr);
    logger.setDebugOutput(savedDebug);
}
