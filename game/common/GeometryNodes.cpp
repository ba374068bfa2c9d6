#include "game/common/GeometryNodes.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/QuadBatcher.h"

#include <string>

using namespace engine;

namespace {

// The most fan vertices one draw can address with 16-bit indices.
constexpr uint32_t kMaxFanVertices = 0xFFFF;

// Untextured, blended by the vertex alpha.
void setUpPlainMaterial(MeshBuffer& mesh, irr::scene::E_PRIMITIVE_TYPE type) {
    mesh.material.setMaterialType(irr::video::EMT_TRANSPARENT_VERTEX_ALPHA);
    mesh.material.setTextureLayerCount(0);
    mesh.primitiveType = type;
}

// Fills the mesh with the points (in screen space) in one colour, indexed in
// order, and hands it to the batcher after what is queued before it.
void drawPoints(QuadBatcher* batcher, MeshBuffer& mesh, const vector2df* points, uint32_t count, SColor color,
                uint32_t primitiveCount) {
    mesh.vertices.set_used(count);
    mesh.indices.set_used(count);
    for (uint32_t i = 0; i < count; ++i) {
        irr::video::S3DVertex& v = mesh.vertices[i];
        v.Pos.set(points[i].X, points[i].Y, 0.0f);
        v.Normal.set(0.0f, 0.0f, 0.0f);
        v.Color = color;
        v.TCoords.set(0.0f, 0.0f);
        mesh.indices[i] = static_cast<irr::u16>(i);
    }
    mesh.primitiveCount = primitiveCount;
    batcher->flush();
    batcher->addMeshBuffer(&mesh);
    batcher->flush();
}

GEllipseSectorNode& sectorOf(PropertyTableOwner& o) { return static_cast<GEllipseSectorNode&>(o); }
GRectangleNode& rectangleOf(PropertyTableOwner& o) { return static_cast<GRectangleNode&>(o); }

void setSectorFill(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    sectorOf(o).setFillColor(colorFromProperty(v));
}
CountedRef<IPropertyData> getSectorFill(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeColorProperty(sectorOf(o).getFillColor()));
}
void setAngle1Entry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    sectorOf(o).setAngle1(intFromProperty(v));
}
CountedRef<IPropertyData> getAngle1Entry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(sectorOf(o).getAngle1()));
}
void setAngle2Entry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    sectorOf(o).setAngle2(intFromProperty(v));
}
CountedRef<IPropertyData> getAngle2Entry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(sectorOf(o).getAngle2()));
}
void setVerticesEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    sectorOf(o).setMaxVerticesCount(intFromProperty(v));
}
CountedRef<IPropertyData> getVerticesEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(sectorOf(o).getMaxVerticesCount()));
}
void setBorderEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    rectangleOf(o).setBorderColor(colorFromProperty(v));
}
CountedRef<IPropertyData> getBorderEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeColorProperty(rectangleOf(o).getBorderColor()));
}
void setRectangleFill(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    rectangleOf(o).setFillColor(colorFromProperty(v));
}
CountedRef<IPropertyData> getRectangleFill(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeColorProperty(rectangleOf(o).getFillColor()));
}

}  // namespace

// ---- Ellipse sector ------------------------------------------------------------

GEllipseSectorNode::GEllipseSectorNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    setUpPlainMaterial(mesh_, irr::scene::EPT_TRIANGLE_FAN);
    linkToParent(parent, mostDerived);
}

const PropertyTable& GEllipseSectorNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("FillColor", &setSectorFill, &getSectorFill);
        t.add("Angle1", &setAngle1Entry, &getAngle1Entry);
        t.add("Angle2", &setAngle2Entry, &getAngle2Entry);
        t.add("MaxVerticesCount", &setVerticesEntry, &getVerticesEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GEllipseSectorNode::getPropertyTable() const { return classPropertyTable(); }

void GEllipseSectorNode::setMaxVerticesCount(int32_t count) {
    if (count < 3) {
        getLogger().log(("GEllipseSectorNode: MaxVerticesCount " + std::to_string(count) +
                         " cannot make a sector, 32 is used")
                            .c_str(),
                        LOG_WARNING);
        count = kDefaultVerticesCount;
    }
    maxVerticesCount_ = count;
}

void GEllipseSectorNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    GEllipseSectorNode* other = nodeCast<GEllipseSectorNode>(source);
    if (!other || other == this) return;
    fillColor_ = other->fillColor_;
    angle1_ = other->angle1_;
    angle2_ = other->angle2_;
}

void GEllipseSectorNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (fillColor_.color != 0xFFFFFFFFu) set->addColor("FillColor", fillColor_);
    if (angle1_ != 0) set->addInt("Angle1", angle1_);
    if (angle2_ != 360) set->addInt("Angle2", angle2_);
    if (maxVerticesCount_ != kDefaultVerticesCount) set->addInt("MaxVerticesCount", maxVerticesCount_);
}

void GEllipseSectorNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    if (has("FillColor")) fillColor_ = colorFromProperty(set->find("FillColor"));
    if (has("Angle1")) angle1_ = intFromProperty(set->find("Angle1"));
    if (has("Angle2")) angle2_ = intFromProperty(set->find("Angle2"));
    if (has("MaxVerticesCount")) setMaxVerticesCount(intFromProperty(set->find("MaxVerticesCount")));
}

void GEllipseSectorNode::collectRenderItems(RenderList& list) { collectRenderItemsWithOwn(list, true, 0); }

void GEllipseSectorNode::buildVertices(std::vector<vector2df>& out) {
    out.clear();
    const matrix4& m = getAbsoluteTransform();
    const vector3df scale = m.getScale();
    const float rx = getBounds().X * scale.X * 0.5f;
    const float ry = getBounds().Y * scale.Y * 0.5f;
    const vector2df centre(m[12] + rx, m[13] + ry);
    const auto pointAt = [&](float angle) {
        const int64_t g = static_cast<int64_t>(angle);
        return vector2df(centre.X + rx * sineOfDegrees(g), centre.Y - ry * sineOfDegrees(g + 90));
    };
    out.push_back(centre);
    const float step = 360.0f / static_cast<float>(maxVerticesCount_);
    const float end = static_cast<float>(angle2_);
    // The walk also stops where the angle no longer grows (huge angles) and
    // where a fan could not be indexed any more (huge spans).
    for (float a = static_cast<float>(angle1_); a < end && out.size() + 1 < kMaxFanVertices;) {
        out.push_back(pointAt(a));
        const float next = a + step;
        if (!(next > a)) break;
        a = next;
    }
    out.push_back(pointAt(end));
}

void GEllipseSectorNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    buildVertices(points_);
    if (points_.size() < 3) return;
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (!batcher) return;
    const uint32_t count = static_cast<uint32_t>(points_.size());
    drawPoints(batcher, mesh_, points_.data(), count, multiplyColors(fillColor_, getAbsoluteColor()), count - 2);
}

// ---- Rectangle -------------------------------------------------------------------

GRectangleNode::GRectangleNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    setUpPlainMaterial(fill_, irr::scene::EPT_TRIANGLE_FAN);
    setUpPlainMaterial(border_, irr::scene::EPT_LINE_STRIP);
    linkToParent(parent, mostDerived);
}

const PropertyTable& GRectangleNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("BorderColor", &setBorderEntry, &getBorderEntry);
        t.add("FillColor", &setRectangleFill, &getRectangleFill);
        return t;
    }();
    return table;
}

const PropertyTable& GRectangleNode::getPropertyTable() const { return classPropertyTable(); }

void GRectangleNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    GRectangleNode* other = nodeCast<GRectangleNode>(source);
    if (!other || other == this) return;
    borderColor_ = other->borderColor_;
    fillColor_ = other->fillColor_;
}

void GRectangleNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (borderColor_.color != 0) set->addColor("BorderColor", borderColor_);
    if (fillColor_.color != 0) set->addColor("FillColor", fillColor_);
}

void GRectangleNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    if (set->indexOf("BorderColor") >= 0) borderColor_ = colorFromProperty(set->find("BorderColor"));
    if (set->indexOf("FillColor") >= 0) fillColor_ = colorFromProperty(set->find("FillColor"));
}

void GRectangleNode::collectRenderItems(RenderList& list) { collectRenderItemsWithOwn(list, true, 0); }

void GRectangleNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (!batcher) return;
    const SColor border = multiplyColors(borderColor_, getAbsoluteColor());
    const SColor fill = multiplyColors(fillColor_, getAbsoluteColor());
    const matrix4& m = getAbsoluteTransform();
    const float w = getBounds().X;
    const float h = getBounds().Y;
    const auto toScreen = [&m](vector2df p) {
        transformVect2D(m, p);
        return p;
    };
    if (fill.getAlpha() > 0) {
        const vector2df quad[4] = {toScreen({1.0f, 1.0f}), toScreen({w, 1.0f}), toScreen({w, h}), toScreen({1.0f, h})};
        drawPoints(batcher, fill_, quad, 4, fill, 2);
    }
    if (border.getAlpha() > 0) {
        // A shrunk node starts its top line one pixel in, as the other three.
        const float x0 = m.getScale().X > 0.9f ? 0.0f : 1.0f;
        const vector2df lines[5] = {toScreen({x0, 1.0f}), toScreen({w, 1.0f}), toScreen({w, h}), toScreen({1.0f, h}),
                                    toScreen({1.0f, 1.0f})};
        drawPoints(batcher, border_, lines, 5, border, 4);
    }
}

