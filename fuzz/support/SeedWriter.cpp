// fuzz_seeds <folder>: writes the binary seeds of the fuzz targets into
// <folder>/<target>/, made with the engine's own writers and the test
// fixtures' file builders (the text seeds are committed in fuzz/corpus/).
#include "audio/AudioFixtures.h"
#include "engine/core/Logger.h"
#include "engine/io/AssetArchiveWriter.h"
#include "engine/platform/ImageManager.h"
#include "fuzz/support/FuzzSupport.h"
#include "io/IoTestSupport.h"
#include "platform/ImageTestSupport.h"
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace engine;
namespace fs = std::filesystem;

namespace {

fs::path root;
bool failed = false;

void seed(const char* target, const char* name, const std::string& bytes) {
    const fs::path folder = root / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (bytes.empty() || !out) {
        std::fprintf(stderr, "could not write seed %s/%s\n", target, name);
        failed = true;
    }
}

std::string written(const char* fileName, uint32_t width, uint32_t height, ColorFormat format, uint32_t quality = 90) {
    auto image = image_test::gradient(format, width, height, format == CF_A8R8G8B8);
    return image_test::writeImageBytes(image.get(), fileName, &quality);
}

void imageSeeds() {
    seed("image_bmp", "rgb.bmp", written("a.bmp", 9, 5, CF_R8G8B8));
    seed("image_bmp", "palette.bmp", image_test::bmp8(3, 2, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 2, 2, 1, 0}));
    seed("image_bmp", "rle.bmp",
         image_test::bmpRle8(4, 2, {0xFF0000, 0x00FF00}, std::string("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10)));
    seed("image_jpeg", "small.jpg", written("a.jpg", 17, 9, CF_R8G8B8));
    seed("image_png", "alpha.png", written("a.png", 7, 5, CF_A8R8G8B8));
    seed("image_png", "rgb.png", written("a.png", 6, 3, CF_R8G8B8));
    seed("image_tga", "alpha.tga", written("a.tga", 7, 5, CF_A8R8G8B8));
    seed("image_tga", "rle.tga", image_test::tga(10, 24, 2, 1, "", 0, std::string("\x81\x10\x20\x30", 4)));
    seed("image_tga", "mapped.tga",
         image_test::tga(1, 8, 2, 1, std::string("\x00\x00\xFF\x00\xFF\x00", 6), 24, std::string("\x00\x01", 2)));
    seed("image_pcx", "palette.pcx", image_test::pcx8(3, 2, {0, 1, 1, 1, 0, 0}, {0xFF0000, 0x00FF00}));
    seed("image_pcx", "rgb.pcx", image_test::pcx24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
    seed("image_ppm", "raw.ppm", written("a.ppm", 5, 4, CF_R8G8B8));
    seed("image_wal", "small.wal", image_test::wal(4, 4, std::vector<uint8_t>(16, 7)));
}

void archiveSeeds() {
    using io_test::ZipItem;
    seed("zip", "mixed.zip",
         io_test::buildZip({ZipItem{"a.txt", "stored text", false}, ZipItem{"dir/b.xml", std::string(200, 'x'), true}})
             .bytes);
    seed("zip", "local_only.zip", io_test::buildZip({ZipItem{"c.bin", "abc", true}}, false).bytes);
    AssetArchiveWriter writer(fuzz::kAssetArchiveKey);
    writer.addFile("a.txt", "first entry");
    writer.addFile("dir/b.xml", "<a b=\"c\"/>");
    writer.addFile("empty", "");
    std::string oca;
    if (!writer.build(oca)) failed = true;
    seed("asset_archive", "three.oca", oca);
}

void soundSeeds() {
    audiotest::WavSpec mono;
    mono.frames = 40;
    seed("wav", "mono16.wav", audiotest::makeWav(mono));
    audiotest::WavSpec stereo8 = mono;
    stereo8.channels = 2;
    stereo8.bits = 8;
    stereo8.dataFirst = true;
    seed("wav", "stereo8.wav", audiotest::makeWav(stereo8, std::string("LIST\x04\x00\x00\x00INFO", 12)));
    audiotest::WavSpec surround = mono;
    surround.tag = 0xFFFE;
    surround.channels = 6;
    surround.mask = 63;
    surround.frames = 10;
    seed("wav", "extensible.wav", audiotest::makeWav(surround));
    // Ogg files are made by sox (a dependency of the content build).
    for (int channels : {1, 2}) {
        fs::create_directories(root / "ogg");
        const std::string path = (root / "ogg" / ("tone" + std::to_string(channels) + ".ogg")).string();
        if (audiotest::makeOggWithSox(path, channels, "0.05").empty()) {
            std::fprintf(stderr, "could not make %s with sox\n", path.c_str());
            failed = true;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    fuzz::quietLogger();
    root = argv[1];
    imageSeeds();
    archiveSeeds();
    soundSeeds();
    return failed ? 1 : 0;
}
