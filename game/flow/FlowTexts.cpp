#include "game/flow/FlowTexts.h"
#include "engine/content/Dictionary.h"
#include "engine/core/TextRoutines.h"

namespace game {

using namespace engine;

stringw formatKey(const char* key, const stringw& argument) {
    IDictionary* dictionary = getCurrentDictionary();
    return dictionary ? dictionary->format(key, argument) : argument;
}

stringw formatTarget(const char* key, const stringw& argument) { return L"- " + formatKey(key, argument); }

}  // namespace game
