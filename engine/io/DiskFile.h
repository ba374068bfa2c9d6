#pragma once
// Plain files on disk, behind Irrlicht's file interfaces.
#include "engine/core/Types.h"
#include <cstdio>

namespace engine {

// A regular file opened for reading. Its reported name may differ from the path
// it was opened with: a mount point reports the name it was asked for.
class DiskReadFile : public irr::io::IReadFile {
public:
    // Opens osPath ('\' already turned into '/'); null when it is missing, is a
    // folder or anything else than a regular file, or cannot be read. The caller
    // owns the one reference.
    static DiskReadFile* open(const stringc& osPath, const stringc& name);
    ~DiskReadFile() override;

    irr::s32 read(void* buffer, irr::u32 count) override;
    // Fails (false, position kept) for a target outside 0..size.
    bool seek(long position, bool relative = false) override;
    long getSize() const override { return size_; }
    long getPos() const override;
    const irr::io::path& getFileName() const override { return name_; }

private:
    DiskReadFile(std::FILE* file, long size, const stringc& name);

    std::FILE* file_;
    long size_;
    irr::io::path name_;
};

// True when the path names a folder.
bool isFolder(const stringc& osPath);

}  // namespace engine
