// A folder, a zip file and an asset archive mounted together, with loose files
// beside them: every open takes the first place that has the file.
#include "engine/core/XmlReader.h"
#include "engine/io/AssetArchiveWriter.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "io/IoTestSupport.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <filesystem>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;

namespace {

const char* const kKey = "mount-order-key";

class MountOrderTest : public ::testing::Test {
protected:
    MountOrderTest() : cwd_(dir_.path().string()) {
        dir_.write("all.txt", "loose");
        dir_.write("assets/all.txt", "folder");
        dir_.write("assets/archives.txt", "folder");
        dir_.write("assets/scenes/LogosScene.oscn", "folder scene");

        dir_.write("pack.zip", io_test::buildZip({{"all.txt", "zip", true},
                                                  {"archives.txt", "zip", false},
                                                  {"zipoca.txt", "zip", true},
                                                  {"zip.txt", "zip only", true}})
                                   .bytes);

        AssetArchiveWriter writer(kKey);
        writer.addFile("all.txt", "oca");
        writer.addFile("archives.txt", "oca");
        writer.addFile("zipoca.txt", "oca");
        writer.addFile("oca.txt", "oca only");
        writer.addFile("config/Settings.xml", "<?xml version=\"1.0\"?>\n<Settings Level=\"3\"/>\n");
        EXPECT_TRUE(writer.write("assets.oca"));

        fs_->setAssetsCryptKey(kKey);
    }

    void mountAll() {
        ASSERT_TRUE(fs_->addFileArchive("assets", false, false));
        ASSERT_TRUE(fs_->addFileArchive("pack.zip", false, false));
        ASSERT_TRUE(fs_->addFileArchive("assets.oca", false, false));
    }

    // The text of the file the file system opens, or "<none>".
    std::string open(const char* name) {
        IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile(name));
        return file ? io_test::readRest(file.get()) : std::string("<none>");
    }

    TempDir dir_;
    io_test::ScopedWorkingDirectory cwd_;
    CountedRef<EngineFileSystem> fs_{new EngineFileSystem()};
};

}  // namespace

TEST_F(MountOrderTest, LooseFileThenArchivesInTheOrderAdded) {
    const std::string before = std::filesystem::current_path().string();
    LogCapture log;
    mountAll();
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(std::filesystem::current_path().string(), before);  // mounting leaves the working directory

    ASSERT_EQ(fs_->getFileArchiveCount(), 3u);
    const char* const types[] = {"mount", "zip", "oca"};
    for (uint32_t i = 0; i < 3; ++i) EXPECT_STREQ(fs_->getFileArchive(i)->getType().c_str(), types[i]);
    EXPECT_STREQ(fs_->getFileArchive(0)->getPath().c_str(), (before + "/assets/").c_str());
    EXPECT_STREQ(fs_->getFileArchive(1)->getPath().c_str(), "pack.zip");
    EXPECT_STREQ(fs_->getFileArchive(2)->getPath().c_str(), "assets.oca");

    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"all.txt", "loose"},         {"archives.txt", "folder"}, {"zipoca.txt", "zip"},
        {"zip.txt", "zip only"},      {"oca.txt", "oca only"},    {"missing.txt", "<none>"},
        {"assets/all.txt", "folder"},  // the plain path, relative to the working directory
    };
    for (const auto& c : cases) EXPECT_EQ(open(c.name), c.expected) << c.name;
}

TEST_F(MountOrderTest, RemovingACopyUncoversTheNextOne) {
    mountAll();
    EXPECT_EQ(open("all.txt"), "loose");
    ASSERT_TRUE(fs_->removeFile("all.txt"));
    EXPECT_EQ(open("all.txt"), "folder");
    // The folder is looked at anew on every open.
    std::filesystem::remove(dir_.path() / "assets" / "all.txt");
    EXPECT_EQ(open("all.txt"), "zip");
    dir_.write("assets/all.txt", "folder again");
    EXPECT_EQ(open("all.txt"), "folder again");
}

TEST_F(MountOrderTest, MountOrderDecidesBetweenArchives) {
    ASSERT_TRUE(fs_->addFileArchive("assets.oca", false, false));
    ASSERT_TRUE(fs_->addFileArchive("pack.zip", false, false));
    ASSERT_TRUE(fs_->addFileArchive("assets", false, false));
    EXPECT_EQ(open("archives.txt"), "oca");
    EXPECT_EQ(open("zipoca.txt"), "oca");
    EXPECT_EQ(open("all.txt"), "loose");
}

TEST_F(MountOrderTest, NamesOfTheFilesServed) {
    mountAll();
    const struct {
        const char* asked;
        const char* reported;
    } cases[] = {
        {"scenes/LogosScene.oscn", "scenes/LogosScene.oscn"},    // folder: the name as asked
        {"scenes\\LogosScene.oscn", "scenes\\LogosScene.oscn"},  // the folder takes backslashes
        {"zip.txt", "zip.txt"},
        {"oca.txt", "oca.txt"},
        {"all.txt", "all.txt"},
    };
    for (const auto& c : cases) {
        IrrRef<irr::io::IReadFile> file(fs_->createAndOpenFile(c.asked));
        ASSERT_TRUE(file) << c.asked;
        EXPECT_STREQ(file->getFileName().c_str(), c.reported);
    }
    // The asset archive compares names exactly: a backslash is another name.
    EXPECT_EQ(open("config\\Settings.xml"), "<none>");
    EXPECT_FALSE(fs_->existFile("config\\Settings.xml"));
}

TEST_F(MountOrderTest, ExistenceWithAndWithoutArchives) {
    mountAll();
    const struct {
        const char* name;
        bool withArchives;
        bool withoutArchives;
    } cases[] = {
        {"all.txt", true, true},    {"oca.txt", true, false},   {"zip.txt", true, false},
        {"archives.txt", true, false}, {"assets", true, true},  {"nothing", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fs_->existFile(c.name, true), c.withArchives) << c.name;
        EXPECT_EQ(fs_->existFile(c.name, false), c.withoutArchives) << c.name;
    }
}

TEST_F(MountOrderTest, XmlAndArchivesFoundThroughEarlierMounts) {
    mountAll();
    CountedRef<XmlReader> reader(fs_->createXMLReader("config/Settings.xml"));
    ASSERT_TRUE(reader);
    int level = -1;
    while (reader->read())
        if (reader->getNodeType() == irr::io::EXN_ELEMENT) level = reader->getAttributeValueAsInt(L"Level");
    EXPECT_EQ(level, 3);

    // A zip that exists only inside the mounted folder is mounted through it.
    std::filesystem::rename(dir_.path() / "pack.zip", dir_.path() / "assets" / "inner.zip");
    ASSERT_TRUE(fs_->addFileArchive("inner.zip", false, false));
    EXPECT_STREQ(fs_->getFileArchive(3)->getPath().c_str(), "inner.zip");
    // pack.zip itself is gone, but its archive still holds the open file.
    EXPECT_EQ(open("zip.txt"), "zip only");
}
