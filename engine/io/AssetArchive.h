#pragma once
// The engine's packed, enciphered archive (".oca").
//
// Layout (little-endian): "OCA\0", directory offset, entry count, 4 reserved
// bytes; then entry data and the directory. Every byte from offset 16 on is
// XORed with key byte (offset - 16) mod key length; an empty key enciphers
// nothing. A directory record is: name length (16 bits), name, data offset
// (32 bits, from the file start), data size (32 bits).
#include "engine/io/FileArchive.h"
#include <vector>

namespace engine {

class FileSystem;

inline constexpr uint32_t AssetArchiveMagic = 0x0041434F;  // "OCA\0"
inline constexpr uint32_t AssetArchiveHeaderSize = 16;

// XORs len bytes with the key from key position *keyPos, and advances *keyPos.
// An empty key leaves the bytes as they are.
void decipherAssetBlock(char* data, uint32_t len, const stringc& key, uint32_t* keyPos);
// The key position of the byte at a file offset (offset >= 16).
uint32_t assetKeyPosition(uint32_t fileOffset, const stringc& key);

struct AssetEntry : FileArchiveEntry {
    uint32_t offset = 0;
    uint32_t size = 0;
};

class AssetArchive : public SortedDirectoryArchive<AssetEntry> {
public:
    // Reads the directory with the given key. Null, with an error logged, when
    // the header is not an asset archive's, or a record is truncated or points
    // outside the file (what a wrong key usually produces). The archive takes its
    // own reference to the file.
    static AssetArchive* create(irr::io::IReadFile* file, const stringc& key, bool ignoreCase, bool ignorePaths);
    ~AssetArchive() override;

    // The entry deciphered into a memory file; null for an entry of size 0.
    irr::io::IReadFile* openFileByIndex(uint32_t index) override;

private:
    AssetArchive(irr::io::IReadFile* file, const stringc& key, bool ignoreCase, bool ignorePaths);
    bool readDirectory();

    stringc key_;
    irr::io::IReadFile* file_;
};

class AssetArchiveLoader : public ArchiveLoader {
public:
    explicit AssetArchiveLoader(FileSystem* fileSystem) : fileSystem_(fileSystem) {}
    // The file starts with the magic.
    bool canLoadFile(irr::io::IReadFile* file) override;
    // Extension "oca", any case.
    bool canLoadName(const stringc& path) override;
    // Uses the file system's assets key at the time of the call.
    FileArchive* createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) override;
    FileArchive* createArchiveFromName(const stringc& path, bool ignoreCase, bool ignorePaths) override;

private:
    FileSystem* fileSystem_;  // not counted
};

}  // namespace engine
