#include "io/IoTestSupport.h"
#include <stdexcept>
#include <unistd.h>
#include <zlib.h>

namespace io_test {

std::string readRest(irr::io::IReadFile* file) {
    std::string out;
    char buffer[4096];
    for (;;) {
        const irr::s32 n = file->read(buffer, sizeof(buffer));
        if (n <= 0) break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

void setLe16(std::string& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void setLe32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

namespace {

void put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string rawDeflate(const std::string& data) {
    z_stream s{};
    if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

}  // namespace

ZipBytes buildZip(const std::vector<ZipItem>& items, bool centralDirectory) {
    ZipBytes zip;
    std::string central;
    for (const ZipItem& item : items) {
        const std::string payload = item.deflate ? rawDeflate(item.data) : item.data;
        const uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size())));
        const uint16_t method = item.deflate ? 8 : 0;
        const size_t headerAt = zip.bytes.size();

        put32(zip.bytes, 0x04034B50);
        put16(zip.bytes, 20);  // version needed
        put16(zip.bytes, 0);   // flags
        put16(zip.bytes, method);
        put16(zip.bytes, 0x6000);  // time
        put16(zip.bytes, 0x5821);  // date
        put32(zip.bytes, crc);
        put32(zip.bytes, static_cast<uint32_t>(payload.size()));
        put32(zip.bytes, static_cast<uint32_t>(item.data.size()));
        put16(zip.bytes, static_cast<uint16_t>(item.name.size()));
        put16(zip.bytes, 4);  // extra field length
        zip.bytes += item.name;
        zip.bytes += std::string("\xfe\xca\x00\x00", 4);  // an empty extra block
        zip.headerOffsets.push_back(headerAt);
        zip.dataOffsets.push_back(zip.bytes.size());
        zip.dataSizes.push_back(payload.size());
        zip.bytes += payload;

        put32(central, 0x02014B50);
        put16(central, 20);
        put16(central, 20);
        put16(central, 0);
        put16(central, method);
        put16(central, 0x6000);
        put16(central, 0x5821);
        put32(central, crc);
        put32(central, static_cast<uint32_t>(payload.size()));
        put32(central, static_cast<uint32_t>(item.data.size()));
        put16(central, static_cast<uint16_t>(item.name.size()));
        put16(central, 0);  // extra
        put16(central, 0);  // comment
        put16(central, 0);  // disk
        put16(central, 0);  // internal attributes
        put32(central, 0);  // external attributes
        put32(central, static_cast<uint32_t>(headerAt));
        central += item.name;
    }
    if (centralDirectory) {
        const size_t centralAt = zip.bytes.size();
        zip.bytes += central;
        put32(zip.bytes, 0x06054B50);
        put16(zip.bytes, 0);
        put16(zip.bytes, 0);
        put16(zip.bytes, static_cast<uint16_t>(items.size()));
        put16(zip.bytes, static_cast<uint16_t>(items.size()));
        put32(zip.bytes, static_cast<uint32_t>(central.size()));
        put32(zip.bytes, static_cast<uint32_t>(centralAt));
        put16(zip.bytes, 0);
    }
    return zip;
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::string& folder) {
    char buffer[4096];
    if (!::getcwd(buffer, sizeof(buffer))) throw std::runtime_error("getcwd");
    previous_ = buffer;
    if (::chdir(folder.c_str()) != 0) throw std::runtime_error("chdir " + folder);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    if (::chdir(previous_.c_str()) != 0) std::abort();
}

}  // namespace io_test
