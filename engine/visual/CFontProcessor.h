#pragma once
// Fonts ('font') from font files: the first "Font" element of "Type" "Bitmap"
// becomes a BitmapFont, read with the file on the folder stack so that its
// texture paths resolve against the file's folder. Fonts are not saved.
#include "engine/content/IContentProcessor.h"

namespace engine {

class CFontProcessor : public IContentProcessor {
public:
    ContentTypeCode getContentType() const override { return ContentType::Font; }
    // "Loaded font" with the file's name, also when the file holds no bitmap
    // font (the result is null then). A truncated font is refused: null, with
    // the error logged by the font.
    Content* load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) override;
    bool save(CContentManager*, Content*, irr::io::IWriteFile*, int32_t) override { return false; }
    void onCachedContentEvent(Event*, ContentCacheMap&) override {}
};

}  // namespace engine
