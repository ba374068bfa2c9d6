#include "engine/core/TextRoutines.h"
#include "engine/core/TextConvert.h"

#include "support/CommaLocale.h"
#include <gtest/gtest.h>
#include <clocale>
#include <climits>
#include <string>
#include <vector>

using namespace engine;

namespace {

std::vector<int32_t> toVector(const array<int32_t>& values) {
    std::vector<int32_t> out;
    for (uint32_t i = 0; i < values.size(); ++i) out.push_back(values[i]);
    return out;
}

array<int32_t> toArray(const std::vector<int32_t>& values) {
    array<int32_t> out;
    for (int32_t v : values) out.push_back(v);
    return out;
}

std::string narrowStd(const stringw& text) { return narrow(text).c_str(); }

}  // namespace

TEST(TextRoutinesTest, FormatMinutesSeconds) {
    struct Case {
        uint32_t ms;
        const char* expected;
    };
    const Case cases[] = {
        {0, "00:00"},          {999, "00:00"},        {1000, "00:01"},       {59999, "00:59"},
        {60000, "01:00"},      {65000, "01:05"},      {599999, "09:59"},     {600000, "10:00"},
        {3599999, "59:59"},    {3600000, "00:00"},    {3661000, "01:01"},    {4294967295u, "02:47"},
    };
    for (const Case& c : cases) EXPECT_EQ(narrowStd(formatMinutesSeconds(c.ms)), c.expected) << c.ms;
}

TEST(TextRoutinesTest, FormatWithSeparator) {
    struct Case {
        int32_t value;
        wchar_t separator;
        const char* expected;
    };
    const Case cases[] = {
        {0, L',', "0"},
        {7, L',', "7"},
        {123, L',', "123"},
        {999, L',', "999"},
        {1000, L',', "1,000"},
        {12345, L',', "12,345"},
        {123456, L',', "123,456"},
        {1234567, L',', "1,234,567"},
        {INT_MAX, L',', "2,147,483,647"},
        {1000000, L'.', "1.000.000"},
        {1000000, L' ', "1 000 000"},
        // The minus sign stays in front of the grouped digits.
        {-5, L',', "-5"},
        {-123, L',', "-123"},
        {-1234, L',', "-1,234"},
        {-123456, L',', "-123,456"},
        {INT_MIN, L',', "-2,147,483,648"},
    };
    for (const Case& c : cases) EXPECT_EQ(narrowStd(formatWithSeparator(c.value, c.separator)), c.expected) << c.value;

    // A separator beyond 8 bits survives in the wide text.
    const stringw thin = formatWithSeparator(1234, L'\x2009');
    ASSERT_EQ(thin.size(), 5u);
    EXPECT_EQ(thin[1], L'\x2009');
}

TEST(TextRoutinesTest, TrimWhitespace) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},           {"   ", ""},         {" \t\r\n", ""},     {"a", "a"},
        {"  a b  ", "a b"}, {"\tx\n", "x"},      {"a\r\n", "a"},      {"\na", "a"},
        // Only the four listed characters are trimmed.
        {"\va\f", "\va\f"}, {"_a_", "_a_"},
    };
    for (const Case& c : cases) {
        stringc text(c.text);
        trimWhitespace(text);
        EXPECT_STREQ(text.c_str(), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(text.size(), std::string(c.expected).size());
    }
}

TEST(TextRoutinesTest, SplitBySemicolon) {
    struct Case {
        const char* text;
        std::vector<const char*> names;
    };
    const std::vector<Case> cases = {
        {" a ; ;b;", {"a", "b"}},
        {"", {}},
        {";;;", {}},
        {" \t; \r\n", {}},
        {"a", {"a"}},
        {"a;b;a", {"a", "b", "a"}},
        {" x y ;z", {"x y", "z"}},
        {"first;second;third", {"first", "second", "third"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const array<NameId> ids = splitBySemicolon(c.text);
        ASSERT_EQ(ids.size(), c.names.size());
        for (uint32_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(ids[i], makeNameId(c.names[i]));
            EXPECT_STREQ(nameOfId(ids[i]).c_str(), c.names[i]);
        }
    }
}

TEST(TextRoutinesTest, ParseIntArray) {
    struct Case {
        const char* text;
        std::vector<int32_t> expected;
    };
    const std::vector<Case> cases = {
        {"3;-4;5.9", {3, -4, 5}},
        {"x", {}},
        {"", {}},
        {";;", {}},
        {"1,2 3", {1, 2, 3}},
        {"  10 ; 20 ", {10, 20}},
        {"(7|8)", {7, 8}},
        {"1-2", {1, -2}},
        // A lone minus reads as zero and consumes the sign.
        {"-", {0}},
        {"--5", {0, -5}},
        {"-7.9", {-7}},
        {"-0.5", {0}},
        {".5", {5}},  // the point alone is skipped
        {"5.", {5}},
        {"1e3", {1000}},
        {"2.5E1", {25}},
        {"1e;2", {1, 2}},
        {"25e-1", {2}},
        {"0e999", {0}},
        {"1e20", {INT_MAX}},
        {"-1e20", {INT_MIN}},
        {"5.123456789012345678901;6", {5, 6}},
        // Whole numbers are exact over the whole int range and clamped beyond it.
        {"16777217", {16777217}},
        {"2147483647;-2147483648", {INT_MAX, INT_MIN}},
        {"2147483648;-2147483649", {INT_MAX, INT_MIN}},
        {"99999999999999999999999999999999999999999999999999;4", {INT_MAX, 4}},
        {"1234567890123456789012345678901234567890123456789.5;4", {INT_MAX, 4}},
        // Beyond the float range the value stays infinite, whatever the exponent.
        {"1234567890123456789012345678901234567890123456789.5e-400;4", {INT_MAX, 4}},
    };
    for (const Case& c : cases) EXPECT_EQ(toVector(parseIntArray(c.text)), c.expected) << '"' << c.text << '"';
}

TEST(TextRoutinesTest, JoinIntArray) {
    struct Case {
        std::vector<int32_t> values;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{0}, "0"},
        {{5}, "5"},
        {{1, -2, 3}, "1;-2;3"},
        {{INT_MIN, INT_MAX}, "-2147483648;2147483647"},
    };
    for (const Case& c : cases) EXPECT_STREQ(joinIntArray(toArray(c.values)).c_str(), c.expected);
}

// Profiles store int lists with joinIntArray and read them with parseIntArray.
TEST(TextRoutinesTest, JoinedIntsReadBackUnchanged) {
    const std::vector<int32_t> values = {INT_MIN, -16777217, -1, 0, 1, 16777217, 123456789, INT_MAX};
    EXPECT_EQ(toVector(parseIntArray(joinIntArray(toArray(values)))), values);
}

TEST(TextRoutinesTest, NumbersIgnoreTheProcessLocale) {
    testing_support::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma available";
    EXPECT_EQ(toVector(parseIntArray("2.5e1;-7.9;1,5")), (std::vector<int32_t>{25, -7, 1, 5}));
    EXPECT_STREQ(joinIntArray(toArray({1234567, -8})).c_str(), "1234567;-8");
    EXPECT_EQ(narrowStd(formatWithSeparator(1234567, L',')), "1,234,567");
}

TEST(TextRoutinesTest, EqualWide) {
    struct Case {
        const wchar_t* text;
        const wchar_t* other;
        bool expected;
    };
    const Case cases[] = {
        {L"abc", L"abc", true},  {L"", L"", true},         {L"abc", nullptr, false}, {L"", nullptr, false},
        {L"abc", L"ab", false},  {L"ab", L"abc", false},   {L"abc", L"abd", false},  {L"Abc", L"abc", false},
        {L"", L"a", false},      {L"\x2009", L"\x2009", true}, {L"\x2109", L"\x0109", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(equalWide(stringw(c.text), c.other), c.expected)
            << narrow(c.text).c_str() << " / " << (c.other ? narrow(c.other).c_str() : "(null)");
    }
}

TEST(TextRoutinesTest, PointerPlusString) {
    EXPECT_STREQ(("pre" + stringc("fix")).c_str(), "prefix");
    EXPECT_STREQ(("" + stringc("fix")).c_str(), "fix");
    EXPECT_STREQ(("pre" + stringc()).c_str(), "pre");
    EXPECT_STREQ((static_cast<const char*>(nullptr) + stringc("fix")).c_str(), "fix");
    EXPECT_TRUE(equalWide(L"pre" + stringw(L"fix"), L"prefix"));
    EXPECT_TRUE(equalWide(static_cast<const wchar_t*>(nullptr) + stringw(L"fix"), L"fix"));

    // The right-hand string is left as it was.
    const stringc right("x");
    const stringc joined = "a" + right;
    EXPECT_STREQ(right.c_str(), "x");
    EXPECT_STREQ(joined.c_str(), "ax");
}
