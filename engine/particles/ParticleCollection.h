#pragma once
// A particle collection file ('prtc') defines emitters by class name; reading
// it publishes every named emitter in the content manager's cache as 'pemt',
// where particle systems find them.
#include "engine/core/Content.h"
#include "engine/core/Types.h"
#include <map>
#include <string>

namespace engine {

class BaseEmitter;
class XmlReader;

class ParticleCollectionContent : public Content {
public:
    explicit ParticleCollectionContent(const CreationContext& context);
    ~ParticleCollectionContent() override;

    ContentTypeCode getContentType() const override;

    // Releases every emitter.
    void clear();
    // Holds the emitter under its Name; false (nothing held) for a null
    // emitter or a name already present, whose first emitter stays.
    bool add(BaseEmitter* emitter);
    // The emitter under the name, or null (not counted).
    BaseEmitter* find(const stringc& name) const;
    uint32_t getCount() const { return static_cast<uint32_t>(emitters_.size()); }

    // Reads the document up to the end tag of "ParticleCollection". False when
    // the creation context has no content manager or the document ends before
    // that end tag (a truncated file); the emitters complete by then are kept.
    bool readXml(XmlReader& reader);

private:
    std::map<std::string, BaseEmitter*> emitters_;  // one count each
};

}  // namespace engine
