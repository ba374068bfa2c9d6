#include "engine/core/Logger.h"
#include "engine/core/Singleton.h"
#include "engine/core/TextConvert.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace engine {

void EngineLogger::setLevel(int32_t level) {
    if (level < 3) level_ = level;
}

void EngineLogger::log(const wchar_t* text, int32_t level) {
    if (level < level_) return;
    log(narrow(text).c_str(), level);
}

void EngineLogger::log(const wchar_t* text, const wchar_t* hint, int32_t level) {
    if (level < level_) return;
    log(narrow(text).c_str(), narrow(hint).c_str(), level);
}

void EngineLogger::log(const char* text, const char* hint, int32_t level) { output(text, hint, level); }

void EngineLogger::log(const char* text, int32_t level) { output(text, "", level); }

bool EngineLogger::debugOutputFromEnvironment() {
    const char* value = std::getenv("ENGINE_DEBUG_LOG");
    return value && *value && std::strcmp(value, "0") != 0;
}

void EngineLogger::output(const char* text, const char* hint, int32_t level) {
    if (level < LOG_INFO && !debugOutput_) return;
    if (!text) text = "";
    if (!hint) hint = "";
    if (echo_) {
        static const char* const names[] = {"info", "warning", "error"};
        const char* name = (level >= 0 && level <= 2) ? names[level] : level < 0 ? "debug" : "log";
        if (*hint)
            std::fprintf(stderr, "[%s] %s: %s\n", name, text, hint);
        else
            std::fprintf(stderr, "[%s] %s\n", name, text);
    }
    if (sink_) sink_(text, hint, level);
}

EngineLogger& getLogger() { return PhoenixEngineSingleton<EngineLogger>::Instance(); }

}  // namespace engine
