#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/PropertyDataCompound.h"
#include "engine/core/PropertySet.h"
#include "engine/core/Singleton.h"

namespace engine {

namespace {

template <class T>
IPropertyData* createPlain(IContentManager*) {
    return new T();
}

IPropertyData* createProperties(IContentManager* contentManager) {
    return new CPropertyDataProperties(nullptr, contentManager);
}

}  // namespace

PropertyDataRegistry::PropertyDataRegistry() {
    registerType(L"bool", &createPlain<CPropertyDataBool>);
    registerType(L"int", &createPlain<CPropertyDataInt>);
    registerType(L"float", &createPlain<CPropertyDataFloat>);
    registerType(L"color", &createPlain<CPropertyDataColor>);
    registerType(L"colorf", &createPlain<CPropertyDataColorf>);
    registerType(L"vector2d", &createPlain<CPropertyDataVector2d>);
    registerType(L"vector3d", &createPlain<CPropertyDataVector3d>);
    registerType(L"rect", &createPlain<CPropertyDataRect>);
    registerType(L"string", &createPlain<CPropertyDataString>);
    registerType(L"stringw", &createPlain<CPropertyDataStringW>);
    registerType(L"stringwArray", &createPlain<CPropertyDataStringWArray>);
    registerType(L"properties", &createProperties);
}

bool PropertyDataRegistry::registerType(const stringw& typeName, Creator creator) {
    if (!creator) return false;
    return creators_.emplace(typeName, creator).second;
}

CountedRef<IPropertyData> PropertyDataRegistry::create(const stringw& typeName, IContentManager* contentManager) const {
    const auto it = creators_.find(typeName);
    if (it == creators_.end()) return CountedRef<IPropertyData>();
    return CountedRef<IPropertyData>(it->second(contentManager));
}

PropertyDataRegistry& getPropertyDataRegistry() { return EngineSingleton<PropertyDataRegistry>::Instance(); }

}  // namespace engine
