#include "engine/platform/TypedCharacter.h"

namespace engine {

int32_t typedCharacter(uint32_t reported) {
    if (reported < 0x100) return static_cast<int32_t>(reported);
    uint8_t bytes[4];
    int count = 0;
    for (uint32_t rest = reported; rest != 0 && count < 4; rest >>= 8) bytes[count++] = static_cast<uint8_t>(rest & 0xFF);
    // A UTF-8 lead byte says how many bytes follow it.
    const uint8_t lead = bytes[0];
    int length = 0;
    uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    }
    if (length == 0 || length != count) {
        // Not packed bytes: a wide character as it stands, when it fits.
        return reported <= 0xFFFF ? static_cast<int32_t>(reported) : 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return reported <= 0xFFFF ? static_cast<int32_t>(reported) : 0;
        code = (code << 6) | (bytes[i] & 0x3F);
    }
    // Overlong forms and surrogates are no characters.
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return code <= 0xFFFF ? static_cast<int32_t>(code) : 0;
}

}  // namespace engine
