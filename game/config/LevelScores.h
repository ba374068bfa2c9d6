#pragma once
// Score targets and times of the levels ("levels/common/LevelScores.xml") and
// the comics shown between locations ("scenes/ComicsConfiguration.xml").
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include "game/config/ConfigReading.h"
#include <map>
#include <string>

namespace game {

struct GLevelScore {
    int32_t Score = 0;
    int32_t ExpertScore = 0;
    int32_t Time = 360;  // seconds
};

class LevelScores : public virtual engine::RefCounted {
public:
    // Reads the "LevelScores" document anew; input without that root leaves
    // the entries as they were (an error is logged).
    bool readLevelScores(engine::XmlReader& reader);
    // The level's entry; a level missing from the file is added with Score 0,
    // ExpertScore 0 and Time 360.
    GLevelScore& operator[](const engine::stringc& levelName);
    const std::map<std::string, GLevelScore>& entries() const { return entries_; }

private:
    std::map<std::string, GLevelScore> entries_;
};

class GComic : public virtual engine::RefCounted {
public:
    // The location index at which the comic opens: the level-completed scene
    // shows it when the player's new location index (the location that
    // follows the finished one) equals this value.
    int32_t Level = 0;
    engine::stringc ScenePath;  // empty: no comic
};

class ComicsConfiguration : public virtual engine::RefCounted {
public:
    ComicsConfiguration() = default;
    ~ComicsConfiguration() override = default;
    ComicsConfiguration(const ComicsConfiguration&) = delete;
    ComicsConfiguration& operator=(const ComicsConfiguration&) = delete;

    // Reads the "ComicsConfiguration" document anew; input without that root
    // leaves the entries as they were (an error is logged).
    bool readComicsConfiguration(engine::XmlReader& reader);
    GComic* find(int32_t levelIndex) const;
    void clear() { comics_.clear(); }
    const std::map<int32_t, GComic*>& comics() const { return comics_.map(); }

private:
    RecordMap<int32_t, GComic> comics_;
};

}  // namespace game
