#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/io/MemoryFile.h"
#include "engine/io/ZipArchive.h"
#include "io/IoTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <filesystem>

using namespace engine;
using io_test::ZipItem;
using testing_support::LogCapture;
using testing_support::TempDir;

namespace {

const std::string kLongText = [] {
    std::string s;
    for (int i = 0; i < 2000; ++i) s += "line " + std::to_string(i) + " of a text that compresses\n";
    return s;
}();

const std::vector<ZipItem> kItems = {
    {"scenes/LogosScene.oscn", kLongText, true},
    {"Images/A.PNG", "stored png bytes", false},
    {"a/b/c.png", "deep", true},
    {"readme.txt", "", true},  // an empty deflated entry
    {"stored-empty", "", false},
};

// A zip archive over bytes held in memory.
CountedRef<ZipArchive> zipOver(const std::string& bytes, bool ignoreCase = false, bool ignorePaths = false,
                               const char* name = "test.zip") {
    // The archive keeps a reference to the memory file; the bytes must outlive it.
    IrrRef<MemoryFile> file(new MemoryFile(const_cast<char*>(bytes.data()), static_cast<int32_t>(bytes.size()),
                                           name, false));
    return CountedRef<ZipArchive>(ZipArchive::create(file.get(), ignoreCase, ignorePaths));
}

std::string openAndRead(FileArchive* archive, const char* name) {
    IrrRef<irr::io::IReadFile> file(archive->openFile(name));
    return file ? io_test::readRest(file.get()) : std::string("<none>");
}

}  // namespace

TEST(ZipArchiveTest, ReadsStoredAndDeflatedEntries) {
    const io_test::ZipBytes zip = io_test::buildZip(kItems);
    LogCapture log;
    CountedRef<ZipArchive> archive = zipOver(zip.bytes);
    ASSERT_TRUE(archive);
    EXPECT_STREQ(archive->getType().c_str(), "zip");
    EXPECT_STREQ(archive->getPath().c_str(), "test.zip");
    EXPECT_EQ(archive->getFileCount(), kItems.size());
    for (const ZipItem& item : kItems) EXPECT_EQ(openAndRead(archive.get(), item.name.c_str()), item.data) << item.name;
    EXPECT_TRUE(log.entries().empty());

    // Deflated entries are memory files named by the stored name; stored ones are
    // sections named by the look-up name.
    IrrRef<irr::io::IReadFile> deflated(archive->openFile("a/b/c.png"));
    ASSERT_TRUE(deflated);
    EXPECT_STREQ(deflated->getFileName().c_str(), "a/b/c.png");
    EXPECT_EQ(deflated->getSize(), 4);
}

TEST(ZipArchiveTest, EntriesAreSortedWithTheirHeaderFields) {
    const io_test::ZipBytes zip = io_test::buildZip(kItems);
    CountedRef<ZipArchive> archive = zipOver(zip.bytes);
    ASSERT_TRUE(archive);
    const char* const sorted[] = {"Images/A.PNG", "a/b/c.png", "readme.txt", "scenes/LogosScene.oscn", "stored-empty"};
    for (uint32_t i = 0; i < 5; ++i) {
        const auto* entry = static_cast<const ZipEntry*>(archive->getFileEntry(i));
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name.c_str(), sorted[i]);
        EXPECT_EQ(archive->findFile(sorted[i]), static_cast<int32_t>(i));
    }
    EXPECT_EQ(archive->getFileEntry(5), nullptr);
    const auto* png = static_cast<const ZipEntry*>(archive->getFileEntry(0));
    EXPECT_STREQ(png->path.c_str(), "Images/");
    EXPECT_STREQ(png->fullName.c_str(), "Images/A.PNG");
    EXPECT_EQ(png->compressionMethod, 0);
    EXPECT_EQ(png->compressedSize, 16u);
    EXPECT_EQ(png->uncompressedSize, 16u);
    EXPECT_EQ(png->dataPosition, zip.dataOffsets[1]);
    EXPECT_EQ(png->extraLength, 4);
}

TEST(ZipArchiveTest, CaseAndPathFlags) {
    const io_test::ZipBytes zip = io_test::buildZip(kItems);
    const struct {
        bool ignoreCase;
        bool ignorePaths;
        const char* lookUp;
        bool found;
    } cases[] = {
        {false, false, "Images/A.PNG", true},  {false, false, "images/a.png", false},
        {true, false, "images/a.png", true},   {true, false, "IMAGES/A.png", true},
        {false, false, "a/b/c.png", true},     {false, false, "c.png", false},
        {false, false, "a\\b\\c.png", false},  {false, true, "c.png", true},
        {false, true, "x/c.png", true},        {false, true, "x\\y\\c.png", true},
        {false, true, "a/b/c.png", true},      {true, true, "A.png", true},
        {false, true, "b/c.png/", false},
    };
    for (const auto& c : cases) {
        CountedRef<ZipArchive> archive = zipOver(zip.bytes, c.ignoreCase, c.ignorePaths);
        ASSERT_TRUE(archive);
        EXPECT_EQ(archive->findFile(c.lookUp) >= 0, c.found)
            << c.lookUp << " case " << c.ignoreCase << " paths " << c.ignorePaths;
    }
    // The same simple name in two folders: one of them is found.
    const io_test::ZipBytes twins = io_test::buildZip({{"x/same.txt", "x", true}, {"y/same.txt", "y", true}});
    CountedRef<ZipArchive> archive = zipOver(twins.bytes, false, true);
    const std::string got = openAndRead(archive.get(), "same.txt");
    EXPECT_TRUE(got == "x" || got == "y") << got;
}

TEST(ZipArchiveTest, StoredEntryIsASectionThatStopsAtItsEnd) {
    const io_test::ZipBytes zip = io_test::buildZip(kItems);
    CountedRef<ZipArchive> archive = zipOver(zip.bytes);
    IrrRef<irr::io::IReadFile> file(archive->openFile("Images/A.PNG"));
    ASSERT_TRUE(file);
    EXPECT_NE(dynamic_cast<FileSectionReader*>(file.get()), nullptr);
    EXPECT_EQ(file->getSize(), 16);
    char buffer[64];
    EXPECT_EQ(file->read(buffer, sizeof(buffer)), 16);
    EXPECT_EQ(file->read(buffer, sizeof(buffer)), 0);
    // Another open is independent of this one's position.
    EXPECT_EQ(openAndRead(archive.get(), "Images/A.PNG"), "stored png bytes");
}

TEST(ZipArchiveTest, DamagedDeflateStreamGivesNoFile) {
    io_test::ZipBytes zip = io_test::buildZip(kItems);
    // Entry 0 is the long text: break its stream in the middle.
    const size_t middle = zip.dataOffsets[0] + zip.dataSizes[0] / 2;
    for (size_t i = 0; i < 16; ++i) zip.bytes[middle + i] = static_cast<char>(0xFF);
    // Entry 2: declare one byte more than the stream holds, and entry 3 one less.
    io_test::setLe32(zip.bytes, zip.headerOffsets[2] + 22, 5);
    io_test::setLe32(zip.bytes, zip.headerOffsets[3] + 22, 0);  // unchanged: empty stays valid
    CountedRef<ZipArchive> archive = zipOver(zip.bytes);
    ASSERT_TRUE(archive);

    const struct {
        const char* name;
        bool opens;
    } cases[] = {{"scenes/LogosScene.oscn", false}, {"a/b/c.png", false}, {"readme.txt", true}};
    for (const auto& c : cases) {
        LogCapture log;
        IrrRef<irr::io::IReadFile> file(archive->openFile(c.name));
        EXPECT_EQ(static_cast<bool>(file), c.opens) << c.name;
        if (!c.opens) {
            ASSERT_EQ(log.entries().size(), 1u) << c.name;
            EXPECT_EQ(log.entries()[0].text, "Error decompressing %s");
            EXPECT_EQ(log.entries()[0].level, LOG_ERROR);
        }
    }

    // A stream longer than its declared size is as bad as a shorter one.
    io_test::ZipBytes longer = io_test::buildZip({{"t.txt", kLongText, true}});
    io_test::setLe32(longer.bytes, longer.headerOffsets[0] + 22, static_cast<uint32_t>(kLongText.size() - 1));
    CountedRef<ZipArchive> cut = zipOver(longer.bytes);
    LogCapture log;
    EXPECT_EQ(cut->openFile("t.txt"), nullptr);
    EXPECT_TRUE(log.contains("Error decompressing %s"));
    EXPECT_TRUE(log.contains("t.txt"));
}

TEST(ZipArchiveTest, ImplausibleSizesAndMethodsGiveNoFile) {
    io_test::ZipBytes zip = io_test::buildZip({{"bomb.bin", "tiny", true}, {"odd.bin", "odd", false}});
    io_test::setLe32(zip.bytes, zip.headerOffsets[0] + 22, 0xFFFFFFF0u);  // claims almost 4 GiB
    io_test::setLe16(zip.bytes, zip.headerOffsets[1] + 8, 12);           // a method we cannot read
    CountedRef<ZipArchive> archive = zipOver(zip.bytes);
    ASSERT_TRUE(archive);
    LogCapture log;
    EXPECT_EQ(archive->openFile("bomb.bin"), nullptr);
    EXPECT_TRUE(log.contains("Error decompressing %s"));
    EXPECT_EQ(archive->openFile("odd.bin"), nullptr);
    EXPECT_TRUE(log.contains("File has unsupported compression method. %s"));
    EXPECT_EQ(archive->openFile("missing"), nullptr);
    EXPECT_EQ(archive->openFileByIndex(2), nullptr);
}

TEST(ZipArchiveTest, DamagedHeadersGiveNoArchive) {
    const io_test::ZipBytes good = io_test::buildZip(kItems);
    const size_t second = good.headerOffsets[1];
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty file", ""});
    cases.push_back({"not a zip", "this is plain text and not a zip"});
    cases.push_back({"cut inside a header", good.bytes.substr(0, second + 20)});
    cases.push_back({"cut inside a name", good.bytes.substr(0, second + 33)});
    cases.push_back({"cut inside the data", good.bytes.substr(0, good.dataOffsets[0] + 10)});
    cases.push_back({"three stray bytes", good.bytes.substr(0, second) + "PK\3"});
    {
        std::string b = good.bytes;
        b[second + 2] = 'X';  // a signature that is no zip record
        cases.push_back({"bad signature", b});
    }
    {
        std::string b = good.bytes;
        io_test::setLe32(b, second + 18, 0x7FFFFFF0u);  // data past the end
        cases.push_back({"size past the end", b});
    }
    {
        std::string b = good.bytes;
        io_test::setLe16(b, second + 28, 0xFFFF);  // extra field past the end
        cases.push_back({"extra past the end", b});
    }
    {
        std::string b = good.bytes;
        io_test::setLe16(b, second + 6, 8);  // sizes in a data descriptor
        cases.push_back({"data descriptor", b});
    }
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_FALSE(zipOver(c.bytes)) << c.what;
        EXPECT_TRUE(log.hasErrors()) << c.what;
        EXPECT_TRUE(log.contains("test.zip")) << c.what;
    }
}

TEST(ZipArchiveTest, ListEndsAtTheCentralDirectoryOrTheEndOfTheFile) {
    const std::vector<ZipItem> two = {{"a.txt", "A", true}, {"b.txt", "B", false}};
    for (bool central : {true, false}) {
        const io_test::ZipBytes zip = io_test::buildZip(two, central);
        LogCapture log;
        CountedRef<ZipArchive> archive = zipOver(zip.bytes);
        ASSERT_TRUE(archive) << central;
        EXPECT_EQ(archive->getFileCount(), 2u);
        EXPECT_EQ(openAndRead(archive.get(), "b.txt"), "B");
        EXPECT_TRUE(log.entries().empty());
    }
    // An empty zip is only its end record.
    const io_test::ZipBytes empty = io_test::buildZip({});
    CountedRef<ZipArchive> archive = zipOver(empty.bytes);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->getFileCount(), 0u);
}

TEST(ZipArchiveTest, LoaderTestsNamesAndContent) {
    CountedRef<FileSystem> fs(new EngineFileSystem());
    ZipArchiveLoader loader(fs.get());
    const struct {
        const char* name;
        bool accepted;
    } names[] = {{"a.zip", true}, {"a.ZIP", true}, {"a.Pk3", true}, {"a.zip.oca", false}, {"zip", false}, {"a.zap", false}};
    for (const auto& n : names) EXPECT_EQ(loader.canLoadName(n.name), n.accepted) << n.name;

    const io_test::ZipBytes zip = io_test::buildZip(kItems);
    IrrRef<MemoryFile> file(new MemoryFile(const_cast<char*>(zip.bytes.data()), static_cast<int32_t>(zip.bytes.size()),
                                           "z", false));
    EXPECT_TRUE(loader.canLoadFile(file.get()));
    std::string text = "not a zip";
    IrrRef<MemoryFile> other(new MemoryFile(&text[0], static_cast<int32_t>(text.size()), "t", false));
    EXPECT_FALSE(loader.canLoadFile(other.get()));
    EXPECT_EQ(loader.createArchiveFromFile(nullptr, false, false), nullptr);

    // From a file at any position: the loader starts at 0.
    file->seek(7);
    CountedRef<FileArchive> archive(loader.createArchiveFromFile(file.get(), false, false));
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->getFileCount(), kItems.size());
}

TEST(ZipArchiveTest, MountedByNameOrByContent) {
    TempDir dir;
    io_test::ScopedWorkingDirectory cwd(dir.path().string());
    const io_test::ZipBytes zip = io_test::buildZip(kItems);
    dir.write("pack.zip", zip.bytes);
    dir.write("pack.bin", zip.bytes);  // no zip extension: recognised by its content

    CountedRef<FileSystem> fs(new EngineFileSystem());
    ASSERT_TRUE(fs->addFileArchive("pack.zip", false, false));
    ASSERT_TRUE(fs->addFileArchive("pack.bin", true, true));
    ASSERT_EQ(fs->getFileArchiveCount(), 2u);
    EXPECT_STREQ(fs->getFileArchive(0)->getType().c_str(), "zip");
    EXPECT_STREQ(fs->getFileArchive(1)->getPath().c_str(), "pack.bin");

    IrrRef<irr::io::IReadFile> file(fs->createAndOpenFile("scenes/LogosScene.oscn"));
    ASSERT_TRUE(file);
    EXPECT_EQ(io_test::readRest(file.get()), kLongText);
    IrrRef<irr::io::IReadFile> byFileName(fs->createAndOpenFile("LOGOSSCENE.OSCN"));  // the second mount ignores both
    EXPECT_TRUE(byFileName);

    // A damaged zip is refused at mount time.
    dir.write("broken.zip", zip.bytes.substr(0, zip.headerOffsets[2] + 10));
    LogCapture log;
    EXPECT_FALSE(fs->addFileArchive("broken.zip", false, false));
    EXPECT_TRUE(log.contains("Could not create archive for"));
    EXPECT_EQ(fs->getFileArchiveCount(), 2u);
}
