// The atlas texture and font values when they hold nothing or have no content
// manager. Loading content through them is covered by the atlas and font tests.
#include "support/TextBytes.h"

#include "engine/core/XmlWriter.h"
#include "engine/visual/PropertyDataVisual.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;

// Values that hold no content write an empty path, and without a content
// manager text cannot become content.
TEST(PropertyDataVisualTest, EmptyContentValuesWriteEmptyPathsAndCannotLoad) {
    CPropertyDataFont font;
    CPropertyDataAtlasTexture texture;
    for (IPropertyData* value : {static_cast<IPropertyData*>(&font), static_cast<IPropertyData*>(&texture)}) {
        value->fromString("fonts/any.ofnt");
        EXPECT_TRUE(value->toString().empty());
        XmlWriter writer;
        value->writeToXml(&writer, "Name");
        EXPECT_EQ(writer.getBuffer(), testing_support::utf16le(L"<" + std::wstring(value->getTypeName().c_str()) +
                                                               L" Name=\"Name\" Value=\"\" />"));
        CountedRef<IPropertyData> copy = value->clone();
        EXPECT_TRUE(copy->equals(value));
    }
    EXPECT_EQ(font.getFont(), nullptr);
    EXPECT_EQ(texture.getTexture(), nullptr);

    CPropertyDataFont out;
    EXPECT_FALSE(font.interpolate(&font, &out, 1.0f, 0));
    CPropertyDataAtlasTexture atlasOut;
    EXPECT_FALSE(texture.interpolate(&texture, &atlasOut, 0.5f, 0));
    texture.prepareInterpolation(&texture);
    EXPECT_EQ(texture.getFrameCacheSize(), 0u);
    // A value of another type is neither end nor output.
    CPropertyDataInt other(1);
    EXPECT_FALSE(font.interpolate(&other, &out, 1.0f, 0));
    EXPECT_FALSE(texture.interpolate(&texture, &other, 1.0f, 0));
    EXPECT_FALSE(font.equals(&other));
}
