#include "engine/platform/CrashDump.h"
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <typeinfo>
#include <unistd.h>

namespace engine {

namespace {

constexpr size_t kPathSize = 4096;
const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Filled at installation, read by the handler: no allocation once crashing.
char g_folder[kPathSize];
char g_executable[kPathSize];
std::atomic<bool> g_installed{false};
// The first failing thread writes; any other waits for the process to end.
std::atomic_flag g_writing = ATOMIC_FLAG_INIT;

// Copies at most kPathSize - 1 bytes and always ends the text.
void copyText(char* target, const char* source) {
    const size_t length = std::min(std::strlen(source), kPathSize - 1);
    std::memcpy(target, source, length);
    target[length] = '\0';
}

void putText(int fd, const char* text) {
    size_t length = std::strlen(text);
    while (length > 0) {
        const ssize_t n = ::write(fd, text, length);
        if (n <= 0) return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

// Decimal digits without printf (not async-signal-safe).
void putNumber(int fd, long value) {
    char digits[24];
    int i = sizeof digits - 1;
    digits[i] = '\0';
    const bool negative = value < 0;
    unsigned long rest = negative ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[--i] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest && i > 1);
    if (negative) digits[--i] = '-';
    putText(fd, digits + i);
}

// folder + executable + "." + seconds + ".dmp", built by hand for the same reason.
void makeDumpName(char* name, long seconds) {
    char number[24];
    int i = sizeof number - 1;
    number[i] = '\0';
    unsigned long rest = static_cast<unsigned long>(seconds);
    do {
        number[--i] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest && i > 0);
    name[0] = '\0';
    const char* parts[] = {g_folder, g_executable, ".", number + i, ".dmp"};
    size_t used = 0;
    for (const char* part : parts) {
        for (const char* p = part; *p && used < kPathSize - 1; ++p) name[used++] = *p;
    }
    name[used] = '\0';
}

// The low 32 bits of the time, as the dump names always had.
long dumpTime() { return static_cast<long>(static_cast<uint32_t>(std::time(nullptr))); }

void writeReport(const char* cause, int signal) {
    static char name[kPathSize];
    makeDumpName(name, dumpTime());
    const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        putText(STDERR_FILENO, "Failed to create the mini-dump file '");
        putText(STDERR_FILENO, name);
        putText(STDERR_FILENO, "' (error ");
        putNumber(STDERR_FILENO, error);
        putText(STDERR_FILENO, ")\n");
        return;
    }
    putText(fd, "There was an unexpected error: ");
    putText(fd, cause);
    if (signal) {
        putText(fd, " (signal ");
        putNumber(fd, signal);
        putText(fd, ")");
    }
    putText(fd, "\nProcess ");
    putNumber(fd, static_cast<long>(::getpid()));
    putText(fd, ", executable ");
    putText(fd, g_executable);
    putText(fd, "\nBacktrace:\n");
    void* frames[64];
    const int count = ::backtrace(frames, 64);
    ::backtrace_symbols_fd(frames, count, fd);
    ::fsync(fd);
    ::close(fd);
    putText(STDERR_FILENO, "Crash report written to ");
    putText(STDERR_FILENO, name);
    putText(STDERR_FILENO, "\n");
}

void waitForTheEnd() {
    for (;;) ::pause();
}

const char* signalName(int signal) {
    switch (signal) {
    case SIGSEGV: return "segmentation fault";
    case SIGBUS: return "bus error";
    case SIGFPE: return "arithmetic exception";
    case SIGILL: return "illegal instruction";
    case SIGABRT: return "abort";
    default: return "fatal signal";
    }
}

void onSignal(int signal) {
    if (g_writing.test_and_set()) waitForTheEnd();
    writeReport(signalName(signal), signal);
    // The handler was reset on entry (SA_RESETHAND): the raised signal ends the
    // process with its default action once this handler returns.
    ::raise(signal);
}

[[noreturn]] void onTerminate() {
    if (!g_writing.test_and_set()) {
        const char* cause = "uncaught exception";
        if (std::exception_ptr failure = std::current_exception()) {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& e) {
                // Outside a signal handler, so the message may be copied.
                static char text[512];
                std::snprintf(text, sizeof text, "uncaught exception: %s", e.what());
                cause = text;
            } catch (...) {
            }
        } else {
            cause = "std::terminate called";
        }
        writeReport(cause, 0);
    }
    // The report is written; abort must not write another one.
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

void findExecutable() {
    char path[kPathSize];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    path[length > 0 ? length : 0] = '\0';
    const char* slash = std::strrchr(path, '/');
    copyText(g_executable, slash ? slash + 1 : (path[0] ? path : "program"));
}

void setFolderText(const char* folder) {
    if (!folder || !*folder) folder = ".";
    char text[kPathSize];
    std::snprintf(text, sizeof text, "%s%s", folder, folder[std::strlen(folder) - 1] == '/' ? "" : "/");
    copyText(g_folder, text);
}

void defaultFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) {
        setFolderText(data);
        return;
    }
    const char* home = std::getenv("HOME");
    char text[kPathSize];
    std::snprintf(text, sizeof text, "%s/.local/share", home && *home ? home : ".");
    setFolderText(text);
}

}  // namespace

MiniDumper::MiniDumper(bool askUser, int32_t fullMemory) : askUser_(askUser), fullMemory_(fullMemory) {
    if (g_installed.exchange(true)) return;
    findExecutable();
    defaultFolder();
    // backtrace() loads its unwinder on first use; do that now, not while crashing.
    void* warmUp[4];
    ::backtrace(warmUp, 4);

    static char alternateStack[64 * 1024];
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    ::sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
    std::set_terminate(onTerminate);
}

void MiniDumper::setDumpFolder(const stringc& folder) { setFolderText(folder.c_str()); }

stringc MiniDumper::getDumpFileName() {
    if (!g_executable[0]) findExecutable();
    static char name[kPathSize];
    makeDumpName(name, dumpTime());
    return name;
}

}  // namespace engine
