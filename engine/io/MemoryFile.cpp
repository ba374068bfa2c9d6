#include "engine/io/MemoryFile.h"
#include "engine/core/Logger.h"
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace engine {

namespace {

// Moves current to the target of a seek; false (current kept) when the target
// lies outside 0..size.
bool seekInside(long position, bool relative, int32_t& current, int32_t size) {
    int64_t target = position;
    if (relative && __builtin_add_overflow(static_cast<int64_t>(current), static_cast<int64_t>(position), &target))
        return false;
    if (target < 0 || target > size) return false;
    current = static_cast<int32_t>(target);
    return true;
}

}  // namespace

// ---------------------------------------------------------------- MemoryFile

MemoryFile::MemoryFile(void* memory, int32_t size, const stringc& name, bool deleteWhenDropped)
    : memory_(static_cast<char*>(memory)),
      size_(memory && size > 0 ? size : 0),
      name_(name),
      deleteWhenDropped_(deleteWhenDropped) {}

MemoryFile::~MemoryFile() {
    if (deleteWhenDropped_) delete[] memory_;
}

int32_t MemoryFile::clampCount(irr::u32 count) const {
    const int64_t left = static_cast<int64_t>(size_) - position_;
    return static_cast<int32_t>(std::min<int64_t>(count, left));
}

irr::s32 MemoryFile::read(void* buffer, irr::u32 count) {
    const int32_t n = clampCount(count);
    if (n <= 0 || !buffer) return 0;
    std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

irr::s32 MemoryFile::write(const void* buffer, irr::u32 count) {
    const int32_t n = clampCount(count);
    if (n <= 0 || !buffer) return 0;
    std::memcpy(memory_ + position_, buffer, static_cast<size_t>(n));
    position_ += n;
    return n;
}

bool MemoryFile::seek(long position, bool relative) { return seekInside(position, relative, position_, size_); }

// ---------------------------------------------------------------- VirtualFile

VirtualFile::VirtualFile(const stringc& name, uint32_t blockSize)
    : blockSize_(blockSize ? blockSize : 1), name_(name) {}

VirtualFile::~VirtualFile() {
    for (char* block : blocks_) delete[] block;
}

template <class Copy>
void VirtualFile::walkBlocks(uint32_t count, Copy copy) {
    uint32_t pos = static_cast<uint32_t>(position_);
    while (count > 0) {
        const uint32_t offset = pos % blockSize_;
        const uint32_t n = std::min(count, blockSize_ - offset);
        copy(blocks_[pos / blockSize_] + offset, n);
        pos += n;
        count -= n;
    }
    position_ = static_cast<int32_t>(pos);
}

irr::s32 VirtualFile::write(const void* buffer, irr::u32 count) {
    if (count == 0 || !buffer) return 0;
    const uint64_t end = static_cast<uint64_t>(position_) + count;
    if (end > static_cast<uint64_t>(INT32_MAX)) {
        getLogger().log("Not enough memory for write data in virtualFile %s", name_.c_str(), LOG_ERROR);
        return 0;
    }
    const uint64_t capacity = static_cast<uint64_t>(blocks_.size()) * blockSize_;
    if (end >= capacity) {
        const uint64_t wanted = end / blockSize_ + 1;
        while (blocks_.size() < wanted) {
            char* block = new (std::nothrow) char[blockSize_];
            if (!block) {
                getLogger().log("Not enough memory for write data in virtualFile %s", name_.c_str(), LOG_ERROR);
                return 0;
            }
            blocks_.push_back(block);
        }
    }

    const char* from = static_cast<const char*>(buffer);
    walkBlocks(count, [&from](char* block, uint32_t n) {
        std::memcpy(block, from, n);
        from += n;
    });
    if (position_ > size_) size_ = position_;
    return static_cast<irr::s32>(count);
}

irr::s32 VirtualFile::read(void* buffer, irr::u32 count) {
    const int64_t n64 = std::min<int64_t>(count, static_cast<int64_t>(size_) - position_);
    if (n64 <= 0 || !buffer) return 0;
    char* to = static_cast<char*>(buffer);
    walkBlocks(static_cast<uint32_t>(n64), [&to](char* block, uint32_t n) {
        std::memcpy(to, block, n);
        to += n;
    });
    return static_cast<irr::s32>(n64);
}

bool VirtualFile::seek(long position, bool relative) { return seekInside(position, relative, position_, size_); }

// ---------------------------------------------------------------- FileSectionReader

FileSectionReader::FileSectionReader(const stringc& name, irr::io::IReadFile* inner, int32_t start, int32_t size)
    : name_(name), inner_(inner) {
    if (inner_) {
        inner_->grab();
        start_ = std::max(start, 0);
        end_ = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(start_) + std::max(size, 0), INT32_MAX));
    }
}

FileSectionReader::~FileSectionReader() {
    if (inner_) inner_->drop();
}

irr::s32 FileSectionReader::read(void* buffer, irr::u32 count) {
    if (!inner_ || !buffer) return 0;
    const int64_t absolute = static_cast<int64_t>(start_) + position_;
    const int64_t stop = std::min<int64_t>(end_, absolute + count);
    if (stop <= absolute) return 0;
    if (!inner_->seek(static_cast<long>(absolute), false)) return 0;
    const irr::s32 n = inner_->read(buffer, static_cast<irr::u32>(stop - absolute));
    if (n <= 0) return 0;
    position_ += n;
    return n;
}

bool FileSectionReader::seek(long position, bool relative) {
    int64_t target = position;
    if (relative && __builtin_add_overflow(static_cast<int64_t>(position_), static_cast<int64_t>(position), &target))
        target = position < 0 ? 0 : INT64_MAX;
    position_ = static_cast<int32_t>(std::clamp<int64_t>(target, 0, end_ - start_));
    return true;
}

FileSectionReader* createFileSectionReader(const stringc& name, irr::io::IReadFile* inner, int32_t start,
                                           int32_t size) {
    return new FileSectionReader(name, inner, start, size);
}

}  // namespace engine
