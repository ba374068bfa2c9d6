#pragma once
// A fixture for the tests that run the game object's scenes without a
// window: a temporary content folder made the working folder (and the place
// where profiles are saved), the game object with its managers, one player,
// and a start scene at the bottom of the first scene manager.
//
//   class MyTest : public testing_support::GameAppTest {
//       void SetUp() override {
//           folder.write("scenes/MyScene.oscn", ...);
//           enterFolder();
//           createApp(true);
//           addPlayer();
//           showStart(new GBaseSceneNode(&context(), nullptr, nullptr));
//       }
//   };
//
// TearDown empties the scene managers, releases the game object and the
// players and puts the working folder and XDG_DATA_HOME back.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "game/app/GGameApp.h"
#include "game/common/GBaseSceneNode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace engine {
class BaseNode;
class EventReceiver;
class ProfileParameters;
class SceneManager;
class SceneNode;
}  // namespace engine

namespace testing_support {

class GameAppTest : public ::testing::Test {
protected:
    void TearDown() override;

    // The fixture's folder becomes the working folder and XDG_DATA_HOME its
    // "data" folder, so profiles saved by the game land there.
    void enterFolder();
    // Registers the node kinds, makes the game object the current one and
    // creates its managers; with loadConfiguration also reads the game's
    // configuration files from the folder.
    void createApp(bool loadConfiguration);
    // Reads a scene file as the first scene manager's template collection.
    void useTemplates(const char* path);
    // Removes every player, then adds "Ann" and selects her (player).
    void addPlayer();
    static void clearPlayers();
    // Makes the scene (taken over) the first manager's scene and runs 10 ms.
    void showStart(game::GBaseSceneNode* scene);

    engine::SceneManager* manager() const;
    engine::SceneNode* top() const;
    template <class T>
    T* topAs() const {
        return dynamic_cast<T*>(top());
    }
    // A creation context over the game's content manager.
    const engine::CreationContext& context();

    // One engine update of the given length.
    void update(uint32_t ms);
    // Simulated time in updates of 10 ms.
    void advance(uint32_t ms);
    // Updates in 10 ms steps until the condition holds; false when it did not
    // within the limit.
    bool runUntil(const std::function<bool()>& done, uint32_t limitMs = 10000);

    // A press of the node, or of a stand-in node of that name, delivered to
    // the receiver's event entry.
    static bool press(engine::EventReceiver& receiver, engine::BaseNode* node);
    static bool press(engine::EventReceiver& receiver, const char* name);
    static bool keyUp(engine::EventReceiver& receiver, int32_t key);

    TempDir folder;
    engine::CountedRef<game::GGameApp> app;
    engine::CountedRef<game::GBaseSceneNode> start;
    engine::ProfileParameters* player = nullptr;

private:
    std::filesystem::path previousFolder_;
    std::string previousDataHome_;
    bool hadDataHome_ = false;
    bool entered_ = false;
    engine::CreationContext context_;
};

}  // namespace testing_support
