#include "tools/contentcheck/DataCoverage.h"

#include "engine/core/XmlReader.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelModifiers.h"
#include "game/config/LevelObjectives.h"
#include "game/config/RandomEvents.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace contentcheck {

namespace {

// One element of a file: its depth, name and attributes (narrowed).
struct Element {
    int depth = 0;
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string attribute(const char* key) const {
        const auto it = attributes.find(key);
        return it == attributes.end() ? std::string() : it->second;
    }
};

std::string narrow(const engine::stringw& text) {
    std::string out;
    for (uint32_t i = 0; i < text.size(); ++i) out += static_cast<char>(text[i] < 128 ? text[i] : '?');
    return out;
}

// The elements of the file in document order; false when it cannot be read.
bool readElements(const fs::path& path, std::vector<Element>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    engine::CountedRef<engine::XmlReader> reader(new engine::XmlReader(text.data(), text.size(), path.string().c_str()));
    if (!reader->isValid()) return false;
    int depth = 0;
    while (reader->read()) {
        if (reader->getNodeType() == irr::io::EXN_ELEMENT) {
            Element element;
            element.depth = depth;
            element.name = narrow(reader->getNodeName());
            for (int32_t i = 0; i < static_cast<int32_t>(reader->getAttributeCount()); ++i) {
                element.attributes[narrow(reader->getAttributeName(i))] = narrow(reader->getAttributeValue(i));
            }
            out.push_back(element);
            ++depth;  // every start, empty ones too, gets its end node
        } else if (reader->getNodeType() == irr::io::EXN_ELEMENT_END) {
            --depth;
        }
    }
    return true;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> out;
    std::string piece;
    for (char c : text + ";") {
        if (c == ';' || c == ',') {
            piece.erase(0, piece.find_first_not_of(' '));
            piece.erase(piece.find_last_not_of(' ') + 1);
            if (!piece.empty()) out.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    return out;
}

// What a building record brings into a level that uses it.
struct Record {
    int type = 0;
    int service = 0;
    std::set<std::string> features;
    std::set<std::string> modifiers;
};

struct Upgrade {
    int level = 0;
    std::vector<std::string> allows;
    std::set<std::string> modifiers;
};

// The value of a typed property element (<int Name="Type" Value="3"/>).
bool propertyValue(const Element& e, const char* name, std::string& value) {
    if (e.attribute("Name") != name) return false;
    value = e.attribute("Value");
    return true;
}

std::map<std::string, Record> readRecords(const std::vector<Element>& elements) {
    std::map<std::string, Record> records;
    Record current;
    std::string name;
    int buildingDepth = -1;
    for (const Element& e : elements) {
        if (e.name == "Building") {
            if (buildingDepth >= 0 && !name.empty()) records[name] = current;
            current = Record();
            name.clear();
            buildingDepth = e.depth;
            continue;
        }
        if (buildingDepth < 0 || e.depth <= buildingDepth) continue;
        std::string value;
        if (propertyValue(e, "Name", value) && e.name == "string") name = value;
        if (propertyValue(e, "Type", value) && e.name == "int") current.type = std::atoi(value.c_str());
        if (propertyValue(e, "ProvidedService", value)) current.service = std::atoi(value.c_str());
        if (e.name == "Feature") current.features.insert(e.attribute("Type"));
        if (e.name == "Modifier") current.modifiers.insert(e.attribute("Type"));
    }
    if (buildingDepth >= 0 && !name.empty()) records[name] = current;
    return records;
}

std::vector<Upgrade> readUpgrades(const std::vector<Element>& elements) {
    std::vector<Upgrade> upgrades;
    for (const Element& e : elements) {
        if (e.name == "Upgrade") {
            upgrades.emplace_back();
        } else if (!upgrades.empty()) {
            if (e.name == "Level") upgrades.back().level = std::atoi(e.attribute("Value").c_str());
            if (e.name == "AllowsBuilding") upgrades.back().allows.push_back(e.attribute("Value"));
            if (e.name == "Modifier") upgrades.back().modifiers.insert(e.attribute("Type"));
        }
    }
    return upgrades;
}

int levelNumberOf(const std::string& folder) {
    if (folder.rfind("level", 0) != 0 || folder.size() == 5) return 0;
    if (folder.find_first_not_of("0123456789", 5) != std::string::npos) return 0;
    return std::atoi(folder.c_str() + 5);
}

const char* const kTypeNames[] = {"hotel",   "joy or service", "decoration",   "fishing centre",
                                  "observation point", "pyramid", "station", "headquarters"};

}  // namespace

bool DataCoverage::run() {
    gaps_.clear();
    levels_ = 0;
    const fs::path root(root_);
    std::vector<Element> buildingsFile, upgradesFile;
    if (!readElements(root / "levels/common/BuildingsConfiguration.xml", buildingsFile)) {
        gaps_.push_back("levels/common/BuildingsConfiguration.xml cannot be read");
        return false;
    }
    readElements(root / "levels/common/UpgradesConfiguration.xml", upgradesFile);
    const std::map<std::string, Record> records = readRecords(buildingsFile);
    const std::vector<Upgrade> upgrades = readUpgrades(upgradesFile);

    std::set<int> types, services;
    std::set<std::string> features, modifiers, objectives, events;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "levels", error)) {
        const int number = levelNumberOf(entry.path().filename().string());
        if (number <= 0) continue;
        std::vector<Element> configuration, scene;
        if (!readElements(entry.path() / "LevelConfiguration.xml", configuration)) continue;
        readElements(entry.path() / "Level.oscn", scene);
        ++levels_;

        // The records the level uses: those it places, and those it offers
        // that an upgrade on sale before it allows.
        std::set<std::string> used;
        std::set<std::string> allowed;
        for (const Upgrade& upgrade : upgrades) {
            if (upgrade.level > number - 1) continue;
            allowed.insert(upgrade.allows.begin(), upgrade.allows.end());
            modifiers.insert(upgrade.modifiers.begin(), upgrade.modifiers.end());
        }
        for (const Element& e : configuration) {
            std::string value;
            if (propertyValue(e, "AvailableBuildingsForBuild", value)) {
                for (const std::string& name : splitList(value)) {
                    if (allowed.count(name)) used.insert(name);
                }
            }
            if (e.name == "Objective") objectives.insert(e.attribute("Type"));
            if (e.name == "Event") events.insert(e.attribute("Type"));
            if (e.name == "Modifier") modifiers.insert(e.attribute("Type"));
        }
        for (const Element& e : scene) {
            std::string value;
            if (propertyValue(e, "TemplateName", value) && records.count(value)) used.insert(value);
        }
        for (const std::string& name : used) {
            // An unknown record is the content check's to report.
            const auto found = records.find(name);
            if (found == records.end()) continue;
            const Record& record = found->second;
            types.insert(record.type);
            if (record.service != 0) services.insert(record.service);
            features.insert(record.features.begin(), record.features.end());
            modifiers.insert(record.modifiers.begin(), record.modifiers.end());
        }
    }

    for (int type = 0; type < 8; ++type) {
        if (!types.count(type)) {
            gaps_.push_back("building Type " + std::to_string(type) + " (" + kTypeNames[type] +
                            "): no shipped level places or offers a record of it");
        }
    }
    for (int service : {4, 5}) {
        if (!services.count(service)) {
            gaps_.push_back("provided service " + std::to_string(service) + ": no record a shipped level uses provides it");
        }
    }
    for (const char* feature : game::featureTypeNames()) {
        if (!features.count(feature)) {
            gaps_.push_back(std::string("feature type ") + feature + ": no record a shipped level uses carries it");
        }
    }
    for (const engine::stringw& name : game::levelModifierKindNames()) {
        if (!modifiers.count(narrow(name))) {
            gaps_.push_back("level modifier " + narrow(name) +
                            ": no shipped level, record, feature or upgrade on sale before a level has it");
        }
    }
    for (const engine::stringw& name : game::objectiveKindNames()) {
        if (!objectives.count(narrow(name))) gaps_.push_back("objective " + narrow(name) + ": no shipped level asks for it");
    }
    for (const engine::stringw& name : game::randomEventKindNames()) {
        if (!events.count(narrow(name))) gaps_.push_back("random event " + narrow(name) + ": no shipped level raises it");
    }
    if (levels_ == 0) gaps_.push_back("no level folder levels/level<N>/ with a LevelConfiguration.xml");
    return levels_ > 0;
}

}  // namespace contentcheck
