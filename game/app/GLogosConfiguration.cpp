#include "game/app/GLogosConfiguration.h"
#include "engine/core/PropertyData.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"

namespace game {

using namespace engine;

void GLogosConfiguration::read(XmlReader& reader) {
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        const stringw& name = reader.getNodeName();
        if (type == irr::io::EXN_ELEMENT_END && name == L"Logos") break;
        if (type != irr::io::EXN_ELEMENT) continue;
        if (name == L"Logo") {
            LogoEntry entry;
            entry.image = narrow(reader.getAttributeValue(L"Image"));
            entry.timeMs = reader.getAttributeValueAsInt(L"Time", 0);
            entry.skippable = reader.getAttributeValue(L"Skippable") == L"true";
            logos.push_back(entry);
        } else if (name == L"MMLogo") {
            MenuLogoEntry entry;
            entry.image = narrow(reader.getAttributeValue(L"Image"));
            entry.position = parseVector2d(reader.getAttributeValue(L"Pos"));
            entry.url = narrow(reader.getAttributeValue(L"URL"));
            menuLogos.push_back(entry);
        }
    }
}

}  // namespace game
