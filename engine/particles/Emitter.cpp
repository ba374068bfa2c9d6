#include "engine/particles/Emitter.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/Singleton.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include <cmath>

namespace engine {

namespace {

constexpr float kColorScale = 1.0f / 255.0f;

bool isZero(const vector2df& v) { return v.X == 0.0f && v.Y == 0.0f; }

float rangeValue(const vector2df& range) { return getRandomGenerator().rangeFloat(range.X, range.Y); }

// The sine of a whole degree as a float, the value of the engine's sine table.
float sineOfDegree(uint32_t degree) {
    return static_cast<float>(std::sin(static_cast<double>(degree % 360u) * 3.14159265358979323846 / 180.0));
}

// Table entries of emitter ranges: a member pointer per entry keeps the
// setters and getters one pair of templates.
template <class Emitter, vector2df Emitter::*Member>
void setVector(PropertyTableOwner& owner, const CountedRef<IPropertyData>& value) {
    if (Emitter* e = dynamic_cast<Emitter*>(&owner)) e->*Member = vector2dFromProperty(value);
}
template <class Emitter, vector2df Emitter::*Member>
CountedRef<IPropertyData> getVector(PropertyTableOwner& owner) {
    Emitter* e = dynamic_cast<Emitter*>(&owner);
    return CountedRef<IPropertyData>(makeVector2dProperty(e ? e->*Member : vector2df(0.0f, 0.0f)));
}
template <class Emitter, SColor Emitter::*Member>
void setColor(PropertyTableOwner& owner, const CountedRef<IPropertyData>& value) {
    if (Emitter* e = dynamic_cast<Emitter*>(&owner)) e->*Member = colorFromProperty(value);
}
template <class Emitter, SColor Emitter::*Member>
CountedRef<IPropertyData> getColor(PropertyTableOwner& owner) {
    Emitter* e = dynamic_cast<Emitter*>(&owner);
    return CountedRef<IPropertyData>(makeColorProperty(e ? e->*Member : SColor(0)));
}
template <class Emitter, float Emitter::*Member>
void setFloat(PropertyTableOwner& owner, const CountedRef<IPropertyData>& value) {
    if (Emitter* e = dynamic_cast<Emitter*>(&owner)) e->*Member = floatFromProperty(value);
}
template <class Emitter, float Emitter::*Member>
CountedRef<IPropertyData> getFloat(PropertyTableOwner& owner) {
    Emitter* e = dynamic_cast<Emitter*>(&owner);
    return CountedRef<IPropertyData>(makeFloatProperty(e ? e->*Member : 0.0f));
}

void setNameEntry(PropertyTableOwner& owner, const CountedRef<IPropertyData>& value) {
    if (BaseEmitter* e = dynamic_cast<BaseEmitter*>(&owner)) e->setName(value ? propertyDataToString(value) : stringc());
}
CountedRef<IPropertyData> getNameEntry(PropertyTableOwner& owner) {
    BaseEmitter* e = dynamic_cast<BaseEmitter*>(&owner);
    return CountedRef<IPropertyData>(makeStringProperty(e ? e->getName() : stringc()));
}
void setPPSEntry(PropertyTableOwner& owner, const CountedRef<IPropertyData>& value) {
    if (BaseEmitter* e = dynamic_cast<BaseEmitter*>(&owner)) e->setPPSRange(vector2dFromProperty(value));
}
CountedRef<IPropertyData> getPPSEntry(PropertyTableOwner& owner) {
    BaseEmitter* e = dynamic_cast<BaseEmitter*>(&owner);
    return CountedRef<IPropertyData>(makeVector2dProperty(e ? e->getPPSRange() : vector2df(0.0f, 0.0f)));
}
void setLifeTimeEntry(PropertyTableOwner& owner, const CountedRef<IPropertyData>& value) {
    if (BaseEmitter* e = dynamic_cast<BaseEmitter*>(&owner)) e->setLifeTimeRange(vector2dFromProperty(value));
}
CountedRef<IPropertyData> getLifeTimeEntry(PropertyTableOwner& owner) {
    BaseEmitter* e = dynamic_cast<BaseEmitter*>(&owner);
    return CountedRef<IPropertyData>(makeVector2dProperty(e ? e->getLifeTimeRange() : vector2df(0.0f, 0.0f)));
}

void addVector(PropertySet* set, const char* key, const vector2df& value) {
    set->add(key, CountedRef<IPropertyData>(makeVector2dProperty(value)));
}

template <class Emitter>
BaseEmitter* createEmitterOf(const CreationContext& context) {
    return new Emitter(context);
}

}  // namespace

// ---------------------------------------------------------------- BaseEmitter

BaseEmitter::BaseEmitter(const CreationContext& context) : Content(context) {
    setPeriod(30);
    setContentFlags(ContentFlags::None);
}

BaseEmitter::~BaseEmitter() { detach(); }

const PropertyTable& BaseEmitter::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, PropertyTableOwner::rootPropertyTable());
        t.add("Name", &setNameEntry, &getNameEntry);
        t.add("PPSRange", &setPPSEntry, &getPPSEntry);
        t.add("LifeTimeRange", &setLifeTimeEntry, &getLifeTimeEntry);
        return t;
    }();
    return table;
}

const PropertyTable& BaseEmitter::getPropertyTable() const { return classPropertyTable(); }

bool BaseEmitter::attach(TimerScheduler* scheduler) {
    setTimerScheduler(scheduler);
    return true;
}

void BaseEmitter::detach() { setTimerScheduler(nullptr); }

void BaseEmitter::copyBaseFrom(const BaseEmitter& source) {
    name_ = source.name_;
    ppsRange_ = source.ppsRange_;
    lifeTimeRange_ = source.lifeTimeRange_;
}

Content* BaseEmitter::clone() {
    BaseEmitter* copy = new BaseEmitter(getCreationContext());
    copy->copyBaseFrom(*this);
    return copy;
}

ContentTypeCode BaseEmitter::getContentType() const { return ContentType::ParticleEmitter; }

bool BaseEmitter::onTimer(uint32_t) { return true; }

void BaseEmitter::writeProperties(PropertySet* set) {
    if (!set) return;
    if (!name_.empty()) set->add("Name", CountedRef<IPropertyData>(makeStringProperty(name_)));
    if (ppsRange_.X != 10.0f || ppsRange_.Y != 10.0f) addVector(set, "PPSRange", ppsRange_);
    // Written unless it is the constructor's default, so that every range
    // survives a save and reload.
    if (lifeTimeRange_.X != 2000.0f || lifeTimeRange_.Y != 3000.0f) addVector(set, "LifeTimeRange", lifeTimeRange_);
}

void BaseEmitter::readProperties(PropertySet* set) {
    if (!set) return;
    if (set->indexOf("Name") >= 0) name_ = propertyDataToString(set->find("Name"));
    if (set->indexOf("PPSRange") >= 0) ppsRange_ = vector2dFromProperty(set->find("PPSRange"));
    if (set->indexOf("LifeTimeRange") >= 0) lifeTimeRange_ = vector2dFromProperty(set->find("LifeTimeRange"));
}

void BaseEmitter::readXml(XmlReader& reader) {
    const int32_t depth = reader.getDepth();
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT || reader.getNodeName() != L"Properties") continue;
        CountedRef<PropertySet> set(new PropertySet(getCreationContext().getContentManager()));
        if (set->read(&reader)) readProperties(set.get());
    }
}

// ------------------------------------------------------------- RangedEmitter

bool RangedEmitter::emit(uint32_t periodMs) {
    ParticleArray* array = getParticleArray();
    if (!array) return false;
    accumulator_ += static_cast<float>(periodMs);
    const float interval = 1000.0f / rangeValue(getPPSRange());
    // A rate of 0 (or below) gives no particles; the accumulator is kept
    // rather than turned into an infinite or negative count.
    if (!(interval > 0.0f) || std::isinf(interval)) return true;
    const float whole = std::trunc(accumulator_ / interval);
    if (!(whole >= 1.0f)) return true;
    accumulator_ -= interval * whole;
    uint32_t count = whole >= static_cast<float>(array->capacity) ? array->capacity : static_cast<uint32_t>(whole);
    if (count > array->freeRoom()) count = array->freeRoom();
    for (uint32_t i = 0; i < count; ++i) {
        Particle p;
        const vector2df offset = drawStartOffset();
        p.age = 0;
        const float life = rangeValue(getLifeTimeRange());
        p.lifetime = life > 0.0f ? static_cast<uint32_t>(life) : 0u;
        p.x = getPosition().X + offset.X;
        p.y = getPosition().Y + offset.Y;
        p.velocityX = rangeValue(velocityXRange);
        p.velocityY = rangeValue(velocityYRange);
        p.accelerationX = rangeValue(accelXRange);
        p.accelerationY = rangeValue(accelYRange);
        p.angle = rangeValue(angleRange);
        p.angularVelocity = rangeValue(angVelocityRange);
        p.angularAcceleration = 0.0f;
        p.red = colorStart.getRed() * kColorScale;
        p.green = colorStart.getGreen() * kColorScale;
        p.blue = colorStart.getBlue() * kColorScale;
        p.alpha = colorStart.getAlpha() * kColorScale;
        // A particle without lifetime is removed at its first update; its
        // rates stay 0 instead of infinite.
        const float seconds = static_cast<float>(p.lifetime) * 0.001f;
        if (seconds > 0.0f) {
            p.redRate = (colorEnd.getRed() * kColorScale - p.red) / seconds;
            p.greenRate = (colorEnd.getGreen() * kColorScale - p.green) / seconds;
            p.blueRate = (colorEnd.getBlue() * kColorScale - p.blue) / seconds;
            p.alphaRate = (colorEnd.getAlpha() * kColorScale - p.alpha) / seconds;
        }
        drawScale(seconds, p.scale, p.scaleRate);
        array->particles.push_back(p);
    }
    return true;
}

void RangedEmitter::copyRangesFrom(const RangedEmitter& source) {
    velocityXRange = source.velocityXRange;
    velocityYRange = source.velocityYRange;
    accelXRange = source.accelXRange;
    accelYRange = source.accelYRange;
    angleRange = source.angleRange;
    angVelocityRange = source.angVelocityRange;
    colorStart = source.colorStart;
    colorEnd = source.colorEnd;
    colorVariation = source.colorVariation;
    scaleRange = source.scaleRange;
    scaleVariation = source.scaleVariation;
}

void RangedEmitter::appendRangeEntries(PropertyTable& t) {
    t.add("VelocityXRange", &setVector<RangedEmitter, &RangedEmitter::velocityXRange>,
          &getVector<RangedEmitter, &RangedEmitter::velocityXRange>);
    t.add("VelocityYRange", &setVector<RangedEmitter, &RangedEmitter::velocityYRange>,
          &getVector<RangedEmitter, &RangedEmitter::velocityYRange>);
    t.add("AccelXRange", &setVector<RangedEmitter, &RangedEmitter::accelXRange>,
          &getVector<RangedEmitter, &RangedEmitter::accelXRange>);
    t.add("AccelYRange", &setVector<RangedEmitter, &RangedEmitter::accelYRange>,
          &getVector<RangedEmitter, &RangedEmitter::accelYRange>);
    t.add("AngleRange", &setVector<RangedEmitter, &RangedEmitter::angleRange>,
          &getVector<RangedEmitter, &RangedEmitter::angleRange>);
    t.add("AngVelocityRange", &setVector<RangedEmitter, &RangedEmitter::angVelocityRange>,
          &getVector<RangedEmitter, &RangedEmitter::angVelocityRange>);
    t.add("ColorStart", &setColor<RangedEmitter, &RangedEmitter::colorStart>,
          &getColor<RangedEmitter, &RangedEmitter::colorStart>);
    t.add("ColorEnd", &setColor<RangedEmitter, &RangedEmitter::colorEnd>,
          &getColor<RangedEmitter, &RangedEmitter::colorEnd>);
    t.add("ColorVariation", &setFloat<RangedEmitter, &RangedEmitter::colorVariation>,
          &getFloat<RangedEmitter, &RangedEmitter::colorVariation>);
    t.add("ScaleRange", &setVector<RangedEmitter, &RangedEmitter::scaleRange>,
          &getVector<RangedEmitter, &RangedEmitter::scaleRange>);
    t.add("ScaleVariation", &setFloat<RangedEmitter, &RangedEmitter::scaleVariation>,
          &getFloat<RangedEmitter, &RangedEmitter::scaleVariation>);
}

void RangedEmitter::writeRanges(PropertySet* set) const {
    if (!isZero(velocityXRange)) addVector(set, "VelocityXRange", velocityXRange);
    if (!isZero(velocityYRange)) addVector(set, "VelocityYRange", velocityYRange);
    if (!isZero(accelXRange)) addVector(set, "AccelerationXRange", accelXRange);
    if (!isZero(accelYRange)) addVector(set, "AccelerationYRange", accelYRange);
    if (!isZero(angleRange)) addVector(set, "AngleRange", angleRange);
    if (!isZero(angVelocityRange)) addVector(set, "AngVelocityRange", angVelocityRange);
    if (colorStart.color != 0xFFFFFFFFu) set->add("ColorStart", CountedRef<IPropertyData>(makeColorProperty(colorStart)));
    if (colorEnd.color != 0xFFFFFFFFu) set->add("ColorEnd", CountedRef<IPropertyData>(makeColorProperty(colorEnd)));
    if (colorVariation != 0.0f) set->add("ColorVariation", CountedRef<IPropertyData>(makeFloatProperty(colorVariation)));
    // Written unless it is the default, so that every range reads back.
    if (scaleRange.X != 1.0f || scaleRange.Y != 1.0f) addVector(set, "ScaleRange", scaleRange);
    if (scaleVariation != 0.0f) set->add("ScaleVariation", CountedRef<IPropertyData>(makeFloatProperty(scaleVariation)));
}

void RangedEmitter::readRanges(PropertySet* set) {
    const auto vector = [set](const char* key, vector2df& out) {
        if (set->indexOf(key) >= 0) out = vector2dFromProperty(set->find(key));
    };
    vector("VelocityXRange", velocityXRange);
    vector("VelocityYRange", velocityYRange);
    vector("AccelerationXRange", accelXRange);
    vector("AccelerationYRange", accelYRange);
    vector("AngleRange", angleRange);
    vector("AngVelocityRange", angVelocityRange);
    if (set->indexOf("ColorStart") >= 0) colorStart = colorFromProperty(set->find("ColorStart"));
    if (set->indexOf("ColorEnd") >= 0) colorEnd = colorFromProperty(set->find("ColorEnd"));
    if (set->indexOf("ColorVariation") >= 0) colorVariation = floatFromProperty(set->find("ColorVariation"));
    vector("ScaleRange", scaleRange);
    if (set->indexOf("ScaleVariation") >= 0) scaleVariation = floatFromProperty(set->find("ScaleVariation"));
}

// -------------------------------------------------------------- PointEmitter

const PropertyTable& PointEmitter::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseEmitter::classPropertyTable());
        t.add("RadiusRange", &setVector<PointEmitter, &PointEmitter::radiusRange>,
              &getVector<PointEmitter, &PointEmitter::radiusRange>);
        appendRangeEntries(t);
        return t;
    }();
    return table;
}

const PropertyTable& PointEmitter::getPropertyTable() const { return classPropertyTable(); }

void PointEmitter::copyFrom(const BaseEmitter& source) {
    copyBaseFrom(source);
    if (const PointEmitter* point = dynamic_cast<const PointEmitter*>(&source)) {
        radiusRange = point->radiusRange;
        copyRangesFrom(*point);
    }
}

Content* PointEmitter::clone() {
    PointEmitter* copy = new PointEmitter(getCreationContext());
    copy->copyFrom(*this);
    return copy;
}

void PointEmitter::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseEmitter::writeProperties(set);
    if (!isZero(radiusRange)) addVector(set, "RadiusRange", radiusRange);
    writeRanges(set);
}

void PointEmitter::readProperties(PropertySet* set) {
    if (!set) return;
    BaseEmitter::readProperties(set);
    if (set->indexOf("RadiusRange") >= 0) radiusRange = vector2dFromProperty(set->find("RadiusRange"));
    readRanges(set);
}

vector2df PointEmitter::drawStartOffset() {
    const float r = rangeValue(radiusRange);
    if (!(r > 0.0f)) return vector2df(0.0f, 0.0f);
    const uint32_t degree = getRandomGenerator().nextMWC() % 360u;
    return vector2df(r * sineOfDegree(degree + 90u), r * sineOfDegree(degree));
}

void PointEmitter::drawScale(float seconds, float& scale, float& rate) {
    scale = scaleRange.X;
    rate = seconds > 0.0f ? (scaleRange.Y - scaleRange.X) / seconds : 0.0f;
}

// ---------------------------------------------------------- RectangleEmitter

const PropertyTable& RectangleEmitter::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseEmitter::classPropertyTable());
        t.add("XRange", &setVector<RectangleEmitter, &RectangleEmitter::xRange>,
              &getVector<RectangleEmitter, &RectangleEmitter::xRange>);
        t.add("YRange", &setVector<RectangleEmitter, &RectangleEmitter::yRange>,
              &getVector<RectangleEmitter, &RectangleEmitter::yRange>);
        appendRangeEntries(t);
        return t;
    }();
    return table;
}

const PropertyTable& RectangleEmitter::getPropertyTable() const { return classPropertyTable(); }

void RectangleEmitter::copyFrom(const BaseEmitter& source) {
    copyBaseFrom(source);
    if (const RectangleEmitter* rect = dynamic_cast<const RectangleEmitter*>(&source)) {
        xRange = rect->xRange;
        yRange = rect->yRange;
        copyRangesFrom(*rect);
    }
}

Content* RectangleEmitter::clone() {
    RectangleEmitter* copy = new RectangleEmitter(getCreationContext());
    copy->copyFrom(*this);
    return copy;
}

void RectangleEmitter::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseEmitter::writeProperties(set);
    if (!isZero(xRange)) addVector(set, "XRange", xRange);
    if (!isZero(yRange)) addVector(set, "YRange", yRange);
    writeRanges(set);
}

void RectangleEmitter::readProperties(PropertySet* set) {
    if (!set) return;
    BaseEmitter::readProperties(set);
    if (set->indexOf("XRange") >= 0) xRange = vector2dFromProperty(set->find("XRange"));
    if (set->indexOf("YRange") >= 0) yRange = vector2dFromProperty(set->find("YRange"));
    readRanges(set);
}

vector2df RectangleEmitter::drawStartOffset() {
    RandomGenerator& random = getRandomGenerator();
    // The low bits of a multiply-with-carry number are those of its second word.
    const uint32_t side = random.nextMWC() & 3u;
    const float xi = xRange.X, xo = xRange.Y, yi = yRange.X, yo = yRange.Y;
    vector2df offset;
    switch (side) {
        case 0:  // below the inner rectangle
            offset.X = random.rangeFloat(-xo, xo);
            offset.Y = random.rangeFloat(yi, yo);
            break;
        case 1:  // to its right
            offset.X = random.rangeFloat(xi, xo);
            offset.Y = random.rangeFloat(-yo, yo);
            break;
        case 2:  // above
            offset.X = random.rangeFloat(-xo, xo);
            offset.Y = random.rangeFloat(-yi, -yo);
            break;
        default:  // to its left
            offset.X = random.rangeFloat(-xi, -xo);
            offset.Y = random.rangeFloat(-yo, yo);
            break;
    }
    return offset;
}

void RectangleEmitter::drawScale(float seconds, float& scale, float& rate) {
    scale = getRandomGenerator().rangeFloat(scaleRange.X - scaleVariation, scaleRange.X + scaleVariation);
    rate = seconds > 0.0f ? (scaleRange.Y - scale) / seconds : 0.0f;
}

// ------------------------------------------------------------ EmitterFactory

EmitterFactory::EmitterFactory() {
    registerCreator(L"PointEmitter", &createEmitterOf<PointEmitter>);
    registerCreator(L"RectangleEmitter", &createEmitterOf<RectangleEmitter>);
}

EmitterFactory::~EmitterFactory() = default;

bool EmitterFactory::registerCreator(const stringw& typeName, EmitterCreator creator) {
    if (!creator) return false;
    return creators_.emplace(typeName, creator).second;
}

BaseEmitter* EmitterFactory::createEmitter(const stringw& typeName, const CreationContext& context) const {
    auto found = creators_.find(typeName);
    if (found == creators_.end()) return nullptr;
    return found->second(context);
}

EmitterFactory& getEmitterFactory() { return EngineSingleton<EmitterFactory>::Instance(); }

}  // namespace engine
