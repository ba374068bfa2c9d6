#include "engine/io/FileSystem.h"
#include "engine/core/Logger.h"
#include "engine/core/XmlReader.h"
#include "engine/io/AssetArchive.h"
#include "engine/io/DiskFile.h"
#include "engine/io/MemoryFile.h"
#include "engine/io/PathUtils.h"
#include "engine/io/ZipArchive.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace irr {
namespace io {
// Exported by Irrlicht but not declared in its public headers: a file system
// without a device, used here for its XML reader and file list.
IFileSystem* createFileSystem();
}  // namespace io
}  // namespace irr

namespace engine {

FileSystem::FileSystem() {
    loaders_.push_back(new AssetArchiveLoader(this));
    loaders_.push_back(new ZipArchiveLoader(this));
    loaders_.push_back(new MountPointArchiveLoader(this));
    randomSource_ = [generator = std::mt19937(5489u)]() mutable { return static_cast<uint32_t>(generator()); };
}

FileSystem::~FileSystem() {
    for (FileArchive* archive : archives_) archive->release();
    for (ArchiveLoader* loader : loaders_) loader->release();
    if (irrFileSystem_) irrFileSystem_->drop();
}

irr::io::IFileSystem* FileSystem::irrFileSystem() {
    if (!irrFileSystem_) irrFileSystem_ = irr::io::createFileSystem();
    return irrFileSystem_;
}

void FileSystem::setRandomSource(std::function<uint32_t()> source) {
    if (source) randomSource_ = std::move(source);
}

// ---------------------------------------------------------------- plain files

bool FileSystem::existFile(const stringc& path, bool includeArchives) {
    if (includeArchives) {
        for (FileArchive* archive : archives_)
            if (archive->findFile(path) != -1) return true;
    }
    irr::io::IReadFile* file = DiskReadFile::open(toForwardSlashes(path), path);
    if (!file) return false;
    file->drop();
    return true;
}

bool FileSystem::removeFile(const stringc& path) {
    // unlink, not remove: a folder is never removed as a file.
    return path.size() != 0 && ::unlink(toForwardSlashes(path).c_str()) == 0;
}

bool FileSystem::renameFile(const stringc& oldPath, const stringc& newPath) {
    if (oldPath.size() == 0 || newPath.size() == 0) return false;
    return std::rename(toForwardSlashes(oldPath).c_str(), toForwardSlashes(newPath).c_str()) == 0;
}

stringc FileSystem::makeUniqueFileName(const stringc& folder, const stringc& prefix) {
    for (;;) {
        char digits[16];
        std::snprintf(digits, sizeof(digits), "%06u", randomSource_() % 999999u);
        stringc candidate = prefix;
        candidate += digits;
        stringc full = folder;
        full += "/";
        full += candidate;
        if (!existFile(full, false)) return candidate;
    }
}

irr::io::IReadFile* FileSystem::createAndOpenFile(const stringc& path) {
    if (path.size() == 0) return nullptr;
    if (irr::io::IReadFile* file = DiskReadFile::open(toForwardSlashes(path), path)) return file;
    for (FileArchive* archive : archives_)
        if (irr::io::IReadFile* file = archive->openFile(path)) return file;
    return nullptr;
}

irr::io::IReadFile* FileSystem::createMemoryReadFile(void* memory, int32_t size, const stringc& name,
                                                     bool deleteWhenDropped) {
    if (!memory || size < 0) return nullptr;
    return new MemoryFile(memory, size, name, deleteWhenDropped);
}

irr::io::IWriteFile* FileSystem::createMemoryWriteFile(void* memory, int32_t size, const stringc& name,
                                                       bool deleteWhenDropped) {
    if (!memory || size < 0) return nullptr;
    return new MemoryFile(memory, size, name, deleteWhenDropped);
}

irr::io::IWriteFile* FileSystem::createAndWriteFile(const stringc& path, bool append) {
    if (path.size() == 0) return nullptr;
    return irr::io::createWriteFile(toForwardSlashes(path), append);
}

// ---------------------------------------------------------------- archives

FileArchive* FileSystem::createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) {
    for (ArchiveLoader* loader : loaders_) {
        file->seek(0);
        if (!loader->canLoadFile(file)) continue;
        file->seek(0);
        if (FileArchive* archive = loader->createArchiveFromFile(file, ignoreCase, ignorePaths)) return archive;
    }
    return nullptr;
}

void FileSystem::appendArchive(FileArchive* archive) { archives_.push_back(archive); }

bool FileSystem::addFileArchive(const stringc& path, bool ignoreCase, bool ignorePaths) {
    FileArchive* archive = nullptr;
    for (ArchiveLoader* loader : loaders_) {
        if (!loader->canLoadName(path)) continue;
        archive = loader->createArchiveFromName(path, ignoreCase, ignorePaths);
        if (archive) break;
    }
    if (!archive) {
        if (irr::io::IReadFile* file = createAndOpenFile(path)) {
            archive = createArchiveFromFile(file, ignoreCase, ignorePaths);
            file->drop();
        }
    }
    if (!archive) {
        getLogger().log("Could not create archive for", path.c_str(), LOG_ERROR);
        return false;
    }
    appendArchive(archive);
    return true;
}

bool FileSystem::addFileArchive(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) {
    if (!file) return false;
    FileArchive* archive = createArchiveFromFile(file, ignoreCase, ignorePaths);
    if (!archive) {
        getLogger().log("Could not create archive for", file->getFileName().c_str(), LOG_ERROR);
        return false;
    }
    appendArchive(archive);
    return true;
}

void FileSystem::removeFileArchive(FileArchive* archive) {
    auto it = std::find(archives_.begin(), archives_.end(), archive);
    if (it == archives_.end()) return;
    archives_.erase(it);
    archive->release();
}

uint32_t FileSystem::getFileArchiveCount() const { return static_cast<uint32_t>(archives_.size()); }

FileArchive* FileSystem::getFileArchive(uint32_t index) const {
    return index < archives_.size() ? archives_[index] : nullptr;
}

void FileSystem::addArchiveLoader(ArchiveLoader* loader) {
    if (loader) loaders_.push_back(loader);
}

// ---------------------------------------------------------------- XML and lists

XmlReader* FileSystem::createXMLReader(irr::io::IReadFile* file) { return file ? new XmlReader(file) : nullptr; }

XmlReader* FileSystem::createXMLReader(const stringc& path) {
    irr::io::IReadFile* file = createAndOpenFile(path);
    if (!file) return nullptr;
    XmlReader* reader = createXMLReader(file);
    file->drop();
    return reader;
}

irr::io::IFileList* FileSystem::createFileList() {
    irr::io::IFileSystem* fs = irrFileSystem();
    if (!fs) return nullptr;
    // Irrlicht lists its own idea of the working directory; keep it current.
    fs->changeWorkingDirectoryTo(getWorkingDirectory());
    return fs->createFileList();
}

// ---------------------------------------------------------------- folders

stringc FileSystem::getAbsolutePath(const stringc& path) {
    if (path.size() == 0) return stringc();
    std::filesystem::path p(toForwardSlashes(path).c_str());
    if (!p.is_absolute()) {
        const stringc cwd = getWorkingDirectory();
        if (cwd.size() == 0) return stringc();
        p = std::filesystem::path(cwd.c_str()) / p;
    }
    return stringc(p.lexically_normal().generic_string().c_str());
}

stringc FileSystem::getWorkingDirectory() {
    char buffer[4096];
    if (!::getcwd(buffer, sizeof(buffer))) return stringc();
    return stringc(buffer);
}

bool FileSystem::changeWorkingDirectoryTo(const stringc& path) {
    return path.size() != 0 && ::chdir(toForwardSlashes(path).c_str()) == 0;
}

stringc FileSystem::getUserDataFolder() { return stringc(); }

stringc FileSystem::getSharedDataFolder() { return stringc(); }

// ---------------------------------------------------------------- EngineFileSystem

namespace {

// Appends "/name" to the folder; an empty name adds nothing.
void appendFolder(stringc& folder, const stringc& name) {
    if (name.size() == 0) return;
    folder += "/";
    folder += name;
}

// The user's data home: $XDG_DATA_HOME when it is absolute, else ~/.local/share.
stringc dataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return stringc(xdg);
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') return stringc();
    stringc out(home);
    out += "/.local/share";
    return out;
}

// Creates every missing level of an absolute folder path. Failures show later,
// when files in the folder cannot be written.
void createFolders(const stringc& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder.c_str(), ignored);
}

}  // namespace

bool EngineFileSystem::existFile(const stringc& path, bool includeArchives) {
    if (includeArchives) {
        for (uint32_t i = 0; i < getFileArchiveCount(); ++i)
            if (getFileArchive(i)->findFile(path) != -1) return true;
    }
    struct stat info {};
    return path.size() != 0 && ::stat(toForwardSlashes(path).c_str(), &info) == 0;
}

stringc EngineFileSystem::getUserDataFolder() {
    stringc folder = dataHome();
    if (folder.size() == 0) return folder;
    while (folder.size() > 1 && folder[folder.size() - 1] == '/') folder = folder.subString(0, folder.size() - 1);
    appendFolder(folder, getPublisherName());
    appendFolder(folder, getTitleName());
    createFolders(folder);
    return folder;
}

stringc EngineFileSystem::getSharedDataFolder() {
    stringc folder = getUserDataFolder();
    if (folder.size() == 0) return folder;
    appendFolder(folder, "Shared");
    createFolders(folder);
    return folder;
}

}  // namespace engine
