#pragma once
// The animator that puts children of its target into named states once, when
// its state is entered:
//
//   <Animator Type="SetStates" Name="Open">
//     <State Name="Show" Children="Title;Body" />
//     <State Name="Blink" Children="" />
//   </Animator>
//
// An entry without children puts every direct child of the target into the
// state (the target then waits for them); one with children names the direct
// children that enter it. It does all its work in start and never reports an
// end.
#include "engine/core/Animator.h"
#include <cstdint>
#include <vector>

namespace engine {

class SetStates : public Base {
public:
    static constexpr int32_t kTypeId = 3;

    struct Entry {
        NameId state = kNoName;  // never -1 in a read entry
        array<NameId> children;  // may be empty
    };

    SetStates();
    ~SetStates() override;

    const wchar_t* getClassName() const override { return L"SetStates"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || Base::isOfType(typeId); }

    // With apply, enters the states of the entries in order.
    void start(uint32_t timeMs, bool apply) override;
    uint32_t getPosition() const override { return 0; }
    uint32_t getDuration() const override { return 0; }
    void readXml(XmlReader* reader, BaseNode* node, IContentManager* contentManager,
                 const stringw& elementName) override;
    void writeXml(XmlWriter* writer, BaseNode* node, const stringw& elementName) override;
    // Same name and entries.
    Base* clone(State* parent, BaseNode* target) override;

    const std::vector<Entry>& getEntries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

}  // namespace engine
