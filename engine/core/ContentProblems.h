#pragma once
// Files the game needed and could not use whole: missing, cut off, damaged.
// The code that finds such a file reports it here besides logging it; the
// application takes the reports and tells the player once per file, so that a
// menu without buttons or a town with nothing drawn does not leave the player
// stuck without a word. Reports wait until taken; nothing is shown when nobody
// takes them (tools and tests).
#include "engine/core/Types.h"
#include <string>

namespace engine {

// Queues the file unless it was reported before in this run. Empty names are
// ignored.
void reportContentProblem(const std::string& file);
// The oldest report not yet taken; false when none waits.
bool peekContentProblem(std::string& file);
// Removes the oldest report (after it was shown).
void dropContentProblem();
// Forgets every report, and which files were reported.
void clearContentProblems();

}  // namespace engine
