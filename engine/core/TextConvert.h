#pragma once
// Narrow and wide text meet by one rule: widening sign-extends each byte to 16
// bits (bytes 0x80..0xFF become 0xFF80..0xFFFF), narrowing keeps the low 8 bits
// of each character.
//
// wchar_t is 32 bits here, and a plain char-to-wchar_t conversion (a cast, or
// Irrlicht's stringw built or assigned from narrow text) sign-extends to 32
// bits: byte 0xE9 would become 0xFFFFFFE9, which is no UTF-16 unit and which
// no font, dictionary key or file knows. Every widening goes through
// widenChar or widen.
#include "engine/core/Types.h"
#include <cstdint>
#include <cstring>

namespace engine {

inline wchar_t widenChar(char c) {
    return static_cast<wchar_t>(static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(c))));
}

inline char narrowChar(wchar_t c) { return static_cast<char>(c & 0xFF); }

inline stringc narrow(const wchar_t* text) {
    stringc out;
    if (!text) return out;
    // One allocation: append() grows the string by one character at a time.
    out.reserve(static_cast<irr::u32>(std::wcslen(text) + 1));
    for (const wchar_t* p = text; *p; ++p) out.append(narrowChar(*p));
    return out;
}
inline stringc narrow(const stringw& text) { return narrow(text.c_str()); }

inline stringw widen(const char* text) {
    stringw out;
    if (!text) return out;
    out.reserve(static_cast<irr::u32>(std::strlen(text) + 1));
    for (const char* p = text; *p; ++p) out.append(widenChar(*p));
    return out;
}
inline stringw widen(const stringc& text) { return widen(text.c_str()); }

}  // namespace engine
