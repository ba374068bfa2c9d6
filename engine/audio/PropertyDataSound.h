#pragma once
// "sound" (type id 15): a sound, held with one reference, written as its path.
#include "engine/audio/BaseSound.h"
#include "engine/core/PropertyDataContent.h"

namespace engine {

class CPropertyDataSound : public CPropertyDataContent<CPropertyDataSound, BaseSound> {
public:
    using CPropertyDataContent::CPropertyDataContent;
    static constexpr int32_t kTypeId = PROPERTY_SOUND;
    static constexpr ContentTypeCode kContentType = ContentType::Sound;
    static const wchar_t* typeName() { return L"sound"; }
    static const wchar_t* className() { return L"CPropertyDataSound"; }

    BaseSound* getSound() const { return getContent(); }
    void setSound(BaseSound* sound) { setContent(sound); }
};

}  // namespace engine
