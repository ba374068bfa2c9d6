#pragma once
// The list of logos the game shows at start, read from "logos/Logos.xml".
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <deque>
#include <vector>

namespace engine {
class XmlReader;
}

namespace game {

struct LogoEntry {
    engine::stringc image;  // atlas texture path
    int32_t timeMs = 0;
    bool skippable = false;
};

struct MenuLogoEntry {
    engine::stringc image;
    engine::vector2df position;
    engine::stringc url;
};

class GLogosConfiguration : public virtual engine::RefCounted {
public:
    // Appends every "Logo" and "MMLogo" element, at any depth, up to the end
    // of "Logos" or of the input.
    void read(engine::XmlReader& reader);

    // Consumed by the logos scene from the front.
    std::deque<LogoEntry> logos;
    std::vector<MenuLogoEntry> menuLogos;
};

}  // namespace game
