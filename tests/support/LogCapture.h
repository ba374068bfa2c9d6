#pragma once
// Collects what reaches the engine logger while it is alive, and silences the
// standard-error echo so that expected errors do not clutter the test output.
#include "engine/core/Logger.h"
#include <string>
#include <vector>

namespace testing_support {

struct LogEntry {
    std::string text;
    std::string hint;
    int level;
};

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    const std::vector<LogEntry>& entries() const { return entries_; }
    // True when some message (text or hint) contains the fragment.
    bool contains(const std::string& fragment) const;
    bool hasErrors() const;
    void clear() { entries_.clear(); }

private:
    std::vector<LogEntry> entries_;
    bool debugOutputWas_;
};

}  // namespace testing_support
