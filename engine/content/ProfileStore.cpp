#include "engine/content/ProfileStore.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertySet.h"
#include "engine/core/Singleton.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "engine/io/FileSystem.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

const char* const kFileName = "profile.dat";

ProfileServicesFinder gServicesFinder = nullptr;

ProfileServices findServices() { return gServicesFinder ? gServicesFinder() : ProfileServices(); }

std::string joinPath(const stringc& folder, const char* suffix) {
    return std::string(folder.c_str()) + "/" + kFileName + suffix;
}

bool fileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::string systemError() { return std::strerror(errno); }

// Writes all bytes to a new file, flushed to the disk. Removes it on failure.
bool writeDurably(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        logError(("Could not create profile file " + path + ": " + systemError()).c_str());
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (!ok) logError(("Could not write profile file " + path + ": " + systemError()).c_str());
    if (::close(fd) != 0 && ok) {
        logError(("Could not write profile file " + path + ": " + systemError()).c_str());
        ok = false;
    }
    if (!ok) ::unlink(path.c_str());
    return ok;
}

// The whole file as it is on disk; false when it cannot be read.
bool readBytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return false;
    bytes = out.str();
    return true;
}

// Moves a file that cannot serve as a profile out of the way of later saves;
// its bytes stay as they are for the player.
void setAside(const std::string& path, const std::string& aside) {
    if (::rename(path.c_str(), aside.c_str()) == 0)
        logWarning(("Unreadable profile file kept as " + aside).c_str());
    else
        logError(("Could not set the unreadable profile file aside: " + systemError()).c_str());
}

void syncFolder(const stringc& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A whole "Profiles" document: the root element and its end are both there,
// which a truncated or wrongly keyed file does not have.
bool isWholeDocument(const std::string& xml, const std::string& path) {
    if (xml.empty()) return false;
    CountedRef<XmlReader> reader(new XmlReader(xml.data(), xml.size(), path.c_str()));
    if (!reader->isValid()) return false;
    bool rootSeen = false;
    int depth = 0;
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        if (type == irr::io::EXN_ELEMENT) {
            if (depth == 0) {
                if (reader->getNodeName() != L"Profiles") return false;
                rootSeen = true;
            }
            ++depth;
        } else if (type == irr::io::EXN_ELEMENT_END) {
            --depth;
            if (depth == 0) return rootSeen && reader->getNodeName() == L"Profiles";
        }
    }
    return false;
}

}  // namespace

void transformProfileData(std::string& data, const stringc& key) {
    const uint32_t keyLength = key.size();
    if (keyLength == 0) return;
    uint32_t position = 0;
    for (char& c : data) {
        c = static_cast<char>(c ^ key[position]);
        if (++position == keyLength) position = 0;
    }
}

ProfileStore::ProfileStore()
    : globalProfile_(new ProfileParameters(this)),
      commonProfile_(new ProfileParameters(this)),
      commonDefaults_(new ProfileParameters(this)),
      playerDefaults_(new ProfileParameters(this)) {}

ProfileStore::~ProfileStore() = default;

void setProfileServicesFinder(ProfileServicesFinder finder) { gServicesFinder = finder; }

stringc ProfileStore::getUserFolder() {
    FileSystem* fileSystem = findServices().fileSystem;
    return fileSystem ? fileSystem->getUserDataFolder() : stringc();
}

stringc ProfileStore::getSharedFolder() {
    FileSystem* fileSystem = findServices().fileSystem;
    return fileSystem ? fileSystem->getSharedDataFolder() : stringc();
}

stringc ProfileStore::getCryptKey() {
    PropertySet* settings = findServices().settings;
    return settings ? settings->getString("ProfilesCryptKey") : stringc();
}

bool ProfileStore::loadAll() {
    const bool players = loadPlayerProfiles();
    const bool global = loadGlobalProfile();
    commonProfile_->addMissing(commonDefaults_.get());
    if (probeWritable(getUserFolder())) probeWritable(getSharedFolder());
    return players && global;
}

ProfileNotice ProfileStore::takeNotice() {
    if (notices_.empty()) return ProfileNotice();
    ProfileNotice notice = notices_.front();
    notices_.erase(notices_.begin());
    return notice;
}

void ProfileStore::addNotice(ProfileNotice::Kind kind, const std::string& path) {
    if (kind == ProfileNotice::None || noticeGiven_[kind]) return;
    noticeGiven_[kind] = true;
    ProfileNotice notice;
    notice.kind = kind;
    notice.path = path;
    notices_.push_back(notice);
}

bool ProfileStore::probeWritable(const stringc& folder) {
    if (folder.empty()) return true;  // no folder at all: nothing is meant to be saved
    // The temporary name every save writes first: a file that can be made
    // here means saves can be made.
    const std::string probe = joinPath(folder, ".tmp");
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        logError(("The player's progress cannot be saved: no file can be made in " + std::string(folder.c_str()) +
                  ": " + systemError())
                     .c_str());
        addNotice(ProfileNotice::CannotSave, folder.c_str());
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

ProfileStore::FileState ProfileStore::readProfileFile(const stringc& pathText, std::string& xml) {
    const std::string path(pathText.c_str());
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<uint64_t>(info.st_size) > kMaxFileBytes) {
        // Refused before reading: a file this size would stall the start and
        // fill the memory, and it holds no profile anyway.
        logError(("Profile file is far too large to be a profile (" + std::to_string(info.st_size) +
                  " bytes); it is not read: " + path)
                     .c_str());
        return FileState::TooLarge;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return fileExists(path) ? FileState::Unreadable : FileState::Missing;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        logError(("Could not read profile file " + path).c_str());
        return FileState::Unreadable;
    }
    xml = bytes.str();
    transformProfileData(xml, getCryptKey());
    if (!isWholeDocument(xml, path)) {
        logError(("Profile file is damaged or was written with another key: " + path).c_str());
        return FileState::Unreadable;
    }
    return FileState::Read;
}

ProfileStore::FileState ProfileStore::loadDocument(const stringc& folder, std::string& xml) {
    if (folder.empty()) return FileState::Missing;
    const std::string path = joinPath(folder, "");
    const std::string backup = joinPath(folder, ".bak");
    const std::string aside = joinPath(folder, ".bad");
    FileState state = readProfileFile(path.c_str(), xml);
    if (state == FileState::Read) return state;
    // Out of the way of the next save, but kept for the player.
    if (state != FileState::Missing) setAside(path, aside);
    const FileState backupState = readProfileFile(backup.c_str(), xml);
    if (backupState == FileState::Read) {
        logWarning(("Profile restored from the backup " + backup).c_str());
        addNotice(ProfileNotice::RestoredFromBackup, state != FileState::Missing ? aside : path);
        return FileState::Read;
    }
    if (state == FileState::Missing && backupState == FileState::Missing) return FileState::Missing;
    // A save after this one makes a new backup: the old one is kept too.
    if (backupState != FileState::Missing) setAside(backup, joinPath(folder, ".bak.bad"));
    addNotice(ProfileNotice::Unreadable, state != FileState::Missing ? aside : joinPath(folder, ".bak.bad"));
    return FileState::Unreadable;
}

bool ProfileStore::saveDocument(const stringc& folder, const std::string& xmlBytes) {
    if (folder.empty()) {
        logError("No data folder for the profile file.");
        return false;
    }
    std::string bytes = xmlBytes;
    transformProfileData(bytes, getCryptKey());
    const std::string path = joinPath(folder, "");
    const std::string temporary = joinPath(folder, ".tmp");
    const std::string backup = joinPath(folder, ".bak");
    if (!writeDurably(temporary, bytes)) {
        addNotice(ProfileNotice::CannotSave, folder.c_str());
        return false;
    }
    // The previous file stays reachable as the backup; a hard link leaves the
    // current name in place until the rename replaces it in one step.
    if (fileExists(path)) {
        ::unlink(backup.c_str());
        if (::link(path.c_str(), backup.c_str()) != 0)
            logWarning(("Could not keep a backup of the profile file: " + systemError()).c_str());
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        logError(("Could not replace the profile file " + path + ": " + systemError()).c_str());
        ::unlink(temporary.c_str());
        addNotice(ProfileNotice::CannotSave, folder.c_str());
        return false;
    }
    syncFolder(folder);
    // The new file reads back as written: the backup may hold the same data
    // now, as a file of its own, so that damage to the main file later still
    // brings back this save. Until then it holds the previous one.
    std::string written;
    if (readBytes(path, written) && written == bytes) {
        const std::string backupTemporary = joinPath(folder, ".bak.tmp");
        if (writeDurably(backupTemporary, bytes) && ::rename(backupTemporary.c_str(), backup.c_str()) != 0) {
            logWarning(("Could not bring the profile backup up to date: " + systemError()).c_str());
            ::unlink(backupTemporary.c_str());
        }
        syncFolder(folder);
    } else {
        logError(("The saved profile file does not read back as written: " + path).c_str());
    }
    return true;
}

void ProfileStore::applyPlayerDocument(const std::string& xml) {
    CountedRef<XmlReader> reader(new XmlReader(xml.data(), xml.size(), kFileName));
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader->getDepth() == 0) break;  // the root's end
        if (type != irr::io::EXN_ELEMENT) continue;
        if (reader->getNodeName() == L"CommonProfile") {
            commonProfile_->read(reader.get());
        } else if (reader->getNodeName() == L"Profile") {
            const stringw name = reader->getAttributeValue(L"Name");
            const stringw active = reader->getAttributeValue(L"Active");
            if (!name.empty() && addProfile(name)) {
                ProfileParameters* player = players_.back().get();
                player->read(reader.get());
                player->addMissing(playerDefaults_.get());
                if (active == L"true") current_ = player;
            } else {
                // Skipped whole, so its keys reach no other section.
                ProfileParameters ignored;
                ignored.read(reader.get());
            }
        }
    }
}

void ProfileStore::applyGlobalDocument(const std::string& xml) {
    CountedRef<XmlReader> reader(new XmlReader(xml.data(), xml.size(), kFileName));
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader->getDepth() == 0) break;  // the root's end
        if (type == irr::io::EXN_ELEMENT && reader->getNodeName() == L"GlobalProfile")
            globalProfile_->read(reader.get());
    }
}

bool ProfileStore::loadPlayerProfiles() {
    std::string xml;
    const FileState state = loadDocument(getUserFolder(), xml);
    if (state != FileState::Read) return state == FileState::Missing;
    applyPlayerDocument(xml);
    return true;
}

bool ProfileStore::loadGlobalProfile() {
    std::string xml;
    const FileState state = loadDocument(getSharedFolder(), xml);
    if (state != FileState::Read) return state == FileState::Missing;
    applyGlobalDocument(xml);
    return true;
}

bool ProfileStore::savePlayerProfiles() {
    CountedRef<XmlWriter> writer(new XmlWriter());
    writer->writeXMLHeader();
    writer->writeElement(L"Profiles");
    writer->writeLineBreak();
    writer->writeElement(L"CommonProfile");
    writer->writeLineBreak();
    commonProfile_->write(writer.get());
    writer->writeClosingTag(L"CommonProfile");
    writer->writeLineBreak();
    for (const CountedRef<ProfileParameters>& player : players_) {
        const bool active = player.get() == current_;
        writer->writeElement(L"Profile", false, L"Name", player->getPlayerName().c_str(),
                             active ? L"Active" : nullptr, active ? L"true" : nullptr);
        writer->writeLineBreak();
        player->write(writer.get());
        writer->writeClosingTag(L"Profile");
        writer->writeLineBreak();
    }
    writer->writeClosingTag(L"Profiles");
    writer->writeLineBreak();
    if (!writer->close()) return false;
    return saveDocument(getUserFolder(), writer->getBuffer());
}

bool ProfileStore::saveGlobalProfile() {
    CountedRef<XmlWriter> writer(new XmlWriter());
    writer->writeXMLHeader();
    writer->writeElement(L"Profiles");
    writer->writeLineBreak();
    writer->writeElement(L"GlobalProfile");
    writer->writeLineBreak();
    globalProfile_->write(writer.get());
    writer->writeClosingTag(L"GlobalProfile");
    writer->writeLineBreak();
    writer->writeClosingTag(L"Profiles");
    writer->writeLineBreak();
    if (!writer->close()) return false;
    return saveDocument(getSharedFolder(), writer->getBuffer());
}

bool ProfileStore::saveParameters(ProfileParameters* parameters) {
    if (!parameters) return false;
    if (parameters == globalProfile_.get()) return saveGlobalProfile();
    if (parameters == commonProfile_.get()) return savePlayerProfiles();
    for (const CountedRef<ProfileParameters>& player : players_)
        if (player.get() == parameters) return savePlayerProfiles();
    return false;
}

bool ProfileStore::addProfile(const stringw& name) {
    if (findProfile(name)) return false;
    CountedRef<ProfileParameters> player(new ProfileParameters(this, name));
    player->addMissing(playerDefaults_.get());
    players_.push_back(player);
    return true;
}

ProfileParameters* ProfileStore::findProfile(const stringw& name) const {
    for (const CountedRef<ProfileParameters>& player : players_)
        if (player->getPlayerName() == name) return player.get();
    return nullptr;
}

ProfileParameters* ProfileStore::getProfile(uint32_t index) const {
    return index < players_.size() ? players_[index].get() : nullptr;
}

void ProfileStore::selectProfile(uint32_t index) { current_ = getProfile(index); }

void ProfileStore::removeProfile(uint32_t index) {
    if (index >= players_.size()) return;
    players_.erase(players_.begin() + index);
    current_ = nullptr;
}

ProfileStore& getProfileStore() { return EngineSingleton<ProfileStore>::Instance(); }

}  // namespace engine
