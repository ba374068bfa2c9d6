#pragma once
// The car and pedestrian paths of a level ("LevelPaths.xml" in the level
// folder; the main menu's street uses the same format).
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include "game/config/ConfigReading.h"
#include <map>
#include <vector>

namespace engine {
class RandomGenerator;
}

namespace game {

struct PathPoint {
    float x = 0.0f;
    float y = 0.0f;
    float d1 = 0.0f;  // a mover takes an offset in [-d1, d2] around the point
    float d2 = 0.0f;
};

class GLevelPath : public virtual engine::RefCounted {
public:
    // Reads the "Path" element the reader stands on; ends on its end tag.
    // False when the input ends first.
    bool read(engine::XmlReader& reader);

    engine::NameId ID = engine::kNoName;
    std::vector<PathPoint> points;
    IntRange time;  // ms between spawns
    engine::array<engine::NameId> cars;
    bool twoWay = false;
};

class GLevelPaths : public virtual engine::RefCounted {
public:
    GLevelPaths() = default;
    ~GLevelPaths() override { clear(); }
    GLevelPaths(const GLevelPaths&) = delete;
    GLevelPaths& operator=(const GLevelPaths&) = delete;

    // Reads the "LevelPaths" document; its paths replace those held. False,
    // with an error logged, when the input holds no "LevelPaths" element
    // (the paths held are kept) or ends before its end tag (the paths read
    // whole replace them).
    bool readLevelPaths(engine::XmlReader& reader);

    // The paths under the ID (not counted); empty when there are none.
    std::vector<GLevelPath*> carPaths(engine::NameId id) const;
    // A path under the ID other than the one picked last for it, or null.
    // Without a generator the process-wide one draws.
    GLevelPath* randomCarPath(engine::NameId id);
    GLevelPath* randomCarPath(engine::NameId id, engine::RandomGenerator& random);
    GLevelPath* randomPedestrianPath();
    GLevelPath* randomPedestrianPath(engine::RandomGenerator& random);
    const std::vector<GLevelPath*>& pedestrianPaths() const { return pedestrianPaths_; }
    std::vector<engine::NameId> carPathIds() const;

    void clear();

private:
    struct CarPathEntry {
        std::vector<GLevelPath*> paths;  // one count each
        int32_t lastIndex = -1;
    };

    static int32_t pickIndex(size_t count, int32_t& lastIndex, engine::RandomGenerator& random);

    std::map<engine::NameId, CarPathEntry> carPaths_;
    std::vector<GLevelPath*> pedestrianPaths_;  // one count each
    int32_t pedestrianLastIndex_ = -1;
};

}  // namespace game
