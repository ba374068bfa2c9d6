#pragma once
// Two plain geometry nodes drawn without a texture: a filled sector of the
// ellipse inscribed in the node's Bounds (the HUD clock, the auction's pie
// clock) and a filled rectangle with a one-pixel border (logos, intro).
#include "engine/core/BaseNode.h"
#include "engine/visual/MeshBuffer.h"

#include <vector>

// A sector from Angle1 to Angle2 (whole degrees, clockwise on the screen from
// straight up), drawn as a triangle fan of the centre and the points of the
// ellipse every 360 / MaxVerticesCount degrees, closed at Angle2. Rotation of
// the node is ignored: the ellipse fills the scaled Bounds whose top-left
// corner is the node's absolute position.
class GEllipseSectorNode : public engine::BaseNode {
    ENGINE_NODE_TYPE(GEllipseSectorNode, engine::BaseNode, 1133)

public:
    static constexpr int32_t kDefaultVerticesCount = 32;

    GEllipseSectorNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       bool mostDerived = true);

    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    void collectRenderItems(engine::RenderList& list) override;
    void render(irr::video::IVideoDriver* driver, const engine::rectf* clip) override;
    // Copies FillColor, Angle1 and Angle2 (not MaxVerticesCount).
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;

    engine::SColor getFillColor() const { return fillColor_; }
    void setFillColor(engine::SColor color) { fillColor_ = color; }
    int32_t getAngle1() const { return angle1_; }
    void setAngle1(int32_t degrees) { angle1_ = degrees; }
    int32_t getAngle2() const { return angle2_; }
    void setAngle2(int32_t degrees) { angle2_ = degrees; }
    int32_t getMaxVerticesCount() const { return maxVerticesCount_; }
    // Fewer than 3 steps cannot make a sector (and 0 or less would never
    // finish the walk round the ellipse): such counts become 32, with a log.
    void setMaxVerticesCount(int32_t count);

    // The fan's vertices in screen space (centre first) for the node as it
    // stands; fewer than 3 means nothing is drawn.
    void buildVertices(std::vector<engine::vector2df>& out);

    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

private:
    engine::SColor fillColor_{0xFFFFFFFF};
    int32_t angle1_ = 0;
    int32_t angle2_ = 360;
    int32_t maxVerticesCount_ = kDefaultVerticesCount;
    engine::MeshBuffer mesh_;
    std::vector<engine::vector2df> points_;
};

// A rectangle over the Bounds filled with FillColor inside a one-pixel
// BorderColor frame; either colour at alpha 0 is left out.
class GRectangleNode : public engine::BaseNode {
    ENGINE_NODE_TYPE(GRectangleNode, engine::BaseNode, 1135)

public:
    GRectangleNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);

    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    void collectRenderItems(engine::RenderList& list) override;
    void render(irr::video::IVideoDriver* driver, const engine::rectf* clip) override;
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;

    engine::SColor getBorderColor() const { return borderColor_; }
    void setBorderColor(engine::SColor color) { borderColor_ = color; }
    engine::SColor getFillColor() const { return fillColor_; }
    void setFillColor(engine::SColor color) { fillColor_ = color; }

    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

private:
    engine::SColor borderColor_{0};
    engine::SColor fillColor_{0};
    engine::MeshBuffer fill_;
    engine::MeshBuffer border_;
};

