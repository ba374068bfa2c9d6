#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/IContentManager.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/Font.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace engine {

namespace {

constexpr int64_t kMaxCachedFrames = 9999;

// The content's name, relative to the top of the manager's folder stack.
stringc contentPath(const Content* content, const IContentManager* manager) {
    if (!content) return stringc();
    const stringc& name = content->getCreationContext().getName();
    return manager ? manager->makeRelativePath(name) : name;
}

// The named frame of the start texture's sequence, loaded through the start
// texture's content manager as the path stands (the name is a full one).
CountedRef<AtlasTextureContent> loadFrame(const AtlasTextureContent* start, int32_t frame) {
    IContentManager* manager = start->getCreationContext().getContentManager();
    const stringc name = makeAtlasFrameName(start->getNamePrefix(), frame, start->getNameSuffix());
    return CountedRef<AtlasTextureContent>(loadAtlasTexture(manager, name, false));
}

}  // namespace

// ---------------------------------------------------------------------------
// atlasTexture

CPropertyDataAtlasTexture::CPropertyDataAtlasTexture(IContentManager* contentManager)
    : contentManager_(contentManager) {}

CPropertyDataAtlasTexture::CPropertyDataAtlasTexture(AtlasTextureContent* texture) : contentManager_(nullptr) {
    setTexture(texture);
}

CPropertyDataAtlasTexture::~CPropertyDataAtlasTexture() = default;

AtlasTextureContent* CPropertyDataAtlasTexture::getTexture() const { return texture_.get(); }

void CPropertyDataAtlasTexture::setTexture(AtlasTextureContent* texture) {
    texture_ = CountedRef<AtlasTextureContent>::share(texture);
    if (texture) contentManager_ = texture->getCreationContext().getContentManager();
}

AtlasTextureContent* CPropertyDataAtlasTexture::getCachedFrame(uint32_t index) const {
    return index < frameCache_.size() ? frameCache_[index].get() : nullptr;
}

const stringw& CPropertyDataAtlasTexture::getTypeName() const {
    static const stringw name(L"atlasTexture");
    return name;
}

const stringw& CPropertyDataAtlasTexture::getClassName() const {
    static const stringw name(L"CPropertyDataAtlasTexture");
    return name;
}

CountedRef<IPropertyData> CPropertyDataAtlasTexture::clone() const {
    auto* copy = new CPropertyDataAtlasTexture(contentManager_);
    copy->texture_ = texture_;
    copy->frameCache_ = frameCache_;
    return CountedRef<IPropertyData>(copy);
}

stringc CPropertyDataAtlasTexture::toString() const {
    if (!texture_) return stringc();
    return contentPath(texture_.get(), texture_->getCreationContext().getContentManager());
}

void CPropertyDataAtlasTexture::fromString(const stringc& text) {
    if (!contentManager_ || text.empty()) return;
    CountedRef<AtlasTextureContent> loaded(loadAtlasTexture(contentManager_, text, true));
    setTexture(loaded.get());
}

bool CPropertyDataAtlasTexture::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataAtlasTexture*>(other);
    return o && o->texture_ == texture_;
}

bool CPropertyDataAtlasTexture::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const auto* e = dynamic_cast<const CPropertyDataAtlasTexture*>(end);
    auto* o = dynamic_cast<CPropertyDataAtlasTexture*>(out);
    if (!e || !o) return false;

    const AtlasTextureContent* start = texture_.get();
    const AtlasTextureContent* last = e->texture_.get();
    CountedRef<AtlasTextureContent> candidate;
    if (t >= 1.0f) {
        candidate = e->texture_;
    } else if (start && last && start->getFrameNumber() != -1 && last->getFrameNumber() != -1) {
        const int64_t a = start->getFrameNumber();
        const int64_t b = last->getFrameNumber();
        // Toward zero, so the frames are stepped through from the start. Frame
        // numbers are never negative, so a t between 0 and 1 stays between a
        // and b; other fractions are kept to the same range.
        // The product is a 32-bit float, as the animators' fractions are.
        const float product = t * static_cast<float>(b - a);
        double wanted = std::trunc(static_cast<double>(product));
        if (std::isnan(wanted)) wanted = 0.0;
        const double lowest = static_cast<double>(std::min(a, b) - a);
        const double highest = static_cast<double>(std::max(a, b) - a);
        const int64_t offset = static_cast<int64_t>(std::max(lowest, std::min(highest, wanted)));
        const uint64_t index = static_cast<uint64_t>(offset < 0 ? -offset : offset);
        if (index < frameCache_.size() && frameCache_[index])
            candidate = frameCache_[index];
        else
            candidate = loadFrame(start, static_cast<int32_t>(a + offset));
    } else {
        candidate = texture_;
    }

    if (candidate == o->texture_) return false;
    o->texture_ = candidate;
    if (candidate) o->contentManager_ = candidate->getCreationContext().getContentManager();
    return true;
}

void CPropertyDataAtlasTexture::prepareInterpolation(const IPropertyData* next) {
    const auto* n = dynamic_cast<const CPropertyDataAtlasTexture*>(next);
    if (!n || !texture_ || !n->texture_) return;
    frameCache_.clear();
    const int32_t a = texture_->getFrameNumber();
    const int32_t b = n->texture_->getFrameNumber();
    // Frame numbers have four digits; a longer sequence is not loaded ahead
    // (interpolate loads the frames it needs).
    if (a == -1 || b == -1 || a == b || std::abs(static_cast<int64_t>(b) - a) > kMaxCachedFrames) return;
    const int32_t step = b > a ? 1 : -1;
    frameCache_.reserve(static_cast<size_t>(std::abs(static_cast<int64_t>(b) - a)) + 1);
    for (int32_t frame = a;; frame += step) {
        frameCache_.push_back(loadFrame(texture_.get(), frame));
        if (frame == b) break;
    }
}

CountedRef<CPropertyDataAtlasTexture> makeAtlasTextureData(AtlasTextureContent* texture) {
    return CountedRef<CPropertyDataAtlasTexture>(new CPropertyDataAtlasTexture(texture));
}

AtlasTextureContent* atlasTextureFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataAtlasTexture>(data, PROPERTY_ATLAS_TEXTURE);
    return value ? value->getTexture() : nullptr;
}

// ---------------------------------------------------------------------------
// font

BaseFont* fontFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataFont>(data, PROPERTY_FONT);
    return value ? value->getFont() : nullptr;
}

}  // namespace engine
