#pragma once
// A panel of any size drawn from one atlas texture without distorting its
// corners: the image is cut into a 3 x 3 grid by two margins; the corner cells
// keep their pixel size, the edge cells stretch in one direction and the centre
// cell in both, so that the nine cells fill the node's Bounds. Dialog frames,
// panels and bars use it.
//
// The grid is computed at every draw; margins larger than Bounds invert the
// middle row or column (nothing is clamped). The atlas texture's trim margins
// are not used. Hit tests are by Bounds, not by pixels.
#include "engine/core/BaseNode.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/Material.h"
#include "engine/visual/QuadBatcher.h"

namespace engine {

class NineGridSpriteNode : public BaseNode {
    ENGINE_NODE_TYPE(NineGridSpriteNode, BaseNode, 4)

public:
    static constexpr uint32_t kQuadCount = 9;

    NineGridSpriteNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~NineGridSpriteNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // One item (key: the texture content) when there is a texture and the
    // absolute alpha is not 0; then the children.
    void collectRenderItems(RenderList& list) override;
    // Recomputes the nine quads and hands them, in row order, to the driver's batcher.
    void render(irr::video::IVideoDriver* driver, const rectf* clip) override;
    // Hittable, visible, own tint alpha above 20 and the point inside Bounds.
    bool hitTest(const vector2df& point) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;

    // Computes the nine quads from Bounds, the margins, the texture and the
    // absolute transform and colour as they are; nothing without a texture.
    void updateGrid();
    // Quad 3 x row + column (top-left, top, top-right, left, centre, ...).
    const QuadRecord& getQuad(uint32_t index) const { return quads_[index < kQuadCount ? index : 0]; }
    const Material& getMaterial() const { return material_; }

    // Holds the texture; a non-null one goes into the material.
    void setAtlasTexture(AtlasTextureContent* texture);
    AtlasTextureContent* getAtlasTexture() const { return atlasTexture_.get(); }
    // (left margin, top margin) and (right margin, bottom margin) in pixels.
    void setTopLeftDelta(const vector2df& delta) { topLeftDelta_ = delta; }
    void setBottomRightDelta(const vector2df& delta) { bottomRightDelta_ = delta; }
    const vector2df& getTopLeftDelta() const { return topLeftDelta_; }
    const vector2df& getBottomRightDelta() const { return bottomRightDelta_; }

    // Margins equal to their default (10, 10) are not written.
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    CountedRef<AtlasTextureContent> atlasTexture_;
    Material material_;
    QuadRecord quads_[kQuadCount];
    vector2df topLeftDelta_{10.0f, 10.0f};
    vector2df bottomRightDelta_{10.0f, 10.0f};
};

}  // namespace engine
