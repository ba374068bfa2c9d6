// Renders a TrueType font into the engine's font file and glyph sheets:
//   fontbuild <font.ttf> <pixel-size> <output.ofnt> [--chars <ranges>] [--max-sheet <pixels>] [--padding <pixels>]
// <ranges> lists character codes and ranges, decimal or 0x-hexadecimal, separated
// by commas: "32-126,0xA0-0xFF". The default is 32-126 and 160-255.
#include "tools/fontbuild/FontBuilder.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: fontbuild <font.ttf> <pixel-size> <output.ofnt> [--chars <ranges>] [--max-sheet <pixels>] "
                 "[--padding <pixels>]\n");
    return 2;
}

bool parseNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return end && *end == '\0';
}

bool parseRanges(const std::string& text, std::vector<uint32_t>& codes) {
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = piece.find('-');
        long first = 0;
        long last = 0;
        if (dash == std::string::npos) {
            if (!parseNumber(piece, first)) return false;
            last = first;
        } else if (!parseNumber(piece.substr(0, dash), first) || !parseNumber(piece.substr(dash + 1), last)) {
            return false;
        }
        if (first < 0 || last > 0xFFFF || first > last) return false;
        for (long c = first; c <= last; ++c) codes.push_back(static_cast<uint32_t>(c));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return !codes.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    fontbuild::FontBuildOptions options;
    options.fontPath = argv[1];
    long size = 0;
    if (!parseNumber(argv[2], size) || size <= 0 || size > 4096) return usage();
    options.pixelSize = static_cast<int>(size);
    const std::string output = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return usage();
        const std::string value = argv[++i];
        long number = 0;
        if (option == "--chars") {
            if (!parseRanges(value, options.characters)) return usage();
        } else if (option == "--max-sheet" && parseNumber(value, number) && number > 0 && number <= 16384) {
            options.maxSheetSize = static_cast<int>(number);
        } else if (option == "--padding" && parseNumber(value, number) && number >= 0 && number <= 64) {
            options.padding = static_cast<int>(number);
        } else {
            return usage();
        }
    }

    fontbuild::FontBuilder builder;
    if (!builder.render(options) || !builder.write(output)) {
        std::fprintf(stderr, "fontbuild: %s\n", builder.error().c_str());
        return 1;
    }
    std::printf("Wrote %s: %zu glyphs, %zu kerning pairs, %zu sheet(s)\n", output.c_str(), builder.glyphs().size(),
                builder.kerning().size(), builder.sheetCount());
    return 0;
}
