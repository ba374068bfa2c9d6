#include "game/hud/HudText.h"
#include "engine/core/MathRoutines.h"
#include "engine/content/Dictionary.h"
#include "engine/core/BaseNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/TextNode.h"

#include <cmath>
#include <cwctype>
#include <string>

namespace game {

using namespace engine;

int32_t roundToInt(float value) { return roundedInt(value); }

stringw lookupText(const char* key) {
    if (IDictionary* dictionary = getCurrentDictionary()) return dictionary->lookup(key);
    return stringw(("%" + std::string(key) + "%").c_str());
}

stringw formatText(const char* key, const stringw& a1, const stringw& a2) {
    if (IDictionary* dictionary = getCurrentDictionary()) return dictionary->format(key, a1, a2);
    stringw text = lookupText(key);
    text += L" ";
    text += a1;
    return text;
}

stringw translateText(const stringw& text) {
    if (IDictionary* dictionary = getCurrentDictionary()) return dictionary->translate(text);
    return text;
}

stringw moneyText(int32_t amount) { return formatText("MoneyDollar", formatWithSeparator(amount, L',')); }

stringw upperCaseText(const stringw& text) {
    stringw upper = text;
    for (uint32_t i = 0; i < upper.size(); ++i) upper[i] = static_cast<wchar_t>(std::towupper(upper[i]));
    return upper;
}

stringw grouped(int32_t value) { return formatWithSeparator(value, L','); }

stringw decimalText(int32_t value) { return stringw(std::to_wstring(value).c_str()); }

bool setChildText(BaseNode* parent, const char* name, const stringw& text) {
    TextNode* node = parent ? nodeCast<TextNode>(parent->findChild(makeNameId(name), 1)) : nullptr;
    if (!node) return false;
    node->setText(text);
    return true;
}

void setText(TextNode* node, const stringw& text) {
    if (node) node->setText(text);
}

}  // namespace game
