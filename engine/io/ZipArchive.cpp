#include "engine/io/ZipArchive.h"
#include "engine/core/Logger.h"
#include "engine/io/DiskFile.h"
#include "engine/io/FileSystem.h"
#include "engine/io/MemoryFile.h"
#include "engine/io/PathUtils.h"

#include <algorithm>
#include <climits>
#include <new>
#include <unistd.h>
#include <zlib.h>

namespace engine {

namespace {

constexpr uint32_t LocalHeaderSignature = 0x04034B50;  // "PK\3\4"
constexpr uint32_t LocalHeaderSize = 30;
constexpr uint16_t FlagDataDescriptor = 8;
constexpr uint16_t MethodStored = 0;
constexpr uint16_t MethodDeflated = 8;
// Deflate cannot expand data by more than about 1032:1; a header that claims
// more is damaged, and trusting it would mean allocating whatever it says.
constexpr uint64_t MaxDeflateRatio = 1032;

uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Signatures of the zip records that may follow the last local header.
bool isOtherZipRecord(uint32_t signature) {
    switch (signature) {
        case 0x02014B50:  // central directory file header
        case 0x06054B50:  // end of central directory
        case 0x06064B50:  // zip64 end of central directory
        case 0x07064B50:  // zip64 end of central directory locator
        case 0x05054B50:  // digital signature
        case 0x08064B50:  // archive extra data
            return true;
        default:
            return false;
    }
}

}  // namespace

// ---------------------------------------------------------------- ZipArchive

ZipArchive::ZipArchive(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths)
    : SortedDirectoryArchive("zip", ignoreCase, ignorePaths), file_(file) {
    file_->grab();
    path_ = toForwardSlashes(file_->getFileName());
}

ZipArchive::~ZipArchive() { file_->drop(); }

ZipArchive* ZipArchive::create(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) {
    if (!file) return nullptr;
    ZipArchive* archive = new ZipArchive(file, ignoreCase, ignorePaths);
    if (!archive->readEntries()) {
        archive->release();
        return nullptr;
    }
    return archive;
}

bool ZipArchive::readEntries() {
    const int64_t fileSize = file_->getSize();
    const char* damaged = nullptr;
    bool first = true;

    for (;;) {
        unsigned char header[LocalHeaderSize];
        const irr::s32 got = file_->read(header, LocalHeaderSize);
        if (got <= 0) {
            // End of the file right after the last entry's data ends the list; an
            // empty file is no zip.
            if (first) damaged = "Damaged zip archive: no local header";
            break;
        }
        const uint32_t signature = got >= 4 ? le32(header) : 0;
        if (got >= 4 && signature != LocalHeaderSignature && isOtherZipRecord(signature)) break;
        if (signature != LocalHeaderSignature) {
            damaged = "Damaged zip archive: bad local header";
            break;
        }
        if (static_cast<uint32_t>(got) < LocalHeaderSize) {
            damaged = "Damaged zip archive: truncated local header";
            break;
        }
        first = false;

        ZipEntry entry;
        entry.versionNeeded = le16(header + 4);
        entry.flags = le16(header + 6);
        entry.compressionMethod = le16(header + 8);
        entry.modificationTime = le16(header + 10);
        entry.modificationDate = le16(header + 12);
        entry.crc32 = le32(header + 14);
        entry.compressedSize = le32(header + 18);
        entry.uncompressedSize = le32(header + 22);
        entry.nameLength = le16(header + 26);
        entry.extraLength = le16(header + 28);

        if (entry.flags & FlagDataDescriptor) {
            // The sizes follow the data, so the data's end cannot be found from here.
            damaged = "Zip entries with a data descriptor are not supported";
            break;
        }

        std::vector<char> name(entry.nameLength + 1u, '\0');
        if (entry.nameLength && file_->read(name.data(), entry.nameLength) != entry.nameLength) {
            damaged = "Damaged zip archive: truncated file name";
            break;
        }
        if (entry.nameLength) {
            entry.fullName = stringc(name.data(), entry.nameLength);
            if (ignoreCase_) entry.fullName = toLowerAscii(entry.fullName);
            const int32_t slash = entry.fullName.findLast('/');
            entry.name = entry.fullName.subString(slash + 1, entry.fullName.size() - slash - 1);
            entry.path = slash >= 0 ? entry.fullName.subString(0, slash + 1) : stringc();
            if (!ignorePaths_) entry.name = entry.fullName;
        }

        const int64_t dataPosition = static_cast<int64_t>(file_->getPos()) + entry.extraLength;
        const int64_t dataEnd = dataPosition + entry.compressedSize;
        if (dataEnd > fileSize || dataEnd > INT32_MAX) {
            damaged = "Damaged zip archive: entry runs past the end of the file";
            break;
        }
        entry.dataPosition = static_cast<uint32_t>(dataPosition);
        if (!file_->seek(static_cast<long>(dataEnd))) {
            damaged = "Damaged zip archive: entry runs past the end of the file";
            break;
        }
        entries_.push_back(std::move(entry));
    }

    if (damaged) {
        getLogger().log(damaged, path_.c_str(), LOG_ERROR);
        entries_.clear();
        return false;
    }
    sortEntries();
    return true;
}

irr::io::IReadFile* ZipArchive::openFileByIndex(uint32_t index) {
    if (index >= entries_.size()) return nullptr;
    const ZipEntry& entry = entries_[index];
    switch (entry.compressionMethod) {
        case MethodStored:
            return createFileSectionReader(entry.name, file_, static_cast<int32_t>(entry.dataPosition),
                                           static_cast<int32_t>(entry.compressedSize));
        case MethodDeflated:
            return inflateEntry(entry);
        default:
            getLogger().log("File has unsupported compression method. %s", entry.name.c_str(), LOG_ERROR);
            return nullptr;
    }
}

irr::io::IReadFile* ZipArchive::inflateEntry(const ZipEntry& entry) {
    const char* hint = entry.name.c_str();
    if (entry.uncompressedSize > INT32_MAX ||
        static_cast<uint64_t>(entry.uncompressedSize) > static_cast<uint64_t>(entry.compressedSize) * MaxDeflateRatio + 64) {
        getLogger().log("Error decompressing %s", hint, LOG_ERROR);
        return nullptr;
    }

    // One spare byte so that a stream longer than declared is noticed.
    char* output = new (std::nothrow) char[entry.uncompressedSize + 1u];
    unsigned char* input = new (std::nothrow) unsigned char[entry.compressedSize + 1u];
    if (!output || !input) {
        delete[] output;
        delete[] input;
        getLogger().log("Not enough memory for decompressing %s", hint, LOG_ERROR);
        return nullptr;
    }

    bool ok = file_->seek(static_cast<long>(entry.dataPosition)) &&
              file_->read(input, entry.compressedSize) == static_cast<irr::s32>(entry.compressedSize);
    if (ok) {
        z_stream stream{};
        stream.next_in = input;
        stream.avail_in = entry.compressedSize;
        stream.next_out = reinterpret_cast<Bytef*>(output);
        stream.avail_out = entry.uncompressedSize + 1u;
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            ok = false;
        } else {
            // A damaged stream must not pass for a file: require the stream's end
            // and exactly the declared size.
            const int result = inflate(&stream, Z_FINISH);
            ok = result == Z_STREAM_END && stream.total_out == entry.uncompressedSize;
            inflateEnd(&stream);
        }
    }
    delete[] input;
    if (!ok) {
        delete[] output;
        getLogger().log("Error decompressing %s", hint, LOG_ERROR);
        return nullptr;
    }
    return new MemoryFile(output, static_cast<int32_t>(entry.uncompressedSize), entry.fullName, true);
}

// ---------------------------------------------------------------- MountPointArchive

MountPointArchive::MountPointArchive(const stringc& absolutePath) : type_("mount"), path_(toForwardSlashes(absolutePath)) {
    if (path_.size() == 0 || path_[path_.size() - 1] != '/') path_ += "/";
}

irr::io::IReadFile* MountPointArchive::openFile(const stringc& name) {
    if (name.size() == 0) return nullptr;
    stringc full = path_;
    full += toForwardSlashes(name);
    return DiskReadFile::open(full, name);
}

int32_t MountPointArchive::findFile(const stringc& name) const {
    if (name.size() == 0) return -1;
    stringc full = path_;
    full += toForwardSlashes(name);
    irr::io::IReadFile* file = DiskReadFile::open(full, name);
    if (!file) return -1;
    file->drop();
    return 1;
}

// ---------------------------------------------------------------- loaders

bool ZipArchiveLoader::canLoadFile(irr::io::IReadFile* file) {
    if (!file) return false;
    unsigned char signature[4];
    return file->read(signature, 4) == 4 && le32(signature) == LocalHeaderSignature;
}

bool ZipArchiveLoader::canLoadName(const stringc& path) {
    const stringc extension = getFileExtension(path);
    return equalsIgnoreCaseAscii(extension, "zip") || equalsIgnoreCaseAscii(extension, "pk3");
}

FileArchive* ZipArchiveLoader::createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths) {
    if (!file) return nullptr;
    file->seek(0);
    return ZipArchive::create(file, ignoreCase, ignorePaths);
}

FileArchive* ZipArchiveLoader::createArchiveFromName(const stringc& path, bool ignoreCase, bool ignorePaths) {
    irr::io::IReadFile* file = fileSystem_->createAndOpenFile(path);
    if (!file) return nullptr;
    FileArchive* archive = createArchiveFromFile(file, ignoreCase, ignorePaths);
    file->drop();
    return archive;
}

bool MountPointArchiveLoader::canLoadName(const stringc& path) {
    // Only the last component can make a name look like a file: a dot in a
    // parent folder ("~/src/game.git/assets") says nothing about the folder.
    if (getFileExtension(getFileNamePart(path)).size() == 0) return true;
    // A folder whose own name has a dot ("assets.d") is still a folder.
    return isFolder(fileSystem_->getAbsolutePath(path));
}

FileArchive* MountPointArchiveLoader::createArchiveFromName(const stringc& path, bool, bool) {
    // Asked of the file system rather than by entering the folder, so the
    // process's working directory never changes under other threads.
    const stringc absolute = fileSystem_->getAbsolutePath(path);
    if (absolute.size() == 0 || !isFolder(absolute) || ::access(absolute.c_str(), X_OK) != 0) return nullptr;
    return new MountPointArchive(absolute);
}

}  // namespace engine
