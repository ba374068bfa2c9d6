#include "content/ContentTestSupport.h"
#include <unistd.h>
#include <climits>

using namespace engine;

namespace content_test {

int FakeContent::live = 0;

FakeContent::FakeContent(const CreationContext& context, ContentTypeCode type, int32_t flags, bool clonable,
                         std::string text)
    : Content(context), type_(type), clonable_(clonable), text_(std::move(text)) {
    setContentFlags(flags);
    ++live;
}

FakeContent::~FakeContent() { --live; }

Content* FakeContent::clone() {
    if (!clonable_) return nullptr;
    FakeContent* copy = new FakeContent(getCreationContext(), type_, getContentFlags(), clonable_, text_);
    copy->isClone_ = true;
    return copy;
}

FakeProcessor::FakeProcessor(ContentTypeCode type, int32_t flags, bool clonable, std::vector<std::string>* journal,
                             int32_t eventOrder, bool takesDriverEvents)
    : type_(type), flags_(flags), clonable_(clonable), journal_(journal), order_(eventOrder) {
    if (takesDriverEvents) addToMask(EventCategory::Driver);
}

Content* FakeProcessor::load(CContentManager*, irr::io::IReadFile* file, const CreationContext* context) {
    ++loads;
    std::string text(size_t(file->getSize()), '\0');
    file->read(text.data(), irr::u32(text.size()));
    return new FakeContent(*context, type_, flags_, clonable_, text);
}

bool FakeProcessor::save(CContentManager*, Content* content, irr::io::IWriteFile* file, int32_t flags) {
    FakeContent* fake = dynamic_cast<FakeContent*>(content);
    if (!fake) return false;
    const std::string text = fake->text() + "#" + std::to_string(flags);
    return file->write(text.data(), irr::u32(text.size())) == irr::s32(text.size());
}

void FakeProcessor::onCachedContentEvent(Event* event, ContentCacheMap& cached) {
    if (journal_)
        journal_->push_back(name + " cached " + std::to_string(event->getTypeId()) + " x" +
                            std::to_string(cached.size()));
}

bool FakeProcessor::onEvent9(Event*) {
    if (journal_) journal_->push_back(name + " own 9");
    return false;
}

bool FakeProcessor::onEvent10(Event*) {
    if (journal_) journal_->push_back(name + " own 10");
    return false;
}

WorkingFolder::WorkingFolder() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof(buffer))) previous_ = buffer;
    if (::chdir(dir_.path().c_str()) != 0) previous_.clear();
}

WorkingFolder::~WorkingFolder() {
    if (!previous_.empty() && ::chdir(previous_.c_str()) != 0) {
    }
}

bool deliverLikeDevice(const std::vector<EventReceiver*>& receivers, Event* event) {
    for (EventReceiver* receiver : receivers) {
        if (!receiver->takesCategory(event->getCategory())) continue;
        if (receiver->deliver(DeliveryMode::HandleThenChildren, event)) return true;
    }
    return false;
}

irr::IrrlichtDevice* createNullDevice() {
    irr::SIrrlichtCreationParameters parameters;
    parameters.DriverType = irr::video::EDT_NULL;
    parameters.LoggingLevel = irr::ELL_NONE;
    return irr::createDeviceEx(parameters);
}

}  // namespace content_test
