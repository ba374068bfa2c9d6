#pragma once
// Builds asset archives (".oca"), the inverse of AssetArchive: a header, the
// entries' data in the order added, then the directory, every byte after the
// header enciphered with the key.
#include "engine/core/Types.h"
#include <string>
#include <vector>

namespace engine {

class AssetArchiveWriter {
public:
    explicit AssetArchiveWriter(const stringc& key) : key_(key) {}

    // Adds an entry. False (with an error logged) for an empty name or one longer
    // than 65535 bytes.
    bool addFile(const stringc& name, const std::string& data);
    // Adds every regular file below the folder, named by its path relative to the
    // folder with '/' separators, in name order. False (with an error logged) when
    // the folder or a file cannot be read.
    bool addFolder(const stringc& folder);

    uint32_t getFileCount() const { return static_cast<uint32_t>(entries_.size()); }

    // The archive's bytes. False (with an error logged) when it would not fit the
    // format's 32-bit offsets.
    bool build(std::string& out) const;
    // Builds the archive and writes it to a file.
    bool write(const stringc& path) const;

private:
    struct Entry {
        stringc name;
        std::string data;
    };
    stringc key_;
    std::vector<Entry> entries_;
};

}  // namespace engine
