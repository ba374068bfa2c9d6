#include "engine/visual/SpriteNode.h"
#include "engine/core/MathRoutines.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include <cmath>
#include <utility>
#include <vector>

namespace engine {

// ---- Driver batchers ----------------------------------------------------------

namespace {


SpriteNode& spriteOf(PropertyTableOwner& object) { return static_cast<SpriteNode&>(object); }

void setStretchXEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spriteOf(o).setImageStretchX(intFromProperty(v));
}
CountedRef<IPropertyData> getStretchXEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(spriteOf(o).getImageStretchX()));
}
void setStretchYEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spriteOf(o).setImageStretchY(intFromProperty(v));
}
CountedRef<IPropertyData> getStretchYEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(spriteOf(o).getImageStretchY()));
}
void setPivotEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    const vector2df pivot = vector2dFromProperty(v);
    spriteOf(o).setImagePivotPoint(pivot.X, pivot.Y);
}
CountedRef<IPropertyData> getPivotEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(spriteOf(o).getImagePivotPoint()));
}
void setFlipXEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spriteOf(o).setFlipX(boolFromProperty(v));
}
CountedRef<IPropertyData> getFlipXEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(spriteOf(o).getFlipX()));
}
void setFlipYEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spriteOf(o).setFlipY(boolFromProperty(v));
}
CountedRef<IPropertyData> getFlipYEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(spriteOf(o).getFlipY()));
}
void setBlendEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spriteOf(o).setBlendType(intFromProperty(v));
}
CountedRef<IPropertyData> getBlendEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(spriteOf(o).getBlendType()));
}
void setAtlasEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spriteOf(o).setAtlasTexture(atlasTextureFromProperty(v));
}
CountedRef<IPropertyData> getAtlasEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeAtlasTextureData(spriteOf(o).getAtlasTexture()));
}

}  // namespace

// ---- Construction -------------------------------------------------------------

SpriteNode::SpriteNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    // The engine's 2D material, with bilinear filtering on: sprites are
    // stretched and scaled, and at 1:1 on whole pixels it samples texel centres.
    material_.flags().setFlag(irr::video::EMF_BILINEAR_FILTER, true);
    material_.setTextureLayerCount(1);
    quad_.material = &material_;
    for (irr::video::S3DVertex& v : quad_.vertices) {
        v.Pos.set(0.0f, 0.0f, 1.0f);
        v.Normal.set(0.0f, 0.0f, 0.0f);
        v.Color = getAbsoluteColor();
        v.TCoords.set(0.0f, 0.0f);
    }
    // A sprite takes its events through BaseNode's map alone; a class made
    // from it may add handlers, so only a sprite itself says so.
    if (mostDerived) setHandlesThroughBaseMapOnly();
    linkToParent(parent, mostDerived);
}

SpriteNode::~SpriteNode() = default;

SpriteNode* asSpriteNode(BaseNode* node) { return nodeCast<SpriteNode>(node); }

// ---- Property table and holder --------------------------------------------------

const PropertyTable& SpriteNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("ImageStretchX", &setStretchXEntry, &getStretchXEntry);
        t.add("ImageStretchY", &setStretchYEntry, &getStretchYEntry);
        t.add("ImagePivotPoint", &setPivotEntry, &getPivotEntry);
        t.add("FlipX", &setFlipXEntry, &getFlipXEntry);
        t.add("FlipY", &setFlipYEntry, &getFlipYEntry);
        t.add("BlendType", &setBlendEntry, &getBlendEntry);
        t.add("AtlasTexture", &setAtlasEntry, &getAtlasEntry);
        return t;
    }();
    return table;
}

const PropertyTable& SpriteNode::getPropertyTable() const { return classPropertyTable(); }

void SpriteNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    // Mode 2 is not stored: the Bounds it produced are.
    if (stretchX_ != 0 && stretchX_ != 2) set->addInt("ImageStretchX", stretchX_);
    if (stretchY_ != 0 && stretchY_ != 2) set->addInt("ImageStretchY", stretchY_);
    if (imagePivot_.X != 0.0f || imagePivot_.Y != 0.0f) set->addVector2d("ImagePivotPoint", imagePivot_);
    if (flipX_) PropertySet::addValue(set, "FlipX", true);
    if (flipY_) PropertySet::addValue(set, "FlipY", true);
    if (blendType_ != 0) set->addInt("BlendType", blendType_);
    if (atlasTexture_) set->add("AtlasTexture", makeAtlasTextureData(atlasTexture_.get()));
}

void SpriteNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    if (has("ImageStretchX")) setImageStretchX(intFromProperty(set->find("ImageStretchX")));
    if (has("ImageStretchY")) setImageStretchY(intFromProperty(set->find("ImageStretchY")));
    if (has("ImagePivotPoint")) imagePivot_ = vector2dFromProperty(set->find("ImagePivotPoint"));
    if (has("FlipX")) flipX_ = boolFromProperty(set->find("FlipX"));
    if (has("FlipY")) flipY_ = boolFromProperty(set->find("FlipY"));
    if (has("BlendType")) setBlendType(intFromProperty(set->find("BlendType")));
    if (has("AtlasTexture")) setAtlasTexture(atlasTextureFromProperty(set->find("AtlasTexture")));
}

// ---- Values -----------------------------------------------------------------------

void SpriteNode::setAtlasTexture(AtlasTextureContent* texture) {
    atlasTexture_ = CountedRef<AtlasTextureContent>::share(texture);
    if (!texture) return;
    material_.setTexture(texture->getTexture());
    updateQuad();
}

void SpriteNode::setImageStretchX(int32_t mode) {
    stretchX_ = mode;
    updateQuad();
}

void SpriteNode::setImageStretchY(int32_t mode) {
    stretchY_ = mode;
    updateQuad();
}

void SpriteNode::setBlendType(int32_t type) {
    blendType_ = type == 1 ? 1 : 0;
    material_.setMaterialType(blendType_ == 1 ? EMT_TRANS_ALPHACH_VERTEXALPHA_ADD : EMT_TRANS_ALPHACH_VERTEXALPHA);
}

void SpriteNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    SpriteNode* sprite = nodeCast<SpriteNode>(source);
    if (!sprite || sprite == this) return;
    stretchX_ = sprite->stretchX_;
    stretchY_ = sprite->stretchY_;
    flipX_ = sprite->flipX_;
    flipY_ = sprite->flipY_;
    imagePivot_ = sprite->imagePivot_;
    setBlendType(sprite->blendType_);
    setAtlasTexture(sprite->atlasTexture_.get());
    updateQuad();
}

// ---- Transform, colour and the quad ------------------------------------------------

void SpriteNode::updateAbsoluteTransform() {
    BaseNode::updateAbsoluteTransform();
    updateQuad();
}

void SpriteNode::updateAbsoluteColor() {
    BaseNode::updateAbsoluteColor();
    const SColor colour = getAbsoluteColor();
    for (irr::video::S3DVertex& v : quad_.vertices) v.Color = colour;
}

void SpriteNode::updateQuad() {
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    if (!texture) return;

    const rectf& rect = atlasTexture_->getTextureRect();
    float uL = rect.UpperLeftCorner.X;
    float vT = rect.UpperLeftCorner.Y;
    float uR = rect.LowerRightCorner.X;
    float vB = rect.LowerRightCorner.Y;
    const irr::core::dimension2d<irr::u32> size = getTextureImageSize(texture);
    const float texW = static_cast<float>(size.Width);
    const float texH = static_cast<float>(size.Height);
    const float du = uR - uL;
    const float dv = vB - vT;
    const float W = du * texW;
    const float H = dv * texH;

    const vector2df& lead = atlasTexture_->getLeadingMargin();
    const float px = imagePivot_.X - lead.X;
    const float py = imagePivot_.Y - lead.Y;
    float left = -px;
    float top = -py;
    float right = W - px;
    float bottom = H - py;

    // The same rules for both axes: (start, end, texture start, texture end,
    // texture extent, image extent, Bounds extent).
    const auto stretch = [](int32_t mode, float pivot, float& start, float& end, float& t0, float& t1, float dt,
                            float extent, float boundsExtent) {
        switch (mode) {
        case 1:
            end = boundsExtent - pivot;
            break;
        case 3:
            if (start < 0.0f) {
                if (extent > 0.0f) t0 = t0 - dt * (start / extent);
                start = 0.0f;
            }
            if (boundsExtent < end) {
                if (extent > 0.0f) t1 = t1 + dt * ((boundsExtent - end) / extent);
                end = boundsExtent;
            }
            break;
        default:
            break;
        }
    };

    if (stretchX_ == 2) setBounds(vector3df(W, getBounds().Y, 0.0f));
    stretch(stretchX_, px, left, right, uL, uR, du, W, getBounds().X);
    if (stretchY_ == 2) setBounds(vector3df(getBounds().X, H, 0.0f));
    stretch(stretchY_, py, top, bottom, vT, vB, dv, H, getBounds().Y);

    const matrix4& m = getAbsoluteTransform();
    const vector2df corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    const float uLeft = flipX_ ? uR : uL;
    const float uRight = flipX_ ? uL : uR;
    const float vTop = flipY_ ? vB : vT;
    const float vBottom = flipY_ ? vT : vB;
    const vector2df coords[4] = {{uLeft, vTop}, {uRight, vTop}, {uRight, vBottom}, {uLeft, vBottom}};
    for (int i = 0; i < 4; ++i) {
        irr::video::S3DVertex& v = quad_.vertices[i];
        v.Pos.X = corners[i].X * m[0] + corners[i].Y * m[4] + m[12];
        v.Pos.Y = corners[i].X * m[1] + corners[i].Y * m[5] + m[13];
        v.Pos.Z = 1.0f;
        v.TCoords = coords[i];
    }

    local_.valid = true;
    local_.left = left;
    local_.top = top;
    local_.right = right;
    local_.bottom = bottom;
    local_.u0 = uLeft;
    local_.v0 = vTop;
    local_.u2 = uRight;
    local_.v2 = vBottom;
}

// ---- Drawing and hit tests ------------------------------------------------------------

void SpriteNode::collectRenderItems(RenderList& list) {
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    collectRenderItemsWithOwn(list, texture != nullptr, reinterpret_cast<uintptr_t>(texture));
}

void SpriteNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    if (QuadBatcher* batcher = getDriverQuadBatcher(driver)) batcher->addQuad(&quad_);
}

namespace {

// The texel a point at fraction f (0 inclusive, 1 exclusive) across a quad edge
// lands on, the edge running from texel coordinate a to b. A mirrored edge
// (a > b) covers (b, a] so that its first pixel shows the last texel.
int64_t texelAt(float a, float b, float f) {
    const double t = static_cast<double>(a) + static_cast<double>(f) * (static_cast<double>(b) - a);
    return a <= b ? static_cast<int64_t>(std::floor(t)) : static_cast<int64_t>(std::ceil(t)) - 1;
}

}  // namespace

bool SpriteNode::hitTest(const vector2df& point) {
    if (!canBeHit() || !isVisible() || getTintColor().getAlpha() <= 20) return false;
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    if (!texture || !local_.valid) return false;

    vector2df local = point;
    matrix4 inverse;
    if (!getAbsoluteTransform().getInverse(inverse)) inverse.makeIdentity();
    transformVect2D(inverse, local);

    // Fractions across the quad as it was drawn; an inverted quad (end before
    // start) is handled alike.
    const float width = local_.right - local_.left;
    const float height = local_.bottom - local_.top;
    if (width == 0.0f || height == 0.0f) return false;
    const float fx = (local.X - local_.left) / width;
    const float fy = (local.Y - local_.top) / height;
    if (!(fx >= 0.0f && fx < 1.0f && fy >= 0.0f && fy < 1.0f)) return false;

    const irr::core::dimension2d<irr::u32> size = getTextureImageSize(texture);
    const float texW = static_cast<float>(size.Width);
    const float texH = static_cast<float>(size.Height);
    const int64_t tx = texelAt(local_.u0 * texW, local_.u2 * texW, fx);
    const int64_t ty = texelAt(local_.v0 * texH, local_.v2 * texH, fy);
    if (tx < 0 || ty < 0 || tx > 0xFFFFFFFFll || ty > 0xFFFFFFFFll) return false;
    return texture->isOpaqueAt(static_cast<irr::u32>(tx), static_cast<irr::u32>(ty), 20);
}

}  // namespace engine
