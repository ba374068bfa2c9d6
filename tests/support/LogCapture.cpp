#include "support/LogCapture.h"

namespace testing_support {

LogCapture::LogCapture() {
    engine::getLogger().setEchoToStderr(false);
    engine::getLogger().setSink([this](const char* text, const char* hint, int32_t level) {
        entries_.push_back({text, hint, level});
    });
}

LogCapture::~LogCapture() {
    engine::getLogger().setSink(nullptr);
    engine::getLogger().setEchoToStderr(true);
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
