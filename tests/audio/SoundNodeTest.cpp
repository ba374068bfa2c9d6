#include "audio/FakeSound.h"
#include "engine/audio/PropertyDataSound.h"
#include "engine/audio/SoundCue.h"
#include "engine/audio/SoundManager.h"
#include "engine/audio/SoundNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/PropertySet.h"
#include <gtest/gtest.h>

using namespace engine;
using namespace audiotest;

namespace {

class SoundNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        sounds_.reset(new SoundManager());
        setCurrentSoundManager(sounds_.get());
        CountedRef<SoundCue> cue(new SoundCue(makeNameId("Birds")));
        cue->setGroupId(0);
        cue->setLoop(true);
        CountedRef<FakeSound> sound(new FakeSound(0, log_));
        cue->addVariant(sound.get());
        sounds_->addCue(cue.get());
    }
    void TearDown() override {
        setCurrentSoundManager(nullptr);
    }
    void frame(BaseNode* node) {
        RenderList list;
        node->collectRenderItems(list);
        EXPECT_EQ(list.size(), 0u);
    }

    std::shared_ptr<FakeLog> log_ = std::make_shared<FakeLog>();
    CountedRef<SoundManager> sounds_;
    CountedRef<BaseNode> scene_{new BaseNode(nullptr, nullptr, nullptr)};
};

}  // namespace

TEST_F(SoundNodeTest, StartsItsCueInTheFirstVisibleManagedFrame) {
    CountedRef<SoundNode> node(new SoundNode(nullptr, nullptr, scene_.get()));
    EXPECT_TRUE(node->getPlay());
    node->setVisible(false);
    node->setCue(makeNameId("Birds"));
    frame(node.get());
    EXPECT_EQ(node->getInstance(), nullptr);  // never visible, never started
    node->setVisible(true);
    frame(node.get());
    ASSERT_NE(node->getInstance(), nullptr);
    EXPECT_TRUE(node->isPlaying());
    EXPECT_EQ(sounds_->getPlaying().size(), 1u);
    frame(node.get());
    EXPECT_EQ(sounds_->getPlaying().size(), 1u);  // synced: no second start

    // Play off stops the cue and keeps the instance; on again starts a new one.
    SoundCue* first = node->getInstance();
    node->setPlay(false);
    EXPECT_EQ(first->getState(), 0);
    EXPECT_FALSE(node->isPlaying());
    node->setPlay(true);
    ASSERT_NE(node->getInstance(), nullptr);
    EXPECT_NE(node->getInstance(), first);
    EXPECT_TRUE(node->isPlaying());

    // The node going leaves the cue playing under the manager.
    SoundCue* running = node->getInstance();
    node.reset();
    sounds_->update(10);
    EXPECT_EQ(sounds_->getPlaying().back(), running);
    EXPECT_EQ(running->getState(), 2);
}

TEST_F(SoundNodeTest, WithoutManagerOrCueNothingStarts) {
    CountedRef<SoundNode> loose(new SoundNode(nullptr, nullptr, nullptr));
    loose->setCue(makeNameId("Birds"));
    frame(loose.get());
    EXPECT_EQ(loose->getInstance(), nullptr);
    CountedRef<SoundNode> noCue(new SoundNode(nullptr, nullptr, scene_.get()));
    frame(noCue.get());
    EXPECT_FALSE(noCue->isSynced());
    CountedRef<SoundNode> unknown(new SoundNode(nullptr, nullptr, scene_.get()));
    unknown->setCue(makeNameId("NotRegistered"));
    EXPECT_FALSE(unknown->isSynced());
}

TEST_F(SoundNodeTest, RefusedCueIsTriedAgainEachFrame) {
    SoundGroup& group = sounds_->getGroup(0);
    group.maxInstances = 1;
    group.overflowPolicy = 0;
    SoundCue* blocker = sounds_->playCue(makeNameId("Birds"), false, 0);
    ASSERT_NE(blocker, nullptr);
    CountedRef<SoundNode> node(new SoundNode(nullptr, nullptr, scene_.get()));
    node->setCue(makeNameId("Birds"));
    EXPECT_EQ(node->getInstance(), nullptr);
    frame(node.get());
    EXPECT_EQ(node->getInstance(), nullptr);
    blocker->stop(0);
    sounds_->update(1);
    frame(node.get());
    EXPECT_NE(node->getInstance(), nullptr);
}

TEST_F(SoundNodeTest, PropertiesReadWriteAndCopy) {
    CountedRef<SoundNode> node(new SoundNode(nullptr, nullptr, nullptr));
    CountedRef<PropertySet> set(new PropertySet());
    node->writeProperties(set.get());
    EXPECT_LT(set->indexOf("SoundCueName"), 0);
    ASSERT_GE(set->indexOf("Play"), 0);
    EXPECT_TRUE(boolFromProperty(set->find("Play")));

    CountedRef<PropertySet> in(new PropertySet());
    in->addString("SoundCueName", "Birds");
    in->add("Play", CountedRef<IPropertyData>(makeBoolProperty(false)));
    node->readProperties(in.get());
    EXPECT_EQ(node->getCue(), makeNameId("Birds"));
    EXPECT_FALSE(node->getPlay());
    CountedRef<PropertySet> out(new PropertySet());
    node->writeProperties(out.get());
    EXPECT_EQ(out->find("SoundCueName")->toString(), "Birds");
    EXPECT_FALSE(boolFromProperty(out->find("Play")));

    CountedRef<SoundNode> copy(new SoundNode(nullptr, nullptr, scene_.get()));
    copy->copyFrom(node.get(), scene_.get());
    EXPECT_EQ(copy->getCue(), makeNameId("Birds"));
    EXPECT_FALSE(copy->getPlay());
    EXPECT_EQ(copy->getInstance(), nullptr);

    CountedRef<BaseNode> made(getNodeFactory().createNode(L"SoundNode", nullptr));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getTypeId(), 18);
    EXPECT_NE(nodeCast<SoundNode>(made.get()), nullptr);
}

TEST(PropertyDataSoundTest, SoundValueIsRegisteredAndHoldsItsSound) {
    CountedRef<IPropertyData> value = getPropertyDataRegistry().create(L"sound", nullptr);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->getTypeId(), PROPERTY_SOUND);
    EXPECT_EQ(value->getTypeName(), L"sound");
    EXPECT_EQ(value->toString(), "");
    value->fromString("x.wav");  // no content manager: nothing loads
    auto* sound = dynamic_cast<CPropertyDataSound*>(value.get());
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->getSound(), nullptr);

    auto log = std::make_shared<FakeLog>();
    CountedRef<FakeSound> a(new FakeSound(1, log));
    CountedRef<CPropertyDataSound> held(new CPropertyDataSound(a.get()));
    EXPECT_EQ(a->getRefCount(), 2);
    CountedRef<IPropertyData> copy = held->clone();
    EXPECT_TRUE(copy->equals(held.get()));
    EXPECT_FALSE(copy->equals(value.get()));
    CountedRef<CPropertyDataSound> out(new CPropertyDataSound(static_cast<IContentManager*>(nullptr)));
    EXPECT_FALSE(value->interpolate(held.get(), out.get(), 0.5f, 0));
    EXPECT_TRUE(value->interpolate(held.get(), out.get(), 1.0f, 0));
    EXPECT_EQ(out->getSound(), a.get());
}
