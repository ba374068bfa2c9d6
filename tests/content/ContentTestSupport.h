#pragma once
// Fixtures for the content tests: small content classes of each caching kind,
// a processor that makes them from files and records what it is asked, a
// working folder of their own and a device-like delivery of driver events.
#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/Event.h"
#include "support/TempDir.h"
#include <string>
#include <vector>

namespace content_test {

// Content with chosen flags; counts the live objects of the class.
class FakeContent : public engine::Content {
public:
    FakeContent(const engine::CreationContext& context, engine::ContentTypeCode type, int32_t flags, bool clonable,
                std::string text);
    ~FakeContent() override;
    engine::Content* clone() override;
    engine::ContentTypeCode getContentType() const override { return type_; }

    const std::string& text() const { return text_; }
    bool isClone() const { return isClone_; }
    static int live;

private:
    engine::ContentTypeCode type_;
    bool clonable_;
    std::string text_;
    bool isClone_ = false;
};

// Makes FakeContent from a file (its text is the file's bytes) and writes it
// back; keeps a journal of its calls shared by every processor of a test.
class FakeProcessor : public engine::IContentProcessor {
public:
    FakeProcessor(engine::ContentTypeCode type, int32_t flags, bool clonable, std::vector<std::string>* journal,
                  int32_t eventOrder = 0, bool takesDriverEvents = false);

    int32_t getEventOrder() const override { return order_; }
    engine::ContentTypeCode getContentType() const override { return type_; }
    engine::Content* load(engine::CContentManager* manager, irr::io::IReadFile* file,
                          const engine::CreationContext* context) override;
    bool save(engine::CContentManager* manager, engine::Content* content, irr::io::IWriteFile* file,
              int32_t flags) override;
    void onCachedContentEvent(engine::Event* event, engine::ContentCacheMap& cached) override;
    bool onEvent9(engine::Event* event) override;
    bool onEvent10(engine::Event* event) override;

    int loads = 0;
    std::string name;  // in the journal

private:
    engine::ContentTypeCode type_;
    int32_t flags_;
    bool clonable_;
    std::vector<std::string>* journal_;
    int32_t order_;
};

// Changes the working directory to a fresh temporary folder for the test.
class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    const testing_support::TempDir& dir() const { return dir_; }

private:
    testing_support::TempDir dir_;
    std::string previous_;
};

// Hands an event to receivers as the device does: in the order given, skipping
// those whose mask does not take its category, handler then children, until
// one handles it.
bool deliverLikeDevice(const std::vector<engine::EventReceiver*>& receivers, engine::Event* event);

// A windowless Irrlicht device of the null driver (textures of size 0).
irr::IrrlichtDevice* createNullDevice();

}  // namespace content_test
