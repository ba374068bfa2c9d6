#pragma once
// Mounted archives and the loaders that recognise them.
//
// Ownership: archives and loaders are engine objects (RefCounted). The file
// system owns one reference to each archive and loader it holds. Files returned
// by an archive are Irrlicht objects; the caller owns one reference and drops it.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"

namespace engine {

// The part of a directory record every archive kind has: the name an entry is
// found by. Zip and asset archives extend it with their own fields.
struct FileArchiveEntry {
    stringc name;
};

class FileArchive : public virtual RefCounted {
public:
    // The archive's path with '/' separators.
    virtual const stringc& getPath() const = 0;
    // "zip", "mount" or "oca".
    virtual const stringc& getType() const = 0;
    virtual uint32_t getFileCount() const = 0;
    // A new file (one reference for the caller), or null.
    virtual irr::io::IReadFile* openFileByIndex(uint32_t index) = 0;
    virtual irr::io::IReadFile* openFile(const stringc& name) = 0;
    // Index of the entry with that name, -1 when absent.
    virtual int32_t findFile(const stringc& name) const = 0;
    // The entry record (owned by the archive), or null out of range.
    virtual const FileArchiveEntry* getFileEntry(uint32_t index) const = 0;
};

class ArchiveLoader : public virtual RefCounted {
public:
    // A test of the file's content, from its current position.
    virtual bool canLoadFile(irr::io::IReadFile* file) = 0;
    // A test of the name.
    virtual bool canLoadName(const stringc& path) = 0;
    // A new archive (one reference for the caller), or null. The archive takes
    // its own reference to the file.
    virtual FileArchive* createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) = 0;
    virtual FileArchive* createArchiveFromName(const stringc& path, bool ignoreCase, bool ignorePaths) = 0;
};

}  // namespace engine
