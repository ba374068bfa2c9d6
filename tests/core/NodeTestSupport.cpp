#include "NodeTestSupport.h"

#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneFile.h"
#include "engine/core/State.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "engine/io/PathUtils.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace node_tests {

void registerTestKinds() {
    static const bool done = [] {
        NodeFactory& factory = getNodeFactory();
        factory.registerNodeKind(L"TestScene", &createNodeOf<TestScene>);
        factory.registerNodeKind(L"RecordingNode", &createNodeOf<RecordingNode>);
        factory.registerNodeKind(L"ValuesNode", &createNodeOf<ValuesNode>);
        factory.registerAnimatorKind(L"TestWait", &createAnimatorOf<WaitAnimator>);
        return true;
    }();
    (void)done;
}

// ---- OwnItemNode -------------------------------------------------------------

void OwnItemNode::collectRenderItems(RenderList& list) {
    if (!prepareRenderItems()) return;
    addRenderItem(list, key);
    BaseNode::collectRenderItems(list);
}

// ---- FileSceneManager -------------------------------------------------------

Content* FileSceneManager::load(ContentTypeCode type, const stringc& path, bool relative) {
    if (type != ContentType::SceneNode) return nullptr;
    const stringc full = relative && !folders.empty() ? joinPath(folders.back(), path) : path;
    loads.push_back(full.c_str());
    XmlReader reader(full);
    if (!reader.isValid()) return nullptr;
    struct Depth {
        FileSceneManager& m;
        ~Depth() {
            if (m.folders.size() > m.deepestFolderStack) m.deepestFolderStack = m.folders.size();
        }
    } depth{*this};
    return readSceneFile(reader, CreationContext(this, full), full);
}

// ---- RecordingNode ----------------------------------------------------------

bool RecordingNode::handleEvent(Event* event) {
    Seen s{event->getTypeId(), nullptr, kNoName, false};
    if (auto* n = dynamic_cast<NodeEvent*>(event)) s.node = n->getNode();
    if (auto* e = dynamic_cast<NodeStateSkippedEvent*>(event)) s.name = e->getName();
    if (auto* e = dynamic_cast<NodeTagReachedEvent*>(event)) s.name = e->getName();
    if (auto* e = dynamic_cast<NodeStateStartedEvent*>(event)) s.name = e->getName();
    if (auto* e = dynamic_cast<NodeStateFinishedEvent*>(event)) s.name = e->getName();
    if (auto* e = dynamic_cast<StateStartedEvent*>(event)) s.name = e->getReportName();
    if (auto* e = dynamic_cast<StateEndedEvent*>(event)) {
        s.name = e->getReportName();
        s.interrupted = e->isInterrupted();
    }
    seen.push_back(s);
    if (event->getTypeId() == EventId::NodeTagReachedEvent) {
        if (onTag) onTag(*this, static_cast<NodeTagReachedEvent*>(event));
        if (handleTags) return true;
    }
    return BaseNode::handleEvent(event);
}

std::vector<Seen> RecordingNode::of(int32_t typeId) const {
    std::vector<Seen> out;
    for (const Seen& s : seen)
        if (s.typeId == typeId) out.push_back(s);
    return out;
}

std::vector<int32_t> RecordingNode::typeIds() const {
    std::vector<int32_t> out;
    for (const Seen& s : seen) out.push_back(s.typeId);
    return out;
}

// ---- ValuesNode -------------------------------------------------------------

namespace {

void setCount(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    const auto* data = dynamic_cast<const CPropertyDataInt*>(v.get());
    static_cast<ValuesNode&>(o).count = data ? data->value : 0;
}
CountedRef<IPropertyData> getCount(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(static_cast<ValuesNode&>(o).count));
}

}  // namespace

const PropertyTable& ValuesNode::getPropertyTable() const {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("Count", &setCount, &getCount);
        return t;
    }();
    return table;
}

void ValuesNode::writeProperties(PropertySet* set) {
    BaseNode::writeProperties(set);
    if (count != 0) set->addInt("Count", count);
    if (speed != 0.0f) set->addFloat("Speed", speed);
    if (glow.r != 0.0f || glow.g != 0.0f || glow.b != 0.0f || glow.a != 0.0f)
        set->add("Glow", CountedRef<IPropertyData>(new CPropertyDataColorf(glow)));
    if (area != rectf(0.0f, 0.0f, 0.0f, 0.0f))
        set->add("Area", CountedRef<IPropertyData>(new CPropertyDataRect(area)));
    if (!caption.empty()) set->add("Caption", CountedRef<IPropertyData>(makeStringWProperty(caption)));
    if (!tag.empty()) set->addString("Tag", tag);
}

void ValuesNode::readProperties(PropertySet* set) {
    BaseNode::readProperties(set);
    if (set->indexOf("Count") >= 0) count = set->getInt("Count");
    if (set->indexOf("Speed") >= 0) speed = set->getFloat("Speed");
    if (auto* v = dynamic_cast<CPropertyDataColorf*>(set->find("Glow").get())) glow = v->value;
    if (auto* v = dynamic_cast<CPropertyDataRect*>(set->find("Area").get())) area = v->value;
    if (auto* v = dynamic_cast<CPropertyDataStringW*>(set->find("Caption").get())) caption = v->value;
    if (set->indexOf("Tag") >= 0) tag = set->getString("Tag");
}

void ValuesNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    if (auto* other = nodeCast<ValuesNode>(source)) {
        count = other->count;
        speed = other->speed;
        glow = other->glow;
        area = other->area;
        caption = other->caption;
        tag = other->tag;
    }
}

// ---- WaitAnimator -----------------------------------------------------------

std::vector<std::string>& WaitAnimator::journal() {
    static std::vector<std::string> entries;
    return entries;
}

bool journalHas(const std::string& entry) {
    const std::vector<std::string>& entries = WaitAnimator::journal();
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

void loadStates(BaseNode* node, const std::string& xml) {
    XmlReader reader(xml.data(), xml.size(), "states");
    ASSERT_TRUE(reader.isValid());
    while (reader.read()) {
        if (reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == L"States") {
            node->readStates(&reader);
            return;
        }
    }
    FAIL() << "no States element";
}

void WaitAnimator::start(uint32_t, bool apply) {
    elapsed = 0;
    journal().push_back("start " + std::string(nameOfId(getName()).c_str()));
    if (apply && show >= 0 && getTarget()) {
        const PropertyTable& table = getTarget()->getPropertyTable();
        table.set(*getTarget(), table.indexOf("Visible"), CountedRef<IPropertyData>(makeBoolProperty(show != 0)));
    }
}

void WaitAnimator::stop(bool jumpToEnd, bool notify) {
    journal().push_back(std::string(jumpToEnd ? "jump " : "stop ") + nameOfId(getName()).c_str());
    Base::stop(jumpToEnd, notify);
}

bool WaitAnimator::onTimer(uint32_t periodMs) {
    if (!getTarget() || !getTimerScheduler()) return true;
    elapsed += periodMs;
    if (elapsed < duration) return true;
    if (loop) {
        // Every pass is reported, as long as the animator runs.
        elapsed = 0;
        notifyEnded(duration, true);
        return true;
    }
    const bool wasPlaying = isPlaying();
    setTimerScheduler(nullptr);
    if (wasPlaying) notifyEnded(elapsed, false);
    // The end may have started this animator again (its state entered anew
    // from the report): then it keeps ticking.
    return getTimerScheduler() != nullptr;
}

void WaitAnimator::readXml(XmlReader* reader, BaseNode*, IContentManager*, const stringw& elementName) {
    duration = static_cast<uint32_t>(reader->getAttributeValueAsInt(L"Duration", 0));
    loop = reader->getAttributeValue(L"Loop") == L"true";
    show = reader->getAttributeValueAsInt(L"Show", -1);
    skipToElementEnd(reader, elementName);
}

void WaitAnimator::writeXml(XmlWriter* writer, BaseNode*, const stringw& elementName) {
    array<stringw> names, values;
    commonAttributes(names, values);
    names.push_back(L"Duration");
    values.push_back(stringw(static_cast<int>(duration)));
    if (loop) {
        names.push_back(L"Loop");
        values.push_back(L"true");
    }
    if (show >= 0) {
        names.push_back(L"Show");
        values.push_back(stringw(show));
    }
    writer->writeElement(elementName.c_str(), true, names, values);
    writer->writeLineBreak();
}

Base* WaitAnimator::clone(State*, BaseNode*) {
    auto* copy = new WaitAnimator();
    copy->setName(getName());
    copy->duration = duration;
    copy->loop = loop;
    copy->show = show;
    return copy;
}

// ---- Text helpers -----------------------------------------------------------

BaseNode* readSceneText(const std::string& text, IContentManager* manager, const char* name) {
    XmlReader reader(text.data(), text.size(), name);
    return readSceneFile(reader, CreationContext(manager, name), name);
}

std::string writeSceneBytes(BaseNode* node) {
    XmlWriter writer;
    writeSceneFile(node, writer);
    return writer.getBuffer();
}

std::string narrowUtf16(const std::string& bytes) {
    std::string out;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) out.push_back(bytes[i]);
    return out;
}

}  // namespace node_tests
