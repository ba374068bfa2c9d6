#include "engine/core/NameId.h"
#include "engine/core/Singleton.h"
#include "engine/core/SoundCueNames.h"
#include "engine/core/TextConvert.h"

namespace engine {

StringIdRegistry::StringIdRegistry() {
    ids_.emplace(std::string(), -1);
    names_.emplace(-1, stringc());
}

int32_t StringIdRegistry::intern(const char* name) {
    auto [it, inserted] = ids_.emplace(std::string(name ? name : ""), counter_ + 1);
    if (!inserted) return it->second;
    ++counter_;
    names_.emplace(counter_, stringc(it->first.c_str()));
    return counter_;
}

const stringc& StringIdRegistry::nameOf(int32_t id) const {
    static const stringc empty;
    auto it = names_.find(id);
    return it == names_.end() ? empty : it->second;
}

namespace {

// Distinct classes so that each registry instance has its own singleton slot.
struct NameRegistry : StringIdRegistry {
    NameRegistry() {
        for (const char* cue : kSoundCueNames) intern(cue);
    }
};
struct ContentNameRegistry : StringIdRegistry {};

}  // namespace

StringIdRegistry& getNameRegistry() { return EngineSingleton<NameRegistry>::Instance(); }
StringIdRegistry& getContentNameRegistry() { return EngineSingleton<ContentNameRegistry>::Instance(); }

NameId makeNameId(const char* name) { return getNameRegistry().intern(name); }

NameId makeNameId(const stringw& name) { return getNameRegistry().intern(narrow(name)); }

const stringc& nameOfId(NameId id) { return getNameRegistry().nameOf(id); }

CreationContext::CreationContext(IContentManager* manager, const char* name)
    : manager_(manager), nameId_(getContentNameRegistry().intern(name)) {}

const stringc& CreationContext::getName() const { return getContentNameRegistry().nameOf(nameId_); }

}  // namespace engine
