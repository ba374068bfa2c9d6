#include "game/world/SelectGridNode.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/QuadBatcher.h"

#include <string>

using namespace engine;

namespace {

GSelectGridNode& gridOf(PropertyTableOwner& o) { return static_cast<GSelectGridNode&>(o); }

void setGridColorEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    gridOf(o).setGridColor(colorFromProperty(v));
}
CountedRef<IPropertyData> getGridColorEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeColorProperty(gridOf(o).getGridColor()));
}
void setFillColorEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    gridOf(o).setFillColor(colorFromProperty(v));
}
CountedRef<IPropertyData> getFillColorEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeColorProperty(gridOf(o).getFillColor()));
}
void setCellSizeEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    gridOf(o).setCellSize(vector2dFromProperty(v));
}
CountedRef<IPropertyData> getCellSizeEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(gridOf(o).getCellSize()));
}

void setUpPlainMaterial(MeshBuffer& mesh, irr::scene::E_PRIMITIVE_TYPE type) {
    mesh.material.setMaterialType(irr::video::EMT_TRANSPARENT_VERTEX_ALPHA);
    mesh.material.setTextureLayerCount(0);
    mesh.primitiveType = type;
}

// Fills the mesh with the points (node coordinates, taken to the screen by
// the transform) in one colour, indexed in order, and draws it after what
// the batcher holds.
void drawPoints(QuadBatcher* batcher, MeshBuffer& mesh, const matrix4& transform, const vector2df* points,
                uint32_t count, SColor color, uint32_t primitiveCount) {
    mesh.vertices.set_used(count);
    mesh.indices.set_used(count);
    for (uint32_t i = 0; i < count; ++i) {
        vector2df p = points[i];
        transformVect2D(transform, p);
        irr::video::S3DVertex& v = mesh.vertices[i];
        v.Pos.set(p.X, p.Y, 0.0f);
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

// The positions 0, step, 2 step, ... up to `length`, as a count of lines;
// none for a negative length or a step of 0 or less.
uint32_t lineCount(float length, float step) {
    if (!(length >= 0.0f) || !(step > 0.0f)) return 0;
    const double count = static_cast<double>(length) / static_cast<double>(step) + 1.0;
    return count >= GSelectGridNode::kMostLinesPerDirection ? GSelectGridNode::kMostLinesPerDirection
                                                             : static_cast<uint32_t>(count);
}

}  // namespace

GSelectGridNode::GSelectGridNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                 bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    setUpPlainMaterial(fill_, irr::scene::EPT_TRIANGLE_FAN);
    setUpPlainMaterial(lines_, irr::scene::EPT_LINES);
    linkToParent(parent, mostDerived);
}

const PropertyTable& GSelectGridNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("GridColor", &setGridColorEntry, &getGridColorEntry);
        t.add("FillColor", &setFillColorEntry, &getFillColorEntry);
        t.add("CellSize", &setCellSizeEntry, &getCellSizeEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GSelectGridNode::getPropertyTable() const { return classPropertyTable(); }

void GSelectGridNode::setGridColor(SColor color) { gridColor_ = color; }

void GSelectGridNode::setCellSize(const vector2df& size) {
    if (!(size.X > 0.0f) || !(size.Y > 0.0f)) {
        getLogger().log(("GSelectGridNode: CellSize " + std::to_string(size.X) + ", " + std::to_string(size.Y) +
                         " cannot step across the grid; that direction gets no lines")
                            .c_str(),
                        LOG_WARNING);
    }
    cellSize_ = size;
    markTransformDirty();
}

void GSelectGridNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    GSelectGridNode* other = nodeCast<GSelectGridNode>(source);
    if (!other || other == this) return;
    gridColor_ = other->gridColor_;
    fillColor_ = other->fillColor_;
    cellSize_ = other->cellSize_;
    markTransformDirty();
}

void GSelectGridNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (gridColor_.color != 0) set->addColor("GridColor", gridColor_);
    if (fillColor_.color != 0) set->addColor("FillColor", fillColor_);
    if (cellSize_.X != 0.0f || cellSize_.Y != 0.0f) set->addVector2d("CellSize", cellSize_);
}

void GSelectGridNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    if (set->indexOf("GridColor") >= 0) setGridColor(colorFromProperty(set->find("GridColor")));
    if (set->indexOf("FillColor") >= 0) setFillColor(colorFromProperty(set->find("FillColor")));
    if (set->indexOf("CellSize") >= 0) setCellSize(vector2dFromProperty(set->find("CellSize")));
}

void GSelectGridNode::rebuildLines() {
    linePoints_.clear();
    const float w = getBounds().X;
    const float h = getBounds().Y;
    linesBounds_.set(w, h);
    linesCellSize_ = cellSize_;
    // Positions are counted, not summed, so a step too small to change a
    // large coordinate still ends.
    const uint32_t columns = lineCount(w, cellSize_.X);
    const uint32_t rows = lineCount(h, cellSize_.Y);
    linePoints_.reserve(2u * (columns + rows));
    for (uint32_t i = 0; i < columns; ++i) {
        const float x = static_cast<float>(i) * cellSize_.X;
        linePoints_.emplace_back(x, 0.0f);
        linePoints_.emplace_back(x, h);
    }
    for (uint32_t i = 0; i < rows; ++i) {
        const float y = static_cast<float>(i) * cellSize_.Y;
        linePoints_.emplace_back(0.0f, y);
        linePoints_.emplace_back(w, y);
    }
}

void GSelectGridNode::updateAbsoluteTransform() {
    BaseNode::updateAbsoluteTransform();
    rebuildLines();
}

void GSelectGridNode::collectRenderItems(RenderList& list) { collectRenderItemsWithOwn(list, true, 0); }

void GSelectGridNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (!batcher) return;
    const SColor fill = multiplyColors(fillColor_, getAbsoluteColor());
    const SColor grid = multiplyColors(gridColor_, getAbsoluteColor());
    const matrix4& m = getAbsoluteTransform();
    const float w = getBounds().X;
    const float h = getBounds().Y;
    if (linesBounds_ != vector2df(w, h) || linesCellSize_ != cellSize_) rebuildLines();
    if (fill.getAlpha() > 0) {
        const vector2df quad[4] = {{0.0f, 0.0f}, {w, 0.0f}, {w, h}, {0.0f, h}};
        drawPoints(batcher, fill_, m, quad, 4, fill, 2);
    }
    if (grid.getAlpha() > 0 && linePoints_.size() >= 2) {
        const uint32_t count = static_cast<uint32_t>(linePoints_.size() & ~static_cast<size_t>(1));
        drawPoints(batcher, lines_, m, linePoints_.data(), count, grid, count / 2);
    }
}
