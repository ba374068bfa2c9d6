#include "engine/content/ProfileParameters.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

namespace {
const stringw kParameters(L"Parameters");
}

ProfileParameters::ProfileParameters(ProfileStore* owner, const stringw& playerName)
    : PropertySet(nullptr), owner_(owner), playerName_(playerName) {}

bool ProfileParameters::read(XmlReader* reader) {
    if (!reader) return false;
    clear();
    if (reader->finishEmptyElement()) return true;
    // The section's own end closes the loop, so an empty or missing
    // "Parameters" never lets the read run into the next section.
    const int32_t depth = reader->getDepth();
    while (reader->readInside(depth)) {
        if (reader->getNodeType() == irr::io::EXN_ELEMENT && reader->getNodeName() == kParameters)
            PropertySet::read(reader, true, kParameters);
    }
    return true;
}

bool ProfileParameters::write(XmlWriter* writer) const {
    if (!writer) return false;
    return PropertySet::write(writer, false, kParameters, true);
}

void ProfileParameters::addMissing(const PropertySet* other) {
    if (!other || other == this) return;
    for (uint32_t i = 0; i < other->getCount(); ++i) {
        const stringc& name = other->getNameAt(i);
        if (indexOf(name) < 0) add(name, other->getDataAt(i));
    }
}

void ProfileParameters::save() {
    if (owner_) owner_->saveParameters(this);
}

}  // namespace engine
