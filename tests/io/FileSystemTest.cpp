#include "engine/core/XmlReader.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/io/PathUtils.h"
#include "io/IoTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest() : cwd_(dir_.path().string()) {}

    TempDir dir_;
    io_test::ScopedWorkingDirectory cwd_;
    CountedRef<EngineFileSystem> fs_{new EngineFileSystem()};
};

// Sets an environment variable for one test and puts it back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_)
            ::setenv(name_.c_str(), old_.c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST_F(FileSystemTest, OpensPlainFilesByTheNameGiven) {
    dir_.write("scenes/a.txt", "hello");
    IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile("scenes/a.txt"));
    ASSERT_TRUE(file);
    EXPECT_STREQ(file->getFileName().c_str(), "scenes/a.txt");
    EXPECT_EQ(file->getSize(), 5);
    EXPECT_EQ(io_test::readRest(file.get()), "hello");
    EXPECT_FALSE(file->seek(6));
    EXPECT_TRUE(file->seek(-2, true));
    EXPECT_EQ(io_test::readRest(file.get()), "lo");
}

TEST_F(FileSystemTest, BackslashesAreSeparators) {
    dir_.write("scenes/images/b.png", "png");
    IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile("scenes\\images\\b.png"));
    ASSERT_TRUE(file);
    EXPECT_STREQ(file->getFileName().c_str(), "scenes\\images\\b.png");
    EXPECT_TRUE(fs_->existFile("scenes\\images\\b.png", false));
}

TEST_F(FileSystemTest, FoldersAreNeverOpenedAsFiles) {
    std::filesystem::create_directories(dir_.path() / "folder");
    LogCapture log;
    EXPECT_EQ(fs_->createAndOpenFile("folder"), nullptr);
    EXPECT_EQ(fs_->createAndOpenFile("."), nullptr);
    EXPECT_EQ(fs_->createAndOpenFile(""), nullptr);
    EXPECT_EQ(fs_->createAndOpenFile("missing.txt"), nullptr);
    EXPECT_EQ(fs_->createXMLReader("folder"), nullptr);
    EXPECT_TRUE(log.entries().empty());  // a missing file is not an error of the file system
    // The engine's existence test counts folders; the portable one does not.
    EXPECT_TRUE(fs_->existFile("folder", false));
    CountedRef<FileSystem> portable(new FileSystem());
    EXPECT_FALSE(portable->existFile("folder", false));
    EXPECT_FALSE(fs_->removeFile("folder"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "folder"));
}

TEST_F(FileSystemTest, WriteRemoveAndRename) {
    {
        IrrRef<irr::io::IWriteFile> out(fs_->createAndWriteFile("out.txt", false));
        ASSERT_TRUE(out);
        EXPECT_EQ(out->write("abc", 3), 3);
    }
    {
        IrrRef<irr::io::IWriteFile> out(fs_->createAndWriteFile("out.txt", true));
        ASSERT_TRUE(out);
        EXPECT_EQ(out->write("de", 2), 2);
    }
    EXPECT_EQ(TempDir::read(dir_.file("out.txt")), "abcde");
    EXPECT_EQ(fs_->createAndWriteFile("no/such/folder/x.txt", false), nullptr);

    EXPECT_TRUE(fs_->renameFile("out.txt", "moved.txt"));
    EXPECT_FALSE(fs_->existFile("out.txt"));
    EXPECT_TRUE(fs_->existFile("moved.txt"));
    EXPECT_FALSE(fs_->renameFile("out.txt", "again.txt"));
    EXPECT_TRUE(fs_->removeFile("moved.txt"));
    EXPECT_FALSE(fs_->removeFile("moved.txt"));
}

TEST_F(FileSystemTest, MemoryFilesNeedMemory) {
    char data[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(fs_->createMemoryReadFile(nullptr, 4, "m", false), nullptr);
    EXPECT_EQ(fs_->createMemoryWriteFile(nullptr, 4, "m", false), nullptr);
    EXPECT_EQ(fs_->createMemoryReadFile(data, -1, "m", false), nullptr);
    IrrRef<irr::io::IReadFile> in(fs_->createMemoryReadFile(data, 4, "m", false));
    ASSERT_TRUE(in);
    EXPECT_EQ(io_test::readRest(in.get()), "abcd");
    IrrRef<irr::io::IWriteFile> out(fs_->createMemoryWriteFile(data, 4, "m", false));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->write("xy", 2), 2);
    EXPECT_EQ(std::string(data, 4), "xycd");
}

TEST_F(FileSystemTest, UniqueNamesSkipTakenOnesAndHaveSixDigits) {
    // A scripted generator: the first two draws name files that exist.
    const uint32_t draws[] = {42, 999999 + 42, 1234567, 7};
    size_t next = 0;
    fs_->setRandomSource([&] { return draws[next++ % 4]; });
    dir_.write("shots/screenshot000042", "");
    dir_.write("shots/screenshot234568", "");  // 1234567 mod 999999
    EXPECT_STREQ(fs_->makeUniqueFileName("shots", "screenshot").c_str(), "screenshot000007");
    EXPECT_EQ(next, 4u);

    // The default generator gives six digits too, and never a taken name.
    CountedRef<EngineFileSystem> fresh(new EngineFileSystem());
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        const stringc name = fresh->makeUniqueFileName("shots", "p");
        ASSERT_EQ(name.size(), 7u);
        for (uint32_t c = 1; c < 7; ++c) EXPECT_TRUE(name[c] >= '0' && name[c] <= '9') << name.c_str();
        EXPECT_FALSE(std::filesystem::exists(dir_.path() / "shots" / name.c_str()));
        dir_.write(std::string("shots/") + name.c_str(), "");
        seen.insert(name.c_str());
    }
    EXPECT_EQ(seen.size(), 20u);
}

TEST_F(FileSystemTest, WorkingDirectoryAndAbsolutePaths) {
    const std::string here = std::filesystem::current_path().string();
    EXPECT_STREQ(fs_->getWorkingDirectory().c_str(), here.c_str());
    const struct {
        const char* input;
        std::string expected;
    } cases[] = {
        {"assets", here + "/assets"},
        {"a/./b/../c", here + "/a/c"},
        {"a\\b", here + "/a/b"},
        {"/usr/../tmp/x", "/tmp/x"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_STREQ(fs_->getAbsolutePath(c.input).c_str(), c.expected.c_str()) << c.input;

    std::filesystem::create_directories(dir_.path() / "sub");
    EXPECT_TRUE(fs_->changeWorkingDirectoryTo("sub"));
    EXPECT_STREQ(fs_->getWorkingDirectory().c_str(), (here + "/sub").c_str());
    EXPECT_FALSE(fs_->changeWorkingDirectoryTo("missing"));
}

TEST_F(FileSystemTest, FileListShowsTheWorkingDirectory) {
    dir_.write("one.txt", "1");
    std::filesystem::create_directories(dir_.path() / "two");
    IrrRef<irr::io::IFileList> list(fs_->createFileList());
    ASSERT_TRUE(list);
    std::set<std::string> files, folders;
    for (irr::u32 i = 0; i < list->getFileCount(); ++i)
        (list->isDirectory(i) ? folders : files).insert(list->getFileName(i).c_str());
    EXPECT_EQ(files, std::set<std::string>{"one.txt"});
    EXPECT_TRUE(folders.count("two"));
}

TEST_F(FileSystemTest, XmlReaderOverAFileIsTheEnginesReader) {
    dir_.write("config.xml", "<?xml version=\"1.0\"?>\n<Root Value=\"1e3\" Text=\"x\"/>\n");
    CountedRef<XmlReader> reader(fs_->createXMLReader("config.xml"));
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->getRefCount(), 1);
    std::vector<std::pair<int, std::wstring>> nodes;
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        if (type != irr::io::EXN_ELEMENT && type != irr::io::EXN_ELEMENT_END) continue;
        nodes.emplace_back(type, reader->getNodeName().c_str());
        if (type != irr::io::EXN_ELEMENT) continue;
        EXPECT_EQ(reader->getAttributeValueAsInt(L"Value", 5), 1000);
        EXPECT_EQ(reader->getAttributeValueAsInt(L"Missing", 5), 5);
        EXPECT_EQ(reader->getAttributeValue(L"Missing", L"none"), stringw(L"none"));
    }
    // The empty element has its end.
    EXPECT_EQ(nodes, (std::vector<std::pair<int, std::wstring>>{{irr::io::EXN_ELEMENT, L"Root"},
                                                                {irr::io::EXN_ELEMENT_END, L"Root"}}));

    IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile("config.xml"));
    ASSERT_TRUE(file);
    CountedRef<XmlReader> overFile(fs_->createXMLReader(file.get()));
    ASSERT_TRUE(overFile);
    EXPECT_TRUE(overFile->isValid());
    EXPECT_EQ(file->getReferenceCount(), 1) << "the file stays the caller's alone";

    EXPECT_EQ(fs_->createXMLReader(static_cast<irr::io::IReadFile*>(nullptr)), nullptr);
    EXPECT_EQ(fs_->createXMLReader("missing.xml"), nullptr);
}

TEST_F(FileSystemTest, DataFoldersFollowXdgAndAreCreated) {
    const std::string xdg = dir_.file("xdg");
    ScopedEnv env("XDG_DATA_HOME", xdg.c_str());
    fs_->setPublisherName("Publisher");
    fs_->setTitleName("Title");
    const std::string user = xdg + "/Publisher/Title";
    EXPECT_STREQ(fs_->getUserDataFolder().c_str(), user.c_str());
    EXPECT_TRUE(std::filesystem::is_directory(user));
    EXPECT_STREQ(fs_->getSharedDataFolder().c_str(), (user + "/Shared").c_str());
    EXPECT_TRUE(std::filesystem::is_directory(user + "/Shared"));
    // An existing folder is used as it is.
    dir_.write("xdg/Publisher/Title/profile.dat", "keep");
    EXPECT_STREQ(fs_->getUserDataFolder().c_str(), user.c_str());
    EXPECT_EQ(TempDir::read(user + "/profile.dat"), "keep");

    // The portable file system has no data folders.
    CountedRef<FileSystem> portable(new FileSystem());
    EXPECT_STREQ(portable->getUserDataFolder().c_str(), "");
    EXPECT_STREQ(portable->getSharedDataFolder().c_str(), "");
}

TEST_F(FileSystemTest, DataFoldersFallBackToHome) {
    const struct {
        const char* xdg;  // null: unset
    } cases[] = {{nullptr}, {""}, {"relative/path"}};
    for (const auto& c : cases) {
        const std::string home = dir_.file("home");
        ScopedEnv homeEnv("HOME", home.c_str());
        ScopedEnv xdgEnv("XDG_DATA_HOME", c.xdg);
        fs_->setPublisherName("P");
        fs_->setTitleName("T");
        const std::string expected = home + "/.local/share/P/T";
        EXPECT_STREQ(fs_->getUserDataFolder().c_str(), expected.c_str()) << (c.xdg ? c.xdg : "(unset)");
        EXPECT_TRUE(std::filesystem::is_directory(expected));
    }
}

TEST_F(FileSystemTest, ArchivesThatCannotBeMadeAreLoggedAndSkipped) {
    dir_.write("notes.txt", "plain text");
    const struct {
        const char* path;
    } cases[] = {{"missing"}, {"missing.oca"}, {"missing.zip"}, {"notes.txt"}, {"missing.d"}};
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_FALSE(fs_->addFileArchive(c.path, false, false)) << c.path;
        ASSERT_FALSE(log.entries().empty()) << c.path;
        EXPECT_EQ(log.entries().back().text, "Could not create archive for");
        EXPECT_EQ(log.entries().back().hint, c.path);
        EXPECT_EQ(log.entries().back().level, LOG_ERROR);
    }
    EXPECT_EQ(fs_->getFileArchiveCount(), 0u);
    EXPECT_EQ(fs_->getFileArchive(0), nullptr);

    LogCapture log;
    EXPECT_FALSE(fs_->addFileArchive(static_cast<irr::io::IReadFile*>(nullptr), false, false));
    IrrRef<irr::io::IReadFile> notes(fs_->createAndOpenFile("notes.txt"));
    EXPECT_FALSE(fs_->addFileArchive(notes.get(), false, false));
    EXPECT_TRUE(log.contains("Could not create archive for"));
    EXPECT_TRUE(log.contains("notes.txt"));
}

// A checkout may live anywhere: under "/tmp/ci.Ab12", "~/src/game.git" or
// "~/.local". Folders are mounted there by relative and absolute names, and a
// folder whose own name has a dot is a folder all the same.
TEST_F(FileSystemTest, FoldersMountUnderDottedParents) {
    std::string pattern = (std::filesystem::temp_directory_path() / "x.Ab12XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    const std::filesystem::path dotted(pattern);
    struct Removal {
        std::filesystem::path path;
        ~Removal() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    } removal{dotted};
    const std::filesystem::path assets = dotted / "build.1" / "game" / "assets";
    std::filesystem::create_directories(assets / "scenes");
    std::filesystem::create_directories(dotted / "data.old");
    std::ofstream(assets / "scenes" / "a.txt") << "assets";
    std::ofstream(dotted / "data.old" / "b.txt") << "old data";

    const struct {
        std::string path;
        const char* file;
        const char* text;
    } cases[] = {
        {assets.string(), "scenes/a.txt", "assets"},
        {assets.string() + "/", "scenes/a.txt", "assets"},
        {(dotted / "data.old").string(), "b.txt", "old data"},
    };
    for (const auto& c : cases) {
        LogCapture log;
        CountedRef<EngineFileSystem> fs(new EngineFileSystem());
        ASSERT_TRUE(fs->addFileArchive(c.path.c_str(), false, false)) << c.path;
        EXPECT_STREQ(fs->getFileArchive(0)->getType().c_str(), "mount") << c.path;
        IrrRef<irr::io::IReadFile> file(fs->createAndOpenFile(c.file));
        ASSERT_TRUE(file) << c.path;
        EXPECT_EQ(io_test::readRest(file.get()), c.text) << c.path;
        EXPECT_FALSE(log.contains("Could not create archive for")) << c.path;
    }

    // Relative names from a working directory under the dotted folder.
    io_test::ScopedWorkingDirectory inside((dotted / "build.1" / "game").string());
    CountedRef<EngineFileSystem> fs(new EngineFileSystem());
    ASSERT_TRUE(fs->addFileArchive("assets", false, false));
    ASSERT_TRUE(fs->addFileArchive("../../data.old", false, false));
    EXPECT_TRUE(fs->existFile("scenes/a.txt"));
    EXPECT_TRUE(fs->existFile("b.txt"));
}

namespace {

// An archive kind of the test's own: one file named "hello" in every file whose
// name ends in ".hello".
class HelloArchive : public FileArchive {
public:
    const stringc& getPath() const override { return path_; }
    const stringc& getType() const override { return type_; }
    uint32_t getFileCount() const override { return 1; }
    irr::io::IReadFile* openFileByIndex(uint32_t index) override {
        if (index != 0) return nullptr;
        return new MemoryFileCopy("hello");
    }
    irr::io::IReadFile* openFile(const stringc& name) override { return findFile(name) == 0 ? openFileByIndex(0) : nullptr; }
    int32_t findFile(const stringc& name) const override { return name == "hello" ? 0 : -1; }
    const FileArchiveEntry* getFileEntry(uint32_t index) const override { return index == 0 ? &entry_ : nullptr; }

private:
    // A file over a copy of a text.
    struct MemoryFileCopy : irr::io::IReadFile {
        explicit MemoryFileCopy(const char* text) : text_(text), name_(text) {}
        irr::s32 read(void* buffer, irr::u32 count) override {
            const irr::u32 n = std::min<irr::u32>(count, static_cast<irr::u32>(text_.size() - pos_));
            std::memcpy(buffer, text_.data() + pos_, n);
            pos_ += n;
            return static_cast<irr::s32>(n);
        }
        bool seek(long p, bool rel) override {
            pos_ = static_cast<size_t>(rel ? static_cast<long>(pos_) + p : p);
            return true;
        }
        long getSize() const override { return static_cast<long>(text_.size()); }
        long getPos() const override { return static_cast<long>(pos_); }
        const irr::io::path& getFileName() const override { return name_; }
        std::string text_;
        irr::io::path name_;
        size_t pos_ = 0;
    };
    stringc path_{"hello"};
    stringc type_{"hello"};
    FileArchiveEntry entry_{"hello"};
};

class HelloLoader : public ArchiveLoader {
public:
    bool canLoadFile(irr::io::IReadFile*) override { return false; }
    bool canLoadName(const stringc& path) override { return getFileExtension(path) == "hello"; }
    FileArchive* createArchiveFromFile(irr::io::IReadFile*, bool, bool) override { return nullptr; }
    FileArchive* createArchiveFromName(const stringc&, bool, bool) override { return new HelloArchive(); }
};

}  // namespace

TEST_F(FileSystemTest, AddedLoadersAndRemovedArchives) {
    fs_->addArchiveLoader(nullptr);
    fs_->addArchiveLoader(new HelloLoader());
    ASSERT_TRUE(fs_->addFileArchive("x.hello", false, false));
    ASSERT_EQ(fs_->getFileArchiveCount(), 1u);
    EXPECT_TRUE(fs_->existFile("hello", true));
    EXPECT_FALSE(fs_->existFile("hello", false));
    IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile("hello"));
    ASSERT_TRUE(file);
    EXPECT_EQ(io_test::readRest(file.get()), "hello");

    FileArchive* archive = fs_->getFileArchive(0);
    CountedRef<FileArchive> kept = CountedRef<FileArchive>::share(archive);
    fs_->removeFileArchive(nullptr);
    EXPECT_EQ(fs_->getFileArchiveCount(), 1u);
    fs_->removeFileArchive(archive);
    EXPECT_EQ(fs_->getFileArchiveCount(), 0u);
    EXPECT_EQ(kept->getRefCount(), 1);  // the file system let go of its reference
    EXPECT_EQ(fs_->createAndOpenFile("hello"), nullptr);
}
