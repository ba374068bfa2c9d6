#include "engine/platform/CrashDump.h"
#include "engine/platform/SingleInstance.h"
#include "engine/platform/Thread.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
// After gtest: Xlib defines macros (None, Bool) that gtest's own names collide with.
#include <X11/Xlib.h>
#include <cstring>

using namespace engine;
using testing_support::TempDir;
using testing_support::LogCapture;
namespace fs = std::filesystem;

namespace {

// Points $XDG_RUNTIME_DIR at a temporary folder for the test's lock files.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_)
            ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }

    // A child process that takes the guard, stores the window, says so on the
    // pipe and holds the guard until the parent closes the other pipe.
    pid_t startFirstInstance(uint64_t window) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return -1;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            SingleInstanceGuard guard("Test Game Instance");
            guard.setWindow(static_cast<uintptr_t>(window));
            const char state = guard.isSecondInstance() ? 'S' : 'F';
            if (::write(ready[1], &state, 1) != 1) ::_exit(2);
            char dummy;
            while (::read(release[0], &dummy, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        char state = 0;
        EXPECT_EQ(::read(ready[0], &state, 1), 1);
        EXPECT_EQ(state, 'F');
        ::close(ready[0]);
        releaseFd_ = release[1];
        return child;
    }

    void stopFirstInstance(pid_t child) {
        ::close(releaseFd_);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    TempDir dir_;
    std::string old_;
    bool hadOld_ = false;
    int releaseFd_ = -1;
};

}  // namespace

TEST_F(SingleInstanceTest, LockPathLivesInTheRuntimeFolderElseInTmpWithTheUserId) {
    EXPECT_EQ(SingleInstanceGuard::lockPathFor("Test Game/Instance"),
              dir_.path().string() + "/Test_Game_Instance.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstanceGuard::lockPathFor("A"), "/tmp/A-" + std::to_string(::getuid()) + ".lock");
}

TEST_F(SingleInstanceTest, SecondProcessIsRefusedWhileTheFirstRuns) {
    const pid_t first = startFirstInstance(0);
    ASSERT_GT(first, 0);
    {
        // The first instance has no window yet: nothing to bring forward.
        SingleInstanceGuard second("Test Game Instance");
        EXPECT_TRUE(second.isSecondInstance());
        second.setWindow(1234);  // not held: must not touch the first's id
    }
    stopFirstInstance(first);

    // The lock went with the first process: a later start runs normally.
    SingleInstanceGuard later("Test Game Instance");
    EXPECT_FALSE(later.isSecondInstance());
    later.setWindow(0x5a5a);
    uint64_t stored = 0;
    const std::string bytes = TempDir::read(later.getLockPath());
    ASSERT_GE(bytes.size(), sizeof stored);
    std::memcpy(&stored, bytes.data(), sizeof stored);
    EXPECT_EQ(stored, 0x5a5au);
}

TEST_F(SingleInstanceTest, StaleLockFileIsTakenOver) {
    // Left behind by a crashed instance: a window id, but nobody holds the lock.
    const uint64_t window = 0x3e00007;
    dir_.write("Test_Game_Instance.lock", std::string(reinterpret_cast<const char*>(&window), sizeof window));
    SingleInstanceGuard guard("Test Game Instance");
    EXPECT_FALSE(guard.isSecondInstance());
    const std::string bytes = TempDir::read(guard.getLockPath());
    EXPECT_EQ(bytes, std::string(8, '\0'));
}

TEST_F(SingleInstanceTest, ALockFileThatCannotBeMadeIsLoggedAndTheProgramRunsAlone) {
    // A runtime folder that does not exist: the guard cannot tell, and must
    // not make the game quit as if another instance ran.
    ::setenv("XDG_RUNTIME_DIR", dir_.file("gone/away").c_str(), 1);
    LogCapture log;
    SingleInstanceGuard guard("Test Game Instance");
    EXPECT_FALSE(guard.isSecondInstance());
    EXPECT_TRUE(log.hasErrors());
    EXPECT_TRUE(log.contains("running as the only instance"));
    guard.setWindow(0x1234);  // nothing to store it in; no crash
}

TEST_F(SingleInstanceTest, StaleWindowIdOfARunningInstanceIsIgnored) {
    // An id no window has (the first instance's window was rebuilt, or the
    // server restarted): the second start still stops, and nothing breaks.
    const pid_t first = startFirstInstance(0x7ffffff0);
    ASSERT_GT(first, 0);
    {
        SingleInstanceGuard second("Test Game Instance");
        EXPECT_TRUE(second.isSecondInstance());
    }
    EXPECT_FALSE(SingleInstanceGuard::raiseWindow(0x7ffffff0));
    stopFirstInstance(first);
}

TEST_F(SingleInstanceTest, SecondStartBringsTheMinimisedFirstWindowBack) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) SKIP_OR_FAIL_UNDER_CI() << "no X display";
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 64, 64, 0, 0, 0);
    XSync(display, False);  // created, never mapped: as good as minimised
    const pid_t first = startFirstInstance(window);
    ASSERT_GT(first, 0);
    {
        SingleInstanceGuard second("Test Game Instance");
        EXPECT_TRUE(second.isSecondInstance());
    }
    XWindowAttributes attributes;
    ASSERT_NE(XGetWindowAttributes(display, window, &attributes), 0);
    EXPECT_EQ(attributes.map_state, IsViewable);
    stopFirstInstance(first);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

namespace {

// Runs the body in a child process with the crash handler installed and the
// reports going to the folder; returns the child's wait status.
template <class Body>
int runCrashingChild(const TempDir& dir, Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        MiniDumper dumper(true, 0);
        MiniDumper::setDumpFolder(dir.path().c_str());
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

std::vector<fs::path> reports(const TempDir& dir) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().extension() == ".dmp") found.push_back(entry.path());
    return found;
}

// A real fault: a store to a page that may only be read.
void writeToReadOnlyPage() {
    void* page = ::mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) ::_exit(3);
    *static_cast<volatile int*>(page) = 1;
}

}  // namespace

TEST(CrashDumpTest, FatalSignalsWriteAReportAndEndWithTheSignal) {
    struct Case {
        const char* name;
        void (*crash)();
        int signal;
        const char* cause;
    };
    const Case cases[] = {
        {"raised SIGSEGV", [] { ::raise(SIGSEGV); }, SIGSEGV, "segmentation fault"},
        {"write to a read-only page", writeToReadOnlyPage, SIGSEGV, "segmentation fault"},
        {"abort", [] { std::abort(); }, SIGABRT, "abort"},
        // On a thread of its own, where nothing (not even the test framework) catches it.
        {"uncaught exception", [] { std::thread([] { throw std::runtime_error("boom in the loop"); }).join(); },
         SIGABRT,
         "uncaught exception: boom in the loop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const int status = runCrashingChild(dir, c.crash);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), c.signal);
        const std::vector<fs::path> found = reports(dir);
        ASSERT_EQ(found.size(), 1u);
        // "<executable>.<seconds>.dmp"
        const std::string name = found[0].filename().string();
        EXPECT_EQ(name.rfind("platform_tests.", 0), 0u) << name;
        const std::string text = TempDir::read(found[0].string());
        EXPECT_NE(text.find(c.cause), std::string::npos) << text;
        EXPECT_NE(text.find("Backtrace:\n"), std::string::npos);
        EXPECT_GT(text.size(), text.find("Backtrace:\n") + 12);
    }
}

TEST(CrashDumpTest, DumpNameIsFolderExecutableAndTime) {
    const std::string name = MiniDumper::getDumpFileName().c_str();
    const std::string base = fs::path(name).filename().string();
    ASSERT_EQ(base.rfind("platform_tests.", 0), 0u) << base;
    ASSERT_GT(base.size(), 4u);
    EXPECT_EQ(base.substr(base.size() - 4), ".dmp");
    const std::string seconds = base.substr(15, base.size() - 19);
    EXPECT_FALSE(seconds.empty());
    EXPECT_EQ(seconds.find_first_not_of("0123456789"), std::string::npos) << seconds;
}

TEST(ThreadTest, RunsTheStartFunctionOnceUntilJoined) {
    std::atomic<int> calls{0};
    Thread thread(
        [](void* argument) -> int32_t {
            ++*static_cast<std::atomic<int>*>(argument);
            return 7;
        },
        &calls);
    EXPECT_TRUE(thread.start());
    EXPECT_FALSE(thread.start());  // running or finished, not joined yet
    thread.join();
    EXPECT_EQ(calls.load(), 1);
    EXPECT_TRUE(thread.start());  // joined: may run again
    thread.join();
    EXPECT_EQ(calls.load(), 2);
}

namespace {

// A loop that counts under its lock until asked to stop.
class CountingThread : public Thread {
public:
    ~CountingThread() override { join(); }
    int32_t run() override {
        while (!isStopRequested()) {
            {
                MutexLock lock(getLock());
                ++loops;
            }
            sleepMs(1);
        }
        return 0;
    }
    std::atomic<int> loops{0};
};

}  // namespace

TEST(ThreadTest, LoopStopsOnRequestAndDestructorJoins) {
    CountingThread thread;
    ASSERT_TRUE(thread.start());
    while (thread.loops.load() < 3) sleepMs(1);
    thread.requestStop();
    thread.join();
    const int loops = thread.loops.load();
    sleepMs(5);
    EXPECT_EQ(thread.loops.load(), loops);
    EXPECT_FALSE(thread.isStarted());

    // start() clears an earlier stop request.
    ASSERT_TRUE(thread.start());
    EXPECT_FALSE(thread.isStopRequested());
    while (thread.loops.load() <= loops) sleepMs(1);
    thread.requestStop();
    // The destructor waits for the loop.
}

TEST(ThreadTest, UnstartedThreadIsDestroyedAtOnceAndRunsNothing) {
    Thread idle;
    EXPECT_EQ(idle.run(), 0);
    EXPECT_FALSE(idle.isStarted());
}
