#include "engine/io/DiskFile.h"
#include <sys/stat.h>

namespace engine {

DiskReadFile* DiskReadFile::open(const stringc& osPath, const stringc& name) {
    if (osPath.size() == 0) return nullptr;
    std::FILE* file = std::fopen(osPath.c_str(), "rb");
    if (!file) return nullptr;
    // fopen happily opens a folder for reading on Linux; only regular files are files.
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return new DiskReadFile(file, static_cast<long>(info.st_size), name);
}

DiskReadFile::DiskReadFile(std::FILE* file, long size, const stringc& name) : file_(file), size_(size), name_(name) {}

DiskReadFile::~DiskReadFile() { std::fclose(file_); }

irr::s32 DiskReadFile::read(void* buffer, irr::u32 count) {
    if (!buffer || count == 0) return 0;
    return static_cast<irr::s32>(std::fread(buffer, 1, count, file_));
}

bool DiskReadFile::seek(long position, bool relative) {
    const long current = getPos();
    if (current < 0) return false;
    long target = position;
    if (relative && __builtin_add_overflow(current, position, &target)) return false;
    if (target < 0 || target > size_) return false;
    return std::fseek(file_, target, SEEK_SET) == 0;
}

long DiskReadFile::getPos() const { return std::ftell(file_); }

bool isFolder(const stringc& osPath) {
    struct stat info {};
    return osPath.size() != 0 && ::stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace engine
