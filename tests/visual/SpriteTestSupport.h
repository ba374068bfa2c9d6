#pragma once
// Shared pieces of the sprite, nine-grid and text node tests: textures made
// from pixels over the null driver (their alpha is kept for hit tests), atlas
// textures cut from them and published in the content manager's cache, and a
// batch target that records what the quad batcher hands the driver.
#include "engine/visual/TextureContent.h"
#include "engine/core/SceneFile.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/BatchTarget.h"
#include "engine/visual/QuadBatcher.h"
#include "engine/visual/SpriteNode.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace visual_test {

// Every draw the batcher makes: the texture of its material and its vertices.
struct RecordingTarget : engine::IBatchTarget {
    struct Draw {
        const engine::ITextureSource* texture;
        irr::video::E_MATERIAL_TYPE type;
        std::vector<irr::video::S3DVertex> vertices;
    };

    bool enter2DMode() override { return true; }
    void setMaterial(const engine::Material& material) override {
        texture = material.getTexture();
        type = material.getMaterialType();
    }
    void drawVertexPrimitiveList(const irr::video::S3DVertex* vertices, irr::u32 vertexCount, const irr::u16*,
                                 irr::u32, irr::scene::E_PRIMITIVE_TYPE) override {
        draws.push_back({texture, type, std::vector<irr::video::S3DVertex>(vertices, vertices + vertexCount)});
    }
    irr::u32 getMaximalPrimitiveCount() const override { return 65535; }

    const engine::ITextureSource* texture = nullptr;
    irr::video::E_MATERIAL_TYPE type = irr::video::EMT_SOLID;
    std::vector<Draw> draws;
};

class NodeContentFixture : public ContentFixture {
protected:
    NodeContentFixture() : batcher_(new engine::QuadBatcher(&target_)) {
        engine::setDriverQuadBatcher(driver(), batcher_.get());
    }
    ~NodeContentFixture() override { engine::setDriverQuadBatcher(driver(), nullptr); }

    irr::video::IVideoDriver* driver() const { return device_->getVideoDriver(); }

    // A texture of the size whose pixel (x, y) is colour(x, y).
    engine::CountedRef<engine::TextureContent> makeTexture(const char* name, irr::u32 width, irr::u32 height,
                                                           const std::function<uint32_t(irr::u32, irr::u32)>& colour) {
        engine::CountedRef<engine::Image> image(new engine::Image(engine::CreationContext(), engine::CF_A8R8G8B8,
                                                                  engine::dimension2du(width, height)));
        for (irr::u32 y = 0; y < height; ++y)
            for (irr::u32 x = 0; x < width; ++x)
                engine::writePixel(image->getData() + y * image->getPitch() + x * 4, engine::CF_A8R8G8B8,
                                   colour(x, y));
        engine::CountedRef<engine::TextureContent> texture(
            new engine::TextureContent(engine::CreationContext(manager_.get(), name), name, nullptr));
        EXPECT_TRUE(texture->makeFrom(driver(), image.get())) << name;
        return texture;
    }

    // An atlas texture over the pixel rectangle (x0, y0, x1, y1) of the
    // texture, published in the cache under its name so that scene files
    // find it.
    engine::CountedRef<engine::AtlasTextureContent> makeAtlas(const char* name, engine::TextureContent* texture,
                                                             const engine::recti& pixels,
                                                             const engine::vector2df& leading = {0, 0},
                                                             const engine::vector2df& trailing = {0, 0}) {
        const irr::core::dimension2d<irr::u32> size = engine::getTextureImageSize(texture);
        const float w = static_cast<float>(size.Width);
        const float h = static_cast<float>(size.Height);
        const engine::rectf rect(pixels.UpperLeftCorner.X / w, pixels.UpperLeftCorner.Y / h,
                                 pixels.LowerRightCorner.X / w, pixels.LowerRightCorner.Y / h);
        const engine::CreationContext context(manager_.get(), name);
        engine::CountedRef<engine::AtlasTextureContent> atlas(
            new engine::AtlasTextureContent(context, texture, rect, leading, trailing));
        manager_->addToCache(context, atlas.get());
        return atlas;
    }

    // Writes the node as a scene file and reads it back through the content
    // manager (which resolves content by name).
    engine::CountedRef<engine::BaseNode> roundTrip(engine::BaseNode* node, const char* path = "roundtrip.oscn") {
        EXPECT_TRUE(engine::saveSceneFile(node, path));
        return engine::CountedRef<engine::BaseNode>(engine::loadSceneFile(path, manager_.get()));
    }

    RecordingTarget target_;
    engine::CountedRef<engine::QuadBatcher> batcher_;
};

// Corner positions of a quad, for messages.
inline std::string corners(const engine::QuadRecord& quad) {
    std::string out;
    for (const irr::video::S3DVertex& v : quad.vertices)
        out += "(" + std::to_string(v.Pos.X) + ", " + std::to_string(v.Pos.Y) + ") ";
    return out;
}

}  // namespace visual_test
