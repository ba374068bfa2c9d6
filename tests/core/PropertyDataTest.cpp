#include "engine/core/PropertyData.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "support/CommaLocale.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using namespace engine;
using testing_support::TempDir;

namespace {

CountedRef<IPropertyData> make(const wchar_t* typeName) { return getPropertyDataRegistry().create(typeName, nullptr); }

CountedRef<IPropertyData> fromText(const wchar_t* typeName, const char* text) {
    CountedRef<IPropertyData> v = make(typeName);
    v->fromString(text);
    return v;
}

std::string str(const stringc& s) { return s.c_str(); }

float floatOf(const CountedRef<IPropertyData>& v) { return dynamic_cast<CPropertyDataFloat*>(v.get())->value; }

}  // namespace

// ---------------------------------------------------------------------------
// Identity

TEST(PropertyDataTest, TypeNamesClassNamesAndIds) {
    struct Case {
        const wchar_t* typeName;
        const wchar_t* className;
        int32_t id;
    };
    const Case cases[] = {
        {L"int", L"CPropertyDataInt", 1},         {L"bool", L"CPropertyDataBool", 2},
        {L"float", L"CPropertyDataFloat", 3},     {L"color", L"CPropertyDataColor", 4},
        {L"colorf", L"CPropertyDataColorf", 5},   {L"vector2d", L"CPropertyDataVector2d", 6},
        {L"vector3d", L"CPropertyDataVector3d", 7}, {L"rect", L"CPropertyDataRect", 8},
        {L"string", L"CPropertyDataString", 9},   {L"stringw", L"CPropertyDataStringW", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(narrow(c.typeName)));
        CountedRef<IPropertyData> v = make(c.typeName);
        ASSERT_TRUE(v);
        EXPECT_EQ(v->getRefCount(), 1);
        EXPECT_EQ(v->getTypeName(), stringw(c.typeName));
        EXPECT_EQ(v->getClassName(), stringw(c.className));
        EXPECT_EQ(v->getTypeId(), c.id);
        EXPECT_TRUE(v->isOfType(c.id));
        EXPECT_TRUE(v->isOfType(0));
        EXPECT_FALSE(v->isOfType(c.id == 1 ? 2 : 1));
        // The registry's values start empty.
        EXPECT_TRUE(v->equals(v->clone().get()));
    }
}

// ---------------------------------------------------------------------------
// Text forms

TEST(PropertyDataTest, TextRoundTripsPerType) {
    struct Case {
        CountedRef<IPropertyData> value;
        const char* text;
    };
    const std::vector<Case> cases = {
        {makeIntProperty(0), "0"},
        {makeIntProperty(-42), "-42"},
        {makeIntProperty(2147483647), "2147483647"},
        {makeIntProperty(-2147483647 - 1), "-2147483648"},
        {makeBoolProperty(true), "true"},
        {makeBoolProperty(false), "false"},
        {makeFloatProperty(1.5f), "1.500000"},
        {makeFloatProperty(-0.25f), "-0.250000"},
        {makeFloatProperty(0.0f), "0.000000"},
        {makeFloatProperty(1234567.0f), "1234567.000000"},
        {makeFloatProperty(1e20f), "100000002004087734272.000000"},
        {makeColorProperty(SColor(0xff808080)), "ff808080"},
        {makeColorProperty(SColor(0x0000000a)), "0000000a"},
        {CountedRef<IPropertyData>(new CPropertyDataColorf(SColorf(0.5f, 0.25f, 1.0f, 0.0f))),
         "0.500000;0.250000;1.000000;0.000000"},
        {makeVector2dProperty(vector2df(100.0f, -2.5f)), "100.000000;-2.500000"},
        {makeVector3dProperty(vector3df(1.0f, 2.0f, -3.125f)), "1.000000;2.000000;-3.125000"},
        {CountedRef<IPropertyData>(new CPropertyDataRect(rectf(1.0f, 2.0f, 30.5f, 40.0f))),
         "1.000000;2.000000;30.500000;40.000000"},
        {makeStringProperty("a b;c"), "a b;c"},
        {makeStringProperty(""), ""},
        {makeStringWProperty(L"wide text"), "wide text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(str(c.value->toString()), c.text);
        EXPECT_EQ(c.value->toStringW(), widen(c.text));

        CountedRef<IPropertyData> narrowRead = getPropertyDataRegistry().create(c.value->getTypeName(), nullptr);
        narrowRead->fromString(c.text);
        EXPECT_TRUE(narrowRead->equals(c.value.get()));

        CountedRef<IPropertyData> wideRead = getPropertyDataRegistry().create(c.value->getTypeName(), nullptr);
        wideRead->fromStringW(widen(c.text));
        EXPECT_TRUE(wideRead->equals(c.value.get()));
    }
}

TEST(PropertyDataTest, MalformedAndUnusualTextReadsToADefinedValue) {
    struct Case {
        const wchar_t* type;
        const char* input;
        const char* expected;  // toString after reading
    };
    const Case cases[] = {
        // int: atoi rules
        {L"int", "  -42xyz", "-42"},
        {L"int", "+7", "7"},
        {L"int", "abc", "0"},
        {L"int", "", "0"},
        {L"int", "3.9", "3"},
        {L"int", "\t\n 12", "12"},
        {L"int", "99999999999", "2147483647"},
        {L"int", "-99999999999", "-2147483648"},
        // bool: exactly "true"
        {L"bool", "True", "false"},
        {L"bool", "1", "false"},
        {L"bool", "true ", "false"},
        {L"bool", " true", "false"},
        {L"bool", "", "false"},
        // float: engine number syntax from the first character
        {L"float", ".5", "0.500000"},
        {L"float", "2e3", "2000.000000"},
        {L"float", "2E-2", "0.020000"},
        {L"float", "1e", "1.000000"},
        {L"float", "1.", "1.000000"},
        {L"float", "-", "-0.000000"},
        {L"float", "abc", "0.000000"},
        {L"float", " 7", "0.000000"},
        {L"float", "+7", "0.000000"},
        {L"float", "1.5;2", "1.500000"},
        {L"float", "0e999999999999", "0.000000"},
        {L"float", "1e99999999999", "inf"},
        {L"float", "-1e-99999999999", "-0.000000"},
        {L"float", "123456789012345678901234567890", "123456817516928169082364100608.000000"},
        {L"float", "0.12345678901234567890", "0.123457"},
        // color: "%08x"
        {L"color", "FF808080", "ff808080"},
        {L"color", "  ff", "000000ff"},
        {L"color", "0xff", "000000ff"},
        {L"color", "0xffffffff", "00ffffff"},  // the prefix counts toward the eight characters
        {L"color", "123456789", "12345678"},
        {L"color", "-1", "ffffffff"},
        {L"color", "+10", "00000010"},
        {L"color", "0x", "00000000"},
        {L"color", "zz", "00000000"},
        {L"color", "", "00000000"},
        // multi-number forms: any separator, missing numbers 0
        {L"vector2d", "(3, -4)", "3.000000;-4.000000"},
        {L"vector2d", ".5", "5.000000;0.000000"},
        {L"vector2d", "x=1 y=2 z=3", "1.000000;2.000000"},
        {L"vector2d", "1e2,5", "100.000000;5.000000"},
        {L"vector2d", "a-b", "-0.000000;0.000000"},
        {L"vector3d", "1.5;2", "1.500000;2.000000;0.000000"},
        {L"vector3d", "", "0.000000;0.000000;0.000000"},
        {L"rect", "1,2,3,4,5", "1.000000;2.000000;3.000000;4.000000"},
        {L"colorf", "a", "0.000000;0.000000;0.000000;0.000000"},
        {L"colorf", "1 0.5", "1.000000;0.500000;0.000000;0.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(narrow(c.type)) + " '" + c.input + "'");
        EXPECT_EQ(str(fromText(c.type, c.input)->toString()), c.expected);
    }
}

TEST(PropertyDataTest, NumberSyntaxEdges) {
    // 0.1 reads back as the float nearest 0.1.
    EXPECT_EQ(floatOf(fromText(L"float", makeFloatProperty(0.1f)->toString().c_str())), 0.1f);

    // A lone minus is negative zero and the sign is consumed.
    const char* text = "-;";
    const char* end = nullptr;
    const float minus = parseFloat(text, &end);
    EXPECT_EQ(minus, 0.0f);
    EXPECT_TRUE(std::signbit(minus));
    EXPECT_EQ(end, text + 1);

    const wchar_t* wide = L"12.5e1x";
    const wchar_t* wideEnd = nullptr;
    EXPECT_EQ(parseFloatW(wide, &wideEnd), 125.0f);
    EXPECT_EQ(wideEnd, wide + 6);

    // Long digit runs are consumed whole even after the value saturates.
    const std::string huge = std::string(60, '9') + ";5";
    EXPECT_TRUE(std::isinf(parseFloat(huge.c_str(), &end)));
    EXPECT_EQ(*end, ';');
    EXPECT_EQ(parseVector2d(stringc(huge.c_str())).Y, 5.0f);

    const wchar_t* exponent = L"+12x";
    EXPECT_EQ(parseIntW(exponent, &wideEnd), 12);
    EXPECT_EQ(wideEnd, exponent + 3);
    EXPECT_EQ(parseIntW(L"99999999999"), 2147483647);
    EXPECT_EQ(parseIntW(L"x"), 0);
    EXPECT_EQ(parseFloat(nullptr), 0.0f);

    // Narrow and wide scanners agree.
    EXPECT_EQ(parseVector3d(stringw(L"1;2;3")), parseVector3d(stringc("1;2;3")));
    EXPECT_EQ(parseRect(stringw(L"1 2 3 4")), rectf(1, 2, 3, 4));
    EXPECT_EQ(parseColorf(stringw(L"0.5")).r, 0.5f);
}

// Numbers are written and read with "." whatever the process locale says.
TEST(PropertyDataTest, TextFormsIgnoreTheProcessLocale) {
    testing_support::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma available";

    EXPECT_EQ(str(makeFloatProperty(1.5f)->toString()), "1.500000");
    EXPECT_EQ(str(makeVector2dProperty(vector2df(-2.25f, 3))->toString()), "-2.250000;3.000000");
    EXPECT_EQ(floatOf(fromText(L"float", "1.5")), 1.5f);
    EXPECT_EQ(floatOf(fromText(L"float", "1,5")), 1.0f);
    EXPECT_EQ(parseVector2d(stringc("0.5;2.5")), vector2df(0.5f, 2.5f));

    const std::string doc = "<a v=\"2.5\" />";
    XmlReader reader(doc.data(), doc.size());
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getAttributeValueAsFloat(L"v"), 2.5f);
}

TEST(PropertyDataTest, NarrowAndWideTextMeetByTheEngineRule) {
    auto w = makeStringWProperty(stringw(L"A\x4e2d\x00e9"));
    EXPECT_EQ(str(w->toString()), "A\x2d\xe9");  // low 8 bits of each character

    auto s = makeStringProperty("caf\xe9");
    const stringw wide = s->toStringW();
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(wide[3], L'\xFFE9') << "sign-extended to 16 bits, not to 32";

    auto fromNarrow = make(L"stringw");
    fromNarrow->fromString("caf\xe9");
    EXPECT_EQ(fromNarrow->toStringW(), wide);
    auto narrowed = make(L"string");
    narrowed->fromStringW(stringw(L"\x4e2d"));
    EXPECT_EQ(str(narrowed->toString()), "\x2d");
}

// ---------------------------------------------------------------------------
// Equality

TEST(PropertyDataTest, Equality) {
    struct Case {
        const char* label;
        CountedRef<IPropertyData> a;
        CountedRef<IPropertyData> b;
        bool equal;
    };
    const std::vector<Case> cases = {
        {"int", makeIntProperty(3), makeIntProperty(3), true},
        {"int differs", makeIntProperty(3), makeIntProperty(4), false},
        {"float exact", makeFloatProperty(1.0f), makeFloatProperty(1.0000001f), false},
        {"color", makeColorProperty(SColor(0xff000000)), makeColorProperty(SColor(0xff000000)), true},
        {"vector3d within 1e-6", makeVector3dProperty(vector3df(1, 2, 3)),
         makeVector3dProperty(vector3df(1.0000005f, 2, 3)), true},
        {"vector3d beyond 1e-6", makeVector3dProperty(vector3df(1, 2, 3)),
         makeVector3dProperty(vector3df(1.00001f, 2, 3)), false},
        {"vector2d exact", makeVector2dProperty(vector2df(1, 2)), makeVector2dProperty(vector2df(1.0000005f, 2)),
         false},
        {"rect exact", CountedRef<IPropertyData>(new CPropertyDataRect(rectf(0, 0, 1, 1))),
         CountedRef<IPropertyData>(new CPropertyDataRect(rectf(0, 0, 1, 1.0000001f))), false},
        {"colorf", CountedRef<IPropertyData>(new CPropertyDataColorf(SColorf(1, 0, 0, 1))),
         CountedRef<IPropertyData>(new CPropertyDataColorf(SColorf(1, 0, 0, 1))), true},
        {"string", makeStringProperty("abc"), makeStringProperty("abc"), true},
        {"string case", makeStringProperty("abc"), makeStringProperty("ABC"), false},
        {"stringw", makeStringWProperty(L"\x4e2d"), makeStringWProperty(L"\x4e2d"), true},
        {"different types", makeIntProperty(1), makeBoolProperty(true), false},
        {"string against stringw", makeStringProperty("a"), makeStringWProperty(L"a"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.a->equals(c.b.get()), c.equal);
        EXPECT_EQ(c.b->equals(c.a.get()), c.equal);
    }
    EXPECT_FALSE(makeIntProperty(0)->equals(nullptr));
}

TEST(PropertyDataTest, CloneIsAnIndependentCopy) {
    auto original = makeVector2dProperty(vector2df(1, 2));
    CountedRef<IPropertyData> copy = original->clone();
    EXPECT_NE(copy.get(), original.get());
    EXPECT_EQ(copy->getRefCount(), 1);
    EXPECT_TRUE(copy->equals(original.get()));
    dynamic_cast<CPropertyDataVector2d*>(copy.get())->value.X = 9;
    EXPECT_EQ(original->value.X, 1.0f);
    EXPECT_FALSE(copy->equals(original.get()));
}

// ---------------------------------------------------------------------------
// Interpolation

TEST(PropertyDataTest, Interpolation) {
    struct Case {
        const char* label;
        CountedRef<IPropertyData> start;
        CountedRef<IPropertyData> end;
        CountedRef<IPropertyData> out;
        float t;
        bool written;
        const char* expected;  // the output's text afterwards
    };
    const auto colorf = [](float r, float g, float b, float a) {
        return CountedRef<IPropertyData>(new CPropertyDataColorf(SColorf(r, g, b, a)));
    };
    const auto rect = [](float a, float b, float c, float d) {
        return CountedRef<IPropertyData>(new CPropertyDataRect(rectf(a, b, c, d)));
    };
    const std::vector<Case> cases = {
        {"int", makeIntProperty(0), makeIntProperty(10), makeIntProperty(99), 0.55f, true, "5"},
        {"int down truncates toward zero", makeIntProperty(0), makeIntProperty(-10), makeIntProperty(99), 0.55f,
         true, "-5"},
        {"int from start", makeIntProperty(100), makeIntProperty(200), makeIntProperty(0), 0.25f, true, "125"},
        {"int extremes", makeIntProperty(-2147483647 - 1), makeIntProperty(2147483647), makeIntProperty(0), 1.0f,
         true, "2147483647"},
        {"float", makeFloatProperty(1.0f), makeFloatProperty(3.0f), makeFloatProperty(0.0f), 0.25f, true,
         "1.500000"},
        {"float beyond the end", makeFloatProperty(0.0f), makeFloatProperty(2.0f), makeFloatProperty(0.0f), 1.5f,
         true, "3.000000"},
        {"color black to white", makeColorProperty(SColor(0xff000000)), makeColorProperty(SColor(0xffffffff)),
         makeColorProperty(SColor(0)), 0.5f, true, "ff7f7f7f"},
        {"color per channel", makeColorProperty(SColor(0x00ff0010)), makeColorProperty(SColor(0xff00ff30)),
         makeColorProperty(SColor(0)), 0.25f, true, "3fbf3f18"},
        {"colorf", colorf(0, 1, 0, 1), colorf(1, 0, 0.5f, 0), colorf(0, 0, 0, 0), 0.5f, true,
         "0.500000;0.500000;0.250000;0.500000"},
        {"vector2d", makeVector2dProperty(vector2df(0, 10)), makeVector2dProperty(vector2df(10, 0)),
         makeVector2dProperty(vector2df(0, 0)), 0.5f, true, "5.000000;5.000000"},
        {"vector3d", makeVector3dProperty(vector3df(0, 0, -4)), makeVector3dProperty(vector3df(2, 4, 4)),
         makeVector3dProperty(vector3df(0, 0, 0)), 0.75f, true, "1.500000;3.000000;2.000000"},
        {"rect", rect(0, 0, 10, 10), rect(10, 10, 30, 50), rect(0, 0, 0, 0), 0.5f, true,
         "5.000000;5.000000;20.000000;30.000000"},
        {"bool just before the end keeps the start", makeBoolProperty(false), makeBoolProperty(true),
         makeBoolProperty(true), 0.999f, true, "false"},
        {"bool at the end takes the end", makeBoolProperty(false), makeBoolProperty(true),
         makeBoolProperty(false), 1.0f, true, "true"},
        {"bool unchanged output reports false", makeBoolProperty(false), makeBoolProperty(true),
         makeBoolProperty(true), 1.0f, false, "true"},
        {"bool past the end keeps the start", makeBoolProperty(false), makeBoolProperty(true),
         makeBoolProperty(false), 1.5f, false, "false"},
        {"string before the end writes nothing", makeStringProperty("a"), makeStringProperty("b"),
         makeStringProperty("untouched"), 0.5f, false, "untouched"},
        {"string at the end", makeStringProperty("a"), makeStringProperty("b"), makeStringProperty("x"), 1.0f,
         true, "b"},
        {"stringw past the end", makeStringWProperty(L"a"), makeStringWProperty(L"b"),
         makeStringWProperty(L"x"), 2.0f, true, "b"},
        {"stringw before the end", makeStringWProperty(L"a"), makeStringWProperty(L"b"),
         makeStringWProperty(L"x"), 0.99f, false, "x"},
        {"output of another type", makeIntProperty(0), makeIntProperty(10), makeFloatProperty(7.0f), 0.5f, false,
         "7.000000"},
        {"end of another type", makeFloatProperty(0), makeIntProperty(10), makeFloatProperty(7.0f), 0.5f, false,
         "7.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.start->interpolate(c.end.get(), c.out.get(), c.t, 0), c.written);
        EXPECT_EQ(str(c.out->toString()), c.expected);
    }
    auto start = makeIntProperty(1);
    EXPECT_FALSE(start->interpolate(nullptr, nullptr, 0.5f, 0));
    // prepareInterpolation of the scalar values changes nothing.
    auto next = makeIntProperty(5);
    start->prepareInterpolation(next.get());
    EXPECT_EQ(start->value, 1);
    EXPECT_EQ(next->value, 5);
}

// ---------------------------------------------------------------------------
// XML form and helpers

TEST(PropertyDataTest, WritesOneEmptyElementAndReadsTheValueAttribute) {
    XmlWriter writer;
    makeVector2dProperty(vector2df(1, -2))->writeToXml(&writer, "Pos & Size");
    const std::wstring expected = L"\xFEFF<vector2d Name=\"Pos &amp; Size\" Value=\"1.000000;-2.000000\" />";
    std::string bytes;
    for (wchar_t c : expected) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    EXPECT_EQ(writer.getBuffer(), bytes);

    XmlReader reader(writer.getBuffer().data(), writer.getBuffer().size());
    ASSERT_TRUE(reader.read());
    auto read = make(L"vector2d");
    read->readFromXml(&reader);
    EXPECT_EQ(str(read->toString()), "1.000000;-2.000000");
    EXPECT_EQ(reader.getNodeType(), irr::io::EXN_ELEMENT);  // reads no further nodes
}

TEST(PropertyDataTest, ElementWithoutValueReadsEmptyText) {
    const std::string doc = "<x Name=\"n\" />";
    struct Case {
        const wchar_t* type;
        const char* expected;
    };
    const Case cases[] = {{L"int", "0"},
                          {L"bool", "false"},
                          {L"float", "0.000000"},
                          {L"color", "00000000"},
                          {L"vector2d", "0.000000;0.000000"},
                          {L"string", ""},
                          {L"stringw", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(str(narrow(c.type)));
        XmlReader reader(doc.data(), doc.size());
        ASSERT_TRUE(reader.read());
        auto v = make(c.type);
        v->fromString("123;456");
        v->readFromXml(&reader);
        EXPECT_EQ(str(v->toString()), c.expected);
    }
    make(L"int")->readFromXml(nullptr);
    make(L"int")->writeToXml(nullptr, "x");
}

TEST(PropertyDataTest, TextOfMissingValuesAndNameIds) {
    const CountedRef<IPropertyData> none;
    EXPECT_EQ(str(propertyDataToString(none)), "");
    EXPECT_TRUE(getPropertyStringW(none).empty());
    stringc narrowOut("old");
    stringw wideOut(L"old");
    propertyToString(none, narrowOut);
    propertyToStringW(none, wideOut);
    EXPECT_TRUE(narrowOut.empty());
    EXPECT_TRUE(wideOut.empty());

    const CountedRef<IPropertyData> value = makeFloatProperty(2.0f);
    propertyToString(value, narrowOut);
    propertyToStringW(value, wideOut);
    EXPECT_EQ(str(narrowOut), "2.000000");
    EXPECT_EQ(wideOut, stringw(L"2.000000"));

    const NameId id = makeNameId("PropertyDataTestNode");
    auto named = makeStringPropertyFromNameId(id);
    EXPECT_EQ(str(named->value), "PropertyDataTestNode");
    EXPECT_EQ(nameIdFromProperty(named), id);
    EXPECT_EQ(nameIdFromProperty(makeStringWProperty(L"PropertyDataTestNode")), id);
    EXPECT_EQ(nameIdFromProperty(none), kNoName);
    EXPECT_EQ(nameIdFromProperty(makeStringProperty("")), kNoName);
}

TEST(PropertyDataTest, TypedReadsGiveZeroForMissingOrOtherValues) {
    const CountedRef<IPropertyData> none;
    const CountedRef<IPropertyData> text = makeStringProperty("7");
    EXPECT_EQ(intFromProperty(makeIntProperty(-7)), -7);
    EXPECT_TRUE(boolFromProperty(makeBoolProperty(true)));
    EXPECT_EQ(floatFromProperty(makeFloatProperty(2.5f)), 2.5f);
    EXPECT_EQ(colorFromProperty(makeColorProperty(SColor(0x80402010))), SColor(0x80402010));
    EXPECT_EQ(vector2dFromProperty(makeVector2dProperty(vector2df(1.0f, 2.0f))), vector2df(1.0f, 2.0f));
    EXPECT_EQ(vector3dFromProperty(makeVector3dProperty(vector3df(1.0f, 2.0f, 3.0f))), vector3df(1.0f, 2.0f, 3.0f));
    for (const CountedRef<IPropertyData>& other : {none, text}) {
        EXPECT_EQ(intFromProperty(other), 0);
        EXPECT_FALSE(boolFromProperty(other));
        EXPECT_EQ(floatFromProperty(other), 0.0f);
        EXPECT_EQ(colorFromProperty(other), SColor(0));
        EXPECT_EQ(vector2dFromProperty(other), vector2df(0.0f, 0.0f));
        EXPECT_EQ(vector3dFromProperty(other), vector3df(0.0f, 0.0f, 0.0f));
    }
    // A value of a neighbouring number type is not converted.
    EXPECT_EQ(intFromProperty(makeFloatProperty(3.0f)), 0);
    EXPECT_EQ(floatFromProperty(makeIntProperty(3)), 0.0f);
}
