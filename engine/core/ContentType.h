#pragma once
#include <cstdint>

namespace engine {

// A content type code: four characters packed with the first in the lowest
// byte, so the bytes in memory read the code from left to right. Messages print
// it as an unsigned decimal number ('snod' is 1685024371).
using ContentTypeCode = uint32_t;

constexpr ContentTypeCode makeContentType(char c0, char c1, char c2, char c3) {
    return static_cast<ContentTypeCode>(static_cast<unsigned char>(c0)) |
           static_cast<ContentTypeCode>(static_cast<unsigned char>(c1)) << 8 |
           static_cast<ContentTypeCode>(static_cast<unsigned char>(c2)) << 16 |
           static_cast<ContentTypeCode>(static_cast<unsigned char>(c3)) << 24;
}

namespace ContentType {
constexpr ContentTypeCode SoundPack = makeContentType('s', 'n', 'd', 'p');
constexpr ContentTypeCode Sound = makeContentType('i', 's', 'n', 'd');
constexpr ContentTypeCode ParticleEmitter = makeContentType('p', 'e', 'm', 't');
constexpr ContentTypeCode ParticleCollection = makeContentType('p', 'r', 't', 'c');
constexpr ContentTypeCode Font = makeContentType('f', 'o', 'n', 't');
constexpr ContentTypeCode SceneNode = makeContentType('s', 'n', 'o', 'd');
constexpr ContentTypeCode Image = makeContentType('i', 'm', 'a', 'g');
constexpr ContentTypeCode AtlasTextureCollection = makeContentType('a', 't', 'x', 'c');
constexpr ContentTypeCode AtlasTexture = makeContentType('a', 't', 'e', 'x');
constexpr ContentTypeCode Texture = makeContentType('i', 't', 'e', 'x');
}  // namespace ContentType

static_assert(ContentType::SceneNode == 1685024371u, "first character in the lowest byte");

}  // namespace engine
