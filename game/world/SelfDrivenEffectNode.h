#pragma once
// The common part of the ambient effect nodes that drive themselves (circling
// birds, balloons, fireworks, lake waves, rising pictures, shield pieces and
// stars, spirals): they set themselves up on their first draw inside a scene,
// then run on a timer of that scene's scheduler and, when their life is over,
// take themselves out of their parent.
//
// Their settings are plain public fields named after the scene-file values;
// each class lists them once as EffectFields, from which its property table,
// its scene-file reading and writing and its copy are made.
#include "engine/core/BaseNode.h"
#include "engine/core/MemberTimer.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/Types.h"

#include <cmath>
#include <cstdint>
#include <variant>
#include <vector>

namespace engine {
class TimerScheduler;
}

namespace game {

class GSelfDrivenEffectNode : public engine::BaseNode {
public:
    ~GSelfDrivenEffectNode() override;

    // The base collection; then, while the timer is not registered, the node
    // belongs to a scene with a scheduler and canSetUp allows it, the set-up
    // of the first draw and the timer's registration.
    void collectRenderItems(engine::RenderList& list) override;
    void onLoaded() override {}

    // One step of the effect; true keeps the timer.
    virtual bool onTimer(uint32_t elapsedMs) = 0;
    // The scheduler the timer runs on, or null while it is not registered.
    engine::TimerScheduler* getUpdateScheduler() const;
    uint32_t getTimerInterval() const;

protected:
    GSelfDrivenEffectNode(const engine::CreationContext* context, engine::BaseNode* parent,
                          engine::BaseNode* manager, uint32_t intervalMs);

    virtual bool canSetUp() const { return true; }
    // Called just before the timer is registered on the first draw.
    virtual void setUpOnFirstDraw() {}
    // Takes the timer off its scheduler, so that the next draw sets up again.
    void unregisterTimer();
    // Leaves the parent and the scheduler. The parent may hold the only
    // reference: the node is kept alive through the removal and may be gone
    // when this returns, so callers touch nothing of it afterwards. Returns
    // false, the timer call's answer after a removal.
    bool removeSelf();
    // The TintColor's alpha, the colour bytes kept.
    void setAlpha(uint32_t alpha);
    // The alpha of the fade over the last second of a life: 255 with a
    // second or more left, down to 0 at the end.
    static uint32_t lastSecondAlpha(int32_t timeLeftMs);

private:
    using UpdateTimer = engine::MemberTimer<GSelfDrivenEffectNode>;
    bool runTimer(uint32_t elapsedMs) { return onTimer(elapsedMs); }

    engine::CountedRef<UpdateTimer> timer_;
};

// ---- Saved settings ----------------------------------------------------------------------

namespace effectfield {

inline void fromProperty(const engine::CountedRef<engine::IPropertyData>& v, int32_t& out) {
    out = engine::intFromProperty(v);
}
inline void fromProperty(const engine::CountedRef<engine::IPropertyData>& v, float& out) {
    out = engine::floatFromProperty(v);
}
inline void fromProperty(const engine::CountedRef<engine::IPropertyData>& v, engine::vector2df& out) {
    out = engine::vector2dFromProperty(v);
}
inline void fromProperty(const engine::CountedRef<engine::IPropertyData>& v, engine::vector3df& out) {
    out = engine::vector3dFromProperty(v);
}
inline engine::CountedRef<engine::IPropertyData> toProperty(int32_t v) {
    return engine::CountedRef<engine::IPropertyData>(engine::makeIntProperty(v));
}
inline engine::CountedRef<engine::IPropertyData> toProperty(float v) {
    return engine::CountedRef<engine::IPropertyData>(engine::makeFloatProperty(v));
}
inline engine::CountedRef<engine::IPropertyData> toProperty(const engine::vector2df& v) {
    return engine::CountedRef<engine::IPropertyData>(engine::makeVector2dProperty(v));
}
inline engine::CountedRef<engine::IPropertyData> toProperty(const engine::vector3df& v) {
    return engine::CountedRef<engine::IPropertyData>(engine::makeVector3dProperty(v));
}

template <auto Member>
struct MemberOf;
template <class C, class V, V C::*Member>
struct MemberOf<Member> {
    using Class = C;
};

template <auto Member>
void set(engine::PropertyTableOwner& o, const engine::CountedRef<engine::IPropertyData>& v) {
    using C = typename MemberOf<Member>::Class;
    fromProperty(v, static_cast<C&>(o).*Member);
}
template <auto Member>
engine::CountedRef<engine::IPropertyData> get(engine::PropertyTableOwner& o) {
    using C = typename MemberOf<Member>::Class;
    return toProperty(static_cast<C&>(o).*Member);
}

}  // namespace effectfield

// One saved setting of an effect class: its scene-file name, the table entry,
// its field and its default (a setting equal to it is not written; vectors
// of three within 0.000001 per component count as equal).
template <class T>
struct EffectField {
    using Member = std::variant<int32_t T::*, float T::*, engine::vector2df T::*, engine::vector3df T::*>;
    using Value = std::variant<int32_t, float, engine::vector2df, engine::vector3df>;

    const char* name;
    engine::PropertySetter setter;
    engine::PropertyGetter getter;
    Member member;
    Value defaultValue;
};

#define GAME_EFFECT_FIELD(Class, member, name, defaultValue)                                               \
    ::game::EffectField<Class> {                                                                            \
        name, &::game::effectfield::set<&Class::member>, &::game::effectfield::get<&Class::member>, &Class::member, \
            ::game::EffectField<Class>::Value(defaultValue)                                                 \
    }

// The class table: the base's entries, then the fields in order.
template <class T>
engine::PropertyTable effectPropertyTable(const engine::PropertyTable& base, const std::vector<EffectField<T>>& fields) {
    engine::PropertyTable table;
    engine::appendPropertyTable(table, base);
    for (const EffectField<T>& field : fields) table.add(field.name, field.setter, field.getter);
    return table;
}

namespace effectfield {
inline bool same(int32_t a, int32_t b) { return a == b; }
inline bool same(float a, float b) { return a == b; }
inline bool same(const engine::vector2df& a, const engine::vector2df& b) { return a.X == b.X && a.Y == b.Y; }
inline bool same(const engine::vector3df& a, const engine::vector3df& b) {
    return std::fabs(a.X - b.X) <= 0.000001f && std::fabs(a.Y - b.Y) <= 0.000001f &&
           std::fabs(a.Z - b.Z) <= 0.000001f;
}
}  // namespace effectfield

// Adds every field that differs from its default.
template <class T>
void writeEffectFields(T& node, engine::PropertySet* set, const std::vector<EffectField<T>>& fields) {
    for (const EffectField<T>& field : fields) {
        std::visit(
            [&](auto member) {
                using V = std::decay_t<decltype(node.*member)>;
                const V& value = node.*member;
                if (!effectfield::same(value, std::get<V>(field.defaultValue)))
                    set->add(field.name, effectfield::toProperty(value));
            },
            field.member);
    }
}

// Applies the fields present in the set (a value of another type reads as 0).
template <class T>
void readEffectFields(T& node, engine::PropertySet* set, const std::vector<EffectField<T>>& fields) {
    for (const EffectField<T>& field : fields)
        if (set->indexOf(field.name) >= 0) field.setter(node, set->find(field.name));
}

template <class T>
void copyEffectFields(T& node, const T& source, const std::vector<EffectField<T>>& fields) {
    for (const EffectField<T>& field : fields)
        std::visit([&](auto member) { node.*member = source.*member; }, field.member);
}

// The usual overrides of an effect class with saved settings, defined by
// GAME_EFFECT_FIELDS_IMPL in its source file.
#define GAME_EFFECT_FIELDS_DECL(Class)                                               \
public:                                                                             \
    static const std::vector<::game::EffectField<Class>>& fields();                 \
    static const ::engine::PropertyTable& classPropertyTable();                     \
    const ::engine::PropertyTable& getPropertyTable() const override;               \
    void writeProperties(::engine::PropertySet* set) override;                      \
    void readProperties(::engine::PropertySet* set) override;                       \
    void copyFrom(::engine::BaseNode* source, ::engine::BaseNode* manager) override;

#define GAME_EFFECT_FIELDS_IMPL(Class)                                                                 \
    const ::engine::PropertyTable& Class::classPropertyTable() {                                      \
        static const ::engine::PropertyTable table =                                                  \
            ::game::effectPropertyTable<Class>(::engine::BaseNode::classPropertyTable(), fields());   \
        return table;                                                                                 \
    }                                                                                                 \
    const ::engine::PropertyTable& Class::getPropertyTable() const { return classPropertyTable(); }   \
    void Class::writeProperties(::engine::PropertySet* set) {                                         \
        if (!set) return;                                                                             \
        ::engine::BaseNode::writeProperties(set);                                                     \
        ::game::writeEffectFields(*this, set, fields());                                              \
    }                                                                                                 \
    void Class::readProperties(::engine::PropertySet* set) {                                          \
        if (!set) return;                                                                             \
        ::engine::BaseNode::readProperties(set);                                                      \
        ::game::readEffectFields(*this, set, fields());                                               \
    }                                                                                                 \
    void Class::copyFrom(::engine::BaseNode* source, ::engine::BaseNode* manager) {                   \
        ::game::GSelfDrivenEffectNode::copyFrom(source, manager);                                     \
        const Class* other = ::engine::nodeCast<Class>(source);                                       \
        if (other && other != this) ::game::copyEffectFields(*this, *other, fields());                \
    }

}  // namespace game
