#pragma once
// The node that shows one image: an atlas texture drawn as one textured quad
// through the quad batcher. Buttons, list rows, icons, backgrounds and the
// game's buildings are sprites.
//
// The quad is kept ready for drawing in screen coordinates and recomputed only
// when the transform, the image or a stretch mode changes (the pivot and the
// flips show at the next recomputation). Hit tests are pixel-accurate: a point
// over a texel whose alpha is 20 or less does not hit the sprite.
//
// Stretch modes, for X with widths and for Y with heights:
//   0 natural size: the image keeps its pixel size; Bounds is ignored
//   1 stretch: the image spans from its pivot-adjusted start to the Bounds extent
//   2 fit: the Bounds extent is set to the image's pixel size at every quad update
//   3 clip: natural size, cut to 0 .. Bounds extent with the texture coordinates
//     cut in proportion
//   other values draw as 0.
#include "engine/core/BaseNode.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/Material.h"
#include "engine/visual/QuadBatcher.h"

namespace engine {

class SpriteNode : public BaseNode {
    ENGINE_NODE_TYPE(SpriteNode, BaseNode, 3)

public:
    SpriteNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SpriteNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // ---- Drawing and hit tests ------------------------------------------
    // One item (key: the texture content) when the sprite has a texture and
    // its absolute alpha is not 0; then the children, whatever ChildrenClipped says.
    void collectRenderItems(RenderList& list) override;
    // Hands the prepared quad to the driver's batcher.
    void render(irr::video::IVideoDriver* driver, const rectf* clip) override;
    // True when the sprite is hittable, visible, its own tint alpha exceeds 20
    // and the point lies over a texel with alpha above 20. The point is taken
    // back through the quad as it was last computed (transform, stretch,
    // pivot and flips), so a hit is exactly where the texel was drawn.
    bool hitTest(const vector2df& point) override;
    void updateAbsoluteTransform() override;
    void updateAbsoluteColor() override;
    // Recomputes the quad from the transform and the image properties.
    void updateQuad();

    void copyFrom(BaseNode* source, BaseNode* manager) override;

    // ---- Values ------------------------------------------------------------
    // Holds the texture; a non-null one goes into the material and the quad is
    // recomputed. Null leaves the rest as it was (nothing is drawn or hit).
    void setAtlasTexture(AtlasTextureContent* texture);
    AtlasTextureContent* getAtlasTexture() const { return atlasTexture_.get(); }
    void setImageStretchX(int32_t mode);
    void setImageStretchY(int32_t mode);
    int32_t getImageStretchX() const { return stretchX_; }
    int32_t getImageStretchY() const { return stretchY_; }
    // The point of the untrimmed image that lies on the node's origin. Shown
    // at the next quad update.
    void setImagePivotPoint(float x, float y) { imagePivot_.set(x, y); }
    const vector2df& getImagePivotPoint() const { return imagePivot_; }
    // Mirror the image inside the same quad. Shown at the next quad update.
    void setFlipX(bool flip) { flipX_ = flip; }
    void setFlipY(bool flip) { flipY_ = flip; }
    bool getFlipX() const { return flipX_; }
    bool getFlipY() const { return flipY_; }
    // 0 alpha blending (material type 24), 1 additive (25); other values are 0.
    void setBlendType(int32_t type);
    int32_t getBlendType() const { return blendType_; }

    const Material& getMaterial() const { return material_; }
    const QuadRecord& getQuad() const { return quad_; }

    // ---- Property holder -------------------------------------------------
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    // The quad in node space as last computed: corners and the texture
    // coordinates of corners 0 (top-left) and 2 (bottom-right), flips applied.
    struct LocalQuad {
        bool valid = false;
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
        float u0 = 0.0f, v0 = 0.0f, u2 = 0.0f, v2 = 0.0f;
    };

    CountedRef<AtlasTextureContent> atlasTexture_;
    Material material_;
    int32_t blendType_ = 0;
    QuadRecord quad_;
    vector2df imagePivot_{0.0f, 0.0f};
    int32_t stretchX_ = 0;
    int32_t stretchY_ = 0;
    bool flipX_ = false;
    bool flipY_ = false;
    LocalQuad local_;
};

// The node as a sprite when it is one, else null.
SpriteNode* asSpriteNode(BaseNode* node);

}  // namespace engine
