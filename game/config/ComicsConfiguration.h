#pragma once
// Holder of the comics and where they play. Its reader arrives with the game's
// configuration readers; until then a document is accepted and nothing kept.
#include "engine/core/RefCounted.h"
#include "engine/core/XmlReader.h"

namespace game {

class ComicsConfiguration : public virtual engine::RefCounted {
public:
    // Reads the document anew; true when the reader held one.
    bool readComicsConfiguration(engine::XmlReader& reader) { return reader.isValid(); }
};

}  // namespace game
