// Packs every file below a folder into an asset archive enciphered with a key.
// Entries are named by their paths relative to the folder, with '/'. An empty
// key ("") writes the archive unenciphered.
#include "engine/io/AssetArchiveWriter.h"
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ocapack <folder> <output.oca> <key>\n");
        return 2;
    }
    engine::AssetArchiveWriter writer(argv[3]);
    if (!writer.addFolder(argv[1]) || !writer.write(argv[2])) return 1;
    std::printf("Packed %u files from %s into %s\n", writer.getFileCount(), argv[1], argv[2]);
    return 0;
}
