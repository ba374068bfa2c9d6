#include "engine/io/AssetArchiveWriter.h"
#include "engine/core/Logger.h"
#include "engine/io/AssetArchive.h"
#include "engine/io/PathUtils.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace engine {

namespace {

void putLe16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void putLe32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void setLe32(std::string& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

bool AssetArchiveWriter::addFile(const stringc& name, const std::string& data) {
    if (name.size() == 0 || name.size() > 0xFFFF) {
        getLogger().log("Invalid asset archive entry name", name.c_str(), LOG_ERROR);
        return false;
    }
    entries_.push_back({name, data});
    return true;
}

bool AssetArchiveWriter::addFolder(const stringc& folder) {
    namespace fs = std::filesystem;
    const fs::path root(toForwardSlashes(folder).c_str());
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        getLogger().log("Not a folder", folder.c_str(), LOG_ERROR);
        return false;
    }

    std::vector<std::string> names;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) names.push_back(it->path().lexically_relative(root).generic_string());
    }
    if (ec) {
        getLogger().log("Unable to list folder", folder.c_str(), LOG_ERROR);
        return false;
    }
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        std::ifstream in(root / name, std::ios::binary);
        std::string data;
        if (in) data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in || in.bad()) {
            getLogger().log("Unable to read file", name.c_str(), LOG_ERROR);
            return false;
        }
        if (!addFile(name.c_str(), data)) return false;
    }
    return true;
}

bool AssetArchiveWriter::build(std::string& out) const {
    uint64_t total = AssetArchiveHeaderSize;
    for (const Entry& e : entries_) total += e.data.size() + 2 + e.name.size() + 8;
    if (total > UINT32_MAX) {
        getLogger().log("Asset archive too large", "", LOG_ERROR);
        return false;
    }

    out.clear();
    out.reserve(static_cast<size_t>(total));
    putLe32(out, AssetArchiveMagic);
    putLe32(out, 0);  // directory offset, set below
    putLe32(out, static_cast<uint32_t>(entries_.size()));
    putLe32(out, 0);  // reserved

    std::vector<uint32_t> offsets;
    offsets.reserve(entries_.size());
    for (const Entry& e : entries_) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        out += e.data;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        putLe16(out, static_cast<uint16_t>(e.name.size()));
        out.append(e.name.c_str(), e.name.size());
        putLe32(out, offsets[i]);
        putLe32(out, static_cast<uint32_t>(e.data.size()));
    }
    setLe32(out, 4, directoryOffset);

    // The key stream starts at the end of the header, whatever lies where.
    uint32_t keyPos = 0;
    decipherAssetBlock(&out[AssetArchiveHeaderSize], static_cast<uint32_t>(out.size() - AssetArchiveHeaderSize), key_,
                       &keyPos);
    return true;
}

bool AssetArchiveWriter::write(const stringc& path) const {
    std::string bytes;
    if (!build(bytes)) return false;
    std::FILE* file = std::fopen(toForwardSlashes(path).c_str(), "wb");
    if (!file) {
        getLogger().log("Unable to create file", path.c_str(), LOG_ERROR);
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !ok) {
        getLogger().log("Unable to write file", path.c_str(), LOG_ERROR);
        return false;
    }
    return true;
}

}  // namespace engine
