#include "game/config/LevelPaths.h"
#include "engine/core/PropertyData.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TextConvert.h"

namespace game {

using engine::XmlReader;

bool GLevelPath::read(XmlReader& reader) {
    points.clear();
    const engine::stringc id = engine::narrow(reader.getAttributeValue(L"ID"));
    ID = id.empty() ? engine::kNoName : engine::makeNameId(id);
    time = parseIntRange(reader.getAttributeValue(L"Time"));
    keepWithin(time, -bounds::kTimeMs, bounds::kTimeMs, "LevelPaths", "Time");
    orderRange(time, "LevelPaths Time");
    cars = nameListAttribute(reader, L"Cars");
    twoWay = !reader.getAttributeValue(L"b").empty();
    return forEachChild(reader, [this](XmlReader& r) {
        if (r.getNodeName() != L"p") return true;
        const engine::vector2df position = engine::parseVector2d(r.getAttributeValue(L"p"));
        PathPoint point;
        point.x = position.X;
        point.y = position.Y;
        point.d1 = r.getAttributeValueAsFloat(L"d1", 0.0f);
        point.d2 = r.getAttributeValueAsFloat(L"d2", 0.0f);
        using bounds::kDistance;
        keepWithin(point.x, -kDistance, kDistance, "LevelPaths", "p");
        keepWithin(point.y, -kDistance, kDistance, "LevelPaths", "p");
        keepWithin(point.d1, -kDistance, kDistance, "LevelPaths", "d1");
        keepWithin(point.d2, -kDistance, kDistance, "LevelPaths", "d2");
        points.push_back(point);
        return true;
    });
}

void GLevelPaths::clear() {
    for (auto& entry : carPaths_) {
        for (GLevelPath* path : entry.second.paths) path->release();
    }
    carPaths_.clear();
    for (GLevelPath* path : pedestrianPaths_) path->release();
    pedestrianPaths_.clear();
}

bool GLevelPaths::readLevelPaths(XmlReader& reader) {
    // Read into a fresh holder and taken over only once the root was found:
    // a file without its "LevelPaths" element (a damaged reload) keeps the
    // paths held so far, where emptying first would lose them.
    GLevelPaths read;
    // Reads the "Path" children of a group; `keep` takes each path read whole.
    auto readGroup = [](XmlReader& r, const auto& keep) {
        return forEachChild(r, [&keep](XmlReader& p) {
            if (p.getNodeName() != L"Path") return true;
            engine::CountedRef<GLevelPath> path(new GLevelPath());
            if (!path->read(p)) return false;
            keep(path);
            return true;
        });
    };
    bool complete = false;
    const bool found = readRootElement(
        reader, L"LevelPaths", "LevelPaths",
        [&read, &readGroup](XmlReader& r) {
            if (r.getNodeName() == L"CarPaths") {
                return readGroup(r, [&read](engine::CountedRef<GLevelPath>& path) {
                    // Car paths without an ID cannot be asked for.
                    if (path->ID == engine::kNoName) return;
                    const engine::NameId id = path->ID;
                    read.carPaths_[id].paths.push_back(path.detach());
                });
            }
            if (r.getNodeName() == L"PedestrianPaths") {
                return readGroup(r, [&read](engine::CountedRef<GLevelPath>& path) {
                    read.pedestrianPaths_.push_back(path.detach());
                });
            }
            return true;
        },
        &complete);
    if (!found) return false;
    clear();
    carPaths_.swap(read.carPaths_);
    pedestrianPaths_.swap(read.pedestrianPaths_);
    pedestrianLastIndex_ = -1;
    return complete;
}

std::vector<GLevelPath*> GLevelPaths::carPaths(engine::NameId id) const {
    auto it = carPaths_.find(id);
    return it == carPaths_.end() ? std::vector<GLevelPath*>() : it->second.paths;
}

std::vector<engine::NameId> GLevelPaths::carPathIds() const {
    std::vector<engine::NameId> ids;
    for (const auto& entry : carPaths_) ids.push_back(entry.first);
    return ids;
}

// Uniform over every index but the last one picked.
int32_t GLevelPaths::pickIndex(size_t count, int32_t& lastIndex, engine::RandomGenerator& random) {
    const uint32_t n = static_cast<uint32_t>(count);
    uint32_t r;
    if (lastIndex != -1 && n > 1) {
        r = random.nextMWC() % (n - 1);
        if (static_cast<int32_t>(r) == lastIndex) r = n - 1;
    } else {
        r = random.nextMWC() % n;
    }
    lastIndex = static_cast<int32_t>(r);
    return lastIndex;
}

GLevelPath* GLevelPaths::randomCarPath(engine::NameId id, engine::RandomGenerator& random) {
    auto it = carPaths_.find(id);
    if (it == carPaths_.end() || it->second.paths.empty()) return nullptr;
    return it->second.paths[static_cast<size_t>(pickIndex(it->second.paths.size(), it->second.lastIndex, random))];
}

GLevelPath* GLevelPaths::randomCarPath(engine::NameId id) { return randomCarPath(id, engine::getRandomGenerator()); }

GLevelPath* GLevelPaths::randomPedestrianPath() { return randomPedestrianPath(engine::getRandomGenerator()); }

GLevelPath* GLevelPaths::randomPedestrianPath(engine::RandomGenerator& random) {
    if (pedestrianPaths_.empty()) return nullptr;
    return pedestrianPaths_[static_cast<size_t>(pickIndex(pedestrianPaths_.size(), pedestrianLastIndex_, random))];
}

}  // namespace game
