#pragma once
// The animator that sets properties of its target once, when its state is
// entered:
//
//   <StartAnimator Type="SetProps" Name="Show">
//     <Properties><bool Name="Visible" Value="true" /></Properties>
//   </StartAnimator>
//
// Every element inside the animator's element is read as a property, so the
// values may also stand without the "Properties" block. It does all its work
// in start: played, it leaves its scheduler at the next update without
// reporting an end, so a state that awaits it never ends by itself.
#include "engine/core/Animator.h"
#include "engine/core/PropertySet.h"
#include <cstdint>
#include <vector>

namespace engine {

class SetProps : public Base {
public:
    static constexpr int32_t kTypeId = 2;

    SetProps();
    ~SetProps() override;

    const wchar_t* getClassName() const override { return L"SetProps"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || Base::isOfType(typeId); }

    // Stores the target and maps each property to the target's table.
    void setTarget(BaseNode* node) override;
    // With apply, gives the target every mapped value, in the set's order.
    void start(uint32_t timeMs, bool apply) override;
    uint32_t getPosition() const override { return 0; }
    uint32_t getDuration() const override { return 0; }
    void readXml(XmlReader* reader, BaseNode* node, IContentManager* contentManager,
                 const stringw& elementName) override;
    void writeXml(XmlWriter* writer, BaseNode* node, const stringw& elementName) override;
    // Same name and a copy of the property set.
    Base* clone(State* parent, BaseNode* target) override;

    PropertySet* getPropertySet() const { return set_.get(); }
    const std::vector<int32_t>& getPropertyMap() const { return map_; }

private:
    std::vector<int32_t> map_;
    CountedRef<PropertySet> set_;
};

}  // namespace engine
