#pragma once
// Helpers for the file tests: zip files written with zlib, reading whole files,
// and a working directory that is put back afterwards.
#include "engine/core/Types.h"
#include <string>
#include <vector>

namespace io_test {

// The rest of a file from its current position.
std::string readRest(irr::io::IReadFile* file);

struct ZipItem {
    std::string name;
    std::string data;
    bool deflate = true;
};

struct ZipBytes {
    std::string bytes;
    std::vector<size_t> headerOffsets;  // of each item's local header
    std::vector<size_t> dataOffsets;    // of each item's data
    std::vector<size_t> dataSizes;      // stored or compressed size
};

// A zip file of local headers, entry data and a central directory. Deflated
// items are compressed with zlib's raw deflate.
ZipBytes buildZip(const std::vector<ZipItem>& items, bool centralDirectory = true);

// Little-endian helpers to patch fixtures.
void setLe16(std::string& bytes, size_t at, uint16_t value);
void setLe32(std::string& bytes, size_t at, uint32_t value);

// Changes the working directory for the life of the object.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& folder);
    ~ScopedWorkingDirectory();

private:
    std::string previous_;
};

}  // namespace io_test
