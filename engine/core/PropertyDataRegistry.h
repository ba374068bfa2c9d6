#pragma once
// Makes empty property values from their type names ("int", "vector2d", ...),
// which is how a property set read from XML turns each child element back
// into a value.
#include "engine/core/PropertyData.h"
#include <map>

namespace engine {

class IContentManager;

class PropertyDataRegistry {
public:
    // Makes a new value (count 1) with empty content; content values use the
    // content manager (may be null) to load what their text names.
    using Creator = IPropertyData* (*)(IContentManager* contentManager);

    // Registers the core's value types; the parts of the engine that own
    // content register the values that hold it (registerEngineKinds).
    PropertyDataRegistry();

    // Adds a type; a name already registered keeps its first creator (false then).
    bool registerType(const stringw& typeName, Creator creator);
    // A new value of the named type, or empty when the name is not registered
    // (names compare exactly, case included).
    CountedRef<IPropertyData> create(const stringw& typeName, IContentManager* contentManager) const;

private:
    std::map<stringw, Creator> creators_;
};

// The registry, made on first use and destroyed at exit; a use after that
// raises "Dead Reference Detected".
PropertyDataRegistry& getPropertyDataRegistry();

// The creator of a value that holds content: it loads through the content
// manager of the set being read. registerType(L"font", &createContentValueOf<CPropertyDataFont>).
template <class T>
IPropertyData* createContentValueOf(IContentManager* contentManager) {
    return new T(contentManager);
}

}  // namespace engine
