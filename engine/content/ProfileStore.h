#pragma once
// The players' options and progress: property sets grouped in one store and
// saved as two files named "profile.dat", one in the per-user data folder (the
// common section and one section per player) and one in the shared data folder
// (the global section). Both pass through a byte-wise XOR with the engine
// setting "ProfilesCryptKey" (empty: stored as plain XML).
//
// Keeping the player's data safe:
// - A save writes "profile.dat.tmp" in the same folder, flushes and fsyncs it,
//   keeps the previous file as "profile.dat.bak" (a hard link, so there is no
//   moment without a "profile.dat") and renames the new file over the old one.
//   A save that fails anywhere leaves the old file as it was. Once the new
//   file reads back as written, the backup is made a copy of it, so that a main
//   file damaged later brings back the last save and not the one before.
// - A file that cannot be read as a profile (empty, truncated, not XML after
//   the XOR, for example written with another key) is logged as an error and
//   moved aside to "profile.dat.bad" (replacing an older one), so no later save
//   can overwrite it; then "profile.dat.bak" is tried. When neither reads, the
//   store keeps its defaults and the load answers false; a backup that cannot
//   be read then is set aside in turn as "profile.dat.bak.bad".
// - A file larger than kMaxFileBytes (far beyond any real profile) is not read
//   at all: it is logged and set aside whole like an unreadable one.
// - What the player must know (progress restored from the backup, progress
//   that could not be read, progress that cannot be saved) waits as a notice
//   for the game to show, each kind once in a run.
#include "engine/content/ProfileParameters.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

class FileSystem;
class PropertySet;

// The engine's file system and settings, where the store finds its folders and
// its key. The device's part of the engine installs the finder
// (registerEngineKinds); without one, or with nulls, the store has no folder
// to load from or save to and no key.
struct ProfileServices {
    FileSystem* fileSystem = nullptr;
    PropertySet* settings = nullptr;
};
using ProfileServicesFinder = ProfileServices (*)();
void setProfileServicesFinder(ProfileServicesFinder finder);

// XORs every byte with the next key byte, the key position starting at the
// first key byte and wrapping after the last. An empty key changes nothing.
void transformProfileData(std::string& data, const stringc& key);

// Something about the saved progress that the player must be told.
struct ProfileNotice {
    enum Kind { None, RestoredFromBackup, Unreadable, CannotSave };
    Kind kind = None;
    // The file set aside (RestoredFromBackup, Unreadable) or the folder that
    // cannot be written (CannotSave).
    std::string path;
};

class ProfileStore : public virtual RefCounted {
public:
    // Real profiles are a few kilobytes; a file beyond this is not a profile.
    static constexpr uint64_t kMaxFileBytes = 4u * 1024u * 1024u;

    ProfileStore();
    ~ProfileStore() override;

    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    ProfileParameters* getCommonDefaults() const { return commonDefaults_.get(); }
    ProfileParameters* getPlayerDefaults() const { return playerDefaults_.get(); }
    ProfileParameters* getGlobalProfile() const { return globalProfile_.get(); }
    ProfileParameters* getCommonProfile() const { return commonProfile_.get(); }
    // The selected player, or null.
    ProfileParameters* getCurrentProfile() const { return current_; }
    uint32_t getProfileCount() const { return static_cast<uint32_t>(players_.size()); }

    // Player file, then shared file, then the common defaults the common
    // profile lacks. True when both files were read (a missing file counts as
    // read: there is nothing to lose). Then tries whether the folders can be
    // written, so that the player hears at once when nothing will be saved.
    bool loadAll();
    // The next notice not yet taken (kind None when none waits). Each kind is
    // given once in the store's life, however often its cause comes back.
    ProfileNotice takeNotice();
    // True when the file was read, or does not exist (nothing changes then);
    // false for a file that could not be read (see above).
    bool loadPlayerProfiles();
    bool loadGlobalProfile();
    // True when the file was written and is in place.
    bool savePlayerProfiles();
    bool saveGlobalProfile();
    // Saves the file that holds the set: common profile or a player -> player
    // file, global profile -> shared file, any other set -> false.
    bool saveParameters(ProfileParameters* parameters);

    // False when a player of that exact name exists. The new player gets the
    // player defaults and is not made current.
    bool addProfile(const stringw& name);
    ProfileParameters* findProfile(const stringw& name) const;
    ProfileParameters* getProfile(uint32_t index) const;
    // Null current player for an index out of range.
    void selectProfile(uint32_t index);
    // No player is current afterwards, whichever was.
    void removeProfile(uint32_t index);

protected:
    // Where the files live and how they are keyed: the engine's file system and
    // settings. Tests point them elsewhere.
    virtual stringc getUserFolder();
    virtual stringc getSharedFolder();
    virtual stringc getCryptKey();

private:
    enum class FileState { Missing, Read, Unreadable, TooLarge };
    // The deciphered bytes of a profile file and whether they form a whole
    // "Profiles" document.
    FileState readProfileFile(const stringc& path, std::string& xml);
    // Reads the path, setting an unreadable file aside and falling back to the
    // backup. True with xml filled when a whole document was found.
    FileState loadDocument(const stringc& folder, std::string& xml);
    bool saveDocument(const stringc& folder, const std::string& xml);
    // Whether a file can be made in the folder; a notice when not.
    bool probeWritable(const stringc& folder);
    void addNotice(ProfileNotice::Kind kind, const std::string& path);
    void applyPlayerDocument(const std::string& xml);
    void applyGlobalDocument(const std::string& xml);

    CountedRef<ProfileParameters> globalProfile_;
    CountedRef<ProfileParameters> commonProfile_;
    CountedRef<ProfileParameters> commonDefaults_;
    CountedRef<ProfileParameters> playerDefaults_;
    ProfileParameters* current_ = nullptr;
    std::vector<CountedRef<ProfileParameters>> players_;
    std::vector<ProfileNotice> notices_;
    bool noticeGiven_[4] = {false, false, false, false};
};

// The process-wide store, made on first use, released at exit.
ProfileStore& getProfileStore();

}  // namespace engine
