#include "tools/contentcheck/ContentChecker.h"
#include "engine/platform/EngineKinds.h"
#include "engine/audio/SoundDecoder.h"
#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/Logger.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/io/PathUtils.h"
#include "engine/particles/ParticleCollection.h"
#include "engine/platform/EngineKinds.h"
#include "engine/visual/AtlasTextureCollection.h"
#include "game/app/GameNodeKinds.h"
#include "game/config/ConfigurationCheck.h"
#include "game/config/LevelPaths.h"
#include "tools/contentcheck/ContentRules.h"

#include <irrlicht.h>
#include <unistd.h>
#include <algorithm>
#include <climits>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace contentcheck {

using namespace engine;
namespace fs = std::filesystem;

namespace {

bool startsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }
bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
std::string narrowText(const stringw& text) { return std::string(narrow(text).c_str()); }

bool matchesFiles(const std::string& file, const std::string& pattern) {
    return endsWith(pattern, "/") || pattern.empty() ? startsWith(file, pattern) : file == pattern;
}

// The %KEY% names in a text; "%%" is a literal percent sign.
std::vector<std::string> dictionaryKeys(const std::string& text) {
    std::vector<std::string> keys;
    size_t at = 0;
    while ((at = text.find('%', at)) != std::string::npos) {
        const size_t end = text.find('%', at + 1);
        if (end == std::string::npos) break;
        if (end > at + 1) keys.push_back(text.substr(at + 1, end - at - 1));
        at = end + 1;
    }
    return keys;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ';')) {
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t") + 1);
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

// Stand-ins for the start-up kinds that the program registers itself before
// its first scene: the check reads their files as plain scenes and nodes.
BaseNode* createStartupScene(const CreationContext* context) { return new SceneNode(context, nullptr, nullptr, true); }
BaseNode* createStartupNode(const CreationContext* context) { return new BaseNode(context, nullptr, nullptr, true); }

// One occurrence of a name in a file.
struct Mention {
    std::string file;
    std::string name;
    Ref ref;
};

// Works in the root folder while it lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder) {
        char buffer[PATH_MAX];
        if (::getcwd(buffer, sizeof(buffer))) previous_ = buffer;
        entered_ = ::chdir(folder.c_str()) == 0;
    }
    ~WorkingFolder() {
        if (!previous_.empty() && ::chdir(previous_.c_str()) != 0) logError("content check: cannot go back to the working folder");
    }
    bool entered() const { return entered_; }

private:
    std::string previous_;
    bool entered_ = false;
};

}  // namespace

class CheckRun {
public:
    explicit CheckRun(ContentChecker& owner) : c_(owner) {}

    void run() {
        listFiles();
        // The engine's kinds and processors, as the device has them; the
        // game's come later, after the start-up scenes are checked.
        registerEngineKinds();
        device_ = IrrRef<irr::IrrlichtDevice>(makeNullDevice());
        if (!device_) return problem("", "no null video device to load content with");
        fileSystem_ = makeRef<FileSystem>();
        processors_.reset(new CContentProcessorsManager(device_->getVideoDriver(), nullptr, fileSystem_.get(),
                                                        &getNodeFactory()));
        content_.reset(new CContentManager(device_->getVideoDriver(), fileSystem_.get(), processors_.get()));
        dictionary_ = makeRef<Dictionary>(fileSystem_.get());

        loadDictionary();
        readSoundPack();
        loadAtlases();
        loadFonts();
        loadParticleCollections();
        checkStartupScenes();
        registerContentKinds();
        loadTemplateCollections();
        for (const std::string& file : files_)
            if (endsWith(file, ".oscn")) checkSceneFile(file);
        for (const std::string& file : files_)
            if (endsWith(file, ".xml")) checkXmlFile(file);
        for (const NamedByCode& named : namedByCode())
            resolve({std::string("(named by ") + named.user + ")", named.name, named.ref}, "");
        for (const Mention& mention : mentions_) resolve(mention, mention.file);
        checkConfiguration();
        checkMenuPaths();

        content_.reset();
        processors_.reset();
    }

private:
    static irr::IrrlichtDevice* makeNullDevice() {
        irr::SIrrlichtCreationParameters parameters;
        parameters.DriverType = irr::video::EDT_NULL;
        parameters.LoggingLevel = irr::ELL_NONE;
        return irr::createDeviceEx(parameters);
    }

    void problem(const std::string& file, const std::string& text) {
        c_.problems_.push_back(file.empty() ? text : file + ": " + text);
    }

    // Runs a load with the engine's warnings and errors turned into problems
    // of the file.
    template <class Load>
    void watching(const std::string& file, Load load) {
        EngineLogger& logger = getLogger();
        logger.setEchoToStderr(false);
        logger.setSink([this, &file](const char* text, const char* hint, int32_t level) {
            if (level < LOG_WARNING) return;
            problem(file, std::string(text) + (hint && *hint ? std::string(" (") + hint + ")" : std::string()));
        });
        load();
        logger.setSink(nullptr);
        logger.setEchoToStderr(true);
    }

    void listFiles() {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
            if (!entry.is_regular_file()) continue;
            files_.push_back(fs::relative(entry.path(), ".").generic_string());
        }
        std::sort(files_.begin(), files_.end());
    }

    bool exists(const std::string& file) const { return std::binary_search(files_.begin(), files_.end(), file); }

    // Building types, upgrades, cues and text keys that the building, upgrade
    // and level files name. Level templates and building places are checked
    // there too once the level template collection and the level scenes
    // provide them; until then their sets stay empty (unchecked).
    void checkConfiguration() {
        if (!exists("levels/common/BuildingsConfiguration.xml")) return;
        game::ConfigurationNames names;
        names.dictionaryKeys = dictionary_->getKeys();
        names.soundCues = cues_;
        std::vector<std::string> found;
        watching("levels", [&] { game::checkConfigurationFiles(".", names, {}, found); });
        for (const std::string& text : found) problem("", text);
    }

    // The main menu's actors find their paths here by ID; a path they cannot
    // walk leaves the street empty (or, for the bike's loop, stopped).
    void checkMenuPaths() {
        const std::string file = "scenes/BgTrafficPaths.xml";
        if (!exists(file)) return;
        game::GLevelPaths paths;
        watching(file, [&] {
            XmlReader reader(file.c_str());
            if (reader.isValid()) paths.readLevelPaths(reader);
        });
        const auto walkable = [](const game::GLevelPath* path) { return path->points.size() >= 2; };
        for (const char* id : {"Path", "Bike", "Clouds"}) {
            const std::vector<game::GLevelPath*> found = paths.carPaths(makeNameId(id));
            if (found.empty()) problem(file, std::string("has no car path with the ID ") + id);
            for (const game::GLevelPath* path : found) {
                if (!walkable(path)) problem(file, std::string("has a path ") + id + " of fewer than two points");
            }
        }
        for (const game::GLevelPath* path : paths.carPaths(makeNameId("Bike"))) {
            bool moves = false;
            for (const game::PathPoint& p : path->points)
                moves = moves || p.x != path->points.front().x || p.y != path->points.front().y;
            if (walkable(path) && !moves) problem(file, "has a Bike loop whose points all coincide: the bike stops");
        }
        if (paths.pedestrianPaths().empty()) problem(file, "has no pedestrian path");
        for (const game::GLevelPath* path : paths.pedestrianPaths())
            if (!walkable(path)) problem(file, "has a pedestrian path of fewer than two points");
    }

    void loadDictionary() {
        if (!exists("strings/Dictionary.xml")) return;
        watching("strings/Dictionary.xml", [this] { dictionary_->load("strings/Dictionary.xml"); });
    }

    // Cue names, and each variant's file must decode.
    void readSoundPack() {
        const std::string pack = "sounds/SoundPack.xml";
        if (!exists(pack)) return;
        XmlReader reader(pack.c_str());
        while (reader.read()) {
            if (reader.getNodeType() != irr::io::EXN_ELEMENT) continue;
            const std::string element = narrowText(reader.getNodeName());
            if (element == "SoundCue") {
                const std::string name = narrowText(reader.getAttributeValue(L"Name"));
                if (!cues_.insert(name).second) problem(pack, "cue " + name + " is defined twice; the first one wins");
                ++c_.cues_;
            } else if (element == "Sound") {
                const std::string file = "sounds/" + narrowText(reader.getAttributeValue(L"Filename"));
                if (!exists(file)) continue;  // reported by the attribute rule
                IrrRef<irr::io::IReadFile> in(fileSystem_->createAndOpenFile(file.c_str()));
                CountedRef<SoundDecoder> decoder(in ? getSoundDecoderManager().createDecoder(in.get(), nullptr)
                                                    : nullptr);
                if (!decoder) problem(pack, "the sound " + file + " does not decode");
            }
        }
    }

    void loadAtlases() {
        for (const std::string& file : files_) {
            if (!startsWith(file, "atlases/") || !endsWith(file, ".xml")) continue;
            watching(file, [&] {
                CountedRef<Content> loaded(content_->load(ContentType::AtlasTextureCollection, file.c_str(), false));
                auto* atlas = dynamic_cast<AtlasTextureCollection*>(loaded.get());
                if (!atlas) return problem(file, "is not an atlas collection");
                ++c_.atlases_;
                for (const AtlasEntry& entry : atlas->getEntries()) {
                    if (!atlasEntries_.insert(entry.name.c_str()).second)
                        problem(file, std::string("atlas entry ") + entry.name.c_str() + " is in two collections");
                    ++c_.atlasEntries_;
                }
                held_.push_back(loaded);
            });
        }
    }

    void loadFonts() {
        for (const std::string& file : files_) {
            if (!endsWith(file, ".ofnt")) continue;
            watching(file, [&] {
                CountedRef<Content> font(content_->load(ContentType::Font, file.c_str(), false));
                if (!font) return problem(file, "does not load as a font");
                ++c_.fonts_;
                held_.push_back(font);
            });
        }
    }

    void loadParticleCollections() {
        for (const std::string& file : particleCollections()) {
            if (!exists(file)) continue;
            watching(file, [&] {
                CountedRef<Content> loaded(content_->load(ContentType::ParticleCollection, file.c_str(), false));
                auto* collection = dynamic_cast<ParticleCollectionContent*>(loaded.get());
                if (!collection) return problem(file, "does not load as a particle collection");
                particles_.push_back(CountedRef<ParticleCollectionContent>::share(collection));
            });
        }
    }

    // The files read before the game's kinds exist may use only the engine's
    // kinds and the start-up kinds.
    void checkStartupScenes() {
        NodeFactory engineKinds;
        PropertyDataRegistry engineValues;
        registerEngineKinds(engineKinds, engineValues);
        const std::vector<std::string>& startup = startupKinds();
        for (const std::string& file : startupSceneFiles()) {
            if (!exists(file)) continue;
            XmlReader reader(file.c_str());
            while (reader.read()) {
                if (reader.getNodeType() != irr::io::EXN_ELEMENT || reader.getNodeName() != L"SceneNode") continue;
                const stringw kind = reader.getAttributeValue(L"Type");
                if (reader.hasAttribute(L"File") && kind.empty()) continue;
                if (engineKinds.hasNodeKind(kind)) continue;
                if (std::find(startup.begin(), startup.end(), narrowText(kind)) != startup.end()) continue;
                problem(file, "node kind " + narrowText(kind) +
                                  " is not available yet: this file is read before the game's kinds are registered");
            }
        }
    }

    void loadTemplateCollections() {
        for (const TemplateSource& source : templateSources()) {
            const std::string file = source.collection;
            if (templates_.count(file) || !exists(file)) continue;
            std::set<std::string>& names = templates_[file];
            watching(file, [&] {
                CountedRef<BaseNode> root(content_->loadSceneNode(file.c_str(), false));
                if (!root || !root->isOfType(TemplateCollectionNode::kTypeId))
                    return problem(file, "its root is not a TemplateCollectionNode");
                for (uint32_t i = 0; i < root->getChildCount(); ++i)
                    names.insert(nameOfId(root->getChild(i)->getName()).c_str());
            });
        }
    }

    void checkSceneFile(const std::string& file) {
        ++c_.sceneFiles_;
        watching(file, [&] {
            CountedRef<BaseNode> root(content_->loadSceneNode(file.c_str(), false));
            if (!root) problem(file, "does not load");
        });
        // The names the file's values use.
        const NodeFactory& factory = getNodeFactory();
        XmlReader reader(file.c_str());
        int propertiesDepth = 0;
        while (reader.read()) {
            const std::string element = narrowText(reader.getNodeName());
            if (reader.getNodeType() == irr::io::EXN_ELEMENT_END) {
                if (element == "Properties" && propertiesDepth > 0) --propertiesDepth;
                continue;
            }
            if (reader.getNodeType() != irr::io::EXN_ELEMENT) continue;
            if (element == "Properties") {
                if (!reader.isEmptyElement()) ++propertiesDepth;
                continue;
            }
            if (propertiesDepth > 0) {
                checkValue(file, element, narrowText(reader.getAttributeValue(L"Name")),
                           narrowText(reader.getAttributeValue(L"Value")));
                continue;
            }
            if (element == "SceneNode" && reader.hasAttribute(L"File"))
                mentions_.push_back({file, narrowText(reader.getAttributeValue(L"File")), Ref::File});
            if ((element == "Animator" || element == "StartAnimator" || element == "EndAnimator") &&
                !factory.hasAnimatorKind(reader.getAttributeValue(L"Type")))
                problem(file, "animator kind " + narrowText(reader.getAttributeValue(L"Type")) + " is unknown");
        }
    }

    void checkValue(const std::string& file, const std::string& type, const std::string& name,
                    const std::string& value) {
        if (type == "string" || type == "stringw" || type == "stringwArray")
            for (const std::string& key : dictionaryKeys(value)) mentions_.push_back({file, key, Ref::Key});
        for (const ValueRule& rule : valueRules()) {
            if ((*rule.type && type != rule.type) || (*rule.name && name != rule.name)) continue;
            if (!value.empty()) mentions_.push_back({file, value, rule.ref});
        }
    }

    // Configuration files: well formed, and the names the rules know about.
    void checkXmlFile(const std::string& file) {
        ++c_.xmlFiles_;
        XmlReader reader(file.c_str());
        if (!reader.isValid()) return problem(file, "cannot be read");
        while (reader.read()) {
            if (reader.getNodeType() != irr::io::EXN_ELEMENT) continue;
            const std::string element = narrowText(reader.getNodeName());
            for (const AttributeRule& rule : attributeRules()) {
                if (!matchesFiles(file, rule.files) || element != rule.element) continue;
                if (!reader.hasAttribute(widen(rule.attribute).c_str())) continue;
                const std::string value = narrowText(reader.getAttributeValue(widen(rule.attribute).c_str()));
                mentions_.push_back({file, std::string(rule.base) + value, rule.ref});
            }
        }
    }

    // Paths in scene files are relative to the file's folder; those of the
    // tables and configuration files to the assets root.
    std::string pathOf(const Mention& mention, const std::string& file) const {
        if (!endsWith(file, ".oscn")) return mention.name;
        return joinPath(stringc(file.c_str()), stringc(mention.name.c_str())).c_str();
    }

    void resolve(const Mention& mention, const std::string& file) {
        const std::string& name = mention.name;
        switch (mention.ref) {
            case Ref::File:
            case Ref::SceneFile:
            case Ref::Font:
            case Ref::PlainImage: {
                const std::string path = pathOf(mention, file);
                if (!exists(path)) problem(mention.file, "names the file " + path + ", which is missing");
                return;
            }
            case Ref::Image: {
                const std::string path = pathOf(mention, file);
                if (!atlasEntries_.count(path) && !exists(path))
                    problem(mention.file, "names the image " + path + ", in no atlas and no file");
                return;
            }
            case Ref::Cue:
                if (!cues_.count(name)) problem(mention.file, "names the cue " + name + ", which the sound pack lacks");
                return;
            case Ref::Key: {
                const stringw wide = dictionary_->lookup(stringc(name.c_str()));
                if (narrowText(wide) == "%" + name + "%")
                    problem(mention.file, "names the dictionary key " + name + ", which the dictionary lacks");
                return;
            }
            case Ref::Template:
            case Ref::TemplateList:
                for (const std::string& item : mention.ref == Ref::Template ? std::vector<std::string>{name}
                                                                              : splitList(name))
                    resolveTemplate(mention.file, item);
                return;
            case Ref::Emitter:
                for (const CountedRef<ParticleCollectionContent>& collection : particles_)
                    if (collection->find(stringc(name.c_str()))) return;
                problem(mention.file, "names the emitter " + name + ", in no particle collection");
                return;
        }
    }

    void resolveTemplate(const std::string& file, const std::string& name) {
        for (const TemplateSource& source : templateSources()) {
            if (!startsWith(file, source.files)) continue;
            auto found = templates_.find(source.collection);
            if (found == templates_.end() || !found->second.count(name))
                problem(file, "names the template " + name + ", which " + source.collection + " lacks");
            return;
        }
    }

    ContentChecker& c_;
    std::vector<std::string> files_;
    IrrRef<irr::IrrlichtDevice> device_;
    CountedRef<FileSystem> fileSystem_;
    CountedRef<CContentProcessorsManager> processors_;
    CountedRef<CContentManager> content_;
    CountedRef<Dictionary> dictionary_;
    std::vector<CountedRef<Content>> held_;
    std::vector<CountedRef<ParticleCollectionContent>> particles_;
    std::set<std::string> atlasEntries_;
    std::set<std::string> cues_;
    std::map<std::string, std::set<std::string>> templates_;
    std::vector<Mention> mentions_;
};

void registerContentKinds() {
    registerGameNodeKinds();
    NodeFactory& factory = getNodeFactory();
    for (const std::string& kind : startupKinds()) {
        const stringw name = widen(kind.c_str());
        if (factory.hasNodeKind(name)) continue;
        factory.registerNodeKind(name, endsWith(kind, "Scene") ? &createStartupScene : &createStartupNode);
    }
}

bool ContentChecker::run() {
    problems_.clear();
    WorkingFolder folder(root_);
    if (!folder.entered()) {
        problems_.push_back(root_ + ": no such folder");
        return false;
    }
    CheckRun(*this).run();
    return problems_.empty();
}

std::string ContentChecker::summary() const {
    std::ostringstream out;
    out << sceneFiles_ << " scene files, " << xmlFiles_ << " XML files, " << atlases_ << " atlas collections ("
        << atlasEntries_ << " entries), " << fonts_ << " fonts, " << cues_ << " cues";
    return out.str();
}

}  // namespace contentcheck
