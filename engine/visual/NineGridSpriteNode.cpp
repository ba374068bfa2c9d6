#include "engine/visual/NineGridSpriteNode.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/SpriteNode.h"

namespace engine {

namespace {

const vector2df kDefaultDelta(10.0f, 10.0f);

NineGridSpriteNode& gridOf(PropertyTableOwner& object) { return static_cast<NineGridSpriteNode&>(object); }

void setAtlasEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    gridOf(o).setAtlasTexture(atlasTextureFromProperty(v));
}
CountedRef<IPropertyData> getAtlasEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeAtlasTextureData(gridOf(o).getAtlasTexture()));
}
void setTopLeftEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    gridOf(o).setTopLeftDelta(vector2dFromProperty(v));
}
CountedRef<IPropertyData> getTopLeftEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(gridOf(o).getTopLeftDelta()));
}
void setBottomRightEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    gridOf(o).setBottomRightDelta(vector2dFromProperty(v));
}
CountedRef<IPropertyData> getBottomRightEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(gridOf(o).getBottomRightDelta()));
}

}  // namespace

NineGridSpriteNode::NineGridSpriteNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    // Set up as the sprite's material, bilinear filtering on: the edge and
    // centre cells are stretched.
    material_.flags().setFlag(irr::video::EMF_BILINEAR_FILTER, true);
    material_.setTextureLayerCount(1);
    for (QuadRecord& quad : quads_) {
        quad.material = &material_;
        for (irr::video::S3DVertex& v : quad.vertices) {
            v.Pos.set(0.0f, 0.0f, 0.0f);
            v.Normal.set(0.0f, 0.0f, 0.0f);
            v.Color = getAbsoluteColor();
            v.TCoords.set(0.0f, 0.0f);
        }
    }
    linkToParent(parent, mostDerived);
}

NineGridSpriteNode::~NineGridSpriteNode() = default;

const PropertyTable& NineGridSpriteNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("AtlasTexture", &setAtlasEntry, &getAtlasEntry);
        t.add("TopLeftDelta", &setTopLeftEntry, &getTopLeftEntry);
        t.add("BottomRightDelta", &setBottomRightEntry, &getBottomRightEntry);
        return t;
    }();
    return table;
}

const PropertyTable& NineGridSpriteNode::getPropertyTable() const { return classPropertyTable(); }

void NineGridSpriteNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (atlasTexture_) set->add("AtlasTexture", makeAtlasTextureData(atlasTexture_.get()));
    if (topLeftDelta_ != kDefaultDelta) set->addVector2d("TopLeftDelta", topLeftDelta_);
    if (bottomRightDelta_ != kDefaultDelta) set->addVector2d("BottomRightDelta", bottomRightDelta_);
}

void NineGridSpriteNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    if (has("TopLeftDelta")) topLeftDelta_ = vector2dFromProperty(set->find("TopLeftDelta"));
    if (has("BottomRightDelta")) bottomRightDelta_ = vector2dFromProperty(set->find("BottomRightDelta"));
    if (has("AtlasTexture")) setAtlasTexture(atlasTextureFromProperty(set->find("AtlasTexture")));
}

void NineGridSpriteNode::setAtlasTexture(AtlasTextureContent* texture) {
    atlasTexture_ = CountedRef<AtlasTextureContent>::share(texture);
    if (texture) material_.setTexture(texture->getTexture());
}

void NineGridSpriteNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    NineGridSpriteNode* grid = nodeCast<NineGridSpriteNode>(source);
    if (!grid || grid == this) return;
    topLeftDelta_ = grid->topLeftDelta_;
    bottomRightDelta_ = grid->bottomRightDelta_;
    setAtlasTexture(grid->atlasTexture_.get());
}

void NineGridSpriteNode::updateGrid() {
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    if (!texture) return;
    const rectf& rect = atlasTexture_->getTextureRect();
    const irr::core::dimension2d<irr::u32> size = getTextureImageSize(texture);
    // An empty texture has no pixels to measure the margins in.
    const float texW = size.Width ? static_cast<float>(size.Width) : 1.0f;
    const float texH = size.Height ? static_cast<float>(size.Height) : 1.0f;

    const vector3df& bounds = getBounds();
    const float w = bounds.X;
    const float h = bounds.Y;
    const float l = topLeftDelta_.X;
    const float t = topLeftDelta_.Y;
    const float r = bottomRightDelta_.X;
    const float b = bottomRightDelta_.Y;
    const float xs[4] = {0.0f, l, w - r, w};
    const float ys[4] = {0.0f, t, h - b, h};
    const float uL = rect.UpperLeftCorner.X;
    const float vT = rect.UpperLeftCorner.Y;
    const float uR = rect.LowerRightCorner.X;
    const float vB = rect.LowerRightCorner.Y;
    const float us[4] = {uL, uL + l / texW, uR - r / texW, uR};
    const float vs[4] = {vT, vT + t / texH, vB - b / texH, vB};

    const matrix4& m = getAbsoluteTransform();
    const SColor colour = getAbsoluteColor();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            QuadRecord& quad = quads_[3 * i + j];
            const int cx[4] = {j, j + 1, j + 1, j};
            const int cy[4] = {i, i, i + 1, i + 1};
            for (int k = 0; k < 4; ++k) {
                irr::video::S3DVertex& v = quad.vertices[k];
                const float x = xs[cx[k]];
                const float y = ys[cy[k]];
                v.Pos.set(x * m[0] + y * m[4] + m[12], x * m[1] + y * m[5] + m[13], 0.0f);
                v.Color = colour;
                v.TCoords.set(us[cx[k]], vs[cy[k]]);
            }
        }
    }
}

void NineGridSpriteNode::collectRenderItems(RenderList& list) {
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    collectRenderItemsWithOwn(list, texture != nullptr, reinterpret_cast<uintptr_t>(texture));
}

void NineGridSpriteNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (!texture || !batcher) return;
    updateGrid();
    for (const QuadRecord& quad : quads_) batcher->addQuad(&quad);
}

bool NineGridSpriteNode::hitTest(const vector2df& point) {
    return canBeHit() && isVisible() && getTintColor().getAlpha() > 20 && containsPoint(point);
}

}  // namespace engine
