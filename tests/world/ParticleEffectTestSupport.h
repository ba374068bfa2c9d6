#pragma once
// A scene with its own timer scheduler, a content manager over a temporary
// folder (through a real file system), and an 8 x 4 white texture made on the
// null driver, for the particle effect nodes.
#include "engine/content/CContentManager.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/Image.h"
#include "engine/visual/AtlasTexture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <irrlicht.h>
#include <string>

namespace world_test {

class EffectFixture : public ::testing::Test {
protected:
    EffectFixture() {
        engine::getRandomGenerator().seed(1234u);
        irr::SIrrlichtCreationParameters parameters;
        parameters.DriverType = irr::video::EDT_NULL;
        parameters.LoggingLevel = irr::ELL_NONE;
        device_.reset(irr::createDeviceEx(parameters));
        manager_.reset(new engine::CContentManager(nullptr, files_.get(), nullptr));
        // Relative file names resolve against the temporary folder.
        manager_->pushFolder(engine::stringc(dir_.file("scene.oscn").c_str()));
        context_ = engine::CreationContext(manager_.get(), "");

        engine::CountedRef<engine::Image> image(
            new engine::Image(engine::CreationContext(), engine::CF_A8R8G8B8, engine::dimension2du(8, 4)));
        image->fill(0xFFFFFFFFu);
        texture_.reset(new engine::TextureContent(engine::CreationContext(), "spark.png", nullptr));
        texture_->makeFrom(device_->getVideoDriver(), image.get());
        // The left half of the texture: a 4 x 4 image.
        atlas_.reset(new engine::AtlasTextureContent(engine::CreationContext(), texture_.get(),
                                                     engine::rectf(0.0f, 0.0f, 0.5f, 1.0f), engine::vector2df(),
                                                     engine::vector2df()));
        scene_.reset(new engine::SceneNode(&context_, nullptr, nullptr));
        scene_->setTimerScheduler(&scheduler_);
        scene_->attach(nullptr, scene_.get());
    }

    // A node of class T in the scene, textured, reading the description.
    template <class T>
    T* addNode(const std::string& file, const std::string& description) {
        if (!file.empty()) dir_.write(file, description);
        T* node = new T(&context_, scene_.get(), nullptr);
        node->release();  // the scene holds it
        node->setAtlasTexture(atlas_.get());
        if (!file.empty()) node->setConfigurationFilename(file.c_str());
        return node;
    }

    void frame() {
        engine::RenderList list;
        scene_->collectRenderItems(list);
        lastItems_ = list.size();
    }

    testing_support::TempDir dir_;
    engine::IrrRef<irr::IrrlichtDevice> device_;
    engine::CountedRef<engine::FileSystem> files_{new engine::FileSystem()};
    engine::CountedRef<engine::CContentManager> manager_;
    engine::CreationContext context_;
    engine::CountedRef<engine::TextureContent> texture_;
    engine::CountedRef<engine::AtlasTextureContent> atlas_;
    engine::TimerScheduler scheduler_;
    engine::CountedRef<engine::SceneNode> scene_;
    uint32_t lastItems_ = 0;
};

}  // namespace world_test
