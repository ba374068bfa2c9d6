#include "support/LogCapture.h"

namespace testing_support {

LogCapture::LogCapture() : debugOutputWas_(engine::getLogger().isDebugOutput()) {
    engine::getLogger().setEchoToStderr(false);
    // Tests read the debug chatter too (a press that was handled, a node loaded).
    engine::getLogger().setDebugOutput(true);
    engine::getLogger().setSink([this](const char* text, const char* hint, int32_t level) {
        entries_.push_back({text, hint, level});
    });
}

LogCapture::~LogCapture() {
    engine::getLogger().setSink(nullptr);
    engine::getLogger().setEchoToStderr(true);
    engine::getLogger().setDebugOutput(debugOutputWas_);
}

bool LogCapture::contains(const std::string& fragment) const {
    for (const auto& e : entries_)
        if (e.text.find(fragment) != std::string::npos || e.hint.find(fragment) != std::string::npos) return true;
    return false;
}

bool LogCapture::hasErrors() const {
    for (const auto& e : entries_)
        if (e.level >= engine::LOG_ERROR) return true;
    return false;
}

}  // namespace testing_support
