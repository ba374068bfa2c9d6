#pragma once
// Retiming and re-aiming the key-frame animators of a task's own props.
//
// The engine gives key-frame keys read-only; a node cloned from a template
// owns its animators and their key arrays (only the value objects are shared
// with the template), so a task may change a key's time and replace a key's
// value object on its own copy without touching the template.
#include "engine/core/BaseNode.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/NameId.h"
#include "engine/core/PropertyData.h"
#include "engine/core/State.h"
#include <cstdint>
#include <vector>

namespace game {

// The key of the animator at the index, or null.
inline engine::KeyFrame::Key* animatorKey(engine::KeyFrame* animator, uint32_t index) {
    if (!animator) return nullptr;
    auto& keys = const_cast<std::vector<engine::KeyFrame::Key>&>(animator->getKeys());
    return index < keys.size() ? &keys[index] : nullptr;
}

// The key-frame animator of that name in the node's state, or null.
inline engine::KeyFrame* stateKeyFrame(engine::BaseNode* node, engine::NameId state, engine::NameId animator) {
    engine::State* found = node ? node->getState(state) : nullptr;
    return found ? engine::asKeyFrame(found->findAnimator(animator)) : nullptr;
}

// Gives the key a new three-float value for the named property of the
// animator's set; false when the set has no such property.
inline bool setKeyVector(engine::KeyFrame* animator, uint32_t index, const char* property,
                         const engine::vector3df& value) {
    engine::KeyFrame::Key* key = animatorKey(animator, index);
    engine::PropertySet* set = animator ? animator->getPropertySet() : nullptr;
    if (!key || !set) return false;
    const int32_t slot = set->indexOf(property);
    if (slot < 0) return false;
    if (key->values.size() <= static_cast<size_t>(slot)) key->values.resize(static_cast<size_t>(slot) + 1);
    key->values[static_cast<size_t>(slot)] = engine::makeVector3dProperty(value);
    return true;
}

}  // namespace game
