#pragma once
// A rectangle over the node's Bounds filled with one colour and overlaid with
// a grid of lines every CellSize: scene files place it, for example as the
// highlight of an area the player may choose. No code looks it up.
#include "engine/core/BaseNode.h"
#include "engine/visual/MeshBuffer.h"

#include <vector>

class GSelectGridNode : public engine::BaseNode {
    ENGINE_NODE_TYPE(GSelectGridNode, engine::BaseNode, 1134)

public:
    // A grid this fine would be a solid colour anyway; the cap keeps a broken
    // file's numbers from filling memory with lines (and within what one
    // draw can index).
    static constexpr uint32_t kMostLinesPerDirection = 10000;

    GSelectGridNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                    bool mostDerived = true);

    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    // Nothing while hidden; the node's own item only when its absolute colour
    // is not fully transparent; then the children.
    void collectRenderItems(engine::RenderList& list) override;
    void render(irr::video::IVideoDriver* driver, const engine::rectf* clip) override;
    // The base update, then the lines are laid out again.
    void updateAbsoluteTransform() override;
    // Copies the three grid values from another grid.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;

    engine::SColor getGridColor() const { return gridColor_; }
    void setGridColor(engine::SColor color);
    engine::SColor getFillColor() const { return fillColor_; }
    void setFillColor(engine::SColor color) { fillColor_ = color; }
    const engine::vector2df& getCellSize() const { return cellSize_; }
    // A size of 0 or below in a direction would never step across the
    // Bounds: that direction gets no lines, and the value is logged.
    void setCellSize(const engine::vector2df& size);

    // Lays the lines out for the Bounds: vertical ones at x = 0, CellSize.x,
    // ... up to the width, then horizontal ones, in node coordinates.
    void rebuildLines();
    // Pairs of points in node coordinates, one pair a line.
    const std::vector<engine::vector2df>& getLinePoints() const { return linePoints_; }

    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

private:
    engine::SColor gridColor_{0};
    engine::SColor fillColor_{0};
    engine::vector2df cellSize_{40.0f, 40.0f};
    std::vector<engine::vector2df> linePoints_;
    // The Bounds and CellSize the lines were laid out for: Bounds may change
    // without a transform refresh (animators, code).
    engine::vector2df linesBounds_{-1.0f, -1.0f};
    engine::vector2df linesCellSize_{0.0f, 0.0f};
    engine::MeshBuffer fill_;
    engine::MeshBuffer lines_;
};
