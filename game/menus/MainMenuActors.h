#pragma once
// The living street behind the main menu: bikes that circle for ever, cars
// that drive into and out of the picture, clouds that drift across the sky
// and pedestrians on the pavement. Each is a self-driven path mover that
// takes its path from the main menu's background paths
// ("scenes/BgTrafficPaths.xml"), found by walking up a fixed number of
// parent links (four for the bike, placed directly in its group; five for
// the others, which come from spawners), and fakes depth by scaling itself
// with its height on the screen. All but the bike leave their parent at the
// end of their walk.
//
// The first cars, clouds and pedestrians of a run start part of the way
// along their paths, so that the street is busy from the first frame.
#include "game/world/PathMovers.h"

#include <cstdint>

namespace engine {
class RandomGenerator;
}

namespace game {

class GLevelPaths;

// What the four actors share: the speed range read from scene files, the
// base speed drawn from it, the "Body" child and the way to the menu.
class GMainMenuActorNode : public GSelfDrivenMoverNode {
public:
    static constexpr uint32_t kInterval = 30;

    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& actorPropertyTable();

    // Set up (and registered) before the first draw, so that a new actor is
    // never drawn where its spawner put it before it stands on its path.
    void collectRenderItems(engine::RenderList& list) override;
    // Also copies the speed range from an actor of the same class.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    // Binds the direct child "Body", when the class has one.
    void onLoaded() override;
    // One step: walk, then leave at the end of the walk (false), else the
    // class's per-tick step (true).
    bool onTimer(uint32_t elapsedMs) override;

    // "InitialVelocityRange": lowest and highest base speed, units a second.
    const engine::vector2df& getVelocityRange() const { return velocityRange_; }
    void setVelocityRange(const engine::vector2df& range) { velocityRange_ = range; }
    float getBaseSpeed() const { return baseSpeed_; }
    void setBaseSpeed(float speed) { baseSpeed_ = speed; }
    engine::BaseNode* getBody() const { return body_.get(); }

    // The main menu's paths, when the ancestor the class looks at (four or
    // five links up) is a main menu scene; null otherwise.
    GLevelPaths* menuPaths() const;
    // The class's step after every walk step (scale and speed by height).
    virtual void perTick() {}

    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

protected:
    GMainMenuActorNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       const engine::vector2df& defaultRange, int32_t linksToMenu, bool hasBody);

    // The configured points scattered by their deviations, from the last to
    // the first when the path is two-way and a coin says so.
    static std::vector<engine::vector2df> walkOf(const std::vector<PathPoint>& points, bool twoWay,
                                                 engine::RandomGenerator& random);

    float baseSpeed_ = 0.0f;

private:
    engine::vector2df velocityRange_;
    const engine::vector2df defaultRange_;
    const int32_t linksToMenu_;
    const bool hasBody_;
    engine::CountedRef<engine::BaseNode> body_;
};

// Walks a pedestrian path of the menu along the pavement, facing "Up" or
// "Down", smaller the higher it walks.
class GMainMenuPedestrianNode : public GMainMenuActorNode {
    ENGINE_NODE_TYPE(GMainMenuPedestrianNode, GMainMenuActorNode, 1104)

public:
    static constexpr int32_t kPreAdvanced = 24;

    GMainMenuPedestrianNode(const engine::CreationContext* context, engine::BaseNode* parent,
                            engine::BaseNode* manager, bool mostDerived = true);

    void onDirectionChanged(const engine::vector2df& direction) override;
    void perTick() override;

protected:
    void setUpOnFirstDraw() override;
};

// Drives a "Path" of the menu, in either direction when the path is
// two-way; shows "Down<n>" or "Up<n>" by its direction, n from 6 far away to
// 1 close by, and plays its sound once as it comes near or drives off.
class GMainMenuCarNode : public GMainMenuActorNode {
    ENGINE_NODE_TYPE(GMainMenuCarNode, GMainMenuActorNode, 1105)

public:
    static constexpr int32_t kPreAdvanced = 4;

    GMainMenuCarNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                     bool mostDerived = true);

    // Only remembers "Up" or "Down": the per-tick step shows it with its number.
    void onDirectionChanged(const engine::vector2df& direction) override;
    void perTick() override;

    bool isSoundPlayed() const { return soundPlayed_; }

protected:
    void setUpOnFirstDraw() override;

private:
    bool soundPlayed_ = false;
};

// Drifts along a "Clouds" path, the slower the lower it flies.
class GMainMenuCloudNode : public GMainMenuActorNode {
    ENGINE_NODE_TYPE(GMainMenuCloudNode, GMainMenuActorNode, 1106)

public:
    static constexpr int32_t kPreAdvanced = 12;

    GMainMenuCloudNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       bool mostDerived = true);

    // Scene files give the speed range; it is no entry of the table.
    const engine::PropertyTable& getPropertyTable() const override;
    void onDirectionChanged(const engine::vector2df&) override {}

protected:
    void setUpOnFirstDraw() override;
};

// Circles the "Bike" loop for ever, slower on the far side and when riding
// steeply up or down the picture, turning smoothly through 24 directions.
class GMainMenuBikeNode : public GMainMenuActorNode {
    ENGINE_NODE_TYPE(GMainMenuBikeNode, GMainMenuActorNode, 1107)

public:
    GMainMenuBikeNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                      bool mostDerived = true);

    void onDirectionChanged(const engine::vector2df& direction) override;
    void perTick() override;

    float getDirectionFactor() const { return directionFactor_; }
    const engine::vector2df& getCurrentDirection() const { return currentDirection_; }
    const engine::vector2df& getShownDirection() const { return shownDirection_; }

protected:
    void setUpOnFirstDraw() override;

private:
    float directionFactor_ = 1.0f;
    engine::vector2df currentDirection_{0.0f, 0.0f};
    engine::vector2df shownDirection_{0.0f, 0.0f};
};

// The state of one of 24 directions on the screen (y grows downwards):
// "Right", "RightRightRightUp", "RightRightUp", "RightUp", ... in 15-degree
// sectors centred on multiples of 15 degrees; the zero vector is "Right". -1
// only for an angle of exactly 360 degrees.
engine::NameId twentyFourWayDirectionState(const engine::vector2df& direction);
// The 24 direction names, counter-clockwise from "Right".
const engine::NameId* twentyFourDirectionNames();

// How many actors of each kind started part of the way along their paths
// since the program started (cars, clouds, pedestrians); resetting them
// makes the next ones start so again.
struct MainMenuActorCounters {
    int32_t cars = 0;
    int32_t clouds = 0;
    int32_t pedestrians = 0;
};
MainMenuActorCounters& mainMenuActorCounters();

}  // namespace game
