#pragma once
// Text routines shared by the engine and the game: times and amounts as shown to
// the player, and the ";"-separated lists of configuration attributes. Numbers
// are written and read without the C library's locale, so the process locale
// never changes them.
#include "engine/core/NameId.h"
#include "engine/core/Types.h"
#include <cstdint>

namespace engine {

// "MM:SS" of a duration in milliseconds; whole hours are dropped.
stringw formatMinutesSeconds(uint32_t milliseconds);

// The decimal text of value with separator between groups of three digits,
// counted from the right (1234567 and ',' give "1,234,567"). A minus sign stays
// in front of the grouped digits ("-1,234").
stringw formatWithSeparator(int32_t value, wchar_t separator);

// Removes spaces, tabs, line feeds and carriage returns from both ends.
void trimWhitespace(stringc& text);

// Cuts the text at every ';', trims each piece, skips empty ones and interns
// the rest as name ids, in order.
array<NameId> splitBySemicolon(const stringc& text);

// Every number in the text, read with the engine number syntax from each '-'
// or digit and truncated toward zero; all other characters separate numbers.
// Values beyond the int range are clamped to it.
array<int32_t> parseIntArray(const stringc& text);

// The numbers in decimal joined by ';' (empty for an empty array).
stringc joinIntArray(const array<int32_t>& values);

// True when other is not null and holds the same characters as text.
bool equalWide(const stringw& text, const wchar_t* other);

// A new string holding the pointer's text followed by the string's (a null
// pointer counts as empty text).
stringc operator+(const char* left, const stringc& right);
stringw operator+(const wchar_t* left, const stringw& right);

}  // namespace engine
