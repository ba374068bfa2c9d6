#include "engine/core/SceneFile.h"
#include "engine/core/IContentManager.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/Logger.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace engine {

namespace {

// The scene files being read, outermost first: a "File" include loads its
// file from inside the reading of another one.
std::vector<std::string>& openSceneFiles() {
    static std::vector<std::string> files;
    return files;
}

// One spelling per file for the comparison: forward slashes, "." and ".."
// folded.
std::string comparableName(const stringc& fileName) {
    std::string text(fileName.c_str());
    std::replace(text.begin(), text.end(), '\\', '/');
    return std::filesystem::path(text).lexically_normal().generic_string();
}

class OpenFileEntry {
public:
    explicit OpenFileEntry(std::string name) { openSceneFiles().push_back(std::move(name)); }
    ~OpenFileEntry() { openSceneFiles().pop_back(); }
    OpenFileEntry(const OpenFileEntry&) = delete;
    OpenFileEntry& operator=(const OpenFileEntry&) = delete;
};

}  // namespace

BaseNode* readSceneFile(XmlReader& reader, const CreationContext& context, const stringc& fileName,
                        NodeFactory* factory) {
    if (!reader.isValid()) {
        getLogger().log("Could not read scene file", fileName.c_str(), LOG_ERROR);
        reportContentProblem(fileName.c_str());
        return nullptr;
    }
    const std::string name = comparableName(fileName);
    if (!fileName.empty()) {
        const std::vector<std::string>& open = openSceneFiles();
        if (std::find(open.begin(), open.end(), name) != open.end()) {
            getLogger().log("Scene file includes itself; the include is skipped", fileName.c_str(), LOG_ERROR);
            return nullptr;
        }
    }
    OpenFileEntry entry(name);
    if (!factory) factory = &getNodeFactory();

    BaseNode* result = nullptr;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        const stringw& element = reader.getNodeName();
        if (type == irr::io::EXN_ELEMENT_END && element == L"SceneNode") break;
        if (type != irr::io::EXN_ELEMENT || element != L"SceneNode") continue;

        const stringw classOverride = reader.getAttributeValue(L"ClassOverride");
        const stringw kind = reader.getAttributeValue(L"Type");
        BaseNode* node = nullptr;
        if (!classOverride.empty()) node = factory->createNode(classOverride, &context);
        if (!node) node = factory->createNode(kind, &context);
        if (!node) {
            // Scanning goes on into the element's content, whose nodes are
            // made in turn; its end ends the scan.
            getLogger().log("Unknown node kind in scene file", narrow(kind).c_str(), LOG_ERROR);
            reader.finishEmptyElement();
            continue;
        }
        {
            FolderScope folder(context.getContentManager(), fileName);
            node->readFromXml(&reader, factory);
        }
        if (result) result->release();
        result = node;
    }
    getLogger().log("Loaded scene node", fileName.c_str(), LOG_DEBUG);
    if (!result) {
        getLogger().log("Scene file holds no node", fileName.c_str(), LOG_ERROR);
        reportContentProblem(fileName.c_str());
    }
    return result;
}

bool writeSceneFile(BaseNode* node, XmlWriter& writer, const stringc& fileName) {
    if (!node) return false;
    writer.writeXMLHeader();
    {
        FolderScope folder(fileName.empty() ? nullptr : node->getContentManager(), fileName);
        node->writeToXml(&writer);
    }
    return writer.isValid();
}

BaseNode* loadSceneFile(const stringc& path, IContentManager* contentManager) {
    XmlReader reader(path);
    return readSceneFile(reader, CreationContext(contentManager, path), path);
}

bool saveSceneFile(BaseNode* node, const stringc& path) {
    if (!node) return false;
    XmlWriter writer(path);
    if (!writer.isValid()) return false;
    const bool written = writeSceneFile(node, writer, path);
    return writer.close() && written;
}

}  // namespace engine
