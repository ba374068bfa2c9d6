#pragma once
// A scene on a scheduler of its own with a plain layer under it, for the
// self-driven effect nodes: they set themselves up on their first draw and
// then run on the scene's scheduler in simulated time.
#include "engine/core/BaseNode.h"
#include "engine/core/SceneFile.h"
#include "engine/core/XmlReader.h"
#include "game/app/GameNodeKinds.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerScheduler.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace effect_test {

// A child that writes down every state it is asked to enter.
class StateJournalNode : public engine::BaseNode {
public:
    StateJournalNode(engine::BaseNode* parent, const char* name, std::vector<std::string>& journal)
        : engine::BaseNode(nullptr, parent, nullptr), journal_(journal) {
        setName(engine::makeNameId(name));
    }
    void setState(engine::NameId state, engine::StateResolver resolver, engine::NameId report) override {
        journal_.push_back(engine::nameOfId(state).c_str());
        engine::BaseNode::setState(state, resolver, report);
    }

private:
    std::vector<std::string>& journal_;
};

class EffectSceneTest : public ::testing::Test {
protected:
    EffectSceneTest() {
        engine::getRandomGenerator().seed(4242u);
        scene_->setTimerScheduler(&scheduler_);
        scene_->attach(nullptr, scene_.get());
        layer_ = new engine::BaseNode(nullptr, scene_.get(), nullptr);
        layer_->release();
    }

    void frame() {
        engine::RenderList list;
        scene_->collectRenderItems(list);
    }

    // Runs the scheduler in 10 ms steps, drawing between them as the game does.
    void run(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) {
            scheduler_.update(10);
            frame();
        }
    }

    // A node of kind T under the parent (the layer by default), which holds
    // the only reference.
    template <class T>
    T* add(engine::BaseNode* parent = nullptr) {
        T* node = new T(nullptr, parent ? parent : layer_, nullptr);
        node->release();
        return node;
    }

    // A node tree read from scene-file text, with the game's kinds known;
    // the caller holds it.
    static engine::CountedRef<engine::BaseNode> readScene(const std::string& xml) {
        registerGameNodeKinds();
        engine::XmlReader reader(xml.data(), xml.size());
        return engine::CountedRef<engine::BaseNode>(
            engine::readSceneFile(reader, engine::CreationContext(nullptr, "memory"), "memory"));
    }

    // A child of the node that journals its states.
    static StateJournalNode* addJournal(engine::BaseNode* node, const char* name, std::vector<std::string>& journal) {
        auto* child = new StateJournalNode(node, name, journal);
        child->release();
        node->onLoaded();
        return child;
    }

    engine::TimerScheduler scheduler_;
    engine::CountedRef<engine::SceneNode> scene_{new engine::SceneNode(nullptr, nullptr, nullptr)};
    engine::BaseNode* layer_ = nullptr;
};

}  // namespace effect_test
