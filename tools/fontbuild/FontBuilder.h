#pragma once
// Renders a TrueType font at one pixel size into the engine's font file
// (".ofnt") and its glyph sheets (PNG images beside it, named after the font
// file: "Title.ofnt" gets "Title_0.png", "Title_1.png"...).
//
// Metrics follow the font file's model: before.x is the glyph's left bearing,
// after.x the rest of its advance, before.y the distance from the line top
// (the ascender) to the glyph's top, and after.y what is left of the line
// height below the glyph, so the font's line height is the face's line
// spacing. Kerning pairs come from the face's kerning table, in whole pixels.
// Glyph images are white with the rendered coverage as alpha.
#include "engine/core/RefCounted.h"
#include "engine/platform/Image.h"
#include <cstdint>
#include <string>
#include <vector>

namespace fontbuild {

struct FontBuildOptions {
    std::string fontPath;              // a TrueType (or other FreeType-readable) font file
    int pixelSize = 14;                // the size the metrics are made for (the font's OriginalSize)
    std::vector<uint32_t> characters;  // 16-bit codes; empty: 32-126 and 160-255
    int maxSheetSize = 1024;           // sheets are at most this wide and high
    int padding = 2;                   // transparent pixels around each glyph
};

// One glyph as the font file states it.
struct BuiltGlyph {
    uint16_t code = 0;
    int sheet = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // in sheet pixels
    int beforeX = 0, beforeY = 0, afterX = 0, afterY = 0;
};

struct BuiltKerning {
    uint16_t first = 0;
    uint16_t second = 0;
    int amount = 0;
};

class FontBuilder {
public:
    // Renders every character the face has (others are left out). False, with
    // error() telling why, when the font cannot be opened or sized, or a
    // glyph is larger than a sheet.
    bool render(const FontBuildOptions& options);
    // Writes the font file and its sheets. False (error() set) before render
    // or when a file cannot be written.
    bool write(const std::string& fontFilePath) const;

    const std::vector<BuiltGlyph>& glyphs() const { return glyphs_; }
    const std::vector<BuiltKerning>& kerning() const { return kerning_; }
    size_t sheetCount() const { return sheets_.size(); }
    engine::Image* sheet(size_t index) const { return index < sheets_.size() ? sheets_[index].get() : nullptr; }
    int lineHeight() const { return lineHeight_; }
    const std::string& error() const { return error_; }

    // The sheet file names for a font file path: "<stem>_<index>.png".
    static std::string sheetFileName(const std::string& fontFilePath, size_t index);

private:
    bool fail(const std::string& message) const;

    FontBuildOptions options_;
    std::vector<BuiltGlyph> glyphs_;
    std::vector<BuiltKerning> kerning_;
    std::vector<engine::CountedRef<engine::Image>> sheets_;
    int lineHeight_ = 0;
    bool rendered_ = false;
    mutable std::string error_;
};

}  // namespace fontbuild
