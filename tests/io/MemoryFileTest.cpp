#include "engine/io/IrrRef.h"
#include "engine/io/MemoryFile.h"
#include "io/IoTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>

using namespace engine;

namespace {

std::string readCount(irr::io::IReadFile* file, irr::u32 count, irr::s32* got) {
    std::string out(count, '\0');
    *got = file->read(&out[0], count);
    out.resize(*got > 0 ? static_cast<size_t>(*got) : 0);
    return out;
}

}  // namespace

TEST(MemoryFileTest, ReadsStopAtTheEnd) {
    char data[] = "0123456789";
    IrrRef<MemoryFile> file(new MemoryFile(data, 10, "mem", false));
    const struct {
        irr::u32 count;
        irr::s32 expected;
        const char* bytes;
    } reads[] = {{4, 4, "0123"}, {4, 4, "4567"}, {4, 2, "89"}, {4, 0, ""}, {0, 0, ""}};
    for (const auto& r : reads) {
        irr::s32 got = -1;
        EXPECT_EQ(readCount(file.get(), r.count, &got), r.bytes);
        EXPECT_EQ(got, r.expected);
    }
    EXPECT_EQ(file->getPos(), 10);
    EXPECT_EQ(file->getSize(), 10);
    EXPECT_STREQ(file->getFileName().c_str(), "mem");
}

TEST(MemoryFileTest, SeekStaysInsideTheBlock) {
    char data[10] = {};
    IrrRef<MemoryFile> file(new MemoryFile(data, 10, "mem", false));
    const struct {
        long position;
        bool relative;
        bool ok;
        long after;
    } seeks[] = {
        {10, false, true, 10}, {11, false, false, 10}, {-1, false, false, 10}, {-10, true, true, 0},
        {-1, true, false, 0},  {5, true, true, 5},     {6, true, false, 5},    {LONG_MAX, true, false, 5},
    };
    for (const auto& s : seeks) {
        EXPECT_EQ(file->seek(s.position, s.relative), s.ok) << s.position << (s.relative ? " relative" : "");
        EXPECT_EQ(file->getPos(), s.after);
    }
}

TEST(MemoryFileTest, WritesNeverGrowTheBlock) {
    char data[4] = {'x', 'x', 'x', '!'};
    IrrRef<MemoryFile> file(new MemoryFile(data, 3, "mem", false));
    EXPECT_EQ(file->write("abcde", 5), 3);
    EXPECT_EQ(std::string(data, 4), "abc!");
    EXPECT_EQ(file->write("z", 1), 0);
    ASSERT_TRUE(file->seek(1));
    EXPECT_EQ(file->write("Q", 1), 1);
    ASSERT_TRUE(file->seek(0));
    irr::s32 got = 0;
    EXPECT_EQ(readCount(file.get(), 3, &got), "aQc");
}

TEST(MemoryFileTest, OwnedBlockIsFreedAndBorrowedBlockIsKept) {
    // The sanitizer build reports a leak when the owned block is not freed, and a
    // use after free when the borrowed one is.
    char* owned = new char[8];
    std::memcpy(owned, "abcdefgh", 8);
    (new MemoryFile(owned, 8, "owned", true))->drop();

    char borrowed[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    (new MemoryFile(borrowed, 8, "borrowed", false))->drop();
    EXPECT_EQ(std::string(borrowed, 8), "abcdefgh");
}

TEST(MemoryFileTest, OneCountForBothInterfaces) {
    char data[4] = {};
    MemoryFile* file = new MemoryFile(data, 4, "mem", false);
    irr::io::IReadFile* reader = file;
    irr::io::IWriteFile* writer = file;
    reader->grab();
    EXPECT_EQ(writer->getReferenceCount(), 2);
    EXPECT_FALSE(writer->drop());
    EXPECT_TRUE(reader->drop());
}

TEST(VirtualFileTest, WritesAcrossBlocksAndReadsBack) {
    IrrRef<VirtualFile> file(new VirtualFile("profile.dat", 4));
    EXPECT_EQ(file->write("0123456789", 10), 10);
    EXPECT_EQ(file->getBlockCount(), 3u);
    EXPECT_EQ(file->getSize(), 10);
    ASSERT_TRUE(file->seek(0));
    irr::s32 got = 0;
    EXPECT_EQ(readCount(file.get(), 10, &got), "0123456789");
    EXPECT_EQ(readCount(file.get(), 10, &got), "");
    // Reads and rewrites in the middle cross block boundaries too.
    ASSERT_TRUE(file->seek(3));
    EXPECT_EQ(file->write("ABCDEF", 6), 6);
    EXPECT_EQ(file->getSize(), 10);
    ASSERT_TRUE(file->seek(2));
    EXPECT_EQ(readCount(file.get(), 100, &got), "2ABCDEF9");
    EXPECT_STREQ(file->getFileName().c_str(), "profile.dat");
}

TEST(VirtualFileTest, BlockCountAndSeekLimits) {
    const struct {
        irr::u32 written;
        uint32_t blocks;
    } cases[] = {{0, 0}, {1, 1}, {3, 1}, {4, 2}, {5, 2}, {8, 3}};
    for (const auto& c : cases) {
        IrrRef<VirtualFile> file(new VirtualFile("v", 4));
        std::string bytes(c.written, 'x');
        EXPECT_EQ(file->write(bytes.data(), c.written), static_cast<irr::s32>(c.written));
        EXPECT_EQ(file->getBlockCount(), c.blocks) << c.written << " bytes";
        // The position never moves beyond what was written.
        EXPECT_FALSE(file->seek(static_cast<long>(c.written) + 1));
        EXPECT_TRUE(file->seek(static_cast<long>(c.written)));
        EXPECT_FALSE(file->seek(-1));
    }
}

TEST(VirtualFileTest, HugeWriteIsRefused) {
    testing_support::LogCapture log;
    IrrRef<VirtualFile> file(new VirtualFile("big", 65536));
    ASSERT_EQ(file->write("abc", 3), 3);
    // A count that would carry the size past 2 GiB: refused before anything is read.
    EXPECT_EQ(file->write("abc", 0x7FFFFFFFu), 0);
    EXPECT_TRUE(log.contains("Not enough memory for write data in virtualFile %s"));
    EXPECT_EQ(file->getSize(), 3);
}

TEST(FileSectionReaderTest, ReadsOnlyItsWindow) {
    std::string bytes(200, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i);
    IrrRef<MemoryFile> inner(new MemoryFile(&bytes[0], 200, "inner", false));

    IrrRef<FileSectionReader> section(createFileSectionReader("part", inner.get(), 100, 50));
    EXPECT_EQ(section->getSize(), 50);
    EXPECT_TRUE(section->seek(70));
    EXPECT_EQ(section->getPos(), 50);
    EXPECT_TRUE(section->seek(-10, true));
    EXPECT_EQ(section->getPos(), 40);
    irr::s32 got = 0;
    const std::string tail = readCount(section.get(), 20, &got);
    ASSERT_EQ(got, 10);
    EXPECT_EQ(static_cast<unsigned char>(tail[0]), 140);
    EXPECT_EQ(readCount(section.get(), 20, &got), "");
    EXPECT_TRUE(section->seek(-1000, true));
    EXPECT_EQ(section->getPos(), 0);
    EXPECT_STREQ(section->getFileName().c_str(), "part");
}

TEST(FileSectionReaderTest, SectionsOverOneFileAreIndependent) {
    std::string bytes = "aaaaabbbbb";
    IrrRef<MemoryFile> inner(new MemoryFile(&bytes[0], 10, "inner", false));
    IrrRef<FileSectionReader> first(createFileSectionReader("a", inner.get(), 0, 5));
    IrrRef<FileSectionReader> second(createFileSectionReader("b", inner.get(), 5, 5));
    irr::s32 got = 0;
    EXPECT_EQ(readCount(first.get(), 2, &got), "aa");
    EXPECT_EQ(readCount(second.get(), 2, &got), "bb");
    EXPECT_EQ(readCount(first.get(), 10, &got), "aaa");
    EXPECT_EQ(readCount(second.get(), 10, &got), "bbb");
}

TEST(FileSectionReaderTest, KeepsItsInnerFileAndStopsAtItsEnd) {
    std::string bytes = "0123456789";
    MemoryFile* inner = new MemoryFile(&bytes[0], 10, "inner", false);
    // A section that claims more than the inner file has reads what is there.
    IrrRef<FileSectionReader> section(createFileSectionReader("s", inner, 6, 100));
    inner->drop();  // the section holds its own reference
    irr::s32 got = 0;
    EXPECT_EQ(readCount(section.get(), 50, &got), "6789");

    IrrRef<FileSectionReader> empty(createFileSectionReader("none", nullptr, 10, 10));
    EXPECT_EQ(empty->getSize(), 0);
    EXPECT_EQ(readCount(empty.get(), 5, &got), "");
}
