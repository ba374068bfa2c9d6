#include "engine/io/PathUtils.h"
#include <gtest/gtest.h>

using namespace engine;

namespace {

struct OneArgCase {
    const char* input;
    const char* expected;
};

struct TwoArgCase {
    const char* base;
    const char* path;
    const char* expected;
};

}  // namespace

TEST(PathUtilsTest, PathRoot) {
    const OneArgCase cases[] = {
        {"", ""},
        {"a", ""},
        {"C:", "C"},
        {"C:\\games\\x.png", "C"},
        {"d:relative", "d"},
        {"\\\\server\\share\\dir\\f.txt", "\\\\server\\share"},
        {"//server/share/f", "//server/share"},
        {"//server/share", "//server/share"},  // fewer than two separators follow: whole path
        {"\\\\server", "\\\\server"},
        {"/usr/share/x", "/"},  // Linux absolute path
        {"\\x", "/"},
        {"scenes/a.oscn", ""},
        {"./a", ""},
    };
    for (const auto& c : cases) EXPECT_STREQ(getPathRoot(c.input).c_str(), c.expected) << c.input;
}

TEST(PathUtilsTest, FileNamePartAndExtension) {
    const OneArgCase nameParts[] = {
        {"scenes/images/Bg.png", "Bg.png"}, {"a\\b\\c.txt", "c.txt"}, {"C:file", "file"},
        {"plain", "plain"},                 {"folder/", ""},           {"", ""},
    };
    for (const auto& c : nameParts) EXPECT_STREQ(getFileNamePart(c.input).c_str(), c.expected) << c.input;

    const OneArgCase extensions[] = {
        {"archive.tar.zip", "zip"},
        {"noextension", ""},
        {"assets", ""},
        {"assets.oca", "oca"},
        {"data.old/file", "old/file"},  // the '.' of a folder counts when the file has none
        {"ends.", ""},
        {"", ""},
    };
    for (const auto& c : extensions) EXPECT_STREQ(getFileExtension(c.input).c_str(), c.expected) << c.input;
}

TEST(PathUtilsTest, JoinPath) {
    const TwoArgCase cases[] = {
        {"scenes/MainMenuScene.oscn", "images/Bg.png", "scenes/images/Bg.png"},
        {"scenes/MainMenuScene.oscn", "../logos/Logo.png", "logos/Logo.png"},
        {"scenes/MainMenuScene.oscn", "./images/Bg.png", "scenes/images/Bg.png"},
        {"scenes/MainMenuScene.oscn", "C:\\abs\\x.png", "C:\\abs\\x.png"},
        {"scenes/MainMenuScene.oscn", "/abs/x.png", "/abs/x.png"},
        {"scenes", "images/Bg.png", "images/Bg.png"},  // base without separator
        {"", "images/Bg.png", "images/Bg.png"},
        {"a/b/c/file.x", "../../y.png", "a/y.png"},
        {"a/file.x", "../../../y.png", "y.png"},             // an empty folder stays empty
        {"a\\b\\file.x", "..\\.\\y.png", "a/y.png"},         // backslashes are separators too
        {"a/b/file.x", "c/../d.png", "a/b/c/../d.png"},       // only leading steps are consumed
        {"a/b/file.x", "./../d.png", "a/d.png"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(joinPath(c.base, c.path).c_str(), c.expected) << c.base << " + " << c.path;
}

TEST(PathUtilsTest, MakePathRelative) {
    const TwoArgCase cases[] = {
        {"levels/level1/Level.oscn", "levels/common/Stars/EmptyStar.png", "../common/Stars/EmptyStar.png"},
        {"levels/level1/Level.oscn", "levels/level1/Stars/A.png", "Stars/A.png"},
        {"scenes/a/File.oscn", "images/b.png", "../../images/b.png"},  // no common folder
        {"File.oscn", "images/b.png", "images/b.png"},
        {"", "images\\b.png", "images\\b.png"},                      // empty base: unchanged
        {"levels\\level1\\Level.oscn", "levels/x\\y.png", "../x/y.png"},  // mixed separators
        {"C:\\a\\b.oscn", "D:\\a\\c.png", "D:\\a\\c.png"},             // different roots: unchanged
        {"scenes/a.oscn", "/abs/b.png", "/abs/b.png"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(makePathRelative(c.base, c.path).c_str(), c.expected) << c.base << " -> " << c.path;
}

TEST(PathUtilsTest, RelativeThenJoinGivesThePathBack) {
    const TwoArgCase cases[] = {
        {"levels/level1/Level.oscn", "levels/common/Stars/EmptyStar.png", nullptr},
        {"scenes/a/b/File.oscn", "scenes/images/x.png", nullptr},
        {"scenes/File.oscn", "other/deep/er/x.png", nullptr},
    };
    for (const auto& c : cases) {
        const stringc relative = makePathRelative(c.base, c.path);
        EXPECT_STREQ(joinPath(c.base, relative).c_str(), c.path) << relative.c_str();
    }
}

TEST(PathUtilsTest, ArchiveNameOrderComparesSignedBytes) {
    EXPECT_LT(compareArchiveNames("abc", "abd"), 0);
    EXPECT_LT(compareArchiveNames("ab", "abc"), 0);  // a prefix sorts first
    EXPECT_EQ(compareArchiveNames("same", "same"), 0);
    EXPECT_GT(compareArchiveNames("a", "B"), 0);
    // A byte above 127 is negative as a signed char, so it sorts before ASCII.
    EXPECT_LT(compareArchiveNames("\xe9t\xe9", "a"), 0);
}
