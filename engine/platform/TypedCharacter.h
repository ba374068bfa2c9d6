#pragma once
// The character a key press typed, from what Irrlicht's X11 device reports.
//
// The device looks the key up with XLookupString, which writes the text in
// the locale's encoding, and hands on the first bytes of that text read as one
// wide character. In a UTF-8 locale a letter outside ASCII ("ü", "ß", "€")
// arrives as its two to four UTF-8 bytes packed into that value, lowest byte
// first. This undoes the packing; a value that is not such a byte sequence (a
// plain ASCII or Latin-1 code, or 0) is the character itself.
#include <cstdint>

namespace engine {

// The typed character as a 16-bit code (the key events carry no more), or 0
// when nothing the events can carry was typed: a character beyond the 16-bit
// range, or bytes that are not one whole UTF-8 sequence.
int32_t typedCharacter(uint32_t reported);

}  // namespace engine
