#pragma once
// Zip files and folders mounted as archives.
#include "engine/io/FileArchive.h"
#include <vector>

namespace engine {

class FileSystem;

// One entry of a zip file, from its local header.
struct ZipEntry : FileArchiveEntry {
    // name (the base's field): the name the entry is found by — the full name,
    // or only its file-name part when the archive ignores paths.
    stringc path;      // folder part of the stored name, up to and including its last '/'
    stringc fullName;  // the name as stored (lower-cased when the archive ignores case)
    uint32_t dataPosition = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t compressionMethod = 0;
    uint16_t modificationTime = 0;
    uint16_t modificationDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
};

// A zip file read from its local headers. Stored entries are read in place
// through a section reader; deflated entries are inflated whole into memory.
class ZipArchive : public SortedDirectoryArchive<ZipEntry> {
public:
    // Reads the local headers from the file's current position. Null, with an
    // error logged, when a header is damaged or truncated or an entry's sizes
    // live in a data descriptor. The archive takes its own reference to the file.
    static ZipArchive* create(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths);
    ~ZipArchive() override;

    // Null, with "Error decompressing %s" logged, when a deflated entry does not
    // inflate to exactly its declared size.
    irr::io::IReadFile* openFileByIndex(uint32_t index) override;

private:
    ZipArchive(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths);
    bool readEntries();
    irr::io::IReadFile* inflateEntry(const ZipEntry& entry);

    irr::io::IReadFile* file_;
};

// A folder on disk as an archive: names are looked up relative to it, and files
// added to or removed from it later are seen.
class MountPointArchive : public FileArchive {
public:
    // absolutePath: the folder's absolute path; stored with '/' and a final '/'.
    explicit MountPointArchive(const stringc& absolutePath);

    const stringc& getPath() const override { return path_; }
    const stringc& getType() const override { return type_; }
    uint32_t getFileCount() const override { return 0; }
    irr::io::IReadFile* openFileByIndex(uint32_t) override { return nullptr; }
    // A file over mount path + name, reporting the name as asked; null when that
    // is no regular file.
    irr::io::IReadFile* openFile(const stringc& name) override;
    // 1 when the file opens (1 is no index), -1 otherwise.
    int32_t findFile(const stringc& name) const override;
    const FileArchiveEntry* getFileEntry(uint32_t) const override { return nullptr; }

private:
    stringc type_;
    stringc path_;
};

class ZipArchiveLoader : public ArchiveLoader {
public:
    explicit ZipArchiveLoader(FileSystem* fileSystem) : fileSystem_(fileSystem) {}
    // The four bytes at the file's position are a local header signature.
    bool canLoadFile(irr::io::IReadFile* file) override;
    // Extension "zip" or "pk3", any case.
    bool canLoadName(const stringc& path) override;
    FileArchive* createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) override;
    // Opens the path through the file system, so a zip may sit inside an archive
    // mounted earlier.
    FileArchive* createArchiveFromName(const stringc& path, bool ignoreCase, bool ignorePaths) override;

private:
    FileSystem* fileSystem_;  // not counted: the file system owns the loader
};

class MountPointArchiveLoader : public ArchiveLoader {
public:
    explicit MountPointArchiveLoader(FileSystem* fileSystem) : fileSystem_(fileSystem) {}
    bool canLoadFile(irr::io::IReadFile*) override { return false; }
    // A path whose last component has no extension, or that names a folder.
    bool canLoadName(const stringc& path) override;
    FileArchive* createArchiveFromFile(irr::io::IReadFile*, bool, bool) override { return nullptr; }
    // A mount point when the path is a folder that can be entered; null otherwise.
    FileArchive* createArchiveFromName(const stringc& path, bool ignoreCase, bool ignorePaths) override;

private:
    FileSystem* fileSystem_;  // not counted
};

}  // namespace engine
