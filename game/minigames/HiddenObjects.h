#pragma once
// What the two hidden-object games share: the found effect (stars bursting
// from a found object), the hint paths file named by the configuration, and
// the walk a hint trail takes along an object's path.
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"

#include <cstdint>
#include <vector>

namespace engine {
class BaseNode;
class SpawnerNode;
}  // namespace engine

namespace game {

class GLevelPath;
class GLevelPaths;

// The direct child of that name, or null (also for a null parent).
engine::BaseNode* childNamed(engine::BaseNode* parent, const char* name);

// The name of the star template the found effect's spawner makes.
extern const char* const kFoundStarTemplate;

// Bursts stars from the centre of the object: the spawner moves there, drops
// the stars of an earlier find and enters "On"; the star template's first
// acceleration window and the spawner's rate grow with the object's size.
// Nothing without the spawner or without a star template in the scene's
// template collection.
void showFoundEffect(engine::BaseNode& scene, engine::SpawnerNode* foundNode, engine::BaseNode& object);

// Reads the "HintPaths" element the reader stands on: its Value names a
// level paths file (from the assets root) that is read into `paths`. A file
// that cannot be opened is logged and leaves `paths` as they were.
void readHintPathsElement(engine::XmlReader& reader, GLevelPaths& paths);

// The points of a hint walk along the object's path, passes times over, in
// the order GPathMovableNode::start takes them reversed (last point first).
// A path of fewer than two points gives no walk: false, logged once per call.
bool hintWalkPoints(const GLevelPath& path, int32_t passes, const char* objectName,
                    std::vector<engine::vector2df>& points);

}  // namespace game
