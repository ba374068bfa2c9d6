#include "engine/io/AssetArchive.h"
#include "engine/core/Logger.h"
#include "engine/io/FileSystem.h"
#include "engine/io/MemoryFile.h"
#include "engine/io/PathUtils.h"

#include <algorithm>
#include <climits>
#include <new>

namespace engine {

namespace {

uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// The smallest directory record: a name length and the two numbers.
constexpr uint32_t MinRecordSize = 2 + 8;

}  // namespace

void decipherAssetBlock(char* data, uint32_t len, const stringc& key, uint32_t* keyPos) {
    const uint32_t keyLen = key.size();
    if (keyLen == 0) return;
    uint32_t p = *keyPos % keyLen;
    const char* k = key.c_str();
    for (uint32_t i = 0; i < len; ++i) {
        data[i] = static_cast<char>(data[i] ^ k[p]);
        if (++p == keyLen) p = 0;
    }
    *keyPos = p;
}

uint32_t assetKeyPosition(uint32_t fileOffset, const stringc& key) {
    return key.size() == 0 ? 0 : (fileOffset - AssetArchiveHeaderSize) % key.size();
}

// ---------------------------------------------------------------- AssetArchive

AssetArchive::AssetArchive(irr::io::IReadFile* file, const stringc& key, bool ignoreCase, bool ignorePaths)
    : SortedDirectoryArchive("oca", ignoreCase, ignorePaths), key_(key), file_(file) {
    file_->grab();
    path_ = toForwardSlashes(file_->getFileName());
}

AssetArchive::~AssetArchive() { file_->drop(); }

AssetArchive* AssetArchive::create(irr::io::IReadFile* file, const stringc& key, bool ignoreCase, bool ignorePaths) {
    if (!file) return nullptr;
    AssetArchive* archive = new AssetArchive(file, key, ignoreCase, ignorePaths);
    if (!archive->readDirectory()) {
        archive->release();
        return nullptr;
    }
    return archive;
}

bool AssetArchive::readDirectory() {
    const int64_t fileSize = file_->getSize();
    unsigned char header[AssetArchiveHeaderSize];
    if (!file_->seek(0) || file_->read(header, AssetArchiveHeaderSize) != static_cast<irr::s32>(AssetArchiveHeaderSize) ||
        le32(header) != AssetArchiveMagic) {
        getLogger().log("Not an asset archive", path_.c_str(), LOG_ERROR);
        return false;
    }
    const uint32_t directoryOffset = le32(header + 4);
    const uint32_t count = le32(header + 8);

    // Every record must fit between the directory offset and the end of the file.
    bool ok = directoryOffset >= AssetArchiveHeaderSize && directoryOffset <= fileSize &&
              count <= static_cast<uint64_t>(fileSize - directoryOffset) / MinRecordSize &&
              file_->seek(static_cast<long>(directoryOffset));
    uint32_t keyPos = assetKeyPosition(directoryOffset, key_);
    if (ok) entries_.reserve(count);

    std::vector<char> record;
    for (uint32_t i = 0; ok && i < count; ++i) {
        char lengthBytes[2];
        if (file_->read(lengthBytes, 2) != 2) {
            ok = false;
            break;
        }
        decipherAssetBlock(lengthBytes, 2, key_, &keyPos);
        const uint16_t nameLength = le16(reinterpret_cast<const unsigned char*>(lengthBytes));
        record.resize(nameLength + 8u);
        if (file_->read(record.data(), nameLength + 8u) != static_cast<irr::s32>(nameLength + 8u)) {
            ok = false;
            break;
        }
        decipherAssetBlock(record.data(), nameLength + 8u, key_, &keyPos);

        AssetEntry entry;
        entry.name = stringc(record.data(), nameLength);
        entry.offset = le32(reinterpret_cast<const unsigned char*>(record.data()) + nameLength);
        entry.size = le32(reinterpret_cast<const unsigned char*>(record.data()) + nameLength + 4);
        // Data outside the file is what a wrong key or a cut file produces.
        if (entry.offset < AssetArchiveHeaderSize || static_cast<int64_t>(entry.offset) + entry.size > fileSize) {
            ok = false;
            break;
        }
        entries_.push_back(std::move(entry));
    }

    if (!ok) {
        getLogger().log("Unable to read file description", path_.c_str(), LOG_ERROR);
        entries_.clear();
        return false;
    }
    sortEntries();
    return true;
}

irr::io::IReadFile* AssetArchive::openFileByIndex(uint32_t index) {
    if (index >= entries_.size()) return nullptr;
    const AssetEntry& entry = entries_[index];
    if (entry.size == 0 || entry.size > INT32_MAX) return nullptr;

    char* block = new (std::nothrow) char[entry.size];
    if (!block) {
        getLogger().log("Not enough memory for decompressing %s", entry.name.c_str(), LOG_ERROR);
        return nullptr;
    }
    if (!file_->seek(static_cast<long>(entry.offset)) ||
        file_->read(block, entry.size) != static_cast<irr::s32>(entry.size)) {
        delete[] block;
        getLogger().log("Unable to read file data", entry.name.c_str(), LOG_ERROR);
        return nullptr;
    }
    uint32_t keyPos = assetKeyPosition(entry.offset, key_);
    decipherAssetBlock(block, entry.size, key_, &keyPos);
    return new MemoryFile(block, static_cast<int32_t>(entry.size), entry.name, true);
}

// ---------------------------------------------------------------- loader

bool AssetArchiveLoader::canLoadFile(irr::io::IReadFile* file) {
    if (!file || !file->seek(0)) return false;
    unsigned char header[AssetArchiveHeaderSize];
    const irr::s32 got = file->read(header, AssetArchiveHeaderSize);
    file->seek(0);
    return got == static_cast<irr::s32>(AssetArchiveHeaderSize) && le32(header) == AssetArchiveMagic;
}

bool AssetArchiveLoader::canLoadName(const stringc& path) {
    return equalsIgnoreCaseAscii(getFileExtension(path), "oca");
}

FileArchive* AssetArchiveLoader::createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) {
    if (!file) return nullptr;
    file->seek(0);
    return AssetArchive::create(file, fileSystem_->getAssetsCryptKey(), ignoreCase, ignorePaths);
}

FileArchive* AssetArchiveLoader::createArchiveFromName(const stringc& path, bool ignoreCase, bool ignorePaths) {
    irr::io::IReadFile* file = fileSystem_->createAndOpenFile(path);
    if (!file) return nullptr;
    FileArchive* archive = createArchiveFromFile(file, ignoreCase, ignorePaths);
    file->drop();
    return archive;
}

}  // namespace engine
