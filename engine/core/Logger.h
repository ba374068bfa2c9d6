#pragma once
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <functional>

namespace engine {

// LOG_DEBUG is for per-input and per-frame chatter (hover, focus, press, each
// node loaded): useful when hunting a fault, noise in a normal session.
enum LogLevel : int32_t { LOG_DEBUG = -1, LOG_INFO = 0, LOG_WARNING = 1, LOG_ERROR = 2 };

// The process-wide logger. Wide messages are filtered by the minimum level and
// narrowed; the narrow forms are the outputs and take every message. Output goes
// to standard error and to an optional sink (tests install one to read messages).
// Debug messages reach neither unless debug output is on: off by default, on
// when the environment variable ENGINE_DEBUG_LOG is set to anything but "" or
// "0" when the logger is made, or through setDebugOutput.
class EngineLogger : public virtual RefCounted {
public:
    // Receives each message that reaches the output: text, hint (may be empty), level.
    using Sink = std::function<void(const char* text, const char* hint, int32_t level)>;

    virtual int32_t getLevel() const { return level_; }
    // Levels of 3 and above are ignored; negative levels are stored.
    virtual void setLevel(int32_t level);
    virtual void log(const wchar_t* text, int32_t level);
    virtual void log(const wchar_t* text, const wchar_t* hint, int32_t level);
    virtual void log(const char* text, const char* hint, int32_t level);
    virtual void log(const char* text, int32_t level);

    void log(const stringc& text, int32_t level) { log(text.c_str(), level); }
    void log(const stringw& text, int32_t level) { log(text.c_str(), level); }

    void setSink(Sink sink) { sink_ = std::move(sink); }
    // Standard-error output can be silenced (the sink still receives everything).
    void setEchoToStderr(bool echo) { echo_ = echo; }
    void setDebugOutput(bool on) { debugOutput_ = on; }
    bool isDebugOutput() const { return debugOutput_; }

private:
    void output(const char* text, const char* hint, int32_t level);

    int32_t level_ = 0;
    Sink sink_;
    bool echo_ = true;
    bool debugOutput_ = debugOutputFromEnvironment();

    static bool debugOutputFromEnvironment();
};

// The logger; made again when used after its destruction at exit.
EngineLogger& getLogger();

// Short forms for the common narrow calls.
inline void logDebug(const char* text) { getLogger().log(text, LOG_DEBUG); }
inline void logInfo(const char* text) { getLogger().log(text, LOG_INFO); }
inline void logWarning(const char* text) { getLogger().log(text, LOG_WARNING); }
inline void logError(const char* text) { getLogger().log(text, LOG_ERROR); }
inline void logError(const char* text, const char* hint) { getLogger().log(text, hint, LOG_ERROR); }
inline void logError(const stringc& text) { logError(text.c_str()); }

}  // namespace engine
