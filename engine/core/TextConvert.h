#pragma once
// Narrow and wide text meet by one rule: widening sign-extends each byte,
// narrowing keeps the low 8 bits of each character.
#include "engine/core/Types.h"

namespace engine {

inline stringc narrow(const wchar_t* text) {
    stringc out;
    if (!text) return out;
    for (const wchar_t* p = text; *p; ++p) out.append(static_cast<char>(*p & 0xFF));
    return out;
}
inline stringc narrow(const stringw& text) { return narrow(text.c_str()); }

inline stringw widen(const char* text) {
    stringw out;
    if (!text) return out;
    for (const char* p = text; *p; ++p) out.append(static_cast<wchar_t>(static_cast<signed char>(*p)));
    return out;
}
inline stringw widen(const stringc& text) { return widen(text.c_str()); }

}  // namespace engine
