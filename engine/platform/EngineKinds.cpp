#include "engine/platform/EngineKinds.h"
#include "engine/audio/AudioKinds.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/ControlKinds.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/particles/ParticleKinds.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/VisualKinds.h"

namespace engine {

namespace {

// The profiles live in the data folders of the process's device, and are
// keyed by its settings.
ProfileServices deviceProfileServices() {
    EngineDevice* device = getEngine();
    return {device->getFileSystem(), device->getSettings()};
}

}  // namespace

void registerEngineKinds(NodeFactory& nodes, PropertyDataRegistry& values) {
    registerVisualKinds(nodes, values);
    registerControlKinds(nodes, values);
    registerParticleKinds(nodes, values);
    registerAudioKinds(nodes, values);
    setProfileServicesFinder(&deviceProfileServices);
}

void registerEngineKinds() { registerEngineKinds(getNodeFactory(), getPropertyDataRegistry()); }

}  // namespace engine
