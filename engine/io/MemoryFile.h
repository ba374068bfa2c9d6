#pragma once
// Files that live in memory, behind Irrlicht's read- and write-file interfaces so
// that every reader of the engine takes them like files on disk.
//
// Ownership: these are Irrlicht objects (grab/drop). Every creator hands out one
// reference that the caller owns and drops. An object that is both a read and a
// write file has one reference count.
#include "engine/core/Types.h"
#include <cstdint>
#include <vector>

namespace engine {

// A file over one block of memory, readable and writable in place. The block
// never grows. With deleteWhenDropped the block (allocated with new[]) is freed
// with the file; otherwise the caller keeps the memory alive longer than the file.
class MemoryFile : public irr::io::IReadFile, public irr::io::IWriteFile {
public:
    MemoryFile(void* memory, int32_t size, const stringc& name, bool deleteWhenDropped);
    ~MemoryFile() override;

    irr::s32 read(void* buffer, irr::u32 count) override;
    irr::s32 write(const void* buffer, irr::u32 count) override;
    // Fails (false, position kept) for a target outside 0..size.
    bool seek(long position, bool relative = false) override;
    long getSize() const override { return size_; }
    long getPos() const override { return position_; }
    const irr::io::path& getFileName() const override { return name_; }

private:
    // Bytes that fit between the position and the end for a request of count.
    int32_t clampCount(irr::u32 count) const;

    char* memory_;
    int32_t size_;
    int32_t position_ = 0;
    irr::io::path name_;
    bool deleteWhenDropped_;
};

// A growable in-memory file of fixed-size blocks, written sequentially and then
// read back. Its position can never move beyond what was written.
class VirtualFile : public irr::io::IReadFile, public irr::io::IWriteFile {
public:
    VirtualFile(const stringc& name, uint32_t blockSize);
    ~VirtualFile() override;

    irr::s32 read(void* buffer, irr::u32 count) override;
    irr::s32 write(const void* buffer, irr::u32 count) override;
    bool seek(long position, bool relative = false) override;
    long getSize() const override { return size_; }
    long getPos() const override { return position_; }
    const irr::io::path& getFileName() const override { return name_; }

    uint32_t getBlockCount() const { return static_cast<uint32_t>(blocks_.size()); }

private:
    // Walks count bytes of the blocks from the position on, handing each run
    // within one block to copy(bytes, length) in order, and moves the position
    // past them. The blocks must already hold them.
    template <class Copy>
    void walkBlocks(uint32_t count, Copy copy);

    std::vector<char*> blocks_;
    uint32_t blockSize_;
    int32_t size_ = 0;
    int32_t position_ = 0;
    irr::io::path name_;
};

// A read-only window on bytes [start, start + size) of another open read file.
// It keeps its own position and seeks the inner file before every read, so
// several sections over one file work independently (on one thread).
class FileSectionReader : public irr::io::IReadFile {
public:
    // Takes its own reference to the inner file; a null inner file gives an
    // empty section.
    FileSectionReader(const stringc& name, irr::io::IReadFile* inner, int32_t start, int32_t size);
    ~FileSectionReader() override;

    irr::s32 read(void* buffer, irr::u32 count) override;
    // Clamps the target into 0..size; always true.
    bool seek(long position, bool relative = false) override;
    long getSize() const override { return end_ - start_; }
    long getPos() const override { return position_; }
    const irr::io::path& getFileName() const override { return name_; }

private:
    irr::io::path name_;
    int32_t start_ = 0;
    int32_t end_ = 0;
    int32_t position_ = 0;
    irr::io::IReadFile* inner_ = nullptr;
};

// A new section reader (one reference for the caller).
FileSectionReader* createFileSectionReader(const stringc& name, irr::io::IReadFile* inner, int32_t start,
                                           int32_t size);

}  // namespace engine
