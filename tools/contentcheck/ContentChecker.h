#pragma once
// Checks a runtime content tree the way the game reads it: loads every scene
// file, configuration file, atlas collection, font, particle collection and
// the sound pack through the engine's own readers, and reports everything
// that a file names and no file provides: node and animator kinds, templates,
// atlas entries and images, fonts, cues, emitters and dictionary keys. What
// the code itself asks for is checked too (ContentRules.h).
#include <string>
#include <vector>

namespace contentcheck {

// Registers the game's node kinds as the intro does, and plain scene and node
// stand-ins for the start-up kinds that the program registers itself before
// its first scene (when the factory lacks them), so that every scene file of
// the tree can be read outside the program.
void registerContentKinds();

class ContentChecker {
public:
    // `root` is the assets folder (the one that holds scenes/, strings/...).
    explicit ContentChecker(std::string root) : root_(std::move(root)) {}

    // Runs every check; true when nothing is wrong. Works in the root folder
    // (as the game does) and returns to the previous working folder.
    bool run();

    const std::vector<std::string>& problems() const { return problems_; }
    // What was looked at, for the summary line.
    std::string summary() const;

private:
    std::string root_;
    std::vector<std::string> problems_;
    size_t sceneFiles_ = 0, atlases_ = 0, atlasEntries_ = 0, fonts_ = 0, cues_ = 0, xmlFiles_ = 0;

    friend class CheckRun;
};

}  // namespace contentcheck
