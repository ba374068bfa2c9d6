#include "engine/core/ContentProblems.h"
#include <deque>
#include <mutex>
#include <set>

namespace engine {

namespace {

// Loaders run on the main thread today; the lock keeps a report from a
// worker safe all the same.
struct Problems {
    std::mutex lock;
    std::deque<std::string> waiting;
    std::set<std::string> reported;
};

Problems& problems() {
    static Problems* instance = new Problems();  // outlives every static that might report at exit
    return *instance;
}

}  // namespace

void reportContentProblem(const std::string& file) {
    if (file.empty()) return;
    Problems& p = problems();
    std::lock_guard<std::mutex> hold(p.lock);
    if (!p.reported.insert(file).second) return;
    p.waiting.push_back(file);
}

bool peekContentProblem(std::string& file) {
    Problems& p = problems();
    std::lock_guard<std::mutex> hold(p.lock);
    if (p.waiting.empty()) return false;
    file = p.waiting.front();
    return true;
}

void dropContentProblem() {
    Problems& p = problems();
    std::lock_guard<std::mutex> hold(p.lock);
    if (!p.waiting.empty()) p.waiting.pop_front();
}

void clearContentProblems() {
    Problems& p = problems();
    std::lock_guard<std::mutex> hold(p.lock);
    p.waiting.clear();
    p.reported.clear();
}

}  // namespace engine
