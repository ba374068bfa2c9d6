#pragma once
// A content manager over Irrlicht's null driver, working in a fresh temporary
// folder, for the atlas, font and tool tests: files written there load by
// relative paths, as the game's data does.
#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/Image.h"
#include "engine/platform/ImageManager.h"
#include "support/TempDir.h"
#include "support/TextBytes.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <climits>
#include <string>

namespace visual_test {

class ContentFixture : public ::testing::Test {
protected:
    ContentFixture() {
        char buffer[PATH_MAX];
        if (::getcwd(buffer, sizeof(buffer))) previous_ = buffer;
        if (::chdir(dir_.path().c_str()) != 0) ADD_FAILURE() << "cannot enter " << dir_.path();
        processors_.reset(new engine::CContentProcessorsManager(device_->getVideoDriver(), nullptr, fs_.get(), nullptr));
        manager_.reset(new engine::CContentManager(device_->getVideoDriver(), fs_.get(), processors_.get()));
    }
    ~ContentFixture() override {
        manager_.reset();
        processors_.reset();
        if (!previous_.empty() && ::chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot leave the test folder";
    }

    // An image of the size whose pixel (x, y) is colour(x, y), written as a file.
    template <class ColourOf>
    void writeImage(const std::string& path, irr::u32 width, irr::u32 height, ColourOf colour) {
        engine::CountedRef<engine::Image> image(
            new engine::Image(engine::CreationContext(), engine::CF_A8R8G8B8, engine::dimension2du(width, height)));
        for (irr::u32 y = 0; y < height; ++y)
            for (irr::u32 x = 0; x < width; ++x)
                engine::writePixel(image->getData() + y * image->getPitch() + x * 4, engine::CF_A8R8G8B8,
                                   colour(x, y));
        writeImage(path, image.get());
    }
    void writeImage(const std::string& path, irr::u32 width, irr::u32 height, uint32_t argb = 0xFFFFFFFFu) {
        writeImage(path, width, height, [argb](irr::u32, irr::u32) { return argb; });
    }
    void writeImage(const std::string& path, engine::Image* image) {
        const std::string full = dir_.file(path);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        engine::IrrRef<irr::io::IWriteFile> file(fs_->createAndWriteFile(path.c_str(), false));
        ASSERT_TRUE(file) << path;
        ASSERT_TRUE(engine::ImageManager::instance().writeImage(image, file.get())) << path;
    }
    void writeText(const std::string& path, const std::string& bytes) { dir_.write(path, bytes); }

    // The cached content of the type under the name, or null (no reference).
    engine::Content* cached(engine::ContentTypeCode type, const char* name) {
        const engine::CreationContext key(nullptr, name);
        return manager_->findCached(type, &key);
    }

    testing_support::TempDir dir_;
    std::string previous_;
    engine::IrrRef<irr::IrrlichtDevice> device_{createNullDevice()};
    engine::CountedRef<engine::FileSystem> fs_{new engine::FileSystem()};
    engine::CountedRef<engine::CContentProcessorsManager> processors_;
    engine::CountedRef<engine::CContentManager> manager_;
};

using testing_support::utf16le;

}  // namespace visual_test
