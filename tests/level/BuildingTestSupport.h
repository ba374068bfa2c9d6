#pragma once
// The small headless level with the overlay templates a building binds
// (smile, workers, feature icons, phone and price tag with dials, condition
// icons, serve area) and building templates with stars and a body, for the
// building node tests.
#include "engine/core/EventIds.h"
#include "engine/visual/TextNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "level/LevelSceneFixture.h"

#include <string>

namespace building_test {

// A text node's text, a byte a character ("" without a node).
inline std::string textOf(const engine::TextNode* text) {
    std::string out;
    if (!text) return out;
    const engine::stringw& w = text->getText();
    for (uint32_t i = 0; i < w.size(); ++i) out += static_cast<char>(w[i]);
    return out;
}

inline std::string node(const char* type, const char* name, const std::string& extra = std::string(),
                        const std::string& children = std::string()) {
    return std::string("<SceneNode Type=\"") + type + "\"><Properties><string Name=\"Name\" Value=\"" + name +
           "\"/>" + extra + "</Properties>" + children + "</SceneNode>\n";
}

inline std::string at(float x, float y) {
    return "<vector3d Name=\"Position\" Value=\"" + std::to_string(x) + ";" + std::to_string(y) + ";0\"/>";
}

// A timer dial: a free first child, the sector, the hand.
inline std::string dial() {
    return node("BaseNode", "Progress", "",
                node("BaseNode", "Back") + node("GEllipseSectorNode", "Sector") + node("SpriteNode", "Hand"));
}

// A building look: selector, three stars and a body sprite.
inline std::string buildingTemplate(const char* name) {
    return node("BaseNode", name, "",
                node("BaseNode", "Selector") +
                    node("BaseNode", "StarIcons", at(0, -10),
                         node("SpriteNode", "Star1", at(0, 0)) + node("SpriteNode", "Star2", at(20, 0)) +
                             node("SpriteNode", "Star3", at(40, 0))) +
                    node("SpriteNode", "Body") + node("SpriteNode", "Roof"));
}

inline std::string overlayTemplates() {
    const std::string featureIcon = node("SpriteNode", "Frame") + node("SpriteNode", "Fill");
    return node("TextNode", "SmileIcon", at(10, -30), node("SpriteNode", "Face")) +
           node("TextNode", "WorkersText", at(70, -30)) + node("BaseNode", "Feature1Icon", at(0, -60), featureIcon) +
           node("BaseNode", "Feature2Icon", at(40, -60), featureIcon) + node("BaseNode", "PhoneIcon", "", dial()) +
           node("BaseNode", "ForSaleNode", "", node("TextNode", "PriceText") + dial() + node("BaseNode", "Bg")) +
           node("BaseNode", "RepairIcon") + node("BaseNode", "DirtyIcon") + node("SpriteNode", "ServeArea") +
           node("BaseNode", "MoneyBurst") + buildingTemplate("BuildingPlace") + buildingTemplate("Hotel1") +
           buildingTemplate("Hotel2") + buildingTemplate("Garden");
}

// The small content with the overlay and building templates added.
inline testing_support::SmallContent contentWithOverlays() {
    testing_support::SmallContent content;
    const std::string end = "</SceneNode>\n";
    content.templates.insert(content.templates.rfind(end), overlayTemplates());
    return content;
}

class BuildingTest : public level_test::SmallLevelTest {
protected:
    void startWithOverlays(const std::string& levelProperties = std::string()) {
        testing_support::SmallContent content = contentWithOverlays();
        if (!levelProperties.empty()) {
            content.configuration = level_test::levelConfiguration(
                "<int Name=\"DayLength\" Value=\"60\"/><float Name=\"InitMoney\" Value=\"100000\"/>"
                "<float Name=\"InitMaterialsCount\" Value=\"500\"/><int Name=\"InitWorkersCount\" Value=\"10\"/>" +
                    levelProperties,
                "<Objective Type=\"Money\" Value=\"1000000000\"/>");
        }
        start(content);
    }

    // A record of its own (not from the level's configuration).
    static engine::CountedRef<game::GBuildingConfig> makeRecord(const char* name, int32_t level, int32_t type) {
        engine::CountedRef<game::GBuildingConfig> record(new game::GBuildingConfig());
        record->Name = engine::makeNameId(name);
        record->Level = level;
        record->Type = type;
        return record;
    }

    static game::GActiveFeatureConfig feature(int32_t duration, int32_t recharge, const char* effect = nullptr) {
        game::GActiveFeatureConfig f;
        f.durationTime = duration;
        f.rechargeTime = recharge;
        if (effect) f.features.push_back(engine::makeNameId(effect));
        return f;
    }

    int32_t count(int32_t typeId) const { return level.count(static_cast<uint32_t>(typeId)); }
};

}  // namespace building_test
