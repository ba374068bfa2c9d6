#include "engine/content/ProfileStore.h"
#include "engine/core/PropertyData.h"
#include "engine/core/TextConvert.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include <filesystem>
#include <gtest/gtest.h>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

// A store whose files live in a temporary folder, keyed as the test says.
class TestStore : public ProfileStore {
public:
    TestStore(const TempDir& dir, const char* key = "") : dir_(dir), key_(key) {
        std::error_code blocked;  // a test may have put a file in a folder's place
        fs::create_directories(dir_.path() / "user", blocked);
        fs::create_directories(dir_.path() / "shared", blocked);
    }
    std::string userFile(const char* suffix = "") const { return dir_.file("user/profile.dat") + suffix; }
    std::string sharedFile() const { return dir_.file("shared/profile.dat"); }
    void setKey(const char* key) { key_ = key; }

protected:
    stringc getUserFolder() override { return dir_.file("user").c_str(); }
    stringc getSharedFolder() override { return dir_.file("shared").c_str(); }
    stringc getCryptKey() override { return key_; }

private:
    const TempDir& dir_;
    stringc key_;
};

void fillDefaults(ProfileStore& store) {
    store.getCommonDefaults()->setBool("FullScreen", true);
    store.getCommonDefaults()->setInt("VideoDriver", 2);
    store.getPlayerDefaults()->setBool("SoundOn", true);
    store.getPlayerDefaults()->setInt("LevelIndex", 0);
}

// Two players, the second current, one changed value each.
void fillPlayers(ProfileStore& store) {
    fillDefaults(store);
    store.getCommonProfile()->addMissing(store.getCommonDefaults());
    store.getCommonProfile()->setBool("FullScreen", false);
    ASSERT_TRUE(store.addProfile(L"Ann"));
    ASSERT_TRUE(store.addProfile(L"Bj\u00f6rn"));
    store.getProfile(0)->setInt("LevelIndex", 7);
    store.getProfile(1)->setStringW("LevelProgressFilename", L"save \u00e9.xml");
    store.selectProfile(1);
}

void expectPlayers(ProfileStore& store) {
    ASSERT_EQ(store.getProfileCount(), 2u);
    EXPECT_EQ(store.getProfile(0)->getPlayerName(), stringw(L"Ann"));
    EXPECT_EQ(store.getProfile(1)->getPlayerName(), stringw(L"Bj\u00f6rn"));
    EXPECT_EQ(store.getCurrentProfile(), store.getProfile(1));
    EXPECT_EQ(store.getProfile(0)->getInt("LevelIndex"), 7);
    EXPECT_TRUE(store.getProfile(0)->getBool("SoundOn"));
    EXPECT_EQ(store.getProfile(1)->getString("LevelProgressFilename"), narrow(stringw(L"save \u00e9.xml")));
    EXPECT_FALSE(store.getCommonProfile()->getBool("FullScreen"));
    EXPECT_EQ(store.getCommonProfile()->getInt("VideoDriver"), 2);
}

}  // namespace

TEST(ProfileStoreTest, PlainFileIsUtf16WithHeaderAndRoundTrips) {
    TempDir dir;
    TestStore store(dir);
    fillPlayers(store);
    ASSERT_TRUE(store.savePlayerProfiles());

    const std::string bytes = TempDir::read(store.userFile());
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    EXPECT_EQ(bytes.substr(4, 4), std::string("?\0x\0", 4));
    EXPECT_EQ(bytes.find(std::string("A\0c\0t\0i\0v\0e\0", 12)) != std::string::npos, true);

    TestStore loaded(dir);
    fillDefaults(loaded);
    EXPECT_TRUE(loaded.loadAll());
    expectPlayers(loaded);
}

TEST(ProfileStoreTest, EncipheredFileRoundTripsAndKeyContinuesAcrossTheFile) {
    TempDir dir;
    TestStore plain(dir);
    fillPlayers(plain);
    // Enough players that the file passes 5000 bytes.
    for (int i = 0; i < 40; ++i) plain.addProfile(stringw(L"Player") + stringw(i));
    ASSERT_TRUE(plain.savePlayerProfiles());
    const std::string clear = TempDir::read(plain.userFile());
    ASSERT_GT(clear.size(), 5000u);

    TestStore keyed(dir, "k3y");
    fillPlayers(keyed);
    for (int i = 0; i < 40; ++i) keyed.addProfile(stringw(L"Player") + stringw(i));
    ASSERT_TRUE(keyed.savePlayerProfiles());
    const std::string secret = TempDir::read(keyed.userFile());
    ASSERT_EQ(secret.size(), clear.size());
    EXPECT_EQ(secret[5000], static_cast<char>(clear[5000] ^ "k3y"[5000 % 3]));
    EXPECT_EQ(secret[0], static_cast<char>('\xFF' ^ 'k'));

    TestStore loaded(dir, "k3y");
    fillDefaults(loaded);
    EXPECT_TRUE(loaded.loadPlayerProfiles());
    loaded.getCommonProfile()->addMissing(loaded.getCommonDefaults());
    ASSERT_EQ(loaded.getProfileCount(), 42u);
    EXPECT_EQ(loaded.getProfile(0)->getInt("LevelIndex"), 7);
    EXPECT_EQ(loaded.getCurrentProfile(), loaded.getProfile(1));
}

TEST(ProfileStoreTest, NarrowTextWithBytesAbove127IsSavedAsSixteenBitUnits) {
    TempDir dir;
    TestStore store(dir);
    fillDefaults(store);
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.getProfile(0)->setString("LevelProgressFilename", "caf\xE9.xml");
    ASSERT_TRUE(store.savePlayerProfiles());
    // Byte 0xE9 widens to the unit 0xFFE9, written E9 FF; a value outside 16
    // bits would have reached the file as U+FFFD.
    const std::string bytes = TempDir::read(store.userFile());
    EXPECT_NE(bytes.find(std::string("f\0\xE9\xFF.\0", 6)), std::string::npos);
    EXPECT_EQ(bytes.find(std::string("\xFD\xFF", 2)), std::string::npos);

    TestStore loaded(dir);
    fillDefaults(loaded);
    ASSERT_TRUE(loaded.loadPlayerProfiles());
    ASSERT_EQ(loaded.getProfileCount(), 1u);
    EXPECT_EQ(loaded.getProfile(0)->getString("LevelProgressFilename"), stringc("caf\xE9.xml"));
    EXPECT_EQ(loaded.getProfile(0)->getStringW("LevelProgressFilename"), stringw(L"caf\xFFE9.xml"));
}

TEST(ProfileStoreTest, GlobalProfileRoundTripsInTheSharedFolder) {
    TempDir dir;
    TestStore store(dir, "x");
    store.getGlobalProfile()->setInt("Installs", 3);
    store.getGlobalProfile()->save();
    EXPECT_TRUE(fs::exists(store.sharedFile()));
    EXPECT_FALSE(fs::exists(store.userFile()));

    TestStore loaded(dir, "x");
    EXPECT_TRUE(loaded.loadGlobalProfile());
    EXPECT_EQ(loaded.getGlobalProfile()->getInt("Installs"), 3);
    EXPECT_EQ(loaded.getProfileCount(), 0u);
}

TEST(ProfileStoreTest, MissingFilesLeaveDefaults) {
    TempDir dir;
    LogCapture log;
    TestStore store(dir);
    fillDefaults(store);
    EXPECT_TRUE(store.loadAll());
    EXPECT_EQ(store.getProfileCount(), 0u);
    EXPECT_EQ(store.getCurrentProfile(), nullptr);
    EXPECT_TRUE(store.getCommonProfile()->getBool("FullScreen"));
    EXPECT_EQ(store.getGlobalProfile()->getCount(), 0u);
    EXPECT_FALSE(log.hasErrors());
}

TEST(ProfileStoreTest, PlayerListOperations) {
    TempDir dir;
    TestStore store(dir);
    fillDefaults(store);
    ASSERT_TRUE(store.addProfile(L"A"));
    ASSERT_TRUE(store.addProfile(L"B"));
    ASSERT_TRUE(store.addProfile(L"C"));
    EXPECT_FALSE(store.addProfile(L"B"));
    EXPECT_EQ(store.getProfileCount(), 3u);
    EXPECT_EQ(store.getCurrentProfile(), nullptr);

    // New players share the default values until they set their own.
    ProfileParameters* b = store.findProfile(L"B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->find("SoundOn").get(), store.getPlayerDefaults()->find("SoundOn").get());
    b->setBool("SoundOn", false);
    EXPECT_TRUE(store.getPlayerDefaults()->getBool("SoundOn"));
    EXPECT_EQ(store.findProfile(L"b"), nullptr);

    store.selectProfile(2);
    EXPECT_EQ(store.getCurrentProfile(), store.getProfile(2));
    store.removeProfile(0);  // not the current one, still no current player after
    EXPECT_EQ(store.getCurrentProfile(), nullptr);
    EXPECT_EQ(store.getProfile(0), b);
    store.removeProfile(5);
    EXPECT_EQ(store.getProfileCount(), 2u);
    store.selectProfile(9);
    EXPECT_EQ(store.getCurrentProfile(), nullptr);
    EXPECT_EQ(store.getProfile(2), nullptr);

    ProfileParameters stranger;
    EXPECT_FALSE(store.saveParameters(&stranger));
}

TEST(ProfileStoreTest, DuplicateAndNamelessProfilesAreSkippedWhole) {
    TempDir dir;
    TestStore store(dir);
    const std::string xml =
        "<?xml version=\"1.0\"?>\n<Profiles>\n<CommonProfile><Parameters /></CommonProfile>\n"
        "<Profile Name=\"A\"><Parameters><int Name=\"LevelIndex\" Value=\"1\" /></Parameters></Profile>\n"
        "<Profile Name=\"A\" Active=\"true\"><Parameters><int Name=\"LevelIndex\" Value=\"2\" />"
        "<int Name=\"Extra\" Value=\"5\" /></Parameters></Profile>\n"
        "<Profile Name=\"\"><Parameters><int Name=\"Lost\" Value=\"5\" /></Parameters></Profile>\n"
        "<Profile Name=\"B\" Active=\"true\"/>\n"
        "<Profile Name=\"C\" Active=\"True\"><Parameters/></Profile>\n"
        "</Profiles>\n";
    dir.write("user/profile.dat", xml);
    EXPECT_TRUE(store.loadPlayerProfiles());
    ASSERT_EQ(store.getProfileCount(), 3u);
    EXPECT_EQ(store.getProfile(0)->getInt("LevelIndex"), 1);
    EXPECT_LT(store.getProfile(0)->indexOf("Extra"), 0);
    EXPECT_EQ(store.getProfile(1)->getPlayerName(), stringw(L"B"));
    EXPECT_EQ(store.getCurrentProfile(), store.getProfile(1));
    EXPECT_EQ(store.getCommonProfile()->getCount(), 0u);
}

TEST(ProfileStoreTest, UnreadableFilesAreLoggedKeptAsideAndNeverOverwritten) {
    struct Case {
        const char* name;
        std::string bytes;  // empty: build from a good file below
        const char* loadKey;
    };
    TempDir source;
    TestStore writer(source, "key");
    fillPlayers(writer);
    ASSERT_TRUE(writer.savePlayerProfiles());
    const std::string good = TempDir::read(writer.userFile());

    const Case cases[] = {
        {"empty", std::string(), ""},
        {"truncated", good.substr(0, good.size() / 2), "key"},
        {"wrong key", good, "other"},
        {"garbage", std::string("\x01\x02\x03") + " not xml at all", ""},
        {"other root", std::string("<Settings><a/></Settings>"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("user/profile.dat", c.bytes);
        TestStore store(dir, c.loadKey);
        fillDefaults(store);
        LogCapture log;
        EXPECT_FALSE(store.loadAll());
        EXPECT_TRUE(log.hasErrors());
        EXPECT_EQ(store.getProfileCount(), 0u);
        EXPECT_TRUE(store.getCommonProfile()->getBool("FullScreen"));
        // The unreadable bytes survive a later save.
        EXPECT_EQ(TempDir::read(store.userFile(".bad")), c.bytes);
        store.addProfile(L"New");
        EXPECT_TRUE(store.savePlayerProfiles());
        EXPECT_EQ(TempDir::read(store.userFile(".bad")), c.bytes);
    }
}

TEST(ProfileStoreTest, DamagedFileRestoresTheLastSaveFromTheBackupAndSaysSoOnce) {
    TempDir dir;
    TestStore store(dir);
    fillPlayers(store);
    ASSERT_TRUE(store.savePlayerProfiles());
    store.addProfile(L"Third");  // the last purchase, so to speak
    ASSERT_TRUE(store.savePlayerProfiles());
    const std::string last = TempDir::read(store.userFile());
    // A save that read back whole is the backup too, as a file of its own.
    EXPECT_EQ(TempDir::read(store.userFile(".bak")), last);
    EXPECT_FALSE(fs::exists(store.userFile(".bak.tmp")));
    EXPECT_EQ(store.takeNotice().kind, ProfileNotice::None);

    // The main file damaged in place later: the backup does not share it.
    dir.write("user/profile.dat", last.substr(0, 100));
    EXPECT_EQ(TempDir::read(store.userFile(".bak")), last);
    TestStore loaded(dir);
    fillDefaults(loaded);
    LogCapture log;
    EXPECT_TRUE(loaded.loadAll());
    EXPECT_TRUE(log.contains("backup"));
    EXPECT_EQ(loaded.getProfileCount(), 3u);
    EXPECT_EQ(TempDir::read(loaded.userFile(".bad")), last.substr(0, 100));

    const ProfileNotice notice = loaded.takeNotice();
    EXPECT_EQ(notice.kind, ProfileNotice::RestoredFromBackup);
    EXPECT_EQ(notice.path, loaded.userFile(".bad"));
    EXPECT_EQ(loaded.takeNotice().kind, ProfileNotice::None);
    // Damaged again in the same run: the player was told already.
    dir.write("user/profile.dat", "x");
    EXPECT_TRUE(loaded.loadPlayerProfiles());
    EXPECT_EQ(loaded.takeNotice().kind, ProfileNotice::None);
}

TEST(ProfileStoreTest, MainFileAndBackupBothUnreadableAreKeptAndReported) {
    TempDir dir;
    dir.write("user/profile.dat", "damaged main");
    dir.write("user/profile.dat.bak", "damaged backup");
    TestStore store(dir);
    fillDefaults(store);
    LogCapture log;
    EXPECT_FALSE(store.loadAll());
    EXPECT_EQ(store.getProfileCount(), 0u);
    const ProfileNotice notice = store.takeNotice();
    EXPECT_EQ(notice.kind, ProfileNotice::Unreadable);
    EXPECT_EQ(notice.path, store.userFile(".bad"));

    // The next save makes a new backup; both damaged files stay for the player.
    store.addProfile(L"New");
    ASSERT_TRUE(store.savePlayerProfiles());
    EXPECT_EQ(TempDir::read(store.userFile(".bad")), "damaged main");
    EXPECT_EQ(TempDir::read(store.userFile(".bak.bad")), "damaged backup");
}

// A file far larger than any profile is refused before it is read (it once
// held the start for half a minute), left as it is and replaced by the backup.
TEST(ProfileStoreTest, OversizedFileIsNotReadButKeptAndTheBackupIsUsed) {
    TempDir dir;
    TestStore store(dir);
    fillPlayers(store);
    ASSERT_TRUE(store.savePlayerProfiles());  // two players, main and backup

    // A whole profile with three players, grown past the limit after its
    // end: read in full, it would load.
    TempDir other;
    TestStore bigger(other);
    fillPlayers(bigger);
    bigger.addProfile(L"Third");
    ASSERT_TRUE(bigger.savePlayerProfiles());
    fs::copy_file(bigger.userFile(), store.userFile(), fs::copy_options::overwrite_existing);
    const uintmax_t size = ProfileStore::kMaxFileBytes + 4096;
    fs::resize_file(store.userFile(), size);
    const std::string head = TempDir::read(bigger.userFile());

    TestStore loaded(dir);
    fillDefaults(loaded);
    LogCapture log;
    EXPECT_TRUE(loaded.loadPlayerProfiles());
    EXPECT_TRUE(log.contains("too large"));
    EXPECT_EQ(loaded.getProfileCount(), 2u);
    EXPECT_EQ(loaded.takeNotice().kind, ProfileNotice::RestoredFromBackup);
    ASSERT_TRUE(fs::exists(loaded.userFile(".bad")));
    EXPECT_EQ(fs::file_size(loaded.userFile(".bad")), size);
    EXPECT_EQ(TempDir::read(loaded.userFile(".bad")).substr(0, head.size()), head);
}

// Progress that cannot be saved is found at the start, not after a level.
TEST(ProfileStoreTest, FolderThatCannotBeWrittenIsReportedOnceAtLoad) {
    TempDir dir;
    TestStore store(dir);
    fillPlayers(store);
    ASSERT_TRUE(store.savePlayerProfiles());
    // A file stands where the data folder should be.
    fs::remove_all(dir.path() / "user");
    dir.write("user", "not a folder");

    TestStore loaded(dir);
    fillDefaults(loaded);
    LogCapture log;
    EXPECT_TRUE(loaded.loadAll());
    EXPECT_TRUE(log.hasErrors());
    ProfileNotice notice = loaded.takeNotice();
    EXPECT_EQ(notice.kind, ProfileNotice::CannotSave);
    EXPECT_EQ(notice.path, dir.file("user"));
    EXPECT_EQ(loaded.takeNotice().kind, ProfileNotice::None);

    loaded.addProfile(L"Unsaved");
    EXPECT_FALSE(loaded.savePlayerProfiles());
    EXPECT_EQ(loaded.takeNotice().kind, ProfileNotice::None);  // said once
    EXPECT_EQ(TempDir::read(dir.file("user")), "not a folder");
}

TEST(ProfileStoreTest, FailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    TestStore store(dir);
    fillPlayers(store);
    ASSERT_TRUE(store.savePlayerProfiles());
    const std::string before = TempDir::read(store.userFile());

    // The temporary file cannot be made: a folder stands in its place.
    fs::create_directories(store.userFile(".tmp") + "/blocker");
    store.addProfile(L"Lost");
    LogCapture log;
    EXPECT_FALSE(store.savePlayerProfiles());
    EXPECT_TRUE(log.hasErrors());
    EXPECT_EQ(TempDir::read(store.userFile()), before);
    EXPECT_EQ(store.takeNotice().kind, ProfileNotice::CannotSave);

    TestStore loaded(dir);
    fillDefaults(loaded);
    EXPECT_TRUE(loaded.loadPlayerProfiles());
    EXPECT_EQ(loaded.getProfileCount(), 2u);
}
