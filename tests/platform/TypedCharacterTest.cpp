// Characters typed on a keyboard as Irrlicht's X11 device reports them: in a
// UTF-8 locale a letter beyond ASCII comes as its UTF-8 bytes packed into one
// value, lowest byte first.
#include "engine/platform/TypedCharacter.h"

#include <gtest/gtest.h>

#include <string>

using engine::typedCharacter;

namespace {

// The value the device reports for the UTF-8 bytes of a text.
uint32_t packed(const std::string& utf8) {
    uint32_t value = 0;
    for (size_t i = 0; i < utf8.size() && i < 4; ++i) value |= static_cast<uint32_t>(static_cast<uint8_t>(utf8[i])) << (8 * i);
    return value;
}

}  // namespace

TEST(TypedCharacterTest, PackedUtf8BytesBecomeTheirCharacter) {
    const struct {
        const char* utf8;
        int32_t character;
    } cases[] = {
        {"a", L'a'},           {"\xc3\xbc", 0x00FC},  // ü
        {"\xc3\x96", 0x00D6},  // Ö
        {"\xc3\x9f", 0x00DF},  // ß
        {"\xe2\x82\xac", 0x20AC},  // €
        {"\xd0\x96", 0x0416},      // Cyrillic Zhe
    };
    for (const auto& c : cases) EXPECT_EQ(typedCharacter(packed(c.utf8)), c.character) << c.utf8;
}

TEST(TypedCharacterTest, PlainCodesStayAndWhatTheEventsCannotCarryIsNoCharacter) {
    const struct {
        uint32_t reported;
        int32_t character;
    } cases[] = {
        {0, 0},
        {13, 13},
        {0xFC, 0xFC},          // a Latin-1 locale's ü, one byte
        {0x20AC, 0x20AC},      // a wide character as it stands (0xAC is no lead byte)
        {packed("\xf0\x9f\x98\x80"), 0},  // beyond 16 bits
        {packed("\xc0\xaf"), 0},          // an overlong "/"
        {packed("\xed\xa0\x80"), 0},      // a surrogate
        {0x0000BCE3, 0xBCE3},             // a lead byte short of its followers: kept as it stands
        {0x7FFFFFFF, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(typedCharacter(c.reported), c.character) << std::hex << c.reported;
}
