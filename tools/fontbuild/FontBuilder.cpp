#include "tools/fontbuild/FontBuilder.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlWriter.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/ImageManager.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fontbuild {

namespace {

using engine::CountedRef;
using engine::Image;

// 26.6 fixed point to whole pixels, rounded to nearest.
int pixels(FT_Pos value) { return static_cast<int>(std::lround(static_cast<double>(value) / 64.0)); }

// A rendered glyph waiting for its place on a sheet.
struct Pending {
    BuiltGlyph glyph;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width x height alpha values
};

// Frees the FreeType objects however the rendering ends.
struct FreeTypeFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeTypeFace() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

std::vector<uint32_t> defaultCharacters() {
    std::vector<uint32_t> codes;
    for (uint32_t c = 32; c <= 126; ++c) codes.push_back(c);
    for (uint32_t c = 160; c <= 255; ++c) codes.push_back(c);
    return codes;
}

engine::stringw decimalPair(int a, int b) {
    return engine::widen(std::to_string(a).c_str()) + L"," + engine::widen(std::to_string(b).c_str());
}

}  // namespace

bool FontBuilder::fail(const std::string& message) const {
    error_ = message;
    return false;
}

std::string FontBuilder::sheetFileName(const std::string& fontFilePath, size_t index) {
    const std::string stem = std::filesystem::path(fontFilePath).stem().string();
    return stem + "_" + std::to_string(index) + ".png";
}

bool FontBuilder::render(const FontBuildOptions& options) {
    rendered_ = false;
    glyphs_.clear();
    kerning_.clear();
    sheets_.clear();
    error_.clear();
    options_ = options;
    if (options.pixelSize <= 0) return fail("the pixel size must be above 0");
    if (options.maxSheetSize <= 0 || options.padding < 0) return fail("bad sheet size or padding");

    FreeTypeFace ft;
    if (FT_Init_FreeType(&ft.library) != 0) return fail("FreeType could not be initialised");
    if (FT_New_Face(ft.library, options.fontPath.c_str(), 0, &ft.face) != 0)
        return fail("could not open the font " + options.fontPath);
    if (FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(options.pixelSize)) != 0)
        return fail("the font has no size " + std::to_string(options.pixelSize));

    const FT_Size_Metrics& metrics = ft.face->size->metrics;
    const int ascender = pixels(metrics.ascender);
    lineHeight_ = std::max(1, pixels(metrics.height));

    // Render each character the face has.
    std::vector<uint32_t> codes = options.characters.empty() ? defaultCharacters() : options.characters;
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    std::vector<Pending> pending;
    std::vector<std::pair<uint16_t, FT_UInt>> indices;
    for (uint32_t code : codes) {
        if (code > 0xFFFF) continue;
        const FT_UInt index = FT_Get_Char_Index(ft.face, code);
        if (index == 0) continue;
        if (FT_Load_Glyph(ft.face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
        const FT_GlyphSlot slot = ft.face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) continue;

        Pending p;
        p.width = static_cast<int>(bitmap.width);
        p.height = static_cast<int>(bitmap.rows);
        p.coverage.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
        for (int y = 0; y < p.height; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            std::memcpy(&p.coverage[static_cast<size_t>(y) * static_cast<size_t>(p.width)], row,
                        static_cast<size_t>(p.width));
        }
        const int advance = pixels(slot->advance.x);
        p.glyph.code = static_cast<uint16_t>(code);
        p.glyph.beforeX = slot->bitmap_left;
        p.glyph.afterX = advance - slot->bitmap_left - p.width;
        p.glyph.beforeY = ascender - slot->bitmap_top;
        p.glyph.afterY = lineHeight_ - p.glyph.beforeY - p.height;
        if (p.width + 2 * options.padding > options.maxSheetSize || p.height + 2 * options.padding > options.maxSheetSize)
            return fail("a glyph does not fit on a sheet of " + std::to_string(options.maxSheetSize) + " pixels");
        pending.push_back(std::move(p));
        indices.emplace_back(static_cast<uint16_t>(code), index);
    }
    if (pending.empty()) return fail("the font has none of the characters asked for");

    // Shelves: the tallest glyphs first, rows left to right, a new sheet when
    // a row no longer fits below the last one.
    std::vector<size_t> order(pending.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return pending[a].height > pending[b].height; });
    struct SheetSize {
        int width = 0;
        int height = 0;
    };
    std::vector<SheetSize> sizes(1);
    const int pad = options.padding;
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    for (size_t i : order) {
        Pending& p = pending[i];
        if (p.width == 0 || p.height == 0) {
            // Nothing to draw (a space): an empty rectangle at the corner.
            p.glyph.sheet = 0;
            continue;
        }
        const int w = p.width + 2 * pad;
        const int h = p.height + 2 * pad;
        if (x + w > options.maxSheetSize) {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        if (y + h > options.maxSheetSize) {
            sizes.emplace_back();
            x = 0;
            y = 0;
            rowHeight = 0;
        }
        p.glyph.sheet = static_cast<int>(sizes.size() - 1);
        p.glyph.x1 = x + pad;
        p.glyph.y1 = y + pad;
        p.glyph.x2 = p.glyph.x1 + p.width;
        p.glyph.y2 = p.glyph.y1 + p.height;
        x += w;
        rowHeight = std::max(rowHeight, h);
        SheetSize& size = sizes.back();
        size.width = std::max(size.width, x);
        size.height = std::max(size.height, y + h);
    }

    for (const SheetSize& size : sizes) {
        const engine::dimension2du dimension(static_cast<irr::u32>(std::max(size.width, 1)),
                                             static_cast<irr::u32>(std::max(size.height, 1)));
        CountedRef<Image> sheet(new Image(engine::CreationContext(), engine::CF_A8R8G8B8, dimension));
        sheet->fill(0x00FFFFFFu);
        sheets_.push_back(sheet);
    }
    for (const Pending& p : pending) {
        Image* sheet = sheets_[static_cast<size_t>(p.glyph.sheet)].get();
        for (int gy = 0; gy < p.height; ++gy) {
            for (int gx = 0; gx < p.width; ++gx) {
                const uint32_t alpha = p.coverage[static_cast<size_t>(gy) * static_cast<size_t>(p.width) +
                                                  static_cast<size_t>(gx)];
                uint8_t* pixel = sheet->getData() + static_cast<size_t>(p.glyph.y1 + gy) * sheet->getPitch() +
                                 static_cast<size_t>(p.glyph.x1 + gx) * 4;
                engine::writePixel(pixel, engine::CF_A8R8G8B8, (alpha << 24) | 0x00FFFFFFu);
            }
        }
        glyphs_.push_back(p.glyph);
    }

    // Kerning between every pair of rendered characters.
    if (FT_HAS_KERNING(ft.face)) {
        for (const auto& first : indices) {
            for (const auto& second : indices) {
                FT_Vector delta;
                if (FT_Get_Kerning(ft.face, first.second, second.second, FT_KERNING_DEFAULT, &delta) != 0) continue;
                const int amount = pixels(delta.x);
                if (amount != 0) kerning_.push_back({first.first, second.first, amount});
            }
        }
    }
    rendered_ = true;
    return true;
}

bool FontBuilder::write(const std::string& fontFilePath) const {
    if (!rendered_) return fail("nothing rendered");
    CountedRef<engine::FileSystem> fileSystem(new engine::FileSystem());
    const std::filesystem::path folder = std::filesystem::path(fontFilePath).parent_path();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    for (size_t i = 0; i < sheets_.size(); ++i) {
        const std::string path = (folder / sheetFileName(fontFilePath, i)).string();
        engine::IrrRef<irr::io::IWriteFile> file(fileSystem->createAndWriteFile(path.c_str(), false));
        if (!file || !engine::ImageManager::instance().writeImage(sheets_[i].get(), file.get()))
            return fail("could not write the sheet " + path);
    }

    CountedRef<engine::XmlWriter> writer(new engine::XmlWriter(fontFilePath.c_str()));
    if (!writer->isValid()) return fail("could not create " + fontFilePath);
    writer->writeXMLHeader();
    writer->writeElement(L"Font", false, L"Type", L"Bitmap");
    writer->writeLineBreak();
    CountedRef<engine::PropertySet> properties(new engine::PropertySet());
    properties->addFloat("OriginalSize", static_cast<float>(options_.pixelSize));
    properties->write(writer.get());
    for (size_t i = 0; i < sheets_.size(); ++i) {
        writer->writeElement(L"Texture", true, L"Filename", engine::widen(sheetFileName(fontFilePath, i).c_str()).c_str());
        writer->writeLineBreak();
    }
    for (const BuiltGlyph& g : glyphs_) {
        engine::stringw character;
        character.append(static_cast<wchar_t>(g.code));
        const engine::stringw rect = decimalPair(g.x1, g.y1) + L"," + decimalPair(g.x2, g.y2);
        writer->writeElement(L"c", true, L"c", character.c_str(), L"r", rect.c_str(), L"b",
                             decimalPair(g.beforeX, g.beforeY).c_str(), L"a", decimalPair(g.afterX, g.afterY).c_str(),
                             L"i", engine::widen(std::to_string(g.sheet).c_str()).c_str());
        writer->writeLineBreak();
    }
    for (const BuiltKerning& k : kerning_) {
        engine::stringw pair;
        pair.append(static_cast<wchar_t>(k.first));
        pair.append(static_cast<wchar_t>(k.second));
        writer->writeElement(L"k", true, L"c", pair.c_str(), L"k", engine::widen(std::to_string(k.amount).c_str()).c_str());
        writer->writeLineBreak();
    }
    writer->writeClosingTag(L"Font");
    writer->writeLineBreak();
    if (!writer->close()) return fail("could not write " + fontFilePath);
    return true;
}

}  // namespace fontbuild
