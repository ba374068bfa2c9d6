#pragma once
// Coverage of the game's code by its shipped levels: every building Type and
// provided service, every feature type, every level modifier kind, every
// objective kind and every random-event kind the code knows must be used by
// at least one level (with the buildings it places or offers, their features,
// and the upgrades on sale before it). A kind no level uses is code that no
// player ever meets; the report names each one, so that a change to the
// levels cannot drop one unnoticed.
#include <string>
#include <vector>

namespace contentcheck {

// What the shipped levels use, and what they leave unused.
class DataCoverage {
public:
    // `root` is the assets folder. Reads the buildings and upgrades
    // configuration and every "levels/level<N>/" folder.
    explicit DataCoverage(std::string root) : root_(std::move(root)) {}

    // Fills gaps(); false when a file it needs is missing or unreadable (the
    // reason is among the gaps).
    bool run();
    // One line per kind that no level uses, e.g. "building Type 5 (pyramid):
    // no shipped level places or offers a record of it".
    const std::vector<std::string>& gaps() const { return gaps_; }
    int levelCount() const { return levels_; }

private:
    std::string root_;
    std::vector<std::string> gaps_;
    int levels_ = 0;
};

}  // namespace contentcheck
