#pragma once
// The key-frame animator: changes properties of its target over time along a
// list of keys, ticking on the owning scene's timer scheduler.
//
//   <Animator Type="KeyFrame" Name="Fade" Period="20" TimeShift="0">
//     <Properties><float Name="Alpha" Value="0" /></Properties>
//     <KeyFrame t="0" Value0="0" />
//     <KeyFrame t="500" i="0" Value0="1" />
//     <KeyFrame t="500" g="0" Value0="0" />
//   </Animator>
//
// The property set names the animated properties (by the names of the
// target's property table) with their types. Each key holds one value per
// property; its time is the length of the segment that ends at it, "i" = 0
// blends that segment (otherwise the values step when the key is reached) and
// "g" continues from another key on arrival. An animator without a backward
// jump reports its end once, at its last key; one that jumps back reports a
// loop at every backward jump and never stops by itself.
#include "engine/core/Animator.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include <cstdint>
#include <vector>

namespace engine {

class KeyFrame : public Base {
public:
    static constexpr int32_t kTypeId = 1;

    struct Key {
        // One entry per property of the set, in the set's order; an empty
        // entry is a value the key does not hold, which is skipped. The value
        // objects are shared with clones of the animator, which only read them.
        std::vector<CountedRef<IPropertyData>> values;
        // Length of the segment from the previous key to this one.
        uint32_t time = 0;
        // Arriving at this key continues from key number jump (-1: none).
        int32_t jump = -1;
        // 0: the segment ending here is interpolated; -1: the values step.
        int32_t blend = -1;

        // The value of property j, or null when the key holds none.
        IPropertyData* valueAt(uint32_t j) const { return j < values.size() ? values[j].get() : nullptr; }
    };

    KeyFrame();
    ~KeyFrame() override;

    const wchar_t* getClassName() const override { return L"KeyFrame"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || Base::isOfType(typeId); }

    // Stores the target; with a target and a property set, maps each property
    // to the target's table and goes back to the first key.
    void setTarget(BaseNode* node) override;
    // Goes to the position (0 means the time shift) and, with apply and a
    // property set, gives the target the values there.
    void start(uint32_t timeMs, bool apply) override;
    // Sum of the times of the keys up to the current one, plus the time spent
    // after it.
    uint32_t getPosition() const override;
    // Sum of the times of all keys.
    uint32_t getDuration() const override;
    // With jumpToEnd (and keys), first gives the target the last key's values.
    void stop(bool jumpToEnd, bool notify) override;
    void readXml(XmlReader* reader, BaseNode* node, IContentManager* contentManager,
                 const stringw& elementName) override;
    void writeXml(XmlWriter* writer, BaseNode* node, const stringw& elementName) override;
    // Same name, period and time shift, a copy of the property set and the
    // same keys.
    Base* clone(State* parent, BaseNode* target) override;

    // One period of scheduler time: advance, set the values, report the end
    // or a loop. True while the animator is still registered with a scheduler
    // (an end report may start it again from inside this call).
    bool onTimer(uint32_t periodMs) override;

    const std::vector<Key>& getKeys() const { return keys_; }
    PropertySet* getPropertySet() const { return set_.get(); }
    uint32_t getTimeShift() const { return timeShift_; }
    uint32_t getCurrentKey() const { return currentKey_; }
    uint32_t getElapsed() const { return elapsed_; }
    // The index of each property in the target's table (-1: not found).
    const std::vector<int32_t>& getPropertyMap() const { return map_; }

private:
    // Moves over every key whose segment has fully passed; true when a jump
    // went backwards.
    bool advance();
    void applyKey(uint32_t k);
    void interpolateAt(uint32_t k, uint32_t e);
    bool hasNextKey() const { return static_cast<size_t>(currentKey_) + 1 < keys_.size(); }
    // Makes the keys agree with the property set: every key gets one entry
    // per property, values of another type than the set's are dropped, and a
    // jump to a key that does not exist is ignored.
    void validateKeys(const stringw& elementName);

    std::vector<int32_t> map_;
    std::vector<Key> keys_;
    uint32_t currentKey_ = 0;
    uint32_t elapsed_ = 0;
    CountedRef<PropertySet> set_;
    uint32_t timeShift_ = 0;
    // Scratch of advance: the total time consumed when a backward jump last
    // landed on each key, to find loops that take no time.
    std::vector<uint64_t> landings_;
};

// The animator as a KeyFrame, or null (also for null).
inline KeyFrame* asKeyFrame(Base* animator) { return animatorCast<KeyFrame>(animator); }

}  // namespace engine
