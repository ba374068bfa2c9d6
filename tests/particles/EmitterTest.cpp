#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TimerScheduler.h"
#include "engine/particles/Emitter.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace engine;

namespace {

constexpr uint32_t kSeed = 1234u;

// A fresh emitter on a particle array, with the shared generator seeded.
// Seeding keeps part of the multiply-with-carry state, so the generator's whole
// state right after seeding is kept for tests that repeat its draws by hand.
template <class Emitter>
struct EmitterFixture {
    EmitterFixture() : emitter(new Emitter(CreationContext())) {
        getRandomGenerator().seed(kSeed);
        seeded = getRandomGenerator();
        emitter->setParticleArray(&array);
    }
    ParticleArray array;
    CountedRef<Emitter> emitter;
    RandomGenerator seeded;
};

}  // namespace

TEST(EmitterTiming, WholeParticlesArePaidForByTheAccumulatedTime) {
    struct Case {
        float pps;
        int calls;
        uint32_t particles;  // after the calls
        float accumulator;
    };
    const Case cases[] = {
        {10.0f, 3, 0, 90.0f},   // the 100 ms interval is not reached yet
        {10.0f, 4, 1, 20.0f},   // reached at 120 ms; 20 ms are kept
        {10.0f, 8, 2, 40.0f},
        {100.0f, 1, 3, 0.0f},   // 10 ms interval: three per call, nothing kept
        {100.0f, 5, 15, 0.0f},
        {0.0f, 5, 0, 150.0f},   // no rate: no particles, and no runaway count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pps " << c.pps << " calls " << c.calls);
        EmitterFixture<PointEmitter> f;
        f.emitter->setPPSRange(vector2df(c.pps, c.pps));
        for (int i = 0; i < c.calls; ++i) EXPECT_TRUE(f.emitter->onTimer(30));
        EXPECT_EQ(f.array.size(), c.particles);
        EXPECT_FLOAT_EQ(f.emitter->getAccumulator(), c.accumulator);
    }
}

TEST(EmitterTiming, AFullArrayTakesNoParticleButTheTimeIsSpent) {
    EmitterFixture<RectangleEmitter> f;
    f.array.particles.resize(ParticleArray::kDefaultCapacity);
    f.emitter->setPPSRange(vector2df(100.0f, 100.0f));
    EXPECT_TRUE(f.emitter->onTimer(30));
    EXPECT_EQ(f.array.size(), 500u);
    EXPECT_FLOAT_EQ(f.emitter->getAccumulator(), 0.0f);

    // Room for two: two of the three are added.
    f.array.particles.resize(498);
    EXPECT_TRUE(f.emitter->onTimer(30));
    EXPECT_EQ(f.array.size(), 500u);
    EXPECT_EQ(f.array.particles.capacity(), 500u);  // never grown
}

TEST(EmitterTiming, WithoutAParticleArrayTheEmitterLeavesItsScheduler) {
    CountedRef<PointEmitter> point(new PointEmitter(CreationContext()));
    CountedRef<RectangleEmitter> rect(new RectangleEmitter(CreationContext()));
    CountedRef<BaseEmitter> plain(new BaseEmitter(CreationContext()));
    TimerScheduler scheduler;
    EXPECT_TRUE(point->attach(&scheduler));
    rect->attach(&scheduler);
    plain->attach(&scheduler);
    plain->attach(&scheduler);  // the current scheduler: nothing changes
    scheduler.update(30);
    EXPECT_EQ(point->getTimerScheduler(), nullptr);
    EXPECT_EQ(rect->getTimerScheduler(), nullptr);
    // A plain emitter emits nothing but keeps its timer.
    EXPECT_EQ(plain->getTimerScheduler(), &scheduler);
    plain->detach();
    EXPECT_EQ(plain->getTimerScheduler(), nullptr);
}

TEST(PointEmitter, ParticleValuesFollowTheRangesInDrawOrder) {
    EmitterFixture<PointEmitter> f;
    PointEmitter& e = *f.emitter;
    e.setPPSRange(vector2df(100.0f, 100.0f));
    e.setLifeTimeRange(vector2df(1000.0f, 2000.0f));
    e.setPosition(vector2df(10.0f, 20.0f));
    e.radiusRange = vector2df(5.0f, 8.0f);
    e.velocityXRange = vector2df(-1.0f, 1.0f);
    e.velocityYRange = vector2df(2.0f, 3.0f);
    e.accelXRange = vector2df(4.0f, 5.0f);
    e.accelYRange = vector2df(6.0f, 7.0f);
    e.angleRange = vector2df(0.0f, 90.0f);
    e.angVelocityRange = vector2df(10.0f, 20.0f);
    e.colorStart = SColor(255, 255, 0, 0);
    e.colorEnd = SColor(0, 0, 0, 255);
    e.scaleRange = vector2df(1.0f, 3.0f);
    ASSERT_TRUE(e.onTimer(30));
    ASSERT_EQ(f.array.size(), 3u);

    // The same draws made by hand on a generator of the same seed.
    RandomGenerator mirror(f.seeded);
    for (const Particle& p : f.array.particles) {
        const float r = mirror.rangeFloat(5.0f, 8.0f);
        const uint32_t degree = mirror.nextMWC() % 360u;
        const uint32_t lifetime = static_cast<uint32_t>(mirror.rangeFloat(1000.0f, 2000.0f));
        const double radians = degree * 3.14159265358979323846 / 180.0;
        EXPECT_NEAR(p.x, 10.0f + r * std::cos(radians), 1e-4);
        EXPECT_NEAR(p.y, 20.0f + r * std::sin(radians), 1e-4);
        EXPECT_EQ(p.age, 0u);
        EXPECT_EQ(p.lifetime, lifetime);
        EXPECT_FLOAT_EQ(p.velocityX, mirror.rangeFloat(-1.0f, 1.0f));
        EXPECT_FLOAT_EQ(p.velocityY, mirror.rangeFloat(2.0f, 3.0f));
        EXPECT_FLOAT_EQ(p.accelerationX, mirror.rangeFloat(4.0f, 5.0f));
        EXPECT_FLOAT_EQ(p.accelerationY, mirror.rangeFloat(6.0f, 7.0f));
        EXPECT_FLOAT_EQ(p.angle, mirror.rangeFloat(0.0f, 90.0f));
        EXPECT_FLOAT_EQ(p.angularVelocity, mirror.rangeFloat(10.0f, 20.0f));
        EXPECT_EQ(p.angularAcceleration, 0.0f);
        const float seconds = lifetime * 0.001f;
        EXPECT_FLOAT_EQ(p.red, 1.0f);
        EXPECT_FLOAT_EQ(p.blue, 0.0f);
        EXPECT_FLOAT_EQ(p.alpha, 1.0f);
        EXPECT_FLOAT_EQ(p.redRate, -1.0f / seconds);
        EXPECT_FLOAT_EQ(p.blueRate, 1.0f / seconds);
        EXPECT_FLOAT_EQ(p.alphaRate, -1.0f / seconds);
        EXPECT_FLOAT_EQ(p.scale, 1.0f);
        EXPECT_FLOAT_EQ(p.scaleRate, 2.0f / seconds);
    }
    // Nothing else was drawn.
    EXPECT_EQ(getRandomGenerator().nextMWC(), mirror.nextMWC());
}

TEST(PointEmitter, ZeroRadiusStartsOnThePositionWithoutADegreeDraw) {
    EmitterFixture<PointEmitter> f;
    f.emitter->setPPSRange(vector2df(100.0f, 100.0f));
    f.emitter->setLifeTimeRange(vector2df(500.0f, 500.0f));
    f.emitter->setPosition(vector2df(3.0f, -4.0f));
    for (int i = 0; i < 10; ++i) f.emitter->onTimer(30);
    ASSERT_EQ(f.array.size(), 30u);
    for (const Particle& p : f.array.particles) {
        EXPECT_EQ(p.x, 3.0f);
        EXPECT_EQ(p.y, -4.0f);
        EXPECT_EQ(p.lifetime, 500u);
    }
    // Every range was empty: the generator was not touched at all.
    RandomGenerator mirror(f.seeded);
    EXPECT_EQ(getRandomGenerator().nextMWC(), mirror.nextMWC());
}

TEST(PointEmitter, AZeroLifetimeGivesFiniteRates) {
    EmitterFixture<PointEmitter> f;
    f.emitter->setPPSRange(vector2df(100.0f, 100.0f));
    f.emitter->setLifeTimeRange(vector2df(0.0f, 0.0f));
    f.emitter->colorEnd = SColor(0, 0, 0, 0);
    f.emitter->scaleRange = vector2df(1.0f, 2.0f);
    f.emitter->onTimer(30);
    ASSERT_EQ(f.array.size(), 3u);
    for (const Particle& p : f.array.particles) {
        EXPECT_EQ(p.lifetime, 0u);
        EXPECT_TRUE(std::isfinite(p.redRate) && std::isfinite(p.alphaRate) && std::isfinite(p.scaleRate));
    }
}

TEST(RectangleEmitter, ParticlesFillTheFrameAroundThePosition) {
    struct Case {
        vector2df xRange, yRange;
    };
    const Case cases[] = {
        {{0.0f, 50.0f}, {0.0f, 20.0f}},   // a filled rectangle
        {{40.0f, 50.0f}, {10.0f, 20.0f}},  // a frame around an inner rectangle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "inner " << c.xRange.X << "x" << c.yRange.X);
        EmitterFixture<RectangleEmitter> f;
        f.array.capacity = 500;
        f.emitter->setPPSRange(vector2df(5000.0f, 5000.0f));
        f.emitter->xRange = c.xRange;
        f.emitter->yRange = c.yRange;
        f.emitter->onTimer(30);
        f.emitter->onTimer(30);
        f.emitter->onTimer(30);
        ASSERT_EQ(f.array.size(), 450u);
        bool quadrant[4] = {false, false, false, false};
        for (const Particle& p : f.array.particles) {
            EXPECT_LE(std::fabs(p.x), c.xRange.Y + 1e-4f);
            EXPECT_LE(std::fabs(p.y), c.yRange.Y + 1e-4f);
            EXPECT_TRUE(std::fabs(p.x) >= c.xRange.X - 1e-4f || std::fabs(p.y) >= c.yRange.X - 1e-4f)
                << p.x << ", " << p.y;
            quadrant[(p.x < 0.0f ? 1 : 0) + (p.y < 0.0f ? 2 : 0)] = true;
        }
        for (bool seen : quadrant) EXPECT_TRUE(seen);
    }
}

TEST(RectangleEmitter, ScaleVariesAroundTheStartScale) {
    EmitterFixture<RectangleEmitter> f;
    f.emitter->setPPSRange(vector2df(1000.0f, 1000.0f));
    f.emitter->setLifeTimeRange(vector2df(1000.0f, 1000.0f));
    f.emitter->scaleRange = vector2df(2.0f, 4.0f);
    f.emitter->scaleVariation = 0.5f;
    f.emitter->onTimer(30);
    ASSERT_EQ(f.array.size(), 30u);
    for (const Particle& p : f.array.particles) {
        EXPECT_GE(p.scale, 1.5f);
        EXPECT_LE(p.scale, 2.5f);
        EXPECT_FLOAT_EQ(p.scaleRate, 4.0f - p.scale);
    }
}

TEST(EmitterProperties, WrittenValuesReadBackIntoANewEmitter) {
    CountedRef<RectangleEmitter> source(new RectangleEmitter(CreationContext()));
    source->setName("Rain");
    source->setPPSRange(vector2df(5.0f, 7.0f));
    source->setLifeTimeRange(vector2df(1000.0f, 1000.0f));
    source->xRange = vector2df(1.0f, 2.0f);
    source->yRange = vector2df(3.0f, 4.0f);
    source->accelXRange = vector2df(0.5f, 0.5f);
    source->accelYRange = vector2df(-9.0f, -8.0f);
    source->colorEnd = SColor(0, 10, 20, 30);
    source->colorVariation = 0.25f;
    source->scaleRange = vector2df(1.0f, 1.0f);
    source->scaleVariation = 0.1f;

    CountedRef<PropertySet> set(new PropertySet());
    source->writeProperties(set.get());
    EXPECT_GE(set->indexOf("AccelerationXRange"), 0);
    EXPECT_LT(set->indexOf("AccelXRange"), 0);
    EXPECT_LT(set->indexOf("ColorStart"), 0);  // opaque white is the default
    EXPECT_LT(set->indexOf("ScaleRange"), 0);

    CountedRef<RectangleEmitter> copy(new RectangleEmitter(CreationContext()));
    copy->readProperties(set.get());
    EXPECT_EQ(copy->getName(), stringc("Rain"));
    EXPECT_EQ(copy->getPPSRange(), vector2df(5.0f, 7.0f));
    EXPECT_EQ(copy->getLifeTimeRange(), vector2df(1000.0f, 1000.0f));
    EXPECT_EQ(copy->xRange, vector2df(1.0f, 2.0f));
    EXPECT_EQ(copy->yRange, vector2df(3.0f, 4.0f));
    EXPECT_EQ(copy->accelXRange, vector2df(0.5f, 0.5f));
    EXPECT_EQ(copy->accelYRange, vector2df(-9.0f, -8.0f));
    EXPECT_EQ(copy->colorEnd.color, SColor(0, 10, 20, 30).color);
    EXPECT_EQ(copy->colorVariation, 0.25f);
    EXPECT_EQ(copy->scaleVariation, 0.1f);
}

TEST(EmitterProperties, FilesUseTheLongAccelerationKeysAndWrongTypesReadAsZero) {
    CountedRef<PointEmitter> e(new PointEmitter(CreationContext()));
    CountedRef<PropertySet> set(new PropertySet());
    set->addVector2d("AccelXRange", vector2df(1.0f, 2.0f));
    set->addVector2d("AccelerationYRange", vector2df(3.0f, 4.0f));
    set->addInt("PPSRange", 5);
    set->addInt("Name", 42);
    set->addFloat("ColorStart", 1.0f);
    e->readProperties(set.get());
    EXPECT_EQ(e->accelXRange, vector2df(0.0f, 0.0f));
    EXPECT_EQ(e->accelYRange, vector2df(3.0f, 4.0f));
    EXPECT_EQ(e->getPPSRange(), vector2df(0.0f, 0.0f));
    EXPECT_EQ(e->getName(), stringc("42"));
    EXPECT_EQ(e->colorStart.color, 0u);
}

TEST(EmitterProperties, TheTableUsesTheShortAccelerationNames) {
    const PropertyTable& point = PointEmitter::classPropertyTable();
    const char* const pointNames[] = {"Name", "PPSRange", "LifeTimeRange", "RadiusRange", "VelocityXRange",
                                      "VelocityYRange", "AccelXRange", "AccelYRange", "AngleRange",
                                      "AngVelocityRange", "ColorStart", "ColorEnd", "ColorVariation",
                                      "ScaleRange", "ScaleVariation"};
    ASSERT_EQ(point.size(), std::size(pointNames));
    for (uint32_t i = 0; i < point.size(); ++i) EXPECT_EQ(point[i].name, stringc(pointNames[i]));
    const PropertyTable& rect = RectangleEmitter::classPropertyTable();
    ASSERT_EQ(rect.size(), point.size() + 1);
    EXPECT_EQ(rect[3].name, stringc("XRange"));
    EXPECT_EQ(rect[4].name, stringc("YRange"));

    CountedRef<PointEmitter> e(new PointEmitter(CreationContext()));
    point.set(*e, point.indexOf("AccelXRange"), CountedRef<IPropertyData>(makeVector2dProperty(vector2df(1, 2))));
    EXPECT_EQ(e->accelXRange, vector2df(1.0f, 2.0f));
    point.set(*e, point.indexOf("ColorEnd"), CountedRef<IPropertyData>(makeIntProperty(7)));
    EXPECT_EQ(e->colorEnd.color, 0u);
    EXPECT_EQ(vector2dFromProperty(point.get(*e, point.indexOf("PPSRange"))), vector2df(10.0f, 10.0f));
}

TEST(EmitterClone, CopiesThePropertiesButNotPositionArrayOrTime) {
    EmitterFixture<PointEmitter> f;
    f.emitter->setName("Smoke");
    f.emitter->radiusRange = vector2df(2.0f, 3.0f);
    f.emitter->colorStart = SColor(1, 2, 3, 4);
    f.emitter->setPosition(vector2df(9.0f, 9.0f));
    f.emitter->onTimer(30);
    CountedRef<Content> copy(f.emitter->clone());
    PointEmitter* point = dynamic_cast<PointEmitter*>(copy.get());
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->getRefCount(), 1);
    EXPECT_EQ(point->getName(), stringc("Smoke"));
    EXPECT_EQ(point->radiusRange, vector2df(2.0f, 3.0f));
    EXPECT_EQ(point->colorStart.color, SColor(1, 2, 3, 4).color);
    EXPECT_EQ(point->getPosition(), vector2df(0.0f, 0.0f));
    EXPECT_EQ(point->getParticleArray(), nullptr);
    EXPECT_EQ(point->getAccumulator(), 0.0f);
    EXPECT_EQ(point->getContentType(), ContentType::ParticleEmitter);
    EXPECT_TRUE(point->isOfType(1) && point->isOfType(0) && !point->isOfType(2));

    CountedRef<Content> rect(CountedRef<RectangleEmitter>(new RectangleEmitter(CreationContext()))->clone());
    EXPECT_EQ(dynamic_cast<BaseEmitter*>(rect.get())->getTypeId(), 2);
}

TEST(EmitterFactory, MakesTheRegisteredClassesByName) {
    EmitterFactory& factory = getEmitterFactory();
    EXPECT_EQ(&factory, &getEmitterFactory());
    CountedRef<BaseEmitter> point(factory.createEmitter(L"PointEmitter", CreationContext()));
    CountedRef<BaseEmitter> rect(factory.createEmitter(L"RectangleEmitter", CreationContext()));
    ASSERT_TRUE(point && rect);
    EXPECT_EQ(stringw(point->getClassName()), stringw(L"PointEmitter"));
    EXPECT_EQ(stringw(rect->getClassName()), stringw(L"RectangleEmitter"));
    EXPECT_EQ(factory.createEmitter(L"pointemitter", CreationContext()), nullptr);
    EXPECT_EQ(factory.createEmitter(L"", CreationContext()), nullptr);
    // The first creator of a name stays.
    EXPECT_FALSE(factory.registerCreator(L"PointEmitter", [](const CreationContext& c) -> BaseEmitter* {
        return new RectangleEmitter(c);
    }));
    CountedRef<BaseEmitter> again(factory.createEmitter(L"PointEmitter", CreationContext()));
    EXPECT_EQ(again->getTypeId(), 1);
}
