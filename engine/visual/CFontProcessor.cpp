#include "engine/visual/CFontProcessor.h"
#include "engine/content/CContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/XmlReader.h"
#include "engine/visual/BitmapFont.h"

namespace engine {

Content* CFontProcessor::load(CContentManager* manager, irr::io::IReadFile* file, const CreationContext* context) {
    if (!file) return nullptr;
    const stringc fileName(file->getFileName().c_str());
    CountedRef<XmlReader> reader(new XmlReader(file));
    if (!reader->isValid()) return nullptr;
    CountedRef<BitmapFont> font;
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader->getNodeName() == L"Font") break;
        if (type != irr::io::EXN_ELEMENT || reader->getNodeName() != L"Font") continue;
        if (reader->getAttributeValue(L"Type") != L"Bitmap") {
            // Passed over: the end of an empty font of another type is no end
            // tag of the file, and the search goes on after it.
            reader->finishEmptyElement();
            continue;
        }
        font.reset(new BitmapFont(context ? *context : CreationContext(manager, fileName)));
        FolderScope folder(manager, fileName);
        // An empty element has its end ahead; the font reads from there.
        if (!font->readXml(*reader)) return nullptr;
        break;
    }
    getLogger().log("Loaded font", fileName.c_str(), LOG_DEBUG);
    return font.detach();
}

}  // namespace engine
