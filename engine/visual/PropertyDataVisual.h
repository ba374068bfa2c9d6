#pragma once
// Property values that hold visual content the content manager loads by path:
// an atlas texture and a font.
//
// A content value turns text into content through the content manager it
// recorded: the registry's constructor takes the manager of the set being
// read; the constructor from content, and every later assignment of content,
// take the manager of that content's creation context. Writing gives the
// content's path back, relative to the top of that manager's folder stack, so
// a scene file names its textures and fonts as plain paths.
//
// The atlas-texture value also animates: between two frames of a numbered
// sequence ("fx/spark_0002.png" to "fx/spark_0010.png") it steps through the
// frames in between.
#include "engine/core/PropertyDataContent.h"
#include "engine/visual/Font.h"
#include <vector>

namespace engine {

class AtlasTextureContent;
class BaseFont;
class IContentManager;

// "atlasTexture" (type id 13): an atlas texture, held with one reference.
class CPropertyDataAtlasTexture : public IPropertyData {
public:
    explicit CPropertyDataAtlasTexture(IContentManager* contentManager = nullptr);
    // Takes a reference; the content manager is the texture's.
    explicit CPropertyDataAtlasTexture(AtlasTextureContent* texture);
    ~CPropertyDataAtlasTexture() override;

    AtlasTextureContent* getTexture() const;
    // Holds the texture (one reference); a texture brings its content manager
    // along, null keeps the recorded one.
    void setTexture(AtlasTextureContent* texture);
    IContentManager* getContentManager() const { return contentManager_; }
    // The frames cached by prepareInterpolation; entries may be null.
    uint32_t getFrameCacheSize() const { return static_cast<uint32_t>(frameCache_.size()); }
    AtlasTextureContent* getCachedFrame(uint32_t index) const;

    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_ATLAS_TEXTURE; }
    // The same texture, content manager and cached frames.
    CountedRef<IPropertyData> clone() const override;
    // The texture's path; empty without a texture.
    stringc toString() const override;
    // Loads the path as 'atex', relative to the top of the folder stack. Empty
    // text, or no content manager, keeps the texture; a failed load leaves none.
    void fromString(const stringc& text) override;
    // The same texture object.
    bool equals(const IPropertyData* other) const override;
    // At t of 1 or more: the end's texture. Below, between two numbered frames
    // a and b: frame a + trunc(t x (b - a)), from the frame cache or loaded by
    // name (prefix, four-digit frame, suffix); otherwise this value's texture.
    // True when the output's texture changed.
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;
    // Loads the frames from this texture's frame to the next key's, in order.
    void prepareInterpolation(const IPropertyData* next) override;

private:
    std::vector<CountedRef<AtlasTextureContent>> frameCache_;
    CountedRef<AtlasTextureContent> texture_;
    IContentManager* contentManager_;
};

// "font" (type id 14): a font, held with one reference, written as its path.
class CPropertyDataFont : public CPropertyDataContent<CPropertyDataFont, BaseFont> {
public:
    using CPropertyDataContent::CPropertyDataContent;
    static constexpr int32_t kTypeId = PROPERTY_FONT;
    static constexpr ContentTypeCode kContentType = ContentType::Font;
    static const wchar_t* typeName() { return L"font"; }
    static const wchar_t* className() { return L"CPropertyDataFont"; }

    BaseFont* getFont() const { return getContent(); }
    void setFont(BaseFont* font) { setContent(font); }
};

// A new atlas-texture value holding the texture.
CountedRef<CPropertyDataAtlasTexture> makeAtlasTextureData(AtlasTextureContent* texture);

// The texture or font a value holds; null for a missing value or one of
// another class.
AtlasTextureContent* atlasTextureFromProperty(const CountedRef<IPropertyData>& data);
BaseFont* fontFromProperty(const CountedRef<IPropertyData>& data);

}  // namespace engine
