#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TextBytes.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace engine;
using testing_support::TempDir;
using testing_support::utf16le;

namespace {

std::string str(const stringc& s) { return s.c_str(); }

// Names and texts of the entries in order ("<none>" for an entry without a value).
std::vector<std::pair<std::string, std::string>> entriesOf(const PropertySet& set) {
    std::vector<std::pair<std::string, std::string>> out;
    for (uint32_t i = 0; i < set.getCount(); ++i) {
        CountedRef<IPropertyData> v = set.getDataAt(i);
        out.emplace_back(str(set.getNameAt(i)), v ? str(v->toString()) : "<none>");
    }
    return out;
}

using Entries = std::vector<std::pair<std::string, std::string>>;

// A reader over the text, standing on the first element of the given name.
CountedRef<XmlReader> readerAt(const std::string& bytes, const wchar_t* element) {
    CountedRef<XmlReader> r(new XmlReader(bytes.data(), bytes.size()));
    while (r->read())
        if (r->getNodeType() == irr::io::EXN_ELEMENT && r->getNodeName() == element) break;
    return r;
}

// Moves on to the next element start and gives its name ("" at the end).
std::wstring nextElement(XmlReader& r) {
    while (r.read())
        if (r.getNodeType() == irr::io::EXN_ELEMENT) return r.getNodeName().c_str();
    return L"";
}

}  // namespace

// ---------------------------------------------------------------------------
// Entries

TEST(PropertySetTest, AddSetFindAndOrder) {
    PropertySet set;
    EXPECT_EQ(set.getRefCount(), 1);
    set.addInt("A", 1);
    set.addString("B", "two");
    set.addFloat("C", 3.0f);
    EXPECT_EQ(set.indexOf("B"), 1);
    EXPECT_EQ(set.indexOf("missing"), -1);

    // set keeps the entry's place.
    set.setInt("B", 22);
    EXPECT_EQ(entriesOf(set), (Entries{{"A", "1"}, {"B", "22"}, {"C", "3.000000"}}));

    // add appends a second entry that find then returns.
    set.addInt("A", 100);
    EXPECT_EQ(entriesOf(set), (Entries{{"A", "1"}, {"B", "22"}, {"C", "3.000000"}, {"A", "100"}}));
    EXPECT_EQ(set.getInt("A"), 100);
    EXPECT_EQ(set.indexOf("A"), 3);

    // set on a new name appends.
    set.setBool("D", true);
    EXPECT_EQ(set.indexOf("D"), 4);

    set.setDataAt(0, makeIntProperty(-1));
    set.setDataAt(99, makeIntProperty(-2));  // past the end: nothing
    EXPECT_EQ(set.getCount(), 5u);
    EXPECT_EQ(str(set.getDataAt(0)->toString()), "-1");
    EXPECT_FALSE(set.getDataAt(99));
    EXPECT_TRUE(set.getNameAt(99).empty());

    set.clear();
    EXPECT_EQ(set.getCount(), 0u);
    EXPECT_FALSE(set.find("A"));
    EXPECT_EQ(set.indexOf("A"), -1);
}

TEST(PropertySetTest, ValuesAreSharedNotCopied) {
    PropertySet a;
    PropertySet b;
    auto value = makeIntProperty(5);
    a.add("x", value);
    b.set("x", value);
    EXPECT_EQ(value->getRefCount(), 3);
    EXPECT_EQ(a.find("x").get(), b.find("x").get());
    a.setInt("x", 6);  // a new value object; b keeps the old one
    EXPECT_EQ(b.getInt("x"), 5);
    EXPECT_EQ(value->getRefCount(), 2);
}

TEST(PropertySetTest, TypedGettersCheckTheType) {
    PropertySet set;
    set.setBool("flag", true);
    set.setInt("count", 3);
    set.setFloat("speed", 2.5f);
    set.addVector2d("pos", vector2df(1, 2));
    set.addColor("tint", SColor(0xff808080));
    set.addVector3d("pos3", vector3df(1, 2, 3));
    set.setString("text", "hello");
    set.setStringW("wide", L"wide");
    set.add("empty", CountedRef<IPropertyData>());

    EXPECT_TRUE(set.getBool("flag"));
    EXPECT_EQ(set.getInt("count"), 3);
    EXPECT_EQ(set.getFloat("speed"), 2.5f);

    // Another type or a missing value gives the zero of the getter.
    EXPECT_FALSE(set.getBool("count"));
    EXPECT_EQ(set.getInt("flag"), 0);
    EXPECT_EQ(set.getInt("speed"), 0);
    EXPECT_EQ(set.getFloat("count"), 0.0f);
    EXPECT_FALSE(set.getBool("missing"));
    EXPECT_EQ(set.getInt("empty"), 0);
    EXPECT_FALSE(set.find("empty"));
    EXPECT_EQ(set.indexOf("empty"), 8);

    // getString gives any value's text.
    EXPECT_EQ(str(set.getString("pos")), "1.000000;2.000000");
    EXPECT_EQ(str(set.getString("tint")), "ff808080");
    EXPECT_EQ(str(set.getString("flag")), "true");
    EXPECT_EQ(str(set.getString("wide")), "wide");
    EXPECT_EQ(str(set.getString("missing")), "");
    EXPECT_EQ(str(set.getString("empty")), "");

    // getStringW keeps wide text whole, where getString keeps the low byte of
    // each character; narrow text comes back widened by the engine's rule.
    set.setStringW("chinese", L"\x4e2d\x6587");
    set.setString("latin", "caf\xe9");
    EXPECT_EQ(set.getStringW("chinese"), stringw(L"\x4e2d\x6587"));
    EXPECT_EQ(str(set.getString("chinese")), "\x2d\x87");
    EXPECT_EQ(set.getStringW("latin"), stringw(L"caf\xFFE9"));
    EXPECT_EQ(set.getStringW("count"), stringw(L"3"));
    EXPECT_EQ(set.getStringW("missing"), stringw());
    EXPECT_EQ(set.getStringW("empty"), stringw());
}

TEST(PropertySetTest, AddValueAppendsABool) {
    PropertySet set;
    PropertySet::addValue(&set, "Visible", false);
    PropertySet::addValue(&set, "Visible", true);
    PropertySet::addValue(nullptr, "Ignored", true);
    EXPECT_EQ(entriesOf(set), (Entries{{"Visible", "false"}, {"Visible", "true"}}));
    EXPECT_TRUE(set.getBool("Visible"));
    EXPECT_EQ(set.find("Visible")->getTypeId(), PROPERTY_BOOL);
    EXPECT_EQ(set.find("Visible")->getRefCount(), 2);  // the set's and ours only
}

TEST(PropertySetTest, CloneIsDeepAndKeepsTheIndex) {
    CountedRef<PropertySet> nested(new PropertySet);
    nested->setInt("inner", 1);
    PropertySet set;
    set.setInt("a", 1);
    set.addInt("a", 2);
    set.add("none", CountedRef<IPropertyData>());
    set.setProperties("child", nested.get());

    CountedRef<PropertySet> copy = set.clone();
    EXPECT_EQ(copy->getRefCount(), 1);
    EXPECT_EQ(entriesOf(*copy), entriesOf(set));
    EXPECT_EQ(copy->getInt("a"), 2);
    EXPECT_FALSE(copy->getDataAt(2));
    EXPECT_NE(copy->getDataAt(0).get(), set.getDataAt(0).get());

    dynamic_cast<CPropertyDataInt*>(copy->getDataAt(0).get())->value = 50;
    EXPECT_EQ(str(set.getDataAt(0)->toString()), "1");

    auto* copiedChild = dynamic_cast<CPropertyDataProperties*>(copy->find("child").get());
    ASSERT_NE(copiedChild, nullptr);
    ASSERT_NE(copiedChild->getSet(), nested.get());
    copiedChild->getSet()->setInt("inner", 2);
    EXPECT_EQ(nested->getInt("inner"), 1);

    EXPECT_FALSE(cloneData(CountedRef<IPropertyData>()));
}

TEST(PropertySetTest, CountedReleaseDeletesTheSet) {
    auto* set = new PropertySet;
    {
        CountedRef<PropertySet> holder = CountedRef<PropertySet>::share(set);
        EXPECT_EQ(set->getRefCount(), 2);
        PropertySet outer;
        outer.setProperties("nested", set);
        EXPECT_EQ(set->getRefCount(), 3);
    }
    EXPECT_EQ(set->getRefCount(), 1);
    EXPECT_TRUE(set->release());
}

// ---------------------------------------------------------------------------
// Writing

TEST(PropertySetTest, WritesTheEnginesFileFormat) {
    PropertySet set;
    set.addInt("TopItem", 3);
    PropertySet::addValue(&set, "Visible", false);
    set.add("NoValue", CountedRef<IPropertyData>());  // never written

    XmlWriter writer;
    EXPECT_TRUE(set.write(&writer, true));
    const std::wstring expected =
        L"<?xml version=\"1.0\"?>\r\n"
        L"<Properties>\r\n"
        L"\t<int Name=\"TopItem\" Value=\"3\" />\r\n"
        L"\t<bool Name=\"Visible\" Value=\"false\" />\r\n"
        L"</Properties>\r\n";
    EXPECT_EQ(writer.getBuffer(), utf16le(expected));
    EXPECT_FALSE(set.write(nullptr));
}

TEST(PropertySetTest, WritesUnderAnotherNameOrWithoutItsOwnElement) {
    PropertySet set;
    set.addInt("A", 1);
    XmlWriter named;
    set.write(&named, false, L"Parameters");
    EXPECT_EQ(named.getBuffer(), utf16le(L"<Parameters>\r\n\t<int Name=\"A\" Value=\"1\" />\r\n</Parameters>\r\n"));

    XmlWriter bare;
    bare.writeElement(L"Profile", false);
    bare.writeLineBreak();
    set.write(&bare, false, L"", false);
    bare.writeClosingTag(L"Profile");
    EXPECT_EQ(bare.getBuffer(), utf16le(L"<Profile>\r\n\t<int Name=\"A\" Value=\"1\" />\r\n</Profile>"));
}

TEST(PropertySetTest, NestedSetsWriteAsPropertiesElements) {
    CountedRef<PropertySet> inner(new PropertySet);
    inner->setInt("LifeTime", 500);
    PropertySet set;
    set.setProperties("ObjectsProperties", inner.get());
    set.add("Nothing", CountedRef<IPropertyData>(new CPropertyDataProperties()));  // no set: no element
    XmlWriter writer;
    set.write(&writer);
    const std::wstring expected =
        L"<Properties>\r\n"
        L"\t<properties Name=\"ObjectsProperties\">\r\n"
        L"\t\t<int Name=\"LifeTime\" Value=\"500\" />\r\n"
        L"\t</properties>\r\n"
        L"\r\n"
        L"</Properties>\r\n";
    EXPECT_EQ(writer.getBuffer(), utf16le(expected));
}

// ---------------------------------------------------------------------------
// Reading

TEST(PropertySetTest, WriteAndReadBackKeepsValuesAndOrder) {
    CountedRef<PropertySet> inner(new PropertySet);
    inner->setFloat("Speed", 1.25f);
    inner->setStringW("Label", L"\x4e2d & <b>");
    PropertySet set;
    set.addInt("TopItem", 3);
    PropertySet::addValue(&set, "Visible", false);
    set.addFloat("Alpha", -0.5f);
    set.addColor("Tint", SColor(0x80ff0000));
    set.add("Colorf", CountedRef<IPropertyData>(new CPropertyDataColorf(SColorf(0.25f, 0.5f, 0.75f, 1.0f))));
    set.addVector2d("Pos", vector2df(100, -2.5f));
    set.addVector3d("Pos3", vector3df(1, 2, 3));
    set.add("Bounds", CountedRef<IPropertyData>(new CPropertyDataRect(rectf(0, 0, 64, 32))));
    set.addString("File", "a\"b'<c>&d");
    set.setStringW("Text", L"caf\x00e9 \x4e2d\x6587");
    set.setProperties("Nested", inner.get());
    set.addInt("TopItem", 4);  // duplicates survive

    TempDir dir;
    const std::string path = dir.file("set.xml");
    {
        XmlWriter file(path.c_str());
        ASSERT_TRUE(set.write(&file, true));
        ASSERT_TRUE(file.close());
    }
    const std::string bytes = TempDir::read(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.find(std::string("\r\0\n\0", 4)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\t\0<\0", 4)), std::string::npos);
    EXPECT_NE(bytes.find(std::string(" \0/\0>\0", 6)), std::string::npos);

    XmlReader reader(path.c_str());
    ASSERT_TRUE(reader.isValid());
    ASSERT_EQ(nextElement(reader), L"Properties");
    PropertySet back;
    ASSERT_TRUE(back.read(&reader, true));
    EXPECT_EQ(entriesOf(back), entriesOf(set));
    ASSERT_EQ(back.getCount(), set.getCount());
    for (uint32_t i = 0; i < set.getCount(); ++i) {
        SCOPED_TRACE(str(set.getNameAt(i)));
        if (set.getDataAt(i)->getTypeId() == PROPERTY_PROPERTIES) continue;  // compared below
        EXPECT_TRUE(back.getDataAt(i)->equals(set.getDataAt(i).get()));
    }
    EXPECT_EQ(back.getInt("TopItem"), 4);
    EXPECT_EQ(back.find("Text")->toStringW(), stringw(L"caf\x00e9 \x4e2d\x6587"));
    auto* nested = dynamic_cast<CPropertyDataProperties*>(back.find("Nested").get());
    ASSERT_NE(nested, nullptr);
    ASSERT_NE(nested->getSet(), nullptr);
    EXPECT_EQ(entriesOf(*nested->getSet()), entriesOf(*inner));
    EXPECT_EQ(nested->getSet()->find("Label")->toStringW(), stringw(L"\x4e2d & <b>"));
    EXPECT_FALSE(reader.read());  // the whole document was consumed
}

TEST(PropertySetTest, BytesAbove127SurviveReadingAndSavingAgain) {
    // A hand-made 8-bit file: its bytes widen to 0xFF80..0xFFFF, and the
    // UTF-16 file written from it holds those units (not U+FFFD).
    const std::string doc = "<Properties><string Name=\"n\" Value=\"caf\xE9\"/>"
                            "<stringw Name=\"w\" Value=\"\xE9t\xE9\"/></Properties>";
    auto reader = readerAt(doc, L"Properties");
    PropertySet set;
    ASSERT_TRUE(set.read(reader.get(), true));
    EXPECT_EQ(str(set.getString("n")), "caf\xE9");
    EXPECT_EQ(set.getStringW("w"), stringw(L"\xFFE9t\xFFE9"));

    XmlWriter writer;
    ASSERT_TRUE(set.write(&writer));
    const std::string& bytes = writer.getBuffer();
    EXPECT_NE(bytes.find(utf16le(L"Value=\"caf\xFFE9\"", false)), std::string::npos);
    EXPECT_NE(bytes.find(utf16le(L"Value=\"\xFFE9t\xFFE9\"", false)), std::string::npos);
    EXPECT_EQ(bytes.find(utf16le(L"\xFFFD", false)), std::string::npos);

    auto again = readerAt(bytes, L"Properties");
    PropertySet back;
    ASSERT_TRUE(back.read(again.get(), true));
    EXPECT_EQ(str(back.getString("n")), "caf\xE9");
    EXPECT_EQ(back.getStringW("w"), stringw(L"\xFFE9t\xFFE9"));
}

TEST(PropertySetTest, ReadingStopsAtTheEndOfItsElement) {
    const std::string doc =
        "<Root><Properties><int Name=\"a\" Value=\"1\"/></Properties><int Name=\"outside\" Value=\"2\"/></Root>";
    auto reader = readerAt(doc, L"Properties");
    PropertySet set;
    ASSERT_TRUE(set.read(reader.get()));
    EXPECT_EQ(entriesOf(set), (Entries{{"a", "1"}}));
    EXPECT_EQ(reader->getNodeType(), irr::io::EXN_ELEMENT_END);
    EXPECT_EQ(nextElement(*reader), L"int");
    EXPECT_EQ(reader->getAttributeValue(L"Name"), stringw(L"outside"));
}

TEST(PropertySetTest, EmptyElementsGiveEmptySetsAndDoNotSwallowFollowers) {
    const std::string doc = "<Root><Properties/><After/></Root>";
    auto reader = readerAt(doc, L"Properties");
    PropertySet set;
    set.setInt("old", 1);
    EXPECT_TRUE(set.read(reader.get(), true));
    EXPECT_EQ(set.getCount(), 0u);
    EXPECT_EQ(nextElement(*reader), L"After");

    // Empty nested sets, and an empty unknown element that happens to carry
    // the set's own name, end neither the nested nor the outer set.
    const std::string nestedDoc =
        "<properties Name=\"outer\">"
        "<properties Name=\"inner\"/>"
        "<properties Name=\"Properties\"/>"
        "<properties Name=\"full\"><int Name=\"x\" Value=\"7\"/></properties>"
        "<int Name=\"after\" Value=\"3\"/>"
        "</properties>";
    const std::string doc2 = "<Properties>" + nestedDoc + "<Properties Name=\"odd\"/><int Name=\"last\" Value=\"9\"/></Properties><Tail/>";
    auto reader2 = readerAt(doc2, L"Properties");
    PropertySet outer;
    ASSERT_TRUE(outer.read(reader2.get(), true));
    EXPECT_EQ(entriesOf(outer), (Entries{{"outer", ""}, {"odd", "<none>"}, {"last", "9"}}));
    auto* value = dynamic_cast<CPropertyDataProperties*>(outer.find("outer").get());
    ASSERT_NE(value, nullptr);
    PropertySet* nested = value->getSet();
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(entriesOf(*nested), (Entries{{"inner", ""}, {"Properties", ""}, {"full", ""}, {"after", "3"}}));
    auto* full = dynamic_cast<CPropertyDataProperties*>(nested->find("full").get());
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->getSet()->getInt("x"), 7);
    auto* inner = dynamic_cast<CPropertyDataProperties*>(nested->find("inner").get());
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(inner->getSet(), nullptr);
    EXPECT_EQ(inner->getSet()->getCount(), 0u);
    EXPECT_EQ(nextElement(*reader2), L"Tail");
}

TEST(PropertySetTest, AnElementOfTheSetsNameNestedInsideDoesNotEndTheSet) {
    const std::string doc =
        "<Properties>"
        "<group Name=\"g\"><Properties><int Name=\"deep\" Value=\"1\"/></Properties></group>"
        "<int Name=\"after\" Value=\"2\"/>"
        "</Properties><Tail/>";
    auto reader = readerAt(doc, L"Properties");
    PropertySet set;
    ASSERT_TRUE(set.read(reader.get(), true));
    EXPECT_EQ(entriesOf(set), (Entries{{"g", "<none>"}, {"deep", "1"}, {"after", "2"}}));
    EXPECT_EQ(nextElement(*reader), L"Tail");
}

TEST(PropertySetTest, UnknownTypesAndNamelessElements) {
    const std::string doc =
        "<Properties>"
        "<widget Name=\"w\" Value=\"1\"/>"                      // unknown type: entry without value
        "<int Value=\"5\"/>"                                     // no name: dropped
        "<group Name=\"g\"><float Name=\"inside\" Value=\"2\"/></group>"  // children read as this set's values
        "<Int Name=\"case\" Value=\"3\"/>"                       // type names compare exactly
        "<properties><int Name=\"lost\" Value=\"4\"/></properties>"  // nameless compound consumes its children
        "</Properties>";
    auto reader = readerAt(doc, L"Properties");
    PropertySet set;
    ASSERT_TRUE(set.read(reader.get(), true));
    EXPECT_EQ(entriesOf(set), (Entries{{"w", "<none>"}, {"g", "<none>"}, {"inside", "2.000000"}, {"case", "<none>"}}));
    EXPECT_EQ(set.indexOf("w"), 0);
    EXPECT_FALSE(set.find("w"));

    XmlWriter writer;
    set.write(&writer);
    EXPECT_EQ(writer.getBuffer(),
              utf16le(L"<Properties>\r\n\t<float Name=\"inside\" Value=\"2.000000\" />\r\n</Properties>\r\n"));
}

TEST(PropertySetTest, NameCheckAndMissingReader) {
    const std::string doc = "<Parameters><int Name=\"a\" Value=\"1\"/></Parameters>";
    auto reader = readerAt(doc, L"Parameters");
    PropertySet set;
    set.setInt("old", 1);
    EXPECT_FALSE(set.read(reader.get(), true));
    EXPECT_EQ(set.getCount(), 0u);
    EXPECT_FALSE(set.read(nullptr));

    // Without the check the reader may stand on an enclosing element.
    const std::string profile =
        "<Profile Name=\"p\"><Parameters><int Name=\"a\" Value=\"1\"/><bool Name=\"b\" Value=\"true\"/></Parameters>"
        "<Next/></Profile>";
    auto atProfile = readerAt(profile, L"Profile");
    ASSERT_TRUE(set.read(atProfile.get(), false, L"Parameters"));
    EXPECT_EQ(entriesOf(set), (Entries{{"a", "1"}, {"b", "true"}}));
    EXPECT_EQ(nextElement(*atProfile), L"Next");

    auto named = readerAt(doc, L"Parameters");
    EXPECT_TRUE(set.read(named.get(), true, L"Parameters"));
    EXPECT_EQ(set.getInt("a"), 1);
}

TEST(PropertySetTest, ReadsAsciiFilesAuthoredByHand) {
    const std::string doc =
        "<?xml version=\"1.0\"?>\n<Properties>\n  <vector2d Name=\"Pos\" Value=\"(3, -4)\"/>\n"
        "  <color Name=\"Tint\" Value=\"FFFF0000\"/>\n  <bool Name=\"On\" Value=\"True\"/>\n</Properties>\n";
    auto reader = readerAt(doc, L"Properties");
    PropertySet set;
    ASSERT_TRUE(set.read(reader.get(), true));
    EXPECT_EQ(entriesOf(set),
              (Entries{{"Pos", "3.000000;-4.000000"}, {"Tint", "ffff0000"}, {"On", "false"}}));
}

// ---------------------------------------------------------------------------
// Nested set values

TEST(PropertySetTest, PropertiesValue) {
    CountedRef<PropertySet> set(new PropertySet);
    set->setInt("x", 1);
    CPropertyDataProperties a(set.get());
    EXPECT_EQ(set->getRefCount(), 2);
    CPropertyDataProperties b(set.get());
    CPropertyDataProperties none;
    EXPECT_TRUE(a.equals(&b));
    EXPECT_FALSE(a.equals(&none));
    EXPECT_TRUE(none.equals(&none));
    EXPECT_TRUE(a.toString().empty());
    EXPECT_TRUE(a.toStringW().empty());
    a.fromString("ignored");
    EXPECT_EQ(set->getInt("x"), 1);

    CPropertyDataProperties out;
    EXPECT_FALSE(a.interpolate(&b, &out, 1.0f, 0));
    EXPECT_EQ(out.getSet(), nullptr);

    CountedRef<IPropertyData> copy = a.clone();
    auto* copied = dynamic_cast<CPropertyDataProperties*>(copy.get());
    ASSERT_NE(copied->getSet(), nullptr);
    EXPECT_NE(copied->getSet(), set.get());
    EXPECT_FALSE(copied->equals(&a));
    EXPECT_EQ(dynamic_cast<CPropertyDataProperties*>(none.clone().get())->getSet(), nullptr);

    XmlWriter writer;
    none.writeToXml(&writer, "n");
    EXPECT_TRUE(writer.getBuffer().empty());

    // A value with no set makes one when read.
    const std::string doc = "<properties Name=\"n\"><int Name=\"y\" Value=\"2\"/></properties>";
    auto reader = readerAt(doc, L"properties");
    none.readFromXml(reader.get());
    ASSERT_NE(none.getSet(), nullptr);
    EXPECT_EQ(none.getSet()->getInt("y"), 2);

    none.setSet(nullptr);
    EXPECT_EQ(none.getSet(), nullptr);
    a.setSet(nullptr);
    b.setSet(nullptr);
    EXPECT_EQ(set->getRefCount(), 1);
}

// ---------------------------------------------------------------------------
// Registry

TEST(PropertyDataRegistryTest, CreatesRegisteredTypesOnly) {
    PropertyDataRegistry& registry = getPropertyDataRegistry();
    EXPECT_EQ(&registry, &getPropertyDataRegistry());
    const std::pair<const wchar_t*, int32_t> known[] = {
        {L"bool", 2},     {L"int", 1},      {L"float", 3}, {L"color", 4},   {L"colorf", 5},  {L"vector2d", 6},
        {L"vector3d", 7}, {L"rect", 8},     {L"string", 9}, {L"stringw", 10}, {L"properties", 12},
    };
    for (const auto& [name, id] : known) {
        SCOPED_TRACE(str(narrow(name)));
        CountedRef<IPropertyData> v = registry.create(name, nullptr);
        ASSERT_TRUE(v);
        EXPECT_EQ(v->getTypeId(), id);
        EXPECT_EQ(v->getRefCount(), 1);
        EXPECT_EQ(v->getTypeName(), stringw(name));
    }
    EXPECT_FALSE(registry.create(L"Int", nullptr));
    EXPECT_FALSE(registry.create(L"none", nullptr));
    EXPECT_FALSE(registry.create(L"", nullptr));
}

TEST(PropertyDataRegistryTest, FirstRegistrationWins) {
    PropertyDataRegistry registry;
    const PropertyDataRegistry::Creator other = [](IContentManager*) -> IPropertyData* {
        return new CPropertyDataString("replacement");
    };
    EXPECT_FALSE(registry.registerType(L"int", other));
    EXPECT_EQ(registry.create(L"int", nullptr)->getTypeId(), PROPERTY_INT);
    EXPECT_TRUE(registry.registerType(L"custom", other));
    EXPECT_EQ(str(registry.create(L"custom", nullptr)->toString()), "replacement");
    EXPECT_FALSE(registry.registerType(L"nothing", nullptr));
    EXPECT_FALSE(registry.create(L"nothing", nullptr));
}
