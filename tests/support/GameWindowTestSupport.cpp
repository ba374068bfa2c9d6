#include "support/GameWindowTestSupport.h"

#include "engine/content/CContentManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/XmlReader.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "tools/contentcheck/ContentChecker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace engine;

namespace device_test {

std::string GameWindow::openWindow(const char* tree, const wchar_t* caption, int32_t width, int32_t height) {
    if (!std::filesystem::is_directory(tree)) return std::string("no built content tree at ") + tree;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return "no X display (DISPLAY is not set); run under xvfb-run -a (tools/test.sh does)";
    lock = std::make_unique<XDisplayLock>();
    device = CountedRef<EngineDevice>(createWindowTestDevice(caption));
    if (!device) {
        ADD_FAILURE() << "the window test device was not made";
        return "no device";
    }
    drawer = makeRef<FrameDrawer>(device.get());
    if (!device->addEventReceiver(drawer.get(), 0)) {
        ADD_FAILURE() << "the device refused the frame drawer";
        return "no frame drawer";
    }
    DeviceParameters parameters = openGLWindowParameters();
    parameters.windowWidth = width;
    parameters.windowHeight = height;
    if (!device->applyVideoParameters(parameters))
        return std::string("could not open an OpenGL window on display ") + display;
    pinOpenGLDriverModules();
    if (!device->getFileSystem()->addFileArchive(tree, true, false)) {
        ADD_FAILURE() << "the content tree " << tree << " could not be mounted";
        return "content tree not mounted";
    }
    contentcheck::registerContentKinds();
    return std::string();
}

void GameWindow::closeWindow() {
    drawer.reset();
    device.reset();
    lock.reset();
}

ScriptStep waitStep(const char* name, int ms) {
    using Clock = std::chrono::steady_clock;
    auto start = std::make_shared<Clock::time_point>();
    return {name, nullptr, [start, ms] {
                const auto now = Clock::now();
                if (*start == Clock::time_point()) *start = now;
                return now - *start > std::chrono::milliseconds(ms);
            }};
}

void loadIntroContent(EngineDevice* device, CContentManager* content, const char* tree,
                      std::vector<CountedRef<Content>>& atlases) {
    ASSERT_TRUE(device->getDictionary()->load("strings/Dictionary.xml"));
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(tree) / "atlases")) {
        if (entry.path().extension() != ".xml") continue;
        const std::string path = "atlases/" + entry.path().filename().string();
        CountedRef<Content> atlas(content->load(ContentType::AtlasTextureCollection, path.c_str(), false));
        ASSERT_TRUE(atlas) << path;
        atlases.push_back(atlas);
    }
}

bool readXml(EngineDevice* device, const std::string& path, const std::function<void(XmlReader&)>& reader) {
    IrrRef<irr::io::IReadFile> file(device->getFileSystem()->createAndOpenFile(path.c_str()));
    if (!file) return false;
    CountedRef<XmlReader> xml(new XmlReader(file.get()));
    if (!xml->isValid()) return false;
    reader(*xml);
    return true;
}

void writeShot(EngineDevice* device, Image* frame, const std::string& path) {
    ASSERT_TRUE(frame);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    IrrRef<irr::io::IWriteFile> file(device->getFileSystem()->createAndWriteFile(path.c_str(), false));
    ASSERT_TRUE(file) << path;
    EXPECT_TRUE(ImageManager::instance().writeImage(frame, file.get()));
}

engine::vector2df centreOf(engine::BaseNode* node) {
    const engine::matrix4& m = node->getAbsoluteTransform();
    const engine::vector3df bounds = node->getBounds();
    return engine::vector2df(m[12] + bounds.X / 2, m[13] + bounds.Y / 2);
}

}  // namespace device_test
