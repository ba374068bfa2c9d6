#pragma once
// The texts the HUD shows: dictionary look-ups that tolerate a missing
// dictionary, amounts of money, upper case names and rounding.
#include "engine/core/BaseNode.h"
#include "engine/core/NameId.h"
#include "engine/core/Types.h"
#include <cstdint>

namespace engine {
class TextNode;
}  // namespace engine

namespace game {

// floor(value + 0.5) as an int.
int32_t roundToInt(float value);
// The dictionary text of the key (the key in "%KEY%" form without one).
engine::stringw lookupText(const char* key);
// The dictionary format of the key with one or two arguments.
engine::stringw formatText(const char* key, const engine::stringw& a1, const engine::stringw& a2 = engine::stringw());
// "%KEY%" texts translated; other texts unchanged.
engine::stringw translateText(const engine::stringw& text);
// The "MoneyDollar" text of the amount grouped by thousands with ",".
engine::stringw moneyText(int32_t amount);
// Every letter in upper case.
engine::stringw upperCaseText(const engine::stringw& text);
engine::stringw decimalText(int32_t value);
// The decimal text grouped by thousands with ",".
engine::stringw grouped(int32_t value);
// Sets the text of a direct child TextNode of the parent; false when there is none.
bool setChildText(engine::BaseNode* parent, const char* name, const engine::stringw& text);
void setText(engine::TextNode* node, const engine::stringw& text);

// The HUD binds and finds its nodes among direct children, by name.
inline engine::BaseNode* child(const engine::BaseNode* parent, const char* name) {
    return parent ? parent->findChild(engine::makeNameId(name), 1) : nullptr;
}
template <class T>
T* childOf(const engine::BaseNode* parent, const char* name) {
    return engine::nodeCast<T>(child(parent, name));
}
inline bool named(const engine::BaseNode* node, const char* name) {
    return node && node->getName() == engine::makeNameId(name);
}

}  // namespace game
