// The archive the content build packs opens with the program's key and holds
// every file of the built content tree, byte for byte, under the same name.
#include "engine/io/FileArchive.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <string>

namespace {

#if defined(LODGEROO_CONTENT_TREE) && defined(LODGEROO_ASSETS_ARCHIVE) && defined(LODGEROO_ASSETS_KEY)
TEST(BuiltArchiveTest, HoldsTheBuiltTreeUnderTheProgramsKey) {
    namespace fs = std::filesystem;
    if (!fs::exists(LODGEROO_ASSETS_ARCHIVE)) GTEST_SKIP() << "the content is not built";
    engine::CountedRef<engine::FileSystem> files(new engine::EngineFileSystem());
    files->setAssetsCryptKey(LODGEROO_ASSETS_KEY);
    ASSERT_TRUE(files->addFileArchive(LODGEROO_ASSETS_ARCHIVE, false, false));
    engine::FileArchive* archive = files->getFileArchive(0);
    ASSERT_TRUE(archive);

    uint32_t count = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(LODGEROO_CONTENT_TREE)) {
        if (!entry.is_regular_file()) continue;
        ++count;
        const std::string name = fs::relative(entry.path(), LODGEROO_CONTENT_TREE).generic_string();
        engine::IrrRef<irr::io::IReadFile> packed(archive->openFile(name.c_str()));
        ASSERT_TRUE(packed) << name;
        std::string bytes(static_cast<size_t>(packed->getSize()), '\0');
        ASSERT_EQ(packed->read(bytes.data(), static_cast<irr::u32>(bytes.size())), static_cast<irr::s32>(bytes.size()));
        EXPECT_TRUE(bytes == testing_support::TempDir::read(entry.path().string())) << name << " differs";
    }
    EXPECT_EQ(archive->getFileCount(), count);
}
#endif

}  // namespace
