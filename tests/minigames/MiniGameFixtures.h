#pragma once
// Small auction scenes and configurations for the mini-game tests: the tree
// the auction binds (caption, clock, score, three zones whose money sprite
// follows the zone's states), without pictures.
#include <string>

namespace minigame_tests {

inline std::string zoneXml(int index) {
    const std::string n = std::to_string(index);
    const std::string x = std::to_string(100 + 300 * (index - 1));
    return R"(<SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="Zone)" + n +
           R"("/><vector3d Name="Position" Value=")" + x + R"(;300;1"/><vector3d Name="Bounds" Value="200;150;0"/></Properties>
      <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Obj"/></Properties>
        <States>
          <State Name="Normal"><StartAnimator Type="SetProps"><Properties><atlasTexture Name="AtlasTexture" Value=""/></Properties></StartAnimator></State>
          <State Name="NormalHover"><StartAnimator Type="SetProps"><Properties><atlasTexture Name="AtlasTexture" Value=""/></Properties></StartAnimator></State>
          <State Name="Pressed"><StartAnimator Type="SetProps"><Properties><atlasTexture Name="AtlasTexture" Value=""/></Properties></StartAnimator></State>
        </States>
      </SceneNode>
    </SceneNode>)";
}

inline std::string auctionSceneXml() {
    return R"(<?xml version="1.0"?>
<SceneNode Type="GMiniGameAuctionScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="UI"/></Properties>
      <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Linet"/></Properties></SceneNode>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="LinetText"/></Properties></SceneNode>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="TimeLeft"/></Properties></SceneNode>
      <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="LongArrow"/></Properties></SceneNode>
      <SceneNode Type="GEllipseSectorNode"><Properties><string Name="Name" Value="Ellipse"/></Properties></SceneNode>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="ScoreText"/></Properties></SceneNode>
    </SceneNode>
    <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Game"/></Properties>
      )" + zoneXml(1) + zoneXml(2) + zoneXml(3) + R"(
    </SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="MenuButton"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";
}

inline const char* completedSceneXml() {
    return R"(<?xml version="1.0"?>
<SceneNode Type="GMiniCompletedScene">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="Scene"/></Properties>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TimeNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="ScoreNode"/></Properties>
      <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="DoneText"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="OkButton"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";
}

}  // namespace minigame_tests
