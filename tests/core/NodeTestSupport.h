#pragma once
// Shared pieces of the node, state and scene-file tests: a content manager
// that loads scene files from disk, a scene with a timer scheduler, a node
// that adds its own draw item, a node that records the events it handles, a
// node kind with values of every scalar type, and an animator kind that waits
// for scheduler time.
#include "engine/core/IContentManager.h"
#include "engine/core/Animator.h"
#include "engine/core/BaseNode.h"
#include "engine/core/TimerScheduler.h"

#include <string>
#include <vector>

namespace node_tests {

using namespace engine;

// Registers the test node and animator kinds with the factory (once).
void registerTestKinds();

// Loads 'snod' content from files: relative paths resolve against the file on
// top of the folder stack. Everything else is refused.
class FileSceneManager : public IContentManager {
public:
    void setCachingEnabled(bool) override {}
    bool isCachingEnabled() const override { return false; }
    Content* loadFromFile(ContentTypeCode, irr::io::IReadFile*) override { return nullptr; }
    Content* load(ContentTypeCode type, const stringc& path, bool relative) override;
    Content* findCached(ContentTypeCode, const CreationContext*) override { return nullptr; }
    bool save(ContentTypeCode, Content*, const stringc&, int32_t) override { return false; }
    bool addToCache(const CreationContext&, Content*) override { return false; }
    bool addToCacheByOwnName(Content*) override { return false; }
    void removeFromCache(Content*) override {}
    void removeUnused() override {}
    void clearCache() override {}
    void pushFolder(const stringc& path) override { folders.push_back(path); }
    void popFolder() override {
        if (!folders.empty()) folders.pop_back();
    }
    stringc makeFullPath(const stringc& path) const override { return path; }
    stringc makeRelativePath(const stringc& path) const override { return path; }

    std::vector<stringc> folders;
    std::vector<std::string> loads;  // every path asked for, as resolved
    size_t deepestFolderStack = 0;
};

// A scene: its scheduler plays the states of the nodes it owns.
class TestScene : public BaseNode {
    ENGINE_NODE_TYPE(TestScene, BaseNode, 1900)

public:
    TestScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    TimerScheduler* getTimerScheduler() const override { return scheduler; }

    TimerScheduler* scheduler = nullptr;
};

// A node that draws itself: it adds its own draw item, sorted under `key`,
// and then whatever a plain node adds. Test kinds derive from it and add their
// own identity and rendering.
class OwnItemNode : public BaseNode {
public:
    OwnItemNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    void collectRenderItems(RenderList& list) override;

    uintptr_t key = 0;
};

// One handled event as a recording node saw it.
struct Seen {
    int32_t typeId;
    BaseNode* node;  // the event's node, for node events
    NameId name;     // the state name of node-state events, the report of state events
    bool interrupted;
};

// Records every event handleEvent is given, then dispatches it as a BaseNode.
// Optionally answers tag events as handled.
class RecordingNode : public BaseNode {
    ENGINE_NODE_TYPE(RecordingNode, BaseNode, 1901)

public:
    RecordingNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    bool handleEvent(Event* event) override;

    // The seen events of one type id.
    std::vector<Seen> of(int32_t typeId) const;
    std::vector<int32_t> typeIds() const;

    std::vector<Seen> seen;
    bool handleTags = false;
    // Runs inside the handling of a tag event, before the node's own handler.
    void (*onTag)(RecordingNode& self, NodeTagReachedEvent* event) = nullptr;
};

// A node kind with one value of every scalar property type besides the base
// node's: int, float, colorf, rect, stringw and string. "Count" is also in its
// property table.
class ValuesNode : public BaseNode {
    ENGINE_NODE_TYPE(ValuesNode, BaseNode, 1902)

public:
    ValuesNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    const PropertyTable& getPropertyTable() const override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;

    int32_t count = 0;
    float speed = 0.0f;
    SColorf glow{0.0f, 0.0f, 0.0f, 0.0f};
    rectf area{0.0f, 0.0f, 0.0f, 0.0f};
    stringw caption;
    stringc tag;
};

// An animator that waits: once played it ticks with its period and ends when
// "Duration" ms have passed (with "Loop", it reports a loop every Duration ms
// and goes on). On start with apply it sets the target's "Visible" to the
// value of its "Show" attribute through the target's property table, when
// that attribute was given. Every start and stop is written to the journal.
class WaitAnimator : public Base {
public:
    static constexpr int32_t kTypeId = 900;
    const wchar_t* getClassName() const override { return L"TestWait"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || Base::isOfType(typeId); }

    void start(uint32_t timeMs, bool apply) override;
    uint32_t getPosition() const override { return elapsed; }
    uint32_t getDuration() const override { return duration; }
    void stop(bool jumpToEnd, bool notify) override;
    bool onTimer(uint32_t periodMs) override;
    void readXml(XmlReader* reader, BaseNode* node, IContentManager* contentManager,
                 const stringw& elementName) override;
    void writeXml(XmlWriter* writer, BaseNode* node, const stringw& elementName) override;
    Base* clone(State* parent, BaseNode* target) override;

    uint32_t duration = 0;
    bool loop = false;
    int32_t show = -1;  // -1: leave "Visible" alone
    uint32_t elapsed = 0;

    static std::vector<std::string>& journal();
};

// Whether the wait animators' journal holds the entry.
bool journalHas(const std::string& entry);

// Reads a "States" element into the node; a test failure when there is none.
void loadStates(BaseNode* node, const std::string& xml);

// Reads a scene from text (ASCII) through readSceneFile.
BaseNode* readSceneText(const std::string& text, IContentManager* manager = nullptr,
                        const char* name = "inline.oscn");
// Writes a node's scene file to memory and returns the bytes.
std::string writeSceneBytes(BaseNode* node);
// The UTF-16 bytes of a writer's output as narrow text (BOM dropped).
std::string narrowUtf16(const std::string& bytes);

}  // namespace node_tests
