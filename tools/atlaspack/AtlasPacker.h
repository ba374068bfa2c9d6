#pragma once
// Packs PNG images into atlas sheets and writes an atlas collection file for
// them (the form the engine reads, written by the engine's own collection
// writer). Sheets are PNG images beside the collection file, named after it:
// "menu.xml" gets "menu_0.png", "menu_1.png"...
//
// Each image is trimmed to the box of its pixels with alpha above 0 (unless
// trimming is off); the trimmed margins travel in the entry, so sprites still
// place the image by its full frame. Entries are named by the image's path
// relative to the folder it was found in, with '/', after an optional prefix
// ("scenes/images/" + "ui/ok.png"), which is the name the game loads them by.
#include "engine/core/RefCounted.h"
#include "engine/platform/Image.h"
#include <string>
#include <vector>

namespace atlaspack {

struct PackOptions {
    int maxSheetSize = 2048;  // sheets are at most this wide and high
    int padding = 2;          // transparent pixels between images
    bool trim = true;         // cut fully transparent borders
    std::string namePrefix;   // put in front of every entry name
};

// One packed image.
struct PackedEntry {
    std::string name;
    int sheet = 0;
    int x = 0, y = 0, width = 0, height = 0;      // the trimmed image on its sheet
    int left = 0, top = 0, right = 0, bottom = 0;  // the trimmed margins
};

class AtlasPacker {
public:
    explicit AtlasPacker(const PackOptions& options = PackOptions()) : options_(options) {}

    // Adds every ".png" file below the folder (sub-folders included), in name
    // order. False (error() set) when the folder holds none or one of them is
    // not a readable image.
    bool addFolder(const std::string& folder);
    // Adds an image under a name (the prefix is put in front); a reference is
    // taken. False for a null image or a name given twice.
    bool addImage(const std::string& name, engine::Image* image);

    // Places every image. False (error() set) when there is nothing to pack or
    // an image is larger than a sheet.
    bool pack();
    // Writes the collection file and its sheets. False (error() set) before
    // pack or when a file cannot be written.
    bool write(const std::string& collectionPath) const;

    const std::vector<PackedEntry>& entries() const { return entries_; }
    size_t sheetCount() const { return sheets_.size(); }
    engine::Image* sheet(size_t index) const { return index < sheets_.size() ? sheets_[index].get() : nullptr; }
    const std::string& error() const { return error_; }

    // The sheet file names for a collection path: "<stem>_<index>.png".
    static std::string sheetFileName(const std::string& collectionPath, size_t index);

private:
    struct Source {
        std::string name;
        engine::CountedRef<engine::Image> image;
    };

    bool fail(const std::string& message) const;

    PackOptions options_;
    std::vector<Source> sources_;
    std::vector<PackedEntry> entries_;
    std::vector<engine::CountedRef<engine::Image>> sheets_;
    bool packed_ = false;
    mutable std::string error_;
};

}  // namespace atlaspack
