#pragma once
// Mounted archives and the loaders that recognise them.
//
// Ownership: archives and loaders are engine objects (RefCounted). The file
// system owns one reference to each archive and loader it holds. Files returned
// by an archive are Irrlicht objects; the caller owns one reference and drops it.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/io/PathUtils.h"
#include <algorithm>
#include <vector>

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

// An archive with a directory of entries sorted by name, searched by binary
// search: the zip and asset archives. Entry must extend FileArchiveEntry.
template <class Entry>
class SortedDirectoryArchive : public FileArchive {
public:
    const stringc& getPath() const override { return path_; }
    const stringc& getType() const override { return type_; }
    uint32_t getFileCount() const override { return static_cast<uint32_t>(entries_.size()); }
    irr::io::IReadFile* openFile(const stringc& name) override {
        const int32_t index = findFile(name);
        return index < 0 ? nullptr : openFileByIndex(static_cast<uint32_t>(index));
    }
    int32_t findFile(const stringc& name) const override {
        stringc key = name;
        if (ignoreCase_) key = toLowerAscii(key);
        if (ignorePaths_) key = getFileNamePart(key);
        int32_t low = 0;
        int32_t high = static_cast<int32_t>(entries_.size()) - 1;
        while (low <= high) {
            const int32_t mid = low + (high - low) / 2;
            const int cmp = compareArchiveNames(key, entries_[mid].name);
            if (cmp == 0) return mid;
            if (cmp < 0)
                high = mid - 1;
            else
                low = mid + 1;
        }
        return -1;
    }
    const FileArchiveEntry* getFileEntry(uint32_t index) const override {
        return index < entries_.size() ? &entries_[index] : nullptr;
    }

protected:
    SortedDirectoryArchive(const char* type, bool ignoreCase, bool ignorePaths)
        : ignoreCase_(ignoreCase), ignorePaths_(ignorePaths), type_(type) {}

    // Orders the directory for findFile; equal names keep their file order.
    void sortEntries() {
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return compareArchiveNames(a.name, b.name) < 0;
        });
    }

    std::vector<Entry> entries_;
    bool ignoreCase_;
    bool ignorePaths_;
    stringc type_;
    stringc path_;
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
