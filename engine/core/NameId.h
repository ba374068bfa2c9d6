#pragma once
#include "engine/core/Types.h"
#include <cstdint>
#include <map>
#include <string>

namespace engine {

class IContentManager;

// A name interned in the name registry; -1 is the empty string (no name).
using NameId = int32_t;
constexpr NameId kNoName = -1;

// Interns narrow strings into small integer ids, handed out in order of first
// use. Two instances exist (names, content names) with separate id spaces.
class StringIdRegistry {
public:
    StringIdRegistry();
    int32_t intern(const char* name);
    int32_t intern(const stringc& name) { return intern(name.c_str()); }
    // The text of an id; the empty string for an id never handed out.
    const stringc& nameOf(int32_t id) const;
    int32_t lastId() const { return counter_; }

private:
    std::map<std::string, int32_t> ids_;
    std::map<int32_t, stringc> names_;
    int32_t counter_ = 0;
};

// The two registries. The name registry interns the 40 sound-cue names as it is
// created, so they hold ids 1 to 40 whatever order static initialisers run in.
StringIdRegistry& getNameRegistry();
StringIdRegistry& getContentNameRegistry();

NameId makeNameId(const char* name);
inline NameId makeNameId(const stringc& name) { return makeNameId(name.c_str()); }
NameId makeNameId(const stringw& name);  // narrowed to the low 8 bits of each character
const stringc& nameOfId(NameId id);

// The content manager and the content-name id given to every node and content
// constructor; the name id is the content manager's cache key.
class CreationContext {
public:
    CreationContext() = default;
    CreationContext(IContentManager* manager, const char* name);
    CreationContext(IContentManager* manager, const stringc& name)
        : CreationContext(manager, name.c_str()) {}

    IContentManager* getContentManager() const { return manager_; }
    int32_t getNameId() const { return nameId_; }
    const stringc& getName() const;

private:
    IContentManager* manager_ = nullptr;
    int32_t nameId_ = -1;
};

}  // namespace engine
