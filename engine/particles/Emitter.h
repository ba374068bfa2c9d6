#pragma once
// Particle emitters: content ('pemt') that adds particles to a particle
// system's array on a 30 ms timer. Collections create them by class name
// through the EmitterFactory and publish them in the content cache; each
// particle system takes its own clone.
#include "engine/core/Content.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/TimerListener.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <map>
#include <vector>

namespace engine {

class PropertySet;
class TimerScheduler;
class XmlReader;

// One particle, written by an emitter and aged, moved and drawn by its system.
struct Particle {
    float x = 0.0f, y = 0.0f;
    float velocityX = 0.0f, velocityY = 0.0f;
    float accelerationX = 0.0f, accelerationY = 0.0f;
    float angle = 0.0f;
    float angularVelocity = 0.0f;
    float angularAcceleration = 0.0f;
    float scale = 1.0f;
    float scaleRate = 0.0f;
    float red = 1.0f, green = 1.0f, blue = 1.0f, alpha = 1.0f;
    float redRate = 0.0f, greenRate = 0.0f, blueRate = 0.0f, alphaRate = 0.0f;
    uint32_t age = 0;
    uint32_t lifetime = 0;
};
static_assert(sizeof(Particle) == 84, "a particle record is 21 32-bit fields");

// The live particles of one system. The storage is reserved once for the
// capacity and never grows past it: emitters add only into the free room.
struct ParticleArray {
    static constexpr uint32_t kDefaultCapacity = 500;

    explicit ParticleArray(uint32_t capacityLimit = kDefaultCapacity) : capacity(capacityLimit) {
        particles.reserve(capacity);
    }
    uint32_t size() const { return static_cast<uint32_t>(particles.size()); }
    uint32_t freeRoom() const { return size() < capacity ? capacity - size() : 0; }

    std::vector<Particle> particles;
    uint32_t capacity;
};

class BaseEmitter : public PropertyTableOwner, public PropertyHolder, public Content, public TimerListener {
public:
    static constexpr int32_t kTypeId = 0;

    explicit BaseEmitter(const CreationContext& context);
    ~BaseEmitter() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();
    virtual const wchar_t* getClassName() const { return L"BaseEmitter"; }
    virtual const wchar_t* getTypeName() const { return L"BaseEmitter"; }
    virtual int32_t getTypeId() const { return kTypeId; }
    virtual bool isOfType(int32_t typeId) const { return typeId == kTypeId; }

    // Moves the emitter's timer to the scheduler (nothing for the current one).
    virtual bool attach(TimerScheduler* scheduler);
    // Leaves the scheduler the timer is on, if any.
    virtual void detach();
    // Name, PPSRange and LifeTimeRange.
    virtual void copyBaseFrom(const BaseEmitter& source);
    // Every property of the class; never the position, the particle array or
    // the time accumulator.
    virtual void copyFrom(const BaseEmitter& source) { copyBaseFrom(source); }

    Content* clone() override;
    ContentTypeCode getContentType() const override;

    // A plain emitter emits nothing and keeps its timer.
    bool onTimer(uint32_t periodMs) override;

    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

    // Applies every "Properties" element met before the end tag of
    // "ParticleEmitter" (or of the document); other elements are skipped.
    void readXml(XmlReader& reader);

    const stringc& getName() const { return name_; }
    void setName(const stringc& name) { name_ = name; }
    const vector2df& getPPSRange() const { return ppsRange_; }
    void setPPSRange(const vector2df& range) { ppsRange_ = range; }
    const vector2df& getLifeTimeRange() const { return lifeTimeRange_; }
    void setLifeTimeRange(const vector2df& range) { lifeTimeRange_ = range; }
    const vector2df& getPosition() const { return position_; }
    void setPosition(const vector2df& position) { position_ = position; }
    ParticleArray* getParticleArray() const { return particles_; }
    void setParticleArray(ParticleArray* particles) { particles_ = particles; }

private:
    stringc name_;
    vector2df position_{0.0f, 0.0f};
    vector2df ppsRange_{10.0f, 10.0f};
    vector2df lifeTimeRange_{2000.0f, 3000.0f};
    ParticleArray* particles_ = nullptr;  // the adopting system's, not owned
};

// What the point and rectangle emitters share: the ranges of every particle
// value except where it starts, and the emission timing.
class RangedEmitter : public BaseEmitter {
public:
    explicit RangedEmitter(const CreationContext& context) : BaseEmitter(context) {}

    bool onTimer(uint32_t periodMs) override { return emit(periodMs); }
    // Adds the whole particles that the elapsed time pays for.
    bool emit(uint32_t periodMs);

    float getAccumulator() const { return accumulator_; }

    vector2df velocityXRange{0.0f, 0.0f};
    vector2df velocityYRange{0.0f, 0.0f};
    vector2df accelXRange{0.0f, 0.0f};
    vector2df accelYRange{0.0f, 0.0f};
    vector2df angleRange{0.0f, 0.0f};
    vector2df angVelocityRange{0.0f, 0.0f};
    SColor colorStart{0xFFFFFFFFu};
    SColor colorEnd{0xFFFFFFFFu};
    float colorVariation = 0.0f;
    vector2df scaleRange{1.0f, 1.0f};
    float scaleVariation = 0.0f;

protected:
    // The offset of a new particle from the emitter position.
    virtual vector2df drawStartOffset() = 0;
    // The scale at birth and its rate, given the lifetime in seconds.
    virtual void drawScale(float seconds, float& scale, float& rate) = 0;

    void copyRangesFrom(const RangedEmitter& source);
    void writeRanges(PropertySet* set) const;
    void readRanges(PropertySet* set);
    static void appendRangeEntries(PropertyTable& table);

private:
    float accumulator_ = 0.0f;
};

class PointEmitter : public RangedEmitter {
public:
    static constexpr int32_t kTypeId = 1;

    explicit PointEmitter(const CreationContext& context) : RangedEmitter(context) {}

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();
    const wchar_t* getClassName() const override { return L"PointEmitter"; }
    const wchar_t* getTypeName() const override { return L"PointEmitter"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || BaseEmitter::isOfType(typeId); }

    void copyFrom(const BaseEmitter& source) override;
    Content* clone() override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

    vector2df radiusRange{0.0f, 0.0f};

protected:
    vector2df drawStartOffset() override;
    void drawScale(float seconds, float& scale, float& rate) override;
};

class RectangleEmitter : public RangedEmitter {
public:
    static constexpr int32_t kTypeId = 2;

    explicit RectangleEmitter(const CreationContext& context) : RangedEmitter(context) {}

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();
    const wchar_t* getClassName() const override { return L"RectangleEmitter"; }
    const wchar_t* getTypeName() const override { return L"RectangleEmitter"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || BaseEmitter::isOfType(typeId); }

    void copyFrom(const BaseEmitter& source) override;
    Content* clone() override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

    // (inner, outer) half-width and half-height of the frame.
    vector2df xRange{0.0f, 0.0f};
    vector2df yRange{0.0f, 0.0f};

protected:
    vector2df drawStartOffset() override;
    void drawScale(float seconds, float& scale, float& rate) override;
};

using EmitterCreator = BaseEmitter* (*)(const CreationContext& context);

// Makes emitters by class name. "PointEmitter" and "RectangleEmitter" are
// registered at construction.
class EmitterFactory : public EventReceiver {
public:
    EmitterFactory();
    ~EmitterFactory() override;

    // False (the first creator stays) when the name is taken or the creator null.
    bool registerCreator(const stringw& typeName, EmitterCreator creator);
    // A new emitter (count 1), or null for a name without a creator.
    BaseEmitter* createEmitter(const stringw& typeName, const CreationContext& context) const;

private:
    std::map<stringw, EmitterCreator> creators_;
};

EmitterFactory& getEmitterFactory();

}  // namespace engine
