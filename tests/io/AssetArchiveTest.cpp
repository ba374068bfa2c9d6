#include "engine/io/AssetArchive.h"
#include "engine/io/AssetArchiveWriter.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/io/MemoryFile.h"
#include "io/IoTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <map>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;

namespace {

// 59 printable characters, like the game's key.
const char* const kKey = "k3Y-for.the/asset#archive~with*59_printable+characters!!x";

std::string binaryBlob() {
    std::string s;
    for (int i = 0; i < 1000; ++i) s.push_back(static_cast<char>((i * 37) & 0xFF));
    return s;
}

const std::map<std::string, std::string> kFiles = {
    {"scenes/LogosScene.oscn", "<Scene/>"},
    {"scenes/images/Bg.png", binaryBlob()},
    {"strings/Dictionary.xml", "<Dictionary/>"},
    {"a", "x"},
    {"Images/A.PNG", "upper"},
    {"empty.txt", ""},
};

std::string pack(const stringc& key, const std::map<std::string, std::string>& files = kFiles) {
    AssetArchiveWriter writer(key);
    // Added in reverse order, so the directory has to be sorted on reading.
    for (auto it = files.rbegin(); it != files.rend(); ++it) EXPECT_TRUE(writer.addFile(it->first.c_str(), it->second));
    std::string bytes;
    EXPECT_TRUE(writer.build(bytes));
    return bytes;
}

CountedRef<AssetArchive> ocaOver(const std::string& bytes, const stringc& key, bool ignoreCase = false,
                                 bool ignorePaths = false) {
    IrrRef<MemoryFile> file(new MemoryFile(const_cast<char*>(bytes.data()), static_cast<int32_t>(bytes.size()),
                                           "assets.oca", false));
    return CountedRef<AssetArchive>(AssetArchive::create(file.get(), key, ignoreCase, ignorePaths));
}

std::string openAndRead(FileArchive* archive, const char* name) {
    IrrRef<irr::io::IReadFile> file(archive->openFile(name));
    return file ? io_test::readRest(file.get()) : std::string("<none>");
}

// The format's rule, written out: byte X (X >= 16) is XORed with key[(X - 16) mod L].
void encipher(std::string& bytes, const std::string& key) {
    if (key.empty()) return;
    for (size_t x = 16; x < bytes.size(); ++x) bytes[x] = static_cast<char>(bytes[x] ^ key[(x - 16) % key.size()]);
}

void put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

TEST(AssetArchiveTest, PackerRoundTrip) {
    for (const char* key : {kKey, "", "k"}) {
        const std::string bytes = pack(key);
        LogCapture log;
        CountedRef<AssetArchive> archive = ocaOver(bytes, key);
        ASSERT_TRUE(archive) << key;
        EXPECT_STREQ(archive->getType().c_str(), "oca");
        EXPECT_STREQ(archive->getPath().c_str(), "assets.oca");
        EXPECT_EQ(archive->getFileCount(), kFiles.size());
        for (const auto& [name, data] : kFiles) {
            if (data.empty()) continue;
            IrrRef<irr::io::IReadFile> file(archive->openFile(name.c_str()));
            ASSERT_TRUE(file) << name;
            EXPECT_STREQ(file->getFileName().c_str(), name.c_str());
            EXPECT_EQ(io_test::readRest(file.get()), data) << name << " with key '" << key << "'";
        }
        EXPECT_TRUE(log.entries().empty());
    }
}

TEST(AssetArchiveTest, EveryByteAfterTheHeaderIsEnciphered) {
    const std::string plain = pack("");
    std::string enciphered = pack(kKey);
    ASSERT_EQ(plain.size(), enciphered.size());
    EXPECT_EQ(enciphered.substr(0, 16), plain.substr(0, 16));  // the header stays plain
    EXPECT_EQ(enciphered.substr(0, 4), std::string("OCA\0", 4));
    EXPECT_NE(enciphered, plain);
    encipher(enciphered, kKey);  // XOR again deciphers
    EXPECT_EQ(enciphered, plain);
}

TEST(AssetArchiveTest, EntriesDecipherWhereverTheyLie) {
    // A hand-made archive: directory first, a gap of odd length, then the data in
    // the opposite order from the directory.
    const std::string key = "abcdefg";
    const std::string first = "first entry data";
    const std::string second = "second";
    const uint32_t directoryOffset = 16;
    const uint32_t directorySize = (2 + 5 + 8) * 2;
    const uint32_t secondAt = directoryOffset + directorySize + 3;
    const uint32_t firstAt = secondAt + static_cast<uint32_t>(second.size()) + 11;

    std::string bytes("OCA\0", 4);
    put32(bytes, directoryOffset);
    put32(bytes, 2);
    put32(bytes, 0xDEADBEEF);  // reserved, never read
    for (const auto& [name, at, size] : {std::tuple<const char*, uint32_t, size_t>{"zzzzz", firstAt, first.size()},
                                         std::tuple<const char*, uint32_t, size_t>{"aaaaa", secondAt, second.size()}}) {
        put16(bytes, 5);
        bytes += name;
        put32(bytes, at);
        put32(bytes, static_cast<uint32_t>(size));
    }
    bytes += "GAP" + second + std::string(11, '#') + first;
    encipher(bytes, key);

    CountedRef<AssetArchive> archive = ocaOver(bytes, key.c_str());
    ASSERT_TRUE(archive);
    EXPECT_EQ(openAndRead(archive.get(), "zzzzz"), first);
    EXPECT_EQ(openAndRead(archive.get(), "aaaaa"), second);
    const auto* entry = static_cast<const AssetEntry*>(archive->getFileEntry(0));
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->name.c_str(), "aaaaa");
    EXPECT_EQ(entry->offset, secondAt);
    EXPECT_EQ(entry->size, second.size());
    EXPECT_EQ(archive->getFileEntry(2), nullptr);
}

TEST(AssetArchiveTest, LookUpsAndFlags) {
    std::map<std::string, std::string> files = kFiles;
    files["lower/name.txt"] = "lower";
    const std::string bytes = pack(kKey, files);
    {
        CountedRef<AssetArchive> archive = ocaOver(bytes, kKey);
        ASSERT_TRUE(archive);
        for (uint32_t i = 0; i < archive->getFileCount(); ++i) {
            const FileArchiveEntry* entry = archive->getFileEntry(i);
            EXPECT_EQ(archive->findFile(entry->name), static_cast<int32_t>(i)) << entry->name.c_str();
        }
    }
    const struct {
        bool ignoreCase;
        bool ignorePaths;
        const char* lookUp;
        bool found;
    } cases[] = {
        {false, false, "scenes/LogosScene.oscn", true},
        {false, false, "scenes/logosscene.oscn", false},   // case matters
        {false, false, "scenes\\LogosScene.oscn", false},  // so do separators
        {false, false, "LogosScene.oscn", false},
        {true, false, "LOWER/NAME.TXT", true},   // the look-up is lower-cased...
        {true, false, "Images/A.PNG", false},    // ...the stored names are not
        {false, true, "x/y/a", true},            // reduced to its file name part
        {false, true, "a/b\\a", true},
        {false, true, "scenes/LogosScene.oscn", false},
        {false, false, "", false},
    };
    for (const auto& c : cases) {
        CountedRef<AssetArchive> archive = ocaOver(bytes, kKey, c.ignoreCase, c.ignorePaths);
        ASSERT_TRUE(archive);
        EXPECT_EQ(archive->findFile(c.lookUp) >= 0, c.found)
            << c.lookUp << " case " << c.ignoreCase << " paths " << c.ignorePaths;
    }
}

TEST(AssetArchiveTest, EmptyEntryExistsButGivesNoFile) {
    const std::string bytes = pack(kKey);
    CountedRef<AssetArchive> archive = ocaOver(bytes, kKey);
    ASSERT_TRUE(archive);
    EXPECT_GE(archive->findFile("empty.txt"), 0);
    LogCapture log;
    EXPECT_EQ(archive->openFile("empty.txt"), nullptr);
    EXPECT_EQ(archive->openFile("missing"), nullptr);
    EXPECT_EQ(archive->openFileByIndex(99), nullptr);
    EXPECT_TRUE(log.entries().empty());
}

TEST(AssetArchiveTest, TwoArchivesOverOneFileAreIndependent) {
    const std::string bytes = pack(kKey);
    IrrRef<MemoryFile> file(new MemoryFile(const_cast<char*>(bytes.data()), static_cast<int32_t>(bytes.size()),
                                           "assets.oca", false));
    CountedRef<AssetArchive> a(AssetArchive::create(file.get(), kKey, false, false));
    CountedRef<AssetArchive> b(AssetArchive::create(file.get(), kKey, false, false));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(file->getReferenceCount(), 3);
    IrrRef<irr::io::IReadFile> fromA(a->openFile("scenes/images/Bg.png"));
    a.reset();
    IrrRef<irr::io::IReadFile> fromB(b->openFile("strings/Dictionary.xml"));
    EXPECT_EQ(io_test::readRest(fromA.get()), binaryBlob());
    EXPECT_EQ(io_test::readRest(fromB.get()), "<Dictionary/>");
    b.reset();
    EXPECT_EQ(file->getReferenceCount(), 1);
}

TEST(AssetArchiveTest, BadArchivesAreRefusedWithAnError) {
    const std::string good = pack(kKey);
    const uint32_t directoryOffset = static_cast<uint8_t>(good[4]) | (static_cast<uint8_t>(good[5]) << 8);
    struct Case {
        const char* what;
        std::string bytes;
        const char* key;
    };
    std::vector<Case> cases = {
        {"empty file", "", kKey},
        {"short header", good.substr(0, 10), kKey},
        {"wrong magic", "OCB" + good.substr(3), kKey},
        {"cut inside the directory", good.substr(0, directoryOffset + 9), kKey},
        {"cut before the directory", good.substr(0, directoryOffset - 1), kKey},
        {"cut at the last byte", good.substr(0, good.size() - 1), kKey},
        {"wrong key", good, "a wrong key"},
        {"no key for an enciphered archive", good, ""},
    };
    {
        std::string b = good;
        io_test::setLe32(b, 4, static_cast<uint32_t>(good.size() + 100));
        cases.push_back({"directory past the end", b, kKey});
    }
    {
        std::string b = good;
        io_test::setLe32(b, 4, 3);
        cases.push_back({"directory inside the header", b, kKey});
    }
    {
        std::string b = good;
        io_test::setLe32(b, 8, 0xFFFFFFFFu);
        cases.push_back({"absurd entry count", b, kKey});
    }
    {
        std::string b = good;
        io_test::setLe32(b, 8, static_cast<uint32_t>(kFiles.size() + 1));
        cases.push_back({"one entry too many", b, kKey});
    }
    {
        // An entry whose data runs past the end of the file.
        std::string b = pack("");
        const uint32_t dir = static_cast<uint8_t>(b[4]) | (static_cast<uint8_t>(b[5]) << 8);
        const uint16_t nameLength = static_cast<uint16_t>(static_cast<uint8_t>(b[dir]) | (static_cast<uint8_t>(b[dir + 1]) << 8));
        io_test::setLe32(b, dir + 2 + nameLength + 4, 0x10000000u);
        cases.push_back({"entry past the end", b, ""});
    }
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_FALSE(ocaOver(c.bytes, c.key)) << c.what;
        EXPECT_TRUE(log.hasErrors()) << c.what;
        EXPECT_TRUE(log.contains("assets.oca")) << c.what;
    }
}

TEST(AssetArchiveTest, LoaderUsesTheKeyOfTheFileSystem) {
    TempDir dir;
    io_test::ScopedWorkingDirectory cwd(dir.path().string());
    dir.write("assets.oca", pack(kKey));
    dir.write("renamed.bin", pack(kKey));

    CountedRef<FileSystem> fs(new EngineFileSystem());
    AssetArchiveLoader loader(fs.get());
    const struct {
        const char* name;
        bool accepted;
    } names[] = {{"assets.oca", true}, {"ASSETS.OCA", true}, {"assets.oca.zip", false}, {"assets", false}};
    for (const auto& n : names) EXPECT_EQ(loader.canLoadName(n.name), n.accepted) << n.name;

    // Without the key the directory is garbage: no archive.
    {
        LogCapture log;
        EXPECT_FALSE(fs->addFileArchive("assets.oca", false, false));
        EXPECT_TRUE(log.contains("Could not create archive for"));
    }
    fs->setAssetsCryptKey(kKey);
    ASSERT_TRUE(fs->addFileArchive("assets.oca", false, false));
    ASSERT_TRUE(fs->addFileArchive("renamed.bin", false, false));  // found by its content
    ASSERT_EQ(fs->getFileArchiveCount(), 2u);
    EXPECT_STREQ(fs->getFileArchive(1)->getType().c_str(), "oca");

    // A later change of the key leaves mounted archives as they are.
    fs->setAssetsCryptKey("another key");
    IrrRef<irr::io::IReadFile> file(fs->createAndOpenFile("strings/Dictionary.xml"));
    ASSERT_TRUE(file);
    EXPECT_EQ(io_test::readRest(file.get()), "<Dictionary/>");
}

TEST(AssetArchiveTest, WriterRefusesBadInput) {
    LogCapture log;
    AssetArchiveWriter writer("k");
    EXPECT_FALSE(writer.addFile("", "data"));
    EXPECT_FALSE(writer.addFile(stringc(std::string(70000, 'n').c_str()), "data"));
    EXPECT_FALSE(writer.addFolder("no/such/folder"));
    EXPECT_EQ(writer.getFileCount(), 0u);
    EXPECT_FALSE(writer.write("no/such/folder/out.oca"));
    EXPECT_TRUE(log.hasErrors());
}

TEST(AssetArchiveTest, WriterPacksAFolder) {
    TempDir dir;
    for (const auto& [name, data] : kFiles) dir.write("src/" + name, data);
    AssetArchiveWriter writer(kKey);
    ASSERT_TRUE(writer.addFolder(dir.file("src").c_str()));
    EXPECT_EQ(writer.getFileCount(), kFiles.size());
    ASSERT_TRUE(writer.write(dir.file("out.oca").c_str()));

    const std::string bytes = TempDir::read(dir.file("out.oca"));
    CountedRef<AssetArchive> archive = ocaOver(bytes, kKey);
    ASSERT_TRUE(archive);
    for (const auto& [name, data] : kFiles) {
        EXPECT_GE(archive->findFile(name.c_str()), 0) << name;
        if (!data.empty()) {
            EXPECT_EQ(openAndRead(archive.get(), name.c_str()), data) << name;
        }
    }
}
