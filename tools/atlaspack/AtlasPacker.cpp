#include "tools/atlaspack/AtlasPacker.h"
#include "engine/core/XmlWriter.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/AtlasTextureCollection.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace atlaspack {

namespace {

using engine::CountedRef;
using engine::Image;

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool contains(const Box& o) const { return o.x >= x && o.y >= y && o.right() <= right() && o.bottom() <= bottom(); }
    bool intersects(const Box& o) const { return o.x < right() && o.right() > x && o.y < bottom() && o.bottom() > y; }
};

// One sheet's free space, kept as the maximal free rectangles; a new box goes
// where it leaves the shortest side over (best short side fit).
class FreeSpace {
public:
    FreeSpace(int width, int height) { free_.push_back({0, 0, width, height}); }

    bool insert(int w, int h, Box& placed) {
        const Box* best = nullptr;
        int bestShort = 0;
        int bestLong = 0;
        for (const Box& f : free_) {
            if (f.w < w || f.h < h) continue;
            const int shortSide = std::min(f.w - w, f.h - h);
            const int longSide = std::max(f.w - w, f.h - h);
            if (!best || shortSide < bestShort || (shortSide == bestShort && longSide < bestLong)) {
                best = &f;
                bestShort = shortSide;
                bestLong = longSide;
            }
        }
        if (!best) return false;
        placed = {best->x, best->y, w, h};
        split(placed);
        return true;
    }

private:
    void split(const Box& used) {
        std::vector<Box> next;
        for (const Box& f : free_) {
            if (!f.intersects(used)) {
                next.push_back(f);
                continue;
            }
            if (used.x > f.x) next.push_back({f.x, f.y, used.x - f.x, f.h});
            if (used.right() < f.right()) next.push_back({used.right(), f.y, f.right() - used.right(), f.h});
            if (used.y > f.y) next.push_back({f.x, f.y, f.w, used.y - f.y});
            if (used.bottom() < f.bottom()) next.push_back({f.x, used.bottom(), f.w, f.bottom() - used.bottom()});
        }
        // Drop rectangles that lie inside another.
        free_.clear();
        for (size_t i = 0; i < next.size(); ++i) {
            bool inside = false;
            for (size_t j = 0; j < next.size() && !inside; ++j) {
                if (i == j || !next[j].contains(next[i])) continue;
                // Of two equal rectangles keep the first.
                inside = !next[i].contains(next[j]) || j < i;
            }
            if (!inside) free_.push_back(next[i]);
        }
    }

    std::vector<Box> free_;
};

bool hasPngExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".png";
}

// The box of the pixels with alpha above 0; empty for a clear image.
Box opaqueBox(const Image& image) {
    int minX = image.getWidth();
    int minY = image.getHeight();
    int maxX = -1;
    int maxY = -1;
    for (int y = 0; y < image.getHeight(); ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            if ((image.getPixel(x, y) >> 24) == 0) continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    if (maxX < 0) return {};
    return {minX, minY, maxX - minX + 1, maxY - minY + 1};
}

}  // namespace

bool AtlasPacker::fail(const std::string& message) const {
    error_ = message;
    return false;
}

std::string AtlasPacker::sheetFileName(const std::string& collectionPath, size_t index) {
    const std::string stem = std::filesystem::path(collectionPath).stem().string();
    return stem + "_" + std::to_string(index) + ".png";
}

bool AtlasPacker::addImage(const std::string& name, Image* image) {
    if (!image) return fail("no image for " + name);
    const std::string full = options_.namePrefix + name;
    for (const Source& s : sources_)
        if (s.name == full) return fail("two images are named " + full);
    sources_.push_back({full, CountedRef<Image>::share(image)});
    packed_ = false;
    return true;
}

bool AtlasPacker::addFolder(const std::string& folder) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && hasPngExtension(it->path())) files.push_back(it->path());
    if (ec) return fail("could not read the folder " + folder + ": " + ec.message());
    if (files.empty()) return fail("no PNG images in " + folder);
    std::sort(files.begin(), files.end());

    CountedRef<engine::FileSystem> fileSystem(new engine::FileSystem());
    for (const std::filesystem::path& file : files) {
        const std::string name = file.lexically_relative(folder).generic_string();
        engine::IrrRef<irr::io::IReadFile> read(fileSystem->createAndOpenFile(file.string().c_str()));
        CountedRef<Image> image(read ? engine::ImageManager::instance().loadImage(read.get(), engine::CreationContext())
                                     : nullptr);
        if (!image) return fail("not a readable image: " + file.string());
        if (!addImage(name, image.get())) return false;
    }
    return true;
}

bool AtlasPacker::pack() {
    packed_ = false;
    entries_.clear();
    sheets_.clear();
    if (sources_.empty()) return fail("no images to pack");
    const int pad = options_.padding;
    if (options_.maxSheetSize <= pad || pad < 0) return fail("bad sheet size or padding");

    // What each image keeps after trimming.
    struct Item {
        size_t source;
        Box kept;
    };
    std::vector<Item> items;
    for (size_t i = 0; i < sources_.size(); ++i) {
        const Image& image = *sources_[i].image;
        const Box kept = options_.trim ? opaqueBox(image) : Box{0, 0, image.getWidth(), image.getHeight()};
        if (kept.w > options_.maxSheetSize - 2 * pad || kept.h > options_.maxSheetSize - 2 * pad)
            return fail("the image " + sources_[i].name + " is larger than a sheet");
        items.push_back({i, kept});
    }
    // Large images first; names keep the order stable.
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const Box& ka = items[a].kept;
        const Box& kb = items[b].kept;
        const int sideA = std::max(ka.w, ka.h);
        const int sideB = std::max(kb.w, kb.h);
        if (sideA != sideB) return sideA > sideB;
        if (ka.w * ka.h != kb.w * kb.h) return ka.w * ka.h > kb.w * kb.h;
        return sources_[items[a].source].name < sources_[items[b].source].name;
    });

    // Each image takes its size plus the padding to its right and below; a
    // border of the padding stays free at the left and top of the sheet.
    std::vector<FreeSpace> spaces;
    std::vector<Box> used;  // per sheet: the extent of what is placed
    std::vector<PackedEntry> placed(items.size());
    for (size_t i : order) {
        const Item& item = items[i];
        const Image& image = *sources_[item.source].image;
        PackedEntry& entry = placed[i];
        entry.name = sources_[item.source].name;
        entry.width = item.kept.w;
        entry.height = item.kept.h;
        if (item.kept.w == 0 || item.kept.h == 0) {
            // Nothing visible: an empty rectangle, all of the image in the margin.
            entry.right = image.getWidth();
            entry.bottom = image.getHeight();
            continue;
        }
        entry.left = item.kept.x;
        entry.top = item.kept.y;
        entry.right = image.getWidth() - item.kept.right();
        entry.bottom = image.getHeight() - item.kept.bottom();
        Box slot;
        size_t sheet = 0;
        for (; sheet < spaces.size(); ++sheet)
            if (spaces[sheet].insert(item.kept.w + pad, item.kept.h + pad, slot)) break;
        if (sheet == spaces.size()) {
            spaces.emplace_back(options_.maxSheetSize - pad, options_.maxSheetSize - pad);
            used.push_back({});
            spaces.back().insert(item.kept.w + pad, item.kept.h + pad, slot);
        }
        entry.sheet = static_cast<int>(sheet);
        entry.x = slot.x + pad;
        entry.y = slot.y + pad;
        used[sheet].w = std::max(used[sheet].w, entry.x + entry.width + pad);
        used[sheet].h = std::max(used[sheet].h, entry.y + entry.height + pad);
    }
    if (spaces.empty()) used.push_back({0, 0, 1, 1});  // only clear images: one empty sheet

    for (const Box& extent : used) {
        const engine::dimension2du size(static_cast<irr::u32>(std::min(extent.w, options_.maxSheetSize)),
                                        static_cast<irr::u32>(std::min(extent.h, options_.maxSheetSize)));
        CountedRef<Image> sheet(new Image(engine::CreationContext(), engine::CF_A8R8G8B8, size));
        sheet->fill(0x00000000u);
        sheets_.push_back(sheet);
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const PackedEntry& entry = placed[i];
        if (entry.width == 0 || entry.height == 0) continue;
        const Image& image = *sources_[items[i].source].image;
        engine::blitPixels(image.surface(), items[i].kept.x, items[i].kept.y, entry.width, entry.height,
                           sheets_[static_cast<size_t>(entry.sheet)]->surface(), entry.x, entry.y);
    }
    entries_ = placed;
    packed_ = true;
    return true;
}

bool AtlasPacker::write(const std::string& collectionPath) const {
    if (!packed_) return fail("nothing packed");
    CountedRef<engine::FileSystem> fileSystem(new engine::FileSystem());
    const std::filesystem::path folder = std::filesystem::path(collectionPath).parent_path();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    CountedRef<engine::AtlasTextureCollection> collection(new engine::AtlasTextureCollection(engine::CreationContext()));
    for (size_t i = 0; i < sheets_.size(); ++i) {
        const std::string name = sheetFileName(collectionPath, i);
        const std::string path = (folder / name).string();
        engine::IrrRef<irr::io::IWriteFile> file(fileSystem->createAndWriteFile(path.c_str(), false));
        if (!file || !engine::ImageManager::instance().writeImage(sheets_[i].get(), file.get()))
            return fail("could not write the sheet " + path);
        collection->addFile(name.c_str());
    }
    for (const PackedEntry& e : entries_) {
        engine::AtlasEntry entry;
        entry.name = e.name.c_str();
        entry.fileIndex = e.sheet;
        entry.rect = engine::recti(e.x, e.y, e.x + e.width, e.y + e.height);
        entry.leadingMargin = engine::vector2df(static_cast<float>(e.left), static_cast<float>(e.top));
        entry.trailingMargin = engine::vector2df(static_cast<float>(e.right), static_cast<float>(e.bottom));
        collection->addEntry(entry);
    }
    CountedRef<engine::XmlWriter> writer(new engine::XmlWriter(collectionPath.c_str()));
    if (!writer->isValid()) return fail("could not create " + collectionPath);
    writer->writeXMLHeader();
    if (!collection->writeXml(*writer)) return fail("the collection could not be written");
    if (!writer->close()) return fail("could not write " + collectionPath);
    return true;
}

}  // namespace atlaspack
