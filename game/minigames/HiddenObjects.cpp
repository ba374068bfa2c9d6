#include "game/minigames/HiddenObjects.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertyData.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextConvert.h"
#include "engine/io/FileSystem.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/platform/EngineDevice.h"
#include "game/config/LevelPaths.h"

#include <algorithm>
#include <cmath>

namespace game {

engine::BaseNode* childNamed(engine::BaseNode* parent, const char* name) {
    return parent ? parent->findChild(engine::makeNameId(name), 1) : nullptr;
}

using namespace engine;

const char* const kFoundStarTemplate = "HOFoundStarNode";

namespace {

constexpr int32_t kShieldStarType = 1145;
constexpr int32_t kLeastStarsPerSecond = 250;

}  // namespace

void showFoundEffect(BaseNode& scene, SpawnerNode* foundNode, BaseNode& object) {
    if (!foundNode) return;
    BaseNode* manager = scene.getManager();
    TemplateCollectionNode* templates = manager ? manager->getTemplateCollection() : nullptr;
    BaseNode* star = templates ? templates->getTemplate(makeNameId(kFoundStarTemplate)) : nullptr;
    if (!star || !star->isOfType(kShieldStarType)) return;

    const vector3df& size = object.getBounds();
    // The larger the object, the later the stars' first acceleration.
    const float start = std::min(size.X, size.Y) * 0.5f * 8.0f + 80.0f;
    setNodePropertyByName(star, "Accel1StartTimeRange", makeVector2dProperty(vector2df(start, start)));
    setNodePropertyByName(star, "Accel1EndTimeRange", makeVector2dProperty(vector2df(start + 180.0f, start + 180.0f)));

    int32_t perSecond = static_cast<int32_t>(1.5f * std::trunc(size.X + size.Y));
    if (perSecond < kLeastStarsPerSecond) perSecond = kLeastStarsPerSecond;
    foundNode->perSecRange = vector2df(static_cast<float>(perSecond), static_cast<float>(perSecond));

    foundNode->setPosition(object.getPosition() + size * 0.5f);
    foundNode->removeAllChildren();
    foundNode->setState(makeNameId("On"), nullptr);
}

void readHintPathsElement(XmlReader& reader, GLevelPaths& paths) {
    const stringc path = narrow(reader.getAttributeValue(L"Value"));
    reader.finishEmptyElement();
    EngineDevice* engine = getEngine();
    FileSystem* files = engine ? engine->getFileSystem() : nullptr;
    // The path is taken from the assets root, as written.
    CountedRef<XmlReader> file(files && !path.empty() ? files->createXMLReader(path) : nullptr);
    if (!file) {
        getLogger().log("Unable to open the hint paths of the mini-game", path.c_str(), LOG_ERROR);
        return;
    }
    paths.readLevelPaths(*file);
}

bool hintWalkPoints(const GLevelPath& path, int32_t passes, const char* objectName,
                    std::vector<vector2df>& points) {
    points.clear();
    // One point (or none) has no way to show: repeating it would only make
    // a walk of zero-length steps.
    if (path.points.size() < 2) {
        getLogger().log("A hint path needs two points or more; the hint is not shown", objectName, LOG_WARNING);
        return false;
    }
    for (int32_t pass = 0; pass < passes; ++pass) {
        for (size_t i = path.points.size(); i-- > 0;) {
            points.push_back(vector2df(path.points[i].x, path.points[i].y));
        }
    }
    return points.size() >= 2;
}

}  // namespace game
