#include "engine/content/CContentManager.h"
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/PropertySet.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "engine/io/FileSystem.h"
#include "engine/particles/Emitter.h"
#include "engine/particles/ParticleCollection.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;

namespace {

const char* const kCollection = R"(<?xml version="1.0"?>
<ParticleCollection>
  <ParticleEmitter Type="PointEmitter">
    <Properties>
      <string Name="Name" Value="Smoke"/>
      <vector2d Name="PPSRange" Value="20;30"/>
      <vector2d Name="RadiusRange" Value="1;2"/>
      <vector2d Name="AccelerationXRange" Value="3;4"/>
      <vector2d Name="AccelXRange" Value="9;9"/>
    </Properties>
  </ParticleEmitter>
  <ParticleEmitter Type="SparkEmitter">
    <Properties><string Name="Name" Value="Spark"/></Properties>
  </ParticleEmitter>
  <ParticleEmitter Type="RectangleEmitter">
    <Properties>
      <string Name="Name" Value="Rain"/>
      <vector2d Name="XRange" Value="0;50"/>
      <color Name="ColorEnd" Value="00ffffff"/>
    </Properties>
  </ParticleEmitter>
  <ParticleEmitter Type="PointEmitter">
    <Properties><vector2d Name="PPSRange" Value="1;1"/></Properties>
  </ParticleEmitter>
  <ParticleEmitter Type="RectangleEmitter">
    <Properties><string Name="Name" Value="Smoke"/></Properties>
  </ParticleEmitter>
  <ParticleEmitter Type="PointEmitter"/>
</ParticleCollection>
)";

class ParticleFilesTest : public ::testing::Test {
protected:
    ParticleFilesTest() {
        processors_.reset(new CContentProcessorsManager(nullptr, nullptr, fs_.get(), nullptr));
        manager_.reset(new CContentManager(nullptr, fs_.get(), processors_.get()));
    }
    ~ParticleFilesTest() override {
        manager_.reset();
        processors_.reset();
    }

    CountedRef<Content> load(ContentTypeCode type, const std::string& name, const std::string& bytes) {
        return CountedRef<Content>(manager_->load(type, dir_.write(name, bytes).c_str(), false));
    }
    BaseEmitter* cached(const char* name) {
        const CreationContext key(manager_.get(), name);
        return dynamic_cast<BaseEmitter*>(manager_->findCached(ContentType::ParticleEmitter, &key));
    }
    static bool logged(const LogCapture& log, const std::string& text, int level) {
        for (const auto& entry : log.entries())
            if (entry.text == text && entry.level == level) return true;
        return false;
    }

    TempDir dir_;
    CountedRef<FileSystem> fs_{new FileSystem()};
    CountedRef<CContentProcessorsManager> processors_;
    CountedRef<CContentManager> manager_;
};

}  // namespace

TEST_F(ParticleFilesTest, ACollectionPublishesItsNamedEmittersInTheCache) {
    LogCapture log;
    CountedRef<Content> content = load(ContentType::ParticleCollection, "effects.xml", kCollection);
    ParticleCollectionContent* collection = dynamic_cast<ParticleCollectionContent*>(content.get());
    ASSERT_NE(collection, nullptr);
    EXPECT_TRUE(logged(log, "Loaded particle collection", LOG_DEBUG));
    EXPECT_EQ(collection->getContentFlags(), ContentFlags::NeverCached);
    // Smoke and Rain; the unknown class, the unnamed emitter and the second
    // Smoke are not reachable.
    EXPECT_EQ(collection->getCount(), 2u);

    PointEmitter* smoke = dynamic_cast<PointEmitter*>(cached("Smoke"));
    RectangleEmitter* rain = dynamic_cast<RectangleEmitter*>(cached("Rain"));
    ASSERT_NE(smoke, nullptr);
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(cached("Spark"), nullptr);
    EXPECT_EQ(collection->find("Smoke"), smoke);
    EXPECT_EQ(collection->find("Rain"), rain);
    EXPECT_EQ(smoke->getRefCount(), 2);  // the cache and the collection
    EXPECT_EQ(smoke->getPPSRange(), vector2df(20.0f, 30.0f));
    EXPECT_EQ(smoke->radiusRange, vector2df(1.0f, 2.0f));
    EXPECT_EQ(smoke->accelXRange, vector2df(3.0f, 4.0f));  // the short key is not the file's
    EXPECT_EQ(rain->xRange, vector2df(0.0f, 50.0f));
    EXPECT_EQ(rain->colorEnd.color, 0x00FFFFFFu);

    // A load of the cached name hands out a clone of the master.
    const CreationContext key(manager_.get(), "Smoke");
    CountedRef<Content> copy(manager_->load(ContentType::ParticleEmitter, "Smoke", false));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), smoke);
    EXPECT_EQ(dynamic_cast<PointEmitter*>(copy.get())->radiusRange, vector2df(1.0f, 2.0f));

    // The collection gives up its references; the cache keeps the masters.
    content.reset();
    EXPECT_EQ(cached("Smoke"), smoke);
    EXPECT_EQ(smoke->getRefCount(), 1);
}

TEST_F(ParticleFilesTest, EmittersWrittenIntoACollectionReadBackTheSame) {
    CountedRef<PointEmitter> point(new PointEmitter(CreationContext()));
    point->setName("Glow");
    point->setPPSRange(vector2df(12.5f, 40.0f));
    point->setLifeTimeRange(vector2df(1000.0f, 1000.0f));
    point->radiusRange = vector2df(0.5f, 4.0f);
    point->velocityYRange = vector2df(-30.0f, -10.0f);
    point->accelYRange = vector2df(9.5f, 9.5f);
    point->angleRange = vector2df(0.0f, 360.0f);
    point->angVelocityRange = vector2df(-45.0f, 45.0f);
    point->colorStart = SColor(200, 255, 128, 0);
    point->colorEnd = SColor(0, 255, 0, 0);
    point->colorVariation = 0.2f;
    point->scaleRange = vector2df(0.5f, 2.0f);
    point->scaleVariation = 0.3f;
    CountedRef<RectangleEmitter> rect(new RectangleEmitter(CreationContext()));
    rect->setName("Snow");
    rect->xRange = vector2df(10.0f, 400.0f);
    rect->yRange = vector2df(0.0f, 5.0f);
    rect->velocityXRange = vector2df(-5.0f, 5.0f);

    CountedRef<XmlWriter> writer(new XmlWriter());
    writer->writeXMLHeader();
    writer->writeElement(L"ParticleCollection", false);
    writer->writeLineBreak();
    for (BaseEmitter* e : {static_cast<BaseEmitter*>(point.get()), static_cast<BaseEmitter*>(rect.get())}) {
        writer->writeElement(L"ParticleEmitter", false, L"Type", e->getClassName());
        CountedRef<PropertySet> set(new PropertySet());
        e->writeProperties(set.get());
        ASSERT_TRUE(set->write(writer.get()));
        writer->writeClosingTag(L"ParticleEmitter");
    }
    writer->writeClosingTag(L"ParticleCollection");

    CountedRef<Content> content = load(ContentType::ParticleCollection, "written.xml", writer->getBuffer());
    ASSERT_TRUE(content);
    PointEmitter* glow = dynamic_cast<PointEmitter*>(cached("Glow"));
    RectangleEmitter* snow = dynamic_cast<RectangleEmitter*>(cached("Snow"));
    ASSERT_TRUE(glow && snow);
    // Everything read back is written again in the same form.
    for (const auto& pair : {std::make_pair(static_cast<BaseEmitter*>(point.get()), static_cast<BaseEmitter*>(glow)),
                             std::make_pair(static_cast<BaseEmitter*>(rect.get()), static_cast<BaseEmitter*>(snow))}) {
        CountedRef<PropertySet> before(new PropertySet());
        CountedRef<PropertySet> after(new PropertySet());
        pair.first->writeProperties(before.get());
        pair.second->writeProperties(after.get());
        ASSERT_EQ(before->getCount(), after->getCount());
        for (uint32_t i = 0; i < before->getCount(); ++i) {
            EXPECT_EQ(before->getNameAt(i), after->getNameAt(i));
            EXPECT_EQ(before->getString(before->getNameAt(i)), after->getString(after->getNameAt(i)));
        }
    }
    EXPECT_EQ(glow->getLifeTimeRange(), vector2df(1000.0f, 1000.0f));
    EXPECT_EQ(glow->colorStart.color, SColor(200, 255, 128, 0).color);
    EXPECT_FLOAT_EQ(glow->scaleVariation, 0.3f);
    EXPECT_EQ(snow->xRange, vector2df(10.0f, 400.0f));
    EXPECT_EQ(snow->getLifeTimeRange(), vector2df(2000.0f, 3000.0f));
}

TEST_F(ParticleFilesTest, ASingleEmitterFileGivesAPlainEmitter) {
    LogCapture log;
    const uint32_t folders = manager_->getFolderStack().size();
    CountedRef<Content> content =
        load(ContentType::ParticleEmitter, "one.xml",
             "<ParticleEmitter Type=\"PointEmitter\"><Properties><string Name=\"Name\" Value=\"Lone\"/>"
             "<vector2d Name=\"LifeTimeRange\" Value=\"5;6\"/><vector2d Name=\"RadiusRange\" Value=\"1;1\"/>"
             "</Properties></ParticleEmitter>");
    BaseEmitter* emitter = dynamic_cast<BaseEmitter*>(content.get());
    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->getTypeId(), 0);
    EXPECT_EQ(emitter->getName(), stringc("Lone"));
    EXPECT_EQ(emitter->getLifeTimeRange(), vector2df(5.0f, 6.0f));
    EXPECT_TRUE(logged(log, "Loaded particle emitter", LOG_DEBUG));
    EXPECT_EQ(manager_->getFolderStack().size(), folders);  // the file's folder was popped
}

TEST_F(ParticleFilesTest, BrokenOrForeignFilesGiveNullAndAnError) {
    struct Case {
        const char* name;
        ContentTypeCode type;
        std::string bytes;
    };
    const std::string collection(kCollection);
    const Case cases[] = {
        {"truncated collection", ContentType::ParticleCollection, collection.substr(0, collection.size() / 2)},
        {"collection without its end tag", ContentType::ParticleCollection,
         "<ParticleCollection><ParticleEmitter Type=\"PointEmitter\"/>"},
        {"foreign collection", ContentType::ParticleCollection, "<AtlasCollection><a f=\"x.png\"/></AtlasCollection>"},
        {"foreign emitter", ContentType::ParticleEmitter, "<Scene><Properties/></Scene>"},
        {"empty collection file", ContentType::ParticleCollection, ""},
        {"binary emitter file", ContentType::ParticleEmitter, std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        CountedRef<Content> content = load(c.type, "bad.xml", c.bytes);
        EXPECT_FALSE(content);
        bool error = false;
        for (const auto& entry : log.entries()) error = error || entry.level == 2;
        EXPECT_TRUE(error);
    }
}

TEST_F(ParticleFilesTest, SavingParticleContentIsRefused) {
    CountedRef<PointEmitter> point(new PointEmitter(CreationContext()));
    CountedRef<ParticleCollectionContent> collection(new ParticleCollectionContent(CreationContext()));
    LogCapture log;
    EXPECT_FALSE(manager_->save(ContentType::ParticleEmitter, point.get(), dir_.file("e.xml").c_str(), 0));
    EXPECT_FALSE(
        manager_->save(ContentType::ParticleCollection, collection.get(), dir_.file("c.xml").c_str(), 0));
    EXPECT_TRUE(logged(log, "Particle collection can't be saved", 2));
}

TEST(ParticleCollection, ReadingNeedsAContentManager) {
    CountedRef<ParticleCollectionContent> collection(new ParticleCollectionContent(CreationContext()));
    CountedRef<XmlReader> reader(new XmlReader(kCollection, std::string(kCollection).size(), "x"));
    LogCapture log;
    EXPECT_FALSE(collection->readXml(*reader));
    EXPECT_EQ(collection->getCount(), 0u);
    ASSERT_FALSE(log.entries().empty());
    EXPECT_EQ(log.entries()[0].level, 2);
}

TEST_F(ParticleFilesTest, ElementsOfTheSameNameInsideEndNeitherACollectionNorAnEmitter) {
    const std::string collection = R"(<ParticleCollection>
  <ParticleCollection/>
  <ParticleEmitter Type="NoSuchEmitter">
    <ParticleEmitter Type="PointEmitter"><Properties><string Name="Name" Value="Hidden"/></Properties></ParticleEmitter>
  </ParticleEmitter>
  <ParticleEmitter Type="PointEmitter">
    <ParticleEmitter/>
    <Properties><string Name="Name" Value="After"/><vector2d Name="PPSRange" Value="5;6"/></Properties>
  </ParticleEmitter>
</ParticleCollection>)";
    LogCapture log;
    CountedRef<Content> content = load(ContentType::ParticleCollection, "nested.xml", collection);
    ASSERT_TRUE(content);
    EXPECT_EQ(cached("Hidden"), nullptr) << "an emitter of an unknown kind is skipped whole";
    BaseEmitter* after = cached("After");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->getPPSRange(), vector2df(5.0f, 6.0f));
}
