// Packs the PNG images of a folder into atlas sheets and an atlas collection:
//   atlaspack <image-folder> <output-collection> [--prefix <name-prefix>] [--max-sheet <pixels>]
//             [--padding <pixels>] [--no-trim]
// Entries are named by the images' paths below the folder, after the prefix.
#include "tools/atlaspack/AtlasPacker.h"
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: atlaspack <image-folder> <output-collection> [--prefix <name-prefix>] [--max-sheet <pixels>] "
                 "[--padding <pixels>] [--no-trim]\n");
    return 2;
}

bool parseNumber(const std::string& text, long low, long high, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0' || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    atlaspack::PackOptions options;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--no-trim") {
            options.trim = false;
            continue;
        }
        if (i + 1 >= argc) return usage();
        const std::string value = argv[++i];
        if (option == "--prefix") {
            options.namePrefix = value;
        } else if (option == "--max-sheet") {
            if (!parseNumber(value, 1, 16384, options.maxSheetSize)) return usage();
        } else if (option == "--padding") {
            if (!parseNumber(value, 0, 64, options.padding)) return usage();
        } else {
            return usage();
        }
    }

    atlaspack::AtlasPacker packer(options);
    if (!packer.addFolder(argv[1]) || !packer.pack() || !packer.write(argv[2])) {
        std::fprintf(stderr, "atlaspack: %s\n", packer.error().c_str());
        return 1;
    }
    std::printf("Packed %zu images into %s and %zu sheet(s)\n", packer.entries().size(), argv[2],
                packer.sheetCount());
    return 0;
}
