#pragma once
// The second hidden-object game: the objects are asked for one at a time, in
// an order dealt at random when the scene loads, and a preview shows the one
// to find now; only that one answers a click. A found object bursts into
// stars and hides; after the last one the play ends with the expert score.
// Hints are free: the hint button sends a particle trail four times along
// the current object's hint path, and resting the pointer on the object
// sends it once.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "game/minigames/GMiniGameScene.h"

#include <map>
#include <vector>

namespace engine {
class SpawnerNode;
class SpriteNode;
class TextNode;
}  // namespace engine

namespace game {

class GLevelPaths;
class GPathMovableNode;

class GMiniGameHidden2Scene : public GMiniGameScene {
    ENGINE_NODE_TYPE(GMiniGameHidden2Scene, GMiniGameScene, 1130)

public:
    static constexpr uint32_t kTimerMs = 10;
    static constexpr float kDefaultTrailVelocity = 100.0f;
    static constexpr int32_t kDefaultTrailPps = 100;
    static constexpr int32_t kButtonHintPasses = 4;
    static constexpr int32_t kHoverHintPasses = 1;

    GMiniGameHidden2Scene(const engine::CreationContext* context, engine::BaseNode* parent,
                          engine::BaseNode* manager, bool mostDerived = true);
    ~GMiniGameHidden2Scene() override;

    // Binds the nodes and deals the order of the objects to find.
    void onLoaded() override;
    // A left click goes to pickItem and a pointer move to onMouseMove first,
    // then on to the controls.
    bool routeToChildren(int32_t mode, engine::Event* event) override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onTimer(uint32_t periodMs) override;
    void readExtraElement(engine::XmlReader& reader) override;

    // The click at (x, y): the first click of the caption starts the play;
    // during the play a click on the current object finds it.
    void pickItem(int32_t x, int32_t y);
    // The pointer at (x, y): reaching the current object sends one pass of
    // the trail when it is idle.
    void onMouseMove(int32_t x, int32_t y);
    // Sends the trail along the object's hint path, passes times over.
    void startHint(engine::BaseNode* object, int32_t passes);

    const std::vector<engine::BaseNode*>& getFindOrder() const { return findOrder_; }
    int32_t getCurrentIndex() const { return currentIndex_; }
    engine::BaseNode* getCurrentObject() const;
    bool isCursorOnCurrent() const { return cursorOnCurrent_; }
    GPathMovableNode* getHintTrail() const { return hintTrail_; }
    engine::SpawnerNode* getFoundNode() const { return foundNode_; }
    engine::SpriteNode* getPreviewImage() const { return previewImage_; }
    engine::TextNode* getObjCountText() const { return objCountText_; }
    engine::TextNode* getPlayTimeText() const { return playTimeText_; }
    engine::TextNode* getTargetTimeText() const { return targetTimeText_; }
    GLevelPaths& getHintPaths() const { return *hintPaths_; }
    float getHintTrailVelocity() const { return hintTrailVelocity_; }
    int32_t getHintTrailPps() const { return hintTrailPps_; }
    const std::map<engine::NameId, engine::stringc>& getItemsToFind() const { return itemsToFind_; }
    // The preview file of an object: levels/minigame_hidden2/Preview/<Filename>.png.
    engine::stringc previewPath(engine::BaseNode* object) const;

private:
    // Shows the object to find now; after the last one the play completes
    // (on the next tick when that would be inside the scene's activation).
    void showCurrentItem(bool activating);
    void readItemsToFind(engine::XmlReader& reader);
    bool trailIdle() const;

    std::vector<engine::BaseNode*> findOrder_;
    engine::TextNode* playTimeText_ = nullptr;
    engine::TextNode* targetTimeText_ = nullptr;
    engine::TextNode* objCountText_ = nullptr;
    engine::SpriteNode* previewImage_ = nullptr;
    int32_t currentIndex_ = 0;
    bool cursorOnCurrent_ = false;
    engine::SpawnerNode* foundNode_ = nullptr;
    GPathMovableNode* hintTrail_ = nullptr;
    engine::CountedRef<GLevelPaths> hintPaths_;
    float hintTrailVelocity_ = kDefaultTrailVelocity;
    int32_t hintTrailPps_ = kDefaultTrailPps;
    std::map<engine::NameId, engine::stringc> itemsToFind_;
    // The play ran out of objects while the scene was being activated; it
    // completes on the next tick.
    bool completionDue_ = false;
};

}  // namespace game
