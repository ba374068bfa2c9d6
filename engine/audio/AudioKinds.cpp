#include "engine/audio/AudioKinds.h"
#include "engine/audio/PropertyDataSound.h"
#include "engine/audio/SoundNode.h"
#include "engine/audio/SoundPack.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataRegistry.h"

namespace engine {

namespace {

// The processors make sounds with the manager's audio driver (may be null).
void registerAudioProcessors(CContentProcessorsManager& processors) {
    processors.adopt(new CSoundProcessor(processors.getAudioDriver()));
    processors.adopt(new CSoundPackProcessor(processors.getAudioDriver()));
}

}  // namespace

void registerAudioKinds(NodeFactory& nodes, PropertyDataRegistry& values) {
    nodes.registerNodeKind(L"SoundNode", &createNodeOf<SoundNode>);
    values.registerType(L"sound", &createContentValueOf<CPropertyDataSound>);
    CContentProcessorsManager::addProcessorRegistrar(&registerAudioProcessors);
}

}  // namespace engine
