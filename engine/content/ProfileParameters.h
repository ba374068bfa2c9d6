#pragma once
// One section of the player profiles: a property set read and written as an
// element named "Parameters", with the player's name (empty for the common and
// global sections) and the store that saves it.
#include "engine/core/PropertySet.h"
#include "engine/core/Types.h"

namespace engine {

class ProfileStore;
class XmlReader;
class XmlWriter;

class ProfileParameters : public PropertySet {
public:
    explicit ProfileParameters(ProfileStore* owner = nullptr, const stringw& playerName = stringw());

    const stringw& getPlayerName() const { return playerName_; }
    void setPlayerName(const stringw& name) { playerName_ = name; }
    ProfileStore* getOwner() const { return owner_; }

    // Reads the "Parameters" element inside the section element the reader
    // stands on, consuming the section up to its end. False for no reader.
    bool read(XmlReader* reader);
    // The "Parameters" element with the entries; false for no writer.
    bool write(XmlWriter* writer) const;
    // Adds, in order, every entry of the other set whose name this set lacks,
    // sharing the value object.
    void addMissing(const PropertySet* other);
    // Asks the owner to save the file that holds this set.
    void save();

private:
    ProfileStore* owner_;
    stringw playerName_;
};

}  // namespace engine
