#pragma once
// Writes a small crash report when the process dies of a fatal signal
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) or of an exception nothing caught
// (std::terminate), then lets the process end with that signal, so whoever
// started it sees a failure.
//
// The report is named "<folder><executable>.<seconds since 1970>.dmp" and holds
// the cause and a backtrace. The folder is the per-user data folder once the
// program knows it (setDumpFolder); until then the user's XDG data folder.
// The handler runs on an alternate stack, so a stack overflow is reported too.
// Only async-signal-safe calls are made while handling a signal.
#include "engine/core/Types.h"

namespace engine {

class MiniDumper {
public:
    // Installs the handlers; only the first construction in the process acts.
    // Nothing can be asked in a signal handler here, so `askUser` is kept but
    // the report is always written; `fullMemory` is kept for callers (the
    // report has no memory image).
    MiniDumper(bool askUser = true, int32_t fullMemory = 0);

    MiniDumper(const MiniDumper&) = delete;
    MiniDumper& operator=(const MiniDumper&) = delete;

    // The folder reports go to (a trailing separator is added when missing).
    static void setDumpFolder(const stringc& folder);
    // The name the next report would get at this time.
    static stringc getDumpFileName();

    bool getAskUser() const { return askUser_; }
    int32_t getFullMemory() const { return fullMemory_; }

private:
    bool askUser_;
    int32_t fullMemory_;
};

}  // namespace engine
