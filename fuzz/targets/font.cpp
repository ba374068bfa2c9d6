// Bitmap font files through the content manager's font processor; the font
// read then measures a text of every character it might hold.
#include "engine/visual/Font.h"
#include "fuzz/support/FuzzSupport.h"

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountedRef<Content> content = fuzz::ContentHarness::instance().load(ContentType::Font, data, size, "input.ofnt");
    auto* font = dynamic_cast<BaseFont*>(content.get());
    if (!font) return 0;
    stringw text;
    for (wchar_t c = 1; c < 300; ++c) text.append(c);
    text.append(L"\r\nA\nB\r");
    font->getTextDimension(text, vector2df(1.0f, 1.0f));
    for (wchar_t c = 0; c < 300; c += 7) font->getCharacterSize(c, c % 2 == 0);
    return 0;
}
