#pragma once
// The window tests over the built content tree: a real OpenGL window of
// 1024 x 768 opened the way the game opens it, the tree mounted, and what the
// intro loads before any scene (dictionary, atlas collections). Programs that
// use it also build tests/platform/DeviceTestSupport.cpp.
#include "engine/core/Content.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine {
class BaseNode;
class CContentManager;
class Image;
class XmlReader;
}  // namespace engine

namespace device_test {

// The built content tree of the test program (its build defines
// LODGEROO_CONTENT_TREE); "" when it has none. Only test sources call it.
inline const char* builtContentTree() {
#ifdef LODGEROO_CONTENT_TREE
    return LODGEROO_CONTENT_TREE;
#else
    return "";
#endif
}

// Holds the display lock, the device and its frame drawer (registered at
// order 0); a test fixture derives from it beside ::testing::Test.
class GameWindow {
public:
    // Opens the window (1024 x 768 unless sized) over the content tree and
    // registers the content kinds. Empty when that worked; otherwise why not,
    // for SKIP_OR_FAIL_UNDER_CI() (a fault of the device itself is recorded as
    // a failure as well).
    std::string openWindow(const char* tree, const wchar_t* caption, int32_t width = 1024, int32_t height = 768);
    // Drops the drawer, the device and the lock; whatever holds the device's
    // managers or scenes must be gone before.
    void closeWindow();

    std::unique_ptr<XDisplayLock> lock;
    engine::CountedRef<engine::EngineDevice> device;
    engine::CountedRef<FrameDrawer> drawer;
};

// A script step that waits for ms of real time from its first look.
ScriptStep waitStep(const char* name, int ms);

// The dictionary and every atlas collection of the tree's atlases folder,
// loaded as the intro does; the atlases are kept in `atlases`.
void loadIntroContent(engine::EngineDevice* device, engine::CContentManager* content, const char* tree,
                      std::vector<engine::CountedRef<engine::Content>>& atlases);

// Reads an XML file of the mounted tree; false when it is missing or not XML.
bool readXml(engine::EngineDevice* device, const std::string& path,
             const std::function<void(engine::XmlReader&)>& reader);

// The centre of a node on the virtual screen, where a click on it lands.
engine::vector2df centreOf(engine::BaseNode* node);

// Writes the frame as a PNG file at path (its folder made if need be).
void writeShot(engine::EngineDevice* device, engine::Image* frame, const std::string& path);

}  // namespace device_test
