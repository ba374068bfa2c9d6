#pragma once
// The sprites-and-text scene that the pixel tests draw, once with the quad
// batcher driven by hand (visual tests) and once through the engine device and
// its scene manager (platform tests): sprites from an atlas made by the atlas
// packer, a nine-grid panel, and a wrapped, right-aligned, localised text in a
// font made by the font builder. Its files, and the pixels a frame of it must
// show in a window of at least 256 x 256 cleared to black.
#include "engine/platform/Image.h"
#include "engine/platform/ImagePixels.h"
#include "support/TempDir.h"
#include "tools/atlaspack/AtlasPacker.h"
#include "tools/fontbuild/FontBuilder.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

namespace scene_draw {

// The font the text is built from (fonts-dejavu-core); tests skip without it.
inline const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

constexpr uint32_t RED = 0xFFFF0000u;
constexpr uint32_t GREEN = 0xFF00FF00u;
constexpr uint32_t BLUE = 0xFF0000FFu;
constexpr uint32_t YELLOW = 0xFFFFFF00u;
constexpr uint32_t CYAN = 0xFF00FFFFu;
constexpr uint32_t MAGENTA = 0xFFFF00FFu;
constexpr uint32_t BLACK = 0xFF000000u;

// The text node's box: from (10, 140), 100 wide.
constexpr int kTextLeft = 10, kTextTop = 140, kTextRight = 110;

// Sprites: natural size with trimmed margins, stretched, flipped, pivoted,
// clipped; a nine-grid panel with one sprite in front of it (z 1) and one
// behind it (z -1, listed after it); a text node on top. The root is a scene,
// so that a scene manager can open the file; named nodes are checked.
inline const char* const kScene = R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode">
  <Properties>
    <string Name="Name" Value="SpritesAndText"/>
    <vector3d Name="Bounds" Value="256;256;0"/>
  </Properties>
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="natural"/>
      <vector3d Name="Position" Value="10;10;0"/>
      <atlasTexture Name="AtlasTexture" Value="ui/red.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="40;10;0"/>
      <vector3d Name="Bounds" Value="64;32;0"/>
      <int Name="ImageStretchX" Value="1"/>
      <int Name="ImageStretchY" Value="1"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="120;10;0"/>
      <bool Name="FlipX" Value="true"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="pivoted"/>
      <vector3d Name="Position" Value="160;30;0"/>
      <vector2d Name="ImagePivotPoint" Value="8;8"/>
      <atlasTexture Name="AtlasTexture" Value="ui/red.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="190;10;0"/>
      <vector3d Name="Bounds" Value="8;8;0"/>
      <int Name="ImageStretchX" Value="3"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="NineGridSpriteNode">
    <Properties>
      <vector3d Name="Position" Value="10;60;0"/>
      <vector3d Name="Bounds" Value="120;60;0"/>
      <atlasTexture Name="AtlasTexture" Value="ui/panel.png"/>
    </Properties>
    <SceneNode Type="SpriteNode">
      <Properties>
        <vector3d Name="Position" Value="30;20;1"/>
        <atlasTexture Name="AtlasTexture" Value="ui/red.png"/>
      </Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="90;80;-1"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="TextNode">
    <Properties>
      <string Name="Name" Value="text"/>
      <vector3d Name="Position" Value="10;140;2"/>
      <vector3d Name="Bounds" Value="100;80;0"/>
      <float Name="FontSize" Value="20"/>
      <int Name="TextHAlign" Value="3"/>
      <bool Name="WordWrap" Value="true"/>
      <font Name="Font" Value="fonts/Sans.ofnt"/>
      <stringw Name="Text" Value="%GREETING%"/>
    </Properties>
  </SceneNode>
</SceneNode>
)";

inline std::string rgb(uint32_t argb) {
    return std::to_string((argb >> 16) & 0xFF) + "," + std::to_string((argb >> 8) & 0xFF) + "," +
           std::to_string(argb & 0xFF);
}

// Each colour channel within the tolerance.
inline bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {16, 8, 0}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

// An A8R8G8B8 image of the size whose pixel (x, y) is colour(x, y).
template <class ColourOf>
engine::CountedRef<engine::Image> makeImage(uint32_t width, uint32_t height, ColourOf colour) {
    engine::CountedRef<engine::Image> made(
        new engine::Image(engine::CreationContext(), engine::CF_A8R8G8B8, engine::dimension2du(width, height)));
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            engine::writePixel(made->getData() + y * made->getPitch() + x * 4, engine::CF_A8R8G8B8, colour(x, y));
    return made;
}

// Writes into the folder the atlas "ui.xml" with its sheets (packed from
// three images), the font "fonts/Sans.ofnt" (built at 20 pixels by the
// builder, which keeps its sheets for comparisons), "strings/Dictionary.xml"
// (GREETING is "Hello world") and the scene "scene.oscn". Load the atlas
// before the scene, so that its entries are in the cache when the scene
// names them. Check HasFatalFailure() after the call.
inline void writeSceneDrawContent(const testing_support::TempDir& dir, fontbuild::FontBuilder& builder) {
    atlaspack::AtlasPacker packer;
    packer.addImage("ui/red.png", makeImage(16, 16, [](uint32_t x, uint32_t y) {
                        return x >= 3 && x < 13 && y >= 3 && y < 13 ? RED : 0x00000000u;
                    }).get());
    packer.addImage("ui/arrow.png", makeImage(16, 8, [](uint32_t x, uint32_t) { return x < 8 ? GREEN : BLUE; }).get());
    packer.addImage("ui/panel.png", makeImage(30, 30, [](uint32_t x, uint32_t y) {
                        const int column = x < 10 ? 0 : x < 20 ? 1 : 2;
                        const int row = y < 10 ? 0 : y < 20 ? 1 : 2;
                        if (column != 1 && row != 1) return YELLOW;
                        return column == 1 && row == 1 ? MAGENTA : CYAN;
                    }).get());
    ASSERT_TRUE(packer.pack()) << packer.error();
    ASSERT_TRUE(packer.write(dir.file("ui.xml"))) << packer.error();

    fontbuild::FontBuildOptions options;
    options.fontPath = kSans;
    options.pixelSize = 20;
    ASSERT_TRUE(builder.render(options)) << builder.error();
    ASSERT_TRUE(builder.write(dir.file("fonts/Sans.ofnt"))) << builder.error();

    dir.write("strings/Dictionary.xml",
              "<?xml version=\"1.0\"?>\n<Dictionary>\n  <s n=\"GREETING\">Hello world</s>\n</Dictionary>\n");
    dir.write("scene.oscn", kScene);
}

using PixelReader = std::function<uint32_t(uint32_t x, uint32_t y)>;

// The sprites and the panel where their properties put them.
inline void expectSpritesAndPanel(const PixelReader& pixel) {
    struct Check {
        const char* what;
        uint32_t x, y;
        uint32_t colour;
    };
    const Check checks[] = {
        // Natural size: the 10 x 10 red square keeps its 3-pixel trimmed margin.
        {"natural inside", 18, 18, RED},         {"natural first pixel", 13, 13, RED},
        {"natural last pixel", 22, 22, RED},     {"natural trimmed margin", 11, 11, BLACK},
        {"natural right of it", 24, 18, BLACK},
        // Stretched to 64 x 32: green left half, blue right half.
        {"stretched left", 50, 26, GREEN},       {"stretched right", 95, 26, BLUE},
        {"stretched low", 60, 36, GREEN},        {"below stretched", 60, 43, BLACK},
        // Flipped: the blue half comes first.
        {"flipped left", 123, 14, BLUE},         {"flipped right", 133, 14, GREEN},
        // The pivot (8, 8) of the 16 x 16 frame lies on (160, 30).
        {"pivoted first pixel", 155, 25, RED},   {"pivoted last pixel", 164, 34, RED},
        {"left of pivoted", 153, 30, BLACK},     {"right of pivoted", 166, 30, BLACK},
        // Clipped to 8 pixels: only the green half.
        {"clipped", 194, 14, GREEN},             {"cut off", 200, 14, BLACK},
        // The nine-grid over (10, 60) - (130, 120): corners keep 10 pixels.
        {"panel top-left", 15, 65, YELLOW},      {"panel top edge", 70, 65, CYAN},
        {"panel left edge", 15, 100, CYAN},      {"panel centre", 70, 100, MAGENTA},
        {"panel right edge", 125, 90, CYAN},     {"panel bottom-right", 125, 115, YELLOW},
        {"right of panel", 133, 90, BLACK},
        // Depth order: the child at z 1 is in front, the sprite at z -1 behind.
        {"sprite in front", 48, 88, RED},        {"sprite behind", 95, 84, MAGENTA},
    };
    for (const Check& c : checks)
        EXPECT_TRUE(near(pixel(c.x, c.y), c.colour, 2))
            << c.what << " at " << c.x << ", " << c.y << ": " << rgb(pixel(c.x, c.y)) << " instead of " << rgb(c.colour);
}

// The text's two lines ("Hello", "world") each end at the right edge of the
// text box, and there is no ink below them (ink: red above 64, white text
// over black).
inline void expectTextLinesRightAligned(const PixelReader& pixel, float lineHeight) {
    const auto ink = [&](uint32_t x, uint32_t y) { return ((pixel(x, y) >> 16) & 0xFF) > 64; };
    for (uint32_t line = 0; line < 2; ++line) {
        SCOPED_TRACE(line);
        const uint32_t top = kTextTop + static_cast<uint32_t>(line * lineHeight);
        const uint32_t bottom = kTextTop + static_cast<uint32_t>((line + 1) * lineHeight);
        int leftmost = 256, rightmost = -1;
        for (uint32_t y = top; y < bottom; ++y)
            for (uint32_t x = 0; x < 256; ++x)
                if (ink(x, y)) {
                    leftmost = std::min(leftmost, static_cast<int>(x));
                    rightmost = std::max(rightmost, static_cast<int>(x));
                }
        ASSERT_GE(rightmost, 0) << "no ink";
        EXPECT_GE(rightmost, kTextRight - 5);
        EXPECT_LT(rightmost, kTextRight);
        EXPECT_GT(leftmost, kTextLeft + 5);
    }
    for (uint32_t y = kTextTop + static_cast<uint32_t>(2 * lineHeight); y < 230; ++y)
        for (uint32_t x = 0; x < 256; ++x) ASSERT_FALSE(ink(x, y)) << "ink below the text at " << x << ", " << y;
}

}  // namespace scene_draw
