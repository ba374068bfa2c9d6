// Compound property values without content: string arrays and nested sets.
// The values that hold content are covered by the tests of their parts.
#include "engine/core/PropertyDataCompound.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/PropertySet.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;

namespace {

// The UTF-16 output of a memory writer as wide text (BOM dropped).
std::wstring textOf(const XmlWriter& writer) {
    const std::string& bytes = writer.getBuffer();
    std::wstring out;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return out;
}

CountedRef<XmlReader> readerAt(const std::string& bytes, const wchar_t* element) {
    CountedRef<XmlReader> r(new XmlReader(bytes.data(), bytes.size()));
    while (r->read())
        if (r->getNodeType() == irr::io::EXN_ELEMENT && r->getNodeName() == element) break;
    return r;
}

array<stringw> strings(std::initializer_list<const wchar_t*> items) {
    array<stringw> out;
    for (const wchar_t* s : items) out.push_back(s);
    return out;
}

}  // namespace

TEST(PropertyDataCompoundTest, StringArrayWritesOneChildPerString) {
    CPropertyDataStringWArray value(strings({L"a", L"b & <c>"}));
    XmlWriter writer;
    value.writeToXml(&writer, "Strings");
    EXPECT_EQ(textOf(writer),
              L"<stringwArray Name=\"Strings\">\r\n"
              L"\t<stringw Value=\"a\" />\r\n"
              L"\t<stringw Value=\"b &amp; &lt;c&gt;\" />\r\n"
              L"</stringwArray>");
    EXPECT_TRUE(value.toString().empty());
    EXPECT_TRUE(value.toStringW().empty());
    value.fromString("ignored");
    EXPECT_EQ(value.value.size(), 2u);
}

// Through a property set, as scene files carry them.
TEST(PropertyDataCompoundTest, StringArrayRoundTripsThroughAPropertySet) {
    CountedRef<PropertySet> set(new PropertySet());
    set->add("Strings", CountedRef<IPropertyData>(new CPropertyDataStringWArray(strings({L"a", L"b"}))));
    set->addInt("After", 3);
    XmlWriter writer;
    ASSERT_TRUE(set->write(&writer));

    const std::string& bytes = writer.getBuffer();
    CountedRef<XmlReader> reader = readerAt(bytes, L"Properties");
    CountedRef<PropertySet> back(new PropertySet());
    ASSERT_TRUE(back->read(reader.get(), true));
    ASSERT_EQ(back->getCount(), 2u);
    CountedRef<IPropertyData> read = back->find("Strings");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->getTypeId(), PROPERTY_STRINGW_ARRAY);
    EXPECT_TRUE(read->equals(set->find("Strings").get()));
    EXPECT_EQ(back->getInt("After"), 3);

    CPropertyDataStringWArray one(strings({L"a"}));
    CPropertyDataStringWArray other(strings({L"a", L"c"}));
    EXPECT_FALSE(read->equals(&one));
    EXPECT_FALSE(read->equals(&other));
    CPropertyDataString notAnArray("a");
    EXPECT_FALSE(one.equals(&notAnArray));
}

TEST(PropertyDataCompoundTest, StringArrayReadingTakesFirstAttributesAndSkipsOtherElements) {
    const struct {
        const char* name;
        std::string xml;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"empty element", "<stringwArray Name=\"S\"/><stringw Value=\"outside\"/>", {}},
        {"other elements skipped",
         "<stringwArray Name=\"S\"><stringw Value=\"x\"/><int Value=\"5\"/><stringw Text=\"by position\"/>"
         "<stringw/></stringwArray><stringw Value=\"after\"/>",
         {L"x", L"by position", L""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPropertyDataStringWArray value(strings({L"old"}));
        CountedRef<XmlReader> reader = readerAt(c.xml, L"stringwArray");
        value.readFromXml(reader.get());
        ASSERT_EQ(value.value.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(std::wstring(value.value[i].c_str()), c.expected[i]);
    }
}

TEST(PropertyDataCompoundTest, StringArrayInterpolatesAtTheEndOnlyAndClonesApart) {
    CPropertyDataStringWArray start(strings({L"a"}));
    CPropertyDataStringWArray end(strings({L"x", L"y"}));
    CPropertyDataStringWArray out(strings({L"untouched"}));
    const CPropertyDataStringWArray untouched(strings({L"untouched"}));
    EXPECT_FALSE(start.interpolate(&end, &out, 0.99f, 0));
    EXPECT_TRUE(out.equals(&untouched));
    EXPECT_TRUE(start.interpolate(&end, &out, 1.0f, 0));
    EXPECT_TRUE(out.equals(&end));

    CountedRef<IPropertyData> copy = end.clone();
    static_cast<CPropertyDataStringWArray*>(copy.get())->value[0] = L"changed";
    EXPECT_EQ(std::wstring(end.value[0].c_str()), L"x");
}

TEST(PropertyDataCompoundTest, NestedSetCloneIsIndependent) {
    CountedRef<PropertySet> set(new PropertySet());
    set->setInt("n", 1);
    CPropertyDataProperties value(set.get());
    CountedRef<IPropertyData> copy = value.clone();
    static_cast<CPropertyDataProperties*>(copy.get())->getSet()->setInt("n", 2);
    EXPECT_EQ(set->getInt("n"), 1);
}

TEST(PropertyDataCompoundTest, RegistryMakesTheCompoundTypes) {
    CountedRef<IPropertyData> value = getPropertyDataRegistry().create(L"stringwArray", nullptr);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->getTypeId(), PROPERTY_STRINGW_ARRAY);
    EXPECT_TRUE(value->isOfType(PROPERTY_STRINGW_ARRAY));
    EXPECT_TRUE(value->isOfType(0));
    EXPECT_EQ(value->getTypeName(), stringw(L"stringwArray"));
    EXPECT_EQ(value->getClassName(), stringw(L"CPropertyDataStringWArray"));
    EXPECT_TRUE(value->toString().empty());
}

