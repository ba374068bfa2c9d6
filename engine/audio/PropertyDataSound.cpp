#include "engine/audio/PropertyDataSound.h"
#include "engine/content/IContentManager.h"

namespace engine {

CPropertyDataSound::CPropertyDataSound(IContentManager* contentManager) : contentManager_(contentManager) {}

CPropertyDataSound::CPropertyDataSound(BaseSound* sound) : contentManager_(nullptr) { setSound(sound); }

CPropertyDataSound::~CPropertyDataSound() = default;

void CPropertyDataSound::setSound(BaseSound* sound) {
    if (sound == sound_.get()) return;
    sound_ = CountedRef<BaseSound>::share(sound);
    if (sound) contentManager_ = sound->getCreationContext().getContentManager();
}

const stringw& CPropertyDataSound::getTypeName() const {
    static const stringw name(L"sound");
    return name;
}

const stringw& CPropertyDataSound::getClassName() const {
    static const stringw name(L"CPropertyDataSound");
    return name;
}

CountedRef<IPropertyData> CPropertyDataSound::clone() const {
    auto* copy = new CPropertyDataSound(sound_ ? contentManager_ : nullptr);
    copy->sound_ = sound_;
    return CountedRef<IPropertyData>(copy);
}

stringc CPropertyDataSound::toString() const {
    if (!sound_) return stringc();
    const stringc& name = sound_->getCreationContext().getName();
    return contentManager_ ? contentManager_->makeRelativePath(name) : name;
}

void CPropertyDataSound::fromString(const stringc& text) {
    if (!contentManager_) return;
    Content* content = text.size() > 0 ? contentManager_->load(ContentType::Sound, text, true) : nullptr;
    auto* sound = dynamic_cast<BaseSound*>(content);
    if (!sound && content) content->release();
    CountedRef<BaseSound> loaded(sound);
    if (!loaded) {
        sound_.reset();
        return;
    }
    setSound(loaded.get());
}

bool CPropertyDataSound::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataSound*>(other);
    return o && o->sound_ == sound_;
}

bool CPropertyDataSound::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const auto* e = dynamic_cast<const CPropertyDataSound*>(end);
    auto* o = dynamic_cast<CPropertyDataSound*>(out);
    if (!e || !o) return false;
    BaseSound* candidate = t >= 1.0f ? e->sound_.get() : sound_.get();
    if (candidate == o->sound_.get()) return false;
    o->setSound(candidate);
    return true;
}

}  // namespace engine
