#pragma once
// "sound" (type id 15): a sound, held with one reference, written as its path.
#include "engine/audio/BaseSound.h"
#include "engine/core/PropertyData.h"

namespace engine {

class IContentManager;

class CPropertyDataSound : public IPropertyData {
public:
    explicit CPropertyDataSound(IContentManager* contentManager = nullptr);
    // Takes a reference; the content manager is the sound's.
    explicit CPropertyDataSound(BaseSound* sound);
    ~CPropertyDataSound() override;

    BaseSound* getSound() const { return sound_.get(); }
    // A sound brings its content manager along; null keeps the recorded one.
    void setSound(BaseSound* sound);
    IContentManager* getContentManager() const { return contentManager_; }

    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_SOUND; }
    CountedRef<IPropertyData> clone() const override;
    // The sound's path, relative to the content manager's folder; empty without one.
    stringc toString() const override;
    // Loads the path as 'isnd' relative to the folder stack; nothing without a
    // content manager; a failed load leaves no sound.
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    // At t of 1 or more the end's sound, else this one's.
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

private:
    CountedRef<BaseSound> sound_;
    IContentManager* contentManager_;
};

}  // namespace engine
